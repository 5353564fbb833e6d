// Entity properties and their filing (the AcDbEntity section).
#include "host/db/dbentity.h"

#include "host/db/dbdatabase.h"
#include "host/db/dbsymtb.h"

ZCDB_DEFINE_HOST_CLASS(ZcDbEntity, ZcDbObject, "AcDbEntity", "", false)

ZcDbObjectId ZcDbEntity::layerId() const {
    ZcDbDatabase* db = database();
    return db ? db->recordId(db->layerTableId(), m_layer.empty() ? "0" : m_layer) : ZcDbObjectId();
}

Zcad::ErrorStatus ZcDbEntity::setLayer(const std::string& name, bool doSubents) {
    if (name.empty()) return Zcad::eInvalidInput;
    std::string stored = name;
    if (ZcDbDatabase* db = database()) {
        ZcDbObjectId id = db->recordId(db->layerTableId(), name);
        if (id.isNull()) return Zcad::eKeyNotFound;
        stored = ZcDbSymbolTableRecord::cast(id.stub()->object.get())->name();
    }
    assertWriteEnabled();
    m_layer = stored;
    if (doSubents) propagateProperties();
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbEntity::setLayer(ZcDbObjectId layerId, bool doSubents) {
    if (layerId.isNull() || !layerId.stub()->object) return Zcad::eNullObjectId;
    auto* rec = ZcDbLayerTableRecord::cast(layerId.stub()->object.get());
    if (!rec) return Zcad::eWrongObjectType;
    assertWriteEnabled();
    m_layer = rec->name();
    if (doSubents) propagateProperties();
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbEntity::setColorIndex(int aci, bool doSubents) {
    if (aci < 0 || aci > 256) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_color = static_cast<std::int16_t>(aci);
    m_trueColor = -1;
    if (doSubents) propagateProperties();
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbEntity::setTrueColor(std::int32_t rgb) {
    assertWriteEnabled();
    m_trueColor = rgb < 0 ? -1 : (rgb & 0xFFFFFF);
    propagateProperties();
    return Zcad::eOk;
}

ZcDbObjectId ZcDbEntity::linetypeId() const {
    ZcDbDatabase* db = database();
    return db ? db->recordId(db->linetypeTableId(), m_linetype) : ZcDbObjectId();
}

Zcad::ErrorStatus ZcDbEntity::setLinetype(const std::string& name, bool doSubents) {
    if (name.empty()) return Zcad::eInvalidInput;
    std::string stored = name;
    if (ZcDbDatabase* db = database()) {
        ZcDbObjectId id = db->recordId(db->linetypeTableId(), name);
        if (id.isNull()) return Zcad::eKeyNotFound;
        stored = ZcDbSymbolTableRecord::cast(id.stub()->object.get())->name();
    }
    assertWriteEnabled();
    m_linetype = stored;
    if (doSubents) propagateProperties();
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbEntity::setLinetypeScale(double s, bool doSubents) {
    if (!(s > 0)) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_linetypeScale = s;
    if (doSubents) propagateProperties();
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbEntity::setLineWeight(int weight, bool doSubents) {
    if (weight < ZcDb::kLnWtByLwDefault || weight > 211) return Zcad::eInvalidInput;
    assertWriteEnabled();
    m_lineWeight = static_cast<std::int16_t>(weight);
    if (doSubents) propagateProperties();
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbEntity::setVisibility(ZcDb::Visibility v, bool doSubents) {
    assertWriteEnabled();
    m_invisible = v == ZcDb::kInvisible;
    if (doSubents) propagateProperties();
    return Zcad::eOk;
}

void ZcDbEntity::setDatabaseDefaults(ZcDbDatabase* db) {
    if (!db) db = database() ? database() : zcdbCurDwg();
    std::string layer = "0";
    if (db && !db->clayer().isNull() && db->clayer().stub()->object)
        layer = ZcDbSymbolTableRecord::cast(db->clayer().stub()->object.get())->name();
    assertWriteEnabled();
    m_layer = layer;
}

Zcad::ErrorStatus ZcDbEntity::transformBy(const ZcDbXform& xform) {
    (void)xform;
    return Zcad::eNotApplicable;
}

Zcad::ErrorStatus ZcDbEntity::highlight() {
    m_highlighted = true;
    if (ZcDbDatabase* db = database()) db->highlightLog().push_back({objectId(), true});
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbEntity::unhighlight() {
    m_highlighted = false;
    if (ZcDbDatabase* db = database()) db->highlightLog().push_back({objectId(), false});
    return Zcad::eOk;
}

void ZcDbEntity::copyPropertiesTo(ZcDbEntity* other) const {
    other->m_layer = m_layer;
    other->m_linetype = m_linetype;
    other->m_color = m_color;
    other->m_trueColor = m_trueColor;
    other->m_linetypeScale = m_linetypeScale;
    other->m_lineWeight = m_lineWeight;
    other->m_invisible = m_invisible;
}

// ------------------------------------------------------------------ filing

Zcad::ErrorStatus ZcDbEntity::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbObject::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(m_layer);
    f->writeString(m_linetype);
    f->writeInt16(m_color);
    f->writeInt32(m_trueColor);
    f->writeDouble(m_linetypeScale);
    f->writeInt16(m_lineWeight);
    f->writeBool(m_invisible);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbEntity::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbObject::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    f->readString(&m_layer);
    f->readString(&m_linetype);
    f->readInt16(&m_color);
    f->readInt32(&m_trueColor);
    f->readDouble(&m_linetypeScale);
    f->readInt16(&m_lineWeight);
    f->readBool(&m_invisible);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbEntity::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbObject::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDbEntity");
    f->writeString(8, m_layer.empty() ? "0" : m_layer);
    // As the format does: defaults are left out.
    if (m_linetype != std::string_view("ByLayer")) f->writeString(6, m_linetype);
    if (m_color != 256) f->writeInt16(62, m_color);
    if (m_trueColor >= 0) f->writeInt32(420, m_trueColor);
    if (m_linetypeScale != 1.0) f->writeDouble(48, m_linetypeScale);
    if (m_lineWeight != ZcDb::kLnWtByLayer) f->writeInt16(370, m_lineWeight);
    if (m_invisible) f->writeInt16(60, 1);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbEntity::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbObject::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("AcDbEntity")) return f->filerStatus();
    std::string layer = m_layer, linetype = m_linetype;
    std::int16_t color = m_color, lw = m_lineWeight, invisible = m_invisible ? 1 : 0, paper = 0;
    std::int32_t tc = m_trueColor;
    double ltscale = m_linetypeScale;
    es = zcdbDxfReadSection(f, [&](ZcDbFields& v) {
        v.str(8, layer);
        v.str(6, linetype);
        v.i16(62, color);
        v.i32(420, tc);
        v.real(48, ltscale);
        v.i16(370, lw);
        v.i16(60, invisible);
        v.i16(67, paper);
    });
    if (es != Zcad::eOk) return es;
    if (color < 0 || color > 256) {
        f->setError(Zcad::eInvalidInput, "colour " + std::to_string(color));
        return f->filerStatus();
    }
    if (!(ltscale > 0)) {
        f->setError(Zcad::eInvalidInput, "linetype scale");
        return f->filerStatus();
    }
    m_layer = layer.empty() ? "0" : layer;
    m_linetype = linetype.empty() ? "ByLayer" : linetype;
    m_color = color;
    m_trueColor = tc < 0 ? -1 : (tc & 0xFFFFFF);
    m_linetypeScale = ltscale;
    m_lineWeight = lw;
    m_invisible = invisible != 0;
    return Zcad::eOk;
}
