// One table per drawing, found by the drawing's serial (a drawing closed
// and another opened at the same address must not inherit it).
#include "walls/graph/outline_cache.h"

#include <cstdint>
#include <iterator>
#include <map>
#include <memory>
#include <unordered_map>

#include "host/db/dbdatabase.h"
#include "walls/graph/outline_record.h"

namespace {

struct OutlineFree {
    void operator()(OutlineNode* o) const { FreeOutlineList(o); }
};
using KeptOutline = std::unique_ptr<OutlineNode, OutlineFree>;

OutlineNode* CopyOutline(const OutlineNode& o) {
    auto* copy = new OutlineNode(o);
    copy->next = nullptr;
    copy->jamb1 = CopyVertexList(o.jamb1);
    copy->jamb2 = CopyVertexList(o.jamb2);
    copy->cut3DExt1 = CopyVertexList(o.cut3DExt1);
    copy->cut3DInt1 = CopyVertexList(o.cut3DInt1);
    copy->cut3DExt2 = CopyVertexList(o.cut3DExt2);
    copy->cut3DInt2 = CopyVertexList(o.cut3DInt2);
    return copy;
}

class DrawingOutlines : public ZcDbDatabaseReactor {
public:
    explicit DrawingOutlines(ZcDbDatabase* db) : m_db(db), m_serial(db->serial()) { db->addReactor(this); }
    ~DrawingOutlines() override {
        if (ZcDbDatabase::fromSerial(m_serial) == m_db) m_db->removeReactor(this);
    }

    void objectAppended(const ZcDbDatabase*, const ZcDbObject* obj) override { drop(obj); }
    void objectModified(const ZcDbDatabase*, const ZcDbObject* obj) override { drop(obj); }
    void objectErased(const ZcDbDatabase*, const ZcDbObject* obj, bool) override { drop(obj); }

    OutlineNode* read(const ads_name entity) {
        const auto handle = static_cast<std::uint64_t>(entity[1]);
        auto it = m_kept.find(handle);
        // An entity without a valid record is kept as none.
        if (it == m_kept.end()) it = m_kept.emplace(handle, KeptOutline(ReadTag3DiStr(entity))).first;
        return it->second ? CopyOutline(*it->second) : nullptr;
    }

private:
    void drop(const ZcDbObject* obj) {
        if (obj) m_kept.erase(obj->objectId().handle().value());
    }

    ZcDbDatabase* m_db;
    std::int64_t m_serial;
    std::unordered_map<std::uint64_t, KeptOutline> m_kept;
};

std::map<std::int64_t, std::unique_ptr<DrawingOutlines>>& Tables() {
    static std::map<std::int64_t, std::unique_ptr<DrawingOutlines>> all;
    return all;
}

}  // namespace

OutlineNode* ReadKeptTag3DiStr(const ads_name entity) {
    ZcDbDatabase* db = ZcDbDatabase::fromSerial(entity[0]);
    if (!db) return ReadTag3DiStr(entity);
    auto& all = Tables();
    for (auto it = all.begin(); it != all.end();)
        it = ZcDbDatabase::fromSerial(it->first) ? std::next(it) : all.erase(it);
    std::unique_ptr<DrawingOutlines>& table = all[db->serial()];
    if (!table) table = std::make_unique<DrawingOutlines>(db);
    return table->read(entity);
}

void DropKeptOutlines() {
    Tables().clear();
}
