// The property-change commands: text height or style, linetype, layer and
// colour of a selection, the new value typed or copied from a picked object.
// Each rewrites one group of every object's entity list (its xdata kept)
// and modifies it through the host.
#pragma once

// "VELMCHANGET"
void CmdChangeText();
// "VELMCHANGELT"
void CmdChangeLinetype();
// "VELMCHANGEL"
void CmdChangeLayer();
// "VELMCHANGEC"
void CmdChangeColor();
