// The walls subsystem's registration (see the header).
#include "walls/walls_module.h"

#include <memory>

#include "host/rx/rxobject.h"
#include "settings/rescale.h"
#include "walls/dblwall/dblwall_cmd.h"
#include "walls/drafting/break_cmds.h"
#include "walls/drafting/drawing_aids.h"
#include "walls/drafting/drawing_audit.h"
#include "walls/drafting/face_camera_cmds.h"
#include "walls/drafting/layer_cmds.h"
#include "walls/drafting/line_cleanup.h"
#include "walls/drafting/object_layer_change.h"
#include "walls/drafting/property_cmds.h"
#include "walls/drawing/velm_muroj.h"
#include "walls/drawing/wall_cmds.h"
#include "walls/editing/dlg_ddmuro.h"
#include "walls/graph/outline_cache.h"
#include "walls/graph/pair_lines_hook.h"
#include "walls/recognition/defmuri.h"
#include "walls/recognition/defwall_cmd.h"
#include "walls/recognition/velm_muroesterno.h"
#include "walls/recognition/wall_att_cmd.h"
#include "walls/types/dlg_strati.h"

std::span<const CommandBinding> WallsCommandBindings() {
    static constexpr CommandBinding kBindings[] = {
        {"VELMWALL", &CmdWall},
        {"VELMWALLD", &CmdWallD},
        {"VELMRWALL", &CmdRectWall},
        {"VELMLWALL", &CmdLayerWall},
        {"VELMDEFWALL", &CmdDefWall},
        {"VELMWALLATT", &CmdWallAtt},
        {"VELMDBLWALL", &CmdDblWall},
        {"VELMDEFMXT", &CmdDefMxt},
        {"VELMDDWALL", &CmdDDWall},
        {"VELMULINES", &CmdUnionLines},
        {"VELMJOINWALL", &CmdJoinWall},
        {"VELMCLEANL", &CmdCleanL},
        {"VELMCLEANT", &CmdCleanT},
        {"VELMCLEANX", &CmdCleanX},
        {"VELMAUDIT", &CmdAudit},
        {"VELMCHANGET", &CmdChangeText},
        {"VELMCHANGELT", &CmdChangeLinetype},
        {"VELMCHANGEL", &CmdChangeLayer},
        {"VELMCHANGEC", &CmdChangeColor},
        {"VELMBLA", &CmdBreakAlongPath},
        {"VELMBREAKA", &CmdBreakAtPoint},
        {"VELMBREAKX", &CmdBreakBetween},
        {"VELMPSURF", &CmdPlaneSurface},
        {"VELMDISTANCE", &CmdDistance},
        {"VELMOFFSETCL", &CmdOffsetCurrentLayer},
        {"VELMROTATEAS", &CmdRotateAbsolute},
        {"VELMROTSNAP", &CmdRotSnap},
        {"VELMLAYERISO", &CmdLayerIsolate},
        {"VELMLAYERDEL", &CmdLayerEmpty},
        {"VELMLAYEROFF", &CmdLayerOff},
        {"VELMLAYERFRZ", &CmdLayerFreeze},
        {"VELMOBJECTCL", &CmdObjectChangeLayer},
        {"VELMVISEDGE", &CmdVisEdge},
        {"VELMPERSP", &CmdPersp},
        {"VELMXLW3D", &CmdXlw3d},
        {"VELMWALLML", &CmdWallMl},
    };
    return kBindings;
}

void RegisterWallsModule() {
    VELM_MUROESTERNO::rxInit();
    VELM_MUROJ::rxInit();
    zcrxBuildClassHierarchy();
    SetWallRecognitionFactory([] { return std::make_unique<DEFMURI>(); });
    SetPairWallLinesHook([](DEFMURI& set, FaceEdge** pending) { set.PairWallLines(pending); });
    SetFloorWallLayersHook([](double) { return RedrawFloorWallLayers(); });
}

void UnregisterWallsModule() {
    DropKeptOutlines();
    CloseWallPalette();
    DropClosedWallPalette();
    SetFloorWallLayersHook(nullptr);
    SetPairWallLinesHook(nullptr);
    SetWallRecognitionFactory(nullptr);
    VELM_MUROJ::rxUninit();
    VELM_MUROESTERNO::rxUninit();
}
