// Closing faces of curved walls. Angles are unwrapped in the inner side's
// frame (its start in [0, 2 pi)); the outer side's corners are brought into
// it. A band between the two sides is zipped from their corners in the
// order of their angles, a triangle at a time, so it needs no general
// triangulation and meets each side's chords exactly.
//
// Limits: the sides are taken at one height each (their first edge's); a
// wall whose height changes along the arc is closed at that height.
#include "visual/model3d/arc_closing.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/geom_basic.h"
#include "visual/model3d/arc_sides.h"
#include "visual/model3d/wall_closing.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/outline_kind.h"
#include "walls/graph/wall_face.h"

namespace {

// One side's corners in the band's frame: angles rising, and the side's
// arc to place them.
struct Side {
    const WallFace* face = nullptr;
    std::vector<double> angles;

    Point3 At(double angle, double z) const {
        Point3 p = PolarPoint(face->arc.centre, angle, face->arc.radius);
        p.z = z;
        return p;
    }
    // Where the radius at `angle` crosses the chord of the strip holding
    // it: the corner a jamb puts on the side.
    Point3 OnChord(double angle, double z) const {
        const auto it = std::lower_bound(angles.begin(), angles.end(), angle);
        if (it == angles.end() || it == angles.begin() || std::fabs(*it - angle) <= GeomEpsilon)
            return At(angle, z);
        const Point3 a = At(*(it - 1), z), b = At(*it, z), c = face->arc.centre;
        const double ux = std::cos(angle), uy = std::sin(angle);
        const double ex = b.x - a.x, ey = b.y - a.y;
        const double den = ux * ey - uy * ex;
        if (std::fabs(den) <= GeomEpsilon) return At(angle, z);
        const double s = ((a.x - c.x) * ey - (a.y - c.y) * ex) / den;
        return {c.x + s * ux, c.y + s * uy, z};
    }
    // The corners from `from` to `to`: the ends on their chords and the
    // strip lines between.
    std::vector<std::pair<double, Point3>> Between(double from, double to, double z) const {
        std::vector<std::pair<double, Point3>> out{{from, OnChord(from, z)}};
        for (double a : angles)
            if (a > from + GeomEpsilon && a < to - GeomEpsilon) out.push_back({a, At(a, z)});
        out.push_back({to, OnChord(to, z)});
        return out;
    }
};

Side SideOf(const WallFace& face, double step, double frameStart) {
    Side s{&face, ArcStations(face, step)};
    if (s.angles.empty()) return s;
    // Into the frame: the start nearest the frame's start.
    const double shift = TwoPi() * std::round((s.angles.front() - frameStart) / TwoPi());
    for (double& a : s.angles) a -= shift;
    return s;
}

// The band between two rows of corners at one height, both rising in
// angle; its ends are the edges first-first and last-last.
void Band(const std::string& layer, const std::vector<std::pair<double, Point3>>& a,
          const std::vector<std::pair<double, Point3>>& b, const Point3& foot) {
    std::size_t i = 0, j = 0;
    while (i + 1 < a.size() || j + 1 < b.size()) {
        const bool onA = j + 1 >= b.size() || (i + 1 < a.size() && a[i + 1].first <= b[j + 1].first);
        if (onA) {
            MakeClosingFace(layer, {a[i].second, a[i + 1].second, b[j].second}, foot);
            ++i;
        } else {
            MakeClosingFace(layer, {a[i].second, b[j + 1].second, b[j].second}, foot);
            ++j;
        }
    }
}

// The opening's span on the arc in the frame, the shorter way round.
void Span(const OutlineNode& o, double frameStart, double& from, double& to) {
    double a = o.gapAngle[0], b = o.gapAngle[1];
    if (AngleDiffCcw(a, b) > std::numbers::pi) std::swap(a, b);
    from = frameStart + AngleDiffCcw(frameStart, a);
    if (from - frameStart > std::numbers::pi) from -= TwoPi();
    to = from + AngleDiffCcw(a, b);
}

bool Overlap(const Side& a, const Side& b) {
    return !a.angles.empty() && !b.angles.empty() && a.angles.front() < b.angles.back() - GeomEpsilon &&
           b.angles.front() < a.angles.back() - GeomEpsilon;
}

}  // namespace

void ArcSideHeights(const WallFace& face, double elevation, double height, double& bottom, double& top) {
    bottom = elevation, top = elevation + height;
    if (face.arcEdges) bottom = face.arcEdges->bottomZ, top = face.arcEdges->topZ;
}

const WallFace* ArcWallPartner(const CFACCIATE& graph, const WallFace& face) {
    const WallFace* best = nullptr;
    // A step fine enough that the spans are the arcs', not the strips'.
    const Side self = SideOf(face, face.arc.radius / 8.0, 0.0);
    for (const WallFace* f = graph.faces; f; f = f->next) {
        if (f == &face || !f->isArc() || Distance2d(f->arc.centre, face.arc.centre) > SharedTolerance)
            continue;
        const double dr = std::fabs(f->arc.radius - face.arc.radius);
        if (dr <= SharedTolerance || (best && dr >= std::fabs(best->arc.radius - face.arc.radius))) continue;
        const Side other = SideOf(*f, f->arc.radius / 8.0, self.angles.empty() ? 0.0 : self.angles.front());
        if (Overlap(self, other)) best = f;
    }
    return best;
}

void CloseArcOpenings(const WallFace& face, const WallFace& partner, const std::string& layer, double step,
                      double bottom, double top) {
    if (face.arc.radius >= partner.arc.radius) return;
    const Side in = SideOf(face, step, 0.0);
    if (in.angles.empty()) return;
    const Side out = SideOf(partner, step, in.angles.front());
    if (out.angles.empty()) return;
    std::vector<const OutlineNode*> done;
    for (const OutlineLink* l = face.outlineLinks; l; l = l->next) {
        const OutlineNode* o = l->outline;
        if (!o || o->kind != OutlineKind::ArcWallOpening) continue;
        if (std::find(done.begin(), done.end(), o) != done.end()) continue;
        done.push_back(o);
        double from, to, zmin, zmax;
        Span(*o, in.angles.front(), from, to);
        OpeningRange(*o, zmin, zmax);
        // An opening over or under the wall leaves it whole.
        zmin = std::max(zmin, bottom), zmax = std::min(zmax, top);
        if (zmax - zmin <= SharedTolerance || to - from <= GeomEpsilon) continue;
        for (const double at : {from, to}) {
            if (at <= in.angles.front() + GeomEpsilon || at >= in.angles.back() - GeomEpsilon) continue;
            MakeClosingFace(
                layer,
                {in.OnChord(at, zmin), out.OnChord(at, zmin), out.OnChord(at, zmax), in.OnChord(at, zmax)},
                in.At(at, zmin));
        }
        const double a = std::max(from, in.angles.front()), b = std::min(to, in.angles.back());
        for (const double z : {zmin, zmax}) {
            if (z <= bottom + SharedTolerance || z >= top - SharedTolerance) continue;
            Band(layer, in.Between(a, b, z), out.Between(a, b, z), in.At(a, zmin));
        }
    }
}

void CloseArcSide(const WallClosing& ends, const CFACCIATE& graph, const WallFace& face,
                  const std::string& layer, double step, double bottom, double top) {
    if (top - bottom <= SharedTolerance) return;
    if (const WallFace* partner = ArcWallPartner(graph, face))
        CloseArcOpenings(face, *partner, layer, step, bottom, top);
    const Point3 a = face.firstPoint(), b = face.lastPoint();
    ends.Close(face, layer, {{a.x, a.y, bottom}, {a.x, a.y, top}, {b.x, b.y, bottom}, {b.x, b.y, top}});
}

void ArcWallCaps(const CFACCIATE& graph, const std::string& layer, double step, double elevation,
                 double height) {
    for (const WallFace* f = graph.faces; f; f = f->next) {
        if (!f->isArc()) continue;
        const WallFace* partner = ArcWallPartner(graph, *f);
        if (!partner || f->arc.radius >= partner->arc.radius) continue;
        const Side in = SideOf(*f, step, 0.0);
        if (in.angles.empty()) continue;
        const Side out = SideOf(*partner, step, in.angles.front());
        if (out.angles.empty()) continue;
        double bottom, top;
        ArcSideHeights(*f, elevation, height, bottom, top);
        // The spans of the openings that leave no foot, and of those that
        // reach the top.
        std::vector<std::pair<double, double>> feet, heads;
        for (const OutlineLink* l = f->outlineLinks; l; l = l->next) {
            const OutlineNode* o = l->outline;
            if (!o || o->kind != OutlineKind::ArcWallOpening) continue;
            double from, to, zmin, zmax;
            Span(*o, in.angles.front(), from, to);
            OpeningRange(*o, zmin, zmax);
            if (zmin >= top - SharedTolerance || zmax <= bottom + SharedTolerance) continue;
            if (zmin <= bottom + SharedTolerance) feet.push_back({from, to});
            if (zmax >= top - SharedTolerance) heads.push_back({from, to});
        }
        // The wall's own ends are where each side stops; a gap's ends
        // where the radius crosses the outer side.
        auto band = [&](double z, double a, double b) {
            const double oa = a <= in.angles.front() + GeomEpsilon ? out.angles.front() : a;
            const double ob = b >= in.angles.back() - GeomEpsilon ? out.angles.back() : b;
            // Its record stands inside the wall, between the sides: a side
            // made again alone takes the faces standing on it, not the cap.
            Point3 foot =
                PolarPoint(f->arc.centre, (a + b) / 2.0, (f->arc.radius + partner->arc.radius) / 2.0);
            foot.z = z;
            Band(layer, in.Between(a, b, z), out.Between(oa, ob, z), foot);
        };
        // A cap at z along the side, broken at the gaps.
        auto cap = [&](double z, std::vector<std::pair<double, double>>& gaps) {
            std::sort(gaps.begin(), gaps.end());
            double from = in.angles.front();
            for (const auto& [a, b] : gaps) {
                if (a > from + GeomEpsilon) band(z, from, a);
                from = std::max(from, b);
            }
            if (in.angles.back() > from + GeomEpsilon) band(z, from, in.angles.back());
        };
        cap(top, heads);
        cap(bottom, feet);
    }
}
