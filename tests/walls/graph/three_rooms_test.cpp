// Three rooms and a free-standing wall drawn with the wall command, a free
// pilaster set into the middle room, and the face graph built and refined
// from the saved drawing: every room traced from a point inside closes on
// its inner faces, with the area the drawn axes and thickness give; a
// point outside every room only finds faces ending in the open.
//
// The drawing is the one the host program saved from
// tests/walls/graph/three_rooms.scr when VELM_THREE_ROOMS_DXF names it (the
// CTest run); run alone, the test draws the same plan itself and takes it
// through a DXF save and load the same way.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "tests/host/win_testdir.h"
#include "tests/walls/graph/graph_fixture.h"
#include "walls/graph/outline_record.h"

namespace {

class ThreeRoomsTest : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }
};

// A free pilaster as the object engine records it: its corners only.
void FreePilaster(std::initializer_list<Point3> corners) {
    resbuf* head = zcutBuildList(RTDXF0, "POINT", 8, "VELM2DPILASTRI$0", 0);
    resbuf** tail = &head;
    auto add = [&tail](resbuf* rb) {
        *tail = rb;
        while (*tail) tail = &(*tail)->rbnext;
    };
    add(head);
    const ads_point first = {corners.begin()->x, corners.begin()->y, 0};
    add(zcutBuildList(10, first, 0));
    add(zcutBuildList(-3, 0));
    add(zcutBuildList(1001, kPilasterApp, 0));
    for (const Point3& p : corners) {
        const ads_point a = {p.x, p.y, 0};
        add(zcutBuildList(1011, a, 0));
    }
    zcdbRegApp(kPilasterApp);
    EXPECT_EQ(zcdbEntMake(head), RTNORM);
    zcutRelRb(head);
}

}  // namespace

TEST_F(ThreeRoomsTest, each_drawn_room_closes_on_its_inner_area_and_a_point_outside_stays_open) {
    TestDir dir;
    std::string error;
    const char* saved = std::getenv("VELM_THREE_ROOMS_DXF");
    if (saved && *saved) {
        ASSERT_NE(host::openDrawing(saved, &error), nullptr) << error;
    } else {
        run({"VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij"});
        run({"VELMWALLD", "600,0", "900,0", "900,300", "600,300", "Zamknij"});
        run({"VELMWALLD", "1200,0", "1500,0", "Łuk", "300", "100", "90", "1200,300", "Zamknij"});
        run({"VELMWALLD", "0,600", "400,600", ""});
        const std::string path = dir.path("trzy_pokoje.dxf");
        ASSERT_TRUE(host::saveDrawing(curDoc(), path, &error)) << error;
        ASSERT_NE(host::openDrawing(path, &error), nullptr) << error;
    }
    ASSERT_EQ(count("0=LINE 8=VELM2DWALLS$0"), 24) << transcript();
    ASSERT_EQ(count("0=ARC 8=VELM2DWALLS$0"), 2) << transcript();
    FreePilaster({{720, 130, 0}, {760, 130, 0}, {760, 170, 0}, {720, 170, 0}});

    CFACCIATE g;
    g.Build(false, false, nullptr, false);
    g.MergePillars();
    g.SplitAtJunctions();
    g.MergeFunLines();
    EXPECT_EQ(CountFaces(g.pillarFaces), 4);

    const Traced a = TraceRoom(g, {200, 100, 0});
    EXPECT_TRUE(a.closed);
    EXPECT_EQ(a.vertices, 4);
    EXPECT_NEAR(a.area, 370.0 * 270.0, 1e-6);

    // The pilaster stands free: the room is still its four walls.
    const Traced b = TraceRoom(g, {650, 100, 0});
    EXPECT_TRUE(b.closed);
    EXPECT_EQ(b.vertices, 4);
    EXPECT_NEAR(b.area, 270.0 * 270.0, 1e-6);

    // The arc wall's axis: chord 300 from (1500, 0) up to (1500, 300),
    // rise 100, so radius (150² + 100²) / 200 about a centre on y = 150.
    // Its inner face, 15 in, meets the inner faces y = 15 and 285 at
    // innerX; the room is the rectangle from x = 1215 to that chord plus
    // the circular segment beyond it.
    const double axis = (150.0 * 150.0 + 100.0 * 100.0) / 200.0;
    const double cx = 1500.0 - (axis - 100.0), r = axis - 15.0;
    const double dx = std::sqrt(std::max(0.0, r * r - 135.0 * 135.0)), innerX = cx + dx;
    const double segment = r * r * std::acos(dx / r) - dx * std::sqrt(r * r - dx * dx);
    const Traced c = TraceRoom(g, {1300, 80, 0});
    EXPECT_TRUE(c.closed);
    EXPECT_GT(c.vertices, 4);
    EXPECT_NEAR(c.area, (innerX - 1215.0) * 270.0 + segment, 1e-3);

    // Nearest to the free-standing wall, whose faces end in the open.
    const Traced outside = TraceRoom(g, {200, 500, 0});
    EXPECT_FALSE(outside.closed);
    EXPECT_GE(outside.vertices, 2);
}
