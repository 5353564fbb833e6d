// The two drawing settings that decide how layers are named and shown: the
// levels switch `VELMLAYERQP` (non-zero: layer names carry no level and
// every level reads as 0) and the view mode `VXDSTATE` ('2' 2D, '3' 3D,
// 'E' both), and the drawing's list of 2D wall layers. Read afresh on each
// call from the current drawing's settings objects (made with their
// defaults when missing); when they cannot be opened: levels on, a view
// mode of 0 that hides nothing, and no wall layers.
#pragma once

#include <string>
#include <vector>

// True when the current drawing's layer names carry no level.
bool LevelsSwitchedOff();
// The current drawing's view mode: 50 ('2'), 51 ('3') or 69 ('E'); 0
// when it cannot be read.
int CurrentViewMode();

constexpr int kViewMode2D = 50;
constexpr int kViewMode3D = 51;
constexpr int kViewModeBoth = 69;
// The 2D wall-layer names of the current drawing, in their order.
std::vector<std::string> DrawingWallLayers();
