// The two filers every database object files itself through.
//
// ZcDbDwgFiler: a binary, in-memory stream used for undo, deep copies and
// tests. Each value is preceded by a one-byte type tag, so reading a value
// of another type, or past the end, turns the filer's status bad
// (eInvalidInput / eEndOfFile) and every later read fails too.
//
// ZcDbDxfFiler: an abstract stream of (group code, value) items, typed by
// the DXF group-code ranges. ZcDbMemDxfFiler keeps the items in a vector.
// A DXF file reader/writer and the entity-data (resbuf) lists of the
// classic interface are both sources/sinks of this stream:
//  - writing an object: emit "0 <isA()->dxfName()>", then call
//    obj->dxfOut(filer) (handle 5, owner 330, subclass sections with their
//    100 markers, then xdata from 1001 on);
//  - reading: make the object with zcrxFindClassByDxfName(name)->create(),
//    then obj->dxfIn(filer) over the items up to the next group 0.
//  - Angles (codes 50-58) travel in radians; a file layer converts them to
//    degrees. Points are single items (code 10 with x, y, z); `dim` says
//    whether a point is 2D (no 30 group in a file).
//  - Object references (codes 330-369, 390-399, 480-481) are ids; a file
//    layer maps them to handles (ZcDbDatabase::getZcDbObjectId with create
//    reserves a handle met before its object; adding the object later
//    fills it).
//  - Pick the class with zcdbClassForDxf (DIMENSION kinds share one name).
//  - Followers: after a POLYLINE write its vertexIds() then seqendId();
//    after an INSERT with attributes its attributeIds() then seqendId().
//    Reading, adopt them with adoptVertexId/adoptAttributeId/adoptSeqendId.
//  - Tables: "0 TABLE", "2 <name>", the table's dxfOut, its records; blocks:
//    ZcDbBlockTableRecord::dxfOutBlockBegin, the entities, dxfOutBlockEnd.
//  - Entity-data lists (resbuf) use the same stream: strip -1/0 before
//    feeding dxfIn (names -1 are skipped anyway); lists may omit the 100
//    markers, each section then stops at its first unknown code.
// Limits: the DWG filer is not a file format; it stays inside one session.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/db/dbid.h"
#include "host/ge/gebase.h"

struct resbuf;
struct ZcDbDxfItem;

class ZcDbDwgFiler {
public:
    explicit ZcDbDwgFiler(ZcDbDatabase* db = nullptr, ZcDb::FilerType type = ZcDb::kCopyFiler)
        : m_db(db), m_type(type) {}
    virtual ~ZcDbDwgFiler() = default;

    Zcad::ErrorStatus filerStatus() const { return m_status; }
    void setFilerStatus(Zcad::ErrorStatus es) { m_status = es; }
    void resetFilerStatus() { m_status = Zcad::eOk; }
    ZcDb::FilerType filerType() const { return m_type; }
    ZcDbDatabase* database() const { return m_db; }
    void setDatabase(ZcDbDatabase* db) { m_db = db; }

    // The writes are in line: an undo state of the settings store or of a
    // door is thousands of them, each a few stores.
    Zcad::ErrorStatus writeBool(bool v) { return putScalar(kTBool, static_cast<std::uint8_t>(v ? 1 : 0)); }
    Zcad::ErrorStatus writeInt8(std::int8_t v) { return putScalar(kTInt8, v); }
    Zcad::ErrorStatus writeUInt8(std::uint8_t v) { return putScalar(kTUInt8, v); }
    Zcad::ErrorStatus writeInt16(std::int16_t v) { return putScalar(kTInt16, v); }
    Zcad::ErrorStatus writeUInt16(std::uint16_t v) { return putScalar(kTUInt16, v); }
    Zcad::ErrorStatus writeInt32(std::int32_t v) { return putScalar(kTInt32, v); }
    Zcad::ErrorStatus writeUInt32(std::uint32_t v) { return putScalar(kTUInt32, v); }
    Zcad::ErrorStatus writeInt64(std::int64_t v) { return putScalar(kTInt64, v); }
    Zcad::ErrorStatus writeDouble(double v) { return putScalar(kTDouble, v); }
    Zcad::ErrorStatus writeString(const std::string& v) { return writeString(std::string_view(v)); }
    Zcad::ErrorStatus writeString(const char* v) { return writeString(std::string_view(v ? v : "")); }
    Zcad::ErrorStatus writeString(std::string_view v) {
        if (m_status != Zcad::eOk) return m_status;
        const auto n = static_cast<std::uint32_t>(v.size());
        std::uint8_t* at = room(1 + sizeof n + n);
        *at = kTString;
        std::memcpy(at + 1, &n, sizeof n);
        if (n) std::memcpy(at + 1 + sizeof n, v.data(), n);
        return m_status;
    }
    Zcad::ErrorStatus writeBytes(const void* data, std::uint32_t size);
    Zcad::ErrorStatus writePoint2d(const ZcGePoint2d& v);
    Zcad::ErrorStatus writePoint3d(const ZcGePoint3d& v);
    Zcad::ErrorStatus writeVector2d(const ZcGeVector2d& v);
    Zcad::ErrorStatus writeVector3d(const ZcGeVector3d& v);
    Zcad::ErrorStatus writeDbHandle(const ZcDbHandle& v);
    Zcad::ErrorStatus writeHardOwnershipId(const ZcDbObjectId& id) { return writeId(id); }
    Zcad::ErrorStatus writeSoftOwnershipId(const ZcDbObjectId& id) { return writeId(id); }
    Zcad::ErrorStatus writeHardPointerId(const ZcDbObjectId& id) { return writeId(id); }
    Zcad::ErrorStatus writeSoftPointerId(const ZcDbObjectId& id) { return writeId(id); }
    // The ids as writeId writes them one after another, in one growth: a
    // table's undo state holds every record's id.
    Zcad::ErrorStatus writeIds(const std::vector<ZcDbObjectId>& ids);
    // Items as zcdbWriteItemDwg files them one by one, in one growth: the
    // undo state of an entity carrying a hundred xdata groups.
    Zcad::ErrorStatus writeItems(const std::vector<ZcDbDxfItem>& items);

    Zcad::ErrorStatus readBool(bool* v);
    Zcad::ErrorStatus readInt8(std::int8_t* v);
    Zcad::ErrorStatus readUInt8(std::uint8_t* v);
    Zcad::ErrorStatus readInt16(std::int16_t* v);
    Zcad::ErrorStatus readUInt16(std::uint16_t* v);
    Zcad::ErrorStatus readInt32(std::int32_t* v);
    Zcad::ErrorStatus readUInt32(std::uint32_t* v);
    Zcad::ErrorStatus readInt64(std::int64_t* v);
    Zcad::ErrorStatus readDouble(double* v);
    Zcad::ErrorStatus readString(std::string* v);
    Zcad::ErrorStatus readString(std::string& v) { return readString(&v); }
    // A new[] copy the caller releases with delete[] (null on failure).
    Zcad::ErrorStatus readString(char** v);
    Zcad::ErrorStatus readBytes(std::vector<std::uint8_t>* v);
    Zcad::ErrorStatus readPoint2d(ZcGePoint2d* v);
    Zcad::ErrorStatus readPoint3d(ZcGePoint3d* v);
    Zcad::ErrorStatus readVector2d(ZcGeVector2d* v);
    Zcad::ErrorStatus readVector3d(ZcGeVector3d* v);
    Zcad::ErrorStatus readDbHandle(ZcDbHandle* v);
    Zcad::ErrorStatus readHardOwnershipId(ZcDbObjectId* id) { return readId(id); }
    Zcad::ErrorStatus readSoftOwnershipId(ZcDbObjectId* id) { return readId(id); }
    Zcad::ErrorStatus readHardPointerId(ZcDbObjectId* id) { return readId(id); }
    Zcad::ErrorStatus readSoftPointerId(ZcDbObjectId* id) { return readId(id); }

    // Position and content.
    void seekStart() { m_pos = 0; }
    bool atEnd() const { return m_pos >= m_size; }
    std::size_t tell() const { return m_pos; }
    // A copy of what was filed (the buffer holds room beyond it).
    std::vector<std::uint8_t> data() const {
        return {m_data.begin(), m_data.begin() + static_cast<std::ptrdiff_t>(m_size)};
    }
    // The content moved out, the filer left empty: an undo state is kept
    // without a copy.
    std::vector<std::uint8_t> takeData() {
        m_data.resize(m_size);
        m_pos = m_size = 0;
        return std::exchange(m_data, {});
    }
    // Room lent for the filing (its whole size, contents unread) and taken
    // back after: a caller that files state after state in a row grows one
    // buffer once rather than each filer's through every size.
    void lendRoom(std::vector<std::uint8_t> room) {
        m_data = std::move(room);
        m_pos = m_size = 0;
    }
    std::vector<std::uint8_t> takeRoom() {
        m_pos = m_size = 0;
        return std::exchange(m_data, {});
    }
    void setData(std::vector<std::uint8_t> bytes) {
        m_data = std::move(bytes);
        m_size = m_data.size();
        m_pos = 0;
        m_status = Zcad::eOk;
    }

private:
    // The tag filed before each value.
    enum Tag : std::uint8_t {
        kTBool = 1,
        kTInt8,
        kTUInt8,
        kTInt16,
        kTUInt16,
        kTInt32,
        kTUInt32,
        kTInt64,
        kTDouble,
        kTString,
        kTBytes,
        kTPoint2d,
        kTPoint3d,
        kTVector2d,
        kTVector3d,
        kTHandle,
        kTId,
    };
    template <class T>
    Zcad::ErrorStatus putScalar(std::uint8_t tag, T v) {
        return put(tag, &v, sizeof v);
    }
    Zcad::ErrorStatus writeId(const ZcDbObjectId& id);
    Zcad::ErrorStatus readId(ZcDbObjectId* id);
    // An undo state of the settings store's 322 slots, or of a door with a
    // hundred xdata groups, is thousands of small puts: each is a copy into
    // room made ahead, the buffer grown (and zeroed) only now and then.
    Zcad::ErrorStatus put(std::uint8_t tag, const void* p, std::size_t n) {
        if (m_status != Zcad::eOk) return m_status;
        std::uint8_t* at = room(1 + n);
        *at = tag;
        std::memcpy(at + 1, p, n);
        return m_status;
    }
    // n bytes at the end, to be filled by the caller.
    std::uint8_t* room(std::size_t n) {
        if (m_data.size() - m_size < n) grow(n);
        std::uint8_t* at = m_data.data() + m_size;
        m_size += n;
        return at;
    }
    void grow(std::size_t n);
    bool take(std::uint8_t tag, void* p, std::size_t n);
    // One scalar of its tag; the output is left alone when the read fails.
    template <class T>
    Zcad::ErrorStatus takeScalar(std::uint8_t tag, T* v) {
        T x{};
        if (take(tag, &x, sizeof x) && v) *v = x;
        return m_status;
    }

    ZcDbDatabase* m_db;
    ZcDb::FilerType m_type;
    Zcad::ErrorStatus m_status = Zcad::eOk;
    // The bytes filed are the first m_size; the rest is room for more.
    std::vector<std::uint8_t> m_data;
    std::size_t m_size = 0;
    std::size_t m_pos = 0;
};

// One (group code, value) item. The kind follows from the code's range.
struct ZcDbDxfItem {
    enum Kind { kString, kReal, kPoint, kInt16, kInt32, kInt64, kBool, kId, kHandle, kUnknown };

    int code = 0;
    Kind kind = kUnknown;
    std::string text;            // kString, kHandle (hexadecimal)
    double real[3] = {0, 0, 0};  // kReal (real[0]), kPoint
    int dim = 3;                 // kPoint: 2 or 3
    std::int64_t integer = 0;    // kInt16, kInt32, kInt64, kBool
    ZcDbObjectId id;             // kId

    static Kind kindOfCode(int code);
    // Items of a code as a resbuf of that code holding the value reads:
    // a text, a real, a point, or a whole number (cut to 16 bits for the
    // codes of shorts, as the resbuf's short is).
    static ZcDbDxfItem ofText(int code, std::string_view text);
    static ZcDbDxfItem ofReal(int code, double value);
    static ZcDbDxfItem ofPoint(int code, double x, double y, double z);
    static ZcDbDxfItem ofInt(int code, std::int64_t value);
    bool operator==(const ZcDbDxfItem& o) const;
    ZcGePoint3d point() const { return {real[0], real[1], real[2]}; }
    std::string toString() const;  // for messages and test output
};

class ZcDbDxfFiler {
public:
    explicit ZcDbDxfFiler(ZcDbDatabase* db = nullptr) : m_db(db) {}
    virtual ~ZcDbDxfFiler() = default;

    // The stream: read the next item (eEndOfFile at the end), push the last
    // read item back so the next read returns it again, write an item.
    virtual Zcad::ErrorStatus readItem(ZcDbDxfItem& item) = 0;
    virtual Zcad::ErrorStatus pushBackItem() = 0;
    // The next item where it stands, valid until the next read; null where
    // readItem would fail. The readers of a section look at every item
    // (and again after each push back): a copy of each was most of reading
    // an entity from its groups.
    virtual const ZcDbDxfItem* nextItem();
    virtual Zcad::ErrorStatus writeItem(const ZcDbDxfItem& item) = 0;
    virtual bool atEOF() const = 0;

    // resbuf forms: restype = group code. readItem(resbuf*) allocates
    // strings with new[] into the given node (the caller releases them).
    Zcad::ErrorStatus readItem(resbuf* rb);
    Zcad::ErrorStatus readResBuf(resbuf* rb) { return readItem(rb); }
    Zcad::ErrorStatus writeItem(const resbuf& rb);
    Zcad::ErrorStatus writeResBuf(const resbuf& rb) { return writeItem(rb); }

    // Typed writes: each makes one item for writeItem; a sink that turns
    // values straight into text overrides them and skips the item.
    virtual Zcad::ErrorStatus writeString(int code, std::string_view v);
    virtual Zcad::ErrorStatus writeBool(int code, bool v);
    Zcad::ErrorStatus writeInt8(int code, int v) { return writeInt16(code, static_cast<std::int16_t>(v)); }
    virtual Zcad::ErrorStatus writeInt16(int code, std::int16_t v);
    virtual Zcad::ErrorStatus writeInt32(int code, std::int32_t v);
    virtual Zcad::ErrorStatus writeInt64(int code, std::int64_t v);
    virtual Zcad::ErrorStatus writeDouble(int code, double v);
    Zcad::ErrorStatus writeAngle(int code, double radians) { return writeDouble(code, radians); }
    virtual Zcad::ErrorStatus writePoint2d(int code, const ZcGePoint2d& v);
    virtual Zcad::ErrorStatus writePoint3d(int code, const ZcGePoint3d& v);
    Zcad::ErrorStatus writeVector3d(int code, const ZcGeVector3d& v);
    virtual Zcad::ErrorStatus writeObjectId(int code, const ZcDbObjectId& id);
    virtual Zcad::ErrorStatus writeHandle(int code, const ZcDbHandle& h);

    // True when the next item is "100 <name>" (consumed). When the next item
    // is another marker or the end, false with the item pushed back. When
    // the stream carries no markers at all (a list without 100 groups) the
    // section is accepted and its reader stops at the first unknown code.
    bool atSubclassData(const char* name);
    // Whether the section now being read was entered without its marker.
    bool markerless() const { return m_markerless; }

    Zcad::ErrorStatus filerStatus() const { return m_status; }
    void setError(Zcad::ErrorStatus es, std::string message = {});
    void resetFilerStatus() {
        m_status = Zcad::eOk;
        m_message.clear();
    }
    const std::string& errorMessage() const { return m_message; }
    ZcDbDatabase* database() const { return m_db; }
    void setDatabase(ZcDbDatabase* db) { m_db = db; }
    ZcDb::FilerType filerType() const { return ZcDb::kFileFiler; }
    // Whether optional groups at their default values are written too
    // (entity data lists: yes; a DXF file: no, as other writers leave them
    // out and some readers mishandle them, a thickness of 0 among them).
    virtual bool includesDefaultValues() const { return true; }

private:
    ZcDbDatabase* m_db;
    Zcad::ErrorStatus m_status = Zcad::eOk;
    std::string m_message;
    bool m_markerless = false;
    ZcDbDxfItem m_next;  // nextItem's copy, for a stream that has no items to point at
};

// The in-memory item stream.
class ZcDbMemDxfFiler : public ZcDbDxfFiler {
public:
    explicit ZcDbMemDxfFiler(ZcDbDatabase* db = nullptr) : ZcDbDxfFiler(db) {}
    explicit ZcDbMemDxfFiler(std::vector<ZcDbDxfItem> items, ZcDbDatabase* db = nullptr)
        : ZcDbDxfFiler(db), m_items(std::move(items)) {}

    Zcad::ErrorStatus readItem(ZcDbDxfItem& item) override;
    const ZcDbDxfItem* nextItem() override;
    Zcad::ErrorStatus pushBackItem() override;
    Zcad::ErrorStatus writeItem(const ZcDbDxfItem& item) override;
    bool atEOF() const override { return m_pos >= m_items.size(); }
    using ZcDbDxfFiler::readItem;
    using ZcDbDxfFiler::writeItem;

    const std::vector<ZcDbDxfItem>& items() const { return m_items; }
    std::vector<ZcDbDxfItem>& items() { return m_items; }
    std::size_t position() const { return m_pos; }
    void rewind() {
        m_pos = 0;
        m_canPushBack = false;
        resetFilerStatus();
    }

private:
    std::vector<ZcDbDxfItem> m_items;
    std::size_t m_pos = 0;
    bool m_canPushBack = false;
};
