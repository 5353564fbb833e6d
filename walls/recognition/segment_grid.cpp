#include "walls/recognition/segment_grid.h"

#include <algorithm>
#include <cmath>

#include "walls/recognition/segment_records.h"

namespace {

// Cells are wide enough that no query of a floor-sized box loops forever.
constexpr std::int64_t kMaxCellsPerSide = 1 << 20;

}  // namespace

SegmentGrid::SegmentGrid(double cellSize) : m_cell(cellSize > 1e-9 ? cellSize : 1.0) {}

std::uint64_t SegmentGrid::Key(std::int64_t i, std::int64_t j) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(i)) << 32) | static_cast<std::uint32_t>(j);
}

SegmentGrid::Cells SegmentGrid::CellsOf(double x0, double y0, double x1, double y1) const {
    auto cell = [this](double v) {
        double c = std::floor(v / m_cell);
        return static_cast<std::int64_t>(std::clamp(c, -1e15, 1e15));
    };
    Cells c{cell(std::min(x0, x1)), cell(std::min(y0, y1)), cell(std::max(x0, x1)), cell(std::max(y0, y1))};
    c.i1 = std::min(c.i1, c.i0 + kMaxCellsPerSide);
    c.j1 = std::min(c.j1, c.j0 + kMaxCellsPerSide);
    return c;
}

void SegmentGrid::Insert(WallSegment* s) {
    Cells c = CellsOf(s->start.x, s->start.y, s->end.x, s->end.y);
    for (std::int64_t i = c.i0; i <= c.i1; ++i)
        for (std::int64_t j = c.j0; j <= c.j1; ++j) m_cells[Key(i, j)].push_back(s);
    m_entered[s] = c;
}

void SegmentGrid::Remove(WallSegment* s) {
    auto found = m_entered.find(s);
    if (found == m_entered.end()) return;
    const Cells c = found->second;
    for (std::int64_t i = c.i0; i <= c.i1; ++i)
        for (std::int64_t j = c.j0; j <= c.j1; ++j) {
            auto cell = m_cells.find(Key(i, j));
            if (cell == m_cells.end()) continue;
            std::erase(cell->second, s);
            if (cell->second.empty()) m_cells.erase(cell);
        }
    m_entered.erase(found);
}

void SegmentGrid::Update(WallSegment* s) {
    Remove(s);
    Insert(s);
}

std::vector<WallSegment*> SegmentGrid::Query(double x0, double y0, double x1, double y1) const {
    std::vector<WallSegment*> out;
    const Cells c = CellsOf(x0, y0, x1, y1);
    const double lx = std::min(x0, x1), hx = std::max(x0, x1), ly = std::min(y0, y1), hy = std::max(y0, y1);
    for (std::int64_t i = c.i0; i <= c.i1; ++i)
        for (std::int64_t j = c.j0; j <= c.j1; ++j) {
            auto cell = m_cells.find(Key(i, j));
            if (cell == m_cells.end()) continue;
            for (WallSegment* s : cell->second) {
                if (std::max(s->start.x, s->end.x) < lx || std::min(s->start.x, s->end.x) > hx ||
                    std::max(s->start.y, s->end.y) < ly || std::min(s->start.y, s->end.y) > hy)
                    continue;
                out.push_back(s);
            }
        }
    std::sort(out.begin(), out.end(), [](const WallSegment* a, const WallSegment* b) {
        return a->order != b->order ? a->order < b->order : a < b;
    });
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

std::vector<WallSegment*> SegmentGrid::Near(const WallSegment& s, double margin) const {
    return Query(std::min(s.start.x, s.end.x) - margin, std::min(s.start.y, s.end.y) - margin,
                 std::max(s.start.x, s.end.x) + margin, std::max(s.start.y, s.end.y) + margin);
}
