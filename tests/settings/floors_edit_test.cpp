// Floor deletion and per-viewport floor visibility on a real drawing.
#include "settings/floors_edit.h"

#include <gtest/gtest.h>

#include "tests/settings/floors_drawing.h"

namespace {

AA_PIANO Floor(double z, bool visible, std::vector<std::string> layers = {}) {
    AA_PIANO f;
    f.elevation = z;
    f.visible = visible;
    f.layers = std::move(layers);
    return f;
}

VxdLists Lists() {
    return ParseVxdLines({"V2D", "VELM2D*", "V3D", "VELM3D*", "END"});
}

}  // namespace

TEST(FloorDelete, erases_the_floor_its_entities_and_its_free_layers) {
    FloorsDrawing d;
    d.layer("VELM2DWALLS$300");
    d.layer("VELM3DWALLS$300");
    d.layer("SHARED");
    d.layer("VELM2DWALLS$0");
    d.layer("OTHER$300");  // a level, but no "VELM": its entities are not the floor's
    ZcDbObjectId wall = d.line("VELM2DWALLS$300", 300);
    ZcDbObjectId shared = d.line("SHARED", 300);
    ZcDbObjectId ground = d.line("VELM2DWALLS$0");
    ZcDbObjectId other = d.line("OTHER$300", 300);
    VELM_PIANI p;
    p.piani.floors = {Floor(300, true, {"SHARED"}), Floor(0, true, {"shared"})};
    std::vector<std::string> kept;
    DeleteFloor(p, 300, &d.db, [&](const std::string& l) { kept.push_back(l); });

    ASSERT_EQ(p.piani.floors.size(), 1u);
    EXPECT_EQ(p.piani.floors[0].elevation, 0.0);
    EXPECT_TRUE(d.erased(wall));
    EXPECT_FALSE(d.erased(shared));
    EXPECT_FALSE(d.erased(ground));
    EXPECT_FALSE(d.erased(other));
    EXPECT_FALSE(d.hasLayer("VELM2DWALLS$300"));
    EXPECT_FALSE(d.hasLayer("VELM3DWALLS$300"));
    EXPECT_TRUE(d.hasLayer("SHARED"));
    EXPECT_TRUE(d.hasLayer("VELM2DWALLS$0"));
    // Still referenced: reported and kept.
    EXPECT_EQ(kept, std::vector<std::string>{"OTHER$300"});
    EXPECT_TRUE(d.hasLayer("OTHER$300"));
    EXPECT_EQ(KeptLayerMessage("X"), "Nie można usunąć warstwy X, usuń lub zmodyfikuj połączony obiekt");
}

TEST(FloorDelete, a_missing_floor_changes_nothing) {
    FloorsDrawing d;
    d.layer("VELMA$300");
    ZcDbObjectId e = d.line("VELMA$300");
    VELM_PIANI p;
    p.Reset();
    DeleteFloor(p, 300, &d.db, nullptr);
    EXPECT_FALSE(d.erased(e));
    EXPECT_TRUE(d.hasLayer("VELMA$300"));
    EXPECT_EQ(p.piani.floors.size(), 1u);
}

TEST(FloorDelete, floor_zero_leaves_layers_without_a_suffix_alone) {
    // With levels switched off no layer carries a suffix; none is floor 0's.
    FloorsDrawing d;
    d.layer("VELM2DWALLS");
    ZcDbObjectId e = d.line("VELM2DWALLS");
    VELM_PIANI p;
    p.Reset();
    DeleteFloor(p, 0, &d.db, nullptr);
    EXPECT_FALSE(d.erased(e));
    EXPECT_TRUE(d.hasLayer("VELM2DWALLS"));
    EXPECT_TRUE(p.piani.floors.empty());
}

TEST(FloorDelete, anonymous_blocks_left_unused_are_purged_named_ones_stay) {
    FloorsDrawing d;
    d.layer("VELMSTAIR$300");
    ZcDbBlockTable* bt = nullptr;
    ASSERT_EQ(d.db.getBlockTable(bt, ZcDb::kForWrite), Zcad::eOk);
    auto* anon = new ZcDbBlockTableRecord;
    anon->setName("*U");
    ZcDbObjectId anonId;
    ASSERT_EQ(bt->add(anonId, anon), Zcad::eOk);
    anon->close();
    auto* named = new ZcDbBlockTableRecord;
    named->setName("LIBRARY");
    ZcDbObjectId namedId;
    ASSERT_EQ(bt->add(namedId, named), Zcad::eOk);
    named->close();
    bt->close();
    auto* ref = new ZcDbBlockReference({0, 0, 300}, anonId);
    ref->setLayer("VELMSTAIR$300");
    ZcDbObjectId refId = d.append(ref);
    VELM_PIANI p;
    p.piani.floors = {Floor(300, true)};
    DeleteFloor(p, 300, &d.db, nullptr);
    EXPECT_TRUE(d.erased(refId));
    EXPECT_TRUE(d.erased(anonId));
    EXPECT_FALSE(d.erased(namedId));
    EXPECT_FALSE(d.hasLayer("VELMSTAIR$300"));
}

TEST(FloorViewport, hiding_a_floor_freezes_only_in_the_viewport) {
    FloorsDrawing d;
    d.layer("VELM2DWALLS$300");
    d.layer("SHARED");
    d.layer("VELM2DWALLS$0");
    ZcDbObjectId vp = d.viewport();
    VELM_PIANI p;
    p.piani.floors = {Floor(300, false, {"SHARED"}), Floor(0, true, {"SHARED"})};
    ApplyViewportVisibility(p.piani.floors[0], p, &d.db, vp, 2, Lists());
    EXPECT_TRUE(d.frozenIn(vp, "VELM2DWALLS$300"));
    EXPECT_FALSE(d.frozen("VELM2DWALLS$300"));
    EXPECT_FALSE(d.frozenIn(vp, "SHARED"));  // a visible floor lists it too
    EXPECT_FALSE(d.frozenIn(vp, "VELM2DWALLS$0"));
}

TEST(FloorViewport, showing_a_floor_thaws_only_the_lists_the_viewport_shows) {
    FloorsDrawing d;
    ZcDbObjectId plan2d = d.layer("VELM2DPLAN");  // no level: tells the viewport's mode
    d.layer("VELM3DPLAN");
    d.layer("VELM2DWALLS$300");
    d.layer("VELM3DWALLS$300");
    d.layer("VELMTEXT$300");
    ZcDbObjectId vp = d.viewport();
    ZcDbViewport* v = nullptr;
    ASSERT_EQ(zcdbOpenObject(v, vp, ZcDb::kForWrite), Zcad::eOk);
    v->freezeLayersInViewport({d.db.recordId(d.db.layerTableId(), "VELM3DPLAN"),
                               d.db.recordId(d.db.layerTableId(), "VELM2DWALLS$300"),
                               d.db.recordId(d.db.layerTableId(), "VELM3DWALLS$300"),
                               d.db.recordId(d.db.layerTableId(), "VELMTEXT$300")});
    v->close();
    (void)plan2d;
    VELM_PIANI p;
    p.piani.floors = {Floor(300, true)};
    ApplyViewportVisibility(p.piani.floors[0], p, &d.db, vp, 2, Lists());
    EXPECT_FALSE(d.frozenIn(vp, "VELM2DWALLS$300"));
    EXPECT_TRUE(d.frozenIn(vp, "VELM3DWALLS$300"));
    EXPECT_FALSE(d.frozenIn(vp, "VELMTEXT$300"));  // in neither list

    // Paper space itself current: nothing happens.
    p.piani.floors[0].visible = false;
    ApplyViewportVisibility(p.piani.floors[0], p, &d.db, vp, 1, Lists());
    EXPECT_FALSE(d.frozenIn(vp, "VELM2DWALLS$300"));
}
