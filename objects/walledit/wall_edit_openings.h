// The openings of a wall face that wall editing moves: an opening set into
// the stretch being moved is taken out (its wall lines joined across its
// gap, its INSERT erased) and placed again on the moved face, as its
// definition draws it, in the re-placement mode that asks the user nothing.
//
// Everything an opening needs is checked when it is prepared, before the
// command changes anything: its record, its kind (an opening in a straight
// wall), its definition with its sections and values, and the two wall
// lines at its gap.
#pragma once

#include <memory>

#include "core/geometry/geom_basic.h"
#include "walls/graph/wall_face.h"

class WallOpeningMover {
public:
    virtual ~WallOpeningMover() = default;
    // Where the opening is referred to (its insertion point as placed).
    virtual Point3 ReferencePoint() const = 0;
    // Joins the wall lines across the gap and erases the INSERT.
    virtual bool TakeOut() = 0;
    // Places it again with its reference at `at` on the wall under it.
    virtual bool PlaceAgain(const Point3& at) = 0;
};

// Null when the opening cannot be moved: no readable record, another kind
// than an opening in a straight wall, its definition or a section of it not
// read, or a wall line at its gap missing.
std::unique_ptr<WallOpeningMover> PrepareWallOpening(const OutlineNode& outline, double level);
