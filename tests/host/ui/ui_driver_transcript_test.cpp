// What a script's reader learns of the dialogs a command opens: each
// opening and its end on the transcript, Enter on a dialog without OK
// pressing the button the template marks, a failed answer shown and
// counted, and the listing of a template's controls for "!dialog" lines.
#include <gtest/gtest.h>

#include "host/ads/transcript.h"
#include "host/ui/driver.h"
#include "tests/host/ui/ui_fixture.h"

namespace {

// An options dialog with no OK button: each outline button accepts it with
// its mode; the OK command (Enter without a default button) leaves the
// mode unchosen.
constexpr const char* kOutlineDialog = R"(
dialog 540 "Opcje &płyty" 200 100
  ltext -1 "Grubość:" 7 9 40 8
  edittext 103 "" 50 7 60 12
  checkbox 1023 "Utwórz kreskowanie" 7 25 90 10
  defpushbutton 4 "&Punkty" 140 7 50 14
  pushbutton 3 "Zewnętrzny" 140 25 50 14
  pushbutton 2 "Anuluj" 140 80 50 14
end
dialog 541 "Bez domyślnego" 200 100
  pushbutton 4 "&Punkty" 140 7 50 14
  pushbutton 2 "Anuluj" 140 80 50 14
end
)";

class OutlineDialog : public CDialog {
public:
    explicit OutlineDialog(UINT id = 540) : CDialog(id) {
        HandleCommand(BN_CLICKED, 4, [this] { Choose(0); });
        HandleCommand(BN_CLICKED, 3, [this] { Choose(1); });
    }
    void Choose(int m) {
        mode = m;
        OnOK();
    }
    int mode = 3;
};

class DriverTranscriptTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        outline_.Register("outline-test", "outline.txt", kOutlineDialog);
    }
    void TearDown() override {
        outline_.Drop();
        UiTest::TearDown();
    }
    static bool Shows(const std::string& text) {
        return host::transcript().text().find(text) != std::string::npos;
    }
    TestTemplates outline_;
};

TEST_F(DriverTranscriptTest, unanswered_dialog_without_ok_takes_its_default_button) {
    OutlineDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.mode, 0);
    EXPECT_TRUE(Shows("\n[okno 540] Opcje płyty")) << host::transcript().text();
    EXPECT_TRUE(Shows("\n[okno 540] bez odpowiedzi, Enter: \"Punkty\" => OK")) << host::transcript().text();
    EXPECT_TRUE(zcui::DriverErrors().empty());
}

TEST_F(DriverTranscriptTest, enter_without_a_marked_button_is_the_ok_command) {
    OutlineDialog dlg(541);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.mode, 3);
    EXPECT_TRUE(Shows("\n[okno 541] bez odpowiedzi, Enter: OK => OK")) << host::transcript().text();
}

TEST_F(DriverTranscriptTest, script_answer_and_result_are_shown_once_each) {
    Queue(R"(540 edit 103 "25" click 3)");
    OutlineDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.mode, 1);
    EXPECT_TRUE(Shows("\n[okno 540] odpowiedź: edit 103 \"25\" click 3 => OK")) << host::transcript().text();
    Queue("540 cancel");
    OutlineDialog second;
    EXPECT_EQ(second.DoModal(), IDCANCEL);
    EXPECT_TRUE(Shows("\n[okno 540] odpowiedź: cancel => Anuluj")) << host::transcript().text();
    EXPECT_EQ(zcui::FailedAnswers(), 0);
}

TEST_F(DriverTranscriptTest, failed_action_is_shown_with_its_dialog_and_counted) {
    Queue(R"(540 check 1023 click 77 click 4)");
    OutlineDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.mode, 3);
    EXPECT_TRUE(Shows("\n[okno 540] nie wykonano: click 77 (no control 77)")) << host::transcript().text();
    EXPECT_EQ(host::transcript().lastMessage(), "[okno 540] nie wykonano: click 77 (no control 77)");
    EXPECT_EQ(zcui::FailedAnswers(), 1);

    // A test's own driver failing is the test's business, not a script's.
    zcui::InstallDialogDriver(540, [](zcui::DialogUser& u) { u.Click(78); });
    OutlineDialog again;
    EXPECT_EQ(again.DoModal(), IDCANCEL);
    EXPECT_EQ(zcui::FailedAnswers(), 1);
}

TEST_F(DriverTranscriptTest, listing_gives_each_control_as_a_script_answers_it) {
    const DialogTemplate* outline = FindDialogTemplate(540);
    ASSERT_NE(outline, nullptr);
    EXPECT_EQ(zcui::DescribeDialogTemplate(*outline),
              "540 \"Opcje płyty\"\n"
              "  103    edit         \"Grubość:\"\n"
              "  1023   check        \"Utwórz kreskowanie\"  0\n"
              "  4      click        \"Punkty\"  Enter\n"
              "  3      click        \"Zewnętrzny\"\n"
              "  2      click        \"Anuluj\"  Escape\n");
    const DialogTemplate* bare = FindDialogTemplate(541);
    ASSERT_NE(bare, nullptr);
    EXPECT_NE(zcui::DescribeDialogTemplate(*bare).find("Enter: OK (okno nie ma przycisku OK)"),
              std::string::npos);
}

}  // namespace
