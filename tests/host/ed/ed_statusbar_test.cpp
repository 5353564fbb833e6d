// The status bar: panes, clicks, popup menu answers, progress meter.
#include <string>
#include <vector>

#include "host/ed/statusbar.h"
#include "tests/host/ed/ed_fixture.h"

namespace {

// A pane like the module's floor pane: a click shows a menu and the chosen
// id becomes the text.
class MenuPane : public ZcPane {
public:
    void OnLButtonDown(unsigned int, ZcPanePoint) override {
        unsigned int id = DisplayPopupPaneMenu(*menu());
        SetText(("wybrano " + std::to_string(id)).c_str());
    }
    static CMenu* menu() { return reinterpret_cast<CMenu*>(&storage); }
    static inline int storage = 0;
};

using StatusBar = EdSession;

TEST_F(StatusBar, panes_insert_at_positions_and_remove_without_deleting) {
    ZcApplicationStatusBar* bar = zcedGetApplicationStatusBar();
    ASSERT_NE(bar, nullptr);
    ZcPane floor, view;
    floor.SetText("Bieżąca podłoga:");
    view.SetText("2D+3D");
    EXPECT_TRUE(bar->Insert(1, &floor, true));
    EXPECT_TRUE(bar->Insert(0, &view, true));
    EXPECT_FALSE(bar->Insert(0, &view, true)) << "a pane sits on the bar once";
    EXPECT_EQ(bar->GetPane(0), &view);
    EXPECT_EQ(bar->GetPane(1), &floor);
    EXPECT_TRUE(bar->Remove(&floor, true));
    EXPECT_FALSE(bar->Remove(&floor, true));
    EXPECT_EQ(bar->GetPaneCount(), 1);
    EXPECT_STREQ(floor.GetText(), "Bieżąca podłoga:");
    bar->RemoveAllPanes();
}

TEST_F(StatusBar, menu_choice_comes_from_the_queue_or_the_responder) {
    ZcApplicationStatusBar* bar = zcedGetApplicationStatusBar();
    MenuPane pane;
    bar->Insert(0, &pane);
    feed({"3"});
    pane.OnLButtonDown(0, {});
    EXPECT_STREQ(pane.GetText(), "wybrano 3");
    pane.OnLButtonDown(0, {});
    EXPECT_STREQ(pane.GetText(), "wybrano 0") << "no answer dismisses the menu";
    host::setMenuResponder([](const CMenu& m) { return &m == MenuPane::menu() ? 7u : 1u; });
    pane.OnLButtonDown(0, {});
    EXPECT_STREQ(pane.GetText(), "wybrano 7");
    const auto& log = host::statusBarLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "menu 7"), log.end());
    bar->RemoveAllPanes();
}

TEST_F(StatusBar, progress_meter_records_start_position_and_restore) {
    EXPECT_EQ(zcedSetStatusBarProgressMeterPos(3), -1) << "no meter running";
    EXPECT_EQ(zcedSetStatusBarProgressMeter("Generowanie ścian", 0, 10), 0);
    EXPECT_EQ(zcedSetStatusBarProgressMeterPos(25), 0);
    EXPECT_EQ(host::progressMeter().pos, 10) << "clamped to the range";
    zcedRestoreStatusBar();
    EXPECT_FALSE(host::progressMeter().active);
    std::vector<std::string> want = {"progress Generowanie ścian 0 10", "progress pos 10",
                                     "progress restore"};
    EXPECT_EQ(host::statusBarLog(), want);
}

TEST_F(StatusBar, host_without_a_status_bar_gives_none) {
    host::setStatusBarAvailable(false);
    EXPECT_EQ(zcedGetApplicationStatusBar(), nullptr);
}

}  // namespace

namespace {

struct ClickPane : ZcPane {
    std::string got;
    void OnLButtonDown(unsigned int, ZcPanePoint) override { got += "L"; }
    void OnRButtonDown(unsigned int, ZcPanePoint) override { got += "R"; }
    void OnLButtonDblClk(unsigned int, ZcPanePoint) override { got += "D"; }
};

TEST_F(StatusBar, clicks_reach_the_pane_handlers) {
    ClickPane p;
    zcedGetApplicationStatusBar()->Insert(0, &p);
    EXPECT_TRUE(host::clickPane(0, 0));
    EXPECT_TRUE(host::clickPane(0, 1));
    EXPECT_TRUE(host::clickPane(0, 2));
    EXPECT_FALSE(host::clickPane(1, 0));
    EXPECT_EQ(p.got, "LRD");
    zcedGetApplicationStatusBar()->RemoveAllPanes();
}

}  // namespace
