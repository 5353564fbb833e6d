// Growth of the hip-roof generator with the number of outline vertices: a
// rectangle (4), an L (6), and stepped outlines of 8 to 23 vertices (a
// staircase of equal steps closed by two long sides). The candidate stage
// visits every ordered triple of a pitch's lines, so the work grows about
// as the fourth power of the vertex count; 23 vertices is the command's
// limit.
#include "roofs/hip_roof.h"

#include <benchmark/benchmark.h>

#include <vector>

#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "settings/settings_module.h"

namespace {

// A counter-clockwise outline of `n` vertices (4, 6, or a staircase).
std::vector<Point3> Outline(int n) {
    if (n == 4) return {{0, 0, 0}, {1000, 0, 0}, {1000, 600, 0}, {0, 600, 0}};
    if (n == 6) return {{0, 0, 0}, {1000, 0, 0}, {1000, 400, 0}, {400, 400, 0}, {400, 1000, 0}, {0, 1000, 0}};
    // Steps rising to the left over a long bottom side; an odd count adds
    // a vertex in the middle of the bottom side.
    const int steps = (n - 2) / 2;
    const double w = 200.0, h = 150.0, W = steps * w;
    std::vector<Point3> pts{{0, 0, 0}};
    if (n % 2 == 1) pts.push_back({W / 2.0, 0, 0});
    pts.push_back({W, 0, 0});
    for (int s = 1; s <= steps; ++s) {
        const double x = W - (s - 1) * w, y = 400.0 + s * h;
        pts.push_back({x, y, 0});
        pts.push_back({x - w, y, 0});
    }
    return pts;
}

void BM_HipRoof(benchmark::State& state) {
    RegisterSettingsModule();
    host::startHost({});
    host::resetEditorSession();
    const std::vector<Point3> outline = Outline(static_cast<int>(state.range(0)));
    std::size_t pitches = 0;
    for (auto _ : state) {
        bool broken = false;
        pitches = GenerateHipRoof(outline, 100.0, broken).size();
        benchmark::DoNotOptimize(pitches);
    }
    state.counters["pitches"] = static_cast<double>(pitches);
    host::resetEditorSession();
}

}  // namespace

BENCHMARK(BM_HipRoof)->Arg(4)->Arg(6)->Arg(11)->Arg(17)->Arg(23)->Unit(benchmark::kMillisecond);
