// Growth of the face-ring triangulation (bridge, ear clipping, one 3DFACE
// per triangle made into the drawing) with the ring size, on a convex ring
// and on a comb (deep notches, many reflex vertices). Each iteration builds
// its polygon and a fresh drawing untimed.
#include "core/geometry/face_rings.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "host/ads/adsent.h"
#include "host/db/dbmain.h"

namespace {

void Add(VertexNode*& head, VertexNode*& tail, double x, double y) {
    VertexNode* v = NewVertex(x, y, 0.0, 1, 0, 0, 0);
    (tail ? tail->next : head) = v;
    tail = v;
}

VertexNode* ConvexRing(int n) {
    VertexNode *head = nullptr, *tail = nullptr;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * M_PI * i / n;
        Add(head, tail, 100.0 * std::cos(a), 100.0 * std::sin(a));
    }
    return head;
}

// Teeth of width 1 and height 9 on a base of height 1; four vertices a tooth.
VertexNode* CombRing(int n) {
    const int teeth = std::max(1, n / 4);
    VertexNode *head = nullptr, *tail = nullptr;
    Add(head, tail, 0.0, 0.0);
    Add(head, tail, 2.0 * teeth, 0.0);
    for (int t = teeth - 1; t >= 0; --t) {
        Add(head, tail, 2.0 * t + 2.0, 10.0);
        Add(head, tail, 2.0 * t + 1.0, 10.0);
        Add(head, tail, 2.0 * t + 1.0, 1.0);
        if (t > 0) Add(head, tail, 2.0 * t, 1.0);
    }
    return head;
}

template <VertexNode* (*Make)(int)>
void BM_FaceRings(benchmark::State& state) {
    Matrix4 identity;
    SetIdentity4(identity);
    const int n = static_cast<int>(state.range(0));
    int vertices = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto db = std::make_unique<ZcDbDatabase>();
        db->disableUndoRecording(true);
        zcdbSetCurDwg(db.get());
        ContourNode polygon;
        polygon.vertices = Make(n);
        vertices = CountNodes(polygon.vertices);
        state.ResumeTiming();
        RingNode* ring = BridgeHolesIntoOutline(&polygon);
        TriangulateTo3DFaces("0", &polygon, ring, identity);
        state.PauseTiming();
        FreeList(ring);
        zcdbSetCurDwg(nullptr);
        db.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(vertices);
    state.counters["vertices"] = vertices;
}

}  // namespace

BENCHMARK(BM_FaceRings<ConvexRing>)
    ->Name("face_rings_convex")
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_FaceRings<CombRing>)
    ->Name("face_rings_comb")
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
