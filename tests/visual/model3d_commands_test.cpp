// Curved sides in strips, wall tops, and the 3D wall commands and drivers
// run as the user and the other subsystems run them.
#include <cmath>
#include <numbers>
#include <set>
#include <string>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/geometry/polygon.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "roofs/slab_block.h"
#include "roofs/slab_record.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/store/damaged_records.h"
#include "tests/visual/model3d_fixture.h"
#include "tests/walls/graph/graph_fixture.h"
#include "visual/model3d/arc_sides.h"
#include "visual/model3d/face_records.h"
#include "visual/model3d/wall3d_commands.h"
#include "visual/model3d/wall_tops.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/outline_record.h"
#include "walls/graph/wall_face.h"

namespace {

class ArcSidesTest : public Model3DTest {};

WallFace* CurvedFace(double start, double end, double radius = 500) {
    WallFace* f = ArcFace({0, 0, 0}, radius, start, end);
    FaceEdge* e = ArcEdge({0, 0, 0}, radius, start, end);
    e->bottomZ = 0;
    e->topZ = 300;
    f->arcEdges = e;
    return f;
}

// The angles of the vertical quad edges shown between strips.
std::set<long> StationIndices(const std::vector<Face3D>& faces, double t) {
    std::set<long> out;
    for (const Face3D& f : faces) {
        for (int i : {0, 1}) {
            const double a = std::atan2(f.c[i].y, f.c[i].x);
            const double k = (a < 0 ? a + 2 * std::numbers::pi : a) / t;
            EXPECT_NEAR(k, std::round(k), 1e-6) << "a strip line off the grid";
            out.insert(std::lround(k));
        }
    }
    return out;
}

TEST_F(ArcSidesTest, WallsOnOneCircleShareTheirStripAngles) {
    const double step = 50.0, r = 500.0, t = 2 * std::asin(step / (2 * r));
    WallFace* a = CurvedFace(0.1234, 1.0);
    WallFace* b = CurvedFace(1.0, 1.777);
    ASSERT_EQ(GenArcWallSide(*a, "A", 0, step, 0, 0.0, 300.0, nullptr), 1);
    ASSERT_EQ(GenArcWallSide(*b, "B", 0, step, 0, 0.0, 300.0, nullptr), 1);
    const auto fa = Faces("A"), fb = Faces("B");
    // interior corners on the grid (the faces' own ends excepted)
    std::vector<Face3D> inner;
    for (const auto* list : {&fa, &fb})
        for (const Face3D& f : *list) {
            const double a0 = std::atan2(f.c[0].y, f.c[0].x), a1 = std::atan2(f.c[1].y, f.c[1].x);
            Face3D g = f;
            if (std::fabs(a0 - 0.1234) < 1e-9 || std::fabs(a0 - 1.0) < 1e-9) g.c[0] = g.c[1];
            if (std::fabs(a1 - 1.777) < 1e-9 || std::fabs(a1 - 1.0) < 1e-9) g.c[1] = g.c[0];
            inner.push_back(g);
        }
    StationIndices(inner, t);
    // Oracle: the strips cover the chord polygon between bottom and top.
    double chords = 0.0;
    for (const Face3D& f : fa) chords += std::hypot(f.c[1].x - f.c[0].x, f.c[1].y - f.c[0].y);
    EXPECT_NEAR(Area(fa), chords * 300.0, 1e-6);
    for (const Face3D& f : fa) EXPECT_FALSE(f.hasColor) << "strip quads carry no colour";
    FreeFaceList(a);
    FreeFaceList(b);
}

TEST_F(ArcSidesTest, StripLinesShownOnlyWhenTheSettingAsks) {
    WallFace* a = CurvedFace(0.2, 1.2);
    GenArcWallSide(*a, "SHOWN", 0, 50.0, 0, 0.0, 300.0, nullptr);
    GenArcWallSide(*a, "HIDDEN", 0, 50.0, 1, 0.0, 300.0, nullptr);
    const auto shown = Faces("SHOWN"), hidden = Faces("HIDDEN");
    ASSERT_EQ(shown.size(), hidden.size());
    ASSERT_GT(shown.size(), 3u);
    int verticalShown = 0;
    for (const Face3D& f : shown) verticalShown += !(f.flags & 2) + !(f.flags & 8);
    EXPECT_EQ(verticalShown, 2 * static_cast<int>(shown.size()));
    verticalShown = 0;
    for (const Face3D& f : hidden) verticalShown += !(f.flags & 2) + !(f.flags & 8);
    EXPECT_EQ(verticalShown, 2) << "only the arc's two end lines";
    FreeFaceList(a);
}

TEST_F(ArcSidesTest, ATooSmallRadiusMakesNothing) {
    WallFace* a = CurvedFace(0, 1, 10.0);
    EXPECT_EQ(GenArcWallSide(*a, "X", 0, 25.0, 0, 0.0, 300.0, nullptr), 0);
    EXPECT_TRUE(Faces("X").empty());
    FreeFaceList(a);
}

TEST_F(ArcSidesTest, UnderACoveringPlaneTheStripsFollowIt) {
    WallFace* a = CurvedFace(0.0, 0.5);
    auto* plane = new SlabPlaneRec;
    plane->c = 1.0;
    plane->d = -200.0;
    GenArcWallSide(*a, "P", 1, 50.0, 1, 0.0, 300.0, plane);
    double zmax = 0.0;
    for (const Face3D& f : Faces("P"))
        for (const Point3& c : f.c) zmax = std::max(zmax, c.z);
    EXPECT_NEAR(zmax, 200.0, 1e-9);
    // a fixed-height arc keeps its own top
    a->arcEdges->extraReal = 1.0;
    GenArcWallSide(*a, "Q", 1, 50.0, 1, 0.0, 300.0, plane);
    zmax = 0.0;
    for (const Face3D& f : Faces("Q"))
        for (const Point3& c : f.c) zmax = std::max(zmax, c.z);
    EXPECT_NEAR(zmax, 300.0, 1e-9);
    FreeList(plane);
    FreeFaceList(a);
}

TEST_F(ArcSidesTest, ADoorAtTheFloorLeavesNoFaceBelowIt) {
    const double r = 500.0;
    WallFace* a = CurvedFace(0.0, 1.0, r);
    GenArcWallSide(*a, "FULL", 0, 50.0, 1, 0.0, 300.0, nullptr);
    const double full = Area(Faces("FULL"));
    OutlineNode door;
    door.kind = 12;
    door.base = {0, 0, 0};
    door.gapAngle[0] = 0.4;
    door.gapAngle[1] = 0.6;
    door.jamb1 = NewVertex(r * std::cos(0.4), r * std::sin(0.4), 0, 0, 0, 0, 0);
    door.jamb2 = NewVertex(r * std::cos(0.6), r * std::sin(0.6), 0, 0, 0, 0, 0);
    door.cut3DInt1 = NewVertex(0, 0, 0, 0, 0, 0, 0);
    door.cut3DInt1->next = NewVertex(0, 0, 210, 0, 0, 0, 0);
    LinkOutline(*a, &door);
    GenArcWallSide(*a, "DOOR", 0, 50.0, 1, 0.0, 300.0, nullptr);
    const auto faces = Faces("DOOR");
    for (const Face3D& f : faces) {
        double lo = 1e300, amin = 1e300, amax = -1e300;
        for (const Point3& c : f.c) {
            lo = std::min(lo, c.z);
            const double ang = std::atan2(c.y, c.x);
            amin = std::min(amin, ang);
            amax = std::max(amax, ang);
        }
        if (amin > 0.4 + 1e-6 && amax < 0.6 - 1e-6) {
            EXPECT_GE(lo, 210.0 - 1e-9) << "a face below the door";
        }
    }
    const double hole = 2 * r * std::sin(0.1) * 210.0;
    EXPECT_NEAR(full - Area(faces), hole, hole * 0.01);
    FreeList(door.jamb1);
    FreeList(door.jamb2);
    FreeList(door.cut3DInt1);
    FreeList(a->outlineLinks);
    a->outlineLinks = nullptr;
    FreeFaceList(a);
}

TEST_F(ArcSidesTest, PilasterCapsOnTheFloorsLevelOnlyAndNoWallsSaySo) {
    zcdbRegApp(kPilasterApp);
    for (const char* layer : {"VELM2DOBJ$0", "VELM2DOBJ$300"}) {
        const ads_point at{0, 0, 0}, p0{0, 0, 0}, p1{40, 0, 0}, p2{40, 40, 0}, p3{0, 40, 0};
        resbuf* list = zcutBuildList(RTDXF0, "POINT", 8, layer, 10, at, -3, 1001, kPilasterApp, 1011, p0,
                                     1011, p1, 1011, p2, 1011, p3, 0);
        ASSERT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    }
    GenWallTops("TOPS", 0.0, 300.0);
    const auto caps = Faces("TOPS");
    EXPECT_NEAR(Area(caps), 40 * 40, 1e-9) << "one pilaster's cap";
    EXPECT_NE(transcript().find("\nNie można rozpoznać ścian w bieżącym rysunku"), std::string::npos);
}

class Wall3DCommandsTest : public Model3DTest {
protected:
    void Room() { run({"VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij"}); }
};

TEST_F(Wall3DCommandsTest, FloorCommandTwiceLeavesOneSetAndTopsAreAdded) {
    Room();
    ASSERT_EQ(count("0=LINE 8=VELM2DWALLS$0"), 8) << transcript();
    run({"VELMWALL3D", ""});
    const int once = count("0=3DFACE 8=VELM3DWALLS$0");
    ASSERT_GT(once, 0) << transcript();
    const double area = Area(Faces());
    run({"VELMWALL3D", ""});
    EXPECT_EQ(count("0=3DFACE 8=VELM3DWALLS$0"), once);
    EXPECT_NEAR(Area(Faces()), area, 1e-6);
    SetSettingInt(SetupVar::CHIUSURA_SUP, 1);
    run({"VELMWALL3D", ""});
    EXPECT_EQ(count("0=3DFACE 8=VELM3DWALLS$0"), once + 8) << "a cap and a foot per wall" << transcript();
}

TEST_F(Wall3DCommandsTest, SlabAndPlaneOptionsTellWhatIsMissing) {
    Room();
    run({"VELMVARW3D", "Jedna", "!pick 200,-15"});
    EXPECT_NE(transcript().find("\nNa rysunku nie ma prawidłowych płyt przykrywających"), std::string::npos)
        << transcript();
    EXPECT_EQ(count("0=3DFACE"), 0);
    run({"VELMVARW3D", "Wyrównanie", "0,0,0", "100,0,0", "Cofnij", "100,0,100", "0,0,100"});
    EXPECT_NE(transcript().find("\nOkreślone punkty nie definiują płaszczyzny"), std::string::npos)
        << transcript();
    EXPECT_EQ(count("0=3DFACE"), 0);
    run({"VELMVARW3D", ""});
    EXPECT_EQ(count("0=3DFACE"), 0);
}

TEST_F(Wall3DCommandsTest, DriversTouchOnlyGeneratedSidesAndHeedTheSwitch) {
    Room();
    // nothing generated yet: every line has mode 0
    Regen3DWallsOfLevel(0.0, 300.0, 0);
    EXPECT_EQ(count("0=3DFACE"), 0);
    run({"VELMWALL3D", ""});
    const double before = Area(Faces());
    double perimeter = 0.0;
    {
        CFACCIATE g;
        g.Build(false, true, nullptr, false);
        for (WallFace* f = g.faces; f; f = f->next) perimeter += Distance2d(f->start, f->end);
        g.Clear();
    }
    // the floor's height changes: the preferences' driver regenerates
    Regen3DWallsOfLevel(0.0, 200.0, 0);
    EXPECT_NEAR(Area(Faces()), perimeter * 200.0, 1e-6);
    ads_name line, set;
    resbuf* filter = zcutBuildList(RTDXF0, "LINE", 0);
    ASSERT_EQ(zcedSSGet("X", nullptr, nullptr, filter, set), RTNORM);
    zcutRelRb(filter);
    zcedSSName(set, 0, line);
    zcedSSFree(set);
    SetSettingInt(SetupVar::SETOPZM3DAUTO, 0);
    const double at200 = Area(Faces());
    Regen3DWallsAround(line, nullptr, 0.0, nullptr, nullptr);
    EXPECT_NEAR(Area(Faces()), at200, 1e-6) << "automatic regeneration is off";
    SetSettingInt(SetupVar::SETOPZM3DAUTO, 1);
    Regen3DWallsAround(line, nullptr, 0.0, nullptr, nullptr);
    EXPECT_NE(Area(Faces()), at200) << "the side is regenerated at the floor's own height";
    EXPECT_GT(Area(Faces()), before * 0.5);
}

// Walls none of which asks for its 3D sides: regenerating around one makes
// nothing, and the floor still loses its zero-length wall lines as a full
// reading of its walls would take them; once the sides are asked for, the
// same call makes them and cleans up all the same.
TEST_F(Wall3DCommandsTest, RegenerationAroundWallsWithoutAutomaticSidesOnlyCleansUp) {
    Room();
    SetSettingInt(SetupVar::SETOPZM3DAUTO, 1);
    ads_name line, set;
    resbuf* filter = zcutBuildList(RTDXF0, "LINE", 0);
    ASSERT_EQ(zcedSSGet("X", nullptr, nullptr, filter, set), RTNORM);
    zcutRelRb(filter);
    zcedSSName(set, 0, line);
    zcedSSFree(set);
    resbuf* own = zcdbEntGet(line);
    std::string layer;
    for (const resbuf* rb = own; rb; rb = rb->rbnext)
        if (rb->restype == 8) layer = rb->resval.rstring;
    zcutRelRb(own);
    auto leftover = [&](double x) {
        const ads_point p{x, 1000, 0};
        resbuf* l = zcutBuildList(RTDXF0, "LINE", 8, layer.c_str(), 10, p, 11, p, 0);
        EXPECT_EQ(zcdbEntMake(l), RTNORM);
        zcutRelRb(l);
        ads_name made;
        zcdbEntLast(made);
        return std::pair<std::int64_t, std::int64_t>{made[0], made[1]};
    };
    auto gone = [](std::pair<std::int64_t, std::int64_t> e) {
        const ads_name name{e.first, e.second};
        resbuf* l = zcdbEntGet(name);
        zcutRelRb(l);
        return l == nullptr;
    };
    const auto first = leftover(50);
    Regen3DWallsAround(line, nullptr, 0.0, nullptr, nullptr);
    EXPECT_TRUE(gone(first));
    EXPECT_EQ(count("0=3DFACE"), 0);

    run({"VELMWALL3D", ""});
    const int faces = count("0=3DFACE");
    ASSERT_GT(faces, 0);
    const auto second = leftover(60);
    Regen3DWallsAround(line, nullptr, 0.0, nullptr, nullptr);
    EXPECT_TRUE(gone(second));
    EXPECT_GT(count("0=3DFACE"), 0);
}

// A roof pitch over the whole room written by the slab writer: z 250 at
// y = -100 rising to 350 at y = 400.
void RoofPitch() {
    CFALDA pitch;
    pitch.name = "ROOF";
    pitch.thickness = 20.0;
    auto* loop = new ContourNode;
    const double pts[4][3] = {{-100, -100, 250}, {500, -100, 250}, {500, 400, 350}, {-100, 400, 350}};
    VertexNode** tail = &loop->vertices;
    for (const auto& p : pts) {
        *tail = NewVertex(p[0], p[1], p[2], 1, 0, 0, 0);
        tail = &(*tail)->next;
    }
    pitch.SetLoops(loop);
    MakeSlabLayerName(pitch);
    std::string block;
    resbuf* xdata = MakeSlabBlock(pitch, block, BridgeHoles(pitch.loops), 0.0);
    ASSERT_NE(xdata, nullptr);
    const ads_point at{0, 0, 0};
    resbuf* ins = zcutBuildList(RTDXF0, "INSERT", 2, block.c_str(), 8, "ROOF", 10, at, 0);
    resbuf* end = ins;
    while (end->rbnext) end = end->rbnext;
    end->rbnext = xdata;
    ASSERT_EQ(zcdbEntMake(ins), RTNORM);
    zcutRelRb(ins);
}

TEST_F(Wall3DCommandsTest, FloorUnderSlabsFollowsTheRoofPitch) {
    Room();
    RoofPitch();
    run({"VELMVARW3D", ""});
    const auto faces = Faces("VELM3DWALLS$0");
    ASSERT_GT(faces.size(), 0u) << transcript();
    for (const Face3D& f : faces)
        for (const Point3& c : f.c) {
            const double roof = 250 + (c.y + 100) * 100.0 / 500.0;
            EXPECT_TRUE(c.z < 1e-9 || std::fabs(c.z - roof) < 1e-6) << c.x << "," << c.y << "," << c.z;
        }
    CFACCIATE g;
    g.Build(false, true, nullptr, false);
    for (WallFace* f = g.faces; f; f = f->next) EXPECT_EQ(f->auto3DType, 2);
    g.Clear();
    // the automatic regeneration keeps the side under the pitch
    const double area = Area(faces);
    Regen3DWallsOfLevel(0.0, 275.0, 0);
    EXPECT_NEAR(Area(Faces("VELM3DWALLS$0")), area, 1e-6);
}

TEST_F(Wall3DCommandsTest, ASideUnderSlabsWhoseSlabIsGoneKeepsItsFaces) {
    Room();
    double perimeter = 0.0;
    {
        CFACCIATE g;
        g.Build(false, true, nullptr, false);
        for (WallFace* f = g.faces; f; f = f->next) {
            MarkFaceModelType(*f, 2);
            perimeter += Distance2d(f->start, f->end);
        }
        g.Clear();
    }
    Regen3DWallsOfLevel(0.0, 200.0, 0);
    EXPECT_NEAR(Area(Faces()), perimeter * 200.0, 1e-6) << "the tops at elevation + height";
    CFACCIATE g;
    g.Build(false, true, nullptr, false);
    for (WallFace* f = g.faces; f; f = f->next) EXPECT_EQ(f->auto3DType, 2);
    g.Clear();
}

// The wall-layer record read as a file held it reduced to its handle and
// owner (the host makes the record empty to read it): the first wall layer
// is kept and the record named, so the floor is rebuilt rather than its
// faces erased with none made; and a floor whose walls are no longer found
// keeps its faces.
TEST_F(Wall3DCommandsTest, ADamagedWallLayerRecordOrAFloorWithoutWallsKeepsTheFaces) {
    Room();
    run({"VELMWALL3D", ""});
    const int once = count("0=3DFACE 8=VELM3DWALLS$0");
    ASSERT_GT(once, 0) << transcript();
    VELM_LAYERMURI* walls = OpenLayerMuriObject();
    ASSERT_NE(walls, nullptr);
    walls->entries.clear();
    ReadBackDamaged(walls, [](DxfItems& items) {
        std::erase_if(items, [](const ZcDbDxfItem& it) { return it.code != 5 && it.code != 330; });
    });
    EXPECT_NE(transcript().find("Uszkodzony rekord ustawień \"VELM_LAYERMURI\""), std::string::npos);
    run({"VELMWALL3D", ""});
    EXPECT_EQ(count("0=3DFACE 8=VELM3DWALLS$0"), once) << transcript();

    // The wall lines moved off the wall layers: nothing to build from.
    for (ZcDbObjectId id : modelSpace()) {
        ads_name e;
        zcdbGetAdsName(e, id);
        resbuf* list = zcdbEntGet(e);
        const resbuf* layer = FindRbCode(list, 8);
        if (layer && std::string(layer->resval.rstring) == "VELM2DWALLS$0") {
            ReplaceRb(list, 8, "PLAN");
            zcdbEntMod(list);
        }
        zcutRelRb(list);
    }
    ASSERT_EQ(count("0=LINE 8=PLAN"), 8);
    run({"VELMWALL3D", ""});
    EXPECT_EQ(count("0=3DFACE 8=VELM3DWALLS$0"), once);
}

TEST_F(Wall3DCommandsTest, AfterAnEditOnlyTheSidesAnOpeningTouchesAreRegenerated) {
    Room();
    run({"VELMWALL3D", ""});
    const int all = count("0=3DFACE");
    for (ZcDbObjectId id : modelSpace()) {
        ads_name e;
        zcdbGetAdsName(e, id);
        resbuf* list = zcdbEntGet(e);
        bool face = false;
        for (const resbuf* rb = list; rb; rb = rb->rbnext)
            if (rb->restype == 0) face = std::string(rb->resval.rstring) == "3DFACE";
        zcutRelRb(list);
        if (face) zcdbEntDel(e);
    }
    ASSERT_EQ(count("0=3DFACE"), 0);
    OutlineNode door;
    door.kind = 11;
    door.jamb1 = NewVertex(150, 15, 0, 0, 0, 0, 0);
    door.jamb1->next = NewVertex(150, -15, 0, 0, 0, 0, 0);
    door.jamb2 = NewVertex(240, 15, 0, 0, 0, 0, 0);
    door.jamb2->next = NewVertex(240, -15, 0, 0, 0, 0, 0);
    SetSettingInt(SetupVar::SETOPZM3DAUTO, 0);
    Regen3DWallsAfterCommand(&door);
    EXPECT_EQ(count("0=3DFACE"), 0);
    SetSettingInt(SetupVar::SETOPZM3DAUTO, 1);
    Regen3DWallsAfterCommand(&door);
    const auto faces = Faces();
    EXPECT_GT(faces.size(), 0u);
    EXPECT_LT(static_cast<int>(faces.size()), all);
    for (const Face3D& f : faces)
        for (const Point3& c : f.c)
            EXPECT_NEAR(std::fabs(c.y), 15.0, 1e-9) << "only the bottom wall's two sides";
    FreeList(door.jamb1);
    FreeList(door.jamb2);
    door.jamb1 = door.jamb2 = nullptr;
}

}  // namespace
