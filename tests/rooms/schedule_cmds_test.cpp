// The schedule commands on a floor of doors and windows: building and
// refreshing a schedule, floors kept apart, totals, renumbering and start
// numbers.
#include "rooms/schedules/schedule_cmds.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/ssget.h"
#include "host/db/dbdatabase.h"
#include "rooms/schedules/schedule_context.h"
#include "store/settings_store.h"
#include "tests/rooms/schedules_fixture.h"

namespace {

constexpr const char* kRowApp = "VELM6$_$ABINFISSI_ETI-";
constexpr const char* kTotApp = "VELM6$_$ABINFISSI_TOT-";
constexpr const char* kRows = "0=INSERT -3=VELM6$_$ABINFISSI_ETI-";
constexpr const char* kTables = "0=INSERT -3=VELM6$_$ABINFISSI_TAB-";
constexpr const char* kTablesApp = "VELM6$_$ABINFISSI_TAB-";
constexpr const char* kTotals = "0=INSERT -3=VELM6$_$ABINFISSI_TOT-";

class ScheduleCmdsTest : public SchedulesTest {
protected:
    // Three doors and a window on the ground floor, one door at 300.
    void Floor() {
        Opening("PORTE", 1, 0.0, P(0, 0), 80.0, 1.0, 1.6);
        Opening("PORTE", 2, 0.0, P(0, 20), 90.0, 2.0, 1.8);
        Opening("FINESTRE", 1, 0.0, P(0, 40), 120.0, 4.0, 1.5);
        Opening("porte", 3, 0.0, P(0, 60), 100.0, 3.0, 2.0);
        Opening("PORTE", 1, 300.0, P(0, 80), 70.0, 5.0, 1.4);
    }
    // The value of the attribute `tag` of each insert carrying `app`.
    static std::vector<std::string> Attribs(const char* app, const std::string& tag) {
        std::vector<std::string> out;
        resbuf* apps = zcutBuildList(RTSTR, app, 0);
        for (ZcDbObjectId id : modelSpace()) {
            ads_name e;
            if (zcdbGetAdsName(e, id) != Zcad::eOk) continue;
            resbuf* list = zcdbEntGetX(e, apps);
            const bool match = FindXDataApp(list, app) != nullptr;
            zcutRelRb(list);
            if (!match) continue;
            ads_name sub{e[0], e[1]}, next;
            while (zcdbEntNext(sub, next) == RTNORM) {
                sub[0] = next[0];
                sub[1] = next[1];
                resbuf* a = zcdbEntGet(sub);
                const resbuf* type = FindRbCode(a, 0);
                const bool attrib = type && std::string(type->resval.rstring) == "ATTRIB";
                const resbuf* t = FindRbCode(a, 2);
                const resbuf* v = FindRbCode(a, 1);
                if (attrib && t && v && tag == t->resval.rstring) out.push_back(v->resval.rstring);
                zcutRelRb(a);
                if (!attrib) break;
            }
        }
        zcutRelRb(apps);
        return out;
    }
};

TEST_F(ScheduleCmdsTest, schedule_built_and_refreshed) {
    Floor();
    run({"VELMABC", "DOORS", "100,100"});  // no table yet: a new one at once
    EXPECT_EQ(count(kTables), 1);
    EXPECT_EQ(count(kRows), 3) << transcript();
    std::vector<std::string> numbers = Attribs(kRowApp, "NR");
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "3"}));

    // Picking the table writes its rows again, never twice.
    run({"VELMABC", "!pick 150,100"});
    EXPECT_EQ(count(kTables), 1);
    EXPECT_EQ(count(kRows), 3);
    // Enter places a second table of windows.
    run({"VELMABC", "", "WINDOWS", "400,100"});
    EXPECT_EQ(count(kTables), 2);
    EXPECT_EQ(count(kRows), 4);
    EXPECT_EQ(Attribs(kRowApp, "SZER").size(), 4u);

    // A pick that is no table is refused and a new table asked for.
    run({"_LINE", "0,500", "50,500", ""});
    RemoveDefinitions();
    run({"VELMABC", "!pick 25,500"});
    EXPECT_NE(transcript().find("Wybrany obiekt nie jest zestawieniem otworów"), std::string::npos);
    EXPECT_NE(transcript().find("Błąd tworzenia zestawienia otworów"), std::string::npos);
    EXPECT_EQ(count(kRows), 4);
}

TEST_F(ScheduleCmdsTest, floors_keep_their_own_rows) {
    Floor();
    SetSettingReal(SetupVar::SQPAV, 300.0);
    run({"VELMABC", "DOORS", "100,400"});
    EXPECT_EQ(count(kRows), 1);
    SetSettingReal(SetupVar::SQPAV, 0.0);
    run({"VELMABC", "", "DOORS", "100,100"});
    EXPECT_EQ(count(kRows), 4);
    // The upper table picked from the ground floor lists the upper floor.
    run({"VELMABC", "!pick 150,400"});
    EXPECT_EQ(count(kRows), 4);
    EXPECT_EQ(count("0=INSERT 8=" + Layer("2DABCDATA", 300.0) + " -3=VELM6$_$ABINFISSI_ETI-"), 1);
}

TEST_F(ScheduleCmdsTest, totals_replace_and_survive_a_failure) {
    Floor();
    run({"VELMTOTABC"});
    EXPECT_NE(transcript().find("Nie ma zestawienia otworów w rysunku"), std::string::npos);
    run({"VELMABC", "DOORS", "100,100"});
    run({"VELMTOTABC", "!pick 150,100", ""});  // no parameter set
    EXPECT_EQ(count(kTotals), 1);
    EXPECT_EQ(Attribs(kTotApp, "LICZBA"), (std::vector<std::string>{"3"}));
    EXPECT_EQ(Attribs(kTotApp, "SUMA1"), (std::vector<std::string>{"6.00"}));
    EXPECT_EQ(Attribs(kTotApp, "SUMA3"), (std::vector<std::string>{"5.40"}));
    run({"VELMTOTABC", "!pick 150,100", ""});
    EXPECT_EQ(count(kTotals), 1);

    RemoveDefinitions();
    run({"VELMTOTABC", "!pick 150,100"});
    EXPECT_NE(transcript().find("Błąd tworzenia sumy"), std::string::npos);
    EXPECT_EQ(count(kTotals), 1);  // the old one restored

    RestoreDefinitions();
    data.write("VELMOA01.OA", "tab=ABC_TAB\nrec=ABC_REC\nend\n");
    run({"VELMTOTABC", "!pick 150,100"});
    EXPECT_NE(transcript().find("Dla wybranej tabeli nie jest określona całkowita liczba wierszy"),
              std::string::npos);
    EXPECT_EQ(count(kTotals), 1);
}

// The total is drawn from the sums alone: no parameter prompt takes the
// command's answers, and no parameter dialog opens.
TEST_F(ScheduleCmdsTest, a_total_asks_for_no_parameters) {
    Floor();
    run({"VELMABC", "DOORS", "100,100"});
    const std::size_t said = transcript().size();
    run({"VELMTOTABC", "!pick 150,100"});
    EXPECT_EQ(count(kTotals), 1) << transcript();
    EXPECT_EQ(transcript().find("Nazwa ustawionych parametrów", said), std::string::npos) << transcript();
    EXPECT_EQ(transcript().find("Błąd tworzenia sumy"), std::string::npos);
    SetSettingInt(SetupVar::DLGOGGETTO, 1);
    run({"VELMTOTABC", "!pick 150,100"});
    EXPECT_EQ(count(kTotals), 1);
    EXPECT_EQ(transcript().find("[okno 150]"), std::string::npos) << transcript();
}

TEST_F(ScheduleCmdsTest, renumbering_and_start_numbers) {
    Floor();
    run({"_LINE", "0,500", "50,500", ""});
    run({"VELMREINDEXABC", "", "!pick 0,20", "!pick 25,500", "!pick 0,0", "!pick 0,20", "!pick 900,900", ""});
    EXPECT_NE(transcript().find("Zaznaczony obiekt nie jest otworem"), std::string::npos);
    // The renumbered openings are rebuilt in place: none is lost.
    EXPECT_EQ(count(std::string("0=INSERT -3=") + kAbInfissiObjApp), 5);
    ads_name first, second;
    zcdbEntNext(nullptr, first);
    zcdbEntNext(first, second);
    int number = 0;
    std::string kind;
    GetOpeningTypeAndNumber(first, number, kind);
    EXPECT_EQ(number, 2);
    GetOpeningTypeAndNumber(second, number, kind);
    EXPECT_EQ(number, 3);  // picked twice: the later number

    run({"VELMREINDEXABC", "10", "!pick 0,0", "!cancel"});
    GetOpeningTypeAndNumber(first, number, kind);
    EXPECT_EQ(number, 10);

    SetSettingInt(SetupVar::SUFFISSOFINES, 4);
    run({"VELMWABC", ""});
    EXPECT_EQ(SettingInt(SetupVar::SUFFISSOFINES), 4);
    EXPECT_NE(transcript().find("Numer początkowy dla oznaczeń okien<4>:"), std::string::npos);
    run({"VELMWABC", "17"});
    EXPECT_EQ(SettingInt(SetupVar::SUFFISSOFINES), 17);
    run({"VELMDABC", "!cancel"});
    run({"VELMDABC", "-3"});
    EXPECT_EQ(SettingInt(SetupVar::SUFFISSOPORTA), -3);
}

}  // namespace

// A table made again at the current factors: one table and its rows anew;
// when nothing can be placed the old table stays with its rows.
TEST_F(ScheduleCmdsTest, schedule_rebuilt_in_place_or_kept) {
    Floor();
    run({"VELMABC", "DOORS", "100,100"});
    auto table = [] {
        ads_name set, e{0, 0};
        if (!SelectWithRecord(kTablesApp, set)) return std::array<std::int64_t, 2>{0, 0};
        zcedSSName(set, 0, e);
        zcedSSFree(set);
        return std::array<std::int64_t, 2>{e[0], e[1]};
    };
    auto old = table();
    ads_name name{old[0], old[1]};
    push("DOORS");  // the table's parameter set asked again
    EXPECT_TRUE(RebuildSchedule(name));
    EXPECT_EQ(count(kTables), 1);
    EXPECT_NE(table(), old);
    EXPECT_EQ(count(kRows), 3);
    std::vector<std::string> numbers = Attribs(kRowApp, "NR");
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "3"}));

    old = table();
    ads_name again{old[0], old[1]};
    RemoveDefinitions();
    EXPECT_FALSE(RebuildSchedule(again));
    EXPECT_EQ(table(), old);
    EXPECT_EQ(count(kRows), 3);

    // A line is no table: nothing happens to it.
    run({"_LINE", "0,500", "50,500", ""});
    ads_name line;
    ASSERT_EQ(zcdbEntLast(line), RTNORM);
    EXPECT_FALSE(RebuildSchedule(line));
    EXPECT_EQ(count("0=LINE"), 1);
}
