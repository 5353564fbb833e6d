// Reading entities through their entity-data lists: an entity with one
// application's xdata, its type and effective colour, the checks that an
// entity is of a type on a (wall) layer and level, selections of a type on
// a layer or on the wall layers of a level, the geometry of a CIRCLE, LINE
// or 3DFACE, and erasing a type on a layer. Every function frees the lists
// it reads; returned lists and selection sets are the caller's.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "host/util/resbuf.h"

// The application that marks rectangle outlines, left out of some selections.
constexpr const char* kRectangleApp = "VELM13CAD$_$RECTANGLINE-";

// The entity's list with `app`'s xdata; null when it holds no group 1001.
resbuf* GetEntXData(const ads_name entity, const char* app);
// flag 0 highlights, any other value removes the highlight.
void HighlightEntity(const ads_name entity, int flag);
// The group 0 type (empty when unreadable) and, when asked, the colour the
// entity shows: its own, else its layer's (positive also for a layer that
// is off), 256 when the layer is unknown, 0 without a layer.
void GetEntTypeAndColor(const ads_name entity, std::string& type, int* color = nullptr);
// 1 when the entity's type and layer equal these, without regard to case.
int CheckEntTypeAndLayer(const ads_name entity, std::string_view type, std::string_view layer, bool verbose);
// 1 when the entity is of `type` on a wall layer of the drawing at a level
// (`level` in: the level to match when `matchLevel`; out: the entity's level
// otherwise). Levels compare within GeomEpsilon.
int CheckEntityLevelLayer(const ads_name entity, std::string_view type, bool verbose, double& level,
                          bool matchLevel, bool excludeRectangles);
// Select-all of a type: 1 and the set, or 0.
int ExistsEntityType(std::string_view type, bool verbose, ads_name set);
// Select-all of a type on a layer (optionally without rectangle outlines).
// Names longer than 259 bytes find nothing.
int SelectTypeOnLayer(std::string_view type, std::string_view layer, bool verbose, ads_name set,
                      bool excludeRectangles);
// The names of the drawing's wall layers at a level, in the drawing's order;
// a selection filter reads each as a pattern.
std::vector<std::string> WallLayerNamesAt(double level);
// Every entity of a type on the drawing's wall layers at a level: 1 and the
// set, or 0 (with a message when `report`).
int SelectOnWallLayers(std::string_view type, ads_name set, double level, bool report);
// Keeps only the free lines and arcs (not wall elements) of a set.
void FilterLineArcSelection(ads_name set);
// Erases every entity of a type on a layer: 0 when none was found.
int EraseTypeOnLayer(std::string_view type, std::string_view layer);

struct CircleRecord {
    Point3 centre;
    double radius = 0.0;
};
int GetCircleData(const ads_name entity, CircleRecord& circle);
int GetLineData(const ads_name entity, Point3& start, Point3& end);
int Get3dFaceData(const ads_name entity, Point3 corners[4]);
