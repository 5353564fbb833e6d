// Entity geometry for hit tests: what an entity draws, as points, line
// segments and circular arcs in world coordinates, and the plan-view tests
// that picks, selection windows, fences and object snaps make on it.
//
// Geometry per kind: LINE a segment; ARC and CIRCLE an arc; LWPOLYLINE and
// 2D POLYLINE segments and bulge arcs; 3D POLYLINE segments; polyface mesh
// its face edges; 3DFACE its four edges (invisible ones too, so they can be
// picked and made visible again); SOLID its outline; POINT a point; TEXT,
// ATTRIB, ATTDEF and MTEXT their box (height by 0.8 × height × width factor
// per character, an estimate: no font is read); INSERT its block's
// geometry under the reference's transform, with its attributes; DIMENSION
// the geometry of its block; HATCH its loops; VIEWPORT its frame; REGION
// and 3DSOLID the edges of their loops, arcs as arcs. Other kinds have no
// geometry and are never hit.
//
// Tests are made in plan (XY): an arc whose plane is not horizontal, or
// one under a non-uniform scale, is taken as 64 chords. Every test is
// linear in the number of primitives.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "host/db/dbxform.h"
#include "host/ge/gebase.h"

class ZcDbEntity;

struct ZcDbGeomPrim {
    enum Kind { kPoint, kSegment, kArc };
    Kind kind = kPoint;
    ZcGePoint3d p0, p1;  // point; segment ends
    // Arc: centre + radius (u cos t + v sin t) for t in [0, sweep].
    ZcGePoint3d center;
    ZcGeVector3d u{1, 0, 0}, v{0, 1, 0};
    double radius = 0, sweep = 0;

    static ZcDbGeomPrim point(const ZcGePoint3d& p);
    static ZcDbGeomPrim segment(const ZcGePoint3d& a, const ZcGePoint3d& b);
    // A circular arc from its centre, its plane's normal, radius and the
    // start and end angles measured in the OCS of that normal.
    static ZcDbGeomPrim arc(const ZcGePoint3d& ocsCenter, const ZcGeVector3d& normal, double radius,
                            double startAngle, double endAngle);
    ZcGePoint3d pointAt(double t) const;
    ZcGePoint3d startPoint() const { return kind == kArc ? pointAt(0) : p0; }
    ZcGePoint3d endPoint() const { return kind == kArc ? pointAt(sweep) : (kind == kSegment ? p1 : p0); }
    bool isFullCircle() const;
};

using ZcDbGeometry = std::vector<ZcDbGeomPrim>;

// The entity's primitives (world coordinates, `xform` applied: the
// transform of the references it sits in). A reference into a block the
// walk is already inside draws nothing, and block contents stop being
// taken once kZcDbGeometryBlockBudget primitives were taken from them:
// a few kilobytes of nested references can stand for billions of
// entities, and a pick or an extent must not try to hold them.
inline constexpr std::size_t kZcDbGeometryBlockBudget = 1000000;
void zcdbEntityGeometry(const ZcDbEntity* ent, ZcDbGeometry& out, const ZcDbXform& xform = ZcDbXform());
// The same with the budget shared by several calls (the extents of a
// whole space), what each entity inside a block draws taken from it.
void zcdbEntityGeometry(const ZcDbEntity* ent, ZcDbGeometry& out, const ZcDbXform& xform,
                        std::size_t& blockBudget);

struct ZcDbExtents3d {
    ZcGePoint3d min{1e300, 1e300, 1e300}, max{-1e300, -1e300, -1e300};
    bool isValid() const { return min.x <= max.x; }
    void add(const ZcGePoint3d& p);
    void add(const ZcDbExtents3d& e);
};

ZcDbExtents3d zcdbGeomExtents(const ZcDbGeometry& g);
// The extents of zcdbGeomExtents of the entity's geometry, to the bit,
// without the geometry list for lines, arcs, circles and texts; `scratch`
// holds primitives between calls.
ZcDbExtents3d zcdbEntityExtents(const ZcDbEntity* ent, ZcDbGeometry& scratch);
// The same with the block budget shared by the calls measuring one space.
ZcDbExtents3d zcdbEntityExtents(const ZcDbEntity* ent, ZcDbGeometry& scratch, std::size_t& blockBudget);
// Whether zcdbEntityExtents reads the entity alone, opening no other
// object (no block, no vertex): such entities may be measured side by side.
bool zcdbExtentsReadOnly(const ZcDbEntity* ent);

// The width of a single-line text's box: 0.8 × height × width factor per
// character (an estimate, no font is read); the box's height is the text
// height. Picks and the text-box query share it.
double zcdbTextBoxWidth(std::string_view text, double height, double widthFactor);

// ------------------------------------------------------------ plan tests

struct ZcDbPlanWindow {
    double xmin, ymin, xmax, ymax;
    static ZcDbPlanWindow fromCorners(const ZcGePoint3d& a, const ZcGePoint3d& b);
};

// The plan distance from p to the nearest primitive; nullopt without any.
std::optional<double> zcdbGeomDistance(const ZcDbGeometry& g, const ZcGePoint3d& p);
// Every primitive wholly inside the window (a "W" selection).
bool zcdbGeomInsideWindow(const ZcDbGeometry& g, const ZcDbPlanWindow& w);
// Some primitive inside or crossing the window (a "C" selection).
bool zcdbGeomCrossesWindow(const ZcDbGeometry& g, const ZcDbPlanWindow& w);
// The same with a closed polygon ("WP" and "CP").
bool zcdbGeomInsidePolygon(const ZcDbGeometry& g, const std::vector<ZcGePoint3d>& polygon);
bool zcdbGeomCrossesPolygon(const ZcDbGeometry& g, const std::vector<ZcGePoint3d>& polygon);
// Some primitive crossed by the open polyline ("F").
bool zcdbGeomCrossesFence(const ZcDbGeometry& g, const std::vector<ZcGePoint3d>& fence);

// ------------------------------------------------------------ object snaps

enum class ZcDbSnapMode { kNear, kEnd, kMid, kCenter, kIntersection, kPerpendicular };

// The snap point of that mode nearest (in plan) to `pick` within
// `aperture`; `from` is the point perpendiculars are dropped from.
// Intersections are those among all the primitives given.
std::optional<ZcGePoint3d> zcdbGeomSnap(const ZcDbGeometry& g, ZcDbSnapMode mode, const ZcGePoint3d& pick,
                                        double aperture, const ZcGePoint3d& from);
