// libFuzzer target of the DXF reader: any bytes must give either a
// database or a refusal with a message, never a fault. The seed corpus is
// the sample drawing written by the sample program, the drawings of other
// programs in tests/data/dxf and the binary files of fuzz/dxf_seeds, so
// binary decoding is reached too. The reader and writer
// run on every core; a text long enough to be cut into stretches is read
// and saved once more on one thread, and both must say the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "host/db/dbdatabase.h"
#include "host/db/dxffile.h"

namespace {

struct Outcome {
    std::string error, saved;
};

Outcome loadAndSave(std::string_view text) {
    host::DxfLoadResult r = host::readDxfText(text);
    if (!r.db && r.error.empty()) __builtin_trap();  // a refusal always says why
    // What loaded must save again.
    return {r.error, r.db ? host::writeDxfText(r.db.get(), r.vars.get()) : std::string()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    unsetenv("VELM_DXF_THREADS");
    const Outcome all = loadAndSave(text);
    if (size >= 8192) {
        setenv("VELM_DXF_THREADS", "1", 1);
        const Outcome one = loadAndSave(text);
        unsetenv("VELM_DXF_THREADS");
        if (one.error != all.error || one.saved != all.saved) __builtin_trap();
    }
    return 0;
}
