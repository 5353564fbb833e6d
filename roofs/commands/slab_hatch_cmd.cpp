// The slab hatching command. A hatch made before for the slab is found by
// its outline (the hatch lies on the top face, one vertical thickness above
// the slab's stored outline) and made again with its own kind and layer;
// otherwise the kind follows the element: 6 a Z-profile, 1 a sloped slab,
// 2 a level one. The pattern scale is stretched by 1 / cos(slope) so the
// pattern keeps its size on the sloped face.
#include "roofs/commands/slab_hatch_cmd.h"

#include <cmath>

#include "core/geometry/geom_basic.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/cmdline.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "roofs/commands/slab_entry.h"
#include "roofs/slab_planes.h"
#include "roofs/slab_record.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

bool OutlineIsLevel(const VertexNode* outline) {
    for (const VertexNode* v = outline; v; v = v->next) {
        const VertexNode* w = NextInRing(outline, v);
        if (std::fabs(v->z - w->z) > GeomEpsilon) return false;
    }
    return true;
}

struct KindSettings {
    int layer, pattern, angle;
    int scaleSlot;   // a settings real, or -1 for a print-scale entry
    int scaleEntry;  // the print-scale entry
};

KindSettings SettingsOfKind(int kind) {
    switch (kind) {
        case 6:
            return {SetupVar::CLAYER_SIMIL, SetupVar::CNOMEHATCH_SIMIL, SetupVar::CANGTOT_SIMIL,
                    SetupVar::CFATSCALA_SIMIL, 0};
        case 1:
            return {SetupVar::CLAYERTET, SetupVar::CSTILETETTI, SetupVar::CANGCAMPT, -1, 8};
        default:
            return {SetupVar::CLAYERSOL, SetupVar::CSTILESOLAIO, SetupVar::CANGCAMPS, -1, 7};
    }
}

}  // namespace

void CmdHatchSlab() {
    ads_name entity;
    for (;;) {
        ads_point pt;
        const int rc =
            zcedEntSel("\nWybierz płytę lub profil, do którego chcesz zastosować kreskowanie:", entity, pt);
        if (rc == RTNORM) break;
        if (rc != RTCAN && PickHitNothing()) continue;
        return;
    }
    CFALDA record;
    double E = 0.0;
    if (!ReadSlabRecord(entity, record, E)) {
        zcutPrintf("\nWybrany obiekt nie jest płytą");
        return;
    }
    if (!record.loops || CountNodes(record.loops->vertices) < 3) return;

    int kind = 0;
    std::string layer;
    if (record.hatch.kind != 0) {
        zcdbEntDel(record.hatch.entity);
        kind = record.hatch.kind;
        layer = record.hatch.data.layer;
    } else {
        kind = record.zProfile ? 6 : (OutlineIsLevel(record.loops->vertices) ? 2 : 1);
        layer = SlabHatchLayer(SettingString(SettingsOfKind(kind).layer), kind, record.linkedToFloor, E);
    }
    const KindSettings s = SettingsOfKind(kind);
    const std::string pattern = SettingString(s.pattern);
    const double angle = SettingReal(s.angle);
    const double scale = s.scaleSlot >= 0 ? SettingReal(s.scaleSlot) : GetScaleFactor(s.scaleEntry);
    HatchSlabLoops(record, layer, angle, SlopeLength(scale, record.slope), pattern, kind);
}
