// Ear clipping and face output.
//
// The ear search walks the list from its head. At each vertex v it tests the
// triangle v-n-m (n the next vertex, m the one after): n convex, the diagonal
// v-m inside the angles at v and at m, and crossing no other edge. An ear
// becomes a face, n is cut, and the test repeats at the same v; past the last
// vertex the walk starts again from the head while the walk before it cut
// anything. What no walk can cut is fanned from the head. The faces are
// exactly those of that plain search; these make it fast without changing a
// single decision:
//   - the ring is held in index arrays, so neighbours cost nothing;
//   - a vertex whose neighbours and blocking edge are as they were at its
//     last test is not tested again: its answer cannot have changed;
//   - the angle tests read the turns between the edges from cross products
//     when they are clear by far more than rounding, and only closer calls
//     work out (and keep) the directions of the edges;
//   - the crossing test asks a tree of the live edges' boxes for the ones
//     near the diagonal instead of walking the whole ring. The per-edge
//     predicate is the same, and an edge far from the diagonal cannot meet
//     it. A cut leaves the tree at once and the edge that replaces it is
//     refitted in place, so a vertex fanning a long strip costs the depth of
//     the tree per ear, not the length of its diagonals;
//   - a strictly convex ring needs no tree while the two vertices beyond the
//     diagonal's ends stand clear of it: every vertex between them stands
//     further off, so a fan costs the same at every ear;
//   - each vertex is mapped to world coordinates once, and the node of the
//     vertex an ear cuts off becomes a corner of its face.
// Limits: the input must be counter-clockwise in plane coordinates; a
// self-intersecting input still gives faces (the fan takes what the ears
// leave), not a valid triangulation.
#include "core/geometry/triangulate.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/edge_tree.h"
#include "core/geometry/polygon.h"

namespace {

FaceRecord* MakeFace(const VertexNode* a, VertexNode* b, const VertexNode* c, const Point3 world[3], int K);
int BoundaryFlag(const VertexNode* x, const VertexNode* y, int K);
bool DiagonalHitsEdge(const Point3& V, const Point3& M, const Point3& E, const Point3& F);
struct Vec {
    double x, y;
};
int TurnOrder(const Vec& a, const Vec& b);
int TurnOrder(const Vec& a, const Vec& b, const Vec& c, double sense = 1.0);
int TurnOrderBack(const Vec& a, const Vec& x, const Vec& y);
bool StrictlyConvex(const std::vector<Point3>& pt);
bool ClearBeyond(const Point3& V, const Point3& M, const Point3& X, double clearance);

// A set of small integers with "the first member from i on" in a few word
// scans: one bit per member, and one bit per word that has any.
class Marks {
public:
    explicit Marks(int count)
        : count_(count), word_((static_cast<size_t>(count) + 63) / 64), any_((word_.size() + 63) / 64) {
        for (int i = 0; i < count; ++i) set(i);
    }
    void set(int i) {
        word_[i >> 6] |= Bit(i);
        any_[i >> 12] |= Bit(i >> 6);
    }
    void reset(int i) {
        std::uint64_t& w = word_[i >> 6];
        w &= ~Bit(i);
        if (!w) any_[i >> 12] &= ~Bit(i >> 6);
    }
    // The first member not below i, or -1.
    int from(int i) const {
        if (i >= count_) return -1;
        size_t w = static_cast<size_t>(i) >> 6;
        if (const std::uint64_t bits = word_[w] & (~std::uint64_t{0} << (i & 63)))
            return static_cast<int>(w * 64 + std::countr_zero(bits));
        if (++w >= word_.size()) return -1;
        size_t a = w >> 6;
        std::uint64_t bits = any_[a] & (~std::uint64_t{0} << (w & 63));
        while (!bits) {
            if (++a >= any_.size()) return -1;
            bits = any_[a];
        }
        w = a * 64 + std::countr_zero(bits);
        return static_cast<int>(w * 64 + std::countr_zero(word_[w]));
    }

private:
    static std::uint64_t Bit(int i) { return std::uint64_t{1} << (i & 63); }
    int count_;
    std::vector<std::uint64_t> word_, any_;
};

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

    // Directions of the edge leaving each vertex, forward and back, worked
    // out when an angle test is too close to call from the turns alone;
    // NaN until then, and again once the edge is replaced by a diagonal.
    const double unknown = std::nan("");
    std::vector<double> fwd(count, unknown), bwd(count, unknown);
    auto forward = [&](int i) {
        if (std::isnan(fwd[i])) fwd[i] = AngleTo(pt[i], pt[next[i]]);
        return fwd[i];
    };
    auto backward = [&](int i) {
        if (std::isnan(bwd[i])) bwd[i] = AngleTo(pt[next[i]], pt[i]);
        return bwd[i];
    };
    const bool convex = StrictlyConvex(pt);
    const double clearance = 2.0 * EdgeTree::Slack(pt);

    // The tree of live edges is built when a test first needs it: a convex
    // ring may never need it.
    std::optional<EdgeTree> edges;
    auto tree = [&]() -> EdgeTree& {
        if (!edges) {
            edges.emplace(count, pt);
            for (int i = head, left = size; left > 0; i = next[i], --left)
                edges->place(i, pt[i], pt[next[i]]);
            edges->rebuild();
        }
        return *edges;
    };
    std::vector<char> live(count, 1);
    // The edge that blocks diagonal v-m, or -1.
    auto blocker = [&](int v, int n, int m) {
        // Every edge of a ring of three or four touches v, n or m.
        if (size <= 4) return -1;
        // In a strictly convex ring the vertices beyond the diagonal lie
        // nearer to its line the nearer they are to its ends, so when the
        // two next to its ends stand clear of the line, all the edges
        // between them do: none can meet the diagonal.
        if (convex && ClearBeyond(pt[v], pt[m], pt[next[m]], clearance) &&
            ClearBeyond(pt[v], pt[m], pt[prev[v]], clearance))
            return -1;
        int found = -1;
        tree().any(pt[v], pt[m], [&](int e) {
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

    // The faces' corners in world coordinates, each vertex mapped once. The
    // face cutting off a vertex takes that vertex's node as its corner: the
    // ring no longer needs it.
    std::vector<Point3> world(count);
    for (int i = 0; i < count; ++i) TransformPoint(toWorld, pt[i], world[i]);
    auto face3 = [&](int a, int b, int c) {
        const Point3 corners[3] = {world[a], world[b], world[c]};
        return MakeFace(node[a], node[b], node[c], corners, K);
    };

    const double pi = std::numbers::pi;
    FaceRecord* faces = nullptr;
    // The vertices whose answer may differ from their last test: the memo
    // of every other one gives "no" again, so a pass visits only these, in
    // ring order, which is index order from the head since the ring only
    // ever loses vertices. A vertex is due again when one of the four
    // vertices its test reads changes, or when the edge that blocked its
    // diagonal goes or is replaced.
    Marks due(count);
    // The vertices each edge blocks, as lists linked through the vertices:
    // a vertex has one blocking edge at a time.
    std::vector<int> firstBlocked(count, -1), nextBlocked(count, -1), prevBlocked(count, -1),
        blockedBy(count, -1);
    auto unlinkBlocked = [&](int x) {
        const int e = blockedBy[x];
        if (e < 0) return;
        (prevBlocked[x] >= 0 ? nextBlocked[prevBlocked[x]] : firstBlocked[e]) = nextBlocked[x];
        if (nextBlocked[x] >= 0) prevBlocked[nextBlocked[x]] = prevBlocked[x];
        blockedBy[x] = -1;
    };
    auto linkBlocked = [&](int x, int e) {
        unlinkBlocked(x);
        blockedBy[x] = e;
        prevBlocked[x] = -1;
        nextBlocked[x] = firstBlocked[e];
        if (firstBlocked[e] >= 0) prevBlocked[firstBlocked[e]] = x;
        firstBlocked[e] = x;
    };
    auto edgeChanged = [&](int e) {
        for (int x = firstBlocked[e]; x >= 0; x = nextBlocked[x]) {
            if (live[x]) due.set(x);
            blockedBy[x] = -1;
        }
        firstBlocked[e] = -1;
    };
    for (bool cutAny = true; cutAny;) {
        cutAny = false;
        for (int v = due.from(head); v >= 0;) {
            due.reset(v);
            const int p = prev[v], n = next[v], m = next[n], k = next[m];
            const Point3 &V = pt[v], &M = pt[m];
            Memo& known = memo[v];
            if (known.p != p || known.n != n || known.m != m || known.k != k) {
                known = {p, n, m, k, false, -1, -1};
                // AngleBetweenLines(N, M, N, V) < pi, then (V, N, V, M) <
                // (V, N, V, P), then (M, V, M, N) < (M, K, M, N): from the
                // turns between the vectors when they are clear, else from
                // the directions as the plain search computes them.
                const Point3 &P = pt[p], &N = pt[n], &Kp = pt[k];
                const Vec nm{M.x - N.x, M.y - N.y}, nv{V.x - N.x, V.y - N.y};
                int order = TurnOrder(nm, nv);
                if (order < 0) order = AngleBetweenDirections(forward(n), backward(v)) < pi;
                if (order) {
                    const Vec vn{N.x - V.x, N.y - V.y}, vm{M.x - V.x, M.y - V.y}, vp{P.x - V.x, P.y - V.y};
                    order = TurnOrder(vn, vm, vp);
                    if (order < 0)
                        order = AngleBetweenDirections(forward(v), AngleTo(V, M)) <
                                AngleBetweenDirections(forward(v), backward(p));
                }
                if (order) {
                    const Vec mn{N.x - M.x, N.y - M.y}, mv{V.x - M.x, V.y - M.y}, mk{Kp.x - M.x, Kp.y - M.y};
                    order = TurnOrderBack(mn, mv, mk);
                    if (order < 0)
                        order = AngleBetweenDirections(AngleTo(M, V), backward(n)) <
                                AngleBetweenDirections(forward(m), backward(n));
                }
                known.angles = order > 0;
            }
            bool ear = false;
            if (known.angles &&
                !(known.blockE >= 0 && live[known.blockE] && next[known.blockE] == known.blockF)) {
                const int e = blocker(v, n, m);
                known.blockE = e;
                known.blockF = e >= 0 ? next[e] : -1;
                if (e >= 0) linkBlocked(v, e);
                ear = e < 0;
            }
            if (ear) {
                FaceRecord* face = face3(v, n, m);
                face->next = faces;
                faces = face;
                cut(n);
                live[n] = 0;
                fwd[v] = bwd[v] = unknown;
                if (edges) {
                    edges->clearAndSet(n, v, V, M);
                }
                due.reset(n);
                edgeChanged(n);
                edgeChanged(v);
                due.set(next[v]);
                due.set(prev[v]);
                due.set(prev[prev[v]]);
                cutAny = true;
                continue;  // v itself is tested again at once
            }
            v = due.from(v + 1);
        }
    }
    while (size >= 3) {
        const int q = next[head];
        FaceRecord* face = face3(head, q, next[q]);
        face->next = faces;
        faces = face;
        cut(q);
    }
    // The two vertices the fan leaves; every other one became a corner.
    delete node[next[head]];
    delete node[head];
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
    const double right = std::numbers::pi * 0.5;
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

// The face a-b-c with its corners at `world`; b's node becomes the second
// corner, as a fresh one would be.
FaceRecord* MakeFace(const VertexNode* a, VertexNode* b, const VertexNode* c, const Point3 world[3], int K) {
    auto* face = new FaceRecord;
    const int ab = BoundaryFlag(a, b, K), bc = BoundaryFlag(b, c, K), ca = BoundaryFlag(c, a, K);
    VertexNode* first = NewVertex(world[0].x, world[0].y, world[0].z, ab, a->data1, a->data2, 0);
    VertexNode* third = NewVertex(world[2].x, world[2].y, world[2].z, ca, c->data1, c->data2, 0);
    VertexNode* last = NewVertex(world[0].x, world[0].y, world[0].z, 1, a->data1, a->data2, 0);
    *b = VertexNode{.x = world[1].x,
                    .y = world[1].y,
                    .z = world[1].z,
                    .edgeFlag = bc,
                    .data1 = b->data1,
                    .data2 = b->data2};
    face->corners = first;
    first->next = b;
    b->next = third;
    third->next = last;
    return face;
}

int BoundaryFlag(const VertexNode* x, const VertexNode* y, int K) {
    if (x->data2 != y->data2) return 1;
    if (x->data1 == K) return y->data1 == 0 ? 0 : 1;
    const int diff = x->data1 - y->data1;
    return (diff >= -1 && diff <= 1) ? 0 : 1;
}

// The angle tests compare directions from atan2, measured counter-clockwise
// from one to the other in [0, 2 pi). Those values are within a few units in
// the last place of the true angles of the same difference vectors, so when
// the vectors are far from parallel (the sine of every angle involved above
// 1e-12, against rounding near 1e-15 in the directions and in the cross
// products) the sign of a cross product gives the same answer. Closer calls
// (1 / 0 clear, -1 too close) go to the directions.
double Cross(const Vec& a, const Vec& b) {
    return a.x * b.y - a.y * b.x;
}
double Size(const Vec& a) {
    return std::fabs(a.x) + std::fabs(a.y);
}
// -1, 0 or 1: the cross product of a and b (times sense) close to 0, below, above.
int Side(const Vec& a, const Vec& b, double sense) {
    const double c = sense * Cross(a, b), margin = 1e-12 * Size(a) * Size(b);
    if (c > margin) return 1;
    if (c < -margin) return 0;
    return -1;
}

// Whether the angle from a to b is below pi.
int TurnOrder(const Vec& a, const Vec& b) {
    return Side(a, b, 1.0);
}

// Whether the angle from a to b is below the angle from a to c; with sense
// -1, the same in the mirror image, where angles run the other way.
int TurnOrder(const Vec& a, const Vec& b, const Vec& c, double sense) {
    const int upperB = Side(a, b, sense), upperC = Side(a, c, sense);
    if (upperB < 0 || upperC < 0) return -1;
    // b in the half turn up to pi from a, c beyond it, or the other way.
    if (upperB != upperC) return upperB;
    return Side(b, c, sense);
}

// Whether the angle from x to a is below the angle from y to a.
int TurnOrderBack(const Vec& a, const Vec& x, const Vec& y) {
    return TurnOrder(a, x, y, -1.0);
}

// Whether the ring turns left at every vertex, by more than rounding can
// fake, and winds round once: then it is strictly convex, and so is every
// ring left after cutting ears from it. Each turn is below a half turn, so
// a direction can cross at most one of east and west between one edge and
// the next, and one winding crosses each once: the signs of the edges'
// components, exact for the differences, count the crossings.
bool StrictlyConvex(const std::vector<Point3>& pt) {
    const size_t count = pt.size();
    auto edge = [&](size_t i) {
        const Point3 &a = pt[i], &b = pt[(i + 1) % count];
        return Vec{b.x - a.x, b.y - a.y};
    };
    // Whether a direction lies in the half turn from east up to west.
    auto upper = [](const Vec& d) { return d.y > 0.0 || (d.y == 0.0 && d.x > 0.0); };
    int crossings = 0;
    Vec before = edge(count - 1);
    for (size_t i = 0; i < count; ++i) {
        const Vec after = edge(i);
        if (Side(before, after, 1.0) != 1) return false;
        crossings += upper(before) != upper(after);
        before = after;
    }
    return crossings == 2;
}

// Whether X lies to the left of the line V->M (away from the ear v-n-m of a
// counter-clockwise ring) by more than the clearance. A segment whose ends
// both do cannot meet V-M under the intersection tolerance, even with
// rounding: the clearance (twice the edge tree's slack) is far wider than
// either.
bool ClearBeyond(const Point3& V, const Point3& M, const Point3& X, double clearance) {
    const double dx = M.x - V.x, dy = M.y - V.y;
    const double across = dx * (X.y - V.y) - dy * (X.x - V.x);
    return across > clearance * std::sqrt(dx * dx + dy * dy);
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
