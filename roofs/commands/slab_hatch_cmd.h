// The slab hatching command.
#pragma once

// "VELMHROOF": hatches a slab, roof pitch or Z-profile with the pattern of
// its kind, or renews the hatch it has, the pattern stretched by the slope.
void CmdHatchSlab();
