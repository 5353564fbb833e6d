// The slab queries select the whole drawing once per source kind (slabs,
// opening objects, vaults, stairs) and free every set before they return.
// Planes come from the contour itself, so a surface whose outline lies in
// a vertical plane, or has no plane, is never handed out.
#include "roofs/slab_queries.h"

#include <array>
#include <cmath>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/polygon.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/db/dbdatabase.h"
#include "roofs/slab_openings.h"
#include "roofs/slab_planes.h"
#include "roofs/slab_record.h"

namespace {

constexpr const char* kVaultApp = "VELM6$_$VBOTTE_OBJ-";
constexpr const char* kStair3DApp = "VELM7$_$INFOSCALEST3D-";
constexpr double kFloatMax = 3.4028234663852886e38;

// Every entity holding `app`'s xdata (INSERTs only when insertsOnly).
std::vector<std::array<std::int64_t, 2>> SelectWithApp(const char* app, bool insertsOnly) {
    std::vector<std::array<std::int64_t, 2>> out;
    const host::ResbufList filter(
        insertsOnly ? zcutBuildList(-4, "<and", -3, 1001, app, RTDXF0, "INSERT", -4, "and>", 0)
                    : zcutBuildList(-3, 1001, app, 0));
    ads_name set;
    const int rc = zcedSSGet("X", nullptr, nullptr, filter.get(), set);
    if (rc != RTNORM) return out;
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name member;
        if (zcedSSName(set, i, member) == RTNORM) out.push_back({member[0], member[1]});
    }
    zcedSSFree(set);
    return out;
}

// The flag word of a slab xdata list: -1 when the slab carries none.
int ReadFlagWord(const resbuf* list) {
    const resbuf* rb = FindXDataApp(list, kSlabApp);
    if (!rb) return -1;
    rb = rb->rbnext;
    // name, edge key, thickness, then the optional flag word
    for (int i = 0; i < 3 && rb; ++i) rb = rb->rbnext;
    return rb && rb->restype == 1070 ? rb->resval.rint : -1;
}

double ReadThickness(const resbuf* list) {
    const resbuf* rb = FindXDataApp(list, kSlabApp);
    for (; rb; rb = rb->rbnext)
        if (rb->restype == 1040) return rb->resval.rreal;
    return 0.0;
}

// The outline (first loop) of a slab xdata list, a new list; null without.
VertexNode* SlabOutline(const resbuf* list) {
    ContourNode* loops = ParseSlabLoops(FindXDataApp(list, kSlabApp));
    if (!loops) return nullptr;
    VertexNode* outline = loops->vertices;
    loops->vertices = nullptr;
    FreeListOfLists(loops);
    return outline;
}

bool AnyAbove(const VertexNode* list, double elevation) {
    for (; list; list = list->next)
        if (list->z > elevation) return true;
    return false;
}

void SetAllZ(VertexNode* list, double z) {
    for (; list; list = list->next) list->z = z;
}

// Makes the record of a contour (taken over) at the head of the list, or
// frees the contour when it has no usable plane.
void PushPlane(SlabPlaneRec*& head, VertexNode* contour, bool flatten, double elevation) {
    double a = 0, b = 0, c = 0, d = 0;
    if (!contour || !PolygonNormal(contour, a, b, c, d) || std::fabs(c) < GeomEpsilon) {
        FreeList(contour);
        return;
    }
    if (flatten) SetAllZ(contour, elevation);
    auto* rec = new SlabPlaneRec;
    rec->a = a, rec->b = b, rec->c = c, rec->d = d;
    rec->contour = contour;
    rec->next = head;
    head = rec;
}

// The vertex list without points equal (in 3D) to one already kept.
VertexNode* WithoutRepeats(const std::vector<Point3>& points, int data1) {
    VertexNode* list = nullptr;
    VertexNode** tail = &list;
    for (const Point3& p : points) {
        bool seen = false;
        for (const VertexNode* v = list; v && !seen; v = v->next) seen = PointsEqual(v->pt(), p, true);
        if (seen) continue;
        *tail = NewVertex(p.x, p.y, p.z, 0, data1, 0, 0);
        tail = &(*tail)->next;
    }
    return list;
}

// The vault's surface: its first point and up to three points after it.
VertexNode* VaultSurface(const resbuf* list) {
    const resbuf* rb = FindXDataApp(list, kVaultApp);
    while (rb && rb->restype != 1011) rb = rb->rbnext;
    std::vector<Point3> pts;
    for (; rb && rb->restype == 1011 && pts.size() < 4; rb = rb->rbnext)
        pts.push_back({rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]});
    if (pts.size() < 3) return nullptr;
    VertexNode* surface = WithoutRepeats(pts, 1);
    if (CountNodes(surface) < 3) return FreeList(surface);
    return surface;
}

// Each 1002 group of a stair record, its points in reverse order.
std::vector<VertexNode*> StairSurfaces(const resbuf* list) {
    std::vector<VertexNode*> out;
    const resbuf* rb = FindXDataApp(list, kStair3DApp);
    while (rb && rb->restype != 1002) rb = rb->rbnext;
    while (rb) {
        std::vector<Point3> pts;
        for (rb = rb->rbnext; rb && rb->restype != 1002; rb = rb->rbnext)
            if (rb->restype == 1011)
                pts.push_back({rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]});
        if (pts.size() >= 3) {
            std::vector<Point3> reversed(pts.rbegin(), pts.rend());
            VertexNode* surface = WithoutRepeats(reversed, 1);
            if (CountNodes(surface) >= 3)
                out.push_back(surface);
            else
                FreeList(surface);
        }
    }
    return out;
}

void PushStairSurfaces(SlabPlaneRec*& head, const resbuf* list, double elevation, bool flatten) {
    for (VertexNode* surface : StairSurfaces(list)) {
        if (!AnyAbove(surface, elevation)) {
            FreeList(surface);
            continue;
        }
        PushPlane(head, surface, flatten, elevation);
    }
}

VertexNode* WithoutNotchVertices(VertexNode* outline, const std::vector<VertexNode*>& notches) {
    for (const VertexNode* notch : notches) {
        for (const VertexNode* p = notch; p; p = p->next) {
            for (VertexNode* v = outline; v;) {
                VertexNode* next = v->next;
                if (HostDistance(v->pt(), p->pt()) <= SharedTolerance) RemoveNode(&outline, v);
                v = next;
            }
        }
    }
    return outline;
}

bool ToName(const std::array<std::int64_t, 2>& e, ads_name out) {
    out[0] = e[0];
    out[1] = e[1];
    return true;
}

}  // namespace

SlabPlaneRec* CollectCoveringSlabs(double elevation, bool flatten, bool skipIgnoringWallHeight,
                                   bool skipGirders, bool aboveOnly) {
    SlabPlaneRec* head = nullptr;
    ads_name en;

    std::vector<VertexNode*> notches;
    for (const auto& e : SelectWithApp(kOpeningApp, true)) {
        ToName(e, en);
        const host::ResbufList list(GetEntXData(en, kOpeningApp));
        bool notch = false;
        VertexNode* polygon = list ? ReadOpeningPolygon(list.get(), &notch) : nullptr;
        if (polygon && notch)
            notches.push_back(polygon);
        else
            FreeList(polygon);
    }

    for (const auto& e : SelectWithApp(kSlabApp, true)) {
        ToName(e, en);
        const host::ResbufList list = GetSlabXData(en);
        if (!list) continue;
        int flags = ReadFlagWord(list.get());
        bool skip = false;
        if (IsZProfileWord(flags)) skip = true;
        if (!skip && flags >= kSlabIgnoreWallHeight) {
            flags -= kSlabIgnoreWallHeight;
            skip = skipIgnoringWallHeight;
        }
        if (!skip && flags >= kSlabSingleLayer && skipGirders) skip = true;
        VertexNode* outline = skip ? nullptr : SlabOutline(list.get());
        if (!outline) continue;
        outline = WithoutNotchVertices(outline, notches);
        if (aboveOnly && !AnyAbove(outline, elevation)) {
            FreeList(outline);
            continue;
        }
        PushPlane(head, outline, flatten, elevation);
    }
    for (VertexNode* notch : notches) FreeList(notch);

    for (const auto& e : SelectWithApp(kVaultApp, false)) {
        ToName(e, en);
        const host::ResbufList list(GetEntXData(en, kVaultApp));
        VertexNode* surface = list ? VaultSurface(list.get()) : nullptr;
        if (!surface) continue;
        if (!AnyAbove(surface, elevation)) {
            FreeList(surface);
            continue;
        }
        PushPlane(head, surface, flatten, elevation);
    }

    for (const auto& e : SelectWithApp(kStair3DApp, true)) {
        ToName(e, en);
        const host::ResbufList list(GetEntXData(en, kStair3DApp));
        if (list) PushStairSurfaces(head, list.get(), elevation, flatten);
    }
    return head;
}

SlabPlaneRec* CollectSlabPlanes(const Model3DLevelRec* records, double elevation, std::uint8_t& outSwitch,
                                double& outElevation, bool upper) {
    SlabPlaneRec* head = nullptr;
    for (const Model3DLevelRec* r = records; r; r = r->next) {
        const double chosen = upper ? r->elevation1 : r->elevation2;
        const std::int32_t sw = upper ? r->switch1 : r->switch2;
        if (!upper || chosen != 0.0) outElevation = chosen;
        if (sw > 0) outSwitch = 1;
        if (sw < 0) outSwitch = 0;
        for (const ObjectIdNode* n = upper ? r->ids1 : r->ids2; n; n = n->next) {
            ads_name en;
            if (n->id.isNull() || zcdbGetAdsName(en, n->id) != Zcad::eOk) continue;
            if (const host::ResbufList list = GetSlabXData(en)) {
                const int flags = ReadFlagWord(list.get());
                VertexNode* outline = IsSlabWord(flags) ? SlabOutline(list.get()) : nullptr;
                const double thickness = ReadThickness(list.get());
                if (!outline) continue;
                if (!upper) {
                    // A level plane reports its elevation, not a slope: it
                    // rises by the thickness itself.
                    int kind = 0;
                    const double slope = GetLoopSlope(outline, kind);
                    const double angle = kind == 1 ? std::atan(slope / 100.0) : 0.0;
                    const double rise = thickness / std::cos(angle);
                    for (VertexNode* v = outline; v; v = v->next) v->z += rise;
                }
                PushPlane(head, outline, true, elevation);
                continue;
            }
            if (const host::ResbufList list{GetEntXData(en, kStair3DApp)})
                PushStairSurfaces(head, list.get(), elevation, true);
        }
    }
    return head;
}

const SlabPlaneRec* FindSlabOverSegment(const SlabPlaneRec* records, const Point3& start, const Point3& end,
                                        bool flagA, bool flagB) {
    if (!records) return nullptr;
    if (!records->contour) return records;
    const Point3 mid{(start.x + end.x) / 2.0, (start.y + end.y) / 2.0, (start.z + end.z) / 2.0};
    const bool lowest = flagA != flagB;
    double best = lowest ? kFloatMax : -kFloatMax;
    const SlabPlaneRec* found = nullptr;
    for (const SlabPlaneRec* r = records; r; r = r->next) {
        if (!PolygonContainsPoint(mid, r->contour, 1)) continue;
        const double z = -(r->a * (start.x + end.x) + r->b * (start.y + end.y) + 2.0 * r->d) / (2.0 * r->c);
        if (lowest ? z < best : z > best) {
            best = z;
            found = r;
        }
    }
    return found;
}

VertexNode* SplitSegmentAtSlabs(const Point3& start, const Point3& end, const SlabPlaneRec* records) {
    VertexNode* list = NewVertex(end.x, end.y, end.z, 1, 0, 0, 0);
    list->next = NewVertex(start.x, start.y, start.z, 1, 0, 0, 0);
    const ads_point s{start.x, start.y, start.z}, e{end.x, end.y, end.z};
    for (const SlabPlaneRec* r = records; r; r = r->next) {
        for (const VertexNode* v = r->contour; v; v = v->next) {
            const VertexNode* w = v->next ? v->next : r->contour;
            const ads_point p{v->x, v->y, v->z}, q{w->x, w->y, w->z};
            ads_point hit;
            if (zcdbInters(p, q, s, e, 1, hit) != RTNORM) continue;
            const Point3 x{hit[0], hit[1], hit[2]};
            if (HostDistance(x, start) <= SharedTolerance || HostDistance(x, end) <= SharedTolerance)
                continue;
            bool repeated = false;
            for (const VertexNode* k = list; k && !repeated; k = k->next)
                repeated = k->x == x.x && k->y == x.y && k->z == x.z;
            if (repeated) continue;
            const double here = HostDistance(x, end);
            VertexNode** at = &list;
            while (*at && !(HostDistance((*at)->pt(), end) > here + SharedTolerance)) at = &(*at)->next;
            VertexNode* node = NewVertex(x.x, x.y, x.z, 1, 0, 0, 0);
            node->next = *at;
            *at = node;
        }
    }
    return list;
}
