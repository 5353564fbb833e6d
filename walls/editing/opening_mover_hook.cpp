#include "walls/editing/opening_mover_hook.h"

#include <utility>

namespace {

WallOpeningMoverFactory& Factory() {
    static WallOpeningMoverFactory factory;
    return factory;
}

}  // namespace

void SetWallOpeningMoverFactory(WallOpeningMoverFactory factory) {
    Factory() = std::move(factory);
}

std::unique_ptr<WallOpeningMover> PrepareWallOpening(const OutlineNode& outline, double level) {
    return Factory() ? Factory()(outline, level) : nullptr;
}
