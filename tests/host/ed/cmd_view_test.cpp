// Views and viewports: zoom extents/window/previous, named views, VPOINT,
// each layout viewport keeping its own view, shade modes, and entities
// moved by a geometry-library matrix.
#include <cmath>

#include "host/ads/sysvars.h"
#include "host/db/dbents.h"
#include "host/db/dbinsert.h"
#include "host/ed/viewport.h"
#include "tests/host/ed/cmd_fixture.h"

namespace {

class ViewCommands : public CmdSession {};

TEST_F(ViewCommands, zoom_extents_window_and_previous) {
    run({"LINE", "0,0", "300,100", ""});
    EXPECT_EQ(run({"_ZOOM", "_E"}), RTNORM);
    host::ViewState v = host::currentView();
    EXPECT_TRUE(v.center.isEqualTo(ZcGePoint3d(150, 50, 0)));
    EXPECT_NEAR(v.height, 200, 1e-9);  // 300 wide at the screen's 1.5 aspect
    EXPECT_TRUE(host::sysVarPoint("EXTMAX").isEqualTo(ZcGePoint3d(300, 100, 0)));
    run({"_ZOOM", "_W", "0,0", "10,10"});
    EXPECT_NEAR(host::currentView().height, 10, 1e-9);
    run({"_ZOOM", "_P"});
    EXPECT_NEAR(host::currentView().height, 200, 1e-9);
}

TEST_F(ViewCommands, named_views_and_vpoint) {
    run({"_ZOOM", "_W", "0,0", "30,20"});
    EXPECT_EQ(run({"_-VIEW", "_S", "PLAN"}), RTNORM);
    EXPECT_EQ(run({"VPOINT", "1,-1,1"}), RTNORM);
    ZcGePoint3d dir = host::sysVarPoint("VIEWDIR");
    EXPECT_TRUE(dir.isEqualTo(ZcGePoint3d(1, -1, 1)));
    EXPECT_EQ(run({"_-VIEW", "_R", "PLAN"}), RTNORM);
    EXPECT_TRUE(host::sysVarPoint("VIEWDIR").isEqualTo(ZcGePoint3d(0, 0, 1)));
    EXPECT_NEAR(host::currentView().height, 20, 1e-9);
    EXPECT_EQ(run({"_-VIEW", "_R", "NIEMA"}), RTERROR);
    EXPECT_EQ(run({"_SHADEMODE", "_G"}), RTNORM);
    EXPECT_EQ(host::sysVarShort("SHADEMODE"), 4);
    EXPECT_EQ(run({"_SHADEMODE", "_2"}), RTNORM);
    EXPECT_EQ(host::sysVarShort("SHADEMODE"), 0);
}

TEST_F(ViewCommands, each_layout_viewport_keeps_its_own_view) {
    ASSERT_TRUE(host::setTileMode(0));
    ASSERT_EQ(run({"_MSPACE"}), RTNORM);  // the layout opens on its sheet
    host::ViewState v = host::currentView();
    v.height = 42;
    v.direction = ZcGeVector3d(0, -1, 1);
    v.lensLength = 35;
    v.perspective = true;
    host::setCurrentView(v);
    ZcDbObjectId vp2 = zcedGetCurViewportObjectId();
    with<ZcDbViewport>(vp2, [](ZcDbViewport* p) {
        EXPECT_EQ(p->number(), 2);
        EXPECT_DOUBLE_EQ(p->viewHeight(), 42);
        EXPECT_DOUBLE_EQ(p->lensLength(), 35);
        EXPECT_TRUE(p->isPerspectiveOn());
    });
    EXPECT_EQ(host::sysVarShort("VIEWMODE") & 1, 1);
    // Back to model space: its own view; and back again: the viewport's.
    ASSERT_TRUE(host::setTileMode(1));
    EXPECT_NE(host::currentView().height, 42);
    EXPECT_EQ(zcedGetCurViewportObjectId(), db()->recordId(db()->viewportTableId(), "*Active"));
    // The layout comes back in the viewport it was left in.
    ASSERT_TRUE(host::setTileMode(0));
    EXPECT_EQ(host::sysVarShort("CVPORT"), 2);
    EXPECT_DOUBLE_EQ(host::currentView().height, 42);
    EXPECT_DOUBLE_EQ(host::sysVarReal("LENSLENGTH"), 35);
}

TEST_F(ViewCommands, entities_take_a_geometry_library_matrix) {
    run({"LINE", "1,0", "2,0", "", "CIRCLE", "1,0", "1"});
    ZcGeMatrix3d m =
        ZcGeMatrix3d::rotation(3.14159265358979323846 / 2, ZcGeVector3d(0, 0, 1)) * ZcGeMatrix3d::scaling(2);
    for (ZcDbObjectId id : entities<ZcDbEntity>()) {
        ZcDbEntity* e = nullptr;
        ASSERT_EQ(zcdbOpenObject(e, id, ZcDb::kForWrite), Zcad::eOk);
        EXPECT_EQ(e->transformBy(m), Zcad::eOk);
        e->close();
    }
    with<ZcDbLine>(entities<ZcDbLine>()[0],
                   [](ZcDbLine* l) { EXPECT_TRUE(l->endPoint().isEqualTo(ZcGePoint3d(0, 4, 0))); });
    with<ZcDbCircle>(entities<ZcDbCircle>()[0], [](ZcDbCircle* c) {
        EXPECT_TRUE(c->center().isEqualTo(ZcGePoint3d(0, 2, 0)));
        EXPECT_NEAR(c->radius(), 2, 1e-12);
    });
}

}  // namespace
