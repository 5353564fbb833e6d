// Drawing commands' effects, undo groups across host commands, the order
// of reactor notifications around a command, command aliases, and the XOR
// temporary graphics.
#include <cmath>

#include "host/ads/editor.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/db/dbpoly.h"
#include "host/ed/hostcmd_util.h"
#include "host/ed/viewport.h"
#include "tests/host/ed/cmd_fixture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class DrawCommands : public CmdSession {};

TEST_F(DrawCommands, line_draws_segments_and_closes) {
    EXPECT_EQ(run({"LINE", "0,0", "10,0", "@0,5", "_C"}), RTNORM);
    auto lines = entities<ZcDbLine>();
    ASSERT_EQ(lines.size(), 3u);
    // A closed triangle: the ends chain back to the start.
    with<ZcDbLine>(lines[1],
                   [](ZcDbLine* l) { EXPECT_TRUE(l->endPoint().isEqualTo(ZcGePoint3d(10, 5, 0))); });
    with<ZcDbLine>(lines[2], [](ZcDbLine* l) { EXPECT_TRUE(l->endPoint().isEqualTo(ZcGePoint3d(0, 0, 0))); });
}

TEST_F(DrawCommands, pline_with_an_arc_segment_is_tangent_and_closes) {
    EXPECT_EQ(run({"PLINE", "0,0", "10,0", "_A", "10,10", "_L", "0,10", "_C"}), RTNORM);
    auto pls = entities<ZcDbPolyline>();
    ASSERT_EQ(pls.size(), 1u);
    with<ZcDbPolyline>(pls[0], [](ZcDbPolyline* pl) {
        ASSERT_EQ(pl->numVerts(), 4u);
        EXPECT_TRUE(pl->isClosed());
        double bulge = 0;
        pl->getBulgeAt(1, bulge);
        // Leaving east and ending straight above: a half circle to the left.
        EXPECT_NEAR(bulge, 1.0, 1e-12);
        pl->getBulgeAt(2, bulge);
        EXPECT_EQ(bulge, 0);
    });
}

TEST_F(DrawCommands, arc_circle_and_text_through_zcedCommand) {
    ads_point a = {10, 0, 0}, b = {0, 10, 0}, c = {-10, 0, 0};
    EXPECT_EQ(zcedCommand(RTSTR, "ARC", RTPOINT, a, RTPOINT, b, RTPOINT, c, RTNONE), RTNORM);
    EXPECT_EQ(zcedCommand(RTSTR, "CIRCLE", RTSTR, "_2P", RTPOINT, a, RTPOINT, c, RTNONE), RTNORM);
    EXPECT_EQ(zcedCommand(RTSTR, "TEXT", RTPOINT, b, RTREAL, 3.0, RTREAL, 90.0, RTSTR, "Pokój 1", RTSTR, "",
                          RTNONE),
              RTNORM);
    auto arcs = entities<ZcDbArc>();
    ASSERT_EQ(arcs.size(), 1u);
    with<ZcDbArc>(arcs[0], [](ZcDbArc* arc) {
        EXPECT_NEAR(arc->radius(), 10, 1e-9);
        EXPECT_NEAR(arc->startAngle(), 0, 1e-9);
        EXPECT_NEAR(arc->endAngle(), kPi, 1e-9);
    });
    auto circles = entities<ZcDbCircle>();  // the arc is a circle too
    ASSERT_EQ(circles.size(), 2u);
    with<ZcDbCircle>(circles[1], [](ZcDbCircle* ci) {
        EXPECT_NEAR(ci->radius(), 10, 1e-9);
        EXPECT_TRUE(ci->center().isEqualTo(ZcGePoint3d(0, 0, 0)));
    });
    auto texts = entities<ZcDbText>();
    ASSERT_EQ(texts.size(), 1u);
    with<ZcDbText>(texts[0], [](ZcDbText* t) {
        EXPECT_EQ(t->textString(), "Pokój 1");
        EXPECT_DOUBLE_EQ(t->height(), 3.0);
        EXPECT_NEAR(t->rotation(), kPi / 2, 1e-9);
    });
}

TEST_F(DrawCommands, in_line_points_make_no_arc) {
    EXPECT_EQ(run({"ARC", "0,0", "1,0", "2,0"}), RTERROR);
    EXPECT_TRUE(entities<ZcDbArc>().empty());
}

class UndoCommands : public CmdSession {};

TEST_F(UndoCommands, u_takes_back_one_whole_command) {
    run({"LINE", "0,0", "1,0", "2,0", "", "CIRCLE", "5,5", "1"});
    ASSERT_EQ(entities<ZcDbLine>().size(), 2u);
    run({"U"});
    EXPECT_TRUE(entities<ZcDbCircle>().empty());
    EXPECT_EQ(entities<ZcDbLine>().size(), 2u);
    run({"U"});
    EXPECT_TRUE(entities<ZcDbLine>().empty());
}

TEST_F(UndoCommands, begin_end_groups_several_commands_and_back_returns_to_the_mark) {
    run({"CIRCLE", "0,0", "1", "_UNDO", "_M"});
    run({"_UNDO", "_BE", "LINE", "0,0", "1,1", "", "_-LAYER", "_N", "X", "", "_UNDO", "_E"});
    EXPECT_FALSE(layerId("X").isNull());
    run({"U"});
    EXPECT_TRUE(entities<ZcDbLine>().empty());
    EXPECT_TRUE(layerId("X").isNull());
    EXPECT_EQ(entities<ZcDbCircle>().size(), 1u);
    run({"LINE", "0,0", "3,3", "", "LINE", "1,0", "3,3", "", "_UNDO", "_B"});
    EXPECT_TRUE(entities<ZcDbLine>().empty());
    EXPECT_EQ(entities<ZcDbCircle>().size(), 1u);
    run({"_UNDO", "3"});
    EXPECT_TRUE(entities<ZcDbCircle>().empty());
}

TEST_F(UndoCommands, commands_that_change_nothing_are_not_undo_steps) {
    run({"CIRCLE", "0,0", "1", "_REDRAW", "_REGEN"});
    run({"U"});
    EXPECT_TRUE(entities<ZcDbCircle>().empty());
}

// Records editor and database notifications in one list.
struct Recorder : ZcEditorReactor, ZcDbDatabaseReactor {
    std::vector<std::string> events;
    void commandWillStart(const char* c) override { events.push_back(std::string("start ") + c); }
    void commandEnded(const char* c) override { events.push_back(std::string("ended ") + c); }
    void commandCancelled(const char* c) override { events.push_back(std::string("cancelled ") + c); }
    void sysVarWillChange(const char* v) override { events.push_back(std::string("will ") + v); }
    void sysVarChanged(const char* v, bool) override { events.push_back(std::string("changed ") + v); }
    void objectAppended(const ZcDbDatabase*, const ZcDbObject*) override { events.push_back("appended"); }
    void objectErased(const ZcDbDatabase*, const ZcDbObject*, bool e) override {
        events.push_back(e ? "erased" : "unerased");
    }
};

class CommandNotifications : public CmdSession {};

TEST_F(CommandNotifications, database_events_arrive_between_start_and_end_under_the_alias_name) {
    Recorder r;
    zcedEditor->addReactor(&r);
    db()->addReactor(&r);
    ASSERT_TRUE(host::registerCommandAlias("linia", "LINE"));
    run({"linia", "0,0", "1,0", "", "U"});
    std::vector<std::string> want = {"start LINIA", "appended", "ended LINIA",
                                     "start U",     "erased",   "ended U"};
    EXPECT_EQ(r.events, want);
    r.events.clear();
    run({"CIRCLE", "0,0"});  // the input ends inside the command
    want = {"start CIRCLE", "cancelled CIRCLE"};
    EXPECT_EQ(r.events, want);
    db()->removeReactor(&r);
    zcedEditor->removeReactor(&r);
    host::unregisterHostCommand("linia");
}

TEST_F(CommandNotifications, tilemode_changes_are_announced) {
    Recorder r;
    zcedEditor->addReactor(&r);
    run({"PSPACE"});  // model space: refused
    resbuf v;
    v.restype = RTSHORT;
    v.resval.rint = 0;
    EXPECT_EQ(zcedSetVar("TILEMODE", &v), RTNORM);
    EXPECT_NE(std::find(r.events.begin(), r.events.end(), "will TILEMODE"), r.events.end());
    EXPECT_NE(std::find(r.events.begin(), r.events.end(), "changed TILEMODE"), r.events.end());
    // The layout is ready and opens on its sheet: work goes to paper space
    // until MSPACE enters a viewport.
    EXPECT_FALSE(zcedGetCurViewportObjectId().isNull());
    EXPECT_EQ(host::sysVarShort("CVPORT"), 1);
    EXPECT_EQ(db()->currentSpaceId(), db()->paperSpaceId());
    run({"_MSPACE"});
    EXPECT_EQ(db()->currentSpaceId(), db()->modelSpaceId());
    run({"_PSPACE"});
    EXPECT_EQ(host::sysVarShort("CVPORT"), 1);
    EXPECT_EQ(db()->currentSpaceId(), db()->paperSpaceId());
    run({"_MSPACE"});
    EXPECT_EQ(host::sysVarShort("CVPORT"), 2);
    zcedEditor->removeReactor(&r);
}

class TemporaryGraphics : public CmdSession {};

TEST_F(TemporaryGraphics, a_vector_drawn_twice_cancels_and_redraw_clears) {
    ads_point a = {0, 0, 0}, b = {5, 0, 0}, c = {5, 5, 0};
    zcedGrDraw(a, b, -1, 0);
    zcedGrDraw(b, c, -1, 0);
    zcedGrDraw(b, a, -1, 0);  // the same vector backwards
    ASSERT_EQ(host::temporaryVectors().size(), 1u);
    EXPECT_TRUE(host::temporaryVectors()[0].to.isEqualTo(ZcGePoint3d(5, 5, 0)));
    run({"_REDRAW"});
    EXPECT_TRUE(host::temporaryVectors().empty());
}

TEST_F(TemporaryGraphics, grvecs_transforms_and_refuses_a_broken_list) {
    ads_point a = {0, 0, 0}, b = {1, 0, 0};
    resbuf* list = zcutBuildList(RTSHORT, 3, RT3DPOINT, a, RT3DPOINT, b, 0);
    ads_matrix m = {{2, 0, 0, 10}, {0, 2, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    EXPECT_EQ(zcedGrVecs(list, m), RTNORM);
    ASSERT_EQ(host::temporaryVectors().size(), 1u);
    EXPECT_TRUE(host::temporaryVectors()[0].to.isEqualTo(ZcGePoint3d(12, 0, 0)));
    EXPECT_EQ(host::temporaryVectors()[0].color, 3);
    EXPECT_EQ(zcedGrVecs(list, m), RTNORM);  // XOR: gone again
    EXPECT_TRUE(host::temporaryVectors().empty());
    zcutRelRb(list);
    resbuf* broken = zcutBuildList(RTSHORT, 1, RT3DPOINT, a, 0);
    EXPECT_EQ(zcedGrVecs(broken, nullptr), RTERROR);
    EXPECT_TRUE(host::temporaryVectors().empty());
    zcutRelRb(broken);
}

TEST_F(TemporaryGraphics, redraw_modes_highlight_an_entity) {
    run({"LINE", "0,0", "1,0", ""});
    ZcDbObjectId id = entities<ZcDbLine>()[0];
    ads_name n;
    zcdbGetAdsName(n, id);
    EXPECT_EQ(zcedRedraw(n, 3), RTNORM);
    with<ZcDbLine>(id, [](ZcDbLine* l) { EXPECT_TRUE(l->isHighlighted()); });
    EXPECT_EQ(zcedRedraw(n, 4), RTNORM);
    with<ZcDbLine>(id, [](ZcDbLine* l) { EXPECT_FALSE(l->isHighlighted()); });
    EXPECT_EQ(zcedRedraw(n, 2), RTNORM);
    EXPECT_TRUE(host::isUndrawn(id));
    zcedRedraw(nullptr, 0);
    EXPECT_FALSE(host::isUndrawn(id));
}

}  // namespace

namespace {

TEST_F(DrawCommands, pause_takes_the_point_from_the_user) {
    curDoc()->inputQueue().pushLine("3,4");
    EXPECT_EQ(zcedCommand(RTSTR, "CIRCLE", RTSTR, PAUSE, RTREAL, 2.0, RTNONE), RTNORM);
    auto circles = entities<ZcDbCircle>();
    ASSERT_EQ(circles.size(), 1u);
    with<ZcDbCircle>(circles[0], [](ZcDbCircle* c) {
        EXPECT_TRUE(c->center().isEqualTo(ZcGePoint3d(3, 4, 0)));
        EXPECT_DOUBLE_EQ(c->radius(), 2.0);
    });
}

}  // namespace
