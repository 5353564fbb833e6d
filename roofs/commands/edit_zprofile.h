// The Z-profile editing command.
#pragma once

// "VELMEZPROF": one Z-profile shown in its dialog, then the edit the dialog
// was closed with (properties, the plan tilted about fixed points, an
// opening added or deleted, vertices deleted, the slope changed), the
// profile rewritten in place.
void CmdEditZProfile();
