// The preferences sheet: the page it opens on, the floor list's drawing,
// the opening options, and the pages of settings with the unit change.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/module_state.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/db/dbents.h"
#include "host/ed/hostcmd_util.h"
#include "host/ed/prompts.h"
#include "host/ui/dc.h"
#include "host/ui/driver.h"
#include "host/util/findfile.h"
#include "resources/velmresources.h"
#include "settings/preferences/image_list_ctrl.h"
#include "settings/preferences/opz_aper.h"
#include "settings/preferences/pref_hooks.h"
#include "settings/preferences/pref_sheet.h"
#include "settings/rescale.h"
#include "store/settings_store.h"
#include "tests/host/win_testdir.h"
#include "tests/support/velm_test.h"

namespace {

constexpr UINT kSheet = 1016;

class Preferences : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
        SetSupportPath(std::string(VELM_SOURCE_DIR) + "/support");
        SetSharedTolerance(0.001);
    }
    void TearDown() override {
        SetRegenParamObjectHook(nullptr);
        SetLabelTemplateNameHook(nullptr);
        SetSharedTolerance(0.001);
        zcui::ResetUi();
        VelmTest::TearDown();
    }
    static void SetSupportPath(const std::string& folder) {
        host::setSupportPathProvider([folder] { return std::vector<std::string>{folder}; });
    }
    static void Sheet(zcui::DialogDriver driver) { zcui::InstallDialogDriver(kSheet, std::move(driver)); }
};

}  // namespace

TEST_F(Preferences, options_reopen_on_the_confirmed_page_and_floor_options_on_the_first) {
    int opened = -1;
    Sheet([&](zcui::DialogUser& u) {
        opened = static_cast<CPropertySheet&>(u.Dialog()).GetActiveIndex();
        u.Page(2);
        u.Ok();
    });
    CmdPreferences();
    EXPECT_EQ(opened, 0);
    CmdPreferences();
    EXPECT_EQ(opened, 2);
    Sheet([&](zcui::DialogUser& u) {
        opened = static_cast<CPropertySheet&>(u.Dialog()).GetActiveIndex();
        u.Page(4);
        u.Cancel();
    });
    CmdFloorPreferences();
    EXPECT_EQ(opened, 0);
    CmdPreferences();  // a cancelled sheet moves nothing
    EXPECT_EQ(opened, 2);
}

// The listing of "velmhost --dialog 1016" reads the sheet's pages from the
// resources; they are the pages the command builds, in its order.
TEST_F(Preferences, resource_sheet_lists_the_pages_the_sheet_is_built_with) {
    std::vector<UINT> built;
    Sheet([&](zcui::DialogUser& u) {
        auto& sheet = static_cast<CPropertySheet&>(u.Dialog());
        for (int i = 0; i < sheet.GetPageCount(); ++i) built.push_back(sheet.GetPage(i)->TemplateId());
        u.Cancel();
    });
    CmdPreferences();
    const HINSTANCE resources = VelmResourceHandle();
    ASSERT_NE(resources, nullptr);
    auto listed = resources->sheets.find(kSheet);
    ASSERT_NE(listed, resources->sheets.end());
    EXPECT_EQ(listed->second, built);
    EXPECT_EQ(built.size(), 5u);
}

TEST_F(Preferences, help_runs_the_help_command) {
    SetSupportPath(std::string(VELM_SOURCE_DIR) + "/tests");
    Sheet([](zcui::DialogUser& u) {
        u.Help();
        u.Cancel();
    });
    CmdPreferences();
    EXPECT_NE(transcript().find("Nie znaleziono pliku pomocy"), std::string::npos);
}

TEST_F(Preferences, floor_list_marks_the_current_floor_and_draws_state_and_edge_images) {
    AfxSetResourceHandle(VelmResourceHandle());
    CImageList images;
    ASSERT_TRUE(images.Create(IDB_FLOOR_IMAGES, 16, 0, RGB(255, 0, 255)));
    AfxSetResourceHandle(nullptr);
    EXPECT_EQ(images.GetImageCount(), 6);
    CImageListCtrl list;
    list.InsertColumn(0, "a", LVCFMT_RIGHT, 65);
    list.InsertColumn(1, "b", LVCFMT_RIGHT, 70);
    list.InsertColumn(2, "c", LVCFMT_CENTER, 40);
    list.InsertColumn(3, "d", LVCFMT_CENTER, 80);
    list.SetImageList(&images, LVSIL_SMALL);
    for (const char* z : {"300", "0"}) {
        int row = list.InsertItem(list.GetItemCount(), z);
        list.SetItemText(row, 1, "275");
        list.SetItemText(row, 2, std::string(z) == "0" ? "OFF" : "ON");
        list.SetItemText(row, 3, std::string(z) == "0" ? "3" : "1");
    }
    list.m_key = "0";
    auto draw = [&](int row, UINT state) {
        std::vector<DrawOp> ops;
        CDC dc(&ops);
        DRAWITEMSTRUCT dis;
        dis.itemID = row;
        dis.itemState = state;
        dis.hDC = &dc;
        dis.rcItem = CRect(0, 20, 255, 36);
        list.DrawItem(&dis);
        return ops;
    };
    auto key = draw(1, 0);
    ASSERT_FALSE(key.empty());
    EXPECT_EQ(key[0].colour, kKeyRowColour);
    std::vector<std::pair<int, int>> images0;
    for (const DrawOp& op : key)
        if (op.kind == DrawOp::Kind::Image) images0.emplace_back(op.image, op.rect.left);
    // OFF at the middle of column 2, edge mode 3 as image 5 in column 3.
    EXPECT_EQ(images0, (std::vector<std::pair<int, int>>{{0, 65 + 70 + 20 - 8}, {5, 65 + 70 + 40 + 40 - 8}}));

    auto other = draw(0, 0);
    EXPECT_EQ(other[0].colour, GetSysColor(COLOR_WINDOW));
    auto selected = draw(1, ODS_SELECTED);
    EXPECT_EQ(selected[0].colour, GetSysColor(COLOR_HIGHLIGHT));
    int on = -1;
    for (const DrawOp& op : other)
        if (op.kind == DrawOp::Kind::Image && on < 0) on = op.image;
    EXPECT_EQ(on, 1);
}

TEST_F(Preferences, opening_options_keep_other_bits_and_tie_sill_height_to_dimension_text) {
    SetSettingInt(SetupVar::CALC_INT_SEZ, 1057);  // 1024 + 32 + 1: none of the dialog's
    zcui::InstallDialogDriver(IDD_OPZAPER, [](zcui::DialogUser& u) {
        EXPECT_EQ(u.Checked(1140), 1);
        EXPECT_EQ(u.Checked(1141), 0);
        u.Check(1141, 1);  // sill on: dimension text stays on
        EXPECT_EQ(u.Checked(1138), 1);
        u.Check(1138, 0);  // dimension text off: sill off too
        EXPECT_EQ(u.Checked(1141), 0);
        u.Ok();
    });
    CmdOpeningOptions();
    EXPECT_EQ(SettingInt(SetupVar::CALC_INT_SEZ), 1059);

    SetSettingInt(SetupVar::CALC_INT_SEZ, 2 | 4 | 8 | 16 | 64 | 1);
    zcui::InstallDialogDriver(IDD_OPZAPER, [](zcui::DialogUser& u) {
        // Every option off but sill height, which has no dimension text.
        EXPECT_EQ(u.Checked(1140) + u.Checked(1139) + u.Checked(1138) + u.Checked(1142), 0);
        u.Cancel();
    });
    CmdOpeningOptions();
    EXPECT_EQ(SettingInt(SetupVar::CALC_INT_SEZ), 95);
}

TEST_F(Preferences, applying_options_to_openings_hands_the_five_values_until_a_break) {
    for (int i = 0; i < 3; ++i) {
        auto* line = new ZcDbLine(ZcGePoint3d(i * 10, 0, 0), ZcGePoint3d(i * 10 + 5, 0, 0));
        ZcDbObjectId id;
        ASSERT_EQ(AppendToModelSpace(id, line), Zcad::eOk);
    }
    std::vector<std::vector<double>> seen;
    SetRegenParamObjectHook([&](const ads_name, const AAR_LAYERC&, const char* kind, const double* o) {
        EXPECT_EQ(kind, nullptr);
        ASSERT_NE(o, nullptr);
        seen.emplace_back(o, o + 5);
    });
    SetSettingInt(SetupVar::CALC_INT_SEZ, 0);
    zcui::InstallDialogDriver(IDD_OPZAPER, [](zcui::DialogUser& u) {
        u.Check(1140, 0);
        u.Click(3);
    });
    push({"ALL", ""});
    CmdOpeningOptions();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], (std::vector<double>{0.0, 0.0, 1.0, 0.0, 0.0}));
    EXPECT_EQ(SettingInt(SetupVar::CALC_INT_SEZ), 0);  // button 3 stores nothing

    seen.clear();
    zcui::InstallDialogDriver(IDD_OPZAPER, [](zcui::DialogUser& u) { u.Click(4); });
    push({"ALL", "", "!break"});
    CmdOpeningOptions();
    EXPECT_TRUE(seen.empty());
}

TEST_F(Preferences, dimension_page_packs_alignments_and_refuses_a_negative_minimum) {
    SetSettingInt(25, 21);
    Sheet([](zcui::DialogUser& u) {
        u.Page(2);
        EXPECT_EQ(u.Checked(1030), 1);  // doors right
        EXPECT_EQ(u.Checked(1033), 1);  // windows centre
        u.Radio(1032);
        u.Edit(1025, "-5");
        u.Ok();
        EXPECT_FALSE(u.Ended());
        EXPECT_EQ(static_cast<CPropertySheet&>(u.Dialog()).GetActiveIndex(), 2);
        u.Edit(1025, "5");
        u.Ok();
    });
    CmdPreferences();
    EXPECT_EQ(SettingInt(25), 20);
    EXPECT_EQ(SettingReal(30), 5.0);
}

TEST_F(Preferences, openings_page_inverts_the_door_box_and_stores_disabled_prefixes) {
    SetSettingInt(294, 0);
    Sheet([](zcui::DialogUser& u) {
        u.Page(1);
        EXPECT_EQ(u.Checked(1032), 1);
        u.Edit(1004, "DD-");
        u.Check(1237, 0);
        EXPECT_FALSE(u.Control(1004)->IsWindowEnabled());
        u.Check(1032, 0);
        u.Ok();
    });
    CmdPreferences();
    EXPECT_EQ(SettingInt(294), 1);
    EXPECT_EQ(SettingInt(280), 0);
    EXPECT_EQ(SettingString(282), "DD-");
}

TEST_F(Preferences, unit_change_rescales_once_after_every_page_stored) {
    SetSettingReal(14, 10000.0);
    const double wall = SettingReal(4);
    Sheet([](zcui::DialogUser& u) {
        u.Page(4);
        u.Page(3);
        u.Edit(1016, "0.01");
        u.Page(4);
        EXPECT_EQ(u.Text(1017), "10000");
        u.Page(3);
        u.Apply();
        u.Page(4);
        EXPECT_EQ(u.Text(1017), "1");  // the page shows the rescaled value
        u.Ok();
    });
    CmdPreferences();
    EXPECT_DOUBLE_EQ(SettingReal(SetupVar::SFTMTCM), 0.01);
    EXPECT_DOUBLE_EQ(SettingReal(14), 1.0);
    EXPECT_DOUBLE_EQ(SettingReal(4), wall * 0.01);
    EXPECT_DOUBLE_EQ(SettingReal(178), 1.4);

    // Reopened on page 4; the unit shown is the drawing's: nothing rescales.
    Sheet([](zcui::DialogUser& u) {
        u.Page(3);
        u.Check(1450, 1);
        u.Edit(1016, "0");  // refused: the page keeps the sheet open
        u.Ok();
        EXPECT_FALSE(u.Ended());
        u.Edit(1016, "0.01");
        u.Ok();
    });
    CmdPreferences();
    EXPECT_EQ(SettingInt(258), 1);
    EXPECT_DOUBLE_EQ(SettingReal(14), 1.0);
    EXPECT_DOUBLE_EQ(SettingReal(SetupVar::SFTMTCM), 0.01);
}

TEST_F(Preferences, quantities_page_maps_old_card_names_and_reports_a_missing_card_folder) {
    TestDir dir;
    std::filesystem::create_directories(dir.path("tab"));
    dir.write("VELMDCONFIG.CFG", "");
    dir.write("tab/att_ec1.ua", "");
    dir.write("tab/TMS_TAB1.UA", "");
    SetSupportPath(dir.path());
    SetLabelTemplateNameHook(
        [](const std::string& name) { return name == "ATT_ETI1" ? std::string("att_ec1") : name; });
    SetSettingString(19, "ATT_ETI1");
    std::string shown;
    Sheet([&](zcui::DialogUser& u) {
        u.Page(4);
        shown = u.Text(1083);
        u.Ok();
    });
    CmdPreferences();
    EXPECT_EQ(shown, "att_ec1");
    EXPECT_EQ(SettingString(19), "att_ec1");

    std::filesystem::remove_all(dir.path("tab"));
    SetSettingString(19, "KEEP");
    Sheet([&](zcui::DialogUser& u) {
        u.Page(4);
        u.Ok();
    });
    CmdPreferences();
    ASSERT_FALSE(zcui::MessageBoxes().empty());
    EXPECT_EQ(zcui::MessageBoxes().back().text, "Nie znaleziono plików kart pokoju (*.ua) w katalogu tab");
    EXPECT_EQ(SettingString(19), "KEEP");
}
