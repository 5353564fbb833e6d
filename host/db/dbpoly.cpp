// Polylines and their vertices.
#include "host/db/dbpoly.h"

#include <cmath>

#include "host/db/dbdatabase.h"
#include "host/db/dbfilerlist.h"

ZCDB_DEFINE_HOST_CLASS(ZcDbPolyline, ZcDbEntity, "AcDbPolyline", "LWPOLYLINE", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbSequenceEnd, ZcDbEntity, "AcDbSequenceEnd", "SEQEND", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbVertex, ZcDbEntity, "AcDbVertex", "VERTEX", true)
ZCDB_DEFINE_HOST_CLASS(ZcDb2dPolyline, ZcDbEntity, "AcDb2dPolyline", "POLYLINE", true)

namespace {

ZcGeVector3d unitOr(const ZcGeVector3d& v, const ZcGeVector3d& fallback) {
    double l = v.length();
    return l > 0 ? v / l : fallback;
}

}  // namespace

// -------------------------------------------------------------- LWPOLYLINE

void ZcDbPolyline::fields(ZcDbFields& v) {
    // DWG only: the vertex list is filed by hand around this.
    v.i16(70, m_flags);
    v.real(38, m_elevation);
    v.realOpt(39, m_thickness);
    v.normal(210, m_normal);
}

Zcad::ErrorStatus ZcDbPolyline::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, true);
    const_cast<ZcDbPolyline*>(this)->fields(v);
    zcdbWriteCounted(f, m_verts, [f](const Vertex& vx) {
        f->writePoint2d(vx.point);
        f->writeDouble(vx.bulge);
        f->writeDouble(vx.startWidth);
        f->writeDouble(vx.endWidth);
    });
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbPolyline::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, false);
    fields(v);
    std::vector<Vertex> verts = zcdbReadCounted(f, [f] {
        Vertex vx;
        f->readPoint2d(&vx.point);
        f->readDouble(&vx.bulge);
        f->readDouble(&vx.startWidth);
        f->readDouble(&vx.endWidth);
        return vx;
    });
    if (f->filerStatus() == Zcad::eOk) m_verts = std::move(verts);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbPolyline::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDbPolyline");
    f->writeInt32(90, static_cast<std::int32_t>(m_verts.size()));
    f->writeInt16(70, m_flags);
    double cw = 0;
    bool constant = getConstantWidth(cw);
    if (constant) f->writeDouble(43, cw);
    if (m_elevation != 0) f->writeDouble(38, m_elevation);
    if (m_thickness != 0) f->writeDouble(39, m_thickness);
    for (const Vertex& vx : m_verts) {
        f->writePoint2d(10, vx.point);
        if (!constant) {
            f->writeDouble(40, vx.startWidth);
            f->writeDouble(41, vx.endWidth);
        }
        if (vx.bulge != 0) f->writeDouble(42, vx.bulge);
    }
    if (f->includesDefaultValues() || m_normal.x != 0 || m_normal.y != 0 || m_normal.z != 1)
        f->writeVector3d(210, m_normal);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbPolyline::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("AcDbPolyline")) return f->filerStatus();
    std::vector<Vertex> verts;
    std::int16_t flags = m_flags;
    double elevation = 0, thickness = 0, cw = 0;
    ZcGeVector3d normal{0, 0, 1};
    std::int32_t count = -1;
    ZcDbDxfItem it;
    while (f->readItem(it) == Zcad::eOk) {
        switch (it.code) {
            case 90:
                count = static_cast<std::int32_t>(it.integer);
                break;
            case 70:
                flags = static_cast<std::int16_t>(it.integer);
                break;
            case 43:
                cw = it.real[0];
                break;
            case 38:
                elevation = it.real[0];
                break;
            case 39:
                thickness = it.real[0];
                break;
            case 10: {
                Vertex vx;
                vx.point = {it.real[0], it.real[1]};
                vx.startWidth = vx.endWidth = cw;
                verts.push_back(vx);
                break;
            }
            case 40:
            case 41:
            case 42:
                if (verts.empty()) {
                    f->setError(Zcad::eBadDxfSequence,
                                "group " + std::to_string(it.code) + " before the first vertex");
                    return f->filerStatus();
                }
                (it.code == 40   ? verts.back().startWidth
                 : it.code == 41 ? verts.back().endWidth
                                 : verts.back().bulge) = it.real[0];
                break;
            case 91:
                break;  // vertex identifiers: not kept
            case 210:
                normal = {it.real[0], it.real[1], it.real[2]};
                break;
            default:
                if (it.code == 0 || it.code == 100 || it.code >= 1000 || f->markerless()) {
                    f->pushBackItem();
                    goto done;
                }
        }
    }
done:
    if (f->filerStatus() != Zcad::eOk) return f->filerStatus();
    if (count >= 0 && count != static_cast<std::int32_t>(verts.size())) {
        f->setError(Zcad::eBadDxfSequence, "vertex count " + std::to_string(count) + " but " +
                                               std::to_string(verts.size()) + " vertices");
        return f->filerStatus();
    }
    if (normal.isZeroLength()) {
        f->setError(Zcad::eInvalidInput, "zero normal");
        return f->filerStatus();
    }
    m_verts = std::move(verts);
    m_flags = flags;
    m_elevation = elevation;
    m_thickness = thickness;
    m_normal = normal / normal.length();
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbPolyline::addVertexAt(unsigned int index, const ZcGePoint2d& pt, double bulge,
                                            double startWidth, double endWidth) {
    if (index > m_verts.size()) return Zcad::eInvalidIndex;
    assertWriteEnabled();
    Vertex vx;
    vx.point = pt;
    vx.bulge = bulge;
    vx.startWidth = startWidth < 0 ? 0 : startWidth;
    vx.endWidth = endWidth < 0 ? 0 : endWidth;
    m_verts.insert(m_verts.begin() + index, vx);
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbPolyline::removeVertexAt(unsigned int index) {
    if (index >= m_verts.size()) return Zcad::eInvalidIndex;
    assertWriteEnabled();
    m_verts.erase(m_verts.begin() + index);
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbPolyline::getPointAt(unsigned int index, ZcGePoint2d& pt) const {
    if (index >= m_verts.size()) return Zcad::eInvalidIndex;
    pt = m_verts[index].point;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbPolyline::getPointAt(unsigned int index, ZcGePoint3d& pt) const {
    if (index >= m_verts.size()) return Zcad::eInvalidIndex;
    pt = zcdbOcsToWcs({m_verts[index].point.x, m_verts[index].point.y, m_elevation}, m_normal);
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbPolyline::setPointAt(unsigned int index, const ZcGePoint2d& pt) {
    if (index >= m_verts.size()) return Zcad::eInvalidIndex;
    assertWriteEnabled();
    m_verts[index].point = pt;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbPolyline::getBulgeAt(unsigned int index, double& bulge) const {
    if (index >= m_verts.size()) return Zcad::eInvalidIndex;
    bulge = m_verts[index].bulge;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbPolyline::setBulgeAt(unsigned int index, double bulge) {
    if (index >= m_verts.size()) return Zcad::eInvalidIndex;
    assertWriteEnabled();
    m_verts[index].bulge = bulge;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbPolyline::getWidthsAt(unsigned int index, double& s, double& e) const {
    if (index >= m_verts.size()) return Zcad::eInvalidIndex;
    s = m_verts[index].startWidth;
    e = m_verts[index].endWidth;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbPolyline::setWidthsAt(unsigned int index, double s, double e) {
    if (index >= m_verts.size()) return Zcad::eInvalidIndex;
    if (s < 0 || e < 0) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_verts[index].startWidth = s;
    m_verts[index].endWidth = e;
    return Zcad::eOk;
}

void ZcDbPolyline::setClosed(bool closed) {
    assertWriteEnabled();
    m_flags = static_cast<std::int16_t>(closed ? (m_flags | 1) : (m_flags & ~1));
}

void ZcDbPolyline::setPlinegen(bool on) {
    assertWriteEnabled();
    m_flags = static_cast<std::int16_t>(on ? (m_flags | 128) : (m_flags & ~128));
}

void ZcDbPolyline::setElevation(double z) {
    assertWriteEnabled();
    m_elevation = z;
}

Zcad::ErrorStatus ZcDbPolyline::setThickness(double t) {
    assertWriteEnabled();
    m_thickness = t;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbPolyline::setNormal(const ZcGeVector3d& n) {
    if (n.isZeroLength()) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_normal = n / n.length();
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbPolyline::getArea(double& area) const {
    assertReadEnabled();
    area = 0;
    const std::size_t n = m_verts.size();
    if (n < 2) return Zcad::eInvalidInput;
    double twice = 0;  // twice the signed area of the chords' polygon
    double arcs = 0;   // the circular segments, signed as their bulges
    for (std::size_t i = 0; i < n; ++i) {
        const ZcGePoint2d& p = m_verts[i].point;
        const ZcGePoint2d& q = m_verts[(i + 1) % n].point;
        twice += p.x * q.y - q.x * p.y;
        // The last segment counts its bulge only when the polyline closes.
        const double bulge = i + 1 < n || isClosed() ? m_verts[i].bulge : 0.0;
        if (bulge == 0) continue;
        const double chord = std::hypot(q.x - p.x, q.y - p.y);
        const double theta = 4 * std::atan(std::fabs(bulge));  // the arc's included angle
        const double r = chord / (2 * std::sin(theta / 2));
        arcs += std::copysign(r * r * (theta - std::sin(theta)) / 2, bulge);
    }
    area = std::fabs(twice / 2 + arcs);
    return Zcad::eOk;
}

bool ZcDbPolyline::getConstantWidth(double& width) const {
    width = 0;
    if (m_verts.empty()) return true;
    width = m_verts[0].startWidth;
    for (const Vertex& vx : m_verts)
        if (vx.startWidth != width || vx.endWidth != width) return false;
    return true;
}

Zcad::ErrorStatus ZcDbPolyline::setConstantWidth(double width) {
    if (width < 0) return Zcad::eInvalidInput;
    assertWriteEnabled();
    for (Vertex& vx : m_verts) vx.startWidth = vx.endWidth = width;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbPolyline::transformBy(const ZcDbXform& x) {
    if (!x.isUniscaledOrtho()) return Zcad::eNotApplicable;
    assertWriteEnabled();
    ZcGeVector3d n = unitOr(x.apply(m_normal), m_normal);
    bool mirrored = x.det() < 0;
    if (mirrored) n = -n;
    double s = x.scale();
    double elevation = m_elevation;
    for (std::size_t i = 0; i < m_verts.size(); ++i) {
        Vertex& vx = m_verts[i];
        ZcGePoint3d w = x.apply(zcdbOcsToWcs({vx.point.x, vx.point.y, m_elevation}, m_normal));
        ZcGePoint3d o = zcdbWcsToOcs(w, n);
        vx.point = {o.x, o.y};
        if (i == 0) elevation = o.z;
        vx.startWidth *= s;
        vx.endWidth *= s;
        // Flipping the plane's normal keeps arcs turning the same way on
        // screen; a mirror without that flip would reverse them.
    }
    if (m_verts.empty()) elevation = zcdbWcsToOcs(x.apply(zcdbOcsToWcs({0, 0, m_elevation}, m_normal)), n).z;
    m_elevation = elevation;
    m_normal = n;
    m_thickness *= s;
    return Zcad::eOk;
}

// ------------------------------------------------------------------ VERTEX

void ZcDbVertex::fields(ZcDbFields& v) {
    v.pt(10, m_position);
    v.real(40, m_startWidth);
    v.real(41, m_endWidth);
    v.real(42, m_bulge);
    v.i16(70, m_flags);
    v.real(50, m_tangent);
    v.i16(71, m_face[0]);
    v.i16(72, m_face[1]);
    v.i16(73, m_face[2]);
    v.i16(74, m_face[3]);
}

Zcad::ErrorStatus ZcDbVertex::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, true);
    const_cast<ZcDbVertex*>(this)->fields(v);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbVertex::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, false);
    fields(v);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbVertex::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDbVertex");
    const char* marker = isFaceRecord()   ? "AcDbFaceRecord"
                         : (m_flags & 64) ? "AcDbPolyFaceMeshVertex"
                         : (m_flags & 32) ? "AcDb3dPolylineVertex"
                                          : "AcDb2dVertex";
    f->writeString(100, marker);
    f->writePoint3d(10, m_position);
    if (!(m_flags & (32 | 64 | 128))) {
        f->writeDouble(40, m_startWidth);
        f->writeDouble(41, m_endWidth);
        f->writeDouble(42, m_bulge);
    }
    f->writeInt16(70, m_flags);
    if (m_flags & 2) f->writeDouble(50, m_tangent);
    if (m_flags & 128)
        for (int i = 0; i < 4; ++i)
            if (m_face[i] != 0 || i < 3) f->writeInt16(71 + i, m_face[i]);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbVertex::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("AcDbVertex")) return f->filerStatus();
    // The second marker names the vertex kind; the flags say the same.
    for (const char* m : {"AcDb2dVertex", "AcDb3dPolylineVertex", "AcDbPolyFaceMeshVertex", "AcDbFaceRecord"})
        if (f->atSubclassData(m)) break;
    return zcdbDxfReadSection(f, [this](ZcDbFields& v) { fields(v); });
}

Zcad::ErrorStatus ZcDbVertex::setPosition(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_position = p;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbVertex::setBulge(double b) {
    assertWriteEnabled();
    m_bulge = b;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbVertex::setWidths(double s, double e) {
    if (s < 0 || e < 0) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_startWidth = s;
    m_endWidth = e;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbVertex::setVertexFlags(int fl) {
    assertWriteEnabled();
    m_flags = static_cast<std::int16_t>(fl);
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbVertex::getVertexAt(int i, std::int16_t& index) const {
    if (i < 0 || i > 3) return Zcad::eInvalidIndex;
    index = m_face[i];
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbVertex::setVertexAt(int i, std::int16_t index) {
    if (i < 0 || i > 3) return Zcad::eInvalidIndex;
    assertWriteEnabled();
    m_face[i] = index;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbVertex::transformBy(const ZcDbXform& x) {
    // A 2D vertex lives in its polyline's OCS: its owner moves it.
    assertWriteEnabled();
    if (!isFaceRecord()) m_position = x.apply(m_position);
    m_startWidth *= x.scale();
    m_endWidth *= x.scale();
    return Zcad::eOk;
}

// ---------------------------------------------------------------- POLYLINE

ZcDb2dPolyline::~ZcDb2dPolyline() = default;

void ZcDb2dPolyline::fields(ZcDbFields& v) {
    v.pt(10, m_elevation);
    v.realOpt(39, m_thickness);
    v.i16(70, m_flags);
    v.real(40, m_startWidth);
    v.real(41, m_endWidth);
    v.i16(71, m_countM);
    v.i16(72, m_countN);
    v.normal(210, m_normal);
}

Zcad::ErrorStatus ZcDb2dPolyline::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, true);
    const_cast<ZcDb2dPolyline*>(this)->fields(v);
    m_vertices.dwgOut(f);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDb2dPolyline::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, false);
    fields(v);
    return m_vertices.dwgIn(f);
}

Zcad::ErrorStatus ZcDb2dPolyline::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, isPolyFaceMesh() ? "AcDbPolyFaceMesh" : is3d() ? "AcDb3dPolyline" : "AcDb2dPolyline");
    f->writeInt16(66, 1);
    f->writePoint3d(10, m_elevation);
    if (m_thickness != 0) f->writeDouble(39, m_thickness);
    f->writeInt16(70, m_flags);
    if (m_startWidth != 0) f->writeDouble(40, m_startWidth);
    if (m_endWidth != 0) f->writeDouble(41, m_endWidth);
    if (isPolyFaceMesh()) {
        f->writeInt16(71, m_countM);
        f->writeInt16(72, m_countN);
    }
    if (f->includesDefaultValues() || m_normal.x != 0 || m_normal.y != 0 || m_normal.z != 1)
        f->writeVector3d(210, m_normal);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDb2dPolyline::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    bool found = false;
    for (const char* m : {"AcDb2dPolyline", "AcDb3dPolyline", "AcDbPolyFaceMesh", "AcDbPolygonMesh"})
        if ((found = f->atSubclassData(m))) break;
    if (!found) return f->filerStatus();
    return zcdbDxfReadSection(f, [this](ZcDbFields& v) {
        std::int16_t follows = 0;
        v.i16(66, follows);
        fields(v);
    });
}

Zcad::ErrorStatus ZcDb2dPolyline::setPolylineFlags(int flags) {
    assertWriteEnabled();
    m_flags = static_cast<std::int16_t>(flags);
    return Zcad::eOk;
}
void ZcDb2dPolyline::makeClosed() {
    assertWriteEnabled();
    m_flags = static_cast<std::int16_t>(m_flags | kClosed);
}
void ZcDb2dPolyline::makeOpen() {
    assertWriteEnabled();
    m_flags = static_cast<std::int16_t>(m_flags & ~kClosed);
}
void ZcDb2dPolyline::setElevation(double z) {
    assertWriteEnabled();
    m_elevation = {0, 0, z};
}
Zcad::ErrorStatus ZcDb2dPolyline::setNormal(const ZcGeVector3d& n) {
    if (n.isZeroLength()) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_normal = n / n.length();
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDb2dPolyline::setDefaultWidths(double s, double e) {
    if (s < 0 || e < 0) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_startWidth = s;
    m_endWidth = e;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDb2dPolyline::appendVertex(ZcDbVertex* vertex) {
    ZcDbObjectId id;
    return appendVertex(id, vertex);
}

Zcad::ErrorStatus ZcDb2dPolyline::appendVertex(ZcDbObjectId& id, ZcDbVertex* vertex) {
    id = ZcDbObjectId();
    if (!vertex) return Zcad::eNullObjectPointer;
    if (vertex->isDbResident()) return Zcad::eAlreadyInDb;
    if (!isWriteEnabled()) return Zcad::eNotOpenForWrite;
    assertWriteEnabled();
    int vf = vertex->vertexFlags();
    if (is3d()) vf |= ZcDbVertex::k3dPolylineVertex;
    vertex->setVertexFlags(vf);
    copyPropertiesTo(vertex);
    if (isPolyFaceMesh()) {
        if ((vf & 128) && !(vf & 64))
            ++m_countN;
        else
            ++m_countM;
    }
    return m_vertices.append(*this, id, vertex);
}

std::vector<ZcDbObjectId> ZcDb2dPolyline::vertexIds(bool skipErased) const {
    return m_vertices.ids(skipErased);
}

std::size_t ZcDb2dPolyline::numVertices() const {
    return vertexIds().size() + m_vertices.heldCount();
}

void ZcDb2dPolyline::subAppendedToDb(ZcDbDatabase* db) {
    m_vertices.appendHeld(*this, db);
    if (m_vertices.seqend().isNull()) {
        auto* end = new ZcDbSequenceEnd;
        copyPropertiesTo(end);
        m_vertices.appendSeqend(*this, db, end);
    }
}

Zcad::ErrorStatus ZcDb2dPolyline::transformBy(const ZcDbXform& x) {
    if (!x.isUniscaledOrtho()) return Zcad::eNotApplicable;
    assertWriteEnabled();
    ZcGeVector3d n = unitOr(x.apply(m_normal), m_normal);
    double elevation = m_elevation.z;
    bool first = true;
    auto moveOne = [&](ZcDbVertex* v) {
        if (v->isFaceRecord()) return;
        if (is3d() || isPolyFaceMesh()) {
            v->transformBy(x);
            return;
        }
        ZcGePoint3d p = v->position();
        ZcGePoint3d o = zcdbWcsToOcs(x.apply(zcdbOcsToWcs({p.x, p.y, m_elevation.z}, m_normal)), n);
        if (first) elevation = o.z;
        first = false;
        v->setPosition({o.x, o.y, 0});
        v->setWidths(v->startWidth() * x.scale(), v->endWidth() * x.scale());
    };
    m_vertices.forEachForWrite<ZcDbVertex>(moveOne);
    if (!is3d() && !isPolyFaceMesh()) {
        m_elevation = {0, 0, elevation};
        m_normal = n;
    }
    m_startWidth *= x.scale();
    m_endWidth *= x.scale();
    m_thickness *= x.scale();
    return Zcad::eOk;
}
