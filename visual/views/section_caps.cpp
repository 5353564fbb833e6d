// The caps of a section (see section_caps.h).
//
//   1. The cut edges of every face and sliver, each with its solid
//      (cap_solids): a solid's cuts chained into rings, a level gap its own
//      faces bound closed, what stays open left out.
//   2. The plan graph of all solids' rings together, split where they
//      meet and cross (cap_graph): each bounded face lies wholly inside a
//      solid's cut or wholly outside it.
//   3. A face is a cap when a point well inside it lies inside some
//      solid's rings by the even-odd rule.
//
// A cap goes into the wall outline list when no outline found per layer
// holds it, and shadow pieces lose what lies inside a cap: the hollow face
// set puts the inner faces of a cut solid "in shade" behind its cut.
#include "visual/views/section_caps.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "core/geometry/polygon.h"
#include "core/geometry/ring_difference.h"
#include "core/geometry/vertex_list.h"
#include "visual/views/cap_graph.h"
#include "visual/views/cap_solids.h"
#include "visual/views/polygon_clip.h"
#include "visual/views/section_faces.h"
#include "visual/views/view_shading.h"

namespace {

// The middle of the widest span of the row at height y inside the ring
// (by crossings), when wider than 2t.
std::optional<Point3> RowMiddle(const VertexNode* ring, double y, double t) {
    std::vector<double> xs;
    for (const VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = v->next ? v->next : ring;
        if ((v->y > y) == (w->y > y)) continue;
        xs.push_back(v->x + (y - v->y) * (w->x - v->x) / (w->y - v->y));
    }
    std::sort(xs.begin(), xs.end());
    double best = 2.0 * t, at = 0.0;
    for (std::size_t k = 0; k + 1 < xs.size(); k += 2)
        if (xs[k + 1] - xs[k] > best) best = xs[k + 1] - xs[k], at = (xs[k] + xs[k + 1]) / 2.0;
    if (!(best > 2.0 * t)) return std::nullopt;
    return Point3{at, y, 0.0};
}

// Points well inside the ring: on the widest spans of a few horizontal
// lines across it, at heights no vertex is likely to share. A ring narrow
// at all three (a wall's cut wrapped round a window whose reveal runs a
// hair from the wall's face, the rows all through the window) gives one
// point, on the first row midway between two heights of its corners,
// the highest bands first, that has a span wide enough.
std::vector<Point3> InnerPoints(const VertexNode* ring, double t) {
    double box[4];
    RingPlanBox(ring, box);
    std::vector<Point3> out;
    for (const double f : {0.5123, 0.3071, 0.6937})
        if (const auto p = RowMiddle(ring, box[1] + f * (box[3] - box[1]), t)) out.push_back(*p);
    if (!out.empty()) return out;
    std::vector<double> ys;
    for (const VertexNode* v = ring; v; v = v->next) ys.push_back(v->y);
    std::sort(ys.begin(), ys.end());
    std::vector<std::pair<double, double>> bands;  // height, middle
    for (std::size_t k = 0; k + 1 < ys.size(); ++k)
        if (ys[k + 1] > ys[k]) bands.push_back({ys[k + 1] - ys[k], (ys[k] + ys[k + 1]) / 2.0});
    std::sort(bands.begin(), bands.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [height, y] : bands)
        if (const auto p = RowMiddle(ring, y, t)) return {*p};
    return out;
}

// Whether an outline of the list holds the ring (a point well inside the
// ring lies inside the outline). The point is the middle of a span of the
// ring, so the outline's edges are not tested for it: the edge test's
// tolerance grows with an edge's length and would put the middle of a
// long thin ring on the edges of its own outline.
bool HeldBy(const VertexNode* ring, const OutlinePolygon* outlines, double t) {
    const std::vector<Point3> inner = InnerPoints(ring, t);
    if (inner.empty()) return true;
    for (const OutlinePolygon* o = outlines; o; o = o->next)
        if (CountNodes(o->ring) >= 3 &&
            PointInPolygon(inner.front(), o->ring, kEdgesUntested) == kInsidePolygon)
            return true;
    return false;
}

// The outlines found before the caps that lie in a cap and cover only a
// part of it (a wall's cut of one storey, the cap running on up the
// storey above) are dropped: the caps stand in their place.
void DropOutlinesCapsOutgrow(CSezione& section,
                             const std::vector<std::pair<double, const OutlinePolygon*>>& caps) {
    const double t = section.minLength;
    struct Found {
        OutlinePolygon* outline;
        Point3 inner;
        double area;
    };
    std::vector<Found> found;
    for (OutlinePolygon* o = section.wallOutlines; o; o = o->next) {
        const std::vector<Point3> inner = InnerPoints(o->ring, t);
        if (!inner.empty()) found.push_back({o, inner.front(), std::fabs(RingSignedArea2(o->ring))});
    }
    std::sort(found.begin(), found.end(),
              [](const Found& a, const Found& b) { return a.inner.x < b.inner.x; });
    std::vector<OutlinePolygon*> dropped;
    for (const auto& [area, cap] : caps) {
        double box[4];
        RingPlanBox(cap->ring, box);
        std::vector<OutlinePolygon*> within;
        double covered = 0.0;
        auto f = std::lower_bound(found.begin(), found.end(), box[0],
                                  [](const Found& a, double x) { return a.inner.x < x; });
        for (; f != found.end() && f->inner.x <= box[2]; ++f) {
            const Point3& p = f->inner;
            if (p.y < box[1] || p.y > box[3] ||
                PointInPolygon(p, cap->ring, kEdgesUntested) != kInsidePolygon)
                continue;
            within.push_back(f->outline);
            covered += f->area;
        }
        if (!within.empty() && covered < area * (1.0 - 1e-3))
            dropped.insert(dropped.end(), within.begin(), within.end());
    }
    if (dropped.empty()) return;
    std::sort(dropped.begin(), dropped.end());
    OutlinePolygon** link = &section.wallOutlines;
    while (*link) {
        OutlinePolygon* o = *link;
        if (!std::binary_search(dropped.begin(), dropped.end(), o)) {
            link = &o->next;
            continue;
        }
        *link = o->next;
        o->next = nullptr;
        FreeOutlinePolygons(o);
    }
}

}  // namespace

void FindSectionCaps(CSezione& section) {
    section.capOutlines = FreeOutlinePolygons(section.capOutlines);
    section.capsSearched = true;
    section.capVoids.clear();
    const double t = section.minLength;
    const std::vector<CapCut> rings = ClosedSolidCuts(SolidCuts(section, t), t);
    if (rings.size() < 2) return;
    const SolidInsides insides(rings);
    for (VertexNode* face : BoundedFaces(SplitCapCuts(rings, t, true), t)) {
        const std::vector<Point3> inner = InnerPoints(face, t);
        if (CountNodes(face) < 3 || inner.empty() || !insides.InsideSome(inner.front())) {
            if (CountNodes(face) >= 3 && !inner.empty()) section.capVoids.push_back(inner.front());
            FreeList(face);
            continue;
        }
        OutlinePolygon* cap = NewOutlinePolygon(face);
        cap->next = section.capOutlines;
        section.capOutlines = cap;
    }
}

bool InCap(const CSezione& section, const VertexNode* ring) {
    const double t = section.minLength;
    if (InnerPoints(ring, t).empty() || !HeldBy(ring, section.capOutlines, t)) return false;
    // A ring of one layer's cuts round the outside of a wall's cut holds
    // the wall's cap, and with it the void of the window the cap leaves
    // out, which the ring would fill.
    for (const Point3& p : section.capVoids)
        if (PointInPolygon(p, ring, kEdgesUntested) == kInsidePolygon) return false;
    return true;
}

void AddCapOutlines(CSezione& section) {
    const double t = section.minLength;
    std::vector<std::pair<double, const OutlinePolygon*>> caps;
    for (const OutlinePolygon* cap = section.capOutlines; cap; cap = cap->next)
        caps.push_back({std::fabs(RingSignedArea2(cap->ring)), cap});
    std::stable_sort(caps.begin(), caps.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    DropOutlinesCapsOutgrow(section, caps);
    // The largest first, each only where no outline holds it yet: a wall's
    // cut found whole and in the pieces of its faces' pairs is hatched once.
    for (const auto& [area, cap] : caps) {
        if (HeldBy(cap->ring, section.wallOutlines, t)) continue;
        OutlinePolygon* copy = NewOutlinePolygon(CopyVertexList(cap->ring));
        copy->next = section.wallOutlines;
        section.wallOutlines = copy;
    }
}

void ClearShadowsInCaps(CSezione& section) {
    ClearShadowsInOutlines(section.shadeOutlines, section.capOutlines);
}
