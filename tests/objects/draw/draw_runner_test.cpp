// The section runner: the block it makes, the keyword dispatch, failure
// codes, the fixed-point marker and the deferred hatches.
#include <filesystem>

#include "draw_fixture.h"
#include "store/setup_slots.h"

TEST_F(DrawSection, end_alone_gives_an_empty_block_and_the_marker_by_insertion_type) {
    ObjContext& empty = section("END\n");
    EXPECT_EQ(run(empty), 1);
    EXPECT_EQ(empty.blockName.rfind("*U", 0), 0u) << empty.blockName;
    EXPECT_TRUE(blockEntities(empty.blockName).empty());

    setInt(SetupVar::SET_PFISSOATTIVO, 1);
    setReal(SetupVar::SET_DIMQPFISSO, 10.0);
    for (int type : {10, 13, 21, 26}) {
        SCOPED_TRACE(type);
        ObjContext& c = section("END\n", "M" + std::to_string(type));
        c.insertionType = static_cast<InsertionType>(type);
        ASSERT_EQ(run(c), 1);
        std::vector<Groups> all = blockEntities(c.blockName);
        if (type != 10) {
            EXPECT_TRUE(all.empty());
            continue;
        }
        ASSERT_EQ(all.size(), 6u);
        for (const Groups& g : all) {
            EXPECT_EQ(kind(g), "LINE");
            EXPECT_EQ(text(g, 8), "VELM_FIXEDP_X");
        }
        // The square's first side and its last diagonal.
        EXPECT_POINT(point(all[0], 10), -5, -5, 0);
        EXPECT_POINT(point(all[0], 11), 5, -5, 0);
        EXPECT_POINT(point(all[5], 10), 5, -5, 0);
        EXPECT_POINT(point(all[5], 11), -5, 5, 0);
    }
}

TEST_F(DrawSection, keyword_lines_conditions_and_lines_naming_no_statement) {
    ObjContext& c = section(
        "; komentarz\n"
        "\n"
        "LINE ; pierwsza\n"
        "L1\n(0 0 0)\n(1 0 0)\n"
        "LINE\n(0)\nL1\n(5 5 5)\n(6 6 6)\n"  // false: its lines are passed over
        "line\nL1\n(0 0 0)\n(0 2 0)\n"
        "END\n");
    SetObjVar(9, kVarFixed, 0, u'R', "", 0.0, "", 0, 0, c.vars);
    ASSERT_EQ(run(c), 1);
    std::vector<Groups> all = blockEntities(c.blockName);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_POINT(point(all[0], 11), 1, 0, 0);
    EXPECT_POINT(point(all[1], 11), 0, 2, 0);
}

TEST_F(DrawSection, a_failing_statement_returns_its_code_and_keeps_the_old_block_name) {
    struct Case {
        const char* body;
        int code;
    };
    const Case cases[] = {
        {"LINE\nL1\n(0 0 0)\n(1 0 0)\nCIRCLE\nL1\n(0 0 0)\n(0 0 1)\n(x)\nEND\n", kDrawCircleFailed},
        {"ROTATE\n(0 0 0)\n(0 0 0)\n(0)\nLINE\nL1\n(0 0 0)\n(1 0 0)\n", kDrawRotateFailed},
        {"ARRAY\n(x)\n", -121},
        {"PLINE\nL1\n1 1\n(0 0 0)\n(1 2)\nEND\n", kDrawPlineFailed},
        {"LWPLINE\nL1\n(0 0 0)\n(-1)\nEND\n", kDrawPolygonFailed},
        {"LINE\nL1\n(0 0 0)\n(1 0 0)\n", kDrawTextEnded},
    };
    int serial = 0;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.body);
        ObjContext& c = section(k.body, "E" + std::to_string(++serial));
        c.blockName = "STARY";
        EXPECT_EQ(run(c), k.code);
        EXPECT_EQ(c.blockName, "STARY");
    }
    // The definition closed on failure keeps what was drawn before it: the
    // next block made is a fresh one.
    ObjContext& after = section("END\n", "PO");
    EXPECT_EQ(run(after), 1);
    EXPECT_TRUE(blockEntities(after.blockName).empty());
}

TEST_F(DrawSection, hatches_are_made_newest_first_in_the_contour_plane) {
    std::filesystem::copy_file(std::string(VELM_SOURCE_DIR) + "/support/VELSTONE.pat", dir / "VELSTONE.pat");
    ObjContext& c = section(
        "HATCH\nH1\nVELSTONE\n4\n(10 0 0)\n(0 0 0)\n(100 0 0)\n(100 100 0)\n(0 100 0)\n"
        "HATCH\nH2\nANSI31\n3\n(5 0 0)\n(0 0 0)\n(0 0 100)\n(100 0 0)\n"  // a vertical triangle
        "HATCH\nH3\nANSI31\n2\n(5 0 0)\n(0 0 0)\n(0 0 0)\n"               // no plane: left out
        "END\n");
    ASSERT_EQ(run(c), 1);
    ASSERT_EQ(c.hatches.size(), 3u);
    EXPECT_EQ(c.hatches[0].layer, "H3");
    EXPECT_EQ(c.hatches[2].pattern, "VELSTONE");
    std::vector<Groups> all = blockEntities(c.blockName);
    std::vector<const Groups*> hatches = ofKind(all, "HATCH");
    ASSERT_EQ(hatches.size(), 2u);
    EXPECT_EQ(text(*hatches[0], 8), "H2");
    EXPECT_EQ(text(*hatches[1], 8), "H1");
    EXPECT_EQ(integer(*hatches[1], 76), 2);  // custom: found on the support path
    EXPECT_EQ(integer(*hatches[0], 76), 1);
    // The vertical triangle's hatch lies in its plane (y = 0).
    const Point3 n = point(*hatches[0], 210);
    EXPECT_NEAR(std::abs(n.y), 1.0, 1e-9);
}

TEST_F(DrawSection, hatch_count_line_is_checked_even_when_the_condition_is_false) {
    ObjContext& bad = section("HATCH\n(0)\nH1\nANSI31\nczworokąt\nEND\n");
    EXPECT_EQ(run(bad), kDrawHatchFailed);
    ObjContext& skipped = section("HATCH\n(0)\nH1\nANSI31\n4\n(1 0 0)\nEND\n", "T2");
    EXPECT_EQ(run(skipped), 1);
    EXPECT_TRUE(skipped.hatches.empty());
    ObjContext& unreadable = section("HATCH\nH1\nANSI31\n2\n(1 0 0)\n(0 0 0)\n($77 0 0)\nEND\n", "T3");
    EXPECT_EQ(run(unreadable), kDrawHatchFailed);
}

TEST_F(DrawSection, statements_see_the_variables_as_declared_when_their_section_starts) {
    // A repeated number is its first declaration; a far number is found
    // beyond the small ones; a condition reads its variable too.
    const std::string body = "LINE\n($42)\nL1\n($40 0 0)\n($12000 $41 0)\nEND\n";
    ObjContext& c = section(body);
    const auto real = [&c](int number, double value) {
        SetObjVar(number, kVarFixed, 0, u'R', "", value, "", 0, 0, c.vars);
    };
    real(40, 1.0);
    real(41, 2.0);
    real(12000, 3.0);
    real(42, 1.0);
    c.vars.push_back(std::make_unique<ObjVar>());
    c.vars.back()->number = 40;
    c.vars.back()->value = 99.0;
    ASSERT_EQ(run(c), 1);
    EXPECT_EQ(c.drawVars, nullptr);
    std::vector<Groups> all = blockEntities(c.blockName);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_POINT(point(all[0], 10), 1, 0, 0);
    EXPECT_POINT(point(all[0], 11), 3, 2, 0);

    // Declared anew between runs (other variables, in another order): the
    // next run finds the new ones, not what the last one indexed.
    FreeObjVars(c.vars);
    real(12000, 7.0);
    real(41, 6.0);
    real(40, 5.0);
    real(42, 1.0);
    ASSERT_TRUE(FindSection("DRAW", *c.text, true));
    ASSERT_EQ(run(c), 1);
    all = blockEntities(c.blockName);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_POINT(point(all[0], 10), 5, 0, 0);
    EXPECT_POINT(point(all[0], 11), 7, 6, 0);

    // Gone from the list: undeclared, and the index left behind with the
    // failed section.
    FreeObjVars(c.vars);
    real(42, 1.0);
    ASSERT_TRUE(FindSection("DRAW", *c.text, true));
    EXPECT_EQ(run(c), kDrawLineFailed);
    EXPECT_EQ(c.drawVars, nullptr);
}
