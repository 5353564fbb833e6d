#include "rooms/rooms_module.h"

#include <array>

#include "rooms/polydeduct_cmd.h"

namespace {

constexpr std::array<CommandBinding, 1> kBindings{{
    {"VELMPOLYDEDUCT", &VelmPolyDeduct},
}};

}  // namespace

std::span<const CommandBinding> RoomsCommandBindings() {
    return kBindings;
}

void RegisterRoomsModule() {}

void UnregisterRoomsModule() {}
