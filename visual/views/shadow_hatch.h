// The hatch of one shadow piece of a view: a closed ring filled with a
// pattern or with a two-colour linear gradient, appended to a named block
// of the current drawing (the view's block).
#pragma once

#include <string>
#include <string_view>

#include "core/geometry/vertex_list.h"

// Hatches the ring (x and y in the block's coordinates) on `layer`.
// Pattern mode: `pattern` at *scale and *angle (degrees), a custom pattern
// when "<pattern>.pat" is on the support path, in `colour` when colourFlag
// is set. Gradient mode: "LINEAR" at gradientAngle, from the shading's
// second colour to `colour` when colourFlag is set, else to the colour of
// the layer's row of the layer catalogue (8 without one). Colours 0 and
// above 255 give 255. Nothing is added for a ring of fewer than three
// vertices, a hatch the host cannot evaluate, or a block that is missing.
void AddShadowHatch(const std::string& blockName, const VertexNode* ring, const std::string& layer,
                    const std::string& pattern, const double* scale, const double* angle, int colour,
                    int colourFlag, int gradientFlag, double gradientAngle);

class ZcDbHatch;

// A pattern of "<pattern>.pat" on the support path is custom, any other
// predefined; a name pointing out of the support folders is refused,
// naming `record`, the setting it came from.
void SetPatternFromSupport(ZcDbHatch& hatch, const std::string& pattern, std::string_view record);
// Gives the hatch (taken) its one outer loop along the ring, evaluates it
// and appends it to the named block, or to model space for an empty name;
// a hatch the host cannot evaluate or place is deleted.
void FinishViewHatch(ZcDbHatch* hatch, const VertexNode* ring, const std::string& blockName);
