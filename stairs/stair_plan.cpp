// The stair plan symbol, in three passes over the stair model: the risers
// (whole, shortened by the 2D balustrade thicknesses, or cut at a cut
// line), the sides (split where a cut line crosses them, with their 2D
// balustrade lines) and the walking line (with its start markers and arrow
// heads). The cut lines run through the midpoint of the cut step's riser
// and are stretched from side to side.
//
// Which part of a riser crossing a cut line is kept is decided by the side
// of the cut line its ends lie on: the start side of the first cut line is
// the one away from the second cut line, and the far side of the second the
// one away from the first.
#include "stairs/stair_plan.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "core/base/module_state.h"
#include "host/ads/adsent.h"
#include "host/ui/msgbox.h"
#include "stairs/stair_model.h"

namespace {

double Side(const StairLine& line, const Point3& p) {
    return (line.b.x - line.a.x) * (p.y - line.a.y) - (line.b.y - line.a.y) * (p.x - line.a.x);
}

Point3 Mid(const StairLine& l) {
    Point3 m;
    MidPoint(l.a, l.b, m);
    return m;
}

// Plan crossing of two segments.
std::optional<Point3> SegmentCrossing(const StairLine& l, const StairLine& m) {
    ads_point a1 = {l.a.x, l.a.y, 0}, a2 = {l.b.x, l.b.y, 0}, b1 = {m.a.x, m.a.y, 0}, b2 = {m.b.x, m.b.y, 0};
    ads_point r;
    if (Distance2d(l.a, l.b) < SharedTolerance || Distance2d(m.a, m.b) < SharedTolerance) return std::nullopt;
    if (zcdbInters(a1, a2, b1, b2, 1, r) != RTNORM) return std::nullopt;
    return Point3{r[0], r[1], 0.0};
}

// The part of the segment on the side of `cut` away from `away`, when the
// segment crosses the cut; none otherwise.
std::optional<StairLine> PartCrossing(const StairLine& segment, const StairLine& cut, const Point3& away) {
    auto x = SegmentCrossing(segment, cut);
    if (!x) return std::nullopt;
    const double ref = Side(cut, away);
    if (Side(cut, segment.a) * ref < 0.0) return StairLine{segment.a, *x};
    if (Side(cut, segment.b) * ref < 0.0) return StairLine{*x, segment.b};
    return StairLine{*x, *x};
}

// Where an infinite line crosses a side: the side element and the point on
// its line or arc, the crossing nearest to the line's midpoint.
struct ElementCrossing {
    const StairElement* element = nullptr;
    Point3 point;
};

std::optional<ElementCrossing> CrossSide(const StairLine& line, const StairElement* side) {
    const Point3 mid = Mid(line);
    std::optional<ElementCrossing> best;
    double bestDistance = std::numeric_limits<double>::max();
    auto consider = [&](const Point3& p, const StairElement* e) {
        const double d = Distance2d(p, mid);
        if (d < bestDistance) {
            bestDistance = d;
            best = ElementCrossing{e, p};
        }
    };
    for (const StairElement* e = side; e; e = e->next) {
        if (!e->isArc()) {
            Point3 x;
            if (IntersectLines(line, {e->endA, e->endB}, x) &&
                IsOnSegmentTol(x, e->endA, e->endB, SharedTolerance))
                consider(x, e);
            continue;
        }
        Point3 p1, p2;
        if (!IntersectLineCircle(line.a, line.b, e->pointA, e->radius(), p1, p2)) continue;
        const ArcRecord arc{e->pointA, e->radius(), e->startAngle(), e->endAngle(), {0, 0, 1}};
        for (const Point3& p : {p1, p2})
            if (IsPointOnArc(p, arc, false)) consider(p, e);
    }
    return best;
}

bool WalksCcw(const StairElement& e) {
    return PointsEqual(PolarPoint(e.pointA, e.startAngle(), e.radius()), e.endA, false);
}

// ---- pending balustrade pieces (SegmentRec: kind 4 line, -4 arc; for an
// arc spare 2 when the end angle lies at the far end, 1 the start angle) ----

bool IsArcSeg(const SegmentRec& s) {
    return s.kind <= 0;
}
Point3 SegCentre(const SegmentRec& s) {
    return {s.geom[0], s.geom[1], s.geom[2]};
}
double& SegStartAngleRef(SegmentRec& s) {
    return s.spare == 2 ? s.geom[4] : s.geom[5];
}
double& SegEndAngleRef(SegmentRec& s) {
    return s.spare == 2 ? s.geom[5] : s.geom[4];
}

void SetSegWalkStart(SegmentRec& s, const Point3& p) {
    if (!IsArcSeg(s)) {
        s.geom[0] = p.x;
        s.geom[1] = p.y;
        return;
    }
    SegStartAngleRef(s) = AngleTo(SegCentre(s), p);
}
void SetSegWalkEnd(SegmentRec& s, const Point3& p) {
    if (!IsArcSeg(s)) {
        s.geom[3] = p.x;
        s.geom[4] = p.y;
        return;
    }
    SegEndAngleRef(s) = AngleTo(SegCentre(s), p);
}

// Where the cut segment crosses a pending piece.
std::optional<Point3> CrossPending(SegmentRec& s, const StairLine& cut) {
    if (!IsArcSeg(s)) return SegmentCrossing({s.first(), s.second()}, cut);
    Point3 p1, p2;
    if (!IntersectLineCircle(cut.a, cut.b, SegCentre(s), s.geom[3], p1, p2)) return std::nullopt;
    const ArcRecord arc{SegCentre(s), s.geom[3], s.geom[4], s.geom[5], {0, 0, 1}};
    for (const Point3& p : {p1, p2})
        if (IsPointOnArc(p, arc, false) && IsOnSegmentTol(p, cut.a, cut.b, SharedTolerance)) return p;
    return std::nullopt;
}

}  // namespace

int StairCutStep(int n, double h, double H) {
    int k = 0;
    if (!(H > SharedTolerance)) {
        k = n - 2;
    } else {
        const double q = n * h / H;
        k = q > n ? n - 2 : (q < 0.0 ? 0 : static_cast<int>(q));
    }
    return k < 2 ? 2 : k;
}

void CSCALA::DrawStairPlanAtCut() {
    planBelow = FreeList(planBelow);
    planAbove = FreeList(planAbove);
    const int count = CountNodes(risers);
    if (count < 2) return;
    const int n = riserCount > 0 ? riserCount : count;
    const int k = StairCutStep(n, cutHeight, floorDistance);

    const StairElement* ref = risers;
    for (int i = 1; i < k && ref->next; ++i) ref = ref->next;
    const Point3 A = ref->pointA, B = ref->pointB;
    Point3 M;
    MidPoint(A, B, M);
    const double half = Distance2d(A, B) / 2.0;
    const double a = cutPlaneAngle;
    const double ab = AngleTo(A, B), ba = AngleTo(B, A);
    StairLine cut1{PolarPoint(M, ab + a, half), PolarPoint(M, ba + a, half)};
    const Point3 M2 = PolarPoint(M, ab + std::numbers::pi / 2.0, cutLineDistance);
    StairLine cut2{PolarPoint(M2, ab + a, half), PolarPoint(M2, ba + a, half)};
    for (StairLine* cut : {&cut1, &cut2}) {
        const StairLine line = *cut;
        if (auto left = CrossSide(line, firstSide)) cut->a = left->point;
        if (auto right = CrossSide(line, secondSide)) cut->b = right->point;
    }
    const Point3 c1[2] = {cut1.a, cut1.b};
    const Point3 c2[2] = {cut2.a, cut2.b};
    DrawStairPlan(k, belowRepresentation, c1, c2, 1);
    if (endFloorHeight - startFloorHeight > SharedTolerance) {
        const int type = aboveRepresentation == 0 ? 3 : aboveRepresentation;
        DrawStairPlan(k, type, c1, c2, 0);
    }
}

void CSCALA::DrawStairPlan(int k, int type, const Point3 cut1[2], const Point3 cut2[2], int below) {
    std::vector<const StairElement*> r;
    for (const StairElement* e = risers; e; e = e->next) r.push_back(e);
    const int n = static_cast<int>(r.size());
    if (n < 2) return;
    const double left = below ? balustradeStartLeft : balustradeJoinLeft;
    const double right = below ? balustradeStartRight : balustradeJoinRight;
    const StairLine c1{cut1[0], cut1[1]}, c2{cut2[0], cut2[1]};
    StairLine s1 = c1, s2 = c2;
    ShortenLineEnds(s1, left, right, cutPlaneAngle);
    ShortenLineEnds(s2, left, right, cutPlaneAngle);
    const Point3 m1 = Mid(c1), m2 = Mid(c2);

    auto add = [&](const StairLine& l, int kind) { AppendPlanSegment(below, l.a, l.b, kind); };
    auto whole = [&](int i) { return StairLine{r[i]->pointA, r[i]->pointB}; };
    auto shortened = [&](int i) {
        StairLine l = whole(i);
        ShortenLineEnds(l, left, right, 0.0);
        return l;
    };
    // Before the first cut line: risers before the cut step whole unless
    // crossing it, later ones only for their crossing part.
    auto drawBefore = [&](int i, const StairLine& l, int kind) {
        if (auto part = PartCrossing(l, s1, m2))
            add(*part, kind);
        else if (i + 1 < k)
            add(l, kind);
    };
    // Beyond the second cut line, the mirror.
    auto drawBeyond = [&](int i, const StairLine& l, int kind) {
        if (auto part = PartCrossing(l, s2, m1))
            add(*part, kind);
        else if (i + 1 > k)
            add(l, kind);
    };

    // Risers.
    switch (type) {
        case 0:
            add(c1, 4);
            add(whole(0), 4);
            for (int i = 1; i < n - 1; ++i) drawBefore(i, shortened(i), 1);
            add(whole(n - 1), 2);
            break;
        case 1:
            for (int i = 0; i < n; ++i)
                if (i == 0 || i == n - 1)
                    add(whole(i), 4);
                else
                    add(shortened(i), 1);
            break;
        case 2:
            add(c1, 4);
            add(c2, 4);
            for (int i = 0; i < n; ++i) {
                const bool end = i == 0 || i == n - 1;
                const StairLine l = end ? whole(i) : shortened(i);
                drawBefore(i, l, end ? 4 : 1);
                drawBeyond(i, l, end ? 4 : 1);
            }
            break;
        default:
            add(c2, 4);
            add(whole(n - 1), 4);
            for (int i = n - 2; i >= 1; --i) drawBeyond(i, shortened(i), 1);
            add(whole(0), 2);
            break;
    }

    // Sides.
    auto drawPiece = [&](const StairElement& e, const Point3& from, const Point3& to, int kind) {
        if (!e.isArc()) {
            add({from, to}, kind);
            return;
        }
        double sa = AngleTo(e.pointA, from), ea = AngleTo(e.pointA, to);
        if (!WalksCcw(e)) std::swap(sa, ea);
        AppendPlanSegment(below, e.pointA, {e.radius(), sa, ea}, -kind);
    };
    auto drawWhole = [&](const StairElement& e, int kind) {
        if (e.isArc())
            AppendPlanSegment(below, e.pointA, e.pointB, -kind);
        else
            add({e.endA, e.endB}, kind);
    };
    const double tol = SharedTolerance;
    for (int which = 0; which < 2; ++which) {
        const StairElement* side = which == 0 ? firstSide : secondSide;
        const double t = which == 0 ? left : right;
        const bool balustrade = t > 1000.0 * tol;
        pendingBalustrade = FreeList(pendingBalustrade);
        if (type == 1 || type == 2) {
            for (const StairElement* e = side; e; e = e->next) {
                drawWhole(*e, 4);
                if (balustrade) DrawPlanBalustrade(*e, t, which == 0);
            }
            if (type == 2 && balustrade) TrimBalustradeAtCut(&c1, &c2);
        } else {
            const StairLine& cut = type == 0 ? c1 : c2;
            auto crossing = CrossSide(cut, side);
            if (!crossing) {
                AfxMessageBox(kStairCutNotFoundMessage);
                continue;
            }
            const int firstKind = type == 0 ? 4 : 2, secondKind = type == 0 ? 2 : 4;
            bool before = true;
            for (const StairElement* e = side; e; e = e->next) {
                if (e == crossing->element) {
                    drawPiece(*e, e->endA, crossing->point, firstKind);
                    drawPiece(*e, crossing->point, e->endB, secondKind);
                    if (balustrade) DrawPlanBalustrade(*e, t, which == 0);
                    before = false;
                    continue;
                }
                drawWhole(*e, before ? firstKind : secondKind);
                if (balustrade && before == (type == 0)) DrawPlanBalustrade(*e, t, which == 0);
            }
            if (balustrade) TrimBalustradeAtCut(type == 0 ? &c1 : nullptr, type == 0 ? nullptr : &c2);
        }
        for (SegmentRec* p = pendingBalustrade; p; p = p->next)
            AppendPlanSegment(below, p->first(), p->second(), p->kind);
        pendingBalustrade = FreeList(pendingBalustrade);
    }

    // Walking line.
    std::vector<WalkElement> walk = BuildWalkingLine(risers);
    startMarkerPending = true;
    auto drawWalk = [&](const WalkElement& w) {
        if (startMarkerPending) DrawStartMarker(w, below);
        if (w.kind == 0)
            add({w.start, w.end}, 3);
        else
            AppendPlanSegment(below, w.centre, {w.radius, w.startAngle, w.endAngle}, -3);
    };
    auto arrowIfRunEnds = [&](std::size_t i, const WalkElement& drawn) {
        if (i + 1 == walk.size() || !IsElementStartAt(walk[i + 1], WalkEnd(drawn)))
            DrawWalkArrow(drawn, below);
    };
    // Trims a copy of the element at the cut: keep the part before (mode 2)
    // or after (mode 1) the crossing; none when the cut misses it.
    auto trimmed = [&](const WalkElement& w, const StairLine& cut, int mode) -> std::optional<WalkElement> {
        WalkElement copy = w;
        if (w.kind != 0) {
            if (!ClipArcAtLine(copy, cut, mode)) return std::nullopt;
            return copy;
        }
        auto x = SegmentCrossing({w.start, w.end}, cut);
        if (!x) return std::nullopt;
        (mode == 1 ? copy.start : copy.end) = *x;
        return copy;
    };
    enum { Before, Gap, After } phase = type == 3 ? Gap : (type == 1 ? After : Before);
    for (std::size_t i = 0; i < walk.size(); ++i) {
        const WalkElement& w = walk[i];
        if (phase == Before) {
            if (auto part = trimmed(w, c1, 2)) {
                drawWalk(*part);
                DrawWalkArrow(*part, below);
                if (type == 0) break;
                phase = Gap;
            } else {
                drawWalk(w);
                arrowIfRunEnds(i, w);
                continue;
            }
        }
        if (phase == Gap) {
            if (auto part = trimmed(w, c2, 1)) {
                drawWalk(*part);
                arrowIfRunEnds(i, *part);
                phase = After;
            }
            continue;
        }
        drawWalk(w);
        arrowIfRunEnds(i, w);
    }
}

void CSCALA::DrawPlanBalustrade(const StairElement& element, double thickness, bool leftSide) {
    auto* seg = new SegmentRec;
    if (!element.isArc()) {
        const double dir = AngleTo(element.endA, element.endB);
        const double off = leftSide ? dir - std::numbers::pi / 2.0 : dir + std::numbers::pi / 2.0;
        const Point3 p = PolarPoint(element.endA, off, thickness),
                     q = PolarPoint(element.endB, off, thickness);
        seg->kind = 4;
        seg->geom[0] = p.x, seg->geom[1] = p.y, seg->geom[3] = q.x, seg->geom[4] = q.y;
    } else {
        const bool ccw = WalksCcw(element);
        const double radial = AngleTo(element.pointA, element.endA);
        const double tangent = ccw ? radial + std::numbers::pi / 2.0 : radial - std::numbers::pi / 2.0;
        const double inward = leftSide ? tangent - std::numbers::pi / 2.0 : tangent + std::numbers::pi / 2.0;
        // Inside the stair lies toward the centre when the inward normal is the
        // radial direction reversed.
        const bool towardCentre = std::cos(inward - radial) < 0.0;
        const double r = element.radius() + (towardCentre ? -thickness : thickness);
        if (!(r > SharedTolerance)) {
            delete seg;
            return;
        }
        seg->kind = -4;
        seg->geom[0] = element.pointA.x, seg->geom[1] = element.pointA.y;
        seg->geom[3] = r, seg->geom[4] = element.startAngle(), seg->geom[5] = element.endAngle();
        seg->spare = ccw ? 2 : 1;
    }
    SegmentRec* last = pendingBalustrade;
    while (last && last->next) last = last->next;
    if (last) {
        const Point3 joint = element.endA;
        if (!IsArcSeg(*last) && !IsArcSeg(*seg)) {
            Point3 x;
            if (IntersectLines({last->first(), last->second()}, {seg->first(), seg->second()}, x)) {
                SetSegWalkEnd(*last, x);
                SetSegWalkStart(*seg, x);
            }
        } else if (IsArcSeg(*last) != IsArcSeg(*seg)) {
            SegmentRec& line = IsArcSeg(*last) ? *seg : *last;
            SegmentRec& arc = IsArcSeg(*last) ? *last : *seg;
            Point3 p1, p2;
            if (IntersectLineCircle(line.first(), line.second(), SegCentre(arc), arc.geom[3], p1, p2)) {
                const Point3 x = Distance2d(p1, joint) <= Distance2d(p2, joint) ? p1 : p2;
                SetSegWalkEnd(*last, x);
                SetSegWalkStart(*seg, x);
            }
        }
        last->next = seg;
    } else {
        pendingBalustrade = seg;
    }
}

void CSCALA::TrimBalustradeAtCut(const StairLine* cut1, const StairLine* cut2) {
    auto find = [](SegmentRec* from, const StairLine& cut, Point3& x) -> SegmentRec* {
        for (SegmentRec* s = from; s; s = s->next)
            if (auto p = CrossPending(*s, cut)) {
                x = *p;
                return s;
            }
        return nullptr;
    };
    Point3 x1, x2;
    if (cut1 && !cut2) {
        SegmentRec* s = find(pendingBalustrade, *cut1, x1);
        if (!s) return;
        SetSegWalkEnd(*s, x1);
        s->next = FreeList(s->next);  // beyond the cut
        return;
    }
    if (cut2 && !cut1) {
        SegmentRec* s = find(pendingBalustrade, *cut2, x2);
        if (!s) return;
        SetSegWalkStart(*s, x2);
        SegmentRec* before = pendingBalustrade;
        pendingBalustrade = s;
        while (before != s) {
            SegmentRec* next = before->next;
            delete before;
            before = next;
        }
        return;
    }
    if (!cut1 || !cut2) return;
    SegmentRec* s1 = find(pendingBalustrade, *cut1, x1);
    if (!s1) return;
    SegmentRec* s2 = find(s1, *cut2, x2);
    if (!s2) return;
    if (s1 == s2) {
        auto* copy = new SegmentRec(*s1);
        SetSegWalkEnd(*copy, x1);
        if (SegmentRec* prev = FindPredecessor(pendingBalustrade, s1); prev && prev->next == s1)
            prev->next = copy;
        else
            pendingBalustrade = copy;
        copy->next = s1;
        SetSegWalkStart(*s1, x2);
        return;
    }
    SetSegWalkEnd(*s1, x1);
    SetSegWalkStart(*s2, x2);
    for (SegmentRec* s = s1->next; s != s2;) {
        SegmentRec* next = s->next;
        delete s;
        s = next;
    }
    s1->next = s2;
}

void CSCALA::DrawWalkArrow(const WalkElement& w, int below) {
    startMarkerPending = true;
    const double s = arrowSideLength;
    Point3 tip, b1, b2;
    if (w.kind == 0) {
        if (Distance2d(w.start, w.end) < SharedTolerance) return;
        tip = w.end;
        const Point3 p = PolarPoint(w.end, AngleTo(w.end, w.start), s);
        const double dir = AngleTo(w.start, w.end);
        b1 = PolarPoint(p, dir + std::numbers::pi / 2.0, s);
        b2 = PolarPoint(p, dir - std::numbers::pi / 2.0, s);
    } else {
        if (AngleDiffCcw(w.startAngle, w.endAngle) < SharedTolerance) return;
        // No head on an arc too tight for it.
        if (w.radius < 0.5 * s || w.radius <= 0.0) return;
        const double d = 2.0 * std::asin(0.5 * s / w.radius);
        const double at = w.kind == 1 ? w.endAngle : w.startAngle;
        const double back = w.kind == 1 ? at - d : at + d;
        tip = PolarPoint(w.centre, at, w.radius);
        b1 = PolarPoint(w.centre, back, w.radius + s);
        b2 = PolarPoint(w.centre, back, w.radius - s);
    }
    AppendPlanSegment(below, tip, b1, 3);
    AppendPlanSegment(below, tip, b2, 3);
    AppendPlanSegment(below, b1, b2, 3);
}

void CSCALA::DrawStartMarker(const WalkElement& w, int below) {
    startMarkerPending = false;
    const double m = startMarkerSize;
    const Point3 s = WalkStart(w);
    if (w.kind == 0 ? Distance2d(w.start, w.end) < SharedTolerance
                    : AngleDiffCcw(w.startAngle, w.endAngle) < SharedTolerance)
        return;
    if (startMarker == 2) {
        AppendPlanSegment(below, s, {m, 0.0, 0.0}, 13);
        return;
    }
    if (startMarker != 1) return;
    if (w.kind == 0) {
        const double dir = AngleTo(w.start, w.end);
        for (double side : {std::numbers::pi / 2.0, -std::numbers::pi / 2.0}) {
            const Point3 p = PolarPoint(s, dir + side, 0.3 * m);
            AppendPlanSegment(below, p, PolarPoint(p, dir, m), 3);
        }
        return;
    }
    // Along the walking direction: the tangent at the start, forward.
    const double radial = AngleTo(w.centre, s);
    const double dir = w.kind == 1 ? radial + std::numbers::pi / 2.0 : radial - std::numbers::pi / 2.0;
    for (double r : {w.radius + 0.3 * m, w.radius - 0.3 * m}) {
        const Point3 p = PolarPoint(w.centre, radial, r);
        AppendPlanSegment(below, p, PolarPoint(p, dir, m), 3);
    }
}

// ---- the walking line ----

Point3 WalkStart(const WalkElement& w) {
    if (w.kind == 0) return w.start;
    return PolarPoint(w.centre, w.kind == 1 ? w.startAngle : w.endAngle, w.radius);
}

Point3 WalkEnd(const WalkElement& w) {
    if (w.kind == 0) return w.end;
    return PolarPoint(w.centre, w.kind == 1 ? w.endAngle : w.startAngle, w.radius);
}

bool IsElementStartAt(const WalkElement& element, const Point3& p) {
    return PointsEqual(WalkStart(element), p, false);
}

std::optional<Point3> ClipArcAtLine(WalkElement& arc, const StairLine& line, int mode) {
    Point3 p1, p2;
    if (!IntersectLineCircle(line.a, line.b, arc.centre, arc.radius, p1, p2)) return std::nullopt;
    const ArcRecord rec{arc.centre, arc.radius, arc.startAngle, arc.endAngle, {0, 0, 1}};
    for (const Point3& p : {p1, p2}) {
        if (!IsPointOnArc(p, rec, false) || !IsOnSegmentTol(p, line.a, line.b, SharedTolerance)) continue;
        const double angle = AngleTo(arc.centre, p);
        // Mode 1 keeps the part from the crossing on, mode 2 the part up to it,
        // in walking order.
        const bool setStartAngle = (mode == 1) == (arc.kind == 1);
        (setStartAngle ? arc.startAngle : arc.endAngle) = angle;
        return p;
    }
    return std::nullopt;
}

std::vector<WalkElement> BuildWalkingLine(const StairElement* risers) {
    std::vector<WalkElement> out;
    bool open = false;
    Point3 current;
    for (const StairElement* r = risers; r && r->next; r = r->next) {
        const StairElement* s = r->next;
        Point3 mi, mj, foot;
        MidPoint(r->pointA, r->pointB, mi);
        MidPoint(s->pointA, s->pointB, mj);
        if (!open) current = mi;
        PerpendicularFoot(mj, r->pointA, r->pointB, foot);
        if (!IsOnSegmentTol(foot, r->pointA, r->pointB, SharedTolerance) ||
            Distance2d(mi, mj) > Distance2d(r->pointA, r->pointB)) {
            open = false;
            continue;
        }
        const double t = AngleBetweenLines(r->pointA, r->pointB, s->pointA, s->pointB);
        const double c = std::fabs(1.0 - std::cos(t));
        if (c > 0.8) {
            open = false;
            continue;
        }
        WalkElement* last = open && !out.empty() ? &out.back() : nullptr;
        if (c < 0.02) {
            if (last && last->kind == 0 && PointsEqual(last->end, mi, false) &&
                ArePointsCollinear(last->start, mi, mj, SharedTolerance))
                last->end = mj;
            else
                out.push_back({0, mi, mj, {}, 0.0, 0.0, 0.0});
            open = true;
            current = mj;
            continue;
        }
        Point3 centre;
        if (!IntersectLines({r->pointA, r->pointB}, {s->pointA, s->pointB}, centre)) {
            open = false;
            continue;
        }
        centre.z = mi.z;
        WalkElement arc;
        arc.kind = t > std::numbers::pi ? 2 : 1;
        arc.centre = centre;
        arc.radius = Distance2d(centre, current);
        arc.startAngle = AngleTo(centre, current);
        arc.endAngle = AngleTo(centre, mj);
        const double endAngle = arc.endAngle;
        if (arc.kind == 2) std::swap(arc.startAngle, arc.endAngle);
        if (last && last->kind != 0 && PointsEqual(last->centre, centre, true)) {
            if (SameAngle(last->endAngle, arc.startAngle))
                last->endAngle = arc.endAngle;
            else if (SameAngle(last->startAngle, arc.endAngle))
                last->startAngle = arc.startAngle;
            else {
                open = false;
                continue;
            }
        } else if (last && last->kind == arc.kind) {
            open = false;
            continue;
        } else {
            out.push_back(arc);
        }
        open = true;
        current = PolarPoint(centre, endAngle, arc.radius);
    }
    return out;
}
