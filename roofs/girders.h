// Girders (rafters, joists) hanging under a slab: each is a beam of
// rectangular section whose footprint runs across the slab outline along an
// axis, kept as a slab of flag word 4 (an INSERT of an anonymous block of
// 3DFACEs with the slab xdata) so that the slab queries and the 3D model see
// it.
#pragma once

#include <string>

#include "core/geometry/vertex_list.h"
#include "host/ads/adsowners.h"
#include "host/util/resbuf.h"

class CFALDA;

// The footprint of a girder: a rectangle in plan along the axis, each end
// cut at the outline and squared so that it stays inside. corners: first
// side's first end, its last end, the second side's last end, its first end.
// startEdges / endEdges: the outline edges (the vertex starting each) the
// first and last ends of the two sides were cut at.
struct GirderFootprint {
    Point3 corners[4];
    const VertexNode* startEdges[2] = {nullptr, nullptr};
    const VertexNode* endEdges[2] = {nullptr, nullptr};
};

// 1 with the footprint of a girder of that width whose axis runs through
// p1 and p2, 0 when a long side does not cross the outline twice. Works in
// plan; the corners keep z 0.
int ComputeGirders(const Point3& p1, const Point3& p2, const VertexNode* outline, double width,
                   GirderFootprint& out);

// Writes the girder's block from the record's first loop (its lower face)
// and returns the xdata for its INSERT, the block's name in blockName; null
// when the loop does not have exactly four corners or has no plane. With
// `square` the upper face is set at right angles to the lower one (the
// sides square to a sloped slab); `plan` adds the plan outline at z 0.
host::ResbufList MakeGirderBlock(CFALDA& record, bool square, bool plan, std::string& blockName);
