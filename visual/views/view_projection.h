// Projection of a view's faces into the structures the visibility pass
// works on: face records (planar triangles and quadrilaterals that may
// hide something) and view segments (every edge that may be drawn), both
// sorted into ten buckets by the part of the view they fall in and screened
// by cell boxes. The section object's own passes (AddSegment, ProjectFace,
// BucketViewLines, SplitSegmentsAtFaces) are declared with CSezione.
//
// Regions: the bounding box is divided at 0.37 and 0.62 of its width and
// height into a 3 x 3 grid numbered 1 to 9 row by row from the lower left;
// a point on a dividing line lies in none. What spans regions goes to
// bucket 0, and a bucket is only ever compared with itself and bucket 0.
#pragma once

#include <cstdint>

#include "core/geometry/geom_basic.h"

struct ViewFaceRecord;

// The bucket (0 to 9) of count (3 or 4) points against the box (minimum x,
// y, z, then maximum x, y, z as CSezione keeps them).
int RegionOfPoints(const Point3* points, int count, const double boxMin[3], const double boxMax[3]);
// The cell box of count (2, 3 or 4) points: floor of the minima and ceiling
// of the maxima over the cell size, axis by axis.
void CellRange(std::int32_t low[3], std::int32_t high[3], int count, const Point3* points, double cellSize);
// Whether p lies in the triangle a, b, c in plan, within the tolerance.
bool PointInTriangle2d(const Point3& p, const Point3& a, const Point3& b, const Point3& c, double tolerance);
// Whether p lies in the face in plan: its first triangle (corners 0, 1, 2)
// or, for a quadrilateral, its second (2, 3, 0).
bool PointInFace2d(const Point3& p, const ViewFaceRecord& face, double tolerance);
