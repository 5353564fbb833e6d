// The expression language of computed variables: a small left-to-right
// recursive parser over numbers, "$n" variable references, brackets, the
// four operators, comparisons of two variables, one-letter functions and
// four text functions. An expression gives a number and, optionally, a text.
//
// Kept because stored definitions rely on it: "*" and "/" bind within a
// term, "+" and "-" separate terms, so 2+3*4 is 14 and 8-2-1 is 5; a minus
// right after "*" subtracts the next term (2*-3 is -1); a divisor below
// GeomEpsilon gives 0; i() rounds a half down; the computed
// variables are evaluated once, in declaration order, so an expression sees
// the new values of the variables above it and the old ones below.
//
// Functions: a asin (0 outside -1..1), b atan, c cos, i round, l floor,
// q square, r sqrt (0 below 0), s sin, t tan; d(height decimals text style)
// the width of a text, e(x decimals text) a text value, h(code) a
// character, j($n) the code of a text's first character; N the copy index.
//
// Bounds (obj_limits.h): a text an expression gives is at most
// kMaxComputedTextBytes, and one evaluation of a run's variables copies
// and compares at most kMaxRunTextBytes of text; past either the
// evaluation is refused, naming the definition and the bound, and the
// command fails. An evaluation made again for every ARRAY_VARN copy
// reports its work, which the DRAW run counts against its statements.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "objects/language/obj_context.h"

enum class PendingOp { None, Multiply, Divide, Value };

struct ExprState {
    std::u32string_view text;
    std::size_t pos = 0;
    bool error = false;
    int depth = 0;
    int copyIndex = 0;
    const ObjVarList* vars = nullptr;
    const ObjVarIndex* index = nullptr;  // of vars, when the caller has one
    std::uint64_t textBytes = 0;         // copied and compared so far
    bool textTooLong = false;            // the text passed kMaxComputedTextBytes
};

// EvalExprText's result when the text passed kMaxComputedTextBytes (no
// message printed: the caller names the variable).
constexpr int kExprTextTooLong = -2;

// One evaluation of a run's variables: whose they are, named when a bound
// refuses it, and the work it did in statements (obj_limits.h).
struct ExprRun {
    std::string definition;
    std::uint64_t work = 0;
    bool refused = false;  // a bound refused it, its message printed
};

// 1, or -1 after an error (the message printed), or kExprTextTooLong;
// `value` is what was reached, times the unit factor when `numeric`. The
// text bytes copied and compared are added to `textBytes`.
int EvalExprText(bool numeric, double unitFactor, std::string_view expression, double& value,
                 std::string& text, const ObjVarList& vars, int copyIndex, const ObjVarIndex* index = nullptr,
                 std::uint64_t* textBytes = nullptr);
// One level of the scan: mode 0 top level or function argument, 1 inside
// brackets, 2 a term after "+" or "-".
double ParseExpression(int mode, ExprState& state, std::string& textResult);
void ApplyOperator(PendingOp& op, double& accumulator, double operand);

// Evaluates the computed variables numbered 20 or from 31 on, in order,
// skipping the numbers in `exclude`; prints the traced ones. 1 or -1. The
// time it takes is linear in the variables and their texts; `run`, when
// given, names the definition in a refusal and receives the work done.
int EvaluateComputedVars(ObjVarList& vars, double unitFactor, const std::vector<std::int32_t>& exclude = {},
                         ExprRun* run = nullptr);
// The same for an object run's own variables, its definition named.
int EvaluateComputedVars(ObjContext& context, double unitFactor);

// ARRAY_VARN: the per-copy variables (number, expression in the
// description, numeric flag) evaluated for copy `copyIndex` and copied into
// the context's variables, then the context's computed variables again.
// 1, or 0 after an error; a refusal by a bound also marks the context's
// DRAW run refused. The statements the work counts as are added to `work`.
int ApplyArrayVarN(ObjVarList& perCopy, int copyIndex, ObjContext& context, std::uint64_t* work = nullptr);
// After the last copy: the per-copy values copied over once more, the
// per-copy list freed, the computed variables evaluated again.
int EndArrayVarN(ObjVarList& perCopy, ObjContext& context, std::uint64_t* work = nullptr);
