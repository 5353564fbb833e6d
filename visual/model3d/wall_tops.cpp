// Wall tops. The pieces of one rectangle wall share their rectangle id and
// are merged into one cap; lines that belong to no rectangle carry the
// unset id, which never merges (it would fuse every ordinary wall).
#include "visual/model3d/wall_tops.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/host_geometry.h"
#include "core/geometry/matrix4.h"
#include "core/geometry/triangulate.h"
#include "core/level_layers.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "settings/floor_cmds_run.h"
#include "store/settings_store.h"
#include "visual/model3d/arc_closing.h"
#include "visual/model3d/wall_closing.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/outline_kind.h"
#include "walls/graph/outline_record.h"
#include "walls/recognition/defmuri.h"

namespace {

void PilasterCaps(const std::string& layer, double elevation) {
    const host::ResbufList filter(zcutBuildList(-3, 1001, kPilasterApp, 0));
    ads_name set;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), set) != RTNORM) return;
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    Matrix4 identity;
    SetIdentity4(identity);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        double level = 0.0;
        if (zcedSSName(set, i, e) != RTNORM || !GetEntityLevel(e, level, nullptr, false)) continue;
        if (std::fabs(level - elevation) > kLevelTolerance) continue;
        VertexNode* outline = GetPillarOutline(e);
        if (CountNodes(outline) < 3) {
            FreeList(outline);
            continue;
        }
        int reversed = 0;
        outline = NormalizePolygon(1, outline, &reversed);
        int k = 0;
        for (VertexNode* v = outline; v; v = v->next) {
            v->data1 = k++;
            v->data2 = 0;
        }
        FaceRecord* faces = TriangulatePolygon(outline, k - 1, identity);
        if (!faces) {
            FreeList(outline);
            continue;
        }
        EmitFaces(layer, faces);
        FreeList(faces);
    }
    zcedSSFree(set);
}

void Quad(const std::string& layer, const Point3& a0, const Point3& a1, const Point3& b1, const Point3& b0,
          double z) {
    const ads_point p0{a0.x, a0.y, z}, p1{a1.x, a1.y, z}, p2{b1.x, b1.y, z}, p3{b0.x, b0.y, z};
    const host::ResbufList list(
        zcutBuildList(RTDXF0, "3DFACE", 8, layer.c_str(), 62, 256, 10, p0, 11, p1, 12, p2, 13, p3, 0));
    zcdbEntMake(list.get());
}

// The second segment's ends in the first's direction.
void Aligned(const WallSegment& a, const WallSegment& b, Point3& bs, Point3& be) {
    bs = b.start, be = b.end;
    const double dot = (a.end.x - a.start.x) * (be.x - bs.x) + (a.end.y - a.start.y) * (be.y - bs.y);
    if (dot < 0.0) std::swap(bs, be);
}

void Cap(const std::string& layer, const WallSegment& a, const WallSegment& b) {
    Point3 bs, be;
    Aligned(a, b, bs, be);
    Quad(layer, a.start, a.end, be, bs, a.topZ);
}

// Where an opening reaching the floor leaves a wall without foot: its jamb
// ends on the two sides.
struct FloorGap {
    Point3 a1, a2;  // on the side the jambs start
    Point3 b1, b2;  // on the side they end
};

Point3 LastPoint(const VertexNode* v) {
    while (v->next) v = v->next;
    return v->pt();
}

std::vector<FloorGap> FloorGaps(const CFACCIATE& g, double elevation) {
    std::vector<FloorGap> gaps;
    for (const OutlineNode* o = g.outlines; o; o = o->next) {
        if (o->kind != OutlineKind::StraightWallOpening || !o->jamb1 || !o->jamb2) continue;
        double zmin = 1e300, zmax = -1e300;
        for (const VertexNode* v = o->cut3DExt1; v; v = v->next)
            zmin = std::min(zmin, v->z), zmax = std::max(zmax, v->z);
        // An opening of the floor below, under this floor's foot, leaves
        // it whole.
        if (zmin > elevation + SharedTolerance || zmax <= elevation + SharedTolerance) continue;
        gaps.push_back({o->jamb1->pt(), o->jamb2->pt(), LastPoint(o->jamb1), LastPoint(o->jamb2)});
    }
    return gaps;
}

// Items by the plan cells their key point lies in, so a wall pair looks
// only at what lies along it.
template <class T>
class PlanGrid {
public:
    PlanGrid(std::vector<T> items, Point3 (*key)(const T&)) : m_items(std::move(items)) {
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            const Point3 p = key(m_items[i]);
            m_cells[pack(cell(p.x), cell(p.y))].push_back(i);
        }
    }
    // The indices of the items whose key point lies in the plan box of the
    // points.
    std::vector<std::size_t> in(std::initializer_list<Point3> box) const {
        std::vector<std::size_t> out;
        if (m_items.empty()) return out;
        const double pad = 2.0 * SharedTolerance;
        double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
        for (const Point3& p : box)
            x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
        for (std::int64_t x = cell(x0 - pad); x <= cell(x1 + pad); ++x)
            for (std::int64_t y = cell(y0 - pad); y <= cell(y1 + pad); ++y) {
                auto it = m_cells.find(pack(x, y));
                if (it != m_cells.end()) out.insert(out.end(), it->second.begin(), it->second.end());
            }
        return out;
    }
    const T& operator[](std::size_t i) const { return m_items[i]; }

private:
    static constexpr double kCell = 500.0;
    static std::int64_t cell(double v) { return static_cast<std::int64_t>(std::floor(v / kCell)); }
    static std::int64_t pack(std::int64_t x, std::int64_t y) { return (x << 32) ^ (y & 0xffffffff); }
    std::vector<T> m_items;
    std::unordered_map<std::int64_t, std::vector<std::size_t>> m_cells;
};

using GapGrid = PlanGrid<FloorGap>;
Point3 GapKey(const FloorGap& g) {
    return g.a1;
}

bool OnPlan(const Point3& p, const Point3& s, const Point3& e) {
    return IsPointOnSegment({p.x, p.y, s.z}, s, e);
}

// The foot of a wall pair at the floor's elevation: the cap's outline
// less the gaps of the openings that reach the floor.
void Foot(const std::string& layer, const WallSegment& a, const WallSegment& b, double z,
          const GapGrid& grid) {
    Point3 bs, be;
    Aligned(a, b, bs, be);
    std::vector<FloorGap> gaps;
    for (std::size_t i : grid.in({a.start, a.end, bs, be})) gaps.push_back(grid[i]);
    const double len = Distance2d(a.start, a.end);
    if (len <= SharedTolerance) return;
    auto along = [&](const Point3& p) {
        return ((p.x - a.start.x) * (a.end.x - a.start.x) + (p.y - a.start.y) * (a.end.y - a.start.y)) / len;
    };
    struct Cut {
        double t;
        Point3 onA1, onA2, onB1, onB2;
    };
    std::vector<Cut> cuts;
    for (FloorGap g : gaps) {
        if (OnPlan(g.b1, a.start, a.end) && OnPlan(g.b2, a.start, a.end)) {
            std::swap(g.a1, g.b1);
            std::swap(g.a2, g.b2);
        }
        if (!OnPlan(g.a1, a.start, a.end) || !OnPlan(g.a2, a.start, a.end) || !OnPlan(g.b1, bs, be) ||
            !OnPlan(g.b2, bs, be))
            continue;
        if (along(g.a1) > along(g.a2)) {
            std::swap(g.a1, g.a2);
            std::swap(g.b1, g.b2);
        }
        cuts.push_back({along(g.a1), g.a1, g.a2, g.b1, g.b2});
    }
    std::sort(cuts.begin(), cuts.end(), [](const Cut& x, const Cut& y) { return x.t < y.t; });
    Point3 fromA = a.start, fromB = bs;
    for (const Cut& c : cuts) {
        if (Distance2d(fromA, c.onA1) > SharedTolerance || Distance2d(fromB, c.onB1) > SharedTolerance)
            Quad(layer, fromA, c.onA1, c.onB1, fromB, z);
        fromA = c.onA2, fromB = c.onB2;
    }
    if (Distance2d(fromA, a.end) > SharedTolerance || Distance2d(fromB, be) > SharedTolerance)
        Quad(layer, fromA, a.end, be, fromB, z);
}

// Distance in plan from p to the line through a-b.
double LineDistance(const Point3& p, const Point3& a, const Point3& b) {
    const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
    if (len <= 0.0) return Distance2d(p, a);
    return std::fabs((p.x - a.x) * dy - (p.y - a.y) * dx) / len;
}

// Whether p lies, seen square to s-e, within its length.
bool AlongWithin(const Point3& p, const Point3& s, const Point3& e) {
    const double dx = e.x - s.x, dy = e.y - s.y, len = std::hypot(dx, dy);
    if (len <= 0.0) return false;
    const double t = ((p.x - s.x) * dx + (p.y - s.y) * dy) / len;
    return t >= -SharedTolerance && t <= len + SharedTolerance;
}

Point3 LooseKey(WallSegment* const& s) {
    return s->start;
}

// A wall ending on a face splits it; where the mouth is wider than the gap
// faces merge across, one piece pairs with the whole opposite face and the
// other pieces along it, facing the same wall, find no partner and would
// keep no top or foot. They join the piece that paired, so the top and foot
// reach across the mouth as they do where a narrower mouth merged.
void JoinPiecesAcrossMouths(DEFMURI& walls, const std::unordered_set<WallPair*>& merged) {
    std::vector<WallSegment*> loose;
    for (WallSegment* s = walls.segments; s; s = s->next)
        if (Distance2d(s->start, s->end) > SharedTolerance) loose.push_back(s);
    if (loose.empty()) return;
    const PlanGrid<WallSegment*> grid(loose, LooseKey);
    std::vector<bool> joined(loose.size(), false);
    for (WallPair* p = walls.pairs; p; p = p->next) {
        if (merged.count(p) || !p->a || !p->b) continue;
        for (auto [side, other] : {std::pair{p->a, p->b}, std::pair{p->b, p->a}}) {
            // What may join lies on the side's line, opposite the other.
            Point3 f1, f2;
            PerpendicularFoot(other->start, side->start, side->end, f1);
            PerpendicularFoot(other->end, side->start, side->end, f2);
            for (std::size_t i : grid.in({other->start, other->end, f1, f2})) {
                const WallSegment* c = grid[i];
                if (joined[i] || SegmentRectangleId(*c) != SegmentRectangleId(*side) ||
                    std::fabs(c->topZ - side->topZ) > SharedTolerance)
                    continue;
                if (LineDistance(c->start, side->start, side->end) > SharedTolerance ||
                    LineDistance(c->end, side->start, side->end) > SharedTolerance)
                    continue;
                if (!AlongWithin(c->start, other->start, other->end) ||
                    !AlongWithin(c->end, other->start, other->end))
                    continue;
                Point3 ext[2];
                CollinearSegmentsExtent(side->start, side->end, c->start, c->end, ext);
                const double dot = (ext[1].x - ext[0].x) * (side->end.x - side->start.x) +
                                   (ext[1].y - ext[0].y) * (side->end.y - side->start.y);
                if (dot < 0.0) std::swap(ext[0], ext[1]);
                side->start = ext[0], side->end = ext[1];
                joined[i] = true;
            }
        }
    }
}

// Whether a wall pair has a segment along the piece's first side.
bool HeldByPair(const WallPair* pairs, const std::unordered_set<WallPair*>& merged,
                const std::array<Point3, 4>& piece) {
    for (const WallPair* p = pairs; p; p = p->next) {
        if (merged.count(const_cast<WallPair*>(p)) || !p->a || !p->b) continue;
        for (const WallSegment* s : {p->a, p->b}) {
            const Point3 mid{(s->start.x + s->end.x) / 2, (s->start.y + s->end.y) / 2, piece[0].z};
            if (OnPlan(mid, piece[0], piece[1])) return true;
        }
    }
    return false;
}

// The top of the wall line at a point: the first edge of a face ending there.
double TopAt(const CFACCIATE& g, const Point3& p, double fallback) {
    for (const WallFace* f = g.faces; f; f = f->next) {
        if (f->isArc() || !f->edges) continue;
        if (PointsEqual(f->start, p, false)) return f->edges->topZ;
        if (PointsEqual(f->end, p, false)) {
            const FaceEdge* e = f->edges;
            while (e->next) e = e->next;
            return e->topZ;
        }
    }
    return fallback;
}

}  // namespace

void GenWallTops(const std::string& layer, double elevation, double height) {
    PilasterCaps(layer, elevation);

    DEFMURI walls;
    CFACCIATE g;
    g.level = elevation;
    g.floorHeight = height;
    g.floorInt = GetFloorIntAt(elevation);
    g.Build(true, false, &walls, true);
    std::unordered_set<WallPair*> merged;
    for (WallPair* p = walls.pairs; p; p = p->next) {
        if (merged.count(p) || !p->a || !p->b) continue;
        const double id = SegmentRectangleId(*p->a);
        if (id == kNoRectangle) continue;
        for (WallPair* q = p->next; q; q = q->next) {
            if (merged.count(q) || !q->a || !q->b || SegmentRectangleId(*q->a) != id) continue;
            Point3 ext[2];
            CollinearSegmentsExtent(p->a->start, p->a->end, q->a->start, q->a->end, ext);
            p->a->start = ext[0], p->a->end = ext[1];
            CollinearSegmentsExtent(p->b->start, p->b->end, q->b->start, q->b->end, ext);
            p->b->start = ext[0], p->b->end = ext[1];
            merged.insert(q);
        }
    }
    walls.AddSegmentsFromFaces(&g);
    walls.PairSegments(false);
    JoinPiecesAcrossMouths(walls, merged);
    // The floor's sides with their openings: where doors leave no foot, and
    // the free-standing pieces too short for a wall pair, closed whole.
    CFACCIATE sides;
    sides.level = elevation;
    sides.floorHeight = height;
    sides.floorInt = g.floorInt;
    sides.Build(false, true, nullptr, false);
    const GapGrid gaps(FloorGaps(sides, elevation), GapKey);
    for (const auto& piece : WallClosing(sides).FreePieces()) {
        if (HeldByPair(walls.pairs, merged, piece)) continue;
        Quad(layer, piece[0], piece[1], piece[2], piece[3], TopAt(sides, piece[0], elevation + height));
        Quad(layer, piece[0], piece[1], piece[2], piece[3], elevation);
    }
    // The curved walls, in the strips their sides are made in.
    ArcWallCaps(sides, layer, GetScaleFactor(0), elevation, height);
    sides.Clear();
    if (!walls.pairs) {
        zcutPrintf("\nNie można rozpoznać ścian w bieżącym rysunku");
        g.Clear();
        return;
    }
    // Each wall closed at its foot too, under the cap, but where a door
    // (an opening down to the floor) leaves no wall.
    for (WallPair* p = walls.pairs; p; p = p->next) {
        if (merged.count(p) || !p->a || !p->b) continue;
        Cap(layer, *p->a, *p->b);
        Foot(layer, *p->a, *p->b, elevation, gaps);
    }
    g.Clear();
}
