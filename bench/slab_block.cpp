// Growth of the slab block writer with the number of vertices: a jagged
// round outline with a grid of octagonal openings (half the vertices in the
// outline, half in the openings), 100, 1,000 and 5,000 vertices in all,
// written as an anonymous block of faces into a drawing. The ear scan of
// the writer restarts from the head after every ear; its remembered
// failures and edge grid keep the growth near linear.
#include "roofs/slab_block.h"

#include <benchmark/benchmark.h>

#include <cmath>

#include "core/geometry/polygon.h"
#include "host/ads/rbutil.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "roofs/slab_record.h"
#include "settings/settings_module.h"
#include "settings/store/settings_store.h"

namespace {

ContourNode* Loop(int n, double cx, double cy, double r, bool clockwise, double jag, int index) {
    auto* k = new ContourNode;
    VertexNode** tail = &k->vertices;
    for (int i = 0; i < n; ++i) {
        const double a = (clockwise ? -2.0 : 2.0) * M_PI * i / n;
        const double rr = r * (1.0 - jag * (i % 2));
        *tail = NewVertex(cx + rr * std::cos(a), cy + rr * std::sin(a), 0.0, 1, index, 0, 0);
        tail = &(*tail)->next;
    }
    return k;
}

ContourNode* Slab(int total) {
    const int outline = total / 2;
    ContourNode* loops = Loop(outline, 0, 0, 1000.0, false, 0.02, 0);
    const int openings = (total - outline) / 8;
    const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(openings))));
    const double cell = 1300.0 / side;
    ContourNode* tail = loops;
    int made = 0;
    for (int i = 0; i < side && made < openings; ++i)
        for (int j = 0; j < side && made < openings; ++j, ++made) {
            tail->next =
                Loop(8, -650 + cell * (i + 0.5), -650 + cell * (j + 0.5), cell * 0.3, true, 0.0, made + 1);
            tail = tail->next;
        }
    return loops;
}

struct Drawing {
    Drawing() {
        RegisterSettingsModule();
        host::startHost({});
        host::resetEditorSession();
    }
    ~Drawing() {
        host::resetEditorSession();
        UnregisterSettingsModule();
    }
};

void BM_MakeSlabBlock(benchmark::State& state) {
    Drawing drawing;
    CFALDA record;
    record.name = "FLOORSLAB";
    record.thickness = 25.0;
    record.edgeKey = 1;
    record.SetLoops(Slab(static_cast<int>(state.range(0))));
    MakeSlabLayerName(record);
    for (auto _ : state) {
        std::string block;
        resbuf* xdata = MakeSlabBlock(record, block, BridgeHoles(record.loops), 0.0);
        if (!xdata) state.SkipWithError("no block");
        zcutRelRb(xdata);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_MakeSlabBlock)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
