// Entity readers and selections on a live drawing: the colour an entity
// shows (also on a layer that is off), wall elements recognised by layer and
// level with levels on and off, selections by type and layer with and
// without rectangle outlines, and the free lines left by the filter.
#include "core/entity_readers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/entity_data.h"
#include "core/level_layers.h"
#include "core/levels.h"
#include "core/support_files.h"
#include "host/ads/ads.h"
#include "host/ads/adsent.h"
#include "host/ads/ssget.h"
#include "host/ed/hostinit.h"
#include "store/setup_slots.h"
#include "tests/core/layer_fixture.h"
#include "tests/host/win_testdir.h"

namespace {

struct Made {
    ads_name n = {0, 0};
};

Made MakeLine(const char* layer, double x = 0) {
    const ads_point a = {x, 0, 0}, b = {x + 1, 0, 0};
    resbuf* list = zcutBuildList(RTDXF0, "LINE", 8, layer, 10, a, 11, b, 0);
    EXPECT_EQ(zcdbEntMake(list), RTNORM);
    zcutRelRb(list);
    Made m;
    zcdbEntLast(m.n);
    return m;
}

Made MakeArc(const char* layer) {
    const ads_point c = {0, 0, 0};
    resbuf* list = zcutBuildList(RTDXF0, "ARC", 8, layer, 10, c, 40, 2.0, 50, 0.0, 51, 1.0, 0);
    EXPECT_EQ(zcdbEntMake(list), RTNORM);
    zcutRelRb(list);
    Made m;
    zcdbEntLast(m.n);
    return m;
}

void SetLevelsOff(bool off) {
    const int slot = SetupVar::VELMLAYERQP;
    const short value = off ? 1 : 0;
    SetVarInt(&slot, &value);
}

std::int32_t Length(const ads_name set) {
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    return n;
}

}  // namespace

TEST_F(LayerService, colour_shown_by_an_entity) {
    AddLayer("WYŁ", 5, true);
    AddLayer("ZIELONA", 3);
    Made own = MakeLine("ZIELONA");
    ZcDbObjectId id;
    zcdbGetObjectId(id, own.n);
    ZcDbEntity* ent = nullptr;
    zcdbOpenObject(ent, id, ZcDb::kForWrite);
    ent->setColorIndex(2);
    ent->close();
    std::string type;
    int color = 0;
    GetEntTypeAndColor(own.n, type, &color);
    EXPECT_EQ(type, "LINE");
    EXPECT_EQ(color, 2);
    GetEntTypeAndColor(MakeLine("ZIELONA").n, type, &color);
    EXPECT_EQ(color, 3);
    // A layer that is off still gives its colour, not a negative one.
    GetEntTypeAndColor(MakeLine("WYŁ").n, type, &color);
    EXPECT_EQ(color, 5);
    const ads_name none = {0, 0};
    GetEntTypeAndColor(none, type, &color);
    EXPECT_EQ(type, "");
}

TEST_F(LayerService, type_and_layer_check_speaks_when_asked) {
    Made line = MakeLine("MURI");
    EXPECT_EQ(CheckEntTypeAndLayer(line.n, "line", "muri", true), 1);
    EXPECT_EQ(CheckEntTypeAndLayer(line.n, "ARC", "MURI", true), 0);
    EXPECT_NE(transcript().find("\nElement nie jest ARC"), std::string::npos);
    EXPECT_EQ(CheckEntTypeAndLayer(line.n, "LINE", "INNA", true), 0);
    EXPECT_NE(transcript().find("\nElement nie należy do prawidłowej warstwy"), std::string::npos);
}

TEST_F(LayerService, wall_elements_with_levels_on) {
    Made wall = MakeLine("VELM2DWALLS$300");
    Made bare = MakeLine("2DWALLS");
    double level = 0;
    EXPECT_EQ(CheckEntityLevelLayer(wall.n, "LINE", false, level, false, false), 1);
    EXPECT_DOUBLE_EQ(level, 300.0);
    EXPECT_EQ(CheckEntityLevelLayer(bare.n, "LINE", false, level, false, false), 0);
    // Matching levels agree within the level tolerance, not exactly.
    level = 300.0 + 1e-8;
    EXPECT_EQ(CheckEntityLevelLayer(wall.n, "LINE", true, level, true, false), 1);
    level = 250.0;
    EXPECT_EQ(CheckEntityLevelLayer(wall.n, "LINE", true, level, true, false), 0);
    EXPECT_NE(transcript().find("Element nie należy do obowiązującej wysokości podłogi"), std::string::npos);
    EXPECT_DOUBLE_EQ(level, 250.0);
}

TEST_F(LayerService, wall_elements_with_levels_off) {
    SetLevelsOff(true);
    Made wall = MakeLine("VELM2DWALLS");
    Made bare = MakeLine("2DWALLS");
    double level = 7;
    EXPECT_EQ(CheckEntityLevelLayer(bare.n, "LINE", false, level, false, false), 1);
    EXPECT_EQ(level, 0.0);
    EXPECT_EQ(CheckEntityLevelLayer(wall.n, "LINE", false, level, false, false), 0);
    double v = 5;
    EXPECT_EQ(ParseDollarNumber("MURI", v), 1);
    EXPECT_EQ(v, 0.0);
    std::string base = "VELMX";
    MakeLevelLayerName(base, 300.0);
    EXPECT_EQ(base, "VELMX");
}

TEST_F(LayerService, rectangle_outlines_are_left_out_when_asked) {
    zcdbRegApp(kRectangleApp);
    Made plain = MakeLine("VELM2DWALLS$0");
    Made outline = MakeLine("VELM2DWALLS$0", 5);
    resbuf* list = zcdbEntGet(outline.n);
    resbuf* tail = list;
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = zcutBuildList(-3, 1001, kRectangleApp, 1070, 1, 0);
    ASSERT_EQ(zcdbEntMod(list), RTNORM);
    zcutRelRb(list);

    ads_name set;
    ASSERT_EQ(SelectTypeOnLayer("LINE", "velm2dwalls$0", false, set, false), 1);
    EXPECT_EQ(Length(set), 2);
    zcedSSFree(set);
    ASSERT_EQ(SelectTypeOnLayer("LINE", "VELM2DWALLS$0", false, set, true), 1);
    EXPECT_EQ(Length(set), 1);
    ads_name first;
    zcedSSName(set, 0, first);
    EXPECT_TRUE(ads_name_equal(first, plain.n));
    zcedSSFree(set);

    double level = 0;
    EXPECT_EQ(CheckEntityLevelLayer(outline.n, "LINE", false, level, false, true), 0);
    EXPECT_EQ(CheckEntityLevelLayer(outline.n, "LINE", false, level, false, false), 1);
    resbuf* x = GetEntXData(outline.n, kRectangleApp);
    ASSERT_NE(x, nullptr);
    EXPECT_NE(FindXDataApp(x, kRectangleApp), nullptr);
    zcutRelRb(x);
    EXPECT_EQ(GetEntXData(plain.n, kRectangleApp), nullptr);
}

TEST_F(LayerService, selections_report_what_is_missing) {
    MakeLine("A");
    ads_name set;
    EXPECT_EQ(SelectTypeOnLayer("CIRCLE", "A", true, set, false), 0);
    EXPECT_NE(transcript().find("\nNie istnieje CIRCLE na warstwie A"), std::string::npos);
    EXPECT_EQ(ExistsEntityType("ARC", true, set), 0);
    EXPECT_NE(transcript().find("\nNie istnieje ARC w rysunku"), std::string::npos);
    ASSERT_EQ(ExistsEntityType("LINE", false, set), 1);
    zcedSSFree(set);
    EXPECT_EQ(SelectTypeOnLayer("LINE", std::string(300, 'A'), false, set, false), 0);
}

TEST_F(LayerService, wall_selection_and_free_lines) {
    Made wall = MakeLine("VELM2DWALLS$300");
    Made free = MakeLine("RYSUNEK");
    MakeArc("VELM2DWALLS$300");
    MakeLine("VELM2DWALLS$0");
    const ads_point c = {0, 0, 0};
    resbuf* circle = zcutBuildList(RTDXF0, "CIRCLE", 8, "RYSUNEK", 10, c, 40, 1.0, 0);
    zcdbEntMake(circle);
    zcutRelRb(circle);

    ads_name set;
    ASSERT_EQ(SelectOnWallLayers("LINE", set, 300.0, false), 1);
    ASSERT_EQ(Length(set), 1);
    ads_name member;
    zcedSSName(set, 0, member);
    EXPECT_TRUE(ads_name_equal(member, wall.n));
    zcedSSFree(set);
    EXPECT_EQ(SelectOnWallLayers("CIRCLE", set, 300.0, true), 0);
    EXPECT_NE(transcript().find("\nBrak CIRCLE elementów na warstwach ścian"), std::string::npos);

    ASSERT_EQ(zcedSSGet("X", nullptr, nullptr, nullptr, set), RTNORM);
    FilterLineArcSelection(set);
    ASSERT_EQ(Length(set), 1);
    zcedSSName(set, 0, member);
    EXPECT_TRUE(ads_name_equal(member, free.n));
    zcedSSFree(set);
}

TEST_F(LayerService, erase_type_on_layer_and_geometry_readers) {
    Made a = MakeLine("TMP", 2);
    MakeLine("TMP", 4);
    Made keep = MakeArc("TMP");
    Point3 s, e;
    ASSERT_EQ(GetLineData(a.n, s, e), 1);
    EXPECT_EQ(s.x, 2.0);
    EXPECT_EQ(e.x, 3.0);
    EXPECT_EQ(GetLineData(keep.n, s, e), 0);
    CircleRecord c;
    EXPECT_EQ(GetCircleData(keep.n, c), 0);
    EXPECT_EQ(EraseTypeOnLayer("LINE", "TMP"), 1);
    EXPECT_EQ(count("0=LINE 8=TMP"), 0);
    EXPECT_EQ(count("0=ARC 8=TMP"), 1);
    EXPECT_EQ(EraseTypeOnLayer("LINE", "TMP"), 0);
}

TEST_F(LayerService, view_mode_hides_new_layers_only_in_model_space_tiles) {
    const int slot = SetupVar::VXDSTATE;
    const short twoD = 50;
    SetVarInt(&slot, &twoD);
    AAR_LAYERC none;
    std::string name = "3DWALLS";
    EnsureLayer(name, none, false, 0.0, true);
    EXPECT_EQ(answers.size(), 11u);
    EXPECT_EQ(answers[answers.size() - 3], "_OFF");

    answers.clear();
    name = "VELM3DROOF";
    EnsureLayer(name, none, false, 0.0, false);
    EXPECT_EQ(std::count(answers.begin(), answers.end(), "_OFF"), 0);

    answers.clear();
    const int paper = 0;
    SysVarShort("TILEMODE", &paper);
    name = "3DSLAB";
    EnsureLayer(name, none, false, 0.0, true);
    EXPECT_EQ(std::count(answers.begin(), answers.end(), "_OFF"), 0);
}

TEST_F(LayerService, levels_switched_off_keep_the_catalogue_name) {
    SetLevelsOff(true);
    std::string name = "2DWALLS";
    EnsureLayer(name, Catalogue(), true, 300.0, false);
    EXPECT_EQ(name, "MURI");
}

TEST_F(LayerService, support_files_found_on_the_search_path) {
    TestDir dir;
    dir.write("velmdconfig.cfg", "NUM_INF_VANI =1\nNUM_INF_VANI= 3\nPATHCATALOG=\nPATHCATALOG=/kat\n");
    dir.write("VXD.LST", "");
    dir.write("zwcadiso.pat", "*ANSI31,x\n45,0,0,0,1\n");
    dir.write("VELTILE.pat", "*VELTILE,x\n");
    host::startHost(host::HostOptions{{dir.path()}, ""});
    std::string folder = "x";
    ASSERT_EQ(GetDataFolder(folder), 1);
    EXPECT_EQ(folder, dir.path() + "/");
    ASSERT_EQ(GetVxdListFolder(folder), 1);
    EXPECT_EQ(ReadConfigInt("NUM_INF_VANI"), 3);
    EXPECT_EQ(ReadConfigInt("STR_INF_VANI"), -1);
    std::string value;
    ASSERT_EQ(ReadConfigString("PATHCATALOG", value), 1);
    EXPECT_EQ(value, "/kat");

    std::string path;
    ASSERT_EQ(FindPatternFile("veltile", path, true), 1);
    EXPECT_EQ(path, dir.path("VELTILE.pat"));
    EXPECT_EQ(FindPatternFile("ANSI31", path, true), 1);
    EXPECT_EQ(path, dir.path("zwcadiso.pat"));
    EXPECT_EQ(FindPatternFile("ANSI3", path, true), 0);
    EXPECT_EQ(FindPatternFile("BRAK", path, true), 0);
    EXPECT_EQ(FindPatternFile("BRAK", path, false), 1);

    host::startHost({});
    folder = "stays";
    EXPECT_EQ(GetDataFolder(folder), 0);
    EXPECT_EQ(folder, "stays");
    EXPECT_EQ(ReadConfigInt("NUM_INF_VANI"), -1);
}

TEST_F(LayerService, face_corners_in_order_and_highlight_toggle) {
    const ads_point p0 = {0, 0, 1}, p1 = {1, 0, 2}, p2 = {1, 1, 3}, p3 = {0, 1, 4};
    resbuf* list = zcutBuildList(RTDXF0, "3DFACE", 8, "0", 10, p0, 11, p1, 12, p2, 13, p3, 0);
    ASSERT_EQ(zcdbEntMake(list), RTNORM);
    zcutRelRb(list);
    Made face;
    zcdbEntLast(face.n);
    Point3 corners[4];
    ASSERT_EQ(Get3dFaceData(face.n, corners), 1);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(corners[i].z, i + 1.0);
    Point3 s, e;
    EXPECT_EQ(GetLineData(face.n, s, e), 0);

    ZcDbObjectId id;
    zcdbGetObjectId(id, face.n);
    auto highlighted = [&id] {
        ZcDbEntity* ent = nullptr;
        zcdbOpenObject(ent, id, ZcDb::kForRead);
        const bool on = ent->isHighlighted();
        ent->close();
        return on;
    };
    HighlightEntity(face.n, 0);
    EXPECT_TRUE(highlighted());
    HighlightEntity(face.n, 1);
    EXPECT_FALSE(highlighted());
}
