// Geometric DRAW statements.
#include "objects/draw/draw_geometry.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/base/module_state.h"
#include "core/geometry/face_rings.h"
#include "core/geometry/matrix4.h"
#include "host/ads/rbutil.h"
#include "objects/draw/draw_common.h"
#include "objects/language/obj_args.h"

using draw::Header;

namespace draw {

void MakeLine(const std::string& layer, const Point3& a, const Point3& b) {
    MakeEntity("LINE", {ZcDbDxfItem::ofText(8, layer), ZcDbDxfItem::ofInt(62, 256), PointGroup(10, a),
                        PointGroup(11, b), ZcDbDxfItem::ofReal(39, 0.0)});
}

void Make3dFace(const std::string& layer, const Point3 corners[4], int flags) {
    ads_point p[4];
    for (int i = 0; i < 4; ++i) ToAds(corners[i], p[i]);
    MakeEntity(zcutBuildList(RTDXF0, "3DFACE", 8, layer.c_str(), 62, 256, 10, p[0], 11, p[1], 12, p[2], 13,
                             p[3], 70, flags, 0));
}

void MakeCircle(const std::string& layer, const Point3& centre, const Point3& normal, double radius,
                double thickness) {
    ads_point c, n;
    ToAds(WorldToOcs(centre, normal), c);
    ToAds(normal, n);
    MakeEntity(zcutBuildList(RTDXF0, "CIRCLE", 8, layer.c_str(), 62, 256, 10, c, 40, radius, 39, thickness,
                             210, n, 0));
}

void MakeArc(const std::string& layer, const Point3& centre, const Point3& normal, double radius,
             double thickness, double start, double end) {
    ads_point c, n;
    ToAds(WorldToOcs(centre, normal), c);
    ToAds(normal, n);
    MakeEntity(zcutBuildList(RTDXF0, "ARC", 8, layer.c_str(), 62, 256, 10, c, 40, radius, 39, thickness, 50,
                             start, 51, end, 210, n, 0));
}

bool CornersCollinear(const Point3 corners[4]) {
    return ArePointsCollinear4(corners[0], corners[1], corners[2], corners[3], SharedTolerance);
}

}  // namespace draw

namespace {

// The counts of a statement's items, made or read, against the bound of
// one run, before anything is set aside for them.
bool TallyCounts(ObjContext& context, int first, int second = 0) {
    return draw::Tally(
        context, 0,
        static_cast<std::uint64_t>(std::max(first, 0)) + static_cast<std::uint64_t>(std::max(second, 0)));
}

bool ReadPoints(ObjContext& context, int count, std::vector<Point3>& out) {
    out.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
    for (Point3& p : out)
        if (draw::ReadPoint(context, p) != 0) return false;
    return true;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

int FaceEdgeMask(int& a, int& b, int& c, int& d) {
    int mask = 0;
    int* v[4] = {&a, &b, &c, &d};
    for (int i = 0; i < 4; ++i) {
        if (*v[i] < 0) {
            mask += 1 << i;
            *v[i] = -*v[i];
        }
    }
    return mask;
}

int DrawLine(int groups, ObjContext& context, const AAR_LAYERC& catalogue) {
    std::string layer;
    const Header h = draw::ReadStatementHeader(context, catalogue, groups != 0, true, false, layer);
    if (h != Header::Draw) return h == Header::Skip ? RTNORM : -1;
    Point3 a, b;
    if (draw::ReadPoint(context, a) != 0 || draw::ReadPoint(context, b) != 0) return -1;
    if (!PointsEqual(a, b, true)) draw::MakeLine(layer, a, b);
    return RTNORM;
}

int DrawPline(int groups, ObjContext& context, const AAR_LAYERC& catalogue) {
    std::string layer;
    const Header h = draw::ReadStatementHeader(context, catalogue, groups != 0, true, false, layer);
    if (h != Header::Draw) return h == Header::Skip ? RTNORM : -1;
    auto counts = ReadCountLine(*context.text, 2);
    if (!counts || !TallyCounts(context, counts->first, counts->second)) return -1;
    std::vector<Point3> vertices;
    if (!ReadPoints(context, counts->first, vertices)) return -1;
    for (int i = 0; i < counts->second; ++i) {
        std::string arg;
        if (ReadStatementArg(arg, *context.text) != RTNORM) return -1;
        int a = 0, b = 0;
        if (std::sscanf(arg.c_str(), "%d %d", &a, &b) != 2) return -1;
        const int n = static_cast<int>(vertices.size());
        if (a < 1 || a > n || b < 1 || b > n) return -1;
        const Point3 &pa = vertices[a - 1], &pb = vertices[b - 1];
        if (!PointsEqual(pa, pb, true)) draw::MakeLine(layer, pa, pb);
    }
    return RTNORM;
}

int DrawSpolig(int groups, ObjContext& context, const AAR_LAYERC& catalogue) {
    std::string layer;
    const Header h = draw::ReadStatementHeader(context, catalogue, groups != 0, true, false, layer);
    if (h != Header::Draw) return h == Header::Skip ? RTNORM : -1;
    Point3 plane[3];
    for (Point3& p : plane)
        if (draw::ReadPoint(context, p) != 0) return -1;
    PassLine(*context.text);
    auto count = ReadCountLine(*context.text, 1);
    if (!count || !TallyCounts(context, count->first)) return -1;
    std::vector<Point3> points;
    if (!ReadPoints(context, count->first, points)) return -1;

    OwnedList<VertexNode> contour;
    {
        VertexNode* head = nullptr;
        for (const Point3& p : points) AppendVertex(&head, p, 1, 0, 0);
        contour.reset(RemoveDuplicateVertices(head));
    }
    Matrix4 toPlane, toBlock;
    const Point3 xDir{plane[1].x - plane[0].x, plane[1].y - plane[0].y, plane[1].z - plane[0].z};
    const Point3 yDir{plane[2].x - plane[0].x, plane[2].y - plane[0].y, plane[2].z - plane[0].z};
    // Three points that give no plane fill nothing, like any degenerate shape.
    if (!PlaneToXYMatrix(plane[0], xDir, yDir, toPlane) || !InvertMatrix4(toPlane, toBlock)) return RTNORM;
    VertexNode* ring = nullptr;
    for (const VertexNode* v = contour.get(); v; v = v->next) {
        Point3 q;
        TransformPoint(toPlane, v->pt(), q);
        VertexNode* node = NewVertex(q.x, q.y, q.z, 1, 0, 0, 0);
        node->next = ring;
        ring = node;
    }
    ring = NormalizePolygon(1, ring, nullptr);
    ContourNode polygon;
    polygon.vertices = ring;
    RingNode* bridged = BridgeHolesIntoOutline(&polygon);
    TriangulateTo3DFaces(layer, &polygon, bridged, toBlock);
    FreeList(bridged);
    return RTNORM;
}

int DrawLwpline(int groups, ObjContext& context, const AAR_LAYERC& catalogue) {
    std::string layer;
    const Header h = draw::ReadStatementHeader(context, catalogue, groups != 0, true, false, layer);
    if (h != Header::Draw) return h == Header::Skip ? RTNORM : -1;
    double head[3];
    int n = 0;
    if (draw::ReadValues(context, head) != 0 || draw::ReadInt(context, n) != 0 || !TallyCounts(context, n))
        return -1;
    struct Vertex {
        Point3 p;
        double w[3];
    };
    std::vector<Vertex> vertices(n > 0 ? static_cast<std::size_t>(n) : 0);
    for (Vertex& v : vertices)
        if (draw::ReadPoint(context, v.p) != 0 || draw::ReadValues(context, v.w) != 0) return -1;
    ads_point origin{0.0, 0.0, head[0]};
    if (draw::MakeEntity(zcutBuildList(RTDXF0, "POLYLINE", 8, layer.c_str(), 62, 256, 10, origin, 39, head[1],
                                       66, 1, 70, static_cast<int>(head[2]), 0)) != RTNORM)
        return RTNORM;
    for (const Vertex& v : vertices) {
        ads_point p;
        draw::ToAds(v.p, p);
        draw::MakeEntity(
            zcutBuildList(RTDXF0, "VERTEX", 10, p, 40, v.w[0], 41, v.w[1], 42, v.w[2], 70, 0, 0));
    }
    draw::MakeEntity(zcutBuildList(RTDXF0, "SEQEND", 0));
    return RTNORM;
}

int ReadArcArguments(ObjContext& context, Point3& centre, Point3& normal, double values[4]) {
    if (draw::ReadPoint(context, centre) != 0 || draw::ReadPoint(context, normal) != 0) return -1;
    std::string arg;
    if (ReadStatementArg(arg, *context.text) != RTNORM) return -1;
    std::size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        values[i] = 0.0;
        while (pos < arg.size() && static_cast<unsigned char>(arg[pos]) <= 32) ++pos;
        if (pos >= arg.size()) continue;
        if (arg[pos] == '$') {
            std::size_t end = ++pos;
            while (end < arg.size() && IsDigit(arg[end])) ++end;
            if (end == pos) return -1;
            const ObjVar* v = FindContextVar(std::stoi(arg.substr(pos, end - pos)), context);
            values[i] = v ? v->value : 0.0;
            pos = end;
        } else if (IsDigit(arg[pos])) {
            std::size_t end = pos;
            while (end < arg.size() && (IsDigit(arg[end]) || arg[end] == '.')) ++end;
            values[i] = std::strtod(arg.substr(pos, end - pos).c_str(), nullptr);
            pos = end;
        } else {
            return -1;
        }
    }
    return 1;
}

int DrawCircle(int groups, ObjContext& context, const AAR_LAYERC& catalogue) {
    std::string layer;
    const Header h = draw::ReadStatementHeader(context, catalogue, groups != 0, true, false, layer);
    if (h != Header::Draw) return h == Header::Skip ? RTNORM : -1;
    Point3 centre, normal;
    double size[3];
    if (draw::ReadPoint(context, centre) != 0 || draw::ReadPoint(context, normal) != 0 ||
        draw::ReadValues(context, size) != 0)
        return -1;
    draw::MakeCircle(layer, centre, normal, size[0], size[1]);
    return RTNORM;
}

int DrawArc(int groups, ObjContext& context, const AAR_LAYERC& catalogue) {
    std::string layer;
    const Header h = draw::ReadStatementHeader(context, catalogue, groups != 0, true, false, layer);
    if (h != Header::Draw) return h == Header::Skip ? RTNORM : -1;
    Point3 centre, normal;
    double v[4];
    if (ReadArcArguments(context, centre, normal, v) < 0) return -1;
    draw::MakeArc(layer, centre, normal, v[0], v[1], v[2], v[3]);
    return RTNORM;
}

int Draw3dFace(int groups, ObjContext& context, const AAR_LAYERC& catalogue) {
    std::string layer;
    const Header h = draw::ReadStatementHeader(context, catalogue, groups != 0, true, false, layer);
    if (h != Header::Draw) return h == Header::Skip ? RTNORM : -1;
    Point3 corners[4];
    for (Point3& p : corners)
        if (draw::ReadPoint(context, p) != 0) return -1;
    int flags = 0;
    if (draw::ReadInt(context, flags) != 0) return -1;
    if (!draw::CornersCollinear(corners)) draw::Make3dFace(layer, corners, flags);
    return RTNORM;
}

int DrawPface(ObjContext& context, const AAR_LAYERC& catalogue) {
    std::string layer;
    const Header h = draw::ReadStatementHeader(context, catalogue, true, true, false, layer);
    if (h != Header::Draw) return h == Header::Skip ? RTNORM : -1;
    auto counts = ReadCountLine(*context.text, 2);
    if (!counts || !TallyCounts(context, counts->first, counts->second)) return -1;
    std::vector<Point3> vertices;
    if (!ReadPoints(context, counts->first, vertices)) return -1;
    const int nv = static_cast<int>(vertices.size());
    for (int f = 0; f < counts->second; ++f) {
        std::string arg;
        if (ReadStatementArg(arg, *context.text) != RTNORM) return -1;
        int i[4];
        if (std::sscanf(arg.c_str(), "%d %d %d %d", &i[0], &i[1], &i[2], &i[3]) != 4) return -1;
        const int mask = FaceEdgeMask(i[0], i[1], i[2], i[3]);
        Point3 corners[4];
        for (int k = 0; k < 4; ++k) {
            if (i[k] < 1 || i[k] > nv) return -1;
            corners[k] = vertices[i[k] - 1];
        }
        if (!draw::CornersCollinear(corners)) draw::Make3dFace(layer, corners, mask);
    }
    return RTNORM;
}
