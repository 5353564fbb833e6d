// Stand-ins for the section object's cut at the section plane and its
// level-layer reading, which the face set calls: the cut records what it
// was handed and keeps nothing; a layer named "VELM3D…" reads as a 3D wall
// layer (-1), every other as an ordinary one. Reset per test.
#pragma once

#include <vector>

#include "core/geometry/geom_basic.h"

struct CutCall {
    Point3 corners[4];
    int words[4];
    double level;
};

std::vector<CutCall>& CutCalls();
