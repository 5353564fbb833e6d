// Outline selection: slabs, roofs, profiles and wall holes take their
// outlines from drawn geometry. One pick becomes a closed vertex list: a
// circle, a closed polyline, a chain of lines and arcs picked by one of its
// members, or the outer contour of the current floor's walls. Curved parts
// are cut into chords flagged 101 (approximated edges).
#pragma once

#include "core/geometry/outline.h"
#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"

// status is 1 while the pick runs and 0 after a cancel; a null result with
// status 1 is a failed pick. n < 2 takes the drawing's chord step, else
// curves are divided by n (a circle into 2n chords).
VertexNode* SelectClosedOutline(int& status, const char* prompt, int n, bool joinEnds);
// The LINE and ARC segments of the set other than `picked`, newest first,
// with the picked entity's own segment at the head.
SegmentRec* ChainLinesArcs(const ads_name picked, const ads_name set);
// The closed outer contour of the walls through the picked wall face;
// entity and pick (either may be null) receive the picked wall and point.
VertexNode* SelectFloorOutline(int mode, double elevation, ads_name entity, Point3* pick);
