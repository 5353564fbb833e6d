// The settings store's defaults, typed slot access and filing (the layouts
// are described in velm_setup.h).
#include "store/velm_setup.h"

#include <cassert>
#include <variant>

#include "store/settings_text.h"
#include "store/value_range.h"

VELM_SETTINGS_OBJECT_DEFINE(VELM_SETUP)

namespace {

FilingStatus readStoredSlots(SetupSlots& slots, SettingsDwgReader& r, int count, std::string& outOfRange);
bool TakeInRange(AA_VARIABILE& slot, int index, AA_VALORE value, std::string& outOfRange);
void skipSettingsGroups(SettingsDxfReader& r);

}  // namespace

AA_VALORE SetupVarDefault(int slot) {
    const SetupVarDef& d = SetupVarDefinition(slot);
    switch (d.type) {
        case kVarInt:
            return static_cast<short>(d.number);
        case kVarReal:
            return d.number;
        case kVarText:
            return std::string(d.text);
        default:
            return ZcGePoint3d(d.number, d.number, d.number);
    }
}

int FindSetupVarSlot(std::string_view name) {
    for (int i = 0; i < kSetupVarCount; ++i)
        if (SameNameIgnoringCase(name, SetupVarDefinition(i).name)) return i;
    return -1;
}

bool IsUnscaledRealSlot(int slot) {
    return slot == SetupVar::SETCRO_ANGOLO || slot == SetupVar::SETSCA_AINLSEZ ||
           slot == SetupVar::SFTMATSCALA;
}

void InitSetupSlots(SetupSlots& slots) {
    for (int i = 0; i < kSetupVarCount; ++i) slots[i].setValue(SetupVarDefault(i));
}

void ScaleMissingRealDefaults(SetupSlots& slots, int storedCount) {
    // Slot 5 stored as another type gives no factor: the defaults stay as
    // they are rather than being scaled by an invented value.
    const double* factor = slots[SetupVar::SFTMTCM].asReal();
    if (!factor) return;
    for (int j = storedCount < 0 ? 0 : storedCount; j < kSetupVarCount; ++j) {
        double* v = slots[j].asReal();
        if (v && !IsUnscaledRealSlot(j)) *v *= *factor;
    }
}

FilingStatus WriteSetupDwg(const SetupSlots& slots, SettingsDwgWriter& w) {
    w.writeInt16(kSetupFilingVersion);
    w.writeInt16(kSetupVarCount);
    for (const AA_VARIABILE& v : slots) {
        w.writeInt16(static_cast<short>(v.typeCode()));
        WriteDwgValue(w, v.value());
    }
    return FilingStatus::kOk;
}

FilingStatus ReadSetupDwg(SetupSlots& slots, SettingsDwgReader& r) {
    InitSetupSlots(slots);
    short version = 0;
    int count = 0;
    if (!r.readInt16(version) || !ReadDwgCount(r, count)) return FilingStatus::kReadFailed;
    std::string outOfRange;
    FilingStatus st = readStoredSlots(slots, r, count, outOfRange);
    if (!outOfRange.empty()) ReportSettingsOutOfRange("VELM_SETUP", outOfRange);
    if (st != FilingStatus::kOk) return st;
    if (count < kSetupVarCount) ScaleMissingRealDefaults(slots, count);
    return FilingStatus::kOk;
}

FilingStatus WriteSetupDxf(const SetupSlots& slots, SettingsDxfWriter& w) {
    w.writeItem({100, std::string("VELM_SETUP")});
    for (const AA_VARIABILE& v : slots) w.writeItem({static_cast<short>(v.typeCode()), v.value()});
    return FilingStatus::kOk;
}

FilingStatus ReadSetupDxf(SetupSlots& slots, SettingsDxfReader& r, bool* repaired) {
    if (repaired) *repaired = false;
    if (!r.atSubclassData("VELM_SETUP")) return FilingStatus::kOk;
    InitSetupSlots(slots);
    std::string outOfRange;
    int read = 0;
    for (; read < kSetupVarCount; ++read) {
        SettingsDxfItem item;
        if (!r.readItem(item)) break;
        if (!IsSettingsTypeCode(item.code) || TypeCodeOf(item.value) != item.code) {
            r.pushBackItem();
            break;
        }
        // A group of another type than its slot's means the record lost or
        // gained a value before it: every group from here on would land in
        // the wrong slot, so the rest keep their defaults.
        if (item.code != SetupVarDefinition(read).type) {
            skipSettingsGroups(r);
            break;
        }
        TakeInRange(slots[read], read, std::move(item.value), outOfRange);
    }
    if (!outOfRange.empty()) ReportSettingsOutOfRange("VELM_SETUP", outOfRange);
    if (repaired) *repaired = read < kSetupVarCount;
    return FilingStatus::kOk;
}

FilingStatus VELM_SETUP::fileInDxf(SettingsDxfReader& r) {
    bool repaired = false;
    const FilingStatus st = ReadSetupDxf(slots_, r, &repaired);
    if (repaired) ReportRepairedSettingsRecord(kClassName);
    return st;
}

bool VELM_SETUP::getInt(int i, int& out) const {
    out = 0;
    const AA_VARIABILE* v = slot(i);
    if (!v || !v->asInt()) return false;
    out = *v->asInt();
    return true;
}

bool VELM_SETUP::getReal(int i, double& out) const {
    out = 0.0;
    const AA_VARIABILE* v = slot(i);
    if (!v || !v->asReal()) return false;
    out = *v->asReal();
    return true;
}

bool VELM_SETUP::getString(int i, std::string& out) const {
    out.clear();
    const AA_VARIABILE* v = slot(i);
    if (!v || !v->asText()) return false;
    out = *v->asText();
    return true;
}

bool VELM_SETUP::getPoint(int i, ZcGePoint3d& out) const {
    const AA_VARIABILE* v = slot(i);
    if (!v || !v->asPoint()) return false;
    out = *v->asPoint();
    return true;
}

bool VELM_SETUP::setInt(int i, short value) {
    AA_VARIABILE* v = slot(i);
    if (!v || !v->asInt()) return false;
    *v->asInt() = value;
    return true;
}

bool VELM_SETUP::setReal(int i, double value) {
    AA_VARIABILE* v = slot(i);
    if (!v || !v->asReal()) return false;
    *v->asReal() = value;
    return true;
}

bool VELM_SETUP::setString(int i, std::string value) {
    AA_VARIABILE* v = slot(i);
    if (!v || !v->asText()) return false;
    *v->asText() = std::move(value);
    return true;
}

bool VELM_SETUP::setPoint(int i, const ZcGePoint3d& value) {
    AA_VARIABILE* v = slot(i);
    if (!v || !v->asPoint()) return false;
    *v->asPoint() = value;
    return true;
}

const AA_VARIABILE* VELM_SETUP::slot(int i) const {
    return i >= 0 && i < kSetupVarCount ? &slots_[i] : nullptr;
}

AA_VARIABILE* VELM_SETUP::slot(int i) {
    return i >= 0 && i < kSetupVarCount ? &slots_[i] : nullptr;
}

namespace {

// Entries past the last slot are read the same way and dropped, so that the
// data filed after the store is read from the right place.
FilingStatus readStoredSlots(SetupSlots& slots, SettingsDwgReader& r, int count, std::string& outOfRange) {
    for (int i = 0; i < count; ++i) {
        short code = 0;
        if (!r.readInt16(code)) return FilingStatus::kReadFailed;
        if (!IsSettingsTypeCode(code)) return FilingStatus::kBadData;
        AA_VALORE value;
        if (!ReadDwgValue(r, static_cast<unsigned short>(code), value)) return FilingStatus::kReadFailed;
        if (i < kSetupVarCount) TakeInRange(slots[i], i, std::move(value), outOfRange);
    }
    return FilingStatus::kOk;
}

// A number out of range (NumberInRange) leaves the slot at its default and
// adds its name to `outOfRange`, told once for the whole record.
bool TakeInRange(AA_VARIABILE& slot, int index, AA_VALORE value, std::string& outOfRange) {
    bool inRange = true;
    if (const double* real = std::get_if<double>(&value)) inRange = NumberInRange(*real);
    if (const ZcGePoint3d* point = std::get_if<ZcGePoint3d>(&value))
        inRange = NumberInRange(point->x) && NumberInRange(point->y) && NumberInRange(point->z);
    if (!inRange) {
        if (!outOfRange.empty()) outOfRange += ", ";
        outOfRange += SetupVarDefinition(index).name;
        return false;
    }
    slot.setValue(std::move(value));
    return true;
}

// The groups of a record given up on, up to the first that is no variable
// (left for the next reader).
void skipSettingsGroups(SettingsDxfReader& r) {
    SettingsDxfItem item;
    while (r.readItem(item))
        if (!IsSettingsTypeCode(item.code)) {
            r.pushBackItem();
            return;
        }
}

}  // namespace
