// Curved wall sides: the side of an arc face cut into vertical strips of
// equal angle on a grid of multiples of the strip angle from angle 0 (so
// walls on one circle share their strip lines), each strip a chord quad, or
// under covering planes a small triangulated polygon, with the openings of
// the objects set into the wall left out between sill and lintel.
#pragma once

#include <string>
#include <vector>

#include "core/geometry/vertex_list.h"
#include "roofs/slab_queries.h"

struct WallFace;
struct FaceEdge;
struct OutlineNode;

// The whole side; 0 (nothing made or marked) when the radius is below the
// single-precision epsilon or 1.999 x radius is less than step, else 1.
// slabMode 1 puts the tops under `covering` where the wall arcs have no
// fixed height; curvedFlag 1 hides the lines between strips.
int GenArcWallSide(const WallFace& face, const std::string& layer, int slabMode, double step, int curvedFlag,
                   double elevation, double height, const SlabPlaneRec* covering);

// The angles, unwrapped from the face's start angle in [0, 2 pi), of the
// corners GenArcWallSide puts along the face: its start, the strip lines
// inside it and its end; empty where it makes no side.
std::vector<double> ArcStations(const WallFace& face, double step);

// A vertical polygon over the chord S-E from the chord's z up to the
// covering planes (elevation + height where none applies).
void BuildStripUnderFaces(const Point3& s, const Point3& e, int bottomFlag, int endFlag, int startFlag,
                          const std::string& layer, double elevation, double height,
                          const SlabPlaneRec* covering);

// The smallest and largest z of a point list (+/- the largest single-
// precision value for an empty one).
void GetZRange(const VertexNode* points, double& zmin, double& zmax);

// Sill and lintel of an opening: the z range of its 3D outline rings
// (its own z where it has none).
void OpeningRange(const OutlineNode& o, double& zmin, double& zmax);
