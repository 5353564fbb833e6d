// "_-LAYER" and "_VPLAYER": effects on the layer table, refusals, and the
// same commands driven through zcedCommand.
#include "host/ads/sysvars.h"
#include "host/db/dbinsert.h"
#include "host/ed/hostcmd_util.h"
#include "host/ed/viewport.h"
#include "tests/host/ed/cmd_fixture.h"

namespace {

class LayerCommand : public CmdSession {};

TEST_F(LayerCommand, new_make_and_set_change_the_table_and_the_current_layer) {
    EXPECT_EQ(run({"_-LAYER", "_N", "MURY,OKNA", "_M", "DACH", "_S", "MURY", ""}), RTNORM);
    EXPECT_FALSE(layerId("MURY").isNull());
    EXPECT_FALSE(layerId("okna").isNull());
    EXPECT_FALSE(layerId("DACH").isNull());
    EXPECT_EQ(db()->clayer(), layerId("MURY"));
    EXPECT_EQ(host::sysVarString("CLAYER"), "MURY");
}

TEST_F(LayerCommand, switches_apply_to_name_lists_and_wildcards) {
    run({"_-LAYER", "_N", "A1,A2,B1", "_OFF", "A*", "_F", "B1", "_LO", "A2", ""});
    with<ZcDbLayerTableRecord>(layerId("A1"), [](auto* r) { EXPECT_TRUE(r->isOff()); });
    with<ZcDbLayerTableRecord>(layerId("A2"), [](auto* r) {
        EXPECT_TRUE(r->isOff());
        EXPECT_TRUE(r->isLocked());
    });
    with<ZcDbLayerTableRecord>(layerId("B1"), [](auto* r) {
        EXPECT_FALSE(r->isOff());
        EXPECT_TRUE(r->isFrozen());
    });
    run({"_-LAYER", "_ON", "A1", "_T", "B1", "_U", "A2", ""});
    with<ZcDbLayerTableRecord>(layerId("A1"), [](auto* r) { EXPECT_FALSE(r->isOff()); });
    with<ZcDbLayerTableRecord>(layerId("B1"), [](auto* r) { EXPECT_FALSE(r->isFrozen()); });
    with<ZcDbLayerTableRecord>(layerId("A2"), [](auto* r) { EXPECT_FALSE(r->isLocked()); });
}

TEST_F(LayerCommand, colour_linetype_from_the_host_file_and_line_weight) {
    EXPECT_EQ(zcedCommand(RTSTR, "_-LAYER", RTSTR, "_N", RTSTR, "SCIANY", RTSTR, "_L", RTSTR, "DASHED", RTSTR,
                          "SCIANY", RTSTR, "_LW", RTREAL, 0.35, RTSTR, "SCIANY", RTSTR, "_C", RTSHORT, 3,
                          RTSTR, "SCIANY", RTSTR, "", RTNONE),
              RTNORM);
    with<ZcDbLayerTableRecord>(layerId("SCIANY"), [](auto* r) {
        EXPECT_EQ(r->colorIndex(), 3);
        EXPECT_EQ(r->linetype(), "DASHED");
        EXPECT_EQ(static_cast<int>(r->lineWeight()), 35);
    });
    // The definition came from the file: a 10 dash and a 5 gap.
    with<ZcDbLinetypeTableRecord>(db()->recordId(db()->linetypeTableId(), "DASHED"), [](auto* r) {
        ASSERT_EQ(r->dashes().size(), 2u);
        EXPECT_DOUBLE_EQ(r->dashes()[0], 10);
        EXPECT_DOUBLE_EQ(r->dashes()[1], -5);
    });
}

TEST_F(LayerCommand, refusals_leave_the_table_intact) {
    run({"_-LAYER", "_N", "ZLA<NAZWA", "_S", "BRAK", "_F", "0", ""});
    EXPECT_TRUE(layerId("ZLA<NAZWA").isNull());
    EXPECT_NE(transcript().find("Nie można znaleźć warstwy \"BRAK\"."), std::string::npos);
    EXPECT_NE(transcript().find("Nie można zamrozić bieżącej warstwy"), std::string::npos);
    with<ZcDbLayerTableRecord>(layerId("0"), [](auto* r) { EXPECT_FALSE(r->isFrozen()); });
    // An unknown linetype is refused and asked again: the arguments run out.
    EXPECT_EQ(zcedCommand(RTSTR, "_-LAYER", RTSTR, "_L", RTSTR, "NIEMA", RTNONE), RTCAN);
    EXPECT_NE(transcript().find("Nie można znaleźć rodzaju linii \"NIEMA\""), std::string::npos);
    EXPECT_TRUE(db()->recordId(db()->linetypeTableId(), "NIEMA").isNull());
    // A frozen layer cannot become current.
    run({"_-LAYER", "_N", "Z", "_F", "Z", "_S", "Z", ""});
    EXPECT_EQ(db()->clayer(), layerId("0"));
}

TEST_F(LayerCommand, vplayer_freezes_only_in_the_current_viewport) {
    run({"_-LAYER", "_N", "OPIS", ""});
    EXPECT_EQ(run({"_VPLAYER", "_F", "OPIS", "_C", ""}), RTERROR);  // model space: refused
    ASSERT_TRUE(host::setTileMode(0));
    ASSERT_EQ(run({"_MSPACE"}), RTNORM);  // the layout opens on its sheet
    ZcDbObjectId vp = zcedGetCurViewportObjectId();
    ASSERT_FALSE(vp.isNull());
    EXPECT_EQ(zcedCommand(RTSTR, "_VPLAYER", RTSTR, "_F", RTSTR, "OPIS", RTSTR, "_C", RTSTR, "", RTNONE),
              RTNORM);
    with<ZcDbViewport>(vp,
                       [&](ZcDbViewport* v) { EXPECT_TRUE(v->isLayerFrozenInViewport(layerId("OPIS"))); });
    with<ZcDbLayerTableRecord>(layerId("OPIS"), [](auto* r) { EXPECT_FALSE(r->isFrozen()); });
    run({"_VPLAYER", "_T", "OPIS", "", ""});
    with<ZcDbViewport>(vp,
                       [&](ZcDbViewport* v) { EXPECT_FALSE(v->isLayerFrozenInViewport(layerId("OPIS"))); });
}

}  // namespace
