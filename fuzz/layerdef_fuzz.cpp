// libFuzzer target of the layer catalogue "LAYERC.DEF": any bytes on the
// support path give a table (an empty one for a file that is not text),
// the table written out and read back is the same table, and its keys go
// through the layer service into the drawing. Seeded with the shipped
// catalogues.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/layer_catalogue.h"
#include "fuzz/fuzz_support.h"
#include "store/settings_store.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterStoreClasses();
    fuzz::StartHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::NextInput();
    fuzz::WriteSupportFile("LAYERC.DEF", fuzz::AsText(data, size));
    AAR_LAYERC table;
    // A file that is not text reads as a missing one.
    if (table.ReadLayerDefFile("LAYERC.DEF") == 0 && !table.empty()) __builtin_trap();

    // What the catalogue dialog writes back reads as the same table.
    const std::string copy = fuzz::SupportFolder() + "COPY.DEF";
    std::remove(copy.c_str());
    // The writer may refuse (a new file it has no whole reading of); what it
    // writes must read back as the table.
    // An empty table over no file writes nothing.
    if (!table.WriteLayerDefPath(copy)) return 0;
    AAR_LAYERC again;
    if (!again.ReadLayerDefPath(copy)) {
        if (!table.empty()) __builtin_trap();
    } else if (again.FormatLayerDefLines() != table.FormatLayerDefLines()) {
        __builtin_trap();
    }

    // The first keys as an element's layers, with and without the level.
    int made = 0;
    for (const AA_LAYERC& row : table) {
        if (row.groupPath.empty() || ++made > 4) continue;
        std::string name = row.key;
        EnsureLayer(name, table, made % 2 == 0, 270.0, true);
        LayerAttrEntry later;
        name = row.key;
        EnsureLayer(name, table, true, -35.5, false, &later);
    }
    return 0;
}
