// The text-box query agrees with the box a pick of the same text uses.
#include <gtest/gtest.h>

#include "ads_ent_fixture.h"
#include "host/ads/rbutil.h"
#include "host/db/dbgeom.h"

class TextBox : public AdsDrawing {};

TEST_F(TextBox, box_matches_the_pick_geometry_of_the_same_text) {
    ads_point at = {10, 20, 0};
    resbuf* list = zcutBuildList(RTDXF0, "TEXT", 8, "0", 10, at, 40, 2.5, 41, 0.8, 1, "Ściana 1", 50, 0.0, 0);
    ASSERT_EQ(zcdbEntMake(list), RTNORM);
    ads_point low, high;
    ASSERT_EQ(zcedTextBox(list, low, high), RTNORM);
    zcutRelRb(list);
    ads_name last;
    ASSERT_EQ(zcdbEntLast(last), RTNORM);
    ZcDbObjectId id;
    ASSERT_EQ(zcdbGetObjectId(id, last), Zcad::eOk);
    ZcDbEntity* ent = nullptr;
    ASSERT_EQ(zcdbOpenObject(ent, id, ZcDb::kForRead), Zcad::eOk);
    ZcDbGeometry geom;
    zcdbEntityGeometry(ent, geom);
    ent->close();
    ZcDbExtents3d box = zcdbGeomExtents(geom);
    EXPECT_DOUBLE_EQ(low[X], 0.0);
    EXPECT_DOUBLE_EQ(low[Y], 0.0);
    EXPECT_DOUBLE_EQ(high[X], box.max.x - box.min.x);
    EXPECT_DOUBLE_EQ(high[Y], box.max.y - box.min.y);
    EXPECT_DOUBLE_EQ(high[X], 0.8 * 2.5 * 0.8 * 8);  // eight characters, not ten bytes
}

TEST_F(TextBox, height_and_width_factor_default_from_the_drawing) {
    resbuf* list = zcutBuildList(RTDXF0, "TEXT", 1, "AB", 0);
    ads_point low, high;
    ASSERT_EQ(zcedTextBox(list, low, high), RTNORM);
    zcutRelRb(list);
    EXPECT_DOUBLE_EQ(high[Y], 2.5);  // TEXTSIZE of a new drawing
    EXPECT_DOUBLE_EQ(high[X], 0.8 * 2.5 * 2);
    resbuf* empty = zcutBuildList(RTDXF0, "TEXT", 40, 1.0, 1, "", 0);
    ASSERT_EQ(zcedTextBox(empty, low, high), RTNORM);
    EXPECT_DOUBLE_EQ(high[X], 0.0);
    zcutRelRb(empty);
    resbuf* line = zcutBuildList(RTDXF0, "LINE", 0);
    EXPECT_EQ(zcedTextBox(line, low, high), RTERROR);
    zcutRelRb(line);
}
