// Growth of the audit's overlap check of wall lines with their count: a
// floor of short collinear runs at many offsets, a tenth of the lines
// overlapping the one before. The check compares only lines that share a
// cell of the plan, so it should grow about linearly: 10,000 lines well
// under half a second, ten times the lines under fifteen times the time.
#include "walls/drafting/drawing_audit.h"

#include <benchmark/benchmark.h>

#include <string>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "settings/settings_module.h"

namespace {

void DrawFloor(int lines) {
    for (int i = 0; i < lines; ++i) {
        // Rows of ten lines of 100 along x, 50 apart; every tenth line
        // starts inside the one before it.
        const int row = i / 10, col = i % 10;
        const double y = 50.0 * row;
        const double x = col == 9 ? 100.0 * 8 + 40.0 : 100.0 * col;
        const ads_point p{x, y, 0}, q{x + 100.0, y, 0};
        resbuf* list = zcutBuildList(RTDXF0, "LINE", 8, "VELM2DWALLS$0", 10, p, 11, q, 0);
        zcdbEntMake(list);
        zcutRelRb(list);
    }
}

void BM_AuditWallOverlaps(benchmark::State& state) {
    host::startHost({});
    RegisterSettingsModule();
    const int lines = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        host::resetEditorSession();
        DrawFloor(lines);
        state.ResumeTiming();
        const AuditCounts counts = RunAudit(kAuditWallOverlaps);
        benchmark::DoNotOptimize(counts.repaired[3]);
    }
    state.SetComplexityN(state.range(0));
    host::resetEditorSession();
    UnregisterSettingsModule();
}
BENCHMARK(BM_AuditWallOverlaps)->Arg(1000)->Arg(10000)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace
