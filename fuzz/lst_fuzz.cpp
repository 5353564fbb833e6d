// libFuzzer target of the view-mode layer lists: any bytes as "VXD.LST"
// and as the plate lists give lists or a refusal, never a fault, and the
// lists are applied to the layers of a drawing. Seeded with the shipped
// lists.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/layer_catalogue.h"
#include "fuzz/fuzz_support.h"
#include "settings/editor_steps.h"
#include "settings/settings_module.h"
#include "settings/viewmode.h"
#include "settings/viewmode_cmds.h"

namespace {

const char* const kLayers[] = {"VELM2DWALLS$0", "VELM3DWALLS$300", "2DROOM", "3DSLAB$-35.5",
                               "TEXT",          "ŚCIANY"};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterSettingsModule();
    fuzz::StartHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (fuzz::NextInput()) {
        const AAR_LAYERC none;
        for (const char* name : kLayers) {
            std::string layer = name;
            EnsureLayer(layer, none, false, 0.0, false);
        }
    }
    const std::string_view text = fuzz::AsText(data, size);
    fuzz::WriteSupportFile(kVxdListFile, text);
    fuzz::WriteSupportFile(kRoofPlateListFile, text);

    if (std::optional<VxdLists> lists = LoadVxdLists()) {
        for (const char* name : kLayers) (void)FindLayerInVxdList(*lists, name, 2, 3);
        for (int mode : {kViewMode2D, kViewMode3D, kViewModeBoth})
            ApplyViewModeLists(WorkingDrawing(), *lists, 1, mode, {}, nullptr);
    }
    if (std::optional<std::vector<std::string>> lines = ReadSupportLines(kRoofPlateListFile)) {
        const std::vector<std::string> patterns = ParsePatternLines(*lines);
        SwitchLayerList(WorkingDrawing(), patterns, 1, false, {});
        SwitchLayerList(WorkingDrawing(), patterns, 1, true, {});
    }
    return 0;
}
