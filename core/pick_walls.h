// Pointing at a wall element: the user picks a LINE or ARC lying on a 2D
// wall layer of the current level. A pick that misses, or lands on
// something lying over the wall line (a hatch, a text), is retried on the
// members of a small crossing window around the pick point, so a slightly
// missed pick still finds the wall.
#pragma once

#include <string>

#include "host/util/adscodes.h"

// type: "LINE", "ARC" or "TUTTO" (either), without regard to case.
// keywords: in, the keywords allowed (space-separated, may be empty); out,
// the keyword typed. pickPoint may be null.
// Results: 1 found (entity, layer and the pick point set); 0 nothing
// suitable at or around the pick; -1 cancelled; -2 a keyword; -3 a host
// error other than an empty pick. An empty pick asks again.
int PickLinesAndArcs(const std::string& type, const std::string& prompt, ads_name entity, double level,
                     std::string& layer, std::string& keywords, ads_point pickPoint);
