// Print-scale records: defaults, lookups and filing.
#include "store/fscala.h"

#include <string>

#include "store/value_range.h"

VELM_SETTINGS_OBJECT_DEFINE(VELM_FSCALA)

namespace {

// A factor out of range (NumberInRange) takes the value a new record of
// that scale holds, and is named in `outOfRange` as "1:KEY wartość N".
void KeepInRange(AA_FSCALA& rec, std::string& outOfRange) {
    const AA_FSCALA fresh = DefaultScaleRecord(rec.key);
    for (int i = 0; i < kScaleEntryCount; ++i) {
        if (NumberInRange(rec.values[i])) continue;
        rec.values[i] = fresh.values[i];
        if (!outOfRange.empty()) outOfRange += ", ";
        outOfRange += "1:" + std::to_string(rec.key) + " wartość " + std::to_string(i + 1);
    }
}

}  // namespace

void AAR_FSCALA::SetByKey(int key, const AA_FSCALA& record) {
    if (AA_FSCALA* r = FindByKey(key))
        *r = record;
    else
        records.push_back(record);
}

const AA_FSCALA* AAR_FSCALA::FindByKey(int key) const {
    for (const AA_FSCALA& r : records)
        if (r.key == key) return &r;
    return nullptr;
}

AA_FSCALA* AAR_FSCALA::FindByKey(int key) {
    return const_cast<AA_FSCALA*>(static_cast<const AAR_FSCALA*>(this)->FindByKey(key));
}

AA_FSCALA DefaultScaleRecord(int key) {
    AA_FSCALA r;
    r.key = key;
    if (key == 50)
        r.values = {15.0, 3.0, 15.0, 20.0, 3.5, 40.0, 2.0, 5.0, 2.0, 50.0};
    else if (key == 100)
        r.values = {15.0, 3.0, 15.0, 20.0, 3.5, 80.0, 4.0, 10.0, 4.0, 100.0};
    return r;
}

void VELM_FSCALA::Reset() {
    assertWriteEnabled();
    scales.records.clear();
    scales.records.push_back(DefaultScaleRecord(50));
    scales.records.push_back(DefaultScaleRecord(100));
}

double ScaleFactorFor(const AAR_FSCALA& scales, int index, double sftmtcm, int sfatscala) {
    if (index < 0 || index >= kScaleEntryCount) return 0.0;
    const AA_FSCALA* r = scales.FindByKey(sfatscala);
    if (!r) return 0.0;
    double v = r->values[index];
    if (index == 1 || index == 4) return v * 0.1 * sftmtcm * sfatscala;
    return v;
}

bool AccessScaleEntry(AAR_FSCALA& scales, int key, int index, double& value, bool set) {
    AA_FSCALA* r = index >= 0 && index < kScaleEntryCount ? scales.FindByKey(key) : nullptr;
    if (!r) {
        value = 0.0;
        return false;
    }
    if (set)
        r->values[index] = value;
    else
        value = r->values[index];
    return true;
}

FilingStatus VELM_FSCALA::fileOutDwg(SettingsDwgWriter& w) const {
    w.writeInt16(kFilingVersion);
    w.writeInt16(static_cast<short>(scales.records.size()));
    for (const AA_FSCALA& r : scales.records) {
        w.writeInt16(static_cast<short>(r.key));
        for (double v : r.values) w.writeReal(v);
    }
    return FilingStatus::kOk;
}

FilingStatus VELM_FSCALA::fileInDwg(SettingsDwgReader& r) {
    short version = 0;
    int n = 0;
    if (!r.readInt16(version) || !ReadDwgCount(r, n)) return FilingStatus::kReadFailed;
    scales.records.clear();
    std::string outOfRange;
    for (int i = 0; i < n; ++i) {
        AA_FSCALA rec;
        short key = 0;
        if (!r.readInt16(key)) return FilingStatus::kReadFailed;
        rec.key = key;
        for (double& v : rec.values)
            if (!r.readReal(v)) return FilingStatus::kReadFailed;
        KeepInRange(rec, outOfRange);
        scales.records.push_back(rec);
    }
    if (!outOfRange.empty()) ReportSettingsOutOfRange(kClassName, outOfRange);
    return FilingStatus::kOk;
}

FilingStatus VELM_FSCALA::fileOutDxf(SettingsDxfWriter& w) const {
    w.writeItem({100, std::string(kClassName)});
    w.writeItem({170, static_cast<short>(scales.records.size())});
    for (const AA_FSCALA& r : scales.records) {
        w.writeItem({170, static_cast<short>(r.key)});
        for (double v : r.values) w.writeItem({140, v});
    }
    return FilingStatus::kOk;
}

FilingStatus VELM_FSCALA::fileInDxf(SettingsDxfReader& r) {
    short n = 0;
    if (!r.atSubclassData(kClassName) || !ReadDxfShort(r, 170, n)) return FilingStatus::kOk;
    scales.records.clear();
    std::string outOfRange;
    for (int i = 0; i < n; ++i) {
        AA_FSCALA rec;
        short key = 0;
        if (!ReadDxfShort(r, 170, key)) break;
        rec.key = key;
        bool whole = true;
        for (double& v : rec.values)
            if (whole && !ReadDxfReal(r, 140, v)) whole = false;
        if (!whole) break;
        KeepInRange(rec, outOfRange);
        scales.records.push_back(rec);
    }
    if (!outOfRange.empty()) ReportSettingsOutOfRange(kClassName, outOfRange);
    return FilingStatus::kOk;
}
