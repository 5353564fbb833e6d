// The slab editing command.
#pragma once

// "VELMEDITSLABS": one slab or roof pitch shown in its dialog, then the
// edit the dialog was closed with (properties, vertices moved in plan or
// the slab tilted, an opening or a vertex added or deleted, the slope
// changed, sides hidden), the slab rewritten in place.
void CmdEditSlabs();
