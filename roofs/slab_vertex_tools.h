// The vertex operations of the slab commands on the loops the outline jig
// holds: vertices inserted, deleted, moved, openings deleted, the loops
// put on a plane given by points or tilted about fixed vertices.
#pragma once

#include "core/geometry/vertex_list.h"
#include "roofs/slab_jig.h"

void SetLoopsZFromPlane(AJIG_COP& jig, double a, double b, double c, double d);
// Puts the point on the outline's plane and inserts it after the start of
// the first edge holding it in plan; null when none does.
VertexNode* InsertVertexOnEdge(AJIG_COP& jig, Point3& point);
// Removes the vertex unless the outline has fewer than 4 vertices; a loop
// left with fewer than 3 vertices goes with its vertices.
void DeleteVertex(AJIG_COP& jig, VertexNode* vertex);
VertexNode* FindSlabVertexAt(const ContourNode* loops, const Point3& point);
// Deletes an opening the user picks by one of its vertices: 1, or 0.
int PickOpeningVertex(AJIG_COP& jig);
// Collects the vertices the user picks into the jig's chosen list.
void MoveSlabVertex(AJIG_COP& jig);
// The plane from a gutter side (gutter mode) or from three points; 1 when
// the loops were put on it, 0 on cancel or when no plane could be made.
int PickGutterOrSurfacePoints(AJIG_COP& jig, double slopePercent);
// Tilts the slab about one or two fixed vertices; false, the loops as they
// were, on a cancel or when no plane could be made.
bool PickFixedPointsPlane(AJIG_COP& jig);
