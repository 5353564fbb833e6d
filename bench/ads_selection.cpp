// Growth of the classic interface's drawing-wide operations with the
// drawing's size: "X" selections with filters, a crossing window, a walk
// with entnext, an entmake, a pick and the ERASE command on ALL. Each should
// grow linearly in the count (entmake: constant per entity).
//
// Release figures on a shared machine (least of several runs), 10K / 100K:
//   BM_Pick      1.37 / 17.1 ms -> 0.53 / 7.1 ms: objects forgotten by the
//                open list as they close, plan centres taken without the
//                axis arithmetic, lines and circles told by their exact
//                class, the objects' first four lines asked for earlier.
//   BM_EraseAll  5.8 / 27.5 (30K) / 136 ms -> 2.3 / 8.3 / 30.7 ms: ALL
//                filtered during its walk, selections known to be distinct
//                kept without hashing (the previous set deduplicated only
//                when read), locked layers looked up once per layer, undo
//                entries of 16 bytes, the erasing walk prefetched.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/db/dbmain.h"
#include "host/ed/adspick.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"

namespace {

void fill(ZcDbDatabase& db, int n) {
    ZcDbBlockTableRecord* ms = nullptr;
    zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite);
    for (int i = 0; i < n; ++i) {
        ZcDbEntity* e = i % 2 ? static_cast<ZcDbEntity*>(new ZcDbLine({double(i), 0, 0}, {double(i), 1, 0}))
                              : new ZcDbCircle({double(i), 5, 0}, {0, 0, 1}, 0.4);
        ms->appendZcDbEntity(e);
        e->close();
    }
    ms->close();
}

struct Drawing {
    ZcDbDatabase db;
    explicit Drawing(int n) {
        db.disableUndoRecording(true);
        fill(db, n);
        zcdbSetCurDwg(&db);
    }
    ~Drawing() {
        host::resetSelections();
        host::resetEntityInterface();
        zcdbSetCurDwg(nullptr);
    }
};

void BM_SelectAllWithFilter(benchmark::State& state) {
    Drawing d(static_cast<int>(state.range(0)));
    resbuf* filter = zcutBuildList(-4, "<OR", RTDXF0, "CIRCLE", -4, ">", 40, 1.0, -4, "OR>", 0);
    for (auto _ : state) {
        ads_name ss;
        benchmark::DoNotOptimize(zcedSSGet("X", nullptr, nullptr, filter, ss));
        zcedSSFree(ss);
    }
    zcutRelRb(filter);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SelectAllWithFilter)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();

void BM_CrossingWindow(benchmark::State& state) {
    Drawing d(static_cast<int>(state.range(0)));
    ads_point a{-1, 0.5, 0}, b{1e9, 0.6, 0};
    for (auto _ : state) {
        ads_name ss;
        benchmark::DoNotOptimize(zcedSSGet("C", a, b, nullptr, ss));
        zcedSSFree(ss);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CrossingWindow)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();

void BM_WalkWithEntNext(benchmark::State& state) {
    Drawing d(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ads_name e, next;
        int n = 0;
        for (int rc = zcdbEntNext(nullptr, e); rc == RTNORM; rc = zcdbEntNext(e, next), ads_name_set(next, e))
            ++n;
        benchmark::DoNotOptimize(n);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_WalkWithEntNext)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();

void BM_EntMakeLines(benchmark::State& state) {
    Drawing d(static_cast<int>(state.range(0)));
    ads_point a{0, 0, 0}, b{1, 1, 0};
    resbuf* line = zcutBuildList(RTDXF0, "LINE", 8, "Mury", 10, a, 11, b, 0);
    for (auto _ : state) benchmark::DoNotOptimize(zcdbEntMake(line));
    zcutRelRb(line);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_EntMakeLines)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();

// "X" with one type test, as `!expect count 0=LINE` asks.
void BM_SelectAllLines(benchmark::State& state) {
    Drawing d(static_cast<int>(state.range(0)));
    resbuf* filter = zcutBuildList(RTDXF0, "LINE", 0);
    for (auto _ : state) {
        ads_name ss;
        benchmark::DoNotOptimize(zcedSSGet("X", nullptr, nullptr, filter, ss));
        zcedSSFree(ss);
    }
    zcutRelRb(filter);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SelectAllLines)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// The same right after the drawing changed, as a script's `!expect count`
// runs: the drawing's entity order is read again first.
void BM_SelectAllLinesAfterChange(benchmark::State& state) {
    Drawing d(static_cast<int>(state.range(0)));
    resbuf* filter = zcutBuildList(RTDXF0, "LINE", 0);
    ads_point a{0, 0, 0}, b{1, 1, 0};
    resbuf* line = zcutBuildList(RTDXF0, "LINE", 10, a, 11, b, 0);
    for (auto _ : state) {
        state.PauseTiming();
        zcdbEntMake(line);
        state.ResumeTiming();
        ads_name ss;
        benchmark::DoNotOptimize(zcedSSGet("X", nullptr, nullptr, filter, ss));
        zcedSSFree(ss);
    }
    zcutRelRb(line);
    zcutRelRb(filter);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SelectAllLinesAfterChange)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// An editor session whose current drawing holds n entities.
struct Session {
    explicit Session(int n) {
        host::startHost({});
        host::resetEditorSession();
        fill(*curDoc()->database(), n);
    }
    ~Session() { host::resetEditorSession(); }
    static int run(std::initializer_list<const char*> lines) {
        for (const char* l : lines) curDoc()->inputQueue().pushLine(l);
        return host::processInput();
    }
};

// One pick in the middle of the drawing: every selectable entity is measured.
void BM_Pick(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Session s(n);
    zcdbSetCurDwg(curDoc()->database());
    const std::string at = "!pick " + std::to_string(n / 2 | 1) + ",0.5";
    for (auto _ : state) {
        curDoc()->inputQueue().pushLine(at.c_str());
        ads_name e;
        ads_point p;
        benchmark::DoNotOptimize(zcedEntSel(nullptr, e, p));
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_Pick)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();

// ERASE ALL: the selection, the erasing and its undo record.
void BM_EraseAll(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto s = std::make_unique<Session>(n);
        state.ResumeTiming();
        benchmark::DoNotOptimize(Session::run({"_ERASE", "ALL", ""}));
        state.PauseTiming();
        s.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_EraseAll)->Arg(10000)->Arg(30000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
