// Region and solid stand-ins.
#include "host/db/dbsolid.h"

#include <cmath>

#include "host/db/dbpoly.h"

ZCDB_DEFINE_HOST_CLASS(ZcDbModelerStandIn, ZcDbEntity, "AcDbModelerGeometry", "", false)
ZCDB_DEFINE_HOST_CLASS(ZcDbRegion, ZcDbModelerStandIn, "AcDbRegion", "REGION", true)
ZCDB_DEFINE_HOST_CLASS(ZcDb3dSolid, ZcDbModelerStandIn, "AcDb3dSolid", "3DSOLID", true)

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

}  // namespace

Zcad::ErrorStatus ZcDbModelerStandIn::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeInt32(static_cast<std::int32_t>(m_loops.size()));
    for (const ZcDbFaceLoop& l : m_loops) {
        f->writeInt32(static_cast<std::int32_t>(l.size()));
        for (const ZcGePoint3d& p : l) f->writePoint3d(p);
    }
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbModelerStandIn::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    std::int32_t n = 0;
    f->readInt32(&n);
    std::vector<ZcDbFaceLoop> loops;
    for (std::int32_t i = 0; i < n && f->filerStatus() == Zcad::eOk; ++i) {
        std::int32_t m = 0;
        f->readInt32(&m);
        ZcDbFaceLoop l;
        for (std::int32_t k = 0; k < m && f->filerStatus() == Zcad::eOk; ++k) {
            ZcGePoint3d p;
            f->readPoint3d(&p);
            l.push_back(p);
        }
        loops.push_back(std::move(l));
    }
    if (f->filerStatus() == Zcad::eOk) m_loops = std::move(loops);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbModelerStandIn::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDbModelerGeometry");
    f->writeInt16(70, 1);
    f->writeString(100, marker());
    f->writeInt32(90, static_cast<std::int32_t>(m_loops.size()));
    for (const ZcDbFaceLoop& l : m_loops) {
        f->writeInt32(91, static_cast<std::int32_t>(l.size()));
        for (const ZcGePoint3d& p : l) f->writePoint3d(10, p);
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
    std::vector<ZcDbFaceLoop> loops;
    std::int32_t expected = -1;
    ZcDbDxfItem it;
    while (f->readItem(it) == Zcad::eOk) {
        if (it.code == 91) {
            loops.emplace_back();
        } else if (it.code == 10) {
            if (loops.empty()) {
                f->setError(Zcad::eBadDxfSequence, "point before its loop");
                return f->filerStatus();
            }
            loops.back().push_back(it.point());
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
    m_loops = std::move(loops);
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbModelerStandIn::transformBy(const ZcDbXform& x) {
    assertWriteEnabled();
    for (ZcDbFaceLoop& l : m_loops)
        for (ZcGePoint3d& p : l) p = x.apply(p);
    return Zcad::eOk;
}

// ------------------------------------------------------------------ region

Zcad::ErrorStatus ZcDbRegion::setLoops(std::vector<ZcDbFaceLoop> loops) {
    if (loops.empty() || loops.front().size() < 3) return Zcad::eInvalidInput;
    ZcGeVector3d n = newell(loops.front());
    for (const ZcDbFaceLoop& l : loops)
        if (l.size() < 3 || !planar(l, n)) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_loops = std::move(loops);
    return Zcad::eOk;
}

ZcGeVector3d ZcDbRegion::normal() const {
    if (m_loops.empty()) return {0, 0, 1};
    ZcGeVector3d n = newell(m_loops.front());
    return n.length() > 0 ? n / n.length() : ZcGeVector3d(0, 0, 1);
}

double ZcDbRegion::area() const {
    double a = 0;
    for (std::size_t i = 0; i < m_loops.size(); ++i) {
        double la = newell(m_loops[i]).length() / 2;
        a += i == 0 ? la : -la;
    }
    return a;
}

Zcad::ErrorStatus ZcDbRegion::explode(std::vector<ZcDbEntity*>& out) const {
    ZcGeVector3d n = normal();
    for (const ZcDbFaceLoop& l : m_loops) {
        auto* pl = new ZcDbPolyline;
        copyPropertiesTo(pl);
        pl->setNormal(n);
        for (std::size_t i = 0; i < l.size(); ++i) {
            ZcGePoint3d o = zcdbWcsToOcs(l[i], n);
            if (i == 0) pl->setElevation(o.z);
            pl->addVertexAt(static_cast<unsigned>(i), {o.x, o.y});
        }
        pl->setClosed(true);
        out.push_back(pl);
    }
    return Zcad::eOk;
}

// ------------------------------------------------------------------- solid

Zcad::ErrorStatus ZcDb3dSolid::setFaces(std::vector<ZcDbFaceLoop> faces) {
    for (const ZcDbFaceLoop& f : faces)
        if (f.size() < 3 || !planar(f, newell(f))) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_loops = std::move(faces);
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
    for (const ZcDbFaceLoop& f : m_loops) {
        auto* r = new ZcDbRegion;
        copyPropertiesTo(r);
        r->setLoops({f});
        out.push_back(r);
    }
    return Zcad::eOk;
}
