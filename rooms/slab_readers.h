// What the room measurements read of slabs and roof pitches: the outline of
// a slab and the opening outline of an object set into a pitch. Both are
// read from the slab code's own records, so the rooms ask for them through
// one hook that the registration sets; unset, no slab gives an outline and
// no roof window a polygon, and rooms are measured as if under no roof.
#pragma once

#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"

struct SlabReaders {
    // The distinct vertices of the slab's outline loop, or null when the
    // entity is no slab. The caller frees the list.
    VertexNode* (*getSlabOutlineVertices)(const ads_name slab) = nullptr;
    // The opening outline from an xdata list starting at its
    // "VELM5$_$POLIGFALDA-" group: an optional leading 1070 flag (out: true
    // when above 0), then the 1010 points; null when there are none.
    VertexNode* (*readOpeningPolygon)(const resbuf* openingApp, bool* flag) = nullptr;
};

// Sets (or, with an empty record, clears) the hook.
void SetSlabReadersHook(const SlabReaders& readers);
const SlabReaders& SlabReadersHook();
