// Openings and notches cut into slabs and taken out again.
#include "roofs/slab_openings.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/entity_readers.h"
#include "tests/roofs/slab_fixture.h"

namespace {

class SlabOpeningsTest : public SlabTest {
protected:
    // A LINE carrying an opening polygon (notch flag first when notch >= 0).
    static void MakeObject(const std::vector<Point3>& pts, int notch, ads_name out) {
        zcdbRegApp(kOpeningApp);
        const ads_point a{0, 0, 0}, b{1, 0, 0};
        resbuf* list = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, -3, 1001, kOpeningApp, 0);
        resbuf* tail = list;
        while (tail->rbnext) tail = tail->rbnext;
        if (notch >= 0) {
            tail->rbnext = zcutBuildList(1070, notch, 0);
            tail = tail->rbnext;
        }
        for (const Point3& p : pts) {
            const ads_point q{p.x, p.y, p.z};
            tail->rbnext = zcutBuildList(1070, 1, 1011, q, 0);
            while (tail->rbnext) tail = tail->rbnext;
        }
        ASSERT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
        zcdbEntLast(out);
    }
    static std::vector<Point3> Square(double x0, double y0, double x1, double y1) {
        return {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}};
    }
    static void Slab(ads_name insert, double w, double h, int flags = 0) {
        CFALDA record;
        record.name = "FLOORSLAB";
        record.thickness = 25.0;
        DecodeSlabFlags(record, flags);
        record.SetLoops(SlabLoops({Rect(0, 0, w, h, 275)}));
        ASSERT_TRUE(WriteSlab(record, insert));
    }
    static ContourNode* LoopsOf(const ads_name insert) {
        resbuf* list = GetEntXData(insert, kSlabApp);
        ContourNode* loops = ParseSlabLoops(FindXDataApp(list, kSlabApp));
        zcutRelRb(list);
        return loops;
    }
    static double SignedArea(const VertexNode* v) {
        double s = 0.0;
        for (const VertexNode* p = v; p; p = p->next) {
            const VertexNode* q = p->next ? p->next : v;
            s += p->x * q->y - q->x * p->y;
        }
        return s / 2.0;
    }
};

}  // namespace

TEST_F(SlabOpeningsTest, an_opening_with_a_vertex_outside_is_not_cut) {
    ads_name slab, object;
    Slab(slab, 1000, 800);
    MakeObject(Square(900, 100, 1100, 300), -1, object);
    CutOpeningIntoSlab(object, slab);
    ContourNode* loops = LoopsOf(slab);
    EXPECT_EQ(CountNodes(loops), 1);
    FreeListOfLists(loops);
}

TEST_F(SlabOpeningsTest, an_opening_goes_on_the_slab_plane_object_included) {
    ads_name slab, object;
    Slab(slab, 1000, 800);
    MakeObject(Square(100, 100, 300, 300), -1, object);
    CutOpeningIntoSlab(object, slab);
    ContourNode* loops = LoopsOf(slab);
    ASSERT_EQ(CountNodes(loops), 2);
    for (const VertexNode* v = loops->next->vertices; v; v = v->next) EXPECT_DOUBLE_EQ(v->z, 275.0);
    FreeListOfLists(loops);
    resbuf* xd = GetEntXData(object, kOpeningApp);
    OwnedList<VertexNode> polygon(ReadOpeningPolygon(xd, nullptr));
    zcutRelRb(xd);
    for (const VertexNode* v = polygon.get(); v; v = v->next) EXPECT_DOUBLE_EQ(v->z, 275.0);
}

TEST_F(SlabOpeningsTest, a_notch_at_an_edge_leaves_a_simple_outline_of_the_slab_less_the_notch) {
    ads_name slab, object;
    Slab(slab, 1000, 800);
    MakeObject({{400, 10, 0}, {600, 10, 0}, {600, 100, 0}, {400, 100, 0}}, 1, object);
    CutOpeningIntoSlab(object, slab);
    ContourNode* loops = LoopsOf(slab);
    ASSERT_EQ(CountNodes(loops), 1);
    const VertexNode* outline = loops->vertices;
    EXPECT_EQ(CountNodes(outline), 8);
    EXPECT_TRUE(IsSimplePolygon(outline));
    EXPECT_NEAR(SignedArea(outline), 800000.0 - 20000.0, 1e-6);  // counter-clockwise
    FreeListOfLists(loops);

    ads_name changed;
    EXPECT_EQ(EraseOpeningObject(object, changed), 1);
    EXPECT_TRUE(ads_name_equal(changed, slab));
    loops = LoopsOf(slab);
    EXPECT_EQ(CountNodes(loops->vertices), 4);
    EXPECT_NEAR(std::fabs(SignedArea(loops->vertices)), 800000.0, 1e-6);
    FreeListOfLists(loops);
}

TEST_F(SlabOpeningsTest, a_notch_meeting_no_edge_becomes_an_opening) {
    ads_name slab, object;
    Slab(slab, 5000, 5000);
    MakeObject(Square(2000, 2000, 2200, 2200), 1, object);
    CutOpeningIntoSlab(object, slab);
    ContourNode* loops = LoopsOf(slab);
    EXPECT_EQ(CountNodes(loops), 2);
    FreeListOfLists(loops);
}

TEST_F(SlabOpeningsTest, removing_the_second_of_three_keeps_the_first_and_third_in_order) {
    ads_name slab, o1, o2, o3;
    Slab(slab, 1000, 800);
    MakeObject(Square(100, 100, 200, 200), -1, o1);
    MakeObject(Square(400, 100, 500, 200), -1, o2);
    MakeObject(Square(700, 100, 800, 200), -1, o3);
    for (auto* o : {o1, o2, o3}) CutOpeningIntoSlab(o, slab);
    ads_name changed;
    EXPECT_EQ(EraseOpeningObject(o2, changed), 1);
    ContourNode* loops = LoopsOf(slab);
    ASSERT_EQ(CountNodes(loops), 3);
    EXPECT_LT(loops->next->vertices->x, 300.0);
    EXPECT_GT(loops->next->next->vertices->x, 600.0);
    FreeListOfLists(loops);
}

TEST_F(SlabOpeningsTest, of_two_openings_sharing_a_corner_the_erased_objects_goes) {
    ads_name slab, a, b;
    Slab(slab, 1000, 800);
    MakeObject(Square(100, 100, 200, 200), -1, a);
    MakeObject(Square(200, 200, 300, 300), -1, b);
    CutOpeningIntoSlab(a, slab);
    CutOpeningIntoSlab(b, slab);
    ads_name changed;
    EraseOpeningObject(b, changed);
    ContourNode* loops = LoopsOf(slab);
    ASSERT_EQ(CountNodes(loops), 2);
    double minX = 1e9;
    for (const VertexNode* v = loops->next->vertices; v; v = v->next) minX = std::min(minX, v->x);
    EXPECT_DOUBLE_EQ(minX, 100.0);
    FreeListOfLists(loops);
}

TEST_F(SlabOpeningsTest, a_z_profile_is_never_cut_nor_changed) {
    ads_name slab, object;
    Slab(slab, 1000, 800, 16 + 8 + 4);
    MakeObject(Square(100, 100, 300, 300), -1, object);
    CutOpeningIntoSlab(object, slab);
    ContourNode* loops = LoopsOf(slab);
    EXPECT_EQ(CountNodes(loops), 1);
    FreeListOfLists(loops);
    OwnedList<VertexNode> polygon(nullptr);
    VertexNode* square = nullptr;
    for (const Point3& p : Square(0, 0, 1000, 800)) AppendVertex(&square, p, 1, 0, 0);
    polygon.reset(square);
    EXPECT_EQ(RemoveOpeningFromSlab(polygon.get(), nullptr, true), 0);
}

TEST_F(SlabOpeningsTest, a_vertical_plane_writes_nothing) {
    ads_name object;
    MakeObject(Square(100, 100, 300, 300), -1, object);
    WriteOpeningXData(object, 1.0, 0.0, 0.0, -5.0);
    resbuf* xd = GetEntXData(object, kOpeningApp);
    OwnedList<VertexNode> polygon(ReadOpeningPolygon(xd, nullptr));
    zcutRelRb(xd);
    for (const VertexNode* v = polygon.get(); v; v = v->next) EXPECT_DOUBLE_EQ(v->z, 0.0);
}
