// The wall drawing engine: a first point (or a wall to start from, or a cap
// at the start), then next points in the wall jig's loop with undo, arcs,
// closing, joining a picked wall, a cap at the end and a triangle. Every
// accepted segment is written at once as two faces mitred to the one
// before; walls met at the start and the end are split and opened when
// trimming is on. Cancel takes back everything drawn and restores the met
// walls, so the drawing is as before.
#pragma once

#include <vector>

#include "host/db/dbid.h"

class AJIG_MURO;
class VELM_MUROJ;

// Runs one wall drawing with the options of the settings store, shown
// first in the 2D wall options dialog when `showOptions`. RTNORM when it
// ended with walls drawn, RTCAN when cancelled or nothing was drawn.
int DrawWalls(bool showOptions);
// With `showOptions`, shows the 2D wall options dialog first and returns
// false when it is cancelled, reading nothing. Then reads the drawing's wall options into the jig (floor
// elevation, trimming, alignment) and the segment (wall type, layer, thicknesses), and makes sure the floor's
// wall layer exists: a layer still missing waits in the jig's pending entries for the first face written on
// it.
bool OpenWallOptions(AJIG_MURO& jig, VELM_MUROJ& segment, bool showOptions);
// Erases the LINEs of the current floor's wall layers shorter than
// GeomEpsilon; how many were erased.
int EraseNullWallLines();
// The same among `touched` only (the lines one wall command made or
// changed): the command's clean-up costs what it drew, not the floor.
int EraseNullWallLines(const std::vector<ZcDbObjectId>& touched);
