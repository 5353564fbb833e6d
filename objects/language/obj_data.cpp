// Data sections. Lines are read whole; keywords compare without regard to
// case over their own length.
#include "objects/language/obj_data.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

#include "host/ads/cmdline.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"
#include "objects/language/obj_args.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

bool StartsNoCase(std::string_view line, std::string_view prefix) {
    return line.size() >= prefix.size() && zcutEqualsNoCase(line.substr(0, prefix.size()), prefix);
}

std::optional<std::string> NextLine(ObjText& t) {
    return ReadTextLine(t, kObjLineChars, true);
}

// "$" and a decimal number at the start of the line.
std::optional<int> DollarNumber(std::string_view line) {
    if (line.size() < 2 || line[0] != '$' || line[1] < '0' || line[1] > '9') return std::nullopt;
    int n = 0;
    for (std::size_t i = 1; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
        if (n < 100000000) n = n * 10 + (line[i] - '0');
    return n;
}

std::optional<double> NumberAfter(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    return host::parseDoublePrefix(text);
}

// One line of a set into `set`; 1, 0 ignored, -1 failed (with its message
// where the line names a variable).
// A data section that failed is named at the line it stopped on, once.
void NameSectionFault(ObjText& t, const char* section) {
    const std::size_t last = t.cursor.line == 0 ? 0 : t.cursor.line - 1;
    ReportTextFault(t, last, std::string("błąd w sekcji ") + section);
}

int ReadTypoLine(const ObjContext& c, const std::string& line, ObjParamSet& set) {
    std::optional<int> number = DollarNumber(line);
    const std::size_t eq = line.find('=');
    if (!number || eq == std::string::npos) return -1;
    const int n = *number;
    // The dimension these insertion types take from the drawing.
    if ((c.insertionType == InsertionType::SlabCutTotalGiven && n == 5) ||
        (c.insertionType == InsertionType::SlabCutPartGiven && n == 4))
        return 0;
    const ObjVar* v = FindObjVar(n, c.vars);
    if (!v) {
        zcutPrintf("\nParametr %d nie jest zdefiniowany w sekcji VAR", n);
        return -1;
    }
    if (v->kind != kVarParameter) {
        zcutPrintf("\nParametr %d nie jest przypisany do użytkownika", n);
        return -1;
    }
    auto copy = std::make_unique<ObjVar>(*v);
    const std::string_view after = std::string_view(line).substr(eq + 1);
    switch (v->type) {
        case u'S': {
            std::string text;
            if (ExtractQuoted(text, after) == 0) {
                zcutPrintf("\nParametr %d nie jest prawidłowym tekstem dla określonych parametrów:%s", n,
                           set.name.c_str());
                return -1;
            }
            copy->text = text;
            copy->value = 0.0;
            break;
        }
        default: {
            std::optional<double> value = NumberAfter(after);
            if (!value) {
                zcutPrintf(
                    "\nParametr %d nie jest poprawną wartością numeryczną dla określonych parametrów:%s", n,
                    set.name.c_str());
                return -1;
            }
            if (v->type == u'D' || v->type == u'R') *value *= SettingReal(SetupVar::SFTMTCM, 1.0);
            copy->value = *value;
            copy->text.clear();
        }
    }
    copy->kind = kVarParameter;
    for (auto& existing : set.vars)
        if (existing->number == n) {
            existing = std::move(copy);
            return 1;
        }
    set.vars.push_back(std::move(copy));
    return 1;
}

}  // namespace

namespace {

int TypoSectionLines(ObjContext& c) {
    c.paramSets.clear();
    ObjText& t = *c.text;
    if (!FindSection("TYPO", t, true)) return 1;
    std::optional<std::string> line = NextLine(t);
    if (!line || line->empty()) return -1;
    if (StartsNoCase(*line, "END_TYPO")) return 1;
    if (!StartsNoCase(*line, "BEGIN")) return -1;
    for (;;) {
        std::optional<std::string> name = NextLine(t);
        if (!name) return -1;
        ObjParamSet set;
        set.name = *name;
        for (;;) {
            line = NextLine(t);
            if (!line || line->empty()) return -1;
            if (StartsNoCase(*line, "BEGIN") || StartsNoCase(*line, "END_TYPO")) break;
            if (ReadTypoLine(c, *line, set) < 0) return -1;
        }
        for (const auto& v : c.vars) {
            if (v->kind != kVarParameter || FindObjVar(v->number, set.vars)) continue;
            zcutPrintf("\nUstawione parametry %s brakuje parametru: %d", set.name.c_str(), v->number);
            return -1;
        }
        c.paramSets.push_back(std::move(set));
        if (StartsNoCase(*line, "END_TYPO")) return 1;
    }
}

}  // namespace

int ReadTypoSection(ObjContext& c) {
    const int r = TypoSectionLines(c);
    if (r == -1) NameSectionFault(*c.text, "TYPO");
    return r;
}

int SubstComLine(std::string_view line, std::string& out, const ObjContext& c) {
    out.clear();
    for (std::size_t i = 0; i < line.size();) {
        std::optional<int> n = DollarNumber(line.substr(i));
        if (!n) {
            out += line[i++];
            continue;
        }
        ++i;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
        const ObjVar* v = FindObjVar(*n, c.vars);
        if (!v) return 0;
        if (!v->text.empty()) {
            out = "*" + v->text;
            return 1;
        }
        const bool whole = v->type == u'I';
        const int decimals = whole ? 0 : SettingInt(SetupVar::CIFRE_COMPUTO, 2);
        double value = v->value;
        if (!whole && v->type != u'A') value *= SettingReal(SetupVar::SRAPPORTO_UM, 1.0);
        char buf[512];
        std::snprintf(buf, sizeof buf, "%.*f", std::clamp(decimals, 0, 15), value);
        out += buf;
    }
    return 1;
}

namespace {

int ComSectionLines(ObjContext& c) {
    c.comEntries.clear();
    ObjText& t = *c.text;
    if (!FindSection("COM", t, true)) return 1;
    std::optional<std::string> line = NextLine(t);
    if (!line) return -1;
    while (!StartsNoCase(*line, "END_COM")) {
        ObjComEntry entry;
        entry.label = *line;
        std::optional<std::string> second = NextLine(t);
        if (!second || SubstComLine(*second, entry.second, c) != 1) return -1;
        std::optional<std::string> third = NextLine(t);
        if (!third || SubstComLine(*third, entry.third, c) != 1) return -1;
        c.comEntries.insert(c.comEntries.begin(), std::move(entry));
        line = NextLine(t);
        if (!line) return -1;
    }
    return 1;
}

}  // namespace

int ReadComSection(ObjContext& c) {
    const int r = ComSectionLines(c);
    if (r == -1) NameSectionFault(*c.text, "COM");
    return r;
}

namespace {

int TabelleSectionLines(ObjContext& c) {
    c.tabelle.clear();
    ObjText& t = *c.text;
    if (!FindSection("TABELLE", t, true)) return 1;
    std::optional<std::string> line = NextLine(t);
    if (!line) return -1;
    while (!StartsNoCase(*line, "END_TABELLE")) {
        int n = 0;
        if (std::sscanf(line->c_str(), "$%d", &n) != 1) return -1;
        c.tabelle.insert(c.tabelle.begin(), n);
        if (!FindObjVar(n, c.vars))
            zcutPrintf("\nUżywasz zmiennej w sekcji TABELI, nie występuje w sekcji VAR");
        line = NextLine(t);
        if (!line) return -1;
    }
    return 1;
}

}  // namespace

int ReadTabelleSection(ObjContext& c) {
    const int r = TabelleSectionLines(c);
    if (r == -1) NameSectionFault(*c.text, "TABELLE");
    return r;
}

namespace {

int HandStairSectionLines(ObjContext& c) {
    c.handrails.clear();
    ObjText& t = *c.text;
    if (!FindSection("DCHANDSTAIR", t, true)) return 1;
    std::optional<std::string> line = NextLine(t);
    if (!line) return -1;
    if (StartsNoCase(*line, "END_DCHAND")) return 1;
    while (StartsNoCase(*line, "BEGIN")) {
        ObjHandrail h;
        for (double* triple : {h.a, h.b, h.c, h.d, h.e, h.f}) {
            std::string arg;
            bool failed = false;
            if (ReadParenArg(arg, t) != RTNORM) return -1;
            EvalParamLine(arg, triple, c, &failed);
            if (failed) return -1;
        }
        PassLine(t);
        if (TextAtEnd(t)) return -1;
        c.handrails.insert(c.handrails.begin(), h);
        line = NextLine(t);
        if (!line) return -1;
        if (StartsNoCase(*line, "END_DCHAND")) return 1;
    }
    return -1;
}

}  // namespace

int ReadHandStairSection(ObjContext& c) {
    const int r = HandStairSectionLines(c);
    if (r == -1) NameSectionFault(*c.text, "DCHANDSTAIR");
    return r;
}

int ReadHandRailSection(ObjContext& c) {
    if (c.handrails.empty()) return 0;
    const ObjHandrail h = c.handrails.front();
    ObjText& t = *c.text;
    if (!FindSection("DCHANDRAIL", t, true)) return 1;
    const double values[5] = {h.a[0], h.a[1], h.a[2], h.c[1], h.b[2]};
    for (double value : values) {
        std::optional<std::string> line = NextLine(t);
        std::optional<int> n = line ? DollarNumber(*line) : std::nullopt;
        if (!n) return 0;
        SetObjVar(*n, kVarFixed, 0, u'R', "", value, "", 0, 0, c.vars);
    }
    c.rotation = h.c[0];
    for (int i = 0; i < 3; ++i) c.insertionPoint[i] = h.b[i];
    return 1;
}
