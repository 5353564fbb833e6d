// Graphs kept per drawing, found by the drawing's serial (a drawing closed
// and another opened at the same address must not inherit one).
#include "rooms/room_graph.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbents.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/util/nocase.h"
#include "rooms/room_calc.h"
#include "rooms/room_records.h"
#include "store/settings_store.h"
#include "store/velm_layermuri.h"
#include "walls/graph/outline_record.h"

namespace {

bool CarriesGraphRecord(const ZcDbObject* obj) {
    for (const ZcDbXDataApp& app : obj->xDataApps())
        if (zcutEqualsNoCase(app.app, kTag3DiStrApp) || zcutEqualsNoCase(app.app, kPilasterApp)) return true;
    return false;
}

// The settings a graph takes when made; a kept graph serves only a graph
// that would be made the same.
bool SameSettings(const CFACCIATE& a, const CFACCIATE& b) {
    return a.level == b.level && a.floorHeight == b.floorHeight && a.floorInt == b.floorInt &&
           a.unitFactor == b.unitFactor && a.chordLength == b.chordLength &&
           a.maxWallThickness == b.maxWallThickness && a.joinTolerance == b.joinTolerance;
}

// The card rows of one drawing by row number. Read whole at the first
// look-up; after that only the entities the reactor noted are read again.
class CardRowIndex {
public:
    explicit CardRowIndex(std::int64_t serial) : m_serial(serial) {}

    // `inBlock`: held by something other than either space.
    void note(const ZcDbObject* obj, bool inBlock) {
        // What no space holds is no row: reading it again would only find so.
        if (m_built && obj && !inBlock && ZcDbEntity::cast(obj))
            m_suspects.insert(obj->objectId().handle().value());
    }

    std::vector<KeptCardRow> numbered(int row) {
        if (!m_built) build();
        for (std::uint64_t handle : m_suspects) reread(handle);
        m_suspects.clear();
        std::vector<KeptCardRow> out;
        const auto bucket = m_byNumber.find(row);
        if (bucket == m_byNumber.end()) return out;
        for (std::uint64_t handle : bucket->second)
            out.push_back({static_cast<std::int64_t>(handle), m_rows.at(handle).card});
        return out;
    }

private:
    struct Row {
        int number;
        std::string card;
    };

    void build() {
        m_built = true;
        const host::ResbufList filter(zcutBuildList(-3, 1001, kRoomRowApp, 0));
        host::SelectionSet found;
        if (zcedSSGet("X", nullptr, nullptr, filter.get(), found.put()) != RTNORM) return;
        for (std::int32_t i = 0, n = found.size(); i < n; ++i) {
            ads_name entity;
            if (found.name(i, entity)) enter(static_cast<std::uint64_t>(entity[1]));
        }
    }

    // What an "X" selection would find of the entity now: a main entity,
    // not erased, carrying a row record with a card name and a number.
    void reread(std::uint64_t handle) {
        forget(handle);
        const ads_name entity = {m_serial, static_cast<std::int64_t>(handle)};
        ZcDbObjectId id;
        if (zcdbGetObjectId(id, entity) != Zcad::eOk || id.isNull() || id.isErased()) return;
        ZcDbDatabase* db = ZcDbDatabase::fromSerial(m_serial);
        if (!db) return;
        {
            ZcDbObjectPointer<ZcDbEntity> ent(id, ZcDb::kForRead);
            if (ent.openStatus() != Zcad::eOk) return;
            const ZcDbObjectId owner = ent->ownerId();
            if (owner != db->modelSpaceId() && owner != db->paperSpaceId()) return;
        }
        enter(handle);
    }

    void enter(std::uint64_t handle) {
        const ads_name entity = {m_serial, static_cast<std::int64_t>(handle)};
        const host::ResbufList apps(zcutBuildList(RTSTR, kRoomRowApp, 0));
        const host::ResbufList list(zcdbEntGetX(entity, apps.get()));
        const resbuf* app = FindXDataApp(list.get(), kRoomRowApp);
        const resbuf* name = app ? app->rbnext : nullptr;
        const resbuf* number = name ? name->rbnext : nullptr;
        if (!number || number->restype != 1070) return;
        const std::string card = name->restype == 1000 && name->resval.rstring ? name->resval.rstring : "";
        m_rows[handle] = {number->resval.rint, card};
        m_byNumber[number->resval.rint].insert(handle);
    }

    void forget(std::uint64_t handle) {
        const auto it = m_rows.find(handle);
        if (it == m_rows.end()) return;
        const auto bucket = m_byNumber.find(it->second.number);
        bucket->second.erase(handle);
        if (bucket->second.empty()) m_byNumber.erase(bucket);
        m_rows.erase(it);
    }

    std::int64_t m_serial;
    bool m_built = false;
    std::unordered_map<std::uint64_t, Row> m_rows;
    std::unordered_map<int, std::set<std::uint64_t>> m_byNumber;  // drawing (handle) order
    std::unordered_set<std::uint64_t> m_suspects;
};

class KeptGraph : public ZcDbDatabaseReactor {
public:
    explicit KeptGraph(ZcDbDatabase* db) : m_db(db), m_serial(db->serial()), m_rows(db->serial()) {
        db->addReactor(this);
    }
    ~KeptGraph() override {
        if (ZcDbDatabase::fromSerial(m_serial) == m_db) m_db->removeReactor(this);
    }

    void objectAppended(const ZcDbDatabase*, const ZcDbObject* obj) override { note(obj); }
    void objectModified(const ZcDbDatabase*, const ZcDbObject* obj) override { note(obj); }
    void objectErased(const ZcDbDatabase*, const ZcDbObject* obj, bool) override { note(obj); }

    CFACCIATE& graph(double level, double floorHeight) {
        auto probe = std::make_unique<CFACCIATE>();
        probe->level = level;
        probe->floorHeight = floorHeight;
        if (m_graph && stillValid() && SameSettings(*m_graph, *probe)) {
            for (auto& [face, reversed] : m_arcFlags) face->reversed = reversed;
            return *m_graph;
        }
        m_graph.reset();
        m_valid = true;
        probe->Build(false, false, nullptr, false);
        probe->MergePillars();
        probe->SplitAtJunctions();
        probe->MergeFunLines();
        m_graph = std::move(probe);
        m_arcFlags.clear();
        for (WallFace* f = m_graph->faces; f; f = f->next)
            if (f->isArc()) m_arcFlags.emplace_back(f, f->reversed);
        // The graph's own erasing of zero-length wall lines while reading
        // changes nothing it holds.
        m_valid = true;
        m_suspects.clear();
        m_records.clear();
        NoteCarriers(kTag3DiStrApp);
        NoteCarriers(kPilasterApp);
        m_wallLayers = WallLayerNames();
        return *m_graph;
    }

private:
    // The wall-layer list is opened for write by other readers, so it is
    // compared, not watched. Read here without filing it into the command's
    // undo (made with its defaults when missing, as those readers make it).
    static std::vector<std::string> WallLayerNames() {
        ZcDbObjectPointer<VELM_LAYERMURI> opened(ReadLayerMuriObject());
        return opened ? opened->entries : std::vector<std::string>();
    }

    // What the graph reads of an entity carrying an outline or a pilaster:
    // its own data and those two records (openings get other records of
    // their rooms written as rooms are measured; those do not count). As
    // the entity's items: a door changed by every room beside it is read
    // again per room, and a list made of them only to be compared and freed
    // was most of that. Null when the entity cannot be read.
    std::optional<std::vector<ZcDbDxfItem>> RecordsOf(std::uint64_t handle) const {
        const ads_name entity = {m_serial, static_cast<std::int64_t>(handle)};
        ZcDbObjectId id;
        if (zcdbGetObjectId(id, entity) != Zcad::eOk || id.isNull()) return std::nullopt;
        ZcDbObjectPointer<ZcDbEntity> e(id, ZcDb::kForRead);
        if (e.openStatus() != Zcad::eOk) return std::nullopt;
        return host::entityDataItems(e.get(), m_recordApps.get());
    }

    static bool CarriesRecord(const std::vector<ZcDbDxfItem>& items) {
        for (const ZcDbDxfItem& it : items)
            if (it.code == 1001 &&
                (zcutEqualsNoCase(it.text, kTag3DiStrApp) || zcutEqualsNoCase(it.text, kPilasterApp)))
                return true;
        return false;
    }

    void NoteCarriers(const char* app) {
        const host::ResbufList filter(zcutBuildList(-3, 1001, app, 0));
        host::SelectionSet found;
        if (zcedSSGet("X", nullptr, nullptr, filter.get(), found.put()) != RTNORM) return;
        for (std::int32_t i = 0, n = found.size(); i < n; ++i) {
            ads_name entity;
            if (!found.name(i, entity)) continue;
            const auto handle = static_cast<std::uint64_t>(entity[1]);
            if (!m_records.count(handle)) {
                m_records.emplace(handle, RecordsOf(handle));
                m_recordsTop = std::max(m_recordsTop, handle);
            }
        }
    }

    bool stillValid() {
        if (!m_valid) return false;
        for (std::uint64_t handle : m_suspects) {
            const std::optional<std::vector<ZcDbDxfItem>> now = RecordsOf(handle);
            const bool carries = now && CarriesRecord(*now);
            auto it = m_records.find(handle);
            if (it == m_records.end() ? carries : it->second != now) m_valid = false;
        }
        m_suspects.clear();
        if (m_valid && WallLayerNames() != m_wallLayers) m_valid = false;
        return m_valid;
    }

public:
    CardRowIndex& cardRows() { return m_rows; }

    void changeUnread(std::uint64_t handle, const std::function<void()>& change) {
        const bool due = m_suspects.count(handle) > 0;
        change();
        if (!due) m_suspects.erase(handle);
    }

private:
    void note(const ZcDbObject* obj) {
        const bool inBlock = obj && heldByNoSpace(obj);
        m_rows.note(obj, inBlock);
        if (!m_valid || !obj || !ZcDbEntity::cast(obj)) return;
        const std::uint64_t handle = obj->objectId().handle().value();
        if (ZcDbLine::cast(obj) || ZcDbArc::cast(obj)) {
            if (!insideBlock(obj)) m_valid = false;
        } else if ((!inBlock && handle <= m_recordsTop && m_records.count(handle)) ||
                   CarriesGraphRecord(obj)) {
            // (The records kept are of entities a selection of the drawing
            // found: none is held by a block.)
            // Read once the object is closed, at the next use.
            m_suspects.insert(handle);
        }
    }

    // Owned by something other than either space (its owner known).
    bool heldByNoSpace(const ZcDbObject* obj) const {
        const ZcDbObjectId owner = obj->ownerId();
        return !owner.isNull() && owner != m_db->modelSpaceId() && owner != m_db->paperSpaceId();
    }

    // A LINE or ARC of a block definition is no wall.
    bool insideBlock(const ZcDbObject* obj) const {
        const ZcDbObjectId owner = obj->ownerId();
        if (owner == m_db->modelSpaceId() || owner == m_db->paperSpaceId()) return false;
        return owner.stub() && owner.stub()->object && ZcDbBlockTableRecord::cast(owner.stub()->object.get());
    }

    ZcDbDatabase* m_db;
    std::int64_t m_serial;
    std::unique_ptr<CFACCIATE> m_graph;
    bool m_valid = false;
    std::vector<std::pair<WallFace*, std::int32_t>> m_arcFlags;
    std::unordered_map<std::uint64_t, std::optional<std::vector<ZcDbDxfItem>>> m_records;
    // No handle above it is in m_records: handles are handed out rising, so
    // a new entity is known to be none of them without a look.
    std::uint64_t m_recordsTop = 0;
    const host::ResbufList m_recordApps{zcutBuildList(RTSTR, kTag3DiStrApp, RTSTR, kPilasterApp, 0)};
    std::unordered_set<std::uint64_t> m_suspects;
    std::vector<std::string> m_wallLayers;
    CardRowIndex m_rows;
};

std::map<std::int64_t, std::unique_ptr<KeptGraph>>& KeptGraphs() {
    static std::map<std::int64_t, std::unique_ptr<KeptGraph>> all;
    return all;
}

// The kept state of the current drawing.
KeptGraph& KeptOfCurrentDrawing() {
    auto& all = KeptGraphs();
    for (auto it = all.begin(); it != all.end();)
        it = ZcDbDatabase::fromSerial(it->first) ? std::next(it) : all.erase(it);
    ZcDbDatabase* db = zcdbCurDwg();
    std::unique_ptr<KeptGraph>& kept = all[db->serial()];
    if (!kept) kept = std::make_unique<KeptGraph>(db);
    return *kept;
}

}  // namespace

CFACCIATE& KeptRoomGraph(double level, double floorHeight) {
    return KeptOfCurrentDrawing().graph(level, floorHeight);
}

std::vector<KeptCardRow> KeptCardRowsNumbered(int row) {
    return KeptOfCurrentDrawing().cardRows().numbered(row);
}

void ChangeUnreadByRoomGraph(const ads_name entity, const std::function<void()>& change) {
    const auto kept = KeptGraphs().find(entity[0]);
    if (kept == KeptGraphs().end() || !kept->second || ZcDbDatabase::fromSerial(entity[0]) == nullptr)
        return change();
    kept->second->changeUnread(static_cast<std::uint64_t>(entity[1]), change);
}

void DropKeptRoomGraphs() {
    KeptGraphs().clear();
}
