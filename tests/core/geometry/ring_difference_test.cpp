// The ring kernel checked by areas that must add up: what is left of a
// polygon is its area less the part the cutter covers, the latter worked out
// independently by clipping the polygon against the convex cutter.
#include "core/geometry/ring_difference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "core/geometry/polygon.h"

namespace {

using Pts = std::vector<Point3>;

VertexNode* Ring(const Pts& pts, int flag = 1) {
    VertexNode* head = nullptr;
    for (const Point3& p : pts) AppendVertex(&head, p, flag, 0, 0);
    return head;
}

double Signed(const VertexNode* ring) {
    double sum = 0.0;
    for (const VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = v->next ? v->next : ring;
        sum += v->x * w->y - w->x * v->y;
    }
    return sum / 2.0;
}

double Signed(const Pts& pts) {
    double sum = 0.0;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const Point3& p = pts[i];
        const Point3& q = pts[(i + 1) % pts.size()];
        sum += p.x * q.y - q.x * p.y;
    }
    return sum / 2.0;
}

// The subject clipped against a convex counter-clockwise cutter.
Pts ClipConvex(Pts subject, const Pts& cutter) {
    for (std::size_t i = 0; i < cutter.size() && !subject.empty(); ++i) {
        const Point3 a = cutter[i], b = cutter[(i + 1) % cutter.size()];
        auto side = [&](const Point3& p) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); };
        Pts out;
        for (std::size_t j = 0; j < subject.size(); ++j) {
            const Point3 p = subject[j], q = subject[(j + 1) % subject.size()];
            const double sp = side(p), sq = side(q);
            if (sp >= 0) out.push_back(p);
            if ((sp >= 0) != (sq >= 0)) {
                const double t = sp / (sp - sq);
                out.push_back({p.x + t * (q.x - p.x), p.y + t * (q.y - p.y), 0});
            }
        }
        subject = out;
    }
    return subject;
}

struct Result {
    std::vector<OwnedList<VertexNode>> rings;
    double signedSum = 0.0;
};

Result Subtract(const Pts& subject, const Pts& cutter, int cutterFlag = 1) {
    OwnedList<VertexNode> s(Ring(subject)), c(Ring(cutter, cutterFlag));
    Result r;
    r.rings = SubtractRing(s.get(), c.get(), 0.001);
    for (const auto& ring : r.rings) r.signedSum += Signed(ring.get());
    return r;
}

const Pts kWall{{0, 0, 0}, {400, 0, 0}, {400, 275, 0}, {0, 275, 0}};

}  // namespace

TEST(RingDifference, a_hole_running_along_the_border_becomes_a_notch_and_one_running_through_splits) {
    // A door on the bottom: the sill lies along the wall's bottom edge.
    const Result door = Subtract(kWall, {{150, 0, 0}, {240, 0, 0}, {240, 210, 0}, {150, 210, 0}});
    ASSERT_EQ(door.rings.size(), 1u);
    EXPECT_EQ(CountNodes(door.rings[0].get()), 8);
    EXPECT_NEAR(door.signedSum, 400 * 275 - 90 * 210, 1e-6);
    // A window wider than the wall: the piece below and the piece above.
    const Result band = Subtract(kWall, {{-10, 90, 0}, {410, 90, 0}, {410, 210, 0}, {-10, 210, 0}});
    ASSERT_EQ(band.rings.size(), 2u);
    for (const auto& ring : band.rings) {
        EXPECT_EQ(CountNodes(ring.get()), 4);
        EXPECT_GT(Signed(ring.get()), 0.0);
    }
    EXPECT_NEAR(band.signedSum, 400 * 275 - 400 * 120, 1e-6);
    // A clockwise subject gives clockwise pieces, whatever way the cutter runs.
    const Pts clockwise{kWall[3], kWall[2], kWall[1], kWall[0]};
    const Result cw = Subtract(clockwise, {{-10, 210, 0}, {410, 210, 0}, {410, 90, 0}, {-10, 90, 0}});
    ASSERT_EQ(cw.rings.size(), 2u);
    for (const auto& ring : cw.rings) EXPECT_LT(Signed(ring.get()), 0.0);
}

TEST(RingDifference, inside_apart_covering_and_touching_cutters) {
    // Inside: the subject and the cutter as a hole, run the other way.
    const Result inside = Subtract(kWall, {{100, 90, 0}, {200, 90, 0}, {200, 210, 0}, {100, 210, 0}});
    ASSERT_EQ(inside.rings.size(), 2u);
    EXPECT_NEAR(inside.signedSum, 400 * 275 - 100 * 120, 1e-6);
    // Apart, and lying against the outside of an edge: the subject unchanged.
    for (const Pts& cutter : {Pts{{500, 0, 0}, {600, 0, 0}, {600, 50, 0}},
                              Pts{{100, -50, 0}, {200, -50, 0}, {200, 0, 0}, {100, 0, 0}}}) {
        const Result r = Subtract(kWall, cutter);
        ASSERT_EQ(r.rings.size(), 1u);
        EXPECT_NEAR(r.signedSum, 400 * 275, 1e-6);
        EXPECT_EQ(CountNodes(r.rings[0].get()), 4);
    }
    // Covering: nothing left. Degenerate cutter: the subject.
    EXPECT_TRUE(Subtract(kWall, {{-1, -1, 0}, {401, -1, 0}, {401, 276, 0}, {-1, 276, 0}}).rings.empty());
    EXPECT_EQ(Subtract(kWall, {{1, 1, 0}, {2, 2, 0}}).rings.size(), 1u);
    // A cutter sharing a corner and two edge stretches takes the corner off.
    const Result corner = Subtract(kWall, {{300, 0, 0}, {400, 0, 0}, {400, 100, 0}, {300, 100, 0}});
    ASSERT_EQ(corner.rings.size(), 1u);
    EXPECT_EQ(CountNodes(corner.rings[0].get()), 6);
    EXPECT_NEAR(corner.signedSum, 400 * 275 - 100 * 100, 1e-6);
}

TEST(RingDifference, edges_keep_their_flags_and_the_switch_points_are_marked) {
    const Result door = Subtract(kWall, {{150, 0, 0}, {240, 0, 0}, {240, 210, 0}, {150, 210, 0}}, 7);
    ASSERT_EQ(door.rings.size(), 1u);
    int fromCutter = 0, marked = 0;
    for (const VertexNode* v = door.rings[0].get(); v; v = v->next) {
        fromCutter += v->edgeFlag == 7;
        marked += v->mark;
        // The z of the plane is kept.
        EXPECT_EQ(v->z, 0.0);
    }
    EXPECT_EQ(fromCutter, 3);  // the jambs and the head
    EXPECT_EQ(marked, 2);
}

TEST(RingDifference, random_convex_cutters_on_a_grid_take_exactly_their_overlap) {
    // Grid coordinates make shared edges, vertices on edges and collinear
    // overlaps common; the overlap comes from clipping, not from the rings.
    std::mt19937 rng(22);
    std::uniform_int_distribution<int> coord(-2, 12);
    const Pts notched{{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {6, 10, 0},
                      {6, 4, 0}, {4, 4, 0},  {4, 10, 0},  {0, 10, 0}};
    for (int round = 0; round < 400; ++round) {
        const double x0 = coord(rng), y0 = coord(rng);
        const double x1 = x0 + 1 + coord(rng) % 6 + 2, y1 = y0 + 1 + coord(rng) % 6 + 2;
        Pts cutter;
        if (round % 2)
            cutter = {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}};
        else
            cutter = {{x0, y0, 0}, {x1, y0, 0}, {x0, y1, 0}};
        const double expected = Signed(notched) - Signed(ClipConvex(notched, cutter));
        const Result r = Subtract(notched, cutter);
        EXPECT_NEAR(r.signedSum, expected, 1e-6)
            << "round " << round << " cutter " << x0 << "," << y0 << " " << x1 << "," << y1;
    }
}

TEST(RingBoolean, intersection_difference_and_union_add_up_for_grid_cutters) {
    // The three operations of one kernel: A = (A - B) + (A and B), and the
    // union is both less what they share; the overlap comes from clipping.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-2, 12);
    const Pts notched{{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {6, 10, 0},
                      {6, 4, 0}, {4, 4, 0},  {4, 10, 0},  {0, 10, 0}};
    auto sum = [](const std::vector<RingLoop>& loops) {
        double a = 0.0;
        for (const RingLoop& l : loops) {
            a += Signed(l.ring.get());
            EXPECT_EQ(static_cast<int>(l.from.size()), CountNodes(l.ring.get()));
        }
        return a;
    };
    for (int round = 0; round < 200; ++round) {
        const double x0 = coord(rng), y0 = coord(rng);
        const double x1 = x0 + 1 + coord(rng) % 6 + 2, y1 = y0 + 1 + coord(rng) % 6 + 2;
        const Pts cutter{{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}};
        const double overlap = Signed(ClipConvex(notched, cutter));
        OwnedList<VertexNode> a(Ring(notched)), b(Ring(cutter));
        const RingBoolean op(a.get(), b.get(), 0.001);
        EXPECT_NEAR(sum(op.Trace(RingOperation::kIntersection)), overlap, 1e-6) << "round " << round;
        EXPECT_NEAR(sum(op.Trace(RingOperation::kDifference)), Signed(notched) - overlap, 1e-6)
            << "round " << round;
        if (overlap > 1e-9) {
            EXPECT_NEAR(sum(op.Trace(RingOperation::kUnion)), Signed(notched) + Signed(cutter) - overlap,
                        1e-6)
                << "round " << round;
            EXPECT_FALSE(op.Apart());
        }
    }
}

TEST(RingBoolean, long_rings_crossing_everywhere_meet_at_every_crossing) {
    // Two combs laid across each other, their teeth crossing hundreds of
    // times: a crossing missed would join the wrong loops, so the areas
    // would not add up and points would land in the wrong result.
    const auto comb = [](int teeth, double turn, double shift) {
        Pts pts;
        const auto put = [&](double x, double y) {
            pts.push_back({x * std::cos(turn) - y * std::sin(turn) + shift,
                           x * std::sin(turn) + y * std::cos(turn) + shift, 0});
        };
        for (int t = 0; t < teeth; ++t) {
            put(t * 10.0, 0);
            put(t * 10.0 + 4.0, 0);
            put(t * 10.0 + 4.0, 300.0 + (t % 7) * 3.0);
            put(t * 10.0 + 10.0, 300.0 + (t % 7) * 3.0);
        }
        put(teeth * 10.0, -40.0);
        put(0, -40.0);
        return pts;
    };
    const auto inside = [](const Point3& p, const VertexNode* ring) {
        return PointInPolygon(p, ring, kEdgesUntested) == kInsidePolygon;
    };
    std::mt19937 rng(12);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (const double turn : {1.5707963267948966, 1.2, 0.9}) {
        const Pts a = comb(30, 0.0, 0.0), b = comb(28, turn, 150.0 + 37.0 * turn);
        OwnedList<VertexNode> ra(Ring(a)), rb(Ring(b));
        const RingBoolean op(ra.get(), rb.get(), 0.001);
        const std::vector<RingLoop> both = op.Trace(RingOperation::kIntersection);
        double overlap = 0.0;
        for (const RingLoop& l : both) overlap += Signed(l.ring.get());
        EXPECT_GT(both.size(), 20u) << "turn " << turn;
        // Asked for no more loops than there are, the same loops; for fewer, none.
        EXPECT_EQ(op.Trace(RingOperation::kIntersection, both.size()).size(), both.size());
        EXPECT_TRUE(op.Trace(RingOperation::kIntersection, both.size() - 1).empty());
        double left = 0.0, joined = 0.0;
        for (const RingLoop& l : op.Trace(RingOperation::kDifference)) left += Signed(l.ring.get());
        for (const RingLoop& l : op.Trace(RingOperation::kUnion)) joined += Signed(l.ring.get());
        // The combs run clockwise; the kernel turns them round.
        EXPECT_NEAR(left, std::fabs(Signed(a)) - overlap, 1e-6) << "turn " << turn;
        EXPECT_NEAR(joined, std::fabs(Signed(a)) + std::fabs(Signed(b)) - overlap, 1e-6) << "turn " << turn;
        for (int k = 0; k < 2000; ++k) {
            const Point3 p{unit(rng) * 320.0 - 10.0, unit(rng) * 360.0 - 50.0, 0};
            bool inResult = false;
            for (const RingLoop& l : both) inResult = inResult != inside(p, l.ring.get());
            ASSERT_EQ(inResult, inside(p, ra.get()) && inside(p, rb.get())) << p.x << ", " << p.y;
        }
    }
}

TEST(RingBoolean, reversing_a_ring_keeps_each_edge_with_its_properties) {
    OwnedList<VertexNode> ring(Ring(kWall));
    int flag = 1;
    for (VertexNode* v = ring.get(); v; v = v->next) v->edgeFlag = flag++, v->mark = v->edgeFlag == 2;
    const OwnedList<VertexNode> back = ReversedRing(ring.get());
    EXPECT_GT(RingSignedArea2(ring.get()), 0.0);
    EXPECT_NEAR(RingSignedArea2(back.get()), -RingSignedArea2(ring.get()), 1e-9);
    // Each edge of the reversed ring runs between the same two points as the
    // original edge whose flag it carries.
    const VertexNode* original = ring.get();
    const VertexNode* reversed = back.get();
    for (const VertexNode* v = reversed; v; v = v->next) {
        const VertexNode* w = NextInRing(reversed, v);
        const VertexNode* o = original;
        while (o->edgeFlag != v->edgeFlag) o = o->next;
        EXPECT_EQ(w->pt().x, o->x);
        EXPECT_EQ(w->pt().y, o->y);
        EXPECT_EQ(v->x, NextInRing(original, o)->x);
        EXPECT_EQ(v->mark, o->mark);
    }
}

namespace {

// Whether two traced loop lists are the same to the bit, vertex by vertex.
::testing::AssertionResult SameLoops(const std::vector<RingLoop>& x, const std::vector<RingLoop>& y) {
    if (x.size() != y.size())
        return ::testing::AssertionFailure() << x.size() << " loops against " << y.size();
    for (std::size_t l = 0; l < x.size(); ++l) {
        const VertexNode *v = x[l].ring.get(), *w = y[l].ring.get();
        for (std::size_t i = 0; v || w; ++i, v = v->next, w = w->next) {
            if (!v || !w) return ::testing::AssertionFailure() << "loop " << l << " lengths differ";
            if (v->x != w->x || v->y != w->y || v->z != w->z || v->spare != w->spare || v->mark != w->mark ||
                v->edgeFlag != w->edgeFlag || v->data1 != w->data1 ||
                x[l].from[i].ring != y[l].from[i].ring || x[l].from[i].edge != y[l].from[i].edge)
                return ::testing::AssertionFailure() << "loop " << l << " vertex " << i << " differs";
        }
    }
    return ::testing::AssertionSuccess();
}

// A counter-clockwise comb along x, its teeth of varying height; with
// `pinch`, every fifth tooth carries a diamond standing on one point of its
// top, which the ring passes twice (the walk takes it as a loop apart).
Pts CcwComb(int teeth, bool pinch) {
    Pts pts{{0, -40, 0}, {teeth * 10.0, -40, 0}};
    for (int t = teeth - 1; t >= 0; --t) {
        const double top = 300.0 + (t % 7) * 3.0, x = t * 10.0;
        pts.push_back({x + 10.0, top, 0});
        if (pinch && t % 5 == 1)
            for (const Point3& p :
                 Pts{{x + 7, top, 0}, {x + 9, top + 20, 0}, {x + 7, top + 40, 0}, {x + 5, top + 20, 0}})
                pts.push_back(p);
        pts.push_back({x + 7.0 - (pinch && t % 5 == 1 ? 0.0 : 1.0), top, 0});
        pts.push_back({t * 10.0 + 4.0, top, 0});
        pts.push_back({t * 10.0 + 4.0, 0, 0});
        pts.push_back({t * 10.0, 0, 0});
    }
    return pts;
}

}  // namespace

TEST(RingBoolean, near_a_short_ring_a_long_one_answers_as_the_whole_does) {
    // A long ring and short ones laid across, along, inside and round its
    // teeth: taken by its near part, every class and every loop of every
    // operation must be those of the whole, to the bit. Short rings that
    // cover teeth wholly put runs of far edges inside them; edges laid on
    // the comb's own lines match edges; the pinched comb has vertices in
    // one node far from the short ring.
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int withRuns = 0, withRunsInside = 0;
    for (const bool pinch : {false, true}) {
        const Pts comb = CcwComb(60, pinch);
        OwnedList<VertexNode> longRing(Ring(comb, 3));
        const RingPoints points = PointsOfRing(longRing.get());
        for (int trial = 0; trial < 120; ++trial) {
            const double x = unit(rng) * 600.0, y = -60.0 + unit(rng) * 420.0;
            Pts shortPts;
            switch (trial % 5) {
                case 0:  // a small box, its sides on the teeth's lines now and then
                    shortPts = {{std::round(x), std::round(y), 0},
                                {std::round(x) + 4.0 + unit(rng) * 20.0, std::round(y), 0},
                                {std::round(x) + 4.0 + unit(rng) * 20.0, std::round(y) + 30.0, 0},
                                {std::round(x), std::round(y) + 30.0, 0}};
                    break;
                case 1:  // a long strip askew across many teeth
                    shortPts = {{x, y, 0},
                                {x + 300.0, y + 90.0 * unit(rng), 0},
                                {x + 300.0, y + 100.0, 0},
                                {x, y + 6.0, 0}};
                    break;
                case 2:  // a box covering whole teeth
                    shortPts = {{x - 50.0, -20.0, 0},
                                {x + 50.0, -20.0, 0},
                                {x + 50.0, 330.0, 0},
                                {x - 50.0, 330.0, 0}};
                    break;
                case 3: {  // a star of a few points
                    const int n = 5 + trial % 4;
                    for (int k = 0; k < n; ++k) {
                        const double r = (k % 2 ? 8.0 : 25.0) * (0.5 + unit(rng)),
                                     a = 6.283185307179586 * k / n;
                        shortPts.push_back({x + r * std::cos(a), y + r * std::sin(a), 0});
                    }
                    break;
                }
                default:  // a sliver inside one tooth, clockwise
                    shortPts = {{std::floor(x / 10.0) * 10.0 + 1.0, 100.0, 0},
                                {std::floor(x / 10.0) * 10.0 + 1.0, 200.0, 0},
                                {std::floor(x / 10.0) * 10.0 + 3.0, 200.0, 0},
                                {std::floor(x / 10.0) * 10.0 + 3.0, 100.0, 0}};
                    break;
            }
            OwnedList<VertexNode> shortRing(Ring(shortPts, 5));
            for (const double snap : {0.1, 0.001}) {
                const std::vector<Point3> crowded = CrowdedVertices(longRing.get(), snap);
                EXPECT_EQ(crowded.empty(), !pinch);
                const std::optional<RingNearPart> part = NearPartOf(points, shortRing.get(), snap, crowded);
                ASSERT_TRUE(part.has_value());
                if (part->farEdges > 0) ++withRuns;
                for (const int longAt : {0, 1}) {
                    const VertexNode* a = longAt == 0 ? longRing.get() : shortRing.get();
                    const VertexNode* b = longAt == 0 ? shortRing.get() : longRing.get();
                    const RingBoolean whole(a, b, snap), near(a, b, snap, *part, longAt);
                    SCOPED_TRACE(::testing::Message() << "trial " << trial << " pinch " << pinch << " snap "
                                                      << snap << " long ring " << longAt);
                    EXPECT_EQ(near.Apart(), whole.Apart());
                    EXPECT_EQ(near.Within(0), whole.Within(0));
                    EXPECT_EQ(near.Within(1), whole.Within(1));
                    if (longAt == 0 && !whole.AllOf(0, RingEdgeClass::kOutside, RingEdgeClass::kSame) &&
                        part->farEdges > 0)
                        ++withRunsInside;
                    for (const RingOperation op :
                         {RingOperation::kDifference, RingOperation::kIntersection, RingOperation::kUnion}) {
                        EXPECT_TRUE(SameLoops(near.Trace(op), whole.Trace(op)));
                        EXPECT_TRUE(SameLoops(near.Trace(op, 1), whole.Trace(op, 1)));
                    }
                }
            }
        }
    }
    // Most short rings leave most of the comb far, and some hold far edges.
    EXPECT_GT(withRuns, 400);
    EXPECT_GT(withRunsInside, 40);
}

TEST(RingBoolean, crowded_vertices_are_those_with_another_within_the_snap) {
    OwnedList<VertexNode> ring(
        Ring({{0, 0, 0}, {10, 0, 0}, {10.05, 0.05, 0}, {10, 10, 0}, {5, 10.2, 0}, {5, 10, 0}, {0, 10, 0}}));
    const std::vector<Point3> all = CrowdedVertices(ring.get(), 0.1);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].x, 10.0);
    EXPECT_EQ(all[1].x, 10.05);
    // Only those near the box are looked for; points not numbers are near nothing.
    const double box[4] = {4, 9, 6, 11};
    EXPECT_TRUE(CrowdedVertices(ring.get(), 0.1, box).empty());
    EXPECT_EQ(CrowdedVertices(ring.get(), 0.25, box).size(), 2u);
    OwnedList<VertexNode> odd(Ring({{0, 0, 0}, {NAN, 0, 0}, {NAN, 0, 0}, {1, 1, 0}}));
    EXPECT_TRUE(CrowdedVertices(odd.get(), 0.1).empty());
}

TEST(RingBoolean, a_long_ring_is_apart_from_a_small_one_only_beyond_the_margin_and_outside_it) {
    // A "U" of many corners, its sides cut into short edges: its mouth lies
    // within its box but outside it, so only the crossings of its edges
    // tell the mouth from its arms.
    const Pts corners = {{0, 0, 0},     {1200, 0, 0},  {1200, 1000, 0}, {800, 1000, 0},
                         {800, 400, 0}, {400, 400, 0}, {400, 1000, 0},  {0, 1000, 0}};
    Pts u;
    for (std::size_t k = 0; k < corners.size(); ++k) {
        const Point3 a = corners[k], b = corners[(k + 1) % corners.size()];
        const int steps = static_cast<int>(std::hypot(b.x - a.x, b.y - a.y) / 20.0);
        for (int i = 0; i < steps; ++i)
            u.push_back({a.x + (b.x - a.x) * i / steps, a.y + (b.y - a.y) * i / steps, 0});
    }
    OwnedList<VertexNode> longRing(Ring(u));
    const RingPoints points = PointsOfRing(longRing.get());
    ASSERT_TRUE(points.usable);
    const auto apart = [&](double x, double y, double size, double margin = 1.0) {
        OwnedList<VertexNode> small(
            Ring({{x, y, 0}, {x + size, y, 0}, {x + size, y + size, 0}, {x, y + size, 0}}));
        const double box[4] = {x, y, x + size, y + size};
        return RingPointsApart(points, small.get(), box, margin);
    };
    EXPECT_FALSE(apart(190.0, 200.0, 20.0));       // in the body
    EXPECT_FALSE(apart(990.0, 190.0, 20.0));       // in the body, right of the mouth
    EXPECT_TRUE(apart(590.0, 700.0, 20.0));        // in the mouth, within the box
    EXPECT_TRUE(apart(3000.0, 3000.0, 20.0));      // far away
    EXPECT_FALSE(apart(1190.0, 500.0, 30.0));      // across an edge
    EXPECT_FALSE(apart(1203.0, 500.0, 1.0, 5.0));  // beyond an edge, within the margin
    EXPECT_TRUE(apart(1203.0, 500.0, 1.0, 1.0));   // and beyond a smaller one
    // A ring that cannot be read as counter-clockwise screens nothing.
    std::reverse(u.begin(), u.end());
    OwnedList<VertexNode> clockwise(Ring(u));
    OwnedList<VertexNode> far(Ring({{3000, 3000, 0}, {3010, 3000, 0}, {3010, 3010, 0}}));
    const double farBox[4] = {3000, 3000, 3010, 3010};
    EXPECT_FALSE(RingPointsApart(PointsOfRing(clockwise.get()), far.get(), farBox, 1.0));
}

TEST(RingPoints, area_and_even_odd_of_a_ring_of_points_agree_with_its_winding_and_its_notch) {
    // A square 0..10 with a notch cut into its top, 4..6 wide, 5 deep.
    const std::vector<Point3> ring = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {6, 10, 0},
                                      {6, 5, 0}, {4, 5, 0},  {4, 10, 0},  {0, 10, 0}};
    EXPECT_DOUBLE_EQ(PointsSignedArea2(ring), 2.0 * 90.0);
    const std::vector<Point3> back(ring.rbegin(), ring.rend());
    EXPECT_DOUBLE_EQ(PointsSignedArea2(back), -2.0 * 90.0);
    EXPECT_DOUBLE_EQ(PointsSignedArea2(std::vector<Point3>{}), 0.0);
    EXPECT_TRUE(PointInPointsEvenOdd(ring, {2, 8, 0}));
    EXPECT_TRUE(PointInPointsEvenOdd(ring, {8, 8, 0}));
    EXPECT_FALSE(PointInPointsEvenOdd(ring, {5, 8, 0}));  // in the notch
    EXPECT_TRUE(PointInPointsEvenOdd(ring, {5, 2, 0}));
    EXPECT_FALSE(PointInPointsEvenOdd(ring, {11, 5, 0}));
    EXPECT_FALSE(PointInPointsEvenOdd(ring, {-1, 5, 0}));
    EXPECT_TRUE(PointInPointsEvenOdd(back, {8, 8, 0}));
}
