// What the two status-bar panes show, and its refresh: the floor and
// view-mode commands refresh the panes after a change, while the panes
// themselves (panes.h) sit above those commands, whose menus run them.
#pragma once

#include <optional>
#include <string>

#include "host/ed/statusbar.h"

inline constexpr const char* kFloorPaneLabel = "Bieżąca podłoga:";

// Decimals of an elevation label for the drawing-unit factor: 1 for
// centimetres and larger units, 2 for decimetres, 3 for metres; 1 when the
// factor is not positive.
int ElevationDecimals(double sftmtcm);
std::string FloorPaneText(double sqpav, double sftmtcm);
// "Widok:2D", "Widok:3D", "Widok:2D+3D"; none for another mode.
std::optional<std::string> ViewPaneText(int vxdstate);

// The panes while they are on the bar, null otherwise (panes.h makes and
// removes them).
ZcPane*& FloorPaneSlot();
ZcPane*& ViewPaneSlot();
// The pane's text from the current drawing's settings; nothing while the
// pane is not on the bar.
void UpdateFloorPane();
void UpdateViewPane();
