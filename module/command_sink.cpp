// Adapter from the command table to the host's command stack.
#include "module/command_sink.h"

#include "host/ed/cmdstack.h"
#include "host/rx/rxobject.h"

ZcEdCommandStack* RegisteredCommandStack() {
    return ZcEdCommandStack::cast(zcrxSysRegistry()->at("ZCAD_REGISTERED_COMMANDS"));
}

void HostCommandSink::addCommand(const char* group, const char* globalName, const char* localName, int flags,
                                 CommandHandler handler) {
    ZcEdCommandStack* stack = RegisteredCommandStack();
    if (!stack || stack->addCommand(group, globalName, localName, flags, handler, nullptr, -1, nullptr,
                                    nullptr) != eEdOk)
        ++refused_;
}

void RemoveModuleCommands() {
    if (ZcEdCommandStack* stack = RegisteredCommandStack()) stack->removeGroup(kCommandGroup);
}
