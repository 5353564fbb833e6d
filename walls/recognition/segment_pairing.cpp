// Pairing the chain's segments into walls, strongest wall type first.
#include <algorithm>
#include <cmath>

#include "walls/recognition/defmuri.h"
#include "walls/recognition/segment_grid.h"

namespace {

constexpr double kLeastParallelCos = 0.93;

double Length2d(const WallSegment& s) {
    return Distance2d(s.start, s.end);
}

// The overlap of o with s, or a negative number when o does not qualify.
bool Overlap(const DEFMURI& set, const WallSegment& s, double sLength, const WallSegment& o, double sRect,
             double& overlap) {
    if (o.typeIndex != s.typeIndex || SegmentRectangleId(o) != sRect) return false;
    const double oLength = Length2d(o);
    if (oLength < GeomEpsilon) return false;
    const double cosine =
        ((s.end.x - s.start.x) * (o.end.x - o.start.x) + (s.end.y - s.start.y) * (o.end.y - o.start.y)) /
        (sLength * oLength);
    if (std::fabs(cosine) < kLeastParallelCos) return false;
    Point3 f1, f2;
    PerpendicularFoot(o.start, s.start, s.end, f1);
    PerpendicularFoot(o.end, s.start, s.end, f2);
    if (Distance2d(o.start, f1) > set.wallDistance || Distance2d(o.end, f2) > set.wallDistance) return false;
    Point3 extent[2];
    CollinearSegmentsExtent(s.start, s.end, f1, f2, extent);
    overlap = sLength + Distance2d(f1, f2) - Distance2d(extent[0], extent[1]);
    return true;
}

}  // namespace

WallSegment* FindSegmentPartner(DEFMURI* set, WallSegment* s) {
    const double sLength = Length2d(*s);
    if (sLength < GeomEpsilon) return nullptr;
    const double sRect = SegmentRectangleId(*s);
    double best = 0.0;
    WallSegment* candidate = nullptr;
    auto consider = [&](WallSegment* o) {
        double overlap = 0.0;
        if (o == s || !Overlap(*set, *s, sLength, *o, sRect, overlap)) return;
        if (overlap >= best) {
            best = overlap;
            candidate = o;
        }
    };
    if (set->grid()) {
        // Only a segment reaching into the strip around s can overlap it by
        // more than the wall distance; the grid gives them in chain order.
        for (WallSegment* o : set->grid()->Near(*s, set->wallDistance + 1.0)) consider(o);
    } else {
        for (WallSegment* o = set->segments; o; o = o->next) consider(o);
    }
    return best > set->wallDistance ? candidate : nullptr;
}

void DEFMURI::PairSegments(bool resolveCrossings) {
    if (useGrid) {
        double total = 0.0;
        int n = 0;
        std::int64_t order = 0;
        for (WallSegment* s = segments; s; s = s->next, ++n) {
            total += Length2d(*s);
            s->order = order++;
        }
        m_headOrder = 0;
        m_tailOrder = order;
        const double mean = n ? total / n : 1.0;
        m_grid = std::make_unique<SegmentGrid>(std::max({4.0 * wallDistance, mean, 1.0}));
        for (WallSegment* s = segments; s; s = s->next) m_grid->Insert(s);
        ++chainVersion;
    }
    for (std::int32_t t = maxTypeIndex; t >= 0; --t) {
        bool made = true;
        while (made) {
            made = false;
            for (WallSegment* s = segments; s; s = s->next) {
                if (s->typeIndex != t) continue;
                // Nothing entered or moved since s was last found alone:
                // taking segments out never gives it a partner.
                if (m_grid && s->partnerlessAt == chainVersion) continue;
                WallSegment* p = FindSegmentPartner(this, s);
                if (!p) {
                    s->partnerlessAt = chainVersion;
                    continue;
                }
                MakeWallPair(s, p);
                if (resolveCrossings) SplitOverlappingSegments(this);
                made = true;
                break;
            }
        }
    }
    m_grid.reset();
}
