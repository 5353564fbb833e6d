// The sloped roof slab command.
#pragma once

// "VELMR3D": roof slabs one after another, each from an outline by points
// with its openings and a plane given by a gutter side or three points;
// Enter at the first vertex of a slab ends the command.
void CmdRoofSlab();

// One roof slab entered and written with the settings of the dialog: 1 when
// a slab was written, 0 when the command is to end.
int MakeSlabWithOpenings();
