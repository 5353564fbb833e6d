// The database object: id and owner, open state (read, write, notify),
// erase/unerase, extended data per registered application (kept in the
// order the applications were first written), and the filing protocol.
//
// Open protocol: a newly constructed object counts as open for write until
// it is closed; adding it to a database (appendZcDbEntity, a dictionary's
// setAt, a table's add, ZcDbDatabase::addZcDbObject) keeps it open for write
// and the caller closes it. close() after a write fires the database
// reactors (objectAppended, objectErased, objectModified, in that order).
// A resident object belongs to its database: callers close it, never delete.
//
// Filing: dwgOutFields/dxfOutFields of every class call their parent's
// first. ZcDbObject's DWG part files the owner, the xdata, the extension
// dictionary and the persistent reactors (so undo and copies restore them);
// its DXF part files handle 5, the reactors ("102 {ACAD_REACTORS" with 330
// groups), the extension dictionary ("102 {ACAD_XDICTIONARY" with 360) and
// owner 330; the xdata is filed by dxfOut/dxfIn after all subclass sections.
#pragma once

#include <string>
#include <vector>

#include "host/db/dbdrawable.h"
#include "host/db/dbfiler.h"
#include "host/db/dbid.h"
#include "host/rx/rxobject.h"

struct resbuf;

// One application's extended data: the items after its 1001 group.
struct ZcDbXDataApp {
    std::string app;
    std::vector<ZcDbDxfItem> items;
};

class ZcDbObject : public ZcGiDrawable {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbObject);
    ZcDbObject();
    ~ZcDbObject() override;
    ZcDbObject(const ZcDbObject&) = delete;
    ZcDbObject& operator=(const ZcDbObject&) = delete;

    ZcDbObjectId objectId() const;
    ZcDbObjectId id() const { return objectId(); }
    ZcDbObjectId ownerId() const { return m_ownerId; }
    Zcad::ErrorStatus setOwnerId(ZcDbObjectId owner);
    ZcDbHandle getDbHandle() const;
    ZcDbHandle handle() const { return getDbHandle(); }
    ZcDbDatabase* database() const;

    // Open state.
    bool isNewObject() const { return m_pendingAppend; }
    bool isErased() const;
    bool isReadEnabled() const { return !m_stub || m_writeOpen || m_readers > 0 || m_notifiers > 0; }
    bool isWriteEnabled() const { return m_writeOpen; }
    bool isNotifyEnabled() const { return m_notifiers > 0; }
    bool isModified() const { return m_modified; }
    bool isDbResident() const { return m_stub != nullptr; }
    Zcad::ErrorStatus close();
    Zcad::ErrorStatus upgradeOpen();
    Zcad::ErrorStatus downgradeOpen();
    Zcad::ErrorStatus erase(bool erasing = true);

    void assertReadEnabled() const {}
    // Marks the object modified and, while undo records, keeps its state
    // from before the first change of the current undo group.
    void assertWriteEnabled(bool autoUndo = true, bool recordModified = true);
    void assertNotifyEnabled() const {}

    // Extended data. xData returns a new list (1001 app, its items ...),
    // all applications when appName is null; null when there is none. The
    // caller releases it (nodes with delete, strings with delete[]).
    resbuf* xData(const char* appName = nullptr) const;
    // Each 1001 group replaces that application's data with the groups
    // after it; a 1001 group alone removes the application's data.
    Zcad::ErrorStatus setXData(const resbuf* xdata);
    const std::vector<ZcDbXDataApp>& xDataApps() const { return m_xdata; }
    Zcad::ErrorStatus setXDataApp(const std::string& app, std::vector<ZcDbDxfItem> items);

    // The extension dictionary (null when none) and the objects that keep
    // a persistent reactor on this one, as read from a file.
    ZcDbObjectId extensionDictionary() const { return m_xdictId; }
    void setExtensionDictionary(ZcDbObjectId id) { m_xdictId = id; }
    const std::vector<ZcDbObjectId>& persistentReactorIds() const { return m_reactors; }

    // Filing.
    virtual Zcad::ErrorStatus dwgInFields(ZcDbDwgFiler* filer);
    virtual Zcad::ErrorStatus dwgOutFields(ZcDbDwgFiler* filer) const;
    virtual Zcad::ErrorStatus dxfInFields(ZcDbDxfFiler* filer);
    virtual Zcad::ErrorStatus dxfOutFields(ZcDbDxfFiler* filer) const;
    Zcad::ErrorStatus dwgIn(ZcDbDwgFiler* filer) { return dwgInFields(filer); }
    Zcad::ErrorStatus dwgOut(ZcDbDwgFiler* filer) const { return dwgOutFields(filer); }
    Zcad::ErrorStatus dxfIn(ZcDbDxfFiler* filer);         // fields, then xdata
    Zcad::ErrorStatus dxfOut(ZcDbDxfFiler* filer) const;  // fields, then xdata

    // A new object of the same class with the same DWG-filed state (not
    // in any database; owner kept). Null for classes without constructor.
    ZcDbObject* clone() const;

    // Called once when the object becomes resident, so owners can append
    // the sub-objects they hold (vertices, attributes).
    virtual void subAppendedToDb(ZcDbDatabase* db);

    // Platform internals.
    ZcDbStub* stub() const { return m_stub; }

protected:
    // Called by close() while a write-open resident object is still open
    // for write, before the reactors hear of the change.
    virtual void subClose() {}

private:
    friend class ZcDbDatabase;
    friend Zcad::ErrorStatus zcdbOpenObject(ZcDbObject*&, ZcDbObjectId, ZcDb::OpenMode, bool);
    void fireCloseNotifications();
    Zcad::ErrorStatus readXDataItems(ZcDbDxfFiler* filer);

    ZcDbStub* m_stub = nullptr;
    ZcDbObjectId m_ownerId;
    ZcDbHandle m_fileHandle;  // a handle read before the object is resident
    std::vector<ZcDbXDataApp> m_xdata;
    ZcDbObjectId m_xdictId;
    std::vector<ZcDbObjectId> m_reactors;
    int m_readers = 0;
    int m_notifiers = 0;
    bool m_writeOpen = true;
    bool m_pendingAppend = false;
    bool m_modified = false;
    bool m_eraseChanged = false;
};

Zcad::ErrorStatus zcdbOpenObject(ZcDbObject*& obj, ZcDbObjectId id, ZcDb::OpenMode mode,
                                 bool openErased = false);

// Opens and checks the class: eWrongObjectType (object left closed) when
// the object is not a T.
template <class T>
Zcad::ErrorStatus zcdbOpenObject(T*& obj, ZcDbObjectId id, ZcDb::OpenMode mode, bool openErased = false) {
    obj = nullptr;
    ZcDbObject* raw = nullptr;
    Zcad::ErrorStatus es = zcdbOpenObject(raw, id, mode, openErased);
    if (es != Zcad::eOk) return es;
    T* typed = T::cast(raw);
    if (!typed) {
        raw->close();
        return Zcad::eWrongObjectType;
    }
    obj = typed;
    return Zcad::eOk;
}

inline Zcad::ErrorStatus zcdbOpenZcDbObject(ZcDbObject*& obj, ZcDbObjectId id, ZcDb::OpenMode mode,
                                            bool openErased = false) {
    return zcdbOpenObject(obj, id, mode, openErased);
}

// One item in a DWG filer (code, then its value; a point keeps its 2D flag).
void zcdbWriteItemDwg(ZcDbDwgFiler* f, const ZcDbDxfItem& it);
void zcdbReadItemDwg(ZcDbDwgFiler* f, ZcDbDxfItem& it);

// Item ↔ resbuf conversions shared by the filers and xdata.
bool zcdbItemFromResbuf(const resbuf& rb, ZcDbDxfItem& item);
resbuf* zcdbNewResbufFromItem(const ZcDbDxfItem& item);
// Sets `rb`'s type and value from the item (a text is copied, owned by rb).
void zcdbFillResbufFromItem(resbuf& rb, const ZcDbDxfItem& item);
