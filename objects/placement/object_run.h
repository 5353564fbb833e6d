// The parametric object run as the room and schedule writers use it: the
// insertion (parameter set or dialog, then placement), the placement alone
// and the rebuild of a placed object, each answering with a status of the
// host rather than the library's own results.
//
// The context fields the callers fill before a run and read after it:
//   elevation (+ elevationGiven)  the level the object is placed at
//   runMode                       the placement mode (5 schedule tables,
//                                 rows and totals; 8 dimension symbols)
//   skipParamInput                no parameter dialog or prompt: set for
//                                 what is drawn again without the user
//                                 (labels, cards, rows, totals, symbols)
//   flag1                         the caller's insert flag
//   replacementLayer              the insertion prompt
//   insertionPoint, rotation      the insertion point (in/out)
// and after the run: blockName (empty when nothing was made), insertLayer,
// scale and attdefs (the attribute list).
#pragma once

#include "core/geometry/geom_basic.h"
#include "core/layer_catalogue.h"
#include "host/util/adscodes.h"
#include "objects/language/obj_context.h"

// Loads the definition, lets the user choose a parameter set or fill the
// parameters and places the object; `flag` is the insert flag (1 rows,
// totals and labels; 0 tables and redrawn cards). A preset point (a room's
// interior point) is where the object stays when the placement prompt is
// answered with Enter; without a prompt the context's insertion point
// stands. The preset point's Z is set to the insertion Z after placement.
// RTNORM when a block was made, else RTERROR.
int RunInsertParamObject(ObjContext& context, int flag, Point3* presetPoint = nullptr);
// Runs the placement and the DRAW section of a definition already loaded
// into the context, leaving block and attributes in it; RTNORM when a block
// was made, else RTERROR.
int RunPlaceParamObject(ObjContext& context);
// Rebuilds a placed object from its parameters, keeping its mark.
int RunRegenParamObject(const ads_name entity, const AAR_LAYERC& layers);
