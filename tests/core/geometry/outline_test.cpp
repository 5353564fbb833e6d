#include "core/geometry/outline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/polygon.h"
#include "core/geometry/triangulate.h"

namespace {

const double kPi = std::acos(-1.0);

SegmentRec* Line(const Point3& a, const Point3& b, SegmentRec* next) {
    const double six[6] = {a.x, a.y, a.z, b.x, b.y, b.z};
    return new SegmentRec(six, nullptr, 0, next);
}

VertexNode* Seed(const Point3& a, const Point3& b) {
    VertexNode* v = nullptr;
    AppendVertex(&v, a, 1, 0, 0);
    AppendVertex(&v, b, 1, 0, 0);
    return v;
}

}  // namespace

TEST(Outlines, square_sides_in_any_order_and_direction_close_to_four_vertices) {
    const Point3 A{0, 0, 0}, B{4, 0, 0}, C{4, 4, 0}, D{0, 4, 0};
    // Each ordering and direction of the three remaining sides.
    const std::vector<std::vector<std::pair<Point3, Point3>>> orders = {{{B, C}, {C, D}, {D, A}},
                                                                        {{D, A}, {C, B}, {D, C}},
                                                                        {{A, D}, {D, C}, {B, C}},
                                                                        {{C, D}, {A, D}, {C, B}}};
    for (const auto& sides : orders) {
        SegmentRec* segs = nullptr;
        for (auto it = sides.rbegin(); it != sides.rend(); ++it) segs = Line(it->first, it->second, segs);
        Point3 p1 = A, p2 = B;
        OutlineReport report;
        SegmentRec* out = nullptr;
        OwnedList<VertexNode> poly(
            BuildPolygonFromSegments(0, segs, p1, p2, Seed(A, B), 3, false, 1.0, &out, 1.0, &report));
        EXPECT_EQ(CountNodes(poly.get()), 4);
        EXPECT_NEAR(PolygonAreaByEars(poly.get()), 16.0, 1e-9);
        EXPECT_FALSE(report.notClosed);
        for (SegmentRec* s = segs; s; s = s->next) EXPECT_EQ(s->kind, 2);
        // Output copies run along the chain: each starts where another ends.
        EXPECT_EQ(CountNodes(out), 3);
        FreeList(out);
        FreeList(segs);
    }
}

TEST(Outlines, a_missing_side_is_not_closed_unless_open_chains_are_allowed) {
    const Point3 A{0, 0, 0}, B{4, 0, 0}, C{4, 4, 0}, D{0, 4, 0};
    SegmentRec* segs = Line(B, C, Line(C, D, nullptr));
    Point3 p1 = A, p2 = B;
    OutlineReport report;
    EXPECT_EQ(BuildPolygonFromSegments(0, segs, p1, p2, Seed(A, B), 3, false, 1.0, nullptr, 1.0, &report),
              nullptr);
    EXPECT_TRUE(report.notClosed);
    for (SegmentRec* s = segs; s; s = s->next) s->kind = 0;
    p1 = A, p2 = B;
    OwnedList<VertexNode> open(
        BuildPolygonFromSegments(0, segs, p1, p2, Seed(A, B), 3, true, 1.0, nullptr, 1.0, nullptr));
    EXPECT_EQ(CountNodes(open.get()), 4);
    EXPECT_TRUE(PointsEqual(p2, D, true));
    FreeList(segs);
}

TEST(Outlines, arc_at_the_tail_marks_the_previous_tail_vertex) {
    // A 2 x 2 square with a half disc on top: the bottom side seeds the
    // chain, the right side and then the arc join at the tail.
    const Point3 A{-1, -2, 0}, B{1, -2, 0}, R{1, 0, 0}, L{-1, 0, 0};
    const double six[6] = {0, 0, 0, 1.0, 0.0, kPi};
    SegmentRec* segs = Line(B, R, new SegmentRec(six, nullptr, 1, Line(L, A, nullptr)));
    Point3 p1 = A, p2 = B;
    OwnedList<VertexNode> poly(
        BuildPolygonFromSegments(4, segs, p1, p2, Seed(A, B), 3, false, 1.0, nullptr, 1.0, nullptr));
    ASSERT_EQ(CountNodes(poly.get()), 7);
    EXPECT_EQ(poly->edgeFlag, 1);                // A
    EXPECT_EQ(poly->next->edgeFlag, 1);          // B, a line follows
    EXPECT_EQ(poly->next->next->edgeFlag, 101);  // R, where the arc starts
    // Four chords of the half circle: 4 x (1/2) sin(pi/4), on a 2 x 2 square.
    EXPECT_NEAR(PolygonAreaByEars(poly.get()), 4 + 2 * std::sin(kPi / 4), 1e-9);
    FreeList(segs);
}

TEST(Outlines, polyline_with_a_bulge_becomes_a_closed_outline) {
    // A 4 x 2 rectangle whose top side is a half circle bulging upwards,
    // drawn counter-clockwise: the top arc runs from (4, 2) to (0, 2).
    PolylineData pl;
    pl.closed = true;
    pl.vertices = {{0, 0, 0}, {4, 0, 0}, {4, 2, 1.0}, {0, 2, 0}};
    OutlineReport report;
    OwnedList<VertexNode> poly(PolylineToPolygon(pl, {2, 0, 0}, 16, 0.5, &report));
    ASSERT_TRUE(poly);
    EXPECT_FALSE(report.notClosed);
    EXPECT_FALSE(report.arcTooCoarse);
    // Chords lose a little area against the true 8 + 2 pi.
    const double area = PolygonAreaByEars(poly.get());
    EXPECT_LT(area, 8 + 2 * kPi);
    EXPECT_GT(area, 8 + 2 * kPi - 0.2);
    for (VertexNode* v = poly.get(); v; v = v->next) EXPECT_LE(v->y, 4.0 + 1e-9);
}

TEST(Outlines, clockwise_bulge_gives_an_arc_record_running_counter_clockwise) {
    PolylineData pl;
    pl.vertices = {{0, 0, -1.0}, {2, 0, 0}};  // clockwise: over the top from (0, 0) to (2, 0)
    OwnedList<SegmentRec> segs(PolylineToSegments(pl, {1, 1, 0}));
    ASSERT_TRUE(segs);
    EXPECT_EQ(segs->kind, 1);
    EXPECT_EQ(segs->next, nullptr);
    EXPECT_NEAR(segs->geom[0], 1, 1e-12);
    EXPECT_NEAR(segs->geom[3], 1, 1e-12);
    EXPECT_NEAR(segs->geom[4], 0.0, 1e-12);  // from (2, 0) counter-clockwise
    EXPECT_NEAR(segs->geom[5], kPi, 1e-12);  // to (0, 0), through (1, 1)
    EXPECT_EQ(segs->normal[2], 1.0);
}

TEST(Outlines, picked_piece_comes_first_and_an_empty_polyline_gives_nothing) {
    PolylineData pl;
    pl.closed = true;
    pl.vertices = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}};
    OwnedList<SegmentRec> segs(PolylineToSegments(pl, {4, 2, 0}));
    ASSERT_EQ(CountNodes(segs.get()), 4);
    EXPECT_EQ(segs->geom[0], 4);
    EXPECT_EQ(segs->geom[1], 0);
    EXPECT_EQ(segs->next->geom[1], 4);  // then the last side, the others reversed
    EXPECT_EQ(PolylineToPolygon(PolylineData{}, {0, 0, 0}, 0, 1.0, nullptr), nullptr);
}

TEST(PlaneMatricesTest, points_of_a_wall_side_share_one_plane_z_and_map_back) {
    const Point3 p0{1, 1, 0}, p1{4, 5, 0}, p2{4, 5, 3};
    double a, b, c, d;
    Matrix4 toPlane, toWorld;
    ASSERT_TRUE(PlaneMatrices(p0, p1, p2, a, b, c, d, toPlane, toWorld));
    Point3 q0;
    TransformPoint(toPlane, p0, q0);
    for (const Point3& p : {p1, p2, Point3{2.5, 3, 7}}) {
        Point3 q, back;
        TransformPoint(toPlane, p, q);
        EXPECT_NEAR(q.z, q0.z, 1e-9);
        TransformPoint(toWorld, q, back);
        EXPECT_NEAR(back.x, p.x, 1e-9);
        EXPECT_NEAR(back.y, p.y, 1e-9);
        EXPECT_NEAR(back.z, p.z, 1e-9);
    }
    EXPECT_FALSE(PlaneMatrices(p0, {2, 2, 0}, {3, 3, 0}, a, b, c, d, toPlane, toWorld));
}

TEST(Projection, coinciding_feet_keep_the_point_nearer_to_the_line) {
    VertexNode* list = nullptr;
    AppendVertex(&list, {5, 3, 0}, 0, 0, 0);
    AppendVertex(&list, {1, 2, 0}, 0, 0, 0);
    AppendVertex(&list, {5, 1, 0}, 0, 0, 0);  // same foot as (5, 3), nearer
    double side = 0;
    OwnedList<VertexNode> measured(ProjectPointsOnLine(&list, 1.0, {0, 0, 0}, {10, 0, 0}, 0.0, &side));
    OwnedList<VertexNode> feet(list);
    EXPECT_NEAR(side, kPi / 2, 1e-12);
    // Ordered from the far end of the line's direction back towards a.
    ASSERT_EQ(CountNodes(feet.get()), 2);
    EXPECT_NEAR(feet->x, 5, 1e-9);
    EXPECT_NEAR(feet->y, 0, 1e-9);
    EXPECT_EQ(feet->data1, 0);
    EXPECT_NEAR(feet->next->x, 1, 1e-9);
    EXPECT_EQ(feet->next->data1, 1);
    ASSERT_EQ(CountNodes(measured.get()), 2);
    EXPECT_EQ(measured->y, 2);  // the measured points, in reverse order
    EXPECT_EQ(measured->data1, 1);
    EXPECT_EQ(measured->next->y, 1);  // (5, 1) kept: nearer the line than (5, 3)
}
