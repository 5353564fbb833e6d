// What the walls subsystem adds to the host: the wall drawing and wall
// recognition commands, the preview and display entity classes of the wall
// jig and of the recognition, and the hooks through which the lower layers
// of the walls reach the wall-recognition set. module/ calls these at
// start-up and unload.
#pragma once

#include <span>

#include "core/command_table.h"

std::span<const CommandBinding> WallsCommandBindings();
void RegisterWallsModule();
void UnregisterWallsModule();
