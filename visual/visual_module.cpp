#include "visual/visual_module.h"

#include "settings/preferences/pref_hooks.h"
#include "visual/model3d/wall3d_commands.h"
#include "visual/povray/pov_commands.h"

std::span<const CommandBinding> VisualCommandBindings() {
    static constexpr CommandBinding kBindings[] = {
        {"VELMWALL3D", &CmdWall3D},         {"VELMW3DFACE", &CmdW3DFace}, {"VELMVARW3D", &CmdVarWall3D},
        {"VELMPOVRAYD", &CmdPovRayD},       {"VELMPOVRAYF", &CmdPovRayF}, {"VELMPOVMAT", &CmdPovMat},
        {"VELMPOVOPTIONS", &CmdPovOptions},
    };
    return kBindings;
}

void RegisterVisualModule() {
    SetRegen3DWallsOfLevelHook(&Regen3DWallsOfLevel);
}

void UnregisterVisualModule() {
    SetRegen3DWallsOfLevelHook(nullptr);
}
