#include "objects/placement/modify_regen.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "core/host_services.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "host/util/nocase.h"
#include "objects/dialogs/dlg_sostituisci.h"
#include "objects/draw/draw_runner.h"
#include "objects/language/obj_context.h"
#include "objects/language/obj_data.h"
#include "objects/language/obj_expr.h"
#include "objects/language/obj_geometry.h"
#include "objects/language/obj_records.h"
#include "objects/language/obj_text.h"
#include "objects/placement/host_pickers.h"
#include "objects/placement/insert_run.h"
#include "objects/placement/param_input.h"
#include "objects/placement/wall_cuts.h"
#include "objects/placement/wall_edit_util.h"
#include "resources/velmresources.h"
#include "roofs/slab_openings.h"
#include "settings/dialogs/layer_linetypes.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "visual/model3d/face_records.h"
#include "visual/model3d/wall3d_commands.h"
#include "walls/graph/outline_kind.h"
#include "walls/graph/outline_record.h"

namespace {

constexpr const char* kTemporaryName = "$$TEMP$$__$$";
constexpr double kPi = 3.14159265358979323846;

resbuf* AppStart(resbuf* list, const char* app) {
    return list ? FindXDataApp(list, app) : nullptr;
}

// The n-th group after the application's name (1 the first).
resbuf* RecordItem(resbuf* app, int n) {
    resbuf* rb = app;
    for (int i = 0; rb && i < n; ++i) {
        rb = rb->rbnext;
        if (rb && rb->restype == 1001) return nullptr;
    }
    return rb;
}

void SetReal(ObjContext& c, int number, double value) {
    SetObjVar(number, kVarFixed, 1, u'R', "", value, "", 0, 0, c.vars);
}

// The schedule type word (in English) and number of an opening.
void ReadScheduleMark(resbuf* list, std::string& word, int& number) {
    word.clear();
    number = 0;
    resbuf* app = AppStart(list, kAbInfissiObjApp);
    if (!app) return;
    const resbuf* kind = RecordItem(app, 2);
    if (kind && kind->restype == 1000 && kind->resval.rstring)
        TranslateOpeningType(kind->resval.rstring, word, true);
    const resbuf* mark = RecordItem(app, 8);
    if (mark && mark->restype == 1070) number = mark->resval.rint;
}

double LayerLevel(const std::string& layer) {
    const std::size_t dollar = layer.rfind('$');
    return dollar == std::string::npos ? 0.0 : std::atof(layer.c_str() + dollar + 1);
}

// The flag code of the stored flag point: 3D only (4) and the mirrored
// symbol variable (2).
void ApplyFlagCode(ObjContext& c, double code) {
    if (code > 3.5) {
        c.only3d = 1;
        code -= 4.0;
    }
    if (code > 1.5) SetReal(c, 5001, 1.0);
}

void ReadLayerChanges(ObjContext& c, resbuf* list) {
    c.layerSubstitutions.clear();
    resbuf* app = AppStart(list, kCambioLayerApp);
    for (resbuf* rb = app ? app->rbnext : nullptr; rb && rb->restype != 1001; rb = rb->rbnext) {
        if (rb->restype != 1000 || !rb->rbnext || rb->rbnext->restype != 1000) continue;
        const char* from = rb->resval.rstring;
        const char* to = rb->rbnext->resval.rstring;
        c.layerSubstitutions.push_back({from ? from : "", to ? to : ""});
        rb = rb->rbnext;
    }
}

void ReadSpecialValues(ObjContext& c, resbuf* list, const double* values) {
    resbuf* app = AppStart(list, kParaSpecApp);
    for (resbuf* rb = app ? app->rbnext : nullptr; rb && rb->restype != 1001; rb = rb->rbnext) {
        if (rb->restype != 1070 || !rb->rbnext) continue;
        const int number = rb->resval.rint;
        resbuf* value = rb->rbnext;
        if (values && number >= 10001 && number <= 10005 && value->restype == 1040)
            value->resval.rreal = values[number - 10001];
        if (value->restype == 1000)
            SetObjVar(number, kVarFixed, 1, u'S', "", 0.0, value->resval.rstring ? value->resval.rstring : "",
                      0, 0, c.vars);
        else
            SetObjVar(number, kVarFixed, 1, u'R', "", value->restype == 1040 ? value->resval.rreal : 0.0, "",
                      0, 0, c.vars);
        rb = value;
    }
}

// The element key of a layer name: without the product prefix, up to "$".
std::string ElementKey(const std::string& layer) {
    std::string key = layer;
    if (key.size() > 4 && zcutEqualsNoCase(key.substr(0, 4), "VELM")) key = key.substr(4);
    const std::size_t dollar = key.find('$');
    if (dollar != std::string::npos) key.resize(dollar);
    return key;
}

}  // namespace

void RegenParamObject(const ads_name object, const AAR_LAYERC& layers, const double* valuePair,
                      int valuePairMode, const char* typeFilter, const double* values) {
    host::ResbufList list = wallcut::ReadWhole(object);
    if (!list) return;
    std::string word;
    int number = 0;
    ReadScheduleMark(list.get(), word, number);
    if (typeFilter && std::string(typeFilter) != "*" && (word.empty() || !zcutEqualsNoCase(word, typeFilter)))
        return;
    const double unitFactor = DrawingUnitFactor();
    const resbuf* layerGroup = FindRbCode(list.get(), 8);
    const std::string objectLayer =
        layerGroup && layerGroup->resval.rstring ? layerGroup->resval.rstring : "";
    const double level = LayerLevel(objectLayer);

    resbuf* app = AppStart(list.get(), kParamRecordApp);
    const resbuf* nameItem = RecordItem(app, 1);
    if (!nameItem || nameItem->restype != 1000 || !nameItem->resval.rstring) return;
    const std::string name = nameItem->resval.rstring;
    if (name == kTemporaryName) return;

    std::unique_ptr<ObjContext> owner = NewObjContext(name);
    ObjContext& c = *owner;
    c.runMode = 6;
    c.skipParamInput = 0;
    InitObjVariables(c);
    if (LoadObjFile(c, name) <= 0 || ReadVarSection(false, c) != 0) {
        FreeObjContext(std::move(owner));
        return;
    }
    c.repeat = 0;
    const bool windowKind = FindObjVar(11008, c.vars) == nullptr;
    ReadSpecialValues(c, list.get(), values);
    ReadLayerChanges(c, list.get());

    const resbuf* setItem = RecordItem(app, 2);
    if (setItem && setItem->restype == 1000 && setItem->resval.rstring)
        c.paramSetName = setItem->resval.rstring;
    const resbuf* typeItem = RecordItem(app, 3);
    const InsertionType type =
        static_cast<InsertionType>(typeItem && typeItem->restype == 1070 ? typeItem->resval.rint : 10);
    c.insertionType = c.workingType = type;
    if (type == InsertionType::OpeningSchedule || type == InsertionType::Separator) {
        FreeObjContext(std::move(owner));
        return;
    }
    if (type == InsertionType::SlabCutTotalGiven)
        if (ObjVar* v = FindObjVar(5, c.vars)) v->kind = kVarFixed;
    if (type == InsertionType::SlabCutPartGiven)
        if (ObjVar* v = FindObjVar(4, c.vars)) v->kind = kVarFixed;
    resbuf* pair = RecordItem(app, 7);
    const resbuf* flags = RecordItem(app, 8);
    double pairValue[3] = {0, 0, 0}, flagPoint[3] = {0, 0, 0};
    if (pair && pair->restype == 1010) {
        if (valuePair && (valuePairMode == 0 || valuePairMode == 2)) pair->resval.rpoint[0] = valuePair[0];
        if (valuePair && (valuePairMode == 1 || valuePairMode == 2)) pair->resval.rpoint[1] = valuePair[1];
        for (int i = 0; i < 3; ++i) pairValue[i] = pair->resval.rpoint[i];
    }
    if (flags && flags->restype == 1010)
        for (int i = 0; i < 3; ++i) flagPoint[i] = flags->resval.rpoint[i];
    for (const resbuf* rb = flags ? flags->rbnext : nullptr; rb && rb->restype == 1070 && rb->rbnext;) {
        const resbuf* value = rb->rbnext;
        if (ObjVar* v = FindObjVar(rb->resval.rint, c.vars)) {
            v->value = value->restype == 1040 ? value->resval.rreal : 0.0;
            v->text = value->restype == 1000 && value->resval.rstring ? value->resval.rstring : "";
        }
        rb = value->rbnext;
    }

    const resbuf* rotation = FindRbCode(list.get(), 50);
    c.rotation = rotation ? rotation->resval.rreal : 0.0;
    if (const resbuf* at = FindRbCode(list.get(), 10)) {
        for (int i = 0; i < 3; ++i) c.insertionPoint[i] = at->resval.rpoint[i];
        c.elevation = at->resval.rpoint[2];
    }
    for (int i = 0; i < 3; ++i) {
        const resbuf* s = FindRbCode(list.get(), 41 + i);
        c.scale[i] = s ? s->resval.rreal : 1.0;
    }
    c.mirrored = c.scale[0] < 0.0;
    SetReal(c, 11010, flagPoint[2]);
    SetReal(c, 11011, flagPoint[1]);
    ApplyFlagCode(c, flagPoint[0]);
    const double a = c.rotation;
    bool turned = type == InsertionType::ArcWallOpening ? (a > 0.75 * kPi && a < 1.75 * kPi)
                                                        : (a > 0.24 * kPi && a < 1.24 * kPi);
    if (c.mirrored) turned = !turned;
    SetReal(c, 16, turned ? 1.0 : 0.0);
    SetReal(c, 30, c.rotation);

    switch (type) {
        case InsertionType::StraightWallOpening:
        case InsertionType::ArcWallOpening:
        case InsertionType::WallCorner:
            SetReal(c, windowKind ? 25 : 11025, pairValue[1]);
            SetReal(c, windowKind ? 27 : 11027, pairValue[0]);
            SetReal(c, zcutEqualsNoCase(word, "WINDOWS") ? 11100 : 11101, number);
            break;
        case InsertionType::SlabCutTotalGiven:
        case InsertionType::SlabCutPartGiven:
            SetReal(c, 11001 + SettingInt(SetupVar::RAPSCALEPROSP), 1.0);
            ComputeRatioVars(c);
            break;
        case InsertionType::SlabOpening:
        case InsertionType::OnSlab:
        case InsertionType::RoofWindow:
            c.rotation += pairValue[0];
            SetReal(c, 30, pairValue[0]);
            break;
        case InsertionType::StairBalustrade:
        case InsertionType::HandrailCorner:
            ReadHandrailXData(c, object);
            ReadHandRailSection(c);
            break;
        default:
            break;
    }
    if (ObjVar* layer = FindObjVar(11030, c.vars); layer && !layer->text.empty() && layer->text != "0") {
        std::string made = ElementKey(layer->text);
        EnsureLayer(made, layers, true, level, false);
        layer->text = made;
    }

    bool drawn = false;
    if (EvaluateComputedVars(c, unitFactor) == 1 && FindSection("DRAW", *c.text, true)) {
        ReadTextLine(*c.text, 258, true);
        drawn = RunDrawBlock(c, layers) >= 0 && !c.blockName.empty();
    }
    if (drawn) {
        ReplaceRb(list.get(), 2, c.blockName.c_str());
        zcdbEntMod(list.get());
    }
    if (c.madeLayers) {
        LoadLayerLinetypes(c.madeLayers.get());
        c.madeLayers.reset();
    }
    FreeObjContext(std::move(owner));
}

// ---- reading a placed object back, modify ----

namespace {

constexpr const char* kSyntaxError = "Błąd składni w sekcji pliku";

bool IsWallOpening(InsertionType type) {
    return type == InsertionType::StraightWallOpening || type == InsertionType::ArcWallOpening ||
           type == InsertionType::WallCorner;
}

bool SameType(InsertionType a, InsertionType b) {
    const auto norm = [](InsertionType t) {
        return t == InsertionType::SlabCutPartGiven ? InsertionType::SlabCutTotalGiven : t;
    };
    return norm(a) == norm(b);
}

// An opening brought back into its wall, as its placement set it there:
// the 3D faces, which its relocation made without it, then the 2D cut. The
// wall lines are found from the opening's own gap, since the wall the user
// was picking when the placement was given up may be another one. Faces
// kept from before the relocation are put back as they were; without them
// the sides are made again.
void RestoreOpening(const ObjContext& c, const ads_name object, const FloorFacesKept* faces) {
    const ads_name none = {0, 0};
    const bool cut2d = SettingInt(SetupVar::SAPRI_AUTO, 1) != 0 && !c.only3d;
    if (faces) faces->Restore();
    if (c.insertionType == InsertionType::WallCorner) {
        ads_name lines[4];
        if (FindWallLinesAtOpening(object, lines)) {
            if (!faces) Regen3DWallsAround(lines[0], lines[1], c.elevation, lines[2], lines[3]);
            if (cut2d) CutCornerWallAtObject(object, lines);
        }
        return;
    }
    const OwnedOutline o{ReadTag3DiStr(object)};
    if (!o) return;
    const bool straight = c.insertionType == InsertionType::StraightWallOpening;
    ads_name a{0, 0}, b{0, 0};
    {
        const wallcut::WallSelection walls(straight ? "LINE" : "ARC", c.elevation, false);
        if (straight)
            FindStraightWallLinesAtGap(*o, walls.set(), a, b);
        else
            FindArcWallArcsAtGap(*o, walls.set(), a, b);
    }
    if (!faces) Regen3DWallsAround(a, b, c.elevation, none, none);
    if (!cut2d) return;
    if (straight)
        CutStraightWallAtOpening(object, a, b);
    else
        CutArcWallAtOpening(object, a, b);
}

// The object's walls or slab cut again after it was brought back.
void RestoreHost(const ObjContext& c, const ads_name object, const FloorFacesKept* faces = nullptr) {
    switch (c.insertionType) {
        case InsertionType::SlabCutTotalGiven:
        case InsertionType::SlabCutPartGiven:
        case InsertionType::SlabOpening:
        case InsertionType::RoofWindow:
            CutOpeningIntoSlab(object, c.firstEntity);
            break;
        case InsertionType::StraightWallOpening:
        case InsertionType::ArcWallOpening:
        case InsertionType::WallCorner:
            RestoreOpening(c, object, faces);
            break;
        case InsertionType::Pilaster:
            if (SettingInt(SetupVar::SAPRI_AUTO, 1) != 0 && !c.only3d) BreakWallAtObject(object, 0.0, false);
            break;
        default:
            break;
    }
}

// The layout the writer files a placed object's record in: name, set,
// insertion type, fixed-point index, fixed point, alignment, value pair and
// flag point, then (number, real or text) pairs to the record's end.
bool ParamRecordReadsAsFiled(const resbuf* app) {
    static constexpr int kHead[] = {1000, 1000, 1070, 1070, 1010, 1070, 1010, 1010};
    const resbuf* rb = app ? app->rbnext : nullptr;
    for (const int code : kHead) {
        if (!rb || rb->restype != code) return false;
        rb = rb->rbnext;
    }
    for (; rb && rb->restype != 1001; rb = rb->rbnext) {
        if (rb->restype != 1070 || !rb->rbnext) return false;
        rb = rb->rbnext;
        if (rb->restype != 1040 && rb->restype != 1000) return false;
    }
    return true;
}

// Whether the xdata of an entity list can be made again as it is: every
// 1002 group a brace, the braces of each application closed within it.
bool XDataBracesClosed(const resbuf* list) {
    int depth = 0;
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        if (rb->restype == 1001 && depth != 0) return false;
        if (rb->restype != 1002) continue;
        const std::string brace = rb->resval.rstring ? rb->resval.rstring : "";
        if (brace == "{")
            ++depth;
        else if (brace != "}" || --depth < 0)
            return false;
    }
    return depth == 0;
}

// A wall line or arc at the object's gap whose xdata could not be made again
// when the wall is rejoined; false when there is none.
bool DamagedWallAtObject(const ads_name object, ads_name damaged) {
    const OwnedOutline outline{ReadTag3DiStr(object)};
    if (!outline) return false;
    const OutlineNode& o = *outline;
    std::vector<Point3> points{o.gapA[0], o.gapA[1], o.gapB[0], o.gapB[1]};
    if (o.kind == OutlineKind::WallCorner) points.insert(points.end(), {o.corner[0], o.corner[1]});
    for (const bool lines : {true, false}) {
        const wallcut::WallSelection walls(lines ? "LINE" : "ARC", o.z, false);
        for (std::int32_t i = 0; i < walls.size(); ++i) {
            ads_name e;
            if (!walls.name(i, e)) continue;
            Point3 s, t;
            ArcRecord arc;
            const bool read = lines ? GetLineData(e, s, t) != 0 : GetArcData(e, arc) == 1;
            bool touches = false;
            for (const Point3& p : points)
                touches =
                    touches || (read && (lines ? IsPointOnSegment(p, s, t) : IsPointOnArc(p, arc, true)));
            if (!touches || XDataBracesClosed(wallcut::ReadWhole(e).get())) continue;
            ads_name_set(e, damaged);
            return true;
        }
    }
    return false;
}

// Whether the object's record and the wall entities it is cut into read as
// they are filed. When one does not, it is named by its handle and the
// object with its walls is to be left as it is.
bool ObjectReadsAsFiled(const ads_name object) {
    host::ResbufList list = wallcut::ReadWhole(object);
    ads_name damaged = {object[0], object[1]};
    if (ParamRecordReadsAsFiled(AppStart(list.get(), kParamRecordApp)) && XDataBracesClosed(list.get()) &&
        !DamagedWallAtObject(object, damaged))
        return true;
    host::ResbufList data(zcdbEntGet(damaged));
    const resbuf* handle = FindRbCode(data.get(), 5);
    zcutPrintf("\nUszkodzone dane rozszerzone elementu %s: obiekt i jego ściany pozostają bez zmian",
               handle && handle->resval.rstring ? handle->resval.rstring : "?");
    return false;
}

struct SnapshotEntry {
    int number = 0;
    double value = 0.0;
    std::string text;
    bool changed = false;
};

}  // namespace

int LoadObjectParametriXData(ObjContext& c, const ads_name object, ObjParamRecord& record, bool checkName) {
    host::ResbufList list = wallcut::ReadWhole(object);
    resbuf* app = AppStart(list.get(), kParamRecordApp);
    const resbuf* nameItem = RecordItem(app, 1);
    if (!nameItem || nameItem->restype != 1000) return -1;
    const std::string name = nameItem->resval.rstring ? nameItem->resval.rstring : "";
    if (checkName && !zcutEqualsNoCase(name, c.objectName)) return -1;
    const resbuf* typeItem = RecordItem(app, 3);
    const InsertionType stored =
        static_cast<InsertionType>(typeItem && typeItem->restype == 1070 ? typeItem->resval.rint : 10);
    if (record.insertionType != InsertionType::None && !SameType(record.insertionType, stored)) return -1;
    if (!checkName) c.objectName = name;
    const resbuf* setItem = RecordItem(app, 2);
    if (setItem && setItem->restype == 1000 && setItem->resval.rstring)
        c.paramSetName = setItem->resval.rstring;
    c.insertionType = c.workingType = stored;
    // Filed as the writer files it: the fixed point comes before the
    // alignment, the value pair and the flags after it.
    const resbuf* fixItem = RecordItem(app, 4);
    const resbuf* alignItem = RecordItem(app, 6);
    if (fixItem && fixItem->restype == 1070) c.fixedPointIndex = fixItem->resval.rint;
    if (alignItem && alignItem->restype == 1070) c.alignment = alignItem->resval.rint;
    double points[3][3] = {};
    const int pointItems[3] = {5, 7, 8};
    for (int k = 0; k < 3; ++k) {
        const resbuf* p = RecordItem(app, pointItems[k]);
        if (p && p->restype == 1010)
            for (int i = 0; i < 3; ++i) points[k][i] = p->resval.rpoint[i];
    }
    const resbuf* flags = RecordItem(app, 8);
    for (const resbuf* rb = flags ? flags->rbnext : nullptr; rb && rb->restype == 1070 && rb->rbnext;) {
        const resbuf* value = rb->rbnext;
        if (ObjVar* v = FindObjVar(rb->resval.rint, c.vars)) {
            v->value = value->restype == 1040 ? value->resval.rreal : 0.0;
            v->text = value->restype == 1000 && value->resval.rstring ? value->resval.rstring : "";
        }
        rb = value->rbnext;
    }
    const resbuf* rotation = FindRbCode(list.get(), 50);
    c.rotation = rotation ? rotation->resval.rreal : 0.0;
    if (const resbuf* at = FindRbCode(list.get(), 10)) {
        for (int i = 0; i < 3; ++i) c.insertionPoint[i] = at->resval.rpoint[i];
        c.elevation = at->resval.rpoint[2];
    }
    if (const resbuf* ext = FindRbCode(list.get(), 210))
        for (int i = 0; i < 3; ++i) c.extrusion[i] = ext->resval.rpoint[i];
    if (stored == InsertionType::StraightWallOpening)
        c.host.pickPoint = {c.insertionPoint[0], c.insertionPoint[1], c.insertionPoint[2]};
    for (int i = 0; i < 3; ++i) {
        const resbuf* s = FindRbCode(list.get(), 41 + i);
        c.scale[i] = s ? s->resval.rreal : 1.0;
    }
    c.mirrored = c.scale[0] < 0.0;
    ReadLayerChanges(c, list.get());
    // The insertion point moves to where the fixed point marks; the run
    // takes the fixed point off again.
    const bool slabType = stored == InsertionType::SlabOpening || stored == InsertionType::OnSlab ||
                          stored == InsertionType::RoofWindow;
    const double angle = c.rotation + (slabType ? points[1][0] : 0.0);
    const double fx = points[0][0] * c.scale[0], fy = points[0][1] * c.scale[1];
    c.insertionPoint[0] += fx * std::cos(angle) - fy * std::sin(angle);
    c.insertionPoint[1] += fx * std::sin(angle) + fy * std::cos(angle);
    c.insertionPoint[2] += points[0][2] * c.scale[2];
    SetReal(c, 11010, points[2][2]);
    SetReal(c, 11011, points[2][1]);
    double code = points[2][0];
    if (code > 3.5) {
        c.only3d = 1;
        code -= 4.0;
    }
    if (code > 1.5) {
        SetReal(c, 5001, 1.0);
        code -= 2.0;
    }
    if (code > 0.5) SetReal(c, 16, 1.0);
    ReadParaSpecFromObject(c, object);
    switch (stored) {
        case InsertionType::StraightWallOpening:
        case InsertionType::ArcWallOpening:
        case InsertionType::WallCorner: {
            std::string word;
            int number = 0;
            ReadScheduleMark(list.get(), word, number);
            const bool windowKind = FindObjVar(11008, c.vars) == nullptr;
            double v = 0.0;
            std::string text;
            if (windowKind) {
                GetObjVar(11109, v, text, c.vars);
                record.openingValue = v;
            } else {
                GetObjVar(11108, v, text, c.vars);
                record.openingValue = v >= 0.5 ? 0.0 : 1.0;
            }
            SetReal(c, windowKind ? 25 : 11025, points[1][1]);
            SetReal(c, windowKind ? 27 : 11027, points[1][0]);
            SetReal(c, zcutEqualsNoCase(word, "WINDOWS") ? 11100 : 11101, number);
            break;
        }
        case InsertionType::SlabCutTotalGiven:
        case InsertionType::SlabCutPartGiven:
            for (int n : {11001, 11002, 11003}) SetReal(c, n, 0.0);
            SetReal(c, 11001 + SettingInt(SetupVar::RAPSCALEPROSP), 1.0);
            if (ObjVar* v = FindObjVar(4, c.vars))
                v->kind = stored == InsertionType::SlabCutTotalGiven ? kVarParameter : kVarFixed;
            if (ObjVar* v = FindObjVar(5, c.vars))
                v->kind = stored == InsertionType::SlabCutTotalGiven ? kVarFixed : kVarParameter;
            break;
        case InsertionType::SlabOpening:
        case InsertionType::OnSlab:
        case InsertionType::RoofWindow:
            c.rotation += points[1][0];
            SetReal(c, 30, points[1][0]);
            break;
        case InsertionType::StairBalustrade:
        case InsertionType::HandrailCorner:
            ReadHandrailXData(c, object);
            break;
        case InsertionType::OpeningSchedule: {
            resbuf* tab = AppStart(list.get(), kAbInfissiTabApp);
            const resbuf* first = RecordItem(tab, 1);
            if (first && first->restype == 1000 && first->resval.rstring)
                InitObjSettingVars(c, first->resval.rstring);
            break;
        }
        default:
            break;
    }
    return 1;
}

void ModifyParamObjects(ObjContext& c, const ads_name object) {
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    const double unitFactor = DrawingUnitFactor();
    const int loaded = LoadObjFile(c, c.objectName);
    if (loaded == 0)
        zcutPrintf("\n%s(.txt) !%s", c.objectName.c_str(), "Nie mogę znaleźć pliku definicji obiektu");
    if (loaded <= 0) return;
    if (const int r = ReadVarSection(false, c); r != 0) {
        zcutPrintf("\n%s: %s", kSyntaxError, VarSectionErrorLabel(r).c_str());
        return;
    }
    ReadInsertionType(c);
    if (ReadTypoSection(c) == -1) {
        zcutPrintf("\n%s: TYPO", kSyntaxError);
        return;
    }
    c.repeat = 0;
    if (c.insertionType == InsertionType::OpeningSchedule) {
        InitObjSettingVars(c, SettingString(SetupVar::NOMEFILEOA));
        c.replacementLayer = "\nOkreśl punkt wstawienia tabeli otworów:";
    }
    ObjParamRecord record;
    if (!ObjectReadsAsFiled(object)) return;
    if (LoadObjectParametriXData(c, object, record, true) != 1) return;
    const std::string oldSetName = c.paramSetName;
    if (EvaluateComputedVars(c, unitFactor) != 1) return;
    std::vector<SnapshotEntry> snapshot;
    for (const auto& v : c.vars)
        if (v->kind == kVarParameter && !(v->number == 1 && c.only3d))
            snapshot.push_back({v->number, v->value, v->text, false});
    // The index the object was placed with is kept.
    const int index = c.fixedPointIndex;
    if (ReadFixpSection(c, false) < 0) {
        zcutPrintf("\n%s: FIXP", kSyntaxError);
        return;
    }
    c.fixedPointIndex = index;

    int action = 5;
    if (!c.skipParamInput) action = EditObjectParametersDialog(1, c);
    bool fixed = true;
    std::vector<std::array<std::int64_t, 2>> targets;
    const auto addSet = [&targets](const ads_name set) {
        std::int32_t n = 0;
        zcedSSLength(set, &n);
        for (std::int32_t i = 0; i < n; ++i) {
            ads_name e;
            if (zcedSSName(set, i, e) == RTNORM) targets.push_back({e[0], e[1]});
        }
        zcedSSFree(set);
    };
    switch (action) {
        case 0:
            fixed = false;
            targets.push_back({object[0], object[1]});
            break;
        case 5:
            targets.push_back({object[0], object[1]});
            break;
        case 3: {
            zcutPrintf("\n%s", "Wybierz obiekty do modyfikacji");
            ads_name set;
            if (zcedSSGet(nullptr, nullptr, nullptr, nullptr, set) != RTNORM) return;
            addSet(set);
            break;
        }
        case 4: {
            host::ResbufList filter(zcutBuildList(-3, 1001, kParamRecordApp, 0));
            ads_name set;
            if (zcedSSGet("X", nullptr, nullptr, filter.get(), set) != RTNORM) return;
            addSet(set);
            break;
        }
        default:
            return;
    }
    const bool setChanged = !zcutEqualsNoCase(c.paramSetName, oldSetName);
    const std::string newSetName = c.paramSetName;
    for (SnapshotEntry& s : snapshot) {
        const ObjVar* v = FindObjVar(s.number, c.vars);
        if (!v) continue;
        s.changed = setChanged || v->value != s.value || v->text != s.text;
        s.value = v->value;
        s.text = v->text;
    }
    for (const auto& t : targets) {
        const ads_name entity = {t[0], t[1]};
        if (!ObjectReadsAsFiled(entity)) continue;
        if (LoadObjectParametriXData(c, entity, record, true) != 1) continue;
        if (setChanged) c.paramSetName = newSetName;
        // An object placed again by hand may be given up at its wall: the
        // faces its relocation makes again are then put back as they were.
        std::optional<FloorFacesKept> faces;
        if (!fixed && IsWallOpening(c.insertionType)) faces.emplace(layers, c.elevation);
        if (RelocateOnHost(c, entity) == 0) continue;
        for (const SnapshotEntry& s : snapshot) {
            if (!s.changed) continue;
            if (ObjVar* v = FindObjVar(s.number, c.vars)) {
                v->value = s.value;
                v->text = s.text;
            }
        }
        c.positionFixed = fixed ? 1 : 0;
        if (PlaceParamObject(c, layers, nullptr) < 0) {
            zcdbEntDel(entity);
            RestoreHost(c, entity, faces ? &*faces : nullptr);
        }
        if (zcedUsrBrk()) break;
    }
}

void RestoreFailedPlacement(const ObjContext& c, const ads_name object) {
    zcdbEntDel(object);
    RestoreHost(c, object);
}

void CmdModify() {
    ads_name object{0, 0};
    const auto single = [&object](const char* mode) {
        ads_name set;
        if (zcedSSGet(mode, nullptr, nullptr, nullptr, set) != RTNORM) return false;
        std::int32_t n = 0;
        zcedSSLength(set, &n);
        const bool one = n == 1 && zcedSSName(set, 0, object) == RTNORM;
        zcedSSFree(set);
        return one;
    };
    bool chosen = single("_I");
    bool triedPrevious = false;
    std::string name;
    for (;;) {
        if (!chosen) {
            ads_point at;
            const int rc = zcedEntSel("\nWybierz obiekt do modyfikacji:", object, at);
            if (rc == RTCAN) return;
            if (rc != RTNORM) {
                if (rc == RTERROR && PickHitNothing()) continue;
                if (triedPrevious || !single("P")) return;
                triedPrevious = true;
            }
        }
        chosen = false;
        host::ResbufList list(GetEntXData(object, kParamRecordApp));
        const resbuf* item = RecordItem(AppStart(list.get(), kParamRecordApp), 1);
        if (item && item->restype == 1000 && item->resval.rstring) {
            name = item->resval.rstring;
            break;
        }
        zcutPrintf("\n%s", "Element nie jest parametrycznym obiektem");
    }
    if (name == kTemporaryName) {
        zcutPrintf("%s", "\nWybrany element nie jest parametrycznym obiektem");
        return;
    }
    std::unique_ptr<ObjContext> context = NewObjContext(name);
    context->skipParamInput = 0;
    context->runMode = 1;
    InitObjVariables(*context);
    ModifyParamObjects(*context, object);
    FreeObjContext(std::move(context));
}

// ---- replace ----

void CopyPlacementForReplace(ObjContext& to, ObjContext& from, const ads_name object) {
    to.only3d = from.only3d;
    to.mirrored = from.mirrored;
    to.elevation = from.elevation;
    to.rotation = from.rotation;
    for (int i = 0; i < 3; ++i) {
        to.extrusion[i] = from.extrusion[i];
        to.insertionPoint[i] = from.insertionPoint[i];
        to.scale[i] = from.scale[i];
    }
    to.fixedPointIndex = from.fixedPointIndex;
    to.alignment = from.alignment;
    to.host.pickPoint = from.host.pickPoint;
    to.handrails = std::move(from.handrails);
    from.handrails.clear();
    const double a = to.rotation;
    SetReal(to, 16, a > 0.24 * kPi && a < 1.24 * kPi ? 1.0 : 0.0);
    ReadParaSpecFromObject(to, object);
    const auto copy = [&](int number) {
        if (const ObjVar* v = FindObjVar(number, from.vars))
            SetObjVar(number, v->kind, 1, v->type, v->description, v->value, v->text, 0, 0, to.vars);
    };
    switch (to.insertionType) {
        case InsertionType::StraightWallOpening:
        case InsertionType::ArcWallOpening:
        case InsertionType::WallCorner: {
            host::ResbufList list = wallcut::ReadWhole(object);
            std::string word;
            int number = 0;
            ReadScheduleMark(list.get(), word, number);
            const bool window = zcutEqualsNoCase(word, "WINDOWS");
            for (int n : window ? std::array<int, 3>{25, 27, 11100} : std::array<int, 3>{11025, 11027, 11101})
                copy(n);
            break;
        }
        case InsertionType::SlabCutTotalGiven:
        case InsertionType::SlabCutPartGiven:
            for (int n : {11001, 11002, 11003}) copy(n);
            break;
        case InsertionType::SlabOpening:
        case InsertionType::OnSlab:
        case InsertionType::RoofWindow: {
            copy(30);
            double v = 0.0;
            std::string text;
            GetObjVar(30, v, text, to.vars);
            to.rotation += v;
            break;
        }
        case InsertionType::StairBalustrade:
        case InsertionType::HandrailCorner:
            ReadHandrailXData(to, object);
            break;
        default:
            break;
    }
}

void ReplaceParamObjects(ObjContext& c) {
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    const auto load = [](ObjContext& ctx, bool fileValues) {
        const int loaded = LoadObjFile(ctx, ctx.objectName);
        if (loaded == 0)
            zcutPrintf("\n%s(.txt) !%s", ctx.objectName.c_str(), "Nie mogę znaleźć pliku definicji obiektu");
        if (loaded <= 0) return false;
        if (const int r = ReadVarSection(fileValues, ctx); r != 0) {
            zcutPrintf("\n%s: %s", kSyntaxError, VarSectionErrorLabel(r).c_str());
            return false;
        }
        ReadInsertionType(ctx);
        if (ReadTypoSection(ctx) == -1) {
            zcutPrintf("\n%s: TYPO", kSyntaxError);
            return false;
        }
        ctx.repeat = 0;
        return true;
    };
    if (!load(c, true)) return;
    zcutPrintf("\n%s", "Wybierz obiekty do zastąpienia");
    ads_name set;
    if (zcedSSGet(nullptr, nullptr, nullptr, nullptr, set) != RTNORM) return;
    std::vector<std::array<std::int64_t, 2>> objects;
    {
        std::int32_t n = 0;
        zcedSSLength(set, &n);
        for (std::int32_t i = 0; i < n; ++i) {
            ads_name e;
            if (zcedSSName(set, i, e) != RTNORM) continue;
            host::ResbufList list(GetEntXData(e, kParamRecordApp));
            if (AppStart(list.get(), kParamRecordApp)) objects.push_back({e[0], e[1]});
        }
        zcedSSFree(set);
    }
    if (objects.empty()) return;
    const ads_name first = {objects[0][0], objects[0][1]};
    host::ResbufList firstList(GetEntXData(first, kParamRecordApp));
    const resbuf* nameItem = RecordItem(AppStart(firstList.get(), kParamRecordApp), 1);
    if (!nameItem || nameItem->restype != 1000 || !nameItem->resval.rstring) {
        zcutPrintf("\n%s", "Element nie jest parametrycznym obiektem");
        return;
    }
    std::unique_ptr<ObjContext> oldOwner = NewObjContext(nameItem->resval.rstring);
    ObjContext& old = *oldOwner;
    old.runMode = 2;
    old.skipParamInput = 0;
    InitObjVariables(old);
    const auto finish = [&] { FreeObjContext(std::move(oldOwner)); };
    if (!load(old, false)) return finish();
    if (!SameType(old.insertionType, c.insertionType)) {
        zcutPrintf("\n%s", "Obiekty muszą być tego samego typu");
        return finish();
    }
    ObjParamRecord record;
    if (!ObjectReadsAsFiled(first)) return finish();
    if (LoadObjectParametriXData(old, first, record, false) != 1) return finish();
    if (old.insertionType != c.insertionType) {
        c.insertionType = c.workingType = old.insertionType;
        if (ObjVar* v = FindObjVar(4, c.vars))
            v->kind = c.insertionType == InsertionType::SlabCutTotalGiven ? kVarParameter : kVarFixed;
        if (ObjVar* v = FindObjVar(5, c.vars))
            v->kind = c.insertionType == InsertionType::SlabCutTotalGiven ? kVarFixed : kVarParameter;
    }
    ObjVarList oldParams;
    for (const auto& v : old.vars)
        if (v->kind == kVarParameter)
            SetObjVar(v->number, v->kind, 1, v->type, v->description, v->value, v->text, 0, 0, oldParams);
    {
        CZcModuleResourceOverride use(VelmResourceHandle());
        CDlgSostituisci dlg;
        dlg.m_newName = c.objectName;
        dlg.m_oldName = old.objectName;
        dlg.LoadNewFromContext(c);
        dlg.LoadOldRows(oldParams, record.openingValue);
        if (dlg.DoModal() != IDOK) return finish();
        dlg.ApplyToRecord(record.entries, record.takeSetName, record.setName);
    }
    for (const auto& t : objects) {
        const ads_name entity = {t[0], t[1]};
        if (!ObjectReadsAsFiled(entity)) continue;
        if (LoadObjectParametriXData(old, entity, record, false) != 1) continue;
        if (record.takeSetName) c.paramSetName = record.setName;
        CopyPlacementForReplace(c, old, entity);
        if (RelocateOnHost(c, entity) == 0) continue;
        for (const auto& entry : record.entries) {
            ObjVar* target = FindObjVar(entry->number, c.vars);
            if (!target) continue;
            if (entry->auxIndex < 0) {
                target->value = entry->value;
                target->text = entry->text;
            } else if (const ObjVar* source = FindObjVar(entry->auxIndex, old.vars)) {
                target->value = source->value;
                target->text = source->text;
            }
        }
        if (record.takeSetName) c.paramSetName = record.setName;
        c.positionFixed = 1;
        if (PlaceParamObject(c, layers, nullptr) < 0) {
            zcdbEntDel(entity);
            RestoreHost(c, entity);
        }
        if (zcedUsrBrk()) break;
    }
    finish();
}
