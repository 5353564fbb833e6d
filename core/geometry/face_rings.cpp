// Bridging and ear clipping over reference rings.
#include "core/geometry/face_rings.h"

#include <numbers>
#include <unordered_map>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/polygon.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"

namespace {

// The largest single-precision value: the start of the nearest-pair search.
constexpr double kFarAway = 3.4028234663852886e38;

RingNode* NewRingNode(VertexNode* v, RingNode* next) {
    auto* node = new RingNode;
    node->vertex = v;
    node->next = next;
    return node;
}

RingNode* LastNode(RingNode* ring) {
    while (ring && ring->next) ring = ring->next;
    return ring;
}

using RingOf = std::unordered_map<const VertexNode*, const VertexNode*>;

RingOf RingHeads(const ContourNode* polygon) {
    RingOf heads;
    for (const ContourNode* k = polygon; k; k = k->next)
        for (const VertexNode* v = k->vertices; v; v = v->next) heads.emplace(v, k->vertices);
    return heads;
}

// True when the edge u-w is an outline edge whose start vertex shows it.
bool EdgeShown(const VertexNode* u, const VertexNode* w, const VertexNode* uHead, const VertexNode* wHead) {
    if (!uHead || uHead != wHead) return false;
    if (NextInRing(uHead, u) == w) return u->edgeFlag != 0;
    if (NextInRing(wHead, w) == u) return w->edgeFlag != 0;
    return false;
}

int EdgeFlags(const VertexNode* a, const VertexNode* b, const VertexNode* c, const RingOf& heads) {
    auto head = [&heads](const VertexNode* v) -> const VertexNode* {
        auto it = heads.find(v);
        return it == heads.end() ? nullptr : it->second;
    };
    const VertexNode *ha = head(a), *hb = head(b), *hc = head(c);
    int flags = 8;
    if (!EdgeShown(a, b, ha, hb)) flags += 1;
    if (!EdgeShown(b, c, hb, hc)) flags += 2;
    if (!EdgeShown(c, a, hc, ha)) flags += 4;
    return flags;
}

void MakeFace(const std::string& layer, const VertexNode* a, const VertexNode* b, const VertexNode* c,
              const Matrix4& toBlock, const RingOf& heads) {
    Point3 p[3];
    TransformPoint(toBlock, a->pt(), p[0]);
    TransformPoint(toBlock, b->pt(), p[1]);
    TransformPoint(toBlock, c->pt(), p[2]);
    ads_point c0{p[0].x, p[0].y, p[0].z}, c1{p[1].x, p[1].y, p[1].z}, c2{p[2].x, p[2].y, p[2].z};
    const host::ResbufList list(zcutBuildList(RTDXF0, "3DFACE", 8, layer.c_str(), 62, 256, 10, c0, 11, c1, 12,
                                              c2, 13, c0, 70, EdgeFlags(a, b, c, heads), 0));
    zcdbEntMake(list.get());
}

bool IsEar(const RingNode* ring, const RingNode* p, const RingNode* a, const RingNode* b, const RingNode* c,
           const RingNode* n) {
    const Point3 pa = a->vertex->pt(), pb = b->vertex->pt(), pc = c->vertex->pt();
    if (AngleBetweenLines(pb, pc, pb, pa) >= std::numbers::pi) return false;
    if (AngleBetweenLines(pa, pb, pa, pc) >= AngleBetweenLines(pa, pb, pa, p->vertex->pt())) return false;
    if (AngleBetweenLines(pc, pa, pc, pb) >= AngleBetweenLines(pc, n->vertex->pt(), pc, pb)) return false;
    return !SegmentCrossesPolygon(ring, a->vertex, b->vertex, c->vertex);
}

}  // namespace

RingNode* BridgeHolesIntoOutline(const ContourNode* polygon) {
    if (!polygon || CountNodes(polygon->vertices) < 3) return nullptr;
    const bool clockwise = PolygonOrientation(polygon->vertices) == 1;
    RingNode* ring = nullptr;
    RingNode* tail = nullptr;
    for (VertexNode* v = polygon->vertices; v; v = v->next) {
        if (clockwise) {
            ring = NewRingNode(v, ring);
        } else {
            RingNode* node = NewRingNode(v, nullptr);
            (tail ? tail->next : ring) = node;
            tail = node;
        }
    }
    std::vector<const ContourNode*> holes;
    for (const ContourNode* k = polygon->next; k; k = k->next)
        if (k->vertices) holes.push_back(k);

    while (!holes.empty()) {
        double best = kFarAway;
        RingNode* bestO = nullptr;
        VertexNode* bestH = nullptr;
        std::size_t bestHole = 0;
        for (RingNode* o = ring; o; o = o->next) {
            const Point3 po = o->vertex->pt();
            for (std::size_t i = 0; i < holes.size(); ++i) {
                for (VertexNode* h = holes[i]->vertices; h; h = h->next) {
                    const double d = HostDistance(po, h->pt());
                    if (d < best) {
                        best = d;
                        bestO = o;
                        bestH = h;
                        bestHole = i;
                    } else if (bestO && h == bestH && IsEqualTol(d, best, SharedTolerance) &&
                               PointsEqual(po, bestO->vertex->pt(), true)) {
                        // A vertex doubled by an earlier bridge: the copy whose
                        // outgoing edge turns least towards the hole is the one
                        // whose corner the bridge leaves from.
                        const Point3 hp = h->pt();
                        const double here = AngleBetweenLines(po, NextInRing(ring, o)->vertex->pt(), po, hp);
                        const Point3 pb = bestO->vertex->pt();
                        const double there =
                            AngleBetweenLines(pb, NextInRing(ring, bestO)->vertex->pt(), pb, hp);
                        if (here < there) bestO = o;
                    }
                }
            }
        }
        const ContourNode* hole = holes[bestHole];
        // After O: H, the hole backwards from H round to H again, O again,
        // then O's old successor.
        std::vector<VertexNode*> hv;
        std::size_t at = 0;
        for (VertexNode* h = hole->vertices; h; h = h->next) {
            if (h == bestH) at = hv.size();
            hv.push_back(h);
        }
        std::vector<VertexNode*> walk;
        walk.reserve(hv.size() + 2);
        for (std::size_t k = 0; k <= hv.size(); ++k)
            walk.push_back(hv[(at + hv.size() - k % hv.size()) % hv.size()]);
        walk.push_back(bestO->vertex);
        RingNode* next = bestO->next;
        for (auto it = walk.rbegin(); it != walk.rend(); ++it) next = NewRingNode(*it, next);
        bestO->next = next;
        holes.erase(holes.begin() + static_cast<std::ptrdiff_t>(bestHole));
    }
    return ring;
}

int TriangleEdgeFlags(const VertexNode* a, const VertexNode* b, const VertexNode* c,
                      const ContourNode* polygon) {
    return EdgeFlags(a, b, c, RingHeads(polygon));
}

void TriangulateTo3DFaces(const std::string& layer, const ContourNode* polygon, RingNode*& ring,
                          const Matrix4& toBlock) {
    int left = CountNodes(ring);
    if (left < 3) return;
    const RingOf heads = RingHeads(polygon);
    // The search goes on from the clipped ear's first node instead of the
    // ring's head: as valid a triangulation, without going over the clipped
    // part of a long facade again after every ear.
    RingNode* a = ring;
    RingNode* p = LastNode(ring);
    int misses = 0;
    while (left > 3 && misses < left) {
        RingNode* b = NextInRing(ring, a);
        RingNode* c = NextInRing(ring, b);
        RingNode* n = NextInRing(ring, c);
        if (!IsEar(ring, p, a, b, c, n)) {
            p = a;
            a = NextInRing(ring, a);
            ++misses;
            continue;
        }
        MakeFace(layer, a->vertex, b->vertex, c->vertex, toBlock, heads);
        if (b == ring)
            ring = b->next;  // a is the last node and stays so
        else
            a->next = b->next;
        delete b;
        --left;
        misses = 0;
    }
    // No ear left: fan the rest from the first node.
    while (CountNodes(ring) >= 3) {
        RingNode* b = ring->next;
        MakeFace(layer, ring->vertex, b->vertex, b->next->vertex, toBlock, heads);
        ring->next = b->next;
        delete b;
    }
}
