// Storage of the module-wide values. The tolerance starts with a usable
// value so that the toolkit works before the first drawing is loaded; drawing
// load sets it again.
#include "core/base/module_state.h"

double SharedTolerance = 0.001;
ZcGeTol ModuleGeomTol{0.001, 0.001};

void SetSharedTolerance(double tolerance) {
    SharedTolerance = tolerance;
    ModuleGeomTol.setEqualPoint(tolerance);
    ModuleGeomTol.setEqualVector(tolerance);
}
