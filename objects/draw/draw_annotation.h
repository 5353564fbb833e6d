// Annotation DRAW statements: single-line texts (TEXT, and TEXTNS joined
// from several values), attribute definitions (ATTDEF, which also leave an
// AttdefRecord in the context), hatch contours (HATCH, hatched by the
// section runner once the block is closed) and dimensions (DIM, drawn by
// the host's dimension command and copied into the block).
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/geometry/geom_basic.h"
#include "core/layer_catalogue.h"
#include "objects/language/obj_context.h"

// RTNORM, or -1 (-5001 for HATCH's contour).
int DrawText(int groups, ObjContext& context, const AAR_LAYERC& catalogue);
int DrawTextNs(ObjContext& context, const AAR_LAYERC& catalogue);
int DrawAttdef(int groups, ObjContext& context, const AAR_LAYERC& catalogue);
int DrawHatch(int groups, ObjContext& context, const AAR_LAYERC& catalogue);
int DrawDim(int groups, ObjContext& context, const AAR_LAYERC& catalogue);

constexpr int kHatchContourFailed = -5001;

// (x y z j) (style) (height) (rotation): a style the drawing lacks reads
// "STANDARD". 1, or -1.
int ReadTextPlacement(ObjContext& context, Point3& point, int& justification, std::string& style,
                      double& height, double& rotation);
// A quoted text, a $n (a number with `precision` decimals, trailing zeros
// kept), or the empty text. 1, or -1 for an undeclared $n.
int ReadTextValue(std::string_view arg, int precision, const ObjContext& context, std::string& out);
// A quoted text, a $n scaled by DIMLFAC with DIMDEC decimals, or the empty
// text ("*"): the host then shows the measurement. 1, or -1.
int ReadDimensionText(ObjContext& context, std::string& out);

namespace draw {

// TEXT and ATTDEF inside ROTATE: the point mapped, the rotation turned.
struct TextTurn {
    std::function<Point3(const Point3&)> map;
    double angle = 0.0;
};
int DrawTextTurned(int groups, ObjContext& context, const AAR_LAYERC& catalogue, const TextTurn& turn);
int DrawAttdefTurned(int groups, ObjContext& context, const AAR_LAYERC& catalogue, const TextTurn& turn);

}  // namespace draw
