// The solids of a section's face set and their cuts (see cap_solids.h).
#include "visual/views/cap_solids.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/geometry/box_index.h"
#include "core/geometry/polygon.h"
#include "core/geometry/vertex_list.h"
#include "host/util/nocase.h"
#include "visual/views/section_faces.h"

namespace {

// Union-find over item numbers.
class Roots {
public:
    explicit Roots(std::size_t n) : root_(n) { std::iota(root_.begin(), root_.end(), std::size_t{0}); }
    std::size_t Find(std::size_t i) {
        while (root_[i] != i) i = root_[i] = root_[root_[i]];
        return i;
    }
    void Join(std::size_t a, std::size_t b) {
        a = Find(a), b = Find(b);
        if (a != b) root_[std::max(a, b)] = std::min(a, b);
    }

private:
    std::vector<std::size_t> root_;
};

// One face or sliver: its corners, object, whether it is a loose
// face of the 3D walls, and its cut edges.
struct Item {
    std::vector<Point3> corners;
    int object = 0;
    bool wall = false;
    std::vector<std::pair<Point3, Point3>> cuts;
};

// The unit plane (a, b, c, d) of a face's corners by Newell's sums; false
// for corners without area.
bool FacePlane(const std::vector<Point3>& c, double plane[4]) {
    double n[3] = {0.0, 0.0, 0.0};
    for (std::size_t k = 0; k < c.size(); ++k) {
        const Point3& v = c[k];
        const Point3& w = c[(k + 1) % c.size()];
        n[0] += (v.y - w.y) * (v.z + w.z);
        n[1] += (v.z - w.z) * (v.x + w.x);
        n[2] += (v.x - w.x) * (v.y + w.y);
    }
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0.0)) return false;
    for (int k = 0; k < 3; ++k) plane[k] = n[k] / length;
    plane[3] = -(plane[0] * c[0].x + plane[1] * c[0].y + plane[2] * c[0].z);
    return true;
}

// The even-odd test of one solid's edges, by the kernel's locator.
struct EdgeSet {
    std::vector<VertexNode> ends;  // two per edge
    std::vector<PlanEdge> edges;
    std::unique_ptr<RingLocator> locator;
    double box[4] = {1e300, 1e300, -1e300, -1e300};

    void Add(const Point3& a, const Point3& b) {
        VertexNode va, vb;
        va.setPt(a), vb.setPt(b);
        ends.push_back(va), ends.push_back(vb);
        box[0] = std::min({box[0], a.x, b.x}), box[1] = std::min({box[1], a.y, b.y});
        box[2] = std::max({box[2], a.x, b.x}), box[3] = std::max({box[3], a.y, b.y});
    }
    // Files the edges added; call once, after the last.
    void Build() {
        for (std::size_t k = 0; k + 1 < ends.size(); k += 2) edges.push_back({&ends[k], &ends[k + 1]});
        locator = std::make_unique<RingLocator>(std::span<const PlanEdge>(edges));
    }
    bool Inside(const Point3& p) const {
        if (!locator || p.x < box[0] || p.x > box[2] || p.y < box[1] || p.y > box[3]) return false;
        return locator->Where(p, kEdgesUntested) == kInsidePolygon;
    }
};

// By the root of each set of items, whether all its corners lie in one
// plane (within t).
std::vector<char> FlatSets(const std::vector<Item>& items, Roots& roots, double t) {
    std::vector<double> planeOf(4 * items.size(), 0.0);
    std::vector<char> hasPlane(items.size(), 0), flat(items.size(), 1);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::size_t r = roots.Find(i);
        if (!hasPlane[r] && items[i].corners.size() >= 3 && FacePlane(items[i].corners, &planeOf[4 * r]))
            hasPlane[r] = 1;
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::size_t r = roots.Find(i);
        const double* plane = &planeOf[4 * r];
        for (const Point3& p : items[i].corners)
            if (!hasPlane[r] || std::fabs(plane[0] * p.x + plane[1] * p.y + plane[2] * p.z + plane[3]) > t)
                flat[r] = 0;
    }
    return flat;
}

// Whether the cut edge a-b lies, within t, along cut edges of items of
// the object outside the set of root r.
bool AlongOthers(const Point3& a, const Point3& b, const std::vector<Item>& items, Roots& roots,
                 std::size_t r, const std::vector<std::pair<Point3, Point3>>& cuts,
                 const std::vector<std::size_t>& owner, BoxIndex& spans, int object, double t) {
    const double length = Distance2d(a, b);
    const double ux = (b.x - a.x) / length, uy = (b.y - a.y) / length;
    const auto along = [&](const Point3& p) { return (p.x - a.x) * ux + (p.y - a.y) * uy; };
    const auto off = [&](const Point3& p) { return std::fabs((p.y - a.y) * ux - (p.x - a.x) * uy); };
    double box[4];
    box[0] = std::min(a.x, b.x), box[1] = std::min(a.y, b.y), box[2] = std::max(a.x, b.x),
    box[3] = std::max(a.y, b.y);
    std::vector<std::pair<double, double>> cover;
    for (int k : spans.Query(box)) {
        const std::size_t o = owner[static_cast<std::size_t>(k)];
        if (items[o].object != object || roots.Find(o) == r) continue;
        const auto& [p, q] = cuts[static_cast<std::size_t>(k)];
        if (off(p) > t || off(q) > t) continue;
        cover.push_back(std::minmax(along(p), along(q)));
    }
    std::sort(cover.begin(), cover.end());
    double reached = t;
    for (const auto& [from, to] : cover) {
        if (from > reached + t) break;
        reached = std::max(reached, to);
    }
    return reached >= length - t;
}

// By the root of each flat set of items, whether its whole cut lies along
// the cut edges of other items of its object: a sheet held against a
// solid, which a face of a solid whose corners miss their neighbours' (a
// mesh meeting itself in T) is not.
std::vector<char> LyingOnOthers(const std::vector<Item>& items, Roots& roots, const std::vector<char>& flat,
                                double t) {
    std::vector<std::pair<Point3, Point3>> cuts;
    std::vector<std::size_t> owner;
    BoxIndex spans;
    for (std::size_t i = 0; i < items.size(); ++i)
        for (const auto& [a, b] : items[i].cuts) {
            double box[4];
            PlanBox(a, b, box);
            spans.Add(box);
            cuts.push_back({a, b});
            owner.push_back(i);
        }
    spans.Build(t);
    std::vector<char> lying(items.size(), 0), seen(items.size(), 0);
    for (std::size_t k = 0; k < cuts.size(); ++k) {
        const std::size_t i = owner[k], r = roots.Find(i);
        if (!flat[r] || (seen[r] && !lying[r]) || !(Distance2d(cuts[k].first, cuts[k].second) > t)) continue;
        seen[r] = 1;
        lying[r] = AlongOthers(cuts[k].first, cuts[k].second, items, roots, r, cuts, owner, spans,
                               items[i].object, t);
    }
    return lying;
}

std::vector<EdgeSet> EdgeSets(const std::vector<CapCut>& cuts) {
    int solids = 0;
    for (const CapCut& c : cuts) solids = std::max(solids, c.solid + 1);
    std::vector<EdgeSet> sets(static_cast<std::size_t>(solids));
    std::vector<std::size_t> count(sets.size(), 0);
    for (const CapCut& c : cuts)
        if (c.solid >= 0) ++count[static_cast<std::size_t>(c.solid)];
    // The locator keeps pointers into the ends: no growing after Build.
    for (std::size_t s = 0; s < sets.size(); ++s) sets[s].ends.reserve(2 * count[s]);
    for (const CapCut& c : cuts)
        if (c.solid >= 0) sets[static_cast<std::size_t>(c.solid)].Add(c.a, c.b);
    for (EdgeSet& set : sets)
        if (!set.ends.empty()) set.Build();
    return sets;
}

// A free end of a solid's cut (an odd count of edges meets there), with
// the rise and run of its edge.
struct Free {
    int solid;
    Point3 p;
    double rise, run;
    std::size_t vertex;
};

// Two free ends of one solid a hair apart, whichever way: the cut of a face
// too small to be cut (a nosing's sliver) is missing between them. The
// pairs of ends each other's nearest within `hair`.
std::vector<std::pair<std::size_t, std::size_t>> HairGaps(const std::vector<Free>& free, double hair) {
    std::vector<std::size_t> byX(free.size());
    std::iota(byX.begin(), byX.end(), std::size_t{0});
    std::sort(byX.begin(), byX.end(),
              [&free](std::size_t a, std::size_t b) { return free[a].p.x < free[b].p.x; });
    std::vector<std::size_t> nearest(free.size(), free.size());
    std::vector<double> best(free.size(), hair);
    for (std::size_t u = 0; u < byX.size(); ++u)
        for (std::size_t w = u + 1; w < byX.size() && free[byX[w]].p.x - free[byX[u]].p.x <= hair; ++w) {
            const std::size_t i = byX[u], j = byX[w];
            if (free[i].solid != free[j].solid || free[i].vertex == free[j].vertex) continue;
            const double d = Distance2d(free[i].p, free[j].p);
            if (d < best[i]) best[i] = d, nearest[i] = j;
            if (d < best[j]) best[j] = d, nearest[j] = i;
        }
    std::vector<std::pair<std::size_t, std::size_t>> out;
    for (std::size_t i = 0; i < free.size(); ++i)
        if (const std::size_t j = nearest[i]; j < free.size() && j > i && nearest[j] == i)
            out.push_back({i, j});
    return out;
}

}  // namespace

bool IsWallLayerName(const std::string& name) {
    static constexpr std::string_view kWallLayerPrefix = "VELM3DWALLS";
    return name.size() >= kWallLayerPrefix.size() &&
           zcutEqualsNoCase(std::string_view(name).substr(0, kWallLayerPrefix.size()), kWallLayerPrefix);
}

bool IsRevealLayerName(const std::string& name) {
    // The objects draw their reveals on the catalogue's key, which the
    // drawing may carry with the module's prefix and a level.
    static constexpr std::string_view kPrefix = "VELM", kReveals = "3DOPENINGS";
    const auto starts = [](std::string_view text, std::string_view head) {
        return text.size() >= head.size() && zcutEqualsNoCase(text.substr(0, head.size()), head);
    };
    const std::string_view text(name);
    return starts(text, kReveals) || (starts(text, kPrefix) && starts(text.substr(kPrefix.size()), kReveals));
}

std::vector<CapCut> SolidCuts(const CSezione& section, double t) {
    std::vector<Item> items;
    for (const SectionFace* f = section.faces; f; f = f->next) {
        Item item;
        const int n = f->cornerCount();
        item.corners.assign(f->corners, f->corners + n);
        item.object = f->solid;
        item.wall = (f->solid <= 0 && IsWallLayerName(f->layer)) || IsRevealLayerName(f->layer);
        for (int k = 0; k < n; ++k)
            if (f->edgeWords[k] < 0) item.cuts.push_back({f->corners[k], f->corners[(k + 1) % n]});
        items.push_back(std::move(item));
    }
    for (const CSezione::SlenderCut& s : section.slenderCutEdges)
        items.push_back({{s.a, s.b},
                         s.solid,
                         (s.solid <= 0 && IsWallLayerName(s.layer)) || IsRevealLayerName(s.layer),
                         {{s.a, s.b}}});

    // The pairs of items of one object (or loose ones) meeting at a corner,
    // and whether that corner ends a cut edge of either: there they may
    // meet only at the cut.
    struct Corner {
        Point3 p;
        std::size_t item;
        bool onCut;
    };
    BoxIndex corners;
    std::vector<Corner> at;
    for (std::size_t i = 0; i < items.size(); ++i)
        for (const Point3& p : items[i].corners) {
            const double box[4] = {p.x, p.y, p.x, p.y};
            corners.Add(box);
            // The cut edges' ends are the corners themselves.
            const auto same = [&p](const Point3& q) { return q.x == p.x && q.y == p.y && q.z == p.z; };
            const bool onCut =
                std::any_of(items[i].cuts.begin(), items[i].cuts.end(),
                            [&same](const auto& c) { return same(c.first) || same(c.second); });
            at.push_back({p, i, onCut});
        }
    corners.Build(t);
    struct Met {
        std::size_t i, j;
        bool atCut;
    };
    std::vector<Met> met;
    for (std::size_t e = 0; e < at.size(); ++e) {
        const Corner& c = at[e];
        const double box[4] = {c.p.x, c.p.y, c.p.x, c.p.y};
        for (int o : corners.Query(box)) {
            const Corner& d = at[static_cast<std::size_t>(o)];
            if (d.item <= c.item || items[d.item].object != items[c.item].object ||
                std::fabs(c.p.x - d.p.x) > t || std::fabs(c.p.y - d.p.y) > t || std::fabs(c.p.z - d.p.z) > t)
                continue;
            met.push_back({c.item, d.item, c.onCut || d.onCut});
        }
    }

    // Other than the walls' faces, items meeting at a corner are one
    // solid, and all of the 3D walls' loose faces are one: a pane whose cut
    // ends where a sill's diagonal is cut is no part of its wall. A solid
    // whose corners all lie in one plane is a sheet (a leaf, a pane): it
    // bounds nothing. Faces of one solid meet at a corner kept behind the
    // plane, for an edge they share that crosses the plane keeps its end
    // there, off every cut edge; items that meet only at the cut join
    // after, unless one is a sheet whose cut lies along others' cuts: a
    // pane whose edge lies on the plane where the plane crosses its frame
    // would lay that edge twice over the frame's cut, and the frame's cap
    // would enclose nothing. A sliver's corners all lie on the cut: it
    // joins only there.
    Roots roots(items.size());
    for (const Met& m : met)
        if (!m.atCut && !items[m.i].wall && !items[m.j].wall) roots.Join(m.i, m.j);
    std::size_t firstWall = items.size();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].wall) {
            if (firstWall == items.size()) firstWall = i;
            roots.Join(firstWall, i);
        }
    std::vector<char> flat = FlatSets(items, roots, t);
    const std::vector<char> lying = LyingOnOthers(items, roots, flat, t);
    const auto apart = [&](std::size_t i) {
        const std::size_t r = roots.Find(i);
        return items[i].wall || (flat[r] && lying[r]);
    };
    for (const Met& m : met)
        if (m.atCut && !apart(m.i) && !apart(m.j)) roots.Join(m.i, m.j);
    flat = FlatSets(items, roots, t);
    const auto sheet = [&](std::size_t i) { return flat[roots.Find(i)] != 0; };
    std::vector<int> solidOf(items.size(), -1);
    int solids = 0;
    std::vector<CapCut> cuts;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].cuts.empty() || sheet(i)) continue;
        const std::size_t r = roots.Find(i);
        if (solidOf[r] < 0) solidOf[r] = solids++;
        for (const auto& [a, b] : items[i].cuts)
            if (Distance2d(a, b) > 0.0) cuts.push_back({a, b, solidOf[r]});
    }
    return cuts;
}

std::vector<CapCut> ClosedSolidCuts(std::vector<CapCut> cuts, double t) {
    cuts = SplitCapCuts(std::move(cuts), t, false);
    // Ends within t of each other on one solid are one vertex.
    const std::size_t n = cuts.size();
    BoxIndex near;
    for (const CapCut& c : cuts)
        for (const Point3& p : {c.a, c.b}) {
            const double box[4] = {p.x, p.y, p.x, p.y};
            near.Add(box);
        }
    near.Build(t);
    Roots roots(2 * n);
    for (std::size_t e = 0; e < 2 * n; ++e) {
        const Point3& p = e % 2 == 0 ? cuts[e / 2].a : cuts[e / 2].b;
        const double box[4] = {p.x, p.y, p.x, p.y};
        for (int o : near.Query(box)) {
            const std::size_t f = static_cast<std::size_t>(o);
            const Point3& q = f % 2 == 0 ? cuts[f / 2].a : cuts[f / 2].b;
            if (cuts[f / 2].solid == cuts[e / 2].solid && Distance2d(p, q) <= t) roots.Join(e, f);
        }
    }
    std::vector<std::size_t> vertex(2 * n);
    for (std::size_t e = 0; e < 2 * n; ++e) vertex[e] = roots.Find(e);
    std::vector<char> alive(n, 1);
    std::vector<int> degree(2 * n, 0);
    for (std::size_t k = 0; k < n; ++k) {
        if (vertex[2 * k] == vertex[2 * k + 1]) {
            alive[k] = 0;
            continue;
        }
        ++degree[vertex[2 * k]], ++degree[vertex[2 * k + 1]];
    }

    // The free ends (an odd count of edges meets there), by solid, level
    // and place along the level; each with the rise of its edge.
    std::vector<Free> free;
    std::vector<char> listed(2 * n, 0);
    for (std::size_t e = 0; e < 2 * n; ++e) {
        const std::size_t v = vertex[e];
        if (!alive[e / 2] || degree[v] % 2 == 0 || listed[v]) continue;
        listed[v] = 1;
        const CapCut& c = cuts[e / 2];
        const Point3& p = e % 2 == 0 ? c.a : c.b;
        const Point3& q = e % 2 == 0 ? c.b : c.a;
        free.push_back({c.solid, p, q.y - p.y, q.x - p.x, v});
    }
    // Hair gaps closed first, the ends they join no longer free.
    {
        std::vector<char> joined(free.size(), 0);
        for (const auto& [i, j] : HairGaps(free, 5.0 * t)) {
            cuts.push_back({free[i].p, free[j].p, free[i].solid});
            vertex.push_back(free[i].vertex), vertex.push_back(free[j].vertex);
            alive.push_back(1);
            ++degree[free[i].vertex], ++degree[free[j].vertex];
            joined[i] = joined[j] = 1;
        }
        std::vector<Free> left;
        for (std::size_t i = 0; i < free.size(); ++i)
            if (!joined[i]) left.push_back(free[i]);
        free.swap(left);
    }
    std::sort(free.begin(), free.end(), [](const Free& a, const Free& b) {
        if (a.solid != b.solid) return a.solid < b.solid;
        return a.p.y != b.p.y ? a.p.y < b.p.y : a.p.x < b.p.x;
    });
    if (!free.empty()) {
        std::vector<CapCut> live;
        for (std::size_t k = 0; k < n; ++k)
            if (alive[k]) live.push_back(cuts[k]);
        const std::vector<EdgeSet> sets = EdgeSets(live);
        for (std::size_t i = 0; i < free.size();) {
            // One level of one solid, in order along it.
            std::size_t end = i + 1;
            while (end < free.size() && free[end].solid == free[i].solid && free[end].p.y - free[i].p.y <= t)
                ++end;
            std::vector<Free> level(free.begin() + static_cast<std::ptrdiff_t>(i),
                                    free.begin() + static_cast<std::ptrdiff_t>(end));
            std::sort(level.begin(), level.end(), [](const Free& a, const Free& b) { return a.p.x < b.p.x; });
            for (std::size_t k = 0; k + 1 < level.size(); ++k) {
                const Free &a = level[k], &b = level[k + 1];
                const double gap = b.p.x - a.p.x;
                // Both ends rise or fall the same way; or one does and the
                // other's edge runs on along the level away from the gap: a
                // foot's cut ending a hair short of a side whose corner,
                // within the cut's tolerance of the plane, was taken onto
                // it, where the foot's edge running past that corner was
                // cut where it crosses.
                const bool riseA = std::fabs(a.rise) > t, riseB = std::fabs(b.rise) > t;
                const bool levelA = !riseA && a.run < -t, levelB = !riseB && b.run > t;
                const bool same = riseA && riseB && (a.rise > 0.0) == (b.rise > 0.0);
                // Or one rises and the other falls: a step where a solid
                // stands on another of another breadth (the walls of two
                // storeys), the solid on just one side of the gap.
                const bool step = riseA && riseB && !same;
                if (!(gap > t) || !(same || step || (riseA && levelB) || (levelA && riseB))) continue;
                const double off =
                    std::min({riseA ? std::fabs(a.rise) : gap, riseB ? std::fabs(b.rise) : gap, gap}) / 4.0;
                const Point3 above{a.p.x + 0.5 * gap, (a.p.y + b.p.y) / 2.0 + off, 0.0};
                const Point3 below{above.x, above.y - 2.0 * off, 0.0};
                const EdgeSet& set = sets[static_cast<std::size_t>(a.solid)];
                if (step) {
                    if (set.Inside(above) == set.Inside(below)) continue;
                } else {
                    // Just off the gap's middle, on the side the cut runs to.
                    const double rise = riseA ? a.rise : b.rise;
                    if (!set.Inside(rise > 0.0 ? above : below)) continue;
                }
                cuts.push_back({a.p, b.p, a.solid});
                vertex.push_back(a.vertex), vertex.push_back(b.vertex);
                alive.push_back(1);
                ++degree[a.vertex], ++degree[b.vertex];
                ++k;
            }
            i = end;
        }
    }

    // What still ends free is no ring: taken away from its end inwards
    // (a join too, when a side it joins goes).
    std::vector<std::vector<std::size_t>> at(2 * n);
    for (std::size_t k = 0; k < cuts.size(); ++k)
        if (alive[k]) at[vertex[2 * k]].push_back(k), at[vertex[2 * k + 1]].push_back(k);
    std::vector<std::size_t> ends;
    for (std::size_t v = 0; v < 2 * n; ++v)
        if (degree[v] == 1) ends.push_back(v);
    while (!ends.empty()) {
        const std::size_t v = ends.back();
        ends.pop_back();
        for (std::size_t k : at[v]) {
            if (!alive[k] || degree[v] != 1) continue;
            alive[k] = 0;
            --degree[vertex[2 * k]], --degree[vertex[2 * k + 1]];
            const std::size_t w = vertex[2 * k] == v ? vertex[2 * k + 1] : vertex[2 * k];
            if (degree[w] == 1) ends.push_back(w);
        }
    }
    // A piece whose ends are one vertex stays where its vertex does: the
    // plan graph joins ends within t only along a run of them, and a run
    // broken there would open the ring.
    std::vector<CapCut> out;
    for (std::size_t k = 0; k < cuts.size(); ++k)
        if (alive[k] || (k < n && vertex[2 * k] == vertex[2 * k + 1] && degree[vertex[2 * k]] > 0))
            out.push_back(cuts[k]);
    return out;
}

struct SolidInsides::Impl {
    std::vector<EdgeSet> sets;
    BoxIndex boxes;
};

SolidInsides::SolidInsides(const std::vector<CapCut>& cuts) : m(std::make_unique<Impl>()) {
    m->sets = EdgeSets(cuts);
    // A solid left without edges is found nowhere.
    static constexpr double kNowhere[4] = {0.0, 0.0, 0.0, 0.0};
    for (const EdgeSet& set : m->sets) m->boxes.Add(set.locator ? set.box : kNowhere);
    m->boxes.Build(0.0);
}

SolidInsides::~SolidInsides() = default;

bool SolidInsides::InsideSome(const Point3& p) const {
    const double box[4] = {p.x, p.y, p.x, p.y};
    for (int s : m->boxes.Query(box))
        if (m->sets[static_cast<std::size_t>(s)].Inside(p)) return true;
    return false;
}

bool SolidInsides::Inside(int solid, const Point3& p) const {
    return solid >= 0 && static_cast<std::size_t>(solid) < m->sets.size() &&
           m->sets[static_cast<std::size_t>(solid)].Inside(p);
}
