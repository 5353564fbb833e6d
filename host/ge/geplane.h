// An unbounded plane: a point on it and a unit normal. Built from three
// points (normal = (p2-p1) x (p3-p1)), a point and a normal, or the four
// coefficients of a x + b y + c z + d = 0. Its in-plane axes follow the
// arbitrary-axis rule of drawing files, so the same normal always gives the
// same axes. Limits: three collinear points (or a zero normal) leave a
// degenerate plane with a zero normal; it lies on nothing, is parallel to
// nothing and intersects nothing, and its coefficients are all zero.
#pragma once

#include "host/ge/gebase.h"
#include "host/ge/gelinear.h"

class ZcGePlane {
public:
    ZcGePlane();  // the XY plane
    ZcGePlane(const ZcGePoint3d& origin, const ZcGeVector3d& normal);
    ZcGePlane(const ZcGePoint3d& p1, const ZcGePoint3d& p2, const ZcGePoint3d& p3);
    ZcGePlane(double a, double b, double c, double d);
    static const ZcGePlane kXYPlane, kYZPlane, kZXPlane;

    ZcGePlane& set(const ZcGePoint3d& origin, const ZcGeVector3d& normal);
    ZcGePlane& set(const ZcGePoint3d& p1, const ZcGePoint3d& p2, const ZcGePoint3d& p3);
    ZcGePlane& set(double a, double b, double c, double d);

    ZcGeVector3d normal() const { return normal_; }
    ZcGePoint3d pointOnPlane() const { return origin_; }
    void getCoefficients(double& a, double& b, double& c, double& d) const;
    // The in-plane axes by the arbitrary-axis rule, with the plane's point.
    void getCoordSystem(ZcGePoint3d& origin, ZcGeVector3d& xAxis, ZcGeVector3d& yAxis) const;

    double signedDistanceTo(const ZcGePoint3d& p) const;
    double distanceTo(const ZcGePoint3d& p) const;
    ZcGePoint3d closestPointTo(const ZcGePoint3d& p) const;
    bool isOn(const ZcGePoint3d& p, const ZcGeTol& tol = ZcGeContext::gTol) const;

    bool isParallelTo(const ZcGePlane& other, const ZcGeTol& tol = ZcGeContext::gTol) const;
    bool isParallelTo(const ZcGeLinearEnt3d& line, const ZcGeTol& tol = ZcGeContext::gTol) const;
    bool isPerpendicularTo(const ZcGePlane& other, const ZcGeTol& tol = ZcGeContext::gTol) const;
    bool isPerpendicularTo(const ZcGeLinearEnt3d& line, const ZcGeTol& tol = ZcGeContext::gTol) const;
    bool isCoplanarTo(const ZcGePlane& other, const ZcGeTol& tol = ZcGeContext::gTol) const;

    // The point where a line crosses the plane (inside the segment for a
    // segment); false for a line parallel to the plane, lying in it or not.
    bool intersectWith(const ZcGeLinearEnt3d& line, ZcGePoint3d& result,
                       const ZcGeTol& tol = ZcGeContext::gTol) const;
    // The line common to two planes; false when they are parallel.
    bool intersectWith(const ZcGePlane& other, ZcGeLine3d& result,
                       const ZcGeTol& tol = ZcGeContext::gTol) const;

private:
    ZcGePoint3d origin_;
    ZcGeVector3d normal_;
};
