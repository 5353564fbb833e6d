// The face record and the face set: corners that collapse, planes that must
// face the viewer, the display frame written back, and polygons and solids
// whose faces must add up to their areas.
#include "visual/views/section_faces.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "core/base/module_state.h"
#include "core/geometry/polygon.h"
#include "host/db/dbmain.h"
#include "host/db/dbsolid.h"
#include "tests/support/velm_test.h"

namespace {

double TriangleArea(const Point3& a, const Point3& b, const Point3& c) {
    const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    const double vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    const double x = uy * vz - uz * vy, y = uz * vx - ux * vz, z = ux * vy - uy * vx;
    return std::sqrt(x * x + y * y + z * z) / 2.0;
}

double FaceArea(const SectionFace& f) {
    const Point3* c = f.corners;
    return TriangleArea(c[0], c[1], c[2]) + (f.triangle ? 0.0 : TriangleArea(c[0], c[2], c[3]));
}

double TotalArea(const CSezione& s, int* count = nullptr) {
    double area = 0.0;
    int n = 0;
    for (const SectionFace* f = s.faces; f; f = f->next, ++n) area += FaceArea(*f);
    if (count) *count = n;
    return area;
}

bool Same(const Point3& p, const Point3& q) {
    return PointsEqual(p, q, true);
}

VertexNode* Ring(std::initializer_list<Point3> pts) {
    VertexNode* head = nullptr;
    for (const Point3& p : pts) AppendVertex(&head, p, 0, 0, 0);
    return head;
}

}  // namespace

TEST(SectionFaceRecord, coincident_corners_make_the_triangle_of_the_other_three) {
    const int words[4] = {11, 12, 13, 14};
    // Corners 2 and 3 equal: the triangle 0, 1, 3 with their own words.
    const Point3 c23[4] = {{0, 0, 5}, {4, 0, 5}, {4, 3, 5}, {4, 3, 5}};
    SectionFace f(c23, words, 7, "A");
    ASSERT_TRUE(f.valid);
    EXPECT_EQ(f.triangle, 1);
    EXPECT_TRUE(Same(f.corners[0], c23[0]) && Same(f.corners[1], c23[1]) && Same(f.corners[2], c23[3]));
    EXPECT_EQ(f.edgeWords[0], 11);
    EXPECT_EQ(f.edgeWords[1], 12);
    EXPECT_EQ(f.edgeWords[2], 14);
    EXPECT_EQ(f.edgeWords[3], 0);
    EXPECT_TRUE(Same(f.corners[3], Point3{}));
    EXPECT_EQ(f.layer, "A");
    EXPECT_EQ(f.colour, 7);

    // Corners 3 and 0 equal: the triangle keeps 1, 2, 0.
    const Point3 c30[4] = {{0, 0, 5}, {4, 0, 5}, {4, 3, 5}, {0, 0, 5}};
    SectionFace g(c30, words, 256, "A");
    ASSERT_TRUE(g.valid);
    EXPECT_TRUE(Same(g.corners[0], c30[1]) && Same(g.corners[1], c30[2]) && Same(g.corners[2], c30[0]));
    EXPECT_EQ(g.edgeWords[0], 12);
    EXPECT_EQ(g.edgeWords[1], 13);
    EXPECT_EQ(g.edgeWords[2], 11);

    // Four equal corners, or three of them, give no face.
    const Point3 one[4] = {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}};
    EXPECT_FALSE(SectionFace(one, words, 0, "A").valid);
    const Point3 two[4] = {{1, 1, 1}, {1, 1, 1}, {2, 2, 2}, {1, 1, 1}};
    EXPECT_FALSE(SectionFace(two, words, 0, "A").valid);
}

TEST(SectionFaceRecord, plane_comes_from_corners_off_one_line_and_faces_the_viewer) {
    const int words[4] = {1, 1, 1, 1};
    // Corners 0, 1, 2 in one line; 1, 2, 3 are not.
    const Point3 bent[4] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {1, 2, 0}};
    SectionFace f(bent, words, 0, "A");
    ASSERT_TRUE(f.valid);
    EXPECT_EQ(f.triangle, 0);
    EXPECT_NEAR(std::fabs(f.c), 1.0, 1e-12);
    // A quadrilateral all in one line is no face.
    const Point3 flat[4] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}};
    EXPECT_FALSE(SectionFace(flat, words, 0, "A").valid);

    // Both windings of a tilted face give the same plane, its normal towards
    // the viewer (c <= 0), and every corner on it.
    const Point3 ccw[4] = {{0, 0, 0}, {4, 0, 1}, {4, 3, 2}, {0, 3, 1}};
    const Point3 cw[4] = {ccw[3], ccw[2], ccw[1], ccw[0]};
    for (const Point3* q : {ccw, cw}) {
        SectionFace h(q, words, 0, "A");
        ASSERT_TRUE(h.valid);
        EXPECT_LT(h.c, 0.0);
        EXPECT_LE(h.plane.normal().z, 0.0);
        for (int k = 0; k < 4; ++k) EXPECT_NEAR(h.a * q[k].x + h.b * q[k].y + h.c * q[k].z + h.d, 0.0, 1e-9);
    }
}

TEST(SectionFaceSet, display_frame_rewrites_the_callers_corners_and_box_grows) {
    CSezione s;
    s.axonometric = 1;
    SetIdentity4(s.inverseViewFrame);
    // The display frame: a shift by (100, 0, 10).
    SetIdentity4(s.displayFrame);
    s.displayFrame.m[0][3] = 100.0;
    s.displayFrame.m[2][3] = 10.0;
    Point3 corners[8] = {{0, 0, 1}, {2, 0, 1}, {2, 2, 1}, {0, 2, 1},
                         {5, 5, 5}, {5, 5, 5}, {5, 5, 5}, {5, 5, 5}};
    const int words[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    s.AddQuadFaces(corners, words, 2, "A", 256);
    EXPECT_TRUE(Same(corners[1], Point3{102, 0, 11}));
    EXPECT_TRUE(Same(corners[4], Point3{105, 5, 15}));  // rewritten even when no face is kept
    int count = 0;
    EXPECT_NEAR(TotalArea(s, &count), 4.0, 1e-12);
    EXPECT_EQ(count, 1);
    EXPECT_DOUBLE_EQ(s.boxMin[0], 100.0);
    EXPECT_DOUBLE_EQ(s.boxMax[0], 102.0);
    EXPECT_DOUBLE_EQ(s.boxMin[2], 11.0);
    EXPECT_DOUBLE_EQ(s.boxMax[2], 11.0);

    // A triangle's empty fourth corner does not pull the box to the origin.
    CSezione t;
    Point3 tri[4] = {{10, 10, 10}, {12, 10, 10}, {12, 12, 10}, {12, 12, 10}};
    t.AddQuadFaces(tri, words, 1, "A", 256);
    EXPECT_DOUBLE_EQ(t.boxMin[0], 10.0);
    EXPECT_DOUBLE_EQ(t.boxMin[2], 10.0);
}

class SectionEntityFaces : public ::testing::Test {
protected:
    Matrix4 identity() {
        Matrix4 m;
        SetIdentity4(m);
        return m;
    }
};

TEST_F(SectionEntityFaces, polygon_with_bridged_hole_covers_its_area_and_hides_diagonals) {
    // A 10 x 8 rectangle at depth 5 with a 2 x 2 hole, bridged as the ring
    // chaining leaves it (outer counter-clockwise, the hole walked back).
    OwnedList<VertexNode> ring(Ring({{0, 0, 5}, {10, 0, 5}, {10, 8, 5}, {0, 8, 5}}));
    auto* hole = Ring({{4, 4, 5}, {6, 4, 5}, {6, 6, 5}, {4, 6, 5}});
    auto* outer = new ContourNode;
    outer->vertices = ring.release();
    outer->next = new ContourNode;
    outer->next->vertices = hole;
    int k = 0;
    for (ContourNode* c = outer; c; c = c->next, ++k)
        for (VertexNode* v = c->vertices; v; v = v->next) v->data2 = k;
    RingNode* joined = BridgeHoles(outer);
    VertexNode* flat = nullptr;
    for (RingNode* r = joined; r; r = r->next) {
        VertexNode* v = AppendVertex(&flat, r->vertex->pt(), 1, 0, r->vertex->data2);
        (void)v;
    }
    FreeList(joined);
    FreeListOfLists(outer);

    CSezione s;
    s.AddEntityFaces(flat, identity(), "W", 256);
    FreeList(flat);
    int count = 0;
    EXPECT_NEAR(TotalArea(s, &count), 80.0 - 4.0, 1e-9);
    EXPECT_EQ(count, 8);  // 8 corners and one hole: 8 + 2 - 2 triangles
    // Shown edges are exactly the two outlines: their length adds up.
    double shown = 0.0;
    for (const SectionFace* f = s.faces; f; f = f->next)
        for (int e = 0; e < f->cornerCount(); ++e)
            if (f->edgeWords[e]) {
                const Point3& p = f->corners[e];
                const Point3& q = f->corners[(e + 1) % f->cornerCount()];
                shown += std::hypot(q.x - p.x, q.y - p.y);
            }
    EXPECT_NEAR(shown, 36.0 + 8.0, 1e-9);
}

TEST_F(SectionEntityFaces, faces_in_front_of_the_plane_are_dropped_and_crossing_ones_cut) {
    CSezione s;
    OwnedList<VertexNode> front(Ring({{0, 0, -5}, {4, 0, -5}, {0, 4, -1}}));
    s.AddEntityFaces(front.get(), identity(), "W", 256);
    EXPECT_EQ(s.faces, nullptr);

    // Across the plane: cut, the piece behind it kept, its new edge on the
    // plane marked.
    Matrix4 shift = identity();
    shift.m[0][3] = 50.0;
    OwnedList<VertexNode> across(Ring({{0, 0, -5}, {4, 0, 5}, {0, 4, 5}}));
    s.AddEntityFaces(across.get(), shift, "W", 256);
    ASSERT_NE(s.faces, nullptr);
    int onPlane = 0, cutEdges = 0;
    for (int k = 0; k < s.faces->cornerCount(); ++k) {
        const Point3& c = s.faces->corners[k];
        EXPECT_GE(c.x, 50.0);
        EXPECT_GE(c.z, -1e-9);
        onPlane += std::fabs(c.z) < 1e-9;
        cutEdges += s.faces->edgeWords[k] == -1;
    }
    EXPECT_EQ(onPlane, 2);
    EXPECT_EQ(cutEdges, 1);
    int count = 0;
    TotalArea(s, &count);
    EXPECT_EQ(count, 1);

    // Wholly behind: one face more, uncut.
    OwnedList<VertexNode> behind(Ring({{0, 0, 0}, {4, 0, 5}, {0, 4, 5}}));
    s.AddEntityFaces(behind.get(), identity(), "W", 256);
    TotalArea(s, &count);
    EXPECT_EQ(count, 2);

    // A ring in one line has no normal and adds nothing.
    OwnedList<VertexNode> line(Ring({{0, 0, 1}, {1, 0, 1}, {2, 0, 1}}));
    s.AddEntityFaces(line.get(), identity(), "W", 256);
    TotalArea(s, &count);
    EXPECT_EQ(count, 2);
}

class SectionSolidFaces : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }

    ZcDb3dSolid* Append(std::unique_ptr<ZcDb3dSolid> solid, const char* layer = "0", int colour = 256) {
        ZcDbBlockTableRecord* ms = nullptr;
        EXPECT_EQ(zcdbOpenObject(ms, db()->modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
        solid->setDatabaseDefaults(db());
        solid->setLayer(layer);
        solid->setColorIndex(colour);
        ZcDb3dSolid* raw = solid.release();
        EXPECT_EQ(ms->appendZcDbEntity(raw), Zcad::eOk);
        ms->close();
        return raw;
    }
};

TEST_F(SectionSolidFaces, box_gives_twelve_triangles_covering_its_surface) {
    auto box = std::make_unique<ZcDb3dSolid>();
    ASSERT_EQ(box->createBox({0, 0, 10}, {40, 30, 37}), Zcad::eOk);
    ZcDb3dSolid* solid = Append(std::move(box));
    CSezione s;
    Matrix4 m;
    SetIdentity4(m);
    s.CollectEntityFaces(solid, m);
    solid->close();
    int count = 0;
    EXPECT_NEAR(TotalArea(s, &count), 2.0 * (40 * 30 + 40 * 27 + 30 * 27), 1e-6);
    EXPECT_EQ(count, 12);
    // Each face's two triangles share a hidden diagonal; the rest is shown.
    int hidden = 0;
    for (const SectionFace* f = s.faces; f; f = f->next)
        for (int e = 0; e < 3; ++e) hidden += f->edgeWords[e] == 0;
    EXPECT_EQ(hidden, 12);
    ASSERT_NE(s.layerNames, nullptr);
    EXPECT_EQ(s.layerNames->name, "0");
    EXPECT_EQ(s.layerCount, 1);
    EXPECT_EQ(s.faces->colour, 256);
}

TEST_F(SectionSolidFaces, curved_faces_add_nothing_and_hidden_layers_are_skipped) {
    auto solid = std::make_unique<ZcDb3dSolid>();
    // A half cylinder: its flat face with an arc, and its curved side.
    ZcDbCurveLoop flat{{{-10, 0, 10}, {10, 0, 10}, {10, 0, 30}, {-10, 0, 30}}, {0, 0, 0, 0}};
    ASSERT_EQ(solid->addFace({flat}), Zcad::eOk);
    ASSERT_EQ(solid->addCurvedFace({{{-10, 0, 10}, {10, 0, 10}, {10, 0, 30}, {-10, 0, 30}, {0, 10, 20}}, {}}),
              Zcad::eOk);
    ZcDb3dSolid* raw = Append(std::move(solid));
    CSezione s;
    Matrix4 m;
    SetIdentity4(m);
    s.CollectEntityFaces(raw, m);
    raw->close();
    int count = 0;
    EXPECT_NEAR(TotalArea(s, &count), 400.0, 1e-9);
    EXPECT_EQ(count, 2);

    // A solid on a frozen layer is no more seen than a face on it.
    {
        ZcDbLayerTable* table = nullptr;
        ASSERT_EQ(zcdbOpenObject(table, db()->layerTableId(), ZcDb::kForWrite), Zcad::eOk);
        auto* record = new ZcDbLayerTableRecord;
        record->setName("HIDDEN");
        record->setIsFrozen(true);
        EXPECT_EQ(table->add(record), Zcad::eOk);
        record->close();
        table->close();
    }
    auto box = std::make_unique<ZcDb3dSolid>();
    box->createBox({0, 0, 10}, {1, 1, 11});
    ZcDb3dSolid* frozen = Append(std::move(box), "HIDDEN");
    CSezione t;
    t.CollectEntityFaces(frozen, m);
    frozen->close();
    EXPECT_EQ(t.faces, nullptr);
    EXPECT_EQ(t.layerNames, nullptr);
}

TEST_F(SectionSolidFaces, circular_hole_is_bridged_and_cut_out_of_its_face) {
    auto solid = std::make_unique<ZcDb3dSolid>();
    ZcDbCurveLoop outer{{{0, 0, 10}, {100, 0, 10}, {100, 80, 10}, {0, 80, 10}}, {}};
    ASSERT_EQ(solid->addFace({outer, zcdbCircleLoop({50, 40, 10}, {0, 0, 1}, 20)}), Zcad::eOk);
    ZcDb3dSolid* raw = Append(std::move(solid), "0", 3);
    CSezione s;
    s.useEntityColour = 1;
    Matrix4 m;
    SetIdentity4(m);
    s.CollectEntityFaces(raw, m);
    raw->close();
    // The circle is a polygon of chords: its area lies below the circle's,
    // never above it, and well above the square inscribed in it.
    const double area = TotalArea(s);
    EXPECT_LT(area, 8000.0 - 800.0);
    EXPECT_GT(area, 8000.0 - 400.0 * std::numbers::pi - 1e-6);
    EXPECT_EQ(s.faces->colour, 3);
}
