// Separator lines: a record "VELM6$_$SEPARATORE-" whose first 1011 point
// and the point after it mark where a wall face stretch is to be cut, so
// that the two pieces can be walls of different types.
#pragma once

#include <vector>

#include "core/geometry/geom_basic.h"

inline constexpr const char* kSeparatorApp = "VELM6$_$SEPARATORE-";

struct SeparatorLine {
    Point3 a, b;
};

// The separators of the level (Z = level); unreadable records are skipped.
std::vector<SeparatorLine> ReadSeparators(double level);
