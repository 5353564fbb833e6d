// What the settings subsystem adds to the host: the nine named settings objects of the drawing and the
// settings, floor and view-mode commands. module/ calls these at start-up and unload.
#pragma once

#include <span>

#include "core/command_table.h"

// The handlers of the subsystem's commands, by global name.
std::span<const CommandBinding> SettingsCommandBindings();

// Registers the subsystem's classes, reactors and hooks; unload takes them
// back in the same order.
void RegisterSettingsModule();
void UnregisterSettingsModule();
