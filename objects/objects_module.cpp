#include "objects/objects_module.h"

#include "objects/dialogs/dlg_par_obj.h"
#include "objects/dialogs/dlg_slide.h"
#include "settings/preferences/pref_hooks.h"

std::span<const CommandBinding> ObjectsCommandBindings() {
    return {};
}

void RegisterObjectsModule() {
    SetSlideDialogHook([](const std::string& imageName) {
        CDlgSlide slide;
        slide.SetImageName(imageName);
        slide.DoModal();
    });
}

void UnregisterObjectsModule() {
    SetSlideDialogHook(nullptr);
    ResetParameterDialogPlacement();
}
