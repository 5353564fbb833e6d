// The grid of the nearest-face search (the straight faces by the cells
// their boxes cover), and the reach of the on-segment test.
#include "walls/graph/graph_index.h"

#include <algorithm>
#include <cmath>

namespace graph_index {

double OnSegmentReach(const Point3& a, const Point3& b) {
    const double t = SharedTolerance, length = HostDistance(a, b);
    return 2.0 * (t + 0.5 * std::sqrt(2.0 * length * t + t * t)) + t;
}

SpanIndex::SpanIndex(WallFace* faces, double unitFactor) : cell(GridCell(unitFactor)) {
    // A wall face spans a few cells; a longer one is tried by every search.
    constexpr std::int64_t kMostCells = 64;
    for (WallFace* f = faces; f; f = f->next) {
        const int id = static_cast<int>(list.size());
        list.push_back(f);
        if (f->isArc()) continue;
        const std::int64_t x0 = cellOf(std::min(f->start.x, f->end.x)),
                           x1 = cellOf(std::max(f->start.x, f->end.x));
        const std::int64_t y0 = cellOf(std::min(f->start.y, f->end.y)),
                           y1 = cellOf(std::max(f->start.y, f->end.y));
        if ((x1 - x0 + 1) * (y1 - y0 + 1) > kMostCells) {
            wide.push_back(id);
            continue;
        }
        for (std::int64_t ix = x0; ix <= x1; ++ix)
            for (std::int64_t iy = y0; iy <= y1; ++iy) cells.add(ix, iy, id);
        if (maxX < minX) {
            minX = x0, maxX = x1, minY = y0, maxY = y1;
        } else {
            minX = std::min(minX, x0), maxX = std::max(maxX, x1);
            minY = std::min(minY, y0), maxY = std::max(maxY, y1);
        }
    }
    tried.assign(list.size(), 0);
}

}  // namespace graph_index
