#include "core/core_module.h"

#include "visual/model3d/hatch_cmds.h"
#include "core/help_cmd.h"

std::span<const CommandBinding> CoreCommandBindings() {
    static constexpr CommandBinding kBindings[] = {
        {"VELMHELP", &CmdVelmHelp},
        {"VELMHATCH3D", &CmdHatch3D},
        {"VELMHFLOOR", &CmdHatchFloor},
        {"VELMHWALL", &CmdHatchWall},
    };
    return kBindings;
}

void RegisterCoreModule() {}

void UnregisterCoreModule() {}
