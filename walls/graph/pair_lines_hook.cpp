#include "walls/graph/pair_lines_hook.h"

#include <utility>

#include "core/base/velm_assert.h"

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
    VELM_ASSERT(Hook());
    Hook()(set, pending);
}
