// Growth between the sizes of one benchmark: "ratio" is this size's time
// over the previous size's of the same name, "n^" the exponent of the
// growth that ratio means.
#pragma once

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <string>
#include <utility>

inline void RecordGrowth(benchmark::State& state, const std::string& name, double n, double seconds) {
    static std::map<std::string, std::pair<double, double>> before;  // n, seconds
    auto it = before.find(name);
    if (it != before.end() && it->second.second > 0) {
        const double ratio = seconds / it->second.second;
        state.counters["ratio"] = ratio;
        state.counters["n^"] = std::log(ratio) / std::log(n / it->second.first);
    }
    before[name] = {n, seconds};
}
