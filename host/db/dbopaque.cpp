// Opaque objects and entities: groups kept as read.
#include "host/db/dbopaque.h"

#include <algorithm>

ZCDB_DEFINE_HOST_CLASS(ZcDbOpaqueObject, ZcDbObject, "AcDbOpaqueObject", "", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbOpaqueEntity, ZcDbEntity, "AcDbOpaqueEntity", "", true)

namespace {

void writeItems(ZcDbDwgFiler* f, const std::vector<ZcDbDxfItem>& items) {
    f->writeInt32(static_cast<std::int32_t>(items.size()));
    for (const ZcDbDxfItem& it : items) zcdbWriteItemDwg(f, it);
}

bool readItems(ZcDbDwgFiler* f, std::vector<ZcDbDxfItem>& items) {
    std::int32_t n = 0;
    f->readInt32(&n);
    items.clear();
    for (std::int32_t i = 0; i < n && f->filerStatus() == Zcad::eOk; ++i) {
        ZcDbDxfItem it;
        zcdbReadItemDwg(f, it);
        items.push_back(std::move(it));
    }
    return f->filerStatus() == Zcad::eOk;
}

// The groups up to the extended data, which ZcDbObject::dxfIn reads.
Zcad::ErrorStatus readRaw(ZcDbDxfFiler* f, std::vector<ZcDbDxfItem>& items) {
    items.clear();
    ZcDbDxfItem it;
    while (f->readItem(it) == Zcad::eOk) {
        if (it.code == 0 || it.code == 1001) {
            f->pushBackItem();
            break;
        }
        items.push_back(std::move(it));
    }
    return f->filerStatus();
}

void writeRaw(ZcDbDxfFiler* f, const std::vector<ZcDbDxfItem>& items) {
    for (const ZcDbDxfItem& it : items) f->writeItem(it);
}

}  // namespace

const char* zcdbDxfKindOf(const ZcDbObject* obj) {
    if (!obj) return "";
    // Nothing derives from the two opaque classes: their exact class is
    // enough, and cheaper than a walk up the hierarchy for every object.
    const ZcRxClass* cls = obj->isA();
    if (cls == ZcDbOpaqueObject::desc()) return static_cast<const ZcDbOpaqueObject*>(obj)->dxfKind().c_str();
    if (cls == ZcDbOpaqueEntity::desc()) return static_cast<const ZcDbOpaqueEntity*>(obj)->dxfKind().c_str();
    return cls->dxfName();
}

// ------------------------------------------------------------------ object

Zcad::ErrorStatus ZcDbOpaqueObject::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbObject::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(m_kind);
    writeItems(f, m_items);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbOpaqueObject::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbObject::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    f->readString(&m_kind);
    readItems(f, m_items);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbOpaqueObject::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbObject::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    writeRaw(f, m_items);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbOpaqueObject::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbObject::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    return readRaw(f, m_items);
}

// ------------------------------------------------------------------ entity

Zcad::ErrorStatus ZcDbOpaqueEntity::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbEntity::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(m_kind);
    writeItems(f, m_items);
    f->writeInt32(static_cast<std::int32_t>(m_followers.size()));
    for (const ZcDbOpaqueRecord& r : m_followers) {
        f->writeString(r.kind);
        writeItems(f, r.items);
    }
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbOpaqueEntity::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbEntity::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    f->readString(&m_kind);
    readItems(f, m_items);
    std::int32_t n = 0;
    f->readInt32(&n);
    m_followers.clear();
    for (std::int32_t i = 0; i < n && f->filerStatus() == Zcad::eOk; ++i) {
        ZcDbOpaqueRecord r;
        f->readString(&r.kind);
        readItems(f, r.items);
        m_followers.push_back(std::move(r));
    }
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbOpaqueEntity::dxfOutFields(ZcDbDxfFiler* f) const {
    // Not ZcDbEntity's: the common groups are among the items as read.
    Zcad::ErrorStatus es = ZcDbObject::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    writeRaw(f, m_items);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbOpaqueEntity::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbObject::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    es = readRaw(f, m_items);
    if (es != Zcad::eOk) return es;
    // The layer and colour of the common section (before a second marker);
    // its paper-space flag goes, the writer gives it by the owner.
    int markers = 0;
    std::size_t end = 0;
    for (; end < m_items.size(); ++end) {
        const ZcDbDxfItem& it = m_items[end];
        if (it.code == 100 && ++markers > 1) break;
        if (it.code == 8 && !isDbResident()) setLayer(it.text);
        if (it.code == 62 && it.integer >= 0 && it.integer <= 256)
            setColorIndex(static_cast<int>(it.integer));
    }
    auto common = m_items.begin() + static_cast<std::ptrdiff_t>(end);
    m_items.erase(
        std::remove_if(m_items.begin(), common, [](const ZcDbDxfItem& it) { return it.code == 67; }), common);
    return Zcad::eOk;
}
