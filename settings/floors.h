// The floors of a drawing: the floor record AA_PIANO, the ordered floor list
// AAR_PIANI and the named settings record VELM_PIANI that holds it, with the
// lookups by elevation and by layer, the two filing forms, and the walkers
// that keep the floors' visible flags and the drawing's layers in step.
//
// A layer belongs to a floor when the floor's layer-name list holds it
// (compared ignoring case, looked at first) or when its name ends in a level
// suffix: a '$' followed by the floor's elevation. Lookups by elevation are
// exact; the level walkers match within the single-precision epsilon.
//
// Filing, DWG: version 8, a 16-bit floor count, per floor the two reals,
// the flag, the edge mode (absent in version 7) and the names. DXF: the
// subclass marker, a 170 count, per floor 140 elevation, 140 height, 170
// flag, 170 name count, 170 edge mode (optional when reading) and the 300
// names. Counts are 16-bit; lists beyond 32767 entries are not made.
//
// Walkers go over the layer table once and close every record they open,
// so their cost is linear in the number of layers times the floors' list
// lengths (short lists).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "host/db/dbmain.h"
#include "store/settings_dbfiler.h"
#include "store/settings_filer.h"

// Two levels closer than this are the same level (2 to the power -23).
constexpr double kLevelEpsilon = GeomEpsilon;

// Edge view of a floor in generated views.
enum FloorEdgeMode : int { kEdgeBoth = 0, kEdgeBelow = 1, kEdgeTop = 2, kEdgeNone = 3 };

struct AA_PIANO {
    double elevation = 0.0;
    double height = 0.0;
    bool visible = true;
    int edgeMode = kEdgeBoth;
    std::vector<std::string> layers;

    // True when the name is in the layer-name list, ignoring case.
    bool IsNameInList(std::string_view layer) const;
};

// Floors in insertion order; lookups take the first record that matches.
class AAR_PIANI {
public:
    std::vector<AA_PIANO> floors;

    // Orders by descending elevation and drops floors that repeat an
    // elevation exactly (the first of equal ones stays).
    void InsertSorted();
};

// The level written after the last '$' of a layer name, whatever the levels
// switch says; none when the name does not end in '$' and a number.
std::optional<double> LayerNameLevel(std::string_view layer);

// What the floor list says of one layer: its level and the signed count of
// the floors that list it (negative when none of them is visible; 0 when the
// level came from the name's suffix).
struct LayerFloor {
    double level = 0.0;
    int count = 0;
};

// The drawing's floor list, a named settings object in "VELMOR_6".
class VELM_PIANI : public ZcDbObject {
public:
    VELM_SETTINGS_OBJECT_MEMBERS(VELM_PIANI);
    VELM_PIANI() = default;
    // A copy holds the same floors and is in no database.
    VELM_PIANI(const VELM_PIANI& o) : ZcDbObject() { piani = o.piani; }
    VELM_PIANI& operator=(const VELM_PIANI& o) {
        piani = o.piani;
        return *this;
    }

    static constexpr const char* kClassName = "VELM_PIANI";
    static constexpr short kFilingVersion = 8;

    AAR_PIANI piani;

    // One floor: elevation 0, height 1, visible, edge mode 0, no layers.
    void Reset();

    AA_PIANO* FindFloorByElevation(double z);
    const AA_PIANO* FindFloorByElevation(double z) const;
    // The first floor within kLevelEpsilon of z: a level read back from a
    // layer name's text may differ from the stored one in its last digits.
    AA_PIANO* FindFloorNear(double z);
    const AA_PIANO* FindFloorNear(double z) const;
    // True when at least one floor lists the layer; `elevation` is that of
    // the last visible listing floor, else of the last listing floor, and
    // `count` the number of listings, negated when no listing floor is
    // visible.
    bool FindFloorOfLayer(std::string_view layer, double& elevation, int& count) const;
    // The floor of a layer: from the lists first, else from the suffix.
    std::optional<LayerFloor> LevelOfLayer(std::string_view layer) const;

    // Copies or replaces the layer-name list of the floor at exactly z;
    // nothing when there is no such floor.
    void GetFloorLayers(double z, std::vector<std::string>& out) const;
    void SetFloorLayers(double z, const std::vector<std::string>& names);

    // Visible flags from the drawing's layers: every floor hidden, then a
    // floor is visible when one of its layers is thawed; a level met in a
    // layer name without a floor gets a new visible floor of height
    // `defaultHeight` (275 drawing centimetres in the drawing's unit).
    void ReadFloorVisibility(ZcDbDatabase* db, double defaultHeight);
    // True when some layer of the floor at z (within kLevelEpsilon) is thawed:
    // globally when `global`, else in the viewport `viewport`.
    bool IsFloorVisible(ZcDbDatabase* db, bool global, ZcDbObjectId viewport, double z) const;
    // Thaws every layer that belongs to a floor.
    void ThawFloorLayers(ZcDbDatabase* db) const;

    FilingStatus fileOutDwg(SettingsDwgWriter& w) const;
    FilingStatus fileInDwg(SettingsDwgReader& r);
    FilingStatus fileOutDxf(SettingsDxfWriter& w) const;
    FilingStatus fileInDxf(SettingsDxfReader& r);
};

// Freezes or thaws the drawing's layers by the visible flag of their floor:
// a layer listed by a visible floor is thawed, one listed only by hidden
// floors or carrying a hidden floor's level is frozen.
void UpdateFloorLayers(const VELM_PIANI& floors, ZcDbDatabase* db);

// The drawing's floor list: for write (made with one default floor when
// missing) or for read (none when missing). The caller closes it.
VELM_PIANI* OpenPianiObject(bool forRead);

// The height and edge mode of the floor within `tolerance` of z (strictly).
std::optional<double> FloorHeightNear(const VELM_PIANI& floors, double z, double tolerance);
std::optional<int> FloorEdgeModeNear(const VELM_PIANI& floors, double z, double tolerance);
