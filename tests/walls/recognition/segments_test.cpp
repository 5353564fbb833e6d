// Segments from faces: merges across gaps (and what prevents them),
// separator cuts, and the crossings resolved after each new pair.
#include <algorithm>
#include <random>
#include <sstream>

#include "tests/walls/recognition/recognition_fixture.h"
#include "walls/recognition/separators.h"

namespace {

using WallSegments = RecognitionTest;

std::vector<OwnedList<VertexNode>> Square(double x0, double y0, double x1, double y1) {
    VertexNode* ring = nullptr;
    for (Point3 p : {Point3{x0, y0, 0}, Point3{x1, y0, 0}, Point3{x1, y1, 0}, Point3{x0, y1, 0}})
        AppendVertex(&ring, p, 1, 0, 0);
    std::vector<OwnedList<VertexNode>> out;
    out.emplace_back(ring);
    return out;
}

const WallSegment* SegmentAlong(const WallSegment* chain, Point3 a, Point3 b) {
    for (; chain; chain = chain->next)
        if (SameStretch(chain, a, b)) return chain;
    return nullptr;
}

const WallPair* PairWith(const WallPair* pairs, Point3 a, Point3 b) {
    for (; pairs; pairs = pairs->next)
        if (SameStretch(pairs->a, a, b) || SameStretch(pairs->b, a, b)) return pairs;
    return nullptr;
}

}  // namespace

TEST_F(WallSegments, collinear_faces_merge_across_a_gap_within_the_wall_distance) {
    CFACCIATE g;
    SetFaces(g, {TypedFace({0, 0, 0}, {100, 0, 0}), TypedFace({150, 0, 0}, {300, 0, 0}),
                 TypedFace({370, 0, 0}, {500, 0, 0})});
    set->AddTypedSegments(&g, {}, {});
    EXPECT_EQ(g.faces, nullptr);
    ASSERT_EQ(segmentCount(), 2);
    const WallSegment* merged = SegmentAlong(set->segments, {0, 0, 0}, {300, 0, 0});
    ASSERT_NE(merged, nullptr);
    EXPECT_EQ(CountFaces(merged->faces), 2);
    EXPECT_NE(SegmentAlong(set->segments, {370, 0, 0}, {500, 0, 0}), nullptr);
}

TEST_F(WallSegments, a_pilaster_a_crossing_face_another_type_or_mark_keeps_faces_apart) {
    addType("Mur", 2, 4);
    auto split = [&](std::initializer_list<WallFace*> faces,
                     const std::vector<OwnedList<VertexNode>>& pilasters) {
        CFACCIATE g;
        SetFaces(g, faces);
        set->FreeSegments();
        set->AddTypedSegments(&g, pilasters, {});
        return segmentCount();
    };
    EXPECT_EQ(split({TypedFace({0, 0, 0}, {100, 0, 0}), TypedFace({150, 0, 0}, {300, 0, 0})},
                    Square(110, -10, 140, 10)),
              2);
    EXPECT_EQ(split({TypedFace({0, 0, 0}, {100, 0, 0}), TypedFace({150, 0, 0}, {300, 0, 0}),
                     TypedFace({125, -50, 0}, {125, 50, 0})},
                    {}),
              3);
    EXPECT_EQ(
        split({TypedFace({0, 0, 0}, {100, 0, 0}, "Mur"), TypedFace({150, 0, 0}, {300, 0, 0}, "Inny")}, {}),
        2);
    EXPECT_EQ(split({TypedFace({0, 0, 0}, {100, 0, 0}),
                     TypedFace({150, 0, 0}, {300, 0, 0}, kDefaultWallTypeName, true)},
                    {}),
              2);
    // Same type and mark on both: one segment that takes the type.
    EXPECT_EQ(split({TypedFace({0, 0, 0}, {100, 0, 0}, "Mur", true),
                     TypedFace({150, 0, 0}, {300, 0, 0}, "Mur", true)},
                    {}),
              1);
    EXPECT_EQ(set->segments->typeIndex, 2);
    EXPECT_EQ(set->segments->colour, 4);
    EXPECT_TRUE(set->segments->external);
}

TEST_F(WallSegments, a_separator_crossing_twice_cuts_three_pieces_one_through_an_end_none) {
    addType("Mur", 1);
    CFACCIATE g;
    WallFace* f = TypedFace({0, 0, 0}, {300, 0, 0});
    f->edges->next = Line({0, 0, 0}, {100, 0, 0});
    f->edges->next->wallTypeName = "Mur";
    SetFaces(g, {f});
    std::vector<SeparatorLine> separators = {
        {{200, -30, 0}, {200, 30, 0}}, {{100, -30, 0}, {100, 30, 0}}, {{300, -30, 0}, {300, 30, 0}}};
    set->AddTypedSegments(&g, {}, separators);
    ASSERT_EQ(segmentCount(), 3);
    // The head keeps the far end; the pieces cut off go to the end of the
    // chain, nearest the start first; the piece lying on a typed line takes
    // its type.
    EXPECT_TRUE(SameStretch(set->segments, {200, 0, 0}, {300, 0, 0}));
    const WallSegment* first = set->segments->next;
    EXPECT_TRUE(SameStretch(first, {0, 0, 0}, {100, 0, 0}));
    EXPECT_EQ(first->typeName, "Mur");
    EXPECT_TRUE(SameStretch(first->next, {100, 0, 0}, {200, 0, 0}));
    EXPECT_EQ(first->next->faces, set->segments->faces);
    // Three segments share one face list: it is freed once (sanitizers watch).
    set->FreeSegments();
}

TEST_F(WallSegments, a_weaker_wall_through_a_stronger_one_is_cut_out_of_its_width) {
    addType("Słaba", 1);
    addType("Mocna", 2);
    segment({100, -100, 0}, {100, 100, 0}, "Słaba");
    segment({0, 0, 0}, {300, 0, 0}, "Mocna");
    segment({120, -100, 0}, {120, 100, 0}, "Słaba");
    segment({0, 20, 0}, {300, 20, 0}, "Mocna");
    set->PairSegments(true);
    ASSERT_EQ(pairCount(), 3);
    EXPECT_NE(PairWith(set->pairs, {0, 0, 0}, {300, 0, 0}), nullptr);
    const WallPair* below = PairWith(set->pairs, {100, -100, 0}, {100, 0, 0});
    const WallPair* above = PairWith(set->pairs, {100, 20, 0}, {100, 100, 0});
    ASSERT_TRUE(below && above);
    EXPECT_TRUE(SameStretch(below->a, {120, -100, 0}, {120, 0, 0}) ||
                SameStretch(below->b, {120, -100, 0}, {120, 0, 0}));
    EXPECT_TRUE(SameStretch(above->a, {120, 20, 0}, {120, 100, 0}) ||
                SameStretch(above->b, {120, 20, 0}, {120, 100, 0}));
    EXPECT_EQ(segmentCount(), 0);
}

TEST_F(WallSegments, an_l_corner_of_equal_types_and_a_weaker_wall_ending_at_a_stronger_one) {
    segment({0, 0, 0}, {300, 0, 0});
    segment({20, 20, 0}, {300, 20, 0});
    segment({0, 0, 0}, {0, 300, 0});
    segment({20, 20, 0}, {20, 300, 0});
    set->PairSegments(true);
    ASSERT_EQ(pairCount(), 2);
    EXPECT_NE(PairWith(set->pairs, {0, 0, 0}, {300, 0, 0}), nullptr);
    EXPECT_NE(PairWith(set->pairs, {20, 20, 0}, {300, 20, 0}), nullptr);
    EXPECT_NE(PairWith(set->pairs, {0, 0, 0}, {0, 300, 0}), nullptr);
    EXPECT_NE(PairWith(set->pairs, {20, 20, 0}, {20, 300, 0}), nullptr);
}

TEST(SegmentFaces, unlink_face_clears_the_link_and_ignores_strangers) {
    WallFace* a = NewWallFace();
    WallFace* b = NewWallFace();
    WallFace* stranger = NewWallFace();
    a->next = b;
    WallFace* list = a;
    UnlinkFace(stranger, &list);
    EXPECT_EQ(list, a);
    UnlinkFace(a, &list);
    EXPECT_EQ(list, b);
    EXPECT_EQ(a->next, nullptr);
    FreeFaceList(a);
    FreeFaceList(b);
    FreeFaceList(stranger);
}

TEST_F(WallSegments, three_d_segments_merge_by_top_elevation_and_ignore_types) {
    auto topped = [](WallFace* f, double top) {
        f->edges->topZ = top;
        return f;
    };
    CFACCIATE g;
    SetFaces(g, {topped(TypedFace({0, 0, 0}, {100, 0, 0}, "Mur"), 275.0),
                 topped(TypedFace({150, 0, 0}, {300, 0, 0}), 275.0),
                 topped(TypedFace({350, 0, 0}, {400, 0, 0}), 300.0)});
    set->AddSegmentsFromFaces(&g);
    ASSERT_EQ(segmentCount(), 2);
    const WallSegment* merged = SegmentAlong(set->segments, {0, 0, 0}, {300, 0, 0});
    ASSERT_NE(merged, nullptr);
    EXPECT_EQ(merged->topZ, 275.0);
    EXPECT_EQ(merged->typeName, kDefaultWallTypeName);
    EXPECT_EQ(SegmentAlong(set->segments, {350, 0, 0}, {400, 0, 0})->topZ, 300.0);
}

// A floor of random pieces along a few lines, with cross faces standing in
// some gaps, filled in two graphs (the second meeting the first one's
// chain): the grid must merge exactly as the walk of every face does.
TEST_F(WallSegments, merges_through_the_face_grid_match_the_walk_of_every_face) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 random(seed);
        auto graphFaces = [&random](double yBase) {
            std::vector<WallFace*> faces;
            std::uniform_real_distribution<double> gap(10.0, 90.0), len(40.0, 300.0), cross(0.0, 1.0),
                nearEnd(0.0, 8.0);
            for (int line = 0; line < 6; ++line) {
                const double y = yBase + line * 40.0;
                for (double x = 0; x < 2000.0;) {
                    const double l = len(random), g = gap(random);
                    faces.push_back(TypedFace({x, y, 0}, {x + l, y, 0}));
                    if (cross(random) < 0.3)
                        faces.push_back(TypedFace({x + l + g / 2, y - 20, 0}, {x + l + g / 2, y + 20, 0}));
                    // Across the face just short of its end: no crossing of
                    // the face alone, one of any merge beyond that end.
                    if (cross(random) < 0.2) {
                        const double at = x + l - nearEnd(random);
                        faces.push_back(TypedFace({at, y - 20, 0}, {at, y + 20, 0}));
                    }
                    x += l + g;
                }
            }
            std::shuffle(faces.begin(), faces.end(), random);
            return faces;
        };
        const std::vector<WallFace*> first = graphFaces(0.0), second = graphFaces(10.0);
        auto fill = [&](DEFMURI& target) {
            for (const std::vector<WallFace*>* faces : {&first, &second}) {
                CFACCIATE g;
                WallFace** tail = &g.faces;
                for (WallFace* f : *faces) {
                    WallFace* copy = TypedFace(f->start, f->end);
                    *tail = copy;
                    tail = &copy->next;
                }
                target.AddTypedSegments(&g, {}, {});
            }
            std::ostringstream out;
            for (const WallSegment* w = target.segments; w; w = w->next)
                out << w->start.x << ',' << w->start.y << ' ' << w->end.x << ',' << w->end.y << ' '
                    << CountFaces(w->faces) << '\n';
            return out.str();
        };
        DEFMURI walk;
        walk.wallDistance = set->wallDistance;
        walk.useGrid = false;
        const std::string expected = fill(walk), got = fill(*set);
        EXPECT_EQ(got, expected) << "seed " << seed;
        EXPECT_LT(segmentCount(), static_cast<int>(first.size() + second.size())) << "seed " << seed;
        for (const std::vector<WallFace*>* faces : {&first, &second})
            for (WallFace* f : *faces) FreeFaceList(f);
        set->FreeSegments();
    }
}
