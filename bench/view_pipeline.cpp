// Growth of a hidden-line view with the number of faces: storeys of rooms
// (walls as vertical quads, slabs as horizontal ones) seen from the
// south-west and above, at 1,000, 3,000 and 10,000 faces; the rooms laid
// out in a square block (second argument 0: how many faces lie behind one
// another grows with the block's side) or in a row four rooms deep (1: it
// stays the same). One run is the
// hidden-face pass a hidden-line view makes, the projection of every face
// into face records and segments, the piercing pass, the removal of the
// hidden segments, and the drawing: the lines and section hatches written
// into a view block whose INSERT stores a record with the hidden-line flag. Beside it, on the same faces, the
// plain reference: the faces projected and drawn back to front by depth, nothing clipped.
//
// The faces are made untimed; "ratio" is this size's time over the
// previous size's, "n^" the exponent that growth means, "x ref" the time
// over the reference's at the same size; the stage times are in seconds.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/growth.h"
#include "bench/view_storeys.h"
#include "core/base/module_state.h"
#include "core/geometry/matrix4.h"
#include "core/name_list.h"
#include "host/ads/adsent.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbents.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "settings/settings_module.h"
#include "visual/views/hidden_faces.h"
#include "visual/views/hidden_segments.h"
#include "visual/views/section_cut.h"
#include "visual/views/section_faces.h"
#include "visual/views/view_commands.h"
#include "visual/views/view_projection.h"

namespace {

using namespace bench_views;

// The face set of a section object, as the view's collection leaves it:
// faces in view coordinates, the box, the layers filed.
void Collect(CSezione& s, const std::vector<Quad>& quads, const Matrix4& frame) {
    const int words[4] = {1, 1, 1, 1};
    for (const Quad& q : quads) {
        Point3 c[4];
        for (int k = 0; k < 4; ++k) TransformPoint(frame, q.c[k], c[k]);
        if (!FindName(q.layer, s.layerNames)) {
            s.layerNames = AppendName(q.layer, s.layerNames, s.layerCount);
            ++s.layerCount;
        }
        s.AddQuadFaces(c, words, 1, q.layer, 256);
    }
}

struct Figures {
    std::map<std::pair<int, int>, double> reference;  // n and layout, seconds
};
Figures& Kept() {
    static Figures f;
    return f;
}

struct Session {
    Session() {
        host::startHost({});
        RegisterSettingsModule();
        host::resetEditorSession();
        SetSharedTolerance(0.001);
    }
    ~Session() {
        host::resetEditorSession();
        UnregisterSettingsModule();
    }
};

// The LINEs in the block of the last INSERT made.
int CountModelSpaceLinesOfLastView() {
    ads_name last;
    ZcDbObjectId id;
    if (zcdbEntLast(last) != RTNORM || zcdbGetObjectId(id, last) != Zcad::eOk) return 0;
    ZcDbObjectPointer<ZcDbBlockReference> insert(id, ZcDb::kForRead);
    if (!insert) return 0;
    ZcDbObjectPointer<ZcDbBlockTableRecord> block(insert->blockTableRecord(), ZcDb::kForRead);
    if (!block) return 0;
    int lines = 0;
    for (ZcDbObjectId entity : block->entityIds())
        if (ZcDbObjectPointer<ZcDbLine> line(entity, ZcDb::kForRead); line) ++lines;
    return lines;
}

double Since(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// The reference: every face's edges in plan, drawn farthest first.
void BM_PainterReference(benchmark::State& state) {
    Session session;
    const std::vector<Quad> quads = Storeys(static_cast<int>(state.range(0)), state.range(1) != 0, "VELM");
    const Matrix4 frame = ViewFrame();
    double seconds = 1e300;
    int n = 0;
    std::size_t lines = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CSezione s;
        Collect(s, quads, frame);
        n = CountNodes(s.faces);
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        std::vector<std::pair<double, const SectionFace*>> order;
        for (const SectionFace* f = s.faces; f; f = f->next) {
            double z = f->corners[0].z;
            for (int k = 1; k < f->cornerCount(); ++k) z = std::max(z, f->corners[k].z);
            order.push_back({-z, f});
        }
        std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<std::pair<Point3, Point3>> drawn;
        for (const auto& [z, f] : order)
            for (int k = 0; k < f->cornerCount(); ++k) {
                if (!f->edgeWords[k]) continue;
                const Point3& a = f->corners[k];
                const Point3& b = f->corners[(k + 1) % f->cornerCount()];
                drawn.push_back({{a.x, a.y, 0.0}, {b.x, b.y, 0.0}});
            }
        benchmark::DoNotOptimize(drawn.data());
        // The fastest of the runs: the first pays for memory the later
        // ones reuse.
        seconds = std::min(seconds, Since(t0));
        lines = drawn.size();
    }
    state.counters["faces"] = n;
    state.counters["lines"] = static_cast<double>(lines);
    Kept().reference[{static_cast<int>(state.range(0)), static_cast<int>(state.range(1))}] = seconds;
    RecordGrowth(state, state.range(1) ? "reference row" : "reference block", n, seconds);
}

void BM_HiddenLineView(benchmark::State& state) {
    Session session;
    const std::vector<Quad> quads = Storeys(static_cast<int>(state.range(0)), state.range(1) != 0, "VELM");
    const Matrix4 frame = ViewFrame();
    double seconds = 0.0, hide = 0.0, project = 0.0, pierce = 0.0, remove = 0.0, draw = 0.0;
    int n = 0, kept = 0, segments = 0, visible = 0, written = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto s = std::make_unique<CSezione>();
        s->hiddenLines = 1;
        s->directOutput = 0;
        Collect(*s, quads, frame);
        n = CountNodes(s->faces);
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        double grid[63];
        SpanViewGrid(s->boxMin, s->boxMax, grid);
        s->faces = ComputeHiddenLines(s->faces, grid, &s->coplanarGroups, {});
        hide = Since(t0);
        kept = CountNodes(s->faces);

        auto t = std::chrono::steady_clock::now();
        for (SectionFace* f = s->faces; f; f = f->next) s->ProjectFace(f);
        s->faces = FreeList(s->faces);
        project = Since(t);
        t = std::chrono::steady_clock::now();
        s->SplitSegmentsAtFaces();
        pierce = Since(t);
        segments = s->segmentCount;
        t = std::chrono::steady_clock::now();
        RemoveHiddenSegments(*s);
        remove = Since(t);
        visible = s->sectionSegmentCount;
        t = std::chrono::steady_clock::now();
        const bool drawn = WriteView(*s, false, true);
        draw = Since(t);
        seconds = Since(t0);
        state.PauseTiming();
        written = drawn ? CountModelSpaceLinesOfLastView() : 0;
        state.ResumeTiming();
        state.PauseTiming();
        s.reset();
        state.ResumeTiming();
    }
    state.counters["faces"] = n;
    state.counters["kept"] = kept;
    state.counters["segments"] = segments;
    state.counters["visible"] = visible;
    state.counters["s hide"] = hide;
    state.counters["s project"] = project;
    state.counters["s pierce"] = pierce;
    state.counters["s remove"] = remove;
    state.counters["s draw"] = draw;
    state.counters["lines"] = written;
    const auto ref =
        Kept().reference.find({static_cast<int>(state.range(0)), static_cast<int>(state.range(1))});
    if (ref != Kept().reference.end() && ref->second > 0) state.counters["x ref"] = seconds / ref->second;
    RecordGrowth(state, state.range(1) ? "view row" : "view block", n, seconds);
}

// The projection alone with the intersection search on (the settings bit
// CALC_INT_SEZ 1), beside the same projection without it ("s plain").
void BM_ProjectionWithIntersections(benchmark::State& state) {
    Session session;
    const std::vector<Quad> quads = Storeys(static_cast<int>(state.range(0)), false, "VELM");
    const Matrix4 frame = ViewFrame();
    double seconds = 0.0, plain = 0.0, unit = 0.0;
    int n = 0, segments = 0;
    for (auto _ : state) {
        for (const int flag : {0, 1}) {
            state.PauseTiming();
            auto s = std::make_unique<CSezione>();
            s->hiddenLines = 1;
            s->directOutput = 0;
            s->intersectionFlag = flag;
            Collect(*s, quads, frame);
            n = CountNodes(s->faces);
            double grid[63];
            SpanViewGrid(s->boxMin, s->boxMax, grid);
            s->faces = ComputeHiddenLines(s->faces, grid, &s->coplanarGroups, {});
            state.ResumeTiming();
            const auto t = std::chrono::steady_clock::now();
            for (SectionFace* f = s->faces; f; f = f->next) s->ProjectFace(f);
            (flag ? seconds : plain) = Since(t);
            state.PauseTiming();
            if (flag) segments = s->segmentCount;
            unit = s->unitLength;
            s->faces = FreeList(s->faces);
            s.reset();
            state.ResumeTiming();
        }
    }
    state.counters["faces"] = n;
    state.counters["segments"] = segments;
    state.counters["s plain"] = plain;
    state.counters["s search"] = seconds;
    state.counters["cell"] = unit;
    RecordGrowth(state, "projection with intersections", n, seconds);
}

}  // namespace

BENCHMARK(BM_ProjectionWithIntersections)
    ->Arg(1000)
    ->Arg(3000)
    ->Arg(10000)
    ->Arg(30000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_PainterReference)
    ->ArgsProduct({{1000, 3000, 10000}, {0, 1}})
    ->ArgNames({"faces", "row"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_HiddenLineView)
    ->ArgsProduct({{1000, 3000, 10000}, {0, 1}})
    ->ArgNames({"faces", "row"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
