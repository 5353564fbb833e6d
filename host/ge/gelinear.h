// Straight lines of the geometry library: unbounded lines and bounded
// segments in 2D and 3D. A linear entity is a base point and a direction;
// a segment's direction runs from its start to its end, so parameter 0 is
// the start and 1 the end. Every comparison goes through a ZcGeTol: a point
// lies on an entity when it is within equalPoint of it (inclusive), and two
// entities are parallel when their unit directions are within equalVector.
// Limits: collinear overlapping entities report no intersection point (there
// is no single one); a zero-length segment is parallel to everything.
#pragma once

#include "host/ge/gebase.h"

class ZcGeLinearEnt2d {
public:
    ZcGePoint2d pointOnLine() const { return point_; }
    ZcGeVector2d direction() const { return dir_.normal(); }  // unit, or zero for a point
    bool isBounded() const { return bounded_; }

    bool isOn(const ZcGePoint2d& p, const ZcGeTol& tol = ZcGeContext::gTol) const;
    ZcGePoint2d closestPointTo(const ZcGePoint2d& p, const ZcGeTol& tol = ZcGeContext::gTol) const;
    double distanceTo(const ZcGePoint2d& p, const ZcGeTol& tol = ZcGeContext::gTol) const;
    bool isParallelTo(const ZcGeLinearEnt2d& other, const ZcGeTol& tol = ZcGeContext::gTol) const;
    bool isColinearTo(const ZcGeLinearEnt2d& other, const ZcGeTol& tol = ZcGeContext::gTol) const;
    // One crossing point of the two entities, inside both when they are
    // bounded; false for parallel entities and for a crossing outside a segment.
    bool intersectWith(const ZcGeLinearEnt2d& other, ZcGePoint2d& result,
                       const ZcGeTol& tol = ZcGeContext::gTol) const;

    // Parameter of the foot of p: 0 at the base point, 1 one direction further.
    double paramOf(const ZcGePoint2d& p) const;
    ZcGePoint2d evalPoint(double param) const { return point_ + dir_ * param; }
    ZcGeVector2d rawDirection() const { return dir_; }

protected:
    ZcGeLinearEnt2d(const ZcGePoint2d& p, const ZcGeVector2d& d, bool bounded)
        : point_(p), dir_(d), bounded_(bounded) {}
    ZcGePoint2d point_;
    ZcGeVector2d dir_;
    bool bounded_;
};

class ZcGeLine2d : public ZcGeLinearEnt2d {
public:
    ZcGeLine2d() : ZcGeLinearEnt2d({0, 0}, {1, 0}, false) {}
    ZcGeLine2d(const ZcGePoint2d& p, const ZcGeVector2d& v) : ZcGeLinearEnt2d(p, v, false) {}
    ZcGeLine2d(const ZcGePoint2d& p1, const ZcGePoint2d& p2) : ZcGeLinearEnt2d(p1, p2 - p1, false) {}
    static const ZcGeLine2d kXAxis, kYAxis;

    ZcGeLine2d& set(const ZcGePoint2d& p, const ZcGeVector2d& v) {
        point_ = p;
        dir_ = v;
        return *this;
    }
    ZcGeLine2d& set(const ZcGePoint2d& p1, const ZcGePoint2d& p2) {
        point_ = p1;
        dir_ = p2 - p1;
        return *this;
    }
};

class ZcGeLineSeg2d : public ZcGeLinearEnt2d {
public:
    ZcGeLineSeg2d() : ZcGeLinearEnt2d({0, 0}, {1, 0}, true) {}
    ZcGeLineSeg2d(const ZcGePoint2d& p1, const ZcGePoint2d& p2) : ZcGeLinearEnt2d(p1, p2 - p1, true) {}
    ZcGeLineSeg2d(const ZcGePoint2d& p, const ZcGeVector2d& v) : ZcGeLinearEnt2d(p, v, true) {}

    ZcGeLineSeg2d& set(const ZcGePoint2d& p1, const ZcGePoint2d& p2) {
        point_ = p1;
        dir_ = p2 - p1;
        return *this;
    }
    ZcGePoint2d startPoint() const { return point_; }
    ZcGePoint2d endPoint() const { return point_ + dir_; }
    ZcGePoint2d midPoint() const { return point_ + dir_ * 0.5; }
    double length() const { return dir_.length(); }
};

class ZcGeLinearEnt3d {
public:
    ZcGePoint3d pointOnLine() const { return point_; }
    ZcGeVector3d direction() const { return dir_.normal(); }
    bool isBounded() const { return bounded_; }

    bool isOn(const ZcGePoint3d& p, const ZcGeTol& tol = ZcGeContext::gTol) const;
    ZcGePoint3d closestPointTo(const ZcGePoint3d& p, const ZcGeTol& tol = ZcGeContext::gTol) const;
    double distanceTo(const ZcGePoint3d& p, const ZcGeTol& tol = ZcGeContext::gTol) const;
    bool isParallelTo(const ZcGeLinearEnt3d& other, const ZcGeTol& tol = ZcGeContext::gTol) const;
    bool isPerpendicularTo(const ZcGeLinearEnt3d& other, const ZcGeTol& tol = ZcGeContext::gTol) const;
    bool isColinearTo(const ZcGeLinearEnt3d& other, const ZcGeTol& tol = ZcGeContext::gTol) const;
    // Two 3D lines meet when their closest points are within equalPoint; the
    // point reported is the one on this entity.
    bool intersectWith(const ZcGeLinearEnt3d& other, ZcGePoint3d& result,
                       const ZcGeTol& tol = ZcGeContext::gTol) const;

    double paramOf(const ZcGePoint3d& p) const;
    ZcGePoint3d evalPoint(double param) const { return point_ + dir_ * param; }
    // The raw direction: a segment's end minus its start.
    ZcGeVector3d rawDirection() const { return dir_; }

protected:
    ZcGeLinearEnt3d(const ZcGePoint3d& p, const ZcGeVector3d& d, bool bounded)
        : point_(p), dir_(d), bounded_(bounded) {}
    ZcGePoint3d point_;
    ZcGeVector3d dir_;
    bool bounded_;
};

class ZcGeLine3d : public ZcGeLinearEnt3d {
public:
    ZcGeLine3d() : ZcGeLinearEnt3d({0, 0, 0}, {1, 0, 0}, false) {}
    ZcGeLine3d(const ZcGePoint3d& p, const ZcGeVector3d& v) : ZcGeLinearEnt3d(p, v, false) {}
    ZcGeLine3d(const ZcGePoint3d& p1, const ZcGePoint3d& p2) : ZcGeLinearEnt3d(p1, p2 - p1, false) {}
    static const ZcGeLine3d kXAxis, kYAxis, kZAxis;

    ZcGeLine3d& set(const ZcGePoint3d& p, const ZcGeVector3d& v) {
        point_ = p;
        dir_ = v;
        return *this;
    }
    ZcGeLine3d& set(const ZcGePoint3d& p1, const ZcGePoint3d& p2) {
        point_ = p1;
        dir_ = p2 - p1;
        return *this;
    }
};

class ZcGeLineSeg3d : public ZcGeLinearEnt3d {
public:
    ZcGeLineSeg3d() : ZcGeLinearEnt3d({0, 0, 0}, {1, 0, 0}, true) {}
    ZcGeLineSeg3d(const ZcGePoint3d& p1, const ZcGePoint3d& p2) : ZcGeLinearEnt3d(p1, p2 - p1, true) {}
    ZcGeLineSeg3d(const ZcGePoint3d& p, const ZcGeVector3d& v) : ZcGeLinearEnt3d(p, v, true) {}

    ZcGeLineSeg3d& set(const ZcGePoint3d& p1, const ZcGePoint3d& p2) {
        point_ = p1;
        dir_ = p2 - p1;
        return *this;
    }
    ZcGePoint3d startPoint() const { return point_; }
    ZcGePoint3d endPoint() const { return point_ + dir_; }
    ZcGePoint3d midPoint() const { return point_ + dir_ * 0.5; }
    double length() const { return dir_.length(); }
};
