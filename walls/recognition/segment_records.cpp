#include "walls/recognition/segment_records.h"

WallSegment* NewWallSegment() {
    return new WallSegment;
}

double SegmentRectangleId(const WallSegment& s) {
    if (s.faces && s.faces->edges) return s.faces->edges->rectangleId;
    return s.rectangleId;
}
