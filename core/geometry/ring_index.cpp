// The plan index of rings (see the header). A ring reaches a cell when one
// of its edges passes within the margin of it, or when the ring holds the
// cell's centre; a cell no edge comes near lies wholly inside the ring or
// wholly outside it, so the centre tells which. Two rings within the margin
// of each other therefore share a cell, one reaching it by the first rule
// or the second, the other by the margin.
#include "core/geometry/ring_index.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

bool Finite(const VertexNode* ring) {
    for (const VertexNode* v = ring; v; v = v->next)
        if (!std::isfinite(v->x) || !std::isfinite(v->y)) return false;
    return true;
}

// A little more room than rounding in a clipped end needs.
double Slack(double a, double b) {
    return 1e-9 * (1.0 + std::fabs(a) + std::fabs(b));
}

}  // namespace

PlanGrid::PlanGrid(const double extent[4], int n) : n_(std::max(n, 1)) {
    for (int a = 0; a < 2; ++a) {
        lo_[a] = extent[a];
        size_[a] = std::max((extent[a + 2] - extent[a]) / n_, 1e-9);
    }
}

int PlanGrid::Cell(double v, int axis) const {
    const double c = std::floor((v - lo_[axis]) / size_[axis]);
    if (!(c > 0.0)) return 0;
    return c >= n_ - 1 ? n_ - 1 : static_cast<int>(c);
}

bool PlanGrid::CoverRing(const VertexNode* ring, double margin, std::vector<int>& cells) const {
    if (!ring || !Finite(ring)) return false;
    constexpr double kFar = std::numeric_limits<double>::infinity();
    std::vector<std::pair<int, double>> crossings;  // row, x where its centre line crosses an edge
    for (const VertexNode* a = ring; a; a = a->next) {
        const VertexNode* b = a->next ? a->next : ring;
        const double dy = b->y - a->y;
        const int r0 = Cell(std::min(a->y, b->y) - margin, 1), r1 = Cell(std::max(a->y, b->y) + margin, 1);
        for (int row = r0; row <= r1; ++row) {
            // The part of the edge level with the row, widened by the margin
            // (the border rows reach on past the grid).
            const double bandLo = row == 0 ? -kFar : lo_[1] + row * size_[1] - margin;
            const double bandHi = row == n_ - 1 ? kFar : lo_[1] + (row + 1) * size_[1] + margin;
            double t0 = 0.0, t1 = 1.0;
            if (dy != 0.0) {
                const double ta = (bandLo - a->y) / dy, tb = (bandHi - a->y) / dy;
                t0 = std::max(0.0, std::min(ta, tb));
                t1 = std::min(1.0, std::max(ta, tb));
                if (t0 > t1) continue;
            }
            const double xa = a->x + (b->x - a->x) * t0, xb = a->x + (b->x - a->x) * t1;
            const double slack = Slack(xa, xb);
            const int c0 = Cell(std::min(xa, xb) - margin - slack, 0);
            const int c1 = Cell(std::max(xa, xb) + margin + slack, 0);
            for (int col = c0; col <= c1; ++col) cells.push_back(col * n_ + row);
        }
        // Where the row centres cross the edge, each crossing counted once
        // (one end taken, the other not).
        for (int row = Cell(std::min(a->y, b->y), 1); row <= Cell(std::max(a->y, b->y), 1); ++row) {
            const double y = lo_[1] + (row + 0.5) * size_[1];
            if ((a->y < y && y <= b->y) || (b->y < y && y <= a->y))
                crossings.push_back({row, a->x + (b->x - a->x) * (y - a->y) / dy});
        }
    }
    // The cells whose centres lie between a crossing and the next along
    // their row: inside the ring.
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t k = 0; k + 1 < crossings.size();) {
        const auto& [row, x0] = crossings[k];
        // Every row crosses the closed ring an even number of times; the
        // pairs never run from one row into the next.
        if (crossings[k + 1].first != row) {
            ++k;
            continue;
        }
        const double x1 = crossings[k + 1].second;
        const double c0 = std::ceil((x0 - lo_[0]) / size_[0] - 0.5);
        const double c1 = std::floor((x1 - lo_[0]) / size_[0] - 0.5);
        for (double c = std::max(c0, 0.0); c <= std::min(c1, n_ - 1.0); c += 1.0)
            cells.push_back(static_cast<int>(c) * n_ + row);
        k += 2;
    }
    return true;
}

void PlanGrid::CoverBox(const double box[4], double margin, std::vector<int>& cells) const {
    const int c0 = Cell(box[0] - margin, 0), c1 = Cell(box[2] + margin, 0);
    const int r0 = Cell(box[1] - margin, 1), r1 = Cell(box[3] + margin, 1);
    for (int col = c0; col <= c1; ++col)
        for (int row = r0; row <= r1; ++row) cells.push_back(col * n_ + row);
}

void RingIndex::Build(double margin) {
    margin_ = margin;
    extent_[0] = extent_[1] = 1e300;
    extent_[2] = extent_[3] = -1e300;
    std::vector<char> finite(rings_.size());
    for (std::size_t k = 0; k < rings_.size(); ++k) {
        finite[k] = rings_[k] && Finite(rings_[k]);
        for (const VertexNode* v = rings_[k]; finite[k] && v; v = v->next) {
            extent_[0] = std::min(extent_[0], v->x), extent_[1] = std::min(extent_[1], v->y);
            extent_[2] = std::max(extent_[2], v->x), extent_[3] = std::max(extent_[3], v->y);
        }
    }
    // Whatever lies further than twice the margin from every ring's box is
    // near none of them.
    for (int a = 0; a < 2; ++a) extent_[a] -= 2.0 * margin, extent_[a + 2] += 2.0 * margin;
    const int n = std::clamp(static_cast<int>(2.0 * std::sqrt(static_cast<double>(rings_.size()))), 1, 1024);
    grid_ = PlanGrid(extent_, n);
    std::vector<std::pair<int, int>> filing;  // cell, ring
    for (std::size_t k = 0; k < rings_.size(); ++k) {
        cells_.clear();
        if (!finite[k] || !grid_.CoverRing(rings_[k], margin, cells_)) {
            everywhere_.push_back(static_cast<int>(k));
            continue;
        }
        for (const int c : cells_) filing.push_back({c, static_cast<int>(k)});
    }
    std::sort(filing.begin(), filing.end());
    filing.erase(std::unique(filing.begin(), filing.end()), filing.end());
    cellStart_.assign(static_cast<std::size_t>(grid_.Cells()) + 1, 0);
    for (const auto& [cell, ring] : filing) ++cellStart_[static_cast<std::size_t>(cell) + 1];
    for (std::size_t c = 0; c + 1 < cellStart_.size(); ++c) cellStart_[c + 1] += cellStart_[c];
    filed_.resize(filing.size());
    for (std::size_t k = 0; k < filing.size(); ++k) filed_[k] = filing[k].second;
    seen_.assign(rings_.size(), 0);
}

const std::vector<int>& RingIndex::Near(const VertexNode* ring) {
    cells_.clear();
    if (!ring || !Finite(ring)) return Every();
    double box[4] = {ring->x, ring->y, ring->x, ring->y};
    for (const VertexNode* v = ring; v; v = v->next) {
        box[0] = std::min(box[0], v->x), box[1] = std::min(box[1], v->y);
        box[2] = std::max(box[2], v->x), box[3] = std::max(box[3], v->y);
    }
    // Wholly off the grid's extent, the ring is near nothing filed there.
    if (box[2] >= extent_[0] && box[0] <= extent_[2] && box[3] >= extent_[1] && box[1] <= extent_[3])
        grid_.CoverRing(ring, margin_, cells_);
    return Collect(cells_);
}

const std::vector<int>& RingIndex::At(double x, double y) {
    cells_.clear();
    if (!std::isfinite(x) || !std::isfinite(y)) return Every();
    if (x >= extent_[0] && x <= extent_[2] && y >= extent_[1] && y <= extent_[3])
        cells_.push_back(grid_.CellOf(x, y));
    return Collect(cells_);
}

const std::vector<int>& RingIndex::Every() {
    found_.resize(rings_.size());
    for (std::size_t k = 0; k < found_.size(); ++k) found_[k] = static_cast<int>(k);
    return found_;
}

const std::vector<int>& RingIndex::Collect(const std::vector<int>& cells) {
    found_.clear();
    if (++stamp_ == 0) {
        std::fill(seen_.begin(), seen_.end(), 0);
        stamp_ = 1;
    }
    const auto take = [&](int k) {
        if (seen_[static_cast<std::size_t>(k)] == stamp_) return;
        seen_[static_cast<std::size_t>(k)] = stamp_;
        found_.push_back(k);
    };
    for (const int c : cells)
        for (int i = cellStart_[static_cast<std::size_t>(c)]; i < cellStart_[static_cast<std::size_t>(c) + 1];
             ++i)
            take(filed_[static_cast<std::size_t>(i)]);
    for (const int k : everywhere_) take(k);
    std::sort(found_.begin(), found_.end());
    return found_;
}
