// The closed-model check itself: a box closes whatever way its sides are
// cut into faces, and every way of leaving it open is found.
#include "tests/visual/closed_model.h"

#include <gtest/gtest.h>

namespace {

using closed_model::OpenEdges;
using closed_model::Quad;

Quad Q(Point3 a, Point3 b, Point3 c, Point3 d) {
    return {a, b, c, d};
}
Quad T(Point3 a, Point3 b, Point3 c) {
    return {a, b, c, a};
}

// A box 0..w x 0..d x 0..h, six quads; `skip` leaves one side out.
std::vector<Quad> Box(double w, double d, double h, int skip = -1) {
    const Point3 p000{0, 0, 0}, p100{w, 0, 0}, p110{w, d, 0}, p010{0, d, 0};
    const Point3 p001{0, 0, h}, p101{w, 0, h}, p111{w, d, h}, p011{0, d, h};
    std::vector<Quad> all{Q(p000, p100, p110, p010), Q(p001, p101, p111, p011), Q(p000, p100, p101, p001),
                          Q(p010, p110, p111, p011), Q(p000, p010, p011, p001), Q(p100, p110, p111, p101)};
    if (skip >= 0) all.erase(all.begin() + skip);
    return all;
}

TEST(ClosedModel, ABoxClosesHoweverItsSidesAreCut) {
    EXPECT_TRUE(OpenEdges(Box(100, 30, 300)).empty());
    // The front side as two triangles, and as three quads side by side,
    // whose inner corners lie on the bottom's and the top's edges.
    std::vector<Quad> split = Box(100, 30, 300, 2);
    split.push_back(T({0, 0, 0}, {100, 0, 0}, {100, 0, 300}));
    split.push_back(T({0, 0, 0}, {100, 0, 300}, {0, 0, 300}));
    EXPECT_TRUE(OpenEdges(split).empty());
    std::vector<Quad> strips = Box(100, 30, 300, 2);
    const double cuts[] = {0.0, 25.0, 60.0, 100.0};
    for (int i = 0; i < 3; ++i)
        strips.push_back(Q({cuts[i], 0, 0}, {cuts[i + 1], 0, 0}, {cuts[i + 1], 0, 300}, {cuts[i], 0, 300}));
    EXPECT_TRUE(OpenEdges(strips).empty()) << closed_model::Describe(OpenEdges(strips));
    // A degenerate face (all corners on one line) changes nothing.
    strips.push_back(Q({0, 0, 0}, {50, 0, 0}, {100, 0, 0}, {0, 0, 0}));
    EXPECT_TRUE(OpenEdges(strips).empty());
}

TEST(ClosedModel, AMissingSideAFinAndAGapAreFound) {
    // One side gone: its four edges are covered once.
    const auto open = OpenEdges(Box(100, 30, 300, 4));
    EXPECT_EQ(open.size(), 4u) << closed_model::Describe(open);
    for (const auto& e : open) EXPECT_EQ(e.coverings, 1);

    // A fin on an edge: three faces share it.
    std::vector<Quad> fin = Box(100, 30, 300);
    fin.push_back(Q({0, 0, 300}, {100, 0, 300}, {100, -50, 300}, {0, -50, 300}));
    bool three = false;
    for (const auto& e : OpenEdges(fin)) three = three || e.coverings == 3;
    EXPECT_TRUE(three);

    // The top cut in two pieces that do not meet: the gap's sides are open,
    // and the box's top edges are open only along the gap.
    std::vector<Quad> gap = Box(100, 30, 300, 1);
    gap.push_back(Q({0, 0, 300}, {40, 0, 300}, {40, 30, 300}, {0, 30, 300}));
    gap.push_back(Q({60, 0, 300}, {100, 0, 300}, {100, 30, 300}, {60, 30, 300}));
    const auto gapOpen = OpenEdges(gap);
    double length = 0.0;
    for (const auto& e : gapOpen) length += closed_model::detail::Dist(e.a, e.b);
    EXPECT_NEAR(length, 20 + 20 + 30 + 30, 1e-9) << closed_model::Describe(gapOpen);
}

TEST(ClosedModel, CornersWithinTheToleranceAreOne) {
    std::vector<Quad> box = Box(100, 30, 300);
    box[1][2].x += 1e-5;  // a top corner a hair off
    EXPECT_TRUE(OpenEdges(box).empty());
    box[1][2].x += 1.0;  // a centimetre off: the top no longer meets the sides
    EXPECT_FALSE(OpenEdges(box).empty());
}

}  // namespace
