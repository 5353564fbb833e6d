// libFuzzer target of the user block catalogue "catalog.ini": any bytes give
// the groups or a refusal with the line where reading stopped, never a
// fault; a catalogue read and written back unchanged keeps every byte, and
// one entry edited changes that line only and reads back as edited. Seeded
// with the shipped catalogue.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "objects/dialogs/catalog_file.h"
#include "store/settings_store.h"

namespace {

// Line ends the text layer writes back as its first line's (LF beside
// CR LF), or a CR of a line's own: such a line may not read back the same.
bool MixedLineEnds(const std::string& bytes) {
    bool lf = false, crlf = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) return true;
        if (bytes[i] == '\n') (i > 0 && bytes[i - 1] == '\r' ? crlf : lf) = true;
    }
    return lf && crlf;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterStoreClasses();
    fuzz::StartHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::NextInput();
    const std::string path = fuzz::WriteSupportFile("catalog.ini", fuzz::AsText(data, size));
    const std::string before = fuzz::FileBytes(path);
    CatalogList list;
    ReadCatalogFile(list, fuzz::SupportFolder(), path);
    // An empty list always says where reading stopped.
    if (list.empty()) {
        fuzz::Check(list.fault.has_value(), "an empty list without its fault");
        // Nothing read, nothing to write: the file stays.
        WriteCatalogFile(path, list);
        fuzz::Check(fuzz::FileBytes(path) == before, "an unread file changed");
        return 0;
    }
    fuzz::Check(!list.fault, "a list read with a fault");
    // Unchanged: not a byte moves.
    fuzz::Check(WriteCatalogFile(path, list) && fuzz::FileBytes(path) == before,
                "an unchanged list changed the file");

    // One entry edited: written, and read back as the list says.
    CatalogEntry& e = list.head->entries[static_cast<std::size_t>(size % kCatalogSlots)];
    e.description = e.description == "Opis" ? "Inny opis" : "Opis";
    if (!WriteCatalogFile(path, list) || MixedLineEnds(before)) return 0;
    CatalogList again;
    ReadCatalogFile(again, fuzz::SupportFolder(), path);
    if (again.empty() && again.fault)
        std::fprintf(stderr, "%zu: %s\n", again.fault->line, again.fault->what.c_str());
    fuzz::Check(!again.empty(), "an edited list does not read back");
    const std::vector<std::string> was = FormatCatalogLines(list), is = FormatCatalogLines(again);
    for (std::size_t i = 0; i < was.size() || i < is.size(); ++i)
        if (i >= was.size() || i >= is.size() || was[i] != is[i]) {
            std::fprintf(stderr, "line %zu: [%s] read back as [%s]\n", i,
                         i < was.size() ? was[i].c_str() : "", i < is.size() ? is[i].c_str() : "");
            fuzz::Check(false, "an edit read back otherwise");
        }
    return 0;
}
