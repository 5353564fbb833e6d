// The difference of two simple plane rings by splitting and classifying
// their edges (see the header). The steps, in the order SubtractRing runs
// them: clean both rings and turn the cutter against the subject; split
// every edge where the other ring meets it; keep or drop each piece; chain
// the kept pieces into rings, taking at a shared point the turn that keeps
// touching rings apart; drop the points where a ring merely passed a split.
#include "core/geometry/ring_difference.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/base/velm_assert.h"

namespace {

// A vertex of a cleaned ring and the properties of the edge starting at it.
struct Corner {
    Point3 p;
    std::int32_t edgeFlag = 0, data1 = 0, data2 = 0;
};

// An edge of one of the two rings, in the direction it is walked.
struct RingEdge {
    Point3 a, b;
    const Corner* props = nullptr;
    int ring = 0;  // 0 subject, 1 cutter
    int index = 0;
};

// A piece of a ring edge between two split points.
struct Piece {
    int from = 0, to = 0;  // node numbers
    const RingEdge* edge = nullptr;
    bool used = false;
};

std::vector<Corner> CleanRing(const VertexNode* ring, double tol) {
    std::vector<Corner> out;
    for (const VertexNode* v = ring; v; v = v->next) {
        const Corner c{v->pt(), v->edgeFlag, v->data1, v->data2};
        // Of a run of equal points the last one starts the real edge.
        if (!out.empty() && Distance2d(out.back().p, c.p) <= tol)
            out.back() = {out.back().p, c.edgeFlag, c.data1, c.data2};
        else
            out.push_back(c);
    }
    while (out.size() > 1 && Distance2d(out.back().p, out.front().p) <= tol) out.pop_back();
    return out;
}

double Area2(const std::vector<Corner>& ring) {
    double sum = 0.0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const Point3& p = ring[i].p;
        const Point3& q = ring[(i + 1) % ring.size()].p;
        sum += p.x * q.y - q.x * p.y;
    }
    return sum;
}

std::vector<RingEdge> Edges(const std::vector<Corner>& ring, int which, bool backwards) {
    std::vector<RingEdge> out;
    const std::size_t n = ring.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Corner& c = ring[i];
        const Corner& d = ring[(i + 1) % n];
        if (backwards)
            out.push_back({d.p, c.p, &c, which, static_cast<int>(i)});
        else
            out.push_back({c.p, d.p, &c, which, static_cast<int>(i)});
    }
    return out;
}

// Parameter of the projection of p on a-b (0 at a, 1 at b).
double Along(const Point3& p, const Point3& a, const Point3& b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    return len2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
}

double DistanceToSegment(const Point3& p, const Point3& a, const Point3& b) {
    const double t = std::clamp(Along(p, a, b), 0.0, 1.0);
    const Point3 foot{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), 0.0};
    return Distance2d(p, foot);
}

Point3 At(const RingEdge& e, double t) {
    return {e.a.x + t * (e.b.x - e.a.x), e.a.y + t * (e.b.y - e.a.y), e.a.z + t * (e.b.z - e.a.z)};
}

struct SplitPoint {
    double t;
    Point3 p;
};

// Adds to each edge's split list the points where the other ring meets it.
void CollectSplits(const std::vector<RingEdge>& subject, const std::vector<RingEdge>& cutter, double tol,
                   std::vector<std::vector<SplitPoint>>& subjectSplits,
                   std::vector<std::vector<SplitPoint>>& cutterSplits) {
    auto touch = [tol](const Point3& q, const RingEdge& e, std::vector<SplitPoint>& splits) {
        if (DistanceToSegment(q, e.a, e.b) > tol) return;
        const double t = std::clamp(Along(q, e.a, e.b), 0.0, 1.0);
        splits.push_back({t, {q.x, q.y, At(e, t).z}});
    };
    for (std::size_t i = 0; i < subject.size(); ++i) {
        const RingEdge& s = subject[i];
        for (std::size_t j = 0; j < cutter.size(); ++j) {
            const RingEdge& c = cutter[j];
            touch(c.a, s, subjectSplits[i]);
            touch(c.b, s, subjectSplits[i]);
            touch(s.a, c, cutterSplits[j]);
            touch(s.b, c, cutterSplits[j]);
            const double rx = s.b.x - s.a.x, ry = s.b.y - s.a.y;
            const double sx = c.b.x - c.a.x, sy = c.b.y - c.a.y;
            const double lr = std::hypot(rx, ry), ls = std::hypot(sx, sy);
            const double den = rx * sy - ry * sx;
            if (lr <= tol || ls <= tol || std::fabs(den) <= 1e-12 * lr * ls) continue;
            const double qx = c.a.x - s.a.x, qy = c.a.y - s.a.y;
            const double t = (qx * sy - qy * sx) / den;
            const double u = (qx * ry - qy * rx) / den;
            const double et = tol / lr, eu = tol / ls;
            if (t < -et || t > 1.0 + et || u < -eu || u > 1.0 + eu) continue;
            const Point3 x = At(s, std::clamp(t, 0.0, 1.0));
            subjectSplits[i].push_back({std::clamp(t, 0.0, 1.0), x});
            const double uc = std::clamp(u, 0.0, 1.0);
            cutterSplits[j].push_back({uc, {x.x, x.y, At(c, uc).z}});
        }
    }
}

class NodePool {
public:
    explicit NodePool(double tol) : m_tol(tol) {}
    int Intern(const Point3& p) {
        for (std::size_t i = 0; i < m_nodes.size(); ++i)
            if (Distance2d(m_nodes[i], p) <= m_tol) return static_cast<int>(i);
        m_nodes.push_back(p);
        return static_cast<int>(m_nodes.size()) - 1;
    }
    const Point3& operator[](int i) const { return m_nodes[static_cast<std::size_t>(i)]; }
    std::size_t size() const { return m_nodes.size(); }

private:
    double m_tol;
    std::vector<Point3> m_nodes;
};

void AddPieces(const std::vector<RingEdge>& edges, std::vector<std::vector<SplitPoint>>& splits,
               NodePool& nodes, std::vector<Piece>& out) {
    for (std::size_t i = 0; i < edges.size(); ++i) {
        std::vector<SplitPoint>& s = splits[i];
        s.push_back({0.0, edges[i].a});
        s.push_back({1.0, edges[i].b});
        std::stable_sort(s.begin(), s.end(),
                         [](const SplitPoint& x, const SplitPoint& y) { return x.t < y.t; });
        int previous = -1;
        for (const SplitPoint& sp : s) {
            const int node = nodes.Intern(sp.p);
            if (previous >= 0 && node != previous) out.push_back({previous, node, &edges[i], false});
            previous = node;
        }
    }
}

bool InsideRing(const Point3& p, const std::vector<RingEdge>& ring) {
    bool inside = false;
    for (const RingEdge& e : ring) {
        if ((e.a.y < p.y && p.y <= e.b.y) || (e.b.y < p.y && p.y <= e.a.y)) {
            const double x = e.a.x + (e.b.x - e.a.x) * (p.y - e.a.y) / (e.b.y - e.a.y);
            if (x < p.x) inside = !inside;
        }
    }
    return inside;
}

// Whether a piece of one ring bounds the difference.
bool KeepPiece(const Piece& piece, const NodePool& nodes, const std::vector<RingEdge>& other, double tol) {
    const Point3& a = nodes[piece.from];
    const Point3& b = nodes[piece.to];
    const Point3 mid{(a.x + b.x) / 2, (a.y + b.y) / 2, 0.0};
    for (const RingEdge& e : other) {
        if (DistanceToSegment(mid, e.a, e.b) > tol) continue;
        // A stretch both rings run along: the cutter was turned against the
        // subject, so running the same way means the interiors lie on
        // opposite sides and the subject's side stays. The subject's copy
        // is the one kept.
        if (piece.edge->ring == 1) return false;
        const double dot = (b.x - a.x) * (e.b.x - e.a.x) + (b.y - a.y) * (e.b.y - e.a.y);
        return dot > 0.0;
    }
    const bool inside = InsideRing(mid, other);
    return piece.edge->ring == 0 ? !inside : inside;
}

double Turn(const Point3& a, const Point3& b, const Point3& c) {
    const double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - b.x, vy = c.y - b.y;
    return std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
}

// Chains unused kept pieces from `first` into a closed loop; empty when the
// chain breaks off (pieces left unmatched by a tolerance quirk).
std::vector<Piece*> Chain(Piece* first, const std::vector<std::vector<Piece*>>& outgoing,
                          const NodePool& nodes, bool counterClockwise) {
    std::vector<Piece*> loop{first};
    first->used = true;
    while (loop.back()->to != first->from) {
        const Piece* last = loop.back();
        Piece* best = nullptr;
        double bestTurn = 0.0;
        for (Piece* candidate : outgoing[static_cast<std::size_t>(last->to)]) {
            if (candidate->used) continue;
            // Of several ways on, the sharpest turn towards the interior
            // keeps rings that only touch at a point apart.
            const double turn = Turn(nodes[last->from], nodes[last->to], nodes[candidate->to]);
            if (!best || (counterClockwise ? turn > bestTurn : turn < bestTurn)) {
                best = candidate;
                bestTurn = turn;
            }
        }
        if (!best) return {};
        best->used = true;
        loop.push_back(best);
    }
    return loop;
}

OwnedList<VertexNode> LoopRing(const std::vector<Piece*>& loop, const NodePool& nodes, double tol) {
    VertexNode* head = nullptr;
    VertexNode* tail = nullptr;
    const std::size_t n = loop.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Piece* in = loop[(i + n - 1) % n];
        const Piece* out = loop[i];
        // A point where one edge was merely split goes.
        if (in->edge == out->edge) continue;
        const Point3& p = nodes[out->from];
        VertexNode* v = NewVertex(p.x, p.y, p.z, out->edge->props->edgeFlag, out->edge->props->data1,
                                  out->edge->props->data2, in->edge->ring != out->edge->ring ? 1 : 0);
        (tail ? tail->next : head) = v;
        tail = v;
    }
    OwnedList<VertexNode> ring(head);
    std::vector<Corner> corners = CleanRing(head, tol);
    if (corners.size() < 3 || std::fabs(Area2(corners)) <= tol * tol) ring.reset();
    return ring;
}

}  // namespace

std::vector<OwnedList<VertexNode>> SubtractRing(const VertexNode* subject, const VertexNode* cutter,
                                                double tol) {
    std::vector<OwnedList<VertexNode>> result;
    const std::vector<Corner> s = CleanRing(subject, tol);
    const double subjectArea = Area2(s);
    if (s.size() < 3 || std::fabs(subjectArea) <= tol * tol) return result;
    const std::vector<Corner> c = CleanRing(cutter, tol);
    const double cutterArea = Area2(c);
    if (c.size() < 3 || std::fabs(cutterArea) <= tol * tol) {
        result.emplace_back(CopyVertexList(subject));
        return result;
    }
    const bool counterClockwise = subjectArea > 0.0;
    const std::vector<RingEdge> subjectEdges = Edges(s, 0, false);
    const std::vector<RingEdge> cutterEdges = Edges(c, 1, (cutterArea > 0.0) == counterClockwise);

    std::vector<std::vector<SplitPoint>> subjectSplits(subjectEdges.size()), cutterSplits(cutterEdges.size());
    CollectSplits(subjectEdges, cutterEdges, tol, subjectSplits, cutterSplits);
    NodePool nodes(tol);
    std::vector<Piece> pieces;
    AddPieces(subjectEdges, subjectSplits, nodes, pieces);
    AddPieces(cutterEdges, cutterSplits, nodes, pieces);

    std::vector<std::vector<Piece*>> outgoing(nodes.size());
    for (Piece& piece : pieces) {
        const bool keep = KeepPiece(piece, nodes, piece.edge->ring == 0 ? cutterEdges : subjectEdges, tol);
        piece.used = !keep;
        if (keep) outgoing[static_cast<std::size_t>(piece.from)].push_back(&piece);
    }
    for (Piece& piece : pieces) {
        if (piece.used) continue;
        const std::vector<Piece*> loop = Chain(&piece, outgoing, nodes, counterClockwise);
        if (loop.empty()) continue;
        OwnedList<VertexNode> ring = LoopRing(loop, nodes, tol);
        if (ring) result.push_back(std::move(ring));
    }
    return result;
}
