// The faces of the slab block: which faces are made, on which layers, with
// which edge visibility, and that the top and bottom triangles cover the
// outline less its openings.
#include <gtest/gtest.h>

#include "tests/roofs/slab_fixture.h"

namespace {

class SlabBlockTest : public SlabTest {};

}  // namespace

TEST_F(SlabBlockTest, thickness_0_gives_bottom_faces_only) {
    CFALDA record;
    record.name = "FLOORSLAB";
    record.SetLoops(SlabLoops({Rect(0, 0, 100, 80, 0)}));
    ads_name insert;
    ASSERT_TRUE(WriteSlab(record, insert));
    const auto es = BlockOf(insert);
    EXPECT_EQ(CountOn(es, "3DFACE", "3DFLOORSLAB_B"), 2);
    EXPECT_EQ(es.size(), 2u);
    EXPECT_NEAR(AreaOn(es, "3DFLOORSLAB_B"), 8000.0, 1e-9);
}

TEST_F(SlabBlockTest, side_faces_follow_the_reduced_flag_and_the_outline_mask_only) {
    CFALDA record;
    record.name = "FLOORSLAB";
    record.thickness = 20.0;
    record.edgeKey = 3;  // mask 1 + 4
    record.SetLoops(SlabLoops({{{0, 0, 0, 1}, {100, 0, 0, 0}, {100, 100, 0, 99}, {0, 100, 0, -2}},
                               {{40, 40, 0, 1}, {40, 60, 0, -1}, {60, 60, 0, 1}, {60, 40, 0, 1}}}));
    record.hideApproximated = true;
    ads_name insert;
    ASSERT_TRUE(WriteSlab(record, insert));
    std::vector<int> sides;
    double top = 0.0;
    for (const BlockEntity& e : BlockOf(insert)) {
        if (e.layer == "3DFLOORSLAB_S") {
            sides.push_back(e.flags);
            EXPECT_DOUBLE_EQ(e.p[2].z, 20.0);
        }
        if (e.layer == "3DFLOORSLAB_T") {
            top += TriangleArea(e);
            EXPECT_DOUBLE_EQ(e.p[0].z, 20.0);
        }
    }
    EXPECT_EQ(sides, (std::vector<int>{5, 5, 15, 15, 0, 10, 0, 0}));
    EXPECT_NEAR(top, 10000.0 - 400.0, 1e-9);
}

TEST_F(SlabBlockTest, drawn_outline_edges_follow_the_key_on_top_and_bottom) {
    CFALDA record;
    record.name = "FLOORSLAB";
    record.thickness = 10.0;
    record.edgeKey = 1;  // top edges hidden
    record.SetLoops(SlabLoops({Rect(0, 0, 10, 10, 0)}));
    ads_name insert;
    ASSERT_TRUE(WriteSlab(record, insert));
    for (const BlockEntity& e : BlockOf(insert)) {
        if (e.layer == "3DFLOORSLAB_B") {
            EXPECT_EQ(e.flags & 8, 8);
            EXPECT_NE(e.flags & 7, 7) << "bottom outline edges shown";
        }
        if (e.layer == "3DFLOORSLAB_T") {
            EXPECT_EQ(e.flags & 7, 7) << "top outline edges hidden";
        }
    }
}

TEST_F(SlabBlockTest, flag_2_draws_every_loop_edge_at_z_0_and_flag_4_one_layer) {
    CFALDA record;
    record.name = "ROOFSLAB";
    record.thickness = 10.0;
    record.flag2 = record.flag4 = true;
    record.SetLoops(SlabLoops(
        {{{0, 0, 50, 1}, {100, 0, 50, -2}, {100, 100, 80, 0}, {0, 100, 80, 1}}, Rect(40, 40, 60, 60, 65)}));
    ads_name insert;
    ASSERT_TRUE(WriteSlab(record, insert));
    const auto es = BlockOf(insert);
    EXPECT_EQ(CountOn(es, "LINE", "2DROOFSLAB"), 8);
    for (const BlockEntity& e : es) {
        if (e.type == "LINE") {
            EXPECT_DOUBLE_EQ(e.p[0].z + e.p[1].z, 0.0);
        }
        if (e.type == "3DFACE") {
            EXPECT_EQ(e.layer, "3DROOFSLAB");
        }
    }
}

TEST_F(SlabBlockTest, a_user_break_leaves_no_block_and_the_insert_as_it_was) {
    CFALDA record;
    record.name = "FLOORSLAB";
    record.thickness = 10.0;
    record.SetLoops(SlabLoops({Rect(0, 0, 100, 80, 0)}));
    ads_name insert;
    ASSERT_TRUE(WriteSlab(record, insert));
    resbuf* before = zcdbEntGet(insert);
    const std::string blockBefore = FindRbCode(before, 2)->resval.rstring;
    zcutRelRb(before);
    const int blocks = [] {
        int n = 0;
        for (resbuf* r = zcdbTblNext("BLOCK", 1); r; r = zcdbTblNext("BLOCK", 0)) {
            ++n;
            zcutRelRb(r);
        }
        return n;
    }();

    push("!break");
    ContourNode* changed = SlabLoops({Rect(0, 0, 200, 80, 0)});
    EXPECT_FALSE(RewriteSlab(record, insert, 0.0, changed));
    FreeListOfLists(changed);
    resbuf* after = zcdbEntGet(insert);
    EXPECT_EQ(std::string(FindRbCode(after, 2)->resval.rstring), blockBefore);
    zcutRelRb(after);
    int blocksAfter = 0;
    for (resbuf* r = zcdbTblNext("BLOCK", 1); r; r = zcdbTblNext("BLOCK", 0)) {
        ++blocksAfter;
        zcutRelRb(r);
    }
    EXPECT_EQ(blocksAfter, blocks);
}

TEST_F(SlabBlockTest, layer_names_of_a_full_layer_name) {
    CFALDA record;
    record.name = "3DSWALK";
    record.flag2 = true;
    Make2DSlabLayerName(record);
    EXPECT_EQ(record.sideLayer, "3DSWALK");
    EXPECT_EQ(record.topLayer, "3DSWALK");
    EXPECT_EQ(record.layer2d, "2DSWALK");
}
