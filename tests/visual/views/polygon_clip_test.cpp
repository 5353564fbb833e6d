// Clipping, shadows and merges of plan polygons, checked by what must hold
// whatever the walk: areas that add up, pieces that lie where they must,
// merged pieces that cover exactly the union of what they were made from.
#include "visual/views/polygon_clip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/polygon.h"

namespace {

class PolygonClip : public ::testing::Test {
protected:
    void SetUp() override {
        saved = SharedTolerance;
        SetSharedTolerance(0.001);
    }
    void TearDown() override { SetSharedTolerance(saved); }
    double saved = 0.0;
};

VertexNode* Ring(const std::vector<Point3>& pts) {
    VertexNode* head = nullptr;
    for (const Point3& p : pts) AppendVertex(&head, p, 0, 0, 0);
    return head;
}

// Measured from the first vertex, so that far coordinates lose nothing.
double Area(const VertexNode* ring) {
    double a = 0.0;
    for (const VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = NextInRing(ring, v);
        const double vx = v->x - ring->x, vy = v->y - ring->y, wx = w->x - ring->x, wy = w->y - ring->y;
        a += vx * wy - wx * vy;
    }
    return a / 2.0;
}

double Perimeter(const VertexNode* ring) {
    double l = 0.0;
    for (const VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = NextInRing(ring, v);
        l += std::hypot(w->x - v->x, w->y - v->y);
    }
    return l;
}

double PiecesArea(const OutlinePolygon* pieces) {
    double a = 0.0;
    for (const OutlinePolygon* p = pieces; p; p = p->next) a += Area(p->ring);
    return a;
}

// A random star-shaped polygon: simple, concave unless convex is asked.
std::vector<Point3> Star(std::mt19937& rng, double cx, double cy, double size, bool convex) {
    std::uniform_int_distribution<int> count(3, 12);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const int n = count(rng);
    std::vector<double> angles;
    for (int i = 0; i < n; ++i) angles.push_back(unit(rng) * 2.0 * std::numbers::pi);
    std::sort(angles.begin(), angles.end());
    std::vector<Point3> pts;
    for (int i = 0; i < n; ++i) {
        if (i > 0 && angles[i] - angles[i - 1] < 0.05) continue;
        const double r = convex ? size : size * (0.3 + 0.7 * unit(rng));
        pts.push_back({cx + r * std::cos(angles[i]), cy + r * std::sin(angles[i]), 0.0});
    }
    if (pts.size() < 3 || std::fabs(angles.back() - angles.front()) < std::numbers::pi)
        pts = {{cx - size, cy - size, 0}, {cx + size, cy - size, 0}, {cx, cy + size, 0}};
    return pts;
}

const double kPlane[4] = {0.0, 0.0, 1.0, 0.0};     // the receiving plane z = 0
const double kCaster[4] = {0.0, 0.0, 1.0, -50.0};  // a caster plane above it

// 1 strictly inside, 0 strictly outside, -1 too near the border to say.
int Where(const Point3& p, const VertexNode* ring) {
    const int w = PointInPolygon(p, ring, 1);
    return w == 2 ? -1 : w;
}

// Whether q lies in exactly one piece when it lies inside some input, and
// in none when outside them all; true too when it lies too near a border
// of either to say.
bool CoveredAsTheInputs(const Point3& q, const std::vector<VertexNode*>& inputs,
                        const OutlinePolygon* pieces) {
    bool near = false, inAny = false;
    for (const VertexNode* in : inputs) {
        const int w = Where(q, in);
        near = near || w < 0;
        inAny = inAny || w == 1;
    }
    int covering = 0;
    for (const OutlinePolygon* p = pieces; p; p = p->next) {
        const int w = Where(q, p->ring);
        near = near || w < 0;
        covering += w == 1;
    }
    return near || covering == (inAny ? 1 : 0);
}

// X less P, as the callers read the answer.
OutlinePolygon* Outside(VertexNode** X, const VertexNode* P, bool& wholeX) {
    OutlinePolygon* pieces = ClipPolygonByPolygon(X, P, kPlane, kPlane);
    wholeX = !pieces && !PolygonInsidePolygon(*X, P);
    return pieces;
}

}  // namespace

TEST_F(PolygonClip, clipped_and_shadowed_parts_add_up_to_the_polygon) {
    std::mt19937 rng(71);
    std::uniform_real_distribution<double> jitter(-1.0, 1.0);
    int cut = 0, snapped = 0;
    for (double offset : {0.0, 1e5}) {
        for (double size : {20.0, 500.0}) {
            for (int trial = 0; trial < 150; ++trial) {
                const bool convex = trial % 3 == 0;
                const double ox = offset, oy = -offset;
                OwnedList<VertexNode> X(Ring(Star(rng, ox, oy, size, convex)));
                OwnedList<VertexNode> P(Ring(Star(rng, ox + jitter(rng) * size, oy + jitter(rng) * size,
                                                  size * (0.3 + std::fabs(jitter(rng))), trial % 2 == 0)));
                const double ax = std::fabs(Area(X.get()));
                VertexNode* x = X.get();
                bool whole = false;
                OutlinePolygon* outside = Outside(&x, P.get(), whole);
                X.release();
                X.reset(x);
                VertexNode* r = X.get();
                OutlinePolygon* inside = ShadowOfPolygon(P.get(), &r, kCaster);
                const double out = whole ? ax : PiecesArea(outside);
                const double in = PiecesArea(inside);
                // A crossing within the snap distance of a vertex moves onto
                // it: the parts may differ by that much along the borders.
                const double slack =
                    1e-6 * size + 100.0 * SharedTolerance * (Perimeter(X.get()) + Perimeter(P.get()));
                EXPECT_NEAR(out + in, ax, slack)
                    << "trial " << trial << " size " << size << " offset " << offset;
                for (const OutlinePolygon* p = outside; p; p = p->next) EXPECT_GT(Area(p->ring), 0.0);
                for (const OutlinePolygon* p = inside; p; p = p->next) EXPECT_GT(Area(p->ring), 0.0);
                cut += outside && inside;
                snapped += std::fabs(out + in - ax) > 1e-6 * size;

                // Points inside a piece lie in X, and outside P for the
                // clipped pieces, inside P for the shadow's.
                std::uniform_real_distribution<double> px(ox - size, ox + size), py(oy - size, oy + size);
                for (int s = 0; s < 200; ++s) {
                    const Point3 q{px(rng), py(rng), 0.0};
                    const int inX = Where(q, X.get()), inP = Where(q, P.get());
                    if (inX < 0 || inP < 0) continue;
                    int inOut = 0, inIn = 0, near = 0;
                    for (const OutlinePolygon* p = outside; p; p = p->next) {
                        const int w = Where(q, p->ring);
                        near += w < 0;
                        inOut += w == 1;
                    }
                    for (const OutlinePolygon* p = inside; p; p = p->next) {
                        const int w = Where(q, p->ring);
                        near += w < 0;
                        inIn += w == 1;
                    }
                    if (near) continue;
                    if (whole) inOut = inX;
                    EXPECT_EQ(inOut, inX && !inP ? 1 : 0) << "trial " << trial;
                    EXPECT_EQ(inIn, inX && inP ? 1 : 0) << "trial " << trial;
                }
                FreeOutlinePolygons(outside);
                FreeOutlinePolygons(inside);
            }
        }
    }
    EXPECT_GT(cut, 100);     // the cases are not all trivial
    EXPECT_LT(snapped, 30);  // and only snapping makes them inexact
}

TEST_F(PolygonClip, polygons_apart_inside_and_holding_each_other) {
    OwnedList<VertexNode> X(Ring({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}));
    OwnedList<VertexNode> far(Ring({{20, 0, 0}, {30, 0, 0}, {30, 10, 0}}));
    OwnedList<VertexNode> around(Ring({{-5, -5, 0}, {15, -5, 0}, {15, 15, 0}, {-5, 15, 0}}));
    VertexNode* x = X.get();
    // Apart: nothing, and X stays.
    EXPECT_EQ(ClipPolygonByPolygon(&x, far.get(), kPlane, kPlane), nullptr);
    EXPECT_EQ(PolygonInsidePolygon(x, far.get()), 0);
    // Covered: nothing, and X goes.
    EXPECT_EQ(ClipPolygonByPolygon(&x, around.get(), kPlane, kPlane), nullptr);
    EXPECT_EQ(PolygonInsidePolygon(x, around.get()), 1);
    // Covered by itself, borders on borders.
    OwnedList<VertexNode> same(Ring({{0, 10, 0}, {0, 0, 0}, {10, 0, 0}, {10, 10, 0}}));
    EXPECT_EQ(ClipPolygonByPolygon(&x, same.get(), kPlane, kPlane), nullptr);
    EXPECT_EQ(PolygonInsidePolygon(x, same.get()), 1);

    // Reaching 2.2 past the long edge of an outline: not within it, though
    // the detour through its corner is short against the edge's length.
    OwnedList<VertexNode> tall(Ring({{-647.3, 0, 0}, {-300.7, 0, 0}, {-300.7, 260, 0}, {-647.3, 260, 0}}));
    OwnedList<VertexNode> past(Ring({{-359.3, 0, 0}, {-298.5, 200, 0}, {-298.5, 180, 0}}));
    EXPECT_EQ(PolygonInsidePolygon(past.get(), tall.get()), 0);
    OwnedList<VertexNode> within(Ring({{-359.3, 0, 0}, {-300.7, 200, 0}, {-300.7, 180, 0}}));
    EXPECT_EQ(PolygonInsidePolygon(within.get(), tall.get()), 1);

    // Held inside X and nearer (z below the plane): X with a bridged hole.
    OwnedList<VertexNode> hole(Ring({{3, 3, -2}, {6, 3, -2}, {6, 6, -2}, {3, 6, -2}}));
    OutlinePolygon* piece = ClipPolygonByPolygon(&x, hole.get(), kPlane, kPlane);
    ASSERT_NE(piece, nullptr);
    EXPECT_EQ(piece->next, nullptr);
    EXPECT_NEAR(Area(piece->ring), 100.0 - 9.0, 1e-9);
    int marked = 0;
    for (const VertexNode* v = piece->ring; v; v = v->next) {
        marked += v->mark;
        EXPECT_NEAR(v->z, 0.0, 1e-12);  // laid onto the receiving plane
    }
    EXPECT_EQ(marked, 2);  // the bridge, walked both ways
    EXPECT_EQ(MarkDoubledEdges(piece->ring), 1);
    FreeOutlinePolygons(piece);
    // The same outline behind X cuts no hole.
    OwnedList<VertexNode> behind(Ring({{3, 3, 2}, {6, 3, 2}, {6, 6, 2}, {3, 6, 2}}));
    EXPECT_EQ(ClipPolygonByPolygon(&x, behind.get(), kPlane, kPlane), nullptr);
}

TEST_F(PolygonClip, crossings_near_a_vertex_snap_onto_it_and_z_follows_the_edge) {
    // X slopes in z along x; P's corner sits a hair off X's corner.
    const double slope[4] = {-0.1, 0.0, 1.0, 0.0};  // z = 0.1 x
    OwnedList<VertexNode> X(Ring({{0, 0, 0}, {10, 0, 1}, {10, 10, 1}, {0, 10, 0}}));
    OwnedList<VertexNode> P(Ring({{5, -5, 0}, {10.00001, -5, 0}, {10.00001, 10.00001, 0}, {5, 10.00001, 0}}));
    VertexNode* x = X.get();
    OutlinePolygon* pieces = ClipPolygonByPolygon(&x, P.get(), slope, slope);
    ASSERT_NE(pieces, nullptr);
    EXPECT_EQ(pieces->next, nullptr);
    EXPECT_EQ(CountNodes(pieces->ring), 4);
    EXPECT_NEAR(Area(pieces->ring), 50.0, 1e-3);
    for (const VertexNode* v = pieces->ring; v; v = v->next) EXPECT_NEAR(v->z, 0.1 * v->x, 1e-9);
    FreeOutlinePolygons(pieces);
}

TEST_F(PolygonClip, shadow_is_dropped_where_the_caster_runs_below_the_receiver) {
    OwnedList<VertexNode> R(Ring({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}));
    OwnedList<VertexNode> W(Ring({{5, 2, 0}, {15, 2, 0}, {15, 8, 0}, {5, 8, 0}}));
    VertexNode* r = R.get();
    OutlinePolygon* shadow = ShadowOfPolygon(W.get(), &r, kCaster);
    ASSERT_NE(shadow, nullptr);
    EXPECT_NEAR(PiecesArea(shadow), 30.0, 1e-9);
    FreeOutlinePolygons(shadow);
    for (VertexNode* v = W.get(); v; v = v->next) v->spare = -1.0;
    EXPECT_EQ(ShadowOfPolygon(W.get(), &r, kCaster), nullptr);
    // R wholly under W: all of R, unless R rises above the caster.
    OwnedList<VertexNode> big(Ring({{-5, -5, 0}, {15, -5, 0}, {15, 15, 0}, {-5, 15, 0}}));
    shadow = ShadowOfPolygon(big.get(), &r, kCaster);
    ASSERT_NE(shadow, nullptr);
    EXPECT_NEAR(PiecesArea(shadow), 100.0, 1e-9);
    FreeOutlinePolygons(shadow);
    const double low[4] = {0.0, 0.0, 1.0, 50.0};  // the caster's plane at z = -50
    EXPECT_EQ(ShadowOfPolygon(big.get(), &r, low), nullptr);
}

TEST_F(PolygonClip, a_caster_through_the_receiver_shades_from_its_part_above_it) {
    // On a receiver rising as z = 0.1 x, W stands 4 above it at x 2 and 4
    // below it at x 10, where its corners lie on R's border: only x 2..6 of
    // it shades R.
    OwnedList<VertexNode> R(Ring({{0, 0, 0}, {10, 0, 1}, {10, 10, 1}, {0, 10, 0}}));
    OwnedList<VertexNode> W(Ring({{2, 2, 0.2}, {10, 2, 1}, {10, 8, 1}, {2, 8, 0.2}}));
    for (VertexNode* v = W.get(); v; v = v->next) v->spare = 6.0 - v->x;
    VertexNode* r = R.get();
    OutlinePolygon* shadow = ShadowOfPolygon(W.get(), &r, kCaster);
    ASSERT_NE(shadow, nullptr);
    EXPECT_NEAR(PiecesArea(shadow), 24.0, 1e-9);
    for (const OutlinePolygon* p = shadow; p; p = p->next)
        for (const VertexNode* v = p->ring; v; v = v->next) {
            EXPECT_LE(v->x, 6.0 + 1e-9);
            EXPECT_NEAR(v->z, 0.1 * v->x, 1e-9);
        }
    FreeOutlinePolygons(shadow);
}

TEST_F(PolygonClip, merged_pieces_are_simple_and_cover_exactly_their_union) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> spread(-30.0, 30.0), size(5.0, 20.0);
    for (double offset : {0.0, 1e5}) {
        for (int trial = 0; trial < 30; ++trial) {
            std::vector<VertexNode*> inputs;
            OutlinePolygon* list = nullptr;
            const int n = 2 + trial % 6;
            for (int i = 0; i < n; ++i) {
                std::vector<Point3> pts = Star(rng, offset + spread(rng), spread(rng), size(rng), i % 2 == 0);
                // Some pieces share an edge with the one before.
                if (i > 0 && trial % 3 == 0) {
                    const VertexNode* prev = inputs.back();
                    const Point3 a = prev->pt(), b = prev->next->pt();
                    pts = {b, a, {(a.x + b.x) / 2.0 + (b.y - a.y), (a.y + b.y) / 2.0 - (b.x - a.x), 0.0}};
                }
                inputs.push_back(Ring(pts));
                OutlinePolygon* p = NewOutlinePolygon(Ring(pts));
                p->next = list;
                list = p;
            }
            list = MergeShadowPieces(list);
            for (const OutlinePolygon* p = list; p; p = p->next) {
                EXPECT_GE(CountNodes(p->ring), 3);
                EXPECT_GT(Area(p->ring), 0.0);
                EXPECT_TRUE(IsSimplePolygon(p->ring)) << "trial " << trial;
            }
            std::uniform_real_distribution<double> px(offset - 50, offset + 50), py(-50, 50);
            for (int s = 0; s < 400; ++s) {
                const Point3 q{px(rng), py(rng), 0.0};
                EXPECT_TRUE(CoveredAsTheInputs(q, inputs, list))
                    << "trial " << trial << " at " << q.x << "," << q.y;
            }
            for (VertexNode* in : inputs) FreeList(in);
            FreeOutlinePolygons(list);
        }
    }
}

TEST_F(PolygonClip, empty_pieces_and_groups_are_cleaned_away) {
    auto* g1 = new ShadowGroup;
    auto* g2 = new ShadowGroup;
    g1->next = g2;
    // A sliver of collinear points, and a triangle with a point on an edge.
    g1->pieces = NewOutlinePolygon(Ring({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}));
    g2->pieces = NewOutlinePolygon(Ring({{0, 0, 0}, {5, 0, 0}, {10, 0, 0}, {0, 10, 0}}));
    ShadowGroup* left = CleanShadowGroups(g1);
    ASSERT_EQ(left, g2);
    EXPECT_EQ(left->next, nullptr);
    EXPECT_EQ(CountNodes(left->pieces->ring), 3);
    FreeShadowGroups(left);
}

TEST_F(PolygonClip, cell_boxes_span_the_cells_their_points_reach) {
    double grid[63];
    for (int axis = 0; axis < 3; ++axis)
        for (int i = 0; i <= 20; ++i) grid[21 * axis + i] = axis * 100.0 + i * 5.0;
    const Point3 corners[3] = {{12, 101, 237}, {17, 140, 236}, {13, 199, 299}};
    std::int32_t low[3], high[3];
    CellBoxOfCorners(corners, 3, low, high, grid);
    EXPECT_EQ(low[0], 2);
    EXPECT_EQ(high[0], 3);
    EXPECT_EQ(low[1], 0);
    EXPECT_EQ(high[1], 19);
    EXPECT_EQ(low[2], 7);
    EXPECT_EQ(high[2], 19);
    OwnedList<VertexNode> ring(Ring({{12, 101, 237}, {17, 140, 236}, {13, 199, 299}}));
    std::int32_t rl[3], rh[3];
    CellBoxOfRing(ring.get(), rl, rh, grid);
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_EQ(rl[axis], low[axis]);
        EXPECT_EQ(rh[axis], high[axis]);
    }
    // Points beyond the grid stay in its end cells.
    const Point3 out[1] = {{-50, 1000, 250}};
    CellBoxOfCorners(out, 1, low, high, grid);
    EXPECT_EQ(low[0], 0);
    EXPECT_EQ(high[1], 20);
}

TEST_F(PolygonClip, pieces_in_a_row_sharing_edges_join_into_one) {
    // Each join frees the two pieces it joins; the search must not step on
    // from either.
    OutlinePolygon* list = nullptr;
    for (int i = 3; i >= 0; --i) {
        const double x = 10.0 * i;
        OutlinePolygon* p = NewOutlinePolygon(Ring({{x, 0, 0}, {x + 10, 0, 0}, {x + 10, 10, 0}, {x, 10, 0}}));
        p->next = list;
        list = p;
    }
    // A piece apart from the others stays as it is.
    OutlinePolygon* apart = NewOutlinePolygon(Ring({{100, 0, 0}, {110, 0, 0}, {110, 10, 0}}));
    apart->next = list;
    list = apart;
    list = JoinShadowPieces(&list, 1);
    ASSERT_EQ(CountNodes(list), 2);
    EXPECT_NEAR(PiecesArea(list), 400.0 + 50.0, 1e-9);
    for (const OutlinePolygon* p = list; p; p = p->next) EXPECT_TRUE(IsSimplePolygon(p->ring));
    FreeOutlinePolygons(list);
}

TEST_F(PolygonClip, a_long_list_merged_by_halves_covers_its_union_and_nothing_more_joins) {
    // The shadows of a floor's walls on the slab: a strip beside every wall
    // of a grid of rooms, overlapping where walls meet, so that the pieces
    // join into networks running across the floor; and a stack of equal
    // pieces, which no place halves by their boxes.
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> jitter(-0.4, 0.4);
    const auto strip = [&](double x0, double y0, double x1, double y1) {
        const double w = 3.0 + jitter(rng), dx = 6.0 + jitter(rng), dy = 5.0 + jitter(rng);
        if (y0 == y1)
            return std::vector<Point3>{
                {x0, y0, 0}, {x1, y1, 0}, {x1 + dx, y1 + dy, 0}, {x0 + dx, y0 + dy, 0}};
        return std::vector<Point3>{
            {x0, y0, 0}, {x0 + w, y0, 0}, {x1 + w + dx, y1 + dy, 0}, {x1 + dx, y1 + dy, 0}};
    };
    for (const bool stacked : {false, true}) {
        std::vector<VertexNode*> inputs;
        const int cols = 13, rows = 10;
        if (stacked) {
            for (int i = 0; i < 150; ++i)
                inputs.push_back(Ring({{0, 0, 0}, {40, 0, 0}, {40, 30, 0}, {0, 30, 0}}));
        } else {
            for (int j = 0; j <= rows; ++j) inputs.push_back(Ring(strip(0, 30.0 * j, 40.0 * cols, 30.0 * j)));
            for (int i = 0; i <= cols; ++i)
                for (int j = 0; j < rows; ++j)
                    inputs.push_back(Ring(strip(40.0 * i, 30.0 * j, 40.0 * i, 30.0 * (j + 1))));
        }
        OutlinePolygon* list = nullptr;
        for (auto it = inputs.rbegin(); it != inputs.rend(); ++it) {
            OutlinePolygon* p = NewOutlinePolygon(CopyVertexList(*it));
            p->next = list;
            list = p;
        }
        ASSERT_GT(CountNodes(list), 128);
        list = MergeShadowPieces(list);
        for (const OutlinePolygon* p = list; p; p = p->next) {
            EXPECT_GT(Area(p->ring), 0.0);
            EXPECT_TRUE(IsSimplePolygon(p->ring));
            EXPECT_EQ(p->half, 0);
        }
        // Disjoint pieces that nothing more joins: splitting and joining
        // again changes nothing.
        const int merged = CountNodes(list);
        const double area = PiecesArea(list);
        list = SplitShadowPieces(&list, 1);
        list = JoinShadowPieces(&list, 1);
        EXPECT_EQ(CountNodes(list), merged) << (stacked ? "stacked" : "floor");
        EXPECT_NEAR(PiecesArea(list), area, 1e-6 * area);
        if (stacked) {
            EXPECT_EQ(merged, 1);
        }
        // Every point inside some strip lies in exactly one piece, and no
        // point outside them all in any.
        std::uniform_real_distribution<double> px(-5.0, 40.0 * cols + 15.0), py(-5.0, 30.0 * rows + 15.0);
        for (int s = 0; s < 3000; ++s) {
            const Point3 q{px(rng), py(rng), 0.0};
            EXPECT_TRUE(CoveredAsTheInputs(q, inputs, list)) << "at " << q.x << "," << q.y;
        }
        for (VertexNode* in : inputs) FreeList(in);
        FreeOutlinePolygons(list);
    }
}
