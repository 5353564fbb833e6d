// Levels of entities and stair blocks, the type of a placed object and arc
// data, read from a live drawing; shifting a stair block to another level
// moves its entities to the layers of the new level.
#include "core/levels.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <string>

#include "host/ads/rbutil.h"
#include "host/ed/hostinit.h"
#include "host/ui/dc.h"
#include "host/win/files.h"
#include "host/win/kept_files.h"
#include "tests/core/layer_fixture.h"
#include "tests/host/win_testdir.h"

namespace {

struct Name {
    ads_name n = {0, 0};
};

Name Append(ZcDbEntity* ent, const std::string& layer) {
    ent->setLayer(layer);
    ZcDbObjectId id;
    EXPECT_EQ(AppendToModelSpace(id, ent), Zcad::eOk);
    Name name;
    zcdbGetAdsName(name.n, id);
    return name;
}

void RegisterApp(const char* app) {
    ZcDbRegAppTable* table = nullptr;
    ASSERT_EQ(GetWorkingDatabase()->getRegAppTable(table, ZcDb::kForWrite), Zcad::eOk);
    if (!table->has(app)) {
        auto* rec = new ZcDbRegAppTableRecord;
        rec->setName(app);
        table->add(rec);
        rec->close();
    }
    table->close();
}

void SetXData(const ads_name entity, resbuf* xdata) {
    RegisterApp(xdata->resval.rstring);
    ZcDbObjectId id;
    zcdbGetObjectId(id, entity);
    ZcDbEntity* ent = nullptr;
    ASSERT_EQ(zcdbOpenObject(ent, id, ZcDb::kForWrite), Zcad::eOk);
    EXPECT_EQ(ent->setXData(xdata), Zcad::eOk);
    ent->close();
    zcutRelRb(xdata);
}

std::string LayerOf(ZcDbObjectId id) {
    ZcDbEntity* ent = nullptr;
    if (zcdbOpenObject(ent, id, ZcDb::kForRead) != Zcad::eOk) return "?";
    std::string layer = ent->layer();
    ent->close();
    return layer;
}

// A block "SCHODY" with a line on each of two level layers and one on "0",
// and a stair insert of it.
struct Stair {
    std::vector<ZcDbObjectId> inner;
    Name insert;
};

Stair MakeStair() {
    AddLayer("VELM2DSTAIRS$300", 1);
    AddLayer("VELMHANDRAIL$300", 2);
    Stair s;
    ZcDbBlockTable* table = nullptr;
    GetWorkingDatabase()->getBlockTable(table, ZcDb::kForWrite);
    auto* block = new ZcDbBlockTableRecord;
    block->setName("SCHODY");
    ZcDbObjectId blockId;
    table->add(blockId, block);
    for (const char* layer : {"0", "VELM2DSTAIRS$300", "VELMHANDRAIL$300"}) {
        auto* line = new ZcDbLine(ZcGePoint3d(0, 0, 0), ZcGePoint3d(1, 0, 0));
        line->setLayer(layer);
        ZcDbObjectId id;
        block->appendZcDbEntity(id, line);
        line->close();
        s.inner.push_back(id);
    }
    block->close();
    table->close();
    s.insert = Append(new ZcDbBlockReference(ZcGePoint3d(0, 0, 0), blockId), "0");
    SetXData(s.insert.n, zcutBuildList(1001, "VELM6$_$MODE_SCALE-", 1070, 1, 0));
    return s;
}

}  // namespace

TEST_F(LayerService, entity_level_comes_from_its_layer_name) {
    AddLayer("VELM2DWALLS$-12.5", 1);
    Name wall = Append(new ZcDbLine(ZcGePoint3d(0, 0, 0), ZcGePoint3d(1, 0, 0)), "VELM2DWALLS$-12.5");
    double level = 9;
    std::string base;
    EXPECT_EQ(GetEntityLevel(wall.n, level, &base, true), 1);
    EXPECT_DOUBLE_EQ(level, -12.5);
    EXPECT_EQ(base, "VELM2DWALLS");

    Name plain = Append(new ZcDbLine(ZcGePoint3d(0, 0, 0), ZcGePoint3d(1, 0, 0)), "0");
    EXPECT_EQ(GetEntityLevel(plain.n, level, &base, true), 0);
    EXPECT_EQ(level, 0.0);
    const ads_name gone = {0, 0};
    EXPECT_EQ(GetEntityLevel(gone, level, nullptr, false), 0);
}

TEST_F(LayerService, stair_level_is_read_from_its_block) {
    Stair s = MakeStair();
    double level = 0;
    std::string base = "x";
    EXPECT_EQ(GetEntityLevel(s.insert.n, level, &base, true), 1);
    EXPECT_DOUBLE_EQ(level, 300.0);
    EXPECT_EQ(base, "");
    // Without following blocks the insert's own layer decides.
    EXPECT_EQ(GetEntityLevel(s.insert.n, level, &base, false), 0);
}

TEST_F(LayerService, shifting_a_stair_moves_its_entities_to_the_new_level_layers) {
    Stair s = MakeStair();
    double level = 300.0;
    GetOrShiftBlockLevel(s.insert.n, level, true, 600.0);
    EXPECT_EQ(LayerOf(s.inner[0]), "0");
    EXPECT_EQ(LayerOf(s.inner[1]), "VELM2DSTAIRS$600");
    EXPECT_EQ(LayerOf(s.inner[2]), "VELMHANDRAIL$600");
    double after = 0;
    GetOrShiftBlockLevel(s.insert.n, after, false, 0.0);
    EXPECT_DOUBLE_EQ(after, 600.0);
}

TEST_F(LayerService, placed_object_type_needs_its_xdata_and_a_real_name) {
    Name a = Append(new ZcDbLine(ZcGePoint3d(0, 0, 0), ZcGePoint3d(1, 0, 0)), "0");
    EXPECT_EQ(GetParamObjectType(a.n), -1);
    SetXData(a.n, zcutBuildList(1001, "VELM5$_$PARAMETRI-", 1000, "OKNO1", 1070, 12, 0));
    EXPECT_EQ(GetParamObjectType(a.n), 12);
    SetXData(a.n, zcutBuildList(1001, "VELM5$_$PARAMETRI-", 1000, "$$temp$$__$$", 1070, 12, 0));
    EXPECT_EQ(GetParamObjectType(a.n), -1);
}

TEST_F(LayerService, arc_data_only_for_arcs) {
    Name arc = Append(new ZcDbArc(ZcGePoint3d(1, 2, 0), 3.0, 0.5, 2.0), "0");
    Name circle = Append(new ZcDbCircle(ZcGePoint3d(1, 2, 0), ZcGeVector3d(0, 0, 1), 3.0), "0");
    ArcRecord rec;
    ZcGeVector3d normal;
    ASSERT_EQ(GetArcData(arc.n, rec, &normal), 1);
    EXPECT_DOUBLE_EQ(rec.centre.x, 1.0);
    EXPECT_DOUBLE_EQ(rec.centre.y, 2.0);
    EXPECT_DOUBLE_EQ(rec.radius, 3.0);
    EXPECT_DOUBLE_EQ(rec.startAngle, 0.5);
    EXPECT_DOUBLE_EQ(rec.endAngle, 2.0);
    EXPECT_DOUBLE_EQ(normal.z, 1.0);
    EXPECT_EQ(GetArcData(circle.n, rec), 0);
}

TEST_F(LayerService, object_and_preview_bitmaps_by_library_then_file) {
    TestDir dir;
    std::string bmp;
    ASSERT_TRUE(host::readWholeFile(std::string(VELM_SOURCE_DIR) + "/resources/bitmaps/138.bmp", bmp));
    std::filesystem::create_directories(dir.path("velmObjBmp.dll"));
    std::filesystem::create_directories(dir.path("velmAnteprime"));
    std::filesystem::create_directories(dir.path("lib/velmPovTexture.dll"));
    dir.write("velmObjBmp.dll/OBJ_OKNO.bmp", bmp);
    dir.write("DRZWI.BMP", bmp);
    dir.write("velmAnteprime/_CEGLA.BMP", bmp);
    dir.write("lib/velmPovTexture.dll/IDB_DACHOWKA.bmp", bmp);
    host::startHost(host::HostOptions{{dir.path(), dir.path("lib")}, ""});
    EXPECT_NE(LoadObjectBitmap("", "OBJ_", "OKNO"), nullptr);
    EXPECT_NE(LoadObjectBitmap("", "OBJ_", "DRZWI"), nullptr);
    EXPECT_EQ(LoadObjectBitmap("", "OBJ_", "BRAK"), nullptr);
    EXPECT_NE(LoadPreviewBitmap(dir.path(), "CEGLA"), nullptr);
    EXPECT_NE(LoadPreviewBitmap(dir.path(), "DACHOWKA"), nullptr);
    EXPECT_EQ(LoadPreviewBitmap(dir.path(), "BRAK"), nullptr);
    host::startHost({});
}

// Which support folder holds the bitmap library is kept from one command to
// the next while the folders stay as they were: a library made, replaced or
// removed in an earlier folder is seen by the next command. (Within one
// command a folder just changed may keep its times through a second change.)
TEST_F(LayerService, a_kept_bitmap_library_lookup_follows_the_folders) {
    TestDir dir;
    std::string wide, square;
    ASSERT_TRUE(host::readWholeFile(std::string(VELM_SOURCE_DIR) + "/resources/bitmaps/138.bmp", wide));
    ASSERT_TRUE(host::readWholeFile(std::string(VELM_SOURCE_DIR) + "/resources/bitmaps/145.bmp", square));
    std::filesystem::create_directories(dir.path("first"));
    std::filesystem::create_directories(dir.path("second/velmObjBmp.dll"));
    dir.write("second/velmObjBmp.dll/OBJ_OKNO.bmp", wide);
    for (const char* folder : {"first", "second"})
        std::filesystem::last_write_time(
            dir.path(folder), std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));
    host::startHost(host::HostOptions{{dir.path("first"), dir.path("second")}, ""});
    auto width = [] {
        HBITMAP bmp = LoadObjectBitmap("", "OBJ_", "OKNO");
        return bmp ? bmp->width : 0;
    };
    EXPECT_EQ(width(), 96);
    host::forgetCommandKeptFileValues();
    EXPECT_EQ(width(), 96);

    std::filesystem::create_directories(dir.path("first/velmObjBmp.dll"));
    dir.write("first/velmObjBmp.dll/OBJ_OKNO.bmp", square);
    EXPECT_EQ(width(), 32);
    host::forgetCommandKeptFileValues();
    // Replaced by a file of that name: no library there any more.
    std::filesystem::remove_all(dir.path("first/velmObjBmp.dll"));
    dir.write("first/velmObjBmp.dll", "not a folder");
    EXPECT_EQ(width(), 96);
    host::forgetCommandKeptFileValues();
    std::filesystem::remove(dir.path("first/velmObjBmp.dll"));
    std::filesystem::create_directories(dir.path("first/velmObjBmp.dll"));
    dir.write("first/velmObjBmp.dll/OBJ_OKNO.bmp", square);
    EXPECT_EQ(width(), 32);
    host::forgetCommandKeptFileValues();
    std::filesystem::remove_all(dir.path("first/velmObjBmp.dll"));
    EXPECT_EQ(width(), 96);
    host::startHost({});
    host::forgetKeptFileValues();
}
