// The records of wall recognition: a wall segment (one straight stretch of
// wall face) and a wall pair (the segments of the two faces of one wall).
// The recognition set keeps them in its chain and its pairs; the chain's
// grid and the display entity only read them.
#pragma once

#include <cstdint>
#include <string>

#include "core/geometry/geom_basic.h"
#include "walls/graph/wall_face.h"

// One straight stretch of wall face.
struct WallSegment {
    Point3 start, end;
    bool external = false;  // marked as the external side of its wall
    std::string typeName = kDefaultWallTypeName;
    double topZ = 0.0;
    std::int32_t typeIndex = 0;  // the wall type's priority; 0 for an unknown type
    std::int32_t colour = 7;     // the wall type's colour; 7 for an unknown type
    double rectangleId = kNoRectangle;
    WallFace* faces = nullptr;  // the graph faces of the stretch (may be shared after a split)
    WallSegment* next = nullptr;

    // Chain bookkeeping of the set: position key (smaller runs first) and
    // the chain version at which the segment was found without a partner.
    std::int64_t order = 0;
    std::uint64_t partnerlessAt = 0;
};

// One wall: the segments of its two faces, owned by the pair.
struct WallPair {
    WallSegment* a = nullptr;
    WallSegment* b = nullptr;
    WallPair* next = nullptr;
};

// A zeroed segment with the defaults above.
WallSegment* NewWallSegment();
// The rectangle id a segment pairs by: that of the first edge of its first
// face, or its own when it has no faces.
double SegmentRectangleId(const WallSegment& s);
