// The geometry sections of a definition: fixed points (FIXP), the outline
// dragged while placing (DRAG), the wall cut outlines (CUT2D, CUT3DE,
// CUT3DI), the deduction polygon (POLIGDED), the slab or roof opening
// (POLIG, POLIGARC), the hatch islands (ISLANDH) and the 3D planes
// (ST3DPLANE with SERIES blocks). Each reader empties the list it fills, so
// reading again replaces the earlier result.
//
// Points are scaled by the context's scale factors unless noted. Lists
// filled at the head hold the points in the reverse of the file order.
// Results: 1 read or section absent, -1 malformed (the caller names the
// section); ReadSeriesBlock 0 or -1.
#pragma once

#include "objects/language/obj_context.h"

constexpr int kMaxDragPoints = 70;
constexpr int kMaxSeriesPoints = 50;

// File order, the kind in each vertex's edge flag; no section: one point
// at the origin of kind 0 and the index reset.
int ReadFixpSection(ObjContext& context, bool resetIndex);
// Pairs of 5009 buffers, the last segment read first.
int ReadDragSection(ObjContext& context);
// A pilaster (type 17) reads only the first CUT2D outline.
int ReadCutSection(ObjContext& context);
int ReadPoligDedSection(ObjContext& context);
// Vertex flag 1, or -2 for a negative count; POLIGARC points are not scaled.
int ReadPoligSection(ObjContext& context);
// File order.
int ReadIslandHSection(ObjContext& context);
// Planes at the head of the list, each in file order.
int ReadSt3dPlaneSection(ObjContext& context);
// The SERIES block at the cursor (after its keyword line): each CONTORNO
// repeated as the ARRAY statement places its copies, unscaled.
int ReadSeriesBlock(ObjContext& context);

// Copy k of an array with offset V, centre C and angle A per copy, inside
// an enclosing copy given by its offset p1, centre p2 and angle a: where the
// ARRAY statement and the SERIES block put the points of their copies.
Point3 TransformCopyPoint(const Point3& p1, const Point3& p2, double a, int k, const Point3& V, double A,
                          const Point3& C, const Point3& q);
