// Parameter input and the TYPO writer.
#include "objects/placement/param_input.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/base/module_state.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/units.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "host/ui/resources.h"
#include "host/util/nocase.h"
#include "objects/dialogs/dlg_par_obj.h"
#include "objects/dialogs/dlg_tipologie.h"
#include "objects/language/obj_data.h"
#include "objects/language/obj_records.h"
#include "objects/language/obj_text.h"
#include "resources/velmresources.h"
#include "store/settings_store.h"

namespace {

constexpr const char* kKeywords = "> ? . dx dy dz";
constexpr const char* kSyntaxError = "Błąd składni w sekcji pliku";

host::ResbufList ReadRecord(const ads_name entity, const char* app) {
    resbuf apps;
    apps.restype = RTSTR;
    apps.resval.rstring = const_cast<char*>(app);
    return host::ResbufList(zcdbEntGetX(entity, &apps));
}

// The first group of the application's xdata after its 1001 name.
const resbuf* RecordStart(const resbuf* list, const char* app) {
    for (const resbuf* rb = list; rb; rb = rb->rbnext)
        if (rb->restype == 1001 && rb->resval.rstring && zcutEqualsNoCase(rb->resval.rstring, app))
            return rb->rbnext;
    return nullptr;
}

std::string ValueText(const ObjVar& var) {
    char buf[64] = {};
    zcdbRToS(var.value, -1, -1, buf);
    return buf;
}

int KeywordTyped(std::string& keyword) {
    char buf[64] = {};
    if (zcedGetInput(buf) != RTNORM) return RTERROR;
    keyword = buf;
    return RTNORM;
}

}  // namespace

// ---------------------------------------------------------------- sets

int ChooseParameterSet(ObjContext& context) {
    char reply[260] = {};
    const int status = zcedGetString(
        1, "\nNazwa ustawionych parametrów lub Enter, aby przypisać pojedyncze parametry:", reply);
    if (status != RTNORM && status != RTNONE) return -1;
    std::string name = status == RTNORM ? reply : "";
    if (!name.empty()) {
        if (ApplyParameterSet(context, name)) {
            context.paramSetName = name;
            return 1;
        }
        zcutPrintf("\nUstawienie parametrów nie jest zdefiniowane");
        return -1;
    }
    context.paramSetName = kLastParametersSet;
    // The list may grow while asking (a picked object defines nothing new,
    // but the numbers are taken first so nothing is skipped or repeated).
    std::vector<int> numbers;
    for (const auto& v : context.vars)
        if (v->kind == kVarParameter) numbers.push_back(v->number);
    for (int number : numbers) {
        ObjVar* var = FindObjVar(number, context.vars);
        if (!var) continue;
        const int r = PromptVariableValue(*var, context);
        if (r == 2) return 1;
        if (r < 0) return r;
    }
    return 1;
}

int ApplyParameterSet(ObjContext& context, std::string_view setName) {
    const ObjParamSet* found = nullptr;
    for (const ObjParamSet& set : context.paramSets)
        if (zcutEqualsNoCase(set.name, setName)) {
            found = &set;
            break;
        }
    if (!found) return 0;
    for (const auto& v : found->vars) {
        if (!FindObjVar(v->number, context.vars)) {
            zcutPrintf("\nBłąd w pliku definicji obiektu");
            return 0;
        }
    }
    for (const auto& v : found->vars) {
        ObjVar* own = FindObjVar(v->number, context.vars);
        own->value = v->value;
        own->text = v->text;
    }
    return 1;
}

// ---------------------------------------------------------------- one parameter

int PromptVariableValue(ObjVar& var, ObjContext& context) {
    if (var.number == 1) return 1;
    std::string description = var.description;
    if (!description.empty() && description.back() == ':') description.pop_back();
    std::string prompt;
    switch (var.type) {
        case u'A':
        case u'D':
        case u'R':
            prompt = "\n" + description + "<" + ValueText(var) + ">:";
            break;
        case u'B':
        case u'I': {
            char buf[64] = {};
            std::snprintf(buf, sizeof buf, "%.0lf", var.value);
            prompt = "\n" + description + "<" + buf + ">:";
            break;
        }
        default:
            prompt = "\n" + description + "<" + var.text + ">:";
            break;
    }
    // A size of the object is above zero as well as in range.
    const bool size = IsSizeParameter(context, var.number);
    for (;;) {
        switch (var.type) {
            case u'A':
            case u'R': {
                double number = var.value;
                const int r = PromptNumberWithFilters(prompt.c_str(), context.elevation, number);
                if (r == kNumReplyQuestion) continue;
                if (r == kNumReplyDot || r == RTNONE) return 1;
                if (r == kNumReplyGreater) {
                    if (PickSameParamObject(context)) return 2;
                    continue;
                }
                if (r != RTNORM) return -3;
                if (size ? !SizeInRange(number) : !CoordinateInRange(number)) {
                    ReportOutOfRange();
                    continue;
                }
                var.value = number;
                if (context.text) WriteVarValue(*context.text, var);
                return 1;
            }
            case u'B':
            case u'I': {
                zcedInitGet(0, kKeywords);
                int number = 0;
                const int r = zcedGetInt(prompt.c_str(), &number);
                if (r == RTNONE) return 1;
                if (r == RTKWORD) {
                    std::string kw;
                    if (KeywordTyped(kw) != RTNORM) return -1;
                    if (kw == ".") return 2;
                    if (kw == ">" && PickSameParamObject(context)) return 2;
                    continue;
                }
                if (r != RTNORM) return -1;
                if (var.type == u'B' && number != 0 && number != 1) {
                    zcutPrintf("\nWartości logiczne mogą być tylko 0 lub 1");
                    continue;
                }
                var.value = number;
                if (context.text) WriteVarValue(*context.text, var);
                return 1;
            }
            case u'D': {
                double distance = 0.0;
                const int r = size ? GetSizeInRange(0, kKeywords, nullptr, prompt.c_str(), &distance)
                                   : GetDistInRange(0, kKeywords, nullptr, prompt.c_str(), &distance);
                if (r == RTNONE) return 1;
                if (r == RTKWORD) {
                    std::string kw;
                    if (KeywordTyped(kw) != RTNORM) return -1;
                    const int axis = kw == "dx" ? 0 : kw == "dy" ? 1 : kw == "dz" ? 2 : -1;
                    if (axis >= 0 && PickDistance(var, axis)) return 2;
                    if (kw == ".") return 2;
                    if (kw == ">" && PickSameParamObject(context)) return 2;
                    continue;
                }
                if (r != RTNORM) return -1;
                if (!CoordinateInRange(distance)) {
                    ReportOutOfRange();
                    continue;
                }
                var.value = distance;
                return 1;
            }
            default: {
                char reply[260] = {};
                const int r = zcedGetString(1, prompt.c_str(), reply);
                if (r != RTNORM && r != RTNONE) return -1;
                const std::string text = r == RTNORM ? reply : "";
                if (text == ".") return 1;
                if (text == ">") {
                    if (PickSameParamObject(context)) return 2;
                    continue;
                }
                var.text = text;
                if (context.text) WriteVarValue(*context.text, var);
                return 1;
            }
        }
    }
}

bool PromptVariableByName(int number, ObjContext& context) {
    ObjVar* var = FindObjVar(number, context.vars);
    // A cancelled question leaves the value, and so the chosen set, alone.
    return var && PromptVariableValue(*var, context) > 0;
}

bool PickDistance(ObjVar& var, int axis) {
    ads_point first, next;
    if (GetPointInRange(0, nullptr, nullptr, "\nOkreśl pierwszy punkt:", first) != RTNORM) return false;
    if (GetPointInRange(0, nullptr, first, "\nOkreśl następny punkt:", next) != RTNORM) return false;
    if (axis < 0 || axis > 2) return false;
    var.value = std::fabs(next[axis] - first[axis]);
    return true;
}

bool PickSameParamObject(ObjContext& context) {
    for (;;) {
        ads_name entity;
        ads_point at;
        const int status = zcedEntSel("\nWybierz obiekt, z którego uzyskać wartości parametrów:", entity, at);
        if (status == RTCAN) return false;
        if (status != RTNORM) {
            if (PickHitNothing()) continue;
            return false;
        }
        host::ResbufList list = ReadRecord(entity, kParamRecordApp);
        const resbuf* rb = RecordStart(list.get(), kParamRecordApp);
        if (!rb) {
            zcutPrintf("\nWybrany element nie jest parametrycznym obiektem");
            continue;
        }
        // Object name, set name, then the placement groups before the values.
        if (rb->restype != 1000 || !rb->resval.rstring ||
            !zcutEqualsNoCase(rb->resval.rstring, context.objectName)) {
            zcutPrintf("\nWybrany obiekt nie jest tym samym, który wstawiasz lub modyfikujesz");
            continue;
        }
        rb = rb->rbnext;
        if (rb && rb->restype == 1000 && rb->resval.rstring) context.paramSetName = rb->resval.rstring;
        while (rb && rb->restype != 1070) rb = rb->rbnext;
        for (int skip = 0; rb && skip < 3; ++skip) rb = rb->rbnext;  // type, fixed point, alignment
        while (rb && rb->restype == 1010) rb = rb->rbnext;           // the three points
        while (rb && rb->restype == 1070 && rb->rbnext) {
            const int number = rb->resval.rint;
            const resbuf* value = rb->rbnext;
            if (ObjVar* var = FindObjVar(number, context.vars)) {
                if (value->restype == 1000)
                    var->text = value->resval.rstring ? value->resval.rstring : "";
                else if (value->restype == 1040)
                    var->value = value->resval.rreal;
            }
            rb = value->rbnext;
        }
        return true;
    }
}

// ---------------------------------------------------------------- the dialog

int EditObjectParametersDialog(int mode, ObjContext& context) {
    CZcModuleResourceOverride use(VelmResourceHandle());
    CDlgParObj dlg;
    dlg.SetInsertMode(mode == 0 ? 1 : 0);
    int focusRow = 0;
    for (;;) {
        dlg.LoadFromContext(context, focusRow);
        dlg.m_pictureName = context.objectName;
        if (dlg.DoModal() != IDOK) return -1;
        const int code = dlg.GetResultCode();
        dlg.ApplyToContext(context);
        switch (code) {
            case 1:
                return 0;
            case 2:
                return 3;
            case 3:
                return 4;
            case 4:
                return 5;
            case 5: {
                const int number = dlg.GetCurrentVariable(focusRow);
                if (PromptVariableByName(number, context)) context.paramSetName = kLastParametersSet;
                break;
            }
            case 6:
                dlg.GetCurrentVariable(focusRow);
                PickSameParamObject(context);
                break;
            default:
                return -1;
        }
    }
}

// ---------------------------------------------------------------- records

void ReadParaSpecFromObject(ObjContext& context, const ads_name object) {
    host::ResbufList list = ReadRecord(object, kParaSpecApp);
    for (const resbuf* rb = RecordStart(list.get(), kParaSpecApp); rb; rb = rb->rbnext) {
        if (rb->restype != 1070 || !rb->rbnext) continue;
        const int number = rb->resval.rint;
        const resbuf* value = rb->rbnext;
        const bool kept = number == 11015 || number == 11016;
        std::string description;
        if (kept)
            if (const ObjVar* old = FindObjVar(number, context.vars)) description = old->description;
        if (value->restype == 1000)
            SetObjVar(number, kept ? 1 : 0, 1, u'S', description, 0.0,
                      value->resval.rstring ? value->resval.rstring : "", 0, 0, context.vars);
        else
            SetObjVar(number, kept ? 1 : 0, 1, u'R', description,
                      value->restype == 1040 ? value->resval.rreal : 0.0, "", 0, 0, context.vars);
        rb = value;
    }
}

int ReadHandrailXData(ObjContext& context, const ads_name entity) {
    host::ResbufList list = ReadRecord(entity, kDatiCManoApp);
    const resbuf* rb = RecordStart(list.get(), kDatiCManoApp);
    while (rb && rb->restype != 1040) rb = rb->rbnext;
    if (!rb) return 0;
    double reals[6] = {};
    for (int i = 0; i < 6 && rb; rb = rb->rbnext) {
        if (rb->restype != 1040) continue;
        reals[i++] = rb->resval.rreal;
    }
    context.handrails.clear();
    ObjHandrail h;
    h.a[0] = reals[0], h.a[1] = reals[1], h.a[2] = reals[2];
    h.b[0] = context.insertionPoint[0], h.b[1] = context.insertionPoint[1], h.b[2] = reals[3];
    h.c[0] = context.rotation, h.c[1] = reals[4], h.c[2] = reals[5] >= SharedTolerance ? 1.0 : 0.0;
    context.handrails.push_back(h);
    return 1;
}

// ---------------------------------------------------------------- TYPO writer

namespace {

// The TYPO block of the sets, the pseudo-set left out.
std::vector<std::string> TypoBlock(const CArrayTipologie& sets, double unitFactor) {
    std::vector<std::string> lines{"TYPO\n"};
    for (const CTipologia& set : sets) {
        if (zcutEqualsNoCase(set.name, kLastParametersSet)) continue;
        lines.push_back("BEGIN\n");
        lines.push_back(set.name + "\n");
        for (const CInfoParametri& row : set.rows) {
            char buf[512] = {};
            if (row.type == u'S')
                std::snprintf(buf, sizeof buf, "$%d = \"%s\"\n", row.variable, row.currentText.c_str());
            else if (row.type == u'D' || row.type == u'R')
                std::snprintf(buf, sizeof buf, "$%d = %f\n", row.variable, row.currentValue / unitFactor);
            else
                std::snprintf(buf, sizeof buf, "$%d = %f\n", row.variable, row.currentValue);
            lines.push_back(buf);
        }
    }
    lines.push_back("END_TYPO\n");
    return lines;
}

// The include block holding line `index`, marked to be written back.
void MarkIncludeBlock(ObjText& text, std::size_t index) {
    int depth = 0;
    for (std::size_t i = index; i-- > 0;) {
        const std::string& line = text.lines[i].text;
        if (line.compare(0, kIncludeEnd.size(), kIncludeEnd) == 0) {
            ++depth;
        } else if (line.compare(0, kIncludeStart.size(), kIncludeStart) == 0) {
            if (depth-- > 0) continue;
            if (line.size() > kIncludeStart.size()) text.lines.edit()[i].text[kIncludeStart.size()] = '1';
            return;
        }
    }
}

}  // namespace

int SaveParameterSets(ObjContext& context) {
    CDlgTipologie dlg;
    const double unitFactor = DrawingUnitFactor();
    if (!context.text) {
        const int loaded = LoadObjFile(context, context.objectName);
        if (loaded == 0) {
            zcutPrintf("\n%s(.txt) !%s", context.objectName.c_str(),
                       "Nie mogę znaleźć pliku definicji obiektu");
            return 0;
        }
        if (loaded < 0) return 0;
    }
    if (const int r = ReadVarSection(true, context); r != 0) {
        zcutPrintf("\n%s: %s", kSyntaxError, VarSectionErrorLabel(r).c_str());
        return 0;
    }
    if (ReadTypoSection(context) < 0) {
        zcutPrintf("\n%s: TYPO", kSyntaxError);
        return 0;
    }
    // Every parameter is written into every set whatever the run: a set
    // lacking one makes the definition unreadable.
    const std::int32_t runMode = context.runMode;
    context.runMode = 3;
    dlg.LoadFromContext(context);
    context.runMode = runMode;
    dlg.m_pictureName = context.objectName;
    const double factor = unitFactor != 0.0 ? unitFactor : 1.0;
    const std::vector<std::string> before = TypoBlock(dlg.m_sets, factor);
    {
        CZcModuleResourceOverride use(VelmResourceHandle());
        if (dlg.DoModal() != IDOK) return 0;
    }
    context.paramSetName = dlg.m_chosenSetName;
    std::vector<std::string> block = TypoBlock(dlg.m_sets, factor);
    // Sets left as they were change nothing in the file.
    if (block == before) return 1;
    ObjText& text = *context.text;
    text.modified = 1;

    // The section is found as the readers find it: first word, case ignored.
    std::size_t start = text.lines.size();
    if (FindSection("TYPO", text, true)) start = text.cursor.line - 1;
    std::vector<ObjLine> fresh;
    for (const std::string& line : block) {
        ObjLine l;
        l.text = line;
        fresh.push_back(std::move(l));
    }
    if (start < text.lines.size()) {
        std::size_t end = start + 1;
        while (end < text.lines.size() && !zcutEqualsNoCase(text.lines[end].text.substr(0, 8), "END_TYPO"))
            ++end;
        if (end < text.lines.size()) ++end;
        std::vector<ObjLine>& lines = text.lines.edit();
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(start),
                    lines.begin() + static_cast<std::ptrdiff_t>(end));
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(start), fresh.begin(), fresh.end());
        MarkIncludeBlock(text, start);
    } else {
        std::vector<ObjLine>& lines = text.lines.edit();
        if (!lines.empty() && !lines.back().text.empty() && lines.back().text.back() != '\n')
            lines.back().text += "\n";
        ObjLine empty;
        empty.text = "\n";
        lines.push_back(std::move(empty));
        lines.insert(lines.end(), fresh.begin(), fresh.end());
    }
    return 1;
}
