// A direct, unoptimised transcription of the hole bridging, kept as the
// oracle the fast bridging must match node for node.
#pragma once

#include "core/geometry/polygon.h"

RingNode* ReferenceBridgeHoles(ContourNode* contours);
