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
                m_dirty.insert(id.stub());
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
    }

    void noteDependence(ZcDbStub* stub, const ZcDbEntity* e) {
        if (ZcDbBlockReference::cast(e) || ZcDbDimension::cast(e))
            m_onBlocks.insert(stub);
        else
            m_onBlocks.erase(stub);
    }

    void note(const ZcDbObject* obj) {
        if (!obj) return;
        ZcDbStub* stub = obj->objectId().stub();
        if (!stub) return;
        if (ZcDbEntity::cast(obj)) {
            const ZcDbObjectId owner = obj->ownerId();
            if (isSpace(owner)) {
                m_dirty.insert(stub);
            } else if (owner.stub() && owner.stub()->object && ZcDbEntity::cast(owner.stub()->object.get())) {
                // An attribute or a vertex: its owner's look changes.
                m_dirty.insert(owner.stub());
            } else {
                m_blocksChanged = true;
            }
        } else if (ZcDbBlockTableRecord::cast(obj) && !isSpace(obj->objectId())) {
            m_blocksChanged = true;
        }
    }

    void refresh() {
        if (m_blocksChanged) {
            m_blocksChanged = false;
            m_dirty.insert(m_onBlocks.begin(), m_onBlocks.end());
        }
        if (m_dirty.empty()) return;
        std::unordered_set<ZcDbStub*> dirty;
        dirty.swap(m_dirty);
        for (ZcDbStub* stub : dirty) {
            if (auto it = m_boxes.find(stub); it != m_boxes.end()) {
                m_tree.remove(Entry(it->second, stub));
                m_boxes.erase(it);
            }
            m_onBlocks.erase(stub);
            if (!stub->object) continue;
            const ZcDbObjectId id(stub);
            ZcDbEntity* e = nullptr;
            if (zcdbOpenObject(e, id, ZcDb::kForRead, true) != Zcad::eOk) {
                m_dirty.insert(stub);
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
    std::unordered_set<ZcDbStub*> m_dirty;
    std::unordered_set<ZcDbStub*> m_onBlocks;
    bool m_blocksChanged = false;
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

void resetSpatialIndexes() {
    indexes().clear();
}

}  // namespace host
