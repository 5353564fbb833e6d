// The 2D wall options dialog in wall drawing: before "VELMWALL" draws, and
// at "Opcje" between segments.
#include <array>
#include <cmath>
#include <optional>

#include "host/db/dbobjptr.h"
#include "host/ui/driver.h"
#include "store/open_or_create.h"
#include "store/setup_slots.h"
#include "store/velm_spessmuri.h"
#include "tests/walls/drawing/walls_fixture.h"
#include "walls/drawing/dlg_cmd_muro.h"

namespace {

// Whether a face runs along x = `x` (either way round).
bool HasVertical(const std::vector<FaceLine>& lines, double x) {
    for (const FaceLine& l : lines)
        if (std::fabs(l.start.x - x) < 1e-6 && std::fabs(l.end.x - x) < 1e-6) return true;
    return false;
}

}  // namespace

TEST_F(WallsTest, velmwall_draws_with_the_alignment_and_thickness_chosen_in_the_dialog) {
    int shown = 0;
    zcui::InstallDialogDriver(IDD_CMDMURO, [&](zcui::DialogUser& u) {
        ++shown;
        u.Edit(1066, "25");
        u.Click(1072);
    });
    run({"VELMWALL", "0,0", "100,0", ""});
    const std::vector<FaceLine> lines = Lines();
    ASSERT_EQ(lines.size(), 2u) << transcript();
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(HasLine(lines, {0, -25}, {100, -25}));
    EXPECT_TRUE(HasLine(lines, {0, 0}, {100, 0}));
    EXPECT_EQ(Real(SetupVar::MDPLINEEND), 25.0);
}

TEST_F(WallsTest, options_between_segments_change_the_next_segment_only) {
    int shown = 0;
    zcui::InstallDialogDriver(IDD_CMDMURO, [&](zcui::DialogUser& u) {
        // The first opening is cancelled: the drawing goes on unchanged.
        if (++shown == 1) {
            u.Cancel();
            return;
        }
        u.Edit(1066, "10");
        u.Click(1073);
    });
    run({"VELMWALLD", "0,0", "100,0", "Opcje", "Opcje", "100,100", ""});
    const std::vector<FaceLine> lines = Lines();
    ASSERT_EQ(lines.size(), 4u) << transcript();
    EXPECT_EQ(shown, 2);
    EXPECT_TRUE(HasLine(lines, {0, -15}, {105, -15})) << "the first keeps 30, mitred to the next";
    EXPECT_TRUE(HasLine(lines, {0, 15}, {95, 15}));
    EXPECT_TRUE(HasVertical(lines, 105));
    EXPECT_TRUE(HasVertical(lines, 95));
}

TEST_F(WallsTest, cancel_in_the_dialog_ends_velmwall_with_nothing_drawn_or_asked) {
    zcui::InstallDialogDriver(IDD_CMDMURO, [](zcui::DialogUser& u) {
        u.Edit(1066, "25");
        u.Cancel();
    });
    run({"VELMWALL"});
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(transcript().find("Pierwszy punkt"), std::string::npos) << transcript();
    EXPECT_EQ(Real(SetupVar::MDPLINEEND), 30.0);
}

// The dialog closed by OK, the command cancelled at its first point: the
// options and the thickness history are as the command found them, and a
// drawing that had no history has none.
TEST_F(WallsTest, velmwall_cancelled_after_the_dialogs_ok_leaves_the_options_and_history_as_they_were) {
    const auto history = [] {
        ZcDbObjectPointer<VELM_SPESSMURI> kept(OpenOrCreateSetting<VELM_SPESSMURI>(true, nullptr, false));
        return kept ? std::optional<std::array<double, 5>>(kept->thicknesses) : std::nullopt;
    };
    ASSERT_FALSE(history()) << "a new drawing has no thickness history";
    zcui::InstallDialogDriver(IDD_CMDMURO, [](zcui::DialogUser& u) {
        u.Edit(1066, "25");
        u.Click(1072);
    });
    run({"VELMWALL", "!cancel"});
    EXPECT_FALSE(history()) << transcript();
    EXPECT_EQ(Real(SetupVar::MDPLINEEND), 30.0);

    // A wall drawn keeps them; cancelled once more, they stay as they are.
    run({"VELMWALL", "0,0", "100,0", ""});
    ASSERT_TRUE(history());
    EXPECT_EQ((*history())[0], 25.0);
    zcui::InstallDialogDriver(IDD_CMDMURO, [](zcui::DialogUser& u) {
        u.Edit(1066, "40");
        u.Click(1072);
    });
    run({"VELMWALL", "0,200", "!cancel"});
    EXPECT_EQ((*history())[0], 25.0);
    EXPECT_EQ(Real(SetupVar::MDPLINEEND), 25.0);
    zcui::RemoveDialogDriver(IDD_CMDMURO);
}
