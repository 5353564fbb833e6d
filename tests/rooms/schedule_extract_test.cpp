// VELMXABC: the CSV of one floor's openings by the pattern of
// "VELMABC.DEX", its file name and what it leaves on a cancel or an error.
#include <filesystem>
#include <string>

#include "host/ads/sysvars.h"
#include "host/win/files.h"
#include "tests/host/win_testdir.h"
#include "tests/rooms/csv_reader.h"
#include "tests/rooms/schedules_fixture.h"

namespace {

class ScheduleExtractTest : public SchedulesTest {
protected:
    void SetUp() override {
        SchedulesTest::SetUp();
        Opening("PORTE", 1, 0.0, P(0, 0), 80.0);
        Opening("FINESTRE", 2, 0.0, P(0, 20), 120.5);
        Opening("APERTURE", 3, 0.0, P(0, 40), 60.0);
        Opening("PORTE", 9, 300.0, P(0, 60), 70.0);
        csv = data.path("out.csv");
    }
    std::string Csv() const {
        std::string bytes;
        host::readWholeFile(csv, bytes);
        return bytes;
    }
    std::string csv;
};

TEST_F(ScheduleExtractTest, one_line_per_opening_of_the_floor) {
    AnswerFile(csv);
    run({"VELMXABC", ""});
    EXPECT_EQ(Csv(),
              "PORTE;1;P1;80.00;205.00;;\n"
              "FINESTRE;2;P1;120.50;205.00;;\n"
              "APERTURE;3;P1;60.00;205.00;;\n");
    EXPECT_NE(transcript().find("3 wyodrębnione rekordy"), std::string::npos);

    // A picked entity gives its floor; one without a level is refused.
    run({"_LINE", "0,500", "50,500", ""});
    data.write("VELMABC.DEX", "stała linia\n");
    run({"VELMXABC", "!pick 25,500", "!pick 0,60"});
    EXPECT_NE(transcript().find("Wybrany obiekt nie jest identyfikowany jako podłoga"), std::string::npos);
    EXPECT_EQ(Csv(), "stała linia\n");
}

TEST_F(ScheduleExtractTest, offered_name_and_cancel) {
    std::string offered;
    host::setSysVar("DWGNAME", host::SysVarValue{std::string("plan.dwg")}, false);
    AnswerFile("", &offered);
    run({"VELMXABC"});
    EXPECT_EQ(offered, "plan");
    host::setSysVar("DWGNAME", host::SysVarValue{std::string("a.bc")}, false);
    run({"VELMXABC"});
    EXPECT_EQ(offered, "a.bc");

    data.write("out.csv", "dane użytkownika\n");
    AnswerFile(csv);
    run({"VELMXABC", "!cancel"});
    EXPECT_EQ(Csv(), "dane użytkownika\n");
    run({"VELMXABC", "!pick 900,900"});
    EXPECT_EQ(Csv(), "dane użytkownika\n");
    EXPECT_TRUE(temporaryFilesBeside(csv).empty());
    const std::string other = data.path("nowy.csv");
    AnswerFile(other);
    run({"VELMXABC", "!cancel"});
    EXPECT_EQ(GetFileAttributesW(other.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ScheduleExtractTest, pattern_errors_keep_earlier_lines) {
    AnswerFile(csv);
    data.write("VELMABC.DEX", "");
    EXPECT_EQ(run({"VELMXABC"}), RTERROR);
    EXPECT_NE(transcript().find("Błąd w pliku VELMABC.DEX"), std::string::npos);
    std::filesystem::remove(data.path("VELMABC.DEX"));
    run({"VELMXABC"});
    EXPECT_NE(transcript().find("VELMABC.DEX: Pliku nie znaleziono"), std::string::npos);

    // 190 is no schedule variable: the first opening already fails.
    // It fails the command as an empty pattern does.
    data.write("VELMABC.DEX", "$064.00;$190.00\n");
    EXPECT_EQ(run({"VELMXABC", ""}), RTERROR);
    EXPECT_EQ(Csv(), "");
    // A token cut short at the line's end.
    data.write("VELMABC.DEX", "$064.00;$065.0\n");
    run({"VELMXABC", ""});
    EXPECT_EQ(Csv(), "");
    std::size_t errors = 0;
    for (std::size_t at = 0; (at = transcript().find("Błąd w pliku VELMABC.DEX", at)) != std::string::npos;
         ++at)
        ++errors;
    EXPECT_EQ(errors, 3u);
}

}  // namespace

namespace {

// Damaged patterns are named with the file and line before a file is asked.
TEST_F(ScheduleExtractTest, a_damaged_pattern_is_named_with_its_column_before_the_file_is_asked) {
    data.write("VELMABC.DEX", "$064.00;$0x5.00;\n");
    const std::size_t before = transcript().size();
    run({"VELMXABC"});
    const std::string said = transcript().substr(before);
    EXPECT_NE(said.find("VELMABC.DEX:1: Błąd w pliku VELMABC.DEX: pole w kolumnie 9 nie ma postaci $NNN.DD"),
              std::string::npos)
        << said;
    EXPECT_FALSE(std::filesystem::exists(csv));
    data.write("VELMABC.DEX", "");
    run({"VELMXABC"});
    EXPECT_NE(transcript().find("VELMABC.DEX:1: Błąd w pliku VELMABC.DEX: brak wiersza wzorca"),
              std::string::npos);
}

// A text of the record holding the separator, a line break and quotes
// stays one field of its opening's one record.
TEST_F(ScheduleExtractTest, a_text_holding_separators_line_breaks_or_quotes_stays_one_field) {
    const std::string text = "Drzwi;\n\"wejściowe\", dwuskrzydłowe";
    Opening("PORTE", 5, 0.0, P(0, 80), 90.0, 0.0, 1.8, text.c_str());
    for (const char* pattern : {"$058.00;$064.00;$076.00\n", "$058.00,$064.00,$076.00\n"}) {
        data.write("VELMABC.DEX", pattern);
        AnswerFile(csv);
        run({"VELMXABC", ""});
        const auto rows = ReadCsvRows(csv, pattern[7]);
        if (!rows) GTEST_SKIP() << "no Python to read the file";
        const std::vector<std::vector<std::string>> expected = {
            {"PORTE", "1", ""}, {"FINESTRE", "2", ""}, {"APERTURE", "3", ""}, {"PORTE", "5", text}};
        EXPECT_EQ(*rows, expected) << pattern << Csv();
    }
}

// An export: a link planted under the name is replaced, what it points at
// stays as it was; a text a spreadsheet would take for a formula is written
// as text, numbers stay numbers.
TEST_F(ScheduleExtractTest, a_link_under_the_name_is_replaced_and_a_formula_like_text_stays_text) {
    data.write("notes.txt", "notatki\n");
    std::filesystem::create_symlink(data.path("notes.txt"), csv);
    Opening("PORTE", 5, 0.0, P(0, 80), 90.0, 0.0, 1.8, "=HYPERLINK(\"http://x\")");
    Opening("PORTE", 6, 0.0, P(0, 100), 90.0, 0.0, 1.8, "-drzwi");
    data.write("VELMABC.DEX", "$058.00;$064.00;$076.00\n");
    AnswerFile(csv);
    EXPECT_EQ(run({"VELMXABC", ""}), RTNORM);
    EXPECT_FALSE(std::filesystem::is_symlink(csv));
    EXPECT_EQ(data.read("notes.txt"), "notatki\n");
    EXPECT_EQ(
        Csv(),
        "PORTE;1;\nFINESTRE;2;\nAPERTURE;3;\nPORTE;5;\"'=HYPERLINK(\"\"http://x\"\")\"\nPORTE;6;'-drzwi\n");
}

}  // namespace
