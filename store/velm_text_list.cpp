// The filing of the plain text-list records.
#include "store/velm_text_list.h"

#include "store/string_list_filing.h"
#include "store/velm_layermuri.h"

namespace {

StringListRule ruleFor(bool wallLayers) {
    return wallLayers ? StringListRule{VELM_LAYERMURI::kFirstLayer, true} : StringListRule{};
}

}  // namespace

FilingStatus WriteVersionedListDwg(short version, const std::vector<std::string>& list,
                                   SettingsDwgWriter& w) {
    w.writeInt16(version);
    WriteStringListDwg(list, w);
    return FilingStatus::kOk;
}

FilingStatus ReadVersionedListDwg(std::vector<std::string>& list, SettingsDwgReader& r, bool wallLayers) {
    short version = 0;  // any version is read the same way
    if (!r.readInt16(version)) return FilingStatus::kReadFailed;
    return ReadStringListDwg(list, r, ruleFor(wallLayers));
}

FilingStatus WriteMarkedListDxf(const char* className, const std::vector<std::string>& list,
                                SettingsDxfWriter& w) {
    w.writeItem({100, std::string(className)});
    WriteStringListDxf(list, w);
    return FilingStatus::kOk;
}

FilingStatus ReadMarkedListDxf(const char* className, std::vector<std::string>& list, SettingsDxfReader& r,
                               bool wallLayers, bool* whole) {
    bool complete = false;
    if (r.atSubclassData(className)) ReadStringListDxf(list, r, ruleFor(wallLayers), &complete);
    // The walls of every drawing lie on the first wall layer at least: a list
    // without it would find no wall at all.
    if (!complete && wallLayers && (list.empty() || list.front() != VELM_LAYERMURI::kFirstLayer))
        list.insert(list.begin(), VELM_LAYERMURI::kFirstLayer);
    if (whole) *whole = complete;
    return FilingStatus::kOk;
}
