// The commands on existing labels: a label's fields edited with its
// measured values kept, rooms renumbered in pick order with their rows,
// labels with fixed values marked and unmarked, and the room information.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ui/driver.h"
#include "rooms/dialogs/dlg_info_vani.h"
#include "rooms/room_records.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/rooms/room_records_fixture.h"

namespace {

constexpr const char* kLabels = "0=INSERT -3=VELM5$_$ETICHETTEVANI-";
constexpr const char* kRows = "0=INSERT -3=VELM5$_$RECORDVANI-";
constexpr const char* kCards = "0=INSERT -3=VELM5$_$TABELLEVANI-";

struct Item {
    int code = 0;
    double real = 0.0;
    std::string text;
};

class RoomLabelCmdsTest : public RoomRecordsTest {
protected:
    void SetUp() override {
        RoomRecordsTest::SetUp();
        SetSettingString(SetupVar::NOMEFILEUA, "TMS_TAB1");
        SetSettingInt(SetupVar::ULTIMORIFRIGA, 0);
        SetSettingString(SetupVar::ULTIMORIFTAB, "K1");
    }
    // A room labelled at `at`; the card placed at `cardAt` when given (the
    // card point is asked only while the card is not there).
    void NewLabel(const char* at, const char* cardAt = nullptr) {
        if (cardAt)
            run({"!dialog 139 ok", "VELMSPACEUNIT", cardAt, at, ""});
        else
            run({"!dialog 139 ok", "VELMSPACEUNIT", at, ""});
    }
    static std::vector<std::pair<std::string, std::vector<Item>>> Records(const char* app) {
        std::vector<std::pair<std::string, std::vector<Item>>> out;
        resbuf* filter = zcutBuildList(-3, 1001, app, 0);
        ads_name ss;
        if (zcedSSGet("X", nullptr, nullptr, filter, ss) == RTNORM) {
            std::int32_t n = 0;
            zcedSSLength(ss, &n);
            resbuf* apps = zcutBuildList(RTSTR, app, 0);
            for (std::int32_t i = 0; i < n; ++i) {
                ads_name e;
                zcedSSName(ss, i, e);
                resbuf* list = zcdbEntGetX(e, apps);
                std::vector<Item> items;
                for (const resbuf* rb = FindXDataApp(list, app)->rbnext; rb; rb = rb->rbnext)
                    items.push_back({rb->restype,
                                     rb->restype == 1040   ? rb->resval.rreal
                                     : rb->restype == 1070 ? rb->resval.rint
                                                           : 0.0,
                                     rb->restype == 1000 && rb->resval.rstring ? rb->resval.rstring : ""});
                const resbuf* layer = FindRbCode(list, 8);
                out.push_back({layer ? layer->resval.rstring : "", items});
                zcutRelRb(list);
            }
            zcutRelRb(apps);
            zcedSSFree(ss);
        }
        zcutRelRb(filter);
        return out;
    }
    // Variable n of a label record (item 0 is the template name).
    static const Item& Var(const std::vector<Item>& record, int n) { return record.at(n - 59); }
    static std::vector<int> Sorted(std::vector<int> v) {
        std::sort(v.begin(), v.end());
        return v;
    }
    // The row numbers of the labels and of the card rows.
    std::pair<std::vector<int>, std::vector<int>> Numbers() {
        std::vector<int> labels, rows;
        for (const auto& [layer, r] : Records(kRoomLabelApp))
            labels.push_back(static_cast<int>(Var(r, 78).real));
        for (const auto& [layer, r] : Records(kRoomRowApp)) rows.push_back(static_cast<int>(r.at(1).real));
        return {Sorted(labels), Sorted(rows)};
    }
    // The attribute texts of the insert, by tag.
    static std::map<std::string, std::string> Attributes(const ads_name insert) {
        std::map<std::string, std::string> out;
        ads_name e{insert[0], insert[1]};
        for (ads_name next; zcdbEntNext(e, next) == RTNORM; e[0] = next[0], e[1] = next[1]) {
            resbuf* list = zcdbEntGet(next);
            const resbuf* type = FindRbCode(list, 0);
            const bool attrib = type && std::string(type->resval.rstring) == "ATTRIB";
            if (attrib)
                out[FindRbCode(list, 2)->resval.rstring] =
                    FindRbCode(list, 1)->resval.rstring ? FindRbCode(list, 1)->resval.rstring : "";
            zcutRelRb(list);
            if (!attrib) break;
        }
        return out;
    }
    static bool Printed(const std::string& text) { return transcript().find(text) != std::string::npos; }
};

TEST_F(RoomLabelCmdsTest, edited_label_keeps_its_measured_values) {
    NewLabel("200,150", "1000,0");
    auto before = Records(kRoomLabelApp);
    ASSERT_EQ(before.size(), 1u) << transcript();
    // The stored values as a later measuring would leave them: not those
    // this room would measure now.
    const double area = Var(before[0].second, 60).real, perimeter = Var(before[0].second, 63).real;
    const double volume = Var(before[0].second, 68).real;
    ASSERT_GT(area, 0.0);
    run({"!dialog 139 select 1063 \"Kuchnia\" ok", "VELMMODTAG", "!pick 200,150", ""});
    const auto after = Records(kRoomLabelApp);
    ASSERT_EQ(after.size(), 1u) << transcript();
    EXPECT_EQ(Var(after[0].second, 75).text, "Kuchnia");
    EXPECT_EQ(Var(after[0].second, 60).real, area);
    EXPECT_EQ(Var(after[0].second, 63).real, perimeter);
    EXPECT_EQ(Var(after[0].second, 68).real, volume);
    EXPECT_EQ(after[0].first, before[0].first);
    EXPECT_EQ(count(kRows), 1);  // the row is not written again

    // Cancel leaves the label as it is.
    ads_name last;
    zcdbEntLast(last);
    run({"!dialog 139 cancel", "VELMMODTAG", "!pick 200,150"});
    ads_name still;
    zcdbEntLast(still);
    EXPECT_TRUE(last[0] == still[0] && last[1] == still[1]);
    EXPECT_EQ(Var(Records(kRoomLabelApp)[0].second, 75).text, "Kuchnia");
}

// A new height in the form carries the volume and the wall surface: the
// areas stay as measured, the walls grow by the perimeter.
TEST_F(RoomLabelCmdsTest, a_new_height_gives_the_label_its_volume_and_wall_surface) {
    NewLabel("200,150", "1000,0");
    const auto before = Records(kRoomLabelApp);
    ASSERT_EQ(before.size(), 1u) << transcript();
    const double area = Var(before[0].second, 60).real + Var(before[0].second, 64).real;
    const double perimeter = Var(before[0].second, 63).real;
    const double height = Var(before[0].second, 70).real, surface = Var(before[0].second, 69).real;
    ASSERT_NE(height, 400.0);
    run({"!dialog 139 edit 153 \"400\" ok", "VELMMODTAG", "!pick 200,150", ""});
    const auto after = Records(kRoomLabelApp);
    ASSERT_EQ(after.size(), 1u) << transcript();
    EXPECT_EQ(Var(after[0].second, 70).real, 400.0) << transcript();
    EXPECT_NEAR(Var(after[0].second, 68).real, area * 400.0, 1e-6);
    EXPECT_NEAR(Var(after[0].second, 69).real, surface + (400.0 - height) * perimeter, 1e-6);
    EXPECT_EQ(Var(after[0].second, 63).real, perimeter);
}

TEST_F(RoomLabelCmdsTest, labels_that_cannot_be_edited_are_asked_again) {
    NewLabel("200,150", "1000,0");
    // Without a level on its layer, then with a record cut short.
    ads_name bare, shortRecord;
    MakeInsert("0", P(100, 60), zcutBuildList(1001, kRoomLabelApp, 1000, "TMS_TAB1", 1040, 1.0, 0), bare);
    MakeInsert("2DROOMDATA$0", P(300, 60), zcutBuildList(1001, kRoomLabelApp, 1000, "TMS_TAB1", 1040, 1.0, 0),
               shortRecord);
    run({"VELMMODTAG", "!pick 100,60", "!pick 300,60", "!pick 200,15", ""});
    EXPECT_TRUE(Printed("Niemożliwe jest tworzenie etykiety pokoju na wysokości podłogi")) << transcript();
    EXPECT_TRUE(Printed("Nie mogę poprawnie odczytać rozszerzonych danych z etykiety pokoju"));
    EXPECT_TRUE(Printed("Wybrany obiekt nie jest etykietą pokoju"));
    EXPECT_EQ(count(kLabels), 3);

    // A definition that makes no block: the old label stays.
    RemoveDefinitions();
    run({"!dialog 139 select 1063 \"Kuchnia\" ok", "VELMMODTAG", "!pick 200,150", ""});
    const auto records = Records(kRoomLabelApp);
    EXPECT_EQ(records.size(), 3u) << transcript();
    EXPECT_EQ(std::count_if(
                  records.begin(), records.end(),
                  [](const auto& r) { return r.second.size() > 17 && Var(r.second, 75).text == "Kuchnia"; }),
              0);
}

TEST_F(RoomLabelCmdsTest, rooms_renumbered_in_pick_order_with_their_rows) {
    NewLabel("100,100", "1000,0");
    NewLabel("200,150");
    NewLabel("300,200");
    ASSERT_EQ(Numbers().first, (std::vector<int>{1, 2, 3})) << transcript();
    // A label of another card is refused and keeps the number for the next.
    SetSettingString(SetupVar::ULTIMORIFTAB, "K2");
    NewLabel("150,250", "1000,-500");
    ASSERT_EQ(count(kCards), 2) << transcript();
    run({"VELMREINDEXROOM", "5", "!pick 300,200", "!pick 150,250", "!pick 100,100", "!pick 200,150", ""});
    EXPECT_TRUE(
        Printed("Etykieta pokoju nie odnosi się do tej samej karty, która została wybrana jako pierwsza"))
        << transcript();
    EXPECT_EQ(Numbers().second, (std::vector<int>{4, 5, 6, 7})) << transcript();  // K2's own room 4 stays
    EXPECT_EQ(Numbers().first, (std::vector<int>{4, 5, 6, 7}));
    EXPECT_EQ(count(kRows), 4);

    // The card gone: nothing to renumber against.
    resbuf* filter = zcutBuildList(-3, 1001, kRoomCardApp, 0);
    ads_name cards;
    ASSERT_EQ(zcedSSGet("X", nullptr, nullptr, filter, cards), RTNORM);
    zcutRelRb(filter);
    for (int i = 0; i < 2; ++i) {
        ads_name e;
        zcedSSName(cards, i, e);
        zcdbEntDel(e);
    }
    zcedSSFree(cards);
    run({"VELMREINDEXROOM", "9", "!pick 100,100"});
    EXPECT_TRUE(Printed("Nie istnieje już tabela, która jest powiązana z etykietą"));
    EXPECT_EQ(Numbers().first, (std::vector<int>{4, 5, 6, 7}));
}

TEST_F(RoomLabelCmdsTest, labels_without_a_card_are_not_renumbered) {
    SetSettingString(SetupVar::NOMEFILEUA, "TMS_ETI1");
    NewLabel("200,150");
    ASSERT_EQ(count(kLabels), 1) << transcript();
    run({"VELMREINDEXROOM", "5", "!pick 200,150", "!pick 200,150"});
    EXPECT_TRUE(
        Printed("Polecenie to może być używane tylko na etykietach pokoi, które mają także kartę pokoju"))
        << transcript();
    // The command ended at the first label: its prompt was not shown again.
    const std::string prompt = "przypisać numer pokoju 5";
    const auto first = transcript().find(prompt);
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(transcript().find(prompt, first + 1), std::string::npos);
    EXPECT_EQ(count(kLabels), 1);
}

TEST_F(RoomLabelCmdsTest, only_labels_with_fixed_values_are_marked) {
    NewLabel("100,100", "1000,0");
    NewLabel("300,200");
    // The first label's record says its living area is fixed.
    resbuf* filter = zcutBuildList(-3, 1001, kRoomLabelApp, 0);
    ads_name ss;
    ASSERT_EQ(zcedSSGet("X", nullptr, nullptr, filter, ss), RTNORM);
    zcutRelRb(filter);
    ads_name fixed;
    zcedSSName(ss, 0, fixed);
    zcedSSFree(ss);
    resbuf* apps = zcutBuildList(RTSTR, kRoomLabelApp, 0);
    resbuf* list = zcdbEntGetX(fixed, apps);
    zcutRelRb(apps);
    resbuf* mask = FindXDataApp(list, kRoomLabelApp)->rbnext;
    for (int n = 59; n < 66; ++n) mask = mask->rbnext;
    mask->resval.rreal = 1.0;
    ASSERT_EQ(zcdbEntMod(list), RTNORM);
    zcutRelRb(list);

    auto marks = [this] {
        std::vector<std::string> out;
        resbuf* f = zcutBuildList(-3, 1001, kRoomLabelApp, 0);
        ads_name labels;
        if (zcedSSGet("X", nullptr, nullptr, f, labels) == RTNORM) {
            std::int32_t n = 0;
            zcedSSLength(labels, &n);
            for (std::int32_t i = 0; i < n; ++i) {
                ads_name e;
                zcedSSName(labels, i, e);
                const auto shown = Attributes(e);
                const auto it = shown.find("STALA");
                out.push_back(it == shown.end() ? "" : it->second);
            }
            zcedSSFree(labels);
        }
        zcutRelRb(f);
        std::sort(out.begin(), out.end());
        return out;
    };
    ASSERT_EQ(marks(), (std::vector<std::string>{"", ""})) << transcript();
    run({"VELMSHOWTAGFIX", ""});
    EXPECT_EQ(marks(), (std::vector<std::string>{"", "*"})) << transcript();
    EXPECT_EQ(count(kLabels), 2);
    EXPECT_EQ(count(kRows), 2);
    run({"VELMSHOWTAGFIX", "Normalny"});
    EXPECT_EQ(marks(), (std::vector<std::string>{"", ""}));
}

TEST_F(RoomLabelCmdsTest, room_information_scaled_and_without_windows) {
    std::map<int, std::string> shown;
    zcui::InstallDialogDriver(IDD_INFO_VANI, [&shown](zcui::DialogUser& u) {
        for (int id : {1155, 1156, 1157, 1158, 1159, 1161}) shown[id] = u.Text(id);
        u.Ok();
    });
    const int before = count("0=*");
    run({"VELMINFOUNIT", "200,150"});
    // 370 x 270 clear, in square metres and metres at 0.01.
    EXPECT_EQ(shown[1155], "9.990") << transcript();
    EXPECT_EQ(shown[1156], "12.800");
    EXPECT_EQ(shown[1158], "0.000");
    EXPECT_EQ(shown[1159], "");
    EXPECT_EQ(count("0=*"), before);  // nothing written

    SetSettingReal(SetupVar::SRAPPORTO_UM, 0.1);
    run({"VELMINFOUNIT", "200,150"});
    EXPECT_EQ(shown[1155], "999.000");
    EXPECT_EQ(shown[1156], "128.000");
    zcui::RemoveDialogDriver(IDD_INFO_VANI);
}

}  // namespace
