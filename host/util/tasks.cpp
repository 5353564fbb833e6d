// Threads are started for one run and joined before it returns: starting
// eight costs a fraction of a millisecond, against the tens of
// milliseconds a run that is worth splitting takes.
#include "host/util/tasks.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace host {

unsigned machineCores() {
    // Made on first use: the machine's cores do not change while it runs.
    static const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return cores;
}

void runTasks(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& task) {
    if (count == 0) return;
    const std::size_t used = std::clamp<std::size_t>(threads, 1, count);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t k; (k = next.fetch_add(1, std::memory_order_relaxed)) < count;) task(k);
    };
    std::vector<std::thread> helpers;
    helpers.reserve(used - 1);
    for (std::size_t t = 1; t < used; ++t) {
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

}  // namespace host
