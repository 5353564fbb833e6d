#include "walls/editing/wall3d_hook.h"

#include <utility>

namespace {

struct Wall3DHooks {
    Erase3DFacesOnSegmentHook erase;
    Regen3DWallsAtLineHook regen;
};

Wall3DHooks& Hooks() {
    static Wall3DHooks hooks;
    return hooks;
}

}  // namespace

void SetWall3DRefreshHooks(Erase3DFacesOnSegmentHook erase, Regen3DWallsAtLineHook regen) {
    Hooks().erase = std::move(erase);
    Hooks().regen = std::move(regen);
}

void Erase3DFacesOnWallSegment(const Point3& a, const Point3& b, double level) {
    if (Hooks().erase) Hooks().erase(a, b, level);
}

void Regen3DWallsAtLine(const ads_name line, double level) {
    if (Hooks().regen) Hooks().regen(line, level);
}
