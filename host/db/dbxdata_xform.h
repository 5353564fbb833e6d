// The extended data that follows its entity through a transform, as the
// platform carries it when an editing command moves, turns or stretches
// the entity: world positions (1011) take the whole transform, world
// displacements (1012) its linear part, world directions (1013) its
// linear part kept at unit length, distances (1041) and scale factors
// (1042) its scale. Other items stay as they are.
#pragma once

#include "host/db/dbobject.h"
#include "host/db/dbxform.h"

// The object is open for write; nothing is written when no item moves.
void zcdbTransformXData(ZcDbObject* object, const ZcDbXform& xform);
