// Reading DXF text into a fresh database.
//
// Three steps, each linear in the file: split the text into (code, value,
// line) pairs, checking that every code is a number and every pair is
// whole; scan the pairs once for the objects' handles (duplicates refused,
// collisions with the database's own first objects moved to fresh numbers);
// then build the objects section by section, each from its items through a
// memory filer. References resolve through the database's handle map,
// reserving a handle met before its object. The database is handed over
// only when the last section closed cleanly.
#include <cmath>
#include <numbers>
#include <unordered_map>
#include <unordered_set>

#include "host/db/dbdatabase.h"
#include "host/db/dbdict.h"
#include "host/db/dbdim.h"
#include "host/db/dbentity.h"
#include "host/db/dbinsert.h"
#include "host/db/dbpoly.h"
#include "host/db/dbsymtb.h"
#include "host/db/dxffile.h"
#include "host/win/files.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"

namespace {

struct Pair {
    int code;
    std::string_view value;
    int line;  // of the code
};

// A refusal: the line and the problem.
struct DxfError {
    int line;
    std::string what;
};

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::vector<Pair> splitPairs(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<Pair> pairs;
    pairs.reserve(text.size() / 16);
    std::size_t pos = 0;
    int line = 0;
    auto nextLine = [&](std::string_view& out) {
        if (pos >= text.size()) return false;
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        out = text.substr(pos, end - pos);
        if (!out.empty() && out.back() == '\r') out.remove_suffix(1);
        pos = end + 1;
        ++line;
        return true;
    };
    std::string_view codeText, value;
    while (nextLine(codeText)) {
        int codeLine = line;
        std::string_view c = trimmed(codeText);
        if (c.empty() && pos >= text.size()) break;  // a final empty line
        auto code = host::parseInteger(c);
        if (!code || *code < -5 || *code > 1071)
            throw DxfError{codeLine, "zły kod grupy \"" + std::string(c.substr(0, 40)) + "\""};
        if (!nextLine(value)) throw DxfError{codeLine, "plik urwany: brak wartości po kodzie " + std::to_string(*code)};
        pairs.push_back({static_cast<int>(*code), value, codeLine});
    }
    return pairs;
}

class DxfReader {
public:
    explicit DxfReader(std::string_view text) : m_text(text) {}

    host::DxfLoadResult run() {
        host::DxfLoadResult result;
        try {
            m_pairs = splitPairs(m_text);
            m_db = std::make_unique<ZcDbDatabase>(false);
            m_db->disableUndoRecording(true);
            m_vars = std::make_unique<host::MemorySysVarStore>();
            planHandles();
            readSections();
            finish();
        } catch (const DxfError& e) {
            result.error = "DXF: wiersz " + std::to_string(e.line) + ": " + e.what;
            closeParent();
            return result;
        }
        m_db->disableUndoRecording(false);
        result.db = std::move(m_db);
        result.vars = std::move(m_vars);
        result.notes = std::move(m_notes);
        return result;
    }

private:
    // ------------------------------------------------------------ handles

    // Where each object's handle is, and what the fresh database already
    // holds: its tables take the file's tables, its dictionary the file's
    // first dictionary; other clashes move to numbers past every handle.
    void planHandles() {
        std::unordered_map<std::uint64_t, ZcDbObjectId> own;  // the fresh database's objects
        std::uint64_t top = m_db->handseed().value();
        for (ZcDbObjectId id : m_db->allObjectIds()) own[id.handle().value()] = id;
        const std::unordered_map<std::string_view, ZcDbObjectId> tables = {
            {"VPORT", m_db->viewportTableId()},   {"LTYPE", m_db->linetypeTableId()},
            {"LAYER", m_db->layerTableId()},      {"STYLE", m_db->textStyleTableId()},
            {"VIEW", m_db->viewTableId()},        {"UCS", m_db->UCSTableId()},
            {"APPID", m_db->regAppTableId()},     {"DIMSTYLE", m_db->dimStyleTableId()},
            {"BLOCK_RECORD", m_db->blockTableId()}};
        std::string_view section;
        bool firstDictionary = true;
        struct Found {
            std::uint64_t handle;
            int line;
        };
        std::vector<Found> clashes;
        for (std::size_t i = 0; i < m_pairs.size(); ++i) {
            const Pair& p = m_pairs[i];
            if (p.code != 0) continue;
            std::string_view kind = trimmed(p.value);
            if (kind == "SECTION" && i + 1 < m_pairs.size()) section = trimmed(m_pairs[i + 1].value);
            if (kind == "SECTION" || kind == "ENDSEC" || kind == "EOF" || kind == "ENDTAB") continue;
            std::string_view tableName;
            std::uint64_t handle = 0;
            int handleLine = p.line;
            for (std::size_t j = i + 1; j < m_pairs.size() && m_pairs[j].code != 0; ++j) {
                const Pair& q = m_pairs[j];
                if (q.code == 2 && kind == "TABLE" && tableName.empty()) tableName = trimmed(q.value);
                if ((q.code == 5 || (q.code == 105 && kind == "DIMSTYLE")) && handle == 0) {
                    handle = parseHandle(q);
                    handleLine = q.line + 1;
                }
            }
            if (handle == 0) continue;
            if (!m_defined.insert(handle).second)
                throw DxfError{handleLine, "powtórzony uchwyt " + ZcDbHandle(handle).ascii()};
            if (handle >= top) top = handle + 1;
            ZcDbObjectId target;
            if (kind == "TABLE") {
                auto t = tables.find(tableName);
                if (t != tables.end()) target = t->second;
            } else if (kind == "DICTIONARY" && section == "OBJECTS" && firstDictionary) {
                firstDictionary = false;
                target = m_db->namedObjectsDictionaryId();
            }
            if (!target.isNull()) {
                m_alias[handle] = target.handle().value();
                m_taken.insert(target.handle().value());
            } else if (own.count(handle)) {
                clashes.push_back({handle, handleLine});
            }
        }
        for (const Found& c : clashes) m_alias[c.handle] = top++;
        // Objects made while reading (by the reader or by the objects
        // themselves) number past every handle of the file: a reservation
        // at the top moves the database's counter there.
        ZcDbObjectId guard;
        m_db->getZcDbObjectId(guard, true, ZcDbHandle(top));
        m_top = top + 1;
        for (std::uint64_t h : m_defined) m_definedInDb.insert(mapped(h));
        for (std::uint64_t h : m_taken) m_definedInDb.insert(h);
    }

    std::uint64_t parseHandle(const Pair& p) const {
        std::string_view v = trimmed(p.value);
        if (v.empty() || v.size() > 16 || v.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos)
            throw DxfError{p.line, "zły uchwyt \"" + std::string(v.substr(0, 40)) + "\""};
        return ZcDbHandle(v).value();
    }

    std::uint64_t mapped(std::uint64_t h) const {
        auto it = m_alias.find(h);
        return it == m_alias.end() ? h : it->second;
    }

    ZcDbObjectId idOf(std::uint64_t fileHandle) {
        if (fileHandle == 0) return {};
        ZcDbObjectId id;
        m_db->getZcDbObjectId(id, true, ZcDbHandle(mapped(fileHandle)));
        return id;
    }

    // -------------------------------------------------------------- items

    // The items of the group starting at m_pos (its "0" pair excluded), up
    // to the next "0"; points gathered, angles in radians, handles mapped.
    std::vector<ZcDbDxfItem> takeItems(std::string_view kind) {
        std::vector<ZcDbDxfItem> items;
        ++m_pos;
        while (m_pos < m_pairs.size() && m_pairs[m_pos].code != 0) {
            const Pair& p = m_pairs[m_pos];
            ZcDbDxfItem it;
            it.code = p.code == 105 && kind == "DIMSTYLE" ? 5 : p.code;
            it.kind = ZcDbDxfItem::kindOfCode(it.code);
            std::string_view v = trimmed(p.value);
            switch (it.kind) {
            case ZcDbDxfItem::kString:
                it.text = std::string(p.value.size() && p.value.back() == '\r' ? p.value.substr(0, p.value.size() - 1)
                                                                                : p.value);
                break;
            case ZcDbDxfItem::kHandle:
                it.text = p.code == 1005 ? std::string(v) : ZcDbHandle(mapped(parseHandle(p))).ascii();
                break;
            case ZcDbDxfItem::kReal: {
                it.real[0] = number(p);
                if (it.code >= 50 && it.code <= 58) it.real[0] *= std::numbers::pi / 180.0;
                break;
            }
            case ZcDbDxfItem::kPoint: {
                it.real[0] = number(p);
                it.dim = 2;
                int step = 10;
                if (m_pos + 1 < m_pairs.size() && m_pairs[m_pos + 1].code == p.code + step) {
                    it.real[1] = number(m_pairs[++m_pos]);
                } else {
                    throw DxfError{p.line, "punkt bez współrzędnej Y (kod " + std::to_string(p.code + step) + ")"};
                }
                if (m_pos + 1 < m_pairs.size() && m_pairs[m_pos + 1].code == p.code + 2 * step) {
                    it.real[2] = number(m_pairs[++m_pos]);
                    it.dim = 3;
                }
                break;
            }
            case ZcDbDxfItem::kInt16:
            case ZcDbDxfItem::kInt32:
            case ZcDbDxfItem::kInt64:
            case ZcDbDxfItem::kBool: {
                auto n = host::parseInteger(v);
                if (!n) {
                    // Some writers put a decimal point on whole numbers.
                    auto d = host::parseDouble(v);
                    if (!d || *d != std::floor(*d)) throw notNumber(p);
                    n = static_cast<long long>(*d);
                }
                it.integer = *n;
                break;
            }
            case ZcDbDxfItem::kId: it.id = idOf(parseHandle(p)); break;
            case ZcDbDxfItem::kUnknown:
                // A code no object of this platform reads: kept as text, ignored.
                it.kind = ZcDbDxfItem::kString;
                it.text = std::string(v);
                break;
            }
            items.push_back(std::move(it));
            ++m_pos;
        }
        return items;
    }

    double number(const Pair& p) const {
        auto d = host::parseDouble(trimmed(p.value));
        if (!d || !std::isfinite(*d)) throw notNumber(p);
        return *d;
    }

    static DxfError notNumber(const Pair& p) {
        return {p.line + 1, "wartość \"" + std::string(trimmed(p.value).substr(0, 40)) +
                                "\" nie jest liczbą (kod " + std::to_string(p.code) + ")"};
    }

    static const ZcDbDxfItem* findItem(const std::vector<ZcDbDxfItem>& items, int code) {
        for (const ZcDbDxfItem& it : items)
            if (it.code == code) return &it;
        return nullptr;
    }

    // ----------------------------------------------------------- sections

    const Pair& at(std::size_t i) const {
        if (i >= m_pairs.size()) throw DxfError{lastLine(), "plik urwany: brak EOF"};
        return m_pairs[i];
    }
    int lastLine() const { return m_pairs.empty() ? 1 : m_pairs.back().line + 1; }
    std::string_view kindAt(std::size_t i) const { return trimmed(at(i).value); }

    void readSections() {
        m_pos = 0;
        while (true) {
            const Pair& p = at(m_pos);
            if (p.code != 0) throw DxfError{p.line, "oczekiwano kodu 0, jest " + std::to_string(p.code)};
            std::string_view kind = trimmed(p.value);
            if (kind == "EOF") return;
            if (kind != "SECTION") throw DxfError{p.line, "oczekiwano SECTION, jest \"" + std::string(kind) + "\""};
            const Pair& name = at(m_pos + 1);
            if (name.code != 2) throw DxfError{name.line, "sekcja bez nazwy"};
            std::string_view section = trimmed(name.value);
            m_pos += 2;
            if (section == "HEADER") readHeader();
            else if (section == "TABLES") readTables();
            else if (section == "BLOCKS") readBlocks();
            else if (section == "ENTITIES") {
                ensureSpaces(name);
                readEntities(m_db->modelSpaceId(), "ENDSEC");
            }
            else if (section == "OBJECTS") readObjects();
            else skipTo("ENDSEC", p.line);  // CLASSES, THUMBNAILIMAGE, ACDSDATA ...
            closeParent();
            const Pair& end = at(m_pos);
            if (end.code != 0 || trimmed(end.value) != "ENDSEC")
                throw DxfError{end.line, "brak ENDSEC sekcji " + std::string(section)};
            ++m_pos;
        }
    }

    void skipTo(std::string_view marker, int startLine) {
        while (m_pos < m_pairs.size()) {
            const Pair& p = m_pairs[m_pos];
            if (p.code == 0 && trimmed(p.value) == marker) return;
            if (p.code == 0 && trimmed(p.value) == "SECTION") break;
            ++m_pos;
        }
        throw DxfError{m_pos < m_pairs.size() ? m_pairs[m_pos].line : startLine, "brak " + std::string(marker)};
    }

    void readHeader() {
        while (m_pos < m_pairs.size() && m_pairs[m_pos].code != 0) {
            const Pair& p = m_pairs[m_pos++];
            if (p.code != 9) continue;
            std::string_view name = trimmed(p.value);
            std::size_t first = m_pos;
            while (m_pos < m_pairs.size() && m_pairs[m_pos].code != 0 && m_pairs[m_pos].code != 9) ++m_pos;
            if (name.size() < 2 || name[0] != '$') continue;
            const host::SysVarDef* def = host::findSysVar(std::string(name.substr(1)));
            if (!def || def->scope != host::SysVarScope::Drawing || first == m_pos) continue;
            const Pair& v = m_pairs[first];
            std::optional<host::SysVarValue> value;
            switch (def->type) {
            case RTSHORT: value = static_cast<short>(integerOf(v)); break;
            case RTLONG: value = static_cast<std::int32_t>(integerOf(v)); break;
            case RTREAL: value = number(v); break;
            case RTSTR: value = std::string(v.value); break;
            case RTPOINT:
            case RT3DPOINT: {
                ZcGePoint3d pt;
                for (std::size_t k = first; k < m_pos; ++k) {
                    const Pair& c = m_pairs[k];
                    if (c.code == 10) pt.x = number(c);
                    else if (c.code == 20) pt.y = number(c);
                    else if (c.code == 30) pt.z = number(c);
                }
                value = pt;
                break;
            }
            default: break;
            }
            if (value) m_vars->store(def->name, *value);
        }
    }

    long long integerOf(const Pair& p) const {
        auto n = host::parseInteger(trimmed(p.value));
        if (!n) throw notNumber(p);
        return *n;
    }

    void readTables() {
        while (true) {
            const Pair& p = at(m_pos);
            std::string_view kind = trimmed(p.value);
            if (kind == "ENDSEC" || kind == "EOF" || kind == "SECTION") return;
            if (kind != "TABLE") throw DxfError{p.line, "oczekiwano TABLE, jest \"" + std::string(kind) + "\""};
            std::vector<ZcDbDxfItem> head = takeItems(kind);
            const ZcDbDxfItem* name = findItem(head, 2);
            ZcDbObjectId tableId = name ? tableIdOf(name->text) : ZcDbObjectId();
            while (true) {
                const Pair& r = at(m_pos);
                std::string_view rk = trimmed(r.value);
                if (rk == "ENDTAB") {
                    ++m_pos;
                    break;
                }
                if (rk == "ENDSEC" || rk == "EOF" || rk == "TABLE")
                    throw DxfError{r.line, "brak ENDTAB tabeli " + (name ? name->text : std::string())};
                readRecord(tableId, r);
            }
        }
    }

    ZcDbObjectId tableIdOf(const std::string& name) const {
        if (name == "VPORT") return m_db->viewportTableId();
        if (name == "LTYPE") return m_db->linetypeTableId();
        if (name == "LAYER") return m_db->layerTableId();
        if (name == "STYLE") return m_db->textStyleTableId();
        if (name == "VIEW") return m_db->viewTableId();
        if (name == "UCS") return m_db->UCSTableId();
        if (name == "APPID") return m_db->regAppTableId();
        if (name == "DIMSTYLE") return m_db->dimStyleTableId();
        if (name == "BLOCK_RECORD") return m_db->blockTableId();
        return {};
    }

    void readRecord(ZcDbObjectId tableId, const Pair& start) {
        std::string kind(trimmed(start.value));
        std::vector<ZcDbDxfItem> items = takeItems(kind);
        checkOwner(items, start);
        ZcDbObject* made = make(kind, items, start);
        auto* rec = ZcDbSymbolTableRecord::cast(made);
        ZcDbSymbolTable* table = nullptr;
        if (!rec || tableId.isNull() || zcdbOpenObject(table, tableId, ZcDb::kForWrite) != Zcad::eOk) {
            delete made;
            note(kind);
            return;
        }
        if (!rec->isKindOf(table->recordClass())) {
            delete made;
            table->close();
            note(kind);
            return;
        }
        ZcDbObjectId id;
        Zcad::ErrorStatus es = table->add(id, rec);
        table->close();
        if (es != Zcad::eOk) {
            delete rec;
            throw DxfError{start.line, "nie można dodać rekordu " + kind + " (kod błędu " + std::to_string(es) + ")"};
        }
        rec->close();
    }

    // A new object of the kind, read from its items; null for a kind this
    // platform does not make.
    ZcDbObject* make(const std::string& kind, const std::vector<ZcDbDxfItem>& items, const Pair& start) {
        ZcRxClass* cls = nullptr;
        if (kind == "DIMENSION") {
            cls = zcdbClassForDxf(kind, items);
        } else {
            auto cached = m_classes.find(kind);
            if (cached == m_classes.end()) cached = m_classes.emplace(kind, zcrxFindClassByDxfName(kind)).first;
            cls = cached->second;
        }
        ZcRxObject* made = cls ? cls->create() : nullptr;
        ZcDbObject* obj = ZcDbObject::cast(made);
        if (!obj) {
            delete made;
            return nullptr;
        }
        ZcDbMemDxfFiler filer(items, m_db.get());
        Zcad::ErrorStatus es = obj->dxfIn(&filer);
        if (es != Zcad::eOk && es != Zcad::eEndOfFile) {
            std::string why = filer.errorMessage();
            delete obj;
            throw DxfError{start.line, "błędne dane obiektu " + kind + (why.empty() ? "" : ": " + why)};
        }
        return obj;
    }

    // The owner a record names must be in the file.
    void checkOwner(const std::vector<ZcDbDxfItem>& items, const Pair& start) {
        const ZcDbDxfItem* owner = findItem(items, 330);
        if (!owner || owner->id.isNull()) return;
        if (!m_definedInDb.count(owner->id.handle().value()) && !owner->id.stub()->object)
            throw DxfError{start.line, "właściciel " + owner->id.handle().ascii() + " nie istnieje"};
    }

    void readBlocks() {
        while (true) {
            const Pair& p = at(m_pos);
            std::string_view kind = trimmed(p.value);
            if (kind == "ENDSEC" || kind == "EOF" || kind == "SECTION") return;
            if (kind != "BLOCK") throw DxfError{p.line, "oczekiwano BLOCK, jest \"" + std::string(kind) + "\""};
            std::vector<ZcDbDxfItem> items = takeItems(kind);
            ZcDbObjectId block = blockFor(items, p);
            readEntities(block, "ENDBLK");
            takeItems("ENDBLK");
        }
    }

    // The record of a BLOCK: the one it names as owner, else by name (files
    // without BLOCK_RECORD table get one made).
    ZcDbObjectId blockFor(const std::vector<ZcDbDxfItem>& items, const Pair& start) {
        const ZcDbDxfItem* owner = findItem(items, 330);
        if (owner && !owner->id.isNull() && ZcDbBlockTableRecord::cast(owner->id.stub()->object.get())) {
            ZcDbBlockTableRecord* btr = nullptr;
            if (zcdbOpenObject(btr, owner->id, ZcDb::kForWrite) == Zcad::eOk) {
                ZcDbMemDxfFiler filer(items, m_db.get());
                std::string name = btr->name();
                btr->dxfInBlockBegin(&filer);
                if (btr->name() != name) btr->setName(name);  // the table's key stays the record's
                btr->close();
            }
            return owner->id;
        }
        const ZcDbDxfItem* name = findItem(items, 2);
        if (!name || name->text.empty()) throw DxfError{start.line, "BLOCK bez nazwy"};
        ZcDbObjectId id = m_db->recordId(m_db->blockTableId(), name->text);
        if (!id.isNull()) return id;
        auto* btr = new ZcDbBlockTableRecord;
        ZcDbMemDxfFiler filer(items, m_db.get());
        btr->dxfInBlockBegin(&filer);
        return addBlockRecord(btr, start);
    }

    // A block record the file has no record for: it takes a handle past all
    // of the file's, so no later object of the file loses its own.
    ZcDbObjectId addBlockRecord(ZcDbBlockTableRecord* btr, const Pair& start) {
        ZcDbDxfItem handle;
        handle.code = 5;
        handle.kind = ZcDbDxfItem::kHandle;
        handle.text = ZcDbHandle(m_top++).ascii();
        ZcDbMemDxfFiler filer({handle}, m_db.get());
        btr->ZcDbObject::dxfInFields(&filer);
        ZcDbBlockTable* table = nullptr;
        ZcDbObjectId id;
        if (m_db->getBlockTable(table, ZcDb::kForWrite) != Zcad::eOk) {
            delete btr;
            return id;
        }
        Zcad::ErrorStatus es = table->add(id, btr);
        table->close();
        if (es != Zcad::eOk) {
            std::string name = btr->name();
            delete btr;
            throw DxfError{start.line, "nie można dodać bloku " + name};
        }
        btr->close();
        return id;
    }

    // Files without a BLOCK_RECORD table still draw in model and paper space.
    void ensureSpaces(const Pair& start) {
        for (const char* name : {"*Model_Space", "*Paper_Space"}) {
            if (!m_db->recordId(m_db->blockTableId(), name).isNull()) continue;
            auto* btr = new ZcDbBlockTableRecord;
            btr->setName(name);
            addBlockRecord(btr, start);
        }
    }

    // Entities up to `endMarker`, appended to their owner (the record they
    // name, else `space`; paper space for a 67 flag in ENTITIES).
    void readEntities(ZcDbObjectId space, std::string_view endMarker) {
        while (true) {
            const Pair& p = at(m_pos);
            std::string kind(trimmed(p.value));
            if (kind == endMarker) return;
            if (kind == "ENDSEC" || kind == "EOF" || kind == "SECTION" || kind == "ENDBLK")
                throw DxfError{p.line, "brak " + std::string(endMarker)};
            std::vector<ZcDbDxfItem> items = takeItems(kind);
            readEntity(kind, items, p, space, endMarker == "ENDSEC");
        }
    }

    void readEntity(const std::string& kind, std::vector<ZcDbDxfItem>& items, const Pair& start, ZcDbObjectId space,
                    bool entitiesSection) {
        bool follower = kind == "VERTEX" || kind == "SEQEND" || kind == "ATTRIB";
        if (!follower) closeParent();
        checkOwner(items, start);
        ZcDbObject* made = make(kind, items, start);
        auto* ent = ZcDbEntity::cast(made);
        if (!ent) {
            delete made;
            note(kind);
            return;
        }
        if (follower) {
            adoptFollower(kind, ent, start);
            return;
        }
        ZcDbObjectId owner = space;
        const ZcDbDxfItem* named = findItem(items, 330);
        if (named && !named->id.isNull() && ZcDbBlockTableRecord::cast(named->id.stub()->object.get()))
            owner = named->id;
        else if (entitiesSection) {
            const ZcDbDxfItem* paper = findItem(items, 67);
            if (paper && paper->integer == 1 && !m_db->paperSpaceId().isNull()) owner = m_db->paperSpaceId();
        }
        if (owner.isNull()) {
            delete ent;
            throw DxfError{start.line, "encja " + kind + " bez bloku właściciela"};
        }
        ZcDbBlockTableRecord* btr = nullptr;
        if (zcdbOpenObject(btr, owner, ZcDb::kForWrite) != Zcad::eOk) {
            delete ent;
            throw DxfError{start.line, "blok właściciela encji " + kind + " niedostępny"};
        }
        ZcDbObjectId id;
        Zcad::ErrorStatus es = btr->appendZcDbEntity(id, ent);
        btr->close();
        if (es != Zcad::eOk) {
            delete ent;
            throw DxfError{start.line, "nie można dodać encji " + kind};
        }
        // POLYLINE always, INSERT with its 66 flag, take the followers.
        const ZcDbDxfItem* follows = findItem(items, 66);
        if (ZcDb2dPolyline::cast(ent) || (ZcDbBlockReference::cast(ent) && follows && follows->integer == 1)) {
            m_parent = ent;
        } else {
            ent->close();
        }
    }

    void adoptFollower(const std::string& kind, ZcDbEntity* ent, const Pair& start) {
        if (!m_parent) {
            delete ent;
            note(kind + " (bez właściciela)");
            return;
        }
        auto* pl = ZcDb2dPolyline::cast(m_parent);
        auto* ins = ZcDbBlockReference::cast(m_parent);
        bool fits = kind == "SEQEND" || (kind == "VERTEX" && pl) || (kind == "ATTRIB" && ins);
        if (!fits) {
            delete ent;
            note(kind + " (bez właściciela)");
            return;
        }
        ent->setOwnerId(m_parent->objectId());
        ZcDbObjectId id;
        if (m_db->addZcDbObject(id, ent) != Zcad::eOk) {
            delete ent;
            throw DxfError{start.line, "nie można dodać encji " + kind};
        }
        ent->close();
        if (kind == "SEQEND") {
            if (pl) pl->adoptSeqendId(id);
            else ins->adoptSeqendId(id);
            closeParent();
        } else if (pl) {
            pl->adoptVertexId(id);
        } else {
            ins->adoptAttributeId(id);
        }
    }

    void closeParent() {
        if (m_parent) m_parent->close();
        m_parent = nullptr;
    }

    void readObjects() {
        bool first = true;
        while (true) {
            const Pair& p = at(m_pos);
            std::string kind(trimmed(p.value));
            if (kind == "ENDSEC" || kind == "EOF" || kind == "SECTION") return;
            std::vector<ZcDbDxfItem> items = takeItems(kind);
            checkOwner(items, p);
            if (first && kind == "DICTIONARY") {
                // The named-object dictionary: the database's own takes the entries.
                first = false;
                ZcDbDictionary* nod = nullptr;
                if (m_db->getNamedObjectsDictionary(nod, ZcDb::kForWrite) == Zcad::eOk) {
                    ZcDbMemDxfFiler filer(items, m_db.get());
                    nod->dxfIn(&filer);
                    nod->close();
                    m_dictionaries.push_back(m_db->namedObjectsDictionaryId());
                }
                continue;
            }
            first = false;
            ZcDbObject* obj = make(kind, items, p);
            if (!obj || ZcDbEntity::cast(obj)) {
                delete obj;
                note(kind);
                continue;
            }
            ZcDbObjectId id;
            if (m_db->addZcDbObject(id, obj) != Zcad::eOk) {
                delete obj;
                throw DxfError{p.line, "nie można dodać obiektu " + kind};
            }
            if (ZcDbDictionary::cast(obj)) m_dictionaries.push_back(id);
            obj->close();
        }
    }

    // After the last section: no owner may be missing, and dictionaries
    // lose entries whose objects were skipped.
    void finish() {
        for (ZcDbObjectId id : m_db->allObjectIds()) {
            if (!id.stub()->object) continue;
            ZcDbObjectId owner = id.stub()->object->ownerId();
            if (!owner.isNull() && !owner.stub()->object)
                throw DxfError{lastLine(), "właściciel " + owner.handle().ascii() + " obiektu " +
                                               id.handle().ascii() + " nie istnieje"};
        }
        for (ZcDbObjectId did : m_dictionaries) {
            ZcDbDictionary* dict = nullptr;
            if (zcdbOpenObject(dict, did, ZcDb::kForWrite) != Zcad::eOk) continue;
            for (const auto& e : dict->entries())
                if (e.id.isNull() || !e.id.stub()->object) dict->remove(e.id);
            dict->close();
        }
        ensureSpaces(m_pairs.empty() ? Pair{0, {}, 1} : m_pairs.back());
    }

    void note(const std::string& kind) {
        if (!m_noted.insert(kind).second) return;
        m_notes.push_back("DXF: pominięto obiekty typu " + kind);
    }

    std::string_view m_text;
    std::vector<Pair> m_pairs;
    std::size_t m_pos = 0;
    std::unique_ptr<ZcDbDatabase> m_db;
    std::unique_ptr<host::MemorySysVarStore> m_vars;
    std::unordered_map<std::uint64_t, std::uint64_t> m_alias;  // file handle → database handle
    std::unordered_set<std::uint64_t> m_defined;               // handles the file defines
    std::unordered_set<std::uint64_t> m_taken;                 // database objects standing for file ones
    std::unordered_set<std::uint64_t> m_definedInDb;           // the same, as database handles
    std::unordered_map<std::string, ZcRxClass*> m_classes;
    std::unordered_set<std::string> m_noted;
    std::vector<std::string> m_notes;
    std::vector<ZcDbObjectId> m_dictionaries;
    ZcDbEntity* m_parent = nullptr;
    std::uint64_t m_top = 1;  // past every handle of the file and the database  // an open POLYLINE or INSERT taking followers
};

}  // namespace

namespace host {

DxfLoadResult readDxfText(std::string_view text) {
    if (isValidUtf8(text)) return DxfReader(text).run();
    // Files of older formats are in the system's 8-bit code page; a file
    // that mixes holds UTF-8 strings too. Each line that is not valid UTF-8
    // is decoded on its own, so one bad string spoils no other.
    std::string decoded;
    decoded.reserve(text.size() + text.size() / 8);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lf = text.find('\n', start);
        const std::size_t stop = lf == std::string_view::npos ? text.size() : lf + 1;
        const std::string_view line = text.substr(start, stop - start);
        if (isValidUtf8(line))
            decoded += line;
        else
            decoded += decodeWindows1250(line);
        start = stop;
    }
    return DxfReader(decoded).run();
}

DxfLoadResult loadDxf(const std::string& path) {
    std::string bytes, error;
    if (!readWholeFile(path, bytes, &error)) {
        DxfLoadResult r;
        r.error = "DXF: nie można odczytać pliku " + path + (error.empty() ? "" : ": " + error);
        return r;
    }
    return readDxfText(bytes);
}

}  // namespace host
