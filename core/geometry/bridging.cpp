// Bridging holes into the outer contour.
//
// Each round joins one hole: over every ring node r (in ring order), every
// remaining hole and every vertex q of it, the shortest bridge r-q that
// crosses no contour edge wins, the first of equal ones in that order; a
// later bridge from a ring node at the winner's point (a bridge end met
// again) takes the winner's place when its corner leaves the bridge further
// inside. The plain way of asking that is a pass over all pairs with a walk
// over all edges for each, which is cubic and more on a floor with thousands
// of openings. The same bridge is found here by:
//   - visiting the pairs in order of length: every vertex of the ring draws
//     the remaining hole vertices from a grid nearest first, and a heap takes
//     the shortest pair of all; whether a pair crosses the contours never
//     changes (the contours do not), so a crossing pair is dropped for good
//     and a free one is remembered;
//   - keeping the free pairs in a second heap, on length, then ring order
//     (kept as ordered labels), hole order and vertex order, so that the
//     first of equally short ones comes out on top without a pass over them;
//   - testing crossings against a tree of the contour edges' boxes;
//   - for the winner's point met again later in the ring, asking only whether
//     some free bridge leaves that ring node at a smaller angle: the pairs
//     are tried nearest first and the first yes decides.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <queue>
#include <tuple>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/edge_tree.h"
#include "core/geometry/polygon.h"

namespace {

constexpr int kNone = -1;

// Contour vertices in cells: ring vertices read the remaining hole vertices
// from one such grid nearest first, and the vertices of a joined hole leave
// it, so that the search no longer steps over them. A point goes in the cell floor((x - origin) / size), so a
// point n cells away (by rows or columns) is at least (n - 1) cells away in
// plan; the 3D length is never shorter than the plan one.
class VertexGrid {
public:
    explicit VertexGrid(const std::vector<Point3>& pts) {
        double minX = HUGE_VAL, minY = HUGE_VAL, maxX = -HUGE_VAL, maxY = -HUGE_VAL;
        int n = 0;
        for (size_t i = 0; i < pts.size(); ++i) {
            ++n;
            minX = std::min(minX, pts[i].x);
            maxX = std::max(maxX, pts[i].x);
            minY = std::min(minY, pts[i].y);
            maxY = std::max(maxY, pts[i].y);
        }
        const double w = maxX - minX, h = maxY - minY, extent = std::max({w, h, 1e-9});
        size_ = std::sqrt(std::max(w * h, extent * extent * 1e-6) / std::max(n, 1));
        for (;; size_ *= 1.5) {
            const double cols = std::floor(w / size_) + 1, rows = std::floor(h / size_) + 1;
            if (cols * rows > 2.0 * n + 16.0) continue;
            cols_ = static_cast<int>(cols);
            rows_ = static_cast<int>(rows);
            break;
        }
        originX_ = minX;
        originY_ = minY;
        margin_ = extent * 1e-9 + ZcGeContext::gTol.equalPoint();
        start_.assign(static_cast<size_t>(cols_) * rows_ + 1, 0);
        for (size_t i = 0; i < pts.size(); ++i) ++start_[cell(pts[i]) + 1];
        for (size_t c = 1; c < start_.size(); ++c) start_[c] += start_[c - 1];
        items_.resize(static_cast<size_t>(n));
        place_.resize(static_cast<size_t>(n));
        cellOf_.resize(static_cast<size_t>(n));
        end_.assign(start_.begin(), start_.end() - 1);
        for (size_t i = 0; i < pts.size(); ++i) {
            const size_t c = cell(pts[i]);
            const int at = end_[c]++;
            items_[at] = static_cast<int>(i);
            place_[i] = at;
            cellOf_[i] = static_cast<int>(c);
        }
    }

    // Takes vertex i out of its cell; the others in the cell may change order.
    void remove(int i) {
        const int at = place_[i], last = --end_[cellOf_[i]];
        const int moved = items_[last];
        items_[at] = moved;
        place_[moved] = at;
        items_[last] = i;
        place_[i] = last;
    }

    int col(double x) const { return clamp(std::floor((x - originX_) / size_), cols_); }
    int row(double y) const { return clamp(std::floor((y - originY_) / size_), rows_); }
    int cols() const { return cols_; }
    int rows() const { return rows_; }
    // Nothing in ring `ring` or beyond lies nearer than this.
    double bound(int ring) const { return (ring - 1) * size_ - margin_; }

    template <class F>
    void each(int c, int r, F f) const {
        const size_t at = static_cast<size_t>(r) * cols_ + c;
        for (int i = start_[at]; i < end_[at]; ++i) f(items_[i]);
    }

    // Calls f for every vertex filed within half a box of side 2·reach
    // around p.
    template <class F>
    void near(const Point3& p, double reach, F f) const {
        const int c0 = col(p.x - reach - margin_), c1 = col(p.x + reach + margin_);
        const int r0 = row(p.y - reach - margin_), r1 = row(p.y + reach + margin_);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) each(c, r, f);
    }

private:
    static int clamp(double k, int count) {
        if (!(k >= 0.0)) return 0;
        return static_cast<int>(std::min(k, static_cast<double>(count - 1)));
    }
    size_t cell(const Point3& p) const { return static_cast<size_t>(row(p.y)) * cols_ + col(p.x); }

    double originX_ = 0, originY_ = 0, size_ = 1, margin_ = 0;
    int cols_ = 1, rows_ = 1;
    std::vector<int> start_, end_, items_, place_, cellOf_;
};

struct Pair {
    double d;
    int u, q;
    bool operator>(const Pair& o) const { return d > o.d; }
};

class Bridging {
public:
    explicit Bridging(ContourNode* contours) : contours_(contours) {}

    RingNode* run();

private:
    // ---- vertices and contours ----
    // The remaining hole vertices as seen from one ring vertex.
    struct Stream {
        int col = 0, row = 0, ring = 0;
        std::vector<std::pair<double, int>> found;  // a min-heap on length
    };

    void collect();
    void buildRing();
    bool crosses(int a, int b) const;
    double length(int u, int q) const { return Distance3dRev(pt_[u], pt_[q]); }

    // ---- ring order ----
    int firstNode(int v) const;
    void insertAfter(int node, const std::vector<int>& verts);
    void relabel();
    int ringNext(int node) const { return next_[node] == kNone ? head_ : next_[node]; }

    // ---- nearest pairs ----
    void openStream(int u);
    bool advance(int u, Pair& out);
    bool shortestFree(Pair& winner);
    // Free pairs by length, then ring order, hole order and vertex order.
    std::tuple<double, std::uint64_t, int, int> pileKey(const Pair& p) const {
        return {p.d, label_[firstNode(p.u)], hole_[p.q], inHole_[p.q]};
    }
    int ringNodeOfWinner(int winner);
    bool freeBridgeLeavesSooner(int r, int winner);

    void join(int winner, int q);

    ContourNode* contours_;
    std::vector<VertexNode*> vert_;
    std::vector<Point3> pt_;
    std::vector<int> edgeEnd_;    // the other end of the contour edge starting at each vertex
    std::vector<int> hole_;       // the hole a vertex belongs to, kNone for the outer contour
    std::vector<int> inHole_;     // its place along its hole
    std::vector<int> holeStart_;  // first vertex of each hole; holes follow one another
    std::vector<char> bridged_;   // per hole
    int remaining_ = 0;
    std::vector<char> inRing_;  // per vertex

    std::vector<int> nodeVert_, next_;
    std::vector<std::uint64_t> label_;
    // The ring nodes of each vertex, linked through the nodes.
    std::vector<int> firstOf_, sameVert_, oldest_;
    int head_ = kNone;

    EdgeTree* edges_ = nullptr;
    VertexGrid* grid_ = nullptr;  // every vertex
    VertexGrid* open_ = nullptr;  // the vertices of the holes not yet joined
    std::vector<Stream> streams_;
    std::priority_queue<Pair, std::vector<Pair>, std::greater<Pair>> heap_;
    std::vector<Pair> pile_;  // a heap on pileKey, first on top
};

void Bridging::collect() {
    auto add = [&](ContourNode* k, int hole) {
        const int first = static_cast<int>(vert_.size());
        int place = 0;
        for (VertexNode* v = k->vertices; v; v = v->next) {
            vert_.push_back(v);
            pt_.push_back(v->pt());
            hole_.push_back(hole);
            inHole_.push_back(place++);
            edgeEnd_.push_back(static_cast<int>(vert_.size()));
        }
        if (place) edgeEnd_.back() = first;
    };
    add(contours_, kNone);
    int hole = 0;
    for (ContourNode* k = contours_->next; k; k = k->next) {
        if (!k->vertices) continue;
        holeStart_.push_back(static_cast<int>(vert_.size()));
        add(k, hole++);
    }
    holeStart_.push_back(static_cast<int>(vert_.size()));
    bridged_.assign(static_cast<size_t>(hole), 0);
    remaining_ = hole;
    inRing_.assign(vert_.size(), 0);
    firstOf_.assign(vert_.size(), kNone);
    oldest_.assign(vert_.size(), kNone);
}

bool Bridging::crosses(int a, int b) const {
    // Contours with no vertices have no edges; a one-vertex contour's edge
    // has no length and never meets anything.
    Point3 x;
    return edges_->any(pt_[a], pt_[b], [&](int e) {
        const int f = edgeEnd_[e];
        if (e == a || e == b || f == a || f == b) return false;
        return IntersectLines2d(pt_[a], pt_[b], pt_[e], pt_[f], x, 1, ZcGeContext::gTol);
    });
}

void Bridging::buildRing() {
    int outer = 0;
    for (VertexNode* v = contours_->vertices; v; v = v->next) ++outer;
    std::vector<int> order(static_cast<size_t>(outer));
    for (int i = 0; i < outer; ++i) order[i] = i;
    if (PolygonOrientation(contours_->vertices) == 1) std::reverse(order.begin(), order.end());
    for (int i = 0; i < outer; ++i) {
        nodeVert_.push_back(order[i]);
        next_.push_back(i + 1 < outer ? i + 1 : kNone);
        label_.push_back(0);
        sameVert_.push_back(firstOf_[order[i]]);
        firstOf_[order[i]] = i;
        oldest_[order[i]] = i;
        inRing_[order[i]] = 1;
    }
    head_ = outer ? 0 : kNone;
    relabel();
}

void Bridging::relabel() {
    const std::uint64_t step = (~std::uint64_t{0} / 4) / (nodeVert_.size() + 1);
    std::uint64_t l = step;
    for (int n = head_; n != kNone; n = next_[n], l += step) label_[n] = l;
}

// A vertex's later nodes are always put after one of its nodes (a hole
// joined at it), so its first node in ring order is the one made first.
int Bridging::firstNode(int v) const {
    return oldest_[v];
}

void Bridging::insertAfter(int node, const std::vector<int>& verts) {
    const std::uint64_t lo = label_[node];
    const std::uint64_t hi = next_[node] == kNone ? ~std::uint64_t{0} / 2 : label_[next_[node]];
    const std::uint64_t step = (hi - lo) / (verts.size() + 1);
    int after = node;
    const int rest = next_[node];
    std::uint64_t l = lo;
    for (int v : verts) {
        const int n = static_cast<int>(nodeVert_.size());
        nodeVert_.push_back(v);
        next_.push_back(kNone);
        label_.push_back(l += step);
        sameVert_.push_back(firstOf_[v]);
        firstOf_[v] = n;
        if (oldest_[v] == kNone) oldest_[v] = n;
        next_[after] = n;
        after = n;
    }
    next_[after] = rest;
    if (step == 0) relabel();
}

void Bridging::openStream(int u) {
    Stream& s = streams_[u];
    s.col = open_->col(pt_[u].x);
    s.row = open_->row(pt_[u].y);
    Pair p;
    if (advance(u, p)) heap_.push(p);
}

// The next remaining hole vertex nearest to the stream's ring vertex.
bool Bridging::advance(int u, Pair& out) {
    Stream& s = streams_[u];
    auto later = [](const std::pair<double, int>& a, const std::pair<double, int>& b) {
        return a.first > b.first;
    };
    const int last = std::max({s.col, open_->cols() - 1 - s.col, s.row, open_->rows() - 1 - s.row});
    for (;;) {
        while (!s.found.empty() && bridged_[hole_[s.found.front().second]]) {
            std::pop_heap(s.found.begin(), s.found.end(), later);
            s.found.pop_back();
        }
        if (!s.found.empty() && (s.ring > last || s.found.front().first <= open_->bound(s.ring))) {
            out = {s.found.front().first, u, s.found.front().second};
            std::pop_heap(s.found.begin(), s.found.end(), later);
            s.found.pop_back();
            return true;
        }
        if (s.ring > last) return false;
        const int k = s.ring++;
        auto take = [&](int q) {
            s.found.emplace_back(length(u, q), q);
            std::push_heap(s.found.begin(), s.found.end(), later);
        };
        const int r0 = std::max(0, s.row - k), r1 = std::min(open_->rows() - 1, s.row + k);
        const int c0 = std::max(0, s.col - k), c1 = std::min(open_->cols() - 1, s.col + k);
        for (int r = r0; r <= r1; ++r) {
            if (r == s.row - k || r == s.row + k) {
                for (int c = c0; c <= c1; ++c) open_->each(c, r, take);
            } else {
                if (s.col - k >= 0) open_->each(s.col - k, r, take);
                if (k > 0 && s.col + k < open_->cols()) open_->each(s.col + k, r, take);
            }
        }
    }
}

// The shortest free pair, the first of equal ones in the order of the plain
// search. The heap holds one pair per stream, its front; a front moves to
// the pile while its stream moves on, since the same ring vertex may have
// other pairs just as short. Once no stream holds a pair as short as the
// pile's first, that first comes before every other candidate, so it alone
// is tested for crossings: free, it wins; crossing, it is dropped for good
// (the contours do not change) and the next is looked at. The pile keeps
// its pairs across rounds: ring order (the labels) only grows between
// existing nodes, so its order stays valid, and a round costs the pairs it
// tests, not all the pairs tied at the shortest length.
bool Bridging::shortestFree(Pair& winner) {
    auto first = [this](const Pair& a, const Pair& b) { return pileKey(a) > pileKey(b); };
    auto popFirst = [&] {
        std::pop_heap(pile_.begin(), pile_.end(), first);
        pile_.pop_back();
    };
    for (;;) {
        while (!pile_.empty() && bridged_[hole_[pile_.front().q]]) popFirst();
        if (!heap_.empty() && (pile_.empty() || heap_.top().d <= pile_.front().d)) {
            const Pair p = heap_.top();
            heap_.pop();
            Pair n;
            if (advance(p.u, n)) heap_.push(n);
            if (bridged_[hole_[p.q]]) continue;
            pile_.push_back(p);
            std::push_heap(pile_.begin(), pile_.end(), first);
            continue;
        }
        if (pile_.empty()) return false;
        winner = pile_.front();
        popFirst();
        if (crosses(winner.u, winner.q)) continue;
        // A bridge must be shorter than the largest float to count at all.
        return winner.d < 3.4028234663852886e38;
    }
}

// Whether some free bridge from ring node r to a remaining hole vertex
// leaves r's corner at a smaller angle than the winner's.
bool Bridging::freeBridgeLeavesSooner(int r, int winner) {
    const Point3 R = pt_[nodeVert_[r]], RN = pt_[nodeVert_[ringNext(r)]];
    const Point3 W = pt_[nodeVert_[winner]], WN = pt_[nodeVert_[ringNext(winner)]];
    // AngleBetweenLines(R, RN, R, Q) < AngleBetweenLines(W, WN, W, Q); at
    // one point (the usual case) the direction to Q is worked out once.
    const double fromR = AngleTo(R, RN), fromW = AngleTo(W, WN);
    const bool samePoint = R.x == W.x && R.y == W.y;
    std::vector<std::pair<double, int>> sooner;
    for (size_t h = 0; h < bridged_.size(); ++h) {
        if (bridged_[h]) continue;
        for (int q = holeStart_[h]; q < holeStart_[h + 1]; ++q) {
            const double toQ = AngleTo(R, pt_[q]);
            if (AngleBetweenDirections(fromR, toQ) <
                AngleBetweenDirections(fromW, samePoint ? toQ : AngleTo(W, pt_[q])))
                sooner.emplace_back(Distance3dRev(R, pt_[q]), q);
        }
    }
    std::sort(sooner.begin(), sooner.end());
    for (const auto& [d, q] : sooner)
        if (!crosses(nodeVert_[r], q)) return true;
    return false;
}

// The winner's point may be met again later in the ring (a bridge end); the
// last of those copies that a free bridge leaves sooner takes its place.
int Bridging::ringNodeOfWinner(int winner) {
    const double tol = SharedTolerance;
    // Every point within the tolerance of the winner, of a point within it,
    // and so on: the copies that can take the winner's place one by one.
    std::vector<int> group{nodeVert_[winner]};
    for (size_t i = 0; i < group.size(); ++i) {
        const Point3 c = pt_[group[i]];
        grid_->near(c, tol, [&](int v) {
            if (inRing_[v] && PointsEqual(c, pt_[v], true) &&
                std::find(group.begin(), group.end(), v) == group.end())
                group.push_back(v);
        });
    }
    std::vector<int> later;
    for (int v : group)
        for (int n = firstOf_[v]; n != kNone; n = sameVert_[n])
            if (label_[n] > label_[winner]) later.push_back(n);
    std::sort(later.begin(), later.end(), [&](int a, int b) { return label_[a] < label_[b]; });
    for (int r : later) {
        if (!PointsEqual(pt_[nodeVert_[r]], pt_[nodeVert_[winner]], true)) continue;
        if (freeBridgeLeavesSooner(r, winner)) winner = r;
    }
    return winner;
}

void Bridging::join(int winner, int q) {
    const int h = hole_[q];
    const int first = holeStart_[h], n = holeStart_[h + 1] - first, start = q - first;
    const bool forward = PolygonOrientation(vert_[first]) == 1;
    std::vector<int> verts;
    for (int i = 0; i <= n; ++i)
        verts.push_back(first + (forward ? (start + i) % n : (start + n - i % n) % n));
    verts.push_back(nodeVert_[winner]);
    insertAfter(winner, verts);
    bridged_[h] = 1;
    --remaining_;
    for (int v = first; v < first + n; ++v) open_->remove(v);
    for (int v = first; v < first + n; ++v) {
        inRing_[v] = 1;
        openStream(v);
    }
}

RingNode* Bridging::run() {
    collect();
    buildRing();
    if (head_ != kNone && remaining_ > 0) {
        EdgeTree edges(static_cast<int>(vert_.size()), pt_);
        for (size_t e = 0; e < vert_.size(); ++e) edges.place(static_cast<int>(e), pt_[e], pt_[edgeEnd_[e]]);
        edges.rebuild();
        VertexGrid grid(pt_);
        VertexGrid open = grid;
        for (int v = 0; v < holeStart_[0]; ++v) open.remove(v);
        edges_ = &edges;
        grid_ = &grid;
        open_ = &open;
        streams_.resize(vert_.size());
        for (int v = 0; v < holeStart_[0]; ++v) openStream(v);
        Pair pick;
        while (remaining_ > 0 && shortestFree(pick)) join(ringNodeOfWinner(firstNode(pick.u)), pick.q);
        open_ = nullptr;
        grid_ = nullptr;
        edges_ = nullptr;
    }
    RingNode* ring = nullptr;
    RingNode* tail = nullptr;
    for (int n = head_; n != kNone; n = next_[n]) {
        auto* r = new RingNode;
        r->vertex = vert_[nodeVert_[n]];
        (tail ? tail->next : ring) = r;
        tail = r;
    }
    return ring;
}

// Points that are not finite defeat the grid and the tree; the plain search
// still gives a ring.
RingNode* PlainBridgeHoles(ContourNode* contours) {
    RingNode* ring = nullptr;
    for (VertexNode* v = contours->vertices; v; v = v->next) {
        auto* r = new RingNode;
        r->vertex = v;
        r->next = ring;  // built reversed: clockwise input comes out counter-clockwise
        ring = r;
    }
    if (PolygonOrientation(contours->vertices) == 0) ring = ReverseList(ring);

    std::vector<ContourNode*> holes;
    for (ContourNode* k = contours->next; k; k = k->next)
        if (k->vertices) holes.push_back(k);

    while (!holes.empty()) {
        RingNode* winner = nullptr;
        VertexNode* winnerQ = nullptr;
        size_t winnerHole = 0;
        double best = 3.4028234663852886e38;
        for (RingNode* r = ring; r; r = r->next) {
            for (size_t h = 0; h < holes.size(); ++h) {
                for (VertexNode* q = holes[h]->vertices; q; q = q->next) {
                    // A bridge only matters when it is shorter or starts at
                    // the winner's point; the costly crossing test waits
                    // until then.
                    const double d = Distance3dRev(r->vertex->pt(), q->pt());
                    const bool samePoint = winner && PointsEqual(r->vertex->pt(), winner->vertex->pt(), true);
                    if (!(d < best) && !samePoint) continue;
                    if (SegmentCrossesContours(r->vertex, q, contours)) continue;
                    if (d < best) {
                        best = d;
                        winner = r;
                        winnerQ = q;
                        winnerHole = h;
                    } else {
                        // The same point reached again through an earlier
                        // bridge: keep the copy whose corner the bridge
                        // leaves on the inside.
                        const RingNode* rn = NextInRing(ring, r);
                        const RingNode* wn = NextInRing(ring, winner);
                        if (AngleBetweenLines(r->vertex->pt(), rn->vertex->pt(), r->vertex->pt(), q->pt()) <
                            AngleBetweenLines(winner->vertex->pt(), wn->vertex->pt(), winner->vertex->pt(),
                                              q->pt()))
                            winner = r;
                    }
                }
            }
        }
        if (!winner) break;
        ContourNode* hole = holes[winnerHole];
        const bool forward = PolygonOrientation(hole->vertices) == 1;
        // The hole's vertices from q round to q again, clockwise.
        std::vector<VertexNode*> order;
        for (VertexNode* v = hole->vertices; v; v = v->next) order.push_back(v);
        size_t start = 0;
        while (order[start] != winnerQ) ++start;
        const size_t n = order.size();
        RingNode* after = winner;
        RingNode* const rest = winner->next;
        auto link = [&after](VertexNode* v) {
            auto* node = new RingNode;
            node->vertex = v;
            after->next = node;
            after = node;
        };
        for (size_t i = 0; i <= n; ++i) {
            const size_t idx = forward ? (start + i) % n : (start + n - i % n) % n;
            link(order[idx]);
        }
        link(winner->vertex);
        after->next = rest;
        holes.erase(holes.begin() + static_cast<long>(winnerHole));
    }
    return ring;
}

}  // namespace

RingNode* BridgeHoles(ContourNode* contours) {
    if (!contours) return nullptr;
    for (ContourNode* k = contours; k; k = k->next) k->vertices = RemoveDuplicateVertices(k->vertices);
    for (ContourNode* k = contours; k; k = k->next)
        for (const VertexNode* v = k->vertices; v; v = v->next)
            if (!std::isfinite(v->x) || !std::isfinite(v->y) || !std::isfinite(v->z))
                return PlainBridgeHoles(contours);
    return Bridging(contours).run();
}
