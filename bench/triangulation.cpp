// Growth of the ear-clipping triangulation with the ring size, on three
// shapes: a convex ring (every vertex an ear), a comb (deep notches, many
// reflex vertices) and an outline with holes bridged in (bridge ends appear
// twice in the ring). Each iteration builds its ring untimed, since the
// triangulation consumes it.
#include <benchmark/benchmark.h>

#include <cmath>

#include "core/geometry/triangulate.h"

namespace {

void Add(VertexNode*& head, VertexNode*& tail, double x, double y, int& index) {
    VertexNode* v = NewVertex(x, y, 0.0, 1, index++, 0, 0);
    (tail ? tail->next : head) = v;
    tail = v;
}

VertexNode* ConvexRing(int n) {
    VertexNode *head = nullptr, *tail = nullptr;
    int index = 0;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * M_PI * i / n;
        Add(head, tail, 100.0 * std::cos(a), 100.0 * std::sin(a), index);
    }
    return head;
}

// Teeth of width 1 and height 9 on a base of height 1; five vertices a tooth.
VertexNode* CombRing(int n) {
    const int teeth = std::max(1, n / 5);
    VertexNode *head = nullptr, *tail = nullptr;
    int index = 0;
    for (int t = 0; t < teeth; ++t) {
        Add(head, tail, 2.0 * t, 0.0, index);
        Add(head, tail, 2.0 * t + 1.0, 0.0, index);
    }
    Add(head, tail, 2.0 * teeth, 0.0, index);
    Add(head, tail, 2.0 * teeth, 10.0, index);
    for (int t = teeth - 1; t >= 0; --t) {
        Add(head, tail, 2.0 * t + 1.0, 10.0, index);
        Add(head, tail, 2.0 * t + 1.0, 1.0, index);
        Add(head, tail, 2.0 * t, 1.0, index);
        if (t > 0) Add(head, tail, 2.0 * t, 10.0, index);
    }
    Add(head, tail, 0.0, 10.0, index);
    return head;
}

// A row of 16-sided holes in a rectangle, each bridged down to the bottom
// side and walked clockwise, as the hole bridging joins them.
VertexNode* HolesRing(int n) {
    const int k = 16;
    const int holes = std::max(1, (n - 4) / (k + 3));
    VertexNode *head = nullptr, *tail = nullptr;
    int index = 0;
    Add(head, tail, 0.0, 0.0, index);
    for (int h = 0; h < holes; ++h) {
        const double cx = 3.0 * h + 2.0, cy = 2.0, r = 0.8;
        Add(head, tail, cx, 0.0, index);
        for (int i = 0; i <= k; ++i) {
            const double a = 1.5 * M_PI - 2.0 * M_PI * (i % k) / k;
            Add(head, tail, cx + r * std::cos(a), cy + r * std::sin(a), index);
        }
        Add(head, tail, cx, 0.0, index);
    }
    const double right = 3.0 * holes + 1.0;
    Add(head, tail, right, 0.0, index);
    Add(head, tail, right, 4.0, index);
    Add(head, tail, 0.0, 4.0, index);
    return head;
}

template <VertexNode* (*Make)(int)>
void BM_Triangulate(benchmark::State& state) {
    Matrix4 identity;
    SetIdentity4(identity);
    const int n = static_cast<int>(state.range(0));
    int vertices = 0;
    for (auto _ : state) {
        state.PauseTiming();
        VertexNode* ring = Make(n);
        vertices = CountNodes(ring);
        state.ResumeTiming();
        FaceRecord* faces = TriangulatePolygon(ring, vertices - 1, identity);
        benchmark::DoNotOptimize(faces);
        state.PauseTiming();
        FreeList(faces);
        state.ResumeTiming();
    }
    state.SetComplexityN(vertices);
    state.counters["vertices"] = vertices;
}

}  // namespace

BENCHMARK(BM_Triangulate<ConvexRing>)->Name("convex")->Arg(100)->Arg(1000)->Arg(10000)
    ->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_Triangulate<CombRing>)->Name("comb")->Arg(100)->Arg(1000)->Arg(10000)
    ->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_Triangulate<HolesRing>)->Name("bridged_holes")->Arg(100)->Arg(1000)->Arg(10000)
    ->Unit(benchmark::kMillisecond)->Complexity();
