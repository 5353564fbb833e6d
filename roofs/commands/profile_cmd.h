// The profile sweep command.
#pragma once

#include "host/util/adscodes.h"

class CPROFILI;

// "VELMGPROF": a closed section swept along a path into 3DFACEs, by
// default in a new block inserted at the path's first point.
void CmdProfileSweep();

// The path from a picked chain of lines, arcs and polylines, starting at
// the end of the picked element nearer the pick: the host status, the path
// in the profile (null when none).
int SelectCurveDefinition(CPROFILI& profile, double arcStep);
