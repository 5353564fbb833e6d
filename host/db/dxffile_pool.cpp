// The DXF reader's and writer's threads: see dxffile_pool.h; the threads
// themselves are those of host/util/tasks.
#include "host/db/dxffile_pool.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string_view>
#include <system_error>

#include "host/util/tasks.h"

namespace host::dxf {

unsigned threadCount() {
    unsigned n = machineCores();
    if (const char* cap = std::getenv("VELM_DXF_THREADS")) {
        std::string_view s(cap);
        unsigned v = 0;
        auto r = std::from_chars(s.data(), s.data() + s.size(), v);
        if (r.ec == std::errc() && v > 0) n = std::min(n, v);
    }
    return n;
}

void runTasks(std::size_t count, const std::function<void(std::size_t)>& task) {
    host::runTasks(count, threadCount(), task);
}

}  // namespace host::dxf
