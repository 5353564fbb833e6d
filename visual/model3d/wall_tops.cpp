// Wall tops. The pieces of one rectangle wall share their rectangle id and
// are merged into one cap; lines that belong to no rectangle carry the
// unset id, which never merges (it would fuse every ordinary wall).
#include "visual/model3d/wall_tops.h"

#include <cmath>
#include <unordered_set>

#include "core/geometry/host_geometry.h"
#include "core/geometry/matrix4.h"
#include "core/geometry/triangulate.h"
#include "core/level_layers.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "settings/floor_cmds_run.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/outline_record.h"
#include "walls/recognition/defmuri.h"

namespace {

void PilasterCaps(const std::string& layer, double elevation) {
    const host::ResbufList filter(zcutBuildList(-3, 1001, kPilasterApp, 0));
    ads_name set;
    if (zcedSSGet("X", nullptr, nullptr, filter.get(), set) != RTNORM) return;
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    Matrix4 identity;
    SetIdentity4(identity);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        double level = 0.0;
        if (zcedSSName(set, i, e) != RTNORM || !GetEntityLevel(e, level, nullptr, false)) continue;
        if (std::fabs(level - elevation) > kLevelTolerance) continue;
        VertexNode* outline = GetPillarOutline(e);
        if (CountNodes(outline) < 3) {
            FreeList(outline);
            continue;
        }
        int reversed = 0;
        outline = NormalizePolygon(1, outline, &reversed);
        int k = 0;
        for (VertexNode* v = outline; v; v = v->next) {
            v->data1 = k++;
            v->data2 = 0;
        }
        FaceRecord* faces = TriangulatePolygon(outline, k - 1, identity);
        if (!faces) {
            FreeList(outline);
            continue;
        }
        EmitFaces(layer, faces);
        FreeList(faces);
    }
    zcedSSFree(set);
}

void Cap(const std::string& layer, const WallSegment& a, const WallSegment& b) {
    Point3 bs = b.start, be = b.end;
    const double dot = (a.end.x - a.start.x) * (be.x - bs.x) + (a.end.y - a.start.y) * (be.y - bs.y);
    if (dot < 0.0) std::swap(bs, be);
    const double z = a.topZ;
    const ads_point p0{a.start.x, a.start.y, z}, p1{a.end.x, a.end.y, z}, p2{be.x, be.y, z},
        p3{bs.x, bs.y, z};
    const host::ResbufList list(
        zcutBuildList(RTDXF0, "3DFACE", 8, layer.c_str(), 62, 256, 10, p0, 11, p1, 12, p2, 13, p3, 0));
    zcdbEntMake(list.get());
}

}  // namespace

void GenWallTops(const std::string& layer, double elevation, double height) {
    PilasterCaps(layer, elevation);

    DEFMURI walls;
    CFACCIATE g;
    g.level = elevation;
    g.floorHeight = height;
    g.floorInt = GetFloorIntAt(elevation);
    g.Build(true, false, &walls, true);
    std::unordered_set<WallPair*> merged;
    for (WallPair* p = walls.pairs; p; p = p->next) {
        if (merged.count(p) || !p->a || !p->b) continue;
        const double id = SegmentRectangleId(*p->a);
        if (id == kNoRectangle) continue;
        for (WallPair* q = p->next; q; q = q->next) {
            if (merged.count(q) || !q->a || !q->b || SegmentRectangleId(*q->a) != id) continue;
            Point3 ext[2];
            CollinearSegmentsExtent(p->a->start, p->a->end, q->a->start, q->a->end, ext);
            p->a->start = ext[0], p->a->end = ext[1];
            CollinearSegmentsExtent(p->b->start, p->b->end, q->b->start, q->b->end, ext);
            p->b->start = ext[0], p->b->end = ext[1];
            merged.insert(q);
        }
    }
    walls.AddSegmentsFromFaces(&g);
    walls.PairSegments(false);
    if (!walls.pairs) {
        zcutPrintf("\nNie można rozpoznać ścian w bieżącym rysunku");
        g.Clear();
        return;
    }
    for (WallPair* p = walls.pairs; p; p = p->next)
        if (!merged.count(p) && p->a && p->b) Cap(layer, *p->a, *p->b);
    g.Clear();
}
