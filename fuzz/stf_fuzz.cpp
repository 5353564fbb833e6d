// libFuzzer target of the symbol list "BART.STF": any bytes give three
// attribute values for any symbol (the defaults, said, when the list has
// no sound line for it), never a fault; a count taken is above zero. Seeded with the shipped list.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/input_range.h"
#include "fuzz/fuzz_support.h"
#include "host/win/textutil.h"
#include "objects/drafting/symbol_insert.h"
#include "store/settings_store.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterStoreClasses();
    fuzz::StartHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::NextInput();
    const std::string_view text = fuzz::AsText(data, size);
    const std::string path = fuzz::WriteSupportFile("BART.STF", text);
    // The first words of the first lines, and names no list holds.
    std::vector<std::string> names{"IP1", "XYZ", ""};
    for (std::size_t at = 0; at < text.size() && names.size() < 8;) {
        const std::size_t end = text.find_first_of(" \t\r\n", at);
        names.emplace_back(
            text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        const std::size_t next = text.find('\n', at);
        if (next == std::string_view::npos) break;
        at = next + 1;
    }
    for (const std::string& name : names) {
        const std::array<std::string, 3> values = SymbolAttributeValues(path, name);
        // Values read from a line never hold the separator (the defaults
        // start with the name as given).
        if (values[0] != name &&
            (values[0].find('|') != std::string::npos || values[1].find('|') != std::string::npos))
            __builtin_trap();
        // A count read as a number is one a symbol can have.
        if (host::parseDouble(values[2]) && !NumberFromText(values[2], NumberRange::Size)) __builtin_trap();
    }
    return 0;
}
