// Fixed-point markers (see the header). A marker is six lines on the layer
// "VELM_FIXEDP_X" around the record's fixed point (item 6, in block
// coordinates): the square's four sides, then its two diagonals. Showing
// them appends to every placed object's block without looking for earlier
// markers, so showing twice draws them twice; hiding erases every line on
// that layer in those blocks. The setting SET_PFISSOATTIVO remembers which
// was done last, and new objects follow it when their blocks are drawn.
//
// Choosing a fixed point hides the block markers while the transient one
// is shown, since they would cover it, and shows them again at the end.
// The first object is written before other objects are asked for, so a
// cancel there keeps its change.
#include "objects/placement/fixed_markers.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "core/host_services.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/db/dbents.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ed/adspick.h"
#include "host/ed/cmdproc.h"
#include "host/ed/grdraw.h"
#include "host/ed/prompts.h"
#include "host/util/nocase.h"
#include "objects/language/obj_context.h"
#include "objects/language/obj_expr.h"
#include "objects/language/obj_geometry.h"
#include "objects/language/obj_records.h"
#include "objects/placement/param_record_items.h"
#include "objects/placement/wall_edit_util.h"
#include "store/settings_dbfiler.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr const char* kMarkerLayer = "VELM_FIXEDP_X";

// Every placed object of the drawing; an empty list when there is none.
std::vector<std::pair<std::int64_t, std::int64_t>> PlacedObjects() {
    host::ResbufList filter(
        zcutBuildList(-4, "<and", -3, 1001, kParamRecordApp, RTDXF0, "INSERT", -4, "and>", 0));
    ads_name set;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), set) != RTNORM) return {};
    return Members(set);
}

ZcDbObjectId BlockOf(const ads_name object) {
    ZcDbObjectId id;
    if (zcdbGetObjectId(id, object) != Zcad::eOk) return {};
    ZcDbObjectPointer<ZcDbBlockReference> insert(id, ZcDb::kForRead);
    return insert ? insert->blockTableRecord() : ZcDbObjectId();
}

void RegenQuietly() {
    const int quiet = 0;
    const int echo = SysVarShort("CMDECHO", &quiet);
    zcedCommand(RTSTR, "_REGEN", 0);
    SysVarShort("CMDECHO", &echo);
}

void MarkerCorners(double x, double y, double k, ZcGePoint3d (&c)[4]) {
    c[0] = {x - k / 2, y - k / 2, 0.0};
    c[1] = {x + k / 2, y - k / 2, 0.0};
    c[2] = {x + k / 2, y + k / 2, 0.0};
    c[3] = {x - k / 2, y + k / 2, 0.0};
}

constexpr int kEdges[6][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 2}, {1, 3}};

// The insert's placement of block coordinates: scaled, turned about z,
// moved to the insertion point.
struct InsertPlacement {
    double at[3]{};
    double rotation = 0.0;
    double scale[3]{1.0, 1.0, 1.0};
    ZcGePoint3d apply(const double p[3]) const {
        const double x = p[0] * scale[0], y = p[1] * scale[1];
        return {at[0] + x * std::cos(rotation) - y * std::sin(rotation),
                at[1] + x * std::sin(rotation) + y * std::cos(rotation), at[2] + p[2] * scale[2]};
    }
};

// The record of `object` read back with its definition's fixed points.
struct FixedPointRun {
    std::unique_ptr<ObjContext> context;
    std::string name;
    InsertPlacement placement;
    ~FixedPointRun() { FreeObjContext(std::move(context)); }
};

// 1 ready; 0 the definition is missing (reported); -1 nothing to step.
int LoadFixedPoints(const ads_name object, FixedPointRun& run) {
    host::ResbufList list = wallcut::ReadWhole(object);
    resbuf* app = FindXDataApp(list.get(), kParamRecordApp);
    run.context = NewObjContext(run.name);
    ObjContext& c = *run.context;
    InitObjVariables(c);
    if (LoadObjFile(c, run.name) <= 0) {
        zcutPrintf("\nNie można znaleźć pliku definicji obiektu :%s", run.name.c_str());
        return 0;
    }
    if (ReadVarSection(false, c) != 0) return -1;
    const resbuf* flags = RecordItem(app, 8);
    for (const resbuf* rb = flags ? flags->rbnext : nullptr; rb && rb->restype == 1070 && rb->rbnext;) {
        const resbuf* value = rb->rbnext;
        if (ObjVar* v = FindObjVar(rb->resval.rint, c.vars)) {
            v->value = value->restype == 1040 ? value->resval.rreal : 0.0;
            v->text = value->restype == 1000 && value->resval.rstring ? value->resval.rstring : "";
        }
        rb = value->rbnext;
    }
    if (EvaluateComputedVars(c, DrawingUnitFactor()) != 1 || ReadFixpSection(c, false) < 0) return -1;
    const resbuf* index = RecordItem(app, 4);
    c.fixedPointIndex = index && index->restype == 1070 ? index->resval.rint : 1;
    int count = 0;
    for (const VertexNode* v = c.fixedPoints.get(); v; v = v->next) ++count;
    if (c.fixedPointIndex < 1 || c.fixedPointIndex > count) return -1;
    if (const resbuf* at = FindRbCode(list.get(), 10))
        for (int i = 0; i < 3; ++i) run.placement.at[i] = at->resval.rpoint[i];
    if (const resbuf* r = FindRbCode(list.get(), 50)) run.placement.rotation = r->resval.rreal;
    for (int i = 0; i < 3; ++i)
        if (const resbuf* s = FindRbCode(list.get(), 41 + i)) run.placement.scale[i] = s->resval.rreal;
    return 1;
}

const VertexNode* FixedPointAt(const ObjContext& c, int index) {
    const VertexNode* v = c.fixedPoints.get();
    for (int i = 1; v && i < index; ++i) v = v->next;
    return v;
}

// The index and point written into an object's record; false when the
// object has no record.
bool WriteFixedPoint(const ads_name object, int index, const double point[3]) {
    host::ResbufList list = wallcut::ReadWhole(object);
    resbuf* app = FindXDataApp(list.get(), kParamRecordApp);
    resbuf* indexItem = RecordItem(app, 4);
    resbuf* pointItem = RecordItem(app, 5);
    if (!indexItem || indexItem->restype != 1070 || !pointItem || pointItem->restype != 1010) return false;
    indexItem->resval.rint = static_cast<std::int16_t>(index);
    for (int i = 0; i < 3; ++i) pointItem->resval.rpoint[i] = point[i];
    return zcdbEntMod(list.get()) == RTNORM;
}

void ApplyToOthers(const std::string& name, int index, const double point[3]) {
    zcutPrintf("%s", "\nWskaż inne obiekty tego samego typu, kórym chcesz przypisać ten sam punkt stały:");
    ads_name set;
    if (zcedSSGet(nullptr, nullptr, nullptr, nullptr, set) != RTNORM) return;
    std::int32_t n = 0, others = 0;
    zcedSSLength(set, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        if (zcedSSName(set, i, e) != RTNORM) continue;
        host::ResbufList list = wallcut::ReadWhole(e);
        resbuf* app = FindXDataApp(list.get(), kParamRecordApp);
        if (!app) continue;
        if (!zcutEqualsNoCase(RecordName(app), name)) {
            ++others;
            continue;
        }
        WriteFixedPoint(e, index, point);
    }
    zcedSSFree(set);
    if (others != 0)
        zcutPrintf("\n%d obiekty nie były tego samego typu co pierwszy wybrany  (%s).", others, name.c_str());
}

}  // namespace

// ---- VELM_SPFISSIENT ----

VELM_PREVIEW_ENTITY_MEMBERS(VELM_SPFISSIENT)

VELM_SPFISSIENT::VELM_SPFISSIENT() : size(SettingReal(SetupVar::SET_DIMQPFISSO)) {}

bool VELM_SPFISSIENT::worldDraw(ZcGiWorldDraw* wd) {
    wd->subEntityTraits().setColor(2);
    for (const auto& e : kEdges) {
        const ZcGePoint3d edge[2] = {corners[e[0]], corners[e[1]]};
        wd->geometry().polyline(2, edge);
    }
    return true;
}

// ---- AJIG_SPFISSI ----

AJIG_SPFISSI::AJIG_SPFISSI() : marker(new VELM_SPFISSIENT) {}

AJIG_SPFISSI::~AJIG_SPFISSI() {
    delete marker;
}

ZcEdJig::DragStatus AJIG_SPFISSI::sampler() {
    setUserInputControls(static_cast<UserInputControls>(kAccept3dCoordinates | kNullResponseAccepted));
    setKeywordList("Następny");
    ZcGePoint3d ignored;
    return acquirePoint(ignored);
}

bool AJIG_SPFISSI::update() {
    MarkerCorners(marker->centre[0], marker->centre[1], marker->size, marker->corners);
    return true;
}

// ---- the commands ----

void CmdFixedPointsOn() {
    const double k = SettingReal(SetupVar::SET_DIMQPFISSO);
    const auto objects = PlacedObjects();
    if (objects.empty()) return;
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    std::string layer = kMarkerLayer;
    EnsureLayer(layer, layers, false, 0.0, true, nullptr);
    ZcDbDatabase* db = GetWorkingDatabase();
    const ZcDbObjectId layerId = db ? db->recordId(db->layerTableId(), layer) : ZcDbObjectId();
    if (layerId.isNull()) return;
    for (const auto& [a, b] : objects) {
        const ads_name object = {a, b};
        host::ResbufList list = wallcut::ReadWhole(object);
        resbuf* app = FindXDataApp(list.get(), kParamRecordApp);
        const resbuf* nameItem = RecordItem(app, 1);
        const resbuf* point = RecordItem(app, 5);
        if (!nameItem || nameItem->restype != 1000 || !point || point->restype != 1010) continue;
        ZcDbObjectPointer<ZcDbBlockTableRecord> block(BlockOf(object), ZcDb::kForWrite);
        if (!block) continue;
        ZcGePoint3d c[4];
        MarkerCorners(point->resval.rpoint[0], point->resval.rpoint[1], k, c);
        for (const auto& e : kEdges) {
            auto* line = new ZcDbLine;
            line->setDatabaseDefaults(db);
            line->setStartPoint(c[e[0]]);
            line->setEndPoint(c[e[1]]);
            line->setLayer(layerId);
            // Closed once the block holds it, deleted when the block refuses it.
            ZcDbObjectPointer<ZcDbLine> owned(line);
            block->appendZcDbEntity(line);
        }
    }
    RegenQuietly();
    SetSettingInt(SetupVar::SET_PFISSOATTIVO, 1);
}

void CmdFixedPointsOff() {
    const auto objects = PlacedObjects();
    if (objects.empty()) return;
    for (const auto& [a, b] : objects) {
        const ads_name object = {a, b};
        ZcDbObjectPointer<ZcDbBlockTableRecord> block(BlockOf(object), ZcDb::kForWrite);
        if (!block) continue;
        for (const ZcDbObjectId& id : block->entityIds()) {
            ZcDbObjectPointer<ZcDbLine> line(id, ZcDb::kForWrite);
            if (line && zcutEqualsNoCase(line->layer(), kMarkerLayer)) line->erase();
        }
    }
    RegenQuietly();
    SetSettingInt(SetupVar::SET_PFISSOATTIVO, 0);
}

void CmdFixedPointChange() {
    ads_name object;
    FixedPointRun run;
    for (;;) {
        ads_point at;
        const int rc = zcedEntSel("\nWybierz obiekt, który ma mieć zmieniony punkt stały:", object, at);
        if (rc == RTERROR && PickHitNothing()) continue;
        if (rc != RTNORM) return;
        host::ResbufList list = wallcut::ReadWhole(object);
        resbuf* app = FindXDataApp(list.get(), kParamRecordApp);
        const resbuf* nameItem = RecordItem(app, 1);
        if (nameItem && nameItem->restype == 1000) {
            run.name = RecordName(app);
            break;
        }
        zcutPrintf("%s", "\nWybrany element nie jest parametrycznym obiektem");
    }
    if (LoadFixedPoints(object, run) != 1) return;
    ObjContext& c = *run.context;
    const VertexNode* current = FixedPointAt(c, c.fixedPointIndex);
    double point[3] = {current->x, current->y, current->z};

    const bool shown = SettingInt(SetupVar::SET_PFISSOATTIVO) != 0;
    if (shown) CmdFixedPointsOff();
    AJIG_SPFISSI jig;
    const auto centreOn = [&](const double p[3]) {
        const ZcGePoint3d w = run.placement.apply(p);
        jig.marker->centre[0] = w.x;
        jig.marker->centre[1] = w.y;
    };
    centreOn(point);
    for (;;) {
        jig.setDispPrompt("\nZatwierdź aby zapisać i wyjść [Następny punkt stały]:");
        const ZcEdJig::DragStatus st = jig.drag();
        if (st == ZcEdJig::kKW1) {
            const int kindClass = FixedPointAt(c, c.fixedPointIndex)->edgeFlag;
            double next[3];
            NextFixedPoint(point, c, next, kindClass);
            for (int i = 0; i < 3; ++i) point[i] = next[i];
            centreOn(point);
            continue;
        }
        if (st == ZcEdJig::kNormal || st == ZcEdJig::kNoChange) continue;
        if (st == ZcEdJig::kNull) break;
        if (shown) CmdFixedPointsOn();
        return;
    }
    WriteFixedPoint(object, c.fixedPointIndex, point);
    ApplyToOthers(run.name, c.fixedPointIndex, point);
    if (shown) CmdFixedPointsOn();
}
