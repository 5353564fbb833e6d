// Engines of the floor commands. See floor_cmds.h.
#include "settings/floor_cmds.h"

#include <cmath>
#include <set>

#include "core/entity_data.h"
#include "core/level_layers.h"
#include "core/levels.h"
#include "host/ads/wcmatch.h"
#include "host/db/dbobjptr.h"
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
    ZcDbObjectPointer<ZcDbBlockTableRecord> block(blockId, ZcDb::kForRead);
    if (!block) return {};
    return block->entityIds(true);
}

std::vector<ZcDbObjectId> LayoutIds(ZcDbDatabase* db) {
    std::vector<ZcDbObjectId> layouts;
    if (!db) return layouts;
    std::vector<ZcDbObjectId> ids;
    {
        ZcDbObjectPointer<ZcDbBlockTable> table(db->blockTableId(), ZcDb::kForRead);
        if (!table) return layouts;
        ids = table->recordIds(true);
    }
    for (ZcDbObjectId id : ids) {
        ZcDbObjectPointer<ZcDbBlockTableRecord> block(id, ZcDb::kForRead);
        if (block && block->isLayout()) layouts.push_back(id);
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
    ZcDbObjectPointer<ZcDbEntity> copy(ZcDbEntity::cast(ent.clone()));
    if (!copy) return;
    {
        ZcDbObjectPointer<ZcDbBlockTableRecord> owner(ent.blockId(), ZcDb::kForWrite);
        if (!owner || owner->appendZcDbEntity(copy.get()) != Zcad::eOk) return;
    }
    auto* insert = ZcDbBlockReference::cast(&ent);
    auto* insertCopy = ZcDbBlockReference::cast(copy.get());
    if (insert && insertCopy) {
        for (ZcDbObjectId attId : insert->attributeIds()) {
            ZcDbObjectPointer<ZcDbAttribute> att(attId, ZcDb::kForRead);
            if (!att) continue;
            // The copy is in the drawing: each attribute appended to it is too.
            ZcDbObjectPointer<ZcDbAttribute> attCopy(ZcDbAttribute::cast(att->clone()));
            if (attCopy) insertCopy->appendAttribute(attCopy.get());
        }
    }
}

// A new anonymous block holding copies of every entity of `blockId`.
ZcDbObjectId CopyBlock(ZcDbDatabase* db, ZcDbObjectId blockId) {
    ZcDbObjectPointer<ZcDbBlockTableRecord> block;
    ZcDbObjectId newId;
    {
        ZcDbObjectPointer<ZcDbBlockTable> table(db->blockTableId(), ZcDb::kForWrite);
        if (!table) return {};
        block.create();
        block->setName("*U");
        if (table->add(newId, block.get()) != Zcad::eOk) return {};
    }
    for (ZcDbObjectId id : BlockEntityIds(blockId)) {
        ZcDbObjectPointer<ZcDbEntity> ent(id, ZcDb::kForRead);
        if (!ent) continue;
        ZcDbObjectPointer<ZcDbEntity> copy(ZcDbEntity::cast(ent->clone()));
        if (copy) block->appendZcDbEntity(copy.get());
    }
    return newId;
}

// Leaves a duplicate of a stair insert that refers to its own block.
void DuplicateStair(ZcDbDatabase* db, ZcDbBlockReference& insert) {
    const ZcDbObjectId block = CopyBlock(db, insert.blockTableRecord());
    if (block.isNull()) return;
    // The copy closes (or, never appended, is deleted) before its owner.
    ZcDbObjectPointer<ZcDbBlockTableRecord> owner;
    ZcDbObjectPointer<ZcDbBlockReference> copy(ZcDbBlockReference::cast(insert.clone()));
    if (!copy) return;
    copy->setBlockTableRecord(block);
    if (owner.open(insert.blockId(), ZcDb::kForWrite) == Zcad::eOk) owner->appendZcDbEntity(copy.get());
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
            ZcDbObjectPointer<ZcDbEntity> inner(id, ZcDb::kForRead);
            if (!inner) continue;
            if (std::optional<double> level = LayerNameLevel(inner->layer())) return level;
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
            ZcDbObjectPointer<ZcDbEntity> ent(id, ZcDb::kForRead);
            if (!ent) continue;
            if (HasStairXData(*ent)) {
                std::optional<double> level = EntityLevel(*ent, true);
                if (level && std::abs(*level - source) <= tolerance) sets.tagged.push_back(id);
            } else if (host::wcMatch(host::toUpper(ent->layer()).c_str(), host::toUpper(pattern).c_str())) {
                sets.plain.push_back(id);
            } else if (linked.IsNameInList(ent->layer())) {
                sets.linked.push_back(id);
            }
        }
    }
    return sets;
}

FloorSets SelectionSets(const std::vector<ZcDbObjectId>& selection) {
    FloorSets sets;
    for (ZcDbObjectId id : selection) {
        ZcDbObjectPointer<ZcDbEntity> ent(id, ZcDb::kForRead);
        if (!ent) continue;
        if (HasStairXData(*ent))
            sets.tagged.push_back(id);
        else if (EntityLevel(*ent, false))
            sets.plain.push_back(id);
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
    ZcDbObjectPointer<ZcDbLayerTable> table(db->layerTableId(), ZcDb::kForWrite);
    if (!table) return false;
    ZcDbObjectPointer<ZcDbLayerTableRecord> rec;
    rec.create();
    rec->setName(name);
    return table->add(rec.get()) == Zcad::eOk;
}

std::optional<double> MoveSetsToFloor(ZcDbDatabase* db, const FloorSets& sets, double target, bool copy,
                                      const LayerMaker& makeLayer) {
    std::optional<double> lastSource;
    for (ZcDbObjectId id : sets.plain) {
        ZcDbObjectPointer<ZcDbEntity> ent(id, ZcDb::kForWrite);
        if (!ent) continue;
        const std::optional<double> source = EntityLevel(*ent, false);
        if (!source || !LevelLayerBase(ent->layer())) continue;
        if (copy) Duplicate(*ent);
        if (Relayer(db, *ent, target, makeLayer))
            ent->transformBy(ZcDbXform::translation({0, 0, target - *source}));
        for (ZcDbObjectId attId : ZcDbBlockReference::cast(ent.get())
                                      ? ZcDbBlockReference::cast(ent.get())->attributeIds()
                                      : std::vector<ZcDbObjectId>{}) {
            if (ZcDbObjectPointer<ZcDbAttribute> att(attId, ZcDb::kForWrite); att)
                Relayer(db, *att, target, makeLayer);
        }
        lastSource = source;
    }
    for (ZcDbObjectId id : sets.linked) {
        ZcDbObjectPointer<ZcDbEntity> ent(id, ZcDb::kForWrite);
        if (!ent) continue;
        if (copy) Duplicate(*ent);
        ent->transformBy(ZcDbXform::translation({0, 0, target - sets.linkedSource}));
        lastSource = sets.linkedSource;
    }
    for (ZcDbObjectId id : sets.tagged) {
        ZcDbObjectPointer<ZcDbEntity> ent(id, ZcDb::kForWrite);
        if (!ent) continue;
        auto* insert = ZcDbBlockReference::cast(ent.get());
        const std::optional<double> source = EntityLevel(*ent, true);
        if (!insert || !source) continue;
        if (copy) DuplicateStair(db, *insert);
        for (ZcDbObjectId innerId : BlockEntityIds(insert->blockTableRecord())) {
            ZcDbObjectPointer<ZcDbEntity> inner(innerId, ZcDb::kForWrite);
            if (inner && LayerNameLevel(inner->layer())) Relayer(db, *inner, target, makeLayer);
        }
        const double delta = target - *source;
        insert->transformBy(ZcDbXform::translation({0, 0, delta}));
        RaiseStairHeights(*insert, delta);
        lastSource = source;
    }
    return lastSource;
}

std::vector<std::string> FloorTextsOfLayers(ZcDbDatabase* db) {
    std::set<std::string> texts;
    if (!db) return {};
    std::vector<ZcDbObjectId> ids;
    {
        ZcDbObjectPointer<ZcDbLayerTable> table(db->layerTableId(), ZcDb::kForRead);
        if (!table) return {};
        ids = table->recordIds(true);
    }
    for (ZcDbObjectId id : ids) {
        ZcDbObjectPointer<ZcDbLayerTableRecord> rec(id, ZcDb::kForRead);
        if (rec && LayerNameLevel(rec->name())) texts.insert(rec->name().substr(rec->name().rfind('$') + 1));
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
