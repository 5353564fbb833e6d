// The layer of a level: "VELM" + base + "$" + level, reusing an existing
// layer of the same base whose level is equal within kLevelTolerance. The
// layer service names its layers through it, and the levels read them back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/geometry/geom_basic.h"

// Levels closer than this are the same level.
constexpr double kLevelTolerance = GeomEpsilon;

// Turns `name` (a base name) into the layer name of `level`; unchanged when
// levels are switched off.
void MakeLevelLayerName(std::string& name, double level);
// The same among the given layer names, in their order.
std::string LevelLayerNameAmong(std::string_view base, double level,
                                const std::vector<std::string>& layerNames);

// Every layer name of the working database in the table's order.
void GetLayerNames(std::vector<std::string>& names);
