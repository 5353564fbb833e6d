// One table per drawing, found by the drawing's serial (a drawing closed
// and another opened at the same address must not inherit it). The same
// reactor keeps the drawing's wall LINE table.
#include "walls/graph/outline_cache.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "host/ads/adsowners.h"
#include "host/ads/ssget.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbentity.h"
#include "host/db/dbobjptr.h"
#include "walls/graph/outline_record.h"
#include "walls/graph/wall_line_table.h"

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

// A bit per handle, for handles as compact as a drawing's: whether a table
// may hold it. Handles beyond what a bit array should cover (a file's
// scattered ones) may always be held.
class HandleMarks {
public:
    bool mayHold(std::uint64_t h) const { return h >= kCovered || (h < m_bits.size() && m_bits[h]); }
    void mark(std::uint64_t h) {
        if (h >= kCovered) return;
        if (h >= m_bits.size()) m_bits.resize(std::clamp<std::uint64_t>(2 * m_bits.size(), h + 1, kCovered));
        m_bits[h] = true;
    }
    void unmark(std::uint64_t h) {
        if (h < m_bits.size()) m_bits[h] = false;
    }

private:
    static constexpr std::uint64_t kCovered = std::uint64_t{1} << 26;  // 8 MiB of bits at most
    std::vector<bool> m_bits;
};

class DrawingOutlines : public ZcDbDatabaseReactor {
public:
    explicit DrawingOutlines(ZcDbDatabase* db) : m_db(db), m_serial(db->serial()), m_wallLines(db) {
        db->addReactor(this);
    }
    ~DrawingOutlines() override {
        if (ZcDbDatabase::fromSerial(m_serial) == m_db) m_db->removeReactor(this);
    }

    void objectAppended(const ZcDbDatabase*, const ZcDbObject* obj) override {
        drop(obj);
        if (obj) m_wallLines.note(obj, obj->isErased());
    }
    void objectModified(const ZcDbDatabase*, const ZcDbObject* obj) override {
        drop(obj);
        if (obj) m_wallLines.note(obj, obj->isErased());
    }
    void objectErased(const ZcDbDatabase*, const ZcDbObject* obj, bool erased) override {
        drop(obj);
        m_wallLines.note(obj, erased);
    }

    // What the "X" selection of the entities with an outline record finds,
    // in handle order; with a box, those of them whose record has a gap or
    // corner point in it.
    std::vector<ZcDbObjectId> members(const host::PlanBox* box) {
        refreshMembers();
        std::vector<ZcDbObjectId> ids;
        if (!box) {
            for (ZcDbStub* stub : m_members) ids.emplace_back(stub);
            return ids;
        }
        const double xmin = std::min(box->xmin, box->xmax), xmax = std::max(box->xmin, box->xmax);
        const double ymin = std::min(box->ymin, box->ymax), ymax = std::max(box->ymin, box->ymax);
        const bool alongY = ymax - ymin <= xmax - xmin;
        const auto& byCoord = alongY ? m_byY : m_byX;
        std::vector<ZcDbStub*> found;
        for (auto it = byCoord.lower_bound(alongY ? ymin : xmin),
                  end = byCoord.upper_bound(alongY ? ymax : xmax);
             it != end; ++it) {
            const auto& [x, y] = it->second.second;
            if (x >= xmin && x <= xmax && y >= ymin && y <= ymax) found.push_back(it->second.first);
        }
        std::sort(found.begin(), found.end(), ByHandle());
        found.erase(std::unique(found.begin(), found.end()), found.end());
        for (ZcDbStub* stub : found) ids.emplace_back(stub);
        return ids;
    }

    OutlineNode* read(const ads_name entity, const std::function<bool(const OutlineNode&)>& wanted) {
        // An entity without a valid record is kept as none.
        const OutlineNode* o = kept(entity);
        if (!o || (wanted && !wanted(*o))) return nullptr;
        return CopyOutline(*o);
    }

    WallLineTable& wallLines() { return m_wallLines; }

private:
    struct ByHandle {
        bool operator()(const ZcDbStub* a, const ZcDbStub* b) const { return a->handle < b->handle; }
    };
    using Joint = std::pair<ZcDbStub*, std::pair<double, double>>;

    void drop(const ZcDbObject* obj) {
        if (!obj) return;
        // Most objects changed were never read (a new one, a block's
        // contents, a setting): a mark per handle tells so without a look
        // into the table.
        if (const std::uint64_t handle = obj->objectId().handle().value(); m_keptMarks.mayHold(handle)) {
            m_kept.erase(handle);
            m_keptMarks.unmark(handle);
        }
        // The contents of a block (a label's or a door's, made by the
        // dozen) are never members: the refresh would only pass them over.
        if (m_membersBuilt && obj->objectId().stub() && !inBlock(obj))
            m_changed.insert(obj->objectId().stub());
    }

    // Owned by something other than either space (its owner known).
    bool inBlock(const ZcDbObject* obj) const {
        const ZcDbObjectId owner = obj->ownerId();
        return !owner.isNull() && owner != m_db->modelSpaceId() && owner != m_db->paperSpaceId();
    }

    static host::ResbufList OutlineFilter() {
        return host::ResbufList(zcutBuildList(-3, 1001, kTag3DiStrApp, 0));
    }

    void refreshMembers() {
        if (!m_membersBuilt) {
            m_membersBuilt = true;
            const host::ResbufList filter = OutlineFilter();
            host::SelectionSet found;
            zcedSSGet("X", nullptr, nullptr, filter.get(), found.put());
            for (ZcDbObjectId id : host::selectionMembers(found.get())) add(id.stub());
            return;
        }
        if (m_changed.empty()) return;
        const host::ResbufList list = OutlineFilter();
        const host::SelectionFilter filter(list.get());
        std::unordered_set<ZcDbStub*> changed;
        changed.swap(m_changed);
        for (ZcDbStub* stub : changed) {
            forget(stub);
            const ZcDbObjectId id(stub);
            if (!stub->object || id.isErased()) continue;
            const ZcDbObjectId owner = stub->object->ownerId();
            if (owner != m_db->modelSpaceId() && owner != m_db->paperSpaceId()) continue;
            const ZcDbObjectPointer<ZcDbEntity> e(id, ZcDb::kForRead);
            if (e && filter.matches(e.get())) add(stub);
        }
    }

    // A member, with the gap and corner points of its record.
    void add(ZcDbStub* stub) {
        m_members.insert(stub);
        ads_name entity;
        if (zcdbGetAdsName(entity, ZcDbObjectId(stub)) != Zcad::eOk) return;
        const OutlineNode* o = kept(entity);
        if (!o) return;
        std::vector<std::multimap<double, Joint>::iterator>& placed = m_joints[stub];
        for (const Point3* p :
             {&o->gapA[0], &o->gapA[1], &o->gapB[0], &o->gapB[1], &o->corner[0], &o->corner[1]}) {
            const Joint joint{stub, {p->x, p->y}};
            placed.push_back(m_byX.emplace(p->x, joint));
            placed.push_back(m_byY.emplace(p->y, joint));
        }
    }
    void forget(ZcDbStub* stub) {
        m_members.erase(stub);
        auto it = m_joints.find(stub);
        if (it == m_joints.end()) return;
        for (std::size_t i = 0; i < it->second.size(); ++i) (i % 2 ? m_byY : m_byX).erase(it->second[i]);
        m_joints.erase(it);
    }

    const OutlineNode* kept(const ads_name entity) {
        const auto handle = static_cast<std::uint64_t>(entity[1]);
        auto it = m_kept.find(handle);
        if (it == m_kept.end()) {
            it = m_kept.emplace(handle, KeptOutline(ReadTag3DiStr(entity))).first;
            m_keptMarks.mark(handle);
        }
        return it->second.get();
    }

    ZcDbDatabase* m_db;
    std::int64_t m_serial;
    std::unordered_map<std::uint64_t, KeptOutline> m_kept;
    HandleMarks m_keptMarks;  // of the handles in m_kept
    // The entities with an outline record, found once and then judged
    // again as they change; their gap and corner points by x and by y.
    bool m_membersBuilt = false;
    std::set<ZcDbStub*, ByHandle> m_members;
    std::unordered_set<ZcDbStub*> m_changed;
    std::multimap<double, Joint> m_byX, m_byY;
    std::unordered_map<ZcDbStub*, std::vector<std::multimap<double, Joint>::iterator>> m_joints;
    WallLineTable m_wallLines;
};

std::map<std::int64_t, std::unique_ptr<DrawingOutlines>>& Tables() {
    static std::map<std::int64_t, std::unique_ptr<DrawingOutlines>> all;
    return all;
}

DrawingOutlines& TableFor(ZcDbDatabase* db) {
    auto& all = Tables();
    for (auto it = all.begin(); it != all.end();)
        it = ZcDbDatabase::fromSerial(it->first) ? std::next(it) : all.erase(it);
    std::unique_ptr<DrawingOutlines>& table = all[db->serial()];
    if (!table) table = std::make_unique<DrawingOutlines>(db);
    return *table;
}

}  // namespace

OutlineNode* ReadKeptTag3DiStr(const ads_name entity, const std::function<bool(const OutlineNode&)>& wanted) {
    ZcDbDatabase* db = ZcDbDatabase::fromSerial(entity[0]);
    if (!db) {
        OutlineNode* o = ReadTag3DiStr(entity);
        if (o && wanted && !wanted(*o)) o = FreeOutlineList(o);
        return o;
    }
    return TableFor(db).read(entity, wanted);
}

std::vector<ZcDbObjectId> KeptOutlineEntities(ZcDbDatabase* db, const host::PlanBox* near) {
    return TableFor(db).members(near);
}

WallLineTable& KeptWallLineTable(ZcDbDatabase* db) {
    return TableFor(db).wallLines();
}

void DropKeptOutlines() {
    Tables().clear();
}
