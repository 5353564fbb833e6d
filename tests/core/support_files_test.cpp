// The configuration file's key matching, pattern-file definitions and the
// line reader: exact keys, values that must be present, prefix names, and
// lines read whole without their line ends.
#include "core/support_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "host/ads/transcript.h"
#include "host/util/findfile.h"
#include "host/win/kept_files.h"
#include "tests/host/kept_file_folders.h"
#include "tests/host/win_testdir.h"

TEST(ConfigFile, key_must_match_exactly_and_be_followed_by_equals) {
    const std::vector<std::string> lines = {
        "# NUM_INF_VANI=1", "NUM_INF_VANI =2",        "NUM_INF_VANIX=4",
        "num_inf_vani=5",   "NUM_INF_VANI= 3 pokoje", "NUM_INF_VANI=6",
    };
    EXPECT_EQ(ConfigIntFromLines(lines, "NUM_INF_VANI"), 3);
    EXPECT_EQ(ConfigIntFromLines(lines, "STR_INF_VANI"), std::nullopt);
    EXPECT_EQ(ConfigIntFromLines({"STR_INF_VANI=-75"}, "STR_INF_VANI"), -75);
    // A line whose value is no number does not match; a later one does.
    EXPECT_EQ(ConfigIntFromLines({"STR_INF_VANI=abc", "STR_INF_VANI=7"}, "STR_INF_VANI"), 7);
    EXPECT_EQ(ConfigIntFromLines({"STR_INF_VANI=99999999999"}, "STR_INF_VANI"), std::nullopt);
}

TEST(ConfigFile, empty_string_value_does_not_match_a_later_one_does) {
    const std::vector<std::string> lines = {"PATHCATALOG=", "PATHCATALOG=C:\\Katalog bloków\\",
                                            "PATHCATALOG=x"};
    EXPECT_EQ(ConfigStringFromLines(lines, "PATHCATALOG"), "C:\\Katalog bloków\\");
    EXPECT_EQ(ConfigStringFromLines({"PATHCATALOG="}, "PATHCATALOG"), std::nullopt);
    // The rest of the line is the value, blanks included, however long.
    const std::string longValue = " " + std::string(1000, 'k');
    EXPECT_EQ(ConfigStringFromLines({"PATHCATALOG=" + longValue}, "PATHCATALOG"), longValue);
}

TEST(ConfigFile, shipped_file_gives_its_numbers) {
    std::optional<LineCursor> cfg = OpenLineCursor(std::string(VELM_SOURCE_DIR) + "/support/VELMDCONFIG.CFG");
    ASSERT_TRUE(cfg);
    EXPECT_EQ(ConfigIntFromLines(cfg->file->lines, "STR_INF_VANI"), 75);
    EXPECT_EQ(ConfigIntFromLines(cfg->file->lines, "NUM_INF_VANI"), 78);
    EXPECT_EQ(ConfigStringFromLines(cfg->file->lines, "PATHCATALOG"), std::nullopt);
}

TEST(PatternFile, definition_name_must_equal_the_asked_name) {
    const std::vector<std::string> lines = {";; comment", "*ANSI31, ANSI Iron, Brick, Stone masonry",
                                            "45, 0,0, 0,.125", "*SOLID"};
    EXPECT_FALSE(PatternLinesDefine(lines, "ANSI3"));
    EXPECT_TRUE(PatternLinesDefine(lines, "ansi31"));
    EXPECT_TRUE(PatternLinesDefine(lines, "SOLID"));
    EXPECT_FALSE(PatternLinesDefine(lines, "ANSI32"));
    EXPECT_FALSE(PatternLinesDefine(lines, "ANSI311"));
    EXPECT_FALSE(PatternLinesDefine({"ANSI31"}, "ANSI31"));
}

TEST(PatternFile, host_standard_file_defines_its_patterns) {
    std::optional<LineCursor> pat =
        OpenLineCursor(std::string(VELM_SOURCE_DIR) + "/support/host/zwcadiso.pat");
    ASSERT_TRUE(pat);
    EXPECT_TRUE(PatternLinesDefine(pat->file->lines, "ANSI31"));
}

TEST(LineReader, strips_line_ends_only_and_keeps_a_last_line_whole) {
    TestDir dir;
    const std::string tail(5000, 'x');
    dir.write("a.txt", "one\r\ntwo\r\n\r\n" + tail + "z");
    std::optional<LineCursor> cursor = OpenLineCursor(dir.path("a.txt"));
    ASSERT_TRUE(cursor);
    std::string line;
    std::vector<std::string> lines;
    while (ReadLineNoEol(line, *cursor)) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "", tail + "z"}));
    EXPECT_FALSE(ReadLineNoEol(line, *cursor));
    EXPECT_FALSE(OpenLineCursor(dir.path("missing.txt")));
}

// Silent faults: support files that are there but are not text.
TEST(SupportText, files_that_are_not_text_are_named_and_given_as_none) {
    TestDir dir;
    dir.write("nul.cfg", std::string("KEY=1\0\0", 7));
    dir.write("cp.cfg", "KEY=\xA3\xF3\x64\x9F\r\n");
    bool notText = false;
    EXPECT_FALSE(ReadSupportText(dir.path("nul.cfg"), &notText));
    EXPECT_TRUE(notText);
    EXPECT_NE(
        host::transcript().text().find("\nPlik nie jest plikiem tekstowym:" + dir.path("nul.cfg") + "\n"),
        std::string::npos);
    auto cp = ReadSupportText(dir.path("cp.cfg"), &notText);
    ASSERT_TRUE(cp);
    EXPECT_FALSE(notText);
    EXPECT_EQ(cp->lines, std::vector<std::string>{"KEY=Łódź"});
    EXPECT_FALSE(ReadSupportText(dir.path("missing.cfg"), &notText));
    EXPECT_FALSE(notText);
}

// The one rule of every support file written back: nothing written when
// nothing changed, nothing written over a file that was not read whole, and
// the file's own form and the bytes of the lines passed on kept.
TEST(SupportWriteBack, unchanged_lines_write_nothing_and_a_file_not_read_whole_is_named) {
    TestDir dir;
    dir.write("a.def", "x\r\ny\r\n");
    SupportFileRead read{dir.path("a.def"), *ReadSupportText(dir.path("a.def")), std::nullopt};
    dir.write("a.def", "changed meanwhile\n");  // a write would put the lines read back
    EXPECT_EQ(WriteSupportLines(read, {"x", "y"}), SupportWrite::Unchanged);
    EXPECT_EQ(dir.read("a.def"), "changed meanwhile\n");

    read.fault = SupportFault{2, "zły wiersz"};
    EXPECT_EQ(WriteSupportLines(read, {"x", "z"}), SupportWrite::Refused);
    EXPECT_EQ(dir.read("a.def"), "changed meanwhile\n");
    EXPECT_EQ(host::transcript().lastMessage(),
              dir.path("a.def") + ":2: zły wiersz (plik nie został zapisany)");
}

TEST(SupportWriteBack, a_changed_file_keeps_its_form_and_the_bytes_of_lines_passed_on) {
    TestDir dir;
    dir.write("b.def", "Ściana z cegły\r\nCeg\xB3\x61\r\nkoniec");
    SupportFileRead read{dir.path("b.def"), *ReadSupportText(dir.path("b.def")), std::nullopt};
    ASSERT_EQ(WriteSupportLines(read, {"nowy", "Ściana z cegły", "Cegła", "koniec"}), SupportWrite::Written);
    EXPECT_EQ(dir.read("b.def"), "nowy\r\nŚciana z cegły\r\nCeg\xB3\x61\r\nkoniec");

    dir.write("c.def", "\xA3\xF3\x64\x9F\n");  // Windows-1250
    read = SupportFileRead{dir.path("c.def"), *ReadSupportText(dir.path("c.def")), std::nullopt};
    ASSERT_EQ(WriteSupportLines(read, {"Łódź", "żółć"}), SupportWrite::Written);
    EXPECT_EQ(dir.read("c.def"), "\xA3\xF3\x64\x9F\n\xBF\xF3\xB3\xE6\n");
}

TEST(SupportWriteBack, stray_bytes_that_would_turn_the_file_into_another_code_page_are_written_as_read) {
    // Two UTF-8 characters outweigh the stray byte; the edit takes one of
    // them away and writes an "Ł", whose second byte that code page lacks.
    TestDir dir;
    dir.write("d.def", "Ściana z cegły\nCeg\xB3\x61\nkoniec\n");
    SupportFileRead read{dir.path("d.def"), *ReadSupportText(dir.path("d.def")), std::nullopt};
    ASSERT_EQ(WriteSupportLines(read, {"Ł", "Cegła", "koniec"}), SupportWrite::Written);
    const std::optional<host::TextFile> back = ReadSupportText(dir.path("d.def"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->lines, (std::vector<std::string>{"Ł", "Cegła", "koniec"}));

    // A file read as Windows-1250 for its stray bytes, whose edit takes them
    // away: what is left would read as UTF-8.
    dir.write("e.def", "Mąka\n\xB3\xB3\n");
    read = SupportFileRead{dir.path("e.def"), *ReadSupportText(dir.path("e.def")), std::nullopt};
    ASSERT_EQ(read.file.encoding, host::TextEncoding::Windows1250);
    const std::vector<std::string> edited{read.file.lines[0], "x"};
    ASSERT_EQ(WriteSupportLines(read, edited), SupportWrite::Written);
    EXPECT_EQ(ReadSupportText(dir.path("e.def")).value().lines, edited);
}

TEST(ConfigFile, a_number_key_whose_only_value_is_no_number_is_named_with_its_line) {
    EXPECT_FALSE(ConfigIntFault({"NUM=", "NUM=x", "NUM=78"}, "NUM"));
    EXPECT_FALSE(ConfigIntFault({"# NUM=x", "NUM= "}, "NUM"));
    std::optional<SupportFault> fault = ConfigIntFault({"# opis", "NUM=siedem", "NUM="}, "NUM");
    ASSERT_TRUE(fault);
    EXPECT_EQ(fault->line, 2u);
    EXPECT_EQ(fault->what, "wartość NUM nie jest liczbą całkowitą");

    TestDir dir;
    dir.write("VELMDCONFIG.CFG", "STR_INF_VANI=75\nNUM_INF_VANI=siedemdziesiąt osiem\n");
    const std::string folder = dir.path();
    host::setSupportPathProvider([folder] { return std::vector<std::string>{folder}; });
    const std::size_t before = host::transcript().text().size();
    EXPECT_EQ(ReadConfigInt("STR_INF_VANI"), 75);
    EXPECT_EQ(ReadConfigInt("NUM_INF_VANI"), -1);
    const std::string said = host::transcript().text().substr(before);
    EXPECT_NE(said.find("VELMDCONFIG.CFG:2: wartość NUM_INF_VANI nie jest liczbą całkowitą"),
              std::string::npos)
        << said;
    EXPECT_EQ(said.find("STR_INF_VANI"), std::string::npos);
    host::setSupportPathProvider(nullptr);
}

// A support text decoded by one command serves the next while its file is
// as it was; rewritten, replaced or removed (a later folder's then found),
// it is read again. A file that is no text is said again every time.
TEST(SupportText, a_kept_text_serves_until_its_file_changes_is_replaced_or_removed) {
    TestDir dir;
    UseTwoSupportFolders(dir);
    const std::string file = dir.path("first/VELMDCONFIG.CFG");
    const auto age = AgeFile;
    dir.write("second/VELMDCONFIG.CFG", "NUM_INF_VANI=9\n");
    dir.write("first/VELMDCONFIG.CFG", "NUM_INF_VANI=1\n");
    age(file);
    EXPECT_EQ(ReadConfigInt("NUM_INF_VANI"), 1);
    host::forgetCommandKeptFileValues();
    EXPECT_EQ(ReadConfigInt("NUM_INF_VANI"), 1);

    dir.write("first/VELMDCONFIG.CFG", "NUM_INF_VANI=2\n");  // the same size
    EXPECT_EQ(ReadConfigInt("NUM_INF_VANI"), 2);
    age(file);
    EXPECT_EQ(ReadConfigInt("NUM_INF_VANI"), 2);

    dir.write("first/NEW.CFG", "NUM_INF_VANI=3\n");
    std::filesystem::last_write_time(dir.path("first/NEW.CFG"), std::filesystem::last_write_time(file));
    std::filesystem::rename(dir.path("first/NEW.CFG"), file);
    EXPECT_EQ(ReadConfigInt("NUM_INF_VANI"), 3);

    host::forgetCommandKeptFileValues();
    std::filesystem::remove(file);
    EXPECT_EQ(ReadConfigInt("NUM_INF_VANI"), 9);

    dir.write("nul.cfg", std::string("KEY=1\0\0", 7));
    age(dir.path("nul.cfg"));
    for (int i = 0; i < 2; ++i) {
        const std::size_t before = host::transcript().text().size();
        EXPECT_FALSE(ReadSupportText(dir.path("nul.cfg")));
        EXPECT_NE(host::transcript().text().find("Plik nie jest plikiem tekstowym", before),
                  std::string::npos);
        host::forgetCommandKeptFileValues();
    }
    host::setSupportPathProvider(nullptr);
    host::forgetKeptFileValues();
}

// Keys read together give, and say, what each read alone gives and says:
// numbers, a value that is no number, a file that is no text (said for each
// key), no file at all.
TEST(ConfigFile, keys_read_together_give_and_say_what_each_alone_does) {
    TestDir dir;
    const std::string folder = dir.path();
    host::setSupportPathProvider([folder] { return std::vector<std::string>{folder}; });
    const auto said = [](const std::function<void()>& read) {
        const std::size_t before = host::transcript().text().size();
        read();
        return host::transcript().text().substr(before);
    };
    const std::vector<std::string> contents = {"STR_INF_VANI=75\nNUM_INF_VANI=78\n",
                                               "STR_INF_VANI=x\nNUM_INF_VANI=siedem\n", "NUM_INF_VANI=3\n",
                                               std::string("STR_INF_VANI=1\0\0", 16), ""};
    for (std::size_t i = 0; i < contents.size(); ++i) {
        if (i + 1 < contents.size())
            dir.write("VELMDCONFIG.CFG", contents[i]);
        else
            std::filesystem::remove(dir.path("VELMDCONFIG.CFG"));
        host::forgetKeptFileValues();
        std::vector<int> alone;
        const std::string aloneSaid = said([&] {
            alone = {ReadConfigInt("STR_INF_VANI"), ReadConfigInt("NUM_INF_VANI")};
        });
        host::forgetKeptFileValues();
        std::vector<int> together;
        const std::string togetherSaid = said([&] {
            together = ReadConfigInts({"STR_INF_VANI", "NUM_INF_VANI"});
        });
        EXPECT_EQ(together, alone) << i;
        EXPECT_EQ(togetherSaid, aloneSaid) << i;
    }
    host::setSupportPathProvider(nullptr);
}
