// What the rooms subsystem adds to the host: its commands.
// module/ calls these at start-up and unload.
#pragma once

#include <span>

#include "core/command_table.h"

// The handlers of the subsystem's commands, by global name.
std::span<const CommandBinding> RoomsCommandBindings();

// Registers the subsystem's classes, reactors and hooks; unload takes them
// back in the same order.
void RegisterRoomsModule();
void UnregisterRoomsModule();
