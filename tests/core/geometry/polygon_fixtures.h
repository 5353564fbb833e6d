// Polygons for the geometry tests: seeded random simple polygons and a few
// fixed shapes, as plain point vectors and as numbered vertex lists.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "core/geometry/triangulate.h"

using Outline = std::vector<Point3>;

// Star-shaped around the origin: sorted random angles, random radii.
Outline RandomStarPolygon(std::mt19937& rng, int n);
// A random permutation untangled by 2-opt moves: any simple shape can come.
Outline RandomTwoOptPolygon(std::mt19937& rng, int n);
// Regular n-gon of radius r.
Outline ConvexPolygon(int n, double r);
// A comb of `teeth` teeth: deep notches, many reflex vertices.
Outline CombPolygon(int teeth);
// A strip wound `turns` times round the origin, n points along each side.
Outline SpiralPolygon(int n, double turns);
// A star with `points` spikes alternating between two radii.
Outline RegularStar(int points, double inner, double outer);
// A square whose sides carry `perSide` - 1 extra collinear vertices each.
Outline SubdividedSquare(int perSide);

double ShoelaceArea(const Outline& poly);                   // signed, positive counter-clockwise
bool StrictlyInside(const Point3& p, const Outline& poly);  // parity, no tolerance
bool IsSimpleOutline(const Outline& poly);

// A counter-clockwise vertex list numbered 0 .. n-1 in data1, contour 0.
VertexNode* NumberedList(const Outline& poly, int contour = 0);

struct Triangle {
    Point3 a, b, c;
    int flags70;
};
// Reads and frees a face list.
std::vector<Triangle> TakeFaces(FaceRecord* faces);
