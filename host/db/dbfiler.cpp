// The binary and the group-code filers.
#include "host/db/dbfiler.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "host/db/dbdatabase.h"
#include "host/util/resbuf.h"

namespace {

bool isPointCode(int code) {
    return (code >= 10 && code <= 18) || (code >= 110 && code <= 112) || (code >= 210 && code <= 219) ||
           (code >= 1010 && code <= 1013);
}

}  // namespace

// ------------------------------------------------------------- ZcDbDwgFiler

void ZcDbDwgFiler::grow(std::size_t n) {
    // The first growth is to a few hundred bytes rather than through every
    // power of two below them.
    m_data.resize(std::max({m_size + n, 2 * m_data.size(), std::size_t{256}}));
}

bool ZcDbDwgFiler::take(std::uint8_t tag, void* p, std::size_t n) {
    if (m_status != Zcad::eOk) return false;
    if (m_pos >= m_size || m_pos + 1 + n > m_size) {
        m_status = Zcad::eEndOfFile;
        return false;
    }
    if (m_data[m_pos] != tag) {
        m_status = Zcad::eInvalidInput;
        return false;
    }
    std::memcpy(p, m_data.data() + m_pos + 1, n);
    m_pos += 1 + n;
    return true;
}

Zcad::ErrorStatus ZcDbDwgFiler::writeBytes(const void* data, std::uint32_t size) {
    if (put(kTBytes, &size, sizeof size) != Zcad::eOk) return m_status;
    if (size) std::memcpy(room(size), data, size);
    return m_status;
}

Zcad::ErrorStatus ZcDbDwgFiler::writePoint2d(const ZcGePoint2d& v) {
    double d[2] = {v.x, v.y};
    return put(kTPoint2d, d, sizeof d);
}
Zcad::ErrorStatus ZcDbDwgFiler::writePoint3d(const ZcGePoint3d& v) {
    double d[3] = {v.x, v.y, v.z};
    return put(kTPoint3d, d, sizeof d);
}
Zcad::ErrorStatus ZcDbDwgFiler::writeVector2d(const ZcGeVector2d& v) {
    double d[2] = {v.x, v.y};
    return put(kTVector2d, d, sizeof d);
}
Zcad::ErrorStatus ZcDbDwgFiler::writeVector3d(const ZcGeVector3d& v) {
    double d[3] = {v.x, v.y, v.z};
    return put(kTVector3d, d, sizeof d);
}
Zcad::ErrorStatus ZcDbDwgFiler::writeDbHandle(const ZcDbHandle& v) {
    std::uint64_t h = v.value();
    return put(kTHandle, &h, sizeof h);
}

Zcad::ErrorStatus ZcDbDwgFiler::writeId(const ZcDbObjectId& id) {
    // Within a session the stub address is the identity; the handle would
    // not survive an object that was never appended.
    std::uintptr_t p = reinterpret_cast<std::uintptr_t>(id.stub());
    return put(kTId, &p, sizeof p);
}

Zcad::ErrorStatus ZcDbDwgFiler::writeItems(const std::vector<ZcDbDxfItem>& items) {
    if (m_status != Zcad::eOk) return m_status;
    // Each item: its code (Int16), its kind (UInt8), then its value.
    constexpr std::size_t kHead = (1 + 2) + (1 + 1);
    static_assert(sizeof(std::uintptr_t) == 8 && sizeof(std::int64_t) == 8);
    std::size_t n = 0;
    for (const ZcDbDxfItem& it : items) {
        switch (it.kind) {
            case ZcDbDxfItem::kString:
            case ZcDbDxfItem::kUnknown:
            case ZcDbDxfItem::kHandle:
                n += kHead + 1 + 4 + it.text.size();
                break;
            case ZcDbDxfItem::kPoint:
                n += kHead + 1 + 24 + 1 + 1;
                break;
            default:  // a real, an id or a whole number: eight bytes
                n += kHead + 1 + 8;
                break;
        }
    }
    std::uint8_t* at = room(n);
    const auto store = [&at](std::uint8_t tag, const void* p, std::size_t size) {
        *at = tag;
        std::memcpy(at + 1, p, size);
        at += 1 + size;
    };
    for (const ZcDbDxfItem& it : items) {
        const auto code = static_cast<std::int16_t>(it.code);
        const auto kind = static_cast<std::uint8_t>(it.kind);
        store(kTInt16, &code, sizeof code);
        store(kTUInt8, &kind, sizeof kind);
        switch (it.kind) {
            case ZcDbDxfItem::kString:
            case ZcDbDxfItem::kUnknown:
            case ZcDbDxfItem::kHandle: {
                const auto size = static_cast<std::uint32_t>(it.text.size());
                store(kTString, &size, sizeof size);
                if (size) std::memcpy(at, it.text.data(), size);
                at += size;
                break;
            }
            case ZcDbDxfItem::kReal:
                store(kTDouble, &it.real[0], sizeof(double));
                break;
            case ZcDbDxfItem::kPoint: {
                const auto dim = static_cast<std::uint8_t>(it.dim);
                store(kTPoint3d, it.real, 3 * sizeof(double));
                store(kTUInt8, &dim, sizeof dim);
                break;
            }
            case ZcDbDxfItem::kId: {
                const std::uintptr_t p = reinterpret_cast<std::uintptr_t>(it.id.stub());
                store(kTId, &p, sizeof p);
                break;
            }
            default:
                store(kTInt64, &it.integer, sizeof it.integer);
                break;
        }
    }
    return m_status;
}

Zcad::ErrorStatus ZcDbDwgFiler::writeIds(const std::vector<ZcDbObjectId>& ids) {
    if (m_status != Zcad::eOk) return m_status;
    constexpr std::size_t kSize = sizeof(std::uintptr_t);
    if (ids.empty()) return m_status;
    std::uint8_t* at = room(ids.size() * (1 + kSize));
    for (const ZcDbObjectId& id : ids) {
        const std::uintptr_t p = reinterpret_cast<std::uintptr_t>(id.stub());
        *at = kTId;
        std::memcpy(at + 1, &p, kSize);
        at += 1 + kSize;
    }
    return m_status;
}

Zcad::ErrorStatus ZcDbDwgFiler::readBool(bool* v) {
    std::uint8_t b = 0;
    if (take(kTBool, &b, 1) && v) *v = b != 0;
    return m_status;
}
Zcad::ErrorStatus ZcDbDwgFiler::readInt8(std::int8_t* v) {
    return takeScalar(kTInt8, v);
}
Zcad::ErrorStatus ZcDbDwgFiler::readUInt8(std::uint8_t* v) {
    return takeScalar(kTUInt8, v);
}
Zcad::ErrorStatus ZcDbDwgFiler::readInt16(std::int16_t* v) {
    return takeScalar(kTInt16, v);
}
Zcad::ErrorStatus ZcDbDwgFiler::readUInt16(std::uint16_t* v) {
    return takeScalar(kTUInt16, v);
}
Zcad::ErrorStatus ZcDbDwgFiler::readInt32(std::int32_t* v) {
    return takeScalar(kTInt32, v);
}
Zcad::ErrorStatus ZcDbDwgFiler::readUInt32(std::uint32_t* v) {
    return takeScalar(kTUInt32, v);
}
Zcad::ErrorStatus ZcDbDwgFiler::readInt64(std::int64_t* v) {
    return takeScalar(kTInt64, v);
}
Zcad::ErrorStatus ZcDbDwgFiler::readDouble(double* v) {
    return takeScalar(kTDouble, v);
}

Zcad::ErrorStatus ZcDbDwgFiler::readString(std::string* v) {
    std::uint32_t n = 0;
    if (!take(kTString, &n, sizeof n)) return m_status;
    if (m_pos + n > m_size) {
        m_status = Zcad::eEndOfFile;
        return m_status;
    }
    if (v) v->assign(reinterpret_cast<const char*>(m_data.data() + m_pos), n);
    m_pos += n;
    return m_status;
}

Zcad::ErrorStatus ZcDbDwgFiler::readString(char** v) {
    std::string s;
    if (v) *v = nullptr;
    if (readString(&s) != Zcad::eOk || !v) return m_status;
    *v = new char[s.size() + 1];
    std::memcpy(*v, s.c_str(), s.size() + 1);
    return m_status;
}

Zcad::ErrorStatus ZcDbDwgFiler::readBytes(std::vector<std::uint8_t>* v) {
    std::uint32_t n = 0;
    if (!take(kTBytes, &n, sizeof n)) return m_status;
    if (m_pos + n > m_size) {
        m_status = Zcad::eEndOfFile;
        return m_status;
    }
    if (v)
        v->assign(m_data.begin() + static_cast<std::ptrdiff_t>(m_pos),
                  m_data.begin() + static_cast<std::ptrdiff_t>(m_pos + n));
    m_pos += n;
    return m_status;
}

Zcad::ErrorStatus ZcDbDwgFiler::readPoint2d(ZcGePoint2d* v) {
    double d[2] = {0, 0};
    if (take(kTPoint2d, d, sizeof d) && v) *v = {d[0], d[1]};
    return m_status;
}
Zcad::ErrorStatus ZcDbDwgFiler::readPoint3d(ZcGePoint3d* v) {
    double d[3] = {0, 0, 0};
    if (take(kTPoint3d, d, sizeof d) && v) *v = {d[0], d[1], d[2]};
    return m_status;
}
Zcad::ErrorStatus ZcDbDwgFiler::readVector2d(ZcGeVector2d* v) {
    double d[2] = {0, 0};
    if (take(kTVector2d, d, sizeof d) && v) *v = {d[0], d[1]};
    return m_status;
}
Zcad::ErrorStatus ZcDbDwgFiler::readVector3d(ZcGeVector3d* v) {
    double d[3] = {0, 0, 0};
    if (take(kTVector3d, d, sizeof d) && v) *v = {d[0], d[1], d[2]};
    return m_status;
}
Zcad::ErrorStatus ZcDbDwgFiler::readDbHandle(ZcDbHandle* v) {
    std::uint64_t h = 0;
    if (take(kTHandle, &h, sizeof h) && v) *v = ZcDbHandle(h);
    return m_status;
}

Zcad::ErrorStatus ZcDbDwgFiler::readId(ZcDbObjectId* id) {
    std::uintptr_t p = 0;
    if (take(kTId, &p, sizeof p) && id) *id = ZcDbObjectId(reinterpret_cast<ZcDbStub*>(p));
    return m_status;
}

// -------------------------------------------------------------- ZcDbDxfItem

namespace {

ZcDbDxfItem::Kind kindByRanges(int c) {
    using K = ZcDbDxfItem;
    if (c == 5 || c == 105 || c == 1005) return K::kHandle;
    if (c >= 0 && c <= 9) return K::kString;
    if (isPointCode(c)) return K::kPoint;
    if (c >= 10 && c <= 59) return K::kReal;
    if (c >= 60 && c <= 79) return K::kInt16;
    if (c >= 90 && c <= 99) return K::kInt32;
    if (c == 100 || c == 101 || c == 102) return K::kString;
    if (c >= 110 && c <= 149) return K::kReal;
    if (c >= 160 && c <= 169) return K::kInt64;
    if (c >= 170 && c <= 179) return K::kInt16;
    if (c >= 210 && c <= 239) return K::kReal;
    if (c >= 270 && c <= 289) return K::kInt16;
    if (c >= 290 && c <= 299) return K::kBool;
    if (c >= 300 && c <= 329) return K::kString;
    if (c >= 330 && c <= 369) return K::kId;
    if (c >= 370 && c <= 389) return K::kInt16;
    if (c >= 390 && c <= 399) return K::kId;
    if (c >= 400 && c <= 409) return K::kInt16;
    if (c >= 410 && c <= 419) return K::kString;
    if (c >= 420 && c <= 429) return K::kInt32;
    if (c >= 430 && c <= 439) return K::kString;
    if (c >= 440 && c <= 459) return K::kInt32;
    if (c >= 460 && c <= 469) return K::kReal;
    if (c >= 470 && c <= 479) return K::kString;
    if (c >= 480 && c <= 481) return K::kId;
    if (c == 999) return K::kString;
    if (c >= 1000 && c <= 1009) return K::kString;
    if (c >= 1014 && c <= 1059) return K::kReal;
    if (c >= 1060 && c <= 1070) return K::kInt16;
    if (c == 1071) return K::kInt32;
    if (c == -1 || c == -2) return K::kId;
    return K::kUnknown;
}

}  // namespace

// Asked for every group read: the codes 0 to 1071 looked up in a table.
ZcDbDxfItem::Kind ZcDbDxfItem::kindOfCode(int c) {
    static const auto table = [] {
        std::array<std::uint8_t, 1072> t{};
        for (int code = 0; code < static_cast<int>(t.size()); ++code)
            t[static_cast<std::size_t>(code)] = static_cast<std::uint8_t>(kindByRanges(code));
        return t;
    }();
    if (c >= 0 && c < static_cast<int>(table.size()))
        return static_cast<Kind>(table[static_cast<std::size_t>(c)]);
    return kindByRanges(c);
}

ZcDbDxfItem ZcDbDxfItem::ofText(int code, std::string_view text) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind = kindOfCode(code);
    it.text = text;
    return it;
}

ZcDbDxfItem ZcDbDxfItem::ofReal(int code, double value) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind = kindOfCode(code);
    it.real[0] = value;
    return it;
}

ZcDbDxfItem ZcDbDxfItem::ofPoint(int code, double x, double y, double z) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind = kindOfCode(code);
    it.real[0] = x, it.real[1] = y, it.real[2] = z;
    return it;
}

ZcDbDxfItem ZcDbDxfItem::ofInt(int code, std::int64_t value) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind = kindOfCode(code);
    if (it.kind == kInt16 || it.kind == kBool)
        it.integer = static_cast<std::int16_t>(value);
    else if (it.kind == kInt32)
        it.integer = static_cast<std::int32_t>(value);
    else
        it.integer = value;
    return it;
}

bool ZcDbDxfItem::operator==(const ZcDbDxfItem& o) const {
    if (code != o.code || kind != o.kind) return false;
    switch (kind) {
        case kString:
        case kHandle:
            return text == o.text;
        case kReal:
            return real[0] == o.real[0];
        case kPoint:
            return dim == o.dim && real[0] == o.real[0] && real[1] == o.real[1] && real[2] == o.real[2];
        case kId:
            return id == o.id;
        default:
            return integer == o.integer;
    }
}

std::string ZcDbDxfItem::toString() const {
    char buf[128];
    switch (kind) {
        case kString:
        case kHandle:
            return std::to_string(code) + " \"" + text + "\"";
        case kReal:
            std::snprintf(buf, sizeof buf, "%d %.17g", code, real[0]);
            return buf;
        case kPoint:
            std::snprintf(buf, sizeof buf, "%d (%.17g %.17g %.17g)/%d", code, real[0], real[1], real[2], dim);
            return buf;
        case kId:
            return std::to_string(code) + " <" + id.handle().ascii() + ">";
        default:
            return std::to_string(code) + " " + std::to_string(integer);
    }
}

// ------------------------------------------------------------- ZcDbDxfFiler

void ZcDbDxfFiler::setError(Zcad::ErrorStatus es, std::string message) {
    if (m_status != Zcad::eOk) return;  // the first fault is the one to report
    m_status = es;
    m_message = std::move(message);
}

Zcad::ErrorStatus ZcDbDxfFiler::writeString(int code, std::string_view v) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind =
        ZcDbDxfItem::kindOfCode(code) == ZcDbDxfItem::kHandle ? ZcDbDxfItem::kHandle : ZcDbDxfItem::kString;
    it.text = v;
    return writeItem(it);
}

Zcad::ErrorStatus ZcDbDxfFiler::writeBool(int code, bool v) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind = ZcDbDxfItem::kBool;
    it.integer = v ? 1 : 0;
    return writeItem(it);
}

Zcad::ErrorStatus ZcDbDxfFiler::writeInt16(int code, std::int16_t v) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind = ZcDbDxfItem::kInt16;
    it.integer = v;
    return writeItem(it);
}

Zcad::ErrorStatus ZcDbDxfFiler::writeInt32(int code, std::int32_t v) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind = ZcDbDxfItem::kInt32;
    it.integer = v;
    return writeItem(it);
}

Zcad::ErrorStatus ZcDbDxfFiler::writeInt64(int code, std::int64_t v) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind = ZcDbDxfItem::kInt64;
    it.integer = v;
    return writeItem(it);
}

Zcad::ErrorStatus ZcDbDxfFiler::writeDouble(int code, double v) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind = ZcDbDxfItem::kReal;
    it.real[0] = v;
    return writeItem(it);
}

Zcad::ErrorStatus ZcDbDxfFiler::writePoint2d(int code, const ZcGePoint2d& v) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind = ZcDbDxfItem::kPoint;
    it.real[0] = v.x;
    it.real[1] = v.y;
    it.dim = 2;
    return writeItem(it);
}

Zcad::ErrorStatus ZcDbDxfFiler::writePoint3d(int code, const ZcGePoint3d& v) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind = ZcDbDxfItem::kPoint;
    it.real[0] = v.x;
    it.real[1] = v.y;
    it.real[2] = v.z;
    return writeItem(it);
}

Zcad::ErrorStatus ZcDbDxfFiler::writeVector3d(int code, const ZcGeVector3d& v) {
    return writePoint3d(code, ZcGePoint3d(v.x, v.y, v.z));
}

Zcad::ErrorStatus ZcDbDxfFiler::writeObjectId(int code, const ZcDbObjectId& id) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind = ZcDbDxfItem::kId;
    it.id = id;
    return writeItem(it);
}

Zcad::ErrorStatus ZcDbDxfFiler::writeHandle(int code, const ZcDbHandle& h) {
    ZcDbDxfItem it;
    it.code = code;
    it.kind = ZcDbDxfItem::kHandle;
    it.text = h.ascii();
    return writeItem(it);
}

const ZcDbDxfItem* ZcDbDxfFiler::nextItem() {
    return readItem(m_next) == Zcad::eOk ? &m_next : nullptr;
}

bool ZcDbDxfFiler::atSubclassData(const char* name) {
    m_markerless = false;
    const ZcDbDxfItem* it = nextItem();
    if (!it) {
        if (m_status == Zcad::eEndOfFile) m_status = Zcad::eOk;  // a clean end, not a fault
        return false;
    }
    if (it->code == 100) {
        if (it->text == (name ? name : "")) return true;
        pushBackItem();
        return false;
    }
    const int code = it->code;
    pushBackItem();
    if (code == 0 || code >= 1000) return false;
    m_markerless = true;
    return true;
}

Zcad::ErrorStatus ZcDbDxfFiler::readItem(resbuf* rb) {
    ZcDbDxfItem it;
    Zcad::ErrorStatus es = readItem(it);
    if (es != Zcad::eOk || !rb) return es;
    zcdbFillResbufFromItem(*rb, it);
    return es;
}

Zcad::ErrorStatus ZcDbDxfFiler::writeItem(const resbuf& rb) {
    ZcDbDxfItem it;
    it.code = rb.restype;
    it.kind = ZcDbDxfItem::kindOfCode(it.code);
    switch (it.kind) {
        case ZcDbDxfItem::kString:
        case ZcDbDxfItem::kHandle:
            it.text = rb.resval.rstring ? rb.resval.rstring : "";
            break;
        case ZcDbDxfItem::kReal:
            it.real[0] = rb.resval.rreal;
            break;
        case ZcDbDxfItem::kPoint:
            for (int i = 0; i < 3; ++i) it.real[i] = rb.resval.rpoint[i];
            break;
        case ZcDbDxfItem::kInt16:
        case ZcDbDxfItem::kBool:
            it.integer = rb.resval.rint;
            break;
        case ZcDbDxfItem::kInt32:
            it.integer = rb.resval.rlong;
            break;
        case ZcDbDxfItem::kInt64:
            it.integer = rb.resval.mnLongPtr;
            break;
        case ZcDbDxfItem::kId:
            zcdbGetObjectId(it.id, rb.resval.rlname);
            break;
        case ZcDbDxfItem::kUnknown:
            setError(Zcad::eInvalidDxfCode, "group code " + std::to_string(it.code));
            return filerStatus();
    }
    return writeItem(it);
}

// ---------------------------------------------------------- ZcDbMemDxfFiler

Zcad::ErrorStatus ZcDbMemDxfFiler::readItem(ZcDbDxfItem& item) {
    if (filerStatus() != Zcad::eOk) return filerStatus();
    if (m_pos >= m_items.size()) {
        m_canPushBack = false;
        return Zcad::eEndOfFile;
    }
    item = m_items[m_pos++];
    m_canPushBack = true;
    return Zcad::eOk;
}

const ZcDbDxfItem* ZcDbMemDxfFiler::nextItem() {
    if (filerStatus() != Zcad::eOk) return nullptr;
    if (m_pos >= m_items.size()) {
        m_canPushBack = false;
        return nullptr;
    }
    m_canPushBack = true;
    return &m_items[m_pos++];
}

Zcad::ErrorStatus ZcDbMemDxfFiler::pushBackItem() {
    if (!m_canPushBack || m_pos == 0) return Zcad::eInvalidInput;
    --m_pos;
    m_canPushBack = false;
    return Zcad::eOk;
}

Zcad::ErrorStatus ZcDbMemDxfFiler::writeItem(const ZcDbDxfItem& item) {
    if (filerStatus() != Zcad::eOk) return filerStatus();
    m_items.push_back(item);
    return Zcad::eOk;
}
