// The catalogue file: what is written reads back the same, a damaged group
// loses the whole catalogue (so nothing half-read is written back), and
// what the reader cannot take after the groups survives a rewrite.
#include "objects/dialogs/catalog_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

class CatalogFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / ("velm_catalog_file_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string folder() const { return dir.string(); }
    std::string file() const { return (dir / "catalog.ini").string(); }
    std::string bytes() const {
        std::ifstream in(file(), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // A group line and its 20 default entry lines.
    static std::vector<std::string> group(const std::string& name, int entries = kCatalogSlots) {
        std::vector<std::string> out{"#=" + name};
        for (int k = 0; k < entries; ++k) out.push_back(name + std::to_string(k) + "=?,?,R,R,R,N,\"\"");
        return out;
    }
    static std::vector<std::string> catalogue(std::initializer_list<std::vector<std::string>> parts) {
        std::vector<std::string> out{"[CATALOG]"};
        for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
        return out;
    }

    std::filesystem::path dir;
};

}  // namespace

TEST_F(CatalogFile, a_written_catalogue_reads_back_equal_with_cr_lf_line_ends) {
    std::ofstream(dir / "Szafa.dwg") << "x";
    CatalogList list;
    CatalogGroup* first = list.Append("Meble");
    CatalogGroup* second = list.Append("Łazienka");
    CatalogEntry& e = first->entries[3];
    e = {"Szafa", "2DFURNITURE",       "!",   "1.500000", "2.000000", "0.500000",
         'S',     "Szafa dwudrzwiowa", false, true};
    second->entries[19].description = "Wanna narożna";
    second->entries[19].rotation = "90.000000";
    ASSERT_TRUE(WriteCatalogFile(file(), list));
    EXPECT_NE(bytes().find("[CATALOG]\r\n#=Meble\r\nMeble0=?,?,R,R,R,N,\"\"\r\n"), std::string::npos);
    EXPECT_NE(bytes().find("Szafa=2DFURNITURE,!,1.500000,2.000000,0.500000,S,\"Szafa dwudrzwiowa\"1\r\n"),
              std::string::npos);

    CatalogList back;
    ReadCatalogFile(back, folder(), file());
    ASSERT_FALSE(back.empty());
    EXPECT_EQ(FormatCatalogLines(back), FormatCatalogLines(list));
    const CatalogEntry& r = back.head->entries[3];
    EXPECT_TRUE(r.currentFloor);
    EXPECT_TRUE(r.filePresent);  // the block file is there
    EXPECT_FALSE(back.head->entries[4].filePresent);
    EXPECT_EQ(r.explode, 'S');
    EXPECT_EQ(back.Find("ŁAZIENKA"), back.head->next);
    EXPECT_EQ(back.head->next->entries[19].blockName, "Łazienka19");
}

TEST_F(CatalogFile, a_group_cut_short_or_a_short_entry_line_leaves_nothing) {
    CatalogList list;
    ParseCatalogLines(list, folder(), catalogue({group("A"), group("B", 19)}));
    EXPECT_TRUE(list.empty());
    std::vector<std::string> lines = catalogue({group("A")});
    lines[5] = "A4=?,?,R,R,R";  // six fields
    ParseCatalogLines(list, folder(), lines);
    EXPECT_TRUE(list.empty());
    lines[5] = "A4=?,,R,R,R,N,\"\"";  // an empty field
    ParseCatalogLines(list, folder(), lines);
    EXPECT_TRUE(list.empty());
    ParseCatalogLines(list, folder(), group("A"));  // no header
    EXPECT_TRUE(list.empty());
}

TEST_F(CatalogFile, entries_without_description_group_names_with_blanks_and_long_lines) {
    std::vector<std::string> lines = catalogue({group("Meble")});
    lines.insert(lines.begin(), "; a line before the header");
    lines[1] = "[catalog] anything";
    lines[2] = "#=  Meble kuchenne";
    lines[3] = "Blat=?,?,R,R,R,N";  // seven fields, no description
    const std::string longText(400, 'x');
    lines[4] = "Dlugi=?,?,R,R,R,N,\"" + longText + "\"1";
    CatalogList list;
    ParseCatalogLines(list, folder(), lines);
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.head->name, "Meble");
    EXPECT_EQ(list.head->entries[0].blockName, "Blat");
    EXPECT_EQ(list.head->entries[0].description, "");
    EXPECT_EQ(list.head->entries[1].description, longText);
    EXPECT_TRUE(list.head->entries[1].currentFloor);
    EXPECT_FALSE(list.head->entries[0].currentFloor);
}

TEST_F(CatalogFile, lines_after_the_groups_that_are_no_group_survive_a_rewrite) {
    std::vector<std::string> lines =
        catalogue({group("A"), {"#=", "B0=?,?,R,R,R,N,\"\"", "; uwaga"}, {"", " "}});
    CatalogList list;
    ParseCatalogLines(list, folder(), lines);
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.head->next, nullptr);
    const std::vector<std::string> expectKept{"#=", "B0=?,?,R,R,R,N,\"\"", "; uwaga"};
    EXPECT_EQ(list.keptLines, expectKept);
    list.Append("C");
    const std::vector<std::string> out = FormatCatalogLines(list);
    ASSERT_EQ(out.size(), 1u + 21u + 21u + 3u);
    EXPECT_EQ(out[22], "#=C");
    EXPECT_EQ(std::vector<std::string>(out.end() - 3, out.end()), expectKept);
}

TEST_F(CatalogFile, a_catalogue_that_does_not_read_names_the_line_where_it_stopped) {
    const struct {
        std::vector<std::string> lines;
        std::size_t line;
        const char* what;
    } damaged[] = {
        {{}, 1, "plik jest pusty"},
        {{"; nic"}, 1, "brak wiersza [CATALOG]"},
        {{"[CATALOG]"}, 2, "brak wiersza grupy"},
        {catalogue({group("A", 7)}), 10, "grupa A kończy się po 7 z 20 wpisów"},
        // A line lost: the next group's line stands where an entry should.
        {catalogue({group("A", 19), group("B")}), 22, "wiersz wpisu grupy A"},
        // An explode letter that is no one byte.
        {catalogue({group("A", 3), {"A3=?,?,R,R,R,Ś,\"\""}, group("B", 16)}), 6, "wiersz wpisu grupy A"},
    };
    for (const auto& d : damaged) {
        CatalogList list;
        ParseCatalogLines(list, folder(), d.lines);
        EXPECT_TRUE(list.empty()) << d.what;
        ASSERT_TRUE(list.fault) << d.what;
        EXPECT_EQ(list.fault->line, d.line) << d.what;
        EXPECT_NE(list.fault->what.find(d.what), std::string::npos) << list.fault->what;
    }
}

TEST_F(CatalogFile, a_catalogue_read_is_written_back_only_where_it_was_edited) {
    std::string text = "; przed nagłówkiem\n[catalog]\n#=A\n";
    for (int k = 0; k < kCatalogSlots; ++k) text += "A" + std::to_string(k) + "=?,?,R,R,R,N,\"\"\n";
    text[text.size() - 4] = '\xb3';  // a stray byte in the last entry line
    text += "; dopisane\n\n";
    text.pop_back();  // no final line end
    std::ofstream(file(), std::ios::binary) << text;
    CatalogList list;
    ReadCatalogFile(list, folder(), file());
    ASSERT_FALSE(list.empty());
    ASSERT_TRUE(WriteCatalogFile(file(), list));
    EXPECT_EQ(bytes(), text);
    list.head->entries[1].description = "Krzesło";
    ASSERT_TRUE(WriteCatalogFile(file(), list));
    std::string edited = text;
    const std::string was = "A1=?,?,R,R,R,N,\"\"\n";
    edited.replace(edited.find(was), was.size(), "A1=?,?,R,R,R,N,\"Krzesło\"\n");
    EXPECT_EQ(bytes(), edited);
}

TEST_F(CatalogFile, a_catalogue_not_read_whole_is_not_written_over) {
    std::vector<std::string> lines = catalogue({group("A", 12)});
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    std::ofstream(file(), std::ios::binary) << text;
    CatalogList list;
    ReadCatalogFile(list, folder(), file());
    ASSERT_TRUE(list.empty());
    list.Append("B");
    EXPECT_FALSE(WriteCatalogFile(file(), list));
    EXPECT_EQ(bytes(), text);
    // Nor is one a list made in memory was never read from.
    CatalogList other;
    other.Append("C");
    EXPECT_FALSE(WriteCatalogFile(file(), other));
    EXPECT_EQ(bytes(), text);
}

TEST_F(CatalogFile, an_edit_that_tips_how_the_encoding_is_told_still_reads_back) {
    // Two byte-order marks and stray bytes beside UTF-8 text: with one
    // description less, what was written would no longer read as text.
    std::filesystem::copy_file(
        std::string(VELM_SOURCE_DIR) + "/tests/objects/dialogs/data/catalog_encoding_tipped.ini", file());
    CatalogList list;
    ReadCatalogFile(list, folder(), file());
    ASSERT_FALSE(list.empty());
    list.head->entries[1].description = "Opis";
    ASSERT_TRUE(WriteCatalogFile(file(), list));
    CatalogList back;
    ReadCatalogFile(back, folder(), file());
    ASSERT_FALSE(back.empty()) << (back.fault ? back.fault->what : "");
    EXPECT_EQ(FormatCatalogLines(back), FormatCatalogLines(list));
}
