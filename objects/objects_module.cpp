#include "objects/objects_module.h"

#include "objects/dialogs/dlg_par_obj.h"

std::span<const CommandBinding> ObjectsCommandBindings() {
    return {};
}

void RegisterObjectsModule() {}

void UnregisterObjectsModule() {
    ResetParameterDialogPlacement();
}
