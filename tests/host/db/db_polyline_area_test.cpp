// The plan area of a lightweight polyline, bulges included.
#include <gtest/gtest.h>

#include <cmath>

#include "host/db/dbmain.h"
#include "host/db/dbpoly.h"

TEST(PolylineArea, chords_and_bulged_segments_add_up_either_way_round) {
    ZcDbPolyline square;
    square.addVertexAt(0, {0, 0});
    square.addVertexAt(1, {4, 0});
    square.addVertexAt(2, {4, 4});
    square.addVertexAt(3, {0, 4});
    square.setClosed(true);
    double area = -1;
    ASSERT_EQ(square.getArea(area), Zcad::eOk);
    EXPECT_NEAR(area, 16.0, 1e-12);

    // A half disc of radius 2 on the top edge: bulge 1 runs the half circle
    // counter-clockwise from (4,4) to (0,4), outside the square.
    square.setBulgeAt(2, 1.0);
    square.getArea(area);
    EXPECT_NEAR(area, 16.0 + 0.5 * M_PI * 4.0, 1e-9);
    square.setBulgeAt(2, -1.0);  // bulging inwards
    square.getArea(area);
    EXPECT_NEAR(area, 16.0 - 0.5 * M_PI * 4.0, 1e-9);

    ZcDbPolyline circle;  // two half circles, drawn clockwise
    circle.addVertexAt(0, {0, 0}, -1.0);
    circle.addVertexAt(1, {2, 0}, -1.0);
    circle.setClosed(true);
    circle.getArea(area);
    EXPECT_NEAR(area, M_PI, 1e-9);
}
