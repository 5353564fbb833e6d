// The line weight and linetype pickers driven as a user would.
#include "settings/dialogs/dlg_linepickers.h"

#include "tests/core/dialogs/dialog_fixture.h"

using LinePickersTest = ModuleDialogTest;

TEST_F(LinePickersTest, line_weight_texts_and_entries_agree_both_ways) {
    EXPECT_EQ(FormatLineWeight(-3), "DEFAULT");
    EXPECT_EQ(FormatLineWeight(-2), "BLOCK");
    EXPECT_EQ(FormatLineWeight(-1), "LAYER");
    EXPECT_EQ(FormatLineWeight(5), "0.05 mm");
    EXPECT_EQ(FormatLineWeight(211), "2.11 mm");
    EXPECT_EQ(ParseLineWeightEntry("0.05 mm"), std::optional<std::int16_t>(5));
    EXPECT_EQ(ParseLineWeightEntry("2.11 mm"), std::optional<std::int16_t>(211));
    EXPECT_EQ(ParseLineWeightEntry("Default"), std::optional<std::int16_t>(-3));
    EXPECT_EQ(ParseLineWeightEntry("thick"), std::nullopt);
}

TEST_F(LinePickersTest, picked_weight_is_stored_in_hundredths_and_preselected_again) {
    CDlgSpessLinea dlg;
    dlg.SetLineWeight(-3);
    std::string preselected;
    zcui::InstallDialogDriver(IDD_SPESSLINEA, [&](zcui::DialogUser& u) {
        CListBox* l = u.Get<CListBox>(1379);
        l->GetText(l->GetCurSel(), preselected);
        EXPECT_EQ(l->GetCount(), 25);
        u.Select(1379, std::string("0.05 mm"));
        u.Ok();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(preselected, "Default");
    EXPECT_EQ(dlg.GetLineWeight(), 5);

    CDlgSpessLinea again;
    again.SetLineWeight(5);
    zcui::InstallDialogDriver(IDD_SPESSLINEA, [&](zcui::DialogUser& u) {
        CListBox* l = u.Get<CListBox>(1379);
        l->GetText(l->GetCurSel(), preselected);
        u.Ok();
    });
    again.DoModal();
    EXPECT_EQ(preselected, "0.05 mm");
}

TEST_F(LinePickersTest, by_layer_weight_shows_no_selection_and_survives_ok) {
    CDlgSpessLinea dlg;
    dlg.SetLineWeight(-1);
    int sel = 0;
    zcui::InstallDialogDriver(IDD_SPESSLINEA, [&](zcui::DialogUser& u) {
        sel = u.Get<CListBox>(1379)->GetCurSel();
        u.Ok();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(sel, LB_ERR);
    EXPECT_EQ(dlg.GetLineWeight(), -1);
}

TEST_F(LinePickersTest, linetype_entries_come_from_star_lines_and_the_name_ends_at_the_comma) {
    std::vector<std::string> entries =
        LinetypeEntries({";; c", "*DASHED,Kreskowa __ __", "A,10,-5", "*DOT,Kropkowa"});
    EXPECT_EQ(entries, (std::vector<std::string>{"DASHED,Kreskowa __ __", "DOT,Kropkowa"}));
    CDlgTipoLinea dlg;
    dlg.m_selected = "continuous";
    std::string first;
    zcui::InstallDialogDriver(IDD_TIPOLINEA, [&](zcui::DialogUser& u) {
        CListBox* l = u.Get<CListBox>(1378);
        l->GetText(l->GetCurSel(), first);
        u.Ok();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(first, kContinuousEntry);
    EXPECT_EQ(dlg.GetLinetype(), "Continuous");
}
