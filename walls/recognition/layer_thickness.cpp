#include "walls/recognition/layer_thickness.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "core/apply_operator.h"
#include "walls/recognition/defmuri.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The layer number after "s": optional sign, then digits; false when none.
bool ReadLayerNumber(std::string_view expr, int* pos, int& number) {
    std::size_t i = static_cast<std::size_t>(*pos);
    std::size_t digitsFrom = i;
    if (i < expr.size() && (expr[i] == '+' || expr[i] == '-')) ++digitsFrom;
    std::size_t end = digitsFrom;
    while (end < expr.size() && IsDigit(expr[end])) ++end;
    if (end == digitsFrom) return false;
    number = std::atoi(std::string(expr.substr(i, end - i)).c_str());
    *pos = static_cast<int>(end);
    return true;
}

// A run of digits and points read as one number; false when it holds none.
bool ReadNumber(std::string_view expr, int* pos, double& value) {
    std::size_t i = static_cast<std::size_t>(*pos);
    std::size_t end = i;
    while (end < expr.size() && (IsDigit(expr[end]) || expr[end] == '.')) ++end;
    if (end == i) return false;
    const std::string run(expr.substr(i, end - i));
    char* stop = nullptr;
    value = std::strtod(run.c_str(), &stop);
    if (stop == run.c_str()) return false;
    *pos = static_cast<int>(end);
    return true;
}

const CStrato* LayerNumbered(const CListStrati* layers, int n) {
    if (!layers || layers->empty()) return nullptr;
    if (n < 1) n = 1;
    for (const CStrato& layer : *layers)
        if (--n == 0) return &layer;
    return nullptr;
}

}  // namespace

double EvalLayerThickness(DEFMURI* set, bool nested, int depth, int* pos, std::string_view expr,
                          CListStrati* layers, double wallThickness) {
    set->exprError = false;
    if (depth > kMaxThicknessDepth) {
        set->exprError = true;
        return 0.0;
    }
    double acc = 0.0;
    PendingOperator op = PendingOperator::None;
    bool scaleNumbers = true;
    auto fail = [&] {
        set->exprError = true;
        return acc;
    };
    while (static_cast<std::size_t>(*pos) < expr.size() && !set->exprError) {
        const char c = expr[static_cast<std::size_t>(*pos)];
        if (c == ' ' || c == '\t') {
            ++*pos;
        } else if (c == '+' || c == '-') {
            if (nested) return acc;
            ++*pos;
            const double term = EvalLayerThickness(set, true, depth, pos, expr, layers, wallThickness);
            acc += c == '+' ? term : -term;
            scaleNumbers = true;
        } else if (c == '*' || c == '/') {
            op = c == '*' ? PendingOperator::Multiply : PendingOperator::Divide;
            scaleNumbers = false;
            ++*pos;
        } else if (c == '$') {
            if (op == PendingOperator::ValuePresent) return fail();
            ++*pos;
            ApplyOperator(op, acc, wallThickness);
        } else if (c == 's') {
            if (op == PendingOperator::ValuePresent) return fail();
            ++*pos;
            int n = 0;
            if (!ReadLayerNumber(expr, pos, n)) return fail();
            const CStrato* layer = LayerNumbered(layers, n);
            if (!layer) return fail();
            int from = 0;
            const double t =
                EvalLayerThickness(set, false, depth + 1, &from, layer->thickness, layers, wallThickness);
            if (set->exprError || std::fabs(t) < GeomEpsilon) return fail();
            ApplyOperator(op, acc, t);
        } else {
            if (op == PendingOperator::ValuePresent) return fail();
            double value = 0.0;
            if (!ReadNumber(expr, pos, value)) return fail();
            if (scaleNumbers) value *= set->unitFactor;
            ApplyOperator(op, acc, value);
        }
    }
    return acc;
}
