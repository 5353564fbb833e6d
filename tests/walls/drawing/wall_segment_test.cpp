// The geometry of wall segments, without a drawing: faces by alignment and
// thickness, mitres between straight and curved segments, the direction an
// arc is stored in, and the triangle and chord limits.
#include "walls/drawing/wall_segment.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kTol = 1e-9;

DrawnSegment Segment(double ts, double te, Point3 vertex = {}) {
    DrawnSegment s;
    s.startThickness = ts;
    s.endThickness = te;
    s.vertex = vertex;
    return s;
}

void ExpectPoint(const Point3& p, double x, double y) {
    EXPECT_NEAR(p.x, x, 1e-6);
    EXPECT_NEAR(p.y, y, 1e-6);
}

// Whether the counter-clockwise arc holds the point on its circle.
bool OnArc(const ArcRecord& arc, const Point3& p) {
    return std::fabs(Distance2d(arc.centre, p) - arc.radius) < 1e-6 && IsPointOnArc(p, arc, false);
}

}  // namespace

TEST(WallSegmentGeometry, faces_lie_by_the_alignment_and_taper_with_the_thicknesses) {
    DrawnSegment s = Segment(30, 30);
    OffsetLineSegment(s, {100, 0, 0}, WallAlignment::Centre);
    ExpectPoint(s.face[0].start, 0, -15);
    ExpectPoint(s.face[0].end, 100, -15);
    ExpectPoint(s.face[1].start, 0, 15);
    ExpectPoint(s.face[1].end, 100, 15);

    OffsetLineSegment(s, {100, 0, 0}, WallAlignment::Left);
    EXPECT_NEAR(s.face[0].start.y, -30, kTol);
    EXPECT_NEAR(s.face[1].end.y, 0, kTol);
    OffsetLineSegment(s, {100, 0, 0}, WallAlignment::Right);
    EXPECT_NEAR(s.face[0].start.y, 0, kTol);
    EXPECT_NEAR(s.face[1].end.y, 30, kTol);

    DrawnSegment taper = Segment(30, 10, {0, 0, 250});
    OffsetLineSegment(taper, {100, 0, 0}, WallAlignment::Centre);
    ExpectPoint(taper.face[0].start, 0, -15);
    ExpectPoint(taper.face[0].end, 100, -5);
    ExpectPoint(taper.face[1].end, 100, 5);
    EXPECT_EQ(taper.face[0].end.z, 250) << "faces take the floor's elevation";
}

TEST(WallSegmentGeometry, straight_segments_mitre_at_the_face_crossings_or_continue_when_collinear) {
    DrawnSegment a = Segment(30, 30), b = Segment(30, 30, {400, 0, 0});
    OffsetLineSegment(a, {400, 0, 0}, WallAlignment::Centre);
    OffsetLineSegment(b, {400, 300, 0}, WallAlignment::Centre);
    JoinWallSegments(a, b);
    ExpectPoint(a.face[0].end, 415, -15);
    ExpectPoint(b.face[0].start, 415, -15);
    ExpectPoint(a.face[1].end, 385, 15);
    ExpectPoint(b.face[1].start, 385, 15);

    DrawnSegment c = Segment(30, 30), d = Segment(30, 30, {100, 0, 0});
    OffsetLineSegment(c, {100, 0, 0}, WallAlignment::Centre);
    OffsetLineSegment(d, {250, 0, 0}, WallAlignment::Centre);
    JoinWallSegments(c, d);
    ExpectPoint(c.face[0].end, 100, -15);
    ExpectPoint(d.face[0].start, 100, -15);
    ExpectPoint(d.face[1].start, 100, 15);
}

TEST(WallSegmentGeometry, straight_and_arc_meet_at_the_nearer_crossing_of_line_and_circle) {
    DrawnSegment line = Segment(30, 30, {0, 1000, 0});
    OffsetLineSegment(line, {400, 1000, 0}, WallAlignment::Centre);
    DrawnSegment arc = Segment(30, 30, {400, 1000, 0});
    arc.kind = DrawnSegment::kArc;
    OffsetArcSegment(arc, {600, 1000, 0}, {400, 1000, 0}, {800, 1000, 0}, WallAlignment::Centre);
    EXPECT_NEAR(arc.face[0].radius, 215, kTol) << "face 1 is outside a counter-clockwise arc";
    EXPECT_NEAR(arc.face[1].radius, 185, kTol);
    JoinWallSegments(line, arc);
    ExpectPoint(line.face[0].end, 600 - std::sqrt(215.0 * 215 - 15 * 15), 985);
    ExpectPoint(line.face[1].end, 600 - std::sqrt(185.0 * 185 - 15 * 15), 1015);
    for (int i = 0; i < 2; ++i) {
        const Point3 start = FaceStartPoint(arc, i);
        EXPECT_NEAR(start.x, line.face[i].end.x, 1e-6);
        EXPECT_NEAR(start.y, line.face[i].end.y, 1e-6);
    }

    // Arc before straight: the crossing nearer to the straight's vertex.
    DrawnSegment after = Segment(30, 30, {800, 1000, 0});
    OffsetLineSegment(after, {900, 1300, 0}, WallAlignment::Centre);
    JoinWallSegments(arc, after);
    for (int i = 0; i < 2; ++i) {
        const Point3 p = after.face[i].start;
        EXPECT_NEAR(Distance2d(p, {600, 1000, 0}), arc.face[i].radius, 1e-6);
        EXPECT_LT(Distance2d(p, after.vertex), 40) << "the far crossing was taken";
        const Point3 end = FaceEndPoint(arc, i);
        EXPECT_NEAR(end.x, p.x, 1e-6);
        EXPECT_NEAR(end.y, p.y, 1e-6);
    }
}

TEST(WallSegmentGeometry,
     an_arc_bulges_by_its_direction_and_a_clockwise_one_is_stored_with_angles_exchanged) {
    const Point3 s{400, 1000, 0}, e{800, 1000, 0};
    for (bool ccw : {true, false}) {
        DrawnSegment arc = Segment(30, 30, s);
        arc.kind = DrawnSegment::kArc;
        arc.ccw = ccw;
        const std::optional<Point3> centre = ArcCentreForSegment(s, e, 100, ccw);
        ASSERT_TRUE(centre);
        OffsetArcSegment(arc, *centre, s, e, WallAlignment::Centre);
        // Counter-clockwise travel bulges to the right of the chord.
        const Point3 middle{600, ccw ? 900.0 : 1100.0, 0};
        const double axis = Distance2d(*centre, s);
        EXPECT_NEAR(Distance2d(*centre, middle), axis, 1e-6);
        for (int i = 0; i < 2; ++i) {
            const ArcRecord stored = FaceArcRecord(arc, i);
            const Point3 faceMiddle = PolarPoint(*centre, AngleTo(*centre, middle), stored.radius);
            EXPECT_TRUE(OnArc(stored, faceMiddle)) << "ccw " << ccw << " face " << i;
            if (!ccw) {
                EXPECT_NEAR(stored.startAngle, arc.face[i].endAngle, kTol);
                EXPECT_NEAR(stored.endAngle, arc.face[i].startAngle, kTol);
            }
        }
        // Face 1 is on the right of travel: outside when turning left.
        EXPECT_EQ(arc.face[0].radius > arc.face[1].radius, ccw);
    }
    EXPECT_FALSE(ArcCentreForSegment(s, {s.x + 1e-8, s.y, 0}, 100, true)) << "a chord below the epsilon";
    EXPECT_FALSE(ArcCentreForSegment(s, e, 1e-8, true)) << "a rise below the epsilon";
}

TEST(WallSegmentGeometry, triangle_vertex_meets_both_lengths_on_the_cursor_side_or_is_refused) {
    const Point3 v{0, 0, 0}, d{100, 0, 0};
    const std::optional<Point3> up = TriangleVertex(v, d, 50, {100, 60, 0});
    ASSERT_TRUE(up);
    EXPECT_NEAR(Distance2d(v, *up), 50, 1e-9);
    EXPECT_NEAR(Distance2d(d, *up), 60, 1e-9);
    EXPECT_GT(up->y, 0);
    const std::optional<Point3> down = TriangleVertex(v, d, 50, {100, -60, 0});
    ASSERT_TRUE(down);
    EXPECT_LT(down->y, 0);
    EXPECT_NEAR(down->x, up->x, 1e-9);

    // 50 + 50 = 100 + 1e-8: short of a triangle by less than the epsilon.
    EXPECT_FALSE(TriangleVertex(v, d, 50, {100, 50 + 1e-8, 0}));
    EXPECT_FALSE(TriangleVertex(v, d, 50, {100, 200, 0})) << "a diagonal longer than both sides";
    EXPECT_FALSE(TriangleVertex(v, v, 50, {10, 10, 0})) << "the diagonal's end on the vertex";
}
