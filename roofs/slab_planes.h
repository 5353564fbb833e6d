// Slab planes and vertex tools: the loops of a slab put on a plane, the
// slope of an outline, and the vertex operations of the slab commands on
// the loops the outline jig holds. A plane is a x + b y + c z + d = 0; a
// point goes onto it by z = -(a x + b y + d) / c, and a plane whose |c| is
// below the single-precision epsilon is vertical: nothing is put on it.
#pragma once

#include "core/geometry/vertex_list.h"

class AJIG_COP;

// The drawing's unit factor (settings real SFTMTCM), 1.0 when unreadable.
double SettingsUnitFactor();
// z of (x, y) on the plane; false (z untouched) for a vertical plane.
bool PlaneZ(double a, double b, double c, double d, double x, double y, double& z);
// The slope of the list's plane in percent; kind 2 for a horizontal plane
// (the result is then its elevation), -1 for none or a vertical one (0.0),
// else 1.
double GetLoopSlope(const VertexNode* list, int& kind);
// Puts every vertex of every loop on the plane; nothing for a vertical one.
void SetLoopsZFromPlane(ContourNode* loops, double a, double b, double c, double d);
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
// Gutter mode: the plane through the outline's first edge rising at the
// jig's slope; 1, or 0 when it cannot be made.
int ApplyGutterSlope(AJIG_COP& jig);
// The plane from a gutter side (gutter mode) or from three points; 1 when
// the loops were put on it, 0 on cancel or when no plane could be made.
int PickGutterOrSurfacePoints(AJIG_COP& jig, double slopePercent);
// Tilts the slab about one or two fixed vertices.
void PickFixedPointsPlane(AJIG_COP& jig);
