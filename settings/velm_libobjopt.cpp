// The library-folder and wall-layer records and their filing.
#include "settings/velm_libobjopt.h"

#include "core/entity_data.h"
#include "host/win/textutil.h"
#include "settings/settings_text.h"
#include "settings/string_list_filing.h"

VELM_SETTINGS_OBJECT_DEFINE(VELM_LIBOBJOPT)
VELM_SETTINGS_OBJECT_DEFINE(VELM_LAYERMURI)

namespace {

StringListRule ruleFor(bool wallLayers) {
    return wallLayers ? StringListRule{VELM_LAYERMURI::kFirstLayer, true} : StringListRule{};
}

}  // namespace

bool VELM_LIBOBJOPT::AddFolderOnce(const std::string& folder) {
    if (ContainsIgnoringCase(entries, folder)) return false;
    entries.push_back(folder);
    return true;
}

void VELM_LAYERMURI::Reset() {
    assertWriteEnabled();
    entries.clear();
    entries.emplace_back(kFirstLayer);
}

int VELM_LAYERMURI::IndexOfLayer(const std::string& layerName) const {
    std::string base;
    StripAppPrefix(layerName, base);
    return FindInStringArray(entries, base);
}

std::string VELM_LAYERMURI::Get3DLayerName(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) return "3DWALLS";
    const std::string& name = entries[static_cast<std::size_t>(index)];
    if (name.size() >= 2 && host::iequals(name.substr(0, 2), "2D")) return "3D" + name.substr(2);
    return "3D" + name;
}

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
                               bool wallLayers) {
    if (r.atSubclassData(className)) ReadStringListDxf(list, r, ruleFor(wallLayers));
    return FilingStatus::kOk;
}
