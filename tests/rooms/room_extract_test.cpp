// VELMEXTRACTR: the records of the room labels by the template of
// "velmor.DEX", values in take-off units, and what a bad template, a
// label without the item asked for, no labels and a cancel leave.
#include <filesystem>
#include <string>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ui/hostdialogs.h"
#include "host/win/files.h"
#include "rooms/room_records.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/host/win_testdir.h"
#include "tests/rooms/csv_reader.h"
#include "tests/rooms/rooms_fixture.h"

namespace {

class RoomExtractTest : public RoomsTest {
protected:
    void SetUp() override {
        RoomsTest::SetUp();
        csv = data.path("out.csv");
        zcdbRegApp(kRoomLabelApp);
        zcui::SetFilePromptHook([this](const zcui::FileRequest&, std::string& out) -> std::optional<int> {
            if (cancel) return RTCAN;
            out = csv;
            return RTNORM;
        });
    }
    void TearDown() override {
        zcui::SetFilePromptHook(nullptr);
        RoomsTest::TearDown();
    }
    // A label whose record holds the variables 60 to `last`: reals, but
    // the texts at 75 to 77, 79 and 82 to 84, then its two points.
    void Label(double area, double length, double volume, const std::string& name, int last = 86) {
        resbuf* head = zcutBuildList(1001, kRoomLabelApp, 1000, "TMS_TAB1", 0);
        resbuf* tail = head->rbnext;
        for (int n = 60; n <= last; ++n) {
            const bool text = (n >= 75 && n <= 77) || n == 79 || (n >= 82 && n <= 84);
            const double value = n == 60 ? area : n == 63 ? length : n == 68 ? volume : n == 78 ? 3.0 : 0.0;
            tail->rbnext = text      ? zcutBuildList(1000, n == 75 ? name.c_str() : "", 0)
                           : n == 72 ? zcutBuildList(1000, "tekst", 0)
                                     : zcutBuildList(1040, value, 0);
            tail = tail->rbnext;
        }
        ads_point p{0, 0, 0};
        tail->rbnext = zcutBuildList(1011, p, 1011, p, 0);
        ads_name made;
        MakeInsert("2DROOMDATA$0", P(0, 0), head, made);
    }
    std::string Csv() const {
        std::string bytes;
        if (!host::readWholeFile(csv, bytes)) return "(none)";
        return bytes;
    }
    bool Printed(const std::string& text) const { return Times(text) > 0; }
    static int Times(const std::string& text) {
        int n = 0;
        for (auto at = transcript().find(text); at != std::string::npos; at = transcript().find(text, at + 1))
            ++n;
        return n;
    }
    std::string csv;
    bool cancel = false;
};

TEST_F(RoomExtractTest, values_in_take_off_units) {
    Label(125000.0, 450.0, 3.375e6, "Kuchnia");
    Label(90000.0, 1200.0, 2.7e6, "Pokój");
    data.write("velmor.DEX", "$60.02;$63.02;$68.03;$75.00;$72.00;$78.00;$85.02;\n");
    run({"VELMEXTRACTR"});
    // The line feed of the template and that of each record: every record
    // after an empty line; a text at a numeric code as it stands; the
    // template name whatever the decimals; the separator after the last
    // placeholder copied.
    EXPECT_EQ(Csv(),
              "\n12.50;4.50;3.375;Kuchnia;tekst;3;TMS_TAB1;\n"
              "\n9.00;12.00;2.700;Pokój;tekst;3;TMS_TAB1;\n");
    EXPECT_TRUE(Printed("Liczba wyodrębnionych rekordów:2")) << transcript();

    // Without its line feed: one record a line after a first empty one. A
    // one-digit decimal part takes the separator after it.
    data.write("velmor.DEX", "$60.1,$63.02");
    run({"VELMEXTRACTR"});
    EXPECT_EQ(Csv(), "\n12.54.50\n9.012.00");

    // The take-off factor of the drawing.
    SetSettingReal(SetupVar::SRAPPORTO_UM, 0.1);
    run({"VELMEXTRACTR"});
    EXPECT_EQ(Csv(), "\n1250.045.00\n900.0120.00");
}

TEST_F(RoomExtractTest, a_bad_placeholder_or_a_missing_item_stops_with_the_records_so_far) {
    Label(125000.0, 450.0, 3.375e6, "Kuchnia");
    int errors = 0;
    // A template no record can fill is named with its line before any
    // file is made.
    for (const char* pattern : {"$59.00\n", "$86.00\n", "$6x.00\n", "$60.02;$60.0"}) {
        data.write("velmor.DEX", pattern);
        run({"VELMEXTRACTR"});
        EXPECT_EQ(Times("velmor.DEX:1: znacznik $"), ++errors) << pattern << transcript();
        EXPECT_EQ(Csv(), "(none)") << pattern;
    }
    EXPECT_FALSE(Printed("Liczba wyodrębnionych rekordów"));
    // The second label's record reaches its points before variable 63.
    Label(90000.0, 1200.0, 2.7e6, "Pokój", 62);
    data.write("velmor.DEX", "$63.02\n");
    run({"VELMEXTRACTR"});
    EXPECT_EQ(Csv(), "\n4.50\n");
    EXPECT_TRUE(Printed("velmor.DEX: Error"));
}

TEST_F(RoomExtractTest, no_labels_an_empty_file_and_a_cancel_no_file) {
    data.write("velmor.DEX", "$60.02\n");
    cancel = true;
    run({"VELMEXTRACTR"});
    EXPECT_FALSE(std::filesystem::exists(csv));
    cancel = false;
    run({"VELMEXTRACTR"});
    EXPECT_EQ(Csv(), "");
    EXPECT_TRUE(Printed("Liczba wyodrębnionych rekordów:0"));

    std::filesystem::remove(data.path("velmor.DEX"));
    std::filesystem::remove(csv);
    EXPECT_EQ(run({"VELMEXTRACTR"}), RTERROR) << "a missing template fails the command";
    EXPECT_TRUE(Printed("velmor.DEX: Pliku nie znaleziono"));
    EXPECT_FALSE(std::filesystem::exists(csv));

    // An empty template file is named with its line, makes no file and
    // fails the command.
    data.write("velmor.DEX", "");
    EXPECT_EQ(run({"VELMEXTRACTR"}), RTERROR);
    EXPECT_TRUE(Printed(data.path("velmor.DEX") + ":1: brak wiersza wzorca")) << transcript();
    EXPECT_FALSE(std::filesystem::exists(csv));
}

// Room names holding the separator, line breaks and quotes: each label
// is one record, each value one field, as a spreadsheet reads them.
TEST_F(RoomExtractTest, names_holding_separators_line_breaks_or_quotes_stay_one_field) {
    const std::string names[] = {"Kuchnia;\nJadalnia, spiżarnia", "Pokój \"dzienny\"\r\nz aneksem",
                                 "Łazienka"};
    for (const std::string& name : names) Label(125000.0, 450.0, 3.375e6, name);
    for (const char* pattern : {"$75.00;$60.02;$85.00\n", "$75.00,$60.02,$85.00"}) {
        data.write("velmor.DEX", pattern);
        run({"VELMEXTRACTR"});
        ASSERT_TRUE(Printed("Liczba wyodrębnionych rekordów:3"));
        const char separator = pattern[6];
        const auto rows = ReadCsvRows(csv, separator);
        if (!rows) GTEST_SKIP() << "no Python to read the file";
        std::vector<std::vector<std::string>> expected;
        for (const std::string& name : names) expected.push_back({name, "12.50", "TMS_TAB1"});
        EXPECT_EQ(*rows, expected) << pattern << Csv();
    }
}

// The extract is an export written whole: a link planted under its name
// is replaced (what it pointed at stays as it was), and records that
// cannot be written (a file-size limit) leave the old file whole and fail
// the command with the writer's reason.
TEST_F(RoomExtractTest, an_extract_replaces_a_link_and_never_leaves_half_a_file) {
    data.write("velmor.DEX", "$75.00;$60.02\n");
    for (int i = 0; i < 20; ++i)
        Label(125000.0, 450.0, 3.375e6, "Pokój o długiej nazwie " + std::to_string(i));
    data.write("notes.txt", "notatki użytkownika\n");
    std::filesystem::create_symlink(data.path("notes.txt"), csv);
    EXPECT_EQ(run({"VELMEXTRACTR"}), RTNORM);
    EXPECT_FALSE(std::filesystem::is_symlink(csv));
    EXPECT_EQ(data.read("notes.txt"), "notatki użytkownika\n");
    EXPECT_NE(Csv().find("Pokój o długiej nazwie 19;12.50"), std::string::npos) << Csv();

    data.write("out.csv", "stare rekordy\n");
    // A file-size limit below the records: the write fails, as on a full
    // disk; the command fails naming the file and says no count.
    EXPECT_TRUE(trueUnderFileSizeLimit(64, [&] {
        const std::size_t before = transcript().size();
        const int rc = run({"VELMEXTRACTR"});
        const std::string said = transcript().substr(before);
        return rc == RTERROR && said.find("nie można zapisać " + csv) != std::string::npos &&
               said.find("Liczba wyodrębnionych rekordów") == std::string::npos;
    }));
    EXPECT_EQ(Csv(), "stare rekordy\n");
    EXPECT_TRUE(temporaryFilesBeside(csv).empty());
}

// A text that a spreadsheet would take for a formula is written as text;
// numbers, negative ones too, stay numbers.
TEST_F(RoomExtractTest, a_formula_like_name_is_written_as_text) {
    const std::string names[] = {
        "=HYPERLINK(\"http://x\";\"y\")", "+1", "-2+3", "@SUM(A1)", "\tx", "Łazienka"};
    for (const std::string& name : names) Label(-125000.0, 450.0, 3.375e6, name);
    data.write("velmor.DEX", "$75.00;$60.02\n");
    run({"VELMEXTRACTR"});
    const auto rows = ReadCsvRows(csv, ';');
    if (!rows) GTEST_SKIP() << "no Python to read the file";
    std::vector<std::vector<std::string>> expected;
    for (const std::string& name : names)
        expected.push_back({name == "Łazienka" ? name : "'" + name, "-12.50"});
    EXPECT_EQ(*rows, expected) << Csv();
}

}  // namespace
