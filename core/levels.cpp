// Levels and layers. Layer-table walks are linear in the number of layers,
// which stays small next to the entities of a drawing.
#include "core/levels.h"

#include <cmath>
#include <memory>
#include <optional>
#include <string>

#include "core/entity_data.h"
#include "core/host_services.h"
#include "core/layer_catalogue.h"
#include "core/level_layers.h"
#include "core/level_settings.h"
#include "core/support_files.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/ed/cmdproc.h"
#include "host/ui/resources.h"
#include "host/util/findfile.h"
#include "host/util/nocase.h"
#include "host/win/files.h"
#include "host/win/kept_files.h"
#include "host/win/textutil.h"

namespace {

constexpr const char* kParamApp = "VELM5$_$PARAMETRI-";
constexpr const char* kTempObjectName = "$$TEMP$$__$$";
constexpr const char* kStairApp = "VELM6$_$MODE_SCALE-";

std::optional<std::string> FindBitmapLibrary(const std::string& name);
ZcDbObjectPointer<ZcDbEntity> OpenEntity(const ads_name entity, ZcDb::OpenMode mode);
bool HasXData(const ZcDbObject* obj, const char* app);
void ShiftBlockLevels(ZcDbObjectId block, double delta);

ZcDbObjectPointer<ZcDbLayerTableRecord> OpenLayer(std::string_view layer, ZcDb::OpenMode mode);

}  // namespace

int IsLayerVisible(std::string_view layer) {
    ZcDbObjectPointer<ZcDbLayerTableRecord> rec = OpenLayer(layer, ZcDb::kForRead);
    if (!rec) return 1;
    return rec->isOff() || rec->isFrozen() ? 0 : 1;
}

void SetLayerState(std::string_view layer, bool visible, int mode) {
    ZcDbObjectPointer<ZcDbLayerTableRecord> rec = OpenLayer(layer, ZcDb::kForWrite);
    if (!rec) return;
    if (mode == 0 || mode == 2) rec->setIsOff(!visible);
    if (mode == 1 || mode == 2) rec->setIsFrozen(!visible);
}

int SetLayerColorAndRegen(std::string_view layer, int color) {
    int former = 0;
    {
        ZcDbObjectPointer<ZcDbLayerTableRecord> rec = OpenLayer(layer, ZcDb::kForWrite);
        if (!rec) return 7;
        former = rec->colorIndex();
        // Always a change, and always a real colour: never 256 (by layer).
        if (former == color) color = color + 1;
        if (color < 1 || color > 255) color = 1;
        rec->setColorIndex(color);
    }
    const int quiet = 0;
    const int echo = SysVarShort("CMDECHO", &quiet);
    zcedCommand(RTSTR, "_REGEN", 0);
    SysVarShort("CMDECHO", &echo);
    return former;
}

int GetEntityLevel(const ads_name entity, double& level, std::string* base, bool followBlocks) {
    level = 0.0;
    bool stair = false;
    std::string layer;
    {
        ZcDbObjectPointer<ZcDbEntity> ent = OpenEntity(entity, ZcDb::kForRead);
        if (!ent) return 0;
        stair = followBlocks && HasXData(ent.get(), kStairApp);
        layer = ent->layer();
    }
    if (stair) {
        GetOrShiftBlockLevel(entity, level, false, 0.0);
        if (base) base->clear();
        return 1;
    }
    std::string number;
    const int ok = ParseDollarNumber(layer, level, &number);
    // With levels off nothing was read after a "$": the whole name is the base.
    if (base)
        *base = !ok              ? std::string()
                : number.empty() ? layer
                                 : layer.substr(0, layer.size() - number.size() - 1);
    return ok;
}

void GetOrShiftBlockLevel(const ads_name entity, double& level, bool shift, double newLevel) {
    bool stair = false;
    ZcDbObjectId block;
    {
        ZcDbObjectPointer<ZcDbEntity> ent = OpenEntity(entity, ZcDb::kForRead);
        if (!ent) return;
        const ZcDbBlockReference* insert = ZcDbBlockReference::cast(ent.get());
        stair = insert && HasXData(ent.get(), kStairApp);
        if (insert) block = insert->blockTableRecord();
    }
    if (!stair || block.isNull()) return;
    if (shift) {
        if (!LevelsSwitchedOff()) ShiftBlockLevels(block, newLevel - level);
        return;
    }
    level = 0.0;
    ZcDbObjectPointer<ZcDbBlockTableRecord> rec(block, ZcDb::kForRead);
    if (!rec) return;
    ZcDbBlockTableRecordIterator* it = nullptr;
    if (rec->newIterator(it) == Zcad::eOk && it) {
        for (it->start(); !it->done(); it->step()) {
            ZcDbEntity* opened = nullptr;
            if (it->getEntity(opened, ZcDb::kForRead) != Zcad::eOk) continue;
            ZcDbObjectPointer<ZcDbEntity> inner(opened);
            double found = 0.0;
            if (ParseDollarNumber(inner->layer(), found) != 0) {
                level = found;
                break;
            }
        }
        delete it;
    }
}

int GetParamObjectType(const ads_name entity) {
    host::ResbufList xdata;
    {
        ZcDbObjectPointer<ZcDbEntity> obj = OpenEntity(entity, ZcDb::kForRead);
        if (!obj) return -1;
        xdata.reset(obj->xData(kParamApp));
    }
    int type = -1;
    const resbuf* app = FindXDataApp(xdata.get(), kParamApp);
    const resbuf* label = app ? app->rbnext : nullptr;
    if (label && label->restype == 1000 && label->resval.rstring &&
        !zcutEqualsNoCase(label->resval.rstring, kTempObjectName)) {
        // The set name stands between the object name and the type.
        for (const resbuf* rb = label->rbnext; rb && rb->restype != 1001; rb = rb->rbnext)
            if (rb->restype == 1070) {
                type = rb->resval.rint;
                break;
            }
    }
    return type;
}

int GetArcData(const ads_name entity, ArcRecord& arc, ZcGeVector3d* normal) {
    ZcDbObjectPointer<ZcDbEntity> ent = OpenEntity(entity, ZcDb::kForRead);
    if (!ent) return 0;
    const ZcDbArc* a = ZcDbArc::cast(ent.get());
    if (!a) return 0;
    const ZcGePoint3d c = a->center();
    arc.centre = {c.x, c.y, c.z};
    arc.radius = a->radius();
    arc.startAngle = a->startAngle();
    arc.endAngle = a->endAngle();
    const ZcGeVector3d n = a->normal();
    arc.normal = {n.x, n.y, n.z};
    if (normal) *normal = n;
    return 1;
}

HBITMAP LoadObjectBitmap(std::string_view folder, std::string_view prefix, std::string_view name) {
    if (std::optional<std::string> library = FindBitmapLibrary("velmObjBmp.dll")) {
        if (HBITMAP bmp = LoadBitmapFromLibrary(*library, std::string(prefix) + std::string(name)))
            return bmp;
    }
    std::string file = std::string(folder) + std::string(name) + ".BMP";
    if (std::optional<std::string> path = FindSupportFile(file)) return LoadBitmapFromFile(*path);
    return nullptr;
}

HBITMAP LoadPreviewBitmap(std::string_view folder, std::string_view name) {
    std::string dir(folder);
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
    if (HBITMAP bmp = LoadBitmapFromFile(dir + "velmAnteprime/_" + std::string(name) + ".BMP")) return bmp;
    if (std::optional<std::string> library = FindBitmapLibrary("velmPovTexture.dll"))
        return LoadBitmapFromLibrary(*library, "IDB_" + std::string(name));
    return nullptr;
}

namespace {

// A bitmap library is a folder of bitmaps here; it is looked up on the
// support path by name, without regard to case, as a file would be.
std::optional<std::string> FindBitmapLibrary(const std::string& name) {
    // Each folder's answer is kept while the folder stays as it was: a
    // command that shows a picture for every object it makes lists the
    // support folders once.
    const std::string kind = "bitmap library " + name;
    for (const std::string& folder : host::supportFolders()) {
        std::shared_ptr<const std::string> found =
            std::static_pointer_cast<const std::string>(host::keptFileValue(folder, kind));
        if (!found) {
            std::string library;
            for (const std::string& entry : host::listFolder(folder, name)) {
                std::string path = folder;
                if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
                path += entry;
                if (host::folderExists(path)) {
                    library = path;
                    break;
                }
            }
            found = std::make_shared<const std::string>(std::move(library));
            host::keepFileValue(folder, kind, found);
        }
        if (!found->empty()) return *found;
    }
    return std::nullopt;
}

ZcDbObjectPointer<ZcDbEntity> OpenEntity(const ads_name entity, ZcDb::OpenMode mode) {
    ZcDbObjectId id;
    if (zcdbGetObjectId(id, entity) != Zcad::eOk) return {};
    return ZcDbObjectPointer<ZcDbEntity>(id, mode);
}

bool HasXData(const ZcDbObject* obj, const char* app) {
    const host::ResbufList xdata(obj->xData(app));
    return FindXDataApp(xdata.get(), app) != nullptr;
}

// Moves each entity of the block on a level layer by `delta` levels, to the
// layer of the same base; the catalogue makes layers that are missing.
void ShiftBlockLevels(ZcDbObjectId block, double delta) {
    AAR_LAYERC catalogue;
    catalogue.ReadLayerDefFile("LAYERC.DEF");
    ZcDbObjectPointer<ZcDbBlockTableRecord> rec(block, ZcDb::kForRead);
    if (!rec) return;
    ZcDbBlockTableRecordIterator* it = nullptr;
    if (rec->newIterator(it) != Zcad::eOk || !it) return;
    for (it->start(); !it->done(); it->step()) {
        ZcDbEntity* opened = nullptr;
        if (it->getEntity(opened, ZcDb::kForWrite) != Zcad::eOk) continue;
        ZcDbObjectPointer<ZcDbEntity> inner(opened);
        const std::string layer = inner->layer();
        double found = 0.0;
        std::string number;
        if (ParseLevelSuffix(layer, found, &number)) {
            // "VELM" + key + "$" + level: the key goes back through the service.
            std::string name = layer.substr(0, layer.size() - number.size() - 1);
            if (name.size() >= 4 && zcutEqualsNoCase(std::string_view(name).substr(0, 4), "VELM"))
                name.erase(0, 4);
            EnsureLayer(name, catalogue, true, found + delta, false);
            inner->setLayer(name);
        }
    }
    delete it;
}

ZcDbObjectPointer<ZcDbLayerTableRecord> OpenLayer(std::string_view layer, ZcDb::OpenMode mode) {
    ZcDbDatabase* db = GetWorkingDatabase();
    if (!db) return {};
    ZcDbObjectPointer<ZcDbLayerTable> table(db->layerTableId(), ZcDb::kForRead);
    ZcDbLayerTableRecord* rec = nullptr;
    if (!table || table->getAt(layer, rec, mode) != Zcad::eOk) return {};
    return ZcDbObjectPointer<ZcDbLayerTableRecord>(rec);
}

}  // namespace
