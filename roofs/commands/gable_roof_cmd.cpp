// The gable roof command. The jig shows the roof while the three points
// are picked; the third point is refused, with the reason, while the front
// slabs it would give are not valid, so degenerate slabs are only ever
// shown, never written.
#include "roofs/commands/gable_roof_cmd.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "core/base/module_state.h"
#include "host/ads/cmdline.h"
#include "roofs/commands/roof_write.h"
#include "roofs/dialogs/dlg_tcap.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "roofs/gable_roof.h"
#include "roofs/slab_block.h"
#include "roofs/slab_jig.h"
#include "roofs/slab_record.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

const char* const kGablePrompts[3] = {
    "\nPierwszy punkt końcowy boku rynny:", "\nDrugi punkt końcowy boku rynny:",
    "\nWybierz punkt na przeciwnej stronie:"};

}  // namespace

void CmdGableRoof() {
    CDlgTCAP dialog;
    dialog.Load();
    const INT_PTR result = RunModuleDialog(dialog);
    if (result != IDOK) return;
    dialog.Store();

    AJIG_COP jig;
    CFALDA record;
    record.edgeKey = 0;
    RoofHatch hatch;
    hatch.pattern = SettingString(SetupVar::CSTILETETTI);
    record.name = SettingString(SetupVar::CLAYERTET);
    hatch.make = SettingInt(SetupVar::CTRATTEGGIO01) > 0;
    record.thickness = SettingReal(SetupVar::CSPESS_TETTI);
    GableRoofParams& g = jig.gable;
    g.heightAtWall = SettingInt(SetupVar::CDOVEQGRO) > 0;
    hatch.angle = SettingReal(SetupVar::CANGCAMPT);
    g.overhang = SettingReal(SetupVar::CCORNICIONE);
    g.slope = SettingReal(SetupVar::CPENDENZAF);
    record.slope = std::atan(g.slope / 100.0) * 180.0 / std::numbers::pi;
    g.height = SettingReal(SetupVar::CQGRONDA);
    g.frontOverhang = SettingReal(SetupVar::CORNIFRONTALI);
    g.front = SettingInt(SetupVar::CAPANSMUSSO) > 0;
    g.byWidth = SettingInt(SetupVar::LARGHSMUSSO) > 0;
    g.frontWidth = SettingReal(SetupVar::LGRONDASMUSSO);
    g.frontHeight = SettingReal(SetupVar::QGRONDASMUSSO);
    g.frontSlope = SettingReal(SetupVar::PENDFFRONT);
    g.unit = DrawingUnitFactor();
    record.draw2D = SettingInt(SetupVar::CGENERA2D) > 0;
    hatch.scale = GetScaleFactor(8);
    if (SettingInt(SetupVar::COSNAP) > 0) jig.SetOsmode(1);

    InitGableRoofLoops(jig);
    jig.stage = 2;
    while (jig.stage >= 2 && jig.stage <= 4) {
        const int asked = jig.stage;
        jig.setDispPrompt("%s", kGablePrompts[asked - 2]);
        jig.drag();
        if (jig.stage != asked) break;
        if (asked == 4 && jig.gableValidity != kGableValid) {
            zcutPrintf("%s", GableValidityMessage(jig.gableValidity));
            continue;
        }
        jig.stage = asked == 4 ? 0 : asked + 1;
    }
    if (jig.stage != 0) return;

    std::vector<std::vector<Point3>> loops;
    for (const ContourNode* k = jig.loops; k; k = k->next) {
        loops.emplace_back();
        for (const VertexNode* v = k->vertices; v; v = v->next) loops.back().push_back(v->pt());
    }
    MakeSlabLayerName(record);
    WriteRoofPitches(record, loops, hatch);
}
