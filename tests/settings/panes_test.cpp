// The floor and view panes: texts, floor labels, and what the menus do to
// the floor list, the current floor and the view mode.
#include "settings/panes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "host/ed/cmdproc.h"
#include "host/ed/hostinit.h"
#include "host/ed/session.h"
#include "host/ed/statusbar.h"
#include "host/ui/menu.h"
#include "settings/settings_module.h"
#include "settings/viewmode.h"
#include "tests/settings/floor_host.h"
#include "tests/settings/floors_drawing.h"

namespace {

AA_PIANO Floor(double z, bool visible = true) {
    AA_PIANO f;
    f.elevation = z;
    f.visible = visible;
    return f;
}

std::vector<std::string> Texts(const std::vector<FloorLabel>& labels) {
    std::vector<std::string> out;
    for (const FloorLabel& l : labels) out.push_back(l.text);
    return out;
}

// A drawing's state as the panes see it (the current drawing), with the
// host commands its menus queued and ran. Floors 0 and 300 have one level
// layer each; a paper-space viewport is the current one.
struct PaneWorld : HostWithSettings, FloorHostState {
    FloorsDrawing d{*curDoc()->database()};
    ZcDbObjectId viewport;
    std::unique_ptr<CommandsHeard> heard;
    std::vector<std::string> log;

    PaneWorld() {
        host::resetStatusBar();
        d.layer("VELMA$0");
        d.layer("VELMA$300");
        d.layer("VELM2DPLAN");
        d.layer("VELM3DPLAN");
        viewport = d.viewport();
        ZcDbViewport* vp = nullptr;
        if (zcdbOpenObject(vp, viewport, ZcDb::kForWrite) == Zcad::eOk) {
            vp->setNumber(2);  // the model view CVPORT 2 names in the layout
            vp->close();
        }
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        start(&d.db, std::string(VELM_BINARY_DIR) + "/test_tmp/" + info->test_suite_name() + "." +
                         info->name() + "." + std::to_string(::getpid()));
        heard = std::make_unique<CommandsHeard>();
        CreateViewPane();
        CreateFloorPane();
    }
    ~PaneWorld() {
        RemoveFloorPane();
        RemoveViewPane();
        heard.reset();
        stop();
        host::setMenuResponder(nullptr);
        host::resetStatusBar();
    }
    void choose(unsigned int id) {
        host::setMenuResponder([id](const CMenu&) { return id; });
    }
    // A click on a pane with the state pushed; the queued commands run and
    // are logged, and the state is taken back.
    template <class F>
    void click(F&& step) {
        cvport = tilemode ? 1 : 2;
        run([&] {
            step();
            host::processInput();
        });
        for (const std::string& name : heard->names) log.push_back(name);
        heard->names.clear();
    }
};

}  // namespace

TEST(PaneText, decimals_follow_the_drawing_unit) {
    EXPECT_EQ(ElevationDecimals(1.0), 1);
    EXPECT_EQ(ElevationDecimals(10.0), 1);
    EXPECT_EQ(ElevationDecimals(0.1), 2);
    EXPECT_EQ(ElevationDecimals(0.01), 3);
    EXPECT_EQ(ElevationDecimals(0.0), 1);
    EXPECT_EQ(FloorPaneText(300, 1.0), "Bieżąca podłoga:300.0");
    EXPECT_EQ(FloorPaneText(3.0, 0.01), "Bieżąca podłoga:3.000");
    EXPECT_EQ(FloorPaneText(-2.5, 0.1), "Bieżąca podłoga:-2.50");
    EXPECT_EQ(ViewPaneText(kViewMode2D), "Widok:2D");
    EXPECT_EQ(ViewPaneText(kViewModeBoth), "Widok:2D+3D");
    EXPECT_FALSE(ViewPaneText('X'));
}

TEST(PaneLabels, sorted_by_text_checked_current_and_repeats_merged) {
    VELM_PIANI p;
    p.piani.floors = {Floor(1000), Floor(300), Floor(-300), Floor(300.01)};
    const auto labels = BuildFloorLabels(p, 300.0, 1.0);
    EXPECT_EQ(Texts(labels), (std::vector<std::string>{"-300.0", "1000.0", "300.0"}));
    EXPECT_TRUE(labels[2].current);
    EXPECT_EQ(labels[2].elevation, 300.0);  // the first floor of the label
    EXPECT_FALSE(labels[0].current);
}

TEST(PaneLifecycle, panes_are_added_updated_and_removed) {
    PaneWorld w;
    ZcApplicationStatusBar* bar = zcedGetApplicationStatusBar();
    ASSERT_EQ(bar->GetPaneCount(), 2);
    EXPECT_STREQ(FloorPane()->GetText(), "Bieżąca podłoga:");
    EXPECT_STREQ(ViewPane()->GetToolTipText(), "Wizualizacja przedstawienia 2D/3D");
    w.sqpav = 300;
    w.run([] {
        UpdateFloorPane();
        UpdateViewPane();
    });
    EXPECT_STREQ(FloorPane()->GetText(), "Bieżąca podłoga:300.0");
    EXPECT_STREQ(ViewPane()->GetText(), "Widok:2D+3D");
    RemoveFloorPane();
    EXPECT_EQ(FloorPane(), nullptr);
    EXPECT_EQ(bar->GetPaneCount(), 1);
    UpdateFloorPane();  // no pane: nothing
}

TEST(PaneFloorMenu, left_choice_shows_only_that_floor_and_makes_it_current) {
    PaneWorld w;
    w.floors.piani.floors = {Floor(0), Floor(300.04), Floor(-300)};
    // The layer VELMA$300 adds a floor at 300 whose label repeats 300.04's:
    // labels -300.0, 0.0, 300.0, and the third keeps 300.04, not its text.
    w.choose(kFloorMenuFirstFloor + 2);
    w.click([] { FloorPane()->OnLButtonDown(0, {}); });
    EXPECT_EQ(w.sqpav, 300.04);
    EXPECT_FALSE(w.floors.piani.floors[0].visible);
    EXPECT_TRUE(w.floors.piani.floors[1].visible);
    EXPECT_TRUE(w.d.frozen("VELMA$0"));
    EXPECT_EQ(w.log, std::vector<std::string>{"REGEN"});
    EXPECT_STREQ(FloorPane()->GetText(), "Bieżąca podłoga:300.0");
}

TEST(PaneFloorMenu, paper_space_changes_the_viewport_and_keeps_the_flags) {
    PaneWorld w;
    w.tilemode = 0;
    w.floors.piani.floors = {Floor(0), Floor(300)};
    w.choose(kFloorMenuFirstFloor);  // "0.0"
    w.click([] { FloorPane()->OnLButtonDown(0, {}); });
    EXPECT_TRUE(w.d.frozenIn(w.viewport, "VELMA$300"));
    EXPECT_FALSE(w.d.frozenIn(w.viewport, "VELMA$0"));
    EXPECT_FALSE(w.d.frozen("VELMA$300"));
    EXPECT_TRUE(w.floors.piani.floors[1].visible);  // the stored flag stays
    EXPECT_EQ(w.log, std::vector<std::string>{"REGEN"});

    w.log.clear();
    w.floors.piani.floors[1].visible = false;
    w.choose(kFloorMenuAllOn);
    w.click([] { FloorPane()->OnLButtonDown(0, {}); });
    EXPECT_TRUE(w.floors.piani.floors[1].visible);  // stored in paper space too
    EXPECT_FALSE(w.d.frozenIn(w.viewport, "VELMA$300"));
    EXPECT_TRUE(w.log.empty());
}

TEST(PaneFloorMenu, right_choice_only_sets_the_current_floor_and_dismissal_changes_nothing) {
    PaneWorld w;
    w.floors.piani.floors = {Floor(0), Floor(300)};
    w.choose(kFloorMenuFirstFloor + 1);
    w.click([] { FloorPane()->OnRButtonDown(0, {}); });
    EXPECT_EQ(w.sqpav, 300.0);
    EXPECT_TRUE(w.log.empty());
    w.choose(0);
    w.click([] { FloorPane()->OnLButtonDown(0, {}); });
    w.choose(kFloorMenuFirstFloor + 7);
    w.click([] { FloorPane()->OnLButtonDown(0, {}); });
    EXPECT_EQ(w.sqpav, 300.0);
    EXPECT_TRUE(w.log.empty());
    EXPECT_FALSE(w.d.frozen("VELMA$0"));
}

TEST(PaneViewMenu, choice_is_applied_and_stored_in_model_space_only) {
    PaneWorld w;
    w.tilemode = 1;
    w.choose(kViewMenu2D);
    w.click([] { ViewPane()->OnLButtonDown(0, {}); });
    EXPECT_EQ(w.vxd, kViewMode2D);
    EXPECT_STREQ(ViewPane()->GetText(), "Widok:2D");
    w.tilemode = 0;
    w.choose(kViewMenu3D);
    w.click([] { ViewPane()->OnLButtonDown(0, {}); });
    EXPECT_EQ(w.vxd, kViewMode2D);
    EXPECT_FALSE(w.d.frozenIn(w.viewport, "VELM3DPLAN"));
    EXPECT_TRUE(w.d.frozenIn(w.viewport, "VELM2DPLAN"));
    w.choose(0);  // dismissed: the stored mode again
    w.click([] { ViewPane()->OnLButtonDown(0, {}); });
    EXPECT_FALSE(w.d.frozenIn(w.viewport, "VELM2DPLAN"));
    EXPECT_EQ(w.log, (std::vector<std::string>{"REGEN", "REGEN", "REGEN"}));
}
