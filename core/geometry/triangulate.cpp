// Ear clipping and face output.
//
// The ear search walks the list from its head. At each vertex v it tests the
// triangle v-n-m (n the next vertex, m the one after): n convex, the diagonal
// v-m inside the angles at v and at m, and crossing no other edge. An ear
// becomes a face, n is cut, and the test repeats at the same v; past the last
// vertex the walk starts again from the head while the walk before it cut
// anything. What no walk can cut is fanned from the head. The faces are
// exactly those of that plain search; two things make it fast without
// changing a single decision:
//   - the ring is held in index arrays, so neighbours cost nothing;
//   - the crossing test asks a uniform grid of edges for the ones near the
//     diagonal instead of walking the whole ring. The per-edge predicate is
//     the same, and an edge far from the diagonal cannot meet it.
// Limits: the input must be counter-clockwise in plane coordinates; a
// self-intersecting input still gives faces (the fan takes what the ears
// leave), not a valid triangulation.
#include "core/geometry/triangulate.h"

#include <algorithm>
#include <cmath>

#include "core/geometry/polygon.h"
#include "core/module_state.h"

namespace {

int BoundaryFlag(const VertexNode* x, const VertexNode* y, int K) {
    if (x->data2 != y->data2) return 1;
    if (x->data1 == K) return y->data1 == 0 ? 0 : 1;
    const int diff = x->data1 - y->data1;
    return (diff >= -1 && diff <= 1) ? 0 : 1;
}

FaceRecord* MakeFace(const VertexNode* a, const VertexNode* b, const VertexNode* c, int K, const Matrix4& m) {
    auto* face = new FaceRecord;
    const VertexNode* corners[4] = {a, b, c, a};
    const int flags[4] = {BoundaryFlag(a, b, K), BoundaryFlag(b, c, K), BoundaryFlag(c, a, K), 1};
    VertexNode* tail = nullptr;
    for (int i = 0; i < 4; ++i) {
        Point3 p;
        TransformPoint(m, corners[i]->pt(), p);
        VertexNode* v = NewVertex(p.x, p.y, p.z, flags[i], corners[i]->data1, corners[i]->data2, 0);
        (tail ? tail->next : face->corners) = v;
        tail = v;
    }
    return face;
}

// Whether the diagonal V-M meets the edge E-F in a way that counts: a
// meeting at the diagonal's own end where the edge also ends is a touch.
bool DiagonalHitsEdge(const Point3& V, const Point3& M, const Point3& E, const Point3& F) {
    Point3 x;
    if (!IntersectLines2d(E, F, V, M, x, 1, ZcGeContext::gTol)) return false;
    const bool atV = PointsEqual(x, V, false), atM = PointsEqual(x, M, false);
    if (PointsEqual(x, E, false) && (atV || atM)) return false;
    if (!PointsEqual(x, F, false)) return true;
    return !atV && !atM;
}

// Edges bucketed by the grid cells they pass through (every cell within a
// small slack of the segment, so two segments that meet share a cell). An
// edge is filed under its start vertex; when an ear is cut the start vertex
// is filed again for its new edge, and stale entries are harmless because
// every candidate is tested against its current edge. Filing and asking
// follow the segment row by row, so a long diagonal costs the cells it
// crosses, not the cells of its bounding box.
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

}  // namespace

FaceRecord::~FaceRecord() { FreeList(corners); }

FaceRecord* TriangulatePolygon(VertexNode* list, int K, const Matrix4& toWorld) {
    const int count = CountNodes(list);
    if (count < 3) return nullptr;
    std::vector<VertexNode*> node;
    std::vector<Point3> pt;
    node.reserve(count);
    pt.reserve(count);
    for (VertexNode* v = list; v; v = v->next) {
        node.push_back(v);
        pt.push_back(v->pt());
    }
    std::vector<int> next(count), prev(count);
    for (int i = 0; i < count; ++i) {
        next[i] = (i + 1) % count;
        prev[i] = (i + count - 1) % count;
    }
    int head = 0, size = count;
    auto cut = [&](int i) {
        next[prev[i]] = next[i];
        prev[next[i]] = prev[i];
        if (head == i) head = next[i];
        --size;
    };

    EdgeGrid grid(pt);
    for (int i = 0; i < count; ++i) grid.insert(i, pt[i], pt[next[i]]);
    auto diagonalCrosses = [&](int v, int n, int m) {
        return grid.any(pt[v], pt[m], [&](int e) {
            const int f = next[e];
            if (prev[f] != e) return false;  // e has been cut
            if (e == v || e == n || e == m || f == v || f == n || f == m) return false;
            return DiagonalHitsEdge(pt[v], pt[m], pt[e], pt[f]);
        });
    };

    const double pi = PiValue;
    FaceRecord* faces = nullptr;
    for (bool cutAny = true; cutAny;) {
        cutAny = false;
        int v = head;
        for (;;) {
            const int p = prev[v], n = next[v], m = next[n], k = next[m];
            const Point3 &V = pt[v], &N = pt[n], &M = pt[m];
            const bool ear = AngleBetweenLines(N, M, N, V) < pi &&
                             AngleBetweenLines(V, N, V, M) < AngleBetweenLines(V, N, V, pt[p]) &&
                             AngleBetweenLines(M, V, M, N) < AngleBetweenLines(M, pt[k], M, N) &&
                             !diagonalCrosses(v, n, m);
            if (ear) {
                FaceRecord* face = MakeFace(node[v], node[n], node[m], K, toWorld);
                face->next = faces;
                faces = face;
                cut(n);
                grid.insert(v, V, M);
                cutAny = true;
                continue;
            }
            if (next[v] == head) break;  // v was the last vertex of the list
            v = next[v];
        }
    }
    while (size >= 3) {
        const int q = next[head];
        FaceRecord* face = MakeFace(node[head], node[q], node[next[q]], K, toWorld);
        face->next = faces;
        faces = face;
        cut(q);
    }
    for (VertexNode* v : node) delete v;
    return faces;
}

bool DiagonalCrossesPolygon(const VertexNode* list, const VertexNode* v, const VertexNode* n,
                            const VertexNode* m) {
    for (const VertexNode* e = list; e; e = e->next) {
        const VertexNode* f = NextInRing(list, e);
        if (e == v || e == n || e == m || f == v || f == n || f == m) continue;
        if (DiagonalHitsEdge(v->pt(), m->pt(), e->pt(), f->pt())) return true;
    }
    return false;
}

FaceEntityData FaceToEntityData(const FaceRecord& face) {
    FaceEntityData data;
    int weight = 1, i = 0;
    for (const VertexNode* c = face.corners; c && i < 4; c = c->next, ++i, weight *= 2) {
        data.corners[i] = c->pt();
        if (c->edgeFlag) data.flags70 += weight;
    }
    return data;
}

bool PlaneMatrices(const Point3& p0, const Point3& p1, const Point3& p2, double& a, double& b, double& c,
                   double& d, Matrix4& toPlane, Matrix4& toWorld) {
    if (!PlaneCoefficients3(p0, p1, p2, a, b, c, d)) return false;
    Point3 origin = p0;
    Point3 xDir{p2.x - p0.x, p2.y - p0.y, 0.0};
    if (std::fabs(xDir.x) < SharedTolerance && std::fabs(xDir.y) < SharedTolerance) {
        origin = p1;
        xDir = {p2.x - p1.x, p2.y - p1.y, 0.0};
    }
    if (!PlaneToXYMatrix(origin, xDir, {0.0, 0.0, 1.0}, toPlane)) return false;
    return InvertMatrix4(toPlane, toWorld);
}

VertexNode* ProjectPointsOnLine(VertexNode** list, double spacing, const Point3& a, const Point3& b, double angle,
                                double* angleOut) {
    const double right = PiValue * 0.5;
    double side = AngleTo(a, b) + right;
    for (const VertexNode* v = *list; v; v = v->next) {
        if (!ArePointsCollinear(a, b, v->pt(), SharedTolerance)) {
            side = PerpendicularAngleTowards(a, angle, v->pt());
            break;
        }
    }
    if (angleOut) *angleOut = side;
    const Point3 far = PolarPoint(a, side - right, spacing * 1000000.0);
    *list = SortVerticesByDistance(far, *list);

    auto footOf = [&](const VertexNode* v) {
        Point3 f;
        PerpendicularFoot(v->pt(), a, b, f);
        return f;
    };
    for (VertexNode* u = *list; u;) {
        const Point3 fu = footOf(u);
        bool uRemoved = false;
        for (VertexNode* w = u->next; w;) {
            const Point3 fw = footOf(w);
            if (Distance2d(fu, fw) >= SharedTolerance) {
                w = w->next;
                continue;
            }
            if (Distance3dRev(u->pt(), fu) <= Distance3dRev(w->pt(), fw)) {
                w = RemoveNode(list, w);
            } else {
                u = RemoveNode(list, u);
                uRemoved = true;
                break;
            }
        }
        if (!uRemoved) u = u->next;
    }

    VertexNode* measured = nullptr;
    int number = 0;
    for (VertexNode* v = *list; v; v = v->next, ++number) {
        v->data1 = number;
        VertexNode* copy = NewVertex(v->x, v->y, v->z, v->edgeFlag, number, v->data2, 0);
        copy->next = measured;
        measured = copy;
        v->setPt(footOf(v));
    }
    return measured;
}
