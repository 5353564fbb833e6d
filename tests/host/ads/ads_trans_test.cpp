// zcedTrans between the world, the view and an entity's or a direction's
// object coordinate system: points and displacements, and round trips.
#include <gtest/gtest.h>

#include <cmath>

#include "ads_ent_fixture.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"

namespace {

class Trans : public AdsDrawing {
protected:
    static resbuf code(short c) {
        resbuf rb;
        rb.restype = RTSHORT;
        rb.resval.rint = c;
        return rb;
    }
    static resbuf direction(double x, double y, double z) {
        resbuf rb;
        rb.restype = RT3DPOINT;
        rb.resval.rpoint[0] = x, rb.resval.rpoint[1] = y, rb.resval.rpoint[2] = z;
        return rb;
    }
};

void expectPoint(const ads_point p, double x, double y, double z) {
    EXPECT_NEAR(p[0], x, 1e-9);
    EXPECT_NEAR(p[1], y, 1e-9);
    EXPECT_NEAR(p[2], z, 1e-9);
}

}  // namespace

TEST_F(Trans, world_user_and_an_extrusion_direction) {
    resbuf wcs = code(0), ucs = code(1);
    ads_point p = {1, 2, 3}, r;
    ASSERT_EQ(zcedTrans(p, &wcs, &ucs, 0, r), RTNORM);
    expectPoint(r, 1, 2, 3);
    // Extrusion along -Z: the OCS X axis is -X (the arbitrary-axis rule).
    resbuf down = direction(0, 0, -1);
    ASSERT_EQ(zcedTrans(p, &wcs, &down, 0, r), RTNORM);
    expectPoint(r, -1, 2, -3);
    // Along +X: X axis is world Y, Y axis world Z.
    resbuf east = direction(5, 0, 0);
    ASSERT_EQ(zcedTrans(p, &wcs, &east, 0, r), RTNORM);
    expectPoint(r, 2, 3, 1);
    ads_point back;
    ASSERT_EQ(zcedTrans(r, &east, &wcs, 0, back), RTNORM);
    expectPoint(back, 1, 2, 3);
    // Unknown codes, a zero direction: refused.
    resbuf bad = code(7), zero = direction(0, 0, 0);
    EXPECT_EQ(zcedTrans(p, &wcs, &bad, 0, r), RTERROR);
    EXPECT_EQ(zcedTrans(p, &zero, &wcs, 0, r), RTERROR);
}

TEST_F(Trans, view_coordinates_move_points_but_not_displacements) {
    ASSERT_TRUE(host::setSysVar("TARGET", host::SysVarValue{ZcGePoint3d(10, 20, 0)}, false));
    resbuf wcs = code(0), dcs = code(2);
    ads_point p = {11, 22, 3}, r;
    ASSERT_EQ(zcedTrans(p, &wcs, &dcs, 0, r), RTNORM);
    expectPoint(r, 1, 2, 3);
    ASSERT_EQ(zcedTrans(p, &wcs, &dcs, 1, r), RTNORM);
    expectPoint(r, 11, 22, 3);
    // Looking from the south-east and above: the screen's X is level.
    ASSERT_TRUE(host::setSysVar("VIEWDIR", host::SysVarValue{ZcGePoint3d(1, -1, 1)}, false));
    ads_point right = {1, 1, 0}, up = {0, 0, 1};
    ASSERT_EQ(zcedTrans(right, &wcs, &dcs, 1, r), RTNORM);
    expectPoint(r, std::sqrt(2.0), 0, 0);
    ASSERT_EQ(zcedTrans(up, &wcs, &dcs, 1, r), RTNORM);
    EXPECT_NEAR(r[0], 0, 1e-9);
    EXPECT_GT(r[1], 0);
}

TEST_F(Trans, entity_uses_its_ocs_only_when_it_is_planar) {
    ads_point c = {0, 0, 5}, down = {0, 0, -1};
    resbuf* circle = zcutBuildList(RTDXF0, "CIRCLE", 10, c, 40, 1.0, 210, down, 0);
    ASSERT_EQ(zcdbEntMake(circle), RTNORM);
    zcutRelRb(circle);
    resbuf ent;
    ent.restype = RTENAME;
    ASSERT_EQ(zcdbEntLast(ent.resval.rlname), RTNORM);
    resbuf wcs = code(0);
    ads_point p = {1, 2, 3}, r;
    ASSERT_EQ(zcedTrans(p, &ent, &wcs, 0, r), RTNORM);
    expectPoint(r, -1, 2, -3);
    // A line's coordinates are the world's whatever its extrusion.
    ads_point a = {0, 0, 0}, b = {1, 0, 0};
    resbuf* line = zcutBuildList(RTDXF0, "LINE", 10, a, 11, b, 210, down, 0);
    ASSERT_EQ(zcdbEntMake(line), RTNORM);
    zcutRelRb(line);
    ASSERT_EQ(zcdbEntLast(ent.resval.rlname), RTNORM);
    ASSERT_EQ(zcedTrans(p, &ent, &wcs, 0, r), RTNORM);
    expectPoint(r, 1, 2, 3);
}
