// The girder commands. A girder hangs under the slab's plane at the
// distance from the slab plus its vertical thickness; its ends are cut at
// the slab outline and, at the picked edge, drawn back by the recess (or
// pushed out by a projection).
#include "roofs/commands/girder_cmds.h"

#include <cmath>
#include <numbers>
#include <string>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/polygon.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "roofs/dialogs/dlg_travetti.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "roofs/girders.h"
#include "roofs/slab_block.h"
#include "roofs/slab_planes.h"
#include "roofs/slab_record.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr const char* kNotSlab = "\nWybrany obiekt nie jest płytą";

// The flag word of the entity's slab xdata; -1 without it.
int SlabFlagWord(const ads_name entity) {
    const host::ResbufList list(GetEntXData(entity, kSlabApp));
    int word = -1;
    const resbuf* rb = FindXDataApp(list.get(), kSlabApp);
    for (; rb && word < 0; rb = rb->rbnext)
        if (rb->restype == 1070) word = rb->resval.rint;
    return word;
}

// The picked slab: its outline (clockwise, every edge flag 1), its plane,
// the picked edge (the vertex starting it) and the point on it.
struct PickedSlab {
    VertexNode* outline = nullptr;
    double a = 0, b = 0, c = 1, d = 0;
    VertexNode* edge = nullptr;
    Point3 pick;
    double slopeAngle = 0.0;  // degrees, 0 for a level slab
    ~PickedSlab() { FreeList(outline); }
    double Z(double x, double y) const { return -(a * x + b * y + d) / c; }
};

// Outline, plane, snapped pick and edge; false (message printed where the
// Part has one) when the slab cannot take girders.
bool ReadPickedSlab(const ads_name entity, const ads_point pt, PickedSlab& slab) {
    slab.outline = GetSlabOutlineVertices(entity);
    if (!slab.outline) {
        zcutPrintf("%s", kNotSlab);
        return false;
    }
    int reversed = 0;
    slab.outline = NormalizePolygon(0, slab.outline, &reversed);
    if (!PolygonNormal(slab.outline, slab.a, slab.b, slab.c, slab.d) || std::fabs(slab.c) < GeomEpsilon)
        return false;
    int kind = 0;
    const double slope = GetLoopSlope(slab.outline, kind);
    slab.slopeAngle = kind == 1 ? std::atan(slope / 100.0) * 180.0 / std::numbers::pi : 0.0;
    ads_point snapped;
    if (zcedOsnap(pt, "_NEAR", snapped) != RTNORM) {
        zcutPrintf("%s", "\nWybrany punkt nie jest na krawędzi");
        return false;
    }
    slab.pick = {snapped[0], snapped[1], 0.0};
    slab.pick.z = slab.Z(slab.pick.x, slab.pick.y);
    const Point3 flat{slab.pick.x, slab.pick.y, 0.0};
    for (VertexNode* v = slab.outline; v && !slab.edge; v = v->next) {
        const VertexNode* w = NextInRing(slab.outline, v);
        if (IsPointOnSegment(flat, {v->x, v->y, 0.0}, {w->x, w->y, 0.0})) slab.edge = v;
    }
    if (!slab.edge) {
        zcutPrintf("%s", "\nWybrany punkt nie jest na krawędzi");
        return false;
    }
    return true;
}

// Asks for a slab edge until a slab is picked: 1 picked, 0 ended, 2 a
// keyword (in `keyword`).
int PickSlab(const char* prompt, const char* keywords, ads_name entity, ads_point pt, std::string& keyword) {
    for (;;) {
        zcedInitGet(0, keywords);
        const int rc = zcedEntSel(prompt, entity, pt);
        if (rc == RTKWORD) {
            char text[64] = "";
            zcedGetInput(text);
            keyword = text;
            return 2;
        }
        if (rc != RTNORM) {
            if (rc != RTCAN && PickHitNothing()) continue;
            return 0;
        }
        const int word = SlabFlagWord(entity);
        if (IsSlabWord(word)) return 1;
        zcutPrintf("%s", kNotSlab);
    }
}

struct GirderValues {
    double width, height, distance, start, end, recess;
    int number;
    bool rotate;
    std::string layer;
};

GirderValues ReadGirderValues() {
    GirderValues g;
    g.width = SettingReal(SetupVar::SETTRA_LARGHEZ);
    g.height = SettingReal(SetupVar::SETTRA_ALTEZZA);
    g.distance = SettingReal(SetupVar::SETTRA_DISTANZ);
    g.layer = SettingString(SetupVar::SETTRA_LAYEREN);
    g.number = SettingInt(SetupVar::SETTRA_NUMTRAV);
    g.start = SettingReal(SetupVar::SETTRA_DISTINI);
    g.end = SettingReal(SetupVar::SETTRA_DISTFIN);
    g.rotate = SettingInt(SetupVar::SETTRA_RUOTARE) > 0;
    g.recess = SettingReal(SetupVar::SETTRA_RIENTRANZA);
    return g;
}

// The footprint of the girder along p1-p2 under the slab, the recess
// applied at the picked edge; false when there is none.
bool GirderCorners(const PickedSlab& slab, const VertexNode* flatOutline, const Point3& p1, const Point3& p2,
                   double width, double height, double distance, double recess, Point3 corners[4]) {
    GirderFootprint f;
    if (!ComputeGirders(p1, p2, flatOutline, width, f)) return false;
    // The picked edge of the flat copy is the one at the same place.
    int index = 0;
    for (const VertexNode* v = slab.outline; v != slab.edge; v = v->next) ++index;
    const VertexNode* picked = flatOutline;
    for (int i = 0; i < index; ++i) picked = picked->next;
    for (int k = 0; k < 4; ++k) corners[k] = f.corners[k];
    // Ends at the picked edge move along the axis, into the girder (out of
    // it for a projection).
    const Point3 c0 = corners[0], c1 = corners[1], c2 = corners[2], c3 = corners[3];
    const bool atStart = f.startEdges[0] == picked || f.startEdges[1] == picked;
    const bool atEnd = f.endEdges[0] == picked || f.endEdges[1] == picked;
    if (atStart && recess != 0.0) {
        corners[0] = PolarPoint(c0, AngleTo(c0, c1), recess);
        corners[3] = PolarPoint(c3, AngleTo(c3, c2), recess);
    }
    if (atEnd && recess != 0.0) {
        corners[1] = PolarPoint(c1, AngleTo(c1, c0), recess);
        corners[2] = PolarPoint(c2, AngleTo(c2, c3), recess);
    }
    const double drop = SlopeLength(height, slab.slopeAngle) + distance;
    for (int k = 0; k < 4; ++k) corners[k].z = slab.Z(corners[k].x, corners[k].y) - drop;
    return true;
}

// Writes one girder: its block and its INSERT; false when nothing was made.
bool WriteGirder(CFALDA& record, const Point3 corners[4], bool rotate, bool plan) {
    FreeListOfLists(record.loops);
    record.loops = new ContourNode;
    for (int k = 0; k < 4; ++k) AppendVertex(&record.loops->vertices, corners[k], 1, 0, 0);
    std::string block;
    host::ResbufList xdata = MakeGirderBlock(record, rotate, plan, block);
    if (!xdata) return false;
    const ads_point origin{0.0, 0.0, 0.0};
    const host::ResbufList list(
        zcutBuildList(RTDXF0, "INSERT", 2, block.c_str(), 8, record.name.c_str(), 10, origin, 50, 0.0, 0));
    resbuf* tail = list.get();
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = xdata.release();
    return zcdbEntMake(list.get()) == RTNORM;
}

VertexNode* FlatCopy(const VertexNode* outline) {
    VertexNode* copy = CopyVertexList(outline);
    for (VertexNode* v = copy; v; v = v->next) v->z = 0.0;
    return copy;
}

void StartGirderRecord(CFALDA& record, const std::string& layer, double height, double slopeAngle) {
    record.name = layer;
    record.thickness = height;
    record.slope = slopeAngle;
    DecodeSlabFlags(record, kSlabSingleLayer);
    MakeSlabLayerName(record);
}

}  // namespace

void CmdGirders() {
    bool angleMode = false;
    double angle = 0.0;
    bool plan = false;
    ads_name entity;
    ads_point pt;
    for (;;) {
        std::string keyword;
        const int got =
            angleMode
                ? PickSlab("\nWybierz krawedź płyty, od której jest obliczane wgłębienie/występ lub [Opcje]:",
                           "Opcje", entity, pt, keyword)
                : PickSlab("\nWybierz krawędź płyty, która będzie prostopadła do dźwigarów lub [Opcje/Kąt]:",
                           "Opcje Kąt", entity, pt, keyword);
        if (got == 0) return;
        if (got == 1) break;
        if (keyword == "Kąt") {
            ads_real value = 0.0;
            if (GetAngleInRange(0, nullptr, nullptr, "\nOkreśl kąt prostopadły do dźwigarów:", &value) ==
                RTNORM) {
                angle = value;
                angleMode = true;
            }
        } else {
            CDlgTravetti dialog(false);
            const INT_PTR result = RunModuleDialog(dialog);
            if (result != IDOK) return;
            plan = dialog.m_plan != 0;
        }
    }

    GirderValues g = ReadGirderValues();
    PickedSlab slab;
    if (!ReadPickedSlab(entity, pt, slab)) return;

    // The reference line and the slab's extent along it.
    const VertexNode* next = NextInRing(slab.outline, slab.edge);
    const Point3 origin{slab.edge->x, slab.edge->y, 0.0};
    const double ref = angleMode ? angle : AngleTo(origin, {next->x, next->y, 0.0});
    const double ux = std::cos(ref), uy = std::sin(ref);
    double tMin = 0.0, tMax = 0.0;
    bool first = true;
    for (const VertexNode* v = slab.outline; v; v = v->next) {
        const double t = (v->x - origin.x) * ux + (v->y - origin.y) * uy;
        tMin = first ? t : std::min(tMin, t);
        tMax = first ? t : std::max(tMax, t);
        first = false;
    }
    double L = tMax - tMin;
    const double alpha = slab.slopeAngle * std::numbers::pi / 180.0;
    double w = g.width;
    if (g.rotate) {
        w *= std::cos(alpha);
        L /= std::cos(alpha);
    }
    const int n = std::max(1, g.number);
    // One girder needs only the room for itself.
    double S = n > 1 ? (L - g.start - g.end - w) / (n - 1) : 0.0;
    const bool fits = n > 1 ? S >= w : L - g.start - g.end - w >= 0.0;
    if (!fits) {
        zcutPrintf("%s",
                   "\nNie można wstawić dźwigarów.\nKrawędź płyty jest zbyt krótka dla odległości i liczby "
                   "dźwigarów.");
        return;
    }

    CFALDA record;
    StartGirderRecord(record, g.layer, g.height, slab.slopeAngle);
    double start = g.start;
    if (g.rotate) {
        start = start * std::cos(alpha) + g.height * std::sin(alpha);
        S *= std::cos(alpha);
    }
    VertexNode* flat = FlatCopy(slab.outline);
    for (int i = 0; i < n; ++i) {
        const double t = tMin + start + w / 2.0 + i * S;
        const Point3 p1{origin.x + t * ux, origin.y + t * uy, 0.0};
        const Point3 p2 = PolarPoint(p1, ref + std::numbers::pi / 2.0, 1.0);
        Point3 corners[4];
        if (!GirderCorners(slab, flat, p1, p2, w, g.height, g.distance, g.recess, corners)) continue;
        WriteGirder(record, corners, g.rotate, plan);
    }
    FreeList(flat);
}

void CmdRebuildGirders() {
    CDlgTravetti dialog(true);
    const INT_PTR result = RunModuleDialog(dialog);
    if (result != IDOK) return;
    const bool plan = dialog.m_plan != 0;

    ads_name entity;
    ads_point pt;
    std::string keyword;
    if (PickSlab("\nWybierz krawedź płyty, od której jest obliczane wgłębienie/występ dźwigarów:", "", entity,
                 pt, keyword) != 1)
        return;
    PickedSlab slab;
    if (!ReadPickedSlab(entity, pt, slab)) return;

    const char* prompts[2] = {"Wybierz dźwigary, które chcesz aktualizować:",
                              "Usuń obiekt z wybranego zbioru:"};
    ads_name set;
    if (zcedSSGet(":$", prompts, nullptr, nullptr, set) != RTNORM) return;
    const GirderValues g = ReadGirderValues();
    VertexNode* flat = FlatCopy(slab.outline);
    std::int32_t count = 0;
    zcedSSLength(set, &count);
    for (std::int32_t i = 0; i < count; ++i) {
        ads_name girder;
        if (zcedSSName(set, i, girder) != RTNORM) continue;
        const int word = SlabFlagWord(girder);
        if (!IsGirderWord(word)) continue;
        CFALDA old;
        double E = 0.0;
        if (!ReadSlabRecord(girder, old, E) || !old.loops || CountNodes(old.loops->vertices) != 4) continue;
        Point3 c[4];
        int k = 0;
        for (const VertexNode* v = old.loops->vertices; v; v = v->next, ++k) c[k] = {v->x, v->y, 0.0};
        Point3 m1, m2;
        MidPoint(c[0], c[3], m1);
        MidPoint(c[1], c[2], m2);
        Point3 foot;
        PerpendicularFoot(c[3], c[0], c[1], foot);
        const double width = Distance2d(foot, c[3]);
        Point3 corners[4];
        if (!GirderCorners(slab, flat, m1, m2, width, old.thickness, g.distance, g.recess, corners)) continue;
        CFALDA record;
        StartGirderRecord(record, g.layer, old.thickness, slab.slopeAngle);
        // The old girder goes only once its successor is written.
        if (WriteGirder(record, corners, g.rotate, plan)) zcdbEntDel(girder);
    }
    FreeList(flat);
    zcedSSFree(set);
}
