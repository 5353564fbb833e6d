// Pairing rectangle-wall lines: the two long faces of a wall drawn as a
// rectangle become a wall pair, its two caps are dropped.
#include <cmath>

#include "host/ads/adsent.h"
#include "walls/recognition/defmuri.h"

namespace {

constexpr double kTagTolerance = 0.1;

bool TagEqual(const FaceEdge* p, const FaceEdge* q) {
    return std::fabs(p->rectangleId - q->rectangleId) <= kTagTolerance;
}

void RemoveAndFree(FaceEdge** pending, FaceEdge* e) {
    for (FaceEdge** p = pending; *p; p = &(*p)->next) {
        if (*p == e) {
            *p = e->next;
            delete e;
            return;
        }
    }
}

void SwapEnds(FaceEdge* e) {
    SwapPoints(e->start, e->end);
}

// The probe across the line through its midpoint, `distance` to each side.
void Probe(const FaceEdge* line, double distance, Point3& mid, Point3 ends[2]) {
    MidPoint(line->start, line->end, mid);
    PerpendicularPoint(line->start, line->end, mid, distance, ends);
}

// The cap at one end of the wall: a line joining lEnd (closed when it also
// reaches mEnd) or only mEnd; its ends are turned to run from lEnd to mEnd.
FaceEdge* FindCap(FaceEdge* pending, const FaceEdge* L, const FaceEdge* M, const FaceEdge* skip,
                  const Point3& lEnd, const Point3& mEnd, bool& closed) {
    for (FaceEdge* n = pending; n; n = n->next) {
        if (n == L || n == M || n == skip || !TagEqual(n, L)) continue;
        if (PointsEqual(n->end, lEnd, true)) SwapEnds(n);
        if (PointsEqual(n->start, lEnd, true)) {
            closed = PointsEqual(n->end, mEnd, true);
            return n;
        }
        if (PointsEqual(n->start, mEnd, true)) SwapEnds(n);
        if (PointsEqual(n->end, mEnd, true)) {
            closed = false;
            return n;
        }
    }
    return nullptr;
}

}  // namespace

bool IntersectSegments(const Point3& a1, const Point3& a2, const Point3& b1, const Point3& b2, bool bounded,
                       Point3& out) {
    // In plan: both at the first segment's height.
    const ads_point p1{a1.x, a1.y, a1.z}, p2{a2.x, a2.y, a1.z}, q1{b1.x, b1.y, a1.z}, q2{b2.x, b2.y, a1.z};
    ads_point r;
    if (zcdbInters(p1, p2, q1, q2, bounded ? 1 : 0, r) != RTNORM) return false;
    out = {r[0], r[1], r[2]};
    return true;
}

bool FindPartnerLine(FaceEdge** a, FaceEdge** b, FaceEdge** pending, double distance) {
    for (;;) {
        FaceEdge* L = *pending;
        if (!L) return false;
        Point3 mid, probe[2], cross;
        Probe(L, distance, mid, probe);
        FaceEdge* M = nullptr;
        for (FaceEdge* n = L->next; n; n = n->next) {
            if (TagEqual(n, L) && IntersectSegments(n->start, n->end, probe[0], probe[1], true, cross)) {
                M = n;
                break;
            }
        }
        if (!M) {
            RemoveAndFree(pending, L);
            continue;
        }
        const double d1 = Distance2d(mid, cross);
        const Point3 dl{L->end.x - L->start.x, L->end.y - L->start.y, 0.0};
        const Point3 dm{M->end.x - M->start.x, M->end.y - M->start.y, 0.0};
        if (dl.x * dm.x + dl.y * dm.y < 0.0) SwapEnds(M);

        bool endClosed = false, startClosed = false;
        FaceEdge* endCap = FindCap(*pending, L, M, nullptr, L->end, M->end, endClosed);
        FaceEdge* startCap = FindCap(*pending, L, M, endCap, L->start, M->start, startClosed);

        FaceEdge* faceA = L;
        FaceEdge* faceB = M;
        FaceEdge* cap1 = endCap;
        FaceEdge* cap2 = startCap;
        if (endCap && startCap && endClosed && startClosed) {
            // A closed rectangle read the other way: the caps may be the
            // faces when they lie nearer to each other.
            Point3 capMid, capProbe[2], capCross;
            Probe(endCap, distance, capMid, capProbe);
            if (IntersectSegments(startCap->start, startCap->end, capProbe[0], capProbe[1], true, capCross) &&
                Distance2d(capMid, capCross) < d1) {
                faceA = endCap;
                faceB = startCap;
                cap1 = L;
                cap2 = M;
            }
        }
        *a = faceA;
        *b = faceB;
        if (cap1) RemoveAndFree(pending, cap1);
        if (cap2) RemoveAndFree(pending, cap2);
        return true;
    }
}

void DEFMURI::PairWallLines(FaceEdge** pending) {
    FaceEdge* a = nullptr;
    FaceEdge* b = nullptr;
    while (*pending && FindPartnerLine(&a, &b, pending, wallDistance)) {
        WallSegment* segs[2] = {NewWallSegment(), NewWallSegment()};
        const FaceEdge* lines[2] = {a, b};
        for (int i = 0; i < 2; ++i) {
            WallSegment& s = *segs[i];
            s.typeName = lines[i]->wallTypeName;
            ApplyWallType(s);
            s.external = lines[i]->externalSide == 1;
            s.topZ = lines[i]->topZ;
            s.start = lines[i]->start;
            s.end = lines[i]->end;
            s.rectangleId = a->rectangleId;
        }
        MakeWallPair(segs[0], segs[1]);
        RemoveAndFree(pending, a);
        RemoveAndFree(pending, b);
    }
}
