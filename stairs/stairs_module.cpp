#include "stairs/stairs_module.h"

#include "host/rx/rxobject.h"
#include "stairs/commands/handrail_cmd.h"
#include "stairs/commands/stair_commands.h"
#include "stairs/commands/stair_jig.h"

std::span<const CommandBinding> StairsCommandBindings() {
    static constexpr CommandBinding kBindings[] = {
        {"VELMCREATESTAIR", &CmdCreateStair}, {"VELMSTAIRMODEL", &CmdStairModel},
        {"VELMEDITSTAIR", &CmdEditStair},     {"VELMSTAIRDEF", &CmdStairDef},
        {"VELMHANDRAIL", &CmdHandrail},
    };
    return kBindings;
}

void RegisterStairsModule() {
    VELM_OBJ_SCALAJ::rxInit();
    zcrxBuildClassHierarchy();
}

void UnregisterStairsModule() {
    VELM_OBJ_SCALAJ::rxUninit();
}
