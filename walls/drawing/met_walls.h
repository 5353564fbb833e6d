// The existing walls a new wall starts from or ends on: picking one, finding
// one at a point, splitting it where the new wall meets it, opening it
// between the new wall's faces, and putting it back as it was.
//
// A met wall is a wall LINE of the current floor. Split, it becomes two
// pieces: the original entity up to the meeting point, and a copy from
// there to the old end, with the same layer and records. Opening moves the
// new wall's face ends onto the met line and, when trimming is on, pulls
// the two pieces back to where the faces cross it.
#pragma once

#include "core/geometry/geom_basic.h"
#include "host/util/adscodes.h"

struct DrawnSegment;

struct MetWall {
    ads_name first = {0, 0};   // the wall LINE met
    ads_name second = {0, 0};  // its second piece once split
    Point3 ends[2];            // its end points, the one nearer to the pick or point first
    Point3 originalEnd;        // the LINE's own end before the split
    bool split = false;

    bool Found() const { return first[0] != 0 || first[1] != 0; }
};

// Asks for a wall LINE of the floor at `level` (not a rectangle line) to
// start from (`start`) or to join to, asking again after a miss or another
// entity; false on cancel.
bool PickStartOrJoinWall(bool start, double level, MetWall& wall);
// The wall LINE of the floor crossing a small window about `at` (its
// half-size 0.3 × `thickness` along the diagonal) nearest to `at`, leaving
// out `skip` (the faces of the previous segment); false when none is
// there or two are nearest alike.
bool FindWallAtPoint(const Point3& at, double thickness, double level, const ads_name skip[2], MetWall& wall);
// Splits the wall at `at` (only when `trim`).
void SplitWall(MetWall& wall, const Point3& at, bool trim);
// Moves the face start points (or, `atEnd`, the end points) of the straight
// segment onto the wall line and, when `trim`, opens the split wall between
// them. Nothing when a face does not cross the wall line.
void OpenMetWall(const MetWall& wall, DrawnSegment& seg, bool atEnd, bool trim);
// Puts a split wall back as one LINE with its old end.
void RestoreMetWall(MetWall& wall);
