// The object run of the room and schedule writers (see the header).
#include "objects/placement/object_run.h"

#include <cstdint>

#include "objects/placement/insert_run.h"
#include "objects/placement/modify_regen.h"

int RunInsertParamObject(ObjContext& context, int flag, Point3* presetPoint) {
    context.flag1 = static_cast<std::uint8_t>(flag);
    // The preset point is only the base of the placement prompt: a run
    // without a prompt (a label drawn again) keeps the insertion point the
    // caller gave rather than jumping to the room's interior point.
    if (presetPoint) {
        context.host.basePoint = *presetPoint;
        context.host.hasBasePoint = true;
    }
    InsertParamObject(context, nullptr, nullptr, 1);
    if (presetPoint) presetPoint->z = context.insertionPoint[2];
    return context.blockName.empty() ? RTERROR : RTNORM;
}

int RunPlaceParamObject(ObjContext& context) {
    PlaceParamObject(context, *SharedLayerDefFile(context.layerDefFile), nullptr);
    return context.blockName.empty() ? RTERROR : RTNORM;
}

int RunRegenParamObject(const ads_name entity, const AAR_LAYERC& layers) {
    RegenParamObject(entity, layers, nullptr, -1, nullptr, nullptr);
    return RTNORM;
}
