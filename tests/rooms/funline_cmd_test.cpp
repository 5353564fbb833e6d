// VELMFUNLINE in the room 400 x 300 on its wall axes (inner wall lines at
// x = 15 and 385, y = 15 and 285): where a chain snaps and ends, undo and
// cancel, the size of the snap square, and points taken on a picked line.
#include <cmath>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/rooms/room_records_fixture.h"

namespace {

struct Segment {
    Point3 a, b;
};

class FunLineTest : public RoomRecordsTest {
protected:
    static std::vector<Segment> Segments() {
        std::vector<Segment> out;
        resbuf* filter = zcutBuildList(RTDXF0, "LINE", 8, "VELM2DFUNL$0", 0);
        ads_name ss;
        if (zcedSSGet("X", nullptr, nullptr, filter, ss) == RTNORM) {
            std::int32_t n = 0;
            zcedSSLength(ss, &n);
            for (std::int32_t i = 0; i < n; ++i) {
                ads_name e;
                zcedSSName(ss, i, e);
                resbuf* list = zcdbEntGet(e);
                const double* p = FindRbCode(list, 10)->resval.rpoint;
                const double* q = FindRbCode(list, 11)->resval.rpoint;
                out.push_back({{p[0], p[1], p[2]}, {q[0], q[1], q[2]}});
                zcutRelRb(list);
            }
            zcedSSFree(ss);
        }
        zcutRelRb(filter);
        return out;
    }
    static void ExpectPoint(const Point3& p, double x, double y) {
        EXPECT_NEAR(p.x, x, 1e-9);
        EXPECT_NEAR(p.y, y, 1e-9);
    }
};

TEST_F(FunLineTest, a_point_by_one_wall_line_ends_the_chain_on_it) {
    run({"VELMFUNLINE", "200,17", "200,280"});
    const auto s = Segments();
    ASSERT_EQ(s.size(), 1u) << transcript();
    ExpectPoint(s[0].a, 200, 15);
    ExpectPoint(s[0].b, 200, 285);
    // Nothing more was asked: the next line is a command.
    EXPECT_EQ(transcript().find("Cofnij]200,280\nOkreśl punkt końcowy"), std::string::npos);
}

TEST_F(FunLineTest, a_corner_does_not_snap) {
    run({"VELMFUNLINE", "200,15", "381,281", "300,200", ""});
    const auto s = Segments();
    ASSERT_EQ(s.size(), 2u) << transcript();
    ExpectPoint(s[0].b, 381, 281);
    ExpectPoint(s[1].a, 381, 281);
}

TEST_F(FunLineTest, undo_takes_back_the_last_segment_and_cancel_all) {
    run({"VELMFUNLINE", "100,100", "150,100", "200,100", "250,100", "Cofnij", "250,150", ""});
    auto s = Segments();
    ASSERT_EQ(s.size(), 3u) << transcript();
    bool third = false;
    for (const Segment& g : s) third |= g.a.x == 200 && g.b.x == 250 && g.b.y == 150;
    EXPECT_TRUE(third);
    for (const Segment& g : s) EXPECT_NE(g.b.y == 100 && g.b.x == 250, true);

    run({"VELMFUNLINE", "100,200", "150,200", "200,200", "250,200", "!cancel"});
    EXPECT_EQ(Segments().size(), 3u) << transcript();  // the earlier run's stay

    // Undo at the first end point: nothing drawn.
    run({"VELMFUNLINE", "100,250", "Cofnij"});
    EXPECT_EQ(Segments().size(), 3u);
}

TEST_F(FunLineTest, snap_square_corners_lie_at_three_tenths_of_the_setting) {
    // At the default 30 the corners lie 9 from the point: the square reaches
    // 9 / sqrt(2) = 6.36 across, so a line 6.2 away is met, 6.5 away not.
    run({"VELMFUNLINE", "100,100", "100,278.8"});
    run({"VELMFUNLINE", "300,100", "300,278.5", ""});
    auto s = Segments();
    ASSERT_EQ(s.size(), 2u) << transcript();
    for (const Segment& g : s) EXPECT_NEAR(g.b.y, g.a.x == 100 ? 285.0 : 278.5, 1e-9);

    SetSettingReal(SetupVar::MDPLINESTART, 60.0);
    run({"VELMFUNLINE", "200,100", "200,278.5"});
    s = Segments();
    ASSERT_EQ(s.size(), 3u);
    for (const Segment& g : s) {
        if (g.a.x == 200) {
            EXPECT_NEAR(g.b.y, 285.0, 1e-9);
        }
    }
}

TEST_F(FunLineTest, points_taken_on_a_picked_line) {
    ads_point a{100, 150, 0}, b{150, 150, 0};
    resbuf* line = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, 0);
    zcdbEntMake(line);
    zcutRelRb(line);
    // Enter at the start: a plain line is refused, the wall line taken; the
    // point lies 50 from its end nearest to the pick.
    run({"VELMFUNLINE", "", "!pick 120,150", "!pick 30,15", "50", "Wybierz", "!pick 30,285", "100"});
    EXPECT_NE(
        transcript().find("Wybrany element nie jest ani linią reprezentującą ścianę, ani linią funkcyjną"),
        std::string::npos);
    const auto s = Segments();
    ASSERT_EQ(s.size(), 1u) << transcript();
    ExpectPoint(s[0].a, 65, 15);
    ExpectPoint(s[0].b, 115, 285);

    // A separation line counts as a line to end on.
    run({"VELMFUNLINE", "50,100", "100,221"});
    const auto t = Segments();
    ASSERT_EQ(t.size(), 2u) << transcript();
}

}  // namespace
