// Growth of the hidden-face and shadow passes of a view with the number of
// faces: storeys of rooms (four walls as boxes, a floor slab) seen from the
// south-west and above, lit by the default light, at 1,000, 3,000,
// 10,000 and 30,000 faces ("shading s" the shadow pass alone, "area" what
// its pieces cover). Beside them, on the same faces, the plain reference: the
// faces projected and drawn back to front by depth, nothing clipped. The
// faces are made untimed; "ratio" is this size's time over the previous
// size's, "n^" the exponent that growth means, "x ref" the time over the
// reference's at the same size.
//
// BM_FloorShadows times the shadow pass alone on a whole floor of walls
// (1,012, 2,047 and 8,064 walls, as the whole-floor benchmarks lay them
// out, each wall its four sides) standing on a floor slab or on nothing.
// Release, on the shared machine at a load average of 24-31 on 8 cores,
// CPU seconds, without the slab:
//   before (every outline against every piece of every shadow group, a
//   join searched again from the first piece)      0.45 / 1.06 / -
//   pieces and joins looked up through indexes     0.43 / 1.13 / 7.5
//   and pairs whose rings lie clearly apart left
//   out (a long wall's box holds half the floor)   0.20 / 0.47 / 2.7
//                                                  (n^1.28 from 2,047)
// With the slab, 4.5 / 10.2 before and 4.7 / 10.9 after for 1,012 and
// 2,047 walls: the slab's top takes a shadow piece from nearly every wall,
// and joining them one pair at a time, the first pair in list order each
// time, tries each new piece against those before it, the merged piece
// growing along the floor: quadratic in the pieces on one receiver.
// At 1,012 walls the top's first merge takes 2,052 pieces to 141 in 4.3 of
// the 4.6 s: one join pass over 830 pieces asks 26,923 pairs, 16,586 of
// them touch the growing piece and only 713 join. None of those 141 pieces
// is left at the end: seen from this side the walls hide all but slivers
// of the floor (the covering search still sees about 90 and 640,000
// square units of its two triangles after 64 clips), and the seen slivers
// are lit. That holds for this floor and this view, not for every
// receiver, so the pieces are not dropped before the join: dropping even
// those a nearer outline hides whole changes vertices of the result on
// every one of 60 random floors.
//
// Then, real seconds at a load of 2-4 (medians of three; 8,064 walls with
// the slab one run), each step giving the same pieces to the bit:
//                                         no slab                slab
//   before                         0.30 / 0.67 / 2.45    5.8 / 14.5 / 327
//   a pair that stays apart is
//   remembered until a join changes
//   an edge near it; the kernel walks
//   its loops by the edges leaving
//   each node and files nodes in an
//   open table                                -          0.54 / 1.54 / 87
//   long rings: crossings through an
//   index of edges, point tests
//   through a locator by height               -          - / - / 62
//   each receiving outline merged on
//   its own core, the split walking in
//   place                              0.20 / 0.42 / 2.55    0.39 / 1.17 / 44
// and on a quiet machine (load 1-2, medians of three):
//   as above                           0.17 / 0.39 / 2.17    0.34 / 0.90 / 29.5
//   casters shadowed and receivers
//   hidden looked up by a corner, a
//   caster's receivers by the cells
//   its shape reaches (a wall's side
//   askew along the floor no longer
//   meets all its box holds), pieces
//   to hide by slot; points and edges
//   beyond a ring's reach not asked;
//   a refusal kept while the changed
//   edges lie beyond the reach of the
//   pair's own longest edge           0.15 / 0.28 / 1.24    0.28 / 0.67 / 21.8
// Then paired with that state (load 4-6, medians of three):
//   as above                           0.13 / 0.28 / 1.27    0.27 / 0.65 / 19.1
//   a long piece's union with a short
//   one built near the short one (its
//   far edges carried as runs, those
//   left of the short one counted by
//   height), the locator's long edges
//   filed in coarser bands            0.14 / 0.29 / 1.30    0.25 / 0.64 / 9.6
// Without the slab the pass grows as n^1.10 from 2,047 to 8,064 walls.
// With the slab one outline's merge (2,049 pieces joined to 104, one piece
// growing to some 700 vertices at 2,047 walls; at 8,064 to some 3,000) is
// the run's critical path, and grows as n^2.0: 10,484 joins, 17,338
// refusals and 28,454 pairs found apart at 8,064 walls each still read the
// growing piece once (its near part, the runs of a loop given), and each
// join copies it whole and measures the refusals it keeps against it.
// At 8,064 walls that merge took 11.9 of the run's 15.7 s: 8,193 pieces,
// 28,024 unions reading 50.6 million vertices between them. Merged half by
// half (a list of more than 64 pieces cut across its longer side, each
// half merged, then the halves together, pairs of one half passed over),
// it costs n log n; then a long piece cut by a wall's outline near the
// outline, and found apart from it by its edges' boxes and one crossing
// count. Release, three runs of the round's start and its end taken in
// turn at a load of 4.7-5.2 on 8 cores, medians (ranges), wall seconds,
// 2,047 / 8,064 walls:
//                  no slab                             slab
//   start   0.42 (0.34-0.48) / 1.99 (1.83-2.20)   0.92 (0.72-0.96) / 11.8 (11.6-16.5)
//   now     0.35 (0.29-0.38) / 1.39 (1.38-1.53)   0.61 (0.58-0.61) / 3.23 (3.05-3.99)
// Growth to 8,064 walls now n^1.01 without the slab and n^1.22 with it
// (n^1.85 before); with the slab the merge costs n log n and the hiding,
// whose pieces' boxes grow with the floor, n^1.2-1.4.
// Seen turned, a shadow or a wall's side running along a row of walls is
// a long strip askew whose box meets hundreds of outlines it never comes
// near, and an outline was tried against every shadow group that any
// outline of its face group met. Pieces and outlines over more than eight
// cells now stand in the cells their shapes reach, and each outline is
// cut only into the groups whose extent its box meets. The hiding then
// takes 811 / 4,387 M instructions (2,047 / 8,064 walls, slab) down to
// 692 / 3,280 M (x4.74, n^1.13, against x5.41). Eight runs of each in
// turn at a load of 2.2-4.9, medians (ranges), wall seconds:
//                  no slab                             slab
//   before  0.42 (0.30-0.49) / 1.97 (1.53-2.25)   0.77 (0.58-0.86) / 3.59 (2.87-4.03)
//   now     0.35 (0.29-0.42) / 1.55 (1.33-1.72)   0.71 (0.52-0.79) / 3.07 (2.48-3.62)
// Growth to 8,064 walls n^1.07 without the slab, n^1.06 with it.
#include "visual/views/view_shading.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "bench/growth.h"
#include "bench/view_storeys.h"
#include "core/base/module_state.h"
#include "core/geometry/matrix4.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "visual/views/hidden_faces.h"

namespace {

using namespace bench_views;

SectionFace* ViewFaces(const std::vector<Quad>& quads, const Matrix4& frame, double grid[63]) {
    SectionFace* faces = nullptr;
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    const int words[4] = {1, 1, 1, 1};
    for (const Quad& q : quads) {
        Point3 c[4];
        for (int k = 0; k < 4; ++k) TransformPoint(frame, q.c[k], c[k]);
        auto* f = new SectionFace(c, words, 256, q.layer);
        if (!f->valid) {
            delete f;
            continue;
        }
        for (int k = 0; k < 4; ++k) {
            const double v[3] = {c[k].x, c[k].y, c[k].z};
            for (int a = 0; a < 3; ++a) lo[a] = std::min(lo[a], v[a]), hi[a] = std::max(hi[a], v[a]);
        }
        f->next = faces;
        faces = f;
    }
    SpanViewGrid(lo, hi, grid);
    return faces;
}

struct Figures {
    std::map<int, double> reference;  // n, seconds
};
Figures& Kept() {
    static Figures f;
    return f;
}

struct Session {
    Session() {
        host::startHost({});
        host::resetEditorSession();
        SetSharedTolerance(0.001);
    }
    ~Session() { host::resetEditorSession(); }
};

// The reference: every face's edges in plan, drawn farthest first.
void BM_PainterReference(benchmark::State& state) {
    Session session;
    const std::vector<Quad> quads = Storeys(static_cast<int>(state.range(0)), false, "");
    const Matrix4 frame = ViewFrame();
    double seconds = 0.0;
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        double grid[63];
        SectionFace* faces = ViewFaces(quads, frame, grid);
        n = CountNodes(faces);
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        std::vector<std::pair<double, const SectionFace*>> order;
        for (const SectionFace* f = faces; f; f = f->next) {
            double z = f->corners[0].z;
            for (int k = 1; k < f->cornerCount(); ++k) z = std::max(z, f->corners[k].z);
            order.push_back({-z, f});
        }
        std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<std::pair<Point3, Point3>> drawn;
        for (const auto& [z, f] : order)
            for (int k = 0; k < f->cornerCount(); ++k) {
                const Point3& a = f->corners[k];
                const Point3& b = f->corners[(k + 1) % f->cornerCount()];
                drawn.push_back({{a.x, a.y, 0.0}, {b.x, b.y, 0.0}});
            }
        benchmark::DoNotOptimize(drawn.data());
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.PauseTiming();
        FreeList(faces);
        state.ResumeTiming();
    }
    state.counters["faces"] = n;
    Kept().reference[static_cast<int>(state.range(0))] = seconds;
    RecordGrowth(state, "reference", n, seconds);
}

void BM_HiddenFacesAndShadows(benchmark::State& state) {
    Session session;
    const std::vector<Quad> quads = Storeys(static_cast<int>(state.range(0)), false, "");
    const Matrix4 frame = ViewFrame();
    const Point3 light{0.7071067811865476, 0.7071067811865476, 0.7071067811865476};
    double seconds = 0.0;
    int n = 0, left = 0, pieces = 0;
    double area = 0.0, shading = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        double grid[63];
        SectionFace* faces = ViewFaces(quads, frame, grid);
        n = CountNodes(faces);
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        FaceGroup* groups = nullptr;
        faces = ComputeHiddenLines(faces, grid, &groups, {});
        std::uint8_t stop = 0;
        const auto t1 = std::chrono::steady_clock::now();
        ShadowGroup* shadows = ComputeViewShading(&groups, frame, light, stop);
        const auto t2 = std::chrono::steady_clock::now();
        seconds = std::chrono::duration<double>(t2 - t0).count();
        shading = std::chrono::duration<double>(t2 - t1).count();
        state.PauseTiming();
        left = CountNodes(faces);
        pieces = 0;
        area = 0.0;
        for (const ShadowGroup* s = shadows; s; s = s->next) {
            pieces += CountNodes(s->pieces);
            for (const OutlinePolygon* p = s->pieces; p; p = p->next)
                area += std::fabs(RingSignedArea2(p->ring)) / 2.0;
        }
        FreeShadowGroups(shadows);
        FreeFaceGroups(groups);
        FreeList(faces);
        state.ResumeTiming();
    }
    state.counters["faces"] = n;
    state.counters["kept"] = left;
    state.counters["pieces"] = pieces;
    state.counters["area"] = area;
    state.counters["shading s"] = shading;
    const auto ref = Kept().reference.find(static_cast<int>(state.range(0)));
    if (ref != Kept().reference.end() && ref->second > 0) state.counters["x ref"] = seconds / ref->second;
    RecordGrowth(state, "passes", n, seconds);
}

// A whole floor as its walls are made 3D: a grid of C x R rooms of 400 x
// 300 on the axes, walls 30 thick and 300 high, each wall its four sides
// (no top, no bottom), standing on a floor slab 25 thick under the whole
// floor (its top and bottom as two triangles each, its sides) or on
// nothing. 2CR + C + R walls, as the whole-floor benchmarks count them.
std::vector<Quad> WholeFloor(int cols, int rows, bool slab) {
    std::vector<Quad> out;
    const double w = 15.0, x1 = cols * 400.0, y1 = rows * 300.0, h = 300.0;
    const auto wall = [&](double ax, double ay, double bx, double by) {
        const bool alongX = ay == by;
        const double x0 = alongX ? ax : ax - w, xe = alongX ? bx : ax + w;
        const double y0 = alongX ? ay - w : ay, ye = alongX ? ay + w : by;
        const Point3 p[8] = {{x0, y0, 0}, {xe, y0, 0}, {xe, ye, 0}, {x0, ye, 0},
                             {x0, y0, h}, {xe, y0, h}, {xe, ye, h}, {x0, ye, h}};
        const int sides[4][4] = {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
        for (const auto& k : sides) out.push_back({{p[k[0]], p[k[1]], p[k[2]], p[k[3]]}, "VELM3DWALLS$0"});
    };
    wall(-w, 0, x1 + w, 0), wall(-w, y1, x1 + w, y1), wall(0, w, 0, y1 - w), wall(x1, w, x1, y1 - w);
    for (int j = 1; j < rows; ++j) wall(w, j * 300.0, x1 - w, j * 300.0);
    for (int j = 0; j < rows; ++j)
        for (int i = 1; i < cols; ++i) wall(i * 400.0, j * 300.0 + w, i * 400.0, (j + 1) * 300.0 - w);
    if (slab) {
        const double e = 15.0, z0 = -25.0;
        const Point3 p[8] = {{-e, -e, z0}, {x1 + e, -e, z0}, {x1 + e, y1 + e, z0}, {-e, y1 + e, z0},
                             {-e, -e, 0},  {x1 + e, -e, 0},  {x1 + e, y1 + e, 0},  {-e, y1 + e, 0}};
        const std::string layer = "VELM3DFLOORSLAB$0";
        const int tris[4][3] = {{4, 5, 6}, {4, 6, 7}, {0, 2, 1}, {0, 3, 2}};
        for (const auto& t : tris) out.push_back({{p[t[0]], p[t[1]], p[t[2]], p[t[2]]}, layer});
        const int sides[4][4] = {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
        for (const auto& k : sides) out.push_back({{p[k[0]], p[k[1]], p[k[2]], p[k[3]]}, layer});
    }
    return out;
}

// The shadow pass of a whole floor's view, with the slab (third argument
// 1) or without: the hidden-face pass untimed before it.
void BM_FloorShadows(benchmark::State& state) {
    Session session;
    const int cols = static_cast<int>(state.range(0)), rows = static_cast<int>(state.range(1));
    const bool slab = state.range(2) != 0;
    const std::vector<Quad> quads = WholeFloor(cols, rows, slab);
    const Matrix4 frame = ViewFrame();
    const Point3 light{0.7071067811865476, 0.7071067811865476, 0.7071067811865476};
    double seconds = 0.0, area = 0.0;
    int n = 0, pieces = 0;
    for (auto _ : state) {
        state.PauseTiming();
        double grid[63];
        SectionFace* faces = ViewFaces(quads, frame, grid);
        n = CountNodes(faces);
        FaceGroup* groups = nullptr;
        faces = ComputeHiddenLines(faces, grid, &groups, {});
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        std::uint8_t stop = 0;
        ShadowGroup* shadows = ComputeViewShading(&groups, frame, light, stop);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.PauseTiming();
        pieces = 0;
        area = 0.0;
        for (const ShadowGroup* s = shadows; s; s = s->next) {
            pieces += CountNodes(s->pieces);
            for (const OutlinePolygon* p = s->pieces; p; p = p->next)
                area += std::fabs(RingSignedArea2(p->ring)) / 2.0;
        }
        FreeShadowGroups(shadows);
        FreeFaceGroups(groups);
        FreeList(faces);
        state.ResumeTiming();
    }
    const int walls = 2 * cols * rows + cols + rows;
    state.counters["walls"] = walls;
    state.counters["faces"] = n;
    state.counters["pieces"] = pieces;
    state.counters["area"] = area;
    RecordGrowth(state, slab ? "floor shadows on a slab" : "floor shadows", walls, seconds);
}

}  // namespace

BENCHMARK(BM_FloorShadows)
    ->Args({22, 22, 0})
    ->Args({31, 32, 0})
    ->Args({63, 63, 0})
    ->Args({22, 22, 1})
    ->Args({31, 32, 1})
    ->Args({63, 63, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_PainterReference)
    ->Arg(1000)
    ->Arg(3000)
    ->Arg(10000)
    ->Arg(30000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_HiddenFacesAndShadows)
    ->Arg(1000)
    ->Arg(3000)
    ->Arg(10000)
    ->Arg(30000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
