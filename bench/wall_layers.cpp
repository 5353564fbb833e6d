// Growth of the drawing of build-up layers with the count of walls: every
// run erases the earlier drawing and makes one block (two strips, one inner
// line, one hatch) per wall. It should grow linearly in the count.
#include "walls/recognition/wall_layers.h"

#include <benchmark/benchmark.h>

#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "host/util/findfile.h"
#include "settings/settings_module.h"
#include "store/settings_store.h"

namespace {

class Floor : public WallLayerSet {
public:
    explicit Floor(int walls) : m_walls(walls) {}
    CListMuri& WallTypes() override { return m_types; }
    int DrawingScale() const override { return 50; }
    double Elevation() const override { return 0.0; }
    std::string BlockLayer() const override { return "VELMSTRAT_BLOCK$0"; }
    int WallPairCount() const override { return m_walls; }
    bool SecondSegmentExternal(int) const override { return false; }
    void SwapSegments(int) override {}
    std::vector<LayerOutline> LayerOutlines(int pair) override {
        double y = 100.0 * pair;
        std::vector<LayerOutline> out(2);
        for (int i = 0; i < 2; ++i) {
            out[i].layer = i ? "2DWALLS_INSULATION" : "2DWALLS_MASONRY";
            out[i].pattern = i ? "0" : "ANSI31";
            VertexNode* ring = nullptr;
            AppendVertex(&ring, {0, y + 15.0 * i, 0}, i, 0, 0);
            AppendVertex(&ring, {500, y + 15.0 * i, 0}, 0, 0, 0);
            AppendVertex(&ring, {500, y + 15.0 * i + 15, 0}, 0, 0, 0);
            AppendVertex(&ring, {0, y + 15.0 * i + 15, 0}, 0, 0, 0);
            out[i].rings.emplace_back(ring);
        }
        return out;
    }

private:
    int m_walls;
    CListMuri m_types;
};

void BM_DrawWallLayers(benchmark::State& state) {
    host::startHost({});
    RegisterSettingsModule();
    host::resetEditorSession();
    std::string root = VELM_SOURCE_DIR;
    host::setSupportPathProvider([root] {
        return std::vector<std::string>{root + "/support", root + "/support/host"};
    });
    Floor floor(static_cast<int>(state.range(0)));
    for (auto _ : state) DrawWallLayers(floor);
    state.SetComplexityN(state.range(0));
    host::resetEditorSession();
    UnregisterSettingsModule();
}
BENCHMARK(BM_DrawWallLayers)
    ->RangeMultiplier(4)
    ->Range(64, 4096)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

}  // namespace
