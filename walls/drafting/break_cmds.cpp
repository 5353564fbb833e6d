// The break commands (see the header).
//
// The path's crossings are found for one segment at a time, the wall lines
// and arcs selected again for each, so the pieces earlier breaks made are
// cut too. An arc is cut only where the segment itself (not the line
// through it) meets it.
#include "walls/drafting/break_cmds.h"

#include <string>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_readers.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/host_geometry.h"
#include "core/geometry/point_input.h"
#include "core/geometry/vertex_list.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/sysvars.h"
#include "host/ed/adspick.h"
#include "host/ed/cmdproc.h"
#include "host/ed/prompts.h"
#include "host/util/nocase.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int kZero = 0;

// "_BREAK" on the object at `first`, up to `second`, quietly.
int HostBreak(const ads_name entity, const Point3& first, const Point3& second) {
    const int echo = SysVarShort("CMDECHO", &kZero);
    const ads_point p1{first.x, first.y, first.z}, p2{second.x, second.y, second.z};
    const int rc = zcedCommand(RTSTR, "_BREAK", RTLB, RTENAME, entity, RTPOINT, p1, RTLE, RTPOINT, p2, 0);
    SysVarShort("CMDECHO", &echo);
    return rc;
}

// A breakable object picked until one is; false after a cancel or error.
bool PickBreakable(ads_name entity) {
    for (;;) {
        ads_point pt;
        const int rc = zcedEntSel("\nWybierz obiekt do przerwania:", entity, pt);
        if (rc == RTERROR && PickHitNothing()) continue;
        if (rc != RTNORM) return false;
        if (IsBreakable(entity)) return true;
        zcutPrintf("%s", "\nNie można przerwać tego obiektu");
    }
}

std::optional<Point3> AskPoint(const Point3* base, const char* prompt) {
    ads_point from{0, 0, 0}, p;
    if (base) {
        from[0] = base->x;
        from[1] = base->y;
        from[2] = base->z;
    }
    if (GetPointInRange(0, nullptr, base ? from : nullptr, prompt, p) != RTNORM) return std::nullopt;
    return Point3{p[0], p[1], p[2]};
}

void BreakLinesCrossed(const Point3& a, const Point3& b, double level) {
    host::SelectionSet lines;
    if (SelectOnWallLayers("LINE", lines.put(), level, false) != 1) return;
    ads_name e;
    for (std::int32_t i = 0; lines.name(i, e); ++i) {
        Point3 s, t, x;
        if (GetLineData(e, s, t) != 1 || !IntersectLines2d(a, b, s, t, x, 1, ModuleGeomTol)) continue;
        x.z = level;
        HostBreak(e, x, x);
    }
}

void BreakArcsCrossed(const Point3& a, const Point3& b, double level) {
    host::SelectionSet arcs;
    if (SelectOnWallLayers("ARC", arcs.put(), level, false) != 1) return;
    // The crossings of every arc first: a break makes new arcs and the set
    // only names those it found.
    struct Cut {
        std::int64_t arc[2];
        Point3 at;
    };
    std::vector<Cut> cuts;
    ads_name e;
    for (std::int32_t i = 0; arcs.name(i, e); ++i) {
        ArcRecord arc;
        Point3 x1, x2;
        if (GetArcData(e, arc) != 1 || !IntersectLineCircle(a, b, arc.centre, arc.radius, x1, x2)) continue;
        auto crosses = [&](const Point3& x) {
            return IsPointOnArc(x, arc, true) && IsOnSegmentTol(Point3{x.x, x.y, a.z}, a, b, SharedTolerance);
        };
        if (crosses(x1)) cuts.push_back({{e[0], e[1]}, x1});
        if (HostDistance(x1, x2) > SharedTolerance && crosses(x2)) cuts.push_back({{e[0], e[1]}, x2});
    }
    // The host picks the piece under the point, so a second crossing of one
    // arc is cut on the piece the first break left holding it.
    for (const Cut& c : cuts) HostBreak(c.arc, c.at, c.at);
}

}  // namespace

bool IsBreakable(const ads_name entity) {
    std::string type;
    GetEntTypeAndColor(entity, type);
    for (const char* kind :
         {"LINE", "ARC", "CIRCLE", "POLYLINE", "LWPOLYLINE", "ELLIPSE", "SPLINE", "XLINE", "RAY"})
        if (zcutEqualsNoCase(type, kind)) return true;
    return false;
}

void CmdBreakAlongPath() {
    PointInputPortInRange port;
    std::string keyword;
    int closed = 0;
    VertexNode* raw = nullptr;
    const int n = InputPointList(port, "", "\nPierwszy punkt przerwania odcinka:", "[Cofnij] Numer punktu",
                                 keyword, raw, closed, 1, 0);
    OwnedList<VertexNode> path(raw);
    if (n < 2) return;
    const double level = SettingReal(SetupVar::SQPAV, 0.0);
    for (VertexNode* v = path.get(); v; v = v->next) v->z = level;
    const int osmode = SysVarShort("OSMODE", &kZero);
    for (const VertexNode* v = path.get(); v && v->next; v = v->next) {
        BreakLinesCrossed(v->pt(), v->next->pt(), level);
        BreakArcsCrossed(v->pt(), v->next->pt(), level);
    }
    SysVarShort("OSMODE", &osmode);
}

void CmdBreakAtPoint() {
    ads_name entity;
    if (!PickBreakable(entity)) return;
    const std::optional<Point3> at = AskPoint(nullptr, "\nOkreśl punkt przerwania:");
    if (!at) return;
    HostBreak(entity, *at, *at);
}

void CmdBreakBetween() {
    ads_name entity;
    if (!PickBreakable(entity)) return;
    const std::optional<Point3> first = AskPoint(nullptr, "\nOkreśl pierwszy punkt przerwania:");
    if (!first) return;
    const std::optional<Point3> second = AskPoint(&*first, "\nOkreśl drugi punkt przerwania:");
    if (!second) return;
    HostBreak(entity, *first, *second);
}
