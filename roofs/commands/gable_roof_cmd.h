// The gable roof command.
#pragma once

// "VELMGROOF": a two-pitch roof from the two ends of the gutter side and a
// point on the opposite side, optionally with front slabs (four slabs).
void CmdGableRoof();
