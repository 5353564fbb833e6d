// Geometric DRAW statements: lines, edge sets, filled planar polygons,
// old-style polylines, circles, arcs and 3D faces, made into the block
// being defined. Zero-length edges and faces whose corners lie on one line
// are left out silently. Each answers RTNORM or -1.
#pragma once

#include <string>

#include "core/geometry/geom_basic.h"
#include "core/layer_catalogue.h"
#include "objects/language/obj_context.h"

int DrawLine(int groups, ObjContext& context, const AAR_LAYERC& catalogue);
int DrawPline(int groups, ObjContext& context, const AAR_LAYERC& catalogue);
int DrawSpolig(int groups, ObjContext& context, const AAR_LAYERC& catalogue);
int DrawLwpline(int groups, ObjContext& context, const AAR_LAYERC& catalogue);
int DrawCircle(int groups, ObjContext& context, const AAR_LAYERC& catalogue);
int DrawArc(int groups, ObjContext& context, const AAR_LAYERC& catalogue);
int Draw3dFace(int groups, ObjContext& context, const AAR_LAYERC& catalogue);
int DrawPface(ObjContext& context, const AAR_LAYERC& catalogue);

// Centre, normal and (radius thickness start end): values are unsigned
// numbers or $n (an undeclared one reads 0). 1, or -1.
int ReadArcArguments(ObjContext& context, Point3& centre, Point3& normal, double values[4]);

// A negative vertex number hides the edge that starts at it: bit 1 for the
// first, 2, 4, 8 for the others. The numbers are made positive.
int FaceEdgeMask(int& a, int& b, int& c, int& d);

namespace draw {

// Entities as every statement writes them: on `layer`, colour BYLAYER.
void MakeLine(const std::string& layer, const Point3& a, const Point3& b);
void Make3dFace(const std::string& layer, const Point3 corners[4], int flags);
// The centre in block (world) coordinates; written in the object
// coordinate system of the normal.
void MakeCircle(const std::string& layer, const Point3& centre, const Point3& normal, double radius,
                double thickness);
void MakeArc(const std::string& layer, const Point3& centre, const Point3& normal, double radius,
             double thickness, double start, double end);
bool CornersCollinear(const Point3 corners[4]);

}  // namespace draw
