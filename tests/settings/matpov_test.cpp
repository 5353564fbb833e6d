// Render materials per layer: the catalogue reader, the merge of stored rows
// over the catalogue, filing round trips, and the registry render settings.
#include "settings/matpov.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "core/layer_catalogue.h"
#include "host/ads/transcript.h"
#include "host/util/findfile.h"
#include "host/win/files.h"
#include "host/win/registry.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"
#include "settings/matpov_registry.h"
#include "tests/host/win_testdir.h"
#include "tests/settings/memory_filer.h"

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kCatalogue = {
    "**Muri,",  "WALLS,T_Brick,1.000000,1", "***Esterni,",   "WALLS_EXT,T_Stone,2.5,2",
    "**Tetti,", "ROOF,T_Tile,0.5,1",        "ROOF_B,T_Tile",
};

// The catalogue is the "LAYERPOV.DEF" of a support folder of the test's own.
class MatPovTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string text;
        for (const std::string& line : kCatalogue) text += line + "\n";
        dir.write("LAYERPOV.DEF", text);
        host::setSupportPathProvider([this] { return std::vector<std::string>{dir.path()}; });
    }
    void TearDown() override { host::setSupportPathProvider(nullptr); }
    TestDir dir;
};

AA_LAYERPOV Row(std::string group, std::string layer, std::string texture, double scale, int integer) {
    return {std::move(group), std::move(layer), std::move(texture), scale, integer};
}

}  // namespace

TEST_F(MatPovTest, catalogue_lines_give_group_paths_and_heading_rows) {
    AAR_LAYERPOV t = ParseLayerPovLines(kCatalogue);
    ASSERT_EQ(t.size(), 7u);
    EXPECT_EQ(t[0], Row("", "**Muri", "", 0.0, 0));
    EXPECT_EQ(t[1], Row("Muri", "WALLS", "T_Brick", 1.0, 1));
    EXPECT_EQ(t[2].group, "");
    EXPECT_EQ(t[2].layer, "***Esterni");
    EXPECT_EQ(t[3], Row("Muri%Esterni", "WALLS_EXT", "T_Stone", 2.5, 2));
    EXPECT_EQ(t[5].group, "Tetti");
    // Two fields only: scale 0 and the mode of the line before.
    EXPECT_EQ(t[6], Row("Tetti", "ROOF_B", "T_Tile", 0.0, 1));
    std::string g, s;
    SplitAtPercent(t[3].group, g, s);
    EXPECT_EQ(g, "Muri");
    EXPECT_EQ(s, "Esterni");
    SplitAtPercent("Tetti", g, s);
    EXPECT_EQ(g, "Tetti");
    EXPECT_EQ(s, "");
}

TEST_F(MatPovTest, catalogue_written_back_reads_the_same_rows) {
    AAR_LAYERPOV t = ParseLayerPovLines(kCatalogue);
    std::vector<std::string> lines = FormatLayerPovLines(t);
    EXPECT_EQ(lines[1], "WALLS,T_Brick,1.000000,1");
    EXPECT_EQ(lines[2], "***Esterni,");
    EXPECT_EQ(ParseLayerPovLines(lines), t);
}

TEST_F(MatPovTest, stored_rows_replace_catalogue_rows_ignoring_case_or_are_appended) {
    VELM_MATPOV stored;
    stored.rows = {Row("X", "walls", "T_Wood", 3.0, 0), Row("", "NEWLAYER", "T_Glass", 1.0, 2)};
    MemoryDwgStream dwg;
    ASSERT_EQ(stored.fileOutDwg(dwg), FilingStatus::kOk);
    VELM_MATPOV read;
    ASSERT_EQ(read.fileInDwg(dwg), FilingStatus::kOk);
    ASSERT_EQ(read.rows.size(), kCatalogue.size() + 1);
    EXPECT_EQ(read.rows[1], Row("X", "walls", "T_Wood", 3.0, 0));
    EXPECT_EQ(read.rows.back(), Row("", "NEWLAYER", "T_Glass", 1.0, 2));
    EXPECT_EQ(read.rows[3].texture, "T_Stone");
}

TEST_F(MatPovTest, dxf_round_trip_keeps_rows_sharing_a_texture_and_stops_at_a_foreign_item) {
    fs::remove(dir.path("LAYERPOV.DEF"));  // no catalogue: only what the drawing holds
    VELM_MATPOV stored;
    stored.rows = {Row("G", "A", "T_Same", 1.0, -3), Row("G", "B", "T_Same", 2.0, 1)};
    MemoryDxfStream dxf;
    stored.fileOutDxf(dxf);
    VELM_MATPOV read;
    read.fileInDxf(dxf);
    EXPECT_EQ(read.rows, stored.rows);  // the 16-bit integer comes back signed

    MemoryDxfStream cut;
    stored.fileOutDxf(cut);
    cut.items.resize(2 + 5 + 3);  // marker, count, one row, half a row
    SettingsDxfItem foreign;
    foreign.code = 1;
    foreign.value = std::string("foreign");
    cut.items.push_back(foreign);
    VELM_MATPOV partial;
    partial.fileInDxf(cut);
    ASSERT_EQ(partial.rows.size(), 1u);
    EXPECT_EQ(partial.rows[0].layer, "A");
}

TEST_F(MatPovTest, without_a_sound_catalogue_the_drawings_rows_are_kept_whole) {
    // A table with the same sub-group heading under two groups, as a
    // drawing holds it: read back over an empty, damaged or missing
    // catalogue, every row stays, in its order; the damaged line is named.
    VELM_MATPOV stored;
    stored.rows = {Row("", "**Muri", "", 0, 0),           Row("", "***Esterni", "", 0, 0),
                   Row("Muri%Esterni", "A", "T_A", 1, 1), Row("", "**Tetti", "", 0, 0),
                   Row("", "***Esterni", "", 0, 0),       Row("Tetti%Esterni", "B", "T_B", 2, 2)};
    for (const char* catalogue :
         std::initializer_list<const char*>{"", "**Muri,\nWALLS,T_Brick,1e308,1\n", nullptr}) {
        if (catalogue)
            dir.write("LAYERPOV.DEF", catalogue);
        else
            fs::remove(dir.path("LAYERPOV.DEF"));
        host::transcript().clear();
        MemoryDxfStream dxf;
        stored.fileOutDxf(dxf);
        VELM_MATPOV read;
        read.fileInDxf(dxf);
        EXPECT_EQ(read.rows, stored.rows) << (catalogue ? catalogue : "(none)");
        if (catalogue && *catalogue) {
            EXPECT_NE(host::transcript().text().find(dir.path("LAYERPOV.DEF") + ":2:"), std::string::npos)
                << host::transcript().text();
        }
    }
}

TEST_F(MatPovTest, missing_catalogue_file_leaves_an_empty_table) {
    AAR_LAYERPOV t = {Row("", "x", "", 0, 0)};
    EXPECT_FALSE(ReadLayerPovFile("/nonexistent/LAYERPOV.DEF", t));
    EXPECT_TRUE(t.empty());
}

class RenderRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { host::setRegistryFile(dir.path("registry")); }
    void TearDown() override { host::setRegistryFile(dir.path("unused")); }
    TestDir dir;
};

TEST_F(RenderRegistryTest, absent_key_gives_the_defaults) {
    int colour = 0, quality = 0, noLights = 7;
    double ambient = 0, brightness = 5;
    std::string folder = "x";
    ReadRegistryVariables("povColSfondo", &colour, nullptr, nullptr);
    ReadRegistryVariables("QUALITARADIOSITY", &quality, nullptr, nullptr);
    ReadRegistryVariables("povSenzaLuci", &noLights, nullptr, nullptr);
    ReadRegistryVariables("povIntAmbiente", nullptr, &ambient, nullptr);
    ReadRegistryVariables("povBrightness", nullptr, &brightness, nullptr);
    ReadRegistryVariables("povDirSupporto", nullptr, nullptr, &folder);
    EXPECT_EQ(colour, 15540736);
    EXPECT_EQ(quality, 2);
    EXPECT_EQ(noLights, 0);
    EXPECT_DOUBLE_EQ(ambient, 1.0);
    EXPECT_DOUBLE_EQ(brightness, 0.0);
    EXPECT_EQ(folder, "");
}

TEST_F(RenderRegistryTest, values_are_stored_as_text_and_read_back) {
    double ambient = 1.5;
    int colour = 123456;
    EXPECT_EQ(WriteRegistryVariable("povIntAmbiente", nullptr, &ambient, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(WriteRegistryVariable("povColZenit", &colour, &ambient, nullptr),
              ERROR_SUCCESS);  // integer wins
    EXPECT_EQ(WriteRegistryVariable("povDirSupporto", nullptr, nullptr, "C:\\tex"), ERROR_SUCCESS);
    std::string text;
    ReadRegistryVariables("povIntAmbiente", nullptr, nullptr, &text);
    EXPECT_EQ(text, "1.500000");
    double back = 0;
    ReadRegistryVariables("povIntAmbiente", nullptr, &back, nullptr);
    EXPECT_DOUBLE_EQ(back, 1.5);
    int zenit = 0;
    ReadRegistryVariables("povColZenit", &zenit, nullptr, nullptr);
    EXPECT_EQ(zenit, 123456);
    ReadRegistryVariables("povDirSupporto", nullptr, nullptr, &text);
    EXPECT_EQ(text, "C:\\tex");
}

TEST_F(RenderRegistryTest, unterminated_or_unparsable_text_is_read_safely) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRenderSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    const char digits[] = {'4', '2'};  // no terminator stored
    RegSetValueExW(key, "povColSfondo", 0, REG_SZ, reinterpret_cast<const BYTE*>(digits), 2);
    RegSetValueExW(key, "povColZenit", 0, REG_SZ, reinterpret_cast<const BYTE*>("blue"), 5);
    std::string longText(400, '7');
    RegSetValueExW(key, "povColAmbiente", 0, REG_SZ, reinterpret_cast<const BYTE*>(longText.c_str()),
                   static_cast<DWORD>(longText.size() + 1));
    RegCloseKey(key);
    int sfondo = 0, zenit = 0, ambiente = 0;
    ReadRegistryVariables("povColSfondo", &sfondo, nullptr, nullptr);
    ReadRegistryVariables("povColZenit", &zenit, nullptr, nullptr);
    ReadRegistryVariables("povColAmbiente", &ambiente, nullptr, nullptr);
    EXPECT_EQ(sfondo, 42);
    EXPECT_EQ(zenit, 16159600);
    EXPECT_EQ(ambiente, 9633776);  // too long for the buffer: the default stands
}

// The shipped catalogue: every line scans, every layer key is a key of the
// layer catalogue, and no layer is listed twice.
TEST(LayerPovShipped, default_catalogue_names_catalogue_layers_once) {
    std::filesystem::path support = std::filesystem::path(VELM_SOURCE_DIR) / "support";
    AAR_LAYERPOV rows;
    ASSERT_TRUE(ReadLayerPovFile((support / "LAYERPOV.DEF").string(), rows));
    auto layerc = host::readTextFile((support / "LAYERC.DEF").string());
    ASSERT_TRUE(layerc);
    std::set<std::string> keys;
    for (const std::string& line : layerc->lines) keys.insert(line.substr(0, line.find(',')));
    std::set<std::string> seen;
    int entries = 0;
    for (const AA_LAYERPOV& row : rows) {
        if (row.layer.starts_with("**")) {
            EXPECT_TRUE(keys.count(row.layer)) << row.layer;
            continue;
        }
        ++entries;
        EXPECT_TRUE(keys.count(row.layer)) << row.layer;
        EXPECT_TRUE(seen.insert(host::toUpper(row.layer)).second) << row.layer;
        EXPECT_FALSE(row.texture.empty()) << row.layer;
        EXPECT_GT(row.scale, 0.0) << row.layer;
        EXPECT_GE(row.integer, 0);
        EXPECT_LE(row.integer, 2);
        EXPECT_FALSE(row.group.empty()) << row.layer;
    }
    EXPECT_GT(entries, 20);
}

TEST_F(MatPovTest, a_damaged_render_table_is_named_with_its_line_and_read_as_none) {
    EXPECT_FALSE(
        LayerPovFault({"**Ściany,", "", "***Model 3D,", "3DWALLS,T_Stone8,1.000000,2", "3DROOF,Red,0.5"}, 1));
    const struct {
        std::vector<std::string> lines;
        std::size_t line;
        const char* what;
    } damaged[] = {{{"**A,", "3DWALLS"}, 2, "postaci"},
                   {{"A,T,1,0", ",T,1,0"}, 2, "postaci"},
                   {{"A,T,duża,0"}, 1, "skala"},
                   {{"A,T,1,0", "B,T,1,2x"}, 2, "tryb"},
                   {{"A,T,1,0,9"}, 1, "za dużo pól"}};
    for (const auto& d : damaged) {
        std::optional<SupportFault> fault = LayerPovFault(d.lines, 1);
        ASSERT_TRUE(fault) << d.what;
        EXPECT_EQ(fault->line, d.line) << d.what;
        EXPECT_NE(fault->what.find(d.what), std::string::npos) << fault->what;
    }
    const std::filesystem::path shipped = std::filesystem::path(VELM_SOURCE_DIR) / "support" / "LAYERPOV.DEF";
    EXPECT_FALSE(LayerPovFault(host::readTextFile(shipped.string()).value().lines, 1));

    // What the rows alone cannot show: a layer doubled, a stray byte.
    const struct {
        std::string text;
        std::size_t line;
        const char* what;
    } moved[] = {{"**A,\n***M,\nX,T,1,0\nY,T,1,0\nx,T,1,0\n", 5, "warstwa x powtórzona (wiersz 3)"},
                 {"**Ściany zewnętrzne,\nX,T_Stone\xff,1,0\n", 2, "kodowania"}};
    for (const auto& m : moved) {
        std::optional<SupportFault> fault = LayerPovFileFault(host::decodeText(m.text));
        ASSERT_TRUE(fault) << m.text;
        EXPECT_EQ(fault->line, m.line) << m.text;
        EXPECT_NE(fault->what.find(m.what), std::string::npos) << fault->what;
    }
    EXPECT_FALSE(LayerPovFileFault(host::readTextFile(shipped.string()).value()));

    // Lines ending in more carriage returns than the line break takes are
    // sound, and read without them: a texture is a name in a scene.
    dir.write("LAYERPOV.DEF", "**Model,\n3DWALLS,T_ST_Stone8\r\r\r\n3DROOF,Red,0.5,1\r\r\n");
    AAR_LAYERPOV crs;
    ASSERT_TRUE(ReadLayerPovFile(dir.path("LAYERPOV.DEF"), crs));
    ASSERT_EQ(crs.size(), 3u);
    EXPECT_EQ(crs[1].texture, "T_ST_Stone8");
    EXPECT_EQ(crs[2].texture, "Red");
    EXPECT_EQ(crs[2].integer, 1);

    // A file that is not text is read as none, and named.
    dir.write("LAYERPOV.DEF", std::string("**A,\nX,T,1,0\0\n", 14));
    AAR_LAYERPOV none = {Row("", "x", "", 0, 0)};
    EXPECT_FALSE(ReadLayerPovFile(dir.path("LAYERPOV.DEF"), none));
    EXPECT_TRUE(none.empty());
    dir.write("LAYERPOV.DEF", "**A,\n3DWALLS,T_Stone8,1.000000,2\n3DROOF,Red,jeden,0\n");
    // A line that does not scan is named and left out; the others are read.
    const std::size_t before = host::transcript().text().size();
    AAR_LAYERPOV t = {Row("", "x", "", 0, 0)};
    ASSERT_TRUE(ReadLayerPovFile(dir.path("LAYERPOV.DEF"), t));
    EXPECT_EQ(t, (AAR_LAYERPOV{Row("", "**A", "", 0, 0), Row("A", "3DWALLS", "T_Stone8", 1, 2)}));
    EXPECT_NE(host::transcript().text().find("LAYERPOV.DEF:3: skala tekstury nie jest liczbą", before),
              std::string::npos);
}

// A texture scale no drawing can hold takes the catalogue's for the layer
// (1 for a layer the catalogue lacks); the rows are named once.
TEST_F(MatPovTest, scales_out_of_range_take_the_catalogue_ones_and_are_named_once) {
    VELM_MATPOV stored;
    stored.rows = {Row("X", "WALLS_EXT", "T_Wood", 1e308, 0), Row("", "NEWLAYER", "T_Glass", -1e20, 2),
                   Row("", "ROOF", "T_Tile", 4.0, 1)};
    for (const bool dxf : {true, false}) {
        host::transcript().clear();
        VELM_MATPOV read;
        if (dxf) {
            MemoryDxfStream s;
            stored.fileOutDxf(s);
            read.fileInDxf(s);
        } else {
            MemoryDwgStream s;
            stored.fileOutDwg(s);
            read.fileInDwg(s);
        }
        ASSERT_EQ(read.rows.size(), kCatalogue.size() + 1);
        EXPECT_EQ(read.rows[3], Row("X", "WALLS_EXT", "T_Wood", 2.5, 0));
        EXPECT_EQ(read.rows[5].scale, 4.0);
        EXPECT_EQ(read.rows.back(), Row("", "NEWLAYER", "T_Glass", 1.0, 2));
        const std::string said = host::transcript().text();
        EXPECT_NE(said.find("WALLS_EXT skala, NEWLAYER skala"), std::string::npos) << said;
        EXPECT_EQ(said.find("poza zakresem"), said.rfind("poza zakresem")) << said;
    }
}

// A doubled layer key, or a layer above the first heading, made the whole
// file read as none: a new drawing got no material at all. Every line is
// a row in file order; a key again is named and the first row of it used.
TEST_F(MatPovTest, every_good_row_is_read_in_file_order_and_a_doubled_key_is_named) {
    dir.write("LAYERPOV.DEF",
              "3DTOP,Red,1,0\n***M,\nSUB,Red,1,0\n**Ściany,\n3DWALLS,T_Stone,1,2\n**Ściany,\n"
              "3dwalls,T_Wood,2,1\n3DROOF,T_Tile,0.5,1\n");
    const std::size_t said = host::transcript().text().size();
    AAR_LAYERPOV t;
    ASSERT_TRUE(ReadLayerPovFile(dir.path("LAYERPOV.DEF"), t));
    EXPECT_EQ(t, (AAR_LAYERPOV{Row("", "3DTOP", "Red", 1, 0), Row("", "***M", "", 0, 0),
                               Row("%M", "SUB", "Red", 1, 0), Row("", "**Ściany", "", 0, 0),
                               Row("Ściany", "3DWALLS", "T_Stone", 1, 2), Row("", "**Ściany", "", 0, 2),
                               Row("Ściany", "3DROOF", "T_Tile", 0.5, 1)}));
    const std::string text = host::transcript().text().substr(said);
    EXPECT_NE(text.find(dir.path("LAYERPOV.DEF") + ":7: warstwa 3dwalls powtórzona (wiersz 5)"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find(":1:"), std::string::npos) << text;
    // The file is not written over with the doubled row lost.
    EXPECT_TRUE(LayerPovFileFault(host::readTextFile(dir.path("LAYERPOV.DEF")).value()));
}

// A layer added in the dialog and exported before it had a material was
// written so, and every later read refused the file.
TEST_F(MatPovTest, a_layer_without_a_material_reads_back_as_written) {
    const AAR_LAYERPOV table{Row("", "**Muri", "", 0, 0), Row("Muri", "WALLS", "T_Brick", 1, 2),
                             Row("Muri", "NEWB", "", 0, 0), Row("Muri", "NEWC", "", 1.5, 1)};
    const std::vector<std::string> lines = FormatLayerPovLines(table);
    EXPECT_EQ(lines[2], "NEWB,,0.000000,0");
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    dir.write("LAYERPOV.DEF", text);
    AAR_LAYERPOV back;
    ASSERT_TRUE(ReadLayerPovFile(dir.path("LAYERPOV.DEF"), back));
    EXPECT_EQ(back, table);
    EXPECT_FALSE(LayerPovFileFault(host::readTextFile(dir.path("LAYERPOV.DEF")).value()));
    // A material still needs its name.
    EXPECT_TRUE(LayerPovFault({"NEWB,"}, 1));
    EXPECT_TRUE(LayerPovFault({"T_Brick,,1,0"}, 0));
}

// The drawing's table over a smaller user table: the sub-group heading of
// one name under several groups was matched by its text, so all of the
// drawing's went onto the catalogue's one, and rows the catalogue lacked
// went last, under whatever group came last.
TEST_F(MatPovTest, a_drawing_keeps_its_rows_over_a_smaller_catalogue) {
    const fs::path shipped = fs::path(VELM_SOURCE_DIR) / "support" / "LAYERPOV.DEF";
    AAR_LAYERPOV whole;
    ASSERT_TRUE(ReadLayerPovFile(shipped.string(), whole));
    const std::vector<std::string> lines = host::readTextFile(shipped.string()).value().lines;
    for (const std::size_t kept : {std::size_t{0}, std::size_t{21}, lines.size()}) {
        std::string text;
        for (std::size_t i = 0; i < kept; ++i) text += lines[i] + "\n";
        dir.write("LAYERPOV.DEF", text);
        host::forgetFilesAsRead();
        AAR_LAYERPOV catalogue;
        ASSERT_TRUE(ReadLayerPovFile(dir.path("LAYERPOV.DEF"), catalogue));
        VELM_MATPOV merged;
        std::string outOfRange;
        merged.MergeStoredRows(catalogue, whole, outOfRange);
        EXPECT_EQ(merged.rows, whole) << kept << " lines";
    }
    // A row the catalogue lacks joins the end of its group.
    VELM_MATPOV merged;
    std::string outOfRange;
    merged.MergeStoredRows(
        ParseLayerPovLines(kCatalogue),
        {Row("", "**Muri", "", 0, 0), Row("Muri", "WALLS_NEW", "T_Wood", 1, 1), Row("", "**Tetti", "", 0, 0),
         Row("", "***Lucernari", "", 0, 0), Row("Tetti%Lucernari", "SKY", "T_Glass", 1, 1),
         Row("", "**Nuovo", "", 0, 0), Row("Nuovo", "N1", "T_Glass", 1, 1)},
        outOfRange);
    std::vector<std::string> layers;
    for (const AA_LAYERPOV& row : merged.rows) layers.push_back(row.layer);
    EXPECT_EQ(layers,
              (std::vector<std::string>{"**Muri", "WALLS", "WALLS_NEW", "***Esterni", "WALLS_EXT", "**Tetti",
                                        "ROOF", "ROOF_B", "***Lucernari", "SKY", "**Nuovo", "N1"}));
}
