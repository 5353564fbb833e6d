// Questions to a built graph about faces near a point: the nearest face
// along a perpendicular, and the face across a wall.
#include <cfloat>
#include <cmath>

#include "core/module_state.h"
#include "walls/graph/cfacciate.h"

namespace {

constexpr double kNoDistance = 3.4028234663852886e38;

bool Crossing(const Point3& a, const Point3& b, const Point3& c, const Point3& d, Point3& x) {
    return IntersectLines2d(a, b, c, d, x, 1, ZcGeContext::gTol);
}

}  // namespace

WallFace* CFACCIATE::FindNearestFace(const Point3& point, double* angle) const {
    const Point3 p{point.x, point.y, level};
    const double right = PiValue * 0.5, reach = 100000.0;
    WallFace* best = nullptr;
    double bestDistance = 0.0;
    Point3 bestPoint;
    for (WallFace* f = faces; f; f = f->next) {
        if (f->isArc() || Distance2d(f->start, f->end) < SharedTolerance) continue;
        const double theta = AngleTo(f->start, f->end);
        const Point3 q1 = PolarPoint(p, theta + right, reach), q2 = PolarPoint(p, theta - right, reach);
        Point3 x;
        if (!Crossing(q1, q2, f->start, f->end, x)) continue;
        const double d = Distance2d(p, x);
        if (!best || d < bestDistance) {
            best = f;
            bestDistance = d;
            bestPoint = x;
        }
    }
    if (!best || bestDistance < SharedTolerance) return nullptr;
    if (angle) *angle = AngleTo(p, bestPoint);
    return best;
}

WallFace* FindFaceAcross(const CFACCIATE& graph, const Point3& point, WallFace* face, double* distance,
                         double* angle, bool limitToWall) {
    double nearest = kNoDistance;
    if (distance) *distance = nearest;
    if (!face || face->isArc()) return nullptr;
    const double theta = AngleTo(face->start, face->end), right = PiValue * 0.5;
    const double reach = 1000.0 * graph.unitFactor;
    const Point3 q1 = PolarPoint(point, theta + right, reach), q2 = PolarPoint(point, theta - right, reach);
    WallFace* best = nullptr;
    Point3 bestPoint;
    for (WallFace* f = graph.faces; f; f = f->next) {
        if (f == face || f->isArc()) continue;
        Point3 x;
        if (!Crossing(q1, q2, f->start, f->end, x)) continue;
        const double d = Distance2d(point, x);
        if (d < nearest) {
            nearest = d;
            best = f;
            bestPoint = x;
        }
    }
    if (!best) return nullptr;
    if (distance) *distance = nearest;
    if (angle) *angle = AngleTo(point, bestPoint);
    if (nearest < SharedTolerance) return nullptr;
    if (limitToWall && nearest > graph.maxWallThickness) return nullptr;
    return best;
}
