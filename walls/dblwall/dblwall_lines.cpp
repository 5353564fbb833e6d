// Building and cutting the inner line of a wall face.
#include "walls/dblwall/dblwall_lines.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/base/module_state.h"
#include "core/geometry/polygon.h"
#include "walls/graph/outline_kind.h"

namespace {

double HalfPi() {
    return std::numbers::pi / 2.0;
}

bool Crosses(const Point3& a, const Point3& b, const Point3& c, const Point3& d, Point3* at = nullptr) {
    Point3 x;
    if (!IntersectLines2d(a, b, c, d, x, 1, ModuleGeomTol)) return false;
    if (at) *at = x;
    return true;
}

// Meets the line's end `moved` (at the face's end `corner`) with the inner
// line of the face adjoining there; `other` is the line's other end.
Point3 MeetNeighbour(const WallFace& face, const Point3& corner, const Point3& moved, const Point3& other,
                     double distance, const DoubleLineFaces& faces) {
    std::vector<int> ids;
    faces.endingAt(corner, ids);
    for (int j : ids) {
        const WallFace* g = faces.face(j);
        if (g == &face || faces.mark(j) == DoubleLineFaces::kPilaster) continue;
        if (ArePointsCollinear4(face.start, face.end, g->start, g->end, SharedTolerance)) continue;
        const bool atStart = Distance2d(g->start, corner) < SharedTolerance;
        const Point3& p = atStart ? g->start : g->end;
        const Point3& q = atStart ? g->end : g->start;
        const double theta = AngleTo(p, q);
        Point3 x;
        for (double side : {theta + HalfPi(), theta - HalfPi()}) {
            const Point3 p1 = PolarPoint(p, side, distance), q1 = PolarPoint(q, side, distance);
            if (!IntersectLines2d(p1, q1, moved, other, x, 0, ModuleGeomTol)) return moved;
            x.z = moved.z;
            // On the wrong side the neighbour's line runs through this face,
            // or this line through the neighbour.
            if (!Crosses(q1, x, face.start, face.end) && !Crosses(x, other, g->start, g->end)) return x;
        }
        return x;
    }
    return moved;
}

// Keeps the points sorted by their distance from the line's start.
void AddBreak(std::vector<Point3>& points, const Point3& start, const Point3& p) {
    const double d = Distance2d(start, p);
    auto at = std::upper_bound(points.begin(), points.end(), d,
                               [&](double v, const Point3& q) { return v < Distance2d(start, q); });
    points.insert(at, p);
}

// Where the segment a-b crosses the polyline (or ring), ordered from a,
// repeats dropped.
std::vector<Point3> Crossings(const Point3& a, const Point3& b, const VertexNode* list, bool ring) {
    std::vector<Point3> found;
    for (const VertexNode* v = list; v; v = v->next) {
        const VertexNode* w = v->next ? v->next : (ring ? list : nullptr);
        if (!w || w == v) continue;
        Point3 x;
        if (Crosses(a, b, v->pt(), w->pt(), &x)) found.push_back(x);
    }
    std::sort(found.begin(), found.end(),
              [&](const Point3& p, const Point3& q) { return Distance2d(a, p) < Distance2d(a, q); });
    found.erase(std::unique(found.begin(), found.end(),
                            [](const Point3& p, const Point3& q) { return PointsEqual(p, q, false); }),
                found.end());
    return found;
}

bool Inside(const Point3& p, const VertexNode* ring) {
    return PointInPolygon(p, ring, kEdgesOutside) == kInsidePolygon;
}

}  // namespace

DoubleLine BuildDoubleLine(const WallFace& face, double angle, double distance,
                           const DoubleLineFaces& faces) {
    DoubleLine line{PolarPoint(face.start, angle, distance), PolarPoint(face.end, angle, distance)};
    line.start = MeetNeighbour(face, face.start, line.start, line.end, distance, faces);
    line.end = MeetNeighbour(face, face.end, line.end, line.start, distance, faces);
    return line;
}

std::vector<DoubleLine> DoubleLinePieces(const WallFace& face, const DoubleLine& line,
                                         const std::vector<const VertexNode*>& pilasters) {
    const Point3& s = line.start;
    Point3 e = line.end;
    std::vector<Point3> points{s};
    bool skipStart = false, skipEnd = false;
    for (const OutlineLink* l = face.outlineLinks; l; l = l->next) {
        const OutlineNode& o = *l->outline;
        if (o.kind == OutlineKind::WallCorner) {
            for (const Point3& p : {o.gapA[0], o.gapA[1], o.gapB[0], o.gapB[1], o.corner[0], o.corner[1]}) {
                skipStart = skipStart || PointsEqual(p, face.start, false);
                skipEnd = skipEnd || PointsEqual(p, face.end, false);
            }
        }
        for (const VertexNode* jamb : {o.jamb1, o.jamb2})
            for (const Point3& x : Crossings(s, e, jamb, false)) AddBreak(points, s, x);
    }
    for (const VertexNode* ring : pilasters) {
        const std::vector<Point3> x = Crossings(s, e, ring, true);
        if (x.empty()) continue;
        if (!PointsEqual(x.front(), x.back(), false)) {
            AddBreak(points, s, x.front());
            AddBreak(points, s, x.back());
            continue;
        }
        // One crossing: the line runs into the pilaster from one end.
        if (Inside(points.front(), ring)) points.front() = x.front();
        if (points.size() > 1 && Inside(points.back(), ring)) points.back() = x.front();
        if (Inside(e, ring)) e = x.front();
    }
    if (!skipEnd) points.push_back(e);
    if (skipStart) points.erase(points.begin());

    std::vector<DoubleLine> pieces;
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
        DoubleLine piece{points[i], points[i + 1]};
        piece.start.z = piece.end.z = face.start.z;
        if (Distance2d(piece.start, piece.end) > GeomEpsilon) pieces.push_back(piece);
    }
    return pieces;
}
