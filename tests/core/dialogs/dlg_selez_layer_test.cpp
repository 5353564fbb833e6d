// The wall-layer pick dialog on a drawing's wall layers.
#include "core/dialogs/dlg_wall_layers.h"
#include "host/ui/driver.h"
#include "resources/velmresources.h"
#include "store/setup_slots.h"
#include "tests/store/store_fixture.h"

namespace {

class SelezLayerTest : public DrawingStore {
protected:
    void SetUp() override {
        DrawingStore::SetUp();
        zcui::ResetUi();
        AfxSetResourceHandle(VelmResourceHandle());
        VELM_LAYERMURI* w = OpenLayerMuriObject();
        ASSERT_NE(w, nullptr);
        w->entries = {"2DWALLS", "2DMURY", "INNE"};
        w->close();
        static const int slot = SetupVar::ULAYERMURO;
        SetVarString(&slot, "2DMURY");
    }
    void TearDown() override {
        AfxSetResourceHandle(nullptr);
        zcui::ResetUi();
        DrawingStore::TearDown();
    }
};

}  // namespace

TEST_F(SelezLayerTest, current_wall_layer_is_preselected_and_a_pick_closes) {
    CDlgSelezLayer dlg;
    std::string preselected;
    zcui::InstallDialogDriver(IDD_SELEZLAYER, [&](zcui::DialogUser& u) {
        CListBox* l = u.Get<CListBox>(1452);
        l->GetText(l->GetCurSel(), preselected);
        u.Select(1452, std::string("INNE"));
        EXPECT_TRUE(u.Ended());
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(preselected, "2DMURY");
    EXPECT_EQ(dlg.m_chosenLayer, "INNE");
}

TEST_F(SelezLayerTest, three_d_names_replace_the_2d_prefix_and_nothing_is_preselected) {
    CDlgSelezLayer dlg;
    dlg.m_use2DNames = 0;
    std::vector<std::string> rows;
    int sel = 0;
    zcui::InstallDialogDriver(IDD_SELEZLAYER, [&](zcui::DialogUser& u) {
        CListBox* l = u.Get<CListBox>(1452);
        sel = l->GetCurSel();
        for (int i = 0; i < l->GetCount(); ++i) {
            std::string s;
            l->GetText(i, s);
            rows.push_back(s);
        }
        u.Select(1452, std::string("3DWALLS"));
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(sel, LB_ERR);
    EXPECT_EQ(rows, (std::vector<std::string>{"3DINNE", "3DMURY", "3DWALLS"}));
    EXPECT_EQ(dlg.m_chosenLayer, "3DWALLS");
}
