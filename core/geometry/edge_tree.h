// A tree of segment boxes for "which segments pass near this segment"
// questions: the ear search asks it for the live edges near a diagonal, the
// hole bridging for the contour edges near a bridge.
//
// Segments are leaves numbered by the caller (for a ring, in ring order, so
// neighbouring leaves are neighbouring edges and a subtree is a stretch of
// outline with a tight box). The tree is eight-way: a node keeps the boxes
// of its eight children side by side in one block of memory, so one short
// loop tells which children a question must enter, and a thousand edges are
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
#include <cstdint>
#include <vector>

#include "core/geometry/geom_basic.h"

// Two boxes at a time where the processor has the instructions for it
// (every 64-bit x86 has); a plain loop with the same tests elsewhere.
#ifndef VELM_EDGE_TREE_SSE2
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define VELM_EDGE_TREE_SSE2 1
#else
#define VELM_EDGE_TREE_SSE2 0
#endif
#endif
#if VELM_EDGE_TREE_SSE2
#include <emmintrin.h>
#endif

class EdgeTree {
public:
    // Room for `count` leaves, all empty; `pts` sets the slack and is not kept.
    EdgeTree(int count, const std::vector<Point3>& pts) : slack_(Slack(pts)), count_(std::max(count, 0)) {
        everything_ = !(slack_ >= 0.0);
        if (everything_) slack_ = ZcGeContext::gTol.equalPoint() * 4.0;
        // Level l holds the children of its nodes, a block of eight slots a
        // node; slot s of level l is node s of level l + 1, and of the last
        // level leaf s. The levels follow one another, root first.
        std::vector<size_t> nodes;
        for (size_t n = std::max<size_t>(1, (count_ + kWays - 1) / kWays);; n = (n + kWays - 1) / kWays) {
            nodes.push_back(n);
            if (n == 1) break;
        }
        size_t at = 0;
        for (size_t l = nodes.size(); l-- > 0;) {
            start_.push_back(at);
            at += nodes[l] * kBlock;
        }
        start_.push_back(at);
        box_.resize(at);
        for (size_t b = 0; b < at; b += kBlock) {
            std::fill_n(box_.begin() + b, 2 * kWays, HUGE_VAL);
            std::fill_n(box_.begin() + b + 2 * kWays, 2 * kWays, -HUGE_VAL);
        }
        last_ = static_cast<int>(nodes.size()) - 1;
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
        put(last_, leaf, std::min(a.x, b.x) - slack_, std::min(a.y, b.y) - slack_,
            std::max(a.x, b.x) + slack_, std::max(a.y, b.y) + slack_);
    }
    void rebuild() {
        for (int l = last_; l >= 1; --l) {
            const int nodes = static_cast<int>((start_[l + 1] - start_[l]) / kBlock);
            for (int node = 0; node < nodes; ++node) unite(l, node);
        }
    }

    void clear(int leaf) {
        live_[leaf] = 0;
        put(last_, leaf, HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL);
        refit(leaf);
    }

    // Leaf `gone` cleared and leaf `leaf` set to a-b at once, as when an ear
    // is cut: two neighbouring leaves usually share their node, and then
    // one refit serves both.
    void clearAndSet(int gone, int leaf, const Point3& a, const Point3& b) {
        live_[gone] = 0;
        put(last_, gone, HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL);
        place(leaf, a, b);
        refit(gone);
        if (gone / kWays != leaf / kWays) refit(leaf);
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
        const double reach = slack_ * std::sqrt(dx * dx + dy * dy) * 1.0000001;
        // Of the corners of a box, the one furthest to the left of a->b and
        // the one furthest to the right: the box is beside the line when the
        // first is right of it or the second left of it, by the reach.
        const int leftX = dy > 0.0 ? kMinX : kMaxX, leftY = dx > 0.0 ? kMaxY : kMinY;
        const int rightX = dy > 0.0 ? kMaxX : kMinX, rightY = dx > 0.0 ? kMinY : kMaxY;
        const double* const box = box_.data();
        // A level and a node in one word: a pop that reads back two halves
        // written apart stalls the processor.
        std::uint64_t stack[kWays * 16];
        int top = 0;
        stack[top++] = 0;
#if VELM_EDGE_TREE_SSE2
        const __m128d ax = _mm_set1_pd(a.x), ay = _mm_set1_pd(a.y), vdx = _mm_set1_pd(dx),
                      vdy = _mm_set1_pd(dy), lo = _mm_set1_pd(-reach), hi = _mm_set1_pd(reach),
                      vqx0 = _mm_set1_pd(qx0), vqx1 = _mm_set1_pd(qx1), vqy0 = _mm_set1_pd(qy0),
                      vqy1 = _mm_set1_pd(qy1);
#endif
        while (top) {
            const std::uint64_t visit = stack[--top];
            const int level = static_cast<int>(visit >> 32), node = static_cast<int>(visit & 0xffffffffu);
            const double* block = box + start_[level] + static_cast<size_t>(node) * kBlock;
            unsigned enter = 0;
#if VELM_EDGE_TREE_SSE2
            // The boxes' overlap first; the side of the line only for the
            // pairs where some box overlaps.
            __m128d meets[kWays / 2];
            unsigned overlap = 0;
            for (int j = 0; j < kWays; j += 2) {
                const double* c = block + j;
                meets[j / 2] = _mm_and_pd(_mm_and_pd(_mm_cmple_pd(_mm_loadu_pd(c + kMinX), vqx1),
                                                     _mm_cmple_pd(vqx0, _mm_loadu_pd(c + kMaxX))),
                                          _mm_and_pd(_mm_cmple_pd(_mm_loadu_pd(c + kMinY), vqy1),
                                                     _mm_cmple_pd(vqy0, _mm_loadu_pd(c + kMaxY))));
                overlap |= static_cast<unsigned>(_mm_movemask_pd(meets[j / 2])) << j;
            }
            // Each pair with an overlapping box, by its first bit.
            for (unsigned pairs = (overlap | overlap >> 1) & 0x55u; pairs; pairs &= pairs - 1) {
                const int j = std::countr_zero(pairs);
                const double* c = block + j;
                const __m128d left = _mm_sub_pd(_mm_mul_pd(vdx, _mm_sub_pd(_mm_loadu_pd(c + leftY), ay)),
                                                _mm_mul_pd(vdy, _mm_sub_pd(_mm_loadu_pd(c + leftX), ax)));
                const __m128d right = _mm_sub_pd(_mm_mul_pd(vdx, _mm_sub_pd(_mm_loadu_pd(c + rightY), ay)),
                                                 _mm_mul_pd(vdy, _mm_sub_pd(_mm_loadu_pd(c + rightX), ax)));
                const __m128d near =
                    _mm_and_pd(meets[j / 2], _mm_and_pd(_mm_cmple_pd(lo, left), _mm_cmple_pd(right, hi)));
                enter |= static_cast<unsigned>(_mm_movemask_pd(near)) << j;
            }
#else
            for (int j = 0; j < kWays; ++j) {
                const double* c = block + j;
                const double left = dx * (c[leftY] - a.y) - dy * (c[leftX] - a.x);
                const double right = dx * (c[rightY] - a.y) - dy * (c[rightX] - a.x);
                const bool near = (c[kMinX] <= qx1) & (c[kMaxX] >= qx0) & (c[kMinY] <= qy1) &
                                  (c[kMaxY] >= qy0) & (left >= -reach) & (right <= reach);
                enter |= static_cast<unsigned>(near) << j;
            }
#endif
            const int base = node * kWays;
            if (level == last_) {
                for (; enter; enter &= enter - 1)
                    if (f(base + std::countr_zero(enter))) return true;
                continue;
            }
            // Pushed last first, so that leaves come out in order.
            const std::uint64_t below = static_cast<std::uint64_t>(level + 1) << 32;
            for (; enter; enter &= ~(1u << (31 - std::countl_zero(enter))))
                stack[top++] = below | static_cast<std::uint32_t>(base + 31 - std::countl_zero(enter));
        }
        return false;
    }

private:
    // A block: the eight children's min x, then min y, max x, max y. An
    // empty box is inverted and meets nothing.
    static constexpr int kWays = 8, kBlock = 4 * kWays;
    static constexpr int kMinX = 0, kMinY = kWays, kMaxX = 2 * kWays, kMaxY = 3 * kWays;

    double* slot(int level, int i) {
        const auto u = static_cast<size_t>(i);
        return box_.data() + start_[level] + u / kWays * kBlock + u % kWays;
    }
    void put(int level, int i, double x0, double y0, double x1, double y1) {
        double* c = slot(level, i);
        c[kMinX] = x0;
        c[kMinY] = y0;
        c[kMaxX] = x1;
        c[kMaxY] = y1;
    }
    // Node `node` of level `level` takes the union of its children's boxes
    // as its slot one level up; false when it had it already.
    bool unite(int level, int node) {
        const double* block = box_.data() + start_[level] + static_cast<size_t>(node) * kBlock;
        double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL;
        for (int j = 0; j < kWays; ++j) {
            x0 = std::min(x0, block[kMinX + j]);
            y0 = std::min(y0, block[kMinY + j]);
            x1 = std::max(x1, block[kMaxX + j]);
            y1 = std::max(y1, block[kMaxY + j]);
        }
        const double* c = slot(level - 1, node);
        if (c[kMinX] == x0 && c[kMinY] == y0 && c[kMaxX] == x1 && c[kMaxY] == y1) return false;
        put(level - 1, node, x0, y0, x1, y1);
        return true;
    }

    void refit(int leaf) {
        for (int l = last_; l >= 1; --l) {
            leaf /= kWays;
            if (!unite(l, leaf)) break;
        }
    }

    std::vector<double> box_;
    std::vector<size_t> start_;  // where each level begins in box_, and the end
    std::vector<unsigned char> live_;
    double slack_ = 0;
    int count_ = 0;
    int last_ = 0;
    bool everything_ = false;
};
