// The layer-generation groups and their filing.
#include "store/velm_gengruppo.h"

#include "host/ads/wcmatch.h"
#include "host/util/adscodes.h"
#include "host/win/textutil.h"
#include "store/string_list_filing.h"

VELM_SETTINGS_OBJECT_DEFINE(VELM_GENGRUPPO)

void VELM_GENGRUPPO::Reset() {
    assertWriteEnabled();
    generating.assign({"*"});
    nonGenerating.clear();
}

bool VELM_GENGRUPPO::IsLayerGroupGenerated(const std::string& name) const {
    const std::string upper = host::toUpper(name);
    auto matchesAny = [&upper](const std::vector<std::string>& patterns) {
        for (const std::string& p : patterns)
            if (zcutWcMatch(upper.c_str(), host::toUpper(p).c_str()) == RTNORM) return true;
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
    if (!r.readInt16(version)) return FilingStatus::kReadFailed;
    FilingStatus st = ReadStringListDwg(generating, r);
    if (st != FilingStatus::kOk) return st;
    return ReadStringListDwg(nonGenerating, r);
}

FilingStatus VELM_GENGRUPPO::fileOutDxf(SettingsDxfWriter& w) const {
    w.writeItem({100, std::string(kClassName)});
    WriteStringListDxf(generating, w);
    WriteStringListDxf(nonGenerating, w);
    return FilingStatus::kOk;
}

FilingStatus VELM_GENGRUPPO::fileInDxf(SettingsDxfReader& r) {
    if (!r.atSubclassData(kClassName)) return FilingStatus::kOk;
    bool complete = false;
    if (ReadStringListDxf(generating, r, {}, &complete) && complete) ReadStringListDxf(nonGenerating, r);
    return FilingStatus::kOk;
}
