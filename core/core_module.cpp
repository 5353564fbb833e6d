#include "core/core_module.h"

#include "core/help_cmd.h"

std::span<const CommandBinding> CoreCommandBindings() {
    static constexpr CommandBinding kBindings[] = {
        {"VELMHELP", &CmdVelmHelp},
    };
    return kBindings;
}

void RegisterCoreModule() {}

void UnregisterCoreModule() {}
