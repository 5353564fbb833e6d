// A judge of the lines a section view draws behind its plane, owing
// nothing to the view's hidden-line removal. The edges asked for are the
// creases of chosen solids: where a face's visible edge runs along an edge
// of another face of the solid at an angle to it (a stair's nosing, the
// foot of a riser). A point of such an edge behind the plane is seen when
// no face behind the plane lies between it and the viewer and no cap
// covers it; the view must draw a line through every point seen. A point
// whose answer a hair would change (near the outline of a face or a cap
// that passes in front, on the plane, or edge-on) is not asked about, so
// the judge errs towards asking for less.
#pragma once

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/geometry/matrix4.h"
#include "tests/visual/section_judge.h"

namespace judge {

// The creases of the chosen solids (world): the pieces of each face's
// visible edges that run along an edge of another face of the same solid
// at more than 10 degrees to it. Found once for a model, whatever the view.
using Crease3 = std::pair<Point3, Point3>;
template <typename Pick>
std::vector<Crease3> Creases(const std::vector<Solid>& solids, Pick asked) {
    std::vector<Crease3> out;
    std::vector<Crease3> pieces;
    const double limit = std::cos(10.0 * 3.14159265358979323846 / 180.0);
    for (const Solid& solid : solids) {
        if (!asked(solid)) continue;
        struct Edge {
            Point3 a, b;
            double normal[3];
            bool shown;
        };
        std::vector<Edge> edges;
        for (const Face3D& f : solid.faces) {
            const int n = f.triangle() ? 3 : 4;
            double nn[3] = {0, 0, 0};
            for (int k = 0; k < n; ++k) {
                const Point3 &p = f.c[k], &q = f.c[(k + 1) % n];
                nn[0] += (p.y - q.y) * (p.z + q.z);
                nn[1] += (p.z - q.z) * (p.x + q.x);
                nn[2] += (p.x - q.x) * (p.y + q.y);
            }
            const double len = std::hypot(nn[0], nn[1], nn[2]);
            if (!(len > 1e-9)) continue;
            for (int k = 0; k < n; ++k)
                edges.push_back({f.c[k],
                                 f.c[(k + 1) % n],
                                 {nn[0] / len, nn[1] / len, nn[2] / len},
                                 !(f.flags & (1 << k))});
        }
        for (std::size_t i = 0; i < edges.size(); ++i) {
            const Edge& e = edges[i];
            if (!e.shown) continue;
            const double dx = e.b.x - e.a.x, dy = e.b.y - e.a.y, dz = e.b.z - e.a.z;
            const double len = std::hypot(dx, dy, dz);
            if (!(len > 1e-6)) continue;
            // The parameters along e of each other edge lying on its line.
            std::vector<std::pair<double, double>> spans;
            for (std::size_t j = 0; j < edges.size(); ++j) {
                const Edge& o = edges[j];
                if (j == i || std::fabs(e.normal[0] * o.normal[0] + e.normal[1] * o.normal[1] +
                                        e.normal[2] * o.normal[2]) > limit)
                    continue;
                double u[2];
                bool on = true;
                for (int k = 0; k < 2 && on; ++k) {
                    const Point3& p = k ? o.b : o.a;
                    u[k] = ((p.x - e.a.x) * dx + (p.y - e.a.y) * dy + (p.z - e.a.z) * dz) / (len * len);
                    on = std::hypot(e.a.x + u[k] * dx - p.x, e.a.y + u[k] * dy - p.y,
                                    e.a.z + u[k] * dz - p.z) < 1e-3;
                }
                if (!on) continue;
                const double lo = std::max(0.0, std::min(u[0], u[1])),
                             hi = std::min(1.0, std::max(u[0], u[1]));
                if ((hi - lo) * len > 1e-3) spans.push_back({lo, hi});
            }
            for (const auto& [lo, hi] : Joined(spans))
                pieces.push_back({{e.a.x + lo * dx, e.a.y + lo * dy, e.a.z + lo * dz},
                                  {e.a.x + hi * dx, e.a.y + hi * dy, e.a.z + hi * dz}});
        }
    }
    // Both faces along a crease give it: each piece kept once.
    const auto same = [](const Point3& p, const Point3& q) {
        return std::hypot(p.x - q.x, p.y - q.y, p.z - q.z) < 1e-3;
    };
    for (const Crease3& c : pieces)
        if (std::none_of(out.begin(), out.end(), [&](const Crease3& o) {
                return (same(c.first, o.first) && same(c.second, o.second)) ||
                       (same(c.first, o.second) && same(c.second, o.first));
            }))
            out.push_back(c);
    return out;
}

class EdgeJudge {
public:
    // The solids (world), the frame (world to view: depth grows away from
    // the viewer behind the plane), the caps' judge, and the creases asked
    // for (world).
    EdgeJudge(const std::vector<Solid>& solids, const Matrix4& frame, const ViewJudge& caps,
              const std::vector<Crease3>& creases)
        : caps_(caps) {
        for (const Solid& solid : solids)
            for (const Face3D& f : solid.faces) {
                View v;
                v.n = f.triangle() ? 3 : 4;
                for (int k = 0; k < v.n; ++k) TransformPoint(frame, f.c[k], v.c[k]);
                if (!Plane(v)) continue;
                faces_.push_back(v);
                File(faces_.size() - 1);
            }
        for (const auto& [a, b] : creases) {
            Crease3 c;
            TransformPoint(frame, a, c.first);
            TransformPoint(frame, b, c.second);
            creases_.push_back(c);
        }
    }

    // The length of the creases seen that no line passes within `near` of,
    // sampled `sample` apart; the points missed, when asked, into `where`.
    double Missing(const std::vector<LineSeg>& lines, double sample = 0.5, double near = 0.1,
                   std::vector<std::pair<double, double>>* where = nullptr) const {
        const LineGrid grid(lines);
        double missing = 0.0;
        for (const auto& [a, b] : creases_) {
            // The length the edge has on the sheet.
            const double len = std::hypot(b.x - a.x, b.y - a.y);
            const int n = static_cast<int>(std::ceil(len / sample));
            for (int s = 0; s < n; ++s) {
                const double u = (s + 0.5) / n;
                const Point3 p{a.x + u * (b.x - a.x), a.y + u * (b.y - a.y), a.z + u * (b.z - a.z)};
                if (!Seen(p) || grid.Near(p.x, p.y, near)) continue;
                missing += len / n;
                if (where) where->push_back({p.x, p.y});
            }
        }
        return missing;
    }

private:
    struct View {
        Point3 c[4];
        int n = 3;
        double normal[3] = {0, 0, 0}, d = 0;  // unit normal, plane offset
        double box[4] = {0, 0, 0, 0};
    };

    static constexpr double kCell = 10.0;
    static constexpr double kMargin = 0.1;  // of a face's or cap's outline
    static constexpr double kDepth = 0.05;  // of the plane; between faces
    static constexpr double kSteep = 0.1;   // the view depth share of a face's normal near edge-on

    static bool Plane(View& v) {
        double n[3] = {0, 0, 0};
        for (int k = 0; k < v.n; ++k) {
            const Point3 &p = v.c[k], &q = v.c[(k + 1) % v.n];
            n[0] += (p.y - q.y) * (p.z + q.z);
            n[1] += (p.z - q.z) * (p.x + q.x);
            n[2] += (p.x - q.x) * (p.y + q.y);
        }
        const double len = std::hypot(n[0], n[1], n[2]);
        if (!(len > 1e-9)) return false;
        for (int k = 0; k < 3; ++k) v.normal[k] = n[k] / len;
        v.d = -(v.normal[0] * v.c[0].x + v.normal[1] * v.c[0].y + v.normal[2] * v.c[0].z);
        v.box[0] = v.box[2] = v.c[0].x, v.box[1] = v.box[3] = v.c[0].y;
        for (int k = 1; k < v.n; ++k) {
            v.box[0] = std::min(v.box[0], v.c[k].x), v.box[1] = std::min(v.box[1], v.c[k].y);
            v.box[2] = std::max(v.box[2], v.c[k].x), v.box[3] = std::max(v.box[3], v.c[k].y);
        }
        return true;
    }

    static long Cell(double v) { return static_cast<long>(std::floor(v / kCell)); }

    void File(std::size_t i) {
        const View& v = faces_[i];
        // An upright face (edge-on to the viewer) covers nothing.
        if (std::fabs(v.normal[2]) < 1e-6) return;
        const long x0 = Cell(v.box[0]), x1 = Cell(v.box[2]), y0 = Cell(v.box[1]), y1 = Cell(v.box[3]);
        if ((x1 - x0 + 1) * (y1 - y0 + 1) > 4096) {
            everywhere_.push_back(i);
            return;
        }
        for (long x = x0; x <= x1; ++x)
            for (long y = y0; y <= y1; ++y) cells_[{x, y}].push_back(i);
    }

    // The view distance from (x, y) to the face's outline, signed: above 0
    // inside. Faces are convex.
    static double Inside(const View& v, double x, double y) {
        double area = 0.0;
        for (int k = 0; k < v.n; ++k) {
            const Point3 &a = v.c[k], &b = v.c[(k + 1) % v.n];
            area += a.x * b.y - b.x * a.y;
        }
        const double turn = area > 0.0 ? 1.0 : -1.0;
        double least = 1e300;
        for (int k = 0; k < v.n; ++k) {
            const Point3 &a = v.c[k], &b = v.c[(k + 1) % v.n];
            const double len = std::hypot(b.x - a.x, b.y - a.y);
            if (!(len > 1e-9)) continue;
            least = std::min(least, turn * ((b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x)) / len);
        }
        return least;
    }

    // Seen for sure: behind the plane, under no cap, and no face nearer.
    bool Seen(const Point3& p) const {
        if (p.z < kDepth) return false;
        const auto covers = [&](std::size_t i) {
            const View& v = faces_[i];
            if (p.x < v.box[0] - kMargin || p.x > v.box[2] + kMargin || p.y < v.box[1] - kMargin ||
                p.y > v.box[3] + kMargin)
                return false;
            // A face near edge-on hides or not by a hair: it is taken to
            // hide what its sliver covers where any of it is nearer.
            if (std::fabs(v.normal[2]) < kSteep) {
                const double nearest = std::min({v.c[0].z, v.c[1].z, v.c[2].z, v.c[v.n - 1].z});
                return nearest < p.z - kDepth && Inside(v, p.x, p.y) > -kMargin;
            }
            const double z = -(v.normal[0] * p.x + v.normal[1] * p.y + v.d) / v.normal[2];
            // Cut away in front of the plane, or not in front of p.
            if (z < 0.0 || z > p.z - kDepth) return false;
            return Inside(v, p.x, p.y) > -kMargin;
        };
        if (std::any_of(everywhere_.begin(), everywhere_.end(), covers)) return false;
        const auto it = cells_.find({Cell(p.x), Cell(p.y)});
        if (it != cells_.end() && std::any_of(it->second.begin(), it->second.end(), covers)) return false;
        for (const double dx : {0.0, -kMargin, kMargin})
            for (const double dy : {0.0, -kMargin, kMargin})
                if (caps_.InAnyCap(p.x + dx, p.y + dy)) return false;
        return true;
    }

    const ViewJudge& caps_;
    std::vector<View> faces_;
    std::vector<Crease3> creases_;
    std::map<std::pair<long, long>, std::vector<std::size_t>> cells_;
    std::vector<std::size_t> everywhere_;
};

}  // namespace judge
