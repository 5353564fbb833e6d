// Wall deletion: the wall's faces go, the faces it met are closed again,
// face lines running past it are cut back, and the 3D refresh hears of
// every face and line touched once.
#include "walls/editing/wall_delete.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "host/ads/adsent.h"
#include "host/util/findfile.h"
#include "tests/walls/drawing/walls_fixture.h"
#include "walls/editing/wall3d_hook.h"

namespace {

std::vector<std::pair<double, double>> HorizontalAt(const std::vector<FaceLine>& lines, double y) {
    std::vector<std::pair<double, double>> out;
    for (const FaceLine& l : lines)
        if (std::abs(l.start.y - y) < 1e-9 && std::abs(l.end.y - y) < 1e-9)
            out.emplace_back(std::min(l.start.x, l.end.x), std::max(l.start.x, l.end.x));
    std::sort(out.begin(), out.end());
    return out;
}

using Spans = std::vector<std::pair<double, double>>;

}  // namespace

class WallDeleteTest : public WallsTest {
protected:
    // The object library's definitions, for the doors of the tests.
    static void UseSupportFiles() {
        const std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([root] {
            return std::vector<std::string>{root + "/support", root + "/support/host"};
        });
    }
    void RoomAndInnerWall() {
        run({"VELMWALLD", "0,0", "600,0", "600,400", "0,400", "Zamknij"});
        run({"VELMWALLD", "300,15", "300,385", ""});
        ASSERT_EQ(Lines().size(), 12u) << transcript();
    }
};

TEST_F(WallDeleteTest, an_inner_wall_goes_and_the_faces_it_opened_are_joined_into_one_line_each) {
    RoomAndInnerWall();
    run({"VELMDELWALL", "!pick 315,200"});
    const std::vector<FaceLine> lines = Lines();
    EXPECT_EQ(lines.size(), 8u) << transcript();
    EXPECT_EQ(HorizontalAt(lines, 385.0), (Spans{{15.0, 585.0}}));
    EXPECT_EQ(HorizontalAt(lines, 15.0), (Spans{{15.0, 585.0}}));
    for (const FaceLine& l : lines) {
        EXPECT_FALSE(std::abs(l.start.x - 285.0) < 1e-9 && std::abs(l.end.x - 285.0) < 1e-9);
        EXPECT_FALSE(std::abs(l.start.x - 315.0) < 1e-9 && std::abs(l.end.x - 315.0) < 1e-9);
        EXPECT_EQ(l.wallType, "Ściana ogólna") << "every rewritten line keeps its wall type";
    }
}

TEST_F(WallDeleteTest, a_free_wall_drawn_both_ways_goes_whole_and_a_stub_cuts_its_longer_face_back) {
    // Faces drawn against each other, no wall at either end.
    WallLine({0, 0}, {200, 0});
    WallLine({200, 30}, {0, 30});
    run({"VELMDELWALL", "!pick 100,30"});
    EXPECT_TRUE(Lines().empty()) << transcript();

    // A stub on one side of a long face line: the line is cut at the stub's
    // ends and keeps what lies beyond them.
    WallLine({-300, 500}, {500, 500});
    WallLine({0, 530}, {200, 530});
    run({"VELMDELWALL", "!pick 100,530"});
    const std::vector<FaceLine> lines = Lines();
    EXPECT_EQ(HorizontalAt(lines, 500.0), (Spans{{-300.0, 0.0}, {200.0, 500.0}})) << transcript();
    EXPECT_TRUE(HorizontalAt(lines, 530.0).empty());
    for (const FaceLine& l : lines) EXPECT_EQ(l.wallType, "Ściana ogólna");
}

TEST_F(WallDeleteTest, the_3d_refresh_hears_each_touched_face_and_line_once) {
    RoomAndInnerWall();
    std::vector<std::pair<Point3, Point3>> segments;
    std::vector<std::pair<std::int64_t, std::int64_t>> regenerated;
    SetWall3DRefreshHooks(
        [&](const Point3& a, const Point3& b, double) {
            segments.push_back({a, b});
        },
        [&](const ads_name line, double) {
            regenerated.push_back({line[0], line[1]});
        });
    run({"VELMDELWALL", "!pick 315,200"});
    SetWall3DRefreshHooks(nullptr, nullptr);
    // Two faces of the wall, and the lines they met at both ends.
    EXPECT_EQ(regenerated.size(), 6u) << transcript();
    std::vector<std::pair<std::int64_t, std::int64_t>> unique = regenerated;
    std::sort(unique.begin(), unique.end());
    EXPECT_EQ(std::unique(unique.begin(), unique.end()), unique.end()) << "a line refreshed twice";
    EXPECT_GE(segments.size(), 2u);
    EXPECT_LE(segments.size(), regenerated.size());
}

TEST_F(WallDeleteTest, a_cancelled_pick_and_a_face_without_another_side_change_nothing) {
    WallLine({0, 0}, {200, 0});
    run({"VELMDELWALL", "!cancel"});
    EXPECT_EQ(Lines().size(), 1u);
    run({"VELMDELWALL", "!pick 100,0"});
    EXPECT_NE(transcript().find("Nie można znaleźć innej bocznej ściany"), std::string::npos);
    EXPECT_EQ(Lines().size(), 1u);
}

TEST_F(WallDeleteTest, a_door_set_wholly_in_the_wall_goes_with_it) {
    run({"VELMWALLD", "0,0", "600,0", "600,400", "0,400", "Zamknij"});
    UseSupportFiles();
    run({"VELMOBJECT", "P1", "!pick 150,15", "100"});
    ASSERT_EQ(count("0=INSERT -3=VELM5$_$PARAMETRI-"), 1) << transcript();
    run({"VELMDELWALL", "!pick 400,15"});
    EXPECT_EQ(count("0=INSERT -3=VELM5$_$PARAMETRI-"), 0) << transcript();
    EXPECT_TRUE(HorizontalAt(Lines(), 15.0).empty());
    // The outer face goes over the wall's length; only the corners' ends
    // stay with the side walls.
    for (const auto& [from, to] : HorizontalAt(Lines(), -15.0))
        EXPECT_TRUE(to <= 15.0 || from >= 585.0) << from;
}

TEST(WallCornerAngle, is_zero_for_a_perpendicular_side_and_grows_with_the_slant) {
    EXPECT_NEAR(CornerAngle({0, 0}, {100, 0}, {0, 100}), 0.0, 1e-12);
    EXPECT_NEAR(CornerAngle({0, 0}, {100, 0}, {0, -100}), 0.0, 1e-12);
    EXPECT_NEAR(CornerAngle({0, 0}, {100, 0}, {-100, 100}), std::numbers::pi / 4, 1e-12);
}
