// Texts, attribute definitions and dimensions: groups, values and the
// state of the drawing around the host's dimension command.
#include "objects/draw/draw_annotation.h"

#include "core/host_services.h"
#include "draw_fixture.h"
#include "host/ads/units.h"
#include "host/ed/cmdproc.h"

namespace {

int ShortVar(const char* name) {
    const int keep = -1;
    return SysVarShort(name, &keep);
}

std::string TextOfBlock(const std::vector<Groups>& all) {
    std::string joined;
    for (const Groups& g : all) {
        const resbuf* k = FindRbCode(g.get(), 0);
        if (k && (std::string(k->resval.rstring) == "TEXT" || std::string(k->resval.rstring) == "MTEXT"))
            joined += FindRbCode(g.get(), 1)->resval.rstring;
    }
    return joined;
}

}  // namespace

TEST_F(DrawSection, texts_take_justification_generation_and_formatted_values) {
    ObjContext& c = section(
        "TEXT\nL1\n(10 20 0 201)\n(\"BRAK\")\n(2.5)\n(0.25)\n(2)\n($7)\n"
        "TEXT\nL1\n(10 20 0)\n(STANDARD)\n(2.5)\n(0)\n(0)\n(bez cudzysłowu)\n"
        "TEXTNS\nL1\n(0 0 0)\n(\"STANDARD\")\n(1)\n(0)\n(2)\n(0)\n(\"D-\")\n(0)\n($4)\n"
        "ATTDEF\nL1\n(1 2 0 102)\n(\"STANDARD\")\n(3)\n(0.5)\n(0)\n(\"?\")\n(8)\n(\"NR\")\n(\"Numer\")\n"
        "END\n");
    SetObjVar(7, kVarFixed, 0, u'R', "", 2.5, "", 0, 0, c.vars);
    SetObjVar(4, kVarFixed, 0, u'S', "", 0.0, "12a", 0, 0, c.vars);
    c.mirrored = 1;
    const int dimzin = 8;
    SysVarShort("DIMZIN", &dimzin);
    ASSERT_EQ(run(c), 1);
    EXPECT_EQ(ShortVar("DIMZIN"), 8);
    std::vector<Groups> all = blockEntities(c.blockName);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(text(all[0], 1), "2.50");
    EXPECT_EQ(integer(all[0], 72), 1);
    EXPECT_EQ(integer(all[0], 73), 2);
    EXPECT_EQ(integer(all[0], 71), 2);       // mirrored: backward
    EXPECT_EQ(text(all[0], 7), "STANDARD");  // a missing style
    EXPECT_POINT(point(all[0], 11), 10, 20, 0);
    EXPECT_EQ(text(all[1], 1), "");  // unquoted: the empty text
    EXPECT_EQ(integer(all[1], 72), 0);
    EXPECT_EQ(text(all[2], 1), "D-12a");
    EXPECT_EQ(kind(all[3]), "ATTDEF");
    EXPECT_EQ(text(all[3], 2), "NR");
    EXPECT_EQ(integer(all[3], 74), 1);
    EXPECT_EQ(integer(all[3], 72), 2);
    EXPECT_POINT(point(all[3], 10), 1, 2, 0);
    EXPECT_EQ(real(all[3], 40), 3.0);
    EXPECT_NE(integer(all[3], 71), 2);  // never marked backward at section level
    EXPECT_EQ(real(all[3], 50), 0.0);
    ASSERT_EQ(c.attdefs.size(), 1u);
    EXPECT_EQ(c.attdefs[0].rotation, 0.5);
    EXPECT_EQ(c.attdefs[0].justification, 102);
    EXPECT_EQ(c.attdefs[0].prompt, "Numer");

    ObjContext& undefined = section("TEXT\nL1\n(0 0 0)\n(\"STANDARD\")\n(1)\n(0)\n(0)\n($55)\nEND\n", "T2");
    EXPECT_EQ(run(undefined), kDrawTextFailed);
    ObjContext& failedAttdef =
        section("ATTDEF\nL1\n(0 0 0)\n(\"S\")\n(1)\n(0)\n(0)\n(\"?\")\n(x)\nEND\n", "T3");
    EXPECT_EQ(run(failedAttdef), kDrawAttdefFailed);
    EXPECT_TRUE(failedAttdef.attdefs.empty());
}

TEST_F(DrawSection, dimensions_are_drawn_by_the_host_and_copied_into_the_block) {
    // A line of the user's, last in the drawing before the statements run.
    ads_point a{0, 0, 0}, b{1, 1, 0};
    resbuf* line = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, 0);
    ASSERT_EQ(zcdbEntMake(line), RTNORM);
    zcutRelRb(line);
    const double lfac = 0.01;
    const int on = 1;
    SysVarReal("DIMLFAC", &lfac, &on);
    const int two = 2, zeros = 0;
    SysVarShort("DIMDEC", &two);
    SysVarShort("DIMZIN", &zeros);  // the drawing's own zero suppression applies
    std::string former;
    SysVarString("DIMSTYLE", "", former);

    ObjContext& c = section(
        "DIM\nWYM\nSTANDARD\nALIGNED\n($5)\n(0 0 0)\n(100 0 0)\n(50 -20 0)\n"
        "DIM\nWYM\nstandard\nangular\n(*)\n(0 0 0)\n(100 0 0)\n(0 100 0)\n(30 30 0)\n"
        "END\n");
    SetObjVar(5, kVarFixed, 0, u'R', "", 100.0, "", 0, 0, c.vars);
    ASSERT_EQ(run(c), 1);
    std::vector<Groups> all = blockEntities(c.blockName);
    std::vector<const Groups*> dims = ofKind(all, "DIMENSION");
    ASSERT_EQ(dims.size(), 2u);
    EXPECT_EQ(integer(*dims[0], 70) & 15, 1);
    EXPECT_EQ(integer(*dims[1], 70) & 15, 2);
    EXPECT_POINT(point(*dims[1], 16), 30, 30, 0);
    const std::string picture = text(*dims[0], 2);
    ASSERT_FALSE(picture.empty());
    EXPECT_NE(TextOfBlock(blockEntities(picture)).find("1.00"), std::string::npos);
    EXPECT_FALSE(text(*dims[1], 2).empty());
    // The drawn dimensions are gone, the user's line stays, the style is back.
    EXPECT_EQ(count("0=DIMENSION"), 0);
    EXPECT_EQ(count("0=LINE"), 1);
    std::string now;
    SysVarString("DIMSTYLE", "", now);
    EXPECT_EQ(now, former);

    ObjContext& wrongType = section("DIM\nWYM\nSTANDARD\nRADIAL\n(*)\n(0 0 0)\nEND\n", "T2");
    EXPECT_EQ(run(wrongType), kDrawDimFailed);
    ObjContext& noStyle = section("DIM\nWYM\nBRAK\nALIGNED\n(*)\nEND\n", "T3");
    EXPECT_EQ(run(noStyle), kDrawDimFailed);
    EXPECT_EQ(count("0=LINE"), 1);
}

// A value's text is the conversion with DIMZIN 1, whatever the drawing's
// DIMZIN, which stays as it was: against the conversion run with the
// variable set, for values that round, carry, go negative or run past the
// text's length.
TEST_F(DrawSection, value_texts_are_the_conversion_with_zeros_kept) {
    ObjContext& c = section("END\n");
    const int fifteen = 15;
    SysVarShort("DIMZIN", &fifteen);
    for (const double value : {0.0, 2.5, -0.004, 9.9996, 1234567.891, 1e-9, -1e120, 3e300}) {
        for (const int precision : {-1, 0, 2, 8, 15}) {
            SetObjVar(7, kVarFixed, 0, u'R', "", value, "", 0, 0, c.vars);
            std::string got;
            ASSERT_EQ(ReadTextValue("$7", precision, c, got), 1);
            const int one = 1;
            SysVarShort("DIMZIN", &one);
            char expected[130] = "";
            zcdbRToS(value, 2, precision, expected);
            SysVarShort("DIMZIN", &fifteen);
            EXPECT_EQ(got, expected) << value << " at " << precision;
        }
    }
    EXPECT_EQ(ShortVar("DIMZIN"), 15);
}
