// The ear clipping of a slab's bridged ring into the triangles of its
// bottom and top faces. The search is fixed by the stored slabs: candidates
// A are scanned from the head (P before A, B, C, D after it), A-B-C is an
// ear unless the angle at B is reflex, the diagonal A-C leaves the angle at
// A or at C, or it crosses an edge of the ring not touching A, B or C; an
// ear cuts B and the scan starts again from the head. What no scan can cut
// is fanned from the head.
#pragma once

#include <functional>

#include "core/geometry/vertex_list.h"

using SlabFaceSink = std::function<void(const VertexNode* a, const VertexNode* b, const VertexNode* c)>;

// Calls `face` for every triangle in the order the plain scan finds them and
// frees the ring. userBreak (may be null) is asked after every ear and after
// the last scan; when it answers true the clipping stops and false is
// returned (the fan is not made).
bool ClipSlabRing(RingNode* ring, const SlabFaceSink& face, bool (*userBreak)());
