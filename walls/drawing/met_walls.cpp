// Met walls (see the header).
#include "walls/drawing/met_walls.h"

#include <cstdint>
#include <numbers>
#include <string>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/ed/adspick.h"
#include "walls/drawing/wall_segment.h"

namespace {

void toPoint(const Point3& p, ads_point out) {
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

void orderFrom(const Point3& ref, const Point3& a, const Point3& b, Point3 ends[2]) {
    const bool aNearer = Distance2d(ref, a) <= Distance2d(ref, b);
    ends[0] = aNearer ? a : b;
    ends[1] = aNearer ? b : a;
}

// The LINE with every record it carries.
host::ResbufList lineWithXData(const ads_name line) {
    const host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
    return host::ResbufList(zcdbEntGetX(line, apps.get()));
}

void setLineEnd(const ads_name line, int code, const Point3& p) {
    const host::ResbufList list = lineWithXData(line);
    if (!list) return;
    ads_point v;
    toPoint(p, v);
    SetRbPoint(list.get(), code, v);
    zcdbEntMod(list.get());
}

// The list without the groups that name one entity (its name, handle and
// owner), as a new entity is made from it.
void dropIdentity(host::ResbufList& list) {
    resbuf* head = list.release();
    resbuf** link = &head;
    while (*link) {
        const int code = (*link)->restype;
        if (code == -1 || code == 5 || code == 330) {
            const host::ResbufList gone(*link);
            *link = gone->rbnext;
            gone->rbnext = nullptr;
        } else {
            link = &(*link)->rbnext;
        }
    }
    list.reset(head);
}

}  // namespace

bool PickStartOrJoinWall(bool start, double level, MetWall& wall) {
    const char* prompt =
        start ? "\nWybierz ścianę, z której można rozpocząć:" : "\nWybierz ścianę, do której dołączyć:";
    for (;;) {
        ads_name picked;
        ads_point at{0, 0, 0};
        const int rc = zcedEntSel(prompt, picked, at);
        if (rc == RTERROR && PickHitNothing()) continue;
        if (rc != RTNORM) return false;
        double lineLevel = level;
        if (CheckEntityLevelLayer(picked, "LINE", false, lineLevel, true, true) != 1) continue;
        Point3 a, b;
        if (!GetLineData(picked, a, b)) continue;
        wall = MetWall{};
        ads_name_set(picked, wall.first);
        orderFrom({at[0], at[1], at[2]}, a, b, wall.ends);
        return true;
    }
}

bool FindWallAtPoint(const Point3& at, double thickness, double level, const ads_name skip[2],
                     MetWall& wall) {
    const double reach = 0.3 * thickness;
    const Point3 c1 = PolarPoint(at, 0.75 * std::numbers::pi, reach);
    const Point3 c2 = PolarPoint(at, -0.25 * std::numbers::pi, reach);
    ads_point p1, p2;
    toPoint(c1, p1);
    toPoint(c2, p2);
    ads_name ss;
    if (zcedSSGet("_C", p1, p2, nullptr, ss) != RTNORM) return false;
    std::int32_t n = 0;
    zcedSSLength(ss, &n);
    // A wall thinner than the window has both its lines in it: the one
    // the point lies nearest to is met, unless another is as near (a
    // corner, or a point halfway between the faces).
    int hits = 0, nearest = 0;
    double best = 0.0;
    ads_name hit = {0, 0};
    Point3 a, b;
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        if (zcedSSName(ss, i, e) != RTNORM) continue;
        if (skip && (ads_name_equal(e, skip[0]) || ads_name_equal(e, skip[1]))) continue;
        double lineLevel = level;
        Point3 s, t;
        if (CheckEntityLevelLayer(e, "LINE", false, lineLevel, true, false) != 1 || !GetLineData(e, s, t))
            continue;
        ++hits;
        const double d = PlanDistanceToSegment(at, s, t);
        if (hits == 1 || d < best - SharedTolerance) {
            best = d, nearest = 1;
            ads_name_set(e, hit);
            a = s, b = t;
        } else if (d <= best + SharedTolerance) {
            ++nearest;
        }
    }
    zcedSSFree(ss);
    if (hits == 0 || nearest != 1) return false;
    wall = MetWall{};
    ads_name_set(hit, wall.first);
    orderFrom(at, a, b, wall.ends);
    return true;
}

void SplitWall(MetWall& wall, const Point3& at, bool trim) {
    if (!trim || !wall.Found() || wall.split) return;
    Point3 start, end;
    if (!GetLineData(wall.first, start, end)) return;
    host::ResbufList copy = lineWithXData(wall.first);
    if (!copy) return;
    dropIdentity(copy);
    ads_point from, to;
    toPoint({at.x, at.y, start.z}, from);
    toPoint(end, to);
    SetRbPoint(copy.get(), 10, from);
    SetRbPoint(copy.get(), 11, to);
    if (zcdbEntMake(copy.get()) != RTNORM || zcdbEntLast(wall.second) != RTNORM) return;
    wall.originalEnd = end;
    wall.split = true;
    setLineEnd(wall.first, 11, {at.x, at.y, end.z});
}

void OpenMetWall(const MetWall& wall, DrawnSegment& seg, bool atEnd, bool trim) {
    if (!wall.Found() || seg.kind != DrawnSegment::kStraight) return;
    Point3 cross[2];
    for (int i = 0; i < 2; ++i) {
        const DrawnFace& f = seg.face[i];
        if (!IntersectLines2d(wall.ends[0], wall.ends[1], f.start, f.end, cross[i], 0, ModuleGeomTol)) return;
        cross[i].z = f.start.z;
    }
    for (int i = 0; i < 2; ++i) (atEnd ? seg.face[i].end : seg.face[i].start) = cross[i];
    if (!trim || !wall.split) return;
    // Each piece keeps its far end and reaches the crossing on its side.
    Point3 s1, e1, s2, e2;
    if (!GetLineData(wall.first, s1, e1) || !GetLineData(wall.second, s2, e2)) return;
    const auto nearer = [](const Point3& ref, const Point3& a, const Point3& b) {
        return Distance2d(ref, a) <= Distance2d(ref, b) ? a : b;
    };
    const Point3 firstEnd = nearer(s1, cross[0], cross[1]);
    const Point3 secondStart = nearer(e2, cross[0], cross[1]);
    setLineEnd(wall.first, 11, {firstEnd.x, firstEnd.y, e1.z});
    setLineEnd(wall.second, 10, {secondStart.x, secondStart.y, s2.z});
}

void RestoreMetWall(MetWall& wall) {
    if (!wall.split) return;
    zcdbEntDel(wall.second);
    ads_name_clear(wall.second);
    setLineEnd(wall.first, 11, wall.originalEnd);
    wall.split = false;
}
