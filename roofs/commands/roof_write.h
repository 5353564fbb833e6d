// Writing the pitches of a generated roof: each loop becomes one roof slab
// INSERT with its block and slab xdata, optionally hatched.
#pragma once

#include <string>
#include <vector>

#include "core/geometry/geom_basic.h"

class CFALDA;

struct RoofHatch {
    bool make = false;
    std::string pattern;
    double angle = 0.0;
    double scale = 1.0;
};

// Writes every loop of more than two distinct points on the record's name,
// every edge visible; the slab layers must be made. When a block is broken
// off, the pitches this call wrote are erased again, the cancel message is
// printed and false is returned.
bool WriteRoofPitches(CFALDA& record, const std::vector<std::vector<Point3>>& loops, const RoofHatch& hatch);
