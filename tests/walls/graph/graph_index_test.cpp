// The point grids of one assembly or walk, made from bare lists: the pending
// list comes back whole (in order, without what was taken) however the
// scopes nest, and a kept face grid serves only the list it was made for.
#include "walls/graph/graph_index.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/walls/graph/graph_fixture.h"

namespace {

std::vector<FaceEdge*> InOrder(FaceEdge* list) {
    std::vector<FaceEdge*> out;
    for (FaceEdge* e = list; e; e = e->next) out.push_back(e);
    return out;
}

}  // namespace

TEST(GraphIndex, pending_edges_not_taken_come_back_in_order) {
    FaceEdge* pending = nullptr;
    FaceEdge* a = Line({0, 0, 0}, {100, 0, 0});
    FaceEdge* b = Line({100, 0, 0}, {200, 0, 0});
    FaceEdge* c = Line({0, 50, 0}, {100, 50, 0});
    FaceEdge* d = Line({100, 50, 0}, {200, 50, 0});
    SetPending(pending, {a, b, c, d});
    {
        graph_index::PendingEdges edges(pending);
        edges.take(b);
        EXPECT_EQ(b->next, nullptr);
        EXPECT_EQ(edges.firstPending(), a);
        edges.take(a);
        edges.take(d);
        EXPECT_EQ(edges.firstPending(), c);
        edges.finish();
    }
    EXPECT_EQ(InOrder(pending), std::vector<FaceEdge*>({c}));
    FreeList(pending);
    delete a;
    delete b;
    delete d;
}

TEST(GraphIndex, an_inner_scope_works_on_the_outer_index_and_leaves_the_list_to_it) {
    FaceEdge* pending = nullptr;
    FaceEdge* a = Line({0, 0, 0}, {100, 0, 0});
    FaceEdge* b = Line({100, 0, 0}, {200, 0, 0});
    FaceEdge* c = Line({200, 0, 0}, {300, 0, 0});
    SetPending(pending, {a, b, c});
    std::unique_ptr<graph_index::LineIndex> slot;
    {
        graph_index::IndexScope outer(slot, pending, nullptr, 1.0);
        graph_index::LineIndex* made = slot.get();
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->ends.near({100, 0, 0}), std::vector<int>({0, 1}));
        {
            graph_index::IndexScope inner(slot, pending, nullptr, 1.0);
            EXPECT_EQ(slot.get(), made);
            inner->take(b);
        }
        // Only the outer scope gives the list back.
        EXPECT_EQ(slot.get(), made);
        EXPECT_EQ(InOrder(pending), std::vector<FaceEdge*>({a, b}));
    }
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(InOrder(pending), std::vector<FaceEdge*>({a, c}));
    FreeList(pending);
    delete b;
}

TEST(GraphIndex, a_kept_face_grid_serves_only_the_list_and_cell_it_was_made_for) {
    WallFace* first = StraightFace({0, 0, 0}, {100, 0, 0});
    WallFace* other = StraightFace({0, 50, 0}, {100, 50, 0});
    const graph_index::FaceCache cache(first, 1.0);
    EXPECT_TRUE(cache.matches(first, 1.0));
    EXPECT_FALSE(cache.matches(other, 1.0));
    EXPECT_FALSE(cache.matches(first, 10.0));
    FreeFaceList(first);
    FreeFaceList(other);
}
