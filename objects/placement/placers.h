// The interactive placers: the object's drag outline follows the user, who
// moves and turns it, changes its fixed point or its parameters, and
// accepts; the position goes into the context (insertion point, elevation,
// rotation). The free placer serves free insertion types, the wall placers
// openings in straight and curved walls, the label placer labels and
// schedule symbols.
//
// Results: 1 placed; -1 cancelled (the position is unchanged); 1000 when
// "Zastąp" was chosen (free placer); 0 from the label placer when its point
// prompt was ended with Enter. In modification runs (run mode 1) Enter at
// the first prompt returns 1 and leaves the object where it was.
//
// `evaluationFactor` is passed to the evaluation of the variables after
// the parameter dialog.
#pragma once

#include "objects/language/obj_context.h"

int PlaceObjectInteractive(ObjContext& context, double evaluationFactor);
int PlaceOpeningOnLine(ObjContext& context, double elevation, double evaluationFactor);
int PlaceOpeningOnArc(ObjContext& context, double elevation, double evaluationFactor);
// The prompt text is the context's `replacementLayer`; the base point is
// host.basePoint when host.hasBasePoint.
int PlaceLabelObject(ObjContext& context, bool askRotation);
