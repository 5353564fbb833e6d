<<<<<<< HEAD
// The walls subsystem's registration: its commands and its classes.
=======
// What the walls subsystem adds to the host: the commands of the walls
// recognised from plain lines, the display entity class of that
// recognition, and the hooks through which the lower layers of the walls
// reach the wall-recognition set. module/ calls these at start-up and
// unload.
>>>>>>> walls3
#pragma once

#include <span>

#include "core/command_table.h"

std::span<const CommandBinding> WallsCommandBindings();
// The wall segment preview entity, VELM_MUROJ.
void RegisterWallsModule();
void UnregisterWallsModule();
