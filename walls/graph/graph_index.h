// The point grids of one assembly or contour walk (see point_index.h): the
// pending lines and the outlines, the pending arcs and the arc-wall
// openings, the faces by their end points. Private to the graph's units.
#pragma once

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "core/module_state.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/point_index.h"

// Cells of half a metre: large beside every tolerance, small beside rooms.
inline double GridCell(double unitFactor) {
    return std::max(50.0 * unitFactor, 1000.0 * SharedTolerance);
}

// The pending lines in list order with a grid of their end points, and the
// outlines with a grid of their gap and corner points.
struct CFACCIATE::LineIndex {
    explicit LineIndex(CFACCIATE& g) : ends(GridCell(g.unitFactor)), outlinePoints(GridCell(g.unitFactor)) {
        for (FaceEdge* e = g.pendingLines; e; e = e->next) {
            const int id = static_cast<int>(edges.size());
            edges.push_back(e);
            ids.emplace(e, id);
            ends.add(e->start, id);
            ends.add(e->end, id);
        }
        taken.assign(edges.size(), 0);
        for (OutlineNode* o = g.outlines; o; o = o->next) {
            const int id = static_cast<int>(outl.size());
            outl.push_back(o);
            if (o->kind != 11 && o->kind != 18) continue;
            for (const Point3& p : {o->gapA[0], o->gapA[1], o->gapB[0], o->gapB[1]}) outlinePoints.add(p, id);
            if (o->kind == 18)
                for (const Point3& p : o->corner) outlinePoints.add(p, id);
        }
    }

    // Takes the edge out of the pending list (for good).
    void take(FaceEdge* e) {
        const auto found = ids.find(e);
        if (found != ids.end()) taken[found->second] = 1;
        e->next = nullptr;
    }
    FaceEdge* firstPending() {
        while (cursor < edges.size() && taken[cursor]) ++cursor;
        return cursor < edges.size() ? edges[cursor] : nullptr;
    }
    // Links the edges still pending back into the graph's list, in order.
    void finish(CFACCIATE& g) {
        FaceEdge** tail = &g.pendingLines;
        for (std::size_t i = 0; i < edges.size(); ++i) {
            if (taken[i]) continue;
            *tail = edges[i];
            tail = &edges[i]->next;
        }
        *tail = nullptr;
    }

    std::vector<FaceEdge*> edges;
    std::vector<char> taken;
    std::unordered_map<FaceEdge*, int> ids;
    PointIndex ends;
    std::size_t cursor = 0;
    std::vector<OutlineNode*> outl;
    PointIndex outlinePoints;
};

// The pending arcs by centre and the arc-wall openings by base point.
struct CFACCIATE::ArcIndex {
    explicit ArcIndex(CFACCIATE& g) : centres(GridCell(g.unitFactor)), bases(GridCell(g.unitFactor)) {
        for (FaceEdge* e = g.pendingArcs; e; e = e->next) {
            const int id = static_cast<int>(arcs.size());
            arcs.push_back(e);
            ids.emplace(e, id);
            centres.add(e->arc.centre, id);
        }
        taken.assign(arcs.size(), 0);
        for (OutlineNode* o = g.outlines; o; o = o->next) {
            if (o->kind != 12) continue;
            bases.add(o->base, static_cast<int>(outl.size()));
            outl.push_back(o);
        }
    }
    void take(FaceEdge* e) {
        const auto found = ids.find(e);
        if (found != ids.end()) taken[found->second] = 1;
        e->next = nullptr;
    }
    FaceEdge* firstPending() {
        while (cursor < arcs.size() && taken[cursor]) ++cursor;
        return cursor < arcs.size() ? arcs[cursor] : nullptr;
    }
    void finish(CFACCIATE& g) {
        FaceEdge** tail = &g.pendingArcs;
        for (std::size_t i = 0; i < arcs.size(); ++i) {
            if (taken[i]) continue;
            *tail = arcs[i];
            tail = &arcs[i]->next;
        }
        *tail = nullptr;
    }

    std::vector<FaceEdge*> arcs;
    std::vector<char> taken;
    std::unordered_map<FaceEdge*, int> ids;
    PointIndex centres;
    std::size_t cursor = 0;
    std::vector<OutlineNode*> outl;
    PointIndex bases;
};

// The faces of the graph's list by their end points, in list order; faces
// taken out of the list by a walk are marked.
struct CFACCIATE::FaceIndex {
    explicit FaceIndex(CFACCIATE& g) : ends(GridCell(g.unitFactor)) {
        for (WallFace* f = g.faces; f; f = f->next) {
            const int id = static_cast<int>(list.size());
            list.push_back(f);
            ends.add(f->firstPoint(), id);
            ends.add(f->lastPoint(), id);
        }
        removed.assign(list.size(), 0);
    }
    void finish(CFACCIATE&) {}
    std::vector<WallFace*> list;
    std::vector<char> removed;
    PointIndex ends;
};

// Makes the graph's index for the time of one assembly or walk unless an
// outer one already made it; afterwards the pending list is whole again.
template <class Index>
class IndexScope {
public:
    IndexScope(CFACCIATE& g, std::unique_ptr<Index>& slot) : m_g(g), m_slot(slot), m_owner(!slot) {
        if (m_owner) m_slot = std::make_unique<Index>(g);
    }
    ~IndexScope() {
        if (!m_owner) return;
        m_slot->finish(m_g);
        m_slot.reset();
    }
    IndexScope(const IndexScope&) = delete;
    IndexScope& operator=(const IndexScope&) = delete;
    Index& operator*() { return *m_slot; }
    Index* operator->() { return m_slot.get(); }

private:
    CFACCIATE& m_g;
    std::unique_ptr<Index>& m_slot;
    bool m_owner;
};
