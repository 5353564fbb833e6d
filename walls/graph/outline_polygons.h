// Object outlines on wall-face polygons. An opening linked to a wall face
// carries, besides its plan jambs, the outline of its hole on each face of
// the wall (a second pair for the other wall at a corner object). These
// functions pick the hole outline that belongs to a face, split and notch
// the face's elevation polygons with it, and tell what share of an opening
// lies on a stretch of wall.
//
// The choice of outline works on the plan points of the face and of the
// outline's jambs. The polygon operations work on the x and y of the points
// they are given: the callers move the face's polygons and the hole outlines
// into the face's plane first (x along the face, y upward), changing the
// outlines' rings in place.
#pragma once

#include "core/geometry/vertex_list.h"
#include "walls/graph/wall_face.h"

// The hole outline of the object on the wall face of the segment, owned by
// the outline; null for arc openings (kind 12), other kinds, and an outline
// without jambs. An opening (kind 11) gives its external-face outline when
// the segment runs along the face where the jambs end, its internal-face one
// otherwise; a corner object (kind 18) gives the outline of whichever of its
// four sides the segment runs along, tried in the order (jamb1 last, corner
// 1), (corner 1, jamb2 last), (jamb1 first, corner 2), (corner 2, jamb2
// first), or null.
VertexNode* GetOutlineSideRing(const Point3& segStart, const Point3& segEnd, const OutlineNode* outline);

// The share, 0.0 to 1.0, of the opening's gap that the segment holds: 1.0
// for a gap wholly on it, the part on it for a gap that runs past one of its
// ends, 0.0 for a gap not on it. Always 1.0 for an arc opening; a corner
// object counts wholly (1.0) for the segment that holds the first jamb's
// end but not the second's, on either face, and not at all otherwise.
double GetOutlineCoverage(const OutlineNode* outline, const Point3& segStart, const Point3& segEnd);

// The two points of the ring lying farthest apart, by one pass: 1, or 0 for
// an empty ring (both points zero). A ring of one point gives it twice.
int RingExtent(const VertexNode* ring, Point3& a, Point3& b);

// Cuts each polygon of the list by the hole outline of every outline linked
// to the face: a polygon whose border the hole crosses in exactly four
// points on two edges (a window running right through it) is split into the
// pieces outside the hole, the first replacing the polygon's ring and the
// others put at the front of the list; a polygon the hole covers leaves the
// list. Every edge that the hole crosses twice gains a vertex between the
// two crossings. Returns the list; the face keeps its outline links.
ContourNode* CutPolygonsByOutlines(ContourNode* polygons, const WallFace* face);

// The ring, made clockwise, with the hole outline of each outline linked to
// the face that reaches its border (a door standing on the bottom of the
// wall) taken out as a notch. Holes lying wholly inside are left for the
// caller to add; a hole that would split the ring is left to
// CutPolygonsByOutlines. The ring passed in is consumed.
VertexNode* MergeOutlineIntoPolygon(VertexNode* ring, const WallFace* face);
