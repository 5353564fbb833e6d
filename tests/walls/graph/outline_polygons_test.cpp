// Object outlines on face polygons, on records made by hand: which hole
// outline a face gets, the share of an opening a segment holds, and face
// rectangles cut and notched by openings, checked by their areas.
#include "walls/graph/outline_polygons.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/geometry/polygon.h"
#include "tests/walls/graph/graph_fixture.h"

namespace {

VertexNode* Ring(std::initializer_list<Point3> pts, int flag = 1) {
    VertexNode* head = nullptr;
    for (const Point3& p : pts) AppendVertex(&head, p, flag, 0, 0);
    return head;
}

// An opening in a wall along X: jambs across the wall at x = a and x = b
// from face A (y = 15) to face B (y = -15). The hole outlines are given in
// the plane of the face, as the callers hand them over.
OutlineNode* Opening(double a, double b, VertexNode* external = nullptr, VertexNode* internal = nullptr) {
    auto* o = new OutlineNode;
    o->kind = 11;
    o->jamb1 = Ring({{a, 15, 0}, {a, -15, 0}});
    o->jamb2 = Ring({{b, 15, 0}, {b, -15, 0}});
    o->cut3DExt1 = external ? external : Ring({{a, -15, 0}, {b, -15, 0}, {b, -15, 210}});
    o->cut3DInt1 = internal ? internal : Ring({{a, 15, 0}, {b, 15, 0}, {b, 15, 210}});
    return o;
}

// A corner object at the outer corner (0, 0) of walls along +X and +Y, 30
// thick: jambs from the inner faces to the outer ones.
OutlineNode* CornerObject() {
    auto* o = new OutlineNode;
    o->kind = 18;
    o->jamb1 = Ring({{60, 30, 0}, {60, 0, 0}});
    o->jamb2 = Ring({{30, 60, 0}, {0, 60, 0}});
    o->corner[0] = {0, 0, 0};
    o->corner[1] = {30, 30, 0};
    o->cut3DExt1 = Ring({{1, 0, 0}});
    o->cut3DExt2 = Ring({{2, 0, 0}});
    o->cut3DInt1 = Ring({{3, 0, 0}});
    o->cut3DInt2 = Ring({{4, 0, 0}});
    return o;
}

struct Outlines {
    ~Outlines() { FreeOutlineList(list); }
    OutlineNode* add(OutlineNode* o) {
        o->next = list;
        list = o;
        return o;
    }
    OutlineNode* list = nullptr;
};

struct Polygons {
    ~Polygons() { FreeListOfLists(list); }
    void push(VertexNode* ring) {
        auto* node = new ContourNode;
        node->vertices = ring;
        node->next = list;
        list = node;
    }
    double area() const {
        double sum = 0.0;
        for (const ContourNode* p = list; p; p = p->next) sum += ShoelaceArea(p->vertices);
        return sum;
    }
    ContourNode* list = nullptr;
};

VertexNode* WallRectangle() {
    return Ring({{0, 0, 0}, {400, 0, 0}, {400, 275, 0}, {0, 275, 0}});
}

}  // namespace

TEST(OutlineSides, openings_take_the_outline_of_the_face_their_segment_runs_along) {
    Outlines outlines;
    OutlineNode* door = outlines.add(Opening(150, 240));
    EXPECT_EQ(GetOutlineSideRing({-15, -15, 0}, {415, -15, 0}, door), door->cut3DExt1);
    EXPECT_EQ(GetOutlineSideRing({385, 15, 0}, {15, 15, 0}, door), door->cut3DInt1);
    door->kind = 12;
    EXPECT_EQ(GetOutlineSideRing({-15, -15, 0}, {415, -15, 0}, door), nullptr);

    OutlineNode* corner = outlines.add(CornerObject());
    EXPECT_EQ(GetOutlineSideRing({0, 0, 0}, {400, 0, 0}, corner), corner->cut3DExt1);
    EXPECT_EQ(GetOutlineSideRing({0, 400, 0}, {0, 0, 0}, corner), corner->cut3DExt2);
    EXPECT_EQ(GetOutlineSideRing({30, 30, 0}, {400, 30, 0}, corner), corner->cut3DInt1);
    EXPECT_EQ(GetOutlineSideRing({30, 400, 0}, {30, 30, 0}, corner), corner->cut3DInt2);
    EXPECT_EQ(GetOutlineSideRing({0, 100, 0}, {400, 100, 0}, corner), nullptr);
    // A straight corner object: every side runs along the segment, and the
    // first pair of the order wins.
    corner->jamb2 = FreeList(corner->jamb2);
    corner->jamb2 = Ring({{-60, 30, 0}, {-60, 0, 0}});
    EXPECT_EQ(GetOutlineSideRing({-400, 0, 0}, {400, 0, 0}, corner), corner->cut3DExt1);
}

TEST(OutlineSides, coverage_is_the_part_of_the_gap_on_the_segment) {
    Outlines outlines;
    const Point3 s{0, -15, 0}, e{400, -15, 0};
    EXPECT_DOUBLE_EQ(GetOutlineCoverage(outlines.add(Opening(150, 240)), s, e), 1.0);
    // Past the end: 20 of the 100 lie on the segment, whichever end of the
    // segment the point on it is nearer.
    EXPECT_NEAR(GetOutlineCoverage(outlines.add(Opening(380, 480)), s, e), 0.2, 1e-12);
    EXPECT_NEAR(GetOutlineCoverage(outlines.add(Opening(-40, 60)), s, e), 0.6, 1e-12);
    EXPECT_NEAR(GetOutlineCoverage(outlines.add(Opening(-40, 60)), {0, 15, 0}, {50, 15, 0}), 0.0, 1e-12);
    EXPECT_NEAR(GetOutlineCoverage(outlines.add(Opening(30, 130)), {0, 15, 0}, {50, 15, 0}), 0.2, 1e-12);
    EXPECT_DOUBLE_EQ(GetOutlineCoverage(outlines.add(Opening(500, 600)), s, e), 0.0);
    OutlineNode* arc = outlines.add(Opening(500, 600));
    arc->kind = 12;
    EXPECT_DOUBLE_EQ(GetOutlineCoverage(arc, s, e), 1.0);

    OutlineNode* corner = outlines.add(CornerObject());
    // Jamb1's end on the outer face along X, jamb2's not.
    EXPECT_DOUBLE_EQ(GetOutlineCoverage(corner, {0, 0, 0}, {400, 0, 0}), 1.0);
    EXPECT_DOUBLE_EQ(GetOutlineCoverage(corner, {30, 30, 0}, {400, 30, 0}), 1.0);
    EXPECT_DOUBLE_EQ(GetOutlineCoverage(corner, {0, 0, 0}, {0, 400, 0}), 0.0);
    EXPECT_DOUBLE_EQ(GetOutlineCoverage(corner, {-100, 0, 0}, {100, 60, 0}), 0.0);
}

TEST(OutlineSides, ring_extent_finds_the_farthest_pair) {
    Point3 a{5, 5, 5}, b{6, 6, 6};
    EXPECT_EQ(RingExtent(nullptr, a, b), 0);
    EXPECT_TRUE(Near(a, {0, 0, 0}) && Near(b, {0, 0, 0}) && a.z == 0.0 && b.z == 0.0);
    OwnedList<VertexNode> one(Ring({{3, 4, 0}}));
    EXPECT_EQ(RingExtent(one.get(), a, b), 1);
    EXPECT_TRUE(Near(a, {3, 4, 0}) && Near(b, {3, 4, 0}));
    OwnedList<VertexNode> door(Ring({{150, 0, 0}, {240, 0, 0}, {240, 210, 0}, {150, 210, 0}}));
    EXPECT_EQ(RingExtent(door.get(), a, b), 1);
    EXPECT_NEAR(Distance2d(a, b), std::hypot(90.0, 210.0), 1e-9);
}

TEST(OutlineCuts, a_window_through_the_face_splits_it_and_a_door_under_it_splits_the_lower_piece) {
    Outlines outlines;
    WallFace* face = StraightFace({0, -15, 0}, {400, -15, 0});
    OutlineNode* window =
        outlines.add(Opening(-10, 410, Ring({{-10, 90, 0}, {410, 90, 0}, {410, 210, 0}, {-10, 210, 0}}, 2)));
    OutlineNode* door =
        outlines.add(Opening(150, 240, Ring({{150, 0, 0}, {240, 0, 0}, {240, 210, 0}, {150, 210, 0}}, 2)));
    LinkOutline(*face, window);
    LinkOutline(*face, door);
    const OutlineLink* links = face->outlineLinks;

    Polygons polygons;
    polygons.push(WallRectangle());
    polygons.list = CutPolygonsByOutlines(polygons.list, face);
    // Below and above the window; the door runs through the piece below
    // from the bottom to the sill and splits it again.
    ASSERT_EQ(CountNodes(polygons.list), 3);
    EXPECT_NEAR(polygons.area(), 400 * 275 - 400 * 120 - 90 * 90, 1e-6);
    // The face keeps its links, in order.
    ASSERT_EQ(face->outlineLinks, links);
    ASSERT_EQ(CountNodes(face->outlineLinks), 2);
    EXPECT_EQ(face->outlineLinks->outline, window);
    EXPECT_EQ(face->outlineLinks->next->outline, door);
    // Where a piece leaves the border for the hole the edge is shown.
    for (ContourNode* p = polygons.list; p; p = p->next) {
        EXPECT_EQ(PolygonOrientation(p->vertices), 0);
        for (const VertexNode* v = p->vertices; v; v = v->next) EXPECT_EQ(v->edgeFlag, 1);
    }
    // The piece above: the door's head touches its bottom edge twice, which
    // gains a vertex between, and nothing is merged into it.
    ContourNode* upper = polygons.list;
    while (upper && upper->vertices->y < 200 && upper->vertices->next->y < 200) upper = upper->next;
    ASSERT_NE(upper, nullptr);
    EXPECT_EQ(CountNodes(upper->vertices), 5);
    upper->vertices = MergeOutlineIntoPolygon(upper->vertices, face);
    EXPECT_NEAR(ShoelaceArea(upper->vertices), 400 * 65, 1e-6);
    FreeFaceList(face);
}

TEST(OutlineCuts, doors_notch_and_windows_inside_are_left_to_the_caller) {
    Outlines outlines;
    WallFace* face = StraightFace({0, -15, 0}, {400, -15, 0});
    OutlineNode* window =
        outlines.add(Opening(60, 120, Ring({{60, 90, 0}, {120, 90, 0}, {120, 210, 0}, {60, 210, 0}})));
    // The door's outline reaches below the face's bottom.
    OutlineNode* door =
        outlines.add(Opening(150, 240, Ring({{150, -5, 0}, {240, -5, 0}, {240, 210, 0}, {150, 210, 0}}, 3)));
    // An arc opening has no outline here and changes nothing.
    OutlineNode* arc = outlines.add(Opening(300, 350, Ring({{300, 0, 0}, {350, 0, 0}, {350, 100, 0}})));
    arc->kind = 12;
    for (OutlineNode* o : {window, door, arc}) LinkOutline(*face, o);

    Polygons polygons;
    polygons.push(WallRectangle());
    polygons.list = CutPolygonsByOutlines(polygons.list, face);
    ASSERT_EQ(CountNodes(polygons.list), 1);
    EXPECT_NEAR(polygons.area(), 400 * 275, 1e-6);
    polygons.list->vertices = MergeOutlineIntoPolygon(polygons.list->vertices, face);
    VertexNode* ring = polygons.list->vertices;
    EXPECT_EQ(CountNodes(ring), 8);
    EXPECT_NEAR(ShoelaceArea(ring), 400 * 275 - 90 * 210, 1e-6);
    EXPECT_EQ(PolygonOrientation(ring), 1);
    int doorEdges = 0;
    for (const VertexNode* v = ring; v; v = v->next) {
        doorEdges += v->edgeFlag == 3;
        EXPECT_EQ(v->mark, 0);
    }
    EXPECT_EQ(doorEdges, 3);
    // The window stays a hole: its first point lies inside the notched ring.
    EXPECT_EQ(PointInPolygon(window->cut3DExt1->pt(), ring, 2), 1);
    EXPECT_NE(PointInPolygon(door->cut3DExt1->next->next->pt(), ring, 2), 1);
    // Merging again changes nothing.
    polygons.list->vertices = MergeOutlineIntoPolygon(polygons.list->vertices, face);
    EXPECT_NEAR(ShoelaceArea(polygons.list->vertices), 400 * 275 - 90 * 210, 1e-6);
    FreeFaceList(face);
}

TEST(OutlineCuts, each_window_through_the_face_splits_it_again_and_other_polygons_are_left_alone) {
    Outlines outlines;
    WallFace* face = StraightFace({0, -15, 0}, {400, -15, 0});
    // Two windows one above the other, both running through the face.
    for (double sill : {50.0, 150.0}) {
        OutlineNode* o = outlines.add(Opening(
            -10, 410, Ring({{-10, sill, 0}, {410, sill, 0}, {410, sill + 50, 0}, {-10, sill + 50, 0}})));
        LinkOutline(*face, o);
    }
    Polygons polygons;
    polygons.push(Ring({{1000, 0, 0}, {1100, 0, 0}, {1100, 100, 0}}));
    polygons.push(WallRectangle());
    polygons.list = CutPolygonsByOutlines(polygons.list, face);
    EXPECT_EQ(CountNodes(polygons.list), 4);
    EXPECT_NEAR(polygons.area(), 400 * 275 - 2 * 400 * 50 + 100 * 100 / 2, 1e-6);
    EXPECT_EQ(CutPolygonsByOutlines(nullptr, face), nullptr);
    FreeFaceList(face);
}
