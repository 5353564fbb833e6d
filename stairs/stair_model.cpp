// Element services and the tread areas of the stair model.
//
// A side is read as one polyline (line ends and arc chord points in walking
// order); positions along a side are lengths along that polyline. A tread
// is the ring between two consecutive risers: the front riser's two ends,
// the second side's points between the risers, the back riser's ends, and
// the first side's points back to the start. Where two risers of a winder
// meet in one point the ring would pass that point twice; the back copy is
// marked skipped (second integer 1) so the face builders leave it out.
#include "stairs/stair_model.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "core/base/module_state.h"
#include "core/geometry/polygon.h"
#include "host/ads/adsent.h"

namespace {

double Cross2d(const Point3& o, const Point3& a, const Point3& b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Plan crossing of the infinite line l with the segment p-q; none when
// parallel or off the segment.
std::optional<Point3> LineCrossesSegment(const StairLine& l, const Point3& p, const Point3& q) {
    Point3 x;
    if (!IntersectLines(l, {p, q}, x)) return std::nullopt;
    const double len = Distance2d(p, q);
    if (len < GeomEpsilon) return std::nullopt;
    if (std::fabs(Distance2d(p, x) + Distance2d(x, q) - len) > SharedTolerance) return std::nullopt;
    return x;
}

}  // namespace

StairElement* NewStairElement(const CSCALA& record, const Point3& pointA, const Point3& pointB,
                              const Point3& endA, const Point3& endB, int kind, const ads_name source,
                              bool landing) {
    auto* e = new StairElement;
    e->kind = kind;
    e->pointA = pointA;
    e->pointB = pointB;
    e->endA = endA;
    e->endB = endB;
    if (source) ads_name_set(source, e->source);
    e->landing = landing;
    if (kind != 0) e->arcPoints = MakeArcPoints(*e, record.scaleFactor);
    return e;
}

ArcPointNode* MakeArcPoints(const StairElement& element, double size) {
    if (!element.isArc()) return nullptr;
    const double r = element.radius();
    // Without a print scale the chord still depends on the radius alone, so
    // that an arc shortened later keeps the chord points it had.
    if (!(size > SharedTolerance)) size = std::max(r * 0.1, SharedTolerance);
    VertexNode* pts =
        ArcToVertices(size, element.pointA, r, element.startAngle(), element.endAngle(), nullptr, true);
    if (!pts) return nullptr;
    Point3 s = PolarPoint(element.pointA, element.startAngle(), r);
    if (!PointsEqual(s, element.endA, false)) pts = ReverseList(pts);
    ArcPointNode* head = nullptr;
    ArcPointNode** tail = &head;
    for (VertexNode* v = pts; v && v->next; v = v->next) {
        auto* c = new ArcPointNode;
        c->start = v->pt();
        c->end = v->next->pt();
        c->start.z = c->end.z = element.pointA.z;
        *tail = c;
        tail = &c->next;
    }
    FreeList(pts);
    return head;
}

void TranslateElements(StairElement* list, double dx, double dy) {
    auto move = [dx, dy](Point3& p) {
        p.x -= dx;
        p.y -= dy;
    };
    for (StairElement* e = list; e; e = e->next) {
        move(e->pointA);
        if (!e->isArc()) {
            move(e->pointB);
            e->endA = e->pointA;
            e->endB = e->pointB;
            continue;
        }
        move(e->endA);
        move(e->endB);
        for (ArcPointNode* c = e->arcPoints; c; c = c->next) {
            move(c->start);
            move(c->end);
        }
    }
}

bool IntersectLines(const StairLine& l, const StairLine& m, Point3& out) {
    if (AreSegmentsParallel(l.a, l.b, m.a, m.b) ||
        std::fabs(Cross2d({0, 0, 0}, {l.b.x - l.a.x, l.b.y - l.a.y, 0}, {m.b.x - m.a.x, m.b.y - m.a.y, 0})) <
            SharedTolerance * SharedTolerance) {
        for (const Point3* p : {&l.a, &l.b})
            for (const Point3* q : {&m.a, &m.b})
                if (PointsEqual(*p, *q, false)) {
                    out = *p;
                    return true;
                }
        return false;
    }
    ads_point a1 = {l.a.x, l.a.y, 0.0}, a2 = {l.b.x, l.b.y, 0.0}, b1 = {m.a.x, m.a.y, 0.0},
              b2 = {m.b.x, m.b.y, 0.0};
    ads_point r;
    if (zcdbInters(a1, a2, b1, b2, 0, r) != RTNORM) return false;
    out = {r[0], r[1], l.a.z};
    return true;
}

std::vector<Point3> SidePolyline(const StairElement* side) {
    std::vector<Point3> pts;
    auto add = [&pts](const Point3& p) {
        if (pts.empty() || !PointsEqual(pts.back(), p, true)) pts.push_back(p);
    };
    for (const StairElement* e = side; e; e = e->next) {
        if (!e->isArc() || !e->arcPoints) {
            add(e->endA);
            add(e->endB);
            continue;
        }
        for (const ArcPointNode* c = e->arcPoints; c; c = c->next) {
            add(c->start);
            add(c->end);
        }
    }
    return pts;
}

std::optional<double> PositionAlongPolyline(const std::vector<Point3>& polyline, const Point3& p) {
    double run = 0.0;
    for (std::size_t i = 0; i + 1 < polyline.size(); ++i) {
        const Point3& a = polyline[i];
        const Point3& b = polyline[i + 1];
        const double len = Distance2d(a, b);
        if (std::fabs(Distance2d(a, p) + Distance2d(p, b) - len) <= SharedTolerance)
            return run + Distance2d(a, p);
        run += len;
    }
    return std::nullopt;
}

std::optional<SideCrossing> RiserSideIntersection(const StairLine& riser, const StairElement* side) {
    Point3 mid;
    MidPoint(riser.a, riser.b, mid);
    std::optional<SideCrossing> best;
    double bestDistance = std::numeric_limits<double>::max();
    double run = 0.0;
    auto consider = [&](const Point3& p, const Point3& q, const StairElement* e) {
        if (auto x = LineCrossesSegment(riser, p, q)) {
            const double d = Distance2d(*x, mid);
            if (d < bestDistance) {
                bestDistance = d;
                best = SideCrossing{*x, run + Distance2d(p, *x), e};
            }
        }
        run += Distance2d(p, q);
    };
    for (const StairElement* e = side; e; e = e->next) {
        if (!e->isArc() || !e->arcPoints) {
            consider(e->endA, e->endB, e);
            continue;
        }
        for (const ArcPointNode* c = e->arcPoints; c; c = c->next) consider(c->start, c->end, e);
    }
    return best;
}

void SortRisers(const CSCALA& record, StairElement* risers) {
    const std::vector<Point3> first = SidePolyline(record.firstSide);
    const std::vector<Point3> second = SidePolyline(record.secondSide);
    auto position = [](const std::vector<Point3>& side, const Point3& p) {
        return PositionAlongPolyline(side, p).value_or(std::numeric_limits<double>::max());
    };
    // Bounded like any bubble sort: n passes put n items in order.
    const int n = CountNodes(risers);
    for (int pass = 0; pass <= n; ++pass) {
        bool changed = false;
        for (StairElement* r = risers; r && r->next; r = r->next) {
            StairElement* s = r->next;
            if (position(first, r->pointA) - position(first, s->pointA) > GeomEpsilon) {
                std::swap(r->pointA, s->pointA);
                std::swap(r->endA, s->endA);
                changed = true;
            }
            if (position(second, r->pointB) - position(second, s->pointB) > GeomEpsilon) {
                std::swap(r->pointB, s->pointB);
                std::swap(r->endB, s->endB);
                changed = true;
            }
        }
        if (!changed) break;
    }
}

bool IsPointOnArcElement(const StairElement& element, const Point3& p) {
    for (const ArcPointNode* c = element.arcPoints; c; c = c->next)
        if (IsOnSegmentTol(p, c->start, c->end, SharedTolerance)) return true;
    return false;
}

StairElement* FindSideElementAt(StairElement* side, const StairLine& line, int which, Point3& out) {
    const Point3& end = which == 0 ? line.a : line.b;
    for (StairElement* e = side; e; e = e->next) {
        if (!e->isArc()) {
            if (IsOnSegmentTol(end, e->endA, e->endB, SharedTolerance)) {
                out = end;
                return e;
            }
            continue;
        }
        if (!IsPointOnArcElement(*e, end)) continue;
        Point3 p1, p2;
        if (IntersectLineCircle(line.a, line.b, e->pointA, e->radius(), p1, p2))
            out = Distance2d(p1, end) <= Distance2d(p2, end) ? p1 : p2;
        return e;
    }
    return nullptr;
}

void ShortenLineEnds(StairLine& line, double t1, double t2, double w) {
    const double c = std::cos(w);
    if (c < SharedTolerance) return;
    const double ang = AngleTo(line.a, line.b);
    const Point3 a = PolarPoint(line.a, ang, t1 / c);
    const Point3 b = PolarPoint(line.b, ang + std::numbers::pi, t2 / c);
    line.a = a;
    line.b = b;
}

// ---- tread areas ----

namespace {

void AppendRing(VertexNode** head, VertexNode*** tail, const Point3& p, double z, int flag) {
    VertexNode* v = NewVertex(p.x, p.y, z, flag, 0, 0, 0);
    **tail = v;
    *tail = &v->next;
    (void)head;
}

// Merges coincident neighbours of a tread ring (compared with Z).
void MergeCoincident(VertexNode*& ring) {
    const int n = CountNodes(ring);
    for (int guard = 0; guard < 2 * n && ring && ring->next; ++guard) {
        bool merged = false;
        for (VertexNode* v = ring; v; v = v->next) {
            VertexNode* w = NextInRing(ring, v);
            if (w == v || !PointsEqual(v->pt(), w->pt(), true)) continue;
            const bool frontBack =
                (v->edgeFlag == 2 && w->edgeFlag == 3) || (v->edgeFlag == 3 && w->edgeFlag == 2);
            if (frontBack) {
                VertexNode* back = v->edgeFlag == 3 ? v : w;
                if (back->data1 == 1) return;
                back->data1 = 1;
                merged = true;
                break;
            }
            if (v->edgeFlag <= 1 && w->edgeFlag <= 1) {
                RemoveNode(&ring, w);
                merged = true;
                break;
            }
        }
        if (!merged) return;
    }
}

}  // namespace

StairStep* BuildStairSteps(const CSCALA& record, const StairElement* risers, int nosing, double drop) {
    const std::vector<Point3> first = SidePolyline(record.firstSide);
    const std::vector<Point3> second = SidePolyline(record.secondSide);
    StairStep* result = nullptr;
    StairStep** resultTail = &result;
    int i = 1;
    for (const StairElement* r = risers; r && r->next; r = r->next, ++i) {
        const StairElement* s = r->next;
        double z = i * record.stepHeight + record.startOffset - drop;
        if (z < record.startOffset) z = record.startOffset;
        if (i == 1 && drop != 0.0 && record.structureType != 3) z = record.startOffset;

        auto p1 = PositionAlongPolyline(second, r->pointB);
        auto p2 = PositionAlongPolyline(second, s->pointB);
        auto q1 = PositionAlongPolyline(first, r->pointA);
        auto q2 = PositionAlongPolyline(first, s->pointA);
        if (!p1 || !p2 || !q1 || !q2) continue;

        Point3 fa = r->pointA, fb = r->pointB;
        if (nosing == 1) {
            const double ang = AngleTo(r->pointA, r->pointB) - std::numbers::pi / 2.0;
            fa = PolarPoint(fa, ang, record.nosingLength);
            fb = PolarPoint(fb, ang, record.nosingLength);
        }
        VertexNode* ring = nullptr;
        VertexNode** tail = &ring;
        AppendRing(&ring, &tail, fa, z, 2);
        AppendRing(&ring, &tail, fb, z, 2);
        double run = 0.0;
        for (std::size_t k = 0; k < second.size(); ++k) {
            if (k > 0) run += Distance2d(second[k - 1], second[k]);
            if (run > *p1 + SharedTolerance && run < *p2 - SharedTolerance)
                AppendRing(&ring, &tail, second[k], z, 1);
        }
        AppendRing(&ring, &tail, s->pointB, z, 3);
        AppendRing(&ring, &tail, s->pointA, z, 3);
        std::vector<Point3> back;
        run = 0.0;
        for (std::size_t k = 0; k < first.size(); ++k) {
            if (k > 0) run += Distance2d(first[k - 1], first[k]);
            if (run > *q1 + SharedTolerance && run < *q2 - SharedTolerance) back.push_back(first[k]);
        }
        for (auto it = back.rbegin(); it != back.rend(); ++it) AppendRing(&ring, &tail, *it, z, 0);
        MergeCoincident(ring);

        auto* step = new StairStep;
        step->ring = ring;
        *resultTail = step;
        resultTail = &step->next;
    }
    return result;
}

StairStep* AppendOutline(StairStep** list, VertexNode* ring) {
    auto* node = new StairStep;
    node->ring = ring;
    StairStep** tail = list;
    while (*tail) tail = &(*tail)->next;
    *tail = node;
    return node;
}

void CollectStepOutlines(StairStep** outlines, const StairStep* steps, bool fromHead) {
    for (const StairStep* s = steps; s; s = s->next) {
        if (!s->ring) continue;
        VertexNode* ring = nullptr;
        VertexNode** tail = &ring;
        // Forward: from the second side on; from the head: the whole front.
        const VertexNode* start = fromHead ? s->ring : (s->ring->next ? s->ring->next : s->ring);
        const VertexNode* v = start;
        const int n = CountNodes(s->ring);
        for (int k = 0; k < n; ++k) {
            VertexNode* copy = NewVertex(v->x, v->y, v->z, v->edgeFlag, v->data1, v->data2, 0);
            *tail = copy;
            tail = &copy->next;
            const VertexNode* w = NextInRing(const_cast<VertexNode*>(s->ring), const_cast<VertexNode*>(v));
            if (v->edgeFlag == 3 && w->edgeFlag == 3) {
                VertexNode* last = NewVertex(w->x, w->y, w->z, w->edgeFlag, w->data1, w->data2, 0);
                *tail = last;
                break;
            }
            v = w;
        }
        AppendOutline(outlines, ring);
    }
}

void BuildStairOutlines(CSCALA& record, const RingNode* openingFirst, const RingNode* openingSecond,
                        const RingNode* planFirst, const RingNode* planSecond) {
    std::vector<const VertexNode*> walk;
    for (const RingNode* n = planFirst; n; n = n->next) walk.push_back(n->vertex);
    std::vector<const VertexNode*> second;
    for (const RingNode* n = planSecond; n; n = n->next) second.push_back(n->vertex);
    walk.insert(walk.end(), second.rbegin(), second.rend());

    auto clean = [](VertexNode* list) { return RemoveVerticesOnEdges(RemoveDuplicateVertices(list), 1); };
    FreeList(record.hatchIsolationPoints);
    FreeList(record.detailPoints);
    FreeList(record.openingPolygon);
    VertexNode* hatch = nullptr;
    VertexNode* detail = nullptr;
    const double h = record.deductionHeight;
    for (std::size_t i = 0; i < walk.size(); ++i) {
        const VertexNode* v = walk[i];
        AppendVertex(&hatch, v->pt(), 0, 0, 0);
        if (v->z <= h) AppendVertex(&detail, v->pt(), 0, 0, 0);
        if (i + 1 < walk.size()) {
            const VertexNode* w = walk[i + 1];
            if ((v->z < h && w->z > h) || (v->z > h && w->z < h)) {
                const double t = (h - v->z) / (w->z - v->z);
                AppendVertex(&detail, {v->x + t * (w->x - v->x), v->y + t * (w->y - v->y), h}, 0, 0, 0);
            }
        }
    }
    record.hatchIsolationPoints = clean(hatch);
    record.detailPoints = clean(detail);

    VertexNode* opening = nullptr;
    const double lowest = record.floorDistance - (record.slabThickness + record.lintelHeight);
    for (const RingNode* chain : {openingFirst, openingSecond})
        for (const RingNode* n = chain; n; n = n->next)
            if (n->vertex && n->vertex->z >= lowest) AppendVertex(&opening, n->vertex->pt(), 1, 0, 0);
    record.openingPolygon = clean(opening);
}

void PlaneThroughLines(const StairLine& l, const StairLine& m, Point3 out[3]) {
    out[0] = l.a;
    out[1] = l.b;
    out[2] = HostDistance(l.b, m.b) <= HostDistance(l.a, m.a) ? m.a : m.b;
    if (ArePointsCollinear(out[0], out[1], out[2], SharedTolerance))
        out[2] = PolarPoint(out[0], AngleTo(out[0], out[1]) + std::numbers::pi * 0.5, 10.0);
}

double StructureDepthAtRiser(const CSCALA& record, double thickness, double treadDepth) {
    if (treadDepth == 0.0) return thickness;
    const double s = std::atan(record.stepHeight / treadDepth);
    const Point3 p{record.riserThicknessPlan, -record.stepThicknessPlan, 0.0};
    const Point3 q = PolarPoint(p, s + 1.5 * std::numbers::pi, thickness);
    const Point3 q2 = PolarPoint(q, s, 100.0);
    ads_point a1 = {q.x, q.y, 0}, a2 = {q2.x, q2.y, 0}, b1 = {0, 0, 0}, b2 = {0, 100, 0};
    ads_point r;
    if (zcdbInters(a1, a2, b1, b2, 0, r) != RTNORM) return thickness;
    return -r[1];
}
