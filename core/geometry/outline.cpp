// Outline builders.
//
// The joiner keeps the chain's two free ends and scans the pieces from the
// first: a piece that starts or ends at either free end joins there (tail
// before head, start before end), is marked used, and the scan starts again;
// the chain is closed when the piece's far end meets the other free end.
// Arcs join as their tessellation (flag 101 on their vertices, and on the
// vertex before an arc appended at the tail). Quadratic in the number of
// pieces, which is the number of sides of one outline.
#include "core/geometry/outline.h"

#include <cmath>
#include <utility>

#include "core/base/module_state.h"
#include "core/geometry/polygon.h"

const char* const kArcTooCoarseMessage = "\nPrzybliżenie zakrzywionej ściany jest zbyt duże";
const char* const kOutlineNotClosedMessage =
    "\nNie można zdefiniować wielokąta, ponieważ kontur nie jest zamknięty";

SegmentRec::SegmentRec(const double* six, const double* normalOrNull, int kindValue, SegmentRec* link)
    : next(link), kind(kindValue) {
    for (int i = 0; i < 6; ++i) geom[i] = six[i];
    if (normalOrNull)
        for (int i = 0; i < 3; ++i) normal[i] = normalOrNull[i];
}

namespace {

struct ArcPiece {
    Point3 centre;  // world
    double radius = 0.0;
    Point3 normal;
    Point3 start, end;  // world
};

ArcPiece ArcFromBulge(const PolylineData& pl, const PolylineVertex& a, const PolylineVertex& b);
void Push(VertexNode*& head, VertexNode* node);
VertexNode* Tail(VertexNode* list);
void AppendList(VertexNode*& list, VertexNode* more);
VertexNode* DropFirst(VertexNode* list);
VertexNode* DropLast(VertexNode* list);
void AppendCopy(SegmentRec** output, const SegmentRec& rec, bool reversed);

}  // namespace

SegmentRec* PolylineToSegments(const PolylineData& pl, const Point3& pick) {
    const size_t count = pl.vertices.size();
    SegmentRec* picked = nullptr;
    SegmentRec* rest = nullptr;
    for (size_t i = 0; i < count; ++i) {
        if (i + 1 == count && !pl.closed) break;  // an open polyline's last vertex starts nothing
        const PolylineVertex& a = pl.vertices[i];
        const PolylineVertex& b = pl.vertices[(i + 1) % count];
        if (a.x == b.x && a.y == b.y) continue;  // a zero-length piece
        if (a.bulge == 0.0) {
            const Point3 s = OcsToWorld({a.x, a.y, pl.elevation}, pl.normal);
            const Point3 e = OcsToWorld({b.x, b.y, pl.elevation}, pl.normal);
            const double six[6] = {s.x, s.y, s.z, e.x, e.y, e.z};
            if (!picked && IsPointOnSegment(pick, s, e))
                picked = new SegmentRec(six, nullptr, SegmentRec::kLine, nullptr);
            else
                rest = new SegmentRec(six, nullptr, SegmentRec::kLine, rest);
            continue;
        }
        ArcPiece arc = ArcFromBulge(pl, a, b);
        if (arc.normal.z < 0.0) {
            arc.normal = {-arc.normal.x, -arc.normal.y, -arc.normal.z};
            std::swap(arc.start, arc.end);
        }
        const Point3 c = WorldToOcs(arc.centre, arc.normal);
        const double startAngle = AngleTo(c, WorldToOcs(arc.start, arc.normal));
        const double endAngle = AngleTo(c, WorldToOcs(arc.end, arc.normal));
        const double six[6] = {arc.centre.x, arc.centre.y, arc.centre.z, arc.radius, startAngle, endAngle};
        const double normal[3] = {arc.normal.x, arc.normal.y, arc.normal.z};
        ArcRecord rec;
        rec.centre = arc.centre;
        rec.radius = arc.radius;
        rec.startAngle = startAngle;
        rec.endAngle = endAngle;
        if (!picked && IsPointOnArc(pick, rec, true))
            picked = new SegmentRec(six, normal, SegmentRec::kArc, nullptr);
        else
            rest = new SegmentRec(six, normal, SegmentRec::kArc, rest);
    }
    if (!picked) return rest;
    picked->next = rest;
    return picked;
}

VertexNode* BuildPolygonFromSegments(int n, SegmentRec* segments, Point3& P1, Point3& P2,
                                     VertexNode* vertices, int minimum, bool openAllowed, double step,
                                     SegmentRec** output, double defaultStep, OutlineReport* report) {
    double chordStep = step < 0.0 ? defaultStep : step;
    VertexNode* list = vertices;
    bool closed = false;
    bool stopped = false;
    auto eq = [](const Point3& p, const Point3& q) { return PointsEqual(p, q, true); };
    auto vertex = [](const Point3& p, int flag) { return NewVertex(p.x, p.y, p.z, flag, 0, 0, 0); };

    for (SegmentRec* rec = segments; rec && !closed && !stopped;) {
        if (rec->kind == SegmentRec::kUsed) {
            rec = rec->next;
            continue;
        }
        bool joined = false, reversed = false;
        if (rec->kind == SegmentRec::kLine) {
            const Point3 s = rec->first(), e = rec->second();
            if (eq(s, P2)) {
                AppendList(list, vertex(e, 1));
                if (eq(e, P1))
                    closed = true;
                else
                    P2 = e;
                joined = true;
            } else if (eq(e, P2)) {
                AppendList(list, vertex(s, 1));
                if (eq(s, P1))
                    closed = true;
                else
                    P2 = s;
                joined = reversed = true;
            } else if (eq(s, P1)) {
                Push(list, vertex(e, 1));
                if (eq(e, P2))
                    closed = true;
                else
                    P1 = e;
                joined = reversed = true;
            } else if (eq(e, P1)) {
                Push(list, vertex(s, 1));
                if (eq(s, P2))
                    closed = true;
                else
                    P1 = s;
                joined = true;
            }
        } else if (rec->kind == SegmentRec::kArc) {
            const Point3 centre = rec->first(), normal = rec->normalPt();
            const double radius = rec->geom[3], start = rec->geom[4], end = rec->geom[5];
            const Point3 cOcs = WorldToOcs(centre, normal);
            const Point3 S = OcsToWorld(PolarPoint(cOcs, start, radius), normal);
            const Point3 E = OcsToWorld(PolarPoint(cOcs, end, radius), normal);
            bool fromStart = false;
            if (n >= 2) {
                const double sweep = AngleDiffCcw(start, end);
                chordStep = Distance3dRev(PolarPoint(centre, start, radius),
                                          PolarPoint(centre, start + sweep / n, radius));
                fromStart = true;
            }
            VertexNode* V = ArcToVertices(chordStep, centre, radius, start, end, nullptr, fromStart, &normal);
            if (!V) {
                if (report) report->arcTooCoarse = true;
                stopped = true;
                break;
            }
            for (VertexNode* v = V; v; v = v->next) v->edgeFlag = 101;
            if (eq(S, P1)) {
                for (VertexNode* v = DropFirst(V); v;) {
                    VertexNode* following = v->next;
                    Push(list, v);
                    v = following;
                }
                if (eq(E, P2))
                    closed = true;
                else
                    P1 = E;
                joined = reversed = true;
            } else if (eq(E, P1)) {
                V = DropLast(V);
                AppendList(V, list);
                list = V;
                if (eq(S, P2))
                    closed = true;
                else
                    P1 = S;
                joined = true;
            } else if (eq(S, P2)) {
                if (VertexNode* t = Tail(list)) t->edgeFlag = 101;
                AppendList(list, DropFirst(V));
                if (eq(E, P1))
                    closed = true;
                else
                    P2 = E;
                joined = true;
            } else if (eq(E, P2)) {
                V = ReverseList(V);
                if (VertexNode* t = Tail(list)) t->edgeFlag = 101;
                AppendList(list, DropFirst(V));
                if (eq(S, P1))
                    closed = true;
                else
                    P2 = S;
                joined = reversed = true;
            } else {
                FreeList(V);
            }
        }
        if (!joined) {
            rec = rec->next;
            continue;
        }
        AppendCopy(output, *rec, reversed);
        rec->kind = SegmentRec::kUsed;
        rec = segments;
    }

    if (!closed && !openAllowed) {
        FreeList(list);
        if (report) report->notClosed = true;
        return nullptr;
    }
    if (closed && !openAllowed) {
        list = DropLast(list);
        list = RemoveDuplicateVertices(list);
    }
    if (CountNodes(list) < minimum) {
        FreeList(list);
        if (report) report->notClosed = true;
        return nullptr;
    }
    return list;
}

VertexNode* PolylineToPolygon(const PolylineData& polyline, const Point3& pick, int n, double defaultStep,
                              OutlineReport* report) {
    double step = defaultStep;
    SegmentRec* segments = PolylineToSegments(polyline, pick);
    if (!segments) return nullptr;
    Point3 P1, P2;
    VertexNode* V = nullptr;
    if (segments->kind == SegmentRec::kArc) {
        const Point3 centre = segments->first();
        const double radius = segments->geom[3], start = segments->geom[4], end = segments->geom[5];
        P1 = PolarPoint(centre, start, radius);
        P2 = PolarPoint(centre, end, radius);
        if (n >= 2) {
            const double sweep = AngleDiffCcw(start, end);
            step = Distance3dRev(PolarPoint(centre, start, radius),
                                 PolarPoint(centre, start + sweep / n, radius));
        }
        V = ArcToVertices(step, centre, radius, start, end, nullptr, false);
        if (!V) {
            if (report) report->arcTooCoarse = true;
            FreeList(segments);
            return nullptr;
        }
        for (VertexNode* v = V; v; v = v->next) v->edgeFlag = 101;
    } else {
        P1 = segments->first();
        P2 = segments->second();
        AppendVertex(&V, P1, 1, 0, 0);
        AppendVertex(&V, P2, 1, 0, 0);
    }
    VertexNode* list =
        BuildPolygonFromSegments(n, segments->next, P1, P2, V, 2, true, -1.0, nullptr, defaultStep, report);
    FreeList(segments);
    return RemoveVerticesOnEdges(RemoveDuplicateVertices(list), 1);
}

namespace {

// The arc between two polyline vertices, as the host reports an arc piece:
// a clockwise bulge comes with the normal turned over.
ArcPiece ArcFromBulge(const PolylineData& pl, const PolylineVertex& a, const PolylineVertex& b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double chord = std::hypot(dx, dy);
    const double bulge = a.bulge;
    const double h = chord / 2.0 * (1.0 - bulge * bulge) / (2.0 * bulge);
    const Point3 mid{(a.x + b.x) / 2.0, (a.y + b.y) / 2.0, pl.elevation};
    const Point3 centreOcs{mid.x - dy / chord * h, mid.y + dx / chord * h, pl.elevation};
    ArcPiece arc;
    arc.radius = std::fabs(chord / 2.0 * (1.0 + bulge * bulge) / (2.0 * bulge));
    arc.centre = OcsToWorld(centreOcs, pl.normal);
    arc.start = OcsToWorld({a.x, a.y, pl.elevation}, pl.normal);
    arc.end = OcsToWorld({b.x, b.y, pl.elevation}, pl.normal);
    arc.normal = bulge > 0 ? pl.normal : Point3{-pl.normal.x, -pl.normal.y, -pl.normal.z};
    return arc;
}

void Push(VertexNode*& head, VertexNode* node) {
    node->next = head;
    head = node;
}

VertexNode* Tail(VertexNode* list) {
    while (list && list->next) list = list->next;
    return list;
}

void AppendList(VertexNode*& list, VertexNode* more) {
    if (!list) {
        list = more;
        return;
    }
    Tail(list)->next = more;
}

VertexNode* DropFirst(VertexNode* list) {
    VertexNode* rest = list->next;
    delete list;
    return rest;
}

VertexNode* DropLast(VertexNode* list) {
    if (!list->next) {
        delete list;
        return nullptr;
    }
    VertexNode* v = list;
    while (v->next->next) v = v->next;
    delete v->next;
    v->next = nullptr;
    return list;
}

void AppendCopy(SegmentRec** output, const SegmentRec& rec, bool reversed) {
    if (!output) return;
    SegmentRec* copy;
    if (rec.kind == SegmentRec::kLine) {
        double six[6];
        for (int i = 0; i < 6; ++i) six[i] = rec.geom[reversed ? (i + 3) % 6 : i];
        copy = new SegmentRec(six, nullptr, SegmentRec::kLine, nullptr);
    } else {
        copy = new SegmentRec(rec.geom, rec.normal, reversed ? SegmentRec::kReversedArc : SegmentRec::kArc,
                              nullptr);
    }
    SegmentRec** at = output;
    while (*at) at = &(*at)->next;
    *at = copy;
}

}  // namespace
