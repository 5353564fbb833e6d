// Drawing aids: a plane surface of 3DFACEs through typed points
// ("VELMPSURF"), distances with running totals ("VELMDISTANCE"), offset
// copies on the current layer ("VELMOFFSETCL"), a rotation to an absolute
// angle ("VELMROTATEAS") and the snap angle taken from a reference line
// ("VELMROTSNAP", transparent).
#pragma once

#include "host/util/adscodes.h"

// The direction points of a picked LINE, TRACE, polyline segment (its
// VERTEX) or ARC, in the current user coordinates, the one nearer the pick
// first. RTNORM, or RTERROR for another kind (no angle).
int GetEntityAngle(const ads_name entity, const ads_point pick, ads_point first, ads_point second);

// "VELMPSURF"
void CmdPlaneSurface();
// "VELMDISTANCE"
void CmdDistance();
// "VELMOFFSETCL"
void CmdOffsetCurrentLayer();
// "VELMROTATEAS"
void CmdRotateAbsolute();
// "VELMROTSNAP"
void CmdRotSnap();
