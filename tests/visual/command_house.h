// Houses made at random from a seed with the module's own commands, as a
// user would draw them: rooms of four walls at a random turn and skew,
// each 5 to 70 thick, centred on their points; doors and windows picked on
// a wall's inner face at a distance from its nearer end; a pilaster on an
// inner face; a free column (a short wall standing alone); sometimes a
// partition ending free in a room, an annex whose walls start and end on
// an outer face, a straight or a landing stair with a floor slab cut for
// it, a second slab across the house, a hip or gable roof with girders,
// and a storey above. Every position is computed from the walls drawn, so
// the script stays valid; what cannot be placed with room to spare is left
// out. Where the planes to try go: the openings, pilasters, columns and
// stairs, with the directions of their walls.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/visual/random_house.h"
#include "tests/visual/section_judge.h"

namespace cmdhouse {

inline constexpr double kPi = 3.14159265358979323846;

struct P {
    double x, y;
};
inline P operator+(P a, P b) {
    return {a.x + b.x, a.y + b.y};
}
inline P operator-(P a, P b) {
    return {a.x - b.x, a.y - b.y};
}
inline P operator*(double s, P a) {
    return {s * a.x, s * a.y};
}
inline double Dot(P a, P b) {
    return a.x * b.x + a.y * b.y;
}
inline double Cross(P a, P b) {
    return a.x * b.y - a.y * b.x;
}
inline double Len(P a) {
    return std::hypot(a.x, a.y);
}
inline P Dir(double angle) {
    return {std::cos(angle), std::sin(angle)};
}
inline P Left(P d) {
    return {-d.y, d.x};
}

// The script: "!dialog ..." lines queue a dialog's answer, "!pick x,y"
// picks, the rest are typed. The counts are what the drawing must hold.
struct Script {
    std::vector<std::string> lines;
    std::vector<house::Mark> marks;
    double box[4] = {1e300, 1e300, -1e300, -1e300};
    bool wallsClosed = true;  // their tops and feet
    int stairs = 0, slabs = 0, hipRoofs = 0, gableRoofs = 0, girders = 0, pilasters = 0, openings = 0;
    std::string summary;
};

// A closed ring of walls centred on its corners (counter-clockwise), with
// the corners of its inner and outer faces.
struct Ring {
    std::vector<P> c, inner, outer;
    double t = 30.0;
};

// The ring offset by d to the left of each edge (inside when d > 0).
inline std::vector<P> Offset(const std::vector<P>& c, double d) {
    const std::size_t n = c.size();
    std::vector<P> out(n);
    for (std::size_t k = 0; k < n; ++k) {
        const P a = c[(k + n - 1) % n], b = c[k], e = c[(k + 1) % n];
        const P u = (1.0 / Len(b - a)) * (b - a), v = (1.0 / Len(e - b)) * (e - b);
        const P p = b + d * Left(u), q = b + d * Left(v);
        // Where the two offset lines meet.
        const double s = Cross(q - p, v) / Cross(u, v);
        out[k] = p + s * u;
    }
    return out;
}

// Inside a convex counter-clockwise ring, at least `margin` from each edge.
inline bool Inside(const std::vector<P>& ring, P p, double margin) {
    for (std::size_t k = 0; k < ring.size(); ++k) {
        const P a = ring[k], b = ring[(k + 1) % ring.size()];
        if (Cross((1.0 / Len(b - a)) * (b - a), p - a) < margin) return false;
    }
    return true;
}

class Generator {
public:
    explicit Generator(std::uint64_t seed) : random_(seed) {}

    Script Make() {
        Line("!dialog 1016 page 0 edit 1001 \"300\" ok");
        Line("VELMFLOOROPTIONS");
        // The floor a house before this one left current put back.
        Line("VELMSETVAR"), Line("SQPAV"), Line("0");
        // The walls come up to 70 thick: the largest wall thickness is set
        // to take them, or they are no walls to the recognition (no tops).
        Line("VELMSETVAR"), Line("DISCMURO"), Line("72");
        closeTops_ = random_.Uniform(0, 1) < 0.7;
        Line("VELMSETVAR"), Line("CHIUSURA_SUP"), Line(closeTops_ ? "1" : "0");
        script_.wallsClosed = closeTops_;
        Note(closeTops_ ? "walls closed" : "walls open at top and foot");
        const int rooms = 1 + static_cast<int>(random_.Index(2));
        for (int r = 0; r < rooms; ++r) {
            Ring ring = RandomRing();
            // Side by side, 150 to 400 clear of all before, its annex and
            // column too.
            double lo = 1e300;
            for (const P& p : ring.outer) lo = std::min(lo, p.x);
            const double x = r == 0 ? lo : script_.box[2] + random_.Uniform(150.0, 400.0);
            const P shift{x - lo, random_.Uniform(-150.0, 150.0)};
            for (auto* v : {&ring.c, &ring.inner, &ring.outer})
                for (P& p : *v) p = p + shift;
            Room(ring, r);
        }
        Line("VELMWALL3D"), Line("");
        if (upper_) Upper();
        Roofs();
        return std::move(script_);
    }

private:
    void Line(const std::string& l) { script_.lines.push_back(l); }
    static std::string At(P p) {
        char text[64];
        std::snprintf(text, sizeof text, "%.6f,%.6f", p.x, p.y);
        return text;
    }
    static std::string Num(double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.3f", v);
        return text;
    }
    void Note(const std::string& s) { script_.summary += (script_.summary.empty() ? "" : ", ") + s; }
    void Mark(P at, double along, const std::string& what) {
        script_.marks.push_back({{at.x, at.y, 0.0}, along, what});
    }
    void Extend(P p) {
        script_.box[0] = std::min(script_.box[0], p.x), script_.box[1] = std::min(script_.box[1], p.y);
        script_.box[2] = std::max(script_.box[2], p.x), script_.box[3] = std::max(script_.box[3], p.y);
    }

    // Thin, thick and in between, as walls come.
    double Thickness() {
        const double r = random_.Uniform(0, 1);
        if (r < 0.25) return std::round(random_.Uniform(5.0, 10.0));
        if (r < 0.45) return 70.0;
        return std::round(random_.Uniform(10.0, 70.0));
    }

    // A parallelogram room turned by any angle or one of 0, 15 and 75
    // degrees, most square, some skewed up to 25 degrees.
    Ring RandomRing() {
        Ring ring;
        ring.t = Thickness();
        const double pick = random_.Uniform(0, 1);
        const double turn = pick < 0.15   ? 0.0
                            : pick < 0.35 ? 15.0 * kPi / 180.0
                            : pick < 0.5  ? 75.0 * kPi / 180.0
                                          : random_.Uniform(0.0, kPi / 2.0);
        const double skew = random_.Uniform(0, 1) < 0.7 ? 0.0 : random_.Uniform(-25.0, 25.0) * kPi / 180.0;
        const double a = std::round(random_.Uniform(450.0, 900.0)),
                     b = std::round(random_.Uniform(380.0, 650.0));
        const P u = Dir(turn), v = Dir(turn + kPi / 2.0 + skew);
        ring.c = {{0, 0}, a * u, a * u + b * v, b * v};
        ring.inner = Offset(ring.c, ring.t / 2.0);
        ring.outer = Offset(ring.c, -ring.t / 2.0);
        square_ = std::fabs(skew) < 1e-9;
        return ring;
    }

    // The walls of a room with what stands in and around it.
    void Room(const Ring& ring, int index) {
        const std::string t = Num(ring.t);
        Line("!dialog 145 edit 1066 \"" + t + "\" edit 1067 \"" + t + "\" click 1073");
        Line("VELMWALL");
        for (const P& p : ring.c) Line(At(p));
        Line("Zamknij");
        for (const P& p : ring.outer) Extend(p);
        Note("room " + std::to_string(index) + " " + t + " thick");
        // Wall 1 may carry an annex, wall 0 a partition; the others and
        // what is left of those take the openings.
        // The stair runs along wall 0, where a partition would cross it.
        const bool stair = random_.Uniform(0, 1) < 0.55 && Stair(ring);
        bool walls[4] = {false, false, false, false};
        if (random_.Uniform(0, 1) < 0.35) walls[1] = Annex(ring);
        if (!stair && random_.Uniform(0, 1) < 0.35) walls[0] = Partition(ring);
        for (int k = 0; k < 4; ++k)
            if (!walls[k] && random_.Uniform(0, 1) < 0.75) walls[k] = Opening(ring, k);
        for (int k = 0; k < 4; ++k)
            if (!walls[k] && random_.Uniform(0, 1) < 0.5) {
                walls[k] = Pilaster(ring, k);
                break;
            }
        if (random_.Uniform(0, 1) < 0.7) Column(ring);
        if (stair || random_.Uniform(0, 1) < 0.4) Slab(ring);
        rooms_.push_back(ring);
        if (stair && !upper_ && random_.Uniform(0, 1) < 0.4) upper_ = true, upperRoom_ = rooms_.size() - 1;
    }

    // A door or a window on the inner face of wall k, 15 or more from its
    // ends: picked at its middle, the distance typed from the face's
    // nearer end.
    bool Opening(const Ring& ring, int k, double level = 0.0) {
        const P a = ring.inner[k], b = ring.inner[(k + 1) % 4];
        const double length = Len(b - a), width = 90.0;
        if (length < width + 60.0) return false;
        const P u = (1.0 / length) * (b - a);
        double mid = random_.Uniform(width / 2.0 + 15.0, length - width / 2.0 - 15.0);
        if (std::fabs(mid - length / 2.0) < 2.0) mid += 4.0;
        const bool door = level == 0.0 && random_.Uniform(0, 1) < 0.5;
        const double distance = (mid < length / 2.0 ? mid : length - mid) - width / 2.0;
        Line("VELMOBJECT"), Line(door ? "P1" : "F1"), Line("!pick " + At(a + mid * u)), Line(Num(distance));
        ++script_.openings;
        const P centre = a + mid * u - (ring.t / 2.0) * Left(u);
        Mark(centre, std::atan2(u.y, u.x), door ? "a door" : "a window");
        return true;
    }

    // A pilaster against the inner face of wall k, standing into the room.
    bool Pilaster(const Ring& ring, int k) {
        const P a = ring.inner[k], b = ring.inner[(k + 1) % 4];
        const double length = Len(b - a);
        if (length < 160.0) return false;
        const P u = (1.0 / length) * (b - a);
        const double at = random_.Uniform(40.0, length - 80.0);
        Line("VELMOBJECT"), Line("PIL1"), Line(At(a + at * u)),
            Line(Num(std::atan2(u.y, u.x) * 180.0 / kPi + 180.0)), Line("");
        ++script_.pilasters;
        Mark(a + (at + 20.0) * u + 7.0 * Left(u), std::atan2(u.y, u.x), "a pilaster");
        return true;
    }

    // A free column: a wall 20 to 60 long, 20 to 70 thick, standing alone
    // before wall 0, turned at random.
    void Column(const Ring& ring) {
        const P a = ring.outer[0], b = ring.outer[1];
        const P u = (1.0 / Len(b - a)) * (b - a);
        const P at = a + random_.Uniform(0.2, 0.8) * (b - a) - random_.Uniform(120.0, 220.0) * Left(u);
        const double turn = random_.Uniform(0.0, kPi);
        const double length = std::round(random_.Uniform(20.0, 60.0)),
                     t = std::round(random_.Uniform(20.0, 70.0));
        const P e = Dir(turn);
        Line("!dialog 145 edit 1066 \"" + Num(t) + "\" edit 1067 \"" + Num(t) + "\" click 1073");
        Line("VELMWALL"), Line(At(at)), Line(At(at + length * e)), Line("");
        Mark(at + (length / 2.0) * e, turn, "a column");
        Extend(at - 80.0 * e), Extend(at + 80.0 * e);
    }

    // A partition from the inner face of wall 0 into the room, ending free
    // halfway across.
    bool Partition(const Ring& ring) {
        const P a = ring.inner[0], b = ring.inner[1];
        const double length = Len(b - a);
        if (length < 300.0) return false;
        const P u = (1.0 / length) * (b - a);
        const P start = a + random_.Uniform(120.0, length - 120.0) * u;
        const P across = (1.0 / Len(ring.c[3] - ring.c[0])) * (ring.c[3] - ring.c[0]);
        const double depth = Len(ring.inner[3] - ring.inner[0]) * random_.Uniform(0.3, 0.55);
        const double t = Thickness();
        Line("!dialog 145 edit 1066 \"" + Num(t) + "\" edit 1067 \"" + Num(t) + "\" click 1073");
        Line("VELMWALL"), Line(At(start)), Line(At(start + depth * across)), Line("");
        Mark(start + (depth - 10.0) * across, std::atan2(across.y, across.x), "a partition's free end");
        Note("a partition " + Num(t) + " thick");
        return true;
    }

    // Three walls before the outer face of wall 1, from that face and back
    // to it.
    bool Annex(const Ring& ring) {
        const P a = ring.outer[1], b = ring.outer[2];
        const double length = Len(b - a);
        const double t = Thickness();
        if (length < 250.0 + t) return false;
        const P u = (1.0 / length) * (b - a), out = -1.0 * Left(u);
        const double s0 = random_.Uniform(t / 2.0 + 20.0, 0.3 * length),
                     s1 = length - random_.Uniform(t / 2.0 + 20.0, 0.3 * length);
        const double deep = std::round(random_.Uniform(200.0, 400.0));
        const P p0 = a + s0 * u, p1 = p0 + deep * out, p3 = a + s1 * u, p2 = p3 + deep * out;
        Line("!dialog 145 edit 1066 \"" + Num(t) + "\" edit 1067 \"" + Num(t) + "\" click 1073");
        Line("VELMWALL"), Line(At(p0)), Line(At(p1)), Line(At(p2)), Line(At(p3)), Line("");
        for (const P& p : {p1, p2}) Extend(p + (t / 2.0) * out);
        Mark(0.5 * (p0 + p3), std::atan2(u.y, u.x), "an annex's joint");
        Mark(0.5 * (p0 + p1), std::atan2(out.y, out.x), "an annex's wall");
        Note("an annex " + Num(t) + " thick");
        return true;
    }

    // A straight flight along wall 0, or one turning left on a landing,
    // from the floor to the next; kept 25 or more from every inner face.
    bool Stair(const Ring& ring) {
        const double width = std::round(random_.Uniform(80.0, 110.0));
        const P u = (1.0 / Len(ring.c[1] - ring.c[0])) * (ring.c[1] - ring.c[0]), v = Left(u);
        const P origin = ring.inner[0] + (width + 40.0) * v + random_.Uniform(40.0, 120.0) * u;
        std::vector<std::string> path;
        std::vector<P> points;
        const bool landing = random_.Uniform(0, 1) < 0.5;
        if (!landing) {
            const double run = std::round(random_.Uniform(400.0, 480.0));
            points = {origin, origin + run * u};
            path = {At(points[0]), At(points[1])};
        } else {
            const double first = std::round(random_.Uniform(150.0, 250.0)),
                         second = std::round(random_.Uniform(150.0, 250.0));
            const P b = origin + first * u, c = b + width * u, d = c + second * v;
            points = {origin, b, c, d};
            path = {At(origin), At(b), "Półpiętro", At(c), "Kondygnacja", At(d)};
        }
        // Either side of the path may be the stair's: both kept clear.
        for (std::size_t k = 0; k + 1 < points.size(); ++k) {
            const P e = (1.0 / Len(points[k + 1] - points[k])) * (points[k + 1] - points[k]);
            for (const P& p : {points[k], points[k + 1]})
                for (const double side : {-1.0, 1.0})
                    if (!Inside(ring.inner, p + side * (width + 5.0) * Left(e), 20.0)) return false;
        }
        const char* structure = random_.Uniform(0, 1) < 0.5 ? "1170" : "1172";
        Line(std::string("!dialog 226 radio ") + structure + " edit 1158 \"300\" edit 1180 \"300\" ok");
        Line("VELMSTAIRDEF"), Line("Szerokość"), Line(Num(width)), Line("Stopień"), Line("28");
        for (const std::string& l : path) Line(l);
        Line("Utwórz");
        ++script_.stairs;
        stairPick_ = 0.5 * (points[0] + points[1]);
        for (std::size_t k = 0; k + 1 < points.size(); ++k) {
            const P e = points[k + 1] - points[k];
            Mark(0.5 * (points[k] + points[k + 1]), std::atan2(e.y, e.x), "a stair's flight");
        }
        Note(landing ? "a landing stair" : "a straight stair");
        hasStair_ = true;
        return true;
    }

    // The floor slab over the room, on its outer or its axis outline, cut
    // for the stair if there is one; sometimes a second across it.
    void Slab(const Ring& ring) {
        Line("!dialog 152 click 4");
        Line("VELMFSLAB");
        const bool outer = random_.Uniform(0, 1) < 0.5;
        for (const P& p : outer ? ring.outer : ring.c) Line(At(p));
        Line("");
        if (hasStair_) Line("Obiekt"), Line("!pick " + At(stairPick_));
        Line("");
        ++script_.slabs;
        Note(hasStair_ ? "a slab with the stair's opening" : "a slab");
        hasStair_ = false;
        if (random_.Uniform(0, 1) < 0.3) {
            // Overlapping the first over a band of the room and past it.
            const P u = ring.c[1] - ring.c[0], v = ring.c[3] - ring.c[0];
            const P o = ring.c[0] + random_.Uniform(0.3, 0.6) * u + random_.Uniform(-0.2, 0.2) * v;
            Line("!dialog 152 click 4");
            Line("VELMFSLAB");
            for (const P& p : {o, o + 0.7 * u, o + 0.7 * u + 0.6 * v, o + 0.6 * v}) Line(At(p)), Extend(p);
            Line(""), Line("");
            ++script_.slabs;
            Note("an overlapping slab");
        }
    }

    // The room with the stair again on the floor above, with a window.
    void Upper() {
        const Ring& ring = rooms_[upperRoom_];
        Line("VELMSETVAR"), Line("SQPAV"), Line("300");
        const std::string t = Num(ring.t);
        Line("!dialog 145 edit 1066 \"" + t + "\" edit 1067 \"" + t + "\" click 1073");
        Line("VELMWALL");
        for (const P& p : ring.c) Line(At(p));
        Line("Zamknij");
        Opening(ring, 2, 300.0);
        Line("VELMWALL3D"), Line("");
        Note("a storey above room " + std::to_string(upperRoom_));
    }

    // A hip roof on a room's outer faces, or a gable roof on a square
    // room, at the top of its walls; girders under a hip roof's pitch.
    void Roofs() {
        for (std::size_t r = 0; r < rooms_.size(); ++r) {
            if (random_.Uniform(0, 1) < 0.4) continue;
            const Ring& ring = rooms_[r];
            const double top = upper_ && r == upperRoom_ ? 600.0 : 300.0;
            const std::string slope = Num(std::round(random_.Uniform(25.0, 70.0)));
            const bool square = std::fabs(Dot(ring.c[1] - ring.c[0], ring.c[3] - ring.c[0])) < 1e-6;
            if (square && random_.Uniform(0, 1) < 0.4) {
                Line("!dialog 151 edit 104 \"" + slope + "\" edit 106 \"" + Num(top) + "\" ok");
                Line("VELMGROOF"), Line(At(ring.c[0])), Line(At(ring.c[1])), Line(At(ring.c[3]));
                ++script_.gableRoofs;
                Note("a gable roof");
                continue;
            }
            const bool girders = random_.Uniform(0, 1) < 0.5;
            const double overhang = std::round(random_.Uniform(girders ? 20.0 : 0.0, 60.0));
            Line("!dialog 109 edit 104 \"" + slope + "\" edit 105 \"" + Num(overhang) + "\" edit 106 \"" +
                 Num(top) + "\" radio 1027 click 4");
            Line("VELMHIPROOF");
            for (const P& p : ring.outer) Line(At(p));
            Line("");
            ++script_.hipRoofs;
            Note("a hip roof");
            if (girders) {
                // Square to the gutter over wall 0, picked on it.
                const P a = ring.outer[0], b = ring.outer[1];
                const P u = (1.0 / Len(b - a)) * (b - a);
                Line("VELMGIRDER"), Line("!pick " + At(0.5 * (a + b) - overhang * Left(u))), Line("");
                ++script_.girders;
                Note("girders");
            }
        }
    }

    judge::Random random_;
    Script script_;
    std::vector<Ring> rooms_;
    bool closeTops_ = true, square_ = true, upper_ = false, hasStair_ = false;
    std::size_t upperRoom_ = 0;
    P stairPick_{0, 0};
};

inline Script RandomHouse(std::uint64_t seed) {
    return Generator(seed).Make();
}

}  // namespace cmdhouse
