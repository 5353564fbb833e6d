// What the slab and profile editors share: the pick of the element to edit
// (the pick-first selection or a prompt), the element loaded into a record
// and into the outline jig, and the edits that run in the jig (vertices
// moved, inserted and deleted, an opening added, the slope turned about a
// fixed vertex). Each edit changes the jig's loops; the caller rewrites the
// element from them.
#pragma once

#include <functional>

#include "host/util/adscodes.h"

class AJIG_COP;
class CFALDA;

// The slab xdata of an entity as the editors judge it.
struct SlabXDataInfo {
    bool present = false;  // "VELM5$_$VFALDA-" on the entity
    bool named = false;    // with its name (group 1000)
    bool flagged = false;  // with its flag word (group 1070)
    int flagWord = 0;
};
SlabXDataInfo InspectSlabXData(const ads_name entity);

// What the check of a picked entity decides.
enum class PickVerdict { Take, AskAgain, Fail };

// Takes the pick-first selection of exactly one entity when useImplied is
// set (the selection is then cleared), else asks with `prompt` until an
// entity is picked: a missed pick asks again, a cancel or another error
// gives false. `check` (entity, taken from the pick-first selection) judges
// it and prints its own messages.
bool PickSlabEntity(const char* prompt, bool useImplied,
                    const std::function<PickVerdict(const ads_name, bool)>& check, ads_name entity);

// Loads the slab `entity` into a record cleared first (name, edge key,
// thickness, flags, loops, hatch) and its loops into the jig; the jig
// gets the outline's plane, the slope in percent (slopePercent), the
// height above the floor of a level slab (offset), the floor elevation
// (elevation) and kind 4 (points put on the plane). False, with
// "\nNie można obliczyć płaszczyzny płyty", when the outline has no plane
// (|c| below the single-precision epsilon counts as none).
bool LoadSlabForEdit(const ads_name entity, CFALDA& record, AJIG_COP& jig);
// The plane of the jig's outline into its a, b, c, d; false for none.
bool ComputeJigPlane(AJIG_COP& jig);
// The record's slope (degrees) from the jig's outline as it now lies, so
// the faces' vertical thickness follows the plane the edit left.
void SyncSlopeFromLoops(CFALDA& record, const AJIG_COP& jig);
void PrintNoSlabPlane();

// The chosen vertices dragged from a base point the user gives; false on a
// cancel (the loops may then be half moved: the caller must not write them).
bool DragChosenVertices(AJIG_COP& jig);
// Vertices inserted into edges and dragged, the slab rewritten after each;
// the slab's hatch is taken off first and made once again at the end.
void InsertSlabVertices(AJIG_COP& jig, CFALDA& record, const ads_name entity, double floorElevation);
// Vertices deleted one by one; false on a cancel.
bool DeleteSlabVertices(AJIG_COP& jig);
// An opening entered in the jig and appended as the last loop; false (the
// loops as they were) on a cancel or with fewer than three points.
bool AddSlabOpening(AJIG_COP& jig);
// The plane turned about a vertex the user picks to `slopePercent`; false,
// with its message for a level slab, when nothing changed.
bool ChangeSlabSlope(AJIG_COP& jig, double slopePercent);

// The height of a level element after its dialog: a floor-linked one
// (linkedToFloor) stands `height` above its floor, and one linked only now (not
// `wasLinked`) above the current floor (SQPAV), which becomes `floor`.
double HeightOverFloor(const CFALDA& record, bool wasLinked, double& floor, double height);

// Runs one of the edits both editing dialogs close with (SlabEditAction)
// on the jig; true when the element is to be rewritten, false too for an
// action of one editor's own. Accept lays a level element's vertices at `height`; a tilt through three
// fixed points leaves the element unlinked from its floor (linkedToFloor off,
// `floor` 0).
bool RunSharedSlabEdit(int action, AJIG_COP& jig, CFALDA& record, double& floor, double height,
                       double slopePercent);
// The element rewritten over `floor` from the jig's loops, its slope taken
// from them as they now lie.
void RewriteEditedSlab(CFALDA& record, const AJIG_COP& jig, const ads_name entity, double floor);
