#include "host/db/dbkeptlookup.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "host/db/dbdatabase.h"

namespace {

// The lookups of one drawing, and the reactor that drops them. A drawing
// gone leaves its reactor unnotified and unasked: the next look-up of any
// drawing drops it, known by the serial that no drawing has any more.
class DrawingLookups : public ZcDbDatabaseReactor {
public:
    explicit DrawingLookups(ZcDbDatabase* db) : m_db(db), m_serial(db->serial()) { db->addReactor(this); }
    ~DrawingLookups() override {
        if (alive()) m_db->removeReactor(this);
    }
    DrawingLookups(const DrawingLookups&) = delete;
    DrawingLookups& operator=(const DrawingLookups&) = delete;

    bool alive() const { return ZcDbDatabase::fromSerial(m_serial) == m_db; }
    bool of(const ZcDbDatabase* db) const { return db == m_db && db->serial() == m_serial; }

    const host::KeptLookup* find(std::string_view name) const {
        for (const Entry& e : m_entries)
            if (e.name == name) return &e.lookup;
        return nullptr;
    }
    void keep(std::string_view name, host::KeptLookup lookup) {
        forget(name);
        m_entries.push_back({std::string(name), std::move(lookup)});
    }

    void objectOpenedForModify(const ZcDbDatabase*, const ZcDbObject* obj) override { changed(obj, false); }
    void objectModified(const ZcDbDatabase*, const ZcDbObject* obj) override { changed(obj, false); }
    void objectErased(const ZcDbDatabase*, const ZcDbObject* obj, bool) override { changed(obj, true); }

private:
    struct Entry {
        std::string name;
        host::KeptLookup lookup;
    };
    void forget(std::string_view name) {
        std::erase_if(m_entries, [name](const Entry& e) { return e.name == name; });
    }
    // The object found may change as it likes; only its erasing ends it.
    void changed(const ZcDbObject* obj, bool erased) {
        if (m_entries.empty()) return;
        const ZcDbObjectId id = obj->objectId();
        std::erase_if(m_entries, [&](const Entry& e) {
            const auto& from = e.lookup.readFrom;
            return (erased && e.lookup.found == id) || std::find(from.begin(), from.end(), id) != from.end();
        });
    }

    ZcDbDatabase* m_db;
    std::int64_t m_serial;
    std::vector<Entry> m_entries;
};

std::vector<std::unique_ptr<DrawingLookups>>& lookups() {
    static std::vector<std::unique_ptr<DrawingLookups>> all;
    return all;
}

DrawingLookups* lookupsOf(const ZcDbDatabase* db) {
    for (const auto& l : lookups())
        if (l->of(db)) return l.get();
    return nullptr;
}

}  // namespace

namespace host {

const KeptLookup* keptLookup(const ZcDbDatabase* db, std::string_view name) {
    const DrawingLookups* l = db ? lookupsOf(db) : nullptr;
    return l ? l->find(name) : nullptr;
}

void keepLookup(ZcDbDatabase* db, std::string_view name, KeptLookup lookup) {
    if (!db) return;
    auto& all = lookups();
    std::erase_if(all, [](const auto& l) { return !l->alive(); });
    DrawingLookups* l = lookupsOf(db);
    if (!l) l = all.emplace_back(std::make_unique<DrawingLookups>(db)).get();
    l->keep(name, std::move(lookup));
}

}  // namespace host
