// Circular arcs and full circles in 2D and 3D. An arc runs counter-clockwise
// (about its normal, in 3D) from startAng to endAng, angles measured from
// its reference vector. The sweep is endAng - startAng brought into (0, 2pi];
// equal angles, or a difference of 2pi or more, make a full circle, so an
// arc from 350 to 10 degrees crosses 0 and sweeps 20 degrees.
// Intersections report the number of points (0, 1 or 2) and return true
// when there is at least one: a line further than equalPoint from the circle
// misses, one within equalPoint of tangency touches once, nearer lines cross
// twice; the same for two circles. Points are then kept only when they lie
// on both arcs or segments. Concentric circles report none (they coincide or
// never meet). A point lies on an arc when it is within equalPoint of it.
#pragma once

#include "host/ge/gebase.h"
#include "host/ge/gelinear.h"
#include "host/ge/geplane.h"

class ZcGeCircArc2d {
public:
    ZcGeCircArc2d();  // unit circle at the origin
    ZcGeCircArc2d(const ZcGePoint2d& center, double radius);
    ZcGeCircArc2d(const ZcGePoint2d& center, double radius, double startAng, double endAng,
                  const ZcGeVector2d& refVec = ZcGeVector2d::kXAxis);

    ZcGeCircArc2d& set(const ZcGePoint2d& center, double radius);
    ZcGeCircArc2d& setAngles(double startAng, double endAng);
    ZcGeCircArc2d& setRefVec(const ZcGeVector2d& refVec);

    ZcGePoint2d center() const { return center_; }
    double radius() const { return radius_; }
    double startAng() const { return startAng_; }
    double endAng() const { return startAng_ + sweep_; }
    double sweep() const { return sweep_; }
    ZcGeVector2d refVec() const { return ref_; }
    bool isClosed() const;  // a full circle
    ZcGePoint2d startPoint() const { return pointAt(startAng_); }
    ZcGePoint2d endPoint() const { return pointAt(startAng_ + sweep_); }
    ZcGePoint2d pointAt(double angle) const;  // angle from the reference vector

    bool isOn(const ZcGePoint2d& p, const ZcGeTol& tol = ZcGeContext::gTol) const;
    bool intersectWith(const ZcGeLinearEnt2d& line, int& numInt, ZcGePoint2d& p1, ZcGePoint2d& p2,
                       const ZcGeTol& tol = ZcGeContext::gTol) const;
    bool intersectWith(const ZcGeCircArc2d& arc, int& numInt, ZcGePoint2d& p1, ZcGePoint2d& p2,
                       const ZcGeTol& tol = ZcGeContext::gTol) const;

    // True when the direction from the centre at this angle is inside the
    // sweep, allowing `slack` radians past either end.
    bool angleInSweep(double angle, double slack) const;

private:
    ZcGePoint2d center_;
    double radius_ = 1;
    double startAng_ = 0;
    double sweep_;
    ZcGeVector2d ref_{1, 0};
};

class ZcGeCircArc3d {
public:
    ZcGeCircArc3d();  // unit circle at the origin in the XY plane
    ZcGeCircArc3d(const ZcGePoint3d& center, const ZcGeVector3d& normal, double radius);
    ZcGeCircArc3d(const ZcGePoint3d& center, const ZcGeVector3d& normal, const ZcGeVector3d& refVec,
                  double radius, double startAng, double endAng);

    ZcGeCircArc3d& set(const ZcGePoint3d& center, const ZcGeVector3d& normal, double radius);
    ZcGeCircArc3d& set(const ZcGePoint3d& center, const ZcGeVector3d& normal, const ZcGeVector3d& refVec,
                       double radius, double startAng, double endAng);

    ZcGePoint3d center() const { return center_; }
    ZcGeVector3d normal() const { return normal_; }
    ZcGeVector3d refVec() const { return ref_; }
    double radius() const { return flat_.radius(); }
    double startAng() const { return flat_.startAng(); }
    double endAng() const { return flat_.endAng(); }
    bool isClosed() const { return flat_.isClosed(); }
    ZcGePoint3d startPoint() const { return toWorld(flat_.startPoint()); }
    ZcGePoint3d endPoint() const { return toWorld(flat_.endPoint()); }
    ZcGePlane plane() const { return ZcGePlane(center_, normal_); }

    bool isOn(const ZcGePoint3d& p, const ZcGeTol& tol = ZcGeContext::gTol) const;
    bool intersectWith(const ZcGeLinearEnt3d& line, int& numInt, ZcGePoint3d& p1, ZcGePoint3d& p2,
                       const ZcGeTol& tol = ZcGeContext::gTol) const;
    bool intersectWith(const ZcGeCircArc3d& arc, int& numInt, ZcGePoint3d& p1, ZcGePoint3d& p2,
                       const ZcGeTol& tol = ZcGeContext::gTol) const;

private:
    // The arc in its own plane: centre at the origin, reference vector on +X.
    ZcGePoint2d toPlane(const ZcGePoint3d& p) const;
    ZcGePoint3d toWorld(const ZcGePoint2d& p) const;
    void build(const ZcGePoint3d& center, const ZcGeVector3d& normal, const ZcGeVector3d& refVec,
               double radius, double startAng, double endAng);

    ZcGePoint3d center_;
    ZcGeVector3d normal_{0, 0, 1};
    ZcGeVector3d ref_{1, 0, 0};
    ZcGeVector3d yAxis_{0, 1, 0};
    ZcGeCircArc2d flat_;
};
