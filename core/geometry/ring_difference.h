// What is left of one plane polygon when another is taken away: the
// boolean difference of two simple rings, as the wall sides need it when an
// opening's hole outline cuts or notches a face polygon.
//
// Both rings are split at every point where they meet (crossings, a vertex
// of one on an edge of the other, collinear overlaps); each piece of edge is
// kept or dropped by where its midpoint lies (subject pieces outside the
// cutter, cutter pieces inside the subject, shared pieces only where the two
// interiors lie on opposite sides), and the kept pieces are chained into
// closed rings. Collinear overlaps, which break the usual crossing walk, are
// therefore ordinary here: a door whose hole runs along the bottom of a wall
// simply takes that stretch of the bottom away.
//
// Works in plan (x, y) on small rings (quadratic in their vertex counts);
// z is carried along the subject's edges, so rings lying in one plane
// parallel to XY keep it. Self-intersecting rings are not supported.
#pragma once

#include <vector>

#include "core/geometry/vertex_list.h"

// The pieces of `subject` lying outside `cutter`, each a closed ring running
// the way the subject runs. A vertex keeps the edge flag and numbers of the
// edge starting at it (a cutter edge keeps its own although it is walked the
// other way); a vertex where the boundary passes from one ring to the other
// has mark 1, every other mark 0. A cutter wholly inside the subject gives
// the subject and, as a second ring, the cutter run the other way (a hole);
// a cutter apart from it gives the subject alone; a cutter covering it gives
// nothing. Points closer than tol are one point. A subject of fewer than
// three distinct points gives nothing; a cutter of fewer gives the subject.
std::vector<OwnedList<VertexNode>> SubtractRing(const VertexNode* subject, const VertexNode* cutter,
                                                double tol);
