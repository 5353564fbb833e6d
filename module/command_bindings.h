// The module's command table joined with the handlers every subsystem has
// built (each lists them in its registration unit, `<Folder>CommandBindings`),
// and its registration with the host's command stack.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "core/command_table.h"

// The bindings of one subsystem; empty for an owner out of range.
std::span<const CommandBinding> CommandBindingsOf(CommandOwner owner);

// The table joined with every subsystem's bindings (built on first use).
const std::vector<CommandEntry>& CommandTable();

// The row of `CommandTable()` whose global name equals `globalName`
// ignoring case; null when there is none.
const CommandEntry* FindCommand(std::string_view globalName);

// The rows of `CommandTable()` that have no handler yet, in table order.
std::vector<const CommandEntry*> CommandsWithoutHandler();

// Adds every command of `CommandTable()` that has a handler to `sink`, in
// table order, in the group "VELM7".
void RegisterCommands(CommandSink& sink);
