// The insertion run: a loaded object definition becomes a placed object.
// `InsertParamObject` reads the definition, its variables and parameter
// sets and gets the parameter values; `PlaceParamObject` finds the host,
// places the object, reads the remaining sections, draws the block, makes
// the INSERT with its records, cuts the walls or the slab it sits in and
// advances the counters, once more for every repeat of a new insertion.
//
// Run modes (ObjContext::runMode): 0 new insertion, 1 modify, 2 replace,
// 3 insertion from the parameter-set editor, 4 room cards, 5 schedule
// records (no unique-code check), 6 regeneration, 7 wall editing (an
// opening keeps its position), 8 dimension symbols, 9 lighting deductions.
// Only mode 0 repeats, asks the opening prefix and counts.
#pragma once

#include "core/geometry/geom_basic.h"
#include "core/layer_catalogue.h"
#include "host/util/adscodes.h"
#include "objects/language/obj_context.h"

// The answer "Zastąp" at a host pick or in the free placer.
constexpr int kReplaceChosen = 1000;

// `hostPoint`: where an opening in a straight wall is to sit, or null.
// `source`: a placed object whose parameter values are taken over, or
// null / a cleared name. `takeFileValues`: the VAR values of the file
// replace those kept in the store. 1000 for "Zastąp", else 0.
int InsertParamObject(ObjContext& context, const Point3* hostPoint, const ads_name source,
                      int takeFileValues);
// 1 when the run ended normally, 1000 for "Zastąp", -1 on cancel or error
// (what earlier passes placed stays).
int PlaceParamObject(ObjContext& context, const AAR_LAYERC& layers, const Point3* hostPoint);
// label 0: the window or door counter; 1: the progressive label.
void AdvanceObjectCounters(ObjContext& context, int label);
