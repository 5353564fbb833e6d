// Per-viewport floor visibility and floor deletion. See floors_edit.h.
#include "settings/floors_edit.h"

#include <cmath>
#include <unordered_set>

#include "host/util/nocase.h"
#include "host/win/textutil.h"

namespace {

using NameSet = std::unordered_set<std::string>;

struct LayerRow {
    ZcDbObjectId id;
    std::string name;
};

std::vector<LayerRow> LayerRows(ZcDbDatabase* db) {
    std::vector<LayerRow> rows;
    ZcDbLayerTable* table = nullptr;
    if (!db || db->getLayerTable(table, ZcDb::kForRead) != Zcad::eOk || !table) return rows;
    const std::vector<ZcDbObjectId> ids = table->recordIds(true);
    table->close();
    for (ZcDbObjectId id : ids) {
        ZcDbLayerTableRecord* rec = nullptr;
        if (zcdbOpenObject(rec, id, ZcDb::kForRead) != Zcad::eOk || !rec) continue;
        rows.push_back({id, rec->name()});
        rec->close();
    }
    return rows;
}

// The block records of the drawing: every one, or only the layouts (the
// spaces a whole-drawing selection sees).
std::vector<ZcDbObjectId> BlockRecordIds(ZcDbDatabase* db) {
    ZcDbBlockTable* table = nullptr;
    if (!db || db->getBlockTable(table, ZcDb::kForRead) != Zcad::eOk || !table) return {};
    std::vector<ZcDbObjectId> ids = table->recordIds(true);
    table->close();
    return ids;
}

template <typename Visit>
void ForEachEntity(ZcDbDatabase* db, bool layoutsOnly, ZcDb::OpenMode mode, Visit&& visit) {
    for (ZcDbObjectId blockId : BlockRecordIds(db)) {
        ZcDbBlockTableRecord* block = nullptr;
        if (zcdbOpenObject(block, blockId, ZcDb::kForRead) != Zcad::eOk || !block) continue;
        const bool take = !layoutsOnly || block->isLayout();
        const std::vector<ZcDbObjectId> ents = take ? block->entityIds(true) : std::vector<ZcDbObjectId>{};
        block->close();
        for (ZcDbObjectId id : ents) {
            ZcDbEntity* ent = nullptr;
            if (zcdbOpenObject(ent, id, mode) != Zcad::eOk || !ent) continue;
            visit(*ent);
            ent->close();
        }
    }
}

void EraseEntitiesOnLayers(ZcDbDatabase* db, const NameSet& layers) {
    if (layers.empty()) return;
    std::vector<ZcDbObjectId> doomed;
    ForEachEntity(db, true, ZcDb::kForRead, [&](ZcDbEntity& ent) {
        if (layers.count(host::toUpper(ent.layer()))) doomed.push_back(ent.objectId());
    });
    for (ZcDbObjectId id : doomed) {
        ZcDbEntity* ent = nullptr;
        if (zcdbOpenObject(ent, id, ZcDb::kForWrite) != Zcad::eOk || !ent) continue;
        ent->erase();
        ent->close();
    }
}

struct References {
    NameSet layers;                           // in capitals
    std::unordered_set<ZcDbObjectId> blocks;  // referenced block records
};

References CollectReferences(ZcDbDatabase* db) {
    References refs;
    ForEachEntity(db, false, ZcDb::kForRead, [&](ZcDbEntity& ent) {
        refs.layers.insert(host::toUpper(ent.layer()));
        if (auto* insert = ZcDbBlockReference::cast(&ent))
            refs.blocks.insert(insert->blockTableRecord());
        else if (auto* dim = ZcDbDimension::cast(&ent))
            refs.blocks.insert(dim->dimBlockId());
    });
    return refs;
}

void EraseUnusedAnonymousBlocks(ZcDbDatabase* db) {
    const References refs = CollectReferences(db);
    for (ZcDbObjectId id : BlockRecordIds(db)) {
        ZcDbBlockTableRecord* block = nullptr;
        if (zcdbOpenObject(block, id, ZcDb::kForRead) != Zcad::eOk || !block) continue;
        const bool unused = block->isAnonymous() && !block->isLayout() && !refs.blocks.count(id);
        if (unused && block->upgradeOpen() == Zcad::eOk) block->erase();
        block->close();
    }
}

}  // namespace

void ApplyViewportVisibility(const AA_PIANO& floor, const VELM_PIANI& floors, ZcDbDatabase* db,
                             ZcDbObjectId viewport, int cvport, const VxdLists& lists) {
    if (cvport == 1 || viewport.isNull()) return;
    const VxdViewportState state = GetViewportVxdState(db, lists, viewport);
    std::vector<ZcDbObjectId> ids;
    for (const LayerRow& layer : LayerRows(db)) {
        double elevation = 0.0;
        int count = 0;
        if (floors.FindFloorOfLayer(layer.name, elevation, count) && !floor.visible && count > 1) continue;
        if (!floor.IsNameInList(layer.name)) {
            const std::optional<double> level = LayerNameLevel(layer.name);
            if (!level || std::abs(*level - floor.elevation) > kLevelEpsilon) continue;
        }
        if (floor.visible &&
            FindLayerInVxdList(lists, layer.name, state.shows2d ? 1 : 0, state.shows3d ? 1 : 0) == 0)
            continue;
        ids.push_back(layer.id);
    }
    ZcDbViewport* vp = nullptr;
    if (zcdbOpenObject(vp, viewport, ZcDb::kForWrite) != Zcad::eOk || !vp) return;
    if (!ids.empty()) {
        if (floor.visible)
            vp->thawLayersInViewport(ids);
        else
            vp->freezeLayersInViewport(ids);
    }
    vp->close();
}

void DeleteFloor(VELM_PIANI& floors, double z, ZcDbDatabase* db, const KeptLayerReport& report,
                 bool eraseEntities) {
    AA_PIANO* floor = floors.FindFloorByElevation(z);
    if (!floor) return;
    const std::vector<LayerRow> layers = LayerRows(db);

    NameSet emptied;
    for (const LayerRow& layer : layers) {
        bool erase = false;
        if (floor->IsNameInList(layer.name)) {
            double elevation = 0.0;
            int count = 0;
            floors.FindFloorOfLayer(layer.name, elevation, count);
            // A layer another floor also lists keeps its entities.
            erase = std::abs(count) <= 1;
        }
        if (!erase && layer.name.size() >= 4 &&
            zcutEqualsNoCase(std::string_view(layer.name).substr(0, 4), "VELM")) {
            const std::optional<double> level = LayerNameLevel(layer.name);
            erase = level && std::abs(*level - z) < kLevelEpsilon;
        }
        if (erase) emptied.insert(host::toUpper(layer.name));
    }
    if (eraseEntities) EraseEntitiesOnLayers(db, emptied);

    floor->layers.clear();
    for (auto it = floors.piani.floors.begin(); it != floors.piani.floors.end(); ++it) {
        if (it->elevation == z) {
            floors.piani.floors.erase(it);
            break;
        }
    }

    EraseUnusedAnonymousBlocks(db);

    const References refs = CollectReferences(db);
    const ZcDbObjectId current = db ? db->clayer() : ZcDbObjectId();
    for (const LayerRow& layer : layers) {
        const std::optional<double> level = LayerNameLevel(layer.name);
        if (!level || std::abs(*level - z) > kLevelEpsilon) continue;
        const bool kept = refs.layers.count(host::toUpper(layer.name)) || layer.id == current ||
                          zcutEqualsNoCase(layer.name, "0");
        if (kept) {
            if (report) report(layer.name);
            continue;
        }
        ZcDbLayerTableRecord* rec = nullptr;
        if (zcdbOpenObject(rec, layer.id, ZcDb::kForWrite) != Zcad::eOk || !rec) continue;
        rec->erase();
        rec->close();
    }
}

std::string KeptLayerMessage(const std::string& layer) {
    return "Nie można usunąć warstwy " + layer + ", usuń lub zmodyfikuj połączony obiekt";
}
