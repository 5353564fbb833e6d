// libFuzzer target of the room label field catalogue "UA_DEF.DLC": any
// bytes give sets or a refusal through both readers, never a fault, and the
// sets the definition dialogs write back read as the same sets. Seeded
// with the shipped catalogue.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "rooms/labels/label_catalogue.h"
#include "settings/settings_module.h"

namespace {

// The writer's lines, each without the CRs that end it: a line that ends
// in a CR of its own does not keep it through the text reader.
std::vector<std::string> Written(const CArrayUnitaAmb& sets) {
    std::vector<std::string> lines = UaDefLines(sets);
    for (std::string& line : lines)
        while (!line.empty() && line.back() == '\r') line.pop_back();
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterSettingsModule();
    fuzz::StartHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::NextInput();
    fuzz::WriteSupportFile(kLabelCatalogueFile, fuzz::AsText(data, size));
    CArrayUnitaAmb sets;
    sets.ReadUaDefDlc(kLabelCatalogueFile);

    // The room calculation's reader, for the sets the whole-file reader
    // found and for the shipped names.
    std::vector<std::string> names{"TMS_TAB1", "tms_eti1"};
    for (std::size_t i = 0; i < sets.size() && i < 4; ++i) names.push_back(sets[i].setName);
    for (const std::string& name : names) {
        CArrayDefEti set;
        ReadLabelFieldSet(name, set);
    }

    if (sets.empty()) return 0;
    // Written back over the file it was read from: the writer keeps what it
    // does not own and what is unchanged, so the sets read back the same.
    if (sets.WriteUaDefDlc(kLabelCatalogueFile) != 1) return 0;
    CArrayUnitaAmb again;
    if (!again.ReadUaDefDlc(kLabelCatalogueFile) || Written(again) != Written(sets)) __builtin_trap();
    return 0;
}
