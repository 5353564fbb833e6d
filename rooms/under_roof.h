// Rooms under roofs: the roof pitches over a floor, the clip of a pitch
// outline with a room, the ear-clipping triangulation of the covered
// pieces, and the mean clear height and wall surface they give, with the
// triangles optionally drawn into the drawing with their area and height.
//
// Each pitch is a plane a*x + b*y + c*z + d = 0 (|c| at least the
// single-precision epsilon) over a plan outline. A room's volume under the
// roofs is the sum over the triangles of (roof height at the centroid -
// floor) * area, exact for planes; the mean height is that volume over the
// room's whole area, so parts under no pitch count as height 0. The wall
// surface adds, for each clipped edge lying on a room edge, the roof height
// at its midpoint times its length.
#pragma once

#include <string>

#include "core/geometry/triangulate.h"
#include "core/geometry/vertex_list.h"

// One roof pitch; owns its outline (every z 0.0). Lists are newest first.
struct RoofPitch {
    RoofPitch* next = nullptr;
    double a = 0.0, b = 0.0, c = 1.0, d = 0.0;
    VertexNode* outline = nullptr;

    RoofPitch() = default;
    RoofPitch(const RoofPitch&) = delete;
    RoofPitch& operator=(const RoofPitch&) = delete;
    ~RoofPitch() { FreeList(outline); }

    double HeightAt(double x, double y) const { return -(a * x + b * y + d) / c; }
};

// The intersection of two plan polygons as one loop per separate piece
// (the first loop as the walk along the subject finds it, then the others);
// null when they do not meet. Points on a boundary count as inside.
ContourNode* ClipPolygon(const VertexNode* subject, const VertexNode* clip);

// Ear clipping of the polygon, first turned counter-clockwise in place;
// one FaceRecord per triangle with three corner copies. Null for fewer than
// three vertices, and null with `broken` set when userBreak answers true.
FaceRecord* TriangulateUnderRoof(VertexNode*& polygon, bool (*userBreak)() = nullptr, bool* broken = nullptr);

// What the room calculation hands over for one room.
struct UnderRoofJob {
    const RoofPitch* pitches = nullptr;
    double level = 0.0;  // floor elevation
    bool drawTriangles = false;
    int decimals = 2;
    double textHeight = 1.0;
    // The layers the room calculation prepared for the triangles' lines,
    // their text and the inserts.
    std::string lineLayer = "2DROOMTRIANGLE";
    std::string textLayer = "2DROOMTRIANGLE_VAL";
    std::string insertLayer = "ROOMTRIANGLE";
    std::string cardName;
    int rowNumber = 0;
    std::string roomName;  // the room's name for its openings
};

struct UnderRoofResult {
    double height = 0.0;       // mean clear height under the roofs
    double wallSurface = 0.0;  // wall surface under the roofs
    int triangles = 0;         // triangles drawn
    bool broken = false;       // the user broke off: nothing is measured
};

// Measures the room (normalised counter-clockwise in place) under the
// job's pitches. A break leaves height and surface 0 and sets `broken`.
UnderRoofResult ComputeUnderRoof(const UnderRoofJob& job, VertexNode*& room, bool (*userBreak)() = nullptr);

// Draws one triangle of the room as an anonymous block insert with its
// "VELM13CAD$_$TRIANGSOTTOTETTO-" record; true when it was made.
bool WriteUnderRoofTriangle(const UnderRoofJob& job, const RoofPitch& pitch, const VertexNode* corners,
                            double area, int number);

inline constexpr const char* kUnderRoofTriangleApp = "VELM13CAD$_$TRIANGSOTTOTETTO-";
