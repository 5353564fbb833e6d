// The view-mode commands and refreshes on a drawing made the working one,
// with list files in a support folder of the test's own.
#include "settings/viewmode_cmds.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "host/ads/transcript.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "settings/settings_module.h"
#include "tests/settings/floor_host.h"
#include "tests/settings/floors_drawing.h"

namespace {

class ViewModeCommands : public ::testing::Test, public FloorHostState {
protected:
    FloorsDrawing d;
    std::unique_ptr<CommandsHeard> heard;

    void SetUp() override {
        host::startHost({});
        RegisterSettingsModule();
        host::resetEditorSession();
        d.layer("VELM2DWALLS$0");
        d.layer("VELM3DWALLS$0");
        d.layer("VELMTETTI$300");
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        start(&d.db, std::string(VELM_BINARY_DIR) + "/test_tmp/" + info->test_suite_name() + "." +
                         info->name() + "." + std::to_string(::getpid()));
        heard = std::make_unique<CommandsHeard>();
    }
    void TearDown() override {
        heard.reset();
        stop();
        host::resetEditorSession();
        UnregisterSettingsModule();
    }
    void feed(const char* line) { curDoc()->inputQueue().pushLine(line); }
};

}  // namespace

TEST_F(ViewModeCommands, choosing_2d_freezes_3d_and_stores_the_mode) {
    feed("2d");
    run([] { CmdViewMode(); });
    EXPECT_EQ(vxd, kViewMode2D);
    EXPECT_FALSE(d.frozen("VELM2DWALLS$0"));
    EXPECT_TRUE(d.frozen("VELM3DWALLS$0"));
    feed("Obydwa");
    run([] { CmdViewMode(); });
    EXPECT_EQ(vxd, kViewModeBoth);
    EXPECT_FALSE(d.frozen("VELM3DWALLS$0"));
}

TEST_F(ViewModeCommands, a_missing_list_file_is_reported_and_changes_nothing) {
    haveFiles = false;
    feed("3D");
    run([] { CmdViewMode(); });
    EXPECT_NE(host::transcript().text().find("Pliku nie znaleziono:VXD.LST"), std::string::npos);
    EXPECT_FALSE(d.frozen("VELM2DWALLS$0"));
}

TEST_F(ViewModeCommands, roof_plates_off_with_enter_and_on_again) {
    feed("");
    run([] { CmdRoofPlates(); });
    EXPECT_TRUE(d.frozen("VELMTETTI$300"));
    feed("Wł.");
    run([] { CmdRoofPlates(); });
    EXPECT_FALSE(d.frozen("VELMTETTI$300"));
    cvport = 1;
    run([] { CmdFloorPlates(); });
    EXPECT_NE(host::transcript().text().find("nie może być stosowane w obszarze papieru"), std::string::npos);
}

TEST_F(ViewModeCommands, plan_view_gives_2d_and_a_flat_shade) {
    run([] { RefreshViewMode(); });
    EXPECT_EQ(vxd, kViewMode2D);
    EXPECT_TRUE(d.frozen("VELM3DWALLS$0"));
    ASSERT_FALSE(heard->names.empty());
    EXPECT_EQ(heard->names.front(), "SHADEMODE");
    viewdir = ZcGeVector3d(1, 1, 1);
    run([] { RefreshViewMode(); });
    EXPECT_EQ(vxd, kViewMode3D);
    EXPECT_FALSE(d.frozen("VELM3DWALLS$0"));
    modVista = 0;
    viewdir = ZcGeVector3d(0, 0, 1);
    run([] { RefreshViewMode(); });
    EXPECT_EQ(vxd, kViewMode3D);
}

TEST_F(ViewModeCommands, entering_paper_space_thaws_all_and_returning_reapplies) {
    floors.piani.floors[0].visible = false;
    vxd = kViewMode2D;
    run([this] { UpdateFloorLayers(floors, &d.db); });
    ASSERT_TRUE(d.frozen("VELM2DWALLS$0"));
    tilemode = 0;
    before = 1;
    run([] { OnTilemodeChanged("TILEMODE"); });
    EXPECT_FALSE(d.frozen("VELM2DWALLS$0"));
    EXPECT_FALSE(d.frozen("VELM3DWALLS$0"));
    // ReadFloorVisibility took the flags from the layers before thawing.
    EXPECT_FALSE(floors.piani.floors[0].visible);
    tilemode = 1;
    before = 0;
    floors.piani.floors[0].visible = true;
    run([] { OnTilemodeChanged("tilemode"); });
    EXPECT_FALSE(d.frozen("VELM2DWALLS$0"));
    EXPECT_TRUE(d.frozen("VELM3DWALLS$0"));
    before = 1;
    run([] { OnTilemodeChanged("OTHER"); });  // not TILEMODE: nothing
}

// Silent faults: a list file that is not text is named once and taken as
// missing.
TEST_F(ViewModeCommands, a_list_file_that_is_not_text_is_named_and_changes_nothing) {
    std::ofstream(folder + "/VXD.LST", std::ios::binary) << std::string("V2D\0VELM2D*\0", 12);
    feed("3D");
    run([] { CmdViewMode(); });
    const std::string& said = host::transcript().text();
    EXPECT_NE(said.find("\nPlik nie jest plikiem tekstowym:"), std::string::npos);
    EXPECT_NE(said.find("VXD.LST\n"), std::string::npos);
    EXPECT_EQ(said.find("Pliku nie znaleziono"), std::string::npos);
    EXPECT_FALSE(d.frozen("VELM2DWALLS$0"));
}

TEST_F(ViewModeCommands, a_list_file_cut_short_is_named_at_its_last_line_and_changes_nothing) {
    std::ofstream(folder + "/VXD.LST", std::ios::binary) << "V2D\nVELM2D*\nV3D\nVELM3D*\n";
    feed("3D");
    run([] { CmdViewMode(); });
    const std::string& said = host::transcript().text();
    EXPECT_NE(said.find("VXD.LST:4: brak wiersza END"), std::string::npos) << said;
    EXPECT_FALSE(d.frozen("VELM2DWALLS$0"));
}
