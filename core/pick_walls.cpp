// The wall pick. The entity selection answers with the entity under the
// pick box; the point is first snapped to the nearest point of the
// geometry. When the entity found is no wall element of the level, the
// crossing window of 5 unit steps (settings SFTMTCM) corner to centre is
// searched in selection order.
//
// A wall element: the entity's type matches, its layer is one of the
// drawing's 2D wall layers (VELM_LAYERMURI), written "VELM" + entry + "$" +
// level when levels are on, the bare entry when they are off, and its level
// equals the caller's exactly.
#include "core/pick_walls.h"

#include <cmath>

#include "core/geometry/geom_basic.h"
#include "core/module_state.h"
#include "host/ads/adsent.h"
#include "host/ads/adspick.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/db/dbmain.h"
#include "host/ed/prompts.h"
#include "host/win/textutil.h"
#include "settings/settings_store.h"
#include "settings/setup_slots.h"

namespace {

bool PassesType(const std::string& type, const ads_name entity, double level, std::string& layer);
short ErrnoValue();

}  // namespace

int PickLinesAndArcs(const std::string& type, const std::string& prompt, ads_name entity, double level,
                     std::string& layer, std::string& keywords, ads_point pickPoint) {
    int unitSlot = SetupVar::SFTMTCM;
    double unit = 0.0;
    if (!GetVarReal(&unitSlot, &unit)) unit = 1.0;
    for (;;) {
        zcedInitGet(0, keywords.empty() ? nullptr : keywords.c_str());
        ads_point pick{0, 0, 0};
        int rc = zcedEntSel(prompt.c_str(), entity, pick);
        if (rc == RTERROR) {
            if (ErrnoValue() == OL_ENTSELPICK) continue;
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
        Point3 c1 = PolarPoint(at, 0.75 * PiValue, 5.0 * unit);
        Point3 c2 = PolarPoint(at, -0.25 * PiValue, 5.0 * unit);
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

bool IsWallElementOfLevel(const ads_name entity, const std::string& type, double level, std::string* layer) {
    int qpSlot = SetupVar::VELMLAYERQP;
    int qp = 0;
    GetVarInt(&qpSlot, &qp);
    bool levelsOn = qp == 0;

    resbuf* list = zcdbEntGet(entity);
    if (!list) return false;
    std::string kind, layerName;
    bool hasLayer = false;
    for (const resbuf* r = list; r; r = r->rbnext) {
        if (r->restype == 0 && r->resval.rstring) kind = r->resval.rstring;
        if (r->restype == 8 && r->resval.rstring) {
            layerName = r->resval.rstring;
            hasLayer = true;
        }
    }
    zcutRelRb(list);
    if (!host::iequals(kind, type) || !hasLayer) return false;

    std::string base = layerName;
    if (levelsOn) {
        std::size_t dollar = layerName.rfind('$');
        if (dollar == std::string::npos || dollar == 0) return false;
        std::size_t used = 0;
        std::string_view number = std::string_view(layerName).substr(dollar + 1);
        std::optional<double> parsed = host::parseDoublePrefix(number, &used);
        if (!parsed || used != number.size()) return false;
        if (*parsed != level) return false;
        base = layerName.substr(0, layerName.find('$'));
    }

    bool found = false;
    if (VELM_LAYERMURI* walls = OpenLayerMuriObject()) {
        for (const std::string& entry : walls->entries) {
            if (host::iequals(levelsOn ? "VELM" + entry : entry, base)) {
                found = true;
                break;
            }
        }
        walls->close();
    }
    if (found && layer) *layer = layerName;
    return found;
}

namespace {

bool PassesType(const std::string& type, const ads_name entity, double level, std::string& layer) {
    if (host::iequals(type, "LINE") || host::iequals(type, "ARC"))
        return IsWallElementOfLevel(entity, host::toUpper(type), level, &layer);
    if (host::iequals(type, "TUTTO"))
        return IsWallElementOfLevel(entity, "LINE", level, &layer) ||
               IsWallElementOfLevel(entity, "ARC", level, &layer);
    return false;
}

short ErrnoValue() {
    resbuf rb;
    return zcedGetVar("ERRNO", &rb) == RTNORM && rb.restype == RTSHORT ? rb.resval.rint : 0;
}

}  // namespace
