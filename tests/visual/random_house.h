// Houses made at random from a seed, as closed solids of 3D faces: rooms
// of four walls at a random turn and thickness (5 to 70) with doors,
// windows and bare openings, pilasters, free columns, one or two storeys
// with slabs (some with a stair's opening and the stair through it),
// slabs overlapping others, girders, hip and gable roofs, open door
// leaves and window panes. Each solid is on its own layer, so that a judge
// grouping faces by layer sees each apart; the walls of a storey are on
// its wall layer. Where the planes to try go: the openings and columns,
// and the walls' directions.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "tests/visual/section_judge.h"

namespace house {

inline constexpr double kTurn = 6.283185307179586;

struct Face {
    std::string layer;
    Point3 c[4];
};

// A plan point to cut through and the direction of the wall it lies in
// (any for a column).
struct Mark {
    Point3 at;
    double along;
    std::string what;
};

struct House {
    std::vector<Face> faces;
    std::vector<Mark> marks;
    double box[4] = {1e300, 1e300, -1e300, -1e300};  // plan extent
};

class Builder {
public:
    explicit Builder(std::uint64_t seed) : random_(seed) {}

    House Build() {
        const int rooms = 2 + static_cast<int>(random_.Index(2));
        for (int r = 0; r < rooms; ++r) Room(1500.0 * r, 400.0 * (r % 2));
        return std::move(house_);
    }

    struct Frame {
        Point3 o;
        double ux, uy;  // local x; local y is (-uy, ux)
        Point3 At(double x, double y, double z) const {
            return {o.x + x * ux - y * uy, o.y + x * uy + y * ux, z};
        }
    };

    struct Opening {
        double t0, t1, zs, zh;
        int kind;  // 0 window, 1 door, 2 bare
    };

    // What has been built so far, taken.
    House Take() { return std::move(house_); }

    void Quad(const std::string& layer, const Point3& a, const Point3& b, const Point3& c, const Point3& d) {
        house_.faces.push_back({layer, {a, b, c, d}});
        for (const Point3& p : {a, b, c, d}) {
            house_.box[0] = std::min(house_.box[0], p.x), house_.box[1] = std::min(house_.box[1], p.y);
            house_.box[2] = std::max(house_.box[2], p.x), house_.box[3] = std::max(house_.box[3], p.y);
        }
    }
    void Tri(const std::string& layer, const Point3& a, const Point3& b, const Point3& c) {
        Quad(layer, a, b, c, a);
    }

    // A box x0..x1, y0..y1, z0..z1 in the frame.
    void Box(const std::string& layer, const Frame& f, double x0, double y0, double x1, double y1, double z0,
             double z1) {
        const Point3 p[8] = {f.At(x0, y0, z0), f.At(x1, y0, z0), f.At(x1, y1, z0), f.At(x0, y1, z0),
                             f.At(x0, y0, z1), f.At(x1, y0, z1), f.At(x1, y1, z1), f.At(x0, y1, z1)};
        const int quads[6][4] = {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6},
                                 {3, 0, 4, 7}, {0, 1, 2, 3}, {4, 5, 6, 7}};
        for (const auto& q : quads) Quad(layer, p[q[0]], p[q[1]], p[q[2]], p[q[3]]);
    }

    std::string Name(const char* kind) { return kind + std::to_string(++count_); }

    // One room: its walls on each storey, slabs, stair, columns, roof.
    void Room(double cx, double cy) {
        const double turn = random_.Uniform(0.0, kTurn);
        const Frame f{{cx, cy, 0.0}, std::cos(turn), std::sin(turn)};
        const double a = random_.Uniform(160.0, 340.0), b = random_.Uniform(160.0, 340.0);
        const double w = random_.Uniform(5.0, 70.0);
        const int storeys = 1 + static_cast<int>(random_.Index(2));
        const double height = 280.0, slab = 20.0;
        double z0 = 0.0;
        for (int s = 0; s < storeys; ++s) {
            const double z1 = z0 + height;
            Walls(f, a, b, w, z0, z1, "VELM3DWALLS$" + std::to_string(static_cast<int>(z0)));
            if (random_.Uniform(0, 1) < 0.7) {
                const double c = random_.Uniform(15.0, 50.0), x = random_.Uniform(-a + 60, a - 60),
                             y = random_.Uniform(-b + 60, b - 60);
                const double spin = random_.Uniform(0.0, kTurn);
                const Frame g{f.At(x, y, 0.0), std::cos(turn + spin), std::sin(turn + spin)};
                Box(Name("COLUMN"), g, -c / 2, -c / 2, c / 2, c / 2, z0, z1);
                house_.marks.push_back({g.o, turn + spin, "a column"});
            }
            const bool stair = s + 1 < storeys;
            if (s + 1 < storeys || random_.Uniform(0, 1) < 0.5) {
                // The slab over the storey, over the walls too, and when a
                // storey stands on it a stair rising through its opening.
                const double x0 = -a + 10, run = std::min(400.0, 2 * a - 20);
                const double hx0 = x0 + 0.45 * run, hx1 = x0 + run + 5, hy0 = -60, hy1 = 40;
                Slab(Name("SLAB"), f, -a - w, -b - w, a + w, b + w, z1, z1 + slab, stair, hx0, hy0, hx1, hy1);
                if (stair) Stair(Name("STAIR"), f, x0, hy0 + 5, hy1 - 5, z0, z1 + slab, x0 + run);
                if (random_.Uniform(0, 1) < 0.6)
                    Box(Name("GIRDER"), f, random_.Uniform(-a + 20, 0), -b, random_.Uniform(20, a - 20),
                        -b + 25, z1 - 30, z1);
                if (random_.Uniform(0, 1) < 0.5) {
                    // A terrace slab overlapping this one.
                    const double x = random_.Uniform(0, a);
                    Box(Name("TERRACE"), f, x, -b - w - 200, x + 300, -b + 60, z1 - 10, z1 + 10);
                }
            }
            z0 = z1 + slab;
        }
        Roof(Name("ROOF"), f, a + w + 30, b + w + 30, z0, random_.Uniform(0, 1) < 0.5);
    }

    // A slab x0..x1, y0..y1 (with a hole hx0..hx1, hy0..hy1) between z0 and z1.
    void Slab(const std::string& layer, const Frame& f, double x0, double y0, double x1, double y1, double z0,
              double z1, bool hole, double hx0, double hy0, double hx1, double hy1) {
        if (!hole) {
            Box(layer, f, x0, y0, x1, y1, z0, z1);
            return;
        }
        const double xs[4] = {x0, hx0, hx1, x1}, ys[4] = {y0, hy0, hy1, y1};
        // The outline's sides.
        const double ring[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
        for (int k = 0; k < 4; ++k) {
            const auto& p = ring[k];
            const auto& q = ring[(k + 1) % 4];
            Quad(layer, f.At(p[0], p[1], z0), f.At(q[0], q[1], z0), f.At(q[0], q[1], z1),
                 f.At(p[0], p[1], z1));
        }
        const double hole4[4][2] = {{hx0, hy0}, {hx1, hy0}, {hx1, hy1}, {hx0, hy1}};
        for (int k = 0; k < 4; ++k) {
            const auto& p = hole4[k];
            const auto& q = hole4[(k + 1) % 4];
            Quad(layer, f.At(p[0], p[1], z0), f.At(q[0], q[1], z0), f.At(q[0], q[1], z1),
                 f.At(p[0], p[1], z1));
        }
        // Top and bottom: the grid's eight cells around the hole.
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                if (i == 1 && j == 1) continue;
                for (const double z : {z0, z1})
                    Quad(layer, f.At(xs[i], ys[j], z), f.At(xs[i + 1], ys[j], z),
                         f.At(xs[i + 1], ys[j + 1], z), f.At(xs[i], ys[j + 1], z));
            }
    }

    // A straight stair rising along x from x0 to `end`, y0..y1, z0 to z1.
    void Stair(const std::string& layer, const Frame& f, double x0, double y0, double y1, double z0,
               double z1, double end) {
        const int steps = 10;
        const double rise = (z1 - z0) / steps;
        const double run = (end - x0) / steps;
        for (int k = 0; k < steps; ++k) {
            const double u = x0 + k * run, z = z0 + k * rise;
            Quad(layer, f.At(u, y0, z), f.At(u, y1, z), f.At(u, y1, z + rise), f.At(u, y0, z + rise));
            Quad(layer, f.At(u, y0, z + rise), f.At(u, y1, z + rise), f.At(u + run, y1, z + rise),
                 f.At(u + run, y0, z + rise));
            for (const double v : {y0, y1})
                Quad(layer, f.At(u, v, z0), f.At(u + run, v, z0), f.At(u + run, v, z + rise),
                     f.At(u, v, z + rise));
        }
        const double last = x0 + steps * run;
        Quad(layer, f.At(last, y0, z0), f.At(last, y1, z0), f.At(last, y1, z1), f.At(last, y0, z1));
        Quad(layer, f.At(x0, y0, z0), f.At(x0, y1, z0), f.At(last, y1, z0), f.At(last, y0, z0));
        house_.marks.push_back({f.At((x0 + last) / 2, (y0 + y1) / 2, 0), std::atan2(f.uy, f.ux), "a stair"});
    }

    // A hip or gable roof over -a..a, -b..b from z up.
    void Roof(const std::string& layer, const Frame& f, double a, double b, double z, bool hip) {
        const double h = z + 0.6 * std::min(a, b);
        const double r = hip ? a - b * 0.8 : a;  // the ridge's half length along x
        const Point3 p0 = f.At(-a, -b, z), p1 = f.At(a, -b, z), p2 = f.At(a, b, z), p3 = f.At(-a, b, z);
        const Point3 r0 = f.At(-std::max(r, 1.0), 0, h), r1 = f.At(std::max(r, 1.0), 0, h);
        Quad(layer, p0, p1, p2, p3);
        Quad(layer, p0, p1, r1, r0);
        Quad(layer, p2, p3, r0, r1);
        Tri(layer, p1, p2, r1);
        Tri(layer, p3, p0, r0);
    }

    // The four walls of a room, inner half sizes a and b, w thick, between
    // z0 and z1, with openings and pilasters.
    void Walls(const Frame& f, double a, double b, double w, double z0, double z1, const std::string& layer) {
        const double inner[4][2] = {{-a, -b}, {a, -b}, {a, b}, {-a, b}};
        for (int k = 0; k < 4; ++k) {
            const auto& p = inner[k];
            const auto& q = inner[(k + 1) % 4];
            const double length = std::hypot(q[0] - p[0], q[1] - p[1]);
            const double ux = (q[0] - p[0]) / length, uy = (q[1] - p[1]) / length;
            // Along the wall from its inner corner; outward is (uy, -ux).
            const Frame g{f.At(p[0], p[1], 0.0), ux * f.ux - uy * f.uy, ux * f.uy + uy * f.ux};
            std::vector<Opening> openings;
            double t = 30.0;
            while (true) {
                const double width = random_.Uniform(60.0, 120.0);
                t += random_.Uniform(20.0, 160.0);
                if (t + width > length - 30.0) break;
                const int kind = static_cast<int>(random_.Index(3));
                const double zs = kind == 1 ? z0 : z0 + random_.Uniform(40.0, 110.0);
                const double zh = z0 + random_.Uniform(190.0, 240.0);
                openings.push_back({t, t + width, zs, zh, kind});
                t += width;
            }
            Wall(g, length, w, z0, z1, openings, layer);
            // A pilaster on the outside where no opening is.
            if (random_.Uniform(0, 1) < 0.5) {
                const double at = random_.Uniform(0.0, length - 40.0);
                bool clear = true;
                for (const Opening& o : openings)
                    clear = clear && (at + 40.0 < o.t0 - 5.0 || at > o.t1 + 5.0);
                if (clear) Box(Name("PILASTER"), g, at, -w - 25.0, at + 40.0, -w, z0, z1);
            }
        }
    }

    // The mitred ends of a wall standing alone.
    void WallEnds(const Frame& g, double length, double w, double z0, double z1, const std::string& layer) {
        Quad(layer, g.At(0, 0, z0), g.At(-w, -w, z0), g.At(-w, -w, z1), g.At(0, 0, z1));
        Quad(layer, g.At(length, 0, z0), g.At(length + w, -w, z0), g.At(length + w, -w, z1),
             g.At(length, 0, z1));
    }

    // One wall: inner face along x from 0 to length at y 0, outer face at
    // y -w from -w to length + w, mitred at its ends.
    void Wall(const Frame& g, double length, double w, double z0, double z1,
              const std::vector<Opening>& openings, const std::string& layer) {
        const auto in = [&](double t, double z) { return g.At(t, 0.0, z); };
        const auto out = [&](double t, double z) { return g.At(t, -w, z); };
        // Sides: the stretches between openings whole, over and under each.
        for (const bool inner : {true, false}) {
            const double from = inner ? 0.0 : -w, to = inner ? length : length + w;
            const auto side = [&](double t, double z) { return inner ? in(t, z) : out(t, z); };
            double t = from;
            for (const Opening& o : openings) {
                Quad(layer, side(t, z0), side(o.t0, z0), side(o.t0, z1), side(t, z1));
                if (o.zs > z0)
                    Quad(layer, side(o.t0, z0), side(o.t1, z0), side(o.t1, o.zs), side(o.t0, o.zs));
                Quad(layer, side(o.t0, o.zh), side(o.t1, o.zh), side(o.t1, z1), side(o.t0, z1));
                t = o.t1;
            }
            Quad(layer, side(t, z0), side(to, z0), side(to, z1), side(t, z1));
        }
        // Reveals, and what each opening holds.
        for (const Opening& o : openings) {
            for (const double t : {o.t0, o.t1})
                Quad(layer, in(t, o.zs), out(t, o.zs), out(t, o.zh), in(t, o.zh));
            if (o.zs > z0) Quad(layer, in(o.t0, o.zs), in(o.t1, o.zs), out(o.t1, o.zs), out(o.t0, o.zs));
            Quad(layer, in(o.t0, o.zh), in(o.t1, o.zh), out(o.t1, o.zh), out(o.t0, o.zh));
            const double mid = (o.t0 + o.t1) / 2.0;
            const double along = std::atan2(g.uy, g.ux);
            if (o.kind == 0) {
                const std::string frame = Name("WINDOW");
                Box(frame, g, o.t0, -0.7 * w, o.t0 + 6.0, -0.3 * w, o.zs, o.zh);
                Box(frame, g, o.t1 - 6.0, -0.7 * w, o.t1, -0.3 * w, o.zs, o.zh);
                Quad(Name("PANE"), g.At(o.t0 + 6.0, -0.5 * w, o.zs), g.At(o.t1 - 6.0, -0.5 * w, o.zs),
                     g.At(o.t1 - 6.0, -0.5 * w, o.zh), g.At(o.t0 + 6.0, -0.5 * w, o.zh));
                house_.marks.push_back({g.At(mid, -0.5 * w, 0.0), along, "a window"});
            } else if (o.kind == 1) {
                // The leaf open into the room.
                const double open = random_.Uniform(0.3, 1.5), width = o.t1 - o.t0;
                const Point3 hinge = in(o.t0, o.zs);
                const Point3 tip = g.At(o.t0 + width * std::cos(open), width * std::sin(open), o.zs);
                Quad(Name("LEAF"), hinge, tip, {tip.x, tip.y, o.zh - 2.0}, {hinge.x, hinge.y, o.zh - 2.0});
                house_.marks.push_back({g.At(mid, -0.5 * w, 0.0), along, "a door"});
            } else {
                house_.marks.push_back({g.At(mid, -0.5 * w, 0.0), along, "an opening"});
            }
        }
        // Foot and top: the strips between the doors' gaps, mitred at the
        // wall's ends.
        for (const double z : {z0, z1}) {
            double t = 0.0;
            bool first = true;
            for (const Opening& o : openings) {
                if (z != z0 || o.zs > z0) continue;
                Quad(layer, in(t, z), in(o.t0, z), out(o.t0, z), out(first ? -w : t, z));
                t = o.t1, first = false;
            }
            Quad(layer, in(t, z), in(length, z), out(length + w, z), out(first ? -w : t, z));
        }
    }

private:
    judge::Random random_;
    House house_;
    int count_ = 0;
};

inline House RandomHouse(std::uint64_t seed) {
    return Builder(seed).Build();
}

}  // namespace house
