// The visibility pass: what a nearer face covers is cut away at its outline,
// what lies in front of it stays whole, every visible line is kept once;
// and two oracles: a box seen frontally shows its silhouette alone, and
// random boxes show what a search point by point finds uncovered.
#include "visual/views/hidden_segments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "core/geometry/matrix4.h"
#include "tests/support/velm_test.h"
#include "visual/views/section_cut.h"
#include "visual/views/section_faces.h"
#include "visual/views/view_projection.h"

namespace {

class HiddenSegments : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }

    static void Quad(CSezione& s, const Point3 (&c)[4]) {
        Point3 corners[4] = {c[0], c[1], c[2], c[3]};
        const int words[4] = {1, 1, 1, 1};
        s.AddQuadFaces(corners, words, 1, "W", 256);
    }

    // Projection, piercing and visibility, as a view runs them.
    static void Run(CSezione& s) {
        for (SectionFace* f = s.faces; f; f = f->next) s.ProjectFace(f);
        s.SplitSegmentsAtFaces();
        RemoveHiddenSegments(s);
    }

    static std::vector<const ViewSegment*> Visible(const CSezione& s) {
        std::vector<const ViewSegment*> out;
        for (const ViewSegment* g = s.sectionSegments; g; g = g->next) out.push_back(g);
        return out;
    }

    static double PlanLength(const Point3& a, const Point3& b) { return std::hypot(b.x - a.x, b.y - a.y); }

    // A face record of the square 40..60 at depth z, facing the viewer.
    static ViewFaceRecord Square(double z, int number) {
        ViewFaceRecord f;
        f.triangle = 0;
        const Point3 c[4] = {{40, 40, z}, {60, 40, z}, {60, 60, z}, {40, 60, z}};
        for (int k = 0; k < 4; ++k) f.corners[k] = c[k];
        f.c = -1.0;
        f.d = z;
        f.faceNumber = number;
        return f;
    }
};

TEST_F(HiddenSegments, a_face_in_front_cuts_out_the_middle_and_one_behind_cuts_nothing) {
    CSezione s;
    const ViewFaceRecord face = Square(10.0, 1);

    // Across the face's outline twice, behind it: two pieces outside.
    ViewSegment behind;
    behind.start = {30, 50, 20};
    behind.end = {70, 50, 20};
    behind.colour = 5;
    behind.layer = 3;
    bool hidden = false;
    ViewSegment* piece = ClipSegmentByFace(s, hidden, face, behind);
    ASSERT_NE(piece, nullptr);
    EXPECT_FALSE(hidden);
    EXPECT_DOUBLE_EQ(behind.end.x, 40.0);
    EXPECT_DOUBLE_EQ(piece->start.x, 60.0);
    EXPECT_DOUBLE_EQ(piece->end.x, 70.0);
    EXPECT_EQ(piece->colour, 5);
    EXPECT_EQ(piece->layer, 3);
    EXPECT_EQ(s.segmentCount, 1);
    delete piece;

    // In front of it: whole.
    ViewSegment front;
    front.start = {30, 50, 5};
    front.end = {70, 50, 5};
    EXPECT_EQ(ClipSegmentByFace(s, hidden, face, front), nullptr);
    EXPECT_FALSE(hidden);
    EXPECT_DOUBLE_EQ(front.start.x, 30.0);
    EXPECT_DOUBLE_EQ(front.end.x, 70.0);

    // From inside to outside, behind: the inside part goes, the end's
    // depth follows the line.
    ViewSegment half;
    half.start = {50, 50, 20};
    half.end = {70, 50, 40};
    EXPECT_EQ(ClipSegmentByFace(s, hidden, face, half), nullptr);
    EXPECT_DOUBLE_EQ(half.start.x, 60.0);
    EXPECT_DOUBLE_EQ(half.start.z, 30.0);

    // Wholly inside and behind: hidden; on the outline from corner to
    // corner and behind: hidden too.
    ViewSegment inside;
    inside.start = {45, 45, 20};
    inside.end = {55, 55, 20};
    EXPECT_EQ(ClipSegmentByFace(s, hidden, face, inside), nullptr);
    EXPECT_TRUE(hidden);
    hidden = false;
    ViewSegment diagonal;
    diagonal.start = {40, 40, 20};
    diagonal.end = {60, 60, 20};
    ClipSegmentByFace(s, hidden, face, diagonal);
    EXPECT_TRUE(hidden);

    // A face seen edge-on hides nothing and divides by nothing.
    hidden = false;
    ViewFaceRecord edgeOn = Square(10.0, 2);
    edgeOn.c = 0.0;
    EXPECT_EQ(ClipSegmentByFace(s, hidden, edgeOn, inside), nullptr);
    EXPECT_FALSE(hidden);
}

// A nosing seen nearly edge-on: a sliver 0.4 high and 100 long in front
// of the back edge of its tread, which runs on along the sliver's long
// edge and 1.5 past its sharp corner. That stretch was cut away: near so
// sharp a corner a tolerance on each edge's line reaches far beyond it.
TEST_F(HiddenSegments, a_thin_face_hides_nothing_beyond_its_sharp_corner) {
    CSezione s;
    ViewFaceRecord sliver;
    const Point3 c[3] = {{100, -0.4, 10}, {100, 0, 10}, {0, 0, 10}};
    for (int k = 0; k < 3; ++k) sliver.corners[k] = c[k];
    sliver.c = -1.0;
    sliver.d = 10.0;
    sliver.faceNumber = 1;

    // Along the long edge, behind: covered there (the edge's own line is
    // drawn), whole beyond the corner.
    ViewSegment edge;
    edge.start = {-1.5, 0, 20};
    edge.end = {96, 0, 30};
    bool hidden = false;
    EXPECT_EQ(ClipSegmentByFace(s, hidden, sliver, edge), nullptr);
    EXPECT_FALSE(hidden);
    EXPECT_DOUBLE_EQ(edge.start.x, -1.5);
    EXPECT_NEAR(edge.end.x, 0.0, 1e-9);
    EXPECT_NEAR(edge.end.z, 20.0 + 10.0 * 1.5 / 97.5, 1e-9);

    // Across the line of the sliver a little beyond its corner: untouched.
    ViewSegment across;
    across.start = {-0.2, -5, 20};
    across.end = {-0.2, 5, 20};
    EXPECT_EQ(ClipSegmentByFace(s, hidden, sliver, across), nullptr);
    EXPECT_FALSE(hidden);
    EXPECT_DOUBLE_EQ(across.start.y, -5.0);
    EXPECT_DOUBLE_EQ(across.end.y, 5.0);

    // The same edge on the sliver's plane (the crease it shares with the
    // tread): never covered by it.
    ViewSegment crease;
    crease.start = {0, 0, 10};
    crease.end = {100, 0, 10};
    EXPECT_EQ(ClipSegmentByFace(s, hidden, sliver, crease), nullptr);
    EXPECT_FALSE(hidden);
    EXPECT_DOUBLE_EQ(crease.end.x, 100.0);
}

// A line passing through a face: only what lies behind it goes, from where
// it passes through; and a quadrilateral warped so that it projects dented
// covers by its two triangles, not by its hull.
TEST_F(HiddenSegments, a_line_through_a_face_and_a_dented_face_are_cut_where_they_cover) {
    CSezione s;
    bool hidden = false;
    const ViewFaceRecord face = Square(10.0, 1);
    ViewSegment through;
    through.start = {30, 50, 0};
    through.end = {70, 50, 20};  // through the face's plane at x 50
    ViewSegment* piece = ClipSegmentByFace(s, hidden, face, through);
    ASSERT_NE(piece, nullptr);
    EXPECT_NEAR(through.end.x, 50.0 + s.minLength * 2.0, 1e-9);
    EXPECT_DOUBLE_EQ(piece->start.x, 60.0);
    delete piece;

    // Corners 0, 1, 2 and 3 with the third pulled in past the diagonal's
    // middle: a dart. A line across the notch behind it stays whole.
    ViewFaceRecord dart;
    dart.triangle = 0;
    const Point3 c[4] = {{0, 0, 10}, {20, 10, 10}, {0, 20, 10}, {8, 10, 10}};
    for (int k = 0; k < 4; ++k) dart.corners[k] = c[k];
    dart.c = -1.0;
    dart.d = 10.0;
    dart.faceNumber = 2;
    ViewSegment notch;
    notch.start = {2, 10, 20};
    notch.end = {6, 10, 20};
    EXPECT_EQ(ClipSegmentByFace(s, hidden, dart, notch), nullptr);
    EXPECT_FALSE(hidden);
    EXPECT_DOUBLE_EQ(notch.start.x, 2.0);
    EXPECT_DOUBLE_EQ(notch.end.x, 6.0);
    ViewSegment wing;
    wing.start = {2, 10, 20};
    wing.end = {15, 10, 20};
    EXPECT_EQ(ClipSegmentByFace(s, hidden, dart, wing), nullptr);
    EXPECT_DOUBLE_EQ(wing.end.x, 8.0);
}

TEST_F(HiddenSegments, pieces_behind_a_face_stay_visible_and_each_line_is_kept_once) {
    CSezione s;
    for (int k = 0; k < 3; ++k) {
        s.boxMin[k] = 0.0;
        s.boxMax[k] = 100.0;
    }
    Quad(s, {{40, 40, 10}, {60, 40, 10}, {60, 60, 10}, {40, 60, 10}});
    for (SectionFace* f = s.faces; f; f = f->next) s.ProjectFace(f);
    // A line behind the face across it, twice over, and a cut edge behind
    // the face (cut edges are never hidden).
    s.AddSegment({30, 50, 20}, {70, 50, 20}, 3, -1, 5, -1);
    s.AddSegment({30, 50.001, 20}, {70, 50.001, 20}, 3, -1, 0, -1);
    s.AddSegment({45, 45, 30}, {55, 45, 30}, -256, -1, 5, -1);
    RemoveHiddenSegments(s);
    for (int k = 0; k < CSezione::kBuckets; ++k) EXPECT_EQ(s.segmentBuckets[k], nullptr);
    double across = 0.0;
    int cut = 0;
    for (const ViewSegment* g : Visible(s)) {
        if (g->colour == 3) {
            across += PlanLength(g->start, g->end);
            EXPECT_TRUE(g->end.x <= 40.0 + 1e-9 || g->start.x >= 60.0 - 1e-9);
        }
        cut += g->colour == -256;
    }
    EXPECT_NEAR(across, 20.0, 1e-9);
    EXPECT_EQ(cut, 1);
    EXPECT_EQ(s.sectionSegmentCount, 4 + 2 + 1);
}

TEST_F(HiddenSegments, a_user_break_sets_the_abort_flag_and_the_later_buckets_still_run) {
    CSezione s;
    for (int k = 0; k < 3; ++k) {
        s.boxMin[k] = 0.0;
        s.boxMax[k] = 100.0;
    }
    Quad(s, {{40, 40, 10}, {60, 40, 10}, {60, 60, 10}, {40, 60, 10}});
    for (SectionFace* f = s.faces; f; f = f->next) s.ProjectFace(f);
    s.AddSegment({5, 5, 20}, {10, 10, 20}, 3, -1, 1, -1);
    push("!break");
    s.SplitSegmentsAtFaces();
    EXPECT_EQ(s.abortFlag, 1);

    s.abortFlag = 0;
    push("!break");
    RemoveHiddenSegments(s);
    EXPECT_EQ(s.abortFlag, 1);
    // The break came at the first segment taken, in bucket 1: it stays
    // there; the face's outline, in bucket 5, was still made visible.
    EXPECT_NE(s.segmentBuckets[1], nullptr);
    EXPECT_EQ(s.segmentBuckets[5], nullptr);
    EXPECT_EQ(s.sectionSegmentCount, 4);
}

// Boxes overlapping in plan at random depths, some passing through each
// other: what is drawn adds up to what a search point by point along every
// edge finds uncovered by any face in front of it. (These boxes once drew
// an edge twice: one face's copy of it, lying in the other face's plane,
// was split there by rounding.)
TEST_F(HiddenSegments, random_boxes_show_what_a_point_by_point_search_sees) {
    std::mt19937 random(6);
    std::uniform_real_distribution<double> place(0.0, 300.0), size(40.0, 160.0);
    Matrix4 turn;
    SetIdentity4(turn);
    const double a = 0.4, b = 0.3, ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
    const double m[3][3] = {{ca, 0, sa}, {sb * sa, cb, -sb * ca}, {-cb * sa, sb, cb * ca}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) turn.m[r][c] = m[r][c];
    turn.m[2][3] = 800.0;
    static const int kFaces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                     {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    std::vector<std::array<Point3, 4>> quads;
    std::vector<std::pair<Point3, Point3>> edges;
    CSezione s;
    for (int box = 0; box < 6; ++box) {
        const double x = place(random), y = place(random), z = place(random) / 2.0;
        const double dx = size(random), dy = size(random), dz = size(random);
        const Point3 corner[8] = {
            {x, y, z},      {x + dx, y, z},      {x + dx, y + dy, z},      {x, y + dy, z},
            {x, y, z + dz}, {x + dx, y, z + dz}, {x + dx, y + dy, z + dz}, {x, y + dy, z + dz}};
        Point3 v[8];
        for (int k = 0; k < 8; ++k) TransformPoint(turn, corner[k], v[k]);
        for (const auto& f : kFaces) {
            quads.push_back({v[f[0]], v[f[1]], v[f[2]], v[f[3]]});
            Quad(s, {v[f[0]], v[f[1]], v[f[2]], v[f[3]]});
        }
        static const int kEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                          {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
        for (const auto& e : kEdges) edges.push_back({v[e[0]], v[e[1]]});
    }
    Run(s);

    // A point is covered when a face holds it inside its outline in plan
    // (clear of the outline) and lies in front of it there.
    const auto covered = [&quads](const Point3& p) {
        for (const auto& q : quads) {
            int sign = 0;
            bool inside = true;
            for (int k = 0; k < 4 && inside; ++k) {
                const Point3 &u = q[k], &w = q[(k + 1) % 4];
                const double cross =
                    ((w.x - u.x) * (p.y - u.y) - (w.y - u.y) * (p.x - u.x)) / PlanLength(u, w);
                if (std::fabs(cross) < 1e-3) inside = false;
                const int side = cross > 0 ? 1 : -1;
                if (sign && side != sign) inside = false;
                sign = side;
            }
            if (!inside) continue;
            // The face's depth at p, by its plane through three corners.
            const Point3 &o = q[0], &u = q[1], &w = q[3];
            const double nx = (u.y - o.y) * (w.z - o.z) - (u.z - o.z) * (w.y - o.y);
            const double ny = (u.z - o.z) * (w.x - o.x) - (u.x - o.x) * (w.z - o.z);
            const double nz = (u.x - o.x) * (w.y - o.y) - (u.y - o.y) * (w.x - o.x);
            const double depth = o.z - (nx * (p.x - o.x) + ny * (p.y - o.y)) / nz;
            if (depth < p.z - 0.05) return true;
        }
        return false;
    };
    const int samples = 2000;
    double expected = 0.0, total = 0.0;
    for (const auto& [p, q] : edges) {
        int seen = 0;
        for (int k = 0; k < samples; ++k) {
            const double t = (k + 0.5) / samples;
            seen += !covered({p.x + t * (q.x - p.x), p.y + t * (q.y - p.y), p.z + t * (q.z - p.z)});
        }
        expected += PlanLength(p, q) * seen / samples;
        total += PlanLength(p, q);
    }
    double shown = 0.0;
    for (const ViewSegment* g : Visible(s)) shown += PlanLength(g->start, g->end);
    EXPECT_LT(expected, 0.95 * total);  // the boxes do hide one another
    EXPECT_NEAR(shown, expected, 0.001 * total);
}

TEST_F(HiddenSegments, box_seen_frontally_leaves_its_silhouette) {
    CSezione s;
    const Point3 v[8] = {{0, 0, 10},  {200, 0, 10},  {200, 100, 10},  {0, 100, 10},
                         {0, 0, 160}, {200, 0, 160}, {200, 100, 160}, {0, 100, 160}};
    static const int kFaces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                     {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    for (const auto& f : kFaces) Quad(s, {v[f[0]], v[f[1]], v[f[2]], v[f[3]]});
    Run(s);
    const std::vector<const ViewSegment*> shown = Visible(s);
    ASSERT_EQ(shown.size(), 4u);
    double length = 0.0;
    for (const ViewSegment* g : shown) {
        length += PlanLength(g->start, g->end);
        EXPECT_DOUBLE_EQ(g->start.z, 10.0);  // the near rectangle's edges
        EXPECT_DOUBLE_EQ(g->end.z, 10.0);
    }
    EXPECT_NEAR(length, 600.0, 1e-9);
    EXPECT_EQ(s.sectionSegmentCount, 4);
}

}  // namespace
