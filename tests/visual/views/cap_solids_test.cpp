// The solids' cut rings of a section: chained whatever the edges' order and
// direction, enclosing by the even-odd rule per solid, open feet and tops
// closed only where the solid lies, and open cuts left out.
#include "visual/views/cap_solids.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Cuts {
    std::vector<CapCut> list;
    // A closed polygon's edges, every other one reversed.
    void Polygon(const std::vector<Point3>& pts, int solid) {
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const Point3& p = pts[i];
            const Point3& q = pts[(i + 1) % pts.size()];
            list.push_back(i % 2 ? CapCut{q, p, solid} : CapCut{p, q, solid});
        }
    }
    void Edge(double ax, double ay, double bx, double by, int solid) {
        list.push_back({{ax, ay, 0}, {bx, by, 0}, solid});
    }
    void Square(double x0, double y0, double x1, double y1, int solid) {
        Polygon({{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}}, solid);
    }
};

constexpr double kT = 0.01;

bool In(const SolidInsides& s, double x, double y) {
    return s.InsideSome({x, y, 0});
}

TEST(CapSolids, a_solid_with_a_hole_and_a_t_meeting_encloses_its_ring_and_not_its_hole) {
    Cuts c;
    c.Square(0, 0, 100, 50, 0);
    c.Square(40, 10, 60, 40, 0);  // a window's void through it
    // A second face's cut ending on the middle of the bottom (a T), and
    // closing a notch under it.
    c.Edge(70, 0, 70, -20, 0);
    c.Edge(70, -20, 90, -20, 0);
    c.Edge(90, -20, 90, 0, 0);
    const std::vector<CapCut> rings = ClosedSolidCuts(c.list, kT);
    const SolidInsides s(rings);
    EXPECT_TRUE(In(s, 20, 25));
    EXPECT_FALSE(In(s, 50, 25));
    EXPECT_TRUE(In(s, 80, -10));
    // The bottom between the notch's sides is no edge of the cut.
    EXPECT_TRUE(In(s, 80, 1.0));
    EXPECT_TRUE(In(s, 80, -1.0));
    EXPECT_FALSE(In(s, 150, 25));
    EXPECT_FALSE(In(s, 50, 60));
}

TEST(CapSolids, open_feet_and_tops_close_only_where_their_own_solid_lies) {
    Cuts c;
    // A column's two sides, its end faces missing.
    c.Edge(0, 0, 0, 280, 0);
    c.Edge(30, 280, 30, 0, 0);
    // Two walls of a room cut across, open at their foot and top: the room
    // between them is not closed.
    for (const double x : {100.0, 130.0, 500.0, 530.0}) c.Edge(x, 0, x, 280, 1);
    const std::vector<CapCut> rings = ClosedSolidCuts(c.list, kT);
    EXPECT_EQ(rings.size(), 12u);  // six sides, six feet and tops
    const SolidInsides s(rings);
    EXPECT_TRUE(In(s, 15, 140));
    EXPECT_TRUE(In(s, 115, 140));
    EXPECT_TRUE(In(s, 515, 140));
    EXPECT_FALSE(In(s, 300, 140));
    EXPECT_FALSE(In(s, 65, 140));  // between the column and the wall
    EXPECT_FALSE(In(s, 115, 290));
}

TEST(CapSolids, a_sheet_and_a_cut_open_at_an_upright_gap_are_left_out) {
    Cuts c;
    c.Edge(200, 0, 200, 210, 0);  // a door leaf
    // A wall's cut past a door without faces at its side: its foot and top
    // end at different levels.
    c.Edge(0, 0, 0, 280, 1);
    c.Edge(0, 280, 30, 280, 1);
    c.Edge(30, 280, 30, 210, 1);
    c.Edge(30, 210, 10, 210, 1);
    const std::vector<CapCut> rings = ClosedSolidCuts(c.list, kT);
    EXPECT_TRUE(rings.empty());
    const SolidInsides s(rings);
    EXPECT_FALSE(In(s, 15, 250));
}

TEST(CapSolids, overlapping_solids_are_each_enclosed_and_their_union_is_inside) {
    Cuts two;
    two.Square(0, 0, 100, 20, 0);    // a slab
    two.Square(50, 10, 150, 30, 1);  // another overlapping it
    const SolidInsides apart(ClosedSolidCuts(two.list, kT));
    for (const double x : {25.0, 75.0, 125.0}) EXPECT_TRUE(In(apart, x, 15)) << x;
    EXPECT_TRUE(apart.Inside(0, {75, 15, 0}));
    EXPECT_TRUE(apart.Inside(1, {75, 15, 0}));
    EXPECT_FALSE(apart.Inside(0, {125, 15, 0}));
    // Two pieces of one solid touching along a face: the face's cut given
    // twice encloses nothing, and the two are one cut.
    Cuts touching;
    touching.Square(0, 0, 50, 20, 0);
    touching.Square(50, 0, 100, 20, 0);
    const SolidInsides joined(ClosedSolidCuts(touching.list, kT));
    EXPECT_TRUE(In(joined, 25, 10));
    EXPECT_TRUE(In(joined, 75, 10));
    EXPECT_FALSE(In(joined, 101, 10));
}

}  // namespace
