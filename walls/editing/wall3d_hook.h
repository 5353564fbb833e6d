// The door from the wall editing commands to the 3D model, which lies above
// the walls: after a command took wall lines away or rewrote them, the 3D
// faces standing on the old sides go and the sides met at each touched line
// are made again. The 3D model's registration sets the hooks; while they are
// unset, the calls do nothing (the plan is changed, the 3D model is not).
#pragma once

#include <functional>

#include "core/geometry/geom_basic.h"
#include "host/util/adscodes.h"

// The 3D faces of the floor at `level` standing on the segment a-b go.
using Erase3DFacesOnSegmentHook = std::function<void(const Point3& a, const Point3& b, double level)>;
// The 3D sides of the walls met at that wall line are made again.
using Regen3DWallsAtLineHook = std::function<void(const ads_name line, double level)>;

void SetWall3DRefreshHooks(Erase3DFacesOnSegmentHook erase, Regen3DWallsAtLineHook regen);
void Erase3DFacesOnWallSegment(const Point3& a, const Point3& b, double level);
void Regen3DWallsAtLine(const ads_name line, double level);
