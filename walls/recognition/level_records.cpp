#include "walls/recognition/level_records.h"

#include <cmath>
#include <memory>

#include "core/geometry/geom_basic.h"
#include "core/levels.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"

void ForEachLevelRecord(const char* app, double level, const std::function<void(const ads_name)>& visit) {
    std::unique_ptr<resbuf, int (*)(resbuf*)> filter(zcutBuildList(-3, 1001, app, 0), zcutRelRb);
    ads_name set = {0, 0};
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), set) != RTNORM) return;
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name entity;
        if (zcedSSName(set, i, entity) != RTNORM) continue;
        double entityLevel = 0.0;
        if (!GetEntityLevel(entity, entityLevel, nullptr, false) ||
            std::fabs(entityLevel - level) > GeomEpsilon)
            continue;
        visit(entity);
    }
    zcedSSFree(set);
}
