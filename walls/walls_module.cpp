#include "walls/walls_module.h"

std::span<const CommandBinding> WallsCommandBindings() {
    return {};
}

void RegisterWallsModule() {}

void UnregisterWallsModule() {}
