// Geometric statements: what each makes in the block, what it leaves out,
// and which argument faults fail it.
#include "objects/draw/draw_geometry.h"

#include <cmath>

#include "core/geometry/face_rings.h"
#include "draw_fixture.h"
#include "host/db/dbents.h"

namespace {

double TriangleArea(const Point3& a, const Point3& b, const Point3& c) {
    const Point3 u{b.x - a.x, b.y - a.y, b.z - a.z}, v{c.x - a.x, c.y - a.y, c.z - a.z};
    const double x = u.y * v.z - u.z * v.y, y = u.z * v.x - u.x * v.z, z = u.x * v.y - u.y * v.x;
    return 0.5 * std::sqrt(x * x + y * y + z * z);
}

}  // namespace

TEST_F(DrawSection, lines_and_edge_sets_leave_out_zero_lengths_and_check_vertex_numbers) {
    ObjContext& c = section(
        "LINE\nL1\n(0 0 0)\n(0 0 1)\n"
        "LINE\nL1\n(0 0 0)\n(0 0 0)\n"
        "PLINE\nL1\n3 3\n(0 0 0)\n(10 0 0)\n(10 0 0)\n(1 2)\n(2 3)\n(3 1)\n"
        "PLINE\nL1\n0 0\n"
        "END\n");
    ASSERT_EQ(run(c), 1);
    std::vector<Groups> all = blockEntities(c.blockName);
    ASSERT_EQ(all.size(), 3u);  // (0 0 1), 1-2 and 3-1; the zero-length ones left out
    EXPECT_POINT(point(all[0], 11), 0, 0, 1);
    EXPECT_EQ(real(all[0], 39), 0.0);
    EXPECT_POINT(point(all[2], 10), 10, 0, 0);
    EXPECT_POINT(point(all[2], 11), 0, 0, 0);

    ObjContext& past = section("PLINE\nL1\n2 1\n(0 0 0)\n(1 0 0)\n(1 3)\nEND\n", "T2");
    EXPECT_EQ(run(past), kDrawPlineFailed);
    ObjContext& noPair = section("PLINE\nL1\n2\n(0 0 0)\n(1 0 0)\nEND\n", "T3");
    EXPECT_EQ(run(noPair), kDrawPlineFailed);
}

TEST_F(DrawSection, faces_carry_their_edge_masks_and_collinear_ones_are_left_out) {
    ObjContext& c = section(
        "PFACE\nL1\n3 2\n(0 0 0)\n(10 0 0)\n(0 10 0)\n(1 -2 3 3)\n(1 2 2 2)\n"
        "3DFACE\nL1\n(0 0 0)\n(1 0 0)\n(2 0 0)\n(3 0 0)\n(15)\n"
        "3DFACE\nL1\n(0 0 0)\n(1 0 0)\n(1 1 0)\n(0 1 0)\n(5)\n"
        "END\n");
    ASSERT_EQ(run(c), 1);
    std::vector<Groups> all = blockEntities(c.blockName);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(integer(all[0], 70), 2);
    EXPECT_POINT(point(all[0], 13), 0, 10, 0);
    EXPECT_EQ(integer(all[1], 70), 5);

    int a = -1, b = 2, d = -3, e = -4;
    EXPECT_EQ(FaceEdgeMask(a, b, d, e), 13);
    EXPECT_EQ(a + b + d + e, 10);

    ObjContext& outside = section("PFACE\nL1\n2 1\n(0 0 0)\n(1 0 0)\n(1 2 3 1)\nEND\n", "T2");
    EXPECT_EQ(run(outside), kDrawPfaceFailed);
    ObjContext& flags = section("3DFACE\nL1\n(0 0 0)\n(1 0 0)\n(1 1 0)\n(0 1 0)\n(a)\nEND\n", "T3");
    EXPECT_EQ(run(flags), kDraw3dFaceFailed);
}

TEST_F(DrawSection, polylines_circles_and_arcs) {
    ObjContext& c = section(
        "LWPLINE\nL1\n(5 2 1)\n(0)\n"
        "LWPLINE\nL1\n(0 0 0)\n(2)\n(0 0 0)\n(1 1 0.5)\n(10 0 0)\n(0 0 0)\n"
        "CIRCLE\nL1\n(5 6 7)\n(1 0 0)\n(3 0 0)\n"
        "ARC\nL1\n(1 2 0)\n(0 0 1)\n(1 0 0 $9)\n"
        "END\n");
    ASSERT_EQ(run(c), 1);
    ZcDbObjectId id = db()->recordId(db()->blockTableId(), c.blockName);
    ZcDbBlockTableRecord* block = nullptr;
    ASSERT_EQ(zcdbOpenObject(block, id, ZcDb::kForRead), Zcad::eOk);
    std::vector<ZcDbObjectId> ids = block->entityIds();
    block->close();
    ASSERT_EQ(ids.size(), 4u);
    ZcDb2dPolyline* empty = nullptr;
    ASSERT_EQ(zcdbOpenObject(empty, ids[0], ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(empty->elevation(), 5.0);
    EXPECT_TRUE(empty->vertexIds().empty());
    empty->close();
    ZcDb2dPolyline* two = nullptr;
    ASSERT_EQ(zcdbOpenObject(two, ids[1], ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(two->vertexIds().size(), 2u);
    two->close();
    // The centre is kept in the circle's own system; it reads back where
    // it was given.
    ZcDbCircle* circle = nullptr;
    ASSERT_EQ(zcdbOpenObject(circle, ids[2], ZcDb::kForRead), Zcad::eOk);
    EXPECT_NEAR(circle->center().x, 5, 1e-9);
    EXPECT_NEAR(circle->center().y, 6, 1e-9);
    EXPECT_NEAR(circle->center().z, 7, 1e-9);
    EXPECT_EQ(circle->radius(), 3.0);
    circle->close();
    std::vector<Groups> all = blockEntities(c.blockName);
    EXPECT_EQ(real(all[3], 51), 0.0);  // an undeclared $9 reads 0
    EXPECT_POINT(point(all[3], 10), 1, 2, 0);

    ObjContext& sign = section("ARC\nL1\n(0 0 0)\n(0 0 1)\n(-1 0 0 1)\nEND\n", "T2");
    EXPECT_EQ(run(sign), kDrawArcFailed);
    ObjContext& undefined = section("LINE\nL1\n($77 0 0)\n(1 0 0)\nEND\n", "T3");
    EXPECT_EQ(run(undefined), kDrawLineFailed);
}

// A concave outline in a tilted plane, given both ways round: the faces
// cover exactly the outline's area, in the outline's plane.
TEST_F(DrawSection, filled_polygons_cover_their_area_whichever_way_they_run) {
    // An L of area 300 in the plane z = y (tilted 45 degrees).
    const std::string ccw = "(0 0 0)\n(20 0 0)\n(20 10 10)\n(10 10 10)\n(10 20 20)\n(0 20 20)\n";
    const std::string cw = "(0 20 20)\n(10 20 20)\n(10 10 10)\n(20 10 10)\n(20 0 0)\n(0 0 0)\n(0 0 0)\n";
    const double area = 300.0 * std::sqrt(2.0);
    int serial = 0;
    for (const std::string& contour : {ccw, cw}) {
        SCOPED_TRACE(contour);
        const int n = contour == ccw ? 6 : 7;
        ObjContext& c =
            section("SPOLIG\nL1\n(0 0 0)\n(1 0 0)\n(0 1 1)\n" + std::to_string(n) + "\n" + contour + "END\n",
                    "S" + std::to_string(++serial));
        ASSERT_EQ(run(c), 1);
        std::vector<Groups> all = blockEntities(c.blockName);
        ASSERT_EQ(all.size(), 4u);
        double sum = 0.0;
        for (const Groups& g : all) {
            EXPECT_EQ(kind(g), "3DFACE");
            const Point3 a = point(g, 10), b = point(g, 11), d = point(g, 12);
            for (const Point3& p : {a, b, d}) EXPECT_NEAR(p.z, p.y, 1e-9);
            sum += TriangleArea(a, b, d);
            EXPECT_EQ(integer(g, 70) & 8, 8);
        }
        EXPECT_NEAR(sum, area, 1e-6);
    }
}

// Bridging and clipping straight on rings: a square with a square hole.
TEST_F(DrawSection, a_hole_is_bridged_and_the_faces_cover_the_difference) {
    auto ring = [](std::initializer_list<Point3> pts, int flag) {
        VertexNode* head = nullptr;
        for (const Point3& p : pts) AppendVertex(&head, p, flag, 0, 0);
        return head;
    };
    ContourNode outer, hole;
    outer.vertices = ring({{0, 0, 0}, {0, 10, 0}, {10, 10, 0}, {10, 0, 0}}, 1);  // clockwise
    hole.vertices = ring({{4, 4, 0}, {6, 4, 0}, {6, 6, 0}, {4, 6, 0}}, 1);  // holes run counter-clockwise
    outer.next = &hole;
    RingNode* bridged = BridgeHolesIntoOutline(&outer);
    ASSERT_EQ(CountNodes(bridged), 4 + 4 + 2);
    // The merged ring runs counter-clockwise: the outer vertices reversed.
    EXPECT_EQ(bridged->vertex->x, 10.0);
    EXPECT_EQ(bridged->vertex->y, 0.0);
    Matrix4 identity;
    SetIdentity4(identity);
    TriangulateTo3DFaces("F", &outer, bridged, identity);
    FreeList(bridged);
    double sum = 0.0;
    int faces = 0;
    for (ZcDbObjectId id : modelSpace()) {
        ads_name n;
        ASSERT_EQ(zcdbGetAdsName(n, id), Zcad::eOk);
        Groups g(zcdbEntGet(n));
        if (kind(g) != "3DFACE") continue;
        ++faces;
        sum += TriangleArea(point(g, 10), point(g, 11), point(g, 12));
    }
    EXPECT_EQ(faces, 8);
    EXPECT_NEAR(sum, 96.0, 1e-9);
    outer.next = nullptr;

    ContourNode two;
    two.vertices = ring({{0, 0, 0}, {1, 0, 0}}, 1);
    EXPECT_EQ(BridgeHolesIntoOutline(&two), nullptr);
    // Outline edges keep their visibility; the diagonal and the repeated
    // corner are hidden.
    VertexNode* a = outer.vertices;
    VertexNode* b = a->next;
    VertexNode* c = b->next;
    EXPECT_EQ(TriangleEdgeFlags(a, b, c, &outer), 8 + 4);
    a->edgeFlag = 0;
    EXPECT_EQ(TriangleEdgeFlags(a, b, c, &outer), 8 + 4 + 1);
    EXPECT_EQ(TriangleEdgeFlags(c, b, a, &outer), 8 + 2 + 4);
    hole.next = nullptr;
}
