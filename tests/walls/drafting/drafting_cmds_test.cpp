// The drafting commands end to end on the headless host: layers isolated,
// emptied, switched off and frozen; properties changed or copied; objects
// broken; plane surfaces, offsets and snap angles; layers changed inside
// parametric objects.
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/db/dbinsert.h"
#include "host/db/dbsymtb.h"
#include "host/ed/hostcmd_util.h"
#include "host/ed/viewport.h"
#include "host/util/findfile.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/walls/drawing/walls_fixture.h"
#include "walls/drafting/object_layer_change.h"

namespace {

void Make(resbuf* list) {
    ASSERT_EQ(zcdbEntMake(list), RTNORM);
    zcutRelRb(list);
}

void Line(const char* layer, Point3 a, Point3 b) {
    const ads_point p{a.x, a.y, a.z}, q{b.x, b.y, b.z};
    Make(zcutBuildList(RTDXF0, "LINE", 8, layer, 10, p, 11, q, 0));
}

void Text(const char* type, const char* layer, double x, double height) {
    const ads_point p{x, 500, 0};
    Make(zcutBuildList(RTDXF0, type, 8, layer, 10, p, 40, height, 1, "Opis", 0));
}

struct LayerState {
    bool off, frozen, locked;
    int colour;
};

LayerState State(const char* name) {
    ZcDbDatabase* db = zcdbCurDwg();
    ZcDbLayerTableRecord* rec = nullptr;
    EXPECT_EQ(zcdbOpenObject(rec, db->recordId(db->layerTableId(), name), ZcDb::kForRead), Zcad::eOk);
    if (!rec) return {};
    LayerState s{rec->isOff(), rec->isFrozen(), rec->isLocked(), rec->colorIndex()};
    rec->close();
    return s;
}

std::string Pairs(const ads_name e) {
    std::string out;
    resbuf* apps = zcutBuildList(RTSTR, kLayerChangeApp, 0);
    resbuf* list = zcdbEntGetX(e, apps);
    zcutRelRb(apps);
    bool in = false;
    for (resbuf* rb = list; rb; rb = rb->rbnext) {
        if (rb->restype == 1001) in = std::string(rb->resval.rstring) == kLayerChangeApp;
        if (in && rb->restype == 1000) out += std::string(out.empty() ? "" : ",") + rb->resval.rstring;
    }
    zcutRelRb(list);
    return out;
}

}  // namespace

class DraftingCmdsTest : public WallsTest {
protected:
    void SetUp() override {
        WallsTest::SetUp();
        // The module's own support files: the linetypes, symbols and list.
        host::setSupportPathProvider([] {
            const std::string root = std::string(VELM_SOURCE_DIR) + "/support";
            return std::vector<std::string>{root, root + "/host"};
        });
    }
};

TEST_F(DraftingCmdsTest, isolation_lists_a_layer_once_and_restores_its_colour_on_enter_and_cancel) {
    run({"_-LAYER", "_N", "A,B", "_C", "5", "A", ""});
    Line("A", {0, 0, 0}, {100, 0, 0});
    Line("A", {0, 50, 0}, {100, 50, 0});
    Line("B", {0, 100, 0}, {100, 100, 0});
    // Cancelled: the marked layer gets its colour back and nothing goes off.
    run({"VELMLAYERISO", "!pick 50,0", "!cancel"});
    EXPECT_EQ(State("A").colour, 5);
    EXPECT_FALSE(State("B").off);
    // A layer picked twice is kept once; every other layer goes off.
    run({"VELMLAYERISO", "!pick 50,0", "!pick 50,50", ""});
    EXPECT_EQ(State("A").colour, 5);
    EXPECT_FALSE(State("A").off);
    EXPECT_TRUE(State("B").off);
    EXPECT_TRUE(State("0").off);
}

TEST_F(DraftingCmdsTest, a_locked_layer_is_emptied_and_locked_again_and_the_current_layer_is_refused) {
    run({"_-LAYER", "_N", "ZAMK", ""});
    Line("ZAMK", {0, 0, 0}, {100, 0, 0});
    Line("ZAMK", {0, 50, 0}, {100, 50, 0});
    Line("0", {0, 100, 0}, {100, 100, 0});
    run({"_-LAYER", "_LO", "ZAMK", ""});
    run({"VELMLAYERDEL", "ZAMK"});
    EXPECT_EQ(count("0=LINE 8=ZAMK"), 0);
    EXPECT_EQ(count("0=LINE"), 1);
    EXPECT_TRUE(State("ZAMK").locked);

    run({"VELMLAYEROFF", "!pick 50,100"});
    EXPECT_NE(transcript().find("\nBłąd: Próba wyłączenia bieżącej warstwy"), std::string::npos);
    run({"VELMLAYERFRZ", "!pick 50,100"});
    EXPECT_NE(transcript().find("\nBłąd: Próba zamrożenia bieżącej warstwy"), std::string::npos);
    EXPECT_FALSE(State("0").off);
    EXPECT_FALSE(State("0").frozen);
}

TEST_F(DraftingCmdsTest, freezing_in_a_layout_freezes_the_layer_in_the_viewport_only) {
    run({"_-LAYER", "_N", "OPIS", ""});
    Line("OPIS", {0, 0, 0}, {100, 0, 0});
    run({"VELMLAYERFRZ", "!pick 50,0"});
    EXPECT_TRUE(State("OPIS").frozen);
    run({"_-LAYER", "_T", "OPIS", ""});
    ASSERT_TRUE(host::setTileMode(0));
    run({"_MSPACE", "VELMLAYERFRZ", "!pick 50,0"});
    EXPECT_FALSE(State("OPIS").frozen) << transcript();
    ZcDbViewport* vp = nullptr;
    ASSERT_EQ(zcdbOpenObject(vp, zcedGetCurViewportObjectId(), ZcDb::kForRead), Zcad::eOk);
    EXPECT_TRUE(vp->isLayerFrozenInViewport(zcdbCurDwg()->recordId(zcdbCurDwg()->layerTableId(), "OPIS")));
    vp->close();
    EXPECT_EQ(host::sysVarShort("CMDECHO"), 1);
}

TEST_F(DraftingCmdsTest, text_heights_scale_only_on_texts_and_copied_properties_fall_back_to_by_layer) {
    Text("TEXT", "0", 0, 10);
    Text("MTEXT", "0", 200, 8);
    Line("0", {0, 0, 0}, {100, 0, 0});
    run({"VELMCHANGET", "0.5", "ALL", ""});
    EXPECT_EQ(count("0=TEXT 40=5"), 1) << transcript();
    EXPECT_EQ(count("0=MTEXT 40=4"), 1);

    // Copied from an object without its own linetype or colour.
    run({"_-LAYER", "_L", "DASHED", "0", ""});
    const ads_point p{0, 300, 0}, q{100, 300, 0};
    Make(zcutBuildList(RTDXF0, "LINE", 8, "0", 6, "DASHED", 62, 1, 10, p, 11, q, 0));
    Line("0", {0, 100, 0}, {100, 100, 0});
    run({"VELMCHANGELT", "!pick 50,300", "", "", "!pick 50,100"});
    run({"VELMCHANGEC", "!pick 50,300", "", "!pick 50,100"});
    EXPECT_EQ(count("0=LINE 62=1"), 0) << transcript();
    EXPECT_EQ(count("0=LINE 6=DASHED"), 0);

    // A linetype neither in the drawing nor in the file changes nothing.
    run({"VELMCHANGELT", "!pick 50,0", "", "FALISTA"});
    // The message names the file the linetype was looked for in, and why.
    EXPECT_NE(transcript().find("\nNie można znaleźć typu linii w pliku ACADISO.LIN"), std::string::npos)
        << transcript();
    EXPECT_NE(transcript().find("ACADISO.LIN: brak typu linii FALISTA"), std::string::npos);
    EXPECT_EQ(count("0=LINE 6=FALISTA"), 0);
    // One from the module's file is loaded and set.
    run({"VELMCHANGELT", "!pick 50,0", "", "CENTER2"});
    EXPECT_EQ(count("0=LINE 6=CENTER2"), 1) << transcript();
}

TEST_F(DraftingCmdsTest, breaks_cut_arcs_at_each_crossing_and_refuse_texts) {
    // A half circle above the axis, crossed twice by a segment at y 30 and
    // touched once by one at y 50.
    for (const double y : {0.0, 1000.0}) {
        const ads_point c{0, y, 0};
        Make(zcutBuildList(RTDXF0, "ARC", 8, kWallLayer, 10, c, 40, 50.0, 50, 0.0, 51, std::numbers::pi, 0));
    }
    run({"VELMBLA", "-100,30", "100,30", ""});
    EXPECT_EQ(count("0=ARC 8=" + std::string(kWallLayer)), 4) << transcript();
    run({"VELMBLA", "-100,1050", "100,1050", ""});
    EXPECT_EQ(count("0=ARC 8=" + std::string(kWallLayer)), 5);

    Text("TEXT", "0", 0, 10);
    Line("0", {0, -500, 0}, {100, -500, 0});
    run({"VELMBREAKA", "!pick 0,500", "!pick 50,-500", "50,-500"});
    EXPECT_NE(transcript().find("\nNie można przerwać tego obiektu"), std::string::npos);
    EXPECT_EQ(count("0=LINE 8=0"), 2);
    run({"VELMBREAKX", "!pick 20,-500", "20,-500", "40,-500"});
    EXPECT_EQ(count("0=LINE 8=0"), 3);
    std::vector<FaceLine> pieces = Lines("0");
    double covered = 0.0;
    for (const FaceLine& l : pieces) covered += std::abs(l.end.x - l.start.x);
    EXPECT_NEAR(covered, 80.0, 1e-9);
}

// A wall line broken in one point or between two stays a wall line in
// both its pieces: each keeps its wall type.
TEST_F(DraftingCmdsTest, broken_wall_lines_keep_their_wall_type_in_every_piece) {
    run({"VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij"});
    ASSERT_EQ(Lines().size(), 8u) << transcript();
    run({"VELMBREAKA", "!pick 200,-15", "200,-15"});
    ASSERT_EQ(Lines().size(), 9u) << transcript();
    run({"VELMBREAKX", "!pick 200,15", "100,15", "150,15"});
    const std::vector<FaceLine> lines = Lines();
    ASSERT_EQ(lines.size(), 10u) << transcript();
    for (const FaceLine& l : lines) EXPECT_EQ(l.wallType, "Ściana ogólna") << l.start.x << "," << l.start.y;
}

TEST_F(DraftingCmdsTest, a_plane_surface_needs_a_plane_and_offsets_refuse_what_cannot_be_offset) {
    run({"VELMPSURF", "", "0,0", "10,0", "20,0", ""});
    EXPECT_NE(transcript().find("\nNie można obliczyć definicji płaszczyzny"), std::string::npos);
    run({"_-LAYER", "_N", "POW", ""});
    Line("POW", {-100, -100, 0}, {-50, -100, 0});
    // A vertical square: two faces on the layer of the picked line.
    run({"VELMPSURF", "!pick -75,-100", "0,0,0", "0,100,0", "0,100,100", "0,0,100", ""});
    EXPECT_EQ(count("0=3DFACE 8=POW"), 2) << transcript();

    const ads_point c{500, 0, 0};
    Make(zcutBuildList(RTDXF0, "CIRCLE", 8, "0", 10, c, 40, 5.0, 0));
    run({"VELMOFFSETCL", "10", "!pick 505,0", "501,0", "!cancel"});
    EXPECT_NE(transcript().find("\nNie można odsunąć tego obiektu"), std::string::npos);
    EXPECT_EQ(count("0=CIRCLE"), 1);
    EXPECT_DOUBLE_EQ(Real(SetupVar::OFFSETCLVAL), 10.0);
    run({"_-LAYER", "_M", "BIEZ", ""});
    run({"VELMOFFSETCL", "", "!pick 505,0", "520,0", "!cancel"});
    EXPECT_EQ(count("0=CIRCLE 8=BIEZ 40=15"), 1) << transcript();
}

TEST_F(DraftingCmdsTest, the_snap_angle_comes_from_lines_arcs_blocks_and_polyline_segments) {
    auto snapAngle = [] {
        resbuf rb;
        zcedGetVar("SNAPANG", &rb);
        return rb.resval.rreal;
    };
    run({"VELMROTSNAP", ""});
    EXPECT_DOUBLE_EQ(snapAngle(), 0.0);
    // An arc's chord, from the end nearer the pick.
    const ads_point c{0, 0, 0};
    Make(zcutBuildList(RTDXF0, "ARC", 8, "0", 10, c, 40, 50.0, 50, 0.0, 51, std::numbers::pi / 2, 0));
    run({"VELMROTSNAP", "!pick 49,8"});
    EXPECT_NEAR(snapAngle(), 3 * std::numbers::pi / 4, 1e-9);
    // A segment of an old-style polyline.
    Make(zcutBuildList(RTDXF0, "POLYLINE", 8, "0", 66, 1, 70, 0, 0));
    for (const auto& [x, y] : {std::pair{1000.0, 0.0}, {1100.0, 0.0}, {1100.0, 100.0}}) {
        const ads_point v{x, y, 0};
        Make(zcutBuildList(RTDXF0, "VERTEX", 8, "0", 10, v, 0));
    }
    Make(zcutBuildList(RTDXF0, "SEQEND", 0));
    run({"VELMROTSNAP", "!pick 1100,60"});
    EXPECT_NEAR(snapAngle(), 3 * std::numbers::pi / 2, 1e-9) << transcript();
    // A line inside a block, turned with the block.
    Make(zcutBuildList(RTDXF0, "BLOCK", 2, "KRESKA", 10, c, 70, 0, 0));
    Line("0", {0, 0, 0}, {10, 0, 0});
    Make(zcutBuildList(RTDXF0, "ENDBLK", 0));
    const ads_point at{0, 2000, 0};
    Make(zcutBuildList(RTDXF0, "INSERT", 2, "KRESKA", 8, "0", 10, at, 50, std::numbers::pi / 6, 0));
    run({"VELMROTSNAP", "!pick 0.2,2000.1"});
    EXPECT_NEAR(snapAngle(), std::numbers::pi / 6, 1e-9) << transcript();
}

TEST_F(DraftingCmdsTest, layer_substitutions_go_back_and_chain_to_one_pair) {
    zcdbRegApp("VELM5$_$PARAMETRI-");
    const ads_point at{0, 0, 0};
    Make(zcutBuildList(RTDXF0, "BLOCK", 2, "OBJ", 10, at, 70, 0, 0));
    Line("A", {0, 0, 0}, {10, 0, 0});
    Make(zcutBuildList(RTDXF0, "ENDBLK", 0));
    Make(zcutBuildList(RTDXF0, "INSERT", 2, "OBJ", 8, "0", 10, at, -3, 1001, "VELM5$_$PARAMETRI-", 1000, "X",
                       0));
    ads_name obj;
    zcdbEntLast(obj);
    zcdbRegApp(kLayerChangeApp);
    SetLayerChange(obj, "A", "B");
    EXPECT_EQ(Pairs(obj), "A,B");
    SetLayerChange(obj, "B", "A");
    EXPECT_EQ(Pairs(obj), "");
    SetLayerChange(obj, "A", "B");
    SetLayerChange(obj, "B", "C");
    EXPECT_EQ(Pairs(obj), "A,C");

    // A plain block is changed in its definition.
    Make(zcutBuildList(RTDXF0, "INSERT", 2, "OBJ", 8, "0", 10, at, 0));
    ads_name plain;
    zcdbEntLast(plain);
    ChangeLayerInBlock(plain, "A", "NOWA");
    EXPECT_FALSE(db()->recordId(db()->layerTableId(), "NOWA").isNull());
}
