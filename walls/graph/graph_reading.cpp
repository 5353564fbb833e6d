// Reading the graph from the drawing: the wall LINEs and ARCs of the level
// with the data their xdata carries, the outlines of objects set into
// walls, and the building sequences over them.
//
// Wall LINEs of zero length are erased from the drawing as they are read;
// they are leftovers of wall editing that no command wants.
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/input_range.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/db/dbentity.h"
#include "host/db/dbobjptr.h"
#include "host/util/nocase.h"
#include "store/settings_store.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/outline_cache.h"
#include "walls/graph/outline_record.h"
#include "walls/graph/pair_lines_hook.h"
#include "walls/graph/wall_line_ends.h"
#include "walls/graph/wall_line_table.h"

namespace {

constexpr double kZeroLength = kZeroLengthWallLine;

double Number(const resbuf* rb) {
    switch (rb->restype) {
        case 1040:
        case 1041:
        case 1042:
            return rb->resval.rreal;
        case 1070:
            return rb->resval.rint;
        case 1071:
            return rb->resval.rlong;
        default:
            return 0.0;
    }
}
bool IsNumber(const resbuf* rb) {
    return rb && (rb->restype == 1040 || rb->restype == 1041 || rb->restype == 1042 || rb->restype == 1070 ||
                  rb->restype == 1071);
}
// The values of one application's record, up to the next application.
const resbuf* Values(const resbuf* list, const char* app) {
    const resbuf* rb = FindXDataApp(list, app);
    return rb ? rb->rbnext : nullptr;
}
bool InRecord(const resbuf* rb) {
    return rb && rb->restype != 1001;
}

void ReadRoof(const resbuf* rb, RoofAssociation& roof) {
    if (InRecord(rb) && IsNumber(rb)) {
        roof.height = Number(rb);
        rb = rb->rbnext;
    }
    if (InRecord(rb) && IsNumber(rb)) {
        roof.choice = static_cast<std::int32_t>(Number(rb));
        rb = rb->rbnext;
    }
    for (; InRecord(rb); rb = rb->rbnext)
        if (rb->restype == 1000 && rb->resval.rstring) roof.names.emplace_back(rb->resval.rstring);
}

// A wall's 3D record holding a height or offset no wall has (a damaged or
// foreign record): named with the wall's handle, and the value not taken,
// so the wall is built by its floor as one without the record.
void ReportWall3DValue(const resbuf* list, const char* what, double value) {
    const resbuf* handle = FindRbCode(list, 5);
    zcutPrintf("\nRekord \"VELM5$_$DDMURO-\" ściany %s: %s %g poza zakresem; przyjęto wartość domyślną",
               handle && handle->resval.rstring ? handle->resval.rstring : "?", what, value);
}

// The wall data of one wall entity's list (all applications).
void ReadWallXData(const resbuf* list, FaceEdge& e, double level, bool line) {
    if (const resbuf* rb = Values(list, "VELM5$_$DDMURO-")) {
        if (InRecord(rb) && rb->restype == 1040) {
            const double height = rb->resval.rreal;
            if (height != 0.0 && !SizeInRange(height))
                ReportWall3DValue(list, "wysokość", height);
            else if (height != 0.0)
                e.topZ = level + height;
            rb = rb->rbnext;
        }
        if (InRecord(rb) && rb->restype == 1040) {
            if (CoordinateInRange(rb->resval.rreal))
                e.bottomZ = level - rb->resval.rreal;
            else
                ReportWall3DValue(list, "przesunięcie", rb->resval.rreal);
            rb = rb->rbnext;
        }
        if (InRecord(rb) && rb->restype == 1070) {
            e.edgeVisibility = rb->resval.rint;
            rb = rb->rbnext;
        }
        if (InRecord(rb) && rb->restype == 1040) {
            e.extraReal = rb->resval.rreal;
            rb = rb->rbnext;
        }
        if (InRecord(rb) && rb->restype == 1070) e.externalSide = rb->resval.rint;
    }
    if (const resbuf* rb = Values(list, "VELM5$_$DATITIPOMURO-")) {
        if (InRecord(rb) && rb->restype == 1000) {
            // Kept whole, however long.
            e.wallTypeName = rb->resval.rstring ? rb->resval.rstring : "";
            rb = rb->rbnext;
        }
        if (line && InRecord(rb) && rb->restype == 1070) e.externalSide = rb->resval.rint;
    }
    if (line) {
        ReadRoof(Values(list, "VELM11CAD$_$ASSOCFALDESUP-"), e.upperRoof);
        ReadRoof(Values(list, "VELM11CAD$_$ASSOCFALDEINF-"), e.lowerRoof);
    }
    if (const resbuf* rb = Values(list, "VELM12CAD$_$TIPOM3DAUTOMATICO-"); InRecord(rb) && IsNumber(rb))
        e.auto3DType = static_cast<std::int32_t>(Number(rb));
    if (line)
        if (const resbuf* rb = Values(list, kRectangleApp); InRecord(rb) && IsNumber(rb))
            e.rectangleId = Number(rb);
}

host::ResbufList EntityWithAllXData(const ads_name entity) {
    host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
    return host::ResbufList(zcdbEntGetX(entity, apps.get()));
}

Point3 PointOf(const resbuf* rb) {
    return {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]};
}

bool SameEntity(const ads_name a, const ads_name b) {
    return a && a[0] == b[0] && a[1] == b[1];
}

// The wall layers of the drawing, copied so the record is closed at once.
VELM_LAYERMURI WallLayers() {
    VELM_LAYERMURI layers;
    if (ZcDbObjectPointer<VELM_LAYERMURI> opened(OpenLayerMuriObject()); opened) {
        layers = *opened;
    }
    return layers;
}

// Each entity of the type on the wall layers of the level, with its list
// (all applications' xdata) and the drawing's wall layers.
template <class Visit>
void ForEachWallEntity(const char* type, double level, Visit&& visit) {
    host::SelectionSet found;
    SelectOnWallLayers(type, found.put(), level, false);
    const VELM_LAYERMURI layers = WallLayers();
    const std::int32_t n = found.size();
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name entity;
        if (!found.name(i, entity)) continue;
        const host::ResbufList list = EntityWithAllXData(entity);
        if (list) visit(entity, list.get(), layers);
    }
}

// An edge of the entity with the graph's defaults and the entity's records.
std::unique_ptr<FaceEdge> NewWallEdge(const CFACCIATE& g, const ads_name entity, const resbuf* list,
                                      const VELM_LAYERMURI& layers, bool line) {
    auto e = std::make_unique<FaceEdge>();
    e->topZ = g.level + g.floorHeight;
    e->bottomZ = g.level;
    e->edgeVisibility = g.floorInt;
    e->entity[0] = entity[0];
    e->entity[1] = entity[1];
    ReadWallXData(list, *e, g.level, line);
    if (const resbuf* layer = FindRbCode(list, 8); layer && layer->resval.rstring)
        e->layerIndex = layers.IndexOfLayer(layer->resval.rstring);
    return e;
}

}  // namespace

FaceEdge* CFACCIATE::ReadWallLines(const ads_name matchEntity, int mode) {
    FaceEdge* match = nullptr;
    ForEachWallEntity("LINE", level,
                      [&](const ads_name entity, const resbuf* list, const VELM_LAYERMURI& layers) {
                          const resbuf* p10 = FindRbCode(list, 10);
                          const resbuf* p11 = FindRbCode(list, 11);
                          if (!p10 || !p11) return;
                          if (HostDistance(PointOf(p10), PointOf(p11)) < kZeroLength) {
                              zcdbEntDel(entity);
                              return;
                          }
                          std::unique_ptr<FaceEdge> e = NewWallEdge(*this, entity, list, layers, true);
                          e->start = PointOf(p10);
                          e->end = PointOf(p11);
                          if ((mode == -1 && e->isRectangleLine()) || (mode == 1 && !e->isRectangleLine()))
                              return;
                          if (SameEntity(matchEntity, entity)) match = e.get();
                          e->next = pendingLines;
                          pendingLines = e.release();
                      });
    return match;
}

FaceEdge* CFACCIATE::ReadWallArcs(const ads_name matchEntity) {
    FaceEdge* match = nullptr;
    ForEachWallEntity("ARC", level,
                      [&](const ads_name entity, const resbuf* list, const VELM_LAYERMURI& layers) {
                          ArcRecord arc;
                          if (!GetArcData(entity, arc)) return;
                          std::unique_ptr<FaceEdge> e = NewWallEdge(*this, entity, list, layers, false);
                          e->isArc = true;
                          e->arc = arc;
                          if (SameEntity(matchEntity, entity)) match = e.get();
                          e->next = pendingArcs;
                          pendingArcs = e.release();
                      });
    return match;
}

void CFACCIATE::LoadOutlines(bool allLevels, const std::function<bool(const OutlineNode&)>& wanted,
                             const host::PlanBox* near) {
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db) return;
    const auto onLevel = [&](const OutlineNode& o) {
        return (allLevels || !(std::fabs(level - o.z) > kZeroLength)) && (!wanted || wanted(o));
    };
    for (ZcDbObjectId id : KeptOutlineEntities(db, near)) {
        ads_name entity;
        if (zcdbGetAdsName(entity, id) != Zcad::eOk) continue;
        OutlineNode* o = ReadKeptTag3DiStr(entity, onLevel);
        if (!o) continue;
        o->next = outlines;
        outlines = o;
    }
}

void CFACCIATE::Build(bool linesOnly, bool allLevelOutlines, DEFMURI* pairing, bool pairRectangles) {
    FacesChanged();
    LoadOutlines(allLevelOutlines);
    if (pairing) {
        ReadWallLines(nullptr, 1);
        if (pairRectangles)
            PairWallLines(*pairing, &pendingLines);
        else
            AssembleLines(allLevelOutlines, true);
        pendingLines = FreeList(pendingLines);
    }
    ReadWallLines(nullptr, pairing ? -1 : 0);
    AssembleLines(allLevelOutlines, false);
    if (!linesOnly) {
        ReadWallArcs(nullptr);
        AssembleArcs();
    }
}

WallFace* CFACCIATE::BuildFromLine(const ads_name entity) {
    FaceEdge* first = ReadWallLines(entity, 0);
    LoadOutlines(false);
    if (!first) return nullptr;
    WallFace* face = NewWallFace();
    AssembleStraightFace(first, face, false, false);
    FinishFace(face);
    return face;
}

WallFace* CFACCIATE::BuildFromArc(const ads_name entity) {
    FaceEdge* first = ReadWallArcs(entity);
    LoadOutlines(false);
    if (!first) return nullptr;
    WallFace* face = NewWallFace();
    face->kind = 0;
    WallFace* partner = AssembleArcFace(first, face);
    // Only the face asked for is wanted; its partner goes back to nothing.
    FreeFaceList(partner);
    FinishFace(face);
    return face;
}

namespace {

double DistanceToLine(const Point3& p, const Point3& a, const Point3& b) {
    const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
    if (length < kZeroLength) return HostDistance(p, a);
    return std::fabs((p.x - a.x) * dy - (p.y - a.y) * dx) / length;
}

// The plan box within `corridor` of the line a-b carried on by `reach`
// past both its ends (and a little more, for rounding).
host::PlanBox BoxAlong(const Point3& a, const Point3& b, double corridor, double reach) {
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    const double ux = length > 0.0 ? (b.x - a.x) / length : 0.0,
                 uy = length > 0.0 ? (b.y - a.y) / length : 0.0;
    const double grow =
        corridor + 1e-6 +
        1e-9 * std::max({std::fabs(a.x), std::fabs(a.y), std::fabs(b.x), std::fabs(b.y), corridor, reach});
    const double x1 = a.x - ux * reach, y1 = a.y - uy * reach, x2 = b.x + ux * reach, y2 = b.y + uy * reach;
    return host::PlanBox{std::min(x1, x2) - grow, std::min(y1, y2) - grow, std::max(x1, x2) + grow,
                         std::max(y1, y2) + grow};
}

// p at least `margin` inside the box.
bool WellInside(const Point3& p, const host::PlanBox& box, double margin) {
    return p.x - box.xmin >= margin && box.xmax - p.x >= margin && p.y - box.ymin >= margin &&
           box.ymax - p.y >= margin;
}

// The face of one wall line, as BuildFromLine gives it, from the wall
// lines and outlines of the level within `box` only: a face grows by lines
// collinear with it (within the join tolerance) that touch its end, and by
// outlines with a point at its end, so what lies farther from its line than
// a wall is thick, or farther from the face than the box's margin, can take
// no part. The face is none when the line is not there; `bounded` tells
// whether the face ends well inside the box, so that nothing outside it
// could have joined.
WallFace* FaceOfLineWithin(CFACCIATE& g, const ads_name entity, const std::pair<Point3, Point3>& own,
                           double corridor, const host::PlanBox& box, bool& bounded) {
    FaceEdge* first = nullptr;
    for (ZcDbObjectId id : WallLinesOfLevelNear(g.level, box)) {
        ads_name e;
        if (zcdbGetAdsName(e, id) != Zcad::eOk) continue;
        const std::optional<std::pair<Point3, Point3>> ends = WallLineEnds(e);
        if (!ends) continue;
        const auto& [p10, p11] = *ends;
        if (HostDistance(p10, p11) < kZeroLength) continue;
        if (DistanceToLine(p10, own.first, own.second) > corridor ||
            DistanceToLine(p11, own.first, own.second) > corridor)
            continue;
        // Only where the face runs is asked: the lines' records play no
        // part in joining them, and reading every record along a wall of
        // the whole floor was most of the cost.
        auto edge = std::make_unique<FaceEdge>();
        edge->entity[0] = e[0];
        edge->entity[1] = e[1];
        edge->start = p10;
        edge->end = p11;
        if (SameEntity(entity, e)) first = edge.get();
        edge->next = g.pendingLines;
        g.pendingLines = edge.release();
    }
    // An outline joins the face only by gap or corner points on its line.
    g.LoadOutlines(
        false,
        [&](const OutlineNode& o) {
            for (const Point3* p :
                 {&o.gapA[0], &o.gapA[1], &o.gapB[0], &o.gapB[1], &o.corner[0], &o.corner[1]})
                if (DistanceToLine(*p, own.first, own.second) <= corridor) return true;
            return false;
        },
        &box);
    bounded = false;
    if (!first) return nullptr;
    WallFace* face = NewWallFace();
    g.AssembleStraightFace(first, face, false, false);
    bounded = WellInside(face->start, box, corridor) && WellInside(face->end, box, corridor);
    return face;
}

// The face of one wall line, as BuildFromLine gives it, read from a box
// around the line that grows until the face ends well inside it: a door in
// a wall along the whole floor reads the lines near its room, not the
// floor's. The zero-length lines of the level are erased first, in the
// order reading the graph meets them.
WallFace* FaceOfLine(CFACCIATE& g, const ads_name entity) {
    const std::optional<std::pair<Point3, Point3>> own = WallLineEnds(entity);
    if (!own) return nullptr;
    const double corridor = std::max(g.maxWallThickness, 1.0) * std::max(g.unitFactor, 1.0);
    EraseZeroLengthWallLines(g.level);
    double reach = std::max(HostDistance(own->first, own->second), 4.0 * corridor);
    for (;;) {
        bool bounded = false;
        WallFace* face = FaceOfLineWithin(g, entity, *own, corridor,
                                          BoxAlong(own->first, own->second, corridor, reach), bounded);
        // Past 1e12 the box holds any drawing the number gate lets in.
        if (!face || bounded || reach > 1e12) return face;
        FreeFaceList(face);
        g.Clear();
        reach *= 4.0;
    }
}

}  // namespace

bool ReadWallFaceSpan(const ads_name entity, WallFaceSpan& out) {
    // The kind read off the object: the entity's whole list is not made.
    bool arc = false;
    if (ZcDbObjectId id; zcdbGetObjectId(id, entity) == Zcad::eOk)
        if (const ZcDbObjectPointer<ZcDbEntity> e(id, ZcDb::kForRead); e)
            arc = zcutEqualsNoCase(e->isA()->dxfName(), "ARC");
    CFACCIATE graph;
    WallFace* face = arc ? graph.BuildFromArc(entity) : FaceOfLine(graph, entity);
    if (!face) return false;
    out.isArc = face->isArc();
    out.start = face->start;
    out.end = face->end;
    out.arc = face->arc;
    FreeFaceList(face);
    return true;
}
