// The wall-layer list dialog driven as a user would.
#include "core/dialogs/dlg_wall_layers.h"

#include "tests/core/dialogs/dialog_fixture.h"

using WallLayersTest = ModuleDialogTest;

TEST_F(WallLayersTest, adding_a_name_listed_in_another_case_is_refused) {
    CDlgLstLayer dlg;
    dlg.m_layers = {"2DWALLS", "MURY"};
    std::vector<std::string> shown;
    zcui::InstallDialogDriver(IDD_LSTLAYER, [&](zcui::DialogUser& u) {
        u.Edit(1036, "2dwalls");
        u.Click(1035);
        u.Edit(1036, "ARCH");
        u.Click(1035);
        shown = Rows(*u.Get<CListBox>(1034));
        u.Ok();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Warstwa już istnieje"}));
    EXPECT_EQ(shown, (std::vector<std::string>{"2DWALLS", "ARCH", "MURY"}));
    std::vector<std::string> layers;
    dlg.GetLayers(layers);
    EXPECT_EQ(layers, shown);
}

TEST_F(WallLayersTest, a_name_given_twice_is_listed_twice_and_returned_once) {
    CDlgLstLayer dlg;
    dlg.m_layers = {"B", "A", "B"};
    int listed = 0;
    zcui::InstallDialogDriver(IDD_LSTLAYER, [&](zcui::DialogUser& u) {
        listed = u.Get<CListBox>(1034)->GetCount();
        u.Ok();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(listed, 3);
    std::vector<std::string> layers = {"stale"};
    dlg.GetLayers(layers);
    EXPECT_EQ(layers, (std::vector<std::string>{"A", "B"}));
}

TEST_F(WallLayersTest, delete_key_removes_selected_layers_and_cancel_keeps_the_input) {
    CDlgLstLayer dlg;
    dlg.m_layers = {"A", "B", "C"};
    zcui::InstallDialogDriver(IDD_LSTLAYER, [&](zcui::DialogUser& u) {
        u.Select(1034, std::vector<zcui::Row>{0, 2});
        u.Key(1034, VK_DELETE);
        u.Ok();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_layers, (std::vector<std::string>{"B"}));

    CDlgLstLayer cancelled;
    cancelled.m_layers = {"A", "B"};
    zcui::InstallDialogDriver(IDD_LSTLAYER, [&](zcui::DialogUser& u) {
        u.Select(1034, std::vector<zcui::Row>{std::string("A")});
        u.Key(1034, VK_DELETE);
        u.Cancel();
    });
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.m_layers, (std::vector<std::string>{"A", "B"}));
}
