// Cutting and removing slab openings and notches.
//
// A notch is let into the outline edge that the object's first side faces:
// the side P0-P1 is carried outwards (500 units of the drawing scale) and
// the outline edge crossed by both carried lines nearest to P0 takes the
// notch. The outline runs counter-clockwise, the notch the other way round,
// and the notch is entered at the crossing nearer to the edge's start, so
// the spliced outline stays simple and encloses the slab less the notch.
//
// Removal takes the loop matching the polygon best (most polygon vertices
// within the shared tolerance; a full match at once; ties to the first in
// selection order): two openings sharing a corner each go with their own
// object. Z-profiles (flag word 16 and more) are never cut nor changed.
#include "roofs/slab_openings.h"

#include <cmath>
#include <numbers>

#include "core/base/module_state.h"
#include "core/base/velm_assert.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/polygon.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/adspick.h"
#include "roofs/slab_block.h"
#include "roofs/slab_planes.h"
#include "roofs/slab_record.h"

VertexNode* ReadOpeningPolygon(const resbuf* xdata, bool* notch) {
    if (notch) *notch = false;
    const resbuf* rb = FindXDataApp(xdata, kOpeningApp);
    if (!rb) rb = xdata;
    while (rb && rb->restype != 1070) rb = rb->rbnext;
    if (!rb) return nullptr;
    if (rb->rbnext && rb->rbnext->restype == 1070) {
        if (notch) *notch = rb->resval.rint > 0;
        rb = rb->rbnext;
    }
    VertexNode* list = nullptr;
    for (; rb && rb->restype == 1070 && rb->rbnext && rb->rbnext->restype == 1011; rb = rb->rbnext->rbnext) {
        const double* p = rb->rbnext->resval.rpoint;
        VertexNode* v = NewVertex(p[0], p[1], p[2], rb->resval.rint, 0, 0, 0);
        v->next = list;
        list = v;
    }
    return list;
}

void WriteOpeningXData(const ads_name entity, double a, double b, double c, double d) {
    if (std::fabs(c) < GeomEpsilon) return;
    const host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
    const host::ResbufList list(zcdbEntGetX(entity, apps.get()));
    resbuf* rb = FindXDataApp(list.get(), kOpeningApp);
    if (!rb) return;
    while (rb && rb->restype != 1011) rb = rb->rbnext;
    bool changed = false;
    while (rb && rb->restype == 1011) {
        changed =
            PlaneZ(a, b, c, d, rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]) || changed;
        if (!rb->rbnext || rb->rbnext->restype != 1070) break;
        rb = rb->rbnext->rbnext;
    }
    if (changed) zcdbEntMod(list.get());
}

VertexNode* SelectOpeningObject(ads_name entity) {
    for (;;) {
        ads_point pick;
        const int rc =
            zcedEntSel("\nWybierz schody lub obiekt parametryczny definiujący otwór na płycie", entity, pick);
        if (rc == RTCAN) return nullptr;
        if (rc != RTNORM) {
            if (PickHitNothing()) continue;
            return nullptr;
        }
        const host::ResbufList list(GetEntXData(entity, kOpeningApp));
        VertexNode* polygon =
            list ? RemoveDuplicateVertices(ReadOpeningPolygon(list.get(), nullptr)) : nullptr;
        if (polygon) return polygon;
        zcutPrintf("\nWybrany obiekt nie definiuje otwóru na płycie");
    }
}

namespace {

// The polygon of the object's xdata in xdata order, with its notch flag.
VertexNode* ObjectPolygon(const ads_name object, bool& notch) {
    const host::ResbufList list(GetEntXData(object, kOpeningApp));
    if (!list) return nullptr;
    return ReverseList(ReadOpeningPolygon(list.get(), &notch));
}

// The outline edge (its start) crossed by both carried sides nearest to P0,
// with the two crossings; null when none.
VertexNode* NotchEdge(VertexNode* outline, const Point3& p0, const Point3& p1, Point3& x0, Point3& x1) {
    const double angle = AngleTo(p0, p1) - std::numbers::pi / 2.0;
    const double reach = 500.0 * SettingsUnitFactor();
    const Point3 q0 = PolarPoint(p0, angle, reach), q1 = PolarPoint(p1, angle, reach);
    VertexNode* best = nullptr;
    double nearest = 0.0;
    for (VertexNode* v = outline; v; v = v->next) {
        const VertexNode* w = NextInRing(outline, v);
        Point3 c0, c1;
        if (!IntersectLines2d(v->pt(), w->pt(), p0, q0, c0, 1, ModuleGeomTol)) continue;
        if (!IntersectLines2d(v->pt(), w->pt(), p1, q1, c1, 1, ModuleGeomTol)) continue;
        const double dist = Distance2d(c0, p0);
        if (!best || dist < nearest) {
            best = v;
            nearest = dist;
            x0 = c0;
            x1 = c1;
        }
    }
    return best;
}

// Lets the notch into the outline after `edge`; the polygon is consumed.
void SpliceNotch(VertexNode* edge, VertexNode* polygon, VertexNode* first, VertexNode* second) {
    VELM_ASSERT(edge != nullptr && polygon != nullptr && first != nullptr && second != nullptr);
    // Entered at the crossing nearer to the edge's start.
    VertexNode* entry =
        Distance2d(first->pt(), edge->pt()) <= Distance2d(second->pt(), edge->pt()) ? first : second;
    // Rotate so that the polygon starts at the entry vertex.
    if (entry != polygon) {
        VertexNode* before = polygon;
        while (before->next != entry) before = before->next;
        VertexNode* last = entry;
        while (last->next) last = last->next;
        last->next = polygon;
        before->next = nullptr;
        polygon = entry;
    }
    VertexNode* last = polygon;
    while (last->next) last = last->next;
    last->next = edge->next;
    edge->next = polygon;
}

bool ApplyPlane(VertexNode* list, int loopIndex, double a, double b, double c, double d) {
    for (VertexNode* v = list; v; v = v->next) {
        v->data1 = loopIndex;
        if (!PlaneZ(a, b, c, d, v->x, v->y, v->z)) return false;
    }
    return true;
}

}  // namespace

void CutOpeningIntoSlab(const ads_name object, const ads_name slab) {
    if (!slab || (slab[0] == 0 && slab[1] == 0)) return;
    bool notch = false;
    OwnedList<VertexNode> polygon(ObjectPolygon(object, notch));
    if (CountNodes(polygon.get()) < 3) return;
    CFALDA record;
    double base = 0.0;
    if (!ReadSlabRecord(slab, record, base) || !record.loops) return;
    if (record.zProfile) return;
    ContourNode* outlineLoop = record.loops;
    if (!notch) {
        for (const VertexNode* v = polygon.get(); v; v = v->next)
            if (PointInPolygon(v->pt(), outlineLoop->vertices, kEdgesReported) == kOutsidePolygon) return;
    }
    double a = 0, b = 0, c = 0, d = 0;
    if (!PolygonNormal(outlineLoop->vertices, a, b, c, d) || std::fabs(c) < GeomEpsilon) return;
    WriteOpeningXData(object, a, b, c, d);
    outlineLoop->vertices = NormalizePolygon(1, outlineLoop->vertices, nullptr);

    bool asOpening = !notch;
    if (notch) {
        VertexNode* p0 = polygon.get();
        VertexNode* p1 = p0->next;
        Point3 x0, x1;
        VertexNode* edge = NotchEdge(outlineLoop->vertices, p0->pt(), p1->pt(), x0, x1);
        if (!edge || PointsEqual(x0, x1, false)) {
            asOpening = true;
        } else {
            p0->x = x0.x;
            p0->y = x0.y;
            p1->x = x1.x;
            p1->y = x1.y;
            VertexNode* list = polygon.release();
            if (p1->next && PointsEqual(p1->next->pt(), p1->pt(), false)) RemoveNode(&list, p1->next);
            VertexNode* last = list;
            while (last->next) last = last->next;
            if (last != p0 && last != p1 && PointsEqual(last->pt(), p0->pt(), false)) RemoveNode(&list, last);
            if (!ApplyPlane(list, 0, a, b, c, d)) {
                FreeList(list);
                return;
            }
            list = NormalizePolygon(0, list, nullptr);
            SpliceNotch(edge, list, p0, p1);
            outlineLoop->vertices = RemoveDuplicateVertices(outlineLoop->vertices);
        }
    }
    if (asOpening) {
        const int index = CountNodes(record.loops);
        VertexNode* list = polygon.release();
        if (!ApplyPlane(list, index, a, b, c, d)) {
            FreeList(list);
            return;
        }
        auto* loop = new ContourNode;
        loop->vertices = list;
        ContourNode* tail = record.loops;
        while (tail->next) tail = tail->next;
        tail->next = loop;
    }
    outlineLoop->vertices = RemoveCollinearVertices(outlineLoop->vertices, 0);
    MakeSlabLayerName(record);
    RewriteSlab(record, slab, base, nullptr);
}

namespace {

int MatchCount(const VertexNode* polygon, const VertexNode* loop) {
    int count = 0;
    for (const VertexNode* p = polygon; p; p = p->next) {
        bool near = false;
        for (const VertexNode* v = loop; v && !near; v = v->next)
            near = Distance2d(p->pt(), v->pt()) < SharedTolerance;
        count += near ? 1 : 0;
    }
    return count;
}

// The flag word of a slab xdata list; -1 without one.
int SlabFlagWord(const resbuf* list) {
    for (const resbuf* rb = FindXDataApp(list, kSlabApp); rb; rb = rb->rbnext)
        if (rb->restype == 1070) return rb->resval.rint;
    return -1;
}

}  // namespace

int RemoveOpeningFromSlab(const VertexNode* polygon, ads_name slabName, bool notch) {
    if (slabName) slabName[0] = slabName[1] = 0;
    const int total = CountNodes(polygon);
    if (total == 0) return 0;
    const host::ResbufList filter(zcutBuildList(-3, 1001, kSlabApp, 0));
    ads_name set;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), set) != RTNORM) return 0;

    std::int32_t n = 0;
    zcedSSLength(set, &n);
    ads_name bestSlab{0, 0};
    int bestCount = 0, bestLoop = -1;
    for (std::int32_t i = 0; i < n && bestCount < total; ++i) {
        ads_name member;
        if (zcedSSName(set, i, member) != RTNORM) continue;
        ContourNode* loops = nullptr;
        {
            const host::ResbufList list = GetSlabXData(member);
            const int flags = SlabFlagWord(list.get());
            if (!IsSlabWord(flags)) continue;
            loops = ParseSlabLoops(FindXDataApp(list.get(), kSlabApp));
        }
        int index = 0;
        for (const ContourNode* k = loops; k; k = k->next, ++index) {
            if ((index == 0) != notch) continue;
            const int count = MatchCount(polygon, k->vertices);
            if (count > bestCount) {
                bestCount = count;
                bestLoop = index;
                ads_name_set(member, bestSlab);
            }
            if (bestCount == total) break;
        }
        FreeListOfLists(loops);
    }
    zcedSSFree(set);
    if (bestCount == 0) return 0;

    CFALDA record;
    double floor = 0.0;
    const bool ok =
        ReadSlabRecordFromList(host::ResbufList(GetEntXData(bestSlab, kSlabApp)).get(), record, floor, true);
    double a = 0, b = 0, c = 0, d = 0;
    if (!ok || !record.loops || !PolygonNormal(record.loops->vertices, a, b, c, d)) return 0;
    if (slabName) ads_name_set(bestSlab, slabName);

    if (!notch) {
        ContourNode** link = &record.loops;
        for (int index = 0; *link && index < bestLoop; ++index) link = &(*link)->next;
        if (ContourNode* matched = *link) {
            *link = matched->next;
            matched->next = nullptr;
            delete matched;
        }
        RenumberSlabLoops(record.loops);
    } else {
        for (const VertexNode* p = polygon; p; p = p->next) {
            for (VertexNode* v = record.loops->vertices; v; v = v->next) {
                if (Distance2d(p->pt(), v->pt()) < SharedTolerance) {
                    RemoveNode(&record.loops->vertices, v);
                    break;
                }
            }
        }
    }
    MakeSlabLayerName(record);
    record.loops->vertices = RemoveCollinearVertices(record.loops->vertices, 0);
    RewriteSlab(record, bestSlab, record.linkedToFloor ? floor : 0.0, nullptr);
    return 1;
}

int EraseOpeningObject(const ads_name entity, ads_name slabName) {
    bool notch = false;
    VertexNode* polygon = nullptr;
    bool carried = false;
    {
        const host::ResbufList list(GetEntXData(entity, kOpeningApp));
        carried = list != nullptr;
        if (carried) polygon = ReadOpeningPolygon(list.get(), &notch);
    }
    zcdbEntDel(entity);
    if (!carried) return 0;
    if (polygon) {
        RemoveOpeningFromSlab(polygon, slabName, notch);
        FreeList(polygon);
    }
    return 1;
}
