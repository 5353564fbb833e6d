#include "walls/graph/wall_line_table.h"

#include <algorithm>
#include <utility>

#include "core/entity_readers.h"
#include "host/ads/adsent.h"
#include "host/ads/wcmatch.h"
#include "host/db/dbents.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/win/textutil.h"

namespace {

// The layer as a selection filter reads it.
std::string LayerOf(const ZcDbEntity& e) {
    return e.layer().empty() ? std::string("0") : e.layer();
}

bool InSpace(const ZcDbDatabase* db, ZcDbObjectId owner) {
    return owner == db->modelSpaceId() || owner == db->paperSpaceId();
}

}  // namespace

void WallLineTable::build() {
    m_built = true;
    for (ZcDbObjectId id : host::drawingEntities(m_db)) {
        if (id.isErased()) continue;
        const ZcDbObjectPointer<ZcDbObject> obj(id, ZcDb::kForRead);
        if (obj) keep(id.stub(), obj.get());
    }
}

void WallLineTable::forget(ZcDbStub* stub) {
    auto it = m_layerOf.find(stub);
    if (it == m_layerOf.end()) return;
    if (auto layer = m_byLayer.find(it->second); layer != m_byLayer.end()) {
        layer->second.erase(stub);
        if (layer->second.empty()) m_byLayer.erase(layer);
    }
    m_zeroLength.erase(stub);
    m_layerOf.erase(it);
}

void WallLineTable::keep(ZcDbStub* stub, const ZcDbObject* obj) {
    const auto* line = ZcDbLine::cast(obj);
    if (!line || !InSpace(m_db, line->ownerId())) return;
    std::string layer = LayerOf(*line);
    m_byLayer[layer].insert(stub);
    m_layerOf.emplace(stub, std::move(layer));
    m_keptTop = std::max(m_keptTop, stub->handle.value());
    const ZcGePoint3d a = line->startPoint(), b = line->endPoint();
    if (HostDistance({a.x, a.y, a.z}, {b.x, b.y, b.z}) < kZeroLengthWallLine) m_zeroLength.insert(stub);
}

void WallLineTable::note(const ZcDbObject* obj, bool erased) {
    if (!m_built || !obj || !ZcDbLine::cast(obj)) return;
    ZcDbStub* stub = obj->objectId().stub();
    if (!stub) return;
    // A new line's handle is above every one kept: nothing to forget.
    if (stub->handle.value() <= m_keptTop) forget(stub);
    if (!erased) keep(stub, obj);
}

std::map<std::string, int> WallLineTable::ranks(const std::vector<std::string>& layerPatterns) const {
    std::vector<host::WcPattern> patterns;
    patterns.reserve(layerPatterns.size());
    for (const std::string& p : layerPatterns) patterns.emplace_back(host::toUpper(p));
    std::map<std::string, int> out;
    for (const auto& [layer, lines] : m_byLayer) {
        int rank = -1;
        for (std::size_t i = 0; i < patterns.size() && rank < 0; ++i)
            if (patterns[i].matches(layer, true)) rank = static_cast<int>(i);
        out.emplace(layer, rank);
    }
    return out;
}

namespace {

// Stable by rank: within a rank the order given (database order) stays.
std::vector<ZcDbObjectId> ByRank(std::vector<std::pair<int, ZcDbStub*>> ranked) {
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<ZcDbObjectId> ids;
    ids.reserve(ranked.size());
    for (const auto& [rank, stub] : ranked) ids.emplace_back(stub);
    return ids;
}

}  // namespace

std::vector<ZcDbObjectId> WallLineTable::linesOn(const std::vector<std::string>& layerPatterns,
                                                 bool zeroLengthOnly) {
    if (!m_built) build();
    const std::map<std::string, int> rankOf = ranks(layerPatterns);
    std::vector<std::pair<int, ZcDbStub*>> ranked;
    if (zeroLengthOnly) {
        for (ZcDbStub* stub : m_zeroLength)
            if (const int rank = rankOf.at(m_layerOf.at(stub)); rank >= 0) ranked.emplace_back(rank, stub);
    } else {
        // Each layer's lines are in database order; layers of one rank are
        // merged by handle.
        std::vector<std::pair<int, const Lines*>> layers;
        for (const auto& [layer, lines] : m_byLayer)
            if (const int rank = rankOf.at(layer); rank >= 0) layers.emplace_back(rank, &lines);
        for (const auto& [rank, lines] : layers)
            for (ZcDbStub* stub : *lines) ranked.emplace_back(rank, stub);
        std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
            return a.first != b.first ? a.first < b.first : a.second->handle < b.second->handle;
        });
    }
    return ByRank(std::move(ranked));
}

std::vector<ZcDbObjectId> WallLineTable::linesAmong(const std::vector<ZcDbObjectId>& candidates,
                                                    const std::vector<std::string>& layerPatterns) {
    if (!m_built) build();
    const std::map<std::string, int> rankOf = ranks(layerPatterns);
    std::vector<std::pair<int, ZcDbStub*>> ranked;
    for (ZcDbObjectId id : candidates) {
        auto it = m_layerOf.find(id.stub());
        if (it == m_layerOf.end()) continue;
        if (const int rank = rankOf.at(it->second); rank >= 0) ranked.emplace_back(rank, id.stub());
    }
    return ByRank(std::move(ranked));
}

std::vector<ZcDbObjectId> WallLinesOfLevel(double level) {
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db) return {};
    return KeptWallLineTable(db).linesOn(WallLayerNamesAt(level), false);
}

std::vector<ZcDbObjectId> WallLinesOfLevelNear(double level, const host::PlanBox& box) {
    ZcDbDatabase* db = zcdbCurDwg();
    if (!db) return {};
    return KeptWallLineTable(db).linesAmong(host::entitiesIn(db, box), WallLayerNamesAt(level));
}
