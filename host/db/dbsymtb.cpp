// Symbol tables and records.
#include "host/db/dbsymtb.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "host/db/dbdatabase.h"
#include "host/db/dbentity.h"
#include "host/db/dbfilerlist.h"
#include "host/util/nocase.h"

ZCDB_DEFINE_HOST_CLASS(ZcDbSymbolTableRecord, ZcDbObject, "AcDbSymbolTableRecord", "", false)
ZCDB_DEFINE_HOST_CLASS(ZcDbSymbolTable, ZcDbObject, "AcDbSymbolTable", "", false)

#define ZCDB_DEFINE_TABLE(TABLE, RECORD, NAME, DXF)                 \
    ZCDB_DEFINE_HOST_CLASS(TABLE, ZcDbSymbolTable, NAME, DXF, true) \
    ZcRxClass* TABLE::recordClass() const {                         \
        return RECORD::desc();                                      \
    }

ZCDB_DEFINE_TABLE(ZcDbBlockTable, ZcDbBlockTableRecord, "AcDbBlockTable", "TABLE")
ZCDB_DEFINE_TABLE(ZcDbLayerTable, ZcDbLayerTableRecord, "AcDbLayerTable", "TABLE")
ZCDB_DEFINE_TABLE(ZcDbLinetypeTable, ZcDbLinetypeTableRecord, "AcDbLinetypeTable", "TABLE")
ZCDB_DEFINE_TABLE(ZcDbTextStyleTable, ZcDbTextStyleTableRecord, "AcDbTextStyleTable", "TABLE")
ZCDB_DEFINE_TABLE(ZcDbRegAppTable, ZcDbRegAppTableRecord, "AcDbRegAppTable", "TABLE")
ZCDB_DEFINE_TABLE(ZcDbDimStyleTable, ZcDbDimStyleTableRecord, "AcDbDimStyleTable", "TABLE")
ZCDB_DEFINE_TABLE(ZcDbViewTable, ZcDbViewTableRecord, "AcDbViewTable", "TABLE")
ZCDB_DEFINE_TABLE(ZcDbUCSTable, ZcDbUCSTableRecord, "AcDbUCSTable", "TABLE")
ZCDB_DEFINE_TABLE(ZcDbViewportTable, ZcDbViewportTableRecord, "AcDbViewportTable", "TABLE")

ZCDB_DEFINE_HOST_CLASS(ZcDbBlockTableRecord, ZcDbSymbolTableRecord, "AcDbBlockTableRecord", "BLOCK_RECORD",
                       true)
ZCDB_DEFINE_HOST_CLASS(ZcDbLayerTableRecord, ZcDbSymbolTableRecord, "AcDbLayerTableRecord", "LAYER", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbLinetypeTableRecord, ZcDbSymbolTableRecord, "AcDbLinetypeTableRecord", "LTYPE",
                       true)
ZCDB_DEFINE_HOST_CLASS(ZcDbTextStyleTableRecord, ZcDbSymbolTableRecord, "AcDbTextStyleTableRecord", "STYLE",
                       true)
ZCDB_DEFINE_HOST_CLASS(ZcDbRegAppTableRecord, ZcDbSymbolTableRecord, "AcDbRegAppTableRecord", "APPID", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbDimStyleTableRecord, ZcDbSymbolTableRecord, "AcDbDimStyleTableRecord", "DIMSTYLE",
                       true)
ZCDB_DEFINE_HOST_CLASS(ZcDbViewTableRecord, ZcDbSymbolTableRecord, "AcDbViewTableRecord", "VIEW", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbUCSTableRecord, ZcDbSymbolTableRecord, "AcDbUCSTableRecord", "UCS", true)
ZCDB_DEFINE_HOST_CLASS(ZcDbViewportTableRecord, ZcDbSymbolTableRecord, "AcDbViewportTableRecord", "VPORT",
                       true)

// ------------------------------------------------------------ base record

Zcad::ErrorStatus ZcDbSymbolTableRecord::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbObject::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(m_name);
    f->writeInt16(m_flags);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbSymbolTableRecord::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbObject::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    std::string oldName = m_name;
    f->readString(&m_name);
    f->readInt16(&m_flags);
    if (f->filerStatus() == Zcad::eOk && oldName != m_name && database()) {
        // An undo can bring an old name back: keep the table's map right.
        ZcDbObject* owner = ownerId().isNull() ? nullptr : ownerId().stub()->object.get();
        if (auto* table = ZcDbSymbolTable::cast(owner)) table->renameRecord(objectId(), oldName, m_name);
    }
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbSymbolTableRecord::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbObject::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    return f->writeString(100, "AcDbSymbolTableRecord");
}

Zcad::ErrorStatus ZcDbSymbolTableRecord::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbObject::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    f->atSubclassData("AcDbSymbolTableRecord");
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbSymbolTableRecord::getName(std::string& name) const {
    name = m_name;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbSymbolTableRecord::getName(const char*& name) const {
    name = m_name.c_str();
    return Zcad::eOk;
}

namespace {

// Entities keep their layer by name: a renamed layer takes its entities
// along (each changed as an edit of its own, so an undo brings them back
// with the old name). An entity open elsewhere keeps the old name.
void relinkLayerEntities(ZcDbDatabase* db, const std::string& oldName, const std::string& newName) {
    for (ZcDbObjectId id : db->allObjectIds()) {
        ZcDbObject* obj = id.isErased() ? nullptr : id.stub()->object.get();
        auto* ent = ZcDbEntity::cast(obj);
        if (!ent || !zcutEqualsNoCase(ent->layer(), oldName)) continue;
        if (zcdbOpenObject(ent, id, ZcDb::kForWrite) != Zcad::eOk) continue;
        ent->setLayer(newName, false);
        ent->close();
    }
}

}  // namespace

Zcad::ErrorStatus ZcDbSymbolTableRecord::setName(const std::string& name) {
    if (name.empty()) return Zcad::eInvalidInput;
    if (isDbResident()) {
        ZcDbObject* owner = ownerId().isNull() ? nullptr : ownerId().stub()->object.get();
        if (auto* table = ZcDbSymbolTable::cast(owner)) {
            Zcad::ErrorStatus es = table->renameRecord(objectId(), m_name, name);
            if (es != Zcad::eOk) return es;
        }
    }
    assertWriteEnabled();
    const std::string oldName = m_name;
    m_name = name;
    if (isDbResident() && ZcDbLayerTableRecord::cast(this)) relinkLayerEntities(database(), oldName, m_name);
    return Zcad::eOk;
}

// ------------------------------------------------------------------ table

Zcad::ErrorStatus ZcDbSymbolTableIterator::getRecordId(ZcDbObjectId& id) const {
    if (done()) return Zcad::eInvalidIndex;
    id = m_ids[m_pos];
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbSymbolTable::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbObject::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    zcdbWriteOwnedIds(f, m_ids);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbSymbolTable::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbObject::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    std::vector<ZcDbObjectId> ids = zcdbReadOwnedIds(f);
    if (f->filerStatus() != Zcad::eOk) return f->filerStatus();
    m_ids = std::move(ids);
    m_byName.clear();
    for (const ZcDbObjectId& id : m_ids) {
        auto* rec = id.isNull() || !id.stub()->object ? nullptr
                                                      : ZcDbSymbolTableRecord::cast(id.stub()->object.get());
        if (rec) m_byName[zcutFoldCase(rec->name())] = id;
    }
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbSymbolTable::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbObject::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDbSymbolTable");
    f->writeInt16(70, static_cast<std::int16_t>(recordIds().size()));
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbSymbolTable::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbObject::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("AcDbSymbolTable")) return f->filerStatus();
    std::int16_t count = 0;
    return zcdbDxfReadSection(f, [&](ZcDbFields& v) { v.i16(70, count); });
}

Zcad::ErrorStatus ZcDbSymbolTable::getAt(std::string_view name, ZcDbObjectId& id, bool getErased) const {
    id = ZcDbObjectId();
    auto it = m_byName.find(ZcDbFoldedName(name).view());
    if (it == m_byName.end()) return Zcad::eKeyNotFound;
    if (it->second.isErased() && !getErased) return Zcad::eKeyNotFound;
    id = it->second;
    return Zcad::eOk;
}

bool ZcDbSymbolTable::has(std::string_view name) const {
    ZcDbObjectId id;
    return getAt(name, id) == Zcad::eOk;
}

bool ZcDbSymbolTable::has(ZcDbObjectId id) const {
    if (id.isNull() || id.isErased() || !id.stub()->object) return false;
    return id.stub()->object->ownerId() == objectId();
}

Zcad::ErrorStatus ZcDbSymbolTable::add(ZcDbSymbolTableRecord* rec) {
    ZcDbObjectId id;
    return add(id, rec);
}

Zcad::ErrorStatus ZcDbSymbolTable::add(ZcDbObjectId& id, ZcDbSymbolTableRecord* rec) {
    id = ZcDbObjectId();
    if (!rec) return Zcad::eNullObjectPointer;
    if (!isWriteEnabled()) return Zcad::eNotOpenForWrite;
    if (!rec->isKindOf(recordClass())) return Zcad::eWrongObjectType;
    if (rec->isDbResident()) return Zcad::eAlreadyInDb;
    ZcDbDatabase* db = database();
    if (!db) return Zcad::eNoDatabase;
    std::string name = resolveNewName(rec->name());
    // The style of a shape file has no name, and a table holds any number
    // of them; no name finds one.
    const bool unnamedShapes = name.empty() && (rec->flags() & 1) && ZcDbTextStyleTableRecord::cast(rec);
    if (name.empty() && !unnamedShapes) return Zcad::eInvalidInput;
    if (!unnamedShapes && has(name)) return Zcad::eDuplicateKey;
    rec->m_name = name;
    // What the add changes is undone by taking the record out again, not
    // by a copy of every record's id: a label adds two blocks to thousands.
    assertWriteEnabled(false, true);
    rec->setOwnerId(objectId());
    Zcad::ErrorStatus es = db->addZcDbObject(id, rec);
    if (es != Zcad::eOk) return es;
    m_ids.push_back(id);
    if (!unnamedShapes) m_byName[zcutFoldCase(name)] = id;
    if (db->undoRecording()) db->undoJournal().recordTableAdd(stub(), id.stub());
    return Zcad::eOk;
}

void ZcDbSymbolTable::takeBackAdded(ZcDbObjectId id) {
    const auto at = std::find(m_ids.rbegin(), m_ids.rend(), id);
    if (at != m_ids.rend()) m_ids.erase(std::next(at).base());
    for (auto it = m_byName.begin(); it != m_byName.end(); ++it)
        if (it->second == id) {
            m_byName.erase(it);
            break;
        }
}

Zcad::ErrorStatus ZcDbSymbolTable::renameRecord(ZcDbObjectId id, const std::string& oldName,
                                                const std::string& newName) {
    std::string oldKey = zcutFoldCase(oldName), newKey = zcutFoldCase(newName);
    if (oldKey == newKey) return Zcad::eOk;
    auto it = m_byName.find(newKey);
    if (it != m_byName.end() && it->second != id && !it->second.isErased()) return Zcad::eDuplicateKey;
    auto old = m_byName.find(oldKey);
    if (old != m_byName.end() && old->second == id) m_byName.erase(old);
    m_byName[newKey] = id;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbSymbolTable::newIterator(ZcDbSymbolTableIterator*& it, bool atBeginning,
                                               bool skipDeleted) const {
    it = new ZcDbSymbolTableIterator(recordIds(skipDeleted));
    if (!atBeginning) {
        while (!it->done()) it->step();
    }
    return Zcad::eOk;
}

std::vector<ZcDbObjectId> ZcDbSymbolTable::recordIds(bool skipErased) const {
    std::vector<ZcDbObjectId> out;
    out.reserve(m_ids.size());
    for (const ZcDbObjectId& id : m_ids)
        if (!skipErased || !id.isErased()) out.push_back(id);
    return out;
}

bool zcdbIsAnonymousRequest(const std::string& name) {
    return name.size() == 2 && name[0] == '*' && std::isalpha(static_cast<unsigned char>(name[1]));
}

std::string ZcDbBlockTable::resolveNewName(const std::string& name) {
    if (!zcdbIsAnonymousRequest(name)) return name;
    std::string prefix = "*";
    prefix += static_cast<char>(std::toupper(static_cast<unsigned char>(name[1])));
    int& next = m_nextAnonymous[static_cast<char32_t>(prefix[1])];
    if (next < 1) next = 1;
    // Names read from a file may already hold some numbers: skip them.
    while (has(prefix + std::to_string(next))) ++next;
    return prefix + std::to_string(next++);
}

// ------------------------------------------------------------------ blocks

void ZcDbBlockTableRecord::fields(ZcDbFields& v) {
    v.str(2, m_name);
    v.i16(70, m_flags);
    v.pt(10, m_origin);
    v.str(4, m_comments);
}

Zcad::ErrorStatus ZcDbBlockTableRecord::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbSymbolTableRecord::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writePoint3d(m_origin);
    f->writeString(m_comments);
    f->writeSoftPointerId(m_layoutId);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbBlockTableRecord::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbSymbolTableRecord::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    f->readPoint3d(&m_origin);
    f->readString(&m_comments);
    f->readSoftPointerId(&m_layoutId);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbBlockTableRecord::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbSymbolTableRecord::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDbBlockTableRecord");
    f->writeString(2, m_name);
    bool layout = !m_layoutId.isNull() && !m_layoutId.isErased() && m_layoutId.stub()->object;
    f->writeObjectId(340, layout ? m_layoutId : ZcDbObjectId());
    f->writeInt16(70, 0);  // insertion units: none
    f->writeInt16(280, 1);
    f->writeInt16(281, 0);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbBlockTableRecord::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbSymbolTableRecord::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("AcDbBlockTableRecord")) return f->filerStatus();
    return zcdbDxfReadSection(f, [this](ZcDbFields& v) {
        v.str(2, m_name);
        v.id(340, m_layoutId);
    });
}

Zcad::ErrorStatus ZcDbBlockTableRecord::dxfOutBlockBegin(ZcDbDxfFiler* f) const {
    f->writeHandle(5, m_beginHandle);
    f->writeObjectId(330, objectId());
    f->writeString(100, "AcDbEntity");
    f->writeString(8, "0");
    f->writeString(100, "AcDbBlockBegin");
    f->writeString(2, m_name);
    f->writeInt16(70, m_flags);
    f->writePoint3d(10, m_origin);
    f->writeString(3, m_name);
    f->writeString(1, "");
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbBlockTableRecord::dxfOutBlockEnd(ZcDbDxfFiler* f) const {
    f->writeHandle(5, m_endHandle);
    f->writeObjectId(330, objectId());
    f->writeString(100, "AcDbEntity");
    f->writeString(8, "0");
    f->writeString(100, "AcDbBlockEnd");
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbBlockTableRecord::dxfInBlockBegin(ZcDbDxfFiler* f) {
    assertWriteEnabled();
    ZcDbDxfItem it;
    while (f->readItem(it) == Zcad::eOk) {
        if (it.code == 0) {
            f->pushBackItem();
            break;
        }
        if (it.code == 2)
            m_name = it.text;
        else if (it.code == 70)
            m_flags = static_cast<std::int16_t>(it.integer);
        else if (it.code == 10)
            m_origin = it.point();
        else if (it.code == 4)
            m_comments = it.text;
    }
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbBlockTableRecord::appendZcDbEntity(ZcDbEntity* ent) {
    ZcDbObjectId id;
    return appendZcDbEntity(id, ent);
}

Zcad::ErrorStatus ZcDbBlockTableRecord::appendZcDbEntity(ZcDbObjectId& id, ZcDbEntity* ent) {
    id = ZcDbObjectId();
    if (!ent) return Zcad::eNullObjectPointer;
    if (!isWriteEnabled()) return Zcad::eNotOpenForWrite;
    if (ent->isDbResident()) return Zcad::eAlreadyInDb;
    ZcDbDatabase* db = database();
    if (!db) return Zcad::eNoDatabase;
    ent->setOwnerId(objectId());
    if (ent->layer().empty()) ent->setDatabaseDefaults(db);
    Zcad::ErrorStatus es = db->addZcDbObject(id, ent);
    if (es != Zcad::eOk) return es;
    // The list only grows; an un-appended entity stays in it, erased, and
    // iteration skips it.
    pushEntityId(id);
    return Zcad::eOk;
}

void ZcDbBlockTableRecord::pushEntityId(ZcDbObjectId id) {
    if (!m_entities.empty() && !(m_entities.back().handle() < id.handle())) m_entitiesInHandleOrder = false;
    m_entities.push_back(id);
}

bool ZcDbBlockTableRecord::lastLiveEntity(ZcDbObjectId& id) const {
    id = ZcDbObjectId();
    if (!m_entitiesInHandleOrder) return false;
    for (auto it = m_entities.rbegin(); it != m_entities.rend(); ++it)
        if (!it->isErased()) {
            id = *it;
            break;
        }
    return true;
}

Zcad::ErrorStatus ZcDbBlockTableRecord::newIterator(ZcDbBlockTableRecordIterator*& it, bool atBeginning,
                                                    bool skipDeleted) const {
    it = new ZcDbBlockTableRecordIterator(entityIds(skipDeleted));
    if (!atBeginning)
        while (!it->done()) it->step();
    return Zcad::eOk;
}

std::vector<ZcDbObjectId> ZcDbBlockTableRecord::entityIds(bool skipErased) const {
    std::vector<ZcDbObjectId> out;
    out.reserve(m_entities.size());
    for (const ZcDbObjectId& id : m_entities)
        if (!skipErased || !id.isErased()) out.push_back(id);
    return out;
}

Zcad::ErrorStatus ZcDbBlockTableRecord::setOrigin(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_origin = p;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbBlockTableRecord::setComments(const std::string& text) {
    assertWriteEnabled();
    m_comments = text;
    return Zcad::eOk;
}

bool ZcDbBlockTableRecord::hasAttributeDefinitions() const {
    ZcRxClass* attdef = zcrxFindClass("AcDbAttributeDefinition");
    for (const ZcDbObjectId& id : m_entities)
        if (!id.isErased() && id.stub()->object && id.stub()->object->isKindOf(attdef)) return true;
    return false;
}

bool ZcDbBlockTableRecord::isLayout() const {
    return zcutEqualsNoCase(m_name, "*Model_Space") || zcutFoldCase(m_name).rfind("*paper_space", 0) == 0;
}

Zcad::ErrorStatus ZcDbBlockTableRecordIterator::getEntityId(ZcDbObjectId& id) const {
    if (done()) return Zcad::eInvalidIndex;
    id = m_ids[m_pos];
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbBlockTableRecordIterator::getEntity(ZcDbEntity*& ent, ZcDb::OpenMode mode,
                                                          bool openErased) const {
    ent = nullptr;
    if (done()) return Zcad::eInvalidIndex;
    return zcdbOpenObject(ent, m_ids[m_pos], mode, openErased);
}

// ------------------------------------------------------------------ layers

void ZcDbLayerTableRecord::fields(ZcDbFields& v) {
    v.str(2, m_name);
    v.i16(70, m_flags);
    v.i16(62, m_color);
    if (v.mode() != ZcDbFields::kDxfOut || m_trueColor >= 0) v.i32(420, m_trueColor);
    v.str(6, m_linetype);
    v.b(290, m_plottable);
    v.i16(370, m_lineWeight);
}

ZCDB_DEFINE_FIELD_FILING(ZcDbLayerTableRecord, ZcDbSymbolTableRecord, "AcDbLayerTableRecord")

void ZcDbLayerTableRecord::setIsOff(bool off) {
    assertWriteEnabled();
    int c = colorIndex();
    m_color = static_cast<std::int16_t>(off ? -c : c);
}

void ZcDbLayerTableRecord::setIsFrozen(bool frozen) {
    assertWriteEnabled();
    m_flags = static_cast<std::int16_t>(frozen ? (m_flags | 1) : (m_flags & ~1));
}

void ZcDbLayerTableRecord::setIsLocked(bool locked) {
    assertWriteEnabled();
    m_flags = static_cast<std::int16_t>(locked ? (m_flags | 4) : (m_flags & ~4));
}

void ZcDbLayerTableRecord::setColorIndex(int aci) {
    if (aci < 1 || aci > 255) return;  // a layer has a real colour
    assertWriteEnabled();
    m_color = static_cast<std::int16_t>(isOff() ? -aci : aci);
}

void ZcDbLayerTableRecord::setTrueColor(std::int32_t rgb) {
    assertWriteEnabled();
    m_trueColor = rgb < 0 ? -1 : (rgb & 0xFFFFFF);
}

ZcDbObjectId ZcDbLayerTableRecord::linetypeObjectId() const {
    ZcDbDatabase* db = database();
    return db ? db->recordId(db->linetypeTableId(), m_linetype) : ZcDbObjectId();
}

Zcad::ErrorStatus ZcDbLayerTableRecord::setLinetype(const std::string& name) {
    if (name.empty()) return Zcad::eInvalidInput;
    if (ZcDbDatabase* db = database())
        if (db->recordId(db->linetypeTableId(), name).isNull()) return Zcad::eKeyNotFound;
    assertWriteEnabled();
    m_linetype = name;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbLayerTableRecord::setLinetypeObjectId(ZcDbObjectId id) {
    if (id.isNull() || !id.stub()->object) return Zcad::eNullObjectId;
    auto* rec = ZcDbLinetypeTableRecord::cast(id.stub()->object.get());
    if (!rec) return Zcad::eWrongObjectType;
    assertWriteEnabled();
    m_linetype = rec->name();
    return Zcad::eOk;
}

void ZcDbLayerTableRecord::setLineWeight(int weight) {
    assertWriteEnabled();
    m_lineWeight = static_cast<std::int16_t>(weight);
}

void ZcDbLayerTableRecord::setIsPlottable(bool p) {
    assertWriteEnabled();
    m_plottable = p;
}

// --------------------------------------------------------------- linetypes

Zcad::ErrorStatus ZcDbLinetypeTableRecord::dwgOutFields(ZcDbDwgFiler* f) const {
    Zcad::ErrorStatus es = ZcDbSymbolTableRecord::dwgOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(m_comments);
    zcdbWriteCounted(f, m_dashes, [f](double d) { f->writeDouble(d); });
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbLinetypeTableRecord::dwgInFields(ZcDbDwgFiler* f) {
    Zcad::ErrorStatus es = ZcDbSymbolTableRecord::dwgInFields(f);
    if (es != Zcad::eOk) return es;
    f->readString(&m_comments);
    std::vector<double> dashes = zcdbReadCounted(f, [f] {
        double d = 0;
        f->readDouble(&d);
        return d;
    });
    if (f->filerStatus() == Zcad::eOk) m_dashes = std::move(dashes);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbLinetypeTableRecord::dxfOutFields(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = ZcDbSymbolTableRecord::dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    f->writeString(100, "AcDbLinetypeTableRecord");
    f->writeString(2, m_name);
    f->writeInt16(70, m_flags);
    f->writeString(3, m_comments);
    f->writeInt16(72, 65);
    f->writeInt16(73, static_cast<std::int16_t>(m_dashes.size()));
    f->writeDouble(40, patternLength());
    for (double d : m_dashes) {
        f->writeDouble(49, d);
        f->writeInt16(74, 0);
    }
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbLinetypeTableRecord::dxfInFields(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = ZcDbSymbolTableRecord::dxfInFields(f);
    if (es != Zcad::eOk) return es;
    if (!f->atSubclassData("AcDbLinetypeTableRecord")) return f->filerStatus();
    m_dashes.clear();
    return zcdbDxfReadSection(f, [this](ZcDbFields& v) {
        v.str(2, m_name);
        v.i16(70, m_flags);
        v.str(3, m_comments);
        double dash = 0, length = 0;
        std::int16_t ignored = 0;
        v.i16(72, ignored);
        v.i16(73, ignored);
        v.i16(74, ignored);
        v.real(40, length);
        bool before = v.matched();
        v.real(49, dash);
        if (v.matched() && !before) m_dashes.push_back(dash);
    });
}

void ZcDbLinetypeTableRecord::setComments(const std::string& s) {
    assertWriteEnabled();
    m_comments = s;
}

double ZcDbLinetypeTableRecord::patternLength() const {
    double sum = 0;
    for (double d : m_dashes) sum += d < 0 ? -d : d;
    return sum;
}

void ZcDbLinetypeTableRecord::setDashes(std::vector<double> dashes) {
    assertWriteEnabled();
    m_dashes = std::move(dashes);
}

// ------------------------------------------------------------- text styles

void ZcDbTextStyleTableRecord::fields(ZcDbFields& v) {
    v.str(2, m_name);
    v.i16(70, m_flags);
    v.real(40, m_textSize);
    v.real(41, m_xScale);
    v.real(50, m_oblique);
    v.i16(71, m_generation);
    v.real(42, m_priorSize);
    v.str(3, m_font);
    v.str(4, m_bigFont);
}
ZCDB_DEFINE_FIELD_FILING(ZcDbTextStyleTableRecord, ZcDbSymbolTableRecord, "AcDbTextStyleTableRecord")

void ZcDbTextStyleTableRecord::setTextSize(double h) {
    assertWriteEnabled();
    m_textSize = h;
}
void ZcDbTextStyleTableRecord::setXScale(double s) {
    assertWriteEnabled();
    m_xScale = s;
}
void ZcDbTextStyleTableRecord::setObliquingAngle(double a) {
    assertWriteEnabled();
    m_oblique = a;
}
void ZcDbTextStyleTableRecord::setFileName(const std::string& f) {
    assertWriteEnabled();
    m_font = f;
}
void ZcDbTextStyleTableRecord::setBigFontFileName(const std::string& f) {
    assertWriteEnabled();
    m_bigFont = f;
}

// ------------------------------------------------------------- applications

void ZcDbRegAppTableRecord::fields(ZcDbFields& v) {
    v.str(2, m_name);
    v.i16(70, m_flags);
}
ZCDB_DEFINE_FIELD_FILING(ZcDbRegAppTableRecord, ZcDbSymbolTableRecord, "AcDbRegAppTableRecord")

// ------------------------------------------------------- dimension styles

void ZcDbDimStyleTableRecord::fields(ZcDbFields& v) {
    v.str(2, m_name);
    v.i16(70, m_flags);
    v.real(40, m_dimscale);
    v.real(41, m_dimasz);
    v.real(42, m_dimexo);
    v.real(44, m_dimexe);
    v.real(140, m_dimtxt);
    v.real(144, m_dimlfac);
    v.real(147, m_dimgap);
    v.i16(77, m_dimtad);
    v.i16(78, m_dimzin);
    v.i16(271, m_dimdec);
}
ZCDB_DEFINE_FIELD_FILING(ZcDbDimStyleTableRecord, ZcDbSymbolTableRecord, "AcDbDimStyleTableRecord")

void ZcDbDimStyleTableRecord::setDimscale(double v) {
    assertWriteEnabled();
    m_dimscale = v;
}
void ZcDbDimStyleTableRecord::setDimasz(double v) {
    assertWriteEnabled();
    m_dimasz = v;
}
void ZcDbDimStyleTableRecord::setDimexo(double v) {
    assertWriteEnabled();
    m_dimexo = v;
}
void ZcDbDimStyleTableRecord::setDimexe(double v) {
    assertWriteEnabled();
    m_dimexe = v;
}
void ZcDbDimStyleTableRecord::setDimtxt(double v) {
    assertWriteEnabled();
    m_dimtxt = v;
}
void ZcDbDimStyleTableRecord::setDimgap(double v) {
    assertWriteEnabled();
    m_dimgap = v;
}
void ZcDbDimStyleTableRecord::setDimlfac(double v) {
    assertWriteEnabled();
    m_dimlfac = v;
}
void ZcDbDimStyleTableRecord::setDimzin(int v) {
    assertWriteEnabled();
    m_dimzin = static_cast<std::int16_t>(v);
}
void ZcDbDimStyleTableRecord::setDimdec(int v) {
    assertWriteEnabled();
    m_dimdec = static_cast<std::int16_t>(v);
}
void ZcDbDimStyleTableRecord::setDimtad(int v) {
    assertWriteEnabled();
    m_dimtad = static_cast<std::int16_t>(v);
}

// ------------------------------------------------------------ views, UCS, vports

void ZcDbAbstractViewTableRecord::setCenterPoint(const ZcGePoint2d& p) {
    assertWriteEnabled();
    m_center = p;
}
void ZcDbAbstractViewTableRecord::setHeight(double h) {
    assertWriteEnabled();
    m_height = h;
}
void ZcDbAbstractViewTableRecord::setViewDirection(const ZcGeVector3d& d) {
    assertWriteEnabled();
    m_direction = d;
}
void ZcDbAbstractViewTableRecord::setTarget(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_target = p;
}
void ZcDbAbstractViewTableRecord::setViewTwist(double a) {
    assertWriteEnabled();
    m_twist = a;
}

void ZcDbViewTableRecord::fields(ZcDbFields& v) {
    v.str(2, m_name);
    v.i16(70, m_flags);
    v.real(40, m_height);
    v.pt2(10, m_center);
    v.real(41, m_width);
    v.vec(11, m_direction);
    v.pt(12, m_target);
    v.real(42, m_lens);
    v.real(43, m_front);
    v.real(44, m_back);
    v.real(50, m_twist);
    v.i16(71, m_viewMode);
}
ZCDB_DEFINE_FIELD_FILING(ZcDbViewTableRecord, ZcDbSymbolTableRecord, "AcDbViewTableRecord")

void ZcDbViewTableRecord::setWidth(double w) {
    assertWriteEnabled();
    m_width = w;
}

void ZcDbUCSTableRecord::fields(ZcDbFields& v) {
    v.str(2, m_name);
    v.i16(70, m_flags);
    v.pt(10, m_origin);
    v.vec(11, m_xAxis);
    v.vec(12, m_yAxis);
}
ZCDB_DEFINE_FIELD_FILING(ZcDbUCSTableRecord, ZcDbSymbolTableRecord, "AcDbUCSTableRecord")

void ZcDbUCSTableRecord::setOrigin(const ZcGePoint3d& p) {
    assertWriteEnabled();
    m_origin = p;
}
void ZcDbUCSTableRecord::setXAxis(const ZcGeVector3d& v) {
    assertWriteEnabled();
    m_xAxis = v;
}
void ZcDbUCSTableRecord::setYAxis(const ZcGeVector3d& v) {
    assertWriteEnabled();
    m_yAxis = v;
}

void ZcDbViewportTableRecord::fields(ZcDbFields& v) {
    v.str(2, m_name);
    v.i16(70, m_flags);
    v.pt2(10, m_lowerLeft);
    v.pt2(11, m_upperRight);
    v.pt2(12, m_center);
    v.pt2(13, m_snapBase);
    v.pt2(14, m_snapSpacing);
    v.pt2(15, m_gridSpacing);
    v.vec(16, m_direction);
    v.pt(17, m_target);
    v.real(40, m_height);
    v.real(41, m_aspect);
    v.real(42, m_lens);
    v.real(50, m_snapAngle);
    v.real(51, m_twist);
}
ZCDB_DEFINE_FIELD_FILING(ZcDbViewportTableRecord, ZcDbSymbolTableRecord, "AcDbViewportTableRecord")
