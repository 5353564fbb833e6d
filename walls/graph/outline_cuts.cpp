// Face polygons cut and notched by the hole outlines of their openings.
//
// CutPolygonsByOutlines handles the hole that runs right through a polygon
// (a window wider than the piece of wall): it crosses the border four times
// on two edges, and the polygon falls apart into the pieces outside it.
// MergeOutlineIntoPolygon handles the hole that reaches the border (a door
// standing on the bottom of the wall): the polygon keeps one ring, with the
// hole taken out of it as a notch. Both take the hole away with the ring
// difference of core/geometry, which treats a hole side lying along the
// polygon's border (the door's sill on the wall's bottom) like any other
// contact; the pieces therefore always lack exactly the hole's part.
//
// CutPolygonsByOutlines walks a copy of the face's outline links and leaves
// the face's own in place: the callers read them again right after the cut
// (holes of the pieces, islands of a wall hatch). An opening that split a
// polygon lies inside neither piece, so keeping its link adds nothing twice.
#include <vector>

#include "core/base/module_state.h"
#include "core/base/velm_assert.h"
#include "core/geometry/polygon.h"
#include "core/geometry/ring_difference.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/outline_polygons.h"

namespace {

struct Crossing {
    Point3 p;
    VertexNode* edgeStart = nullptr;
};

Point3 OnEdge(const VertexNode* a, const VertexNode* b, const Point3& x) {
    const double length = Distance2d(a->pt(), b->pt());
    const double t = length > 0.0 ? Distance2d(a->pt(), x) / length : 0.0;
    return {x.x, x.y, a->z + t * (b->z - a->z)};
}

// The distinct points where the hole's sides cross the polygon's edges,
// each with the edge it was found on.
std::vector<Crossing> FindCrossings(VertexNode* ring, const VertexNode* hole) {
    std::vector<Crossing> crossings;
    for (VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = NextInRing(ring, v);
        for (const VertexNode* h = hole; h; h = h->next) {
            const VertexNode* k = NextInRing(hole, h);
            Point3 x;
            if (!IntersectLines2d(v->pt(), w->pt(), h->pt(), k->pt(), x, 1, ModuleGeomTol)) continue;
            bool known = false;
            for (const Crossing& c : crossings) known = known || PointsEqual(c.p, x, false);
            if (!known) crossings.push_back({OnEdge(v, w, x), v});
        }
    }
    return crossings;
}

// Puts a vertex between the two crossings of each edge crossed twice (it
// takes the marks of the edge's start); returns how many edges were crossed.
int InsertCrossingMidpoints(const std::vector<Crossing>& crossings) {
    int edgesCrossed = 0;
    for (std::size_t i = 0; i < crossings.size(); ++i) {
        VertexNode* v = crossings[i].edgeStart;
        bool seen = false;
        for (std::size_t j = 0; j < i; ++j) seen = seen || crossings[j].edgeStart == v;
        if (seen) continue;
        ++edgesCrossed;
        std::vector<Point3> on;
        for (const Crossing& c : crossings)
            if (c.edgeStart == v) on.push_back(c.p);
        if (on.size() != 2) continue;
        VertexNode* mid = NewVertex((on[0].x + on[1].x) / 2, (on[0].y + on[1].y) / 2, (on[0].z + on[1].z) / 2,
                                    v->edgeFlag, v->data1, v->data2, v->mark);
        mid->next = v->next;
        v->next = mid;
    }
    return edgesCrossed;
}

}  // namespace

void CFACCIATE::SplitPolygonAtOutline(ContourNode*& list, ContourNode* polygon, const VertexNode* hole) {
    std::vector<OwnedList<VertexNode>> pieces = SubtractRing(polygon->vertices, hole, SharedTolerance);
    for (OwnedList<VertexNode>& piece : pieces)
        for (VertexNode* v = piece.get(); v; v = v->next) {
            // Where the piece leaves the polygon's border for the hole's.
            if (v->mark) v->edgeFlag = 1;
            v->mark = 0;
        }
    FreeList(polygon->vertices);
    polygon->vertices = nullptr;
    if (pieces.empty()) {
        ContourNode** link = &list;
        while (*link && *link != polygon) link = &(*link)->next;
        VELM_ASSERT(*link == polygon);
        *link = polygon->next;
        polygon->next = nullptr;
        delete polygon;
        return;
    }
    polygon->vertices = pieces.front().release();
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        auto* node = new ContourNode;
        node->vertices = pieces[i].release();
        node->next = list;
        list = node;
    }
}

ContourNode* CutPolygonsByOutlines(ContourNode* polygons, const WallFace* face) {
    if (!face) return polygons;
    const Point3 segStart = face->firstPoint(), segEnd = face->lastPoint();
    OutlineLink* links = CopyOutlineLinks(face->outlineLinks);
    for (const OutlineLink* link = links; link; link = link->next) {
        const VertexNode* hole = GetOutlineSideRing(segStart, segEnd, link->outline);
        if (!hole) continue;
        // Pieces split off go to the front, behind the walk: each polygon is
        // cut once by each hole.
        for (ContourNode* polygon = polygons; polygon;) {
            ContourNode* next = polygon->next;
            if (CountNodes(polygon->vertices) >= 3) {
                const std::vector<Crossing> crossings = FindCrossings(polygon->vertices, hole);
                const int edgesCrossed = InsertCrossingMidpoints(crossings);
                if (crossings.size() == 4 && edgesCrossed == 2)
                    CFACCIATE::SplitPolygonAtOutline(polygons, polygon, hole);
            }
            polygon = next;
        }
    }
    FreeList(links);
    return polygons;
}

VertexNode* MergeOutlineIntoPolygon(VertexNode* ring, const WallFace* face) {
    ring = NormalizePolygon(0, ring, nullptr);
    if (!face || CountNodes(ring) < 3) return ring;
    const Point3 segStart = face->firstPoint(), segEnd = face->lastPoint();
    for (const OutlineLink* link = face->outlineLinks; link; link = link->next) {
        const VertexNode* hole = GetOutlineSideRing(segStart, segEnd, link->outline);
        if (CountNodes(hole) < 3) continue;
        bool reachesInside = false;
        for (const VertexNode* h = hole; h && !reachesInside; h = h->next)
            reachesInside = PointInPolygon(h->pt(), ring, kEdgesOutside) == kInsidePolygon;
        Point3 a, b;
        if (!reachesInside || !RingExtent(hole, a, b) || Distance2d(a, b) < SharedTolerance) continue;
        // One ring left: the hole reached the border and became a notch. Two
        // or more: the hole lies inside (the caller adds it) or would split
        // the ring (the cut's business); the ring stays as it is.
        std::vector<OwnedList<VertexNode>> pieces = SubtractRing(ring, hole, SharedTolerance);
        if (pieces.size() != 1) continue;
        FreeList(ring);
        ring = pieces.front().release();
        for (VertexNode* v = ring; v; v = v->next) v->mark = 0;
    }
    return ring;
}
