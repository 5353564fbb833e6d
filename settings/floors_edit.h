// Floor operations that reach into the drawing: showing or hiding one floor
// in a paper-space viewport, and deleting a floor with its entities, its
// level layers and the block definitions it leaves unused.
//
// Deletion walks the layer table once to decide which layers to empty, the
// drawing's entities once to erase them, and once more to learn which
// layers and blocks are still referenced: linear in the drawing's size.
// The block definitions offered for removal are the anonymous ones; named
// blocks are the user's library and stay.
#pragma once

#include <functional>
#include <string>

#include "host/db/dbmain.h"
#include "settings/floors.h"
#include "settings/viewmode.h"

// Thaws (floor visible) or freezes (hidden) the floor's layers in the
// viewport only. A layer that a visible floor also lists is never frozen;
// a layer of a view-mode list is thawed only when the viewport shows that
// list. `cvport` 1 (paper space itself) changes nothing.
void ApplyViewportVisibility(const AA_PIANO& floor, const VELM_PIANI& floors, ZcDbDatabase* db,
                             ZcDbObjectId viewport, int cvport, const VxdLists& lists);

// Told of each level layer that is still referenced and so is kept.
using KeptLayerReport = std::function<void(const std::string& layer)>;

// Deletes the floor at exactly `z` from `floors` (open for write) and from
// the drawing; nothing when there is no such floor. Only names that really
// end in a '$' level count as level layers, so with levels switched off no
// layer is taken for floor 0's. Without `eraseEntities` (a floor whose
// entities were moved away) the entities left are kept, and so their layers.
void DeleteFloor(VELM_PIANI& floors, double z, ZcDbDatabase* db, const KeptLayerReport& report,
                 bool eraseEntities = true);

// The message shown for a kept layer.
std::string KeptLayerMessage(const std::string& layer);
