// The module's controls driven through a small dialog as a user would.
#include "core/controls/advcontrols.h"

#include <gtest/gtest.h>

#include <vector>

#include "host/ui/dialog.h"
#include "host/ui/driver.h"
#include "host/ui/resources.h"
#include "tests/host/ui/ui_fixture.h"

namespace {

constexpr const char* kTemplates = R"(
dialog 900 "Kontrolki" 200 160
  edittext 1001 "" 7 7 60 12
  edittext 1002 "" 7 22 60 12
  edittext 1003 "" 7 37 60 12
  ltext 1004 "" 7 52 60 12
  listbox 1020 "" 7 70 80 40 extended wantkeys
  edittext 1030 "" 100 7 60 12
  defpushbutton 1 "OK" 90 140 50 14
  pushbutton 2 "Anuluj" 145 140 50 14
end
)";

class ControlsDialog : public CDialog {
public:
    ControlsDialog() : CDialog(900) {}
    CadvNumEdit num;
    CadvEdit partnered;
    CadvColorStatic swatch;
    CAdvListBox list;
    CAdvInvioEdit invio;
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 1001, num);
        DDX_Control(dx, 1003, partnered);
        DDX_Control(dx, 1004, swatch);
        DDX_Control(dx, 1020, list);
        DDX_Control(dx, 1030, invio);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        return TRUE;
    }
};

class AdvControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        zcui::ResetUi();
        templates_.Register("controls-test", "t.txt", kTemplates);
    }
    void TearDown() override {
        templates_.Drop();
        zcui::ResetUi();
    }
    // Runs the dialog with a driver; the driver decides how it ends.
    int Run(ControlsDialog& d, std::function<void(zcui::DialogUser&)> drive) {
        zcui::InstallDialogDriver(900, std::move(drive));
        return static_cast<int>(d.DoModal());
    }
    size_t Messages() const { return zcui::MessageBoxes().size(); }
    TestTemplates templates_;
};

bool Valid(CadvNumEdit& e, const char* text) {
    e.SetWindowText(text);
    return e.Validate(0) == 1;
}

}  // namespace

TEST_F(AdvControlsTest, numeric_validation_follows_range_sign_and_zero_rules) {
    ControlsDialog d;
    Run(d, [&](zcui::DialogUser& u) {
        CadvNumEdit& e = d.num;
        // Defaults: every number and zero pass; a text that is no number
        // does not, whatever its start.
        EXPECT_TRUE(Valid(e, "-1e300"));
        EXPECT_TRUE(Valid(e, "0"));
        EXPECT_TRUE(Valid(e, " 7 "));
        for (const char* text : {"abc", "12abc", "1,5", " ", "", "--5", "0x10"}) {
            EXPECT_FALSE(Valid(e, text)) << text;
            EXPECT_EQ(e.GetDouble(), 0.0) << text;
        }
        EXPECT_FALSE(Valid(e, "inf"));
        EXPECT_FALSE(Valid(e, "nan"));
        e.SetSignMode(0, 1);
        EXPECT_FALSE(Valid(e, "0"));
        EXPECT_FALSE(Valid(e, "-2"));
        EXPECT_FALSE(Valid(e, "xyz"));
        EXPECT_TRUE(Valid(e, "0.5"));
        e.SetSignMode(1, 0);
        EXPECT_TRUE(Valid(e, "0"));
        EXPECT_TRUE(Valid(e, "-3"));
        EXPECT_FALSE(Valid(e, "3"));
        e.SetSignMode(2, 0);
        e.SetRange(1.0, 10.0);
        EXPECT_TRUE(Valid(e, "1"));
        EXPECT_TRUE(Valid(e, "10"));
        EXPECT_FALSE(Valid(e, "10.0001"));
        EXPECT_FALSE(Valid(e, " 0.99"));
        EXPECT_FALSE(Valid(e, "5cm"));
        EXPECT_TRUE(Valid(e, "5"));
        EXPECT_DOUBLE_EQ(e.GetDouble(), 5.0);
        float lo = 0, hi = 0;
        e.GetRangeFloat(lo, hi);
        EXPECT_EQ(lo, 1.0f);
        EXPECT_EQ(hi, 10.0f);
        u.Cancel();
    });
    EXPECT_EQ(Messages(), 0u);
}

TEST_F(AdvControlsTest, numeric_key_filter_drops_minus_and_point_unless_allowed_or_ctrl_held) {
    ControlsDialog d;
    std::string typed[4];
    Run(d, [&](zcui::DialogUser& u) {
        d.num.SetRange(0.0, 100.0);
        u.Type(1001, "-1.5x");
        typed[0] = u.Text(1001);
        d.num.SetWindowText("");
        d.num.SetRange(-10.0, 100.0);
        d.num.SetDecimals(2);
        u.Type(1001, "-1.5");
        typed[1] = u.Text(1001);
        d.num.SetWindowText("");
        d.num.SetDecimals(0);
        zcui::SetKeyHeld(VK_CONTROL, true);
        u.Type(1001, "2.5");
        zcui::SetKeyHeld(VK_CONTROL, false);
        typed[2] = u.Text(1001);
        d.num.SetWindowText("12");
        d.num.SetSel(2, 2);
        u.Type(1001, "\b");
        typed[3] = u.Text(1001);
        u.Cancel();
    });
    EXPECT_EQ(typed[0], "15");
    EXPECT_EQ(typed[1], "-1.5");
    EXPECT_EQ(typed[2], "2.5");
    EXPECT_EQ(typed[3], "1");
}

TEST_F(AdvControlsTest, a_typed_decimal_comma_is_kept_and_refused_not_dropped) {
    ControlsDialog d;
    std::string typed[2];
    bool holdNumbers[2] = {true, false};
    int focus = 0;
    Run(d, [&](zcui::DialogUser& u) {
        d.num.SetDecimals(2);
        u.Type(1001, "1,5");
        typed[0] = u.Text(1001);
        d.num.SetWindowText("");
        d.num.SetDecimals(0);
        u.Type(1001, "1,5");
        typed[1] = u.Text(1001);
        // Read on OK: the dialog's own check says so and holds the field.
        holdNumbers[0] = EditsHoldNumbers({&d.num});
        focus = CWnd::GetFocus()->GetDlgCtrlID();
        d.num.SetWindowText("2.5");
        holdNumbers[1] = EditsHoldNumbers({&d.num});
        u.Cancel();
    });
    EXPECT_EQ(typed[0], "1,5");
    EXPECT_EQ(typed[1], "1,5");
    EXPECT_FALSE(holdNumbers[0]);
    EXPECT_TRUE(holdNumbers[1]);
    EXPECT_EQ(focus, 1001);
    ASSERT_EQ(Messages(), 1u);
    EXPECT_EQ(zcui::MessageBoxes()[0].text, kInvalidValueMessage);
}

TEST_F(AdvControlsTest, invalid_value_holds_the_focus_on_tab_enter_and_click_elsewhere) {
    ControlsDialog d;
    int focusAfterTab = 0, focusAfterEnter = 0, focusAfterLeave = 0;
    bool openAfterEnter = false;
    size_t afterTab = 0, afterEnter = 0, afterLeave = 0;
    int result = Run(d, [&](zcui::DialogUser& u) {
        d.num.SetSignMode(0, 1);
        u.Edit(1001, "0");  // leaving the field validates
        afterLeave = Messages();
        focusAfterLeave = CWnd::GetFocus()->GetDlgCtrlID();
        u.Key(1001, VK_TAB);
        afterTab = Messages();
        focusAfterTab = CWnd::GetFocus()->GetDlgCtrlID();
        u.Key(1001, VK_RETURN);
        afterEnter = Messages();
        focusAfterEnter = CWnd::GetFocus()->GetDlgCtrlID();
        openAfterEnter = !u.Ended();
        u.Click(2);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(afterLeave, 1u);
    EXPECT_EQ(focusAfterLeave, 1001);
    EXPECT_EQ(afterTab, 2u);
    EXPECT_EQ(focusAfterTab, 1001);
    EXPECT_EQ(afterEnter, 3u);
    EXPECT_EQ(focusAfterEnter, 1001);
    EXPECT_TRUE(openAfterEnter);
    ASSERT_EQ(Messages(), 3u);  // Cancel showed nothing more
    EXPECT_EQ(zcui::MessageBoxes()[0].text, kInvalidValueMessage);
}

TEST_F(AdvControlsTest, a_text_that_is_no_number_is_let_go_on_leaving_and_said_once_where_it_is_read) {
    // Zero refused: the rules hold a number, not a text that is none (nor
    // an endless one), so the one refusal is the dialog's when it reads.
    ControlsDialog d;
    std::vector<int> focusAfterLeave, focusAfterTab;
    size_t whileLeaving = 0;
    bool held = true;
    Run(d, [&](zcui::DialogUser& u) {
        d.num.SetSignMode(0, 1);
        for (const char* text : {"inf", "abc", "12abc", "0x10"}) {
            u.Edit(1001, text);
            focusAfterLeave.push_back(CWnd::GetFocus()->GetDlgCtrlID());
            u.Key(1001, VK_TAB);
            focusAfterTab.push_back(CWnd::GetFocus()->GetDlgCtrlID());
        }
        whileLeaving = Messages();
        held = EditsHoldNumbers({&d.num});
        u.Cancel();
    });
    EXPECT_EQ(whileLeaving, 0u);
    EXPECT_EQ(focusAfterLeave, (std::vector<int>{1002, 1002, 1002, 1002}));
    EXPECT_EQ(focusAfterTab, (std::vector<int>{1002, 1002, 1002, 1002}));
    EXPECT_FALSE(held);
    EXPECT_EQ(Messages(), 1u);
}

TEST_F(AdvControlsTest, valid_enter_moves_to_the_next_control_without_closing) {
    ControlsDialog d;
    int focusNum = 0, focusInvio = 0;
    bool open = false;
    Run(d, [&](zcui::DialogUser& u) {
        u.Edit(1001, "4");
        u.Key(1001, VK_RETURN);
        focusNum = CWnd::GetFocus()->GetDlgCtrlID();
        u.Key(1030, VK_RETURN);
        focusInvio = CWnd::GetFocus()->GetDlgCtrlID();
        open = !u.Ended();
        u.Cancel();
    });
    EXPECT_TRUE(open);
    EXPECT_EQ(focusNum, 1002);
    EXPECT_EQ(focusInvio, 1);
    EXPECT_EQ(Messages(), 0u);
}

TEST_F(AdvControlsTest, partners_follow_the_edit_enabled_state_and_missing_ids_are_skipped) {
    ControlsDialog d;
    bool partnerOff = true, otherOn = false, partnerBack = false;
    Run(d, [&](zcui::DialogUser& u) {
        d.partnered.m_idPartner1 = 1002;
        d.partnered.m_idPartner2 = 4711;  // no such control
        d.partnered.EnableWindow(FALSE);
        partnerOff = !d.GetDlgItem(1002)->IsWindowEnabled();
        otherOn = d.GetDlgItem(1001)->IsWindowEnabled();
        d.partnered.EnableWindow(TRUE);
        partnerBack = d.GetDlgItem(1002)->IsWindowEnabled();
        u.Cancel();
    });
    EXPECT_TRUE(partnerOff);
    EXPECT_TRUE(otherOn);
    EXPECT_TRUE(partnerBack);
}

TEST_F(AdvControlsTest, colour_swatch_paints_its_colour_and_click_obeys_choose_switch) {
    ControlsDialog d;
    std::vector<DrawOp> paint;
    COLORREF afterPick = 0, afterDisabledClick = 0;
    zcui::QueueDialogScript("rgb edit 103 \"10,20,30\" ok");
    Run(d, [&](zcui::DialogUser& u) {
        d.swatch.SetColor(RGB(200, 0, 0));
        d.swatch.SetTextColor(RGB(0, 0, 255));
        d.PaintInvalidated();
        paint = d.swatch.PaintRecord();
        u.Click(1004);  // choosing on: the RGB dialog opens on the swatch colour
        afterPick = d.swatch.Color();
        d.swatch.EnableChoose(0);
        u.Click(1004);
        afterDisabledClick = d.swatch.Color();
        u.Cancel();
    });
    ASSERT_FALSE(paint.empty());
    EXPECT_EQ(paint[0].kind, DrawOp::Kind::Fill);
    EXPECT_EQ(paint[0].colour, RGB(200, 0, 0));
    EXPECT_EQ(d.swatch.TextColor(), RGB(0, 0, 255));
    EXPECT_EQ(afterPick, RGB(10, 20, 30));
    EXPECT_EQ(afterDisabledClick, RGB(10, 20, 30));
    int rgbDialogs = 0;
    for (const auto& r : zcui::DialogsShown()) rgbDialogs += r.id == zcui::kRgbDialogId;
    EXPECT_EQ(rgbDialogs, 1);
}

TEST_F(AdvControlsTest, delete_key_removes_exactly_the_selected_rows) {
    ControlsDialog d;
    std::vector<std::string> left;
    Run(d, [&](zcui::DialogUser& u) {
        for (const char* s : {"r0", "r1", "r2", "r3", "r4", "r5"}) d.list.AddString(s);
        u.Select(1020, std::vector<zcui::Row>{1, 2, 4});
        u.Key(1020, VK_DELETE);
        for (int i = 0; i < d.list.GetCount(); ++i) {
            std::string s;
            d.list.GetText(i, s);
            left.push_back(s);
        }
        u.Cancel();
    });
    EXPECT_EQ(left, (std::vector<std::string>{"r0", "r3", "r5"}));
}
