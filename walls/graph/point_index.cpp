// Grid cells hashed by their two integer coordinates.
#include "walls/graph/point_index.h"

#include <algorithm>
#include <cmath>

PointIndex::PointIndex(double cell) : m_cell(cell > 0.0 && std::isfinite(cell) ? cell : 1.0) {}

std::int64_t PointIndex::cellOf(double v) const {
    const double c = std::floor(v / m_cell);
    // Far-away or broken coordinates share the outermost cells.
    return static_cast<std::int64_t>(std::clamp(c, -1.0e9, 1.0e9));
}

std::uint64_t PointIndex::key(std::int64_t ix, std::int64_t iy) {
    return (static_cast<std::uint64_t>(ix) << 32) ^ (static_cast<std::uint64_t>(iy) & 0xffffffffu);
}

void PointIndex::add(const Point3& p, int id) {
    m_cells[key(cellOf(p.x), cellOf(p.y))].push_back(id);
    ++m_count;
}

std::vector<int> PointIndex::near(const Point3& p) const {
    std::vector<int> ids;
    const std::int64_t cx = cellOf(p.x), cy = cellOf(p.y);
    for (std::int64_t ix = cx - 1; ix <= cx + 1; ++ix)
        for (std::int64_t iy = cy - 1; iy <= cy + 1; ++iy) {
            const auto found = m_cells.find(key(ix, iy));
            if (found != m_cells.end()) ids.insert(ids.end(), found->second.begin(), found->second.end());
        }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

bool PointIndex::inBox(double minX, double minY, double maxX, double maxY, std::vector<int>& ids) const {
    ids.clear();
    const std::int64_t x0 = cellOf(minX) - 1, x1 = cellOf(maxX) + 1;
    const std::int64_t y0 = cellOf(minY) - 1, y1 = cellOf(maxY) + 1;
    const double cells = static_cast<double>(x1 - x0 + 1) * static_cast<double>(y1 - y0 + 1);
    if (cells > static_cast<double>(m_cells.size()) + 9.0) return false;
    for (std::int64_t ix = x0; ix <= x1; ++ix)
        for (std::int64_t iy = y0; iy <= y1; ++iy) {
            const auto found = m_cells.find(key(ix, iy));
            if (found != m_cells.end()) ids.insert(ids.end(), found->second.begin(), found->second.end());
        }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return true;
}

bool PointIndex::nearSegment(const Point3& a, const Point3& b, std::vector<int>& ids) const {
    return inBox(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y), ids);
}
