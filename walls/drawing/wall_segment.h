// The geometry of one wall segment while walls are drawn: the two faces a
// segment between two axis points gets by the alignment and the start and
// end thickness, the mitre that joins it to the segment before, the end
// point of an arc given by chord and rise, and the third corner of a wall
// given by its length and a diagonal.
//
// Plain records in, plain records out: nothing here reads the drawing or
// the settings. Face 1 always lies on the right of the direction of travel
// and face 2 on its left. An arc face keeps its angles in the order of
// travel (start angle where the segment starts); `ccw` says which way it
// turns, and `FaceArcRecord` gives the counter-clockwise arc a drawing
// stores. Lengths below GeomEpsilon count as zero.
#pragma once

#include <optional>

#include "core/geometry/geom_basic.h"

enum class WallAlignment : int { Left = 0, Centre = 1, Right = 2 };

struct DrawnFace {
    Point3 start, end;  // straight faces
    Point3 centre;      // arc faces
    double radius = 0.0;
    double startAngle = 0.0;  // at the end of the face where the segment starts
    double endAngle = 0.0;
};

struct DrawnSegment {
    enum Kind : int { kStraight = 0, kArc = 1 };
    int kind = kStraight;
    DrawnFace face[2];
    bool ccw = true;  // an arc turns counter-clockwise from its start
    bool startCap = false;
    bool endCap = false;
    bool close = false;
    Point3 vertex;  // where the segment starts on its reference line
    double startThickness = 0.0;
    double endThickness = 0.0;
};

// The faces of a straight segment from the vertex to `end`; both faces take
// the elevation of the vertex.
void OffsetLineSegment(DrawnSegment& s, const Point3& end, WallAlignment alignment);
// The faces of an arc about `centre` from `start` to `end`, turning as `s.ccw`
// says; only the start thickness counts.
void OffsetArcSegment(DrawnSegment& s, const Point3& centre, const Point3& start, const Point3& end,
                      WallAlignment alignment);
// Mitres `cur` to `prev`, face by face: two straight faces meet where their
// lines cross (parallel ones continue where the previous one ends); a
// straight face and an arc meet at the crossing of the line and the circle
// nearer to the previous face's start (straight before arc) or to the
// current vertex (arc before straight). Two arcs are left as they are.
void JoinWallSegments(DrawnSegment& prev, DrawnSegment& cur);

// Start and end points of a face in the order of travel.
Point3 FaceStartPoint(const DrawnSegment& s, int face);
Point3 FaceEndPoint(const DrawnSegment& s, int face);
// An arc face as the drawing stores it: counter-clockwise, the angles of a
// clockwise segment exchanged.
ArcRecord FaceArcRecord(const DrawnSegment& s, int face);

// The centre of the arc from `start` to `end` turning as `ccw` says whose
// middle lies `rise` away from the chord; none for a chord or rise below
// GeomEpsilon.
std::optional<Point3> ArcCentreForSegment(const Point3& start, const Point3& end, double rise, bool ccw);

// The end of a wall of `length` from `vertex` whose distance from the
// diagonal's end `diagonalEnd` equals the distance from there to `cursor`,
// on the side of the line vertex-diagonalEnd where the cursor lies; none
// when those three lengths make no triangle.
std::optional<Point3> TriangleVertex(const Point3& vertex, const Point3& diagonalEnd, double length,
                                     const Point3& cursor);
