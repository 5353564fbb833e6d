// The caps of a section (see section_caps.h).
//
//   1. The cut edges of every face (edge word below 0), of all layers, and
//      those of the slivers too slender to be faces (a plane a hair before
//      a ridge leaves them), with the 3D walls' feet and tops drawn across
//      where their faces' cuts end free, are split at the ends of the
//      others that lie on them, so that cuts of different solids meeting in
//      a T share their vertices, and edges given twice (two solids touching
//      along their cuts) are kept once.
//      Pieces however short are kept: a plane across a fan of slivers
//      cuts it into a run of pieces each shorter than the tolerance.
//   2. The bounded faces of the plan graph those edges make are the rings;
//      ends within the tolerance of each other, and so on along a run of
//      them, are one vertex. A piece of the graph inside a face of another
//      is that face's hole.
//   3. Each ring is tried at a few points inside it: a point lies in the
//      walls when a level row through it crosses the walls' cut an odd
//      number of times before it, and in another solid when the rays from
//      it cross that solid's faces behind the ring's plane an odd number of
//      times; the ring is a cap when most points lie in some solid. A face
//      counts from as near the plane as the cut itself keeps faces.
//
// A cap goes into the wall outline list when no outline found per layer
// holds it, and shadow pieces lose what lies inside a cap: the hollow face
// set puts the inner faces of a cut solid "in shade" behind its cut.
#include "visual/views/section_caps.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "core/geometry/box_index.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/polygon.h"
#include "core/geometry/ring_difference.h"
#include "core/geometry/vertex_list.h"
#include "host/util/nocase.h"
#include "visual/views/polygon_clip.h"
#include "visual/views/section_faces.h"
#include "visual/views/segment_ops.h"
#include "visual/views/view_shading.h"

namespace {

struct Cut {
    Point3 a, b;
    bool wall = false;  // the cut of a 3D wall's face
};

void PlanBox(const Point3& a, const Point3& b, double box[4]) {
    box[0] = std::min(a.x, b.x);
    box[1] = std::min(a.y, b.y);
    box[2] = std::max(a.x, b.x);
    box[3] = std::max(a.y, b.y);
}

void RingBox(const VertexNode* ring, double box[4]) {
    box[0] = box[2] = ring->x;
    box[1] = box[3] = ring->y;
    for (const VertexNode* v = ring; v; v = v->next) {
        box[0] = std::min(box[0], v->x), box[1] = std::min(box[1], v->y);
        box[2] = std::max(box[2], v->x), box[3] = std::max(box[3], v->y);
    }
}

// The plane (a, b, c, d of ax + by + cz + d = 0) of a ring by Newell's
// sums; false for a ring without area or seen edge-on.
bool RingPlane(const VertexNode* ring, double plane[4]) {
    double n[3] = {0.0, 0.0, 0.0}, centre[3] = {0.0, 0.0, 0.0};
    int count = 0;
    for (const VertexNode* v = ring; v; v = v->next) {
        const VertexNode* w = v->next ? v->next : ring;
        n[0] += (v->y - w->y) * (v->z + w->z);
        n[1] += (v->z - w->z) * (v->x + w->x);
        n[2] += (v->x - w->x) * (v->y + w->y);
        centre[0] += v->x, centre[1] += v->y, centre[2] += v->z;
        ++count;
    }
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (count < 3 || !(length > 0.0) || !(std::fabs(n[2]) > 1e-9 * length)) return false;
    for (double& k : n) k /= length;
    plane[0] = n[0], plane[1] = n[1], plane[2] = n[2];
    plane[3] = -(n[0] * centre[0] + n[1] * centre[1] + n[2] * centre[2]) / count;
    return true;
}

double PlaneZ(const double plane[4], double x, double y) {
    return -(plane[0] * x + plane[1] * y + plane[3]) / plane[2];
}

// Points well inside the ring: on the widest spans of a few horizontal
// lines across it, at heights no vertex is likely to share, `along` the
// span from its left end.
std::vector<Point3> InnerPoints(const VertexNode* ring, double t, double along = 0.5) {
    double box[4];
    RingBox(ring, box);
    std::vector<Point3> out;
    for (const double f : {0.5123, 0.3071, 0.6937}) {
        const double y = box[1] + f * (box[3] - box[1]);
        std::vector<double> xs;
        for (const VertexNode* v = ring; v; v = v->next) {
            const VertexNode* w = v->next ? v->next : ring;
            if ((v->y > y) == (w->y > y)) continue;
            xs.push_back(v->x + (y - v->y) * (w->x - v->x) / (w->y - v->y));
        }
        std::sort(xs.begin(), xs.end());
        double best = 2.0 * t, at = 0.0;
        for (std::size_t k = 0; k + 1 < xs.size(); k += 2)
            if (xs[k + 1] - xs[k] > best) best = xs[k + 1] - xs[k], at = xs[k] + along * (xs[k + 1] - xs[k]);
        if (best > 2.0 * t) out.push_back({at, y, 0.0});
    }
    return out;
}

// A face's unit normal by Newell's sums; false for a face without area.
bool FaceNormal(const SectionFace& f, double n[3]) {
    n[0] = n[1] = n[2] = 0.0;
    const int count = f.cornerCount();
    for (int k = 0; k < count; ++k) {
        const Point3& v = f.corners[k];
        const Point3& w = f.corners[(k + 1) % count];
        n[0] += (v.y - w.y) * (v.z + w.z);
        n[1] += (v.z - w.z) * (v.x + w.x);
        n[2] += (v.x - w.x) * (v.y + w.y);
    }
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0.0)) return false;
    for (int k = 0; k < 3; ++k) n[k] /= length;
    return true;
}

// The solids of the face set: faces joined through corners within t of
// each other are one solid, and so are all faces of the 3D walls. A solid whose faces all lie in one plane is
// a sheet (a door leaf, a pane): it bounds nothing, and a ray crossing it neither enters nor leaves anything.
struct Solids {
    std::vector<int> of;        // by face, in list order
    std::vector<char> isSheet;  // by solid
};

Solids SolidsOf(const std::vector<const SectionFace*>& faces, double t) {
    const std::size_t n = faces.size();
    std::vector<std::size_t> root(n);
    for (std::size_t i = 0; i < n; ++i) root[i] = i;
    const auto find = [&root](std::size_t i) {
        while (root[i] != i) i = root[i] = root[root[i]];
        return i;
    };
    BoxIndex corners;
    std::vector<std::pair<Point3, std::size_t>> at;
    for (std::size_t i = 0; i < n; ++i)
        for (int k = 0; k < faces[i]->cornerCount(); ++k) {
            const Point3& p = faces[i]->corners[k];
            const double box[4] = {p.x, p.y, p.x, p.y};
            corners.Add(box);
            at.push_back({p, i});
        }
    corners.Build(t);
    for (std::size_t e = 0; e < at.size(); ++e) {
        const Point3& p = at[e].first;
        const double box[4] = {p.x, p.y, p.x, p.y};
        for (int o : corners.Query(box)) {
            const auto& [q, face] = at[static_cast<std::size_t>(o)];
            if (std::fabs(p.x - q.x) > t || std::fabs(p.y - q.y) > t || std::fabs(p.z - q.z) > t) continue;
            const std::size_t a = find(at[e].second), b = find(face);
            if (a != b) root[std::max(a, b)] = std::min(a, b);
        }
    }
    // The walls' faces are one solid: open at their foot and top, a
    // wall's inner and outer faces share no corner.
    std::size_t firstWall = n;
    for (std::size_t i = 0; i < n; ++i) {
        if (!IsWallLayerName(faces[i]->layer)) continue;
        if (firstWall == n) firstWall = i;
        const std::size_t a = find(firstWall), b = find(i);
        if (a != b) root[std::max(a, b)] = std::min(a, b);
    }
    Solids out;
    out.of.assign(n, -1);
    std::vector<int> idOf(n, -1);
    std::vector<std::size_t> first;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t r = find(i);
        if (idOf[r] < 0) {
            idOf[r] = static_cast<int>(first.size());
            first.push_back(i);
            out.isSheet.push_back(1);
        }
        out.of[i] = idOf[r];
    }
    // A sheet: every corner within t of the plane of its first face.
    std::vector<double> planeOf(first.size() * 4, 0.0);
    std::vector<char> hasPlane(first.size(), 0);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t s = static_cast<std::size_t>(out.of[i]);
        if (!out.isSheet[s]) continue;
        double normal[3];
        if (!hasPlane[s]) {
            if (!FaceNormal(*faces[i], normal)) continue;
            hasPlane[s] = 1;
            const Point3& p = faces[i]->corners[0];
            for (int k = 0; k < 3; ++k) planeOf[4 * s + k] = normal[k];
            planeOf[4 * s + 3] = -(normal[0] * p.x + normal[1] * p.y + normal[2] * p.z);
        }
        for (int k = 0; k < faces[i]->cornerCount(); ++k) {
            const Point3& p = faces[i]->corners[k];
            const double off = planeOf[4 * s] * p.x + planeOf[4 * s + 1] * p.y + planeOf[4 * s + 2] * p.z +
                               planeOf[4 * s + 3];
            if (std::fabs(off) > t) out.isSheet[s] = 0;
        }
    }
    return out;
}

// The faces of the section's face set as plan triangles, for rays along
// one direction, each with its solid; the faces of sheets and of the 3D
// walls (judged by their rows) are left out. The rays run along +z sheared
// by `shear` in x: x' = x - shear * z.
class RayCounter {
public:
    RayCounter(const std::vector<const SectionFace*>& faces, const Solids& solids, double shear)
        : shear_(shear) {
        for (std::size_t i = 0; i < faces.size(); ++i) {
            const SectionFace* f = faces[i];
            const int solid = solids.of[i];
            if (solids.isSheet[static_cast<std::size_t>(solid)] || IsWallLayerName(f->layer)) continue;
            const int n = f->cornerCount();
            for (int k = 1; k + 1 < n; ++k) {
                const Tri t3{Sheared(f->corners[0]), Sheared(f->corners[k]), Sheared(f->corners[k + 1]),
                             solid};
                const double area =
                    (t3.b.x - t3.a.x) * (t3.c.y - t3.a.y) - (t3.c.x - t3.a.x) * (t3.b.y - t3.a.y);
                if (!(std::fabs(area) > 0.0)) continue;
                double box[4];
                PlanBox(t3.a, t3.b, box);
                box[0] = std::min(box[0], t3.c.x), box[1] = std::min(box[1], t3.c.y);
                box[2] = std::max(box[2], t3.c.x), box[3] = std::max(box[3], t3.c.y);
                tris_.push_back(t3);
                index_.Add(box);
            }
        }
        index_.Build(0.0);
    }

    // Whether the ray from p (along +z), beyond p's depth plus t, crosses
    // the faces of some solid an odd number of times: p lies inside that
    // solid. Solids are counted apart, so where two overlap the point is
    // inside both, not outside.
    bool InsideSome(const Point3& p, double t) { return Inside(Sheared(p), t, -1); }

private:
    Point3 Sheared(const Point3& p) const { return {p.x - shear_ * p.z, p.y, p.z}; }

    // Inside the solid given, or some solid when it is -1.
    bool Inside(const Point3& p, double t, int only) {
        const double box[4] = {p.x, p.y, p.x, p.y};
        crossed_.clear();
        for (int i : index_.Query(box)) {
            const Tri& f = tris_[i];
            if (only >= 0 && f.solid != only) continue;
            const double d = (f.b.x - f.a.x) * (f.c.y - f.a.y) - (f.c.x - f.a.x) * (f.b.y - f.a.y);
            const double u = ((f.b.x - p.x) * (f.c.y - p.y) - (f.c.x - p.x) * (f.b.y - p.y)) / d;
            const double v = ((f.c.x - p.x) * (f.a.y - p.y) - (f.a.x - p.x) * (f.c.y - p.y)) / d;
            const double w = 1.0 - u - v;
            if (!(u > 0.0 && v > 0.0 && w > 0.0)) continue;
            if (u * f.a.z + v * f.b.z + w * f.c.z > p.z + t) crossed_.push_back(f.solid);
        }
        std::sort(crossed_.begin(), crossed_.end());
        for (std::size_t k = 0; k < crossed_.size();) {
            std::size_t run = k;
            while (run < crossed_.size() && crossed_[run] == crossed_[k]) ++run;
            if ((run - k) % 2 == 1) return true;
            k = run;
        }
        return false;
    }

    struct Tri {
        Point3 a, b, c;
        int solid;
    };
    std::vector<Tri> tris_;
    std::vector<int> crossed_;
    BoxIndex index_;
    double shear_;
};

// Whether points lie inside solids other than the walls, by rays in three
// directions: straight back along the view and turned a third of a right
// angle to either side, each kept level. A point is inside by two of the
// three, so that one ray running along a face, or through the seam of two,
// does not decide.
class FaceRays {
public:
    FaceRays(const SectionFace* list, double t) {
        std::vector<const SectionFace*> faces;
        for (const SectionFace* f = list; f; f = f->next) faces.push_back(f);
        const Solids solids = SolidsOf(faces, t);
        for (const double shear : {0.0, 0.577, -0.577}) counters_.emplace_back(faces, solids, shear);
    }

    bool InsideSome(const Point3& p, double t) {
        int votes = 0;
        for (RayCounter& c : counters_) votes += c.InsideSome(p, t) ? 1 : 0;
        return votes >= 2;
    }

private:
    std::vector<RayCounter> counters_;
};

// Whether points lie inside the 3D walls, by the walls' own cut edges in
// the plane. The walls stand upright, open at their foot and top only, so
// a level row through a point crosses their cut an odd number of times
// before it when the point lies in a wall. Rays behind the plane would
// not do: one that runs along a wall leaves it through a door's opening,
// whose reveals are the door's own faces, and never crosses a wall face.
class WallRows {
public:
    explicit WallRows(const std::vector<Cut>& cuts) {
        for (const Cut& c : cuts)
            if (c.wall && c.a.y != c.b.y) edges_.push_back(c);
        // Bands between the heights the edges end at, each with the edges
        // across it in order along the row: a row is then counted by a
        // search, not a walk along it. Where the edges end at too many
        // heights for that (a run of gables), rows are walked.
        for (const Cut& c : edges_) heights_.push_back(c.a.y), heights_.push_back(c.b.y);
        std::sort(heights_.begin(), heights_.end());
        heights_.erase(std::unique(heights_.begin(), heights_.end()), heights_.end());
        std::size_t entries = 0;
        for (const Cut& c : edges_) entries += Band(std::max(c.a.y, c.b.y)) - Band(std::min(c.a.y, c.b.y));
        if (heights_.size() < 2 || entries > kMostEntries) {
            banded_ = false;
            return;
        }
        bands_.assign(heights_.size() - 1, {});
        for (std::size_t i = 0; i < edges_.size(); ++i) {
            const Cut& c = edges_[i];
            for (std::size_t b = Band(std::min(c.a.y, c.b.y)); b < Band(std::max(c.a.y, c.b.y)); ++b)
                bands_[b].push_back(i);
        }
        for (std::size_t b = 0; b < bands_.size(); ++b) {
            const double y = (heights_[b] + heights_[b + 1]) / 2.0;
            std::sort(bands_[b].begin(), bands_[b].end(),
                      [&](std::size_t i, std::size_t j) { return X(edges_[i], y) < X(edges_[j], y); });
        }
    }

    bool Inside(const Point3& p) const {
        std::size_t before = 0;
        if (banded_) {
            if (p.y < heights_.front() || !(p.y < heights_.back())) return false;
            const std::vector<std::size_t>& band = bands_[Band(p.y)];
            before = static_cast<std::size_t>(
                std::partition_point(band.begin(), band.end(),
                                     [&](std::size_t i) { return X(edges_[i], p.y) < p.x; }) -
                band.begin());
        } else {
            for (const Cut& c : edges_)
                if ((c.a.y > p.y) != (c.b.y > p.y) && X(c, p.y) < p.x) ++before;
        }
        return before % 2 == 1;
    }

private:
    static constexpr std::size_t kMostEntries = 4000000;

    static double X(const Cut& c, double y) {
        return c.a.x + (y - c.a.y) * (c.b.x - c.a.x) / (c.b.y - c.a.y);
    }

    // The band a height lies in: the last whose foot is at or below it.
    std::size_t Band(double y) const {
        return static_cast<std::size_t>(std::upper_bound(heights_.begin(), heights_.end(), y) -
                                        heights_.begin()) -
               1;
    }

    std::vector<Cut> edges_;
    std::vector<double> heights_;
    std::vector<std::vector<std::size_t>> bands_;
    bool banded_ = true;
};

// Where c and o cross in plan, more than t from the ends of both.
bool CrossingWithin(const Cut& c, const Cut& o, double t, Point3& out) {
    const double rx = c.b.x - c.a.x, ry = c.b.y - c.a.y;
    const double sx = o.b.x - o.a.x, sy = o.b.y - o.a.y;
    const double lr = std::hypot(rx, ry), ls = std::hypot(sx, sy);
    const double den = rx * sy - ry * sx;
    if (!(lr > 0.0) || !(ls > 0.0) || !(std::fabs(den) > 1e-9 * lr * ls)) return false;
    const double wx = o.a.x - c.a.x, wy = o.a.y - c.a.y;
    const double u = (wx * sy - wy * sx) / den, v = (wx * ry - wy * rx) / den;
    if (u * lr <= t || (1.0 - u) * lr <= t || v * ls <= t || (1.0 - v) * ls <= t) return false;
    out = {c.a.x + u * rx, c.a.y + u * ry, 0.0};
    return true;
}

// The plan boxes of the cuts, indexed in their order.
BoxIndex SpanIndex(const std::vector<Cut>& cuts, double t) {
    BoxIndex index;
    for (const Cut& c : cuts) {
        double box[4];
        PlanBox(c.a, c.b, box);
        index.Add(box);
    }
    index.Build(t);
    return index;
}

// The 3D walls are open at their foot and top, so the cut of a wall is
// bounded only at its sides: the faces' cuts end free where the wall
// stands and where it ends above. From each free end, on the side where
// the wall lies (a point just inside lies in the walls by the rays), the
// foot or top is drawn across to the first cut it meets at that height:
// the other face, a jamb, a slab resting on part of the wall. A wall's cut
// then closes into a ring of the plan graph however its faces run, past a
// window's jamb, sill and head as along a plain wall, and at any slant of
// the plane; the void between two walls is never closed.
std::vector<Cut> WallFeetAndTops(const std::vector<Cut>& cuts, WallRows& rows, double t) {
    std::vector<Cut> joins;
    BoxIndex spans = SpanIndex(cuts, t);
    double all[4] = {1e300, 1e300, -1e300, -1e300};
    for (const Cut& c : cuts)
        for (const Point3& p : {c.a, c.b})
            all[0] = std::min(all[0], p.x), all[1] = std::min(all[1], p.y), all[2] = std::max(all[2], p.x),
            all[3] = std::max(all[3], p.y);
    // An end is free when it touches no other cut, at its end or along it.
    const auto touches = [&](std::size_t self, const Point3& p) {
        const double box[4] = {p.x, p.y, p.x, p.y};
        for (int j : spans.Query(box)) {
            if (static_cast<std::size_t>(j) == self) continue;
            const Cut& o = cuts[static_cast<std::size_t>(j)];
            if (Distance2d(p, o.a) <= t || Distance2d(p, o.b) <= t) return true;
            const double length = Distance2d(o.a, o.b);
            const double along = ((p.x - o.a.x) * (o.b.x - o.a.x) + (p.y - o.a.y) * (o.b.y - o.a.y)) / length;
            const double off = ((o.b.x - o.a.x) * (p.y - o.a.y) - (o.b.y - o.a.y) * (p.x - o.a.x)) / length;
            if (along >= -t && along <= length + t && std::fabs(off) <= t) return true;
        }
        return false;
    };
    // The nearest x, beyond t from p along the row at p's height in the
    // direction `dir` and within the box, where a cut other than `self`
    // meets the row.
    const auto metWithin = [&](std::size_t self, const Point3& p, double dir, const double box[4],
                               double& hit) {
        bool found = false;
        for (int j : spans.Query(box)) {
            if (static_cast<std::size_t>(j) == self) continue;
            const Cut& o = cuts[static_cast<std::size_t>(j)];
            double xs[2];
            int n = 0;
            if (std::fabs(o.b.y - o.a.y) <= t) {
                // Along the row: met at its nearer end.
                if (std::fabs((o.a.y + o.b.y) / 2.0 - p.y) > t) continue;
                xs[n++] = o.a.x, xs[n++] = o.b.x;
            } else {
                if (p.y < std::min(o.a.y, o.b.y) - t || p.y > std::max(o.a.y, o.b.y) + t) continue;
                const double s = std::clamp((p.y - o.a.y) / (o.b.y - o.a.y), 0.0, 1.0);
                xs[n++] = o.a.x + s * (o.b.x - o.a.x);
            }
            for (int k = 0; k < n; ++k) {
                const double d = (xs[k] - p.x) * dir;
                if (d > t && (!found || d < (hit - p.x) * dir)) hit = xs[k], found = true;
            }
        }
        return found;
    };
    // The row is searched in stretches four times longer each, so that a
    // row across a whole floor of walls costs what the nearest wall does.
    const double whole = all[2] - all[0];
    const auto firstMet = [&](std::size_t self, const Point3& p, double dir, double& hit) {
        for (double reach = std::max(whole / 4096.0, 64.0 * t);; reach *= 4.0) {
            const double box[4] = {dir > 0.0 ? p.x : p.x - reach, p.y, dir > 0.0 ? p.x + reach : p.x, p.y};
            if (metWithin(self, p, dir, box, hit) && (std::fabs(hit - p.x) <= reach || reach >= whole))
                return true;
            if (reach >= whole) return false;
        }
    };
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        const Cut& c = cuts[i];
        if (!c.wall || !(std::fabs(c.b.y - c.a.y) > t)) continue;
        for (int e = 0; e < 2; ++e) {
            const Point3& p = e == 0 ? c.a : c.b;
            const double rise = (e == 0 ? c.b.y : c.a.y) - p.y;  // + above a foot, - below a top
            if (touches(i, p)) continue;
            // A step in, off the foot or top.
            const double in = std::min(std::fabs(rise) / 4.0, 1.0);
            for (const double dir : {-1.0, 1.0}) {
                const Point3 probe{p.x + dir * 0.731 * in, p.y + (rise > 0.0 ? 0.613 : -0.613) * in, p.z};
                double hit = 0.0;
                if (!rows.Inside(probe) || !firstMet(i, p, dir, hit)) continue;
                joins.push_back({p, {hit, p.y, p.z}, true});
            }
        }
    }
    return joins;
}

// Step 1: the cut edges of all faces and of the slivers too slender to be
// faces, split at the cut ends lying on them, each once.
std::vector<Cut> FaceCuts(const CSezione& section) {
    std::vector<Cut> cuts;
    for (const SectionFace* f = section.faces; f; f = f->next) {
        const int n = f->cornerCount();
        const bool wall = IsWallLayerName(f->layer);
        for (int k = 0; k < n; ++k) {
            if (f->edgeWords[k] >= 0) continue;
            const Point3& a = f->corners[k];
            const Point3& b = f->corners[(k + 1) % n];
            if (Distance2d(a, b) > 0.0) cuts.push_back({a, b, wall});
        }
    }
    for (const auto& [a, b] : section.slenderCutEdges)
        if (Distance2d(a, b) > 0.0) cuts.push_back({a, b});
    return cuts;
}

std::vector<Cut> CutEdges(std::vector<Cut> cuts, double t) {
    BoxIndex ends;
    for (const Cut& c : cuts)
        for (const Point3& p : {c.a, c.b}) {
            const double box[4] = {p.x, p.y, p.x, p.y};
            ends.Add(box);
        }
    ends.Build(t);
    BoxIndex spans = SpanIndex(cuts, t);
    std::vector<Cut> split;
    std::vector<std::pair<double, Point3>> at;
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        const Cut& c = cuts[i];
        double box[4];
        PlanBox(c.a, c.b, box);
        at.clear();
        for (int e : ends.Query(box)) {
            const Cut& o = cuts[static_cast<std::size_t>(e) / 2];
            const Point3& p = e % 2 == 0 ? o.a : o.b;
            if (Distance2d(p, c.a) <= t || Distance2d(p, c.b) <= t) continue;
            if (ClassifyPointOnSegment2d(c.a, c.b, p, false, t) != 2) continue;
            const double length = Distance2d(c.a, c.b);
            const double off = ((c.b.x - c.a.x) * (p.y - c.a.y) - (c.b.y - c.a.y) * (p.x - c.a.x)) / length;
            if (std::fabs(off) > t) continue;
            at.push_back({Distance2d(c.a, p), {p.x, p.y, SegmentZAt2d(c.a, c.b, p.x, p.y)}});
        }
        // Cuts of solids that run into each other cross away from their ends.
        for (int j : spans.Query(box)) {
            if (static_cast<std::size_t>(j) == i) continue;
            Point3 x;
            if (!CrossingWithin(c, cuts[static_cast<std::size_t>(j)], t, x)) continue;
            at.push_back({Distance2d(c.a, x), {x.x, x.y, SegmentZAt2d(c.a, c.b, x.x, x.y)}});
        }
        std::sort(at.begin(), at.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
        Point3 from = c.a;
        for (const auto& [distance, p] : at) {
            if (Distance2d(from, p) <= t) continue;
            split.push_back({from, p, c.wall});
            from = p;
        }
        // The last piece is kept however short: a cut may be a run of
        // pieces each shorter than t (a fan of slivers meeting at a
        // corner), and what joins its ends is the vertices' merging.
        if (Distance2d(from, c.b) > 0.0) split.push_back({from, c.b, c.wall});
    }

    BoxIndex boxes = SpanIndex(split, t);
    std::vector<Cut> once;
    std::vector<char> twice(split.size(), 0);
    for (std::size_t i = 0; i < split.size(); ++i) {
        if (twice[i]) continue;
        const Cut& c = split[i];
        once.push_back(c);
        // Two pieces no longer than 2t may be neighbours on one run, their
        // ends all within t: the graph's own merging keeps them once.
        if (Distance2d(c.a, c.b) <= 2.0 * t) continue;
        double box[4];
        PlanBox(c.a, c.b, box);
        for (int j : boxes.Query(box)) {
            if (static_cast<std::size_t>(j) <= i) continue;
            const Cut& o = split[static_cast<std::size_t>(j)];
            if ((Distance2d(c.a, o.a) <= t && Distance2d(c.b, o.b) <= t) ||
                (Distance2d(c.a, o.b) <= t && Distance2d(c.b, o.a) <= t))
                twice[static_cast<std::size_t>(j)] = 1;
        }
    }
    return once;
}

// Whether p lies inside the ring of points, by crossings.
bool InsidePoints(const std::vector<Point3>& ring, const Point3& p) {
    bool in = false;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        if ((ring[i].y > p.y) != (ring[j].y > p.y) &&
            p.x < ring[j].x + (p.y - ring[j].y) * (ring[i].x - ring[j].x) / (ring[i].y - ring[j].y))
            in = !in;
    return in;
}

double PointsArea(const std::vector<Point3>& ring) {
    double area = 0.0;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        area += ring[j].x * ring[i].y - ring[i].x * ring[j].y;
    return area / 2.0;
}

// A piece of the graph lying inside a bounded face of another (a window's
// opening inside the cut of the wall along it) is a hole in that face: its
// outer bound is joined into the face's ring by a bridge from its
// rightmost corner level to the right, to the first edge of the face met,
// in and back out along the bridge. The face then stands for the cut
// without its hole, to the rays and to the hatch alike. Holes are joined
// from the right, so a bridge meets only the face or holes joined before.
void WithHoles(std::vector<std::vector<Point3>>& faces, const std::vector<std::vector<Point3>>& bounds) {
    if (bounds.empty() || faces.empty()) return;
    BoxIndex boxes;
    for (const std::vector<Point3>& face : faces) {
        double box[4] = {face[0].x, face[0].y, face[0].x, face[0].y};
        for (const Point3& p : face)
            box[0] = std::min(box[0], p.x), box[1] = std::min(box[1], p.y), box[2] = std::max(box[2], p.x),
            box[3] = std::max(box[3], p.y);
        boxes.Add(box);
    }
    boxes.Build(0.0);
    // Each bound's rightmost corner, and the smallest face holding it.
    struct Hole {
        std::size_t bound, right, face;
    };
    std::vector<Hole> holes;
    for (std::size_t b = 0; b < bounds.size(); ++b) {
        const std::vector<Point3>& bound = bounds[b];
        std::size_t right = 0;
        for (std::size_t k = 1; k < bound.size(); ++k)
            if (bound[k].x > bound[right].x) right = k;
        const Point3& m = bound[right];
        const double box[4] = {m.x, m.y, m.x, m.y};
        std::size_t best = faces.size();
        double bestArea = 0.0;
        for (int f : boxes.Query(box)) {
            const std::vector<Point3>& face = faces[static_cast<std::size_t>(f)];
            if (!InsidePoints(face, m)) continue;
            const double area = PointsArea(face);
            // The bound's own piece lies inside it, never around it.
            if (area <= -PointsArea(bound)) continue;
            if (best == faces.size() || area < bestArea) best = static_cast<std::size_t>(f), bestArea = area;
        }
        if (best < faces.size()) holes.push_back({b, right, best});
    }
    std::sort(holes.begin(), holes.end(), [&bounds](const Hole& a, const Hole& b) {
        return bounds[a.bound][a.right].x > bounds[b.bound][b.right].x;
    });
    for (const Hole& h : holes) {
        std::vector<Point3>& face = faces[h.face];
        const std::vector<Point3>& bound = bounds[h.bound];
        const Point3& m = bound[h.right];
        // The nearest edge of the face to the right of m on its level.
        std::size_t at = face.size();
        double nearest = 0.0;
        for (std::size_t i = 0; i < face.size(); ++i) {
            const Point3 &a = face[i], &b = face[(i + 1) % face.size()];
            if ((a.y > m.y) == (b.y > m.y)) continue;
            const double x = a.x + (m.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (x > m.x && (at == face.size() || x < nearest)) at = i, nearest = x;
        }
        if (at == face.size()) continue;
        const Point3& a = face[at];
        const Point3& b = face[(at + 1) % face.size()];
        const Point3 on{nearest, m.y, a.z + (b.z - a.z) * ((m.y - a.y) / (b.y - a.y))};
        std::vector<Point3> joined(face.begin(), face.begin() + static_cast<std::ptrdiff_t>(at) + 1);
        joined.push_back(on);
        for (std::size_t k = 0; k <= bound.size(); ++k) joined.push_back(bound[(h.right + k) % bound.size()]);
        joined.push_back(on);
        joined.insert(joined.end(), face.begin() + static_cast<std::ptrdiff_t>(at) + 1, face.end());
        face = std::move(joined);
    }
}

// Step 2: the bounded faces of the plan graph of the cuts (ends within t
// are one vertex), each as a counter-clockwise ring: every edge is walked
// once each way, turning at each vertex onto the next edge clockwise from
// the one it came along, which keeps the face on the left.
std::vector<VertexNode*> BoundedFaces(const std::vector<Cut>& cuts, double t) {
    std::vector<Point3> points;
    BoxIndex near;
    std::vector<Point3> all;
    for (const Cut& c : cuts) all.push_back(c.a), all.push_back(c.b);
    for (const Point3& p : all) {
        const double box[4] = {p.x, p.y, p.x, p.y};
        near.Add(box);
    }
    near.Build(t);
    // Each end's vertex: ends within t of each other are one, and so on
    // along a run of them (the cut across a fan of slivers is a run of
    // pieces shorter than t, whose ends only chained together meet the
    // pieces on either side). The vertex stands at the run's first end.
    std::vector<std::size_t> root(all.size());
    for (std::size_t i = 0; i < all.size(); ++i) root[i] = i;
    const auto find = [&root](std::size_t i) {
        while (root[i] != i) i = root[i] = root[root[i]];
        return i;
    };
    for (std::size_t i = 0; i < all.size(); ++i) {
        const double box[4] = {all[i].x, all[i].y, all[i].x, all[i].y};
        for (int j : near.Query(box)) {
            const std::size_t a = find(i), b = find(static_cast<std::size_t>(j));
            if (a != b && Distance2d(all[i], all[static_cast<std::size_t>(j)]) <= t)
                root[std::max(a, b)] = std::min(a, b);
        }
    }
    std::vector<int> vertexOf(all.size(), -1);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::size_t r = find(i);
        if (vertexOf[r] < 0) {
            vertexOf[r] = static_cast<int>(points.size());
            points.push_back(all[r]);
        }
        vertexOf[i] = vertexOf[r];
    }
    // Half-edges out of each vertex, counter-clockwise by angle.
    struct Half {
        int to;
        double angle;
        bool used;
    };
    std::vector<std::vector<Half>> out(points.size());
    for (std::size_t k = 0; k < cuts.size(); ++k) {
        const int u = vertexOf[2 * k], v = vertexOf[2 * k + 1];
        if (u == v) continue;
        const auto known = [&](int from, int to) {
            for (const Half& h : out[static_cast<std::size_t>(from)])
                if (h.to == to) return true;
            return false;
        };
        if (known(u, v)) continue;
        const Point3 &p = points[static_cast<std::size_t>(u)], &q = points[static_cast<std::size_t>(v)];
        out[static_cast<std::size_t>(u)].push_back({v, std::atan2(q.y - p.y, q.x - p.x), false});
        out[static_cast<std::size_t>(v)].push_back({u, std::atan2(p.y - q.y, p.x - q.x), false});
    }
    for (std::vector<Half>& list : out)
        std::sort(list.begin(), list.end(), [](const Half& a, const Half& b) { return a.angle < b.angle; });
    std::size_t halves = 0;
    for (const std::vector<Half>& list : out) halves += list.size();

    // The bounded faces (counter-clockwise) and the outer bounds of the
    // graph's pieces (clockwise).
    std::vector<std::vector<Point3>> faces, bounds;
    const auto ToPoints = [&points](const std::vector<int>& walk) {
        std::vector<Point3> out;
        for (int v : walk) out.push_back(points[static_cast<std::size_t>(v)]);
        return out;
    };
    std::vector<int> walk;
    for (std::size_t start = 0; start < out.size(); ++start)
        for (std::size_t e = 0; e < out[start].size(); ++e) {
            if (out[start][e].used) continue;
            walk.clear();
            int from = static_cast<int>(start);
            std::size_t index = e;
            bool closed = false;
            for (std::size_t steps = 0; steps <= halves; ++steps) {
                Half& h = out[static_cast<std::size_t>(from)][index];
                if (h.used) {
                    closed = from == static_cast<int>(start) && index == e;
                    break;
                }
                h.used = true;
                walk.push_back(from);
                // At the far end, the edge back is found, and the one before
                // it counter-clockwise is taken.
                const std::vector<Half>& there = out[static_cast<std::size_t>(h.to)];
                std::size_t back = 0;
                while (back < there.size() && there[back].to != from) ++back;
                from = h.to;
                index = (back + there.size() - 1) % there.size();
            }
            if (!closed || walk.size() < 3) continue;
            double area = 0.0;
            for (std::size_t k = 0; k < walk.size(); ++k) {
                const Point3& p = points[static_cast<std::size_t>(walk[k])];
                const Point3& q = points[static_cast<std::size_t>(walk[(k + 1) % walk.size()])];
                area += p.x * q.y - q.x * p.y;
            }
            if (area / 2.0 > t * t)
                faces.push_back(ToPoints(walk));
            else if (area / 2.0 < -t * t)
                bounds.push_back(ToPoints(walk));
        }
    WithHoles(faces, bounds);
    std::vector<VertexNode*> rings;
    for (const std::vector<Point3>& face : faces) {
        VertexNode* ring = nullptr;
        for (const Point3& p : face) AppendVertex(&ring, p, 0, 0, 0);
        rings.push_back(ring);
    }
    return rings;
}

// Step 3: a solid behind the ring, by the rays from its inner points. A
// face counts from half the cut's own tolerance behind the ring: the cut
// keeps a solid whose back lies a little more than that behind the plane,
// and a longer reach would miss the back and find the solid hollow.
bool SolidBehind(const VertexNode* ring, FaceRays& rays, WallRows& walls, double t, double reach) {
    double plane[4];
    if (!RingPlane(ring, plane)) return false;
    // Not the spans' middles: a cut square to a corner of the solid (a
    // wall's corner at 45 degrees to the plane) puts the corner's edge
    // right behind the middle, where the ray meets the faces on their
    // edges and counts neither.
    int odd = 0, tried = 0;
    for (Point3 p : InnerPoints(ring, t, 0.4137)) {
        p.z = PlaneZ(plane, p.x, p.y);
        ++tried;
        odd += walls.Inside(p) || rays.InsideSome(p, reach) ? 1 : 0;
    }
    return tried > 0 && 2 * odd > tried;
}

// Whether an outline of the list holds the ring (a point well inside the
// ring lies inside the outline). The point is the middle of a span of the
// ring, so the outline's edges are not tested for it: the edge test's
// tolerance grows with an edge's length and would put the middle of a
// long thin ring on the edges of its own outline.
bool HeldBy(const VertexNode* ring, const OutlinePolygon* outlines, double t) {
    const std::vector<Point3> inner = InnerPoints(ring, t);
    if (inner.empty()) return true;
    for (const OutlinePolygon* o = outlines; o; o = o->next)
        if (CountNodes(o->ring) >= 3 &&
            PointInPolygon(inner.front(), o->ring, kEdgesUntested) == kInsidePolygon)
            return true;
    return false;
}

}  // namespace

bool IsWallLayerName(const std::string& name) {
    static constexpr std::string_view kWallLayerPrefix = "VELM3DWALLS";
    return name.size() >= kWallLayerPrefix.size() &&
           zcutEqualsNoCase(std::string_view(name).substr(0, kWallLayerPrefix.size()), kWallLayerPrefix);
}

void FindSectionCaps(CSezione& section) {
    section.capOutlines = FreeOutlinePolygons(section.capOutlines);
    section.capsSearched = true;
    const double t = section.minLength;
    std::vector<Cut> raw = FaceCuts(section);
    // The walls' rows count every face's cut, those of two walls standing
    // face to face both: their union's inside is what is wanted.
    WallRows walls(raw);
    for (const Cut& c : WallFeetAndTops(raw, walls, t)) raw.push_back(c);
    const std::vector<Cut> cuts = CutEdges(std::move(raw), t);
    if (cuts.size() < 2) return;
    FaceRays rays(section.faces, t);
    std::vector<VertexNode*> rings = BoundedFaces(cuts, t);
    for (VertexNode* ring : rings) {
        if (CountNodes(ring) < 3 || !SolidBehind(ring, rays, walls, t, section.CutTolerance() / 2.0)) {
            FreeList(ring);
            continue;
        }
        OutlinePolygon* cap = NewOutlinePolygon(ring);
        cap->next = section.capOutlines;
        section.capOutlines = cap;
    }
}

bool InCap(const CSezione& section, const VertexNode* ring) {
    return !InnerPoints(ring, section.minLength).empty() &&
           HeldBy(ring, section.capOutlines, section.minLength);
}

void AddCapOutlines(CSezione& section) {
    // The largest first, each only where no outline holds it yet: a wall's
    // cut found whole and in the pieces of its faces' pairs is hatched once.
    std::vector<std::pair<double, const OutlinePolygon*>> caps;
    for (const OutlinePolygon* cap = section.capOutlines; cap; cap = cap->next)
        caps.push_back({std::fabs(RingSignedArea2(cap->ring)), cap});
    std::stable_sort(caps.begin(), caps.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [area, cap] : caps) {
        if (HeldBy(cap->ring, section.wallOutlines, section.minLength)) continue;
        OutlinePolygon* copy = NewOutlinePolygon(CopyVertexList(cap->ring));
        copy->next = section.wallOutlines;
        section.wallOutlines = copy;
    }
}

void ClearShadowsInCaps(CSezione& section) {
    ClearShadowsInOutlines(section.shadeOutlines, section.capOutlines);
}
