// Girder footprints and girder blocks.
//
// A long side of the footprint is the axis moved across by half the width;
// its ends are its first and last crossings with the outline along the
// axis. Ends on different outline edges are squared: the end lying further
// out is brought back across from the other, so the footprint is a
// rectangle inside the outline.
#include "roofs/girders.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/polygon.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ed/prompts.h"
#include "roofs/slab_record.h"

namespace {

struct Crossing {
    double t;
    Point3 at;
    const VertexNode* edge;
};

// The crossings of the line base + t u with the outline's edges, in the
// order of t, duplicates removed.
std::vector<Crossing> SideCrossings(const Point3& base, double ux, double uy, const VertexNode* outline) {
    std::vector<Crossing> out;
    for (const VertexNode* v = outline; v; v = v->next) {
        const VertexNode* w = NextInRing(outline, v);
        const double ex = w->x - v->x, ey = w->y - v->y;
        const double len = std::hypot(ex, ey);
        if (len < GeomEpsilon) continue;
        const double den = ux * ey - uy * ex;
        if (std::fabs(den) < GeomEpsilon * len) continue;
        const double dx = v->x - base.x, dy = v->y - base.y;
        const double t = (dx * ey - dy * ex) / den;
        const double s = (dx * uy - dy * ux) / den;
        const double slack = SharedTolerance / len;
        if (s < -slack || s > 1.0 + slack) continue;
        out.push_back({t, {base.x + t * ux, base.y + t * uy, 0.0}, v});
    }
    std::sort(out.begin(), out.end(), [](const Crossing& a, const Crossing& b) { return a.t < b.t; });
    std::vector<Crossing> unique;
    for (const Crossing& c : out)
        if (unique.empty() || !PointsEqual(unique.back().at, c.at, false)) unique.push_back(c);
    return unique;
}

// The foot of p on the line a-b and whether it lies between a and b.
bool FootWithin(const Point3& p, const Point3& a, const Point3& b, Point3& foot) {
    PerpendicularFoot(p, a, b, foot);
    foot.z = 0.0;
    return IsPointOnSegment(foot, a, b);
}

}  // namespace

int ComputeGirders(const Point3& p1, const Point3& p2, const VertexNode* outline, double width,
                   GirderFootprint& out) {
    const double len = std::hypot(p2.x - p1.x, p2.y - p1.y);
    if (len < GeomEpsilon || CountNodes(outline) < 3) return 0;
    const double ux = (p2.x - p1.x) / len, uy = (p2.y - p1.y) / len;
    Point3 first[2], last[2];
    for (int k = 0; k < 2; ++k) {
        const double shift = (k == 0 ? -0.5 : 0.5) * width;
        const Point3 base{p1.x - uy * shift, p1.y + ux * shift, 0.0};
        const std::vector<Crossing> crossings = SideCrossings(base, ux, uy, outline);
        if (crossings.size() < 2) return 0;
        first[k] = crossings.front().at;
        last[k] = crossings.back().at;
        out.startEdges[k] = crossings.front().edge;
        out.endEdges[k] = crossings.back().edge;
    }
    const double a0 = AngleTo(first[0], last[0]), a1 = AngleTo(first[1], last[1]);
    if (std::fabs(std::sin(a0) - std::sin(a1)) > SharedTolerance) {
        SwapPoints(first[1], last[1]);
        std::swap(out.startEdges[1], out.endEdges[1]);
    }
    // Square each end: bring the end lying further out back across.
    auto square = [&](Point3& own, Point3& other, const VertexNode* ownEdge, const VertexNode* otherEdge) {
        if (ownEdge == otherEdge) return;
        Point3 foot;
        if (FootWithin(own, first[1], last[1], foot)) {
            other = foot;
        } else {
            PerpendicularFoot(other, first[0], last[0], foot);
            foot.z = 0.0;
            own = foot;
        }
    };
    square(first[0], first[1], out.startEdges[0], out.startEdges[1]);
    square(last[0], last[1], out.endEdges[0], out.endEdges[1]);
    out.corners[0] = first[0];
    out.corners[1] = last[0];
    out.corners[2] = last[1];
    out.corners[3] = first[1];
    return 1;
}

namespace {

void Face(const std::string& layer, const Point3& a, const Point3& b, const Point3& c, const Point3& d) {
    const ads_point p[4] = {{a.x, a.y, a.z}, {b.x, b.y, b.z}, {c.x, c.y, c.z}, {d.x, d.y, d.z}};
    const host::ResbufList face(zcutBuildList(RTDXF0, "3DFACE", 8, layer.c_str(), 62, 256, 10, p[0], 11, p[1],
                                              12, p[2], 13, p[3], 70, 0, 0));
    zcdbEntMake(face.get());
}

}  // namespace

host::ResbufList MakeGirderBlock(CFALDA& record, bool square, bool plan, std::string& blockName) {
    blockName.clear();
    if (!record.loops || CountNodes(record.loops->vertices) != 4) return nullptr;
    double a = 0, b = 0, c = 0, d = 0;
    if (!PolygonNormal(record.loops->vertices, a, b, c, d)) return nullptr;
    const double n = std::sqrt(a * a + b * b + c * c);
    if (n < GeomEpsilon) return nullptr;
    a /= n, b /= n, c /= n;
    if (c < 0.0) a = -a, b = -b, c = -c;

    Point3 lower[4], upper[4];
    int flags[4];
    int i = 0;
    for (const VertexNode* v = record.loops->vertices; v; v = v->next, ++i) {
        lower[i] = v->pt();
        flags[i] = v->edgeFlag;
    }
    const double rise = SlopeLength(record.thickness, record.slope);
    const Point3 top0{lower[0].x, lower[0].y, lower[0].z + rise};
    for (int k = 0; k < 4; ++k) {
        if (square) {
            // Onto the plane parallel to the lower face through top0.
            const double t =
                (top0.x - lower[k].x) * a + (top0.y - lower[k].y) * b + (top0.z - lower[k].z) * c;
            upper[k] = {lower[k].x + a * t, lower[k].y + b * t, lower[k].z + c * t};
        } else {
            upper[k] = {lower[k].x, lower[k].y, lower[k].z + rise};
        }
    }

    if (!host::ResbufList(zcdbTblSearch("APPID", kSlabApp, 0))) zcdbRegApp(kSlabApp);
    const ads_point origin{0.0, 0.0, 0.0};
    const host::ResbufList header(zcutBuildList(RTDXF0, "BLOCK", 8, "0", 70, 1, 2, "*U", 10, origin, 0));
    if (zcdbEntMake(header.get()) != RTNORM) return nullptr;
    if (plan) {
        for (int k = 0; k < 4; ++k) {
            const Point3& p = lower[k];
            const Point3& q = lower[(k + 1) % 4];
            const ads_point from{p.x, p.y, 0.0}, to{q.x, q.y, 0.0};
            const host::ResbufList line(
                zcutBuildList(RTDXF0, "LINE", 8, record.layer2d.c_str(), 62, 256, 10, from, 11, to, 0));
            zcdbEntMake(line.get());
        }
    }
    Face(record.bottomLayer, lower[0], lower[1], lower[2], lower[3]);
    if (std::fabs(record.thickness) > GeomEpsilon) {
        for (int k = 0; k < 4; ++k) {
            const int j = (k + 1) % 4;
            Face(record.sideLayer, lower[k], lower[j], upper[j], upper[k]);
        }
        Face(record.topLayer, upper[0], upper[1], upper[2], upper[3]);
    }
    const host::ResbufList end(zcutBuildList(RTDXF0, "ENDBLK", 0));
    if (zcdbEntMake(end.get()) != RTNORM) return nullptr;
    char name[260] = "";
    zcedGetInput(name);
    blockName = name;

    // A girder is never written as a Z-profile, whatever its record holds.
    const int flagWord = record.FlagWord() & ~kSlabZProfile;
    host::ResbufList head(zcutBuildList(-3, 1001, kSlabApp, 1000, record.name.c_str(), 1000, "key_nes", 1040,
                                        record.thickness, 1070, flagWord, 1002, "{", 0));
    resbuf* tail = head.get();
    while (tail->rbnext) tail = tail->rbnext;
    for (int k = 0; k < 4; ++k) {
        const ads_point p{lower[k].x, lower[k].y, lower[k].z};
        tail->rbnext = zcutBuildList(1011, p, 1070, flags[k], 0);
        while (tail->rbnext) tail = tail->rbnext;
    }
    tail->rbnext = zcutBuildList(1002, "}", 0);
    return head;
}
