// The walls crossing a newly paired wall: a weaker wall that runs through it
// is cut out of its width, a weaker wall meeting it at a corner is trimmed
// to it.
#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <utility>

#include "walls/recognition/defmuri.h"
#include "walls/recognition/segment_grid.h"

namespace {

constexpr double kNearlyParallelCos = 0.95;

double AbsCos(const WallSegment& p, const WallSegment& q) {
    const double px = p.end.x - p.start.x, py = p.end.y - p.start.y;
    const double qx = q.end.x - q.start.x, qy = q.end.y - q.start.y;
    const double n = std::hypot(px, py) * std::hypot(qx, qy);
    if (n < GeomEpsilon) return 1.0;
    return std::fabs((px * qx + py * qy) / n);
}

bool EndAt(const WallSegment& s, const Point3& x) {
    return PointsEqual(s.start, x, false) || PointsEqual(s.end, x, false);
}

bool On(const WallSegment& s, const Point3& x) {
    return IsPointOnSegment(x, s.start, s.end);
}

bool Inside(const WallSegment& s, const Point3& x) {
    return IsPointStrictlyInside(x, s.start, s.end);
}

// Moves the end of s lying at x (start first) to the target.
bool MoveEndAt(WallSegment& s, const Point3& x, const Point3& target) {
    if (PointsEqual(s.start, x, false)) {
        s.start = target;
        return true;
    }
    if (PointsEqual(s.end, x, false)) {
        s.end = target;
        return true;
    }
    return false;
}

// One face of s holds both points on its segment.
bool OneFaceHolds(const WallSegment& s, const Point3& p, const Point3& q) {
    for (const WallFace* f = s.faces; f; f = f->next)
        if (!f->isArc() && IsPointOnSegment(p, f->start, f->end) && IsPointOnSegment(q, f->start, f->end))
            return true;
    return false;
}

Point3 Nearer(const Point3& ref, const Point3& p, const Point3& q) {
    Point3 out;
    NearerPoint(ref, p, q, out);
    return out;
}

Point3 Farther(const Point3& ref, const Point3& p, const Point3& q) {
    Point3 out;
    FartherPoint(ref, p, q, out);
    return out;
}

WallSegment* Piece(const WallSegment& of) {
    WallSegment* n = NewWallSegment();
    n->faces = of.faces;
    n->typeIndex = of.typeIndex;
    n->typeName = of.typeName;
    n->rectangleId = of.rectangleId;
    n->topZ = of.topZ;
    return n;
}

// Each end of w lying at x or y moves to whichever of them lies farther
// from w's other end.
void StretchEnds(WallSegment& w, const Point3& x, const Point3& y) {
    const Point3 start = w.start, end = w.end;
    if (PointsEqual(start, x, false) || PointsEqual(start, y, false)) w.start = Farther(end, x, y);
    if (PointsEqual(end, x, false) || PointsEqual(end, y, false)) w.end = Farther(start, x, y);
}

// The crossing of S (and its partner) with the pair A-B; true when A or B
// moved.
bool ResolveCrossing(DEFMURI& set, WallSegment& S, WallSegment& A, WallSegment& B) {
    if (S.typeIndex > A.typeIndex) return false;
    if (AbsCos(S, A) > kNearlyParallelCos || AbsCos(S, B) > kNearlyParallelCos) return false;
    WallSegment* partner = FindSegmentPartner(&set, &S);
    if (!partner) return false;
    WallSegment& P = *partner;
    Point3 x1, x2, x3, x4;
    if (!IntersectSegments(A.start, A.end, S.start, S.end, false, x1) ||
        !IntersectSegments(A.start, A.end, P.start, P.end, false, x2) ||
        !IntersectSegments(B.start, B.end, S.start, S.end, false, x3) ||
        !IntersectSegments(B.start, B.end, P.start, P.end, false, x4))
        return false;
    // The pair already butts against that wall.
    if (EndAt(A, x1) && EndAt(B, x3) && OneFaceHolds(S, x1, x3)) return false;
    if (EndAt(A, x2) && EndAt(B, x4) && OneFaceHolds(P, x2, x4)) return false;
    const bool sameType = S.typeIndex == A.typeIndex;
    if (sameType && (EndAt(A, x1) || EndAt(A, x2) || EndAt(B, x3) || EndAt(B, x4))) return false;

    if (Inside(S, x1) && Inside(S, x3) && Inside(P, x2) && Inside(P, x4) &&
        ((On(A, x1) && On(B, x3)) || (On(A, x2) && On(B, x4)))) {
        WallSegment* n1 = Piece(S);
        WallSegment* n2 = Piece(P);
        n1->end = S.end;
        n2->end = P.end;
        S.end = Nearer(S.start, x1, x3);
        P.end = Nearer(P.start, x2, x4);
        n1->start = Nearer(n1->end, x1, x3);
        n2->start = Nearer(n2->end, x2, x4);
        set.SegmentMoved(&S);
        set.SegmentMoved(&P);
        set.PushSegment(n1);
        set.PushSegment(n2);
        StretchEnds(A, x1, x2);
        StretchEnds(B, x3, x4);
        return true;
    }
    if (sameType) return false;

    bool moved = false, sMoved = false, pMoved = false;
    if (!(EndAt(S, x1) && EndAt(A, x1)) || !(EndAt(P, x4) && EndAt(B, x4))) {
        if (EndAt(P, x2) && EndAt(A, x2) && EndAt(S, x3) && EndAt(B, x3)) {
            if (Inside(P, x4)) {
                pMoved |= MoveEndAt(P, x2, x4);
                moved |= MoveEndAt(B, x3, x4);
            }
            if (Inside(S, x1)) {
                sMoved |= MoveEndAt(S, x3, x1);
                moved |= MoveEndAt(A, x2, x1);
            }
        }
    } else {
        if (Inside(S, x3)) {
            sMoved |= MoveEndAt(S, x1, x3);
            moved |= MoveEndAt(B, x4, x3);
        }
        if (Inside(P, x2)) {
            pMoved |= MoveEndAt(P, x4, x2);
            moved |= MoveEndAt(A, x1, x2);
        }
    }
    if (sMoved) set.SegmentMoved(&S);
    if (pMoved) set.SegmentMoved(&P);
    return moved;
}

// The segments that a crossing with A-B can touch: those near the pair. A
// segment acts only where it, or its partner, crosses or ends on the pair;
// a partner lies within the wall distance of it and neither runs within
// 18 degrees of the pair, so the segment itself then passes within 3.2 wall
// distances of the pair, inside the margin. Its partner's neighbours need
// not be asked: along a long wall they are the whole wall.
void AddCandidates(const DEFMURI& set, const WallSegment& A, const WallSegment& B, std::int64_t after,
                   std::set<std::pair<std::int64_t, WallSegment*>>& out) {
    const double margin = 4.0 * set.wallDistance + 1.0;
    WallSegment box;
    box.start = {std::min({A.start.x, A.end.x, B.start.x, B.end.x}),
                 std::min({A.start.y, A.end.y, B.start.y, B.end.y}), 0.0};
    box.end = {std::max({A.start.x, A.end.x, B.start.x, B.end.x}),
               std::max({A.start.y, A.end.y, B.start.y, B.end.y}), 0.0};
    for (WallSegment* near : set.grid()->Near(box, margin))
        if (near->order > after) out.insert({near->order, near});
}

}  // namespace

void SplitOverlappingSegments(DEFMURI* set) {
    if (!set->pairs) return;
    WallSegment& A = *set->pairs->a;
    WallSegment& B = *set->pairs->b;
    if (!set->grid()) {
        for (WallSegment* s = set->segments; s; s = s->next) ResolveCrossing(*set, *s, A, B);
        return;
    }
    // The walk in chain order over the segments near the pair; when the
    // pair grows, what came near it joins the rest of the walk.
    std::set<std::pair<std::int64_t, WallSegment*>> todo;
    AddCandidates(*set, A, B, std::numeric_limits<std::int64_t>::min(), todo);
    while (!todo.empty()) {
        auto [order, s] = *todo.begin();
        todo.erase(todo.begin());
        if (ResolveCrossing(*set, *s, A, B)) AddCandidates(*set, A, B, order, todo);
    }
}
