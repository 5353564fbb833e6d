// The layer catalogue dialog driven as a user would: filters, headings that
// never change, insertion before the selection, groups never emptied.
#include "settings/dialogs/dlg_layerc.h"

#include <filesystem>

#include "host/ui/hostdialogs.h"
#include "host/util/adscodes.h"
#include "host/util/findfile.h"
#include "host/win/files.h"
#include "settings/dialogs/dlg_linepickers.h"
#include "tests/core/dialogs/dialog_fixture.h"
#include "tests/host/win_testdir.h"

namespace {

AA_LAYERC Row(std::string path, std::string key, int colour = 7) {
    AA_LAYERC r;
    r.groupPath = std::move(path);
    r.key = key;
    r.layerName = std::move(key);
    r.color = colour;
    return r;
}

AAR_LAYERC Sample() {
    AAR_LAYERC t;
    t.push_back(Row("", "**Ściany"));
    t.push_back(Row("", "***Rzut"));
    t.push_back(Row("Ściany%Rzut", "2DWALLS", 7));
    t.push_back(Row("Ściany%Rzut", "2DWALLL", 8));
    t.push_back(Row("", "***Model 3D"));
    t.push_back(Row("Ściany%Model 3D", "3DWALLS", 254));
    t.push_back(Row("", "**Otwory"));
    t.push_back(Row("Otwory", "2DOPEN", 4));
    return t;
}

std::vector<std::string> Keys(CListCtrl& list) {
    std::vector<std::string> keys;
    for (int i = 0; i < list.GetItemCount(); ++i) keys.push_back(list.GetItemText(i, 0));
    return keys;
}

constexpr WPARAM Clicked(int id) {
    return MAKEWPARAM(id, BN_CLICKED);
}

class LayercTest : public ModuleDialogTest {
protected:
    CDlgLayerc dlg;
    void SetUp() override {
        ModuleDialogTest::SetUp();
        dlg.SetCatalogue(Sample());
    }
    // Runs the dialog; the catalogue is kept by Cancel, so tests read it back
    // from the dialog object whatever the ending.
    void Run(std::function<void(zcui::DialogUser&, CListCtrl&)> drive) {
        zcui::InstallDialogDriver(IDD_LAYERC, [&](zcui::DialogUser& u) {
            drive(u, *u.Get<CListCtrl>(1001));
            if (!u.Ended()) u.Cancel();
        });
        dlg.DoModal();
    }
};

}  // namespace

TEST_F(LayercTest, tree_filters_list_groups_and_subgroups) {
    std::vector<std::string> all, group, subgroup, root;
    Run([&](zcui::DialogUser& u, CListCtrl& list) {
        all = Keys(list);
        u.Select(1021, std::string("Ściany"));
        group = Keys(list);
        u.Select(1021, std::string("Rzut"));
        subgroup = Keys(list);
        u.Select(1021, std::string("Wszystkie warstwy"));
        root = Keys(list);
    });
    EXPECT_EQ(all.size(), 8u);
    EXPECT_EQ(root, all);
    EXPECT_EQ(group, (std::vector<std::string>{"2DWALLS", "2DWALLL", "3DWALLS"}));
    EXPECT_EQ(subgroup, (std::vector<std::string>{"2DWALLS", "2DWALLL"}));
}

TEST_F(LayercTest, attribute_buttons_never_touch_heading_rows) {
    Run([&](zcui::DialogUser& u, CListCtrl&) {
        u.Select(1001, std::vector<zcui::Row>{0, 2});
        u.Edit(101, "MURY");
        u.Click(4);
        zcui::QueueDialogScript("color edit 100 \"5\" ok");
        u.Click(8);
        zcui::QueueDialogScript("180 select 1379 \"0.05 mm\" ok");
        u.Click(10);
    });
    const AAR_LAYERC& c = dlg.Catalogue();
    EXPECT_EQ(c[0].layerName, "**Ściany");
    EXPECT_EQ(c[0].color, 7);
    EXPECT_EQ(c[0].lineWeight, -3);
    EXPECT_EQ(c[2].layerName, "MURY");
    EXPECT_EQ(c[2].color, 5);
    EXPECT_EQ(c[2].lineWeight, 5);
}

TEST_F(LayercTest, colour_with_nothing_selected_changes_nothing) {
    Run([&](zcui::DialogUser& u, CListCtrl&) {
        zcui::QueueDialogScript("color edit 100 \"3\" ok");
        u.Click(8);
    });
    for (std::size_t i = 0; i < Sample().size(); ++i) EXPECT_EQ(dlg.Catalogue()[i].color, Sample()[i].color);
}

TEST_F(LayercTest, new_row_goes_before_the_selection_with_the_filter_path) {
    std::vector<std::string> shown;
    Run([&](zcui::DialogUser& u, CListCtrl& list) {
        u.Select(1021, std::string("Rzut"));
        u.Select(1001, 1);
        u.Edit(101, "2DNEW");
        u.Click(1237);
        shown = Keys(list);
    });
    EXPECT_EQ(shown, (std::vector<std::string>{"2DWALLS", "2DNEW", "2DWALLL"}));
    const AA_LAYERC& added = dlg.Catalogue()[3];
    EXPECT_EQ(added.key, "2DNEW");
    EXPECT_EQ(added.layerName, "2DNEW");
    EXPECT_EQ(added.groupPath, "Ściany%Rzut");
    EXPECT_TRUE(zcui::MessageBoxes().empty());
}

TEST_F(LayercTest, adding_refuses_existing_keys_and_several_rows) {
    Run([&](zcui::DialogUser& u, CListCtrl&) {
        u.Select(1001, 2);
        u.Edit(101, "2dwalls");
        u.Click(1237);
        u.Edit(101, "OTHER");
        u.Select(1001, std::vector<zcui::Row>{2, 3});
        u.Message(WM_COMMAND, Clicked(1237));
    });
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{kLayerKeyExists, kSelectOneRow}));
    EXPECT_EQ(dlg.Catalogue().size(), Sample().size());
}

TEST_F(LayercTest, removing_keeps_every_group_non_empty_and_headings_in_place) {
    std::vector<std::string> shown;
    Run([&](zcui::DialogUser& u, CListCtrl& list) {
        u.Select(1001, 7);  // the only row of "Otwory"
        u.Click(1238);
        u.Select(1001, 0);  // a heading
        u.Click(1238);
        u.Select(1001, 2);  // one of two rows of "Ściany%Rzut"
        u.Click(1238);
        shown = Keys(list);
    });
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{kGroupNotEmpty, kCannotRemoveGroup}));
    EXPECT_EQ(shown.size(), 7u);
    EXPECT_EQ(dlg.Catalogue()[2].key, "2DWALLL");
}

TEST_F(ModuleDialogTest, ddlcolor_without_a_readable_catalogue_shows_no_dialog) {
    // The catalogue is not on the search path here: nothing may be offered
    // whose OK would write an empty "LAYERC.DEF".
    EXPECT_EQ(ddlcolor(), RTNORM);
    EXPECT_TRUE(zcui::DialogsShown().empty());
}

TEST_F(LayercTest, an_empty_name_is_never_assigned_or_added) {
    Run([&](zcui::DialogUser& u, CListCtrl&) {
        u.Select(1001, std::vector<zcui::Row>{2, 3});  // several rows enable assigning
        u.Click(4);
        u.Select(1001, std::vector<zcui::Row>{2});
        u.Message(WM_COMMAND, Clicked(1237));
    });
    EXPECT_EQ(dlg.Catalogue()[2].layerName, "2DWALLS");
    EXPECT_EQ(dlg.Catalogue()[3].layerName, "2DWALLL");
    EXPECT_EQ(dlg.Catalogue().size(), Sample().size());
}

TEST_F(ModuleDialogTest, ddlcolor_on_an_empty_catalogue_shows_no_dialog_and_keeps_the_file) {
    TestDir dir;
    dir.write("LAYERC.DEF", "\n");
    host::setSupportFolders({dir.path()});
    EXPECT_EQ(ddlcolor(), RTNORM);
    host::setSupportFolders({});
    EXPECT_TRUE(zcui::DialogsShown().empty());
    EXPECT_EQ(dir.read("LAYERC.DEF"), "\n");
}

TEST_F(ModuleDialogTest, linetype_picker_lists_the_support_linetype_file) {
    std::filesystem::path hostSupport = std::filesystem::path(VELM_SOURCE_DIR) / "support" / "host";
    host::setSupportFolders({hostSupport.string()});
    CDlgTipoLinea picker;
    picker.m_selected = "hidden";
    std::string preselected;
    zcui::InstallDialogDriver(IDD_TIPOLINEA, [&](zcui::DialogUser& u) {
        CListBox* l = u.Get<CListBox>(1378);
        l->GetText(l->GetCurSel(), preselected);
        u.Ok();
    });
    EXPECT_EQ(picker.DoModal(), IDOK);
    host::setSupportFolders({});
    EXPECT_TRUE(preselected.starts_with("HIDDEN,"));
    EXPECT_EQ(picker.GetLinetype(), "HIDDEN");
}

// Lost data: OK on a catalogue whose lines end in CR alone.
TEST_F(ModuleDialogTest, ddlcolor_ok_on_a_catalogue_with_cr_line_ends_keeps_the_file) {
    TestDir dir;
    const std::string bytes =
        "**Ściany,\r2DWALLS,MURI,1,Lico,Continuous,25\r3DWALLS,3DWALLS,254,X,DASHED,-1\r";
    dir.write("LAYERC.DEF", bytes);
    host::setSupportFolders({dir.path()});
    int rows = 0;
    zcui::InstallDialogDriver(IDD_LAYERC, [&](zcui::DialogUser& u) {
        rows = u.Get<CListCtrl>(1001)->GetItemCount();
        u.Ok();
    });
    EXPECT_EQ(ddlcolor(), RTNORM);
    host::setSupportFolders({});
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(dir.read("LAYERC.DEF"), bytes);
}

// A refused or failed write of the catalogue ended the call as a success.
TEST_F(ModuleDialogTest, ddlcolor_fails_when_its_write_is_refused) {
    TestDir dir;
    dir.write("LAYERC.DEF", "**Ściany,\n2DWALLS,MURI,1\n3DWALLS,3DWALLS,254\n");
    host::setSupportFolders({dir.path()});
    // Another program changes the row this one removes.
    const std::string theirs = "**Ściany,\n2DWALLS,MURI,5\n3DWALLS,3DWALLS,254\n";
    zcui::InstallDialogDriver(IDD_LAYERC, [&](zcui::DialogUser& u) {
        u.Select(1001, 1);
        u.Click(1238);
        dir.write("LAYERC.DEF", theirs);
        u.Ok();
    });
    EXPECT_EQ(ddlcolor(), RTERROR);
    host::setSupportFolders({});
    host::forgetFilesAsRead();
    EXPECT_EQ(dir.read("LAYERC.DEF"), theirs);
}
