// Transforms and planes: inverses checked by round trips, builders by where
// they send known points, plane intersections by lying on both planes.

#include <gtest/gtest.h>

#include <numbers>
#include <random>

#include "host/ge/gematrix3d.h"
#include "host/ge/geplane.h"

namespace {

constexpr double kPi = std::numbers::pi;

void expectNear(const ZcGePoint3d& a, const ZcGePoint3d& b, double eps = 1e-9) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

ZcGeMatrix3d someMatrix() {
    return ZcGeMatrix3d::translation({3, -2, 7}) * ZcGeMatrix3d::rotation(0.7, {1, 2, 3}, {1, 1, 1}) *
           ZcGeMatrix3d::scaling(2.5, {-4, 0, 2});
}

}  // namespace

TEST(GeTolerance, vectors_parallel_at_the_tolerance_but_not_beyond) {
    ZcGeTol tol;
    tol.setEqualVector(1e-3);
    // The cross product of unit vectors is the sine of their angle.
    EXPECT_TRUE(ZcGeVector3d(1, 0, 0).isParallelTo(ZcGeVector3d(1, std::tan(std::asin(0.999e-3)), 0), tol));
    EXPECT_FALSE(ZcGeVector3d(1, 0, 0).isParallelTo(ZcGeVector3d(1, std::tan(std::asin(1.001e-3)), 0), tol));
    EXPECT_TRUE(ZcGeVector3d(1, 0, 0).isParallelTo(ZcGeVector3d(-5, 0, 0), tol));
}

TEST(GeTolerance, point_just_inside_and_just_outside_a_drawing_tolerance) {
    ZcGeTol tol;
    tol.setEqualPoint(0.001);
    EXPECT_TRUE(ZcGePoint3d(10, 10, 0).isEqualTo(ZcGePoint3d(10.0009999, 10, 0), tol));
    EXPECT_FALSE(ZcGePoint3d(10, 10, 0).isEqualTo(ZcGePoint3d(10.0010001, 10, 0), tol));
}

TEST(GeMatrix, inverse_round_trips_points) {
    ZcGeMatrix3d m = someMatrix();
    ZcGeMatrix3d inv;
    ASSERT_TRUE(m.inverse(inv, 1e-12));
    EXPECT_TRUE((m * inv).isEqualTo(ZcGeMatrix3d::kIdentity));
    ZcGePoint3d p(1.5, -2.25, 8);
    ZcGePoint3d q = p;
    q.transformBy(m).transformBy(inv);
    expectNear(q, p);
    EXPECT_NEAR(m.det(), 2.5 * 2.5 * 2.5, 1e-9);
}

TEST(GeMatrix, singular_matrix_is_refused_and_left_alone) {
    ZcGeMatrix3d flat = ZcGeMatrix3d::scaling(1.0);
    flat.entry[2][2] = 0;  // projects onto the XY plane
    ZcGeMatrix3d out = ZcGeMatrix3d::translation({9, 9, 9});
    EXPECT_FALSE(flat.inverse(out, 1e-12));
    EXPECT_TRUE(out.isEqualTo(ZcGeMatrix3d::translation({9, 9, 9})));
    EXPECT_TRUE(flat.isSingular());
    ZcGeMatrix3d copy = flat;
    copy.invert();
    EXPECT_TRUE(copy.isEqualTo(flat));
}

TEST(GeMatrix, small_scalings_invert_whatever_the_drawing_tolerance) {
    ZcGeTol coarse;
    coarse.setEqualPoint(0.001);
    coarse.setEqualVector(0.001);
    ZcGeMatrix3d mmToM = ZcGeMatrix3d::scaling(0.0001);
    EXPECT_FALSE(mmToM.isSingular(coarse));
    ZcGePoint3d p(12345, 0, 0);
    p.transformBy(mmToM).transformBy(mmToM.inverse());
    expectNear(p, ZcGePoint3d(12345, 0, 0), 1e-7);
}

TEST(GeMatrix, rotation_about_an_axis_through_a_point) {
    ZcGePoint3d p(2, 1, 5);
    p.transformBy(ZcGeMatrix3d::rotation(kPi / 2, ZcGeVector3d::kZAxis, {1, 1, 0}));
    expectNear(p, ZcGePoint3d(1, 2, 5));
    // Vectors ignore the translation part.
    ZcGeVector3d v(1, 0, 0);
    v.transformBy(ZcGeMatrix3d::rotation(kPi / 2, ZcGeVector3d::kZAxis, {100, 100, 0}));
    EXPECT_TRUE(v.isEqualTo(ZcGeVector3d(0, 1, 0)));
    // Rotations keep distances.
    ZcGeMatrix3d r = ZcGeMatrix3d::rotation(1.234, {-1, 4, 2}, {3, 3, 3});
    ZcGePoint3d a(1, 2, 3), b(-7, 0.5, 11);
    EXPECT_NEAR((r * a).distanceTo(r * b), a.distanceTo(b), 1e-9);
}

TEST(GeMatrix, product_order_applies_the_right_factor_first) {
    ZcGeMatrix3d m = ZcGeMatrix3d::translation({10, 0, 0});
    m.postMultBy(ZcGeMatrix3d::scaling(2));  // scale, then translate
    expectNear(m * ZcGePoint3d(1, 1, 1), ZcGePoint3d(12, 2, 2));
    ZcGeMatrix3d n = ZcGeMatrix3d::translation({10, 0, 0});
    n.preMultBy(ZcGeMatrix3d::scaling(2));  // translate, then scale
    expectNear(n * ZcGePoint3d(1, 1, 1), ZcGePoint3d(22, 2, 2));
}

TEST(GeMatrix, mirroring_in_a_plane_a_point_and_a_line) {
    ZcGePlane wall(ZcGePoint3d(5, 0, 0), ZcGeVector3d(1, 0, 0));
    expectNear(ZcGeMatrix3d::mirroring(wall) * ZcGePoint3d(7, 3, 1), ZcGePoint3d(3, 3, 1));
    expectNear(ZcGeMatrix3d::mirroring(ZcGePoint3d(1, 1, 1)) * ZcGePoint3d(2, 3, 4), ZcGePoint3d(0, -1, -2));
    ZcGeLine3d axis(ZcGePoint3d(0, 0, 0), ZcGeVector3d(0, 0, 1));
    expectNear(ZcGeMatrix3d::mirroring(axis) * ZcGePoint3d(2, 3, 4), ZcGePoint3d(-2, -3, 4));
    EXPECT_NEAR(ZcGeMatrix3d::mirroring(wall).det(), -1, 1e-12);
}

TEST(GeMatrix, coordinate_system_maps_local_to_world_and_align_maps_between) {
    ZcGeMatrix3d cs;
    cs.setCoordSystem({10, 20, 30}, {0, 1, 0}, {-1, 0, 0}, {0, 0, 1});
    expectNear(cs * ZcGePoint3d(1, 0, 0), ZcGePoint3d(10, 21, 30));
    ZcGePoint3d o;
    ZcGeVector3d x, y, z;
    cs.getCoordSystem(o, x, y, z);
    expectNear(o, ZcGePoint3d(10, 20, 30));
    EXPECT_TRUE(y.isEqualTo(ZcGeVector3d(-1, 0, 0)));

    ZcGeMatrix3d align = ZcGeMatrix3d::alignCoordSys({1, 1, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {10, 20, 30},
                                                     {0, 1, 0}, {-1, 0, 0}, {0, 0, 1});
    expectNear(align * ZcGePoint3d(1, 1, 1), ZcGePoint3d(10, 20, 30));
    expectNear(align * ZcGePoint3d(2, 1, 1), ZcGePoint3d(10, 21, 30));
}

TEST(GeMatrix, plane_coordinates_follow_the_arbitrary_axis_rule) {
    // For the Z normal the object system is the world system.
    EXPECT_TRUE(ZcGeMatrix3d::worldToPlane(ZcGeVector3d::kZAxis).isEqualTo(ZcGeMatrix3d::kIdentity));
    // For the X normal the rule takes Wz x N = +Y as the object X axis.
    ZcGeMatrix3d toWorld = ZcGeMatrix3d::planeToWorld(ZcGeVector3d(1, 0, 0));
    expectNear(toWorld * ZcGePoint3d(1, 0, 0), ZcGePoint3d(0, 1, 0));
    expectNear(toWorld * ZcGePoint3d(0, 1, 0), ZcGePoint3d(0, 0, 1));
    expectNear(toWorld * ZcGePoint3d(0, 0, 1), ZcGePoint3d(1, 0, 0));
    // Near-Z normals use Wy x N instead.
    ZcGeVector3d n(0.001, 0.001, 1);
    ZcGeMatrix3d w2p = ZcGeMatrix3d::worldToPlane(n);
    ZcGePoint3d p(3, -4, 5);
    expectNear(ZcGeMatrix3d::planeToWorld(n) * (w2p * p), p);
    ZcGeVector3d localX = ZcGeMatrix3d::planeToWorld(n) * ZcGeVector3d(1, 0, 0);
    EXPECT_TRUE(localX.isEqualTo(ZcGeVector3d::kYAxis.crossProduct(n).normal()));
    // The plane form sets the elevation: a point of the plane gets z = 0.
    ZcGePlane raised(ZcGePoint3d(4, 4, 7), ZcGeVector3d(0, 0, 1));
    EXPECT_NEAR((ZcGeMatrix3d::worldToPlane(raised) * ZcGePoint3d(-2, 9, 7)).z, 0, 1e-12);
}

TEST(GePlane, coefficients_from_three_points_and_from_coefficients) {
    ZcGePlane p(ZcGePoint3d(0, 0, 5), ZcGePoint3d(1, 0, 5), ZcGePoint3d(0, 1, 5));
    double a, b, c, d;
    p.getCoefficients(a, b, c, d);
    EXPECT_NEAR(a, 0, 1e-15);
    EXPECT_NEAR(b, 0, 1e-15);
    EXPECT_NEAR(c, 1, 1e-15);
    EXPECT_NEAR(d, -5, 1e-15);
    // Reversed winding turns the normal over.
    ZcGePlane q(ZcGePoint3d(0, 0, 5), ZcGePoint3d(0, 1, 5), ZcGePoint3d(1, 0, 5));
    EXPECT_TRUE(q.normal().isEqualTo(ZcGeVector3d(0, 0, -1)));
    // Unnormalised coefficients describe the same plane: 2x + 2y = 4.
    ZcGePlane r(2, 2, 0, -4);
    EXPECT_TRUE(r.isOn(ZcGePoint3d(2, 0, 9)));
    EXPECT_TRUE(r.isOn(ZcGePoint3d(0, 2, -3)));
    EXPECT_NEAR(r.distanceTo(ZcGePoint3d(0, 0, 0)), std::sqrt(2.0), 1e-12);
}

TEST(GePlane, collinear_points_give_a_plane_that_matches_nothing) {
    ZcGePlane bad(ZcGePoint3d(0, 0, 0), ZcGePoint3d(1, 1, 1), ZcGePoint3d(2, 2, 2));
    EXPECT_TRUE(bad.normal().isZeroLength());
    EXPECT_FALSE(bad.isOn(ZcGePoint3d(0, 0, 0)));
    ZcGePoint3d hit(99, 99, 99);
    EXPECT_FALSE(bad.intersectWith(ZcGeLine3d(ZcGePoint3d(0, 0, -1), ZcGeVector3d(0, 0, 1)), hit));
    expectNear(hit, ZcGePoint3d(99, 99, 99));
}

TEST(GePlane, relations_between_planes) {
    ZcGePlane base(ZcGePoint3d(0, 0, 0), ZcGeVector3d(0, 0, 1));
    EXPECT_TRUE(base.isParallelTo(ZcGePlane(ZcGePoint3d(0, 0, 3), ZcGeVector3d(0, 0, -2))));
    EXPECT_FALSE(base.isCoplanarTo(ZcGePlane(ZcGePoint3d(0, 0, 3), ZcGeVector3d(0, 0, 1))));
    EXPECT_TRUE(base.isCoplanarTo(ZcGePlane(ZcGePoint3d(5, 6, 0), ZcGeVector3d(0, 0, -1))));
    EXPECT_TRUE(base.isPerpendicularTo(ZcGePlane(ZcGePoint3d(0, 0, 0), ZcGeVector3d(1, 1, 0))));
    EXPECT_TRUE(base.isPerpendicularTo(ZcGeLine3d(ZcGePoint3d(1, 1, 1), ZcGeVector3d(0, 0, 4))));
    EXPECT_TRUE(base.isParallelTo(ZcGeLine3d(ZcGePoint3d(1, 1, 1), ZcGeVector3d(3, 4, 0))));
    ZcGePoint3d foot = base.closestPointTo(ZcGePoint3d(3, 4, 5));
    expectNear(foot, ZcGePoint3d(3, 4, 0));
    EXPECT_NEAR(base.signedDistanceTo(ZcGePoint3d(3, 4, -5)), -5, 1e-15);
}

TEST(GePlane, line_crossing_a_plane_and_a_segment_falling_short) {
    ZcGePlane slab(ZcGePoint3d(0, 0, 3), ZcGeVector3d(0, 0, 1));
    ZcGePoint3d p;
    ASSERT_TRUE(slab.intersectWith(ZcGeLine3d(ZcGePoint3d(1, 1, 0), ZcGePoint3d(2, 3, 1)), p));
    expectNear(p, ZcGePoint3d(4, 7, 3));
    EXPECT_FALSE(slab.intersectWith(ZcGeLineSeg3d(ZcGePoint3d(1, 1, 0), ZcGePoint3d(2, 3, 1)), p));
    EXPECT_TRUE(slab.intersectWith(ZcGeLineSeg3d(ZcGePoint3d(1, 1, 0), ZcGePoint3d(1, 1, 3)), p));
    EXPECT_FALSE(slab.intersectWith(ZcGeLine3d(ZcGePoint3d(0, 0, 3), ZcGeVector3d(1, 0, 0)), p));
}

TEST(GePlane, two_planes_meet_on_a_line_lying_in_both) {
    ZcGePlane a(ZcGePoint3d(0, 0, 2), ZcGeVector3d(0, 0, 1));
    ZcGePlane b(ZcGePoint3d(7, 100, -50), ZcGeVector3d(1, 1, 0));
    ZcGeLine3d line;
    ASSERT_TRUE(a.intersectWith(b, line));
    for (double t : {-10.0, 0.0, 3.5}) {
        ZcGePoint3d p = line.evalPoint(t);
        EXPECT_NEAR(a.distanceTo(p), 0, 1e-9);
        EXPECT_NEAR(b.distanceTo(p), 0, 1e-9);
    }
    EXPECT_FALSE(a.intersectWith(ZcGePlane(ZcGePoint3d(0, 0, 9), ZcGeVector3d(0, 0, 1)), line));
}

TEST(GeMatrix, random_rigid_motions_invert_and_keep_distances) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-100, 100);
    for (int i = 0; i < 500; ++i) {
        ZcGeVector3d axis(u(rng), u(rng), u(rng));
        if (axis.isZeroLength()) continue;
        ZcGeMatrix3d m = ZcGeMatrix3d::translation({u(rng), u(rng), u(rng)}) *
                         ZcGeMatrix3d::rotation(u(rng), axis, {u(rng), u(rng), u(rng)});
        ZcGeMatrix3d inv;
        ASSERT_TRUE(m.inverse(inv, 1e-12));
        ZcGePoint3d a(u(rng), u(rng), u(rng)), b(u(rng), u(rng), u(rng));
        EXPECT_NEAR((m * a).distanceTo(m * b), a.distanceTo(b), 1e-9);
        expectNear(inv * (m * a), a, 1e-9);
        EXPECT_NEAR(m.det(), 1, 1e-9);
    }
}
