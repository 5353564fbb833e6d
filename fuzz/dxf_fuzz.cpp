// libFuzzer target of the DXF reader: any bytes must give either a
// database or a refusal with a message, never a fault. The seed corpus is
// the sample drawing written by the sample program.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/db/dbdatabase.h"
#include "host/db/dxffile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    host::DxfLoadResult r = host::readDxfText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!r.db && r.error.empty()) __builtin_trap();  // a refusal always says why
    // What loaded must save again.
    if (r.db) (void)host::writeDxfText(r.db.get(), r.vars.get());
    return 0;
}
