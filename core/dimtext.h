// Architectural dimensions: lengths read in the drawing's unit step
// (settings SFTMTCM), shown as whole units with the remainder rounded to
// halves or quarters and written as raised digits, and chains of dimensions
// drawn through the host's own dimensioning command with the drawing's
// style, scale, layer and elevation, all restored afterwards (the host
// writes the scale into each dimension it makes).
#pragma once

#include <string>

#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"

// The print-scale entries kept as scales of paper millimetres: 9, the
// dimension scale (DIMSCALE), and 5, the scale of symbols and elevation
// marks.
constexpr int kDimensionScaleEntry = 9;
constexpr int kSymbolScaleEntry = 5;

// Such an entry in drawing units: the entry times the drawing units of a
// paper millimetre (SFTMTCM / 10), so that 2.5 mm of text at 1:50 stands
// 12.5 high in a drawing in centimetres and 125 in one in millimetres.
double PaperScaleFactor(int index);

// Rounds `length` to whole units plus a half or a quarter (settings
// ARROTUNQUARTO); `rounded` gets the whole units times the unit step,
// `digits` the raised fraction digits ("", "5", "25" or "75"). A remainder
// equal to a bound rounds down.
void RoundDimensionValue(double length, double& rounded, std::string& digits);

// The dimension text of a length: the whole units (or, from 100 units up,
// the length times DIMLFAC with the decimals the unit step calls for, a
// decimal comma with SEPDECVIRG) followed by the digits raised at height
// `fractionHeight` (negative: DIMSCALE x textHeight x 0.714).
void FormatDimensionText(double textHeight, double length, const std::string& digits, std::string& text,
                         double fractionHeight = -1.0);

// The same as pure functions of their inputs (no drawing read).
struct DimensionRounding {
    double unit = 1.0;
    bool quarters = false;
};
struct DimensionFormat {
    double unit = 1.0;
    double dimlfac = 1.0;
    double dimscale = 1.0;
    bool decimalComma = false;
};
void RoundDimensionValueWith(const DimensionRounding& r, double length, double& rounded, std::string& digits);
std::string FormatDimensionTextWith(const DimensionFormat& f, double textHeight, double length,
                                    const std::string& digits, double fractionHeight);

// Draws one dimension per span of `points` (at least GeomEpsilon
// and `minSpan` long) with the host command "_DIM" and `commandWord`
// ("_HOR", "_VER", "_ALI" …); with more than two points the user may add
// the overall dimension. `styleName` gets the current style's name when no
// style of that name exists. In associative mode (a "VELMASSOC…" style and
// not "_ALI") the points given to the host are those of `assocPoints` with
// the same data1 number.
void DrawDimension(std::string& styleName, const std::string& layer, const ads_point dimLinePoint,
                   const VertexNode* points, const VertexNode* assocPoints, const std::string& commandWord,
                   double angle, double elevation, double textOffset, double minSpan);
