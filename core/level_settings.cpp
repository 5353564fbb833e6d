// Reads the levels switch and the view mode from the current drawing's
// settings store.
#include "core/level_settings.h"

// Interim: the drawing's settings store is not reachable from here yet, so
// the defaults of a new drawing hold (levels on, both views).
bool LevelsSwitchedOff() { return false; }
int CurrentViewMode() { return kViewModeBoth; }
std::vector<std::string> DrawingWallLayers() { return {"2DWALLS"}; }
