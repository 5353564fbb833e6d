// Editing commands on real selections: erase and oops, move, copy, rotate
// with a reference, stretch of a dimension (with its notification), break,
// pick-first sets, locked layers, and sets passed to zcedCommand.
#include <cmath>
#include <vector>

#include "host/ads/adsent.h"
#include "host/ads/editor.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/db/dbdim.h"
#include "host/db/dbents.h"
#include "host/ed/hostcmd_util.h"
#include "tests/host/ed/cmd_fixture.h"

namespace {

class EditCommands : public CmdSession {};

TEST_F(EditCommands, erase_by_window_and_oops_brings_them_back) {
    run({"LINE", "0,0", "10,0", "", "CIRCLE", "50,50", "2"});
    EXPECT_EQ(run({"ERASE", "W", "-1,-1", "11,1", ""}), RTNORM);
    EXPECT_TRUE(entities<ZcDbLine>().empty());
    EXPECT_EQ(entities<ZcDbCircle>().size(), 1u);
    run({"_OOPS"});
    EXPECT_EQ(entities<ZcDbLine>().size(), 1u);
}

TEST_F(EditCommands, move_copy_and_rotate_with_a_passed_selection_set) {
    run({"LINE", "0,0", "10,0", ""});
    ZcDbObjectId line = entities<ZcDbLine>()[0];
    ads_name en;
    zcdbGetAdsName(en, line);
    ads_point a = {0, 0, 0}, b = {5, 5, 0};
    EXPECT_EQ(zcedCommand(RTSTR, "_MOVE", RTENAME, en, RTSTR, "", RTPOINT, a, RTPOINT, b, RTNONE), RTNORM);
    with<ZcDbLine>(line, [](ZcDbLine* l) { EXPECT_TRUE(l->startPoint().isEqualTo(ZcGePoint3d(5, 5, 0))); });
    EXPECT_EQ(zcedCommand(RTSTR, "_COPY", RTENAME, en, RTSTR, "", RTPOINT, a, RTPOINT, a, RTNONE), RTNORM);
    EXPECT_EQ(entities<ZcDbLine>().size(), 2u);
    // Reference: turn from 90 to 180 degrees, a quarter turn about 5,5.
    EXPECT_EQ(run({"_ROTATE", "L", "", "5,5", "_R", "90", "180"}), RTNORM);
    ZcDbObjectId copy = entities<ZcDbLine>()[1];
    with<ZcDbLine>(copy, [](ZcDbLine* l) { EXPECT_TRUE(l->endPoint().isEqualTo(ZcGePoint3d(5, 15, 0))); });
    with<ZcDbLine>(line, [](ZcDbLine* l) { EXPECT_TRUE(l->endPoint().isEqualTo(ZcGePoint3d(15, 5, 0))); });
}

TEST_F(EditCommands, pick_first_set_is_used_and_locked_layers_are_left_alone) {
    run({"LINE", "0,0", "1,0", "", "_-LAYER", "_M", "ZAMK", "", "LINE", "0,5", "1,5", "", "_-LAYER", "_LO",
         "ZAMK", ""});
    auto lines = entities<ZcDbLine>();
    host::setPickFirstSet(lines);
    EXPECT_EQ(run({"ERASE"}), RTNORM);
    auto left = entities<ZcDbLine>();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0], lines[1]);
    EXPECT_TRUE(host::pickFirstSet().empty());
}

TEST_F(EditCommands, erase_all_skips_locked_layers_entity_by_entity_and_undo_brings_all_back) {
    run({"_-LAYER", "_M", "A", "_M", "B", "_LO", "B", ""});
    const char* layers[] = {"A", "A", "B", "0", "B", "A", "0"};  // runs and changes
    for (int i = 0; i < 70; ++i) run({"_-LAYER", "_S", layers[i % 7], "", "LINE", "0,0", "1,0", ""});
    const std::vector<ZcDbObjectId> ids = entities<ZcDbLine>();
    EXPECT_EQ(run({"_ERASE", "ALL", ""}), RTNORM);
    std::vector<ZcDbObjectId> gone;
    for (size_t i = 0; i < ids.size(); ++i) {
        EXPECT_EQ(ids[i].isErased(), i % 7 != 2 && i % 7 != 4) << i;
        if (ids[i].isErased()) gone.push_back(ids[i]);
    }
    EXPECT_NE(transcript().find("\n20 obiekt(ów) na zablokowanej warstwie."), std::string::npos);
    EXPECT_EQ(host::previousSelection(), gone);
    EXPECT_EQ(run({"U"}), RTNORM);
    EXPECT_EQ(entities<ZcDbLine>(), ids);
}

struct ModifiedDims : ZcDbDatabaseReactor {
    int modified = 0;
    void objectModified(const ZcDbDatabase*, const ZcDbObject* o) override {
        if (ZcDbDimension::cast(o)) ++modified;
    }
};

TEST_F(EditCommands, stretch_moves_points_inside_the_window_and_redraws_dimensions) {
    run({"LINE", "0,0", "10,0", "", "_DIM1", "_HOR", "0,0", "10,0", "5,5", ""});
    ModifiedDims watch;
    db()->addReactor(&watch);
    EXPECT_EQ(run({"STRETCH", "C", "8,-1", "12,6", "", "0,0", "5,0"}), RTNORM);
    db()->removeReactor(&watch);
    with<ZcDbLine>(entities<ZcDbLine>()[0], [](ZcDbLine* l) {
        EXPECT_TRUE(l->startPoint().isEqualTo(ZcGePoint3d(0, 0, 0)));
        EXPECT_TRUE(l->endPoint().isEqualTo(ZcGePoint3d(15, 0, 0)));
    });
    auto dims = entities<ZcDbRotatedDimension>();
    ASSERT_EQ(dims.size(), 1u);
    with<ZcDbRotatedDimension>(dims[0],
                               [](ZcDbRotatedDimension* d) { EXPECT_NEAR(d->measurement(), 15, 1e-9); });
    EXPECT_GE(watch.modified, 1);
    // The picture says 15 too.
    ZcDbObjectId block;
    with<ZcDbDimension>(dims[0], [&](ZcDbDimension* d) { block = d->dimBlockId(); });
    bool found = false;
    for (ZcDbObjectId id : entities<ZcDbText>(block))
        with<ZcDbText>(id, [&](ZcDbText* t) { found = found || t->textString() == "15"; });
    EXPECT_TRUE(found);
}

// What a reactor sees of each line the moment it is opened to be changed.
struct OpenedLines : ZcDbDatabaseReactor {
    std::vector<ZcGePoint3d> ends;
    void objectOpenedForModify(const ZcDbDatabase*, const ZcDbObject* o) override {
        if (auto* l = ZcDbLine::cast(o)) ends.push_back(l->endPoint());
    }
};

// A line carrying world points in its extended data, moved and turned:
// positions take the whole move, displacements and directions only the
// turn, a plain point stays; a reactor sees the line before each change.
TEST_F(EditCommands, world_points_of_extended_data_follow_their_entity) {
    run({"LINE", "0,0", "10,0", ""});
    ZcDbObjectId line = entities<ZcDbLine>()[0];
    ads_name en;
    zcdbGetAdsName(en, line);
    zcdbRegApp("PUNKTY");
    const ads_point at{10, 0, 0}, step{2, 0, 0}, way{1, 0, 0};
    resbuf* list = zcdbEntGet(en);
    resbuf* tail = list;
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = zcutBuildList(-3, 1001, "PUNKTY", 1010, at, 1011, at, 1012, step, 1013, way, 1041, 3.0, 0);
    ASSERT_EQ(zcdbEntMod(list), RTNORM);
    zcutRelRb(list);

    OpenedLines watch;
    db()->addReactor(&watch);
    const ads_point a{0, 0, 0}, b{0, 5, 0};
    EXPECT_EQ(zcedCommand(RTSTR, "_MOVE", RTENAME, en, RTSTR, "", RTPOINT, a, RTPOINT, b, RTNONE), RTNORM);
    EXPECT_EQ(run({"_ROTATE", "L", "", "0,0", "90"}), RTNORM);
    db()->removeReactor(&watch);
    ASSERT_EQ(watch.ends.size(), 2u);
    EXPECT_TRUE(watch.ends[0].isEqualTo(ZcGePoint3d(10, 0, 0)));
    EXPECT_TRUE(watch.ends[1].isEqualTo(ZcGePoint3d(10, 5, 0)));

    resbuf* apps = zcutBuildList(RTSTR, "PUNKTY", 0);
    list = zcdbEntGetX(en, apps);
    zcutRelRb(apps);
    std::vector<ZcGePoint3d> points;
    double distance = 0.0;
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        if (rb->restype >= 1010 && rb->restype <= 1013)
            points.emplace_back(rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]);
        if (rb->restype == 1041) distance = rb->resval.rreal;
    }
    zcutRelRb(list);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_TRUE(points[0].isEqualTo(ZcGePoint3d(10, 0, 0)));   // a plain point
    EXPECT_TRUE(points[1].isEqualTo(ZcGePoint3d(-5, 10, 0)));  // moved, then turned
    EXPECT_TRUE(points[2].isEqualTo(ZcGePoint3d(0, 2, 0)));    // turned only
    EXPECT_TRUE(points[3].isEqualTo(ZcGePoint3d(0, 1, 0)));
    EXPECT_DOUBLE_EQ(distance, 3.0);
}

TEST_F(EditCommands, break_cuts_a_line_at_one_point_or_removes_a_span) {
    run({"LINE", "0,0", "10,0", ""});
    ZcDbObjectId line = entities<ZcDbLine>()[0];
    ads_name en;
    zcdbGetAdsName(en, line);
    ads_point x = {4, 0, 0};
    resbuf* args = zcutBuildList(RTSTR, "_BREAK", RTLB, RTENAME, en, RTPOINT, x, RTLE, RTPOINT, x, 0);
    EXPECT_EQ(zcedCmd(args), RTNORM);
    zcutRelRb(args);
    auto lines = entities<ZcDbLine>();
    ASSERT_EQ(lines.size(), 2u);
    with<ZcDbLine>(lines[0], [](ZcDbLine* l) { EXPECT_TRUE(l->endPoint().isEqualTo(ZcGePoint3d(4, 0, 0))); });
    with<ZcDbLine>(lines[1],
                   [](ZcDbLine* l) { EXPECT_TRUE(l->startPoint().isEqualTo(ZcGePoint3d(4, 0, 0))); });
    run({"_BREAK", "!pick 6,0", "8,0"});
    lines = entities<ZcDbLine>();
    ASSERT_EQ(lines.size(), 3u);
    double total = 0;
    for (ZcDbObjectId id : lines)
        with<ZcDbLine>(id, [&](ZcDbLine* l) { total += (l->endPoint() - l->startPoint()).length(); });
    EXPECT_NEAR(total, 8, 1e-9);  // 2 units removed
}

TEST_F(EditCommands, erase_under_a_local_name_reports_that_name) {
    struct Names : ZcEditorReactor {
        std::vector<std::string> ended;
        void commandEnded(const char* c) override { ended.push_back(c); }
    } names;
    zcedEditor->addReactor(&names);
    for (const char* alias : {"cancella", "löschen"}) ASSERT_TRUE(host::registerCommandAlias(alias, "ERASE"));
    run({"LINE", "0,0", "1,0", "", "LINE", "0,2", "1,2", "", "cancella", "L", "", "LÖSCHEN", "L", ""});
    EXPECT_TRUE(entities<ZcDbLine>().empty());
    ASSERT_GE(names.ended.size(), 4u);
    EXPECT_EQ(names.ended[2], "CANCELLA");
    EXPECT_EQ(names.ended[3], "LÖSCHEN");
    zcedEditor->removeReactor(&names);
    host::unregisterHostCommand("cancella");
    host::unregisterHostCommand("löschen");
}

}  // namespace
