// Segment operations of the section outlines.
#include "visual/views/segment_ops.h"

#include <cmath>

#include "core/base/module_state.h"
#include "host/ge/gelinear.h"
#include "visual/views/section_cut.h"

bool SegmentsCollinear2d(const Point3 a[2], const Point3 b[2], double tolerance) {
    ZcGeTol tol;
    tol.setEqualPoint(tolerance);
    tol.setEqualVector(tolerance);
    const ZcGeLineSeg2d first(ZcGePoint2d(a[0].x, a[0].y), ZcGePoint2d(a[1].x, a[1].y));
    const ZcGeLineSeg2d second(ZcGePoint2d(b[0].x, b[0].y), ZcGePoint2d(b[1].x, b[1].y));
    return first.isColinearTo(second, tol);
}

namespace {

// P beyond A, A between B and P with more than t on each side, on x or y.
bool Beyond(const Point3& A, const Point3& B, const Point3& P, double t) {
    if (B.x < A.x - t && A.x < P.x - t) return true;
    if (B.y < A.y - t && A.y < P.y - t) return true;
    if (P.x < A.x - t && A.x < B.x - t) return true;
    if (P.y < A.y - t && A.y < B.y - t) return true;
    return false;
}

}  // namespace

int ClassifyPointOnSegment2d(const Point3& A, const Point3& B, const Point3& P, bool collinearOnly,
                             double t) {
    const double twiceArea = A.y * (P.x - B.x) + B.y * (A.x - P.x) + P.y * (B.x - A.x);
    if (std::fabs(twiceArea) > GeomEpsilon) return 0;
    if (collinearOnly) return 1;
    if (Beyond(A, B, P, t)) return 30;
    if (Beyond(B, A, P, t)) return 10;
    return 2;
}

namespace {

bool Near2d(const Point3& p, const Point3& q, double t) {
    return std::fabs(p.x - q.x) <= t && std::fabs(p.y - q.y) <= t;
}

bool CellsMeet(const SectionSegment& a, const SectionSegment& b) {
    for (int axis = 0; axis < 2; ++axis)
        if (a.cellLow[axis] > b.cellHigh[axis] || b.cellLow[axis] > a.cellHigh[axis]) return false;
    return true;
}

}  // namespace

bool FindDuplicateSegment(const SectionSegment& query, SectionSegment* list, double t, bool useCells) {
    for (SectionSegment* s = list; s; s = s->next) {
        if (useCells && !CellsMeet(query, *s)) continue;
        const bool same = Near2d(s->start, query.start, t) && Near2d(s->end, query.end, t);
        const bool reversed = !same && Near2d(s->start, query.end, t) && Near2d(s->end, query.start, t);
        if (!same && !reversed) continue;
        const double mine = s->start.z + s->end.z;
        const double theirs = query.start.z + query.end.z;
        if (mine <= theirs && query.word >= 0) {
            if (std::fabs(mine - theirs) <= t && s->word < query.word) s->word = query.word;
        } else {
            s->start.z = reversed ? query.end.z : query.start.z;
            s->end.z = reversed ? query.start.z : query.end.z;
            s->word = query.word;
        }
        return true;
    }
    return false;
}

namespace {

bool PlanCellsMeet(const ViewSegment& a, const ViewSegment& b) {
    for (int axis = 0; axis < 2; ++axis)
        if (a.cellLow[axis] > b.cellHigh[axis] || b.cellLow[axis] > a.cellHigh[axis]) return false;
    return true;
}

}  // namespace

bool IsDuplicateSegment(const ViewSegment& query, const ViewSegment& kept, double t, bool useCells) {
    if (useCells && !PlanCellsMeet(query, kept)) return false;
    return (Near2d(kept.start, query.start, t) && Near2d(kept.end, query.end, t)) ||
           (Near2d(kept.start, query.end, t) && Near2d(kept.end, query.start, t));
}

void MergeDuplicateSegment(const ViewSegment& query, ViewSegment& kept, double t) {
    const bool reversed = !(Near2d(kept.start, query.start, t) && Near2d(kept.end, query.end, t));
    const bool keptCut = kept.colour < 0, queryCut = query.colour < 0;
    const bool queryWins =
        keptCut != queryCut ? queryCut : query.start.z + query.end.z < kept.start.z + kept.end.z;
    if (!queryWins) return;
    kept.start.z = reversed ? query.end.z : query.start.z;
    kept.end.z = reversed ? query.start.z : query.end.z;
    kept.colour = query.colour;
    kept.face = query.face;
    kept.layer = query.layer;
}

bool FindDuplicateSegment(const ViewSegment& query, ViewSegment* list, double t, bool useCells) {
    for (ViewSegment* s = list; s; s = s->next)
        if (IsDuplicateSegment(query, *s, t, useCells)) {
            MergeDuplicateSegment(query, *s, t);
            return true;
        }
    return false;
}

int OverlapOfCollinearSegments2d(const Point3& a1, const Point3& a2, const Point3& b1, const Point3& b2,
                                 Point3 out[2]) {
    const Point3* pts[4] = {&a1, &a2, &b1, &b2};
    static const int kPairs[6][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};
    int far = 0;
    double farthest = -1.0;
    for (int k = 0; k < 6; ++k) {
        const double d = Distance2dRev(*pts[kPairs[k][0]], *pts[kPairs[k][1]]);
        if (d > farthest) {
            farthest = d;
            far = k;
        }
    }
    int written = 0;
    for (int i = 0; i < 4; ++i)
        if (i != kPairs[far][0] && i != kPairs[far][1]) out[written++] = *pts[i];
    const double lengths = Distance2d(a1, a2) + Distance2d(b1, b2);
    // Segments that meet end to end add up to the span but for rounding:
    // an overlap shorter than the tolerance is a touch.
    return lengths > farthest + SharedTolerance ? 1 : 0;
}

double SegmentZAt2d(const Point3& start, const Point3& end, double x, double y) {
    const double length = std::hypot(end.x - start.x, end.y - start.y);
    if (length <= 0.0) return start.z;
    return start.z + (end.z - start.z) * std::hypot(x - start.x, y - start.y) / length;
}
