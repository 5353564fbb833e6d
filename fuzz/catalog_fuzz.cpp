// libFuzzer target of the user block catalogue "catalog.ini": any bytes give
// the groups or a refusal with the line where reading stopped, never a
// fault; a catalogue read and written back unchanged keeps every byte, and
// one entry edited changes that line only and reads back as edited. Seeded
// with the shipped catalogue.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "host/win/files.h"
#include "objects/dialogs/catalog_file.h"
#include "store/settings_store.h"

namespace {

std::string Bytes(const std::string& path) {
    std::string bytes;
    host::readWholeFile(path, bytes);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterStoreClasses();
    fuzz::StartHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::NextInput();
    fuzz::WriteSupportFile("catalog.ini", fuzz::AsText(data, size));
    const std::string path = fuzz::SupportFolder() + "catalog.ini";
    const std::string before = Bytes(path);
    CatalogList list;
    ReadCatalogFile(list, fuzz::SupportFolder(), path);
    // An empty list always says where reading stopped.
    if (list.empty()) {
        if (!list.fault) __builtin_trap();
        // Nothing read, nothing to write: the file stays.
        WriteCatalogFile(path, list);
        if (Bytes(path) != before) __builtin_trap();
        return 0;
    }
    if (list.fault) __builtin_trap();
    // Unchanged: not a byte moves.
    if (!WriteCatalogFile(path, list) || Bytes(path) != before) __builtin_trap();

    // One entry edited: written, and read back as the list says.
    CatalogEntry& e = list.head->entries[static_cast<std::size_t>(size % kCatalogSlots)];
    e.description = e.description == "Opis" ? "Inny opis" : "Opis";
    if (!WriteCatalogFile(path, list)) return 0;  // a file that cannot be written
    CatalogList again;
    ReadCatalogFile(again, fuzz::SupportFolder(), path);
    if (again.empty() || FormatCatalogLines(again) != FormatCatalogLines(list)) __builtin_trap();
    return 0;
}
