// The slab editing command. The slab is loaded into a record and into the
// jig, its dialog shown, and the one edit chosen runs on the jig's loops;
// the slab is written once at the end, so a cancel anywhere before leaves
// it as it was (vertex insertion writes after each vertex, as the user
// watches the slab change).
#include "roofs/commands/edit_slabs.h"

#include "core/base/module_state.h"
#include "host/ads/cmdline.h"
#include "roofs/commands/slab_edit.h"
#include "roofs/dialogs/dlg_ecop.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "roofs/slab_block.h"
#include "roofs/slab_jig.h"
#include "roofs/slab_planes.h"
#include "roofs/slab_record.h"
#include "roofs/slab_vertex_tools.h"

namespace {

PickVerdict CheckEditableSlab(const ads_name entity, bool) {
    const SlabXDataInfo info = InspectSlabXData(entity);
    if (info.present && info.flagged && info.flagWord < kSlabZProfile) return PickVerdict::Take;
    zcutPrintf("\nWybrany obiekt nie jest płytą");
    return PickVerdict::AskAgain;
}

}  // namespace

void CmdEditSlabs() {
    ads_name entity{0, 0};
    if (!PickSlabEntity("\nWybierz płytę dachu lub podłogi:", true, CheckEditableSlab, entity)) return;
    CFALDA record;
    AJIG_COP jig;
    if (!LoadSlabForEdit(entity, record, jig)) return;
    double floor = jig.elevation;
    const bool wasLinked = record.linkedToFloor;

    EcopValues values;
    values.name = record.name;
    values.hideApproximated = record.hideApproximated;
    values.edgeKey = record.edgeKey;
    values.slopePercent = jig.slopePercent;
    values.height = jig.offset;
    values.thickness = record.thickness;
    values.f1 = record.linkedToFloor;
    values.f2 = record.draw2D;
    values.f8 = record.ignoreWallHeight;
    CDlgEcop dialog;
    dialog.SetValues(values);
    dialog.SetFlatMode(jig.slopePercent == 0.0);
    if (RunModuleDialog(dialog) != IDOK) return;
    values = dialog.GetValues();
    record.name = values.name;
    record.hideApproximated = values.hideApproximated;
    record.edgeKey = values.edgeKey;
    record.slope = SlopePercentToDegrees(values.slopePercent);
    record.thickness = values.thickness;
    record.linkedToFloor = values.f1;
    record.draw2D = values.f2;
    record.ignoreWallHeight = values.f8;
    double height = values.height;

    MakeSlabLayerName(record);
    if (!ComputeJigPlane(jig)) {
        PrintNoSlabPlane();
        return;
    }
    height = HeightOverFloor(record, wasLinked, floor, height);

    bool write = false;
    switch (dialog.Action()) {
        case kEcopMove2d:
            MoveSlabVertex(jig);
            write = jig.chosen != nullptr && DragChosenVertices(jig);
            break;
        case kEcopAddVertex:
            InsertSlabVertices(jig, record, entity, floor);
            return;
        case kEcopHideSides:
            record.hatch = SlabHatch{};
            while (PickSlabEdge(jig)) {
            }
            write = true;
            break;
        default:
            write = RunSharedSlabEdit(dialog.Action(), jig, record, floor, height, values.slopePercent);
            break;
    }
    if (write) RewriteEditedSlab(record, jig, entity, floor);
}
