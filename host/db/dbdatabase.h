// The drawing database: one per drawing. It owns every object through a
// stub per object id (ids stay valid for the database's life), maps handles
// to stubs (O(1) lookup, O(1) append, host/db/handlemap.h), holds the symbol
// tables and the named-object dictionary of a new drawing, fires the
// database reactors, and keeps the undo journal.
//
// Undo: while recording, the first assertWriteEnabled of an object within
// an undo group files the object's previous state (DWG filer); appends and
// erasures are journalled too. undoGroup() reverses the last group:
// filed states are read back, appended objects are un-appended (erased),
// erasures are reversed. Groups nest (only the outermost counts); changes
// outside any group collect in an implicit group closed by the next
// beginUndoGroup, mark or undo.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host/db/dbobject.h"
#include "host/db/handlemap.h"
#include "host/db/stubset.h"
#include "host/util/adscodes.h"

class ZcDbSymbolTable;
class ZcDbBlockTable;
class ZcDbLayerTable;
class ZcDbLinetypeTable;
class ZcDbTextStyleTable;
class ZcDbRegAppTable;
class ZcDbDimStyleTable;
class ZcDbViewTable;
class ZcDbUCSTable;
class ZcDbViewportTable;
class ZcDbDictionary;
class ZcDbEntity;

struct ZcDbStub {
    ZcDbDatabase* db = nullptr;
    ZcDbHandle handle;
    std::unique_ptr<ZcDbObject> object;  // null for a handle reserved by a reader
    bool erased = false;
};

class ZcDbDatabase;

class ZcDbDatabaseReactor : public ZcRxObject {
public:
    virtual void objectAppended(const ZcDbDatabase* db, const ZcDbObject* obj) { (void)db, (void)obj; }
    // Before the first change of an object already in the drawing, once
    // per open for write: the object still holds what it held before.
    virtual void objectOpenedForModify(const ZcDbDatabase* db, const ZcDbObject* obj) { (void)db, (void)obj; }
    virtual void objectModified(const ZcDbDatabase* db, const ZcDbObject* obj) { (void)db, (void)obj; }
    virtual void objectErased(const ZcDbDatabase* db, const ZcDbObject* obj, bool erased = true) {
        (void)db, (void)obj, (void)erased;
    }
};

class ZcDbUndoJournal {
public:
    bool recording() const { return m_recording && !m_replaying; }
    void setRecording(bool on) { m_recording = on; }
    void beginGroup();
    void endGroup();
    void mark();
    bool groupOpen() const { return m_depth > 0; }
    std::size_t numGroups() const { return m_groups.size(); }
    void clear() {
        m_groups.clear();
        m_depth = 0;
        m_implicitOpen = false;
    }
    // After a group ends: a last group that recorded nothing is dropped, so
    // undoing steps over commands that changed nothing.
    void dropEmptyLastGroup() {
        if (m_depth == 0 && !m_groups.empty() && !m_groups.back().isMark && m_groups.back().entries.empty())
            m_groups.pop_back();
    }

    // Recording, called by objects and the database.
    void recordModify(ZcDbObject* obj);
    void recordAppend(ZcDbStub* stub);
    void recordErase(ZcDbStub* stub, bool wasErased);
    // A record added to a symbol table (appended just now): undone by taking
    // it out of the table, which is all the table's state the add changed.
    void recordTableAdd(ZcDbStub* table, ZcDbStub* record);

private:
    friend class ZcDbDatabase;
    // Small, so that erasing a whole drawing writes little: a kept state
    // lives beside the entries.
    struct Entry {
        ZcDbStub* stub;
        std::uint32_t state;  // kModify: index in the group's states; kTableAdd: in its records added
        enum Kind : std::uint8_t { kModify, kAppend, kErase, kTableAdd } kind;
        bool wasErased;
    };
    struct Group {
        std::vector<Entry> entries;
        std::vector<std::vector<std::uint8_t>> states;
        std::vector<ZcDbStub*> recordsAdded;
        // Stubs whose state the group already holds. Appends are added only
        // when a change is first recorded (entries before `indexed` are in
        // it): a command that only adds objects never builds the set.
        host::StubSet seen;
        std::size_t indexed = 0;
        bool isMark = false;
    };
    Group& current();

    std::deque<Group> m_groups;  // one per command of a long script: never moved
    int m_depth = 0;
    bool m_implicitOpen = false;
    bool m_recording = true;
    bool m_replaying = false;
};

class ZcDbDatabase : public ZcRxObject {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbDatabase);
    // A database holding what a new drawing holds (tables with their
    // standard records, model and paper space, the named-object dictionary);
    // `buildDefaultDrawing` false gives the bare tables and dictionary only.
    explicit ZcDbDatabase(bool buildDefaultDrawing = true);
    ~ZcDbDatabase() override;
    ZcDbDatabase(const ZcDbDatabase&) = delete;
    ZcDbDatabase& operator=(const ZcDbDatabase&) = delete;

    // Objects.
    Zcad::ErrorStatus addZcDbObject(ZcDbObjectId& id, ZcDbObject* obj);
    Zcad::ErrorStatus addZcDbObject(ZcDbObject* obj);
    // For readers of files: the object takes `handle` (a stub reserved for
    // it by getZcDbObjectId is filled); eDuplicateKey when it is taken.
    Zcad::ErrorStatus addZcDbObjectWithHandle(ZcDbObjectId& id, ZcDbObject* obj, ZcDbHandle handle);
    Zcad::ErrorStatus getZcDbObjectId(ZcDbObjectId& id, bool createIfNotFound, const ZcDbHandle& handle);
    ZcDbObjectId objectIdOf(const ZcDbHandle& handle) const;
    ZcDbHandle handseed() const { return m_nextHandle; }
    std::size_t numObjects() const { return m_stubs.size(); }
    // Room for `n` more objects, for readers that know how many come and
    // the highest handle among them.
    void reserveObjects(std::size_t n, std::uint64_t topHandle = 0) { m_byHandle.reserve(n, topHandle); }
    // Every stub in creation order (erased ones included).
    std::vector<ZcDbObjectId> allObjectIds() const;
    // Objects open for read or write now (open for notify does not count),
    // in creation order.
    std::vector<const ZcDbObject*> openObjects() const;
    // The same, found among the objects opened since the last call rather
    // than by a walk over the whole drawing: the command processor asks
    // after every command, and a walk each time made long scripts quadratic.
    std::vector<const ZcDbObject*> objectsLeftOpen();
    // Objects by the applications of their xdata, under the upper-cased
    // application name: every object that has carried it since it joined
    // the drawing. One that has dropped it since stays listed, so readers
    // look at the object itself; what is listed is what a selection by
    // application need look at, instead of every entity of the drawing.
    const std::unordered_map<std::string, std::unordered_set<ZcDbStub*>>& xdataIndex() const {
        return m_xdataIndex;
    }
    // Platform internals: `stub`'s object now carries xdata of these
    // applications.
    void noteXData(ZcDbStub* stub, const std::vector<ZcDbXDataApp>& apps);
    // Platform internals: an object was opened for read or write.
    void noteOpened(ZcDbStub* stub);
    // Platform internals: an object is now closed for read and write.
    void noteClosed(ZcDbStub* stub);

    // Tables and dictionaries.
    ZcDbObjectId blockTableId() const { return m_blockTable; }
    ZcDbObjectId layerTableId() const { return m_layerTable; }
    ZcDbObjectId linetypeTableId() const { return m_linetypeTable; }
    ZcDbObjectId textStyleTableId() const { return m_textStyleTable; }
    ZcDbObjectId regAppTableId() const { return m_regAppTable; }
    ZcDbObjectId dimStyleTableId() const { return m_dimStyleTable; }
    ZcDbObjectId viewTableId() const { return m_viewTable; }
    ZcDbObjectId UCSTableId() const { return m_ucsTable; }
    ZcDbObjectId viewportTableId() const { return m_viewportTable; }

    // The CLASS records (their groups) of the file the drawing was read
    // from: saving writes back those of kinds the drawing still holds.
    std::vector<std::vector<ZcDbDxfItem>>& fileClasses() { return m_fileClasses; }
    ZcDbObjectId namedObjectsDictionaryId() const { return m_namedDict; }
    Zcad::ErrorStatus getBlockTable(ZcDbBlockTable*& t, ZcDb::OpenMode mode = ZcDb::kForRead);
    Zcad::ErrorStatus getLayerTable(ZcDbLayerTable*& t, ZcDb::OpenMode mode = ZcDb::kForRead);
    Zcad::ErrorStatus getLinetypeTable(ZcDbLinetypeTable*& t, ZcDb::OpenMode mode = ZcDb::kForRead);
    Zcad::ErrorStatus getTextStyleTable(ZcDbTextStyleTable*& t, ZcDb::OpenMode mode = ZcDb::kForRead);
    Zcad::ErrorStatus getRegAppTable(ZcDbRegAppTable*& t, ZcDb::OpenMode mode = ZcDb::kForRead);
    Zcad::ErrorStatus getDimStyleTable(ZcDbDimStyleTable*& t, ZcDb::OpenMode mode = ZcDb::kForRead);
    Zcad::ErrorStatus getViewTable(ZcDbViewTable*& t, ZcDb::OpenMode mode = ZcDb::kForRead);
    Zcad::ErrorStatus getUCSTable(ZcDbUCSTable*& t, ZcDb::OpenMode mode = ZcDb::kForRead);
    Zcad::ErrorStatus getViewportTable(ZcDbViewportTable*& t, ZcDb::OpenMode mode = ZcDb::kForRead);
    Zcad::ErrorStatus getNamedObjectsDictionary(ZcDbDictionary*& d, ZcDb::OpenMode mode = ZcDb::kForRead);
    // The table record of that name in the table of that id (null id when absent or erased).
    ZcDbObjectId recordId(ZcDbObjectId tableId, std::string_view name) const;

    ZcDbObjectId modelSpaceId() const;
    ZcDbObjectId paperSpaceId() const;
    ZcDbObjectId currentSpaceId() const { return m_currentSpace.isNull() ? modelSpaceId() : m_currentSpace; }
    void setCurrentSpaceId(ZcDbObjectId id) { m_currentSpace = id; }
    ZcDbObjectId clayer() const { return m_clayer; }
    Zcad::ErrorStatus setClayer(ZcDbObjectId layerId);
    // Adds the definition of linetype `ltName` (case-blind) from a linetype
    // file ("*NAME,description" over "A,dash,gap,..."), the file named as
    // given or found on the support path. eOk also when the drawing has it
    // already; eInvalidInput without the file or with a damaged definition,
    // eKeyNotFound without the name. `error` then says where: "FILE:LINE:
    // what", or "FILE: what" for a name the file lacks.
    Zcad::ErrorStatus loadLineTypeFile(const std::string& ltName, const std::string& fileName,
                                       std::string* error = nullptr);
    ZcDbObjectId byLayerLinetype() const { return recordId(m_linetypeTable, "ByLayer"); }
    ZcDbObjectId byBlockLinetype() const { return recordId(m_linetypeTable, "ByBlock"); }
    ZcDbObjectId continuousLinetype() const { return recordId(m_linetypeTable, "Continuous"); }
    ZcDbObjectId textstyle() const { return recordId(m_textStyleTable, "STANDARD"); }
    ZcDbObjectId dimstyle() const { return recordId(m_dimStyleTable, "STANDARD"); }

    // Reactors (not owned), notified in the order they were added.
    void addReactor(ZcDbDatabaseReactor* r);
    void removeReactor(ZcDbDatabaseReactor* r);
    bool hasReactor(const ZcDbDatabaseReactor* r) const;

    // Undo.
    ZcDbUndoJournal& undoJournal() { return m_undo; }
    bool undoRecording() const { return m_undo.recording(); }
    void disableUndoRecording(bool disable) { m_undo.setRecording(!disable); }
    void beginUndoGroup() { m_undo.beginGroup(); }
    void endUndoGroup() { m_undo.endGroup(); }
    void undoMark() { m_undo.mark(); }
    // Reverses the last group; false when there is nothing to undo.
    bool undoGroup();
    // Reverses groups back to the last mark (removing it); returns the count.
    int undoToMark();

    // Highlighting is recorded, not drawn: (entity, on) in call order.
    std::vector<std::pair<ZcDbObjectId, bool>>& highlightLog() { return m_highlights; }

    // Entity names of the classic interface: (database serial, handle).
    std::int64_t serial() const { return m_serial; }
    static ZcDbDatabase* fromSerial(std::int64_t serial);

    // Platform internals.
    void notifyAppended(const ZcDbObject* obj);
    void notifyOpenedForModify(const ZcDbObject* obj);
    void notifyModified(const ZcDbObject* obj);
    void notifyErased(const ZcDbObject* obj, bool erased);

private:
    ZcDbStub* newStub(ZcDbHandle handle);
    // Makes `stub` (free) hold `obj`, open for write, appended.
    Zcad::ErrorStatus attach(ZcDbObjectId& id, ZcDbObject* obj, ZcDbStub* stub);
    void buildTables(bool defaultDrawing);
    void restoreState(ZcDbStub* stub, const std::vector<std::uint8_t>& state);
    void setErasedFlag(ZcDbStub* stub, bool erased);
    void takeBackTableRecord(ZcDbStub* table, ZcDbStub* record);
    void undoOneGroup(ZcDbUndoJournal::Group& g);
    void trimOpened();

    host::StubStore<ZcDbStub> m_stubs;
    std::unordered_map<std::string, std::unordered_set<ZcDbStub*>> m_xdataIndex;
    std::unordered_map<std::string, std::string> m_xdataKeys;  // application name as written -> key
    // Stubs opened since objectsLeftOpen() last looked (repeats allowed).
    std::vector<ZcDbStub*> m_opened;
    host::HandleMap m_byHandle;
    ZcDbHandle m_nextHandle{1};
    ZcDbObjectId m_blockTable, m_layerTable, m_linetypeTable, m_textStyleTable, m_regAppTable,
        m_dimStyleTable, m_viewTable, m_ucsTable, m_viewportTable, m_namedDict;
    ZcDbObjectId m_clayer, m_currentSpace;
    mutable ZcDbObjectId m_modelSpace, m_paperSpace;
    std::vector<ZcDbDatabaseReactor*> m_reactors;
    ZcDbUndoJournal m_undo;
    std::vector<std::pair<ZcDbObjectId, bool>> m_highlights;
    std::int64_t m_serial;
    std::vector<std::vector<ZcDbDxfItem>> m_fileClasses;
};

// Entity names of the classic interface.
Zcad::ErrorStatus zcdbGetAdsName(ads_name name, ZcDbObjectId id);
Zcad::ErrorStatus zcdbGetObjectId(ZcDbObjectId& id, const ads_name name);

// The database commands work on: set by the editor per current document.
ZcDbDatabase* zcdbCurDwg();
void zcdbSetCurDwg(ZcDbDatabase* db);

class ZcDbHostApplicationServices {
public:
    ZcDbDatabase* workingDatabase() const { return zcdbCurDwg(); }
    void setWorkingDatabase(ZcDbDatabase* db) { zcdbSetCurDwg(db); }
};
ZcDbHostApplicationServices* zcdbHostApplicationServices();
