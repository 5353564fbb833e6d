// The DXF reader's and writer's threads: see dxffile_pool.h. Threads are
// started for one run and joined before it returns; starting eight costs a
// fraction of a millisecond, against the tens of milliseconds a run that
// is worth splitting takes.
#include "host/db/dxffile_pool.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdlib>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

namespace host::dxf {

namespace {

// Made on first use: the machine's cores do not change while it runs.
struct Pool {
    unsigned cores = std::max(1u, std::thread::hardware_concurrency());
};

const Pool& pool() {
    static const Pool p;
    return p;
}

}  // namespace

unsigned threadCount() {
    unsigned n = pool().cores;
    if (const char* cap = std::getenv("VELM_DXF_THREADS")) {
        std::string_view s(cap);
        unsigned v = 0;
        auto r = std::from_chars(s.data(), s.data() + s.size(), v);
        if (r.ec == std::errc() && v > 0) n = std::min(n, v);
    }
    return n;
}

void runTasks(std::size_t count, const std::function<void(std::size_t)>& task) {
    if (count == 0) return;
    const std::size_t threads = std::min<std::size_t>(threadCount(), count);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t k; (k = next.fetch_add(1, std::memory_order_relaxed)) < count;) task(k);
    };
    std::vector<std::thread> helpers;
    helpers.reserve(threads - 1);
    for (std::size_t t = 1; t < threads; ++t) {
        // A thread the system will not give only leaves more tasks to the others.
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break;
        }
    }
    work();
    for (std::thread& t : helpers) t.join();
}

}  // namespace host::dxf
