// What the walls subsystem adds to the host: the commands of the walls
// recognised from plain lines, the display entity class of that
// recognition, and the hooks through which the lower layers of the walls
// reach the wall-recognition set. module/ calls these at start-up and
// unload.
#pragma once

#include <span>

#include "core/command_table.h"

// The handlers of the subsystem's commands, by global name.
std::span<const CommandBinding> WallsCommandBindings();

// Registers the subsystem's classes, reactors and hooks; unload takes them
// back in the same order.
void RegisterWallsModule();
void UnregisterWallsModule();
