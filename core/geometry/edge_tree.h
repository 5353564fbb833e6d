// A tree of segment boxes for "which segments pass near this segment"
// questions: the ear search asks it for the live edges near a diagonal, the
// hole bridging for the contour edges near a bridge.
//
// Segments are leaves numbered by the caller (for a ring, in ring order, so
// neighbouring leaves are neighbouring edges and a subtree is a stretch of
// outline with a tight box). The tree is eight-way: a node keeps the boxes
// of its eight children side by side, so one short loop over plain arrays
// tells which children a question must enter, and a thousand edges are
// four levels deep. A child's box is the union of its own children's,
// widened by a slack that covers the intersection tolerance and rounding,
// so two segments that meet within the tolerance always reach each other's
// leaves. Changing or clearing a leaf refits the boxes on its way to the
// root: O(log n). A question walks down only where a box meets the
// segment's box and straddles its line, so a long diagonal through an empty
// interior costs the depth of the tree, not the length of the diagonal.
// Points that are not finite make every question visit every leaf.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

#include "core/geometry/geom_basic.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define VELM_EDGE_TREE_SSE2 1
#else
#define VELM_EDGE_TREE_SSE2 0
#endif

class EdgeTree {
public:
    // Room for `count` leaves, all empty; `pts` sets the slack and is not kept.
    EdgeTree(int count, const std::vector<Point3>& pts) : slack_(Slack(pts)), count_(std::max(count, 0)) {
        everything_ = !(slack_ >= 0.0);
        if (everything_) slack_ = ZcGeContext::gTol.equalPoint() * 4.0;
        // Level l holds the children of its nodes, eight slots a node; slot
        // s of level l is node s of level l + 1, and of the last level leaf s.
        std::vector<int> nodes;
        for (int n = std::max(1, (count_ + kWays - 1) / kWays);; n = (n + kWays - 1) / kWays) {
            nodes.push_back(n);
            if (n == 1) break;
        }
        levels_.resize(nodes.size());
        for (size_t l = 0; l < nodes.size(); ++l)
            levels_[l].resize(static_cast<size_t>(nodes[nodes.size() - 1 - l]) * kWays);
        live_.assign(static_cast<size_t>(count_), 0);
    }

    // The distance within which a segment among `pts` may meet another
    // under the intersection tolerance: the tolerance and the rounding of
    // coordinates of the points' extent, with room to spare. NaN when a
    // point is not finite.
    static double Slack(const std::vector<Point3>& pts) {
        double minX = HUGE_VAL, minY = HUGE_VAL, maxX = -HUGE_VAL, maxY = -HUGE_VAL;
        for (const Point3& p : pts) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) return std::nan("");
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
        const double extent = pts.empty() ? 0.0 : std::max(maxX - minX, maxY - minY);
        return ZcGeContext::gTol.equalPoint() * 4.0 + extent * 1e-9;
    }

    void set(int leaf, const Point3& a, const Point3& b) {
        place(leaf, a, b);
        refit(leaf);
    }

    // Many leaves at once: place each, then rebuild the inner boxes once.
    void place(int leaf, const Point3& a, const Point3& b) {
        live_[leaf] = 1;
        levels_.back().put(leaf, std::min(a.x, b.x) - slack_, std::min(a.y, b.y) - slack_,
                           std::max(a.x, b.x) + slack_, std::max(a.y, b.y) + slack_);
    }
    void rebuild() {
        for (size_t l = levels_.size() - 1; l >= 1; --l) {
            const int nodes = static_cast<int>(levels_[l].minX.size()) / kWays;
            for (int node = 0; node < nodes; ++node) levels_[l - 1].unite(node, levels_[l], node);
        }
    }

    void clear(int leaf) {
        live_[leaf] = 0;
        levels_.back().put(leaf, HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL);
        refit(leaf);
    }

    // Calls f(leaf) for the live leaves whose segment may meet a-b, in leaf
    // order, stopping at the first that answers true.
    template <class F>
    bool any(const Point3& a, const Point3& b, F f) const {
        if (everything_) {
            for (int i = 0; i < count_; ++i)
                if (live_[i] && f(i)) return true;
            return false;
        }
        const double qx0 = std::min(a.x, b.x), qy0 = std::min(a.y, b.y);
        const double qx1 = std::max(a.x, b.x), qy1 = std::max(a.y, b.y);
        const double dx = b.x - a.x, dy = b.y - a.y;
        // A box lies wholly on one side of the line a-b when all its
        // corners do by more than the slack (measured across the line).
        const double reach = slack_ * std::hypot(dx, dy) * 1.0000001;
        const int last = static_cast<int>(levels_.size()) - 1;
        // Of the corners of a box, the one furthest to the left of a->b and
        // the one furthest to the right: the box is beside the line when the
        // first is right of it or the second left of it, by the reach.
        const bool upX = dy > 0.0, upY = dx > 0.0;
        struct Visit {
            int level, node;
        };
        Visit stack[kWays * 16];
        int top = 0;
        stack[top++] = {0, 0};
        while (top) {
            const Visit at = stack[--top];
            const Level& lv = levels_[at.level];
            const int base = at.node * kWays;
            const double* x0 = lv.minX.data() + base;
            const double* y0 = lv.minY.data() + base;
            const double* x1 = lv.maxX.data() + base;
            const double* y1 = lv.maxY.data() + base;
            const double* leftX = upX ? x0 : x1;
            const double* leftY = upY ? y1 : y0;
            const double* rightX = upX ? x1 : x0;
            const double* rightY = upY ? y0 : y1;
            unsigned enter = 0;
#if VELM_EDGE_TREE_SSE2
            const __m128d ax = _mm_set1_pd(a.x), ay = _mm_set1_pd(a.y), vdx = _mm_set1_pd(dx),
                          vdy = _mm_set1_pd(dy), lo = _mm_set1_pd(-reach), hi = _mm_set1_pd(reach),
                          vqx0 = _mm_set1_pd(qx0), vqx1 = _mm_set1_pd(qx1), vqy0 = _mm_set1_pd(qy0),
                          vqy1 = _mm_set1_pd(qy1);
            for (int j = 0; j < kWays; j += 2) {
                const __m128d meets = _mm_and_pd(_mm_and_pd(_mm_cmple_pd(_mm_loadu_pd(x0 + j), vqx1),
                                                            _mm_cmpge_pd(_mm_loadu_pd(x1 + j), vqx0)),
                                                 _mm_and_pd(_mm_cmple_pd(_mm_loadu_pd(y0 + j), vqy1),
                                                            _mm_cmpge_pd(_mm_loadu_pd(y1 + j), vqy0)));
                const __m128d left = _mm_sub_pd(_mm_mul_pd(vdx, _mm_sub_pd(_mm_loadu_pd(leftY + j), ay)),
                                                _mm_mul_pd(vdy, _mm_sub_pd(_mm_loadu_pd(leftX + j), ax)));
                const __m128d right = _mm_sub_pd(_mm_mul_pd(vdx, _mm_sub_pd(_mm_loadu_pd(rightY + j), ay)),
                                                 _mm_mul_pd(vdy, _mm_sub_pd(_mm_loadu_pd(rightX + j), ax)));
                const __m128d near =
                    _mm_and_pd(meets, _mm_and_pd(_mm_cmpge_pd(left, lo), _mm_cmple_pd(right, hi)));
                enter |= static_cast<unsigned>(_mm_movemask_pd(near)) << j;
            }
#else
            for (int j = 0; j < kWays; ++j) {
                const double left = dx * (leftY[j] - a.y) - dy * (leftX[j] - a.x);
                const double right = dx * (rightY[j] - a.y) - dy * (rightX[j] - a.x);
                const bool near = (x0[j] <= qx1) & (x1[j] >= qx0) & (y0[j] <= qy1) & (y1[j] >= qy0) &
                                  (left >= -reach) & (right <= reach);
                enter |= static_cast<unsigned>(near) << j;
            }
#endif
            if (at.level == last) {
                for (; enter; enter &= enter - 1) {
                    if (f(base + std::countr_zero(enter))) return true;
                }
                continue;
            }
            // Pushed last first, so that leaves come out in order.
            for (int j = kWays - 1; j >= 0; --j)
                if (enter >> j & 1u) stack[top++] = {at.level + 1, base + j};
        }
        return false;
    }

private:
    static constexpr int kWays = 8;

    // Boxes side by side; an empty box is inverted and meets nothing.
    struct Level {
        std::vector<double> minX, minY, maxX, maxY;
        void resize(size_t n) {
            minX.assign(n, HUGE_VAL);
            minY.assign(n, HUGE_VAL);
            maxX.assign(n, -HUGE_VAL);
            maxY.assign(n, -HUGE_VAL);
        }
        void put(int i, double x0, double y0, double x1, double y1) {
            minX[i] = x0;
            minY[i] = y0;
            maxX[i] = x1;
            maxY[i] = y1;
        }
        // Slot i := the union of the eight slots of node `node` in `below`;
        // false when it was that already.
        bool unite(int i, const Level& below, int node) {
            const int base = node * kWays;
            double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL;
            for (int j = base; j < base + kWays; ++j) {
                x0 = std::min(x0, below.minX[j]);
                y0 = std::min(y0, below.minY[j]);
                x1 = std::max(x1, below.maxX[j]);
                y1 = std::max(y1, below.maxY[j]);
            }
            if (minX[i] == x0 && minY[i] == y0 && maxX[i] == x1 && maxY[i] == y1) return false;
            put(i, x0, y0, x1, y1);
            return true;
        }
    };

    void refit(int leaf) {
        for (size_t l = levels_.size() - 1; l >= 1; --l) {
            leaf /= kWays;
            if (!levels_[l - 1].unite(leaf, levels_[l], leaf)) break;
        }
    }

    std::vector<Level> levels_;
    std::vector<unsigned char> live_;
    double slack_ = 0;
    int count_ = 0;
    bool everything_ = false;
};
