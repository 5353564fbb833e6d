// The closed outlines of the cut walls of a view, from its visible
// segments: the cut segments (colour below 0) are merged where they overlap
// on one line, split where another cut segment ends on a wall's cut, chained
// per layer, and searched for closed rings; the two cut faces of a wall
// whose ends meet nothing (a wall without cut top and bottom) are closed
// into a four-sided ring between them, and so is a wall cut into a U (its
// top closed, its foot open). The rings are the boundaries of the section
// hatch.
//
// The segments are worked on as a table in list order: a removed segment is
// freed and its slot left null, a new one is appended. Screening by plan
// boxes (BoxIndex) and an index of end points keeps the passes near linear
// on whole floors; the results are those of trying every pair in order.
//
// Limits: the ring search follows at most 16 segments from its start and
// gives up a start after a bounded number of steps, so a pathological
// tangle of cut segments yields fewer rings rather than an endless search.
#pragma once

#include <cstdint>
#include <vector>

#include "core/geometry/geom_basic.h"

struct ViewSegment;
class CSezione;

// Recomputes the segment's cell box on the grid of the cell size.
void SegmentCells(ViewSegment& segment, double cellSize);

// Merges the collinear cut segments (within t) that overlap: one lying on
// another is freed, two that overlap become the first from the outer ends.
// With perLayer only segments of one layer value are merged. Returns how
// many segments were freed.
int MergeCollinearCuts(std::vector<ViewSegment*>& segments, bool perLayer, double t, double cellSize);

// Steps of the wall outlines (with the section object's clean-up setting):
// merges per layer, splits the cuts of 3D wall layers, builds the wall
// chains and finds their rings into the wall outline list. Keeps the
// section's segment count in step with the table.
void BuildWallOutlines(CSezione& section, std::vector<ViewSegment*>& segments);
