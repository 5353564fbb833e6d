// The floor slab command. The dialog chooses how the outline is given; the
// outline and the openings are entered in the outline jig at the underside
// height (the floor elevation when the slab follows its floor, plus the
// underside offset), and the slab is written with its INSERT at the floor
// elevation so that moving the floor moves the slab.
#include "roofs/commands/floor_slab.h"

#include "core/level_layers.h"
#include "core/levels.h"
#include "roofs/commands/slab_entry.h"
#include "roofs/dialogs/dlg_solaio.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "roofs/outline_select.h"
#include "roofs/slab_block.h"
#include "roofs/slab_jig.h"
#include "roofs/slab_record.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

const SlabEntryPrompts kFloorPrompts{
    "\nOkreśl pierwszy wierzchołek płyty lub [Niewidoczny]:",
    "\nOkreśl liczbę wierzchołków %d [Niewidoczny/Cofnij]:",
    "\nOkreśl pierwszy wierzchołek otworu [Kontur/Niewidoczny/Obiekt] lub Enter, aby zamknąć:",
    "\nOkreśl liczbę wierzchołków %d lub Enter, aby zamknąć[Niewidoczny/Cofnij]:",
    "\nWybierz zamknięty kontur otworu płyty:",
    true,
    true,
};

}  // namespace

void CmdFloorSlab() {
    CDlgSolaio dialog;
    dialog.Load();
    const INT_PTR result = RunModuleDialog(dialog);
    if (result != IDOK || dialog.Mode() == 3) return;
    dialog.Store();

    AJIG_COP jig;
    jig.kind = AJIG_COP::kAtElevation;
    CFALDA record;
    record.edgeKey = 0;
    record.slope = 0.0;
    record.name = SettingString(SetupVar::CLAYERSOL);
    record.thickness = SettingReal(SetupVar::CSPESS_SOLAIO);
    jig.offset = SettingReal(SetupVar::CINTRADO);
    const std::string pattern = SettingString(SetupVar::CSTILESOLAIO);
    const double angle = SettingReal(SetupVar::CANGCAMPS);
    record.hideApproximated = SettingInt(SetupVar::S_INVISVERT) > 0;
    const bool hatch = SettingInt(SetupVar::CTRATTEGGIO01) > 0;
    record.linkedToFloor = SettingInt(SetupVar::CLEGAMEQP) > 0;
    if (record.linkedToFloor) jig.elevation = SettingReal(SetupVar::SQPAV);
    record.draw2D = SettingInt(SetupVar::CGENERA2D) > 0;
    if (SettingInt(SetupVar::COSNAP) > 0) jig.SetOsmode(1);
    const double scale = GetScaleFactor(7);

    if (dialog.Mode() == 0) {
        BeginSlabLoops(jig);
    } else {
        VertexNode* outline = nullptr;
        if (dialog.Mode() == 1) {
            outline = SelectFloorOutline(0, jig.elevation, nullptr, nullptr);
        } else {
            int status = 1;
            outline = SelectClosedOutline(status, "\nWybierz zewnętrzny kontur zamkniętej płyty:", 0, false);
        }
        if (!outline) return;
        for (VertexNode* v = outline; v; v = v->next) v->z = jig.elevation + jig.offset;
        BeginSlabOpenings(jig, outline);
    }
    if (EnterSlabLoops(jig, kFloorPrompts) != 0) return;

    DropUnfinishedLoop(jig);
    MakeSlabLayerName(record);
    std::string layer = record.name;
    if (record.linkedToFloor) MakeLevelLayerName(layer, jig.elevation);
    if (!WriteSlabInsert(record, jig.loops, jig.elevation, layer, nullptr)) return;
    if (hatch)
        HatchSlabLoops(record, SlabHatchLayer(record.name, 2, record.linkedToFloor, jig.elevation), angle,
                       scale, pattern, 2);
}
