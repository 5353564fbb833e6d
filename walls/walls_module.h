// The walls subsystem's registration: its commands, its display entity
// class, and the hooks through which the lower layers of the walls reach the
// wall-recognition set.
#pragma once

#include <span>

#include "core/command_table.h"

std::span<const CommandBinding> WallsCommandBindings();
void RegisterWallsModule();
void UnregisterWallsModule();
