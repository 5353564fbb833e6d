// Clipping, shadows and merges of plan polygons, each one operation of the
// ring kernel (core/geometry/ring_difference.h) on two simple rings:
// clipping a difference, a shadow an intersection, a merge a union. The
// kernel's loops become pieces here: counter-clockwise loops are pieces,
// clockwise ones holes bridged into the piece that holds them. Clipping
// snaps at a hundred times the shared tolerance, shadows at the tolerance.
#include "visual/views/polygon_clip.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <numeric>
#include <optional>
#include <set>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/box_index.h"
#include "core/geometry/polygon.h"

namespace {

using Loops = std::vector<OwnedList<VertexNode>>;

double Tol100() {
    return 100.0 * SharedTolerance;
}

double SignedArea(const VertexNode* ring) {
    return RingSignedArea2(ring) / 2.0;
}

// The loops of an operation (none when there are more than `most`); the
// views keep no edge flags or numbers.
Loops Trace(const RingBoolean& op, RingOperation operation,
            std::size_t most = std::numeric_limits<std::size_t>::max()) {
    Loops loops;
    for (RingLoop& loop : op.Trace(operation, most)) {
        for (VertexNode* v = loop.ring.get(); v; v = v->next) v->edgeFlag = v->data1 = v->data2 = 0;
        loops.push_back(std::move(loop.ring));
    }
    return loops;
}

// A copy of the ring keeping spare and mark, with no edge flags or numbers.
OwnedList<VertexNode> CopyRing(const VertexNode* ring) {
    VertexNode* head = nullptr;
    VertexNode** tail = &head;
    for (const VertexNode* v = ring; v; v = v->next) {
        *tail = NewVertex(v->x, v->y, v->z, 0, 0, 0, v->mark);
        (*tail)->spare = v->spare;
        tail = &(*tail)->next;
    }
    return OwnedList<VertexNode>(head);
}

OutlinePolygon* Append(OutlinePolygon* list, OutlinePolygon* piece) {
    if (!list) return piece;
    OutlinePolygon* last = list;
    while (last->next) last = last->next;
    last->next = piece;
    return list;
}

// Pieces from traced loops: each hole bridged into the piece holding it.
OutlinePolygon* PiecesOf(Loops& loops) {
    std::vector<const VertexNode*> outers, holes;
    for (const OwnedList<VertexNode>& l : loops)
        (SignedArea(l.get()) > 0.0 ? outers : holes).push_back(l.get());
    OutlinePolygon* result = nullptr;
    for (const VertexNode* outer : outers) {
        OwnedList<ContourNode> owned(new ContourNode);
        ContourNode* contours = owned.get();
        contours->vertices = CopyRing(outer).release();
        ContourNode** tail = &contours->next;
        for (const VertexNode*& hole : holes) {
            if (!hole) continue;
            // A point just inside the hole, off its border.
            const VertexNode* next = hole->next;
            const Point3 mid{(hole->x + next->x) / 2.0, (hole->y + next->y) / 2.0, 0.0};
            if (PointInPolygon(mid, outer, kEdgesReported) == kOutsidePolygon) continue;
            auto* h = new ContourNode;
            h->vertices = ReversedRing(hole).release();
            *tail = h;
            tail = &h->next;
            hole = nullptr;
        }
        VertexNode* ring = nullptr;
        if (contours->next) {
            const OwnedList<RingNode> joined(BridgeHoles(contours));
            VertexNode** at = &ring;
            for (const RingNode* r = joined.get(); r; r = r->next) {
                const VertexNode* v = r->vertex;
                *at = NewVertex(v->x, v->y, v->z, 0, 0, 0, v->mark);
                (*at)->spare = v->spare;
                at = &(*at)->next;
            }
            MarkDoubledEdges(ring);
        } else {
            ring = contours->vertices;
            contours->vertices = nullptr;
        }
        if (ring) result = Append(result, NewOutlinePolygon(ring));
    }
    return result;
}

double PlaneZ(const double plane[4], double x, double y, double fallback) {
    if (std::fabs(plane[2]) < GeomEpsilon) return fallback;
    return -(plane[0] * x + plane[1] * y + plane[3]) / plane[2];
}

double RingArea(const VertexNode* ring) {
    return std::fabs(SignedArea(ring));
}

}  // namespace

OutlinePolygon* FreeOutlinePolygons(OutlinePolygon* list) {
    while (list) {
        OutlinePolygon* next = list->next;
        FreeList(list->ring);
        delete list;
        list = next;
    }
    return nullptr;
}

ShadowGroup* FreeShadowGroups(ShadowGroup* list) {
    while (list) {
        ShadowGroup* next = list->next;
        FreeOutlinePolygons(list->pieces);
        delete list;
        list = next;
    }
    return nullptr;
}

OutlinePolygon* NewOutlinePolygon(VertexNode* ring) {
    auto* p = new OutlinePolygon;
    p->ring = ring;
    if (ring) {
        p->box2d[0] = p->box2d[2] = ring->x;
        p->box2d[1] = p->box2d[3] = ring->y;
    }
    for (const VertexNode* v = ring; v; v = v->next) {
        p->box2d[0] = std::min(p->box2d[0], v->x);
        p->box2d[1] = std::min(p->box2d[1], v->y);
        p->box2d[2] = std::max(p->box2d[2], v->x);
        p->box2d[3] = std::max(p->box2d[3], v->y);
    }
    return p;
}

int MarkDoubledEdges(VertexNode* ring) {
    int marked = 0;
    for (VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = NextInRing(ring, v);
        for (VertexNode* p = ring; p; p = p->next) {
            const VertexNode* q = NextInRing(ring, p);
            if (p == v || !PointsEqual(p->pt(), w->pt(), false) || !PointsEqual(q->pt(), v->pt(), false))
                continue;
            v->mark = 1;
            p->mark = 1;
            marked = 1;
        }
    }
    return marked;
}

namespace {

// Widens the box to hold the other.
void Cover(double box[4], const double other[4]) {
    box[0] = std::min(box[0], other[0]), box[1] = std::min(box[1], other[1]);
    box[2] = std::max(box[2], other[2]), box[3] = std::max(box[3], other[3]);
}

// Where p lies in the ring in plan, as PointInPolygon says it, but a point
// is on an edge only within the clipping snap of it. PointInPolygon's own
// edge test compares the detour through p with the edge's length, which
// takes a point several units off a long edge for one on it: a face
// reaching that far past an outline would pass for one within it.
int WhereInRing(const Point3& p, const VertexNode* ring, int mode) {
    const double tol = Tol100();
    for (const VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = NextInRing(ring, v);
        const double ex = w->x - v->x, ey = w->y - v->y;
        const double length2 = ex * ex + ey * ey;
        double t = length2 > 0.0 ? ((p.x - v->x) * ex + (p.y - v->y) * ey) / length2 : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        // Squares first: the length is taken only where they fall within
        // rounding of the snap.
        const double dx = v->x + t * ex - p.x, dy = v->y + t * ey - p.y, square = dx * dx + dy * dy;
        if (square > tol * tol * (1.0 + 1e-9) && std::isfinite(square)) continue;
        if (std::hypot(dx, dy) <= tol) return mode == kEdgesReported ? kOnPolygonEdge : kOutsidePolygon;
    }
    return PointInPolygon(p, ring, kEdgesUntested);
}

}  // namespace

int PolygonInsidePolygon(const VertexNode* A, const VertexNode* B) {
    if (CountNodes(A) < 3 || CountNodes(B) < 3) return 0;
    // A point of A beyond B's box by more than the snap lies outside B: a
    // long piece tried against a small cutter is then not walked for every
    // corner of the cutter.
    double boxA[4], boxB[4];
    RingPlanBox(A, boxA);
    RingPlanBox(B, boxB);
    const double reach = 2.0 * Tol100();
    if (boxA[0] < boxB[0] - reach || boxA[1] < boxB[1] - reach || boxA[2] > boxB[2] + reach ||
        boxA[3] > boxB[3] + reach)
        return 0;
    for (const VertexNode* v = B; v; v = v->next)
        if (WhereInRing(v->pt(), A, kEdgesOutside) == kInsidePolygon) return 0;
    bool borderOnly = true;
    for (const VertexNode* v = A; v; v = v->next) {
        const int where = WhereInRing(v->pt(), B, kEdgesReported);
        if (where == kOutsidePolygon) return 0;
        if (where == kInsidePolygon) borderOnly = false;
    }
    const double tol100 = Tol100();
    for (const VertexNode* a = A; a; a = a->next) {
        const VertexNode* a2 = NextInRing(A, a);
        std::vector<Point3> cuts{a->pt(), a2->pt()};
        for (const VertexNode* b = B; b; b = b->next) {
            Point3 x;
            if (IntersectLines2d(a->pt(), a2->pt(), b->pt(), NextInRing(B, b)->pt(), x, 1, ModuleGeomTol))
                cuts.push_back(x);
        }
        const Point3 s = a->pt();
        std::sort(cuts.begin(), cuts.end(), [&s](const Point3& p, const Point3& q) {
            return std::hypot(p.x - s.x, p.y - s.y) < std::hypot(q.x - s.x, q.y - s.y);
        });
        for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
            if (PointsNear2d(cuts[k], cuts[k + 1], tol100)) continue;
            Point3 mid;
            MidPoint(cuts[k], cuts[k + 1], mid);
            const int where = WhereInRing(mid, B, kEdgesReported);
            if (where == kOutsidePolygon) return 0;
            if (where == kInsidePolygon) borderOnly = false;
        }
    }
    if (!borderOnly) return 1;
    // All of A on B's border: a point inside A decides.
    for (const VertexNode* p = A; p; p = p->next)
        for (const VertexNode* q = p->next; q; q = q->next) {
            Point3 mid;
            MidPoint(p->pt(), q->pt(), mid);
            if (WhereInRing(mid, A, kEdgesOutside) == kInsidePolygon)
                return WhereInRing(mid, B, kEdgesOutside) == kInsidePolygon ? 1 : 0;
        }
    return 0;
}

namespace {

void CellAxis(double value, int axis, std::int32_t& low, std::int32_t& high, const double grid[63]) {
    const double* g = grid + 21 * axis;
    while (low > 0 && g[low] > value) --low;
    while (high < 20 && g[high + 1] < value) ++high;
}

}  // namespace

void CellBoxOfCorners(const Point3* corners, int count, std::int32_t low[3], std::int32_t high[3],
                      const double grid[63]) {
    for (int axis = 0; axis < 3; ++axis) {
        low[axis] = 20;
        high[axis] = 0;
    }
    for (int k = 0; k < count; ++k) {
        const double v[3] = {corners[k].x, corners[k].y, corners[k].z};
        for (int axis = 0; axis < 3; ++axis) CellAxis(v[axis], axis, low[axis], high[axis], grid);
    }
}

void CellBoxOfRing(const VertexNode* ring, std::int32_t low[3], std::int32_t high[3], const double grid[63]) {
    for (int axis = 0; axis < 3; ++axis) {
        low[axis] = 20;
        high[axis] = 0;
    }
    for (const VertexNode* p = ring; p; p = p->next) {
        const double v[3] = {p->x, p->y, p->z};
        for (int axis = 0; axis < 3; ++axis) CellAxis(v[axis], axis, low[axis], high[axis], grid);
    }
}

OutlinePolygon* ClipPolygonByPolygon(VertexNode** X, const VertexNode* P,
                                     [[maybe_unused]] const double groupPlane[4],
                                     const double receivingPlane[4], const RingPoints* xPoints,
                                     std::span<const Point3> xCrowded) {
    if (!X || CountNodes(*X) < 3 || CountNodes(P) < 3) return nullptr;
    // P laid onto the receiving plane; nearer when the plane lies at or
    // behind each of its vertices.
    OwnedList<VertexNode> laid = CopyRing(P);
    bool near = true;
    for (VertexNode* v = laid.get(); v; v = v->next) {
        const double z = PlaneZ(receivingPlane, v->x, v->y, v->z);
        if (z < v->z) near = false;
        v->z = z;
    }
    const OwnedList<VertexNode> cutter = ReversedRing(laid.get());
    // Near P when X is long and P short, as the joins build a long piece's
    // unions.
    std::optional<RingNearPart> part;
    if (xPoints) {
        const int xCount = CountNodes(*X), pCount = CountNodes(P);
        if (xCount >= 96 && 4 * pCount <= xCount)
            part = NearPartOf(*xPoints, cutter.get(), Tol100(), xCrowded);
        if (part && 2 * part->farEdges < xCount) part.reset();
    }
    std::optional<RingBoolean> built;
    if (part)
        built.emplace(*X, cutter.get(), Tol100(), *part, 0);
    else
        built.emplace(*X, cutter.get(), Tol100());
    const RingBoolean& op = *built;
    // P changes nothing of X, or covers it whole: the caller keeps X or
    // drops it by PolygonInsidePolygon(X, P).
    if (op.AllOf(1, RingEdgeClass::kOutside, RingEdgeClass::kOpposite) &&
        op.AllOf(0, RingEdgeClass::kOutside, RingEdgeClass::kOpposite))
        return nullptr;
    if (op.Within(0) && op.AllOf(1, RingEdgeClass::kOutside, RingEdgeClass::kSame)) return nullptr;
    Loops loops = Trace(op, RingOperation::kDifference);
    bool holes = false;
    for (const OwnedList<VertexNode>& l : loops) holes = holes || SignedArea(l.get()) < 0.0;
    // A hole is cut only by an outline wholly in front of X.
    if (holes && !near) return nullptr;
    return PiecesOf(loops);
}

namespace {

// The parts of R that W covers, W standing nowhere below R's plane.
OutlinePolygon* ShadowOfRing(const VertexNode* W, VertexNode** R, const double casterPlane[4]) {
    const RingBoolean op(*R, W, SharedTolerance);
    const bool wholeR = op.Within(0) && op.AllOf(1, RingEdgeClass::kOutside, RingEdgeClass::kSame);
    if (!wholeR) {
        Loops loops = Trace(op, RingOperation::kIntersection);
        OutlinePolygon* result = nullptr;
        for (OwnedList<VertexNode>& l : loops) {
            if (CountNodes(l.get()) <= 2 || SignedArea(l.get()) < 0.0) continue;
            // Only where the caster's own vertices lie is its height known.
            bool below = false;
            for (const VertexNode* v = l.get(); v; v = v->next)
                for (int k = 0; k < op.VertexCount(1); ++k)
                    if (PointsNear2d(v->pt(), op.VertexAt(1, k), SharedTolerance) &&
                        op.SpareAt(1, k) < -SharedTolerance)
                        below = true;
            if (below) continue;
            Loops one;
            one.push_back(std::move(l));
            result = Append(result, PiecesOf(one));
        }
        return result;
    }
    for (const VertexNode* v = *R; v; v = v->next)
        if (PlaneZ(casterPlane, v->x, v->y, v->z) < v->z) return nullptr;
    return NewOutlinePolygon(CopyVertexList(*R));
}

// A point where W's height crosses zero.
struct ZeroPoint {
    double x, y, z;
};

// The parts of W at or above the receiving plane. Caster and receiver are
// both planes, so the height runs linearly over the plan and is zero along
// one line, through every point where an edge of W changes side: W is cut
// by the half-plane on the side of its highest vertex. Empty when the line
// cannot be found (W meets the plane at a point only).
Loops PartsAbove(const VertexNode* W) {
    std::vector<ZeroPoint> zeros;
    const VertexNode* top = W;
    double lo[2] = {W->x, W->y}, hi[2] = {W->x, W->y};
    for (const VertexNode* a = W; a; a = a->next) {
        const VertexNode* b = NextInRing(W, a);
        if (a->spare > top->spare) top = a;
        lo[0] = std::min(lo[0], a->x), lo[1] = std::min(lo[1], a->y);
        hi[0] = std::max(hi[0], a->x), hi[1] = std::max(hi[1], a->y);
        if (a->spare == 0.0) zeros.push_back({a->x, a->y, a->z});
        if ((a->spare > 0.0 && b->spare < 0.0) || (a->spare < 0.0 && b->spare > 0.0)) {
            const double t = a->spare / (a->spare - b->spare);
            zeros.push_back({a->x + (b->x - a->x) * t, a->y + (b->y - a->y) * t, a->z + (b->z - a->z) * t});
        }
    }
    // The two zero points farthest apart fix the line most surely.
    const ZeroPoint* p = nullptr;
    const ZeroPoint* q = nullptr;
    double apart = SharedTolerance;
    for (std::size_t i = 0; i < zeros.size(); ++i)
        for (std::size_t j = i + 1; j < zeros.size(); ++j)
            if (const double d = std::hypot(zeros[j].x - zeros[i].x, zeros[j].y - zeros[i].y); d > apart)
                apart = d, p = &zeros[i], q = &zeros[j];
    if (!p || top->spare <= 0.0) return {};
    const double ux = (q->x - p->x) / apart, uy = (q->y - p->y) / apart;
    double nx = -uy, ny = ux;
    double across = (top->x - p->x) * nx + (top->y - p->y) * ny;
    if (across < 0.0) nx = -nx, ny = -ny, across = -across;
    if (across <= SharedTolerance) return {};
    // The receiving plane's z and the height at a plan point, both linear:
    // along the line from the zero points, across it from the highest vertex.
    VertexNode* half = nullptr;
    auto at = [&](double x, double y) {
        const double s = (x - p->x) * ux + (y - p->y) * uy, c = (x - p->x) * nx + (y - p->y) * ny;
        const double sTop = (top->x - p->x) * ux + (top->y - p->y) * uy;
        const double zLine = p->z + (q->z - p->z) * s / apart;
        const double zTopLine = p->z + (q->z - p->z) * sTop / apart;
        AppendVertex(&half, {x, y, zLine + (top->z - zTopLine) * c / across}, 0, 0, 0)->spare =
            top->spare * c / across;
    };
    // A rectangle on the high side of the line, reaching past all of W.
    const double reach = 2.0 * (std::hypot(hi[0] - lo[0], hi[1] - lo[1]) + 1.0);
    const double corners[4][2] = {{-1.0, 0.0}, {1.0, 0.0}, {1.0, 1.0}, {-1.0, 1.0}};
    for (const auto& [a, c] : corners) at(p->x + (ux * a + nx * c) * reach, p->y + (uy * a + ny * c) * reach);
    const OwnedList<VertexNode> halfPlane(half);
    const RingBoolean op(W, halfPlane.get(), SharedTolerance);
    Loops loops = Trace(op, RingOperation::kIntersection);
    Loops parts;
    OutlinePolygon* pieces = PiecesOf(loops);
    for (OutlinePolygon* piece = pieces; piece; piece = piece->next) parts.push_back(CopyRing(piece->ring));
    FreeOutlinePolygons(pieces);
    return parts;
}

}  // namespace

std::vector<OwnedList<VertexNode>> PartsInFrontOfPlane(const VertexNode* P, const double plane[4],
                                                       bool& whole) {
    whole = false;
    if (CountNodes(P) < 3 || std::fabs(plane[2]) < GeomEpsilon) return {};
    bool front = false, behind = false;
    OwnedList<VertexNode> heights = CopyRing(P);
    for (VertexNode* v = heights.get(); v; v = v->next) {
        // The height in front of the plane, carried as PartsAbove reads it.
        v->spare = PlaneZ(plane, v->x, v->y, v->z) - v->z;
        front = front || v->spare > Tol100();
        behind = behind || v->spare < -Tol100();
    }
    if (!front) return {};
    if (!behind) {
        whole = true;
        return {};
    }
    Loops parts = PartsAbove(heights.get());
    for (OwnedList<VertexNode>& part : parts)
        for (VertexNode* v = part.get(); v; v = v->next) v->spare = 0.0;
    return parts;
}

OutlinePolygon* ShadowOfPolygon(const VertexNode* W, VertexNode** R, const double casterPlane[4]) {
    if (!R || CountNodes(*R) < 3 || CountNodes(W) < 3) return nullptr;
    bool crosses = false;
    for (const VertexNode* v = W; v; v = v->next) crosses = crosses || v->spare < -SharedTolerance;
    if (!crosses) return ShadowOfRing(W, R, casterPlane);
    // A caster passing through the receiving plane shades it only from the
    // part above the plane. A piece merely touching one of its vertices
    // below the plane must not be lost whole with the part behind it.
    OutlinePolygon* result = nullptr;
    for (const OwnedList<VertexNode>& part : PartsAbove(W))
        result = Append(result, ShadowOfRing(part.get(), R, casterPlane));
    return result;
}

ShadowGroup* CleanShadowGroups(ShadowGroup* groups) {
    ShadowGroup** g = &groups;
    while (*g) {
        OutlinePolygon** p = &(*g)->pieces;
        while (*p) {
            (*p)->ring = RemoveCollinearVertices((*p)->ring, 0);
            if (CountNodes((*p)->ring) < 3) {
                OutlinePolygon* dead = *p;
                *p = dead->next;
                dead->next = nullptr;
                FreeOutlinePolygons(dead);
            } else {
                p = &(*p)->next;
            }
        }
        if (!(*g)->pieces) {
            ShadowGroup* dead = *g;
            *g = dead->next;
            dead->next = nullptr;
            FreeShadowGroups(dead);
        } else {
            g = &(*g)->next;
        }
    }
    return groups;
}

namespace {

// Unlinks and frees one piece of the list.
void DropPiece(OutlinePolygon** list, OutlinePolygon* piece) {
    for (OutlinePolygon** at = list; *at; at = &(*at)->next)
        if (*at == piece) {
            *at = piece->next;
            piece->next = nullptr;
            FreeOutlinePolygons(piece);
            return;
        }
}

// Puts the pieces in place of `piece` in the list.
void ReplacePiece(OutlinePolygon** list, OutlinePolygon* piece, OutlinePolygon* pieces) {
    for (OutlinePolygon** at = list; *at; at = &(*at)->next)
        if (*at == piece) {
            OutlinePolygon* after = piece->next;
            piece->next = nullptr;
            FreeOutlinePolygons(piece);
            if (!pieces) {
                *at = after;
                return;
            }
            *at = pieces;
            OutlinePolygon* last = pieces;
            while (last->next) last = last->next;
            last->next = after;
            return;
        }
}

double SegmentPointDistance(const VertexNode* a, const VertexNode* b, const VertexNode* p) {
    const double dx = b->x - a->x, dy = b->y - a->y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0.0 ? ((p->x - a->x) * dx + (p->y - a->y) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p->x - (a->x + t * dx), p->y - (a->y + t * dy));
}

bool BoxesApart(const double a[4], const double b[4], double tol) {
    return a[2] < b[0] - tol || b[2] < a[0] - tol || a[3] < b[1] - tol || b[3] < a[1] - tol;
}

// How near two edges, the longer `length` long, come for RingsMayMeet:
// twice the snap, or within the bulge of the ellipse the point location
// takes as lying on an edge.
double NearReach(double snap, double length) {
    return 2.0 * snap + std::sqrt(snap * length / 2.0 + snap * snap / 4.0);
}

// Whether edge a-a2 (`la` long) and edge b-b2 may meet for RingsMayMeet:
// they cross, or come within its nearness of each other.
bool EdgesMayMeet(const VertexNode* a, const VertexNode* a2, double la, const VertexNode* b,
                  const VertexNode* b2, double snap) {
    const double near = NearReach(snap, std::max(la, std::hypot(b2->x - b->x, b2->y - b->y)));
    if (std::max(a->x, a2->x) < std::min(b->x, b2->x) - near ||
        std::max(b->x, b2->x) < std::min(a->x, a2->x) - near ||
        std::max(a->y, a2->y) < std::min(b->y, b2->y) - near ||
        std::max(b->y, b2->y) < std::min(a->y, a2->y) - near)
        return false;
    Point3 x;
    if (IntersectLines2d(a->pt(), a2->pt(), b->pt(), b2->pt(), x, 1, ModuleGeomTol)) return true;
    return SegmentPointDistance(a, a2, b) <= near || SegmentPointDistance(a, a2, b2) <= near ||
           SegmentPointDistance(b, b2, a) <= near || SegmentPointDistance(b, b2, a2) <= near;
}

// Whether two pieces may share anything: some edges cross or come near
// each other, or one holds the other. Near is within twice the snap
// distance (vertices are snapped square-wise), or within the bulge of the
// ellipse the point location takes as lying on an edge (focal sum the
// edge's length plus the snap distance). Pieces for which this is false
// are apart for every operation on them, which need not be built then.
bool RingsMayMeet(const VertexNode* A, const VertexNode* B, double snap) {
    // An edge of A clearly away from all of B is near none of its edges: a
    // long ring is not measured edge by edge against a small one.
    double boxB[4] = {B->x, B->y, B->x, B->y}, longestB = 0.0;
    for (const VertexNode* b = B; b; b = b->next) {
        const VertexNode* b2 = NextInRing(B, b);
        boxB[0] = std::min(boxB[0], b->x), boxB[1] = std::min(boxB[1], b->y);
        boxB[2] = std::max(boxB[2], b->x), boxB[3] = std::max(boxB[3], b->y);
        longestB = std::max(longestB, std::hypot(b2->x - b->x, b2->y - b->y));
    }
    for (const VertexNode* a = A; a; a = a->next) {
        const VertexNode* a2 = NextInRing(A, a);
        const double edge[4] = {std::min(a->x, a2->x), std::min(a->y, a2->y), std::max(a->x, a2->x),
                                std::max(a->y, a2->y)};
        // Most edges of a long ring are away even by the reach of an edge
        // as long as the sum of its sides: no root is taken for them.
        const double dx = a2->x - a->x, dy = a2->y - a->y;
        if (BoxesApart(edge, boxB, NearReach(snap, std::max(std::fabs(dx) + std::fabs(dy), longestB))))
            continue;
        const double la = std::hypot(dx, dy);
        if (BoxesApart(edge, boxB, NearReach(snap, std::max(la, longestB)))) continue;
        for (const VertexNode* b = B; b; b = b->next)
            if (EdgesMayMeet(a, a2, la, b, NextInRing(B, b), snap)) return true;
    }
    return PointInPolygon(A->pt(), B, kEdgesUntested) != kOutsidePolygon ||
           PointInPolygon(B->pt(), A, kEdgesUntested) != kOutsidePolygon;
}

// RingsMayMeet for ring `longRing` long, given its near part for the other:
// only its near edges can come near the other's, and a point of the other
// counts those and the far edges to its left.
bool RingsMayMeet(const VertexNode* A, const VertexNode* B, double snap, const RingNearPart& part,
                  int longRing) {
    const VertexNode* other = longRing == 0 ? B : A;
    const std::size_t n = part.vertices.size();
    std::vector<PlanEdge> edges;
    for (std::size_t i = 0; i < n; ++i) {
        if (!part.near[i]) continue;
        const VertexNode *v = part.vertices[i], *w = part.vertices[(i + 1) % n];
        edges.push_back({v, w});
        for (const VertexNode* o = other; o; o = o->next) {
            const VertexNode* o2 = NextInRing(other, o);
            // Each pair measured as ring 0's edge against ring 1's.
            if (longRing == 0 ? EdgesMayMeet(v, w, std::hypot(w->x - v->x, w->y - v->y), o, o2, snap)
                              : EdgesMayMeet(o, o2, std::hypot(o2->x - o->x, o2->y - o->y), v, w, snap))
                return true;
        }
    }
    const VertexNode* longOne = longRing == 0 ? A : B;
    return PointInPolygon(longOne->pt(), other, kEdgesUntested) != kOutsidePolygon ||
           (PointInEdges(other->pt(), edges, kEdgesUntested) != kOutsidePolygon) !=
               part.FarParity(other->pt());
}

bool BoxesApart(const OutlinePolygon* a, const OutlinePolygon* b, double tol) {
    return BoxesApart(a->box2d, b->box2d, tol);
}

// Pieces of one half of a list merged half by half, both as that merge
// left them.
bool SameHalf(const OutlinePolygon* a, const OutlinePolygon* b) {
    return a->half != 0 && a->half == b->half;
}

}  // namespace

OutlinePolygon* SplitShadowPieces(OutlinePolygon** list, [[maybe_unused]] int group) {
    // Each piece against every one after it, whose place the walk holds (a
    // piece dropped or replaced is unlinked there, not looked for from the
    // head). Pieces of fewer than three points after the first go at once:
    // the first piece's round would drop them all, and nothing the search
    // makes has fewer.
    const auto fewerThanThree = [](const OutlinePolygon* p) {
        return !p->ring || !p->ring->next || !p->ring->next->next;
    };
    const auto unlink = [](OutlinePolygon** at) {
        OutlinePolygon* gone = *at;
        *at = gone->next;
        gone->next = nullptr;
        FreeOutlinePolygons(gone);
    };
    if (*list) {
        for (OutlinePolygon** at = &(*list)->next; *at;) {
            if (fewerThanThree(*at))
                unlink(at);
            else
                at = &(*at)->next;
        }
    }
    for (OutlinePolygon* a = *list; a; a = a->next) {
        for (OutlinePolygon** at = &a->next; *at;) {
            OutlinePolygon* b = *at;
            if (SameHalf(a, b) || BoxesApart(a, b, Tol100()) || !RingsMayMeet(a->ring, b->ring, Tol100())) {
                at = &b->next;
                continue;
            }
            const RingBoolean op(b->ring, a->ring, Tol100());
            if (op.Apart()) {
                at = &b->next;
                continue;
            }
            if (op.Within(0)) {
                unlink(at);
            } else if (op.Within(1)) {
                // b holds a: b takes a's place, and a goes.
                std::swap(a->ring, b->ring);
                std::swap(a->box2d, b->box2d);
                a->half = 0;
                unlink(at);
            } else {
                Loops loops = Trace(op, RingOperation::kDifference);
                OutlinePolygon* pieces = PiecesOf(loops);
                OutlinePolygon* following = b->next;
                unlink(at);
                if (pieces) {
                    // In b's place; the search goes on after them.
                    *at = pieces;
                    while (*at) at = &(*at)->next;
                    *at = following;
                }
            }
        }
    }
    return *list;
}

namespace {

// Two pieces' union when it is one polygon without holes (they overlap or
// touch along edges), else null. Pieces that only touch at points make no
// one polygon.
// `lasting`, when given, tells a refusal that holds for as long as the
// boundaries near the pieces do: they are apart, or meet making more than
// one loop (a hole, or a touch at a point); the area test alone measures
// against the size of the whole.
// With a near part, ring `longRing` is long and the other short (see
// RingBoolean): the union is the same, built near the short one.
VertexNode* UnionOfPieces(const OutlinePolygon* a, const OutlinePolygon* b, bool* lasting = nullptr,
                          const RingNearPart* part = nullptr, int longRing = -1) {
    if (lasting) *lasting = true;
    if (part ? !RingsMayMeet(a->ring, b->ring, Tol100(), *part, longRing)
             : !RingsMayMeet(a->ring, b->ring, Tol100()))
        return nullptr;
    std::optional<RingBoolean> built;
    if (part)
        built.emplace(a->ring, b->ring, Tol100(), *part, longRing);
    else
        built.emplace(a->ring, b->ring, Tol100());
    const RingBoolean& op = *built;
    Loops loops = Trace(op, RingOperation::kUnion, 1);
    if (loops.size() != 1) return nullptr;
    if (lasting) *lasting = false;
    const double before = RingArea(a->ring) + RingArea(b->ring);
    if (SignedArea(loops[0].get()) <= 0.0 ||
        (op.Apart() && std::fabs(SignedArea(loops[0].get()) - before) > Tol100() * (1.0 + std::sqrt(before))))
        return nullptr;
    return RemoveCollinearVertices(loops[0].release(), 0);
}

// The longest edge of the ring in plan.
double LongestEdge(const VertexNode* ring) {
    // The longest by the squares first: an edge whose square falls short
    // of the largest by more than rounding is shorter, so the length is
    // taken only of the few at the top (of every edge, if a square is not
    // a plain number).
    double most = 0.0;
    bool plain = true;
    for (const VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = NextInRing(ring, v);
        const double dx = w->x - v->x, dy = w->y - v->y, square = dx * dx + dy * dy;
        plain = plain && std::isfinite(square);
        most = std::max(most, square);
    }
    plain = plain && most > 1e-280 && most < 1e280;
    double longest = 0.0;
    for (const VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = NextInRing(ring, v);
        const double dx = w->x - v->x, dy = w->y - v->y;
        if (!plain || dx * dx + dy * dy >= most * (1.0 - 1e-9))
            longest = std::max(longest, std::hypot(dx, dy));
    }
    return longest;
}

// The edges (plan end points, to the bit) that one ring has and the other
// has not, each edge counted as often as it comes, as boxes with their
// lengths. The edges of the first are filed in an open table: a join's
// rings are long, and this runs for every join.
struct ChangedEdge {
    double box[4];
    double length;
};
std::vector<ChangedEdge> ChangedEdges(const VertexNode* before, const VertexNode* after) {
    using Edge = std::array<std::uint64_t, 4>;
    const auto edgeAt = [](const VertexNode* ring, const VertexNode* v) {
        const VertexNode* w = NextInRing(ring, v);
        return Edge{std::bit_cast<std::uint64_t>(v->x), std::bit_cast<std::uint64_t>(v->y),
                    std::bit_cast<std::uint64_t>(w->x), std::bit_cast<std::uint64_t>(w->y)};
    };
    const std::size_t edges = static_cast<std::size_t>(CountNodes(before));
    std::size_t size = 16;
    while (size < 2 * edges) size *= 2;
    std::vector<Edge> filed;
    std::vector<int> count, slots(size, -1);
    const auto slotOf = [&](const Edge& e) {
        std::uint64_t h = 0xCBF29CE484222325ull;
        for (const std::uint64_t part : e) h = (h ^ part) * 0x100000001B3ull;
        std::size_t slot = static_cast<std::size_t>(h ^ (h >> 31)) & (size - 1);
        while (slots[slot] >= 0 && filed[static_cast<std::size_t>(slots[slot])] != e)
            slot = (slot + 1) & (size - 1);
        return slot;
    };
    for (const VertexNode* v = before; v; v = v->next) {
        const Edge e = edgeAt(before, v);
        const std::size_t slot = slotOf(e);
        if (slots[slot] < 0) {
            slots[slot] = static_cast<int>(filed.size());
            filed.push_back(e);
            count.push_back(0);
        }
        ++count[static_cast<std::size_t>(slots[slot])];
    }
    std::vector<ChangedEdge> changed;
    const auto add = [&](const Edge& e) {
        const double ends[4] = {std::bit_cast<double>(e[0]), std::bit_cast<double>(e[1]),
                                std::bit_cast<double>(e[2]), std::bit_cast<double>(e[3])};
        changed.push_back({{std::min(ends[0], ends[2]), std::min(ends[1], ends[3]),
                            std::max(ends[0], ends[2]), std::max(ends[1], ends[3])},
                           std::hypot(ends[2] - ends[0], ends[3] - ends[1])});
    };
    for (const VertexNode* v = after; v; v = v->next) {
        const Edge e = edgeAt(after, v);
        const int at = slots[slotOf(e)];
        if (at >= 0 && count[static_cast<std::size_t>(at)] > 0)
            --count[static_cast<std::size_t>(at)];
        else
            add(e);
    }
    for (std::size_t k = 0; k < filed.size(); ++k)
        if (count[k] > 0) add(filed[k]);
    return changed;
}

// The join by the plain search: the first pair that joins, in list order,
// searched from the head again after each join.
OutlinePolygon* JoinByScan(OutlinePolygon** list) {
    // Each join starts the search over from the head. A pair that would not
    // join is remembered until one of its pieces is replaced: asked again it
    // would answer the same, and many pieces would make the search cubic.
    std::set<std::pair<const OutlinePolygon*, const OutlinePolygon*>> apart;
    VertexNode* union_ = nullptr;
    auto forget = [&apart](const OutlinePolygon* p) {
        for (auto it = apart.begin(); it != apart.end();)
            it = it->first == p || it->second == p ? apart.erase(it) : std::next(it);
    };
    // The pair to join, found before either piece is freed: the walk never
    // steps on from a piece the join has freed.
    auto joinable = [&]() -> std::pair<OutlinePolygon*, OutlinePolygon*> {
        for (OutlinePolygon* a = *list; a; a = a->next)
            for (OutlinePolygon* b = a->next; b; b = b->next) {
                if (SameHalf(a, b) || BoxesApart(a, b, Tol100()) || apart.count({a, b})) continue;
                union_ = UnionOfPieces(a, b);
                if (!union_) {
                    apart.insert({a, b});
                    continue;
                }
                return {a, b};
            }
        return {nullptr, nullptr};
    };
    while (true) {
        const auto [a, b] = joinable();
        if (!a) break;
        forget(a);
        forget(b);
        DropPiece(list, b);
        OutlinePolygon* merged = NewOutlinePolygon(union_);
        union_ = nullptr;
        forget(merged);
        ReplacePiece(list, a, merged);
    }
    for (OutlinePolygon* p = *list; p;) {
        OutlinePolygon* next = p->next;
        if (CountNodes(p->ring) < 3) DropPiece(list, p);
        p = next;
    }
    return *list;
}

// The same joins as JoinByScan, in the same order, with the pairs looked
// up in a plan index of the pieces as they were given. A joined piece
// keeps the place, and takes over the index entries, of both it was made
// of: it lies within their boxes, so whatever may join it meets one of
// them. Pairs that come before a join in list order were tried and stay
// apart (neither piece changed), so after a join only the pairs of the new
// piece with those before it are tried before the search goes on from it.
//
// A pair that would not join for lasting reasons is remembered, and is not
// asked again while every edge a join has since changed on either piece
// lies clearly away from the other: the boundary near it is then the same,
// edge for edge, so the pair still stays apart, holds a hole or touches at
// a point. Pieces joining along a floor grow into one piece of hundreds of
// vertices that would otherwise be built into a union with every piece
// near it after each join.
OutlinePolygon* JoinByIndex(OutlinePolygon** list) {
    std::vector<OutlinePolygon*> at;  // by place; null once joined away
    BoxIndex index;
    for (OutlinePolygon* p = *list; p; p = p->next) {
        at.push_back(p);
        index.Add(p->box2d);
    }
    index.Build(Tol100());
    // Each piece's plan box from its ring (pieces laid back from the light
    // still carry the boxes they had there), its longest edge, and what all
    // boxes span.
    std::vector<std::array<double, 4>> ringBox(at.size());
    std::vector<double> longestEdge(at.size());
    double boxes[4] = {1e300, 1e300, -1e300, -1e300};
    for (std::size_t k = 0; k < at.size(); ++k) {
        RingPlanBox(at[k]->ring, ringBox[k].data());
        longestEdge[k] = LongestEdge(at[k]->ring);
        Cover(boxes, at[k]->box2d);
    }
    // Clearly away: beyond the reach of RingsMayMeet's nearness for edges
    // as long as the longest of either ring, four times over (the point
    // location takes a point as on an edge twice as far out).
    const double snap = Tol100();
    const auto awayFor = [snap](double length) { return 4.0 * NearReach(snap, length); };
    std::vector<std::unordered_set<int>> apart(at.size());  // places known not to join, both ways
    // A long piece meets a short one near the short one only: their union
    // is built there, the long piece's far edges carried through whole.
    // Vertices within the snap of another (a piece touching itself) are
    // kept by place, found when first asked for; a union built near the
    // short piece has those of the long one and any new near the short.
    std::vector<int> vertexCount(at.size());
    for (std::size_t k = 0; k < at.size(); ++k) vertexCount[k] = CountNodes(at[k]->ring);
    std::vector<std::optional<std::vector<Point3>>> crowded(at.size());
    std::vector<std::optional<RingPoints>> points(at.size());
    int nearShort = -1, nearLong = -1;  // the pieces of the last union built near the short one
    const auto unionOf = [&](int a, int b) -> VertexNode* {
        if (SameHalf(at[a], at[b]) || apart[a].count(b)) return nullptr;
        bool lasting = false;
        nearShort = -1;
        const int longer = vertexCount[a] >= vertexCount[b] ? a : b, shorter = longer == a ? b : a;
        std::optional<RingNearPart> part;
        if (vertexCount[longer] >= 96 && 4 * vertexCount[shorter] <= vertexCount[longer]) {
            if (!crowded[longer]) crowded[longer] = CrowdedVertices(at[longer]->ring, snap);
            if (!points[longer]) points[longer] = PointsOfRing(at[longer]->ring);
            part = NearPartOf(*points[longer], at[shorter]->ring, snap, *crowded[longer]);
            if (part && 2 * part->farEdges < vertexCount[longer]) part.reset();
        }
        VertexNode* ring =
            UnionOfPieces(at[a], at[b], &lasting, part ? &*part : nullptr, longer == a ? 0 : 1);
        if (ring && part) nearShort = shorter, nearLong = longer;
        if (!ring && lasting) apart[a].insert(b), apart[b].insert(a);
        return ring;
    };
    std::vector<int> owner(at.size());
    for (std::size_t k = 0; k < owner.size(); ++k) owner[k] = static_cast<int>(k);
    const auto find = [&owner](int k) {
        while (owner[k] != k) k = owner[k] = owner[owner[k]];
        return k;
    };
    // The places of the pieces before (or after) piece k whose boxes meet
    // its box, ascending. A piece grown along the floor meets nearly all:
    // its side is then read off place by place rather than looked up and
    // sorted (the lookup only screens; pieces whose boxes meet but whose
    // index entries do not lie apart and never join).
    const double extentArea = (boxes[2] - boxes[0]) * (boxes[3] - boxes[1]);
    std::vector<int> near;
    std::vector<std::uint32_t> seen(at.size(), 0);
    std::uint32_t stamp = 0;
    // The places still holding a piece, ascending, with their boxes side by
    // side: a grown piece reads them all.
    std::vector<int> live(at.size());
    std::iota(live.begin(), live.end(), 0);
    std::vector<std::array<double, 4>> liveBox(at.size());
    for (std::size_t k = 0; k < at.size(); ++k) std::copy_n(at[k]->box2d, 4, liveBox[k].begin());
    const auto nearOf = [&](int k, bool before) {
        near.clear();
        const double* box = at[k]->box2d;
        if ((box[2] - box[0]) * (box[3] - box[1]) * 16.0 > extentArea) {
            const auto from = before ? live.begin() : std::upper_bound(live.begin(), live.end(), k);
            const auto to = before ? std::lower_bound(live.begin(), live.end(), k) : live.end();
            for (auto o = from; o != to; ++o)
                if (!BoxesApart(box, liveBox[*o].data(), Tol100())) near.push_back(*o);
            return near;
        }
        ++stamp;
        for (int e : index.Query(box))
            if (const int o = find(e); (before ? o < k : o > k) && at[o] && seen[o] != stamp &&
                                       !BoxesApart(at[k], at[o], Tol100())) {
                seen[o] = stamp;
                near.push_back(o);
            }
        std::sort(near.begin(), near.end());
        return near;
    };
    // Joins the pieces at places a < b into one at a; the list is linked
    // again from the places at the end.
    const auto join = [&](int a, int b, VertexNode* ring) {
        // What stayed apart from either piece and lies clearly away from
        // the other stays apart from their union.
        std::unordered_set<int> kept;
        // Each changed edge is measured by its own reach: a long wall's
        // shadow joined in reaches no further at its short ends.
        for (const auto& [from, other] : {std::pair{a, b}, std::pair{b, a}}) {
            std::optional<std::vector<ChangedEdge>> found;  // only when a refusal is to be measured
            // What the changed edges cover and the longest of them: a piece
            // away from all that by the reach of the longer is away from
            // each (most refusals lie far from the stretch a join changes).
            double cover[4] = {1e300, 1e300, -1e300, -1e300}, longest = 0.0;
            for (int z : apart[from]) {
                apart[z].erase(from);
                if (z == other) continue;
                if (!found) {
                    found = ChangedEdges(at[from]->ring, ring);
                    for (const ChangedEdge& e : *found)
                        Cover(cover, e.box), longest = std::max(longest, e.length);
                }
                const std::vector<ChangedEdge>& changed = *found;
                const bool away =
                    BoxesApart(ringBox[z].data(), cover, awayFor(std::max(longest, longestEdge[z]))) ||
                    std::all_of(changed.begin(), changed.end(), [&](const ChangedEdge& e) {
                        return BoxesApart(ringBox[z].data(), e.box,
                                          awayFor(std::max(e.length, longestEdge[z])));
                    });
                if (away) kept.insert(z);
            }
        }
        for (int z : kept) apart[z].insert(a);
        apart[a] = std::move(kept);
        apart[b].clear();
        for (int k : {a, b}) {
            at[k]->next = nullptr;
            FreeOutlinePolygons(at[k]);
        }
        at[b] = nullptr;
        owner[b] = a;
        live.erase(std::lower_bound(live.begin(), live.end(), b));
        at[a] = NewOutlinePolygon(ring);
        std::copy_n(at[a]->box2d, 4, liveBox[a].begin());
        if (nearShort >= 0) {
            const double* near = ringBox[nearShort].data();
            const double box[4] = {near[0] - snap, near[1] - snap, near[2] + snap, near[3] + snap};
            std::vector<Point3> crowdedNow = std::move(*crowded[nearLong]);
            for (const Point3& p : CrowdedVertices(ring, snap, box)) crowdedNow.push_back(p);
            crowded[b].reset();
            crowded[a] = std::move(crowdedNow);
        } else {
            crowded[a].reset();
            crowded[b].reset();
        }
        points[a].reset();
        points[b].reset();
        vertexCount[a] = CountNodes(ring);
        std::copy(std::begin(at[a]->box2d), std::end(at[a]->box2d), ringBox[a].begin());
        longestEdge[a] = LongestEdge(ring);
    };
    int pending = -1;  // a joined piece, to be tried with those before it
    for (int cursor = 0; cursor < static_cast<int>(at.size());) {
        if (pending >= 0) {
            bool joined = false;
            for (int x : std::vector<int>(nearOf(pending, true))) {
                if (VertexNode* ring = unionOf(x, pending)) {
                    join(x, pending, ring);
                    pending = x;
                    joined = true;
                    break;
                }
            }
            if (joined) continue;
            cursor = pending;
            pending = -1;
        }
        if (!at[cursor]) {
            ++cursor;
            continue;
        }
        for (int b : std::vector<int>(nearOf(cursor, false))) {
            if (VertexNode* ring = unionOf(cursor, b)) {
                join(cursor, b, ring);
                pending = cursor;
                break;
            }
        }
        if (pending < 0) ++cursor;
    }
    OutlinePolygon** tail = list;
    for (OutlinePolygon* p : at)
        if (p) {
            *tail = p;
            tail = &p->next;
        }
    *tail = nullptr;
    for (OutlinePolygon* p = *list; p;) {
        OutlinePolygon* next = p->next;
        if (CountNodes(p->ring) < 3) DropPiece(list, p);
        p = next;
    }
    return *list;
}

}  // namespace

OutlinePolygon* JoinShadowPieces(OutlinePolygon** list, [[maybe_unused]] int group, bool indexed) {
    return indexed ? JoinByIndex(list) : JoinByScan(list);
}

namespace {

// Lists of more pieces than this are merged half by half first.
constexpr int kMergeByHalves = 64;

// The list cut in two at the middle piece across the longer side of what
// the pieces span, by their box centres; each half keeps list order.
std::pair<OutlinePolygon*, OutlinePolygon*> HalvesOf(OutlinePolygon* list) {
    std::vector<OutlinePolygon*> pieces;
    double span[4] = {1e300, 1e300, -1e300, -1e300};
    for (OutlinePolygon* p = list; p; p = p->next) {
        pieces.push_back(p);
        Cover(span, p->box2d);
    }
    const int axis = span[2] - span[0] >= span[3] - span[1] ? 0 : 1;
    std::vector<std::size_t> order(pieces.size());
    std::iota(order.begin(), order.end(), 0);
    // Ties go by place, so each half holds half the pieces whatever their
    // boxes: the halving always ends.
    const auto before = [&](std::size_t i, std::size_t j) {
        const double ci = pieces[i]->box2d[axis] + pieces[i]->box2d[axis + 2];
        const double cj = pieces[j]->box2d[axis] + pieces[j]->box2d[axis + 2];
        return ci < cj || (!(cj < ci) && i < j);
    };
    const auto middle = order.begin() + static_cast<std::ptrdiff_t>(order.size() / 2);
    std::nth_element(order.begin(), middle, order.end(), before);
    std::vector<bool> first(pieces.size(), false);
    for (auto it = order.begin(); it != middle; ++it) first[*it] = true;
    OutlinePolygon *heads[2] = {nullptr, nullptr}, **tails[2] = {&heads[0], &heads[1]};
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        OutlinePolygon**& tail = tails[first[k] ? 0 : 1];
        *tail = pieces[k];
        tail = &pieces[k]->next;
    }
    *tails[0] = *tails[1] = nullptr;
    return {heads[0], heads[1]};
}

}  // namespace

OutlinePolygon* MergeShadowPieces(OutlinePolygon* list, bool indexed) {
    // The shadows of a whole floor's walls on its slab join into pieces
    // running along the floor; merged in list order, each small piece would
    // be joined into such a long one in turn, costing its length every
    // time. Each half merged alone leaves a few long pieces to join.
    if (CountNodes(list) > kMergeByHalves) {
        auto [first, second] = HalvesOf(list);
        first = MergeShadowPieces(first, indexed);
        second = MergeShadowPieces(second, indexed);
        OutlinePolygon** tail = &first;
        for (; *tail; tail = &(*tail)->next) (*tail)->half = 1;
        *tail = second;
        for (OutlinePolygon* p = second; p; p = p->next) p->half = 2;
        list = first;
    }
    for (int pass = 0; pass < 64; ++pass) {
        const int before = CountNodes(list);
        SplitShadowPieces(&list, 0);
        const int split = CountNodes(list);
        JoinShadowPieces(&list, 0, indexed);
        if (CountNodes(list) == split && split == before) break;
    }
    for (OutlinePolygon* p = list; p; p = p->next) p->half = 0;
    return list;
}
