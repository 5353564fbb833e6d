// The field set dialogs under the dialog driver: VELMDEFROOMD with its set
// and field editors, and the room form's run-time layout and reading.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/ui/driver.h"
#include "resources/velmresources.h"
#include "rooms/dialogs/dlg_etichetta.h"
#include "rooms/room_calc.h"
#include "tests/rooms/rooms_fixture.h"

namespace {

class LabelDialogsTest : public RoomsTest {
protected:
    std::string Catalogue() const {
        std::ifstream in(data.path("UA_DEF.DLC"), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static bool Shown(const std::string& text) {
        for (const auto& box : zcui::MessageBoxes())
            if (box.text == text) return true;
        return false;
    }
    static CRect Where(zcui::DialogUser& u, int id) {
        CRect r;
        u.Control(id)->GetWindowRect(&r);
        u.Dialog().ScreenToClient(&r);
        return r;
    }
};

TEST_F(LabelDialogsTest, new_set_appended_and_cancel_changes_nothing) {
    const std::string before = Catalogue();
    run({"!dialog 143 click 5 cancel", "!dialog 137 edit 102 \"NOWY\" click 5 ok", "!dialog 138 ok",
         "VELMDEFROOMD"});
    EXPECT_EQ(Catalogue(), before);

    run({"!dialog 143 click 5 ok",
         "!dialog 137 edit 102 \"NOWY\" edit 101 \"Nowy zestaw\" click 5 click 5 ok",
         "!dialog 138 select 1059 \"$77\" edit 1056 \"Uwagi:\" ok",
         "!dialog 138 select 1059 \"$75\" check 1057 1 edit 101 \"c\" click 5 edit 101 \"a\" click 5 edit "
         "101 "
         "\"b\" click 5 edit 1056 \"Przeznaczenie:\" ok",
         "VELMDEFROOMD"});
    const std::string after = Catalogue();
    ASSERT_EQ(after.compare(0, before.size(), before), 0) << after;  // the old sets byte for byte
    CArrayUnitaAmb sets;
    ASSERT_TRUE(sets.ReadUaDefDlc(kLabelCatalogueFile));
    const int at = sets.FindSet("NOWY");
    ASSERT_EQ(at, static_cast<int>(sets.size()) - 1);
    ASSERT_EQ(sets[at].size(), 2u);
    EXPECT_EQ(sets[at].title, "Nowy zestaw");
    EXPECT_EQ(sets[at][1].name, "$75");
    EXPECT_EQ(sets[at][1].kind, 1);
    EXPECT_EQ(sets[at][1].values, (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(LabelDialogsTest, names_and_variables_already_used) {
    const std::string before = Catalogue();
    // A copy proposes "…Kopiuj"; taking the name of an existing set is
    // refused and the editor opens again.
    std::string proposed;
    zcui::InstallDialogDriver(137, [&proposed](zcui::DialogUser& u) {
        if (proposed.empty()) {
            proposed = u.Text(102);
            u.Edit(102, "TMS_TAB1");
            u.Ok();
        } else {
            u.Cancel();
        }
    });
    run({"!dialog 143 select 1001 \"TMS_ETI1\" click 1065 cancel", "VELMDEFROOMD"});
    zcui::RemoveDialogDriver(137);
    EXPECT_EQ(proposed, "TMS_ETI1Kopiuj");
    EXPECT_TRUE(Shown("Jednostka ID już istnieje!"));
    int editors = 0;
    for (const auto& d : zcui::DialogsShown()) editors += d.id == 137;
    EXPECT_EQ(editors, 2);

    // Renaming a set to its own name passes; a used variable is refused.
    zcui::ResetUi();
    run({"!dialog 143 select 1001 \"TMS_ETI1\" click 1053 ok", "!dialog 137 click 5 ok",
         "!dialog 138 select 1059 \"$75\" ok", "VELMDEFROOMD"});
    EXPECT_FALSE(Shown("Jednostka ID już istnieje!"));
    EXPECT_TRUE(Shown("Zmienna jest już używana"));
    EXPECT_EQ(Catalogue().size(), before.size());

    // Removing the last set selects the new last one.
    CArrayUnitaAmb sets;
    ASSERT_TRUE(sets.ReadUaDefDlc(kLabelCatalogueFile));
    std::string selected;
    zcui::InstallDialogDriver(143, [&selected](zcui::DialogUser& u) {
        auto* list = u.Get<CListBox>(1001);
        u.Select(1001, zcui::Row{list->GetCount() - 1});
        u.Click(1052);
        list->GetText(list->GetCurSel(), selected);
        u.Ok();
    });
    run({"VELMDEFROOMD"});
    zcui::RemoveDialogDriver(143);
    CArrayUnitaAmb left;
    ASSERT_TRUE(left.ReadUaDefDlc(kLabelCatalogueFile));
    EXPECT_EQ(left.size() + 1, sets.size());
    std::vector<std::string> names;
    for (const auto& s : left) names.push_back(s.setName);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(selected, names.back());
}

TEST_F(LabelDialogsTest, room_form_lays_out_and_reads_back_by_control) {
    CCALCVANI room;
    auto field = [&room](const char* name, int kind, const char* prompt, const char* value,
                         std::vector<std::string> choices = {}) {
        CDefEti f;
        f.SetName(name);
        f.kind = kind;
        f.prompt = prompt;
        f.value = value;
        f.values = choices;
        room.labelFields.push_back(f);
    };
    field("$70", 0, "Wysokość:", "260");
    field("$71", 0, "Nieużytkowe", "0");
    field("$72", 0, "Pierwsze:", "A");
    field("$75", 1, "Przeznaczenie:", "Kuchnia", {"Kuchnia", "Pokój"});
    field("$77", 0, "Uwagi:", "B");
    room.heightFromField = false;  // field 70 hidden
    CRect box, firstLabel;
    zcui::InstallDialogDriver(IDD_ROOM_FORM, [&](zcui::DialogUser& u) {
        box = Where(u, 1151);
        firstLabel = Where(u, 1060);
        EXPECT_EQ(u.Text(1060), "Pierwsze:");
        EXPECT_EQ(u.Text(153), "A");
        EXPECT_EQ(u.Text(154), "B");
        EXPECT_EQ(u.Text(1063), "Kuchnia");
        EXPECT_FALSE(u.Control(1064)->IsWindowVisible());
        // A row's control stands right of its prompt; the pools' controls
        // beyond the rows are hidden, whatever their order in the form.
        const CRect prompt = Where(u, 1062), edit = Where(u, 154), list = Where(u, 1063);
        EXPECT_EQ(edit.left, prompt.right + 10);
        EXPECT_EQ(edit.top, prompt.top - 3);
        EXPECT_EQ(list.left, Where(u, 1061).right + 10);
        for (int shown : {1060, 1061, 1062, 153, 154, 1063}) EXPECT_TRUE(u.Control(shown)->IsWindowVisible());
        for (int hidden : {1080, 155, 172, 1081, 1104}) EXPECT_FALSE(u.Control(hidden)->IsWindowVisible());
        u.Check(1151);
        u.Edit(153, "X");
        u.Edit(154, "Y");
        u.Click(1371);
        u.Check(1366);
        u.Edit(1369, "2.5");
        u.Ok();
    });
    ASSERT_TRUE(room.EditLabelFields());
    zcui::RemoveDialogDriver(IDD_ROOM_FORM);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 10);
    EXPECT_EQ(firstLabel.top, 35 + 3);
    EXPECT_EQ(room.Field(70)->value, "260");  // hidden: kept
    EXPECT_EQ(room.Field(71)->value, "1");
    EXPECT_EQ(room.Field(72)->value, "X");
    EXPECT_EQ(room.Field(75)->value, "Kuchnia");
    EXPECT_EQ(room.Field(77)->value, "Y");
    EXPECT_TRUE(room.fixedWindowFlag);
    EXPECT_EQ(room.fixedWindowArea, 2.5);
    EXPECT_FALSE(room.fixedLivingFlag);

    // Cancel keeps the fields; a set without field 71 starts at y = 10.
    room.labelFields.erase(room.labelFields.begin() + 1);
    zcui::InstallDialogDriver(IDD_ROOM_FORM, [&](zcui::DialogUser& u) {
        firstLabel = Where(u, 1060);
        EXPECT_FALSE(u.Control(1151)->IsWindowVisible());
        u.Edit(153, "Z");
        u.Cancel();
    });
    EXPECT_FALSE(room.EditLabelFields());
    zcui::RemoveDialogDriver(IDD_ROOM_FORM);
    EXPECT_EQ(firstLabel.top, 13);
    EXPECT_EQ(room.Field(72)->value, "X");

    // A number field takes a text to print, but not one that only begins
    // with a number: the computation would read "12abc" as 12.
    for (const char* typed : {"12abc", "1,5", "0x10"}) {
        bool open = false;
        const std::size_t said = zcui::MessageBoxes().size();
        zcui::InstallDialogDriver(IDD_ROOM_FORM, [&](zcui::DialogUser& u) {
            u.Edit(153, typed);
            u.Ok();
            open = !u.Ended();
            u.Cancel();
        });
        EXPECT_FALSE(room.EditLabelFields()) << typed;
        zcui::RemoveDialogDriver(IDD_ROOM_FORM);
        EXPECT_TRUE(open) << typed;
        EXPECT_EQ(zcui::MessageBoxes().size(), said + 1) << typed;
        EXPECT_EQ(room.Field(72)->value, "X") << typed;
    }
}

}  // namespace
