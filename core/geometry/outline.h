// Outlines from pieces: line and arc pieces (SegmentRec chains) read from a
// polyline, and the builder that joins pieces end to end into one vertex list,
// arcs tessellated on the way. The polyline is given as a plain record of its
// vertices and bulges, so none of this needs a drawing; what the builders
// would tell the user is returned in an OutlineReport for the caller to show.
#pragma once

#include <cstdint>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/geometry/vertex_list.h"

// One line or arc piece of an outline. For a line geom holds the start and
// end points; for an arc the centre (world), radius, start and end angle
// (in the object coordinate system of the normal). kind: 0 line, 1 arc;
// the outline builder sets 2 on pieces it has used and writes -1 into output
// copies of an arc run from its end to its start. Chains are freed with
// FreeList by whoever holds them.
struct SegmentRec {
    // The values of kind.
    static constexpr std::int32_t kLine = 0;
    static constexpr std::int32_t kArc = 1;
    static constexpr std::int32_t kUsed = 2;
    static constexpr std::int32_t kReversedArc = -1;

    SegmentRec* next = nullptr;
    std::int32_t kind = kLine;
    double geom[6] = {};
    double normal[3] = {0.0, 0.0, 1.0};
    std::int32_t spare = 0;

    SegmentRec() = default;
    SegmentRec(const double* six, const double* normalOrNull, int kind, SegmentRec* next);

    Point3 first() const { return {geom[0], geom[1], geom[2]}; }
    Point3 second() const { return {geom[3], geom[4], geom[5]}; }
    Point3 normalPt() const { return {normal[0], normal[1], normal[2]}; }
};

// A lightweight polyline as the drawing holds it: vertices in the object
// coordinate system of the normal at one elevation, a bulge per vertex (the
// tangent of a quarter of the arc's included angle, positive counter-
// clockwise; 0 for a straight piece).
struct PolylineVertex {
    double x = 0.0, y = 0.0;
    double bulge = 0.0;
};
struct PolylineData {
    std::vector<PolylineVertex> vertices;
    bool closed = false;
    double elevation = 0.0;
    Point3 normal{0.0, 0.0, 1.0};
};

// What went wrong while building, for the caller to tell the user.
struct OutlineReport {
    bool arcTooCoarse = false;  // alert "\nPrzybliżenie zakrzywionej ściany jest zbyt duże"
    bool notClosed = false;     // command line "\nNie można zdefiniować wielokąta, ..."
};
extern const char* const kArcTooCoarseMessage;
extern const char* const kOutlineNotClosedMessage;

// The pieces of the polyline, the picked one (the first the pick point lies
// on) first and the others in reverse order of their vertex index.
SegmentRec* PolylineToSegments(const PolylineData& polyline, const Point3& pick);

// Joins the unused pieces to the chain whose free ends are P1 (head) and P2
// (tail). defaultStep stands for the drawing's scale-dependent chord step,
// used when n < 2 and step is negative.
VertexNode* BuildPolygonFromSegments(int n, SegmentRec* segments, Point3& P1, Point3& P2,
                                     VertexNode* vertices, int minimum, bool openAllowed, double step,
                                     SegmentRec** output, double defaultStep, OutlineReport* report);

// The cleaned vertex list of the polyline outline holding the picked piece;
// null when there is none. defaultStep as above.
VertexNode* PolylineToPolygon(const PolylineData& polyline, const Point3& pick, int n, double defaultStep,
                              OutlineReport* report);
