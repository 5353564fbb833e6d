// Basic value types of the geometry library: tolerance, 2D and 3D points and
// vectors. Everything that compares lengths does it through a ZcGeTol, so a
// caller decides how close is equal; ZcGeContext::gTol is the default.
#pragma once

#include <cmath>

class ZcGeMatrix3d;

struct ZcGeTol {
    double equalPoint_ = 1e-10;
    double equalVector_ = 1e-10;

    double equalPoint() const { return equalPoint_; }
    double equalVector() const { return equalVector_; }
    void setEqualPoint(double v) { equalPoint_ = v; }
    void setEqualVector(double v) { equalVector_ = v; }
};

struct ZcGeContext {
    static ZcGeTol gTol;  // the host-wide default tolerance
};

class ZcGeVector2d {
public:
    double x = 0, y = 0;
    ZcGeVector2d() = default;
    ZcGeVector2d(double xx, double yy) : x(xx), y(yy) {}
    static const ZcGeVector2d kXAxis, kYAxis;

    ZcGeVector2d operator+(const ZcGeVector2d& v) const { return {x + v.x, y + v.y}; }
    ZcGeVector2d operator-(const ZcGeVector2d& v) const { return {x - v.x, y - v.y}; }
    ZcGeVector2d operator-() const { return {-x, -y}; }
    ZcGeVector2d operator*(double s) const { return {x * s, y * s}; }
    ZcGeVector2d operator/(double s) const { return {x / s, y / s}; }
    double dotProduct(const ZcGeVector2d& v) const { return x * v.x + y * v.y; }
    double crossProduct(const ZcGeVector2d& v) const { return x * v.y - y * v.x; }
    double length() const { return std::hypot(x, y); }
    double angle() const;  // [0, 2pi) from the X axis
    ZcGeVector2d normal(const ZcGeTol& tol = ZcGeContext::gTol) const;
    ZcGeVector2d& normalize(const ZcGeTol& tol = ZcGeContext::gTol);
    ZcGeVector2d perpVector() const { return {-y, x}; }
    bool isZeroLength(const ZcGeTol& tol = ZcGeContext::gTol) const { return length() <= tol.equalVector(); }
    bool isEqualTo(const ZcGeVector2d& v, const ZcGeTol& tol = ZcGeContext::gTol) const;
    bool isParallelTo(const ZcGeVector2d& v, const ZcGeTol& tol = ZcGeContext::gTol) const;
};

class ZcGePoint2d {
public:
    double x = 0, y = 0;
    ZcGePoint2d() = default;
    ZcGePoint2d(double xx, double yy) : x(xx), y(yy) {}
    static const ZcGePoint2d kOrigin;

    ZcGePoint2d operator+(const ZcGeVector2d& v) const { return {x + v.x, y + v.y}; }
    ZcGePoint2d operator-(const ZcGeVector2d& v) const { return {x - v.x, y - v.y}; }
    ZcGeVector2d operator-(const ZcGePoint2d& p) const { return {x - p.x, y - p.y}; }
    double distanceTo(const ZcGePoint2d& p) const { return std::hypot(x - p.x, y - p.y); }
    bool isEqualTo(const ZcGePoint2d& p, const ZcGeTol& tol = ZcGeContext::gTol) const {
        return distanceTo(p) <= tol.equalPoint();
    }
    ZcGeVector2d asVector() const { return {x, y}; }
};

class ZcGeVector3d {
public:
    double x = 0, y = 0, z = 0;
    ZcGeVector3d() = default;
    ZcGeVector3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}
    static const ZcGeVector3d kXAxis, kYAxis, kZAxis, kIdentity;

    double operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
    double& operator[](int i) { return i == 0 ? x : i == 1 ? y : z; }
    ZcGeVector3d operator+(const ZcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    ZcGeVector3d operator-(const ZcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    ZcGeVector3d operator-() const { return {-x, -y, -z}; }
    ZcGeVector3d operator*(double s) const { return {x * s, y * s, z * s}; }
    ZcGeVector3d operator/(double s) const { return {x / s, y / s, z / s}; }
    ZcGeVector3d& operator+=(const ZcGeVector3d& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    ZcGeVector3d& operator-=(const ZcGeVector3d& v) {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        return *this;
    }
    ZcGeVector3d& operator*=(double s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    double dotProduct(const ZcGeVector3d& v) const { return x * v.x + y * v.y + z * v.z; }
    ZcGeVector3d crossProduct(const ZcGeVector3d& v) const {
        return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
    }
    double length() const { return std::sqrt(x * x + y * y + z * z); }
    double lengthSqrd() const { return x * x + y * y + z * z; }
    ZcGeVector3d normal(const ZcGeTol& tol = ZcGeContext::gTol) const;
    ZcGeVector3d& normalize(const ZcGeTol& tol = ZcGeContext::gTol);
    ZcGeVector3d perpVector() const;  // any vector perpendicular to this one (arbitrary axis rule)
    double angleTo(const ZcGeVector3d& v) const;                                 // [0, pi]
    double angleTo(const ZcGeVector3d& v, const ZcGeVector3d& reference) const;  // [0, 2pi) about reference
    bool isZeroLength(const ZcGeTol& tol = ZcGeContext::gTol) const { return length() <= tol.equalVector(); }
    bool isUnitLength(const ZcGeTol& tol = ZcGeContext::gTol) const {
        return std::fabs(length() - 1.0) <= tol.equalVector();
    }
    bool isEqualTo(const ZcGeVector3d& v, const ZcGeTol& tol = ZcGeContext::gTol) const;
    bool isParallelTo(const ZcGeVector3d& v, const ZcGeTol& tol = ZcGeContext::gTol) const;
    bool isCodirectionalTo(const ZcGeVector3d& v, const ZcGeTol& tol = ZcGeContext::gTol) const;
    bool isPerpendicularTo(const ZcGeVector3d& v, const ZcGeTol& tol = ZcGeContext::gTol) const;
    // A vector ignores the matrix's translation; see gematrix3d.h.
    ZcGeVector3d& transformBy(const ZcGeMatrix3d& m);
};

inline ZcGeVector3d operator*(double s, const ZcGeVector3d& v) {
    return v * s;
}

class ZcGePoint3d {
public:
    double x = 0, y = 0, z = 0;
    ZcGePoint3d() = default;
    ZcGePoint3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}
    static const ZcGePoint3d kOrigin;

    double operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
    double& operator[](int i) { return i == 0 ? x : i == 1 ? y : z; }
    ZcGePoint3d operator+(const ZcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    ZcGePoint3d operator-(const ZcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    ZcGeVector3d operator-(const ZcGePoint3d& p) const { return {x - p.x, y - p.y, z - p.z}; }
    ZcGePoint3d& operator+=(const ZcGeVector3d& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    ZcGePoint3d& operator-=(const ZcGeVector3d& v) {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        return *this;
    }
    double distanceTo(const ZcGePoint3d& p) const { return (*this - p).length(); }
    bool isEqualTo(const ZcGePoint3d& p, const ZcGeTol& tol = ZcGeContext::gTol) const {
        return distanceTo(p) <= tol.equalPoint();
    }
    ZcGeVector3d asVector() const { return {x, y, z}; }
    ZcGePoint2d convert2d() const { return {x, y}; }
    ZcGePoint3d& transformBy(const ZcGeMatrix3d& m);
};
