// The outline records of the objects set into walls, parsed once per
// drawing and kept: every graph read for an object placed or a wall
// regenerated loads the outlines of the whole level, and parsing each
// object's record anew made placing the objects of a floor grow with the
// square of their number.
//
// A kept outline serves until its entity is added, changed, erased or
// unerased (by a command, undo or redo): a database reactor drops it then
// and the next read parses the record again. What is handed out is a copy
// the caller owns, since the face builder may exchange the points of a gap.
#pragma once

#include <functional>
#include <vector>

#include "host/ads/spatial_index.h"
#include "host/db/dbid.h"
#include "host/util/adscodes.h"
#include "walls/graph/wall_face.h"

// ReadTag3DiStr of the entity, from the kept parse when there is one; with
// `wanted`, none unless it accepts the kept parse (judged before copying).
OutlineNode* ReadKeptTag3DiStr(const ads_name entity,
                               const std::function<bool(const OutlineNode&)>& wanted = {});

class ZcDbDatabase;
// The entities an "X" selection of the outline records' application finds,
// in database order, kept by the same reactor; with `near`, only those
// whose record has a gap or corner point in that plan box.
std::vector<ZcDbObjectId> KeptOutlineEntities(ZcDbDatabase* db, const host::PlanBox* near = nullptr);

// Every kept outline and wall LINE table goes, with its reactor (the
// module's unload).
void DropKeptOutlines();
