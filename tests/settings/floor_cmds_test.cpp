// Moving and copying to another floor, setting Z, the floors of layer names
// and the viewport print scale.
#include "settings/floor_cmds.h"

#include <gtest/gtest.h>

#include "core/level_layers.h"
#include "core/levels.h"
#include "tests/settings/floors_drawing.h"

namespace {

struct Entity {
    std::string layer;
    double z = 0;
};

Entity Read(ZcDbObjectId id) {
    ZcDbLine* line = nullptr;
    EXPECT_EQ(zcdbOpenObject(line, id, ZcDb::kForRead), Zcad::eOk);
    Entity e{line->layer(), line->startPoint().z};
    line->close();
    return e;
}

std::vector<Entity> LinesOf(FloorsDrawing& d) {
    std::vector<Entity> out;
    ZcDbBlockTableRecord* ms = nullptr;
    zcdbOpenObject(ms, d.db.modelSpaceId(), ZcDb::kForRead);
    const auto ids = ms->entityIds(true);
    ms->close();
    for (ZcDbObjectId id : ids)
        if (ZcDbLine* l = nullptr; zcdbOpenObject(l, id, ZcDb::kForRead) == Zcad::eOk) {
            out.push_back({l->layer(), l->startPoint().z});
            l->close();
        }
    return out;
}

// A drawing of its own has no layer service: level layers are made plain.
std::optional<std::string> PlainLevelLayer(ZcDbDatabase* db, const std::string& base, double level) {
    const std::string name = LevelLayerNameAmong("VELM" + base, level, {});
    if (!MakePlainLayer(db, name)) return std::nullopt;
    return name;
}

}  // namespace

TEST(FloorNames, level_texts_and_bases) {
    EXPECT_EQ(LevelText(300.0), "300");
    EXPECT_EQ(LevelText(12.5), "12.5");
    EXPECT_EQ(LevelText(-0.0), "0");
    EXPECT_EQ(LevelLayerBase("velm2DWALLS$300"), "2DWALLS");
    EXPECT_EQ(LevelLayerBase("VELMPLAIN"), "PLAIN");
    EXPECT_FALSE(LevelLayerBase("OTHER$300"));
}

TEST(FloorTransfer, move_relayers_and_lifts_while_copy_keeps_the_original) {
    FloorsDrawing d;
    d.layer("VELM2DWALLS$0");
    ZcDbObjectId a = d.line("VELM2DWALLS$0", 0);
    FloorSets sets = SelectionSets({a});
    ASSERT_EQ(sets.plain.size(), 1u);
    EXPECT_EQ(MoveSetsToFloor(&d.db, sets, 300, false, PlainLevelLayer), 0.0);
    EXPECT_EQ(Read(a).layer, "VELM2DWALLS$300");
    EXPECT_EQ(Read(a).z, 300.0);
    EXPECT_EQ(LinesOf(d).size(), 1u);

    MoveSetsToFloor(&d.db, sets, 600, true, PlainLevelLayer);
    const auto lines = LinesOf(d);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].layer, "VELM2DWALLS$600");
    EXPECT_EQ(lines[0].z, 600.0);
    EXPECT_EQ(lines[1].layer, "VELM2DWALLS$300");  // the copy stays behind
    EXPECT_EQ(lines[1].z, 300.0);
    EXPECT_TRUE(d.hasLayer("VELM2DWALLS$600"));
}

TEST(FloorTransfer, entities_off_velm_layers_or_without_level_are_left_alone) {
    FloorsDrawing d;
    d.layer("OTHER$0");
    d.layer("PLAIN");
    ZcDbObjectId other = d.line("OTHER$0");
    ZcDbObjectId plain = d.line("PLAIN");
    FloorSets sets = SelectionSets({other, plain});
    EXPECT_EQ(sets.plain.size(), 1u);  // the one with a level
    EXPECT_FALSE(MoveSetsToFloor(&d.db, sets, 300, true, PlainLevelLayer));
    EXPECT_EQ(LinesOf(d).size(), 2u);
    EXPECT_EQ(Read(other).layer, "OTHER$0");
    EXPECT_EQ(Read(other).z, 0.0);
}

TEST(FloorTransfer, whole_floor_sets_take_the_floor_and_its_stairs) {
    FloorsDrawing d;
    d.layer("VELMA$300");
    d.layer("VELMA$3000");
    d.layer("VELMSTAIR$300");
    ZcDbObjectId on = d.line("VELMA$300", 300);
    d.line("VELMA$3000", 3000);
    // A stair: an insert tagged with the stair xdata, its block on floor 300.
    ZcDbBlockTable* bt = nullptr;
    ASSERT_EQ(d.db.getBlockTable(bt, ZcDb::kForWrite), Zcad::eOk);
    auto* block = new ZcDbBlockTableRecord;
    block->setName("*U");
    ZcDbObjectId blockId;
    ASSERT_EQ(bt->add(blockId, block), Zcad::eOk);
    bt->close();
    auto* step = new ZcDbLine({0, 0, 0}, {1, 0, 0});
    step->setLayer("VELMSTAIR$300");
    ASSERT_EQ(block->appendZcDbEntity(step), Zcad::eOk);
    step->close();
    block->close();
    auto* stair = new ZcDbBlockReference({0, 0, 300}, blockId);
    std::vector<ZcDbDxfItem> items(15);
    for (auto& item : items) {
        item.code = 1040;
        item.kind = ZcDbDxfItem::kReal;
        item.real[0] = 10;
    }
    stair->setXDataApp(kStairXDataApp, items);
    ZcDbObjectId stairId = d.append(stair);

    FloorSets sets = WholeFloorSets(&d.db, "300", 300, 0.001);
    EXPECT_EQ(sets.plain, std::vector<ZcDbObjectId>{on});
    EXPECT_EQ(sets.tagged, std::vector<ZcDbObjectId>{stairId});

    MoveSetsToFloor(&d.db, sets, 600, false, PlainLevelLayer);
    ZcDbBlockReference* moved = nullptr;
    ASSERT_EQ(zcdbOpenObject(moved, stairId, ZcDb::kForRead), Zcad::eOk);
    EXPECT_DOUBLE_EQ(moved->position().z, 600);
    const auto& xd = moved->xDataApps().front().items;
    EXPECT_DOUBLE_EQ(xd[12].real[0], 10);  // item 14 is not a height
    EXPECT_DOUBLE_EQ(xd[13].real[0], 310);
    EXPECT_DOUBLE_EQ(xd[14].real[0], 310);
    EXPECT_EQ(EntityLevel(*moved, true), 600.0);
    moved->close();
}

// A layer the table refuses leaves nothing behind: no record, nothing open
// (the leak check of the sanitised build sees a record never added).
TEST(FloorTransfer, a_refused_plain_layer_is_neither_added_nor_left_open) {
    FloorsDrawing d;
    const std::size_t before = FloorTextsOfLayers(&d.db).size();
    EXPECT_FALSE(MakePlainLayer(&d.db, ""));
    EXPECT_TRUE(MakePlainLayer(&d.db, "VELMPLAIN$300"));
    EXPECT_TRUE(MakePlainLayer(&d.db, "VELMPLAIN$300")) << "already there";
    EXPECT_EQ(FloorTextsOfLayers(&d.db).size(), before + 1);
    ZcDbLayerTable* table = nullptr;
    ASSERT_EQ(d.db.getLayerTable(table, ZcDb::kForWrite), Zcad::eOk) << "the table was closed";
    table->close();
}

TEST(FloorTransfer, floors_of_layer_names_sorted_and_unique) {
    FloorsDrawing d;
    d.layer("VELMA$300");
    d.layer("VELMB$300");
    d.layer("VELMA$-300");
    d.layer("VELMA$1000");
    d.layer("NOLEVEL");
    EXPECT_EQ(FloorTextsOfLayers(&d.db), (std::vector<std::string>{"-300", "1000", "300"}));
}

TEST(FloorZ, lines_circles_and_inserts_take_z_others_stay) {
    FloorsDrawing d;
    ZcDbObjectId line = d.line("0", 300);
    auto* poly = new ZcDb2dPolyline;
    ZcDbObjectId polyId = d.append(poly);
    for (ZcDbObjectId id : {line, polyId}) {
        ZcDbEntity* ent = nullptr;
        ASSERT_EQ(zcdbOpenObject(ent, id, ZcDb::kForWrite), Zcad::eOk);
        EXPECT_EQ(AssignEntityZ(*ent, 0.0), id == line);
        ent->close();
    }
    ZcDbLine* l = nullptr;
    ASSERT_EQ(zcdbOpenObject(l, line, ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(l->startPoint().z, 0.0);
    EXPECT_EQ(l->endPoint().z, 0.0);
    l->close();
}

TEST(FloorViewportScale, fifty_in_centimetres_gives_a_fifth) {
    const double paper = 210.0;
    const double viewHeight = ViewportViewHeight(paper, 50, 1.0);
    EXPECT_DOUBLE_EQ(paper / viewHeight, 0.2);
    EXPECT_DOUBLE_EQ(paper / ViewportViewHeight(paper, 100, 0.01), 10.0);
}
