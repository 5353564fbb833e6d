#include "rooms/rooms_module.h"

std::span<const CommandBinding> RoomsCommandBindings() {
    return {};
}

void RegisterRoomsModule() {}

void UnregisterRoomsModule() {}
