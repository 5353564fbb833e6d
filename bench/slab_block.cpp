// Growth of the slab block writer with the number of vertices, 100, 1,000
// and 5,000 in all, half of them in octagonal openings, written as an
// anonymous block of side, bottom and top faces into a drawing:
//   - BM_WriteSlab: a jagged round outline with a grid of openings, bridged
//     and written, as RewriteSlab does;
//   - BM_MakeSlabBlock: a long slab with a row of openings along its bottom
//     side, the ring built here as the hole bridging joins them (each
//     opening walked clockwise from its lowest vertex), the writer alone. The writer's ear scan restarts from
//     the head after every ear; its
// remembered failures and tree of edge boxes keep the growth near linear.
#include "roofs/slab_block.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "core/geometry/polygon.h"
#include "core/geometry/vertex_list.h"
#include "host/ads/rbutil.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "host/util/resbuf.h"
#include "roofs/slab_record.h"
#include "settings/settings_module.h"

namespace {

constexpr double kPitch = 10.0, kHeight = 40.0, kRadius = 3.0;

struct Slab {
    ContourNode* loops = nullptr;
    std::vector<VertexNode*> ring;  // the bridged ring, vertices repeated at bridges
};

VertexNode* Add(VertexNode**& tail, double x, double y, int loop) {
    VertexNode* v = NewVertex(x, y, 0.0, 1, loop, 0, 0);
    *tail = v;
    tail = &v->next;
    return v;
}

Slab MakeSlab(int total) {
    const int holes = std::max(1, total / 16);
    const int outlineCount = total - 8 * holes;
    const double width = kPitch * (holes + 1);
    Slab s;
    s.loops = new ContourNode;
    VertexNode** tail = &s.loops->vertices;
    std::vector<std::pair<VertexNode*, int>> bottom;  // outline vertex, hole bridged from it (-1 none)
    for (int h = 0; h < holes; ++h) {
        bottom.push_back({Add(tail, kPitch * (h + 1) - kPitch / 2, 0.0, 0), -1});
        bottom.push_back({Add(tail, kPitch * (h + 1), 0.0, 0), h});
    }
    Add(tail, width, 0.0, 0);
    const int top = std::max(2, outlineCount - static_cast<int>(bottom.size()) - 1);
    std::vector<VertexNode*> rest;
    for (int i = 0; i < top; ++i) {
        const double x = width - width * i / (top - 1);
        rest.push_back(Add(tail, x, kHeight + (i % 2) * 2.0, 0));
    }
    Add(tail, 0.0, 0.0, 0);  // the closing corner

    std::vector<std::vector<VertexNode*>> holeVertices(holes);
    ContourNode* last = s.loops;
    for (int h = 0; h < holes; ++h) {
        auto* k = new ContourNode;
        VertexNode** ht = &k->vertices;
        for (int i = 0; i < 8; ++i) {
            const double a = -M_PI / 2 - 2.0 * M_PI * i / 8;  // clockwise from the lowest vertex
            holeVertices[h].push_back(
                Add(ht, kPitch * (h + 1) + kRadius * std::cos(a), 10.0 + kRadius * std::sin(a), h + 1));
        }
        last->next = k;
        last = k;
    }

    // The ring: counter-clockwise outline, each opening entered from its
    // bottom vertex and left back to it.
    for (VertexNode* v = s.loops->vertices; v; v = v->next) {
        s.ring.push_back(v);
        for (const auto& [b, h] : bottom)
            if (b == v && h >= 0) {
                for (VertexNode* q : holeVertices[h]) s.ring.push_back(q);
                s.ring.push_back(holeVertices[h][0]);
                s.ring.push_back(v);
            }
    }
    return s;
}

RingNode* RingOf(const Slab& s) {
    RingNode* head = nullptr;
    RingNode** tail = &head;
    for (VertexNode* v : s.ring) {
        auto* r = new RingNode;
        r->vertex = v;
        *tail = r;
        tail = &r->next;
    }
    return head;
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
    Slab slab = MakeSlab(static_cast<int>(state.range(0)));
    CFALDA record;
    record.name = "FLOORSLAB";
    record.thickness = 25.0;
    record.edgeKey = 1;
    record.SetLoops(slab.loops);
    MakeSlabLayerName(record);
    std::size_t faces = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RingNode* ring = RingOf(slab);
        state.ResumeTiming();
        std::string block;
        resbuf* xdata = MakeSlabBlock(record, block, ring, 0.0);
        if (!xdata) state.SkipWithError("no block");
        zcutRelRb(xdata);
        faces = slab.ring.size();
    }
    state.counters["ring"] = static_cast<double>(faces);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_MakeSlabBlock)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity();

ContourNode* Ring(int n, double cx, double cy, double r, bool clockwise, double jag, int index) {
    auto* k = new ContourNode;
    VertexNode** tail = &k->vertices;
    for (int i = 0; i < n; ++i) {
        const double a = (clockwise ? -2.0 : 2.0) * M_PI * i / n;
        const double rr = r * (1.0 - jag * (i % 2));
        Add(tail, cx + rr * std::cos(a), cy + rr * std::sin(a), index);
    }
    return k;
}

ContourNode* RoundSlab(int total) {
    const int outline = total / 2;
    ContourNode* loops = Ring(outline, 0, 0, 1000.0, false, 0.02, 0);
    const int openings = (total - outline) / 8;
    const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(openings))));
    const double cell = 1300.0 / side;
    ContourNode* tail = loops;
    int made = 0;
    for (int i = 0; i < side && made < openings; ++i)
        for (int j = 0; j < side && made < openings; ++j, ++made) {
            tail->next =
                Ring(8, -650 + cell * (i + 0.5), -650 + cell * (j + 0.5), cell * 0.3, true, 0.0, made + 1);
            tail = tail->next;
        }
    return loops;
}

void BM_WriteSlab(benchmark::State& state) {
    Drawing drawing;
    CFALDA record;
    record.name = "FLOORSLAB";
    record.thickness = 25.0;
    record.edgeKey = 1;
    record.SetLoops(RoundSlab(static_cast<int>(state.range(0))));
    MakeSlabLayerName(record);
    for (auto _ : state) {
        std::string block;
        resbuf* xdata = MakeSlabBlock(record, block, BridgeHoles(record.loops), 0.0);
        if (!xdata) state.SkipWithError("no block");
        zcutRelRb(xdata);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_WriteSlab)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
