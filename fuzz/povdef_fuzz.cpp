// libFuzzer target of the layer render table "LAYERPOV.DEF": any bytes give
// the table or a refusal that names the line, never a fault; the table
// written back unchanged keeps every byte, a damaged file is never written
// over, and a sound one takes an edit and reads back as edited. Seeded with
// the shipped table.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "host/win/files.h"
#include "settings/matpov.h"
#include "settings/settings_module.h"
#include "visual/povray/pov_tables.h"

namespace {

std::string Bytes(const std::string& path) {
    std::string bytes;
    host::readWholeFile(path, bytes);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterSettingsModule();
    fuzz::StartHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::NextInput();
    fuzz::WriteSupportFile("LAYERPOV.DEF", fuzz::AsText(data, size));
    const std::string path = fuzz::SupportFolder() + "LAYERPOV.DEF";
    const std::string before = Bytes(path);
    AAR_LAYERPOV table;
    const bool sound = ReadLayerPovDef(table);
    // What the rows of the file would be, read whatever its faults.
    AAR_LAYERPOV held =
        host::isTextBytes(before) ? ParseLayerPovLines(host::decodeText(before).lines) : table;
    if (sound && held != table) __builtin_trap();
    // The table the file holds writes nothing, damaged or not.
    WriteLayerPovDef(held);
    if (Bytes(path) != before) __builtin_trap();

    // An edit, with a row taken out or one added.
    if (held.empty()) return 0;
    AAR_LAYERPOV edited = held;
    AA_LAYERPOV& row = edited[size % edited.size()];
    row.scale = row.scale == 2.5 ? 3.5 : 2.5;
    if (size % 3 == 0) edited.erase(edited.begin() + static_cast<std::ptrdiff_t>((size / 3) % edited.size()));
    if (size % 3 == 1) edited.push_back(AA_LAYERPOV{"", "NOWA", "White", 1.0, 0});
    const bool written = WriteLayerPovDef(edited);
    if (!sound) {
        if (written || Bytes(path) != before) __builtin_trap();
        return 0;
    }
    if (!written) return 0;
    AAR_LAYERPOV again;
    if (ReadLayerPovDef(again) && again.size() != edited.size()) __builtin_trap();
    return 0;
}
