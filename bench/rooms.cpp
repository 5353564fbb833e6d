// Measuring every room of a floor: grids of 10 x 10, 20 x 20 and 40 x 40
// rooms drawn as wall faces 30 thick, each room with a door in its bottom
// wall (with its outline and mark record); the graph is built once and each
// room measured by the room calculation, deductions and the door's mark
// record included. The time per room should stay flat as the floor grows.
#include <benchmark/benchmark.h>

#include <cmath>
#include <initializer_list>

#include "core/geometry/vertex_list.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "objects/language/obj_records.h"
#include "rooms/room_calc.h"
#include "rooms/room_deductions.h"
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
    resbuf* list =
        zcutBuildList(RTDXF0, "POINT", 8, "VELM2DDOORS$0", 10, base, -3, 1001, kTag3DiStrApp, 1070, 11, 1070,
                      1, 1040, 1.89, 1040, 0.0, 1040, 0.0, 1070, 0, 1040, 30.0, 1011, base, 1011, base, 1002,
                      "{", 1011, a1, 1011, a2, 1002, "}", 1002, "{", 1011, b1, 1011, b2, 1002, "}", 0);
    resbuf* tail = list;
    while (tail->rbnext) tail = tail->rbnext;
    // The door's mark record, which every room around it writes into.
    tail->rbnext = zcutBuildList(1001, kAbInfissiObjApp, 1000, "P1", 1000, "PORTE", 1000, "S", 1000, "", 1000,
                                 "", 1040, 0.0, 1000, "", 1070, 1, 1040, 90.0, 1040, 0.0, 1040, 0.0, 1070, 0,
                                 1040, 0.0, 1040, 0.0, 1040, 0.0, 1070, 0, 1000, "", 1070, 0, 1000, "", 1000,
                                 "", 1040, 0.0, 1070, 1, 1040, 0.0, 0);
    Make(list);
}

// cols x rows rooms; every room has a door in its bottom wall.
void DrawGrid(int cols, int rows) {
    zcdbRegApp("VELM5$_$DATITIPOMURO-");
    zcdbRegApp(kTag3DiStrApp);
    zcdbRegApp(kAbInfissiObjApp);
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
    explicit Floor(int side) : cols(side), rows(side) {
        RegisterSettingsModule();
        host::startHost({});
        host::resetEditorSession();
        DrawGrid(cols, rows);
    }
    ~Floor() {
        host::resetEditorSession();
        UnregisterSettingsModule();
    }
};

void BM_MeasureEveryRoom(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    Floor floor(side);
    for (auto _ : state) {
        CFACCIATE g;
        PrepareRoomGraph(g, 0.0);
        RoomRecordScope records;
        for (int j = 0; j < side; ++j)
            for (int i = 0; i < side; ++i) {
                CCALCVANI room;
                room.rowNumber = j * side + i + 1;
                const Point3 inside{i * kRoomX + 200.0, j * kRoomY + 100.0, 0.0};
                if (!room.FindRoomOutline(inside, g)) state.SkipWithError("a room did not close");
            }
    }
    state.SetComplexityN(static_cast<long>(side) * side);
}
BENCHMARK(BM_MeasureEveryRoom)->Arg(10)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
