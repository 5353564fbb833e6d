// libFuzzer target of the light source definition "TMS_LUCE.txt": any bytes
// run as the placed light would, to the end or to a message that names the
// file and its line, never a fault. Seeded with the shipped definition.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "fuzz/fuzz_support.h"
#include "fuzz/object_pipeline.h"
#include "host/ads/transcript.h"
#include "settings/settings_module.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterSettingsModule();
    fuzz::StartHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (fuzz::NextInput()) RegisterObjectRecordApps();
    fuzz::WriteSupportFile("TMS_LUCE.txt", fuzz::AsText(data, size));
    {
        // A VAR section refused is named with the file and its line (the
        // file an include marker written into the text names, if any).
        std::unique_ptr<ObjContext> c = NewObjContext("TMS_LUCE");
        InitObjVariables(*c);
        if (LoadObjFile(*c, c->objectName) == 1) {
            const std::size_t before = host::transcript().text().size();
            const bool marker = fuzz::AsText(data, size).find(kIncludeStart) != std::string_view::npos;
            if (ReadVarSection(true, *c) != 0 &&
                host::transcript().text().find(marker ? ": " : "TMS_LUCE.txt:", before) ==
                    std::string::npos) {
                std::fputs(host::transcript().text().c_str(), stderr);
                __builtin_trap();
            }
        }
        FreeObjContext(std::move(c));
    }
    fuzz::RunDefinition("TMS_LUCE");
    return 0;
}
