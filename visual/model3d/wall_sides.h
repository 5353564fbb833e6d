// The side of a straight wall face as 3DFACE triangles: the vertical
// polygon between its bottom and top profile, the openings of the objects
// set into the wall cut out (notches where they reach the border, bridged
// holes inside), ear-clipped on the side's level layer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/geometry/vertex_list.h"
#include "roofs/slab_queries.h"

struct WallFace;

// The side at its own heights (floor height, per-line heights, slabs
// associated with the wall lines); marks the face's lines with mode 1.
// Returns the side's outline in world coordinates (the
// bottom profile from E to S, then the top from S to E), empty when no
// side was made.
std::vector<Point3> GenWallSide(const WallFace& face, const std::string& layer, double elevation,
                                double height);
// The same with the top under `planes` where the lines have no slab
// associated above (elevation + height where no plane applies); mode 2.
std::vector<Point3> GenWallSideUnderSlabs(const WallFace& face, const std::string& layer, double elevation,
                                          double height, const SlabPlaneRec* planes);

// The slab planes associated with the face's wall lines: above (top) or
// below; choice and height take the association's switch and height as
// CollectSlabPlanes hands them out.
SlabPlaneRec* CollectFaceSlabPlanes(const WallFace& face, double elevation, std::uint8_t& choice,
                                    double& height, bool top);
// The level records of the face: one per straight-face edge, its above
// association first and its below one second.
Model3DLevelRec* BuildFaceLevelRecs(const WallFace& face);

// Consecutive repeats (3D) of an open list removed; the list is returned.
VertexNode* RemoveRepeats(VertexNode* list);

// The profile from S to E under (or over) the slabs: each piece between
// two crossings at the plane of the slab over it (lowest or highest), at
// defaultZ where none is.
VertexNode* BuildSlabProfile(const Point3& start, const Point3& end, const SlabPlaneRec* slabs,
                             double defaultZ, bool lowest);
// The segment's end, its crossings with every contour edge and its start,
// ordered from the end.
VertexNode* IntersectSegmentWithFaces(const Point3& start, const Point3& end, const SlabPlaneRec* planes);
// The lowest plane over the midpoint of p1-p2 (the first record when it has
// no contour); null when none.
const SlabPlaneRec* FindFaceAtPoint(const Point3& p1, const Point3& p2, const SlabPlaneRec* planes);
