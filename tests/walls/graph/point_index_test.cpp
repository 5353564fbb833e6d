// The point grid against a plain look at every point: the same ids, each
// once and ascending, for points on cell borders, at the ends of the
// coordinate range, within a tolerance of the probe, and after the cell
// table has grown many times.
#include "walls/graph/point_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr double kCell = 50.0;

struct Entry {
    Point3 p;
    int id;
};

std::int64_t Cell(double v) {
    return PointIndex::CellOf(v, kCell);
}

// The ids of the entries whose cell lies within one cell of the box's
// cells, as a scan finds them.
std::vector<int> Scan(const std::vector<Entry>& all, double minX, double minY, double maxX, double maxY) {
    std::vector<int> ids;
    for (const Entry& e : all)
        if (Cell(e.p.x) >= Cell(minX) - 1 && Cell(e.p.x) <= Cell(maxX) + 1 && Cell(e.p.y) >= Cell(minY) - 1 &&
            Cell(e.p.y) <= Cell(maxY) + 1)
            ids.push_back(e.id);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
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
        ASSERT_EQ(ids, Scan(all, p.x, p.y, p.x, p.y)) << p.x << ", " << p.y;
        // Every point nearer than a cell is among them.
        for (const Entry& e : all)
            if (std::fabs(e.p.x - p.x) < kCell && std::fabs(e.p.y - p.y) < kCell)
                ASSERT_TRUE(std::binary_search(ids.begin(), ids.end(), e.id));

        const Point3 q{p.x + any(rng) * 0.1, p.y + any(rng) * 0.1, 0};
        if (index.nearSegment(p, q, ids))
            ASSERT_EQ(ids, Scan(all, std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x),
                                std::max(p.y, q.y)));
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
        ASSERT_EQ(ids, Scan(all, p.x, p.y, p.x, p.y));
    }
    index.add({1e300, -1e300, 0}, 1000);
    index.add({1e12, -1e12, 0}, 1001);
    index.near({1e200, -1e200, 0}, ids);
    EXPECT_EQ(ids, std::vector<int>({1000, 1001}));
    // A box over more cells than are in use asks for a scan.
    EXPECT_FALSE(index.inBox(-1e6, -1e6, 1e6, 1e6, ids));
}

TEST(CellLists, each_cell_lists_its_ids_newest_first_and_no_other_cells_ids) {
    CellLists cells;
    std::vector<int> ids;
    cells.append(0, 0, ids);
    EXPECT_TRUE(ids.empty());
    // Cells whose keys differ only in high bits, and negative ones.
    for (int i = 0; i < 1000; ++i) {
        cells.add(i, -i, 2 * i);
        cells.add(-i, i, 2 * i + 1);
        cells.add(i, -i, 5000 + i);
    }
    EXPECT_EQ(cells.cells(), 1999u);
    EXPECT_EQ(cells.entries(), 3000u);
    for (int i = 1; i < 1000; ++i) {
        ids.clear();
        cells.append(i, -i, ids);
        ASSERT_EQ(ids, std::vector<int>({5000 + i, 2 * i}));
        ids.clear();
        cells.forEach(-i, i, [&](int id) { ids.push_back(id); });
        ASSERT_EQ(ids, std::vector<int>({2 * i + 1}));
        ids.clear();
        cells.append(i, i, ids);
        ASSERT_TRUE(ids.empty());
    }
}
