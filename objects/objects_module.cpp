#include "objects/objects_module.h"

#include "host/rx/rxobject.h"
#include "objects/dialogs/dlg_par_obj.h"
#include "objects/placement/placement_preview.h"
#include "objects/placement/wall_cuts.h"

std::span<const CommandBinding> ObjectsCommandBindings() {
    static constexpr CommandBinding kBindings[] = {
        {"VELMWALLBRK", &CmdWallBreak},
    };
    return kBindings;
}

void RegisterObjectsModule() {
    VELM_PRJTRAVE::rxInit();
    VELM_PRJ::rxInit();
    zcrxBuildClassHierarchy();
}

void UnregisterObjectsModule() {
    VELM_PRJ::rxUninit();
    VELM_PRJTRAVE::rxUninit();
    ResetParameterDialogPlacement();
}
