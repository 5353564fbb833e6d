// Closing faces of the walls. Reveals are made in plan from the jamb
// polylines of the opening's outline (face A to face B), so they meet both
// sides of the wall whatever the object's own depth, and in height from the
// opening's cut on this side. Whether the object draws a reveal itself is
// read from its block: a face of the object lying in the reveal's plane
// over the reveal's centre is the object's reveal, and the wall adds none
// (two faces on one spot would fight in a render).
//
// Curved walls: their free ends are found and closed like the straight
// ones'; their reveals, tops and feet are arc_closing's.
//
// Limits: objects at wall corners are not closed here; a free end takes
// this side's heights for both its corners.
#include "visual/model3d/wall_closing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/base/module_state.h"
#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbents.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobjptr.h"
#include "visual/model3d/scene_walk.h"
#include "walls/graph/cfacciate.h"
#include "walls/graph/outline_kind.h"
#include "walls/graph/outline_polygons.h"
#include "walls/graph/wall_face.h"

bool ClosingFaceFoot(const resbuf* list, Point3& foot) {
    const resbuf* app = FindXDataApp(list, kClosingFaceApp);
    if (!app || !app->rbnext || app->rbnext->restype != 1010) return false;
    const double* p = app->rbnext->resval.rpoint;
    foot = {p[0], p[1], p[2]};
    return true;
}

void MakeClosingFace(const std::string& layer, const std::vector<Point3>& c, const Point3& foot) {
    if (c.size() < 3) return;
    if (host::ResbufList found{zcdbTblSearch("APPID", kClosingFaceApp, 0)}; !found)
        zcdbRegApp(kClosingFaceApp);
    const Point3& d = c.size() > 3 ? c[3] : c[0];
    const ads_point p0{c[0].x, c[0].y, c[0].z}, p1{c[1].x, c[1].y, c[1].z}, p2{c[2].x, c[2].y, c[2].z},
        p3{d.x, d.y, d.z}, at{foot.x, foot.y, foot.z};
    const host::ResbufList list(zcutBuildList(RTDXF0, "3DFACE", 8, layer.c_str(), 62, 256, 10, p0, 11, p1, 12,
                                              p2, 13, p3, -3, 1001, kClosingFaceApp, 1010, at, 0));
    zcdbEntMake(list.get());
}

namespace {

// A flat polygon of more than four corners as a fan of triangles (the
// sill and head between two jamb polylines are convex).
void MakeClosingPolygon(const std::string& layer, const std::vector<Point3>& c, const Point3& foot) {
    if (c.size() <= 4) {
        MakeClosingFace(layer, c, foot);
        return;
    }
    for (std::size_t i = 1; i + 1 < c.size(); ++i) MakeClosingFace(layer, {c[0], c[i], c[i + 1]}, foot);
}

struct Triangle {
    Point3 a, b, c;
};

Point3 Sub(const Point3& a, const Point3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Point3 Cross(const Point3& u, const Point3& v) {
    return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}
double Dot(const Point3& u, const Point3& v) {
    return u.x * v.x + u.y * v.y + u.z * v.z;
}

// Whether p lies on the triangle (in its plane within the tolerance) and
// the triangle lies in a plane of normal `normal` (unit): a face across
// the reveal's plane (a door leaf meeting a jamb) holds the reveal's centre
// on its edge without covering the reveal.
bool OnTriangle(const Triangle& t, const Point3& p, const Point3& normal) {
    const Point3 n = Cross(Sub(t.b, t.a), Sub(t.c, t.a));
    const double len = std::sqrt(Dot(n, n));
    if (len <= GeomEpsilon) return false;
    if (std::fabs(Dot(n, normal)) / len < 1.0 - 1e-6) return false;
    if (std::fabs(Dot(n, Sub(p, t.a))) / len > SharedTolerance) return false;
    // Each edge by the point's distance from it, so that a point on the
    // edge two triangles of one quad share (a quad's centre is on its
    // diagonal) falls in both, not, by rounding, in neither.
    const auto side = [&n, len, &p](const Point3& from, const Point3& to) {
        const Point3 e = Sub(to, from);
        const double el = std::sqrt(Dot(e, e));
        return el > 0.0 ? Dot(n, Cross(e, Sub(p, from))) / (len * el) : 0.0;
    };
    const double d1 = side(t.a, t.b), d2 = side(t.b, t.c), d3 = side(t.c, t.a);
    const double tol = SharedTolerance;
    return (d1 >= -tol && d2 >= -tol && d3 >= -tol) || (d1 <= tol && d2 <= tol && d3 <= tol);
}

void CollectTriangles(const ZcDbObjectId& id, const ZcDbXform& x, int depth, std::vector<Triangle>& out) {
    // A reference's block is walked after the reference is closed again,
    // so that its entities can be opened.
    ZcDbObjectId block;
    ZcDbXform inner;
    {
        ZcDbObjectPointer<ZcDbEntity> ent(id, ZcDb::kForRead);
        if (ent.openStatus() != Zcad::eOk) return;
        if (const ZcDbFace* face = ZcDbFace::cast(ent.get())) {
            Point3 c[4];
            for (int i = 0; i < 4; ++i) {
                ZcGePoint3d p;
                face->getVertexAt(i, p);
                c[i] = scene::ToPoint3(x.apply(p));
            }
            out.push_back({c[0], c[1], c[2]});
            out.push_back({c[0], c[2], c[3]});
            return;
        }
        const ZcDbBlockReference* ref = ZcDbBlockReference::cast(ent.get());
        if (!ref || depth >= 8) return;
        inner = scene::Product(x, ref->blockTransform());
        block = ref->blockTableRecord();
    }
    for (const ZcDbObjectId& child : scene::BlockEntities(block))
        CollectTriangles(child, inner, depth + 1, out);
}

// The faces an object draws, in world coordinates.
std::vector<Triangle> ObjectTriangles(const ads_name insert) {
    std::vector<Triangle> out;
    ZcDbObjectId id;
    if ((insert[0] == 0 && insert[1] == 0) || zcdbGetObjectId(id, insert) != Zcad::eOk) return out;
    CollectTriangles(id, ZcDbXform::identity(), 0, out);
    return out;
}

bool DrawnByObject(const std::vector<Triangle>& drawn, const std::vector<Point3>& c) {
    Point3 mid;
    for (const Point3& p : c) mid = {mid.x + p.x / c.size(), mid.y + p.y / c.size(), mid.z + p.z / c.size()};
    Point3 normal;
    for (std::size_t i = 2; i < c.size() && Dot(normal, normal) <= GeomEpsilon; ++i)
        normal = Cross(Sub(c[1], c[0]), Sub(c[i], c[0]));
    const double len = std::sqrt(Dot(normal, normal));
    if (len <= GeomEpsilon) return false;
    normal = {normal.x / len, normal.y / len, normal.z / len};
    return std::any_of(drawn.begin(), drawn.end(),
                       [&](const Triangle& t) { return OnTriangle(t, mid, normal); });
}

// The side's outline in its own plane: distance along the face from its
// start, and height.
struct SidePlane {
    Point3 origin;
    double dx = 0.0, dy = 0.0;
    std::vector<std::pair<double, double>> ring;

    SidePlane(const WallFace& face, const std::vector<Point3>& side) : origin(face.start) {
        const double len = Distance2d(face.start, face.end);
        if (len <= SharedTolerance) return;
        dx = (face.end.x - face.start.x) / len;
        dy = (face.end.y - face.start.y) / len;
        for (const Point3& p : side) ring.emplace_back(along(p), p.z);
    }
    double along(const Point3& p) const { return (p.x - origin.x) * dx + (p.y - origin.y) * dy; }

    // Inside the outline and farther than the tolerance from its border.
    bool strictlyInside(double t, double z) const {
        const std::size_t n = ring.size();
        if (n < 3) return false;
        bool in = false;
        for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
            const auto [ti, zi] = ring[i];
            const auto [tj, zj] = ring[j];
            const double et = tj - ti, ez = zj - zi, l2 = et * et + ez * ez;
            double u = l2 > 0 ? ((t - ti) * et + (z - zi) * ez) / l2 : 0.0;
            u = std::clamp(u, 0.0, 1.0);
            if (std::hypot(ti + u * et - t, zi + u * ez - z) <= SharedTolerance) return false;
            if ((zi > z) != (zj > z) && t < ti + (z - zi) / (zj - zi) * (tj - ti)) in = !in;
        }
        return in;
    }
};

std::vector<Point3> Polyline(const VertexNode* v) {
    std::vector<Point3> out;
    for (; v; v = v->next) out.push_back(v->pt());
    return out;
}

void CloseOneOpening(const WallFace& face, const OutlineNode& o, const std::string& layer,
                     const SidePlane& plane) {
    const VertexNode* ring = GetOutlineSideRing(face.start, face.end, &o);
    if (!ring) return;
    double zmin = 1e300, zmax = -1e300;
    for (const VertexNode* v = ring; v; v = v->next) {
        zmin = std::min(zmin, v->z);
        zmax = std::max(zmax, v->z);
    }
    if (zmax - zmin <= SharedTolerance) return;
    const std::vector<Point3> j1 = Polyline(o.jamb1), j2 = Polyline(o.jamb2);
    if (j1.size() < 2 || j2.size() < 2) return;
    const std::vector<Triangle> drawn = ObjectTriangles(o.entity);
    const double t1 = plane.along(j1.front()), t2 = plane.along(j2.front());
    const double zmid = (zmin + zmax) / 2.0, tmid = (t1 + t2) / 2.0;

    for (const auto* jamb : {&j1, &j2}) {
        const double t = jamb == &j1 ? t1 : t2;
        if (!plane.strictlyInside(t, zmid)) continue;
        for (std::size_t i = 0; i + 1 < jamb->size(); ++i) {
            const Point3 p = (*jamb)[i], q = (*jamb)[i + 1];
            if (Distance2d(p, q) <= SharedTolerance) continue;
            const std::vector<Point3> c{
                {p.x, p.y, zmin}, {q.x, q.y, zmin}, {q.x, q.y, zmax}, {p.x, p.y, zmax}};
            if (!DrawnByObject(drawn, c)) MakeClosingFace(layer, c, jamb->front());
        }
    }
    const Point3 foot{(j1.front().x + j2.front().x) / 2.0, (j1.front().y + j2.front().y) / 2.0, j1.front().z};
    for (const double z : {zmin, zmax}) {
        if (!plane.strictlyInside(tmid, z)) continue;
        std::vector<Point3> c;
        for (const Point3& p : j1) c.push_back({p.x, p.y, z});
        for (auto it = j2.rbegin(); it != j2.rend(); ++it) c.push_back({it->x, it->y, z});
        if (!DrawnByObject(drawn, c)) MakeClosingPolygon(layer, c, foot);
    }
}

}  // namespace

void CloseOpeningReveals(const WallFace& face, const std::string& layer, const std::vector<Point3>& side) {
    if (face.isArc() || !face.outlineLinks) return;
    const SidePlane plane(face, side);
    std::vector<const OutlineNode*> done;
    for (const OutlineLink* l = face.outlineLinks; l; l = l->next) {
        const OutlineNode* o = l->outline;
        if (!o || o->kind != OutlineKind::StraightWallOpening || !o->jamb1 || !o->jamb2) continue;
        if (std::find(done.begin(), done.end(), o) != done.end()) continue;
        done.push_back(o);
        // Face A (where the jambs start) closes the opening; face B leaves it.
        Point3 a = o->jamb1->pt();
        a.z = face.start.z;
        if (!IsPointOnSegment(a, face.start, face.end)) continue;
        CloseOneOpening(face, *o, layer, plane);
    }
}

namespace {

// The heights of the side's outline at a point of its plan: the lowest and
// highest corner standing there.
bool HeightsAt(const std::vector<Point3>& side, const Point3& at, double& bottom, double& top) {
    bottom = 1e300, top = -1e300;
    for (const Point3& p : side) {
        if (Distance2d(p, at) > SharedTolerance) continue;
        bottom = std::min(bottom, p.z);
        top = std::max(top, p.z);
    }
    return top - bottom > SharedTolerance;
}

// Whether g, straight like f, runs beside f at a distance: the two sides of
// one wall, however short it is against its thickness.
bool Beside(const WallFace& f, const WallFace& g) {
    if (f.isArc() || g.isArc()) return false;
    const double fl = Distance2d(f.start, f.end), gl = Distance2d(g.start, g.end);
    if (fl <= SharedTolerance || gl <= SharedTolerance) return false;
    const double ux = (f.end.x - f.start.x) / fl, uy = (f.end.y - f.start.y) / fl;
    const double cross = (ux * (g.end.y - g.start.y) - uy * (g.end.x - g.start.x)) / gl;
    if (std::fabs(cross) > 1e-6) return false;
    const double offset = ux * (g.start.y - f.start.y) - uy * (g.start.x - f.start.x);
    if (std::fabs(offset) <= SharedTolerance) return false;
    const double t0 = ux * (g.start.x - f.start.x) + uy * (g.start.y - f.start.y),
                 t1 = ux * (g.end.x - f.start.x) + uy * (g.end.y - f.start.y);
    return std::min(std::max(t0, t1), fl) - std::max(std::min(t0, t1), 0.0) > SharedTolerance;
}

// Whether p lies on the line of the straight face f: an end there would
// close nothing across the wall.
bool OnLineOf(const WallFace& f, const Point3& p) {
    if (f.isArc()) return false;
    const double l = Distance2d(f.start, f.end);
    if (l <= SharedTolerance) return false;
    const double cross =
        ((f.end.x - f.start.x) * (p.y - f.start.y) - (f.end.y - f.start.y) * (p.x - f.start.x)) / l;
    return std::fabs(cross) <= SharedTolerance;
}

bool Before(const Point3& a, const Point3& b) {
    if (std::fabs(a.x - b.x) > SharedTolerance) return a.x < b.x;
    return a.y < b.y - SharedTolerance;
}

}  // namespace

WallClosing::WallClosing(const CFACCIATE& graph) {
    // A grid of the faces' plan boxes, cells the faces' mean length: an end
    // is looked for only among the faces near it.
    std::vector<const WallFace*> all;
    double total = 0.0;
    for (const WallFace* list : {graph.faces, graph.pillarFaces})
        for (const WallFace* f = list; f; f = f->next) {
            all.push_back(f);
            total += Distance2d(f->firstPoint(), f->lastPoint());
        }
    if (all.empty()) return;
    // A cell reaches across the thickest wall, so a short wall's other side
    // is among the cells next to its end.
    m_cell = std::max(
        {total / static_cast<double>(all.size()), 2.0 * graph.maxWallThickness, 100.0 * SharedTolerance});
    for (const WallFace* f : all) {
        double x0 = std::min(f->firstPoint().x, f->lastPoint().x),
               x1 = std::max(f->firstPoint().x, f->lastPoint().x);
        double y0 = std::min(f->firstPoint().y, f->lastPoint().y),
               y1 = std::max(f->firstPoint().y, f->lastPoint().y);
        if (f->isArc()) {
            x0 = f->arc.centre.x - f->arc.radius, x1 = f->arc.centre.x + f->arc.radius;
            y0 = f->arc.centre.y - f->arc.radius, y1 = f->arc.centre.y + f->arc.radius;
        }
        const double pad = 2.0 * SharedTolerance;
        for (std::int64_t x = cell(x0 - pad); x <= cell(x1 + pad); ++x)
            for (std::int64_t y = cell(y0 - pad); y <= cell(y1 + pad); ++y) m_grid[key(x, y)].push_back(f);
    }
    // Free ends, each paired with the nearest free end of another face
    // (nearer than a cell, and than the face's own length unless the other
    // face runs beside it: a wall shorter than it is thick), never one on
    // the face's own line: the wall's other side. The end coming first owns
    // the face.
    for (const WallFace* f = graph.faces; f; f = f->next) {
        const double length = f->isArc() ? 2.0 * f->arc.radius : Distance2d(f->firstPoint(), f->lastPoint());
        for (const Point3& p : {f->firstPoint(), f->lastPoint()}) {
            if (joined(f, p)) continue;
            const WallFace* best = nullptr;
            Point3 q;
            double bestDist = m_cell;
            for (std::int64_t dx = -1; dx <= 1; ++dx)
                for (std::int64_t dy = -1; dy <= 1; ++dy) {
                    auto it = m_grid.find(key(cell(p.x) + dx, cell(p.y) + dy));
                    if (it == m_grid.end()) continue;
                    for (const WallFace* g : it->second) {
                        if (g == f) continue;
                        const bool beside = Beside(*f, *g);
                        for (const Point3& e : {g->firstPoint(), g->lastPoint()}) {
                            const double d = Distance2d(p, e);
                            if (d <= SharedTolerance || d >= bestDist || (!beside && d >= length) ||
                                OnLineOf(*f, e) || joined(g, e))
                                continue;
                            best = g;
                            q = e;
                            bestDist = d;
                        }
                    }
                }
            if (best && Before(p, q)) m_ends[f].push_back({p, q});
        }
    }
}

bool WallClosing::joined(const WallFace* self, const Point3& p) const {
    auto it = m_grid.find(key(cell(p.x), cell(p.y)));
    if (it == m_grid.end()) return false;
    for (const WallFace* f : it->second) {
        if (f == self) continue;
        if (PointsEqual(f->firstPoint(), p, false) || PointsEqual(f->lastPoint(), p, false)) return true;
        if (!f->isArc()) {
            Point3 q = p;
            q.z = f->start.z;
            if (IsPointOnSegment(q, f->start, f->end)) return true;
        }
    }
    return false;
}

void WallClosing::Close(const WallFace& face, const std::string& layer,
                        const std::vector<Point3>& side) const {
    if (side.empty()) return;
    CloseOpeningReveals(face, layer, side);
    auto it = m_ends.find(&face);
    if (it == m_ends.end()) return;
    for (const auto& [p, q] : it->second) {
        double bottom, top;
        if (!HeightsAt(side, p, bottom, top)) continue;
        MakeClosingFace(layer, {{p.x, p.y, bottom}, {q.x, q.y, bottom}, {q.x, q.y, top}, {p.x, p.y, top}}, p);
    }
}

std::vector<std::array<Point3, 4>> WallClosing::FreePieces() const {
    std::vector<std::array<Point3, 4>> out;
    for (const auto& [face, ends] : m_ends) {
        // A curved piece is capped with the curved walls.
        if (ends.size() != 2 || face->isArc()) continue;
        const auto& [p0, q0] = ends[0];
        const auto& [p1, q1] = ends[1];
        out.push_back({p0, p1, q1, q0});
    }
    return out;
}
