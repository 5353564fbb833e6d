// Pairing: rectangle-wall lines (their caps dropped) and the segments of a
// chain (overlap, priority, ties), and the grid-backed pairing of a floor
// giving exactly what a scan of the whole chain gives.
#include <cstdio>
#include <random>

#include "tests/walls/recognition/recognition_fixture.h"

namespace {

using Pairing = RecognitionTest;

// The rectangle of lines a-b-c-d-a, in that pending order.
FaceEdge* Rectangle(Point3 a, Point3 b, Point3 c, Point3 d, double id = 7.0) {
    FaceEdge* pending = nullptr;
    SetPending(pending, {Line(a, b, id), Line(b, c, id), Line(c, d, id), Line(d, a, id)});
    return pending;
}

std::string Describe(const WallSegment* s) {
    char text[200];
    std::snprintf(text, sizeof text, "(%.6f,%.6f)-(%.6f,%.6f)#%d", s->start.x, s->start.y, s->end.x, s->end.y,
                  s->typeIndex);
    return text;
}

std::vector<std::string> Outcome(const DEFMURI& set) {
    std::vector<std::string> out;
    for (const WallPair* p = set.pairs; p; p = p->next) out.push_back(Describe(p->a) + "|" + Describe(p->b));
    out.push_back("--");
    for (const WallSegment* s = set.segments; s; s = s->next) out.push_back(Describe(s));
    return out;
}

}  // namespace

TEST_F(Pairing, rectangles_pair_their_long_sides_and_drop_caps_or_unreachable_lines) {
    // 300 x 20: the long sides pair, the caps go.
    FaceEdge* pending = Rectangle({0, 0, 0}, {300, 0, 0}, {300, 20, 0}, {0, 20, 0});
    set->PairWallLines(&pending);
    EXPECT_EQ(pending, nullptr);
    ASSERT_EQ(pairCount(), 1);
    EXPECT_TRUE(SameStretch(set->pairs->a, {0, 0, 0}, {300, 0, 0}));
    EXPECT_TRUE(Near(set->pairs->b->start, {0, 20, 0}) && Near(set->pairs->b->end, {300, 20, 0}));
    EXPECT_EQ(set->pairs->a->rectangleId, 7.0);
    set->FreeWallPairs();

    // 300 x 250: no probe of 60 reaches across; every line is dropped.
    pending = Rectangle({0, 0, 0}, {300, 0, 0}, {300, 250, 0}, {0, 250, 0});
    set->PairWallLines(&pending);
    EXPECT_EQ(pending, nullptr);
    EXPECT_EQ(pairCount(), 0);

    // The 40/50 box read from a 40-long side: the caps lie nearer (40) than
    // the first partner (50), so the 50-long sides are the wall.
    pending = Rectangle({0, 0, 0}, {40, 0, 0}, {40, 50, 0}, {0, 50, 0});
    set->PairWallLines(&pending);
    EXPECT_EQ(pending, nullptr);
    ASSERT_EQ(pairCount(), 1);
    EXPECT_TRUE(SameStretch(set->pairs->a, {40, 0, 0}, {40, 50, 0}) ||
                SameStretch(set->pairs->a, {0, 0, 0}, {0, 50, 0}));
    EXPECT_NEAR(std::fabs(set->pairs->a->start.x - set->pairs->b->start.x), 40.0, 1e-9);
}

TEST_F(Pairing, lines_of_rectangles_more_than_a_tenth_apart_never_pair) {
    addType("Mur", 3, 5);
    FaceEdge* pending = nullptr;
    SetPending(pending, {Line({0, 0, 0}, {300, 0, 0}, 1.0), Line({0, 20, 0}, {300, 20, 0}, 1.2)});
    set->PairWallLines(&pending);
    EXPECT_EQ(pairCount(), 0);
    EXPECT_EQ(pending, nullptr);

    SetPending(pending, {Line({0, 0, 0}, {300, 0, 0}, 1.0), Line({300, 20, 0}, {0, 20, 0}, 1.05)});
    pending->wallTypeName = "Mur";
    pending->externalSide = 1;
    set->PairWallLines(&pending);
    ASSERT_EQ(pairCount(), 1);
    // The partner was turned to run like the first line; types and marks
    // come from each line.
    EXPECT_TRUE(Near(set->pairs->b->start, {0, 20, 0}));
    EXPECT_EQ(set->pairs->a->colour, 5);
    EXPECT_EQ(set->pairs->a->typeIndex, 3);
    EXPECT_TRUE(set->pairs->a->external);
    EXPECT_EQ(set->pairs->b->colour, 7);
    EXPECT_FALSE(set->pairs->b->external);
    EXPECT_EQ(set->maxTypeIndex, 3);
}

TEST_F(Pairing, overlap_must_exceed_the_wall_distance_and_a_later_equal_candidate_wins) {
    WallSegment* s = segment({0, 0, 0}, {100, 0, 0});
    WallSegment* exact = segment({0, 20, 0}, {60, 20, 0});
    EXPECT_EQ(FindSegmentPartner(set.get(), s), nullptr);
    exact->end.x = 61;
    EXPECT_EQ(FindSegmentPartner(set.get(), s), exact);

    WallSegment* below = segment({61, -20, 0}, {0, -20, 0});
    EXPECT_EQ(FindSegmentPartner(set.get(), s), below);
    // Farther than the wall distance across: no candidate.
    WallSegment* far = segment({0, 61, 0}, {100, 61, 0});
    EXPECT_NE(FindSegmentPartner(set.get(), s), far);
    // Not parallel enough (cos 0.92): no candidate either.
    segment({0, 10, 0}, {92, 10 + 39.2, 0});
    EXPECT_EQ(FindSegmentPartner(set.get(), s), below);
}

TEST_F(Pairing, higher_priority_pairs_first_and_never_across_types) {
    addType("Słaba", 1);
    addType("Mocna", 2);
    segment({0, 0, 0}, {100, 0, 0}, "Słaba");
    segment({0, 20, 0}, {100, 20, 0}, "Mocna");
    segment({0, 40, 0}, {100, 40, 0}, "Mocna");
    segment({500, 0, 0}, {600, 0, 0}, "Słaba");
    segment({500, 20, 0}, {600, 20, 0}, "Słaba");
    set->PairSegments(false);
    ASSERT_EQ(pairCount(), 2);
    // Newest first: the weak pair was made after the strong one.
    EXPECT_EQ(set->pairs->a->typeIndex, 1);
    EXPECT_EQ(set->pairs->next->a->typeIndex, 2);
    EXPECT_TRUE(SameStretch(set->pairs->next->a, {0, 20, 0}, {100, 20, 0}));
    ASSERT_EQ(segmentCount(), 1);
    EXPECT_TRUE(SameStretch(set->segments, {0, 0, 0}, {100, 0, 0}));
}

TEST_F(Pairing, grid_pairing_of_a_crossing_floor_matches_a_scan_of_the_whole_chain) {
    addType("Słaba", 1);
    addType("Mocna", 2);
    const char* types[] = {kDefaultWallTypeName, "Słaba", "Mocna"};
    for (unsigned seed = 1; seed <= 4; ++seed) {
        std::mt19937 random(seed);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
        auto fill = [&](DEFMURI& target) {
            std::mt19937 again(seed);
            std::swap(random, again);
            for (int w = 0; w < 60; ++w) {
                const double x = pick(0, 100) * 10.0, y = pick(0, 100) * 10.0, len = pick(10, 60) * 10.0;
                const double t = pick(1, 4) * 10.0;
                const bool across = pick(0, 1) == 1;
                const std::string type = types[pick(0, 2)];
                Point3 a{x, y, 0}, b = across ? Point3{x, y + len, 0} : Point3{x + len, y, 0};
                Point3 c = across ? Point3{x + t, y, 0} : Point3{x, y + t, 0};
                Point3 d = across ? Point3{x + t, y + len, 0} : Point3{x + len, y + t, 0};
                for (auto [p, q] : {std::pair{a, b}, std::pair{c, d}}) {
                    WallSegment* s = NewWallSegment();
                    s->start = p;
                    s->end = q;
                    s->typeName = type;
                    target.ApplyWallType(*s);
                    target.AppendSegment(s);
                }
            }
            std::swap(random, again);
        };
        DEFMURI scan;
        scan.wallDistance = 60.0;
        scan.wallTypes = set->wallTypes;
        scan.useGrid = false;
        fill(scan);
        set->FreeSegments();
        set->FreeWallPairs();
        fill(*set);
        scan.PairSegments(true);
        set->PairSegments(true);
        EXPECT_GT(pairCount(), 10) << "seed " << seed;
        EXPECT_EQ(Outcome(*set), Outcome(scan)) << "seed " << seed;
    }
}
