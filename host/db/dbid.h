// Basic vocabulary of the drawing database: error statuses, open modes,
// object ids (stable for the session) and handles (stable in the file).
// An id points at a stub that the database keeps for its whole life, so an
// id never dangles while its database lives, even after the object is
// erased or un-appended.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace Zcad {
enum ErrorStatus : int {
    eOk = 0,
    eNotImplementedYet = 1,
    eNotApplicable = 2,
    eInvalidInput = 3,
    eOutOfMemory = 5,
    eKeyNotFound = 8,
    eDuplicateKey = 9,
    eInvalidIndex = 10,
    eNullObjectId = 15,
    eNullObjectPointer = 16,
    eNotOpenForRead = 17,
    eNotOpenForWrite = 18,
    eWasErased = 21,
    eWasNotErased = 22,
    ePermanentlyErased = 23,
    eWasOpenedForRead = 24,
    eWasOpenedForWrite = 25,
    eWasOpenedForNotify = 26,
    eWrongObjectType = 30,
    eAlreadyInDb = 38,
    eNotInDatabase = 40,
    eWrongDatabase = 42,
    eEndOfFile = 50,
    eInvalidDxfCode = 60,
    eBadDxfSequence = 61,
    eHadMultipleReaders = 70,
    eNoDatabase = 80,
    eInvalidKey = 90,
    eBadFilerType = 100,
    eIllegalReplacement = 110,
    eNotThatKindOfClass = 120,
};
}  // namespace Zcad

namespace ZcDb {
enum OpenMode : int { kNotOpen = -1, kForRead = 0, kForWrite = 1, kForNotify = 2 };
enum FilerType : int { kFileFiler = 0, kCopyFiler = 1, kUndoFiler = 2, kBagFiler = 3 };
// Line weights in hundredths of a millimetre, and the three "by" values.
enum LineWeight : int { kLnWtByLayer = -1, kLnWtByBlock = -2, kLnWtByLwDefault = -3, kLnWt000 = 0 };
enum Visibility : int { kVisible = 0, kInvisible = 1 };
}  // namespace ZcDb

class ZcDbDatabase;
class ZcDbObject;
struct ZcDbStub;

// A handle: a 64-bit number written in hexadecimal in files.
class ZcDbHandle {
public:
    ZcDbHandle() = default;
    explicit ZcDbHandle(std::uint64_t v) : m_value(v) {}
    // Parses hexadecimal text; bad text gives the null handle.
    explicit ZcDbHandle(std::string_view hex);
    bool isNull() const { return m_value == 0; }
    std::uint64_t value() const { return m_value; }
    std::string ascii() const;  // upper-case hexadecimal, no leading zeros
    void getIntoAsciiBuffer(char* buffer, std::size_t size = 17) const;
    bool operator==(const ZcDbHandle& o) const { return m_value == o.m_value; }
    bool operator!=(const ZcDbHandle& o) const { return m_value != o.m_value; }
    bool operator<(const ZcDbHandle& o) const { return m_value < o.m_value; }
    ZcDbHandle& operator++() {
        ++m_value;
        return *this;
    }

private:
    std::uint64_t m_value = 0;
};

class ZcDbObjectId {
public:
    ZcDbObjectId() = default;
    static const ZcDbObjectId kNull;

    bool isNull() const { return m_stub == nullptr; }
    // An id whose stub holds an object (appended, maybe erased).
    bool isValid() const;
    bool isErased() const;
    ZcDbHandle handle() const;
    ZcDbDatabase* database() const;
    ZcDbObjectId& setNull() {
        m_stub = nullptr;
        return *this;
    }
    // The stub's address as a number: stable for the session.
    std::int64_t asOldId() const {
        return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(m_stub));
    }

    bool operator==(const ZcDbObjectId& o) const { return m_stub == o.m_stub; }
    bool operator!=(const ZcDbObjectId& o) const { return m_stub != o.m_stub; }
    bool operator<(const ZcDbObjectId& o) const { return std::less<const ZcDbStub*>()(m_stub, o.m_stub); }

    // Platform internals.
    explicit ZcDbObjectId(ZcDbStub* stub) : m_stub(stub) {}
    ZcDbStub* stub() const { return m_stub; }

private:
    ZcDbStub* m_stub = nullptr;
};

template <>
struct std::hash<ZcDbObjectId> {
    std::size_t operator()(const ZcDbObjectId& id) const { return std::hash<const void*>()(id.stub()); }
};
template <>
struct std::hash<ZcDbHandle> {
    std::size_t operator()(const ZcDbHandle& h) const { return std::hash<std::uint64_t>()(h.value()); }
};
