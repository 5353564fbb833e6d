// Closed outlines picked from circles, polylines and chains of lines.
#include "roofs/outline_select.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/roofs/slab_fixture.h"

namespace {

class OutlineSelectTest : public SlabTest {
protected:
    static void Make(resbuf* list) {
        ASSERT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    }
    static void Line(double x0, double y0, double x1, double y1) {
        const ads_point a{x0, y0, 0}, b{x1, y1, 0};
        Make(zcutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, 0));
    }
    static double Area(const VertexNode* v) {
        double s = 0.0;
        for (const VertexNode* p = v; p; p = p->next) {
            const VertexNode* q = p->next ? p->next : v;
            s += p->x * q->y - q->x * p->y;
        }
        return std::fabs(s) / 2.0;
    }
};

}  // namespace

TEST_F(OutlineSelectTest, a_circle_in_4_parts_gives_8_approximated_chords_after_a_text_is_refused) {
    const ads_point c{0, 0, 0}, t{500, 500, 0};
    Make(zcutBuildList(RTDXF0, "CIRCLE", 8, "0", 10, c, 40, 100.0, 0));
    Make(zcutBuildList(RTDXF0, "TEXT", 8, "0", 10, t, 40, 10.0, 1, "napis", 0));
    push({"!pick 501,501", "!pick 100,0"});
    int status = -1;
    OwnedList<VertexNode> outline(SelectClosedOutline(status, "\nWybierz obrys:", 4, true));
    EXPECT_EQ(status, 1);
    EXPECT_NE(transcript().find("Można wybrać tylko łuki, okręgi, linie i polilinie"), std::string::npos);
    ASSERT_EQ(CountNodes(outline.get()), 8);
    for (const VertexNode* v = outline.get(); v; v = v->next) EXPECT_EQ(v->edgeFlag, 101);
}

TEST_F(OutlineSelectTest, a_closed_chain_of_lines_closes_and_an_open_one_says_why) {
    Line(0, 0, 100, 0);
    Line(100, 0, 100, 80);
    Line(100, 80, 0, 80);
    push("!pick 50,0");
    int status = 0;
    {
        OwnedList<VertexNode> open(SelectClosedOutline(status, "\nWybierz obrys:", 0, false));
        EXPECT_EQ(open, nullptr);
        EXPECT_EQ(status, 1);
        EXPECT_NE(transcript().find("Nie można zdefiniować wielokąta"), std::string::npos);
    }
    Line(0, 80, 0, 0);
    push("!pick 50,0");
    OwnedList<VertexNode> closed(SelectClosedOutline(status, "\nWybierz obrys:", 0, false));
    ASSERT_NE(closed, nullptr);
    EXPECT_NEAR(Area(closed.get()), 8000.0, 1e-6);
}

TEST_F(OutlineSelectTest, a_bulged_polyline_gets_its_arc_as_chords) {
    resbuf* pl = zcutBuildList(RTDXF0, "LWPOLYLINE", 8, "0", 90, 4, 70, 1, 0);
    resbuf* tail = pl;
    while (tail->rbnext) tail = tail->rbnext;
    const double pts[4][3] = {{0, 0, 0}, {100, 0, 1.0}, {100, 100, 0}, {0, 100, 0}};
    for (const auto& p : pts) {
        const ads_point q{p[0], p[1], 0};
        tail->rbnext = zcutBuildList(10, q, 42, p[2], 0);
        while (tail->rbnext) tail = tail->rbnext;
    }
    Make(pl);
    push("!pick 50,0");
    int status = 0;
    OwnedList<VertexNode> outline(SelectClosedOutline(status, "\nWybierz obrys:", 8, true));
    ASSERT_NE(outline, nullptr);
    EXPECT_GT(CountNodes(outline.get()), 8);
    const double half = 3.14159265358979 * 50 * 50 / 2;
    EXPECT_GT(Area(outline.get()), 10000.0 + 0.9 * half);
    EXPECT_LT(Area(outline.get()), 10000.0 + half);
    int approximated = 0;
    for (const VertexNode* v = outline.get(); v; v = v->next) approximated += v->edgeFlag == 101 ? 1 : 0;
    EXPECT_GE(approximated, 8);
}

TEST_F(OutlineSelectTest, a_cancel_ends_with_status_0) {
    push("!cancel");
    int status = 1;
    EXPECT_EQ(SelectClosedOutline(status, "\nWybierz obrys:", 0, true), nullptr);
    EXPECT_EQ(status, 0);
}

namespace {

void WallLine(double x0, double y0, double x1, double y1) {
    zcdbRegApp("VELM5$_$DATITIPOMURO-");
    const ads_point a{x0, y0, 0}, b{x1, y1, 0};
    resbuf* list = zcutBuildList(RTDXF0, "LINE", 8, "VELM2DWALLS$0", 10, a, 11, b, -3, 1001,
                                 "VELM5$_$DATITIPOMURO-", 1000, "Mur 30", 1070, 0, 0);
    ASSERT_EQ(zcdbEntMake(list), RTNORM);
    zcutRelRb(list);
}

}  // namespace

TEST_F(OutlineSelectTest, the_floor_outline_is_the_closed_contour_of_the_picked_wall) {
    WallLine(0, 0, 400, 0);
    WallLine(400, 0, 400, 300);
    WallLine(400, 300, 0, 300);
    push({"!pick 900,900", "!pick 200,0"});
    ads_name picked;
    Point3 at;
    EXPECT_EQ(SelectFloorOutline(0, 0.0, picked, &at), nullptr) << "three walls do not close";
    EXPECT_NE(transcript().find("Wybrany kontur nie jest zamknięty"), std::string::npos);
    EXPECT_DOUBLE_EQ(at.x, 200.0);

    WallLine(0, 300, 0, 0);
    const ads_point p{5, 5, 0}, q{50, 5, 0};
    resbuf* free = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, p, 11, q, 0);
    zcdbEntMake(free);
    zcutRelRb(free);
    push({"!pick 20,5", "!pick 400,150"});
    OwnedList<VertexNode> outline(SelectFloorOutline(0, 0.0, picked, nullptr));
    EXPECT_NE(transcript().find("Wybrany obiekt nie jest linią ani łukiem reprezentującym ścianę"),
              std::string::npos);
    ASSERT_NE(outline, nullptr);
    EXPECT_EQ(CountNodes(outline.get()), 4);
    EXPECT_NEAR(Area(outline.get()), 120000.0, 1e-6);
}
