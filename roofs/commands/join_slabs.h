// The projection of two slabs onto a target roof slab.
#pragma once

#include "core/geometry/geom_basic.h"
#include "host/util/adscodes.h"

// Where the unbounded line through a and b meets the plane of the slab's
// outline; false when the outline has no plane, when the plane is vertical
// (|c| below the single-precision epsilon) or when the line does not meet it.
bool IntersectLineWithSlabPlane(const ads_name slab, Point3& out, const Point3& a, const Point3& b);

// "VELMJ3SLABS": a picked edge of each of two slabs (the pitches of a
// dormer) replaced by the line where the slab meets the target's plane,
// and the target given an opening or a notch along the joined edges.
void CmdJoin3Slabs();
