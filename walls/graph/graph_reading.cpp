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
#include <string_view>
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
#include "host/db/dbents.h"
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

// The values of one application's record on an entity, read where they
// stand: the first record of that name, as the entity's list gives it.
class Record {
public:
    Record(const ZcDbEntity& entity, std::string_view app) {
        for (const ZcDbXDataApp& a : entity.xDataApps())
            if (zcutEqualsNoCase(a.app, app)) {
                at_ = a.items.data();
                end_ = at_ + a.items.size();
                return;
            }
    }
    explicit operator bool() const { return at_ != end_; }
    const ZcDbDxfItem& operator*() const { return *at_; }
    const ZcDbDxfItem* operator->() const { return at_; }
    void next() { ++at_; }
    bool holds(int code) const { return at_ != end_ && at_->code == code; }
    bool holdsNumber() const {
        return at_ != end_ && (at_->code == 1040 || at_->code == 1041 || at_->code == 1042 ||
                               at_->code == 1070 || at_->code == 1071);
    }
    // The number as the group's value in a list reads it (a 1070 group is
    // a short).
    double number() const {
        switch (at_->code) {
            case 1070:
                return static_cast<short>(at_->integer);
            case 1071:
                return static_cast<std::int32_t>(at_->integer);
            default:
                return at_->real[0];
        }
    }
    // A group's text as a list holds it: up to its first NUL.
    const char* text() const { return at_->text.c_str(); }

private:
    const ZcDbDxfItem* at_ = nullptr;
    const ZcDbDxfItem* end_ = nullptr;
};

void ReadRoof(Record rb, RoofAssociation& roof) {
    if (rb.holdsNumber()) {
        roof.height = rb.number();
        rb.next();
    }
    if (rb.holdsNumber()) {
        roof.choice = static_cast<std::int32_t>(rb.number());
        rb.next();
    }
    for (; rb; rb.next())
        if (rb->code == 1000) roof.names.emplace_back(rb.text());
}

// A wall's 3D record holding a height or offset no wall has (a damaged or
// foreign record): named with the wall's handle, and the value not taken,
// so the wall is built by its floor as one without the record.
void ReportWall3DValue(const ZcDbEntity& entity, const char* what, double value) {
    zcutPrintf("\nRekord \"VELM5$_$DDMURO-\" ściany %s: %s %g poza zakresem; przyjęto wartość domyślną",
               entity.getDbHandle().ascii().c_str(), what, value);
}

// The wall data of one wall entity's records (all applications).
void ReadWallXData(const ZcDbEntity& entity, FaceEdge& e, double level, bool line) {
    if (Record rb(entity, "VELM5$_$DDMURO-"); rb) {
        if (rb.holds(1040)) {
            const double height = rb->real[0];
            if (height != 0.0 && !SizeInRange(height))
                ReportWall3DValue(entity, "wysokość", height);
            else if (height != 0.0)
                e.topZ = level + height;
            rb.next();
        }
        if (rb.holds(1040)) {
            if (CoordinateInRange(rb->real[0]))
                e.bottomZ = level - rb->real[0];
            else
                ReportWall3DValue(entity, "przesunięcie", rb->real[0]);
            rb.next();
        }
        if (rb.holds(1070)) {
            e.edgeVisibility = rb.number();
            rb.next();
        }
        if (rb.holds(1040)) {
            e.extraReal = rb->real[0];
            rb.next();
        }
        if (rb.holds(1070)) e.externalSide = rb.number();
    }
    if (Record rb(entity, "VELM5$_$DATITIPOMURO-"); rb) {
        if (rb.holds(1000)) {
            // Kept whole, however long.
            e.wallTypeName = rb.text();
            rb.next();
        }
        if (line && rb.holds(1070)) e.externalSide = rb.number();
    }
    if (line) {
        ReadRoof(Record(entity, "VELM11CAD$_$ASSOCFALDESUP-"), e.upperRoof);
        ReadRoof(Record(entity, "VELM11CAD$_$ASSOCFALDEINF-"), e.lowerRoof);
    }
    if (const Record rb(entity, "VELM12CAD$_$TIPOM3DAUTOMATICO-"); rb.holdsNumber())
        e.auto3DType = static_cast<std::int32_t>(rb.number());
    if (line)
        if (const Record rb(entity, kRectangleApp); rb.holdsNumber()) e.rectangleId = rb.number();
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

// Each entity of the type on the wall layers of the level, read where it
// stands (a list of each, with every application's records, was most of
// reading the floor), with the drawing's wall layers. An entity the visit
// answers true for is erased once it is closed again.
template <class Visit>
void ForEachWallEntity(const char* type, double level, Visit&& visit) {
    host::SelectionSet found;
    SelectOnWallLayers(type, found.put(), level, false);
    const VELM_LAYERMURI layers = WallLayers();
    const std::int32_t n = found.size();
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name entity;
        ZcDbObjectId id;
        if (!found.name(i, entity) || zcdbGetObjectId(id, entity) != Zcad::eOk) continue;
        bool erase = false;
        if (const ZcDbObjectPointer<ZcDbEntity> opened(id, ZcDb::kForRead); opened)
            erase = visit(entity, *opened, layers);
        if (erase) zcdbEntDel(entity);
    }
}

// An edge of the entity with the graph's defaults and the entity's records.
std::unique_ptr<FaceEdge> NewWallEdge(const CFACCIATE& g, const ads_name entity, const ZcDbEntity& opened,
                                      const VELM_LAYERMURI& layers, bool line) {
    auto e = std::make_unique<FaceEdge>();
    e->topZ = g.level + g.floorHeight;
    e->bottomZ = g.level;
    e->edgeVisibility = g.floorInt;
    e->entity[0] = entity[0];
    e->entity[1] = entity[1];
    ReadWallXData(opened, *e, g.level, line);
    e->layerIndex = layers.IndexOfLayer(opened.layer().empty() ? std::string("0") : opened.layer());
    return e;
}

}  // namespace

FaceEdge* CFACCIATE::ReadWallLines(const ads_name matchEntity, int mode) {
    FaceEdge* match = nullptr;
    ForEachWallEntity("LINE", level,
                      [&](const ads_name entity, const ZcDbEntity& opened, const VELM_LAYERMURI& layers) {
                          const ZcDbLine* line = ZcDbLine::cast(&opened);
                          if (!line) return false;
                          const ZcGePoint3d a = line->startPoint(), b = line->endPoint();
                          const Point3 start{a.x, a.y, a.z}, end{b.x, b.y, b.z};
                          if (HostDistance(start, end) < kZeroLength) return true;
                          std::unique_ptr<FaceEdge> e = NewWallEdge(*this, entity, opened, layers, true);
                          e->start = start;
                          e->end = end;
                          if ((mode == -1 && e->isRectangleLine()) || (mode == 1 && !e->isRectangleLine()))
                              return false;
                          if (SameEntity(matchEntity, entity)) match = e.get();
                          e->next = pendingLines;
                          pendingLines = e.release();
                          return false;
                      });
    return match;
}

FaceEdge* CFACCIATE::ReadWallArcs(const ads_name matchEntity) {
    FaceEdge* match = nullptr;
    ForEachWallEntity("ARC", level,
                      [&](const ads_name entity, const ZcDbEntity& opened, const VELM_LAYERMURI& layers) {
                          ArcRecord arc;
                          if (!GetArcData(entity, arc)) return false;
                          std::unique_ptr<FaceEdge> e = NewWallEdge(*this, entity, opened, layers, false);
                          e->isArc = true;
                          e->arc = arc;
                          if (SameEntity(matchEntity, entity)) match = e.get();
                          e->next = pendingArcs;
                          pendingArcs = e.release();
                          return false;
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
