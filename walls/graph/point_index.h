// A plan grid of points for the face graph's searches: which pending edges
// or outlines have a point near a face end, which faces end inside a
// segment. Entries are (point, id); a search gives the ids of the entries in
// the cells around a point or under a box, each id once and in ascending
// order, so a caller that numbers its items in list order keeps the "first
// in list order" rule of a plain scan. The grid only narrows the search: the
// caller still applies its exact test to every id it is given.
#pragma once

#include <cstdint>
#include <vector>

#include "core/geometry/geom_basic.h"

// Ids filed under integer grid cells. A floor files tens of thousands of
// points, and the graph is built inside the command that first needs it: the
// cells in use sit in one open-addressed table, each the head of a chain
// through one array of entries, so filing a point allocates nothing of its
// own and a look-up is a probe or two. A chain lists its ids newest first.
class CellLists {
public:
    void add(std::int64_t ix, std::int64_t iy, int id);
    template <class F>
    void forEach(std::int64_t ix, std::int64_t iy, F&& f) const {
        for (std::int32_t e = head(ix, iy); e >= 0; e = m_entries[e].next) f(m_entries[e].id);
    }
    // Appends the cell's ids to `ids`.
    void append(std::int64_t ix, std::int64_t iy, std::vector<int>& ids) const;
    std::size_t cells() const { return m_used; }
    std::size_t entries() const { return m_entries.size(); }
    void reserve(std::size_t entries) { m_entries.reserve(entries); }

private:
    struct Slot {
        std::uint64_t key = 0;
        std::int32_t head = -1;  // -1: free
    };
    struct Entry {
        std::int32_t id;
        std::int32_t next;
    };

    static std::uint64_t key(std::int64_t ix, std::int64_t iy) {
        return (static_cast<std::uint64_t>(ix) << 32) ^ (static_cast<std::uint64_t>(iy) & 0xffffffffu);
    }
    // The slot holding the key, or the free one where it would go.
    std::size_t slotOf(std::uint64_t k) const {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t i = static_cast<std::size_t>((k * 0x9e3779b97f4a7c15ull) >> m_shift);
        while (m_slots[i].head >= 0 && m_slots[i].key != k) i = (i + 1) & mask;
        return i;
    }
    std::int32_t head(std::int64_t ix, std::int64_t iy) const {
        return m_used == 0 ? -1 : m_slots[slotOf(key(ix, iy))].head;
    }
    void grow();

    std::vector<Slot> m_slots;  // a power of two long, at most half used
    std::size_t m_used = 0;
    int m_shift = 64;
    std::vector<Entry> m_entries;
};

class PointIndex {
public:
    // cell: the side of a grid cell; it must exceed every tolerance the
    // callers compare points with.
    explicit PointIndex(double cell);

    void add(const Point3& p, int id);
    // Ids with a point in the 3 x 3 cells around p (into `ids`, cleared
    // first; the callers keep one list for their many searches).
    void near(const Point3& p, std::vector<int>& ids) const;
    std::vector<int> near(const Point3& p) const {
        std::vector<int> ids;
        near(p, ids);
        return ids;
    }
    // Ids with a point that may lie within `reach` of p across and along
    // (the cells that square touches); reach below a cell keeps it to one
    // cell mostly.
    void within(const Point3& p, double reach, std::vector<int>& ids) const;
    // Ids with a point in the cells the box touches; false when the box
    // covers more cells than are in use (scan instead).
    bool inBox(double minX, double minY, double maxX, double maxY, std::vector<int>& ids) const;
    // Ids with a point that may lie within `reach` of the segment a-b's box.
    bool nearSegment(const Point3& a, const Point3& b, double reach, std::vector<int>& ids) const;
    std::size_t size() const { return m_cells.entries(); }
    void reserve(std::size_t points) { m_cells.reserve(points); }

    // The cell holding the coordinate, as the grid counts them.
    static std::int64_t CellOf(double v, double cell);

private:
    std::int64_t cellOf(double v) const { return CellOf(v, m_cell); }

    double m_cell;
    CellLists m_cells;
};
