// Block references and viewports.
#include "host/db/dbinsert.h"

#include <algorithm>
#include <cmath>

#include "host/db/dbdatabase.h"
#include "host/db/dbfilerlist.h"
#include "host/db/dbpoly.h"
#include "host/db/dbsymtb.h"

ZCDB_DEFINE_HOST_CLASS(ZcDbBlockReference, ZcDbEntity, "AcDbBlockReference", "INSERT", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbViewport, ZcDbEntity, "AcDbViewport", "VIEWPORT", true)

namespace {

ZcGeVector3d unitOr(const ZcGeVector3d& v, const ZcGeVector3d& fallback) {
    double l = v.length();
    return l > 0 ? v / l : fallback;
}

ZcDbXform multiply(const ZcDbXform& a, const ZcDbXform& b) {
    ZcDbXform r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double s = 0;
            for (int k = 0; k < 4; ++k) s += a.m[i][k] * b.m[k][j];
            r.m[i][j] = s;
        }
    return r;
}

}  // namespace

// ------------------------------------------------------------------ INSERT

ZcDbBlockReference::ZcDbBlockReference(const ZcGePoint3d& position, ZcDbObjectId blockId)
    : m_position(position) {
    if (!blockId.isNull() && blockId.stub()->object)
        if (auto* rec = ZcDbBlockTableRecord::cast(blockId.stub()->object.get())) m_block = rec->name();
}

ZcDbBlockReference::~ZcDbBlockReference() = default;

void ZcDbBlockReference::fields(ZcDbFields& v) {
    v.str(2, m_block);
    v.pt(10, m_position);
    v.real(41, m_scale.x);
    v.real(42, m_scale.y);
    v.real(43, m_scale.z);
    v.real(50, m_rotation);
    v.normal(210, m_normal);
}

Zcad::ErrorStatus ZcDbBlockReference::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, true);
    const_cast<ZcDbBlockReference*>(this)->fields(v);
    m_attributes.dwgOut(f);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbBlockReference::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, false);
    fields(v);
    return m_attributes.dwgIn(f);
}

Zcad::ErrorStatus ZcDbBlockReference::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDbBlockReference");
    if (!attributeIds().empty() || m_attributes.heldCount() > 0) f->writeInt16(66, 1);
    ZcDbFields v(f);
    const_cast<ZcDbBlockReference*>(this)->fields(v);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbBlockReference::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("AcDbBlockReference")) return f->filerStatus();
    std::string block = m_block;
    ZcGeVector3d scale = m_scale;
    es = zcdbDxfReadSection(f, [&](ZcDbFields& v) {
        std::int16_t follows = 0, counts = 0;
        double spacing = 0;
        v.i16(66, follows);
        v.i16(70, counts);
        v.i16(71, counts);
        v.real(44, spacing);
        v.real(45, spacing);
        v.str(2, block);
        v.pt(10, m_position);
        v.real(41, scale.x);
        v.real(42, scale.y);
        v.real(43, scale.z);
        v.real(50, m_rotation);
        v.normal(210, m_normal);
    });
    if (es != Zcad::eOk) return es;
    if (scale.x == 0 || scale.y == 0 || scale.z == 0) {
        f->setError(Zcad::eInvalidInput, "zero scale factor");
        return f->filerStatus();
    }
    if (block.empty()) {
        f->setError(Zcad::eInvalidInput, "no block name");
        return f->filerStatus();
    }
    m_block = block;
    m_scale = scale;
    return Zcad::eOk;
}

ZcDbObjectId ZcDbBlockReference::blockTableRecord() const {
    ZcDbDatabase* db = database() ? database() : zcdbCurDwg();
    return db ? db->recordId(db->blockTableId(), m_block) : ZcDbObjectId();
}

Zcad::ErrorStatus ZcDbBlockReference::setBlockTableRecord(ZcDbObjectId blockId) {
    if (blockId.isNull() || !blockId.stub()->object) return Zcad::eNullObjectId;
    auto* rec = ZcDbBlockTableRecord::cast(blockId.stub()->object.get());
    if (!rec) return Zcad::eWrongObjectType;
    assertWriteEnabled();
    m_block = rec->name();
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbBlockReference::setBlockName(const std::string& name) {
    if (name.empty()) return Zcad::eInvalidInput;
    if (ZcDbDatabase* db = database())
        if (db->recordId(db->blockTableId(), name).isNull()) return Zcad::eKeyNotFound;
    assertWriteEnabled();
    m_block = name;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbBlockReference::setPosition(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_position = zcdbWcsToOcs(p, m_normal);
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbBlockReference::setScaleFactors(const ZcGeVector3d& s) {
    if (s.x == 0 || s.y == 0 || s.z == 0) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_scale = s;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbBlockReference::setRotation(double a) {
    assertWriteEnabled();
    m_rotation = a;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbBlockReference::setNormal(const ZcGeVector3d& n) {
    if (n.isZeroLength()) return Zcad::eInvalidInput;
    assertWriteEnabled();
    ZcGePoint3d p = position();
    m_normal = n / n.length();
    m_position = zcdbWcsToOcs(p, m_normal);
    return Zcad::eOk;
}

ZcDbXform ZcDbBlockReference::blockTransform() const {
    ZcGePoint3d origin;
    ZcDbObjectId bid = blockTableRecord();
    if (!bid.isNull() && bid.stub()->object)
        if (auto* rec = ZcDbBlockTableRecord::cast(bid.stub()->object.get())) origin = rec->origin();
    ZcDbXform toOrigin = ZcDbXform::translation(-origin.asVector());
    ZcDbXform scale;
    scale.m[0][0] = m_scale.x, scale.m[1][1] = m_scale.y, scale.m[2][2] = m_scale.z;
    ZcDbXform rot = ZcDbXform::rotation(m_rotation, {0, 0, 1});
    ZcGeVector3d n = unitOr(m_normal, {0, 0, 1}), ax = zcdbOcsXAxis(n), ay = n.crossProduct(ax);
    ZcDbXform ocs;
    for (int i = 0; i < 3; ++i) {
        ocs.m[i][0] = ax[i];
        ocs.m[i][1] = ay[i];
        ocs.m[i][2] = n[i];
    }
    ZcDbXform move = ZcDbXform::translation(m_position.asVector());
    // Scale and turn in the block's plane, lift to the OCS, then place.
    return multiply(ocs, multiply(move, multiply(rot, multiply(scale, toOrigin))));
}

Zcad::ErrorStatus ZcDbBlockReference::appendAttribute(ZcDbAttribute* attr) {
    ZcDbObjectId id;
    return appendAttribute(id, attr);
}

Zcad::ErrorStatus ZcDbBlockReference::appendAttribute(ZcDbObjectId& id, ZcDbAttribute* attr) {
    id = ZcDbObjectId();
    if (!attr) return Zcad::eNullObjectPointer;
    if (attr->isDbResident()) return Zcad::eAlreadyInDb;
    if (!isWriteEnabled()) return Zcad::eNotOpenForWrite;
    assertWriteEnabled();
    if (attr->layer().empty()) attr->setLayer(layer().empty() ? "0" : layer(), false);
    Zcad::ErrorStatus es = m_attributes.append(*this, id, attr);
    if (es != Zcad::eOk) return es;
    if (ZcDbDatabase* db = database(); db && m_attributes.seqend().isNull()) subAppendedToDb(db);
    return Zcad::eOk;
}

std::vector<ZcDbObjectId> ZcDbBlockReference::attributeIds(bool skipErased) const {
    return m_attributes.ids(skipErased);
}

void ZcDbBlockReference::subAppendedToDb(ZcDbDatabase* db) {
    m_attributes.appendHeld(*this, db);
    // Only references with attributes end with a SEQEND.
    if (m_attributes.seqend().isNull() && m_attributes.residentCount() > 0) {
        auto* end = new ZcDbSequenceEnd;
        end->setLayer(layer().empty() ? "0" : layer(), false);
        m_attributes.appendSeqend(*this, db, end);
    }
}

Zcad::ErrorStatus ZcDbBlockReference::transformBy(const ZcDbXform& x) {
    if (!x.isUniscaledOrtho()) return Zcad::eNotApplicable;
    assertWriteEnabled();
    ZcGeVector3d n = unitOr(x.apply(m_normal), m_normal);
    double rotation = zcdbTransformAngle(m_rotation, m_normal, x);
    ZcGePoint3d p = x.apply(position());
    m_normal = n;
    m_position = zcdbWcsToOcs(p, n);
    m_rotation = rotation;
    double s = x.scale();
    m_scale = m_scale * s;
    if (x.det() < 0) m_scale.x = -m_scale.x;  // a mirror flips the block's X
    m_attributes.forEachForWrite<ZcDbAttribute>([&](ZcDbAttribute* a) { a->transformBy(x); });
    return Zcad::eOk;
}

// ---------------------------------------------------------------- VIEWPORT

void ZcDbViewport::fields(ZcDbFields& v) {
    v.pt(10, m_center);
    v.real(40, m_width);
    v.real(41, m_height);
    v.i16(68, m_statusField);
    v.i16(69, m_number);
    v.pt2(12, m_viewCenter);
    v.vec(16, m_direction);
    v.pt(17, m_target);
    v.real(42, m_lens);
    // Left out of a file while zero, so drawings without clipping keep
    // their groups.
    v.realOpt(43, m_frontClip);
    v.realOpt(44, m_backClip);
    v.real(45, m_viewHeight);
    v.real(51, m_twist);
    v.i32(90, m_status);
}

Zcad::ErrorStatus ZcDbViewport::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, true);
    const_cast<ZcDbViewport*>(this)->fields(v);
    zcdbWriteCounted(f, m_frozen, [f](const ZcDbObjectId& id) { f->writeSoftPointerId(id); });
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbViewport::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    ZcDbFields v(f, false);
    fields(v);
    std::vector<ZcDbObjectId> frozen = zcdbReadCounted(f, [f] {
        ZcDbObjectId id;
        f->readSoftPointerId(&id);
        return id;
    });
    if (f->filerStatus() == Zcad::eOk) m_frozen = std::move(frozen);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbViewport::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDbViewport");
    ZcDbFields v(f);
    const_cast<ZcDbViewport*>(this)->fields(v);
    for (const ZcDbObjectId& id : m_frozen) f->writeObjectId(331, id);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbViewport::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("AcDbViewport")) return f->filerStatus();
    std::vector<ZcDbObjectId> frozen;
    es = zcdbDxfReadSection(f, [&](ZcDbFields& v) {
        fields(v);
        ZcDbObjectId id;
        bool before = v.matched();
        v.id(331, id);
        if (v.matched() && !before) frozen.push_back(id);
    });
    if (es == Zcad::eOk) m_frozen = std::move(frozen);
    return es;
}

Zcad::ErrorStatus ZcDbViewport::setCenterPoint(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_center = p;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setWidth(double w) {
    if (!(w > 0)) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_width = w;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setHeight(double h) {
    if (!(h > 0)) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_height = h;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setNumber(int n) {
    assertWriteEnabled();
    m_number = static_cast<std::int16_t>(n);
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setOn() {
    assertWriteEnabled();
    m_status |= 0x20000;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setOff() {
    assertWriteEnabled();
    m_status &= ~0x20000;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setViewCenter(const ZcGePoint2d& p) {
    assertWriteEnabled();
    m_viewCenter = p;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setViewHeight(double h) {
    if (!(h > 0)) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_viewHeight = h;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setViewDirection(const ZcGeVector3d& d) {
    if (d.isZeroLength()) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_direction = d;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setViewTarget(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_target = p;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setLensLength(double mm) {
    if (!(mm > 0)) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_lens = mm;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setPerspectiveOn() {
    assertWriteEnabled();
    m_status |= 0x1;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setPerspectiveOff() {
    assertWriteEnabled();
    m_status &= ~0x1;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setTwistAngle(double a) {
    assertWriteEnabled();
    m_twist = a;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbViewport::setFrontClipDistance(double d) {
    assertWriteEnabled();
    m_frontClip = d;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setBackClipDistance(double d) {
    assertWriteEnabled();
    m_backClip = d;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setFrontClipOn() {
    assertWriteEnabled();
    m_status |= 0x2;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setFrontClipOff() {
    assertWriteEnabled();
    m_status &= ~0x2;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setBackClipOn() {
    assertWriteEnabled();
    m_status |= 0x4;
    return Zcad::eOk;
}
Zcad::ErrorStatus ZcDbViewport::setBackClipOff() {
    assertWriteEnabled();
    m_status &= ~0x4;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbViewport::freezeLayersInViewport(const std::vector<ZcDbObjectId>& layers) {
    assertWriteEnabled();
    for (const ZcDbObjectId& id : layers)
        if (!id.isNull() && !isLayerFrozenInViewport(id)) m_frozen.push_back(id);
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbViewport::thawLayersInViewport(const std::vector<ZcDbObjectId>& layers) {
    assertWriteEnabled();
    for (const ZcDbObjectId& id : layers)
        m_frozen.erase(std::remove(m_frozen.begin(), m_frozen.end(), id), m_frozen.end());
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbViewport::thawAllLayersInViewport() {
    assertWriteEnabled();
    m_frozen.clear();
    return Zcad::eOk;
}

bool ZcDbViewport::isLayerFrozenInViewport(ZcDbObjectId layer) const {
    return std::find(m_frozen.begin(), m_frozen.end(), layer) != m_frozen.end();
}

Zcad::ErrorStatus ZcDbViewport::transformBy(const ZcDbXform& x) {
    assertWriteEnabled();
    m_center = x.apply(m_center);
    m_width *= x.scale();
    m_height *= x.scale();
    return Zcad::eOk;
}
