// The drawing's spatial index: the plan extents of the entities of model
// and paper space in an R-tree, so that windows, fences and picks look only
// at the entities near them instead of opening every entity of the drawing.
//
// The index of a drawing is built on its first query and then kept up to
// date through a database reactor: an entity added, modified, erased or
// unerased (by a command or by undo and redo) has its box made again at the
// next query. An entity inside a block definition changes the look of the
// references and dimensions showing that block (or a block holding it), so
// such a change has those boxed again, and those alone: a floor of doors,
// each its own block, would otherwise box every door again per door.
// Boxes are a little larger than the geometry: the index only narrows the
// candidates, the exact tests decide.
#pragma once

#include <functional>
#include <vector>

#include "host/db/dbid.h"
#include "host/ge/gebase.h"

class ZcDbDatabase;
class ZcDbEntity;

namespace host {

// A plan box, corners in any order.
struct PlanBox {
    double xmin, ymin, xmax, ymax;
};

// The plan box around points (a fence, a polygon).
PlanBox boxOfPoints(const std::vector<ZcGePoint3d>& points);

// forEachSelectable (the entities of the current space, not erased,
// visible, on layers on and thawed, in database order) restricted to the
// entities whose extents meet the box.
void forEachSelectableIn(ZcDbDatabase* db, const PlanBox& box,
                         const std::function<void(ZcDbObjectId, const ZcDbEntity*)>& f);

// The entities of model and paper space, not erased, whose extents meet the
// box, in handle (database) order, whatever their layers' state: what an
// "X" selection would find near a place, for the exact tests to decide.
std::vector<ZcDbObjectId> entitiesIn(ZcDbDatabase* db, const PlanBox& box);

// Drops every drawing's index (the host's reset between sessions).
void resetSpatialIndexes();

}  // namespace host
