// The grids of the face list that the graph keeps between room walks and
// nearest-face searches: a search through them finds what a look at every
// face finds, and a list changed by the graph (or by hand, announced) is
// searched as it is now, never as it was.
#include <cmath>
#include <utility>
#include <vector>

#include "tests/walls/graph/graph_fixture.h"

namespace {

// The nearest face by its definition: the straight face whose foot of the
// perpendicular from p lies on it, nearest to p; null when none or when p
// lies on it. Ties never occur at the probe points used.
const WallFace* NearestByDefinition(const WallFace* list, const Point3& p) {
    const WallFace* best = nullptr;
    double bestDistance = 0.0;
    for (const WallFace* f = list; f; f = f->next) {
        if (f->isArc()) continue;
        const double dx = f->end.x - f->start.x, dy = f->end.y - f->start.y, len2 = dx * dx + dy * dy;
        if (len2 < 1e-6) continue;
        const double t = ((p.x - f->start.x) * dx + (p.y - f->start.y) * dy) / len2;
        if (t < 0.0 || t > 1.0) continue;
        const double d = std::hypot(p.x - (f->start.x + t * dx), p.y - (f->start.y + t * dy));
        if (d > 100000.0) continue;
        if (!best || d < bestDistance) {
            best = f;
            bestDistance = d;
        }
    }
    return best && bestDistance >= 1e-6 ? best : nullptr;
}

// Rooms 400 x 300 in a 5 x 4 grid, each side its own face, with a long
// diagonal face across the floor, a face of no length and an arc.
void DrawFloor(CFACCIATE& g) {
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 5; ++i) {
            const double l = i * 400.0 + 15, r = i * 400.0 + 385, b = j * 300.0 + 15, t = j * 300.0 + 285;
            SetFaces(g, {StraightFace({l, b, 0}, {r, b, 0}), StraightFace({r, b, 0}, {r, t, 0}),
                         StraightFace({r, t, 0}, {l, t, 0}), StraightFace({l, t, 0}, {l, b, 0})});
        }
    SetFaces(g, {StraightFace({-500, -700, 0}, {2600, 1900, 0}), StraightFace({900, 900, 0}, {900, 900, 0}),
                 ArcFace({1000, 600, 0}, 90.0, 0.3, 2.1)});
}

VertexNode* Walk(CFACCIATE& g, const Point3& inside, double* area = nullptr) {
    double heading = 0.0;
    WallFace* start = g.FindNearestFace(inside, &heading);
    if (!start) return nullptr;
    return g.RecognizeContour(heading, start, area, true);
}

}  // namespace

TEST_F(GraphTest, nearest_face_through_the_grids_is_the_nearest_by_definition_anywhere) {
    CFACCIATE g;
    DrawFloor(g);
    std::vector<Point3> probes;
    for (double x = -1234.5; x < 3300.0; x += 97.3)
        for (double y = -987.6; y < 2400.0; y += 83.1) probes.push_back({x, y, 0});
    // On a face, far beyond every face, and beyond the search's reach.
    probes.push_back({200, 15, 0});
    probes.push_back({40000, -35000, 0});
    probes.push_back({1.0e6, 1.0e6, 0});
    probes.push_back({-3.0e12, 7.0, 0});
    int found = 0;
    for (const Point3& p : probes) {
        double angle = -1.0;
        const WallFace* f = g.FindNearestFace(p, &angle);
        ASSERT_EQ(f, NearestByDefinition(g.faces, p)) << p.x << ", " << p.y;
        if (f) ++found;
    }
    EXPECT_GT(found, static_cast<int>(probes.size()) / 2);
}

TEST_F(GraphTest, rooms_measured_in_one_graph_match_rooms_measured_each_in_a_fresh_graph) {
    const Point3 points[] = {{100, 100, 0}, {1300, 700, 0}, {1900, 1000, 0}, {100, 100, 0}};
    CFACCIATE shared;
    DrawFloor(shared);
    for (const Point3& p : points) {
        CFACCIATE fresh;
        DrawFloor(fresh);
        double a1 = -1.0, a2 = -1.0;
        OwnedList<VertexNode> once(Walk(shared, p, &a1)), alone(Walk(fresh, p, &a2));
        ASSERT_TRUE(once && alone);
        EXPECT_EQ(CountNodes(once.get()), CountNodes(alone.get()));
        EXPECT_DOUBLE_EQ(ShoelaceArea(once.get()), ShoelaceArea(alone.get()));
        EXPECT_DOUBLE_EQ(a1, a2);
    }
}

TEST_F(GraphTest, a_walk_after_the_list_changes_follows_the_faces_as_they_are_now) {
    CFACCIATE g;
    const Point3 a{0, 0, 0}, b{370, 0, 0}, c{370, 270, 0}, d{0, 270, 0};
    WallFace* bottom = StraightFace(a, b);
    SetFaces(g, {StraightFace(d, c), StraightFace(c, b), StraightFace(a, d), bottom});
    OwnedList<VertexNode> whole(Walk(g, {100, 100, 0}));
    ASSERT_TRUE(whole);
    EXPECT_DOUBLE_EQ(ShoelaceArea(whole.get()), 370.0 * 270.0);

    // A function line splits the room: the graph drops its grids itself.
    g.MergeFunLineSegments({std::make_pair(Point3{185, 0, 0}, Point3{185, 270, 0})});
    OwnedList<VertexNode> half(Walk(g, {100, 100, 0}));
    ASSERT_TRUE(half);
    EXPECT_DOUBLE_EQ(ShoelaceArea(half.get()), 185.0 * 270.0);
    OwnedList<VertexNode> other(Walk(g, {300, 100, 0}));
    ASSERT_TRUE(other);
    EXPECT_DOUBLE_EQ(ShoelaceArea(other.get()), 185.0 * 270.0);

    // A face moved by hand, announced: the far side moves with it. The face
    // list keeps its first face, so only the announcement tells.
    CFACCIATE h;
    WallFace* right = StraightFace(c, b);
    WallFace* top = StraightFace(d, c);
    WallFace* low = StraightFace(a, b);
    SetFaces(h, {top, right, StraightFace(a, d), low});
    OwnedList<VertexNode> before(Walk(h, {100, 100, 0}));
    ASSERT_TRUE(before);
    const Point3 c2{500, 270, 0}, b2{500, 0, 0};
    right->start = c2;
    right->end = b2;
    top->end = c2;
    low->end = b2;
    h.FacesChanged();
    OwnedList<VertexNode> after(Walk(h, {100, 100, 0}));
    ASSERT_TRUE(after);
    EXPECT_DOUBLE_EQ(ShoelaceArea(after.get()), 500.0 * 270.0);
    double angle = 0.0;
    EXPECT_EQ(h.FindNearestFace({450, 135, 0}, &angle), right);
}
