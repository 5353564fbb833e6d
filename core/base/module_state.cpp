// Storage of the module-wide values. Pi and the tolerance start with usable
// values so that the toolkit works before the first drawing is loaded; start-up
// and drawing load set them again.
#include "core/base/module_state.h"

#include <cmath>

double SharedTolerance = 0.001;
double PiValue = std::acos(-1.0);
ZcGeTol ModuleGeomTol{0.001, 0.001};

void SetSharedTolerance(double tolerance) {
    SharedTolerance = tolerance;
    ModuleGeomTol.setEqualPoint(tolerance);
    ModuleGeomTol.setEqualVector(tolerance);
}
