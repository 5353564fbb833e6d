// ARRAY and ROTATE blocks: copies, turns, per-copy variables, skipped
// bodies, and what the blocks do not recognise.
#include "objects/draw/draw_blocks.h"

#include <cmath>

#include "draw_fixture.h"
#include "objects/language/obj_geometry.h"

namespace {
const double kPi = std::acos(-1.0);
}

TEST_F(DrawSection, array_copies_are_moved_and_turned) {
    ObjContext& moved =
        section("ARRAY\n(4)\n(100 0 0)\n(0 0 0)\n(0)\nLINE\nL1\n(0 0 0)\n(0 10 0)\nEND_ARRAY\nEND\n");
    ASSERT_EQ(run(moved), RTNORM);  // the last ARRAY result
    std::vector<Groups> lines = blockEntities(moved.blockName);
    ASSERT_EQ(lines.size(), 4u);
    for (int k = 0; k < 4; ++k) EXPECT_POINT(point(lines[k], 10), 100.0 * k, 0, 0);

    ObjContext& turned = section(
        "ARRAY\n(4)\n(0 0 0)\n(50 50 0)\n(1.5707963267948966)\n"
        "ARC\nL1\n(60 50 0)\n(0 0 1)\n(5 0 0 1)\n"
        "END_ARRAY\nEND\n",
        "T2");
    ASSERT_EQ(run(turned), RTNORM);
    std::vector<Groups> arcs = blockEntities(turned.blockName);
    ASSERT_EQ(arcs.size(), 4u);
    const double expected[4][2] = {{60, 50}, {50, 60}, {40, 50}, {50, 40}};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        EXPECT_POINT(point(arcs[k], 10), expected[k][0], expected[k][1], 0);
        EXPECT_NEAR(real(arcs[k], 50), k * kPi / 2, 1e-12);
        EXPECT_NEAR(real(arcs[k], 51), 1 + k * kPi / 2, 1e-12);
    }
}

TEST_F(DrawSection, empty_and_false_arrays_skip_to_their_end) {
    ObjContext& c = section(
        "ARRAY\n(0)\n(1 0 0)\n(0 0 0)\n(0)\nLINE\nL1\n(0 0 0)\n(1 0 0)\nEND_ARRAY\n"
        "ARRAY\n(2)\n(0 100 0)\n(0 0 0)\n(0)\n"
        "ARRAY\n(3)\n(1 0 0)\n(0 0 0)\n(0)\n(0)\nARRAY\n(1)\n(0 0 0)\n(0 0 0)\n(0)\nEND_ARRAY\n"
        "LINE\nL1\n(0 0 0)\n(9 0 0)\nEND_ARRAY\n"
        "LINE\nL1\n(0 0 0)\n(0 5 0)\n"
        "END_ARRAY\n"
        "LINE\nL1\n(0 0 7)\n(0 0 8)\n"
        "END\n");
    ASSERT_EQ(run(c), RTNORM);
    std::vector<Groups> all = blockEntities(c.blockName);
    // Two copies of the outer body's LINE, then the section's own.
    ASSERT_EQ(all.size(), 3u);
    EXPECT_POINT(point(all[0], 11), 0, 5, 0);
    EXPECT_POINT(point(all[1], 11), 0, 105, 0);
    EXPECT_POINT(point(all[2], 11), 0, 0, 8);
}

TEST_F(DrawSection, per_copy_variables_take_their_copy_values_and_come_back) {
    ObjContext& c = section(
        "ARRAY\n(3)\n(0 0 0)\n(0 0 0)\n(0)\nARRAY_VARN\n$12= 100*N ; przesunięcie\nEND_VARN\n"
        "LINE\nL1\n($12 0 0)\n($31 1 0)\nEND_ARRAY\nEND\n");
    SetObjVar(12, kVarFixed, 0, u'R', "", 7.0, "", 0, 0, c.vars);
    SetObjVar(31, kVarComputed, 1, u'R', "$12*2", 14.0, "", 0, 0, c.vars);
    ASSERT_EQ(run(c), RTNORM);
    std::vector<Groups> all = blockEntities(c.blockName);
    ASSERT_EQ(all.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_POINT(point(all[k], 10), 100.0 * k, 0, 0);
        EXPECT_POINT(point(all[k], 11), 200.0 * k, 1, 0);  // computed with the copy's $12
    }
    // After the array the computed variables agree with $12 again.
    EXPECT_EQ(FindObjVar(31, c.vars)->value, 2 * FindObjVar(12, c.vars)->value);

    ObjVarList perCopy;
    ObjContext& bad = section("ARRAY_VARN\n$12 100\nEND_VARN\n", "T2");
    FindSection("OBIEKT", *bad.text, true);
    EXPECT_EQ(ParseArrayVarNBlock(bad, perCopy), -1);
    EXPECT_TRUE(perCopy.empty());
    ObjContext& unended = section("ARRAY\n(1)\n(0 0 0)\n(0 0 0)\n(0)\nARRAY_VARN\n$12=1\n", "T3");
    EXPECT_EQ(run(unended), -101);
}

TEST_F(DrawSection, rotate_moves_and_turns_once_and_is_not_seen_inside_an_array) {
    ObjContext& c = section(
        "ROTATE\n(10 0 0)\n(0 0 0)\n(3.141592653589793)\n"
        "LINE\nL1\n(1 0 0)\n(1 1 0)\n"
        "TEXT\nL1\n(0 0 0 0)\n(\"STANDARD\")\n(2)\n(0.5)\n(0)\n(\"A\")\n"
        "END_ROTATE\nEND\n");
    c.mirrored = 1;
    ASSERT_EQ(run(c), 1);
    std::vector<Groups> all = blockEntities(c.blockName);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_POINT(point(all[0], 10), -11, 0, 0);
    EXPECT_POINT(point(all[0], 11), -11, -1, 0);
    EXPECT_POINT(point(all[1], 10), -10, 0, 0);
    EXPECT_NEAR(real(all[1], 50), 0.5 + kPi, 1e-12);
    EXPECT_EQ(integer(all[1], 71), 4);

    const Point3 p = TransformCopyPoint({}, {}, 0.0, 1, {10, 0, 0}, kPi, {}, {1, 0, 0});
    EXPECT_NEAR(p.x, -11, 1e-12);

    ObjContext& inArray = section(
        "ARRAY\n(2)\n(0 10 0)\n(0 0 0)\n(0)\n"
        "ROTATE\n(100 0 0)\n(0 0 0)\n(1)\nLINE\nL1\n(0 0 0)\n(1 0 0)\nEND_ROTATE\n"
        "TEXT\nL1\n(0 0 0)\n(\"STANDARD\")\n(1)\n(0)\n(0)\n(\"X\")\n"
        "LINE \nL1\n(0 0 0)\n(5 0 0)\n"
        "END_ARRAY\nEND\n",
        "T2");
    ASSERT_EQ(run(inArray), RTNORM);
    all = blockEntities(inArray.blockName);
    ASSERT_EQ(all.size(), 2u);  // the LINE of each copy, not turned; no TEXT
    EXPECT_POINT(point(all[1], 10), 0, 10, 0);
    EXPECT_POINT(point(all[1], 11), 1, 10, 0);
}

TEST_F(DrawSection, array_statement_faults_have_their_own_codes) {
    struct Case {
        const char* body;
        int code;
    };
    const Case cases[] = {
        {"(1)\n(0 0 0)\n(0 0 0)\n(x)\n", -127},
        {"(1)\n(0 0 0)\n(0 $88 0)\n(0)\n", -125},
        {"(1)\n(0 0 0)\n(0 0 0)\n(0)\nLINE\nL1\n(0 0 0)\n(a 0 0)\nEND_ARRAY\n", -112},
        {"(1)\n(0 0 0)\n(0 0 0)\n(0)\nPFACE\nL1\n81 1\nEND_ARRAY\n", -106},
        {"(1)\n(0 0 0)\n(0 0 0)\n(0)\nPFACE\nL1\n1 1\n(0 0 0)\n(1 1 1 2)\nEND_ARRAY\n", -110},
        {"(1)\n(0 0 0)\n(0 0 0)\n(0)\nCIRCLE\nL1\n(0 0 0)\n(0 0 1)\n($99)\nEND_ARRAY\n", -114},
        {"(1)\n(0 0 0)\n(0 0 0)\n(0)\nARC\nL1\n(0 0 0)\n(0 0 1)\n(-1 0 0 0)\nEND_ARRAY\n", -115},
        {"(1)\n(0 0 0)\n(0 0 0)\n(0)\nLINE\nL1\n(0 0 0)\n(1 0 0)\n", -101},
        {"(1)\n(0 0 0)\n(0 0 0)\n(0)\nARRAY\n(x)\nEND_ARRAY\nEND_ARRAY\n", -102},
    };
    int serial = 0;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.body);
        ObjContext& c = section(std::string("ARRAY\n") + k.body + "END\n", "A" + std::to_string(++serial));
        EXPECT_EQ(run(c), k.code);
    }
}
