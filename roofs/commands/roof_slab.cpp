// The sloped roof slab command. In gutter mode the jig keeps the outline
// on the plane through its first edge rising at the given slope while the
// user draws; after the openings the plane is fixed by a gutter side or by
// three points, and the slab is written at elevation 0 with the slope of
// that plane.
#include "roofs/commands/roof_slab.h"

#include <cmath>
#include <numbers>

#include "core/base/module_state.h"
#include "core/geometry/geom_basic.h"
#include "roofs/commands/slab_entry.h"
#include "roofs/dialogs/dlg_t3d.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "roofs/slab_block.h"
#include "roofs/slab_jig.h"
#include "roofs/slab_planes.h"
#include "roofs/slab_record.h"
#include "roofs/slab_vertex_tools.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

const SlabEntryPrompts kRoofPrompts{
    "\nOkreśl pierwszy wierzchołek płyty dachu lub [Niewidoczny]:",
    "\nOkreśl liczbę wierzchołków %d [Niewidoczny/Cofnij]:",
    "\nOkreśl pierwszy wierzchołek otworu [Kontur/Niewidoczny/Obiekt] lub Enter, aby zamknąć:",
    "\nOkreśl liczbę wierzchołków %d [Niewidoczny/Cofnij]:",
    "\nWybierz zamknięty kontur otworu płyty dachowej:",
    false,
    false,
};

}  // namespace

void CmdRoofSlab() {
    CDlgT3D dialog;
    dialog.Load();
    const INT_PTR result = RunModuleDialog(dialog);
    if (result != IDOK) return;
    dialog.Store();
    while (MakeSlabWithOpenings() == 1) {
    }
}

int MakeSlabWithOpenings() {
    AJIG_COP jig;
    jig.kind = AJIG_COP::kGutter;
    CFALDA record;
    record.hideApproximated = false;
    const std::string pattern = SettingString(SetupVar::CSTILETETTI);
    const bool hatch = SettingInt(SetupVar::CTRATTEGGIO01) > 0;
    record.name = SettingString(SetupVar::CLAYERTET);
    const double angle = SettingReal(SetupVar::CANGCAMPT);
    const double percent = SettingReal(SetupVar::CPENDENZAF);
    record.slope = std::atan(percent / 100.0) * 180.0 / std::numbers::pi;
    record.thickness = SettingReal(SetupVar::CSPESS_TETTI);
    const int edgeKey = SettingInt(SetupVar::S_INVISVERT);
    record.edgeKey = edgeKey >= 0 && edgeKey < 4 ? edgeKey : 0;
    jig.gutterMode = SettingInt(SetupVar::COP_PENDENZA) > 0;
    jig.slopePercent = percent;
    record.draw2D = SettingInt(SetupVar::CGENERA2D) > 0;
    if (SettingInt(SetupVar::COSNAP) > 0) jig.SetOsmode(1);
    const double scale = GetScaleFactor(8);

    BeginSlabLoops(jig);
    if (EnterSlabLoops(jig, kRoofPrompts) != 0) return 0;
    if (!jig.loops || !jig.loops->next) return 0;
    DropUnfinishedLoop(jig);
    if (PickGutterOrSurfacePoints(jig, percent) != 1) return 0;
    // A plane by three points need not rise at the dialog's slope; the
    // faces' thickness follows the plane the slab really has.
    int kind = 0;
    const double actual = GetLoopSlope(jig.Outline(), kind);
    if (kind == 1) record.slope = std::atan(actual / 100.0) * 180.0 / std::numbers::pi;
    if (kind == 2) record.slope = 0.0;

    MakeSlabLayerName(record);
    if (!WriteSlabInsert(record, jig.loops, 0.0, record.name, nullptr)) return 0;
    if (hatch) HatchSlabLoops(record, record.name, angle, scale, pattern, 1);
    return 1;
}
