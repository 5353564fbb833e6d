// Points, angles, segments and arcs. Each function follows its rule literally
// (strict versus inclusive comparisons matter to the callers that chain
// them); the host's plan primitives (polar point, angle, distance, line
// intersection) are reproduced here so the toolkit needs no drawing.
#include "core/geometry/geom_basic.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "core/base/module_state.h"

namespace {

bool PlanLineIntersection(const Point3& a, const Point3& b, const Point3& c, const Point3& d, bool segments,
                          const ZcGeTol& tol, Point3& out);
bool HostLineIntersection(const Point3& a, const Point3& b, const Point3& c, const Point3& d, Point3& out);
Point3 Cross(const Point3& u, const Point3& w);
double Dot(const Point3& u, const Point3& w);
void OcsAxes(const Point3& normal, Point3& ax, Point3& ay, Point3& az);

}  // namespace

// ---- host plan primitives ----

Point3 PolarPoint(const Point3& base, double angle, double distance) {
    return {base.x + distance * std::cos(angle), base.y + distance * std::sin(angle), base.z};
}

double AngleTo(const Point3& from, const Point3& to) {
    const double dy = to.y - from.y, dx = to.x - from.x;
    return AngleOfVector(dy, dx);
}

double HostDistance(const Point3& p, const Point3& q) {
    return Distance3dRev(p, q);
}

double TwoPi() {
    return std::numbers::pi + std::numbers::pi;
}

// ---- angles and scalars ----

bool IsEqualTol(double a, double b, double tol) {
    return std::fabs(a - b) < tol;
}

double AngleOfVector(const double& dy, const double& dx) {
    double a = std::atan2(dy, dx);
    if (a < 0.0) a += TwoPi();
    return a;
}

bool SameAngle(double a, double b) {
    return std::fabs(std::cos(a) - std::cos(b)) <= SharedTolerance &&
           std::fabs(std::sin(a) - std::sin(b)) <= SharedTolerance;
}

double AngleDiffCcw(double a, double b) {
    const double twoPi = TwoPi();
    if (a > twoPi) a -= twoPi;
    if (a < 0.0) a += twoPi;
    if (b > twoPi) b -= twoPi;
    if (b < 0.0) b += twoPi;
    if (std::fabs(b - a) < SharedTolerance) return 0.0;
    double r = b <= a ? b - a + twoPi : b - a;
    if (r > twoPi) r -= twoPi;
    return r;
}

double AngleBetweenLines(const Point3& p1, const Point3& p2, const Point3& p3, const Point3& p4) {
    return AngleBetweenDirections(AngleTo(p1, p2), AngleTo(p3, p4));
}

double AngleBetweenDirections(double a1, double a2) {
    return a1 <= a2 ? a2 - a1 : a2 - a1 + TwoPi();
}

double PerpendicularAngleTowards(const Point3& p, double angle, const Point3& ref) {
    const double right = std::numbers::pi * 0.5;
    const Point3 q1 = PolarPoint(p, angle + right, 1.0);
    const Point3 q2 = PolarPoint(p, angle - right, 1.0);
    return HostDistance(q2, ref) <= HostDistance(q1, ref) ? angle - right : angle + right;
}

double SlopeLength(double length, double slopeDegrees) {
    return length / std::cos(std::numbers::pi * slopeDegrees / 180.0);
}

// ---- points ----

void CopyPoint(Point3& destination, const Point3& source) {
    destination = source;
}

void CopyPoints(const Point3* source, Point3* destination, int n) {
    for (int i = 0; i < n; ++i) destination[i] = source[i];
}

void SwapPoints(Point3& p, Point3& q) {
    std::swap(p, q);
}

void MidPoint(const Point3& p, const Point3& q, Point3& out) {
    out = {(p.x + q.x) * 0.5, (p.y + q.y) * 0.5, (p.z + q.z) * 0.5};
}

void NearerPoint(const Point3& ref, const Point3& p, const Point3& q, Point3& out) {
    out = HostDistance(ref, p) < HostDistance(ref, q) ? p : q;
}

void FartherPoint(const Point3& ref, const Point3& p, const Point3& q, Point3& out) {
    out = HostDistance(ref, p) > HostDistance(ref, q) ? p : q;
}

double Distance2d(const Point3& p, const Point3& q) {
    const double dx = q.x - p.x, dy = q.y - p.y;
    return std::sqrt(dx * dx + dy * dy);
}

double PlanDistanceToSegment(const Point3& p, const Point3& a, const Point3& b) {
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    const double u = len2 > 0.0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(a.x + u * dx - p.x, a.y + u * dy - p.y);
}

double Distance2dRev(const Point3& p, const Point3& q) {
    return Distance2d(q, p);
}

double Distance3dRev(const Point3& p, const Point3& q) {
    const double dx = q.x - p.x, dy = q.y - p.y, dz = q.z - p.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

bool PointsEqual(const Point3& p, const Point3& q, bool withZ) {
    const double tol = SharedTolerance;
    if (std::fabs(p.x - q.x) > tol || std::fabs(p.y - q.y) > tol) return false;
    return !withZ || std::fabs(p.z - q.z) <= tol;
}

void RotateOffset(const Point3& base, double angle, const Point3& offset, Point3& out) {
    const double c = std::cos(angle), s = std::sin(angle);
    out = {base.x + c * offset.x - s * offset.y, base.y + s * offset.x + c * offset.y, offset.z};
}

void PerpendicularPoint(const Point3& a, const Point3& b, const Point3& p, double d, Point3 out[2]) {
    const double theta = AngleTo(a, b), right = std::numbers::pi * 0.5;
    out[0] = PolarPoint(p, theta - right, d);
    out[1] = PolarPoint(p, theta + right, d);
}

void PerpendicularFoot(const Point3& p, const Point3& a, const Point3& b, Point3& out) {
    const Point3 pp{p.x, p.y, 0.0}, aa{a.x, a.y, 0.0}, bb{b.x, b.y, 0.0};
    const double theta = AngleTo(aa, bb), right = std::numbers::pi * 0.5;
    const Point3 q1 = PolarPoint(pp, theta - right, 1.0);
    const Point3 q2 = PolarPoint(pp, theta + right, 1.0);
    Point3 x;
    if (HostLineIntersection(aa, bb, q1, q2, x)) {
        out.x = x.x;
        out.y = x.y;
    }
    out.z = p.z;
}

bool IsPolarPointAt(const Point3& base, double angle, double distance, const Point3& p) {
    return PointsEqual(PolarPoint(base, angle, distance), p, true);
}

void TranslatePoint(const Point3& v, const Point3& p, Point3& out) {
    out = {p.x + v.x, p.y + v.y, p.z + v.z};
}

// ---- collinearity and segments ----

bool ArePointsCollinear(const Point3& a, const Point3& b, const Point3& c, double tol) {
    const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    const double wx = c.x - a.x, wy = c.y - a.y, wz = c.z - a.z;
    return IsEqualTol(ux * wy, uy * wx, tol) && IsEqualTol(wz * ux, wx * uz, tol) &&
           IsEqualTol(wz * uy, wy * uz, tol);
}

bool ArePointsCollinearByValue(Point3 a, Point3 b, Point3 c, double tol) {
    return ArePointsCollinear(a, b, c, tol);
}

bool ArePointsCollinear4(const Point3& a, const Point3& b, const Point3& c, const Point3& d, double tol) {
    return ArePointsCollinear(a, b, c, tol) && ArePointsCollinear(a, b, d, tol) &&
           ArePointsCollinear(b, c, d, tol) && ArePointsCollinear(a, c, d, tol);
}

bool ArePointsCollinear4ByValue(Point3 a, Point3 b, Point3 c, Point3 d, double tol) {
    return ArePointsCollinear4(a, b, c, d, tol);
}

bool ArePointsCollinear4Plan(const Point3& a, const Point3& b, const Point3& c, const Point3& d, double tol) {
    return ArePointsCollinear4({a.x, a.y, 0.0}, {b.x, b.y, 0.0}, {c.x, c.y, 0.0}, {d.x, d.y, 0.0}, tol);
}

bool IsPointOnSegment(const Point3& p, const Point3& a, const Point3& b) {
    return std::fabs(HostDistance(a, b) - (HostDistance(a, p) + HostDistance(p, b))) <= SharedTolerance;
}

bool IsOnSegmentTol(const Point3& p, const Point3& a, const Point3& b, double tol) {
    return std::fabs(Distance2d(a, b) - (Distance2d(a, p) + Distance2d(p, b))) <= tol;
}

bool IsPointStrictlyInside(const Point3& p, const Point3& a, const Point3& b) {
    return !PointsEqual(p, a, true) && !PointsEqual(p, b, true) && IsPointOnSegment(p, a, b);
}

bool SegmentsTouchCollinear(const Point3& a, const Point3& b, const Point3& c, const Point3& d, double tol) {
    return ArePointsCollinear4(a, b, c, d, tol) && (PointsEqual(b, c, true) || PointsEqual(b, d, true));
}

void CollinearSegmentsExtent(const Point3& a, const Point3& b, const Point3& c, const Point3& d,
                             Point3 out[2]) {
    const Point3* pairs[5][2] = {{&a, &c}, {&a, &d}, {&b, &c}, {&b, &d}, {&c, &d}};
    Point3 first = a, second = b;
    double best = Distance3dRev(first, second);
    for (const auto& pair : pairs) {
        const double dist = Distance3dRev(*pair[0], *pair[1]);
        if (dist > best) {
            best = dist;
            first = *pair[0];
            second = *pair[1];
        }
    }
    out[0] = first;
    out[1] = second;
}

bool JoinCollinearSegments(const Point3& a, const Point3& b, Point3& c, Point3& d, double tol,
                           bool checkFold) {
    if (!ArePointsCollinear4(a, b, c, d, tol)) return false;
    const bool bIsC = PointsEqual(b, c, true), bIsD = PointsEqual(b, d, true);
    if (!bIsC && !bIsD) return false;
    if (bIsD) {
        if (checkFold && IsOnSegmentTol(c, a, b, SharedTolerance)) return false;
        std::swap(c, d);
    }
    return true;
}

bool AreSegmentsParallel(const Point3& a, const Point3& b, const Point3& c, const Point3& d) {
    const Point3 u{a.x - b.x, a.y - b.y, a.z - b.z}, w{c.x - d.x, c.y - d.y, c.z - d.z};
    const Point3 x = Cross(u, w);
    return std::fabs(x.x) < SharedTolerance && std::fabs(x.y) < SharedTolerance &&
           std::fabs(x.z) < SharedTolerance;
}

bool IntersectLines2d(const Point3& a, const Point3& b, const Point3& c, const Point3& d, Point3& out,
                      int segments, const ZcGeTol& tol) {
    return PlanLineIntersection(a, b, c, d, segments != 0, tol, out);
}

// ---- arcs and circles ----

void ArcEndPoints(const Point3& centre, double radius, double start, double end, Point3& outStart,
                  Point3& outEnd) {
    outStart = PolarPoint(centre, start, radius);
    outEnd = PolarPoint(centre, end, radius);
}

bool IsPointOnArc(const Point3& p, const ArcRecord& arc, bool checkRadius) {
    const double span = AngleDiffCcw(arc.startAngle, arc.endAngle);
    const double theta = AngleTo(arc.centre, p);
    const double gap = (span - AngleDiffCcw(arc.startAngle, theta)) - AngleDiffCcw(theta, arc.endAngle);
    if (std::fabs(gap) > SharedTolerance) return false;
    if (!checkRadius) return true;
    return std::fabs(HostDistance(p, arc.centre) - arc.radius) <= SharedTolerance;
}

bool MergeArcs(const Point3& p, const ArcRecord& arc1, const ArcRecord& arc2, ArcRecord& out) {
    out.centre = arc1.centre;
    out.radius = arc1.radius;
    out.normal = arc1.normal;
    const double d1 = AngleDiffCcw(arc1.startAngle, arc2.endAngle);
    const double d2 = AngleDiffCcw(arc2.startAngle, arc1.endAngle);
    // The longer span first: a point inside it proves the arcs overlap there.
    double firstStart = arc2.startAngle, firstEnd = arc1.endAngle;
    double otherStart = arc1.startAngle, otherEnd = arc2.endAngle;
    if (d2 < d1) {
        std::swap(firstStart, otherStart);
        std::swap(firstEnd, otherEnd);
    }
    out.startAngle = firstStart;
    out.endAngle = firstEnd;
    if (IsPointOnArc(p, out, false)) return true;
    out.startAngle = otherStart;
    out.endAngle = otherEnd;
    return false;
}

bool ArcCentreFromRise(const Point3& p1, const Point3& p2, double rise, Point3& out) {
    if (rise < GeomEpsilon || Distance3dRev(p1, p2) < GeomEpsilon) return false;
    Point3 m;
    MidPoint(p1, p2, m);
    const double right = std::numbers::pi * 0.5;
    const Point3 apex = PolarPoint(m, AngleTo(p1, p2) + right, rise);
    // Each bisector is perpendicular to its own half-chord (end point to
    // apex); two lines perpendicular to the whole chord would never meet.
    Point3 m1, m2;
    MidPoint(p1, apex, m1);
    MidPoint(p2, apex, m2);
    const Point3 q1 = PolarPoint(m1, AngleTo(p1, apex) + right, rise);
    const Point3 q2 = PolarPoint(m2, AngleTo(p2, apex) + right, rise);
    Point3 x;
    if (!HostLineIntersection(m1, q1, m2, q2, x)) return false;
    out = {x.x, x.y, m.z};
    return true;
}

bool IntersectLineCircle(const Point3& a, const Point3& b, const Point3& centre, double r, Point3& out1,
                         Point3& out2) {
    if (Distance3dRev(a, b) < SharedTolerance || r < SharedTolerance) return false;
    double dy = b.y - a.y, dx = a.x - b.x;
    if (std::fabs(dy) < SharedTolerance) dy = 0.0;
    if (std::fabs(dx) < SharedTolerance) dx = 0.0;
    out1.z = out2.z = centre.z;
    const double cx = centre.x, cy = centre.y;
    const double k = cx * cx + cy * cy - r * r;
    if (dx == 0.0) {
        const double D = 4.0 * cy * cy - 4.0 * (k + a.x * a.x - 2.0 * cx * a.x);
        if (D < 0.0) return false;
        const double s = std::sqrt(D);
        out1.x = out2.x = a.x;
        out1.y = (s + 2.0 * cy) / 2.0;
        out2.y = (2.0 * cy - s) / 2.0;
        return true;
    }
    if (dy == 0.0) {
        // A line missing the circle has no real roots: no points, not NaNs.
        const double D = 4.0 * cx * cx - 4.0 * (k + a.y * a.y - 2.0 * cy * a.y);
        if (D < 0.0) return false;
        const double s = std::sqrt(D);
        out1.y = out2.y = a.y;
        out1.x = (s + 2.0 * cx) / 2.0;
        out2.x = (2.0 * cx - s) / 2.0;
        return true;
    }
    const double m = (b.y - a.y) / (b.x - a.x);
    const double q = a.y - m * a.x;
    const double A = 1.0 + m * m;
    const double B = 2.0 * m * q - 2.0 * cx - 2.0 * m * cy;
    const double C = k + q * q - 2.0 * cy * q;
    const double D = B * B - 4.0 * A * C;
    if (D < 0.0) return false;
    const double s = std::sqrt(D);
    out1.x = (s - B) / (2.0 * A);
    out2.x = (-B - s) / (2.0 * A);
    out1.y = m * out1.x + q;
    out2.y = m * out2.x + q;
    return true;
}

// ---- object coordinate system ----

Point3 WorldToOcs(const Point3& p, const Point3& normal) {
    Point3 ax, ay, az;
    OcsAxes(normal, ax, ay, az);
    return {Dot(p, ax), Dot(p, ay), Dot(p, az)};
}

Point3 OcsToWorld(const Point3& p, const Point3& normal) {
    Point3 ax, ay, az;
    OcsAxes(normal, ax, ay, az);
    return {p.x * ax.x + p.y * ay.x + p.z * az.x, p.x * ax.y + p.y * ay.y + p.z * az.y,
            p.x * ax.z + p.y * ay.z + p.z * az.z};
}

namespace {

// Intersection of two lines in plan given by two points each; with
// `segments` the point must also lie on both segments within the tolerance.
// Lines closer to parallel than the tolerance's vector value do not meet.
bool PlanLineIntersection(const Point3& a, const Point3& b, const Point3& c, const Point3& d, bool segments,
                          const ZcGeTol& tol, Point3& out) {
    const double rx = b.x - a.x, ry = b.y - a.y;
    const double sx = d.x - c.x, sy = d.y - c.y;
    const double lr = std::hypot(rx, ry), ls = std::hypot(sx, sy);
    if (lr <= tol.equalPoint() || ls <= tol.equalPoint()) return false;
    const double den = rx * sy - ry * sx;
    if (std::fabs(den) <= tol.equalVector() * lr * ls) return false;
    const double qx = c.x - a.x, qy = c.y - a.y;
    const double t = (qx * sy - qy * sx) / den;
    const double u = (qx * ry - qy * rx) / den;
    if (segments) {
        const double et = tol.equalPoint() / lr, eu = tol.equalPoint() / ls;
        if (t < -et || t > 1.0 + et || u < -eu || u > 1.0 + eu) return false;
    }
    out.x = a.x + t * rx;
    out.y = a.y + t * ry;
    out.z = 0.0;
    return true;
}

// The intersection of two infinite lines the way the host's plain line
// intersection gives it (exact parallels only are refused).
bool HostLineIntersection(const Point3& a, const Point3& b, const Point3& c, const Point3& d, Point3& out) {
    ZcGeTol exact;
    exact.setEqualPoint(0.0);
    exact.setEqualVector(0.0);
    return PlanLineIntersection(a, b, c, d, false, exact, out);
}

Point3 Cross(const Point3& u, const Point3& w) {
    return {u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x};
}

Point3 Normalised(const Point3& v) {
    const double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (l == 0.0) return v;
    return {v.x / l, v.y / l, v.z / l};
}

double Dot(const Point3& u, const Point3& w) {
    return u.x * w.x + u.y * w.y + u.z * w.z;
}

void OcsAxes(const Point3& normal, Point3& ax, Point3& ay, Point3& az) {
    az = Normalised(normal);
    const double limit = 1.0 / 64.0;
    if (std::fabs(az.x) < limit && std::fabs(az.y) < limit)
        ax = Normalised(Cross({0.0, 1.0, 0.0}, az));
    else
        ax = Normalised(Cross({0.0, 0.0, 1.0}, az));
    ay = Normalised(Cross(az, ax));
}

}  // namespace
