// 4x4 transforms: products, Gauss-Jordan inversion, the standard builders
// (translation, Rodrigues rotation, uniform scaling, reflections) and the
// coordinate-system matrices. Points are transformed with the projective
// row and divided by w when it is not 1, so a perspective matrix still
// behaves; vectors ignore the translation.
#include "host/ge/gematrix3d.h"

#include <algorithm>
#include <utility>

const ZcGeMatrix3d ZcGeMatrix3d::kIdentity;

namespace {
// Singularity is a ratio (pivot against the largest entry), not a length:
// the drawing's length tolerance (often 0.001) would call a unit-conversion
// scaling singular.
constexpr double kSingularRatio = 1e-12;
}  // namespace

ZcGeMatrix3d::ZcGeMatrix3d() {
    setToIdentity();
}

ZcGeMatrix3d& ZcGeMatrix3d::setToIdentity() {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) entry[r][c] = r == c ? 1.0 : 0.0;
    return *this;
}

ZcGeMatrix3d ZcGeMatrix3d::operator*(const ZcGeMatrix3d& m) const {
    ZcGeMatrix3d out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double s = 0;
            for (int k = 0; k < 4; ++k) s += entry[r][k] * m.entry[k][c];
            out.entry[r][c] = s;
        }
    return out;
}

ZcGeMatrix3d& ZcGeMatrix3d::operator*=(const ZcGeMatrix3d& m) {
    return *this = *this * m;
}
ZcGeMatrix3d& ZcGeMatrix3d::preMultBy(const ZcGeMatrix3d& left) {
    return *this = left * *this;
}
ZcGeMatrix3d& ZcGeMatrix3d::postMultBy(const ZcGeMatrix3d& right) {
    return *this = *this * right;
}
ZcGeMatrix3d& ZcGeMatrix3d::setToProduct(const ZcGeMatrix3d& a, const ZcGeMatrix3d& b) {
    return *this = a * b;
}

bool ZcGeMatrix3d::inverse(ZcGeMatrix3d& result, double tol) const {
    double a[4][8];
    double largest = 0;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) largest = std::max(largest, std::fabs(entry[r][c]));
    if (!(largest > 0) || !std::isfinite(largest)) return false;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            a[r][c] = entry[r][c];
            a[r][c + 4] = r == c ? 1.0 : 0.0;
        }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        double p = a[pivot][col];
        if (!(std::fabs(p) > tol * largest) || !std::isfinite(p)) return false;
        if (pivot != col)
            for (int c = 0; c < 8; ++c) std::swap(a[pivot][c], a[col][c]);
        for (int c = 0; c < 8; ++c) a[col][c] /= p;
        for (int r = 0; r < 4; ++r) {
            if (r == col || a[r][col] == 0) continue;
            double f = a[r][col];
            for (int c = 0; c < 8; ++c) a[r][c] -= f * a[col][c];
        }
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) result.entry[r][c] = a[r][c + 4];
    return true;
}

ZcGeMatrix3d ZcGeMatrix3d::inverse() const {
    ZcGeMatrix3d out = *this;
    out.invert();
    return out;
}

ZcGeMatrix3d& ZcGeMatrix3d::invert() {
    ZcGeMatrix3d out;
    if (inverse(out, kSingularRatio)) *this = out;
    return *this;
}

bool ZcGeMatrix3d::isSingular(const ZcGeTol& tol) const {
    ZcGeMatrix3d unused;
    return !inverse(unused, std::min(tol.equalVector(), kSingularRatio));
}

double ZcGeMatrix3d::det() const {
    // Laplace expansion along the first row of 3x3 minors.
    auto minor3 = [this](int skipCol) {
        int cols[3], n = 0;
        for (int c = 0; c < 4; ++c)
            if (c != skipCol) cols[n++] = c;
        const double(*e)[4] = entry;
        return e[1][cols[0]] * (e[2][cols[1]] * e[3][cols[2]] - e[2][cols[2]] * e[3][cols[1]]) -
               e[1][cols[1]] * (e[2][cols[0]] * e[3][cols[2]] - e[2][cols[2]] * e[3][cols[0]]) +
               e[1][cols[2]] * (e[2][cols[0]] * e[3][cols[1]] - e[2][cols[1]] * e[3][cols[0]]);
    };
    double d = 0;
    for (int c = 0; c < 4; ++c) d += (c % 2 == 0 ? 1 : -1) * entry[0][c] * minor3(c);
    return d;
}

ZcGeMatrix3d ZcGeMatrix3d::transpose() const {
    ZcGeMatrix3d out = *this;
    return out.transposeIt();
}

ZcGeMatrix3d& ZcGeMatrix3d::transposeIt() {
    for (int r = 0; r < 4; ++r)
        for (int c = r + 1; c < 4; ++c) std::swap(entry[r][c], entry[c][r]);
    return *this;
}

bool ZcGeMatrix3d::isEqualTo(const ZcGeMatrix3d& m, const ZcGeTol& tol) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (std::fabs(entry[r][c] - m.entry[r][c]) > tol.equalVector()) return false;
    return true;
}

ZcGeMatrix3d& ZcGeMatrix3d::setTranslation(const ZcGeVector3d& v) {
    entry[0][3] = v.x;
    entry[1][3] = v.y;
    entry[2][3] = v.z;
    return *this;
}

ZcGeMatrix3d& ZcGeMatrix3d::setCoordSystem(const ZcGePoint3d& origin, const ZcGeVector3d& xAxis,
                                           const ZcGeVector3d& yAxis, const ZcGeVector3d& zAxis) {
    setToIdentity();
    const ZcGeVector3d* axes[3] = {&xAxis, &yAxis, &zAxis};
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r) entry[r][c] = (*axes[c])[r];
    return setTranslation(origin.asVector());
}

void ZcGeMatrix3d::getCoordSystem(ZcGePoint3d& origin, ZcGeVector3d& xAxis, ZcGeVector3d& yAxis,
                                  ZcGeVector3d& zAxis) const {
    origin = ZcGePoint3d(entry[0][3], entry[1][3], entry[2][3]);
    xAxis = ZcGeVector3d(entry[0][0], entry[1][0], entry[2][0]);
    yAxis = ZcGeVector3d(entry[0][1], entry[1][1], entry[2][1]);
    zAxis = ZcGeVector3d(entry[0][2], entry[1][2], entry[2][2]);
}

ZcGeMatrix3d& ZcGeMatrix3d::setToTranslation(const ZcGeVector3d& v) {
    setToIdentity();
    return setTranslation(v);
}

ZcGeMatrix3d& ZcGeMatrix3d::setToRotation(double angle, const ZcGeVector3d& axis, const ZcGePoint3d& center) {
    setToIdentity();
    double len = axis.length();
    if (len == 0 || !std::isfinite(len)) return *this;  // no axis: no rotation
    ZcGeVector3d u = axis / len;
    double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    entry[0][0] = t * u.x * u.x + c;
    entry[0][1] = t * u.x * u.y - s * u.z;
    entry[0][2] = t * u.x * u.z + s * u.y;
    entry[1][0] = t * u.x * u.y + s * u.z;
    entry[1][1] = t * u.y * u.y + c;
    entry[1][2] = t * u.y * u.z - s * u.x;
    entry[2][0] = t * u.x * u.z - s * u.y;
    entry[2][1] = t * u.y * u.z + s * u.x;
    entry[2][2] = t * u.z * u.z + c;
    // Keep the centre fixed: T(c) R T(-c).
    ZcGeVector3d cv = center.asVector();
    ZcGeVector3d moved(entry[0][0] * cv.x + entry[0][1] * cv.y + entry[0][2] * cv.z,
                       entry[1][0] * cv.x + entry[1][1] * cv.y + entry[1][2] * cv.z,
                       entry[2][0] * cv.x + entry[2][1] * cv.y + entry[2][2] * cv.z);
    return setTranslation(cv - moved);
}

ZcGeMatrix3d& ZcGeMatrix3d::setToScaling(double scale, const ZcGePoint3d& center) {
    setToIdentity();
    for (int i = 0; i < 3; ++i) entry[i][i] = scale;
    return setTranslation(center.asVector() * (1 - scale));
}

ZcGeMatrix3d& ZcGeMatrix3d::setToMirroring(const ZcGePlane& plane) {
    setToIdentity();
    ZcGeVector3d n = plane.normal();
    if (n.isZeroLength()) return *this;
    // Householder reflection I - 2 n n^T about the plane through its point.
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) entry[r][c] -= 2 * n[r] * n[c];
    double h = n.dotProduct(plane.pointOnPlane().asVector());
    return setTranslation(n * (2 * h));
}

ZcGeMatrix3d& ZcGeMatrix3d::setToMirroring(const ZcGePoint3d& point) {
    return setToScaling(-1, point);
}

ZcGeMatrix3d& ZcGeMatrix3d::setToMirroring(const ZcGeLine3d& line) {
    // Half-turn about the line.
    return setToRotation(std::acos(-1.0), line.rawDirection(), line.pointOnLine());
}

ZcGeMatrix3d& ZcGeMatrix3d::setToAlignCoordSys(const ZcGePoint3d& fromOrigin, const ZcGeVector3d& fromX,
                                               const ZcGeVector3d& fromY, const ZcGeVector3d& fromZ,
                                               const ZcGePoint3d& toOrigin, const ZcGeVector3d& toX,
                                               const ZcGeVector3d& toY, const ZcGeVector3d& toZ) {
    ZcGeMatrix3d from, to, fromInv;
    from.setCoordSystem(fromOrigin, fromX, fromY, fromZ);
    to.setCoordSystem(toOrigin, toX, toY, toZ);
    if (!from.inverse(fromInv, 0)) return setToIdentity();  // degenerate source axes
    return *this = to * fromInv;
}

ZcGeMatrix3d& ZcGeMatrix3d::setToPlaneToWorld(const ZcGeVector3d& normal) {
    if (normal.isZeroLength()) return setToIdentity();
    ZcGeVector3d n = normal.normal();
    ZcGeVector3d x = n.perpVector();
    ZcGeVector3d y = n.crossProduct(x).normal();
    return setCoordSystem(ZcGePoint3d::kOrigin, x, y, n);
}

ZcGeMatrix3d& ZcGeMatrix3d::setToWorldToPlane(const ZcGeVector3d& normal) {
    // The plane axes are orthonormal: the inverse is the transpose.
    setToPlaneToWorld(normal);
    return transposeIt();
}

ZcGeMatrix3d& ZcGeMatrix3d::setToPlaneToWorld(const ZcGePlane& plane) {
    setToPlaneToWorld(plane.normal());
    return setTranslation(plane.closestPointTo(ZcGePoint3d::kOrigin).asVector());
}

ZcGeMatrix3d& ZcGeMatrix3d::setToWorldToPlane(const ZcGePlane& plane) {
    ZcGeMatrix3d toWorld;
    toWorld.setToPlaneToWorld(plane);
    if (!toWorld.inverse(*this, 0)) setToIdentity();
    return *this;
}

ZcGeMatrix3d ZcGeMatrix3d::translation(const ZcGeVector3d& v) {
    return ZcGeMatrix3d().setToTranslation(v);
}
ZcGeMatrix3d ZcGeMatrix3d::rotation(double angle, const ZcGeVector3d& axis, const ZcGePoint3d& center) {
    return ZcGeMatrix3d().setToRotation(angle, axis, center);
}
ZcGeMatrix3d ZcGeMatrix3d::scaling(double scale, const ZcGePoint3d& center) {
    return ZcGeMatrix3d().setToScaling(scale, center);
}
ZcGeMatrix3d ZcGeMatrix3d::mirroring(const ZcGePlane& plane) {
    return ZcGeMatrix3d().setToMirroring(plane);
}
ZcGeMatrix3d ZcGeMatrix3d::mirroring(const ZcGePoint3d& point) {
    return ZcGeMatrix3d().setToMirroring(point);
}
ZcGeMatrix3d ZcGeMatrix3d::mirroring(const ZcGeLine3d& line) {
    return ZcGeMatrix3d().setToMirroring(line);
}
ZcGeMatrix3d ZcGeMatrix3d::alignCoordSys(const ZcGePoint3d& fromOrigin, const ZcGeVector3d& fromX,
                                         const ZcGeVector3d& fromY, const ZcGeVector3d& fromZ,
                                         const ZcGePoint3d& toOrigin, const ZcGeVector3d& toX,
                                         const ZcGeVector3d& toY, const ZcGeVector3d& toZ) {
    return ZcGeMatrix3d().setToAlignCoordSys(fromOrigin, fromX, fromY, fromZ, toOrigin, toX, toY, toZ);
}
ZcGeMatrix3d ZcGeMatrix3d::worldToPlane(const ZcGeVector3d& normal) {
    return ZcGeMatrix3d().setToWorldToPlane(normal);
}
ZcGeMatrix3d ZcGeMatrix3d::worldToPlane(const ZcGePlane& plane) {
    return ZcGeMatrix3d().setToWorldToPlane(plane);
}
ZcGeMatrix3d ZcGeMatrix3d::planeToWorld(const ZcGeVector3d& normal) {
    return ZcGeMatrix3d().setToPlaneToWorld(normal);
}
ZcGeMatrix3d ZcGeMatrix3d::planeToWorld(const ZcGePlane& plane) {
    return ZcGeMatrix3d().setToPlaneToWorld(plane);
}

ZcGePoint3d operator*(const ZcGeMatrix3d& m, const ZcGePoint3d& p) {
    const auto& e = m.entry;
    double x = e[0][0] * p.x + e[0][1] * p.y + e[0][2] * p.z + e[0][3];
    double y = e[1][0] * p.x + e[1][1] * p.y + e[1][2] * p.z + e[1][3];
    double z = e[2][0] * p.x + e[2][1] * p.y + e[2][2] * p.z + e[2][3];
    double w = e[3][0] * p.x + e[3][1] * p.y + e[3][2] * p.z + e[3][3];
    if (w != 1.0 && w != 0.0) return {x / w, y / w, z / w};
    return {x, y, z};
}

ZcGeVector3d operator*(const ZcGeMatrix3d& m, const ZcGeVector3d& v) {
    const auto& e = m.entry;
    return {e[0][0] * v.x + e[0][1] * v.y + e[0][2] * v.z, e[1][0] * v.x + e[1][1] * v.y + e[1][2] * v.z,
            e[2][0] * v.x + e[2][1] * v.y + e[2][2] * v.z};
}

ZcGePoint3d& ZcGePoint3d::transformBy(const ZcGeMatrix3d& m) {
    return *this = m * *this;
}
ZcGeVector3d& ZcGeVector3d::transformBy(const ZcGeMatrix3d& m) {
    return *this = m * *this;
}
