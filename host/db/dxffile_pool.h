// The threads the DXF reader and writer share out their work on (those of
// host/util/tasks). A run hands out numbered tasks (chunks of text or of
// entities) to as many threads as the machine has cores, the calling
// thread among them, and returns when the last task is done: no thread
// outlives the run. VELM_DXF_THREADS caps the count; 1 keeps everything
// on the calling thread, as the serial path does.
#pragma once

#include <cstddef>
#include <functional>

namespace host::dxf {

// The threads a run may use now (the cap is read at every run, so it can
// be changed between loads).
unsigned threadCount();

// task(k) for every k in [0, count), each exactly once, on up to
// threadCount() threads; returns when all are done. Tasks must not throw:
// a task that fails records it in its own result.
void runTasks(std::size_t count, const std::function<void(std::size_t)>& task);

}  // namespace host::dxf
