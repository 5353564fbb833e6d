// Layer groups, shadow-layer patterns and wall thicknesses, and their filing.
#include "settings/store/velm_gengruppo.h"

#include "host/ads/adscodes.h"
#include "host/ads/wcmatch.h"
#include "host/win/textutil.h"
#include "settings/store/string_list_filing.h"

VELM_SETTINGS_OBJECT_DEFINE(VELM_GENGRUPPO)
VELM_SETTINGS_OBJECT_DEFINE(VELM_LAYEROMBRA)
VELM_SETTINGS_OBJECT_DEFINE(VELM_SPESSMURI)

void VELM_GENGRUPPO::Reset() {
    assertWriteEnabled();
    generating.assign({"*"});
    nonGenerating.clear();
}

bool VELM_GENGRUPPO::IsLayerGroupGenerated(const std::string& name) const {
    const std::string upper = host::toUpper(name);
    auto matchesAny = [&upper](const std::vector<std::string>& patterns) {
        for (const std::string& p : patterns)
            if (zcutWcMatch(upper.c_str(), host::toUpper(p).c_str()) == RTNORM)
                return true;
        return false;
    };
    return matchesAny(generating) && !matchesAny(nonGenerating);
}

FilingStatus VELM_GENGRUPPO::fileOutDwg(SettingsDwgWriter& w) const {
    w.writeInt16(kFilingVersion);
    WriteStringListDwg(generating, w);
    WriteStringListDwg(nonGenerating, w);
    return FilingStatus::kOk;
}

FilingStatus VELM_GENGRUPPO::fileInDwg(SettingsDwgReader& r) {
    short version = 0;
    if (!r.readInt16(version))
        return FilingStatus::kReadFailed;
    FilingStatus st = ReadStringListDwg(generating, r);
    if (st != FilingStatus::kOk)
        return st;
    return ReadStringListDwg(nonGenerating, r);
}

FilingStatus VELM_GENGRUPPO::fileOutDxf(SettingsDxfWriter& w) const {
    w.writeItem({100, std::string(kClassName)});
    WriteStringListDxf(generating, w);
    WriteStringListDxf(nonGenerating, w);
    return FilingStatus::kOk;
}

FilingStatus VELM_GENGRUPPO::fileInDxf(SettingsDxfReader& r) {
    if (!r.atSubclassData(kClassName))
        return FilingStatus::kOk;
    bool complete = false;
    if (ReadStringListDxf(generating, r, {}, &complete) && complete)
        ReadStringListDxf(nonGenerating, r);
    return FilingStatus::kOk;
}

void VELM_LAYEROMBRA::Reset() {
    assertWriteEnabled();
    entries.assign({"3dwindows_s*", "3drailing_*", "3dbalconies_*", "3d*_ha*"});
}

void VELM_SPESSMURI::Reset() {
    assertWriteEnabled();
    thicknesses = {30.0, 10.0, 15.0, 20.0, 40.0};
}

void VELM_SPESSMURI::UseThickness(double t) {
    int found = -1;
    for (int i = 0; i < 5; ++i)
        if (thicknesses[i] == t)
            found = i;
    if (found >= 0) {
        thicknesses[found] = thicknesses[0];
        thicknesses[0] = t;
        return;
    }
    for (int i = 4; i > 0; --i)
        thicknesses[i] = thicknesses[i - 1];
    thicknesses[0] = t;
}

FilingStatus VELM_SPESSMURI::fileOutDwg(SettingsDwgWriter& w) const {
    w.writeInt16(kFilingVersion);
    for (double t : thicknesses)
        w.writeReal(t);
    return FilingStatus::kOk;
}

FilingStatus VELM_SPESSMURI::fileInDwg(SettingsDwgReader& r) {
    short version = 0;
    if (!r.readInt16(version))
        return FilingStatus::kReadFailed;
    for (double& t : thicknesses) {
        double v = 0;
        if (!r.readReal(v))
            return FilingStatus::kReadFailed;
        t = v;
    }
    return FilingStatus::kOk;
}

FilingStatus VELM_SPESSMURI::fileOutDxf(SettingsDxfWriter& w) const {
    w.writeItem({100, std::string(kClassName)});
    for (double t : thicknesses)
        w.writeItem({140, t});
    return FilingStatus::kOk;
}

FilingStatus VELM_SPESSMURI::fileInDxf(SettingsDxfReader& r) {
    if (!r.atSubclassData(kClassName))
        return FilingStatus::kOk;
    for (double& t : thicknesses)
        if (!ReadDxfReal(r, 140, t))
            break;
    return FilingStatus::kOk;
}
