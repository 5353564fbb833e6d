// Straight wall sides: the triangles of a side cover exactly its polygon
// less its openings, its shown edges are exactly the outline and the
// opening outlines, and the profiles follow line heights, hidden edges and
// covering planes.
#include <cmath>
#include <string>
#include <tuple>

#include "core/base/module_state.h"
#include "host/ads/adsent.h"
#include "host/db/dxffile.h"
#include "tests/visual/model3d_fixture.h"
#include "tests/walls/graph/graph_fixture.h"
#include "visual/model3d/face_records.h"
#include "visual/model3d/wall_sides.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/outline_polygons.h"
#include "walls/graph/outline_record.h"

namespace {

// The faces standing on the segment a-b in plan.
std::vector<Face3D> On(const std::vector<Face3D>& faces, Point3 a, Point3 b) {
    std::vector<Face3D> out;
    for (const Face3D& f : faces) {
        bool on = true;
        for (const Point3& c : f.c) on = on && IsPointOnSegment({c.x, c.y, a.z}, a, b);
        if (on) out.push_back(f);
    }
    return out;
}

// The hole of an opening on the face: its width along the face and its
// height, from the side ring's extent.
double HoleArea(const VertexNode* ring) {
    Point3 a, b;
    RingExtent(ring, a, b);
    double zmin = 1e300, zmax = -1e300;
    for (const VertexNode* v = ring; v; v = v->next) {
        zmin = std::min(zmin, v->z);
        zmax = std::max(zmax, v->z);
    }
    return Distance2d(a, b) * (zmax - zmin);
}

class WallSidesTest : public Model3DTest {};

TEST_F(WallSidesTest, SidesOfARoomCoverTheirAreaLessDoorAndWindow) {
    run({"VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij"});
    ASSERT_EQ(count("0=LINE 8=VELM2DWALLS$0"), 8) << transcript();
    zcdbRegApp(kTag3DiStrApp);
    OpeningRecord({150, 15, 0}, {150, -15, 0}, {240, 15, 0}, {240, -15, 0}, 0, 210);     // door
    OpeningRecord({385, 100, 0}, {415, 100, 0}, {385, 220, 0}, {415, 220, 0}, 90, 210);  // window
    OpeningRecord({385, 20, 0}, {415, 20, 0}, {385, 80, 0}, {415, 80, 0}, 100, 200);     // second window

    CFACCIATE g;
    g.floorHeight = 300.0;
    g.Build(false, true, nullptr, false);
    ASSERT_EQ(CountFaces(g.faces), 8);
    const std::string layer = SideLayer(*g.faces, false, catalogue, 0.0, true);
    EXPECT_EQ(layer, "VELM3DWALLS$0");
    int notched = 0, holed = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (WallFace* face = g.faces; face; face = face->next) {
            Erase3DFacesOnSegment(face->start, face->end, 0.0);
            GenWallSide(*face, layer, 0.0, g.floorHeight);
            const std::vector<Face3D> made = On(Faces(layer), face->start, face->end);
            const double len = Distance2d(face->start, face->end);
            double area = len * 300.0, shown = 2.0 * (len + 300.0);
            int doors = 0;
            for (const OutlineLink* l = face->outlineLinks; l; l = l->next) {
                const VertexNode* ring = GetOutlineSideRing(face->start, face->end, l->outline);
                ASSERT_NE(ring, nullptr);
                area -= HoleArea(ring);
                double zmin = 1e300, zmax = -1e300;
                for (const VertexNode* v = ring; v; v = v->next) {
                    zmin = std::min(zmin, v->z);
                    zmax = std::max(zmax, v->z);
                }
                const double w = HoleArea(ring) / (zmax - zmin);
                if (zmin == 0.0) {
                    ++doors;
                    shown += 2.0 * (zmax - zmin);  // the door's jambs; its lintel replaces the sill
                } else {
                    shown += 2.0 * (w + zmax - zmin);
                }
            }
            notched += doors;
            holed += CountNodes(face->outlineLinks) - doors;
            for (const Face3D& f : made) {
                EXPECT_TRUE(f.triangle());
                EXPECT_TRUE(f.flags & 8);
            }
            EXPECT_NEAR(Area(made), area, 1e-6) << "face of length " << len;
            EXPECT_NEAR(Shown(made), shown, 1e-6) << "face of length " << len;
        }
    }
    EXPECT_EQ(notched, 4) << "the door notches both faces of its wall, on both passes";
    EXPECT_EQ(holed, 8);
    // The second pass erased the first pass's faces.
    double total = 0.0;
    for (WallFace* face = g.faces; face; face = face->next)
        total += Distance2d(face->start, face->end) * 300.0;
    EXPECT_NEAR(Area(Faces(layer)), total - 2 * 90 * 210 - 2 * 120 * 120 - 2 * 60 * 100, 1e-6);
    g.Clear();
    // The marks left on the wall lines, and the drawing for the DXF audit.
    EXPECT_EQ(count("0=LINE 8=VELM2DWALLS$0"), 8);
    CFACCIATE again;
    again.Build(false, true, nullptr, false);
    for (WallFace* face = again.faces; face; face = face->next) EXPECT_EQ(face->auto3DType, 1);
    std::string error;
    EXPECT_TRUE(host::saveDxf(db(), std::string(VELM_BINARY_DIR) + "/visual_wall_sides.dxf", nullptr, &error))
        << error;
}

TEST_F(WallSidesTest, AnOpeningThickerThanItsWallIsCutInTheSidesOwnPlane) {
    run({"VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij"});
    zcdbRegApp(kTag3DiStrApp);
    OpeningRecord({150, 15, 0}, {150, -15, 0}, {240, 15, 0}, {240, -15, 0}, 0, 210, 0.5);     // door
    OpeningRecord({385, 100, 0}, {415, 100, 0}, {385, 220, 0}, {415, 220, 0}, 90, 210, 0.5);  // window
    CFACCIATE g;
    g.floorHeight = 300.0;
    g.Build(false, true, nullptr, false);
    for (WallFace* face = g.faces; face; face = face->next) {
        GenWallSide(*face, "OWN", 0.0, 300.0);
        GenWallSideUnderSlabs(*face, "UNDER", 0.0, 300.0, nullptr);
    }
    double total = 0.0;
    for (WallFace* face = g.faces; face; face = face->next)
        total += Distance2d(face->start, face->end) * 300.0;
    for (const char* layer : {"OWN", "UNDER"}) {
        int offPlane = 0;
        for (const Face3D& f : Faces(layer)) {
            bool onOne = false;
            for (WallFace* face = g.faces; face && !onOne; face = face->next) {
                bool all = true;
                for (const Point3& c : f.c)
                    all = all && IsPointOnSegment({c.x, c.y, 0}, face->start, face->end);
                onOne = all;
            }
            offPlane += !onOne;
        }
        EXPECT_EQ(offPlane, 0) << layer << ": faces leaving their side's plane for the outline's";
        EXPECT_NEAR(Area(Faces(layer)), total - 2 * 90 * 210 - 2 * 120 * 120, 1e-6) << layer;
    }
    g.Clear();
}

WallFace* TwoLineFace(double top1, double top2, int mode1, int mode2) {
    WallFace* f = StraightFace({0, 0, 0}, {200, 0, 0});
    FaceEdge* a = Line({0, 0, 0}, {100, 0, 0});
    FaceEdge* b = Line({200, 0, 0}, {100, 0, 0});  // drawn the other way
    a->topZ = top1, b->topZ = top2;
    a->edgeVisibility = mode1, b->edgeVisibility = mode2;
    a->next = b;
    f->edges = a;
    return f;
}

TEST_F(WallSidesTest, ProfilesFollowLineHeightsAndHiddenEdges) {
    {
        WallFace* f = TwoLineFace(300, 250, 0, 0);
        GenWallSide(*f, "S", 0.0, 300.0);
        const auto made = Faces("S");
        EXPECT_NEAR(Area(made), 100 * 300 + 100 * 250, 1e-6);
        EXPECT_NEAR(Shown(made), 200 + 300 + 100 + 50 + 100 + 250, 1e-6) << "the step is shown";
        FreeFaceList(f);
    }
    {
        WallFace* f = TwoLineFace(300, 300, 0, 2);
        GenWallSide(*f, "T", 0.0, 300.0);
        const auto made = Faces("T");
        EXPECT_NEAR(Area(made), 200 * 300, 1e-6);
        EXPECT_NEAR(Shown(made), 2 * (200 + 300) - 100, 1e-6) << "only the second line's bottom is hidden";
        FreeFaceList(f);
    }
    {
        WallFace* f = TwoLineFace(300, 300, 1, 0);
        GenWallSide(*f, "U", 0.0, 300.0);
        EXPECT_NEAR(Shown(Faces("U")), 2 * (200 + 300) - 100, 1e-6) << "only the first line's top is hidden";
        FreeFaceList(f);
    }
}

SlabPlaneRec* PlaneRec(double a, double b, double c, double d, std::vector<Point3> contour = {}) {
    auto* r = new SlabPlaneRec;
    r->a = a, r->b = b, r->c = c, r->d = d;
    for (auto it = contour.rbegin(); it != contour.rend(); ++it) {
        VertexNode* v = NewVertex(it->x, it->y, it->z, 1, 0, 0, 0);
        v->next = r->contour;
        r->contour = v;
    }
    return r;
}

TEST_F(WallSidesTest, TopsUnderCoveringPlanes) {
    SetSharedTolerance(0.001);
    WallFace* f = TwoLineFace(300, 300, 0, 0);
    // a plane through the wall's own elevation: a sliver of 3 x tolerance
    SlabPlaneRec* flat = PlaneRec(0, 0, 1, 0);
    GenWallSideUnderSlabs(*f, "A", 0.0, 300.0, flat);
    EXPECT_NEAR(Area(Faces("A")), 200 * 0.003, 1e-9);
    FreeList(flat);

    // one plane without contour rising along x: z = 100 + x / 10
    SlabPlaneRec* tilted = PlaneRec(-0.1, 0, 1, -100);
    GenWallSideUnderSlabs(*f, "B", 0.0, 300.0, tilted);
    EXPECT_NEAR(Area(Faces("B")), 200 * 100 + 0.1 * 200 * 200 / 2, 1e-6);
    FreeList(tilted);

    // a slab at 250 over the first half only: the rest at elevation + height
    SlabPlaneRec* half = PlaneRec(0, 0, 1, -250, {{-10, -10, 0}, {100, -10, 0}, {100, 10, 0}, {-10, 10, 0}});
    GenWallSideUnderSlabs(*f, "C", 0.0, 300.0, half);
    const auto c = Faces("C");
    EXPECT_NEAR(Area(c), 100 * 250 + 100 * 300, 1e-6);
    EXPECT_NEAR(Shown(c), 200 + 250 + 100 + 50 + 100 + 300, 1e-6) << "the step between planes is shown";
    FreeList(half);

    // the mark says under slabs
    EXPECT_EQ(f->auto3DType, 0) << "the face record itself is not changed";
    FreeFaceList(f);
}

// Under slabs as under no slab, each side of a wall with a door and a
// window keeps every corner in its own vertical plane (not a wall's
// thickness away, on the other side's openings) and covers the side up to
// the slabs less exactly its openings.
TEST_F(WallSidesTest, SidesWithADoorAndAWindowUnderASlopedAndAFlatSlabStayInTheirPlane) {
    run({"VELMWALLD", "0,0", "600,0", "600,300", "0,300", "Zamknij"});
    run({"VELMOBJECT", "P1", "!pick 150,15", "100"});
    run({"VELMOBJECT", "F1", "!pick 450,15", "100"});
    ASSERT_EQ(count("0=INSERT -3=VELM5$_$PARAMETRI-"), 2) << transcript();
    // z = 220 + x / 10 up to x = 300, then a flat slab at 260
    SlabPlaneRec* slabs =
        PlaneRec(-0.1, 0, 1, -220, {{-100, -100, 0}, {300, -100, 0}, {300, 400, 0}, {-100, 400, 0}});
    slabs->next = PlaneRec(0, 0, 1, -260, {{300, -100, 0}, {700, -100, 0}, {700, 400, 0}, {300, 400, 0}});
    auto top = [](double x) { return x < 300 ? 220 + x / 10 : 260; };
    auto under = [](double x) {
        return x < 300 ? 220 * x + x * x / 20 : 220 * 300 + 300 * 300 / 20 + 260 * (x - 300);
    };

    CFACCIATE g;
    g.floorHeight = 300.0;
    g.Build(false, true, nullptr, false);
    ASSERT_EQ(CountFaces(g.faces), 8);
    int n = 0, holes = 0;
    for (WallFace* face = g.faces; face; face = face->next) {
        const std::string layer = "SIDE" + std::to_string(n++);
        GenWallSideUnderSlabs(*face, layer, 0.0, 300.0, slabs);
        const Point3 s = face->start, e = face->end;
        const double len = Distance2d(s, e), dx = (e.x - s.x) / len, dy = (e.y - s.y) / len;
        auto offset = [&](const Point3& p) { return (p.x - s.x) * -dy + (p.y - s.y) * dx; };
        auto along = [&](const Point3& p) { return (p.x - s.x) * dx + (p.y - s.y) * dy; };
        const std::vector<Face3D> made = Faces(layer);
        ASSERT_FALSE(made.empty()) << layer;
        int offPlane = 0, pastEnds = 0, aboveSlabs = 0;
        for (const Face3D& f : made)
            for (const Point3& c : f.c) {
                offPlane += std::fabs(offset(c)) > 1e-6;
                pastEnds += along(c) < -1e-6 || along(c) > len + 1e-6;
                aboveSlabs += c.z < -1e-6 || c.z > top(c.x) + 1e-6;
            }
        EXPECT_EQ(offPlane, 0) << layer << ": corners off the side's plane";
        EXPECT_EQ(pastEnds, 0) << layer << ": corners past the side's ends";
        EXPECT_EQ(aboveSlabs, 0) << layer << ": corners above the slabs or below the floor";
        double area = std::fabs(dx) > 0.5 ? std::fabs(under(e.x) - under(s.x)) : len * top(s.x);
        for (const OutlineLink* l = face->outlineLinks; l; l = l->next) {
            const VertexNode* ring = GetOutlineSideRing(s, e, l->outline);
            ASSERT_NE(ring, nullptr);
            for (const VertexNode* v = ring; v; v = v->next)
                EXPECT_NEAR(offset(v->pt()), 0.0, 1e-6) << layer << ": the hole outline of another side";
            area -= HoleArea(ring);
            ++holes;
        }
        EXPECT_NEAR(Area(made), area, 1e-6) << layer;
    }
    EXPECT_EQ(holes, 4) << "the door and the window on both sides of their wall";
    FreeList(slabs);
    g.Clear();
}

TEST_F(WallSidesTest, APlaneBelowTheLintelsStillLeavesTheOpeningsOpen) {
    run({"VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij"});
    zcdbRegApp(kTag3DiStrApp);
    OpeningRecord({150, 15, 0}, {150, -15, 0}, {240, 15, 0}, {240, -15, 0}, 0, 210);     // door
    OpeningRecord({385, 100, 0}, {415, 100, 0}, {385, 220, 0}, {415, 220, 0}, 90, 210);  // window
    CFACCIATE g;
    g.floorHeight = 300.0;
    g.Build(false, true, nullptr, false);
    // one plane at 180 everywhere: the door and the window run through the
    // tops of their sides
    SlabPlaneRec* plane = PlaneRec(0, 0, 1, -180);
    double total = 0.0;
    for (WallFace* face = g.faces; face; face = face->next) {
        GenWallSideUnderSlabs(*face, "LOW", 0.0, 300.0, plane);
        total += Distance2d(face->start, face->end) * 180.0;
    }
    EXPECT_NEAR(Area(Faces("LOW")), total - 2 * 90 * 180 - 2 * 120 * 90, 1e-6);
    FreeList(plane);
    g.Clear();
}

TEST_F(WallSidesTest, SlabAssociatedAboveOneLineCapsItsTop) {
    // a level slab over x 0..100 at z 200, associated above the first line
    zcdbRegApp("VELM5$_$VFALDA-");
    const ads_point o{0, 0, 0}, x1{1, 0, 0};
    resbuf* b = zcutBuildList(RTDXF0, "BLOCK", 2, "SL", 70, 0, 10, o, 0);
    zcdbEntMake(b);
    zcutRelRb(b);
    b = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, o, 11, x1, 0);
    zcdbEntMake(b);
    zcutRelRb(b);
    b = zcutBuildList(RTDXF0, "ENDBLK", 0);
    zcdbEntMake(b);
    zcutRelRb(b);
    const ads_point p0{-50, -50, 200}, p1{100, -50, 200}, p2{100, 50, 200}, p3{-50, 50, 200};
    resbuf* ins = zcutBuildList(RTDXF0, "INSERT", 2, "SL", 8, "0", 10, o, -3, 1001, "VELM5$_$VFALDA-", 1000,
                                "SOL", 1000, "key_nes", 1040, 20.0, 1070, 0, 1002, "{", 1011, p0, 1070, 1,
                                1011, p1, 1070, 1, 1011, p2, 1070, 1, 1011, p3, 1070, 1, 1002, "}", 0);
    ASSERT_EQ(zcdbEntMake(ins), RTNORM);
    zcutRelRb(ins);
    ads_name slab;
    zcdbEntLast(slab);
    resbuf* data = zcdbEntGet(slab);
    std::string handle;
    for (const resbuf* rb = data; rb; rb = rb->rbnext)
        if (rb->restype == 5) handle = rb->resval.rstring;
    zcutRelRb(data);

    WallFace* f = TwoLineFace(300, 300, 0, 0);
    f->edges->upperRoof.names.push_back(handle);
    GenWallSide(*f, "D", 0.0, 300.0);
    EXPECT_NEAR(Area(Faces("D")), 100 * 200 + 100 * 300, 1e-6);
    FreeFaceList(f);
}

}  // namespace
