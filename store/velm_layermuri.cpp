// The wall-layer record.
#include "store/velm_layermuri.h"

#include <string_view>

#include "host/util/nocase.h"

VELM_SETTINGS_OBJECT_DEFINE(VELM_LAYERMURI)

void VELM_LAYERMURI::Reset() {
    assertWriteEnabled();
    entries.clear();
    entries.emplace_back(kFirstLayer);
}

FilingStatus VELM_LAYERMURI::fileInDxf(SettingsDxfReader& r) {
    bool whole = false;
    const FilingStatus st =
        ReadMarkedListDxf(kClassName, entries, r, StringListRule{kFirstLayer, true}, &whole);
    if (!whole) ReportRepairedSettingsRecord(kClassName);
    return st;
}

int VELM_LAYERMURI::IndexOfLayer(const std::string& layerName) const {
    // The base name as the level layers carry it: "VELM" + base + "$" + level.
    std::string_view base = layerName;
    if (base.size() >= 4 && zcutEqualsNoCase(base.substr(0, 4), "VELM")) {
        base.remove_prefix(4);
        base = base.substr(0, base.find('$'));
    }
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (zcutEqualsNoCase(entries[i], base)) return static_cast<int>(i);
    return -1;
}

std::string VELM_LAYERMURI::Get3DLayerName(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) return "3DWALLS";
    const std::string& name = entries[static_cast<std::size_t>(index)];
    if (name.size() >= 2 && zcutEqualsNoCase(std::string_view(name).substr(0, 2), "2D"))
        return "3D" + name.substr(2);
    return "3D" + name;
}
