// Growth of the wall-face graph with the size of a floor: a grid of rooms
// (10, 100 and 1,000) drawn as wall faces 30 thick on their axes, each room
// with a door in its bottom wall, read into a graph and one room's contour
// traced in it. The graph's searches go through point grids, so the time
// should grow close to linearly with the number of wall lines.
#include <benchmark/benchmark.h>

#include <cmath>
#include <initializer_list>

#include "bench/room_grid.h"
#include "core/geometry/vertex_list.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "settings/settings_module.h"
#include "store/settings_store.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/outline_record.h"

namespace {

using namespace roomgrid;

void Door(double x0, double y0) {
    const DoorPoints p(x0, y0);
    Make(zcutBuildList(RTDXF0, "POINT", 8, "VELM2DDOORS$0", 10, p.base, -3, 1001, kTag3DiStrApp, 1070, 11,
                       1070, 0, 1040, 90.0, 1040, 210.0, 1040, 0.0, 1070, 0, 1040, 30.0, 1011, p.base, 1011,
                       p.base, 1002, "{", 1011, p.a1, 1011, p.a2, 1002, "}", 1002, "{", 1011, p.b1, 1011,
                       p.b2, 1002, "}", 0));
}

struct Floor {
    int cols, rows;
    Floor(int rooms) {
        cols = static_cast<int>(std::ceil(std::sqrt(rooms * 1.6)));
        while (rooms % cols) ++cols;
        rows = rooms / cols;
        RegisterSettingsModule();
        host::startHost({});
        host::resetEditorSession();
        DrawGrid(cols, rows, Door);
    }
    ~Floor() {
        host::resetEditorSession();
        UnregisterSettingsModule();
    }
    // A point inside the room in the middle of the grid.
    Point3 middle() const { return {(cols / 2) * kRoomX + 200.0, (rows / 2) * kRoomY + 100.0, 0}; }
};

void Trace(benchmark::State& state, CFACCIATE& g, const Point3& p) {
    double heading = 0.0, area = 0.0;
    WallFace* start = g.FindNearestFace(p, &heading);
    VertexNode* ring = g.RecognizeContour(heading, start, &area, true);
    if (CountNodes(ring) != 4 || !g.contour) state.SkipWithError("the room did not close");
    FreeList(ring);
}

void BM_BuildAndTraceRoom(benchmark::State& state) {
    Floor floor(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CFACCIATE g;
        g.Build(false, false, nullptr, false);
        Trace(state, g, floor.middle());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BuildAndTraceRoom)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Complexity();

// The whole sequence of the room commands, refinement included.
void BM_RoomCommandSequence(benchmark::State& state) {
    Floor floor(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CFACCIATE g;
        g.Build(false, false, nullptr, false);
        g.MergePillars();
        g.SplitAtJunctions();
        g.MergeFunLines();
        Trace(state, g, floor.middle());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RoomCommandSequence)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
