// Chaining line pieces into rings.
//
// A ring grows backwards from the end point of its first piece: each piece
// that starts (or, reversed, ends) at the newest vertex adds its other end
// in front, and the walk starts over after every addition until the first
// piece's start is reached. That is quadratic in the pieces of one region,
// which are few. With several rings, they are laid into the plane of the
// first, the one that holds the others is found, and the others are bridged
// into it as holes.
#include "visual/views/ring_chaining.h"

#include "core/geometry/matrix4.h"
#include "core/geometry/polygon.h"

namespace {

SegmentRec* NextLine(SegmentRec* from) {
    while (from && from->kind != 0) from = from->next;
    return from;
}

void SwapEnds(SegmentRec* s) {
    for (int k = 0; k < 3; ++k) std::swap(s->geom[k], s->geom[k + 3]);
}

// The closed ring started by `start`, or null when it does not close.
VertexNode* ChainOneRing(SegmentRec* start) {
    start->kind = 1;
    const Point3 first = start->first();
    VertexNode* head = NewVertex(start->geom[3], start->geom[4], start->geom[5], 0, 0, 0, 0);
    for (SegmentRec* s = NextLine(start->next); s;) {
        if (PointsEqual(s->second(), head->pt(), true)) SwapEnds(s);
        if (!PointsEqual(s->first(), head->pt(), true)) {
            s = NextLine(s->next);
            continue;
        }
        VertexNode* v = NewVertex(s->geom[3], s->geom[4], s->geom[5], 0, 0, 0, 0);
        v->next = head;
        head = v;
        s->kind = 1;
        if (PointsEqual(first, head->pt(), true)) return head;
        s = NextLine(start->next);
    }
    FreeList(head);
    return nullptr;
}

// The rings laid into one plane, the outer one first, holes bridged in.
VertexNode* BridgeRings(ContourNode* rings) {
    double a, b, c, d;
    if (!PolygonNormal(rings->vertices, a, b, c, d)) return nullptr;
    Matrix4 toWorld, toPlane;
    CoordSystemFromNormal(rings->vertices->next, toWorld, a, b, c);
    if (!InvertMatrix4(toWorld, toPlane)) return nullptr;
    for (ContourNode* k = rings; k; k = k->next) {
        for (VertexNode* v = k->vertices; v; v = v->next) {
            Point3 p;
            TransformPoint(toPlane, v->pt(), p);
            v->setPt(p);
        }
        k->vertices = NormalizePolygon(1, k->vertices, nullptr);
    }
    // The outer ring holds the first vertex of its neighbour in the list.
    ContourNode* outer = nullptr;
    for (ContourNode* k = rings; k && k->next && !outer; k = k->next) {
        if (PointInPolygon(k->vertices->pt(), k->next->vertices, kEdgesOutside) == kInsidePolygon)
            outer = k->next;
        else if (PointInPolygon(k->next->vertices->pt(), k->vertices, kEdgesOutside) == kInsidePolygon)
            outer = k;
    }
    if (!outer) {
        outer = rings;
        while (outer->next) outer = outer->next;
    }
    if (outer != rings) {
        ContourNode* before = rings;
        while (before->next != outer) before = before->next;
        before->next = outer->next;
        outer->next = rings;
        rings = outer;
    }
    int number = 0;
    for (ContourNode* k = rings; k; k = k->next, ++number)
        for (VertexNode* v = k->vertices; v; v = v->next) {
            v->edgeFlag = 1;
            v->data2 = number;
        }
    RingNode* joined = BridgeHoles(rings);
    // Out of the plane, in reverse order of the joined ring.
    VertexNode* result = nullptr;
    for (RingNode* r = joined; r; r = r->next) {
        const VertexNode* v = r->vertex;
        Point3 p;
        TransformPoint(toWorld, v->pt(), p);
        VertexNode* n = NewVertex(p.x, p.y, p.z, v->edgeFlag, v->data1, v->data2, 0);
        n->next = result;
        result = n;
    }
    FreeList(joined);
    return result;
}

}  // namespace

VertexNode* ChainSegmentsIntoRings(SegmentRec* segments) {
    ContourNode* rings = nullptr;
    for (SegmentRec* start = NextLine(segments); start; start = NextLine(start->next)) {
        VertexNode* ring = ChainOneRing(start);
        if (!ring) break;
        if (CountNodes(ring) < 3) {
            FreeList(ring);
            break;
        }
        auto* node = new ContourNode;
        node->vertices = ring;
        node->next = rings;
        rings = node;
    }
    if (!rings) return nullptr;
    if (!rings->next) {
        VertexNode* only = rings->vertices;
        rings->vertices = nullptr;
        delete rings;
        return only;
    }
    VertexNode* result = BridgeRings(rings);
    FreeListOfLists(rings);
    return result;
}
