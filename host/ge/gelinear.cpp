// Lines and segments: closest points by projection onto the direction,
// clamped to [0, 1] for segments; crossings of two lines by Cramer's rule,
// refused when the unit directions are parallel within the tolerance, so a
// tiny determinant never produces a far-away or NaN point.
#include "host/ge/gelinear.h"

#include <algorithm>

const ZcGeLine2d ZcGeLine2d::kXAxis{ZcGePoint2d(0, 0), ZcGeVector2d(1, 0)};
const ZcGeLine2d ZcGeLine2d::kYAxis{ZcGePoint2d(0, 0), ZcGeVector2d(0, 1)};
const ZcGeLine3d ZcGeLine3d::kXAxis{ZcGePoint3d(0, 0, 0), ZcGeVector3d(1, 0, 0)};
const ZcGeLine3d ZcGeLine3d::kYAxis{ZcGePoint3d(0, 0, 0), ZcGeVector3d(0, 1, 0)};
const ZcGeLine3d ZcGeLine3d::kZAxis{ZcGePoint3d(0, 0, 0), ZcGeVector3d(0, 0, 1)};

// ---- 2D ----

bool ZcGeLinearEnt2d::isOn(const ZcGePoint2d& p, const ZcGeTol& tol) const {
    return distanceTo(p, tol) <= tol.equalPoint();
}

double ZcGeLinearEnt2d::paramOf(const ZcGePoint2d& p) const {
    double len2 = dir_.dotProduct(dir_);
    if (len2 == 0) return 0;
    return (p - point_).dotProduct(dir_) / len2;
}

ZcGePoint2d ZcGeLinearEnt2d::closestPointTo(const ZcGePoint2d& p, const ZcGeTol&) const {
    double t = paramOf(p);
    if (bounded_) t = std::clamp(t, 0.0, 1.0);
    return evalPoint(t);
}

double ZcGeLinearEnt2d::distanceTo(const ZcGePoint2d& p, const ZcGeTol& tol) const {
    return closestPointTo(p, tol).distanceTo(p);
}

bool ZcGeLinearEnt2d::isParallelTo(const ZcGeLinearEnt2d& other, const ZcGeTol& tol) const {
    return dir_.isParallelTo(other.dir_, tol);
}

bool ZcGeLinearEnt2d::isColinearTo(const ZcGeLinearEnt2d& other, const ZcGeTol& tol) const {
    if (!isParallelTo(other, tol)) return false;
    ZcGeLine2d carrier(point_, dir_);
    return carrier.isOn(other.point_, tol) && carrier.isOn(other.point_ + other.dir_, tol);
}

bool ZcGeLinearEnt2d::intersectWith(const ZcGeLinearEnt2d& other, ZcGePoint2d& result,
                                    const ZcGeTol& tol) const {
    if (dir_.isZeroLength(tol) || other.dir_.isZeroLength(tol)) return false;
    if (isParallelTo(other, tol)) return false;
    double denom = dir_.crossProduct(other.dir_);
    if (denom == 0) return false;
    double t = (other.point_ - point_).crossProduct(other.dir_) / denom;
    ZcGePoint2d p = evalPoint(t);
    if (bounded_ && !isOn(p, tol)) return false;
    if (other.bounded_ && !other.isOn(p, tol)) return false;
    result = p;
    return true;
}

// ---- 3D ----

bool ZcGeLinearEnt3d::isOn(const ZcGePoint3d& p, const ZcGeTol& tol) const {
    return distanceTo(p, tol) <= tol.equalPoint();
}

double ZcGeLinearEnt3d::paramOf(const ZcGePoint3d& p) const {
    double len2 = dir_.lengthSqrd();
    if (len2 == 0) return 0;
    return (p - point_).dotProduct(dir_) / len2;
}

ZcGePoint3d ZcGeLinearEnt3d::closestPointTo(const ZcGePoint3d& p, const ZcGeTol&) const {
    double t = paramOf(p);
    if (bounded_) t = std::clamp(t, 0.0, 1.0);
    return evalPoint(t);
}

double ZcGeLinearEnt3d::distanceTo(const ZcGePoint3d& p, const ZcGeTol& tol) const {
    return closestPointTo(p, tol).distanceTo(p);
}

bool ZcGeLinearEnt3d::isParallelTo(const ZcGeLinearEnt3d& other, const ZcGeTol& tol) const {
    return dir_.isParallelTo(other.dir_, tol);
}

bool ZcGeLinearEnt3d::isPerpendicularTo(const ZcGeLinearEnt3d& other, const ZcGeTol& tol) const {
    if (dir_.isZeroLength(tol) || other.dir_.isZeroLength(tol)) return false;
    return dir_.isPerpendicularTo(other.dir_, tol);
}

bool ZcGeLinearEnt3d::isColinearTo(const ZcGeLinearEnt3d& other, const ZcGeTol& tol) const {
    if (!isParallelTo(other, tol)) return false;
    ZcGeLine3d carrier(point_, dir_);
    return carrier.isOn(other.point_, tol) && carrier.isOn(other.point_ + other.dir_, tol);
}

bool ZcGeLinearEnt3d::intersectWith(const ZcGeLinearEnt3d& other, ZcGePoint3d& result,
                                    const ZcGeTol& tol) const {
    if (dir_.isZeroLength(tol) || other.dir_.isZeroLength(tol)) return false;
    if (isParallelTo(other, tol)) return false;
    // Closest points of the two carrier lines (never parallel here).
    ZcGeVector3d w = point_ - other.point_;
    double a = dir_.dotProduct(dir_), b = dir_.dotProduct(other.dir_), c = other.dir_.dotProduct(other.dir_);
    double d = dir_.dotProduct(w), e = other.dir_.dotProduct(w);
    double denom = a * c - b * b;
    if (denom <= 0) return false;
    double t = (b * e - c * d) / denom;
    double s = (a * e - b * d) / denom;
    ZcGePoint3d p = evalPoint(t), q = other.evalPoint(s);
    if (!p.isEqualTo(q, tol)) return false;  // skew lines
    if (bounded_ && !isOn(p, tol)) return false;
    if (other.bounded_ && !other.isOn(p, tol)) return false;
    result = p;
    return true;
}
