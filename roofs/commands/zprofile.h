// The Z-profile command.
#pragma once

// "VELMZPROF": a flat slab-like element (walkway, plinth, terrace step) at
// a bottom height above the floor, kept as a slab with flag word 28 plus
// its link and 2D flags.
void CmdZProfile();
