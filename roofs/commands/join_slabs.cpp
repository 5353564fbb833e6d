// The projection of two slabs onto a target roof slab. For each slab the
// picked edge V-W is replaced by P-Q, where the slab's neighbouring edges
// (the one before V, the one after W) meet the target's plane; the target
// then gets the joined edges as an opening when they lie wholly inside it,
// or as a notch let into the first outline edge both cross.
//
// Everything is computed before anything is written: a slab or target
// that cannot be joined prints its message and leaves all three slabs as
// they were. Each slab keeps its own loop (order, hidden and approximated
// edge flags) with only V and W moved, and is written again at the floor
// elevation it was read at.
#include "roofs/commands/join_slabs.h"

#include <cmath>
#include <utility>

#include "core/base/module_state.h"
#include "core/geometry/polygon.h"
#include "core/geometry/vertex_list.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ed/adspick.h"
#include "host/ed/grdraw.h"
#include "host/ge/geplane.h"
#include "roofs/commands/slab_edit.h"
#include "roofs/slab_block.h"
#include "roofs/slab_record.h"

bool IntersectLineWithSlabPlane(const ads_name slab, Point3& out, const Point3& a, const Point3& b) {
    VertexNode* outline = GetSlabOutlineVertices(slab);
    double pa = 0, pb = 0, pc = 0, pd = 0;
    const bool plane = PolygonNormal(outline, pa, pb, pc, pd);
    FreeList(outline);
    if (!plane || !(std::fabs(pc) >= GeomEpsilon)) return false;
    const ZcGePlane target(pa, pb, pc, pd);
    if (HostDistance(a, b) < GeomEpsilon) return false;
    const ZcGeLine3d line(ZcGePoint3d(a.x, a.y, a.z), ZcGePoint3d(b.x, b.y, b.z));
    ZcGePoint3d hit;
    if (!target.intersectWith(line, hit)) return false;
    out = {hit.x, hit.y, hit.z};
    return true;
}

namespace {

bool Inside(const Point3& p, const VertexNode* outline) {
    return PointInPolygon(p, outline, kEdgesReported) != kOutsidePolygon;
}

bool Equal(const Point3& p, const Point3& q) {
    return PointsEqual(p, q, true);
}

// The crossing of the bounded segments a-b and c-d.
bool SegmentsCross(const Point3& a, const Point3& b, const Point3& c, const Point3& d, Point3& at) {
    const ads_point p1{a.x, a.y, a.z}, p2{b.x, b.y, b.z}, q1{c.x, c.y, c.z}, q2{d.x, d.y, d.z};
    ads_point r;
    if (zcdbInters(p1, p2, q1, q2, 1, r) != RTNORM) return false;
    at = {r[0], r[1], r[2]};
    return true;
}

PickVerdict CheckEditableSlab(const ads_name entity) {
    const SlabXDataInfo info = InspectSlabXData(entity);
    if (info.present && info.flagged && info.flagWord < kSlabZProfile) return PickVerdict::Take;
    zcutPrintf("\nWybrany obiekt nie jest płytą");
    return PickVerdict::AskAgain;
}

// Asks until an entity passes `check`; false on a cancel or an error.
template <class Check>
bool PickSlab(const char* prompt, ads_name entity, Point3& at, Check check) {
    for (;;) {
        ads_point pt;
        const int rc = zcedEntSel(prompt, entity, pt);
        if (rc == RTNORM) {
            if (!check(entity)) continue;
            at = {pt[0], pt[1], pt[2]};
            return true;
        }
        if (rc != RTCAN && PickHitNothing()) continue;
        return false;
    }
}

// One slab to join: its entity, the snapped pick, and after the projection
// its record with V and W moved and the joined edge's ends.
struct JoinedSlab {
    ads_name entity{0, 0};
    Point3 pick;
    CFALDA record;
    double floor = 0.0;
    Point3 P, Q;
};

// Projects the slab's picked edge onto the target; false, with the slab
// highlighted and its message printed, when it cannot be.
bool ProjectSlab(JoinedSlab& s, const ads_name target, const VertexNode* targetOutline) {
    auto fail = [&s](const char* message) {
        zcutPrintf("%s", message);
        zcedRedraw(s.entity, 3);
        return false;
    };
    VertexNode* outline = GetSlabOutlineVertices(s.entity);
    const Point3 flat{s.pick.x, s.pick.y, 0.0};
    VertexNode* V = nullptr;
    for (VertexNode* v = outline; v && !V; v = v->next) {
        const VertexNode* w = NextInRing(outline, v);
        if (IsPointOnSegment(flat, {v->x, v->y, 0.0}, {w->x, w->y, 0.0})) V = v;
    }
    if (!V) {
        FreeList(outline);
        return fail("\nWybrana krawędź płyty może nie być poprawnie znaleziona");
    }
    VertexNode* W = NextInRing(outline, V);
    const Point3 before = PrevInRing(outline, V)->pt();
    const Point3 after = NextInRing(outline, W)->pt();
    const Point3 v = V->pt(), w = W->pt();
    FreeList(outline);
    if (!IntersectLineWithSlabPlane(target, s.P, before, v) ||
        !IntersectLineWithSlabPlane(target, s.Q, w, after))
        return fail("\nPunkty podświetlonej płyty nie przecinają się z płytą docelową");
    if (!Inside(s.P, targetOutline) && !Inside(s.Q, targetOutline))
        return fail("\nPodświetlonej płyty nie można zrzutować na płytę docelową");
    if (!ReadSlabRecord(s.entity, s.record, s.floor) || !s.record.loops)
        return fail("\nWybrana krawędź płyty może nie być poprawnie znaleziona");
    // V and W move in the slab's own loop: its order and edge flags stay.
    VertexNode* movedV = nullptr;
    VertexNode* movedW = nullptr;
    for (VertexNode* x = s.record.loops->vertices; x; x = x->next) {
        if (!movedV && Equal(x->pt(), v))
            movedV = x;
        else if (!movedW && Equal(x->pt(), w))
            movedW = x;
    }
    if (!movedV || !movedW) return fail("\nWybrana krawędź płyty może nie być poprawnie znaleziona");
    movedV->setPt(s.P);
    movedW->setPt(s.Q);
    return true;
}

// The two joined edges made to run from their outer ends P to their inner
// ends Q.
void OrderJoinedEdges(Point3& P1, Point3& Q1, Point3& P2, Point3& Q2) {
    Point3 at;
    if (Equal(P1, P2)) {
        std::swap(P1, Q1);
        std::swap(P2, Q2);
    } else if (Equal(Q1, P2)) {
        std::swap(P2, Q2);
    } else if (Equal(P1, Q2)) {
        std::swap(P1, Q1);
    } else if (!Equal(Q1, Q2) && SegmentsCross(Q1, Q2, P1, P2, at)) {
        std::swap(P1, Q1);
    }
}

void InsertAfter(VertexNode* at, const Point3& p) {
    VertexNode* v = NewVertex(p.x, p.y, p.z, 1, 0, 0, 0);
    v->next = at->next;
    at->next = v;
}

// Lets the joined edges into the target's loops: an opening when all four
// ends lie in its outline, else a notch. False when neither can be made.
bool CutTarget(CFALDA& target, Point3 P1, Point3 Q1, Point3 P2, Point3 Q2) {
    VertexNode* outline = target.loops->vertices;
    if (Inside(P1, outline) && Inside(Q1, outline) && Inside(P2, outline) && Inside(Q2, outline)) {
        int index = 0;
        ContourNode* last = target.loops;
        for (; last->next; last = last->next) ++index;
        ++index;
        auto* loop = new ContourNode;
        AppendVertex(&loop->vertices, P1, 1, index, 0);
        AppendVertex(&loop->vertices, Q1, 1, index, 0);
        if (!Equal(Q1, Q2)) AppendVertex(&loop->vertices, Q2, 1, index, 0);
        AppendVertex(&loop->vertices, P2, 1, index, 0);
        last->next = loop;
        return true;
    }
    for (VertexNode* S = outline; S; S = S->next) {
        const VertexNode* next = NextInRing(outline, S);
        Point3 C1, C2;
        if (!SegmentsCross(P1, Q1, S->pt(), next->pt(), C1) ||
            !SegmentsCross(P2, Q2, S->pt(), next->pt(), C2))
            continue;
        if (Equal(C1, C2)) return false;
        if (HostDistance(C2, S->pt()) < HostDistance(C1, S->pt())) {
            std::swap(P1, P2);
            std::swap(Q1, Q2);
            std::swap(C1, C2);
        }
        const Point3* inner1 = nullptr;
        const Point3* inner2 = nullptr;
        if (Inside(P1, outline) && Inside(P2, outline)) {
            inner1 = &P1;
            inner2 = &P2;
        } else if (Inside(Q1, outline) && Inside(Q2, outline)) {
            inner1 = &Q1;
            inner2 = &Q2;
        } else {
            return false;
        }
        // Inserted after S in reverse, each after S: C1 comes first.
        InsertAfter(S, C2);
        if (!Equal(*inner2, *inner1)) InsertAfter(S, *inner2);
        InsertAfter(S, *inner1);
        InsertAfter(S, C1);
        return true;
    }
    return false;
}

}  // namespace

void CmdJoin3Slabs() {
    ads_name target{0, 0};
    Point3 unused;
    if (!PickSlab("\nWybierz płytę dachu docelowego:", target, unused,
                  [](const ads_name e) { return CheckEditableSlab(e) == PickVerdict::Take; }))
        return;
    zcedRedraw(target, 3);

    JoinedSlab slabs[2];
    const char* prompts[2] = {"\nWybierz krawędź pierwszej płyty, którą chcesz zrzutować:",
                              "\nWybierz krawędź drugiej płyty, którą chcesz zrzutować:"};
    for (int i = 0; i < 2; ++i) {
        auto check = [&](const ads_name e) {
            if (ads_name_equal(e, target)) {
                zcutPrintf("\nNie można zrzutować płyty docelowej");
                return false;
            }
            if (i == 1 && ads_name_equal(e, slabs[0].entity)) {
                zcutPrintf("\nNie można wybrać pierwszej płyty dwukrotnie");
                return false;
            }
            return CheckEditableSlab(e) == PickVerdict::Take;
        };
        if (!PickSlab(prompts[i], slabs[i].entity, slabs[i].pick, check)) {
            zcedRedraw(target, 4);
            if (i == 1) zcedRedraw(slabs[0].entity, 4);
            return;
        }
        const ads_point pick{slabs[i].pick.x, slabs[i].pick.y, slabs[i].pick.z};
        ads_point snapped;
        if (zcedOsnap(pick, "_NEAR", snapped) == RTNORM) slabs[i].pick = {snapped[0], snapped[1], snapped[2]};
        zcedRedraw(slabs[i].entity, 3);
    }
    zcedRedraw(target, 4);
    zcedRedraw(slabs[0].entity, 4);
    zcedRedraw(slabs[1].entity, 4);

    VertexNode* targetOutline = GetSlabOutlineVertices(target);
    bool ok = ProjectSlab(slabs[0], target, targetOutline) && ProjectSlab(slabs[1], target, targetOutline);
    FreeList(targetOutline);
    if (!ok) return;

    Point3 P1 = slabs[0].P, Q1 = slabs[0].Q, P2 = slabs[1].P, Q2 = slabs[1].Q;
    OrderJoinedEdges(P1, Q1, P2, Q2);

    CFALDA targetRecord;
    double targetFloor = 0.0;
    if (!ReadSlabRecord(target, targetRecord, targetFloor) || !targetRecord.loops ||
        !CutTarget(targetRecord, P1, Q1, P2, Q2)) {
        zcutPrintf("\nNie jest możliwe modyfikowanie docelowej płyty");
        return;
    }

    for (JoinedSlab& s : slabs) {
        MakeSlabLayerName(s.record);
        RewriteSlab(s.record, s.entity, s.floor, nullptr);
    }
    MakeSlabLayerName(targetRecord);
    RewriteSlab(targetRecord, target, targetFloor, nullptr);
}
