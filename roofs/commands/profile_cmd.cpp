// The profile sweep command: the path by points, by the outline through a
// picked wall line or by picked path elements; the section picked and
// placed; the path checked (no vertical segment, no turn back on itself)
// before anything is written.
#include "roofs/commands/profile_cmd.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_readers.h"
#include "core/geometry/host_geometry.h"
#include "core/geometry/point_input.h"
#include "core/geometry/polygon.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/adspick.h"
#include "host/ed/grdraw.h"
#include "host/ed/prompts.h"
#include "host/ui/hostdialogs.h"
#include "roofs/dialogs/dlg_cornicioni.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "roofs/outline_select.h"
#include "roofs/profile_sweep.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

void DrawPath(const VertexNode* path, bool closed) {
    for (const VertexNode* v = path; v; v = v->next) {
        const VertexNode* w = v->next ? v->next : (closed ? path : nullptr);
        if (!w) break;
        const ads_point from{v->x, v->y, v->z}, to{w->x, w->y, w->z};
        zcedGrDraw(from, to, 8, 1);
    }
}

void ClearPath() {
    zcedRedraw(nullptr, 1);
}

// The first element as points from its end nearer the pick; P1 and P2 get
// its ends in that order. Null when an arc cannot be tessellated.
VertexNode* FirstElementPoints(SegmentRec& s, const Point3& pick, double step, Point3& P1, Point3& P2) {
    if (s.kind == SegmentRec::kArc) {
        const Point3 centre = s.first();
        const double radius = s.geom[3], start = s.geom[4], end = s.geom[5];
        VertexNode* list = ArcToVertices(step, centre, radius, start, end, nullptr, true);
        if (!list) {
            zcedAlert("\nPrzybliżenie zakrzywionej ściany jest zbyt duże");
            return nullptr;
        }
        for (VertexNode* v = list; v; v = v->next) v->edgeFlag = 1;
        P1 = PolarPoint(centre, start, radius);
        P2 = PolarPoint(centre, end, radius);
        const double pickAngle = AngleTo(centre, pick);
        if (AngleDiffCcw(pickAngle, end) < AngleDiffCcw(start, pickAngle)) {
            SwapPoints(P1, P2);
            list = ReverseList(list);
        }
        return list;
    }
    P1 = s.first();
    P2 = s.second();
    if (Distance2d(pick, P2) < Distance2d(pick, P1)) SwapPoints(P1, P2);
    VertexNode* list = nullptr;
    AppendVertex(&list, P1, 1, 0, 0);
    AppendVertex(&list, P2, 1, 0, 0);
    return list;
}

SegmentRec* LineOrArc(const ads_name entity, const std::string& type) {
    if (type == "LINE") {
        Point3 a, b;
        if (!GetLineData(entity, a, b)) return nullptr;
        const double geom[6] = {a.x, a.y, a.z, b.x, b.y, b.z};
        return new SegmentRec(geom, nullptr, SegmentRec::kLine, nullptr);
    }
    ArcRecord arc;
    if (!GetArcData(entity, arc, nullptr)) return nullptr;
    const double geom[6] = {arc.centre.x, arc.centre.y,   arc.centre.z,
                            arc.radius,   arc.startAngle, arc.endAngle};
    return new SegmentRec(geom, nullptr, SegmentRec::kArc, nullptr);
}

}  // namespace

int SelectCurveDefinition(CPROFILI& profile, double arcStep) {
    FreeList(profile.path);
    profile.path = nullptr;
    for (;;) {
        ads_name entity;
        ads_point pt;
        const int rc =
            zcedEntSel("\nWybierz element definicji krzywej, w pobliżu punktu początkowego:", entity, pt);
        if (rc == RTCAN) return rc;
        if (rc != RTNORM) {
            if (PickHitNothing()) continue;
            return rc;
        }
        std::string type;
        GetEntTypeAndColor(entity, type);
        if (type != "LINE" && type != "ARC" && type != "LWPOLYLINE") {
            zcutPrintf("%s", "\nDefinicja krzywej może być wykonana tylko z linii, łuków i polilinii");
            continue;
        }
        ads_point snapped;
        if (zcedOsnap(pt, "_NEAR", snapped) == RTNORM) ads_point_set(snapped, pt);
        const Point3 pick{pt[0], pt[1], pt[2]};
        SegmentRec* segments = nullptr;
        if (type == "LWPOLYLINE") {
            std::optional<PolylineData> data = ReadPolylineData(entity);
            if (data) segments = PolylineToSegments(*data, pick);
            if (!segments) continue;
        } else {
            const host::ResbufList filter(
                zcutBuildList(-4, "<or", RTDXF0, "LINE", RTDXF0, "ARC", -4, "or>", 0));
            ads_name set;
            const int got = zcedSSGet("X", nullptr, nullptr, filter.get(), set);
            if (got == RTNORM) {
                segments = ChainLinesArcs(entity, set);
                zcedSSFree(set);
            } else {
                segments = LineOrArc(entity, type);
            }
            if (!segments) return RTERROR;
        }
        Point3 P1, P2;
        VertexNode* first = FirstElementPoints(*segments, pick, arcStep, P1, P2);
        if (!first) {
            FreeList(segments);
            return RTERROR;
        }
        OutlineReport report;
        profile.path = BuildPolygonFromSegments(0, segments->next, P1, P2, first, 2, true, arcStep, nullptr,
                                                DrawingChordStep(), &report);
        ShowOutlineReport(report);
        FreeList(segments);
        return RTNORM;
    }
}

void CmdProfileSweep() {
    DLG_CORNICIONI dialog;
    dialog.Load();
    const INT_PTR result = RunModuleDialog(dialog);
    if (result != IDOK || dialog.m_mode < 0) return;
    dialog.Store();
    CPROFILI profile;
    profile.layer = dialog.m_layer;
    profile.offset = dialog.m_offset;
    profile.uniqueBlock = dialog.m_uniqueBlock != 0;
    profile.verticalAxis = dialog.m_verticalAxis != 0;

    if (dialog.m_mode == 0) {
        zcutPrintf(
            "%s",
            "\nPo ostatnim punkcie jeszcze raz wybierz pierwszy punkt, jeśli chcesz zamknąć generowanie.");
        PointInputPortInRange port;
        std::string keyword;
        int closedSet = 0;
        VertexNode* list = nullptr;
        const int n = InputPointList(port, "", "\nOkreśl pierwszy punkt:", "[Cofnij] Numer punktu", keyword,
                                     list, closedSet, 1, 0);
        if (n <= 0) {
            FreeList(list);
            return;
        }
        if (n == 1) {
            FreeList(list);
            zcutPrintf("%s", "\nMusisz wybrać co najmniej dwa punkty");
            return;
        }
        profile.path = list;
    } else if (dialog.m_mode == 1) {
        ads_name picked;
        Point3 pick;
        profile.path = SelectFloorOutline(0, SettingReal(SetupVar::SQPAV), picked, &pick);
        if (!profile.path) return;
        profile.OrientPath(picked, pick);
        VertexNode* last = profile.path;
        while (last->next) last = last->next;
        VertexNode* copy = NewVertex(last->x, last->y, last->z, last->edgeFlag, 0, 0, 0);
        copy->next = profile.path;
        profile.path = copy;
    } else {
        if (SelectCurveDefinition(profile, dialog.m_arcStep) != RTNORM || !profile.path) return;
    }

    VertexNode* last = profile.path;
    while (last->next) last = last->next;
    if (profile.path != last && PointsEqual(profile.path->pt(), last->pt(), true)) {
        VertexNode* first = profile.path;
        profile.path = first->next;
        delete first;
        profile.closed = true;
    }
    profile.path = RemoveVerticesOnEdges(profile.path, profile.closed ? 1 : 0);
    if (CountNodes(profile.path) < 2) {
        zcutPrintf("%s", "\nMusisz wybrać co najmniej dwa punkty");
        return;
    }
    for (const VertexNode* v = profile.path; v; v = v->next) {
        const VertexNode* w = v->next ? v->next : (profile.closed ? profile.path : nullptr);
        if (!w) break;
        if (PointsEqual(v->pt(), w->pt(), false)) {
            zcutPrintf("%s", "\nNie mogą być pionowe segmenty definicji krzywej");
            return;
        }
    }
    // A turn back on itself would stretch the section without bound.
    if (LargestMiterStretch(profile.path, profile.closed) > kMaxMiterStretch) {
        zcutPrintf("%s", "\nDefinicja krzywej nie może zawracać");
        return;
    }

    DrawPath(profile.path, profile.closed);
    int status = 1;
    VertexNode* section = SelectClosedOutline(status, "\nWybierz profil:", 0, false);
    if (!section) {
        ClearPath();
        return;
    }
    ads_point ref;
    if (GetPointInRange(1, nullptr, nullptr, "\nOkreśl punkt, który odpowiada definicji krzywej", ref) !=
        RTNORM) {
        FreeList(section);
        ClearPath();
        return;
    }
    for (VertexNode* v = section; v; v = v->next) v->setPt({v->x - ref[0], v->y - ref[1], 0.0});
    int reversed = 0;
    section = NormalizePolygon(0, RemoveDuplicateVertices(section), &reversed);
    profile.section = section;
    ClearPath();
    MakeProfileBlock(profile);
}
