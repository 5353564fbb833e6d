// Per-viewport floor visibility and floor deletion. See floors_edit.h.
#include "settings/floors_edit.h"

#include <cmath>
#include <unordered_set>

#include "host/db/dbobjptr.h"
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
    if (!db) return rows;
    std::vector<ZcDbObjectId> ids;
    {
        ZcDbObjectPointer<ZcDbLayerTable> table(db->layerTableId(), ZcDb::kForRead);
        if (!table) return rows;
        ids = table->recordIds(true);
    }
    for (ZcDbObjectId id : ids) {
        ZcDbObjectPointer<ZcDbLayerTableRecord> rec(id, ZcDb::kForRead);
        if (rec) rows.push_back({id, rec->name()});
    }
    return rows;
}

// The block records of the drawing: every one, or only the layouts (the
// spaces a whole-drawing selection sees).
std::vector<ZcDbObjectId> BlockRecordIds(ZcDbDatabase* db) {
    if (!db) return {};
    ZcDbObjectPointer<ZcDbBlockTable> table(db->blockTableId(), ZcDb::kForRead);
    if (!table) return {};
    return table->recordIds(true);
}

template <typename Visit>
void ForEachEntity(ZcDbDatabase* db, bool layoutsOnly, ZcDb::OpenMode mode, Visit&& visit) {
    for (ZcDbObjectId blockId : BlockRecordIds(db)) {
        std::vector<ZcDbObjectId> ents;
        {
            ZcDbObjectPointer<ZcDbBlockTableRecord> block(blockId, ZcDb::kForRead);
            if (!block) continue;
            if (!layoutsOnly || block->isLayout()) ents = block->entityIds(true);
        }
        for (ZcDbObjectId id : ents) {
            ZcDbObjectPointer<ZcDbEntity> ent(id, mode);
            if (ent) visit(*ent);
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
        ZcDbObjectPointer<ZcDbEntity> ent(id, ZcDb::kForWrite);
        if (ent) ent->erase();
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
        ZcDbObjectPointer<ZcDbBlockTableRecord> block(id, ZcDb::kForRead);
        if (!block) continue;
        const bool unused = block->isAnonymous() && !block->isLayout() && !refs.blocks.count(id);
        if (unused && block->upgradeOpen() == Zcad::eOk) block->erase();
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
    ZcDbObjectPointer<ZcDbViewport> vp(viewport, ZcDb::kForWrite);
    if (!vp) return;
    if (!ids.empty()) {
        if (floor.visible)
            vp->thawLayersInViewport(ids);
        else
            vp->freezeLayersInViewport(ids);
    }
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
        ZcDbObjectPointer<ZcDbLayerTableRecord> rec(layer.id, ZcDb::kForWrite);
        if (rec) rec->erase();
    }
}

std::string KeptLayerMessage(const std::string& layer) {
    return "Nie można usunąć warstwy " + layer + ", usuń lub zmodyfikuj połączony obiekt";
}
