// The point grid against a plain look at every point: the same ids, each
// once and ascending, for points on cell borders, at the ends of the
// coordinate range, within a tolerance of the probe, and after the cell
// table has grown many times; and the reach the graph's searches are
// narrowed to against the tests they stand in for.
#include "walls/graph/point_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "core/base/module_state.h"
#include "walls/graph/graph_index.h"

namespace {

constexpr double kCell = 50.0;

struct Entry {
    Point3 p;
    int id;
};

std::int64_t Cell(double v) {
    return PointIndex::CellOf(v, kCell);
}

// The ids of the entries whose cell lies in the cell range, as a scan
// finds them.
std::vector<int> Scan(const std::vector<Entry>& all, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                      std::int64_t y1) {
    std::vector<int> ids;
    for (const Entry& e : all)
        if (Cell(e.p.x) >= x0 && Cell(e.p.x) <= x1 && Cell(e.p.y) >= y0 && Cell(e.p.y) <= y1)
            ids.push_back(e.id);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

std::vector<int> ScanBox(const std::vector<Entry>& all, double minX, double minY, double maxX, double maxY) {
    return Scan(all, Cell(minX), Cell(minY), Cell(maxX), Cell(maxY));
}

// Points on a coarse lattice (many on cell borders, many sharing a cell)
// and anywhere, some ids filed twice as a face's two ends are.
std::vector<Entry> RandomEntries(std::mt19937& rng, int count) {
    std::uniform_real_distribution<double> any(-2000.0, 2000.0);
    std::uniform_int_distribution<int> lattice(-80, 80), pick(0, 3);
    std::vector<Entry> all;
    for (int i = 0; i < count; ++i) {
        Point3 p;
        switch (pick(rng)) {
            case 0:
                p = {lattice(rng) * kCell, lattice(rng) * kCell, 0};  // cell corners
                break;
            case 1:
                p = {lattice(rng) * kCell * 0.5, any(rng), 0};
                break;
            default:
                p = {any(rng), any(rng), 0};
        }
        all.push_back({p, i});
        if (pick(rng) == 0) all.push_back({{p.x + 3.0, p.y - 3.0, 0}, i});
    }
    return all;
}

}  // namespace

TEST(PointIndex, near_and_box_searches_give_what_a_scan_of_every_point_gives) {
    std::mt19937 rng(7);
    const std::vector<Entry> all = RandomEntries(rng, 5000);
    PointIndex index(kCell);
    for (const Entry& e : all) index.add(e.p, e.id);
    EXPECT_EQ(index.size(), all.size());

    std::uniform_real_distribution<double> any(-2100.0, 2100.0), small(-0.5, 0.5);
    std::vector<int> ids;
    for (int k = 0; k < 2000; ++k) {
        // Probes at entries (within a tolerance of them) and anywhere.
        Point3 p = k % 2 ? all[k % all.size()].p : Point3{any(rng), any(rng), 0};
        if (k % 3 == 0) p = {p.x + small(rng), p.y + small(rng), 0};
        index.near(p, ids);
        ASSERT_EQ(ids, Scan(all, Cell(p.x) - 1, Cell(p.y) - 1, Cell(p.x) + 1, Cell(p.y) + 1))
            << p.x << ", " << p.y;
        // Every point nearer than a cell is among them; every point within
        // the reach is among the fewer a search within the reach gives.
        const double reach = k % 5 == 0 ? 0.5 : 0.002;
        std::vector<int> close;
        index.within(p, reach, close);
        ASSERT_EQ(close, ScanBox(all, p.x - reach, p.y - reach, p.x + reach, p.y + reach));
        for (const Entry& e : all) {
            const double dx = std::fabs(e.p.x - p.x), dy = std::fabs(e.p.y - p.y);
            if (dx < kCell && dy < kCell) {
                ASSERT_TRUE(std::binary_search(ids.begin(), ids.end(), e.id));
            }
            if (dx <= reach && dy <= reach) {
                ASSERT_TRUE(std::binary_search(close.begin(), close.end(), e.id));
            }
        }

        const Point3 q{p.x + any(rng) * 0.1, p.y + any(rng) * 0.1, 0};
        if (index.nearSegment(p, q, reach, ids)) {
            ASSERT_EQ(ids, ScanBox(all, std::min(p.x, q.x) - reach, std::min(p.y, q.y) - reach,
                                   std::max(p.x, q.x) + reach, std::max(p.y, q.y) + reach));
        }
    }
}

TEST(PointIndex, points_added_between_searches_are_found_and_far_points_share_the_outer_cells) {
    PointIndex index(kCell);
    std::vector<int> ids;
    index.near({0, 0, 0}, ids);
    EXPECT_TRUE(ids.empty());
    std::vector<Entry> all;
    for (int i = 0; i < 300; ++i) {
        const Point3 p{i * kCell, -i * kCell, 0};
        index.add(p, i);
        all.push_back({p, i});
        index.near(p, ids);
        ASSERT_EQ(ids, Scan(all, Cell(p.x) - 1, Cell(p.y) - 1, Cell(p.x) + 1, Cell(p.y) + 1));
    }
    index.add({1e300, -1e300, 0}, 1000);
    index.add({1e12, -1e12, 0}, 1001);
    index.near({1e200, -1e200, 0}, ids);
    EXPECT_EQ(ids, std::vector<int>({1000, 1001}));
    // A box over more cells than are in use asks for a scan.
    EXPECT_FALSE(index.inBox(-1e6, -1e6, 1e6, 1e6, ids));
}

// The reach the graph grows its boxes by: no point that the on-segment
// tests take lies farther beside the segment's box, at any length or slope.
TEST(OnSegmentReach, every_point_the_on_segment_tests_take_lies_within_it) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0), sign(-1.0, 1.0);
    const double t = SharedTolerance;
    int taken = 0, takenFarBeside = 0;
    for (int k = 0; k < 20000; ++k) {
        const double length = 1.0 + 5000.0 * unit(rng) * unit(rng), angle = 6.3 * unit(rng);
        const Point3 a{sign(rng) * 1e5, sign(rng) * 1e5, 0};
        const Point3 b{a.x + length * std::cos(angle), a.y + length * std::sin(angle), sign(rng) * 0.01 * t};
        // Along the segment (and a little past its ends), beside it by up
        // to twice the side reach of the test.
        const double along = -t + (length + 2 * t) * unit(rng);
        const double beside = 2.0 * std::sqrt(2.0 * length * t + t * t) * sign(rng);
        const double c = std::cos(angle), s = std::sin(angle);
        const Point3 p{a.x + along * c - beside * s, a.y + along * s + beside * c, 0};
        if (!IsPointOnSegment(p, a, b) && !IsOnSegmentTol(p, a, b, t)) continue;
        ++taken;
        const double m = graph_index::OnSegmentReach(a, b);
        ASSERT_GE(p.x, std::min(a.x, b.x) - m);
        ASSERT_LE(p.x, std::max(a.x, b.x) + m);
        ASSERT_GE(p.y, std::min(a.y, b.y) - m);
        ASSERT_LE(p.y, std::max(a.y, b.y) + m);
        if (std::fabs(beside) > 0.25 * m) ++takenFarBeside;
    }
    EXPECT_GT(taken, 1000);
    EXPECT_GT(takenFarBeside, 10);  // the reach is no wider than it must be, near enough
}
