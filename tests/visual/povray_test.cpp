// The render export: the material tables, the scene file (every scene the
// tests write is kept under the build tree, where the renderer check reads
// it), the commands and the two dialogs.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <vector>

#include "core/base/typed_number.h"
#include "core/host_services.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsowners.h"
#include "host/ads/sysvars.h"
#include "host/db/dbents.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ed/viewport.h"
#include "host/harness/harness.h"
#include "host/ui/driver.h"
#include "host/ui/msgbox.h"
#include "host/util/findfile.h"
#include "host/win/confinement.h"
#include "host/win/files.h"
#include "host/win/process.h"
#include "host/win/registry.h"
#include "settings/matpov_registry.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/host/win_testdir.h"
#include "tests/visual/large_scene.h"
#include "tests/visual/light_kinds.h"
#include "tests/visual/model3d_fixture.h"
#include "visual/model3d/scene_walk.h"
#include "visual/povray/pov_commands.h"
#include "visual/povray/pov_dialogs.h"
#include "visual/povray/pov_engine.h"
#include "visual/povray/pov_scene.h"
#include "visual/povray/pov_tables.h"

namespace {

namespace fs = std::filesystem;

// PATH set for one test, the old one back after it.
class ScopedPath {
public:
    explicit ScopedPath(const std::string& path) {
        const char* old = std::getenv("PATH");
        had_ = old != nullptr;
        if (old) old_ = old;
        ::setenv("PATH", path.c_str(), 1);
    }
    ~ScopedPath() {
        if (had_)
            ::setenv("PATH", old_.c_str(), 1);
        else
            ::unsetenv("PATH");
    }
    ScopedPath(const ScopedPath&) = delete;
    ScopedPath& operator=(const ScopedPath&) = delete;

private:
    std::string old_;
    bool had_ = false;
};

// The current folder set for one test, the old one back after it.
class ScopedFolder {
public:
    explicit ScopedFolder(const std::string& folder) : old_(fs::current_path()) { fs::current_path(folder); }
    ~ScopedFolder() { fs::current_path(old_); }
    ScopedFolder(const ScopedFolder&) = delete;
    ScopedFolder& operator=(const ScopedFolder&) = delete;

private:
    fs::path old_;
};

TEST(PovTables, group_lines_make_rows_with_an_empty_group_and_their_heading_as_description) {
    const AAR_TEXTUREPOV t = ParseTexturePovLines({"**Kamienie,", "***Granity,", "**Drewno,ignored"});
    ASSERT_EQ(t.size(), 3u);
    for (const AA_TEXTUREPOV& row : t) {
        EXPECT_TRUE(row.group.empty());
        EXPECT_EQ(row.texture, row.name);
    }
    EXPECT_EQ(t[2].name, "**Drewno");
}

TEST(PovTables, rows_under_a_sub_group_carry_both_names_and_a_two_field_entry_has_scale_zero) {
    const AAR_TEXTUREPOV t =
        ParseTexturePovLines({"**Kamienie,", "***Granity,", "T_Grnt15,Granit,0.5,2", "T_Stone8,Kamień"});
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[2].group, "Kamienie%Granity");
    std::string group, sub;
    SplitAtPercent(t[3].group, group, sub);
    EXPECT_EQ(group, "Kamienie");
    EXPECT_EQ(sub, "Granity");
    EXPECT_EQ(t[2].mode, 2);
    EXPECT_EQ(t[3].texture, "Kamień");
    EXPECT_EQ(t[3].scale, 0.0);
    EXPECT_EQ(t[3].mode, 2);  // the mode carries over from the line above
}

class PovTablesFiles : public ::testing::Test {
protected:
    void SetUp() override {
        host::setSupportPathProvider([this] { return std::vector<std::string>{dir.path()}; });
    }
    void TearDown() override { host::setSupportPathProvider(nullptr); }
    TestDir dir;
};

TEST_F(PovTablesFiles, layer_table_written_back_reads_the_same_and_keeps_crlf) {
    dir.write("LAYERPOV.DEF",
              "**Ściany,\r\n***Model 3D,\r\n3DWALLS,T_Stone8,1,2\r\n3DVAULT,White,0.25,0\r\n");
    AAR_LAYERPOV table;
    ASSERT_TRUE(ReadLayerPovDef(table));
    ASSERT_EQ(table.size(), 4u);
    // Unchanged, nothing is written; changed, only the edited row.
    ASSERT_TRUE(WriteLayerPovDef(table));
    EXPECT_EQ(dir.read("LAYERPOV.DEF"),
              "**Ściany,\r\n***Model 3D,\r\n3DWALLS,T_Stone8,1,2\r\n3DVAULT,White,0.25,0\r\n");
    table[3].scale = 0.5;
    ASSERT_TRUE(WriteLayerPovDef(table));
    EXPECT_EQ(dir.read("LAYERPOV.DEF"),
              "**Ściany,\r\n***Model 3D,\r\n3DWALLS,T_Stone8,1,2\r\n3DVAULT,White,0.500000,0\r\n");
    // A row added keeps the rows around it as written.
    table.insert(table.begin() + 3, AA_LAYERPOV{"Ściany%Model 3D", "3DSLAB", "Gray50", 2.0, 1});
    ASSERT_TRUE(WriteLayerPovDef(table));
    EXPECT_EQ(dir.read("LAYERPOV.DEF"),
              "**Ściany,\r\n***Model 3D,\r\n3DWALLS,T_Stone8,1,2\r\n"
              "3DSLAB,Gray50,2.000000,1\r\n3DVAULT,White,0.500000,0\r\n");
    AAR_LAYERPOV again;
    ASSERT_TRUE(ReadLayerPovDef(again));
    EXPECT_EQ(again, table);
}

TEST_F(PovTablesFiles, a_damaged_layer_table_is_not_written_over) {
    const std::string damaged = "**Ściany,\n3DWALLS,T_Stone8,1,2\n3DWALLS,T_Stone8,1,2\n";
    dir.write("LAYERPOV.DEF", damaged);
    // Read with the doubled layer left out (named), but not written over.
    AAR_LAYERPOV table;
    EXPECT_TRUE(ReadLayerPovDef(table));
    EXPECT_EQ(table.size(), 2u);
    table = ParseLayerPovLines({"**Ściany,", "3DWALLS,T_Stone8,1,2", "3DWALLS,T_Stone8,1,2"});
    // The rows the file holds, unchanged: nothing to write.
    EXPECT_TRUE(WriteLayerPovDef(table));
    EXPECT_EQ(dir.read("LAYERPOV.DEF"), damaged);
    table.pop_back();
    const std::size_t before = host::transcript().text().size();
    EXPECT_FALSE(WriteLayerPovDef(table));
    EXPECT_EQ(dir.read("LAYERPOV.DEF"), damaged);
    EXPECT_NE(
        host::transcript().text().find("LAYERPOV.DEF:3: warstwa 3DWALLS powtórzona (wiersz 2) (plik nie "
                                       "został zapisany)",
                                       before),
        std::string::npos)
        << host::transcript().text();
    // Nor is a file that is not text.
    dir.write("LAYERPOV.DEF", std::string("**Ściany,\n3DWALLS,T_Stone8,1,2\0\n", 30));
    EXPECT_FALSE(WriteLayerPovDef(table));
    EXPECT_EQ(dir.read("LAYERPOV.DEF").size(), 30u);
}

TEST_F(PovTablesFiles, a_layer_table_line_that_does_not_scan_is_named_and_left_out) {
    const std::string intact = "**Ściany,\n3DWALLS,T_Stone8,1,2\n3DROOFS,White,1,0\n";
    struct Case {
        std::string text;
        std::size_t line;
    };
    const Case cases[] = {
        {"**Ściany,\n3DWALLS,T_Stone8,1,2\n3DROO", 3},                              // cut short, no line end
        {"**Ściany,\n3DWALLS,T_Stone8,1e308,2\n3DROOFS,White,1,0\n", 2},            // an absurd scale
        {"**Ściany,\n3DWALLS,T_Stone8,-1,2\n3DROOFS,White,1,0\n", 2},               // a negative scale
        {"**Ściany,\n3DWALLS,T_Stone8,nan,2\n3DROOFS,White,1,0\n", 2},              // not a number
        {"**Ściany,\n3DWALLS,T_Stone8,1,7\n3DROOFS,White,1,0\n", 2},                // no such mode
        {"**Ściany,\n3DWALLS,T_Stone8,1,2,5\n3DROOFS,White,1,0\n", 2},              // a field too many
        {"**Ściany zewnętrzne,\n3DWALLS,T_Stone8,1,2\n3DR\xffOFS,White,1,0\n", 3},  // a stray byte
        {intact + "Zbędny wiersz\n", 4},                                            // a line added
        {"**Ściany,\n3DWALLS,T_Stone8 } } #fopen F \"x\" write,1,2\n", 2},          // code, not a name
        {"**Ściany,\n3DWALLS,7Stone,1,2\n", 2},                                     // starts with a digit
    };
    for (const Case& c : cases) {
        dir.write("LAYERPOV.DEF", c.text);
        host::transcript().clear();
        AAR_LAYERPOV table;
        ASSERT_TRUE(ReadLayerPovDef(table)) << c.text;
        const std::string named = dir.path("LAYERPOV.DEF") + ":" + std::to_string(c.line) + ": ";
        EXPECT_NE(host::transcript().text().find(named), std::string::npos)
            << c.text << host::transcript().text();
        // Every other line is a row, in its order; none holds the bad line.
        std::vector<std::string> lines = host::decodeText(c.text).lines;
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(c.line - 1));
        AAR_LAYERPOV others = ParseLayerPovLines(lines);
        EXPECT_EQ(table, others) << c.text;
    }
    // Two bad lines are both named; the mode carried over is the last read.
    dir.write("LAYERPOV.DEF", "**Ściany,\n3DWALLS,T_Stone8,1,2\nX\n3DR,White,2\nY,Z,1,9\n3DV,Red\n");
    host::transcript().clear();
    AAR_LAYERPOV table;
    ASSERT_TRUE(ReadLayerPovDef(table));
    EXPECT_NE(host::transcript().text().find(dir.path("LAYERPOV.DEF") + ":3: "), std::string::npos);
    EXPECT_NE(host::transcript().text().find(dir.path("LAYERPOV.DEF") + ":5: "), std::string::npos);
    EXPECT_EQ(table, (AAR_LAYERPOV{{"", "**Ściany", "", 0, 0},
                                   {"Ściany", "3DWALLS", "T_Stone8", 1, 2},
                                   {"Ściany", "3DR", "White", 2, 2},
                                   {"Ściany", "3DV", "Red", 0, 2}}));
}

TEST_F(PovTablesFiles, a_layer_table_of_group_lines_only_is_read_but_replaces_no_assignment) {
    dir.write("LAYERPOV.DEF", "**Ściany,\n***Model,\n**Dachy,x\n");
    AAR_LAYERPOV table;
    host::transcript().clear();
    ASSERT_TRUE(ReadLayerPovDef(table));
    EXPECT_EQ(
        table,
        (AAR_LAYERPOV{{"", "**Ściany", "", 0, 0}, {"", "***Model", "", 0, 0}, {"", "**Dachy", "x", 0, 0}}));
    EXPECT_EQ(host::transcript().text(), "");
    // What a drawing's assignment would be replaced with gives no layer a
    // material: it is refused, and said so.
    for (const std::string text : {"**Ściany,\n***Model,\n", "", "**Ściany,\nX\n"}) {
        dir.write("LAYERPOV.DEF", text);
        host::transcript().clear();
        EXPECT_FALSE(ReadLayerPovReplacement(table)) << text;
        EXPECT_TRUE(table.empty());
        EXPECT_NE(host::transcript().text().find(dir.path("LAYERPOV.DEF") + ": " + kLayerPovAssignsNothing),
                  std::string::npos)
            << host::transcript().text();
    }
    dir.write("LAYERPOV.DEF", "**Ściany,\n3DWALLS,T_Stone8,1,2\n");
    ASSERT_TRUE(ReadLayerPovReplacement(table));
    EXPECT_EQ(table.size(), 2u);
}

TEST_F(PovTablesFiles, an_unreadable_layer_table_is_named) {
    const std::string intact = "**Ściany,\n3DWALLS,T_Stone8,1,2\n3DROOFS,White,1,0\n";
    // A file that cannot be read is named as well.
    dir.write("LAYERPOV.DEF", intact);
    fs::permissions(dir.path("LAYERPOV.DEF"), fs::perms::none);
    if (::access(dir.path("LAYERPOV.DEF").c_str(), R_OK) != 0) {
        host::transcript().clear();
        AAR_LAYERPOV table;
        EXPECT_FALSE(ReadLayerPovDef(table));
        EXPECT_NE(host::transcript().text().find(dir.path("LAYERPOV.DEF") + ": "), std::string::npos);
    }
    fs::permissions(dir.path("LAYERPOV.DEF"), fs::perms::owner_all);
    // The library's rule is on its first field, the name the scene writes.
    dir.write("TEXTUREPOV.DEF", "**Kamień,\nT_Stone8,Kamień 8,1,1\nT_X { },Zły,1,1\n");
    AAR_TEXTUREPOV materials;
    host::transcript().clear();
    EXPECT_FALSE(ReadTexturePovDef(materials));
    EXPECT_NE(host::transcript().text().find("TEXTUREPOV.DEF:3: "), std::string::npos);
}

TEST_F(PovTablesFiles, missing_files_give_empty_tables_and_write_nothing) {
    AAR_LAYERPOV layers = {AA_LAYERPOV{"", "x", "y", 1.0, 0}};
    AAR_TEXTUREPOV materials = {AA_TEXTUREPOV{"", "x", "y", 1.0, 0}};
    EXPECT_FALSE(ReadLayerPovDef(layers));
    EXPECT_FALSE(ReadTexturePovDef(materials));
    EXPECT_TRUE(layers.empty());
    EXPECT_TRUE(materials.empty());
    EXPECT_FALSE(WriteLayerPovDef({AA_LAYERPOV{"", "x", "y", 1.0, 0}}));
    EXPECT_FALSE(fs::exists(dir.path("LAYERPOV.DEF")));
}

TEST(PovTablesShipped, every_assigned_material_is_in_the_library) {
    host::setSupportPathProvider(
        [] { return std::vector<std::string>{std::string(VELM_SOURCE_DIR) + "/support"}; });
    AAR_LAYERPOV layers;
    AAR_TEXTUREPOV materials;
    ASSERT_TRUE(ReadLayerPovDef(layers));
    ASSERT_TRUE(ReadTexturePovDef(materials));
    host::setSupportPathProvider(nullptr);
    bool plane = false;
    for (const AA_LAYERPOV& row : layers) {
        if (row.layer.starts_with("**")) continue;
        plane = plane || row.layer == "povRayPlane";
        const bool known = std::any_of(materials.begin(), materials.end(),
                                       [&](const AA_TEXTUREPOV& m) { return m.name == row.texture; });
        EXPECT_TRUE(known) << row.layer << " " << row.texture;
        EXPECT_GT(row.scale, 0.0) << row.layer;
    }
    EXPECT_TRUE(plane);
    for (const AA_TEXTUREPOV& m : materials) {
        if (m.name.starts_with("**")) continue;
        EXPECT_TRUE(
            fs::exists(std::string(VELM_SOURCE_DIR) + "/support/POV-Ray/velmAnteprime/_" + m.name + ".BMP"))
            << m.name;
    }
}

// ---------------------------------------------------------------- scenes

class PovScene : public Model3DTest {
protected:
    void SetUp() override {
        Model3DTest::SetUp();
        host::setRegistryFile(dir.path("registry"));
        fs::create_directories(dir.path("docs/POV-Ray/v3.6/include"));
        SetPersonal(dir.path("docs"));
    }
    void TearDown() override {
        host::setRegistryFile(dir.path("unused"));
        Model3DTest::TearDown();
    }
    static void SetPersonal(const std::string& folder) {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER,
                        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0, nullptr,
                        0, KEY_WRITE, nullptr, &key, nullptr);
        RegSetValueExW(key, "Personal", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>(folder.size() + 1));
        RegCloseKey(key);
    }
    static void Face(const std::string& layer, ZcGePoint3d a, ZcGePoint3d b, ZcGePoint3d c, ZcGePoint3d d) {
        auto* face = new ZcDbFace(a, b, c, d);
        face->setLayer(layer);
        ZcDbObjectId id;
        ASSERT_EQ(AppendToModelSpace(id, face), Zcad::eOk);
    }
    // The scene as a string; also kept as build/povray_scenes/NAME.pov for
    // the renderer, unless it is kept in the test's folder.
    std::string Scene(const std::string& name, CPovRay& scene, bool rendered = true) {
        const fs::path folder = rendered ? fs::path(VELM_BINARY_DIR) / "povray_scenes" : fs::path(dir.path());
        fs::create_directories(folder);
        const std::string path = (folder / (name + ".pov")).string();
        // Each scene is a command of its own: another test program writing
        // the same scene meanwhile is no edit of a file this one read.
        host::forgetFilesAsRead();
        EXPECT_TRUE(scene.WriteScene(path));
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string Scene(const std::string& name) {
        CPovRay scene;
        return Scene(name, scene);
    }
    // Whether a polygon corner "<x, y, z>" of the scene lies at this point.
    static bool HasCorner(const std::string& text, double x, double y, double z) {
        for (std::size_t at = text.find(" <"); at != std::string::npos; at = text.find(" <", at + 1)) {
            double p[3];
            if (std::sscanf(text.c_str() + at, " <%lf, %lf, %lf>", &p[0], &p[1], &p[2]) == 3 &&
                std::fabs(p[0] - x) < 1e-9 && std::fabs(p[1] - y) < 1e-9 && std::fabs(p[2] - z) < 1e-9)
                return true;
        }
        return false;
    }
    static int Count(const std::string& text, const std::string& what) {
        int n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    }
    TestDir dir;
};

TEST_F(PovScene, defaults_write_the_includes_then_the_camera_and_fill_the_include_folder) {
    const std::string text = Scene("defaults");
    EXPECT_EQ(text.rfind("#include \"colors.inc\"\n#include \"textures.inc\"\n#include \"stones.inc\"\n"
                         "#include \"metals.inc\"\n#include \"glass.inc\"\n#include \"woods.inc\"\n"
                         "#include \"velmak.inc\"\n#include \"velmakUser.inc\"\ncamera { \northographic",
                         0),
              0u);
    EXPECT_EQ(Count(text, "radiosity"), 0);
    EXPECT_EQ(Count(text, "light_source"), 0);
    EXPECT_NE(text.find("global_settings { ambient_light <0.94 1.00 0.57> }\n\n"
                        "background { color rgb < 0.00 0.13 0.93> }\n"),
              std::string::npos);
    const std::string include = dir.path("docs/POV-Ray/v3.6/include/");
    EXPECT_TRUE(fs::exists(include + "velmak.inc"));
    EXPECT_TRUE(fs::exists(include + "velmakUser.inc"));
    EXPECT_TRUE(fs::exists(include + "velmAnteprime/_T_Stone8.BMP"));
    // A second scene leaves what the user changed in the folder.
    std::ofstream(include + "velmak.inc") << "// mine\n";
    Scene("defaults");
    std::ifstream in(include + "velmak.inc");
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "// mine");
}

TEST_F(PovScene, perspective_view_puts_the_eye_at_target_plus_viewdir_and_parallel_uses_the_centre) {
    host::ViewState view = host::currentView();
    view.perspective = true;
    view.target = ZcGePoint3d(100, 200, 0);
    view.direction = ZcGeVector3d(0, -500, 300);
    view.lensLength = 35;
    host::setCurrentView(view);
    std::string text = Scene("perspective");
    EXPECT_NE(text.find("camera { \nperspective   sky  <0, 0, 1>\nright     <-1.33, 0, 0>\nangle     53.13\n"
                        "location  <100.00, -300.00, 300.00>\nlook_at  <100.00, 200.00, 0.00>\n}\n"),
              std::string::npos)
        << text;

    view.perspective = false;
    view.height = 400;
    view.direction = ZcGeVector3d(0, 0, 1);
    host::setCurrentView(view);
    CPovRay parallel;
    parallel.sceneSize = 1000;  // no extents in an empty drawing
    text = Scene("parallel", parallel);
    const ZcGePoint3d c = parallel.viewCentre;
    char expected[256];
    std::snprintf(expected, sizeof expected,
                  "orthographic   sky  <0, 0, 1>\nright  <-532.00, 0, 0>\nup     <0, 400.00, 0>\n"
                  "location  <%.2f, %.2f, %.2f>\nlook_at  <%.2f, %.2f, %.2f>\n}\n",
                  c.x, c.y, c.z + 1000, c.x, c.y, c.z);
    EXPECT_NE(text.find(expected), std::string::npos) << text;
}

TEST_F(PovScene, faces_become_triangles_quadrilaterals_or_two_triangles_with_their_layer_material) {
    run({"_-LAYER", "_M", "VELMUNLISTED$0", "_C", "7", "", ""});
    Face("VELM3DWALLS$0", {0, 0, 0}, {100, 0, 0}, {100, 0, 300}, {100, 0, 300});  // third = fourth
    Face("VELMUNLISTED$0", {0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {0, 100, 0});   // flat
    Face("NOWHERE", {0, 0, 0}, {100, 0, 0}, {100, 100, 50}, {0, 100, 0});         // warped
    Face("NOWHERE", {0, 0, 0}, {10, 0, 0}, {20, 0, 0}, {30, 0, 0});               // a line: left out
    const std::string text = Scene("faces");
    EXPECT_EQ(Count(text, "polygon {"), 4);
    EXPECT_NE(
        text.find(
            "polygon {\n   4, <0.0000000000000000, 0.0000000000000000, 0.0000000000000000> "
            "<100.0000000000000000, 0.0000000000000000, 0.0000000000000000> "
            "<100.0000000000000000, 0.0000000000000000, 300.0000000000000000> "
            "<0.0000000000000000, 0.0000000000000000, 0.0000000000000000>\n"
            "texture { T_Stone8\tscale <100.00 100.00 100.00>  rotate <90.000000,0.000000,0.000000> }\n}\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("   5, <0.0000000000000000"), std::string::npos);
    EXPECT_NE(text.find(" pigment { color White }\n"), std::string::npos);
    // The warped face: two triangles sharing the diagonal from corner 2 to 0.
    EXPECT_NE(text.find("   4, <100.0000000000000000, 100.0000000000000000, 50.0000000000000000> "
                        "<0.0000000000000000, 100.0000000000000000, 0.0000000000000000> "
                        "<0.0000000000000000, 0.0000000000000000, 0.0000000000000000>"),
              std::string::npos);
    EXPECT_EQ(Count(text, " pigment { color Red }\n"), 2);
}

TEST_F(PovScene, nested_blocks_are_written_once_per_reference_with_composed_transforms) {
    const ads_point o{0, 0, 0}, x{10, 0, 0}, xy{10, 10, 0}, y{0, 10, 0}, at100{100, 0, 0}, at1000{0, 1000, 0},
        up500{0, 0, 500};
    auto make = [](resbuf* list) {
        EXPECT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    };
    make(zcutBuildList(RTDXF0, "BLOCK", 2, "INNER", 70, 0, 10, o, 0));
    make(zcutBuildList(RTDXF0, "3DFACE", 8, "0", 10, o, 11, x, 12, xy, 13, y, 0));
    make(zcutBuildList(RTDXF0, "ENDBLK", 0));
    make(zcutBuildList(RTDXF0, "BLOCK", 2, "OUTER", 70, 0, 10, o, 0));
    make(zcutBuildList(RTDXF0, "INSERT", 2, "INNER", 8, "0", 10, at100, 41, 2.0, 42, 2.0, 43, 2.0, 0));
    make(zcutBuildList(RTDXF0, "ENDBLK", 0));
    make(zcutBuildList(RTDXF0, "INSERT", 2, "OUTER", 8, "0", 10, at1000, 50, 1.5707963267948966, 0));
    make(zcutBuildList(RTDXF0, "INSERT", 2, "INNER", 8, "0", 10, up500, 0));
    const std::string text = Scene("blocks");
    EXPECT_EQ(Count(text, "polygon {"), 2);
    // INNER's corner (10,10) scaled by 2 and moved by (100,0) inside OUTER,
    // then turned a quarter and moved by (0,1000); the direct one moved up.
    EXPECT_TRUE(HasCorner(text, -20, 1120, 0)) << text;
    EXPECT_TRUE(HasCorner(text, 0, 1100, 0));
    EXPECT_TRUE(HasCorner(text, 10, 10, 500));
    EXPECT_FALSE(HasCorner(text, 10, 10, 0));
}

TEST_F(PovScene, picked_camera_with_backdrop_and_lights_of_each_kind) {
    run({"VELMOBJECT", "TMS_PROS", "500,-800", "0", ""});
    for (const char* at : {"-300,-500", "0,-500", "300,-500", "600,-500"})
        run({"VELMOBJECT", "TMS_LUCE", at, "0", ""});
    ASSERT_EQ(count("0=INSERT -3=VELM5$_$PARAMETRI-"), 5);
    // Lights of kinds 1 to 4, the last one unknown: it writes nothing.
    ASSERT_EQ(NumberLightKinds(modelSpace()), 5);
    SetSettingInt(SetupVar::SETPOVADDIMG, 1);
    SetSettingString(SetupVar::SETPOVFILEIMG, "ogrod.JPG");
    push("!pick 500,-800");
    CPovRay scene;
    ASSERT_TRUE(scene.PickCamera());
    ASSERT_TRUE(scene.cameraPicked);
    const std::string text = Scene("camera_lights", scene, false);
    EXPECT_NE(text.find("angle     60.00\nlocation  <500.00, -800.00, 160.00>\n"
                        "look_at   <500.00, -700.00, 160.00>\n}\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("pigment { image_map { jpeg \"ogrod.JPG\" once } }\n"), std::string::npos);
    EXPECT_EQ(Count(text, "background"), 0);
    EXPECT_NE(text.find("light_source { <-300.00, -500.00, 250.00> color <2.00, 2.00, 2.00>}\n"),
              std::string::npos)
        << text;
    EXPECT_NE(
        text.find("light_source { <0.00, -500.00, 250.00> color <2.00, 2.00, 2.00> spotlight radius 30.00 "
                  "falloff 60.00 tightness 5.00 point_at <0.00, -500.00, -750.00>}\n"),
        std::string::npos);
    EXPECT_NE(text.find("parallel point_at"), std::string::npos);
    EXPECT_EQ(Count(text, "light_source"), 3);
    // The renderer's sample picture (on its library path) as the backdrop.
    SetSettingString(SetupVar::SETPOVFILEIMG, "test.png");
    CPovRay rendered;
    rendered.SetCamera(scene.cameraEntity);
    EXPECT_NE(Scene("camera_lights", rendered).find("image_map { png \"test.png\" once }"),
              std::string::npos);
}

TEST_F(PovScene, light_kind_is_found_behind_other_variables_of_the_special_record) {
    run({"VELMOBJECT", "TMS_LUCE", "0,0", "0", ""});
    // Another variable written ahead of the kind: the light is still one.
    for (ZcDbObjectId id : modelSpace()) {
        ads_name e;
        zcdbGetAdsName(e, id);
        resbuf* list = zcdbEntGetX(e, host::ResbufList(zcutBuildList(RTSTR, "VELM5$_$PARASPEC-", 0)).get());
        for (resbuf* rb = list; rb; rb = rb->rbnext)
            if (rb->restype == 1001 && std::string(rb->resval.rstring) == "VELM5$_$PARASPEC-") {
                resbuf* number = zcutNewRb(1070);
                number->resval.rint = 33;
                resbuf* value = zcutNewRb(1040);
                value->resval.rreal = 7.0;
                number->rbnext = value;
                value->rbnext = rb->rbnext;
                rb->rbnext = number;
                ASSERT_EQ(zcdbEntMod(list), RTNORM);
                break;
            }
        zcutRelRb(list);
    }
    EXPECT_EQ(Count(Scene("light_behind"), "light_source"), 1);
}

TEST_F(PovScene, quality_four_without_classic_lights_and_an_unknown_quality) {
    const double brightness = 1.0;
    const int quality = 4, noLights = 1;
    WriteRegistryVariable("povBrightness", nullptr, &brightness, nullptr);
    WriteRegistryVariable("qualitaRadiosity", &quality, nullptr, nullptr);
    WriteRegistryVariable("povSenzaLuci", &noLights, nullptr, nullptr);
    std::string text = Scene("radiosity");
    EXPECT_NE(
        text.find(
            "pretrace_end 0.005 \ncount 500 \nnearest_count 15 \nerror_bound 1.000 \nrecursion_limit 1 "
            "\nlow_error_factor 0.200 \ngray_threshold 0.000 \nminimum_reuse 0.100 \nbrightness 1.000 \n"),
        std::string::npos)
        << text;
    const int unknown = 9;
    WriteRegistryVariable("qualitaRadiosity", &unknown, nullptr, nullptr);
    WriteRegistryVariable("povSenzaLuci", &quality, nullptr, nullptr);
    EXPECT_EQ(CPovRay().radiosityQuality, 2);
}

TEST_F(PovScene, ground_plane_takes_the_plane_material) {
    SetSettingInt(SetupVar::SETPOVPIANOORI, 1);
    SetSettingReal(SetupVar::SETPOVPIANOQZ, -15.0);
    const std::string text = Scene("plane");
    EXPECT_NE(text.find("plane { z, -15.00\ntexture { T_VelmTrawa  scale 100.00 }\n}\n"), std::string::npos)
        << text;
}

// Scenes the renderer parses: apart from the PovScene suite, whose scenes a
// test of their own renders from the build tree in one process (a test
// runs in both at once, in the same folder, when the suite runs in
// parallel; these take seconds).
class PovSceneRendered : public PovScene {};

// The scene parsed by the renderer in `folder` (kept includes beside it):
// its exit status; -1 when no renderer is installed.
int ParseWithPovray(const std::string& folder, const std::string& scene) {
    if (std::system("command -v povray >/dev/null 2>&1") != 0) return -1;
    const std::string command = "cd '" + folder + "' && povray +I'" + scene +
                                "' -D +W8 +H8 -GA +O'picture.png' >/dev/null 2>&1 </dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 255;
}

void SetTexture(const std::string& layer, const std::string& texture, int mode) {
    ZcDbObjectPointer<VELM_MATPOV> table(OpenMatPovObject());
    ASSERT_TRUE(table);
    table->rows.push_back(AA_LAYERPOV{"", layer, texture, 1.0, mode});
    for (AA_LAYERPOV& row : table->rows)
        if (row.layer == layer) row = AA_LAYERPOV{"", layer, texture, 1.0, mode};
}

TEST_F(PovSceneRendered, a_texture_name_that_is_code_never_reaches_the_scene) {
    Face("VELM3DWALLS$0", {0, 0, 0}, {100, 0, 0}, {100, 0, 100}, {0, 0, 100});
    const std::string marker = dir.path("marker.txt");
    SetTexture("3DWALLS",
               "T_Stone8 } } #fopen F \"" + marker +
                   "\" write #write(F,\"x\") #fclose F polygon { 4, <0,0,0> "
                   "<1,0,0> <1,1,0> <0,0,0> texture { T_Stone8",
               1);
    CPovRay scene;
    const std::string text = Scene("hostile_texture", scene, false);
    EXPECT_EQ(text.find("#fopen"), std::string::npos);
    EXPECT_EQ(text.find("T_Stone8"), std::string::npos);
    EXPECT_NE(text.find(" pigment { color Red }"), std::string::npos) << text;
    // Named once, with the record and the layer.
    EXPECT_EQ(Count(transcript(), "VELM_MATPOV, warstwa 3DWALLS: tekstura"), 1) << transcript();
    const int parsed = ParseWithPovray(dir.path(), "hostile_texture.pov");
    if (parsed >= 0) {
        EXPECT_EQ(parsed, 0);
    }
    EXPECT_FALSE(fs::exists(marker));
}

TEST_F(PovSceneRendered, random_names_through_the_scene_writer_parse_and_create_nothing) {
    // Names of quotes, braces, "#", blanks and non-ASCII letters, each with
    // at least one character no identifier holds: the renderer must parse
    // every scene, and nothing but its picture appear.
    if (std::system("command -v povray >/dev/null 2>&1") != 0) GTEST_SKIP() << "povray is not installed";
    Face("VELM3DWALLS$0", {0, 0, 0}, {100, 0, 0}, {100, 0, 100}, {0, 0, 100});
    Face("VELM3DROOF$0", {0, 0, 100}, {100, 0, 100}, {100, 100, 100}, {0, 100, 100});
    const std::vector<std::string> pieces = {"\"",    "{",  "}",     "#",       " ",  "ł",
                                             "é",     "\\", "(",     ")",       ";",  "T_Stone8",
                                             "fopen", "M",  "write", "<0,0,0>", "\n", "%"};
    std::mt19937 random(94);
    for (int round = 0; round < 12; ++round) {
        std::string name[2];
        for (std::string& n : name) {
            while (n.empty() || IsPovIdentifier(n))
                for (std::size_t k = 1 + random() % 8; k > 0; --k) n += pieces[random() % pieces.size()];
        }
        SetTexture("3DWALLS", name[0], static_cast<int>(random() % 3));
        SetTexture("3DROOF", name[1], static_cast<int>(random() % 3));
        CPovRay scene;
        Scene("random_" + std::to_string(round), scene, false);
        EXPECT_EQ(ParseWithPovray(dir.path(), "random_" + std::to_string(round) + ".pov"), 0)
            << name[0] << " / " << name[1];
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.path())) {
        const std::string file = entry.path().filename().string();
        EXPECT_TRUE(file.starts_with("random_") || file.starts_with("velmak") || file == "picture.png" ||
                    file == "docs" || file == "registry")
            << file;
    }
}

TEST_F(PovScene, an_image_file_name_stays_one_string_of_the_scene) {
    // Read back as the renderer reads a string: each escaped character is
    // itself, and the string ends at the first quote not escaped.
    auto unquote = [](const std::string& text, std::size_t at) {
        std::string value;
        for (std::size_t i = at + 1; i < text.size() && text[i] != '"'; ++i)
            value += text[i] == '\\' ? text[++i] : text[i];
        return value;
    };
    for (const std::string& name :
         {std::string("ogród.png"), std::string("x.png\" once } } #fopen F \"m\" write #fclose F // "),
          std::string("C:\\obrazy\\\"tło\".jpg"), std::string("a\\\\\"b.gif")}) {
        const std::optional<std::string> quoted = PovString(name);
        ASSERT_TRUE(quoted);
        EXPECT_EQ(unquote(*quoted, 0), name);
        EXPECT_EQ(quoted->size(), 2 + name.size() + std::count(name.begin(), name.end(), '"') +
                                      std::count(name.begin(), name.end(), '\\'));
    }
    EXPECT_FALSE(PovString("a\nb.png"));
    EXPECT_FALSE(PovString(std::string("a\rb.png")));
}

TEST_F(PovScene, render_command_replaces_links_under_its_names_and_leaves_their_targets) {
    host::setSysVar("DWGPREFIX", host::SysVarValue{dir.path() + "/drawing/"}, false);
    host::setSysVar("DWGNAME", host::SysVarValue{std::string("plan.dxf")}, false);
    fs::create_directories(dir.path("drawing"));
    fs::create_directories(dir.path("mine"));
    for (const char* name : {"notes.txt", "other.txt", "user.txt"})
        dir.write(std::string("mine/") + name, "mine\n");
    fs::create_symlink(dir.path("mine/notes.txt"), dir.path("drawing/plan$.pov"));
    fs::create_symlink(dir.path("mine/other.txt"), dir.path("drawing/velmak.inc"));
    fs::create_symlink(dir.path("mine/user.txt"), dir.path("drawing/velmakUser.inc"));
    host::ProcessRecorder recorder;
    run({"VELMPOVRAYD", ""});
    for (const char* name : {"notes.txt", "other.txt", "user.txt"})
        EXPECT_EQ(dir.read(std::string("mine/") + name), "mine\n") << name;
    EXPECT_FALSE(fs::is_symlink(dir.path("drawing/plan$.pov")));
    EXPECT_NE(dir.read("drawing/plan$.pov").find("#include \"velmak.inc\""), std::string::npos);
    EXPECT_FALSE(fs::is_symlink(dir.path("drawing/velmak.inc")));
    // The user's own include, copied only when missing, is left as it is.
    EXPECT_TRUE(fs::is_symlink(dir.path("drawing/velmakUser.inc")));
}

TEST_F(PovSceneRendered, a_drawing_name_never_adds_engine_options) {
    fs::create_directories(dir.path("tools"));
    std::ofstream(dir.path("tools/povray")) << "#!/bin/sh\n";
    fs::permissions(dir.path("tools/povray"), fs::perms::owner_all);
    const ScopedPath path(dir.path("tools"));
    host::setSysVar("DWGPREFIX", host::SysVarValue{dir.path() + "/"}, false);
    // A quote would close the engine's own quoting, blanks and option signs
    // would add options: the engine is given names of its private folder,
    // never the drawing's.
    for (const std::string name : {"a.pov\" +Ovictim.dxf +W40 +H30 -D\"x", "a +Ovictim.dxf +W40 -D x"}) {
        host::setSysVar("DWGNAME", host::SysVarValue{name + ".dxf"}, false);
        host::ProcessRecorder recorder;
        EXPECT_EQ(run({"VELMPOVRAYD", ""}), RTNORM);
        EXPECT_TRUE(fs::exists(dir.path(name + "$.pov")));
        ASSERT_EQ(recorder.started().size(), 1u);
        const host::StartedProcess& p = recorder.started()[0];
        EXPECT_EQ(p.program, dir.path("tools/povray"));
        EXPECT_EQ(p.arguments, PovEngineArguments("scena.pov", "obraz.bmp"));
        ASSERT_EQ(p.results.size(), 1u);
        EXPECT_EQ(p.results[0].second, dir.path(name + "$.bmp"));
        if (name.find('"') != std::string::npos) continue;
        // The renderer itself, given those arguments in that folder, renders
        // that scene into that picture, a BMP file, and nothing else.
        if (std::system("command -v /usr/bin/povray >/dev/null 2>&1") != 0) return;
        std::string command = "cd '" + p.currentDirectory + "' && /usr/bin/povray";
        for (const std::string& argument : p.arguments) command += " '" + argument + "'";
        command += " +W8 +H8 -D >/dev/null 2>&1 </dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        std::ifstream picture(p.currentDirectory + "/obraz.bmp");
        std::string magic(2, '\0');
        picture.read(magic.data(), 2);
        EXPECT_EQ(magic, "BM");
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir.path()))
            EXPECT_FALSE(entry.path().filename().string().starts_with("victim")) << entry.path();
    }
}

// The engine draws its messages and its picture's preview for a terminal:
// the log holds its text without those codes, and the picture is in place.
TEST_F(PovSceneRendered, the_render_log_holds_the_engines_text_without_terminal_codes) {
    fs::create_directories(dir.path("tools"));
    std::ofstream(dir.path("tools/povray"))
        << "#!/bin/sh\n"
           "printf '\\033]0;POV-Ray\\007\\033[1;33mParsing scene\\033[0m\\n'\n"
           "i=0; while [ $i -lt 200 ]; do printf '\\033[48;5;%dm  \\033[0m' $i; i=$((i+1)); done\n"
           "printf '\\033[2K\\033[1GRender done\\n' >&2\n"
           "printf 'BM' > obraz.bmp\n";
    fs::permissions(dir.path("tools/povray"), fs::perms::owner_all);
    const ScopedPath path(dir.path("tools"));
    host::setSysVar("DWGPREFIX", host::SysVarValue{dir.path() + "/"}, false);
    host::setSysVar("DWGNAME", host::SysVarValue{std::string("plan.dxf")}, false);
    ASSERT_EQ(run({"VELMPOVRAYD", ""}), RTNORM) << transcript();
    host::waitForStartedPrograms();
    const std::string log = dir.read("plan$.log");
    EXPECT_EQ(log.find('\x1b'), std::string::npos) << log;
    EXPECT_NE(log.find("Parsing scene\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Render done\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Zapisano plik " + dir.path("plan$.bmp")), std::string::npos) << log;
    EXPECT_EQ(dir.read("plan$.bmp"), "BM");
}

// Whatever lies beside the drawing: include files under every name the
// scene names, and the renderer's own settings file, each writing a marker
// and over another drawing of the folder when read.
TEST_F(PovSceneRendered, a_render_reads_nothing_that_lies_beside_the_drawing) {
    if (std::system("command -v /usr/bin/povray >/dev/null 2>&1") != 0) GTEST_SKIP() << "no povray";
    Face("VELM3DWALLS$0", {0, 0, 0}, {100, 0, 0}, {100, 0, 100}, {0, 0, 100});
    fs::create_directories(dir.path("unpacked"));
    dir.write("unpacked/other.dxf", "drawing\n");
    const std::string attack = "#fopen Marker \"" + dir.path("unpacked/MARKER") +
                               "\" write\n#fclose Marker\n" + "#fopen Other \"" +
                               dir.path("unpacked/other.dxf") + "\" write\n#fclose Other\n";
    for (const char* name : {"colors.inc", "textures.inc", "stones.inc", "metals.inc", "glass.inc",
                             "woods.inc", "velmak.inc", "velmakUser.inc", "scena.pov"})
        dir.write(std::string("unpacked/") + name, attack);
    dir.write("unpacked/povray.ini", "Output_File_Name=" + dir.path("unpacked/other.dxf") + "\n");
    host::setSysVar("DWGPREFIX", host::SysVarValue{dir.path("unpacked") + "/"}, false);
    host::setSysVar("DWGNAME", host::SysVarValue{std::string("plan.dxf")}, false);
    const ScopedPath path("/usr/bin:/bin");
    const ScopedFolder in(dir.path("unpacked"));
    ASSERT_EQ(run({"VELMPOVRAYD", ""}), RTNORM) << transcript();
    host::waitForStartedPrograms();
    const std::string log = dir.read("unpacked/plan$.log");
    EXPECT_FALSE(fs::exists(dir.path("unpacked/MARKER"))) << log;
    EXPECT_EQ(dir.read("unpacked/other.dxf"), "drawing\n");
    // The picture is there, and the private folder gone.
    EXPECT_EQ(dir.read("unpacked/plan$.bmp").substr(0, 2), "BM") << log;
    EXPECT_NE(log.find("Zapisano plik " + dir.path("unpacked/plan$.bmp")), std::string::npos) << log;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.path("unpacked")))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".velmor-render-")) << entry.path();
    // The renderer's messages went to its log, and the command says where.
    EXPECT_NE(transcript().find("komunikaty programu: " + dir.path("unpacked/plan$.log") + "."),
              std::string::npos)
        << transcript();
}

// ---------------------------------------------------------------- a render for real

namespace {

// A small picture of one colour ("r,g,b", each 0 or 1) made by the engine.
void MakePicture(const TestDir& dir, const std::string& name, const std::string& colour) {
    dir.write("colour.pov", "background { color rgb <" + colour + "> }\n");
    const std::string command = "cd '" + dir.path() + "' && /usr/bin/povray +Icolour.pov +O'" +
                                dir.path(name) + "' +FN +W8 +H8 -D -V >/dev/null 2>&1 </dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
}

// The channel (0 red, 1 green, 2 blue) strongest at the middle of a BMP
// picture; -1 when it is no picture the engine writes.
int MiddleChannel(const std::string& bmp) {
    auto number = [&](std::size_t at, int bytes) {
        unsigned long value = 0;
        for (int k = bytes - 1; k >= 0; --k) value = value << 8 | static_cast<unsigned char>(bmp[at + k]);
        return value;
    };
    if (bmp.size() < 54 || !bmp.starts_with("BM")) return -1;
    const unsigned long offset = number(10, 4), width = number(18, 4), height = number(22, 4);
    const unsigned long depth = number(28, 2) / 8;
    const unsigned long stride = (width * depth + 3) / 4 * 4;
    const std::size_t at = offset + height / 2 * stride + width / 2 * depth;
    if (depth < 3 || at + 3 > bmp.size()) return -1;
    const int blue = static_cast<unsigned char>(bmp[at]), green = static_cast<unsigned char>(bmp[at + 1]),
              red = static_cast<unsigned char>(bmp[at + 2]);
    if (red > green && red > blue) return 0;
    if (green > red && green > blue) return 1;
    return blue > red && blue > green ? 2 : -1;
}

}  // namespace

// The engine runs in its private folder: a backdrop is given to it as a
// copy there, whether the drawing names it bare (beside the drawing) or
// with a folder; one that cannot be found is said and left out, and the
// render goes on.
TEST_F(PovSceneRendered, a_backdrop_named_bare_or_with_a_folder_renders_from_its_copy) {
    if (std::system("command -v /usr/bin/povray >/dev/null 2>&1") != 0) GTEST_SKIP() << "no povray";
    fs::create_directories(dir.path("drawing"));
    fs::create_directories(dir.path("pictures"));
    MakePicture(dir, "drawing/tlo.png", "1,0,0");
    MakePicture(dir, "pictures/green.png", "0,1,0");
    host::setSysVar("DWGPREFIX", host::SysVarValue{dir.path("drawing") + "/"}, false);
    host::setSysVar("DWGNAME", host::SysVarValue{std::string("plan.dxf")}, false);
    ASSERT_EQ(run({"VELMOBJECT", "TMS_PROS", "500,-800", "0", ""}), RTNORM);
    SetSettingInt(SetupVar::SETPOVADDIMG, 1);
    const ScopedPath path("/usr/bin:/bin");
    const ScopedFolder in(dir.path());
    struct Case {
        std::string name;
        int channel;  // of the picture rendered: the backdrop's, or the background's
        bool found;
    };
    for (const Case& c : {Case{"tlo.png", 0, true}, Case{dir.path("pictures/green.png"), 1, true},
                          Case{"pictures/../pictures/green.png", 1, true}, Case{"brak.png", 2, false}}) {
        fs::remove(dir.path("drawing/plan$.bmp"));
        SetSettingString(SetupVar::SETPOVFILEIMG, c.name);
        const std::size_t before = transcript().size();
        ASSERT_EQ(run({"VELMPOVRAYD", "!pick 500,-800"}), RTNORM) << transcript();
        const std::string said = transcript().substr(before);
        host::waitForStartedPrograms();
        const std::string log = dir.read("drawing/plan$.log");
        EXPECT_NE(log.find("Zapisano plik " + dir.path("drawing/plan$.bmp")), std::string::npos)
            << c.name << log;
        EXPECT_EQ(MiddleChannel(dir.read("drawing/plan$.bmp")), c.channel) << c.name;
        const std::string scene = dir.read("drawing/plan$.pov");
        EXPECT_EQ(scene.find("\"" + c.name), std::string::npos) << c.name;
        EXPECT_EQ(scene.find("image_map { png \"velmor-tlo.png\" once }") != std::string::npos, c.found)
            << c.name;
        EXPECT_EQ(said.find("Obraz tła pominięto") == std::string::npos, c.found) << said;
    }
    EXPECT_NE(transcript().find("brak.png"), std::string::npos) << transcript();
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.path("drawing")))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".velmor-render-")) << entry.path();
}

TEST_F(PovScene, a_backdrop_that_is_no_picture_or_leads_out_of_the_drawing_folder_is_refused) {
    fs::create_directories(dir.path("drawing"));
    dir.write("secret.png", "\x89PNG\r\n\x1a\nsecret");
    dir.write("drawing/notes.png", "some text\n");
    fs::create_symlink(dir.path("secret.png"), dir.path("drawing/away.png"));
    fs::create_directories(dir.path("drawing/folder.png"));
    for (const char* name : {"notes.png", "away.png", "folder.png", "secret.txt"}) {
        std::string why;
        EXPECT_FALSE(FindPovBackdrop(name, dir.path("drawing") + "/", why)) << name;
        EXPECT_FALSE(why.empty()) << name;
    }
    std::string why;
    const std::optional<PovBackdrop> found =
        FindPovBackdrop(dir.path("secret.png"), dir.path("drawing") + "/", why);
    ASSERT_TRUE(found) << why;
    EXPECT_EQ(found->copyName, "velmor-tlo.png");
    EXPECT_EQ(found->bytes, dir.read("secret.png"));
}

// Code reaching the scene (here the user's own include file) that tries to
// write beside the drawing and to read the user's files: the kernel
// refuses both, and the picture is rendered all the same.
TEST_F(PovSceneRendered, scene_code_can_neither_write_outside_nor_read_the_users_files) {
    if (std::system("command -v /usr/bin/povray >/dev/null 2>&1") != 0) GTEST_SKIP() << "no povray";
    if (host::confinementVersion() == 0) GTEST_SKIP() << "the kernel confines no program";
    fs::create_directories(dir.path("drawing"));
    fs::create_directories(dir.path("home"));
    dir.write("home/secret.txt", "secret\n");
    Face("VELM3DWALLS$0", {0, 0, 0}, {100, 0, 0}, {100, 0, 100}, {0, 0, 100});
    PreparePovFolders();
    dir.write("docs/POV-Ray/v3.6/include/velmakUser.inc",
              "#if (file_exists(\"" + dir.path("home/secret.txt") +
                  "\"))\n#debug \"SECRET-READ\\n\"\n#else\n#debug \"SECRET-UNREAD\\n\"\n#end\n"
                  "#if (file_exists(\"../plan.dxf\"))\n#debug \"BESIDE-READ\\n\"\n#end\n"
                  "#fopen Out \"../x\" write\n#write (Out, \"x\")\n#fclose Out\n#debug \"WRITTEN\\n\"\n");
    dir.write("drawing/plan.dxf", "drawing\n");
    host::setSysVar("DWGPREFIX", host::SysVarValue{dir.path("drawing") + "/"}, false);
    host::setSysVar("DWGNAME", host::SysVarValue{std::string("plan.dxf")}, false);
    const ScopedPath path("/usr/bin:/bin");
    ASSERT_EQ(run({"VELMPOVRAYD", ""}), RTNORM) << transcript();
    host::waitForStartedPrograms();
    const std::string log = dir.read("drawing/plan$.log");
    EXPECT_FALSE(fs::exists(dir.path("drawing/x"))) << log;
    EXPECT_NE(log.find("SECRET-UNREAD"), std::string::npos) << log;
    EXPECT_EQ(log.find("SECRET-READ"), std::string::npos) << log;
    EXPECT_EQ(log.find("BESIDE-READ"), std::string::npos) << log;
    EXPECT_EQ(log.find("WRITTEN"), std::string::npos) << log;
    EXPECT_EQ(transcript().find("bez ograniczeń"), std::string::npos) << transcript();
}

// A folder under the picture's or the log's name: said before anything
// starts, for either name.
TEST_F(PovScene, a_picture_or_log_name_taken_by_a_folder_is_said_before_the_start) {
    host::setSysVar("DWGPREFIX", host::SysVarValue{dir.path() + "/"}, false);
    host::setSysVar("DWGNAME", host::SysVarValue{std::string("plan.dxf")}, false);
    for (const char* taken : {"plan$.bmp", "plan$.log"}) {
        fs::remove_all(dir.path("plan$.bmp"));
        fs::remove_all(dir.path("plan$.log"));
        fs::create_directories(dir.path(taken));
        host::ProcessRecorder recorder;
        run({"VELMPOVRAYD", ""});
        EXPECT_NE(transcript().find(dir.path(taken) + " jest folderem, nie plikiem."), std::string::npos)
            << transcript();
        EXPECT_TRUE(recorder.started().empty()) << taken;
    }
}

// Faces past what the engine may take of the machine's memory: refused
// before anything is written.
TEST_F(PovScene, a_drawing_whose_faces_need_more_memory_than_the_engine_may_take_is_refused) {
    MakeExpandingDrawing(3300, 3000);  // 9.9 million faces, under the walk's bound
    if (PovEngineMemoryNeeded(9900000) <= PovEngineMemoryLimit()) GTEST_SKIP() << "a machine this large";
    host::setSysVar("DWGPREFIX", host::SysVarValue{dir.path() + "/"}, false);
    host::setSysVar("DWGNAME", host::SysVarValue{std::string("big.dxf")}, false);
    host::ProcessRecorder recorder;
    run({"VELMPOVRAYD", ""});
    EXPECT_NE(transcript().find("9900000 ścian 3D"), std::string::npos) << transcript();
    EXPECT_NE(transcript().find("renderowania nie rozpoczęto"), std::string::npos);
    EXPECT_TRUE(recorder.started().empty());
    EXPECT_FALSE(fs::exists(dir.path("big$.pov")));
    // A real building's faces fit.
    EXPECT_LE(PovEngineMemoryNeeded(1000000), std::uint64_t{8} << 30);
}

// A block of lines inserted many times: none of its lines reaches the
// scene. The bound counts the one face the scene holds (four million lines
// counted once per block, nothing expanded), and on a smaller copy the
// render starts with the scene of the face alone.
namespace {
void MakeLinesInsertedWithOneFace(int lines, int inserts) {
    auto make = [](resbuf* list) {
        EXPECT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    };
    const ads_point o{0, 0, 0};
    make(zcutBuildList(RTDXF0, "BLOCK", 2, "LINES", 70, 0, 10, o, 0));
    for (int i = 0; i < lines; ++i) {
        const ads_point a{0, 1.0 * i, 0}, b{50, 1.0 * i, 0};
        make(zcutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, 0));
    }
    make(zcutBuildList(RTDXF0, "ENDBLK", 0));
    for (int k = 0; k < inserts; ++k) {
        const ads_point at{100.0 * k, 0, 0};
        make(zcutBuildList(RTDXF0, "INSERT", 2, "LINES", 8, "0", 10, at, 0));
    }
}
}  // namespace

TEST_F(PovScene, lines_inserted_hundreds_of_times_do_not_count_against_the_engines_memory) {
    MakeLinesInsertedWithOneFace(10000, 400);
    Face("VELM3DWALLS$0", {0, 0, 0}, {100, 0, 0}, {100, 0, 100}, {0, 0, 100});
    EXPECT_EQ(scene::SceneFaces(GetWorkingDatabase()->modelSpaceId()), 1u);
}

TEST_F(PovScene, a_render_beside_inserted_lines_starts_with_the_scene_of_the_faces_alone) {
    MakeLinesInsertedWithOneFace(1000, 40);
    Face("VELM3DWALLS$0", {0, 0, 0}, {100, 0, 0}, {100, 0, 100}, {0, 0, 100});
    host::setSysVar("DWGPREFIX", host::SysVarValue{dir.path() + "/"}, false);
    host::setSysVar("DWGNAME", host::SysVarValue{std::string("lines.dxf")}, false);
    host::ProcessRecorder recorder;
    run({"VELMPOVRAYD", ""});
    EXPECT_EQ(transcript().find("renderowania nie rozpoczęto"), std::string::npos) << transcript();
    EXPECT_EQ(Count(dir.read("lines$.pov"), "polygon {"), 1);
}

// The memory a control group allows, read from either hierarchy: the
// unified one's "memory.max" and the older one's "memory.limit_in_bytes",
// the group's own or an ancestor's, "max" and missing files meaning none.
TEST(PovEngineMemory, a_control_groups_limit_of_either_hierarchy_lowers_the_machines_memory) {
    const TestDir dir;
    const auto limit = [&](const std::string& file, const std::string& text) {
        fs::create_directories(fs::path(dir.path(file)).parent_path());
        dir.write(file, text + "\n");
    };
    const std::uint64_t gb = std::uint64_t{1} << 30;
    const std::string older = dir.path("v1"), unified = dir.path("v2");
    // No group limits anything: the machine's memory.
    EXPECT_EQ(PovEngineMemoryLimitIn(16 * gb, "0::/\n", older), 16 * gb);
    // The older hierarchy, as machines of this kind have it.
    limit("v1/memory/box/job/memory.limit_in_bytes", std::to_string(3 * gb));
    const std::string groups = "5:devices:/\n4:memory:/box/job\n1:cpu,cpuacct:/\n0::/\n";
    EXPECT_EQ(PovEngineMemoryLimitIn(16 * gb, groups, older), 3 * gb);
    // An ancestor's limit holds for the group; the unlimited value of the
    // older hierarchy is far above any machine and changes nothing.
    limit("v1/memory/box/memory.limit_in_bytes", std::to_string(2 * gb));
    limit("v1/memory/memory.limit_in_bytes", "9223372036854771712");
    EXPECT_EQ(PovEngineMemoryLimitIn(16 * gb, groups, older), 2 * gb);
    // Seen from inside a namespace the group's folder may be missing: the
    // root's own limit is read.
    limit("v1/memory/memory.limit_in_bytes", std::to_string(gb));
    EXPECT_EQ(PovEngineMemoryLimitIn(16 * gb, "4:memory:/elsewhere\n", older), gb);
    // The unified hierarchy, at the root or beside the older one.
    limit("v2/user/app/memory.max", "max");
    limit("v2/user/memory.max", std::to_string(5 * gb));
    EXPECT_EQ(PovEngineMemoryLimitIn(16 * gb, "0::/user/app\n", unified), 5 * gb);
    limit("v2/unified/user/app/memory.max", std::to_string(4 * gb));
    EXPECT_EQ(PovEngineMemoryLimitIn(16 * gb, "0::/user/app\n", unified), 4 * gb);
    // A machine whose memory is not known takes the group's.
    EXPECT_EQ(PovEngineMemoryLimitIn(0, "0::/user/app\n", unified), 4 * gb);
}

// ---------------------------------------------------------------- commands

TEST_F(PovScene, render_command_writes_the_scene_beside_the_drawing_and_starts_the_engine) {
    host::setSysVar("DWGPREFIX", host::SysVarValue{dir.path() + "/"}, false);
    host::setSysVar("DWGNAME", host::SysVarValue{std::string("house.dwg")}, false);
    EXPECT_EQ(PovDrawingBaseName(), dir.path() + "/house");
    // No engine: the message, and the scene stays.
    fs::create_directories(dir.path("empty"));
    const ScopedPath noEngine(dir.path("empty"));
    run({"VELMPOVRAYD", ""});
    EXPECT_TRUE(fs::exists(dir.path("house$.pov")));
    ASSERT_FALSE(zcui::MessageBoxes().empty());
    EXPECT_EQ(zcui::MessageBoxes().back().text, kPovNotInstalled);

    fs::create_directories(dir.path("pov/bin"));
    std::ofstream(dir.path("pov/bin/pvengine64.exe")) << "";
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kPovEngineKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    const std::string home = dir.path("pov") + "\\";
    RegSetValueExW(key, "Home", 0, REG_SZ, reinterpret_cast<const BYTE*>(home.c_str()),
                   static_cast<DWORD>(home.size() + 1));
    RegCloseKey(key);
    host::ProcessRecorder recorder;
    run({"VELMPOVRAYD", ""});
    ASSERT_EQ(recorder.started().size(), 1u);
    const host::StartedProcess& p = recorder.started()[0];
    EXPECT_EQ(p.application, home + "bin\\pvengine64.exe");
    EXPECT_EQ(p.arguments,
              (std::vector<std::string>{"+I\"scena.pov\"", "+O\"obraz.bmp\"", "+FB", "+D", "-V"}));
    // It runs in a folder of its own beside the scene, its home, which goes
    // when it ends; the picture is moved beside the drawing, and its
    // messages go to a log there.
    EXPECT_EQ(p.currentDirectory.rfind(dir.path() + "/.velmor-render-", 0), 0u) << p.currentDirectory;
    EXPECT_EQ(p.privateFolder, p.currentDirectory);
    EXPECT_EQ(p.environment, (std::vector<std::string>{"HOME=" + p.currentDirectory}));
    EXPECT_EQ(p.results, (std::vector<std::pair<std::string, std::string>>{
                             {p.currentDirectory + "/obraz.bmp", dir.path() + "/house$.bmp"}}));
    EXPECT_EQ(p.log, dir.path() + "/house$.log");
    EXPECT_EQ(p.priorityClass, 0x80u);
    EXPECT_NE(dir.read(p.currentDirectory.substr(dir.path().size() + 1) + "/scena.pov")
                  .find("#include \"velmak.inc\""),
              std::string::npos);
    // The command says where the scene went, that the render started, which
    // picture it makes and where the engine's messages go.
    EXPECT_NE(transcript().find("Zapisano scenę POV-Ray w pliku " + dir.path() + "/house$.pov."),
              std::string::npos);
    EXPECT_NE(transcript().find("Renderowanie rozpoczęte w tle; obraz: " + dir.path() +
                                "/house$.bmp; komunikaty programu: " + dir.path() + "/house$.log."),
              std::string::npos)
        << transcript();
}

TEST_F(PovScene, engine_without_a_key_is_the_renderer_on_the_search_path_run_beside_the_scene) {
    host::setSysVar("DWGPREFIX", host::SysVarValue{dir.path() + "/"}, false);
    host::setSysVar("DWGNAME", host::SysVarValue{std::string("house.dwg")}, false);
    fs::create_directories(dir.path("bin/povray"));  // a folder is no program
    fs::create_directories(dir.path("tools"));
    std::ofstream(dir.path("tools/povray")) << "#!/bin/sh\n";
    fs::permissions(dir.path("tools/povray"), fs::perms::owner_all);
    const ScopedPath path(dir.path("bin") + ":" + dir.path("tools"));
    host::ProcessRecorder recorder;
    EXPECT_EQ(run({"VELMPOVRAYD", ""}), RTNORM);
    EXPECT_TRUE(zcui::MessageBoxes().empty());
    ASSERT_EQ(recorder.started().size(), 1u);
    const host::StartedProcess& p = recorder.started()[0];
    EXPECT_EQ(p.application, dir.path("tools/povray"));
    EXPECT_EQ(p.currentDirectory.rfind(dir.path() + "/.velmor-render-", 0), 0u) << p.currentDirectory;
    // The includes the scene names lie beside it, and in the folder where
    // the engine runs, from the user's include folder.
    EXPECT_TRUE(fs::exists(dir.path("velmak.inc")));
    EXPECT_TRUE(fs::exists(dir.path("velmakUser.inc")));
    EXPECT_TRUE(fs::exists(p.currentDirectory + "/velmak.inc"));
    EXPECT_TRUE(fs::exists(p.currentDirectory + "/velmakUser.inc"));
}

TEST_F(PovScene, includes_beside_the_scene_follow_the_module_file_and_keep_the_users_own) {
    fs::remove_all(dir.path("docs"));  // no engine installer made the include folder
    fs::create_directories(dir.path("docs"));
    fs::create_directories(dir.path("out"));
    std::ofstream(dir.path("out/velmak.inc")) << "// old\n";
    std::ofstream(dir.path("out/velmakUser.inc")) << "// mine\n";
    CPovRay scene;
    ASSERT_TRUE(scene.WriteScene(dir.path("out/scene.pov")));
    EXPECT_TRUE(zcui::MessageBoxes().empty());
    const std::string include = dir.path("docs/POV-Ray/v3.6/include/");
    EXPECT_TRUE(fs::exists(include + "velmAnteprime/_T_Stone8.BMP"));
    std::ifstream shipped(include + "velmak.inc"), copied(dir.path("out/velmak.inc"));
    std::stringstream a, b;
    a << shipped.rdbuf();
    b << copied.rdbuf();
    EXPECT_FALSE(a.str().empty());
    EXPECT_EQ(a.str(), b.str());
    std::ifstream own(dir.path("out/velmakUser.inc"));
    std::string first;
    std::getline(own, first);
    EXPECT_EQ(first, "// mine");
}

TEST_F(PovScene, current_3d_view_frames_the_model_seen_along_it) {
    // A tower 100 x 100 x 1000: the plan's framing would cut its top off.
    Face("VELM3DWALLS$0", {0, 0, 0}, {100, 0, 0}, {100, 0, 1000}, {0, 0, 1000});
    Face("VELM3DWALLS$0", {0, 100, 0}, {100, 100, 0}, {100, 100, 1000}, {0, 100, 1000});
    run({"_ZOOM", "_E"});
    host::ViewState view = host::currentView();
    view.perspective = false;
    view.direction = ZcGeVector3d(1, -1, 1);
    host::setCurrentView(view);
    CPovRay scene;
    const std::string text = Scene("view_3d", scene);
    double right = 0, up = 0, eye[3], at[3];
    const std::size_t camera = text.find("orthographic");
    ASSERT_NE(camera, std::string::npos) << text;
    ASSERT_EQ(std::sscanf(text.c_str() + camera,
                          "orthographic   sky  <0, 0, 1>\nright  <%lf, 0, 0>\nup     <0, %lf, 0>\n"
                          "location  <%lf, %lf, %lf>\nlook_at  <%lf, %lf, %lf>",
                          &right, &up, &eye[0], &eye[1], &eye[2], &at[0], &at[1], &at[2]),
              8)
        << text;
    // Every corner of the model within the picture, seen from the camera.
    ZcGeVector3d look(at[0] - eye[0], at[1] - eye[1], at[2] - eye[2]);
    look.normalize();
    EXPECT_LT((look + ZcGeVector3d(1, -1, 1).normalize()).length(), 1e-2);
    ZcGeVector3d across = look.crossProduct(ZcGeVector3d::kZAxis);
    across.normalize();
    const ZcGeVector3d upward = across.crossProduct(look);
    for (double x : {0.0, 100.0})
        for (double y : {0.0, 100.0})
            for (double z : {0.0, 1000.0}) {
                const ZcGeVector3d v(x - at[0], y - at[1], z - at[2]);
                EXPECT_LE(std::fabs(v.dotProduct(across)), std::fabs(right) / 2 + 0.01)
                    << x << " " << y << " " << z;
                EXPECT_LE(std::fabs(v.dotProduct(upward)), up / 2 + 0.01) << x << " " << y << " " << z;
            }
    EXPECT_GT(up, 1000.0 * std::sqrt(2.0 / 3.0));  // the tower's height as seen, not the plan's 100
}

TEST_F(PovScene, camera_symbol_points_where_the_camera_looks) {
    for (const char* rotation : {"0", "30", "-120"}) {
        ASSERT_EQ(run({"_ERASE", "_ALL", "", "VELMOBJECT", "TMS_PROS", "500,-800", rotation, ""}), RTNORM);
        std::vector<ZcDbObjectId> all = modelSpace();
        ASSERT_EQ(all.size(), 1u);
        ZcDbObjectPointer<ZcDbBlockReference> insert(all[0], ZcDb::kForRead);
        ASSERT_TRUE(insert);
        // The symbol's triangle: the eye at its apex (the insertion point),
        // the view through the middle of the far side; the two edges from
        // the apex end at the far corners.
        const ZcGePoint3d apex = insert->position();
        std::vector<ZcGePoint3d> far;
        const ZcDbXform transform = insert->blockTransform();
        for (const ZcDbObjectId& id : scene::BlockEntities(insert->blockTableRecord())) {
            ZcDbObjectPointer<ZcDbLine> line(id, ZcDb::kForRead);
            if (!line) continue;
            const ZcGePoint3d a = transform.apply(line->startPoint()), b = transform.apply(line->endPoint());
            if (a.distanceTo(apex) < 1e-6) far.push_back(b);
            if (b.distanceTo(apex) < 1e-6) far.push_back(a);
        }
        ASSERT_EQ(far.size(), 2u) << rotation;
        ZcGeVector3d drawn = (far[0].asVector() + far[1].asVector()) / 2.0 - apex.asVector();
        drawn.z = 0;
        drawn.normalize();
        ads_name camera;
        zcdbGetAdsName(camera, all[0]);
        CPovRay scene;
        scene.SetCamera(camera);
        const std::string text = Scene("camera_symbol", scene, false);
        double eye[3], at[3];
        const std::size_t found = text.find("location  <");
        ASSERT_NE(found, std::string::npos);
        ASSERT_EQ(std::sscanf(text.c_str() + found, "location  <%lf, %lf, %lf>\nlook_at   <%lf, %lf, %lf>",
                              &eye[0], &eye[1], &eye[2], &at[0], &at[1], &at[2]),
                  6);
        ZcGeVector3d look(at[0] - eye[0], at[1] - eye[1], 0);
        look.normalize();
        EXPECT_GT(drawn.dotProduct(look), 0.999) << "rotation " << rotation;
    }
}

TEST_F(PovScene, file_command_proposes_the_drawings_folder_and_name_and_cancel_writes_nothing) {
    fs::create_directories(dir.path("drawing"));
    fs::create_directories(dir.path("work"));
    host::setSysVar("DWGPREFIX", host::SysVarValue{dir.path("drawing") + "/"}, false);
    host::setSysVar("DWGNAME", host::SysVarValue{std::string("house.dwg")}, false);
    const ScopedFolder in(dir.path("work"));
    run({"!dialog file cancel", "VELMPOVRAYF", ""});
    EXPECT_FALSE(fs::exists(dir.path("drawing/house.pov")));
    run({"!dialog file ok", "VELMPOVRAYF", ""});
    // The default, and a bare name, go beside the drawing with the includes,
    // whatever the current folder, and the command says where.
    EXPECT_TRUE(fs::exists(dir.path("drawing/house.pov")));
    EXPECT_TRUE(fs::exists(dir.path("drawing/velmak.inc")));
    EXPECT_FALSE(fs::exists(dir.path("work/house.pov")));
    EXPECT_NE(transcript().find("Zapisano scenę POV-Ray w pliku " + dir.path("drawing/house.pov.")),
              std::string::npos)
        << transcript();
    run({"!dialog file edit 1152 \"other.pov\" ok", "VELMPOVRAYF", ""});
    EXPECT_TRUE(fs::exists(dir.path("drawing/other.pov")));
}

TEST_F(PovScene, a_new_drawing_saved_under_a_name_saves_and_exports_under_it) {
    const ScopedFolder in(dir.path());
    ASSERT_EQ(run({"_SAVEAS", "plan.dxf"}), RTNORM) << transcript();
    EXPECT_EQ(host::sysVarString("DWGNAME"), "plan.dxf");
    EXPECT_EQ(host::sysVarString("DWGPREFIX"), dir.path() + "/");
    Face("VELM3DWALLS$0", {0, 0, 0}, {100, 0, 0}, {100, 0, 100}, {0, 0, 100});
    // _QSAVE goes back to plan.dxf without a question, with the edit.
    ASSERT_EQ(run({"_QSAVE"}), RTNORM) << transcript();
    EXPECT_NE(dir.read("plan.dxf").find("3DFACE"), std::string::npos);
    ASSERT_EQ(run({"!dialog file ok", "VELMPOVRAYF", ""}), RTNORM) << transcript();
    EXPECT_TRUE(fs::exists(dir.path("plan.pov")));
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with("Drawing")) << entry.path();
}

TEST_F(PovScene, export_that_writes_no_file_says_so_and_fails) {
    host::setSysVar("DWGPREFIX", host::SysVarValue{dir.path() + "/"}, false);
    host::setSysVar("DWGNAME", host::SysVarValue{std::string("house.dwg")}, false);
    const ScopedFolder in(dir.path());
    EXPECT_EQ(run({"!dialog file ok", "VELMPOVRAYF", ""}), RTNORM);
    EXPECT_EQ(transcript().find(kPovNoFileWritten + 1), std::string::npos);
    std::ofstream(dir.path("house.pov")) << "// old\n";
    // Onto the existing file: the overwrite question's default keeps it.
    EXPECT_EQ(run({"!dialog file ok", "VELMPOVRAYF", ""}), RTERROR);
    std::ifstream kept(dir.path("house.pov"));
    std::string first;
    std::getline(kept, first);
    EXPECT_EQ(first, "// old");
    EXPECT_NE(transcript().find(kPovNoFileWritten + 1), std::string::npos) << transcript();
    // A scene that cannot be written fails too.
    fs::create_directories(dir.path("folder.pov"));
    EXPECT_EQ(
        run({"!dialog file edit 1152 \"" + dir.path("folder.pov/x/y.pov") + "\" ok", "VELMPOVRAYF", ""}),
        RTERROR);
}

// A few kilobytes of drawing that would write megabytes: the scene stops
// at its bound, the name keeps the old file and no temporary file stays;
// a file-size limit of the process stops it the same way.
TEST_F(PovScene, a_scene_past_its_bound_or_a_file_size_limit_leaves_the_old_file_and_no_temporary_one) {
    MakeExpandingDrawing(100, 60);
    fs::create_directories(dir.path("out"));
    const std::string path = dir.path("out/house.pov");
    std::ofstream(path) << "// old\n";
    const auto old = [&] {
        std::ifstream in(path);
        std::string first;
        std::getline(in, first);
        return first;
    };
    CPovRay bounded;
    bounded.maxSceneMegabytes = 1;
    EXPECT_FALSE(bounded.WriteScene(path));
    EXPECT_NE(transcript().find("Plik " + path + " byłby większy niż 1 MB: nie został zapisany."),
              std::string::npos)
        << transcript();
    EXPECT_EQ(old(), "// old");
    EXPECT_EQ(FolderNames(dir.path("out")), std::vector<std::string>{"house.pov"});
    // Within its bound the same drawing is written whole.
    CPovRay whole;
    whole.maxSceneMegabytes = 64;
    ASSERT_TRUE(whole.WriteScene(path));
    EXPECT_GT(fs::file_size(path), std::uintmax_t{1} << 20);
    const std::vector<std::string> written = FolderNames(dir.path("out"));

    std::ofstream(path) << "// old\n";
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = 256 * 1024;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    CPovRay limited;
    const bool limitedWritten = limited.WriteScene(path);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, handler);
    EXPECT_FALSE(limitedWritten);
    EXPECT_EQ(old(), "// old");
    EXPECT_EQ(FolderNames(dir.path("out")), written);
}

// ---------------------------------------------------------------- dialogs

TEST_F(PovScene, material_dialog_refuses_to_remove_a_group_and_keeps_the_assignment_on_import_cancel) {
    const AAR_LAYERPOV before = [] {
        ZcDbObjectPointer<VELM_MATPOV> t(OpenMatPovObject());
        return t->rows;
    }();
    ASSERT_FALSE(before.empty());
    // A layer row enables the remove button; the group row then is refused.
    run({"!dialog 318 select 1385 2 select 1385 0 click 1406 ok", "VELMPOVMAT"});
    ASSERT_FALSE(zcui::MessageBoxes().empty());
    EXPECT_EQ(zcui::MessageBoxes().back().text, "Nie można usunąć nazwy grupy");
    {
        ZcDbObjectPointer<VELM_MATPOV> t(OpenMatPovObject());
        EXPECT_EQ(t->rows, before);
        t->rows.resize(3);
    }
    // Import reads the shipped file; Cancel drops it.
    run({"!dialog 318 click 1461 cancel", "VELMPOVMAT"});
    {
        ZcDbObjectPointer<VELM_MATPOV> t(OpenMatPovObject());
        EXPECT_EQ(t->rows.size(), 3u);
    }
    // Import when no "LAYERPOV.DEF" is found keeps what the dialog holds,
    // and OK stores that.
    fs::create_directories(dir.path("library"));
    fs::copy_file(std::string(VELM_SOURCE_DIR) + "/support/TEXTUREPOV.DEF",
                  dir.path("library/TEXTUREPOV.DEF"));
    host::setSupportPathProvider([this] { return std::vector<std::string>{dir.path("library")}; });
    run({"!dialog 318 click 1461 ok", "VELMPOVMAT"});
    {
        ZcDbObjectPointer<VELM_MATPOV> t(OpenMatPovObject());
        EXPECT_EQ(t->rows.size(), 3u);
    }
    // Nor does an empty one, which is named.
    std::ofstream(dir.path("library/LAYERPOV.DEF")).flush();
    EXPECT_EQ(run({"!dialog 318 click 1461 ok", "VELMPOVMAT"}), RTERROR) << "a damaged file named fails";
    EXPECT_NE(transcript().find(dir.path("library/LAYERPOV.DEF") + ": " + kLayerPovAssignsNothing),
              std::string::npos)
        << transcript();
    ZcDbObjectPointer<VELM_MATPOV> t(OpenMatPovObject());
    EXPECT_EQ(t->rows.size(), 3u);
}

TEST_F(PovScene, material_dialog_takes_ok_on_what_it_shows_and_stores_its_table) {
    AAR_LAYERPOV shipped, held;
    {
        ZcDbObjectPointer<VELM_MATPOV> t(OpenMatPovObject());
        shipped = t->rows;
        ASSERT_GT(shipped.size(), 4u);
        ASSERT_FALSE(shipped[2].layer.starts_with("*"));
        // A drawing's own table, its third row a layer without a material.
        t->rows.resize(4);
        t->rows[2].texture.clear();
        t->rows[2].scale = 0.0;
        held = t->rows;
    }
    const auto stored = [] {
        ZcDbObjectPointer<VELM_MATPOV> t(OpenMatPovObject());
        return t->rows;
    };
    const auto endedWithOk = [](const char* how) {
        ASSERT_FALSE(zcui::DialogsShown().empty()) << how;
        EXPECT_EQ(zcui::DialogsShown().back().id, 318u) << how;
        EXPECT_EQ(zcui::DialogsShown().back().result, IDOK) << how;
        for (const auto& box : zcui::MessageBoxes()) ADD_FAILURE() << how << ": " << box.text;
    };
    // Confirmed at once, with the layer without a material chosen, or
    // after a heading of the materials was chosen: the scale field shows no
    // entry of the user's, and the table goes back as it was.
    for (const char* line : {"!dialog 318 ok", "!dialog 318 select 1385 2 ok", "!dialog 318 select 1002 0 ok",
                             "!dialog 318 select 1385 2 select 1002 0 ok"}) {
        zcui::ResetUi();
        EXPECT_EQ(run({line, "VELMPOVMAT"}), RTNORM) << line;
        endedWithOk(line);
        EXPECT_EQ(stored(), held) << line;
    }
    // Import and OK: the file's table is the drawing's.
    zcui::ResetUi();
    EXPECT_EQ(run({"!dialog 318 click 1461 ok", "VELMPOVMAT"}), RTNORM);
    endedWithOk("import");
    EXPECT_EQ(stored(), shipped);
}

TEST_F(PovScene, material_dialog_refuses_a_texture_scale_of_blanks_and_takes_a_typed_one) {
    const AAR_LAYERPOV before = [] {
        ZcDbObjectPointer<VELM_MATPOV> t(OpenMatPovObject());
        return t->rows;
    }();
    ASSERT_FALSE(before[2].layer.starts_with("*"));
    run({"!dialog 318 select 1385 2 edit 1386 \" \" ok cancel", "VELMPOVMAT"});
    ASSERT_EQ(zcui::DialogsShown().size(), 1u);
    EXPECT_EQ(zcui::DialogsShown()[0].result, IDCANCEL) << "OK left the dialog open";
    ASSERT_EQ(zcui::MessageBoxes().size(), 1u);
    EXPECT_EQ(zcui::MessageBoxes()[0].text, kInvalidValueMessage);
    {
        ZcDbObjectPointer<VELM_MATPOV> t(OpenMatPovObject());
        EXPECT_EQ(t->rows, before);
    }
    run({"!dialog 318 select 1385 2 edit 1386 \"2.5\" ok", "VELMPOVMAT"});
    ASSERT_EQ(zcui::DialogsShown().size(), 2u);
    EXPECT_EQ(zcui::DialogsShown()[1].result, IDOK);
    ZcDbObjectPointer<VELM_MATPOV> t(OpenMatPovObject());
    EXPECT_EQ(t->rows[2].scale, 2.5);
    EXPECT_EQ(t->rows[3], before[3]);
}

TEST_F(PovScene, options_dialog_keeps_an_untouched_intensity_and_stores_every_setting) {
    run({"!dialog 333 ok", "VELMPOVOPTIONS"});
    double intensity = 0.0;
    ReadRegistryVariables("povIntAmbiente", nullptr, &intensity, nullptr);
    EXPECT_EQ(intensity, 1.0);
    // 1.0 opens the slider at 6 (1.0 / 0.15 truncated); moved it stores its step.
    int opened = -1;
    zcui::InstallDialogDriver(IDD_PREF_POVRAY, [&](zcui::DialogUser& user) {
        opened = static_cast<CSliderCtrl*>(user.Dialog().GetDlgItem(1436))->GetPos();
        user.Slide(1436, 7);
        user.Check(1446);
        user.Check(1395);
        user.Edit(1396, "ogrod.png");
        user.Edit(1444, "-12.5");
        user.Edit(1398, "2500");
        user.Select(1458, zcui::Row{4});
        user.Ok();
    });
    run({"VELMPOVOPTIONS"});
    zcui::RemoveDialogDriver(IDD_PREF_POVRAY);
    EXPECT_EQ(opened, 6);
    ReadRegistryVariables("povIntAmbiente", nullptr, &intensity, nullptr);
    EXPECT_NEAR(intensity, 1.05, 1e-9);
    int quality = 0;
    ReadRegistryVariables("qualitaRadiosity", &quality, nullptr, nullptr);
    EXPECT_EQ(quality, 4);
    EXPECT_EQ(SettingInt(SetupVar::SETPOVPIANOORI), 1);
    EXPECT_EQ(SettingInt(SetupVar::SETPOVADDIMG), 1);
    EXPECT_EQ(SettingInt(SetupVar::SETPOVSFERACEL), 0);
    EXPECT_EQ(SettingString(SetupVar::SETPOVFILEIMG), "ogrod.png");
    EXPECT_EQ(SettingReal(SetupVar::SETPOVPIANOQZ), -12.5);
    EXPECT_EQ(SettingReal(SetupVar::SETPOVIMGDIST), 2500.0);
    std::string folder;
    ReadRegistryVariables("povDirSupporto", nullptr, nullptr, &folder);
    EXPECT_EQ(folder, dir.path("docs") + "/POV-Ray/v3.6/include/") << "stored with '/'";
}

// The dialog stored every setting at OK: one another program changed while
// it was open went back to what the dialog had shown.
TEST_F(PovScene, options_dialog_stores_only_what_was_changed_in_it) {
    run({"!dialog 333 ok", "VELMPOVOPTIONS"});
    zcui::InstallDialogDriver(IDD_PREF_POVRAY, [&](zcui::DialogUser& user) {
        // Another program sets the brightness while the dialog is open.
        std::ofstream(host::registryFile(), std::ios::app)
            << "[HKEY_CURRENT_USER\\Software\\VelSoftware\\Variabili]\n\"povBrightness\"=sz:\"1.400000\"\n";
        user.Slide(1436, 7);
        user.Ok();
    });
    run({"VELMPOVOPTIONS"});
    zcui::RemoveDialogDriver(IDD_PREF_POVRAY);
    double intensity = 0.0, brightness = 0.0;
    ReadRegistryVariables("povIntAmbiente", nullptr, &intensity, nullptr);
    ReadRegistryVariables("povBrightness", nullptr, &brightness, nullptr);
    EXPECT_NEAR(intensity, 1.05, 1e-9);
    EXPECT_EQ(brightness, 1.4);
    host::setRegistryFile(dir.path("registry"));  // the file holds both
    ReadRegistryVariables("povIntAmbiente", nullptr, &intensity, nullptr);
    ReadRegistryVariables("povBrightness", nullptr, &brightness, nullptr);
    EXPECT_NEAR(intensity, 1.05, 1e-9);
    EXPECT_EQ(brightness, 1.4);
}

}  // namespace
