// The 3D model of whole floors: grids of rooms of about 100, 1,000 and
// 5,000 wall lines, each room with a door cut through its bottom wall.
// Graph building and the whole floor command (one erase of the floor's
// faces, every side generated) are timed apart; the floor command must grow
// linearly with the number of sides. Last, the regeneration around one
// wall line that object placement runs, on the 1,000-line floor.
#include <benchmark/benchmark.h>

#include <cmath>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "settings/settings_module.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "visual/model3d/wall3d_commands.h"
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
    Make(zcutBuildList(RTDXF0, "LINE", 8, "VELM2DWALLS$0", 10, a, 11, b, 0));
}

void FaceWithDoor(double x1, double x2, double y, double x0) {
    Wall(x1, y, x0 + kDoorFrom, y);
    Wall(x0 + kDoorTo, y, x2, y);
}

// A door through the wall on the axis y0, with its hole on both faces.
void Door(double x0, double y0) {
    const double xa = x0 + kDoorFrom, xb = x0 + kDoorTo, ya = y0 + kHalf, yb = y0 - kHalf;
    const ads_point base = {(xa + xb) / 2, y0, 0};
    const ads_point a1 = {xa, ya, 0}, b1 = {xa, yb, 0}, a2 = {xb, ya, 0}, b2 = {xb, yb, 0};
    resbuf* list =
        zcutBuildList(RTDXF0, "POINT", 8, "VELM2DOBJ$0", 10, base, -3, 1001, kTag3DiStrApp, 1070, 11, 1070, 0,
                      1040, 90.0, 1040, 210.0, 1040, 0.0, 1070, 0, 1040, 30.0, 1011, a1, 1011, a1, 1002, "{",
                      1011, a1, 1011, b1, 1002, "}", 1002, "{", 1011, a2, 1011, b2, 1002, "}", 0);
    resbuf* tail = list;
    while (tail->rbnext) tail = tail->rbnext;
    for (double y : {ya, yb}) {
        const ads_point r[4] = {{xa, y, 0}, {xb, y, 0}, {xb, y, 210}, {xa, y, 210}};
        tail->rbnext = zcutBuildList(1002, "{", 1070, 1, 1011, r[0], 1070, 1, 1011, r[1], 1070, 1, 1011, r[2],
                                     1070, 1, 1011, r[3], 1002, "}", 0);
        while (tail->rbnext) tail = tail->rbnext;
    }
    tail->rbnext = zcutBuildList(1002, "{", 1002, "}", 1002, "{", 1002, "}", 0);
    Make(list);
}

void DrawGrid(int cols, int rows) {
    zcdbRegApp(kTag3DiStrApp);
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < cols; ++i) {
            const double x0 = i * kRoomX, y0 = j * kRoomY;
            const double l = x0 + kHalf, r = x0 + kRoomX - kHalf, b = y0 + kHalf, t = y0 + kRoomY - kHalf;
            FaceWithDoor(l, r, b, x0);
            if (j + 1 < rows)
                FaceWithDoor(l, r, t, x0);
            else
                Wall(l, t, r, t);
            Wall(l, b, l, t);
            Wall(r, b, r, t);
            Door(x0, y0);
            if (j == 0)
                FaceWithDoor(x0 - (i == 0 ? kHalf : 0), x0 + kRoomX + (i + 1 == cols ? kHalf : 0), -kHalf,
                             x0);
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

// About six wall lines a room.
struct Floor {
    Floor(int lines) {
        const int rooms = std::max(1, lines / 6);
        int cols = static_cast<int>(std::ceil(std::sqrt(rooms * 1.6)));
        const int rows = std::max(1, rooms / cols);
        RegisterSettingsModule();
        host::startHost({});
        host::resetEditorSession();
        DrawGrid(cols, rows);
    }
    ~Floor() {
        host::resetEditorSession();
        UnregisterSettingsModule();
    }
    static int WallLines() {
        resbuf* filter = zcutBuildList(RTDXF0, "LINE", 0);
        ads_name set;
        std::int32_t n = 0;
        if (zcedSSGet("X", nullptr, nullptr, filter, set) == RTNORM) {
            zcedSSLength(set, &n);
            zcedSSFree(set);
        }
        zcutRelRb(filter);
        return n;
    }
};

void BM_GraphOfFloor(benchmark::State& state) {
    Floor floor(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CFACCIATE g;
        g.level = 0.0;
        g.Build(false, true, nullptr, false);
        g.MergePillars();
        g.Clear();
    }
    state.counters["lines"] = Floor::WallLines();
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_GraphOfFloor)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_FloorCommand(benchmark::State& state) {
    Floor floor(static_cast<int>(state.range(0)));
    for (auto _ : state) Gen3DWallsOfFloor(0.0);
    state.counters["lines"] = Floor::WallLines();
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FloorCommand)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_RegenAroundOneWall(benchmark::State& state) {
    Floor floor(1000);
    Gen3DWallsOfFloor(0.0);
    SetSettingInt(SetupVar::SETOPZM3DAUTO, 1);
    resbuf* filter = zcutBuildList(RTDXF0, "LINE", 0);
    ads_name set, line;
    zcedSSGet("X", nullptr, nullptr, filter, set);
    zcutRelRb(filter);
    zcedSSName(set, 0, line);
    zcedSSFree(set);
    for (auto _ : state) Regen3DWallsAround(line, nullptr, 0.0, nullptr, nullptr);
}
BENCHMARK(BM_RegenAroundOneWall)->Unit(benchmark::kMillisecond);

// The floor-height driver regenerates every generated side of a floor.
void BM_RegenOfLevel(benchmark::State& state) {
    Floor floor(static_cast<int>(state.range(0)));
    Gen3DWallsOfFloor(0.0);
    for (auto _ : state) Regen3DWallsOfLevel(0.0, 275.0, 0);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RegenOfLevel)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
