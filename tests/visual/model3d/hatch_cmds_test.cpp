#include "visual/model3d/hatch_cmds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/geometry/polygon.h"
#include "core/hatch.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/db/dbhatch.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/util/findfile.h"
#include "tests/support/velm_test.h"

namespace {

// The ring's area in the facet's vertical frame: u the plan distance from
// `p`, z up.
double FrameArea(const VertexNode* ring, const Point3& p) {
    std::vector<std::pair<double, double>> pts;
    for (const VertexNode* v = ring; v; v = v->next) pts.push_back({Distance2d(p, v->pt()), v->z});
    double a = 0.0;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const auto& [u1, z1] = pts[i];
        const auto& [u2, z2] = pts[(i + 1) % pts.size()];
        a += u1 * z2 - u2 * z1;
    }
    return std::fabs(a) / 2.0;
}

VertexNode* Profile(std::initializer_list<Point3> points) {
    VertexNode* list = nullptr;
    for (const Point3& p : points) AppendVertex(&list, p, 1, 0, 0);
    return list;
}

// The ring of a vertical face along x laid flat: (x, z) as the plan.
OwnedList<VertexNode> FlattenedToPlane(const VertexNode* ring) {
    VertexNode* flat = nullptr;
    for (const VertexNode* v = ring; v; v = v->next) AppendVertex(&flat, {v->x, v->z, 0.0}, 0, 0, 0);
    return OwnedList<VertexNode>(flat);
}

std::vector<Point3> Points(const VertexNode* list) {
    std::vector<Point3> out;
    for (const VertexNode* v = list; v; v = v->next) out.push_back(v->pt());
    return out;
}

// A facet of 0.2 rad on a circle of radius 100 about the origin, 0 to 100
// high: the radius at 0.1 meets its chord in the middle.
const ArcFacet kFacet{{0, 0, 0}, 100.0, 0.0, 0.2, 0.0, 100.0};

struct FacetResult {
    std::vector<double> areas;
    double chord = 0.0;
};

FacetResult Facet(const HatchArcOpening* opening, double arcStart = -1.0, double arcEnd = 1.0) {
    const Point3 p = PolarPoint(kFacet.centre, kFacet.from, kFacet.radius);
    FacetResult r;
    r.chord = Distance2d(p, PolarPoint(kFacet.centre, kFacet.to, kFacet.radius));
    for (VertexNode* ring : ArcFacetPolygons(kFacet, opening, arcStart, arcEnd, nullptr)) {
        r.areas.push_back(FrameArea(ring, p));
        FreeList(ring);
    }
    return r;
}

// The extent of a loop's corners across the face (x) and up it (z).
struct FaceExtent {
    double xmin = 1e9, xmax = -1e9, zmin = 1e9, zmax = -1e9;
    double width() const { return xmax - xmin; }
    double area() const { return (xmax - xmin) * (zmax - zmin); }
};

FaceExtent ExtentOf(const VertexNode* corners) {
    FaceExtent e;
    for (const VertexNode* v = corners; v; v = v->next) {
        e.xmin = std::min(e.xmin, v->x), e.xmax = std::max(e.xmax, v->x);
        e.zmin = std::min(e.zmin, v->z), e.zmax = std::max(e.zmax, v->z);
    }
    return e;
}

}  // namespace

TEST(SlabCappedTop, runs_back_from_the_end_and_follows_the_cap_where_the_slab_rises_above_it) {
    // A slab step from 300 down to 250 halfway, capped at 280.
    VertexNode* top =
        CapSlabTop(Profile({{0, 0, 300}, {100, 0, 300}, {100, 0, 250}, {200, 0, 250}}), 0.0, 280.0);
    const std::vector<Point3> pts = Points(top);
    FreeList(top);
    ASSERT_EQ(pts.size(), 4u);
    EXPECT_DOUBLE_EQ(pts[0].x, 200.0);
    EXPECT_DOUBLE_EQ(pts[0].z, 250.0);
    EXPECT_DOUBLE_EQ(pts[2].x, 100.0);
    EXPECT_DOUBLE_EQ(pts[2].z, 280.0);
    // The start of the face keeps its height at the cap instead of closing
    // across the face to the bottom.
    EXPECT_DOUBLE_EQ(pts[3].x, 0.0);
    EXPECT_DOUBLE_EQ(pts[3].z, 280.0);
}

TEST(SlabCappedTop, a_top_on_the_bottom_is_lifted_and_repeats_go) {
    VertexNode* top = CapSlabTop(Profile({{0, 0, 10}, {50, 0, 10}, {50, 0, 10}, {100, 0, 80}}), 10.0, 280.0);
    const std::vector<Point3> pts = Points(top);
    FreeList(top);
    ASSERT_EQ(pts.size(), 3u);
    EXPECT_GT(pts[1].z, 10.0);
    EXPECT_GT(pts[2].z, 10.0);
    EXPECT_DOUBLE_EQ(pts[0].z, 80.0);
}

TEST(ArcFacet, areas_are_the_strip_less_what_the_opening_covers) {
    const double full = Facet(nullptr).chord * 100.0;
    {
        const FacetResult r = Facet(nullptr);
        ASSERT_EQ(r.areas.size(), 1u);
        EXPECT_NEAR(r.areas[0], full, 1e-9);
    }
    {
        // Start jamb on the facet: notched from the chord's middle to Q.
        const HatchArcOpening o{0.1, 0.5, 20.0, 60.0};
        const FacetResult r = Facet(&o);
        ASSERT_EQ(r.areas.size(), 1u);
        EXPECT_NEAR(r.areas[0], full - r.chord / 2.0 * 40.0, 1e-6);
    }
    {
        // End jamb on the facet: notched from P to the middle, up to the top.
        const HatchArcOpening o{-0.3, 0.1, 20.0, 150.0};
        const FacetResult r = Facet(&o);
        ASSERT_EQ(r.areas.size(), 1u);
        EXPECT_NEAR(r.areas[0], full - r.chord / 2.0 * 80.0, 1e-6);
    }
    {
        // Over the whole chord: a strip below and one above.
        const HatchArcOpening o{-0.3, 0.5, 20.0, 60.0};
        const FacetResult r = Facet(&o);
        ASSERT_EQ(r.areas.size(), 2u);
        EXPECT_NEAR(r.areas[0], r.chord * 20.0, 1e-6);
        EXPECT_NEAR(r.areas[1], r.chord * 40.0, 1e-6);
    }
    {
        // Above the strip: left whole.
        const HatchArcOpening o{0.1, 0.5, 120.0, 160.0};
        const FacetResult r = Facet(&o);
        ASSERT_EQ(r.areas.size(), 1u);
        EXPECT_NEAR(r.areas[0], full, 1e-9);
    }
    {
        // A jamb at the wall's own start notches nothing: the opening covers
        // the chord.
        const HatchArcOpening o{0.1, 0.5, 0.0, 60.0};
        const FacetResult r = Facet(&o, 0.1);
        ASSERT_EQ(r.areas.size(), 1u);
        EXPECT_NEAR(r.areas[0], r.chord * 40.0, 1e-6);
    }
}

TEST(ArcFacet, seams_are_invisible_and_the_bottom_top_and_opening_edges_visible) {
    const HatchArcOpening o{0.1, 0.5, 20.0, 60.0};
    const std::vector<VertexNode*> rings = ArcFacetPolygons(kFacet, &o, -1.0, 1.0, nullptr);
    ASSERT_EQ(rings.size(), 1u);
    const Point3 p = PolarPoint(kFacet.centre, 0.0, 100.0), q = PolarPoint(kFacet.centre, 0.2, 100.0);
    for (const VertexNode* v = rings[0]; v; v = v->next) {
        const VertexNode* w = v->next ? v->next : rings[0];
        const bool onSeam = (PointsEqual({v->x, v->y, 0}, {p.x, p.y, 0}, true) &&
                             PointsEqual({w->x, w->y, 0}, {p.x, p.y, 0}, true)) ||
                            (PointsEqual({v->x, v->y, 0}, {q.x, q.y, 0}, true) &&
                             PointsEqual({w->x, w->y, 0}, {q.x, q.y, 0}, true));
        EXPECT_EQ(v->edgeFlag, onSeam ? 1 : 0) << v->x << "," << v->y << "," << v->z;
    }
    FreeList(rings[0]);
}

// ---- the commands, driven with the module loaded ----

namespace {

class HatchCommands : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
        const std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([root] {
            return std::vector<std::string>{root + "/support", root + "/support/tab", root + "/support/host"};
        });
    }
    void TearDown() override {
        host::setSupportPathProvider(nullptr);
        VelmTest::TearDown();
    }

    static std::vector<ZcDbObjectId> HatchesOn(const std::string& layer) {
        std::vector<ZcDbObjectId> out;
        for (ZcDbObjectId id : modelSpace()) {
            ZcDbObjectPointer<ZcDbHatch> h(id, ZcDb::kForRead);
            if (h.openStatus() == Zcad::eOk && h->layer() == layer) out.push_back(id);
        }
        return out;
    }
    // The area of the hatch in the block of every insert on the layer.
    static std::vector<double> BlockHatchAreas(const std::string& layer) {
        std::vector<double> out;
        for (ZcDbObjectId id : modelSpace()) {
            ZcDbObjectPointer<ZcDbBlockReference> ref(id, ZcDb::kForRead);
            if (ref.openStatus() != Zcad::eOk || ref->layer() != layer) continue;
            ZcDbObjectPointer<ZcDbBlockTableRecord> block(ref->blockTableRecord(), ZcDb::kForRead);
            if (block.openStatus() != Zcad::eOk) continue;
            for (ZcDbObjectId e : block->entityIds()) {
                ZcDbObjectPointer<ZcDbHatch> h(e, ZcDb::kForRead);
                if (h.openStatus() == Zcad::eOk) out.push_back(h->area());
            }
        }
        return out;
    }
    static int Room() { return run({"VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij", ""}); }
    // A square island record on a layer of that level.
    static void Island(const std::string& layer, double x0, double y0, double size) {
        zcdbRegApp("VELM5$_$ISOLTRATT-");
        const ads_point a{x0, y0, 0}, b{x0 + size, y0, 0}, c{x0 + size, y0 + size, 0}, d{x0, y0 + size, 0};
        resbuf* list = zcutBuildList(RTDXF0, "LINE", 8, layer.c_str(), 10, a, 11, b, -3, 1001,
                                     "VELM5$_$ISOLTRATT-", 1011, a, 1011, b, 1011, c, 1011, d, 0);
        ASSERT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    }
};

}  // namespace

TEST_F(HatchCommands, free_outline_makes_one_untagged_hatch_with_the_default_settings) {
    run({"!dialog 170 ok", "VELMHATCH3D", "0,600,0", "100,600,0", "100,600,100", "0,600,100", "", ""});
    const std::vector<ZcDbObjectId> hatches = HatchesOn("HATCH3D");
    ASSERT_EQ(hatches.size(), 1u);
    ZcDbObjectPointer<ZcDbHatch> h(hatches[0], ZcDb::kForRead);
    ASSERT_EQ(h.openStatus(), Zcad::eOk);
    EXPECT_EQ(std::string(h->patternName()), "ANSI31");
    EXPECT_DOUBLE_EQ(h->patternScale(), 4.0);
    EXPECT_NEAR(h->area(), 10000.0, 1e-6);
    resbuf* xdata = h->xData(kHatchApp);
    EXPECT_EQ(xdata, nullptr);
    zcutRelRb(xdata);
}

TEST_F(HatchCommands, free_outline_refuses_short_islands_and_ends_on_bad_outlines_or_cancel) {
    // A two-point island is refused and asked again; a triangle is taken.
    run({"!dialog 170 ok", "VELMHATCH3D", "0,0", "100,0", "100,100", "0,100", "", "10,10", "20,10", "",
         "10,10", "30,10", "10,30", "", ""});
    EXPECT_NE(transcript().find("Nie ma wystarczającej ilości punktów"), std::string::npos);
    std::vector<ZcDbObjectId> hatches = HatchesOn("HATCH3D");
    ASSERT_EQ(hatches.size(), 1u);
    {
        ZcDbObjectPointer<ZcDbHatch> h(hatches[0], ZcDb::kForRead);
        EXPECT_NEAR(h->area(), 10000.0 - 200.0, 1e-6);
    }
    // Collinear first points end the command with nothing made.
    run({"!dialog 170 ok", "VELMHATCH3D", "0,200", "50,200", "100,200", "100,300", ""});
    EXPECT_NE(transcript().find("Pierwsze trzy punkty nie mogą być wyrównane"), std::string::npos);
    // Escape at the islands leaves nothing either.
    run({"!dialog 170 ok", "VELMHATCH3D", "0,400", "100,400", "100,500", "", "!cancel"});
    EXPECT_EQ(HatchesOn("HATCH3D").size(), 1u);
}

TEST_F(HatchCommands, floor_less_the_islands_wholly_inside_the_room_of_its_own_floor) {
    ASSERT_EQ(Room(), RTNORM);
    Island("ISLAND$0", 100, 100, 50);    // inside: taken out
    Island("ISLAND$0", 380, 100, 50);    // reaching through the wall: kept
    Island("ISLAND$300", 200, 100, 50);  // another floor: ignored
    run({"!dialog 170 ok", "VELMHFLOOR", "1000,1000", "200,250", ""});
    EXPECT_NE(transcript().find("Wybrany punkt nie jest wewnątrz pomieszczenia"), std::string::npos);
    const std::vector<ZcDbObjectId> hatches = HatchesOn("VELMHATCHFLOOR$0");
    ASSERT_EQ(hatches.size(), 1u);
    ZcDbObjectPointer<ZcDbHatch> h(hatches[0], ZcDb::kForRead);
    EXPECT_EQ(h->numLoops(), 2);
    EXPECT_NEAR(h->area(), 370.0 * 270.0 - 2500.0, 1e-6);
}

TEST_F(HatchCommands, wall_face_is_hatched_around_its_window_and_found_from_a_near_miss) {
    ASSERT_EQ(Room(), RTNORM);
    run({"VELMOBJECT", "F1", "!pick 200,15", "100", ""});
    // The pick lies a little off the outer line: the window around it finds
    // the wall.
    run({"!dialog 171 ok", "VELMHWALL", "20,-16", ""});
    const std::vector<double> areas = BlockHatchAreas("VELM3DWALLS_H$0");
    ASSERT_EQ(areas.size(), 1u);
    // The face's extent and heights from the record.
    ads_name last;
    ASSERT_EQ(zcdbEntLast(last), RTNORM);
    HatchXData data;
    OwnedList<FaceRecord> loops(GetHatchData(last, data));
    ASSERT_NE(loops, nullptr);
    ASSERT_NE(loops->next, nullptr) << "the window is an island";
    const FaceExtent face = ExtentOf(loops->corners), window = ExtentOf(loops->next->corners);
    EXPECT_NEAR(areas[0], face.area() - window.area(), 1e-6);
    EXPECT_GT(window.width(), 0.0);
}

TEST_F(HatchCommands, wall_up_to_slabs_without_any_slab_is_refused) {
    ASSERT_EQ(Room(), RTNORM);
    run({"(velmsetvar \"TMUROAVAR\" 1)", "!dialog 171 ok", "VELMHWALL", "20,-15", ""});
    EXPECT_NE(transcript().find("Na rysunku nie ma prawidłowych płyt przykrywających"), std::string::npos);
    EXPECT_TRUE(BlockHatchAreas("VELM3DWALLS_H$0").empty());
}

TEST_F(HatchCommands, door_on_the_bottom_edge_is_a_notch_and_not_also_an_island) {
    ASSERT_EQ(Room(), RTNORM);
    run({"VELMOBJECT", "P1", "!pick 200,15", "100", ""});
    // The door reaches below the hatch's lower height, so the face's bottom
    // edge runs through it.
    run({"(velmsetvar \"CLINFTMURO\" 0.0)", "!dialog 171 ok", "VELMHWALL", "20,-15", ""});
    const std::vector<double> areas = BlockHatchAreas("VELM3DWALLS_H$0");
    ASSERT_EQ(areas.size(), 1u);
    ads_name last;
    ASSERT_EQ(zcdbEntLast(last), RTNORM);
    HatchXData data;
    OwnedList<FaceRecord> loops(GetHatchData(last, data));
    ASSERT_NE(loops, nullptr);
    EXPECT_EQ(loops->next, nullptr) << "the door is taken out once, as a notch";
    // The notch takes off less than the whole face and the hatch's area is
    // its outline's.
    EXPECT_LT(areas[0], ExtentOf(loops->corners).area() - 1.0);
    EXPECT_NEAR(areas[0], PolygonAreaByEars(FlattenedToPlane(loops->corners).get()), 1e-6);
}

TEST_F(HatchCommands, wall_up_to_slabs_follows_the_slab_over_it_and_the_cap_beyond) {
    ASSERT_EQ(Room(), RTNORM);
    // A floor slab over the left half of the bottom wall, at the floor
    // height.
    run({"!dialog 152 click 4", "VELMFSLAB", "-100,-100", "200,-100", "200,400", "-100,400", "", ""});
    run({"(velmsetvar \"TMUROAVAR\" 1)", "(velmsetvar \"CLSUPTMURO\" 400.0)", "!dialog 171 ok", "VELMHWALL",
         "20,-15", ""});
    const std::vector<double> areas = BlockHatchAreas("VELM3DWALLS_H$0");
    ASSERT_EQ(areas.size(), 1u);
    // -15 to 200 under the slab (275), 200 to 415 up to the cap (400),
    // from the lower height 80.
    EXPECT_NEAR(areas[0], 215.0 * (275.0 - 80.0) + 215.0 * (400.0 - 80.0), 1e-6);
}
