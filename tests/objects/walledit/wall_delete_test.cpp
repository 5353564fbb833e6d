// Wall deletion: the wall's faces go, the faces it met are closed again,
// face lines running past it are cut back, and the 3D refresh hears of
// every face and line touched once.
#include "objects/walledit/wall_delete.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/db/dbmain.h"
#include "host/util/findfile.h"
#include "store/setup_slots.h"
#include "tests/walls/drawing/walls_fixture.h"

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
    // The corners of every 3DFACE of the drawing.
    static std::vector<std::array<Point3, 4>> Faces3D() {
        std::vector<std::array<Point3, 4>> out;
        for (ZcDbObjectId id : modelSpace()) {
            ads_name e;
            if (zcdbGetAdsName(e, id) != Zcad::eOk) continue;
            host::ResbufList list(zcdbEntGet(e));
            const resbuf* type = list.get();
            while (type && type->restype != 0) type = type->rbnext;
            if (!type || std::string(type->resval.rstring) != "3DFACE") continue;
            std::array<Point3, 4> c{};
            for (const resbuf* rb = list.get(); rb; rb = rb->rbnext)
                if (rb->restype >= 10 && rb->restype <= 13)
                    c[rb->restype - 10] = {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]};
            out.push_back(c);
        }
        return out;
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

namespace {

// Whether every corner of the face lies on the plan line x = at (or y = at).
bool StandsOn(const std::array<Point3, 4>& f, bool alongY, double at) {
    for (const Point3& p : f)
        if (std::abs((alongY ? p.x : p.y) - at) > 1e-6) return false;
    return true;
}

// The plan length the faces standing on the line x = at (or y = at) cover,
// counted once per face.
double Covered(const std::vector<std::array<Point3, 4>>& faces, bool alongY, double at) {
    double length = 0.0;
    for (const auto& f : faces) {
        if (!StandsOn(f, alongY, at)) continue;
        double lo = alongY ? f[0].y : f[0].x, hi = lo;
        for (const Point3& p : f)
            lo = std::min(lo, alongY ? p.y : p.x), hi = std::max(hi, alongY ? p.y : p.x);
        length += hi - lo;
    }
    return length;
}

}  // namespace

TEST_F(WallDeleteTest, the_3d_model_loses_the_wall_s_sides_and_covers_each_joined_face_once) {
    RoomAndInnerWall();
    UseSupportFiles();
    SetInt(SetupVar::SETOPZM3DAUTO, 1);
    run({"VELMWALL3D", ""});
    const auto before = Faces3D();
    ASSERT_TRUE(std::any_of(before.begin(), before.end(), [](const auto& f) {
        return StandsOn(f, true, 315.0);
    })) << transcript();
    run({"VELMDELWALL", "!pick 315,200"});
    const auto after = Faces3D();
    for (const auto& f : after) {
        EXPECT_FALSE(StandsOn(f, true, 285.0)) << "a side of the deleted wall stayed";
        EXPECT_FALSE(StandsOn(f, true, 315.0)) << "a side of the deleted wall stayed";
    }
    // The joined faces are covered along their whole length as often as a
    // face the deletion did not touch (the inner face of the left wall).
    const double perLength = Covered(after, true, 15.0) / 370.0;
    EXPECT_GT(perLength, 0.0);
    for (const double y : {15.0, 385.0})
        EXPECT_NEAR(Covered(after, false, y) / 570.0, perLength, 1e-9) << "face at y=" << y << "\n"
                                                                       << transcript();
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
