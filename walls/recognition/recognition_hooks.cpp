#include "walls/recognition/recognition_hooks.h"

#include <memory>

#include "walls/graph/pair_lines_hook.h"
#include "walls/recognition/defmuri.h"
#include "walls/recognition/defwall_cmd.h"

void SetRecognitionHooks() {
    SetWallRecognitionFactory([] { return std::make_unique<DEFMURI>(); });
    SetPairWallLinesHook([](DEFMURI& set, FaceEdge** pending) { set.PairWallLines(pending); });
}

void ClearRecognitionHooks() {
    SetPairWallLinesHook(nullptr);
    SetWallRecognitionFactory(nullptr);
}
