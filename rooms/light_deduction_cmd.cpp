// The lighting deductions of openings: each picked window or door has the
// heights its lit area is measured from written into its parameter record
// and the marks read by the rooms' calculations. A field the user leaves as
// shown keeps every object's own value.
#include "rooms/light_deduction_cmd.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/units.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "host/ui/resources.h"
#include "host/util/nocase.h"
#include "objects/language/obj_context.h"
#include "objects/language/obj_expr.h"
#include "objects/language/obj_records.h"
#include "objects/placement/param_input.h"
#include "objects/placement/param_record_items.h"
#include "objects/placement/wall_edit_util.h"
#include "resources/velmresources.h"
#include "rooms/dialogs/dlg_det_luce.h"
#include "store/settings_store.h"

namespace {

constexpr const char* kDiffering = "*RÓŻNE*";
constexpr double kLevelTolerance = 1.1920928955078125e-07;

// A fixed real variable of the context, replaced or made.
void SetReal(ObjContext& c, int number, double value) {
    SetObjVar(number, kVarFixed, 1, u'R', "", value, "", 0, 0, c.vars);
}

// A field the user left as it was shown, or at the marker, keeps each
// object's stored value: a shown value is rounded to the drawing's
// precision and would otherwise overwrite what it stands for.
std::optional<double> FieldValue(const std::string& given, const std::string& shown) {
    if (zcutEqualsNoCase(given, kDiffering) || given == shown) return std::nullopt;
    return NumberFromText(given, NumberRange::NotNegative);
}

std::string Formatted(double value) {
    const int none = -1;
    char text[64] = "";
    zcdbRToS(value, 2, SysVarShort("LUPREC", &none), text);
    return text;
}

void WriteDeductions(const ads_name object, std::optional<double> top, std::optional<double> floor) {
    host::ResbufList list = wallcut::ReadWhole(object);
    resbuf* app = FindXDataApp(list.get(), kParamRecordApp);
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
    const bool evaluated = EvaluateComputedVars(c, DrawingUnitFactor()) == 1;
    double lighting = 0.0, fromTop = 0.0, fromFloor = 0.0;
    std::string unused;
    GetObjVar(11015, lighting, unused, c.vars);
    GetObjVar(11010, fromTop, unused, c.vars);
    GetObjVar(11011, fromFloor, unused, c.vars);
    FreeObjContext(std::move(owner));
    if (!evaluated) return;

    if (top) flags->resval.rpoint[2] = *top;
    if (floor) flags->resval.rpoint[1] = *floor;
    if (resbuf* tag = FindXDataApp(list.get(), kTag3DiStrRecordApp)) {
        resbuf* rb = tag->rbnext;
        while (rb && rb->restype != 1070 && rb->restype != 1001) rb = rb->rbnext;
        for (int i = 0; i < 3 && rb && rb->restype != 1001; ++i) rb = rb->rbnext;
        if (rb && rb->restype == 1040) rb->resval.rreal = lighting;
    }
    if (resbuf* mark = FindXDataApp(list.get(), kAbInfissiObjApp)) {
        const double values[3] = {lighting, fromTop, fromFloor};
        for (int i = 0; i < 3; ++i)
            if (resbuf* item = RecordItem(mark, 13 + i); item && item->restype == 1040)
                item->resval.rreal = values[i];
    }
    zcdbEntMod(list.get());
}

// The two heights asked in the rooms' dialog; true on OK.
bool AskLightDeductions(std::string& top, std::string& floor) {
    CZcModuleResourceOverride use(VelmResourceHandle());
    CDlgDetLuce dialog;
    dialog.SetValues(top, floor);
    if (dialog.DoModal() != IDOK) return false;
    dialog.GetValues(top, floor);
    return true;
}

}  // namespace

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
        resbuf* app = FindXDataApp(list.get(), kParamRecordApp);
        const int type = RecordType(app);
        if (!app || (type != 11 && type != 12 && type != 18)) continue;
        const resbuf* flags = RecordItem(app, 8);
        const double z = flags && flags->restype == 1010 ? flags->resval.rpoint[2] : 0.0;
        const double y = flags && flags->restype == 1010 ? flags->resval.rpoint[1] : 0.0;
        // A deduction no opening has (a damaged record) is shown as it is,
        // for the dialog to refuse until a sane one is given, and named.
        if (!ValueInRange(z, NumberRange::NotNegative) || !ValueInRange(y, NumberRange::NotNegative)) {
            const resbuf* handle = FindRbCode(list.get(), 5);
            zcutPrintf("\nRekord \"%s\" obiektu %s: odliczenie poza zakresem (%g, %g)", kParamRecordApp,
                       handle && handle->resval.rstring ? handle->resval.rstring : "?", z, y);
        }
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
    if (objects.empty()) return;
    const std::string shownTop = top, shownFloor = floor;
    if (!AskLightDeductions(top, floor)) return;
    const std::optional<double> newTop = FieldValue(top, shownTop);
    const std::optional<double> newFloor = FieldValue(floor, shownFloor);
    for (const auto& [a, b] : objects) {
        const ads_name object = {a, b};
        WriteDeductions(object, newTop, newFloor);
        if (zcedUsrBrk()) break;
    }
}
