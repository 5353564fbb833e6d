// DXF saving and loading against the floor they cannot go below: reading
// the same text and splitting it into group codes and numbers. 10,000,
// 100,000 and 1,000,000 entities (lines, circles, arcs and texts in turn);
// every direction should grow linearly and load + save stay within twice
// the tokenizing time.
//
// Figures (Release, one thread, the least CPU ms of 3-8 runs, on a shared
// machine with a load average of 3 to 8, so take them as ratios):
//   entities    tokenize    load    save    (load + save) / tokenize    make
//   10,000          3.6      13.8     8.4     6.2                         1.7
//   100,000        33       188      74       7.9                        23
//   1,000,000     336      2526    1085      10.7                       541
// Load against the reader before its handles went to a plain array, its
// records' kinds were looked up once, its pairs shrank to 16 bytes and the
// field visitor read inline, in runs taken in turn: 23 -> 17, 286-310 ->
// 189-243, 3329 -> 2526 ms.
// "make" is the floor under loading: the same entities made, appended and
// destroyed with no text at all. At 100,000 tokenizing plus making is 1.7
// times the tokenizing before a single group is turned into a field, and
// saving formats as many numbers as tokenizing parses: load + save within
// twice the tokenizing is out of reach for objects made one by one. What
// is left is that making (allocation, the stub, the owner's list,
// teardown), the items handed to each object's reader (a virtual read and
// a visitor pass per group), and, at a million entities, memory (the
// pairs, the text and the objects no longer fit in the cache).
// `velmhost big.dxf --save out.dxf` on 100,000 entities (11.9 MB): 0.46 s
// CPU (0.53 s wall); ezdxf.readfile alone on the same file: 8.3 s CPU,
// 18 times as long.
// BM_FormatFloor, the saved entity text made from plain numbers with no
// objects: 0.83 / 9.9 / 95 ms (save 2.6 / 26 / 250 ms in the same runs).
// Load and save run on every core since the reader splits its text and
// makes plain entities side by side and the writer formats long entity
// lists in runs (VELM_DXF_THREADS=1 gives the single pass). At 100,000 on
// a machine of 8 cores shared with other builds (load average 16-17, so
// a thread seldom has a core to itself), ms: load 128 -> 104 (one thread)
// -> 73 (every core) of the calling thread's CPU, save 42 -> 43 -> 33; the
// wall times showed no gain from the threads there (load 234 one, 346
// every core). `velmhost big.dxf --save out.dxf`, 1,000,000 entities
// (144 MB): 5.2 s wall before, 4.3 s on one thread, 3.6 s on every core,
// peak memory 743 -> 745 MB; bench/compare_readers.sh at 100,000: velmhost
// 0.50 s, ezdxf reading 9.2 s (18 times), dxf-parser parsing 1.16 s (2.3
// times).
// Saving then wrote the model's extents first in the header: each entity
// opened and turned into a list of primitives, one walk over the whole
// drawing on the calling thread, as long as writing the entities. Each is
// now measured without the list (lines, arcs, circles and texts by their
// own class, to the same bits), in runs side by side as the entities are
// formatted; the angles' shortest degrees are searched by the bits, not
// with the library's nextafter; loading finds the layouts in one walk.
// Release, CPU ms of the calling thread, medians of three, two rounds taken
// in turn on the shared machine at a load average of 22-30 on 8 cores (the
// ms are inflated there; the ratios less so). Floor = tokenize + make +
// format; one thread / every core:
//   100,000          floor   load + save           ratio
//     round before   49-52   173-177 / 113-116     3.4-3.6 / 2.2-2.4
//     last round     52-58   178-186 / 126-142     3.1-3.6 / 2.4-2.5
//     now            47-52   159-213 / 83-97       3.2-4.1 / 1.7-2.1
//   1,000,000
//     round before   704     1930-2003 / 1193-1194 2.7-2.8 / 1.7
//     now            703-722 1903-1935 / 889-959   2.7     / 1.3
// Saving alone, 100,000: 50-57 / 44-57 ms (last round) -> 40-45 / 12-14.
// What is left on one thread is loading's own (it varies most with the
// machine's load): splitting, converting each group, making and appending
// each object.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <numbers>
#include <sstream>

#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/db/dxffile.h"
#include "host/db/dxffile_format.h"

namespace {

void fill(ZcDbDatabase& db, int n) {
    ZcDbBlockTableRecord* ms = nullptr;
    zcdbOpenObject(ms, db.modelSpaceId(), ZcDb::kForWrite);
    for (int i = 0; i < n; ++i) {
        double x = i * 1.0;
        ZcDbEntity* ent = nullptr;
        switch (i % 4) {
            case 0:
                ent = new ZcDbLine({x, 0, 0}, {x + 0.5, 3, 0});
                break;
            case 1:
                ent = new ZcDbCircle({x, 0, 0}, {0, 0, 1}, 1.5);
                break;
            case 2:
                ent = new ZcDbArc({x, 1, 0}, 2.0, 0.25, 1.5);
                break;
            default:
                ent = new ZcDbText({x, 2, 0}, "pomieszczenie", 0.25);
                break;
        }
        ms->appendZcDbEntity(ent);
        ent->close();
    }
    ms->close();
}

const std::string& textOf(int n) {
    static std::map<int, std::string> texts;
    auto it = texts.find(n);
    if (it != texts.end()) return it->second;
    ZcDbDatabase db;
    db.disableUndoRecording(true);
    fill(db, n);
    return texts[n] = host::writeDxfText(&db);
}

// The floor: every line found, every code parsed, every number of a
// numeric group parsed.
std::size_t tokenize(std::string_view text) {
    std::size_t pos = 0, groups = 0;
    double sum = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) break;
        std::string_view codeLine = text.substr(pos, end - pos);
        pos = end + 1;
        end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view value = text.substr(pos, end - pos);
        pos = end + 1;
        while (!codeLine.empty() && codeLine.front() == ' ') codeLine.remove_prefix(1);
        int code = 0;
        std::from_chars(codeLine.data(), codeLine.data() + codeLine.size(), code);
        if ((code >= 10 && code < 60) || (code >= 60 && code < 80)) {
            double v = 0;
            std::from_chars(value.data(), value.data() + value.size(), v);
            sum += v;
        }
        ++groups;
    }
    benchmark::DoNotOptimize(sum);
    return groups;
}

void BM_TokenizeDxf(benchmark::State& state) {
    const std::string& text = textOf(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(tokenize(text));
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// The second argument caps the reader's and writer's threads (0: every core).
void capThreads(benchmark::State& state) {
    if (state.range(1) > 0)
        setenv("VELM_DXF_THREADS", std::to_string(state.range(1)).c_str(), 1);
    else
        unsetenv("VELM_DXF_THREADS");
}

void BM_LoadDxf(benchmark::State& state) {
    const std::string& text = textOf(static_cast<int>(state.range(0)));
    capThreads(state);
    for (auto _ : state) {
        host::DxfLoadResult r = host::readDxfText(text);
        if (!r.db) state.SkipWithError(r.error.c_str());
        benchmark::DoNotOptimize(r.db.get());
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_SaveDxf(benchmark::State& state) {
    capThreads(state);
    host::DxfLoadResult r = host::readDxfText(textOf(static_cast<int>(state.range(0))));
    if (!r.db) {
        state.SkipWithError(r.error.c_str());
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(host::writeDxfText(r.db.get(), r.vars.get()));
    state.SetComplexityN(state.range(0));
}

// The floor under loading: the same entities made, appended to model space
// and destroyed with their database, no text at all.
void BM_MakeEntities(benchmark::State& state) {
    for (auto _ : state) {
        ZcDbDatabase db;
        db.disableUndoRecording(true);
        fill(db, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(db.numObjects());
    }
    state.SetComplexityN(state.range(0));
}

// The floor of saving: the ENTITIES section's text of the same drawing made
// from plain numbers, with no objects behind it: the same pieces, the same
// buffer growth, nothing else. The first and the owner's handles are taken
// from the saved text, and the result must match that section byte for byte.
struct FloorInput {
    std::string_view section;  // the saved ENTITIES items, from the first "  0\n"
    std::uint64_t first = 0, owner = 0;
};

FloorInput floorInputOf(const std::string& text) {
    FloorInput in;
    std::size_t begin = text.find("ENTITIES\n");
    if (begin == std::string::npos) return in;
    begin += 9;
    std::size_t end = text.find("  0\nENDSEC\n", begin);
    in.section = std::string_view(text).substr(begin, end - begin);
    auto hexAfter = [&](std::string_view key) {
        std::size_t at = in.section.find(key);
        std::uint64_t v = 0;
        if (at != std::string_view::npos) {
            const char* p = in.section.data() + at + key.size();
            std::from_chars(p, in.section.data() + in.section.size(), v, 16);
        }
        return v;
    };
    in.first = hexAfter("  5\n");
    in.owner = hexAfter("330\n");
    return in;
}

std::string formatFloor(int n, const FloorInput& in, std::size_t expected) {
    namespace dxf = host::dxf;
    std::string out;
    out.resize(expected + dxf::kRealRoom * 16);
    char* p = out.data();
    auto str = [&](int code, std::string_view v) {
        p = dxf::putCodeLine(p, code);
        std::memcpy(p, v.data(), v.size());
        p += v.size();
        *p++ = '\n';
    };
    auto real = [&](int code, double v) {
        p = dxf::putReal(dxf::putCodeLine(p, code), v);
        *p++ = '\n';
    };
    auto whole = [&](int code, long long v) {
        p = dxf::putInteger(dxf::putCodeLine(p, code), v);
        *p++ = '\n';
    };
    auto point = [&](int code, double x, double y, double z) {
        real(code, x);
        real(code + 10, y);
        real(code + 20, z);
    };
    const double degrees = 180.0 / std::numbers::pi;
    for (int i = 0; i < n; ++i) {
        if (static_cast<std::size_t>(p - out.data()) + 1024 > out.size()) {
            std::size_t used = static_cast<std::size_t>(p - out.data());
            out.resize(2 * out.size());
            p = out.data() + used;
        }
        static constexpr std::string_view kinds[] = {"LINE", "CIRCLE", "ARC", "TEXT"};
        double x = i * 1.0;
        str(0, kinds[i % 4]);
        p = dxf::putHandle(dxf::putCodeLine(p, 5), in.first + static_cast<std::uint64_t>(i));
        *p++ = '\n';
        p = dxf::putHandle(dxf::putCodeLine(p, 330), in.owner);
        *p++ = '\n';
        str(100, "AcDbEntity");
        str(8, "0");
        switch (i % 4) {
            case 0:
                str(100, "AcDbLine");
                point(10, x, 0, 0);
                point(11, x + 0.5, 3, 0);
                break;
            case 1:
                str(100, "AcDbCircle");
                point(10, x, 0, 0);
                real(40, 1.5);
                break;
            case 2:
                str(100, "AcDbCircle");
                point(10, x, 1, 0);
                real(40, 2.0);
                str(100, "AcDbArc");
                real(50, 0.25 * degrees);
                real(51, 1.5 * degrees);
                break;
            default:
                str(100, "AcDbText");
                point(10, x, 2, 0);
                real(40, 0.25);
                str(1, "pomieszczenie");
                real(50, 0);
                real(41, 1);
                real(51, 0);
                str(7, "STANDARD");
                whole(71, 0);
                whole(72, 0);
                point(11, x, 2, 0);
                str(100, "AcDbText");
                whole(73, 0);
                break;
        }
    }
    out.resize(static_cast<std::size_t>(p - out.data()));
    return out;
}

void BM_FormatFloor(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    const std::string& text = textOf(n);
    FloorInput in = floorInputOf(text);
    if (formatFloor(n, in, in.section.size()) != in.section)
        return state.SkipWithError("the floor's text differs from the saved section");
    // Sized from the whole file, as a save would from its previous size.
    for (auto _ : state) benchmark::DoNotOptimize(formatFloor(n, in, text.size()));
    state.SetComplexityN(state.range(0));
}

// A drawing of n references to one small block: each reference's line is
// kept for the refusal of a block that contains itself, and opening must
// still grow linearly (it once counted the lines from the file's start for
// every reference). RelWithDebInfo, every core, wall / CPU ms of the
// calling thread on the shared machine: 25,000 / 50,000 / 100,000
// references 140 / 176 / 348 wall, 50 / 105 / 216 CPU; with the count from
// the start, 25,000 took 31,234 wall (24,388 CPU).
const std::string& referencesOf(int n) {
    static std::map<int, std::string> texts;
    auto it = texts.find(n);
    if (it != texts.end()) return it->second;
    ZcDbDatabase db;
    db.disableUndoRecording(true);
    ZcDbObjectId doorId;
    {
        ZcDbObjectPointer<ZcDbBlockTable> table(db.blockTableId(), ZcDb::kForWrite);
        ZcDbObjectPointer<ZcDbBlockTableRecord> door(new ZcDbBlockTableRecord());
        door->setName("DRZWI");
        table->add(doorId, door.get());
        ZcDbObjectPointer<ZcDbLine> line(new ZcDbLine({0, 0, 0}, {1, 1, 0}));
        door->appendZcDbEntity(line.get());
    }
    {
        ZcDbObjectPointer<ZcDbBlockTableRecord> ms(db.modelSpaceId(), ZcDb::kForWrite);
        for (int i = 0; i < n; ++i) {
            ZcDbObjectPointer<ZcDbBlockReference> ref(
                new ZcDbBlockReference({i * 2.0, (i % 100) * 2.0, 0}, doorId));
            ms->appendZcDbEntity(ref.get());
        }
    }
    return texts[n] = host::writeDxfText(&db);
}

void BM_LoadReferences(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string& text = referencesOf(n);
    for (auto _ : state) {
        host::DxfLoadResult r = host::readDxfText(text);
        if (!r.db) return state.SkipWithError(r.error.c_str());
        benchmark::DoNotOptimize(r.db.get());
    }
    state.SetComplexityN(state.range(0));
}

// A drawing of another program (VELM_BENCH_DXF=FILE): tokenize, load, and
// load + save as `velmhost FILE --save OUT` does them.
const std::string& benchFile() {
    static const std::string text = [] {
        const char* path = std::getenv("VELM_BENCH_DXF");
        if (!path) return std::string();
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }();
    return text;
}

void BM_FileTokenize(benchmark::State& state) {
    if (benchFile().empty()) return state.SkipWithError("VELM_BENCH_DXF not set");
    for (auto _ : state) benchmark::DoNotOptimize(tokenize(benchFile()));
}

void BM_FileLoadSave(benchmark::State& state) {
    if (benchFile().empty()) return state.SkipWithError("VELM_BENCH_DXF not set");
    for (auto _ : state) {
        host::DxfLoadResult r = host::readDxfText(benchFile());
        if (!r.db) return state.SkipWithError(r.error.c_str());
        benchmark::DoNotOptimize(host::writeDxfText(r.db.get(), r.vars.get()));
    }
}

}  // namespace

BENCHMARK(BM_FileTokenize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileLoadSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TokenizeDxf)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
// Load and save on one thread and on every core: wall time, as the other
// threads' work is not the calling thread's CPU time.
BENCHMARK(BM_LoadDxf)
    ->ArgsProduct({{10000, 100000, 1000000}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
// Every thread, as a drawing is opened.
BENCHMARK(BM_LoadReferences)
    ->Arg(25000)
    ->Arg(50000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_MakeEntities)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_FormatFloor)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_SaveDxf)
    ->ArgsProduct({{10000, 100000, 1000000}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
