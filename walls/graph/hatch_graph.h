// The wall-face graph as the hatch commands ask it: the room around a point
// and the faces of picked walls with their openings.
#pragma once

#include <memory>

#include "visual/model3d/hatch_cmds.h"

// rooms: the current floor's graph with pilasters, junctions and function
// lines merged; otherwise the graph of `level` with pilasters merged.
std::unique_ptr<HatchWallGraph> NewHatchWallGraph(double level, bool rooms);
