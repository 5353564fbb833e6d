// The inner line of one wall face of a double-line wall: the face moved a
// fixed distance towards its partner face, met with the inner lines of the
// faces adjoining it at its ends, then cut into pieces: stopped at the
// jambs of the openings set into the face, the piece at an end held by an
// object at a wall corner left out, interrupted across pilasters and
// stopped where it runs into one.
//
// Pure geometry over the graph's records; writing the pieces is the
// command's.
#pragma once

#include <utility>
#include <vector>

#include "walls/dblwall/dblwall_pairing.h"

struct DoubleLine {
    Point3 start, end;
};

// The face moved `distance` along `angle`; each end met with the inner line
// the first adjoining face (list order; straight, not a pilaster face, not
// collinear) would get, on the side that keeps it off both faces.
DoubleLine BuildDoubleLine(const WallFace& face, double angle, double distance, const DoubleLineFaces& faces);

// The pieces of the line to draw, in order along it.
std::vector<DoubleLine> DoubleLinePieces(const WallFace& face, const DoubleLine& line,
                                         const std::vector<const VertexNode*>& pilasters);
