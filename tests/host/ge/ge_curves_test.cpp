// Lines, segments and arcs: each intersection branch (none, tangent, two)
// at and around the tolerance, arcs across 0 degrees, and seeded random
// cases whose reported points must lie on both curves.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "host/ge/gearc.h"
#include "host/ge/gelinear.h"

namespace {

constexpr double kPi = std::numbers::pi;
double deg(double d) {
    return d * kPi / 180;
}

void expectNear(const ZcGePoint2d& a, const ZcGePoint2d& b, double eps = 1e-9) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
}

ZcGeTol drawingTol() {
    ZcGeTol tol;
    tol.setEqualPoint(0.001);
    tol.setEqualVector(0.001);
    return tol;
}

}  // namespace

TEST(GeLine, segment_measures_and_closest_points_stay_inside) {
    ZcGeLineSeg2d s(ZcGePoint2d(0, 0), ZcGePoint2d(4, 3));
    EXPECT_DOUBLE_EQ(s.length(), 5);
    expectNear(s.midPoint(), ZcGePoint2d(2, 1.5));
    expectNear(s.closestPointTo(ZcGePoint2d(10, 10)), ZcGePoint2d(4, 3));
    expectNear(ZcGeLine2d(ZcGePoint2d(0, 0), ZcGePoint2d(4, 3)).closestPointTo(ZcGePoint2d(8, 6)),
               ZcGePoint2d(8, 6));
    ZcGeTol tol = drawingTol();
    EXPECT_TRUE(s.isOn(ZcGePoint2d(4.00059, 3.00079), tol));  // just under 0.001 beyond the end
    EXPECT_FALSE(s.isOn(ZcGePoint2d(4.0012, 3.0016), tol));   // 0.002 beyond
}

TEST(GeLine, crossings_of_lines_and_segments) {
    ZcGePoint2d p;
    ZcGeLineSeg2d a(ZcGePoint2d(0, 0), ZcGePoint2d(2, 0));
    ZcGeLineSeg2d b(ZcGePoint2d(1, -1), ZcGePoint2d(1, 1));
    ASSERT_TRUE(a.intersectWith(b, p));
    expectNear(p, ZcGePoint2d(1, 0));
    // The segments miss, their carrier lines do not.
    ZcGeLineSeg2d c(ZcGePoint2d(5, 1), ZcGePoint2d(5, 3));
    EXPECT_FALSE(a.intersectWith(c, p));
    ASSERT_TRUE(ZcGeLine2d(ZcGePoint2d(0, 0), ZcGePoint2d(2, 0))
                    .intersectWith(ZcGeLine2d(ZcGePoint2d(5, 1), ZcGePoint2d(5, 3)), p));
    expectNear(p, ZcGePoint2d(5, 0));
    // A segment touching another's end within the tolerance meets it.
    ZcGeTol tol = drawingTol();
    ZcGeLineSeg2d d(ZcGePoint2d(2.0009, -1), ZcGePoint2d(2.0009, 1));
    EXPECT_TRUE(a.intersectWith(d, p, tol));
    ZcGeLineSeg2d e(ZcGePoint2d(2.0011, -1), ZcGePoint2d(2.0011, 1));
    EXPECT_FALSE(a.intersectWith(e, p, tol));
}

TEST(GeLine, parallel_and_collinear_lines_report_no_point) {
    ZcGePoint2d p(7, 7);
    ZcGeLine2d a(ZcGePoint2d(0, 0), ZcGeVector2d(1, 1));
    EXPECT_FALSE(a.intersectWith(ZcGeLine2d(ZcGePoint2d(0, 1), ZcGeVector2d(-2, -2)), p));
    EXPECT_FALSE(a.intersectWith(ZcGeLine2d(ZcGePoint2d(3, 3), ZcGeVector2d(1, 1)), p));
    EXPECT_FALSE(a.intersectWith(ZcGeLineSeg2d(ZcGePoint2d(3, 3), ZcGePoint2d(3, 3)), p));
    expectNear(p, ZcGePoint2d(7, 7));
    EXPECT_TRUE(a.isColinearTo(ZcGeLineSeg2d(ZcGePoint2d(3, 3), ZcGePoint2d(5, 5))));
    EXPECT_TRUE(a.isParallelTo(ZcGeLine2d(ZcGePoint2d(0, 1), ZcGeVector2d(-2, -2))));
}

TEST(GeLine, skew_lines_in_3d_do_not_meet_crossing_ones_do) {
    ZcGePoint3d p;
    ZcGeLine3d x(ZcGePoint3d(0, 0, 0), ZcGeVector3d(1, 0, 0));
    EXPECT_FALSE(x.intersectWith(ZcGeLine3d(ZcGePoint3d(0, 0, 1), ZcGeVector3d(0, 1, 0)), p));
    ASSERT_TRUE(x.intersectWith(ZcGeLineSeg3d(ZcGePoint3d(3, -1, 0), ZcGePoint3d(3, 1, 0)), p));
    EXPECT_TRUE(p.isEqualTo(ZcGePoint3d(3, 0, 0)));
    EXPECT_NEAR(ZcGeLineSeg3d(ZcGePoint3d(0, 0, 0), ZcGePoint3d(0, 0, 2)).length(), 2, 0);
    EXPECT_TRUE(x.isPerpendicularTo(ZcGeLine3d(ZcGePoint3d(5, 5, 5), ZcGeVector3d(0, 0, 1))));
}

TEST(GeArc, sweep_crossing_zero_and_full_circles) {
    ZcGeCircArc2d arc(ZcGePoint2d(0, 0), 10, deg(350), deg(10));
    EXPECT_NEAR(arc.sweep(), deg(20), 1e-12);
    EXPECT_FALSE(arc.isClosed());
    EXPECT_TRUE(arc.isOn(ZcGePoint2d(10, 0)));
    EXPECT_FALSE(arc.isOn(ZcGePoint2d(-10, 0)));
    EXPECT_FALSE(arc.isOn(ZcGePoint2d(0, 10)));
    expectNear(arc.startPoint(), ZcGePoint2d(10 * std::cos(deg(-10)), 10 * std::sin(deg(-10))));
    EXPECT_TRUE(ZcGeCircArc2d(ZcGePoint2d(0, 0), 1, 0, 2 * kPi).isClosed());
    EXPECT_TRUE(ZcGeCircArc2d(ZcGePoint2d(0, 0), 1, 1, 1).isClosed());
    EXPECT_TRUE(ZcGeCircArc2d(ZcGePoint2d(0, 0), 1).isOn(ZcGePoint2d(0, -1)));
    // A reference vector turns where the angles are measured from.
    ZcGeCircArc2d turned(ZcGePoint2d(0, 0), 1, 0, kPi / 2, ZcGeVector2d(0, 1));
    expectNear(turned.endPoint(), ZcGePoint2d(-1, 0));
}

TEST(GeArc, point_on_arc_at_and_beyond_the_tolerance) {
    ZcGeTol tol = drawingTol();
    ZcGeCircArc2d arc(ZcGePoint2d(0, 0), 5, 0, kPi / 2);
    EXPECT_TRUE(arc.isOn(ZcGePoint2d(0, 5.0009), tol));
    EXPECT_FALSE(arc.isOn(ZcGePoint2d(0, 5.0011), tol));
    EXPECT_TRUE(arc.isOn(ZcGePoint2d(5, -0.0009), tol));   // just past the start point
    EXPECT_FALSE(arc.isOn(ZcGePoint2d(4.99, -0.5), tol));  // well past it
}

TEST(GeArc, line_and_circle_none_tangent_two) {
    ZcGeTol tol = drawingTol();
    ZcGeCircArc2d c(ZcGePoint2d(0, 0), 5);
    ZcGePoint2d p1(9, 9), p2(9, 9);
    int n = -1;
    EXPECT_FALSE(c.intersectWith(ZcGeLine2d(ZcGePoint2d(0, 5.0011), ZcGeVector2d(1, 0)), n, p1, p2, tol));
    EXPECT_EQ(n, 0);
    expectNear(p1, ZcGePoint2d(9, 9));
    // Within the tolerance of tangency: one point, on the circle, never NaN.
    ASSERT_TRUE(c.intersectWith(ZcGeLine2d(ZcGePoint2d(0, 5.0009), ZcGeVector2d(1, 0)), n, p1, p2, tol));
    EXPECT_EQ(n, 1);
    expectNear(p1, ZcGePoint2d(0, 5));
    ASSERT_TRUE(c.intersectWith(ZcGeLine2d(ZcGePoint2d(0, 4.9991), ZcGeVector2d(1, 0)), n, p1, p2, tol));
    EXPECT_EQ(n, 1);
    ASSERT_TRUE(c.intersectWith(ZcGeLine2d(ZcGePoint2d(-10, 3), ZcGeVector2d(1, 0)), n, p1, p2, tol));
    EXPECT_EQ(n, 2);
    expectNear(p1, ZcGePoint2d(-4, 3));
    expectNear(p2, ZcGePoint2d(4, 3));
}

TEST(GeArc, bounded_pieces_keep_only_their_own_points) {
    ZcGeCircArc2d c(ZcGePoint2d(0, 0), 5);
    ZcGePoint2d p1, p2;
    int n = -1;
    // The segment reaches only the right crossing.
    ASSERT_TRUE(c.intersectWith(ZcGeLineSeg2d(ZcGePoint2d(0, 3), ZcGePoint2d(10, 3)), n, p1, p2));
    EXPECT_EQ(n, 1);
    expectNear(p1, ZcGePoint2d(4, 3));
    // A segment inside the circle meets nothing.
    EXPECT_FALSE(c.intersectWith(ZcGeLineSeg2d(ZcGePoint2d(-1, 0), ZcGePoint2d(1, 0)), n, p1, p2));
    EXPECT_EQ(n, 0);
    // The upper half arc keeps only the upper crossing of a vertical line.
    ZcGeCircArc2d upper(ZcGePoint2d(0, 0), 5, 0, kPi);
    ASSERT_TRUE(upper.intersectWith(ZcGeLine2d(ZcGePoint2d(3, -10), ZcGeVector2d(0, 1)), n, p1, p2));
    EXPECT_EQ(n, 1);
    expectNear(p1, ZcGePoint2d(3, 4));
    // An arc across 0 degrees is met on the +X side only.
    ZcGeCircArc2d across(ZcGePoint2d(0, 0), 5, deg(300), deg(60));
    ASSERT_TRUE(across.intersectWith(ZcGeLine2d(ZcGePoint2d(-10, 0), ZcGeVector2d(1, 0)), n, p1, p2));
    EXPECT_EQ(n, 1);
    expectNear(p1, ZcGePoint2d(5, 0));
}

TEST(GeArc, two_circles_apart_inside_touching_and_crossing) {
    ZcGeTol tol = drawingTol();
    ZcGeCircArc2d a(ZcGePoint2d(0, 0), 5);
    ZcGePoint2d p1, p2;
    int n = -1;
    EXPECT_FALSE(a.intersectWith(ZcGeCircArc2d(ZcGePoint2d(8.0011, 0), 3), n, p1, p2, tol));
    EXPECT_FALSE(a.intersectWith(ZcGeCircArc2d(ZcGePoint2d(1, 0), 2), n, p1, p2, tol));
    EXPECT_FALSE(a.intersectWith(ZcGeCircArc2d(ZcGePoint2d(0, 0), 5), n, p1, p2, tol));
    EXPECT_EQ(n, 0);
    ASSERT_TRUE(a.intersectWith(ZcGeCircArc2d(ZcGePoint2d(8.0009, 0), 3), n, p1, p2, tol));
    EXPECT_EQ(n, 1);
    expectNear(p1, ZcGePoint2d(5, 0));
    ASSERT_TRUE(a.intersectWith(ZcGeCircArc2d(ZcGePoint2d(0, 3), 2), n, p1, p2, tol));  // inside, touching
    EXPECT_EQ(n, 1);
    expectNear(p1, ZcGePoint2d(0, 5));
    ASSERT_TRUE(ZcGeCircArc2d(ZcGePoint2d(0, 3), 2).intersectWith(a, n, p1, p2, tol));
    EXPECT_EQ(n, 1);
    expectNear(p1, ZcGePoint2d(0, 5));
    ASSERT_TRUE(a.intersectWith(ZcGeCircArc2d(ZcGePoint2d(8, 0), 5), n, p1, p2, tol));
    EXPECT_EQ(n, 2);
    for (const ZcGePoint2d& p : {p1, p2}) {
        EXPECT_NEAR(p.distanceTo(ZcGePoint2d(0, 0)), 5, 1e-9);
        EXPECT_NEAR(p.distanceTo(ZcGePoint2d(8, 0)), 5, 1e-9);
    }
    // Arcs keep only points within both sweeps.
    ZcGeCircArc2d right(ZcGePoint2d(8, 0), 5, deg(90), deg(270));
    ZcGeCircArc2d top(ZcGePoint2d(0, 0), 5, 0, deg(180));
    ASSERT_TRUE(top.intersectWith(right, n, p1, p2, tol));
    EXPECT_EQ(n, 1);
    expectNear(p1, ZcGePoint2d(4, 3));
}

TEST(GeArc, arcs_in_3d_meet_lines_and_other_arcs) {
    ZcGeCircArc3d c(ZcGePoint3d(0, 0, 2), ZcGeVector3d(0, 0, 1), 5);
    ZcGePoint3d p1, p2;
    int n = -1;
    // A line piercing the plane on the circle.
    ASSERT_TRUE(c.intersectWith(ZcGeLine3d(ZcGePoint3d(3, 4, 0), ZcGeVector3d(0, 0, 1)), n, p1, p2));
    EXPECT_EQ(n, 1);
    EXPECT_TRUE(p1.isEqualTo(ZcGePoint3d(3, 4, 2)));
    EXPECT_FALSE(c.intersectWith(ZcGeLine3d(ZcGePoint3d(1, 1, 0), ZcGeVector3d(0, 0, 1)), n, p1, p2));
    // A line lying in the plane crosses twice.
    ASSERT_TRUE(c.intersectWith(ZcGeLine3d(ZcGePoint3d(-9, 3, 2), ZcGeVector3d(1, 0, 0)), n, p1, p2));
    EXPECT_EQ(n, 2);
    // A circle in a vertical plane through the centre meets it twice.
    ZcGeCircArc3d v(ZcGePoint3d(0, 0, 2), ZcGeVector3d(0, 1, 0), 5);
    ASSERT_TRUE(c.intersectWith(v, n, p1, p2));
    EXPECT_EQ(n, 2);
    EXPECT_NEAR(std::fabs(p1.x), 5, 1e-9);
    EXPECT_NEAR(p1.z, 2, 1e-9);
    // Coplanar arcs with opposite normals: the upper half seen from below.
    ZcGeCircArc3d below(ZcGePoint3d(8, 0, 2), ZcGeVector3d(0, 0, -1), ZcGeVector3d(1, 0, 0), 5, 0, kPi);
    ASSERT_TRUE(c.intersectWith(below, n, p1, p2));
    EXPECT_EQ(n, 1);
    EXPECT_TRUE(p1.isEqualTo(ZcGePoint3d(4, -3, 2)));
    EXPECT_TRUE(below.isOn(ZcGePoint3d(8, -5, 2)));
    EXPECT_FALSE(below.isOn(ZcGePoint3d(8, 5, 2)));
}

TEST(GeArc, every_reported_crossing_lies_on_both_curves) {
    // Seeded random lines, segments and circles: whatever the branch taken,
    // the points reported must be finite and on both curves.
    std::mt19937 rng(20261207);
    std::uniform_real_distribution<double> coord(-10, 10), radius(0.01, 8), angle(0, 2 * kPi);
    ZcGeTol tol = drawingTol();
    int seen[3] = {0, 0, 0};
    for (int i = 0; i < 3000; ++i) {
        ZcGeCircArc2d a(ZcGePoint2d(coord(rng), coord(rng)), radius(rng), angle(rng), angle(rng));
        ZcGeCircArc2d b(ZcGePoint2d(coord(rng), coord(rng)), radius(rng), angle(rng), angle(rng));
        ZcGeLineSeg2d s(ZcGePoint2d(coord(rng), coord(rng)), ZcGePoint2d(coord(rng), coord(rng)));
        ZcGePoint2d p[2];
        int n = -1;
        bool hit = a.intersectWith(s, n, p[0], p[1], tol);
        ASSERT_EQ(hit, n > 0);
        ++seen[n];
        for (int k = 0; k < n; ++k) {
            ASSERT_TRUE(std::isfinite(p[k].x) && std::isfinite(p[k].y));
            EXPECT_TRUE(a.isOn(p[k], tol) && s.isOn(p[k], tol));
        }
        hit = a.intersectWith(b, n, p[0], p[1], tol);
        ASSERT_EQ(hit, n > 0);
        for (int k = 0; k < n; ++k) {
            ASSERT_TRUE(std::isfinite(p[k].x) && std::isfinite(p[k].y));
            EXPECT_TRUE(a.isOn(p[k], tol) && b.isOn(p[k], tol));
        }
    }
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
    EXPECT_GT(seen[2], 0);
}
