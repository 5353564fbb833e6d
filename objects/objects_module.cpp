#include "objects/objects_module.h"

#include "host/rx/rxobject.h"
#include "objects/dialogs/dlg_par_obj.h"
#include "objects/dialogs/run_memory.h"
#include "objects/drafting/grid_mesh.h"
#include "objects/drafting/opening_script.h"
#include "objects/drafting/symbol_insert.h"
#include "objects/placement/batch_param_cmds.h"
#include "objects/placement/catalog_cmd.h"
#include "objects/placement/dim_mover.h"
#include "objects/placement/fixed_markers.h"
#include "objects/placement/library_cmds.h"
#include "objects/placement/modify_regen.h"
#include "objects/placement/placement_preview.h"
#include "objects/placement/wall_cuts.h"
#include "objects/walledit/wall_delete.h"
#include "objects/walledit/wall_edit.h"
#include "settings/rescale.h"

std::span<const CommandBinding> ObjectsCommandBindings() {
    static constexpr CommandBinding kBindings[] = {
        {"VELMWALLBRK", &CmdWallBreak},
        {"VELMOBJECT", &CmdObject},
        {"VELMOBJECTF", &CmdObjectFile},
        {"VELMCOPYOBJ", &CmdCopyObject},
        {"VELMLIBRARY", &CmdLibrary},
        {"VELMGGROUP", &CmdLayerGroups},
        {"VELMOBJECTREP", &CmdObjectReplace},
        {"VELMSUBSTF", &CmdSubstituteFile},
        {"VELMTIPOF", &CmdEditParameterSets},
        {"VELMMODIFY", &CmdModify},
        {"CMD_ADD_S", &CmdSlideMenu},
        {"VELMPARAMAPPLY", &CmdParamApply},
        {"VELM2DSTAIR", &Cmd2DStair},
        {"VELMREINDEXLABEL", &CmdReindexLabel},
        {"VELMMOVEDIM", &CmdMoveDim},
        {"VELMFIXEDPON", &CmdFixedPointsOn},
        {"VELMFIXEDPOFF", &CmdFixedPointsOff},
        {"VELMFIXEDPCH", &CmdFixedPointChange},
        {"VELMCATBLOCK", &CmdCatalogBlock},
        {"VELMDELWALL", &CmdDelWall},
        {"VELMEDITWALL", &CmdEditWall},
        {"VELMWHOLE", &CmdWallHole},
        {"VELMMESH2D", &CmdMesh2D},
        {"VELMINS", &CmdInsertSymbol},
        {"VELMINB", &CmdInsertBlock},
    };
    return kBindings;
}

void RegisterObjectsModule() {
    SetRegenParamObjectHook(
        [](const ads_name entity, const AAR_LAYERC& layers, const char* kind, const double* options) {
            RegenParamObject(entity, layers, nullptr, -1, kind, options);
        });
    VELM_EMUROENT::rxInit();
    VELM_PRJTRAVE::rxInit();
    VELM_PRJ::rxInit();
    VELM_SQUOTAENT::rxInit();
    VELM_SPFISSIENT::rxInit();
    zcrxBuildClassHierarchy();
}

void UnregisterObjectsModule() {
    VELM_SPFISSIENT::rxUninit();
    VELM_SQUOTAENT::rxUninit();
    VELM_PRJ::rxUninit();
    VELM_PRJTRAVE::rxUninit();
    VELM_EMUROENT::rxUninit();
    SetRegenParamObjectHook(nullptr);
    ForgetRunMemory();
}
