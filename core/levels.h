// Levels and layers of the drawing: the level an entity or a stair block
// lies on, the wall elements of a level, the type of a placed object, arc
// data, layer visibility and colour, and the object and preview bitmaps
// (the layer name of a level is in core/level_layers.h). Readers give neutral values (0, -1, none) when the
// entity or table cannot be opened; only SelectOnWallLayers prints.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "host/ge/gebase.h"
#include "host/ui/uibase.h"
#include "host/util/adscodes.h"

// 0 when the layer exists and is off or frozen; 1 otherwise.
int IsLayerVisible(std::string_view layer);
// mode 0: on/off; 1: thaw/freeze; 2: both.
void SetLayerState(std::string_view layer, bool visible, int mode);
// Sets the layer's colour (the next index when it already has that one,
// 255 wrapping to 1) and regenerates quietly. The former colour; 7 when the
// layer cannot be opened.
int SetLayerColorAndRegen(std::string_view layer, int color);

// The level of an entity: of its layer's "$" number, or, with `followBlocks`
// and a stair insert ("VELM6$_$MODE_SCALE-" xdata), of the first entity of
// its block that has one. `base` gets the layer name before the "$" (empty
// for a stair insert). 1, or 0 when the entity cannot be read or its layer
// carries no level.
int GetEntityLevel(const ads_name entity, double& level, std::string* base, bool followBlocks);
// Read mode (`shift` false): `level` gets the level of the stair insert's
// block. Shift mode: every entity of the block on a level layer moves to
// the layer of the same base name at its level + (newLevel - level), the
// layer made from "LAYERC.DEF" when missing. Nothing without the xdata.
void GetOrShiftBlockLevel(const ads_name entity, double& level, bool shift, double newLevel);

// The type code of a placed parametric object ("VELM5$_$PARAMETRI-"
// xdata); -1 without the xdata or for a temporary object.
int GetParamObjectType(const ads_name entity);
// An ARC's centre, radius and angles (and normal). 1, or 0 for another kind.
int GetArcData(const ads_name entity, ArcRecord& arc, ZcGeVector3d* normal = nullptr);

// The bitmap NAME from "velmObjBmp.dll" (resource prefix + name), else the
// file (folder + name).BMP on the support path. Null when neither exists.
HBITMAP LoadObjectBitmap(std::string_view folder, std::string_view prefix, std::string_view name);
// folder + "/velmAnteprime/_" + name + ".BMP", else "IDB_" + name from
// "velmPovTexture.dll". Null when neither exists.
HBITMAP LoadPreviewBitmap(std::string_view folder, std::string_view name);
