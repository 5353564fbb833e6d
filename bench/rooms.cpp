// Measuring every room of a floor: grids of 10 x 10, 20 x 20 and 40 x 40
// rooms drawn as wall faces 30 thick, each room with a door in its bottom
// wall (with its outline and mark record); the graph is built once and each
// room measured by the room calculation, deductions and the door's mark
// record included. The time per room should stay flat as the floor grows.
#include <benchmark/benchmark.h>

#include <cmath>
#include <initializer_list>

#include "bench/room_grid.h"
#include "core/geometry/vertex_list.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "objects/language/obj_records.h"
#include "rooms/room_calc.h"
#include "rooms/room_deductions.h"
#include "settings/settings_module.h"
#include "store/settings_store.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/outline_record.h"

namespace {

using namespace roomgrid;

void Door(double x0, double y0) {
    const DoorPoints p(x0, y0);
    resbuf* list = zcutBuildList(RTDXF0, "POINT", 8, "VELM2DDOORS$0", 10, p.base, -3, 1001, kTag3DiStrApp,
                                 1070, 11, 1070, 1, 1040, 1.89, 1040, 0.0, 1040, 0.0, 1070, 0, 1040, 30.0,
                                 1011, p.base, 1011, p.base, 1002, "{", 1011, p.a1, 1011, p.a2, 1002, "}",
                                 1002, "{", 1011, p.b1, 1011, p.b2, 1002, "}", 0);
    resbuf* tail = list;
    while (tail->rbnext) tail = tail->rbnext;
    // The door's mark record, which every room around it writes into.
    tail->rbnext = zcutBuildList(1001, kAbInfissiObjApp, 1000, "P1", 1000, "PORTE", 1000, "S", 1000, "", 1000,
                                 "", 1040, 0.0, 1000, "", 1070, 1, 1040, 90.0, 1040, 0.0, 1040, 0.0, 1070, 0,
                                 1040, 0.0, 1040, 0.0, 1040, 0.0, 1070, 0, 1000, "", 1070, 0, 1000, "", 1000,
                                 "", 1040, 0.0, 1070, 1, 1040, 0.0, 0);
    Make(list);
}

struct Floor {
    int cols, rows;
    explicit Floor(int side) : cols(side), rows(side) {
        RegisterSettingsModule();
        host::startHost({});
        host::resetEditorSession();
        zcdbRegApp(kAbInfissiObjApp);
        DrawGrid(cols, rows, Door);
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
