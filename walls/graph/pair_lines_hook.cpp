#include "walls/graph/pair_lines_hook.h"

#include <utility>

namespace {

PairWallLinesHook& Hook() {
    static PairWallLinesHook hook;
    return hook;
}

}  // namespace

void SetPairWallLinesHook(PairWallLinesHook hook) {
    Hook() = std::move(hook);
}

void PairWallLines(DEFMURI& set, FaceEdge** pending) {
    if (Hook()) Hook()(set, pending);
}
