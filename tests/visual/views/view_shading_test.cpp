// Cast shadows of a view, checked by areas worked out by hand: a plate in
// front of a wall throws its own shape along the light, and what is seen
// of that shadow is the shape less the plate; a slab running into a wall
// shades it only from its part in front of it; a plane seen edge-on throws
// a shadow but takes none; light along a plane throws nothing; a break
// leaves no shadows and the status bar as it was. The pieces are then
// hatched into a block, whose hatches must cover the same area.
#include "visual/views/view_shading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/base/module_state.h"
#include "host/db/dbhatch.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ed/statusbar.h"
#include "tests/support/velm_test.h"
#include "tests/visual/views/view_scenes.h"
#include "visual/views/shadow_hatch.h"

namespace {

using scenes::Rect;

class ViewShading : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        saved = SharedTolerance;
        SetSharedTolerance(0.001);
        SetIdentity4(frame);
    }
    void TearDown() override {
        FreeShadowGroups(shadows);
        FreeFaceGroups(groups);
        FreeList(faces);
        SetSharedTolerance(saved);
        VelmTest::TearDown();
    }
    // The wall 100 x 100 at depth 100 and the plate 20 x 20 at depth 50.
    void PlateAndWall() {
        Rect(faces, 0, 0, 100, 100, 100, "WALL", true);
        Rect(faces, 40, 40, 60, 60, 50, "PLATE");
    }
    void Run(const Point3& light) {
        double grid[63];
        scenes::Grid(faces, grid);
        faces = ComputeHiddenLines(faces, grid, &groups, {});
        shadows = ComputeViewShading(&groups, frame, light, breakFlag);
    }
    double ShadowArea() const {
        double area = 0.0;
        for (const ShadowGroup* s = shadows; s; s = s->next)
            for (const OutlinePolygon* p = s->pieces; p; p = p->next)
                area += std::fabs(scenes::Area(p->ring));
        return area;
    }
    // Whether every vertex of every piece lies at depth z.
    bool AllAtDepth(double z) const {
        for (const ShadowGroup* s = shadows; s; s = s->next)
            for (const OutlinePolygon* p = s->pieces; p; p = p->next)
                for (const VertexNode* v = p->ring; v; v = v->next)
                    if (std::fabs(v->z - z) > 1e-6) return false;
        return true;
    }
    double saved = 0.0;
    Matrix4 frame;
    SectionFace* faces = nullptr;
    FaceGroup* groups = nullptr;
    ShadowGroup* shadows = nullptr;
    std::uint8_t breakFlag = 0;
};

}  // namespace

TEST_F(ViewShading, a_plate_throws_its_shape_along_the_light_and_shows_the_shadow_less_itself) {
    PlateAndWall();
    // Towards the light: 1 across, 1 up, 5 towards the viewer for each 1
    // of depth, so the plate's shadow on the wall 50 behind it is shifted
    // by 10 left and 10 down: 30..50 square, of which the plate covers
    // 40..50 square.
    Run({1.0, 1.0, -5.0});
    EXPECT_EQ(breakFlag, 0);
    ASSERT_NE(shadows, nullptr);
    EXPECT_EQ(shadows->next, nullptr);
    EXPECT_EQ(shadows->number, 1);
    EXPECT_NEAR(ShadowArea(), 400.0 - 100.0, 1e-6);
    EXPECT_TRUE(AllAtDepth(100.0));
    // The meters ran and the status bar is back.
    const auto& log = host::statusBarLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "progress restore");
}

TEST_F(ViewShading, a_slab_over_a_wall_shades_it_from_its_underside_up) {
    // A wall 100 wide and 85 high at depth 100, under a slab 10 thick (y 70
    // to 80) reaching from the viewer (depth 0) to 30 behind the wall.
    // Towards the light: 1 across, 0.3 up, 1 towards the viewer. A point of
    // the wall at height y meets the underside's plane 100 - (70 - y) / 0.3
    // deep, within the slab from y 40 up; the slab shades the wall from 40
    // to 80, and the part of it behind the wall nothing. The underside's far
    // corner at x -30 falls on the wall's left edge, behind its plane.
    Rect(faces, 0, 0, 100, 85, 100, "WALL");
    for (const double y : {70.0, 80.0})
        scenes::Add(faces, {{-30, y, 0}, {300, y, 0}, {300, y, 130}, {-30, y, 130}}, {1, 1, 1, 1}, "SLAB");
    Run({1.0, 0.3, -1.0});
    ASSERT_NE(shadows, nullptr);
    EXPECT_NEAR(ShadowArea(), 100.0 * 40.0, 1e-6);
    EXPECT_TRUE(AllAtDepth(100.0));
}

TEST_F(ViewShading, light_from_behind_the_receiver_leaves_no_shadow_on_its_hidden_side) {
    PlateAndWall();
    // The light behind the wall: the side the viewer sees is in its own
    // shade, and nothing is thrown onto it.
    Run({1.0, 1.0, 5.0});
    EXPECT_EQ(shadows, nullptr);
}

TEST_F(ViewShading, a_plane_seen_edge_on_throws_a_shadow_but_takes_none) {
    Rect(faces, 0, 0, 100, 100, 100, "WALL");
    // A fin x = 70 reaching from depth 20 to 80, 40 high.
    scenes::Add(faces, {{70, 20, 20}, {70, 20, 80}, {70, 60, 80}, {70, 60, 20}}, {1, 1, 1, 1}, "FIN");
    Run({1.0, 1.0, -5.0});
    ASSERT_NE(shadows, nullptr);
    EXPECT_EQ(shadows->next, nullptr);
    EXPECT_TRUE(AllAtDepth(100.0));
    // The fin's shadow: the parallelogram its edges 80 and 20 deep throw,
    // shifted by 4 and 16: 40 high and 12 wide.
    EXPECT_NEAR(ShadowArea(), 40.0 * 12.0, 1e-6);
    // The edge-on group left the list; the wall stays.
    ASSERT_NE(groups, nullptr);
    EXPECT_EQ(groups->layer, "WALL");
    EXPECT_EQ(groups->next, nullptr);
}

TEST_F(ViewShading, light_along_the_planes_throws_nothing) {
    PlateAndWall();
    Run({1.0, 0.0, 0.0});
    EXPECT_EQ(shadows, nullptr);
    EXPECT_EQ(breakFlag, 0);
}

TEST_F(ViewShading, a_break_leaves_no_shadows_and_the_status_bar_restored) {
    PlateAndWall();
    push("!break");
    Run({1.0, 1.0, -5.0});
    EXPECT_EQ(breakFlag, 1);
    EXPECT_EQ(shadows, nullptr);
    const auto& log = host::statusBarLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "progress restore");
}

TEST_F(ViewShading, the_shadow_pieces_hatched_into_a_block_cover_the_shadow) {
    PlateAndWall();
    Run({1.0, 1.0, -5.0});
    ASSERT_NE(shadows, nullptr);
    ZcDbBlockTable* table = nullptr;
    ASSERT_EQ(db()->getBlockTable(table, ZcDb::kForWrite), Zcad::eOk);
    auto* block = new ZcDbBlockTableRecord;
    block->setName("WIDOK");
    ZcDbObjectId blockId;
    ASSERT_EQ(table->add(blockId, block), Zcad::eOk);
    block->close();
    table->close();
    const double scale = 1.0, angle = 0.0;
    for (const ShadowGroup* s = shadows; s; s = s->next)
        for (const OutlinePolygon* p = s->pieces; p; p = p->next)
            AddShadowHatch("WIDOK", p->ring, "0", "SOLID", &scale, &angle, s->number, 1, 0, 0.0);
    double area = 0.0;
    int hatches = 0;
    ZcDbObjectPointer<ZcDbBlockTableRecord> read(blockId, ZcDb::kForRead);
    ASSERT_EQ(read.openStatus(), Zcad::eOk);
    for (ZcDbObjectId id : read->entityIds()) {
        ZcDbObjectPointer<ZcDbHatch> hatch(id, ZcDb::kForRead);
        if (hatch.openStatus() != Zcad::eOk) continue;
        ++hatches;
        area += hatch->area();
        EXPECT_EQ(hatch->colorIndex(), 1);
        EXPECT_TRUE(hatch->isSolidFill());
    }
    EXPECT_GE(hatches, 1);
    EXPECT_NEAR(area, 300.0, 1e-6);
}
