#include "roofs/roofs_module.h"

#include "roofs/slab_jig.h"

std::span<const CommandBinding> RoofsCommandBindings() {
    return {};
}

void RegisterRoofsModule() {
    VELM_COPJ::rxInit();
}

void UnregisterRoofsModule() {
    VELM_COPJ::rxUninit();
}
