// The layer commands: the layers of picked objects kept visible and every
// other switched off ("VELMLAYERISO"), every object of a layer erased
// ("VELMLAYERDEL"), the layer of a picked object switched off
// ("VELMLAYEROFF") or frozen ("VELMLAYERFRZ", in the current viewport only
// when in a layout). Picks are nested: an object inside a block gives its
// own layer.
#pragma once

// "VELMLAYERISO"
void CmdLayerIsolate();
// "VELMLAYERDEL"
void CmdLayerEmpty();
// "VELMLAYEROFF"
void CmdLayerOff();
// "VELMLAYERFRZ"
void CmdLayerFreeze();
