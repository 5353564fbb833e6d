// Outline selection. The chains are joined by the toolkit's polygon
// builder, which reports what went wrong for the caller to show; the floor
// outline is the wall-face graph's contour through the picked face.
#include "roofs/outline_select.h"

#include <cmath>
#include <string>

#include "core/base/module_state.h"
#include "core/entity_readers.h"
#include "core/geometry/host_geometry.h"
#include "core/geometry/polygon.h"
#include "core/host_services.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/adspick.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/contour_highlight.h"

namespace {

constexpr const char* kOnlyCurvesMessage = "\nMożna wybrać tylko łuki, okręgi, linie i polilinie";

VertexNode* CircleOutline(const ads_name entity, int n, double step) {
    CircleRecord circle;
    if (!GetCircleData(entity, circle)) return nullptr;
    if (n >= 2)
        step = Distance2d(PolarPoint(circle.centre, 0.0, circle.radius),
                          PolarPoint(circle.centre, TwoPi() / (2.0 * n), circle.radius));
    VertexNode* list = ArcToVertices(step, circle.centre, circle.radius, 0.0, TwoPi(), nullptr, true);
    list = RemoveDuplicateVertices(list);
    if (CountNodes(list) > 2) {
        for (VertexNode* v = list; v; v = v->next) v->edgeFlag = 101;
        return list;
    }
    FreeList(list);
    zcutPrintf("%s", kArcTooCoarseMessage);
    return nullptr;
}

SegmentRec* LineArcSegment(const ads_name entity) {
    std::string type;
    GetEntTypeAndColor(entity, type);
    if (type == "LINE") {
        Point3 a, b;
        if (!GetLineData(entity, a, b)) return nullptr;
        const double geom[6] = {a.x, a.y, a.z, b.x, b.y, b.z};
        return new SegmentRec(geom, nullptr, SegmentRec::kLine, nullptr);
    }
    if (type == "ARC") {
        ArcRecord arc;
        ZcGeVector3d normal;
        if (!GetArcData(entity, arc, &normal)) return nullptr;
        const double geom[6] = {arc.centre.x, arc.centre.y,   arc.centre.z,
                                arc.radius,   arc.startAngle, arc.endAngle};
        const double nrm[3] = {normal.x, normal.y, normal.z};
        return new SegmentRec(geom, nrm, SegmentRec::kArc, nullptr);
    }
    return nullptr;
}

}  // namespace

SegmentRec* ChainLinesArcs(const ads_name picked, const ads_name set) {
    SegmentRec* list = nullptr;
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name member;
        if (zcedSSName(set, i, member) != RTNORM || ads_name_equal(member, picked)) continue;
        if (SegmentRec* s = LineArcSegment(member)) {
            s->next = list;
            list = s;
        }
    }
    if (SegmentRec* own = LineArcSegment(picked)) {
        own->next = list;
        list = own;
    }
    return list;
}

VertexNode* SelectClosedOutline(int& status, const char* prompt, int n, bool joinEnds) {
    status = 1;
    const double defaultStep = DrawingChordStep();
    for (;;) {
        ads_name entity;
        ads_point pt;
        const int rc = zcedEntSel(prompt, entity, pt);
        if (rc == RTCAN) {
            status = 0;
            return nullptr;
        }
        if (rc != RTNORM) {
            if (PickHitNothing()) continue;
            return nullptr;
        }
        ads_point snapped;
        if (zcedOsnap(pt, "_NEAR", snapped) == RTNORM) ads_point_set(snapped, pt);
        const Point3 pick{pt[0], pt[1], pt[2]};

        std::string type;
        GetEntTypeAndColor(entity, type);
        if (type == "CIRCLE") return CircleOutline(entity, n, defaultStep);

        SegmentRec* segments = nullptr;
        if (type == "LINE" || type == "ARC") {
            const host::ResbufList filter(
                zcutBuildList(-4, "<or", RTDXF0, "LINE", RTDXF0, "ARC", -4, "or>", 0));
            ads_name set;
            const int got = zcedSSGet("X", nullptr, nullptr, filter.get(), set);
            if (got == RTNORM) {
                segments = ChainLinesArcs(entity, set);
                zcedSSFree(set);
            } else {
                segments = LineArcSegment(entity);
            }
        } else if (type == "LWPOLYLINE") {
            std::optional<PolylineData> data = ReadPolylineData(entity);
            if (data) segments = PolylineToSegments(*data, pick);
            if (!segments) continue;
        } else {
            zcutPrintf("%s", kOnlyCurvesMessage);
            continue;
        }
        if (!segments) return nullptr;

        Point3 P1, P2;
        VertexNode* first = nullptr;
        if (segments->kind == SegmentRec::kArc) {
            const Point3 centre = segments->first();
            const double radius = segments->geom[3], start = segments->geom[4], end = segments->geom[5];
            P1 = PolarPoint(centre, start, radius);
            P2 = PolarPoint(centre, end, radius);
            double step = defaultStep;
            if (n >= 2) {
                const double sweep = AngleDiffCcw(start, end);
                step = Distance2d(P1, PolarPoint(centre, start + sweep / n, radius));
            }
            first = ArcToVertices(step, centre, radius, start, end, nullptr, true);
            for (VertexNode* v = first; v; v = v->next) v->edgeFlag = 101;
        } else {
            P1 = segments->first();
            P2 = segments->second();
            AppendVertex(&first, P1, 1, 0, 0);
            AppendVertex(&first, P2, 1, 0, 0);
        }
        if (!first) {
            FreeList(segments);
            zcutPrintf("%s", kArcTooCoarseMessage);
            return nullptr;
        }
        OutlineReport report;
        VertexNode* list = BuildPolygonFromSegments(n, segments->next, P1, P2, first, 3, joinEnds, -1.0,
                                                    nullptr, defaultStep, &report);
        ShowOutlineReport(report);
        FreeList(segments);
        return list;
    }
}

VertexNode* SelectFloorOutline(int mode, double elevation, ads_name entity, Point3* pick) {
    ads_name picked;
    ads_point pt;
    double level = 0.0;
    for (;;) {
        const int rc = zcedEntSel("\nWybierz zewnętrzny obwód podłogi:", picked, pt);
        if (rc == RTCAN) return nullptr;
        if (rc != RTNORM) {
            if (PickHitNothing()) continue;
            return nullptr;
        }
        if (CheckEntityLevelLayer(picked, "LINE", false, level, false, false) ||
            CheckEntityLevelLayer(picked, "ARC", false, level, false, false))
            break;
        zcutPrintf("\nWybrany obiekt nie jest linią ani łukiem reprezentującym ścianę");
    }
    if (pick) *pick = {pt[0], pt[1], pt[2]};
    if (entity) ads_name_set(picked, entity);

    CFACCIATE graph;
    graph.level = level;
    graph.Build(false, false, nullptr, false);
    graph.MergePillars();
    WallFace* face = graph.FindFaceById(picked);
    if (!face) {
        graph.Clear();
        return nullptr;
    }
    VertexNode* contour = graph.ApproximateContourCurves(face, nullptr, mode, false, -1.0);
    // A closed walk leaves its faces set aside; an open one gives them back.
    const bool closed = graph.usedFaces != nullptr;
    graph.Clear();
    if (!contour) return nullptr;
    if (!closed) {
        HighlightContour(contour, 1, true);
        FreeList(contour);
        return nullptr;
    }
    for (VertexNode* v = contour; v; v = v->next) v->z = elevation;
    return contour;
}
