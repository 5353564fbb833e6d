// The view-mode operations on the current drawing and their commands:
// applying a mode (to the layers in model space, to the current viewport
// in paper space), re-applying it when TILEMODE changes or the viewing
// direction changes, VELMVXD, and the plate lists of VELMROOFV and
// VELMFLOORV. Each reads its list file from the support path when called.
#pragma once

#include <optional>
#include <string>

#include "settings/floors.h"
#include "settings/viewmode.h"

// The lists of "VXD.LST"; none (and the missing-file message printed) when
// the file cannot be had.
std::optional<VxdLists> LoadVxdLists();

// Applies a mode ('2', '3' or 'E') for the given TILEMODE. Nothing while
// paper space itself is current (CVPORT 1).
void ApplyViewMode(int tilemode, int mode, int apply = 1);

// Shows or hides one floor in the current viewport (paper space).
void ApplyFloorToCurrentViewport(const AA_PIANO& floor, const VELM_PIANI& floors);
// Pushes the floors' flags: to the layers when `tilemode` is not 0, else to
// the current viewport floor by floor.
void ApplyFloorFlags(const VELM_PIANI& floors, int tilemode);

// After TILEMODE changed (the editor reactor's change of "tilemode"):
// entering paper space thaws every floor and listed layer so that each
// viewport can freeze its own; returning re-applies the floors and mode.
void OnTilemodeChanged(const std::string& variable);

// After a change of viewing direction, when SETMODVISTA is on: 2D for a
// plan view, 3D otherwise.
void RefreshViewMode();

// The shared body of VELMROOFV and VELMFLOORV.
void ToggleLayerList(const std::string& fileName, const std::string& prompt);

void CmdViewMode();     // VELMVXD
void CmdRoofPlates();   // VELMROOFV
void CmdFloorPlates();  // VELMFLOORV
