// What the host pickers need from the subsystems above the object library:
// the wall face a wall line or arc belongs to (wall-face graph), the loops
// and slope of a slab and the removal of an object's slab opening (slabs),
// and the regeneration of the 3D wall faces at a wall (3D model). Each
// subsystem's registration sets its reader; unset, a reader finds nothing
// (no face, no loop, no slab) and the 3D regeneration does nothing.
#pragma once

#include <functional>

#include "core/geometry/geom_basic.h"
#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"

// The face a wall entity belongs to: its end points when straight, its arc
// when curved.
struct WallFaceSpan {
    bool isArc = false;
    Point3 start, end;
    ArcRecord arc;
};
using WallFaceSpanReader = std::function<bool(const ads_name entity, WallFaceSpan& out)>;
void SetWallFaceSpanReader(WallFaceSpanReader reader);
bool ReadWallFaceSpan(const ads_name entity, WallFaceSpan& out);

// The loops of a slab from its entity list with xdata (the caller frees
// them), and the slope of a loop in percent (kind 1) or, horizontal, its
// elevation (kind 2); kind -1 without a plane.
using SlabLoopsReader = std::function<ContourNode*(const resbuf* slabList)>;
using LoopSlopeReader = std::function<double(const VertexNode* loop, int& kind)>;
void SetSlabLoopsReader(SlabLoopsReader reader);
void SetLoopSlopeReader(LoopSlopeReader reader);
ContourNode* ReadSlabLoops(const resbuf* slabList);
double ReadLoopSlope(const VertexNode* loop, int& kind);

// Erases the object and takes its opening out of the slab it cut (the
// slab's name in `slab`): 1; without an opening record only erases: 0.
using OpeningEraser = std::function<int(const ads_name object, ads_name slab)>;
void SetOpeningEraser(OpeningEraser eraser);
int EraseObjectOpening(const ads_name object, ads_name slab);

// Regenerates the 3D faces of the walls of lines a and b (and c and d for
// a corner) at the elevation.
using WallFacesRegenerator = std::function<void(const ads_name a, const ads_name b, double elevation,
                                                const ads_name c, const ads_name d)>;
void SetWallFacesRegenerator(WallFacesRegenerator regenerator);
void RegenerateWallFaces(const ads_name a, const ads_name b, double elevation, const ads_name c,
                         const ads_name d);

// Cuts the opening outline a placed object carries into its host slab.
using SlabOpeningCutter = std::function<void(const ads_name object, const ads_name slab)>;
void SetSlabOpeningCutter(SlabOpeningCutter cutter);
void CutObjectIntoSlab(const ads_name object, const ads_name slab);
