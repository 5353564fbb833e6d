// The expression parser. One level of ParseExpression scans operands and
// operators left to right into an accumulator; brackets and the terms after
// "+" and "-" recurse. The text is scanned as code points so that the
// position is a character index whatever the letters.
#include "objects/language/obj_expr.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>

#include "core/geometry/geom_basic.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/units.h"
#include "host/ed/cmdproc.h"
#include "host/win/textutil.h"
#include "objects/language/obj_args.h"
#include "objects/language/obj_limits.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr const char* kMissingOperator = "Błąd: brakuje operatora w wyrażeniu";
constexpr const char* kInvalidChar = "Błąd: nieprawidłowy znak w wyrażeniu";
constexpr const char* kInvalidNumber = "Błąd: nieprawidłowe wartości liczbowe w wyrażeniu";
constexpr const char* kUnbalanced = "Błąd: niesymetryczne nawiasy w wyrażeniu";
constexpr const char* kBadCode = "Błąd: nieprawidłowy $ kod w wyrażeniu";
constexpr std::size_t kTextArgChars = 78;

void Fail(ExprState& s, const char* message) {
    if (message) zcutPrintf("\n%s", message);
    s.error = true;
}

bool AtEnd(const ExprState& s) {
    return s.pos >= s.text.size();
}
char32_t Peek(const ExprState& s) {
    return AtEnd(s) ? 0 : s.text[s.pos];
}
bool IsDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

void SkipBlanks(ExprState& s) {
    while (!AtEnd(s) && s.text[s.pos] <= 32) ++s.pos;
}

// Digits at the position; nothing when there are none.
std::optional<int> ReadDigits(ExprState& s) {
    std::size_t start = s.pos;
    long long n = 0;
    while (!AtEnd(s) && IsDigit(s.text[s.pos])) {
        if (n < 100000000) n = n * 10 + (s.text[s.pos] - '0');
        ++s.pos;
    }
    if (s.pos == start) return std::nullopt;
    return static_cast<int>(n);
}

// Digits with at most one "." among them, the first a digit, fifteen digits
// at most: the quotient of two doubles that hold their integers exactly,
// which division rounds as the reading of the decimal does. Nothing for
// any other run.
std::optional<double> ShortDecimal(std::string_view run) {
    static constexpr double kTens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    if (run.empty() || run[0] == '.') return std::nullopt;
    std::int64_t digits = 0;
    std::size_t count = 0, decimals = 0;
    bool dot = false;
    for (char c : run) {
        if (c == '.') {
            if (dot) return std::nullopt;
            dot = true;
            continue;
        }
        if (++count > 15) return std::nullopt;
        digits = digits * 10 + (c - '0');
        if (dot) ++decimals;
    }
    return static_cast<double>(digits) / kTens[decimals];
}

// A run of digits and "." read as "%lf" would.
std::optional<double> ReadNumberOperand(ExprState& s) {
    const std::size_t start = s.pos;
    while (!AtEnd(s) && (IsDigit(s.text[s.pos]) || s.text[s.pos] == '.')) ++s.pos;
    // Numbers in expressions are short: their digits narrowed on the stack.
    char onStack[64];
    std::string onHeap;
    char* run = onStack;
    const std::size_t n = s.pos - start;
    if (n > sizeof onStack) {
        onHeap.resize(n);
        run = onHeap.data();
    }
    for (std::size_t i = 0; i < n; ++i) run[i] = static_cast<char>(s.text[start + i]);
    if (std::optional<double> exact = ShortDecimal(std::string_view(run, n))) return exact;
    return host::parseDoublePrefix(std::string_view(run, n));
}

// "$n" at the position ("$" consumed here): the variable, or null for an
// undeclared one; `ok` false when no digits follow.
const ObjVar* ReadVarOperand(ExprState& s, bool& ok) {
    ++s.pos;
    std::optional<int> n = ReadDigits(s);
    ok = n.has_value();
    if (!ok) return nullptr;
    return s.index ? s.index->find(*n) : FindObjVar(*n, *s.vars);
}

// A numeric argument of a function: "$n", a bracketed expression or a number.
std::optional<double> ReadFunctionArgument(ExprState& s) {
    SkipBlanks(s);
    if (Peek(s) == '$') {
        bool ok = false;
        const ObjVar* v = ReadVarOperand(s, ok);
        if (!ok) return std::nullopt;
        return v ? v->value : 0.0;
    }
    if (Peek(s) == '(') {
        ++s.pos;
        ++s.depth;
        std::string scratch;
        return ParseExpression(0, s, scratch);
    }
    return ReadNumberOperand(s);
}

double EvalFunction(char32_t letter, ExprState& s) {
    ++s.pos;
    std::optional<double> arg = ReadFunctionArgument(s);
    if (!arg) return 0.0;
    const double x = *arg;
    switch (letter) {
        case 'a':
            return (x < -1.0 || x > 1.0) ? 0.0 : std::asin(x);
        case 'b':
            return std::atan(x);
        case 'c':
            return std::cos(x);
        case 'i': {
            // A fraction of exactly one half rounds down.
            const double f = std::floor(x);
            return x - f <= 0.5 ? f : std::ceil(x);
        }
        case 'l':
            return std::floor(x);
        case 'q':
            return x * x;
        case 'r':
            return x < 0.0 ? 0.0 : std::sqrt(x);
        case 's':
            return std::sin(x);
        case 't':
            return std::tan(x);
        default:
            return 0.0;
    }
}

void SkipBlanksAndBracket(ExprState& s) {
    while (!AtEnd(s) && (s.text[s.pos] <= 32 || s.text[s.pos] == '(')) ++s.pos;
}

void ConsumeClosing(ExprState& s) {
    SkipBlanks(s);
    if (Peek(s) == ')') ++s.pos;
}

// A numeric argument of a text function: "$n" or a number.
std::optional<double> ReadTextFunctionNumber(ExprState& s) {
    SkipBlanksAndBracket(s);
    if (Peek(s) == '$') {
        bool ok = false;
        const ObjVar* v = ReadVarOperand(s, ok);
        if (!ok) return std::nullopt;
        return v ? v->value : 0.0;
    }
    if (!IsDigit(Peek(s)) && Peek(s) != '.') return std::nullopt;
    return ReadNumberOperand(s);
}

// A number as the text functions show it: decimal, the given decimals,
// trailing zeros kept.
std::string FormatDecimals(double value, int decimals) {
    const int keepZeros = 1;
    const int former = SysVarShort("DIMZIN", &keepZeros);
    char buf[128] = {};
    zcdbRToS(value, 2, decimals, buf);
    SysVarShort("DIMZIN", &former);
    return buf;
}

// A text argument: a quoted literal (78 characters kept) or "$n" (its text,
// or its number formatted with `decimals`). Nothing when it is neither.
std::optional<std::string> ReadTextArgument(ExprState& s, int decimals) {
    SkipBlanks(s);
    if (Peek(s) == '"') {
        ++s.pos;
        std::u32string literal;
        while (!AtEnd(s) && s.text[s.pos] != '"') literal += s.text[s.pos++];
        if (!AtEnd(s)) ++s.pos;
        if (literal.size() > kTextArgChars) literal.resize(kTextArgChars);
        std::string out;
        for (char32_t c : literal) host::appendUtf8(out, c);
        return out;
    }
    if (Peek(s) == '$') {
        bool ok = false;
        const ObjVar* v = ReadVarOperand(s, ok);
        if (!ok) return std::nullopt;
        if (!v) return std::string();
        if (v->type == u'S') {
            s.textBytes += v->text.size();
            return v->text;
        }
        return FormatDecimals(v->value, decimals);
    }
    return std::nullopt;
}

void TextArgumentError(ExprState& s, const char* where) {
    zcutPrintf("\n%s %s", kBadCode, where);
    s.error = true;
}

double TextWidthFunction(ExprState& s) {
    ++s.pos;
    std::optional<double> height = ReadTextFunctionNumber(s);
    std::optional<double> decimals = height ? ReadTextFunctionNumber(s) : std::nullopt;
    if (!decimals) {
        TextArgumentError(s, ":d()");
        return 0.0;
    }
    std::optional<std::string> text = ReadTextArgument(s, static_cast<int>(*decimals));
    if (!text) {
        TextArgumentError(s, ":d()");
        return 0.0;
    }
    std::optional<std::string> style = ReadTextArgument(s, 0);
    if (!style || style->empty()) {
        TextArgumentError(s, ":TEXT");
        return 0.0;
    }
    ConsumeClosing(s);
    const host::ResbufList found(zcdbTblSearch("STYLE", style->c_str(), 0));
    if (!found) *style = "STANDARD";
    ads_point origin = {0.0, 0.0, 0.0};
    const host::ResbufList entity(zcutBuildList(RTDXF0, "TEXT", 1, text->c_str(), 7, style->c_str(), 40,
                                                *height, 41, GetStyleWidthFactor(*style), 51,
                                                GetStyleObliqueAngle(*style), 10, origin, 50, 0.0, 0));
    ads_point low = {0, 0, 0}, high = {0, 0, 0};
    const int status = zcedTextBox(entity.get(), low, high);
    return status == RTNORM ? high[X] - low[X] : 0.0;
}

void TextValueFunction(ExprState& s, std::string& textResult) {
    ++s.pos;
    std::optional<double> x = ReadTextFunctionNumber(s);
    std::optional<double> decimals = x ? ReadTextFunctionNumber(s) : std::nullopt;
    std::optional<std::string> text =
        decimals ? ReadTextArgument(s, static_cast<int>(*decimals)) : std::nullopt;
    if (!text) {
        TextArgumentError(s, ":TEXT");
        return;
    }
    ConsumeClosing(s);
    s.textBytes += text->size();
    textResult = *text;
}

void CharFunction(ExprState& s, std::string& textResult) {
    ++s.pos;
    std::optional<double> code = ReadTextFunctionNumber(s);
    ConsumeClosing(s);
    textResult.clear();
    const long long c = code ? static_cast<long long>(*code) : 0;
    if (c > 0 && c <= 0x10FFFF) host::appendUtf8(textResult, static_cast<char32_t>(c));
}

bool CharCodeFunction(ExprState& s, double& accumulator) {
    ++s.pos;
    SkipBlanksAndBracket(s);
    if (Peek(s) != '$') {
        s.error = true;
        return false;
    }
    bool ok = false;
    const ObjVar* v = ReadVarOperand(s, ok);
    if (!ok) {
        s.error = true;
        return false;
    }
    ConsumeClosing(s);
    std::size_t pos = 0;
    accumulator = (v && !v->text.empty()) ? static_cast<double>(host::decodeUtf8(v->text, pos)) : 0.0;
    return true;
}

double CompareValues(char32_t op, ExprState& s) {
    ++s.pos;
    const ObjVar* operands[2] = {nullptr, nullptr};
    for (const ObjVar*& operand : operands) {
        SkipBlanks(s);
        bool ok = false;
        if (Peek(s) != '$') {
            s.error = true;
            return 0.0;
        }
        operand = ReadVarOperand(s, ok);
        if (!ok || !operand) {
            s.error = true;
            return 0.0;
        }
    }
    while (!AtEnd(s) && s.text[s.pos] != ')') ++s.pos;
    int order = 0;
    if (operands[0]->type == u'S') {
        s.textBytes += operands[0]->text.size() + operands[1]->text.size();
        order = host::icompare(operands[0]->text, operands[1]->text);
    } else {
        const double a = operands[0]->value, b = operands[1]->value;
        order = a < b ? -1 : (a > b ? 1 : (a == b ? 0 : 2));
    }
    if (op == '<') return order == -1 ? 1.0 : 0.0;
    if (op == '=') return order == 0 ? 1.0 : 0.0;
    return order == 1 ? 1.0 : 0.0;
}

// The code points of `text` into `out`, which has room for as many as the
// text has bytes; their count.
std::size_t Decode(std::string_view text, char32_t* out) {
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (c < 0x80) {
            out[n++] = c;
            ++pos;
        } else {
            out[n++] = host::decodeUtf8(text, pos);
        }
    }
    return n;
}

}  // namespace

void ApplyOperator(PendingOp& op, double& accumulator, double operand) {
    switch (op) {
        case PendingOp::Multiply:
            accumulator *= operand;
            break;
        case PendingOp::Divide:
            accumulator = std::fabs(operand) < GeomEpsilon ? 0.0 : accumulator / operand;
            break;
        default:
            accumulator = operand;
            break;
    }
    op = PendingOp::Value;
}

double ParseExpression(int mode, ExprState& s, std::string& textResult) {
    double acc = 0.0;
    PendingOp op = PendingOp::None;
    while (!AtEnd(s) && !s.error) {
        const char32_t c = s.text[s.pos];
        const bool afterOperand = op == PendingOp::Value;
        if (c <= 32) {
            ++s.pos;
        } else if (c == '$') {
            if (afterOperand) return Fail(s, kMissingOperator), acc;
            bool ok = false;
            const ObjVar* v = ReadVarOperand(s, ok);
            if (!ok) return Fail(s, kInvalidNumber), acc;
            if (v) {
                s.textBytes += v->text.size();
                textResult = v->text;
            } else {
                textResult.clear();
            }
            ApplyOperator(op, acc, v ? v->value : 0.0);
        } else if (c == '(') {
            if (afterOperand) return Fail(s, kMissingOperator), acc;
            ++s.pos;
            ++s.depth;
            const double inner = ParseExpression(1, s, textResult);
            ApplyOperator(op, acc, inner);
        } else if (c == ')') {
            if (mode == 2) return acc;
            ++s.pos;
            --s.depth;
            return acc;
        } else if (c == '*' || c == '/') {
            ++s.pos;
            op = c == '*' ? PendingOp::Multiply : PendingOp::Divide;
        } else if (c == '+' || c == '-') {
            if (mode == 2) return acc;
            ++s.pos;
            std::string termText;
            const double term = ParseExpression(2, s, termText);
            if (c == '+') {
                acc += term;
                s.textBytes += termText.size();
                textResult += termText;
                // A text joined to itself doubles: stopped before the next
                // join, the caller naming the variable.
                if (textResult.size() > kMaxComputedTextBytes) {
                    s.textTooLong = true;
                    return Fail(s, nullptr), acc;
                }
            } else {
                acc -= term;
            }
        } else if (c == '<' || c == '=' || c == '>') {
            const double r = CompareValues(c, s);
            if (!s.error) ApplyOperator(op, acc, r);
        } else if (c == 'N' || c == 'n') {
            if (afterOperand) return Fail(s, kInvalidChar), acc;
            ++s.pos;
            ApplyOperator(op, acc, s.copyIndex);
        } else if (std::u32string_view(U"abcilqrst").find(c) != std::u32string_view::npos) {
            if (afterOperand) return Fail(s, kMissingOperator), acc;
            const double r = EvalFunction(c, s);
            ApplyOperator(op, acc, r);
        } else if (c == 'd') {
            if (afterOperand) return Fail(s, kMissingOperator), acc;
            const double r = TextWidthFunction(s);
            if (!s.error) ApplyOperator(op, acc, r);
        } else if (c == 'e' || c == 'h') {
            if (afterOperand) return Fail(s, kMissingOperator), acc;
            if (c == 'e')
                TextValueFunction(s, textResult);
            else
                CharFunction(s, textResult);
        } else if (c == 'j') {
            if (afterOperand) return Fail(s, kMissingOperator), acc;
            CharCodeFunction(s, acc);
        } else {
            if (afterOperand) return Fail(s, kInvalidChar), acc;
            std::optional<double> number = ReadNumberOperand(s);
            if (!number) return Fail(s, ""), acc;
            ApplyOperator(op, acc, *number);
        }
    }
    if (AtEnd(s) && s.depth > 0 && !s.error) Fail(s, kUnbalanced);
    return acc;
}

int EvalExprText(bool numeric, double unitFactor, std::string_view expression, double& value,
                 std::string& text, const ObjVarList& vars, int copyIndex, const ObjVarIndex* index,
                 std::uint64_t* textBytes) {
    // Expressions are short (a definition's line holds at most 258
    // characters): decoded on the stack, as each is evaluated afresh for
    // every run.
    char32_t onStack[264];
    std::u32string onHeap;
    char32_t* decoded = onStack;
    if (expression.size() > std::size(onStack)) {
        onHeap.resize(expression.size());
        decoded = onHeap.data();
    }
    ExprState s;
    s.text = std::u32string_view(decoded, Decode(expression, decoded));
    s.vars = &vars;
    s.index = index;
    s.copyIndex = copyIndex;
    text.clear();
    const double result = ParseExpression(0, s, text);
    value = numeric ? result * unitFactor : result;
    if (textBytes) *textBytes += s.textBytes;
    // A text taken whole from a variable that holds more (one read from a
    // drawing) is refused as a join past the bound is.
    if (s.textTooLong || text.size() > kMaxComputedTextBytes) return kExprTextTooLong;
    return s.error ? -1 : 1;
}

namespace {

// The index of the list evaluated last. A run evaluates its list several
// times, the members unchanged in between (values apart) or only more of
// them appended, so the index is made again only when the members it was
// made of are not the list's first: the same variables, in the same order,
// under the same numbers.
class KeptIndex {
public:
    const ObjVarIndex& of(const ObjVarList& list) {
        std::size_t kept = members_.size();
        if (!index_ || !Prefix(list)) {
            index_.emplace(list);
            members_.clear();
            kept = 0;
        } else {
            for (std::size_t i = kept; i < list.size(); ++i) index_->add(list[i].get());
        }
        for (std::size_t i = kept; i < list.size(); ++i) members_.push_back({list[i].get(), list[i]->number});
        return *index_;
    }

private:
    struct Member {
        const ObjVar* var;
        std::int32_t number;
    };
    bool Prefix(const ObjVarList& list) const {
        if (list.size() < members_.size()) return false;
        for (std::size_t i = 0; i < members_.size(); ++i)
            if (list[i].get() != members_[i].var || list[i]->number != members_[i].number) return false;
        return true;
    }

    std::vector<Member> members_;
    std::optional<ObjVarIndex> index_;
};

// The index of the list evaluated last, made again only when needed.
const ObjVarIndex& KeptIndexOf(const ObjVarList& list) {
    thread_local KeptIndex kept;
    return kept.of(list);
}

// The start of a refusal by a bound: the definition, when known.
std::string RefusedDefinition(const ExprRun* run) {
    return run && !run->definition.empty() ? "Definicja " + run->definition
                                           : std::string("Definicja obiektu");
}

// A bound of obj_limits.h refused the evaluation: said once, in the words
// of the other bounds, and the command fails.
void RefuseEvaluation(ExprRun* run, const std::string& what) {
    if (run && run->refused) return;
    zcutPrintf("\n%s: %s: obiekt nie został narysowany.", RefusedDefinition(run).c_str(), what.c_str());
    if (run) run->refused = true;
    host::noteFailed();
}

std::string TextTooLong(std::int32_t number) {
    return "tekst zmiennej $" + std::to_string(number) + " ma więcej niż " +
           std::to_string(kMaxComputedTextBytes) + " bajtów";
}

std::string RunTextTooLong() {
    return "teksty zmiennych mają razem więcej niż " + std::to_string(kMaxRunTextBytes) + " bajtów";
}

std::uint64_t TextWork(std::uint64_t bytes) {
    return (bytes + kTextBytesPerStatement - 1) / kTextBytesPerStatement;
}

}  // namespace

int EvaluateComputedVars(ObjVarList& vars, double unitFactor, const std::vector<std::int32_t>& exclude,
                         ExprRun* run) {
    const ObjVarIndex& index = KeptIndexOf(vars);  // the loop changes values only
    // The numbers left out looked up by halves: ARRAY_VARN may name as many
    // as the list holds.
    std::vector<std::int32_t> left(exclude);
    std::sort(left.begin(), left.end());
    std::string text;
    std::uint64_t textBytes = 0;
    // Every variable walked is work, computed or not, so that a list of
    // many fixed ones evaluated for every copy counts too.
    if (run) run->work += vars.size();
    int result = 1;
    for (auto& holder : vars) {
        ObjVar& v = *holder;
        if (v.kind == kVarComputed && (v.number == 20 || v.number >= 31) &&
            !std::binary_search(left.begin(), left.end(), v.number)) {
            double value = 0.0;
            const int r =
                EvalExprText(v.numeric, unitFactor, v.description, value, text, vars, 0, &index, &textBytes);
            if (r == kExprTextTooLong) {
                RefuseEvaluation(run, TextTooLong(v.number));
                result = -1;
                break;
            }
            if (r < 0) {
                zcutPrintf("\n%s: %s", kBadCode, v.description.c_str());
                result = -1;
                break;
            }
            v.value = value;
            v.text.swap(text);  // cleared by the next evaluation
            // A result without text is a number again, so comparisons of it
            // look at its value.
            v.type = v.text.empty() ? u'R' : u'S';
        }
        if (v.trace) {
            textBytes += v.description.size() + v.text.size();
            zcutPrintf("\n-%d=%s = %f = %s", v.number, v.description.c_str(), v.value, v.text.c_str());
        }
        if (textBytes > kMaxRunTextBytes) {
            RefuseEvaluation(run, RunTextTooLong());
            result = -1;
            break;
        }
    }
    if (run) run->work += TextWork(textBytes);
    return result;
}

int EvaluateComputedVars(ObjContext& context, double unitFactor) {
    ExprRun run;
    run.definition = context.objectName;
    return EvaluateComputedVars(context.vars, unitFactor, {}, &run);
}

namespace {

// The context's variable of that number, found through the index of its
// list (which holds them as the list does, to be changed).
ObjVar* ContextVar(const ObjVarIndex& index, std::int32_t number) {
    return const_cast<ObjVar*>(index.find(number));
}

}  // namespace

int ApplyArrayVarN(ObjVarList& perCopy, int copyIndex, ObjContext& context, std::uint64_t* work) {
    const double unit = DrawingUnitFactor();
    ExprRun run;
    run.definition = context.objectName;
    const ObjVarIndex& index = KeptIndexOf(context.vars);
    std::vector<std::int32_t> numbers;
    numbers.reserve(perCopy.size());
    std::uint64_t textBytes = 0;
    std::string text;
    int result = 1;
    for (auto& pc : perCopy) {
        const int r = EvalExprText(pc->numeric, unit, pc->description, pc->value, text, context.vars,
                                   copyIndex, &index, &textBytes);
        if (r == kExprTextTooLong) {
            RefuseEvaluation(&run, TextTooLong(pc->number));
            result = 0;
            break;
        }
        if (r < 0) {
            zcutPrintf("\n%s: ARRAY_VARN", kBadCode);
            return 0;
        }
        if (ObjVar* target = ContextVar(index, pc->number)) target->value = pc->value;
        numbers.push_back(pc->number);
    }
    run.work += perCopy.size() + TextWork(textBytes);
    if (result == 1 && textBytes > kMaxRunTextBytes) {
        RefuseEvaluation(&run, RunTextTooLong());
        result = 0;
    }
    if (result == 1 && EvaluateComputedVars(context.vars, unit, numbers, &run) < 0) {
        // The variables get their own values back, unless a bound refused
        // them: the run ends, and they would be refused again.
        if (!run.refused) EndArrayVarN(perCopy, context, work);
        result = 0;
    }
    // Nothing of a run a bound refused is drawn.
    if (run.refused) context.drawRefused = true;
    if (work) *work += run.work;
    return result;
}

int EndArrayVarN(ObjVarList& perCopy, ObjContext& context, std::uint64_t* work) {
    const ObjVarIndex& index = KeptIndexOf(context.vars);
    for (auto& pc : perCopy)
        if (ObjVar* target = ContextVar(index, pc->number)) target->value = pc->value;
    ExprRun run;
    run.definition = context.objectName;
    run.work = perCopy.size();
    FreeObjVars(perCopy);
    const int result = EvaluateComputedVars(context.vars, DrawingUnitFactor(), {}, &run);
    if (run.refused) context.drawRefused = true;
    if (work) *work += run.work;
    return result;
}
