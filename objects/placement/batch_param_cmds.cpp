// Bulk parameter commands (see the header). Each works on the objects'
// records as filed: the parameter record's items are counted from its
// application name (item 1), the parameter pairs follow its ninth item, and
// every object is read with the xdata of all applications so that writing
// it back keeps the records of the other applications.
//
// Copying values places each target again on its host from its own record,
// as a modification does; a target whose host is gone or whose placing
// fails stays as it was. The label numbers are written into the records
// directly and the labels drawn again.
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
#include "objects/placement/param_record_items.h"
#include "objects/placement/wall_edit_util.h"
#include "resources/velmresources.h"
#include "store/settings_store.h"

namespace {

resbuf* AppStart(resbuf* list, const char* app) {
    return FindXDataApp(list, app);
}

std::string WithoutColon(std::string text) {
    if (!text.empty() && text.back() == ':') text.pop_back();
    return text;
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
        ready = EvaluateComputedVars(c, DrawingUnitFactor()) == 1 && ReadFixpSection(c, false) >= 0;
        c.fixedPointIndex = index;
    }
    if (ready && RelocateOnHost(c, object) != 0) {
        ApplyMarked(record, c);
        if (PlaceParamObject(c, layers, nullptr) < 0) RestoreFailedPlacement(c, object);
    }
    FreeObjContext(std::move(owner));
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
