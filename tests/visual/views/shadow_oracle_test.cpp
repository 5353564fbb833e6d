// Cast shadows of small scenes seen from the south-west and the south-east
// and lit from the south-west and above, checked against a ray cast of the
// faces (shadow_oracle.h): a box floating over a plate that rests on four
// walls, and a box over a plane of two faces whose shared edge is shown on
// one side only. The pieces must cover the seen points in shadow and leave
// the lit ones, whatever lies hidden under the receiver and whatever the
// edge flags say.
#include "tests/visual/views/shadow_oracle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/module_state.h"
#include "tests/support/velm_test.h"
#include "visual/views/view_shading.h"

namespace {

const Point3 kLight{-0.3, -1.0, 0.8};

class ShadowOracle : public ShadowToleranceTest {
protected:
    // The passes run on the scene seen at `turn`, measured on the receiver.
    oracle::Measure Shade(const std::vector<oracle::Face>& scene, int receiver, double turn) {
        const Matrix4 frame = oracle::ViewFrame(turn);
        double grid[63];
        SectionFace* faces = oracle::ViewFaces(scene, frame, grid);
        FaceGroup* groups = nullptr;
        faces = ComputeHiddenLines(faces, grid, &groups, {});
        std::uint8_t stop = 0;
        ShadowGroup* shadows = ComputeViewShading(&groups, frame, kLight, stop);
        const oracle::Measure m = oracle::Compare(scene, receiver, frame, kLight, shadows);
        FreeShadowGroups(shadows);
        FreeFaceGroups(groups);
        FreeList(faces);
        return m;
    }
};

oracle::Face Quad(Point3 a, Point3 b, Point3 c, Point3 d, const std::string& layer, int hidden = -1) {
    oracle::Face f;
    f.c[0] = a, f.c[1] = b, f.c[2] = c, f.c[3] = d;
    f.layer = layer;
    if (hidden >= 0) f.words[hidden] = 0;
    return f;
}

}  // namespace

TEST_F(ShadowOracle, walls_hidden_under_a_plate_cut_nothing_from_the_shadow_on_it) {
    for (const bool walls : {false, true}) {
        std::vector<oracle::Face> scene;
        scene.push_back(Quad({0, 0, 300}, {1000, 0, 300}, {1000, 1000, 300}, {0, 1000, 300}, "PLATE"));
        if (walls) {
            // A room under the middle of the plate: the shadow runs across
            // the planes of its walls.
            oracle::Box(scene, 200, 200, 0, 800, 230, 300, "WALLS");
            oracle::Box(scene, 200, 770, 0, 800, 800, 300, "WALLS");
            oracle::Box(scene, 200, 230, 0, 230, 770, 300, "WALLS");
            oracle::Box(scene, 770, 230, 0, 800, 770, 300, "WALLS");
        }
        oracle::Box(scene, 400, 200, 500, 600, 400, 700, "BOX");
        for (const double turn : {35.0, -35.0}) {
            const oracle::Measure m = Shade(scene, 0, turn);
            SCOPED_TRACE((walls ? "walls, turn " : "no walls, turn ") + std::to_string(turn));
            EXPECT_GT(m.shadowed, 100);
            EXPECT_LT(m.Missing(), 0.02);
            EXPECT_LT(m.Extra(), 0.02);
        }
    }
}

TEST_F(ShadowOracle, a_shadow_over_two_faces_stays_whatever_the_flag_of_their_shared_edge) {
    // The shared edge x = 500 shown by the west face and hidden by the east
    // one, then the other way round, then hidden by both.
    const int westHidden[3] = {-1, 1, 1}, eastHidden[3] = {3, -1, 3};
    for (int flags = 0; flags < 3; ++flags) {
        std::vector<oracle::Face> scene;
        scene.push_back(
            Quad({0, 0, 0}, {500, 0, 0}, {500, 1000, 0}, {0, 1000, 0}, "GROUND", westHidden[flags]));
        scene.push_back(
            Quad({500, 0, 0}, {1000, 0, 0}, {1000, 1000, 0}, {500, 1000, 0}, "GROUND", eastHidden[flags]));
        oracle::Box(scene, 300, 200, 200, 500, 400, 400, "BOX");
        for (const double turn : {35.0, -35.0})
            for (int receiver = 0; receiver < 2; ++receiver) {
                const oracle::Measure m = Shade(scene, receiver, turn);
                SCOPED_TRACE("flags " + std::to_string(flags) + ", turn " + std::to_string(turn) + ", face " +
                             std::to_string(receiver));
                EXPECT_GT(m.shadowed, 100);
                EXPECT_LT(m.Missing(), 0.02);
                EXPECT_LT(m.Extra(), 0.02);
            }
    }
}
