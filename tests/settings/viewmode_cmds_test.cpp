// The view-mode commands and refreshes on a drawing, with the list files
// and the settings held by test doubles.
#include <gtest/gtest.h>

#include "host/ed/docman.h"
#include "host/ed/session.h"
#include "host/ed/transcript.h"
#include "settings/floors_services.h"
#include "settings/viewmode_cmds.h"
#include "tests/settings/floors_drawing.h"

namespace {

class ViewModeCommands : public ::testing::Test {
protected:
    FloorsDrawing d;
    VELM_PIANI floors;
    int tilemode = 1, before = 1, cvport = 2, vxd = kViewModeBoth, modVista = 1;
    ZcGeVector3d viewdir{0, 0, 1};
    bool haveFiles = true;
    std::vector<std::string> commands;

    void SetUp() override {
        host::resetEditorSession();
        floors.Reset();
        d.layer("VELM2DWALLS$0");
        d.layer("VELM3DWALLS$0");
        d.layer("VELMTETTI$300");
        FloorServices s = DefaultFloorServices();
        s.database = [this] { return &d.db; };
        s.tilemode = [this] { return tilemode; };
        s.tilemodeBefore = [this] { return before; };
        s.cvport = [this] { return cvport; };
        s.viewMode = [this] { return vxd; };
        s.setViewMode = [this](int m) { vxd = m; };
        s.setModVista = [this] { return modVista; };
        s.viewDirection = [this] { return viewdir; };
        s.unitFactor = [] { return 1.0; };
        s.editFloors = [this](const std::function<void(VELM_PIANI&)>& f) { f(floors); };
        s.readSupportFile = [this](const std::string& name) -> std::optional<std::vector<std::string>> {
            if (!haveFiles)
                return std::nullopt;
            if (name == "VXD.LST")
                return std::vector<std::string>{"V2D", "VELM2D*", "V3D", "VELM3D*", "END"};
            return std::vector<std::string>{"VELMTETTI*"};
        };
        s.runCommand = [this](const std::vector<std::string>& a) {
            std::string line;
            for (const std::string& x : a)
                line += x + " ";
            commands.push_back(line);
        };
        SetFloorServices(std::move(s));
    }
    void TearDown() override {
        SetFloorServices(DefaultFloorServices());
        host::resetEditorSession();
    }
    void feed(const char* line) { curDoc()->inputQueue().pushLine(line); }
};

}  // namespace

TEST_F(ViewModeCommands, choosing_2d_freezes_3d_and_stores_the_mode) {
    feed("2d");
    CmdViewMode();
    EXPECT_EQ(vxd, kViewMode2D);
    EXPECT_FALSE(d.frozen("VELM2DWALLS$0"));
    EXPECT_TRUE(d.frozen("VELM3DWALLS$0"));
    feed("Obydwa");
    CmdViewMode();
    EXPECT_EQ(vxd, kViewModeBoth);
    EXPECT_FALSE(d.frozen("VELM3DWALLS$0"));
}

TEST_F(ViewModeCommands, a_missing_list_file_is_reported_and_changes_nothing) {
    haveFiles = false;
    feed("3D");
    CmdViewMode();
    EXPECT_NE(host::transcript().text().find("Pliku nie znaleziono:VXD.LST"), std::string::npos);
    EXPECT_FALSE(d.frozen("VELM2DWALLS$0"));
}

TEST_F(ViewModeCommands, roof_plates_off_with_enter_and_on_again) {
    feed("");
    CmdRoofPlates();
    EXPECT_TRUE(d.frozen("VELMTETTI$300"));
    feed("Wł.");
    CmdRoofPlates();
    EXPECT_FALSE(d.frozen("VELMTETTI$300"));
    cvport = 1;
    CmdFloorPlates();
    EXPECT_NE(host::transcript().text().find("nie może być stosowane w obszarze papieru"), std::string::npos);
}

TEST_F(ViewModeCommands, plan_view_gives_2d_and_a_flat_shade) {
    RefreshViewMode();
    EXPECT_EQ(vxd, kViewMode2D);
    EXPECT_TRUE(d.frozen("VELM3DWALLS$0"));
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.front(), "_SHADEMODE _2 ");
    viewdir = ZcGeVector3d(1, 1, 1);
    RefreshViewMode();
    EXPECT_EQ(vxd, kViewMode3D);
    EXPECT_FALSE(d.frozen("VELM3DWALLS$0"));
    modVista = 0;
    viewdir = ZcGeVector3d(0, 0, 1);
    RefreshViewMode();
    EXPECT_EQ(vxd, kViewMode3D);
}

TEST_F(ViewModeCommands, entering_paper_space_thaws_all_and_returning_reapplies) {
    floors.piani.floors[0].visible = false;
    vxd = kViewMode2D;
    UpdateFloorLayers(floors, &d.db);
    ASSERT_TRUE(d.frozen("VELM2DWALLS$0"));
    tilemode = 0;
    before = 1;
    OnTilemodeChanged("TILEMODE");
    EXPECT_FALSE(d.frozen("VELM2DWALLS$0"));
    EXPECT_FALSE(d.frozen("VELM3DWALLS$0"));
    // ReadFloorVisibility took the flags from the layers before thawing.
    EXPECT_FALSE(floors.piani.floors[0].visible);
    tilemode = 1;
    before = 0;
    floors.piani.floors[0].visible = true;
    OnTilemodeChanged("tilemode");
    EXPECT_FALSE(d.frozen("VELM2DWALLS$0"));
    EXPECT_TRUE(d.frozen("VELM3DWALLS$0"));
    before = 1;
    OnTilemodeChanged("OTHER");  // not TILEMODE: nothing
}
