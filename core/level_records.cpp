#include "core/level_records.h"

#include <cmath>

#include "core/levels.h"
#include "host/ads/adsowners.h"

void ForEachLevelRecord(const char* app, double level, double tolerance,
                        const std::function<void(const ads_name)>& visit) {
    const host::ResbufList filter(zcutBuildList(-3, 1001, app, 0));
    host::SelectionSet set;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), set.put()) != RTNORM) return;
    const std::int32_t n = set.size();
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name entity;
        if (!set.name(i, entity)) continue;
        double entityLevel = 0.0;
        if (!GetEntityLevel(entity, entityLevel, nullptr, false) ||
            std::fabs(entityLevel - level) > tolerance)
            continue;
        visit(entity);
    }
}
