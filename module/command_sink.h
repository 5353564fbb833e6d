// The module's side of the host's command stack: registration goes to the
// stack that the system registry holds under "ZCAD_REGISTERED_COMMANDS",
// looked up again for every command (a module never keeps a host service
// across calls), and the whole group is removed from it at unload.
#pragma once

#include "core/command_table.h"

class ZcEdCommandStack;

// The command stack of the system registry; null when the host has none.
ZcEdCommandStack* RegisteredCommandStack();

class HostCommandSink : public CommandSink {
public:
    // Adds a command as the table gives it: no UI context, function code
    // -1, no resource handle, no command record asked for.
    void addCommand(const char* group, const char* globalName, const char* localName, int flags,
                    CommandHandler handler) override;
    // Commands the host refused (a name already in the group, no stack).
    int refused() const { return refused_; }

private:
    int refused_ = 0;
};

// Removes the group "VELM7" from the host's command stack.
void RemoveModuleCommands();
