// The floor slab command.
#pragma once

// "VELMFSLAB": a flat slab from an outline by points, by the outer contour
// of the floor's walls or by a drawn outline, with openings, optionally
// linked to the floor and hatched.
void CmdFloorSlab();
