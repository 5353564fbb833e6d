// Parameter rows and named sets.
#include "objects/dialogs/param_rows.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/input_range.h"
#include "host/ads/units.h"
#include "host/util/nocase.h"

std::string CInfoParametri::FormatValue(bool current) const {
    const double value = current ? currentValue : newValue;
    switch (type) {
        case u'A':
        case u'D':
        case u'R': {
            char buf[64] = {};
            if (zcdbRToS(value, -1, -1, buf) != RTNORM) return {};
            return buf;
        }
        case u'B':
            return std::trunc(value) != 0.0 ? "Tak" : "Nie";
        case u'I': {
            const double t = std::trunc(value);
            if (!(std::fabs(t) < 9.2e18)) return {};
            return std::to_string(static_cast<long long>(t));
        }
        case u'S':
            return current ? currentText : newText;
        default:
            return {};
    }
}

void CTipologia::OrderRows(bool freeOpening, bool prefixFlag, int runMode) {
    auto dropFirst = [this](int variable) {
        for (auto it = rows.begin(); it != rows.end(); ++it)
            if (it->variable == variable) {
                rows.erase(it);
                return;
            }
    };
    if (!freeOpening && runMode != 3) dropFirst(1);
    if (prefixFlag && runMode != 3) dropFirst(11098);

    CArrayInfoParametri rest = std::move(rows);
    rows.clear();
    const int count = static_cast<int>(rest.size());
    for (int k = 0; k < count; ++k) {
        auto pick = rest.end();
        for (auto it = rest.begin(); it != rest.end(); ++it)
            if (it->order == k) {
                pick = it;
                break;
            }
        if (pick == rest.end()) {
            for (auto it = rest.begin(); it != rest.end(); ++it) {
                if (it->order >= 0 && it->order < count) continue;
                if (pick == rest.end() || it->variable < pick->variable) pick = it;
            }
        }
        if (pick == rest.end()) pick = rest.begin();
        rows.push_back(std::move(*pick));
        rest.erase(pick);
    }
}

double ObjectSideValue(const ObjContext& context) {
    if (FindObjVar(11008, context.vars)) {
        const ObjVar* v = FindObjVar(11108, context.vars);
        return v && v->value >= 0.5 ? 0.0 : 1.0;
    }
    const ObjVar* v = FindObjVar(11109, context.vars);
    return v ? v->value : 0.0;
}

std::string InsertSideWord(std::string_view description, double side) {
    const std::string_view word = side > 0.5 ? "wewnątrz" : "zewnątrz";
    std::string out;
    for (char ch : description) {
        if (ch == '%')
            out += word;
        else
            out += ch;
    }
    return out;
}

CInfoParametri RowFromVar(const ObjVar& var, double side) {
    CInfoParametri row;
    row.order = var.order;
    row.type = var.type;
    row.variable = var.number;
    row.currentValue = row.newValue = var.value;
    row.currentText = row.newText = var.text;
    row.description = InsertSideWord(var.description, side);
    row.significant = var.significant;
    return row;
}

CArrayTipologie BuildParameterSets(const ObjContext& context, ParameterSetOptions options) {
    const double side = ObjectSideValue(context);
    auto rowOf = [&](const ObjVar& v) {
        CInfoParametri row = RowFromVar(v, side);
        if (options.withLinks) row.index = v.auxIndex;
        return row;
    };
    CArrayTipologie sets;
    CTipologia last;
    last.name = kLastParametersSet;
    for (const auto& v : context.vars)
        if (v->kind == kVarParameter) last.rows.push_back(rowOf(*v));
    last.OrderRows(context.freeOpening != 0, context.prefix != 0, context.runMode);
    sets.push_back(std::move(last));
    for (const ObjParamSet& named : context.paramSets) {
        CTipologia set;
        set.name = named.name;
        for (const auto& v : named.vars) {
            if (options.onlyContextParameters) {
                const ObjVar* own = FindObjVar(v->number, context.vars);
                if (!own || own->kind != kVarParameter) continue;
            }
            set.rows.push_back(rowOf(*v));
        }
        set.OrderRows(context.freeOpening != 0, context.prefix != 0, context.runMode);
        sets.push_back(std::move(set));
    }
    return sets;
}

int FindParameterSet(const CArrayTipologie& sets, std::string_view name) {
    for (std::size_t i = 0; i < sets.size(); ++i)
        if (sets[i].name == name) return static_cast<int>(i);
    return -1;
}

std::optional<double> ParseRowValue(char16_t type, const std::string& text) {
    switch (type) {
        case u'A':
        case u'D':
        case u'R': {
            // A decimal number is read whole, as every number field reads
            // it; the host's distance forms (feet, inches, fractions) by the
            // host.
            double v = 0.0;
            if (text.find_first_of("'\"/") == std::string::npos) {
                const std::optional<double> typed = TypedNumber(text);
                if (!typed) return std::nullopt;
                v = *typed;
            } else if (zcdbDisToF(text.c_str(), -1, &v) != RTNORM) {
                return std::nullopt;
            }
            if (!CoordinateInRange(v)) return std::nullopt;
            return v;
        }
        case u'B':
            return zcutEqualsNoCase(text, "Tak") ? 1.0 : 0.0;
        case u'I': {
            const std::optional<long long> v = TypedInteger(text);
            if (!v || !CoordinateInRange(static_cast<double>(*v))) return std::nullopt;
            return static_cast<double>(*v);
        }
        default:
            return std::nullopt;
    }
}
