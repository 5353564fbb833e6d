// Questions to a built graph about faces near a point: the nearest face
// along a perpendicular, and the face across a wall.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>

#include "core/base/module_state.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/graph_index.h"

namespace {

constexpr double kNoDistance = 3.4028234663852886e38;

bool Crossing(const Point3& a, const Point3& b, const Point3& c, const Point3& d, Point3& x) {
    return IntersectLines2d(a, b, c, d, x, 1, ZcGeContext::gTol);
}

}  // namespace

// The faces are tried ring of cells by ring of cells around the point, until
// no face outside the rings can be nearer than the nearest found; among
// faces at the same distance the first in list order wins, as in a scan.
WallFace* CFACCIATE::FindNearestFace(const Point3& point, double* angle) const {
    const Point3 p{point.x, point.y, level};
    const double right = std::numbers::pi * 0.5, reach = 100000.0;
    graph_index::FaceCache& cache = CachedFaces();
    if (!cache.spans) cache.spans = std::make_unique<graph_index::SpanIndex>(faces, unitFactor);
    graph_index::SpanIndex& s = *cache.spans;
    if (++s.search == 0) {
        std::fill(s.tried.begin(), s.tried.end(), 0u);
        s.search = 1;
    }
    WallFace* best = nullptr;
    int bestId = -1;
    double bestDistance = 0.0;
    Point3 bestPoint;
    auto tryFace = [&](int id) {
        if (s.tried[id] == s.search) return;
        s.tried[id] = s.search;
        WallFace* f = s.list[id];
        if (f->isArc() || Distance2d(f->start, f->end) < SharedTolerance) return;
        const double theta = AngleTo(f->start, f->end);
        const Point3 q1 = PolarPoint(p, theta + right, reach), q2 = PolarPoint(p, theta - right, reach);
        Point3 x;
        if (!Crossing(q1, q2, f->start, f->end, x)) return;
        const double d = Distance2d(p, x);
        if (!best || d < bestDistance || (d == bestDistance && id < bestId)) {
            best = f;
            bestId = id;
            bestDistance = d;
            bestPoint = x;
        }
    };
    for (int id : s.wide) tryFace(id);
    const std::int64_t cx = s.cellOf(p.x), cy = s.cellOf(p.y);
    // Settled when every face left untried is farther than the nearest one;
    // else (a point at the grid's far edge, or far from every face) the rest
    // is tried too.
    bool settled = false;
    if (s.maxX < s.minX) {
        settled = true;  // no straight face in the cells
    } else if (std::abs(cx) < 1000000000 && std::abs(cy) < 1000000000) {
        const std::int64_t last = std::max(
            {std::abs(cx - s.minX), std::abs(cx - s.maxX), std::abs(cy - s.minY), std::abs(cy - s.maxY)});
        auto visit = [&](std::int64_t ix, std::int64_t iy) { s.cells.forEach(ix, iy, tryFace); };
        std::size_t visited = 0;
        for (std::int64_t k = 0;; ++k) {
            if (k > last) {
                settled = true;  // every cell in use was visited
                break;
            }
            if (k == 0) {
                visit(cx, cy);
            } else {
                for (std::int64_t i = -k; i <= k; ++i) {
                    visit(cx + i, cy - k);
                    visit(cx + i, cy + k);
                }
                for (std::int64_t i = -k + 1; i <= k - 1; ++i) {
                    visit(cx - k, cy + i);
                    visit(cx + k, cy + i);
                }
            }
            // Every face not tried yet lies more than k cells away, so its
            // crossing (within a tolerance far below a cell) is farther.
            if (best && bestDistance + s.cell <= static_cast<double>(k) * s.cell) {
                settled = true;
                break;
            }
            visited += k == 0 ? 1 : 8 * static_cast<std::size_t>(k);
            if (visited > s.cells.cells() + s.list.size()) break;
        }
    }
    if (!settled)
        for (int id = 0; id < static_cast<int>(s.list.size()); ++id) tryFace(id);
    if (!best || bestDistance < SharedTolerance) return nullptr;
    if (angle) *angle = AngleTo(p, bestPoint);
    return best;
}

WallFace* FindFaceAcross(const CFACCIATE& graph, const Point3& point, WallFace* face, double* distance,
                         double* angle, bool limitToWall) {
    double nearest = kNoDistance;
    if (distance) *distance = nearest;
    if (!face || face->isArc()) return nullptr;
    const double theta = AngleTo(face->start, face->end), right = std::numbers::pi * 0.5;
    const double reach = 1000.0 * graph.unitFactor;
    const Point3 q1 = PolarPoint(point, theta + right, reach), q2 = PolarPoint(point, theta - right, reach);
    WallFace* best = nullptr;
    Point3 bestPoint;
    for (WallFace* f = graph.faces; f; f = f->next) {
        if (f == face || f->isArc()) continue;
        Point3 x;
        if (!Crossing(q1, q2, f->start, f->end, x)) continue;
        const double d = Distance2d(point, x);
        if (d < nearest) {
            nearest = d;
            best = f;
            bestPoint = x;
        }
    }
    if (!best) return nullptr;
    if (distance) *distance = nearest;
    if (angle) *angle = AngleTo(point, bestPoint);
    if (nearest < SharedTolerance) return nullptr;
    if (limitToWall && nearest > graph.maxWallThickness) return nullptr;
    return best;
}
