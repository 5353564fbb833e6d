// Cutting by the section plane: faces, LINEs and hatch pattern lines, in
// view coordinates, lose what lies in front of the cut (z below the cutting
// plane). A face that crosses the plane is cut into a triangle or a
// quadrilateral whose new edge on the plane carries the word -1; a line is
// shortened to its part behind the plane.
//
// A stepped section is cut by z = 0 on the side x > 0 and by z = depth on
// the side x <= 0; the side plane x = 0 splits what crosses it.
#pragma once

#include <cstdint>

#include "core/geometry/geom_basic.h"

// One line of a view.
struct ViewSegment {
    ViewSegment* next = nullptr;
    std::int32_t colour = 256;  // -256 marks an edge on a cutting plane
    std::int32_t layer = -1;    // signed layer number; -1 for a LINE or hatch
    Point3 start;
    Point3 end;
    std::int32_t cellLow[3] = {0, 0, 0};
    std::int32_t cellHigh[3] = {0, 0, 0};
    std::int32_t face = -1;  // the face a projected segment comes from
};

// 1, the face unchanged (a convex one with keepConvex set), or 2: two
// triangles split along the diagonal that lies inside the face.
int SplitQuadIntoTriangles(bool keepConvex, const Point3 corners[4], const int words[4], Point3* outCorners,
                           int* outWords);
// The first corner equal to the next one around the face, -1 for none.
int FindCoincidentCorner(const Point3 corners[4]);
// Whether corner b comes right after corner a around the face.
bool CornerFollows(int a, int b, bool triangle);
