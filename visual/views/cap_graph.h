// The plan graph of a section's cut edges. Each edge is one piece of the
// cut of a face by the section plane, with the solid whose faces it cuts;
// the graph's bounded faces are where the caps may lie, and each lies
// wholly inside a solid's cut or wholly outside it, for the edges of every
// solid are edges of the graph, split where they meet or cross.
#pragma once

#include <algorithm>
#include <vector>

#include "core/geometry/geom_basic.h"

struct VertexNode;

struct CapCut {
    Point3 a, b;
    int solid = -1;  // the solid whose face it cuts
};

// The plan box of a segment: min x, min y, max x, max y.
inline void PlanBox(const Point3& a, const Point3& b, double box[4]) {
    box[0] = std::min(a.x, b.x);
    box[1] = std::min(a.y, b.y);
    box[2] = std::max(a.x, b.x);
    box[3] = std::max(a.y, b.y);
}

// The cuts split at the ends of others lying on them (within t), so that
// cuts meeting in a T share their vertex. Across solids, also where two
// cross away from their ends (solids that run into each other), and each
// piece given twice (two solids touching along their cuts) is kept once;
// otherwise only at the ends of the same solid's cuts, every piece kept.
std::vector<CapCut> SplitCapCuts(std::vector<CapCut> cuts, double t, bool acrossSolids);

// The bounded faces of the plan graph of the cuts (ends within t are one
// vertex, and so on along a run of them), each a counter-clockwise ring
// owned by the caller; a piece of the graph lying inside a face of another
// is a hole of that face, bridged into its ring.
std::vector<VertexNode*> BoundedFaces(const std::vector<CapCut>& cuts, double t);
