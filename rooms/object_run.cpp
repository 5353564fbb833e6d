// The object run hook (see the header).
#include "rooms/object_run.h"

namespace {
ObjectRun g_run;
}

void SetObjectRunHook(const ObjectRun& run) {
    g_run = run;
}

const ObjectRun& ObjectRunHook() {
    return g_run;
}

int RunInsertParamObject(ObjContext& context, int flag, Point3* presetPoint) {
    context.flag1 = static_cast<std::uint8_t>(flag);
    if (!g_run.insertParamObject) return RTERROR;
    return g_run.insertParamObject(context, flag, presetPoint);
}

int RunPlaceParamObject(ObjContext& context) {
    if (!g_run.placeParamObject) return RTERROR;
    return g_run.placeParamObject(context);
}

int RunRegenParamObject(const ads_name entity, const AAR_LAYERC& layers) {
    if (!g_run.regenParamObject) return RTERROR;
    return g_run.regenParamObject(entity, layers);
}
