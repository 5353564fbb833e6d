// The inner lines of double-line walls drawn by "VELMDBLWALL" over wall
// lines, door outlines, corner objects and pilasters written as the wall
// drawing and the object engine leave them; the lines are read back from
// the drawing and compared by their end points.
#include <algorithm>
#include <cmath>
#include <tuple>

#include "core/entity_readers.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "store/setup_slots.h"
#include "tests/walls/graph/graph_fixture.h"
#include "tests/walls/wall_types_fixture.h"
#include "walls/dblwall/dblwall_cmd.h"
#include "walls/graph/outline_record.h"
#include "walls/recognition/dlg_dmuri.h"

namespace {

const char* const kWallLayer = "VELM2DWALLS$0";
const char* const kInnerLayer = "VELM2DWALLL$0";

void WallLine(Point3 a, Point3 b) {
    List l;
    l.add(zcutBuildList(RTDXF0, "LINE", 0)).text(8, kWallLayer).point(10, a).point(11, b);
    l.xdata().text(1001, "VELM5$_$DATITIPOMURO-").text(1000, "Mur 30").integer(1070, 0);
    ASSERT_EQ(zcdbEntMake(l.get()), RTNORM);
}

// A wall along X from x0 to x1 between y = -half and y = half, its two
// faces broken at the gaps given.
void WallAlongX(double x0, double x1, double half) {
    WallLine({x0, half, 0}, {x1, half, 0});
    WallLine({x0, -half, 0}, {x1, -half, 0});
}

// The outline record of an object set into walls: kind, two corner points,
// the two jambs (polylines from face A to face B) and empty hole groups.
void Outline(int kind, Point3 corner1, Point3 corner2, std::initializer_list<Point3> jamb1,
             std::initializer_list<Point3> jamb2) {
    List l;
    l.add(zcutBuildList(RTDXF0, "POINT", 0)).text(8, "VELM2DDOORS$0").point(10, *jamb1.begin());
    l.xdata().text(1001, kTag3DiStrApp).integer(1070, kind).integer(1070, 0).real(1040, 90).real(1040, 210);
    l.real(1040, 0).integer(1070, 0).real(1040, 30).point(1011, corner1).point(1011, corner2);
    for (const auto& jamb : {jamb1, jamb2}) {
        l.text(1002, "{");
        for (const Point3& p : jamb) l.point(1011, p);
        l.text(1002, "}");
    }
    for (int i = 0; i < 4; ++i) l.text(1002, "{").text(1002, "}");
    ASSERT_EQ(zcdbEntMake(l.get()), RTNORM);
}

void Pilaster(std::initializer_list<Point3> corners) {
    List l;
    l.add(zcutBuildList(RTDXF0, "POINT", 0)).text(8, "VELM2DPILASTRI$0").point(10, *corners.begin());
    l.xdata().text(1001, kPilasterApp);
    for (const Point3& p : corners) l.point(1011, p);
    ASSERT_EQ(zcdbEntMake(l.get()), RTNORM);
}

using Seg = std::tuple<long, long, long, long>;  // rounded, start before end

std::vector<Seg> InnerLines() {
    std::vector<Seg> out;
    ads_name set;
    if (!SelectTypeOnLayer("LINE", kInnerLayer, false, set, false)) return out;
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        Point3 a, b;
        zcedSSName(set, i, e);
        GetLineData(e, a, b);
        Seg s{std::lround(a.x), std::lround(a.y), std::lround(b.x), std::lround(b.y)};
        Seg r{std::lround(b.x), std::lround(b.y), std::lround(a.x), std::lround(a.y)};
        out.push_back(std::min(s, r));
    }
    zcedSSFree(set);
    std::sort(out.begin(), out.end());
    return out;
}

class DblWallTest : public WallTypesTest {
protected:
    void SetUp() override {
        WallTypesTest::SetUp();
        std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([root] {
            return std::vector<std::string>{root + "/support", root + "/support/host"};
        });
        for (const char* app : {"VELM5$_$DATITIPOMURO-", kTag3DiStrApp, kPilasterApp}) zcdbRegApp(app);
    }
    // The command with dialog 196 accepted as it stands.
    static void runCommand() {
        zcui::InstallDialogDriver(IDD_DMURI, [](zcui::DialogUser& u) { u.Ok(); });
        CmdDblWall();
    }
};

TEST_F(DblWallTest, a_closed_room_gets_one_line_inside_each_face_met_at_the_corners) {
    // A room 400 x 300 on its axes, walls 30 thick.
    for (auto [a, b] : {std::pair<Point3, Point3>{{-15, -15}, {415, -15}},
                        {{415, -15}, {415, 315}},
                        {{415, 315}, {-15, 315}},
                        {{-15, 315}, {-15, -15}},
                        {{15, 15}, {385, 15}},
                        {{385, 15}, {385, 285}},
                        {{385, 285}, {15, 285}},
                        {{15, 285}, {15, 15}}})
        WallLine(a, b);
    runCommand();
    const std::vector<Seg> expected{{-11, -11, -11, 311}, {-11, -11, 411, -11}, {-11, 311, 411, 311},
                                    {11, 11, 11, 289},    {11, 11, 389, 11},    {11, 289, 389, 289},
                                    {389, 11, 389, 289},  {411, -11, 411, 311}};
    EXPECT_EQ(InnerLines(), expected);
    // Again: the lines drawn before are replaced, not doubled.
    runCommand();
    EXPECT_EQ(InnerLines(), expected);
    EXPECT_EQ(count("0=LINE 8=VELM2DWALLL$0"), 8);
}

TEST_F(DblWallTest, walls_outside_the_thickness_range_or_faces_too_skew_get_no_line) {
    WallAlongX(0, 300, 5);                 // 10 thick
    WallLine({0, 500, 0}, {300, 500, 0});  // 60 thick
    WallLine({0, 560, 0}, {300, 560, 0});
    // Faces at 25 degrees (sine above 0.4), 30 apart where they start.
    WallLine({0, 1000, 0}, {300, 1000, 0});
    WallLine({0, 1030, 0}, {300, 1030 + 300 * std::tan(25 * M_PI / 180), 0});
    runCommand();
    EXPECT_TRUE(InnerLines().empty());

    // At 20 degrees they pair; only the straight face finds the other one
    // straight across (from the skew face the first foot falls far off).
    WallLine({0, 2000, 0}, {300, 2000, 0});
    WallLine({0, 2030, 0}, {300, 2030 + 300 * std::tan(20 * M_PI / 180), 0});
    runCommand();
    EXPECT_EQ(InnerLines(), (std::vector<Seg>{{0, 2004, 300, 2004}}));
}

TEST_F(DblWallTest, a_door_cuts_each_line_at_both_jambs) {
    WallLine({0, 15, 0}, {100, 15, 0});
    WallLine({190, 15, 0}, {400, 15, 0});
    WallLine({0, -15, 0}, {100, -15, 0});
    WallLine({190, -15, 0}, {400, -15, 0});
    Outline(11, {100, 15, 0}, {100, 15, 0}, {{100, 15, 0}, {100, -15, 0}}, {{190, 15, 0}, {190, -15, 0}});
    runCommand();
    EXPECT_EQ(
        InnerLines(),
        (std::vector<Seg>{{0, -11, 100, -11}, {0, 11, 100, 11}, {190, -11, 400, -11}, {190, 11, 400, 11}}));
}

TEST_F(DblWallTest, pilasters_interrupt_the_lines_and_stop_them_at_the_ends) {
    WallAlongX(0, 400, 15);
    Pilaster({{150, -13, 0}, {180, -13, 0}, {180, 13, 0}, {150, 13, 0}});  // inside the wall
    Pilaster({{-5, -20, 0}, {20, -20, 0}, {20, 20, 0}, {-5, 20, 0}});      // over the start
    Pilaster({{380, -20, 0}, {405, -20, 0}, {405, 20, 0}, {380, 20, 0}});  // over the end
    runCommand();
    EXPECT_EQ(
        InnerLines(),
        (std::vector<Seg>{{20, -11, 150, -11}, {20, 11, 150, 11}, {180, -11, 380, -11}, {180, 11, 380, 11}}));
}

TEST_F(DblWallTest, an_object_at_a_wall_corner_stops_the_lines_at_its_jambs) {
    // An L: a wall along X (y -15..15) and one along Y (x -15..15) meeting
    // at the origin, the corner object between x = 60 and y = 60.
    WallLine({60, 15, 0}, {400, 15, 0});
    WallLine({60, -15, 0}, {400, -15, 0});
    WallLine({15, 60, 0}, {15, 300, 0});
    WallLine({-15, 60, 0}, {-15, 300, 0});
    Outline(18, {-15, -15, 0}, {15, 15, 0}, {{60, 15, 0}, {60, -15, 0}}, {{15, 60, 0}, {-15, 60, 0}});
    runCommand();
    EXPECT_EQ(
        InnerLines(),
        (std::vector<Seg>{{-11, 60, -11, 300}, {11, 60, 11, 300}, {60, -11, 400, -11}, {60, 11, 400, 11}}));
}

TEST_F(DblWallTest, cancel_changes_no_setting_and_draws_nothing_ok_stores_the_distance) {
    WallAlongX(0, 300, 15);
    zcui::InstallDialogDriver(IDD_DMURI, [](zcui::DialogUser& u) {
        u.Edit(1063, "6");
        u.Cancel();
    });
    CmdDblWall();
    EXPECT_EQ(SettingReal(SetupVar::DLINEDISTE, -1), 4.0);
    EXPECT_TRUE(InnerLines().empty());

    zcui::InstallDialogDriver(IDD_DMURI, [](zcui::DialogUser& u) {
        u.Edit(1063, "6");
        u.Ok();
    });
    CmdDblWall();
    EXPECT_EQ(SettingReal(SetupVar::DLINEDISTE, -1), 6.0);
    EXPECT_EQ(InnerLines(), (std::vector<Seg>{{0, -9, 300, -9}, {0, 9, 300, 9}}));
}

TEST_F(DblWallTest, a_floor_without_walls_is_reported_and_its_old_lines_stay_erased) {
    WallAlongX(0, 300, 15);
    runCommand();
    ASSERT_EQ(InnerLines().size(), 2u);
    ads_name set;
    ASSERT_TRUE(SelectTypeOnLayer("LINE", kWallLayer, false, set, false));
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        zcedSSName(set, i, e);
        zcdbEntDel(e);
    }
    zcedSSFree(set);
    runCommand();
    EXPECT_TRUE(InnerLines().empty());
    EXPECT_NE(transcript().find("Nie można obliczyć modelu ścian bieżącej podłogi"), std::string::npos);
}

}  // namespace
