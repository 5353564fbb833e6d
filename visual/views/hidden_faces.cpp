// Hidden faces of a view.
//
//   1. Every face gets its cell box; the faces are bucket-sorted on their
//      highest depth cell, farthest first.
//   2. In that order each face joins the newest group of its layer whose
//      plane it shares, or starts a group when its layer casts shadows. A
//      triangle that crosses a triangle of its group (two overlapping
//      triangulations of one plane) joins none: its edges would make the
//      outline tracing wander.
//   3. Invisible edges two members share are marked, and the outlines are
//      traced along the unmarked ones: a quadrilateral shown whole is its
//      own outline; the others are walked edge to edge, each in the group's
//      own plane placed as an outline or as a hole of one, and the holes
//      bridged in at the end.
//   4. The groups are sorted on the lowest depth cell of their first
//      outline, and each outline drops the faces behind its plane that lie
//      within it in the view.
//
// Every pairwise search is screened: group lookup by layer, shared edges
// and outline walks by a sorted index of edge ends, face removal by a plan
// index of the faces and their cell boxes. Limits: an outline walk gives up beyond 500 edges; faces of one
// plane that overlap without sharing edges make one outline each.
#include "visual/views/hidden_faces.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "core/base/module_state.h"
#include "core/geometry/box_index.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/matrix4.h"
#include "core/geometry/polygon.h"
#include "host/ads/wcmatch.h"
#include "host/db/dbobjptr.h"
#include "host/ge/gelinear.h"
#include "host/util/adscodes.h"
#include "host/util/nocase.h"
#include "store/settings_store.h"
#include "store/velm_layerombra.h"

namespace {

constexpr int kMaxOutlineEdges = 500;

ZcGePoint3d ToGe(const Point3& p) {
    return {p.x, p.y, p.z};
}

}  // namespace

void PlaneMatrices(const ZcGePlane& plane, Matrix4& toPlane, Matrix4& toSpace) {
    ZcGePoint3d origin;
    ZcGeVector3d xAxis, yAxis;
    plane.getCoordSystem(origin, xAxis, yAxis);
    const ZcGeVector3d axes[3] = {xAxis, yAxis, plane.normal()};
    SetIdentity4(toSpace);
    for (int r = 0; r < 3; ++r) {
        for (int k = 0; k < 3; ++k) toSpace.m[r][k] = axes[k][r];
        toSpace.m[r][3] = origin[r];
    }
    InvertMatrix4(toSpace, toPlane);
}

void SetOutlineBox(OutlinePolygon& o) {
    OutlinePolygon* boxed = NewOutlinePolygon(o.ring);
    std::copy(std::begin(boxed->box2d), std::end(boxed->box2d), o.box2d);
    boxed->ring = nullptr;
    delete boxed;
}

void TransformRing(VertexNode* ring, const Matrix4& m) {
    for (VertexNode* v = ring; v; v = v->next) {
        Point3 q;
        TransformPoint(m, v->pt(), q);
        v->setPt(q);
    }
}

namespace {

// The faces bucket-sorted on their highest depth cell, farthest first; each
// bucket keeps the faces pushed last in front.
SectionFace* SortFacesByDepth(SectionFace* faces, const double grid[63]) {
    SectionFace* buckets[21] = {};
    while (faces) {
        SectionFace* f = faces;
        faces = f->next;
        CellBoxOfCorners(f->corners, f->cornerCount(), f->cellLow, f->cellHigh, grid);
        const int b = std::clamp(f->cellHigh[2], 0, 20);
        f->next = buckets[b];
        buckets[b] = f;
    }
    SectionFace* head = nullptr;
    SectionFace** tail = &head;
    for (int b = 20; b >= 0; --b) {
        *tail = buckets[b];
        while (*tail) tail = &(*tail)->next;
    }
    return head;
}

// Whether an edge of triangle t crosses an edge of triangle f away from
// their ends.
bool TrianglesCross(const SectionFace& t, const SectionFace& f) {
    for (int axis = 0; axis < 2; ++axis) {
        double tLo = 1e300, tHi = -1e300, fLo = 1e300, fHi = -1e300;
        for (int k = 0; k < 3; ++k) {
            const double tv = axis == 0 ? t.corners[k].x : t.corners[k].y;
            const double fv = axis == 0 ? f.corners[k].x : f.corners[k].y;
            tLo = std::min(tLo, tv), tHi = std::max(tHi, tv);
            fLo = std::min(fLo, fv), fHi = std::max(fHi, fv);
        }
        if (tHi < fLo - SharedTolerance || fHi < tLo - SharedTolerance) return false;
    }
    static const int kEdges[3][2] = {{0, 1}, {1, 2}, {2, 0}};
    for (const auto& te : kEdges) {
        const Point3 &a = t.corners[te[0]], &b = t.corners[te[1]];
        const ZcGeLineSeg3d member(ToGe(a), ToGe(b));
        for (const auto& fe : kEdges) {
            const Point3 &c = f.corners[fe[0]], &d = f.corners[fe[1]];
            ZcGePoint3d hit;
            if (!member.intersectWith(ZcGeLineSeg3d(ToGe(c), ToGe(d)), hit)) continue;
            const Point3 x{hit.x, hit.y, hit.z};
            if (HostDistance(x, a) > SharedTolerance && HostDistance(x, b) > SharedTolerance &&
                HostDistance(x, c) > SharedTolerance && HostDistance(x, d) > SharedTolerance)
                return true;
        }
    }
    return false;
}

bool CrossesGroupTriangle(const FaceGroup& group, const SectionFace& face) {
    for (const FaceMember* m = group.members; m; m = m->next)
        if (m->face->triangle && TrianglesCross(*m->face, face)) return true;
    return false;
}

// Step 2: the groups, newest first. Groups are looked up among those of the
// face's layer only, newest first, as a walk down the whole list would find
// them.
FaceGroup* GroupFaces(SectionFace* faces, const std::vector<std::string>& patterns) {
    FaceGroup* groups = nullptr;
    std::unordered_map<std::string, std::vector<FaceGroup*>> byLayer;
    std::unordered_map<std::string, int> shaded;
    for (SectionFace* f = faces; f; f = f->next) {
        const std::string key = zcutUpperCase(f->layer);
        std::vector<FaceGroup*>& ofLayer = byLayer[key];
        FaceGroup* found = nullptr;
        for (auto g = ofLayer.rbegin(); g != ofLayer.rend(); ++g)
            if ((*g)->plane.isCoplanarTo(f->plane)) {
                found = *g;
                break;
            }
        if (found) {
            if (f->triangle && CrossesGroupTriangle(*found, *f)) continue;
            found->members = new FaceMember{found->members, f};
            continue;
        }
        auto known = shaded.find(key);
        if (known == shaded.end()) known = shaded.emplace(key, IsShadedLayer(patterns, f->layer)).first;
        if (!known->second) continue;
        auto* g = new FaceGroup;
        g->members = new FaceMember{nullptr, f};
        g->layer = f->layer;
        g->plane = f->plane;
        g->next = groups;
        groups = g;
        ofLayer.push_back(g);
    }
    return groups;
}

// The ends of the edges of one group's members, sorted on x, for the
// searches of points within the shared tolerance.
struct EdgeEnd {
    double x;
    int member;
    int edge;
    bool start;
};

struct GroupEdges {
    std::vector<SectionFace*> members;  // in list order
    std::vector<EdgeEnd> ends;

    explicit GroupEdges(const FaceGroup& g) {
        for (const FaceMember* m = g.members; m; m = m->next) members.push_back(m->face);
        for (int i = 0; i < static_cast<int>(members.size()); ++i) {
            const int n = members[i]->cornerCount();
            for (int k = 0; k < n; ++k) {
                ends.push_back({members[i]->corners[k].x, i, k, true});
                ends.push_back({members[i]->corners[(k + 1) % n].x, i, k, false});
            }
        }
        std::sort(ends.begin(), ends.end(), [](const EdgeEnd& a, const EdgeEnd& b) { return a.x < b.x; });
    }

    const Point3& Start(int i, int k) const { return members[i]->corners[k]; }
    const Point3& End(int i, int k) const { return members[i]->corners[(k + 1) % members[i]->cornerCount()]; }
    const Point3& EndOf(const EdgeEnd& e) const {
        return e.start ? Start(e.member, e.edge) : End(e.member, e.edge);
    }

    // Every edge end within the shared tolerance of p (x, y and z).
    template <class Visit>
    void Near(const Point3& p, Visit visit) const {
        auto it = std::lower_bound(ends.begin(), ends.end(), p.x - SharedTolerance,
                                   [](const EdgeEnd& e, double x) { return e.x < x; });
        for (; it != ends.end() && it->x <= p.x + SharedTolerance; ++it)
            if (PointsEqual(EndOf(*it), p, true)) visit(*it);
    }
};

void MarkSharedEdgesOfGroup(const FaceGroup& g) {
    GroupEdges edges(g);
    for (int i = 0; i < static_cast<int>(edges.members.size()); ++i) {
        SectionFace* f = edges.members[i];
        for (int k = 0; k < f->cornerCount(); ++k) {
            const Point3& s = edges.Start(i, k);
            const Point3& e = edges.End(i, k);
            // Edges of the members after this one that run between the same
            // two points, either way.
            edges.Near(s, [&](const EdgeEnd& end) {
                if (end.member <= i) return;
                const Point3& other =
                    end.start ? edges.End(end.member, end.edge) : edges.Start(end.member, end.edge);
                if (!PointsEqual(other, e, true)) return;
                SectionFace* g2 = edges.members[end.member];
                // An edge hidden on either side lies inside the outline for
                // both faces: the marks trace the outline, the words alone
                // decide the lines drawn, and a face must not lose its
                // outline (and the shadows on it) to its neighbour's flag.
                if (f->edgeWords[k] == 0 || g2->edgeWords[end.edge] == 0) {
                    f->edgeMarks[k] = 1;
                    g2->edgeMarks[end.edge] = 1;
                }
            });
        }
    }
}

struct Step {
    int member, edge;
    bool forward;
};

// Walks the unmarked edges from the end of the start edge back to its
// start; the ring of the walk's points, its edges marked, or null.
//
// At each point the edge taken is the first unmarked one, in member order
// and edge order, that starts there; only when none starts there, the first
// that ends there (walked backwards). Edges starting at the point continue
// the faces' own winding, so the walk keeps to one side of the outline.
VertexNode* TraceGroupOutline(const GroupEdges& edges, int member, int edge) {
    const Point3 origin = edges.Start(member, edge);
    std::vector<Step> path{{member, edge, true}};
    Point3 from = origin;
    Point3 at = edges.End(member, edge);
    auto taken = [&path](int i, int k) {
        for (const Step& s : path)
            if (s.member == i && s.edge == k) return true;
        return false;
    };
    while (!PointsEqual(at, origin, true)) {
        if (static_cast<int>(path.size()) >= kMaxOutlineEdges) return nullptr;
        const EdgeEnd* best[2] = {nullptr, nullptr};  // starting here, ending here
        edges.Near(at, [&](const EdgeEnd& e) {
            if (edges.members[e.member]->edgeMarks[e.edge] || taken(e.member, e.edge)) return;
            const Point3& far = e.start ? edges.End(e.member, e.edge) : edges.Start(e.member, e.edge);
            // Never back along the edge just followed.
            if (IsPointOnSegment(far, from, at) || IsPointOnSegment(from, at, far)) return;
            const EdgeEnd*& slot = best[e.start ? 0 : 1];
            if (!slot || e.member < slot->member || (e.member == slot->member && e.edge < slot->edge))
                slot = &e;
        });
        const EdgeEnd* next = best[0] ? best[0] : best[1];
        if (!next) return nullptr;
        path.push_back({next->member, next->edge, next->start});
        from = at;
        at = next->start ? edges.End(next->member, next->edge) : edges.Start(next->member, next->edge);
    }
    VertexNode* ring = nullptr;
    VertexNode** tail = &ring;
    for (const Step& s : path) {
        const Point3& p = s.forward ? edges.Start(s.member, s.edge) : edges.End(s.member, s.edge);
        *tail = NewVertex(p.x, p.y, p.z, 1, 0, 0, 0);
        tail = &(*tail)->next;
        edges.members[s.member]->edgeMarks[s.edge] = 1;
    }
    return ring;
}

// Whether every vertex of a lies within b, border included, and one
// strictly: two equal outlines do not hold each other.
bool RingWithin(const VertexNode* a, const VertexNode* b) {
    bool strictly = false;
    for (const VertexNode* v = a; v; v = v->next) {
        const int where = PointInPolygon(v->pt(), b, kEdgesReported);
        if (where == kOutsidePolygon) return false;
        if (where == kInsidePolygon) strictly = true;
    }
    return strictly;
}

// Adds a hole to an outline. A hole already there that lies within the new
// one is an island in it, and becomes an outline of the group again.
void AppendHole(FaceGroup& group, OutlinePolygon* outline, OutlinePolygon* hole) {
    for (OutlinePolygon** at = &outline->link; *at;) {
        OutlinePolygon* h = *at;
        if (!RingWithin(h->ring, hole->ring)) {
            at = &h->next;
            continue;
        }
        *at = h->next;
        h->next = group.outlines;
        group.outlines = h;
    }
    hole->next = nullptr;
    OutlinePolygon** at = &outline->link;
    while (*at) at = &(*at)->next;
    *at = hole;
}

bool WithinAHole(const OutlinePolygon& outline, const VertexNode* ring) {
    for (const OutlinePolygon* h = outline.link; h; h = h->next)
        if (RingWithin(ring, h->ring)) return true;
    return false;
}

// Places a traced outline (in the group's plane) among the group's
// outlines. Being held is asked first: an outline within another, and not
// within one of its holes, is its hole, even when it holds outlines itself.
// One within a hole is an island of its own, and so is a hole that a later
// hole turns out to hold: the walks come in member order, not from the
// outside in. Whole-face outlines take no part.
void PlaceOutlineInGroup(FaceGroup& group, OutlinePolygon* outline) {
    for (OutlinePolygon* o = group.outlines; o; o = o->next)
        if (o->state == 0 && RingWithin(outline->ring, o->ring) && !WithinAHole(*o, outline->ring)) {
            AppendHole(group, o, outline);
            return;
        }
    for (OutlinePolygon** at = &group.outlines; *at;) {
        OutlinePolygon* o = *at;
        if (o->state != 0 || !RingWithin(o->ring, outline->ring)) {
            at = &o->next;
            continue;
        }
        *at = o->next;
        if (!o->link) {
            AppendHole(group, outline, o);
            continue;
        }
        // An outline with holes inside the new one: its holes go over to the
        // new one, and it goes.
        for (OutlinePolygon* h = o->link; h;) {
            OutlinePolygon* next = h->next;
            AppendHole(group, outline, h);
            h = next;
        }
        o->link = nullptr;
        o->next = nullptr;
        FreeOutlinePolygons(o);
    }
    outline->next = group.outlines;
    group.outlines = outline;
}

void BuildOutlinesOfGroup(FaceGroup& group, const double grid[63]) {
    Matrix4 toPlane, toView;
    PlaneMatrices(group.plane, toPlane, toView);
    for (FaceMember* m = group.members; m; m = m->next) {
        SectionFace* f = m->face;
        if (f->triangle || !f->edgeWords[0] || !f->edgeWords[1] || !f->edgeWords[2] || !f->edgeWords[3] ||
            f->edgeMarks[0] || f->edgeMarks[1] || f->edgeMarks[2] || f->edgeMarks[3])
            continue;
        VertexNode* ring = nullptr;
        for (int k = 0; k < 4; ++k) AppendVertex(&ring, f->corners[k], 1, 0, 0);
        for (int k = 0; k < 4; ++k) f->edgeMarks[k] = 1;
        OutlinePolygon* o = NewOutlinePolygon(ring);
        CellBoxOfRing(ring, o->cellLow, o->cellHigh, grid);
        TransformRing(ring, toPlane);
        o->state = 1;
        o->next = group.outlines;
        group.outlines = o;
    }
    const GroupEdges edges(group);
    for (int i = 0; i < static_cast<int>(edges.members.size()); ++i)
        for (int k = 0; k < edges.members[i]->cornerCount(); ++k) {
            if (edges.members[i]->edgeMarks[k]) continue;
            VertexNode* ring = TraceGroupOutline(edges, i, k);
            ring = RemoveCollinearVertices(ring, 0);
            if (CountNodes(ring) < 3) {
                FreeList(ring);
                continue;
            }
            OutlinePolygon* o = NewOutlinePolygon(ring);
            CellBoxOfRing(ring, o->cellLow, o->cellHigh, grid);
            TransformRing(ring, toPlane);
            PlaceOutlineInGroup(group, o);
        }
    // The holes bridged in, then every outline back in view coordinates.
    for (OutlinePolygon* o = group.outlines; o; o = o->next) {
        if (o->link) {
            auto* contours = new ContourNode;
            contours->vertices = o->ring;
            o->ring = nullptr;
            ContourNode** tail = &contours->next;
            for (OutlinePolygon* h = o->link; h; h = h->next) {
                *tail = new ContourNode;
                (*tail)->vertices = h->ring;
                h->ring = nullptr;
                tail = &(*tail)->next;
            }
            RingNode* joined = BridgeHoles(contours);
            VertexNode** at = &o->ring;
            for (RingNode* r = joined; r; r = r->next) {
                *at = NewVertex(r->vertex->x, r->vertex->y, r->vertex->z, 1, 0, 0, 0);
                at = &(*at)->next;
            }
            FreeList(joined);
            FreeListOfLists(contours);
            FreeOutlinePolygons(o->link);
            o->link = nullptr;
        }
        TransformRing(o->ring, toView);
        SetOutlineBox(*o);
    }
}

// Step 9: sorted on the lowest depth cell of the first outline; a group
// without outlines hides and casts nothing and goes last.
FaceGroup* SortGroups(FaceGroup* groups) {
    auto key = [](const FaceGroup* g) { return g->outlines ? g->outlines->cellLow[2] : 21; };
    FaceGroup* sorted = nullptr;
    while (groups) {
        FaceGroup* g = groups;
        groups = g->next;
        FaceGroup** at = &sorted;
        while (*at && key(*at) <= key(g)) at = &(*at)->next;
        g->next = *at;
        *at = g;
    }
    return sorted;
}

}  // namespace

FaceGroup* FreeFaceGroups(FaceGroup* groups) {
    while (groups) {
        FaceGroup* next = groups->next;
        FreeList(groups->members);
        for (OutlinePolygon* o = groups->outlines; o; o = o->next) o->link = FreeOutlinePolygons(o->link);
        FreeOutlinePolygons(groups->outlines);
        delete groups;
        groups = next;
    }
    return nullptr;
}

int IsShadedLayer(const std::vector<std::string>& patterns, const std::string& layer) {
    const std::string name = zcutUpperCase(layer);
    for (const std::string& p : patterns)
        if (zcutWcMatch(name.c_str(), zcutUpperCase(p).c_str()) == RTNORM) return 0;
    return 1;
}

std::vector<std::string> ReadShadowLayerPatterns() {
    ZcDbObjectPointer<VELM_LAYEROMBRA> patterns(OpenLayerOmbraObject());
    return patterns ? patterns->entries : std::vector<std::string>{};
}

SectionFace* ComputeHiddenLines(SectionFace* faces, const double grid[63], FaceGroup** groupsOut) {
    return ComputeHiddenLines(faces, grid, groupsOut, ReadShadowLayerPatterns());
}

SectionFace* ComputeHiddenLines(SectionFace* faces, const double grid[63], FaceGroup** groupsOut,
                                const std::vector<std::string>& patterns) {
    *groupsOut = nullptr;
    faces = SortFacesByDepth(faces, grid);
    FaceGroup* groups = GroupFaces(faces, patterns);
    MarkSharedGroupEdges(groups);
    BuildGroupOutlines(groups, grid);
    groups = SortGroups(groups);
    faces = RemoveFacesHiddenByGroups(groups, faces);
    *groupsOut = groups;
    return faces;
}

void MarkSharedGroupEdges(FaceGroup* groups) {
    for (FaceGroup* g = groups; g; g = g->next) MarkSharedEdgesOfGroup(*g);
}

void BuildGroupOutlines(FaceGroup* groups, const double grid[63]) {
    for (FaceGroup* g = groups; g; g = g->next) {
        BuildOutlinesOfGroup(*g, grid);
        g->members = FreeList(g->members);
    }
}

SectionFace* RemoveFacesHiddenByGroups(FaceGroup* groups, SectionFace* faces) {
    // The faces run farthest first, so that each outline's pass could stop
    // at the first face wholly in front of it; the plan index gives each
    // outline the faces under it instead, and a face in front is passed
    // over. What goes does not depend on the order the faces are tried in.
    std::vector<SectionFace*> all;
    BoxIndex index;
    for (SectionFace* f = faces; f; f = f->next) {
        double box[4] = {f->corners[0].x, f->corners[0].y, f->corners[0].x, f->corners[0].y};
        for (int k = 1; k < f->cornerCount(); ++k) {
            box[0] = std::min(box[0], f->corners[k].x), box[1] = std::min(box[1], f->corners[k].y);
            box[2] = std::max(box[2], f->corners[k].x), box[3] = std::max(box[3], f->corners[k].y);
        }
        all.push_back(f);
        index.Add(box);
    }
    index.Build(SharedTolerance);
    std::vector<char> gone(all.size(), 0);
    const ZcGePlane viewPlane(0.0, 0.0, 1.0, 0.0);
    for (FaceGroup* g = groups; g; g = g->next) {
        if (g->plane.isPerpendicularTo(viewPlane)) continue;
        for (OutlinePolygon* o = g->outlines; o; o = o->next)
            for (int i : index.Query(o->box2d)) {
                SectionFace* f = all[i];
                if (gone[i] || f->cellHigh[2] < o->cellLow[2]) continue;
                if (f->cellLow[0] < o->cellLow[0] || f->cellHigh[0] > o->cellHigh[0] ||
                    f->cellLow[1] < o->cellLow[1] || f->cellHigh[1] > o->cellHigh[1])
                    continue;
                bool behind = true;
                for (int k = 0; behind && k < f->cornerCount(); ++k)
                    behind = g->plane.signedDistanceTo(ToGe(f->corners[k])) <= -SharedTolerance;
                if (!behind) continue;
                VertexNode* flat = nullptr;
                for (int k = 0; k < f->cornerCount(); ++k)
                    AppendVertex(&flat, {f->corners[k].x, f->corners[k].y, 0.0}, 0, 0, 0);
                if (PolygonInsidePolygon(flat, o->ring) == 1) gone[i] = 1;
                FreeList(flat);
            }
    }
    SectionFace* head = nullptr;
    SectionFace** tail = &head;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (gone[i]) {
            delete all[i];
            continue;
        }
        *tail = all[i];
        tail = &all[i]->next;
    }
    *tail = nullptr;
    return head;
}

void SpanViewGrid(const double boxMin[3], const double boxMax[3], double grid[63]) {
    for (int axis = 0; axis < 3; ++axis)
        for (int k = 0; k < 21; ++k)
            grid[21 * axis + k] = boxMin[axis] + k * (boxMax[axis] - boxMin[axis]) * 0.05;
}
