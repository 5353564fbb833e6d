// The general wall type and the drawing of build-up layers, over a
// recognition set of test walls: a wall 100 long and 30 thick along the x
// axis, its build-up in two strips of 15 with the boundary between them
// marked as the line to draw.
#include "walls/recognition/wall_layers.h"

#include <algorithm>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/transcript.h"
#include "host/db/dbinsert.h"
#include "host/db/dbmain.h"
#include "host/db/dbsymtb.h"
#include "host/db/dxffile.h"
#include "tests/walls/wall_types_fixture.h"

namespace {

OwnedList<VertexNode> Strip(double y0, double y1, bool markInner) {
    VertexNode* ring = nullptr;
    AppendVertex(&ring, {0, y0, 0}, markInner ? 1 : 0, 0, 0);
    AppendVertex(&ring, {100, y0, 0}, 0, 0, 0);
    AppendVertex(&ring, {100, y1, 0}, 0, 0, 0);
    AppendVertex(&ring, {50, y1, 0}, 0, 0, 0);  // collinear, dropped from the hatch loop
    AppendVertex(&ring, {0, y1, 0}, 0, 0, 0);
    return OwnedList<VertexNode>(ring);
}

LayerOutline Record(const std::string& layer, const std::string& pattern, double scale, double y0, double y1,
                    bool markInner) {
    LayerOutline r;
    r.layer = layer;
    r.pattern = pattern;
    r.scale = scale;
    r.rings.push_back(Strip(y0, y1, markInner));
    return r;
}

class TestWalls : public WallLayerSet {
public:
    CListMuri& WallTypes() override { return types; }
    int DrawingScale() const override { return scale; }
    double Elevation() const override { return 0.0; }
    std::string BlockLayer() const override { return "VELMSTRAT_BLOCK$0"; }
    int WallPairCount() const override { return pairs; }
    bool SecondSegmentExternal(int) const override { return external; }
    void SwapSegments(int) override { ++swaps; }
    std::vector<LayerOutline> LayerOutlines(int) override {
        std::vector<LayerOutline> out;
        out.push_back(Record(firstLayer, firstPattern, firstScale, 0, 15, false));
        out.push_back(Record(firstLayer == "lDaDefinire" ? "lDaDefinire" : "2DWALLS_INSULATION", "ANGLE", 1.0,
                             15, 30, true));
        return out;
    }

    CListMuri types;
    int scale = 50;
    int pairs = 1;
    bool external = false;
    int swaps = 0;
    std::string firstLayer = "2DWALLS_MASONRY";
    std::string firstPattern = "-ANSI31";
    double firstScale = 1.0;
};

class WallLayers : public WallTypesTest {
protected:
    void SetUp() override {
        WallTypesTest::SetUp();
        copyShipped({"LAYERC.DEF"});
    }
    // Entity types of the one block inserted on the block-name layer.
    static std::vector<std::string> blockContents() {
        std::vector<std::string> kinds;
        for (ZcDbObjectId id : modelSpace()) {
            ZcDbBlockReference* ref = nullptr;
            if (zcdbOpenObject(ref, id, ZcDb::kForRead) != Zcad::eOk) continue;
            ZcDbObjectId blockId = ref->blockTableRecord();
            ref->close();
            ZcDbBlockTableRecord* block = nullptr;
            if (zcdbOpenObject(block, blockId, ZcDb::kForRead) != Zcad::eOk) continue;
            for (ZcDbObjectId e : block->entityIds()) {
                ZcDbEntity* ent = nullptr;
                if (zcdbOpenObject(ent, e, ZcDb::kForRead) != Zcad::eOk) continue;
                kinds.push_back(std::string(ent->isA()->dxfName()) + "@" + ent->layer());
                ent->close();
            }
            block->close();
        }
        return kinds;
    }
};

}  // namespace

TEST(GeneralWallType, added_once_at_the_head_and_every_type_gets_a_1_200_build_up) {
    CListMuri types;
    CMuro a;
    a.name = "A";
    a.scales = std::make_shared<CListScale>();
    a.scales->push_back(CScala{50, nullptr});
    types.push_back(a);
    CMuro b;
    b.name = "B";
    b.scales = std::make_shared<CListScale>();
    b.scales->push_back(CScala{200, std::make_shared<CListStrati>()});
    types.push_back(b);
    EnsureDefaultWallType(types);
    EnsureDefaultWallType(types);
    ASSERT_EQ(types.size(), 3u);
    const CMuro& general = types.front();
    EXPECT_EQ(general.name, "Ściana ogólna");
    EXPECT_EQ(general.color, 7);
    EXPECT_EQ(general.layer, "0");
    EXPECT_TRUE(general.fileName.empty());
    ASSERT_EQ(general.scales->size(), 1u);
    const CScala& added = types.begin()->scales->front();
    EXPECT_EQ(added.scale, 200);
    ASSERT_EQ(added.layers->size(), 2u);
    for (const CStrato& half : *added.layers) {
        EXPECT_EQ(half.thickness, "$*0.5");
        EXPECT_EQ(half.layer, "lDaDefinire");
        EXPECT_EQ(half.pattern, "0");
        EXPECT_EQ(half.patternScale, 0.0);
    }
    const CMuro& withFine = *std::next(types.begin());
    EXPECT_EQ(withFine.scales->size(), 2u);
    EXPECT_EQ(withFine.scales->front().scale, 200);
    EXPECT_EQ(types.back().scales->size(), 1u);
}

TEST_F(WallLayers, drawing_twice_leaves_one_block_of_lines_and_hatches) {
    TestWalls walls;
    walls.external = true;
    DrawWallLayers(walls);
    DrawWallLayers(walls);
    EXPECT_EQ(walls.swaps, 2);
    EXPECT_EQ(count("0=INSERT 8=VELMSTRAT_BLOCK$0"), 1);
    EXPECT_EQ(count("0=INSERT"), 1);
    std::vector<std::string> kinds = blockContents();
    std::sort(kinds.begin(), kinds.end());
    EXPECT_EQ(kinds,
              (std::vector<std::string>{"HATCH@VELM2DWALLS_INSULATION$0", "HATCH@VELM2DWALLS_MASONRY$0",
                                        "LINE@VELM2DWALLS_INSULATION$0"}));
    resbuf* layer = zcdbTblSearch("LAYER", "VELM2DWALLS_MASONRY$0", 0);
    EXPECT_NE(layer, nullptr);
    zcutRelRb(layer);
    EXPECT_EQ(walls.types.front().name, "Ściana ogólna");
}

TEST_F(WallLayers, coarse_scale_with_undefined_layer_gives_plain_lines_without_block) {
    TestWalls walls;
    walls.scale = 200;
    walls.firstLayer = "LDADEFINIRE";
    DrawWallLayers(walls);
    EXPECT_EQ(count("0=INSERT"), 0);
    EXPECT_EQ(count("0=HATCH"), 0);
    EXPECT_EQ(count("0=LINE 8=VELMSTRAT_BLOCK$0"), 1);
    DrawWallLayers(walls);
    EXPECT_EQ(count("0=LINE"), 1);
}

TEST_F(WallLayers, pattern_0_is_not_hatched_and_a_too_dense_hatch_is_left_out_with_the_message) {
    TestWalls walls;
    walls.firstPattern = "0";
    DrawWallLayers(walls);
    std::vector<std::string> kinds = blockContents();
    EXPECT_EQ(std::count_if(kinds.begin(), kinds.end(),
                            [](const std::string& k) { return k.starts_with("HATCH"); }),
              1);
    EXPECT_EQ(transcript().find("zbyt ciasne"), std::string::npos);

    walls.firstPattern = "ANSI31";
    walls.firstScale = 1e-6;
    DrawWallLayers(walls);
    EXPECT_NE(transcript().find("\nKreskowanie jest zbyt ciasne, użyj większego współczynnika skali"),
              std::string::npos);
    kinds = blockContents();
    std::sort(kinds.begin(), kinds.end());
    EXPECT_EQ(kinds,
              (std::vector<std::string>{"HATCH@VELM2DWALLS_INSULATION$0", "LINE@VELM2DWALLS_INSULATION$0"}));
}

TEST_F(WallLayers, no_walls_erases_the_earlier_drawing_and_says_so) {
    TestWalls walls;
    DrawWallLayers(walls);
    ASSERT_EQ(count("0=INSERT"), 1);
    walls.pairs = 0;
    DrawWallLayers(walls);
    EXPECT_EQ(count("0=INSERT"), 0);
    EXPECT_NE(transcript().find("\nNie można rozpoznać ścian w bieżącym rysunku"), std::string::npos);
}

TEST_F(WallLayers, the_drawing_survives_dxf_save_and_load) {
    TestWalls walls;
    DrawWallLayers(walls);
    host::DxfLoadResult back = host::readDxfText(host::writeDxfText(db()));
    ASSERT_TRUE(back.db) << back.error;
    int inserts = 0, hatches = 0, lines = 0;
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, back.db->modelSpaceId(), ZcDb::kForRead), Zcad::eOk);
    for (ZcDbObjectId id : ms->entityIds()) {
        ZcDbBlockReference* ref = nullptr;
        if (zcdbOpenObject(ref, id, ZcDb::kForRead) != Zcad::eOk) continue;
        ++inserts;
        EXPECT_EQ(ref->layer(), "VELMSTRAT_BLOCK$0");
        ZcDbBlockTableRecord* block = nullptr;
        ASSERT_EQ(zcdbOpenObject(block, ref->blockTableRecord(), ZcDb::kForRead), Zcad::eOk);
        for (ZcDbObjectId e : block->entityIds()) {
            ZcDbEntity* ent = nullptr;
            if (zcdbOpenObject(ent, e, ZcDb::kForRead) != Zcad::eOk) continue;
            std::string kind = ent->isA()->dxfName();
            hatches += kind == "HATCH";
            lines += kind == "LINE";
            ent->close();
        }
        block->close();
        ref->close();
    }
    ms->close();
    EXPECT_EQ(inserts, 1);
    EXPECT_EQ(hatches, 2);
    EXPECT_EQ(lines, 1);
}
