#include "visual/visual_module.h"

#include "settings/preferences/pref_hooks.h"
#include "visual/model3d/hatch_cmds.h"
#include "visual/model3d/wall3d_commands.h"
#include "visual/model3d/wall_sides.h"
#include "visual/povray/pov_commands.h"
#include "visual/views/view_commands.h"
#include "visual/vrml/vrml_dialog.h"
#include "visual/vrml/vrml_out.h"

std::span<const CommandBinding> VisualCommandBindings() {
    static constexpr CommandBinding kBindings[] = {
        {"VELMWALL3D", &CmdWall3D},         {"VELMW3DFACE", &CmdW3DFace}, {"VELMVARW3D", &CmdVarWall3D},
        {"VELMPOVRAYD", &CmdPovRayD},       {"VELMPOVRAYF", &CmdPovRayF}, {"VELMPOVMAT", &CmdPovMat},
        {"VELMPOVOPTIONS", &CmdPovOptions}, {"VELMWRLOUT", &CmdWrlOut},   {"VELMWRLMAT", &CmdWrlMat},
        {"VELMGENVIEW", &CmdGenView},       {"VELMSELVIEW", &CmdSelView}, {"VELMREGENVIEW", &CmdRegenView},
        {"VELMHATCH3D", &CmdHatch3D},       {"VELMHWALL", &CmdHatchWall}, {"VELMHFLOOR", &CmdHatchFloor},
    };
    return kBindings;
}

void RegisterVisualModule() {
    SetRegen3DWallsOfLevelHook(&Regen3DWallsOfLevel);
}

void UnregisterVisualModule() {
    SetRegen3DWallsOfLevelHook(nullptr);
}
