// VELMFUNLINE: separation lines, plain LINEs on the floor's separation
// layer that the wall-face graph takes as room boundaries, drawn as a chain
// from a wall line to a wall line or another separation line.
#pragma once

void VelmFunLine();
