// Grid cells in an open-addressed table by their two integer coordinates.
#include "walls/graph/point_index.h"

#include <algorithm>
#include <bit>
#include <cmath>

void CellLists::add(std::int64_t ix, std::int64_t iy, int id) {
    if ((m_used + 1) * 2 > m_slots.size()) grow();
    const std::uint64_t k = key(ix, iy);
    Slot& s = m_slots[slotOf(k)];
    if (s.head < 0) {
        s.key = k;
        ++m_used;
    }
    m_entries.push_back({id, s.head});
    s.head = static_cast<std::int32_t>(m_entries.size() - 1);
}

void CellLists::append(std::int64_t ix, std::int64_t iy, std::vector<int>& ids) const {
    for (std::int32_t e = head(ix, iy); e >= 0; e = m_entries[e].next) ids.push_back(m_entries[e].id);
}

void CellLists::grow() {
    std::vector<Slot> old = std::move(m_slots);
    const std::size_t size = old.empty() ? 64 : old.size() * 2;
    m_slots.assign(size, Slot{});
    m_shift = 64 - std::countr_zero(size);
    for (const Slot& s : old)
        if (s.head >= 0) m_slots[slotOf(s.key)] = s;
}

PointIndex::PointIndex(double cell) : m_cell(cell > 0.0 && std::isfinite(cell) ? cell : 1.0) {}

std::int64_t PointIndex::CellOf(double v, double cell) {
    const double c = std::floor(v / cell);
    // Far-away or broken coordinates share the outermost cells.
    return static_cast<std::int64_t>(std::clamp(c, -1.0e9, 1.0e9));
}

void PointIndex::add(const Point3& p, int id) {
    m_cells.add(cellOf(p.x), cellOf(p.y), id);
}

namespace {

void SortUnique(std::vector<int>& ids) {
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
}

}  // namespace

void PointIndex::near(const Point3& p, std::vector<int>& ids) const {
    ids.clear();
    const std::int64_t cx = cellOf(p.x), cy = cellOf(p.y);
    for (std::int64_t ix = cx - 1; ix <= cx + 1; ++ix)
        for (std::int64_t iy = cy - 1; iy <= cy + 1; ++iy) m_cells.append(ix, iy, ids);
    SortUnique(ids);
}

void PointIndex::within(const Point3& p, double reach, std::vector<int>& ids) const {
    ids.clear();
    const std::int64_t x0 = cellOf(p.x - reach), x1 = cellOf(p.x + reach);
    const std::int64_t y0 = cellOf(p.y - reach), y1 = cellOf(p.y + reach);
    for (std::int64_t ix = x0; ix <= x1; ++ix)
        for (std::int64_t iy = y0; iy <= y1; ++iy) m_cells.append(ix, iy, ids);
    SortUnique(ids);
}

bool PointIndex::inBox(double minX, double minY, double maxX, double maxY, std::vector<int>& ids) const {
    ids.clear();
    const std::int64_t x0 = cellOf(minX), x1 = cellOf(maxX);
    const std::int64_t y0 = cellOf(minY), y1 = cellOf(maxY);
    const double cells = static_cast<double>(x1 - x0 + 1) * static_cast<double>(y1 - y0 + 1);
    if (cells > static_cast<double>(m_cells.cells()) + 9.0) return false;
    for (std::int64_t ix = x0; ix <= x1; ++ix)
        for (std::int64_t iy = y0; iy <= y1; ++iy) m_cells.append(ix, iy, ids);
    SortUnique(ids);
    return true;
}

bool PointIndex::nearSegment(const Point3& a, const Point3& b, double reach, std::vector<int>& ids) const {
    return inBox(std::min(a.x, b.x) - reach, std::min(a.y, b.y) - reach, std::max(a.x, b.x) + reach,
                 std::max(a.y, b.y) + reach, ids);
}
