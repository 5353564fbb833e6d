// The always-on check stops the process with the place and the condition.
#include "core/base/velm_assert.h"

#include <gtest/gtest.h>

#include "core/geometry/vertex_list.h"

TEST(VelmAssertDeathTest, a_false_condition_names_file_line_and_condition) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(VELM_ASSERT(1 + 1 == 3),
                 "velm_assert_test.cpp:[0-9]+: VELM_ASSERT\\(1 \\+ 1 == 3\\) failed");
    VELM_ASSERT(1 + 1 == 2);  // a true one passes quietly
}

TEST(VelmAssertDeathTest, a_list_append_without_a_head_stops) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(AppendVertex(nullptr, Point3{0, 0, 0}, 0, 0, 0), "VELM_ASSERT\\(head != nullptr\\)");
}

TEST(VelmAssertDeathTest, a_ring_walk_needs_its_ring_and_a_vertex_of_it) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    OwnedList<VertexNode> ring(NewVertex(0, 0, 0, 1, 0, 0, 0));
    ring->next = NewVertex(1, 0, 0, 1, 0, 0, 0);
    VertexNode* second = ring->next;
    EXPECT_EQ(NextInRing(ring.get(), second), ring.get());
    EXPECT_EQ(PrevInRing(ring.get(), ring.get()), second);
    EXPECT_DEATH(NextInRing<VertexNode>(ring.get(), nullptr), "VELM_ASSERT\\(node != nullptr\\)");
    EXPECT_DEATH(PrevInRing<VertexNode>(nullptr, second),
                 "VELM_ASSERT\\(head != nullptr && node != nullptr\\)");
}
