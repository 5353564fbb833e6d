// The cut walls' outlines. Every pass screens pairs by plan boxes or by an
// index of end points, then applies the exact tests in list order.
#include "visual/views/wall_outlines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "core/base/module_state.h"
#include "core/geometry/box_index.h"
#include "core/geometry/outline.h"
#include "core/geometry/polygon.h"
#include "core/geometry/vertex_list.h"
#include "core/name_list.h"
#include "host/util/nocase.h"
#include "visual/views/cap_solids.h"
#include "visual/views/polygon_clip.h"
#include "visual/views/section_caps.h"
#include "visual/views/section_cut.h"
#include "visual/views/section_faces.h"
#include "visual/views/segment_ops.h"

namespace {

// A ring is searched at most this deep from its first segment.
constexpr int kRingDepth = 16;
// Steps one start of the ring search may take before it is given up; a
// closed path tested for other segments inside counts as kRingTestCost.
constexpr int kRingSearchBudget = 2000;
constexpr int kRingTestCost = 10;

std::int32_t CellIndex(double v) {
    if (!(std::fabs(v) < 2.0e9)) return v > 0.0 ? 2000000000 : -2000000000;
    return static_cast<std::int32_t>(v);
}

bool Meets(const Point3& p, const Point3& q, double t) {
    return Distance2d(p, q) <= t;
}

// On the segment within t: near its line and between its ends.
bool OnSegment(const Point3& p, const Point3& a, const Point3& b, double t) {
    if (!IsOnSegmentTol(p, a, b, t)) return false;
    const double length = Distance2d(a, b);
    if (length <= t) return true;
    const double cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    return std::fabs(cross) / length <= t;
}

// The point at plan parameter s along a-b, its z on the segment.
Point3 PointAlong(const Point3& a, const Point3& b, const Point3& at) {
    return {at.x, at.y, SegmentZAt2d(a, b, at.x, at.y)};
}

// End points filed by plan cells of the tolerance's size; a query lists
// what lies in the cells around a point, for the caller to test.
class EndIndex {
public:
    struct Entry {
        int id;
        int end;  // 0 start, 1 end
    };
    explicit EndIndex(double t) : cell_(t > 1e-9 ? t : 1e-9) {}
    void Add(const Point3& p, int id, int end) { cells_[Key(Cell(p.x), Cell(p.y))].push_back({id, end}); }
    template <class F>
    void Around(const Point3& p, F visit) const {
        const std::int64_t cx = Cell(p.x), cy = Cell(p.y);
        for (std::int64_t dx = -1; dx <= 1; ++dx)
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto it = cells_.find(Key(cx + dx, cy + dy));
                if (it == cells_.end()) continue;
                for (const Entry& e : it->second) visit(e);
            }
    }

private:
    std::int64_t Cell(double v) const {
        const double c = std::floor(v / cell_);
        if (!(std::fabs(c) < 4.0e18)) return 0;
        return static_cast<std::int64_t>(c);
    }
    static std::uint64_t Key(std::int64_t x, std::int64_t y) {
        return static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(y);
    }
    double cell_;
    std::unordered_map<std::uint64_t, std::vector<Entry>> cells_;
};

void FreeSlot(std::vector<ViewSegment*>& segments, int i) {
    delete segments[i];
    segments[i] = nullptr;
}

// A takes the outer ends of A and B, which lie on one line.
void TakeOuterEnds(ViewSegment& A, const ViewSegment& B) {
    double ux = A.end.x - A.start.x, uy = A.end.y - A.start.y;
    if (ux == 0.0 && uy == 0.0) ux = B.end.x - B.start.x, uy = B.end.y - B.start.y;
    const Point3 pts[4] = {A.start, A.end, B.start, B.end};
    int lo = 0, hi = 0;
    double loS = 0.0, hiS = 0.0;
    for (int k = 0; k < 4; ++k) {
        const double s = ux * (pts[k].x - A.start.x) + uy * (pts[k].y - A.start.y);
        if (k == 0 || s < loS) lo = k, loS = s;
        if (k == 0 || s > hiS) hi = k, hiS = s;
    }
    A.start = pts[lo];
    A.end = pts[hi];
}

// Step 1.2: the cut segments of 3D wall layers split at the end points of
// the other cut segments that lie on them, so that walls meeting in a T
// share their vertices. The far pieces are appended, each from one split
// point to the next.
void SplitWallCuts(CSezione& section, std::vector<ViewSegment*>& segments, double t, double cellSize) {
    std::vector<std::int32_t> wallValues;
    for (const NameNode* n = section.layerNames; n; n = n->next)
        if (IsWallLayerName(n->name)) wallValues.push_back(n->value);
    if (wallValues.empty()) return;
    const auto isWall = [&](const ViewSegment& s) {
        return s.colour < 0 && std::find(wallValues.begin(), wallValues.end(), s.layer) != wallValues.end();
    };

    BoxIndex points;
    std::vector<std::pair<int, Point3>> pointOf;
    for (int i = 0; i < static_cast<int>(segments.size()); ++i) {
        const ViewSegment* s = segments[i];
        if (!s || s->colour >= 0) continue;
        for (const Point3& p : {s->start, s->end}) {
            const double box[4] = {p.x, p.y, p.x, p.y};
            points.Add(box);
            pointOf.push_back({i, p});
        }
    }
    points.Build(t);

    const int original = static_cast<int>(segments.size());
    std::vector<std::pair<double, Point3>> cuts;
    for (int i = 0; i < original; ++i) {
        ViewSegment* s = segments[i];
        if (!s || !isWall(*s)) continue;
        double box[4];
        PlanBox(s->start, s->end, box);
        cuts.clear();
        for (int e : points.Query(box)) {
            const auto& [owner, p] = pointOf[e];
            if (owner == i || Meets(p, s->start, t) || Meets(p, s->end, t)) continue;
            if (!OnSegment(p, s->start, s->end, t)) continue;
            cuts.push_back({Distance2d(s->start, p), p});
        }
        if (cuts.empty()) continue;
        std::sort(cuts.begin(), cuts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        const Point3 a = s->start, b = s->end;
        Point3 from = PointAlong(a, b, cuts.front().second);
        s->end = from;
        SegmentCells(*s, cellSize);
        for (std::size_t k = 1; k <= cuts.size(); ++k) {
            const Point3 to = k < cuts.size() ? PointAlong(a, b, cuts[k].second) : b;
            if (Meets(from, to, t)) continue;
            auto* piece = new ViewSegment;
            piece->colour = s->colour;
            piece->layer = s->layer;
            piece->face = -1;
            piece->start = from;
            piece->end = to;
            SegmentCells(*piece, cellSize);
            segments.push_back(piece);
            ++section.sectionSegmentCount;
            from = to;
        }
    }
}

// Step 1.4: the closed rings of one chain by a bounded depth-first search
// over the segments whose ends meet. Each start is searched with a growing
// depth limit (3 segments, then 4, ... up to 16), so the smallest ring
// through a segment is the one found first, and a start gives up after a
// fixed number of steps: a dense mesh of cut segments cannot make the
// search explode.
class RingFinder {
public:
    RingFinder(const SegmentRec* chain, double t) : t_(t) {
        for (const SegmentRec* s = chain; s; s = s->next) segs_.push_back({s->first(), s->second()});
        const int n = static_cast<int>(segs_.size());
        used_.assign(n, 0);
        inPath_.assign(n, 0);
        EndIndex ends(t);
        for (int i = 0; i < n; ++i) {
            ends.Add(segs_[i].a, i, 0);
            ends.Add(segs_[i].b, i, 1);
            double box[4];
            PlanBox(segs_[i].a, segs_[i].b, box);
            boxes_.Add(box);
        }
        boxes_.Build(t);
        // What meets each end, in list order.
        meeting_.resize(2 * static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            for (int end = 0; end < 2; ++end) {
                const Point3& p = end == 0 ? segs_[i].a : segs_[i].b;
                std::vector<EndIndex::Entry>& list = meeting_[2 * i + end];
                ends.Around(p, [&](const EndIndex::Entry& e) {
                    if (e.id == i) return;
                    const Seg& g = segs_[e.id];
                    if (Meets(e.end == 0 ? g.a : g.b, p, t_)) list.push_back(e);
                });
                std::sort(list.begin(), list.end(), [](const EndIndex::Entry& x, const EndIndex::Entry& y) {
                    return x.id != y.id ? x.id < y.id : x.end < y.end;
                });
            }
    }

    // Every ring found, as a new vertex list, in the order found.
    std::vector<VertexNode*> Run() {
        std::vector<VertexNode*> rings;
        for (int s = 0; s < static_cast<int>(segs_.size()); ++s)
            while (VertexNode* ring = SearchFrom(s)) rings.push_back(ring);
        return rings;
    }

private:
    struct Seg {
        Point3 a, b;
    };

    VertexNode* SearchFrom(int s) {
        if (Meets(segs_[s].a, segs_[s].b, t_)) return nullptr;
        const std::uint8_t wasUsed = used_[s];
        used_[s] = 1;
        inPath_[s] = 1;
        budget_ = kRingSearchBudget;
        for (int limit = 3; limit <= kRingDepth && budget_ >= 0; ++limit) {
            path_.assign(1, s);
            verts_.assign({segs_[s].a, segs_[s].b});
            if (Extend(2 * s + 1, 1, limit)) {
                for (int k : path_) inPath_[k] = 0;
                return std::exchange(found_, nullptr);
            }
        }
        inPath_[s] = 0;
        used_[s] = wasUsed;
        return nullptr;
    }

    // Follows the unused segments that meet the end `at` (segment * 2 +
    // end) of the path's last segment.
    bool Extend(int at, int depth, int limit) {
        if (--budget_ < 0) return false;
        for (const EndIndex::Entry& e : meeting_[at]) {
            if (used_[e.id]) continue;
            const Seg& g = segs_[e.id];
            const Point3& far = e.end == 0 ? g.b : g.a;
            used_[e.id] = 1;
            inPath_[e.id] = 1;
            path_.push_back(e.id);
            if (Meets(far, verts_.front(), t_)) {
                budget_ -= kRingTestCost;
                if (Accept()) return true;
            } else if (depth + 1 < limit) {
                verts_.push_back(far);
                if (Extend(2 * e.id + (1 - e.end), depth + 1, limit)) return true;
                verts_.pop_back();
            }
            path_.pop_back();
            inPath_[e.id] = 0;
            used_[e.id] = 0;
            if (budget_ < 0) return false;
        }
        return false;
    }

    // A closed path is a ring when no other segment of the chain lies
    // inside it: the smallest rings are kept, not the one around several.
    bool Accept() {
        if (verts_.size() < 3) return false;
        VertexNode* ring = nullptr;
        for (const Point3& p : verts_) AppendVertex(&ring, p, 0, 0, 0);
        double box[4] = {verts_[0].x, verts_[0].y, verts_[0].x, verts_[0].y};
        for (const Point3& p : verts_) {
            box[0] = std::min(box[0], p.x), box[1] = std::min(box[1], p.y);
            box[2] = std::max(box[2], p.x), box[3] = std::max(box[3], p.y);
        }
        const std::vector<int> near = boxes_.Query(box);
        for (int k : near) {
            if (inPath_[k]) continue;
            if (Inside(segs_[k], ring)) {
                FreeList(ring);
                return false;
            }
        }
        found_ = ring;
        return true;
    }

    // Both ends inside or on the ring, and the segment not merely running
    // along its border or across its outside from one vertex to another.
    static bool Inside(const Seg& g, const VertexNode* ring) {
        const int a = PointInPolygon(g.a, ring, kEdgesReported);
        const int b = PointInPolygon(g.b, ring, kEdgesReported);
        if (a == kOutsidePolygon || b == kOutsidePolygon) return false;
        if (a == kInsidePolygon || b == kInsidePolygon) return true;
        Point3 mid;
        MidPoint(g.a, g.b, mid);
        return PointInPolygon(mid, ring, kEdgesReported) == kInsidePolygon;
    }

    double t_;
    BoxIndex boxes_;
    std::vector<Seg> segs_;
    std::vector<std::vector<EndIndex::Entry>> meeting_;
    std::vector<std::uint8_t> used_;
    std::vector<std::uint8_t> inPath_;
    std::vector<int> path_;
    std::vector<Point3> verts_;
    int budget_ = 0;
    VertexNode* found_ = nullptr;
};

// The cut pieces of one chain joined into runs: a face's cut comes in
// pieces (one per face of the triangulated wall side, and split again where
// another cut ends on it), and the pieces that continue one another on one
// line make one run, kept as its outermost ends along its first piece's
// direction. A run is touched when a segment outside it has an end on one
// of its pieces' ends.
struct CutRuns {
    std::vector<std::pair<Point3, Point3>> ends;
    std::vector<std::uint8_t> touched;
};

CutRuns RunsOf(const SegmentRec* chain, double t) {
    std::vector<std::pair<Point3, Point3>> pieces;
    for (const SegmentRec* s = chain; s; s = s->next) pieces.push_back({s->first(), s->second()});
    const int count = static_cast<int>(pieces.size());
    EndIndex ends(t);
    for (int i = 0; i < count; ++i) {
        ends.Add(pieces[i].first, i, 0);
        ends.Add(pieces[i].second, i, 1);
    }
    const auto endOf = [&](const EndIndex::Entry& e) -> const Point3& {
        return e.end == 0 ? pieces[e.id].first : pieces[e.id].second;
    };

    std::vector<int> runOf(count);
    std::iota(runOf.begin(), runOf.end(), 0);
    const auto root = [&runOf](int i) {
        while (runOf[i] != i) i = runOf[i] = runOf[runOf[i]];
        return i;
    };
    for (int i = 0; i < count; ++i)
        for (const Point3& p : {pieces[i].first, pieces[i].second})
            ends.Around(p, [&](const EndIndex::Entry& e) {
                if (e.id == i || !Meets(p, endOf(e), t)) return;
                const Point3 a[2] = {pieces[i].first, pieces[i].second};
                const Point3 b[2] = {pieces[e.id].first, pieces[e.id].second};
                if (SegmentsCollinear2d(a, b, t)) runOf[root(i)] = root(e.id);
            });

    std::vector<int> runIndex(count, -1);
    CutRuns runs;
    std::vector<std::pair<Point3, Point3>>& segs = runs.ends;
    std::vector<std::pair<double, double>> reach;
    for (int i = 0; i < count; ++i) {
        const int r = root(i);
        const Point3 origin = pieces[r].first;
        if (runIndex[r] < 0) {
            runIndex[r] = static_cast<int>(segs.size());
            segs.push_back({origin, origin});
            reach.push_back({0.0, 0.0});
        }
        const int k = runIndex[r];
        const double length = Distance2d(pieces[r].first, pieces[r].second);
        if (length <= 0.0) continue;
        const double ux = (pieces[r].second.x - origin.x) / length,
                     uy = (pieces[r].second.y - origin.y) / length;
        for (const Point3& p : {pieces[i].first, pieces[i].second}) {
            const double along = ux * (p.x - origin.x) + uy * (p.y - origin.y);
            if (along < reach[k].first) reach[k].first = along, segs[k].first = p;
            if (along > reach[k].second) reach[k].second = along, segs[k].second = p;
        }
    }

    runs.touched.assign(segs.size(), 0);
    for (int i = 0; i < count; ++i)
        for (const Point3& p : {pieces[i].first, pieces[i].second})
            ends.Around(p, [&](const EndIndex::Entry& e) {
                if (root(e.id) != root(i) && Meets(p, endOf(e), t)) runs.touched[runIndex[root(i)]] = 1;
            });
    return runs;
}

// Step 1.5: the two cut faces of a wall whose ends meet nothing, closed
// across the wall into a four-sided ring; a face's cut is a loose run.
std::vector<VertexNode*> PairLooseFaces(const SegmentRec* chain, double t, double wallWidth) {
    std::vector<VertexNode*> rings;
    if (!(wallWidth > 0.0)) return rings;
    const CutRuns runs = RunsOf(chain, t);
    const std::vector<std::pair<Point3, Point3>>& segs = runs.ends;
    const int n = static_cast<int>(segs.size());
    std::vector<int> loose;
    for (int k = 0; k < n; ++k)
        if (!runs.touched[k]) loose.push_back(k);
    if (loose.size() < 2) return rings;

    BoxIndex boxes;
    for (int i : loose) {
        double box[4];
        PlanBox(segs[i].first, segs[i].second, box);
        boxes.Add(box);
    }
    boxes.Build(wallWidth + t);
    std::vector<std::uint8_t> paired(loose.size(), 0);
    for (int k = 0; k < static_cast<int>(loose.size()); ++k) {
        if (paired[k]) continue;
        const auto& [a, b] = segs[loose[k]];
        const double length = Distance2d(a, b);
        if (length <= t) continue;
        const double ux = (b.x - a.x) / length, uy = (b.y - a.y) / length;
        double box[4];
        PlanBox(a, b, box);
        for (int j : boxes.Query(box)) {
            if (j <= k || paired[j]) continue;
            const auto& [c, d] = segs[loose[j]];
            // Offsets across the first's line and positions along it.
            const double oc = ux * (c.y - a.y) - uy * (c.x - a.x);
            const double od = ux * (d.y - a.y) - uy * (d.x - a.x);
            const double pc = ux * (c.x - a.x) + uy * (c.y - a.y);
            const double pd = ux * (d.x - a.x) + uy * (d.y - a.y);
            if (std::fabs(oc) > wallWidth + t || std::fabs(od) > wallWidth + t) continue;
            // Facing: both ends on one side, across a gap.
            if (std::fabs(oc) <= t || std::fabs(od) <= t || (oc > 0.0) != (od > 0.0)) continue;
            if (std::min(length, std::max(pc, pd)) - std::max(0.0, std::min(pc, pd)) <= t) continue;
            // One wall's faces end together: a run along only part of the
            // other (a face's stretch above a window whose reveals lie on
            // another layer) would close across the wall aslant, over the
            // opening.
            if (std::fabs(std::min(pc, pd)) > t || std::fabs(std::max(pc, pd) - length) > t) continue;
            VertexNode* ring = nullptr;
            AppendVertex(&ring, a, 0, 0, 0);
            AppendVertex(&ring, b, 0, 0, 0);
            AppendVertex(&ring, pc > pd ? c : d, 0, 0, 0);
            AppendVertex(&ring, pc > pd ? d : c, 0, 0, 0);
            rings.push_back(ring);
            paired[k] = paired[j] = 1;
            break;
        }
    }
    return rings;
}

// Step 1.6: a wall closed at one end of its cut and open at the other (a
// wall with its top closed, standing on nothing) cuts into a U: the runs of
// its two faces, each with one end free, the other ends joined by one run
// across the wall. The U is closed across its open end.
std::vector<VertexNode*> CloseOpenFaces(const SegmentRec* chain, double t, double wallWidth) {
    std::vector<VertexNode*> rings;
    if (!(wallWidth > 0.0)) return rings;
    const CutRuns runs = RunsOf(chain, t);
    const int n = static_cast<int>(runs.ends.size());
    const auto endOf = [&runs](int k, int e) -> const Point3& {
        return e == 0 ? runs.ends[k].first : runs.ends[k].second;
    };
    EndIndex index(t);
    for (int k = 0; k < n; ++k) index.Add(endOf(k, 0), k, 0), index.Add(endOf(k, 1), k, 1);
    // The other runs whose outer ends meet each outer end.
    std::vector<std::array<std::vector<int>, 2>> meets(n);
    for (int k = 0; k < n; ++k)
        for (int e = 0; e < 2; ++e)
            index.Around(endOf(k, e), [&](const EndIndex::Entry& x) {
                if (x.id != k && Meets(endOf(k, e), endOf(x.id, x.end), t)) meets[k][e].push_back(x.id);
            });
    // The free end of a side whose other end meets only `across`, or -1.
    const auto freeEnd = [&meets](int side, int across) {
        for (int e = 0; e < 2; ++e)
            if (meets[side][e].empty() && meets[side][1 - e].size() == 1 && meets[side][1 - e][0] == across)
                return e;
        return -1;
    };
    std::vector<std::uint8_t> used(n, 0);
    for (int across = 0; across < n; ++across) {
        if (used[across] || meets[across][0].size() != 1 || meets[across][1].size() != 1) continue;
        const int a = meets[across][0][0], b = meets[across][1][0];
        if (a == b || used[a] || used[b]) continue;
        const int ea = freeEnd(a, across), eb = freeEnd(b, across);
        if (ea < 0 || eb < 0) continue;
        const Point3 &fa = endOf(a, ea), &ca = endOf(a, 1 - ea), &fb = endOf(b, eb), &cb = endOf(b, 1 - eb);
        const double la = Distance2d(fa, ca), lb = Distance2d(fb, cb);
        if (la <= t || lb <= t || Distance2d(ca, cb) > wallWidth + t || Distance2d(fa, fb) > wallWidth + t)
            continue;
        // The two faces run side by side, the same way from the joined end.
        const double ux = (fa.x - ca.x) / la, uy = (fa.y - ca.y) / la;
        const double vx = (fb.x - cb.x) / lb, vy = (fb.y - cb.y) / lb;
        if (std::fabs(ux * vy - uy * vx) * std::min(la, lb) > t || ux * vx + uy * vy <= 0.0) continue;
        VertexNode* ring = nullptr;
        for (const Point3* p : {&fa, &ca, &cb, &fb}) AppendVertex(&ring, *p, 0, 0, 0);
        rings.push_back(ring);
        used[a] = used[b] = used[across] = 1;
    }
    return rings;
}

void PushOutline(CSezione& section, VertexNode* ring) {
    OutlinePolygon* outline = NewOutlinePolygon(ring);
    outline->next = section.wallOutlines;
    section.wallOutlines = outline;
}

}  // namespace

void SegmentCells(ViewSegment& segment, double cellSize) {
    if (!(cellSize > 0.0)) cellSize = 1.0;
    const double lo[3] = {std::min(segment.start.x, segment.end.x), std::min(segment.start.y, segment.end.y),
                          std::min(segment.start.z, segment.end.z)};
    const double hi[3] = {std::max(segment.start.x, segment.end.x), std::max(segment.start.y, segment.end.y),
                          std::max(segment.start.z, segment.end.z)};
    for (int k = 0; k < 3; ++k) {
        segment.cellLow[k] = CellIndex(std::floor(lo[k] / cellSize));
        segment.cellHigh[k] = CellIndex(std::ceil(hi[k] / cellSize));
    }
}

int MergeCollinearCuts(std::vector<ViewSegment*>& segments, bool perLayer, double t, double cellSize) {
    BoxIndex index;
    std::vector<int> ids;
    for (int i = 0; i < static_cast<int>(segments.size()); ++i) {
        const ViewSegment* s = segments[i];
        if (!s || s->colour >= 0) continue;
        double box[4];
        PlanBox(s->start, s->end, box);
        index.Add(box);
        ids.push_back(i);
    }
    if (ids.size() < 2) return 0;
    index.Build(t);

    // A freed segment names the one that covers it, so a query that meets
    // its box reaches the segment that grew over it.
    std::vector<int> owner(segments.size());
    std::iota(owner.begin(), owner.end(), 0);
    const auto find = [&owner](int i) {
        while (owner[i] != i) i = owner[i] = owner[owner[i]];
        return i;
    };
    int freed = 0;
    std::vector<int> candidates;
    for (int a : ids) {
        bool grew = true;
        while (grew && segments[a]) {
            grew = false;
            double box[4];
            PlanBox(segments[a]->start, segments[a]->end, box);
            candidates.clear();
            for (int e : index.Query(box))
                if (const int b = find(ids[e]); b != a && segments[b]) candidates.push_back(b);
            std::sort(candidates.begin(), candidates.end());
            candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
            for (int b : candidates) {
                ViewSegment& A = *segments[a];
                ViewSegment& B = *segments[b];
                if (perLayer && A.layer != B.layer) continue;
                const Point3 pa[2] = {A.start, A.end}, pb[2] = {B.start, B.end};
                if (!SegmentsCollinear2d(pa, pb, t)) continue;
                if (IsOnSegmentTol(B.start, A.start, A.end, SharedTolerance) &&
                    IsOnSegmentTol(B.end, A.start, A.end, SharedTolerance)) {
                    FreeSlot(segments, b);
                    owner[b] = a;
                    ++freed;
                    continue;
                }
                if (IsOnSegmentTol(A.start, B.start, B.end, SharedTolerance) &&
                    IsOnSegmentTol(A.end, B.start, B.end, SharedTolerance)) {
                    FreeSlot(segments, a);
                    owner[a] = b;
                    ++freed;
                    break;
                }
                Point3 common[2];
                if (OverlapOfCollinearSegments2d(A.start, A.end, B.start, B.end, common) != 1) continue;
                TakeOuterEnds(A, B);
                SegmentCells(A, cellSize);
                FreeSlot(segments, b);
                owner[b] = a;
                ++freed;
                grew = true;
                break;
            }
        }
    }
    return freed;
}

// Whether a cut of the chain runs through the ring's inside (its middle
// more than t from the ring's edges): two faces paired across it are no
// wall's two faces, the strip between them may be air (a room a hair wide
// between two walls the plane runs along).
bool CutsThrough(const VertexNode* ring, const SegmentRec* chain, double t) {
    double box[4];
    RingPlanBox(ring, box);
    for (const SegmentRec* s = chain; s; s = s->next) {
        const Point3 mid{(s->geom[0] + s->geom[3]) / 2.0, (s->geom[1] + s->geom[4]) / 2.0, 0.0};
        if (mid.x <= box[0] || mid.x >= box[2] || mid.y <= box[1] || mid.y >= box[3]) continue;
        if (PointAgainstRing(mid, ring, t) == kInsidePolygon) return true;
    }
    return false;
}

void BuildWallOutlines(CSezione& section, std::vector<ViewSegment*>& segments) {
    const double t = section.minLength;
    section.sectionSegmentCount -= MergeCollinearCuts(segments, true, t, section.unitLength);
    SplitWallCuts(section, segments, t, section.unitLength);

    static const double kUp[3] = {0.0, 0.0, 1.0};
    for (const NameNode* layer = section.layerNames; layer; layer = layer->next) {
        SegmentRec* head = nullptr;
        SegmentRec** tail = &head;
        for (const ViewSegment* s : segments) {
            if (!s || s->colour >= 0 || s->layer != layer->value) continue;
            const double six[6] = {s->start.x, s->start.y, s->start.z, s->end.x, s->end.y, s->end.z};
            *tail = new SegmentRec(six, kUp, 0, nullptr);
            tail = &(*tail)->next;
        }
        if (!head) continue;
        auto* chain = new WallChain;
        chain->segments = head;
        chain->layerValue = layer->value;
        chain->wallLayer = IsWallLayerName(layer->name) ? 1 : 0;
        chain->next = section.wallChains;
        section.wallChains = chain;

        // A ring of one layer's cuts may ring a void (a window's opening
        // in the cut of the wall along it): where the faces were searched
        // for caps, it is a cut only where a cap holds it.
        for (VertexNode* ring : RingFinder(head, t).Run()) {
            if (!section.capsSearched || InCap(section, ring))
                PushOutline(section, ring);
            else
                FreeList(ring);
        }
        if (chain->wallLayer) {
            // Two faces side by side in the view need not be one wall's:
            // the inner faces of a corner the plane clips stand as close.
            // Where the faces were searched for caps, only a pair whose
            // solid lies behind it, as a cap found by the rays, and with
            // no cut running between, is a wall's cut.
            for (VertexNode* ring : PairLooseFaces(head, t, section.wallLayerLength)) {
                if (!section.capsSearched || (InCap(section, ring) && !CutsThrough(ring, head, t)))
                    PushOutline(section, ring);
                else
                    FreeList(ring);
            }
            for (VertexNode* ring : CloseOpenFaces(head, t, section.wallLayerLength))
                PushOutline(section, ring);
        }
    }
    AddCapOutlines(section);
}
