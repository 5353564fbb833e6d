// The lighting deduction dialog: the marker in any letter case and texts
// that are one number pass, other texts (one that only begins with a
// number too) are refused with the dialog kept open.
#include "rooms/dialogs/dlg_det_luce.h"

#include <string>

#include "host/ui/driver.h"
#include "host/ui/resources.h"
#include "resources/velmresources.h"
#include "tests/rooms/rooms_fixture.h"

namespace {

class DlgDetLuceTest : public RoomsTest {
protected:
    // Runs the dialog on "10" and "20" with the two texts typed and OK
    // pressed; the result, and whether it was still open after OK.
    INT_PTR Answer(const std::string& top, const std::string& floor, bool& stayed) {
        zcui::InstallDialogDriver(IDD_DET_LUCE, [&](zcui::DialogUser& u) {
            EXPECT_EQ(u.Text(1025), "10");
            u.Edit(1025, top);
            u.Edit(1026, floor);
            u.Click(1106);
            stayed = !u.Ended();
            if (stayed) u.Cancel();
        });
        CZcModuleResourceOverride use(VelmResourceHandle());
        dialog.SetValues("10", "20");
        const INT_PTR result = dialog.DoModal();
        zcui::RemoveDialogDriver(IDD_DET_LUCE);
        return result;
    }
    static int Refusals() {
        int n = 0;
        for (const auto& box : zcui::MessageBoxes()) n += box.text == "Można podać tylko wartości liczbowe";
        return n;
    }
    CDlgDetLuce dialog;
};

TEST_F(DlgDetLuceTest, marker_in_any_case_and_whole_numbers_pass) {
    bool stayed = true;
    ASSERT_EQ(Answer("*różne*", " 12.5 ", stayed), IDOK);
    EXPECT_FALSE(stayed);
    std::string top, floor;
    dialog.GetValues(top, floor);
    EXPECT_EQ(top, "*różne*");
    EXPECT_EQ(floor, " 12.5 ");
    EXPECT_EQ(Refusals(), 0);
}

TEST_F(DlgDetLuceTest, a_text_without_a_number_keeps_the_dialog_open) {
    const std::pair<std::string, std::string> cases[] = {
        {"abc", "1"}, {"1", "RÓŻNE"}, {"12abc", "1"}, {"1", "1,5"}, {" ", "1"}, {"1", "--5"}, {"0x10", "1"}};
    for (const auto& [top, floor] : cases) {
        bool stayed = false;
        EXPECT_EQ(Answer(top, floor, stayed), IDCANCEL);
        EXPECT_TRUE(stayed) << top << " " << floor;
        std::string t, f;
        dialog.GetValues(t, f);
        EXPECT_EQ(t, "10");  // the values given stay
        EXPECT_EQ(f, "20");
    }
    EXPECT_EQ(Refusals(), 7);
}

}  // namespace
