// The walls subsystem's registration (see the header).
//
// "VELMWALL" and the wall jig's "Opcje" wait for the 2D wall options
// dialog; the other drawing commands need none of it.
#include "walls/walls_module.h"

#include "host/rx/rxobject.h"
#include "walls/dblwall/dblwall_cmd.h"
#include "walls/drawing/velm_muroj.h"
#include "walls/drawing/wall_cmds.h"
#include "walls/types/dlg_strati.h"

std::span<const CommandBinding> WallsCommandBindings() {
    static constexpr CommandBinding kBindings[] = {
        {"VELMWALLD", &CmdWallD},     {"VELMRWALL", &CmdRectWall}, {"VELMLWALL", &CmdLayerWall},
        {"VELMDBLWALL", &CmdDblWall}, {"VELMDEFMXT", &CmdDefMxt},
    };
    return kBindings;
}

void RegisterWallsModule() {
    VELM_MUROJ::rxInit();
    zcrxBuildClassHierarchy();
}

void UnregisterWallsModule() {
    VELM_MUROJ::rxUninit();
}
