#include "module/current_drawing.h"

#include "core/base/module_state.h"
#include "settings/panes.h"
#include "store/settings_store.h"

void SetToleranceFromDrawing() {
    SetSharedTolerance(DrawingUnitFactor() * 0.001);
}

void AddModulePanes() {
    CreateFloorPane();
    CreateViewPane();
}

void RemoveModulePanes() {
    RemoveFloorPane();
    RemoveViewPane();
}

void RefreshModulePanes() {
    UpdateFloorPane();
    UpdateViewPane();
}
