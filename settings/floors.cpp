// The floor list and its walkers over the drawing's layer table. See
// floors.h for the rules; the notes here say why the code is as it is.
#include "settings/floors.h"

#include <cmath>
#include <cstdlib>
#include <memory>

#include "core/entity_data.h"
#include "host/db/dbdict.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"
#include "store/open_or_create.h"
#include "store/value_range.h"

VELM_SETTINGS_OBJECT_DEFINE(VELM_PIANI)

namespace {

// Calls `visit(record)` for every layer of the database that opens (mode as
// given), closing each record and the table. A table that cannot be opened
// visits nothing.
template <typename Visit>
void ForEachLayer(ZcDbDatabase* db, ZcDb::OpenMode mode, Visit&& visit) {
    if (!db) return;
    std::vector<ZcDbObjectId> ids;
    {
        ZcDbObjectPointer<ZcDbLayerTable> table(db->layerTableId(), ZcDb::kForRead);
        if (!table) return;
        ids = table->recordIds(true);
    }
    for (ZcDbObjectId id : ids) {
        ZcDbObjectPointer<ZcDbLayerTableRecord> rec(id, mode);
        if (rec) visit(*rec);
    }
}

}  // namespace

// ------------------------------------------------------------ floor record

bool AA_PIANO::IsNameInList(std::string_view layer) const {
    for (const std::string& name : layers)
        if (zcutEqualsNoCase(name, layer)) return true;
    return false;
}

void AAR_PIANI::InsertSorted() {
    std::vector<AA_PIANO> sorted;
    sorted.reserve(floors.size());
    for (AA_PIANO& floor : floors) {
        bool repeated = false;
        auto at = sorted.end();
        for (auto it = sorted.begin(); it != sorted.end(); ++it) {
            if (it->elevation == floor.elevation) {
                repeated = true;
                break;
            }
            if (at == sorted.end() && it->elevation < floor.elevation) at = it;
        }
        if (!repeated) sorted.insert(at, std::move(floor));
    }
    floors = std::move(sorted);
}

std::optional<double> LayerNameLevel(std::string_view layer) {
    // The real suffix, whatever the levels switch says: with levels off no
    // name carries one, and no layer is taken for floor 0's.
    double level = 0.0;
    if (ParseLevelSuffix(layer, level) != 1) return std::nullopt;
    return level;
}

// ------------------------------------------------------------- the object

void VELM_PIANI::Reset() {
    assertWriteEnabled();
    piani.floors.clear();
    AA_PIANO floor;
    floor.height = 1.0;
    piani.floors.push_back(floor);
}

AA_PIANO* VELM_PIANI::FindFloorByElevation(double z) {
    for (AA_PIANO& floor : piani.floors)
        if (floor.elevation == z) return &floor;
    return nullptr;
}

const AA_PIANO* VELM_PIANI::FindFloorByElevation(double z) const {
    return const_cast<VELM_PIANI*>(this)->FindFloorByElevation(z);
}

AA_PIANO* VELM_PIANI::FindFloorNear(double z) {
    for (AA_PIANO& floor : piani.floors)
        if (std::abs(floor.elevation - z) <= kLevelEpsilon) return &floor;
    return nullptr;
}

const AA_PIANO* VELM_PIANI::FindFloorNear(double z) const {
    return const_cast<VELM_PIANI*>(this)->FindFloorNear(z);
}

bool VELM_PIANI::FindFloorOfLayer(std::string_view layer, double& elevation, int& count) const {
    count = 0;
    bool visibleMatched = false;
    double visibleElevation = 0.0;
    for (const AA_PIANO& floor : piani.floors) {
        for (const std::string& name : floor.layers) {
            if (!zcutEqualsNoCase(name, layer)) continue;
            elevation = floor.elevation;
            ++count;
            if (floor.visible) {
                visibleElevation = floor.elevation;
                visibleMatched = true;
            }
        }
    }
    if (!visibleMatched)
        count = -count;
    else
        elevation = visibleElevation;
    return count != 0;
}

std::optional<LayerFloor> VELM_PIANI::LevelOfLayer(std::string_view layer) const {
    LayerFloor found;
    if (FindFloorOfLayer(layer, found.level, found.count)) return found;
    if (std::optional<double> level = LayerNameLevel(layer)) return LayerFloor{*level, 0};
    return std::nullopt;
}

void VELM_PIANI::GetFloorLayers(double z, std::vector<std::string>& out) const {
    if (const AA_PIANO* floor = FindFloorByElevation(z)) out = floor->layers;
}

void VELM_PIANI::SetFloorLayers(double z, const std::vector<std::string>& names) {
    assertWriteEnabled();
    if (AA_PIANO* floor = FindFloorByElevation(z)) floor->layers = names;
}

void VELM_PIANI::ReadFloorVisibility(ZcDbDatabase* db, double defaultHeight) {
    if (!db || !ZcDbObjectPointer<ZcDbLayerTable>(db->layerTableId(), ZcDb::kForRead)) return;
    for (AA_PIANO& floor : piani.floors) floor.visible = false;
    ForEachLayer(db, ZcDb::kForRead, [&](const ZcDbLayerTableRecord& rec) {
        const std::optional<LayerFloor> lf = LevelOfLayer(rec.name());
        // A layer listed by several floors says nothing of any of them.
        if (!lf || std::abs(lf->count) > 1) return;
        if (AA_PIANO* floor = FindFloorByElevation(lf->level)) {
            if (!rec.isFrozen()) floor->visible = true;
            return;
        }
        AA_PIANO added;
        added.elevation = lf->level;
        added.height = defaultHeight;
        piani.floors.push_back(added);
    });
}

bool VELM_PIANI::IsFloorVisible(ZcDbDatabase* db, bool global, ZcDbObjectId viewport, double z) const {
    bool shown = false;
    ZcDbObjectPointer<ZcDbViewport> vp;
    if (!global && vp.open(viewport, ZcDb::kForRead) != Zcad::eOk) return false;
    ForEachLayer(db, ZcDb::kForRead, [&](const ZcDbLayerTableRecord& rec) {
        if (shown) return;
        const std::optional<LayerFloor> lf = LevelOfLayer(rec.name());
        if (!lf || std::abs(lf->count) > 1 || std::abs(lf->level - z) > kLevelEpsilon) return;
        shown = global ? !rec.isFrozen() : !vp->isLayerFrozenInViewport(rec.objectId());
    });
    return shown;
}

void VELM_PIANI::ThawFloorLayers(ZcDbDatabase* db) const {
    ForEachLayer(db, ZcDb::kForWrite, [&](ZcDbLayerTableRecord& rec) {
        if (LevelOfLayer(rec.name()) && rec.isFrozen()) rec.setIsFrozen(false);
    });
}

void UpdateFloorLayers(const VELM_PIANI& floors, ZcDbDatabase* db) {
    ForEachLayer(db, ZcDb::kForWrite, [&](ZcDbLayerTableRecord& rec) {
        const std::optional<LayerFloor> lf = floors.LevelOfLayer(rec.name());
        if (!lf) return;
        const AA_PIANO* floor = floors.FindFloorByElevation(lf->level);
        if (!floor) return;
        bool frozen = rec.isFrozen();
        if (floor->visible)
            frozen = false;
        else if (lf->count <= 1)
            frozen = true;
        if (frozen != rec.isFrozen()) rec.setIsFrozen(frozen);
    });
}

std::optional<double> FloorHeightNear(const VELM_PIANI& floors, double z, double tolerance) {
    for (const AA_PIANO& floor : floors.piani.floors)
        if (std::abs(floor.elevation - z) < tolerance) return floor.height;
    return std::nullopt;
}

std::optional<int> FloorEdgeModeNear(const VELM_PIANI& floors, double z, double tolerance) {
    for (const AA_PIANO& floor : floors.piani.floors)
        if (std::abs(floor.elevation - z) < tolerance) return floor.edgeMode;
    return std::nullopt;
}

// ------------------------------------------------------------------ filing

namespace {

// A floor read back with a number out of range (NumberInRange): without an
// elevation it is no floor and is left out; a height takes a new floor's.
// Either is named in `outOfRange` ("kondygnacja N rzędna" or "… wysokość").
// False when the floor is to be left out.
bool KeepInRange(AA_PIANO& floor, int index, std::string& outOfRange) {
    const std::string name = "kondygnacja " + std::to_string(index + 1);
    auto note = [&](const char* what) {
        if (!outOfRange.empty()) outOfRange += ", ";
        outOfRange += name + what;
    };
    if (!NumberInRange(floor.elevation)) {
        note(" rzędna");
        return false;
    }
    if (!NumberInRange(floor.height)) {
        note(" wysokość");
        floor.height = 1.0;
    }
    return true;
}

}  // namespace

FilingStatus VELM_PIANI::fileOutDwg(SettingsDwgWriter& w) const {
    w.writeInt16(kFilingVersion);
    w.writeInt16(static_cast<short>(piani.floors.size()));
    for (const AA_PIANO& f : piani.floors) {
        w.writeReal(f.elevation);
        w.writeReal(f.height);
        w.writeInt16(f.visible ? 1 : 0);
        w.writeInt16(static_cast<short>(f.edgeMode));
        w.writeInt16(static_cast<short>(f.layers.size()));
        for (const std::string& name : f.layers) w.writeText(name);
    }
    return FilingStatus::kOk;
}

FilingStatus VELM_PIANI::fileInDwg(SettingsDwgReader& r) {
    short version = 0;
    int n = 0;
    if (!r.readInt16(version) || !ReadDwgCount(r, n)) return FilingStatus::kReadFailed;
    assertWriteEnabled();
    piani.floors.clear();
    std::string outOfRange;
    for (int i = 0; i < n; ++i) {
        AA_PIANO f;
        short flag = 0, edge = 0;
        int names = 0;
        if (!r.readReal(f.elevation) || !r.readReal(f.height) || !r.readInt16(flag))
            return FilingStatus::kReadFailed;
        f.visible = (flag & 0xFF) != 0;
        if (version == 8 && !r.readInt16(edge)) return FilingStatus::kReadFailed;
        f.edgeMode = edge;
        if (!ReadDwgCount(r, names)) return FilingStatus::kReadFailed;
        f.layers.resize(static_cast<std::size_t>(names));
        for (std::string& name : f.layers)
            if (!r.readText(name)) return FilingStatus::kReadFailed;
        if (KeepInRange(f, i, outOfRange)) piani.floors.push_back(std::move(f));
    }
    if (!outOfRange.empty()) ReportSettingsOutOfRange(kClassName, outOfRange);
    return FilingStatus::kOk;
}

FilingStatus VELM_PIANI::fileOutDxf(SettingsDxfWriter& w) const {
    w.writeItem({100, std::string(kClassName)});
    w.writeItem({170, static_cast<short>(piani.floors.size())});
    for (const AA_PIANO& f : piani.floors) {
        w.writeItem({140, f.elevation});
        w.writeItem({140, f.height});
        w.writeItem({170, static_cast<short>(f.visible ? 1 : 0)});
        w.writeItem({170, static_cast<short>(f.layers.size())});
        w.writeItem({170, static_cast<short>(f.edgeMode)});
        for (const std::string& name : f.layers) w.writeItem({300, name});
    }
    return FilingStatus::kOk;
}

// Version-7 records carry no edge mode, so after the name count an item may
// or may not be the edge mode: a 170 is, anything else belongs to what
// follows and is handed back. The end of the object's data completes the
// floor being read rather than dropping it.
FilingStatus VELM_PIANI::fileInDxf(SettingsDxfReader& r) {
    short n = 0;
    if (!r.atSubclassData(kClassName) || !ReadDxfShort(r, 170, n)) return FilingStatus::kOk;
    assertWriteEnabled();
    piani.floors.clear();
    std::string outOfRange;
    auto done = [&] {
        if (!outOfRange.empty()) ReportSettingsOutOfRange(kClassName, outOfRange);
        return FilingStatus::kOk;
    };
    for (int i = 0; i < n; ++i) {
        AA_PIANO f;
        short flag = 0, names = 0;
        if (!ReadDxfReal(r, 140, f.elevation) || !ReadDxfReal(r, 140, f.height) ||
            !ReadDxfShort(r, 170, flag) || !ReadDxfShort(r, 170, names))
            return done();
        f.visible = flag != 0;
        SettingsDxfItem item;
        if (names <= 0) {
            if (r.readItem(item)) {
                const short* edge = std::get_if<short>(&item.value);
                if (item.code == 170 && edge)
                    f.edgeMode = *edge;
                else
                    r.pushBackItem();
            }
        } else {
            int read = 0;
            bool first = true;
            while (read < names) {
                if (!r.readItem(item)) break;  // end of data: keep the names read so far
                const short* edge = std::get_if<short>(&item.value);
                const std::string* text = std::get_if<std::string>(&item.value);
                if (first && item.code == 170 && edge) {
                    f.edgeMode = *edge;
                } else if (item.code == 300 && text) {
                    f.layers.push_back(*text);
                    ++read;
                } else {
                    r.pushBackItem();
                    return done();
                }
                first = false;
            }
        }
        if (KeepInRange(f, i, outOfRange)) piani.floors.push_back(std::move(f));
    }
    return done();
}

// Reading the floors never creates them, nor "VELMOR_6".
VELM_PIANI* OpenPianiObject(bool forRead) {
    return OpenOrCreateSetting<VELM_PIANI>(
        forRead, [](VELM_PIANI& o) { o.Reset(); }, !forRead);
}
