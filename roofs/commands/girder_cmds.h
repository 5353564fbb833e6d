// The girder commands.
#pragma once

// "VELMGIRDER": a row of girders under a slab, perpendicular to a picked
// slab edge or to a given direction.
void CmdGirders();
// "VELMRGIRDER": remakes picked girders with the current settings and a new
// recess or projection at a picked slab edge.
void CmdRebuildGirders();
