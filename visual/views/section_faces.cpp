// Faces of a section: the face record with its plane, and the face set of
// the section object filled from 3DFACE corners, polygons and solids.
//
// A polygon (a solid's face, with its holes bridged in) is laid into its
// own plane, ear-clipped there, and each triangle is placed, brought into
// the view frame and cut at the section plane. The triangulation hides its
// diagonals and bridges, so a face group later shows only the outline the
// polygon had. A solid gives only its planar faces: what its explode gives
// besides regions (the boundaries of curved faces) adds nothing.
#include "visual/views/section_faces.h"

#include <cmath>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/host_geometry.h"
#include "core/geometry/outline.h"
#include "core/geometry/polygon.h"
#include "core/geometry/triangulate.h"
#include "core/levels.h"
#include "host/db/dbents.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsolid.h"
#include "host/db/dbsymtb.h"
#include "visual/views/ring_chaining.h"

namespace {

ZcGePoint3d ToGe(const Point3& p) {
    return {p.x, p.y, p.z};
}

// Sets the plane through p, q, r, turned towards the viewer; false when the
// points give no plane.
bool SetFacingPlane(ZcGePlane& plane, const Point3& p, const Point3& q, const Point3& r) {
    plane.set(ToGe(p), ToGe(q), ToGe(r));
    if (plane.normal().isZeroLength()) return false;
    if (plane.normal().z > 0.0) plane.set(ToGe(p), ToGe(r), ToGe(q));
    return !plane.normal().isZeroLength();
}

}  // namespace

SectionFace::SectionFace(const Point3 in[4], const int words[4], int colour_, std::string_view layer_)
    : colour(colour_), layer(layer_) {
    int i = -1;
    for (int k = 0; k < 4; ++k)
        if (PointsEqual(in[k], in[(k + 1) % 4], true)) {
            i = k;
            break;
        }
    auto same = [&in](int p, int q) { return PointsEqual(in[p], in[q], true); };
    bool degenerate = false;
    if (i >= 0) {
        // The three corners kept, in ring order, each with its own word.
        static const int kKept[4][3] = {{2, 3, 1}, {3, 0, 2}, {0, 1, 3}, {1, 2, 0}};
        for (int k = 0; k < 3; ++k) {
            corners[k] = in[kKept[i][k]];
            edgeWords[k] = words[kKept[i][k]];
        }
        corners[3] = Point3{};
        edgeWords[3] = 0;
        switch (i) {
            case 0:
                degenerate = same(2, 3) || same(0, 2) || same(0, 3);
                break;
            case 1:
                degenerate = same(0, 3) || same(1, 3);
                break;
            case 2:
                degenerate = same(3, 0);
                break;
            default:
                degenerate = same(3, 1);
                break;
        }
    } else {
        for (int k = 0; k < 4; ++k) {
            corners[k] = in[k];
            edgeWords[k] = words[k];
        }
        triangle = 0;
    }
    if (!degenerate) {
        const Point3 &A = corners[0], &B = corners[1], &C = corners[2], &D = corners[3];
        bool set = false;
        if (!ArePointsCollinear(A, B, C, SharedTolerance))
            set = SetFacingPlane(plane, A, B, C);
        else if (!triangle && !ArePointsCollinear(B, C, D, SharedTolerance))
            set = SetFacingPlane(plane, B, C, D);
        if (set) {
            valid = 1;
            plane.getCoefficients(a, b, c, d);
        }
    }
}

void CSezione::AddFace(SectionFace* face) {
    face->next = faces;
    faces = face;
    // A triangle's fourth corner is no corner: it would stretch the box to
    // the origin.
    for (int k = 0; k < face->cornerCount(); ++k) {
        const double v[3] = {face->corners[k].x, face->corners[k].y, face->corners[k].z};
        for (int axis = 0; axis < 3; ++axis) {
            boxMin[axis] = std::min(boxMin[axis], v[axis]);
            boxMax[axis] = std::max(boxMax[axis], v[axis]);
        }
    }
}

void CSezione::AddQuadFaces(Point3* corners, const int* words, int count, std::string_view layer,
                            int colour) {
    for (int f = 0; f < count; ++f) {
        Point3* quad = corners + 4 * f;
        if (axonometric)
            for (int k = 0; k < 4; ++k) {
                Point3 world;
                TransformPoint(inverseViewFrame, quad[k], world);
                TransformPoint(displayFrame, world, quad[k]);
            }
        auto* face = new SectionFace(quad, words + 4 * f, colour, layer);
        if (face->valid) {
            face->solid = solidGroup;
            AddFace(face);
            continue;
        }
        delete face;
        for (int k = 0; k < 4; ++k) {
            const Point3& a = quad[k];
            const Point3& b = quad[(k + 1) % 4];
            if (words[4 * f + k] < 0 && !PointsEqual(a, b, true))
                slenderCutEdges.push_back({a, b, solidGroup, std::string(layer)});
        }
    }
}

void CSezione::AddEntityFaces(const VertexNode* ring, Matrix4 matrix, std::string_view layer, int colour) {
    double a, b, c, d;
    if (CountNodes(ring) < 3 || !PolygonNormal(ring, a, b, c, d)) return;
    // The plane's frame has its origin at the ring's second vertex.
    Matrix4 toWorld, toPlane;
    CoordSystemFromNormal(ring->next, toWorld, a, b, c);
    if (!InvertMatrix4(toWorld, toPlane)) return;
    VertexNode* flat = nullptr;
    VertexNode** tail = &flat;
    for (const VertexNode* v = ring; v; v = v->next) {
        Point3 p;
        TransformPoint(toPlane, v->pt(), p);
        *tail = NewVertex(p.x, p.y, 0.0, v->edgeFlag, v->data1, v->data2, 0);
        tail = &(*tail)->next;
    }
    // Ear clipping wants the ring counter-clockwise in its plane.
    flat = NormalizePolygon(1, flat, nullptr);
    int number = 0;
    for (VertexNode* v = flat; v; v = v->next) v->data1 = number++;
    if (number < 3) {
        FreeList(flat);
        return;
    }
    FaceRecord* triangles = TriangulatePolygon(flat, number - 1, toWorld);
    for (FaceRecord* t = triangles; t; t = t->next) {
        Point3 view[4];
        int words[4] = {0, 0, 0, 0};
        int k = 0, below = 0;
        for (const VertexNode* v = t->corners; v && k < 4; v = v->next, ++k) {
            Point3 placed;
            TransformPoint(matrix, v->pt(), placed);
            TransformPoint(viewFrame, placed, view[k]);
            words[k] = v->edgeFlag ? 0 : 1;
            if (!BehindCut(view[k].z, 0.0)) ++below;
        }
        if (k < 4 || below == 4) continue;
        if (below == 0) {
            AddQuadFaces(view, words, 1, layer, colour);
            continue;
        }
        Point3 cut[8];
        int cutWords[8] = {0, 0, 0, 0, 0, 0, 0, 0};
        const int pieces = CutFace(view, words, cut, cutWords, sectionPlane, 0.0);
        if (pieces > 0) AddQuadFaces(cut, cutWords, std::min(pieces, 2), layer, colour);
    }
    FreeList(triangles);
}

namespace {

// Line pieces of one exploded boundary curve, prepended to the list.
void AddCurveSegments(ZcDbEntity* curve, double step, SegmentRec*& segments) {
    auto addLine = [&segments](const Point3& p, const Point3& q) {
        const double six[6] = {p.x, p.y, p.z, q.x, q.y, q.z};
        segments = new SegmentRec(six, nullptr, 0, segments);
    };
    auto addArc = [&](const Point3& centre, double radius, double start, double end, const Point3& normal) {
        VertexNode* pts = ArcToVertices(step, centre, radius, start, end, nullptr, false, &normal);
        for (VertexNode* v = pts; v && v->next; v = v->next) addLine(v->pt(), v->next->pt());
        FreeList(pts);
    };
    if (auto* line = ZcDbLine::cast(curve)) {
        const ZcGePoint3d s = line->startPoint(), e = line->endPoint();
        addLine({s.x, s.y, s.z}, {e.x, e.y, e.z});
    } else if (auto* arc = ZcDbArc::cast(curve)) {
        const ZcGePoint3d c = arc->center();
        const ZcGeVector3d n = arc->normal();
        addArc({c.x, c.y, c.z}, arc->radius(), arc->startAngle(), arc->endAngle(), {n.x, n.y, n.z});
    } else if (auto* circle = ZcDbCircle::cast(curve)) {
        const ZcGePoint3d c = circle->center();
        const ZcGeVector3d n = circle->normal();
        // Two halves: a sweep from 0 to a whole turn reads as no sweep.
        const double pi = TwoPi() / 2.0;
        addArc({c.x, c.y, c.z}, circle->radius(), 0.0, pi, {n.x, n.y, n.z});
        addArc({c.x, c.y, c.z}, circle->radius(), pi, TwoPi(), {n.x, n.y, n.z});
    }
}

}  // namespace

void CSezione::CollectEntityFaces(ZcDbEntity* entity, Matrix4 matrix) {
    auto* solid = ZcDb3dSolid::cast(entity);
    if (!solid) return;
    const double step = DrawingChordStep();
    std::string layer;
    {
        ZcDbObjectPointer<ZcDbLayerTableRecord> record(entity->layerId(), ZcDb::kForRead);
        if (record.openStatus() != Zcad::eOk) return;
        record->getName(layer);
    }
    // A solid on a layer that is off or frozen is no more seen than a face
    // on it.
    if (!IsLayerVisible(layer)) return;
    std::string renamed = layer;
    const int level = ParseLevel3DLayer(renamed);
    if (!FindName(renamed, layerNames)) {
        layerNames = AppendName(renamed, layerNames, layerCount * level);
        ++layerCount;
    }
    const int colour = useEntityColour ? entity->colorIndex() : 256;

    std::vector<ZcDbEntity*> pieces;
    solid->explode(pieces);
    for (ZcDbEntity* piece : pieces) {
        if (auto* region = ZcDbRegion::cast(piece)) {
            std::vector<ZcDbEntity*> curves;
            region->explode(curves);
            SegmentRec* segments = nullptr;
            for (ZcDbEntity* curve : curves) {
                AddCurveSegments(curve, step, segments);
                delete curve;
            }
            VertexNode* ring = ChainSegmentsIntoRings(segments);
            FreeList(segments);
            if (ring) AddEntityFaces(ring, matrix, layer, colour);
            FreeList(ring);
        }
        delete piece;
    }
}
