// Planes: signed distances along the unit normal; a line meets the plane
// where its signed distance vanishes; two planes meet along the cross product
// of their normals, through the point nearest the first plane's origin that
// satisfies both plane equations.
#include "host/ge/geplane.h"

const ZcGePlane ZcGePlane::kXYPlane{ZcGePoint3d(0, 0, 0), ZcGeVector3d(0, 0, 1)};
const ZcGePlane ZcGePlane::kYZPlane{ZcGePoint3d(0, 0, 0), ZcGeVector3d(1, 0, 0)};
const ZcGePlane ZcGePlane::kZXPlane{ZcGePoint3d(0, 0, 0), ZcGeVector3d(0, 1, 0)};

namespace {

// A normal shorter than this cannot be normalised meaningfully.
bool usableNormal(const ZcGeVector3d& n) {
    return n.length() > 1e-300 && std::isfinite(n.length());
}

}  // namespace

ZcGePlane::ZcGePlane() : origin_(0, 0, 0), normal_(0, 0, 1) {}
ZcGePlane::ZcGePlane(const ZcGePoint3d& origin, const ZcGeVector3d& normal) {
    set(origin, normal);
}
ZcGePlane::ZcGePlane(const ZcGePoint3d& p1, const ZcGePoint3d& p2, const ZcGePoint3d& p3) {
    set(p1, p2, p3);
}
ZcGePlane::ZcGePlane(double a, double b, double c, double d) {
    set(a, b, c, d);
}

ZcGePlane& ZcGePlane::set(const ZcGePoint3d& origin, const ZcGeVector3d& normal) {
    origin_ = origin;
    normal_ = usableNormal(normal) ? normal / normal.length() : ZcGeVector3d(0, 0, 0);
    return *this;
}

ZcGePlane& ZcGePlane::set(const ZcGePoint3d& p1, const ZcGePoint3d& p2, const ZcGePoint3d& p3) {
    ZcGeVector3d n = (p2 - p1).crossProduct(p3 - p1);
    // Collinear within the tolerance: the cross product of the unit edge
    // directions is what isParallelTo judges, so use the same test here.
    if ((p2 - p1).isZeroLength() || (p3 - p1).isZeroLength() || (p2 - p1).isParallelTo(p3 - p1))
        n = ZcGeVector3d(0, 0, 0);
    return set(p1, n);
}

ZcGePlane& ZcGePlane::set(double a, double b, double c, double d) {
    ZcGeVector3d n(a, b, c);
    double len2 = n.lengthSqrd();
    if (!usableNormal(n) || len2 == 0) {
        origin_ = ZcGePoint3d(0, 0, 0);
        normal_ = ZcGeVector3d(0, 0, 0);
        return *this;
    }
    origin_ = ZcGePoint3d::kOrigin + n * (-d / len2);
    normal_ = n / std::sqrt(len2);
    return *this;
}

void ZcGePlane::getCoefficients(double& a, double& b, double& c, double& d) const {
    a = normal_.x;
    b = normal_.y;
    c = normal_.z;
    d = -normal_.dotProduct(origin_.asVector());
}

void ZcGePlane::getCoordSystem(ZcGePoint3d& origin, ZcGeVector3d& xAxis, ZcGeVector3d& yAxis) const {
    origin = origin_;
    if (normal_.isZeroLength()) {
        xAxis = ZcGeVector3d(0, 0, 0);
        yAxis = ZcGeVector3d(0, 0, 0);
        return;
    }
    xAxis = normal_.perpVector();
    yAxis = normal_.crossProduct(xAxis).normal();
}

double ZcGePlane::signedDistanceTo(const ZcGePoint3d& p) const {
    return normal_.dotProduct(p - origin_);
}

double ZcGePlane::distanceTo(const ZcGePoint3d& p) const {
    return std::fabs(signedDistanceTo(p));
}

ZcGePoint3d ZcGePlane::closestPointTo(const ZcGePoint3d& p) const {
    return p - normal_ * signedDistanceTo(p);
}

bool ZcGePlane::isOn(const ZcGePoint3d& p, const ZcGeTol& tol) const {
    if (normal_.isZeroLength()) return false;
    return distanceTo(p) <= tol.equalPoint();
}

bool ZcGePlane::isParallelTo(const ZcGePlane& other, const ZcGeTol& tol) const {
    if (normal_.isZeroLength() || other.normal_.isZeroLength()) return false;
    return normal_.isParallelTo(other.normal_, tol);
}

bool ZcGePlane::isParallelTo(const ZcGeLinearEnt3d& line, const ZcGeTol& tol) const {
    ZcGeVector3d d = line.rawDirection();
    if (normal_.isZeroLength() || d.isZeroLength(tol)) return false;
    return normal_.isPerpendicularTo(d, tol);
}

bool ZcGePlane::isPerpendicularTo(const ZcGePlane& other, const ZcGeTol& tol) const {
    if (normal_.isZeroLength() || other.normal_.isZeroLength()) return false;
    return normal_.isPerpendicularTo(other.normal_, tol);
}

bool ZcGePlane::isPerpendicularTo(const ZcGeLinearEnt3d& line, const ZcGeTol& tol) const {
    ZcGeVector3d d = line.rawDirection();
    if (normal_.isZeroLength() || d.isZeroLength(tol)) return false;
    return normal_.isParallelTo(d, tol);
}

bool ZcGePlane::isCoplanarTo(const ZcGePlane& other, const ZcGeTol& tol) const {
    return isParallelTo(other, tol) && isOn(other.origin_, tol);
}

bool ZcGePlane::intersectWith(const ZcGeLinearEnt3d& line, ZcGePoint3d& result, const ZcGeTol& tol) const {
    if (!normal_.isZeroLength() && !line.rawDirection().isZeroLength(tol) && !isParallelTo(line, tol)) {
        ZcGeVector3d d = line.rawDirection();
        double denom = normal_.dotProduct(d);
        if (denom == 0) return false;
        double t = -signedDistanceTo(line.pointOnLine()) / denom;
        ZcGePoint3d p = line.evalPoint(t);
        if (line.isBounded() && !line.isOn(p, tol)) return false;
        result = p;
        return true;
    }
    return false;
}

bool ZcGePlane::intersectWith(const ZcGePlane& other, ZcGeLine3d& result, const ZcGeTol& tol) const {
    if (normal_.isZeroLength() || other.normal_.isZeroLength()) return false;
    if (isParallelTo(other, tol)) return false;
    ZcGeVector3d dir = normal_.crossProduct(other.normal_);
    double len2 = dir.lengthSqrd();
    if (len2 == 0) return false;
    // Point satisfying n1.x = h1 and n2.x = h2 with no component along dir.
    double h1 = normal_.dotProduct(origin_.asVector());
    double h2 = other.normal_.dotProduct(other.origin_.asVector());
    ZcGeVector3d p = (other.normal_ * h1 - normal_ * h2).crossProduct(dir) / len2;
    // Move it to the foot of this plane's origin along the line, for stability
    // of later parameters when the planes are far from the world origin.
    ZcGePoint3d base = ZcGePoint3d::kOrigin + p;
    ZcGeVector3d unit = dir / std::sqrt(len2);
    base += unit * unit.dotProduct(origin_ - base);
    result.set(base, unit);
    return true;
}
