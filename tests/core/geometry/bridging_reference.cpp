// Literal bridging: every ring node, every remaining hole, every vertex of
// it, a walk over every contour edge for each. Slow and obviously faithful.
#include "tests/core/geometry/bridging_reference.h"

#include <vector>

#include "core/base/module_state.h"

RingNode* ReferenceBridgeHoles(ContourNode* contours) {
    if (!contours) return nullptr;
    for (ContourNode* k = contours; k; k = k->next) k->vertices = RemoveDuplicateVertices(k->vertices);
    RingNode* ring = nullptr;
    for (VertexNode* v = contours->vertices; v; v = v->next) {
        auto* r = new RingNode;
        r->vertex = v;
        r->next = ring;
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
        for (RingNode* r = ring; r; r = r->next)
            for (size_t h = 0; h < holes.size(); ++h)
                for (VertexNode* q = holes[h]->vertices; q; q = q->next) {
                    if (SegmentCrossesContours(r->vertex, q, contours)) continue;
                    const double d = Distance3dRev(r->vertex->pt(), q->pt());
                    if (d < best) {
                        best = d;
                        winner = r;
                        winnerQ = q;
                        winnerHole = h;
                    } else if (winner && PointsEqual(r->vertex->pt(), winner->vertex->pt(), true)) {
                        const Point3 R = r->vertex->pt(), RN = NextInRing(ring, r)->vertex->pt();
                        const Point3 W = winner->vertex->pt(), WN = NextInRing(ring, winner)->vertex->pt();
                        if (AngleBetweenLines(R, RN, R, q->pt()) < AngleBetweenLines(W, WN, W, q->pt()))
                            winner = r;
                    }
                }
        if (!winner) break;
        ContourNode* hole = holes[winnerHole];
        // Clockwise from q round to q: forward along a clockwise hole.
        const bool clockwise = PolygonOrientation(hole->vertices) == 1;
        std::vector<VertexNode*> walk;
        for (VertexNode* v = hole->vertices; v; v = v->next) walk.push_back(v);
        if (!clockwise) {
            std::vector<VertexNode*> back{walk[0]};
            back.insert(back.end(), walk.rbegin(), walk.rend() - 1);
            walk = back;
        }
        size_t at = 0;
        while (walk[at] != winnerQ) ++at;
        RingNode* after = winner;
        RingNode* const rest = winner->next;
        for (size_t i = 0; i <= walk.size(); ++i) {
            auto* node = new RingNode;
            node->vertex = i < walk.size() ? walk[(at + i) % walk.size()] : winnerQ;
            after->next = node;
            after = node;
        }
        auto* back = new RingNode;
        back->vertex = winner->vertex;
        after->next = back;
        back->next = rest;
        holes.erase(holes.begin() + static_cast<long>(winnerHole));
    }
    return ring;
}
