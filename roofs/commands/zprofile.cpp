// The Z-profile command. The element is entered like a floor slab, at the
// bottom height above the base elevation (the floor's when linked), and
// written on its own layer with the 2D slab layers, flagged 4, 8 and 16.
#include "roofs/commands/zprofile.h"

#include "core/level_layers.h"
#include "core/levels.h"
#include "roofs/commands/slab_entry.h"
#include "roofs/dialogs/dlg_simil_solaio.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "roofs/outline_select.h"
#include "roofs/slab_block.h"
#include "roofs/slab_jig.h"
#include "roofs/slab_record.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

const SlabEntryPrompts kProfilePrompts{
    "\nWybierz pierwszy wierzchołek lub [Niewidoczny]:",
    "\nOkreśl liczbę wierzchołków %d [Niewidoczny/Cofnij]:",
    "\nOkreśl pierwszy wierzchołek otworu [Kontur/Niewidoczny]:",
    "\nOkreśl liczbę wierzchołków %d lub Enter, aby zamknąć[Niewidoczny/Cofnij]:",
    "\nWybierz zamknięty kontur otworu płyty:",
    true,
    true,
};

}  // namespace

void CmdZProfile() {
    CDlgSimilSolaio dialog;
    dialog.Load();
    const INT_PTR result = RunModuleDialog(dialog);
    if (result != IDOK || (dialog.Mode() != 0 && dialog.Mode() != 1)) return;
    dialog.Store();

    CFALDA record;
    record.thickness = SettingReal(SetupVar::CSPESS_SIMIL);
    const double bottom = SettingReal(SetupVar::CQUOTAZ_SIMIL);
    record.name = SettingString(SetupVar::CLAYER_SIMIL);
    record.hideApproximated = SettingInt(SetupVar::CSPIGINV_SIMIL) > 0;
    const bool hatch = SettingInt(SetupVar::CEXECHATCH_SIMIL) > 0;
    const std::string pattern = SettingString(SetupVar::CNOMEHATCH_SIMIL);
    record.linkedToFloor = SettingInt(SetupVar::CLINKQP_SIMIL) > 0;
    record.draw2D = SettingInt(SetupVar::CRAPP2D_SIMIL) > 0;
    const double angle = SettingReal(SetupVar::CANGTOT_SIMIL);
    const double scale = SettingReal(SetupVar::CFATSCALA_SIMIL);
    record.slope = 0.0;
    record.singleLayer = record.ignoreWallHeight = record.zProfile = true;
    const double E = record.linkedToFloor ? SettingReal(SetupVar::SQPAV) : 0.0;

    AJIG_COP jig;
    jig.kind = AJIG_COP::kAtElevation;
    jig.elevation = E;
    jig.offset = bottom;
    if (dialog.Mode() == 1) {
        int status = 1;
        VertexNode* outline = SelectClosedOutline(status, "\nWybierz zewnętrzny zamknięty kontur:", 0, false);
        if (!outline) return;
        for (VertexNode* v = outline; v; v = v->next) v->z = E + bottom;
        BeginSlabOpenings(jig, outline);
    } else {
        BeginSlabLoops(jig);
    }
    if (EnterSlabLoops(jig, kProfilePrompts) != 0) return;

    DropUnfinishedLoop(jig);
    Make2DSlabLayerName(record);
    std::string layer = record.name;
    if (record.linkedToFloor) MakeLevelLayerName(layer, E);
    if (!WriteSlabInsert(record, jig.loops, E, layer, nullptr)) return;
    if (hatch)
        HatchSlabLoops(record, SlabHatchLayer(record.name, 6, record.linkedToFloor, E), angle, scale, pattern,
                       6);
}
