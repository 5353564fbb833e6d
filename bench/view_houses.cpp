// Growth of a view with shadows on a real house with the number of copies
// of it: one house (walls in 3D, a door and a window, an inner wall, a
// floor slab, a stair, a hip roof) made by the module's own commands 1, 2,
// 4, 8 and 16 times in a row along x, and cut by one section across every
// copy, seen from the south. BM_GenViewShadows times the view made with
// hidden faces and shadows (VELMGENVIEW's pass with the hidden-line flag
// set, as a view record asking for it has it); BM_RegenViewShadows rebuilds
// that view from its record (VELMREGENVIEW). The houses and the first view
// are made untimed. "ratio" is this size's time over the previous size's
// (about 2 when the growth is linear), "n^" the exponent that growth means
// (about 1).
//
// Debug build, the shared machine at a load of 6 on 8 cores, CPU
// milliseconds per view (mean of three), with 7, 14 ... 112 section
// hatches, 5 ... 80 shadow hatches and 77 ... 1,232 lines; the caps closing
// each wall's foot and top, the walls judged by rows in the plane and the
// other solids by rays in three directions:
//   copies                    1      2      4      8      16
//   view with shadows      24.7   48.0   84.8    171    358
//   rebuilt from record    26.7   46.7   85.2    170    373
// Each doubling 1.86 to 2.14 times the time: linear.
//
// RelWithDebInfo, one pinned core at a load of 7, median of five runs of
// three:
//   copies                    1      2      4      8      16
//   view with shadows      4.54   7.41   12.4   24.7   49.2
//   rebuilt from record    3.58   6.61   12.3   24.9   50.6
// Each doubling 1.63 to 2.03 times the time: linear.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "bench/growth.h"
#include "bench/loaded_module.h"
#include "host/ads/adsent.h"
#include "host/ads/transcript.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbents.h"
#include "host/db/dbhatch.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "host/ui/driver.h"
#include "host/util/findfile.h"
#include "visual/model3d/scene_walk.h"
#include "visual/views/view_commands.h"

namespace {

// The repository's support files, as the host program has them.
void SourceSupport() {
    std::string root = VELM_SOURCE_DIR;
    host::setSupportPathProvider([root] {
        return std::vector<std::string>{root + "/support", root + "/support/host"};
    });
}

std::string At(double x, double y) {
    return std::to_string(x) + "," + std::to_string(y);
}

void Run(const std::vector<std::string>& lines) {
    for (const std::string& l : lines) host::currentInput().pushLine(l);
    host::processInput();
}

void Answer(const char* dialog) {
    std::string error;
    zcui::QueueDialogScript(dialog, &error);
}

// One house with its lower-left corner at x.
void House(double x) {
    Answer("145 click 1073");
    Run({"VELMWALL", At(x, 0), At(x + 1000, 0), At(x + 1000, 800), At(x, 800), "Zamknij"});
    Answer("145 click 1073");
    Run({"VELMWALLD", At(x + 600, 15), At(x + 600, 785), ""});
    Run({"VELMOBJECT", "P1", "!pick " + At(x + 250, 15), "150", ""});
    Run({"VELMOBJECT", "F1", "!pick " + At(x + 985, 250), "150", ""});
    Answer("226 edit 1158 \"300\" edit 1180 \"300\" ok");
    Run({"VELMSTAIRDEF", At(x + 300, 100), At(x + 300, 600), "Utwórz"});
    Answer("152 click 4");
    Run({"VELMFSLAB", At(x, 0), At(x + 1000, 0), At(x + 1000, 800), At(x, 800), ""});
    Answer("109 edit 104 \"40\" edit 105 \"50\" edit 106 \"300\" radio 1027 click 4");
    Run({"VELMHIPROOF", At(x, 0), At(x + 1000, 0), At(x + 1000, 800), At(x, 800), ""});
}

void Houses(int copies) {
    host::resetDocuments();
    zcDocManagerPtr()->createDocument("Drawing1.dwg");
    Answer("1016 page 0 edit 1001 \"300\" ok");
    Run({"VELMFLOOROPTIONS"});
    for (int i = 0; i < copies; ++i) House(1500.0 * i);
    Run({"VELMWALL3D", ""});
    host::transcript().clear();
}

// The section across every copy at y = 400, seen from the south.
void ShadedView(int copies) {
    host::currentInput().pushLine(At(-500, 400));
    host::currentInput().pushLine(At(1500.0 * copies, 400));
    host::currentInput().pushLine(At(500, -3000));
    host::currentInput().pushLine(At(0, -5000));
    GenerateView(0, 1);
}

// The newest view's INSERT: the last entity made.
bool NewestView(ads_name out) {
    return zcdbEntLast(out) == RTNORM;
}

// What the newest view holds: its lines, section hatches and shadow
// hatches, counted to show the work was done.
void CountView(benchmark::State& state) {
    ads_name view;
    if (!NewestView(view)) return;
    ZcDbObjectId id;
    if (zcdbGetObjectId(id, view) != Zcad::eOk) return;
    ZcDbObjectPointer<ZcDbBlockReference> ref(id, ZcDb::kForRead);
    if (!ref) return;
    double lines = 0, hatches = 0, shadows = 0;
    for (const ZcDbObjectId& e : scene::BlockEntities(ref->blockTableRecord())) {
        ZcDbObjectPointer<ZcDbEntity> entity(e, ZcDb::kForRead);
        if (ZcDbLine::cast(entity.get())) ++lines;
        if (const auto* hatch = ZcDbHatch::cast(entity.get()))
            ++(hatch->layer() == "2DSHADE_H" ? shadows : hatches);
    }
    state.counters["lines"] = lines;
    state.counters["hatches"] = hatches;
    state.counters["shadows"] = shadows;
}

// Times `once` each iteration, `after` untimed behind it, then counts the
// newest view and records the growth as `name`.
template <class Once, class After>
void TimeViews(benchmark::State& state, const char* name, int copies, Once once, After after) {
    double seconds = 0.0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        once();
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.SetIterationTime(seconds);
        after();
    }
    CountView(state);
    RecordGrowth(state, name, copies, seconds);
    state.SetComplexityN(copies);
    host::resetDocuments();
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->RangeMultiplier(2)
        ->Range(1, 16)
        ->UseManualTime()
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond)
        ->Complexity(benchmark::oN);
}

void BM_GenViewShadows(benchmark::State& state) {
    const int copies = static_cast<int>(state.range(0));
    LoadedModule module({}, SourceSupport);
    Houses(copies);
    TimeViews(
        state, "gen", copies, [copies] { ShadedView(copies); }, [] {});
}
BENCHMARK(BM_GenViewShadows)->Apply(Sizes);

void BM_RegenViewShadows(benchmark::State& state) {
    const int copies = static_cast<int>(state.range(0));
    LoadedModule module({}, SourceSupport);
    Houses(copies);
    ShadedView(copies);
    ads_name view;
    if (!NewestView(view)) {
        state.SkipWithError("no view was made");
        return;
    }
    // The rebuilt view takes the old one's place.
    TimeViews(
        state, "regen", copies, [&view] { RegenerateView(view); }, [&view] { NewestView(view); });
}
BENCHMARK(BM_RegenViewShadows)->Apply(Sizes);

}  // namespace
