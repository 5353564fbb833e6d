// Growth of the ear-clipping triangulation and of the hole bridging with the
// ring size. Rings: a convex ring (every vertex an ear, one long fan), a
// comb (deep notches, many reflex vertices), a star (spikes between two
// radii), a spiral strip (a long winding corridor) and a row of holes
// bridged in by hand (bridge ends appear twice in the ring); then a square
// grid of square holes bridged and triangulated, as a slab with openings
// is. Each iteration builds its input untimed, since the work consumes it.
//
// Release build, least of several runs on a shared, loaded machine (expect
// 20 % either way from run to run, and more when the machine is busy); the
// yardstick is the plain ear clipper below.
//   ring          10,000 vertices          100,000   growth 10K->100K
//   convex         2.0 ms (1.5 x 1.3 ms)     26 ms    (yardstick 21 ms)
//   comb           5.3 ms (0.1 x 51 ms)      70 ms    n^1.12
//   star           5.4 ms (0.26 x 21 ms)     70 ms    n^1.11
//   spiral         8.0 ms (0.15 x 54 ms)     92 ms    n^1.06
//   bridged holes  6.0 ms                   116 ms
// Grid of square holes, bridged and triangulated: 1.9 ms at 1,000 vertices
// (250 holes), 9.0 ms at 4,000, 33 ms at 10,000 (2,500 holes); the bridging
// alone (grid_bridging) takes 0.66, 3.6 and 12 ms of that.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
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

// A yardstick: a plain ear clipper of the common kind (vertices hashed
// along a Z-order curve so an ear test looks only at the points near its
// triangle), timed on the same rings from flat coordinates to a list of
// corner indices. It only gives the times above a scale; its faces are not
// the module's.
namespace yardstick {

struct Node {
    int i;
    double x, y;
    std::uint32_t z = 0;
    Node *prev = nullptr, *next = nullptr, *prevZ = nullptr, *nextZ = nullptr;
};

double Cross(const Node* p, const Node* q, const Node* r) {
    return (q->x - p->x) * (r->y - p->y) - (q->y - p->y) * (r->x - p->x);
}

bool Inside(const Node* a, const Node* b, const Node* c, const Node* p) {
    return Cross(a, b, p) >= 0 && Cross(b, c, p) >= 0 && Cross(c, a, p) >= 0;
}

std::uint32_t Spread(std::uint32_t v) {
    v = (v | (v << 8)) & 0x00FF00FF;
    v = (v | (v << 4)) & 0x0F0F0F0F;
    v = (v | (v << 2)) & 0x33333333;
    return (v | (v << 1)) & 0x55555555;
}

struct Hash {
    double minX, minY, scale;
    std::uint32_t operator()(double x, double y) const {
        return Spread(static_cast<std::uint32_t>((x - minX) * scale)) |
               (Spread(static_cast<std::uint32_t>((y - minY) * scale)) << 1);
    }
};

bool Blocked(const Node* a, const Node* b, const Node* c, const Node* p) {
    return p != a && p != c && !(p->x == a->x && p->y == a->y) && !(p->x == c->x && p->y == c->y) &&
           Inside(a, b, c, p) && Cross(p->prev, p, p->next) <= 0;
}

bool IsEar(const Node* b, const Hash& hash) {
    const Node *a = b->prev, *c = b->next;
    if (Cross(a, b, c) <= 0) return false;
    const std::uint32_t lo = hash(std::min({a->x, b->x, c->x}), std::min({a->y, b->y, c->y}));
    const std::uint32_t hi = hash(std::max({a->x, b->x, c->x}), std::max({a->y, b->y, c->y}));
    for (const Node* p = b->nextZ; p && p->z <= hi; p = p->nextZ)
        if (Blocked(a, b, c, p)) return false;
    for (const Node* p = b->prevZ; p && p->z >= lo; p = p->prevZ)
        if (Blocked(a, b, c, p)) return false;
    return true;
}

// Corner indices, three a triangle, of the counter-clockwise ring xy.
std::vector<int> Triangulate(const std::vector<double>& xy) {
    const int n = static_cast<int>(xy.size() / 2);
    std::vector<int> out;
    if (n < 3) return out;
    out.reserve(3 * static_cast<size_t>(n));
    std::vector<Node> nodes(n);
    double minX = xy[0], minY = xy[1], maxX = xy[0], maxY = xy[1];
    for (int i = 0; i < n; ++i) {
        nodes[i].i = i;
        nodes[i].x = xy[2 * i];
        nodes[i].y = xy[2 * i + 1];
        minX = std::min(minX, nodes[i].x);
        maxX = std::max(maxX, nodes[i].x);
        minY = std::min(minY, nodes[i].y);
        maxY = std::max(maxY, nodes[i].y);
        nodes[i].prev = &nodes[(i + n - 1) % n];
        nodes[i].next = &nodes[(i + 1) % n];
    }
    const double extent = std::max(maxX - minX, maxY - minY);
    const Hash hash{minX, minY, extent > 0 ? 32767.0 / extent : 0.0};
    std::vector<Node*> order(n);
    for (int i = 0; i < n; ++i) {
        nodes[i].z = hash(nodes[i].x, nodes[i].y);
        order[i] = &nodes[i];
    }
    std::sort(order.begin(), order.end(), [](const Node* l, const Node* r) { return l->z < r->z; });
    for (int i = 0; i < n; ++i) {
        order[i]->prevZ = i ? order[i - 1] : nullptr;
        order[i]->nextZ = i + 1 < n ? order[i + 1] : nullptr;
    }
    Node* ear = &nodes[0];
    Node* stop = ear;
    while (ear->prev != ear->next) {
        Node *a = ear->prev, *c = ear->next;
        if (IsEar(ear, hash)) {
            out.insert(out.end(), {a->i, ear->i, c->i});
            a->next = c;
            c->prev = a;
            if (ear->prevZ) ear->prevZ->nextZ = ear->nextZ;
            if (ear->nextZ) ear->nextZ->prevZ = ear->prevZ;
            ear = stop = c->next;
            continue;
        }
        ear = c;
        if (ear == stop) break;  // the rings here are simple: not reached
    }
    return out;
}

}  // namespace yardstick

template <VertexNode* (*Make)(int)>
void BM_Yardstick(benchmark::State& state) {
    VertexNode* ring = Make(static_cast<int>(state.range(0)));
    std::vector<double> xy;
    for (const VertexNode* v = ring; v; v = v->next) xy.insert(xy.end(), {v->x, v->y});
    FreeList(ring);
    size_t triangles = 0;
    for (auto _ : state) {
        std::vector<int> t = yardstick::Triangulate(xy);
        triangles = t.size() / 3;
        benchmark::DoNotOptimize(t.data());
    }
    state.SetComplexityN(static_cast<int64_t>(xy.size() / 2));
    state.counters["triangles"] = static_cast<double>(triangles);
}

// The allocator merges freed small blocks only at the next large request.
// Make that request here, untimed, so that merging the tens of thousands of
// face corners just freed is not charged to the next triangulation (whose
// first array would otherwise pay for it).
void SettleFreedBlocks() {
    void* block = std::malloc(1 << 16);
    benchmark::DoNotOptimize(block);
    std::free(block);
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
        SettleFreedBlocks();
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
        SettleFreedBlocks();
        state.ResumeTiming();
    }
    state.SetComplexityN(n);
    state.counters["ring"] = vertices;
}

// The bridging alone, on the same grids.
void BM_BridgeOnly(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        ContourNode* contours = GridOfHoles(n);
        state.ResumeTiming();
        RingNode* ring = BridgeHoles(contours);
        benchmark::DoNotOptimize(ring);
        state.PauseTiming();
        FreeList(ring);
        FreeListOfLists(contours);
        SettleFreedBlocks();
        state.ResumeTiming();
    }
    state.SetComplexityN(n);
}

}  // namespace

#define VELM_RING_SIZES ->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity()
BENCHMARK(BM_Triangulate<ConvexRing>)->Name("convex") VELM_RING_SIZES;
BENCHMARK(BM_Triangulate<CombRing>)->Name("comb") VELM_RING_SIZES;
BENCHMARK(BM_Triangulate<StarRing>)->Name("star") VELM_RING_SIZES;
BENCHMARK(BM_Triangulate<SpiralRing>)->Name("spiral") VELM_RING_SIZES;
BENCHMARK(BM_Triangulate<HolesRing>)->Name("bridged_holes") VELM_RING_SIZES;
// The yardstick grows about quadratically on the notched rings: 100,000
// vertices would take seconds there.
#define VELM_YARDSTICK_SIZES ->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_Yardstick<ConvexRing>)->Name("yardstick_convex") VELM_RING_SIZES;
BENCHMARK(BM_Yardstick<CombRing>)->Name("yardstick_comb") VELM_YARDSTICK_SIZES;
BENCHMARK(BM_Yardstick<StarRing>)->Name("yardstick_star") VELM_YARDSTICK_SIZES;
BENCHMARK(BM_Yardstick<SpiralRing>)->Name("yardstick_spiral") VELM_YARDSTICK_SIZES;
BENCHMARK(BM_BridgeAndTriangulate)
    ->Name("grid_of_holes")
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_BridgeOnly)
    ->Name("grid_bridging")
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
