// ZcDbObject: open state, notifications, xdata, and the base filing.
#include "host/db/dbobject.h"

#include <cstring>

#include "host/db/dbdatabase.h"
#include "host/db/dbsymtb.h"
#include "host/util/nocase.h"
#include "host/util/resbuf.h"

ZcRxClass* ZcDbObject::desc() {
    static ZcRxClass* cls = zcrxRegisterHostClass("AcDbObject", ZcRxObject::desc(), "",
                                                  nullptr);  // drawable is not a class of its own
    return cls;
}
ZcRxClass* ZcDbObject::isA() const {
    return ZcDbObject::desc();
}

ZcDbObject::ZcDbObject() = default;
ZcDbObject::~ZcDbObject() = default;

ZcDbObjectId ZcDbObject::objectId() const {
    return ZcDbObjectId(m_stub);
}

Zcad::ErrorStatus ZcDbObject::setOwnerId(ZcDbObjectId owner) {
    assertWriteEnabled(false, false);
    m_ownerId = owner;
    return Zcad::eOk;
}

ZcDbHandle ZcDbObject::getDbHandle() const {
    return m_stub ? m_stub->handle : m_fileHandle;
}

ZcDbDatabase* ZcDbObject::database() const {
    return m_stub ? m_stub->db : nullptr;
}

bool ZcDbObject::isErased() const {
    return m_stub && m_stub->erased;
}

// ------------------------------------------------------------------ opening

Zcad::ErrorStatus zcdbOpenObject(ZcDbObject*& obj, ZcDbObjectId id, ZcDb::OpenMode mode, bool openErased) {
    obj = nullptr;
    if (id.isNull()) return Zcad::eNullObjectId;
    ZcDbStub* stub = id.stub();
    if (!stub->object) return Zcad::ePermanentlyErased;
    if (stub->erased && !openErased) return Zcad::eWasErased;
    ZcDbObject* o = stub->object.get();
    switch (mode) {
        case ZcDb::kForRead:
            if (o->m_writeOpen) return Zcad::eWasOpenedForWrite;
            ++o->m_readers;
            if (stub->db) stub->db->noteOpened(stub);
            break;
        case ZcDb::kForWrite:
            if (o->m_writeOpen) return Zcad::eWasOpenedForWrite;
            if (o->m_readers > 0) return Zcad::eWasOpenedForRead;
            o->m_writeOpen = true;
            if (stub->db) stub->db->noteOpened(stub);
            break;
        case ZcDb::kForNotify:
            ++o->m_notifiers;
            break;
        default:
            return Zcad::eInvalidInput;
    }
    obj = o;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbObject::close() {
    if (!m_stub) {
        // Not in a database: nothing to notify; the caller still owns it.
        return Zcad::eOk;
    }
    if (m_writeOpen) {
        subClose();
        m_writeOpen = false;
        fireCloseNotifications();
        if (!m_writeOpen && m_readers == 0 && m_stub && m_stub->db) m_stub->db->noteClosed(m_stub);
        return Zcad::eOk;
    }
    if (m_notifiers > 0) {
        --m_notifiers;
        return Zcad::eOk;
    }
    if (m_readers > 0) {
        if (--m_readers == 0 && m_stub->db) m_stub->db->noteClosed(m_stub);
        return Zcad::eOk;
    }
    return Zcad::eNotOpenForRead;
}

Zcad::ErrorStatus ZcDbObject::upgradeOpen() {
    if (m_writeOpen) return Zcad::eWasOpenedForWrite;
    if (m_readers > 1) return Zcad::eHadMultipleReaders;
    if (m_readers == 0) return Zcad::eNotOpenForRead;
    m_readers = 0;
    m_writeOpen = true;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbObject::downgradeOpen() {
    if (!m_writeOpen) return Zcad::eNotOpenForWrite;
    if (!m_stub) return Zcad::eOk;
    m_writeOpen = false;
    ++m_readers;
    fireCloseNotifications();
    return Zcad::eOk;
}

void ZcDbObject::fireCloseNotifications() {
    ZcDbDatabase* db = m_stub ? m_stub->db : nullptr;
    bool appended = m_pendingAppend, erasedChanged = m_eraseChanged, modified = m_modified;
    m_pendingAppend = m_eraseChanged = m_modified = false;
    if (!db) return;
    // Reactors may open this object again (for read): it is closed by now.
    if (appended) db->notifyAppended(this);
    if (erasedChanged) db->notifyErased(this, m_stub->erased);
    if (modified && !appended) db->notifyModified(this);
}

Zcad::ErrorStatus ZcDbObject::erase(bool erasing) {
    if (!m_stub) return Zcad::eNotInDatabase;
    if (!m_writeOpen) return Zcad::eNotOpenForWrite;
    if (m_stub->erased == erasing) return erasing ? Zcad::eWasErased : Zcad::eWasNotErased;
    if (m_stub->db->undoRecording()) m_stub->db->undoJournal().recordErase(m_stub, m_stub->erased);
    m_stub->erased = erasing;
    m_eraseChanged = true;
    return Zcad::eOk;
}

void ZcDbObject::assertWriteEnabled(bool autoUndo, bool recordModified) {
    // The first change of an open is announced before it is made; an
    // object not yet appended is new to the drawing's reactors.
    if (recordModified && !m_modified && !m_pendingAppend && m_stub) m_stub->db->notifyOpenedForModify(this);
    if (recordModified) m_modified = true;
    if (autoUndo && m_stub && m_stub->db->undoRecording()) m_stub->db->undoJournal().recordModify(this);
}

void ZcDbObject::subAppendedToDb(ZcDbDatabase* db) {
    (void)db;
}

// -------------------------------------------------------------------- xdata

bool zcdbItemFromResbuf(const resbuf& rb, ZcDbDxfItem& it) {
    it = ZcDbDxfItem{};
    it.code = rb.restype;
    it.kind = ZcDbDxfItem::kindOfCode(it.code);
    switch (it.kind) {
        case ZcDbDxfItem::kString:
        case ZcDbDxfItem::kHandle:
            it.text = rb.resval.rstring ? rb.resval.rstring : "";
            return true;
        case ZcDbDxfItem::kReal:
            it.real[0] = rb.resval.rreal;
            return true;
        case ZcDbDxfItem::kPoint:
            for (int i = 0; i < 3; ++i) it.real[i] = rb.resval.rpoint[i];
            return true;
        case ZcDbDxfItem::kInt16:
        case ZcDbDxfItem::kBool:
            it.integer = rb.resval.rint;
            return true;
        case ZcDbDxfItem::kInt32:
            it.integer = rb.resval.rlong;
            return true;
        case ZcDbDxfItem::kInt64:
            it.integer = rb.resval.mnLongPtr;
            return true;
        case ZcDbDxfItem::kId:
            return zcdbGetObjectId(it.id, rb.resval.rlname) == Zcad::eOk || true;
        case ZcDbDxfItem::kUnknown:
            return false;
    }
    return false;
}

resbuf* zcdbNewResbufFromItem(const ZcDbDxfItem& it) {
    auto* rb = new resbuf;
    zcdbFillResbufFromItem(*rb, it);
    return rb;
}

void zcdbFillResbufFromItem(resbuf& rb, const ZcDbDxfItem& it) {
    rb.restype = static_cast<short>(it.code);
    switch (it.kind) {
        case ZcDbDxfItem::kString:
        case ZcDbDxfItem::kHandle: {
            rb.resval.rstring = new char[it.text.size() + 1];
            std::memcpy(rb.resval.rstring, it.text.c_str(), it.text.size() + 1);
            break;
        }
        case ZcDbDxfItem::kReal:
            rb.resval.rreal = it.real[0];
            break;
        case ZcDbDxfItem::kPoint:
            for (int i = 0; i < 3; ++i) rb.resval.rpoint[i] = it.real[i];
            break;
        case ZcDbDxfItem::kInt16:
        case ZcDbDxfItem::kBool:
            rb.resval.rint = static_cast<short>(it.integer);
            break;
        case ZcDbDxfItem::kInt32:
            rb.resval.rlong = static_cast<std::int32_t>(it.integer);
            break;
        case ZcDbDxfItem::kInt64:
            rb.resval.mnLongPtr = it.integer;
            break;
        case ZcDbDxfItem::kId:
            zcdbGetAdsName(rb.resval.rlname, it.id);
            break;
        case ZcDbDxfItem::kUnknown:
            break;
    }
}

resbuf* ZcDbObject::xData(const char* appName) const {
    assertReadEnabled();
    resbuf* head = nullptr;
    resbuf** tail = &head;
    auto append = [&](resbuf* rb) {
        *tail = rb;
        tail = &rb->rbnext;
    };
    for (const ZcDbXDataApp& app : m_xdata) {
        if (appName && !zcutEqualsNoCase(app.app, appName)) continue;
        ZcDbDxfItem name;
        name.code = 1001;
        name.kind = ZcDbDxfItem::kString;
        name.text = app.app;
        append(zcdbNewResbufFromItem(name));
        for (const ZcDbDxfItem& it : app.items) append(zcdbNewResbufFromItem(it));
    }
    return head;
}

Zcad::ErrorStatus ZcDbObject::setXData(const resbuf* xdata) {
    // Check the whole list first: a bad list changes nothing.
    std::vector<std::pair<std::string, std::vector<ZcDbDxfItem>>> parsed;
    for (const resbuf* rb = xdata; rb; rb = rb->rbnext) {
        if (rb->restype == 1001) {
            const char* name = rb->resval.rstring;
            if (!name || !*name) return Zcad::eInvalidInput;
            if (ZcDbDatabase* db = database()) {
                if (db->recordId(db->regAppTableId(), name).isNull()) return Zcad::eKeyNotFound;
            }
            parsed.push_back({name, {}});
            continue;
        }
        if (parsed.empty() || rb->restype < 1000 || rb->restype > 1071) return Zcad::eInvalidInput;
        ZcDbDxfItem it;
        if (!zcdbItemFromResbuf(*rb, it)) return Zcad::eInvalidInput;
        parsed.back().second.push_back(std::move(it));
    }
    assertWriteEnabled();
    for (auto& [app, items] : parsed) setXDataApp(app, std::move(items));
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbObject::setXDataApp(const std::string& app, std::vector<ZcDbDxfItem> items) {
    assertWriteEnabled();
    for (auto it = m_xdata.begin(); it != m_xdata.end(); ++it) {
        if (!zcutEqualsNoCase(it->app, app)) continue;
        if (items.empty())
            m_xdata.erase(it);
        else
            it->items = std::move(items);
        return Zcad::eOk;
    }
    if (!items.empty()) {
        m_xdata.push_back({app, std::move(items)});
        if (m_stub && m_stub->db) m_stub->db->noteXData(m_stub, {m_xdata.back()});
    }
    return Zcad::eOk;
}

// ------------------------------------------------------------------- filing

void zcdbWriteItemDwg(ZcDbDwgFiler* f, const ZcDbDxfItem& it) {
    f->writeInt16(static_cast<std::int16_t>(it.code));
    f->writeUInt8(static_cast<std::uint8_t>(it.kind));
    switch (it.kind) {
        case ZcDbDxfItem::kString:
        case ZcDbDxfItem::kUnknown:
        case ZcDbDxfItem::kHandle:
            f->writeString(it.text);
            break;
        case ZcDbDxfItem::kReal:
            f->writeDouble(it.real[0]);
            break;
        case ZcDbDxfItem::kPoint:
            f->writePoint3d(it.point());
            f->writeUInt8(static_cast<std::uint8_t>(it.dim));
            break;
        case ZcDbDxfItem::kId:
            f->writeSoftPointerId(it.id);
            break;
        default:
            f->writeInt64(it.integer);
            break;
    }
}

void zcdbReadItemDwg(ZcDbDwgFiler* f, ZcDbDxfItem& it) {
    std::int16_t code = 0;
    std::uint8_t kind = 0;
    f->readInt16(&code);
    f->readUInt8(&kind);
    it.code = code;
    it.kind = kind <= ZcDbDxfItem::kUnknown ? static_cast<ZcDbDxfItem::Kind>(kind) : ZcDbDxfItem::kUnknown;
    switch (it.kind) {
        case ZcDbDxfItem::kString:
        case ZcDbDxfItem::kUnknown:
        case ZcDbDxfItem::kHandle:
            f->readString(&it.text);
            break;
        case ZcDbDxfItem::kReal:
            f->readDouble(&it.real[0]);
            break;
        case ZcDbDxfItem::kPoint: {
            ZcGePoint3d p;
            std::uint8_t dim = 3;
            f->readPoint3d(&p);
            f->readUInt8(&dim);
            it.real[0] = p.x, it.real[1] = p.y, it.real[2] = p.z;
            it.dim = dim == 2 ? 2 : 3;
            break;
        }
        case ZcDbDxfItem::kId:
            f->readSoftPointerId(&it.id);
            break;
        default:
            f->readInt64(&it.integer);
            break;
    }
}

Zcad::ErrorStatus ZcDbObject::dwgOutFields(ZcDbDwgFiler* f) const {
    assertReadEnabled();
    f->writeSoftOwnershipId(m_ownerId);
    f->writeInt32(static_cast<std::int32_t>(m_xdata.size()));
    for (const ZcDbXDataApp& app : m_xdata) {
        f->writeString(app.app);
        f->writeInt32(static_cast<std::int32_t>(app.items.size()));
        f->writeItems(app.items);
    }
    f->writeHardOwnershipId(m_xdictId);
    f->writeInt32(static_cast<std::int32_t>(m_reactors.size()));
    for (ZcDbObjectId r : m_reactors) f->writeSoftPointerId(r);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbObject::dwgInFields(ZcDbDwgFiler* f) {
    assertWriteEnabled();
    ZcDbObjectId owner;
    std::int32_t napps = 0;
    f->readSoftOwnershipId(&owner);
    f->readInt32(&napps);
    std::vector<ZcDbXDataApp> apps;
    for (std::int32_t a = 0; a < napps && f->filerStatus() == Zcad::eOk; ++a) {
        ZcDbXDataApp app;
        std::int32_t n = 0;
        f->readString(&app.app);
        f->readInt32(&n);
        for (std::int32_t i = 0; i < n && f->filerStatus() == Zcad::eOk; ++i) {
            ZcDbDxfItem it;
            zcdbReadItemDwg(f, it);
            app.items.push_back(std::move(it));
        }
        apps.push_back(std::move(app));
    }
    ZcDbObjectId xdict;
    std::int32_t nreactors = 0;
    std::vector<ZcDbObjectId> reactors;
    f->readHardOwnershipId(&xdict);
    f->readInt32(&nreactors);
    for (std::int32_t i = 0; i < nreactors && f->filerStatus() == Zcad::eOk; ++i) {
        ZcDbObjectId r;
        f->readSoftPointerId(&r);
        reactors.push_back(r);
    }
    if (f->filerStatus() != Zcad::eOk) return f->filerStatus();
    m_ownerId = owner;
    m_xdata = std::move(apps);
    if (m_stub && m_stub->db && !m_xdata.empty()) m_stub->db->noteXData(m_stub, m_xdata);
    m_xdictId = xdict;
    m_reactors = std::move(reactors);
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbObject::dxfOutFields(ZcDbDxfFiler* f) const {
    assertReadEnabled();
    f->writeHandle(5, getDbHandle());
    // Only references to objects still there: a reader would refuse a dangling one.
    auto live = [](ZcDbObjectId id) { return !id.isNull() && !id.isErased() && id.stub()->object; };
    bool anyReactor = false;
    for (ZcDbObjectId r : m_reactors) anyReactor = anyReactor || live(r);
    if (anyReactor) {
        f->writeString(102, "{ACAD_REACTORS");
        for (ZcDbObjectId r : m_reactors)
            if (live(r)) f->writeObjectId(330, r);
        f->writeString(102, "}");
    }
    if (live(m_xdictId)) {
        f->writeString(102, "{ACAD_XDICTIONARY");
        f->writeObjectId(360, m_xdictId);
        f->writeString(102, "}");
    }
    f->writeObjectId(330, m_ownerId);
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbObject::dxfInFields(ZcDbDxfFiler* f) {
    assertWriteEnabled();
    // The application group now open by "102 {NAME", if any.
    enum { kNone, kReactors, kXDict, kOther } group = kNone;
    while (const ZcDbDxfItem* next = f->nextItem()) {
        const ZcDbDxfItem& it = *next;
        if (it.code == 102) {
            if (it.text == "{ACAD_REACTORS") {
                group = kReactors;
                m_reactors.clear();
            } else if (it.text == "{ACAD_XDICTIONARY") {
                group = kXDict;
            } else if (!it.text.empty() && it.text[0] == '{') {
                group = kOther;
            } else {
                group = kNone;
            }
        } else if (group == kReactors && it.code == 330) {
            if (!it.id.isNull()) m_reactors.push_back(it.id);
        } else if (group == kXDict && it.code == 360) {
            m_xdictId = it.id;
        } else if (group == kOther) {
            // Another application's group: not modelled, passed over.
        } else if (it.code == 5) {
            // A resident object keeps its handle; a new one takes the file's.
            if (!m_stub) m_fileHandle = ZcDbHandle(it.text);
        } else if (it.code == 330) {
            if (!m_stub) m_ownerId = it.id;
        } else if (it.code == -1 || it.code == -2) {
            // The entity names leading an entity-data list.
        } else {
            f->pushBackItem();
            break;
        }
    }
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbObject::dxfOut(ZcDbDxfFiler* f) const {
    Zcad::ErrorStatus es = dxfOutFields(f);
    if (es != Zcad::eOk) return es;
    for (const ZcDbXDataApp& app : m_xdata) {
        f->writeString(1001, app.app);
        for (const ZcDbDxfItem& it : app.items) f->writeItem(it);
    }
    return f->filerStatus();
}

Zcad::ErrorStatus ZcDbObject::dxfIn(ZcDbDxfFiler* f) {
    Zcad::ErrorStatus es = dxfInFields(f);
    if (es != Zcad::eOk) return es;
    return readXDataItems(f);
}

Zcad::ErrorStatus ZcDbObject::readXDataItems(ZcDbDxfFiler* f) {
    // Skip what the object's readers left (unknown groups), up to the xdata.
    std::vector<ZcDbXDataApp> apps;
    bool any = false;
    while (const ZcDbDxfItem* next = f->nextItem()) {
        const ZcDbDxfItem& it = *next;
        if (it.code == 0) {
            f->pushBackItem();
            break;
        }
        if (it.code == 1001) {
            apps.push_back({it.text, {}});
            any = true;
        } else if ((it.code == 1000 || (it.code > 1001 && it.code <= 1071)) && !apps.empty()) {
            apps.back().items.push_back(it);
        }
    }
    if (f->filerStatus() != Zcad::eOk) return f->filerStatus();
    if (any) {
        assertWriteEnabled();
        for (ZcDbXDataApp& app : apps) setXDataApp(app.app, std::move(app.items));
    }
    return Zcad::eOk;
}

ZcDbObject* ZcDbObject::clone() const {
    ZcRxObject* made = isA() ? isA()->create() : nullptr;
    auto* copy = ZcDbObject::cast(made);
    if (!copy) {
        delete made;
        return nullptr;
    }
    ZcDbDwgFiler filer(database(), ZcDb::kCopyFiler);
    dwgOutFields(&filer);
    filer.seekStart();
    copy->dwgInFields(&filer);
    copy->m_pendingAppend = false;
    return copy;
}
