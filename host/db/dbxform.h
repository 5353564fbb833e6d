// The transform entities take in transformBy, kept behind this small
// adapter so the database does not depend on the geometry library's matrix
// class: a row-major 4x4 affine matrix (last row 0 0 0 1). When the
// library's ZcGeMatrix3d converts implicitly (one copy of its sixteen
// entries), so entities take either.
// Also the object coordinate system rule (the "arbitrary axis" rule of the
// drawing format) that planar entities use to place their 2D data.
#pragma once

#include <cmath>

#include "host/ge/gebase.h"
#include "host/ge/gematrix3d.h"

struct ZcDbXform {
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    ZcDbXform() = default;
    ZcDbXform(const ZcGeMatrix3d& g) {  // NOLINT: implicit on purpose
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) m[i][j] = g.entry[i][j];
    }

    static ZcDbXform identity() { return {}; }
    static ZcDbXform translation(const ZcGeVector3d& v) {
        ZcDbXform x;
        x.m[0][3] = v.x, x.m[1][3] = v.y, x.m[2][3] = v.z;
        return x;
    }
    static ZcDbXform scaling(double s, const ZcGePoint3d& center = ZcGePoint3d()) {
        ZcDbXform x;
        for (int i = 0; i < 3; ++i) {
            x.m[i][i] = s;
            x.m[i][3] = center[i] * (1 - s);
        }
        return x;
    }
    // Rotation by `angle` about `axis` through `center` (right-hand rule).
    static ZcDbXform rotation(double angle, const ZcGeVector3d& axis,
                              const ZcGePoint3d& center = ZcGePoint3d()) {
        ZcGeVector3d u = axis;
        double len = u.length();
        if (len > 0) u = u / len;
        double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
        ZcDbXform x;
        x.m[0][0] = t * u.x * u.x + c, x.m[0][1] = t * u.x * u.y - s * u.z,
        x.m[0][2] = t * u.x * u.z + s * u.y;
        x.m[1][0] = t * u.x * u.y + s * u.z, x.m[1][1] = t * u.y * u.y + c,
        x.m[1][2] = t * u.y * u.z - s * u.x;
        x.m[2][0] = t * u.x * u.z - s * u.y, x.m[2][1] = t * u.y * u.z + s * u.x,
        x.m[2][2] = t * u.z * u.z + c;
        ZcGePoint3d moved = x.apply(center);
        for (int i = 0; i < 3; ++i) x.m[i][3] = center[i] - moved[i];
        return x;
    }
    // Mirror in the plane through `p` with normal `n`.
    static ZcDbXform mirroring(const ZcGePoint3d& p, const ZcGeVector3d& n) {
        ZcGeVector3d u = n;
        double len = u.length();
        if (len > 0) u = u / len;
        ZcDbXform x;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) x.m[i][j] = (i == j ? 1.0 : 0.0) - 2 * u[i] * u[j];
        double d = p.asVector().dotProduct(u);
        for (int i = 0; i < 3; ++i) x.m[i][3] = 2 * d * u[i];
        return x;
    }

    ZcGePoint3d apply(const ZcGePoint3d& p) const {
        return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
                m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3],
                m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]};
    }
    ZcGeVector3d apply(const ZcGeVector3d& v) const {
        return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
                m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
    }
    double det() const {
        return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
               m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
               m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    }
    // The length factor of a uniform scaling (cube root of |det|).
    double scale() const { return std::cbrt(std::fabs(det())); }
    // True when the matrix scales equally in every direction (no shear).
    bool isUniscaledOrtho(double tol = 1e-9) const {
        ZcGeVector3d c0(m[0][0], m[1][0], m[2][0]), c1(m[0][1], m[1][1], m[2][1]),
            c2(m[0][2], m[1][2], m[2][2]);
        double l = c0.length();
        return std::fabs(c1.length() - l) <= tol * (1 + l) && std::fabs(c2.length() - l) <= tol * (1 + l) &&
               std::fabs(c0.dotProduct(c1)) <= tol * (1 + l * l) &&
               std::fabs(c0.dotProduct(c2)) <= tol * (1 + l * l) &&
               std::fabs(c1.dotProduct(c2)) <= tol * (1 + l * l);
    }
};

// The X axis of the object coordinate system of a plane with this normal.
inline ZcGeVector3d zcdbOcsXAxis(const ZcGeVector3d& normal) {
    ZcGeVector3d n = normal;
    double len = n.length();
    if (len == 0) return {1, 0, 0};
    n = n / len;
    ZcGeVector3d ax = (std::fabs(n.x) < 1.0 / 64 && std::fabs(n.y) < 1.0 / 64)
                          ? ZcGeVector3d(0, 1, 0).crossProduct(n)
                          : ZcGeVector3d(0, 0, 1).crossProduct(n);
    return ax / ax.length();
}

inline ZcGePoint3d zcdbOcsToWcs(const ZcGePoint3d& p, const ZcGeVector3d& normal) {
    // Plan entities, nearly all of a drawing: the axes are the world's, and
    // the general sum below adds only zeros to each coordinate, which turns
    // a negative zero into a positive one and changes nothing else.
    if (normal.x == 0 && normal.y == 0 && normal.z == 1 && std::isfinite(p.x) && std::isfinite(p.y) &&
        std::isfinite(p.z))
        return {p.x + 0.0, p.y + 0.0, p.z + 0.0};
    ZcGeVector3d n = normal.length() > 0 ? normal / normal.length() : ZcGeVector3d(0, 0, 1);
    ZcGeVector3d ax = zcdbOcsXAxis(n), ay = n.crossProduct(ax);
    return ZcGePoint3d() + ax * p.x + ay * p.y + n * p.z;
}

inline ZcGePoint3d zcdbWcsToOcs(const ZcGePoint3d& p, const ZcGeVector3d& normal) {
    ZcGeVector3d n = normal.length() > 0 ? normal / normal.length() : ZcGeVector3d(0, 0, 1);
    ZcGeVector3d ax = zcdbOcsXAxis(n), ay = n.crossProduct(ax);
    ZcGeVector3d v = p.asVector();
    return {v.dotProduct(ax), v.dotProduct(ay), v.dotProduct(n)};
}
