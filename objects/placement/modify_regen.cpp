#include "objects/placement/modify_regen.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/util/nocase.h"
#include "objects/draw/draw_runner.h"
#include "objects/language/obj_context.h"
#include "objects/language/obj_data.h"
#include "objects/language/obj_expr.h"
#include "objects/language/obj_records.h"
#include "objects/language/obj_text.h"
#include "objects/placement/insert_run.h"
#include "objects/placement/param_input.h"
#include "objects/placement/wall_edit_util.h"
#include "settings/dialogs/layer_linetypes.h"
#include "settings/store/settings_store.h"
#include "settings/store/setup_slots.h"

using wallcut::RbList;

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
    RbList list = wallcut::ReadWhole(object);
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
    const int type = typeItem && typeItem->restype == 1070 ? typeItem->resval.rint : 10;
    c.insertionType = c.workingType = type;
    if (type == 22 || type == 24) {
        FreeObjContext(std::move(owner));
        return;
    }
    if (type == 14)
        if (ObjVar* v = FindObjVar(5, c.vars)) v->kind = kVarFixed;
    if (type == 15)
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
    bool turned = type == 12 ? (a > 0.75 * kPi && a < 1.75 * kPi) : (a > 0.24 * kPi && a < 1.24 * kPi);
    if (c.mirrored) turned = !turned;
    SetReal(c, 16, turned ? 1.0 : 0.0);
    SetReal(c, 30, c.rotation);

    switch (type) {
        case 11:
        case 12:
        case 18:
            SetReal(c, windowKind ? 25 : 11025, pairValue[1]);
            SetReal(c, windowKind ? 27 : 11027, pairValue[0]);
            SetReal(c, zcutEqualsNoCase(word, "WINDOWS") ? 11100 : 11101, number);
            break;
        case 14:
        case 15:
            SetReal(c, 11001 + SettingInt(SetupVar::RAPSCALEPROSP), 1.0);
            ComputeRatioVars(c);
            break;
        case 19:
        case 47:
        case 48:
            c.rotation += pairValue[0];
            SetReal(c, 30, pairValue[0]);
            break;
        case 20:
        case 27:
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
    if (EvaluateComputedVars(c.vars, unitFactor) == 1 && FindSection("DRAW", *c.text, true)) {
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
