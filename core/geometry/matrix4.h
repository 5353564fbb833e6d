// Planes and four-by-four matrices. A Matrix4 is sixteen doubles row by row;
// a point is a column vector, so x' = m[0][0]*x + m[0][1]*y + m[0][2]*z +
// m[0][3]; the fourth row is carried but never used on points. Singular
// matrices and degenerate directions are reported by a false result with the
// output left incomplete.
#pragma once

#include "core/geometry/geom_basic.h"
#include "core/geometry/vertex_list.h"

struct Matrix4 {
    double m[4][4] = {};
};

bool PlaneCoefficients(const Point3 points[3], double& a, double& b, double& c, double& d);
bool PlaneCoefficients3(const Point3& p0, const Point3& p1, const Point3& p2, double& a, double& b, double& c,
                        double& d);
void CoordSystemFromNormal(const VertexNode* list, Matrix4& out, double nx, double ny, double nz);
void LowestEdgeCoordSystem(const VertexNode* list, Matrix4& out, double nx, double ny, double nz,
                           double zOffset, Point3& outStart, Point3& outEnd, Point3& outSide,
                           const double* shift = nullptr);
bool PlaneToXYMatrix(const Point3& origin, const Point3& xDir, const Point3& yDir, Matrix4& out);
bool InvertMatrix4(const Matrix4& m, Matrix4& out);
void SetIdentity4(Matrix4& m);
void MultiplyMatrix4(const Matrix4& a, const Matrix4& b, Matrix4& out);
void RotationZMatrix(Matrix4& m, double angle);
void TranslationMatrix(Matrix4& m, const Point3& v);
void ScaleMatrix(Matrix4& m, const Point3& s);
void TransformPoint(const Matrix4& m, const Point3& p, Point3& out);
void TransformVector(const Matrix4& m, const Point3& v, int withTranslation, Point3& out);
