// The floor list: lookups by layer and elevation, ordering, both filing
// forms, and the walkers that keep floors and layers in step.
#include "settings/floors.h"

#include <gtest/gtest.h>

#include <limits>

#include "host/ads/transcript.h"
#include "tests/settings/floors_drawing.h"
#include "tests/settings/memory_filer.h"

namespace {

AA_PIANO Floor(double z, bool visible, std::vector<std::string> layers = {}) {
    AA_PIANO f;
    f.elevation = z;
    f.height = 300;
    f.visible = visible;
    f.layers = std::move(layers);
    return f;
}

std::vector<double> Elevations(const VELM_PIANI& p) {
    std::vector<double> out;
    for (const AA_PIANO& f : p.piani.floors) out.push_back(f.elevation);
    return out;
}

}  // namespace

TEST(FloorLevels, suffix_is_read_only_at_the_end_of_the_name) {
    EXPECT_EQ(LayerNameLevel("VELM2DWALLS$300"), 300.0);
    EXPECT_EQ(LayerNameLevel("VELMX$-27.5"), -27.5);
    EXPECT_FALSE(LayerNameLevel("VELM2DWALLS"));
    EXPECT_FALSE(LayerNameLevel("$300"));  // a '$' first is no suffix
    EXPECT_FALSE(LayerNameLevel("A$300B"));
    EXPECT_FALSE(LayerNameLevel("A$"));
    EXPECT_FALSE(LayerNameLevel("A$-"));
}

TEST(FloorLookup, layer_counts_are_signed_by_visibility) {
    VELM_PIANI p;
    p.piani.floors = {Floor(0, false, {"shared"}), Floor(300, false, {"SHARED"}), Floor(600, true, {"mixed"}),
                      Floor(900, false, {"Mixed"})};
    double z = -1;
    int count = 0;
    EXPECT_TRUE(p.FindFloorOfLayer("Shared", z, count));
    EXPECT_EQ(count, -2);
    EXPECT_EQ(z, 300.0);  // the last listing floor
    EXPECT_TRUE(p.FindFloorOfLayer("MIXED", z, count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(z, 600.0);  // the visible one wins
    EXPECT_FALSE(p.FindFloorOfLayer("VELMA$300", z, count));
    EXPECT_EQ(count, 0);
    const auto lf = p.LevelOfLayer("VELMA$300");
    ASSERT_TRUE(lf);
    EXPECT_EQ(lf->level, 300.0);
    EXPECT_EQ(lf->count, 0);
}

TEST(FloorLookup, elevation_lookup_is_exact_and_height_lookup_uses_tolerance) {
    VELM_PIANI p;
    p.Reset();
    ASSERT_EQ(p.piani.floors.size(), 1u);
    EXPECT_EQ(p.piani.floors[0].height, 1.0);
    EXPECT_TRUE(p.piani.floors[0].visible);
    EXPECT_TRUE(p.FindFloorByElevation(0.0));
    EXPECT_FALSE(p.FindFloorByElevation(1e-12));
    EXPECT_EQ(FloorHeightNear(p, 0.0004, 0.001), 1.0);
    EXPECT_FALSE(FloorHeightNear(p, 0.002, 0.001));
    EXPECT_EQ(FloorEdgeModeNear(p, -0.0004, 0.001), 0);
}

TEST(FloorOrder, sorted_descending_with_repeats_dropped) {
    VELM_PIANI p;
    p.piani.floors = {Floor(0, true), Floor(300, true, {"first"}), Floor(300, true, {"second"}),
                      Floor(-300, true)};
    p.piani.InsertSorted();
    EXPECT_EQ(Elevations(p), (std::vector<double>{300, 0, -300}));
    EXPECT_EQ(p.piani.floors[0].layers, std::vector<std::string>{"first"});
}

TEST(FloorFiling, dwg_round_trip_and_version_7_without_edge_mode) {
    VELM_PIANI p;
    p.piani.floors = {Floor(0, true, {"A", "B"}), Floor(300, false)};
    p.piani.floors[1].edgeMode = kEdgeNone;
    MemoryDwgStream s;
    ASSERT_EQ(p.fileOutDwg(s), FilingStatus::kOk);
    VELM_PIANI back;
    ASSERT_EQ(back.fileInDwg(s), FilingStatus::kOk);
    EXPECT_TRUE(s.atEnd());
    ASSERT_EQ(back.piani.floors.size(), 2u);
    EXPECT_EQ(back.piani.floors[0].layers, (std::vector<std::string>{"A", "B"}));
    EXPECT_FALSE(back.piani.floors[1].visible);
    EXPECT_EQ(back.piani.floors[1].edgeMode, kEdgeNone);

    MemoryDwgStream v7;
    v7.items = {short{7}, short{1}, 300.0, 275.0, short{1}, short{1}, std::string("L")};
    ASSERT_EQ(back.fileInDwg(v7), FilingStatus::kOk);
    ASSERT_EQ(back.piani.floors.size(), 1u);
    EXPECT_EQ(back.piani.floors[0].edgeMode, 0);
    EXPECT_EQ(back.piani.floors[0].layers, std::vector<std::string>{"L"});
}

TEST(FloorFiling, dxf_reads_floors_with_and_without_edge_mode) {
    MemoryDxfStream s;
    s.items = {{100, std::string("VELM_PIANI")},
               {170, short{2}},
               {140, 0.0},
               {140, 300.0},
               {170, short{1}},
               {170, short{0}},
               {140, 300.0},
               {140, 300.0},
               {170, short{0}},
               {170, short{1}},
               {170, short{3}},
               {300, std::string("A")}};
    VELM_PIANI p;
    ASSERT_EQ(p.fileInDxf(s), FilingStatus::kOk);
    ASSERT_EQ(p.piani.floors.size(), 2u);
    EXPECT_TRUE(p.piani.floors[0].visible);
    EXPECT_TRUE(p.piani.floors[0].layers.empty());
    EXPECT_EQ(p.piani.floors[0].edgeMode, 0);
    EXPECT_FALSE(p.piani.floors[1].visible);
    EXPECT_EQ(p.piani.floors[1].edgeMode, 3);
    EXPECT_EQ(p.piani.floors[1].layers, std::vector<std::string>{"A"});
}

TEST(FloorFiling, dxf_keeps_the_last_floor_when_the_data_ends_after_its_name_count) {
    MemoryDxfStream s;
    s.items = {{100, std::string("VELM_PIANI")},
               {170, short{1}},
               {140, -300.0},
               {140, 280.0},
               {170, short{1}},
               {170, short{0}}};
    VELM_PIANI p;
    p.Reset();
    p.fileInDxf(s);
    ASSERT_EQ(p.piani.floors.size(), 1u);
    EXPECT_EQ(p.piani.floors[0].elevation, -300.0);
    EXPECT_EQ(p.piani.floors[0].height, 280.0);
}

TEST(FloorFiling, dxf_round_trip_and_a_foreign_item_ends_reading) {
    VELM_PIANI p;
    p.piani.floors = {Floor(0, true, {"A"}), Floor(300, false, {"B", "C"})};
    p.piani.floors[0].edgeMode = kEdgeTop;
    MemoryDxfStream s;
    p.fileOutDxf(s);
    s.items.push_back({1001, std::string("NEXT")});
    VELM_PIANI back;
    back.fileInDxf(s);
    ASSERT_EQ(back.piani.floors.size(), 2u);
    EXPECT_EQ(back.piani.floors[0].edgeMode, kEdgeTop);
    EXPECT_EQ(back.piani.floors[1].layers, (std::vector<std::string>{"B", "C"}));
    SettingsDxfItem next;
    ASSERT_TRUE(s.readItem(next));  // the foreign item is left for the next reader
    EXPECT_EQ(next.code, 1001);
}

TEST(FloorWalkers, visibility_is_read_from_layers_and_missing_levels_are_added) {
    FloorsDrawing d;
    d.layer("VELM2DWALLS$0", true);
    d.layer("VELM3DWALLS$0", false);
    d.layer("VELM2DWALLS$300", true);
    d.layer("PLAIN", true);
    VELM_PIANI p;
    p.Reset();
    p.ReadFloorVisibility(&d.db, 275.0 * 0.01);
    EXPECT_EQ(Elevations(p), (std::vector<double>{0, 300}));
    EXPECT_TRUE(p.piani.floors[0].visible);
    // A new floor is made visible even though its layer is frozen.
    EXPECT_TRUE(p.piani.floors[1].visible);
    EXPECT_DOUBLE_EQ(p.piani.floors[1].height, 2.75);
    EXPECT_TRUE(p.IsFloorVisible(&d.db, true, {}, 0.0));
    EXPECT_FALSE(p.IsFloorVisible(&d.db, true, {}, 300.0));
}

TEST(FloorWalkers, a_layer_shared_with_a_visible_floor_stays_thawed) {
    FloorsDrawing d;
    d.layer("SHARED");
    d.layer("ONLYHIDDEN");
    d.layer("VELMA$300");
    d.layer("VELMA$0", true);
    VELM_PIANI p;
    p.piani.floors = {Floor(0, true, {"shared"}), Floor(300, false, {"Shared", "onlyhidden"})};
    UpdateFloorLayers(p, &d.db);
    EXPECT_FALSE(d.frozen("SHARED"));
    EXPECT_TRUE(d.frozen("ONLYHIDDEN"));
    EXPECT_TRUE(d.frozen("VELMA$300"));
    EXPECT_FALSE(d.frozen("VELMA$0"));
    p.ThawFloorLayers(&d.db);
    EXPECT_FALSE(d.frozen("ONLYHIDDEN"));
    EXPECT_FALSE(d.frozen("VELMA$300"));
}

TEST(FloorWalkers, viewport_visibility_reads_the_viewport_not_the_layer) {
    FloorsDrawing d;
    ZcDbObjectId layer = d.layer("VELMA$300");
    ZcDbObjectId vpId = d.viewport();
    VELM_PIANI p;
    p.piani.floors = {Floor(300, true)};
    EXPECT_TRUE(p.IsFloorVisible(&d.db, false, vpId, 300.0));
    ZcDbViewport* vp = nullptr;
    ASSERT_EQ(zcdbOpenObject(vp, vpId, ZcDb::kForWrite), Zcad::eOk);
    vp->freezeLayersInViewport({layer});
    vp->close();
    EXPECT_FALSE(p.IsFloorVisible(&d.db, false, vpId, 300.0));
    EXPECT_TRUE(p.IsFloorVisible(&d.db, true, vpId, 300.0));
    EXPECT_FALSE(p.IsFloorVisible(&d.db, false, {}, 300.0));
}

// A floor without an elevation a drawing can hold is no floor and is left
// out; a height out of range takes a new floor's. Each is named once.
TEST(FloorFiling, numbers_out_of_range_are_named_once_and_the_floor_kept_when_it_can_be) {
    VELM_PIANI p;
    p.piani.floors = {Floor(0, true, {"A"}), Floor(1e308, true, {"B"}), Floor(600, true, {"C"})};
    p.piani.floors[2].height = -std::numeric_limits<double>::infinity();
    for (const bool dxf : {true, false}) {
        host::transcript().clear();
        VELM_PIANI back;
        if (dxf) {
            MemoryDxfStream s;
            p.fileOutDxf(s);
            EXPECT_EQ(back.fileInDxf(s), FilingStatus::kOk);
        } else {
            MemoryDwgStream s;
            p.fileOutDwg(s);
            EXPECT_EQ(back.fileInDwg(s), FilingStatus::kOk);
        }
        ASSERT_EQ(back.piani.floors.size(), 2u);
        EXPECT_EQ(back.piani.floors[0].layers, std::vector<std::string>{"A"});
        EXPECT_EQ(back.piani.floors[1].elevation, 600.0);
        EXPECT_EQ(back.piani.floors[1].height, 1.0);
        const std::string said = host::transcript().text();
        EXPECT_NE(said.find("kondygnacja 2 rzędna, kondygnacja 3 wysokość"), std::string::npos) << said;
        EXPECT_EQ(said.find("poza zakresem"), said.rfind("poza zakresem")) << said;
    }
}
