// Region, solid and body stand-ins.
#include "host/db/dbsolid.h"

#include <cmath>
#include <numbers>

#include "host/db/dbents.h"
#include "host/db/dbgeom.h"

ZCDB_DEFINE_HOST_CLASS(ZcDbModelerStandIn, ZcDbEntity, "AcDbModelerGeometry", "", false)
ZCDB_DEFINE_HOST_CLASS(ZcDbRegion, ZcDbModelerStandIn, "AcDbRegion", "REGION", true)
ZCDB_DEFINE_HOST_CLASS(ZcDb3dSolid, ZcDbModelerStandIn, "AcDb3dSolid", "3DSOLID", true)
// Never made by the reader: a BODY of another program, with its modeller
// data, stays as it was read.
ZCDB_DEFINE_HOST_CLASS(ZcDbBody, ZcDbModelerStandIn, "AcDbBody", "BODY", false)

namespace {

// Newell's rule: the loop's normal scaled by twice its area.
ZcGeVector3d newell(const ZcDbFaceLoop& loop) {
    ZcGeVector3d n;
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const ZcGePoint3d& p = loop[i];
        const ZcGePoint3d& q = loop[(i + 1) % loop.size()];
        n.x += (p.y - q.y) * (p.z + q.z);
        n.y += (p.z - q.z) * (p.x + q.x);
        n.z += (p.x - q.x) * (p.y + q.y);
    }
    return n;
}

ZcGeVector3d unitNormal(const ZcDbFaceLoop& loop) {
    ZcGeVector3d n = newell(loop);
    return n.length() > 0 ? n / n.length() : ZcGeVector3d(0, 0, 1);
}

bool planar(const ZcDbFaceLoop& loop, const ZcGeVector3d& n) {
    double len = n.length();
    if (len == 0) return false;
    ZcGeVector3d u = n / len;
    double d = loop.front().asVector().dotProduct(u);
    double size = 0;
    for (const ZcGePoint3d& p : loop) size = std::max(size, p.distanceTo(loop.front()));
    for (const ZcGePoint3d& p : loop)
        if (std::fabs(p.asVector().dotProduct(u) - d) > 1e-9 * (1 + size)) return false;
    return true;
}

bool validLoop(const ZcDbCurveLoop& l) {
    if (!l.bulges.empty() && l.bulges.size() != l.points.size()) return false;
    for (double b : l.bulges)
        if (!std::isfinite(b)) return false;
    for (const ZcGePoint3d& p : l.points)
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return false;
    return l.points.size() >= 3;
}

// One edge of a loop in the plane of normal n: a segment, or an arc with
// its centre (WCS), radius and signed sweep (counter-clockwise about n
// when positive).
struct LoopEdge {
    ZcGePoint3d a, b;
    bool arc = false;
    ZcGePoint3d center;
    double radius = 0, sweep = 0;
};

LoopEdge edgeOf(const ZcGePoint3d& a, const ZcGePoint3d& b, double bulge, const ZcGeVector3d& n) {
    LoopEdge e;
    e.a = a;
    e.b = b;
    const double chord = a.distanceTo(b);
    if (bulge == 0 || chord == 0) return e;
    e.arc = true;
    e.sweep = 4 * std::atan(bulge);
    e.radius = chord / (2 * std::fabs(std::sin(e.sweep / 2)));
    // The centre lies off the chord's midpoint, to the left of a to b about
    // n for a counter-clockwise arc of less than half a turn.
    const ZcGeVector3d along = (b - a) / chord;
    const ZcGeVector3d left = n.crossProduct(along);
    const double off = (chord / 2) / std::tan(e.sweep / 2);
    e.center = a + (b - a) * 0.5 + left * off;
    return e;
}

// Twice the area of the circular segment between an edge's chord and its
// arc, signed as the sweep.
double segmentArea(const LoopEdge& e) {
    if (!e.arc) return 0;
    const double s = std::fabs(e.sweep);
    const double a = e.radius * e.radius * (s - std::sin(s)) / 2;
    return e.sweep > 0 ? a : -a;
}

// The loop's area about n, positive when it winds counter-clockwise.
double signedArea(const ZcDbCurveLoop& l, const ZcGeVector3d& n) {
    double a = newell(l.points).dotProduct(n) / 2;
    for (std::size_t k = 0; k < l.bulges.size(); ++k)
        a += segmentArea(edgeOf(l.points[k], l.points[(k + 1) % l.points.size()], l.bulges[k], n));
    return a;
}

// The circle when every edge is an arc of one circle and they go once round.
bool wholeCircle(const ZcDbCurveLoop& l, const ZcGeVector3d& n, LoopEdge& circle) {
    if (l.bulges.size() != l.points.size() || l.points.empty()) return false;
    double total = 0;
    for (std::size_t k = 0; k < l.points.size(); ++k) {
        LoopEdge e = edgeOf(l.points[k], l.points[(k + 1) % l.points.size()], l.bulges[k], n);
        if (!e.arc) return false;
        if (k == 0) {
            circle = e;
        } else {
            const double tol = 1e-9 * (1 + circle.radius);
            if (e.center.distanceTo(circle.center) > tol || std::fabs(e.radius - circle.radius) > tol)
                return false;
        }
        total += e.sweep;
    }
    return std::fabs(std::fabs(total) - 2 * std::numbers::pi) < 1e-9;
}

}  // namespace

ZcDbCurveLoop zcdbCircleLoop(const ZcGePoint3d& center, const ZcGeVector3d& normal, double radius) {
    ZcGeVector3d n = normal.length() > 0 ? normal / normal.length() : ZcGeVector3d(0, 0, 1);
    ZcGeVector3d x = zcdbOcsToWcs(ZcGePoint3d(1, 0, 0), n).asVector();
    ZcGeVector3d y = n.crossProduct(x);
    ZcDbCurveLoop l;
    const ZcGeVector3d dirs[4] = {x, y, -x, -y};
    for (const ZcGeVector3d& d : dirs) {
        l.points.push_back(center + d * radius);
        l.bulges.push_back(std::tan(std::numbers::pi / 8));
    }
    return l;
}

// ------------------------------------------------------------------ filing

Zcad::ErrorStatus ZcDbModelerStandIn::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeInt32(static_cast<std::int32_t>(m_loops.size()));
    for (std::size_t i = 0; i < m_loops.size(); ++i) {
        const ZcDbFaceLoop& l = m_loops[i];
        f->writeInt32(static_cast<std::int32_t>(l.size()));
        f->writeInt16(loopFlags(i));
        for (std::size_t k = 0; k < l.size(); ++k) {
            f->writePoint3d(l[k]);
            f->writeDouble(bulgeAt(i, k));
        }
    }
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbModelerStandIn::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    std::int32_t n = 0;
    f->readInt32(&n);
    std::vector<ZcDbCurveLoop> loops;
    std::vector<std::int16_t> flags;
    for (std::int32_t i = 0; i < n && f->filerStatus() == Zcad::eOk; ++i) {
        std::int32_t m = 0;
        std::int16_t fl = 0;
        f->readInt32(&m);
        f->readInt16(&fl);
        ZcDbCurveLoop l;
        for (std::int32_t k = 0; k < m && f->filerStatus() == Zcad::eOk; ++k) {
            ZcGePoint3d p;
            double b = 0;
            f->readPoint3d(&p);
            f->readDouble(&b);
            l.points.push_back(p);
            l.bulges.push_back(b);
        }
        loops.push_back(std::move(l));
        flags.push_back(fl);
    }
    if (f->filerStatus() == Zcad::eOk) setCurveLoops(std::move(loops), std::move(flags));
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbModelerStandIn::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDbModelerGeometry");
    f->writeInt16(70, 1);
    f->writeString(100, marker());
    f->writeInt32(90, static_cast<std::int32_t>(m_loops.size()));
    for (std::size_t i = 0; i < m_loops.size(); ++i) {
        const ZcDbFaceLoop& l = m_loops[i];
        f->writeInt32(91, static_cast<std::int32_t>(l.size()));
        if (loopFlags(i) != 0) f->writeInt16(72, loopFlags(i));
        for (std::size_t k = 0; k < l.size(); ++k) {
            f->writePoint3d(10, l[k]);
            if (bulgeAt(i, k) != 0) f->writeDouble(42, bulgeAt(i, k));
        }
    }
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbModelerStandIn::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (f->atSubclassData("AcDbModelerGeometry")) {
        es = zcdbDxfReadSection(f, [](ZcDbFields& v) {
            std::int16_t version = 0;
            v.i16(70, version);
        });
        if (es != Zcad::eOk) return es;
    }
    if (!f->atSubclassData(marker())) return f->filerStatus();
    std::vector<ZcDbCurveLoop> loops;
    std::vector<std::int16_t> flags;
    std::int32_t expected = -1;
    ZcDbDxfItem it;
    while (f->readItem(it) == Zcad::eOk) {
        if (it.code == 91) {
            loops.emplace_back();
            flags.push_back(0);
        } else if (it.code == 10 || it.code == 42 || it.code == 72) {
            if (loops.empty() || (it.code == 42 && loops.back().points.empty())) {
                f->setError(Zcad::eBadDxfSequence, it.code == 10   ? "point before its loop"
                                                   : it.code == 42 ? "bulge before its point"
                                                                   : "loop flags before their loop");
                return f->filerStatus();
            }
            ZcDbCurveLoop& l = loops.back();
            if (it.code == 10) {
                l.points.push_back(it.point());
                l.bulges.push_back(0);
            } else if (it.code == 42) {
                l.bulges.back() = it.real[0];
            } else {
                flags.back() = static_cast<std::int16_t>(it.integer);
            }
        } else if (it.code == 90) {
            expected = static_cast<std::int32_t>(it.integer);
        } else {
            f->pushBackItem();
            break;
        }
    }
    if (f->filerStatus() != Zcad::eOk) return f->filerStatus();
    if (expected >= 0 && expected != static_cast<std::int32_t>(loops.size())) {
        f->setError(Zcad::eBadDxfSequence, "loop count");
        return f->filerStatus();
    }
    for (const ZcDbCurveLoop& l : loops)
        for (double b : l.bulges)
            if (!std::isfinite(b)) {
                f->setError(Zcad::eBadDxfSequence, "bulge");
                return f->filerStatus();
            }
    setCurveLoops(std::move(loops), std::move(flags));
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbModelerStandIn::transformBy(const ZcDbXform& x) {
    assertWriteEnabled();
    for (ZcDbFaceLoop& l : m_loops)
        for (ZcGePoint3d& p : l) p = x.apply(p);
    return Zcad::eOk;
}

double ZcDbModelerStandIn::bulgeAt(std::size_t i, std::size_t k) const {
    if (i >= m_bulges.size() || k >= m_bulges[i].size()) return 0;
    return m_bulges[i][k];
}

void ZcDbModelerStandIn::edgeGeometry(std::vector<ZcDbGeomPrim>& out) const {
    // A hole's bulges turn about its face's normal, the normal of the outer
    // loop before it; a curved face's boundary has only its own.
    ZcGeVector3d n(0, 0, 1);
    for (std::size_t i = 0; i < m_loops.size(); ++i) {
        const ZcDbFaceLoop& l = m_loops[i];
        if (l.empty()) continue;
        if (i == 0 || !(loopFlags(i) & kHole)) n = unitNormal(l);
        for (std::size_t k = 0; k < l.size(); ++k) {
            const LoopEdge e = edgeOf(l[k], l[(k + 1) % l.size()], bulgeAt(i, k), n);
            if (!e.arc) {
                out.push_back(ZcDbGeomPrim::segment(e.a, e.b));
                continue;
            }
            // Run counter-clockwise about n from whichever end starts it.
            ZcDbGeomPrim arc;
            arc.kind = ZcDbGeomPrim::kArc;
            arc.center = e.center;
            arc.radius = e.radius;
            arc.sweep = std::fabs(e.sweep);
            arc.u = ((e.sweep > 0 ? e.a : e.b) - e.center) / e.radius;
            arc.v = n.crossProduct(arc.u);
            out.push_back(arc);
        }
    }
}

ZcDbCurveLoop ZcDbModelerStandIn::curveLoop(std::size_t i) const {
    ZcDbCurveLoop l{m_loops[i], {}};
    for (std::size_t k = 0; k < l.points.size(); ++k) l.bulges.push_back(bulgeAt(i, k));
    return l;
}

void ZcDbModelerStandIn::setCurveLoops(std::vector<ZcDbCurveLoop> loops, std::vector<std::int16_t> flags) {
    m_loops.clear();
    m_bulges.clear();
    bool curved = false, flagged = false;
    for (ZcDbCurveLoop& l : loops) {
        for (double b : l.bulges) curved = curved || b != 0;
        m_loops.push_back(std::move(l.points));
        m_bulges.push_back(std::move(l.bulges));
    }
    for (std::int16_t fl : flags) flagged = flagged || fl != 0;
    // Straight loops keep no bulges, so that they file as they always did.
    if (!curved) m_bulges.clear();
    m_flags = flagged ? std::move(flags) : std::vector<std::int16_t>{};
}

// ------------------------------------------------------------------ region

Zcad::ErrorStatus ZcDbRegion::setLoops(std::vector<ZcDbFaceLoop> loops) {
    std::vector<ZcDbCurveLoop> curves;
    for (ZcDbFaceLoop& l : loops) curves.push_back({std::move(l), {}});
    return setLoops(std::move(curves));
}

Zcad::ErrorStatus ZcDbRegion::setLoops(std::vector<ZcDbCurveLoop> loops) {
    if (loops.empty()) return Zcad::eInvalidInput;
    for (const ZcDbCurveLoop& l : loops)
        if (!validLoop(l)) return Zcad::eInvalidInput;
    ZcGeVector3d n = newell(loops.front().points);
    for (const ZcDbCurveLoop& l : loops)
        if (!planar(l.points, n)) return Zcad::eInvalidInput;
    assertWriteEnabled();
    setCurveLoops(std::move(loops), {});
    return Zcad::eOk;
}

ZcGeVector3d ZcDbRegion::normal() const {
    if (m_loops.empty()) return {0, 0, 1};
    return unitNormal(m_loops.front());
}

double ZcDbRegion::area() const {
    const ZcGeVector3d n = normal();
    double a = 0;
    for (std::size_t i = 0; i < m_loops.size(); ++i) {
        double la = std::fabs(signedArea(curveLoop(i), n));
        a += i == 0 ? la : -la;
    }
    return a;
}

Zcad::ErrorStatus ZcDbRegion::explode(std::vector<ZcDbEntity*>& out) const {
    const ZcGeVector3d n = normal();
    auto angleOf = [&n](const ZcGePoint3d& p, const ZcGePoint3d& c) {
        ZcGePoint3d po = zcdbWcsToOcs(p, n), co = zcdbWcsToOcs(c, n);
        return std::atan2(po.y - co.y, po.x - co.x);
    };
    auto add = [&](ZcDbEntity* e) {
        copyPropertiesTo(e);
        out.push_back(e);
    };
    for (std::size_t i = 0; i < m_loops.size(); ++i) {
        const ZcDbCurveLoop l = curveLoop(i);
        LoopEdge circle;
        if (wholeCircle(l, n, circle)) {
            add(new ZcDbCircle(circle.center, n, circle.radius));
            continue;
        }
        for (std::size_t k = 0; k < l.points.size(); ++k) {
            LoopEdge e = edgeOf(l.points[k], l.points[(k + 1) % l.points.size()], l.bulges[k], n);
            if (!e.arc) {
                if (e.a.distanceTo(e.b) > 0) add(new ZcDbLine(e.a, e.b));
                continue;
            }
            // An arc runs counter-clockwise: one turning the other way is
            // the same arc from its end.
            const ZcGePoint3d& from = e.sweep > 0 ? e.a : e.b;
            const ZcGePoint3d& to = e.sweep > 0 ? e.b : e.a;
            add(new ZcDbArc(e.center, n, e.radius, angleOf(from, e.center), angleOf(to, e.center)));
        }
    }
    return Zcad::eOk;
}

// ------------------------------------------------------------------- solid

Zcad::ErrorStatus ZcDb3dSolid::setFaces(std::vector<ZcDbFaceLoop> faces) {
    for (const ZcDbFaceLoop& f : faces)
        if (f.size() < 3 || !planar(f, newell(f))) return Zcad::eInvalidInput;
    assertWriteEnabled();
    std::vector<ZcDbCurveLoop> loops;
    for (ZcDbFaceLoop& f : faces) loops.push_back({std::move(f), {}});
    setCurveLoops(std::move(loops), {});
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDb3dSolid::addFace(std::vector<ZcDbCurveLoop> loops) {
    if (loops.empty()) return Zcad::eInvalidInput;
    for (const ZcDbCurveLoop& l : loops)
        if (!validLoop(l)) return Zcad::eInvalidInput;
    ZcGeVector3d n = newell(loops.front().points);
    for (const ZcDbCurveLoop& l : loops)
        if (!planar(l.points, n)) return Zcad::eInvalidInput;
    assertWriteEnabled();
    std::vector<ZcDbCurveLoop> all;
    std::vector<std::int16_t> flags;
    for (std::size_t i = 0; i < m_loops.size(); ++i) {
        all.push_back(curveLoop(i));
        flags.push_back(loopFlags(i));
    }
    for (std::size_t i = 0; i < loops.size(); ++i) {
        all.push_back(std::move(loops[i]));
        flags.push_back(i == 0 ? 0 : kHole);
    }
    setCurveLoops(std::move(all), std::move(flags));
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDb3dSolid::addCurvedFace(ZcDbCurveLoop boundary) {
    if (!validLoop(boundary)) return Zcad::eInvalidInput;
    assertWriteEnabled();
    std::vector<ZcDbCurveLoop> all;
    std::vector<std::int16_t> flags;
    for (std::size_t i = 0; i < m_loops.size(); ++i) {
        all.push_back(curveLoop(i));
        flags.push_back(loopFlags(i));
    }
    all.push_back(std::move(boundary));
    flags.push_back(kCurved);
    setCurveLoops(std::move(all), std::move(flags));
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDb3dSolid::createBox(const ZcGePoint3d& a, const ZcGePoint3d& b) {
    double x0 = std::min(a.x, b.x), x1 = std::max(a.x, b.x), y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y),
           z0 = std::min(a.z, b.z), z1 = std::max(a.z, b.z);
    if (x0 == x1 || y0 == y1 || z0 == z1) return Zcad::eInvalidInput;
    // Faces wind counter-clockwise seen from outside.
    return setFaces({{{x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}, {x1, y0, z0}},
                     {{x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}},
                     {{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}},
                     {{x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}, {x1, y0, z1}},
                     {{x1, y1, z0}, {x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1}},
                     {{x0, y1, z0}, {x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}}});
}

Zcad::ErrorStatus ZcDb3dSolid::explode(std::vector<ZcDbEntity*>& out) const {
    for (std::size_t i = 0; i < m_loops.size();) {
        if (loopFlags(i) & kCurved) {
            auto* body = new ZcDbBody;
            copyPropertiesTo(body);
            body->setCurveLoops({curveLoop(i)}, {});
            out.push_back(body);
            ++i;
            continue;
        }
        std::vector<ZcDbCurveLoop> face{curveLoop(i)};
        for (++i; i < m_loops.size() && (loopFlags(i) & kHole); ++i) face.push_back(curveLoop(i));
        auto* r = new ZcDbRegion;
        copyPropertiesTo(r);
        if (r->setLoops(std::move(face)) != Zcad::eOk) {
            delete r;
            continue;
        }
        out.push_back(r);
    }
    return Zcad::eOk;
}
