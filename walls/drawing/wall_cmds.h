// The wall drawing commands.
#pragma once

// "VELMWALLD": walls drawn with the options of the settings store, object
// snap off meanwhile when OSDISABMURO asks for it; degenerate wall lines of
// the floor erased at the end.
void CmdWallD();
// "VELMRWALL": rectangles of four wall lines, each numbered in the
// "VELM13CAD$_$RECTANGLINE-" record; by two corners, or by a thickness
// ("Grubość") and a base. The next number is kept in SETRECT_INCREMENT
// however the command ends.
void CmdRectWall();
// "VELMLWALL": the layers walls may lie on (dialog 176); "2DWALLS" stays
// first.
void CmdLayerWall();

