// libFuzzer target of the object definition language: the input is a
// definition "T.txt" and up to three include files "A.inc", "B.inc" and
// "C.inc", one after another with a line "@@@@" between them (see
// fuzz_support.h), written to the support folder. Any definition must run
// to its end or stop with a message, never fault. Seeded with the shipped
// definitions (their includes renamed to A.inc …).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/object_pipeline.h"
#include "settings/settings_module.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterSettingsModule();
    fuzz::StartHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (fuzz::NextInput()) RegisterObjectRecordApps();
    static const char* const kNames[] = {"T.txt", "A.inc", "B.inc", "C.inc"};
    const std::vector<std::string_view> files = fuzz::SplitFiles(fuzz::AsText(data, size), 4);
    // Every name is written each time, so the folder's list of names stays.
    for (std::size_t i = 0; i < 4; ++i)
        fuzz::WriteSupportFile(kNames[i], i < files.size() ? files[i] : std::string_view());
    fuzz::RunDefinition("T");
    return 0;
}
