// The floor commands' engines: moving or copying entities (or a whole
// floor) to another floor, setting or shifting Z, the floors met in layer
// names, and the print scale of a paper-space viewport.
//
// Moving an entity to a floor re-layers it onto the level layer of the same
// base name at the target (named by the layer service) and translates it along Z
// by the difference of the levels. Only entities on "VELM" layers move. A
// stair insert (tagged with "VELM6$_$MODE_SCALE-" xdata) takes its level
// from the entities of its block; those are re-layered with it, and the
// stair's two stored heights (xdata items 15 and 16, the application name
// counted as item 1) are raised by the same difference. A copy leaves a
// duplicate at the old place; a stair's duplicate gets its own anonymous
// block, holding copies of every entity of the original block.
//
// The whole-floor sets are found in one walk of the drawing's spaces.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/layer_catalogue.h"
#include "host/db/dbmain.h"

constexpr const char* kStairXDataApp = "VELM6$_$MODE_SCALE-";

// A level as layer names write it: "%f" without trailing zeros or point.
std::string LevelText(double level);
// The base of a "VELM" level layer (between "VELM" and the first '$');
// none when the name does not begin with "VELM" (ignoring case).
std::optional<std::string> LevelLayerBase(std::string_view layer);

// The level of an entity's layer; for a stair insert with `lookInBlock`,
// the level of the first entity of its block that has one.
std::optional<double> EntityLevel(ZcDbEntity& ent, bool lookInBlock);

// The entities to move: plain ones on level layers, and stair inserts.
// Entities on the layers a floor links by name (`linked`) keep their layer
// and move by the floor's level difference.
struct FloorSets {
    std::vector<ZcDbObjectId> plain;
    std::vector<ZcDbObjectId> tagged;
    std::vector<ZcDbObjectId> linked;
    double linkedSource = 0.0;
    bool empty() const { return plain.empty() && tagged.empty() && linked.empty(); }
};

// Everything on a layer ending in "$" + `sourceText` or on one of the
// floor's linked layers, and the stairs whose block level lies within
// `tolerance` of `source`.
FloorSets WholeFloorSets(ZcDbDatabase* db, std::string_view sourceText, double source, double tolerance,
                         const std::vector<std::string>& linkedLayers = {});
// A user's selection split into stairs and entities with a level.
FloorSets SelectionSets(const std::vector<ZcDbObjectId>& selection);

// The level layer of `base` (a layer name without "VELM" and level) at
// `level`, made when missing; none when it cannot be had.
using LayerMaker =
    std::function<std::optional<std::string>(ZcDbDatabase*, const std::string& base, double level)>;
// The module's maker: the layer service with the layer catalogue, which
// reuses an existing layer of that level however its number is written
// ("$3.50" for 3.5). A base that is a catalogue row's layer name rather
// than its key takes that row.
std::optional<std::string> CatalogueLevelLayer(ZcDbDatabase* db, const AAR_LAYERC& catalogue,
                                               const std::string& base, double level);
// A plain layer of that name with the host's defaults.
bool MakePlainLayer(ZcDbDatabase* db, const std::string& name);

// Moves (or copies, `copy`) the sets to the target level. Returns the
// source level of the last entity handled (the floor a whole-floor move
// leaves), none when nothing qualified.
std::optional<double> MoveSetsToFloor(ZcDbDatabase* db, const FloorSets& sets, double target, bool copy,
                                      const LayerMaker& makeLayer);

// The level texts of the drawing's layer names, sorted by character code,
// repeats dropped.
std::vector<std::string> FloorTextsOfLayers(ZcDbDatabase* db);

// Z commands on one entity: lines, arcs, circles and inserts are set to
// Z; other kinds are left alone (false).
bool AssignEntityZ(ZcDbEntity& ent, double z);

// The view height that gives a viewport the print scale 1:s.
double ViewportViewHeight(double paperHeight, double scale, double sftmtcm);
