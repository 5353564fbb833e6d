// The host an object stands on, asked for before it is placed: a wall line,
// a curved wall, a wall corner, a slab or roof pitch, a stair side or a
// stair's handrail corner, or a main object for an accessory. Each picker prompts by the run mode and pass,
// checks what was picked, keeps the host entities in the context (firstEntity, secondEntity, `host`) and
// defines the host variables the definition reads (wall thickness $1, side angles, arc steps, plane
// coefficients).
//
// Results: 1000 when the user typed "Zastąp"; positive when a host was
// taken; 0 to keep the previous position or to place without a host; -1
// for a cancel, an error, or Enter where it ends the run. "Modyfikuj" runs
// `editParameters` (the parameter dialog of the insertion run) and asks
// again; without it the keyword is not offered.
#pragma once

#include <functional>

#include "host/util/adscodes.h"
#include "objects/language/obj_context.h"

using ParameterEditor = std::function<void(ObjContext&)>;

// Insertion type 11.
int PickWallLine(ObjContext& context, int iteration, const ParameterEditor& editParameters = {});
// The wall line through `point` on the context's elevation, without asking.
int FindWallLineAtPoint(ObjContext& context, const Point3& point);
// Second stage: the other side of the wall, the alignment and the variables.
int FindWallLinesAtPick(ObjContext& context, bool noPrompt);

// Insertion types 12 and 16.
int PickWallArc(ObjContext& context, int iteration, const ParameterEditor& editParameters = {});
int FindArcWallAtPick(ObjContext& context);

// Insertion type 18.
int PickCornerForObject(ObjContext& context, int iteration, const ParameterEditor& editParameters = {});
int ReadCornerLineVars(ObjContext& context);

// Insertion types 19, 47 and 48.
int PickSlabForObject(ObjContext& context, int iteration, const ParameterEditor& editParameters = {});
int ReadSlabPlaneVars(ObjContext& context);

// Insertion type 20: the stair side under the pick becomes the first of
// the context's handrail records. Type 27: the stair's handrail corner.
int PickStairSideForBalustrade(ObjContext& context, int iteration,
                               const ParameterEditor& editParameters = {});
int PickStairForHandrailCorner(ObjContext& context, int iteration,
                               const ParameterEditor& editParameters = {});

// Insertion type 46.
int PickMainObjectForAccessory(ObjContext& context, int iteration,
                               const ParameterEditor& editParameters = {});

// The host of an object rebuilt in place, without asking: the wall lines
// are joined again at it (and the object erased) and the host read anew.
// When its host is gone the object is kept: its message is printed, the
// object brought back with its walls cut again, and 0 returned so the
// caller leaves it as it was.
int RelocateOnHost(ObjContext& context, const ads_name object);
