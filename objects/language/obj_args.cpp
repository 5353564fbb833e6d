// Statement arguments and layers. Bracketed arguments are read character by
// character through the definition text's cursor, so they may run over
// line ends; the value readers work on the copied argument text.
#include "objects/language/obj_args.h"

#include "core/entity_data.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ed/cmdproc.h"
#include "host/win/textutil.h"
#include "store/settings_store.h"

namespace {

constexpr const char* kUndefined = "Następujące parametry nie zostały zdefiniowane";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) <= 32) ++pos;
    return pos;
}

// Digits at `pos`, advancing it; nothing when there are none.
std::optional<int> ReadDigits(std::string_view text, std::size_t& pos) {
    const std::size_t start = pos;
    long long n = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
        if (n < 100000000) n = n * 10 + (text[pos] - '0');
        ++pos;
    }
    if (pos == start) return std::nullopt;
    return static_cast<int>(n);
}

std::string_view NumberRun(std::string_view text, std::size_t pos, std::string_view chars) {
    std::size_t end = pos;
    while (end < text.size() && (IsDigit(text[end]) || chars.find(text[end]) != std::string_view::npos))
        ++end;
    return text.substr(pos, end - pos);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && host::iequals(text.substr(0, prefix.size()), prefix);
}

bool LayerInDrawing(const std::string& name) {
    return host::tableHasRecord("LAYER", name.c_str());
}

// The style's width factor (41) or obliquing angle (50) as its table
// record lists them, read off the record: every text and attribute of every
// object placed asks, and the record's whole list was made for one value.
double StyleGroup(const std::string& style, int code, double absent) {
    const ZcDbTextStyleTableRecord* record = host::readableTextStyle(style);
    if (!record) return absent;
    return code == 41 ? record->xScale() : record->obliquingAngle();
}

}  // namespace

void MakeBareLayer(const std::string& name) {
    const int quiet = 0;
    const int regenMode = SysVarShort("REGENMODE", &quiet);
    const int cmdEcho = SysVarShort("CMDECHO", &quiet);
    zcedCommand(RTSTR, "_-LAYER", RTSTR, "_N", RTSTR, name.c_str(), RTSTR, "", 0);
    SysVarShort("CMDECHO", &cmdEcho);
    SysVarShort("REGENMODE", &regenMode);
}

namespace {

// Moves the cursor over the ASCII bytes of its line up to either stop, appending them to `out` when given: a
// byte below 0x80 is a whole character, read as NextTextChar reads it, and statement arguments are nearly all
// ASCII. The rest is left to NextTextChar.
void PassAscii(ObjText& text, char stop, char alsoStop, std::string* out) {
    TextCursor& at = text.cursor;
    if (at.line >= text.lines.size()) return;
    const std::string& line = text.lines[at.line].text;
    std::size_t end = at.pos;
    while (end < line.size() && static_cast<unsigned char>(line[end]) < 0x80 && line[end] != stop &&
           line[end] != alsoStop)
        ++end;
    if (out) out->append(line, at.pos, end - at.pos);
    at.pos = end;
}

}  // namespace

int ReadParenArg(std::string& out, ObjText& text) {
    if (TextAtEnd(text)) return -1;
    out.clear();
    for (;;) {
        PassAscii(text, '(', '(', nullptr);
        const int c = NextTextChar(text);
        if (c < 0) return -1;
        if (c == '(') break;
    }
    for (;;) {
        PassAscii(text, ')', '%', &out);
        int c = NextTextChar(text);
        if (c < 0) return -1;
        if (c == ')') return RTNORM;
        if (c == '%') {
            c = NextTextChar(text);
            if (c < 0) return -1;
        }
        host::appendUtf8(out, static_cast<char32_t>(c));
    }
}

int ReadStatementArg(std::string& out, ObjText& text) {
    // Every run of a kept definition reads the same arguments from the same
    // places: each is found in the lines once.
    const TextCursor from = text.cursor;
    const bool keyed = from.line <= 0xFFFFFFFFu && from.pos <= 0xFFFFFFFFu;
    const std::uint64_t key = (static_cast<std::uint64_t>(from.line) << 32) | from.pos;
    auto& known = text.lines.compiled().statementArgs;
    if (keyed)
        if (const auto found = known.find(key); found != known.end()) {
            out = found->second.text;
            text.cursor = found->second.end;
            return RTNORM;
        }
    TextCursor at = text.cursor;
    while (at.line < text.lines.size()) {
        const std::string& line = text.lines[at.line].text;
        std::size_t pos = SkipBlanks(line, at.pos);
        if (pos < line.size() && line[pos] == '(') break;
        if (pos < line.size() && line[pos] != ';') {
            ReportTextFault(text, at.line, "brak argumentu w nawiasie, jest wiersz innej instrukcji");
            return -1;
        }
        ++at.line;
        at.pos = 0;
    }
    if (at.line >= text.lines.size()) {
        ReportTextFault(text, text.lines.size(), "tekst kończy się przed argumentem instrukcji");
        return -1;
    }
    const int r = ReadParenArg(out, text);
    if (r != RTNORM)
        ReportTextFault(text, at.line, "nawias argumentu nie jest zamknięty");
    else if (keyed)
        known.emplace(key, ObjStatementArg{out, text.cursor});
    return r;
}

int ReadSignedParenArg(int& sign, std::string& out, ObjText& text) {
    for (;;) {
        const int c = NextTextChar(text);
        if (c < 0) return -1;
        if (c == '+' || c == '-') {
            sign = c == '+' ? 1 : 0;
            return ReadParenArg(out, text);
        }
    }
}

namespace {

template <typename Find>
int NumOrVar(std::string_view text, bool whole, int& wholeValue, double& realValue, Find find) {
    std::size_t pos = SkipBlanks(text, 0);
    if (pos < text.size() && text[pos] == '$') {
        ++pos;
        std::optional<int> n = ReadDigits(text, pos);
        if (!n) return -1;
        const ObjVar* v = find(*n);
        if (!v) {
            zcutPrintf("\n%s: %d", kUndefined, *n);
            return -1;
        }
        if (whole)
            wholeValue = static_cast<int>(v->value);
        else
            realValue = v->value;
        return 1;
    }
    if (pos >= text.size() || !IsDigit(text[pos])) return -1;
    std::string_view run = NumberRun(text, pos, ".");
    if (whole) {
        std::optional<long long> v = host::parseIntegerPrefix(run);
        if (!v) return -1;
        wholeValue = static_cast<int>(*v);
    } else {
        std::optional<double> v = host::parseDoublePrefix(run);
        if (!v) return -1;
        realValue = *v;
    }
    return 1;
}

}  // namespace

int ReadNumOrVar(std::string_view text, bool whole, int& wholeValue, double& realValue,
                 const ObjVarList& vars) {
    return NumOrVar(text, whole, wholeValue, realValue, [&vars](int n) { return FindObjVar(n, vars); });
}

int ReadNumOrVar(std::string_view text, bool whole, int& wholeValue, double& realValue,
                 const ObjContext& context) {
    return NumOrVar(text, whole, wholeValue, realValue,
                    [&context](int n) { return FindContextVar(n, context); });
}

std::size_t EvalParamLine(std::string_view arg, double values[3], const ObjContext& context, bool* failed) {
    if (failed) *failed = false;
    std::size_t pos = SkipBlanks(arg, 0);
    for (int item = 0; item < 3 && pos < arg.size(); ++item) {
        const char c = arg[pos];
        if (c == '$') {
            std::size_t p = pos + 1;
            std::optional<int> n = ReadDigits(arg, p);
            if (!n) break;
            const ObjVar* v = FindContextVar(*n, context);
            if (!v) {
                zcutPrintf("\n%s: %d-%s", kUndefined, *n, context.objectName.c_str());
                if (failed) *failed = true;
                break;
            }
            values[item] = v->value;
            pos = p;
        } else if (IsDigit(c) || c == '-') {
            std::string_view run = NumberRun(arg, pos, ".-");
            std::optional<double> v = host::parseDoublePrefix(run);
            if (!v) break;
            values[item] = *v;
            pos += run.size();
        } else {
            break;
        }
        pos = SkipBlanks(arg, pos);
    }
    return pos;
}

int EvalPointLine(std::string_view arg, double point[3], int& kind, const ObjContext& context) {
    kind = 0;
    bool failed = false;
    std::size_t pos = EvalParamLine(arg, point, context, &failed);
    if (failed) return -1;
    pos = SkipBlanks(arg, pos);
    if (pos >= arg.size()) return 0;
    if (arg[pos] == '$') {
        std::size_t p = pos + 1;
        std::optional<int> n = ReadDigits(arg, p);
        const ObjVar* v = n ? FindContextVar(*n, context) : nullptr;
        if (!v) {
            if (n) zcutPrintf("\n%s: %d-%s", kUndefined, *n, context.objectName.c_str());
            return -1;
        }
        kind = static_cast<int>(v->value);
        return 1;
    }
    kind = static_cast<int>(host::parseIntegerPrefix(arg.substr(pos)).value_or(0));
    return 1;
}

int CheckGenerationFlag(ObjContext& context) {
    if (!context.text || TextAtEnd(*context.text)) return 1;
    ObjText& t = *context.text;
    const std::string& line = t.lines[t.cursor.line].text;
    const std::size_t open = line.find('(');
    const std::size_t close = open == std::string::npos ? open : line.find(')', open + 1);
    if (close == std::string::npos) return 1;
    const std::string inner = line.substr(open + 1, close - open - 1);
    ++t.cursor.line;
    t.cursor.pos = 0;
    int flag = 1;
    double unused = 0.0;
    if (ReadNumOrVar(inner, true, flag, unused, context) < 0) {
        zcutPrintf("\n%s in file %s", "Nieprawidłowe generowanie flagi!", context.objectName.c_str());
        return 1;
    }
    return flag;
}

namespace {

// PrepareStatementLayer's work; `same` is set when a second call with the
// same name would come out the same without doing anything more (no layer
// made, no message).
bool PrepareLayer(bool checkGroups, std::string& layer, ObjContext* context, const AAR_LAYERC& catalogue,
                  bool useLevel, double elevation, bool& same) {
    same = false;
    std::string name = layer;
    if (context && name.size() > 2 && name[0] == '-' && name[1] == '$') {
        std::size_t pos = 2;
        std::optional<int> n = ReadDigits(name, pos);
        const ObjVar* v = n ? FindContextVar(*n, *context) : nullptr;
        if (v && !v->text.empty()) name = v->text;
    } else {
        same = true;
    }
    // A layer of a floor ("VELM" + key + "$" + level) is drawn as its key on
    // that floor. Names with the prefix but no level (such as the marker
    // layer) are keys themselves.
    double level = 0.0;
    std::string key;
    if (StartsWithNoCase(name, "VELM") && name.find('$') != std::string::npos &&
        ParseLevelSuffix(name, level) == 1 && StripAppPrefix(name, key) == 1) {
        name = key;
        useLevel = true;
        elevation = level;
    }
    if (checkGroups) {
        bool generated = true;
        // Read only: opened for write, every statement's layer filed the
        // groups into the command's undo and told the drawing they changed.
        if (ZcDbObjectPointer<VELM_GENGRUPPO> groups(ReadGenGruppoObject()); groups) {
            generated = LayerInGroups(*groups, name);
        }
        if (!generated) return false;
    }
    if (context) {
        if (context->only3d && StartsWithNoCase(name, "2D")) return false;
        if (context->replace2d) {
            if (StartsWithNoCase(name, "3D")) return false;
            if (StartsWithNoCase(name, "2D")) name = context->replacementLayer;
        }
    }
    layer = name;
    if (!context) return true;
    // A catalogue linetype too long for the layer service is named again by
    // every statement that gives the layer.
    const AA_LAYERC* row = catalogue.FindKey(layer);
    same = same && !(row && row->linetype.size() > kMaxLayerName);
    auto entry = std::make_unique<LayerAttrEntry>();
    EnsureLayer(layer, catalogue, useLevel, elevation, true, entry.get());
    if (entry->createdLater) {
        MakeBareLayer(entry->layerName);
        entry->next = context->madeLayers.release();
        context->madeLayers.reset(entry.release());
    }
    // A name the layer service refused (too long) exists nowhere.
    const bool drawn = layer.size() <= kMaxLayerName && LayerInDrawing(layer);
    same = same && drawn;
    return drawn;
}

}  // namespace

bool PrepareStatementLayer(bool checkGroups, std::string& layer, ObjContext* context,
                           const AAR_LAYERC& catalogue, bool useLevel, double elevation) {
    // The statements of a DRAW section mostly share a few layers: once a
    // layer is there, preparing it again finds what it found before.
    std::vector<PreparedLayer>* known = context && context->preparedLayers && !useLevel && elevation == 0.0
                                            ? &*context->preparedLayers
                                            : nullptr;
    if (known)
        for (const PreparedLayer& p : *known)
            if (p.checkGroups == checkGroups && p.given == layer) {
                if (p.drawn) layer = p.layer;
                return p.drawn;
            }
    const std::string given = layer;
    bool same = false;
    const bool drawn = PrepareLayer(checkGroups, layer, context, catalogue, useLevel, elevation, same);
    if (known && same) known->push_back({given, checkGroups, drawn ? layer : std::string(), drawn});
    return drawn;
}

bool LayerInGroups(const VELM_GENGRUPPO& groups, const std::string& layer) {
    return groups.IsLayerGroupGenerated(layer);
}

void SubstituteLayer(const std::vector<LayerSubstitution>& substitutions, std::string& layer) {
    for (const LayerSubstitution& s : substitutions) {
        if (host::iequals(s.oldName, layer)) {
            layer = s.newName;
            return;
        }
    }
}

double GetStyleObliqueAngle(const std::string& style) {
    return StyleGroup(style, 50, 0.0);
}
double GetStyleWidthFactor(const std::string& style) {
    return StyleGroup(style, 41, 1.0);
}
