#include "core/geometry/vertex_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/polygon.h"

namespace {

const double kPi = std::acos(-1.0);

VertexNode* Make(const std::vector<Point3>& pts, const std::vector<int>& flags = {}) {
    VertexNode* head = nullptr;
    for (size_t i = 0; i < pts.size(); ++i) AppendVertex(&head, pts[i], flags.empty() ? 1 : flags[i], 0, 0);
    return head;
}

std::vector<Point3> Points(const VertexNode* list) {
    std::vector<Point3> out;
    for (; list; list = list->next) out.push_back(list->pt());
    return out;
}

using Owned = OwnedList<VertexNode>;

const std::vector<Point3> kSquare{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
const std::vector<Point3> kL{{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}};

}  // namespace

TEST(VertexLists, remove_node_and_reverse_keep_the_head_right) {
    VertexNode* list = Make(kSquare);
    VertexNode* second = list->next;
    EXPECT_EQ(RemoveNode(&list, list), second);
    EXPECT_EQ(list, second);
    EXPECT_EQ(RemoveNode(&list, nullptr), nullptr);
    list = ReverseList(list);
    EXPECT_EQ(list->x, 0);
    EXPECT_EQ(list->y, 1);
    EXPECT_EQ(CountNodes(list), 3);
    EXPECT_EQ(PrevInRing(list, list)->x, 1);
    EXPECT_EQ(NextInRing(list, list->next->next), list);
    FreeList(list);
}

TEST(VertexLists, sort_by_distance_runs_nearest_first_and_reverses_ties) {
    Owned list(Make({{3, 0, 0}, {1, 0, 0}, {-1, 0, 0}, {2, 0, 0}}));
    list.reset(SortVerticesByDistance({0, 0, 0}, list.release()));
    const auto pts = Points(list.get());
    ASSERT_EQ(pts.size(), 4u);
    EXPECT_EQ(pts[0].x, -1);  // the later of the two at distance 1
    EXPECT_EQ(pts[1].x, 1);
    EXPECT_EQ(pts[3].x, 3);
}

TEST(Cleaners, repeated_closing_point_and_repeats_inside_are_removed) {
    Owned list(Make({{0, 0, 0}, {1, 0, 0}, {1, 0, 0.0001}, {1, 1, 0}, {0, 1, 0}, {0, 0, 0}}));
    list.reset(RemoveDuplicateVertices(list.release()));
    EXPECT_EQ(CountNodes(list.get()), 4);
    Owned one(Make({{5, 5, 5}}));
    one.reset(RemoveDuplicateVertices(one.release()));
    EXPECT_EQ(CountNodes(one.get()), 1);
    EXPECT_EQ(RemoveDuplicateVertices(nullptr), nullptr);
}

TEST(Cleaners, vertices_on_edges_go_but_the_closing_edge_only_with_wrap) {
    const std::vector<Point3> pts{{0.5, 0, 0}, {1, 0, 0}, {1, 0.5, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 0}};
    Owned open(RemoveVerticesOnEdges(Make(pts), 0));
    EXPECT_EQ(CountNodes(open.get()), 5);  // (0.5, 0) lies on the closing edge and stays
    EXPECT_EQ(open->x, 0.5);
    Owned wrapped(RemoveVerticesOnEdges(Make(pts), 1));
    EXPECT_EQ(CountNodes(wrapped.get()), 4);
}

TEST(Cleaners, spike_goes_and_a_straight_run_stays) {
    // (2, 1) -> (3, 1) -> (2, 1) turns back on itself at (3, 1).
    const std::vector<Point3> pts{{0, 0, 0}, {1, 0, 0},         {2, 0, 0}, {2, 1, 0},
                                  {3, 1, 0}, {2, 1.0000001, 0}, {0, 1, 0}};
    Owned list(RemoveSpikeVertices(Make(pts), 0.001));
    const auto out = Points(list.get());
    bool hasSpike = false, hasStraight = false;
    for (const Point3& p : out) {
        hasSpike |= p.x == 3;
        hasStraight |= p.x == 1 && p.y == 0;
    }
    EXPECT_FALSE(hasSpike);
    EXPECT_TRUE(hasStraight);
    Owned straight(
        RemoveStraightVertices(Make({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}), 0.01));
    EXPECT_EQ(CountNodes(straight.get()), 4);
}

TEST(Cleaners, collinear_vertices_and_collinear_spikes) {
    Owned list(RemoveCollinearVertices(Make({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}), 0));
    EXPECT_EQ(CountNodes(list.get()), 4);
    // With sameFlagOnly a flag change keeps the vertex.
    Owned flagged(RemoveCollinearVertices(
        Make({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}, {1, 0, 1, 1, 1}), 1));
    EXPECT_EQ(CountNodes(flagged.get()), 5);
    Owned spikes(RemoveCollinearSpikes(Make({{0, 0, 0}, {3, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}})));
    EXPECT_EQ(CountNodes(spikes.get()), 4);
}

TEST(Orientation, counter_clockwise_square_is_zero_and_reversed_is_one) {
    Owned ccw(Make(kSquare));
    EXPECT_EQ(PolygonOrientation(ccw.get()), 0);
    Owned cw(ReverseList(Make(kSquare)));
    EXPECT_EQ(PolygonOrientation(cw.get()), 1);
    EXPECT_EQ(PolygonOrientation(nullptr), 1);
}

TEST(Orientation, normalize_keeps_each_edge_flag_on_its_edge) {
    // Clockwise triangle A(0,0) B(0,1) C(1,0) with the edge B->C invisible.
    const Point3 A{0, 0, 0}, B{0, 1, 0}, C{1, 0, 0};
    int reversed = -1;
    Owned tri(NormalizePolygon(1, Make({A, B, C}, {1, 0, 1}), &reversed));
    EXPECT_EQ(reversed, 1);
    EXPECT_EQ(PolygonOrientation(tri.get()), 0);
    int invisible = 0;
    for (VertexNode* v = tri.get(); v; v = v->next) {
        if (v->edgeFlag != 0) continue;
        ++invisible;
        const Point3 from = v->pt(), to = NextInRing(tri.get(), v)->pt();
        // The same pair of points, now walked from C to B.
        EXPECT_TRUE((PointsEqual(from, C, true) && PointsEqual(to, B, true)));
    }
    EXPECT_EQ(invisible, 1);
    Owned again(NormalizePolygon(1, tri.release(), &reversed));
    EXPECT_EQ(reversed, 0);
}

TEST(Area, square_in_either_orientation_and_l_shape_by_parts) {
    Owned square(Make(kSquare));
    EXPECT_NEAR(PolygonAreaByEars(square.get()), 1.0, 1e-12);
    Owned cw(ReverseList(Make(kSquare)));
    EXPECT_NEAR(PolygonAreaByEars(cw.get()), 1.0, 1e-12);
    Owned l(Make(kL));
    EXPECT_NEAR(PolygonAreaByEars(l.get()), 3.0, 1e-12);
    Owned lcw(ReverseList(Make(kL)));
    EXPECT_NEAR(PolygonAreaByEars(lcw.get()), 3.0, 1e-12);
    Owned two(Make({{0, 0, 0}, {1, 0, 0}}));
    EXPECT_EQ(PolygonAreaByEars(two.get()), -2.0);
    EXPECT_EQ(PolygonAreaByEars(l.get(), [] { return true; }), -1.0);
}

TEST(PointLocation, edges_vertices_and_each_mode) {
    Owned sq(Make({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}));
    EXPECT_EQ(PointInPolygon({1, 1, 0}, sq.get(), 0), 1);
    EXPECT_EQ(PointInPolygon({3, 1, 0}, sq.get(), 0), 0);
    EXPECT_EQ(PointInPolygon({2, 1, 0}, sq.get(), 1), 2);  // on an edge
    EXPECT_EQ(PointInPolygon({2, 1, 0}, sq.get(), 2), 0);
    EXPECT_EQ(PointInPolygon({2.05, 1, 0}, sq.get(), 1), 2);  // within 100 x tolerance
    EXPECT_EQ(PointInPolygon({2, 2, 0}, sq.get(), 1), 2);     // on a vertex
    EXPECT_EQ(PointInPolygon({0, 0, 0}, sq.get(), 2), 0);
    // Level with a vertex of a diamond: the vertex is crossed once, not twice.
    Owned diamond(Make({{0, -1, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}}));
    EXPECT_EQ(PointInPolygon({0, 0, 0}, diamond.get(), 0), 1);
    EXPECT_EQ(PointInPolygon({-2, 0, 0}, diamond.get(), 0), 0);
}

TEST(PointLocation, long_rings_answer_as_every_edge_would_through_the_locator) {
    // The plain test, every edge looked at: the reference both the point
    // location and the locator of long rings must agree with.
    const auto reference = [](const Point3& p, const VertexNode* ring, int mode) {
        for (const VertexNode* v = ring; v && mode != kEdgesUntested; v = v->next)
            if (IsOnSegmentTol(p, v->pt(), NextInRing(ring, v)->pt(), 100.0 * SharedTolerance))
                return mode == kEdgesReported ? kOnPolygonEdge : kOutsidePolygon;
        int count = 0;
        for (const VertexNode* v = ring; v; v = v->next) {
            const VertexNode* w = NextInRing(ring, v);
            if (((v->y < p.y && p.y <= w->y) || (w->y < p.y && p.y <= v->y)) &&
                v->x + (w->x - v->x) * (p.y - v->y) / (w->y - v->y) < p.x)
                ++count;
        }
        return count % 2 ? kInsidePolygon : kOutsidePolygon;
    };
    std::mt19937 rng(41);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int onEdge = 0;
    for (int round = 0; round < 12; ++round) {
        // A comb: long straight runs, tall teeth, steps on a grid so that
        // points fall level with vertices, and a slanted back.
        std::vector<Point3> pts;
        const int teeth = 20 + round * 15;
        for (int t = 0; t < teeth; ++t) {
            const double x = t * 10.0, h = std::floor(unit(rng) * 8.0) * 25.0 + 5.0;
            pts.push_back({x, 0, 0});
            pts.push_back({x + 5.0, 0, 0});
            pts.push_back({x + 5.0, h, 0});
            pts.push_back({x + 10.0, h, 0});
        }
        pts.push_back({teeth * 10.0, -50.0 - 30.0 * unit(rng), 0});
        pts.push_back({0, -60.0, 0});
        Owned comb(Make(pts));
        const RingLocator locator(comb.get());
        // Every edge as a set, and every other one: a set answers as its
        // edges would, by the locator too.
        std::vector<PlanEdge> every, half;
        for (const VertexNode* v = comb.get(); v; v = v->next) {
            every.push_back({v, NextInRing<const VertexNode>(comb.get(), v)});
            if (every.size() % 2) half.push_back(every.back());
        }
        const RingLocator halfLocator{std::span<const PlanEdge>(half)};
        std::vector<Point3> probes{
            {0, std::nan(""), 0}, {-1e6, 10, 0}, {1e6, 10, 0}, {50, 1e6, 0}, {50, -1e6, 0}};
        for (std::size_t k = 0; k < pts.size(); ++k) {
            const Point3 a = pts[k], b = pts[(k + 1) % pts.size()];
            const double t = unit(rng);
            const Point3 on{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), 0};
            probes.push_back(a);
            probes.push_back(on);
            // Across the edge by about the on-edge tolerance, either side.
            const double len = std::hypot(b.x - a.x, b.y - a.y), off = 0.2 * (unit(rng) - 0.5);
            if (len > 0)
                probes.push_back({on.x - off * (b.y - a.y) / len, on.y + off * (b.x - a.x) / len, 0});
            probes.push_back({unit(rng) * teeth * 10.0, unit(rng) * 300.0 - 80.0, 0});
        }
        for (const Point3& p : probes)
            for (int mode : {kEdgesUntested, kEdgesReported, kEdgesOutside}) {
                const int want = reference(p, comb.get(), mode);
                onEdge += want == kOnPolygonEdge;
                ASSERT_EQ(PointInPolygon(p, comb.get(), mode), want)
                    << p.x << ", " << p.y << " mode " << mode;
                ASSERT_EQ(locator.Where(p, mode), want) << p.x << ", " << p.y << " mode " << mode;
                ASSERT_EQ(PointInEdges(p, every, mode), want);
                ASSERT_EQ(halfLocator.Where(p, mode), PointInEdges(p, half, mode)) << p.x << ", " << p.y;
            }
    }
    EXPECT_GT(onEdge, 1000);
    // A flat ring holds every edge in one place.
    Owned flat(Make({{0, 0, 0}, {5, 0, 0}, {9, 0, 0}}));
    EXPECT_EQ(RingLocator(flat.get()).Where({3, 0, 0}, kEdgesReported), kOnPolygonEdge);
    EXPECT_EQ(RingLocator(nullptr).Where({3, 0, 0}, kEdgesReported), kOutsidePolygon);
}

TEST(PointLocation, a_point_beyond_a_rings_reach_is_outside_in_every_mode) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (const double scale : {1.0, 1e3, 1e6}) {
        // Long slanted and straight edges (the on-edge ellipse of a long edge
        // reaches furthest past its ends), far from the origin when scaled.
        std::vector<Point3> pts;
        for (int k = 0; k < 40; ++k) {
            const double a = 2.0 * std::numbers::pi * k / 40.0,
                         r = (k % 2 ? 400.0 : 150.0) * unit(rng) + 10.0;
            pts.push_back({scale + r * std::cos(a), scale + r * std::sin(a), 0});
        }
        pts.push_back({scale + 1000.0, scale, 0});
        Owned ring(Make(pts));
        double box[4];
        ASSERT_TRUE(RingReachBox(ring.get(), box));
        std::vector<Point3> beyond;
        const double past = 1e-9 * (box[2] - box[0]);
        for (const Point3& v : pts) {
            // Level with every vertex and across from it, just past the box.
            beyond.push_back({box[0] - past, v.y, 0});
            beyond.push_back({box[2] + past, v.y, 0});
            beyond.push_back({v.x, box[1] - past, 0});
            beyond.push_back({v.x, box[3] + past, 0});
        }
        for (const Point3& p : beyond)
            for (int mode : {kEdgesUntested, kEdgesReported, kEdgesOutside})
                ASSERT_EQ(PointInPolygon(p, ring.get(), mode), kOutsidePolygon)
                    << p.x << ", " << p.y << " mode " << mode << " scale " << scale;
        // Within the box a point on the ring's own edge is still found.
        EXPECT_EQ(PointInPolygon({scale + 1000.0, scale, 0}, ring.get(), kEdgesReported), kOnPolygonEdge);
    }
    Owned broken(Make({{0, 0, 0}, {std::nan(""), 1, 0}, {1, 1, 0}}));
    double box[4];
    EXPECT_FALSE(RingReachBox(broken.get(), box));
    EXPECT_FALSE(RingReachBox(nullptr, box));
}

TEST(PointLocation, insertion_test_inside_outside_and_on_edge) {
    Owned sq(Make({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}));
    EXPECT_TRUE(IsInsideByInsertion({1, 1, 0}, sq.get(), 0));
    EXPECT_FALSE(IsInsideByInsertion({1, 3, 0}, sq.get(), 1));
    EXPECT_TRUE(IsInsideByInsertion({2, 1, 0}, sq.get(), 1));
    EXPECT_FALSE(IsInsideByInsertion({2, 1, 0}, sq.get(), 0));
    Owned l(Make(kL));
    EXPECT_FALSE(IsInsideByInsertion({1.5, 1.5, 0}, l.get(), 0));  // in the notch
    EXPECT_TRUE(IsInsideByInsertion({0.5, 1.5, 0}, l.get(), 0));
    // The list is left as it was, marks cleared.
    EXPECT_EQ(CountNodes(l.get()), 6);
    for (VertexNode* v = l.get(); v; v = v->next) EXPECT_EQ(v->mark, 0);
}

TEST(PointLocation, simple_polygon_test_catches_a_bow_tie) {
    Owned bow(Make({{0, 0, 0}, {1, 1, 0}, {1, 0, 0}, {0, 1, 0}}));
    EXPECT_FALSE(IsSimplePolygon(bow.get()));
    Owned l(Make(kL));
    EXPECT_TRUE(IsSimplePolygon(l.get()));
}

TEST(ArcVertices, quarter_circle_gives_seventeen_vertices_on_step_multiples) {
    double area = 0;
    Owned arc(ArcToVertices(0.1, {0, 0, 0}, 1.0, 0.0, kPi / 2, &area, true));
    const auto pts = Points(arc.get());
    ASSERT_EQ(pts.size(), 17u);
    const double delta = 2 * std::asin(0.05);
    for (size_t i = 1; i + 1 < pts.size(); ++i) EXPECT_NEAR(std::atan2(pts[i].y, pts[i].x), i * delta, 1e-12);
    EXPECT_NEAR(pts.back().x, 0, 1e-12);
    EXPECT_NEAR(pts.back().y, 1, 1e-12);
    // The segments' area plus the chord polygon's is the quarter disc.
    double chordFan = 0;
    for (size_t i = 0; i + 1 < pts.size(); ++i)
        chordFan += (pts[i].x * pts[i + 1].y - pts[i + 1].x * pts[i].y) / 2;
    EXPECT_NEAR(chordFan + area, kPi / 4, 1e-12);
}

TEST(ArcVertices, without_from_start_interior_points_sit_on_multiples_from_zero) {
    Owned arc(ArcToVertices(0.1, {0, 0, 0}, 1.0, 0.33, 1.2, nullptr, false));
    const auto pts = Points(arc.get());
    const double delta = 2 * std::asin(0.05);
    EXPECT_NEAR(std::atan2(pts[0].y, pts[0].x), 0.33, 1e-12);
    for (size_t i = 1; i + 1 < pts.size(); ++i) {
        const double k = std::atan2(pts[i].y, pts[i].x) / delta;
        EXPECT_NEAR(k, std::round(k), 1e-9);
    }
    EXPECT_EQ(ArcToVertices(0.1, {0, 0, 0}, 0.0, 0.0, 1.0, nullptr, true), nullptr);
    EXPECT_EQ(ArcToVertices(0.0, {0, 0, 0}, 1.0, 0.0, 1.0, nullptr, true), nullptr);
}

TEST(Bridging, a_square_hole_joins_the_outer_ring_and_the_region_area_is_kept) {
    auto* outer = new ContourNode;
    outer->vertices = Make({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}});
    auto* hole = new ContourNode;
    hole->vertices = Make({{4, 4, 0}, {6, 4, 0}, {6, 6, 0}, {4, 6, 0}});  // counter-clockwise
    outer->next = hole;
    OwnedList<ContourNode> contours(outer);
    OwnedList<RingNode> ring(BridgeHoles(contours.get()));
    EXPECT_EQ(CountNodes(ring.get()), 4 + 4 + 2);
    EXPECT_NEAR(PolygonAreaByEars(ring.get()), 100.0 - 4.0, 1e-9);
    // Every hole vertex and every outer vertex is named; the bridge's two
    // ends are named twice.
    int twice = 0;
    for (RingNode* a = ring.get(); a; a = a->next) {
        int seen = 0;
        for (RingNode* b = ring.get(); b; b = b->next) seen += a->vertex == b->vertex;
        twice += seen == 2;
    }
    EXPECT_EQ(twice, 4);
}
