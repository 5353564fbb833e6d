// A plan grid of points for the face graph's searches: which pending edges
// or outlines have a point near a face end, which faces end inside a
// segment. Entries are (point, id); a search gives the ids of the entries in
// the cells around a point or under a box, each id once and in ascending
// order, so a caller that numbers its items in list order keeps the "first
// in list order" rule of a plain scan. The grid only narrows the search: the
// caller still applies its exact test to every id it is given.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "core/geometry/geom_basic.h"

class PointIndex {
public:
    // cell: the side of a grid cell; it must exceed every tolerance the
    // callers compare points with.
    explicit PointIndex(double cell);

    void add(const Point3& p, int id);
    // Ids with a point in the 3 x 3 cells around p.
    std::vector<int> near(const Point3& p) const;
    // Ids with a point in the box (grown by one cell each way); false when
    // the box covers more cells than there are entries (scan instead).
    bool inBox(double minX, double minY, double maxX, double maxY, std::vector<int>& ids) const;
    // Ids with a point near the segment a-b (its box, grown by one cell).
    bool nearSegment(const Point3& a, const Point3& b, std::vector<int>& ids) const;
    std::size_t size() const { return m_count; }

private:
    std::int64_t cellOf(double v) const;
    static std::uint64_t key(std::int64_t ix, std::int64_t iy);

    double m_cell;
    std::size_t m_count = 0;
    std::unordered_map<std::uint64_t, std::vector<int>> m_cells;
};
