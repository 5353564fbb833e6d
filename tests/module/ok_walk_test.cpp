// Every dialog the module's commands open, confirmed at once with OK, closes
// with OK and says nothing: what the dialog showed is taken as it is. A rule
// about what the user types into a field (a number above 0, a whole number)
// must never hold back a field nobody typed into. The walk opens each
// dialog by the lines of dialog_runs.h on a fresh copy of the house and
// presses OK the moment it opens.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "host/ed/cmdproc.h"
#include "host/ed/inputqueue.h"
#include "host/ui/driver.h"
#include "host/ui/resources.h"
#include "settings/dialogs/dlg_layerc.h"
#include "tests/module/dialog_runs.h"
#include "tests/module/house_fixture.h"

namespace {

struct OkWalk {
    std::map<UINT, int> opened;              // dialog id, how often
    std::map<UINT, std::string> stayedOpen;  // id, the run that opened it
    std::map<UINT, std::string> spoke;       // id, what its OK said
    std::string run;                         // the run going on

    void Drive(zcui::DialogUser& user) {
        ++opened[user.Id()];
        if (user.Id() == kWallPalette) return;  // modeless: no OK, driven by its Apply
        const std::size_t before = zcui::MessageBoxes().size();
        user.Ok();
        // The host's file dialog asks for a name where the command proposes
        // none, and whether to replace a file that is there (no, unless
        // answered): questions of its own, no field rule of the module's.
        if (user.Id() == zcui::kFileDialogId) {
            if (!user.Ended()) user.Cancel();
            return;
        }
        for (std::size_t i = before; i < zcui::MessageBoxes().size(); ++i)
            spoke[user.Id()] += "\n  " + run + ": " + zcui::MessageBoxes()[i].text;
        if (!user.Ended()) {
            stayedOpen[user.Id()] = run;
            user.Cancel();
        }
    }
};

class DialogsOk : public HouseTest {
protected:
    void SetUp() override {
        HouseTest::SetUp();
        ASSERT_EQ(drawHouse(), RTNORM) << transcript();
        m_house = saveDrawing("house.dxf");
    }

    void runOnHouse(const std::vector<std::string>& lines) {
        reopen(m_house);
        runLines(lines);
    }
    static void runLines(const std::vector<std::string>& lines) {
        for (const std::string& line : lines) push(line);
        host::processInput();
        host::currentInput().clear();
    }

    std::string m_house;
};

TEST_F(DialogsOk, every_dialog_confirmed_at_once_closes_with_ok_and_says_nothing) {
    OkWalk walk;
    zcui::InstallFallbackDialogDriver([&walk](zcui::DialogUser& user) { walk.Drive(user); });
    std::vector<WalkRun> runs = DialogOpeningRuns();
    // The dialogs opened from a button of another dialog, or after a pick.
    runs.push_back({{"!dialog 143 select 1001 0 click 1053 cancel", "VELMDEFROOMD"}});
    runs.push_back({{"!dialog 143 select 1001 0 click 1053 cancel",
                     "!dialog 137 select 1001 0 click 1053 cancel", "VELMDEFROOMD"}});
    runs.push_back(
        {{"!dialog file edit 1152 \"F1.txt\" ok", "!dialog 197 click 1374 cancel", "VELMTIPOF", ""}});
    runs.push_back({{"!dialog 152 click 6 click 4", "VELMFSLAB"}});
    runs.push_back({{"!dialog 1016 page 0 click 107 click 1341 cancel", "VELMOPTIONS"}});
    runs.push_back({{"!dialog 214 select 1107 0 click 1112 cancel", "VELMCATBLOCK"}});
    runs.push_back({{"VELMPARAMAPPLY", "!pick 200,15"}});
    runs.push_back({{"VELMINFOUNIT", "300,200"}});
    runs.push_back({{"VELMDV", "Opcje"}});
    runs.push_back({{"CMD_ADD_S", "1", "1", "P1", "Drzwi"}});
    runs.push_back({{"VELMSETVAR", "SQPAV", "300", "VELMWALLD", "1000,1000", "1200,1000", "", "VELMSETVAR",
                     "SQPAV", "0", "VELMFLOORTRANS", ""}});
    for (const WalkRun& run : runs) {
        walk.run = run.lines.back();
        runOnHouse(run.lines);
        if (zcui::FindModeless(kWallPalette)) {
            ++walk.opened[kWallPalette];
            zcui::DriveModeless(kWallPalette, [](zcui::DialogUser& user) { user.Cancel(); });
            runLines(run.afterPalette);
        }
    }
    // The layer catalogue is a LISP function's; its line type and line
    // weight pickers open from its buttons.
    for (const char* line : {"", "133 select 1001 1 click 9 click 10 cancel"}) {
        walk.run = "(c:ddlcolor)";
        reopen(m_house);
        if (*line) {
            ASSERT_TRUE(zcui::QueueDialogScript(line));
        }
        ddlcolor();
    }
    zcui::InstallFallbackDialogDriver(nullptr);

    std::string open;
    for (const auto& [id, where] : walk.stayedOpen)
        open += "\n  okno " + std::to_string(id) + " (" + where + ")";
    EXPECT_EQ(open, "") << "dialogs that OK did not close";
    std::string said;
    for (const auto& [id, what] : walk.spoke) said += "\nokno " + std::to_string(id) + ":" + what;
    EXPECT_EQ(said, "") << "dialogs whose OK said something";

    // Every dialog of the module is opened (a sheet's pages with their
    // sheet), but those no command opens on this drawing without a choice
    // made in it first.
    std::set<UINT> reached;
    for (const auto& [id, n] : walk.opened) reached.insert(id);
    for (HINSTANCE module : zcuiRegisteredResources())
        for (const auto& [sheet, pages] : module->sheets)
            if (reached.count(sheet)) reached.insert(pages.begin(), pages.end());
    std::string unreached;
    for (HINSTANCE module : zcuiRegisteredResources()) {
        if (module == zcuiHostResources()) continue;
        for (const auto& [id, tpl] : module->dialogs)
            if (!reached.count(id)) unreached += " " + std::to_string(id);
    }
    EXPECT_EQ(unreached, "") << "dialogs the walk did not open";
}

}  // namespace
