// The break commands: lines and arcs of the floor's walls broken where a
// drawn path crosses them ("VELMBLA"), and a picked object broken at one
// point ("VELMBREAKA") or between two ("VELMBREAKX"). Every break is the
// host's "_BREAK" given the object as an (entity point) pair.
#pragma once

#include "host/util/adscodes.h"

// Whether the host's break takes an entity of this kind.
bool IsBreakable(const ads_name entity);

// "VELMBLA"
void CmdBreakAlongPath();
// "VELMBREAKA"
void CmdBreakAtPoint();
// "VELMBREAKX"
void CmdBreakBetween();
