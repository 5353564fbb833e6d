// The touched-object list and the updates run on it (see the header).
// Records are OutlineNodes: kinds 11, 12 and 18 are the cut outline the
// wall graph reads from the object's record, the others carry only their
// kind, entity name, points, flag and level.
#include "module/touched_objects.h"

#include <exception>
#include <string>
#include <type_traits>

#include "core/entity_data.h"
#include "core/host_services.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/db/dbdim.h"
#include "host/db/dbentity.h"
#include "host/db/dbents.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobject.h"
#include "host/util/nocase.h"
#include "objects/language/obj_records.h"
#include "objects/placement/wall_cuts.h"
#include "roofs/slab_openings.h"
#include "rooms/dimensions/dim_symbols.h"
#include "stairs/stair_record.h"
#include "visual/model3d/face_records.h"
#include "visual/model3d/wall3d_commands.h"
#include "walls/graph/outline_record.h"

namespace {

constexpr const char* kEditCommands[] = {"_delete",      "delete",   "_erase",  "erase", "cancella",
                                         "löschen",      "_stretch", "stretch", "stira", "strecken",
                                         "grip_stretch", "_rotate",  "rotate",  "ruota"};
constexpr const char* kStretchCommands[] = {"_stretch", "stretch", "stira", "strecken", "grip_stretch"};
constexpr const char* kViewCommands[] = {"view", "-view", "VPOINT"};

constexpr int kDimensionKind = -100;
constexpr int kStairOpeningKind = -500;
constexpr int kPilasterKind = 17;

template <std::size_t N>
bool IsOneOf(const char* name, const char* const (&names)[N]) {
    if (!name) return false;
    for (const char* known : names)
        if (zcutEqualsNoCase(name, known)) return true;
    return false;
}

bool SameName(const ads_name a, const ads_name b) {
    return a[0] == b[0] && a[1] == b[1];
}

OutlineNode* NewRecord(int kind, const ads_name entity) {
    auto* record = new OutlineNode;
    record->kind = kind;
    record->entity[0] = entity[0];
    record->entity[1] = entity[1];
    return record;
}

host::ResbufList XDataOf(const ZcDbObject& object, const char* app) {
    return host::ResbufList(object.xData(app));
}

// The first group 1070 after the application's own 1001; none past it.
const resbuf* FirstShortOf(const resbuf* xdata) {
    for (const resbuf* rb = xdata ? xdata->rbnext : nullptr; rb && rb->restype != 1001; rb = rb->rbnext)
        if (rb->restype == 1070) return rb;
    return nullptr;
}

// Only the record's 1011 points make vertices, from the first on, each put
// in front of the one before: the list comes out in reverse order.
VertexNode* PilasterPoints(const resbuf* xdata) {
    VertexNode* head = nullptr;
    for (const resbuf* rb = xdata ? xdata->rbnext : nullptr; rb && rb->restype != 1001; rb = rb->rbnext) {
        if (rb->restype != 1011) continue;
        VertexNode* v =
            NewVertex(rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2], 0, 0, 0, 0);
        v->next = head;
        head = v;
    }
    return head;
}

// Runs one update; false after the message when it failed (a check that
// answers false has said why itself). A failed update has left its part of
// the drawing half done, so the walk stops there and the caller takes the
// whole command back.
template <class F, class... Args>
bool RunUpdate(const F& update, Args&&... args) {
    if (!update) return true;
    try {
        if constexpr (std::is_same_v<typename F::result_type, bool>) {
            return update(std::forward<Args>(args)...);
        } else {
            update(std::forward<Args>(args)...);
            return true;
        }
    } catch (const std::exception& e) {
        zcutPrintf("\nNie można uaktualnić rysunku po poleceniu (%s); polecenie zostanie cofnięte.",
                   e.what());
        return false;
    }
}

}  // namespace

TouchedObjectUpdates OwnerUpdates() {
    TouchedObjectUpdates u;
    u.checkWallMarks = [](const OutlineNode& r) { return WallMarksSoundAt(r); };
    u.rejoinStraightWall = [](const OutlineNode& r) { RejoinStraightWallAfterEdit(r); };
    u.rejoinArcWall = [](const OutlineNode& r) { RejoinArcWallAfterEdit(r); };
    u.rejoinCornerWall = [](const OutlineNode& r) { RejoinCornerWallAfterEdit(r); };
    u.regenerate3DWalls = [](const OutlineNode& r) { Regen3DWallsAfterCommand(&r); };
    u.updateDimensionText = [](const ads_name entity) { UpdateDimensionText(entity); };
    u.removeSlabOpening = [](const VertexNode* polygon, bool notch) {
        RemoveOpeningFromSlab(polygon, nullptr, notch);
    };
    u.rejoinPilaster = [](const VertexNode* points, double level) { RejoinPilasterWallLines(points, level); };
    u.regenerateEditedWalls = [](const std::vector<EditedWallLine>& lines) {
        Regen3DWallsAfterLineEdits(lines);
    };
    return u;
}

bool IsEditCommand(const char* name) {
    return IsOneOf(name, kEditCommands);
}
bool IsStretchCommand(const char* name) {
    return IsOneOf(name, kStretchCommands);
}
bool IsViewCommand(const char* name) {
    return IsOneOf(name, kViewCommands);
}

// ------------------------------------------------------------------ notes

void TouchedObjectList::noteModified(const ZcDbObject& object) {
    // The kind first: every object a command changes comes here, few of
    // them dimensions.
    if (!object.isKindOf(ZcDbDimension::desc())) return;
    std::string names;
    if (SysVarString("CMDNAMES", "", names) != RTNORM || !IsStretchCommand(names.c_str())) return;
    ads_name entity;
    if (zcdbGetAdsName(entity, object.objectId()) != Zcad::eOk) return;
    for (const OutlineNode* r = m_head; r; r = r->next)
        if (SameName(r->entity, entity)) return;
    push(NewRecord(kDimensionKind, entity));
}

void TouchedObjectList::noteErased(const ZcDbObject& object) {
    ads_name entity;
    if (zcdbGetAdsName(entity, object.objectId()) != Zcad::eOk) return;
    host::ResbufList params = XDataOf(object, kParamRecordApp);
    if (!params) {
        // A stair carries no object record; the opening it cut has no flag.
        if (!XDataOf(object, kStairApp)) return;
        host::ResbufList opening = XDataOf(object, kOpeningApp);
        if (!opening) return;
        OutlineNode* record = NewRecord(kStairOpeningKind, entity);
        record->points = ReadOpeningPolygon(opening.get(), nullptr);
        push(record);
        return;
    }
    const resbuf* kindRb = FirstShortOf(params.get());
    if (!kindRb) return;
    const int kind = kindRb->resval.rint;
    params.reset();
    const ZcDbEntity* asEntity = ZcDbEntity::cast(&object);
    switch (kind) {
        case 11:
        case 12:
        case 18: {
            // An object set into no wall has no outline record.
            host::ResbufList cut = XDataOf(object, kTag3DiStrApp);
            if (!cut || !asEntity) return;
            Point3 base;
            if (const ZcDbBlockReference* insert = ZcDbBlockReference::cast(&object)) {
                const ZcGePoint3d at = insert->position();
                base = {at.x, at.y, at.z};
            }
            OutlineNode* record = CreateTag3DiStrNode(cut.get(), base, asEntity->layer(), entity);
            // Without the outline it was cut by, the wall cannot be closed
            // over the opening: said, so the user mends it by hand.
            if (!record) {
                zcutPrintf("\nRekord \"%s\" obiektu %s jest uszkodzony; ściana nie została zamknięta",
                           kTag3DiStrApp, object.handle().ascii().c_str());
                return;
            }
            record->next = nullptr;
            push(record);
            return;
        }
        case 14:
        case 15:
        case 19:
        case 48: {
            host::ResbufList opening = XDataOf(object, kOpeningApp);
            if (!opening) return;
            bool notch = false;
            OutlineNode* record = NewRecord(kind, entity);
            record->points = ReadOpeningPolygon(opening.get(), &notch);
            record->flag = notch ? 1 : 0;
            push(record);
            return;
        }
        case kPilasterKind: {
            double level = 0.0;
            if (!asEntity || ParseDollarNumber(asEntity->layer(), level) != 1) return;
            host::ResbufList pilaster = XDataOf(object, kPilasterApp);
            if (!pilaster || !FindRbCode(pilaster.get(), 1011)) return;
            OutlineNode* record = NewRecord(kind, entity);
            record->points = PilasterPoints(pilaster.get());
            record->z = level;
            push(record);
            return;
        }
        default:
            return;
    }
}

namespace {

// A positive automatic-3D mark: the sides of the line are generated by
// the module and follow it.
bool GeneratesSides(const ZcDbObject& object) {
    const host::ResbufList mark = XDataOf(object, kModel3DTypeApp);
    const resbuf* rb = mark ? mark->rbnext : nullptr;
    if (!rb) return false;
    if (rb->restype == 1070) return rb->resval.rint > 0;
    if (rb->restype == 1071) return rb->resval.rlong > 0;
    if (rb->restype == 1040 || rb->restype == 1041 || rb->restype == 1042) return rb->resval.rreal >= 1.0;
    return false;
}

}  // namespace

void TouchedObjectList::noteOpenedForModify(const ZcDbObject& object) {
    const ZcDbLine* line = ZcDbLine::cast(&object);
    const ZcDbArc* arc = line ? nullptr : ZcDbArc::cast(&object);
    if (!line && !arc) return;
    if (!GeneratesSides(object)) return;
    std::string names;
    if (SysVarString("CMDNAMES", "", names) != RTNORM || !IsEditCommand(names.c_str())) return;
    EditedWallLine edited;
    if (zcdbGetAdsName(edited.entity, object.objectId()) != Zcad::eOk) return;
    for (const EditedWallLine& l : m_wallLines)
        if (SameName(l.entity, edited.entity)) return;
    const ZcDbEntity& entity = line ? static_cast<const ZcDbEntity&>(*line) : *arc;
    if (ParseDollarNumber(entity.layer(), edited.level) != 1) return;
    if (line) {
        const ZcGePoint3d a = line->startPoint(), b = line->endPoint();
        edited.start = {a.x, a.y, a.z};
        edited.end = {b.x, b.y, b.z};
    } else {
        const ZcGePoint3d c = arc->center();
        edited.isArc = true;
        edited.arc.centre = {c.x, c.y, c.z};
        edited.arc.radius = arc->radius();
        edited.arc.startAngle = arc->startAngle();
        edited.arc.endAngle = arc->endAngle();
    }
    m_wallLines.push_back(edited);
}

// ------------------------------------------------------------- the walk

bool TouchedObjectList::runUpdates(const TouchedObjectUpdates& updates) {
    // Taken off first: the updates erase and make entities, whose notes
    // must not grow the list under the walk, and are dropped after it.
    OutlineNode* list = m_head;
    m_head = nullptr;
    const std::vector<EditedWallLine> lines = std::move(m_wallLines);
    m_wallLines.clear();
    bool ok = true;
    for (const OutlineNode* r = list; r && ok; r = r->next) {
        switch (r->kind) {
            case 11:
                ok = RunUpdate(updates.checkWallMarks, *r) && RunUpdate(updates.rejoinStraightWall, *r) &&
                     RunUpdate(updates.regenerate3DWalls, *r);
                break;
            case 12:
                ok = RunUpdate(updates.checkWallMarks, *r) && RunUpdate(updates.rejoinArcWall, *r) &&
                     RunUpdate(updates.regenerate3DWalls, *r);
                break;
            case 18:
                ok = RunUpdate(updates.checkWallMarks, *r) && RunUpdate(updates.rejoinCornerWall, *r) &&
                     RunUpdate(updates.regenerate3DWalls, *r);
                break;
            case kDimensionKind:
                ok = RunUpdate(updates.updateDimensionText, r->entity);
                break;
            case kStairOpeningKind:
                ok = RunUpdate(updates.removeSlabOpening, r->points, false);
                break;
            case 14:
            case 15:
            case 19:
            case 48:
                ok = RunUpdate(updates.removeSlabOpening, r->points, r->flag > 0);
                break;
            case kPilasterKind:
                ok = RunUpdate(updates.rejoinPilaster, r->points, r->z);
                break;
            default:
                break;
        }
    }
    // After the rejoins: a wall the edit moved is made once, as it ends up.
    if (ok && !lines.empty()) ok = RunUpdate(updates.regenerateEditedWalls, lines);
    FreeOutlineList(list);
    clear();
    return ok;
}

void TouchedObjectList::clear() {
    m_head = FreeOutlineList(m_head);
    m_wallLines.clear();
}

void TouchedObjectList::push(OutlineNode* record) {
    record->next = m_head;
    m_head = record;
}
