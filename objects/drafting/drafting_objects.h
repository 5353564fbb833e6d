// The object library as the drafting commands use it: an opening definition
// written by the wall-hole command placed as its file says, and the block of
// a grid label drawn with the grid's variables.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/geometry/geom_basic.h"

// One variable handed to a label definition: a real or a text.
struct LabelVariable {
    int number = 0;
    bool isText = false;
    double value = 0.0;
    std::string text;
};
// An attribute definition of a label block, its offset from the insertion
// point and the text style's factors already looked up.
struct LabelAttribute {
    std::string tag, value, layer, style;
    double height = 0.0, dx = 0.0, dy = 0.0, rotation = 0.0;
    double widthFactor = 1.0, oblique = 0.0;
    int flags = 0, justification = 0;
};
struct LabelBlock {
    std::string blockName, layer;
    double scale[3]{1.0, 1.0, 1.0};
    std::vector<LabelAttribute> attributes;
};

// Places the object of that definition as its file says, without the
// parameter dialog; nothing when the definition cannot be read.
void RunScriptObject(const std::string& definition);
// The block drawn for a label definition at `at`; empty when the definition
// is missing or drew nothing.
std::optional<LabelBlock> BuildLabelBlock(const std::string& definition,
                                          const std::vector<LabelVariable>& vars, const Point3& at);
