#include "roofs/roofs_module.h"

std::span<const CommandBinding> RoofsCommandBindings() {
    return {};
}

void RegisterRoofsModule() {}

void UnregisterRoofsModule() {}
