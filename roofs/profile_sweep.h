// The profile sweep: a closed section (X across the path to the right, Y
// up, clockwise) swept along a path into 3DFACEs. At every inner vertex the
// section is set in the plane that halves the turn and stretched across the
// path by 1 / cos(half the turn), so neighbouring faces share their edges;
// open paths get flat end caps.
#pragma once

#include <string>

#include "core/geometry/matrix4.h"
#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"

// A turn within about 1.1 degrees of a reversal stretches the section more
// than this; such a path is refused.
inline constexpr double kMaxMiterStretch = 100.0;

class CPROFILI {
public:
    CPROFILI() = default;
    ~CPROFILI();
    CPROFILI(const CPROFILI&) = delete;
    CPROFILI& operator=(const CPROFILI&) = delete;

    bool uniqueBlock = true;
    bool closed = false;
    bool verticalAxis = false;
    std::string layer;
    double offset = 0.0;
    VertexNode* path = nullptr;     // owned
    VertexNode* section = nullptr;  // owned
    Point3 referenceNormal{0.0, 0.0, 1.0};

    // Reverses the path when the pick lies nearer the end of the picked
    // LINE or ARC.
    void OrientPath(const ads_name picked, const Point3& pick);
    // The normal of the frame between two path directions and the stretch
    // |1 / cos(theta / 2)|; updates the reference normal.
    double MiterFrame(Point3& normal, const Point3& d1, const Point3& d2);
    // The section mapped through the frame, x stretched; a new list in
    // reverse order.
    VertexNode* TransformSection(const Matrix4& frame, double stretch) const;
};

// The section placed at `current`; any neighbour may be null.
VertexNode* PlaceProfileSections(CPROFILI& profile, const VertexNode* beforePrevious,
                                 const VertexNode* previous, const VertexNode* current,
                                 const VertexNode* next, const VertexNode* afterNext);
// A planar ring as triangle 3DFACEs on the profile's layer; nothing when
// the ring has no plane.
void TriangulatePlanarLoop(const CPROFILI& profile, const VertexNode* loop);
// Writes the whole swept surface (in a new block with its INSERT at the
// path's first point when the unique-block switch is on).
void MakeProfileBlock(CPROFILI& profile);
// The largest stretch any vertex of the path would need (1 for a straight
// path).
double LargestMiterStretch(const VertexNode* path, bool closed);
