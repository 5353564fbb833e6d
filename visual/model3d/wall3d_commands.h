// The 3D wall commands and the drivers that keep the 3D faces of the walls
// up to date when walls, objects or floors change. Every entry point builds
// the wall-face graph of one floor, erases the old faces of what it
// generates and generates each face in its recorded mode (1 at the walls'
// own heights, 2 under the floor's covering slabs).
#pragma once

#include <string>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/layer_catalogue.h"
#include "host/util/adscodes.h"
#include "roofs/slab_queries.h"

class CFACCIATE;
struct WallFace;
struct OutlineNode;

void CmdWall3D();     // "VELMWALL3D"
void CmdW3DFace();    // "VELMW3DFACE"
void CmdVarWall3D();  // "VELMVARW3D"

// Regenerates one face in its recorded mode; a straight face of mode 2
// without any covering slab keeps its top at elevation + height.
void Gen3DWall(const WallFace& face, const CFACCIATE& graph, double step, int curvedFlag, bool useWallLayer,
               const AAR_LAYERC& catalogue);
// One side at its own heights / under planes, from its wall entity.
void Gen3DFacesOfWallLine(const ads_name entity, double elevation);
void Gen3DFacesOfWallLineUnderPlanes(const ads_name entity, double elevation, const SlabPlaneRec* planes);
// The whole floor at its own heights, as "VELMWALL3D" makes it once the
// floor is known: every side, pilasters and tops as the settings say, then
// the floor's old faces erased (kept when nothing was made).
void Gen3DWallsOfFloor(double elevation);
// The whole floor under its covering slabs.
void Gen3DWallsUnderSlabs(double elevation);
// The pick loop of single sides under planes (none: the covering slabs of
// each picked line's floor).
void PickWallLinesUnderPlanes(const SlabPlaneRec* planes);

// Drivers, silent. OfLevel regenerates every face of non-zero mode whatever
// SETOPZM3DAUTO says; the other two do nothing while it is 0.
void Regen3DWallsOfLevel(double elevation, double height, int floorInteger);
void Regen3DWallsAround(const ads_name wallA, const ads_name wallB, double elevation, const ads_name wallC,
                        const ads_name wallD);
void Regen3DWallsAfterCommand(const OutlineNode* outline);
// Before a wall is closed over an erased object and its sides made again:
// false, each named with its handle, when a wall line or arc of the sides
// the object cut carries an automatic-3D mark whose mode cannot be read
// (then the sides could not be made again as they were). True while
// SETOPZM3DAUTO is 0, when no side is made again.
bool WallMarksSoundAt(const OutlineNode& outline);

// A wall line or arc as it was before an edit command moved it (or one of
// its ends), on the floor at `level`.
struct EditedWallLine {
    ads_name entity = {0, 0};
    double level = 0.0;
    bool isArc = false;
    Point3 start, end;
    ArcRecord arc;
};

// After an edit command moved wall lines: the faces that stood on the
// sides as they were are erased and every side those lines now belong to,
// and every side sharing their old line or circle, generated again. Does
// nothing while SETOPZM3DAUTO is 0.
void Regen3DWallsAfterLineEdits(const std::vector<EditedWallLine>& lines);
