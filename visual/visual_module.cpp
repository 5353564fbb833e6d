#include "visual/visual_module.h"

std::span<const CommandBinding> VisualCommandBindings() {
    return {};
}

void RegisterVisualModule() {}

void UnregisterVisualModule() {}
