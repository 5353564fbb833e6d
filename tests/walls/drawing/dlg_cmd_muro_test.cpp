// The 2D wall options dialog driven as a user would.
#include "walls/drawing/dlg_cmd_muro.h"

#include "store/setup_slots.h"
#include "tests/walls/wall_types_fixture.h"

namespace {

const int kAlignSlot = SetupVar::ALLINMURO;
const int kTypeSlot = SetupVar::ULTIMOTMURO;
const int kLayerSlot = SetupVar::ULAYERMURO;
const int kStartSlot = SetupVar::MDPLINESTART;
const int kEndSlot = SetupVar::MDPLINEEND;

std::vector<std::string> Rows(const CListBox* list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list->GetCount(); ++i) {
        std::string s;
        list->GetText(i, s);
        rows.push_back(s);
    }
    return rows;
}

class WallOptions : public WallTypesTest {
protected:
    void SetUp() override {
        WallTypesTest::SetUp();
        VELM_SPESSMURI* h = OpenSpessMuriObject();
        ASSERT_NE(h, nullptr);
        h->thicknesses = {30.0, 10.0, 15.0, 20.0, 40.0};
        h->close();
    }
    static std::array<double, 5> history() {
        VELM_SPESSMURI* h = OpenSpessMuriObject();
        std::array<double, 5> t = h->thicknesses;
        h->close();
        return t;
    }
    static double real(int slot) {
        double v = -1;
        GetVarReal(&slot, &v);
        return v;
    }
};

}  // namespace

TEST_F(WallOptions, end_thickness_in_history_swaps_with_the_first_and_a_new_one_shifts) {
    zcui::InstallDialogDriver(IDD_CMDMURO, [](zcui::DialogUser& u) {
        u.Edit(1066, "20");
        u.Edit(1067, "15");
        u.Click(1073);
    });
    ASSERT_EQ(ShowWallOptionsDialog(), 1);
    EXPECT_EQ(history(), (std::array<double, 5>{15.0, 10.0, 30.0, 20.0, 40.0}));
    EXPECT_EQ(real(kStartSlot), 20.0);
    EXPECT_EQ(real(kEndSlot), 15.0);

    zcui::InstallDialogDriver(IDD_CMDMURO, [](zcui::DialogUser& u) {
        u.Edit(1067, "25");
        u.Click(1072);
    });
    ASSERT_EQ(ShowWallOptionsDialog(), 1);
    EXPECT_EQ(history(), (std::array<double, 5>{25.0, 15.0, 10.0, 30.0, 20.0}));
}

TEST_F(WallOptions, start_thickness_is_copied_to_the_end_when_left_and_history_is_offered) {
    std::string end;
    std::vector<std::string> offered;
    zcui::InstallDialogDriver(IDD_CMDMURO, [&](zcui::DialogUser& u) {
        CComboBox* c = u.Get<CComboBox>(1067);
        for (int i = 0; i < c->GetCount(); ++i) {
            std::string s;
            c->GetLBText(i, s);
            offered.push_back(s);
        }
        u.Edit(1066, "12.5");
        end = u.Text(1067);
        u.Cancel();
    });
    EXPECT_EQ(ShowWallOptionsDialog(), 0);
    EXPECT_EQ(end, "12.5");
    ASSERT_EQ(offered.size(), 5u);
    EXPECT_EQ(std::stod(offered[0]), 30.0);
    EXPECT_EQ(std::stod(offered[4]), 40.0);
    EXPECT_EQ(history()[0], 30.0);
}

TEST_F(WallOptions, thicknesses_of_no_wall_are_refused_and_nothing_is_stored) {
    for (const char* thickness : {"0", "-30", "1e308", "2e10"}) {
        SCOPED_TRACE(thickness);
        bool openAfterRefusal = false;
        zcui::InstallDialogDriver(IDD_CMDMURO, [&](zcui::DialogUser& u) {
            u.Edit(1066, thickness);
            u.Click(1073);
            openAfterRefusal = !u.Ended();
            u.Cancel();
        });
        const std::size_t boxes = zcui::MessageBoxes().size();
        EXPECT_EQ(ShowWallOptionsDialog(), 0);
        EXPECT_TRUE(openAfterRefusal);
        ASSERT_GT(zcui::MessageBoxes().size(), boxes);
        EXPECT_EQ(zcui::MessageBoxes().back().text, "Wartość poza zakresem.");
        EXPECT_EQ(history(), (std::array<double, 5>{30.0, 10.0, 15.0, 20.0, 40.0}));
    }
}

TEST_F(WallOptions, each_alignment_button_accepts_with_its_alignment_and_shows_its_bitmap_pair) {
    const int buttons[3] = {1072, 1073, 1074};
    const UINT pairs[3][2] = {{154, 155}, {153, 156}, {151, 157}};
    for (int a = 0; a < 3; ++a) {
        UINT up = 0, down = 0;
        bool loaded = false;
        zcui::InstallDialogDriver(IDD_CMDMURO, [&](zcui::DialogUser& u) {
            CBitmapButton* b = u.Get<CBitmapButton>(buttons[a]);
            ASSERT_NE(b, nullptr);
            up = b->UpBitmapId(), down = b->DownBitmapId();
            loaded = b->GetBitmap() && b->DownBitmap();
            u.Click(buttons[a]);
        });
        ASSERT_EQ(ShowWallOptionsDialog(), 1);
        int alignment = -1;
        GetVarInt(&kAlignSlot, &alignment);
        EXPECT_EQ(alignment, a);
        EXPECT_EQ(up, pairs[a][0]);
        EXPECT_EQ(down, pairs[a][1]);
        EXPECT_TRUE(loaded);
    }
}

TEST_F(WallOptions, without_files_only_the_general_type_after_the_message) {
    std::vector<std::string> types;
    zcui::InstallDialogDriver(IDD_CMDMURO, [&](zcui::DialogUser& u) {
        types = Rows(u.Get<CListBox>(1001));
        u.Cancel();
    });
    EXPECT_EQ(ShowWallOptionsDialog(), 0);
    EXPECT_EQ(types, (std::vector<std::string>{"Ściana ogólna"}));
    EXPECT_EQ(messageBoxes(), (std::vector<std::string>{"Nie znaleziono żadnego pliku MXT"}));
}

TEST_F(WallOptions, types_and_layers_offered_and_chosen_type_brings_its_layer) {
    data.write("A.mxt", "Ściana A\nA\n1\n0\n2DWALL\n");
    data.write("B.mxt", "Ściana B\nB\n1\n0\n2dwalls\n");
    VELM_LAYERMURI* w = OpenLayerMuriObject();
    w->entries = {"2DWALLS", "2DMURY"};
    w->close();
    SetVarString(&kTypeSlot, "Ściana B");
    std::vector<std::string> types, layers;
    std::string preselectedLayer, layerAfterA;
    zcui::InstallDialogDriver(IDD_CMDMURO, [&](zcui::DialogUser& u) {
        types = Rows(u.Get<CListBox>(1001));
        CListBox* l = u.Get<CListBox>(1051);
        layers = Rows(l);
        EXPECT_EQ(u.Get<CListBox>(1001)->GetCurSel(), 2);
        u.Select(1001, std::string("Ściana A"));
        l->GetText(l->GetCurSel(), layerAfterA);
        u.Click(1074);
    });
    ASSERT_EQ(ShowWallOptionsDialog(), 1);
    EXPECT_EQ(types, (std::vector<std::string>{"Ściana ogólna", "Ściana A", "Ściana B"}));
    // "2DWALL" is offered beside "2DWALLS"; "2dwalls" and the wall layers'
    // "2DWALLS" are one layer.
    EXPECT_EQ(layers, (std::vector<std::string>{"2DMURY", "2DWALL", "2DWALLS"}));
    EXPECT_EQ(layerAfterA, "2DWALL");
    std::string type, layer;
    GetVarString(&kTypeSlot, type);
    GetVarString(&kLayerSlot, layer);
    EXPECT_EQ(type, "Ściana A");
    EXPECT_EQ(layer, "2DWALL");
}

TEST_F(WallOptions, a_thickness_that_is_not_a_number_keeps_the_dialog_open) {
    bool ended = true;
    zcui::InstallDialogDriver(IDD_CMDMURO, [&](zcui::DialogUser& u) {
        u.Edit(1066, "gruba");
        u.Edit(1067, "gruba");
        u.Click(1072);
        ended = u.Ended();
        u.Cancel();
    });
    EXPECT_EQ(ShowWallOptionsDialog(), 0);
    EXPECT_FALSE(ended);
    EXPECT_EQ(messageBoxes(),
              (std::vector<std::string>{"Nie znaleziono żadnego pliku MXT", "Wprowadź liczbę."}));
    EXPECT_EQ(history()[0], 30.0);
}
