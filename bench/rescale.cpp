// Growth of the print-scale rebuilds with the size of the drawing: the
// wall-face hatches made again at a new scale (1,000 and 10,000 of them),
// and the wall build-up visited floor by floor over three floors of wall
// lines. Both should grow linearly in the count.
#include "settings/rescale.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/geometry/vertex_list.h"
#include "core/hatch.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "host/util/findfile.h"
#include "settings/floors.h"
#include "settings/settings_module.h"
#include "store/settings_store.h"

namespace {

void StartDrawing() {
    host::startHost({});
    RegisterSettingsModule();
    host::resetEditorSession();
    std::string root = VELM_SOURCE_DIR;
    host::setSupportPathProvider([root] {
        return std::vector<std::string>{root + "/support", root + "/support/host"};
    });
    SetSettingInt(SetupVar::SFATSCALA, 50);
}

void EndDrawing() {
    host::resetEditorSession();
    UnregisterSettingsModule();
}

void BM_RescaleWallHatches(benchmark::State& state) {
    StartDrawing();
    const int count = static_cast<int>(state.range(0));
    for (int i = 0; i < count; ++i) {
        auto* face = new FaceRecord;
        const double x = 10.0 * (i % 100), z = 10.0 * (i / 100);
        for (Point3 p : {Point3{x, 0, z}, Point3{x + 8, 0, z}, Point3{x + 8, 0, z + 8}, Point3{x, 0, z + 8}})
            AppendVertex(&face->corners, p, 0, 0, 0);
        OwnedList<FaceRecord> contour(face);
        const double angle = 45.0, scale = 1.0;
        HatchContour3d(contour.get(), "2DWALLS", &angle, &scale, "ANSI31", nullptr);
    }
    double entry = 1.0;
    for (auto _ : state) {
        // A new factor each run, so every hatch is made again.
        entry = entry == 1.0 ? 2.0 : 1.0;
        AccessScaleFactor(50, 6, entry, true);
        RescaleHatchBlocks(3);
    }
    state.SetComplexityN(count);
    EndDrawing();
}
BENCHMARK(BM_RescaleWallHatches)->Arg(1000)->Arg(10000)->Complexity()->Unit(benchmark::kMillisecond);

void BM_RescaleWallDefs(benchmark::State& state) {
    StartDrawing();
    const int lines = static_cast<int>(state.range(0));
    if (VELM_PIANI* p = OpenPianiObject(false)) {
        p->piani.floors.clear();
        for (double z : {0.0, 300.0, 600.0}) {
            AA_PIANO f;
            f.elevation = z;
            f.height = 300.0;
            p->piani.floors.push_back(f);
        }
        p->close();
    }
    // The walls' own rebuild belongs to the walls; here the floor walk and
    // the 3D faces it clears are measured, with a stand-in that counts.
    long visited = 0;
    SetFloorWallLayersHook([&](double) {
        visited += lines;
        return true;
    });
    for (auto _ : state) RescaleWallDefs();
    benchmark::DoNotOptimize(visited);
    SetFloorWallLayersHook(nullptr);
    state.SetComplexityN(lines);
    EndDrawing();
}
BENCHMARK(BM_RescaleWallDefs)->Arg(300)->Arg(3000)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace
