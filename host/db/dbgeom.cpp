// Entity geometry for hit tests. Entities are turned into 3D primitives
// once, then into plan primitives (segments, arcs with a signed sweep,
// points) that carry enough to give back a 3D point for a plan position.
// The tests are the textbook ones: clamped projection for distances,
// line/circle equations for intersections, even-odd ray casting for
// points in polygons.
#include "host/db/dbgeom.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "host/db/dbblockwalk.h"
#include "host/db/dbmain.h"

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr int kChords = 64;
constexpr double kEps = 1e-9;

double normAngle(double a) {
    a = std::fmod(a, kTwoPi);
    return a < 0 ? a + kTwoPi : a;
}

ZcDbGeomPrim transformed(const ZcDbGeomPrim& p, const ZcDbXform& x, ZcDbGeometry& chords, bool& split) {
    split = false;
    ZcDbGeomPrim q = p;
    if (p.kind != ZcDbGeomPrim::kArc) {
        q.p0 = x.apply(p.p0);
        q.p1 = x.apply(p.p1);
        return q;
    }
    if (!x.isUniscaledOrtho()) {
        // Under a non-uniform scale an arc is an ellipse: chords stand for it.
        split = true;
        for (int i = 0; i < kChords; ++i)
            chords.push_back(ZcDbGeomPrim::segment(x.apply(p.pointAt(p.sweep * i / kChords)),
                                                   x.apply(p.pointAt(p.sweep * (i + 1) / kChords))));
        return q;
    }
    double s = x.apply(ZcGeVector3d(1, 0, 0)).length();
    q.center = x.apply(p.center);
    q.u = x.apply(p.u) / s;
    q.v = x.apply(p.v) / s;
    q.radius = p.radius * s;
    return q;
}

void textBox(const ZcDbText* t, ZcDbGeometry& out) {
    // An empty text keeps a box of one character, so it can still be picked.
    const std::string& chars = t->textString();
    double w = zcdbTextBoxWidth(chars.empty() ? std::string_view(" ") : std::string_view(chars), t->height(),
                                t->widthFactor());
    double h = t->height();
    ZcGeVector3d n = t->normal();
    ZcGePoint3d o = zcdbWcsToOcs(t->position(), n);
    double c = std::cos(t->rotation()), s = std::sin(t->rotation());
    auto at = [&](double dx, double dy) {
        return zcdbOcsToWcs(ZcGePoint3d(o.x + dx * c - dy * s, o.y + dx * s + dy * c, o.z), n);
    };
    ZcGePoint3d q[4] = {at(0, 0), at(w, 0), at(w, h), at(0, h)};
    for (int i = 0; i < 4; ++i) out.push_back(ZcDbGeomPrim::segment(q[i], q[(i + 1) % 4]));
}

void mtextBox(const ZcDbMText* m, ZcDbGeometry& out) {
    std::size_t chars = 0, longest = 0, lines = 1;
    const std::string& s = m->contents();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s.compare(i, 2, "\\P") == 0) {
            longest = std::max(longest, chars);
            chars = 0;
            ++lines;
            ++i;
        } else if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            ++chars;
        }
    }
    longest = std::max(longest, chars);
    double w = m->width() > 0
                   ? m->width()
                   : 0.8 * m->textHeight() * static_cast<double>(std::max<std::size_t>(longest, 1));
    double h = m->textHeight() * static_cast<double>(lines) * 1.5;
    // Attachment 1..9: rows top, middle, bottom; columns left, centre, right.
    int a = std::clamp(m->attachment(), 1, 9) - 1;
    double left = -w * (a % 3) / 2.0, top = h * (a / 3) / 2.0;
    ZcGeVector3d dx = m->direction();
    if (dx.length() == 0) dx = ZcGeVector3d(1, 0, 0);
    dx = dx / dx.length();
    ZcGeVector3d n = m->normal().length() > 0 ? m->normal() / m->normal().length() : ZcGeVector3d(0, 0, 1);
    ZcGeVector3d dy = n.crossProduct(dx);
    ZcGePoint3d o = m->location();
    auto at = [&](double x, double y) { return o + dx * (left + x) + dy * (top - y); };
    ZcGePoint3d q[4] = {at(0, 0), at(w, 0), at(w, h), at(0, h)};
    for (int i = 0; i < 4; ++i) out.push_back(ZcDbGeomPrim::segment(q[i], q[(i + 1) % 4]));
}

// A bulged span from a to b (OCS), as an arc or a segment in WCS.
ZcDbGeomPrim bulgeSpan(const ZcGePoint2d& a, const ZcGePoint2d& b, double bulge, double z,
                       const ZcGeVector3d& normal) {
    ZcGePoint3d a3(a.x, a.y, z), b3(b.x, b.y, z);
    double chord = a.distanceTo(b);
    if (std::fabs(bulge) < 1e-12 || chord == 0)
        return ZcDbGeomPrim::segment(zcdbOcsToWcs(a3, normal), zcdbOcsToWcs(b3, normal));
    double theta = 4 * std::atan(bulge);  // included angle, signed
    double r = chord / (2 * std::sin(std::fabs(theta) / 2));
    ZcGeVector2d ab = b - a;
    ZcGeVector2d perp(-ab.y, ab.x);
    // Signed centre offset from the chord: negative past a half turn.
    double h = r * std::cos(std::fabs(theta) / 2);
    double side = bulge > 0 ? 1 : -1;  // counter-clockwise spans turn left
    ZcGePoint2d mid(a.x + ab.x / 2, a.y + ab.y / 2);
    ZcGePoint2d c = mid + perp / perp.length() * (h * side);
    double sa = std::atan2(a.y - c.y, a.x - c.x), ea = std::atan2(b.y - c.y, b.x - c.x);
    if (bulge < 0) std::swap(sa, ea);  // clockwise: the same arc run counter-clockwise
    return ZcDbGeomPrim::arc(ZcGePoint3d(c.x, c.y, z), normal, r, sa, ea);
}

}  // namespace

double zcdbTextBoxWidth(std::string_view text, double height, double widthFactor) {
    std::size_t chars = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++chars;
    return 0.8 * height * widthFactor * static_cast<double>(chars);
}

// ------------------------------------------------------------- primitives

ZcDbGeomPrim ZcDbGeomPrim::point(const ZcGePoint3d& p) {
    ZcDbGeomPrim g;
    g.kind = kPoint;
    g.p0 = g.p1 = p;
    return g;
}

ZcDbGeomPrim ZcDbGeomPrim::segment(const ZcGePoint3d& a, const ZcGePoint3d& b) {
    ZcDbGeomPrim g;
    g.kind = kSegment;
    g.p0 = a;
    g.p1 = b;
    return g;
}

ZcDbGeomPrim ZcDbGeomPrim::arc(const ZcGePoint3d& ocsCenter, const ZcGeVector3d& normal, double radius,
                               double startAngle, double endAngle) {
    ZcDbGeomPrim g;
    g.kind = kArc;
    ZcGeVector3d n = normal.length() > 0 ? normal / normal.length() : ZcGeVector3d(0, 0, 1);
    ZcGeVector3d ax = zcdbOcsXAxis(n), ay = n.crossProduct(ax);
    g.center = zcdbOcsToWcs(ocsCenter, n);
    g.u = ax * std::cos(startAngle) + ay * std::sin(startAngle);
    g.v = n.crossProduct(g.u);
    g.radius = radius;
    double sweep = normAngle(endAngle - startAngle);
    g.sweep = sweep < 1e-12 ? kTwoPi : sweep;
    return g;
}

ZcGePoint3d ZcDbGeomPrim::pointAt(double t) const {
    if (kind != kArc) return p0 + (p1 - p0) * t;
    return center + (u * std::cos(t) + v * std::sin(t)) * radius;
}

bool ZcDbGeomPrim::isFullCircle() const {
    return kind == kArc && sweep >= kTwoPi - 1e-12;
}

// --------------------------------------------------------- entity geometry

namespace {

struct Walk {
    ZcDbBlockPath path;
    std::size_t& budget;  // primitives still to be taken from block contents
};

void entityGeometry(const ZcDbEntity* ent, ZcDbGeometry& out, const ZcDbXform& xform, Walk& walk);

// The entities of a block, each drawn with `xform`, unless the walk is
// already inside that block or has taken as much as it may.
void blockGeometry(ZcDbObjectId blockId, ZcDbGeometry& out, const ZcDbXform& xform, Walk& walk,
                   bool skipAttributeDefinitions) {
    ZcDbBlockPath::Step step(walk.path, blockId);
    if (!step || walk.budget == 0) return;
    ZcDbBlockTableRecord* block = nullptr;
    if (zcdbOpenObject(block, blockId, ZcDb::kForRead) != Zcad::eOk) return;
    std::vector<ZcDbObjectId> ids = block->entityIds();
    block->close();
    for (ZcDbObjectId id : ids) {
        if (walk.budget == 0) return;
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) continue;
        const std::size_t before = out.size();
        if (!skipAttributeDefinitions || !ZcDbAttributeDefinition::cast(e))
            entityGeometry(e, out, xform, walk);
        // A nested block's entities were counted inside it; every other
        // entity counts what it drew, and at least one.
        const std::size_t cost =
            zcdbShownBlock(e).isNull() ? std::max<std::size_t>(1, out.size() - before) : std::size_t{1};
        walk.budget -= std::min(walk.budget, cost);
        e->close();
    }
}

}  // namespace

void zcdbEntityGeometry(const ZcDbEntity* ent, ZcDbGeometry& out, const ZcDbXform& xform) {
    std::size_t budget = kZcDbGeometryBlockBudget;
    zcdbEntityGeometry(ent, out, xform, budget);
}

void zcdbEntityGeometry(const ZcDbEntity* ent, ZcDbGeometry& out, const ZcDbXform& xform,
                        std::size_t& blockBudget) {
    Walk walk{ZcDbBlockPath(), blockBudget};
    entityGeometry(ent, out, xform, walk);
}

namespace {

void entityGeometry(const ZcDbEntity* ent, ZcDbGeometry& out, const ZcDbXform& xform, Walk& walk) {
    if (!ent) return;
    ZcDbGeometry own;
    auto seg = [&](const ZcGePoint3d& a, const ZcGePoint3d& b) {
        own.push_back(ZcDbGeomPrim::segment(a, b));
    };

    if (auto* l = ZcDbLine::cast(ent)) {
        seg(l->startPoint(), l->endPoint());
    } else if (auto* a = ZcDbArc::cast(ent)) {
        own.push_back(ZcDbGeomPrim::arc(zcdbWcsToOcs(a->center(), a->normal()), a->normal(), a->radius(),
                                        a->startAngle(), a->endAngle()));
    } else if (auto* c = ZcDbCircle::cast(ent)) {
        own.push_back(
            ZcDbGeomPrim::arc(zcdbWcsToOcs(c->center(), c->normal()), c->normal(), c->radius(), 0, 0));
    } else if (auto* p = ZcDbPoint::cast(ent)) {
        own.push_back(ZcDbGeomPrim::point(p->position()));
    } else if (auto* f = ZcDbFace::cast(ent)) {
        ZcGePoint3d q[4];
        for (int i = 0; i < 4; ++i) f->getVertexAt(i, q[i]);
        for (int i = 0; i < 4; ++i)
            if (!(i == 2 && q[2].isEqualTo(q[3]))) seg(q[i], q[(i + 1) % 4]);
    } else if (auto* s = ZcDbSolid::cast(ent)) {
        ZcGePoint3d q[4];
        for (int i = 0; i < 4; ++i) s->getPointAt(i, q[i]);
        seg(q[0], q[1]);
        seg(q[1], q[3]);
        seg(q[3], q[2]);
        seg(q[2], q[0]);
    } else if (auto* t = ZcDbText::cast(ent)) {
        textBox(t, own);
    } else if (auto* m = ZcDbMText::cast(ent)) {
        mtextBox(m, own);
    } else if (auto* pl = ZcDbPolyline::cast(ent)) {
        const auto& v = pl->vertices();
        std::size_t n = v.size(), spans = pl->isClosed() ? n : (n ? n - 1 : 0);
        if (n == 1)
            own.push_back(ZcDbGeomPrim::point(
                zcdbOcsToWcs({v[0].point.x, v[0].point.y, pl->elevation()}, pl->normal())));
        for (std::size_t i = 0; i < spans && n > 1; ++i)
            own.push_back(
                bulgeSpan(v[i].point, v[(i + 1) % n].point, v[i].bulge, pl->elevation(), pl->normal()));
    } else if (auto* p2 = ZcDb2dPolyline::cast(ent)) {
        std::vector<ZcDbVertex*> verts;
        for (ZcDbObjectId id : p2->vertexIds()) {
            ZcDbVertex* vx = nullptr;
            if (zcdbOpenObject(vx, id, ZcDb::kForRead) == Zcad::eOk) verts.push_back(vx);
        }
        if (p2->isPolyFaceMesh()) {
            std::vector<ZcGePoint3d> pts;
            for (ZcDbVertex* vx : verts)
                if (!vx->isFaceRecord()) pts.push_back(vx->position());
            for (ZcDbVertex* vx : verts) {
                if (!vx->isFaceRecord()) continue;
                std::int16_t idx[4];
                for (int i = 0; i < 4; ++i) vx->getVertexAt(i, idx[i]);
                int count = idx[3] != 0 ? 4 : 3;
                for (int i = 0; i < count; ++i) {
                    int a0 = std::abs(idx[i]), b0 = std::abs(idx[(i + 1) % count]);
                    if (a0 >= 1 && b0 >= 1 && a0 <= static_cast<int>(pts.size()) &&
                        b0 <= static_cast<int>(pts.size()))
                        seg(pts[static_cast<std::size_t>(a0 - 1)], pts[static_cast<std::size_t>(b0 - 1)]);
                }
            }
        } else {
            std::size_t n = verts.size(), spans = p2->isClosed() ? n : (n ? n - 1 : 0);
            for (std::size_t i = 0; i < spans && n > 1; ++i) {
                ZcDbVertex* a0 = verts[i];
                ZcDbVertex* b0 = verts[(i + 1) % n];
                if (p2->is3d()) {
                    seg(a0->position(), b0->position());
                } else {
                    ZcGePoint3d pa = a0->position(), pb = b0->position();
                    own.push_back(
                        bulgeSpan({pa.x, pa.y}, {pb.x, pb.y}, a0->bulge(), p2->elevation(), p2->normal()));
                }
            }
        }
        for (ZcDbVertex* vx : verts) vx->close();
    } else if (auto* ref = ZcDbBlockReference::cast(ent)) {
        ZcDbXform inner = ref->blockTransform();
        ZcDbXform total;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                total.m[i][j] = 0;
                for (int k = 0; k < 4; ++k) total.m[i][j] += xform.m[i][k] * inner.m[k][j];
            }
        blockGeometry(ref->blockTableRecord(), out, total, walk, true);
        for (ZcDbObjectId id : ref->attributeIds()) {
            ZcDbEntity* e = nullptr;
            if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) continue;
            entityGeometry(e, out, xform, walk);
            e->close();
        }
        return;
    } else if (auto* dim = ZcDbDimension::cast(ent)) {
        blockGeometry(dim->dimBlockId(), out, xform, walk, false);
        return;
    } else if (auto* h = ZcDbHatch::cast(ent)) {
        for (int li = 0; li < h->numLoops(); ++li) {
            const ZcDbHatch::Loop& loop = h->loopAt(li);
            if (loop.isPolyline()) {
                std::size_t n = loop.vertices.size();
                for (std::size_t i = 0; i < n && n > 1; ++i) {
                    double b = i < loop.bulges.size() ? loop.bulges[i] : 0;
                    own.push_back(bulgeSpan(loop.vertices[i], loop.vertices[(i + 1) % n], b, h->elevation(),
                                            h->normal()));
                }
            }
            for (const ZcDbHatch::Edge& e : loop.edges) {
                if (e.type == 2) {
                    double sa = e.counterClockwise ? e.startAngle : -e.endAngle;
                    double ea = e.counterClockwise ? e.endAngle : -e.startAngle;
                    own.push_back(ZcDbGeomPrim::arc({e.center.x, e.center.y, h->elevation()}, h->normal(),
                                                    e.radius, sa, ea));
                } else {
                    seg(zcdbOcsToWcs({e.start.x, e.start.y, h->elevation()}, h->normal()),
                        zcdbOcsToWcs({e.end.x, e.end.y, h->elevation()}, h->normal()));
                }
            }
        }
    } else if (auto* vp = ZcDbViewport::cast(ent)) {
        ZcGePoint3d c = vp->centerPoint();
        double w = vp->width() / 2, hh = vp->height() / 2;
        ZcGePoint3d q[4] = {{c.x - w, c.y - hh, c.z},
                            {c.x + w, c.y - hh, c.z},
                            {c.x + w, c.y + hh, c.z},
                            {c.x - w, c.y + hh, c.z}};
        for (int i = 0; i < 4; ++i) seg(q[i], q[(i + 1) % 4]);
    } else if (auto* ms = ZcDbModelerStandIn::cast(ent)) {
        ms->edgeGeometry(own);
    }
    for (const ZcDbGeomPrim& p : own) {
        ZcDbGeometry chords;
        bool split = false;
        ZcDbGeomPrim q = transformed(p, xform, chords, split);
        if (split)
            out.insert(out.end(), chords.begin(), chords.end());
        else
            out.push_back(q);
    }
}

}  // namespace

// ----------------------------------------------------------------- extents

void ZcDbExtents3d::add(const ZcGePoint3d& p) {
    for (int i = 0; i < 3; ++i) {
        min[i] = std::min(min[i], p[i]);
        max[i] = std::max(max[i], p[i]);
    }
}

void ZcDbExtents3d::add(const ZcDbExtents3d& e) {
    if (!e.isValid()) return;
    add(e.min);
    add(e.max);
}

namespace {

// An arc adds its ends and, within its sweep, the points where a
// coordinate peaks: t = atan2(v_k, u_k) (+ pi). Adding a point twice
// changes nothing, so a parameter met again (the peaks of two coordinates
// of a flat arc fall together) is not evaluated again: the same bits of t
// give the same point.
void addExtents(ZcDbExtents3d& e, const ZcDbGeomPrim& p) {
    if (p.kind != ZcDbGeomPrim::kArc) {
        e.add(p.startPoint());
        e.add(p.endPoint());
        return;
    }
    std::uint64_t seen[8] = {};
    int count = 0;
    auto at = [&](double t) {
        const auto bits = std::bit_cast<std::uint64_t>(t);
        for (int i = 0; i < count; ++i)
            if (seen[i] == bits) return;
        seen[count++] = bits;
        e.add(p.pointAt(t));
    };
    at(0.0);
    at(p.sweep);
    for (int k = 0; k < 3; ++k) {
        double t0 = std::atan2(p.v[k], p.u[k]);
        for (double t : {normAngle(t0), normAngle(t0 + std::numbers::pi)})
            if (t <= p.sweep) at(t);
    }
}

}  // namespace

ZcDbExtents3d zcdbGeomExtents(const ZcDbGeometry& g) {
    ZcDbExtents3d e;
    for (const ZcDbGeomPrim& p : g) addExtents(e, p);
    return e;
}

bool zcdbExtentsReadOnly(const ZcDbEntity* ent) {
    const ZcRxClass* cls = ent ? ent->isA() : nullptr;
    return cls && (cls == ZcDbLine::desc() || cls == ZcDbArc::desc() || cls == ZcDbCircle::desc() ||
                   cls == ZcDbText::desc());
}

ZcDbExtents3d zcdbEntityExtents(const ZcDbEntity* ent, ZcDbGeometry& scratch) {
    std::size_t budget = kZcDbGeometryBlockBudget;
    return zcdbEntityExtents(ent, scratch, budget);
}

ZcDbExtents3d zcdbEntityExtents(const ZcDbEntity* ent, ZcDbGeometry& scratch, std::size_t& blockBudget) {
    ZcDbExtents3d e;
    scratch.clear();
    // The kinds a drawing holds most of, by their exact class: each is the
    // first branch of zcdbEntityGeometry its casts would reach.
    const ZcRxClass* cls = ent ? ent->isA() : nullptr;
    if (cls && cls == ZcDbLine::desc()) {
        auto* l = static_cast<const ZcDbLine*>(ent);
        scratch.push_back(ZcDbGeomPrim::segment(l->startPoint(), l->endPoint()));
    } else if (cls && cls == ZcDbArc::desc()) {
        auto* a = static_cast<const ZcDbArc*>(ent);
        scratch.push_back(ZcDbGeomPrim::arc(zcdbWcsToOcs(a->center(), a->normal()), a->normal(), a->radius(),
                                            a->startAngle(), a->endAngle()));
    } else if (cls && cls == ZcDbCircle::desc()) {
        auto* c = static_cast<const ZcDbCircle*>(ent);
        scratch.push_back(
            ZcDbGeomPrim::arc(zcdbWcsToOcs(c->center(), c->normal()), c->normal(), c->radius(), 0, 0));
    } else if (cls && cls == ZcDbText::desc()) {
        textBox(static_cast<const ZcDbText*>(ent), scratch);
    } else {
        zcdbEntityGeometry(ent, scratch, ZcDbXform(), blockBudget);
        for (const ZcDbGeomPrim& p : scratch) addExtents(e, p);
        return e;
    }
    // As zcdbEntityGeometry hands them out: through the (identity) transform.
    const ZcDbXform identity;
    for (const ZcDbGeomPrim& p : scratch) {
        ZcDbGeometry chords;
        bool split = false;
        const ZcDbGeomPrim q = transformed(p, identity, chords, split);
        if (!split) addExtents(e, q);
        for (const ZcDbGeomPrim& c : chords) addExtents(e, c);
    }
    return e;
}

// -------------------------------------------------------------- plan view

namespace {

struct V2 {
    double x = 0, y = 0;
};
V2 operator-(V2 a, V2 b) {
    return {a.x - b.x, a.y - b.y};
}
V2 operator+(V2 a, V2 b) {
    return {a.x + b.x, a.y + b.y};
}
V2 operator*(V2 a, double s) {
    return {a.x * s, a.y * s};
}
double dot(V2 a, V2 b) {
    return a.x * b.x + a.y * b.y;
}
double cross(V2 a, V2 b) {
    return a.x * b.y - a.y * b.x;
}
double len(V2 a) {
    return std::hypot(a.x, a.y);
}
V2 plan(const ZcGePoint3d& p) {
    return {p.x, p.y};
}

// A primitive seen from above. Arcs keep their 3D source for z.
struct Plan {
    ZcDbGeomPrim::Kind kind = ZcDbGeomPrim::kPoint;
    V2 a, b;                          // point; segment ends
    ZcGePoint3d a3, b3;               // the same in 3D
    V2 c;                             // arc
    double r = 0, a0 = 0, sweep = 0;  // sweep signed: > 0 counter-clockwise
    const ZcDbGeomPrim* src = nullptr;

    bool onArc(double ang) const {
        double d = sweep >= 0 ? normAngle(ang - a0) : normAngle(a0 - ang);
        return d <= std::fabs(sweep) + 1e-12 || std::fabs(sweep) >= kTwoPi - 1e-12 || d >= kTwoPi - 1e-12;
    }
    // 3D point of a plan position on the primitive.
    ZcGePoint3d at3d(V2 p) const {
        if (kind == ZcDbGeomPrim::kPoint) return a3;
        if (kind == ZcDbGeomPrim::kSegment) {
            V2 d = b - a;
            double l2 = dot(d, d);
            double t = l2 > 0 ? std::clamp(dot(p - a, d) / l2, 0.0, 1.0) : 0;
            return a3 + (b3 - a3) * t;
        }
        double ang = std::atan2(p.y - c.y, p.x - c.x);
        double t = sweep >= 0 ? normAngle(ang - a0) : normAngle(a0 - ang);
        return src->pointAt(t);
    }
    V2 start() const {
        return kind == ZcDbGeomPrim::kArc ? V2{c.x + r * std::cos(a0), c.y + r * std::sin(a0)} : a;
    }
    V2 nearest(V2 p) const {
        if (kind == ZcDbGeomPrim::kPoint) return a;
        if (kind == ZcDbGeomPrim::kSegment) {
            V2 d = b - a;
            double l2 = dot(d, d);
            double t = l2 > 0 ? std::clamp(dot(p - a, d) / l2, 0.0, 1.0) : 0;
            return a + d * t;
        }
        double ang = std::atan2(p.y - c.y, p.x - c.x);
        if (len(p - c) > 0 && onArc(ang)) return {c.x + r * std::cos(ang), c.y + r * std::sin(ang)};
        V2 s = start(), e{c.x + r * std::cos(a0 + sweep), c.y + r * std::sin(a0 + sweep)};
        return len(p - s) <= len(p - e) ? s : e;
    }
    double distance(V2 p) const { return len(p - nearest(p)); }
};

std::vector<Plan> toPlan(const ZcDbGeometry& g, std::vector<ZcDbGeomPrim>& chords) {
    std::vector<Plan> out;
    chords.clear();
    // Chords first, so the pointers into `chords` stay valid.
    for (const ZcDbGeomPrim& p : g) {
        bool flat = std::fabs(p.u.z) < kEps && std::fabs(p.v.z) < kEps;
        if (p.kind == ZcDbGeomPrim::kArc && !flat)
            for (int i = 0; i < kChords; ++i)
                chords.push_back(ZcDbGeomPrim::segment(p.pointAt(p.sweep * i / kChords),
                                                       p.pointAt(p.sweep * (i + 1) / kChords)));
    }
    for (const ZcDbGeomPrim& p : g) {
        Plan q;
        q.kind = p.kind;
        q.src = &p;
        if (p.kind == ZcDbGeomPrim::kArc) {
            bool flat = std::fabs(p.u.z) < kEps && std::fabs(p.v.z) < kEps;
            if (!flat) continue;
            q.c = plan(p.center);
            q.r = p.radius;
            q.a0 = std::atan2(p.u.y, p.u.x);
            double orient = p.u.x * p.v.y - p.u.y * p.v.x;
            q.sweep = orient >= 0 ? p.sweep : -p.sweep;
        } else {
            q.a = plan(p.p0);
            q.b = plan(p.p1);
            q.a3 = p.p0;
            q.b3 = p.p1;
        }
        out.push_back(q);
    }
    for (const ZcDbGeomPrim& p : chords) {
        Plan q;
        q.kind = ZcDbGeomPrim::kSegment;
        q.src = &p;
        q.a = plan(p.p0);
        q.b = plan(p.p1);
        q.a3 = p.p0;
        q.b3 = p.p1;
        out.push_back(q);
    }
    return out;
}

// Intersections of two plan primitives (touching counts).
std::vector<V2> intersect(const Plan& p, const Plan& q) {
    std::vector<V2> out;
    using K = ZcDbGeomPrim;
    if (p.kind == K::kPoint || q.kind == K::kPoint) {
        const Plan& pt = p.kind == K::kPoint ? p : q;
        const Plan& other = p.kind == K::kPoint ? q : p;
        if (other.distance(pt.a) <= 1e-9) out.push_back(pt.a);
        return out;
    }
    if (p.kind == K::kSegment && q.kind == K::kSegment) {
        V2 r = p.b - p.a, s = q.b - q.a;
        double den = cross(r, s);
        if (std::fabs(den) < 1e-15 * (len(r) * len(s) + 1e-300)) {
            // Parallel: collinear overlaps meet at the overlap's ends.
            if (std::fabs(cross(q.a - p.a, r)) > 1e-9 * (len(r) + 1)) return out;
            for (V2 e : {q.a, q.b})
                if (p.distance(e) <= 1e-9) out.push_back(e);
            for (V2 e : {p.a, p.b})
                if (q.distance(e) <= 1e-9) out.push_back(e);
            return out;
        }
        double t = cross(q.a - p.a, s) / den, u = cross(q.a - p.a, r) / den;
        if (t >= -1e-12 && t <= 1 + 1e-12 && u >= -1e-12 && u <= 1 + 1e-12) out.push_back(p.a + r * t);
        return out;
    }
    if (p.kind == K::kArc && q.kind == K::kSegment) return intersect(q, p);
    if (p.kind == K::kSegment) {  // segment and arc
        V2 d = p.b - p.a, f = p.a - q.c;
        double a = dot(d, d), b = 2 * dot(f, d), c = dot(f, f) - q.r * q.r;
        if (a == 0) return out;
        double disc = b * b - 4 * a * c;
        if (disc < -1e-12 * a * q.r * q.r) return out;
        disc = std::sqrt(std::max(disc, 0.0));
        for (double t : {(-b - disc) / (2 * a), (-b + disc) / (2 * a)}) {
            if (t < -1e-12 || t > 1 + 1e-12) continue;
            V2 x = p.a + d * t;
            if (q.onArc(std::atan2(x.y - q.c.y, x.x - q.c.x))) out.push_back(x);
            if (disc == 0) break;
        }
        return out;
    }
    // Two arcs.
    V2 d = q.c - p.c;
    double dist = len(d);
    if (dist == 0 || dist > p.r + q.r + 1e-12 || dist < std::fabs(p.r - q.r) - 1e-12) return out;
    double a = (p.r * p.r - q.r * q.r + dist * dist) / (2 * dist);
    double h = std::sqrt(std::max(p.r * p.r - a * a, 0.0));
    V2 m = p.c + d * (a / dist);
    V2 n{-d.y / dist, d.x / dist};
    for (V2 x : {m + n * h, m - n * h}) {
        if (p.onArc(std::atan2(x.y - p.c.y, x.x - p.c.x)) && q.onArc(std::atan2(x.y - q.c.y, x.x - q.c.x)))
            out.push_back(x);
        if (h == 0) break;
    }
    return out;
}

Plan segmentPlan(V2 a, V2 b) {
    Plan s;
    s.kind = ZcDbGeomPrim::kSegment;
    s.a = a;
    s.b = b;
    return s;
}

bool insidePolygon(V2 p, const std::vector<V2>& poly) {
    bool in = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        if ((poly[i].y > p.y) != (poly[j].y > p.y) &&
            p.x < (poly[j].x - poly[i].x) * (p.y - poly[i].y) / (poly[j].y - poly[i].y) + poly[i].x)
            in = !in;
    }
    return in;
}

std::vector<Plan> edgesOf(const std::vector<V2>& pts, bool closed) {
    std::vector<Plan> e;
    std::size_t n = pts.size();
    for (std::size_t i = 0; i + 1 < n; ++i) e.push_back(segmentPlan(pts[i], pts[i + 1]));
    if (closed && n > 2) e.push_back(segmentPlan(pts[n - 1], pts[0]));
    return e;
}

bool crossesAny(const Plan& p, const std::vector<Plan>& edges) {
    for (const Plan& e : edges)
        if (!intersect(p, e).empty()) return true;
    return false;
}

std::vector<V2> windowPolygon(const ZcDbPlanWindow& w) {
    return {{w.xmin, w.ymin}, {w.xmax, w.ymin}, {w.xmax, w.ymax}, {w.xmin, w.ymax}};
}

std::vector<V2> planPoints(const std::vector<ZcGePoint3d>& pts) {
    std::vector<V2> out;
    for (const ZcGePoint3d& p : pts) out.push_back(plan(p));
    return out;
}

bool insideRegion(const std::vector<Plan>& prims, const std::vector<V2>& poly) {
    if (prims.empty() || poly.size() < 3) return false;
    std::vector<Plan> edges = edgesOf(poly, true);
    for (const Plan& p : prims)
        if (!insidePolygon(p.start(), poly) || (p.kind != ZcDbGeomPrim::kPoint && crossesAny(p, edges)))
            return false;
    return true;
}

bool crossesRegion(const std::vector<Plan>& prims, const std::vector<V2>& poly) {
    if (poly.size() < 3) return false;
    std::vector<Plan> edges = edgesOf(poly, true);
    for (const Plan& p : prims)
        if (insidePolygon(p.start(), poly) || crossesAny(p, edges)) return true;
    return false;
}

}  // namespace

ZcDbPlanWindow ZcDbPlanWindow::fromCorners(const ZcGePoint3d& a, const ZcGePoint3d& b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

std::optional<double> zcdbGeomDistance(const ZcDbGeometry& g, const ZcGePoint3d& p) {
    std::vector<ZcDbGeomPrim> chords;
    std::optional<double> best;
    for (const Plan& q : toPlan(g, chords)) {
        double d = q.distance(plan(p));
        if (!best || d < *best) best = d;
    }
    return best;
}

bool zcdbGeomInsideWindow(const ZcDbGeometry& g, const ZcDbPlanWindow& w) {
    ZcDbExtents3d e = zcdbGeomExtents(g);
    return e.isValid() && e.min.x >= w.xmin && e.max.x <= w.xmax && e.min.y >= w.ymin && e.max.y <= w.ymax;
}

bool zcdbGeomCrossesWindow(const ZcDbGeometry& g, const ZcDbPlanWindow& w) {
    ZcDbExtents3d e = zcdbGeomExtents(g);
    if (!e.isValid() || e.max.x < w.xmin || e.min.x > w.xmax || e.max.y < w.ymin || e.min.y > w.ymax)
        return false;
    std::vector<ZcDbGeomPrim> chords;
    return crossesRegion(toPlan(g, chords), windowPolygon(w));
}

bool zcdbGeomInsidePolygon(const ZcDbGeometry& g, const std::vector<ZcGePoint3d>& polygon) {
    std::vector<ZcDbGeomPrim> chords;
    return insideRegion(toPlan(g, chords), planPoints(polygon));
}

bool zcdbGeomCrossesPolygon(const ZcDbGeometry& g, const std::vector<ZcGePoint3d>& polygon) {
    std::vector<ZcDbGeomPrim> chords;
    return crossesRegion(toPlan(g, chords), planPoints(polygon));
}

bool zcdbGeomCrossesFence(const ZcDbGeometry& g, const std::vector<ZcGePoint3d>& fence) {
    std::vector<ZcDbGeomPrim> chords;
    std::vector<Plan> edges = edgesOf(planPoints(fence), false);
    for (const Plan& p : toPlan(g, chords))
        if (crossesAny(p, edges)) return true;
    return false;
}

// ------------------------------------------------------------------ snaps

std::optional<ZcGePoint3d> zcdbGeomSnap(const ZcDbGeometry& g, ZcDbSnapMode mode, const ZcGePoint3d& pick,
                                        double aperture, const ZcGePoint3d& from) {
    std::vector<ZcDbGeomPrim> chords;
    std::vector<Plan> prims = toPlan(g, chords);
    V2 at = plan(pick);
    std::erase_if(prims, [&](const Plan& p) { return p.distance(at) > aperture; });
    std::optional<ZcGePoint3d> best;
    double bestDistance = 0;
    auto offer = [&](const ZcGePoint3d& p, double d) {
        if (d > aperture && mode != ZcDbSnapMode::kCenter) return;
        if (!best || d < bestDistance) {
            best = p;
            bestDistance = d;
        }
    };
    for (std::size_t i = 0; i < prims.size(); ++i) {
        const Plan& p = prims[i];
        bool arc = p.kind == ZcDbGeomPrim::kArc;
        switch (mode) {
            case ZcDbSnapMode::kNear: {
                V2 n = p.nearest(at);
                offer(p.at3d(n), len(n - at));
                break;
            }
            case ZcDbSnapMode::kEnd:
                if (p.kind == ZcDbGeomPrim::kSegment) {
                    offer(p.a3, len(p.a - at));
                    offer(p.b3, len(p.b - at));
                } else if (arc && !p.src->isFullCircle()) {
                    ZcGePoint3d s = p.src->startPoint(), e = p.src->endPoint();
                    offer(s, len(plan(s) - at));
                    offer(e, len(plan(e) - at));
                }
                break;
            case ZcDbSnapMode::kMid:
                if (p.kind == ZcDbGeomPrim::kSegment) {
                    ZcGePoint3d m = p.a3 + (p.b3 - p.a3) * 0.5;
                    offer(m, len(plan(m) - at));
                } else if (arc && !p.src->isFullCircle()) {
                    ZcGePoint3d m = p.src->pointAt(p.src->sweep / 2);
                    offer(m, len(plan(m) - at));
                }
                break;
            case ZcDbSnapMode::kCenter:
                // The curve is picked; its centre is the answer.
                if (arc) offer(p.src->center, p.distance(at));
                break;
            case ZcDbSnapMode::kIntersection:
                for (std::size_t j = i + 1; j < prims.size(); ++j)
                    for (V2 x : intersect(p, prims[j])) offer(p.at3d(x), len(x - at));
                break;
            case ZcDbSnapMode::kPerpendicular: {
                V2 f = plan(from);
                if (p.kind == ZcDbGeomPrim::kSegment) {
                    V2 d = p.b - p.a;
                    double l2 = dot(d, d);
                    if (l2 == 0) break;
                    double t = dot(f - p.a, d) / l2;
                    V2 x = p.a + d * t;
                    offer(p.a3 + (p.b3 - p.a3) * t, len(x - at));
                } else if (arc) {
                    V2 d = f - p.c;
                    if (len(d) == 0) break;
                    for (double s : {1.0, -1.0}) {
                        V2 x = p.c + d * (s * p.r / len(d));
                        if (p.onArc(std::atan2(x.y - p.c.y, x.x - p.c.x))) offer(p.at3d(x), len(x - at));
                    }
                }
                break;
            }
        }
    }
    return best;
}
