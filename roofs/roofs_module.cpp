#include "roofs/roofs_module.h"

#include "roofs/commands/edit_roof_points.h"
#include "roofs/commands/edit_slabs.h"
#include "roofs/commands/edit_zprofile.h"
#include "roofs/commands/floor_slab.h"
#include "roofs/commands/gable_roof_cmd.h"
#include "roofs/commands/girder_cmds.h"
#include "roofs/commands/hip_roof_cmd.h"
#include "roofs/commands/join_slabs.h"
#include "roofs/commands/profile_cmd.h"
#include "roofs/commands/roof_slab.h"
#include "roofs/commands/slab_hatch_cmd.h"
#include "roofs/commands/zprofile.h"
#include "roofs/slab_jig.h"

std::span<const CommandBinding> RoofsCommandBindings() {
    static constexpr CommandBinding kBindings[] = {
        {"VELMFSLAB", &CmdFloorSlab},          {"VELMR3D", &CmdRoofSlab},
        {"VELMHIPROOF", &CmdHipRoof},          {"VELMGROOF", &CmdGableRoof},
        {"VELMZPROF", &CmdZProfile},           {"VELMHROOF", &CmdHatchSlab},
        {"VELMGIRDER", &CmdGirders},           {"VELMRGIRDER", &CmdRebuildGirders},
        {"VELMGPROF", &CmdProfileSweep},       {"VELMEDITSLABS", &CmdEditSlabs},
        {"VELMEDITROOFP", &CmdEditRoofPoints}, {"VELMJ3SLABS", &CmdJoin3Slabs},
        {"VELMEZPROF", &CmdEditZProfile},
    };
    return kBindings;
}

void RegisterRoofsModule() {
    VELM_COPJ::rxInit();
}

void UnregisterRoofsModule() {
    VELM_COPJ::rxUninit();
}
