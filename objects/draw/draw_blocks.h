// ARRAY..END_ARRAY and ROTATE..END_ROTATE: a group of drawing statements
// drawn N times, each copy moved by a constant offset and turned by a
// constant angle about a centre (with per-copy ARRAY_VARN variables), or
// drawn once moved and turned. Arrays nest; inside the blocks only a few
// statements are recognised and keyword lines must hold the keyword alone.
#pragma once

#include "core/geometry/geom_basic.h"
#include "core/layer_catalogue.h"
#include "objects/language/obj_context.h"

// RTNORM, or a negative code: -20 .. -27 for the header arguments, -1 a
// malformed ARRAY_VARN block or the text ending inside the body, -2 a
// per-copy evaluation or a nested array failed, -3 .. -15 the statements.
int RunArrayBlock(const Point3& offset, const Point3& centre, double angle, int groups, ObjContext& context,
                  const AAR_LAYERC& catalogue);
// RTNORM or -1.
int RunRotateBlock(ObjContext& context, const AAR_LAYERC& catalogue);

// The per-copy variables of an ARRAY_VARN..END_VARN block at the cursor
// (none when the block is absent); 1, or -1 with the list emptied.
int ParseArrayVarNBlock(ObjContext& context, ObjVarList& perCopy);
