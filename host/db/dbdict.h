// ZcDbDictionary: an owning map from keys to objects, iterated in insertion
// order, keys compared ignoring case (Polish and Italian letters included).
// Lookup is O(1) through a folded-key hash map; removal is linear in the
// number of entries (dictionaries hold few entries).
// setAt on an existing key replaces the entry and erases the old object.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/db/dbfields.h"
#include "host/db/dbfoldedname.h"
#include "host/db/dbobject.h"

class ZcDbDictionaryIterator {
public:
    struct Entry {
        std::string key;
        ZcDbObjectId id;
    };
    explicit ZcDbDictionaryIterator(std::vector<Entry> entries) : m_entries(std::move(entries)) {}
    bool done() const { return m_pos >= m_entries.size(); }
    bool next() {
        ++m_pos;
        return !done();
    }
    const char* name() const { return done() ? "" : m_entries[m_pos].key.c_str(); }
    ZcDbObjectId objectId() const { return done() ? ZcDbObjectId() : m_entries[m_pos].id; }
    template <class T>
    Zcad::ErrorStatus getObject(T*& obj, ZcDb::OpenMode mode = ZcDb::kForRead) const {
        obj = nullptr;
        if (done()) return Zcad::eInvalidIndex;
        return zcdbOpenObject(obj, m_entries[m_pos].id, mode);
    }

private:
    std::vector<Entry> m_entries;
    std::size_t m_pos = 0;
};

class ZcDbDictionary : public ZcDbObject {
public:
    ZCRX_DECLARE_MEMBERS(ZcDbDictionary);
    ZCDB_DECLARE_FILING;

    Zcad::ErrorStatus getAt(std::string_view key, ZcDbObjectId& id) const;
    template <class T>
    Zcad::ErrorStatus getAt(std::string_view key, T*& obj, ZcDb::OpenMode mode) const {
        obj = nullptr;
        ZcDbObjectId id;
        Zcad::ErrorStatus es = getAt(key, id);
        return es == Zcad::eOk ? zcdbOpenObject(obj, id, mode) : es;
    }
    Zcad::ErrorStatus nameAt(ZcDbObjectId id, std::string& key) const;
    bool has(std::string_view key) const;
    bool has(ZcDbObjectId id) const;
    std::size_t numEntries() const;
    // Adds (or replaces) an entry; this dictionary must be open for write
    // and resident. A new object becomes resident, owned here, and stays
    // open for write for the caller to close.
    Zcad::ErrorStatus setAt(std::string_view key, ZcDbObject* obj, ZcDbObjectId& id);
    Zcad::ErrorStatus setAt(std::string_view key, ZcDbObject* obj) {
        ZcDbObjectId id;
        return setAt(key, obj, id);
    }
    // Removes the entry (the object is not erased; it loses its owner).
    Zcad::ErrorStatus remove(std::string_view key);
    Zcad::ErrorStatus remove(std::string_view key, ZcDbObjectId& id);
    Zcad::ErrorStatus remove(ZcDbObjectId id);
    ZcDbDictionaryIterator* newIterator() const;
    std::vector<ZcDbDictionaryIterator::Entry> entries(bool skipErased = true) const;
    // The id of the first entry in entry order, not erased, whose key
    // `matches` takes; null when none. Read in place: the settings are
    // looked for in their dictionary on every read, and a copy of the
    // entries each time costs more than the look.
    template <class Pred>
    ZcDbObjectId firstEntryWhere(Pred matches) const {
        for (const auto& e : m_entries)
            if (!e.id.isErased() && matches(e.key)) return e.id;
        return {};
    }

private:
    void rebuildIndex();
    std::vector<ZcDbDictionaryIterator::Entry> m_entries;
    std::unordered_map<std::string, std::size_t, ZcDbNameHash, std::equal_to<>>
        m_index;  // folded key → position
};
