// The VRML export: the material table and its dialog, the geometry of the
// shapes, the viewpoints with the camera loop and the lights. Every file
// written is kept under the build tree, where an independent reader checks
// it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "core/base/module_state.h"
#include "core/host_services.h"
#include "core/levels.h"
#include "host/ads/acicolor.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/transcript.h"
#include "host/db/dbcolor.h"
#include "host/db/dbents.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/harness/harness.h"
#include "host/ui/dc.h"
#include "host/ui/driver.h"
#include "host/util/findfile.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/host/win_testdir.h"
#include "tests/visual/large_scene.h"
#include "tests/visual/light_kinds.h"
#include "tests/visual/model3d_fixture.h"
#include "visual/vrml/vrml_dialog.h"
#include "visual/vrml/vrml_out.h"
#include "visual/vrml/vrml_table.h"

namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------- the table

TEST(VrmlTable, material_rows_headings_and_short_lines) {
    const AA_LAYERVRML walls = ParseLayerVrmlLine("Walls,8,2,0,255");
    EXPECT_EQ(walls, (AA_LAYERVRML{"Walls", 8, 2, 0, 255}));
    EXPECT_EQ(FormatLayerVrmlLine(walls), "Walls,8,2,0,255");

    const AA_LAYERVRML heading = ParseLayerVrmlLine("**Exterior,");
    EXPECT_EQ(heading, (AA_LAYERVRML{"**Exterior", 0, 0, 0, 0}));
    EXPECT_EQ(FormatLayerVrmlLine(heading), "**Exterior,");

    // A line short of fields keeps its name and reads as zeros, which is
    // what it is written back as.
    const AA_LAYERVRML shortLine = ParseLayerVrmlLine("Roof,3,4");
    EXPECT_EQ(shortLine, (AA_LAYERVRML{"Roof", 0, 0, 0, 0}));
    EXPECT_EQ(FormatLayerVrmlLine(shortLine), "Roof,0,0,0,0");
    EXPECT_EQ(ParseLayerVrmlLine("Plain"), (AA_LAYERVRML{"Plain", 0, 0, 0, 0}));
    // Colours use the whole unsigned range of a packed value.
    EXPECT_EQ(ParseLayerVrmlLine("Sky,0,0,0,3271557120").colour, 3271557120u);
}

TEST(VrmlTable, packed_colours_give_their_red_green_and_blue) {
    ZcCmColor c;
    c.setRGB(200, 100, 50);
    EXPECT_EQ(VrmlColourRgb(c.color()), (host::AciRgb{200, 100, 50}));
    c.setColorIndex(1);
    EXPECT_EQ(VrmlColourRgb(c.color()), *host::aciToRgb(1));
    // A number without a method (as a hand-edited file may hold) is black.
    EXPECT_EQ(VrmlColourRgb(255), (host::AciRgb{}));
}

class VrmlTableFiles : public ::testing::Test {
protected:
    void SetUp() override {
        host::setSupportPathProvider([this] { return std::vector<std::string>{dir.path()}; });
    }
    void TearDown() override { host::setSupportPathProvider(nullptr); }
    TestDir dir;
};

TEST_F(VrmlTableFiles, every_line_is_a_row_and_writing_back_keeps_the_file_and_its_line_ends) {
    const std::string text =
        "**Ściany,\r\n3DWALLS,3,2,0,3269910994\r\n\r\n3DDOORS, 1,1,1,0\r\nSkyBase,0,0,0,3261068368\r\n";
    dir.write("LAYERVRML.DEF", text);
    AAR_LAYERVRML rows;
    ASSERT_TRUE(ReadLayerVrmlDef(rows));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_TRUE(rows[0].IsHeading());
    EXPECT_EQ(rows[1].shininess, 2);
    ASSERT_TRUE(WriteLayerVrmlDef(rows));
    EXPECT_EQ(dir.read("LAYERVRML.DEF"), text);
    // Only the edited row is written anew; the others keep their text.
    rows[1].shininess = 7;
    ASSERT_TRUE(WriteLayerVrmlDef(rows));
    EXPECT_EQ(
        dir.read("LAYERVRML.DEF"),
        "**Ściany,\r\n3DWALLS,3,7,0,3269910994\r\n\r\n3DDOORS, 1,1,1,0\r\nSkyBase,0,0,0,3261068368\r\n");
    AAR_LAYERVRML again;
    ASSERT_TRUE(ReadLayerVrmlDef(again));
    EXPECT_EQ(again, rows);
}

TEST_F(VrmlTableFiles, a_damaged_line_is_named_and_the_file_is_never_written_over) {
    const std::string intact = "**Ściany,\n3DWALLS,3,2,0,3269910994\n3DROOFS,1,1,1,0\n";
    struct Case {
        std::string text;
        std::size_t line;
    };
    const Case cases[] = {
        {"**Ściany,\n3DWALLS,3,2,0,3269910994\n3DROO", 3},                  // cut short, no line end
        {"**Ściany,\n3DWALLS,1e308,2,0,3269910994\n3DROOFS,1,1,1,0\n", 2},  // not a whole number
        {"**Ściany,\n3DWALLS,3,2,0,-1\n3DROOFS,1,1,1,0\n", 2},              // a negative colour
        {"**Ściany,\n3DWALLS,3,2,11,3269910994\n3DROOFS,1,1,1,0\n", 2},     // beyond the slider
        {"**Ściany,\n3DWALLS,3,2,0,3269910994,7\n3DROOFS,1,1,1,0\n", 2},    // a field too many
        {"**Ściany zewnętrzne,\n3DWALLS,3,2,0,3269910994\n3DR\xffOFS,1,1,1,0\n", 3},  // a stray byte
        {intact + "Zbędny wiersz\n", 4},                                              // a line added
    };
    for (const Case& c : cases) {
        dir.write("LAYERVRML.DEF", c.text);
        host::transcript().clear();
        AAR_LAYERVRML rows;
        ASSERT_TRUE(ReadLayerVrmlDef(rows));
        const std::string named = dir.path("LAYERVRML.DEF") + ":" + std::to_string(c.line) + ": ";
        EXPECT_NE(host::transcript().text().find(named), std::string::npos)
            << c.text << host::transcript().text();
        // Unedited: nothing written, not even the zeros of the damaged row.
        EXPECT_TRUE(WriteLayerVrmlDef(rows)) << c.text;
        EXPECT_EQ(dir.read("LAYERVRML.DEF"), c.text);
        // Edited: refused and said so, the file as it was.
        rows[1].ambient = rows[1].ambient == 5 ? 6 : 5;
        host::transcript().clear();
        EXPECT_FALSE(WriteLayerVrmlDef(rows)) << c.text;
        EXPECT_EQ(dir.read("LAYERVRML.DEF"), c.text);
        EXPECT_NE(host::transcript().text().find("(plik nie został zapisany)"), std::string::npos) << c.text;
    }
}

TEST_F(VrmlTableFiles, a_missing_file_reads_empty_and_is_not_made) {
    AAR_LAYERVRML rows = {AA_LAYERVRML{"x", 1, 1, 1, 1}};
    EXPECT_FALSE(ReadLayerVrmlDef(rows));
    EXPECT_TRUE(rows.empty());
    EXPECT_FALSE(WriteLayerVrmlDef({AA_LAYERVRML{"x", 1, 1, 1, 1}}));
    EXPECT_FALSE(fs::exists(dir.path("LAYERVRML.DEF")));
}

// ---------------------------------------------------------------- geometry

ZcGeVector3d Turn(const ZcGeVector3d& v, const ZcGeVector3d& axis, double angle) {
    // Rodrigues' formula, kept apart from the writer's quaternions.
    const ZcGeVector3d k = axis.normal();
    return v * std::cos(angle) + k.crossProduct(v) * std::sin(angle) +
           k * (k.dotProduct(v) * (1 - std::cos(angle)));
}

TEST(VrmlGeometry, look_at_turns_the_camera_onto_its_target_with_its_up_never_down) {
    std::mt19937 random(76);
    std::uniform_real_distribution<double> coordinate(-1000.0, 1000.0);
    for (int i = 0; i < 2000; ++i) {
        const ZcGePoint3d eye(coordinate(random), coordinate(random), coordinate(random));
        ZcGePoint3d target(coordinate(random), coordinate(random), coordinate(random));
        if (i % 50 == 0) target = ZcGePoint3d(eye.x, eye.y, eye.z + (i % 100 ? 300.0 : -300.0));  // plumb
        if (i % 50 == 25) target = ZcGePoint3d(eye.x + 100.0, eye.y, eye.z);                      // level
        ZcGeVector3d axis;
        double angle = 0.0;
        LookAtOrientation(eye, target, axis, angle);
        ASSERT_TRUE(std::isfinite(angle) && std::isfinite(axis.x) && std::isfinite(axis.y) &&
                    std::isfinite(axis.z));
        const ZcGeVector3d look = Turn(ZcGeVector3d(0, 0, -1), axis, angle);
        const ZcGeVector3d want = (target - eye).normal();
        EXPECT_NEAR((look - want).length(), 0.0, 1e-6) << i;
        EXPECT_GE(Turn(ZcGeVector3d(0, 1, 0), axis, angle).z, -1e-9) << i;
    }
}

TEST(VrmlGeometry, vertex_search_gives_the_first_equal_vertex_across_cells_and_a_new_tolerance) {
    const double saved = SharedTolerance;
    SetSharedTolerance(0.001);
    // Points on a lattice finer than the tolerance, so most have several
    // equal vertices, some across cell borders; the first one listed wins.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> step(-6, 6);
    VrmlLayerGroup group;
    std::vector<ZcGePoint3d> reference;
    auto firstEqual = [&reference](const ZcGePoint3d& p) {
        for (std::size_t i = 0; i < reference.size(); ++i)
            if (std::fabs(reference[i].x - p.x) <= SharedTolerance &&
                std::fabs(reference[i].y - p.y) <= SharedTolerance &&
                std::fabs(reference[i].z - p.z) <= SharedTolerance)
                return static_cast<int>(i);
        reference.push_back(p);
        return static_cast<int>(reference.size()) - 1;
    };
    for (int i = 0; i < 3000; ++i) {
        if (i == 2000) SetSharedTolerance(0.002);  // a tolerance the cells were not made for
        const ZcGePoint3d p(100.0 + step(random) * 0.0004, -50.0 + step(random) * 0.0004,
                            step(random) * 0.0004);
        ASSERT_EQ(FindOrAddVertex(p, group), firstEqual(p)) << i;
    }
    EXPECT_EQ(group.vertices.size(), reference.size());
    SetSharedTolerance(saved);
}

TEST(VrmlGeometry, faces_share_vertices_and_a_doubled_corner_makes_a_triangle) {
    VrmlLayerGroups groups;
    VrmlLayerGroup& group = FindOrAddLayerGroup("3DWALLS", groups);
    const ZcGePoint3d quad[4] = {{0, 0, 0}, {10, 0, 0}, {10, 0, 10}, {0, 0, 10}};
    const ZcGePoint3d tri[4] = {{10, 0, 0}, {10, 10, 0}, {10, 0, 10}, {10, 0, 10 + 1e-12}};
    AddVrmlFace(quad, group);
    AddVrmlFace(tri, group);
    ASSERT_EQ(group.faces.size(), 2u);
    EXPECT_EQ(group.vertices.size(), 5u);
    const int* t = group.faces[1].index;
    EXPECT_EQ(std::vector<int>(t, t + 5), (std::vector<int>{1, 4, 2, -1, -1}));
    const int* q = group.faces[0].index;
    EXPECT_EQ(std::vector<int>(q, q + 5), (std::vector<int>{0, 1, 2, 3, -1}));
    // Names are compared without case.
    EXPECT_EQ(&FindOrAddLayerGroup("3dwalls", groups), &groups[0]);
    EXPECT_EQ(VrmlGroupName("VELM3DWALLS$0"), "3DWALLS");
    EXPECT_EQ(VrmlGroupName("VELM3DWALLS$300"), "3DWALLS");
    EXPECT_EQ(VrmlGroupName("dom|velm3DROOFSLAB_T$0"), "3DROOFSLAB_T");
    EXPECT_EQ(VrmlGroupName("OTHER$1"), "OTHER$1");
    EXPECT_EQ(VrmlDefaultFileName("house.dwg"), "house");
    EXPECT_EQ(VrmlDefaultFileName(".dwg"), ".dwg");
}

// ---------------------------------------------------------------- export

class VrmlExport : public Model3DTest {
protected:
    void SetUp() override {
        Model3DTest::SetUp();
        std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([this, root] {
            return std::vector<std::string>{dir.path(), root + "/support", root + "/support/host"};
        });
    }
    static void Face(const std::string& layer, ZcGePoint3d a, ZcGePoint3d b, ZcGePoint3d c, ZcGePoint3d d) {
        auto* face = new ZcDbFace(a, b, c, d);
        face->setLayer(layer);
        ZcDbObjectId id;
        ASSERT_EQ(AppendToModelSpace(id, face), Zcad::eOk);
    }
    static void Layer(const std::string& name, std::int32_t trueColour, bool off) {
        ZcDbLayerTable* table = nullptr;
        ASSERT_EQ(zcdbOpenObject(table, db()->layerTableId(), ZcDb::kForWrite), Zcad::eOk);
        auto* record = new ZcDbLayerTableRecord;
        record->setName(name);
        if (trueColour >= 0) record->setTrueColor(trueColour);
        record->setIsOff(off);
        EXPECT_EQ(table->add(record), Zcad::eOk);
        record->close();
        table->close();
    }
    // Writes the file with the answers queued; kept as build/vrml_files/NAME.wrl.
    std::string Export(const std::string& name, std::initializer_list<std::string> answers = {""}) {
        const fs::path folder = fs::path(VELM_BINARY_DIR) / "vrml_files";
        fs::create_directories(folder);
        const std::string path = (folder / (name + ".wrl")).string();
        fs::remove(path);
        push("!dialog file edit 1152 \"" + path + "\" ok");
        push("VELMWRLOUT");
        for (const std::string& a : answers) push(a);
        run({});
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static int Count(const std::string& text, const std::string& what) {
        int n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    }
    TestDir dir;
};

TEST_F(VrmlExport, floors_of_one_group_make_one_shape_with_its_row_and_hidden_layers_add_nothing) {
    dir.write("LAYERVRML.DEF", "**Ściany,\n3DWALLS,8,2,0,255\n");
    Layer("VELM3DDOORS$0", 0x336699, false);
    Layer("HIDDEN", -1, true);
    Face("VELM3DWALLS$0", {0, 0, 0}, {100, 0, 0}, {100, 0, 300}, {0, 0, 300});
    Face("VELM3DWALLS$300", {0, 0, 300}, {100, 0, 300}, {100, 0, 600}, {100, 0, 600});
    Face("VELM3DDOORS$0", {0, 0, 0}, {10, 0, 0}, {10, 0, 10}, {0, 0, 10});
    Face("HIDDEN", {0, 0, 0}, {10, 0, 0}, {10, 0, 10}, {0, 0, 10});
    const std::string text = Export("groups");
    ASSERT_EQ(text.rfind("#VRML V2.0 utf8\n", 0), 0u) << text;
    EXPECT_EQ(Count(text, "Shape {"), 2) << text;
    // The walls' shape: the row's material, the two faces sharing the
    // corners of the floor line, the triangle closed by -1.
    EXPECT_NE(text.find("ambientIntensity 0.8000\n"), std::string::npos);
    EXPECT_NE(text.find("shininess 0.2000\n"), std::string::npos);
    EXPECT_NE(text.find("coordIndex [\n3 2 4 -1\n0 1 2 3 -1\n]"), std::string::npos) << text;
    // The doors have no row: the defaults, and the layer's colour.
    EXPECT_NE(text.find("ambientIntensity 0.2000\ndiffuseColor 0.2000 0.4000 0.6000\nspecularColor 1.0000 "
                        "0.0000 0.0000\n"),
              std::string::npos)
        << text;
    // A packed 255 is no colour: black reflections.
    EXPECT_NE(text.find("specularColor 0.0000 0.0000 0.0000\n"), std::string::npos);
    // No sky rows: the default sky, one colour more than its angles.
    EXPECT_NE(text.find("skyColor [0.00 0.00 1.00, 0.00 0.00 1.00, 0.50 0.30 0.30]\nskyAngle [1.3 1.8]\n"),
              std::string::npos)
        << text;
}

TEST_F(VrmlExport, blocks_give_shapes_of_their_own_with_their_transform) {
    const ads_point o{0, 0, 0}, x{10, 0, 0}, xy{10, 10, 0}, at{100, 0, 50};
    auto make = [](resbuf* list) {
        EXPECT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    };
    make(zcutBuildList(RTDXF0, "BLOCK", 2, "B", 70, 0, 10, o, 0));
    make(zcutBuildList(RTDXF0, "3DFACE", 8, "VELM3DWALLS$0", 10, o, 11, x, 12, xy, 13, xy, 0));
    make(zcutBuildList(RTDXF0, "ENDBLK", 0));
    make(zcutBuildList(RTDXF0, "INSERT", 2, "B", 8, "0", 10, at, 0));
    make(zcutBuildList(RTDXF0, "INSERT", 2, "B", 8, "0", 10, o, 41, 2.0, 42, 2.0, 43, 2.0, 0));
    Face("VELM3DWALLS$0", {0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {10, 10, 0});
    const std::string text = Export("blocks");
    EXPECT_EQ(Count(text, "Shape {"), 3) << text;
    EXPECT_NE(text.find("110.0000 10.0000 50.0000\n"), std::string::npos) << text;
    EXPECT_NE(text.find("20.0000 20.0000 0.0000\n"), std::string::npos);
}

TEST_F(VrmlExport, camera_loop_counts_refused_picks_asks_again_on_empty_space_and_ends_on_enter) {
    Face("VELM3DWALLS$0", {0, 0, 0}, {100, 0, 0}, {100, 0, 300}, {0, 0, 300});
    run({"VELMOBJECT", "TMS_PROS", "500,-800", "0", ""});
    const std::string text = Export("cameras", {"!pick 50,0", "!pick 5000,5000", "!pick 500,-800", ""});
    EXPECT_NE(transcript().find("Wybrany obiekt nie jest aparatem fotograficznym"), std::string::npos);
    EXPECT_EQ(Count(text, "Viewpoint {"), 2) << text;
    EXPECT_NE(text.find("description \"Default\"\njump TRUE\n}\n"), std::string::npos);
    EXPECT_NE(text.find("Viewpoint {\nfieldOfView 1.0472\nposition  500.0000 -800.0000 160.0000 \n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("description \"Punto di vista2\"\n"), std::string::npos);
    EXPECT_EQ(Count(text, "Shape {"), 1);
}

TEST_F(VrmlExport, cancel_at_the_camera_prompt_keeps_the_head_without_lights_or_shapes) {
    Face("VELM3DWALLS$0", {0, 0, 0}, {100, 0, 0}, {100, 0, 300}, {0, 0, 300});
    run({"VELMOBJECT", "TMS_LUCE", "-300,-500", "0", ""});
    const std::string text = Export("cancelled", {"!cancel"});
    EXPECT_EQ(Count(text, "Viewpoint {"), 1) << text;
    EXPECT_EQ(Count(text, "Light {"), 0);
    EXPECT_EQ(Count(text, "Shape {"), 0);
    EXPECT_EQ(text.substr(text.size() - 2), "}\n");
    // Said as it is: the file is there, named, without the model; no
    // failure, as the user chose to stop.
    const std::string path = (fs::path(VELM_BINARY_DIR) / "vrml_files" / "cancelled.wrl").string();
    EXPECT_NE(transcript().find("Zapisano plik VRML " + path + " tylko z tłem i punktami widzenia"),
              std::string::npos)
        << transcript();
    EXPECT_EQ(transcript().find("Nie zapisano pliku VRML."), std::string::npos);
}

TEST_F(VrmlExport, a_bare_name_goes_into_the_current_folder_and_a_link_there_is_replaced) {
    Face("VELM3DWALLS$0", {0, 0, 0}, {100, 0, 0}, {100, 0, 300}, {0, 0, 300});
    fs::create_directories(dir.path("work"));
    dir.write("mine.txt", "mine\n");
    fs::create_symlink(dir.path("mine.txt"), dir.path("work/house.wrl"));
    const fs::path old = fs::current_path();
    fs::current_path(dir.path("work"));
    const int rc = run({"!msgbox Yes", "!dialog file edit 1152 \"house\" ok", "VELMWRLOUT", ""});
    fs::current_path(old);
    EXPECT_EQ(rc, RTNORM);
    EXPECT_EQ(dir.read("mine.txt"), "mine\n");
    EXPECT_FALSE(fs::is_symlink(dir.path("work/house.wrl")));
    EXPECT_EQ(dir.read("work/house.wrl").rfind("#VRML V2.0 utf8\n", 0), 0u);
    EXPECT_NE(transcript().find("Zapisano plik VRML " + dir.path("work/house.wrl") + "."), std::string::npos)
        << transcript();
}

TEST_F(VrmlExport, export_onto_a_kept_file_writes_nothing_says_so_and_fails) {
    TestDir dir;
    const std::string path = dir.path("house.wrl");
    std::ofstream(path) << "#old\n";
    // The overwrite question's default keeps the file.
    EXPECT_EQ(run({"!dialog file edit 1152 \"" + path + "\" ok", "VELMWRLOUT", ""}), RTERROR);
    std::ifstream kept(path);
    std::string first;
    std::getline(kept, first);
    EXPECT_EQ(first, "#old");
    EXPECT_NE(transcript().find("Nie zapisano pliku VRML."), std::string::npos) << transcript();
    EXPECT_EQ(run({"!msgbox Yes", "!dialog file edit 1152 \"" + path + "\" ok", "VELMWRLOUT", ""}), RTNORM);
    std::ifstream written(path);
    std::getline(written, first);
    EXPECT_EQ(first, "#VRML V2.0 utf8");
}

// A few kilobytes of drawing that would write megabytes: the file stops
// at its bound, the name keeps the old file and no temporary file stays.
TEST_F(VrmlExport, a_file_past_its_bound_leaves_the_old_file_and_no_temporary_one) {
    MakeExpandingDrawing(100, 150);
    fs::create_directories(dir.path("out"));
    const std::string path = dir.path("out/house.wrl");
    std::ofstream(path) << "#old\n";
    CVrmlOut bounded;
    bounded.maxFileMegabytes = 1;
    push("");
    EXPECT_EQ(bounded.Write(path), VrmlWritten::Nothing);
    EXPECT_NE(transcript().find("Plik " + path + " byłby większy niż 1 MB: nie został zapisany."),
              std::string::npos)
        << transcript();
    std::ifstream in(path);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "#old");
    EXPECT_EQ(FolderNames(dir.path("out")), std::vector<std::string>{"house.wrl"});
    // Within its bound the same drawing is written whole.
    CVrmlOut whole;
    push("");
    EXPECT_EQ(whole.Write(path), VrmlWritten::Whole);
    EXPECT_GT(fs::file_size(path), std::uintmax_t{1} << 20);
    EXPECT_EQ(FolderNames(dir.path("out")), std::vector<std::string>{"house.wrl"});
}

TEST_F(VrmlExport, lights_of_each_kind_and_an_unknown_kind_writes_nothing) {
    for (const char* at : {"-300,-500", "0,-500", "300,-500", "600,-500"})
        run({"VELMOBJECT", "TMS_LUCE", at, "0", ""});
    const int kind = NumberLightKinds(modelSpace());
    ASSERT_EQ(kind, 5);
    const std::string text = Export("lights");
    EXPECT_EQ(Count(text, "PointLight {"), 1) << text;
    EXPECT_EQ(Count(text, "SpotLight {"), 1);
    EXPECT_EQ(Count(text, "DirectionalLight {"), 1);
    EXPECT_NE(text.find("location -300.00, -500.00, 250.00\n"), std::string::npos) << text;
    EXPECT_EQ(Count(text, "location 600.00"), 0);
    // The point and the spot light reach the whole model, the farthest
    // light (at x = 600) included, not the file format's 100 units.
    for (const char* kind : {"PointLight {", "SpotLight {"}) {
        const std::size_t node = text.find(kind);
        const std::size_t at = text.find("radius ", node);
        ASSERT_NE(at, std::string::npos) << kind;
        ASSERT_LT(at, text.find('}', node)) << kind;
        const double x = std::stod(text.substr(text.find("location ", node) + 9));
        EXPECT_GE(std::stod(text.substr(at + 7)), 600.0 - x) << kind;
        EXPECT_GT(std::stod(text.substr(at + 7)), 100.0) << kind;
    }
}

// ---------------------------------------------------------------- dialog

class VrmlDialog : public VrmlExport {
protected:
    void SetUp() override {
        VrmlExport::SetUp();
        dir.write("LAYERVRML.DEF", kTable);
    }
    static constexpr const char* kTable =
        "**Ściany,\n3DWALLS,3,2,0,3269910994\n3DDOORS,1,1,1,0\nSkyBase,0,0,0,0\n";
};

TEST_F(VrmlDialog, a_slider_changes_the_selected_rows_but_not_a_heading_and_ok_writes_them) {
    SetSettingInt(SetupVar::SETVRML_LOSS, 0);
    ASSERT_TRUE(zcui::QueueDialogScript("319 select 1001 0 1 2 slider 1389 6 check 1391 ok"));
    run({"VELMWRLMAT"});
    EXPECT_EQ(dir.read("LAYERVRML.DEF"),
              "**Ściany,\n3DWALLS,3,2,6,3269910994\n3DDOORS,1,1,6,0\nSkyBase,0,0,0,0\n");
    EXPECT_EQ(SettingInt(SetupVar::SETVRML_LOSS, 0), 1);
}

// The damaged file named, the command fails: a script that ran it ends in
// failure though the dialog went on without the damaged rows.
TEST_F(VrmlDialog, ok_without_an_edit_leaves_a_damaged_file_as_it_is) {
    const std::string damaged = "**Ściany,\n3DWALLS,3,2,0,-1\n3DDOORS,1e308,1,1,0\n3DROO";
    dir.write("LAYERVRML.DEF", damaged);
    ASSERT_TRUE(zcui::QueueDialogScript("319 ok"));
    EXPECT_EQ(run({"VELMWRLMAT"}), RTERROR);
    EXPECT_EQ(dir.read("LAYERVRML.DEF"), damaged);
    EXPECT_NE(transcript().find("LAYERVRML.DEF:2: "), std::string::npos) << transcript();
    // No text at all: named as such, and failing as well.
    dir.write("LAYERVRML.DEF", std::string("\0\x01\x02"
                                           "binary\0",
                                           10));
    ASSERT_TRUE(zcui::QueueDialogScript("319 ok"));
    const std::size_t before = transcript().size();
    EXPECT_EQ(run({"VELMWRLMAT"}), RTERROR);
    EXPECT_NE(transcript().find("Plik nie jest plikiem tekstowym", before), std::string::npos)
        << transcript().substr(before);
    // Mended, the same command succeeds.
    dir.write("LAYERVRML.DEF", kTable);
    ASSERT_TRUE(zcui::QueueDialogScript("319 ok"));
    EXPECT_EQ(run({"VELMWRLMAT"}), RTNORM);
}

TEST_F(VrmlDialog, cancel_leaves_the_file_and_the_headlight) {
    SetSettingInt(SetupVar::SETVRML_LOSS, 0);
    ASSERT_TRUE(zcui::QueueDialogScript("319 select 1001 1 slider 1387 9 check 1391 cancel"));
    run({"VELMWRLMAT"});
    EXPECT_EQ(dir.read("LAYERVRML.DEF"), kTable);
    EXPECT_EQ(SettingInt(SetupVar::SETVRML_LOSS, 0), 0);
}

TEST_F(VrmlDialog, the_colour_button_colours_the_selected_rows_and_no_selection_disables_it) {
    bool disabled = false;
    zcui::InstallDialogDriver(319, [&](zcui::DialogUser& user) {
        CDialog& dialog = user.Dialog();
        auto* list = static_cast<CListCtrl*>(dialog.GetDlgItem(1001));
        ASSERT_TRUE(user.Select(1001, std::vector<zcui::Row>{0, 1}));
        ASSERT_TRUE(zcui::QueueDialogScript(R"(truecolor edit 103 "10,20,30" ok)"));
        ASSERT_TRUE(user.Click(8));
        for (int i = 0; i < list->GetItemCount(); ++i) list->SetItemState(i, 0, LVIS_SELECTED);
        NMHDR click;
        click.idFrom = 1001;
        click.code = NM_CLICK;
        user.Message(WM_NOTIFY, 1001, reinterpret_cast<LPARAM>(&click));
        disabled = !dialog.GetDlgItem(8)->IsWindowEnabled() && !dialog.GetDlgItem(1387)->IsWindowEnabled() &&
                   !dialog.GetDlgItem(1389)->IsWindowEnabled();
        user.Ok();
    });
    run({"VELMWRLMAT"});
    zcui::RemoveDialogDriver(319);
    EXPECT_TRUE(disabled);
    ZcCmColor chosen;
    chosen.setRGB(10, 20, 30);
    const std::string packed = std::to_string(chosen.color());
    EXPECT_EQ(dir.read("LAYERVRML.DEF"),
              "**Ściany,\n3DWALLS,3,2,0," + packed + "\n3DDOORS,1,1,1,0\nSkyBase,0,0,0,0\n");
}

TEST(VrmlDialogList, the_swatch_is_painted_from_column_one_and_a_heading_shows_its_name_only) {
    CVrmlMatListCtrl list;
    int column = 0;
    for (const char* heading : {"Warstwa", "Kolor odbicia", "Otoczenie", "Połysk", "Przeźroczystość"})
        list.InsertColumn(column++, heading, LVCFMT_LEFT, 50);
    ZcCmColor colour;
    colour.setRGB(12, 34, 56);
    list.InsertItem(0, "3DWALLS");
    list.SetItemText(0, 1, std::to_string(colour.color()));
    list.SetItemText(0, 2, "3");
    list.InsertItem(1, "**Ściany");
    auto draw = [&](int row) {
        std::vector<DrawOp> ops;
        CDC dc(&ops);
        DRAWITEMSTRUCT dis;
        dis.itemID = row;
        dis.hDC = &dc;
        dis.rcItem = CRect(0, 0, 250, 16);
        list.DrawItem(&dis);
        return ops;
    };
    const std::vector<DrawOp> row = draw(0);
    int swatches = 0, texts = 0;
    for (const DrawOp& op : row) {
        if (op.kind == DrawOp::Kind::Fill && op.colour == RGB(12, 34, 56) && op.rect.left >= 50) ++swatches;
        if (op.kind == DrawOp::Kind::Text) ++texts;
    }
    EXPECT_EQ(swatches, 1);
    EXPECT_EQ(texts, 4);
    int headingTexts = 0;
    for (const DrawOp& op : draw(1)) headingTexts += op.kind == DrawOp::Kind::Text;
    EXPECT_EQ(headingTexts, 1);
}

}  // namespace
