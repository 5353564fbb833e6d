// The layer-generation groups dialog on a drawing's settings.
#include "settings/dialogs/dlg_gengruppi.h"

#include "host/ui/driver.h"
#include "resources/velmresources.h"
#include "tests/settings/drawing_fixture.h"

namespace {

class GenGruppiTest : public DrawingSettings {
protected:
    void SetUp() override {
        DrawingSettings::SetUp();
        zcui::ResetUi();
        AfxSetResourceHandle(VelmResourceHandle());
        VELM_GENGRUPPO* g = OpenGenGruppoObject();
        ASSERT_NE(g, nullptr);
        g->generating = {"MURY*"};
        g->nonGenerating = {"TMP*"};
        g->close();
    }
    void TearDown() override {
        AfxSetResourceHandle(nullptr);
        zcui::ResetUi();
        DrawingSettings::TearDown();
    }
    static VELM_GENGRUPPO Stored() {
        VELM_GENGRUPPO* g = OpenGenGruppoObject();
        VELM_GENGRUPPO copy(*g);
        g->close();
        return copy;
    }
};

}  // namespace

TEST_F(GenGruppiTest, patterns_added_twice_are_stored_once_and_case_variants_both) {
    CDlgGenGruppi dlg;
    zcui::InstallDialogDriver(IDD_GENGRUPPI, [&](zcui::DialogUser& u) {
        u.Edit(101, "okna*");
        u.Click(3);
        u.Click(3);
        u.Edit(101, "OKNA*");
        u.Click(3);
        u.Edit(102, "");
        u.Click(5);  // empty: ignored
        u.Select(1034, std::string("TMP*"));
        u.Key(1034, VK_DELETE);
        EXPECT_EQ(u.Get<CListBox>(1033)->GetCount(), 4);
        u.Ok();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    VELM_GENGRUPPO g = Stored();
    EXPECT_EQ(g.generating.size(), 3u);
    EXPECT_NE(std::find(g.generating.begin(), g.generating.end(), "okna*"), g.generating.end());
    EXPECT_NE(std::find(g.generating.begin(), g.generating.end(), "OKNA*"), g.generating.end());
    EXPECT_TRUE(g.nonGenerating.empty());
    EXPECT_EQ(dlg.m_regenerate, 0);
}

TEST_F(GenGruppiTest, regenerate_saves_and_cancel_changes_nothing) {
    CDlgGenGruppi regen;
    zcui::InstallDialogDriver(IDD_GENGRUPPI, [&](zcui::DialogUser& u) {
        u.Edit(102, "X*");
        u.Click(5);
        u.Click(1085);
    });
    ASSERT_EQ(regen.DoModal(), IDOK);
    EXPECT_EQ(regen.m_regenerate, 1);
    EXPECT_EQ(Stored().nonGenerating, (std::vector<std::string>{"TMP*", "X*"}));

    CDlgGenGruppi cancelled;
    zcui::InstallDialogDriver(IDD_GENGRUPPI, [&](zcui::DialogUser& u) {
        u.Edit(101, "NEW*");
        u.Click(3);
        u.Cancel();
    });
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.m_regenerate, 0);
    EXPECT_EQ(Stored().generating, (std::vector<std::string>{"MURY*"}));
}
