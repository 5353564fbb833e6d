// The preference pages' hooks.
#include "settings/preferences/pref_hooks.h"

#include <utility>

#include "core/base/velm_assert.h"

namespace {
Regen3DWallsOfLevelHook& WallsHook() {
    static Regen3DWallsOfLevelHook hook;
    return hook;
}
LabelTemplateNameHook& NameHook() {
    static LabelTemplateNameHook hook;
    return hook;
}
}  // namespace

void SetRegen3DWallsOfLevelHook(Regen3DWallsOfLevelHook hook) {
    WallsHook() = std::move(hook);
}
void RegenerateWallsOfLevel(double elevation, double height, int edgeMode) {
    VELM_ASSERT(WallsHook());
    WallsHook()(elevation, height, edgeMode);
}

void SetLabelTemplateNameHook(LabelTemplateNameHook hook) {
    NameHook() = std::move(hook);
}
std::string MappedLabelTemplateName(const std::string& name) {
    VELM_ASSERT(NameHook());
    return NameHook()(name);
}
