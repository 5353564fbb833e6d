// Dictionaries.
#include "host/db/dbdict.h"

#include "host/db/dbdatabase.h"
#include "host/db/dbfilerlist.h"
#include "host/util/nocase.h"

ZCDB_DEFINE_HOST_CLASS(ZcDbDictionary, ZcDbObject, "AcDbDictionary", "DICTIONARY", true)

Zcad::ErrorStatus ZcDbDictionary::getAt(std::string_view key, ZcDbObjectId& id) const {
    id = ZcDbObjectId();
    auto it = m_index.find(ZcDbFoldedName(key).view());
    if (it == m_index.end()) return Zcad::eKeyNotFound;
    const ZcDbObjectId& found = m_entries[it->second].id;
    if (found.isErased()) return Zcad::eKeyNotFound;
    id = found;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbDictionary::nameAt(ZcDbObjectId id, std::string& key) const {
    for (const auto& e : m_entries)
        if (e.id == id) {
            key = e.key;
            return Zcad::eOk;
        }
    return Zcad::eKeyNotFound;
}

bool ZcDbDictionary::has(std::string_view key) const {
    ZcDbObjectId id;
    return getAt(key, id) == Zcad::eOk;
}

bool ZcDbDictionary::has(ZcDbObjectId id) const {
    std::string key;
    return !id.isErased() && nameAt(id, key) == Zcad::eOk;
}

std::size_t ZcDbDictionary::numEntries() const {
    return entries().size();
}

Zcad::ErrorStatus ZcDbDictionary::setAt(std::string_view key, ZcDbObject* obj, ZcDbObjectId& id) {
    id = ZcDbObjectId();
    if (!obj) return Zcad::eNullObjectPointer;
    if (key.empty()) return Zcad::eInvalidKey;
    if (!isWriteEnabled()) return Zcad::eNotOpenForWrite;
    ZcDbDatabase* db = database();
    if (!db) return Zcad::eNoDatabase;
    if (obj->isDbResident() && obj->database() != db) return Zcad::eWrongDatabase;
    assertWriteEnabled();
    if (!obj->isDbResident()) {
        obj->setOwnerId(objectId());
        Zcad::ErrorStatus es = db->addZcDbObject(id, obj);
        if (es != Zcad::eOk) return es;
    } else {
        id = obj->objectId();
        obj->setOwnerId(objectId());
    }
    std::string folded = zcutFoldCase(key);
    auto it = m_index.find(folded);
    if (it != m_index.end()) {
        ZcDbObjectId old = m_entries[it->second].id;
        m_entries[it->second] = {std::string(key), id};
        if (old != id) {
            ZcDbObject* o = nullptr;
            if (zcdbOpenObject(o, old, ZcDb::kForWrite) == Zcad::eOk) {
                o->erase();
                o->close();
            }
        }
        return Zcad::eOk;
    }
    m_index[folded] = m_entries.size();
    m_entries.push_back({std::string(key), id});
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbDictionary::remove(std::string_view key) {
    ZcDbObjectId id;
    return remove(key, id);
}

Zcad::ErrorStatus ZcDbDictionary::remove(std::string_view key, ZcDbObjectId& id) {
    id = ZcDbObjectId();
    if (!isWriteEnabled()) return Zcad::eNotOpenForWrite;
    auto it = m_index.find(zcutFoldCase(key));
    if (it == m_index.end()) return Zcad::eKeyNotFound;
    assertWriteEnabled();
    id = m_entries[it->second].id;
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(it->second));
    rebuildIndex();
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbDictionary::remove(ZcDbObjectId id) {
    std::string key;
    if (nameAt(id, key) != Zcad::eOk) return Zcad::eKeyNotFound;
    return remove(key);
}

ZcDbDictionaryIterator* ZcDbDictionary::newIterator() const {
    return new ZcDbDictionaryIterator(entries());
}

std::vector<ZcDbDictionaryIterator::Entry> ZcDbDictionary::entries(bool skipErased) const {
    std::vector<ZcDbDictionaryIterator::Entry> out;
    out.reserve(m_entries.size());
    for (const auto& e : m_entries)
        if (!skipErased || !e.id.isErased()) out.push_back(e);
    return out;
}

void ZcDbDictionary::rebuildIndex() {
    m_index.clear();
    for (std::size_t i = 0; i < m_entries.size(); ++i) m_index[zcutFoldCase(m_entries[i].key)] = i;
}

Zcad::ErrorStatus ZcDbDictionary::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbObject::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    zcdbWriteCounted(f, m_entries, [f](const ZcDbDictionaryIterator::Entry& e) {
        f->writeString(e.key);
        f->writeHardOwnershipId(e.id);
    });
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbDictionary::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbObject::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    std::vector<ZcDbDictionaryIterator::Entry> entries = zcdbReadCounted(f, [f] {
        ZcDbDictionaryIterator::Entry e;
        f->readString(&e.key);
        f->readHardOwnershipId(&e.id);
        return e;
    });
    if (f->filerStatus() != Zcad::eOk) return f->filerStatus();
    m_entries = std::move(entries);
    rebuildIndex();
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbDictionary::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbObject::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDbDictionary");
    f->writeInt16(280, 0);
    f->writeInt16(281, 1);
    for (const auto& e : entries()) {
        f->writeString(3, e.key);
        f->writeObjectId(350, e.id);
    }
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbDictionary::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbObject::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("AcDbDictionary")) return f->filerStatus();
    std::vector<ZcDbDictionaryIterator::Entry> entries;
    std::string pendingKey;
    es = zcdbDxfReadSection(f, [&](ZcDbFields& v) {
        std::int16_t flag = 0;
        v.i16(280, flag);
        v.i16(281, flag);
        v.str(3, pendingKey);
        ZcDbObjectId id;
        bool before = v.matched();
        v.id(350, id);
        v.id(360, id);
        if (v.matched() && !before) entries.push_back({pendingKey, id});
    });
    if (es != Zcad::eOk) return es;
    m_entries = std::move(entries);
    rebuildIndex();
    return Zcad::eOk;
}
