#include "core/geometry/ring_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "core/geometry/polygon.h"

namespace {

using Owned = OwnedList<VertexNode>;

Owned Ring(const std::vector<Point3>& pts) {
    VertexNode* head = nullptr;
    VertexNode** tail = &head;
    for (const Point3& p : pts) {
        *tail = NewVertex(p.x, p.y, p.z, 0, 0, 0, 0);
        tail = &(*tail)->next;
    }
    return Owned(head);
}

double SegmentDistance(const Point3& p, const VertexNode* a, const VertexNode* b) {
    const double ex = b->x - a->x, ey = b->y - a->y, len2 = ex * ex + ey * ey;
    const double t = len2 > 0.0 ? std::clamp(((p.x - a->x) * ex + (p.y - a->y) * ey) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(a->x + t * ex - p.x, a->y + t * ey - p.y);
}

// The plan distance from p to the ring's region: zero inside.
double Distance(const Point3& p, const VertexNode* ring) {
    if (PointInPolygon(p, ring, kEdgesUntested) == kInsidePolygon) return 0.0;
    double d = 1e300;
    for (const VertexNode* v = ring; v; v = v->next)
        d = std::min(d, SegmentDistance(p, v, NextInRing(ring, v)));
    return d;
}

bool SegmentsCross(const VertexNode* a, const VertexNode* b, const VertexNode* c, const VertexNode* d) {
    const auto side = [](const VertexNode* p, const VertexNode* q, const VertexNode* r) {
        return (q->x - p->x) * (r->y - p->y) - (q->y - p->y) * (r->x - p->x);
    };
    return side(a, b, c) * side(a, b, d) < 0.0 && side(c, d, a) * side(c, d, b) < 0.0;
}

// The plan distance between the regions of two rings: zero where they
// overlap or one holds the other.
double Distance(const VertexNode* r, const VertexNode* s) {
    double d = 1e300;
    for (const VertexNode* v = r; v; v = v->next) d = std::min(d, Distance(v->pt(), s));
    for (const VertexNode* v = s; v; v = v->next) d = std::min(d, Distance(v->pt(), r));
    for (const VertexNode* v = r; v; v = v->next)
        for (const VertexNode* w = s; w; w = w->next)
            if (SegmentsCross(v, NextInRing(r, v), w, NextInRing(s, w))) return 0.0;
    return d;
}

}  // namespace

TEST(RingIndex, finds_every_ring_within_the_margin_of_a_ring_or_a_point) {
    // Long thin slanted strips across the field (walls seen askew), small
    // stars and a few large rings holding many others: each query must list
    // every ring an exact measure puts within the margin, and the strips
    // must not be listed for everything their boxes hold.
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double margin = 1.0;
    std::vector<Owned> rings;
    for (int k = 0; k < 260; ++k) {
        const double cx = 1000.0 * unit(rng), cy = 1000.0 * unit(rng);
        std::vector<Point3> pts;
        if (k % 4 == 0) {
            const double a = std::numbers::pi * unit(rng), len = 200.0 + 600.0 * unit(rng),
                         w = 2.0 + 6.0 * unit(rng);
            const double ux = std::cos(a), uy = std::sin(a);
            pts = {{cx, cy, 0},
                   {cx + len * ux, cy + len * uy, 0},
                   {cx + len * ux - w * uy, cy + len * uy + w * ux, 0},
                   {cx - w * uy, cy + w * ux, 0}};
        } else {
            const int n = 3 + static_cast<int>(unit(rng) * 9.0);
            const double size = k % 37 == 0 ? 300.0 : 4.0 + 20.0 * unit(rng);
            for (int i = 0; i < n; ++i) {
                const double a = 2.0 * std::numbers::pi * i / n, r = size * (0.4 + 0.6 * unit(rng));
                pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a), 0});
            }
        }
        rings.push_back(Ring(pts));
    }
    RingIndex index;
    for (const Owned& r : rings) index.Add(r.get());
    index.Build(margin);
    std::size_t listed = 0, pairs = 0;
    for (std::size_t q = 0; q < rings.size(); ++q) {
        const std::vector<int> near = index.Near(rings[q].get());
        ASSERT_TRUE(std::is_sorted(near.begin(), near.end()));
        listed += near.size();
        for (std::size_t k = 0; k < rings.size(); ++k) {
            if (Distance(rings[q].get(), rings[k].get()) > margin) continue;
            ++pairs;
            ASSERT_TRUE(std::binary_search(near.begin(), near.end(), static_cast<int>(k)))
                << "ring " << k << " near ring " << q;
        }
    }
    EXPECT_GT(pairs, rings.size());
    EXPECT_LT(listed, rings.size() * rings.size() / 4) << "listed " << listed;
    for (int k = 0; k < 3000; ++k) {
        const Point3 p{1100.0 * unit(rng) - 50.0, 1100.0 * unit(rng) - 50.0, 0};
        const std::vector<int> at = index.At(p.x, p.y);
        for (std::size_t r = 0; r < rings.size(); ++r) {
            if (Distance(p, rings[r].get()) > margin) continue;
            ASSERT_TRUE(std::binary_search(at.begin(), at.end(), static_cast<int>(r)))
                << "ring " << r << " at " << p.x << ", " << p.y;
        }
    }
    // A point or ring that is not a number may be anywhere: everything.
    EXPECT_EQ(index.At(std::nan(""), 5.0).size(), rings.size());
    Owned broken = Ring({{0, 0, 0}, {std::nan(""), 1, 0}, {1, 1, 0}});
    EXPECT_EQ(index.Near(broken.get()).size(), rings.size());
}

TEST(RingIndex, a_ring_that_is_not_a_number_is_listed_for_every_query) {
    Owned square = Ring({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}});
    Owned broken = Ring({{0, 0, 0}, {std::nan(""), 1, 0}, {1, 1, 0}});
    RingIndex index;
    index.Add(square.get());
    index.Add(broken.get());
    index.Build(1.0);
    EXPECT_EQ(index.At(5.0, 5.0), (std::vector<int>{0, 1}));
    EXPECT_EQ(index.At(500.0, 5.0), (std::vector<int>{1}));
    Owned far = Ring({{100, 100, 0}, {110, 100, 0}, {110, 110, 0}});
    EXPECT_EQ(index.Near(far.get()), (std::vector<int>{1}));
}
