// Wall lines at a pilaster: cut where they enter its outline, joined again
// when it goes (see wall_cuts.h).
#include <cmath>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/polygon.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "objects/placement/wall_cuts.h"
#include "objects/placement/wall_edit_util.h"

using namespace wallcut;

namespace {

// Larger than any plan distance: no line touches the side.
constexpr double kNoDistance = 1.7014117331926443e38;

struct OwnedRing {
    VertexNode* head = nullptr;
    ~OwnedRing() { FreeList(head); }
};

std::vector<Point3> RingPoints(const VertexNode* ring) {
    std::vector<Point3> out;
    for (const VertexNode* v = ring; v; v = v->next) out.push_back(v->pt());
    return out;
}

// Bounded crossings of s-e with every side of the ring, at the line's height.
std::vector<Point3> Crossings(const std::vector<Point3>& ring, const Point3& s, const Point3& e) {
    std::vector<Point3> out;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const Point3& a = ring[i];
        const Point3& b = ring[(i + 1) % ring.size()];
        Point3 x;
        if (IntersectLines2d(s, e, a, b, x, 1, ModuleGeomTol)) out.push_back(OnSegmentHeight(s, e, x));
    }
    return out;
}

Point3 NearestTo(const Point3& ref, const std::vector<Point3>& points) {
    Point3 best = points.front();
    for (const Point3& p : points)
        if (Distance2d(ref, p) < Distance2d(ref, best)) best = p;
    return best;
}

bool Inside(const Point3& p, const VertexNode* ring) {
    return PointInPolygon(p, ring, kEdgesReported) != kOutsidePolygon;
}
bool StrictlyInside(const Point3& p, const VertexNode* ring) {
    return PointInPolygon(p, ring, kEdgesReported) == kInsidePolygon;
}

void Erase(const ads_name e) {
    zcdbEntDel(e);
}

void CutOneLine(const ads_name e, const Point3& s, const Point3& t, const std::vector<Point3>& ring,
                const VertexNode* outline) {
    const std::vector<Point3> xs = Crossings(ring, s, t);
    if (xs.empty()) return Erase(e);
    const Point3 x1 = NearestTo(s, xs), x2 = NearestTo(t, xs);
    const bool startOn = PointsEqual(s, x1, false), endOn = PointsEqual(t, x2, false);
    const bool single = PointsEqual(x1, x2, false);
    if (startOn && endOn) return Erase(e);
    if (startOn) {
        if (!single)
            RemakeLine(e, x2, t);
        else if (StrictlyInside(t, outline))
            Erase(e);
        return;
    }
    if (endOn) {
        if (!single)
            RemakeLine(e, s, x1);
        else if (StrictlyInside(s, outline))
            Erase(e);
        return;
    }
    if (Inside(s, outline)) {
        RemakeLine(e, x2, t);
    } else if (Inside(t, outline)) {
        RemakeLine(e, s, x1);
    } else {
        host::ResbufList list = ReadWhole(e);
        if (!list) return;
        Erase(e);
        MakeLine(list.get(), s, x1);
        MakeLine(list.get(), x2, t);
    }
}

// A wall line found at the pilaster, turned so that it starts where it
// touches the outline.
struct Touching {
    ads_name e = {0, 0};
    Point3 s, t;
};

bool IntersectInfinite(const Point3& a, const Point3& b, const Point3& c, const Point3& d, Point3& x) {
    if (!IntersectLines2d(a, b, c, d, x, 0, ModuleGeomTol)) return false;
    x = OnSegmentHeight(a, b, x);
    return true;
}

}  // namespace

void CutWallAtPilaster(const ads_name pilaster) {
    OwnedRing outline{GetPillarOutline(pilaster)};
    if (CountNodes(outline.head) < 3) return;
    double level = 0.0;
    if (GetEntityLevel(pilaster, level, nullptr, false) != 1) return;
    WallSelection lines("LINE", level, false);
    if (!lines.found()) return;
    const std::vector<Point3> ring = RingPoints(outline.head);
    struct Hit {
        ads_name e;
        Point3 s, t;
    };
    std::vector<Hit> hits;
    for (std::int32_t i = 0; i < lines.size(); ++i) {
        Hit h;
        if (!lines.name(i, h.e) || !GetLineData(h.e, h.s, h.t)) continue;
        if (Inside(h.s, outline.head) || Inside(h.t, outline.head) || !Crossings(ring, h.s, h.t).empty())
            hits.push_back(h);
    }
    for (const Hit& h : hits) CutOneLine(h.e, h.s, h.t, ring, outline.head);
}

void RejoinPilasterWallLines(const VertexNode* outline, double level) {
    if (CountNodes(outline) < 3) return;
    WallSelection sel("LINE", level, false);
    if (!sel.found()) return;
    std::vector<Touching> pool;
    for (std::int32_t i = 0; i < sel.size(); ++i) {
        Touching l;
        if (sel.name(i, l.e) && GetLineData(l.e, l.s, l.t)) pool.push_back(l);
    }

    // The lines touching each side, in the order of the outline and, on a
    // side, from its start.
    const std::vector<Point3> ring = RingPoints(outline);
    std::vector<Touching> found;
    for (std::size_t k = 0; k < ring.size(); ++k) {
        const Point3& a = ring[k];
        const Point3& b = ring[(k + 1) % ring.size()];
        for (;;) {
            double best = kNoDistance;
            std::size_t at = 0;
            bool startTouches = false;
            for (std::size_t i = 0; i < pool.size(); ++i) {
                for (const bool useStart : {true, false}) {
                    const Point3& p = useStart ? pool[i].s : pool[i].t;
                    if (!IsOnSegmentTol(p, a, b, SharedTolerance)) continue;
                    const double d = Distance2d(a, p);
                    if (d < best) {
                        best = d;
                        at = i;
                        startTouches = useStart;
                    }
                }
            }
            if (best >= kNoDistance) break;
            Touching l = pool[at];
            if (!startTouches) std::swap(l.s, l.t);
            found.push_back(l);
            pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(at));
        }
    }
    if (found.size() < 2) return;

    // Two collinear pieces are one wall face running past the pilaster.
    std::vector<Touching> through;
    for (std::size_t i = 0; i < found.size(); ++i) {
        for (std::size_t j = i + 1; j < found.size(); ++j) {
            if (!ArePointsCollinear4(found[i].s, found[i].t, found[j].s, found[j].t, SharedTolerance))
                continue;
            Point3 extent[2];
            CollinearSegmentsExtent(found[i].s, found[i].t, found[j].s, found[j].t, extent);
            Touching joined;
            Erase(found[j].e);
            if (RemakeLine(found[i].e, extent[0], extent[1], joined.e)) {
                joined.s = extent[0];
                joined.t = extent[1];
                through.push_back(joined);
            }
            found.erase(found.begin() + static_cast<std::ptrdiff_t>(j));
            found.erase(found.begin() + static_cast<std::ptrdiff_t>(i));
            --i;
            break;
        }
    }

    // Faces meeting at an angle are extended to their corner.
    auto crossesThrough = [&](const Point3& x, const Point3& far) {
        for (const Touching& w : through) {
            Point3 c;
            if (IntersectLines2d(x, far, w.s, w.t, c, 1, ModuleGeomTol)) return true;
        }
        return false;
    };
    for (std::size_t i = 0; found.size() >= 2 && i < found.size();) {
        const std::size_t j = (i + 1) % found.size();
        const Touching& l = found[i];
        const Touching& m = found[j];
        const double a1 = AngleTo(l.s, l.t), a2 = AngleTo(m.s, m.t);
        const double c = std::cos(a2 - a1), s = std::sin(a2 - a1);
        Point3 x;
        if ((std::abs(s) >= 0.4 || c <= 0.91) && IntersectInfinite(l.s, l.t, m.s, m.t, x) &&
            !crossesThrough(x, l.t)) {
            RemakeLine(l.e, x, l.t);
            RemakeLine(m.e, OnSegmentHeight(m.s, m.t, x), m.t);
            found.erase(found.begin() + static_cast<std::ptrdiff_t>(std::max(i, j)));
            found.erase(found.begin() + static_cast<std::ptrdiff_t>(std::min(i, j)));
            if (j < i) break;
            continue;
        }
        ++i;
    }

    // What is left runs up to the nearest through-line.
    for (const Touching& l : found) {
        double best = kNoDistance;
        Point3 to;
        for (const Touching& w : through) {
            Point3 x;
            if (!IntersectInfinite(l.s, l.t, w.s, w.t, x)) continue;
            const double d = Distance2d(l.s, x);
            if (d < best) {
                best = d;
                to = x;
            }
        }
        if (best < kNoDistance) RemakeLine(l.e, l.t, to);
    }
}

void RejoinPilasterAtObject(const ads_name pilaster) {
    OwnedRing outline{GetPillarOutline(pilaster)};
    double level = 0.0;
    const bool onLevel = GetEntityLevel(pilaster, level, nullptr, false) == 1;
    zcdbEntDel(pilaster);
    if (onLevel) RejoinPilasterWallLines(outline.head, level);
}
