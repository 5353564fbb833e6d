// The slab xdata written by the block writer and read back into a record.
#include <gtest/gtest.h>

#include "roofs/slab_planes.h"
#include "tests/roofs/slab_fixture.h"

namespace {

class SlabRecordTest : public SlabTest {
protected:
    // A LINE of a floor slab carrying a record of an older writer: no flag
    // word, the key as text, a thickness of 5 and a triangle.
    static void OldSlabLine(ads_name e, const char* key) {
        zcdbRegApp(kSlabApp);
        const ads_point a{0, 0, 0}, b{10, 0, 0}, c{10, 10, 0};
        resbuf* line = zcutBuildList(RTDXF0, "LINE", 8, "VELMFLOORSLAB$300", 10, a, 11, b, -3, 1001, kSlabApp,
                                     1000, "FLOORSLAB", 1000, key, 1040, 5.0, 1002, "{", 1011, a, 1070, 1,
                                     1011, b, 1070, 1, 1011, c, 1070, 1, 1002, "}", 0);
        ASSERT_EQ(zcdbEntMake(line), RTNORM);
        zcutRelRb(line);
        zcdbEntLast(e);
    }
};

}  // namespace

TEST_F(SlabRecordTest, flag_words_0_and_31_survive_the_round_trip_and_a_reused_record_keeps_none) {
    for (int word : {31, 0}) {
        CFALDA record;
        record.name = "FLOORSLAB";
        record.thickness = 25.0;
        record.edgeKey = 2;
        DecodeSlabFlags(record, word);
        record.SetLoops(SlabLoops({Rect(0, 0, 100, 80, 0)}));
        ads_name insert;
        ASSERT_TRUE(WriteSlab(record, insert)) << word;

        // The record read back was loaded with another slab before.
        CFALDA back;
        DecodeSlabFlags(back, 31 - word);
        double floor = -1.0;
        ASSERT_TRUE(ReadSlabRecord(insert, back, floor));
        EXPECT_EQ(back.FlagWord(), word);
        EXPECT_EQ(back.name, "FLOORSLAB");
        EXPECT_EQ(back.edgeKey, 2);
        EXPECT_DOUBLE_EQ(back.thickness, 25.0);
        EXPECT_EQ(CountNodes(back.loops), 1);
        EXPECT_EQ(CountNodes(back.loops->vertices), 4);
        EXPECT_DOUBLE_EQ(floor, 0.0);
    }
}

TEST_F(SlabRecordTest, xdata_without_flag_word_reads_plain_and_key_text_in_any_case) {
    ads_name e;
    OldSlabLine(e, "KEY_ENT");
    CFALDA record;
    record.flag2 = true;
    double floor = -1.0;
    ASSERT_TRUE(ReadSlabRecord(e, record, floor));
    EXPECT_EQ(record.edgeKey, 3);
    EXPECT_EQ(record.FlagWord(), 0);
    EXPECT_DOUBLE_EQ(floor, 0.0);
    EXPECT_DOUBLE_EQ(record.slope, 0.0);
}

// An unknown key in a drawing is data: the reader keeps the record's key, so
// only a wrong caller can hand the face rules a key outside the four.
TEST_F(SlabRecordTest, an_unknown_key_text_keeps_the_edge_rules_in_range) {
    ads_name e;
    OldSlabLine(e, "key_none");
    CFALDA record;
    record.edgeKey = 2;
    double floor = 0.0;
    ASSERT_TRUE(ReadSlabRecord(e, record, floor));
    EXPECT_EQ(record.edgeKey, 2);
    int pair[2] = {-1, -1};
    SlabKeyPair(record.edgeKey, pair);
    EXPECT_EQ(pair[0], 1);
    EXPECT_EQ(pair[1], 0);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(SlabKeyPair(4, pair), "VELM_ASSERT\\(edgeKey >= 0 && edgeKey < 4\\)");
}

TEST_F(SlabRecordTest, floor_comes_from_the_layer_under_flag_1) {
    CFALDA record;
    record.name = "FLOORSLAB";
    record.flag1 = true;
    record.SetLoops(SlabLoops({Rect(0, 0, 100, 80, 300)}));
    ads_name insert;
    ASSERT_TRUE(WriteSlab(record, insert, "VELMFLOORSLAB$300", 300.0));
    CFALDA back;
    double floor = 0.0;
    ASSERT_TRUE(ReadSlabRecord(insert, back, floor));
    EXPECT_TRUE(back.flag1);
    EXPECT_DOUBLE_EQ(floor, 300.0);
}

TEST_F(SlabRecordTest, approximated_edges_are_stored_by_the_hide_switch) {
    for (bool hide : {true, false}) {
        CFALDA record;
        record.name = "FLOORSLAB";
        record.hideApproximated = hide;
        record.SetLoops(SlabLoops({{{0, 0, 0, 100}, {10, 0, 0, 101}, {10, 10, 0, 98}, {0, 10, 0, 99}}}));
        ads_name insert;
        ASSERT_TRUE(WriteSlab(record, insert));
        CFALDA back;
        double floor = 0.0;
        ASSERT_TRUE(ReadSlabRecord(insert, back, floor));
        std::vector<int> flags;
        for (const VertexNode* v = back.loops->vertices; v; v = v->next) flags.push_back(v->edgeFlag);
        if (hide)
            EXPECT_EQ(flags, (std::vector<int>{98, 99, 98, 99}));
        else
            EXPECT_EQ(flags, (std::vector<int>{100, 101, 100, 101}));
        EXPECT_EQ(back.hideApproximated, hide);
    }
}

TEST_F(SlabRecordTest, outline_vertices_come_reversed_without_repeats) {
    CFALDA record;
    record.name = "FLOORSLAB";
    record.SetLoops(SlabLoops({{{0, 0, 0}, {10, 0, 0}, {10, 0, 0}, {10, 10, 0}}}));
    ads_name insert;
    ASSERT_TRUE(WriteSlab(record, insert));
    OwnedList<VertexNode> outline(GetSlabOutlineVertices(insert));
    ASSERT_EQ(CountNodes(outline.get()), 3);
    EXPECT_DOUBLE_EQ(outline->x, 10.0);
    EXPECT_DOUBLE_EQ(outline->y, 10.0);
    EXPECT_EQ(outline->edgeFlag, 1);
}

TEST(SlabSlope, horizontal_vertical_and_rising_planes) {
    auto ring = [](std::initializer_list<Point3> pts) {
        VertexNode* list = nullptr;
        for (const Point3& p : pts) AppendVertex(&list, p, 1, 0, 0);
        return OwnedList<VertexNode>(list);
    };
    int kind = 0;
    auto flat = ring({{0, 0, 300}, {10, 0, 300}, {10, 10, 300}, {0, 10, 300}});
    EXPECT_DOUBLE_EQ(GetLoopSlope(flat.get(), kind), 300.0);
    EXPECT_EQ(kind, 2);
    auto wall = ring({{0, 0, 0}, {10, 0, 0}, {10, 0, 10}, {0, 0, 10}});
    EXPECT_DOUBLE_EQ(GetLoopSlope(wall.get(), kind), 0.0);
    EXPECT_EQ(kind, -1);
    auto rising = ring({{0, 0, 0}, {10, 0, 0}, {10, 10, 5}, {0, 10, 5}});
    EXPECT_NEAR(GetLoopSlope(rising.get(), kind), 50.0, 1e-9);
    EXPECT_EQ(kind, 1);
}
