// Chaining loose line pieces into closed rings: directions mixed, gaps,
// holes bridged in, and pieces of other kinds passed by.
#include "visual/views/ring_chaining.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/geometry/polygon.h"

namespace {

struct Pieces {
    SegmentRec* list = nullptr;
    ~Pieces() { FreeList(list); }
    SegmentRec* add(const Point3& p, const Point3& q, int kind = 0) {
        const double six[6] = {p.x, p.y, p.z, q.x, q.y, q.z};
        list = new SegmentRec(six, nullptr, kind, list);
        return list;
    }
    // A closed polygon's edges, every other one reversed.
    void polygon(const std::vector<Point3>& pts, bool mixed) {
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const Point3& p = pts[i];
            const Point3& q = pts[(i + 1) % pts.size()];
            if (mixed && i % 2)
                add(q, p);
            else
                add(p, q);
        }
    }
};

// Plan area of a ring; bridges walked both ways add nothing.
double Area(const VertexNode* ring) {
    double a = 0.0;
    for (const VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = NextInRing(ring, v);
        a += v->x * w->y - w->x * v->y;
    }
    return std::fabs(a) / 2.0;
}

}  // namespace

TEST(RingChaining, mixed_directions_close_one_ring_and_reversed_pieces_stay_reversed) {
    Pieces p;
    p.polygon({{0, 0, 3}, {10, 0, 3}, {10, 5, 3}, {4, 8, 3}, {0, 5, 3}}, true);
    SegmentRec* arc = p.add({100, 100, 0}, {200, 200, 0}, 1);  // an arc record: passed by
    OwnedList<VertexNode> ring(ChainSegmentsIntoRings(p.list));
    ASSERT_TRUE(ring);
    EXPECT_EQ(CountNodes(ring.get()), 5);
    double exact = 0.0;
    {
        const Point3 pts[5] = {{0, 0, 3}, {10, 0, 3}, {10, 5, 3}, {4, 8, 3}, {0, 5, 3}};
        for (int i = 0; i < 5; ++i) exact += pts[i].x * pts[(i + 1) % 5].y - pts[(i + 1) % 5].x * pts[i].y;
        exact /= 2.0;
    }
    EXPECT_NEAR(Area(ring.get()), exact, 1e-9);
    for (const VertexNode* v = ring.get(); v; v = v->next) {
        EXPECT_EQ(v->edgeFlag, 0);
        EXPECT_EQ(v->data2, 0);
        EXPECT_DOUBLE_EQ(v->z, 3.0);
    }
    EXPECT_EQ(arc->kind, 1);
    for (SegmentRec* s = p.list; s; s = s->next) EXPECT_EQ(s->kind, 1);
    // Every piece now runs the ring's way: each start is some piece's end.
    for (SegmentRec* s = p.list->next; s; s = s->next) {
        int ends = 0;
        for (SegmentRec* t = p.list->next; t; t = t->next) ends += PointsEqual(s->first(), t->second(), true);
        EXPECT_EQ(ends, 1);
    }
}

TEST(RingChaining, a_gap_keeps_the_rings_closed_before_it) {
    Pieces p;
    // Pieces are prepended: the open outline is added first so that it
    // comes last in the list.
    p.add({50, 0, 0}, {60, 0, 0});
    p.add({60, 0, 0}, {60, 10, 0});
    p.polygon({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}}, false);
    OwnedList<VertexNode> ring(ChainSegmentsIntoRings(p.list));
    ASSERT_TRUE(ring);
    EXPECT_EQ(CountNodes(ring.get()), 3);
    EXPECT_NEAR(Area(ring.get()), 50.0, 1e-9);

    Pieces open;
    open.add({0, 0, 0}, {10, 0, 0});
    open.add({10, 0, 0}, {10, 10, 0});
    EXPECT_EQ(ChainSegmentsIntoRings(open.list), nullptr);
    EXPECT_EQ(ChainSegmentsIntoRings(nullptr), nullptr);
}

TEST(RingChaining, a_hole_is_bridged_into_its_outer_ring_in_any_plane) {
    // A vertical face (in the plane y = 7) with a hole given first.
    Pieces p;
    p.polygon({{0, 7, 0}, {20, 7, 0}, {20, 7, 10}, {0, 7, 10}}, true);
    p.polygon({{5, 7, 2}, {5, 7, 6}, {9, 7, 6}, {9, 7, 2}}, false);
    OwnedList<VertexNode> ring(ChainSegmentsIntoRings(p.list));
    ASSERT_TRUE(ring);
    // 4 + 4 vertices and the bridge's two ends again.
    EXPECT_EQ(CountNodes(ring.get()), 10);
    bool rings[2] = {false, false};
    for (const VertexNode* v = ring.get(); v; v = v->next) {
        EXPECT_EQ(v->edgeFlag, 1);
        EXPECT_NEAR(v->y, 7.0, 1e-9);
        ASSERT_TRUE(v->data2 == 0 || v->data2 == 1);
        rings[v->data2] = true;
        // The outer ring is number 0.
        const bool outer = std::fabs(v->x) < 1e-9 || std::fabs(v->x - 20) < 1e-9;
        if (outer) {
            EXPECT_EQ(v->data2, 0);
        }
    }
    EXPECT_TRUE(rings[0] && rings[1]);
    // Laid flat, the bridged ring covers the face less its hole.
    double a = 0.0;
    const VertexNode* head = ring.get();
    for (const VertexNode* v = head; v; v = v->next) {
        const VertexNode* w = NextInRing(head, v);
        a += v->x * w->z - w->x * v->z;
    }
    EXPECT_NEAR(std::fabs(a) / 2.0, 200.0 - 16.0, 1e-9);
}
