// The area a lightweight polyline encloses, its arc segments included.
#include <gtest/gtest.h>

#include <cmath>

#include "host/db/dbpoly.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

ZcDbPolyline* polyline(std::initializer_list<std::pair<ZcGePoint2d, double>> verts, bool closed) {
    auto* pl = new ZcDbPolyline;
    unsigned i = 0;
    for (const auto& [p, bulge] : verts) pl->addVertexAt(i++, p, bulge);
    pl->setClosed(closed);
    return pl;
}

double areaOf(ZcDbPolyline* pl) {
    double a = -1;
    EXPECT_EQ(pl->getArea(a), Zcad::eOk);
    delete pl;
    return a;
}

}  // namespace

TEST(PolylineArea, straight_and_bulged_segments_either_way_round) {
    // A 4 x 2 rectangle, counter-clockwise and clockwise: the same area.
    EXPECT_NEAR(areaOf(polyline({{{0, 0}, 0}, {{4, 0}, 0}, {{4, 2}, 0}, {{0, 2}, 0}}, true)), 8, 1e-12);
    EXPECT_NEAR(areaOf(polyline({{{0, 2}, 0}, {{4, 2}, 0}, {{4, 0}, 0}, {{0, 0}, 0}}, true)), 8, 1e-12);
    // Two half circles of radius 1 (bulge 1): the whole circle.
    EXPECT_NEAR(areaOf(polyline({{{0, 0}, 1}, {{2, 0}, 1}}, true)), kPi, 1e-12);
    // A 2 x 2 square whose bottom edge bows out by a half circle (counter-
    // clockwise, positive bulge adds) or in (negative bulge takes away).
    const double half = kPi / 2;
    EXPECT_NEAR(areaOf(polyline({{{0, 0}, 1}, {{2, 0}, 0}, {{2, 2}, 0}, {{0, 2}, 0}}, true)), 4 + half,
                1e-12);
    EXPECT_NEAR(areaOf(polyline({{{0, 0}, -1}, {{2, 0}, 0}, {{2, 2}, 0}, {{0, 2}, 0}}, true)), 4 - half,
                1e-12);
    // Clockwise, the outward bow is a negative bulge.
    EXPECT_NEAR(areaOf(polyline({{{0, 2}, 0}, {{2, 2}, 0}, {{2, 0}, -1}, {{0, 0}, 0}}, true)), 4 + half,
                1e-12);
    // A quarter-circle arc (bulge tan 22.5°) closing a right triangle: the
    // quarter disc of radius 1.
    EXPECT_NEAR(areaOf(polyline({{{0, 0}, 0}, {{1, 0}, std::tan(kPi / 8)}, {{0, 1}, 0}}, true)), kPi / 4,
                1e-12);
}

TEST(PolylineArea, open_polyline_counts_as_closed_by_a_straight_segment) {
    // The bulge of the last vertex of an open polyline belongs to no segment.
    EXPECT_NEAR(areaOf(polyline({{{0, 0}, 0}, {{2, 0}, 0}, {{2, 2}, 0}, {{0, 2}, 1}}, false)), 4, 1e-12);
    auto* one = polyline({{{0, 0}, 0}}, false);
    double a = -1;
    EXPECT_NE(one->getArea(a), Zcad::eOk);
    delete one;
}
