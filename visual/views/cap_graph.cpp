// The plan graph of the cut edges of a section and its bounded faces (see
// cap_graph.h).
#include "visual/views/cap_graph.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "core/geometry/box_index.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/ring_difference.h"
#include "core/geometry/vertex_list.h"
#include "visual/views/segment_ops.h"

namespace {

using Cut = CapCut;

// Where c and o cross in plan, more than t from the ends of both.
bool CrossingWithin(const Cut& c, const Cut& o, double t, Point3& out) {
    const double rx = c.b.x - c.a.x, ry = c.b.y - c.a.y;
    const double sx = o.b.x - o.a.x, sy = o.b.y - o.a.y;
    const double lr = std::hypot(rx, ry), ls = std::hypot(sx, sy);
    const double den = rx * sy - ry * sx;
    if (!(lr > 0.0) || !(ls > 0.0) || !(std::fabs(den) > 1e-9 * lr * ls)) return false;
    const double wx = o.a.x - c.a.x, wy = o.a.y - c.a.y;
    const double u = (wx * sy - wy * sx) / den, v = (wx * ry - wy * rx) / den;
    if (u * lr <= t || (1.0 - u) * lr <= t || v * ls <= t || (1.0 - v) * ls <= t) return false;
    out = {c.a.x + u * rx, c.a.y + u * ry, 0.0};
    return true;
}

// The plan boxes of the cuts, indexed in their order.
BoxIndex SpanIndex(const std::vector<Cut>& cuts, double t) {
    BoxIndex index;
    for (const Cut& c : cuts) {
        double box[4];
        PlanBox(c.a, c.b, box);
        index.Add(box);
    }
    index.Build(t);
    return index;
}

}  // namespace

std::vector<CapCut> SplitCapCuts(std::vector<CapCut> cuts, double t, bool acrossSolids) {
    BoxIndex ends;
    for (const Cut& c : cuts)
        for (const Point3& p : {c.a, c.b}) {
            const double box[4] = {p.x, p.y, p.x, p.y};
            ends.Add(box);
        }
    ends.Build(t);
    BoxIndex spans = SpanIndex(cuts, t);
    std::vector<Cut> split;
    std::vector<std::pair<double, Point3>> at;
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        const Cut& c = cuts[i];
        double box[4];
        PlanBox(c.a, c.b, box);
        at.clear();
        for (int e : ends.Query(box)) {
            const Cut& o = cuts[static_cast<std::size_t>(e) / 2];
            if (!acrossSolids && o.solid != c.solid) continue;
            const Point3& p = e % 2 == 0 ? o.a : o.b;
            if (Distance2d(p, c.a) <= t || Distance2d(p, c.b) <= t) continue;
            // On the segment by its offset within t, not by an area: a
            // side a millionth off another's at thousands of units from
            // the origin spans an area far past any fixed epsilon.
            const double length = Distance2d(c.a, c.b);
            const double ux = (c.b.x - c.a.x) / length, uy = (c.b.y - c.a.y) / length;
            const double along = (p.x - c.a.x) * ux + (p.y - c.a.y) * uy;
            const double off = ux * (p.y - c.a.y) - uy * (p.x - c.a.x);
            if (!(along > 0.0 && along < length) || std::fabs(off) > t) continue;
            at.push_back({Distance2d(c.a, p), {p.x, p.y, SegmentZAt2d(c.a, c.b, p.x, p.y)}});
        }
        // Cuts of solids that run into each other cross away from their ends.
        for (int j : acrossSolids ? spans.Query(box) : std::vector<int>{}) {
            if (static_cast<std::size_t>(j) == i) continue;
            Point3 x;
            if (!CrossingWithin(c, cuts[static_cast<std::size_t>(j)], t, x)) continue;
            at.push_back({Distance2d(c.a, x), {x.x, x.y, SegmentZAt2d(c.a, c.b, x.x, x.y)}});
        }
        std::sort(at.begin(), at.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
        Point3 from = c.a;
        for (const auto& [distance, p] : at) {
            if (Distance2d(from, p) <= t) continue;
            split.push_back({from, p, c.solid});
            from = p;
        }
        // The last piece is kept however short: a cut may be a run of
        // pieces each shorter than t (a fan of slivers meeting at a
        // corner), and what joins its ends is the vertices' merging.
        if (Distance2d(from, c.b) > 0.0) split.push_back({from, c.b, c.solid});
    }
    if (!acrossSolids) return split;

    BoxIndex boxes = SpanIndex(split, t);
    std::vector<Cut> once;
    std::vector<char> twice(split.size(), 0);
    for (std::size_t i = 0; i < split.size(); ++i) {
        if (twice[i]) continue;
        const Cut& c = split[i];
        once.push_back(c);
        // Two pieces no longer than 2t may be neighbours on one run, their
        // ends all within t: the graph's own merging keeps them once.
        if (Distance2d(c.a, c.b) <= 2.0 * t) continue;
        double box[4];
        PlanBox(c.a, c.b, box);
        for (int j : boxes.Query(box)) {
            if (static_cast<std::size_t>(j) <= i) continue;
            const Cut& o = split[static_cast<std::size_t>(j)];
            if ((Distance2d(c.a, o.a) <= t && Distance2d(c.b, o.b) <= t) ||
                (Distance2d(c.a, o.b) <= t && Distance2d(c.b, o.a) <= t))
                twice[static_cast<std::size_t>(j)] = 1;
        }
    }
    return once;
}

namespace {

// A piece of the graph lying inside a bounded face of another (a window's
// opening inside the cut of the wall along it) is a hole in that face: its
// outer bound is joined into the face's ring by a bridge from its
// rightmost corner level to the right, to the first edge of the face met,
// in and back out along the bridge. The face then stands for the cut
// without its hole. Holes are joined
// from the right, so a bridge meets only the face or holes joined before.
void WithHoles(std::vector<std::vector<Point3>>& faces, const std::vector<std::vector<Point3>>& bounds) {
    if (bounds.empty() || faces.empty()) return;
    BoxIndex boxes;
    for (const std::vector<Point3>& face : faces) {
        double box[4] = {face[0].x, face[0].y, face[0].x, face[0].y};
        for (const Point3& p : face)
            box[0] = std::min(box[0], p.x), box[1] = std::min(box[1], p.y), box[2] = std::max(box[2], p.x),
            box[3] = std::max(box[3], p.y);
        boxes.Add(box);
    }
    boxes.Build(0.0);
    // Each bound's rightmost corner, and the smallest face holding it.
    struct Hole {
        std::size_t bound, right, face;
    };
    std::vector<Hole> holes;
    for (std::size_t b = 0; b < bounds.size(); ++b) {
        const std::vector<Point3>& bound = bounds[b];
        std::size_t right = 0;
        for (std::size_t k = 1; k < bound.size(); ++k)
            if (bound[k].x > bound[right].x) right = k;
        const Point3& m = bound[right];
        const double box[4] = {m.x, m.y, m.x, m.y};
        std::size_t best = faces.size();
        double bestArea = 0.0;
        for (int f : boxes.Query(box)) {
            const std::vector<Point3>& face = faces[static_cast<std::size_t>(f)];
            if (!PointInPointsEvenOdd(face, m)) continue;
            const double area = PointsSignedArea2(face) / 2.0;
            // The bound's own piece lies inside it, never around it.
            if (area <= -PointsSignedArea2(bound) / 2.0) continue;
            if (best == faces.size() || area < bestArea) best = static_cast<std::size_t>(f), bestArea = area;
        }
        if (best < faces.size()) holes.push_back({b, right, best});
    }
    std::sort(holes.begin(), holes.end(), [&bounds](const Hole& a, const Hole& b) {
        return bounds[a.bound][a.right].x > bounds[b.bound][b.right].x;
    });
    for (const Hole& h : holes) {
        std::vector<Point3>& face = faces[h.face];
        const std::vector<Point3>& bound = bounds[h.bound];
        const Point3& m = bound[h.right];
        // The nearest edge of the face to the right of m on its level.
        std::size_t at = face.size();
        double nearest = 0.0;
        for (std::size_t i = 0; i < face.size(); ++i) {
            const Point3 &a = face[i], &b = face[(i + 1) % face.size()];
            if ((a.y > m.y) == (b.y > m.y)) continue;
            const double x = a.x + (m.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (x > m.x && (at == face.size() || x < nearest)) at = i, nearest = x;
        }
        if (at == face.size()) continue;
        const Point3& a = face[at];
        const Point3& b = face[(at + 1) % face.size()];
        const Point3 on{nearest, m.y, a.z + (b.z - a.z) * ((m.y - a.y) / (b.y - a.y))};
        std::vector<Point3> joined(face.begin(), face.begin() + static_cast<std::ptrdiff_t>(at) + 1);
        joined.push_back(on);
        for (std::size_t k = 0; k <= bound.size(); ++k) joined.push_back(bound[(h.right + k) % bound.size()]);
        joined.push_back(on);
        joined.insert(joined.end(), face.begin() + static_cast<std::ptrdiff_t>(at) + 1, face.end());
        face = std::move(joined);
    }
}

}  // namespace

// The bounded faces of the plan graph of the cuts (ends within t
// are one vertex), each as a counter-clockwise ring: every edge is walked
// once each way, turning at each vertex onto the next edge clockwise from
// the one it came along, which keeps the face on the left.
std::vector<VertexNode*> BoundedFaces(const std::vector<CapCut>& cuts, double t) {
    std::vector<Point3> points;
    BoxIndex near;
    std::vector<Point3> all;
    for (const Cut& c : cuts) all.push_back(c.a), all.push_back(c.b);
    for (const Point3& p : all) {
        const double box[4] = {p.x, p.y, p.x, p.y};
        near.Add(box);
    }
    near.Build(t);
    // Each end's vertex: ends within t of each other are one, and so on
    // along a run of them (the cut across a fan of slivers is a run of
    // pieces shorter than t, whose ends only chained together meet the
    // pieces on either side). The vertex stands at the run's first end.
    std::vector<std::size_t> root(all.size());
    for (std::size_t i = 0; i < all.size(); ++i) root[i] = i;
    const auto find = [&root](std::size_t i) {
        while (root[i] != i) i = root[i] = root[root[i]];
        return i;
    };
    for (std::size_t i = 0; i < all.size(); ++i) {
        const double box[4] = {all[i].x, all[i].y, all[i].x, all[i].y};
        for (int j : near.Query(box)) {
            const std::size_t a = find(i), b = find(static_cast<std::size_t>(j));
            if (a != b && Distance2d(all[i], all[static_cast<std::size_t>(j)]) <= t)
                root[std::max(a, b)] = std::min(a, b);
        }
    }
    std::vector<int> vertexOf(all.size(), -1);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::size_t r = find(i);
        if (vertexOf[r] < 0) {
            vertexOf[r] = static_cast<int>(points.size());
            points.push_back(all[r]);
        }
        vertexOf[i] = vertexOf[r];
    }
    // Half-edges out of each vertex, counter-clockwise by angle.
    struct Half {
        int to;
        double angle;
        bool used;
    };
    std::vector<std::vector<Half>> out(points.size());
    for (std::size_t k = 0; k < cuts.size(); ++k) {
        const int u = vertexOf[2 * k], v = vertexOf[2 * k + 1];
        if (u == v) continue;
        const auto known = [&](int from, int to) {
            for (const Half& h : out[static_cast<std::size_t>(from)])
                if (h.to == to) return true;
            return false;
        };
        if (known(u, v)) continue;
        const Point3 &p = points[static_cast<std::size_t>(u)], &q = points[static_cast<std::size_t>(v)];
        out[static_cast<std::size_t>(u)].push_back({v, std::atan2(q.y - p.y, q.x - p.x), false});
        out[static_cast<std::size_t>(v)].push_back({u, std::atan2(p.y - q.y, p.x - q.x), false});
    }
    for (std::vector<Half>& list : out)
        std::sort(list.begin(), list.end(), [](const Half& a, const Half& b) { return a.angle < b.angle; });
    std::size_t halves = 0;
    for (const std::vector<Half>& list : out) halves += list.size();

    // The bounded faces (counter-clockwise) and the outer bounds of the
    // graph's pieces (clockwise).
    std::vector<std::vector<Point3>> faces, bounds;
    const auto ToPoints = [&points](const std::vector<int>& walk) {
        std::vector<Point3> out;
        for (int v : walk) out.push_back(points[static_cast<std::size_t>(v)]);
        return out;
    };
    std::vector<int> walk;
    for (std::size_t start = 0; start < out.size(); ++start)
        for (std::size_t e = 0; e < out[start].size(); ++e) {
            if (out[start][e].used) continue;
            walk.clear();
            int from = static_cast<int>(start);
            std::size_t index = e;
            bool closed = false;
            for (std::size_t steps = 0; steps <= halves; ++steps) {
                Half& h = out[static_cast<std::size_t>(from)][index];
                if (h.used) {
                    closed = from == static_cast<int>(start) && index == e;
                    break;
                }
                h.used = true;
                walk.push_back(from);
                // At the far end, the edge back is found, and the one before
                // it counter-clockwise is taken.
                const std::vector<Half>& there = out[static_cast<std::size_t>(h.to)];
                std::size_t back = 0;
                while (back < there.size() && there[back].to != from) ++back;
                from = h.to;
                index = (back + there.size() - 1) % there.size();
            }
            if (!closed || walk.size() < 3) continue;
            double area = 0.0;
            for (std::size_t k = 0; k < walk.size(); ++k) {
                const Point3& p = points[static_cast<std::size_t>(walk[k])];
                const Point3& q = points[static_cast<std::size_t>(walk[(k + 1) % walk.size()])];
                area += p.x * q.y - q.x * p.y;
            }
            if (area / 2.0 > t * t)
                faces.push_back(ToPoints(walk));
            else if (area / 2.0 < -t * t)
                bounds.push_back(ToPoints(walk));
        }
    WithHoles(faces, bounds);
    std::vector<VertexNode*> rings;
    for (const std::vector<Point3>& face : faces) {
        VertexNode* ring = nullptr;
        for (const Point3& p : face) AppendVertex(&ring, p, 0, 0, 0);
        rings.push_back(ring);
    }
    return rings;
}
