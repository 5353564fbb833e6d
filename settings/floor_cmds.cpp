// Engines of the floor commands. See floor_cmds.h.
#include "settings/floor_cmds.h"

#include <cmath>
#include <set>

#include "core/entity_data.h"
#include "core/level_layers.h"
#include "core/levels.h"
#include "host/ads/wcmatch.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"
#include "settings/floors.h"

namespace {

bool HasStairXData(const ZcDbEntity& ent) {
    for (const ZcDbXDataApp& app : ent.xDataApps())
        if (app.app == kStairXDataApp) return true;
    return false;
}

std::vector<ZcDbObjectId> BlockEntityIds(ZcDbObjectId blockId) {
    ZcDbBlockTableRecord* block = nullptr;
    if (zcdbOpenObject(block, blockId, ZcDb::kForRead) != Zcad::eOk || !block) return {};
    std::vector<ZcDbObjectId> ids = block->entityIds(true);
    block->close();
    return ids;
}

std::vector<ZcDbObjectId> LayoutIds(ZcDbDatabase* db) {
    std::vector<ZcDbObjectId> layouts;
    ZcDbBlockTable* table = nullptr;
    if (!db || db->getBlockTable(table, ZcDb::kForRead) != Zcad::eOk || !table) return layouts;
    const std::vector<ZcDbObjectId> ids = table->recordIds(true);
    table->close();
    for (ZcDbObjectId id : ids) {
        ZcDbBlockTableRecord* block = nullptr;
        if (zcdbOpenObject(block, id, ZcDb::kForRead) != Zcad::eOk || !block) continue;
        if (block->isLayout()) layouts.push_back(id);
        block->close();
    }
    return layouts;
}

// Puts an entity on the level layer of its base name at `target`.
bool Relayer(ZcDbDatabase* db, ZcDbEntity& ent, double target, const LayerMaker& makeLayer) {
    const std::optional<std::string> base = LevelLayerBase(ent.layer());
    if (!base) return false;
    const std::optional<std::string> name = makeLayer(db, *base, target);
    return name && ent.setLayer(*name) == Zcad::eOk;
}

// A duplicate of an entity (with its attributes) in the same block.
void Duplicate(ZcDbEntity& ent) {
    auto* copy = ZcDbEntity::cast(ent.clone());
    if (!copy) return;
    ZcDbBlockTableRecord* owner = nullptr;
    if (zcdbOpenObject(owner, ent.blockId(), ZcDb::kForWrite) != Zcad::eOk || !owner) {
        delete copy;
        return;
    }
    if (owner->appendZcDbEntity(copy) != Zcad::eOk) {
        owner->close();
        delete copy;
        return;
    }
    owner->close();
    auto* insert = ZcDbBlockReference::cast(&ent);
    auto* insertCopy = ZcDbBlockReference::cast(copy);
    if (insert && insertCopy) {
        for (ZcDbObjectId attId : insert->attributeIds()) {
            ZcDbAttribute* att = nullptr;
            if (zcdbOpenObject(att, attId, ZcDb::kForRead) != Zcad::eOk || !att) continue;
            if (auto* attCopy = ZcDbAttribute::cast(att->clone())) {
                if (insertCopy->appendAttribute(attCopy) == Zcad::eOk)
                    attCopy->close();
                else
                    delete attCopy;
            }
            att->close();
        }
    }
    copy->close();
}

// A new anonymous block holding copies of every entity of `blockId`.
ZcDbObjectId CopyBlock(ZcDbDatabase* db, ZcDbObjectId blockId) {
    ZcDbBlockTable* table = nullptr;
    if (db->getBlockTable(table, ZcDb::kForWrite) != Zcad::eOk || !table) return {};
    auto* block = new ZcDbBlockTableRecord;
    block->setName("*U");
    ZcDbObjectId newId;
    if (table->add(newId, block) != Zcad::eOk) {
        table->close();
        delete block;
        return {};
    }
    table->close();
    for (ZcDbObjectId id : BlockEntityIds(blockId)) {
        ZcDbEntity* ent = nullptr;
        if (zcdbOpenObject(ent, id, ZcDb::kForRead) != Zcad::eOk || !ent) continue;
        if (auto* copy = ZcDbEntity::cast(ent->clone())) {
            if (block->appendZcDbEntity(copy) == Zcad::eOk)
                copy->close();
            else
                delete copy;
        }
        ent->close();
    }
    block->close();
    return newId;
}

// Leaves a duplicate of a stair insert that refers to its own block.
void DuplicateStair(ZcDbDatabase* db, ZcDbBlockReference& insert) {
    const ZcDbObjectId block = CopyBlock(db, insert.blockTableRecord());
    if (block.isNull()) return;
    auto* copy = ZcDbBlockReference::cast(insert.clone());
    if (!copy) return;
    copy->setBlockTableRecord(block);
    ZcDbBlockTableRecord* owner = nullptr;
    if (zcdbOpenObject(owner, insert.blockId(), ZcDb::kForWrite) != Zcad::eOk || !owner) {
        delete copy;
        return;
    }
    if (owner->appendZcDbEntity(copy) == Zcad::eOk)
        copy->close();
    else
        delete copy;
    owner->close();
}

void RaiseStairHeights(ZcDbEntity& ent, double delta) {
    for (const ZcDbXDataApp& app : ent.xDataApps()) {
        if (app.app != kStairXDataApp) continue;
        // Items 15 and 16 counting the application name as item 1.
        if (app.items.size() < 15) return;
        std::vector<ZcDbDxfItem> items = app.items;
        for (std::size_t i : {13u, 14u})
            if (items[i].kind == ZcDbDxfItem::kReal) items[i].real[0] += delta;
        ent.setXDataApp(app.app, std::move(items));
        return;
    }
}

}  // namespace

std::string LevelText(double level) {
    std::string text = FormatRealTrim(level);
    return text == "-0" ? "0" : text;
}

std::optional<std::string> LevelLayerBase(std::string_view layer) {
    if (layer.size() < 4 || !zcutEqualsNoCase(layer.substr(0, 4), "VELM")) return std::nullopt;
    const std::string_view rest = layer.substr(4);
    return std::string(rest.substr(0, rest.find('$')));
}

std::optional<double> EntityLevel(ZcDbEntity& ent, bool lookInBlock) {
    auto* insert = ZcDbBlockReference::cast(&ent);
    if (lookInBlock && insert && HasStairXData(ent)) {
        for (ZcDbObjectId id : BlockEntityIds(insert->blockTableRecord())) {
            ZcDbEntity* inner = nullptr;
            if (zcdbOpenObject(inner, id, ZcDb::kForRead) != Zcad::eOk || !inner) continue;
            std::optional<double> level = LayerNameLevel(inner->layer());
            inner->close();
            if (level) return level;
        }
        return std::nullopt;
    }
    return LayerNameLevel(ent.layer());
}

FloorSets WholeFloorSets(ZcDbDatabase* db, std::string_view sourceText, double source, double tolerance,
                         const std::vector<std::string>& linkedLayers) {
    FloorSets sets;
    sets.linkedSource = source;
    AA_PIANO linked;
    linked.layers = linkedLayers;
    const std::string pattern = "*$" + std::string(sourceText);
    for (ZcDbObjectId layout : LayoutIds(db)) {
        for (ZcDbObjectId id : BlockEntityIds(layout)) {
            ZcDbEntity* ent = nullptr;
            if (zcdbOpenObject(ent, id, ZcDb::kForRead) != Zcad::eOk || !ent) continue;
            if (HasStairXData(*ent)) {
                std::optional<double> level = EntityLevel(*ent, true);
                if (level && std::abs(*level - source) <= tolerance) sets.tagged.push_back(id);
            } else if (host::wcMatch(host::toUpper(ent->layer()).c_str(), host::toUpper(pattern).c_str())) {
                sets.plain.push_back(id);
            } else if (linked.IsNameInList(ent->layer())) {
                sets.linked.push_back(id);
            }
            ent->close();
        }
    }
    return sets;
}

FloorSets SelectionSets(const std::vector<ZcDbObjectId>& selection) {
    FloorSets sets;
    for (ZcDbObjectId id : selection) {
        ZcDbEntity* ent = nullptr;
        if (zcdbOpenObject(ent, id, ZcDb::kForRead) != Zcad::eOk || !ent) continue;
        if (HasStairXData(*ent))
            sets.tagged.push_back(id);
        else if (EntityLevel(*ent, false))
            sets.plain.push_back(id);
        ent->close();
    }
    return sets;
}

std::optional<std::string> CatalogueLevelLayer(ZcDbDatabase* db, const AAR_LAYERC& catalogue,
                                               const std::string& base, double level) {
    std::string name = base;
    // A base that is itself a catalogue layer name goes back to its row's
    // key, so that the layer gets that row's colour, linetype and weight.
    if (!catalogue.FindKey(name)) {
        for (const AA_LAYERC& row : catalogue) {
            if (!row.groupPath.empty() && !row.layerName.empty() && zcutEqualsNoCase(row.layerName, base)) {
                name = row.key;
                break;
            }
        }
    }
    EnsureLayer(name, catalogue, true, level, false);
    // With levels switched off the service gives a name without a level: no
    // floor can take the entity then.
    const std::optional<double> made = LayerNameLevel(name);
    if (!db || !made || std::abs(*made - level) >= kLevelTolerance ||
        db->recordId(db->layerTableId(), name).isNull())
        return std::nullopt;
    return name;
}

bool MakePlainLayer(ZcDbDatabase* db, const std::string& name) {
    if (!db) return false;
    if (!db->recordId(db->layerTableId(), name).isNull()) return true;
    ZcDbLayerTable* table = nullptr;
    if (db->getLayerTable(table, ZcDb::kForWrite) != Zcad::eOk || !table) return false;
    auto* rec = new ZcDbLayerTableRecord;
    rec->setName(name);
    const bool added = table->add(rec) == Zcad::eOk;
    if (added)
        rec->close();
    else
        delete rec;
    table->close();
    return added;
}

std::optional<double> MoveSetsToFloor(ZcDbDatabase* db, const FloorSets& sets, double target, bool copy,
                                      const LayerMaker& makeLayer) {
    std::optional<double> lastSource;
    for (ZcDbObjectId id : sets.plain) {
        ZcDbEntity* ent = nullptr;
        if (zcdbOpenObject(ent, id, ZcDb::kForWrite) != Zcad::eOk || !ent) continue;
        const std::optional<double> source = EntityLevel(*ent, false);
        if (!source || !LevelLayerBase(ent->layer())) {
            ent->close();
            continue;
        }
        if (copy) Duplicate(*ent);
        if (Relayer(db, *ent, target, makeLayer))
            ent->transformBy(ZcDbXform::translation({0, 0, target - *source}));
        for (ZcDbObjectId attId : ZcDbBlockReference::cast(ent)
                                      ? ZcDbBlockReference::cast(ent)->attributeIds()
                                      : std::vector<ZcDbObjectId>{}) {
            ZcDbAttribute* att = nullptr;
            if (zcdbOpenObject(att, attId, ZcDb::kForWrite) == Zcad::eOk && att) {
                Relayer(db, *att, target, makeLayer);
                att->close();
            }
        }
        lastSource = source;
        ent->close();
    }
    for (ZcDbObjectId id : sets.linked) {
        ZcDbEntity* ent = nullptr;
        if (zcdbOpenObject(ent, id, ZcDb::kForWrite) != Zcad::eOk || !ent) continue;
        if (copy) Duplicate(*ent);
        ent->transformBy(ZcDbXform::translation({0, 0, target - sets.linkedSource}));
        lastSource = sets.linkedSource;
        ent->close();
    }
    for (ZcDbObjectId id : sets.tagged) {
        ZcDbEntity* ent = nullptr;
        if (zcdbOpenObject(ent, id, ZcDb::kForWrite) != Zcad::eOk || !ent) continue;
        auto* insert = ZcDbBlockReference::cast(ent);
        const std::optional<double> source = EntityLevel(*ent, true);
        if (!insert || !source) {
            ent->close();
            continue;
        }
        if (copy) DuplicateStair(db, *insert);
        for (ZcDbObjectId innerId : BlockEntityIds(insert->blockTableRecord())) {
            ZcDbEntity* inner = nullptr;
            if (zcdbOpenObject(inner, innerId, ZcDb::kForWrite) != Zcad::eOk || !inner) continue;
            if (LayerNameLevel(inner->layer())) Relayer(db, *inner, target, makeLayer);
            inner->close();
        }
        const double delta = target - *source;
        insert->transformBy(ZcDbXform::translation({0, 0, delta}));
        RaiseStairHeights(*insert, delta);
        lastSource = source;
        ent->close();
    }
    return lastSource;
}

std::vector<std::string> FloorTextsOfLayers(ZcDbDatabase* db) {
    std::set<std::string> texts;
    ZcDbLayerTable* table = nullptr;
    if (!db || db->getLayerTable(table, ZcDb::kForRead) != Zcad::eOk || !table) return {};
    const std::vector<ZcDbObjectId> ids = table->recordIds(true);
    table->close();
    for (ZcDbObjectId id : ids) {
        ZcDbLayerTableRecord* rec = nullptr;
        if (zcdbOpenObject(rec, id, ZcDb::kForRead) != Zcad::eOk || !rec) continue;
        if (LayerNameLevel(rec->name())) texts.insert(rec->name().substr(rec->name().rfind('$') + 1));
        rec->close();
    }
    return {texts.begin(), texts.end()};
}

bool AssignEntityZ(ZcDbEntity& ent, double z) {
    if (auto* line = ZcDbLine::cast(&ent)) {
        ZcGePoint3d a = line->startPoint(), b = line->endPoint();
        a.z = z;
        b.z = z;
        line->setStartPoint(a);
        line->setEndPoint(b);
        return true;
    }
    if (auto* circle = ZcDbCircle::cast(&ent)) {  // arcs too
        ZcGePoint3d c = circle->center();
        c.z = z;
        circle->setCenter(c);
        return true;
    }
    if (auto* insert = ZcDbBlockReference::cast(&ent)) {
        // A transformation, so that the attributes follow the insert.
        insert->transformBy(ZcDbXform::translation({0, 0, z - insert->position().z}));
        return true;
    }
    return false;
}

double ViewportViewHeight(double paperHeight, double scale, double sftmtcm) {
    return paperHeight * scale * sftmtcm / 10.0;
}
