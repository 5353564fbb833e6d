// Assembling faces from wall edges and outlines given as records: which
// lines join, how openings and corner objects bridge or end faces, and the
// facing arc of a curved wall.
#include <cmath>

#include "tests/walls/graph/graph_fixture.h"

namespace {

// An opening of kind 11 in a wall along X: face A at y = 0, face B at
// y = -30, jambs at x = a and x = b.
OutlineNode* Opening(double a, double b) {
    auto* o = new OutlineNode;
    o->kind = 11;
    o->jamb1 = NewVertex(a, 0, 0, 0, 0, 0, 0);
    o->jamb1->next = NewVertex(a, -30, 0, 0, 0, 0, 0);
    o->jamb2 = NewVertex(b, 0, 0, 0, 0, 0, 0);
    o->jamb2->next = NewVertex(b, -30, 0, 0, 0, 0, 0);
    o->gapA[0] = {a, 0, 0};
    o->gapA[1] = {b, 0, 0};
    o->gapB[0] = {a, -30, 0};
    o->gapB[1] = {b, -30, 0};
    return o;
}

}  // namespace

TEST_F(GraphTest, touching_collinear_lines_form_one_face_in_order_and_an_overlapping_line_stays_apart) {
    CFACCIATE g;
    // The second line is drawn backwards; the third overlaps without touching.
    SetPending(g.pendingLines,
               {Line({0, 0, 0}, {100, 0, 0}), Line({250, 0, 0}, {100, 0, 0}), Line({50, 0, 0}, {180, 0, 0})});
    g.AssembleLines(false, false);
    ASSERT_EQ(CountFaces(g.faces), 2);
    EXPECT_EQ(g.pendingLines, nullptr);
    WallFace* joined = FaceBetween(g.faces, {0, 0, 0}, {250, 0, 0});
    ASSERT_NE(joined, nullptr);
    ASSERT_EQ(CountEdges(joined), 2);
    // Edges run with the face, one after the other.
    const FaceEdge* first = joined->edges;
    const FaceEdge* second = first->next;
    EXPECT_TRUE(Near(first->end, second->start));
    EXPECT_TRUE(Near(first->start, joined->start));
    EXPECT_TRUE(Near(second->end, joined->end));
    EXPECT_NE(FaceBetween(g.faces, {50, 0, 0}, {180, 0, 0}), nullptr);
}

TEST_F(GraphTest, an_opening_gap_joins_the_lines_on_both_faces_and_is_linked_to_each) {
    CFACCIATE g;
    g.outlines = Opening(100, 190);
    SetPending(g.pendingLines, {Line({0, 0, 0}, {100, 0, 0}), Line({190, 0, 0}, {400, 0, 0}),
                                Line({400, -30, 0}, {190, -30, 0}), Line({100, -30, 0}, {0, -30, 0})});
    g.AssembleLines(false, false);
    ASSERT_EQ(CountFaces(g.faces), 2);
    for (double y : {0.0, -30.0}) {
        WallFace* f = FaceBetween(g.faces, {0, y, 0}, {400, y, 0});
        ASSERT_NE(f, nullptr) << y;
        EXPECT_EQ(CountEdges(f), 2) << y;
        ASSERT_NE(f->outlineLinks, nullptr) << y;
        EXPECT_EQ(f->outlineLinks->outline, g.outlines) << y;
        EXPECT_EQ(f->outlineLinks->next, nullptr) << y;
    }
}

TEST_F(GraphTest, a_line_ending_at_a_corner_object_stops_at_the_corner_point) {
    CFACCIATE g;
    // A corner object at the corner (0, 0) of two walls; one leg runs from
    // the jamb end (40, 0) to the corner.
    auto* o = new OutlineNode;
    o->kind = 18;
    o->jamb1 = NewVertex(40, 0, 0, 0, 0, 0, 0);
    o->jamb1->next = NewVertex(40, -30, 0, 0, 0, 0, 0);
    o->jamb2 = NewVertex(0, 40, 0, 0, 0, 0, 0);
    o->jamb2->next = NewVertex(-30, 40, 0, 0, 0, 0, 0);
    o->gapA[0] = {40, 0, 0};
    o->gapA[1] = {0, 40, 0};
    o->gapB[0] = {40, -30, 0};
    o->gapB[1] = {-30, 40, 0};
    o->corner[0] = {-30, -30, 0};
    o->corner[1] = {0, 0, 0};
    g.outlines = o;
    // Two collinear lines beyond the corner would join without the object.
    SetPending(g.pendingLines, {Line({300, 0, 0}, {40, 0, 0}), Line({0, 0, 0}, {-50, 0, 0})});
    g.AssembleLines(false, false);
    WallFace* f = FaceBetween(g.faces, {0, 0, 0}, {300, 0, 0});
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(CountEdges(f), 1);
    EXPECT_TRUE(IsOutlineLinked(*f, o));
    EXPECT_NE(FaceBetween(g.faces, {0, 0, 0}, {-50, 0, 0}), nullptr);
}

TEST_F(GraphTest, rectangle_mode_keeps_touching_lines_of_different_rectangles_apart) {
    CFACCIATE g;
    SetPending(g.pendingLines, {Line({0, 0, 0}, {100, 0, 0}, 1.0), Line({100, 0, 0}, {200, 0, 0}, 2.0),
                                Line({200, 0, 0}, {300, 0, 0}, 2.0)});
    g.AssembleLines(false, true);
    ASSERT_EQ(CountFaces(g.faces), 2);
    EXPECT_NE(FaceBetween(g.faces, {0, 0, 0}, {100, 0, 0}), nullptr);
    EXPECT_NE(FaceBetween(g.faces, {100, 0, 0}, {300, 0, 0}), nullptr);
}

TEST_F(GraphTest, concentric_overlapping_arcs_give_two_faces_the_second_as_partner) {
    CFACCIATE g;
    const double pi = std::acos(-1.0);
    // The inner face in two pieces, the outer one whole, and an arc of
    // another circle that must not be taken as the partner.
    SetPending(g.pendingArcs, {ArcEdge({0, 0, 0}, 100, 0, pi / 4), ArcEdge({0, 0, 0}, 100, pi / 4, pi / 2),
                               ArcEdge({500, 0, 0}, 130, 0, pi / 2), ArcEdge({0, 0, 0}, 130, 0.1, pi / 2)});
    FaceEdge* first = g.pendingArcs;
    g.pendingArcs = first->next;
    first->next = nullptr;
    WallFace* face = NewWallFace();
    WallFace* partner = g.AssembleArcFace(first, face);
    ASSERT_NE(partner, nullptr);
    EXPECT_EQ(face->kind, 0);
    EXPECT_EQ(CountNodes(face->arcEdges), 2);
    EXPECT_NEAR(face->arc.endAngle, pi / 2, 1e-12);
    EXPECT_EQ(partner->kind, 0);
    EXPECT_NEAR(partner->arc.radius, 130, 1e-12);
    EXPECT_NEAR(partner->arc.centre.x, 0, 1e-12);
    EXPECT_EQ(CountNodes(g.pendingArcs), 1);
    FreeFaceList(face);
    FreeFaceList(partner);

    // Through the whole build both faces go to the list, the partner first.
    g.Clear();
    SetPending(g.pendingArcs, {ArcEdge({0, 0, 0}, 100, 0, pi / 2), ArcEdge({0, 0, 0}, 130, 0, pi / 2)});
    g.AssembleArcs();
    ASSERT_EQ(CountFaces(g.faces), 2);
    EXPECT_NEAR(g.faces->arc.radius, 130, 1e-12);
    EXPECT_NEAR(g.faces->next->arc.radius, 100, 1e-12);
}

TEST_F(GraphTest, the_first_touching_line_in_list_order_wins_whatever_its_place_in_the_grid) {
    // Two candidates touch the face end; the one earlier in the pending list
    // joins, as a plain scan would choose.
    for (int flip = 0; flip < 2; ++flip) {
        CFACCIATE g;
        FaceEdge* a = Line({100, 0, 0}, {200, 0, 0});
        FaceEdge* b = Line({100, 0, 0}, {150, 0, 0});
        SetPending(g.pendingLines, {Line({0, 0, 0}, {100, 0, 0}), flip ? b : a, flip ? a : b});
        g.AssembleLines(false, false);
        const WallFace* whole = FaceBetween(g.faces, {0, 0, 0}, {flip ? 150.0 : 200.0, 0, 0});
        ASSERT_NE(whole, nullptr) << flip;
        EXPECT_EQ(CountEdges(whole), 2);
    }
}
