// Planar polygons turned into triangular faces: the plane matrices of a
// face, ear clipping into FaceRecords whose corner chains carry the edge
// visibility of each triangle side, the 3DFACE data those records become,
// and the projection of measuring points onto a dimension line.
#pragma once

#include <vector>

#include "core/geometry/matrix4.h"
#include "core/geometry/vertex_list.h"

// One triangle: its corner chain holds the three corners and the first
// again; a corner's edgeFlag is 1 when the edge to the next corner is
// invisible (a diagonal or bridge), 0 when it is an outline edge; the fourth
// corner's flag is always 1. Owns its corner chain.
struct FaceRecord {
    FaceRecord* next = nullptr;
    std::int32_t spare = 0;
    VertexNode* corners = nullptr;
    std::int32_t spare2 = 0;

    FaceRecord() = default;
    FaceRecord(const FaceRecord&) = delete;
    FaceRecord& operator=(const FaceRecord&) = delete;
    ~FaceRecord();
};

// Triangulates a counter-clockwise polygon (in plane coordinates) whose
// vertices carry their boundary index in data1 (0 .. K) and contour number in
// data2; corners are mapped by toWorld. Consumes the list (when it has at
// least three vertices) and returns the faces, newest first; null for fewer
// than three vertices, the list then left to the caller.
FaceRecord* TriangulatePolygon(VertexNode* list, int K, const Matrix4& toWorld);

// True when the diagonal v-m crosses an edge of the ring not touching v, n, m.
bool DiagonalCrossesPolygon(const VertexNode* list, const VertexNode* v, const VertexNode* n,
                            const VertexNode* m);

// The group values of the 3DFACE a face record becomes: corners 10 to 13 and
// group 70 = f1 + 2 f2 + 4 f3 + 8 f4 from the corners' edge flags.
struct FaceEntityData {
    Point3 corners[4];
    int flags70 = 0;
};
FaceEntityData FaceToEntityData(const FaceRecord& face);

// The matrices of a vertical plane through three points (a wall side): X
// along the plan direction p0 -> p2, Y up. False when the points give no
// plane or the matrices cannot be built.
bool PlaneMatrices(const Point3& p0, const Point3& p1, const Point3& p2, double& a, double& b, double& c,
                   double& d, Matrix4& toPlane, Matrix4& toWorld);

// Orders measuring points along the dimension line a-b, drops points whose
// feet coincide, replaces each point by its foot (numbered in data1) and
// returns the points themselves, numbered, in reverse order. angleOut is the
// side direction from the line towards the first point off it.
VertexNode* ProjectPointsOnLine(VertexNode** list, double spacing, const Point3& a, const Point3& b,
                                double angle, double* angleOut);
