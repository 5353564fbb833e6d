// The render material library "TEXTUREPOV.DEF" and the default layer
// assignment "LAYERPOV.DEF", both found on the support search path.
//
// Both files share one line form (see settings/matpov.h): "**group," and
// "***sub," lines open the group paths "group" and "group%sub", entry lines
// are "text,text,scale,mode". In the library an entry names the POV-Ray
// text of a material (a texture identifier or a pigment body) and its
// description; a group row repeats its heading as its description so the
// material tree can show it. No field may hold a comma: there is no quoting.
#pragma once

#include <string>
#include <vector>

#include "settings/matpov.h"

struct AA_TEXTUREPOV {
    std::string group;
    std::string name;     // the POV-Ray text; the heading on group rows
    std::string texture;  // the description; the heading again on group rows
    double scale = 0.0;
    int mode = 0;  // 0 pigment, 1 scaled texture, 2 scaled and turned to the face
    bool operator==(const AA_TEXTUREPOV&) const = default;
};

using AAR_TEXTUREPOV = std::vector<AA_TEXTUREPOV>;

// The library rows of these lines, as the reader makes them.
AAR_TEXTUREPOV ParseTexturePovLines(const std::vector<std::string>& lines);

// Empties `table` and fills it from "TEXTUREPOV.DEF"; false when the file
// is not on the search path (or is damaged, which is named).
bool ReadTexturePovDef(AAR_TEXTUREPOV& table);
// Empties `table` and fills it from "LAYERPOV.DEF"; false when not found.
bool ReadLayerPovDef(AAR_LAYERPOV& table);
// The same for rows that are to replace a drawing's assignment: false also
// for a file that assigns no layer a material (named), as taking its rows
// would leave every layer without its own.
bool ReadLayerPovReplacement(AAR_LAYERPOV& table);
// The drawing's material assignment, or what a new one would hold (the
// catalogue) when the drawing has none yet; nothing is made in the drawing.
AAR_LAYERPOV DrawingLayerMaterials();
// Writes `table` over the "LAYERPOV.DEF" the search path finds, in the
// encoding and line ends it has; nothing when there is none. False when
// nothing was written for another reason than an unchanged file.
bool WriteLayerPovDef(const AAR_LAYERPOV& table);
