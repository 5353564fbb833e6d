// Cast shadows of a view.
//
//   1. Casters: each group's outlines in light coordinates, with the plane
//      of the first one there. A group seen edge-on in the view casts but
//      receives nothing; a group the light grazes casts nothing.
//   2. Screening: a receiver polygon covered in the view by a nearer one
//      receives nothing (state 2); a caster polygon lying wholly in another
//      caster's shadow casts nothing of its own (state 1; 3 when both).
//   3. Casting: every caster polygon, laid onto each receiver's plane along
//      the light, cuts from the receiver the part it covers where it stands
//      above the plane. The pieces go back to view coordinates; those on
//      the side of their receiver the viewer does not see are dropped.
//   4. The pieces are cleaned and merged, then clipped by the outlines of
//      the groups in front of them, and merged again.
// Pairs are screened by cell boxes on 20-cell grids spanned over the view
// and light boxes and by plan boxes before any polygon operation.
#include "visual/views/view_shading.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/box_index.h"
#include "core/geometry/polygon.h"
#include "core/geometry/ring_difference.h"
#include "core/geometry/ring_index.h"
#include "host/ed/prompts.h"
#include "host/ed/statusbar.h"
#include "host/util/tasks.h"

namespace {

constexpr double kEdgeOn = 0.005;

struct Caster {
    Caster* next = nullptr;
    std::int32_t id = 0;
    double plane[4] = {0.0, 0.0, 0.0, 0.0};  // in light coordinates
    bool planeSet = false;
    OutlinePolygon* polygons = nullptr;  // links name the group outlines
};

Caster* FreeCasters(Caster* c) {
    while (c) {
        Caster* next = c->next;
        for (OutlinePolygon* p = c->polygons; p; p = p->next) p->link = nullptr;
        FreeOutlinePolygons(c->polygons);
        delete c;
        c = next;
    }
    return nullptr;
}

double PlaneZ(const double plane[4], double x, double y) {
    return -(plane[0] * x + plane[1] * y + plane[3]) / plane[2];
}

void Coefficients(const ZcGePlane& plane, double out[4]) {
    plane.getCoefficients(out[0], out[1], out[2], out[3]);
}

bool CellsOverlapXY(const std::int32_t lowA[3], const std::int32_t highA[3], const std::int32_t lowB[3],
                    const std::int32_t highB[3]) {
    for (int axis = 0; axis < 2; ++axis)
        if (lowA[axis] > highB[axis] || lowB[axis] > highA[axis]) return false;
    return true;
}

bool BoxesOverlap(const OutlinePolygon& a, const OutlinePolygon& b) {
    const double t = SharedTolerance;
    return !(a.box2d[2] < b.box2d[0] - t || b.box2d[2] < a.box2d[0] - t || a.box2d[3] < b.box2d[1] - t ||
             b.box2d[3] < a.box2d[1] - t);
}

// Whether a's plan box lies within b's (with the tolerance): a polygon
// lies within another only then, so the costly test is spared.
bool BoxWithin(const OutlinePolygon& a, const OutlinePolygon& b) {
    const double t = 100.0 * SharedTolerance;
    return a.box2d[0] >= b.box2d[0] - t && a.box2d[1] >= b.box2d[1] - t && a.box2d[2] <= b.box2d[2] + t &&
           a.box2d[3] <= b.box2d[3] + t;
}

// Rings further apart in plan than this take nothing from each other in
// any polygon operation here: a thousand tolerances, ten times the
// clipping snap.
double ApartMargin() {
    return 1000.0 * SharedTolerance;
}

// Whether two small rings lie clearly apart in plan: their extents along
// the normal of one of their edges are more than a thousand tolerances
// apart. No polygon operation on such a pair does anything, so the pair
// need not be tried; a long thin polygon running across a floor then no
// longer meets everything its box holds. Only screens: false says nothing.
constexpr int kMostVertices = 32;
// A shadow piece of more vertices than this is cut near the outline
// cutting it.
constexpr int kLongPiece = 96;
bool RingsApart(const VertexNode* a, const VertexNode* b) {
    if (CountNodesUpTo(a, kMostVertices) + CountNodesUpTo(b, kMostVertices) > kMostVertices) return false;
    const double margin = ApartMargin();
    for (const VertexNode* r : {a, b})
        for (const VertexNode* v = r; v; v = v->next) {
            const VertexNode* w = v->next ? v->next : r;
            const double nx = w->y - v->y, ny = v->x - w->x;
            const double length = std::sqrt(nx * nx + ny * ny);
            if (!(length > 0.0)) continue;
            // Extents along the edge's normal as it stands, the margin
            // scaled to them: no division for each point.
            double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
            for (int k = 0; k < 2; ++k)
                for (const VertexNode* u = k == 0 ? a : b; u; u = u->next) {
                    const double d = u->x * nx + u->y * ny;
                    lo[k] = std::min(lo[k], d);
                    hi[k] = std::max(hi[k], d);
                }
            const double reach = margin * length;
            if (hi[0] + reach < lo[1] || hi[1] + reach < lo[0]) return true;
        }
    return false;
}

void Widen(double lo[3], double hi[3], const Point3& p) {
    const double v[3] = {p.x, p.y, p.z};
    for (int k = 0; k < 3; ++k) {
        lo[k] = std::min(lo[k], v[k]);
        hi[k] = std::max(hi[k], v[k]);
    }
}

// The groups by their numbers, the first of each: a whole floor has
// thousands of groups, and every caster and shadow group asks for its own.
class GroupsById {
public:
    explicit GroupsById(FaceGroup* groups) {
        for (FaceGroup* g = groups; g; g = g->next) byId_.try_emplace(g->id, g);
    }
    FaceGroup* operator()(int id) const {
        const auto it = byId_.find(id);
        return it == byId_.end() ? nullptr : it->second;
    }

private:
    std::unordered_map<int, FaceGroup*> byId_;
};

// A new shadow group at the head of the list.
ShadowGroup* PrependShadowGroup(ShadowGroup*& list, int number) {
    auto* s = new ShadowGroup;
    s->number = number;
    s->next = list;
    list = s;
    return s;
}

// Advances a progress meter by one every `every` steps, up to 100.
class Meter {
public:
    Meter(const char* label, int total) : every_(std::max(1, total / 100)) {
        zcedSetStatusBarProgressMeter(label, 0, 100);
    }
    ~Meter() { zcedRestoreStatusBar(); }
    Meter(const Meter&) = delete;
    Meter& operator=(const Meter&) = delete;
    void Step() {
        if (++count_ % every_ == 0 && position_ < 100) zcedSetStatusBarProgressMeterPos(++position_);
    }

private:
    int every_;
    int count_ = 0;
    int position_ = 0;
};

// The pieces of every shadow group merged outline by outline (split and
// joined around the merge when `full`). A piece keeps in link the receiving
// outline it lies on; pieces of different outlines are never merged, so
// each merge runs over the few pieces one outline takes and a group
// receiving thousands of pieces does not merge them all pair by pair. The
// merges touch only their own pieces: a floor taking thousands merges
// beside the other outlines on the machine's cores.
void MergeByOutline(ShadowGroup* shadows, bool full, bool indexed) {
    struct Outline {
        ShadowGroup* group;
        OutlinePolygon* on;
        std::vector<OutlinePolygon*> pieces;
        OutlinePolygon* merged = nullptr;
    };
    std::vector<Outline> outlines;  // group by group, each in first-seen order
    std::size_t count = 0;
    for (ShadowGroup* s = shadows; s; s = s->next) {
        std::unordered_map<const OutlinePolygon*, std::size_t> where;
        while (s->pieces) {
            OutlinePolygon* p = s->pieces;
            s->pieces = p->next;
            p->next = nullptr;
            const auto [it, added] = where.try_emplace(p->link, outlines.size());
            if (added) outlines.push_back({s, p->link, {}});
            outlines[it->second].pieces.push_back(p);
            ++count;
        }
    }
    const auto merge = [&](std::size_t k) {
        Outline& o = outlines[k];
        for (std::size_t i = 0; i + 1 < o.pieces.size(); ++i) o.pieces[i]->next = o.pieces[i + 1];
        OutlinePolygon* m = o.pieces.front();
        if (full) m = SplitShadowPieces(&m, o.group->number);
        m = MergeShadowPieces(m, indexed);
        if (full) m = JoinShadowPieces(&m, o.group->number, indexed);
        o.merged = m;
    };
    host::runTasks(outlines.size(), count >= 512 ? host::machineCores() : 1, merge);
    OutlinePolygon** tail = nullptr;
    for (std::size_t k = 0; k < outlines.size(); ++k) {
        if (k == 0 || outlines[k].group != outlines[k - 1].group) tail = &outlines[k].group->pieces;
        *tail = outlines[k].merged;
        for (OutlinePolygon* p = outlines[k].merged; p; p = p->next) {
            p->link = outlines[k].on;
            tail = &p->next;
        }
    }
}

// Step 1: a caster per group, newest first; the groups are numbered.
Caster* MakeCasters(FaceGroup* groups, const Matrix4& toWorld, const Matrix4& toLight,
                    const Point3& lightInView, double viewLo[3], double viewHi[3], double lightLo[3],
                    double lightHi[3]) {
    Caster* casters = nullptr;
    int id = 0;
    for (FaceGroup* g = groups; g; g = g->next) {
        g->id = ++id;
        auto* c = new Caster;
        c->id = std::fabs(g->plane.normal().z) < kEdgeOn ? -id : id;
        OutlinePolygon** tail = &c->polygons;
        bool grazed = false;
        for (OutlinePolygon* o = g->outlines; o && !grazed; o = o->next) {
            VertexNode* ring = nullptr;
            for (const VertexNode* v = o->ring; v; v = v->next) {
                Widen(viewLo, viewHi, v->pt());
                Point3 world, light;
                TransformPoint(toWorld, v->pt(), world);
                TransformPoint(toLight, world, light);
                Widen(lightLo, lightHi, light);
                AppendVertex(&ring, light, v->edgeFlag, 0, 0);
            }
            ring = RemoveCollinearVertices(ring, 0);
            if (CountNodes(ring) < 3) {
                FreeList(ring);
                continue;
            }
            if (!c->planeSet) {
                const VertexNode* v = ring;
                if (!PlaneCoefficients3(v->pt(), v->next->pt(), v->next->next->pt(), c->plane[0], c->plane[1],
                                        c->plane[2], c->plane[3])) {
                    FreeList(ring);
                    continue;
                }
                c->planeSet = true;
                if (std::fabs(c->plane[2]) < kEdgeOn) {
                    FreeList(ring);
                    grazed = true;
                    continue;
                }
            }
            ring = NormalizePolygon(1, ring, nullptr);
            MarkDoubledEdges(ring);
            OutlinePolygon* p = NewOutlinePolygon(ring);
            p->link = o;
            o->state = 0;
            *tail = p;
            tail = &p->next;
        }
        if (grazed) {
            FreeCasters(c);
            continue;
        }
        // A group lit on the side the viewer does not see shows none of the
        // shadows cast on it (they would all be dropped on the way back into
        // the view): it receives nothing, and no pair is cast onto it.
        const ZcGeVector3d n = g->plane.normal();
        const double lit = n.x * lightInView.x + n.y * lightInView.y + n.z * lightInView.z;
        if (std::fabs(lit) >= kEdgeOn && lit * -n.z < 0.0)
            for (OutlinePolygon* p = c->polygons; p; p = p->next) p->state = 2;
        c->next = casters;
        casters = c;
    }
    return casters;
}

// Step 2: groups seen edge-on receive nothing and hide nothing here.
void DropEdgeOnGroups(FaceGroup** groups, Caster* casters) {
    for (Caster* c = casters; c; c = c->next)
        if (c->id < 0)
            for (OutlinePolygon* p = c->polygons; p; p = p->next) p->link = nullptr;
    for (FaceGroup** at = groups; *at;) {
        FaceGroup* g = *at;
        if (std::fabs(g->plane.normal().z) < kEdgeOn) {
            *at = g->next;
            g->next = nullptr;
            FreeFaceGroups(g);
            continue;
        }
        for (OutlinePolygon* o = g->outlines; o; o = o->next) {
            o->ring = NormalizePolygon(1, o->ring, nullptr);
            MarkDoubledEdges(o->ring);
        }
        at = &g->next;
    }
}

// Every group outline with its group, its plan-box area and their plan
// index.
struct GroupOutlines {
    std::vector<std::pair<const FaceGroup*, const OutlinePolygon*>> all;
    std::vector<double> areas;
    BoxIndex index;

    explicit GroupOutlines(const FaceGroup* groups) {
        for (const FaceGroup* g = groups; g; g = g->next)
            for (const OutlinePolygon* q = g->outlines; q; q = q->next) {
                all.push_back({g, q});
                areas.push_back((q->box2d[2] - q->box2d[0]) * (q->box2d[3] - q->box2d[1]));
                index.Add(q->box2d);
            }
        index.Build(SharedTolerance);
    }
};

// Calls f(caster, its group's plane, receiver polygon, its group outline)
// for every receiver polygon linked to an outline of its own group.
template <typename F>
void ForEachReceiver(Caster* casters, FaceGroup* groups, F&& f) {
    const GroupsById groupOf(groups);
    for (Caster* s = casters; s; s = s->next) {
        if (s->id < 0) continue;
        const FaceGroup* own = groupOf(s->id);
        if (!own) continue;
        double plane[4];
        Coefficients(own->plane, plane);
        for (OutlinePolygon* r = s->polygons; r; r = r->next)
            if (const OutlinePolygon* p = r->link) f(*s, plane, *r, *p);
    }
}

// A box round a's lowest corner that every box holding a's (as BoxWithin
// measures) meets: the polygons that may hold a are looked up by it, not
// by a's whole box, which for a wall along the floor meets half of it.
void CornerBox(const OutlinePolygon& a, double box[4]) {
    const double t = 100.0 * SharedTolerance;
    box[0] = a.box2d[0] - t, box[1] = a.box2d[1] - t;
    box[2] = a.box2d[0] + t, box[3] = a.box2d[1] + t;
}

// A receiver polygon whose group outline a nearer outline covers in the
// view receives nothing.
void MarkHiddenReceivers(Caster* casters, FaceGroup* groups, bool indexed) {
    GroupOutlines outlines(groups);
    const auto hide = [&](const Caster& s, const double plane[4], OutlinePolygon& r,
                          const OutlinePolygon& p) {
        double corner[4];
        CornerBox(p, corner);
        for (int i : outlines.index.Query(indexed ? corner : p.box2d)) {
            const auto& [g, q] = outlines.all[i];
            if (g->id == s.id || q->state == 2 ||
                !CellsOverlapXY(p.cellLow, p.cellHigh, q->cellLow, q->cellHigh) ||
                q->cellHigh[2] > p.cellLow[2])
                continue;
            if (!BoxWithin(p, *q)) continue;
            bool inFront = false;
            for (const VertexNode* v = q->ring; v && !inFront; v = v->next)
                inFront = v->z - PlaneZ(plane, v->x, v->y) < SharedTolerance;
            if (inFront && PolygonInsidePolygon(p.ring, q->ring)) {
                r.state = 2;
                break;
            }
        }
    };
    ForEachReceiver(casters, groups, hide);
}

// The parts of `ring` (lying in `plane`) that the parts of `cutter` in
// front of that plane leave uncovered in the view; `left` is replaced.
void ClipByNearer(std::vector<OutlinePolygon*>& left, const VertexNode* cutter, const double cutterPlane[4],
                  const double plane[4]) {
    bool whole = false;
    const std::vector<OwnedList<VertexNode>> front = PartsInFrontOfPlane(cutter, plane, whole);
    std::vector<const VertexNode*> cutters;
    if (whole) cutters.push_back(cutter);
    for (const OwnedList<VertexNode>& f : front) cutters.push_back(f.get());
    for (const VertexNode* c : cutters) {
        std::vector<OutlinePolygon*> next;
        for (OutlinePolygon* x : left) {
            OutlinePolygon* parts = ClipPolygonByPolygon(&x->ring, c, cutterPlane, plane);
            if (!parts) {
                if (PolygonInsidePolygon(x->ring, c) == 1)
                    FreeOutlinePolygons(x);
                else
                    next.push_back(x);
                continue;
            }
            FreeOutlinePolygons(x);
            while (parts) {
                OutlinePolygon* part = parts;
                parts = part->next;
                part->next = nullptr;
                part->ring = RemoveCollinearVertices(part->ring, 0);
                if (CountNodes(part->ring) < 3 || PolygonOrientation(part->ring) == 1) {
                    FreeOutlinePolygons(part);
                    continue;
                }
                SetOutlineBox(*part);
                next.push_back(part);
            }
        }
        left.swap(next);
    }
}

// A receiver polygon whose group outline the outlines in front of it cover
// together receives nothing either: its shadows would all be clipped away
// in the view. The nearer outlines are tried largest first, so a receiver
// under a slab is found covered in a few clips; one that is still seen
// after kCoverTries clips, or whose seen part falls into many pieces, is
// taken as seen.
void MarkCoveredReceivers(Caster* casters, FaceGroup* groups, const ShadowSearch& search) {
    constexpr int kCoverTries = 64;
    constexpr std::size_t kCoverPieces = 16;
    GroupOutlines outlines(groups);
    std::vector<int> near;
    const auto cover = [&](const Caster& s, const double plane[4], OutlinePolygon& r,
                           const OutlinePolygon& p) {
        if (r.state == 2 || r.state == 3) return;
        near.clear();
        for (int i : outlines.index.Query(p.box2d)) {
            const auto& [g, q] = outlines.all[i];
            if (g->id == s.id || !CellsOverlapXY(p.cellLow, p.cellHigh, q->cellLow, q->cellHigh) ||
                q->cellLow[2] > p.cellHigh[2])
                continue;
            near.push_back(i);
        }
        if (near.empty()) return;
        // Only the first kCoverTries are tried: largest first, in list order
        // among equals.
        const auto larger = [&outlines](int a, int b) {
            return outlines.areas[a] > outlines.areas[b] || (outlines.areas[a] == outlines.areas[b] && a < b);
        };
        const auto tried = near.begin() + std::min<std::ptrdiff_t>(kCoverTries, std::ssize(near));
        std::partial_sort(near.begin(), tried, near.end(), larger);
        std::vector<OutlinePolygon*> left{NewOutlinePolygon(CopyVertexList(p.ring))};
        int tries = 0;
        for (int i : near) {
            if (left.empty() || ++tries > kCoverTries || left.size() > kCoverPieces) break;
            const auto& [g, q] = outlines.all[i];
            bool overlaps = false;
            for (const OutlinePolygon* x : left)
                overlaps =
                    overlaps || (BoxesOverlap(*x, *q) && !(search.indexed && RingsApart(x->ring, q->ring)));
            if (!overlaps) continue;
            double qPlane[4];
            Coefficients(g->plane, qPlane);
            ClipByNearer(left, q->ring, qPlane, plane);
        }
        if (left.empty()) r.state = 2;
        for (OutlinePolygon* x : left) FreeOutlinePolygons(x);
    };
    ForEachReceiver(casters, groups, cover);
}

// Every shadow polygon with its caster, in caster order, and their plan
// index in light coordinates.
struct CasterPolygons {
    std::vector<std::pair<Caster*, OutlinePolygon*>> all;
    BoxIndex index;
    RingIndex shapes;

    explicit CasterPolygons(Caster* casters) {
        for (Caster* c = casters; c; c = c->next)
            for (OutlinePolygon* p = c->polygons; p; p = p->next) {
                all.push_back({c, p});
                index.Add(p->box2d);
                shapes.Add(p->ring);
            }
        index.Build(SharedTolerance);
        shapes.Build(ApartMargin());
    }
};

// A caster polygon wholly in another caster's shadow casts nothing. A
// polygon's state rises once at most (1 and 3 are passed over) and only
// its own state is asked, so each polygon is tried against the polygons
// that may hold it, found by its corner, in any order.
void MarkShadowedCasters(CasterPolygons& polygons, bool indexed) {
    for (const auto& [s2, r2] : polygons.all) {
        if (r2->state == 1 || r2->state == 3) continue;
        for (int i :
             indexed ? polygons.shapes.At(r2->ring->x, r2->ring->y) : polygons.index.Query(r2->box2d)) {
            const auto [s, r] = polygons.all[i];
            if (s == s2 || !CellsOverlapXY(r->cellLow, r->cellHigh, r2->cellLow, r2->cellHigh) ||
                r->cellLow[2] > r2->cellHigh[2])
                continue;
            if (!BoxWithin(*r2, *r)) continue;
            bool below = true;
            for (const VertexNode* v = r2->ring; v && below; v = v->next)
                below = v->z - PlaneZ(s->plane, v->x, v->y) <= SharedTolerance;
            if (below && PolygonInsidePolygon(r2->ring, r->ring)) {
                r2->state += 1;
                break;
            }
        }
    }
}

// Step 3: the shadows in light coordinates, or null on a user break. For
// each caster the pairs are tried in the order of a walk over receivers,
// their polygons and the caster's polygons, so the pieces come out in that
// order.
ShadowGroup* CastShadows(Caster* casters, CasterPolygons& polygons, std::uint8_t& breakFlag,
                         const ShadowSearch& search) {
    const double tol100 = 100.0 * SharedTolerance;
    ShadowGroup* result = nullptr;
    std::unordered_map<int, OutlinePolygon**> tails;  // by group number
    Meter meter(kShadingMeter, static_cast<int>(polygons.all.size()));
    std::vector<std::pair<int, int>> pairs;  // receiver polygon, caster polygon
    int first = 0;                           // the caster's first polygon
    for (Caster* s = casters; s; s = s->next) {
        if (zcedUsrBrk()) {
            breakFlag = 1;
            break;
        }
        const int count = CountNodes(s->polygons);
        pairs.clear();
        for (int k = first; k < first + count; ++k) {
            const OutlinePolygon* r = polygons.all[k].second;
            if (r->state == 1 || r->state == 3) continue;
            // Through the ring index only the polygons within reach of r's
            // shape, of those its box meets.
            for (int i : search.indexed ? polygons.shapes.Near(r->ring) : polygons.index.Query(r->box2d)) {
                const auto& [s2, r2] = polygons.all[i];
                // State 3 is hidden too (and in shadow): it receives nothing.
                if (s2 == s || s2->id < 0 || !s2->planeSet || r2->state == 2 || r2->state == 3 ||
                    !CellsOverlapXY(r->cellLow, r->cellHigh, r2->cellLow, r2->cellHigh) ||
                    (search.indexed && !BoxesOverlap(*r, *r2)))
                    continue;
                if (search.indexed && RingsApart(r->ring, r2->ring)) continue;
                pairs.push_back({i, k});
            }
        }
        first += count;
        std::sort(pairs.begin(), pairs.end());
        for (const auto& [i, k] : pairs) {
            Caster* s2 = polygons.all[i].first;
            OutlinePolygon* r2 = polygons.all[i].second;
            const OutlinePolygon* r = polygons.all[k].second;
            // The caster laid onto the receiver's plane along the light, each
            // vertex keeping its height above it.
            VertexNode* w = CopyVertexList(r->ring);
            bool above = false;
            for (VertexNode* v = w; v; v = v->next) {
                const double z = PlaneZ(s2->plane, v->x, v->y);
                v->spare = v->z - z;
                v->z = z;
                above = above || v->spare > tol100;
            }
            OutlinePolygon* pieces = above ? ShadowOfPolygon(w, &r2->ring, s->plane) : nullptr;
            FreeList(w);
            if (!pieces) continue;
            for (OutlinePolygon* p = pieces; p; p = p->next) {
                p->link = r2->link;  // the receiving outline, merged apart
                p->reference[0] = p->ring->x;
                p->reference[1] = p->ring->y;
                p->reference[2] = p->ring->z + 1.0;
            }
            // Appended at the group's kept tail: the lists grow long.
            auto [at, added] = tails.try_emplace(std::abs(s2->id), nullptr);
            if (added) at->second = &PrependShadowGroup(result, std::abs(s2->id))->pieces;
            OutlinePolygon** tail = at->second;
            while (*tail) tail = &(*tail)->next;
            *tail = pieces;
            while (*tail) tail = &(*tail)->next;
            at->second = tail;
        }
        meter.Step();
    }
    if (breakFlag) return FreeShadowGroups(result);
    return result;
}

}  // namespace

ShadowGroup* ComputeViewShading(FaceGroup** groups, const Matrix4& viewFrame, const Point3& lightDirection,
                                std::uint8_t& breakFlag, const ShadowSearch& search) {
    Matrix4 toWorld;
    if (!groups || !*groups || !InvertMatrix4(viewFrame, toWorld)) return nullptr;
    const double length =
        std::sqrt(lightDirection.x * lightDirection.x + lightDirection.y * lightDirection.y +
                  lightDirection.z * lightDirection.z);
    if (!(length > 0.0)) return nullptr;
    const ZcGePlane lightPlane(
        ZcGePoint3d(0.0, 0.0, 0.0),
        ZcGeVector3d(lightDirection.x / length, lightDirection.y / length, lightDirection.z / length));
    Matrix4 toLight, fromLight;
    PlaneMatrices(lightPlane, toLight, fromLight);

    double viewLo[3] = {1e300, 1e300, 1e300}, viewHi[3] = {-1e300, -1e300, -1e300};
    double lightLo[3] = {1e300, 1e300, 1e300}, lightHi[3] = {-1e300, -1e300, -1e300};
    Point3 origin, lightEnd;
    TransformPoint(viewFrame, {0.0, 0.0, 0.0}, origin);
    TransformPoint(viewFrame, lightDirection, lightEnd);
    const Point3 lightInView{lightEnd.x - origin.x, lightEnd.y - origin.y, lightEnd.z - origin.z};
    Caster* casters = MakeCasters(*groups, toWorld, toLight, lightInView, viewLo, viewHi, lightLo, lightHi);
    DropEdgeOnGroups(groups, casters);
    if (viewLo[0] > viewHi[0]) {
        FreeCasters(casters);
        return nullptr;
    }
    double gridA[63], gridB[63];
    SpanViewGrid(viewLo, viewHi, gridA);
    SpanViewGrid(lightLo, lightHi, gridB);
    for (FaceGroup* g = *groups; g; g = g->next)
        for (OutlinePolygon* o = g->outlines; o; o = o->next) {
            CellBoxOfRing(o->ring, o->cellLow, o->cellHigh, gridA);
            SetOutlineBox(*o);
        }
    for (Caster* c = casters; c; c = c->next)
        for (OutlinePolygon* p = c->polygons; p; p = p->next) {
            CellBoxOfRing(p->ring, p->cellLow, p->cellHigh, gridB);
            SetOutlineBox(*p);
        }
    MarkHiddenReceivers(casters, *groups, search.indexed);
    MarkCoveredReceivers(casters, *groups, search);
    CasterPolygons polygons(casters);
    MarkShadowedCasters(polygons, search.indexed);
    ShadowGroup* shadows = CastShadows(casters, polygons, breakFlag, search);
    FreeCasters(casters);
    if (breakFlag) return FreeShadowGroups(shadows);

    // Back into view coordinates; a piece on the side of its receiver that
    // the viewer does not see (its reference point, raised towards the
    // light, lies behind the plane) is dropped.
    Matrix4 lightToView;
    MultiplyMatrix4(viewFrame, fromLight, lightToView);
    const GroupsById groupOf(*groups);
    for (ShadowGroup* s = shadows; s; s = s->next) {
        const FaceGroup* receiver = groupOf(s->number);
        double plane[4] = {0.0, 0.0, -1.0, 0.0};
        if (receiver) Coefficients(receiver->plane, plane);
        for (OutlinePolygon** at = &s->pieces; *at;) {
            OutlinePolygon* p = *at;
            TransformRing(p->ring, lightToView);
            Point3 ref;
            TransformPoint(lightToView, {p->reference[0], p->reference[1], p->reference[2]}, ref);
            p->reference[0] = ref.x, p->reference[1] = ref.y, p->reference[2] = ref.z;
            p->ring = RemoveStraightVertices(p->ring, 0.01);
            if (!receiver || ref.z > PlaneZ(plane, ref.x, ref.y) || CountNodes(p->ring) < 3) {
                *at = p->next;
                p->next = nullptr;
                FreeOutlinePolygons(p);
                continue;
            }
            at = &p->next;
        }
    }
    shadows = CleanShadowGroups(shadows);
    MergeByOutline(shadows, false, search.indexed);
    for (ShadowGroup* s = shadows; s; s = s->next) {
        for (OutlinePolygon* p = s->pieces; p; p = p->next) {
            CellBoxOfRing(p->ring, p->cellLow, p->cellHigh, gridA);
            SetOutlineBox(*p);
        }
    }
    return HideShadowPieces(shadows, *groups, gridA, breakFlag, search);
}

namespace {

// What one outline P of a nearer group does to the shadow pieces lying on
// one receiving group: only the part of P nearer than the receiving plane
// covers anything on it (an outline behind the receiver, a wall under a
// slab, hides none of its shadows).
class OutlineCutter {
public:
    OutlineCutter(const OutlinePolygon& p, const double plane[4], const double receiving[4],
                  const double* gridA)
        : p_(p), plane_(plane), receiving_(receiving), gridA_(gridA) {}

    // Whether P may cover anything of X: cells, depth cells and boxes, and
    // with `shapes` the rings themselves.
    bool Meets(const OutlinePolygon& x, bool shapes) const {
        return CellsOverlapXY(x.cellLow, x.cellHigh, p_.cellLow, p_.cellHigh) &&
               p_.cellLow[2] <= x.cellHigh[2] && BoxesOverlap(x, p_) &&
               !(shapes && RingsApart(x.ring, p_.ring));
    }

    // False when X stays as it is. Otherwise X (taken out of its list) is
    // freed, and `left` receives what P leaves of it, cleaned, in order.
    // A long X may come with its points and crowded vertices, for the cuts
    // to be built near P.
    bool Cut(OutlinePolygon* x, OutlinePolygon*& left, const RingPoints* xPoints = nullptr,
             std::span<const Point3> xCrowded = {}) {
        const double tol100 = 100.0 * SharedTolerance;
        bool behind = false;
        for (const VertexNode* v = x->ring; v && !behind; v = v->next)
            behind = v->z - PlaneZ(plane_, v->x, v->y) > tol100;
        if (behind && !asked_) {
            front_ = PartsInFrontOfPlane(p_.ring, receiving_, whole_);
            asked_ = true;
        }
        if (!behind || (!whole_ && front_.empty())) return false;
        std::vector<const VertexNode*> cutters;
        if (whole_) cutters.push_back(p_.ring);
        for (const OwnedList<VertexNode>& f : front_) cutters.push_back(f.get());
        // The pieces of X left by every cutter in turn.
        bool changed = false;
        OutlinePolygon* todo = x;
        for (const VertexNode* cutter : cutters) {
            OutlinePolygon* next = nullptr;
            while (todo) {
                OutlinePolygon* y = todo;
                todo = y->next;
                y->next = nullptr;
                OutlinePolygon* parts =
                    y == x ? ClipPolygonByPolygon(&y->ring, cutter, plane_, receiving_, xPoints, xCrowded)
                           : ClipPolygonByPolygon(&y->ring, cutter, plane_, receiving_);
                if (!parts) {
                    if (PolygonInsidePolygon(y->ring, cutter) == 1) {
                        FreeOutlinePolygons(y);
                        changed = true;
                    } else {
                        y->next = next;
                        next = y;
                    }
                    continue;
                }
                changed = true;
                OutlinePolygon* on = y->link;
                FreeOutlinePolygons(y);
                for (OutlinePolygon* part = parts; part; part = part->next) part->link = on;
                while (parts) {
                    OutlinePolygon* part = parts;
                    parts = part->next;
                    part->next = nullptr;
                    part->ring = RemoveStraightVertices(RemoveCollinearVertices(part->ring, 0), 0.02);
                    // Pieces come out counter-clockwise; a clockwise one is a
                    // sliver turned inside out by the cleaning.
                    if (CountNodes(part->ring) < 3 || PolygonOrientation(part->ring) == 1) {
                        FreeOutlinePolygons(part);
                        continue;
                    }
                    CellBoxOfRing(part->ring, part->cellLow, part->cellHigh, gridA_);
                    SetOutlineBox(*part);
                    part->next = next;
                    next = part;
                }
            }
            todo = next;
        }
        left = todo;
        return changed;
    }

private:
    const OutlinePolygon& p_;
    const double* plane_;
    const double* receiving_;
    const double* gridA_;
    bool asked_ = false, whole_ = false;
    std::vector<OwnedList<VertexNode>> front_;
};

// Puts the parts at the head of `kept`, the last first.
void Keep(OutlinePolygon*& kept, OutlinePolygon* left) {
    while (left) {
        OutlinePolygon* part = left;
        left = part->next;
        part->next = kept;
        kept = part;
    }
}

// Every group's outlines against every shadow group's pieces, by their
// cells and boxes: the plain search.
void HideByScan(ShadowGroup* shadows, FaceGroup* groups, const double gridA[63], std::uint8_t& breakFlag,
                const ShadowSearch& search) {
    Meter meter(kHidingMeter, CountNodes(groups));
    const GroupsById groupOf(groups);
    for (FaceGroup* g = groups; g; g = g->next) {
        if (zcedUsrBrk()) {
            breakFlag = 1;
            break;
        }
        double plane[4];
        Coefficients(g->plane, plane);
        for (ShadowGroup* o = shadows; o; o = o->next) {
            if (o->number == g->id) continue;
            const FaceGroup* receiver = groupOf(o->number);
            if (!receiver) continue;
            double receiving[4];
            Coefficients(receiver->plane, receiving);
            for (const OutlinePolygon* p = g->outlines; p; p = p->next) {
                OutlineCutter cutter(*p, plane, receiving, gridA);
                OutlinePolygon* kept = nullptr;  // the parts of clipped pieces
                for (OutlinePolygon** at = &o->pieces; *at;) {
                    OutlinePolygon* x = *at;
                    if (search.pairsTried) ++*search.pairsTried;
                    if (!cutter.Meets(*x, false)) {
                        at = &x->next;
                        continue;
                    }
                    *at = x->next;
                    x->next = nullptr;
                    OutlinePolygon* left = nullptr;
                    if (!cutter.Cut(x, left)) {
                        // X untouched: it stays where it was.
                        x->next = *at;
                        *at = x;
                        at = &x->next;
                        continue;
                    }
                    Keep(kept, left);
                }
                if (kept) {
                    OutlinePolygon* last = kept;
                    while (last->next) last = last->next;
                    last->next = o->pieces;
                    o->pieces = kept;
                }
            }
        }
        meter.Step();
    }
}

// The pieces of one shadow group in their list order, filed by plan cells
// over the group's extent. A piece's parts lie within its box, so the
// cells never need to grow; parts go to the head of the list. Each piece
// filed has a slot, which the cells name: a piece taken out is only marked
// so, and a lookup reads flags rather than a table of pieces.
class PieceGrid {
public:
    explicit PieceGrid(OutlinePolygon* pieces) {
        double extent[4] = {1e300, 1e300, -1e300, -1e300};
        int count = 0;
        for (const OutlinePolygon* p = pieces; p; p = p->next, ++count) {
            extent[0] = std::min(extent[0], p->box2d[0]), extent[1] = std::min(extent[1], p->box2d[1]);
            extent[2] = std::max(extent[2], p->box2d[2]), extent[3] = std::max(extent[3], p->box2d[3]);
        }
        std::copy(extent, extent + 4, extent_);
        grid_ = PlanGrid(extent, std::clamp(static_cast<int>(std::sqrt(static_cast<double>(count))), 1, 256));
        cells_.assign(static_cast<std::size_t>(grid_.Cells()), {});
        std::int64_t key = 0;
        for (OutlinePolygon* p = pieces; p; p = p->next) File(p, key++);
    }

    // The pieces given, in their order, then the parts put at the head.
    void PutAtHead(OutlinePolygon* parts) {
        std::int64_t key = head_ - CountNodes(parts);
        head_ = key;
        for (OutlinePolygon* p = parts; p;) {
            OutlinePolygon* next = p->next;
            p->next = nullptr;
            File(p, key++);
            p = next;
        }
    }
    OutlinePolygon* Piece(int slot) const { return pieces_[static_cast<std::size_t>(slot)]; }
    // Whether the box widened by t meets the pieces' extent, which holds
    // every part later cut from them.
    bool Spans(const double box[4], double t) const {
        return !(extent_[2] < box[0] - t || box[2] < extent_[0] - t || extent_[3] < box[1] - t ||
                 box[3] < extent_[1] - t);
    }
    // Whether the piece in the slot is long and lies clearly apart from the
    // small polygon within `box` (see RingPointsApart): a shadow piece
    // running across the floor is then found apart from a wall's outline
    // without building their difference. Its points are kept while it
    // stays as it is.
    bool LongApart(int slot, const VertexNode* small, const double box[4]) {
        const std::size_t k = static_cast<std::size_t>(slot);
        if (CountNodesUpTo(pieces_[k]->ring, kMostVertices) <= kMostVertices) return false;
        return RingPointsApart(*PointsOf(slot), small, box, ApartMargin());
    }
    // The points and the crowded vertices (at the clipping snap) of the
    // piece in the slot, for cuts built near a short outline.
    const RingPoints* PointsOf(int slot) {
        const std::size_t k = static_cast<std::size_t>(slot);
        if (!points_[k]) points_[k] = PointsOfRing(pieces_[k]->ring);
        return &*points_[k];
    }
    std::span<const Point3> CrowdedOf(int slot) {
        const std::size_t k = static_cast<std::size_t>(slot);
        if (!crowded_[k]) crowded_[k] = CrowdedVertices(pieces_[k]->ring, 100.0 * SharedTolerance);
        return *crowded_[k];
    }
    // Takes a piece out (its cells keep it, unread) or puts it back.
    void Remove(int slot) { left_[static_cast<std::size_t>(slot)] = false; }
    void Restore(int slot) { left_[static_cast<std::size_t>(slot)] = true; }

    // The slots, in list order, of the pieces left whose boxes meet the
    // outline's box widened by t. An outline over many cells looks only in
    // the cells its shape comes within the apart margin of.
    const std::vector<int>& Near(const OutlinePolygon& outline, double t) {
        const double* box = outline.box2d;
        ++stamp_;
        near_.clear();
        Cover(outline, t, reached_);
        for (const int c : reached_)
            for (const int slot : cells_[static_cast<std::size_t>(c)]) {
                const std::size_t k = static_cast<std::size_t>(slot);
                if (!left_[k] || seen_[k] == stamp_) continue;
                seen_[k] = stamp_;
                const double* b = pieces_[k]->box2d;
                if (b[2] < box[0] - t || box[2] < b[0] - t || b[3] < box[1] - t || box[3] < b[1] - t)
                    continue;
                near_.push_back({key_[k], slot});
            }
        std::sort(near_.begin(), near_.end());
        found_.clear();
        for (const auto& [key, slot] : near_) found_.push_back(slot);
        return found_;
    }

    // The pieces left, linked in list order.
    OutlinePolygon* List() const {
        std::vector<std::pair<std::int64_t, OutlinePolygon*>> all;
        for (std::size_t k = 0; k < pieces_.size(); ++k)
            if (left_[k]) all.push_back({key_[k], pieces_[k]});
        std::sort(all.begin(), all.end());
        OutlinePolygon* head = nullptr;
        for (auto it = all.rbegin(); it != all.rend(); ++it) {
            it->second->next = head;
            head = it->second;
        }
        return head;
    }

private:
    void File(OutlinePolygon* p, std::int64_t key) {
        const int slot = static_cast<int>(pieces_.size());
        pieces_.push_back(p);
        points_.emplace_back();
        crowded_.emplace_back();
        key_.push_back(key);
        left_.push_back(true);
        seen_.push_back(0);
        Cover(*p, 0.0, reached_);
        for (const int c : reached_) cells_[static_cast<std::size_t>(c)].push_back(slot);
    }

    // The cells of the polygon's box widened by t; for a polygon over many
    // cells, such as a shadow or a wall's side running askew across the
    // floor, only those its shape comes within the apart margin of. Rings
    // further apart than that take nothing from each other, so a piece
    // and an outline that share no cell leave each other as they are.
    void Cover(const OutlinePolygon& p, double t, std::vector<int>& cells) {
        cells.clear();
        grid_.CoverBox(p.box2d, t, cells);
        if (cells.size() <= kFewCells) return;
        shape_.clear();
        if (!grid_.CoverRing(p.ring, ApartMargin(), shape_)) return;
        std::sort(shape_.begin(), shape_.end());
        shape_.erase(std::unique(shape_.begin(), shape_.end()), shape_.end());
        if (shape_.size() < cells.size()) cells.swap(shape_);
    }

    static constexpr std::size_t kFewCells = 8;

    PlanGrid grid_;
    double extent_[4];
    std::vector<OutlinePolygon*> pieces_;                      // by slot
    std::vector<std::optional<RingPoints>> points_;            // of long pieces, when asked
    std::vector<std::optional<std::vector<Point3>>> crowded_;  // likewise
    std::vector<std::int64_t> key_;                            // each slot's place in the list
    std::vector<bool> left_;                                   // not taken out (nor cut up)
    std::vector<std::uint32_t> seen_;                          // the lookup that last met the slot
    std::vector<std::vector<int>> cells_;
    std::vector<int> reached_, shape_;
    std::vector<std::pair<std::int64_t, int>> near_;  // place and slot
    std::vector<int> found_;
    std::uint32_t stamp_ = 0;
    std::int64_t head_ = 0;
};

// The same cuts in the same order as HideByScan, the pieces a group's
// outlines may meet looked up: the shadow groups by the extent of their
// pieces as they were given (a part lies within the piece it was cut
// from), and within a shadow group through its piece grid. A receiver as
// large as the floor then gives each outline only the pieces near it.
void HideByIndex(ShadowGroup* shadows, FaceGroup* groups, const double gridA[63], std::uint8_t& breakFlag,
                 const ShadowSearch& search) {
    std::vector<ShadowGroup*> receiving;  // shadow groups in list order
    std::vector<const FaceGroup*> receiver;
    std::vector<PieceGrid> grids;
    const GroupsById groupById(groups);
    for (ShadowGroup* o = shadows; o; o = o->next) {
        receiving.push_back(o);
        receiver.push_back(groupById(o->number));
        grids.emplace_back(o->pieces);
        o->pieces = nullptr;
    }
    // Each outline with the shadow groups near it: an outline is cut only
    // into the groups whose pieces it may meet, not into every group some
    // outline of its face group meets. Groups hold their own pieces, so
    // taking them group by group keeps each group's cuts in order.
    struct Outline {
        const OutlinePolygon* p;
        double box[4];  // of its ring, which its plan box may not yet be
    };
    std::vector<std::pair<int, int>> near;  // shadow group, outline
    std::vector<Outline> outlines;
    Meter meter(kHidingMeter, CountNodes(groups));
    for (FaceGroup* g = groups; g; g = g->next) {
        if (zcedUsrBrk()) {
            breakFlag = 1;
            break;
        }
        near.clear();
        outlines.clear();
        for (const OutlinePolygon* p = g->outlines; p; p = p->next) {
            const int at = static_cast<int>(outlines.size());
            outlines.push_back({p, {}});
            RingPlanBox(p->ring, outlines.back().box);
            for (std::size_t k = 0; k < grids.size(); ++k)
                if (receiving[k]->number != g->id && receiver[k] && grids[k].Spans(p->box2d, SharedTolerance))
                    near.push_back({static_cast<int>(k), at});
        }
        std::sort(near.begin(), near.end());
        double plane[4];
        Coefficients(g->plane, plane);
        for (std::size_t run = 0; run < near.size();) {
            const std::size_t k = static_cast<std::size_t>(near[run].first);
            std::size_t end = run;
            while (end < near.size() && near[end].first == near[run].first) ++end;
            double receivingPlane[4];
            Coefficients(receiver[k]->plane, receivingPlane);
            PieceGrid& grid = grids[k];
            for (; run < end; ++run) {
                const Outline& outline = outlines[static_cast<std::size_t>(near[run].second)];
                const OutlinePolygon* p = outline.p;
                const double* pBox = outline.box;
                // The pieces are only marked while the cuts run; nothing is
                // filed before the lookup's last slot is read.
                const std::vector<int>& slots = grid.Near(*p, SharedTolerance);
                if (slots.empty()) continue;
                OutlineCutter cutter(*p, plane, receivingPlane, gridA);
                OutlinePolygon* kept = nullptr;
                for (const int slot : slots) {
                    OutlinePolygon* x = grid.Piece(slot);
                    if (search.pairsTried) ++*search.pairsTried;
                    if (!cutter.Meets(*x, true) || grid.LongApart(slot, p->ring, pBox)) continue;
                    grid.Remove(slot);
                    x->next = nullptr;
                    OutlinePolygon* left = nullptr;
                    const bool isLong = CountNodesUpTo(x->ring, kLongPiece) > kLongPiece;
                    if (!(isLong ? cutter.Cut(x, left, grid.PointsOf(slot), grid.CrowdedOf(slot))
                                 : cutter.Cut(x, left))) {
                        // X untouched: it stays where it was.
                        grid.Restore(slot);
                        continue;
                    }
                    Keep(kept, left);
                }
                if (kept) grid.PutAtHead(kept);
            }
        }
        meter.Step();
    }
    for (std::size_t k = 0; k < receiving.size(); ++k) receiving[k]->pieces = grids[k].List();
}

}  // namespace

ShadowGroup* HideShadowPieces(ShadowGroup* shadows, FaceGroup* groups, const double gridA[63],
                              std::uint8_t& breakFlag, const ShadowSearch& search) {
    if (search.indexed)
        HideByIndex(shadows, groups, gridA, breakFlag, search);
    else
        HideByScan(shadows, groups, gridA, breakFlag, search);
    if (breakFlag) return FreeShadowGroups(shadows);
    shadows = CleanShadowGroups(shadows);
    // Merged outline by outline first, the few pieces left then across
    // outlines: pieces on neighbouring outlines may overlap or touch.
    MergeByOutline(shadows, true, search.indexed);
    int number = 0;
    for (ShadowGroup* s = shadows; s; s = s->next) {
        for (OutlinePolygon* p = s->pieces; p; p = p->next) p->link = nullptr;
        s->pieces = SplitShadowPieces(&s->pieces, s->number);
        s->pieces = MergeShadowPieces(s->pieces, search.indexed);
        s->pieces = JoinShadowPieces(&s->pieces, s->number, search.indexed);
        for (OutlinePolygon* p = s->pieces; p; p = p->next) MarkDoubledEdges(p->ring);
        s->number = ++number;
    }
    return shadows;
}

namespace {

// The plane (a, b, c, d of ax + by + cz + d = 0) of a ring by Newell's
// sums about its centre; false for a ring without area or seen edge-on.
bool NewellPlane(const VertexNode* ring, double plane[4]) {
    double n[3] = {0.0, 0.0, 0.0}, sum[3] = {0.0, 0.0, 0.0};
    int count = 0;
    for (const VertexNode* v = ring; v; v = v->next, ++count) {
        const VertexNode* w = v->next ? v->next : ring;
        n[0] += (v->y - w->y) * (v->z + w->z);
        n[1] += (v->z - w->z) * (v->x + w->x);
        n[2] += (v->x - w->x) * (v->y + w->y);
        sum[0] += v->x, sum[1] += v->y, sum[2] += v->z;
    }
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (count < 3 || !(length > 0.0) || !(std::fabs(n[2]) > 1e-9 * length)) return false;
    for (int k = 0; k < 3; ++k) plane[k] = n[k] / length;
    plane[3] = -(plane[0] * sum[0] + plane[1] * sum[1] + plane[2] * sum[2]) / count;
    return true;
}

}  // namespace

void ClearShadowsInOutlines(ShadowGroup* shadows, const OutlinePolygon* outlines) {
    for (const OutlinePolygon* cut = outlines; cut; cut = cut->next) {
        double cutPlane[4];
        if (CountNodes(cut->ring) < 3 || !NewellPlane(cut->ring, cutPlane)) continue;
        for (ShadowGroup* group = shadows; group; group = group->next) {
            OutlinePolygon* kept = nullptr;
            for (OutlinePolygon** at = &group->pieces; *at;) {
                OutlinePolygon* x = *at;
                double receiving[4];
                const bool apart = x->box2d[2] < cut->box2d[0] || cut->box2d[2] < x->box2d[0] ||
                                   x->box2d[3] < cut->box2d[1] || cut->box2d[3] < x->box2d[1];
                if (apart || !NewellPlane(x->ring, receiving)) {
                    at = &x->next;
                    continue;
                }
                OutlinePolygon* parts = ClipPolygonByPolygon(&x->ring, cut->ring, cutPlane, receiving);
                if (!parts && PolygonInsidePolygon(x->ring, cut->ring) != 1) {
                    at = &x->next;
                    continue;
                }
                while (parts) {
                    OutlinePolygon* part = parts;
                    parts = part->next;
                    part->next = nullptr;
                    part->ring = RemoveCollinearVertices(part->ring, 0);
                    if (CountNodes(part->ring) < 3) {
                        FreeOutlinePolygons(part);
                        continue;
                    }
                    MarkDoubledEdges(part->ring);
                    part->next = kept;
                    kept = part;
                }
                *at = x->next;
                x->next = nullptr;
                FreeOutlinePolygons(x);
            }
            if (!kept) continue;
            OutlinePolygon* last = kept;
            while (last->next) last = last->next;
            last->next = group->pieces;
            group->pieces = kept;
        }
    }
}
