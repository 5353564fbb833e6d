// The stair's 3D faces beside the treads: the nosings and the structure
// under the steps. Faces are 3DFACE entities of colour BYLAYER written with
// the host's entity-making call, so they land in the block being made when
// one is open.
//
// The structure's sides are handled as profiles: a point of a side profile
// is a position along the side (its polyline of line ends and arc chords)
// and a height. The upper profile climbs the risers and runs along the
// treads; the lower one follows the structure's undersides. The polygon
// between them is cut at every corner of the side into pieces that each lie
// in one vertical plane, and those are triangulated.
#pragma once

#include <string>
#include <vector>

#include "core/geometry/geom_basic.h"

// One planar polygon given by its world corners, triangulated and written
// as 3DFACEs on `layer`. Repeated corners are dropped; a polygon with less
// than three corners or no plane gives nothing. The number of faces made;
// `failed` is set when the host refused one.
int EmitPlanarPolygon(std::vector<Point3> corners, const std::string& layer, bool& failed);

// One 3DFACE of four corners; false when the host refused it.
bool WriteStairFace(const std::string& layer, const Point3& c1, const Point3& c2, const Point3& c3,
                    const Point3& c4, int edgeFlags);
