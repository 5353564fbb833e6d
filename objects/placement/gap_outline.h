// The cut outline of an object set into a wall, as the wall-line cuts need
// it: where the gap runs on each face, the corner points of a corner object
// and the radii of an arc wall. The outline record itself is read by the
// wall-face graph, which sits above this library; its registration hands the
// reader down through SetGapOutlineReader. Unset, no outline is ever found
// and the cuts leave every wall line as it is.
#pragma once

#include <functional>
#include <string>

#include "core/geometry/geom_basic.h"
#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"

inline constexpr const char* kGapOutlineApp = "VELM5$_$TAG3DISTR-";
inline constexpr const char* kPilasterOutlineApp = "VELM5$_$PILASTROSTR-";

// Face A holds the gap from jamb1's first to jamb2's first point, face B
// from jamb1's last to jamb2's last point. Corner 1 pairs with the last
// points, corner 2 with the first (kind 18).
struct GapOutline {
    ads_name entity = {0, 0};
    int kind = 0;    // 11 straight wall, 12 arc wall, 18 wall corner
    double z = 0.0;  // the level of the object's layer, else its height
    Point3 base;     // the object's insertion point
    Point3 gapA[2], gapB[2];
    double gapAngle[2] = {0.0, 0.0};  // kind 12: from base to gapA[0], gapA[1]
    double radiusA = 0.0, radiusB = 0.0;
    double wallThickness = 0.0;
    Point3 corner[2];
};

// Reads an entity-data list holding groups -1, 8, 10 and the outline
// record into `out`; false without a usable record.
using GapOutlineReader = std::function<bool(const resbuf* list, GapOutline& out)>;
// The pilaster outline of an entity (one vertex per stored point, at the
// level of its layer); null without the record. The caller frees it.
using PilasterOutlineReader = std::function<VertexNode*(const ads_name entity)>;

void SetGapOutlineReader(GapOutlineReader reader);
void SetPilasterOutlineReader(PilasterOutlineReader reader);

// The outline of a placed object read from the drawing.
bool ReadGapOutline(const ads_name entity, GapOutline& out);
// The outline built from data already read: the object's xdata, its
// insertion point, layer and name (an erased object's, captured while an
// editing command ran).
bool CreateTag3DiStrNode(const resbuf* xdata, const Point3& base, const std::string& layer,
                         const ads_name entity, GapOutline& out);
VertexNode* ReadPilasterOutline(const ads_name entity);
