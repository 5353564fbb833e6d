// The handrail block (see the header).
//
// The band of straight pieces is closed all round: its two long walls are
// cut into planar polygons wherever the side turns, its top and bottom are
// one quadrilateral per piece, and its two ends are closed square. An arc
// piece gets its own walls, top and bottom, one set per chord of the
// print scale, between the angles both its edges share.
#include "stairs/handrail_block.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/base/module_state.h"
#include "core/layer_catalogue.h"
#include "core/level_layers.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ed/prompts.h"
#include "stairs/stair_faces.h"
#include "store/settings_store.h"

namespace {

// Takes the list over.
bool MakeEntity(resbuf* raw) {
    const host::ResbufList list(raw);
    return list && zcdbEntMake(list.get()) == RTNORM;
}

bool MakeLine(const Point3& a, const Point3& b, const std::string& layer) {
    const ads_point p{a.x, a.y, 0.0}, q{b.x, b.y, 0.0};
    return MakeEntity(zcutBuildList(RTDXF0, "LINE", 8, layer.c_str(), 62, 256, 10, p, 11, q, 0));
}

double Sweep(double a, double b) {
    const double two = 2.0 * std::numbers::pi;
    double s = std::fmod(b - a, two);
    if (s < 0.0) s += two;
    if (s <= 0.0) s = two;
    return s;
}

Point3 OnCircle(const Point3& c, double r, double angle, double z) {
    return {c.x + r * std::cos(angle), c.y + r * std::sin(angle), z};
}

// The plan distance from p to the line through a and b.
double DistanceToLine(const Point3& p, const Point3& a, const Point3& b) {
    const double len = Distance2d(a, b);
    if (len <= 0.0) return Distance2d(p, a);
    return std::fabs((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)) / len;
}

std::vector<Point3> WithoutDuplicates(const std::vector<Point3>& points) {
    VertexNode* list = nullptr;
    for (const Point3& p : points) AppendVertex(&list, p, 0, 0, 0);
    list = RemoveDuplicateVertices(list);
    std::vector<Point3> out;
    for (const VertexNode* v = list; v; v = v->next) out.push_back(v->pt());
    FreeList(list);
    return out;
}

}  // namespace

std::vector<std::vector<Point3>> RailEdgePolylines(const std::vector<HandrailPiece>& pieces, bool top,
                                                   int edge) {
    std::vector<std::vector<Point3>> lines;
    std::vector<Point3> current;
    for (const HandrailPiece& p : pieces) {
        if (p.isArc()) {
            if (!current.empty()) lines.push_back(std::move(current));
            current.clear();
            continue;
        }
        const double zs = p.stairStart + (top ? p.railStart : 0.0);
        const double ze = p.stairEnd + (top ? p.railEnd : 0.0);
        if (edge == 0) {
            current.push_back({p.start.x, p.start.y, zs});
            current.push_back({p.end.x, p.end.y, ze});
        } else {
            current.push_back({p.path[0], p.path[1], zs});
            current.push_back({p.path[2], p.path[3], ze});
        }
    }
    if (!current.empty()) lines.push_back(std::move(current));
    return lines;
}

int FacesBetweenPolylines(const std::vector<Point3>& top, const std::vector<Point3>& bottom,
                          const std::string& layer, bool& failed) {
    int made = 0;
    std::size_t ia = 0, ib = 0;
    while (ia + 1 < top.size()) {
        // The vertical plane: the first point and the next one apart from it in plan.
        std::size_t far = ia + 1;
        while (far < top.size() && Distance2d(top[far], top[ia]) <= SharedTolerance) ++far;
        if (far == top.size()) break;
        const Point3 a = top[ia], b = top[far];
        std::size_t ja = ia;
        while (ja + 1 < top.size() && DistanceToLine(top[ja + 1], a, b) <= SharedTolerance) ++ja;
        std::size_t jb = ib;
        while (jb + 1 < bottom.size() && DistanceToLine(bottom[jb + 1], a, b) <= SharedTolerance) ++jb;
        std::vector<Point3> polygon(top.begin() + static_cast<std::ptrdiff_t>(ia),
                                    top.begin() + static_cast<std::ptrdiff_t>(ja) + 1);
        for (std::size_t k = jb + 1; k-- > ib;) polygon.push_back(bottom[k]);
        made += EmitPlanarPolygon(polygon, layer, failed);
        if (ja == ia) break;
        ia = ja;
        ib = jb;
    }
    return made;
}

void ArcPieceFaces(const HandrailPiece& piece, double chord, const std::string& layer3D,
                   const std::string& planLayer, bool& failed) {
    const double r0 = piece.radius(), r1 = piece.path[2];
    // The span both edge arcs share.
    const double s0 = piece.startAngle(), s1 = piece.path[3];
    const double start = Sweep(s0, s1) < std::numbers::pi ? s1 : s0;
    const double e0 = piece.endAngle(), e1 = piece.path[4];
    const double end = Sweep(e1, e0) < std::numbers::pi ? e1 : e0;
    const double sweep = Sweep(start, end);
    const double length = sweep * std::max(r0, r1);
    const int n = std::max(1, chord > 0.0 ? static_cast<int>(std::ceil(length / chord)) : 1);
    const Point3 c = piece.start;
    const Point3 c2{piece.path[0], piece.path[1], 0.0};
    // Heights along the walking direction.
    auto at = [&](double f, bool topEdge) {
        const double w = piece.direction ? f : 1.0 - f;
        const double stair = piece.stairStart + w * (piece.stairEnd - piece.stairStart);
        return topEdge ? stair + piece.railStart + w * (piece.railEnd - piece.railStart) : stair;
    };
    for (int k = 0; k < n; ++k) {
        const double f0 = static_cast<double>(k) / n, f1 = static_cast<double>(k + 1) / n;
        const double t0 = start + f0 * sweep, t1 = start + f1 * sweep;
        const int flags = n == 1 ? 0 : 10;
        auto face = [&](const Point3& p, const Point3& q, const Point3& r, const Point3& s) {
            if (!WriteStairFace(layer3D, p, q, r, s, flags)) failed = true;
        };
        for (const auto& [centre, radius] : {std::pair{c, r0}, std::pair{c2, r1}})
            face(OnCircle(centre, radius, t0, at(f0, false)), OnCircle(centre, radius, t1, at(f1, false)),
                 OnCircle(centre, radius, t1, at(f1, true)), OnCircle(centre, radius, t0, at(f0, true)));
        for (bool topFace : {true, false})
            face(OnCircle(c, r0, t0, at(f0, topFace)), OnCircle(c, r0, t1, at(f1, topFace)),
                 OnCircle(c2, r1, t1, at(f1, topFace)), OnCircle(c2, r1, t0, at(f0, topFace)));
    }
    const ads_point p{c.x, c.y, 0.0}, p2{c2.x, c2.y, 0.0};
    if (!MakeEntity(zcutBuildList(RTDXF0, "ARC", 8, planLayer.c_str(), 62, 256, 10, p, 40, r0, 50, start, 51,
                                  end, 0)) ||
        !MakeEntity(zcutBuildList(RTDXF0, "ARC", 8, planLayer.c_str(), 62, 256, 10, p2, 40, r1, 50, start, 51,
                                  end, 0)) ||
        !MakeLine(OnCircle(c, r0, start, 0.0), OnCircle(c2, r1, start, 0.0), planLayer) ||
        !MakeLine(OnCircle(c, r0, end, 0.0), OnCircle(c2, r1, end, 0.0), planLayer))
        failed = true;
}

bool MakeHandrailBlock(CCorrimano& rail, const HandrailWork& work, const std::string& postKey,
                       bool separateLayers) {
    const std::vector<HandrailPiece>& pieces = work.pathPieces;
    if (pieces.empty()) return false;
    rail.planLayer = separateLayers ? "2D" + rail.layerKey : rail.layerKey;
    rail.layer3D = separateLayers ? "3D" + rail.layerKey : rail.layerKey;
    AAR_LAYERC table;
    table.ReadLayerDefFile("LAYERC.DEF");
    EnsureLayer(rail.planLayer, table, false, 0.0, true);
    EnsureLayer(rail.layer3D, table, false, 0.0, true);
    std::string postLayer = postKey;
    if (!work.postFaces.empty()) EnsureLayer(postLayer, table, false, 0.0, true);

    const ads_point origin{0.0, 0.0, 0.0};
    if (!MakeEntity(zcutBuildList(RTDXF0, "BLOCK", 8, "0", 70, 65, 2, "*U", 10, origin, 0))) return false;
    bool failed = false;
    const std::string& faces = rail.layer3D;
    for (const PostFace& f : work.postFaces)
        if (!WriteStairFace(postLayer, f[0], f[1], f[2], f[3], 0)) failed = true;

    const double chord = GetScaleFactor(0);
    for (const HandrailPiece& p : pieces)
        if (p.isArc()) ArcPieceFaces(p, chord, faces, rail.planLayer, failed);

    for (int edge = 0; edge < 2; ++edge) {
        const auto tops = RailEdgePolylines(pieces, true, edge);
        const auto bottoms = RailEdgePolylines(pieces, false, edge);
        for (std::size_t i = 0; i < tops.size() && i < bottoms.size(); ++i)
            FacesBetweenPolylines(WithoutDuplicates(tops[i]), WithoutDuplicates(bottoms[i]), faces, failed);
    }
    for (const HandrailPiece& p : pieces) {
        if (p.isArc()) continue;
        const Point3 s1 = p.start, e1 = p.end, s2{p.path[0], p.path[1], 0.0}, e2{p.path[2], p.path[3], 0.0};
        for (bool top : {true, false}) {
            const double zs = p.stairStart + (top ? p.railStart : 0.0);
            const double ze = p.stairEnd + (top ? p.railEnd : 0.0);
            if (!WriteStairFace(faces, {s1.x, s1.y, zs}, {e1.x, e1.y, ze}, {e2.x, e2.y, ze}, {s2.x, s2.y, zs},
                                0))
                failed = true;
        }
        if (!MakeLine(s1, e1, rail.planLayer) || !MakeLine(s2, e2, rail.planLayer)) failed = true;
    }
    const HandrailPiece& first = pieces.front();
    if (!first.isArc()) {
        const double low = first.stairStart, high = first.stairStart + first.railStart;
        const Point3 a = first.start, b{first.path[0], first.path[1], 0.0};
        if (!WriteStairFace(faces, {a.x, a.y, low}, {b.x, b.y, low}, {b.x, b.y, high}, {a.x, a.y, high}, 0) ||
            !MakeLine(a, b, rail.planLayer))
            failed = true;
    }
    const HandrailPiece& last = pieces.back();
    if (!last.isArc()) {
        const double low = last.stairEnd, high = last.stairEnd + last.railEnd;
        const Point3 a = last.end, b{last.path[2], last.path[3], 0.0};
        if (!WriteStairFace(faces, {a.x, a.y, low}, {b.x, b.y, low}, {b.x, b.y, high}, {a.x, a.y, high}, 0) ||
            !MakeLine(a, b, rail.planLayer))
            failed = true;
    }
    if (failed) {
        zcdbEntMake(nullptr);
        return false;
    }
    if (!MakeEntity(zcutBuildList(RTDXF0, "ENDBLK", 0))) return false;
    char buffer[260] = "";
    zcedGetInput(buffer);
    rail.blockName = buffer;
    return !rail.blockName.empty();
}

bool InsertHandrailBlock(const CCorrimano& rail, const HandrailWork& work) {
    std::string layer = work.baseLayer;
    MakeLevelLayerName(layer, work.level);
    const ads_point at{work.insertionPoint.x, work.insertionPoint.y, work.level};
    return MakeEntity(
        zcutBuildList(RTDXF0, "INSERT", 8, layer.c_str(), 2, rail.blockName.c_str(), 10, at, 50, 0.0, 0));
}
