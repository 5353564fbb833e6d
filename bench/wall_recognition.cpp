// Pairing the walls of a floor with crossings resolved: a grid of rooms
// whose wall faces are split at every junction, every third row of walls a
// stronger type running through the floor, and every fourth column of walls
// running through the rows it crosses (so the stronger walls cut them).
// 100, 1,000 and 4,000 wall lines; the pairing should grow close to linearly.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "settings/settings_module.h"
#include "store/settings_store.h"
#include "walls/recognition/defmuri.h"

namespace {

constexpr double kRoom = 400.0, kThick = 20.0;

void Add(DEFMURI& set, double x1, double y1, double x2, double y2, const char* type) {
    WallSegment* s = NewWallSegment();
    s->start = {x1, y1, 0};
    s->end = {x2, y2, 0};
    s->typeName = type;
    set.ApplyWallType(*s);
    set.AppendSegment(s);
}

// The wall faces of a floor of n x n rooms.
int FacesOf(int n) {
    int count = 0;
    for (int j = 0; j <= n; ++j) count += 2 * (j % 3 == 0 ? 1 : n);
    for (int i = 0; i <= n; ++i) count += 2 * (i % 4 == 0 ? 1 : n);
    return count;
}

// At least `lines` wall faces.
int FillFloor(DEFMURI& set, int lines) {
    int n = 2;
    while (FacesOf(n) < lines) ++n;
    int count = 0;
    for (int j = 0; j <= n; ++j) {
        const double y = j * kRoom;
        const bool strong = j % 3 == 0;
        for (double face : {y, y + kThick}) {
            if (strong) {
                Add(set, 0, face, n * kRoom + kThick, face, "Mocna");
                ++count;
                continue;
            }
            for (int i = 0; i < n; ++i, ++count)
                Add(set, i * kRoom + kThick, face, (i + 1) * kRoom, face, "Słaba");
        }
    }
    for (int i = 0; i <= n; ++i) {
        const double x = i * kRoom;
        const bool through = i % 4 == 0;
        for (double face : {x, x + kThick}) {
            if (through) {
                Add(set, face, -kRoom / 2, face, n * kRoom + kRoom / 2, "Słaba");
                ++count;
                continue;
            }
            for (int j = 0; j < n; ++j, ++count)
                Add(set, face, j * kRoom + kThick, face, (j + 1) * kRoom, "Słaba");
        }
    }
    return count;
}

struct Host {
    Host() {
        RegisterSettingsModule();
        host::startHost({});
        host::resetEditorSession();
    }
    ~Host() {
        host::resetEditorSession();
        UnregisterSettingsModule();
    }
};

void BM_PairFloorWalls(benchmark::State& state) {
    Host host;
    int lines = 0, pairs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto set = std::make_unique<DEFMURI>();
        set->wallDistance = 60.0;
        set->unitFactor = 1.0;
        for (auto [name, priority] : {std::pair{"Słaba", 1}, std::pair{"Mocna", 2}}) {
            CMuro type;
            type.name = name;
            type.priority = priority;
            set->wallTypes.push_back(type);
        }
        lines = FillFloor(*set, static_cast<int>(state.range(0)));
        state.ResumeTiming();
        set->PairSegments(true);
        state.PauseTiming();
        pairs = CountNodes(set->pairs);
        set.reset();
        state.ResumeTiming();
    }
    state.counters["lines"] = lines;
    state.counters["pairs"] = pairs;
    state.SetComplexityN(lines);
}
BENCHMARK(BM_PairFloorWalls)->Arg(100)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
