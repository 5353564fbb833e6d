// Segment operations of the section outlines, in plan (x and y): whether
// two segments are collinear, where a point lies on a segment's line, the
// overlap of two collinear segments, the z of a segment at a plan point,
// and the search for a segment already gathered.
#pragma once

#include <cstdint>

#include "core/geometry/geom_basic.h"

struct ViewSegment;

// One segment of the section outline where walls and faces are cut: its
// word, its ends, and its cells in x and y.
struct SectionSegment {
    SectionSegment* next = nullptr;
    std::int32_t word = 0;
    Point3 start, end;
    std::int32_t cellLow[2] = {0, 0};
    std::int32_t cellHigh[2] = {0, 0};
};

// Whether segments a and b (their starts and ends in plan) are collinear
// within the tolerance.
bool SegmentsCollinear2d(const Point3 a[2], const Point3 b[2], double tolerance);
// Where P lies against the segment A-B: 0 off its line; 1 on the line when
// collinearOnly; else 30 beyond A, 10 beyond B (by more than t), 2 on it.
int ClassifyPointOnSegment2d(const Point3& A, const Point3& B, const Point3& P, bool collinearOnly, double t);
// Finds a segment of the list with the query's ends within t (either way
// round) and settles which of the two heights and words it keeps; true
// when there was one. With useCells, segments whose cells do not meet the
// query's are passed by.
bool FindDuplicateSegment(const SectionSegment& query, SectionSegment* list, double t, bool useCells);
// The same for the segments of a view: of the two, the list keeps the one
// nearer the viewer (the smaller sum of end depths) with its colour, face
// and layer, but an edge on a cutting plane (negative colour) always wins
// over an ordinary one. With useCells, segments whose plan cells do not
// meet the query's are passed by.
bool FindDuplicateSegment(const ViewSegment& query, ViewSegment* list, double t, bool useCells);
// The two steps of that search for whoever finds the candidates another
// way: whether kept has the query's plan ends, and the settling of which
// of the two it keeps.
bool IsDuplicateSegment(const ViewSegment& query, const ViewSegment& kept, double t, bool useCells);
void MergeDuplicateSegment(const ViewSegment& query, ViewSegment& kept, double t);
// The overlap of the collinear segments a1-a2 and b1-b2 into out (its two
// ends); 1 when they overlap, 0 when they are apart or only touch.
int OverlapOfCollinearSegments2d(const Point3& a1, const Point3& a2, const Point3& b1, const Point3& b2,
                                 Point3 out[2]);
// The z of the segment start-end at the plan point (x, y).
double SegmentZAt2d(const Point3& start, const Point3& end, double x, double y);
