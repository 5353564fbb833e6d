// The ring boolean kernel (see the header) and the ring difference of the
// wall sides built on it.
#include "core/geometry/ring_difference.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <numeric>
#include <optional>
#include <span>
#include <utility>

#include "core/base/module_state.h"
#include "core/geometry/box_index.h"
#include "core/geometry/polygon.h"

namespace {

// What belongs to the edge starting at a vertex and goes with the edge when
// a ring is turned round.
struct EdgeProps {
    std::uint8_t mark = 0;
    std::int32_t edgeFlag = 0, data1 = 0, data2 = 0;
    RingEdgeSource from;
};

struct Vx {
    double x = 0.0, y = 0.0, z = 0.0, h = 0.0;
    EdgeProps edge;
    // In a long ring's near part: the far edges from here on carried as
    // one, counted in the input's vertices (0 for an edge of its own).
    int run = 0;
};
using Ring = std::vector<Vx>;

Point3 P3(const Vx& v) {
    return {v.x, v.y, v.z};
}

Vx VxOf(const VertexNode* v, int which, int index) {
    return {v->x, v->y, v->z, v->spare, {v->mark, v->edgeFlag, v->data1, v->data2, {which, index}}};
}

Ring FromList(const VertexNode* list, int which) {
    Ring r;
    r.reserve(static_cast<std::size_t>(CountNodes(list)));
    int index = 0;
    for (const VertexNode* v = list; v; v = v->next, ++index) r.push_back(VxOf(v, which, index));
    return r;
}

// The long ring of a near part: its near edges, and one vertex starting
// each run of far edges (a run never passes the ring's first vertex, where
// the walk of its loops starts).
Ring FromNearPart(const RingNearPart& part, int which) {
    Ring r;
    const std::size_t n = part.vertices.size();
    for (std::size_t i = 0; i < n;) {
        r.push_back(VxOf(part.vertices[i], which, static_cast<int>(i)));
        std::size_t end = i + 1;
        if (!part.near[i]) {
            while (end < n && !part.near[end]) ++end;
            r.back().run = static_cast<int>(end - i);
        }
        i = end;
    }
    return r;
}

OwnedList<VertexNode> ToList(const Ring& r) {
    VertexNode* head = nullptr;
    VertexNode** tail = &head;
    for (const Vx& v : r) {
        *tail = NewVertex(v.x, v.y, v.z, v.edge.edgeFlag, v.edge.data1, v.edge.data2, v.edge.mark);
        (*tail)->spare = v.h;
        tail = &(*tail)->next;
    }
    return OwnedList<VertexNode>(head);
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

// Reverses the ring, each edge keeping its properties.
void Reverse(Ring& r) {
    if (r.empty()) return;
    std::vector<EdgeProps> props(r.size());
    for (std::size_t i = 0; i < r.size(); ++i) props[i] = r[i].edge;
    std::reverse(r.begin(), r.end());
    // Edge i of the reversed ring is old edge n - 2 - i (mod n).
    const std::size_t n = r.size();
    for (std::size_t i = 0; i < n; ++i) r[i].edge = props[(2 * n - 2 - i) % n];
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
    return {x, y, a.z + (b.z - a.z) * t, a.h + (b.h - a.h) * t, a.edge};
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
    const auto edgeBox = [](const Ring& r, std::size_t i, double box[4]) {
        const Vx &p = r[i], &q = r[(i + 1) % r.size()];
        box[0] = std::min(p.x, q.x), box[1] = std::min(p.y, q.y);
        box[2] = std::max(p.x, q.x), box[3] = std::max(p.y, q.y);
    };
    // Two long rings look their meeting edges up in an index of B's edges,
    // which lists them in B's order, as the plain walk meets them (a short
    // ring is quicker walked).
    const auto finite = [](const Ring& r) {
        return std::all_of(r.begin(), r.end(),
                           [](const Vx& v) { return std::isfinite(v.x) && std::isfinite(v.y); });
    };
    const bool indexed =
        std::min(A.size(), B.size()) > 16 && A.size() * B.size() > 4096 && finite(A) && finite(B);
    BoxIndex index;
    if (indexed) {
        for (std::size_t j = 0; j < B.size(); ++j) {
            double box[4];
            edgeBox(B, j, box);
            index.Add(box);
        }
        index.Build(snap);
    }
    std::vector<int> every(indexed ? 0 : B.size());
    std::iota(every.begin(), every.end(), 0);
    // An edge of A away from B's whole box meets none of its edges: a long
    // ring is not measured edge by edge against a short one.
    double boxB[4] = {1e300, 1e300, -1e300, -1e300};
    const bool boxed = finite(B);
    for (std::size_t j = 0; boxed && j < B.size(); ++j) {
        boxB[0] = std::min(boxB[0], B[j].x), boxB[1] = std::min(boxB[1], B[j].y);
        boxB[2] = std::max(boxB[2], B[j].x), boxB[3] = std::max(boxB[3], B[j].y);
    }
    for (std::size_t i = 0; i < A.size(); ++i) {
        const Vx &a0 = A[i], &a1 = A[(i + 1) % A.size()];
        // A run of far edges meets nothing of the other ring.
        if (a0.run) continue;
        if (boxed && (std::max(a0.x, a1.x) < boxB[0] - snap || boxB[2] < std::min(a0.x, a1.x) - snap ||
                      std::max(a0.y, a1.y) < boxB[1] - snap || boxB[3] < std::min(a0.y, a1.y) - snap))
            continue;
        const std::vector<int>* near = &every;
        if (indexed) {
            double box[4];
            edgeBox(A, i, box);
            near = &index.Query(box);
        }
        for (const int k : *near) {
            const std::size_t j = static_cast<std::size_t>(k);
            const Vx &b0 = B[j], &b1 = B[(j + 1) % B.size()];
            if (b0.run) continue;
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
        std::size_t count = r.size();
        for (const std::vector<Insert>& at : ins) count += at.size();
        if (count == r.size()) return;
        Ring out;
        out.reserve(count);
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

}  // namespace

using EdgeClass = RingEdgeClass;
constexpr EdgeClass kOutside = RingEdgeClass::kOutside, kInside = RingEdgeClass::kInside,
                    kSame = RingEdgeClass::kSame, kOpposite = RingEdgeClass::kOpposite;

struct RingBoolean::Impl {
    Ring ring[2];
    double snap;
    std::vector<Point3> nodes;
    std::vector<int> node[2];       // node of each vertex
    std::vector<EdgeClass> cls[2];  // class of each edge against the other ring
    // A long ring given by its near part (counter-clockwise already).
    const RingNearPart* part = nullptr;
    int longRing = -1;

    Impl(Ring a, Ring b, double snap_, const RingNearPart* part_ = nullptr, int longRing_ = -1)
        : snap(snap_), part(part_), longRing(longRing_) {
        ring[0] = std::move(a);
        ring[1] = std::move(b);
        for (int k = 0; k < 2; ++k)
            if (k != longRing) MakeCounterClockwise(ring[k]);
        InsertCrossings(ring[0], ring[1], snap);
        useCells = ring[0].size() + ring[1].size() > 64;
        if (useCells) cells.Reserve(ring[0].size() + ring[1].size());
        for (int k = 0; k < 2; ++k)
            for (const Vx& v : ring[k]) node[k].push_back(NodeOf(v));
        for (int k = 0; k < 2; ++k) Classify(k);
    }

    // The first node made within the snap distance of v, or a new one. The
    // nodes are filed in square cells four snap distances wide, so only the
    // cells the square of the snap distance round v meets are looked at
    // (mostly v's own): long rings (the union of many shadow pieces) are not
    // searched node by node for every vertex.
    int NodeOf(const Vx& v) {
        if (!useCells) {
            for (std::size_t n = 0; n < nodes.size(); ++n)
                if (PointsNear2d(nodes[n], P3(v), snap)) return static_cast<int>(n);
            nodes.push_back(P3(v));
            return static_cast<int>(nodes.size()) - 1;
        }
        const double cell = std::max(4.0 * snap, 1e-9);
        const auto cellOf = [cell](double c) { return static_cast<std::int64_t>(std::floor(c / cell)); };
        const std::int64_t cx = cellOf(v.x), cy = cellOf(v.y);
        // The cells the reach meets, a little widened against rounding at
        // its ends; all round v's own for a point very far out.
        const double rx = snap + 1e-9 * (std::fabs(v.x) + snap), ry = snap + 1e-9 * (std::fabs(v.y) + snap);
        const double lowX = std::floor((v.x - rx) / cell), highX = std::floor((v.x + rx) / cell);
        const double lowY = std::floor((v.y - ry) / cell), highY = std::floor((v.y + ry) / cell);
        std::int64_t x0 = cx - 1, x1 = cx + 1, y0 = cy - 1, y1 = cy + 1;
        if (highX - lowX <= 1.0 && highY - lowY <= 1.0 && std::fabs(lowX) < 1e15 && std::fabs(lowY) < 1e15) {
            x0 = static_cast<std::int64_t>(lowX), x1 = static_cast<std::int64_t>(highX);
            y0 = static_cast<std::int64_t>(lowY), y1 = static_cast<std::int64_t>(highY);
        }
        int found = -1;
        const bool plain = std::isfinite(v.x) && std::isfinite(v.y);  // else near nothing
        for (std::int64_t x = x0; plain && x <= x1; ++x)
            for (std::int64_t y = y0; y <= y1; ++y)
                for (int n = cells.First(CellKey(x, y)); n >= 0; n = cells.Next(n))
                    if ((found < 0 || n < found) && PointsNear2d(nodes[n], P3(v), snap)) found = n;
        if (found >= 0) return found;
        nodes.push_back(P3(v));
        found = static_cast<int>(nodes.size()) - 1;
        cells.File(CellKey(cx, cy), found);
        return found;
    }
    static std::uint64_t CellKey(std::int64_t x, std::int64_t y) {
        return static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(y);
    }

    // The nodes filed by cell: an open-addressed table of cells, each the
    // head of a chain of its nodes. Sized once for every vertex of both
    // rings, so filing never allocates.
    class NodeCells {
    public:
        void Reserve(std::size_t vertices) {
            std::size_t size = 16;
            while (size < 2 * vertices) size *= 2;
            keys_.assign(size, 0);
            heads_.assign(size, -1);
            next_.reserve(vertices);
        }
        int First(std::uint64_t key) const {
            const std::size_t slot = Slot(key);
            return heads_[slot];
        }
        int Next(int node) const { return next_[static_cast<std::size_t>(node)]; }
        void File(std::uint64_t key, int node) {
            const std::size_t slot = Slot(key);
            keys_[slot] = key;
            if (next_.size() <= static_cast<std::size_t>(node))
                next_.resize(static_cast<std::size_t>(node) + 1, -1);
            next_[static_cast<std::size_t>(node)] = heads_[slot];
            heads_[slot] = node;
        }

    private:
        // The slot holding the key, or the empty one where it would go.
        std::size_t Slot(std::uint64_t key) const {
            const std::size_t mask = keys_.size() - 1;
            std::size_t slot = static_cast<std::size_t>((key ^ (key >> 29)) * 0xBF58476D1CE4E5B9ull) & mask;
            while (heads_[slot] >= 0 && keys_[slot] != key) slot = (slot + 1) & mask;
            return slot;
        }
        std::vector<std::uint64_t> keys_;
        std::vector<int> heads_, next_;
    };
    NodeCells cells;
    bool useCells = false;

    int EdgeCount(int k) const { return static_cast<int>(ring[k].size()); }
    int From(int k, int i) const { return node[k][i]; }
    int To(int k, int i) const { return node[k][(i + 1) % ring[k].size()]; }

    void Classify(int k) {
        const int o = 1 - k;
        // The other ring as linked nodes in one block, for the point tests.
        std::vector<VertexNode> otherNodes(ring[o].size());
        for (std::size_t j = 0; j < otherNodes.size(); ++j) {
            otherNodes[j].x = ring[o][j].x, otherNodes[j].y = ring[o][j].y, otherNodes[j].z = ring[o][j].z;
            otherNodes[j].next = j + 1 < otherNodes.size() ? &otherNodes[j + 1] : nullptr;
        }
        const VertexNode* other = otherNodes.empty() ? nullptr : otherNodes.data();
        // A long other ring given by its near part is asked through its
        // near edges and the far edges level with this ring, which are all
        // a point here may lie on or see to its left.
        std::vector<PlanEdge> partEdges;
        if (o == longRing) {
            for (std::size_t j = 0; j < otherNodes.size(); ++j)
                if (!ring[o][j].run)
                    partEdges.push_back({&otherNodes[j], &otherNodes[(j + 1) % otherNodes.size()]});
        }
        // A long other ring answers the point tests of many edges through a
        // locator (a few are quicker asked of every edge).
        std::optional<RingLocator> locator;
        if (o == longRing && partEdges.size() > 32 && EdgeCount(k) > 16)
            locator.emplace(std::span<const PlanEdge>(partEdges));
        else if (o != longRing && otherNodes.size() > 32 && EdgeCount(k) > 16)
            locator.emplace(other);
        // A point beyond the other ring's reach is outside it: the edges of
        // a long ring away from a small one ask nothing.
        double reach[4];
        const bool reached = o != longRing && RingReachBox(other, reach);
        const auto where = [&](const Point3& p, int mode) {
            if (reached && (p.x < reach[0] || p.x > reach[2] || p.y < reach[1] || p.y > reach[3]))
                return kOutsidePolygon;
            if (o == longRing) {
                // The near edges decide a point on them; the far ones add
                // to the count (this asks in the modes that report edges
                // or leave them untested).
                const int near = locator ? locator->Where(p, mode) : PointInEdges(p, partEdges, mode);
                if (near == kOnPolygonEdge) return near;
                return (near == kInsidePolygon) != part->FarParity(p) ? kInsidePolygon : kOutsidePolygon;
            }
            return locator ? locator->Where(p, mode) : PointInPolygon(p, other, mode);
        };
        // Long rings look their matching edges up by their nodes; the first
        // edge of the other ring that runs between the same nodes decides.
        auto key = [](int from, int to) {
            return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(from)) << 32) |
                   static_cast<std::uint32_t>(to);
        };
        // The first edge of the other ring for each key, sorted by key: a
        // short other ring files its own edges; a long one is walked once
        // for the keys ring k asks for (both ways round each of its edges).
        std::vector<std::pair<std::uint64_t, int>> firstEdge;
        if (useCells && EdgeCount(o) <= 2 * EdgeCount(k)) {
            firstEdge.reserve(static_cast<std::size_t>(EdgeCount(o)));
            for (int j = 0; j < EdgeCount(o); ++j) firstEdge.push_back({key(From(o, j), To(o, j)), j});
            std::sort(firstEdge.begin(), firstEdge.end());
        } else if (useCells) {
            firstEdge.reserve(2 * static_cast<std::size_t>(EdgeCount(k)));
            for (int i = 0; i < EdgeCount(k); ++i) {
                firstEdge.push_back({key(From(k, i), To(k, i)), -1});
                firstEdge.push_back({key(To(k, i), From(k, i)), -1});
            }
            std::sort(firstEdge.begin(), firstEdge.end());
            firstEdge.erase(std::unique(firstEdge.begin(), firstEdge.end()), firstEdge.end());
            for (int j = 0; j < EdgeCount(o); ++j) {
                const std::uint64_t edgeKey = key(From(o, j), To(o, j));
                const auto it = std::lower_bound(firstEdge.begin(), firstEdge.end(),
                                                 std::pair<std::uint64_t, int>{edgeKey, -1});
                if (it != firstEdge.end() && it->first == edgeKey && it->second < 0) it->second = j;
            }
        }
        const auto firstOf = [&firstEdge](std::uint64_t edgeKey) {
            const auto it = std::lower_bound(firstEdge.begin(), firstEdge.end(),
                                             std::pair<std::uint64_t, int>{edgeKey, -1});
            return it != firstEdge.end() && it->first == edgeKey ? it->second : -1;
        };
        for (int i = 0; i < EdgeCount(k); ++i) {
            // A run of far edges lies wholly inside the other ring or wholly
            // outside, away from its border: its start tells.
            if (const Vx& start = ring[k][static_cast<std::size_t>(i)]; start.run) {
                cls[k].push_back(where(P3(start), kEdgesUntested) == kInsidePolygon ? kInside : kOutside);
                continue;
            }
            const int f = From(k, i), t = To(k, i);
            EdgeClass c = kOutside;
            bool matched = f == t;  // collapsed by the snap: never traced
            if (useCells && !matched) {
                const int same = firstOf(key(f, t));
                const int opposite = firstOf(key(t, f));
                if (same >= 0 && (opposite < 0 || same < opposite))
                    c = kSame, matched = true;
                else if (opposite >= 0)
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
                const int at = where(mid, kEdgesReported);
                if (at == kInsidePolygon) {
                    c = kInside;
                } else if (at == kOnPolygonEdge) {
                    // Near the other's border without an edge of its own
                    // there: the sides of the edge decide, by exact parity.
                    const double len = PlanLength(a, b);
                    const double off =
                        std::max(len * 1e-6, 1e-9 * (1.0 + std::fabs(mid.x) + std::fabs(mid.y)));
                    const double nx = -(b.y - a.y) / len * off, ny = (b.x - a.x) / len * off;
                    const bool left = where({mid.x + nx, mid.y + ny, 0.0}, kEdgesUntested) != kOutsidePolygon;
                    const bool right =
                        where({mid.x - nx, mid.y - ny, 0.0}, kEdgesUntested) != kOutsidePolygon;
                    c = left && right ? kInside : left ? kSame : right ? kOpposite : kOutside;
                }
            }
            cls[k].push_back(c);
        }
    }

    bool AllOf(int k, EdgeClass c1, EdgeClass c2) const {
        for (EdgeClass c : cls[k])
            if (c != c1 && c != c2) return false;
        return true;
    }
    struct Edge {
        int from, to;
        Vx start;
    };

    // Step 4: the chosen edges walked into loops.
    // With more than `most` loops none is given.
    std::vector<Ring> Trace(RingOperation op, std::size_t most) const {
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
                    case RingOperation::kDifference:
                        keep = k == 0 ? (c == kOutside || c == kOpposite) : c == kInside;
                        reversed = k == 1;
                        break;
                    case RingOperation::kIntersection:
                        keep = c == kInside || (k == 0 && c == kSame);
                        break;
                    case RingOperation::kUnion:
                        keep = c == kOutside || (k == 0 && c == kSame);
                        break;
                }
                if (!keep) continue;
                if (reversed) {
                    Vx s = b;
                    s.edge = a.edge;
                    s.run = -a.run;  // a run walked backwards (or none)
                    edges.push_back({t, f, s});
                } else {
                    edges.push_back({f, t, a});
                }
            }
        // The edges leaving each node, ascending: a walk looks only there.
        std::vector<std::size_t> start(nodes.size() + 1, 0), leaving(edges.size());
        for (const Edge& edge : edges) ++start[static_cast<std::size_t>(edge.from) + 1];
        for (std::size_t n = 0; n < nodes.size(); ++n) start[n + 1] += start[n];
        std::vector<std::size_t> fill(start.begin(), start.end() - 1);
        for (std::size_t c = 0; c < edges.size(); ++c) leaving[fill[edges[c].from]++] = c;
        const auto leavingAt = [&](int node) {
            return std::span(leaving).subspan(start[node], start[node + 1] - start[node]);
        };
        // A run's vertices as the walk meets them, each with the edge it
        // starts: forwards the long ring's own; backwards (run < 0) each
        // edge from its end, which starts it, keeping its properties.
        const std::size_t longCount = part ? part->vertices.size() : 0;
        const auto runVertex = [&](int i) { return part->vertices[static_cast<std::size_t>(i) % longCount]; };
        const auto runVertices = [&](const Vx& start, auto&& visit) {
            const int first = start.edge.from.edge, run = std::abs(start.run);
            for (int k = 0; k < run; ++k) {
                const int edge = start.run > 0 ? first + k : first + run - 1 - k;
                visit(runVertex(start.run > 0 ? edge : edge + 1), edge);
            }
        };
        // Where an edge is seen from its end (the point before it) and from
        // its start (the point after it): a run's last and first edges.
        const auto backOf = [&](const Edge& edge) {
            const int run = edge.start.run, first = edge.start.edge.from.edge;
            if (run > 1) return runVertex(first + run - 1)->pt();
            if (run < -1) return runVertex(first + 1)->pt();
            return nodes[static_cast<std::size_t>(edge.from)];
        };
        const auto aheadOf = [&](const Edge& edge) {
            const int run = edge.start.run, first = edge.start.edge.from.edge;
            if (run > 1) return runVertex(first + 1)->pt();
            if (run < -1) return runVertex(first - run - 1)->pt();
            return nodes[static_cast<std::size_t>(edge.to)];
        };
        // A loop is kept as its edges; a run's vertices are read where
        // they are, and copied only into the loops given.
        const auto vertices = [&](const std::vector<std::size_t>& loop, auto&& visit) {
            for (const std::size_t e : loop) {
                const Vx& start = edges[e].start;
                if (!start.run)
                    visit(start.x, start.y);
                else
                    runVertices(start, [&](const VertexNode* v, int) { visit(v->x, v->y); });
            }
        };
        // As SignedArea of the loop's vertices, term for term.
        const auto area = [&](const std::vector<std::size_t>& loop) {
            double a = 0.0, firstX = 0.0, firstY = 0.0, lastX = 0.0, lastY = 0.0;
            std::size_t count = 0;
            vertices(loop, [&](double x, double y) {
                if (count++ == 0)
                    firstX = x, firstY = y;
                else
                    a += lastX * y - x * lastY;
                lastX = x, lastY = y;
            });
            a += lastX * firstY - firstX * lastY;
            return std::pair{a / 2.0, count};
        };
        std::vector<char> used(edges.size(), 0);
        std::vector<std::vector<std::size_t>> loops;
        for (std::size_t e0 = 0; e0 < edges.size(); ++e0) {
            if (used[e0]) continue;
            std::vector<std::size_t> loop;
            std::size_t e = e0;
            bool closed = false;
            for (std::size_t guard = 0; guard <= edges.size(); ++guard) {
                used[e] = 1;
                loop.push_back(e);
                const Point3& at = nodes[edges[e].to];
                const Point3 back = backOf(edges[e]);
                std::size_t best = edges.size();
                int ways = 0;
                for (std::size_t c : leavingAt(edges[e].to))
                    if (!used[c] || c == e0) best = c, ++ways;
                // Only where the walk may go several ways do the turns decide
                // (and where a point is not a number, which no turn takes).
                const Point3 only = aheadOf(edges[best < edges.size() ? best : e]);
                const bool turns =
                    ways > 1 || !std::isfinite(at.x + at.y + back.x + back.y + only.x + only.y);
                if (turns) best = edges.size();
                const double backAngle = turns ? std::atan2(back.y - at.y, back.x - at.x) : 0.0;
                double bestTurn = 10.0;
                for (std::size_t c : leavingAt(edges[e].to)) {
                    if (!turns || (used[c] && c != e0)) continue;
                    const Point3 to = aheadOf(edges[c]);
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
            if (!closed) continue;
            const auto [signedArea, count] = area(loop);
            if (count >= 3 && std::fabs(signedArea) > snap * snap) loops.push_back(std::move(loop));
        }
        std::vector<Ring> rings;
        if (loops.size() > most) return rings;
        for (const std::vector<std::size_t>& loop : loops) {
            Ring& ring = rings.emplace_back();
            for (const std::size_t e : loop) {
                const Vx& start = edges[e].start;
                if (!start.run) {
                    ring.push_back(start);
                    continue;
                }
                runVertices(start, [&](const VertexNode* v, int edge) {
                    Vx x = VxOf(v, longRing, edge);
                    x.edge = VxOf(runVertex(edge), longRing, edge).edge;
                    ring.push_back(x);
                });
            }
        }
        return rings;
    }
};

RingBoolean::RingBoolean(const VertexNode* a, const VertexNode* b, double snap)
    : m(std::make_unique<Impl>(FromList(a, 0), FromList(b, 1), snap)) {}

RingBoolean::RingBoolean(const VertexNode* a, const VertexNode* b, double snap, const RingNearPart& part,
                         int longRing)
    : m(std::make_unique<Impl>(longRing == 0 ? FromNearPart(part, 0) : FromList(a, 0),
                               longRing == 1 ? FromNearPart(part, 1) : FromList(b, 1), snap, &part,
                               longRing)) {}

RingBoolean::~RingBoolean() = default;

bool RingBoolean::AllOf(int k, RingEdgeClass c1, RingEdgeClass c2) const {
    return m->AllOf(k, c1, c2);
}

bool RingBoolean::Apart() const {
    return m->AllOf(0, kOutside, kOpposite) && m->AllOf(1, kOutside, kOpposite);
}

std::vector<RingLoop> RingBoolean::Trace(RingOperation op) const {
    return Trace(op, std::numeric_limits<std::size_t>::max());
}

std::vector<RingLoop> RingBoolean::Trace(RingOperation op, std::size_t most) const {
    std::vector<RingLoop> out;
    const std::vector<Ring> loops = m->Trace(op, most);
    for (const Ring& loop : loops) {
        RingLoop l{ToList(loop), {}};
        for (const Vx& v : loop) l.from.push_back(v.edge.from);
        out.push_back(std::move(l));
    }
    return out;
}

int RingBoolean::VertexCount(int k) const {
    return m->EdgeCount(k);
}

Point3 RingBoolean::VertexAt(int k, int i) const {
    return P3(m->ring[k][static_cast<std::size_t>(i)]);
}

double RingBoolean::SpareAt(int k, int i) const {
    return m->ring[k][static_cast<std::size_t>(i)].h;
}

double RingSignedArea2(const VertexNode* ring) {
    // As SignedArea of the ring's copy, term for term, without the copy.
    double a = 0.0;
    for (const VertexNode* p = ring; p; p = p->next) {
        const VertexNode* q = p->next ? p->next : ring;
        a += p->x * q->y - q->x * p->y;
    }
    return 2.0 * (a / 2.0);
}

double PointsSignedArea2(std::span<const Point3> ring) {
    double a = 0.0;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        a += ring[j].x * ring[i].y - ring[i].x * ring[j].y;
    return a;
}

bool PointInPointsEvenOdd(std::span<const Point3> ring, const Point3& p) {
    bool in = false;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        if ((ring[i].y > p.y) != (ring[j].y > p.y) &&
            p.x > ring[j].x + (p.y - ring[j].y) * (ring[i].x - ring[j].x) / (ring[i].y - ring[j].y))
            in = !in;
    return in;
}

RingPoints PointsOfRing(const VertexNode* ring) {
    RingPoints points;
    double area = 0.0;
    bool finite = true;
    for (const VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = NextInRing(ring, v);
        points.vertices.push_back(v);
        points.x.push_back(v->x), points.y.push_back(v->y);
        finite = finite && std::isfinite(v->x) && std::isfinite(v->y);
        area += v->x * w->y - w->x * v->y;  // as SignedArea, term for term
    }
    if (ring) points.x.push_back(ring->x), points.y.push_back(ring->y);
    points.usable = finite && points.vertices.size() >= 3 && !(area / 2.0 < 0.0);
    const std::size_t n = points.vertices.size();
    for (std::size_t first = 0; points.usable && first < n; first += RingPoints::kChunk) {
        std::array<double, 5> chunk{points.x[first], points.y[first], points.x[first], points.y[first], 0.0};
        for (std::size_t i = first; i < std::min(n, first + RingPoints::kChunk); ++i) {
            chunk[0] = std::min(chunk[0], points.x[i + 1]), chunk[1] = std::min(chunk[1], points.y[i + 1]);
            chunk[2] = std::max(chunk[2], points.x[i + 1]), chunk[3] = std::max(chunk[3], points.y[i + 1]);
            chunk[4] = std::max(chunk[4], std::fabs(points.x[i + 1] - points.x[i]) +
                                              std::fabs(points.y[i + 1] - points.y[i]));
        }
        points.chunks.push_back(chunk);
    }
    return points;
}

bool RingPointsApart(const RingPoints& longRing, const VertexNode* small, const double box[4],
                     double margin) {
    if (!longRing.usable || !small) return false;
    const auto meets = [&](double x0, double y0, double x1, double y1) {
        return !(x1 + margin < box[0] || box[2] + margin < x0 || y1 + margin < box[1] ||
                 box[3] + margin < y0);
    };
    // A run whose box comes near is read edge by edge: the runs of a piece
    // winding along the floor span much more than their edges.
    const std::size_t n = longRing.vertices.size();
    for (std::size_t c = 0; c < longRing.chunks.size(); ++c) {
        const auto& chunk = longRing.chunks[c];
        if (!meets(chunk[0], chunk[1], chunk[2], chunk[3])) continue;
        const std::size_t first = c * RingPoints::kChunk, last = std::min(n, first + RingPoints::kChunk);
        for (std::size_t i = first; i < last; ++i) {
            const double x0 = longRing.x[i], y0 = longRing.y[i], x1 = longRing.x[i + 1],
                         y1 = longRing.y[i + 1];
            if (meets(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1))) return false;
        }
    }
    // Every edge lies beyond the margin of the corner: the crossings of a
    // ray from it tell inside from outside without doubt. Only runs level
    // with the corner and reaching right of it can cross.
    const double px = small->x, py = small->y;
    bool inside = false;
    for (std::size_t c = 0; c < longRing.chunks.size(); ++c) {
        const auto& chunk = longRing.chunks[c];
        if (py < chunk[1] || py > chunk[3] || chunk[2] < px) continue;
        const std::size_t first = c * RingPoints::kChunk, last = std::min(n, first + RingPoints::kChunk);
        for (std::size_t i = first; i < last; ++i) {
            const double x0 = longRing.x[i], y0 = longRing.y[i], x1 = longRing.x[i + 1],
                         y1 = longRing.y[i + 1];
            if ((y0 > py) != (y1 > py) && px < x0 + (py - y0) * (x1 - x0) / (y1 - y0)) inside = !inside;
        }
    }
    return !inside;
}

std::optional<RingNearPart> NearPartOf(const RingPoints& longRing, const VertexNode* shortRing, double snap,
                                       std::span<const Point3> crowded) {
    if (!shortRing || !longRing.usable) return std::nullopt;
    // The short ring's box, its longest edge (as the sum of its sides), its
    // largest coordinate, and its edges (start, direction, length, box).
    struct ShortEdge {
        double x, y, dx, dy, length, box[4];
    };
    std::vector<ShortEdge> edges;
    double box[4] = {shortRing->x, shortRing->y, shortRing->x, shortRing->y}, longest = 0.0, largest = 0.0;
    for (const VertexNode* v = shortRing; v; v = v->next) {
        const VertexNode* w = NextInRing(shortRing, v);
        if (!std::isfinite(v->x) || !std::isfinite(v->y)) return std::nullopt;
        box[0] = std::min(box[0], v->x), box[1] = std::min(box[1], v->y);
        box[2] = std::max(box[2], v->x), box[3] = std::max(box[3], v->y);
        longest = std::max(longest, std::fabs(w->x - v->x) + std::fabs(w->y - v->y));
        largest = std::max({largest, std::fabs(v->x), std::fabs(v->y)});
        edges.push_back(
            {v->x,
             v->y,
             w->x - v->x,
             w->y - v->y,
             std::hypot(w->x - v->x, w->y - v->y),
             {std::min(v->x, w->x), std::min(v->y, w->y), std::max(v->x, w->x), std::max(v->y, w->y)}});
    }
    // A short ring of few edges is measured edge by edge, so that a long
    // askew one does not bring in all its box holds.
    if (edges.size() > 32) edges.clear();
    // Every reach the tests take is at most 3u + sqrt(2 u L) for an edge of
    // length L (u the snap and the on-edge tolerance together): twice over
    // for the short ring's edges, with room for the offsets of the side
    // tests and for rounding; the long ring's edges add their own.
    const double u = snap + 100.0 * SharedTolerance;
    const double margin =
        2.0 * (3.0 * u + std::sqrt(2.0 * u * longest)) + 4.0 * snap + 1e-6 * longest + 1e-8 * (1.0 + largest);
    if (!std::isfinite(margin)) return std::nullopt;
    // Crowded vertices by x. A box holds one when one lies within twice the
    // snap of it: the edge starting there is near, and a chunk holding one
    // is looked at edge by edge.
    std::vector<std::pair<double, double>> crowdedByX;
    for (const Point3& c : crowded) crowdedByX.push_back({c.x, c.y});
    std::sort(crowdedByX.begin(), crowdedByX.end());
    const auto crowdedIn = [&crowdedByX, snap](double x0, double y0, double x1, double y1) {
        auto it = std::lower_bound(crowdedByX.begin(), crowdedByX.end(),
                                   std::pair{x0 - 2.0 * snap, -std::numeric_limits<double>::infinity()});
        for (; it != crowdedByX.end() && it->first <= x1 + 2.0 * snap; ++it)
            if (it->second >= y0 - 2.0 * snap && it->second <= y1 + 2.0 * snap) return true;
        return false;
    };
    RingNearPart part;
    part.vertices = longRing.vertices;
    const std::size_t n = part.vertices.size();
    part.near.assign(n, 1);
    const double *xs = longRing.x.data(), *ys = longRing.y.data();
    std::vector<std::size_t> levelWith;  // far edges level with the short ring
    for (std::size_t first = 0; first < n; first += RingPoints::kChunk) {
        const std::size_t last = std::min(n, first + RingPoints::kChunk);
        // A chunk wholly away (by the test below for its longest edge), with
        // no crowded vertex and none of it level with the short ring, is far
        // edge by edge and files nothing.
        const std::array<double, 5>& c = longRing.chunks[first / RingPoints::kChunk];
        const double chunkOut =
            std::max(std::max(box[0] - c[2], c[0] - box[2]), std::max(box[1] - c[3], c[1] - box[3]));
        const double chunkGap = chunkOut - margin - 3.0 * u;
        if (chunkGap > 0.0 && chunkGap * chunkGap > 2.0 * u * c[4] &&
            !(c[1] <= box[3] + margin && c[3] >= box[1] - margin && c[0] <= box[2] + margin) &&
            !crowdedIn(c[0], c[1], c[2], c[3])) {
            std::fill(part.near.begin() + static_cast<std::ptrdiff_t>(first),
                      part.near.begin() + static_cast<std::ptrdiff_t>(last), 0);
            part.farEdges += static_cast<int>(last - first);
            continue;
        }
        for (std::size_t i = first; i < last; ++i) {
            const double edge[4] = {std::min(xs[i], xs[i + 1]), std::min(ys[i], ys[i + 1]),
                                    std::max(xs[i], xs[i + 1]), std::max(ys[i], ys[i + 1])};
            const double out = std::max(std::max(box[0] - edge[2], edge[0] - box[2]),
                                        std::max(box[1] - edge[3], edge[1] - box[3]));
            const double length = (edge[2] - edge[0]) + (edge[3] - edge[1]);
            const double gap = out - margin - 3.0 * u;
            if (!(gap > 0.0) || gap * gap <= 2.0 * u * length) {
                // Within the box: far when away from each edge by its box, or
                // with both ends on one side of its line.
                if (edges.empty()) continue;
                const double reach = margin + 3.0 * u + std::sqrt(2.0 * u * length);
                const bool away = std::all_of(edges.begin(), edges.end(), [&](const ShortEdge& e) {
                    if (edge[2] < e.box[0] - reach || e.box[2] < edge[0] - reach ||
                        edge[3] < e.box[1] - reach || e.box[3] < edge[1] - reach)
                        return true;
                    const double side = reach * e.length;
                    const double sp = e.dx * (ys[i] - e.y) - e.dy * (xs[i] - e.x);
                    const double sq = e.dx * (ys[i + 1] - e.y) - e.dy * (xs[i + 1] - e.x);
                    return (sp > side && sq > side) || (sp < -side && sq < -side);
                });
                if (!away) continue;
            }
            if (!crowded.empty() && crowdedIn(xs[i], ys[i], xs[i], ys[i])) continue;
            part.near[i] = 0;
            ++part.farEdges;
            if (edge[1] <= box[3] + margin && edge[3] >= box[1] - margin && edge[0] <= box[2] + margin)
                levelWith.push_back(i);
        }
    }
    // A run round the whole ring would start and end at one node: its last
    // edge is walked on its own.
    if (part.farEdges == static_cast<int>(n)) {
        part.near[n - 1] = 1;
        --part.farEdges;
    }
    // The far edges level with the short ring, filed by where they lie.
    for (const std::size_t i : levelWith) {
        if (part.near[i]) continue;
        const double x1 = std::max(xs[i], xs[i + 1]);
        const double y0 = std::min(ys[i], ys[i + 1]), y1 = std::max(ys[i], ys[i + 1]);
        if (x1 >= box[0] - margin)
            part.level.push_back({part.vertices[i], part.vertices[i + 1 < n ? i + 1 : 0]});
        else if (y0 < box[1] - margin && y1 >= box[3] + margin)
            ++part.leftAcross;
        else
            part.leftLow.push_back(y0), part.leftHigh.push_back(y1);
    }
    std::sort(part.leftLow.begin(), part.leftLow.end());
    std::sort(part.leftHigh.begin(), part.leftHigh.end());
    return part;
}

bool RingNearPart::FarParity(const Point3& p) const {
    // An edge is level with p when one end lies below it and the other at
    // or above; one wholly left of p then crosses its leftward ray.
    // Of the edges wholly left, those starting below p less those ending
    // below it (each ends no lower than it starts).
    std::ptrdiff_t count = leftAcross +
                           (std::lower_bound(leftLow.begin(), leftLow.end(), p.y) - leftLow.begin()) -
                           (std::lower_bound(leftHigh.begin(), leftHigh.end(), p.y) - leftHigh.begin());
    if (!levelLocator_ && level.size() > 64 && ++asked_ > 8)
        levelLocator_.emplace(std::span<const PlanEdge>(level));
    if (levelLocator_) return (count % 2 != 0) != (levelLocator_->Where(p, kEdgesUntested) == kInsidePolygon);
    for (const auto& [v, w] : level)
        if ((v->y < p.y && p.y <= w->y) || (w->y < p.y && p.y <= v->y))
            count += v->x + (w->x - v->x) * (p.y - v->y) / (w->y - v->y) < p.x;
    return count % 2 != 0;
}

std::vector<Point3> CrowdedVertices(const VertexNode* ring, double snap, const double* box) {
    std::vector<std::pair<double, double>> points;
    // A point not a number is near nothing.
    for (const VertexNode* v = ring; v; v = v->next)
        if (std::isfinite(v->x) && std::isfinite(v->y) &&
            (!box || (v->x >= box[0] - snap && v->x <= box[2] + snap && v->y >= box[1] - snap &&
                      v->y <= box[3] + snap)))
            points.push_back({v->x, v->y});
    std::sort(points.begin(), points.end());
    std::vector<char> crowded(points.size(), 0);
    for (std::size_t i = 0; i < points.size(); ++i)
        for (std::size_t j = i + 1; j < points.size() && points[j].first - points[i].first <= snap; ++j)
            if (std::fabs(points[j].second - points[i].second) <= snap) crowded[i] = crowded[j] = 1;
    std::vector<Point3> out;
    for (std::size_t i = 0; i < points.size(); ++i)
        if (crowded[i]) out.push_back({points[i].first, points[i].second, 0.0});
    return out;
}

OwnedList<VertexNode> ReversedRing(const VertexNode* ring) {
    Ring r = FromList(ring, 0);
    Reverse(r);
    return ToList(r);
}

bool PointsNear2d(const Point3& p, const Point3& q, double tolerance) {
    return std::fabs(p.x - q.x) <= tolerance && std::fabs(p.y - q.y) <= tolerance;
}

namespace {

// The ring without runs of points closer than tol, as a new list: of a run
// the last point starts the real edge.
OwnedList<VertexNode> CleanRing(const VertexNode* ring, double tol) {
    Ring out;
    for (const VertexNode* v = ring; v; v = v->next) {
        const Vx c{v->x, v->y, v->z, 0.0, {0, v->edgeFlag, v->data1, v->data2, {}}};
        if (!out.empty() && Distance2d(P3(out.back()), P3(c)) <= tol)
            out.back().edge = c.edge;
        else
            out.push_back(c);
    }
    while (out.size() > 1 && Distance2d(P3(out.back()), P3(out.front())) <= tol) out.pop_back();
    return ToList(out);
}

// Parameter of the projection of p on a-b (0 at a, 1 at b).
double Along(const Point3& p, const Point3& a, const Point3& b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    return len2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
}

// Where a vertex of a difference loop stands in the order the ring
// difference has always given its rings in: subject edges before cutter
// edges, edges in their own order, along an edge the way it is walked.
struct LoopKey {
    int ring = 0, edge = 0;
    double along = 0.0;
    bool operator<(const LoopKey& o) const {
        if (ring != o.ring) return ring < o.ring;
        if (edge != o.edge) return edge < o.edge;
        return along < o.along;
    }
};

}  // namespace

std::vector<OwnedList<VertexNode>> SubtractRing(const VertexNode* subject, const VertexNode* cutter,
                                                double tol) {
    std::vector<OwnedList<VertexNode>> result;
    const OwnedList<VertexNode> s = CleanRing(subject, tol);
    const double subjectArea = RingSignedArea2(s.get());
    if (CountNodes(s.get()) < 3 || std::fabs(subjectArea) <= tol * tol) return result;
    const OwnedList<VertexNode> c = CleanRing(cutter, tol);
    const double cutterArea = RingSignedArea2(c.get());
    if (CountNodes(c.get()) < 3 || std::fabs(cutterArea) <= tol * tol) {
        result.emplace_back(CopyVertexList(subject));
        return result;
    }
    const bool counterClockwise = subjectArea > 0.0;
    std::vector<const VertexNode*> corners[2];
    for (const VertexNode* v = s.get(); v; v = v->next) corners[0].push_back(v);
    for (const VertexNode* v = c.get(); v; v = v->next) corners[1].push_back(v);

    RingBoolean op(s.get(), c.get(), tol);
    std::vector<std::pair<LoopKey, OwnedList<VertexNode>>> rings;
    for (RingLoop& loop : op.Trace(RingOperation::kDifference)) {
        // The loops come counter-clockwise; they run the subject's way.
        OwnedList<VertexNode> ring = std::move(loop.ring);
        std::vector<RingEdgeSource> from = std::move(loop.from);
        if (!counterClockwise) {
            ring = ReversedRing(ring.get());
            std::reverse(from.begin(), from.end());
            std::rotate(from.begin(), from.begin() + 1, from.end());
        }
        std::vector<VertexNode*> at;
        for (VertexNode* v = ring.get(); v; v = v->next) at.push_back(v);
        const std::size_t n = at.size();
        // The ring starts where its first edge in that order starts.
        std::size_t first = 0;
        LoopKey firstKey;
        for (std::size_t i = 0; i < n; ++i) {
            const auto& edge = corners[from[i].ring];
            const Point3 a = edge[static_cast<std::size_t>(from[i].edge)]->pt();
            const Point3 b = edge[(static_cast<std::size_t>(from[i].edge) + 1) % edge.size()]->pt();
            const Point3 p = at[i]->pt(), q = at[(i + 1) % n]->pt();
            double t = Along(p, a, b);
            if ((q.x - p.x) * (b.x - a.x) + (q.y - p.y) * (b.y - a.y) < 0.0) t = 1.0 - t;
            const LoopKey key{from[i].ring, from[i].edge, t};
            if (i == 0 || key < firstKey) first = i, firstKey = key;
        }
        VertexNode* head = nullptr;
        VertexNode* tail = nullptr;
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t i = (first + k) % n;
            const RingEdgeSource in = from[(i + n - 1) % n], out = from[i];
            // A point where one edge was merely split goes.
            if (in.ring == out.ring && in.edge == out.edge) continue;
            const VertexNode* p = at[i];
            VertexNode* v = NewVertex(p->x, p->y, p->z, p->edgeFlag, p->data1, p->data2, in.ring != out.ring);
            (tail ? tail->next : head) = v;
            tail = v;
        }
        OwnedList<VertexNode> kept(head);
        const OwnedList<VertexNode> cleaned = CleanRing(kept.get(), tol);
        if (CountNodes(cleaned.get()) < 3 || std::fabs(RingSignedArea2(cleaned.get())) <= tol * tol) continue;
        rings.emplace_back(firstKey, std::move(kept));
    }
    std::stable_sort(rings.begin(), rings.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    for (auto& [key, ring] : rings) result.push_back(std::move(ring));
    return result;
}
