// The roofs, slabs and profiles subsystem's registration: its commands
// (none yet) and its classes (the outline jig's preview entity).
#pragma once

#include <span>

#include "core/command_table.h"

std::span<const CommandBinding> RoofsCommandBindings();
void RegisterRoofsModule();
void UnregisterRoofsModule();
