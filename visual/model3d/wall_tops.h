// The horizontal caps that close the tops of the walls and pilasters of a
// floor, and the feet under the walls' caps.
#pragma once

#include <string>

// Pilaster caps (pilasters of the floor only), one cap per wall pair and
// the top and foot of every curved wall, with its foot at the elevation (cut at the openings reaching the
// floor); prints "\nNie można rozpoznać ścian w bieżącym rysunku" when no wall pair is found (the pilaster
// caps made stay).
void GenWallTops(const std::string& layer, double elevation, double height);
