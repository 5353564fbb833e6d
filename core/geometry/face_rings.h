// Planar polygons with holes turned into 3DFACE triangles: the holes are
// bridged into the outer ring, the single ring is ear-clipped, and every
// triangle is written as a 3DFACE into whatever is open (model space or a
// block being defined). A polygon is a ContourNode list: the first contour
// is the outer ring, the others are holes, which run counter-clockwise
// (NormalizePolygon with 1) and are walked backwards into the ring. A
// vertex's edgeFlag is 1 when the edge that starts at it is to be shown.
#pragma once

#include <string>

#include "core/geometry/matrix4.h"
#include "core/geometry/vertex_list.h"

// One counter-clockwise reference ring running along the outer contour and
// into each hole through a bridge walked both ways; null when the outer ring
// has fewer than three vertices. The contours are not changed.
RingNode* BridgeHolesIntoOutline(const ContourNode* polygon);

// Ear-clips `ring` (taken as circular) and makes one 3DFACE per triangle on
// `layer`, corners mapped by `toBlock`. Clipped nodes are freed; what is
// left of the ring stays the caller's.
void TriangulateTo3DFaces(const std::string& layer, const ContourNode* polygon, RingNode*& ring,
                          const Matrix4& toBlock);

// Group 70 of triangle a, b, c: the repeated fourth corner's edge is always
// hidden, an outline edge is shown when its start vertex says so, diagonals
// and bridges are hidden.
int TriangleEdgeFlags(const VertexNode* a, const VertexNode* b, const VertexNode* c,
                      const ContourNode* polygon);
