// What the roofs subsystem adds to the host: the slab, roof, profile and
// hatching commands and the outline jig's preview entity class. module/
// calls these at start-up and unload.
#pragma once

#include <span>

#include "core/command_table.h"

// The handlers of the subsystem's commands, by global name.
std::span<const CommandBinding> RoofsCommandBindings();

// Registers the subsystem's classes, reactors and hooks; unload takes them
// back in the same order.
void RegisterRoofsModule();
void UnregisterRoofsModule();
