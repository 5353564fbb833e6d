// Pilasters in the wall-face graph.
//
// A pilaster's outline (a ring from its pilaster record) becomes faces: a
// free-standing pilaster gives one face per side, kept apart in
// pillarFaces; a pilaster set into walls is cut at the points where wall
// faces end on it, the stretches of outline that lie inside a wall (between
// the two faces of one wall) are dropped, and the others become faces that
// join the wall faces they continue.
//
// Vertices read from the record carry mark 1 (edgeFlag); a vertex added
// where the other face of a wall would meet the outline carries mark 0 and
// ends a stretch inside that wall.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "core/base/module_state.h"
#include "core/entity_readers.h"
#include "core/level_records.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/outline_record.h"

struct CFACCIATE::PillarContact {
    WallFace* face = nullptr;
    Point3 p1, p2;  // p2 lies on the outline
    bool paired = false;
};

namespace {

constexpr double kParallelSin = 0.36;
constexpr double kParallelCos = 0.93;

struct Direction {
    double x = 0.0, y = 0.0;
};
Direction UnitOf(const Point3& a, const Point3& b) {
    const double len = Distance2d(a, b);
    if (len <= 0.0) return {};
    return {(b.x - a.x) / len, (b.y - a.y) / len};
}
double Cos(const Direction& u, const Direction& w) {
    return u.x * w.x + u.y * w.y;
}
double Sin(const Direction& u, const Direction& w) {
    return u.x * w.y - u.y * w.x;
}
bool SameWay(const Direction& u, const Direction& w) {
    return std::fabs(Sin(u, w)) < kParallelSin && Cos(u, w) > kParallelCos;
}

double DistanceToLine(const Point3& p, const Point3& a, const Point3& b) {
    Point3 foot;
    PerpendicularFoot(p, a, b, foot);
    return Distance2d(p, foot);
}

// A face made along a stretch of outline, dropped with the stretch unless
// the stretch is kept.
struct FaceDeleter {
    void operator()(WallFace* f) const { FreeFaceList(f); }
};
using StretchFace = std::unique_ptr<WallFace, FaceDeleter>;

std::vector<VertexNode*> Vertices(VertexNode* ring) {
    std::vector<VertexNode*> v;
    for (; ring; ring = ring->next) v.push_back(ring);
    return v;
}

// Turns the edge chain round: the edges in reverse order, each reversed.
FaceEdge* ReverseEdges(FaceEdge* edges) {
    edges = ReverseList(edges);
    for (FaceEdge* e = edges; e; e = e->next) std::swap(e->start, e->end);
    return edges;
}

}  // namespace

void CFACCIATE::MergePillars() {
    FacesChanged();
    ForEachLevelRecord(kPilasterApp, level, SharedTolerance, [&](const ads_name entity) {
        VertexNode* outline = GetPillarOutline(entity);
        if (!outline) return;
        for (VertexNode* v = outline; v; v = v->next) v->edgeFlag = 1;
        MergePillarOutline(outline);
        FreeList(outline);
    });
}

void CFACCIATE::MergePillarOutline(VertexNode*& outline) {
    FacesChanged();
    if (CountNodes(outline) < 2) return;
    const double top = level + floorHeight;

    // Faces ending on the outline.
    std::vector<PillarContact> contacts;
    std::vector<WallFace*> touching;
    for (WallFace* f = faces; f; f = f->next) {
        if (f->isArc()) continue;
        bool touches = false;
        for (int which = 0; which < 2; ++which) {
            const Point3& end = which == 0 ? f->start : f->end;
            const Point3& other = which == 0 ? f->end : f->start;
            for (VertexNode* v = outline; v; v = v->next) {
                const VertexNode* w = NextInRing(outline, v);
                if (!IsPointOnSegment(end, v->pt(), w->pt())) continue;
                contacts.push_back({f, other, end, false});
                touches = true;
                break;
            }
        }
        if (touches) touching.push_back(f);
    }

    if (contacts.empty()) {
        for (VertexNode* v = outline; v; v = v->next) {
            const VertexNode* w = NextInRing(outline, v);
            if (PointsEqual(v->pt(), w->pt(), true)) continue;
            WallFace* f = NewWallFace();
            f->start = v->pt();
            f->end = w->pt();
            f->edges = NewSpanEdge(f->start, f->end, top, level, floorInt);
            AppendFace(pillarFaces, f);
        }
        return;
    }

    // The two faces of one wall running into the pilaster side by side.
    for (std::size_t i = 0; i < contacts.size(); ++i) {
        PillarContact& a = contacts[i];
        if (a.paired) continue;
        const Direction da = UnitOf(a.p1, a.p2);
        PillarContact* best = nullptr;
        double bestDistance = 0.0;
        for (std::size_t j = i + 1; j < contacts.size(); ++j) {
            PillarContact& b = contacts[j];
            if (b.paired || !SameWay(da, UnitOf(b.p1, b.p2))) continue;
            const double d = DistanceToLine(b.p1, a.p1, a.p2);
            if (!best || d < bestDistance) {
                best = &b;
                bestDistance = d;
            }
        }
        if (best) {
            a.paired = true;
            best->paired = true;
        }
    }

    // An unpaired face: its wall's other face passes the pilaster; mark
    // the outline where that face would meet it.
    for (const PillarContact& c : contacts) {
        if (c.paired) continue;
        const Direction dc = UnitOf(c.p1, c.p2);
        const WallFace* other = nullptr;
        for (WallFace* w = faces; w && !other; w = w->next) {
            if (w->isArc() || std::find(touching.begin(), touching.end(), w) != touching.end()) continue;
            if (std::fabs(Cos(dc, UnitOf(w->start, w->end))) < kParallelCos) continue;
            Point3 foot;
            PerpendicularFoot(c.p1, w->start, w->end, foot);
            if (IsNearSegment(foot, *w) && Distance2d(c.p1, foot) <= maxWallThickness) other = w;
        }
        if (!other) continue;
        VertexNode* bestSide = nullptr;
        Point3 bestProbe;
        double bestDistance = 0.0;
        for (VertexNode* v = outline; v; v = v->next) {
            const VertexNode* w = NextInRing(outline, v);
            if (PointsEqual(v->pt(), w->pt(), true)) continue;
            const Point3 probe = PolarPoint(v->pt(), AngleTo(v->pt(), w->pt()), 10.0 * SharedTolerance);
            Point3 foot;
            PerpendicularFoot(probe, other->start, other->end, foot);
            const double d = Distance2d(probe, foot);
            if (!IsNearSegment(foot, *other)) continue;
            if (!bestSide || d < bestDistance) {
                bestSide = v;
                bestProbe = probe;
                bestDistance = d;
            }
        }
        if (bestSide && bestDistance < maxWallThickness) {
            VertexNode* mark = NewVertex(bestProbe.x, bestProbe.y, bestProbe.z, 0, 0, 0, 0);
            mark->next = bestSide->next;
            bestSide->next = mark;
        }
    }

    WallFace* made = SplitPillarOutline(outline, contacts);

    // Each new face joins the wall faces it continues, or stands alone.
    while (made) {
        WallFace* n = made;
        made = made->next;
        n->next = nullptr;
        WallFace* first = nullptr;
        bool firstAtStart = false;
        for (WallFace* w = faces; w && !first; w = w->next) {
            if (w->isArc() || w->isFunctionLine) continue;
            if (!ArePointsCollinear4(w->start, w->end, n->start, n->end, joinTolerance)) continue;
            const bool s = PointsEqual(w->start, n->start, true) || PointsEqual(w->end, n->start, true);
            const bool e = PointsEqual(w->start, n->end, true) || PointsEqual(w->end, n->end, true);
            if (s || e) {
                first = w;
                firstAtStart = s;
            }
        }
        if (!first) {
            AppendFace(faces, n);
            continue;
        }
        // The new face's edge continues `first` at the shared point.
        FaceEdge* edge = n->edges;
        n->edges = nullptr;
        const Point3 shared = firstAtStart ? n->start : n->end;
        const Point3 far = firstAtStart ? n->end : n->start;
        FreeFaceList(n);
        const FaceEdge* neighbour = nullptr;
        bool atEnd = PointsEqual(first->end, shared, true);
        if (atEnd) {
            edge->start = shared;
            edge->end = far;
            neighbour = LastEdge(first->edges);
        } else {
            edge->start = far;
            edge->end = shared;
            neighbour = first->edges;
        }
        if (neighbour) {
            edge->edgeVisibility = neighbour->edgeVisibility;
            edge->topZ = neighbour->topZ;
            edge->bottomZ = neighbour->bottomZ;
        }
        if (atEnd) {
            if (FaceEdge* last = LastEdge(first->edges))
                last->next = edge;
            else
                first->edges = edge;
            first->end = far;
        } else {
            edge->next = first->edges;
            first->edges = edge;
            first->start = far;
        }
        // A second wall face beyond the new one is merged in as well.
        for (WallFace* w = faces; w; w = w->next) {
            if (w == first || w->isArc() || w->isFunctionLine) continue;
            if (!ArePointsCollinear4(first->start, first->end, w->start, w->end, joinTolerance)) continue;
            const bool wStart = PointsEqual(w->start, far, true), wEnd = PointsEqual(w->end, far, true);
            if (!wStart && !wEnd) continue;
            // Turned to run away from the shared point.
            FaceEdge* edges = wStart ? w->edges : ReverseEdges(w->edges);
            const Point3 beyond = wStart ? w->end : w->start;
            w->edges = nullptr;
            if (atEnd) {
                LastEdge(first->edges)->next = edges;
                first->end = beyond;
            } else {
                edges = ReverseEdges(edges);
                LastEdge(edges)->next = first->edges;
                first->edges = edges;
                first->start = beyond;
            }
            for (OutlineLink* l = w->outlineLinks; l; l = l->next)
                if (!IsOutlineLinked(*first, l->outline)) LinkOutline(*first, l->outline);
            UnlinkFace(faces, w);
            FreeFaceList(w);
            break;
        }
    }
}

WallFace* CFACCIATE::SplitPillarOutline(VertexNode*& outline, std::vector<PillarContact>& contacts) {
    const std::vector<VertexNode*> ring = Vertices(outline);
    const std::size_t sides = ring.size();
    const double top = level + floorHeight;
    WallFace* kept = nullptr;
    auto keep = [&](std::vector<StretchFace>& stretch) {
        for (StretchFace& f : stretch) AppendFace(kept, f.release());
        stretch.clear();
    };
    auto side = [&](const Point3& p) -> std::size_t {
        for (std::size_t i = 0; i < sides; ++i)
            if (IsPointOnSegment(p, ring[i]->pt(), ring[(i + 1) % sides]->pt())) return i;
        return sides;
    };
    auto newFace = [&](std::vector<StretchFace>& stretch, const Point3& a, const Point3& b) {
        if (PointsEqual(a, b, true)) return;
        WallFace* f = NewWallFace();
        f->start = a;
        f->end = b;
        f->edges = NewSpanEdge(a, b, top, level, floorInt);
        stretch.emplace_back(f);
    };

    std::vector<char> used(contacts.size(), 0);
    // The walk starts at the first contact and goes round the ring.
    int from = 0;  // contact the stretch started at; -1 for a mark-0 vertex
    used[0] = 1;
    Point3 cur = contacts[0].p2;
    std::size_t i = side(cur);
    if (i == sides) return nullptr;
    std::vector<StretchFace> stretch;
    for (std::size_t steps = 0; steps <= 2 * (sides + contacts.size()); ++steps) {
        const Point3 sideEnd = ring[(i + 1) % sides]->pt();
        // The nearest contact beyond cur on this side.
        int hit = -1;
        double hitDistance = 0.0;
        for (std::size_t c = 0; c < contacts.size(); ++c) {
            if (static_cast<int>(c) == from && steps == 0) continue;
            const Point3& p = contacts[c].p2;
            if (PointsEqual(p, cur, true) || !IsPointOnSegment(p, cur, sideEnd)) continue;
            const double d = Distance2d(cur, p);
            if (hit < 0 || d < hitDistance) {
                hit = static_cast<int>(c);
                hitDistance = d;
            }
        }
        if (hit >= 0) {
            const Point3 at = contacts[hit].p2;
            newFace(stretch, cur, at);
            bool inside = false;
            if (from >= 0) {
                const PillarContact& a = contacts[from];
                const PillarContact& b = contacts[hit];
                inside = SameWay(UnitOf(a.p1, a.p2), UnitOf(b.p1, b.p2)) &&
                         DistanceToLine(b.p2, a.p1, a.p2) < maxWallThickness;
            }
            if (inside)
                stretch.clear();
            else
                keep(stretch);
            if (used[hit]) break;  // round the whole ring
            used[hit] = 1;
            from = hit;
            cur = at;
            continue;
        }
        newFace(stretch, cur, sideEnd);
        cur = sideEnd;
        i = (i + 1) % sides;
        if (ring[i]->edgeFlag == 0) {
            // The other face of a wall meets the outline here.
            stretch.clear();
            from = -1;
        }
    }
    return kept;
}

bool CFACCIATE::IsNearSegment(const Point3& p, const WallFace& w) const {
    return Distance2d(p, w.start) + Distance2d(p, w.end) - Distance2d(w.start, w.end) < maxWallThickness;
}
