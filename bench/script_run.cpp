// A script of "_LINE" commands run as the host program runs one: every line
// queued, each command name looked up (among the module's commands first,
// the module being loaded), its prompts answered and recorded in the
// transcript, one undo group and one new line per command, and at the end
// the drawing closed, which frees everything the script made. Should grow
// linearly. The host program does the same with its echo to stdout on top:
//
//   build-rel/velmhost --script l100k.scr > /dev/null
//
// where l100k.scr repeats "_LINE", "x1,y1", "x2,y2" and an empty line
// 100,000 times.
//
// Release on a shared machine: BM_LineScript/100000 0.33 s, least of six
// runs (their median 0.36 s; 0.7 s seen under load), with plain decimals
// read without copies; the host program 0.38-0.49 s user. What is left per
// command: the drawing's teardown and its handle map (about a quarter), the
// new line's allocation, LASTPOINT, ELEVATION and CMDNAMES through the
// variable table, the echo, and first touches of fresh memory.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/loaded_module.h"
#include "host/ads/transcript.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"

namespace {

std::string lineScript(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) {
        const std::string x = std::to_string(i % 1000), y = std::to_string(i / 1000);
        text += "_LINE\n" + x + "," + y + "\n" + x + ".5," + y + ".5\n\n";
    }
    return text;
}

void BM_LineScript(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string script = lineScript(n);
    LoadedModule module;
    for (auto _ : state) {
        state.PauseTiming();
        host::resetDocuments();
        zcDocManagerPtr()->createDocument("Drawing1.dwg");
        host::transcript().clear();
        state.ResumeTiming();
        host::currentInput().pushLines(script);
        benchmark::DoNotOptimize(host::processInput());
        host::resetDocuments();
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_LineScript)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace
