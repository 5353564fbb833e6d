// Clipping, shadows and merges of plan polygons.
//
// All three are one boolean operation on two simple rings A and B:
//   1. each ring gets a vertex wherever the other's edges cross it or its
//      vertices lie on it, unless the point is within the snap distance of
//      an end of the edge concerned;
//   2. vertices within the snap distance of each other are one node;
//   3. every edge is classified against the other ring: outside, inside,
//      or on its border, running the same way as a border edge of the
//      other or the opposite way;
//   4. the edges of the result are chosen by the operation (difference:
//      A outside B and B inside A reversed; intersection: both inside;
//      union: both outside), and walked into closed loops. Where several
//      edges leave one node the walk takes the sharpest left turn, so that
//      loops touching at a point stay apart.
// Counter-clockwise loops are pieces, clockwise ones holes. The rings are
// small (faces of one view): every step is quadratic in their edges.
#include "visual/views/polygon_clip.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/polygon.h"

namespace {

struct Vx {
    double x = 0.0, y = 0.0, z = 0.0, h = 0.0;
    std::uint8_t mark = 0;
};
using Ring = std::vector<Vx>;

double Tol100() {
    return 100.0 * SharedTolerance;
}

Point3 P3(const Vx& v) {
    return {v.x, v.y, v.z};
}

Ring FromList(const VertexNode* list) {
    Ring r;
    for (const VertexNode* v = list; v; v = v->next) r.push_back({v->x, v->y, v->z, v->spare, v->mark});
    return r;
}

VertexNode* ToList(const Ring& r) {
    VertexNode* head = nullptr;
    VertexNode** tail = &head;
    for (const Vx& v : r) {
        *tail = NewVertex(v.x, v.y, v.z, 0, 0, 0, v.mark);
        (*tail)->spare = v.h;
        tail = &(*tail)->next;
    }
    return head;
}

double SignedArea(const Ring& r) {
    double a = 0.0;
    for (std::size_t i = 0; i < r.size(); ++i) {
        const Vx& p = r[i];
        const Vx& q = r[(i + 1) % r.size()];
        a += p.x * q.y - q.x * p.y;
    }
    return a / 2.0;
}

// Reverses the ring, each edge keeping its mark.
void Reverse(Ring& r) {
    if (r.empty()) return;
    std::vector<std::uint8_t> marks(r.size());
    for (std::size_t i = 0; i < r.size(); ++i) marks[i] = r[i].mark;
    std::reverse(r.begin(), r.end());
    // Edge i of the reversed ring is old edge n - 2 - i (mod n).
    const std::size_t n = r.size();
    for (std::size_t i = 0; i < n; ++i) r[i].mark = marks[(2 * n - 2 - i) % n];
}

void MakeCounterClockwise(Ring& r) {
    if (SignedArea(r) < 0.0) Reverse(r);
}

double PlanLength(const Vx& a, const Vx& b) {
    return std::hypot(b.x - a.x, b.y - a.y);
}

// The point at plan (x, y) on edge a-b, z and height interpolated.
Vx OnEdge(const Vx& a, const Vx& b, double x, double y) {
    const double len = PlanLength(a, b);
    const double t = len > 0.0 ? std::hypot(x - a.x, y - a.y) / len : 0.0;
    return {x, y, a.z + (b.z - a.z) * t, a.h + (b.h - a.h) * t, a.mark};
}

// Whether p lies on the segment a-b within `snap` of it, measured square
// to the segment.
bool OnSegment(const Vx& p, const Vx& a, const Vx& b, double snap) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    if (len2 <= 0.0) return false;
    const double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2;
    if (t < 0.0 || t > 1.0) return false;
    return std::fabs((p.x - a.x) * dy - (p.y - a.y) * dx) / std::sqrt(len2) <= snap;
}

struct Insert {
    double t;
    Vx v;
};

// Step 1: every crossing and touching point of the two rings becomes a
// vertex of both, unless it falls within snap of an end of the edge.
void InsertCrossings(Ring& A, Ring& B, double snap) {
    std::vector<std::vector<Insert>> inA(A.size()), inB(B.size());
    auto add = [snap](std::vector<Insert>& at, const Vx& a, const Vx& b, double x, double y) {
        if (PointsNear2d({x, y, 0}, P3(a), snap) || PointsNear2d({x, y, 0}, P3(b), snap)) return;
        at.push_back({std::hypot(x - a.x, y - a.y), OnEdge(a, b, x, y)});
    };
    for (std::size_t i = 0; i < A.size(); ++i) {
        const Vx &a0 = A[i], &a1 = A[(i + 1) % A.size()];
        for (std::size_t j = 0; j < B.size(); ++j) {
            const Vx &b0 = B[j], &b1 = B[(j + 1) % B.size()];
            if (std::max(a0.x, a1.x) < std::min(b0.x, b1.x) - snap ||
                std::max(b0.x, b1.x) < std::min(a0.x, a1.x) - snap ||
                std::max(a0.y, a1.y) < std::min(b0.y, b1.y) - snap ||
                std::max(b0.y, b1.y) < std::min(a0.y, a1.y) - snap)
                continue;
            Point3 x;
            if (IntersectLines2d(P3(a0), P3(a1), P3(b0), P3(b1), x, 1, ModuleGeomTol)) {
                add(inA[i], a0, a1, x.x, x.y);
                add(inB[j], b0, b1, x.x, x.y);
            }
            // Collinear runs cross nowhere: their ends lie on each other.
            if (OnSegment(b0, a0, a1, snap)) add(inA[i], a0, a1, b0.x, b0.y);
            if (OnSegment(a0, b0, b1, snap)) add(inB[j], b0, b1, a0.x, a0.y);
        }
    }
    auto apply = [snap](Ring& r, std::vector<std::vector<Insert>>& ins) {
        Ring out;
        for (std::size_t i = 0; i < r.size(); ++i) {
            out.push_back(r[i]);
            std::sort(ins[i].begin(), ins[i].end(),
                      [](const Insert& p, const Insert& q) { return p.t < q.t; });
            for (const Insert& in : ins[i])
                if (!PointsNear2d(P3(in.v), P3(out.back()), snap)) out.push_back(in.v);
        }
        r.swap(out);
    };
    apply(A, inA);
    apply(B, inB);
}

enum EdgeClass { kOutside, kInside, kSame, kOpposite };

struct Boolean {
    Ring ring[2];
    double snap;
    std::vector<Point3> nodes;
    std::vector<int> node[2];       // node of each vertex
    std::vector<EdgeClass> cls[2];  // class of each edge against the other ring

    Boolean(Ring a, Ring b, double snap_) : snap(snap_) {
        ring[0] = std::move(a);
        ring[1] = std::move(b);
        MakeCounterClockwise(ring[0]);
        MakeCounterClockwise(ring[1]);
        InsertCrossings(ring[0], ring[1], snap);
        useCells = ring[0].size() + ring[1].size() > 64;
        for (int k = 0; k < 2; ++k)
            for (const Vx& v : ring[k]) node[k].push_back(NodeOf(v));
        for (int k = 0; k < 2; ++k) Classify(k);
    }

    // The first node made within the snap distance of v, or a new one. The
    // nodes are filed in square cells as wide as the snap distance, so only
    // the nine cells round v are looked at: long rings (the union of many
    // shadow pieces) are not searched node by node for every vertex.
    int NodeOf(const Vx& v) {
        if (!useCells) {
            for (std::size_t n = 0; n < nodes.size(); ++n)
                if (PointsNear2d(nodes[n], P3(v), snap)) return static_cast<int>(n);
            nodes.push_back(P3(v));
            return static_cast<int>(nodes.size()) - 1;
        }
        const double cell = std::max(snap, 1e-9);
        const std::int64_t cx = static_cast<std::int64_t>(std::floor(v.x / cell));
        const std::int64_t cy = static_cast<std::int64_t>(std::floor(v.y / cell));
        int found = -1;
        for (std::int64_t dx = -1; dx <= 1; ++dx)
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                auto it = filed.find(CellKey(cx + dx, cy + dy));
                if (it == filed.end()) continue;
                for (int n : it->second)
                    if ((found < 0 || n < found) && PointsNear2d(nodes[n], P3(v), snap)) found = n;
            }
        if (found >= 0) return found;
        nodes.push_back(P3(v));
        found = static_cast<int>(nodes.size()) - 1;
        filed[CellKey(cx, cy)].push_back(found);
        return found;
    }
    static std::uint64_t CellKey(std::int64_t x, std::int64_t y) {
        return static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(y);
    }
    std::unordered_map<std::uint64_t, std::vector<int>> filed;
    bool useCells = false;

    int EdgeCount(int k) const { return static_cast<int>(ring[k].size()); }
    int From(int k, int i) const { return node[k][i]; }
    int To(int k, int i) const { return node[k][(i + 1) % ring[k].size()]; }

    void Classify(int k) {
        const int o = 1 - k;
        VertexNode* other = ToList(ring[o]);
        // Long rings look their matching edges up by their nodes; the first
        // edge of the other ring that runs between the same nodes decides.
        std::unordered_map<std::uint64_t, int> firstEdge;
        auto key = [](int from, int to) {
            return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(from)) << 32) |
                   static_cast<std::uint32_t>(to);
        };
        if (useCells)
            for (int j = EdgeCount(o) - 1; j >= 0; --j) firstEdge[key(From(o, j), To(o, j))] = j;
        for (int i = 0; i < EdgeCount(k); ++i) {
            const int f = From(k, i), t = To(k, i);
            EdgeClass c = kOutside;
            bool matched = f == t;  // collapsed by the snap: never traced
            if (useCells && !matched) {
                const auto same = firstEdge.find(key(f, t));
                const auto opposite = firstEdge.find(key(t, f));
                if (same != firstEdge.end() &&
                    (opposite == firstEdge.end() || same->second < opposite->second))
                    c = kSame, matched = true;
                else if (opposite != firstEdge.end())
                    c = kOpposite, matched = true;
            }
            for (int j = 0; j < EdgeCount(o) && !matched && !useCells; ++j) {
                if (From(o, j) == f && To(o, j) == t) c = kSame, matched = true;
                if (From(o, j) == t && To(o, j) == f) c = kOpposite, matched = true;
            }
            if (!matched) {
                const Vx& a = ring[k][i];
                const Vx& b = ring[k][(i + 1) % ring[k].size()];
                const Point3 mid{(a.x + b.x) / 2.0, (a.y + b.y) / 2.0, 0.0};
                const int where = PointInPolygon(mid, other, 1);
                if (where == 1) {
                    c = kInside;
                } else if (where == 2) {
                    // Near the other's border without an edge of its own
                    // there: the sides of the edge decide, by exact parity.
                    const double len = PlanLength(a, b);
                    const double off =
                        std::max(len * 1e-6, 1e-9 * (1.0 + std::fabs(mid.x) + std::fabs(mid.y)));
                    const double nx = -(b.y - a.y) / len * off, ny = (b.x - a.x) / len * off;
                    const bool left = PointInPolygon({mid.x + nx, mid.y + ny, 0.0}, other, 0) != 0;
                    const bool right = PointInPolygon({mid.x - nx, mid.y - ny, 0.0}, other, 0) != 0;
                    c = left && right ? kInside : left ? kSame : right ? kOpposite : kOutside;
                }
            }
            cls[k].push_back(c);
        }
        FreeList(other);
    }

    bool AllOf(int k, EdgeClass c1, EdgeClass c2) const {
        for (EdgeClass c : cls[k])
            if (c != c1 && c != c2) return false;
        return true;
    }
    // Ring k lies within the other (borders may touch).
    bool Within(int k) const { return AllOf(k, kInside, kSame); }
    // The insides do not meet.
    bool Apart() const { return AllOf(0, kOutside, kOpposite) && AllOf(1, kOutside, kOpposite); }

    enum Op { kDifference, kIntersection, kUnion };

    struct Edge {
        int from, to;
        Vx start;
    };

    // Step 4: the chosen edges walked into loops.
    std::vector<Ring> Trace(Op op) const {
        std::vector<Edge> edges;
        for (int k = 0; k < 2; ++k)
            for (int i = 0; i < EdgeCount(k); ++i) {
                const EdgeClass c = cls[k][i];
                const int f = From(k, i), t = To(k, i);
                if (f == t) continue;
                const Vx& a = ring[k][i];
                const Vx& b = ring[k][(i + 1) % ring[k].size()];
                bool keep = false, reversed = false;
                switch (op) {
                    case kDifference:
                        keep = k == 0 ? (c == kOutside || c == kOpposite) : c == kInside;
                        reversed = k == 1;
                        break;
                    case kIntersection:
                        keep = c == kInside || (k == 0 && c == kSame);
                        break;
                    case kUnion:
                        keep = c == kOutside || (k == 0 && c == kSame);
                        break;
                }
                if (!keep) continue;
                if (reversed) {
                    Vx s = b;
                    s.mark = a.mark;
                    edges.push_back({t, f, s});
                } else {
                    edges.push_back({f, t, a});
                }
            }
        std::vector<char> used(edges.size(), 0);
        std::vector<Ring> loops;
        for (std::size_t e0 = 0; e0 < edges.size(); ++e0) {
            if (used[e0]) continue;
            Ring loop;
            std::size_t e = e0;
            bool closed = false;
            for (std::size_t guard = 0; guard <= edges.size(); ++guard) {
                used[e] = 1;
                loop.push_back(edges[e].start);
                const Point3& at = nodes[edges[e].to];
                const Point3& back = nodes[edges[e].from];
                const double backAngle = std::atan2(back.y - at.y, back.x - at.x);
                std::size_t best = edges.size();
                double bestTurn = 10.0;
                for (std::size_t c = 0; c < edges.size(); ++c) {
                    if (edges[c].from != edges[e].to || (used[c] && c != e0)) continue;
                    const Point3& to = nodes[edges[c].to];
                    double turn = backAngle - std::atan2(to.y - at.y, to.x - at.x);
                    while (turn <= 1e-12) turn += 2.0 * std::numbers::pi;
                    while (turn > 2.0 * std::numbers::pi + 1e-12) turn -= 2.0 * std::numbers::pi;
                    if (turn < bestTurn) bestTurn = turn, best = c;
                }
                if (best == edges.size()) break;
                if (best == e0) {
                    closed = true;
                    break;
                }
                e = best;
            }
            if (closed && loop.size() >= 3 && std::fabs(SignedArea(loop)) > snap * snap)
                loops.push_back(loop);
        }
        return loops;
    }
};

OutlinePolygon* Append(OutlinePolygon* list, OutlinePolygon* piece) {
    if (!list) return piece;
    OutlinePolygon* last = list;
    while (last->next) last = last->next;
    last->next = piece;
    return list;
}

// Pieces from traced loops: each hole bridged into the piece holding it.
OutlinePolygon* PiecesOf(std::vector<Ring>& loops) {
    std::vector<Ring*> outers, holes;
    for (Ring& l : loops) (SignedArea(l) > 0.0 ? outers : holes).push_back(&l);
    OutlinePolygon* result = nullptr;
    for (Ring* outer : outers) {
        auto* contours = new ContourNode;
        contours->vertices = ToList(*outer);
        ContourNode** tail = &contours->next;
        for (Ring*& hole : holes) {
            if (!hole) continue;
            VertexNode* probe = ToList(*outer);
            Vx inner = (*hole)[0];
            // A point just inside the hole, off its border.
            const Vx& next = (*hole)[1];
            const Point3 mid{(inner.x + next.x) / 2.0, (inner.y + next.y) / 2.0, 0.0};
            const bool inside = PointInPolygon(mid, probe, 1) != 0;
            FreeList(probe);
            if (!inside) continue;
            Ring ccw = *hole;
            Reverse(ccw);
            auto* h = new ContourNode;
            h->vertices = ToList(ccw);
            *tail = h;
            tail = &h->next;
            hole = nullptr;
        }
        VertexNode* ring = nullptr;
        if (contours->next) {
            RingNode* joined = BridgeHoles(contours);
            VertexNode** at = &ring;
            for (RingNode* r = joined; r; r = r->next) {
                const VertexNode* v = r->vertex;
                *at = NewVertex(v->x, v->y, v->z, 0, 0, 0, v->mark);
                (*at)->spare = v->spare;
                at = &(*at)->next;
            }
            FreeList(joined);
            MarkDoubledEdges(ring);
        } else {
            ring = contours->vertices;
            contours->vertices = nullptr;
        }
        FreeListOfLists(contours);
        if (ring) result = Append(result, NewOutlinePolygon(ring));
    }
    return result;
}

double PlaneZ(const double plane[4], double x, double y, double fallback) {
    if (std::fabs(plane[2]) < GeomEpsilon) return fallback;
    return -(plane[0] * x + plane[1] * y + plane[3]) / plane[2];
}

double RingArea(const VertexNode* ring) {
    return std::fabs(SignedArea(FromList(ring)));
}

}  // namespace

OutlinePolygon* FreeOutlinePolygons(OutlinePolygon* list) {
    while (list) {
        OutlinePolygon* next = list->next;
        FreeList(list->ring);
        delete list;
        list = next;
    }
    return nullptr;
}

ShadowGroup* FreeShadowGroups(ShadowGroup* list) {
    while (list) {
        ShadowGroup* next = list->next;
        FreeOutlinePolygons(list->pieces);
        delete list;
        list = next;
    }
    return nullptr;
}

OutlinePolygon* NewOutlinePolygon(VertexNode* ring) {
    auto* p = new OutlinePolygon;
    p->ring = ring;
    if (ring) {
        p->box2d[0] = p->box2d[2] = ring->x;
        p->box2d[1] = p->box2d[3] = ring->y;
    }
    for (const VertexNode* v = ring; v; v = v->next) {
        p->box2d[0] = std::min(p->box2d[0], v->x);
        p->box2d[1] = std::min(p->box2d[1], v->y);
        p->box2d[2] = std::max(p->box2d[2], v->x);
        p->box2d[3] = std::max(p->box2d[3], v->y);
    }
    return p;
}

bool PointsNear2d(const Point3& p, const Point3& q, double tolerance) {
    return std::fabs(p.x - q.x) <= tolerance && std::fabs(p.y - q.y) <= tolerance;
}

int MarkDoubledEdges(VertexNode* ring) {
    int marked = 0;
    for (VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = NextInRing(ring, v);
        for (VertexNode* p = ring; p; p = p->next) {
            const VertexNode* q = NextInRing(ring, p);
            if (p == v || !PointsEqual(p->pt(), w->pt(), false) || !PointsEqual(q->pt(), v->pt(), false))
                continue;
            v->mark = 1;
            p->mark = 1;
            marked = 1;
        }
    }
    return marked;
}

int PolygonInsidePolygon(const VertexNode* A, const VertexNode* B) {
    if (CountNodes(A) < 3 || CountNodes(B) < 3) return 0;
    for (const VertexNode* v = B; v; v = v->next)
        if (PointInPolygon(v->pt(), A, 2) == 1) return 0;
    bool borderOnly = true;
    for (const VertexNode* v = A; v; v = v->next) {
        const int where = PointInPolygon(v->pt(), B, 1);
        if (where == 0) return 0;
        if (where == 1) borderOnly = false;
    }
    const double tol100 = Tol100();
    for (const VertexNode* a = A; a; a = a->next) {
        const VertexNode* a2 = NextInRing(A, a);
        std::vector<Point3> cuts{a->pt(), a2->pt()};
        for (const VertexNode* b = B; b; b = b->next) {
            Point3 x;
            if (IntersectLines2d(a->pt(), a2->pt(), b->pt(), NextInRing(B, b)->pt(), x, 1, ModuleGeomTol))
                cuts.push_back(x);
        }
        const Point3 s = a->pt();
        std::sort(cuts.begin(), cuts.end(), [&s](const Point3& p, const Point3& q) {
            return std::hypot(p.x - s.x, p.y - s.y) < std::hypot(q.x - s.x, q.y - s.y);
        });
        for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
            if (PointsNear2d(cuts[k], cuts[k + 1], tol100)) continue;
            Point3 mid;
            MidPoint(cuts[k], cuts[k + 1], mid);
            const int where = PointInPolygon(mid, B, 1);
            if (where == 0) return 0;
            if (where == 1) borderOnly = false;
        }
    }
    if (!borderOnly) return 1;
    // All of A on B's border: a point inside A decides.
    for (const VertexNode* p = A; p; p = p->next)
        for (const VertexNode* q = p->next; q; q = q->next) {
            Point3 mid;
            MidPoint(p->pt(), q->pt(), mid);
            if (PointInPolygon(mid, A, 2) == 1) return PointInPolygon(mid, B, 2) == 1 ? 1 : 0;
        }
    return 0;
}

namespace {

void CellAxis(double value, int axis, std::int32_t& low, std::int32_t& high, const double grid[63]) {
    const double* g = grid + 21 * axis;
    while (low > 0 && g[low] > value) --low;
    while (high < 20 && g[high + 1] < value) ++high;
}

}  // namespace

void CellBoxOfCorners(const Point3* corners, int count, std::int32_t low[3], std::int32_t high[3],
                      const double grid[63]) {
    for (int axis = 0; axis < 3; ++axis) {
        low[axis] = 20;
        high[axis] = 0;
    }
    for (int k = 0; k < count; ++k) {
        const double v[3] = {corners[k].x, corners[k].y, corners[k].z};
        for (int axis = 0; axis < 3; ++axis) CellAxis(v[axis], axis, low[axis], high[axis], grid);
    }
}

void CellBoxOfRing(const VertexNode* ring, std::int32_t low[3], std::int32_t high[3], const double grid[63]) {
    for (int axis = 0; axis < 3; ++axis) {
        low[axis] = 20;
        high[axis] = 0;
    }
    for (const VertexNode* p = ring; p; p = p->next) {
        const double v[3] = {p->x, p->y, p->z};
        for (int axis = 0; axis < 3; ++axis) CellAxis(v[axis], axis, low[axis], high[axis], grid);
    }
}

OutlinePolygon* ClipPolygonByPolygon(VertexNode** X, const VertexNode* P,
                                     [[maybe_unused]] const double groupPlane[4],
                                     const double receivingPlane[4]) {
    if (!X || CountNodes(*X) < 3 || CountNodes(P) < 3) return nullptr;
    // P laid onto the receiving plane; nearer when the plane lies at or
    // behind each of its vertices.
    Ring p = FromList(P);
    bool near = true;
    for (Vx& v : p) {
        const double z = PlaneZ(receivingPlane, v.x, v.y, v.z);
        if (z < v.z) near = false;
        v.z = z;
    }
    Reverse(p);
    Boolean op(FromList(*X), std::move(p), Tol100());
    // P changes nothing of X, or covers it whole: the caller keeps X or
    // drops it by PolygonInsidePolygon(X, P).
    if (op.AllOf(1, kOutside, kOpposite) && op.AllOf(0, kOutside, kOpposite)) return nullptr;
    if (op.Within(0) && op.AllOf(1, kOutside, kSame)) return nullptr;
    std::vector<Ring> loops = op.Trace(Boolean::kDifference);
    bool holes = false;
    for (const Ring& l : loops) holes = holes || SignedArea(l) < 0.0;
    // A hole is cut only by an outline wholly in front of X.
    if (holes && !near) return nullptr;
    return PiecesOf(loops);
}

namespace {

// The parts of R that W covers, W standing nowhere below R's plane.
OutlinePolygon* ShadowOfRing(Ring W, VertexNode** R, const double casterPlane[4]) {
    Boolean op(FromList(*R), std::move(W), SharedTolerance);
    const bool wholeR = op.Within(0) && op.AllOf(1, kOutside, kSame);
    if (!wholeR) {
        std::vector<Ring> loops = op.Trace(Boolean::kIntersection);
        OutlinePolygon* result = nullptr;
        for (Ring& l : loops) {
            if (l.size() <= 2 || SignedArea(l) < 0.0) continue;
            // Only where the caster's own vertices lie is its height known.
            bool below = false;
            for (const Vx& v : l)
                for (std::size_t k = 0; k < op.ring[1].size(); ++k)
                    if (PointsNear2d(P3(v), P3(op.ring[1][k]), SharedTolerance) &&
                        op.ring[1][k].h < -SharedTolerance)
                        below = true;
            if (below) continue;
            std::vector<Ring> one{l};
            result = Append(result, PiecesOf(one));
        }
        return result;
    }
    for (const VertexNode* v = *R; v; v = v->next)
        if (PlaneZ(casterPlane, v->x, v->y, v->z) < v->z) return nullptr;
    return NewOutlinePolygon(CopyVertexList(*R));
}

// The parts of W at or above the receiving plane. Caster and receiver are
// both planes, so the height runs linearly over the plan and is zero along
// one line, through every point where an edge of W changes side: W is cut
// by the half-plane on the side of its highest vertex. Empty when the line
// cannot be found (W meets the plane at a point only).
std::vector<Ring> PartsAbove(const Ring& W) {
    std::vector<Vx> zeros;
    const Vx* top = &W[0];
    double lo[2] = {W[0].x, W[0].y}, hi[2] = {W[0].x, W[0].y};
    for (std::size_t i = 0; i < W.size(); ++i) {
        const Vx& a = W[i];
        const Vx& b = W[(i + 1) % W.size()];
        if (a.h > top->h) top = &a;
        lo[0] = std::min(lo[0], a.x), lo[1] = std::min(lo[1], a.y);
        hi[0] = std::max(hi[0], a.x), hi[1] = std::max(hi[1], a.y);
        if (a.h == 0.0) zeros.push_back(a);
        if ((a.h > 0.0 && b.h < 0.0) || (a.h < 0.0 && b.h > 0.0)) {
            const double t = a.h / (a.h - b.h);
            zeros.push_back(
                {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t, 0.0, a.mark});
        }
    }
    // The two zero points farthest apart fix the line most surely.
    const Vx* p = nullptr;
    const Vx* q = nullptr;
    double apart = SharedTolerance;
    for (std::size_t i = 0; i < zeros.size(); ++i)
        for (std::size_t j = i + 1; j < zeros.size(); ++j)
            if (const double d = PlanLength(zeros[i], zeros[j]); d > apart)
                apart = d, p = &zeros[i], q = &zeros[j];
    if (!p || top->h <= 0.0) return {};
    const double ux = (q->x - p->x) / apart, uy = (q->y - p->y) / apart;
    double nx = -uy, ny = ux;
    double across = (top->x - p->x) * nx + (top->y - p->y) * ny;
    if (across < 0.0) nx = -nx, ny = -ny, across = -across;
    if (across <= SharedTolerance) return {};
    // The receiving plane's z and the height at a plan point, both linear:
    // along the line from the zero points, across it from the highest vertex.
    auto at = [&](double x, double y) {
        const double s = (x - p->x) * ux + (y - p->y) * uy, c = (x - p->x) * nx + (y - p->y) * ny;
        const double sTop = (top->x - p->x) * ux + (top->y - p->y) * uy;
        const double zLine = p->z + (q->z - p->z) * s / apart;
        const double zTopLine = p->z + (q->z - p->z) * sTop / apart;
        return Vx{x, y, zLine + (top->z - zTopLine) * c / across, top->h * c / across, 0};
    };
    // A rectangle on the high side of the line, reaching past all of W.
    const double reach = 2.0 * (std::hypot(hi[0] - lo[0], hi[1] - lo[1]) + 1.0);
    Ring half;
    const double corners[4][2] = {{-1.0, 0.0}, {1.0, 0.0}, {1.0, 1.0}, {-1.0, 1.0}};
    for (const auto& [a, c] : corners)
        half.push_back(at(p->x + (ux * a + nx * c) * reach, p->y + (uy * a + ny * c) * reach));
    Boolean op(W, std::move(half), SharedTolerance);
    std::vector<Ring> loops = op.Trace(Boolean::kIntersection);
    std::vector<Ring> parts;
    for (OutlinePolygon* piece = PiecesOf(loops); piece;) {
        parts.push_back(FromList(piece->ring));
        OutlinePolygon* next = piece->next;
        piece->next = nullptr;
        FreeOutlinePolygons(piece);
        piece = next;
    }
    return parts;
}

}  // namespace

OutlinePolygon* ShadowOfPolygon(const VertexNode* W, VertexNode** R, const double casterPlane[4]) {
    if (!R || CountNodes(*R) < 3 || CountNodes(W) < 3) return nullptr;
    Ring w = FromList(W);
    bool crosses = false;
    for (const Vx& v : w) crosses = crosses || v.h < -SharedTolerance;
    if (!crosses) return ShadowOfRing(std::move(w), R, casterPlane);
    // A caster passing through the receiving plane shades it only from the
    // part above the plane. A piece merely touching one of its vertices
    // below the plane must not be lost whole with the part behind it.
    OutlinePolygon* result = nullptr;
    for (Ring& part : PartsAbove(w)) result = Append(result, ShadowOfRing(std::move(part), R, casterPlane));
    return result;
}

ShadowGroup* CleanShadowGroups(ShadowGroup* groups) {
    ShadowGroup** g = &groups;
    while (*g) {
        OutlinePolygon** p = &(*g)->pieces;
        while (*p) {
            (*p)->ring = RemoveCollinearVertices((*p)->ring, 0);
            if (CountNodes((*p)->ring) < 3) {
                OutlinePolygon* dead = *p;
                *p = dead->next;
                dead->next = nullptr;
                FreeOutlinePolygons(dead);
            } else {
                p = &(*p)->next;
            }
        }
        if (!(*g)->pieces) {
            ShadowGroup* dead = *g;
            *g = dead->next;
            dead->next = nullptr;
            FreeShadowGroups(dead);
        } else {
            g = &(*g)->next;
        }
    }
    return groups;
}

namespace {

// Unlinks and frees one piece of the list.
void DropPiece(OutlinePolygon** list, OutlinePolygon* piece) {
    for (OutlinePolygon** at = list; *at; at = &(*at)->next)
        if (*at == piece) {
            *at = piece->next;
            piece->next = nullptr;
            FreeOutlinePolygons(piece);
            return;
        }
}

// Puts the pieces in place of `piece` in the list.
void ReplacePiece(OutlinePolygon** list, OutlinePolygon* piece, OutlinePolygon* pieces) {
    for (OutlinePolygon** at = list; *at; at = &(*at)->next)
        if (*at == piece) {
            OutlinePolygon* after = piece->next;
            piece->next = nullptr;
            FreeOutlinePolygons(piece);
            if (!pieces) {
                *at = after;
                return;
            }
            *at = pieces;
            OutlinePolygon* last = pieces;
            while (last->next) last = last->next;
            last->next = after;
            return;
        }
}

double SegmentPointDistance(const VertexNode* a, const VertexNode* b, const VertexNode* p) {
    const double dx = b->x - a->x, dy = b->y - a->y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0.0 ? ((p->x - a->x) * dx + (p->y - a->y) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p->x - (a->x + t * dx), p->y - (a->y + t * dy));
}

// Whether two pieces may share anything: some edges cross or come near
// each other, or one holds the other. Near is within twice the snap
// distance (vertices are snapped square-wise), or within the bulge of the
// ellipse the point location takes as lying on an edge (focal sum the
// edge's length plus the snap distance). Pieces for which this is false
// are apart for every operation on them, which need not be built then.
bool RingsMayMeet(const VertexNode* A, const VertexNode* B, double snap) {
    for (const VertexNode* a = A; a; a = a->next) {
        const VertexNode* a2 = NextInRing(A, a);
        const double la = std::hypot(a2->x - a->x, a2->y - a->y);
        for (const VertexNode* b = B; b; b = b->next) {
            const VertexNode* b2 = NextInRing(B, b);
            const double l = std::max(la, std::hypot(b2->x - b->x, b2->y - b->y));
            const double near = 2.0 * snap + std::sqrt(snap * l / 2.0 + snap * snap / 4.0);
            if (std::max(a->x, a2->x) < std::min(b->x, b2->x) - near ||
                std::max(b->x, b2->x) < std::min(a->x, a2->x) - near ||
                std::max(a->y, a2->y) < std::min(b->y, b2->y) - near ||
                std::max(b->y, b2->y) < std::min(a->y, a2->y) - near)
                continue;
            Point3 x;
            if (IntersectLines2d(a->pt(), a2->pt(), b->pt(), b2->pt(), x, 1, ModuleGeomTol)) return true;
            if (SegmentPointDistance(a, a2, b) <= near || SegmentPointDistance(a, a2, b2) <= near ||
                SegmentPointDistance(b, b2, a) <= near || SegmentPointDistance(b, b2, a2) <= near)
                return true;
        }
    }
    return PointInPolygon(A->pt(), B, 0) != 0 || PointInPolygon(B->pt(), A, 0) != 0;
}

bool BoxesApart(const OutlinePolygon* a, const OutlinePolygon* b, double tol) {
    return a->box2d[2] < b->box2d[0] - tol || b->box2d[2] < a->box2d[0] - tol ||
           a->box2d[3] < b->box2d[1] - tol || b->box2d[3] < a->box2d[1] - tol;
}

}  // namespace

OutlinePolygon* SplitShadowPieces(OutlinePolygon** list, [[maybe_unused]] int group) {
    for (OutlinePolygon* a = *list; a; a = a->next) {
        for (OutlinePolygon* b = a->next; b;) {
            OutlinePolygon* following = b->next;
            if (CountNodes(b->ring) < 3) {
                DropPiece(list, b);
                b = following;
                continue;
            }
            if (BoxesApart(a, b, Tol100()) || !RingsMayMeet(a->ring, b->ring, Tol100())) {
                b = following;
                continue;
            }
            Boolean op(FromList(b->ring), FromList(a->ring), Tol100());
            if (op.Apart()) {
                b = following;
                continue;
            }
            if (op.Within(0)) {
                DropPiece(list, b);
            } else if (op.Within(1)) {
                // b holds a: b takes a's place, and a goes.
                std::swap(a->ring, b->ring);
                std::swap(a->box2d, b->box2d);
                DropPiece(list, b);
            } else {
                std::vector<Ring> loops = op.Trace(Boolean::kDifference);
                ReplacePiece(list, b, PiecesOf(loops));
            }
            b = following;
        }
    }
    return *list;
}

OutlinePolygon* JoinShadowPieces(OutlinePolygon** list, [[maybe_unused]] int group) {
    // Each join starts the search over from the head. A pair that would not
    // join is remembered until one of its pieces is replaced: asked again it
    // would answer the same, and many pieces would make the search cubic.
    std::set<std::pair<const OutlinePolygon*, const OutlinePolygon*>> apart;
    VertexNode* union_ = nullptr;
    auto forget = [&apart](const OutlinePolygon* p) {
        for (auto it = apart.begin(); it != apart.end();)
            it = it->first == p || it->second == p ? apart.erase(it) : std::next(it);
    };
    // The pair to join, found before either piece is freed: the walk never
    // steps on from a piece the join has freed.
    auto joinable = [&]() -> std::pair<OutlinePolygon*, OutlinePolygon*> {
        for (OutlinePolygon* a = *list; a; a = a->next)
            for (OutlinePolygon* b = a->next; b; b = b->next) {
                if (BoxesApart(a, b, Tol100()) || apart.count({a, b})) continue;
                if (!RingsMayMeet(a->ring, b->ring, Tol100())) {
                    apart.insert({a, b});
                    continue;
                }
                Boolean op(FromList(a->ring), FromList(b->ring), Tol100());
                std::vector<Ring> loops = op.Trace(Boolean::kUnion);
                // Pieces that only touch at points make no one polygon.
                const double before = RingArea(a->ring) + RingArea(b->ring);
                if (loops.size() != 1 || SignedArea(loops[0]) <= 0.0 ||
                    (op.Apart() &&
                     std::fabs(SignedArea(loops[0]) - before) > Tol100() * (1.0 + std::sqrt(before)))) {
                    apart.insert({a, b});
                    continue;
                }
                union_ = RemoveCollinearVertices(ToList(loops[0]), 0);
                return {a, b};
            }
        return {nullptr, nullptr};
    };
    while (true) {
        const auto [a, b] = joinable();
        if (!a) break;
        forget(a);
        forget(b);
        DropPiece(list, b);
        OutlinePolygon* merged = NewOutlinePolygon(union_);
        union_ = nullptr;
        forget(merged);
        ReplacePiece(list, a, merged);
    }
    for (OutlinePolygon* p = *list; p;) {
        OutlinePolygon* next = p->next;
        if (CountNodes(p->ring) < 3) DropPiece(list, p);
        p = next;
    }
    return *list;
}

OutlinePolygon* MergeShadowPieces(OutlinePolygon* list) {
    for (int pass = 0; pass < 64; ++pass) {
        const int before = CountNodes(list);
        SplitShadowPieces(&list, 0);
        const int split = CountNodes(list);
        JoinShadowPieces(&list, 0);
        if (CountNodes(list) == split && split == before) break;
    }
    return list;
}
