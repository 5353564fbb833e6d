// Closed rings from unordered line pieces: the boundary of a region comes
// as loose lines in no particular order or direction; chaining joins them
// end to end into closed rings and bridges the holes into the outer ring.
#pragma once

#include "core/geometry/outline.h"
#include "core/geometry/vertex_list.h"

// Chains the line pieces (kind 0; others are passed by) into closed rings.
// A piece taken is marked kind 1, and a piece met backwards is reversed in
// place. One ring comes back as it is, all its integers 0; several come
// back as one polygon, the outer ring with every hole bridged in (edge flag
// 1 and the ring's number in data2 on every vertex). A ring that cannot be
// closed, or that closes with fewer than three vertices, ends the chaining:
// the rings closed before it are kept. Null when none closes. The pieces
// stay the caller's; the result is freed with FreeList.
VertexNode* ChainSegmentsIntoRings(SegmentRec* segments);
