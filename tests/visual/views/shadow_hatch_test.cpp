// The hatch of a shadow piece: colours clamped into the palette, a pattern
// of the support path taken as the user's own, the angle in radians, the
// gradient's second colour from the layer catalogue or 8, nothing for a
// ring that is no polygon or a block that is missing.
#include "visual/views/shadow_hatch.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

#include "host/ads/acicolor.h"
#include "host/db/dbhatch.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/util/findfile.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/support/velm_test.h"

namespace {

class ShadowHatch : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        const std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([root] {
            return std::vector<std::string>{root + "/support", root + "/support/host"};
        });
        loadModule();
        ZcDbBlockTable* table = nullptr;
        ASSERT_EQ(db()->getBlockTable(table, ZcDb::kForWrite), Zcad::eOk);
        auto* block = new ZcDbBlockTableRecord;
        block->setName("WIDOK");
        ASSERT_EQ(table->add(blockId, block), Zcad::eOk);
        block->close();
        table->close();
    }
    void TearDown() override {
        FreeList(ring);
        VelmTest::TearDown();
    }
    void Square(int vertices = 4) {
        const Point3 pts[4] = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}};
        for (int k = 0; k < vertices; ++k) AppendVertex(&ring, pts[k], 0, 0, 0);
    }
    // The hatches of the block, in order.
    std::vector<ZcDbObjectId> Hatches() const {
        std::vector<ZcDbObjectId> out;
        ZcDbObjectPointer<ZcDbBlockTableRecord> block(blockId, ZcDb::kForRead);
        if (block.openStatus() != Zcad::eOk) return out;
        for (ZcDbObjectId id : block->entityIds()) {
            ZcDbObjectPointer<ZcDbHatch> hatch(id, ZcDb::kForRead);
            if (hatch.openStatus() == Zcad::eOk) out.push_back(id);
        }
        return out;
    }
    void Pattern(const std::string& pattern, double angle, int colour, int colourFlag) {
        const double scale = 2.0;
        AddShadowHatch("WIDOK", ring, "2DSHADE_H", pattern, &scale, &angle, colour, colourFlag, 0, 0.0);
    }
    static std::int32_t Rgb(int index) {
        const host::AciRgb c = *host::aciToRgb(index);
        return (c.r << 16) | (c.g << 8) | c.b;
    }
    ZcDbObjectId blockId;
    VertexNode* ring = nullptr;
};

}  // namespace

TEST_F(ShadowHatch, colours_off_the_palette_give_255_and_the_colour_is_used_only_when_asked) {
    Square();
    Pattern("SOLID", 0.0, 0, 1);
    Pattern("SOLID", 0.0, 300, 1);
    Pattern("SOLID", 0.0, 3, 1);
    Pattern("SOLID", 0.0, 3, 0);
    const std::vector<ZcDbObjectId> ids = Hatches();
    ASSERT_EQ(ids.size(), 4u);
    const int want[3] = {255, 255, 3};
    for (int k = 0; k < 3; ++k) {
        ZcDbObjectPointer<ZcDbHatch> h(ids[k], ZcDb::kForRead);
        EXPECT_EQ(h->colorIndex(), want[k]);
        EXPECT_EQ(h->layer(), "2DSHADE_H");
        EXPECT_FALSE(h->associative());
        EXPECT_NEAR(h->area(), 100.0, 1e-9);
    }
    ZcDbObjectPointer<ZcDbHatch> h(ids[3], ZcDb::kForRead);
    EXPECT_NE(h->colorIndex(), 3);
}

TEST_F(ShadowHatch,
       a_pattern_on_the_support_path_is_the_users_own_and_the_angle_reaches_the_host_in_radians) {
    Square();
    Pattern("VELTILE", 45.0, 1, 1);
    Pattern("ANSI31", 90.0, 1, 1);
    const std::vector<ZcDbObjectId> ids = Hatches();
    ASSERT_EQ(ids.size(), 2u);
    ZcDbObjectPointer<ZcDbHatch> custom(ids[0], ZcDb::kForRead);
    EXPECT_EQ(custom->patternType(), ZcDbHatch::kCustomDefined);
    EXPECT_EQ(custom->patternName(), "VELTILE");
    EXPECT_NEAR(custom->patternAngle(), std::numbers::pi / 4.0, 1e-12);
    EXPECT_DOUBLE_EQ(custom->patternScale(), 2.0);
    ZcDbObjectPointer<ZcDbHatch> predefined(ids[1], ZcDb::kForRead);
    EXPECT_EQ(predefined->patternType(), ZcDbHatch::kPreDefined);
    EXPECT_EQ(predefined->patternName(), "ANSI31");
    EXPECT_NEAR(predefined->patternAngle(), std::numbers::pi / 2.0, 1e-12);
}

TEST_F(ShadowHatch, a_gradient_runs_from_the_second_shade_colour_to_the_catalogue_colour_or_8) {
    Square();
    // "VELMSECTION" is catalogued in colour 7, the default of the first
    // end: the first end gets a colour of its own to tell the two apart.
    int slot = SetupVar::SETOMBRE_SECONDOCOL;
    const short second = 5;
    SetVarInt(&slot, &second);
    AddShadowHatch("WIDOK", ring, "VELMSECTION", "SOLID", nullptr, nullptr, 2, 0, 1, 0.5);
    AddShadowHatch("WIDOK", ring, "NO_SUCH_LAYER", "SOLID", nullptr, nullptr, 2, 0, 1, 0.5);
    AddShadowHatch("WIDOK", ring, "NO_SUCH_LAYER", "SOLID", nullptr, nullptr, 400, 1, 1, 0.5);
    const std::vector<ZcDbObjectId> ids = Hatches();
    ASSERT_EQ(ids.size(), 3u);
    const std::int32_t want[3] = {Rgb(7), Rgb(8), Rgb(255)};
    for (int k = 0; k < 3; ++k) {
        ZcDbObjectPointer<ZcDbHatch> h(ids[k], ZcDb::kForRead);
        EXPECT_TRUE(h->isGradient());
        EXPECT_EQ(h->gradientName(), "LINEAR");
        EXPECT_DOUBLE_EQ(h->gradientAngle(), 0.5);
        EXPECT_EQ(h->gradientColor(0), Rgb(5));
        EXPECT_EQ(h->gradientColor(1), want[k]) << k;
    }
}

TEST_F(ShadowHatch, the_catalogue_row_of_the_layer_gives_the_gradient_its_colour) {
    Square();
    // "2DSHADE_H" is catalogued in colour 252.
    AddShadowHatch("WIDOK", ring, "2dshade_h", "SOLID", nullptr, nullptr, 2, 0, 1, 0.0);
    const std::vector<ZcDbObjectId> ids = Hatches();
    ASSERT_EQ(ids.size(), 1u);
    ZcDbObjectPointer<ZcDbHatch> h(ids[0], ZcDb::kForRead);
    EXPECT_EQ(h->gradientColor(0), Rgb(7));
    EXPECT_EQ(h->gradientColor(1), Rgb(252));
}

TEST_F(ShadowHatch, no_hatch_for_a_ring_of_two_vertices_a_missing_block_or_a_pattern_too_dense) {
    Square(2);
    Pattern("SOLID", 0.0, 1, 1);
    FreeList(ring);
    ring = nullptr;
    Square();
    const double scale = 1.0, angle = 0.0;
    AddShadowHatch("NIEMA", ring, "2DSHADE_H", "SOLID", &scale, &angle, 1, 1, 0, 0.0);
    // ANSI31 at a hundred-thousandth of its size would draw millions of lines.
    const double tiny = 1e-5;
    AddShadowHatch("WIDOK", ring, "2DSHADE_H", "ANSI31", &tiny, &angle, 1, 1, 0, 0.0);
    EXPECT_TRUE(Hatches().empty());
}
