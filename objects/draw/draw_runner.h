// The DRAW section runner: executes the drawing statements of an object's
// definition once, into one new anonymous block definition, then draws the
// fixed-point marker and the hatches the HATCH statements collected. Points
// are block coordinates: placement belongs to the insert.
#pragma once

#include "core/layer_catalogue.h"
#include "objects/language/obj_context.h"

// Failure codes of the statements as the runner reports them; an ARRAY
// reports its own code minus 100.
enum DrawSectionCode : int {
    kDrawRotateFailed = -2,
    kDrawPfaceFailed = -3,
    kDraw3dFaceFailed = -4,
    kDrawLineFailed = -5,
    kDrawCircleFailed = -6,
    kDrawArcFailed = -7,
    kDrawTextFailed = -8,
    kDrawHatchFailed = -9,
    kDrawDimFailed = -10,
    kDrawAttdefFailed = -11,
    kDrawTextNsFailed = -12,
    kDrawPlineFailed = -13,
    kDrawPolygonFailed = -14,  // SPOLIG and LWPLINE
    kDrawTextEnded = -1000,
    // The run passed a bound of obj_limits.h: its message is printed and
    // nothing was drawn.
    kDrawRunRefused = -2000,
};

// The cursor stands after the "DRAW" line (or after the layer line that
// follows it). 1, or the last ARRAY result (RTNORM) when the section has
// one; a negative code on failure. On success only, the context's block
// name holds the new block's name. A run refused for its size
// (kDrawRunRefused) leaves no block at all; another failure leaves the
// block of what was drawn before it.
int RunDrawBlock(ObjContext& context, const AAR_LAYERC& catalogue);

// Six lines on "VELM_FIXEDP_X" (a square of SET_DIMQPFISSO with its
// diagonals) about the context's current fixed point, into whatever is
// being defined; nothing for insertion types 13 and 21 to 26.
void DrawFixedPointMarker(ObjContext& context, const AAR_LAYERC& catalogue);
