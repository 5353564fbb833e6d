#include "core/geometry/host_geometry.h"

#include <gtest/gtest.h>

#include <vector>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ed/grdraw.h"
#include "tests/support/velm_test.h"

namespace {

class HostGeometry : public VelmTest {};

VertexNode* Square(double side) {
    VertexNode* list = nullptr;
    AppendVertex(&list, {0, 0, 0}, 1, 0, 0);
    AppendVertex(&list, {side, 0, 0}, 1, 1, 0);
    AppendVertex(&list, {side, side, 0}, 1, 2, 0);
    AppendVertex(&list, {0, side, 0}, 1, 3, 0);
    return list;
}

}  // namespace

TEST_F(HostGeometry, faces_of_a_triangulated_square_become_3dfaces_on_the_layer) {
    Matrix4 identity;
    SetIdentity4(identity);
    FaceRecord* faces = TriangulatePolygon(Square(2.0), 3, identity);
    ASSERT_NE(faces, nullptr);
    EXPECT_EQ(EmitFaces("FACCE", faces), CountNodes(faces));
    EXPECT_EQ(count("0=3DFACE 8=FACCE"), 2);
    FreeList(faces);
}

TEST_F(HostGeometry, polyline_read_from_the_drawing_keeps_bulges_closure_and_elevation) {
    double p1[3] = {0, 0, 0}, p2[3] = {4, 0, 0}, p3[3] = {4, 3, 0};
    resbuf* list = zcutBuildList(RTDXF0, "LWPOLYLINE", 100, "AcDbEntity", 100, "AcDbPolyline", 90, 3, 70, 1,
                                 38, 2.5, 10, p1, 42, 0.0, 10, p2, 42, 1.0, 10, p3, 42, 0.0, 0);
    ASSERT_EQ(zcdbEntMake(list), RTNORM);
    zcutRelRb(list);
    ads_name e;
    ASSERT_EQ(zcdbEntLast(e), RTNORM);
    std::optional<PolylineData> data = ReadPolylineData(e);
    ASSERT_TRUE(data.has_value());
    ASSERT_EQ(data->vertices.size(), 3u);
    EXPECT_TRUE(data->closed);
    EXPECT_DOUBLE_EQ(data->elevation, 2.5);
    EXPECT_DOUBLE_EQ(data->vertices[1].bulge, 1.0);
    EXPECT_DOUBLE_EQ(data->vertices[2].x, 4.0);
    EXPECT_DOUBLE_EQ(data->vertices[2].y, 3.0);
}

TEST_F(HostGeometry, a_line_is_no_polyline) {
    double a[3] = {0, 0, 0}, b[3] = {1, 0, 0};
    resbuf* list = zcutBuildList(RTDXF0, "LINE", 10, a, 11, b, 0);
    ASSERT_EQ(zcdbEntMake(list), RTNORM);
    zcutRelRb(list);
    ads_name e;
    zcdbEntLast(e);
    EXPECT_FALSE(ReadPolylineData(e).has_value());
}

TEST_F(HostGeometry, polygon_input_through_the_host_prompts_reads_points_keywords_and_enter) {
    HostPointInputPort port;
    push({"1,2", "Cofnij", "", "!cancel"});
    PointAnswer a = port.GetPoint(nullptr, "\nPunkt:", "", false);
    EXPECT_EQ(a.kind, PointAnswer::Kind::Point);
    EXPECT_DOUBLE_EQ(a.point.y, 2.0);
    Point3 base{1, 2, 0};
    PointAnswer k = port.GetPoint(&base, "\nPunkt:", "Cofnij", false);
    EXPECT_EQ(k.kind, PointAnswer::Kind::Keyword);
    EXPECT_EQ(k.keyword, "Cofnij");
    EXPECT_EQ(port.GetPoint(&base, "\nPunkt:", "", false).kind, PointAnswer::Kind::None);
    EXPECT_EQ(port.GetPoint(&base, "\nPunkt:", "", false).kind, PointAnswer::Kind::Cancel);
}

TEST_F(HostGeometry, whole_polygon_input_on_the_host_gives_a_closed_list) {
    HostPointInputPort port;
    Point3 a{0, 0, 0}, b{3, 0, 0};
    port.DrawVector(a, b, -1);
    EXPECT_EQ(host::temporaryVectors().size(), 1u);
    port.DrawVector(a, b, -1);  // XOR: drawn twice is gone
    EXPECT_TRUE(host::temporaryVectors().empty());
    push({"0,0", "5,0", "5,5", "0,0", ""});
    VertexNode* list = nullptr;
    std::string kw;
    int closed = -1;
    int n = InputPointList(port, "", "\nPierwszy punkt:", "Punkt", kw, list, closed, 0, 0);
    OwnedList<VertexNode> owned(list);
    EXPECT_GE(n, 3);
    EXPECT_EQ(closed, 1);
}
