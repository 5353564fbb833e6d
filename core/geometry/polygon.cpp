// Polygon operations on vertex rings.
//
// Area: the ring is made clockwise, notches (a convex vertex followed by a
// reflex one whose cut stays inside) are filled one at a time with their
// triangle's area taken off, and what is left is fanned from its head.
// Insertion test: p is tried as a vertex on the nearest usable edge; if the
// ring stays simple and its area shrinks, p was inside. The bridging of
// holes lives in bridging.cpp.
//
// The crossing tests compare end points by node identity, so vertices that
// coincide in space but are different nodes (bridge ends) still count.
#include "core/geometry/polygon.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <span>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/matrix4.h"

namespace {

bool HostSegmentsMeet(const Point3& a, const Point3& b, const Point3& c, const Point3& d, Point3& x);
double NotchAndFanArea(std::vector<const VertexNode*> verts, const VertexNode* list, bool (*userBreak)());

}  // namespace

bool PolygonNormal(const VertexNode* list, double& a, double& b, double& c, double& d) {
    double longest = 0.0;
    const VertexNode *bv = nullptr, *b1 = nullptr, *b2 = nullptr;
    for (const VertexNode* v = list; v; v = v->next) {
        const VertexNode* n1 = NextInRing(list, v);
        const VertexNode* n2 = NextInRing(list, n1);
        const double ux = v->x - n1->x, uy = v->y - n1->y, uz = v->z - n1->z;
        const double wx = n2->x - n1->x, wy = n2->y - n1->y, wz = n2->z - n1->z;
        const double cx = uy * wz - uz * wy, cy = uz * wx - ux * wz, cz = ux * wy - uy * wx;
        const double len = std::sqrt(cx * cx + cy * cy + cz * cz);
        if (len > longest) {
            longest = len;
            bv = v;
            b1 = n1;
            b2 = n2;
        }
    }
    if (longest < GeomEpsilon) return false;
    const Point3 pts[3] = {bv->pt(), b1->pt(), b2->pt()};
    return PlaneCoefficients3(pts[0], pts[1], pts[2], a, b, c, d);
}

double PolygonAreaByEars(const VertexNode* list, bool (*userBreak)()) {
    std::vector<const VertexNode*> verts;
    for (const VertexNode* v = list; v; v = v->next) verts.push_back(v);
    return NotchAndFanArea(std::move(verts), list, userBreak);
}

double PolygonAreaByEars(const RingNode* ring, bool (*userBreak)()) {
    std::vector<const VertexNode*> verts;
    for (const RingNode* r = ring; r; r = r->next) verts.push_back(r->vertex);
    // The crossing test runs over the ring's own edges.
    VertexNode* copy = nullptr;
    VertexNode* tail = nullptr;
    std::vector<const VertexNode*> copied;
    for (const VertexNode* v : verts) {
        VertexNode* c = NewVertex(v->x, v->y, v->z, v->edgeFlag, v->data1, v->data2, 0);
        (tail ? tail->next : copy) = c;
        tail = c;
        copied.push_back(c);
    }
    const double area = NotchAndFanArea(std::move(copied), copy, userBreak);
    FreeList(copy);
    return area;
}

namespace {

// Whether p lies beyond what IsOnSegmentTol(p, a, b, tol) takes as on the
// segment: an ellipse about a-b reaching at most tol / 2 past its ends and
// sqrt(2 L tol + tol^2) / 2 to its sides, so a point that far outside the
// segment's box (with room to spare) is never on it. Long rings would
// otherwise take three square roots per edge for every point.
bool BeyondSegment(const Point3& p, const VertexNode* a, const VertexNode* b, double tol) {
    const double out = std::max(std::max(std::min(a->x, b->x) - p.x, p.x - std::max(a->x, b->x)),
                                std::max(std::min(a->y, b->y) - p.y, p.y - std::max(a->y, b->y)));
    if (!(out > tol)) return false;
    const double reach = 2.0 * (std::fabs(b->x - a->x) + std::fabs(b->y - a->y)) * tol + tol * tol;
    return (out - tol) * (out - tol) > reach;
}

double OnEdgeTolerance() {
    return 100.0 * SharedTolerance;
}

bool OnEdge(const Point3& p, const VertexNode* v, const VertexNode* w, double tol) {
    return !BeyondSegment(p, v, w, tol) && IsOnSegmentTol(p, v->pt(), w->pt(), tol);
}

// Whether the edge crosses the ray from p to the left (one end taken, the
// other not, so that a vertex on the ray counts once).
bool CrossesLeftOf(const Point3& p, const VertexNode* v, const VertexNode* w) {
    if (!((v->y < p.y && p.y <= w->y) || (w->y < p.y && p.y <= v->y))) return false;
    return v->x + (w->x - v->x) * (p.y - v->y) / (w->y - v->y) < p.x;
}

int OnEdgeResult(int mode) {
    return mode == kEdgesReported ? kOnPolygonEdge : kOutsidePolygon;
}

}  // namespace

int PointAgainstRing(const Point3& p, const VertexNode* ring, double t) {
    for (const VertexNode* v = ring; v; v = v->next)
        if (PlanDistanceToSegment(p, v->pt(), NextInRing(ring, v)->pt()) <= t) return kOnPolygonEdge;
    return PointInPolygon(p, ring, kEdgesUntested);
}

int PointInPolygon(const Point3& p, const VertexNode* list, int mode) {
    if (!list) return kOutsidePolygon;
    if (mode != kEdgesUntested) {
        const double tol = OnEdgeTolerance();
        for (const VertexNode* v = list; v; v = v->next)
            if (OnEdge(p, v, NextInRing(list, v), tol)) return OnEdgeResult(mode);
    }
    int count = 0;
    for (const VertexNode* v = list; v; v = v->next) count += CrossesLeftOf(p, v, NextInRing(list, v));
    return count % 2 ? kInsidePolygon : kOutsidePolygon;
}

int PointInEdges(const Point3& p, std::span<const PlanEdge> edges, int mode) {
    if (mode != kEdgesUntested) {
        const double tol = OnEdgeTolerance();
        for (const auto& [v, w] : edges)
            if (OnEdge(p, v, w, tol)) return OnEdgeResult(mode);
    }
    int count = 0;
    for (const auto& [v, w] : edges) count += CrossesLeftOf(p, v, w);
    return count % 2 ? kInsidePolygon : kOutsidePolygon;
}

RingLocator::RingLocator(const VertexNode* ring) {
    for (const VertexNode* v = ring; v; v = v->next) {
        from_.push_back(v);
        to_.push_back(NextInRing(ring, v));
    }
    File();
}

RingLocator::RingLocator(std::span<const PlanEdge> edges) {
    for (const auto& [v, w] : edges) {
        from_.push_back(v);
        to_.push_back(w);
    }
    File();
}

int RingLocator::BandOf(double y) const {
    const double b = std::floor((y - low_) / band_);
    return b <= 0.0 ? 0 : b >= bands_ - 1 ? bands_ - 1 : static_cast<int>(b);
}

void RingLocator::File() {
    if (from_.empty()) return;
    double high = from_[0]->y;
    low_ = high;
    for (const VertexNode* v : from_) low_ = std::min(low_, v->y), high = std::max(high, v->y);
    const int bands = std::clamp(static_cast<int>(from_.size() / 4), 1, 4096);
    const double band = (high - low_) / bands;
    band_ = band, bands_ = bands;
    if (!(band > 0.0) || !std::isfinite(band)) {
        // Flat or not a number: every edge is looked at.
        tall_.resize(from_.size());
        for (std::size_t k = 0; k < from_.size(); ++k) tall_[k] = static_cast<int>(k);
        return;
    }
    for (int shift = 0; tiers_.empty() || tiers_.back().bands > 1; shift += 3)
        tiers_.push_back({shift, ((bands - 1) >> shift) + 1, {}, {}});
    const double tol = OnEdgeTolerance();
    // Each edge's tier and bands: the heights a point on the edge may have,
    // with room to spare (see BeyondSegment). A long wall's edge among short
    // ones is looked at only by points level with it.
    struct Span {
        int tier = -1, first = 0, last = -1;
    };
    std::vector<Span> span(from_.size());
    for (Tier& tier : tiers_) tier.start.assign(static_cast<std::size_t>(tier.bands) + 1, 0);
    for (std::size_t k = 0; k < from_.size(); ++k) {
        const VertexNode *v = from_[k], *w = to_[k];
        const double reach =
            tol + std::sqrt(2.0 * (std::fabs(w->x - v->x) + std::fabs(w->y - v->y)) * tol + tol * tol);
        const double y0 = std::min(v->y, w->y) - reach, y1 = std::max(v->y, w->y) + reach;
        if (!std::isfinite(y0) || !std::isfinite(y1)) {
            tall_.push_back(static_cast<int>(k));
            continue;
        }
        int t = 0;
        const int first = BandOf(y0), last = BandOf(y1);
        while (((last >> tiers_[static_cast<std::size_t>(t)].shift) -
                (first >> tiers_[static_cast<std::size_t>(t)].shift)) > 8)
            ++t;
        Tier& tier = tiers_[static_cast<std::size_t>(t)];
        span[k] = {t, first >> tier.shift, last >> tier.shift};
        for (int b = span[k].first; b <= span[k].last; ++b) ++tier.start[static_cast<std::size_t>(b) + 1];
    }
    std::vector<std::vector<int>> fill;
    for (Tier& tier : tiers_) {
        for (std::size_t b = 0; b < static_cast<std::size_t>(tier.bands); ++b)
            tier.start[b + 1] += tier.start[b];
        tier.edges.resize(static_cast<std::size_t>(tier.start.back()));
        fill.emplace_back(tier.start.begin(), tier.start.end() - 1);
    }
    for (std::size_t k = 0; k < from_.size(); ++k) {
        if (span[k].tier < 0) continue;
        const std::size_t t = static_cast<std::size_t>(span[k].tier);
        for (int b = span[k].first; b <= span[k].last; ++b)
            tiers_[t].edges[static_cast<std::size_t>(fill[t][static_cast<std::size_t>(b)]++)] =
                static_cast<int>(k);
    }
}

void RingPlanBox(const VertexNode* ring, double box[4]) {
    box[0] = box[1] = 1e300;
    box[2] = box[3] = -1e300;
    for (const VertexNode* v = ring; v; v = v->next) {
        box[0] = std::min(box[0], v->x), box[1] = std::min(box[1], v->y);
        box[2] = std::max(box[2], v->x), box[3] = std::max(box[3], v->y);
    }
}

bool RingReachBox(const VertexNode* ring, double box[4]) {
    if (!ring) return false;
    box[0] = box[2] = ring->x, box[1] = box[3] = ring->y;
    double longest = 0.0, largest = 0.0;
    for (const VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = NextInRing(ring, v);
        if (!std::isfinite(v->x) || !std::isfinite(v->y)) return false;
        box[0] = std::min(box[0], v->x), box[1] = std::min(box[1], v->y);
        box[2] = std::max(box[2], v->x), box[3] = std::max(box[3], v->y);
        longest = std::max(longest, std::fabs(w->x - v->x) + std::fabs(w->y - v->y));
        largest = std::max({largest, std::fabs(v->x), std::fabs(v->y)});
    }
    // Past an edge's own box by this much a point is beyond the edge (see
    // BeyondSegment), and a crossing of the ray, computed between the
    // edge's ends, stays on the ring's side of it to the last bit.
    const double tol = OnEdgeTolerance();
    const double reach = tol + std::sqrt(2.0 * longest * tol + tol * tol) + 1e-9 * (1.0 + largest);
    if (!std::isfinite(reach)) return false;
    box[0] -= reach, box[1] -= reach, box[2] += reach, box[3] += reach;
    return true;
}

int RingLocator::Where(const Point3& p, int mode) const {
    if (from_.empty()) return kOutsidePolygon;
    const double tol = OnEdgeTolerance();
    // A height that is not a number falls in no band: every edge.
    if (!tiers_.empty() && !std::isfinite(p.y)) {
        std::vector<PlanEdge> every;
        for (std::size_t k = 0; k < from_.size(); ++k) every.push_back({from_[k], to_[k]});
        return PointInEdges(p, every, mode);
    }
    // The edges of p's band in each tier, and those of no band.
    std::array<std::span<const int>, 8> lists;
    std::size_t count = 0;
    const int band = tiers_.empty() ? 0 : BandOf(p.y);
    for (const Tier& tier : tiers_) {
        const std::size_t b = static_cast<std::size_t>(band >> tier.shift);
        lists[count++] = std::span(tier.edges)
                             .subspan(static_cast<std::size_t>(tier.start[b]),
                                      static_cast<std::size_t>(tier.start[b + 1] - tier.start[b]));
    }
    lists[count++] = tall_;
    const std::span<const std::span<const int>> all(lists.data(), count);
    if (mode != kEdgesUntested)
        for (const std::span<const int> edges : all)
            for (int k : edges)
                if (OnEdge(p, from_[k], to_[k], tol)) return OnEdgeResult(mode);
    int crossings = 0;
    for (const std::span<const int> edges : all)
        for (int k : edges) crossings += CrossesLeftOf(p, from_[k], to_[k]);
    return crossings % 2 ? kInsidePolygon : kOutsidePolygon;
}

bool PolygonContainsPoint(const Point3& p, const VertexNode* list, int mode) {
    if (CountNodes(list) < 3) return false;
    if (mode == 0) {
        for (const VertexNode* v = list; v; v = v->next)
            if (IsOnSegmentTol(p, v->pt(), NextInRing(list, v)->pt(), 100.0 * SharedTolerance)) return false;
    }
    return PointInPolygon(p, list, kEdgesReported) != kOutsidePolygon;
}

namespace {

void ClearMarks(VertexNode* list) {
    for (VertexNode* v = list; v; v = v->next) v->mark = 0;
}

}  // namespace

bool IsInsideByInsertion(const Point3& p, VertexNode* list, int onEdgeResult) {
    if (CountNodes(list) < 3) return false;
    for (VertexNode* v = list; v; v = v->next)
        if (IsPointOnSegment(p, v->pt(), NextInRing(list, v)->pt())) return onEdgeResult != 0;
    double reach = -10.0;
    for (VertexNode* v = list->next; v; v = v->next) reach = std::max(reach, Distance2d(list->pt(), v->pt()));
    if (reach < 0.0 || Distance2d(list->pt(), p) > reach) return false;
    const double a0 = PolygonAreaByEars(list);
    if (a0 < GeomEpsilon) return false;
    for (VertexNode* v = list; v; v = v->next) {
        VertexNode* w = NextInRing(list, v);
        if (ArePointsCollinear(v->pt(), p, w->pt(), SharedTolerance)) v->mark = w->mark = 1;
    }
    VertexNode probe;
    probe.setPt(p);
    for (;;) {
        VertexNode* best = nullptr;
        double bestSum = 0.0;
        for (VertexNode* v = list; v; v = v->next) {
            VertexNode* w = NextInRing(list, v);
            if (v->mark && w->mark) continue;
            const double sum = Distance2d(v->pt(), p) + Distance2d(w->pt(), p);
            if (!best || sum < bestSum) {
                best = v;
                bestSum = sum;
            }
        }
        if (!best) {
            ClearMarks(list);
            return false;
        }
        // p goes in after best; the probe lives on the stack and is always
        // unlinked again before returning.
        probe.next = best->next;
        best->next = &probe;
        const bool simple = IsSimplePolygon(list);
        if (simple) {
            ClearMarks(list);
            const double a1 = PolygonAreaByEars(list);
            best->next = probe.next;
            return a0 > a1;
        }
        best->next = probe.next;
        VertexNode* w = NextInRing(list, best);
        best->mark = w->mark = 1;
    }
}

bool EdgeCrossesPolygon(const VertexNode* list, const VertexNode* a, const VertexNode* b,
                        const VertexNode* c) {
    for (const VertexNode* e = list; e; e = e->next) {
        const VertexNode* f = NextInRing(list, e);
        if (e == a || e == b || e == c || f == a || f == b || f == c) continue;
        Point3 x;
        if (HostSegmentsMeet(a->pt(), c->pt(), e->pt(), f->pt(), x)) return true;
    }
    return false;
}

bool SegmentCrossesPolygon(const RingNode* ring, const VertexNode* a, const VertexNode* b,
                           const VertexNode* c) {
    for (const RingNode* r = ring; r; r = r->next) {
        const VertexNode* e = r->vertex;
        const VertexNode* f = NextInRing(ring, r)->vertex;
        if (e == a || e == b || e == c || f == a || f == b || f == c) continue;
        Point3 x;
        if (HostSegmentsMeet(a->pt(), c->pt(), e->pt(), f->pt(), x)) return true;
    }
    return false;
}

bool SegmentCrossesContours(const VertexNode* a, const VertexNode* b, const ContourNode* contours) {
    if (!a || !b || !contours) return false;
    for (const ContourNode* k = contours; k; k = k->next) {
        for (const VertexNode* e = k->vertices; e; e = e->next) {
            const VertexNode* f = NextInRing<const VertexNode>(k->vertices, e);
            if (e == a || e == b || f == a || f == b) continue;
            Point3 x;
            if (HostSegmentsMeet(a->pt(), b->pt(), e->pt(), f->pt(), x)) return true;
        }
    }
    return false;
}

bool IsSimplePolygon(const VertexNode* list) {
    for (const VertexNode* e = list; e; e = e->next) {
        const VertexNode* f = NextInRing(list, e);
        for (const VertexNode* g = list; g; g = g->next) {
            if (g == e) continue;
            const VertexNode* h = NextInRing(list, g);
            Point3 x;
            if (!IntersectLines2d(e->pt(), f->pt(), g->pt(), h->pt(), x, 1, ModuleGeomTol)) continue;
            if (PointsEqual(x, e->pt(), false) || PointsEqual(x, f->pt(), false) ||
                PointsEqual(x, g->pt(), false) || PointsEqual(x, h->pt(), false))
                continue;
            return false;
        }
    }
    return true;
}

VertexNode* ArcToVertices(double step, const Point3& centre, double radius, double start, double end,
                          double* area, bool fromStart, const Point3* normal) {
    if (area) *area = 0.0;
    if (radius < GeomEpsilon || !std::isfinite(start) || !std::isfinite(end) || !std::isfinite(step))
        return nullptr;
    const Point3 c = normal ? WorldToOcs(centre, *normal) : centre;
    const double sweep = AngleDiffCcw(start, end);
    double l = std::min(step, sweep * radius / 2.0);
    if (l > radius) l = radius;
    const double delta = 2.0 * std::asin(l / (2.0 * radius));
    if (!(delta >= GeomEpsilon)) return nullptr;
    // An approximation finer than this, or angles this far from the first
    // turn, is bad input rather than an arc: refuse it like a zero step.
    const double maxSteps = 1e7;
    if (sweep / delta > maxSteps || std::fabs(start) / delta > maxSteps) return nullptr;
    double a0 = fromStart ? start : 0.0;
    while (a0 - start < SharedTolerance) a0 += delta;

    VertexNode* head = NewVertex(0, 0, 0, 0, 0, 0, 0);
    head->setPt(PolarPoint(c, start, radius));
    VertexNode* tail = head;
    auto add = [&tail](const Point3& p) {
        VertexNode* v = NewVertex(p.x, p.y, p.z, 0, 0, 0, 0);
        tail->next = v;
        tail = v;
    };
    for (double a = a0; a < start + sweep; a += delta) add(PolarPoint(c, a, radius));
    add(PolarPoint(c, end, radius));

    if (area) {
        double sum = 0.0;
        for (VertexNode* v = head; v->next; v = v->next) {
            const double chord = Distance3dRev(v->pt(), v->next->pt());
            const double phi = 2.0 * std::asin(std::min(1.0, chord / (2.0 * radius)));
            sum += radius * radius / 2.0 * (phi - std::sin(phi));
        }
        *area = sum;
    }
    if (normal)
        for (VertexNode* v = head; v; v = v->next) v->setPt(OcsToWorld(v->pt(), *normal));
    return head;
}

namespace {

// Plan segment intersection as the host gives it, with its default tolerance.
bool HostSegmentsMeet(const Point3& a, const Point3& b, const Point3& c, const Point3& d, Point3& x) {
    return IntersectLines2d(a, b, c, d, x, 1, ZcGeContext::gTol);
}

// A ring over vertices kept as index links, so cutting a vertex is O(1).
struct WorkRing {
    std::vector<const VertexNode*> v;
    std::vector<int> next, prev;
    int head = -1;
    int size = 0;

    explicit WorkRing(std::vector<const VertexNode*> vertices) : v(std::move(vertices)) {
        size = static_cast<int>(v.size());
        next.resize(v.size());
        prev.resize(v.size());
        for (int i = 0; i < size; ++i) {
            next[i] = (i + 1) % size;
            prev[i] = (i + size - 1) % size;
        }
        head = size ? 0 : -1;
    }
    void cut(int i) {
        next[prev[i]] = next[i];
        prev[next[i]] = prev[i];
        if (head == i) head = next[i];
        --size;
    }
    Point3 pt(int i) const { return v[i]->pt(); }
};

double NotchAndFanArea(std::vector<const VertexNode*> verts, const VertexNode* list, bool (*userBreak)()) {
    if (verts.size() < 3) return -2.0;
    {
        // The ring must run clockwise.
        VertexNode* tmp = nullptr;
        VertexNode* tail = nullptr;
        for (const VertexNode* n : verts) {
            VertexNode* c = NewVertex(n->x, n->y, n->z, 0, 0, 0, 0);
            (tail ? tail->next : tmp) = c;
            tail = c;
        }
        const int o = PolygonOrientation(tmp);
        FreeList(tmp);
        if (o == 0) std::vector<const VertexNode*>(verts.rbegin(), verts.rend()).swap(verts);
    }
    WorkRing ring(std::move(verts));
    const double pi = std::numbers::pi;
    double notch = 0.0;
    for (;;) {
        bool cut = false;
        int i = ring.head;
        for (int step = 0; step < ring.size; ++step, i = ring.next[i]) {
            const int n = ring.next[i], m = ring.next[n], k = ring.next[m], p = ring.prev[i];
            const Point3 V = ring.pt(i), N = ring.pt(n), M = ring.pt(m), K = ring.pt(k), P = ring.pt(p);
            if (!(AngleBetweenLines(V, N, V, P) > pi)) continue;
            if (!(AngleBetweenLines(N, M, N, V) < pi)) continue;
            if (!(AngleBetweenLines(M, V, M, N) <= AngleBetweenLines(M, K, M, N))) continue;
            if (EdgeCrossesPolygon(list, ring.v[i], ring.v[n], ring.v[m])) continue;
            notch -=
                0.5 * Distance3dRev(V, N) * Distance3dRev(N, M) * std::sin(AngleBetweenLines(N, M, N, V));
            ring.cut(n);
            cut = true;
            break;
        }
        if (userBreak && userBreak()) return -1.0;
        if (!cut) break;
    }
    double fan = 0.0;
    const int h = ring.head;
    const Point3 H = ring.pt(h);
    for (int q = ring.next[h]; ring.next[q] != h; q = ring.next[q]) {
        const int r = ring.next[q];
        const Point3 Q = ring.pt(q), R = ring.pt(r);
        fan += -0.5 * Distance3dRev(H, Q) * Distance3dRev(R, Q) * std::sin(AngleBetweenLines(Q, R, Q, H));
    }
    return fan + notch;
}

}  // namespace
