// Room contours traced on faces given as records. The areas are checked
// against the room's true area worked out from its geometry: the chord
// polygon plus the correction must give it, whichever way the walk runs.
#include <cmath>

#include "tests/walls/graph/graph_fixture.h"

namespace {

const double kPi = std::acos(-1.0);

// The inner faces of a room 370 x 270, the right side optionally an arc
// through its two corners bulging out (bulge > 0) or in (bulge < 0) with
// its centre `offset` from the side.
struct Room {
    WallFace* bottom = nullptr;
    WallFace* right = nullptr;
    double trueArea = 0.0;
};

Room MakeRoom(CFACCIATE& g, bool bottomBackwards, int bulge) {
    Room r;
    const Point3 a{0, 0, 0}, b{370, 0, 0}, c{370, 270, 0}, d{0, 270, 0};
    r.bottom = bottomBackwards ? StraightFace(b, a) : StraightFace(a, b);
    r.trueArea = 370.0 * 270.0;
    if (bulge == 0) {
        r.right = StraightFace(c, b);
    } else {
        // Centre on the mid line of the side, 70 beyond it (inside for an
        // outward bulge, outside for an inward one).
        const double cx = bulge > 0 ? 300.0 : 440.0;
        const Point3 centre{cx, 135, 0};
        const double radius = std::hypot(370 - cx, 135);
        const double half = std::atan2(135, std::fabs(370 - cx));
        const double segment = radius * radius / 2.0 * (2 * half - std::sin(2 * half));
        if (bulge > 0) {
            r.right = ArcFace(centre, radius, 2 * kPi - half, half);
            r.trueArea += segment;
        } else {
            r.right = ArcFace(centre, radius, kPi - half, kPi + half);
            r.trueArea -= segment;
        }
    }
    SetFaces(g, {StraightFace(d, c), r.right, StraightFace(a, d), r.bottom});
    return r;
}

}  // namespace

TEST_F(GraphTest, a_rectangular_room_gives_a_closed_ring_of_four_corners_without_correction) {
    for (bool backwards : {false, true}) {
        CFACCIATE g;
        g.chordLength = 10.0;
        Room room = MakeRoom(g, backwards, 0);
        double heading = 0.0;
        WallFace* start = g.FindNearestFace({150, 100, 0}, &heading);
        ASSERT_EQ(start, room.bottom);
        double area = -1.0;
        VertexNode* ring = g.RecognizeContour(heading, start, &area, true);
        EXPECT_EQ(CountNodes(ring), 4) << backwards;
        EXPECT_EQ(CountNodes(g.contour), 4);
        EXPECT_EQ(area, 0.0);
        EXPECT_NEAR(ShoelaceArea(ring), room.trueArea, 1e-6);
        FreeList(ring);
    }
}

TEST_F(GraphTest, a_curved_wall_adds_the_segment_area_with_the_sign_of_its_bulge) {
    for (int bulge : {1, -1}) {
        for (bool backwards : {false, true}) {
            CFACCIATE g;
            g.chordLength = 10.0;
            Room room = MakeRoom(g, backwards, bulge);
            double heading = 0.0;
            WallFace* start = g.FindNearestFace({150, 100, 0}, &heading);
            ASSERT_EQ(start, room.bottom);
            double area = 0.0;
            VertexNode* ring = g.RecognizeContour(heading, start, &area, true);
            ASSERT_EQ(CountNodes(g.contour), 4) << bulge << backwards;
            EXPECT_GT(CountNodes(ring), 6);
            EXPECT_NEAR(ShoelaceArea(ring) + area, room.trueArea, 1e-6) << bulge << " " << backwards;
            int chordPoints = 0;
            for (VertexNode* v = ring; v; v = v->next) chordPoints += v->edgeFlag == 101;
            EXPECT_GT(chordPoints, 2);
            FreeList(ring);
        }
    }
}

TEST_F(GraphTest, a_point_outside_reaches_a_free_end_and_gives_an_open_chain) {
    CFACCIATE g;
    g.chordLength = 10.0;
    MakeRoom(g, false, 0);
    // A free-standing wall beside the room: its faces end in the open.
    WallFace* near = StraightFace({0, 400, 0}, {300, 400, 0});
    SetFaces(g, {near, StraightFace({0, 430, 0}, {300, 430, 0})});
    double heading = 0.0;
    ASSERT_EQ(g.FindNearestFace({100, 380, 0}, &heading), near);
    double area = 0.0;
    VertexNode* chain = g.RecognizeContour(heading, near, &area, true);
    EXPECT_EQ(g.contour, nullptr);
    EXPECT_EQ(CountNodes(chain), 2);
    FreeList(chain);
}

TEST_F(GraphTest, at_a_three_way_junction_the_side_of_the_picked_point_decides) {
    // Two rooms side by side share the junction (0, 0) where a partition
    // meets the bottom face; each pick must trace its own room.
    for (int side : {-1, 1}) {
        CFACCIATE g;
        g.chordLength = 10.0;
        WallFace* bottom = StraightFace({-200, 0, 0}, {200, 0, 0});
        SetFaces(g, {StraightFace({-200, 0, 0}, {0, 0, 0}), StraightFace({0, 0, 0}, {200, 0, 0}),
                     StraightFace({0, 0, 0}, {0, 100, 0}), StraightFace({-200, 100, 0}, {200, 100, 0}),
                     StraightFace({-200, 0, 0}, {-200, 100, 0}), StraightFace({200, 0, 0}, {200, 100, 0})});
        FreeFaceList(bottom);
        g.SplitAtJunctions();
        double heading = 0.0;
        WallFace* start = g.FindNearestFace({side * 50.0, 20, 0}, &heading);
        ASSERT_NE(start, nullptr);
        double area = 0.0;
        VertexNode* ring = g.RecognizeContour(heading, start, &area, true);
        ASSERT_EQ(CountNodes(g.contour), 4) << side;
        EXPECT_NEAR(ShoelaceArea(ring), 200.0 * 100.0, 1e-6);
        EXPECT_EQ(PointInPolygon({side * 50.0, 20, 0}, ring, 0), 1) << side;
        FreeList(ring);
    }
}

TEST_F(GraphTest, an_arc_at_a_junction_is_taken_before_any_straight_face) {
    CFACCIATE g;
    g.chordLength = 10.0;
    WallFace* current = StraightFace({100, 0, 0}, {0, 0, 0});
    WallFace* straight = StraightFace({0, 0, 0}, {0, 100, 0});
    WallFace* arc = ArcFace({-50, 0, 0}, 50, 0, kPi);
    SetFaces(g, {current, straight, arc});
    double heading = 1.5 * kPi;
    Point3 s, e;
    EXPECT_EQ(g.NextContourFace(heading, current, {100, 0, 0}, {0, 0, 0}, s, e), arc);
    EXPECT_TRUE(Near(s, {0, 0, 0}));
    EXPECT_TRUE(Near(e, {-100, 0, 0}, 1e-9));
}

TEST_F(GraphTest, chaining_faces_closes_a_perimeter_or_gives_the_faces_back) {
    CFACCIATE g;
    g.chordLength = 10.0;
    Room room = MakeRoom(g, true, 1);
    double area = 0.0;
    VertexNode* ring = g.ApproximateContourCurves(room.bottom, &area, 0, false, -1.0);
    EXPECT_NEAR(ShoelaceArea(ring) + area, room.trueArea, 1e-6);
    EXPECT_EQ(g.faces, nullptr);
    EXPECT_EQ(CountFaces(g.usedFaces), 4);
    FreeList(ring);

    // Without its top face the perimeter stays open: the faces come back.
    CFACCIATE open;
    open.chordLength = 10.0;
    WallFace* bottom = StraightFace({0, 0, 0}, {370, 0, 0});
    SetFaces(open, {StraightFace({370, 0, 0}, {370, 270, 0}), StraightFace({0, 270, 0}, {0, 0, 0}), bottom});
    VertexNode* chain = open.ApproximateContourCurves(bottom, &area, 0, false, -1.0);
    EXPECT_EQ(CountNodes(chain), 4);
    EXPECT_EQ(CountFaces(open.faces), 3);
    EXPECT_EQ(open.usedFaces, nullptr);
    FreeList(chain);
    // Kept aside when asked; the graph still frees them.
    chain = open.ApproximateContourCurves(bottom, &area, 0, true, -1.0);
    EXPECT_EQ(CountFaces(open.usedFaces), 3);
    EXPECT_EQ(open.faces, nullptr);
    FreeList(chain);
}
