// Four commands on the 3D model and the wall layers: one edge of a 3D face
// hidden or shown again, a camera object's view put into the current
// layout viewport, and the 3D faces or the wall lines of one wall (or of a
// whole outer contour) moved to the layer of another wall layer.
//
// The edge, the camera and the wall faces are the face services'
// (`walls/drafting/face_services.h`).
#pragma once

// "VELMVISEDGE"
void CmdVisEdge();
// "VELMPERSP"
void CmdPersp();
// "VELMXLW3D"
void CmdXlw3d();
// "VELMWALLML"
void CmdWallMl();
