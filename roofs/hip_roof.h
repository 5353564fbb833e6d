// The hip-roof generator: one closed plan outline (the eave line, running
// counter-clockwise) becomes one planar pitch per edge, every pitch rising
// from its edge at the same slope, each bounded by its eave and the hips,
// valleys and ridges where it meets the others.
//
// It is a search, not a closed-form skeleton: every pitch gets candidate
// segments from the pairwise intersections of the planes; those that end
// in the air or belong to one pitch only are filtered out; then each
// pitch's polygon is traced by a depth-first walk from its eave, nearest
// candidate to the eave start first, with backtracking. When that fails
// pitches whose eaves lie on one line are merged and the roof is traced
// again. The outline is worked on scaled to a span of 10 units (see
// NormalizeHipOutline), where the fixed epsilon applies.
//
// Plain records; the host is used for its planes and lines, the bounded
// segment intersection, the progress meter and the break key only.
#pragma once

#include <vector>

#include "core/geometry/geom_basic.h"
#include "host/ge/gelinear.h"
#include "host/ge/geplane.h"

inline constexpr int kMaxSegmentsAtPoint = 29;
inline constexpr int kMaxRoofGroups = 10;
inline constexpr int kMaxGroupMembers = 4;

struct RoofSegment {
    Point3 P, Q;
};

struct RoofPlane {
    RoofPlane* next = nullptr;
    int merged = 0;  // 1: traced and written as part of another pitch
    ZcGePlane plane;
    Point3 A, B;  // the eave, outline vertices i and i + 1
    // The end of the eave the trace starts from: B, or the far end of the
    // last pitch merged into this one while a merged fit is tried.
    Point3 traceB;
    double halfStart = 0.0, halfEnd = 0.0;
    std::vector<ZcGeLine3d> lines;
    std::vector<RoofSegment> segments;  // the head first
    std::vector<Point3> polygon;        // in the order traced, from A and B
};

struct HipRoofWork {
    double slope = 0.0;           // percent
    RoofPlane* planes = nullptr;  // the last edge first
    bool userBreak = false;       // set once, never cleared in a run
    ~HipRoofWork();
};

// The working copy of an outline: moved by minus the vertex nearest the
// origin in plan and scaled so that the largest plan distance between two
// vertices is 10. Back undoes it.
struct HipOutlineScale {
    Point3 reference;
    double factor = 1.0;
    void Apply(std::vector<Point3>& points) const;
    Point3 Back(const Point3& p) const;
};
HipOutlineScale NormalizeHipOutline(std::vector<Point3>& points);

// 1 when every plane was built; 0, with the parallel-plane message, when a
// plane would be vertical or horizontal.
int BuildRoofPlanes(HipRoofWork& work, const Point3* points, int count);
void IntersectRoofPlanes(HipRoofWork& work);
// Seeds every plane's polygon with its eave (A, then the trace end).
void SeedRoofPolygons(HipRoofWork& work);
void ComputeHipRoofSegments(HipRoofWork& work);
// 0 to accept S-T as a candidate of `plane`, else the reason it is dropped.
int CheckRoofSegment(HipRoofWork& work, const RoofPlane& plane, const std::vector<RoofSegment>& taken,
                     const Point3& S, const Point3& T);
void FilterHipRoofSegments(HipRoofWork& work);
int CountDanglingEnds(const RoofPlane& plane, const RoofSegment& s);
bool IsSegmentUnique(const HipRoofWork& work, const RoofPlane& plane, const RoofSegment& s);
void JoinRoofSegments(RoofPlane& plane);
// 1 when this plane's polygon and those of all later unmerged planes close.
int TracePlanePolygon(HipRoofWork& work, Point3 previous, Point3 current, RoofPlane& plane,
                      const RoofSegment* excluded);
int SolveHipRoofFit(HipRoofWork& work);
void FreeHipRoofWork(HipRoofWork& work);

// The whole run on an outline already oriented counter-clockwise: the
// loops of the unmerged pitches (traced vertices, then A and B), in plane
// list order, in the outline's own coordinates. The message of a failure
// is printed; `broken` tells a user break apart. Empty on failure.
std::vector<std::vector<Point3>> GenerateHipRoof(const std::vector<Point3>& outline, double slopePercent,
                                                 bool& broken);
