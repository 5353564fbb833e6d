// A 4x4 affine transform acting on column vectors: p' = M p, so in A * B the
// transform B acts first. entry[row][col]; the translation is the last
// column. A coordinate-system matrix holds the system's axes as its first
// three columns and its origin as the fourth, so it maps coordinates in that
// system to world coordinates. Inversion is Gauss-Jordan with partial
// pivoting; a pivot not larger than tol times the largest entry makes the
// matrix singular (tol is a ratio, so scaled drawings invert alike).
#pragma once

#include "host/ge/gebase.h"
#include "host/ge/gelinear.h"
#include "host/ge/geplane.h"

class ZcGeMatrix3d {
public:
    double entry[4][4];

    ZcGeMatrix3d();  // identity
    static const ZcGeMatrix3d kIdentity;

    double operator()(int row, int col) const { return entry[row][col]; }
    double& operator()(int row, int col) { return entry[row][col]; }

    ZcGeMatrix3d& setToIdentity();
    ZcGeMatrix3d operator*(const ZcGeMatrix3d& m) const;
    ZcGeMatrix3d& operator*=(const ZcGeMatrix3d& m);
    ZcGeMatrix3d& preMultBy(const ZcGeMatrix3d& left);    // this = left * this
    ZcGeMatrix3d& postMultBy(const ZcGeMatrix3d& right);  // this = this * right
    ZcGeMatrix3d& setToProduct(const ZcGeMatrix3d& a, const ZcGeMatrix3d& b);

    // Inversion. The checked form reports a singular matrix and leaves
    // result untouched; the others leave a singular matrix as it is.
    bool inverse(ZcGeMatrix3d& result, double tol) const;
    ZcGeMatrix3d inverse() const;
    ZcGeMatrix3d& invert();
    bool isSingular(const ZcGeTol& tol = ZcGeContext::gTol) const;
    double det() const;
    ZcGeMatrix3d transpose() const;
    ZcGeMatrix3d& transposeIt();
    bool isEqualTo(const ZcGeMatrix3d& m, const ZcGeTol& tol = ZcGeContext::gTol) const;

    ZcGeVector3d translation() const { return {entry[0][3], entry[1][3], entry[2][3]}; }
    ZcGeMatrix3d& setTranslation(const ZcGeVector3d& v);

    ZcGeMatrix3d& setCoordSystem(const ZcGePoint3d& origin, const ZcGeVector3d& xAxis,
                                 const ZcGeVector3d& yAxis, const ZcGeVector3d& zAxis);
    void getCoordSystem(ZcGePoint3d& origin, ZcGeVector3d& xAxis, ZcGeVector3d& yAxis,
                        ZcGeVector3d& zAxis) const;

    ZcGeMatrix3d& setToTranslation(const ZcGeVector3d& v);
    // Right-handed rotation by angle (radians) about axis through center.
    ZcGeMatrix3d& setToRotation(double angle, const ZcGeVector3d& axis,
                                const ZcGePoint3d& center = ZcGePoint3d::kOrigin);
    ZcGeMatrix3d& setToScaling(double scale, const ZcGePoint3d& center = ZcGePoint3d::kOrigin);
    ZcGeMatrix3d& setToMirroring(const ZcGePlane& plane);
    ZcGeMatrix3d& setToMirroring(const ZcGePoint3d& point);
    ZcGeMatrix3d& setToMirroring(const ZcGeLine3d& line);
    // Maps the "from" system onto the "to" system: from's origin goes to
    // to's origin and each from axis to the matching to axis.
    ZcGeMatrix3d& setToAlignCoordSys(const ZcGePoint3d& fromOrigin, const ZcGeVector3d& fromX,
                                     const ZcGeVector3d& fromY, const ZcGeVector3d& fromZ,
                                     const ZcGePoint3d& toOrigin, const ZcGeVector3d& toX,
                                     const ZcGeVector3d& toY, const ZcGeVector3d& toZ);
    // World coordinates to the object coordinate system of a normal (the
    // arbitrary-axis rule), and back. The plane forms put the origin at the
    // plane's point nearest the world origin.
    ZcGeMatrix3d& setToWorldToPlane(const ZcGeVector3d& normal);
    ZcGeMatrix3d& setToWorldToPlane(const ZcGePlane& plane);
    ZcGeMatrix3d& setToPlaneToWorld(const ZcGeVector3d& normal);
    ZcGeMatrix3d& setToPlaneToWorld(const ZcGePlane& plane);

    static ZcGeMatrix3d translation(const ZcGeVector3d& v);
    static ZcGeMatrix3d rotation(double angle, const ZcGeVector3d& axis,
                                 const ZcGePoint3d& center = ZcGePoint3d::kOrigin);
    static ZcGeMatrix3d scaling(double scale, const ZcGePoint3d& center = ZcGePoint3d::kOrigin);
    static ZcGeMatrix3d mirroring(const ZcGePlane& plane);
    static ZcGeMatrix3d mirroring(const ZcGePoint3d& point);
    static ZcGeMatrix3d mirroring(const ZcGeLine3d& line);
    static ZcGeMatrix3d alignCoordSys(const ZcGePoint3d& fromOrigin, const ZcGeVector3d& fromX,
                                      const ZcGeVector3d& fromY, const ZcGeVector3d& fromZ,
                                      const ZcGePoint3d& toOrigin, const ZcGeVector3d& toX,
                                      const ZcGeVector3d& toY, const ZcGeVector3d& toZ);
    static ZcGeMatrix3d worldToPlane(const ZcGeVector3d& normal);
    static ZcGeMatrix3d worldToPlane(const ZcGePlane& plane);
    static ZcGeMatrix3d planeToWorld(const ZcGeVector3d& normal);
    static ZcGeMatrix3d planeToWorld(const ZcGePlane& plane);
};

ZcGePoint3d operator*(const ZcGeMatrix3d& m, const ZcGePoint3d& p);
ZcGeVector3d operator*(const ZcGeMatrix3d& m, const ZcGeVector3d& v);
