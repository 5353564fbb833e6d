#include "objects/objects_module.h"

std::span<const CommandBinding> ObjectsCommandBindings() {
    return {};
}

void RegisterObjectsModule() {}

void UnregisterObjectsModule() {}
