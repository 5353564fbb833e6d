#include "core/geometry/edge_tree.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

struct Segment {
    Point3 a, b;
    bool live = false;
};

// Every live segment that really meets the question must be offered, each
// once and in leaf order, and no cleared one; checked after placing,
// replacing (often by a long segment, as a fan diagonal is) and clearing
// leaves, for sizes on both sides of the tree's level boundaries.
void ExpectNoMeetingMissed(int count, std::mt19937& rng) {
    std::uniform_real_distribution<double> coord(0.0, 50.0), step(-3.0, 3.0);
    auto shortSegment = [&] {
        const Point3 a{coord(rng), coord(rng), 0.0};
        return Segment{a, {a.x + step(rng), a.y + step(rng), 0.0}, true};
    };
    std::vector<Point3> pts{{0, 0, 0}, {50, 50, 0}};
    std::vector<Segment> seg(static_cast<size_t>(count));
    EdgeTree tree(count, pts);
    for (int i = 0; i < count; ++i) {
        seg[i] = shortSegment();
        tree.place(i, seg[i].a, seg[i].b);
    }
    tree.rebuild();
    for (int round = 0; round < 200; ++round) {
        const int i = static_cast<int>(rng() % count);
        switch (rng() % 4) {
            case 0:
                seg[i] = shortSegment();
                tree.set(i, seg[i].a, seg[i].b);
                break;
            case 1:
                seg[i] = {{coord(rng), coord(rng), 0.0}, {coord(rng), coord(rng), 0.0}, true};
                tree.set(i, seg[i].a, seg[i].b);
                break;
            case 2: {
                // A leaf goes and another takes a longer segment, in one step.
                const int other = static_cast<int>(rng() % count);
                if (other == i) break;
                seg[i].live = false;
                seg[other] = {seg[other].a, {coord(rng), coord(rng), 0.0}, true};
                tree.clearAndSet(i, other, seg[other].a, seg[other].b);
                break;
            }
            default:
                seg[i].live = false;
                tree.clear(i);
        }
        const Segment q = round % 2 ? shortSegment() : Segment{{0, coord(rng), 0}, {50, coord(rng), 0}, true};
        std::vector<int> offered;
        tree.any(q.a, q.b, [&](int leaf) {
            offered.push_back(leaf);
            return false;
        });
        for (size_t k = 1; k < offered.size(); ++k) ASSERT_LT(offered[k - 1], offered[k]) << count;
        std::vector<char> seen(static_cast<size_t>(count), 0);
        for (int leaf : offered) {
            ASSERT_TRUE(seg[leaf].live) << count << " leaf " << leaf;
            seen[leaf] = 1;
        }
        for (int j = 0; j < count; ++j) {
            Point3 x;
            if (seg[j].live && IntersectLines2d(q.a, q.b, seg[j].a, seg[j].b, x, 1, ZcGeContext::gTol)) {
                ASSERT_TRUE(seen[j]) << count << " missed leaf " << j << " in round " << round;
            }
        }
    }
}

}  // namespace

TEST(EdgeTree, every_live_segment_meeting_a_question_is_offered_in_leaf_order) {
    std::mt19937 rng(7);
    for (int count : {1, 2, 7, 8, 9, 63, 64, 65, 513, 700}) ExpectNoMeetingMissed(count, rng);
}

TEST(EdgeTree, a_question_stops_at_the_first_leaf_that_answers_yes) {
    const std::vector<Point3> pts{{0, 0, 0}, {10, 10, 0}};
    EdgeTree tree(20, pts);
    for (int i = 0; i < 20; ++i) tree.place(i, {0.5 * i, 0, 0}, {0.5 * i, 10, 0});
    tree.rebuild();
    std::vector<int> offered;
    EXPECT_TRUE(tree.any({0, 5, 0}, {10, 5, 0}, [&](int leaf) {
        offered.push_back(leaf);
        return leaf == 11;
    }));
    ASSERT_EQ(offered.size(), 12u);
    EXPECT_EQ(offered.back(), 11);
}
