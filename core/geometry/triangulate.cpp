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
//   - a vertex whose neighbours and blocking edge are as they were at its
//     last test is not tested again: its answer cannot have changed;
//   - the directions of the ring's edges are kept, so a test computes only
//     those of its diagonal;
//   - the crossing test asks a tree of the live edges' boxes for the ones
//     near the diagonal instead of walking the whole ring. The per-edge
//     predicate is the same, and an edge far from the diagonal cannot meet
//     it. A cut leaves the tree at once and the edge that replaces it is
//     refitted in place, so a vertex fanning a long strip costs the depth of
//     the tree per ear, not the length of its diagonals.
// Limits: the input must be counter-clockwise in plane coordinates; a
// self-intersecting input still gives faces (the fan takes what the ears
// leave), not a valid triangulation.
#include "core/geometry/triangulate.h"

#include <algorithm>
#include <cmath>

#include "core/geometry/edge_tree.h"
#include "core/geometry/polygon.h"
#include "core/module_state.h"

namespace {

FaceRecord* MakeFace(const VertexNode* a, const VertexNode* b, const VertexNode* c, int K, const Matrix4& m);
int BoundaryFlag(const VertexNode* x, const VertexNode* y, int K);
bool DiagonalHitsEdge(const Point3& V, const Point3& M, const Point3& E, const Point3& F);

}  // namespace

FaceRecord::~FaceRecord() {
    FreeList(corners);
}

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

    EdgeTree edges(count, pt);
    for (int i = 0; i < count; ++i) edges.place(i, pt[i], pt[next[i]]);
    edges.rebuild();
    std::vector<char> live(count, 1);
    // The edge that blocks diagonal v-m, or -1.
    auto blocker = [&](int v, int n, int m) {
        int found = -1;
        edges.any(pt[v], pt[m], [&](int e) {
            const int f = next[e];
            if (e == v || e == n || e == m || f == v || f == n || f == m) return false;
            if (!DiagonalHitsEdge(pt[v], pt[m], pt[e], pt[f])) return false;
            found = e;
            return true;
        });
        return found;
    };

    // What the last test at each vertex found. The angle tests read only
    // the five vertices p..k, and an edge that blocked the diagonal blocks
    // it as long as both are unchanged, so a vertex whose neighbourhood has
    // not changed since its last test gets the same answer without the
    // trigonometry or the search: later passes cost little.
    struct Memo {
        int p = -1, n = -1, m = -1, k = -1;
        bool angles = false;
        int blockE = -1, blockF = -1;
    };
    std::vector<Memo> memo(count);
    // Directions of the edge leaving each vertex, forward and back, and of
    // the diagonal last tested from it.
    std::vector<double> fwd(count), bwd(count), diagonal(count), back(count);
    for (int i = 0; i < count; ++i) {
        fwd[i] = AngleTo(pt[i], pt[next[i]]);
        bwd[i] = AngleTo(pt[next[i]], pt[i]);
    }

    const double pi = PiValue;
    FaceRecord* faces = nullptr;
    for (bool cutAny = true; cutAny;) {
        cutAny = false;
        int v = head;
        for (;;) {
            const int p = prev[v], n = next[v], m = next[n], k = next[m];
            const Point3 &V = pt[v], &M = pt[m];
            Memo& known = memo[v];
            if (known.p != p || known.n != n || known.m != m || known.k != k) {
                known = {p, n, m, k, false, -1, -1};
                // AngleBetweenLines(N, M, N, V) < pi, then (V, N, V, M) <
                // (V, N, V, P), then (M, V, M, N) < (M, K, M, N), from the
                // directions of the ring's edges and of the diagonal.
                known.angles = false;
                if (AngleBetweenDirections(fwd[n], bwd[v]) < pi) {
                    diagonal[v] = AngleTo(V, M);
                    if (AngleBetweenDirections(fwd[v], diagonal[v]) <
                        AngleBetweenDirections(fwd[v], bwd[p])) {
                        back[v] = AngleTo(M, V);
                        known.angles =
                            AngleBetweenDirections(back[v], bwd[n]) < AngleBetweenDirections(fwd[m], bwd[n]);
                    }
                }
            }
            bool ear = false;
            if (known.angles &&
                !(known.blockE >= 0 && live[known.blockE] && next[known.blockE] == known.blockF)) {
                const int e = blocker(v, n, m);
                known.blockE = e;
                known.blockF = e >= 0 ? next[e] : -1;
                ear = e < 0;
            }
            if (ear) {
                FaceRecord* face = MakeFace(node[v], node[n], node[m], K, toWorld);
                face->next = faces;
                faces = face;
                cut(n);
                live[n] = 0;
                fwd[v] = diagonal[v];
                bwd[v] = back[v];
                edges.clear(n);
                edges.set(v, V, M);
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

VertexNode* ProjectPointsOnLine(VertexNode** list, double spacing, const Point3& a, const Point3& b,
                                double angle, double* angleOut) {
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

namespace {

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

int BoundaryFlag(const VertexNode* x, const VertexNode* y, int K) {
    if (x->data2 != y->data2) return 1;
    if (x->data1 == K) return y->data1 == 0 ? 0 : 1;
    const int diff = x->data1 - y->data1;
    return (diff >= -1 && diff <= 1) ? 0 : 1;
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

}  // namespace
