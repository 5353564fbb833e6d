// libFuzzer target of the wall-type files ".mxt": any bytes in the data
// folder give a wall type or a refusal, never a fault; a type that was read
// writes lines that read back as the same type, and holds no layer
// thickness the layer dialog refuses. Seeded with the shipped
// wall types.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "host/ui/resources.h"
#include "resources/velmresources.h"
#include "settings/settings_module.h"
#include "walls/types/mxt_file.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterSettingsModule();
    fuzz::StartHost();
    AfxSetResourceHandle(VelmResourceHandle());
    // The data folder is the folder of the configuration file.
    fuzz::WriteSupportFile("VELMDCONFIG.CFG", "STR_INF_VANI=75\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::NextInput();
    fuzz::WriteSupportFile("T.mxt", fuzz::AsText(data, size));
    CMuro type;
    type.fileName = "T";
    if (ReadWallTypeFile(type)) {
        // A type taken holds no thickness the layer dialog would refuse.
        if (type.scales)
            for (const CScala& scale : *type.scales)
                if (scale.layers)
                    for (const CStrato& layer : *scale.layers)
                        if (!ThicknessExpressionValid(layer.thickness)) __builtin_trap();
        const std::vector<std::string> lines = WallTypeFileLines(type);
        CMuro again;
        if (!ParseWallTypeLines(lines, again) || WallTypeFileLines(again) != lines) __builtin_trap();
    }
    // The editor's start: every file of the folder.
    CListMuri list;
    LoadWallTypes(list);
    return 0;
}
