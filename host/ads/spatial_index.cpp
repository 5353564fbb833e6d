// One index per drawing, found by the drawing's serial (a drawing closed
// and another opened at the same address must not inherit it). The R-tree
// is Boost.Geometry's; what it holds is rebuilt lazily: notifications only
// mark entities, and the next query boxes the marked ones again.
#include "host/ads/spatial_index.h"

// Boost 1.74's geometry headers include one of its own deprecated headers
// and say so at every build; the message is theirs, not ours.
#define BOOST_ALLOW_DEPRECATED_HEADERS
#include <algorithm>
#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <cmath>
#include <map>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "host/ads/adsent.h"
#include "host/ads/ssget.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbdim.h"
#include "host/db/dbentity.h"
#include "host/db/dbgeom.h"
#include "host/db/dbinsert.h"
#include "host/db/dbsymtb.h"

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;

namespace {

using BoxPoint = bg::model::point<double, 2, bg::cs::cartesian>;
using Box = bg::model::box<BoxPoint>;
using Entry = std::pair<Box, ZcDbStub*>;

// The geometry's plan extents, grown so that rounding in the exact tests
// cannot turn a hit into a miss; none for an entity without geometry.
std::optional<Box> boxOf(const ZcDbEntity* e) {
    ZcDbGeometry g;
    zcdbEntityGeometry(e, g);
    if (g.empty()) return std::nullopt;
    const ZcDbExtents3d x = zcdbGeomExtents(g);
    if (!x.isValid()) return std::nullopt;
    const double size = std::max({std::fabs(x.min.x), std::fabs(x.min.y), std::fabs(x.max.x),
                                  std::fabs(x.max.y), x.max.x - x.min.x, x.max.y - x.min.y});
    const double grow = 1e-6 + size * 1e-9;
    return Box(BoxPoint(x.min.x - grow, x.min.y - grow), BoxPoint(x.max.x + grow, x.max.y + grow));
}

// Stubs noted between two queries: a list, not a set, for most notes name
// the stub noted just before (a reference for each of its attributes as
// they are made, a block for each of its entities). Repeats are dropped as
// the list grows, so that it stays within twice the stubs it names.
class NotedStubs {
public:
    void note(ZcDbStub* stub) {
        if (!m_stubs.empty() && m_stubs.back() == stub) return;
        m_stubs.push_back(stub);
        if (m_stubs.size() >= 2 * m_unique + 4096) m_unique = dropRepeats(m_stubs);
    }
    bool empty() const { return m_stubs.empty(); }
    // What was noted, each once (in no particular order), the list emptied.
    std::vector<ZcDbStub*> take() {
        std::vector<ZcDbStub*> out;
        out.swap(m_stubs);
        m_unique = 0;
        dropRepeats(out);
        return out;
    }

private:
    static std::size_t dropRepeats(std::vector<ZcDbStub*>& v) {
        std::sort(v.begin(), v.end());
        v.erase(std::unique(v.begin(), v.end()), v.end());
        return v.size();
    }
    std::vector<ZcDbStub*> m_stubs;
    std::size_t m_unique = 0;  // the length when last without repeats
};

class DrawingIndex : public ZcDbDatabaseReactor {
public:
    explicit DrawingIndex(ZcDbDatabase* db) : m_db(db), m_serial(db->serial()) {
        build();
        db->addReactor(this);
    }
    ~DrawingIndex() override {
        if (ZcDbDatabase::fromSerial(m_serial) == m_db) m_db->removeReactor(this);
    }

    void objectAppended(const ZcDbDatabase*, const ZcDbObject* obj) override { note(obj); }
    void objectModified(const ZcDbDatabase*, const ZcDbObject* obj) override { note(obj); }
    void objectErased(const ZcDbDatabase*, const ZcDbObject* obj, bool) override { note(obj); }

    // The stubs whose boxes meet the box, in handle (database) order.
    std::vector<ZcDbStub*> query(const Box& box) {
        refresh();
        std::vector<Entry> hits;
        m_tree.query(bgi::intersects(box), std::back_inserter(hits));
        std::vector<ZcDbStub*> stubs;
        stubs.reserve(hits.size());
        for (const Entry& e : hits) stubs.push_back(e.second);
        std::sort(stubs.begin(), stubs.end(),
                  [](const ZcDbStub* a, const ZcDbStub* b) { return a->handle < b->handle; });
        return stubs;
    }

private:
    bool isSpace(ZcDbObjectId id) const { return id == m_db->modelSpaceId() || id == m_db->paperSpaceId(); }

    void build() {
        std::vector<Entry> entries;
        for (ZcDbObjectId id : host::drawingEntities(m_db)) {
            ZcDbEntity* e = nullptr;
            if (zcdbOpenObject(e, id, ZcDb::kForRead, true) != Zcad::eOk) {
                // One being edited now is boxed once it is closed.
                m_dirty.note(id.stub());
                continue;
            }
            if (auto b = boxOf(e)) {
                entries.emplace_back(*b, id.stub());
                m_boxes.emplace(id.stub(), *b);
            }
            noteDependence(id.stub(), e);
            e->close();
        }
        m_tree = Tree(entries.begin(), entries.end());
        learnNesting();
    }

    // The block whose contents an entity's look is made of: a reference's
    // block, a dimension's own block.
    static ZcDbStub* blockShown(const ZcDbEntity* e) {
        if (auto* ref = ZcDbBlockReference::cast(e)) return ref->blockTableRecord().stub();
        if (auto* dim = ZcDbDimension::cast(e)) return dim->dimBlockId().stub();
        return nullptr;
    }

    // A reference of the drawing's spaces is boxed again when the block it
    // shows changes.
    void noteDependence(ZcDbStub* stub, const ZcDbEntity* e) {
        forgetDependence(stub);
        if (!ZcDbBlockReference::cast(e) && !ZcDbDimension::cast(e)) return;
        ZcDbStub* block = blockShown(e);
        m_onBlocks.emplace(stub, block);
        m_shownBy[block].insert(stub);
    }
    void forgetDependence(ZcDbStub* stub) {
        auto it = m_onBlocks.find(stub);
        if (it == m_onBlocks.end()) return;
        if (auto shown = m_shownBy.find(it->second); shown != m_shownBy.end()) {
            shown->second.erase(stub);
            if (shown->second.empty()) m_shownBy.erase(shown);
        }
        m_onBlocks.erase(it);
    }

    // A block drawn inside another changes that one's look too: which
    // blocks hold references to which is learnt from every block once and
    // then from each entity added to or changed in a block (a link once
    // made is never forgotten; at worst a reference is boxed for nothing).
    void learnNesting() {
        ZcDbBlockTable* table = nullptr;
        if (zcdbOpenObject(table, m_db->blockTableId(), ZcDb::kForRead) != Zcad::eOk) return;
        const std::vector<ZcDbObjectId> blocks = table->recordIds(false);
        table->close();
        for (ZcDbObjectId blockId : blocks) {
            if (isSpace(blockId)) continue;
            ZcDbBlockTableRecord* block = nullptr;
            if (zcdbOpenObject(block, blockId, ZcDb::kForRead) != Zcad::eOk) continue;
            const std::vector<ZcDbObjectId> ids = block->entityIds();
            block->close();
            for (ZcDbObjectId id : ids) {
                ZcDbEntity* e = nullptr;
                if (zcdbOpenObject(e, id, ZcDb::kForRead, true) != Zcad::eOk) continue;
                if (ZcDbStub* shown = blockShown(e)) m_holders[shown].insert(blockId.stub());
                e->close();
            }
        }
    }

    void blockChanged(ZcDbStub* block) {
        if (!block) {
            m_allBlocksChanged = true;
            return;
        }
        m_changedBlocks.note(block);
    }

    void note(const ZcDbObject* obj) {
        if (!obj) return;
        ZcDbStub* stub = obj->objectId().stub();
        if (!stub) return;
        if (const ZcDbEntity* entity = ZcDbEntity::cast(obj)) {
            const ZcDbObjectId owner = obj->ownerId();
            if (isSpace(owner)) {
                m_dirty.note(stub);
            } else if (owner.stub() && owner.stub()->object && ZcDbEntity::cast(owner.stub()->object.get())) {
                // An attribute or a vertex: its owner's look changes, and
                // with an owner inside a block, that block's.
                m_dirty.note(owner.stub());
                const ZcDbObjectId outer = owner.stub()->object->ownerId();
                if (!isSpace(outer)) blockChanged(outer.stub());
            } else {
                if (ZcDbStub* shown = blockShown(entity)) m_holders[shown].insert(owner.stub());
                blockChanged(owner.stub());
            }
        } else if (ZcDbBlockTableRecord::cast(obj) && !isSpace(obj->objectId())) {
            blockChanged(stub);
        }
    }

    // The references of the changed blocks and of the blocks holding them,
    // however deep.
    void markReferencesOfChangedBlocks() {
        if (m_allBlocksChanged) {
            m_allBlocksChanged = false;
            m_changedBlocks.take();
            for (const auto& [ref, block] : m_onBlocks) m_dirty.note(ref);
            return;
        }
        std::vector<ZcDbStub*> todo = m_changedBlocks.take();
        std::unordered_set<ZcDbStub*> seen(todo.begin(), todo.end());
        while (!todo.empty()) {
            ZcDbStub* block = todo.back();
            todo.pop_back();
            if (auto shown = m_shownBy.find(block); shown != m_shownBy.end())
                for (ZcDbStub* ref : shown->second) m_dirty.note(ref);
            if (auto holders = m_holders.find(block); holders != m_holders.end())
                for (ZcDbStub* holder : holders->second)
                    if (seen.insert(holder).second) todo.push_back(holder);
        }
    }

    void refresh() {
        markReferencesOfChangedBlocks();
        if (m_dirty.empty()) return;
        // Those that cannot be opened now wait for the next time.
        for (ZcDbStub* stub : m_dirty.take()) {
            if (auto it = m_boxes.find(stub); it != m_boxes.end()) {
                m_tree.remove(Entry(it->second, stub));
                m_boxes.erase(it);
            }
            forgetDependence(stub);
            if (!stub->object) continue;
            const ZcDbObjectId id(stub);
            ZcDbEntity* e = nullptr;
            if (zcdbOpenObject(e, id, ZcDb::kForRead, true) != Zcad::eOk) {
                m_dirty.note(stub);
                continue;
            }
            if (isSpace(e->ownerId())) {
                if (auto b = boxOf(e)) {
                    m_tree.insert(Entry(*b, stub));
                    m_boxes.emplace(stub, *b);
                }
                noteDependence(stub, e);
            }
            e->close();
        }
    }

    using Tree = bgi::rtree<Entry, bgi::rstar<16>>;
    ZcDbDatabase* m_db;
    std::int64_t m_serial;
    Tree m_tree;
    std::unordered_map<ZcDbStub*, Box> m_boxes;
    NotedStubs m_dirty;  // to box again
    // Reference -> the block it shows, and back.
    std::unordered_map<ZcDbStub*, ZcDbStub*> m_onBlocks;
    std::unordered_map<ZcDbStub*, std::unordered_set<ZcDbStub*>> m_shownBy;
    // Block -> the blocks holding a reference to it.
    std::unordered_map<ZcDbStub*, std::unordered_set<ZcDbStub*>> m_holders;
    NotedStubs m_changedBlocks;
    bool m_allBlocksChanged = false;
};

std::map<std::int64_t, std::unique_ptr<DrawingIndex>>& indexes() {
    static std::map<std::int64_t, std::unique_ptr<DrawingIndex>> all;
    return all;
}

DrawingIndex& indexFor(ZcDbDatabase* db) {
    auto& all = indexes();
    // Drawings closed since: their indexes go.
    for (auto it = all.begin(); it != all.end();)
        it = ZcDbDatabase::fromSerial(it->first) ? std::next(it) : all.erase(it);
    std::unique_ptr<DrawingIndex>& index = all[db->serial()];
    if (!index) index = std::make_unique<DrawingIndex>(db);
    return *index;
}

}  // namespace

namespace host {

PlanBox boxOfPoints(const std::vector<ZcGePoint3d>& points) {
    PlanBox box{1e300, 1e300, -1e300, -1e300};
    for (const ZcGePoint3d& p : points) {
        box.xmin = std::min(box.xmin, p.x);
        box.ymin = std::min(box.ymin, p.y);
        box.xmax = std::max(box.xmax, p.x);
        box.ymax = std::max(box.ymax, p.y);
    }
    return box;
}

void forEachSelectableIn(ZcDbDatabase* db, const PlanBox& box,
                         const std::function<void(ZcDbObjectId, const ZcDbEntity*)>& f) {
    const Box query(BoxPoint(std::min(box.xmin, box.xmax), std::min(box.ymin, box.ymax)),
                    BoxPoint(std::max(box.xmin, box.xmax), std::max(box.ymin, box.ymax)));
    const std::vector<ZcDbStub*> stubs = indexFor(db).query(query);
    const ZcDbObjectId space = currentSpaceForNewEntities(db);
    std::unordered_map<std::string, bool> layerVisible;
    for (ZcDbStub* stub : stubs) {
        const ZcDbObjectId id(stub);
        if (id.isErased()) continue;
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) continue;
        if (e->ownerId() == space && e->visibility() == ZcDb::kVisible) {
            auto [known, fresh] = layerVisible.try_emplace(e->layer(), true);
            if (fresh) known->second = entityIsVisible(e);
            if (known->second) f(id, e);
        }
        e->close();
    }
}

std::vector<ZcDbObjectId> entitiesIn(ZcDbDatabase* db, const PlanBox& box) {
    const Box query(BoxPoint(std::min(box.xmin, box.xmax), std::min(box.ymin, box.ymax)),
                    BoxPoint(std::max(box.xmax, box.xmin), std::max(box.ymax, box.ymin)));
    std::vector<ZcDbObjectId> ids;
    for (ZcDbStub* stub : indexFor(db).query(query)) {
        const ZcDbObjectId id(stub);
        if (!id.isErased()) ids.push_back(id);
    }
    return ids;
}

void resetSpatialIndexes() {
    indexes().clear();
}

}  // namespace host
