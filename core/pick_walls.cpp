// The wall pick. The entity selection answers with the entity under the
// pick box; the point is first snapped to the nearest point of the
// geometry. When the entity found is no wall element of the level, the
// crossing window of 5 unit steps (settings SFTMTCM) corner to centre is
// searched in selection order.
//
// A wall element is what CheckEntityLevelLayer accepts on the caller's
// level, silently.
#include "core/pick_walls.h"

#include <cmath>
#include <numbers>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/geom_basic.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

bool PassesType(const std::string& type, const ads_name entity, double level, std::string& layer);

}  // namespace

int PickLinesAndArcs(const std::string& type, const std::string& prompt, ads_name entity, double level,
                     std::string& layer, std::string& keywords, ads_point pickPoint) {
    const double unit = DrawingUnitFactor();
    for (;;) {
        zcedInitGet(0, keywords.empty() ? nullptr : keywords.c_str());
        ads_point pick{0, 0, 0};
        int rc = zcedEntSel(prompt.c_str(), entity, pick);
        if (rc == RTERROR) {
            if (PickHitNothing()) continue;
            return -3;
        }
        if (rc == RTKWORD) {
            char text[512] = "";
            zcedGetInput(text);
            keywords = text;
            return -2;
        }
        if (rc == RTCAN) return -1;
        if (rc != RTNORM) continue;

        ads_point snapped;
        if (zcedOsnap(pick, "_NEAR", snapped) == RTNORM) ads_point_set(snapped, pick);
        if (pickPoint) ads_point_set(pick, pickPoint);
        if (PassesType(type, entity, level, layer)) return 1;

        Point3 at{pick[0], pick[1], pick[2]};
        Point3 c1 = PolarPoint(at, 0.75 * std::numbers::pi, 5.0 * unit);
        Point3 c2 = PolarPoint(at, -0.25 * std::numbers::pi, 5.0 * unit);
        ads_point p1{c1.x, c1.y, c1.z}, p2{c2.x, c2.y, c2.z};
        ads_name set;
        if (zcedSSGet("_C", p1, p2, nullptr, set) != RTNORM) return 0;
        int result = 0;
        std::int32_t n = 0;
        zcedSSLength(set, &n);
        for (std::int32_t i = 0; i < n && result == 0; ++i) {
            ads_name member;
            if (zcedSSName(set, i, member) != RTNORM) continue;
            if (PassesType(type, member, level, layer)) {
                ads_name_set(member, entity);
                result = 1;
            }
        }
        zcedSSFree(set);
        return result;
    }
}

namespace {

bool IsWallElement(const ads_name entity, const char* type, double level, std::string& layer) {
    if (!CheckEntityLevelLayer(entity, type, false, level, true, false)) return false;
    const host::ResbufList list(zcdbEntGet(entity));
    if (const resbuf* l = FindRbCode(list.get(), 8); l && l->resval.rstring) layer = l->resval.rstring;
    return true;
}

bool PassesType(const std::string& type, const ads_name entity, double level, std::string& layer) {
    if (zcutEqualsNoCase(type, "LINE")) return IsWallElement(entity, "LINE", level, layer);
    if (zcutEqualsNoCase(type, "ARC")) return IsWallElement(entity, "ARC", level, layer);
    if (zcutEqualsNoCase(type, "TUTTO"))
        return IsWallElement(entity, "LINE", level, layer) || IsWallElement(entity, "ARC", level, layer);
    return false;
}

}  // namespace
