// The wall-face graph as the hatch commands ask it: the room around a point
// and the faces of picked walls with their openings.
#pragma once

#include <optional>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/geometry/matrix4.h"
#include "core/geometry/triangulate.h"
#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"
#include "walls/graph/cfacciate.h"

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
    // rooms: the current floor's graph with pilasters, junctions and
    // function lines merged; otherwise the graph of `level` with pilasters
    // merged.
    HatchWallGraph(double level, bool rooms);
    HatchWallGraph(const HatchWallGraph&) = delete;
    HatchWallGraph& operator=(const HatchWallGraph&) = delete;

    // The room contour around the point, a ring of the caller's. Null when
    // there is none: `noFace` set when no wall face lies near the point
    // (the caller tells the user), else the graph has shown and told what
    // it found.
    VertexNode* RoomContour(const Point3& point, bool& noFace);
    // The face holding the wall entity; nullopt when none.
    std::optional<HatchWallFace> FaceOf(const ads_name entity);
    // The polygon of the straight face last found by FaceOf (world
    // coordinates, consumed) split and notched around the face's openings:
    // one loop list per piece (outer first, then the openings lying inside
    // it as islands), in world coordinates, each the caller's.
    std::vector<FaceRecord*> CutAroundOpenings(VertexNode* polygon, const Matrix4& toPlane,
                                               const Matrix4& toWorld);

private:
    CFACCIATE m_graph;
    WallFace* m_face = nullptr;
};
