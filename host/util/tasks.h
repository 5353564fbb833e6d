// Numbered tasks shared out on the machine's cores for one run: the calling
// thread works too, and no thread outlives the run. The DXF reader and
// writer split their text and entities this way, the shadow pass its
// receivers; nothing else of the host runs off the calling thread.
#pragma once

#include <cstddef>
#include <functional>

namespace host {

// The machine's cores, at least one.
unsigned machineCores();

// task(k) for every k in [0, count), each exactly once, on up to `threads`
// threads (1 keeps everything on the calling thread); returns when all are
// done. Tasks must not throw: a task that fails records it in its own
// result.
void runTasks(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& task);

}  // namespace host
