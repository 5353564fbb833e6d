// Growth of DXF saving and loading with the drawing's size: 1,000, 10,000
// and 100,000 entities (lines and circles alternating). Both directions
// should grow linearly.
#include <benchmark/benchmark.h>

#include "host/db/dbmain.h"
#include "host/db/dxffile.h"

namespace {

void fill(ZcDbDatabase& db, int n) {
    ZcDbBlockTableRecord* ms = nullptr;
    zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite);
    for (int i = 0; i < n; ++i) {
        ZcDbEntity* ent = (i % 2) ? static_cast<ZcDbEntity*>(new ZcDbCircle({i * 1.0, 0, 0}, {0, 0, 1}, 1.5))
                                  : static_cast<ZcDbEntity*>(new ZcDbLine({i * 1.0, 0, 0}, {i + 0.5, 3, 0}));
        ms->appendZcDbEntity(ent);
        ent->close();
    }
    ms->close();
}

void BM_SaveDxf(benchmark::State& state) {
    ZcDbDatabase db;
    db.disableUndoRecording(true);
    fill(db, static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(host::writeDxfText(&db));
    state.SetComplexityN(state.range(0));
}

void BM_LoadDxf(benchmark::State& state) {
    ZcDbDatabase db;
    db.disableUndoRecording(true);
    fill(db, static_cast<int>(state.range(0)));
    std::string text = host::writeDxfText(&db);
    for (auto _ : state) {
        host::DxfLoadResult r = host::readDxfText(text);
        if (!r.db) state.SkipWithError(r.error.c_str());
        benchmark::DoNotOptimize(r.db.get());
    }
    state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(BM_SaveDxf)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_LoadDxf)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();
