// Assembling faces from pending wall edges and the outlines of objects set
// into walls.
//
// A straight face starts from one pending line and grows at both ends: a
// pending line collinear with the face and touching its end joins it (the
// first in list order), the gap of an opening continues it across the
// opening, a corner object ends it at the corner point. An arc face grows
// the same way with arcs of one circle and openings in arc walls, and then
// looks for the facing arc of the same wall.
//
// The pending edges and the outlines are put into point grids once per
// assembly; each search reads the grid cells around the face end and tests
// the edges found there in list order, so the result is that of a scan of
// the whole list without its quadratic cost.
#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "core/base/module_state.h"
#include "core/geometry/geom_basic.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/graph_index.h"
#include "walls/graph/outline_kind.h"

namespace {

bool SameArcAngle(double a, double b) {
    return AngleDiffCcw(a, b) == 0.0 || SameAngle(a, b);
}

// theta within the counter-clockwise span s..e, by the sum of the two parts.
bool InsideSpan(double theta, double s, double e) {
    return std::fabs(AngleDiffCcw(s, theta) + AngleDiffCcw(theta, e) - AngleDiffCcw(s, e)) < GeomEpsilon;
}

// An opening of an arc wall about the face's centre, on either face of it.
bool InArcWall(const OutlineNode& o, const ArcRecord& f, double tol) {
    return PointsEqual(o.base, f.centre, false) && (std::fabs(o.radiusA - f.radius) <= tol ||
                                                    std::fabs(o.radiusA + o.wallThickness - f.radius) <= tol);
}

}  // namespace

void CFACCIATE::AssembleLines(bool levelOutlinesOnly, bool rectangleMode) {
    FacesChanged();
    graph_index::IndexScope index(m_lines, pendingLines, outlines, unitFactor);
    while (FaceEdge* first = index->firstPending()) {
        WallFace* face = NewWallFace();
        face->next = faces;
        faces = face;
        AssembleStraightFace(first, face, levelOutlinesOnly, rectangleMode);
        FinishFace(face);
    }
}

WallFace* CFACCIATE::AssembleStraightFace(FaceEdge* first, WallFace* face, bool levelOutlinesOnly,
                                          bool rectangleMode) {
    FacesChanged();
    graph_index::IndexScope index(m_lines, pendingLines, outlines, unitFactor);
    index->take(first);
    face->kind = 1;
    face->edges = first;
    face->start = first->start;
    face->end = first->end;
    ExtendStraightFace(face, true, levelOutlinesOnly, rectangleMode);
    ExtendStraightFace(face, false, levelOutlinesOnly, rectangleMode);
    LinkOutlinesOnFace(face, levelOutlinesOnly);
    return face;
}

void CFACCIATE::ExtendStraightFace(WallFace* face, bool atStart, bool levelOutlinesOnly, bool rectangleMode) {
    graph_index::LineIndex& index = *m_lines;
    const double rectangleId = face->edges ? face->edges->rectangleId : kNoRectangle;
    bool goOn = true;
    while (goOn) {
        goOn = false;
        // a-b runs along the face towards the end being extended.
        Point3& a = atStart ? face->end : face->start;
        Point3& b = atStart ? face->start : face->end;
        index.ends.within(b, graph_index::SamePointReach(), index.found);
        for (int id : index.found) {
            if (index.taken[id]) continue;
            FaceEdge* e = index.edges[id];
            if (rectangleMode && e->rectangleId != rectangleId) continue;
            // The edge is turned to run with the face.
            Point3& near = atStart ? e->end : e->start;
            Point3& far = atStart ? e->start : e->end;
            if (!JoinCollinearSegments(a, b, near, far, joinTolerance, false)) continue;
            index.take(id);
            if (atStart) {
                e->next = face->edges;
                face->edges = e;
            } else if (FaceEdge* last = LastEdge(face->edges)) {
                last->next = e;
            } else {
                face->edges = e;
            }
            b = far;
            goOn = true;
            break;
        }
        index.outlinePoints.within(b, graph_index::SamePointReach(), index.found);
        for (int id : index.found) {
            OutlineNode* o = index.outl[id];
            if (IsOutlineLinked(*face, o)) continue;
            if (levelOutlinesOnly && std::fabs(level - o->z) > GeomEpsilon) continue;
            if (o->kind == OutlineKind::WallCorner) {
                // A leg from a jamb end to its corner: the face ends at the corner.
                const Point3 legs[4][2] = {{o->gapB[0], o->corner[0]},
                                           {o->gapB[1], o->corner[0]},
                                           {o->gapA[0], o->corner[1]},
                                           {o->gapA[1], o->corner[1]}};
                bool stopped = false;
                for (const auto& leg : legs) {
                    Point3 c = leg[0], d = leg[1];
                    if (!JoinCollinearSegments(a, b, c, d, joinTolerance, true)) continue;
                    if (!PointsEqual(d, leg[1], true)) continue;  // the corner must lie beyond
                    b = leg[1];
                    LinkOutline(*face, o);
                    stopped = true;
                    break;
                }
                if (stopped) {
                    goOn = false;
                    break;
                }
            } else if (o->kind == OutlineKind::StraightWallOpening) {
                // Backwards from jamb2 to jamb1, forwards the other way.
                const int i = atStart ? 1 : 0, j = atStart ? 0 : 1;
                Point3* gap = nullptr;
                if (JoinCollinearSegments(a, b, o->gapB[i], o->gapB[j], joinTolerance, false))
                    gap = &o->gapB[j];
                else if (JoinCollinearSegments(a, b, o->gapA[i], o->gapA[j], joinTolerance, false))
                    gap = &o->gapA[j];
                if (!gap) continue;
                b = *gap;
                LinkOutline(*face, o);
                goOn = true;
                break;
            }
        }
    }
}

void CFACCIATE::LinkOutlinesOnFace(WallFace* face, bool levelOutlinesOnly) {
    graph_index::LineIndex& index = *m_lines;
    const Point3 s = face->start, e = face->end;
    auto on = [&](const Point3& p) {
        return levelOutlinesOnly ? IsOnSegmentTol(p, s, e, SharedTolerance) : IsPointOnSegment(p, s, e);
    };
    std::vector<int>& ids = index.found;
    if (!index.outlinePoints.nearSegment(s, e, graph_index::OnSegmentReach(s, e), ids)) {
        ids.resize(index.outl.size());
        for (std::size_t i = 0; i < ids.size(); ++i) ids[i] = static_cast<int>(i);
    }
    for (int id : ids) {
        OutlineNode* o = index.outl[id];
        if ((o->kind != OutlineKind::StraightWallOpening && o->kind != OutlineKind::WallCorner) ||
            IsOutlineLinked(*face, o))
            continue;
        bool lies = false;
        if (o->kind == OutlineKind::WallCorner)
            lies = (on(o->gapB[0]) && on(o->corner[0])) || (on(o->corner[0]) && on(o->gapB[1])) ||
                   (on(o->gapA[0]) && on(o->corner[1])) || (on(o->corner[1]) && on(o->gapA[1]));
        else
            lies = (on(o->gapA[0]) && on(o->gapA[1])) || (on(o->gapB[0]) && on(o->gapB[1]));
        if (lies) LinkOutline(*face, o);
    }
}

void CFACCIATE::FinishFace(WallFace* face) {
    for (const FaceEdge* e = face->isArc() ? face->arcEdges : face->edges; e; e = e->next) {
        if (e->upperRoof.choice != 0 || e->lowerRoof.choice != 0 || !e->upperRoof.names.empty() ||
            !e->lowerRoof.names.empty())
            face->hasRoofLink = 1;
        if (e->auto3DType > 0) face->auto3DType = e->auto3DType;
    }
}

// ---- arcs ----

void CFACCIATE::AssembleArcs() {
    FacesChanged();
    graph_index::IndexScope index(m_arcs, pendingArcs, outlines, unitFactor);
    while (FaceEdge* first = index->firstPending()) {
        WallFace* face = NewWallFace();
        face->kind = 0;
        face->next = faces;
        faces = face;
        WallFace* partner = AssembleArcFace(first, face);
        FinishFace(face);
        if (partner) {
            FinishFace(partner);
            partner->next = faces;
            faces = partner;
        }
    }
}

WallFace* CFACCIATE::AssembleArcFace(FaceEdge* first, WallFace* face) {
    FacesChanged();
    graph_index::IndexScope index(m_arcs, pendingArcs, outlines, unitFactor);
    auto start = [&](FaceEdge* edge, WallFace* f) {
        index->take(edge);
        f->kind = 0;
        f->arcEdges = edge;
        f->arc = edge->arc;
        ExtendArcFace(f);
        LinkArcOutlines(f);
    };
    start(first, face);

    // The other face of the same wall: the concentric pending arc nearest in
    // radius that overlaps the face's span.
    const ArcRecord& f = face->arc;
    FaceEdge* best = nullptr;
    double bestGap = 0.0;
    for (int id : index->centres.near(f.centre)) {
        if (index->taken[id]) continue;
        FaceEdge* e = index->edges[id];
        const ArcRecord& a = e->arc;
        if (!PointsEqual(a.centre, f.centre, true)) continue;
        const bool overlaps = InsideSpan(a.startAngle, f.startAngle, f.endAngle) ||
                              InsideSpan(a.endAngle, f.startAngle, f.endAngle) ||
                              (InsideSpan(f.startAngle, a.startAngle, a.endAngle) &&
                               InsideSpan(f.endAngle, a.startAngle, a.endAngle));
        if (!overlaps) continue;
        const double gap = std::fabs(a.radius - f.radius);
        if (!best || (bestGap > SharedTolerance && gap < bestGap)) {
            best = e;
            bestGap = gap;
        }
    }
    if (!best) return nullptr;
    WallFace* partner = NewWallFace();
    start(best, partner);
    return partner;
}

void CFACCIATE::ExtendArcFace(WallFace* face) {
    FacesChanged();
    graph_index::ArcIndex& index = *m_arcs;
    ArcRecord& f = face->arc;
    bool changed = true;
    while (changed) {
        changed = false;
        for (int id : index.centres.near(f.centre)) {
            if (index.taken[id]) continue;
            FaceEdge* e = index.edges[id];
            if (!PointsEqual(e->arc.centre, f.centre, true) ||
                std::fabs(e->arc.radius - f.radius) > joinTolerance)
                continue;
            if (SameArcAngle(e->arc.startAngle, f.endAngle)) {
                index.take(id);
                LastEdge(face->arcEdges)->next = e;
                f.endAngle = e->arc.endAngle;
                changed = true;
            } else if (SameArcAngle(e->arc.endAngle, f.startAngle)) {
                index.take(id);
                e->next = face->arcEdges;
                face->arcEdges = e;
                f.startAngle = e->arc.startAngle;
                changed = true;
            }
        }
        for (int id : index.bases.near(f.centre)) {
            OutlineNode* o = index.outl[id];
            if (IsOutlineLinked(*face, o) || !InArcWall(*o, f, joinTolerance)) continue;
            if (SameArcAngle(o->gapAngle[0], f.endAngle)) {
                f.endAngle = o->gapAngle[1];
            } else if (SameArcAngle(o->gapAngle[1], f.startAngle)) {
                f.startAngle = o->gapAngle[0];
            } else {
                continue;
            }
            LinkOutline(*face, o);
            changed = true;
        }
    }
}

void CFACCIATE::LinkArcOutlines(WallFace* face) {
    graph_index::ArcIndex& index = *m_arcs;
    const ArcRecord& f = face->arc;
    for (int id : index.bases.near(f.centre)) {
        OutlineNode* o = index.outl[id];
        if (IsOutlineLinked(*face, o) || !InArcWall(*o, f, joinTolerance)) continue;
        if (IsPointOnArc(o->gapA[0], f, false) && IsPointOnArc(o->gapA[1], f, false)) LinkOutline(*face, o);
    }
}
