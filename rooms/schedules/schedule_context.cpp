// The schedule context: template, table, rows and total.
#include "rooms/schedules/schedule_context.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/entity_data.h"
#include "core/host_services.h"
#include "core/layer_catalogue.h"
#include "core/level_layers.h"
#include "core/levels.h"
#include "core/support_files.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ed/adspick.h"
#include "host/util/nocase.h"
#include "objects/language/obj_records.h"
#include "objects/language/obj_text.h"
#include "objects/placement/object_run.h"
#include "rooms/opening_marks.h"
#include "rooms/record_insert.h"

namespace {

constexpr const char* kNotFound = "Pliku nie znaleziono";
constexpr const char* kNoDefinition = "Nie mogę znaleźć pliku definicji obiektu";
constexpr const char* kVarSyntax = "Błąd składni w sekcji pliku";

bool StartsWithNoCase(std::string_view line, std::string_view key) {
    return line.size() >= key.size() && zcutEqualsNoCase(line.substr(0, key.size()), key);
}

// The first word after the key, as "%s" reads it.
std::string WordAfter(std::string_view line, std::size_t at) {
    std::size_t b = at;
    while (b < line.size() && (line[b] == ' ' || line[b] == '\t')) ++b;
    std::size_t e = b;
    while (e < line.size() && line[e] != ' ' && line[e] != '\t') ++e;
    return std::string(line.substr(b, e - b));
}

void SetReal(ObjContext& c, int number, double value) {
    SetObjVar(number, 0, 0, u'R', "", value, "", 0, 0, c.vars);
}
void SetString(ObjContext& c, int number, std::string_view value) {
    SetObjVar(number, 0, 0, u'S', "", 0.0, value, 0, 0, c.vars);
}
void SetInteger(ObjContext& c, int number, int value) {
    SetObjVar(number, 0, 0, u'I', "", value, "", 0, 0, c.vars);
}

std::string RbText(const resbuf* rb) {
    return rb && rb->restype == 1000 && rb->resval.rstring ? rb->resval.rstring : "";
}

// Index of the first line at or after `from` that begins with `key`.
std::size_t FindLineStarting(const std::vector<ObjLine>& lines, std::size_t from, std::string_view key) {
    for (std::size_t i = from; i < lines.size(); ++i)
        if (StartsWithNoCase(lines[i].text, key)) return i;
    return lines.size();
}

// Loads a definition into the context and reads its VAR section, telling
// what failed with `notFound` as the message of a missing file.
bool LoadDefinition(ObjContext& c, const std::string& name, bool rowMessage) {
    if (LoadObjFile(c, name) != 1) {
        if (rowMessage)
            zcutPrintf("\n%s(.txt) !%s", name.c_str(), kNoDefinition);
        else
            zcutPrintf("\n%s.txt: %s", name.c_str(), kNotFound);
        return false;
    }
    const int var = ReadVarSection(true, c);
    if (var != 0) {
        zcutPrintf("\n%s: %s", kVarSyntax, VarSectionErrorLabel(var).c_str());
        return false;
    }
    return true;
}

// Splices the extra row definition named by the opening (variable 76) into
// the row definition when the row asks for it (variable 35 "I"): its
// variables after the row's own, its drawing lines after the row's "DRAW".
// False when the row is not to be written.
bool SpliceExtraRow(ObjContext& row) {
    double value = 0.0;
    std::string flag, extraName;
    GetObjVar(35, value, flag, row.vars);
    const ObjVar* extraVar = GetObjVar(76, value, extraName, row.vars);
    if (!zcutEqualsNoCase(flag, "I") || !extraVar || extraVar->type != u'S' || extraName.empty()) return true;
    std::unique_ptr<ObjContext> extra = NewObjContext(extraName);
    if (!extra) return false;
    const bool loaded = LoadDefinition(*extra, extraName, false);
    bool ok = false;
    if (loaded && row.text && extra->text) {
        const auto& from = extra->text->lines;
        const std::size_t draw = FindLineStarting(from, 0, "DRAW");
        const std::size_t end = draw < from.size() ? FindLineStarting(from, draw + 1, "END") : from.size();
        std::vector<ObjLine>& to = row.text->lines.edit();
        const std::size_t rowDraw = FindLineStarting(to, 0, "DRAW");
        if (draw < from.size() && end < from.size() && rowDraw < to.size()) {
            for (auto& v : extra->vars)
                if (!FindObjVar(v->number, row.vars)) row.vars.push_back(std::move(v));
            to.insert(to.begin() + static_cast<std::ptrdiff_t>(rowDraw + 1),
                      from.begin() + static_cast<std::ptrdiff_t>(draw + 1),
                      from.begin() + static_cast<std::ptrdiff_t>(end));
            ok = true;
        }
    }
    FreeObjContext(std::move(extra));
    return ok;
}

}  // namespace

bool SelectWithRecord(const char* app, ads_name set) {
    const host::ResbufList filter(zcutBuildList(-3, 1001, app, 0));
    const int rc = zcedSSGet("X", nullptr, nullptr, filter.get(), set);
    if (rc != RTNORM) return false;
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    if (n > 0) return true;
    zcedSSFree(set);
    return false;
}

bool EntityLevelOf(const ads_name entity, double& level) {
    return GetEntityLevel(entity, level, nullptr, false) == 1;
}

bool SameLevel(double a, double b) {
    return std::fabs(a - b) < kLevelTolerance;
}

CABACHI::~CABACHI() {
    FreeContext();
}

void CABACHI::FreeContext() {
    if (context) FreeObjContext(std::move(context));
}

int CABACHI::ReadOaFile() {
    const std::string file = templateName + ".OA";
    if (!CheckDrawingFileName(file, templateRecord)) return 0;
    std::optional<std::string> path = FindSupportFile(file);
    if (!path) {
        zcutPrintf("\n%s: %s", file.c_str(), kNotFound);
        return 0;
    }
    // A template that cannot be read has been named with the reason.
    std::optional<LineCursor> cursor = OpenLineCursor(*path);
    if (!cursor) return 0;
    tableName.clear();
    rowName.clear();
    totalName.clear();
    bool ended = false;
    std::string line;
    while (ReadLineNoEol(line, *cursor)) {
        if (StartsWithNoCase(line, "tab="))
            tableName = WordAfter(line, 4);
        else if (StartsWithNoCase(line, "rec="))
            rowName = WordAfter(line, 4);
        else if (StartsWithNoCase(line, "tot="))
            totalName = WordAfter(line, 4);
        else if (StartsWithNoCase(line, "end")) {
            ended = true;
            break;
        }
    }
    // What is missing is named at the "end" line, or at the last line of a
    // file without one (an empty file too).
    const char* missing = !ended ? "end" : tableName.empty() ? "tab=" : rowName.empty() ? "rec=" : nullptr;
    if (missing) {
        const std::string what =
            "Błąd w definicji pliku zestawienia otworów " + templateName + ".oa: brak wiersza " + missing;
        ReportSupportFault(*path, SupportFault{std::max<std::size_t>(cursor->next, 1), what});
        return 0;
    }
    return 1;
}

void CABACHI::TakeTableValues(const ObjVarList& vars) {
    double value = 0.0;
    std::string text;
    GetObjVar(40, value, text, vars);
    rowsValue = static_cast<std::int32_t>(value);
    for (int i = 0; i < 6; ++i) {
        GetObjVar(79 + i, value, texts[i], vars);
    }
    for (int i = 0; i < 3; ++i) {
        GetObjVar(85 + i, reals[i], text, vars);
    }
}

int CABACHI::SelectTable(const char* prompt) {
    ads_name tables;
    if (!SelectWithRecord(kAbInfissiTabApp, tables)) return 0;
    zcedSSFree(tables);
    ads_name picked;
    ads_point at;
    for (;;) {
        const int rc = zcedEntSel(prompt, picked, at);
        if (rc == RTCAN) return -1;
        if (rc == RTNORM) break;
        if (!PickHitNothing()) return 0;
    }
    return ReadTable(picked, true) ? 1 : 0;
}

bool CABACHI::ReadTable(const ads_name picked, bool tell) {
    const host::ResbufList apps(zcutBuildList(RTSTR, kAbInfissiTabApp, RTSTR, kParamRecordApp, 0));
    const host::ResbufList list(zcdbEntGetX(picked, apps.get()));
    const resbuf* table = FindXDataApp(list.get(), kAbInfissiTabApp);
    if (!table) {
        if (tell) zcutPrintf("\nWybrany obiekt nie jest zestawieniem otworów");
        return false;
    }
    const resbuf* layerRb = FindRbCode(list.get(), 8);
    double tableLevel = 0.0;
    if (!layerRb || !layerRb->resval.rstring || !ParseDollarNumber(layerRb->resval.rstring, tableLevel)) {
        if (tell) zcutPrintf("\nNiemożliwe jest tworzenie zestawienia otworów na wysokości podłogi");
        return false;
    }
    level = tableLevel;
    templateName = RbText(table->rbnext);
    templateRecord = kAbInfissiTabApp;
    texts[0] = RbText(table->rbnext ? table->rbnext->rbnext : nullptr);
    if (const resbuf* p = FindRbCode(list.get(), 10))
        insertionPoint = {p->resval.rpoint[0], p->resval.rpoint[1], p->resval.rpoint[2]};
    // The parameters follow the eighth group after the object's name as
    // pairs of (1070 number)(value).
    const resbuf* params = FindXDataApp(list.get(), kParamRecordApp);
    if (!params) return false;
    ObjVarList vars;
    const resbuf* rb = params->rbnext;
    while (rb && rb->restype != 1001 && rb->restype != 1000) rb = rb->rbnext;
    for (int i = 0; rb && rb->restype != 1001 && i < 8; ++i) rb = rb->rbnext;
    for (; rb && rb->restype == 1070 && rb->rbnext && rb->rbnext->restype != 1001; rb = rb->rbnext->rbnext) {
        const resbuf* v = rb->rbnext;
        if (v->restype == 1000)
            SetObjVar(rb->resval.rint, 0, 0, u'S', "", 0.0, RbText(v), 0, 0, vars);
        else if (v->restype == 1040)
            SetObjVar(rb->resval.rint, 0, 0, u'R', "", v->resval.rreal, "", 0, 0, vars);
        else if (v->restype == 1070)
            SetObjVar(rb->resval.rint, 0, 0, u'I', "", v->resval.rint, "", 0, 0, vars);
    }
    const std::string name = texts[0];
    TakeTableValues(vars);
    // The record names the schedule even when its parameters lack 79.
    if (texts[0].empty()) texts[0] = name;
    return true;
}

int CABACHI::InsertTable(const Point3* at) {
    FreeContext();
    context = NewObjContext(tableName);
    if (context) {
        context->elevation = level;
        context->elevationGiven = 1;
        context->runMode = 5;
        context->replacementLayer = at ? "" : "\nOkreśl punkt wstawienia zestawienia otworów:";
        InitObjVariables(*context);
        if (at) {
            context->insertionPoint[0] = at->x;
            context->insertionPoint[1] = at->y;
            context->insertionPoint[2] = at->z;
            currentRecord = nullptr;
            FillParameters(0);
            Point3 preset = *at;
            RunInsertParamObject(*context, 0, &preset);
        } else {
            FillParameters(1);
            RunInsertParamObject(*context, 0);
        }
    }
    if (!context || context->blockName.empty()) {
        FreeContext();
        zcutPrintf("\nBłąd tworzenia zestawienia otworów");
        return 0;
    }
    insertionPoint = {context->insertionPoint[0], context->insertionPoint[1], context->insertionPoint[2]};
    TakeTableValues(context->vars);
    FreeContext();
    return 1;
}

void CABACHI::FillParameters(int mode) {
    if (!context) return;
    ObjContext& c = *context;
    InitObjSettingVars(c, templateName);
    if (mode == 1) return;
    SetReal(c, 40, rowsValue);
    SetReal(c, 55, insertionPoint.x);
    SetReal(c, 56, insertionPoint.y);
    if (mode == 2) return;
    SetReal(c, 88, 0.0);
    const resbuf* rb = currentRecord ? currentRecord->rbnext : nullptr;
    while (rb && rb->restype != 1001 && rb->restype != 1000) rb = rb->rbnext;
    for (int code = 57; rb && rb->restype != 1001 && code <= 79; ++code, rb = rb->rbnext) {
        const int number = code == 79 ? 88 : code;
        if (rb->restype == 1000)
            SetString(c, number, RbText(rb));
        else if (rb->restype == 1040)
            SetReal(c, number, rb->resval.rreal);
        else if (rb->restype == 1070)
            SetInteger(c, number, rb->resval.rint);
    }
    for (int i = 0; i < 6; ++i) SetString(c, 79 + i, texts[i]);
    for (int i = 0; i < 3; ++i) SetReal(c, 85 + i, reals[i]);
}

void CABACHI::EraseRecords() {
    ads_name rows;
    if (!SelectWithRecord(kAbInfissiEtiApp, rows)) return;
    const host::ResbufList apps(zcutBuildList(RTSTR, kAbInfissiEtiApp, 0));
    std::int32_t n = 0;
    zcedSSLength(rows, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        double rowLevel = 0.0;
        if (zcedSSName(rows, i, e) != RTNORM || !EntityLevelOf(e, rowLevel) || !SameLevel(rowLevel, level))
            continue;
        const host::ResbufList list(zcdbEntGetX(e, apps.get()));
        const resbuf* app = FindXDataApp(list.get(), kAbInfissiEtiApp);
        if (app && zcutEqualsNoCase(RbText(app->rbnext), scheduleName())) zcdbEntDel(e);
    }
    zcedSSFree(rows);
}

int CABACHI::CreateRecord() {
    zcdbRegApp(kAbInfissiEtiApp);
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    FreeContext();
    context = NewObjContext(rowName);
    if (!context) return 0;
    ObjContext& c = *context;
    c.elevation = level;
    c.elevationGiven = 1;
    c.runMode = 5;
    InitObjVariables(c);
    FillParameters(0);
    c.insertionPoint[0] = insertionPoint.x;
    c.insertionPoint[1] = insertionPoint.y;
    c.insertionPoint[2] = insertionPoint.z;
    if (!LoadDefinition(c, rowName, true)) {
        FreeContext();
        return 0;
    }
    ReadInsertionType(c);
    c.elevation = level;
    if (!SpliceExtraRow(c)) {
        FreeContext();
        return 0;
    }
    RunPlaceParamObject(c);
    if (c.blockName.empty()) {
        zcutPrintf("\nBłąd podczas generowania rekordu otworu");
        FreeContext();
        return 0;
    }
    // The spliced lines must never reach the row definition's file.
    if (c.text) c.text->modified = 0;
    ads_name made;
    const int ok = WriteRecordInsert(
        c, layer, insertionPoint, 0.0,
        host::ResbufList(zcutBuildList(1001, kAbInfissiEtiApp, 1000, scheduleName().c_str(), 0)), made);
    FreeContext();
    return ok;
}

int CABACHI::CreateTotal(bool onlyIfPresent) {
    zcdbRegApp(kAbInfissiTotApp);
    ads_name old{0, 0};
    bool found = false;
    ads_name totals;
    if (SelectWithRecord(kAbInfissiTotApp, totals)) {
        const host::ResbufList apps(zcutBuildList(RTSTR, kAbInfissiTotApp, 0));
        std::int32_t n = 0;
        zcedSSLength(totals, &n);
        for (std::int32_t i = 0; i < n && !found; ++i) {
            ads_name e;
            double totalLevel = 0.0;
            if (zcedSSName(totals, i, e) != RTNORM || !EntityLevelOf(e, totalLevel) ||
                !SameLevel(totalLevel, level))
                continue;
            const host::ResbufList list(zcdbEntGetX(e, apps.get()));
            const resbuf* app = FindXDataApp(list.get(), kAbInfissiTotApp);
            const resbuf* name = app ? app->rbnext : nullptr;
            if (name && zcutEqualsNoCase(RbText(name), templateName) &&
                zcutEqualsNoCase(RbText(name->rbnext), scheduleName())) {
                old[0] = e[0];
                old[1] = e[1];
                found = true;
            }
        }
        zcedSSFree(totals);
    }
    if (found) zcdbEntDel(old);
    if (onlyIfPresent && !found) return 0;

    FreeContext();
    context = NewObjContext(totalName);
    int ok = 0;
    if (context) {
        ObjContext& c = *context;
        c.elevation = level;
        c.elevationGiven = 1;
        c.runMode = 5;
        c.skipParamInput = 1;
        InitObjVariables(c);
        FillParameters(2);
        SetReal(c, 42, count);
        SetString(c, 58, scheduleName());
        SetReal(c, 62, sumA);
        SetReal(c, 67, sumB);
        SetReal(c, 69, sumC);
        c.insertionPoint[0] = insertionPoint.x;
        c.insertionPoint[1] = insertionPoint.y;
        c.insertionPoint[2] = insertionPoint.z;
        RunInsertParamObject(c, 1);
        if (!c.blockName.empty()) {
            ads_name made;
            ok = WriteRecordInsert(
                c, layer, insertionPoint, 0.0,
                host::ResbufList(zcutBuildList(1001, kAbInfissiTotApp, 1000, templateName.c_str(), 1000,
                                               scheduleName().c_str(), 0)),
                made);
        }
    }
    if (!ok) {
        zcutPrintf("\nBłąd tworzenia sumy");
        // The old total stays rather than leaving the schedule without one.
        if (found) zcdbEntDel(old);
    }
    FreeContext();
    return ok;
}
