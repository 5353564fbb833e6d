// The slabs covering the walls of a level, as the wall hatch asks for them.
#pragma once

#include <memory>

#include "visual/model3d/hatch_cmds.h"
#include "roofs/slab_queries.h"

// The covering slab planes of one level; the list is freed with it.
struct HatchSlabPlanes : HatchCoveringSlabs {
    SlabPlaneRec* planes = nullptr;
    explicit HatchSlabPlanes(SlabPlaneRec* list) : planes(list) {}
    ~HatchSlabPlanes() override { FreeSlabPlanes(planes); }
    HatchSlabPlanes(const HatchSlabPlanes&) = delete;
    HatchSlabPlanes& operator=(const HatchSlabPlanes&) = delete;
};

// The slabs over the walls of `level` (outlines flattened, above the level
// only); null when there is none.
std::unique_ptr<HatchCoveringSlabs> CollectHatchCoveringSlabs(double level);
