// The point grids of one assembly or contour walk (see point_index.h): the
// pending lines and the outlines, the pending arcs and the arc-wall
// openings, the faces by their end points. The graph keeps them while it
// assembles or walks; they are made from the graph's lists alone, so they
// know nothing of the graph itself. Only the graph's own units use them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/base/module_state.h"
#include "walls/graph/outline_kind.h"
#include "walls/graph/point_index.h"
#include "walls/graph/wall_face.h"

// Cells of half a metre: large beside every tolerance, small beside rooms.
inline double GridCell(double unitFactor) {
    return std::max(50.0 * unitFactor, 1000.0 * SharedTolerance);
}

namespace graph_index {

// How far beyond the box of a-b a point may lie and still pass
// IsPointOnSegment (or IsOnSegmentTol) at the shared tolerance: those take
// the points whose distances to the ends sum to at most the length plus
// the tolerance, an ellipsoid reaching half the tolerance past either end
// and sqrt(2 L tol + tol^2) / 2 to the side. Doubled against rounding.
double OnSegmentReach(const Point3& a, const Point3& b);

// How far from a face end a point may lie and still be the same point
// (PointsEqual), doubled against rounding.
inline double SamePointReach() {
    return 2.0 * SharedTolerance;
}

// A pending list taken apart for one assembly: the edges in list order,
// those taken into faces marked, and the rest linked back into the list at
// the end.
struct PendingEdges {
    explicit PendingEdges(FaceEdge*& list) : pending(list) {
        for (FaceEdge* e = list; e; e = e->next) edges.push_back(e);
        taken.assign(edges.size(), 0);
    }
    // Takes the edge out of the pending list (for good). An assembly takes
    // the first pending edge or one it found by id; the edge a graph is
    // read for is looked for once.
    void take(FaceEdge* e) {
        if (cursor < edges.size() && edges[cursor] == e) {
            taken[cursor] = 1;
        } else if (const auto found = std::find(edges.begin(), edges.end(), e); found != edges.end()) {
            taken[found - edges.begin()] = 1;
        }
        e->next = nullptr;
    }
    void take(int id) {
        taken[id] = 1;
        edges[id]->next = nullptr;
    }
    FaceEdge* firstPending() {
        while (cursor < edges.size() && taken[cursor]) ++cursor;
        return cursor < edges.size() ? edges[cursor] : nullptr;
    }
    // Links the edges still pending back into the list, in order.
    void finish() {
        FaceEdge** tail = &pending;
        for (std::size_t i = 0; i < edges.size(); ++i) {
            if (taken[i]) continue;
            *tail = edges[i];
            tail = &edges[i]->next;
        }
        *tail = nullptr;
    }

    FaceEdge*& pending;
    std::vector<FaceEdge*> edges;
    std::vector<char> taken;
    std::size_t cursor = 0;
    std::vector<int> found;  // the ids of the search under way
};

// The pending lines with a grid of their end points, and the outlines with
// a grid of their gap and corner points.
struct LineIndex : PendingEdges {
    LineIndex(FaceEdge*& pendingLines, OutlineNode* outlines, double unitFactor)
        : PendingEdges(pendingLines), ends(GridCell(unitFactor)), outlinePoints(GridCell(unitFactor)) {
        ends.reserve(2 * edges.size());
        for (std::size_t id = 0; id < edges.size(); ++id) {
            ends.add(edges[id]->start, static_cast<int>(id));
            ends.add(edges[id]->end, static_cast<int>(id));
        }
        for (OutlineNode* o = outlines; o; o = o->next) {
            const int id = static_cast<int>(outl.size());
            outl.push_back(o);
            if (o->kind != OutlineKind::StraightWallOpening && o->kind != OutlineKind::WallCorner) continue;
            for (const Point3& p : {o->gapA[0], o->gapA[1], o->gapB[0], o->gapB[1]}) outlinePoints.add(p, id);
            if (o->kind == OutlineKind::WallCorner)
                for (const Point3& p : o->corner) outlinePoints.add(p, id);
        }
    }

    PointIndex ends;
    std::vector<OutlineNode*> outl;
    PointIndex outlinePoints;
};

// The pending arcs by centre and the arc-wall openings by base point.
struct ArcIndex : PendingEdges {
    ArcIndex(FaceEdge*& pendingArcs, OutlineNode* outlines, double unitFactor)
        : PendingEdges(pendingArcs), centres(GridCell(unitFactor)), bases(GridCell(unitFactor)) {
        for (std::size_t id = 0; id < edges.size(); ++id)
            centres.add(edges[id]->arc.centre, static_cast<int>(id));
        for (OutlineNode* o = outlines; o; o = o->next) {
            if (o->kind != OutlineKind::ArcWallOpening) continue;
            bases.add(o->base, static_cast<int>(outl.size()));
            outl.push_back(o);
        }
    }

    PointIndex centres;
    std::vector<OutlineNode*> outl;
    PointIndex bases;
};

// The faces of the graph's list by their end points, in list order; faces
// taken out of the list by a walk are marked.
struct FaceIndex {
    FaceIndex(WallFace* faces, double unitFactor) : ends(GridCell(unitFactor)) {
        std::size_t n = 0;
        for (WallFace* f = faces; f; f = f->next) ++n;
        list.reserve(n);
        ends.reserve(2 * n);
        for (WallFace* f = faces; f; f = f->next) {
            const int id = static_cast<int>(list.size());
            list.push_back(f);
            ends.add(f->firstPoint(), id);
            ends.add(f->lastPoint(), id);
        }
        removed.assign(list.size(), 0);
    }
    void finish() {}
    std::vector<WallFace*> list;
    std::vector<char> removed;
    PointIndex ends;
};

// The straight faces of the list by the grid cells their boxes cover, for
// the nearest-face search: ids in list order; a face whose box covers too
// many cells is kept apart and tried by every search.
struct SpanIndex {
    SpanIndex(WallFace* faces, double unitFactor);
    std::int64_t cellOf(double v) const { return PointIndex::CellOf(v, cell); }

    double cell;
    std::vector<WallFace*> list;
    CellLists cells;
    std::vector<int> wide;
    std::int64_t minX = 0, minY = 0, maxX = -1, maxY = -1;  // the cells used
    // Per-search marks of the faces already tried (stamp == search).
    std::vector<std::uint32_t> tried;
    std::uint32_t search = 0;
};

// The grids of the face list that the contour walks and the nearest-face
// search share, kept from one call to the next. Every method of the graph
// that changes the list drops them (FacesChanged); a list whose first face
// or grid cell differs is indexed again as well.
struct FaceCache {
    FaceCache(const WallFace* faces, double unitFactor) : first(faces), cell(GridCell(unitFactor)) {}
    bool matches(const WallFace* faces, double unitFactor) const {
        return first == faces && cell == GridCell(unitFactor);
    }

    const WallFace* first;
    double cell;
    std::unique_ptr<FaceIndex> ends;   // made at the first walk
    std::unique_ptr<SpanIndex> spans;  // made at the first nearest-face search
};

// Makes the graph's index in its slot (from the lists given) for the time
// of one assembly or walk unless an outer one already made it; afterwards
// the pending list is whole again.
template <class Index>
class IndexScope {
public:
    template <class... Lists>
    explicit IndexScope(std::unique_ptr<Index>& slot, Lists&&... lists) : m_slot(slot), m_owner(!slot) {
        if (m_owner) m_slot = std::make_unique<Index>(std::forward<Lists>(lists)...);
    }
    ~IndexScope() {
        if (!m_owner) return;
        m_slot->finish();
        m_slot.reset();
    }
    IndexScope(const IndexScope&) = delete;
    IndexScope& operator=(const IndexScope&) = delete;
    Index& operator*() { return *m_slot; }
    Index* operator->() { return m_slot.get(); }

private:
    std::unique_ptr<Index>& m_slot;
    bool m_owner;
};

}  // namespace graph_index
