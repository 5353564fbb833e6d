// The layer catalogue file: rows, group paths, empty fields, writing an
// unchanged table back to the same bytes in either encoding, damaged rows,
// and the lines a changed table keeps.
#include "core/layer_catalogue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "host/ads/transcript.h"
#include "host/util/findfile.h"
#include "host/util/nocase.h"
#include "host/win/kept_files.h"
#include "host/win/textfile.h"
#include "tests/host/kept_file_folders.h"
#include "tests/host/win_testdir.h"

namespace {

AAR_LAYERC Parse(std::initializer_list<std::string> lines) {
    AAR_LAYERC table;
    table.ParseLayerDefLines(std::vector<std::string>(lines));
    return table;
}

}  // namespace

TEST(LayerCatalogue, data_row_gives_all_six_fields) {
    AAR_LAYERC t = Parse({"2DWALLS,MURI,1,X,DASHED,25"});
    ASSERT_EQ(t.size(), 1u);
    const AA_LAYERC* row = t.FindKey("2dwalls");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->layerName, "MURI");
    EXPECT_EQ(row->color, 1);
    EXPECT_EQ(row->spare, "X");
    EXPECT_EQ(row->linetype, "DASHED");
    EXPECT_EQ(row->lineWeight, 25);
}

TEST(LayerCatalogue, empty_field_does_not_hide_the_fields_after_it) {
    AAR_LAYERC t = Parse({"2DWALLS,MURI,1,,DASHED,25", "KEY,LAYER", "K2,L2,abc,,,"});
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].spare, "");
    EXPECT_EQ(t[0].linetype, "DASHED");
    EXPECT_EQ(t[0].lineWeight, 25);
    // Missing fields keep the reader's defaults; no line end in the name.
    EXPECT_EQ(t[1].layerName, "LAYER");
    EXPECT_EQ(t[1].color, 256);
    EXPECT_EQ(t[1].linetype, "Continuous");
    EXPECT_EQ(t[1].lineWeight, -3);
    EXPECT_EQ(t[2].color, 256);
    EXPECT_EQ(t[2].linetype, "Continuous");
}

TEST(LayerCatalogue, group_lines_set_the_group_path_of_the_rows_below) {
    AAR_LAYERC t =
        Parse({"A0,L", "***EARLY,", "A1,L", "**WALLS,", "A2,L", "***OUTER,", "A3,L", "**ROOFS,", "A4,L"});
    ASSERT_EQ(t.size(), 9u);
    EXPECT_EQ(t[0].groupPath, "");
    EXPECT_EQ(t[1].key, "***EARLY");
    EXPECT_EQ(t[2].groupPath, "%EARLY");
    EXPECT_EQ(t[3].groupPath, "");
    EXPECT_EQ(t[3].key, "**WALLS");
    EXPECT_EQ(t[4].groupPath, "WALLS");
    EXPECT_EQ(t[5].groupPath, "");
    EXPECT_EQ(t[6].groupPath, "WALLS%OUTER");
    EXPECT_EQ(t[8].groupPath, "ROOFS");
    // A group name without its comma runs to the end of the line only.
    EXPECT_EQ(Parse({"**ŚCIANY", "K,L"})[1].groupPath, "ŚCIANY");
}

TEST(LayerCatalogue, unchanged_table_writes_back_every_field) {
    AAR_LAYERC t = Parse({"**WALLS,x", "KEY,LAYER", "", "2DWALLS,MURI,1,,DASHED,25"});
    EXPECT_EQ(t.FormatLayerDefLines(), (std::vector<std::string>{"**WALLS,", "KEY,LAYER,256,,Continuous,-3",
                                                                 "2DWALLS,MURI,1,,DASHED,25"}));
    AA_LAYERC fresh;
    EXPECT_EQ(fresh.color, 7);
    EXPECT_EQ(fresh.spare, " ");
    EXPECT_EQ(fresh.linetype, "Continuous");
    EXPECT_EQ(fresh.lineWeight, -3);
}

TEST(LayerCatalogue, round_trip_keeps_polish_names_in_utf8) {
    TestDir dir;
    const std::string text = "**Ściany,\r\n***Rzut,\r\n2DWALLS,Mury żółte,7,Ściany - lico,Continuous,50\r\n";
    dir.write("LAYERC.DEF", text);
    AAR_LAYERC t;
    ASSERT_TRUE(t.ReadLayerDefPath(dir.path("LAYERC.DEF")));
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[2].groupPath, "Ściany%Rzut");
    EXPECT_EQ(t[2].layerName, "Mury żółte");
    ASSERT_TRUE(t.WriteLayerDefPath(dir.path("LAYERC.DEF")));
    EXPECT_EQ(dir.read("LAYERC.DEF"), text);
}

TEST(LayerCatalogue, round_trip_keeps_windows_1250_bytes) {
    TestDir dir;
    const std::string text = host::encodeWindows1250("**Ściany,\n2DWALLS,Łuk,3,Ąę,Continuous,-1\n");
    dir.write("TCLAYERC.DEF", text);
    AAR_LAYERC t;
    ASSERT_TRUE(t.ReadLayerDefPath(dir.path("TCLAYERC.DEF")));
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[1].layerName, "Łuk");
    EXPECT_EQ(t[1].spare, "Ąę");
    EXPECT_EQ(t[1].groupPath, "Ściany");
    ASSERT_TRUE(t.WriteLayerDefPath(dir.path("TCLAYERC.DEF")));
    EXPECT_EQ(dir.read("TCLAYERC.DEF"), text);
}

TEST(LayerCatalogue, shipped_catalogues_parse_and_write_back_unchanged) {
    for (const char* name : {"LAYERC.DEF", "TCLAYERC.DEF"}) {
        const std::string path = std::string(VELM_SOURCE_DIR) + "/support/" + name;
        std::optional<host::TextFile> file = host::readTextFile(path);
        ASSERT_TRUE(file) << name;
        AAR_LAYERC t;
        ASSERT_TRUE(t.ReadLayerDefPath(path));
        ASSERT_FALSE(t.empty());
        for (const AA_LAYERC& row : t) {
            if (row.key.rfind("**", 0) == 0) continue;
            EXPECT_FALSE(row.layerName.empty()) << row.key;
            EXPECT_NE(row.color, 256) << row.key;
            EXPECT_GE(row.lineWeight, -3) << row.key;
        }
        std::vector<std::string> nonBlank;
        for (const std::string& line : file->lines)
            if (!line.empty()) nonBlank.push_back(line);
        EXPECT_EQ(t.FormatLayerDefLines(), nonBlank) << name;
    }
}

TEST(LayerCatalogue, damaged_rows_are_named_with_their_line_and_the_file_read_as_none) {
    EXPECT_FALSE(
        LayerDefFault({"**A,", "", "K,L,7,opis,DASHED,25", "K2,L2,,,,", "K3", "K4,L4, 256 ,x,y, -3"}));
    for (const char* name : {"LAYERC.DEF", "TCLAYERC.DEF"})
        EXPECT_FALSE(LayerDefFault(
            host::readTextFile(std::string(VELM_SOURCE_DIR) + "/support/" + name).value().lines))
            << name;
    const struct {
        std::vector<std::string> lines;
        std::size_t line;
        const char* what;
    } damaged[] = {
        {{"**A,", "K,L,czerwony,,DASHED,25"}, 2, "kolor warstwy"},
        {{"K,L,300"}, 1, "kolor warstwy"},
        {{"K,L,7", "", "K2,L2,7,x,DASHED,2,5"}, 3, "za dużo pól"},
        {{"K,L,7,x,DASHED,25mm"}, 1, "grubość linii"},
        {{"K,L,7", " ,L2,7"}, 2, "bez klucza"},
    };
    for (const auto& d : damaged) {
        std::optional<SupportFault> fault = LayerDefFault(d.lines);
        ASSERT_TRUE(fault) << d.what;
        EXPECT_EQ(fault->line, d.line) << d.what;
        EXPECT_NE(fault->what.find(d.what), std::string::npos) << fault->what;
    }

    TestDir dir;
    const std::string text = "**A,\nK,L,7,x,Continuous,25\nK2,L2,siedem,x,Continuous,25\n";
    dir.write("LAYERC.DEF", text);
    const std::string folder = dir.path();
    host::setSupportPathProvider([folder] { return std::vector<std::string>{folder}; });
    const std::size_t before = host::transcript().text().size();
    AAR_LAYERC t;
    t.push_back(AA_LAYERC{});
    EXPECT_EQ(t.ReadLayerDefFile("LAYERC.DEF"), 0);
    EXPECT_TRUE(t.empty());
    EXPECT_NE(host::transcript().text().find("LAYERC.DEF:3: kolor warstwy", before), std::string::npos);
    // Nor is such a file written over.
    t.ParseLayerDefLines({"**A,", "K,L,7,x,Continuous,25"});
    EXPECT_FALSE(t.WriteLayerDefPath(dir.path("LAYERC.DEF")));
    EXPECT_EQ(dir.read("LAYERC.DEF"), text);
    host::setSupportPathProvider(nullptr);
}

TEST(LayerCatalogue, a_changed_table_keeps_blank_lines_and_the_bytes_of_rows_it_left) {
    TestDir dir;
    dir.write("LAYERC.DEF", "**A,\r\n\r\nK1,L1,1\r\n\r\nK2,L2,2,,DASHED,13\r\n");
    AAR_LAYERC t;
    ASSERT_TRUE(t.ReadLayerDefPath(dir.path("LAYERC.DEF")));
    ASSERT_EQ(t.size(), 3u);
    t[2].color = 5;
    AA_LAYERC added;
    added.key = "K3";
    added.layerName = "L3";
    added.spare = "";
    t.push_back(added);
    ASSERT_TRUE(t.WriteLayerDefPath(dir.path("LAYERC.DEF")));
    EXPECT_EQ(dir.read("LAYERC.DEF"),
              "**A,\r\n\r\nK1,L1,1\r\n\r\nK2,L2,5,,DASHED,13\r\nK3,L3,7,,Continuous,-3\r\n");
    // A row taken out leaves the blank lines around it.
    t.erase(t.begin() + 1);
    ASSERT_TRUE(t.WriteLayerDefPath(dir.path("LAYERC.DEF")));
    EXPECT_EQ(dir.read("LAYERC.DEF"), "**A,\r\n\r\nK2,L2,5,,DASHED,13\r\n\r\nK3,L3,7,,Continuous,-3\r\n");
}

// A catalogue read by one command serves the next while its file is as it
// was; rewritten, replaced or removed (a later folder's then found), it is
// read again.
TEST(LayerCatalogue, a_kept_catalogue_serves_until_its_file_changes_is_replaced_or_removed) {
    TestDir dir;
    UseTwoSupportFolders(dir);
    const std::string file = dir.path("first/LAYERC.DEF");
    const auto age = AgeFile;
    auto layerOfK = [] {
        AAR_LAYERC t;
        t.ReadLayerDefFile("LAYERC.DEF");
        const AA_LAYERC* row = t.FindKey("K");
        return row ? row->layerName : std::string("-");
    };
    dir.write("second/LAYERC.DEF", "K,LATER,7\n");
    dir.write("first/LAYERC.DEF", "K,ONE,7\n");
    age(file);
    EXPECT_EQ(layerOfK(), "ONE");
    host::forgetCommandKeptFileValues();
    EXPECT_EQ(layerOfK(), "ONE");

    dir.write("first/LAYERC.DEF", "K,TWO,7\n");  // the same size
    EXPECT_EQ(layerOfK(), "TWO");
    age(file);
    EXPECT_EQ(layerOfK(), "TWO");

    dir.write("first/NEW.DEF", "K,SIX,7\n");
    std::filesystem::last_write_time(dir.path("first/NEW.DEF"), std::filesystem::last_write_time(file));
    std::filesystem::rename(dir.path("first/NEW.DEF"), file);
    EXPECT_EQ(layerOfK(), "SIX");

    host::forgetCommandKeptFileValues();
    std::filesystem::remove(file);
    EXPECT_EQ(layerOfK(), "LATER");
    host::setSupportPathProvider(nullptr);
    host::forgetKeptFileValues();
}

// The look-up passes rows over by their first letter: it must still find
// what the plain case-blind search finds, for keys starting with Polish
// letters, digits, punctuation and letters differing only in case, and
// rows or keys that are empty.
TEST(LayerCatalogue, a_key_is_found_as_the_plain_case_blind_search_finds_it) {
    const AAR_LAYERC t = Parse(
        {"ściana,A", "Ściana2,B", "żółw,C", "2dwalls,D", "_x,E", "Zz,F", "zZ2,G", "$1,H", "ąb,I", ",J"});
    for (const std::string key : {"ŚCIANA", "ściana2", "ŻÓŁW", "2DWALLS", "_X", "zz", "ZZ2", "$1", "ĄB", "Ąb",
                                  "", "ściany", "x", "ł", "@"}) {
        const AA_LAYERC* plain = nullptr;
        for (const AA_LAYERC& row : t)
            if (zcutEqualsNoCase(row.key, key)) {
                plain = &row;
                break;
            }
        EXPECT_EQ(t.FindKey(key), plain) << key;
    }
    EXPECT_NE(t.FindKey("ŚCIANA"), nullptr);
    EXPECT_EQ(t.FindKey("zz")->layerName, "F");
}
