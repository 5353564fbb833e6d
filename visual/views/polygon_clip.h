// Polygon operations of the hidden-face and shadow passes, on vertex rings
// read as closed, in x and y: point and polygon tests, cell boxes on the
// hidden-line grid, the part of one polygon outside another (clipping), the
// part covered by another (a shadow), and the clean-up and merging of the
// shadow pieces that fall on one face group. The boolean operations
// themselves are the ring kernel's (core/geometry/ring_difference); this
// unit chooses them, bridges holes into pieces and keeps the piece lists.
//
// A new vertex gets its z (and, in a shadow, its height in the spare double)
// by interpolation along the edge it is inserted into. A vertex's mark byte
// marks the edge that starts there as a bridge to a hole or a doubled edge.
// Pieces come out counter-clockwise.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/geometry/ring_difference.h"
#include "core/geometry/vertex_list.h"

// One closed polygon of a group outline, of a shadow or of a shadow piece.
// Its ring is owned; link is a list of holes while outlines are traced, and
// in a shadow the group polygon it was made from (not owned).
struct OutlinePolygon {
    OutlinePolygon* next = nullptr;
    OutlinePolygon* link = nullptr;
    VertexNode* ring = nullptr;
    std::int32_t state = 0;
    double box2d[4] = {0.0, 0.0, 0.0, 0.0};  // min x, min y, max x, max y
    std::int32_t cellLow[3] = {0, 0, 0};
    std::int32_t cellHigh[3] = {0, 0, 0};
    double reference[3] = {0.0, 0.0, 0.0};
    // While a long list of shadow pieces is merged half by half: the half
    // an unchanged piece comes from (0 for none). Two pieces of one half
    // are already disjoint and would not join.
    std::int32_t half = 0;
};

// The shadow pieces that fall on one group.
struct ShadowGroup {
    ShadowGroup* next = nullptr;
    OutlinePolygon* pieces = nullptr;
    std::int32_t number = 0;
};

// Frees the records and their rings (not what link names); null.
OutlinePolygon* FreeOutlinePolygons(OutlinePolygon* list);
ShadowGroup* FreeShadowGroups(ShadowGroup* list);
// A piece record for the ring (taken), with its plan box.
OutlinePolygon* NewOutlinePolygon(VertexNode* ring);

// Marks (mark byte 1) the start vertices of both edges of every pair that
// runs between the same two plan points in opposite directions: the bridges
// to holes. 1 when it marked any.
int MarkDoubledEdges(VertexNode* ring);
// 1 when ring A lies within ring B in plan (its border may lie on B's).
int PolygonInsidePolygon(const VertexNode* A, const VertexNode* B);

// Cell boxes on a grid of 21 coordinates per axis (63 doubles, axis by
// axis): the lowest and highest cell index per axis.
void CellBoxOfCorners(const Point3* corners, int count, std::int32_t low[3], std::int32_t high[3],
                      const double grid[63]);
void CellBoxOfRing(const VertexNode* ring, std::int32_t low[3], std::int32_t high[3], const double grid[63]);

// The pieces of X (lying in the receiving plane a, b, c, d) that P does not
// cover, or null when P changes nothing of X or covers it whole (then
// PolygonInsidePolygon(X, P) tells which). P is laid onto the receiving
// plane; when it lies inside X, and wholly nearer, the one piece is X with P
// bridged in as a hole.
// A long X may come with its points and crowded vertices (see PointsOfRing
// and CrowdedVertices at the clipping snap, a hundred shared tolerances):
// the pieces are then built near P, the same to the bit.
OutlinePolygon* ClipPolygonByPolygon(VertexNode** X, const VertexNode* P, const double groupPlane[4],
                                     const double receivingPlane[4], const RingPoints* xPoints = nullptr,
                                     std::span<const Point3> xCrowded = {});
// The parts of P lying nearer the viewer (smaller z) than the plane
// (a, b, c, d), each as a ring: none when P lies nowhere in front of it by
// more than a hundred times the shared tolerance, P itself (whole is true,
// nothing returned) when it lies nowhere behind it by as much.
std::vector<OwnedList<VertexNode>> PartsInFrontOfPlane(const VertexNode* P, const double plane[4],
                                                       bool& whole);
// The pieces of the receiving ring R that the caster's projected ring W
// covers (W's vertices carry their height above the receiving plane in the
// spare double); null when none. Only the part of W above the receiving
// plane shades it: a caster passing through the plane is cut back to that
// part first.
OutlinePolygon* ShadowOfPolygon(const VertexNode* W, VertexNode** R, const double casterPlane[4]);

// Drops collinear vertices of every piece, then pieces of fewer than three
// vertices, then groups left empty.
ShadowGroup* CleanShadowGroups(ShadowGroup* groups);
// The pieces of one group made disjoint (what two pieces share stays with
// the first), pieces within another dropped.
OutlinePolygon* SplitShadowPieces(OutlinePolygon** list, int group);
// Pieces that overlap or touch along edges joined wherever their union is
// one polygon without holes: the first such pair in list order, again and
// again. `indexed` looks the pairs up in a plan index of the pieces; false
// tries every pair, with the same result.
OutlinePolygon* JoinShadowPieces(OutlinePolygon** list, int group, bool indexed = true);
// Splits and joins until nothing joins: simple, disjoint pieces covering
// the union of those given. A long list is merged half by half first (cut
// across the longer side of what it spans), then the halves together.
OutlinePolygon* MergeShadowPieces(OutlinePolygon* list, bool indexed = true);
