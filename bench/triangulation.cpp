// Growth of the ear-clipping triangulation and of the hole bridging with the
// ring size. Rings: a convex ring (every vertex an ear, one long fan), a
// comb (deep notches, many reflex vertices), a star (spikes between two
// radii), a spiral strip (a long winding corridor) and a row of holes
// bridged in by hand (bridge ends appear twice in the ring); then a square
// grid of square holes bridged and triangulated, as a slab with openings
// is. Each iteration builds its input untimed, since the work consumes it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "core/geometry/polygon.h"
#include "core/geometry/triangulate.h"

namespace {

void Add(VertexNode*& head, VertexNode*& tail, double x, double y, int& index, int contour = 0) {
    VertexNode* v = NewVertex(x, y, 0.0, 1, index++, contour, 0);
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

// Teeth of width 1 and height 9 standing on a base of height 1, one unit
// apart; four vertices a tooth, no collinear ones.
VertexNode* CombRing(int n) {
    const int teeth = std::max(1, n / 4);
    VertexNode *head = nullptr, *tail = nullptr;
    int index = 0;
    Add(head, tail, 0.0, 0.0, index);
    Add(head, tail, 2.0 * teeth - 1.0, 0.0, index);
    for (int t = teeth - 1; t >= 0; --t) {
        Add(head, tail, 2.0 * t + 1.0, 10.0, index);
        Add(head, tail, 2.0 * t, 10.0, index);
        if (t > 0) {
            Add(head, tail, 2.0 * t, 1.0, index);
            Add(head, tail, 2.0 * t - 1.0, 1.0, index);
        }
    }
    return head;
}

// n / 2 spikes between radii 50 and 100.
VertexNode* StarRing(int n) {
    const int points = std::max(3, n / 2);
    VertexNode *head = nullptr, *tail = nullptr;
    int index = 0;
    for (int i = 0; i < 2 * points; ++i) {
        const double a = M_PI * i / points, r = i % 2 ? 50.0 : 100.0;
        Add(head, tail, r * std::cos(a), r * std::sin(a), index);
    }
    return head;
}

// A strip of width 1.2 wound ten times round the centre, n / 2 points a side.
VertexNode* SpiralRing(int n) {
    const int side = std::max(3, n / 2);
    std::vector<double> xs, ys;
    for (int i = 0; i < side; ++i) {
        const double t = 10.0 * 2.0 * M_PI * i / (side - 1), r = 2.0 + 0.5 * t;
        xs.push_back(r * std::cos(t));
        ys.push_back(r * std::sin(t));
    }
    for (int i = side - 1; i >= 0; --i) {
        const double t = 10.0 * 2.0 * M_PI * i / (side - 1), r = 2.0 + 0.5 * t - 1.2;
        xs.push_back(r * std::cos(t));
        ys.push_back(r * std::sin(t));
    }
    VertexNode *head = nullptr, *tail = nullptr;
    int index = 0;
    // The outer side runs counter-clockwise, the strip's interior on its left.
    for (size_t i = 0; i < xs.size(); ++i) Add(head, tail, xs[i], ys[i], index);
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

// A square slab with a g x g grid of square openings (n / 4 of them, about
// n vertices in all), bridged into one ring and triangulated, each contour
// numbered along itself.
ContourNode* GridOfHoles(int n) {
    const int g = std::max(1, static_cast<int>(std::lround(std::sqrt(n / 4.0))));
    auto contour = [](std::initializer_list<std::pair<double, double>> pts, int number) {
        auto* k = new ContourNode;
        VertexNode* tail = nullptr;
        int index = 0;
        for (const auto& [x, y] : pts) Add(k->vertices, tail, x, y, index, number);
        return k;
    };
    const double side = 3.0 * g + 1.0;
    ContourNode* outer = contour({{0, 0}, {side, 0}, {side, side}, {0, side}}, 0);
    ContourNode* tail = outer;
    for (int i = 0; i < g * g; ++i) {
        const double x = 1.0 + 3.0 * (i % g), y = 1.0 + 3.0 * (i / g);
        tail = tail->next = contour({{x, y}, {x, y + 2}, {x + 2, y + 2}, {x + 2, y}}, i + 1);
    }
    return outer;
}

void BM_BridgeAndTriangulate(benchmark::State& state) {
    Matrix4 identity;
    SetIdentity4(identity);
    const int n = static_cast<int>(state.range(0));
    int vertices = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ContourNode* contours = GridOfHoles(n);
        state.ResumeTiming();
        RingNode* ring = BridgeHoles(contours);
        VertexNode* list = nullptr;
        VertexNode* tail = nullptr;
        for (RingNode* r = ring; r; r = r->next) {
            VertexNode* v =
                NewVertex(r->vertex->x, r->vertex->y, 0.0, 1, r->vertex->data1, r->vertex->data2, 0);
            (tail ? tail->next : list) = v;
            tail = v;
        }
        vertices = CountNodes(list);
        FaceRecord* faces = TriangulatePolygon(list, 3, identity);
        benchmark::DoNotOptimize(faces);
        state.PauseTiming();
        FreeList(faces);
        FreeList(ring);
        FreeListOfLists(contours);
        state.ResumeTiming();
    }
    state.SetComplexityN(n);
    state.counters["ring"] = vertices;
}

}  // namespace

#define VELM_RING_SIZES ->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity()
BENCHMARK(BM_Triangulate<ConvexRing>)->Name("convex") VELM_RING_SIZES;
BENCHMARK(BM_Triangulate<CombRing>)->Name("comb") VELM_RING_SIZES;
BENCHMARK(BM_Triangulate<StarRing>)->Name("star") VELM_RING_SIZES;
BENCHMARK(BM_Triangulate<SpiralRing>)->Name("spiral") VELM_RING_SIZES;
BENCHMARK(BM_Triangulate<HolesRing>)->Name("bridged_holes") VELM_RING_SIZES;
BENCHMARK(BM_BridgeAndTriangulate)
    ->Name("grid_of_holes")
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
