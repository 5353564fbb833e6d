// Stand-ins for REGION and 3DSOLID: the platform keeps no modelling
// kernel, only planar polygon faces. A region is one plane's outer loop and
// holes; a solid is a set of planar faces. Exploding a region gives its
// loops as closed polylines in the region's plane; exploding a solid gives
// one region per face. In DXF they file under their own subclass markers
// with a plain list of loops (90 loop count, per loop 91 point count and
// its 10 points) instead of modeller data, which only this platform reads.
#pragma once

#include <vector>

#include "host/db/dbentity.h"

class ZcDbPolyline;

using ZcDbFaceLoop = std::vector<ZcGePoint3d>;  // WCS, closed implicitly

class ZcDbModelerStandIn : public ZcDbEntity {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbModelerStandIn);
    ZCDB_DECLARE_FILING;
    const std::vector<ZcDbFaceLoop>& loops() const { return m_loops; }
    Zcad::ErrorStatus transformBy(const ZcDbXform& x) override;

protected:
    virtual const char* marker() const = 0;
    std::vector<ZcDbFaceLoop> m_loops;
};

class ZcDbRegion : public ZcDbModelerStandIn {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbRegion);
    // The first loop is the outer boundary, the others holes; all in one plane.
    Zcad::ErrorStatus setLoops(std::vector<ZcDbFaceLoop> loops);
    ZcGeVector3d normal() const;
    double area() const;
    // New closed polylines, one per loop; the caller owns them.
    Zcad::ErrorStatus explode(std::vector<ZcDbEntity*>& out) const;

protected:
    const char* marker() const override { return "AcDbRegion"; }
};

class ZcDb3dSolid : public ZcDbModelerStandIn {
public:
    ZCRX_DECLARE_MEMBERS(ZcDb3dSolid);
    // Each loop is one planar face.
    Zcad::ErrorStatus setFaces(std::vector<ZcDbFaceLoop> faces);
    // An axis-aligned box from two opposite corners.
    Zcad::ErrorStatus createBox(const ZcGePoint3d& a, const ZcGePoint3d& b);
    // New regions, one per face; the caller owns them.
    Zcad::ErrorStatus explode(std::vector<ZcDbEntity*>& out) const;

protected:
    const char* marker() const override { return "AcDb3dSolid"; }
};
