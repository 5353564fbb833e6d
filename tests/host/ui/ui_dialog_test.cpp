// Modal dialogs driven as a user would: data exchange both ways, refused
// numbers keeping the dialog open, radio groups, three-state boxes, message
// boxes, the textual driver grammar, and the host's colour dialog.
#include <gtest/gtest.h>

#include "host/ads/transcript.h"
#include "host/harness/harness.h"
#include "host/ui/hostdialogs.h"
#include "host/ui/msgbox.h"
#include "tests/host/ui/ui_fixture.h"

namespace {

class DataDialog : public CDialog {
public:
    DataDialog() : CDialog(500) {
        HandleCommand(BN_CLICKED, 1004, [this] { ++visibleClicks; });
    }
    BOOL OnInitDialog() override {
        auto* combo = static_cast<CComboBox*>(GetDlgItem(1021));
        for (const char* s : {"Tetti", "Muri", "Solai"}) combo->AddString(s);
        CDialog::OnInitDialog();
        for (const char* s : {"Tetti", "Muri", "Solai"}) list.AddString(s);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 1020, list);
        DDX_Text(dx, 1001, count);
        DDV_MinMaxInt(dx, count, 0, 100);
        DDX_Text(dx, 1002, height);
        DDX_Text(dx, 1003, name);
        DDV_MaxChars(dx, name, 8);
        DDX_Check(dx, 1004, visible);
        DDX_Check(dx, 1005, keep);
        DDX_Radio(dx, 1010, edge);
        DDX_CBString(dx, 1021, layer);
    }
    void OnOK() override {
        CDialog::OnOK();
        if (IsEnded())
            for (int i : list.GetSelectedRows()) {
                std::string s;
                list.GetText(i, s);
                chosen.push_back(s);
            }
    }
    CListBox list;
    int count = 3;
    double height = 2.5;
    std::string name = "abc";
    int visible = 1, keep = 2, edge = 1, visibleClicks = 0;
    std::string layer = "Muri";
    std::vector<std::string> chosen;
};

TEST_F(UiTest, unanswered_dialog_closes_with_ok_on_its_initial_values) {
    DataDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.count, 3);
    EXPECT_DOUBLE_EQ(dlg.height, 2.5);
    EXPECT_EQ(dlg.name, "ABC");  // the field is upper-case only
    EXPECT_EQ(dlg.visible, 1);
    EXPECT_EQ(dlg.keep, 2);
    EXPECT_EQ(dlg.edge, 1);
    EXPECT_EQ(dlg.layer, "Muri");
    ASSERT_EQ(zcui::DialogsShown().size(), 1u);
    EXPECT_EQ(zcui::DialogsShown()[0].id, 500u);
    EXPECT_EQ(zcui::DialogsShown()[0].result, IDOK);
    EXPECT_TRUE(zcui::DriverErrors().empty());
}

TEST_F(UiTest, values_entered_by_the_user_reach_the_members) {
    Queue(R"(500 edit 1001 "42" edit 1002 "12.5" edit 1003 "nowa" uncheck 1004 check 1005 1 radio 1012
             select 1020 "tetti" "Muri" select 1021 "Solai" ok)");
    DataDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.count, 42);
    EXPECT_DOUBLE_EQ(dlg.height, 12.5);
    EXPECT_EQ(dlg.name, "NOWA");
    EXPECT_EQ(dlg.visible, 0);
    EXPECT_EQ(dlg.visibleClicks, 1);
    EXPECT_EQ(dlg.keep, 1);
    EXPECT_EQ(dlg.edge, 2);
    EXPECT_EQ(dlg.layer, "Solai");
    // The list keeps its rows sorted; the chosen rows come back in list order.
    EXPECT_EQ(dlg.chosen, (std::vector<std::string>{"Muri", "Tetti"}));
    EXPECT_TRUE(zcui::DriverErrors().empty());
}

TEST_F(UiTest, check_without_a_state_before_the_next_action_checks_the_box) {
    // "ok" after the control id is the next action, not a state of 0.
    Queue(R"(500 uncheck 1004 check 1004 ok)");
    DataDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.visible, 1);
    EXPECT_TRUE(zcui::DriverErrors().empty());
}

TEST_F(UiTest, bad_number_is_refused_and_the_dialog_stays_open_on_the_field) {
    bool openAfterRefusal = false;
    int focusAfterRefusal = 0;
    zcui::InstallDialogDriver(500, [&](zcui::DialogUser& u) {
        u.Edit(1002, "12,5");
        u.Ok();
        openAfterRefusal = !u.Ended();
        focusAfterRefusal = CWnd::GetFocus() ? CWnd::GetFocus()->GetDlgCtrlID() : 0;
        u.Edit(1002, "7");
        u.Ok();
    });
    DataDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(focusAfterRefusal, 1002);
    EXPECT_DOUBLE_EQ(dlg.height, 7.0);
    ASSERT_EQ(zcui::MessageBoxes().size(), 1u);
    EXPECT_EQ(zcui::MessageBoxes()[0].text, "Wprowadź liczbę.");
}

TEST_F(UiTest, a_number_field_reads_its_whole_text_or_refuses_it) {
    // Each text that only begins with a number, or is none, is refused with
    // the platform's message; nothing is stored.
    for (const char* text : {"abc", "12abc", "1,5", " ", "--5", "0x10"}) {
        zcui::ResetUi();
        int refusals = 0;
        zcui::InstallDialogDriver(500, [&](zcui::DialogUser& u) {
            u.Edit(1001, text);
            u.Ok();
            refusals += !u.Ended();
            u.Edit(1001, "5");
            u.Edit(1002, text);
            u.Ok();
            refusals += !u.Ended();
            u.Cancel();
        });
        DataDialog dlg;
        const double height = dlg.height;
        EXPECT_EQ(dlg.DoModal(), IDCANCEL) << text;
        EXPECT_EQ(refusals, 2) << text;
        EXPECT_EQ(zcui::MessageBoxes().size(), 2u) << text;
        EXPECT_EQ(dlg.height, height) << text;
    }
}

TEST_F(UiTest, fallback_driver_answers_only_dialogs_without_their_own) {
    zcui::InstallFallbackDialogDriver([](zcui::DialogUser& u) { u.Cancel(); });
    DataDialog plain;
    EXPECT_EQ(plain.DoModal(), IDCANCEL);
    Queue(R"(500 ok)");
    DataDialog queued;
    EXPECT_EQ(queued.DoModal(), IDOK);
    zcui::InstallFallbackDialogDriver(nullptr);
    DataDialog accepted;
    EXPECT_EQ(accepted.DoModal(), IDOK);
}

TEST_F(UiTest, integer_out_of_range_names_the_range) {
    Queue(R"(500 edit 1001 "500" ok cancel)");
    DataDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(zcui::MessageBoxes().size(), 1u);
    EXPECT_EQ(zcui::MessageBoxes()[0].text, "Wprowadź liczbę całkowitą z przedziału od 0 do 100.");
}

TEST_F(UiTest, text_longer_than_the_limit_is_cut_by_the_field) {
    Queue(R"(500 edit 1003 "ąbcdefghij" ok)");
    DataDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.name, "ĄBCDEFGH");  // eight characters, not eight bytes
    EXPECT_TRUE(zcui::MessageBoxes().empty());
}

TEST_F(UiTest, driver_leaving_a_refused_dialog_open_cancels_it) {
    Queue(R"(500 edit 1001 "x")");
    DataDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.count, 3);
    ASSERT_FALSE(zcui::DriverErrors().empty());
    EXPECT_NE(zcui::DriverErrors().back().find("still open after OK"), std::string::npos);
}

TEST_F(UiTest, radio_group_checks_one_button_and_none_reads_minus_one) {
    std::vector<int> states;
    zcui::InstallDialogDriver(500, [&](zcui::DialogUser& u) {
        for (int id : {1010, 1011, 1012}) states.push_back(u.Checked(id));
        u.Radio(1011);
        for (int id : {1010, 1011, 1012}) states.push_back(u.Checked(id));
        u.Ok();
    });
    DataDialog dlg;
    dlg.edge = -1;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(states, (std::vector<int>{0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(dlg.edge, 1);

    zcui::RemoveDialogDriver(500);
    DataDialog untouched;
    untouched.edge = -1;
    untouched.DoModal();
    EXPECT_EQ(untouched.edge, -1);
}

TEST_F(UiTest, three_state_box_cycles_through_indeterminate) {
    std::vector<int> states;
    zcui::InstallDialogDriver(500, [&](zcui::DialogUser& u) {
        states.push_back(u.Checked(1005));
        for (int i = 0; i < 3; ++i) {
            u.Click(1005);
            states.push_back(u.Checked(1005));
        }
        u.Check(1005, 2);
        u.Ok();
    });
    DataDialog dlg;
    dlg.DoModal();
    EXPECT_EQ(states, (std::vector<int>{2, 0, 1, 2}));
    EXPECT_EQ(dlg.keep, 2);
}

// An edit that holds the focus until its text is a number, except when the
// focus goes to Cancel or leaves the dialog.
class NumberEdit : public CEdit {
public:
    void OnKillFocus(CWnd* next) override {
        CEdit::OnKillFocus(next);
        if (!next || next->GetParent() != GetParent() || next->GetDlgCtrlID() == IDCANCEL) return;
        char* end = nullptr;
        std::string t = GetWindowText();
        std::strtod(t.c_str(), &end);
        if (t.empty() || *end != '\0') {
            AfxMessageBox("\nPodana wartość jest nieprawidłowa");
            SetFocus();
        }
    }
};

class NumberDialog : public CDialog {
public:
    NumberDialog() : CDialog(500) {
        HandleCommand(EN_KILLFOCUS, 1001, [this] { ++killFocus; });
    }
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 1001, edit); }
    NumberEdit edit;
    int killFocus = 0;
};

TEST_F(UiTest, an_edit_can_take_the_focus_back_when_left_with_a_bad_value) {
    int focusAfterLeaving = 0;
    zcui::InstallDialogDriver(500, [&](zcui::DialogUser& u) {
        u.Edit(1001, "abc");
        focusAfterLeaving = CWnd::GetFocus()->GetDlgCtrlID();
        u.Cancel();
    });
    NumberDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(focusAfterLeaving, 1001);
    EXPECT_EQ(dlg.killFocus, 1);  // the parent heard of the focus loss first
    EXPECT_EQ(zcui::MessageBoxes().size(), 1u);
}

TEST_F(UiTest, enter_presses_the_default_button_and_escape_cancels) {
    Queue(R"(500 key 1001 escape)");
    DataDialog a;
    EXPECT_EQ(a.DoModal(), IDCANCEL);
    Queue(R"(500 edit 1001 "9" key 1001 enter)");
    DataDialog b;
    EXPECT_EQ(b.DoModal(), IDOK);
    EXPECT_EQ(b.count, 9);
}

TEST_F(UiTest, bad_script_lines_are_refused_whole) {
    struct Bad {
        const char* line;
        const char* why;
    } bad[] = {
        {R"(500 edit 1001)", "quoted text"},
        {R"(500 edit 1001 "9" frobnicate 3)", "unknown action 'frobnicate'"},
        {R"(abc ok)", "not a dialog id"},
        {R"(500 check 1004 5)", "0, 1 or 2"},
        {R"(500 edit 1001 "9)", "not closed"},
        {R"(500 select 1020)", "needs a row"},
        {R"(500 key 1001 hyperspace)", "unknown key"},
        {R"(500 label 1040 "x")", "new \"text\" or cancel"},
    };
    for (const Bad& b : bad) {
        std::string error;
        EXPECT_FALSE(zcui::QueueDialogScript(b.line, &error)) << b.line;
        EXPECT_NE(error.find(b.why), std::string::npos) << b.line << " -> " << error;
    }
    // Nothing of the bad lines was queued: the dialog gets the default answer.
    DataDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.count, 3);
}

TEST_F(UiTest, script_answers_only_the_dialog_it_names_once) {
    Queue(R"(501 cancel)");
    Queue(R"(500 edit 1001 "5" ok)");
    DataDialog first, second;
    first.DoModal();
    second.DoModal();
    EXPECT_EQ(first.count, 5);
    EXPECT_EQ(second.count, 3);
}

TEST_F(UiTest, failing_action_cancels_and_later_actions_are_reported) {
    Queue(R"(500 edit 1001 "5" click 1999 ok)");
    DataDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.count, 3);
    ASSERT_EQ(zcui::DriverErrors().size(), 1u);
    EXPECT_NE(zcui::DriverErrors()[0].find("no control 1999"), std::string::npos);

    Queue(R"(500 ok edit 1001 "6")");
    DataDialog again;
    EXPECT_EQ(again.DoModal(), IDOK);
    EXPECT_EQ(again.count, 3);
    EXPECT_NE(zcui::DriverErrors().back().find("after the dialog closed"), std::string::npos);
}

TEST_F(UiTest, disabled_and_hidden_controls_cannot_be_used) {
    zcui::InstallDialogDriver(500, [](zcui::DialogUser& u) {
        u.Dialog().GetDlgItem(1001)->EnableWindow(FALSE);
        EXPECT_FALSE(u.Edit(1001, "8"));
        EXPECT_FALSE(u.Edit(1002, "1"));  // after a failure nothing more happens
    });
    DataDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.count, 3);
    EXPECT_NE(zcui::DriverErrors()[0].find("disabled"), std::string::npos);
}

TEST_F(UiTest, message_boxes_take_the_default_button_unless_answered) {
    EXPECT_EQ(AfxMessageBox("a", MB_OK), IDOK);
    EXPECT_EQ(AfxMessageBox("b", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(AfxMessageBox("c", MB_YESNOCANCEL), IDYES);
    ASSERT_TRUE(zcui::QueueMessageBoxAnswer("yes"));
    EXPECT_EQ(AfxMessageBox("d", MB_YESNO | MB_DEFBUTTON2), IDYES);
    ASSERT_TRUE(zcui::QueueMessageBoxAnswer("retry"));
    EXPECT_EQ(AfxMessageBox("e", MB_OKCANCEL), IDOK);  // an answer the box lacks: the default
    EXPECT_EQ(zcui::DriverErrors().size(), 1u);
    std::string error;
    EXPECT_FALSE(zcui::QueueMessageBoxAnswer("perhaps", &error));
    EXPECT_FALSE(error.empty());

    EXPECT_EQ(AfxMessageBox(700u, MB_YESNO), IDYES);
    EXPECT_EQ(zcedAlert("Uwaga"), RTNORM);
    const auto& boxes = zcui::MessageBoxes();
    ASSERT_EQ(boxes.size(), 7u);
    EXPECT_EQ(boxes[1].type, static_cast<UINT>(MB_YESNO | MB_DEFBUTTON2));
    EXPECT_EQ(boxes[3].answer, IDYES);
    EXPECT_EQ(boxes[5].text, "Zapisać zmiany?");
    EXPECT_EQ(boxes[6].text, "Uwaga");
}

TEST_F(UiTest, colour_dialog_offers_bylayer_and_byblock_only_when_asked) {
    int colour = 5;
    EXPECT_TRUE(zcedSetColorDialog(colour, false, 1));
    EXPECT_EQ(colour, 5);

    ASSERT_TRUE(zcui::QueueDialogScript(R"(color edit 100 "256" ok cancel)"));
    EXPECT_FALSE(zcedSetColorDialog(colour, false, 1));
    EXPECT_EQ(colour, 5);
    EXPECT_EQ(zcui::MessageBoxes().back().text, "Wprowadź numer koloru od 1 do 255.");

    ASSERT_TRUE(zcui::QueueDialogScript(R"(color click 101 ok)"));
    EXPECT_FALSE(zcedSetColorDialog(colour, false, 1));  // the button is not there
    EXPECT_EQ(colour, 5);

    ASSERT_TRUE(zcui::QueueDialogScript(R"(color click 101 ok)"));
    EXPECT_TRUE(zcedSetColorDialog(colour, true, 1));
    EXPECT_EQ(colour, 256);
    ASSERT_TRUE(zcui::QueueDialogScript(R"(color click 102 ok)"));
    EXPECT_TRUE(zcedSetColorDialog(colour, true, 1));
    EXPECT_EQ(colour, 0);
    ASSERT_TRUE(zcui::QueueDialogScript(R"(color edit 100 "DoWarstwy" ok)"));
    EXPECT_TRUE(zcedSetColorDialog(colour, true, 1));
    EXPECT_EQ(colour, 256);

    ZcUiTrueColor tc;
    ASSERT_TRUE(zcui::QueueDialogScript(R"(truecolor edit 103 "10, 20,30" ok)"));
    EXPECT_TRUE(zcedSetColorDialogTrueColor(tc, true, ZcUiTrueColor{}));
    EXPECT_TRUE(tc.isTrueColor);
    EXPECT_EQ(tc.rgb, RGB(10, 20, 30));

    // Beside a true colour, a colour number that is no number is refused,
    // not passed over; the colour stays as it was.
    const std::size_t boxes = zcui::MessageBoxes().size();
    ASSERT_TRUE(zcui::QueueDialogScript(R"(truecolor edit 100 "abc" ok cancel)"));
    EXPECT_FALSE(zcedSetColorDialogTrueColor(tc, true, ZcUiTrueColor{}));
    EXPECT_EQ(tc.rgb, RGB(10, 20, 30));
    ASSERT_EQ(zcui::MessageBoxes().size(), boxes + 1);
    EXPECT_EQ(zcui::MessageBoxes().back().text, "Wprowadź numer koloru od 0 do 256, DoWarstwy lub DoBloku.");
}

TEST_F(UiTest, colour_number_of_blanks_beside_a_true_colour_is_refused_and_the_dialog_stays_open) {
    ZcUiTrueColor tc;
    tc.isTrueColor = true;
    tc.rgb = RGB(10, 20, 30);
    bool openAfterOk = false;
    zcui::InstallDialogDriver(zcui::kTrueColorDialogId, [&](zcui::DialogUser& u) {
        u.Edit(103, "40,50,60");
        u.Edit(100, " ");
        u.Ok();
        openAfterOk = !u.Ended();
        u.Cancel();
    });
    EXPECT_FALSE(zcedSetColorDialogTrueColor(tc, true, ZcUiTrueColor{}));
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(tc.rgb, RGB(10, 20, 30));
    ASSERT_EQ(zcui::MessageBoxes().size(), 1u);
    EXPECT_EQ(zcui::MessageBoxes()[0].text, "Wprowadź numer koloru od 0 do 256, DoWarstwy lub DoBloku.");

    // Opened on a true colour and confirmed at once: the empty colour
    // number is no entry, the colour is kept.
    zcui::RemoveDialogDriver(zcui::kTrueColorDialogId);
    EXPECT_TRUE(zcedSetColorDialogTrueColor(tc, true, ZcUiTrueColor{}));
    EXPECT_TRUE(tc.isTrueColor);
    EXPECT_EQ(tc.rgb, RGB(10, 20, 30));
    EXPECT_EQ(zcui::MessageBoxes().size(), 1u);
}

TEST_F(UiTest, colour_indexes_map_to_the_usual_screen_colours) {
    EXPECT_EQ(zcedGetRGB(1), RGB(255, 0, 0));
    EXPECT_EQ(zcedGetRGB(7), RGB(255, 255, 255));
    EXPECT_EQ(zcedGetRGB(10), RGB(255, 0, 0));
    EXPECT_EQ(zcedGetRGB(11), RGB(255, 127, 127));
    EXPECT_EQ(zcedGetRGB(20), RGB(255, 63, 0));
    // COLORREF keeps red in the low byte.
    EXPECT_EQ(GetRValue(zcedGetRGB(30)), 255);
    EXPECT_EQ(GetBValue(zcedGetRGB(30)), 0);
    EXPECT_EQ(zcedGetRGB(0), RGB(0, 0, 0));
    EXPECT_EQ(zcedGetRGB(256), RGB(0, 0, 0));
}

}  // namespace

TEST_F(UiTest, every_box_prints_its_text_and_answer_and_unused_answers_are_told) {
    ASSERT_TRUE(zcui::QueueMessageBoxAnswer("no"));
    EXPECT_EQ(AfxMessageBox("Usunąć piętro?", MB_YESNO), IDNO);
    EXPECT_EQ(zcedAlert("Ostrzeżenie: aktualna podłoga"), RTNORM);
    const std::string& text = host::transcript().text();
    EXPECT_NE(text.find("\n[velmhost] Usunąć piętro? <Nie>"), std::string::npos) << text;
    EXPECT_NE(text.find("\n[velmhost] Ostrzeżenie: aktualna podłoga <OK>"), std::string::npos) << text;
    EXPECT_NE(host::transcript().lastMessage().find("aktualna podłoga"), std::string::npos);
    // Answers for a box and a dialog that never showed are what a script
    // that passed by mistake would leave: each is told and counted.
    EXPECT_EQ(host::reportUnusedAnswers(), 0);
    ASSERT_TRUE(zcui::QueueMessageBoxAnswer("yes"));
    ASSERT_TRUE(zcui::RunDialogScript("4711 ok"));
    EXPECT_EQ(zcui::UnusedAnswers(), (std::vector<std::string>{"!dialog 4711", "!msgbox yes"}));
    EXPECT_EQ(host::reportUnusedAnswers(), 2);
    EXPECT_NE(host::transcript().text().find("Nieużyta odpowiedź: !dialog 4711"), std::string::npos);
}
