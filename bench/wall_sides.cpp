// One straight wall side of 0, 10 and 100 windows generated again and
// again: the old faces erased by position, the polygon built, the windows
// bridged in as holes and the whole ear-clipped into 3DFACEs. A facade of
// 100 windows must stay well under a tenth of a second.
#include "visual/model3d/wall_sides.h"

#include <benchmark/benchmark.h>

#include <string>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "settings/settings_module.h"
#include "visual/model3d/face_records.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/outline_record.h"

namespace {

constexpr double kWindow = 120.0, kPitch = 200.0, kThick = 30.0;

void Make(resbuf* list) {
    zcdbEntMake(list);
    zcutRelRb(list);
}

void Window(double x) {
    const ads_point base = {x + kWindow / 2, 0, 0};
    const ads_point a1 = {x, 0, 0}, b1 = {x, kThick, 0}, a2 = {x + kWindow, 0, 0},
                    b2 = {x + kWindow, kThick, 0};
    const ads_point r1[4] = {{x, 0, 90}, {x + kWindow, 0, 90}, {x + kWindow, 0, 210}, {x, 0, 210}};
    const ads_point r2[4] = {
        {x, kThick, 90}, {x + kWindow, kThick, 90}, {x + kWindow, kThick, 210}, {x, kThick, 210}};
    resbuf* list =
        zcutBuildList(RTDXF0, "POINT", 8, "VELM2DOBJ$0", 10, base, -3, 1001, kTag3DiStrApp, 1070, 11, 1070, 0,
                      1040, kWindow, 1040, 120.0, 1040, 90.0, 1070, 0, 1040, kThick, 1011, a1, 1011, a1, 1002,
                      "{", 1011, a1, 1011, b1, 1002, "}", 1002, "{", 1011, a2, 1011, b2, 1002, "}", 0);
    resbuf* tail = list;
    while (tail->rbnext) tail = tail->rbnext;
    for (const auto* ring : {r1, r2}) {
        tail->rbnext = zcutBuildList(1002, "{", 1070, 1, 1011, ring[0], 1070, 1, 1011, ring[1], 1070, 1, 1011,
                                     ring[2], 1070, 1, 1011, ring[3], 1002, "}", 0);
        while (tail->rbnext) tail = tail->rbnext;
    }
    tail->rbnext = zcutBuildList(1002, "{", 1002, "}", 1002, "{", 1002, "}", 0);
    Make(list);
}

void BM_StraightSideWithWindows(benchmark::State& state) {
    const int windows = static_cast<int>(state.range(0));
    RegisterSettingsModule();
    host::startHost({});
    host::resetEditorSession();
    zcdbRegApp(kTag3DiStrApp);
    const double length = kPitch * (windows + 1);
    for (double y : {0.0, kThick}) {
        const ads_point a = {0, y, 0}, b = {length, y, 0};
        Make(zcutBuildList(RTDXF0, "LINE", 8, "VELM2DWALLS$0", 10, a, 11, b, 0));
    }
    for (int i = 0; i < windows; ++i) Window(kPitch * (i + 1) - kWindow / 2);
    CFACCIATE g;
    g.floorHeight = 300.0;
    g.Build(false, true, nullptr, false);
    WallFace* face = g.faces;
    while (face && (face->start.y != 0.0 || face->end.y != 0.0)) face = face->next;
    if (!face) state.SkipWithError("no wall face");
    for (auto _ : state) {
        if (!face) break;
        Erase3DFacesOnSegment(face->start, face->end, 0.0);
        GenWallSide(*face, "VELM3DWALLS$0", 0.0, 300.0);
    }
    g.Clear();
    host::resetEditorSession();
    UnregisterSettingsModule();
}
BENCHMARK(BM_StraightSideWithWindows)->Arg(0)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace
