// The last wall thicknesses and their filing.
#include "store/velm_spessmuri.h"

#include <string>

#include "store/string_list_filing.h"
#include "store/value_range.h"

VELM_SETTINGS_OBJECT_DEFINE(VELM_SPESSMURI)

namespace {

constexpr std::array<double, 5> kDefaultThicknesses{30.0, 10.0, 15.0, 20.0, 40.0};

// A thickness is a size: one not above zero or out of range (NumberInRange)
// takes its place's default, and the places are named once.
void KeepInRange(std::array<double, 5>& thicknesses) {
    std::string outOfRange;
    for (std::size_t i = 0; i < thicknesses.size(); ++i) {
        if (NumberInRange(thicknesses[i]) && thicknesses[i] > 0.0) continue;
        thicknesses[i] = kDefaultThicknesses[i];
        if (!outOfRange.empty()) outOfRange += ", ";
        outOfRange += "grubość " + std::to_string(i + 1);
    }
    if (!outOfRange.empty()) ReportSettingsOutOfRange(VELM_SPESSMURI::kClassName, outOfRange);
}

}  // namespace

void VELM_SPESSMURI::Reset() {
    assertWriteEnabled();
    thicknesses = kDefaultThicknesses;
}

void VELM_SPESSMURI::UseThickness(double t) {
    int found = -1;
    for (int i = 0; i < 5; ++i)
        if (thicknesses[i] == t) found = i;
    if (found >= 0) {
        thicknesses[found] = thicknesses[0];
        thicknesses[0] = t;
        return;
    }
    for (int i = 4; i > 0; --i) thicknesses[i] = thicknesses[i - 1];
    thicknesses[0] = t;
}

FilingStatus VELM_SPESSMURI::fileOutDwg(SettingsDwgWriter& w) const {
    w.writeInt16(kFilingVersion);
    for (double t : thicknesses) w.writeReal(t);
    return FilingStatus::kOk;
}

FilingStatus VELM_SPESSMURI::fileInDwg(SettingsDwgReader& r) {
    short version = 0;
    if (!r.readInt16(version)) return FilingStatus::kReadFailed;
    for (double& t : thicknesses) {
        double v = 0;
        if (!r.readReal(v)) return FilingStatus::kReadFailed;
        t = v;
    }
    KeepInRange(thicknesses);
    return FilingStatus::kOk;
}

FilingStatus VELM_SPESSMURI::fileOutDxf(SettingsDxfWriter& w) const {
    w.writeItem({100, std::string(kClassName)});
    for (double t : thicknesses) w.writeItem({140, t});
    return FilingStatus::kOk;
}

FilingStatus VELM_SPESSMURI::fileInDxf(SettingsDxfReader& r) {
    if (!r.atSubclassData(kClassName)) return FilingStatus::kOk;
    for (double& t : thicknesses)
        if (!ReadDxfReal(r, 140, t)) break;
    KeepInRange(thicknesses);
    return FilingStatus::kOk;
}
