// The rows and named sets of object parameters as the parameter dialogs
// show them: one row per parameter (a variable with a quoted description)
// holding its current and new value, and the sets of the TYPO section, the
// first always the pseudo-set of the values in the store. Rows are put in
// the order the definition's VAR lines ask for; the wall thickness and the
// prefix switch are left out where the drawing's options set them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "objects/language/obj_context.h"

// The set that stands for the values currently in the store.
inline constexpr const char* kLastParametersSet = "Wstaw ostatnie parametry";

struct CInfoParametri {
    std::int32_t kind = kVarParameter;
    std::int32_t order = -1;  // the VAR line's order digits
    char16_t type = u'D';     // A B D I R S
    double currentValue = 0.0;
    std::string currentText;
    double newValue = 0.0;
    std::string newText;
    std::string description;
    std::int32_t significant = 1;
    std::int32_t index = -1;  // a link to another object's variable; -1 none
    std::int32_t variable = 0;

    // The current (true) or new (false) value as the dialogs show it.
    std::string FormatValue(bool current) const;
};
using CArrayInfoParametri = std::vector<CInfoParametri>;

struct CTipologia {
    std::string name;
    CArrayInfoParametri rows;

    // Drops variable 1 unless free openings are allowed and 11098 when the
    // prefix is set (both kept while editing sets, run mode 3), then puts
    // the rows in their display order.
    void OrderRows(bool freeOpening, bool prefixFlag, int runMode);
};
using CArrayTipologie = std::vector<CTipologia>;

// The inside/outside value of an opening: from 11108 when the object has
// 11008, else 11109 (0.0 when absent).
double ObjectSideValue(const ObjContext& context);
// Every "%" of a description as "wewnątrz" (side above 0.5) or "zewnątrz".
std::string InsertSideWord(std::string_view description, double side);
CInfoParametri RowFromVar(const ObjVar& var, double side);

// How the sets of a context are built for a dialog.
struct ParameterSetOptions {
    bool onlyContextParameters = true;  // rows of a named set only for parameters of the store
    bool withLinks = false;             // each row's link from the variable's auxiliary index
};
// The pseudo-set of the store's parameters, then the named sets in order.
CArrayTipologie BuildParameterSets(const ObjContext& context, ParameterSetOptions options);
// The set of that name (exact); -1 when none.
int FindParameterSet(const CArrayTipologie& sets, std::string_view name);

// A value typed for a row of that type: A, D, R a length or number in the
// drawing's units, B "Tak" (any case) or not, I an integer. Nothing when an
// A, D, R or I text cannot be read, nor for an A, D or R value out of
// range (CoordinateInRange).
std::optional<double> ParseRowValue(char16_t type, const std::string& text);
