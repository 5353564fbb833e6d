// Segment operations of the section outlines: where a point lies against a
// segment, overlaps that are only touches, duplicates and their heights.
#include "visual/views/segment_ops.h"

#include <gtest/gtest.h>

#include "core/base/module_state.h"

TEST(SectionSegments, point_against_a_segment_answers_each_case) {
    const Point3 A{0, 0, 0}, B{10, 5, 0};
    const double t = 0.01;
    EXPECT_EQ(ClassifyPointOnSegment2d(A, B, {4, 3, 0}, false, t), 0);           // off the line
    EXPECT_EQ(ClassifyPointOnSegment2d(A, B, {4, 2, 0}, true, t), 1);            // on it, no more asked
    EXPECT_EQ(ClassifyPointOnSegment2d(A, B, {4, 2, 0}, false, t), 2);           // on the segment
    EXPECT_EQ(ClassifyPointOnSegment2d(A, B, {-4, -2, 0}, false, t), 30);        // beyond A
    EXPECT_EQ(ClassifyPointOnSegment2d(A, B, {14, 7, 0}, false, t), 10);         // beyond B
    EXPECT_EQ(ClassifyPointOnSegment2d(A, B, {10.004, 5.002, 0}, false, t), 2);  // within t of B
    // A vertical segment is judged on y.
    EXPECT_EQ(ClassifyPointOnSegment2d({3, 0, 0}, {3, 8, 0}, {3, -1, 0}, false, t), 30);
    EXPECT_EQ(ClassifyPointOnSegment2d({3, 0, 0}, {3, 8, 0}, {3, 9, 0}, false, t), 10);
}

TEST(SectionSegments, collinear_segments_overlap_only_when_they_share_a_length) {
    Point3 out[2];
    // Touching end to end, also off the axes, where rounding could add up
    // to a hair more than the span.
    EXPECT_EQ(OverlapOfCollinearSegments2d({0, 0, 0}, {1, 0, 0}, {1, 0, 0}, {3, 0, 0}, out), 0);
    EXPECT_EQ(OverlapOfCollinearSegments2d({0.1, 0.3, 0}, {0.4, 1.2, 0}, {0.7, 2.1, 0}, {0.4, 1.2, 0}, out),
              0);
    EXPECT_EQ(OverlapOfCollinearSegments2d({0, 0, 0}, {4, 0, 0}, {6, 0, 0}, {9, 0, 0}, out), 0);
    ASSERT_EQ(OverlapOfCollinearSegments2d({0, 0, 0}, {4, 0, 0}, {6, 0, 0}, {2, 0, 0}, out), 1);
    EXPECT_DOUBLE_EQ(std::min(out[0].x, out[1].x), 2.0);
    EXPECT_DOUBLE_EQ(std::max(out[0].x, out[1].x), 4.0);
    // One within the other: the inner one is the overlap.
    ASSERT_EQ(OverlapOfCollinearSegments2d({0, 0, 0}, {10, 0, 0}, {3, 0, 0}, {5, 0, 0}, out), 1);
    EXPECT_DOUBLE_EQ(out[0].x + out[1].x, 8.0);
}

TEST(SectionSegments, duplicate_keeps_the_nearer_height_and_the_larger_word) {
    SectionSegment a, b;
    a.start = {0, 0, 5};
    a.end = {10, 0, 5};
    a.word = 1;
    b.start = {20, 0, 0};
    b.end = {30, 0, 0};
    a.next = &b;
    // The same segment reversed, nearer the viewer: the record takes its
    // heights, the right way round, and its word.
    SectionSegment q;
    q.start = {10.001, 0, 1};
    q.end = {0, 0.001, 3};
    q.word = 4;
    ASSERT_TRUE(FindDuplicateSegment(q, &a, 0.01, false));
    EXPECT_DOUBLE_EQ(a.start.z, 3.0);
    EXPECT_DOUBLE_EQ(a.end.z, 1.0);
    EXPECT_EQ(a.word, 4);
    // Farther away: the record stays; at the same height the larger word wins.
    q.start.z = q.end.z = 9;
    q.word = 7;
    ASSERT_TRUE(FindDuplicateSegment(q, &a, 0.01, false));
    EXPECT_EQ(a.word, 4);
    q.start.z = 1;
    q.end.z = 3;
    ASSERT_TRUE(FindDuplicateSegment(q, &a, 0.01, false));
    EXPECT_EQ(a.word, 7);
    // Cells that do not meet hide a duplicate; without cells it is found.
    q.cellLow[0] = q.cellHigh[0] = 5;
    a.cellLow[0] = a.cellHigh[0] = 1;
    EXPECT_FALSE(FindDuplicateSegment(q, &a, 0.01, true));
    q.start = {40, 0, 0};
    EXPECT_FALSE(FindDuplicateSegment(q, &a, 0.01, false));
}

TEST(SectionSegments, height_along_a_segment_and_collinearity) {
    EXPECT_DOUBLE_EQ(SegmentZAt2d({0, 0, 10}, {4, 3, 20}, 2, 1.5), 15.0);
    EXPECT_DOUBLE_EQ(SegmentZAt2d({1, 1, 7}, {1, 1, 9}, 5, 5), 7.0);
    const Point3 a[2] = {{0, 0, 0}, {10, 10, 0}};
    const Point3 b[2] = {{20, 20, 5}, {30, 30, 9}};
    const Point3 c[2] = {{20, 21, 0}, {30, 31, 0}};
    EXPECT_TRUE(SegmentsCollinear2d(a, b, 0.001));
    EXPECT_FALSE(SegmentsCollinear2d(a, c, 0.001));
}
