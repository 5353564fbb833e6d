// libFuzzer target of the layer render table "LAYERPOV.DEF": any bytes give
// the table (less the lines named as not scanning and the doubled keys) or
// a refusal that names the file, never a fault; a table read holds only
// textures that are names or empty (what reaches a scene); the table
// written back unchanged keeps every byte, a damaged file is never written
// over, and a sound one takes an edit and reads back as edited. Seeded
// with the shipped table.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "host/win/textfile.h"
#include "settings/matpov.h"
#include "settings/settings_module.h"
#include "visual/povray/pov_tables.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterSettingsModule();
    fuzz::StartHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::NextInput();
    const std::string path = fuzz::WriteSupportFile("LAYERPOV.DEF", fuzz::AsText(data, size));
    const std::string before = fuzz::FileBytes(path);
    AAR_LAYERPOV table;
    const bool sound = ReadLayerPovDef(table);
    // What the rows of the file would be, read whatever its faults; the
    // table read is those rows less the lines that do not scan, in order.
    AAR_LAYERPOV held =
        host::isTextBytes(before) ? ParseLayerPovLines(host::decodeText(before).lines) : table;
    if (sound) {
        std::size_t at = 0;
        for (const AA_LAYERPOV& row : table) {
            while (at < held.size() && held[at].layer != row.layer) ++at;
            fuzz::Check(at < held.size(), "a row read that is not the file's");
            if (at < held.size()) ++at;
        }
    }
    // A table read puts no text into a scene but names: every texture is
    // an identifier, or empty (a layer without a material, which takes its
    // colour).
    for (const AA_LAYERPOV& row : table)
        if (!row.layer.starts_with("**") && !row.layer.empty())
            fuzz::Check(row.texture.empty() || IsPovIdentifier(row.texture),
                        "a texture that is not a name was read");
    // The table the file holds writes nothing, damaged or not.
    WriteLayerPovDef(held);
    fuzz::Check(fuzz::FileBytes(path) == before, "the file's own rows changed it");

    // An edit, with a row taken out or one added.
    if (held.empty()) return 0;
    AAR_LAYERPOV edited = held;
    AA_LAYERPOV& row = edited[size % edited.size()];
    row.scale = row.scale == 2.5 ? 3.5 : 2.5;
    if (size % 3 == 0) edited.erase(edited.begin() + static_cast<std::ptrdiff_t>((size / 3) % edited.size()));
    if (size % 3 == 1) edited.push_back(AA_LAYERPOV{"", "NOWA", "White", 1.0, 0});
    const bool written = WriteLayerPovDef(edited);
    if (!sound) {
        // (An edit the file's text cannot show, a heading's scale, writes
        // nothing and is no refusal.)
        fuzz::Check(fuzz::FileBytes(path) == before, "a damaged file was written over");
        return 0;
    }
    // A CR of a line's own, or a file that mixes line ends, which is written
    // back with its first line's.
    if (!written || before.find('\r') != std::string::npos) return 0;
    AAR_LAYERPOV again;
    if (!ReadLayerPovDef(again)) return 0;
    // Every row read back is one of the edit's, in order: nothing invented
    // or moved. (Lines that do not scan, or whose bytes the edit's encoding
    // cannot hold, are read back without, as on the first read.)
    std::size_t at = 0;
    for (const AA_LAYERPOV& back : again) {
        // (A heading is written without the fields after its name.)
        const auto same = [&](const AA_LAYERPOV& row) {
            return row.layer == back.layer && (row.layer.starts_with("**") || row.texture == back.texture);
        };
        while (at < edited.size() && !same(edited[at])) ++at;
        fuzz::Check(at < edited.size(), "an edit read back otherwise");
        if (at < edited.size()) ++at;
    }
    return 0;
}
