// Openings of any shape through a straight wall. The user picks a closed
// profile drawn in plan (X along the wall, Y the height) and an insertion
// point; the profile becomes a temporary object definition, "$$TEMP$$__$$.TXT"
// in the host's temporary folder, with a plan symbol, the 3D faces of the reveal, the 3D
// and 2D cuts and a drag outline, and the object library places it into a
// wall as it places a door, cutting the wall at it.
//
// The reveal's offsets across the wall are left to the definition's own
// variables, so the wall's thickness and the slant of its faces at the
// opening are those the library hands over when it places the object.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/geometry/vertex_list.h"

class CFOROMURO {
public:
    CFOROMURO() = default;
    virtual ~CFOROMURO() = default;

    // The definition's text, one line per entry; the profile must hold a
    // vertex.
    std::vector<std::string> OpeningScriptLines() const;
    // Writes the definition into the temporary folder and places it: 0, -1
    // when the data folder (the library's configuration) is not found, -2
    // when the file cannot be written.
    int WriteOpeningScript();

    OwnedList<VertexNode> profile;
    std::uint8_t closed = 0;
};

// The definition's name and file.
inline constexpr const char* kOpeningScriptName = "$$TEMP$$__$$";
inline constexpr const char* kOpeningScriptFile = "$$TEMP$$__$$.TXT";

// "VELMWHOLE"
void CmdWallHole();
