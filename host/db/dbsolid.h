// Stand-ins for REGION, 3DSOLID and BODY: the platform keeps no modelling
// kernel, only faces bounded by loops of straight and circular edges. A
// region is one plane's outer loop and holes; a solid is a set of faces,
// each planar with its holes, or curved (a boundary only, as a cylinder's
// side). Exploding a region gives the LINE, ARC and CIRCLE entities of its
// loops; exploding a solid gives one region per planar face and one body
// per curved face, as a modeller would.
//
// A loop is its corners in order and, per corner, the bulge of the edge
// from it to the next corner: 0 for a straight edge, else the tangent of a
// quarter of the arc's sweep, positive for an arc turning counter-clockwise
// about the plane's normal (the normal the outer loop's corners wind
// counter-clockwise about). A loop whose edges are arcs of one circle that
// go once round is a whole circle.
//
// In DXF they file under their own subclass markers with a plain list of
// loops instead of modeller data, which only this platform reads: 90 loop
// count; per loop 91 corner count, 72 loop flags when not 0 (1 a hole of
// the face before, 2 a curved face), and per corner its 10 point and 42
// bulge when not 0. A file without 72 and 42 holds straight loops, one per
// solid face, as the platform wrote them before curved edges.
#pragma once

#include <cstdint>
#include <vector>

#include "host/db/dbentity.h"

class ZcDbPolyline;
struct ZcDbGeomPrim;

using ZcDbFaceLoop = std::vector<ZcGePoint3d>;  // WCS, closed implicitly

// A loop with curved edges: bulges empty, or one per corner.
struct ZcDbCurveLoop {
    ZcDbFaceLoop points;
    std::vector<double> bulges;
};

// A whole circle as a loop of four quarter arcs, counter-clockwise about
// the normal.
ZcDbCurveLoop zcdbCircleLoop(const ZcGePoint3d& center, const ZcGeVector3d& normal, double radius);

class ZcDbModelerStandIn : public ZcDbEntity {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbModelerStandIn);
    ZCDB_DECLARE_FILING;
    enum LoopFlags : std::int16_t { kHole = 1, kCurved = 2 };
    // Every loop's corners, in filing order.
    const std::vector<ZcDbFaceLoop>& loops() const { return m_loops; }
    // The bulge of the edge that starts at corner k of loop i.
    double bulgeAt(std::size_t i, std::size_t k) const;
    std::int16_t loopFlags(std::size_t i) const { return i < m_flags.size() ? m_flags[i] : 0; }
    // Every loop's edges in world coordinates: segments, and arcs as the
    // arcs they are (not their chords), so that picks and the drawing's
    // extents see a round face as round as it is.
    void edgeGeometry(std::vector<ZcDbGeomPrim>& out) const;
    Zcad::ErrorStatus transformBy(const ZcDbXform& x) override;

protected:
    virtual const char* marker() const = 0;
    ZcDbCurveLoop curveLoop(std::size_t i) const;
    void setCurveLoops(std::vector<ZcDbCurveLoop> loops, std::vector<std::int16_t> flags);
    std::vector<ZcDbFaceLoop> m_loops;
    std::vector<std::vector<double>> m_bulges;  // per loop: empty, or one per corner
    std::vector<std::int16_t> m_flags;          // per loop: LoopFlags
};

class ZcDbRegion : public ZcDbModelerStandIn {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbRegion);
    // The first loop is the outer boundary, the others holes; all in one plane.
    Zcad::ErrorStatus setLoops(std::vector<ZcDbFaceLoop> loops);
    Zcad::ErrorStatus setLoops(std::vector<ZcDbCurveLoop> loops);
    ZcGeVector3d normal() const;
    // The enclosed area, circular segments of arcs included, less the holes.
    double area() const;
    // New LINE, ARC and CIRCLE entities along the loops; the caller owns them.
    Zcad::ErrorStatus explode(std::vector<ZcDbEntity*>& out) const;

protected:
    const char* marker() const override { return "AcDbRegion"; }
};

// What a solid's curved face explodes into: its boundary, not a region.
class ZcDbBody : public ZcDbModelerStandIn {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbBody);

protected:
    friend class ZcDb3dSolid;
    const char* marker() const override { return "AcDbBody"; }
};

class ZcDb3dSolid : public ZcDbModelerStandIn {
public:
    ZCRX_DECLARE_MEMBERS(ZcDb3dSolid);
    // Each loop is one planar face.
    Zcad::ErrorStatus setFaces(std::vector<ZcDbFaceLoop> faces);
    // One more planar face: its outer loop, then its holes, arcs allowed.
    Zcad::ErrorStatus addFace(std::vector<ZcDbCurveLoop> loops);
    // One more curved face, given by its boundary (not in one plane).
    Zcad::ErrorStatus addCurvedFace(ZcDbCurveLoop boundary);
    // An axis-aligned box from two opposite corners.
    Zcad::ErrorStatus createBox(const ZcGePoint3d& a, const ZcGePoint3d& b);
    // New regions, one per planar face, and bodies, one per curved face; the
    // caller owns them.
    Zcad::ErrorStatus explode(std::vector<ZcDbEntity*>& out) const;

protected:
    const char* marker() const override { return "AcDb3dSolid"; }
};
