// Growth of the regeneration of placed objects with their number: 100 and
// 1,000 windows, each drawn anew from its own record, as the layer-group
// command, the floors and the rescaling do. Should grow linearly.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "host/util/findfile.h"
#include "objects/draw/draw_runner.h"
#include "objects/language/obj_context.h"
#include "objects/language/obj_data.h"
#include "objects/language/obj_expr.h"
#include "objects/language/obj_geometry.h"
#include "objects/language/obj_records.h"
#include "objects/language/obj_text.h"
#include "objects/placement/modify_regen.h"
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
    RegisterObjectRecordApps();
}

void EndDrawing() {
    host::resetEditorSession();
    UnregisterSettingsModule();
}

// One window as the insertion run leaves it, without a wall.
void PlaceWindow(const AAR_LAYERC& layers, double x) {
    std::unique_ptr<ObjContext> c = NewObjContext("F1");
    InitObjVariables(*c);
    LoadObjFile(*c, "F1");
    ReadVarSection(true, *c);
    ReadInsertionType(*c);
    EvaluateComputedVars(c->vars, DrawingUnitFactor());
    ReadTypoSection(*c);
    ReadFixpSection(*c, true);
    ReadCutSection(*c);
    ReadTabelleSection(*c);
    FindSection("DRAW", *c->text, true);
    ReadTextLine(*c->text, 258, true);
    c->insertLayer = std::string(1, '0');  // a literal here trips a false -Wrestrict of GCC 12
    RunDrawBlock(*c, layers);
    c->insertionPoint[0] = x;
    ads_name insert;
    AttachParamXdata(*c, insert);
    FreeObjContext(std::move(c));
}

void BM_RegenerateWindows(benchmark::State& state) {
    StartDrawing();
    const int count = static_cast<int>(state.range(0));
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    for (int i = 0; i < count; ++i) PlaceWindow(layers, 200.0 * i);
    std::vector<std::array<std::int64_t, 2>> objects;
    resbuf* filter = zcutBuildList(-3, 1001, "VELM5$_$PARAMETRI-", 0);
    ads_name set;
    if (zcedSSGet("X", nullptr, nullptr, filter, set) == RTNORM) {
        std::int32_t n = 0;
        zcedSSLength(set, &n);
        for (std::int32_t i = 0; i < n; ++i) {
            ads_name e;
            zcedSSName(set, i, e);
            objects.push_back({e[0], e[1]});
        }
        zcedSSFree(set);
    }
    zcutRelRb(filter);
    for (auto _ : state) {
        for (const auto& o : objects) {
            const ads_name e = {o[0], o[1]};
            RegenParamObject(e, layers, nullptr, -1, "*", nullptr);
        }
    }
    state.counters["objects"] = static_cast<double>(objects.size());
    state.SetComplexityN(count);
    EndDrawing();
}
BENCHMARK(BM_RegenerateWindows)
    ->Arg(100)
    ->Arg(1000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
