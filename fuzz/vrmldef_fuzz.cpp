// libFuzzer target of the VRML material table "LAYERVRML.DEF": any bytes give
// rows (a damaged line named), never a fault; the rows written back
// unchanged keep every byte, and an edited row of a sound file reads back as
// edited while the other lines keep their text. Seeded with the shipped
// table.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "host/win/textfile.h"
#include "store/settings_store.h"
#include "visual/vrml/vrml_table.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterStoreClasses();
    fuzz::StartHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::NextInput();
    const std::string_view text = fuzz::AsText(data, size);
    const std::string path = fuzz::WriteSupportFile("LAYERVRML.DEF", text);
    const std::string before = fuzz::FileBytes(path);
    AAR_LAYERVRML rows;
    fuzz::Check(ReadLayerVrmlDef(rows), "the file there was not found");
    for (const AA_LAYERVRML& row : rows) (void)VrmlColourRgb(row.colour);
    // Unchanged: not a byte moves, damaged or not.
    WriteLayerVrmlDef(rows);
    fuzz::Check(fuzz::FileBytes(path) == before, "unchanged rows changed the file");

    // An edit: a sound file takes it, a damaged one is left as it was.
    std::size_t at = rows.size();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (!rows[i].IsHeading() && !rows[i].layer.empty()) at = i;
    if (at == rows.size()) return 0;
    rows[at].ambient = rows[at].ambient == 4 ? 5 : 4;
    const bool sound = host::isTextBytes(before) && !LayerVrmlFault(host::decodeText(before));
    const bool written = WriteLayerVrmlDef(rows);
    if (!sound) {
        fuzz::Check(fuzz::FileBytes(path) == before, "a damaged file was written over");
        return 0;
    }
    // A file that cannot be written; a CR of a line's own, or a file that
    // mixes line ends, which is written back with its first line's.
    if (!written || before.find('\r') != std::string::npos) return 0;
    AAR_LAYERVRML again;
    ReadLayerVrmlDef(again);
    fuzz::Check(again == rows, "an edit read back otherwise");
    return 0;
}
