// Hidden faces of a view: groups only on layers that cast shadows, one
// outline round faces joined by hidden edges, nothing hidden by a plane
// seen edge-on or outside an outline; and, on random scenes, a face goes
// exactly when it lies wholly behind a group's plane and within an outline.
#include "visual/views/hidden_faces.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/base/module_state.h"
#include "store/settings_store.h"
#include "store/velm_layerombra.h"
#include "tests/support/velm_test.h"
#include "tests/visual/views/view_scenes.h"

namespace {

using scenes::Rect;

class HiddenFaces : public ::testing::Test {
protected:
    void SetUp() override {
        saved = SharedTolerance;
        SetSharedTolerance(0.001);
    }
    void TearDown() override {
        FreeFaceGroups(groups);
        FreeList(faces);
        SetSharedTolerance(saved);
    }
    void Run(const std::vector<std::string>& patterns = {}) {
        double grid[63];
        scenes::Grid(faces, grid);
        faces = ComputeHiddenLines(faces, grid, &groups, patterns);
    }
    std::set<int> Colours() const {
        std::set<int> out;
        for (const SectionFace* f = faces; f; f = f->next) out.insert(f->colour);
        return out;
    }
    double saved = 0.0;
    SectionFace* faces = nullptr;
    FaceGroup* groups = nullptr;
};

}  // namespace

TEST_F(HiddenFaces, faces_on_layers_without_shadows_make_no_groups_and_all_stay) {
    Rect(faces, 0, 0, 100, 100, 50, "3DRAILING_1", false, 1);
    Rect(faces, 10, 10, 20, 20, 80, "3drailing_2", false, 2);
    Rect(faces, 10, 10, 20, 20, 90, "3DWINDOWS_S", true, 3);
    Run({"3drailing_*", "3dwindows_s*"});
    EXPECT_EQ(groups, nullptr);
    EXPECT_EQ(CountNodes(faces), 4);
}

TEST_F(HiddenFaces, faces_joined_by_a_hidden_edge_make_one_outline_and_shown_shared_edges_stay_open) {
    // A square in two triangles whose diagonal is hidden: one outline.
    Rect(faces, 0, 0, 10, 10, 5, "A", true);
    Run();
    ASSERT_NE(groups, nullptr);
    EXPECT_EQ(groups->next, nullptr);
    ASSERT_EQ(CountNodes(groups->outlines), 1);
    EXPECT_EQ(CountNodes(groups->outlines->ring), 4);
    EXPECT_NEAR(std::fabs(scenes::Area(groups->outlines->ring)), 100.0, 1e-6);
    FreeFaceGroups(groups);
    groups = nullptr;
    FreeList(faces);
    faces = nullptr;

    // Two squares side by side, each whole: two outlines of their own.
    Rect(faces, 0, 0, 10, 10, 5, "A");
    Rect(faces, 10, 0, 20, 10, 5, "A");
    Run();
    ASSERT_NE(groups, nullptr);
    EXPECT_EQ(CountNodes(groups->outlines), 2);
}

TEST_F(HiddenFaces, a_frame_of_faces_round_an_opening_gives_one_outline_with_its_hole_bridged_in) {
    // Four faces round a 10 x 10 opening, their common edges hidden: the
    // outline covers 30 x 30 less the opening, and hides a face behind the
    // wall but not one seen through the opening.
    const int words[4] = {1, 0, 1, 0};  // outer and inner edges shown, diagonals hidden
    scenes::Add(faces, {{0, 0, 5}, {30, 0, 5}, {20, 10, 5}, {10, 10, 5}}, words, "W");
    scenes::Add(faces, {{30, 0, 5}, {30, 30, 5}, {20, 20, 5}, {20, 10, 5}}, words, "W");
    scenes::Add(faces, {{30, 30, 5}, {0, 30, 5}, {10, 20, 5}, {20, 20, 5}}, words, "W");
    scenes::Add(faces, {{0, 30, 5}, {0, 0, 5}, {10, 10, 5}, {10, 20, 5}}, words, "W");
    Rect(faces, 2, 2, 6, 6, 50, "B", false, 7);      // behind the wall
    Rect(faces, 12, 12, 18, 18, 50, "B", false, 8);  // seen through the opening
    Run();
    ASSERT_NE(groups, nullptr);
    const FaceGroup* wall = groups;
    while (wall && wall->layer != "W") wall = wall->next;
    ASSERT_NE(wall, nullptr);
    ASSERT_EQ(CountNodes(wall->outlines), 1);
    EXPECT_NEAR(std::fabs(scenes::Area(wall->outlines->ring)), 900.0 - 100.0, 1e-6);
    EXPECT_EQ(Colours().count(7), 0u);
    EXPECT_EQ(Colours().count(8), 1u);
}

TEST_F(HiddenFaces, a_plane_seen_edge_on_hides_nothing_and_a_face_partly_outside_an_outline_stays) {
    // A plane x = 5 seen edge-on, with faces on either side of it.
    scenes::Add(faces, {{5, 0, 0}, {5, 0, 100}, {5, 100, 100}, {5, 100, 0}}, {1, 1, 1, 1}, "E", 1);
    Rect(faces, 4, 10, 6, 20, 80, "F", false, 2);
    Rect(faces, 6, 10, 8, 20, 80, "F", false, 3);
    // A plate and a face behind it reaching past its edge.
    Rect(faces, 20, 20, 60, 60, 10, "P", false, 4);
    Rect(faces, 30, 30, 70, 50, 40, "Q", false, 5);
    Rect(faces, 30, 30, 50, 50, 40, "R", false, 6);
    Run();
    EXPECT_EQ(Colours(), (std::set<int>{1, 2, 3, 4, 5}));
}

TEST_F(HiddenFaces, groups_run_from_the_nearest_first_outline) {
    Rect(faces, 0, 0, 10, 10, 90, "FAR");
    Rect(faces, 0, 20, 10, 30, 10, "NEAR");
    Rect(faces, 0, 40, 10, 50, 50, "MID");
    Run();
    std::vector<std::string> order;
    for (const FaceGroup* g = groups; g; g = g->next) order.push_back(g->layer);
    EXPECT_EQ(order, (std::vector<std::string>{"NEAR", "MID", "FAR"}));
}

TEST_F(HiddenFaces, a_group_whose_edges_are_all_shared_has_no_outline_and_sorts_last) {
    // Two equal triangles with every edge hidden: each edge is shared, so
    // nothing is left to trace.
    scenes::Add(faces, {{0, 0, 5}, {10, 0, 5}, {0, 10, 5}, {0, 10, 5}}, {0, 0, 0, 0}, "GHOST");
    scenes::Add(faces, {{0, 0, 5}, {10, 0, 5}, {0, 10, 5}, {0, 10, 5}}, {0, 0, 0, 0}, "GHOST");
    Rect(faces, 0, 20, 10, 30, 90, "FAR");
    Rect(faces, 0, 40, 10, 50, 50, "MID");
    Run();
    std::vector<std::string> order;
    for (const FaceGroup* g = groups; g; g = g->next) order.push_back(g->layer);
    EXPECT_EQ(order, (std::vector<std::string>{"MID", "FAR", "GHOST"}));
}

TEST_F(HiddenFaces, at_a_point_where_two_faces_meet_the_walk_keeps_to_the_first_face_that_leaves_it) {
    // Two triangles of one plane meeting at (10, 10), every edge shown: the
    // walk round either one finds its own next edge first and closes on
    // itself, so each is an outline of its own.
    scenes::Add(faces, {{0, 0, 5}, {10, 10, 5}, {0, 20, 5}, {0, 20, 5}}, {1, 1, 1, 0}, "A");
    scenes::Add(faces, {{10, 10, 5}, {20, 0, 5}, {20, 20, 5}, {20, 20, 5}}, {1, 1, 1, 0}, "A");
    Run();
    ASSERT_NE(groups, nullptr);
    ASSERT_EQ(CountNodes(groups->outlines), 2);
    for (const OutlinePolygon* o = groups->outlines; o; o = o->next) {
        EXPECT_EQ(CountNodes(o->ring), 3);
        EXPECT_NEAR(std::fabs(scenes::Area(o->ring)), 100.0, 1e-6);
    }
}

TEST_F(HiddenFaces, a_face_inside_an_opening_stays_an_outline_of_its_own_whatever_the_order) {
    // A frame round a 30 x 30 opening and a 10 x 10 face inside the
    // opening, in one plane and layer, given in either order: two outlines,
    // the frame's with the opening bridged in.
    for (bool islandFirst : {true, false}) {
        if (islandFirst) Rect(faces, 40, 40, 50, 50, 5, "W", true);
        const int words[4] = {1, 0, 1, 0};
        scenes::Add(faces, {{0, 0, 5}, {90, 0, 5}, {60, 30, 5}, {30, 30, 5}}, words, "W");
        scenes::Add(faces, {{90, 0, 5}, {90, 90, 5}, {60, 60, 5}, {60, 30, 5}}, words, "W");
        scenes::Add(faces, {{90, 90, 5}, {0, 90, 5}, {30, 60, 5}, {60, 60, 5}}, words, "W");
        scenes::Add(faces, {{0, 90, 5}, {0, 0, 5}, {30, 30, 5}, {30, 60, 5}}, words, "W");
        if (!islandFirst) Rect(faces, 40, 40, 50, 50, 5, "W", true);
        Run();
        ASSERT_NE(groups, nullptr);
        ASSERT_EQ(CountNodes(groups->outlines), 2) << islandFirst;
        double area = 0.0;
        for (const OutlinePolygon* o = groups->outlines; o; o = o->next)
            area += std::fabs(scenes::Area(o->ring));
        EXPECT_NEAR(area, 8100.0 - 900.0 + 100.0, 1e-6) << islandFirst;
        FreeFaceGroups(groups);
        groups = nullptr;
        FreeList(faces);
        faces = nullptr;
    }
}

TEST_F(HiddenFaces, random_scenes_lose_exactly_the_faces_wholly_behind_a_group_and_within_an_outline) {
    std::mt19937 rng(73);
    std::uniform_real_distribution<double> at(0.0, 100.0), size(5.0, 60.0), depth(0.0, 100.0);
    int removed = 0;
    for (int scene = 0; scene < 60; ++scene) {
        struct Made {
            Point3 c[4];
            int colour;
        };
        std::vector<Made> made;
        const int n = 4 + scene % 9;
        for (int i = 0; i < n; ++i) {
            const double x0 = at(rng), y0 = at(rng), x1 = x0 + size(rng), y1 = y0 + size(rng);
            const double z = std::round(depth(rng));
            made.push_back({{{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}}, i + 1});
            Rect(faces, x0, y0, x1, y1, z, "L" + std::to_string(i % 3), i % 2 == 0, i + 1);
        }
        Run();
        const std::set<int> left = Colours();
        for (const Made& m : made) {
            bool hidden = false;
            for (const FaceGroup* g = groups; g && !hidden; g = g->next) {
                if (g->plane.isPerpendicularTo(ZcGePlane(0.0, 0.0, 1.0, 0.0))) continue;
                bool behind = true;
                for (const Point3& c : m.c)
                    behind = behind && g->plane.signedDistanceTo({c.x, c.y, c.z}) <= -SharedTolerance;
                if (!behind) continue;
                VertexNode* flat = nullptr;
                for (const Point3& c : m.c) AppendVertex(&flat, {c.x, c.y, 0.0}, 0, 0, 0);
                for (const OutlinePolygon* o = g->outlines; o && !hidden; o = o->next)
                    hidden = PolygonInsidePolygon(flat, o->ring) == 1;
                FreeList(flat);
            }
            // A split face is two faces of one colour: both go or both stay.
            EXPECT_EQ(left.count(m.colour) == 0, hidden) << "scene " << scene << " face " << m.colour;
            removed += hidden ? 1 : 0;
        }
        FreeFaceGroups(groups);
        groups = nullptr;
        FreeList(faces);
        faces = nullptr;
    }
    EXPECT_GT(removed, 10);  // the scenes do hide faces
}

namespace {

class HiddenFacesInDrawing : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }
};

}  // namespace

TEST_F(HiddenFacesInDrawing, the_drawing_shadow_layers_keep_railings_out_of_the_groups) {
    SectionFace* faces = nullptr;
    Rect(faces, 0, 0, 100, 100, 10, "3DRAILING_1", false, 1);
    Rect(faces, 10, 10, 20, 20, 50, "3DWALLS$0", false, 2);
    double grid[63];
    scenes::Grid(faces, grid);
    FaceGroup* groups = nullptr;
    faces = ComputeHiddenLines(faces, grid, &groups);
    // The railing is seen through: the wall behind it stays.
    EXPECT_EQ(CountNodes(faces), 2);
    ASSERT_NE(groups, nullptr);
    EXPECT_EQ(groups->layer, "3DWALLS$0");
    EXPECT_EQ(groups->next, nullptr);
    FreeFaceGroups(groups);
    FreeList(faces);
}
