// Growth of the wall-face graph with the size of a floor: a grid of rooms
// (10, 100 and 1,000) drawn as wall faces 30 thick on their axes, each room
// with a door in its bottom wall, read into a graph and one room's contour
// traced in it. The graph's searches go through point grids, so the time
// should grow close to linearly with the number of wall lines.
#include <benchmark/benchmark.h>

#include <cmath>
#include <initializer_list>

#include "core/geometry/vertex_list.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "settings/settings_module.h"
#include "settings/store/settings_store.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/outline_record.h"

namespace {

constexpr double kRoomX = 400.0, kRoomY = 300.0, kHalf = 15.0;
constexpr double kDoorFrom = 150.0, kDoorTo = 240.0;

void Make(resbuf* list) {
    zcdbEntMake(list);
    zcutRelRb(list);
}

void Wall(double x1, double y1, double x2, double y2) {
    const ads_point a = {x1, y1, 0}, b = {x2, y2, 0};
    Make(zcutBuildList(RTDXF0, "LINE", 8, "VELM2DWALLS$0", 10, a, 11, b, -3, 1001, "VELM5$_$DATITIPOMURO-",
                       1000, "Mur 30", 1070, 0, 0));
}

// A horizontal wall face from x1 to x2 at y, interrupted by the doors whose
// jambs start at the given x positions.
void FaceWithDoors(double x1, double x2, double y, std::initializer_list<double> doors) {
    double from = x1;
    for (double d : doors) {
        Wall(from, y, d + kDoorFrom, y);
        from = d + kDoorTo;
    }
    Wall(from, y, x2, y);
}

void Door(double x0, double y0) {
    const ads_point base = {x0 + (kDoorFrom + kDoorTo) / 2, y0, 0};
    const ads_point a1 = {x0 + kDoorFrom, y0 + kHalf, 0}, a2 = {x0 + kDoorFrom, y0 - kHalf, 0};
    const ads_point b1 = {x0 + kDoorTo, y0 + kHalf, 0}, b2 = {x0 + kDoorTo, y0 - kHalf, 0};
    Make(zcutBuildList(RTDXF0, "POINT", 8, "VELM2DDOORS$0", 10, base, -3, 1001, kTag3DiStrApp, 1070, 11, 1070,
                       0, 1040, 90.0, 1040, 210.0, 1040, 0.0, 1070, 0, 1040, 30.0, 1011, base, 1011, base,
                       1002, "{", 1011, a1, 1011, a2, 1002, "}", 1002, "{", 1011, b1, 1011, b2, 1002, "}",
                       0));
}

// cols x rows rooms; every room has a door in its bottom wall.
void DrawGrid(int cols, int rows) {
    zcdbRegApp("VELM5$_$DATITIPOMURO-");
    zcdbRegApp(kTag3DiStrApp);
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < cols; ++i) {
            const double x0 = i * kRoomX, y0 = j * kRoomY;
            const double l = x0 + kHalf, r = x0 + kRoomX - kHalf, b = y0 + kHalf, t = y0 + kRoomY - kHalf;
            FaceWithDoors(l, r, b, {x0});
            if (j + 1 < rows)
                FaceWithDoors(l, r, t, {x0});
            else
                Wall(l, t, r, t);
            Wall(l, b, l, t);
            Wall(r, b, r, t);
            Door(x0, y0);
            // The outer faces of the house, one line per room side.
            if (j == 0)
                FaceWithDoors(x0 - (i == 0 ? kHalf : 0), x0 + kRoomX + (i + 1 == cols ? kHalf : 0), -kHalf,
                              {x0});
            if (j + 1 == rows)
                Wall(x0 - (i == 0 ? kHalf : 0), rows * kRoomY + kHalf,
                     x0 + kRoomX + (i + 1 == cols ? kHalf : 0), rows * kRoomY + kHalf);
            if (i == 0)
                Wall(-kHalf, y0 - (j == 0 ? kHalf : 0), -kHalf, y0 + kRoomY + (j + 1 == rows ? kHalf : 0));
            if (i + 1 == cols)
                Wall(cols * kRoomX + kHalf, y0 - (j == 0 ? kHalf : 0), cols * kRoomX + kHalf,
                     y0 + kRoomY + (j + 1 == rows ? kHalf : 0));
        }
    }
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
        DrawGrid(cols, rows);
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
