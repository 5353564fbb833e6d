// Nosings and structures of a stair as 3D faces (see stair_faces.h).
//
// Heights are block heights: the first riser stands on the start offset and
// step i's tread lies i step heights above it. Every structure is described
// the same way, as a list of steps each with the plane of its underside
// (structureSteps); the sides, the faces between undersides at a riser and
// the closing face at the last riser all follow from that list.
#include "stairs/stair_faces.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/base/module_state.h"
#include "core/geometry/host_geometry.h"
#include "core/geometry/matrix4.h"
#include "core/geometry/polygon.h"
#include "core/geometry/triangulate.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "stairs/stair_model.h"

bool WriteStairFace(const std::string& layer, const Point3& c1, const Point3& c2, const Point3& c3,
                    const Point3& c4, int edgeFlags) {
    ads_point p[4] = {{c1.x, c1.y, c1.z}, {c2.x, c2.y, c2.z}, {c3.x, c3.y, c3.z}, {c4.x, c4.y, c4.z}};
    const host::ResbufList list(zcutBuildList(RTDXF0, "3DFACE", 8, layer.c_str(), 62, 256, 10, p[0], 11, p[1],
                                              12, p[2], 13, p[3], 70, edgeFlags, 0));
    return list && zcdbEntMake(list.get()) == RTNORM;
}

int EmitPlanarPolygon(std::vector<Point3> corners, const std::string& layer, bool& failed) {
    std::vector<Point3> pts;
    for (const Point3& p : corners)
        if (pts.empty() || HostDistance(pts.back(), p) >= SharedTolerance) pts.push_back(p);
    while (pts.size() > 1 && HostDistance(pts.front(), pts.back()) < SharedTolerance) pts.pop_back();
    if (pts.size() < 3) return 0;

    // Newell's normal: sound for any planar polygon, convex or not.
    Point3 n{0, 0, 0};
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const Point3& p = pts[i];
        const Point3& q = pts[(i + 1) % pts.size()];
        n.x += (p.y - q.y) * (p.z + q.z);
        n.y += (p.z - q.z) * (p.x + q.x);
        n.z += (p.x - q.x) * (p.y + q.y);
    }
    const double len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (len < SharedTolerance * SharedTolerance) return 0;
    n = {n.x / len, n.y / len, n.z / len};

    Matrix4 toPlane, toWorld;
    if (std::fabs(n.z) < 1e-9) {
        // A vertical patch: the wall-side plane, X along the plan, Y up.
        std::size_t far = 1;
        for (std::size_t i = 1; i < pts.size(); ++i)
            if (Distance2d(pts[0], pts[i]) > Distance2d(pts[0], pts[far])) far = i;
        const Point3 up{pts[0].x, pts[0].y, pts[0].z + 1.0};
        double a, b, c, d;
        if (!PlaneMatrices(pts[0], up, pts[far], a, b, c, d, toPlane, toWorld)) return 0;
    } else {
        // X along the first edge, which lies in the plane.
        VertexNode second;
        second.setPt(pts[1]);
        VertexNode origin;
        origin.setPt(pts[0]);
        origin.next = &second;
        CoordSystemFromNormal(&origin, toWorld, n.x, n.y, n.z);
        if (!InvertMatrix4(toWorld, toPlane)) return 0;
    }

    VertexNode* list = nullptr;
    double area = 0.0;
    std::vector<Point3> flat(pts.size());
    // The plane's own height stays in z: the way back needs it.
    for (std::size_t i = 0; i < pts.size(); ++i) TransformPoint(toPlane, pts[i], flat[i]);
    for (std::size_t i = 0; i < flat.size(); ++i) {
        const Point3& p = flat[i];
        const Point3& q = flat[(i + 1) % flat.size()];
        area += p.x * q.y - q.x * p.y;
    }
    if (std::fabs(area) < SharedTolerance * SharedTolerance) return 0;
    // Ear clipping wants the ring counter-clockwise in plane coordinates.
    if (area < 0.0) std::reverse(flat.begin(), flat.end());
    for (const Point3& p : flat) AppendVertex(&list, p, 0, 0, 0);
    list = RemoveCollinearVertices(list, 0);
    int index = 0;
    for (VertexNode* v = list; v; v = v->next) {
        v->data1 = index++;
        v->data2 = 0;
    }
    if (index < 3) {
        FreeList(list);
        return 0;
    }
    FaceRecord* faces = TriangulatePolygon(list, index - 1, toWorld);
    // Slivers the ear clipping leaves along nearly straight runs are no faces.
    for (FaceRecord** at = &faces; *at;) {
        const FaceEntityData d = FaceToEntityData(**at);
        const Point3 u{d.corners[1].x - d.corners[0].x, d.corners[1].y - d.corners[0].y,
                       d.corners[1].z - d.corners[0].z};
        const Point3 v{d.corners[2].x - d.corners[0].x, d.corners[2].y - d.corners[0].y,
                       d.corners[2].z - d.corners[0].z};
        const double cx = u.y * v.z - u.z * v.y, cy = u.z * v.x - u.x * v.z, cz = u.x * v.y - u.y * v.x;
        if (std::sqrt(cx * cx + cy * cy + cz * cz) < SharedTolerance * SharedTolerance) {
            FaceRecord* dead = *at;
            *at = dead->next;
            dead->next = nullptr;
            delete dead;
            continue;
        }
        at = &(*at)->next;
    }
    const int wanted = CountNodes(faces);
    const int made = EmitFaces(layer, faces);
    FreeList(faces);
    if (made != wanted) failed = true;
    return made;
}

namespace {

// A side as a polyline with the running length at each of its points.
struct SidePath {
    std::vector<Point3> points;
    std::vector<double> run;

    explicit SidePath(const StairElement* side) : points(SidePolyline(side)) {
        double total = 0.0;
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (i > 0) total += Distance2d(points[i - 1], points[i]);
            run.push_back(total);
        }
    }
    std::optional<double> Position(const Point3& p) const { return PositionAlongPolyline(points, p); }
    // The plan point at position s on piece k (clamped to the piece).
    Point3 At(std::size_t k, double s) const {
        const double len = run[k + 1] - run[k];
        const double t = len > 0.0 ? std::clamp((s - run[k]) / len, 0.0, 1.0) : 0.0;
        return {points[k].x + t * (points[k + 1].x - points[k].x),
                points[k].y + t * (points[k + 1].y - points[k].y), 0.0};
    }
    std::size_t PieceAt(double s) const {
        for (std::size_t k = 0; k + 2 < points.size(); ++k)
            if (s <= run[k + 1]) return k;
        return points.size() >= 2 ? points.size() - 2 : 0;
    }
};

struct ProfilePoint {
    double s, z;
};

StairStepPlane FlatStep(const StairLine& front, const StairLine& back, double z) {
    StairStepPlane p;
    p.front = front;
    p.back = back;
    p.a = p.b = 0.0;
    p.c = 1.0;
    p.d = -z;
    return p;
}

StairLine LineOf(const StairElement* riser) {
    return {riser->pointA, riser->pointB};
}

// The treads as flat steps, at the heights the tread areas get.
std::vector<StairStepPlane> TreadSteps(const CSCALA& s, const StairElement* risers, double drop) {
    std::vector<StairStepPlane> steps;
    int i = 1;
    for (const StairElement* r = risers; r && r->next; r = r->next, ++i) {
        double z = i * s.stepHeight + s.startOffset - drop;
        if (z < s.startOffset) z = s.startOffset;
        if (i == 1 && drop != 0.0 && s.structureType != 3) z = s.startOffset;
        steps.push_back(FlatStep(LineOf(r), LineOf(r->next), z));
    }
    return steps;
}

// The profile of the steps along one side: the point of each step's front
// and back riser on it, and every corner of the side between them, at the
// height of the step's plane there.
std::vector<ProfilePoint> SideProfile(const std::vector<StairStepPlane>& steps, const SidePath& side,
                                      int which) {
    std::vector<ProfilePoint> out;
    for (const StairStepPlane& st : steps) {
        const Point3& f = which == 0 ? st.front.a : st.front.b;
        const Point3& b = which == 0 ? st.back.a : st.back.b;
        auto s0 = side.Position(f);
        auto s1 = side.Position(b);
        if (!s0 || !s1) continue;
        out.push_back({*s0, st.ZAt(f.x, f.y)});
        for (std::size_t k = 0; k < side.points.size(); ++k)
            if (side.run[k] > *s0 + SharedTolerance && side.run[k] < *s1 - SharedTolerance)
                out.push_back({side.run[k], st.ZAt(side.points[k].x, side.points[k].y)});
        out.push_back({*s1, st.ZAt(b.x, b.y)});
    }
    return out;
}

// Clips a polygon of the (position, height) plane to lo <= s <= hi.
std::vector<ProfilePoint> ClipToStrip(const std::vector<ProfilePoint>& poly, double lo, double hi) {
    auto clip = [](const std::vector<ProfilePoint>& in, double bound, bool keepAbove) {
        std::vector<ProfilePoint> out;
        auto inside = [&](const ProfilePoint& p) { return keepAbove ? p.s >= bound : p.s <= bound; };
        for (std::size_t i = 0; i < in.size(); ++i) {
            const ProfilePoint& p = in[i];
            const ProfilePoint& q = in[(i + 1) % in.size()];
            if (inside(p)) out.push_back(p);
            if (inside(p) != inside(q)) {
                const double t = (bound - p.s) / (q.s - p.s);
                out.push_back({bound, p.z + t * (q.z - p.z)});
            }
        }
        return out;
    };
    return clip(clip(poly, lo, true), hi, false);
}

}  // namespace

// The polygon between two profiles of one side, cut into the vertical
// pieces of the side and written on the structure layer.
static void EmitSideBand(CSCALA& s, const SidePath& side, const std::vector<ProfilePoint>& upper,
                         const std::vector<ProfilePoint>& lower) {
    if (upper.size() < 2 || lower.empty() || side.points.size() < 2) return;
    std::vector<ProfilePoint> poly = upper;
    poly.insert(poly.end(), lower.rbegin(), lower.rend());
    double lo = poly[0].s, hi = poly[0].s;
    for (const ProfilePoint& p : poly) {
        lo = std::min(lo, p.s);
        hi = std::max(hi, p.s);
    }
    for (std::size_t k = 0; k + 1 < side.points.size(); ++k) {
        const double a = std::max(lo, side.run[k]), b = std::min(hi, side.run[k + 1]);
        if (b - a < SharedTolerance) continue;
        std::vector<ProfilePoint> piece = ClipToStrip(poly, a, b);
        std::vector<Point3> corners;
        for (const ProfilePoint& p : piece) {
            Point3 w = side.At(k, p.s);
            w.z = p.z;
            corners.push_back(w);
        }
        EmitPlanarPolygon(corners, s.layerStructure, s.entityFailed);
    }
}

// The vertical face at a riser line between two heights at each end. Where
// the heights cross (two undersides tilted differently, as a turning
// flight's are) the face is the two triangles either side of the crossing:
// left out, it would leave the structure open there.
static void EmitRiserBand(CSCALA& s, const StairLine& line, double za1, double zb1, double za2, double zb2) {
    const double da = za2 - za1, db = zb2 - zb1;
    if (da * db < 0.0) {
        const double t = da / (da - db);
        const Point3 x{line.a.x + t * (line.b.x - line.a.x), line.a.y + t * (line.b.y - line.a.y),
                       za1 + t * (zb1 - za1)};
        EmitPlanarPolygon({{line.a.x, line.a.y, za1}, x, {line.a.x, line.a.y, za2}}, s.layerStructure,
                          s.entityFailed);
        EmitPlanarPolygon({{line.b.x, line.b.y, zb1}, {line.b.x, line.b.y, zb2}, x}, s.layerStructure,
                          s.entityFailed);
        return;
    }
    EmitPlanarPolygon({{line.a.x, line.a.y, za1},
                       {line.b.x, line.b.y, zb1},
                       {line.b.x, line.b.y, zb2},
                       {line.a.x, line.a.y, za2}},
                      s.layerStructure, s.entityFailed);
}

// The closing face's low corners under its high ones, on the plane.
static void SetClosingCorners(CSCALA& s, const StairStepPlane& last) {
    if (!s.topFaceHigh) return;
    s.topFace[2] = {s.topFace[1].x, s.topFace[1].y, last.ZAt(s.topFace[1].x, s.topFace[1].y)};
    s.topFace[3] = {s.topFace[0].x, s.topFace[0].y, last.ZAt(s.topFace[0].x, s.topFace[0].y)};
    s.topFaceLow = true;
}

// Each structure step's underside as a ring: the tread area between its two
// risers with every corner lifted onto its plane. Written on the structure
// layer and kept as the stair's 3D outlines.
static void EmitUndersides(CSCALA& s) {
    const SidePath first(s.firstSide), second(s.secondSide);
    for (const StairStepPlane& st : s.structureSteps) {
        std::vector<Point3> ring = {st.front.a, st.front.b};
        auto b0 = second.Position(st.front.b), b1 = second.Position(st.back.b);
        auto a0 = first.Position(st.front.a), a1 = first.Position(st.back.a);
        if (!b0 || !b1 || !a0 || !a1) continue;
        for (std::size_t k = 0; k < second.points.size(); ++k)
            if (second.run[k] > *b0 + SharedTolerance && second.run[k] < *b1 - SharedTolerance)
                ring.push_back(second.points[k]);
        ring.push_back(st.back.b);
        ring.push_back(st.back.a);
        for (std::size_t k = first.points.size(); k-- > 0;)
            if (first.run[k] > *a0 + SharedTolerance && first.run[k] < *a1 - SharedTolerance)
                ring.push_back(first.points[k]);
        VertexNode* outline = nullptr;
        for (Point3& p : ring) {
            p.z = st.ZAt(p.x, p.y);
            AppendVertex(&outline, p, 0, 0, 0);
        }
        outline = RemoveDuplicateVertices(outline);
        if (CountNodes(outline) < 3) {
            FreeList(outline);
            continue;
        }
        AppendOutline(&s.outlines3D, outline);
        EmitPlanarPolygon(ring, s.layerStructure, s.entityFailed);
    }
}

// The faces at each riser between the undersides of the steps either side.
static void EmitUndersideSteps(CSCALA& s) {
    for (std::size_t i = 0; i + 1 < s.structureSteps.size(); ++i) {
        const StairStepPlane& p = s.structureSteps[i];
        const StairStepPlane& q = s.structureSteps[i + 1];
        const StairLine& line = q.front;
        EmitRiserBand(s, line, p.ZAt(line.a.x, line.a.y), p.ZAt(line.b.x, line.b.y),
                      q.ZAt(line.a.x, line.a.y), q.ZAt(line.b.x, line.b.y));
    }
}

void CSCALA::BuildNosingFaces() {
    const double L = nosingLength;
    int i = 1;
    for (const StairElement* r = risers; r && r->next; r = r->next, ++i) {
        const Point3& A = r->pointA;
        const Point3& B = r->pointB;
        if (Distance2d(A, B) < SharedTolerance) continue;
        const double z = startOffset + i * stepHeight;
        const double z0 = z - stepHeight;
        const double a = AngleTo(A, B) - std::numbers::pi / 2.0;
        // A profile point: plan offset along a from the riser end, height.
        auto at = [a](const Point3& end, double offset, double h) {
            Point3 p = PolarPoint(end, a, offset);
            p.z = h;
            return p;
        };
        auto sweep = [&](const std::string& layer, double o1, double h1, double o2, double h2) {
            if (!WriteStairFace(layer, at(A, o1, h1), at(A, o2, h2), at(B, o2, h2), at(B, o1, h1), 0))
                entityFailed = true;
        };
        const bool riserFace = structureType != 3;
        if (nosingType == 1) {
            const double T = nosingThickness;
            sweep(layerTreads, L, z, L, z - T);
            sweep(layerTreads, L, z - T, 0.0, z - T);
            if (riserFace) sweep(layerRisers, 0.0, z - T, 0.0, z0);
            for (const Point3* end : {&A, &B})
                if (!WriteStairFace(layerTreads, at(*end, 0.0, z - T), at(*end, 0.0, z), at(*end, L, z),
                                    at(*end, L, z - T), 3))
                    entityFailed = true;
            continue;
        }
        static const double kOffset[6] = {0.0, 0.588, 0.951, 0.951, 0.588, 0.0};
        static const double kDepth[6] = {0.0, 0.191, 0.691, 1.309, 1.809, 2.0};
        for (int k = 0; k < 5; ++k)
            sweep(layerTreads, kOffset[k] * L, z - kDepth[k] * L, kOffset[k + 1] * L, z - kDepth[k + 1] * L);
        if (riserFace) sweep(layerRisers, 0.0, z - 2.0 * L, 0.0, z0);
        for (const Point3* end : {&A, &B}) {
            auto P = [&](int k) { return at(*end, kOffset[k] * L, z - kDepth[k] * L); };
            if (!WriteStairFace(layerTreads, P(2), P(3), P(4), P(1), 5) ||
                !WriteStairFace(layerTreads, P(1), P(4), P(5), P(0), 5))
                entityFailed = true;
        }
    }
}

void CSCALA::BuildFullStructure() {
    std::vector<StairStepPlane> treads = TreadSteps(*this, risers, 0.0);
    if (treads.empty()) return;
    structureSteps.clear();
    for (const StairStepPlane& t : treads) structureSteps.push_back(FlatStep(t.front, t.back, startOffset));
    BuildStructureSides(false);

    // The bottom: the stair's plan at the start height.
    const SidePath first(firstSide), second(secondSide);
    const StairLine& f = treads.front().front;
    const StairLine& l = treads.back().back;
    auto a0 = first.Position(f.a), a1 = first.Position(l.a);
    auto b0 = second.Position(f.b), b1 = second.Position(l.b);
    if (a0 && a1 && b0 && b1) {
        std::vector<Point3> ring = {f.a};
        for (std::size_t k = 0; k < first.points.size(); ++k)
            if (first.run[k] > *a0 + SharedTolerance && first.run[k] < *a1 - SharedTolerance)
                ring.push_back(first.points[k]);
        ring.push_back(l.a);
        ring.push_back(l.b);
        for (std::size_t k = second.points.size(); k-- > 0;)
            if (second.run[k] > *b0 + SharedTolerance && second.run[k] < *b1 - SharedTolerance)
                ring.push_back(second.points[k]);
        ring.push_back(f.b);
        VertexNode* outline = nullptr;
        for (Point3& p : ring) {
            p.z = startOffset;
            AppendVertex(&outline, p, 0, 0, 0);
        }
        outline = RemoveDuplicateVertices(outline);
        if (CountNodes(outline) >= 3)
            AppendOutline(&outlines3D, outline);
        else
            FreeList(outline);
        EmitPlanarPolygon(ring, layerStructure, entityFailed);
    }
    SetClosingCorners(*this, structureSteps.back());
}

void CSCALA::BuildSteppedStructure(bool stepsOnly) {
    structureSteps.clear();
    if (!risers || !risers->next) return;
    const double drop = stepThickness;
    if (stepsOnly) {
        structureSteps = TreadSteps(*this, risers, drop);
    } else {
        // The riser plates: every riser but the first and the last moved on
        // by the plate's thickness, its ends brought back onto the sides
        // and never past the next riser.
        std::vector<StairLine> lines;
        for (const StairElement* r = risers; r; r = r->next) lines.push_back(LineOf(r));
        std::vector<StairLine> moved = lines;
        for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
            const double ang = AngleTo(lines[i].a, lines[i].b) + std::numbers::pi / 2.0;
            const StairLine shifted{PolarPoint(lines[i].a, ang, riserThickness),
                                    PolarPoint(lines[i].b, ang, riserThickness)};
            for (int which = 0; which < 2; ++which) {
                const StairElement* side = which == 0 ? firstSide : secondSide;
                const SidePath path(side);
                Point3& end = which == 0 ? moved[i].a : moved[i].b;
                const Point3& next = which == 0 ? lines[i + 1].a : lines[i + 1].b;
                auto crossing = RiserSideIntersection(shifted, side);
                auto limit = path.Position(next);
                if (!crossing) continue;
                end = limit && crossing->position >= *limit ? next : crossing->point;
                end.z = 0.0;
            }
        }
        int i = 1;
        for (std::size_t k = 0; k + 1 < moved.size(); ++k, ++i) {
            double z = i * stepHeight + startOffset - drop;
            if (z < startOffset || i == 1) z = startOffset;
            structureSteps.push_back(FlatStep(moved[k], moved[k + 1], z));
        }
    }
    if (structureSteps.empty()) return;
    EmitUndersides(*this);
    if (stepsOnly) {
        // Separate plates: a front and a back face each; the last back face
        // is the closing face.
        const std::vector<StairStepPlane> treads = TreadSteps(*this, risers, 0.0);
        for (std::size_t k = 0; k < structureSteps.size() && k < treads.size(); ++k) {
            const StairStepPlane& p = structureSteps[k];
            const double top = treads[k].ZAt(0, 0), low = p.ZAt(0, 0);
            EmitRiserBand(*this, p.front, low, low, top, top);
            if (k + 1 < structureSteps.size()) EmitRiserBand(*this, p.back, top, top, low, low);
        }
    } else {
        EmitUndersideSteps(*this);
    }
    SetClosingCorners(*this, structureSteps.back());
}

void CSCALA::BuildLandingStructure() {
    structureSteps.clear();
    const std::vector<StairStepPlane> treads = TreadSteps(*this, risers, 0.0);
    int i = 1;
    const StairElement* r = risers;
    for (std::size_t k = 0; k < treads.size(); ++k, ++i, r = r->next) {
        const StairLine& f = treads[k].front;
        const StairLine& b = treads[k].back;
        const double top = startOffset + i * stepHeight;
        const double foot = top - stepHeight;
        bool landing = k == 0 || r->landing || Distance2d(f.a, f.b) < SharedTolerance ||
                       Distance2d(b.a, b.b) < SharedTolerance;
        if (!landing && r->next->next) {
            const double u = AngleTo(f.a, f.b), v = AngleTo(b.a, b.b);
            landing = std::cos(u - v) < 0.2;
        }
        double zFront, zBack;
        if (landing) {
            // A flat slab, never above the foot of its own riser.
            zFront = zBack = std::min(top - platformThickness, foot);
        } else {
            const double depth = (Distance2d(f.a, b.a) + Distance2d(f.b, b.b)) / 2.0;
            const double D = StructureDepthAtRiser(*this, landingThickness, depth);
            zFront = foot - D;
            zBack = top - D;
        }
        zFront = std::max(zFront, startOffset);
        zBack = std::max(zBack, startOffset);
        StairStepPlane plane = FlatStep(f, b, zFront);
        if (zBack != zFront) {
            const StairLine l{{f.a.x, f.a.y, zFront}, {f.b.x, f.b.y, zFront}};
            const StairLine m{{b.a.x, b.a.y, zBack}, {b.b.x, b.b.y, zBack}};
            Point3 p[3];
            PlaneThroughLines(l, m, p);
            double a, bb, c, d;
            if (PlaneCoefficients3(p[0], p[1], p[2], a, bb, c, d) && std::fabs(c) > 1e-9) {
                plane.a = a;
                plane.b = bb;
                plane.c = c;
                plane.d = d;
            }
        }
        structureSteps.push_back(plane);
    }
    if (structureSteps.empty()) return;
    EmitUndersides(*this);
    EmitUndersideSteps(*this);
    SetClosingCorners(*this, structureSteps.back());
}

void CSCALA::BuildStructureSides(bool stepsOnly) {
    if (stepsOnly) {
        BuildStepsOnlySides();
        return;
    }
    const std::vector<StairStepPlane> treads = TreadSteps(*this, risers, 0.0);
    if (treads.empty() || structureSteps.empty()) return;
    for (int which = 0; which < 2; ++which) {
        const SidePath side(which == 0 ? firstSide : secondSide);
        std::vector<ProfilePoint> upper = SideProfile(treads, side, which);
        if (upper.empty()) continue;
        // The climb starts at the foot of the first riser.
        upper.insert(upper.begin(), {upper.front().s, startOffset});
        const std::vector<ProfilePoint> lower = SideProfile(structureSteps, side, which);
        EmitSideBand(*this, side, upper, lower);
    }
}

void CSCALA::BuildStepsOnlySides() {
    const std::vector<StairStepPlane> treads = TreadSteps(*this, risers, 0.0);
    for (int which = 0; which < 2; ++which) {
        const SidePath side(which == 0 ? firstSide : secondSide);
        for (std::size_t k = 0; k < treads.size() && k < structureSteps.size(); ++k) {
            const std::vector<ProfilePoint> upper = SideProfile({treads[k]}, side, which);
            const std::vector<ProfilePoint> lower = SideProfile({structureSteps[k]}, side, which);
            EmitSideBand(*this, side, upper, lower);
        }
    }
}

void CSCALA::BuildStructure() {
    switch (structureType) {
        case 0:
            BuildFullStructure();
            break;
        case 1:
            BuildSteppedStructure(false);
            BuildStructureSides(false);
            break;
        case 2:
            BuildLandingStructure();
            BuildStructureSides(false);
            break;
        default:
            BuildSteppedStructure(true);
            BuildStructureSides(true);
            break;
    }
}
