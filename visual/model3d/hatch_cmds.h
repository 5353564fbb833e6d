// The hatch commands: a free outline typed point by point in any plane, the
// floors of rooms picked by an inner point, and the faces of walls between
// two heights or up to the slabs over them, openings left out. Each opens
// its settings dialog first and keeps what OK confirms in the drawing.
//
// The walls, the slabs over them and the profile under those slabs belong
// to higher folders; the commands reach them through the hooks below, set
// by the owners' registration units. While a hook is unset the command that
// needs it changes nothing.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/geometry/matrix4.h"
#include "core/geometry/triangulate.h"
#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"

// "VELMHATCH3D"
void CmdHatch3D();
// "VELMHFLOOR"
void CmdHatchFloor();
// "VELMHWALL"
void CmdHatchWall();

// ---- hooks ----

// An opening of an arc face: its span counter-clockwise from `from` to `to`
// (angles about the arc's centre) and the z range of its hole outline.
struct HatchArcOpening {
    double from = 0.0, to = 0.0;
    double zmin = 0.0, zmax = 0.0;
};
// A wall arc of an arc face and whether it keeps its own fixed top.
struct HatchArcEdge {
    ArcRecord arc;
    double extraReal = 0.0;
};
// The face of a picked wall line or arc.
struct HatchWallFace {
    bool isArc = false;
    Point3 start, end;  // straight faces
    ArcRecord arc;      // arc faces
    std::vector<HatchArcOpening> openings;
    std::vector<HatchArcEdge> edges;
};

// The wall-face graph of one level as the hatch commands ask it.
class HatchWallGraph {
public:
    virtual ~HatchWallGraph() = default;
    // The room contour around the point, a ring of the caller's. Null when
    // there is none: `noFace` set when no wall face lies near the point
    // (the caller tells the user), else the graph has shown and told what
    // it found.
    virtual VertexNode* RoomContour(const Point3& point, bool& noFace) = 0;
    // The face holding the wall entity; nullopt when none.
    virtual std::optional<HatchWallFace> FaceOf(const ads_name entity) = 0;
    // The polygon of the straight face last found by FaceOf (world
    // coordinates, consumed) split and notched around the face's openings:
    // one loop list per piece (outer first, then the openings lying inside
    // it as islands), in world coordinates, each the caller's.
    virtual std::vector<FaceRecord*> CutAroundOpenings(VertexNode* polygon, const Matrix4& toPlane,
                                                       const Matrix4& toWorld) = 0;
};
// rooms: the current floor's graph with pilasters, junctions and function
// lines merged; otherwise the graph of `level` with pilasters merged.
using HatchWallGraphHook = std::function<std::unique_ptr<HatchWallGraph>(double level, bool rooms)>;
void SetHatchWallGraphHook(HatchWallGraphHook hook);

// The slabs covering the walls of one level, held for the profile hook.
class HatchCoveringSlabs {
public:
    virtual ~HatchCoveringSlabs() = default;
};
// Null when the level has no covering slab.
using CoveringSlabsHook = std::function<std::unique_ptr<HatchCoveringSlabs>(double level)>;
void SetCoveringSlabsHook(CoveringSlabsHook hook);

// The top from S to E under the slabs: the plan line split where the slab
// outlines cross it, each piece's ends at the height of the lowest slab
// plane over it, or at capZ where none is; a list of the caller's.
using SlabTopProfileHook = std::function<VertexNode*(const HatchCoveringSlabs& slabs, const Point3& s,
                                                     const Point3& e, double capZ)>;
void SetSlabTopProfileHook(SlabTopProfileHook hook);

// ---- the parts, open to their tests ----

// The top of a straight face with variable height, from E back to S: the
// profile under the slabs, with a vertex too close to the bottom (bottomZ)
// raised, repeats removed, a vertex put where an edge crosses the cap
// height and every part above the cap brought down onto it. Consumes
// `profile` (S to E).
VertexNode* CapSlabTop(VertexNode* profile, double bottomZ, double capZ);

// One facet of an arc face between the angles from and to (already clamped
// to the arc), as polygons in world coordinates: the strip on the chord
// from low to the top (`top`, the top's vertices over the chord in any
// order, consumed; null for a flat top at high), less the opening. Seams
// invisible; bottom, top and the opening's edges visible.
struct ArcFacet {
    Point3 centre;
    double radius = 0.0;
    double from = 0.0, to = 0.0;  // unwrapped, from < to
    double low = 0.0, high = 0.0;
};
// The opening's angles are unwrapped as the facet's are; a jamb within the
// shared tolerance of the wall's own end (arcStart, arcEnd) notches
// nothing.
std::vector<VertexNode*> ArcFacetPolygons(const ArcFacet& facet, const HatchArcOpening* opening,
                                          double arcStart, double arcEnd, VertexNode* top);
