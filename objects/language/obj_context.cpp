// The object context and its variables: the list operations, the context's
// life, the predefined variables, the VAR section reader, the insertion
// type, the fixed points and the number prompt.
#include "objects/language/obj_context.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>
#include <new>

#include "core/entity_data.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/cmdline.h"
#include "host/db/dbobjptr.h"
#include "host/ed/prompts.h"
#include "host/win/textutil.h"
#include "settings/dialogs/layer_linetypes.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

void LayerAttrListDeleter::operator()(LayerAttrEntry* list) const {
    while (list) {
        LayerAttrEntry* next = list->next;
        delete list;
        list = next;
    }
}

// ------------------------------------------------------------ variables

namespace {

// The kept blocks of a thread. Trivially destructible, so that variables
// freed while the thread's other objects go (the main thread's statics)
// still find it.
struct FreeObjVarBlock {
    FreeObjVarBlock* next;
};
struct FreeObjVarBlocks {
    FreeObjVarBlock* head = nullptr;
    std::size_t count = 0;
    bool closed = false;  // the thread ends: blocks are given back at once
};
thread_local FreeObjVarBlocks freeBlocks;
constexpr std::size_t kKeptObjVarBlocks = 4096;

// Gives the kept blocks back when the thread ends.
struct FreeObjVarBlocksDrain {
    ~FreeObjVarBlocksDrain() {
        freeBlocks.closed = true;
        while (FreeObjVarBlock* b = freeBlocks.head) {
            freeBlocks.head = b->next;
            ::operator delete(b);
        }
        freeBlocks.count = 0;
    }
};

// Sanitizers are left to see every block made and freed.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kKeepObjVarBlocks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kKeepObjVarBlocks = false;
#else
constexpr bool kKeepObjVarBlocks = true;
#endif
#else
constexpr bool kKeepObjVarBlocks = true;
#endif

}  // namespace

void* ObjVar::operator new(std::size_t size) {
    if (kKeepObjVarBlocks && size == sizeof(ObjVar) && freeBlocks.head) {
        FreeObjVarBlock* b = freeBlocks.head;
        freeBlocks.head = b->next;
        --freeBlocks.count;
        return b;
    }
    return ::operator new(size);
}

void ObjVar::operator delete(void* block, std::size_t size) noexcept {
    if (!block) return;
    if (kKeepObjVarBlocks && size == sizeof(ObjVar) && !freeBlocks.closed &&
        freeBlocks.count < kKeptObjVarBlocks) {
        thread_local FreeObjVarBlocksDrain drain;
        static_cast<void>(drain);
        freeBlocks.head = new (block) FreeObjVarBlock{freeBlocks.head};
        ++freeBlocks.count;
        return;
    }
    ::operator delete(block);
}

namespace {

ObjVar* AppendObjVar(int number, ObjVarList& list) {
    list.push_back(std::make_unique<ObjVar>());
    ObjVar* var = list.back().get();
    var->number = number;
    return var;
}

void FillObjVar(ObjVar* var, int kind, int significant, char16_t type, std::string_view description,
                double value, std::string_view text, int numeric, int trace) {
    var->kind = static_cast<std::int16_t>(kind);
    var->significant = static_cast<std::uint8_t>(significant);
    var->type = type;
    // Most predefined variables have neither: an empty string is left alone.
    if (!description.empty() || !var->description.empty()) var->description.assign(description);
    var->value = value;
    if (!text.empty() || !var->text.empty()) var->text.assign(text);
    var->numeric = static_cast<std::uint8_t>(numeric);
    var->trace = static_cast<std::uint8_t>(trace);
    var->auxIndex = -1;
}

}  // namespace

ObjVar* SetObjVar(int number, int kind, int significant, char16_t type, std::string_view description,
                  double value, std::string_view text, int numeric, int trace, ObjVarList& list) {
    ObjVar* var = FindObjVar(number, list);
    if (!var) var = AppendObjVar(number, list);
    FillObjVar(var, kind, significant, type, description, value, text, numeric, trace);
    return var;
}

ObjVarSetter::ObjVarSetter(ObjVarList& list) : list_(list) {
    far_.reserve(list.size() + 32);  // the predefined ones set into an empty list among them
    for (const auto& v : list) {
        const std::int32_t n = v->number;
        if (n >= 0 && n < kSmallNumbers) {
            if (!small_[static_cast<std::size_t>(n)]) small_[static_cast<std::size_t>(n)] = v.get();
        } else {
            far_.push_back({n, v.get()});
        }
    }
    // Of a repeated number the first declared, as FindObjVar finds it. The
    // few far ones sorted in place, stably, without the merge's buffer.
    for (std::size_t i = 1; i < far_.size(); ++i) {
        const Far f = far_[i];
        std::size_t j = i;
        for (; j > 0 && far_[j - 1].number > f.number; --j) far_[j] = far_[j - 1];
        far_[j] = f;
    }
    far_.erase(std::unique(far_.begin(), far_.end(),
                           [](const Far& a, const Far& b) { return a.number == b.number; }),
               far_.end());
}

// The place of the number's variable; a new far number is given one.
ObjVar** ObjVarSetter::slot(int number) {
    if (number >= 0 && number < kSmallNumbers) return &small_[static_cast<std::size_t>(number)];
    auto at =
        std::lower_bound(far_.begin(), far_.end(), number, [](const Far& f, int n) { return f.number < n; });
    if (at == far_.end() || at->number != number) at = far_.insert(at, {number, nullptr});
    return &at->var;
}

ObjVar* ObjVarSetter::set(int number, int kind, int significant, char16_t type, std::string_view description,
                          double value, std::string_view text, int numeric, int trace) {
    ObjVar** at = slot(number);
    if (!*at) *at = AppendObjVar(number, list_);
    FillObjVar(*at, kind, significant, type, description, value, text, numeric, trace);
    return *at;
}

ObjVar* FindObjVar(int number, ObjVarList& list) {
    for (auto& v : list)
        if (v->number == number) return v.get();
    return nullptr;
}

const ObjVar* FindObjVar(int number, const ObjVarList& list) {
    for (const auto& v : list)
        if (v->number == number) return v.get();
    return nullptr;
}

ObjVarIndex::ObjVarIndex(const ObjVarList& list) {
    // Most numbers are small: one slot each, the first declared of a
    // repeated number kept, as the walk of the list finds it. Those far
    // beyond (the predefined ones, 10000 and up) are kept aside by number.
    const std::size_t limit = 2 * list.size() + 256;
    std::size_t slots = 0, far = 0;
    for (const auto& v : list)
        if (v->number >= 0 && static_cast<std::size_t>(v->number) < limit)
            slots = std::max(slots, static_cast<std::size_t>(v->number) + 1);
        else
            ++far;
    far_.reserve(far);
    bySlot_.assign(slots, nullptr);
    for (const auto& v : list) {
        const std::int32_t n = v->number;
        if (n >= 0 && static_cast<std::size_t>(n) < slots) {
            if (!bySlot_[static_cast<std::size_t>(n)]) bySlot_[static_cast<std::size_t>(n)] = v.get();
        } else {
            far_.emplace(n, v.get());  // the first of a number stays
        }
    }
}

void ObjVarIndex::add(const ObjVar* var) {
    // Slots are not added: a number beyond them, though it may have one
    // later, is looked for among the far ones.
    const std::int32_t n = var->number;
    if (n >= 0 && static_cast<std::size_t>(n) < bySlot_.size()) {
        if (!bySlot_[static_cast<std::size_t>(n)]) bySlot_[static_cast<std::size_t>(n)] = var;
    } else {
        far_.emplace(n, var);
    }
}

const ObjVar* ObjVarIndex::find(int number) const {
    if (number >= 0 && static_cast<std::size_t>(number) < bySlot_.size())
        return bySlot_[static_cast<std::size_t>(number)];
    const auto it = far_.find(number);
    return it == far_.end() ? nullptr : it->second;
}

const ObjVar* FindContextVar(int number, const ObjContext& context) {
    return context.drawVars ? context.drawVars->find(number) : FindObjVar(number, context.vars);
}

const ObjVar* GetObjVar(int number, double& value, std::string& text, const ObjVarList& list) {
    const ObjVar* v = FindObjVar(number, list);
    value = v ? v->value : 0.0;
    text = v ? v->text : std::string();
    return v;
}

void FreeObjVars(ObjVarList& list) {
    list.clear();
}

// ------------------------------------------------------------ context

namespace {

void SetFixedReal(ObjContext& c, int number, double value) {
    SetObjVar(number, kVarFixed, 0, u'R', "", value, "", 0, 0, c.vars);
}

void SetFixedText(ObjContext& c, int number, std::string_view text) {
    SetObjVar(number, kVarFixed, 0, u'S', "", 0.0, text, 0, 0, c.vars);
}

std::string SysVarText(const char* name) {
    std::string value;
    SysVarString(name, "", value);
    return value;
}

std::string Today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%d/%m/%Y", &local);
    return buf;
}

}  // namespace

std::unique_ptr<ObjContext> NewObjContext(const std::string& definitionName) {
    auto c = std::make_unique<ObjContext>();
    const bool tc = definitionName.size() >= 2 && host::iequals(definitionName.substr(0, 2), "TC");
    c->layerDefFile = tc ? "TCLAYERC.DEF" : "LAYERC.DEF";
    c->only3d = SettingInt(SetupVar::INS_APER_SOLO3D) > 0;
    c->freeOpening = SettingInt(SetupVar::INS_APER_LIBERE) > 0;
    c->prefix = SettingInt(SetupVar::INS_PREFISSOCOM) > 0;
    c->objectName = definitionName;
    return c;
}

void FreeObjContext(std::unique_ptr<ObjContext> context) {
    if (!context) return;
    if (context->madeLayers) LoadLayerLinetypes(context->madeLayers.get());
    if (context->text) SaveObjFile(*context->text);
    context.reset();
}

void InitObjVariables(ObjContext& c) {
    using namespace SetupVar;
    // The store's slots read in one open of it: every object placed (a label
    // and its card row per room) asks for all of them. A slot that cannot be
    // read gives 0 and an empty text, as SettingReal, SettingInt and
    // SettingString give.
    std::string quoteStyle;
    double unit = 0, areaAbove = 0, areaBelow = 0, dimY = 0, dimYp = 0, dimDist = 0, dimDistp = 0, zScale = 0,
           level = 0;
    int marker = 0, quoteDigits = 0, scale = 0, sections = 0, windowSuffix = 0, doorSuffix = 0,
        doorOption = 0, windowOption = 0;
    if (ZcDbObjectPointer<VELM_SETUP> s(OpenSetupObject(true)); s) {
        s->getString(STILETQUOTE, quoteStyle);
        s->getReal(SFTMTCM, unit);
        s->getInt(SALLINTXTQ, marker);
        s->getInt(SCIFRE_QUOTE, quoteDigits);
        s->getInt(SFATSCALA, scale);
        s->getInt(CALC_INT_SEZ, sections);
        s->getReal(AREAMENOSUP, areaAbove);
        s->getReal(AREAMENOINF, areaBelow);
        s->getReal(SPOSYQUOTE, dimY);
        s->getReal(SPOSYQUOTEP, dimYp);
        s->getReal(SDIST_QUOTE, dimDist);
        s->getReal(SDIST_QUOTEP, dimDistp);
        s->getReal(SETCOM_ZSCALE, zScale);
        s->getInt(SUFFISSOFINES, windowSuffix);
        s->getInt(SUFFISSOPORTA, doorSuffix);
        s->getInt(SETOPZPORTEALLEST, doorOption);
        s->getInt(SETOPZFINESALLINT, windowOption);
        s->getReal(SQPAV, level);
    }
    // The predefined ones, the definition's and the placement's: the list
    // grown once.
    c.vars.reserve(c.vars.size() + 128);
    ObjVarSetter vars(c.vars);
    const auto real = [&vars](int number, double value) {
        vars.set(number, kVarFixed, 0, u'R', "", value, "");
    };
    const auto text = [&vars](int number, std::string_view value) {
        vars.set(number, kVarFixed, 0, u'S', "", 0.0, value);
    };
    text(11031, SysVarText("DWGNAME"));
    text(11033, SysVarText("DWGPREFIX"));
    text(11032, Today());
    text(2, quoteStyle);
    real(7, unit);
    real(9, marker % 10);
    real(11009, marker / 10);
    real(15, std::acos(-1.0));
    for (int n : {28, 16, 30, 5001}) real(n, 0.0);
    const std::array<double, kScaleEntryCount> factors = GetScaleFactors();
    real(17, factors[1]);
    real(26, factors[3]);
    real(11026, factors[2]);
    real(32, quoteDigits);
    real(10000, scale);
    const int bits[5] = {2, 4, 8, 16, 64};
    for (int i = 0; i < 5; ++i) real(10001 + i, (sections & bits[i]) ? 1.0 : 0.0);
    real(11010, areaAbove);
    real(11011, areaBelow);
    real(25, dimY);
    real(11025, dimYp);
    real(27, dimDist);
    real(11027, dimDistp);
    text(11030, "0");
    real(11028, zScale);
    real(11100, windowSuffix);
    real(11101, doorSuffix);
    real(11108, doorOption);
    real(11109, windowOption);
    text(11035, FormatRealTrim(level));
}

void InitObjSettingVars(ObjContext& c, std::string_view text) {
    using namespace SetupVar;
    SetFixedText(c, 41, text);
    SetFixedReal(c, 45, SettingInt(CIFRE_COMPUTO));
    SetFixedReal(c, 47, SettingReal(SRAPPORTO_UM));
    SetFixedReal(c, 48, GetScaleFactor(4));
    SetFixedText(c, 49, SettingString(STILETESTOUA1));
    SetFixedText(c, 50, SettingString(STILETESTOUA2));
}

void ReadInsertionType(ObjContext& c) {
    c.insertionType = c.workingType = InsertionType::Free;
    if (const ObjVar* v = FindObjVar(3, c.vars)) {
        // The number written in the VAR line, not a scaled value.
        std::optional<double> written = host::parseDoublePrefix(v->description);
        double type = written ? *written : v->value;
        c.insertionType = c.workingType = static_cast<InsertionType>(static_cast<int>(type));
    }
    if (c.insertionType != InsertionType::StraightWallOpening &&
        c.insertionType != InsertionType::ArcWallOpening && c.insertionType != InsertionType::WallCorner)
        c.only3d = 0;
    if (FindObjVar(0, c.vars)) {
        c.elevationGiven = 1;
        c.elevation = SettingReal(SetupVar::SQPAV);
    } else {
        c.elevationGiven = 0;
    }
    if (FindObjVar(29, c.vars)) c.repeat = 1;
    if (c.insertionType == InsertionType::SlabCutTotalGiven ||
        c.insertionType == InsertionType::SlabCutPartGiven) {
        if (SettingInt(SetupVar::SCALADINTER) != 0) {
            if (ObjVar* v = FindObjVar(5, c.vars)) v->kind = kVarFixed;
            c.insertionType = InsertionType::SlabCutTotalGiven;
        } else {
            if (ObjVar* v = FindObjVar(4, c.vars)) v->kind = kVarFixed;
            c.insertionType = InsertionType::SlabCutPartGiven;
        }
        SetFixedReal(c, 11001 + SettingInt(SetupVar::RAPSCALEPROSP), 1.0);
    }
}

// ------------------------------------------------------------ VAR section

int ExtractQuoted(std::string& out, std::string_view source) {
    std::size_t open = source.find('"');
    std::size_t close = open == std::string_view::npos ? open : source.find('"', open + 1);
    if (close == std::string_view::npos) return 0;
    out = std::string(source.substr(open + 1, close - open - 1));
    return static_cast<int>(out.size()) + 2;
}

std::string VarSectionErrorLabel(int result) {
    return "VAR(" + std::to_string(result == kVarZeroLineWrong ? 0 : result) + ")";
}

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::size_t CodePoints(std::string_view s) {
    std::size_t n = 0;
    for (unsigned char ch : s)
        if ((ch & 0xC0) != 0x80) ++n;
    return n;
}

// One declaration as written, worked out without the run: what a run adds
// (the unit factor, values in force, the order digits of the variables
// already declared) is applied by ApplyVarLine.
struct VarLine {
    std::size_t index = 0;                  // its line
    std::size_t block = std::string::npos;  // start of the innermost include block holding it
    std::int32_t number = 0;
    bool wellFormed = false;  // false: a wrong line in any run
    bool unitRead = false;    // the unit factor is read for it, also when it is wrong
    bool parameter = false;   // its value stands between quotes
    int numeric = 0, trace = 0;
    int kind = kVarParameter, significant = 1, order = -1;
    char16_t type = u'D';
    std::string description, text;
    std::optional<std::string> quoted;  // a text parameter's value, when it is between quotes
    double written = 0.0;               // a number as written, before the unit factor
};

// One declaration line; `wellFormed` false when the line is wrong.
VarLine ParseVarLine(const std::string& line, std::size_t index, std::int32_t number) {
    VarLine d;
    d.index = index;
    d.number = number;
    const char first = line[0];
    d.numeric = first == '#';
    d.trace = first == '-';
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) return d;
    std::size_t start = eq + 1;
    while (start < line.size() && IsBlank(line[start])) ++start;
    if (start >= line.size()) return d;
    d.unitRead = true;
    d.parameter = line[start] == '"';
    if (d.parameter) {
        std::size_t close = line.find('"', start + 1);
        if (close == std::string::npos) return d;
        d.description = line.substr(start + 1, close - start - 1);
        std::size_t p = close + 1;
        if (p < line.size() && std::isdigit(static_cast<unsigned char>(line[p]))) {
            d.order = line[p++] - '0';
            if (p < line.size() && std::isdigit(static_cast<unsigned char>(line[p])))
                d.order = d.order * 10 + (line[p++] - '0');
        }
        if (p >= line.size()) return d;
        const char letter = line[p];
        const std::string_view upper = "ABDIRS", lower = "abdirs";
        if (upper.find(letter) != std::string_view::npos) {
            d.type = static_cast<char16_t>(letter);
        } else if (lower.find(letter) != std::string_view::npos) {
            d.type = static_cast<char16_t>(letter - 'a' + 'A');
            d.significant = 0;
        } else if (letter == 'C') {
            d.kind = kVarFixed;
            d.type = u'S';
            d.text = d.description;
        } else {
            return d;
        }
        std::string_view after = std::string_view(line).substr(p + 1);
        if (d.type == u'S') {
            std::string value;
            if (ExtractQuoted(value, after) != 0) d.quoted = std::move(value);
        } else {
            d.written = host::parseDoublePrefix(after).value_or(0.0);
        }
    } else {
        d.kind = kVarComputed;
        d.type = u'R';
        std::size_t end = line.find(';', start);
        d.description = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
        while (!d.description.empty() && IsBlank(d.description.back())) d.description.pop_back();
        if (CodePoints(d.description) >= 258) return d;
        if (d.numeric) d.written = host::parseDoublePrefix(d.description).value_or(0.0);
    }
    d.wellFormed = true;
    return d;
}

// The declaration put into the run's list; false when the line is wrong
// (also for this run alone: a text value without its quotes, an order
// digit another variable has). `unit` is read at the first line that needs
// it.
bool ApplyVarLine(const VarLine& d, bool readValues, ObjContext& c, ObjVarSetter& vars,
                  std::optional<double>& unit) {
    if (d.unitRead && !unit) unit = DrawingUnitFactor();
    if (!d.wellFormed) return false;
    std::string text = d.text;
    double value = 0.0;
    if (d.parameter) {
        if (d.kind == kVarParameter && d.number == 11034) {
            // Filled by the placement from the drawing, never from the file.
        } else if (d.kind == kVarParameter && readValues) {
            if (d.type == u'S') {
                if (!d.quoted) return false;
                text = *d.quoted;
            } else {
                value = d.written;
                if (d.type == u'D' || d.type == u'R') value *= *unit;
            }
        } else if (d.kind == kVarParameter) {
            // Re-reading the declarations keeps the values in force.
            GetObjVar(d.number, value, text, c.vars);
        }
    } else if (d.numeric) {
        value = d.written * *unit;
    }
    if (d.order >= 0)
        for (const auto& v : c.vars)
            if (v->number != d.number && v->order == d.order) return false;
    ObjVar* var =
        vars.set(d.number, d.kind, d.significant, d.type, d.description, value, text, d.numeric, d.trace);
    var->order = d.order;
    return true;
}

}  // namespace

// The VAR section of a definition's lines as written: its declarations up
// to the first wrong one, and how the reading ends.
struct ObjVarSectionPlan {
    enum class End { kNoSection, kNotEnded, kBadNumber, kDeclarations, kEnded };
    std::vector<VarLine> declarations;
    End end = End::kNoSection;
    std::size_t endIndex = 0;  // the line a fault is named at
    TextCursor cursor;         // where the reading leaves the cursor
};

namespace {

std::shared_ptr<const ObjVarSectionPlan> PlanVarSection(ObjText& t) {
    auto plan = std::make_shared<ObjVarSectionPlan>();
    using End = ObjVarSectionPlan::End;
    const auto finish = [&](End end, std::size_t index) {
        plan->end = end;
        plan->endIndex = index;
        plan->cursor = t.cursor;
        return plan;
    };
    if (!FindSection("VAR", t, true)) return finish(End::kNoSection, t.lines.size());
    std::vector<std::size_t> blocks;  // open include blocks, innermost last
    for (;;) {
        const std::size_t index = t.cursor.line;
        std::optional<std::string> line = ReadTextLine(t, 258, true);
        if (!line) return finish(End::kNotEnded, index);
        if (line->compare(0, kIncludeStart.size(), kIncludeStart) == 0) {
            blocks.push_back(index);
            continue;
        }
        if (line->compare(0, kIncludeEnd.size(), kIncludeEnd) == 0) {
            if (!blocks.empty()) blocks.pop_back();
            continue;
        }
        if (line->empty()) continue;
        const char first = (*line)[0];
        if (first == 'E') return finish(End::kEnded, index);
        if (first != '#' && first != '$' && first != '-') continue;
        std::optional<long long> number = host::parseIntegerPrefix(std::string_view(*line).substr(1));
        if (!number || *number < INT32_MIN || *number > INT32_MAX) return finish(End::kBadNumber, index);
        VarLine d = ParseVarLine(*line, index, static_cast<std::int32_t>(*number));
        if (!blocks.empty()) d.block = blocks.back();
        const bool wellFormed = d.wellFormed;
        plan->declarations.push_back(std::move(d));
        if (!wellFormed) return finish(End::kDeclarations, index);
    }
}

}  // namespace

int ReadVarSection(bool readValues, ObjContext& c) {
    if (!c.text) return -1;
    ObjText& t = *c.text;
    // Held here: a parameter's include block marked below changes the lines,
    // and what was worked out from them goes.
    std::shared_ptr<const ObjVarSectionPlan> plan = t.lines.compiled().varSection;
    if (!plan) t.lines.compiled().varSection = plan = PlanVarSection(t);
    std::optional<double> unit;
    ObjVarSetter vars(c.vars);
    for (const VarLine& d : plan->declarations) {
        if (!ApplyVarLine(d, readValues, c, vars, unit)) {
            t.cursor = TextCursor{d.index + 1, 0};
            ReportTextFault(t, d.index, "błędny wiersz zmiennej $" + std::to_string(d.number));
            return d.number == 0 ? kVarZeroLineWrong : d.number;
        }
        // A parameter's include file is written back with the new value.
        if (d.parameter && d.block != std::string::npos) {
            std::string& marker = t.lines.edit()[d.block].text;
            if (marker.size() > kIncludeStart.size()) marker[kIncludeStart.size()] = '1';
        }
    }
    t.cursor = plan->cursor;
    using End = ObjVarSectionPlan::End;
    switch (plan->end) {
        case End::kNoSection:
            // An empty or cut definition: its file is named, not only the section.
            ReportTextFault(t, plan->endIndex, "brak sekcji VAR");
            return -1;
        case End::kNotEnded:
            ReportTextFault(t, plan->endIndex, "sekcja VAR nie kończy się (brak wiersza END_VAR)");
            return -1;
        case End::kBadNumber:
            ReportTextFault(t, plan->endIndex, "nieczytelny numer zmiennej");
            return -1;
        case End::kDeclarations:  // the last one is wrong in every run: named above
        case End::kEnded:
            break;
    }
    return 0;
}

// ------------------------------------------------------------ fixed points

int GetObjPoint(const ObjContext& c, double point[3]) {
    const int index = c.fixedPointIndex <= 1 ? 1 : c.fixedPointIndex;
    const VertexNode* v = c.fixedPoints.get();
    for (int i = 1; v && i < index; ++i) v = v->next;
    if (!v) {
        point[0] = point[1] = point[2] = 0.0;
        return 0;
    }
    point[0] = v->x, point[1] = v->y, point[2] = v->z;
    return v->edgeFlag;
}

void NextFixedPoint(const double given[3], ObjContext& c, double out[3], int kindClass) {
    out[0] = given[0], out[1] = given[1], out[2] = given[2];
    std::vector<const VertexNode*> points;
    for (const VertexNode* v = c.fixedPoints.get(); v; v = v->next) points.push_back(v);
    const int n = static_cast<int>(points.size());
    const int current = c.fixedPointIndex <= 0 ? 1 : c.fixedPointIndex;
    if (current > n) return;
    for (int step = 1; step <= n; ++step) {
        const int pos = (current - 1 + step) % n;  // 0-based
        const VertexNode* v = points[pos];
        const bool kindFits = kindClass >= 2 ? v->edgeFlag >= 2 : v->edgeFlag < 2;
        if (!kindFits || PointsEqual(v->pt(), Point3{given[0], given[1], given[2]}, true)) continue;
        out[0] = v->x, out[1] = v->y, out[2] = v->z;
        c.fixedPointIndex = pos + 1;
        return;
    }
}

int FindFixedPointByKind(ObjContext& c, double out[3], int mode) {
    auto findKind = [&](int kind) -> bool {
        int pos = 1;
        for (const VertexNode* v = c.fixedPoints.get(); v; v = v->next, ++pos) {
            if (v->edgeFlag != kind) continue;
            out[0] = v->x, out[1] = v->y, out[2] = v->z;
            c.fixedPointIndex = pos;
            return true;
        }
        return false;
    };
    switch (mode) {
        case 0:
            return 1;
        case 1:
            return findKind(3) ? 3 : 0;
        case 2:
            return findKind(0) ? 0 : 3;
        case 3:
            return 2;
        default:
            return 0;
    }
}

bool IsSizeParameter(const ObjContext& context, int number) {
    switch (context.insertionType) {
        case InsertionType::StraightWallOpening:
        case InsertionType::ArcWallOpening:
            return number == 8 || number == 190;
        case InsertionType::WallCorner:
            return number == 40 || number == 41 || number == 190;
        default:
            return false;
    }
}

// ------------------------------------------------------------ number prompt

int PromptNumberWithFilters(const char* prompt, double baseElevation, double& number) {
    for (;;) {
        char reply[260] = {};
        const int status = zcedGetString(0, prompt, reply);
        if (status == RTCAN) return RTCAN;
        if (status != RTNORM) return RTERROR;
        std::string r = reply;
        while (!r.empty() && IsBlank(r.back())) r.pop_back();
        r.erase(0, r.find_first_not_of(" \t"));
        if (r.empty()) return RTNONE;
        if (r == "?") return kNumReplyQuestion;
        if (r == ".") return kNumReplyDot;
        if (r == ">") return kNumReplyGreater;
        if (r.size() == 2 && r[0] == '.') {
            const char axis = static_cast<char>(std::toupper(static_cast<unsigned char>(r[1])));
            if (axis == 'X' || axis == 'Y' || axis == 'Z') {
                std::string ask =
                    std::string("\nOkreśl punkt z którego przefiltrować współrzędną ") + axis + ":";
                ads_point p;
                if (GetPointInRange(0, nullptr, nullptr, ask.c_str(), p) != RTNORM) return RTERROR;
                number = axis == 'X' ? p[X] : axis == 'Y' ? p[Y] : p[Z] - baseElevation;
                return RTNORM;
            }
        }
        if (std::optional<double> v = TypedNumber(r)) {
            number = *v;
            return RTNORM;
        }
        zcutPrintf("\nPodana wartość jest nieprawidłowa");
    }
}

int LoadObjFile(ObjContext& context, const std::string& name) {
    if (context.text) return 0;
    return ReadObjText(name, context.text);
}

void ComputeRatioVars(ObjContext& c) {
    ObjVar* six = FindObjVar(6, c.vars);
    if (six && six->kind != kVarParameter) {
        double v31 = 0, v33 = 0, v34 = 0;
        std::string text;
        GetObjVar(31, v31, text, c.vars);
        GetObjVar(33, v33, text, c.vars);
        GetObjVar(34, v34, text, c.vars);
        six->value = v31 + v33 + v34;
    }
    double v4 = 0, v5 = 0, v6 = 0;
    std::string text;
    GetObjVar(4, v4, text, c.vars);
    GetObjVar(5, v5, text, c.vars);
    GetObjVar(6, v6, text, c.vars);
    if (c.insertionType == InsertionType::SlabCutTotalGiven) {
        if (ObjVar* five = FindObjVar(5, c.vars)) five->value = v6 == 0.0 ? 0.0 : v4 / v6;
    } else if (c.insertionType == InsertionType::SlabCutPartGiven) {
        if (ObjVar* four = FindObjVar(4, c.vars)) four->value = v5 * v6;
    }
}
