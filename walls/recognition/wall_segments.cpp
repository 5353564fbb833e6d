// Filling the chain from a face graph: one segment per straight stretch of
// wall face, collinear faces of one wall merged across the gaps between
// them (openings, cut lines) unless a pilaster or another face stands in
// the gap.
#include <cmath>
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

// Takes the head face of the graph into a new segment, or frees it when it
// has no straight edge; null then.
WallSegment* TakeHeadFace(CFACCIATE* graph) {
    WallFace* f = graph->faces;
    UnlinkFace(f, &graph->faces);
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

void Absorb(WallSegment* s, WallFace* g, CFACCIATE* graph, const Point3 extent[2]) {
    s->start = extent[0];
    s->end = extent[1];
    UnlinkFace(g, &graph->faces);
    g->next = s->faces;
    s->faces = g;
}

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

bool DEFMURI::FacesCrossSegment(WallFace* list, const Point3& p1, const Point3& p2) const {
    const double tol = 0.1 * wallDistance;
    auto crosses = [&](const WallFace* faces) {
        for (const WallFace* f = faces; f; f = f->next)
            for (const FaceEdge* e = f->edges; e; e = e->next) {
                Point3 x, edgeEnd, ownEnd;
                if (!IntersectSegments(e->start, e->end, p1, p2, true, x)) continue;
                NearerPoint(x, e->start, e->end, edgeEnd);
                NearerPoint(x, p1, p2, ownEnd);
                if (Distance2d(x, edgeEnd) > tol && Distance2d(x, ownEnd) > tol) return true;
            }
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
    while (graph->faces) {
        WallSegment* s = TakeHeadFace(graph);
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

        bool merged = true;
        while (merged) {
            merged = false;
            for (WallFace* g = graph->faces; g; g = g->next) {
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
                    FacesCrossSegment(graph->faces, extent[0], extent[1]))
                    continue;
                Absorb(s, g, graph, extent);
                merged = true;
                break;
            }
        }
        PushSegment(s);
        SplitHeadAtSeparators(separators);
    }
}

void DEFMURI::AddSegmentsFromFaces(CFACCIATE* graph) {
    if (!graph) return;
    while (graph->faces) {
        WallSegment* s = TakeHeadFace(graph);
        if (!s) continue;
        s->topZ = s->faces->edges->topZ;
        bool merged = true;
        while (merged) {
            merged = false;
            for (WallFace* g = graph->faces; g; g = g->next) {
                if (!HasStraightEdge(g) || !Collinear(*s, *g) || !Reaches(*this, *s, *g) ||
                    std::fabs(s->topZ - g->edges->topZ) > SharedTolerance)
                    continue;
                Point3 extent[2];
                CollinearSegmentsExtent(s->start, s->end, g->start, g->end, extent);
                if (FacesCrossSegment(graph->faces, extent[0], extent[1])) continue;
                Absorb(s, g, graph, extent);
                merged = true;
                break;
            }
        }
        PushSegment(s);
    }
}
