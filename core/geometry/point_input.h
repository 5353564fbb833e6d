// Interactive input of a polygon point by point, with an undo keyword and a
// keyword for an invisible edge. The prompts go through a PointInputPort, so
// the logic runs against the host's prompt functions in the module and
// against a scripted port in tests.
#pragma once

#include <string>

#include "core/geometry/geom_basic.h"
#include "core/geometry/vertex_list.h"

struct PointAnswer {
    enum class Kind { Point, Keyword, None, Cancel, Error };
    Kind kind = Kind::Cancel;
    Point3 point;
    std::string keyword;
};

class PointInputPort {
public:
    virtual ~PointInputPort() = default;
    // One point prompt: base is the rubber-band origin (null for none),
    // keywords a space-separated list ("" for none); with noNull an empty
    // answer is refused by the prompt itself.
    virtual PointAnswer GetPoint(const Point3* base, const std::string& prompt, const std::string& keywords,
                                 bool noNull) = 0;
    // A temporary vector; colour -1 draws in the complement colour, so
    // drawing the same vector twice erases it.
    virtual void DrawVector(const Point3& from, const Point3& to, int colour) = 0;
    virtual void Redraw() = 0;
    virtual void Alert(const std::string& text) = 0;
};

// Returns the number of points (closed set when the last equals the first in
// plan), 0 for Enter on an empty list, -1 on cancel (the list emptied), -2
// when another keyword was typed (copied into keyword).
int InputPointList(PointInputPort& port, const std::string& firstKeywords, const std::string& firstPrompt,
                   const std::string& label, std::string& keyword, VertexNode*& list, int& closed, int redraw,
                   int clean);
