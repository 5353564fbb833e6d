// Module-wide values that every subsystem reads: the shared length tolerance
// and the module's own tolerance object of the geometry library, which the
// module passes to the library's comparisons. They change only when a
// drawing is loaded or becomes current.
#pragma once

#include "host/ge/gebase.h"

// Length tolerance of all geometric comparisons of the module.
extern double SharedTolerance;
// The module's tolerance object; both its values always equal SharedTolerance.
extern ZcGeTol ModuleGeomTol;

// Sets SharedTolerance and both values of ModuleGeomTol to the given length.
void SetSharedTolerance(double tolerance);
