// Straight wall sides. The polygon is built in world coordinates (bottom
// profile from E back to S, top profile from S to E), then moved into the
// side's plane (x along the face, y up) where the openings' side rings,
// moved the same way, split it, are merged as notches or added as holes.
// The side rings belong to the graph's outlines: they are moved in place
// for the outline services and put back before the side is done, so a
// graph can generate a face again.
#include "visual/model3d/wall_sides.h"

#include <cmath>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/face_rings.h"
#include "core/geometry/matrix4.h"
#include "core/geometry/polygon.h"
#include "host/ads/adsent.h"
#include "host/db/dbdatabase.h"
#include "visual/model3d/face_records.h"
#include "walls/graph/outline_polygons.h"
#include "walls/graph/wall_face.h"

namespace {

int BottomShown(int mode) {
    return mode == 0 || mode == 1 ? 1 : 0;
}
int TopShown(int mode) {
    return mode == 0 || mode == 2 ? 1 : 0;
}

void PushFront(VertexNode*& list, const Point3& p, int flag) {
    VertexNode* v = NewVertex(p.x, p.y, p.z, flag, 0, 0, 0);
    v->next = list;
    list = v;
}

}  // namespace

VertexNode* RemoveRepeats(VertexNode* list) {
    for (VertexNode* v = list; v && v->next;) {
        if (PointsEqual(v->pt(), v->next->pt(), true)) {
            VertexNode* gone = v->next;
            v->next = gone->next;
            delete gone;
        } else {
            v = v->next;
        }
    }
    return list;
}

namespace {

// Where along S->E the edge ends: its end point farther along the face.
Point3 EdgeEnd(const FaceEdge& e, const Point3& s, const Point3& dir) {
    const double ts = (e.start.x - s.x) * dir.x + (e.start.y - s.y) * dir.y;
    const double te = (e.end.x - s.x) * dir.x + (e.end.y - s.y) * dir.y;
    return te >= ts ? e.end : e.start;
}

// The z of (x, y) on the record's plane, lifted off the point's own z.
double LiftedZ(const SlabPlaneRec* plane, const Point3& p) {
    double z = -(plane->a * p.x + plane->b * p.y + plane->d) / plane->c;
    if (std::fabs(z - p.z) <= SharedTolerance) z += 3.0 * SharedTolerance;
    return z;
}

// A profile from S to E over a list of cut points running from E to S:
// every piece gets the z of the plane `pick` finds for it, else defaultZ.
template <class Pick>
VertexNode* ProfileOverPieces(VertexNode* cuts, double defaultZ, Pick&& pick) {
    std::vector<Point3> pts;
    for (const VertexNode* v = cuts; v; v = v->next) pts.push_back(v->pt());
    VertexNode* profile = nullptr;
    // cuts run from E to S: walk them backwards and push in front, then
    // reverse, so the chain runs from S to E.
    for (std::size_t i = pts.size(); i-- > 1;) {
        const Point3& p = pts[i];
        const Point3& q = pts[i - 1];
        const SlabPlaneRec* plane = pick(p, q);
        Point3 a = p, b = q;
        a.z = plane ? LiftedZ(plane, p) : defaultZ;
        b.z = plane ? LiftedZ(plane, q) : defaultZ;
        PushFront(profile, a, 1);
        PushFront(profile, b, 1);
    }
    return RemoveRepeats(ReverseList(profile));
}

ObjectIdNode* ResolveHandles(const std::vector<std::string>& handles) {
    ObjectIdNode* head = nullptr;
    for (auto it = handles.rbegin(); it != handles.rend(); ++it) {
        ads_name e;
        ZcDbObjectId id;
        if (zcdbHandEnt(it->c_str(), e) != RTNORM || zcdbGetObjectId(id, e) != Zcad::eOk) continue;
        auto* n = new ObjectIdNode;
        n->id = id;
        n->next = head;
        head = n;
    }
    return head;
}

// The side rings of the face's openings moved into the side's plane, with
// their world points kept to be put back. Each ring is laid flat at the
// side's own plane height `sideZ`, not at its own: an outline standing a
// little off the face (an object thinner or thicker than its wall) would
// otherwise leave the side's plane through the corners it adds.
class PlaneRings {
public:
    PlaneRings(const WallFace& face, const Matrix4& toPlane, double sideZ) {
        for (const OutlineLink* l = face.outlineLinks; l; l = l->next) {
            VertexNode* ring = GetOutlineSideRing(face.start, face.end, l->outline);
            if (!ring) continue;
            bool seen = false;
            for (const Saved& s : m_saved) seen = seen || s.ring == ring;
            if (seen) continue;
            Saved saved{ring, {}};
            for (VertexNode* v = ring; v; v = v->next) {
                saved.points.push_back(v->pt());
                Point3 p;
                TransformPoint(toPlane, v->pt(), p);
                p.z = sideZ;
                v->setPt(p);
            }
            m_saved.push_back(std::move(saved));
        }
    }
    ~PlaneRings() {
        for (Saved& s : m_saved) {
            std::size_t i = 0;
            for (VertexNode* v = s.ring; v && i < s.points.size(); v = v->next) v->setPt(s.points[i++]);
        }
    }
    PlaneRings(const PlaneRings&) = delete;
    PlaneRings& operator=(const PlaneRings&) = delete;

private:
    struct Saved {
        VertexNode* ring;
        std::vector<Point3> points;
    };
    std::vector<Saved> m_saved;
};

void TriangulatePiece(ContourNode* piece, const WallFace& face, const std::string& layer,
                      const Matrix4& toWorld) {
    piece->vertices = MergeOutlineIntoPolygon(piece->vertices, &face);
    if (CountNodes(piece->vertices) < 3) return;
    ContourNode* lastHole = piece;
    int index = 1;
    for (const OutlineLink* l = face.outlineLinks; l; l = l->next) {
        const VertexNode* side = GetOutlineSideRing(face.start, face.end, l->outline);
        if (CountNodes(side) <= 2) continue;
        if (!IsInsideByInsertion(side->pt(), piece->vertices, 0)) continue;
        VertexNode* copy = nullptr;
        VertexNode** tail = &copy;
        for (const VertexNode* v = side; v; v = v->next) {
            *tail = NewVertex(v->x, v->y, v->z, v->edgeFlag, index, 0, 0);
            tail = &(*tail)->next;
        }
        int reversed = 0;
        copy = NormalizePolygon(1, copy, &reversed);
        auto* hole = new ContourNode;
        hole->vertices = copy;
        lastHole->next = hole;
        lastHole = hole;
        ++index;
    }
    RingNode* ring = BridgeHolesIntoOutline(piece);
    TriangulateTo3DFaces(layer, piece, ring, toWorld);
    FreeList(ring);
}

// Steps shared by both generators; `top` builds the top profile from S to E
// when the face has no slab associated above.
template <class TopWithoutPlanes>
std::vector<Point3> GenerateSide(const WallFace& face, const std::string& layer, double elevation,
                                 double height, int mode, TopWithoutPlanes&& topWithoutPlanes) {
    const Point3 s = face.start, e = face.end;
    if (PointsEqual(s, e, true)) return {};
    Matrix4 toPlane, toWorld;
    const Point3 along{e.x - s.x, e.y - s.y, 0.0};
    if (!PlaneToXYMatrix(s, along, {0.0, 0.0, 1.0}, toPlane) || !InvertMatrix4(toPlane, toWorld)) return {};
    MarkFaceModelType(face, mode);
    const double len = std::hypot(along.x, along.y);
    const Point3 dir{along.x / len, along.y / len, 0.0};
    const Point3 sAt{s.x, s.y, elevation}, eAt{e.x, e.y, elevation};

    // Bottom profile, E to S.
    std::uint8_t lowest = 0;
    double h = 0.0;
    VertexNode* bottom = nullptr;
    if (SlabPlaneRec* planes = CollectFaceSlabPlanes(face, elevation, lowest, h, false)) {
        bottom = ReverseList(BuildSlabProfile(sAt, eAt, planes, elevation + h, lowest != 0));
        FreeList(planes);
    } else {
        Point3 p = sAt;
        if (face.edges) p.z = face.edges->bottomZ;
        PushFront(bottom, p, 1);
        const FaceEdge* last = nullptr;
        for (const FaceEdge* edge = face.edges; edge; edge = edge->next) {
            last = edge;
            const FaceEdge* n = edge->next;
            if (!n) break;
            const bool zDiffer = std::fabs(edge->bottomZ - n->bottomZ) > SharedTolerance;
            if (!zDiffer && BottomShown(edge->edgeVisibility) == BottomShown(n->edgeVisibility)) continue;
            Point3 at = EdgeEnd(*edge, s, dir);
            at.z = edge->bottomZ;
            PushFront(bottom, at, BottomShown(edge->edgeVisibility));
            if (zDiffer) {
                at.z = n->bottomZ;
                PushFront(bottom, at, 1);
            }
        }
        Point3 q = eAt;
        int flag = 1;
        if (last) {
            q.z = last->bottomZ;
            flag = BottomShown(last->edgeVisibility);
        }
        PushFront(bottom, q, flag);
        bottom = RemoveRepeats(bottom);
    }

    // Top profile, S to E.
    h = height;
    VertexNode* topProfile = nullptr;
    if (SlabPlaneRec* planes = CollectFaceSlabPlanes(face, elevation, lowest, h, true)) {
        topProfile = BuildSlabProfile(sAt, eAt, planes, elevation + h, lowest != 0);
        FreeList(planes);
    } else {
        topProfile = topWithoutPlanes(sAt, eAt, dir);
    }

    // One ring in the side's plane.
    VertexNode* ring = bottom;
    VertexNode* tail = ring;
    while (tail && tail->next) tail = tail->next;
    (tail ? tail->next : ring) = topProfile;
    // The ring is closed: its last vertex may repeat the first.
    ring = RemoveRepeats(ring);
    while (ring && ring->next) {
        VertexNode* last = ring;
        while (last->next->next) last = last->next;
        if (!PointsEqual(last->next->pt(), ring->pt(), true)) break;
        delete last->next;
        last->next = nullptr;
    }
    std::vector<Point3> outline;
    for (VertexNode* v = ring; v; v = v->next) {
        outline.push_back(v->pt());
        Point3 p;
        TransformPoint(toPlane, v->pt(), p);
        v->setPt(p);
    }
    if (CountNodes(ring) < 3) {
        FreeList(ring);
        return {};
    }

    {
        PlaneRings rings(face, toPlane, ring->z);
        auto* polygon = new ContourNode;
        polygon->vertices = ring;
        // Split at every opening that runs right through the side, under
        // slabs too: a plane lower than a door's lintel leaves the door
        // running from the bottom to the top, which neither a notch nor a
        // hole can take out.
        ContourNode* pieces = CutPolygonsByOutlines(polygon, &face);
        for (ContourNode* piece = pieces; piece; piece = piece->next) {
            ContourNode* rest = piece->next;
            piece->next = nullptr;
            TriangulatePiece(piece, face, layer, toWorld);
            FreeListOfLists(piece->next);
            piece->next = rest;
        }
        FreeListOfLists(pieces);
    }
    return outline;
}

}  // namespace

Model3DLevelRec* BuildFaceLevelRecs(const WallFace& face) {
    Model3DLevelRec* head = nullptr;
    Model3DLevelRec** tail = &head;
    for (const FaceEdge* e = face.edges; e; e = e->next) {
        auto* rec = new Model3DLevelRec;
        rec->elevation1 = e->upperRoof.height;
        rec->switch1 = e->upperRoof.choice;
        rec->ids1 = ResolveHandles(e->upperRoof.names);
        rec->elevation2 = e->lowerRoof.height;
        rec->switch2 = e->lowerRoof.choice;
        rec->ids2 = ResolveHandles(e->lowerRoof.names);
        *tail = rec;
        tail = &rec->next;
    }
    return head;
}

SlabPlaneRec* CollectFaceSlabPlanes(const WallFace& face, double elevation, std::uint8_t& choice,
                                    double& height, bool top) {
    bool any = false;
    for (const FaceEdge* e = face.edges; e && !any; e = e->next)
        any = !(top ? e->upperRoof.names : e->lowerRoof.names).empty() ||
              (top ? e->upperRoof.height != 0.0 || e->upperRoof.choice != 0
                   : e->lowerRoof.height != 0.0 || e->lowerRoof.choice != 0);
    // Lines without associations give no plane: the drawing is not read.
    if (!any) return nullptr;
    Model3DLevelRec* records = BuildFaceLevelRecs(face);
    SlabPlaneRec* planes = CollectSlabPlanes(records, elevation, choice, height, top);
    FreeList(records);
    return planes;
}

VertexNode* IntersectSegmentWithFaces(const Point3& start, const Point3& end, const SlabPlaneRec* planes) {
    return SplitSegmentAtSlabs(start, end, planes);
}

const SlabPlaneRec* FindFaceAtPoint(const Point3& p1, const Point3& p2, const SlabPlaneRec* planes) {
    return FindSlabOverSegment(planes, p1, p2, true, false);
}

VertexNode* BuildSlabProfile(const Point3& start, const Point3& end, const SlabPlaneRec* slabs,
                             double defaultZ, bool lowest) {
    VertexNode* cuts = SplitSegmentAtSlabs(start, end, slabs);
    VertexNode* profile = ProfileOverPieces(cuts, defaultZ, [&](const Point3& p, const Point3& q) {
        return FindSlabOverSegment(slabs, p, q, lowest, false);
    });
    FreeList(cuts);
    return profile;
}

std::vector<Point3> GenWallSide(const WallFace& face, const std::string& layer, double elevation,
                                double height) {
    return GenerateSide(face, layer, elevation, height, 1,
                        [&](const Point3& s, const Point3& e, const Point3& dir) {
                            VertexNode* top = nullptr;
                            Point3 p{s.x, s.y, elevation + height};
                            int flag = 1;
                            if (face.edges) {
                                p.z = face.edges->topZ;
                                flag = TopShown(face.edges->edgeVisibility);
                            }
                            PushFront(top, p, flag);
                            const FaceEdge* last = nullptr;
                            for (const FaceEdge* edge = face.edges; edge; edge = edge->next) {
                                last = edge;
                                const FaceEdge* n = edge->next;
                                if (!n) break;
                                const bool zDiffer = std::fabs(edge->topZ - n->topZ) > SharedTolerance;
                                if (!zDiffer && TopShown(edge->edgeVisibility) == TopShown(n->edgeVisibility))
                                    continue;
                                Point3 at = EdgeEnd(*edge, face.start, dir);
                                if (zDiffer) {
                                    at.z = edge->topZ;
                                    PushFront(top, at, 1);
                                }
                                at.z = n->topZ;
                                PushFront(top, at, TopShown(n->edgeVisibility));
                            }
                            Point3 q{e.x, e.y, last ? last->topZ : elevation + height};
                            PushFront(top, q, 1);
                            return RemoveRepeats(ReverseList(top));
                        });
}

std::vector<Point3> GenWallSideUnderSlabs(const WallFace& face, const std::string& layer, double elevation,
                                          double height, const SlabPlaneRec* planes) {
    return GenerateSide(
        face, layer, elevation, height, 2, [&](const Point3& s, const Point3& e, const Point3&) {
            VertexNode* cuts = IntersectSegmentWithFaces(s, e, planes);
            VertexNode* top = ProfileOverPieces(
                cuts, elevation + height,
                [&](const Point3& p, const Point3& q) { return FindFaceAtPoint(p, q, planes); });
            FreeList(cuts);
            return top;
        });
}
