// Wall segment geometry (see the header).
//
// A straight face is the axis moved sideways by the thickness it takes at
// each end, so a wall whose start and end thickness differ tapers. An arc
// keeps its axis circle's centre; its faces are concentric circles, face 1
// the outer one when the arc turns counter-clockwise (the right of travel
// is then outside). Joins work on infinite lines and whole circles, as a
// mitre must reach past the ends it replaces.
#include "walls/drawing/wall_segment.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/base/module_state.h"

namespace {

double halfPi() {
    return std::numbers::pi * 0.5;
}

double normalised(double angle) {
    const double full = TwoPi();
    angle = std::fmod(angle, full);
    return angle < 0.0 ? angle + full : angle;
}

const Point3& nearerTo(const Point3& ref, const Point3& a, const Point3& b) {
    return Distance2d(ref, a) <= Distance2d(ref, b) ? a : b;
}

void joinStraightStraight(DrawnFace& prev, DrawnFace& cur) {
    Point3 x;
    if (IntersectLines2d(prev.start, prev.end, cur.start, cur.end, x, 0, ModuleGeomTol)) {
        x.z = cur.start.z;
        prev.end = x;
        cur.start = x;
    } else {
        cur.start = prev.end;
    }
}

void joinStraightArc(DrawnFace& prev, DrawnFace& cur) {
    Point3 a, b;
    if (!IntersectLineCircle(prev.start, prev.end, cur.centre, cur.radius, a, b)) return;
    // The corner is the crossing at the wall's vertex, not the one back
    // along the straight face (an arc flatter than a half circle crosses it
    // twice).
    const Point3 x = nearerTo(prev.end, a, b);
    prev.end = {x.x, x.y, prev.end.z};
    cur.startAngle = AngleTo(cur.centre, x);
}

void joinArcStraight(DrawnFace& prev, DrawnFace& cur, const Point3& vertex) {
    Point3 a, b;
    if (!IntersectLineCircle(cur.start, cur.end, prev.centre, prev.radius, a, b)) return;
    const Point3 x = nearerTo(vertex, a, b);
    cur.start = {x.x, x.y, cur.start.z};
    prev.endAngle = AngleTo(prev.centre, x);
}

}  // namespace

void OffsetLineSegment(DrawnSegment& s, const Point3& end, WallAlignment alignment) {
    const Point3 p = s.vertex;
    const Point3 q{end.x, end.y, p.z};
    const double a = AngleTo(p, q);
    const double right = a - halfPi(), left = a + halfPi();
    const double ts = s.startThickness, te = s.endThickness;
    DrawnFace& f1 = s.face[0];
    DrawnFace& f2 = s.face[1];
    switch (alignment) {
        case WallAlignment::Left:
            f1.start = PolarPoint(p, right, ts);
            f1.end = PolarPoint(q, right, te);
            f2.start = p;
            f2.end = q;
            break;
        case WallAlignment::Centre:
            f1.start = PolarPoint(p, right, ts * 0.5);
            f1.end = PolarPoint(q, right, te * 0.5);
            f2.start = PolarPoint(p, left, ts * 0.5);
            f2.end = PolarPoint(q, left, te * 0.5);
            break;
        case WallAlignment::Right:
            f1.start = p;
            f1.end = q;
            f2.start = PolarPoint(p, left, ts);
            f2.end = PolarPoint(q, left, te);
            break;
    }
}

void OffsetArcSegment(DrawnSegment& s, const Point3& centre, const Point3& start, const Point3& end,
                      WallAlignment alignment) {
    const double r = Distance2d(centre, start);
    const double t = s.startThickness;
    // Outward is the right of travel for a counter-clockwise arc.
    const double out = s.ccw ? 1.0 : -1.0;
    double r1 = r, r2 = r;
    switch (alignment) {
        case WallAlignment::Left:
            r1 = r + out * t;
            break;
        case WallAlignment::Centre:
            r1 = r + out * t * 0.5;
            r2 = r - out * t * 0.5;
            break;
        case WallAlignment::Right:
            r2 = r - out * t;
            break;
    }
    const Point3 c{centre.x, centre.y, s.vertex.z};
    const double a0 = AngleTo(c, start), a1 = AngleTo(c, end);
    s.face[0].radius = r1;
    s.face[1].radius = r2;
    for (DrawnFace& f : s.face) {
        f.centre = c;
        f.startAngle = a0;
        f.endAngle = a1;
    }
}

void JoinWallSegments(DrawnSegment& prev, DrawnSegment& cur) {
    for (int i = 0; i < 2; ++i) {
        DrawnFace& p = prev.face[i];
        DrawnFace& c = cur.face[i];
        if (prev.kind == DrawnSegment::kStraight && cur.kind == DrawnSegment::kStraight)
            joinStraightStraight(p, c);
        else if (prev.kind == DrawnSegment::kStraight)
            joinStraightArc(p, c);
        else if (cur.kind == DrawnSegment::kStraight)
            joinArcStraight(p, c, cur.vertex);
    }
}

Point3 FaceStartPoint(const DrawnSegment& s, int face) {
    const DrawnFace& f = s.face[face];
    return s.kind == DrawnSegment::kStraight ? f.start : PolarPoint(f.centre, f.startAngle, f.radius);
}

Point3 FaceEndPoint(const DrawnSegment& s, int face) {
    const DrawnFace& f = s.face[face];
    return s.kind == DrawnSegment::kStraight ? f.end : PolarPoint(f.centre, f.endAngle, f.radius);
}

ArcRecord FaceArcRecord(const DrawnSegment& s, int face) {
    const DrawnFace& f = s.face[face];
    ArcRecord arc;
    arc.centre = f.centre;
    arc.radius = f.radius;
    arc.startAngle = normalised(s.ccw ? f.startAngle : f.endAngle);
    arc.endAngle = normalised(s.ccw ? f.endAngle : f.startAngle);
    return arc;
}

std::optional<Point3> ArcCentreForSegment(const Point3& start, const Point3& end, double rise, bool ccw) {
    // The arc's middle lies on the right of the chord when it turns
    // counter-clockwise; the kernel puts it on the left of its first point's
    // chord, so the ends are given the other way round.
    Point3 centre;
    const bool ok =
        ccw ? ArcCentreFromRise(end, start, rise, centre) : ArcCentreFromRise(start, end, rise, centre);
    if (!ok) return std::nullopt;
    centre.z = start.z;
    return centre;
}

std::optional<Point3> TriangleVertex(const Point3& vertex, const Point3& diagonalEnd, double length,
                                     const Point3& cursor) {
    const double b = Distance2d(vertex, diagonalEnd);
    const double d = Distance2d(diagonalEnd, cursor);
    const double L = length;
    for (double side : {b, d, L + b - d, L - b + d, b - L + d})
        if (!(side >= GeomEpsilon)) return std::nullopt;
    const double cosine = std::clamp((L * L + b * b - d * d) / (2.0 * L * b), -1.0, 1.0);
    const double alpha = std::acos(cosine);
    const double diagonal = AngleTo(vertex, diagonalEnd);
    const double towardsCursor = AngleTo(vertex, cursor);
    const double angle = std::sin(diagonal - towardsCursor) >= 0.0 ? diagonal - alpha : diagonal + alpha;
    return PolarPoint(vertex, angle, L);
}
