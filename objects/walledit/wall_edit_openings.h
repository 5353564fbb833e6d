// The openings of a wall face that wall editing moves: each is read back
// into an object context before the edit changes anything, taken out of
// its wall (the wall lines joined across its gap) and placed again at its
// reference point on the moved face, in the re-placement mode that asks
// the user nothing. Set as the walls' opening mover by the registration.
#pragma once

#include <memory>

#include "walls/editing/opening_mover_hook.h"

// Null when the opening cannot be moved: no readable record, another kind
// than an opening in a straight wall, its definition or a section of it not
// read, or a wall line at its gap missing.
std::unique_ptr<WallOpeningMover> MakeWallOpeningMover(const OutlineNode& outline, double level);
