// The wall definition and build-up layer dialogs.
#include "walls/types/dlg_muro.h"

#include "host/ui/hostdialogs.h"
#include "tests/walls/wall_types_fixture.h"

namespace {

class WallDefinition : public WallTypesTest {
protected:
    void SetUp() override {
        WallTypesTest::SetUp();
        for (const char* name : {"Ściana A", "Ściana B"}) {
            CMuro m;
            m.name = name;
            m.fileName = m.storedFileName = std::string("PLIK_") + name[std::string(name).size() - 1];
            m.layer = "2DMURY";
            types.push_back(m);
        }
    }
    // Opens the dialog on type A with the driver's actions; the result.
    int edit(const std::function<void(zcui::DialogUser&)>& act) {
        CDlgMuro dlg(types, types.front());
        dlg.SetLayerNames({"2DWALLS", "2DMURY", "2DINNE"});
        zcui::InstallDialogDriver(IDD_MURO, act);
        return static_cast<int>(dlg.DoModal());
    }
    CListMuri types;
};

}  // namespace

TEST_F(WallDefinition, own_name_accepted_and_fields_written_on_ok) {
    std::string selected;
    ASSERT_EQ(edit([&](zcui::DialogUser& u) {
                  CListBox* l = u.Get<CListBox>(1051);
                  l->GetText(l->GetCurSel(), selected);
                  u.Edit(1001, "NOWY");
                  u.Edit(1091, "12");
                  u.Select(1051, std::string("2DINNE"));
                  u.Ok();
              }),
              IDOK);
    EXPECT_EQ(selected, "2DMURY");
    const CMuro& a = types.front();
    EXPECT_EQ(a.name, "Ściana A");
    EXPECT_EQ(a.fileName, "NOWY");
    EXPECT_EQ(a.storedFileName, "NOWY");
    EXPECT_EQ(a.priority, 12);
    EXPECT_EQ(a.layer, "2DINNE");
    EXPECT_TRUE(messageBoxes().empty());
}

TEST_F(WallDefinition, refusals_keep_the_dialog_open_and_the_type_unchanged) {
    const std::vector<std::pair<int, std::string>> cases = {
        {1005, "Ściana B"}, {1001, ""}, {1001, "a/b"}, {1001, "co?"}, {1001, "plik_b"}};
    for (const auto& [control, text] : cases) {
        zcui::ResetUi();
        bool ended = true;
        EXPECT_EQ(edit([&, control = control, text = text](zcui::DialogUser& u) {
                      u.Edit(1091, "9");
                      u.Edit(control, text);
                      u.Ok();
                      ended = u.Ended();
                      u.Cancel();
                  }),
                  IDCANCEL);
        EXPECT_FALSE(ended) << text;
        EXPECT_EQ(types.front().name, "Ściana A");
        EXPECT_EQ(types.front().fileName, "PLIK_A");
        EXPECT_EQ(types.front().priority, 0);
        ASSERT_EQ(messageBoxes().size(), 1u) << text;
    }
    zcui::ResetUi();
    edit([](zcui::DialogUser& u) {
        u.Edit(1005, "Ściana B");
        u.Ok();
        u.Cancel();
    });
    EXPECT_EQ(messageBoxes(), (std::vector<std::string>{"Ściana Ściana B już istnieje"}));
    zcui::ResetUi();
    edit([](zcui::DialogUser& u) {
        u.Edit(1001, "plik_b");
        u.Ok();
        u.Cancel();
    });
    EXPECT_EQ(messageBoxes(), (std::vector<std::string>{"Plik plik_b należy już do innego typu ściany"}));
}

TEST_F(WallDefinition, layer_not_offered_opens_on_the_first) {
    types.front().layer = "2DNIEZNANA";
    std::string selected;
    edit([&](zcui::DialogUser& u) {
        CListBox* l = u.Get<CListBox>(1051);
        l->GetText(l->GetCurSel(), selected);
        u.Cancel();
    });
    EXPECT_EQ(selected, "2DINNE");  // the list is sorted
}

TEST_F(WallDefinition, build_up_layer_changes_only_on_ok) {
    CStrato layer;
    layer.material = "Cegła";
    layer.number = (3u << 16) | 4u;
    CDlgStrato dlg(layer);
    zcui::InstallDialogDriver(IDD_STRATO, [](zcui::DialogUser& u) {
        u.Edit(1022, "Beton");
        u.Edit(1026, "dużo");
        u.Ok();
        u.Cancel();
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(layer.material, "Cegła");
    zcui::InstallDialogDriver(IDD_STRATO, [](zcui::DialogUser& u) {
        u.Edit(1022, "Beton");
        u.Edit(1027, "-ANSI31");
        u.Edit(1026, "2.5");
        u.Edit(107, "2DBETON");
        u.Edit(1030, "$-s1");
        u.Ok();
    });
    CDlgStrato again(layer);
    EXPECT_EQ(again.DoModal(), IDOK);
    EXPECT_EQ(layer.material, "Beton");
    EXPECT_EQ(layer.pattern, "-ANSI31");
    EXPECT_EQ(layer.patternScale, 2.5);
    EXPECT_EQ(layer.layer, "2DBETON");
    EXPECT_EQ(layer.thickness, "$-s1");
    EXPECT_EQ(layer.number, (3u << 16) | 4u);
}

TEST_F(WallDefinition, build_up_layer_without_a_thickness_is_refused_as_zero_is) {
    CStrato layer;
    layer.material = "Cegła";
    layer.thickness = "12";
    for (const char* typed : {"", " ", "0", "--5", "12abc", "1,5"}) {
        bool open = false;
        const std::size_t said = zcui::MessageBoxes().size();
        zcui::InstallDialogDriver(IDD_STRATO, [&](zcui::DialogUser& u) {
            u.Edit(1030, typed);
            u.Ok();
            open = !u.Ended();
            u.Cancel();
        });
        CDlgStrato dlg(layer);
        EXPECT_EQ(dlg.DoModal(), IDCANCEL) << typed;
        EXPECT_TRUE(open) << typed;
        EXPECT_EQ(zcui::MessageBoxes().size(), said + 1) << typed;
        EXPECT_EQ(layer.thickness, "12") << typed;
    }
}

TEST_F(WallDefinition, swatch_click_opens_the_host_colour_dialog_and_ok_keeps_the_choice) {
    zcui::InstallDialogDriver(zcui::kColorDialogId, [](zcui::DialogUser& u) {
        u.Edit(ZCUI_COLOR_INDEX, "30");
        u.Ok();
    });
    COLORREF shown = 0;
    ASSERT_EQ(edit([&](zcui::DialogUser& u) {
                  u.Click(1009);
                  shown = u.Get<CadvColorStatic>(1009)->Color();
                  u.Ok();
              }),
              IDOK);
    EXPECT_EQ(shown, zcedGetRGB(30));
    EXPECT_EQ(types.front().color, 30);
    EXPECT_EQ(zcui::DialogsShown().front().id, zcui::kColorDialogId);
}
