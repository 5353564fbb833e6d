// The thickness expressions of build-up layers: "$" the wall's thickness,
// "s" and a number n the thickness of layer n of the same build-up (1 the
// first; a number below 1 means the first too), numbers, + - * /, blanks.
// A number standing as a term is in centimetres (scaled by the drawing's
// unit factor), a number after * or / is a plain factor; + and - bind weaker
// than * and /. Anything else, two values without an operator between them,
// a missing or zero-thick referenced layer and nesting deeper than 15
// (a layer referring to itself) are errors.
#pragma once

#include <string_view>

class DEFMURI;
class CListStrati;

inline constexpr int kMaxThicknessDepth = 15;

// Evaluates expr from *pos, advancing it; on failure sets the set's
// exprError (cleared at entry). `nested` is the term after a + or -, which
// returns at the next + or -.
double EvalLayerThickness(DEFMURI* set, bool nested, int depth, int* pos, std::string_view expr,
                          CListStrati* layers, double wallThickness);
