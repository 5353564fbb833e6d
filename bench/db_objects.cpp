// Growth of the database's basic operations with the drawing's size:
// appending entities, finding them by handle and by entity name, and
// walking model space. Each should grow linearly in the count.
#include <benchmark/benchmark.h>

#include "host/db/dbmain.h"

namespace {

std::vector<ZcDbObjectId> fill(ZcDbDatabase& db, int n) {
    std::vector<ZcDbObjectId> ids;
    ids.reserve(static_cast<std::size_t>(n));
    ZcDbBlockTableRecord* ms = nullptr;
    zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite);
    for (int i = 0; i < n; ++i) {
        auto* line = new ZcDbLine({double(i), 0, 0}, {double(i), 1, 0});
        ZcDbObjectId id;
        ms->appendZcDbEntity(id, line);
        line->close();
        ids.push_back(id);
    }
    ms->close();
    return ids;
}

void BM_Append(benchmark::State& state) {
    for (auto _ : state) {
        ZcDbDatabase db;
        db.disableUndoRecording(true);
        benchmark::DoNotOptimize(fill(db, static_cast<int>(state.range(0))));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_Append)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();

void BM_FindByHandleAndName(benchmark::State& state) {
    ZcDbDatabase db;
    db.disableUndoRecording(true);
    std::vector<ZcDbObjectId> ids = fill(db, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (const ZcDbObjectId& id : ids) {
            ads_name name;
            zcdbGetAdsName(name, id);
            ZcDbObjectId back;
            zcdbGetObjectId(back, name);
            benchmark::DoNotOptimize(db.objectIdOf(back.handle()));
        }
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FindByHandleAndName)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();

void BM_WalkModelSpace(benchmark::State& state) {
    ZcDbDatabase db;
    db.disableUndoRecording(true);
    fill(db, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ZcDbBlockTableRecord* ms = nullptr;
        zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForRead);
        ZcDbBlockTableRecordIterator* it = nullptr;
        ms->newIterator(it);
        double sum = 0;
        for (it->start(); !it->done(); it->step()) {
            ZcDbEntity* e = nullptr;
            if (it->getEntity(e) != Zcad::eOk) continue;
            sum += ZcDbLine::cast(e)->startPoint().x;
            e->close();
        }
        delete it;
        ms->close();
        benchmark::DoNotOptimize(sum);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_WalkModelSpace)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();

}  // namespace
