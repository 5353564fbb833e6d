// A uniform grid of segments for "which edges pass near this segment"
// questions, used by the ear search to test a diagonal against the nearby
// edges only. Edges are filed by an integer id; filing the same id again for
// a changed edge is allowed, and callers test each candidate against its
// current edge, so stale entries only cost time. Filing and asking follow
// the segment row by row through the cells within a small slack of it, so two
// segments that meet always share a cell and a long segment costs the cells
// it crosses, not the cells of its bounding box. Cells are sized for about one
// point each by area; points that are not finite put everything in one cell.
#pragma once

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "core/geometry/geom_basic.h"

class EdgeGrid {
public:
    explicit EdgeGrid(const std::vector<Point3>& pts) {
        double minX = pts[0].x, minY = pts[0].y, maxX = minX, maxY = minY;
        for (const Point3& p : pts) {
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
        const double w = maxX - minX, h = maxY - minY;
        if (!std::isfinite(w) || !std::isfinite(h)) {
            // Points at infinity or not numbers: one cell holds every edge,
            // which is the plain walk over the ring.
            cells_.resize(1);
            stamp_.assign(pts.size(), 0);
            return;
        }
        const double extent = std::max({w, h, 1e-9});
        // Slack for the intersection tolerance and rounding at cell borders.
        slack_ = ZcGeContext::gTol.equalPoint() * 4.0 + extent * 1e-9;
        // About one vertex a cell, by area, so long thin outlines get thin
        // rows of cells instead of a few crowded ones.
        const double n = static_cast<double>(pts.size());
        cell_ = std::sqrt(std::max(w * h, extent * extent * 1e-8) / n);
        originX_ = minX - slack_;
        originY_ = minY - slack_;
        for (;; cell_ *= 1.5) {
            const double cols = std::floor((w + 2 * slack_) / cell_) + 1;
            const double rows = std::floor((h + 2 * slack_) / cell_) + 1;
            if (cols * rows > 4.0 * n + 16.0) continue;
            cols_ = static_cast<int>(cols);
            rows_ = static_cast<int>(rows);
            break;
        }
        cells_.resize(static_cast<size_t>(cols_) * rows_);
        stamp_.assign(pts.size(), 0);
    }

    void insert(int edge, const Point3& a, const Point3& b) {
        forCells(a, b, [&](std::vector<int>& cell) {
            // A vertex cut around repeatedly files its growing edge over
            // the same cells; once per cell is enough.
            if (cell.empty() || cell.back() != edge) cell.push_back(edge);
            return false;
        });
    }

    // Calls f(edge) once for every edge filed in a cell the segment a-b
    // passes through, stopping at the first that answers true.
    template <class F>
    bool any(const Point3& a, const Point3& b, F f) {
        ++current_;
        return forCells(a, b, [&](std::vector<int>& cell) {
            for (int e : cell) {
                if (stamp_[e] == current_) continue;
                stamp_[e] = current_;
                if (f(e)) return true;
            }
            return false;
        });
    }

private:
    int cellOf(double v, double origin, int count) const {
        const double k = std::floor((v - origin) / cell_);
        if (!(k >= 0.0)) return 0;  // below the grid, or not a number
        return static_cast<int>(std::min(k, static_cast<double>(count - 1)));
    }

    template <class F>
    bool forCells(const Point3& a, const Point3& b, F visit) {
        const double dx = b.x - a.x, dy = b.y - a.y;
        const int r0 = cellOf(std::min(a.y, b.y) - slack_, originY_, rows_);
        const int r1 = cellOf(std::max(a.y, b.y) + slack_, originY_, rows_);
        for (int r = r0; r <= r1; ++r) {
            // The part of the segment within this row (widened by the slack).
            const double y0 = r == 0 ? -HUGE_VAL : originY_ + r * cell_ - slack_;
            const double y1 = r == rows_ - 1 ? HUGE_VAL : originY_ + (r + 1) * cell_ + slack_;
            double t0 = 0.0, t1 = 1.0;
            if (dy != 0.0) {
                double ta = (y0 - a.y) / dy, tb = (y1 - a.y) / dy;
                if (ta > tb) std::swap(ta, tb);
                t0 = std::max(t0, ta);
                t1 = std::min(t1, tb);
                if (t0 > t1) continue;
            } else if (a.y < y0 || a.y > y1) {
                continue;
            }
            const double xa = a.x + t0 * dx, xb = a.x + t1 * dx;
            const int c0 = cellOf(std::min(xa, xb) - slack_, originX_, cols_);
            const int c1 = cellOf(std::max(xa, xb) + slack_, originX_, cols_);
            for (int c = c0; c <= c1; ++c)
                if (visit(cells_[static_cast<size_t>(r) * cols_ + c])) return true;
        }
        return false;
    }

    double originX_ = 0, originY_ = 0, cell_ = 1, slack_ = 0;
    int cols_ = 1, rows_ = 1;
    std::vector<std::vector<int>> cells_;
    std::vector<unsigned> stamp_;
    unsigned current_ = 0;
};

