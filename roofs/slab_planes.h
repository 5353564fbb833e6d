// Slab planes: the loops of a slab put on a plane and the slope of an
// outline. A plane is a x + b y + c z + d = 0; a point goes onto it by
// z = -(a x + b y + d) / c, and a plane whose |c| is below the
// single-precision epsilon is vertical: nothing is put on it.
#pragma once

#include "core/geometry/vertex_list.h"

// The drawing's unit factor (settings real SFTMTCM), 1.0 when unreadable.
double SettingsUnitFactor();
// z of (x, y) on the plane; false (z untouched) for a vertical plane.
bool PlaneZ(double a, double b, double c, double d, double x, double y, double& z);
// The slope of the list's plane in percent; kind 2 for a horizontal plane
// (the result is then its elevation), -1 for none or a vertical one (0.0),
// else 1.
double GetLoopSlope(const VertexNode* list, int& kind);
// Puts every vertex of every loop on the plane; nothing for a vertical one.
void SetLoopsZFromPlane(ContourNode* loops, double a, double b, double c, double d);
