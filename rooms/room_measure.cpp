// Measuring a room: around an interior point through the wall-face graph,
// or along a closed polyline; and the room's outline polyline.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/host_geometry.h"
#include "core/geometry/polygon.h"
#include "core/host_services.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbpoly.h"
#include "host/ed/adspick.h"
#include "host/ed/grdraw.h"
#include "rooms/opening_marks.h"
#include "rooms/room_calc.h"
#include "rooms/room_deductions.h"
#include "rooms/room_graph.h"
#include "settings/floor_cmds_run.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "walls/graph/contour_highlight.h"
#include "walls/graph/outline_polygons.h"

namespace {

constexpr const char* kNotInRoom = "\nWybrany punkt nie jest wewnątrz zamkniętego pomieszczenia";
constexpr const char* kLinkedPolylineGone = "Nie można znaleźć polilinii powiązanej z etykietą pokoju!";

double RingPerimeter(const VertexNode* ring) {
    double length = 0.0;
    for (const VertexNode* v = ring; v; v = v->next)
        length += Distance2d(v->pt(), (v->next ? v->next : ring)->pt());
    return length;
}

FaceSegment SegmentOf(const WallFace& face) {
    FaceSegment s;
    s.start = face.firstPoint();
    s.end = face.lastPoint();
    if (face.isArc()) {
        s.isArc = true;
        s.centre = face.arc.centre;
        s.radius = face.arc.radius;
    }
    return s;
}

std::string HandleOf(const ads_name entity) {
    const host::ResbufList list(zcdbEntGet(entity));
    std::string handle;
    for (const resbuf* rb = list.get(); rb; rb = rb->rbnext)
        if (rb->restype == 5 && rb->resval.rstring) handle = rb->resval.rstring;
    return handle;
}

// The length of one polyline segment, drawn highlighted in colour 2.
double SegmentLength(const ZcGePoint2d& a, const ZcGePoint2d& b, double bulge, double z) {
    const double chord = std::hypot(b.x - a.x, b.y - a.y);
    if (bulge == 0.0 || chord < GeomEpsilon) {
        ads_point p{a.x, a.y, z}, q{b.x, b.y, z};
        zcedGrDraw(p, q, 2, 1);
        return chord;
    }
    // Either sign of bulge: the arc's angle is 4·atan(|bulge|).
    const double angle = 4.0 * std::atan(std::fabs(bulge));
    const double radius = chord / (2.0 * std::sin(angle / 2.0));
    const int pieces = std::max(2, static_cast<int>(std::ceil(angle / (std::numbers::pi / 16.0))));
    // The centre lies to the left of a->b for a positive bulge.
    const double mx = (a.x + b.x) / 2.0, my = (a.y + b.y) / 2.0;
    const double sagitta = radius * std::cos(angle / 2.0);
    const double nx = -(b.y - a.y) / chord, ny = (b.x - a.x) / chord;
    const double side = bulge > 0.0 ? 1.0 : -1.0;
    // Signed: beyond a half circle the centre lies on the other side.
    const double cx = mx + side * nx * sagitta;
    const double cy = my + side * ny * sagitta;
    const double start = std::atan2(a.y - cy, a.x - cx);
    ads_point p{a.x, a.y, z};
    for (int i = 1; i <= pieces; ++i) {
        const double t = start + side * angle * i / pieces;
        ads_point q{cx + radius * std::cos(t), cy + radius * std::sin(t), z};
        zcedGrDraw(p, q, 2, 1);
        p[0] = q[0];
        p[1] = q[1];
    }
    return radius * angle;
}

}  // namespace

int CCALCVANI::FindRoomOutline(const Point3& point, CFACCIATE& graph) {
    double angle = 0.0;
    WallFace* face = graph.FindNearestFace(point, &angle);
    if (!face) {
        zcutPrintf(kNotInRoom);
        return 0;
    }
    double curveArea = 0.0;
    VertexNode* ring = graph.RecognizeContour(angle, face, &curveArea, true);
    if (!graph.contour) {
        HighlightContour(ring, 1, true);
        FreeList(ring);
        return 0;
    }
    const int ok = MeasureContour(ring, curveArea, graph.contour);
    FreeList(ring);
    return ok;
}

int CCALCVANI::MeasureContour(VertexNode* ring, double curveArea, const ContourLink* contour) {
    using namespace SetupVar;
    const double minimum = SettingReal(CINTOMIN), nonDeductible = SettingReal(CNONDETRAI);
    const double deduction = ComputeRoomDeductions(ring, level);
    double area = fixedLivingArea;
    deductedArea = 0.0;
    if (!fixedLivingFlag) {
        // A break or a degenerate ring is a failure, not an area.
        const double polygon = PolygonAreaByEars(ring, &HostUserBreak);
        if (polygon < 0.0) return 0;
        area = polygon + curveArea - deduction;
        deductedArea = deduction;
    }
    livingArea = livingAreaFlag ? area : 0.0;
    nonUsableArea = livingAreaFlag ? 0.0 : area;
    HighlightContour(ring, 0, true);
    perimeter = RingPerimeter(ring);
    windowArea = openingArea = ventilationArea = deductibleOpeningArea = 0.0;
    wallPerimeter = perimeter;
    int unrecorded = 0;
    for (const ContourLink* node = contour; node; node = node->next) {
        const WallFace* face = node->face;
        if (!face) continue;
        if (face->isFunctionLine) wallPerimeter -= Distance2d(face->firstPoint(), face->lastPoint());
        const FaceSegment segment = SegmentOf(*face);
        for (const OutlineLink* link = face->outlineLinks; link; link = link->next) {
            const OutlineNode* o = link->outline;
            if (!o) continue;
            const double coverage = GetOutlineCoverage(o, segment.start, segment.end);
            if (recordOpenings && coverage > GeomEpsilon)
                ChangeUnreadByRoomGraph(o->entity, [&] {
                    if (!RecordOpeningRoom(*o, segment, rowNumber, roomNameForOpenings, strInfVani,
                                           numInfVani, roomTextForOpenings, roomNumberForOpenings))
                        ++unrecorded;
                });
            const double n = o->openingCount, a = o->openingArea, w = o->windowArea, v = o->ventilationArea;
            windowArea += w * coverage;
            openingArea += n * coverage * a;
            ventilationArea += v * coverage;
            // Never below 0: a small opening must not add surface.
            if (a * coverage >= minimum)
                deductibleOpeningArea += std::max(0.0, coverage * n * a - nonDeductible);
        }
    }
    // The schedules would list these openings with the room they had.
    if (unrecorded > 0)
        zcutPrintf(
            "\nPomieszczenie „%s”: nazwa lub opis pomieszczenia nie mieści się w danych otworów (%d); "
            "zestawienia otworów go nie podadzą",
            ShortRoomName(roomNameForOpenings).c_str(), unrecorded);
    double roofWindows = 0.0, roofVentilation = 0.0;
    SumRoofWindowValues(ring, level, roofWindows, roofVentilation);
    windowArea += roofWindows;
    ventilationArea += roofVentilation;
    if (fixedWindowFlag) windowArea = fixedWindowArea;
    if (fixedVentilationFlag) ventilationArea = fixedVentilationArea;
    if (heightFromField) {
        const CDefEti* f = Field(70);
        height = f ? FieldNumber(*f) : GetFloorHeightAt(level);
        surface = nonUsableArea + livingArea + height * perimeter - deductibleOpeningArea;
        return 1;
    }
    return ComputeUnderRoof(ring) ? 1 : 0;
}

int CCALCVANI::MeasurePolylineRoom() {
    ads_name entity;
    if (outlineHandle.empty()) {
        ads_point at;
        if (zcedEntSel("\nWybierz zamkniętą polilinie:", entity, at) != RTNORM) return 0;
        if (!ReadPolylineData(entity)) {
            zcutPrintf("\nWybrany obiekt nie jest prawidłową polilinią");
            return 0;
        }
    } else if (zcdbHandEnt(outlineHandle.c_str(), entity) != RTNORM || !ReadPolylineData(entity)) {
        zcutPrintf(kLinkedPolylineGone);
        return 0;
    }
    outlineHandle = HandleOf(entity);
    const std::optional<PolylineData> data = ReadPolylineData(entity);
    ZcDbObjectId id;
    if (!data || zcdbGetObjectId(id, entity) != Zcad::eOk) return 0;
    {
        ZcDbObjectPointer<ZcDbPolyline> pline(id, ZcDb::kForRead);
        if (pline.openStatus() != Zcad::eOk) return 0;
        polylineArea = 0.0;
        pline->getArea(polylineArea);
        polylinePerimeter = 0.0;
        const auto& vertices = pline->vertices();
        for (std::size_t i = 0; i < vertices.size(); ++i) {
            const auto& next = vertices[(i + 1) % vertices.size()];
            polylinePerimeter +=
                SegmentLength(vertices[i].point, next.point, vertices[i].bulge, pline->elevation());
        }
    }
    if (data->vertices.empty()) return 0;
    const Point3 first{data->vertices.front().x, data->vertices.front().y, data->elevation};
    VertexNode* ring = PolylineToPolygon(*data, first, 0, DrawingChordStep(), nullptr);
    if (!ring) return 0;
    polylineDeduction = ComputeRoomDeductions(ring, level);
    polylineArea -= polylineDeduction;
    bool ok = true;
    if (!heightFromField) ok = ComputeUnderRoof(ring);
    FreeList(ring);
    return ok ? 1 : 0;
}

void CCALCVANI::WriteRoomOutline(const ContourLink* contour) {
    if (!contour || !contour->next) return;
    // The graph keeps its contour nodes newest first: ring order backwards.
    std::vector<const ContourLink*> nodes;
    for (const ContourLink* n = contour; n; n = n->next) nodes.push_back(n);
    std::reverse(nodes.begin(), nodes.end());

    struct Vertex {
        ZcGePoint2d point;
        double bulge = 0.0;
    };
    std::vector<Vertex> vertices;
    Point3 previous = nodes.back()->end;
    for (const ContourLink* n : nodes) {
        const WallFace& f = *n->face;
        if (f.isArc()) {
            // The walk's direction along the arc: counter-clockwise when it
            // starts at the arc's start angle.
            const bool ccw = Distance2d(n->start, f.arcStartPoint()) <= Distance2d(n->start, f.arcEndPoint());
            const Point3 s = ccw ? f.arcStartPoint() : f.arcEndPoint();
            const double sweep = AngleDiffCcw(f.arc.startAngle, f.arc.endAngle);
            const double bulge = std::tan(0.25 * sweep);
            vertices.push_back({ZcGePoint2d(s.x, s.y), ccw ? bulge : -bulge});
            previous = ccw ? f.arcEndPoint() : f.arcStartPoint();
        } else {
            const Point3 s = PointsEqual(f.start, previous, false) ? f.start
                             : PointsEqual(f.end, previous, false) ? f.end
                                                                   : n->start;
            vertices.push_back({ZcGePoint2d(s.x, s.y), 0.0});
            previous = PointsEqual(s, f.start, false) ? f.end : f.start;
        }
    }
    const double z =
        nodes.front()->face->isArc() ? nodes.front()->face->arc.centre.z : nodes.front()->face->start.z;
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    std::string layer = SettingString(SetupVar::LAYERPOLI);
    EnsureLayer(layer, layers, true, z, false);

    auto fill = [&](ZcDbPolyline& p) {
        while (p.numVerts() > 0) p.removeVertexAt(p.numVerts() - 1);
        for (unsigned i = 0; i < vertices.size(); ++i)
            p.addVertexAt(i, vertices[i].point, vertices[i].bulge, -1.0, -1.0);
        p.setClosed(true);
        p.setElevation(z);
        p.setLayer(layer);
    };
    ads_name existing;
    if (!outlineHandle.empty() && zcdbHandEnt(outlineHandle.c_str(), existing) == RTNORM) {
        ZcDbObjectId id;
        zcdbGetObjectId(id, existing);
        ZcDbObjectPointer<ZcDbPolyline> pline(id, ZcDb::kForWrite);
        if (pline.openStatus() == Zcad::eOk) {
            fill(*pline.get());
            return;
        }
        // Another kind of object under the handle: it goes, a new one comes.
        zcdbEntDel(existing);
    }
    auto* pline = new ZcDbPolyline;
    fill(*pline);
    ZcDbObjectId id;
    if (AppendToModelSpace(id, pline) != Zcad::eOk) {
        delete pline;
        return;
    }
    zcdbGetAdsName(newOutline, id);
    outlineHandle = HandleOf(newOutline);
}
