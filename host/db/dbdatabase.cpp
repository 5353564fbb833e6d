// The database: object table, default drawing, reactors, undo, entity names.
#include "host/db/dbdatabase.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "host/db/dbdict.h"
#include "host/db/dbsymtb.h"
#include "host/util/nocase.h"
#include "host/util/snapshot.h"
#include "host/win/textutil.h"

namespace {

std::unordered_map<std::int64_t, ZcDbDatabase*>& databasesBySerial() {
    static std::unordered_map<std::int64_t, ZcDbDatabase*> map;
    return map;
}

std::int64_t g_nextSerial = 1;
ZcDbDatabase* g_workingDb = nullptr;

template <class Table>
ZcDbObjectId makeTable(ZcDbDatabase* db) {
    auto* t = new Table;
    ZcDbObjectId id;
    db->addZcDbObject(id, t);
    t->close();
    return id;
}

template <class Record>
Record* addRecord(ZcDbObjectId tableId, const std::string& name) {
    ZcDbSymbolTable* table = nullptr;
    if (zcdbOpenObject(table, tableId, ZcDb::kForWrite) != Zcad::eOk) return nullptr;
    auto* rec = new Record;
    rec->setName(name);
    if (table->add(rec) != Zcad::eOk) {
        delete rec;
        rec = nullptr;
    }
    table->close();
    return rec;
}

}  // namespace

ZCDB_DEFINE_HOST_CLASS(ZcDbDatabase, ZcRxObject, "AcDbDatabase", "", false)

ZcDbDatabase* zcdbCurDwg() {
    return g_workingDb;
}
void zcdbSetCurDwg(ZcDbDatabase* db) {
    g_workingDb = db;
}
ZcDbHostApplicationServices* zcdbHostApplicationServices() {
    static ZcDbHostApplicationServices services;
    return &services;
}

ZcDbDatabase::ZcDbDatabase(bool buildDefaultDrawing) : m_serial(g_nextSerial++) {
    zcrxClassDictionaryPtr();  // the classes exist before any object is made
    databasesBySerial()[m_serial] = this;
    bool recording = m_undo.recording();
    m_undo.setRecording(false);  // a new drawing has nothing to undo
    buildTables(buildDefaultDrawing);
    m_undo.setRecording(recording);
}

ZcDbDatabase::~ZcDbDatabase() {
    databasesBySerial().erase(m_serial);
    if (g_workingDb == this) g_workingDb = nullptr;
    // Objects go before their stubs; none touches another while dying.
    m_stubs.forEach([](const ZcDbStub& s) { const_cast<ZcDbStub&>(s).object.reset(); });
}

ZcDbDatabase* ZcDbDatabase::fromSerial(std::int64_t serial) {
    auto it = databasesBySerial().find(serial);
    return it == databasesBySerial().end() ? nullptr : it->second;
}

void ZcDbDatabase::buildTables(bool defaultDrawing) {
    m_blockTable = makeTable<ZcDbBlockTable>(this);
    m_layerTable = makeTable<ZcDbLayerTable>(this);
    m_linetypeTable = makeTable<ZcDbLinetypeTable>(this);
    m_textStyleTable = makeTable<ZcDbTextStyleTable>(this);
    m_regAppTable = makeTable<ZcDbRegAppTable>(this);
    m_dimStyleTable = makeTable<ZcDbDimStyleTable>(this);
    m_viewTable = makeTable<ZcDbViewTable>(this);
    m_ucsTable = makeTable<ZcDbUCSTable>(this);
    m_viewportTable = makeTable<ZcDbViewportTable>(this);
    m_namedDict = makeTable<ZcDbDictionary>(this);
    if (!defaultDrawing) return;

    for (const char* name : {"ByBlock", "ByLayer", "Continuous"}) {
        if (auto* lt = addRecord<ZcDbLinetypeTableRecord>(m_linetypeTable, name)) {
            if (std::string(name) == "Continuous") lt->setComments("Solid line");
            lt->close();
        }
    }
    if (auto* layer = addRecord<ZcDbLayerTableRecord>(m_layerTable, "0")) {
        m_clayer = layer->objectId();
        layer->close();
    }
    if (auto* style = addRecord<ZcDbTextStyleTableRecord>(m_textStyleTable, "STANDARD")) style->close();
    if (auto* app = addRecord<ZcDbRegAppTableRecord>(m_regAppTable, "ACAD")) app->close();
    if (auto* dim = addRecord<ZcDbDimStyleTableRecord>(m_dimStyleTable, "STANDARD")) dim->close();
    if (auto* vp = addRecord<ZcDbViewportTableRecord>(m_viewportTable, "*Active")) vp->close();
    if (auto* ms = addRecord<ZcDbBlockTableRecord>(m_blockTable, "*Model_Space")) {
        m_modelSpace = ms->objectId();
        ms->close();
    }
    if (auto* ps = addRecord<ZcDbBlockTableRecord>(m_blockTable, "*Paper_Space")) {
        m_paperSpace = ps->objectId();
        ps->close();
    }
    ZcDbDictionary* nod = nullptr;
    if (zcdbOpenObject(nod, m_namedDict, ZcDb::kForWrite) == Zcad::eOk) {
        for (const char* key : {"ACAD_GROUP", "ACAD_LAYOUT"}) {
            auto* sub = new ZcDbDictionary;
            if (nod->setAt(key, sub) == Zcad::eOk)
                sub->close();
            else
                delete sub;
        }
        nod->close();
    }
}

// ------------------------------------------------------------------ objects

ZcDbStub* ZcDbDatabase::newStub(ZcDbHandle handle) {
    ZcDbStub* stub = m_stubs.emplace_back();
    stub->db = this;
    stub->handle = handle;
    m_byHandle.insert(handle.value(), stub);
    if (!(handle < m_nextHandle)) m_nextHandle = ZcDbHandle(handle.value() + 1);
    return stub;
}

Zcad::ErrorStatus ZcDbDatabase::addZcDbObject(ZcDbObject* obj) {
    ZcDbObjectId id;
    return addZcDbObject(id, obj);
}

Zcad::ErrorStatus ZcDbDatabase::addZcDbObject(ZcDbObjectId& id, ZcDbObject* obj) {
    id = ZcDbObjectId();
    if (!obj) return Zcad::eNullObjectPointer;
    if (obj->m_stub) return Zcad::eAlreadyInDb;
    // A handle read from a file is kept when it is free.
    ZcDbHandle h = obj->m_fileHandle;
    ZcDbStub* stub = nullptr;
    if (!h.isNull()) {
        // Free, or reserved by a reader that met a reference to it first.
        stub = m_byHandle.find(h.value());
        if (stub && stub->object) h = ZcDbHandle(), stub = nullptr;
    }
    if (h.isNull()) {
        h = m_nextHandle;
        stub = m_byHandle.find(h.value());
        if (stub && stub->object) return Zcad::eDuplicateKey;
    }
    return attach(id, obj, stub ? stub : newStub(h));
}

Zcad::ErrorStatus ZcDbDatabase::addZcDbObjectWithHandle(ZcDbObjectId& id, ZcDbObject* obj,
                                                        ZcDbHandle handle) {
    id = ZcDbObjectId();
    if (!obj) return Zcad::eNullObjectPointer;
    if (obj->m_stub) return Zcad::eAlreadyInDb;
    if (handle.isNull()) return Zcad::eInvalidInput;
    ZcDbStub* stub = m_byHandle.find(handle.value());
    if (stub && stub->object) return Zcad::eDuplicateKey;
    // A stub found was reserved by a reader that met a reference first.
    return attach(id, obj, stub ? stub : newStub(handle));
}

Zcad::ErrorStatus ZcDbDatabase::attach(ZcDbObjectId& id, ZcDbObject* obj, ZcDbStub* stub) {
    stub->object.reset(obj);
    obj->m_stub = stub;
    obj->m_fileHandle = ZcDbHandle();
    obj->m_writeOpen = true;
    obj->m_pendingAppend = true;
    noteOpened(stub);
    id = ZcDbObjectId(stub);
    if (m_undo.recording()) m_undo.recordAppend(stub);
    if (!obj->m_xdata.empty()) noteXData(stub, obj->m_xdata);
    obj->subAppendedToDb(this);
    return Zcad::eOk;
}

void ZcDbDatabase::noteXData(ZcDbStub* stub, const std::vector<ZcDbXDataApp>& apps) {
    for (const ZcDbXDataApp& app : apps) {
        auto key = m_xdataKeys.find(app.app);
        if (key == m_xdataKeys.end()) key = m_xdataKeys.emplace(app.app, host::toUpper(app.app)).first;
        m_xdataIndex[key->second].insert(stub);
    }
}

Zcad::ErrorStatus ZcDbDatabase::getZcDbObjectId(ZcDbObjectId& id, bool createIfNotFound,
                                                const ZcDbHandle& handle) {
    id = ZcDbObjectId();
    if (handle.isNull()) return Zcad::eInvalidInput;
    if (ZcDbStub* stub = m_byHandle.find(handle.value())) {
        id = ZcDbObjectId(stub);
        return Zcad::eOk;
    }
    if (!createIfNotFound) return Zcad::eKeyNotFound;
    id = ZcDbObjectId(newStub(handle));
    return Zcad::eOk;
}

ZcDbObjectId ZcDbDatabase::objectIdOf(const ZcDbHandle& handle) const {
    return ZcDbObjectId(m_byHandle.find(handle.value()));
}

std::vector<ZcDbObjectId> ZcDbDatabase::allObjectIds() const {
    std::vector<ZcDbObjectId> out;
    out.reserve(m_stubs.size());
    m_stubs.forEach([&](const ZcDbStub& s) { out.push_back(ZcDbObjectId(const_cast<ZcDbStub*>(&s))); });
    return out;
}

std::vector<const ZcDbObject*> ZcDbDatabase::openObjects() const {
    std::vector<const ZcDbObject*> out;
    m_stubs.forEach([&](const ZcDbStub& s) {
        if (s.object && (s.object->m_writeOpen || s.object->m_readers > 0)) out.push_back(s.object.get());
    });
    return out;
}

// Keeps the stubs open now, each once, in creation order.
void ZcDbDatabase::trimOpened() {
    std::erase_if(m_opened, [](const ZcDbStub* s) {
        return !s->object || (!s->object->m_writeOpen && s->object->m_readers == 0);
    });
    std::sort(m_opened.begin(), m_opened.end(),
              [](const ZcDbStub* a, const ZcDbStub* b) { return a->handle < b->handle; });
    m_opened.erase(std::unique(m_opened.begin(), m_opened.end()), m_opened.end());
}

void ZcDbDatabase::noteOpened(ZcDbStub* stub) {
    m_opened.push_back(stub);
    // Without a command processor asking, the list is trimmed to what is
    // still open, which keeps it as long as the work done since.
    if (m_opened.size() > 2 * m_stubs.size() + 1024) trimOpened();
}

void ZcDbDatabase::noteClosed(ZcDbStub* stub) {
    // Most objects are closed before the next one is opened: forgetting them
    // at once keeps a walk over the drawing from filling the list with
    // closed objects that a trim would have to visit again.
    if (!m_opened.empty() && m_opened.back() == stub) m_opened.pop_back();
}

std::vector<const ZcDbObject*> ZcDbDatabase::objectsLeftOpen() {
    // An object still open stays listed: it is reported after every command
    // until it is closed, as a walk over the drawing would.
    trimOpened();
    std::vector<const ZcDbObject*> out;
    out.reserve(m_opened.size());
    for (const ZcDbStub* s : m_opened) out.push_back(s->object.get());
    return out;
}

// ------------------------------------------------------------------ tables

template <class T>
static Zcad::ErrorStatus openAs(T*& t, ZcDbObjectId id, ZcDb::OpenMode mode) {
    return zcdbOpenObject(t, id, mode);
}

Zcad::ErrorStatus ZcDbDatabase::getBlockTable(ZcDbBlockTable*& t, ZcDb::OpenMode m) {
    return openAs(t, m_blockTable, m);
}
Zcad::ErrorStatus ZcDbDatabase::getLayerTable(ZcDbLayerTable*& t, ZcDb::OpenMode m) {
    return openAs(t, m_layerTable, m);
}
Zcad::ErrorStatus ZcDbDatabase::getLinetypeTable(ZcDbLinetypeTable*& t, ZcDb::OpenMode m) {
    return openAs(t, m_linetypeTable, m);
}
Zcad::ErrorStatus ZcDbDatabase::getTextStyleTable(ZcDbTextStyleTable*& t, ZcDb::OpenMode m) {
    return openAs(t, m_textStyleTable, m);
}
Zcad::ErrorStatus ZcDbDatabase::getRegAppTable(ZcDbRegAppTable*& t, ZcDb::OpenMode m) {
    return openAs(t, m_regAppTable, m);
}
Zcad::ErrorStatus ZcDbDatabase::getDimStyleTable(ZcDbDimStyleTable*& t, ZcDb::OpenMode m) {
    return openAs(t, m_dimStyleTable, m);
}
Zcad::ErrorStatus ZcDbDatabase::getViewTable(ZcDbViewTable*& t, ZcDb::OpenMode m) {
    return openAs(t, m_viewTable, m);
}
Zcad::ErrorStatus ZcDbDatabase::getUCSTable(ZcDbUCSTable*& t, ZcDb::OpenMode m) {
    return openAs(t, m_ucsTable, m);
}
Zcad::ErrorStatus ZcDbDatabase::getViewportTable(ZcDbViewportTable*& t, ZcDb::OpenMode m) {
    return openAs(t, m_viewportTable, m);
}
Zcad::ErrorStatus ZcDbDatabase::getNamedObjectsDictionary(ZcDbDictionary*& d, ZcDb::OpenMode m) {
    return openAs(d, m_namedDict, m);
}

ZcDbObjectId ZcDbDatabase::recordId(ZcDbObjectId tableId, std::string_view name) const {
    if (tableId.isNull() || !tableId.stub()->object) return ZcDbObjectId();
    auto* table = ZcDbSymbolTable::cast(tableId.stub()->object.get());
    ZcDbObjectId id;
    if (table) table->getAt(name, id);
    return id;
}

ZcDbObjectId ZcDbDatabase::modelSpaceId() const {
    if (m_modelSpace.isNull() || m_modelSpace.isErased())
        m_modelSpace = recordId(m_blockTable, "*Model_Space");
    return m_modelSpace;
}

ZcDbObjectId ZcDbDatabase::paperSpaceId() const {
    if (m_paperSpace.isNull() || m_paperSpace.isErased())
        m_paperSpace = recordId(m_blockTable, "*Paper_Space");
    return m_paperSpace;
}

Zcad::ErrorStatus ZcDbDatabase::setClayer(ZcDbObjectId layerId) {
    if (layerId.isNull() || !layerId.stub()->object) return Zcad::eNullObjectId;
    if (layerId.database() != this) return Zcad::eWrongDatabase;
    if (!ZcDbLayerTableRecord::cast(layerId.stub()->object.get())) return Zcad::eWrongObjectType;
    if (layerId.isErased()) return Zcad::eWasErased;
    m_clayer = layerId;
    return Zcad::eOk;
}

// ---------------------------------------------------------------- reactors

void ZcDbDatabase::addReactor(ZcDbDatabaseReactor* r) {
    if (r && std::find(m_reactors.begin(), m_reactors.end(), r) == m_reactors.end()) m_reactors.push_back(r);
}

void ZcDbDatabase::removeReactor(ZcDbDatabaseReactor* r) {
    m_reactors.erase(std::remove(m_reactors.begin(), m_reactors.end(), r), m_reactors.end());
}

bool ZcDbDatabase::hasReactor(const ZcDbDatabaseReactor* r) const {
    return std::find(m_reactors.begin(), m_reactors.end(), r) != m_reactors.end();
}

// A reactor may remove itself (or others) while being notified: walk a copy
// and skip the ones gone meanwhile.
#define ZCDB_FOR_EACH_REACTOR(CALL)                                 \
    const host::Snapshot<ZcDbDatabaseReactor> snapshot(m_reactors); \
    for (ZcDbDatabaseReactor * r : snapshot)                        \
        if (std::find(m_reactors.begin(), m_reactors.end(), r) != m_reactors.end()) r->CALL

void ZcDbDatabase::notifyAppended(const ZcDbObject* obj) {
    ZCDB_FOR_EACH_REACTOR(objectAppended(this, obj));
}
void ZcDbDatabase::notifyOpenedForModify(const ZcDbObject* obj) {
    ZCDB_FOR_EACH_REACTOR(objectOpenedForModify(this, obj));
}
void ZcDbDatabase::notifyModified(const ZcDbObject* obj) {
    ZCDB_FOR_EACH_REACTOR(objectModified(this, obj));
}
void ZcDbDatabase::notifyErased(const ZcDbObject* obj, bool erased) {
    ZCDB_FOR_EACH_REACTOR(objectErased(this, obj, erased));
}

// -------------------------------------------------------------------- undo

ZcDbUndoJournal::Group& ZcDbUndoJournal::current() {
    if (m_depth == 0 && !m_implicitOpen) {
        m_groups.emplace_back();
        m_implicitOpen = true;
    }
    return m_groups.back();
}

void ZcDbUndoJournal::beginGroup() {
    if (m_depth++ > 0) return;
    m_implicitOpen = false;
    m_groups.emplace_back();
}

void ZcDbUndoJournal::endGroup() {
    if (m_depth == 0) return;
    --m_depth;
}

void ZcDbUndoJournal::mark() {
    m_implicitOpen = false;
    Group g;
    g.isMark = true;
    m_groups.push_back(std::move(g));
}

void ZcDbUndoJournal::recordModify(ZcDbObject* obj) {
    if (!recording()) return;
    Group& g = current();
    ZcDbStub* stub = obj->stub();
    for (; g.indexed < g.entries.size(); ++g.indexed)
        if (g.entries[g.indexed].kind == Entry::kAppend) g.seen.insert(g.entries[g.indexed].stub);
    if (!g.seen.insert(stub)) return;  // state already kept in this group
    // Filed into kept room and copied out at its size: a state is kept with
    // no room to spare, made in one allocation.
    thread_local std::vector<std::uint8_t> room;
    ZcDbDwgFiler filer(stub->db, ZcDb::kUndoFiler);
    filer.lendRoom(std::exchange(room, {}));
    m_replaying = true;  // filing out must not record anything itself
    obj->dwgOutFields(&filer);
    m_replaying = false;
    g.entries.push_back({stub, static_cast<std::uint32_t>(g.states.size()), Entry::kModify, false});
    g.states.push_back(filer.data());
    room = filer.takeRoom();
    g.indexed = g.entries.size();
}

void ZcDbUndoJournal::recordAppend(ZcDbStub* stub) {
    if (!recording()) return;
    // Undoing the append covers later changes: recordModify skips it.
    current().entries.push_back({stub, 0, Entry::kAppend, false});
}

void ZcDbUndoJournal::recordTableAdd(ZcDbStub* table, ZcDbStub* record) {
    if (!recording()) return;
    Group& g = current();
    // Before the record's own append, so that undoing erases the record
    // first and then takes it out of the table, as restoring the table's
    // whole state after it did.
    auto at = g.entries.end();
    if (!g.entries.empty() && g.entries.back().kind == Entry::kAppend && g.entries.back().stub == record)
        --at;
    g.entries.insert(at, {table, static_cast<std::uint32_t>(g.recordsAdded.size()), Entry::kTableAdd, false});
    g.recordsAdded.push_back(record);
}

void ZcDbUndoJournal::recordErase(ZcDbStub* stub, bool wasErased) {
    if (!recording()) return;
    current().entries.push_back({stub, 0, Entry::kErase, wasErased});
}

bool ZcDbDatabase::undoGroup() {
    m_undo.m_implicitOpen = false;
    m_undo.m_depth = 0;
    // Marks in the way are passed over (and dropped).
    while (!m_undo.m_groups.empty() && m_undo.m_groups.back().isMark) m_undo.m_groups.pop_back();
    if (m_undo.m_groups.empty()) return false;
    ZcDbUndoJournal::Group g = std::move(m_undo.m_groups.back());
    m_undo.m_groups.pop_back();
    undoOneGroup(g);
    return true;
}

int ZcDbDatabase::undoToMark() {
    m_undo.m_implicitOpen = false;
    m_undo.m_depth = 0;
    int count = 0;
    while (!m_undo.m_groups.empty()) {
        ZcDbUndoJournal::Group g = std::move(m_undo.m_groups.back());
        m_undo.m_groups.pop_back();
        if (g.isMark) break;
        undoOneGroup(g);
        ++count;
    }
    return count;
}

void ZcDbDatabase::undoOneGroup(ZcDbUndoJournal::Group& g) {
    m_undo.m_replaying = true;
    for (auto it = g.entries.rbegin(); it != g.entries.rend(); ++it) {
        switch (it->kind) {
            case ZcDbUndoJournal::Entry::kModify:
                restoreState(it->stub, g.states[it->state]);
                break;
            case ZcDbUndoJournal::Entry::kAppend:
                setErasedFlag(it->stub, true);
                break;
            case ZcDbUndoJournal::Entry::kErase:
                setErasedFlag(it->stub, it->wasErased);
                break;
            case ZcDbUndoJournal::Entry::kTableAdd:
                takeBackTableRecord(it->stub, g.recordsAdded[it->state]);
                break;
        }
    }
    m_undo.m_replaying = false;
}

void ZcDbDatabase::restoreState(ZcDbStub* stub, const std::vector<std::uint8_t>& state) {
    ZcDbObject* obj = stub->object.get();
    if (!obj) return;
    ZcDbDwgFiler filer(this, ZcDb::kUndoFiler);
    filer.setData(state);
    bool wasOpen = obj->m_writeOpen;
    // An object someone holds open is restored in place; otherwise it is
    // opened for write here so that closing it notifies the reactors.
    obj->m_writeOpen = true;
    Zcad::ErrorStatus es = obj->dwgInFields(&filer);
    if (es != Zcad::eOk)
        std::fprintf(stderr, "undo: state of %s not restored\n", stub->handle.ascii().c_str());
    obj->m_modified = true;
    if (!wasOpen) {
        obj->m_writeOpen = false;
        obj->fireCloseNotifications();
    }
}

void ZcDbDatabase::takeBackTableRecord(ZcDbStub* table, ZcDbStub* record) {
    auto* t = table->object ? ZcDbSymbolTable::cast(table->object.get()) : nullptr;
    if (!t) return;
    // As restoreState: in place when held open, else closed with notice.
    const bool wasOpen = t->m_writeOpen;
    t->m_writeOpen = true;
    t->takeBackAdded(ZcDbObjectId(record));
    t->m_modified = true;
    if (!wasOpen) {
        t->m_writeOpen = false;
        t->fireCloseNotifications();
    }
}

void ZcDbDatabase::setErasedFlag(ZcDbStub* stub, bool erased) {
    if (stub->erased == erased) return;
    stub->erased = erased;
    ZcDbObject* obj = stub->object.get();
    if (!obj) return;
    obj->m_eraseChanged = true;
    // Held open for write, it tells its reactors when it is closed.
    if (!obj->m_writeOpen) obj->fireCloseNotifications();
}

// ------------------------------------------------------------- entity names

Zcad::ErrorStatus zcdbGetAdsName(ads_name name, ZcDbObjectId id) {
    if (id.isNull()) {
        name[0] = name[1] = 0;
        return Zcad::eNullObjectId;
    }
    name[0] = id.database()->serial();
    name[1] = static_cast<std::int64_t>(id.handle().value());
    return Zcad::eOk;
}

Zcad::ErrorStatus zcdbGetObjectId(ZcDbObjectId& id, const ads_name name) {
    id = ZcDbObjectId();
    ZcDbDatabase* db = ZcDbDatabase::fromSerial(name[0]);
    if (!db) return Zcad::eInvalidInput;
    id = db->objectIdOf(ZcDbHandle(static_cast<std::uint64_t>(name[1])));
    return id.isNull() ? Zcad::eKeyNotFound : Zcad::eOk;
}
