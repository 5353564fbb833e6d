// The stair's plan symbol: the stair cut by a horizontal plane at the
// cutting height, drawn as two segment lists of the stair record (below the
// cut and above it) of lines, arcs and circles whose kinds select the layer
// the block writer puts them on:
//   1      inner riser lines
//   2, -2  sides beyond the cut and the end riser on the far side of it
//   3, -3  walking line, arrow heads, start-marker lines; 13 the marker circle
//   4, -4  sides on the drawn side, end risers, cut lines, 2D balustrades
// Positive kinds are lines, kinds 0 to -10 arcs (centre, then radius, start
// and end angle), kinds above 10 circles (centre, then radius).
//
// Representation types: 0 the flight from the start up to the first cut
// line; 1 the whole flight; 2 the whole flight without the stretch between
// the two cut lines; 3 the flight from the second cut line to the arrival.
#pragma once

#include <optional>
#include <vector>

#include "stairs/stair_record.h"

constexpr const char* kStairCutNotFoundMessage =
    "Nie można znaleźć linii cięcia po bokach. Zmień wysokość płaszczyzny cięcia";

// The cut step index of a stair of n risers cut at height h between floors
// H apart: never the first riser, two before the end when the cut lies
// above the upper floor.
int StairCutStep(int n, double h, double H);

// The walking line through the risers' midpoints: lines along straight
// runs, arcs about the crossing of turning risers; broken where the turn
// between two risers exceeds about 78.5 degrees or the risers are too far
// apart for a tread.
std::vector<WalkElement> BuildWalkingLine(const StairElement* risers);

bool IsElementStartAt(const WalkElement& element, const Point3& p);
Point3 WalkStart(const WalkElement& element);
Point3 WalkEnd(const WalkElement& element);
// Where the cut segment crosses the arc of a walking element (on its span);
// the element's start (mode 1) or end (mode 2) is moved there.
std::optional<Point3> ClipArcAtLine(WalkElement& arc, const StairLine& line, int mode);
