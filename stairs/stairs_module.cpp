#include "stairs/stairs_module.h"

std::span<const CommandBinding> StairsCommandBindings() {
    return {};
}

void RegisterStairsModule() {}

void UnregisterStairsModule() {}
