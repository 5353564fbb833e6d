// The hip-roof generator on plain outlines, checked against what any hip
// roof must satisfy: every pitch planar and rising at the slope from its
// eave, the pitches' plan areas adding up to the outline's, and no two
// pitches overlapping in plan.
#include "roofs/hip_roof.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/geometry/polygon.h"
#include "core/geometry/vertex_list.h"
#include "host/ed/statusbar.h"
#include "roofs/slab_planes.h"
#include "tests/roofs/slab_fixture.h"

namespace {

using Loops = std::vector<std::vector<Point3>>;

double PlanArea(const std::vector<Point3>& pts) {
    double s = 0.0;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const Point3& p = pts[i];
        const Point3& q = pts[(i + 1) % pts.size()];
        s += p.x * q.y - q.x * p.y;
    }
    return s / 2.0;
}

VertexNode* AsList(const std::vector<Point3>& pts) {
    VertexNode* list = nullptr;
    for (const Point3& p : pts) AppendVertex(&list, p, 1, 0, 0);
    return list;
}

// A point just inside the pitch above the middle of its eave (the last two
// vertices, the pitch running counter-clockwise).
Point3 InsideEave(const std::vector<Point3>& pts) {
    const Point3& A = pts[pts.size() - 2];
    const Point3& B = pts.back();
    const double dx = B.x - A.x, dy = B.y - A.y, len = std::hypot(dx, dy);
    const double in = 1e-3 * len;
    return {(A.x + B.x) / 2.0 - dy / len * in, (A.y + B.y) / 2.0 + dx / len * in, 0.0};
}

class HipRoofTest : public SlabTest {
protected:
    static Loops Generate(const std::vector<Point3>& outline, double slope = 100.0) {
        bool broken = false;
        return GenerateHipRoof(outline, slope, broken);
    }

    // Every pitch planar, rising at the slope, counter-clockwise; areas add
    // up to the outline's; no pitch reaches over another's eave.
    static void ExpectSoundRoof(const Loops& pitches, const std::vector<Point3>& outline, double slope) {
        double total = 0.0;
        for (const auto& pitch : pitches) {
            ASSERT_GE(pitch.size(), 3u);
            VertexNode* list = AsList(pitch);
            int kind = 0;
            EXPECT_NEAR(GetLoopSlope(list, kind), slope, 1e-6);
            EXPECT_EQ(kind, 1);
            double a = 0, b = 0, c = 0, d = 0;
            ASSERT_TRUE(PolygonNormal(list, a, b, c, d));
            for (const Point3& p : pitch)
                EXPECT_NEAR((a * p.x + b * p.y + c * p.z + d) / std::sqrt(a * a + b * b + c * c), 0.0, 1e-6);
            FreeList(list);
            const double area = PlanArea(pitch);
            EXPECT_GT(area, 0.0);
            total += area;
        }
        EXPECT_NEAR(total, PlanArea(outline), 1e-6 * std::fabs(PlanArea(outline)));
        for (std::size_t i = 0; i < pitches.size(); ++i) {
            const Point3 inner = InsideEave(pitches[i]);
            for (std::size_t j = 0; j < pitches.size(); ++j) {
                if (i == j) continue;
                VertexNode* other = AsList(pitches[j]);
                EXPECT_EQ(PointInPolygon(inner, other, 0), 0) << "pitch " << i << " inside pitch " << j;
                FreeList(other);
            }
        }
    }
    static int CountAt(const Loops& pitches, const Point3& p) {
        int n = 0;
        for (const auto& pitch : pitches)
            for (const Point3& q : pitch) n += PointsEqual(p, q, true) ? 1 : 0;
        return n;
    }
};

TEST_F(HipRoofTest, rectangle_gives_two_trapezoids_and_two_triangles_under_one_ridge) {
    const std::vector<Point3> outline{{0, 0, 0}, {10, 0, 0}, {10, 6, 0}, {0, 6, 0}};
    const Loops pitches = Generate(outline);
    ASSERT_EQ(pitches.size(), 4u);
    ExpectSoundRoof(pitches, outline, 100.0);
    std::vector<std::size_t> sizes;
    for (const auto& p : pitches) sizes.push_back(p.size());
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<std::size_t>{3, 3, 4, 4}));
    // The ridge ends are shared by both trapezoids and one triangle each.
    EXPECT_EQ(CountAt(pitches, {3, 3, 3}), 3);
    EXPECT_EQ(CountAt(pitches, {7, 3, 3}), 3);
}

TEST_F(HipRoofTest, square_gives_four_triangles_meeting_at_one_apex) {
    const std::vector<Point3> outline{{100, 100, 50}, {500, 100, 50}, {500, 500, 50}, {100, 500, 50}};
    const Loops pitches = Generate(outline, 50.0);
    ASSERT_EQ(pitches.size(), 4u);
    ExpectSoundRoof(pitches, outline, 50.0);
    for (const auto& p : pitches) EXPECT_EQ(p.size(), 3u);
    EXPECT_EQ(CountAt(pitches, {300, 300, 150}), 4);
}

TEST_F(HipRoofTest, l_shape_gives_a_valley_from_its_inner_corner) {
    const std::vector<Point3> outline{{0, 0, 0},     {1000, 0, 0},   {1000, 400, 0},
                                      {400, 400, 0}, {400, 1000, 0}, {0, 1000, 0}};
    const Loops pitches = Generate(outline);
    ASSERT_EQ(pitches.size(), 6u);
    ExpectSoundRoof(pitches, outline, 100.0);
    // The valley leaves the inner corner at 45 degrees to the inside.
    EXPECT_EQ(CountAt(pitches, {400, 400, 0}), 2);
    EXPECT_EQ(CountAt(pitches, {200, 200, 200}), 4);  // both wings' ridges and the valley
}

TEST_F(HipRoofTest, vertex_in_a_straight_side_is_taken_as_one_side) {
    const std::vector<Point3> outline{{0, 0, 0}, {500, 0, 0}, {1000, 0, 0}, {1000, 600, 0}, {0, 600, 0}};
    const Loops pitches = Generate(outline);
    ASSERT_EQ(pitches.size(), 4u);  // one pitch for the whole bottom side
    ExpectSoundRoof(pitches, outline, 100.0);
    EXPECT_EQ(CountAt(pitches, {300, 300, 300}), 3);
}

TEST_F(HipRoofTest, stepped_outline_of_23_vertices_is_roofed) {
    std::vector<Point3> outline{{0, 0, 0}, {1000, 0, 0}, {2000, 0, 0}};
    for (int s = 1; s <= 10; ++s) {
        const double x = 2000.0 - (s - 1) * 200.0, y = 400.0 + s * 150.0;
        outline.push_back({x, y, 0});
        outline.push_back({x - 200.0, y, 0});
    }
    ASSERT_EQ(outline.size(), 23u);
    const Loops pitches = Generate(outline);
    ASSERT_FALSE(pitches.empty());
    ExpectSoundRoof(pitches, outline, 100.0);
}

TEST_F(HipRoofTest, slope_zero_is_refused_before_any_segment) {
    const Loops pitches = Generate({{0, 0, 0}, {10, 0, 0}, {10, 6, 0}, {0, 6, 0}}, 0.0);
    EXPECT_TRUE(pitches.empty());
    EXPECT_NE(transcript().find("To jest płaszczyzna równoległa do płaszczyzny układu współrzędnych!"),
              std::string::npos);
}

TEST_F(HipRoofTest, break_in_the_segment_stage_cancels_and_removes_the_meter) {
    push("!break");
    bool broken = false;
    const Loops pitches = GenerateHipRoof({{0, 0, 0}, {10, 0, 0}, {10, 6, 0}, {0, 6, 0}}, 100.0, broken);
    EXPECT_TRUE(pitches.empty());
    EXPECT_TRUE(broken);
    EXPECT_NE(transcript().find("\nGenerowanie dachu zostało anulowane!"), std::string::npos);
    EXPECT_FALSE(host::progressMeter().active);
}

TEST_F(HipRoofTest, candidate_check_drops_points_below_the_eave_and_repeats) {
    HipRoofWork work;
    work.slope = 100.0;
    const Point3 pts[4] = {{0, 0, 0}, {10, 0, 0}, {10, 6, 0}, {0, 6, 0}};
    ASSERT_EQ(BuildRoofPlanes(work, pts, 4), 1);
    RoofPlane* bottom = work.planes->next->next->next;  // the first edge, last in the list
    ASSERT_TRUE(PointsEqual(bottom->A, pts[0], true));
    std::vector<RoofSegment> taken{{{3, 3, 3}, {7, 3, 3}}};
    EXPECT_EQ(CheckRoofSegment(work, *bottom, {}, {3, 3, -1}, {7, 3, 3}), 1);
    EXPECT_EQ(CheckRoofSegment(work, *bottom, {}, {3, 3, 3}, {3, 3, 3}), 3);
    EXPECT_EQ(CheckRoofSegment(work, *bottom, taken, {3, 3, 3}, {7, 3, 3}), 8);
    EXPECT_EQ(CheckRoofSegment(work, *bottom, taken, {7, 3, 3}, {3, 3, 3}), 9);
    EXPECT_EQ(CheckRoofSegment(work, *bottom, {}, {0, 0, 0}, {3, 3, 3}), 0);
    // Beyond the far side of the outline: crosses the top eave.
    EXPECT_EQ(CheckRoofSegment(work, *bottom, {}, {5, 4, 4}, {5, 8, 8}), 10);
}

}  // namespace
