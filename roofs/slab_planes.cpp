// Slab planes: a point put on a plane, the slope of an outline, the loops
// of a slab put on a plane, and the drawing's unit factor.
#include "roofs/slab_planes.h"

#include <cmath>

#include "core/base/module_state.h"
#include "core/geometry/matrix4.h"
#include "core/geometry/polygon.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

bool PlaneZ(double a, double b, double c, double d, double x, double y, double& z) {
    if (!(std::fabs(c) >= GeomEpsilon)) return false;
    const double value = -(a * x + b * y + d) / c;
    if (!std::isfinite(value)) return false;
    z = value;
    return true;
}

double GetLoopSlope(const VertexNode* list, int& kind) {
    kind = 1;
    double a = 0, b = 0, c = 0, d = 0;
    if (!list || !PolygonNormal(list, a, b, c, d) || std::fabs(c) < GeomEpsilon) {
        kind = -1;
        return 0.0;
    }
    const double r = std::sqrt(a * a + b * b) / std::fabs(c);
    if (r <= GeomEpsilon) {
        kind = 2;
        return -d / c;
    }
    return 100.0 * r;
}

void SetLoopsZFromPlane(ContourNode* loops, double a, double b, double c, double d) {
    if (std::fabs(c) < GeomEpsilon) return;
    for (ContourNode* k = loops; k; k = k->next)
        for (VertexNode* v = k->vertices; v; v = v->next) PlaneZ(a, b, c, d, v->x, v->y, v->z);
}

double SettingsUnitFactor() {
    double value = 1.0;
    const int slot = SetupVar::SFTMTCM;
    if (!GetVarReal(&slot, &value)) value = 1.0;
    return value;
}
