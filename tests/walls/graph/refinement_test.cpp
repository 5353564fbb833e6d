// Queries and refinement on faces given as records: the nearest face and
// the face across a wall, pilasters, junction splits and function lines.
#include "tests/walls/graph/graph_fixture.h"

namespace {

VertexNode* Ring(std::initializer_list<Point3> points) {
    VertexNode* head = nullptr;
    for (const Point3& p : points) AppendVertex(&head, p, 1, 0, 0);
    return head;
}

int CountAt(WallFace* list, Point3 a, Point3 b) {
    int n = 0;
    for (WallFace* f = list; f; f = f->next)
        if ((Near(f->start, a) && Near(f->end, b)) || (Near(f->start, b) && Near(f->end, a))) ++n;
    return n;
}

}  // namespace

TEST_F(GraphTest, nearest_face_is_null_on_a_face_and_the_face_across_stops_at_the_wall_distance) {
    CFACCIATE g;
    g.level = 0.0;
    g.maxWallThickness = 60.0;
    WallFace* bottom = StraightFace({0, 0, 0}, {400, 0, 0});
    WallFace* inner = StraightFace({0, 30, 0}, {400, 30, 0});
    WallFace* far = StraightFace({0, 300, 0}, {400, 300, 0});
    SetFaces(g, {far, inner, bottom});

    double angle = -1.0;
    EXPECT_EQ(g.FindNearestFace({200, 0, 0}, &angle), nullptr);
    EXPECT_EQ(g.FindNearestFace({200, 10, 0}, &angle), bottom);
    EXPECT_NEAR(angle, 1.5 * std::acos(-1.0), 1e-9);
    // Outside every face's span: no perpendicular meets one.
    EXPECT_EQ(g.FindNearestFace({900, 900, 0}, &angle), nullptr);

    double distance = 0.0;
    EXPECT_EQ(FindFaceAcross(g, {200, 0, 0}, bottom, &distance, &angle, true), inner);
    EXPECT_NEAR(distance, 30.0, 1e-9);
    // From inside the room the nearest crossing is the far face, 100 away:
    // beyond DISCMURO it is refused when the search keeps to the wall.
    EXPECT_EQ(FindFaceAcross(g, {200, 200, 0}, inner, &distance, &angle, false), far);
    EXPECT_NEAR(distance, 100.0, 1e-9);
    EXPECT_NEAR(angle, 0.5 * std::acos(-1.0), 1e-9);
    EXPECT_EQ(FindFaceAcross(g, {200, 200, 0}, inner, &distance, &angle, true), nullptr);
}

TEST_F(GraphTest, a_free_pilaster_adds_one_face_per_side_to_the_pilaster_faces_only) {
    CFACCIATE g;
    SetFaces(g, {StraightFace({0, 0, 0}, {400, 0, 0})});
    VertexNode* outline = Ring({{100, 100, 0}, {140, 100, 0}, {140, 140, 0}, {100, 140, 0}});
    g.MergePillarOutline(outline);
    FreeList(outline);
    EXPECT_EQ(CountFaces(g.faces), 1);
    ASSERT_EQ(CountFaces(g.pillarFaces), 4);
    for (WallFace* f = g.pillarFaces; f; f = f->next) {
        EXPECT_EQ(CountEdges(f), 1);
        EXPECT_FALSE(f->edges->hasEntity());
    }
}

TEST_F(GraphTest, a_pilaster_in_a_wall_drops_the_stretches_inside_and_joins_the_flush_side_to_the_faces) {
    CFACCIATE g;
    // A wall along X, faces y = 0 and y = 30, cut by a pilaster from x = 450
    // to 550 that stands out below (to y = -20) and is flush above.
    WallFace* lowLeft = StraightFace({0, 0, 0}, {450, 0, 0});
    WallFace* lowRight = StraightFace({1000, 0, 0}, {550, 0, 0});
    WallFace* highLeft = StraightFace({0, 30, 0}, {450, 30, 0});
    WallFace* highRight = StraightFace({550, 30, 0}, {1000, 30, 0});
    for (WallFace* f : {lowLeft, lowRight, highLeft, highRight})
        f->edges = NewSpanEdge(f->start, f->end, 300, 0, 1);
    SetFaces(g, {lowLeft, lowRight, highLeft, highRight});
    VertexNode* outline = Ring({{450, -20, 0}, {550, -20, 0}, {550, 30, 0}, {450, 30, 0}});
    g.MergePillarOutline(outline);
    FreeList(outline);

    EXPECT_EQ(g.pillarFaces, nullptr);
    // The flush side made the upper face whole: three edges, one of them the pilaster's.
    WallFace* upper = FaceBetween(g.faces, {0, 30, 0}, {1000, 30, 0});
    ASSERT_NE(upper, nullptr);
    EXPECT_EQ(CountEdges(upper), 3);
    EXPECT_EQ(CountAt(g.faces, {550, 30, 0}, {1000, 30, 0}), 0);
    // The outer stretch below stays as faces of its own; nothing runs
    // between the two faces of the wall.
    EXPECT_EQ(CountAt(g.faces, {450, 0, 0}, {450, -20, 0}), 1);
    EXPECT_EQ(CountAt(g.faces, {450, -20, 0}, {550, -20, 0}), 1);
    EXPECT_EQ(CountAt(g.faces, {550, -20, 0}, {550, 0, 0}), 1);
    for (WallFace* f = g.faces; f; f = f->next) {
        const bool acrossWall = std::fabs(f->start.x - f->end.x) < 1e-9 &&
                                std::fmin(f->start.y, f->end.y) >= -1e-9 &&
                                std::fmax(f->start.y, f->end.y) <= 30 + 1e-9;
        EXPECT_FALSE(acrossWall) << f->start.x << "," << f->start.y << " " << f->end.x << "," << f->end.y;
    }
    EXPECT_EQ(CountFaces(g.faces), 6);
}

TEST_F(GraphTest, a_t_junction_splits_the_face_and_its_edges_at_the_point) {
    CFACCIATE g;
    WallFace* through = StraightFace({0, 0, 0}, {400, 0, 0});
    FaceEdge* left = Line({0, 0, 0}, {150, 0, 0});
    FaceEdge* right = Line({150, 0, 0}, {400, 0, 0});
    left->entity[0] = 11;
    right->entity[0] = 12;
    right->wallTypeName = "Mur";
    left->next = right;
    through->edges = left;
    WallFace* stem = StraightFace({200, 0, 0}, {200, 300, 0});
    SetFaces(g, {through, stem});
    g.SplitAtJunctions();

    ASSERT_EQ(CountFaces(g.faces), 3);
    EXPECT_TRUE(Near(through->end, {200, 0, 0}));
    WallFace* rest = FaceBetween(g.faces, {200, 0, 0}, {400, 0, 0});
    ASSERT_NE(rest, nullptr);
    // The edge across the point is cut: its first part, without entity,
    // stays with the first face; the entity goes on beyond the point.
    ASSERT_EQ(CountEdges(through), 2);
    EXPECT_EQ(through->edges->entity[0], 11);
    const FaceEdge* cut = through->edges->next;
    EXPECT_FALSE(cut->hasEntity());
    EXPECT_TRUE(Near(cut->start, {150, 0, 0}));
    EXPECT_TRUE(Near(cut->end, {200, 0, 0}));
    EXPECT_EQ(cut->wallTypeName, "Mur");
    ASSERT_EQ(CountEdges(rest), 1);
    EXPECT_EQ(rest->edges->entity[0], 12);
    EXPECT_TRUE(Near(rest->edges->start, {200, 0, 0}));
}

TEST_F(GraphTest, function_lines_split_each_other_only_where_one_ends_at_the_crossing) {
    CFACCIATE g;
    g.unitFactor = 1.0;
    WallFace* wall = StraightFace({0, 0, 0}, {400, 0, 0});
    SetFaces(g, {wall});
    // An X crossing (nothing split), a T crossing (the through line split),
    // and a line ending on the wall (the wall split).
    g.MergeFunLineSegments({{{100, 100, 0}, {200, 200, 0}},
                            {{100, 200, 0}, {200, 100, 0}},
                            {{300, 50, 0}, {300, 250, 0}},
                            {{250, 150, 0}, {300, 150, 0}},
                            {{350, 0, 0}, {350, 100, 0}}});
    int fun = 0;
    for (WallFace* f = g.faces; f; f = f->next) fun += f->isFunctionLine;
    EXPECT_EQ(fun, 6);
    EXPECT_EQ(CountAt(g.faces, {100, 100, 0}, {200, 200, 0}), 1);
    EXPECT_EQ(CountAt(g.faces, {300, 50, 0}, {300, 150, 0}), 1);
    EXPECT_EQ(CountAt(g.faces, {300, 150, 0}, {300, 250, 0}), 1);
    EXPECT_EQ(CountAt(g.faces, {0, 0, 0}, {350, 0, 0}), 1);
    EXPECT_TRUE(Near(wall->start, {350, 0, 0}));
    EXPECT_EQ(wall->isFunctionLine, 0);
}
