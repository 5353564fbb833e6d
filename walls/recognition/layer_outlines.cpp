// Build-up layer outlines: a wall pair cut into one strip per layer of its
// wall type's build-up (at the set's print scale), each strip cut into
// pieces between the wall's ends and the jambs of its openings.

#include <cmath>
#include <numbers>
#include <vector>

#include "core/base/module_state.h"
#include "host/ads/cmdline.h"
#include "host/ads/transcript.h"
#include "host/util/nocase.h"
#include "walls/recognition/defmuri.h"
#include "walls/recognition/layer_thickness.h"

namespace {

constexpr int kCornerObject = 18;
constexpr int kOpening = 11;

VertexNode* LastNode(VertexNode* list) {
    while (list && list->next) list = list->next;
    return list;
}

bool OnSegment(const Point3& p, const WallSegment& s) {
    return IsPointOnSegment(p, s.start, s.end);
}

// A copy of the polyline at height z, numbered, reversed when asked.
VertexNode* CutFrom(const VertexNode* polyline, double z, std::int32_t number, bool reverse) {
    VertexNode* head = nullptr;
    for (const VertexNode* v = polyline; v; v = v->next) {
        VertexNode* n = NewVertex(v->x, v->y, z, 0, number, 0, 0);
        if (reverse) {
            n->next = head;
            head = n;
        } else {
            VertexNode** tail = &head;
            while (*tail) tail = &(*tail)->next;
            *tail = n;
        }
    }
    return head;
}

VertexNode* StraightCut(const Point3& a, const Point3& b, double z, std::int32_t number) {
    VertexNode* head = NewVertex(a.x, a.y, z, 0, number, 0, 0);
    head->next = NewVertex(b.x, b.y, z, 0, number, 0, 0);
    return head;
}

// The object at a wall end: the faces are shortened to its jambs and the
// cut at that end follows one of them.
void CornerObject(const OutlineNode& o, WallSegment& A, WallSegment& B, WallCut* startCut, WallCut* endCut,
                  double z, std::int32_t number) {
    if (!o.jamb1 || !o.jamb2) return;
    const Point3 j1First = o.jamb1->pt(), j1Last = LastNode(o.jamb1)->pt();
    const Point3 j2First = o.jamb2->pt();
    WallSegment* x = nullptr;
    WallSegment* y = nullptr;
    Point3 xTarget, yTarget;
    const VertexNode* polyline = nullptr;
    if (OnSegment(j1First, A) || OnSegment(j1First, B)) {
        x = OnSegment(j1First, A) ? &A : &B;
        xTarget = j1First;
        yTarget = LastNode(o.jamb2)->pt();
        polyline = o.jamb1;
    } else if (OnSegment(j1Last, A) || OnSegment(j1Last, B)) {
        x = OnSegment(j1Last, A) ? &A : &B;
        xTarget = j1Last;
        yTarget = o.corner[1];
        polyline = o.jamb2;
    } else {
        return;
    }
    y = x == &A ? &B : &A;
    const bool atStart = Distance2d(j2First, x->start) < Distance2d(xTarget, x->start);
    (atStart ? x->start : x->end) = xTarget;
    if (Distance2d(o.corner[0], y->start) < Distance2d(yTarget, y->start))
        y->start = yTarget;
    else
        y->end = yTarget;
    WallCut* cut = atStart ? startCut : endCut;
    cut->points = FreeList(cut->points);
    cut->points = CutFrom(polyline, z, number, !OnSegment(polyline->pt(), A));
    cut->number = number;
}

// Inserts the cut before the first cut whose first vertex lies farther from
// `from` than its own.
void InsertAlong(WallCut*& list, WallCut* cut, const Point3& from) {
    const double d = Distance2d(from, cut->points->pt());
    WallCut** p = &list;
    while (*p && (!(*p)->points || Distance2d(from, (*p)->points->pt()) <= d)) p = &(*p)->next;
    cut->next = *p;
    *p = cut;
}

// Where the segment p-q meets the infinite line l1-l2, in plan.
bool EdgeMeetsLine(const Point3& p, const Point3& q, const Point3& l1, const Point3& l2, Point3& out) {
    const double dx = q.x - p.x, dy = q.y - p.y;
    const double lx = l2.x - l1.x, ly = l2.y - l1.y;
    const double den = dx * ly - dy * lx;
    if (std::fabs(den) < 1e-12) return false;
    const double t = ((l1.x - p.x) * ly - (l1.y - p.y) * lx) / den;
    const double len = std::hypot(dx, dy);
    const double slack = len > 0.0 ? SharedTolerance / len : 0.0;
    if (t < -slack || t > 1.0 + slack) return false;
    out = {p.x + t * dx, p.y + t * dy, p.z};
    return true;
}

// The part of a cut between the two boundary lines, from L1 to L2.
std::vector<Point3> PartBetween(const WallCut& cut, const Point3 L1[2], const Point3 L2[2]) {
    std::vector<Point3> part;
    bool collecting = false;
    for (const VertexNode* v = cut.points; v && v->next; v = v->next) {
        const Point3 p = v->pt(), q = v->next->pt();
        Point3 x;
        if (!collecting) {
            if (!EdgeMeetsLine(p, q, L1[0], L1[1], x)) continue;
            part.push_back(x);
            collecting = true;
        }
        if (EdgeMeetsLine(p, q, L2[0], L2[1], x)) {
            if (part.empty() || !PointsEqual(part.back(), x, false) || part.size() == 1) part.push_back(x);
            return part;
        }
        if (!PointsEqual(part.back(), q, false)) part.push_back(q);
    }
    return part;
}

}  // namespace

WallCut* DEFMURI::BuildWallCuts(WallPair* pair, double z) {
    if (!pair || !pair->a || !pair->b) return nullptr;
    WallSegment& A = *pair->a;
    WallSegment& B = *pair->b;
    auto* startCut = new WallCut;
    auto* endCut = new WallCut;
    startCut->next = endCut;
    std::int32_t counter = -2;
    if (A.faces)
        for (const OutlineLink* l = A.faces->outlineLinks; l; l = l->next)
            if (l->outline && l->outline->kind == kCornerObject)
                CornerObject(*l->outline, A, B, startCut, endCut, z, counter++);
    if (!startCut->points) {
        startCut->points = StraightCut(A.start, B.start, z, counter);
        startCut->number = counter;
    }
    if (!endCut->points) {
        endCut->points = StraightCut(A.end, B.end, z, counter + 1);
        endCut->number = counter + 1;
    }

    WallCut* cuts = startCut;
    counter = 1;
    std::vector<const OutlineNode*> seen;
    for (const WallFace* f = A.faces; f; f = f->next)
        for (const OutlineLink* l = f->outlineLinks; l; l = l->next) {
            const OutlineNode* o = l->outline;
            if (!o || o->kind != kOpening || !o->jamb1 || !o->jamb2) continue;
            // An opening between two merged faces is linked to both.
            bool again = false;
            for (const OutlineNode* s : seen) again |= s == o;
            if (again) continue;
            const bool straight = OnSegment(o->gapA[0], A) && OnSegment(o->gapA[1], A) &&
                                  OnSegment(o->gapB[0], B) && OnSegment(o->gapB[1], B);
            const bool crossed = OnSegment(o->gapA[0], B) && OnSegment(o->gapA[1], B) &&
                                 OnSegment(o->gapB[0], A) && OnSegment(o->gapB[1], A);
            if (!straight && !crossed) continue;
            seen.push_back(o);
            for (const VertexNode* jamb : {o->jamb1, o->jamb2}) {
                auto* cut = new WallCut;
                cut->points = CutFrom(jamb, z, counter, !OnSegment(jamb->pt(), A));
                cut->number = counter;
                InsertAlong(cuts, cut, A.start);
            }
            ++counter;
        }
    return cuts;
}

LayerRecord* DEFMURI::BuildLayerOutlines(WallPair* pair) {
    if (!pair || !pair->a || !pair->b) return nullptr;
    WallSegment& A = *pair->a;
    WallSegment& B = *pair->b;
    auto type = wallTypes.FindByName(A.typeName);
    if (type == wallTypes.end()) {
        zcutPrintf("\nNie znaleziono definicji ściany: %s", A.typeName.c_str());
        return nullptr;
    }
    CListScale::iterator buildUp;
    if (!type->scales || (buildUp = type->scales->FindByNumber(printScale)) == type->scales->end() ||
        !buildUp->layers) {
        if (!zcutEqualsNoCase(A.typeName, kDefaultWallTypeName))
            zcutPrintf("\nNie znaleziono współczynnika skali: %d dla ściany:%s", printScale,
                       A.typeName.c_str());
        return nullptr;
    }
    CListStrati* layers = buildUp->layers.get();
    if ((A.end.x - A.start.x) * (B.end.x - B.start.x) + (A.end.y - A.start.y) * (B.end.y - B.start.y) < 0.0)
        SwapPoints(B.start, B.end);
    WallCut* cuts = BuildWallCuts(pair, level);
    if (!cuts) return nullptr;

    double delta = AngleBetweenLines(A.start, A.end, B.start, B.end);
    if (delta > std::numbers::pi / 2.0) delta -= TwoPi();
    const double theta = AngleTo(A.start, A.end) + delta / 2.0;
    Point3 q0, q1;
    if (!IntersectSegments(A.start, PolarPoint(A.start, theta + std::numbers::pi / 2.0, 100.0), B.start,
                           B.end, false, q0) ||
        !IntersectSegments(A.end, PolarPoint(A.end, theta + std::numbers::pi / 2.0, 100.0), B.start, B.end,
                           false, q1)) {
        FreeList(cuts);
        return nullptr;
    }
    const double t0 = Distance2d(A.start, q0), t1 = Distance2d(A.end, q1);
    const double phi = AngleTo(A.start, q0);

    Point3 L1[2] = {A.start, A.end};
    LayerRecord* last = nullptr;
    const std::size_t n = layers->size();
    std::size_t i = 0;
    bool firstMade = false;
    for (const CStrato& layer : *layers) {
        const bool lastLayer = ++i == n;
        Point3 L2[2] = {B.start, B.end};
        if (!lastLayer) {
            int pos = 0;
            const double off0 = EvalLayerThickness(this, false, 0, &pos, layer.thickness, layers, t0);
            bool failed = exprError;
            pos = 0;
            const double off1 = EvalLayerThickness(this, false, 0, &pos, layer.thickness, layers, t1);
            failed |= exprError;
            if (failed) {
                zcutPrintf("%s", "\nBłąd w wyrażeniu grubości warstwowości");
                continue;
            }
            L2[0] = PolarPoint(L1[0], phi, off0);
            L2[1] = PolarPoint(L1[1], phi, off1);
        }
        auto* record = new LayerRecord;
        record->layerName = layer.layer;
        record->hatchPattern = layer.pattern;
        if (!record->hatchPattern.empty() && record->hatchPattern.front() == '-') {
            record->hatchPattern.erase(0, 1);
            record->hatchAngle = theta;
        }
        record->hatchScale = unitFactor * layer.patternScale;
        record->previous = last;
        last = record;
        const int innerFlag = firstMade ? 1 : 0;
        firstMade = true;

        PieceNode** tail = &record->pieces;
        for (WallCut* c = cuts; c && c->next; c = c->next) {
            WallCut* next = c->next;
            if (c->number == next->number) continue;
            std::vector<Point3> from = PartBetween(*c, L1, L2);
            std::vector<Point3> to = PartBetween(*next, L1, L2);
            VertexNode* ring = nullptr;
            for (auto p = from.rbegin(); p != from.rend(); ++p)
                AppendVertex(&ring, {p->x, p->y, level}, 0, 0, 0);
            if (!from.empty()) LastNode(ring)->edgeFlag = innerFlag;
            for (const Point3& p : to) AppendVertex(&ring, {p.x, p.y, level}, 0, 0, 0);
            if (!ring) continue;
            *tail = new PieceNode(ring);
            tail = &(*tail)->next;
        }
        L1[0] = L2[0];
        L1[1] = L2[1];
    }
    FreeList(cuts);
    return last;
}
