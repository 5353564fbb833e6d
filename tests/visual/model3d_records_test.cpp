// Face records and erasing: which faces a side's erase takes (by level,
// by position in plan), the mode mark on wall lines, and whole floors
// generated twice, also with a renamed 3D wall layer and with levels off.
#include <numbers>
#include <string>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "settings/floors.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/visual/model3d_fixture.h"
#include "tests/walls/graph/graph_fixture.h"
#include "visual/model3d/face_records.h"
#include "visual/model3d/wall_sides.h"
#include "walls/graph/cfacciate.h"

namespace {

class FaceRecordsTest : public Model3DTest {};

TEST_F(FaceRecordsTest, SideEraseTakesTheFloorsFacesOnTheSegment) {
    MakeFace("VELM3DWALLS$0", {0, 0, 0}, {100, 0, 0}, {100, 0, 300}, {0, 0, 300});
    MakeFace("VELM3DWALLS$300", {0, 0, 300}, {100, 0, 300}, {100, 0, 600}, {0, 0, 600});
    MakeFace("MURY3D", {0, 0, 300}, {50, 0, 300}, {50, 0, 600}, {0, 0, 600});           // no level
    MakeFace("VELM3DWALLS$0", {10, 0, 5}, {20, 0, 5}, {20, 0, 5}, {10, 0, 5});          // horizontal
    MakeFace("VELM3DWALLS$0", {0, 0, 0}, {100, 1, 0}, {100, 1, 300}, {0, 0, 300});      // off the line
    MakeFace("VELM3DWALLS$0", {200, 0, 0}, {300, 0, 0}, {300, 0, 300}, {200, 0, 300});  // beyond its end
    Erase3DFacesOnSegment({0, 0, 0}, {100, 0, 0}, 0.0);
    const auto left = Faces();
    ASSERT_EQ(left.size(), 3u);
    EXPECT_EQ(left[0].layer, "VELM3DWALLS$300");
    EXPECT_EQ(left[1].c[1].y, 1.0);
    EXPECT_EQ(left[2].c[0].x, 200.0);
}

TEST_F(FaceRecordsTest, ArcEraseNeedsAFirstCornerAtTheRadius) {
    ArcRecord arc;
    arc.centre = {0, 0, 0};
    arc.radius = 100;
    arc.startAngle = 0;
    arc.endAngle = std::numbers::pi / 2;
    // a strip on the arc, one whose first two corners lie inside the radius,
    // one beyond the span
    MakeFace("VELM3DWALLS$0", {100, 0, 0}, {70.710678118654755, 70.710678118654755, 0},
             {70.710678118654755, 70.710678118654755, 300}, {100, 0, 300});
    MakeFace("VELM3DWALLS$0", {50, 10, 0}, {40, 40, 0}, {70.710678118654755, 70.710678118654755, 300},
             {100, 0, 300});
    MakeFace("VELM3DWALLS$0", {0, 100, 0}, {-100, 0, 0}, {-100, 0, 300}, {0, 100, 300});
    Erase3DFacesOnArc(arc, 0.0);
    const auto left = Faces();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].c[0].x, 50.0);
    EXPECT_EQ(left[1].c[1].x, -100.0);
}

TEST_F(FaceRecordsTest, OnePassEraseOfManySidesTakesWhatEachSideEraseWould) {
    WallFace* straight = StraightFace({0, 0, 0}, {100, 0, 0});
    WallFace* curved = ArcFace({1000, 0, 0}, 100, 0, std::numbers::pi / 2);
    MakeFace("VELM3DWALLS$0", {0, 0, 0}, {100, 0, 0}, {100, 0, 300}, {0, 0, 300});
    MakeFace("VELM3DWALLS$300", {0, 0, 300}, {100, 0, 300}, {100, 0, 600}, {0, 0, 600});
    MakeFace("VELM3DWALLS$0", {200, 0, 0}, {300, 0, 0}, {300, 0, 300}, {200, 0, 300});
    MakeFace("VELM3DWALLS$0", {1100, 0, 0}, {1070.710678118654755, 70.710678118654755, 0},
             {1070.710678118654755, 70.710678118654755, 300}, {1100, 0, 300});
    MakeFace("VELM3DWALLS$0", {900, 0, 0}, {1000, -100, 0}, {1000, -100, 300}, {900, 0, 300});
    Erase3DFacesOnSides({straight, curved}, 0.0);
    const auto left = Faces();
    ASSERT_EQ(left.size(), 3u);
    EXPECT_EQ(left[0].layer, "VELM3DWALLS$300");
    EXPECT_EQ(left[1].c[0].x, 200.0);
    EXPECT_EQ(left[2].c[0].x, 900.0);
    FreeFaceList(straight);
    FreeFaceList(curved);
}

std::string XDataText(const ads_name e) {
    resbuf* apps = zcutBuildList(RTSTR, "*", 0);
    resbuf* list = zcdbEntGetX(e, apps);
    zcutRelRb(apps);
    std::string out;
    bool x = false;
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        if (rb->restype == -3) x = true;
        if (!x) continue;
        out += std::to_string(rb->restype) + "=";
        if (rb->restype == 1001 || rb->restype == 1000) out += rb->resval.rstring;
        if (rb->restype == 1070) out += std::to_string(rb->resval.rint);
        out += ";";
    }
    zcutRelRb(list);
    return out;
}

TEST_F(FaceRecordsTest, ModeMarkKeepsOtherXDataAndChangesOnlyItsValue) {
    zcdbRegApp("VELMX$_$ALTRO-");
    const ads_point a{0, 0, 0}, b{100, 0, 0};
    resbuf* line = zcutBuildList(RTDXF0, "LINE", 8, "VELM2DWALLS$0", 10, a, 11, b, -3, 1001, "VELMX$_$ALTRO-",
                                 1000, "tekst", 1070, 7, 0);
    ASSERT_EQ(zcdbEntMake(line), RTNORM);
    zcutRelRb(line);
    const ads_point c{0, 50, 0}, d{100, 50, 0};
    line = zcutBuildList(RTDXF0, "LINE", 8, "VELM2DWALLS$0", 10, c, 11, d, 0);
    ASSERT_EQ(zcdbEntMake(line), RTNORM);
    zcutRelRb(line);
    CFACCIATE g;
    g.Build(false, true, nullptr, false);
    ASSERT_EQ(CountFaces(g.faces), 2);
    for (WallFace* f = g.faces; f; f = f->next) MarkFaceModelType(*f, 1);
    ads_name first, second;
    for (WallFace* f = g.faces; f; f = f->next)
        ads_name_set(f->edges->entity, f->start.y == 0.0 ? first : second);
    const std::string kept = "-3=;1001=VELMX$_$ALTRO-;1000=tekst;1070=7;";
    EXPECT_EQ(XDataText(first), kept + "1001=VELM12CAD$_$TIPOM3DAUTOMATICO-;1070=1;");
    EXPECT_EQ(XDataText(second), "-3=;1001=VELM12CAD$_$TIPOM3DAUTOMATICO-;1070=1;");
    EXPECT_TRUE(SetModelTypeXData(first, 1));
    EXPECT_TRUE(SetModelTypeXData(first, 2));
    EXPECT_EQ(XDataText(first), kept + "1001=VELM12CAD$_$TIPOM3DAUTOMATICO-;1070=2;");
    g.Clear();
    // a new graph reads the mark back as the face's mode
    CFACCIATE again;
    again.Build(false, true, nullptr, false);
    for (WallFace* f = again.faces; f; f = f->next) EXPECT_EQ(f->auto3DType, f->start.y == 0.0 ? 2 : 1);
}

// A square room of four single lines generated whole, the floor's faces
// erased first as the floor command does.
void GenerateFloor(const AAR_LAYERC& catalogue, double elevation) {
    EraseFloorWallFaces(catalogue, elevation);
    CFACCIATE g;
    g.level = elevation;
    g.floorHeight = 300.0;
    g.Build(false, true, nullptr, false);
    for (WallFace* f = g.faces; f; f = f->next)
        GenWallSide(*f, SideLayer(*f, false, catalogue, elevation, true), elevation, 300.0);
    g.Clear();
}

void DrawSquare(const char* layer, double z) {
    const Point3 p[4] = {{0, 0, z}, {400, 0, z}, {400, 300, z}, {0, 300, z}};
    for (int i = 0; i < 4; ++i) {
        const ads_point a{p[i].x, p[i].y, z}, b{p[(i + 1) % 4].x, p[(i + 1) % 4].y, z};
        resbuf* line = zcutBuildList(RTDXF0, "LINE", 8, layer, 10, a, 11, b, 0);
        zcdbEntMake(line);
        zcutRelRb(line);
    }
}

TEST_F(FaceRecordsTest, RenamedWallLayerKeyRegeneratesIntoOneSet) {
    for (AA_LAYERC& row : catalogue)
        if (row.key == "3DWALLS") row.layerName = "MURY3D";
    DrawSquare("VELM2DWALLS$0", 0);
    DrawSquare("VELM2DWALLS$300", 300);
    for (int pass = 0; pass < 2; ++pass) {
        GenerateFloor(catalogue, 0.0);
        GenerateFloor(catalogue, 300.0);
    }
    const double one = 2 * (400 + 300) * 300.0;
    EXPECT_NEAR(Area(Faces("VELMMURY3D$0")), one, 1e-6);
    EXPECT_NEAR(Area(Faces("VELMMURY3D$300")), one, 1e-6);
    EXPECT_EQ(Faces().size(), Faces("VELMMURY3D$0").size() + Faces("VELMMURY3D$300").size());
}

TEST_F(FaceRecordsTest, LevelsOffTellFloorsByHeight) {
    if (VELM_PIANI* floors = OpenPianiObject(false)) {
        AA_PIANO lower, upper;
        lower.elevation = 0, lower.height = 300;
        upper.elevation = 300, upper.height = 300;
        floors->piani.floors = {upper, lower};
        floors->close();
    }
    SetSettingInt(SetupVar::VELMLAYERQP, 1);
    // The same wall line on both floors: every layer reads level 0.
    auto side = [&](double elevation) {
        WallFace* f = StraightFace({0, 0, elevation}, {400, 0, elevation});
        f->edges = Line({0, 0, elevation}, {400, 0, elevation});
        f->edges->bottomZ = elevation;
        f->edges->topZ = elevation + 300;
        const std::string layer = SideLayer(*f, false, catalogue, elevation, true);
        EXPECT_EQ(layer, "3DWALLS");
        Erase3DFacesOnSegment(f->start, f->end, elevation);
        GenWallSide(*f, layer, elevation, 300.0);
        FreeFaceList(f);
    };
    auto areaAbove = [](double z) {
        double a = 0.0;
        for (const Face3D& f : Faces())
            if ((f.c[0].z + f.c[1].z + f.c[2].z + f.c[3].z) / 4 > z) a += f.area();
        return a;
    };
    for (int pass = 0; pass < 2; ++pass) {
        side(0.0);
        side(300.0);
    }
    EXPECT_NEAR(Area(Faces()), 2 * 400 * 300.0, 1e-6);
    EXPECT_NEAR(areaAbove(300.0), 400 * 300.0, 1e-6);
    // The whole-floor erase of floor 0 leaves floor 300's faces.
    EraseFloorWallFaces(catalogue, 0.0);
    EXPECT_NEAR(Area(Faces()), 400 * 300.0, 1e-6);
    EXPECT_NEAR(areaAbove(300.0), 400 * 300.0, 1e-6);
}

}  // namespace
