#include "roofs/hatch_slabs.h"

std::unique_ptr<HatchCoveringSlabs> CollectHatchCoveringSlabs(double level) {
    SlabPlaneRec* planes = CollectCoveringSlabs(level, true, true, false, true);
    if (!planes) return nullptr;
    return std::make_unique<HatchSlabPlanes>(planes);
}
