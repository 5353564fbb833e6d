// What follows the current drawing: the shared tolerance, taken from the
// drawing's unit when it is loaded or becomes current, and the module's
// status-bar panes, which show its current floor and view mode.
#pragma once

// SharedTolerance (and the module's geometry tolerance) from the working
// drawing's SFTMTCM times 0.001; 0.001 when it cannot be read.
void SetToleranceFromDrawing();

// The current-floor and view-mode panes of the status bar.
void AddModulePanes();
void RemoveModulePanes();
void RefreshModulePanes();
