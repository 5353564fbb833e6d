// The hatch commands' view of the wall-face graph. A straight face's
// polygon is moved into the face's plane with the hole outlines of its
// openings, cut where an opening runs right through it, notched where one
// reaches its border, and given the openings lying inside each piece as
// islands; everything goes back to world coordinates before it is handed
// out, and the outlines the graph keeps are put back as they were.
//
// An opening ring becomes an island only when its first point lies inside
// the piece and not on its border: a ring on the border is a notch already,
// or lies between two pieces of a cut, and as an island too it would be
// taken out twice.
#include "walls/graph/hatch_graph.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "core/geometry/polygon.h"
#include "settings/floor_cmds_run.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/contour_highlight.h"
#include "walls/graph/outline_kind.h"
#include "walls/graph/outline_polygons.h"

namespace {

// The side rings of the face's openings moved into the face's plane, laid
// at the polygon's plane height; put back when this goes.
class RingsInPlane {
public:
    RingsInPlane(const WallFace& face, const Matrix4& toPlane, double planeZ) {
        for (const OutlineLink* l = face.outlineLinks; l; l = l->next) {
            VertexNode* ring = GetOutlineSideRing(face.start, face.end, l->outline);
            if (!ring || std::any_of(m_saved.begin(), m_saved.end(),
                                     [ring](const Saved& s) { return s.ring == ring; }))
                continue;
            Saved saved{ring, {}};
            for (VertexNode* v = ring; v; v = v->next) {
                saved.points.push_back(v->pt());
                Point3 p;
                TransformPoint(toPlane, v->pt(), p);
                p.z = planeZ;
                v->setPt(p);
            }
            m_saved.push_back(std::move(saved));
        }
    }
    ~RingsInPlane() {
        for (Saved& s : m_saved) {
            std::size_t i = 0;
            for (VertexNode* v = s.ring; v && i < s.points.size(); v = v->next) v->setPt(s.points[i++]);
        }
    }
    RingsInPlane(const RingsInPlane&) = delete;
    RingsInPlane& operator=(const RingsInPlane&) = delete;

private:
    struct Saved {
        VertexNode* ring;
        std::vector<Point3> points;
    };
    std::vector<Saved> m_saved;
};

void ToWorld(VertexNode* list, const Matrix4& toWorld) {
    for (VertexNode* v = list; v; v = v->next) {
        Point3 p;
        TransformPoint(toWorld, v->pt(), p);
        v->setPt(p);
    }
}

// The piece as a loop list: the piece notched around the openings on its
// border, then the openings inside it, reversed.
FaceRecord* PieceLoops(VertexNode* piece, const WallFace& face, const Matrix4& toWorld) {
    piece = MergeOutlineIntoPolygon(piece, &face);
    if (CountNodes(piece) < 3) {
        FreeList(piece);
        return nullptr;
    }
    auto* loops = new FaceRecord;
    loops->corners = piece;
    FaceRecord* tail = loops;
    for (const OutlineLink* l = face.outlineLinks; l; l = l->next) {
        const VertexNode* side = GetOutlineSideRing(face.start, face.end, l->outline);
        if (CountNodes(side) < 3 || !IsInsideByInsertion(side->pt(), piece, 0)) continue;
        VertexNode* copy = nullptr;
        for (const VertexNode* v = side; v; v = v->next) {
            VertexNode* n = NewVertex(v->x, v->y, v->z, 0, 0, 0, 0);
            n->next = copy;
            copy = n;
        }
        tail->next = new FaceRecord;
        tail = tail->next;
        tail->corners = copy;
    }
    for (FaceRecord* loop = loops; loop; loop = loop->next) ToWorld(loop->corners, toWorld);
    return loops;
}

}  // namespace

HatchWallGraph::HatchWallGraph(double level, bool rooms) {
    if (!rooms) {
        m_graph.level = level;
        m_graph.floorHeight = GetFloorHeightAt(level);
        m_graph.floorInt = GetFloorIntAt(level);
    }
    m_graph.Build(false, false, nullptr, false);
    m_graph.MergePillars();
    if (rooms) {
        m_graph.SplitAtJunctions();
        m_graph.MergeFunLines();
    }
}

VertexNode* HatchWallGraph::RoomContour(const Point3& point, bool& noFace) {
    noFace = false;
    double angle = 0.0;
    WallFace* face = m_graph.FindNearestFace(point, &angle);
    if (!face) {
        noFace = true;
        return nullptr;
    }
    double curveArea = 0.0;
    VertexNode* ring = m_graph.RecognizeContour(angle, face, &curveArea, true);
    if (!m_graph.contour) {
        HighlightContour(ring, 1, true);
        FreeList(ring);
        return nullptr;
    }
    m_graph.contour = FreeLinkedNodes(m_graph.contour);
    return ring;
}

std::optional<HatchWallFace> HatchWallGraph::FaceOf(const ads_name entity) {
    m_face = m_graph.FindFaceById(entity);
    if (!m_face) return std::nullopt;
    HatchWallFace out;
    out.isArc = m_face->isArc();
    out.start = m_face->start;
    out.end = m_face->end;
    out.arc = m_face->arc;
    if (!out.isArc) return out;
    for (const OutlineLink* l = m_face->outlineLinks; l; l = l->next) {
        const OutlineNode* o = l->outline;
        if (!o || o->kind != OutlineKind::ArcWallOpening) continue;
        HatchArcOpening opening{o->gapAngle[0], o->gapAngle[1], 0.0, 0.0};
        double zmin = std::numeric_limits<double>::max(), zmax = -zmin;
        for (const VertexNode* ring : {o->cut3DInt1, o->cut3DExt1, o->cut3DInt2, o->cut3DExt2})
            for (const VertexNode* v = ring; v; v = v->next) {
                zmin = std::min(zmin, v->z);
                zmax = std::max(zmax, v->z);
            }
        if (zmin > zmax) zmin = zmax = o->z;
        opening.zmin = zmin;
        opening.zmax = zmax;
        out.openings.push_back(opening);
    }
    for (const FaceEdge* e = m_face->arcEdges; e; e = e->next) out.edges.push_back({e->arc, e->extraReal});
    return out;
}

std::vector<FaceRecord*> HatchWallGraph::CutAroundOpenings(VertexNode* polygon, const Matrix4& toPlane,
                                                           const Matrix4& toWorld) {
    std::vector<FaceRecord*> out;
    if (!m_face || m_face->isArc() || CountNodes(polygon) < 3) {
        FreeList(polygon);
        return out;
    }
    for (VertexNode* v = polygon; v; v = v->next) {
        Point3 p;
        TransformPoint(toPlane, v->pt(), p);
        v->setPt(p);
    }
    RingsInPlane rings(*m_face, toPlane, polygon->z);
    auto* first = new ContourNode;
    first->vertices = polygon;
    ContourNode* pieces = CutPolygonsByOutlines(first, m_face);
    for (ContourNode* piece = pieces; piece; piece = piece->next) {
        VertexNode* ring = piece->vertices;
        piece->vertices = nullptr;
        if (FaceRecord* loops = PieceLoops(ring, *m_face, toWorld)) out.push_back(loops);
    }
    FreeListOfLists(pieces);
    return out;
}
