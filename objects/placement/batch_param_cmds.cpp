// Bulk parameter commands (see the header). Each works on the objects'
// records as filed: the parameter record's items are counted from its
// application name (item 1), the parameter pairs follow its ninth item, and
// every object is read with the xdata of all applications so that writing
// it back keeps the records of the other applications.
//
// Copying values places each target again on its host from its own record,
// as a modification does; a target whose host is gone or whose placing
// fails stays as it was. The deductions and label numbers are written into
// the records directly; only the labels are drawn again.
#include "objects/placement/batch_param_cmds.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/entity_data.h"
#include "core/host_services.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ads/units.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "host/util/nocase.h"
#include "objects/dialogs/dlg_aproppar.h"
#include "objects/language/obj_context.h"
#include "objects/language/obj_data.h"
#include "objects/language/obj_expr.h"
#include "objects/language/obj_geometry.h"
#include "objects/language/obj_records.h"
#include "objects/placement/host_pickers.h"
#include "objects/placement/insert_run.h"
#include "objects/placement/modify_regen.h"
#include "objects/placement/param_input.h"
#include "objects/placement/wall_edit_util.h"
#include "resources/velmresources.h"
#include "store/settings_store.h"

namespace {

constexpr const char* kTemporaryName = "$$TEMP$$__$$";
constexpr const char* kDiffering = "*RÓŻNE*";
constexpr double kLevelTolerance = 1.1920928955078125e-07;

LightDeductionDialogHook& DialogHook() {
    static LightDeductionDialogHook hook;
    return hook;
}

resbuf* AppStart(resbuf* list, const char* app) {
    return FindXDataApp(list, app);
}

// Item n + 1 of a record whose application group is `app` (item 1); null
// past the record's end.
resbuf* RecordItem(resbuf* app, int n) {
    if (!app) return nullptr;
    resbuf* rb = app->rbnext;
    for (int i = 1; rb && i < n; ++i) rb = rb->rbnext;
    if (rb && rb->restype == 1001) return nullptr;
    return rb;
}

std::string RecordName(resbuf* app) {
    const resbuf* item = RecordItem(app, 1);
    return item && item->restype == 1000 && item->resval.rstring ? item->resval.rstring : "";
}

int RecordType(resbuf* app) {
    const resbuf* item = RecordItem(app, 3);
    return item && item->restype == 1070 ? item->resval.rint : 10;
}

// The parameter pairs after the flag point: variable number, then its
// value (1040) or text (1000).
template <typename F>
void ForEachPair(resbuf* app, F&& f) {
    resbuf* rb = RecordItem(app, 8);
    for (rb = rb ? rb->rbnext : nullptr; rb && rb->restype == 1070 && rb->rbnext;) {
        resbuf* value = rb->rbnext;
        if (value->restype != 1040 && value->restype != 1000) break;
        f(rb->resval.rint, *value);
        rb = value->rbnext;
    }
}

std::string WithoutColon(std::string text) {
    if (!text.empty() && text.back() == ':') text.pop_back();
    return text;
}

// The members of a selection, in selection order; the set is freed.
std::vector<std::pair<std::int64_t, std::int64_t>> Members(const ads_name set) {
    std::vector<std::pair<std::int64_t, std::int64_t>> out;
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        if (zcedSSName(set, i, e) == RTNORM) out.emplace_back(e[0], e[1]);
    }
    zcedSSFree(set);
    return out;
}

bool SelectWithPrompts(const char* select, const char* remove, ads_name set) {
    const char* prompts[2] = {select, remove};
    return zcedSSGet(":$", prompts, nullptr, nullptr, set) == RTNORM;
}

// A fixed real variable of the context, replaced or made.
void SetReal(ObjContext& c, int number, double value) {
    SetObjVar(number, kVarFixed, 1, u'R', "", value, "", 0, 0, c.vars);
}

// ---- copying values ----

// The source object picked and its offered parameters listed; false when
// the user gave up.
bool PickSource(ParamRecord& record) {
    for (;;) {
        ads_name object;
        ads_point at;
        const int rc =
            zcedEntSel("\nWybierz obiekt parametryczny z którego skopiować wartości parametrów:", object, at);
        if (rc == RTERROR && PickHitNothing()) continue;
        if (rc != RTNORM) return false;
        host::ResbufList list = wallcut::ReadWhole(object);
        resbuf* app = AppStart(list.get(), kParamRecordApp);
        const resbuf* nameItem = RecordItem(app, 1);
        if (!nameItem || nameItem->restype != 1000) {
            zcutPrintf("\n%s", "Element nie jest parametrycznym obiektem");
            continue;
        }
        const std::string name = RecordName(app);
        if (name == kTemporaryName) {
            zcutPrintf("%s", "\nWybrany element nie jest parametrycznym obiektem");
            continue;
        }
        std::unique_ptr<ObjContext> owner = NewObjContext(name);
        ObjContext& c = *owner;
        InitObjVariables(c);
        if (LoadObjFile(c, name) <= 0) {
            zcutPrintf("\n%s(.txt) !%s", name.c_str(), "Nie mogę znaleźć pliku definicji obiektu");
            FreeObjContext(std::move(owner));
            continue;
        }
        if (const int r = ReadVarSection(false, c); r != 0) {
            zcutPrintf("\n%s: %s", "Błąd składni w sekcji pliku", VarSectionErrorLabel(r).c_str());
            FreeObjContext(std::move(owner));
            continue;
        }
        // Variable 1 is the wall thickness the host gives each object, never
        // a value to carry over.
        ForEachPair(app, [&](int number, const resbuf& value) {
            const ObjVar* v = FindObjVar(number, c.vars);
            if (!v || v->kind != kVarParameter || number == 1) return;
            const bool text = value.restype == 1000;
            SetObjVar(number, kVarParameter, v->significant, v->type, WithoutColon(v->description),
                      text ? 0.0 : value.resval.rreal,
                      text && value.resval.rstring ? value.resval.rstring : "", v->numeric, 0, record.vars);
        });
        record.name = name;
        FreeObjContext(std::move(owner));
        return true;
    }
}

// The ticked values given to a target, each to its first parameter of the
// same label.
void ApplyMarked(const ParamRecord& record, ObjContext& c) {
    for (const auto& from : record.vars) {
        if (!from->applyMark) continue;
        for (auto& v : c.vars) {
            if (v->kind != kVarParameter ||
                !zcutEqualsNoCase(WithoutColon(v->description), from->description))
                continue;
            v->value = from->value;
            v->text = from->text;
            break;
        }
    }
}

void ApplyToObject(const ParamRecord& record, const ads_name object, const AAR_LAYERC& layers) {
    std::string name;
    {
        host::ResbufList list = wallcut::ReadWhole(object);
        resbuf* app = AppStart(list.get(), kParamRecordApp);
        if (!app) return;
        name = RecordName(app);
    }
    if (name.empty() || name == kTemporaryName) return;
    std::unique_ptr<ObjContext> owner = NewObjContext(name);
    ObjContext& c = *owner;
    InitObjVariables(c);
    c.runMode = 1;
    c.skipParamInput = 1;
    ObjParamRecord filed;
    bool ready = LoadObjFile(c, name) > 0 && ReadVarSection(false, c) == 0;
    if (ready) {
        ReadInsertionType(c);
        c.repeat = 0;
        c.positionFixed = 1;
        ready = LoadObjectParametriXData(c, object, filed, true) == 1;
    }
    if (ready) {
        c.paramSetName = "Wstaw ostatnie parametry";
        const int index = c.fixedPointIndex;
        ready = EvaluateComputedVars(c.vars, DrawingUnitFactor()) == 1 && ReadFixpSection(c, false) >= 0;
        c.fixedPointIndex = index;
    }
    if (ready && RelocateOnHost(c, object) != 0) {
        ApplyMarked(record, c);
        if (PlaceParamObject(c, layers, nullptr) < 0) RestoreFailedPlacement(c, object);
    }
    FreeObjContext(std::move(owner));
}

// ---- lighting deductions ----

// A field the user left as it was shown, or at the marker, keeps each
// object's stored value: a shown value is rounded to the drawing's
// precision and would otherwise overwrite what it stands for.
std::optional<double> FieldValue(const std::string& given, const std::string& shown) {
    if (zcutEqualsNoCase(given, kDiffering) || given == shown) return std::nullopt;
    double value = 0.0;
    if (std::sscanf(given.c_str(), "%lf", &value) != 1) return std::nullopt;
    return value;
}

std::string Formatted(double value) {
    const int none = -1;
    char text[64] = "";
    zcdbRToS(value, 2, SysVarShort("LUPREC", &none), text);
    return text;
}

void WriteDeductions(const ads_name object, std::optional<double> top, std::optional<double> floor) {
    host::ResbufList list = wallcut::ReadWhole(object);
    resbuf* app = AppStart(list.get(), kParamRecordApp);
    const std::string name = RecordName(app);
    if (name.empty() || name == kTemporaryName) return;
    resbuf* flags = RecordItem(app, 8);
    if (!flags || flags->restype != 1010) return;
    std::unique_ptr<ObjContext> owner = NewObjContext(name);
    ObjContext& c = *owner;
    c.runMode = 9;
    InitObjVariables(c);
    if (LoadObjFile(c, name) <= 0 || ReadVarSection(false, c) != 0) {
        FreeObjContext(std::move(owner));
        return;
    }
    SetReal(c, 11010, top.value_or(flags->resval.rpoint[2]));
    SetReal(c, 11011, floor.value_or(flags->resval.rpoint[1]));
    ForEachPair(app, [&](int number, const resbuf& value) {
        const bool text = value.restype == 1000;
        const std::string words = text && value.resval.rstring ? value.resval.rstring : "";
        if (ObjVar* v = FindObjVar(number, c.vars)) {
            v->value = text ? 0.0 : value.resval.rreal;
            v->text = words;
        } else {
            SetObjVar(number, kVarParameter, 1, text ? u'S' : u'R', "", text ? 0.0 : value.resval.rreal,
                      words, 0, 0, c.vars);
        }
    });
    ReadParaSpecFromObject(c, object);
    const bool evaluated = EvaluateComputedVars(c.vars, DrawingUnitFactor()) == 1;
    double lighting = 0.0, fromTop = 0.0, fromFloor = 0.0;
    std::string unused;
    GetObjVar(11015, lighting, unused, c.vars);
    GetObjVar(11010, fromTop, unused, c.vars);
    GetObjVar(11011, fromFloor, unused, c.vars);
    FreeObjContext(std::move(owner));
    if (!evaluated) return;

    if (top) flags->resval.rpoint[2] = *top;
    if (floor) flags->resval.rpoint[1] = *floor;
    if (resbuf* tag = AppStart(list.get(), kTag3DiStrRecordApp)) {
        resbuf* rb = tag->rbnext;
        while (rb && rb->restype != 1070 && rb->restype != 1001) rb = rb->rbnext;
        for (int i = 0; i < 3 && rb && rb->restype != 1001; ++i) rb = rb->rbnext;
        if (rb && rb->restype == 1040) rb->resval.rreal = lighting;
    }
    if (resbuf* mark = AppStart(list.get(), kAbInfissiObjApp)) {
        const double values[3] = {lighting, fromTop, fromFloor};
        for (int i = 0; i < 3; ++i)
            if (resbuf* item = RecordItem(mark, 13 + i); item && item->restype == 1040)
                item->resval.rreal = values[i];
    }
    zcdbEntMod(list.get());
}

// ---- labels ----

std::string Utf8(int code) {
    const auto u = static_cast<std::uint32_t>(code);
    std::string text;
    if (u < 0x80) {
        text += static_cast<char>(u);
    } else if (u < 0x800) {
        text += static_cast<char>(0xC0 | (u >> 6));
        text += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        text += static_cast<char>(0xE0 | (u >> 12));
        text += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (u >> 18));
        text += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (u & 0x3F));
    }
    return text;
}

// The label's number written into its record: a real takes it as it is, a
// text its decimal digits, or the letter it stands for when lettering.
bool WriteLabelNumber(resbuf* list, int n, bool letters) {
    resbuf* app = AppStart(list, kParamRecordApp);
    resbuf* found = nullptr;
    ForEachPair(app, [&](int number, resbuf& value) {
        if (number == 11034 && !found) found = &value;
    });
    if (!found) return false;
    if (found->restype == 1040) {
        found->resval.rreal = n;
        return true;
    }
    // Letters past ASCII go on by code point, written as UTF-8.
    const std::string text = letters ? Utf8(n) : std::to_string(n);
    host::rbSetString(found, text);
    return true;
}

// The code point of the first character of a UTF-8 answer.
int FirstCodePoint(const std::string& s) {
    const auto b = [&](std::size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
    const unsigned c = b(0);
    if (c < 0x80) return static_cast<int>(c);
    if ((c & 0xE0) == 0xC0) return static_cast<int>(((c & 0x1F) << 6) | (b(1) & 0x3F));
    if ((c & 0xF0) == 0xE0)
        return static_cast<int>(((c & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F));
    return static_cast<int>(((c & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) |
                            (b(3) & 0x3F));
}

}  // namespace

void InitParamRecord(ParamRecord& record) {
    FreeParamRecordValues(record);
    record.flag = 0;
    record.name.clear();
    record.number = 0;
    record.value = 0.0;
}

void FreeParamRecordValues(ParamRecord& record) {
    while (!record.vars.empty()) record.vars.pop_back();
}

void SetLightDeductionDialogHook(LightDeductionDialogHook hook) {
    DialogHook() = std::move(hook);
}

void CmdParamApply() {
    ParamRecord record;
    InitParamRecord(record);
    if (!PickSource(record)) return;
    {
        CZcModuleResourceOverride use(VelmResourceHandle());
        CDLG_APROPPAR dialog;
        dialog.m_vars = &record.vars;
        if (dialog.DoModal() != IDOK || dialog.m_cancelled) {
            FreeParamRecordValues(record);
            return;
        }
    }
    ads_name set;
    if (!SelectWithPrompts("Wybierz obiekty parametryczne, aby zastosować nowe wartości:",
                           "Usuń obiekt z wybranego zbioru:", set)) {
        FreeParamRecordValues(record);
        return;
    }
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    for (const auto& [a, b] : Members(set)) {
        const ads_name object = {a, b};
        ApplyToObject(record, object, layers);
        if (zcedUsrBrk()) break;
    }
    FreeParamRecordValues(record);
}

void CmdLightDeduction() {
    ads_name set;
    if (!SelectWithPrompts("Wybierz okna, do których chcesz zmienić wartość odliczanego oświetlenia:",
                           "Usuń okna ze zbioru wskazań:", set))
        return;
    std::vector<std::pair<std::int64_t, std::int64_t>> objects;
    std::string top, floor;
    double firstTop = 0.0, firstFloor = 0.0;
    for (const auto& [a, b] : Members(set)) {
        const ads_name object = {a, b};
        host::ResbufList list = wallcut::ReadWhole(object);
        resbuf* app = AppStart(list.get(), kParamRecordApp);
        const int type = RecordType(app);
        if (!app || (type != 11 && type != 12 && type != 18)) continue;
        const resbuf* flags = RecordItem(app, 8);
        const double z = flags && flags->restype == 1010 ? flags->resval.rpoint[2] : 0.0;
        const double y = flags && flags->restype == 1010 ? flags->resval.rpoint[1] : 0.0;
        if (objects.empty()) {
            firstTop = z, firstFloor = y;
            top = Formatted(z);
            floor = Formatted(y);
        } else {
            if (std::fabs(z - firstTop) > kLevelTolerance) top = kDiffering;
            if (std::fabs(y - firstFloor) > kLevelTolerance) floor = kDiffering;
        }
        objects.emplace_back(a, b);
    }
    if (objects.empty() || !DialogHook()) return;
    const std::string shownTop = top, shownFloor = floor;
    if (!DialogHook()(top, floor)) return;
    const std::optional<double> newTop = FieldValue(top, shownTop);
    const std::optional<double> newFloor = FieldValue(floor, shownFloor);
    for (const auto& [a, b] : objects) {
        const ads_name object = {a, b};
        WriteDeductions(object, newTop, newFloor);
        if (zcedUsrBrk()) break;
    }
}

void Cmd2DStair() {
    zcedInitGet(0, "Nałożenie Przekrój Prosty");
    char answer[64] = "";
    const int rc = zcedGetKword("Reprezentacja schodów 2D[Nałożenie/Przekrój/Prosty]<Prosty>:", answer);
    if (rc != RTNORM && rc != RTNONE) return;
    double representation = 1.0;
    if (rc == RTNORM && std::string(answer) == "Przekrój") representation = 0.0;
    if (rc == RTNORM && std::string(answer) == "Nałożenie") representation = 2.0;
    ads_name set;
    if (!SelectWithPrompts(
            "Wybierz schody dla których zmienić reprezentację 2D:", "Usuń schody ze zbioru wskazań:", set))
        return;
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    const double pair[2] = {representation, 0.0};
    for (const auto& [a, b] : Members(set)) {
        const ads_name object = {a, b};
        host::ResbufList list = wallcut::ReadWhole(object);
        const int type = RecordType(AppStart(list.get(), kParamRecordApp));
        if (AppStart(list.get(), kParamRecordApp) && (type == 14 || type == 15))
            RegenParamObject(object, layers, pair, 0, nullptr, nullptr);
        if (zcedUsrBrk()) break;
    }
}

void CmdReindexLabel() {
    zcedInitGet(1, nullptr);
    char answer[260] = "";
    if (zcedGetString(0, "Liczba lub litera od której rozpocząć progresywne wstawianie etykiet:", answer) !=
        RTNORM)
        return;
    int n = 0;
    const bool letters = std::sscanf(answer, "%d", &n) != 1;
    if (letters) n = FirstCodePoint(answer);
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    for (;;) {
        char prompt[160];
        if (letters)
            std::snprintf(
                prompt, sizeof prompt,
                "\nWybierz etykietę, której przypisać literę %s, Enter, aby zamknąć:", Utf8(n).c_str());
        else
            std::snprintf(prompt, sizeof prompt,
                          "\nWybierz etykietę, której przypisać liczbę %d, Enter, aby zamknąć:", n);
        ads_name object;
        ads_point at;
        const int rc = zcedEntSel(prompt, object, at);
        if (rc == RTERROR && PickHitNothing()) continue;
        if (rc != RTNORM) return;
        host::ResbufList list = wallcut::ReadWhole(object);
        if (!WriteLabelNumber(list.get(), n, letters)) {
            zcutPrintf("%s", "\nWybrany obiekt nie jest etykietą");
            continue;
        }
        zcdbEntMod(list.get());
        ++n;
        RegenParamObject(object, layers, nullptr, -1, nullptr, nullptr);
        if (zcedUsrBrk()) return;
    }
}
