// An independent measure of a view's cast shadows: the faces of a small
// scene are ray cast. A sample point of a receiving face is in shadow when
// a ray from it towards the light meets another face, and seen when a ray
// from it towards the viewer meets none; the shadow pieces the passes return
// should cover exactly the seen points in shadow. Only the faces' own
// geometry is used, none of the passes' polygon code.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/matrix4.h"
#include "tests/support/velm_test.h"
#include "visual/views/hidden_faces.h"
#include "visual/views/polygon_clip.h"
#include "visual/views/section_faces.h"

namespace oracle {

struct Face {
    Point3 c[4];
    int words[4] = {1, 1, 1, 1};
    std::string layer;
};

inline void Box(std::vector<Face>& out, double x0, double y0, double z0, double x1, double y1, double z1,
                const std::string& layer) {
    const Point3 p[8] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0},
                         {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}};
    const int sides[6][4] = {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6},
                             {3, 0, 4, 7}, {4, 5, 6, 7}, {0, 3, 2, 1}};
    for (const auto& s : sides) {
        Face f;
        for (int k = 0; k < 4; ++k) f.c[k] = p[s[k]];
        f.layer = layer;
        out.push_back(f);
    }
}

// Seen from above at `turn` degrees about z (35 puts the south-west corner
// in front, -35 the south-east one), looking down by `tilt` degrees.
inline Matrix4 ViewFrame(double turn, double tilt = 25.0) {
    const double a = turn * M_PI / 180.0, t = tilt * M_PI / 180.0;
    Matrix4 rz, rx, frame;
    SetIdentity4(rz);
    SetIdentity4(rx);
    rz.m[0][0] = std::cos(a), rz.m[0][1] = std::sin(a);
    rz.m[1][0] = -std::sin(a), rz.m[1][1] = std::cos(a);
    rx.m[1][1] = std::sin(t), rx.m[1][2] = std::cos(t);
    rx.m[2][1] = std::cos(t), rx.m[2][2] = -std::sin(t);
    rx.m[2][3] = 5000.0;
    MultiplyMatrix4(rx, rz, frame);
    return frame;
}

// The scene's faces in view coordinates, with the grid a view spans.
inline SectionFace* ViewFaces(const std::vector<Face>& faces, const Matrix4& frame, double grid[63]) {
    SectionFace* list = nullptr;
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    for (const Face& f : faces) {
        Point3 c[4];
        for (int k = 0; k < 4; ++k) {
            TransformPoint(frame, f.c[k], c[k]);
            const double v[3] = {c[k].x, c[k].y, c[k].z};
            for (int a = 0; a < 3; ++a) lo[a] = std::min(lo[a], v[a]), hi[a] = std::max(hi[a], v[a]);
        }
        auto* s = new SectionFace(c, f.words, 256, f.layer);
        if (!s->valid) {
            delete s;
            continue;
        }
        s->next = list;
        list = s;
    }
    SpanViewGrid(lo, hi, grid);
    return list;
}

inline Point3 Sub(const Point3& a, const Point3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Point3 Cross(const Point3& a, const Point3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Dot(const Point3& a, const Point3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Whether the ray from o along d meets the triangle a, b, c beyond a small
// distance.
inline bool HitsTriangle(const Point3& o, const Point3& d, const Point3& a, const Point3& b,
                         const Point3& c) {
    const Point3 e1 = Sub(b, a), e2 = Sub(c, a), p = Cross(d, e2);
    const double det = Dot(e1, p);
    if (std::fabs(det) < 1e-12) return false;
    const Point3 s = Sub(o, a);
    const double u = Dot(s, p) / det;
    if (u < 0.0 || u > 1.0) return false;
    const Point3 q = Cross(s, e1);
    const double v = Dot(d, q) / det;
    if (v < 0.0 || u + v > 1.0) return false;
    return Dot(e2, q) / det > 1e-3;
}

inline bool HitsAny(const std::vector<Face>& faces, const Point3& o, const Point3& d) {
    for (const Face& f : faces)
        if (HitsTriangle(o, d, f.c[0], f.c[1], f.c[2]) || HitsTriangle(o, d, f.c[0], f.c[2], f.c[3]))
            return true;
    return false;
}

// Whether a plan point lies inside a ring (crossing count).
inline bool InsideRing(const VertexNode* ring, double x, double y) {
    bool in = false;
    for (const VertexNode* a = ring; a; a = a->next) {
        const VertexNode* b = a->next ? a->next : ring;
        if ((a->y > y) != (b->y > y) && x < a->x + (b->x - a->x) * (y - a->y) / (b->y - a->y)) in = !in;
    }
    return in;
}

struct Measure {
    int shadowed = 0;  // seen sample points in shadow
    int missing = 0;   // of those, covered by no piece
    int lit = 0;       // seen sample points in the light
    int extra = 0;     // of those, covered by a piece
    double Missing() const { return shadowed ? static_cast<double>(missing) / shadowed : 0.0; }
    double Extra() const { return lit ? static_cast<double>(extra) / lit : 0.0; }
};

// Samples the receiving face (an index into faces) on an n x n grid and
// compares the ray cast with the pieces (view coordinates). Points of a face
// turned away from the light are not counted.
inline Measure Compare(const std::vector<Face>& faces, int receiver, const Matrix4& frame,
                       const Point3& light, const ShadowGroup* shadows, int n = 60) {
    Measure m;
    Matrix4 toWorld;
    InvertMatrix4(frame, toWorld);
    Point3 eye0, eye1;
    TransformPoint(toWorld, {0.0, 0.0, 0.0}, eye0);
    TransformPoint(toWorld, {0.0, 0.0, -1.0}, eye1);
    const Point3 toViewer = Sub(eye1, eye0);
    const Face& r = faces[receiver];
    const Point3 normal = Cross(Sub(r.c[1], r.c[0]), Sub(r.c[3], r.c[0]));
    const bool facesLight = Dot(normal, light) > 0.0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const double u = (i + 0.5) / n, v = (j + 0.5) / n;
            Point3 p;
            p.x = (1 - u) * (1 - v) * r.c[0].x + u * (1 - v) * r.c[1].x + u * v * r.c[2].x +
                  (1 - u) * v * r.c[3].x;
            p.y = (1 - u) * (1 - v) * r.c[0].y + u * (1 - v) * r.c[1].y + u * v * r.c[2].y +
                  (1 - u) * v * r.c[3].y;
            p.z = (1 - u) * (1 - v) * r.c[0].z + u * (1 - v) * r.c[1].z + u * v * r.c[2].z +
                  (1 - u) * v * r.c[3].z;
            // The side the viewer sees must be the lit side to count.
            if ((Dot(normal, toViewer) > 0.0) != facesLight) continue;
            if (HitsAny(faces, p, toViewer)) continue;
            const bool dark = HitsAny(faces, p, light);
            Point3 q;
            TransformPoint(frame, p, q);
            bool covered = false;
            for (const ShadowGroup* s = shadows; s && !covered; s = s->next)
                for (const OutlinePolygon* piece = s->pieces; piece && !covered; piece = piece->next)
                    covered = InsideRing(piece->ring, q.x, q.y);
            if (dark) {
                ++m.shadowed;
                if (!covered) ++m.missing;
            } else {
                ++m.lit;
                if (covered) ++m.extra;
            }
        }
    return m;
}

}  // namespace oracle

// A drawing measured at the thousandth the shadow passes are checked at,
// the shared tolerance put back after.
class ShadowToleranceTest : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        saved_ = SharedTolerance;
        SetSharedTolerance(0.001);
    }
    void TearDown() override {
        SetSharedTolerance(saved_);
        VelmTest::TearDown();
    }

private:
    double saved_ = 0.0;
};
