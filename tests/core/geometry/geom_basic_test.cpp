#include "core/geometry/geom_basic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/base/module_state.h"
#include "core/geometry/matrix4.h"

namespace {

const double kPi = std::acos(-1.0);

struct ToleranceGuard {
    explicit ToleranceGuard(double t) { SetSharedTolerance(t); }
    ~ToleranceGuard() { SetSharedTolerance(0.001); }
};

}  // namespace

TEST(ModuleState, setting_the_tolerance_sets_the_geometry_tolerance_object_too) {
    ToleranceGuard guard(0.00001);
    EXPECT_DOUBLE_EQ(SharedTolerance, 0.00001);
    EXPECT_DOUBLE_EQ(ModuleGeomTol.equalPoint(), 0.00001);
    EXPECT_DOUBLE_EQ(ModuleGeomTol.equalVector(), 0.00001);
}

TEST(ModuleState, pi_is_the_arc_cosine_of_minus_one_to_the_last_bit) {
    // The angles of existing drawings were computed with acos(-1).
    EXPECT_EQ(std::acos(-1.0), std::numbers::pi);
}

TEST(Comparisons, points_equal_at_the_tolerance_but_not_beyond) {
    ToleranceGuard guard(0.5);  // a binary fraction, so the difference is exact
    EXPECT_TRUE(PointsEqual({0, 0, 0}, {0.5, -0.5, 0.5}, true));
    EXPECT_FALSE(PointsEqual({0, 0, 0}, {0.5000001, 0, 0}, true));
    EXPECT_TRUE(PointsEqual({0, 0, 0}, {0, 0, 7}, false));
    EXPECT_FALSE(PointsEqual({0, 0, 0}, {0, 0, 7}, true));
}

TEST(Comparisons, is_equal_tol_is_strict_at_its_tolerance) {
    EXPECT_FALSE(IsEqualTol(1.0, 1.5, 0.5));
    EXPECT_TRUE(IsEqualTol(1.0, 1.4999, 0.5));
}

TEST(Angles, angle_of_vector_covers_the_full_turn) {
    EXPECT_DOUBLE_EQ(AngleOfVector(0.0, -1.0), kPi);
    EXPECT_DOUBLE_EQ(AngleOfVector(-1.0, 0.0), 1.5 * kPi);
    EXPECT_DOUBLE_EQ(AngleOfVector(1.0, 0.0), 0.5 * kPi);
}

TEST(Angles, ccw_difference_wraps_across_zero_and_two_pi) {
    EXPECT_EQ(AngleDiffCcw(0.1, 0.1), 0.0);
    EXPECT_NEAR(AngleDiffCcw(0.2, 0.1), 2 * kPi - 0.1, 1e-12);
    EXPECT_NEAR(AngleDiffCcw(-0.5, 0.5), 1.0, 1e-12);  // -0.5 is 2pi - 0.5
    EXPECT_NEAR(AngleDiffCcw(2 * kPi - 0.1, 0.1), 0.2, 1e-12);
    EXPECT_NEAR(AngleDiffCcw(0.1, 2 * kPi + 0.3), 0.2, 1e-12);
    // Within the tolerance counts as no turn at all, not as a full one.
    EXPECT_EQ(AngleDiffCcw(1.0, 1.0 - 0.0001), 0.0);
}

TEST(Angles, angle_between_lines_of_equal_and_opposite_directions) {
    EXPECT_DOUBLE_EQ(AngleBetweenLines({0, 0, 0}, {1, 1, 0}, {5, 5, 0}, {6, 6, 0}), 0.0);
    EXPECT_NEAR(AngleBetweenLines({0, 0, 0}, {1, 0, 0}, {0, 0, 0}, {-1, 0, 0}), kPi, 1e-12);
    EXPECT_NEAR(AngleBetweenLines({0, 0, 0}, {0, 1, 0}, {0, 0, 0}, {1, 0, 0}), 1.5 * kPi, 1e-12);
}

TEST(Angles, perpendicular_towards_a_point_on_the_line_takes_the_minus_side) {
    EXPECT_DOUBLE_EQ(PerpendicularAngleTowards({0, 0, 0}, 0.0, {5, 0, 0}), -0.5 * kPi);
    EXPECT_DOUBLE_EQ(PerpendicularAngleTowards({0, 0, 0}, 0.0, {5, 2, 0}), 0.5 * kPi);
}

TEST(Segments, on_segment_and_strictly_inside) {
    EXPECT_TRUE(IsPointOnSegment({1, 0, 0}, {0, 0, 0}, {2, 0, 0}));
    EXPECT_FALSE(IsPointOnSegment({3, 0, 0}, {0, 0, 0}, {2, 0, 0}));
    EXPECT_FALSE(IsPointStrictlyInside({0, 0, 0}, {0, 0, 0}, {2, 0, 0}));
    EXPECT_TRUE(IsOnSegmentTol({1, 0.01, 5}, {0, 0, 0}, {2, 0, 0}, 0.001));
}

TEST(Segments, collinear_join_exchanges_a_reversed_second_segment_and_refuses_a_fold) {
    Point3 c{4, 0, 0}, d{2, 0, 0};
    EXPECT_TRUE(JoinCollinearSegments({0, 0, 0}, {2, 0, 0}, c, d, 0.001, true));
    EXPECT_DOUBLE_EQ(c.x, 2);
    EXPECT_DOUBLE_EQ(d.x, 4);
    Point3 fc{1, 0, 0}, fd{2, 0, 0};
    EXPECT_FALSE(JoinCollinearSegments({0, 0, 0}, {2, 0, 0}, fc, fd, 0.001, true));
    Point3 out[2];
    CollinearSegmentsExtent({1, 0, 0}, {2, 0, 0}, {0, 0, 0}, {3, 0, 0}, out);
    EXPECT_DOUBLE_EQ(out[0].x, 0);
    EXPECT_DOUBLE_EQ(out[1].x, 3);
}

TEST(Segments, plan_intersection_of_segments_and_lines) {
    Point3 x;
    EXPECT_TRUE(IntersectLines2d({0, 0, 5}, {2, 2, 5}, {0, 2, 0}, {2, 0, 0}, x, 1, ModuleGeomTol));
    EXPECT_DOUBLE_EQ(x.x, 1);
    EXPECT_DOUBLE_EQ(x.z, 0);
    EXPECT_FALSE(IntersectLines2d({0, 0, 0}, {1, 0, 0}, {3, -1, 0}, {3, 1, 0}, x, 1, ModuleGeomTol));
    EXPECT_TRUE(IntersectLines2d({0, 0, 0}, {1, 0, 0}, {3, -1, 0}, {3, 1, 0}, x, 0, ModuleGeomTol));
    EXPECT_DOUBLE_EQ(x.x, 3);
    EXPECT_FALSE(IntersectLines2d({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, x, 0, ModuleGeomTol));
}

TEST(Segments, perpendicular_foot_keeps_the_point_height) {
    Point3 f;
    PerpendicularFoot({1, 5, 7}, {0, 0, 0}, {4, 0, 0}, f);
    EXPECT_NEAR(f.x, 1, 1e-12);
    EXPECT_NEAR(f.y, 0, 1e-12);
    EXPECT_DOUBLE_EQ(f.z, 7);
}

TEST(Arcs, point_on_arc_within_its_span_and_radius) {
    ArcRecord arc;
    arc.radius = 2;
    arc.startAngle = 1.5 * kPi;  // a quarter through zero
    arc.endAngle = 0.25 * kPi;
    EXPECT_TRUE(IsPointOnArc({2, 0, 0}, arc, true));
    EXPECT_FALSE(IsPointOnArc({0, 2, 0}, arc, true));
    EXPECT_TRUE(IsPointOnArc({5, 0, 0}, arc, false));
    EXPECT_FALSE(IsPointOnArc({5, 0, 0}, arc, true));
}

TEST(Arcs, merging_overlapping_arcs_takes_the_longer_union) {
    ArcRecord a1, a2, out;
    a1.radius = a2.radius = 1;
    a1.startAngle = 0.0, a1.endAngle = 1.0;
    a2.startAngle = 0.5, a2.endAngle = 2.0;
    EXPECT_TRUE(MergeArcs({std::cos(0.7), std::sin(0.7), 0}, a1, a2, out));
    EXPECT_DOUBLE_EQ(out.startAngle, 0.0);
    EXPECT_DOUBLE_EQ(out.endAngle, 2.0);
}

TEST(Arcs, centre_from_rise_lies_on_the_left_at_the_right_distance) {
    Point3 c;
    ASSERT_TRUE(ArcCentreFromRise({-1, 0, 0}, {1, 0, 0}, 1.0, c));  // a half circle
    EXPECT_NEAR(c.x, 0, 1e-9);
    EXPECT_NEAR(c.y, 0, 1e-9);
    ASSERT_TRUE(ArcCentreFromRise({-1, 0, 0}, {1, 0, 0}, 0.5, c));
    // r = (h^2 + (c/2)^2) / 2h = 1.25; the centre lies r - h below the apex.
    EXPECT_NEAR(c.y, 0.5 - 1.25, 1e-9);
    EXPECT_FALSE(ArcCentreFromRise({0, 0, 0}, {1, 0, 0}, 0.0, c));
    EXPECT_FALSE(ArcCentreFromRise({0, 0, 0}, {0, 0, 0}, 1.0, c));
}

TEST(LineCircle, every_branch_finds_points_on_the_circle_or_reports_a_miss) {
    const Point3 centre{1, 2, 3};
    const double r = 2.0;
    const Point3 lines[][2] = {{{1.5, -9, 0}, {1.5, 9, 0}},  // vertical
                               {{-9, 2.5, 0}, {9, 2.5, 0}},  // horizontal
                               {{-4, -3, 0}, {6, 8, 0}}};    // sloped
    for (const auto& line : lines) {
        Point3 p1, p2;
        ASSERT_TRUE(IntersectLineCircle(line[0], line[1], centre, r, p1, p2));
        for (const Point3& p : {p1, p2}) {
            EXPECT_NEAR(std::hypot(p.x - centre.x, p.y - centre.y), r, 1e-9);
            EXPECT_TRUE(ArePointsCollinear(line[0], line[1], {p.x, p.y, 0}, 1e-6));
            EXPECT_DOUBLE_EQ(p.z, centre.z);
        }
    }
    const Point3 misses[][2] = {{{5, -9, 0}, {5, 9, 0}}, {{-9, 7, 0}, {9, 7, 0}}, {{-9, 8, 0}, {0, 17, 0}}};
    for (const auto& line : misses) {
        Point3 p1, p2;
        EXPECT_FALSE(IntersectLineCircle(line[0], line[1], centre, r, p1, p2));
    }
}

TEST(LineCircle, tangent_gives_two_equal_points_and_degenerate_input_fails) {
    Point3 p1, p2;
    ASSERT_TRUE(IntersectLineCircle({-5, 2, 0}, {5, 2, 0}, {0, 0, 0}, 2.0, p1, p2));
    EXPECT_NEAR(p1.x, p2.x, 1e-9);
    EXPECT_FALSE(IntersectLineCircle({0, 0, 0}, {0, 0, 0}, {0, 0, 0}, 2.0, p1, p2));
    EXPECT_FALSE(IntersectLineCircle({0, 0, 0}, {1, 0, 0}, {0, 0, 0}, 0.0, p1, p2));
}

TEST(Matrices, singular_matrix_has_no_inverse) {
    Matrix4 s, inv;
    ScaleMatrix(s, {0, 1, 1});
    EXPECT_FALSE(InvertMatrix4(s, inv));
}

TEST(Matrices, inverse_undoes_a_rotation_and_translation) {
    Matrix4 r, t, m, inv, id;
    RotationZMatrix(r, 0.7);
    TranslationMatrix(t, {3, -2, 5});
    MultiplyMatrix4(t, r, m);
    ASSERT_TRUE(InvertMatrix4(m, inv));
    MultiplyMatrix4(inv, m, id);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(id.m[i][j], i == j ? 1.0 : 0.0, 1e-12);
    Point3 p;
    TransformPoint(m, {1, 0, 0}, p);
    EXPECT_NEAR(p.x, 3 + std::cos(0.7), 1e-12);
    EXPECT_NEAR(p.y, -2 + std::sin(0.7), 1e-12);
}

TEST(Planes, collinear_points_give_no_plane) {
    double a, b, c, d;
    const Point3 line[3] = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}};
    EXPECT_FALSE(PlaneCoefficients(line, a, b, c, d));
    const Point3 tilted[3] = {{0, 0, 1}, {1, 0, 2}, {0, 1, 1}};
    ASSERT_TRUE(PlaneCoefficients(tilted, a, b, c, d));
    for (const Point3& p : tilted) EXPECT_NEAR(a * p.x + b * p.y + c * p.z + d, 0.0, 1e-12);
}

TEST(Planes, plane_to_xy_subtracts_the_origin_after_rotating) {
    Matrix4 m;
    ASSERT_TRUE(PlaneToXYMatrix({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, m));
    Point3 p;
    TransformPoint(m, {0, 2, 3}, p);
    EXPECT_DOUBLE_EQ(p.x, 2 - 1);
    EXPECT_DOUBLE_EQ(p.y, 3);
    EXPECT_FALSE(PlaneToXYMatrix({0, 0, 0}, {0, 0, 0}, {0, 0, 1}, m));
}

TEST(Ocs, world_and_object_coordinates_round_trip) {
    const Point3 normals[] = {{0, 0, 1}, {0, 0, -1}, {1, 2, 3}, {0.001, 0, 1}};
    for (const Point3& n : normals) {
        const Point3 w{3, -4, 5};
        const Point3 back = OcsToWorld(WorldToOcs(w, n), n);
        EXPECT_NEAR(back.x, w.x, 1e-12);
        EXPECT_NEAR(back.y, w.y, 1e-12);
        EXPECT_NEAR(back.z, w.z, 1e-12);
    }
    const Point3 flipped = WorldToOcs({1, 2, 3}, {0, 0, -1});
    EXPECT_NEAR(flipped.x, -1, 1e-12);  // the mirror image seen from below
    EXPECT_NEAR(flipped.z, -3, 1e-12);
}
