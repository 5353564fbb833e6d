// The roof point editing command and the slab pick it shares.
#pragma once

#include "host/util/adscodes.h"

class AJIG_COP;
class CFALDA;

// Asks for a slab or profile ("\nWybierz płytę lub profil:", or the
// pick-first selection when allowed) and loads it into a record cleared
// first and into the jig, its name in `entity`. False when nothing was
// picked, when the slab xdata has no name, or when the outline has no plane.
bool SelectSlabOrProfile(AJIG_COP& jig, CFALDA& record, bool useImplied, ads_name entity);
// Collects the vertices to move into the jig's chosen list, each marked with
// a cross; mode 0 for Enter, -1 for "Zmień", -2 for "Wstaw" (the last two
// with nothing chosen). False on a cancel or an error.
bool EditSlabPointsLoop(AJIG_COP& jig, int& mode);

// "VELMEDITROOFP": vertices of slabs and roof pitches moved group after
// group, or inserted into their edges, each change written at once.
void CmdEditRoofPoints();
