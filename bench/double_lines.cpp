// Growth of the inner lines of double-line walls with the size of a floor:
// a grid of rooms with walls 30 thick, about 400 and 4,000 wall faces held
// in a face graph, every face paired and its inner line built and cut. The
// faces are indexed by position, so the time should grow close to linearly
// (4,000 faces well under half a second).
#include <benchmark/benchmark.h>

#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "store/settings_store.h"
#include "walls/dblwall/dblwall_lines.h"

namespace {

constexpr double kRoomX = 400.0, kRoomY = 300.0, kHalf = 15.0;

void Face(CFACCIATE& g, double x1, double y1, double x2, double y2) {
    WallFace* f = NewWallFace();
    f->start = {x1, y1, 0};
    f->end = {x2, y2, 0};
    AppendFace(g.faces, f);
}

// The inner faces of every room and the outer faces of the house.
int FillGrid(CFACCIATE& g, int cols, int rows) {
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < cols; ++i) {
            const double l = i * kRoomX + kHalf, r = (i + 1) * kRoomX - kHalf;
            const double b = j * kRoomY + kHalf, t = (j + 1) * kRoomY - kHalf;
            Face(g, l, b, r, b);
            Face(g, r, b, r, t);
            Face(g, r, t, l, t);
            Face(g, l, t, l, b);
        }
    const double w = cols * kRoomX + kHalf, h = rows * kRoomY + kHalf;
    Face(g, -kHalf, -kHalf, w, -kHalf);
    Face(g, w, -kHalf, w, h);
    Face(g, w, h, -kHalf, h);
    Face(g, -kHalf, h, -kHalf, -kHalf);
    return 4 * cols * rows + 4;
}

void BM_PairAndBuildDoubleLines(benchmark::State& state) {
    RegisterStoreClasses();
    host::startHost({});
    host::resetEditorSession();
    const int cols = static_cast<int>(state.range(0)), rows = static_cast<int>(state.range(1));
    int faces = 0;
    std::size_t pieces = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CFACCIATE g;
        faces = FillGrid(g, cols, rows);
        state.ResumeTiming();
        DoubleLineFaces index(g, 50.0);
        double angle = 0.0;
        pieces = 0;
        while (WallFace* f = PairDoubleLines(&angle, 15.0, 50.0, index)) {
            const DoubleLine line = BuildDoubleLine(*f, angle, 4.0, index);
            pieces += DoubleLinePieces(*f, line, {}).size();
        }
        state.PauseTiming();
        g.Clear();
        state.ResumeTiming();
    }
    if (pieces != static_cast<std::size_t>(faces)) state.SkipWithError("a face got no inner line");
    state.counters["faces"] = faces;
    state.SetComplexityN(faces);
    host::resetEditorSession();
    UnregisterStoreClasses();
}
BENCHMARK(BM_PairAndBuildDoubleLines)
    ->Args({10, 10})
    ->Args({32, 31})
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
