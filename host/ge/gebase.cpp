#include "host/ge/gebase.h"

#include <numbers>

ZcGeTol ZcGeContext::gTol;

const ZcGeVector2d ZcGeVector2d::kXAxis{1, 0};
const ZcGeVector2d ZcGeVector2d::kYAxis{0, 1};
const ZcGePoint2d ZcGePoint2d::kOrigin{0, 0};
const ZcGeVector3d ZcGeVector3d::kXAxis{1, 0, 0};
const ZcGeVector3d ZcGeVector3d::kYAxis{0, 1, 0};
const ZcGeVector3d ZcGeVector3d::kZAxis{0, 0, 1};
const ZcGeVector3d ZcGeVector3d::kIdentity{0, 0, 0};
const ZcGePoint3d ZcGePoint3d::kOrigin{0, 0, 0};

double ZcGeVector2d::angle() const {
    double a = std::atan2(y, x);
    return a < 0 ? a + 2 * std::numbers::pi : a;
}

ZcGeVector2d ZcGeVector2d::normal(const ZcGeTol& tol) const {
    ZcGeVector2d v = *this;
    return v.normalize(tol);
}

ZcGeVector2d& ZcGeVector2d::normalize(const ZcGeTol& tol) {
    double len = length();
    if (len > tol.equalVector()) {
        x /= len;
        y /= len;
    }
    return *this;
}

bool ZcGeVector2d::isEqualTo(const ZcGeVector2d& v, const ZcGeTol& tol) const {
    return (*this - v).length() <= tol.equalVector();
}

bool ZcGeVector2d::isParallelTo(const ZcGeVector2d& v, const ZcGeTol& tol) const {
    ZcGeVector2d a = normal(tol), b = v.normal(tol);
    return std::fabs(a.crossProduct(b)) <= tol.equalVector();
}

ZcGeVector3d ZcGeVector3d::normal(const ZcGeTol& tol) const {
    ZcGeVector3d v = *this;
    return v.normalize(tol);
}

ZcGeVector3d& ZcGeVector3d::normalize(const ZcGeTol& tol) {
    double len = length();
    if (len > tol.equalVector()) {
        x /= len;
        y /= len;
        z /= len;
    }
    return *this;
}

ZcGeVector3d ZcGeVector3d::perpVector() const {
    // The arbitrary-axis rule of drawing files: stable for a given vector.
    ZcGeVector3d n = normal();
    if (std::fabs(n.x) < 1.0 / 64 && std::fabs(n.y) < 1.0 / 64) return kYAxis.crossProduct(n).normal();
    return kZAxis.crossProduct(n).normal();
}

double ZcGeVector3d::angleTo(const ZcGeVector3d& v) const {
    double la = length(), lb = v.length();
    if (la == 0 || lb == 0) return 0;
    double c = dotProduct(v) / (la * lb);
    if (c > 1) c = 1;
    if (c < -1) c = -1;
    return std::acos(c);
}

double ZcGeVector3d::angleTo(const ZcGeVector3d& v, const ZcGeVector3d& reference) const {
    double a = angleTo(v);
    if (crossProduct(v).dotProduct(reference) < 0) a = 2 * std::numbers::pi - a;
    return a;
}

bool ZcGeVector3d::isEqualTo(const ZcGeVector3d& v, const ZcGeTol& tol) const {
    return (*this - v).length() <= tol.equalVector();
}

bool ZcGeVector3d::isParallelTo(const ZcGeVector3d& v, const ZcGeTol& tol) const {
    ZcGeVector3d a = normal(tol), b = v.normal(tol);
    return a.crossProduct(b).length() <= tol.equalVector();
}

bool ZcGeVector3d::isCodirectionalTo(const ZcGeVector3d& v, const ZcGeTol& tol) const {
    return (normal(tol) - v.normal(tol)).length() <= tol.equalVector();
}

bool ZcGeVector3d::isPerpendicularTo(const ZcGeVector3d& v, const ZcGeTol& tol) const {
    return std::fabs(normal(tol).dotProduct(v.normal(tol))) <= tol.equalVector();
}
