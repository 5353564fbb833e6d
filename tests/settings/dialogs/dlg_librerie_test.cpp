// The library search path dialog driven as a user would.
#include "settings/dialogs/dlg_librerie.h"

#include "tests/core/dialogs/dialog_fixture.h"

using LibrerieTest = ModuleDialogTest;

TEST_F(LibrerieTest, folders_come_back_sorted_and_case_repeats_are_refused) {
    CDlgLibrerie dlg;
    dlg.SetPaths({"d:\\libs", "C:\\Obj", "b:\\x"});
    std::string editAfterRefusal;
    zcui::InstallDialogDriver(IDD_LIBRERIE, [&](zcui::DialogUser& u) {
        u.Edit(1036, "c:\\obj");
        u.Click(1035);
        editAfterRefusal = u.Text(1036);
        u.Edit(1036, "a:\\new");
        u.Click(1035);
        u.Edit(1036, "");
        u.Click(1035);  // an empty text is ignored silently
        u.Ok();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    std::vector<std::string> paths = {"stale"};
    dlg.GetPaths(paths);
    EXPECT_EQ(paths, (std::vector<std::string>{"a:\\new", "b:\\x", "C:\\Obj", "d:\\libs"}));
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Katalog już istnieje"}));
    EXPECT_EQ(editAfterRefusal, "c:\\obj");
}

TEST_F(LibrerieTest, delete_removes_selected_folders_and_cancel_keeps_the_given_list) {
    CDlgLibrerie dlg;
    dlg.SetPaths({"p1", "p2", "p3"});
    zcui::InstallDialogDriver(IDD_LIBRERIE, [&](zcui::DialogUser& u) {
        u.Select(1034, std::vector<zcui::Row>{std::string("p1"), std::string("p3")});
        u.Key(1034, VK_DELETE);
        u.Ok();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    std::vector<std::string> paths;
    dlg.GetPaths(paths);
    EXPECT_EQ(paths, (std::vector<std::string>{"p2"}));

    CDlgLibrerie cancelled;
    cancelled.SetPaths({"z", "a"});
    zcui::InstallDialogDriver(IDD_LIBRERIE, [&](zcui::DialogUser& u) {
        u.Edit(1036, "m");
        u.Click(1035);
        u.Cancel();
    });
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    cancelled.GetPaths(paths);
    EXPECT_EQ(paths, (std::vector<std::string>{"z", "a"}));
}
