// Which hole outline of an object belongs to a wall face, and how much of an
// opening a stretch of wall holds. Both read the jamb polylines: face A is
// where both jambs start, face B where both end; a corner object's two
// corner points close its gaps on the two walls of the corner.
#include <algorithm>

#include "core/base/module_state.h"
#include "walls/graph/outline_kind.h"
#include "walls/graph/outline_polygons.h"

namespace {

const VertexNode* LastVertex(const VertexNode* list) {
    if (!list) return nullptr;
    while (list->next) list = list->next;
    return list;
}

bool RunsAlong(const Point3& segStart, const Point3& segEnd, const Point3& p, const Point3& q) {
    return ArePointsCollinear4Plan(segStart, segEnd, p, q, SharedTolerance);
}

bool OnSegment(const Point3& p, const Point3& segStart, const Point3& segEnd) {
    return IsOnSegmentTol(p, segStart, segEnd, SharedTolerance);
}

// The share of the gap p-q that the segment holds.
double GapCoverage(const Point3& p, const Point3& q, const Point3& segStart, const Point3& segEnd) {
    const double length = Distance2d(p, q);
    const bool pOn = OnSegment(p, segStart, segEnd), qOn = OnSegment(q, segStart, segEnd);
    if (pOn && qOn) return 1.0;
    if (!pOn && !qOn) return 0.0;
    if (length <= SharedTolerance) return 1.0;
    // The gap runs past the segment's end nearer to the point off it; what
    // hangs over is the distance from that point to that end.
    const Point3& off = pOn ? q : p;
    const double overhang = std::min(Distance2d(off, segStart), Distance2d(off, segEnd));
    return std::clamp((length - overhang) / length, 0.0, 1.0);
}

}  // namespace

VertexNode* GetOutlineSideRing(const Point3& segStart, const Point3& segEnd, const OutlineNode* outline) {
    if (!outline || !outline->jamb1 || !outline->jamb2) return nullptr;
    const Point3 first1 = outline->jamb1->pt(), first2 = outline->jamb2->pt();
    const Point3 last1 = LastVertex(outline->jamb1)->pt(), last2 = LastVertex(outline->jamb2)->pt();
    switch (static_cast<OutlineKind>(outline->kind)) {
        case OutlineKind::StraightWallOpening:
            return RunsAlong(segStart, segEnd, last1, last2) ? outline->cut3DExt1 : outline->cut3DInt1;
        case OutlineKind::WallCorner:
            if (RunsAlong(segStart, segEnd, last1, outline->corner[0])) return outline->cut3DExt1;
            if (RunsAlong(segStart, segEnd, outline->corner[0], last2)) return outline->cut3DExt2;
            if (RunsAlong(segStart, segEnd, first1, outline->corner[1])) return outline->cut3DInt1;
            if (RunsAlong(segStart, segEnd, outline->corner[1], first2)) return outline->cut3DInt2;
            return nullptr;
        default:
            return nullptr;
    }
}

double GetOutlineCoverage(const OutlineNode* outline, const Point3& segStart, const Point3& segEnd) {
    if (!outline) return 0.0;
    if (outline->kind == OutlineKind::ArcWallOpening) return 1.0;
    if (!outline->jamb1 || !outline->jamb2) return 0.0;
    const Point3 first1 = outline->jamb1->pt(), first2 = outline->jamb2->pt();
    const Point3 last1 = LastVertex(outline->jamb1)->pt(), last2 = LastVertex(outline->jamb2)->pt();
    switch (static_cast<OutlineKind>(outline->kind)) {
        case OutlineKind::StraightWallOpening:
            if (RunsAlong(segStart, segEnd, last1, last2)) return GapCoverage(last1, last2, segStart, segEnd);
            return GapCoverage(first1, first2, segStart, segEnd);
        case OutlineKind::WallCorner: {
            const bool faceB = OnSegment(last1, segStart, segEnd) && !OnSegment(last2, segStart, segEnd);
            const bool faceA = OnSegment(first1, segStart, segEnd) && !OnSegment(first2, segStart, segEnd);
            return faceA || faceB ? 1.0 : 0.0;
        }
        default:
            return 0.0;
    }
}

int RingExtent(const VertexNode* ring, Point3& a, Point3& b) {
    if (!ring) {
        a = b = Point3{};
        return 0;
    }
    a = ring->pt();
    b = ring->next ? ring->next->pt() : a;
    for (const VertexNode* v = ring->next ? ring->next->next : nullptr; v; v = v->next) {
        const Point3 p = v->pt();
        if (Distance2d(a, b) < Distance2d(a, p) && Distance2d(b, p) < Distance2d(a, p)) b = p;
        if (Distance2d(a, b) < Distance2d(b, p) && Distance2d(a, p) < Distance2d(b, p)) a = p;
    }
    return 1;
}
