// The Z-profile editing command: the slab editing road for the elements
// flagged as Z-profiles (flag word 16 or more), with their own dialog and
// their 2D layers.
#include "roofs/commands/edit_zprofile.h"

#include "host/ads/cmdline.h"
#include "roofs/commands/slab_edit.h"
#include "roofs/dialogs/dlg_eprofz.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "roofs/slab_block.h"
#include "roofs/slab_jig.h"
#include "roofs/slab_record.h"
#include "roofs/slab_vertex_tools.h"

namespace {

PickVerdict CheckProfile(const ads_name entity, bool implied) {
    const SlabXDataInfo info = InspectSlabXData(entity);
    if (info.present && info.flagged && IsZProfileWord(info.flagWord)) return PickVerdict::Take;
    // A pick-first entity that is no slab at all is passed over quietly.
    if (!(implied && !info.present)) zcutPrintf("\nWybrany obiekt nie jest prawidłowym profilem");
    return PickVerdict::AskAgain;
}

}  // namespace

void CmdEditZProfile() {
    ads_name entity{0, 0};
    if (!PickSlabEntity("\nWybierz profil, który chcesz zmodyfikować:", true, CheckProfile, entity)) return;
    CFALDA record;
    AJIG_COP jig;
    if (!LoadSlabForEdit(entity, record, jig)) return;
    double floor = jig.elevation;
    const bool wasLinked = record.linkedToFloor;

    EProfzValues values;
    values.layer = record.name;
    values.hideApproximated = record.hideApproximated;
    values.slopePercent = jig.slopePercent;
    values.baseHeight = jig.offset;
    values.thickness = record.thickness;
    values.link = record.linkedToFloor;
    values.is2d = record.draw2D;
    CDlgEProfz dialog;
    dialog.SetValues(values);
    if (jig.slopePercent != 0.0) dialog.SetZeroSlope(false);
    if (RunModuleDialog(dialog) != IDOK) return;
    values = dialog.GetValues();
    record.name = values.layer;
    record.hideApproximated = values.hideApproximated;
    record.slope = SlopePercentToDegrees(values.slopePercent);
    record.thickness = values.thickness;
    record.linkedToFloor = values.link;
    record.draw2D = values.is2d;
    double base = values.baseHeight;
    if (!ComputeJigPlane(jig)) {
        PrintNoSlabPlane();
        return;
    }

    Make2DSlabLayerName(record);
    base = HeightOverFloor(record, wasLinked, floor, base);
    if (RunSharedSlabEdit(dialog.Action(), jig, record, floor, base, values.slopePercent))
        RewriteEditedSlab(record, jig, entity, floor);
}
