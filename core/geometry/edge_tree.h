// A tree of segment boxes for "which segments pass near this segment"
// questions: the ear search asks it for the live edges near a diagonal, the
// hole bridging for the contour edges near a bridge.
//
// Segments are leaves numbered by the caller (for a ring, in ring order, so
// neighbouring leaves are neighbouring edges and a subtree is a stretch of
// outline with a tight box). Each inner node holds the union of its
// children's boxes, widened by a slack that covers the intersection
// tolerance and rounding, so two segments that meet within the tolerance
// always reach each other's leaves. Changing or clearing a leaf refits the
// boxes on its way to the root: O(log n). A question walks down only where
// a node's box meets the segment's box and straddles its line, so a long
// diagonal through an empty interior costs the depth of the tree, not the
// length of the diagonal. Points that are not finite make every question
// visit every leaf.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/geometry/geom_basic.h"

class EdgeTree {
public:
    // Room for `count` leaves, all empty; `pts` sets the slack and is not kept.
    EdgeTree(int count, const std::vector<Point3>& pts) : slack_(Slack(pts)) {
        everything_ = !(slack_ >= 0.0);
        if (everything_) slack_ = ZcGeContext::gTol.equalPoint() * 4.0;
        for (leaves_ = 1; leaves_ < count; leaves_ *= 2) {
        }
        box_.assign(2 * static_cast<size_t>(leaves_), Box{});
        live_.assign(static_cast<size_t>(leaves_), 0);
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
        Box& x = box_[leaves_ + leaf];
        x.minX = std::min(a.x, b.x) - slack_;
        x.maxX = std::max(a.x, b.x) + slack_;
        x.minY = std::min(a.y, b.y) - slack_;
        x.maxY = std::max(a.y, b.y) + slack_;
    }
    void rebuild() {
        for (int node = leaves_ - 1; node >= 1; --node)
            box_[node] = unite(box_[2 * node], box_[2 * node + 1]);
    }

    void clear(int leaf) {
        live_[leaf] = 0;
        box_[leaves_ + leaf] = Box{};
        refit(leaf);
    }

    // Calls f(leaf) for the live leaves whose segment may meet a-b, stopping
    // at the first that answers true.
    template <class F>
    bool any(const Point3& a, const Point3& b, F f) const {
        if (everything_) {
            for (int i = 0; i < leaves_; ++i)
                if (live_[i] && f(i)) return true;
            return false;
        }
        const Box q{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
        const double dx = b.x - a.x, dy = b.y - a.y;
        // A box lies wholly on one side of the line a-b when all its
        // corners do by more than the slack (measured across the line).
        const double reach = slack_ * std::hypot(dx, dy) * 1.0000001;
        auto beside = [&](const Box& x) {
            const double c1 = dx * (x.minY - a.y) - dy * (x.minX - a.x);
            const double c2 = dx * (x.minY - a.y) - dy * (x.maxX - a.x);
            const double c3 = dx * (x.maxY - a.y) - dy * (x.minX - a.x);
            const double c4 = dx * (x.maxY - a.y) - dy * (x.maxX - a.x);
            return (c1 > reach && c2 > reach && c3 > reach && c4 > reach) ||
                   (c1 < -reach && c2 < -reach && c3 < -reach && c4 < -reach);
        };
        int stack[128];
        int top = 0;
        stack[top++] = 1;
        while (top) {
            const int node = stack[--top];
            const Box& x = box_[node];
            if (x.minX > q.maxX || x.maxX < q.minX || x.minY > q.maxY || x.maxY < q.minY) continue;
            if (beside(x)) continue;
            if (node >= leaves_) {
                if (f(node - leaves_)) return true;
                continue;
            }
            stack[top++] = 2 * node + 1;
            stack[top++] = 2 * node;
        }
        return false;
    }

private:
    struct Box {
        double minX = HUGE_VAL, minY = HUGE_VAL, maxX = -HUGE_VAL, maxY = -HUGE_VAL;
    };

    static Box unite(const Box& l, const Box& r) {
        return {std::min(l.minX, r.minX), std::min(l.minY, r.minY), std::max(l.maxX, r.maxX),
                std::max(l.maxY, r.maxY)};
    }

    void refit(int leaf) {
        for (int node = (leaves_ + leaf) / 2; node >= 1; node /= 2) {
            const Box u = unite(box_[2 * node], box_[2 * node + 1]);
            Box& x = box_[node];
            if (u.minX == x.minX && u.minY == x.minY && u.maxX == x.maxX && u.maxY == x.maxY) break;
            x = u;
        }
    }

    std::vector<Box> box_;
    std::vector<unsigned char> live_;
    int leaves_ = 1;
    double slack_ = 0;
    bool everything_ = false;
};
