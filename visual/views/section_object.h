// The section object's construction from the drawing's settings and the
// view frames: BuildViewFrame makes the world-to-view matrix of a section
// line, an up point and a camera.
//
// In view coordinates x runs along the section line to the viewer's right,
// y upwards and z away from the viewer; the section plane is z = 0. The
// frame is made with the camera on the side z <= 0 whatever side of the
// line the caller took for it.
#pragma once

#include "core/geometry/geom_basic.h"
#include "core/geometry/matrix4.h"

enum class FrameMode {
    AsGiven,  // origin and camera as given
    Extents,  // origin behind every object of the drawing, nothing cut
};

// u = A - B along x, w = C - B along y, z = w x u (reversed when the camera
// E would come out on the +z side). In the extents mode B and E are moved
// behind the drawing's extents, with the message and false for a drawing
// without extents. On return A holds the camera in view coordinates.
bool BuildViewFrame(Matrix4& frame, Point3& A, Point3& B, const Point3& C, Point3& E, FrameMode mode);

// The message of a section or view that shows nothing.
inline constexpr const char* kNoValidObjects = "\nBrak prawidłowych obiektów w określonym widoku";
