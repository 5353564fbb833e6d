// Four commands on the 3D model and the wall layers: one edge of a 3D face
// hidden or shown again, a camera object's view put into the current
// layout viewport, and the 3D faces or the wall lines of one wall (or of a
// whole outer contour) moved to the layer of another wall layer.
//
// The face graph, the camera and the selections on a wall face belong to
// the walls, which lie above the settings: the commands reach them through
// one set of doors, set by the walls' registration. While it is unset the
// edge, camera and wall-face steps do nothing.
#pragma once

#include <cstdint>
#include <functional>

#include "core/geometry/geom_basic.h"
#include "core/geometry/matrix4.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"

struct FaceCameraDoors {
    // The edge of the 3DFACE (its entity list, corners through the matrix)
    // nearest the point changes its visibility; the entity is written back.
    std::function<void(const Point3& point, const Matrix4& matrix, resbuf* face)> toggleFaceEdge;
    // The current layout viewport looks from camera to target with the lens.
    std::function<void(const Point3& camera, const Point3& target, double lens, int mode)> setViewportCamera;
    // What lies on the wall face holding `wall` at `level` goes into `out`:
    // its 3DFACEs among `faces`, or with `faces` null its wall lines; with
    // `outer` for the whole contour. False when no wall face holds it.
    std::function<bool(const ads_name wall, double level, bool outer, const std::int64_t* faces,
                       ads_name out)>
        gatherOnWallFace;
};
void SetFaceCameraDoors(FaceCameraDoors doors);

// "VELMVISEDGE"
void CmdVisEdge();
// "VELMPERSP"
void CmdPersp();
// "VELMXLW3D"
void CmdXlw3d();
// "VELMWALLML"
void CmdWallMl();
