// The gable roof's geometry: two pitches meeting at a ridge over the middle
// of the depth, from the two ends of the gutter side and a point on the
// opposite side, with overhangs at the gutters and at the gable ends, and on
// request the gable ends cut back by front slabs (half-hips).
#pragma once

#include <vector>

#include "core/geometry/geom_basic.h"

struct GableRoofParams {
    double overhang = 0.0;       // at the gutters
    double frontOverhang = 0.0;  // at the gable ends
    double slope = 0.0;          // percent
    double height = 0.0;
    bool heightAtWall = false;  // the height is the top of the wall, not the gutter
    bool front = false;
    bool byWidth = true;
    double frontWidth = 0.0, frontHeight = 0.0;
    double frontSlope = 0.0;  // percent
    double unit = 1.0;        // drawing units per centimetre
};

// Validity codes of the front slabs.
enum GableValidity { kGableValid = 0, kFrontTooWide = 1, kFrontTooLow = 2, kGutterTooShort = 3 };

// The loops of the roof from the three points: two loops (first pitch,
// second pitch) without front slabs, else four (front slab at P1, first
// pitch, front slab at P2, second pitch). With invalid front slabs the two
// pitches collapse onto the middle of the roof and the front slabs keep the
// points they had in `loops`. The gutter points are swapped when the
// opposite side lies to their right. Returns the validity code; `loops` is
// left alone when the gutter points coincide.
int ComputeGableLoops(const GableRoofParams& params, const Point3& P1, const Point3& P2, const Point3& P3,
                      std::vector<std::vector<Point3>>& loops);
// The eave height: the height value, or at the top of the wall the value
// less the rise over the overhang.
double GableEaveHeight(const GableRoofParams& params);
// The message that refuses a point for an invalid validity code.
const char* GableValidityMessage(int code);
