#include "walls/walls_module.h"

#include <memory>

#include "walls/graph/pair_lines_hook.h"
#include "walls/recognition/defmuri.h"
#include "walls/recognition/defwall_cmd.h"
#include "walls/recognition/velm_muroesterno.h"
#include "walls/recognition/wall_att_cmd.h"

std::span<const CommandBinding> WallsCommandBindings() {
    static constexpr CommandBinding kBindings[] = {
        {"VELMDEFWALL", &CmdDefWall},
        {"VELMWALLATT", &CmdWallAtt},
    };
    return kBindings;
}

void RegisterWallsModule() {
    VELM_MUROESTERNO::rxInit();
    SetWallRecognitionFactory([] { return std::make_unique<DEFMURI>(); });
    SetPairWallLinesHook([](DEFMURI& set, FaceEdge** pending) { set.PairWallLines(pending); });
}

void UnregisterWallsModule() {
    SetPairWallLinesHook(nullptr);
    SetWallRecognitionFactory(nullptr);
    VELM_MUROESTERNO::rxUninit();
}
