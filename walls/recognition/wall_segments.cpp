// Filling the chain from a face graph: one segment per straight stretch of
// wall face, collinear faces of one wall merged across the gaps between
// them (openings, cut lines) unless a pilaster or another face stands in
// the gap.
//
// A floor has thousands of faces, so the faces a merge may take and those
// that may stand in its way are asked through a grid of the faces rather
// than walked whole for every candidate; `useGrid` off walks them (the
// reference the grid must agree with).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "core/base/module_state.h"
#include "core/level_layers.h"
#include "core/level_records.h"
#include "core/levels.h"
#include "host/util/nocase.h"
#include "walls/graph/outline_record.h"
#include "walls/recognition/defmuri.h"
#include "walls/recognition/separators.h"
#include "walls/recognition/wall_type_marks.h"

namespace {

bool HasStraightEdge(const WallFace* f) {
    return !f->isArc() && f->edges;
}

// The type of a face's lines: the last non-general name (else `name` as
// given) and whether any line is marked external.
void ReadFaceType(const WallFace* f, std::string& name, bool& external) {
    external = false;
    for (const FaceEdge* e = f->edges; e; e = e->next) {
        std::string edgeName = e->wallTypeName;
        bool edgeExternal = e->externalSide > 0;
        if (e->hasEntity()) ReadWallTypeXData(e->entity, edgeName, edgeExternal);
        if (!zcutEqualsNoCase(edgeName, kDefaultWallTypeName)) name = edgeName;
        if (edgeExternal) external = true;
    }
}

// Within the wall distance of G at one of its ends.
bool Reaches(const DEFMURI& set, const WallSegment& s, const WallFace& g) {
    Point3 nearer;
    NearerPoint(s.start, g.start, g.end, nearer);
    if (Distance2d(s.start, nearer) <= set.wallDistance) return true;
    NearerPoint(s.end, g.start, g.end, nearer);
    return Distance2d(s.end, nearer) <= set.wallDistance;
}

bool Collinear(const WallSegment& s, const WallFace& g) {
    return ArePointsCollinear4(s.start, s.end, g.start, g.end, SharedTolerance);
}

// The pilaster outlines of the level.
std::vector<OwnedList<VertexNode>> ReadPilasters(double level) {
    std::vector<OwnedList<VertexNode>> out;
    ForEachLevelRecord(kPilasterApp, level, kLevelTolerance, [&](const ads_name entity) {
        if (VertexNode* outline = GetPillarOutline(entity)) out.emplace_back(outline);
    });
    return out;
}

// Predecessors in the graph's face list, so that a face merged from the
// middle of a floor's list leaves it without a walk from the head.
class FaceListLinks {
public:
    explicit FaceListLinks(WallFace* head) {
        WallFace* prev = nullptr;
        for (WallFace* f = head; f; f = f->next) {
            m_prev[f] = prev;
            prev = f;
        }
    }
    void Unlink(WallFace* face, WallFace** list) {
        const auto it = m_prev.find(face);
        if (it == m_prev.end()) return UnlinkFace(face, list);
        WallFace* prev = it->second;
        WallFace* next = face->next;
        (prev ? prev->next : *list) = next;
        if (next) m_prev[next] = prev;
        face->next = nullptr;
        m_prev.erase(it);
    }

private:
    std::unordered_map<const WallFace*, WallFace*> m_prev;
};

void Unlink(WallFace* face, WallFace** list, FaceListLinks* links) {
    if (links)
        links->Unlink(face, list);
    else
        UnlinkFace(face, list);
}

// Takes the head face of the graph into a new segment, or frees it when it
// has no straight edge; null then.
WallSegment* TakeHeadFace(CFACCIATE* graph, FaceListLinks* links) {
    WallFace* f = graph->faces;
    Unlink(f, &graph->faces, links);
    if (!HasStraightEdge(f)) {
        FreeFaceList(f);
        return nullptr;
    }
    WallSegment* s = NewWallSegment();
    s->faces = f;
    s->start = f->start;
    s->end = f->end;
    return s;
}

void Absorb(WallSegment* s, WallFace* g, CFACCIATE* graph, const Point3 extent[2], FaceListLinks* links) {
    s->start = extent[0];
    s->end = extent[1];
    Unlink(g, &graph->faces, links);
    g->next = s->faces;
    s->faces = g;
}

class FaceGrid {
public:
    enum Place : std::uint8_t { kOut, kGraph, kChain };

    FaceGrid(const WallFace* graphFaces, const WallSegment* chain) {
        double sum = 0.0, longest = 0.0;
        std::size_t count = 0;
        auto measure = [&](const WallFace* f) {
            const Box b = BoxOf(f);
            const double size = std::max(b.x1 - b.x0, b.y1 - b.y0);
            if (!std::isfinite(size)) return;
            sum += size;
            longest = std::max(longest, size);
            m_reach = std::max({m_reach, std::fabs(b.x0), std::fabs(b.x1), std::fabs(b.y0), std::fabs(b.y1)});
            ++count;
        };
        for (const WallFace* f = graphFaces; f; f = f->next) measure(f);
        for (const WallSegment* s = chain; s; s = s->next)
            for (const WallFace* f = s->faces; f; f = f->next) measure(f);
        // About one face per cell, and never so many cells that one long
        // face or query walks a floor's worth of them.
        m_cell = std::max({count ? sum / static_cast<double>(count) : 1.0, longest / 256.0, 1e-6});
        std::int64_t order = 0;
        for (const WallFace* f = graphFaces; f; f = f->next) Enter(f, kGraph, order++);
        for (const WallSegment* s = chain; s; s = s->next)
            for (const WallFace* f = s->faces; f; f = f->next) Enter(f, kChain, order++);
    }

    void Move(const WallFace* f, Place place) {
        const auto it = m_faces.find(f);
        if (it != m_faces.end()) it->second.place = place;
    }
    void MoveList(const WallFace* list, Place place) {
        for (const WallFace* f = list; f; f = f->next) Move(f, place);
    }

    // The faces in one of the places whose box comes within `margin` of
    // a or b, each once, in the graph's order.
    std::vector<const WallFace*> NearEither(const Point3& a, const Point3& b, double margin, bool graph,
                                            bool chain) {
        std::vector<std::pair<std::int64_t, const WallFace*>> found;
        // A stamp per box: a face seen off the first box may meet the second.
        for (const Point3* p : {&a, &b}) {
            ++m_stamp;
            Visit(*p, *p, margin, graph, chain, [&](const WallFace* f, const Entry& entry) {
                found.emplace_back(entry.order, f);
                return false;
            });
        }
        std::vector<const WallFace*> out = InOrder(found);
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return out;
    }

    // Whether `test` holds for a face in one of the places whose box comes
    // within `margin` of the box of p1-p2, asked in no set order.
    template <typename Test>
    bool Any(const Point3& p1, const Point3& p2, double margin, bool graph, bool chain, Test test) {
        ++m_stamp;
        return Visit(p1, p2, margin, graph, chain, [&](const WallFace* f, const Entry&) { return test(f); });
    }

private:
    struct Box {
        double x0, y0, x1, y1;
    };
    struct Cells {
        bool valid;
        std::int64_t i0, j0, i1, j1;
    };
    struct Entry {
        const WallFace* face = nullptr;
        Box box;
        std::int64_t order = 0;
        std::uint64_t stamp = 0;
        Place place = kOut;
    };

    static Box BoxOf(const WallFace* f) {
        Box b{f->start.x, f->start.y, f->start.x, f->start.y};
        auto add = [&b](const Point3& p) {
            b.x0 = std::min(b.x0, p.x), b.y0 = std::min(b.y0, p.y);
            b.x1 = std::max(b.x1, p.x), b.y1 = std::max(b.y1, p.y);
        };
        add(f->end);
        for (const FaceEdge* e = f->edges; e; e = e->next) {
            add(e->start);
            add(e->end);
        }
        return b;
    }
    static std::uint64_t Key(std::int64_t i, std::int64_t j) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(i)) << 32) |
               static_cast<std::uint32_t>(j);
    }
    // The cells of a box; not valid when a coordinate is not finite or the
    // box spans more cells than a grid of 32-bit keys tells apart.
    Cells CellsOf(const Box& b) const {
        const double v[4] = {b.x0 / m_cell, b.y0 / m_cell, b.x1 / m_cell, b.y1 / m_cell};
        for (double x : v)
            if (!std::isfinite(x) || std::fabs(x) > 1e9) return {false, 0, 0, 0, 0};
        const Cells c{
            true, static_cast<std::int64_t>(std::floor(v[0])), static_cast<std::int64_t>(std::floor(v[1])),
            static_cast<std::int64_t>(std::floor(v[2])), static_cast<std::int64_t>(std::floor(v[3]))};
        if ((c.i1 - c.i0 + 1) * (c.j1 - c.j0 + 1) > (std::int64_t{1} << 20)) return {false, 0, 0, 0, 0};
        return c;
    }
    void Enter(const WallFace* f, Place place, std::int64_t order) {
        const auto [it, added] = m_faces.try_emplace(f);
        it->second.place = place;
        if (!added) return;  // a face list two split segments share
        Entry* entry = &it->second;
        entry->face = f;
        entry->box = BoxOf(f);
        entry->order = order;
        const Cells c = CellsOf(entry->box);
        if (!c.valid) {
            m_wide.push_back(entry);
            return;
        }
        for (std::int64_t i = c.i0; i <= c.i1; ++i)
            for (std::int64_t j = c.j0; j <= c.j1; ++j) m_cells[Key(i, j)].push_back(entry);
    }

    // Calls `take` (face, entry) for each face in the places asked whose
    // box comes within `margin` of the box of p1-p2 and that the current
    // stamp has not seen; stops and is true when it returns true.
    template <typename Take>
    bool Visit(const Point3& p1, const Point3& p2, double margin, bool graph, bool chain, Take take) {
        // Intersections are found within a relative 1e-10 of both
        // segments, so a face that far off the box still counts.
        margin += 1e-8 * (1.0 + m_reach);
        const Box b{std::min(p1.x, p2.x) - margin, std::min(p1.y, p2.y) - margin,
                    std::max(p1.x, p2.x) + margin, std::max(p1.y, p2.y) + margin};
        auto wanted = [&](const Entry& entry) {
            return (graph && entry.place == kGraph) || (chain && entry.place == kChain);
        };
        auto consider = [&](Entry& entry) {
            if (entry.stamp == m_stamp) return false;
            entry.stamp = m_stamp;
            if (!wanted(entry)) return false;
            const Box& fb = entry.box;
            if (fb.x1 < b.x0 || fb.x0 > b.x1 || fb.y1 < b.y0 || fb.y0 > b.y1) return false;
            return take(entry.face, entry);
        };
        const Cells c = CellsOf(b);
        if (!c.valid) {
            // A box no cell can hold: every face in the places asked.
            for (auto& [f, entry] : m_faces)
                if (entry.stamp != m_stamp && wanted(entry)) {
                    entry.stamp = m_stamp;
                    if (take(f, entry)) return true;
                }
            return false;
        }
        for (std::int64_t i = c.i0; i <= c.i1; ++i)
            for (std::int64_t j = c.j0; j <= c.j1; ++j) {
                const auto cell = m_cells.find(Key(i, j));
                if (cell == m_cells.end()) continue;
                for (Entry* entry : cell->second)
                    if (consider(*entry)) return true;
            }
        for (Entry* entry : m_wide)
            if (consider(*entry)) return true;
        return false;
    }

    static std::vector<const WallFace*> InOrder(
        std::vector<std::pair<std::int64_t, const WallFace*>>& found) {
        std::sort(found.begin(), found.end());
        std::vector<const WallFace*> out;
        out.reserve(found.size());
        for (const auto& [order, f] : found) out.push_back(f);
        return out;
    }

    double m_cell = 1.0;
    double m_reach = 0.0;
    std::uint64_t m_stamp = 0;
    // Entries stay where they are as the map grows: the cells point at them.
    std::unordered_map<const WallFace*, Entry> m_faces;
    std::unordered_map<std::uint64_t, std::vector<Entry*>> m_cells;
    std::vector<Entry*> m_wide;
};
}  // namespace

bool PilastersCrossSegment(const std::vector<OwnedList<VertexNode>>& pilasters, const Point3& p1,
                           const Point3& p2) {
    Point3 x;
    for (const OwnedList<VertexNode>& ring : pilasters)
        for (const VertexNode* v = ring.get(); v; v = v->next) {
            const VertexNode* w = v->next ? v->next : ring.get();
            if (v == w) continue;
            if (IntersectSegments(p1, p2, v->pt(), w->pt(), true, x)) return true;
        }
    return false;
}

namespace {

// A straight edge of the face crosses p1-p2 farther than tol from both.
bool FaceCrosses(const WallFace* f, const Point3& p1, const Point3& p2, double tol) {
    for (const FaceEdge* e = f->edges; e; e = e->next) {
        Point3 x, edgeEnd, ownEnd;
        if (!IntersectSegments(e->start, e->end, p1, p2, true, x)) continue;
        NearerPoint(x, e->start, e->end, edgeEnd);
        NearerPoint(x, p1, p2, ownEnd);
        if (Distance2d(x, edgeEnd) > tol && Distance2d(x, ownEnd) > tol) return true;
    }
    return false;
}

// The faces of the graph a merge into s may take, in the graph's order:
// through the grid, those within the wall distance of either end of s
// (Reaches asks no more: a merge across the middle of a wall along the
// whole floor would walk the floor), else all.
std::vector<WallFace*> Candidates(CFACCIATE* graph, std::optional<FaceGrid>& grid, const WallSegment& s,
                                  double wallDistance) {
    std::vector<WallFace*> out;
    if (grid) {
        for (const WallFace* g : grid->NearEither(s.start, s.end, wallDistance, true, false))
            out.push_back(const_cast<WallFace*>(g));
    } else {
        for (WallFace* g = graph->faces; g; g = g->next) out.push_back(g);
    }
    return out;
}

// FacesCrossSegment over the graph's faces and the chain's, asked through
// the grid.
bool GridFacesCross(FaceGrid& grid, const Point3& p1, const Point3& p2, double tol) {
    return grid.Any(p1, p2, 0.0, true, true, [&](const WallFace* f) { return FaceCrosses(f, p1, p2, tol); });
}

// The extent of a growing segment as its last merge was checked. Nothing
// crossed it then, and while the segment grows faces only leave the grid's
// places, so a crossing of a longer extent on the same axis lies where the
// extent grew or within `tol` of an old end: only there is asked, and a
// wall along the whole floor is not walked again for every face it takes.
struct CheckedExtent {
    bool valid = false;
    Point3 a, b;
};

bool GrownExtentCrossed(FaceGrid& grid, const CheckedExtent& checked, const Point3& p1, const Point3& p2,
                        double tol) {
    if (!checked.valid) return GridFacesCross(grid, p1, p2, tol);
    const bool alongX = p1.y == p2.y && checked.a.y == p1.y && checked.b.y == p1.y;
    const bool alongY = p1.x == p2.x && checked.a.x == p1.x && checked.b.x == p1.x;
    if (alongX == alongY) return GridFacesCross(grid, p1, p2, tol);
    const auto along = [alongX](const Point3& p) { return alongX ? p.x : p.y; };
    const double lo = std::min(along(p1), along(p2)), hi = std::max(along(p1), along(p2));
    const double oldLo = std::min(along(checked.a), along(checked.b));
    const double oldHi = std::max(along(checked.a), along(checked.b));
    // The old ends, with room for the rounding of the crossing points.
    const double slack = tol + 1e-6 * (1.0 + std::max(std::fabs(lo), std::fabs(hi)));
    if (oldLo < lo || oldHi > hi || oldLo + slack >= oldHi - slack) return GridFacesCross(grid, p1, p2, tol);
    const auto at = [&](double v) {
        Point3 q = p1;
        (alongX ? q.x : q.y) = v;
        return q;
    };
    const auto crosses = [&](const WallFace* f) { return FaceCrosses(f, p1, p2, tol); };
    return grid.Any(at(lo), at(oldLo + slack), 0.0, true, true, crosses) ||
           grid.Any(at(oldHi - slack), at(hi), 0.0, true, true, crosses);
}

}  // namespace

bool DEFMURI::FacesCrossSegment(WallFace* list, const Point3& p1, const Point3& p2) const {
    const double tol = 0.1 * wallDistance;
    auto crosses = [&](const WallFace* faces) {
        for (const WallFace* f = faces; f; f = f->next)
            if (FaceCrosses(f, p1, p2, tol)) return true;
        return false;
    };
    if (crosses(list)) return true;
    for (const WallSegment* s = segments; s; s = s->next)
        if (crosses(s->faces)) return true;
    return false;
}

void DEFMURI::AddTypedSegmentsFromFaces(CFACCIATE* graph) {
    if (!graph) return;
    AddTypedSegments(graph, ReadPilasters(level), ReadSeparators(level));
}

void DEFMURI::AddTypedSegments(CFACCIATE* graph, const std::vector<OwnedList<VertexNode>>& pilasters,
                               const std::vector<SeparatorLine>& separators) {
    std::optional<FaceGrid> grid;
    std::optional<FaceListLinks> links;
    if (useGrid) {
        grid.emplace(graph->faces, segments);
        links.emplace(graph->faces);
    }
    FaceListLinks* linked = links ? &*links : nullptr;
    const double tol = 0.1 * wallDistance;
    while (graph->faces) {
        if (grid) grid->Move(graph->faces, FaceGrid::kOut);
        WallSegment* s = TakeHeadFace(graph, linked);
        if (!s) continue;
        std::string name = kDefaultWallTypeName;
        bool external = false;
        ReadFaceType(s->faces, name, external);
        if (!zcutEqualsNoCase(name, kDefaultWallTypeName)) {
            s->typeName = name;
            ApplyWallType(*s);
        }
        s->external = external;
        const double rect = s->faces->edges->rectangleId;

        CheckedExtent checked;
        bool merged = true;
        while (merged) {
            merged = false;
            for (WallFace* g : Candidates(graph, grid, *s, wallDistance)) {
                if (!HasStraightEdge(g) || !Collinear(*s, *g) || g->edges->rectangleId != rect ||
                    !Reaches(*this, *s, *g))
                    continue;
                std::string gName = s->typeName;
                bool gExternal = false;
                ReadFaceType(g, gName, gExternal);
                if (gExternal != s->external || !zcutEqualsNoCase(gName, s->typeName)) continue;
                Point3 extent[2];
                CollinearSegmentsExtent(s->start, s->end, g->start, g->end, extent);
                if (PilastersCrossSegment(pilasters, extent[0], extent[1]) ||
                    (grid ? GrownExtentCrossed(*grid, checked, extent[0], extent[1], tol)
                          : FacesCrossSegment(graph->faces, extent[0], extent[1])))
                    continue;
                if (grid) grid->Move(g, FaceGrid::kOut);
                Absorb(s, g, graph, extent, linked);
                checked = {true, extent[0], extent[1]};
                merged = true;
                break;
            }
        }
        PushSegment(s);
        if (grid) grid->MoveList(s->faces, FaceGrid::kChain);
        SplitHeadAtSeparators(separators);
    }
}

void DEFMURI::AddSegmentsFromFaces(CFACCIATE* graph) {
    if (!graph) return;
    std::optional<FaceGrid> grid;
    std::optional<FaceListLinks> links;
    if (useGrid) {
        grid.emplace(graph->faces, segments);
        links.emplace(graph->faces);
    }
    FaceListLinks* linked = links ? &*links : nullptr;
    const double tol = 0.1 * wallDistance;
    while (graph->faces) {
        if (grid) grid->Move(graph->faces, FaceGrid::kOut);
        WallSegment* s = TakeHeadFace(graph, linked);
        if (!s) continue;
        s->topZ = s->faces->edges->topZ;
        CheckedExtent checked;
        bool merged = true;
        while (merged) {
            merged = false;
            for (WallFace* g : Candidates(graph, grid, *s, wallDistance)) {
                if (!HasStraightEdge(g) || !Collinear(*s, *g) || !Reaches(*this, *s, *g) ||
                    std::fabs(s->topZ - g->edges->topZ) > SharedTolerance)
                    continue;
                Point3 extent[2];
                CollinearSegmentsExtent(s->start, s->end, g->start, g->end, extent);
                if (grid ? GrownExtentCrossed(*grid, checked, extent[0], extent[1], tol)
                         : FacesCrossSegment(graph->faces, extent[0], extent[1]))
                    continue;
                if (grid) grid->Move(g, FaceGrid::kOut);
                Absorb(s, g, graph, extent, linked);
                checked = {true, extent[0], extent[1]};
                merged = true;
                break;
            }
        }
        PushSegment(s);
        if (grid) grid->MoveList(s->faces, FaceGrid::kChain);
    }
}
