// Reads the levels switch, the view mode and the wall layers from the
// current drawing's settings objects, afresh on each call.
#include "core/level_settings.h"

#include "store/settings_store.h"
#include "store/setup_slots.h"

bool LevelsSwitchedOff() {
    return SettingInt(SetupVar::VELMLAYERQP) != 0;
}

// An unreadable store reads 0, which hides nothing.
int CurrentViewMode() {
    return SettingInt(SetupVar::VXDSTATE);
}

std::vector<std::string> DrawingWallLayers() {
    ZcDbObjectPointer<VELM_LAYERMURI> walls(OpenLayerMuriObject());
    if (!walls) return {};
    return walls->entries;
}
