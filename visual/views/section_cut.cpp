// Cutting faces, lines and hatch pattern lines by the section plane.
//
// A face is cut triangle by triangle: a quadrilateral with a single corner
// behind the plane first shrinks to the triangle of that corner and its two
// neighbours (which holds all of its part behind the plane), any other one
// is split along a diagonal that lies inside it. A triangle with one corner
// in front becomes the quadrilateral of its two kept corners and the two
// crossings; with two in front, the triangle of its kept corner and the
// crossings. The edge between the crossings lies on the plane and carries
// -1, the others keep the words of the edges they lie on.
//
// A face is cut as if the plane stood a hair behind where it does: a corner
// within the section's point tolerance of the plane counts as in front. A
// face lying in the plane is so taken away, and one that reaches back from
// it keeps its edge on the plane as a cut edge, whichever way the corners'
// rounding went. Two solids that meet at the plane (the pitches of a roof cut
// along its ridge, a wall whose face the plane runs along) are then cut the
// same way, and the cut of the one behind closes round its section.
//
// Lines are cut where they cross the plane; a line shorter than the
// section's minimum length that crosses it is dropped.
#include "visual/views/section_cut.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "core/geometry/geom_basic.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/db/dbents.h"
#include "host/db/dbhatch.h"
#include "host/db/dbhatchpat.h"
#include "host/ed/prompts.h"
#include "host/ge/gelinear.h"
#include "host/util/nocase.h"
#include "visual/views/section_faces.h"

namespace {

bool StartsWithNoCase(const std::string& name, const char* prefix, std::size_t length) {
    return name.size() >= length && zcutEqualsNoCase(std::string_view(name).substr(0, length), prefix);
}

Point3 Lerp(const Point3& p, const Point3& q, double t) {
    return {p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t, p.z + (q.z - p.z) * t};
}

double Coordinate(const Point3& p, int axis) {
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

// Parameters of the closest points of the lines p0 + s (p1 - p0) and
// q0 + t (q1 - q0); false for parallel lines.
bool ClosestParameters(const Point3& p0, const Point3& p1, const Point3& q0, const Point3& q1, double& s,
                       double& t) {
    const double ux = p1.x - p0.x, uy = p1.y - p0.y, uz = p1.z - p0.z;
    const double vx = q1.x - q0.x, vy = q1.y - q0.y, vz = q1.z - q0.z;
    const double wx = p0.x - q0.x, wy = p0.y - q0.y, wz = p0.z - q0.z;
    const double a = ux * ux + uy * uy + uz * uz, b = ux * vx + uy * vy + uz * vz,
                 c = vx * vx + vy * vy + vz * vz;
    const double d = ux * wx + uy * wy + uz * wz, e = vx * wx + vy * wy + vz * wz;
    const double den = a * c - b * b;
    if (!(a > 0.0) || !(c > 0.0) || den <= 1e-12 * a * c) return false;
    s = (b * e - c * d) / den;
    t = (a * e - b * d) / den;
    return true;
}

double Distance3(const Point3& p, const Point3& q) {
    return std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y) + (p.z - q.z) * (p.z - q.z));
}

// Where the line p-q crosses the plane; the removed corner's own place on
// that plane when it lies on the plane within tol, or when the host finds no
// crossing.
Point3 Crossing(const Point3& kept, const Point3& removed, const ZcGePlane& plane, int axis, double level,
                double tol) {
    const auto onPlane = [&] {
        Point3 p = removed;
        if (axis == 0)
            p.x = level;
        else
            p.z = level;
        return p;
    };
    if (std::fabs(Coordinate(removed, axis) - level) <= tol) return onPlane();
    ZcGePoint3d hit;
    const ZcGeLine3d line(ZcGePoint3d(removed.x, removed.y, removed.z), ZcGePoint3d(kept.x, kept.y, kept.z));
    if (plane.intersectWith(line, hit)) return {hit.x, hit.y, hit.z};
    return onPlane();
}

// Cuts one triangle (corners 0..2, words of edges 0-1, 1-2, 2-0) at the
// plane coordinate[axis] = level and keeps the side whose sign is `side`.
// A corner more than tol beyond the plane is kept; one on the plane (within
// tol) is kept only when onPlaneKept is set, else it is where the cut
// passes. 1 with the piece written, 0 when nothing of the triangle lies
// more than tol on the kept side.
int CutTriangle(const Point3 t[4], const int w[4], const ZcGePlane& plane, int axis, double level,
                double side, bool onPlaneKept, double tol, Point3* out, int* outWords) {
    auto beyond = [&](int k) { return side * (Coordinate(t[k], axis) - level); };
    auto kept = [&](int k) { return beyond(k) > tol || (onPlaneKept && beyond(k) >= 0.0); };
    auto edge = [&](int a, int b) { return CornerFollows(a, b, true) ? w[a] : w[b]; };
    int removed[3], keptIdx[3], nr = 0, nk = 0, inside = 0;
    for (int k = 0; k < 3; ++k) {
        if (kept(k))
            keptIdx[nk++] = k;
        else
            removed[nr++] = k;
        inside += beyond(k) > tol;
    }
    if (inside == 0 && nr > 0) return 0;
    if (nr == 0 || nk == 0) {
        for (int k = 0; k < 4; ++k) {
            out[k] = t[k];
            outWords[k] = w[k];
        }
        return nk == 0 ? 0 : 1;
    }
    if (nr == 1) {
        const int C = removed[0], A = keptIdx[0], B = keptIdx[1];
        out[0] = t[A];
        out[1] = Crossing(t[A], t[C], plane, axis, level, tol);
        out[2] = Crossing(t[B], t[C], plane, axis, level, tol);
        out[3] = t[B];
        outWords[0] = edge(A, C);
        outWords[1] = -1;
        outWords[2] = edge(C, B);
        outWords[3] = edge(A, B);
        return 1;
    }
    const int A = keptIdx[0], C1 = removed[0], C2 = removed[1];
    out[0] = t[A];
    out[1] = Crossing(t[A], t[C1], plane, axis, level, tol);
    out[2] = Crossing(t[A], t[C2], plane, axis, level, tol);
    out[3] = out[2];
    outWords[0] = edge(A, C1);
    outWords[1] = -1;
    outWords[2] = outWords[3] = edge(C2, A);
    return 1;
}

// The face as one or two triangles of corners 0..2 (corner 3 repeating 2).
int Triangles(const Point3 corners[4], const int words[4], Point3* out, int* outWords) {
    const int i = FindCoincidentCorner(corners);
    if (i < 0) return SplitQuadIntoTriangles(false, corners, words, out, outWords);
    for (int k = 0; k < 4; ++k) {
        out[k] = corners[(i + 2 + k) % 4];
        outWords[k] = words[(i + 2 + k) % 4];
    }
    outWords[2] = outWords[3];
    return 1;
}

}  // namespace

int FindCoincidentCorner(const Point3 corners[4]) {
    for (int i = 0; i < 4; ++i)
        if (PointsEqual(corners[i], corners[(i + 1) % 4], true)) return i;
    return -1;
}

bool CornerFollows(int a, int b, bool triangle) {
    return b == a + 1 || (triangle && a == 2 && b == 0) || (!triangle && a == 3 && b == 0);
}

int SplitQuadIntoTriangles(bool keepConvex, const Point3 c[4], const int w[4], Point3* out, int* outWords) {
    double s = 0.0, t = 0.0;
    bool crossing = false;
    if (ClosestParameters(c[0], c[2], c[1], c[3], s, t) && s >= 0.0 && s <= 1.0 && t >= 0.0 && t <= 1.0) {
        const double gap = Distance3(Lerp(c[0], c[2], s), Lerp(c[1], c[3], t));
        crossing = gap <= 1e-9 * std::max(1.0, Distance3(c[0], c[2]) + Distance3(c[1], c[3]));
    }
    if (crossing && keepConvex) {
        for (int k = 0; k < 4; ++k) {
            out[k] = c[k];
            outWords[k] = w[k];
        }
        return 1;
    }
    // A concave quadrilateral has one reflex corner, and only the diagonal
    // from it lies inside. The lines of the two diagonals meet on the inner
    // one: off the segment 1-3 (beyond corner 3 or before corner 1) when the
    // reflex corner is 3 or 1. Lines that never meet split along 0-2.
    bool alongOneThree = false;
    if (!crossing && ClosestParameters(c[0], c[2], c[1], c[3], s, t)) alongOneThree = t < 0.0 || t > 1.0;
    const auto write = [&](int face, int a, int b, int d, int wa, int wb, int wd) {
        Point3* p = out + 4 * face;
        int* q = outWords + 4 * face;
        p[0] = c[a];
        p[1] = c[b];
        p[2] = p[3] = c[d];
        q[0] = wa;
        q[1] = wb;
        q[2] = q[3] = wd;
    };
    if (alongOneThree) {
        write(0, 0, 1, 3, w[0], 0, w[3]);
        write(1, 1, 2, 3, w[1], w[2], 0);
    } else {
        write(0, 0, 1, 2, w[0], w[1], 0);
        write(1, 2, 3, 0, w[2], w[3], 0);
    }
    return 2;
}

int CSezione::CutFace(const Point3 corners[4], const int words[4], Point3* out, int* outWords,
                      const ZcGePlane& plane, double level) {
    Point3 c[4];
    int w[4];
    for (int k = 0; k < 4; ++k) {
        c[k] = corners[k];
        w[k] = words[k];
    }
    if (FindCoincidentCorner(c) < 0) {
        int above = 0, k = -1;
        for (int j = 0; j < 4; ++j)
            if (BehindCut(c[j].z, level)) {
                ++above;
                k = j;
            }
        // One corner behind the plane: the triangle of it and its two
        // neighbours holds all that is kept.
        if (above == 1) c[(k + 2) % 4] = c[(k + 1) % 4];
    }
    Point3 tri[8];
    int triWords[8];
    const int count = Triangles(c, w, tri, triWords);
    int written = 0;
    for (int f = 0; f < count; ++f)
        written += CutTriangle(tri + 4 * f, triWords + 4 * f, plane, 2, level, 1.0, false, CutTolerance(),
                               out + 4 * written, outWords + 4 * written);
    return written;
}

int CSezione::CutFaceAtSidePlane(const Point3 corners[4], const int words[4], Point3* left, int* leftWords,
                                 Point3* right, int* rightWords, const ZcGePlane& side, int* leftCount) {
    Point3 tri[8];
    int triWords[8];
    const int count = Triangles(corners, words, tri, triWords);
    int nLeft = 0, nRight = 0;
    for (int f = 0; f < count; ++f) {
        nLeft += CutTriangle(tri + 4 * f, triWords + 4 * f, side, 0, 0.0, -1.0, true, 0.0, left + 4 * nLeft,
                             leftWords + 4 * nLeft);
        nRight += CutTriangle(tri + 4 * f, triWords + 4 * f, side, 0, 0.0, 1.0, true, 0.0, right + 4 * nRight,
                              rightWords + 4 * nRight);
    }
    if (leftCount) *leftCount = nLeft;
    return nLeft + nRight;
}

void CSezione::AddViewLine(Point3 start, Point3 end, int colour) {
    if (axonometric) {
        Point3 world;
        TransformPoint(inverseViewFrame, start, world);
        TransformPoint(displayFrame, world, start);
        TransformPoint(inverseViewFrame, end, world);
        TransformPoint(displayFrame, world, end);
    }
    for (const Point3& p : {start, end}) {
        const double v[3] = {p.x, p.y, p.z};
        for (int axis = 0; axis < 3; ++axis) {
            boxMin[axis] = std::min(boxMin[axis], v[axis]);
            boxMax[axis] = std::max(boxMax[axis], v[axis]);
        }
    }
    auto* segment = new ViewSegment;
    segment->colour = colour;
    segment->start = start;
    segment->end = end;
    segment->next = viewLines;
    viewLines = segment;
}

void CSezione::CutViewLineAt(Point3 s, Point3 e, int colour, double level) {
    if (s.z - level < GeomEpsilon && e.z - level < GeomEpsilon) return;
    if (s.z >= level && e.z >= level) {
        AddViewLine(s, e, colour);
        return;
    }
    if (Distance3(s, e) < minLength) return;
    if (s.z - level < GeomEpsilon) std::swap(s, e);
    const double dz = e.z - s.z;
    if (dz == 0.0) return;
    e = Lerp(s, e, (level - s.z) / dz);
    e.z = level;
    AddViewLine(s, e, colour);
}

void CSezione::CutViewLine(Point3 s, Point3 e, int colour) {
    double lo = 0.0, hi = 0.0;
    if (depthFlag) {
        if (depth >= 0.0)
            hi = depth;
        else
            lo = -depth;
    }
    if (s.z + lo < 0.0 && e.z + lo < 0.0) return;
    if (s.z >= hi && e.z >= hi) {
        AddViewLine(s, e, colour);
        return;
    }
    if (!depthFlag) {
        if (Distance3(s, e) < minLength) return;
        CutViewLineAt(s, e, colour, 0.0);
        return;
    }
    const auto half = [this, colour](const Point3& p, const Point3& q) {
        const bool left = p.x < GeomEpsilon && q.x < GeomEpsilon;
        CutViewLineAt(p, q, colour, left ? depth : 0.0);
    };
    if ((s.x < GeomEpsilon && e.x < GeomEpsilon) || (s.x > -GeomEpsilon && e.x > -GeomEpsilon)) {
        half(s, e);
        return;
    }
    const Point3 m = Lerp(s, e, s.x / (s.x - e.x));
    Point3 a = m, b = m;
    a.x = b.x = 0.0;
    half(s, a);
    half(b, e);
}

void CSezione::CutLineEntity(const ZcDbLine* line) {
    const std::string& layer = line->layer();
    if (!StartsWithNoCase(layer, "VELM3D", 6) && !StartsWithNoCase(layer, "3D", 2)) return;
    if (!IsLayerVisible(layer)) return;
    const int colour = useEntityColour ? line->colorIndex() : 256;
    const ZcGePoint3d a = line->startPoint(), b = line->endPoint();
    Point3 s, e;
    TransformPoint(viewFrame, Point3{a.x, a.y, a.z}, s);
    TransformPoint(viewFrame, Point3{b.x, b.y, b.z}, e);
    CutViewLine(s, e, colour);
}

void CSezione::CutHatchLines(const ZcDbHatch* hatch) {
    if (!extraHatch) return;
    if (zcutEqualsNoCase(hatch->patternName(), "SOLID")) return;
    const std::string& layer = hatch->layer();
    if (!IsLayerVisible(layer) || StartsWithNoCase(layer, "2D", 2)) return;
    const int colour = useEntityColour ? hatch->colorIndex() : 256;
    std::vector<std::pair<ZcGePoint2d, ZcGePoint2d>> lines;
    host::hatchPatternLines(*hatch, lines);
    // The pattern lines lie in the hatch's own plane (the object system of
    // its normal), raised by its elevation.
    const ZcGeVector3d n = hatch->normal();
    resbuf from{}, to{};
    from.restype = RT3DPOINT;
    from.resval.rpoint[0] = n.x;
    from.resval.rpoint[1] = n.y;
    from.resval.rpoint[2] = n.z;
    to.restype = RTSHORT;
    to.resval.rint = 0;
    const auto toView = [&](const ZcGePoint2d& p, Point3& out) {
        const ads_point in = {p.x, p.y, hatch->elevation()};
        ads_point world = {p.x, p.y, hatch->elevation()};
        zcedTrans(in, &from, &to, 0, world);
        TransformPoint(viewFrame, Point3{world[0], world[1], world[2]}, out);
    };
    for (const auto& [p, q] : lines) {
        Point3 s, e;
        toView(p, s);
        toView(q, e);
        CutViewLine(s, e, colour);
    }
}

void CSezione::FileLayer(std::string& name) {
    const int level = ParseLevel3DLayer(name);
    if (!FindName(name, layerNames)) {
        layerNames = AppendName(name, layerNames, layerCount * level);
        ++layerCount;
    }
}

void CSezione::CutDepthFace(const ZcDbFace* face) {
    double lo = 0.0, hi = 0.0;
    if (depth >= 0.0)
        hi = depth;
    else
        lo = -depth;
    Point3 view[4];
    int words[4];
    int inFront = 0;
    for (int k = 0; k < 4; ++k) {
        ZcGePoint3d p;
        face->getVertexAt(k, p);
        TransformPoint(viewFrame, Point3{p.x, p.y, p.z}, view[k]);
        bool visible = true;
        face->isEdgeVisibleAt(k, visible);
        words[k] = visible ? 1 : 0;
        inFront += !BehindCut(view[k].z, -lo);
    }
    if (inFront == 4) return;
    std::string layer = face->layer();
    if (!IsLayerVisible(layer)) return;
    FileLayer(layer);
    const int colour = useEntityColour ? face->colorIndex() : 256;

    int behind = 0, left = 0, right = 0;
    for (const Point3& p : view) {
        behind += BehindCut(p.z, hi);
        left += p.x < -GeomEpsilon;
        right += p.x > GeomEpsilon;
    }
    if (behind == 4) {
        AddQuadFaces(view, words, 1, layer, colour);
        return;
    }
    if (left == 0 && right == 0) return;
    Point3 pieces[16];
    int pieceWords[16];
    int count = 1;
    if (left > 0 && right > 0) {
        int nLeft = 0;
        count = CutFaceAtSidePlane(view, words, pieces, pieceWords, pieces + 8, pieceWords + 8, sidePlane,
                                   &nLeft);
        // Close the gap between the halves' outputs.
        for (int k = 4 * nLeft; k < 4 * count; ++k) {
            pieces[k] = pieces[k + 8 - 4 * nLeft];
            pieceWords[k] = pieceWords[k + 8 - 4 * nLeft];
        }
    } else {
        for (int k = 0; k < 4; ++k) {
            pieces[k] = view[k];
            pieceWords[k] = words[k];
        }
    }
    ZcGePlane back;
    back.set(0.0, 0.0, 1.0, -depth);
    for (int f = 0; f < count; ++f) {
        Point3* c = pieces + 4 * f;
        int* w = pieceWords + 4 * f;
        bool anyRight = false;
        for (int k = 0; k < 4; ++k) anyRight = anyRight || c[k].x > GeomEpsilon;
        const double level = anyRight ? 0.0 : depth;
        int front = 0;
        for (int k = 0; k < 4; ++k) front += !BehindCut(c[k].z, level);
        if (front == 0) {
            AddQuadFaces(c, w, 1, layer, colour);
        } else if (front < 4) {
            Point3 cut[8];
            int cutWords[8];
            const int n = CutFace(c, w, cut, cutWords, anyRight ? sectionPlane : back, level);
            if (n > 0) AddQuadFaces(cut, cutWords, n, layer, colour);
        }
    }
    if (zcedUsrBrk()) abortFlag = 1;
}
