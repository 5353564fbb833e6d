// The walls subsystem's registration: its commands and its classes.
#pragma once

#include <span>

#include "core/command_table.h"

std::span<const CommandBinding> WallsCommandBindings();
// The wall segment preview entity, VELM_MUROJ.
void RegisterWallsModule();
void UnregisterWallsModule();
