// Projection of faces into face records and view segments: the buckets a
// region division gives, an edge two faces share kept once (the nearer, or
// the cut one), lines split where they pierce a face, and the lines where
// penetrating faces meet drawn only when asked for.
#include "visual/views/view_projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "host/ed/statusbar.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/support/velm_test.h"
#include "visual/views/section_cut.h"
#include "visual/views/section_faces.h"

namespace {

class ViewProjection : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }

    // A box from 0,0 to 100,100 in plan: the dividing lines at 37 and 62.
    static void SetBox(CSezione& s) {
        for (int k = 0; k < 3; ++k) {
            s.boxMin[k] = 0.0;
            s.boxMax[k] = 100.0;
        }
    }

    static void Quad(CSezione& s, Point3 a, Point3 b, Point3 c, Point3 d,
                     std::vector<int> words = {1, 1, 1, 1}) {
        Point3 corners[4] = {a, b, c, d};
        s.AddQuadFaces(corners, words.data(), 1, "W", 7);
    }

    static void ProjectAll(CSezione& s) {
        for (SectionFace* f = s.faces; f; f = f->next) s.ProjectFace(f);
    }

    static std::vector<const ViewSegment*> Segments(const CSezione& s) {
        std::vector<const ViewSegment*> out;
        for (int k = 0; k < CSezione::kBuckets; ++k)
            for (const ViewSegment* g = s.segmentBuckets[k]; g; g = g->next) out.push_back(g);
        return out;
    }

    static double PlanLength(const ViewSegment* g) {
        return std::hypot(g->end.x - g->start.x, g->end.y - g->start.y);
    }
};

TEST_F(ViewProjection, regions_give_buckets_and_dividing_lines_give_bucket_zero) {
    const double lo[3] = {0, 0, 0}, hi[3] = {100, 100, 100};
    const Point3 inOne[3] = {{1, 1, 0}, {30, 2, 0}, {10, 30, 0}};
    EXPECT_EQ(RegionOfPoints(inOne, 3, lo, hi), 1);
    const Point3 inNine[4] = {{70, 70, 0}, {99, 70, 0}, {99, 99, 0}, {70, 99, 0}};
    EXPECT_EQ(RegionOfPoints(inNine, 4, lo, hi), 9);
    // One corner on x1 = 37: in no region, so the face spans regions.
    const Point3 onLine[3] = {{37, 10, 0}, {30, 10, 0}, {30, 20, 0}};
    EXPECT_EQ(RegionOfPoints(onLine, 3, lo, hi), 0);

    // A line from region 1 into region 2 goes to bucket 0, one inside
    // region 5 to bucket 5; the view lines are moved, not copied.
    CSezione s;
    s.AddViewLine({10, 10, 5}, {50, 10, 5}, 256);
    s.AddViewLine({40, 40, 5}, {60, 60, 5}, 256);
    SetBox(s);
    s.BucketViewLines();
    EXPECT_EQ(s.viewLines, nullptr);
    ASSERT_NE(s.segmentBuckets[0], nullptr);
    EXPECT_DOUBLE_EQ(s.segmentBuckets[0]->end.x, 50.0);
    ASSERT_NE(s.segmentBuckets[5], nullptr);
    EXPECT_EQ(s.segmentCount, 2);
    EXPECT_EQ(s.segmentBuckets[0]->face, -1);
    EXPECT_EQ(s.segmentBuckets[0]->layer, -1);
}

TEST_F(ViewProjection, cells_and_plan_inclusion_survive_degenerate_input) {
    const Point3 far[2] = {{1e300, -1e300, 0}, {2, 3, 4}};
    std::int32_t low[3], high[3];
    CellRange(low, high, 2, far, 10.0);
    EXPECT_LE(low[1], high[1]);
    EXPECT_GT(high[0], 0);
    CellRange(low, high, 2, far, 0.0);  // no cell size: one cell, no overflow
    EXPECT_EQ(low[0], 0);
    EXPECT_EQ(high[0], 0);

    const Point3 a{0, 0, 0}, b{10, 0, 0}, c{0, 10, 0};
    EXPECT_TRUE(PointInTriangle2d({2, 2, 0}, a, b, c, 0.0));
    EXPECT_TRUE(PointInTriangle2d({5, 5.005, 0}, a, b, c, 0.01));  // within the tolerance
    EXPECT_FALSE(PointInTriangle2d({5, 5.1, 0}, a, b, c, 0.01));
    // A triangle in one line is its edges; one in one point, that point.
    EXPECT_TRUE(PointInTriangle2d({5, 0, 0}, a, b, {20, 0, 0}, 0.01));
    EXPECT_FALSE(PointInTriangle2d({5, 1, 0}, a, b, {20, 0, 0}, 0.01));
    EXPECT_FALSE(PointInTriangle2d({1, 1, 0}, a, a, a, 0.01));
}

TEST_F(ViewProjection, an_edge_of_two_faces_is_kept_once_nearer_or_cut) {
    CSezione s;
    SetBox(s);
    // Two faces side by side, sharing the edge x = 20.
    Quad(s, {10, 10, 5}, {20, 10, 5}, {20, 20, 5}, {10, 20, 5});
    Quad(s, {20, 10, 5}, {30, 10, 5}, {30, 20, 5}, {20, 20, 5});
    ProjectAll(s);
    int shared = 0, total = 0;
    for (const ViewSegment* g : Segments(s)) {
        ++total;
        shared += std::fabs(g->start.x - 20) < 1e-9 && std::fabs(g->end.x - 20) < 1e-9;
        EXPECT_EQ(g->colour, 7);
    }
    EXPECT_EQ(shared, 1);
    EXPECT_EQ(total, 7);  // eight outline edges less the shared one; no diagonal
    EXPECT_EQ(s.segmentCount, 7);
    EXPECT_EQ(s.faceCount, 2);

    // The same plan ends, either way round: the nearer one is kept, a cut
    // edge over any ordinary one.
    CSezione t;
    SetBox(t);
    t.AddSegment({70, 70, 20}, {80, 80, 30}, 3, 1, 9, 11);
    t.AddSegment({80, 80, 12}, {70, 70, 10}, 4, 2, 9, 12);
    ASSERT_EQ(t.segmentCount, 1);
    const ViewSegment* kept = t.segmentBuckets[9];
    EXPECT_EQ(kept->colour, 4);
    EXPECT_EQ(kept->face, 2);
    EXPECT_EQ(kept->layer, 12);
    EXPECT_DOUBLE_EQ(kept->start.z, 10.0);
    EXPECT_DOUBLE_EQ(kept->end.z, 12.0);
    t.AddSegment({70, 70, 50}, {80, 80, 50}, -256, 3, 9, 13);
    EXPECT_EQ(kept->colour, -256);
    t.AddSegment({70, 70, 0}, {80, 80, 0}, 5, 4, 9, 14);
    EXPECT_EQ(kept->colour, -256);
    EXPECT_EQ(kept->face, 3);
    EXPECT_DOUBLE_EQ(kept->start.z, 50.0);
    // Shorter than the minimum length: nothing; a NaN end: nothing.
    t.AddSegment({10, 10, 0}, {10.005, 10, 0}, 5, 4, 1, 14);
    t.AddSegment({10, 10, 0}, {std::nan(""), 10, 0}, 5, 4, 1, 14);
    EXPECT_EQ(t.segmentCount, 1);
    // A segment put into the bucket by other hands is still found.
    auto* byHand = new ViewSegment;
    byHand->start = {72, 75, 5};
    byHand->end = {78, 75, 5};
    const Point3 ends[2] = {byHand->start, byHand->end};
    CellRange(byHand->cellLow, byHand->cellHigh, 2, ends, t.unitLength);
    byHand->next = t.segmentBuckets[9];
    t.segmentBuckets[9] = byHand;
    t.AddSegment({78, 75, 1}, {72, 75, 1}, 6, 5, 9, 15);
    EXPECT_EQ(t.segmentBuckets[9], byHand);
    EXPECT_EQ(byHand->colour, 6);
    EXPECT_DOUBLE_EQ(byHand->start.z, 1.0);

    // A face seen edge-on gives its edges but no face record; cut edges
    // carry -256.
    CSezione u;
    SetBox(u);
    Quad(u, {10, 10, 5}, {20, 10, 5}, {20, 20, 5}, {10, 20, 5}, {-1, 1, 1, 1});
    Quad(u, {50, 10, 5}, {60, 10, 5}, {60, 10, 15}, {50, 10, 15});
    ProjectAll(u);
    int records = 0;
    for (int k = 0; k < CSezione::kBuckets; ++k)
        for (const ViewFaceRecord* f = u.faceBuckets[k]; f; f = f->next) ++records;
    EXPECT_EQ(records, 2);
    int cut = 0;
    for (const ViewSegment* g : Segments(u)) cut += g->colour == -256;
    EXPECT_EQ(cut, 1);
}

TEST_F(ViewProjection, a_line_through_a_face_is_split_at_it_and_one_touching_it_is_not) {
    CSezione s;
    SetBox(s);
    Quad(s, {40, 40, 10}, {60, 40, 10}, {60, 60, 10}, {40, 60, 10});
    ProjectAll(s);
    const int outline = s.segmentCount;
    // Through the face's plane at x = 50, inside the face.
    s.AddSegment({45, 50, 0}, {55, 50, 20}, 3, -1, 5, -1);
    // Across the plane within the minimum length of its end.
    s.AddSegment({42, 45, 0}, {47, 45, 10.004}, 3, -1, 5, -1);
    // Through the plane outside the face.
    s.AddSegment({0, 5, 0}, {10, 5, 20}, 3, -1, 1, -1);
    s.SplitSegmentsAtFaces();
    std::vector<const ViewSegment*> pieces;
    for (const ViewSegment* g : Segments(s))
        if (g->colour == 3) pieces.push_back(g);
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(s.segmentCount, outline + 4);
    int atPlane = 0;
    for (const ViewSegment* g : pieces) {
        if (std::fabs(g->start.y - 50) > 1e-9) continue;
        for (const Point3& p : {g->start, g->end})
            if (std::fabs(p.x - 50) < 1e-9) {
                EXPECT_NEAR(p.z, 10.0, 1e-9);
                ++atPlane;
            }
        EXPECT_NEAR(PlanLength(g), 5.0, 1e-9);
    }
    EXPECT_EQ(atPlane, 2);
}

// A line running steeply away from the viewer through a face a hair from
// its start in plan (0.008, under the least length) but farther in depth:
// the piece beyond was once taken for the line itself by the search for
// duplicates and dropped, leaving the hair.
TEST_F(ViewProjection, a_line_through_a_face_a_hair_from_its_start_keeps_its_length) {
    CSezione s;
    SetBox(s);
    Quad(s, {40, 40, 10}, {60, 40, 10}, {60, 60, 10}, {40, 60, 10});
    ProjectAll(s);
    s.AddSegment({50, 50, 10.0 - 0.008 * 95.0 / 30.0}, {80, 50, 10.0 + 29.992 * 95.0 / 30.0}, 3, -1, 5, -1);
    s.SplitSegmentsAtFaces();
    double length = 0.0;
    for (const ViewSegment* g : Segments(s))
        if (g->colour == 3) length += PlanLength(g);
    EXPECT_NEAR(length, 30.0, 1e-9);
}

TEST_F(ViewProjection, penetrating_faces_meet_in_a_line_only_when_asked) {
    for (int flag : {0, 1}) {
        SetSettingInt(SetupVar::CALC_INT_SEZ, flag);
        CSezione s;
        SetBox(s);
        // A face facing the viewer at depth 10, and one sloping through it
        // at y = 50.
        Quad(s, {40, 40, 10}, {60, 40, 10}, {60, 60, 10}, {40, 60, 10});
        Quad(s, {40, 45, 0}, {60, 45, 0}, {60, 55, 20}, {40, 55, 20});
        ProjectAll(s);
        double length = 0.0;
        for (const ViewSegment* g : Segments(s)) {
            if (g->face != -1) continue;
            length += PlanLength(g);
            for (const Point3& p : {g->start, g->end}) {
                EXPECT_NEAR(p.y, 50.0, 1e-9);
                EXPECT_NEAR(p.z, 10.0, 1e-9);
            }
        }
        EXPECT_NEAR(length, flag ? 20.0 : 0.0, 1e-9) << "CALC_INT_SEZ " << flag;
    }
    // Faces that only touch along an edge share no drawn line.
    SetSettingInt(SetupVar::CALC_INT_SEZ, 1);
    CSezione t;
    SetBox(t);
    Quad(t, {40, 40, 10}, {60, 40, 10}, {60, 60, 10}, {40, 60, 10});
    Quad(t, {40, 60, 10}, {60, 60, 10}, {60, 70, 30}, {40, 70, 30});
    ProjectAll(t);
    for (const ViewSegment* g : Segments(t)) EXPECT_NE(g->face, -1);
}

TEST_F(ViewProjection, a_thousand_faces_move_the_meter_to_two) {
    CSezione s;
    SetBox(s);
    zcedSetStatusBarProgressMeter("Zobacz obliczenia...", 0, 100);
    const int words[4] = {1, 1, 1, 1};
    Point3 corners[4] = {{1, 1, 5}, {2, 1, 5}, {2, 2, 5}, {1, 2, 5}};
    SectionFace face(corners, words, 256, "W");
    for (int k = 0; k < 1000; ++k) s.ProjectFace(&face);
    EXPECT_EQ(host::progressMeter().pos, 2);
    EXPECT_EQ(s.segmentCount, 4);  // the same face a thousand times: once
    zcedRestoreStatusBar();
}

}  // namespace
