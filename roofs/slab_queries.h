// Where the slabs are, for the walls' hatching and the 3D model: the
// covering surfaces of a floor (slabs, barrel vaults, stairs) as plane and
// contour records, the slabs associated with the wall lines of a face, the
// slab over a piece of wall and a wall segment split at slab edges. Each
// query reads the drawing as it is and changes nothing in it.
#pragma once

#include <cstdint>

#include "core/geometry/vertex_list.h"
#include "host/db/dbid.h"

// One covering surface: the plane a x + b y + c z + d = 0 (|c| never below
// the single-precision epsilon) and the outline where it applies. A record
// without contour applies everywhere. Lists of them are the caller's; a
// record owns its contour, so FreeList frees records and contours together.
struct SlabPlaneRec {
    SlabPlaneRec() = default;
    SlabPlaneRec(const SlabPlaneRec&) = delete;
    SlabPlaneRec& operator=(const SlabPlaneRec&) = delete;
    ~SlabPlaneRec() { FreeList(contour); }

    SlabPlaneRec* next = nullptr;
    double a = 0.0, b = 0.0, c = 0.0, d = 0.0;
    VertexNode* contour = nullptr;
};

// A node of a list of object ids.
struct ObjectIdNode {
    ObjectIdNode* next = nullptr;
    ZcDbObjectId id;
};

// A level record of the 3D model: what lies above (the first elevation,
// switch and id list) and below (the second ones) a stretch of wall. The 3D
// model builds these from the slab associations of a face's wall lines; a
// record owns its id lists, so FreeList frees a list whole.
struct Model3DLevelRec {
    Model3DLevelRec() = default;
    Model3DLevelRec(const Model3DLevelRec&) = delete;
    Model3DLevelRec& operator=(const Model3DLevelRec&) = delete;
    ~Model3DLevelRec() {
        FreeList(ids1);
        FreeList(ids2);
    }

    Model3DLevelRec* next = nullptr;
    double elevation1 = 0.0, elevation2 = 0.0;
    std::int32_t switch1 = 0, switch2 = 0;
    ObjectIdNode* ids1 = nullptr;
    ObjectIdNode* ids2 = nullptr;
};

// The surfaces covering a floor at `elevation`, newest first; null when
// none. Z-profiles never cover; slabs that ignore the wall height
// (kSlabIgnoreWallHeight) are left out with skipIgnoringWallHeight, girders
// (kSlabSingleLayer) with skipGirders; aboveOnly keeps a slab only
// when one outline vertex lies strictly above the elevation (vaults and
// stair rings are always held to it); flatten puts every contour vertex at
// the elevation. Notches cut by opening objects are taken off the outlines.
SlabPlaneRec* CollectCoveringSlabs(double elevation, bool flatten, bool skipIgnoringWallHeight,
                                   bool skipGirders, bool aboveOnly);

// The planes of the slabs and stairs named by the level records (their
// first data with `upper`, else their second), contours at `elevation`.
// outSwitch is set to 1 or 0 by a record's switch above or below 0 (kept
// for 0); outElevation takes the record's elevation (with `upper` only when
// not 0). Without `upper` a slab gives the plane of its upper face.
SlabPlaneRec* CollectSlabPlanes(const Model3DLevelRec* records, double elevation, std::uint8_t& outSwitch,
                                double& outElevation, bool upper);

// The record over the midpoint of start-end: with exactly one of the two
// flags the lowest there, else the highest (the first met on a tie); a
// first record without contour is returned at once. Null when none.
const SlabPlaneRec* FindSlabOverSegment(const SlabPlaneRec* records, const Point3& start, const Point3& end,
                                        bool flagA, bool flagB);

// The segment's end, its crossings with every contour edge ordered by
// distance from the end, and its start; a new list of the caller's.
VertexNode* SplitSegmentAtSlabs(const Point3& start, const Point3& end, const SlabPlaneRec* records);
