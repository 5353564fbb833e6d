// Arcs: a line meets a circle where the foot of the centre on the line
// splits a chord of half-length sqrt(r^2 - h^2); two circles meet on their
// radical line at distance (d^2 + r1^2 - r2^2) / 2d from the first centre.
// Tangency is decided on the distances (h against r, d against r1 +/- r2)
// with equalPoint before any square root, so a slightly negative
// discriminant never becomes a NaN point. 3D arcs work in their own plane.
#include "host/ge/gearc.h"

#include <numbers>

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// Angle brought into [0, 2pi).
double wrapAngle(double a) {
    a = std::fmod(a, kTwoPi);
    if (a < 0) a += kTwoPi;
    if (a >= kTwoPi) a = 0;
    return a;
}

// Keeps the candidates that lie on both curves, in order, and counts them.
template <class Point, class Keep>
bool keepPoints(const Point* cand, int count, Keep keep, int& numInt, Point& p1, Point& p2) {
    numInt = 0;
    for (int i = 0; i < count; ++i) {
        if (!keep(cand[i])) continue;
        (numInt == 0 ? p1 : p2) = cand[i];
        ++numInt;
    }
    return numInt > 0;
}

}  // namespace

// ---- 2D ----

ZcGeCircArc2d::ZcGeCircArc2d() : sweep_(kTwoPi) {}

ZcGeCircArc2d::ZcGeCircArc2d(const ZcGePoint2d& center, double radius)
    : center_(center), radius_(std::fabs(radius)), sweep_(kTwoPi) {}

ZcGeCircArc2d::ZcGeCircArc2d(const ZcGePoint2d& center, double radius, double startAng, double endAng,
                             const ZcGeVector2d& refVec)
    : center_(center), radius_(std::fabs(radius)), sweep_(kTwoPi) {
    setRefVec(refVec);
    setAngles(startAng, endAng);
}

ZcGeCircArc2d& ZcGeCircArc2d::set(const ZcGePoint2d& center, double radius) {
    center_ = center;
    radius_ = std::fabs(radius);
    startAng_ = 0;
    sweep_ = kTwoPi;
    return *this;
}

ZcGeCircArc2d& ZcGeCircArc2d::setAngles(double startAng, double endAng) {
    startAng_ = startAng;
    double diff = endAng - startAng;
    if (!std::isfinite(diff) || diff >= kTwoPi || diff <= -kTwoPi) {
        sweep_ = kTwoPi;
        return *this;
    }
    double s = wrapAngle(diff);
    sweep_ = s == 0 ? kTwoPi : s;
    return *this;
}

ZcGeCircArc2d& ZcGeCircArc2d::setRefVec(const ZcGeVector2d& refVec) {
    ref_ = refVec.isZeroLength() ? ZcGeVector2d(1, 0) : refVec.normal();
    return *this;
}

bool ZcGeCircArc2d::isClosed() const {
    return sweep_ >= kTwoPi;
}

ZcGePoint2d ZcGeCircArc2d::pointAt(double angle) const {
    ZcGeVector2d v = ref_.perpVector();
    return center_ + (ref_ * std::cos(angle) + v * std::sin(angle)) * radius_;
}

bool ZcGeCircArc2d::angleInSweep(double angle, double slack) const {
    if (isClosed()) return true;
    double rel = wrapAngle(angle - startAng_);
    return rel <= sweep_ + slack || rel >= kTwoPi - slack;
}

bool ZcGeCircArc2d::isOn(const ZcGePoint2d& p, const ZcGeTol& tol) const {
    ZcGeVector2d d = p - center_;
    if (std::fabs(d.length() - radius_) > tol.equalPoint()) return false;
    if (isClosed()) return true;
    // Near an end point counts, however small the radius.
    if (p.isEqualTo(startPoint(), tol) || p.isEqualTo(endPoint(), tol)) return true;
    if (d.length() == 0) return false;
    double angle = std::atan2(d.dotProduct(ref_.perpVector()), d.dotProduct(ref_));
    return angleInSweep(angle, 0);
}

bool ZcGeCircArc2d::intersectWith(const ZcGeLinearEnt2d& line, int& numInt, ZcGePoint2d& p1, ZcGePoint2d& p2,
                                  const ZcGeTol& tol) const {
    numInt = 0;
    ZcGeVector2d dir = line.rawDirection();
    if (dir.isZeroLength(tol)) return false;
    ZcGeLine2d carrier(line.pointOnLine(), dir);
    ZcGePoint2d foot = carrier.closestPointTo(center_);
    double h = foot.distanceTo(center_);
    double eq = tol.equalPoint();
    if (h > radius_ + eq) return false;

    ZcGePoint2d cand[2];
    int count = 0;
    if (h >= radius_ - eq) {
        cand[count++] = h > 0 ? center_ + (foot - center_) * (radius_ / h) : foot;
    } else {
        double half = std::sqrt((radius_ - h) * (radius_ + h));
        ZcGeVector2d u = dir.normal();
        cand[count++] = foot - u * half;
        cand[count++] = foot + u * half;
    }
    return keepPoints(
        cand, count, [&](const ZcGePoint2d& p) { return line.isOn(p, tol) && isOn(p, tol); }, numInt, p1, p2);
}

bool ZcGeCircArc2d::intersectWith(const ZcGeCircArc2d& arc, int& numInt, ZcGePoint2d& p1, ZcGePoint2d& p2,
                                  const ZcGeTol& tol) const {
    numInt = 0;
    double eq = tol.equalPoint();
    double r1 = radius_, r2 = arc.radius_;
    ZcGeVector2d between = arc.center_ - center_;
    double d = between.length();
    if (d <= eq) return false;                      // concentric
    if (d > r1 + r2 + eq) return false;             // apart
    if (d < std::fabs(r1 - r2) - eq) return false;  // one inside the other
    ZcGeVector2d u = between / d;

    ZcGePoint2d cand[2];
    int count = 0;
    if (std::fabs(d - (r1 + r2)) <= eq) {
        cand[count++] = center_ + u * r1;  // touching from outside
    } else if (std::fabs(d - std::fabs(r1 - r2)) <= eq) {
        cand[count++] = center_ + u * (r1 >= r2 ? r1 : -r1);  // touching from inside
    } else {
        double a = (d * d + r1 * r1 - r2 * r2) / (2 * d);
        double h2 = r1 * r1 - a * a;
        ZcGePoint2d mid = center_ + u * a;
        if (h2 <= 0) {
            cand[count++] = mid;
        } else {
            double h = std::sqrt(h2);
            cand[count++] = mid - u.perpVector() * h;
            cand[count++] = mid + u.perpVector() * h;
        }
    }
    return keepPoints(
        cand, count, [&](const ZcGePoint2d& p) { return isOn(p, tol) && arc.isOn(p, tol); }, numInt, p1, p2);
}

// ---- 3D ----

ZcGeCircArc3d::ZcGeCircArc3d() {
    build({0, 0, 0}, {0, 0, 1}, {1, 0, 0}, 1, 0, kTwoPi);
}

ZcGeCircArc3d::ZcGeCircArc3d(const ZcGePoint3d& center, const ZcGeVector3d& normal, double radius) {
    set(center, normal, radius);
}

ZcGeCircArc3d::ZcGeCircArc3d(const ZcGePoint3d& center, const ZcGeVector3d& normal,
                             const ZcGeVector3d& refVec, double radius, double startAng, double endAng) {
    build(center, normal, refVec, radius, startAng, endAng);
}

ZcGeCircArc3d& ZcGeCircArc3d::set(const ZcGePoint3d& center, const ZcGeVector3d& normal, double radius) {
    ZcGeVector3d n = normal.isZeroLength() ? ZcGeVector3d::kZAxis : normal.normal();
    build(center, n, n.perpVector(), radius, 0, kTwoPi);
    return *this;
}

ZcGeCircArc3d& ZcGeCircArc3d::set(const ZcGePoint3d& center, const ZcGeVector3d& normal,
                                  const ZcGeVector3d& refVec, double radius, double startAng, double endAng) {
    build(center, normal, refVec, radius, startAng, endAng);
    return *this;
}

void ZcGeCircArc3d::build(const ZcGePoint3d& center, const ZcGeVector3d& normal, const ZcGeVector3d& refVec,
                          double radius, double startAng, double endAng) {
    center_ = center;
    normal_ = normal.isZeroLength() ? ZcGeVector3d::kZAxis : normal.normal();
    // The reference vector is kept in the plane of the arc.
    ZcGeVector3d ref = refVec - normal_ * refVec.dotProduct(normal_);
    ref_ = ref.isZeroLength() ? normal_.perpVector() : ref.normal();
    yAxis_ = normal_.crossProduct(ref_).normal();
    flat_ = ZcGeCircArc2d(ZcGePoint2d(0, 0), radius, startAng, endAng);
}

ZcGePoint2d ZcGeCircArc3d::toPlane(const ZcGePoint3d& p) const {
    ZcGeVector3d d = p - center_;
    return {d.dotProduct(ref_), d.dotProduct(yAxis_)};
}

ZcGePoint3d ZcGeCircArc3d::toWorld(const ZcGePoint2d& p) const {
    return center_ + ref_ * p.x + yAxis_ * p.y;
}

bool ZcGeCircArc3d::isOn(const ZcGePoint3d& p, const ZcGeTol& tol) const {
    double off = (p - center_).dotProduct(normal_);
    if (std::fabs(off) > tol.equalPoint()) return false;
    ZcGePoint2d q = toPlane(p);
    if (!flat_.isOn(q, tol)) return false;
    double radial = q.asVector().length() - flat_.radius();
    return std::sqrt(off * off + radial * radial) <= tol.equalPoint() || p.isEqualTo(startPoint(), tol) ||
           p.isEqualTo(endPoint(), tol);
}

bool ZcGeCircArc3d::intersectWith(const ZcGeLinearEnt3d& line, int& numInt, ZcGePoint3d& p1, ZcGePoint3d& p2,
                                  const ZcGeTol& tol) const {
    numInt = 0;
    ZcGeVector3d dir = line.rawDirection();
    if (dir.isZeroLength(tol)) return false;
    ZcGePlane own(center_, normal_);
    if (own.isParallelTo(line, tol)) {
        if (!own.isOn(line.pointOnLine(), tol)) return false;
        // The line lies in the arc's plane: solve in 2D.
        ZcGePoint2d a = toPlane(line.pointOnLine()), b = toPlane(line.pointOnLine() + dir);
        ZcGePoint2d q1, q2;
        bool hit = line.isBounded() ? flat_.intersectWith(ZcGeLineSeg2d(a, b), numInt, q1, q2, tol)
                                    : flat_.intersectWith(ZcGeLine2d(a, b), numInt, q1, q2, tol);
        if (numInt > 0) p1 = toWorld(q1);
        if (numInt > 1) p2 = toWorld(q2);
        return hit;
    }
    ZcGePoint3d cross;
    if (!own.intersectWith(line, cross, tol) || !isOn(cross, tol)) return false;
    numInt = 1;
    p1 = cross;
    return true;
}

bool ZcGeCircArc3d::intersectWith(const ZcGeCircArc3d& arc, int& numInt, ZcGePoint3d& p1, ZcGePoint3d& p2,
                                  const ZcGeTol& tol) const {
    numInt = 0;
    ZcGePlane own(center_, normal_), other(arc.center_, arc.normal_);
    if (own.isCoplanarTo(other, tol)) {
        // Express the other arc in this arc's frame; an opposite normal
        // turns its counter-clockwise sweep around.
        ZcGePoint2d c = toPlane(arc.center_);
        ZcGeVector2d ref(arc.ref_.dotProduct(ref_), arc.ref_.dotProduct(yAxis_));
        bool same = arc.normal_.dotProduct(normal_) > 0;
        ZcGeCircArc2d flatOther = same ? ZcGeCircArc2d(c, arc.radius(), arc.startAng(), arc.endAng(), ref)
                                       : ZcGeCircArc2d(c, arc.radius(), -arc.endAng(), -arc.startAng(), ref);
        if (arc.isClosed()) flatOther = ZcGeCircArc2d(c, arc.radius());
        ZcGePoint2d q1, q2;
        bool hit = flat_.intersectWith(flatOther, numInt, q1, q2, tol);
        if (numInt > 0) p1 = toWorld(q1);
        if (numInt > 1) p2 = toWorld(q2);
        return hit;
    }
    ZcGeLine3d common;
    if (!own.intersectWith(other, common, tol)) return false;  // parallel planes
    ZcGePoint3d cand[2];
    int count = 0;
    intersectWith(common, count, cand[0], cand[1], tol);
    return keepPoints(
        cand, count, [&](const ZcGePoint3d& p) { return arc.isOn(p, tol); }, numInt, p1, p2);
}
