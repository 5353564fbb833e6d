// The hip roof command.
#pragma once

// "VELMHIPROOF": one roof slab per edge of a closed outline, all at one
// slope, meeting in hips, valleys and ridges.
void CmdHipRoof();
