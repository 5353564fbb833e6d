// Planes and matrices. The inverse is the adjugate over the determinant
// (cofactor expansion of the full 4x4), refused when the determinant is below
// the single-precision epsilon; that is exact enough for the rigid motions
// and plane changes the module builds, which is all it inverts.
#include "core/geometry/matrix4.h"

#include <cmath>

#include "core/base/module_state.h"

namespace {

Point3 Sub(const Point3& a, const Point3& b);
Point3 Cross(const Point3& u, const Point3& w);
double Length(const Point3& v);
Point3 Scaled(const Point3& v, double s);
Point3 HostNormalise(const Point3& v);
void SetCoordSystem(Matrix4& out, const Point3& o, const Point3& x, const Point3& y, const Point3& z);
double Cofactor(const Matrix4& m, int r, int c);

}  // namespace

bool PlaneCoefficients(const Point3 points[3], double& a, double& b, double& c, double& d) {
    return PlaneCoefficients3(points[0], points[1], points[2], a, b, c, d);
}

bool PlaneCoefficients3(const Point3& p0, const Point3& p1, const Point3& p2, double& a, double& b, double& c,
                        double& d) {
    if (ArePointsCollinear(p0, p1, p2, SharedTolerance)) return false;
    const Point3 n = Cross(Sub(p1, p0), Sub(p2, p0));
    const double l = Length(n);
    if (l == 0.0) return false;
    a = n.x / l;
    b = n.y / l;
    c = n.z / l;
    d = -(a * p0.x + b * p0.y + c * p0.z);
    return true;
}

void CoordSystemFromNormal(const VertexNode* list, Matrix4& out, double nx, double ny, double nz) {
    const Point3 n = HostNormalise({nx, ny, nz});
    const Point3 origin = list ? list->pt() : Point3{};
    Point3 x{1.0, 0.0, 0.0};
    if (list && list->next && Distance3dRev(list->pt(), list->next->pt()) >= GeomEpsilon)
        x = HostNormalise(Sub(list->next->pt(), list->pt()));
    SetCoordSystem(out, origin, x, Cross(n, x), n);
}

void LowestEdgeCoordSystem(const VertexNode* list, Matrix4& out, double nx, double ny, double nz,
                           double zOffset, Point3& outStart, Point3& outEnd, Point3& outSide,
                           const double* shift) {
    Point3 n{nx, ny, nz};
    if (n.z < 0.0) n = Scaled(n, -1.0);
    n = HostNormalise(n);
    const VertexNode* lowV = list;
    const VertexNode* lowW = list;
    double lowest = 3.4028234663852886e38;
    for (const VertexNode* v = list; v; v = v->next) {
        const VertexNode* w = v->next ? v->next : list;
        const double h = (v->z + w->z) / 2.0;
        if (h < lowest) {
            lowest = h;
            lowV = v;
            lowW = w;
        }
    }
    if (!lowV) {
        SetIdentity4(out);
        return;
    }
    const Point3 v = lowV->pt(), w = lowW->pt();
    const Point3 x = HostNormalise(Sub(w, v));
    const Point3 y = Cross(n, x);
    const Point3 z = Cross(x, y);
    const Point3 origin{v.x, v.y, v.z + zOffset};
    SetCoordSystem(out, origin, x, y, z);
    if (shift) {
        Matrix4 t, r;
        TranslationMatrix(t, {-*shift, 0.0, 0.0});
        MultiplyMatrix4(out, t, r);
        out = r;
    }
    outStart = v;
    outEnd = w;
    const double len = Distance3dRev(v, w);
    outSide = {v.x + len * y.x, v.y + len * y.y, v.z + len * y.z};
}

bool PlaneToXYMatrix(const Point3& o, const Point3& xDir, const Point3& yDir, Matrix4& out) {
    const double lx = Length(xDir), ly = Length(yDir);
    if (lx < GeomEpsilon || ly < GeomEpsilon) return false;
    const Point3 r0 = Scaled(xDir, 1.0 / lx), r1 = Scaled(yDir, 1.0 / ly);
    const Point3 r2 = Cross(r0, r1);
    const Point3* rows[3] = {&r0, &r1, &r2};
    const double shift[3] = {-o.x, -o.y, -o.z};
    for (int i = 0; i < 3; ++i) {
        out.m[i][0] = rows[i]->x;
        out.m[i][1] = rows[i]->y;
        out.m[i][2] = rows[i]->z;
        out.m[i][3] = shift[i];
    }
    out.m[3][0] = out.m[3][1] = out.m[3][2] = 0.0;
    out.m[3][3] = 1.0;
    return true;
}

bool InvertMatrix4(const Matrix4& m, Matrix4& out) {
    double cof[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) cof[r][c] = Cofactor(m, r, c);
    double det = 0.0;
    for (int c = 0; c < 4; ++c) det += m.m[0][c] * cof[0][c];
    if (std::fabs(det) < GeomEpsilon) return false;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out.m[r][c] = cof[c][r] / det;
    return true;
}

void SetIdentity4(Matrix4& m) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) m.m[i][j] = i == j ? 1.0 : 0.0;
}

void MultiplyMatrix4(const Matrix4& a, const Matrix4& b, Matrix4& out) {
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double s = 0.0;
            for (int k = 0; k < 4; ++k) s += a.m[i][k] * b.m[k][j];
            r.m[i][j] = s;
        }
    out = r;
}

void RotationZMatrix(Matrix4& m, double angle) {
    SetIdentity4(m);
    const double c = std::cos(angle), s = std::sin(angle);
    m.m[0][0] = m.m[1][1] = c;
    m.m[1][0] = s;
    m.m[0][1] = -s;
}

void TranslationMatrix(Matrix4& m, const Point3& v) {
    SetIdentity4(m);
    m.m[0][3] = v.x;
    m.m[1][3] = v.y;
    m.m[2][3] = v.z;
}

void ScaleMatrix(Matrix4& m, const Point3& s) {
    SetIdentity4(m);
    m.m[0][0] = s.x;
    m.m[1][1] = s.y;
    m.m[2][2] = s.z;
}

void TransformPoint(const Matrix4& m, const Point3& p, Point3& out) {
    const Point3 r{m.m[0][0] * p.x + m.m[0][1] * p.y + m.m[0][2] * p.z + m.m[0][3],
                   m.m[1][0] * p.x + m.m[1][1] * p.y + m.m[1][2] * p.z + m.m[1][3],
                   m.m[2][0] * p.x + m.m[2][1] * p.y + m.m[2][2] * p.z + m.m[2][3]};
    out = r;
}

void TransformVector(const Matrix4& m, const Point3& v, int withTranslation, Point3& out) {
    Point3 r{m.m[0][0] * v.x + m.m[0][1] * v.y + m.m[0][2] * v.z,
             m.m[1][0] * v.x + m.m[1][1] * v.y + m.m[1][2] * v.z,
             m.m[2][0] * v.x + m.m[2][1] * v.y + m.m[2][2] * v.z};
    if (withTranslation) {
        r.x += m.m[0][3];
        r.y += m.m[1][3];
        r.z += m.m[2][3];
    }
    out = r;
}

namespace {

Point3 Sub(const Point3& a, const Point3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Point3 Cross(const Point3& u, const Point3& w) {
    return {u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x};
}
double Length(const Point3& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}
Point3 Scaled(const Point3& v, double s) {
    return {v.x * s, v.y * s, v.z * s};
}

// The host's normalisation: a vector not longer than its global tolerance
// stays as it is.
Point3 HostNormalise(const Point3& v) {
    const double l = Length(v);
    if (l <= ZcGeContext::gTol.equalVector()) return v;
    return Scaled(v, 1.0 / l);
}

// The matrix that maps the coordinate system (origin, X, Y, Z) to world:
// its columns are the axes and the origin.
void SetCoordSystem(Matrix4& out, const Point3& o, const Point3& x, const Point3& y, const Point3& z) {
    SetIdentity4(out);
    const Point3* cols[4] = {&x, &y, &z, &o};
    for (int j = 0; j < 4; ++j) {
        out.m[0][j] = cols[j]->x;
        out.m[1][j] = cols[j]->y;
        out.m[2][j] = cols[j]->z;
    }
}

double Det3(double a, double b, double c, double d, double e, double f, double g, double h, double i) {
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
}

// Cofactor of element (r, c).
double Cofactor(const Matrix4& m, int r, int c) {
    double s[9];
    int k = 0;
    for (int i = 0; i < 4; ++i) {
        if (i == r) continue;
        for (int j = 0; j < 4; ++j) {
            if (j == c) continue;
            s[k++] = m.m[i][j];
        }
    }
    const double minor = Det3(s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7], s[8]);
    return ((r + c) % 2 == 0) ? minor : -minor;
}

}  // namespace
