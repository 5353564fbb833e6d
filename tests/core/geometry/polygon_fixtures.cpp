// Fixture polygons. The 2-opt generator keeps reversing the stretch between
// two crossing edges until none cross; each reversal shortens the outline, so
// it ends, and what it leaves is a simple polygon of no particular shape.
#include "tests/core/geometry/polygon_fixtures.h"

#include <algorithm>
#include <cmath>

namespace {

double Cross(const Point3& o, const Point3& a, const Point3& b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool ProperCross(const Point3& a, const Point3& b, const Point3& c, const Point3& d) {
    const double d1 = Cross(a, b, c), d2 = Cross(a, b, d), d3 = Cross(c, d, a), d4 = Cross(c, d, b);
    return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

void MakeCounterClockwise(Outline& poly) {
    if (ShoelaceArea(poly) < 0) std::reverse(poly.begin(), poly.end());
}

}  // namespace

Outline RandomStarPolygon(std::mt19937& rng, int n) {
    std::uniform_real_distribution<double> angle(0.0, 2.0 * M_PI), radius(1.0, 10.0);
    std::vector<double> angles(n);
    for (double& a : angles) a = angle(rng);
    std::sort(angles.begin(), angles.end());
    Outline poly;
    for (double a : angles) {
        const double r = radius(rng);
        poly.push_back({r * std::cos(a), r * std::sin(a), 0.0});
    }
    // With an angular gap wider than pi the origin falls outside and the
    // outline runs clockwise.
    MakeCounterClockwise(poly);
    return poly;
}

Outline RandomTwoOptPolygon(std::mt19937& rng, int n) {
    std::uniform_real_distribution<double> coord(0.0, 100.0);
    Outline poly(n);
    for (Point3& p : poly) p = {std::round(coord(rng) * 10) / 10, std::round(coord(rng) * 10) / 10, 0.0};
    for (bool changed = true; changed;) {
        changed = false;
        for (int i = 0; i < n && !changed; ++i)
            for (int j = i + 2; j < n && !changed; ++j) {
                if (i == 0 && j == n - 1) continue;
                if (ProperCross(poly[i], poly[i + 1], poly[j], poly[(j + 1) % n])) {
                    std::reverse(poly.begin() + i + 1, poly.begin() + j + 1);
                    changed = true;
                }
            }
    }
    MakeCounterClockwise(poly);
    return poly;
}

Outline ConvexPolygon(int n, double r) {
    Outline poly;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * M_PI * i / n;
        poly.push_back({r * std::cos(a), r * std::sin(a), 0.0});
    }
    return poly;
}

Outline CombPolygon(int teeth) {
    Outline poly{{0, 0, 0}};
    for (int t = 0; t < teeth; ++t) {
        const double x = 2.0 * t;
        poly.push_back({x + 1.0, 0, 0});
    }
    poly.push_back({2.0 * teeth, 0, 0});
    poly.push_back({2.0 * teeth, 10, 0});
    for (int t = teeth - 1; t >= 0; --t) {
        const double x = 2.0 * t;
        poly.push_back({x + 1.0, 10, 0});
        poly.push_back({x + 1.0, 1, 0});
        poly.push_back({x, 1, 0});
        poly.push_back({x, 10, 0});
    }
    // The comb's base edge is split at the teeth so every tooth has a vertex
    // below it; drop the repeated start.
    poly.erase(std::unique(poly.begin(), poly.end(),
                           [](const Point3& a, const Point3& b) { return a.x == b.x && a.y == b.y; }),
               poly.end());
    MakeCounterClockwise(poly);
    return poly;
}

Outline SpiralPolygon(int n, double turns) {
    Outline outside, inside;
    for (int i = 0; i < n; ++i) {
        const double t = turns * 2.0 * M_PI * i / (n - 1), r = 2.0 + 0.5 * t;
        outside.push_back({r * std::cos(t), r * std::sin(t), 0.0});
        inside.push_back({(r - 1.2) * std::cos(t), (r - 1.2) * std::sin(t), 0.0});
    }
    Outline poly(outside);
    poly.insert(poly.end(), inside.rbegin(), inside.rend());
    MakeCounterClockwise(poly);
    return poly;
}

Outline RegularStar(int points, double inner, double outer) {
    Outline poly;
    for (int i = 0; i < 2 * points; ++i) {
        const double a = M_PI * i / points, r = i % 2 ? inner : outer;
        poly.push_back({r * std::cos(a), r * std::sin(a), 0.0});
    }
    return poly;
}

Outline SubdividedSquare(int perSide) {
    Outline poly;
    const Point3 corners[4] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    for (int c = 0; c < 4; ++c) {
        const Point3 &a = corners[c], &b = corners[(c + 1) % 4];
        for (int i = 0; i < perSide; ++i) {
            const double t = double(i) / perSide;
            poly.push_back({a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), 0.0});
        }
    }
    return poly;
}

double ShoelaceArea(const Outline& poly) {
    double s = 0.0;
    for (size_t i = 0; i < poly.size(); ++i) {
        const Point3& a = poly[i];
        const Point3& b = poly[(i + 1) % poly.size()];
        s += a.x * b.y - a.y * b.x;
    }
    return s / 2.0;
}

bool StrictlyInside(const Point3& p, const Outline& poly) {
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Point3& a = poly[i];
        const Point3& b = poly[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

bool IsSimpleOutline(const Outline& poly) {
    const size_t n = poly.size();
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            if (ProperCross(poly[i], poly[(i + 1) % n], poly[j], poly[(j + 1) % n])) return false;
    return true;
}

VertexNode* NumberedList(const Outline& poly, int contour) {
    VertexNode* head = nullptr;
    for (size_t i = 0; i < poly.size(); ++i) AppendVertex(&head, poly[i], 1, static_cast<int>(i), contour);
    return head;
}

std::vector<Triangle> TakeFaces(FaceRecord* faces) {
    std::vector<Triangle> out;
    for (FaceRecord* f = faces; f; f = f->next) {
        const FaceEntityData d = FaceToEntityData(*f);
        out.push_back({d.corners[0], d.corners[1], d.corners[2], d.flags70});
    }
    FreeList(faces);
    return out;
}
