// Writing a database as DXF text: the sections in file order, each object
// filed through a filer that formats its items straight into one string.
// One pass over the tables, the block records' entity lists and the
// dictionary tree: O(objects), no lookups per entity.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <numbers>
#include <unordered_map>
#include <unordered_set>

#include "host/db/dbdatabase.h"
#include "host/db/dbdict.h"
#include "host/db/dbentity.h"
#include "host/db/dbgeom.h"
#include "host/db/dbinsert.h"
#include "host/db/dbopaque.h"
#include "host/db/dbpoly.h"
#include "host/db/dbprefetch.h"
#include "host/db/dbsymtb.h"
#include "host/db/dxffile.h"
#include "host/db/dxffile_decode.h"
#include "host/db/dxffile_format.h"
#include "host/db/dxffile_pool.h"
#include "host/win/files.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"

namespace {

// A line weight the format knows: by block, by layer and the default as
// they are; another value below them is by layer, one between two weights
// the next one up, one past the heaviest the heaviest.
long long validLineWeight(long long v) {
    static constexpr long long kWeights[] = {0,  5,  9,  13, 15, 18,  20,  25,  30,  35,  40,  50,
                                             53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};
    if (v >= -3 && v <= -1) return v;
    if (v < -3) return -1;
    for (long long w : kWeights)
        if (w >= v) return w;
    return 211;
}

ZcDbObject* objectOf(ZcDbObjectId id) {
    const ZcDbStub* stub = id.stub();
    return stub && !stub->erased ? stub->object.get() : nullptr;
}

// The item sink: formats every item as DXF text. References become the
// handles of their objects ("0" for none), angles are written in degrees,
// points as their coordinate groups.
class DxfTextFiler : public ZcDbDxfFiler {
public:
    explicit DxfTextFiler(ZcDbDatabase* db) : ZcDbDxfFiler(db) {}

    Zcad::ErrorStatus readItem(ZcDbDxfItem&) override { return Zcad::eNotApplicable; }
    Zcad::ErrorStatus pushBackItem() override { return Zcad::eNotApplicable; }
    bool atEOF() const override { return true; }
    bool includesDefaultValues() const override { return false; }
    using ZcDbDxfFiler::writeItem;

    Zcad::ErrorStatus writeItem(const ZcDbDxfItem& it) override {
        int code = it.code;
        // Dimension styles carry their handle under 105.
        if (code == 5 && m_dimStyleRecord) code = 105;
        switch (it.kind) {
            case ZcDbDxfItem::kString:
                text(code, it.text);
                break;
            case ZcDbDxfItem::kHandle:
                text(code, it.text.empty() ? "0" : it.text);
                break;
            case ZcDbDxfItem::kReal: {
                double v = it.real[0];
                if (code >= 50 && code <= 58) v = host::dxf::degreesOf(v);
                real(code, v);
                break;
            }
            case ZcDbDxfItem::kPoint: {
                real(code, it.real[0]);
                real(code + 10, it.real[1]);
                if (it.dim != 2) real(code + 20, it.real[2]);
                break;
            }
            case ZcDbDxfItem::kInt16:
            case ZcDbDxfItem::kInt32:
            case ZcDbDxfItem::kInt64:
            case ZcDbDxfItem::kBool:
                integer(code, it.integer);
                break;
            case ZcDbDxfItem::kId:
                // A reference to nothing written (a handle the file named
                // but never gave, an erased object) is none.
                text(code, objectOf(it.id) ? it.id.handle().ascii() : std::string("0"));
                break;
            case ZcDbDxfItem::kUnknown:
                text(code, it.text);
                break;
        }
        // Paper-space entities say so right after their entity marker.
        if (code == 100 && m_paperSpaceEntity && it.text == "AcDbEntity") integer(67, 1);
        return Zcad::eOk;
    }

    // The typed writes go straight to text, with the same rules as items.
    Zcad::ErrorStatus writeString(int code, std::string_view v) override {
        // An empty handle is written as none ("0").
        if (v.empty() && ZcDbDxfItem::kindOfCode(code) == ZcDbDxfItem::kHandle) v = "0";
        code = fileCode(code);
        text(code, v);
        if (code == 100 && m_paperSpaceEntity && v == "AcDbEntity") integer(67, 1);
        return Zcad::eOk;
    }
    Zcad::ErrorStatus writeBool(int code, bool v) override { return whole(code, v ? 1 : 0); }
    Zcad::ErrorStatus writeInt16(int code, std::int16_t v) override { return whole(code, v); }
    Zcad::ErrorStatus writeInt32(int code, std::int32_t v) override { return whole(code, v); }
    Zcad::ErrorStatus writeInt64(int code, std::int64_t v) override { return whole(code, v); }
    Zcad::ErrorStatus writeDouble(int code, double v) override {
        code = fileCode(code);
        if (code >= 50 && code <= 58) v = host::dxf::degreesOf(v);
        real(code, v);
        return Zcad::eOk;
    }
    Zcad::ErrorStatus writePoint2d(int code, const ZcGePoint2d& v) override {
        code = fileCode(code);
        real(code, v.x);
        real(code + 10, v.y);
        return Zcad::eOk;
    }
    Zcad::ErrorStatus writePoint3d(int code, const ZcGePoint3d& v) override {
        code = fileCode(code);
        real(code, v.x);
        real(code + 10, v.y);
        real(code + 20, v.z);
        return Zcad::eOk;
    }
    Zcad::ErrorStatus writeObjectId(int code, const ZcDbObjectId& id) override {
        const ZcDbStub* stub = id.stub();
        return handleText(fileCode(code), objectOf(id) ? stub->handle : ZcDbHandle());
    }
    Zcad::ErrorStatus writeHandle(int code, const ZcDbHandle& h) override {
        return handleText(fileCode(code), h);
    }

    void text(int code, std::string_view value) {
        char* p = room(host::dxf::kCodeLineRoom + value.size() + 1);
        p = host::dxf::putCodeLine(p, code);
        // Nearly every value is plain printable ASCII: one scan, one copy.
        if (isPlain(value)) {
            std::memcpy(p, value.data(), value.size());
            p += value.size();
            *p++ = '\n';
            m_p = p;
            return;
        }
        m_p = p;
        escapedText(value);
    }
    void real(int code, double v) {
        char* p = room(host::dxf::kCodeLineRoom + host::dxf::kRealRoom + 1);
        p = host::dxf::putReal(host::dxf::putCodeLine(p, code), v);
        *p++ = '\n';
        m_p = p;
    }
    void integer(int code, long long v) {
        if (code == 370) v = validLineWeight(v);
        char* p = room(host::dxf::kCodeLineRoom + host::dxf::kIntegerRoom + 1);
        p = host::dxf::putInteger(host::dxf::putCodeLine(p, code), v);
        *p++ = '\n';
        m_p = p;
    }
    void pair(int code, std::string_view value) { text(code, value); }

    // The text written so far, and where it ends.
    std::size_t size() const { return m_p ? static_cast<std::size_t>(m_p - m_buf.data()) : 0; }
    char* at(std::size_t offset) { return m_buf.data() + offset; }
    void reserve(std::size_t bytes) {
        if (bytes > m_buf.size()) grow(bytes - size());
    }
    // Text formatted elsewhere, as it is.
    void append(std::string_view t) {
        char* p = room(t.size());
        std::memcpy(p, t.data(), t.size());
        m_p = p + t.size();
    }
    std::string take() {
        m_buf.resize(size());
        m_p = nullptr;
        m_end = nullptr;
        return std::move(m_buf);
    }

    bool m_dimStyleRecord = false;
    bool m_paperSpaceEntity = false;

private:
    // Dimension styles carry their handle under 105.
    int fileCode(int code) const { return code == 5 && m_dimStyleRecord ? 105 : code; }
    Zcad::ErrorStatus whole(int code, long long v) {
        integer(fileCode(code), v);
        return Zcad::eOk;
    }
    // A handle as upper-case hexadecimal; "0" for none.
    Zcad::ErrorStatus handleText(int code, ZcDbHandle h) {
        char* p = room(host::dxf::kCodeLineRoom + host::dxf::kHandleRoom + 1);
        p = host::dxf::putHandle(host::dxf::putCodeLine(p, code), h.value());
        *p++ = '\n';
        m_p = p;
        return Zcad::eOk;
    }

    // Whether every byte is printable ASCII other than a caret: eight bytes
    // at a time, each test true when some byte of the word fails it.
    static bool isPlain(std::string_view v) {
        constexpr std::uint64_t ones = 0x0101010101010101, highs = 0x8080808080808080;
        auto anyBelow = [](std::uint64_t x, std::uint64_t n) { return (x - ones * n) & ~x & highs; };
        auto anyZero = [](std::uint64_t x) { return (x - ones) & ~x & highs; };
        auto fails = [&](std::uint64_t x) {
            return (x & highs) | anyBelow(x, 0x20) | anyZero(x ^ (ones * '^')) | anyZero(x ^ (ones * 0x7F));
        };
        const char* p = v.data();
        std::size_t n = v.size();
        std::uint64_t x;
        for (; n >= 8; p += 8, n -= 8) {
            std::memcpy(&x, p, 8);
            if (fails(x)) return false;
        }
        for (; n > 0; ++p, --n)
            if (*p < 0x20 || *p == '^' || *p == 0x7F) return false;
        return true;
    }

    // The rest of a value that needs more than a copy (the group code is
    // down already).
    void escapedText(std::string_view value) {
        // The file is UTF-8: a stray 8-bit byte is written as its character.
        std::string repaired;
        if (!host::dxf::isAscii(value) && !host::isValidUtf8(value))
            value = repaired = host::repairUtf8(value);
        // Control characters (a line end would split the pair) are written
        // as the format's caret escapes, and a caret that would read as one
        // (or pair with the escape of a control character after it) as
        // "^ ": at most two bytes for one.
        char* p = room(2 * value.size() + 1);
        for (std::size_t i = 0; i < value.size(); ++i) {
            char c = value[i];
            if (static_cast<unsigned char>(c) < 0x20) {
                *p++ = '^';
                *p++ = static_cast<char>(c + '@');
            } else if (c == '^' && i + 1 < value.size() &&
                       (value[i + 1] == ' ' || static_cast<unsigned char>(value[i + 1]) < 0x20 ||
                        (value[i + 1] > '@' && value[i + 1] <= '_'))) {
                *p++ = '^';
                *p++ = ' ';
            } else {
                *p++ = c;
            }
        }
        *p++ = '\n';
        m_p = p;
    }

    // Where the next `bytes` may go: the buffer grows (doubling, so the
    // copies add up to less than the text) only when they do not fit.
    char* room(std::size_t bytes) {
        if (static_cast<std::size_t>(m_end - m_p) < bytes) grow(bytes);
        return m_p;
    }
    void grow(std::size_t bytes) {
        std::size_t used = size();
        m_buf.resize(std::max(2 * m_buf.size(), used + bytes + (1 << 16)));
        m_p = m_buf.data() + used;
        m_end = m_buf.data() + m_buf.size();
    }

    // The text lives in m_buf[0, m_p); m_buf's size is the room made so far.
    std::string m_buf;
    char* m_p = nullptr;
    char* m_end = nullptr;
};

// What the writer asks of an object's class, worked out once per class
// rather than by a walk up the hierarchy for every object.
struct ClassFacts {
    bool polyline = false, insert = false, opaque = false;
    bool loose = false;          // neither an entity nor a table nor a table record
    bool kindPerObject = false;  // the kept kinds, named by each object
    std::string_view name;       // the kind of every other object of the class
};

// The facts of the classes met so far; one per thread that writes.
class ClassFactsCache {
public:
    const ClassFacts& of(const ZcRxClass* cls) {
        // A few classes take turns (lines, arcs, texts...): a small table
        // by address answers them, the map only when two share a slot.
        Recent& slot = m_recent[(reinterpret_cast<std::uintptr_t>(cls) >> 6) % m_recent.size()];
        if (slot.facts && slot.cls == cls) return *slot.facts;
        auto [it, added] = m_facts.try_emplace(cls);
        if (added && cls) {
            ClassFacts& f = it->second;
            f.kindPerObject = cls == ZcDbOpaqueObject::desc() || cls == ZcDbOpaqueEntity::desc();
            const char* name = cls->dxfName();
            f.name = name ? name : "";
            f.polyline = cls->isDerivedFrom(ZcDb2dPolyline::desc());
            f.insert = cls->isDerivedFrom(ZcDbBlockReference::desc());
            f.opaque = cls->isDerivedFrom(ZcDbOpaqueEntity::desc());
            f.loose = !cls->isDerivedFrom(ZcDbEntity::desc()) &&
                      !cls->isDerivedFrom(ZcDbSymbolTable::desc()) &&
                      !cls->isDerivedFrom(ZcDbSymbolTableRecord::desc());
        }
        slot = {cls, &it->second};
        return it->second;
    }

private:
    std::unordered_map<const ZcRxClass*, ClassFacts> m_facts;
    struct Recent {
        const ZcRxClass* cls = nullptr;
        const ClassFacts* facts = nullptr;
    };
    std::array<Recent, 16> m_recent{};
};

class DxfWriter {
public:
    DxfWriter(ZcDbDatabase* db, const host::SysVarStore* vars) : m_db(db), m_vars(vars), m_f(db) {
        // Room for the usual size of an object's text, so the buffer is
        // not copied over and over as it grows.
        m_f.reserve(db->numObjects() * 160 + (1 << 16));
    }

    std::string run() {
        surveyObjects();
        writeHeader();
        writeClasses();
        writeTables();
        writeBlocks();
        writeEntities();
        writeObjects();
        m_f.pair(0, "EOF");
        std::string out = m_f.take();
        // Writing may have taken fresh handles (block markers and followers
        // that had none): the seed written first moves past them.
        char seed[17];
        m_db->handseed().getIntoAsciiBuffer(seed, sizeof seed);
        if (std::string_view(out).substr(m_seedAt, m_seedSize) != seed)
            out.replace(m_seedAt, m_seedSize, seed);
        return out;
    }

private:
    void section(const char* name) {
        m_f.pair(0, "SECTION");
        m_f.pair(2, name);
    }
    void endSection() { m_f.pair(0, "ENDSEC"); }

    void writeHeader() {
        section("HEADER");
        m_f.pair(9, "$ACADVER");
        m_f.pair(1, "AC1027");
        // The 2013 format is UTF-8 throughout; the code page names the
        // fallback for readers of older files.
        m_f.pair(9, "$DWGCODEPAGE");
        m_f.pair(3, "ANSI_1252");
        m_f.pair(9, "$HANDSEED");
        std::string seed = m_db->handseed().ascii();
        m_f.pair(5, seed);
        m_seedAt = m_f.size() - seed.size() - 1;
        m_seedSize = seed.size();
        // Other programs open a drawing zoomed to its extents: they are the
        // model space's as it is saved, not whatever the store last held.
        const ZcDbExtents3d extents = modelExtents();
        for (const host::SysVarDef& def : host::sysVarTable()) {
            if (def.scope != host::SysVarScope::Drawing) continue;
            const host::SysVarValue* stored = m_vars ? m_vars->find(def.name) : nullptr;
            host::SysVarValue v = stored ? *stored : def.defaultValue;
            if (extents.isValid() && def.name == std::string_view("EXTMIN")) v = extents.min;
            if (extents.isValid() && def.name == std::string_view("EXTMAX")) v = extents.max;
            m_f.pair(9, std::string("$") + def.name);
            writeHeaderValue(def, v);
        }
        endSection();
    }

    // The model space's entities, references through their blocks; invalid
    // for an empty model, which keeps the "no extents" values. A long model
    // is measured in runs side by side, each run's extents added in turn:
    // the smallest and largest values, and which of equal ones (a signed
    // zero) comes first, are those of one pass. A run with an entity that
    // opens others to be measured (a reference, a polyline of vertices) is
    // measured here instead, in its turn, as opening is not for two threads.
    ZcDbExtents3d modelExtents() {
        ZcDbExtents3d ext;
        ZcDbBlockTableRecord* model = nullptr;
        if (zcdbOpenObject(model, m_db->modelSpaceId(), ZcDb::kForRead) != Zcad::eOk) return ext;
        const std::vector<ZcDbObjectId> ids = model->entityIds();
        model->close();
        const std::size_t threads = host::dxf::threadCount();
        const std::size_t tasks = threads > 1 ? std::min(ids.size() / kEntitiesPerTask, threads * 8) : 0;
        // One block budget for the whole space: many references to a block
        // nested wide and deep would otherwise each expand it up to its own
        // limit. Only the runs measured here open blocks, in file order.
        std::size_t budget = kZcDbGeometryBlockBudget;
        if (tasks < 2) {
            ZcDbGeometry scratch;
            measure(ids, 0, ids.size(), ext, scratch, &budget);
            return ext;
        }
        auto first = [&](std::size_t k) { return ids.size() * k / tasks; };
        struct Part {
            ZcDbExtents3d ext;
            bool here = false;  // to be measured by the calling thread
        };
        std::vector<Part> parts(tasks);
        host::dxf::runTasks(tasks, [&](std::size_t k) {
            ZcDbGeometry scratch;
            parts[k].here = !measure(ids, first(k), first(k + 1), parts[k].ext, scratch, nullptr);
        });
        ZcDbGeometry scratch;
        for (std::size_t k = 0; k < tasks; ++k) {
            if (parts[k].here) {
                parts[k].ext = ZcDbExtents3d();
                measure(ids, first(k), first(k + 1), parts[k].ext, scratch, &budget);
            }
            ext.add(parts[k].ext);
        }
        return ext;
    }

    // The extents of ids[from, to) added to `ext`. Without a budget, false
    // (and `ext` of no use) at the first entity that would open others; with
    // one, what block contents add is taken from it.
    static bool measure(const std::vector<ZcDbObjectId>& ids, std::size_t from, std::size_t to,
                        ZcDbExtents3d& ext, ZcDbGeometry& scratch, std::size_t* openingBudget) {
        for (std::size_t i = from; i < to; ++i) {
            host::prefetchAhead<4>(ids, i, 4);
            // Read in place: what opening for read would refuse is passed
            // over (gone, erased, open for write, no entity).
            const ZcDbObjectId id = ids[i];
            if (id.isNull() || id.isErased()) continue;
            const ZcDbObject* obj = id.stub()->object.get();
            if (!obj || obj->isWriteEnabled()) continue;
            const auto* e = ZcDbEntity::cast(obj);
            if (!e) continue;
            if (!openingBudget) {
                if (!zcdbExtentsReadOnly(e)) return false;
                ext.add(zcdbEntityExtents(e, scratch));
            } else {
                ext.add(zcdbEntityExtents(e, scratch, *openingBudget));
            }
        }
        return true;
    }

    // Each variable under the group the format gives it: the two angles in
    // degrees (50), the current colour as its number (62, 256 by layer and
    // 0 by block), the view centre as a 2D point.
    void writeHeaderValue(const host::SysVarDef& def, const host::SysVarValue& v) {
        std::string_view name = def.name;
        if (const auto* s = std::get_if<short>(&v)) {
            m_f.integer(70, *s);
        } else if (const auto* d = std::get_if<double>(&v)) {
            if (host::isHeaderAngle(name))
                m_f.real(50, host::dxf::degreesOf(*d));
            else
                m_f.real(40, *d);
        } else if (const auto* t = std::get_if<std::string>(&v)) {
            if (name == "CECOLOR") {
                m_f.integer(62, host::colorNumberOf(*t));
                return;
            }
            int code = name == "CLAYER"      ? 8
                       : name == "CELTYPE"   ? 6
                       : name == "TEXTSTYLE" ? 7
                       : name == "DIMSTYLE"  ? 2
                                             : 1;
            m_f.text(code, *t);
        } else if (const auto* p = std::get_if<ZcGePoint3d>(&v)) {
            m_f.real(10, p->x);
            m_f.real(20, p->y);
            if (def.type != RTPOINT && name != "VIEWCTR") m_f.real(30, p->z);
        } else if (const auto* l = std::get_if<std::int32_t>(&v)) {
            m_f.integer(90, *l);
        }
    }

    void writeClasses() {
        section("CLASSES");
        std::unordered_set<std::string> written;
        for (const auto& [key, obj] : zcrxClassDictionary->entries()) {
            auto* cls = static_cast<ZcRxClass*>(obj);
            // Only classes brought by modules: the platform's own are known to every reader.
            if (!cls || !cls->constructor() || !*cls->dxfName() || !*cls->appName()) continue;
            m_f.pair(0, "CLASS");
            m_f.text(1, cls->dxfName());
            m_f.text(2, cls->name());
            m_f.text(3, cls->appName());
            m_f.integer(90, 0);
            m_f.integer(91, 0);
            m_f.integer(280, 0);
            m_f.integer(281, cls->isDerivedFrom(ZcDbEntity::desc()) ? 1 : 0);
            written.insert(cls->dxfName());
        }
        // Those of the file read, for the kinds still there.
        const std::unordered_set<std::string_view>& kept = m_kinds;
        for (const std::vector<ZcDbDxfItem>& record : m_db->fileClasses()) {
            auto name = std::find_if(record.begin(), record.end(),
                                     [](const ZcDbDxfItem& it) { return it.code == 1; });
            if (name == record.end() || !kept.count(name->text) || !written.insert(name->text).second)
                continue;
            m_f.pair(0, "CLASS");
            for (const ZcDbDxfItem& it : record) m_f.writeItem(it);
        }
        endSection();
    }

    void writeTables() {
        section("TABLES");
        struct T {
            const char* name;
            ZcDbObjectId id;
        };
        const T tables[] = {{"VPORT", m_db->viewportTableId()},    {"LTYPE", m_db->linetypeTableId()},
                            {"LAYER", m_db->layerTableId()},       {"STYLE", m_db->textStyleTableId()},
                            {"VIEW", m_db->viewTableId()},         {"UCS", m_db->UCSTableId()},
                            {"APPID", m_db->regAppTableId()},      {"DIMSTYLE", m_db->dimStyleTableId()},
                            {"BLOCK_RECORD", m_db->blockTableId()}};
        for (const T& t : tables) {
            auto* table = ZcDbSymbolTable::cast(objectOf(t.id));
            if (!table) continue;
            m_f.pair(0, "TABLE");
            m_f.pair(2, t.name);
            table->dxfOut(&m_f);
            bool dimStyles = std::string_view(t.name) == "DIMSTYLE";
            if (dimStyles) {
                m_f.pair(100, "AcDbDimStyleTable");
                m_f.integer(71, 0);
            }
            for (ZcDbObjectId rid : table->recordIds()) {
                ZcDbObject* rec = objectOf(rid);
                if (!rec) continue;
                m_f.pair(0, rec->isA()->dxfName());
                m_f.m_dimStyleRecord = dimStyles;
                rec->dxfOut(&m_f);
                m_f.m_dimStyleRecord = false;
            }
            m_f.pair(0, "ENDTAB");
        }
        endSection();
    }

    void writeBlocks() {
        section("BLOCKS");
        auto* blocks = ZcDbSymbolTable::cast(objectOf(m_db->blockTableId()));
        ZcDbObjectId ms = m_db->modelSpaceId(), ps = m_db->paperSpaceId();
        for (ZcDbObjectId bid : blocks ? blocks->recordIds() : std::vector<ZcDbObjectId>{}) {
            auto* btr = ZcDbBlockTableRecord::cast(objectOf(bid));
            if (!btr) continue;
            bool paper = bid == ps;
            m_f.pair(0, "BLOCK");
            m_f.m_paperSpaceEntity = paper;
            blockMarker(btr, true);
            // Model and paper space entities go to the ENTITIES section.
            if (bid != ms && bid != ps) writeEntityList(btr, false);
            m_f.m_paperSpaceEntity = paper;
            m_f.pair(0, "ENDBLK");
            blockMarker(btr, false);
            m_f.m_paperSpaceEntity = false;
        }
        endSection();
    }

    // BLOCK/ENDBLK as the record writes them, with the handles the record
    // keeps; a record without them (made in this session, or read from a
    // file that gave none) gets fresh ones, reserved in the database so
    // that every later save writes the same.
    void blockMarker(ZcDbBlockTableRecord* btr, bool begin) {
        ZcDbHandle begins = btr->blockBeginHandle(), ends = btr->blockEndHandle();
        ZcDbHandle& h = begin ? begins : ends;
        if (!markerHandleFree(h)) {
            h = freshHandle();
            btr->setBlockMarkerHandles(begins, ends);
        }
        m_markerHandles.insert(h.value());
        ZcDbMemDxfFiler items(m_db);
        if (begin)
            btr->dxfOutBlockBegin(&items);
        else
            btr->dxfOutBlockEnd(&items);
        for (ZcDbDxfItem& it : items.items()) {
            if (it.code == 5) it.text = h.ascii();
            m_f.writeItem(it);
        }
    }

    // A handle past every other, reserved so no object takes it later.
    ZcDbHandle freshHandle() {
        ZcDbHandle h = m_db->handseed();
        ZcDbObjectId reserved;
        m_db->getZcDbObjectId(reserved, true, h);
        return h;
    }

    // A kept handle may serve when no object of the drawing holds it and
    // no other marker of this file took it.
    bool markerHandleFree(ZcDbHandle h) {
        if (h.isNull() || m_markerHandles.count(h.value())) return false;
        ZcDbObjectId id = m_db->objectIdOf(h);
        if (id.isNull()) {
            m_db->getZcDbObjectId(id, true, h);
            return true;
        }
        return !id.stub()->object;
    }

    void writeEntities() {
        section("ENTITIES");
        if (auto* ms = ZcDbBlockTableRecord::cast(objectOf(m_db->modelSpaceId()))) writeEntityList(ms, false);
        if (auto* ps = ZcDbBlockTableRecord::cast(objectOf(m_db->paperSpaceId()))) writeEntityList(ps, true);
        endSection();
    }

    // A long list of entities is formatted side by side: each task puts a
    // run of them into a text of its own, and the texts go down in order,
    // so the bytes are those of one pass. A run with a follower that has
    // no handle of its own (fresh handles are numbered in file order) is
    // written here instead, in its turn.
    void writeEntityList(ZcDbBlockTableRecord* btr, bool paper) {
        m_f.m_paperSpaceEntity = paper;
        // Erased entities are passed over below, without a first walk to drop them.
        const std::vector<ZcDbObjectId> ids = btr->entityIds(false);
        const std::size_t threads = host::dxf::threadCount();
        const std::size_t tasks = threads > 1 ? std::min(ids.size() / kEntitiesPerTask, threads * 8) : 0;
        auto first = [&](std::size_t k) { return ids.size() * k / tasks; };
        if (tasks < 2) {
            for (std::size_t i = 0; i < ids.size(); ++i) writeEntity(m_f, m_facts, ids, i, true);
        } else {
            struct Part {
                std::string text;
                bool here = false;  // to be written by the calling thread
            };
            std::vector<Part> parts(tasks);
            host::dxf::runTasks(tasks, [&](std::size_t k) {
                DxfTextFiler f(m_db);
                f.m_paperSpaceEntity = paper;
                f.reserve((first(k + 1) - first(k)) * 160);
                ClassFactsCache facts;
                for (std::size_t i = first(k); i < first(k + 1); ++i) {
                    if (!writeEntity(f, facts, ids, i, false)) {
                        parts[k].here = true;
                        return;
                    }
                }
                parts[k].text = f.take();
            });
            for (std::size_t k = 0; k < tasks; ++k) {
                if (parts[k].here) {
                    for (std::size_t i = first(k); i < first(k + 1); ++i)
                        writeEntity(m_f, m_facts, ids, i, true);
                } else {
                    m_f.append(parts[k].text);
                    std::string().swap(parts[k].text);
                }
            }
        }
        m_f.m_paperSpaceEntity = false;
    }
    static constexpr std::size_t kEntitiesPerTask = 64;

    // The entity ids[i] and the followers it owns into `f`. Without
    // `freshHandles` nothing of the database is changed: false, and nothing
    // of the entity written, when it would take a fresh handle.
    bool writeEntity(DxfTextFiler& f, ClassFactsCache& facts, const std::vector<ZcDbObjectId>& ids,
                     std::size_t i, bool freshHandles) {
        host::prefetchAhead<4>(ids, i, 4);
        ZcDbObjectId eid = ids[i];
        ZcDbObject* ent = objectOf(eid);
        if (!ent) return true;
        const ClassFacts& is = facts.of(ent->isA());
        if (is.opaque && !freshHandles)
            for (const ZcDbOpaqueRecord& r : static_cast<ZcDbOpaqueEntity*>(ent)->followers())
                if (std::none_of(r.items.begin(), r.items.end(),
                                 [](const ZcDbDxfItem& it) { return it.code == 5; }))
                    return false;
        writeObject(f, ent, is);
        // Owned followers come right after their owner.
        if (is.polyline) {
            auto* pl = static_cast<ZcDb2dPolyline*>(ent);
            for (ZcDbObjectId v : pl->vertexIds()) writeObject(f, facts, objectOf(v));
            writeObject(f, facts, objectOf(pl->seqendId()));
        } else if (is.insert) {
            auto* ins = static_cast<ZcDbBlockReference*>(ent);
            std::vector<ZcDbObjectId> atts = ins->attributeIds();
            for (ZcDbObjectId a : atts) writeObject(f, facts, objectOf(a));
            if (!atts.empty()) writeObject(f, facts, objectOf(ins->seqendId()));
        } else if (is.opaque) {
            for (const ZcDbOpaqueRecord& r : static_cast<ZcDbOpaqueEntity*>(ent)->followers())
                writeFollower(f, r, eid);
        }
        return true;
    }

    // A follower kept with an opaque entity: its own handle (a new one
    // when the file gave none) and its owner first, then its groups.
    void writeFollower(DxfTextFiler& f, const ZcDbOpaqueRecord& r, ZcDbObjectId owner) {
        f.pair(0, r.kind);
        const ZcDbDxfItem* handle = nullptr;
        for (const ZcDbDxfItem& it : r.items)
            if (it.code == 5) handle = &it;
        f.text(5, handle ? handle->text : freshHandle().ascii());
        f.text(330, owner.handle().ascii());
        bool paper = f.m_paperSpaceEntity;
        for (const ZcDbDxfItem& it : r.items) {
            if (it.code == 5 || (it.code == 330 && !it.id.isNull() && it.id == owner) ||
                (it.code == 67 && paper))
                continue;
            f.writeItem(it);
        }
    }

    void writeObject(ZcDbObject* obj) { writeObject(m_f, m_facts, obj); }
    static void writeObject(DxfTextFiler& f, ClassFactsCache& facts, ZcDbObject* obj) {
        if (obj) writeObject(f, obj, facts.of(obj->isA()));
    }
    static void writeObject(DxfTextFiler& f, ZcDbObject* obj, const ClassFacts& is) {
        std::string_view name = is.kindPerObject ? std::string_view(zcdbDxfKindOf(obj)) : is.name;
        if (name.empty()) return;
        f.pair(0, name);
        obj->dxfOut(&f);
    }

    void writeObjects() {
        section("OBJECTS");
        // Depth first from the named-object dictionary: an owner before what
        // it owns, so a reader meets every owner first.
        std::vector<ZcDbObjectId> stack{m_db->namedObjectsDictionaryId()};
        m_rest = 0;
        std::unordered_set<ZcDbObjectId> written;
        while (!stack.empty()) {
            ZcDbObjectId id = stack.back();
            stack.pop_back();
            ZcDbObject* obj = objectOf(id);
            if (!obj || !written.insert(id).second) continue;
            writeObject(obj);
            if (auto* dict = ZcDbDictionary::cast(obj)) {
                auto entries = dict->entries();
                for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
                    // Only what the dictionary owns; a reference elsewhere is written by its owner.
                    ZcDbObject* child = objectOf(it->id);
                    if (child && child->ownerId() == id) stack.push_back(it->id);
                }
            }
            // Then the objects outside that tree (extension dictionaries,
            // objects another program keeps elsewhere), each before what it owns.
            if (stack.empty()) {
                while (m_rest < m_loose.size()) {
                    ZcDbObjectId next = m_loose[m_rest++];
                    ZcDbObject* o = objectOf(next);
                    if (!o || written.count(next) || ownerGone(o)) continue;
                    stack.push_back(next);
                    break;
                }
            }
        }
        endSection();
    }

    // One pass over every object, before anything is written: the kinds
    // present (for the file's own CLASS records) and, in database order,
    // the objects that are neither entities nor tables nor their records
    // (those the OBJECTS section may have to write outside the dictionary
    // tree). The kinds' names stay with their classes and objects while the
    // file is written, so views of them will do.
    void surveyObjects() {
        const bool kinds = !m_db->fileClasses().empty();
        const char* last = nullptr;
        const std::vector<ZcDbObjectId> ids = m_db->allObjectIds();
        for (std::size_t i = 0; i < ids.size(); ++i) {
            // Only the class is asked of most objects: their first line.
            host::prefetchAhead<1>(ids, i, 32);
            ZcDbObjectId id = ids[i];
            ZcDbObject* obj = objectOf(id);
            if (!obj) continue;
            if (kinds) {
                const char* kind = zcdbDxfKindOf(obj);
                if (kind != last) m_kinds.insert(last = kind);
            }
            if (factsOf(obj->isA()).loose) m_loose.push_back(id);
        }
    }

    const ClassFacts& factsOf(const ZcRxClass* cls) { return m_facts.of(cls); }

    // Whether an object hangs from an erased one (the extension dictionary
    // of an erased entity, what that dictionary holds): it goes with it.
    static bool ownerGone(const ZcDbObject* obj) {
        for (int depth = 0; obj && depth < 64; ++depth) {
            ZcDbObjectId owner = obj->ownerId();
            if (owner.isNull()) return false;
            if (owner.isErased() || !owner.stub()->object) return true;
            obj = owner.stub()->object.get();
        }
        return false;
    }

    ZcDbDatabase* m_db;
    const host::SysVarStore* m_vars;
    DxfTextFiler m_f;
    std::unordered_set<std::uint64_t> m_markerHandles;  // BLOCK/ENDBLK handles of this file
    std::vector<ZcDbObjectId> m_loose;             // objects outside entities and tables, in database order
    std::unordered_set<std::string_view> m_kinds;  // kinds present, when the file brought CLASS records
    std::size_t m_rest = 0;
    std::size_t m_seedAt = 0, m_seedSize = 0;  // the $HANDSEED value in the text
    ClassFactsCache m_facts;
};

}  // namespace

namespace host {

std::string writeDxfText(ZcDbDatabase* db, const SysVarStore* vars) {
    if (!db) return {};
    return DxfWriter(db, vars).run();
}

bool saveDxf(ZcDbDatabase* db, const std::string& path, const SysVarStore* vars, std::string* error) {
    if (!db) {
        if (error) *error = "DXF: brak rysunku do zapisania";
        return false;
    }
    return writeFileAtomically(path, writeDxfText(db, vars), error);
}

}  // namespace host
