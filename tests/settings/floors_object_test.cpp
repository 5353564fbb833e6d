// The floor list as a settings object of the drawing: made on first write,
// never by a read, filed through the database's filers, and read by the
// height lookup within the shared tolerance.
#include <gtest/gtest.h>

#include "core/base/module_state.h"
#include "host/ads/sysvars.h"
#include "host/ed/viewport.h"
#include "settings/floor_cmds_run.h"
#include "settings/floors.h"
#include "settings/viewmode_cmds.h"
#include "tests/settings/drawing_fixture.h"

namespace {

class FloorObject : public DrawingSettings {
protected:
    void SetUp() override {
        DrawingSettings::SetUp();
        VELM_PIANI::rxInit();
        zcrxBuildClassHierarchy();
    }
    void TearDown() override {
        VELM_PIANI::rxUninit();
        DrawingSettings::TearDown();
    }
    void setUnit(double unit) {
        const int slot = SetupVar::SFTMTCM;
        SetVarReal(&slot, &unit);
    }
};

}  // namespace

TEST_F(FloorObject, a_read_never_makes_the_object_a_write_makes_the_default_floor) {
    EXPECT_EQ(OpenPianiObject(true), nullptr);
    EXPECT_TRUE(settingsEntry("VELM_PIANI").isNull());
    VELM_PIANI* p = OpenPianiObject(false);
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->piani.floors.size(), 1u);
    EXPECT_EQ(p->piani.floors[0].elevation, 0.0);
    EXPECT_EQ(p->piani.floors[0].height, 1.0);
    EXPECT_TRUE(p->piani.floors[0].visible);
    p->close();
    VELM_PIANI* again = OpenPianiObject(true);
    ASSERT_NE(again, nullptr);
    again->close();
    EXPECT_FALSE(settingsEntry("VELM_PIANI").isNull());
}

TEST_F(FloorObject, floors_survive_both_filers) {
    VELM_PIANI* p = OpenPianiObject(false);
    ASSERT_NE(p, nullptr);
    AA_PIANO f;
    f.elevation = 300;
    f.height = 280;
    f.visible = false;
    f.edgeMode = kEdgeTop;
    f.layers = {"SOLAIO", "Ścianka"};
    p->piani.floors.push_back(f);
    ZcDbMemDxfFiler dxf(db);
    ASSERT_EQ(p->dxfOut(&dxf), Zcad::eOk);
    auto* copy = VELM_PIANI::cast(p->clone());
    p->close();
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->piani.floors.size(), 2u);
    EXPECT_EQ(copy->piani.floors[1].layers, f.layers);
    EXPECT_EQ(copy->piani.floors[1].edgeMode, kEdgeTop);
    delete copy;

    VELM_PIANI read;
    dxf.rewind();
    ASSERT_EQ(read.dxfIn(&dxf), Zcad::eOk);
    ASSERT_EQ(read.piani.floors.size(), 2u);
    EXPECT_FALSE(read.piani.floors[1].visible);
    EXPECT_EQ(read.piani.floors[1].height, 280.0);
    EXPECT_EQ(read.piani.floors[1].layers, f.layers);
}

TEST_F(FloorObject, height_lookup_uses_the_shared_tolerance_and_the_unit) {
    SetSharedTolerance(0.001);
    setUnit(1.0);
    EXPECT_EQ(GetFloorHeightAt(0.0004), 1.0);
    EXPECT_EQ(GetFloorHeightAt(0.002), 275.0);
    setUnit(0.01);
    EXPECT_DOUBLE_EQ(GetFloorHeightAt(0.002), 2.75);
    EXPECT_EQ(GetFloorIntAt(0.0), 0);
}

TEST_F(FloorObject, paper_space_hides_a_floor_in_the_current_viewport_only) {
    ZcDbLayerTable* t = nullptr;
    ASSERT_EQ(db->getLayerTable(t, ZcDb::kForWrite), Zcad::eOk);
    auto* rec = new ZcDbLayerTableRecord;
    rec->setName("VELMA$300");
    ZcDbObjectId layerId;
    ASSERT_EQ(t->add(layerId, rec), Zcad::eOk);
    rec->close();
    t->close();
    host::setSysVar("TILEMODE", short{0});
    host::ensureLayoutViewports(db);
    host::setSysVar("CVPORT", short{2});
    const ZcDbObjectId vpId = zcedGetCurViewportObjectId();
    ASSERT_FALSE(vpId.isNull());
    VELM_PIANI floors;
    AA_PIANO hidden;
    hidden.elevation = 300;
    hidden.visible = false;
    floors.piani.floors.push_back(hidden);
    ApplyFloorToCurrentViewport(floors.piani.floors[0], floors);
    ZcDbViewport* vp = nullptr;
    ASSERT_EQ(zcdbOpenObject(vp, vpId, ZcDb::kForRead), Zcad::eOk);
    EXPECT_TRUE(vp->isLayerFrozenInViewport(layerId));
    vp->close();
}
