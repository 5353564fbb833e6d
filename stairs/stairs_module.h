// What the stairs subsystem adds to the host: the stair commands and the
// preview entity of the stair path jig.
// module/ calls these at start-up and unload.
#pragma once

#include <span>

#include "core/command_table.h"

// The handlers of the subsystem's commands, by global name.
std::span<const CommandBinding> StairsCommandBindings();

// Registers the subsystem's classes, reactors and hooks; unload takes them
// back in the same order.
void RegisterStairsModule();
void UnregisterStairsModule();
