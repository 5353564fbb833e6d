// Dimensions made by "_DIM"/"_DIM1": the entity, its "*D" block and the
// text it shows under DIMSCALE, DIMLFAC, DIMDEC, DIMZIN and overrides;
// "_TEDIT"; dimension styles saved and restored.
#include <cmath>
#include <utility>
#include <vector>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/db/dbdim.h"
#include "host/db/dbents.h"
#include "host/db/dbsymtb.h"
#include "host/db/dxffile.h"
#include "host/ed/hostcmd_util.h"
#include "tests/host/ed/cmd_fixture.h"

namespace {

class DimCommand : public CmdSession {
protected:
    // The texts and line count of a dimension's block.
    struct BlockPicture {
        std::vector<std::string> texts;
        std::vector<double> heights;
        std::vector<ZcGePoint3d> textAt;
        int lines = 0, arrows = 0;
    };
    static BlockPicture picture(ZcDbObjectId dimId) {
        BlockPicture p;
        ZcDbObjectId block;
        with<ZcDbDimension>(dimId, [&](ZcDbDimension* d) {
            block = d->dimBlockId();
            EXPECT_EQ(d->dimBlockName().rfind("*D", 0), 0u);
        });
        for (ZcDbObjectId id : entities<ZcDbEntity>(block)) {
            ZcDbEntity* e = nullptr;
            if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) continue;
            if (auto* t = ZcDbText::cast(e)) {
                p.texts.push_back(t->textString());
                p.heights.push_back(t->height());
                p.textAt.push_back(t->alignmentPoint());
            }
            if (ZcDbLine::cast(e)) ++p.lines;
            if (ZcDbSolid::cast(e)) ++p.arrows;
            e->close();
        }
        return p;
    }
};

TEST_F(DimCommand, horizontal_dimension_measures_and_draws_its_block) {
    EXPECT_EQ(run({"_DIM", "_HOR", "0,0", "10,3", "5,8", "", "_EXIT"}), RTNORM);
    auto dims = entities<ZcDbRotatedDimension>();
    ASSERT_EQ(dims.size(), 1u);
    with<ZcDbRotatedDimension>(dims[0],
                               [](ZcDbRotatedDimension* d) { EXPECT_NEAR(d->measurement(), 10, 1e-12); });
    BlockPicture p = picture(dims[0]);
    ASSERT_EQ(p.texts.size(), 1u);
    EXPECT_EQ(p.texts[0], "10");
    EXPECT_EQ(p.lines, 3);  // two extension lines and the dimension line
    EXPECT_EQ(p.arrows, 2);
    // Above the dimension line (y 8) by the gap and half the text.
    EXPECT_NEAR(p.textAt[0].y, 8 + 0.625 + 1.25, 1e-9);
}

TEST_F(DimCommand, settings_shape_the_text) {
    resbuf v;
    v.restype = RTREAL;
    v.resval.rreal = 2;
    zcedSetVar("DIMLFAC", &v);
    zcedSetVar("DIMSCALE", &v);
    v.restype = RTSHORT;
    v.resval.rint = 2;
    zcedSetVar("DIMDEC", &v);
    v.resval.rint = 0;
    zcedSetVar("DIMZIN", &v);
    run({"_DIM", "_VER", "0,0", "3,1.25", "9,0", "", "_ALI", "0,0", "3,4", "1,5", "<> cm", "_EXIT"});
    auto dims = entities<ZcDbDimension>();
    ASSERT_EQ(dims.size(), 2u);
    BlockPicture vertical = picture(dims[0]), aligned = picture(dims[1]);
    EXPECT_EQ(vertical.texts[0], "2.50");
    EXPECT_DOUBLE_EQ(vertical.heights[0], 5.0);  // DIMTXT times DIMSCALE
    EXPECT_EQ(aligned.texts[0], "10.00 cm");
    EXPECT_TRUE(ZcDbAlignedDimension::cast(dims[1].stub()->object.get()) &&
                !ZcDbRotatedDimension::cast(dims[1].stub()->object.get()));
}

TEST_F(DimCommand, one_shot_dimensions_through_zcedCmd_and_tedit) {
    ads_point c = {0, 0, 0}, a = {10, 0, 0}, b = {0, 10, 0}, arc = {5, 5, 0};
    resbuf* args = zcutBuildList(RTSTR, "_DIM1", RTSTR, "_ANGULAR", RTSTR, "", RT3DPOINT, c, RT3DPOINT, a,
                                 RT3DPOINT, b, RT3DPOINT, arc, RTSTR, "", RTSTR, "", 0);
    EXPECT_EQ(zcedCmd(args), RTNORM);
    zcutRelRb(args);
    auto dims = entities<ZcDb3PointAngularDimension>();
    ASSERT_EQ(dims.size(), 1u);
    EXPECT_EQ(picture(dims[0]).texts[0], "90°");
    ads_point p1 = {0, 0, 0}, p2 = {4, 0, 0}, p3 = {2, -3, 0};
    EXPECT_EQ(zcedCommand(RTSTR, "_DIM1", RTSTR, "_ALIGNED", RT3DPOINT, p1, RT3DPOINT, p2, RT3DPOINT, p3,
                          RTSTR, "X", RTNONE),
              RTNORM);
    ads_point at = {20, 20, 0};
    EXPECT_EQ(zcedCommand(RTSTR, "_DIM", RTSTR, "_TEDIT", RTSTR, "_L", RT3DPOINT, at, RTSTR, "_EXIT", RTNONE),
              RTNORM);
    auto all = entities<ZcDbDimension>();
    ASSERT_EQ(all.size(), 2u);
    BlockPicture moved = picture(all[1]);
    ASSERT_EQ(moved.texts.size(), 1u);
    EXPECT_EQ(moved.texts[0], "X");
    EXPECT_TRUE(moved.textAt[0].isEqualTo(ZcGePoint3d(20, 20, 0)));
    with<ZcDbDimension>(
        all[1], [](ZcDbDimension* d) { EXPECT_TRUE(d->textPosition().isEqualTo(ZcGePoint3d(20, 20, 0))); });
}

// A dimension made while DIMSCALE and DIMTXT differ from its style's keeps
// them as its own overrides, where an exchange-format reader finds them; its
// picture drawn again after the variables went back keeps its size, and a
// dimension made at the style's values carries no override at all.
TEST_F(DimCommand, scale_and_text_height_current_at_making_stay_with_the_dimension) {
    resbuf v;
    v.restype = RTREAL;
    v.resval.rreal = 5;
    zcedSetVar("DIMSCALE", &v);
    v.resval.rreal = 3;
    zcedSetVar("DIMTXT", &v);
    run({"_DIM", "_HOR", "0,0", "400,0", "200,-70", "", "_EXIT"});
    v.resval.rreal = 1;
    zcedSetVar("DIMSCALE", &v);
    v.resval.rreal = 2.5;
    zcedSetVar("DIMTXT", &v);
    run({"_DIM", "_HOR", "0,0", "30,0", "15,-70", "", "_EXIT"});
    auto dims = entities<ZcDbDimension>();
    ASSERT_EQ(dims.size(), 2u);
    EXPECT_DOUBLE_EQ(picture(dims[0]).heights[0], 15.0);
    with<ZcDbDimension>(dims[0], [](ZcDbDimension* d) {
        EXPECT_DOUBLE_EQ(d->dimscale(), 5.0);
        EXPECT_DOUBLE_EQ(d->dimtxt(), 3.0);
    });
    // Drawn again (as an editing command does) under the style's values.
    ZcDbDimension* d = nullptr;
    ASSERT_EQ(zcdbOpenObject(d, dims[0], ZcDb::kForWrite), Zcad::eOk);
    EXPECT_TRUE(host::rebuildDimensionBlock(d));
    d->close();
    EXPECT_DOUBLE_EQ(picture(dims[0]).heights[0], 15.0);
    EXPECT_DOUBLE_EQ(picture(dims[1]).heights[0], 2.5);

    host::DxfLoadResult r = host::readDxfText(host::writeDxfText(db()));
    ASSERT_TRUE(r.db) << r.error;
    std::vector<std::vector<std::pair<int, double>>> overrides;
    ZcDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(zcdbOpenObject(space, r.db->modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    for (ZcDbObjectId id : space->entityIds()) {
        ZcDbDimension* back = nullptr;
        if (zcdbOpenObject(back, id, ZcDb::kForRead) != Zcad::eOk) continue;
        resbuf* acad = back->xData("ACAD");
        overrides.emplace_back();
        for (const resbuf* x = acad; x; x = x->rbnext)
            if (x->restype == 1070 && x->rbnext && x->rbnext->restype == 1040)
                overrides.back().emplace_back(x->resval.rint, x->rbnext->resval.rreal);
        zcutRelRb(acad);
        back->close();
    }
    space->close();
    using Pairs = std::vector<std::pair<int, double>>;
    EXPECT_EQ(overrides, (std::vector<Pairs>{{{40, 5.0}, {140, 3.0}}, {}}));
}

TEST_F(DimCommand, styles_are_saved_and_restored) {
    resbuf v;
    v.restype = RTREAL;
    v.resval.rreal = 50;
    zcedSetVar("DIMSCALE", &v);
    EXPECT_EQ(run({"_-DIMSTYLE", "_S", "DUZA"}), RTNORM);
    EXPECT_EQ(host::sysVarString("DIMSTYLE"), "DUZA");
    EXPECT_EQ(zcedCommand(RTSTR, "_DIMSTYLE", RTSTR, "", RTSTR, "STANDARD", RTNONE), RTNORM);
    EXPECT_DOUBLE_EQ(host::sysVarReal("DIMSCALE"), 1.0);
    EXPECT_EQ(host::sysVarString("DIMSTYLE"), "STANDARD");
    run({"_-DIMSTYLE", "_R", "DUZA"});
    EXPECT_DOUBLE_EQ(host::sysVarReal("DIMSCALE"), 50.0);
    EXPECT_EQ(run({"_-DIMSTYLE", "_R", "BRAK"}), RTERROR);
    EXPECT_EQ(host::sysVarString("DIMSTYLE"), "DUZA");
    // A dimension takes the current style's name.
    run({"_DIM1", "_HOR", "0,0", "1,0", "0,1", ""});
    with<ZcDbDimension>(entities<ZcDbDimension>()[0],
                        [](ZcDbDimension* d) { EXPECT_EQ(d->dimensionStyleName(), "DUZA"); });
}

}  // namespace

TEST_F(DimCommand, angular_between_two_picked_lines_in_the_quarter_of_the_arc) {
    ASSERT_EQ(run({"_LINE", "0,0", "10,0", "", "_LINE", "-2,-2", "8,8", ""}), RTNORM);
    // The arc point above the first line, right of the diagonal: 45°.
    EXPECT_EQ(run({"_DIM1", "_ANGULAR", "!pick 6,0", "!pick 4,4", "6,1", "", ""}), RTNORM);
    // Below the first line, left of the diagonal: the other angle, 135°,
    // through the command's argument list with (entity point) picks.
    ads_point p1 = {6, 0, 0}, p2 = {4, 4, 0}, arc = {-3, 1, 0};
    ads_name e1 = {0, 0}, e2 = {0, 0};
    auto lines = entities<ZcDbLine>();
    ASSERT_EQ(lines.size(), 2u);
    ASSERT_EQ(zcdbGetAdsName(e1, lines[0]), Zcad::eOk);
    ASSERT_EQ(zcdbGetAdsName(e2, lines[1]), Zcad::eOk);
    resbuf* args =
        zcutBuildList(RTSTR, "_DIM1", RTSTR, "_ANGULAR", RTLB, RTENAME, e1, RTPOINT, p1, RTLE, RTLB, RTENAME,
                      e2, RTPOINT, p2, RTLE, RT3DPOINT, arc, RTSTR, "", RTSTR, "", 0);
    EXPECT_EQ(zcedCmd(args), RTNORM);
    zcutRelRb(args);
    auto dims = entities<ZcDb2LineAngularDimension>();
    ASSERT_EQ(dims.size(), 2u);
    with<ZcDb2LineAngularDimension>(dims[0], [](ZcDb2LineAngularDimension* d) {
        EXPECT_NEAR(d->measurement(), 3.14159265358979 / 4, 1e-12);
        EXPECT_EQ(d->dimensionType(), 2);
    });
    with<ZcDb2LineAngularDimension>(dims[1], [](ZcDb2LineAngularDimension* d) {
        EXPECT_NEAR(d->measurement(), 3 * 3.14159265358979 / 4, 1e-12);
    });
    EXPECT_EQ(picture(dims[0]).texts[0], "45°");
    EXPECT_EQ(picture(dims[1]).texts[0], "135°");
    // Parallel lines have no angle: said, and nothing made.
    ASSERT_EQ(run({"_LINE", "0,5", "10,5", ""}), RTNORM);
    EXPECT_EQ(run({"_DIM1", "_ANGULAR", "!pick 6,0", "!pick 6,5"}), RTERROR);
    EXPECT_NE(transcript().find("Linie są równoległe."), std::string::npos);
    EXPECT_EQ(entities<ZcDb2LineAngularDimension>().size(), 2u);
}

// A dimension's own scale: kept in its override record beside the user's
// other overrides and other applications' xdata, shown by its picture once
// the dimension is closed, and carried through a saved file.
TEST_F(DimCommand, own_scale_redraws_the_picture_and_survives_a_file) {
    run({"_DIM", "_HOR", "0,0", "10,0", "5,8", "", "_EXIT"});
    auto dims = entities<ZcDbDimension>();
    ASSERT_EQ(dims.size(), 1u);
    zcdbRegApp("VELMNOTE");
    with<ZcDbDimension>(dims[0], [](ZcDbDimension* d) {
        EXPECT_FALSE(d->hasOwnDimscale());
        EXPECT_DOUBLE_EQ(d->dimscale(), 1.0);  // the style's
        resbuf* x = zcutBuildList(1001, "ACAD", 1000, "DSTYLE", 1002, "{", 1070, 140, 1040, 3.5, 1002, "}",
                                  1001, "VELMNOTE", 1000, "kept", 0);
        EXPECT_EQ(d->setXData(x), Zcad::eOk);
        zcutRelRb(x);
    });
    EXPECT_DOUBLE_EQ(picture(dims[0]).heights[0], 2.5);
    ZcDbDimension* d = nullptr;
    ASSERT_EQ(zcdbOpenObject(d, dims[0], ZcDb::kForWrite), Zcad::eOk);
    EXPECT_EQ(d->setDimscale(-1.0), Zcad::eInvalidInput);
    EXPECT_EQ(d->setDimscale(4.0), Zcad::eOk);
    EXPECT_EQ(d->setDimscale(2.0), Zcad::eOk);  // replaces, never adds a second
    d->close();
    BlockPicture p = picture(dims[0]);
    ASSERT_EQ(p.heights.size(), 1u);
    EXPECT_DOUBLE_EQ(p.heights[0], 7.0);  // the own DIMTXT times the own scale
    EXPECT_DOUBLE_EQ(host::sysVarReal("DIMSCALE"), 1.0);

    host::DxfLoadResult r = host::readDxfText(host::writeDxfText(db()));
    ASSERT_TRUE(r.db) << r.error;
    int found = 0;
    ZcDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(zcdbOpenObject(space, r.db->modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    for (ZcDbObjectId id : space->entityIds()) {
        ZcDbDimension* back = nullptr;
        if (zcdbOpenObject(back, id, ZcDb::kForRead) != Zcad::eOk) continue;
        ++found;
        EXPECT_TRUE(back->hasOwnDimscale());
        EXPECT_DOUBLE_EQ(back->dimscale(), 2.0);
        resbuf* acad = back->xData("ACAD");
        std::vector<std::pair<int, double>> pairs;
        for (const resbuf* v = acad; v; v = v->rbnext)
            if (v->restype == 1070 && v->rbnext && v->rbnext->restype == 1040)
                pairs.emplace_back(v->resval.rint, v->rbnext->resval.rreal);
        zcutRelRb(acad);
        EXPECT_EQ(pairs, (std::vector<std::pair<int, double>>{{140, 3.5}, {40, 2.0}}));
        resbuf* note = back->xData("VELMNOTE");
        ASSERT_NE(note, nullptr);
        ASSERT_NE(note->rbnext, nullptr);
        EXPECT_STREQ(note->rbnext->resval.rstring, "kept");
        zcutRelRb(note);
        back->close();
    }
    space->close();
    EXPECT_EQ(found, 1);
}
