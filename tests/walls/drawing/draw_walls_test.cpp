// Wall drawing through the command line, answers pushed as a user types
// them: the faces written, the walls met at the start and the end, undo and
// cancel, and the system variables put back.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/entity_readers.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ed/grdraw.h"
#include "store/setup_slots.h"
#include "tests/walls/drawing/walls_fixture.h"
#include "walls/drawing/velm_muroj.h"

namespace {

// The closed loops the lines form, each as its area.
std::vector<double> LoopAreas(std::vector<FaceLine> lines) {
    std::vector<double> areas;
    const auto same = [](const Point3& p, const Point3& q) { return Distance2d(p, q) < 1e-6; };
    while (!lines.empty()) {
        std::vector<Point3> ring{lines.front().start, lines.front().end};
        lines.erase(lines.begin());
        for (bool grew = true; grew && !same(ring.front(), ring.back());) {
            grew = false;
            for (auto it = lines.begin(); it != lines.end(); ++it) {
                if (!same(it->start, ring.back()) && !same(it->end, ring.back())) continue;
                ring.push_back(same(it->start, ring.back()) ? it->end : it->start);
                lines.erase(it);
                grew = true;
                break;
            }
        }
        if (!same(ring.front(), ring.back())) return {};  // an open chain
        double twice = 0;
        for (std::size_t i = 0; i + 1 < ring.size(); ++i)
            twice += ring[i].x * ring[i + 1].y - ring[i + 1].x * ring[i].y;
        areas.push_back(std::fabs(twice) / 2);
    }
    std::sort(areas.begin(), areas.end());
    return areas;
}

}  // namespace

TEST_F(WallsTest, a_closed_rectangle_gives_inner_and_outer_loops_of_the_wall_thickness) {
    for (double t : {30.0, 12.5}) {
        SetReal(SetupVar::MDPLINESTART, t);
        SetReal(SetupVar::MDPLINEEND, t);
        const double x = t == 30.0 ? 0 : 2000;
        run({"VELMWALLD", std::to_string(x) + ",0", std::to_string(x + 400) + ",0",
             std::to_string(x + 400) + ",300", std::to_string(x) + ",300", "Zamknij"});
    }
    std::vector<FaceLine> all = Lines();
    ASSERT_EQ(all.size(), 16u) << transcript();
    for (const FaceLine& l : all) EXPECT_EQ(l.wallType, "Ściana ogólna");
    std::vector<FaceLine> first, second;
    for (const FaceLine& l : all) (l.start.x < 1000 ? first : second).push_back(l);
    for (auto [lines, t] : {std::pair{first, 30.0}, std::pair{second, 12.5}}) {
        const std::vector<double> areas = LoopAreas(lines);
        ASSERT_EQ(areas.size(), 2u) << "t " << t;
        EXPECT_NEAR(areas[0], (400 - t) * (300 - t), 1e-6);
        EXPECT_NEAR(areas[1], (400 + t) * (300 + t), 1e-6);
    }
}

TEST_F(WallsTest, points_beyond_the_drawing_are_refused_and_asked_again) {
    run({"VELMWALLD", "1e308,1e308", "-2e10,0", "0,0", "1e11,0", "0,1e308", "400,0", ""});
    const std::string said = transcript();
    std::size_t refusals = 0;
    for (std::size_t at = said.find("Wartość poza zakresem."); at != std::string::npos;
         at = said.find("Wartość poza zakresem.", at + 1))
        ++refusals;
    EXPECT_EQ(refusals, 4u);
    const std::vector<FaceLine> lines = Lines();
    ASSERT_FALSE(lines.empty());
    for (const FaceLine& l : lines)
        for (const Point3& p : {l.start, l.end}) {
            EXPECT_LE(std::fabs(p.x), 400.0 + 1e-9);
            EXPECT_LE(std::fabs(p.y), 30.0 + 1e-9);
        }
}

TEST_F(WallsTest, caps_close_both_ends_and_undo_takes_the_first_segment_with_its_cap) {
    run({"VELMWALLD", "Nagłówek", "0,0", "100,0", "Nagłówek"});
    std::vector<FaceLine> lines = Lines();
    EXPECT_EQ(lines.size(), 4u) << transcript();
    EXPECT_TRUE(HasLine(lines, {0, -15}, {0, 15}));
    EXPECT_TRUE(HasLine(lines, {100, -15}, {100, 15}));
    for (const FaceLine& l : lines) EXPECT_EQ(l.wallType, "Ściana ogólna");

    run({"VELMWALLD", "Nagłówek", "0,500", "100,500", "Cofnij", "0,600", ""});
    lines = Lines();
    EXPECT_EQ(lines.size(), 7u) << "the undone faces and cap are gone, the cap written once";
    EXPECT_FALSE(HasLine(lines, {0, 485}, {100, 485}));
    EXPECT_TRUE(HasLine(lines, {15, 500}, {-15, 500})) << "the cap across the new direction";
}

TEST_F(WallsTest, a_wall_started_on_a_wall_line_opens_it_and_cancel_puts_it_back_whole) {
    WallLine({0, 0}, {400, 0}, "Murowana");
    run({"VELMWALLD", "200,0", "200,200", "!cancel"});
    std::vector<FaceLine> lines = Lines();
    ASSERT_EQ(lines.size(), 1u) << transcript();
    EXPECT_TRUE(HasLine(lines, {0, 0}, {400, 0}));
    EXPECT_EQ(lines[0].wallType, "Murowana");

    run({"VELMWALLD", "200,0", "200,200", ""});
    lines = Lines();
    ASSERT_EQ(lines.size(), 4u) << transcript();
    EXPECT_TRUE(HasLine(lines, {0, 0}, {185, 0}));
    EXPECT_TRUE(HasLine(lines, {215, 0}, {400, 0}));
    EXPECT_TRUE(HasLine(lines, {215, 0}, {215, 200}));
    EXPECT_TRUE(HasLine(lines, {185, 0}, {185, 200}));
    for (const FaceLine& l : lines)
        EXPECT_EQ(l.wallType, l.start.y == 0 && l.end.y == 0 ? "Murowana" : "Ściana ogólna");
}

TEST_F(WallsTest, without_trimming_a_met_wall_stays_whole_and_the_faces_still_reach_it) {
    SetInt(SetupVar::MTRIMAUTO, 0);
    WallLine({0, 0}, {400, 0});
    run({"VELMWALLD", "200,0", "200,200", ""});
    const std::vector<FaceLine> lines = Lines();
    ASSERT_EQ(lines.size(), 3u) << transcript();
    EXPECT_TRUE(HasLine(lines, {0, 0}, {400, 0}));
    EXPECT_TRUE(HasLine(lines, {215, 0}, {215, 200}));
}

TEST_F(WallsTest, a_wall_met_at_the_end_is_opened_and_ends_the_drawing) {
    WallLine({0, 500}, {400, 500});
    // Nothing is answered after the point on the wall: a drawing still
    // asking would be cancelled by the empty input and leave nothing.
    run({"VELMWALLD", "200,0", "200,500"});
    const std::vector<FaceLine> lines = Lines();
    ASSERT_EQ(lines.size(), 4u) << transcript();
    EXPECT_TRUE(HasLine(lines, {215, 0}, {215, 500}));
    EXPECT_TRUE(HasLine(lines, {185, 0}, {185, 500}));
    EXPECT_TRUE(HasLine(lines, {0, 500}, {185, 500}));
    EXPECT_TRUE(HasLine(lines, {215, 500}, {400, 500}));
}

TEST_F(WallsTest, a_picked_wall_is_joined_at_the_distance_along_it_and_cancel_restores_it) {
    WallLine({0, 500}, {400, 500});
    run({"VELMWALLD", "250,0", "250,200", "Wybierz", "!pick 380,500", "150"});
    std::vector<FaceLine> lines = Lines();
    ASSERT_EQ(lines.size(), 6u) << transcript();
    // The distance runs from the end nearer to the pick.
    EXPECT_TRUE(HasLine(lines, {0, 500}, {235, 500}));
    EXPECT_TRUE(HasLine(lines, {265, 500}, {400, 500}));

    WallLine({0, 900}, {400, 900});
    run({"VELMWALLD", "100,700", "Wybierz", "!pick 20,900", "!cancel"});
    lines = Lines();
    EXPECT_EQ(lines.size(), 7u) << transcript();
    EXPECT_TRUE(HasLine(lines, {0, 900}, {400, 900}));
}

TEST_F(WallsTest, system_variables_are_put_back_on_every_way_out) {
    const auto setShort = [](const char* name, short v) { host::setSysVar(name, host::SysVarValue{v}); };
    setShort("ANGDIR", 1);
    setShort("OSMODE", 35);
    host::setSysVar("ANGBASE", host::SysVarValue{0.5});
    host::setSysVar("ELEVATION", host::SysVarValue{7.0});
    const auto same = [&] {
        EXPECT_EQ(host::sysVarShort("ANGDIR"), 1);
        EXPECT_EQ(host::sysVarShort("OSMODE"), 35);
        EXPECT_DOUBLE_EQ(host::sysVarReal("ANGBASE"), 0.5);
        EXPECT_DOUBLE_EQ(host::sysVarReal("ELEVATION"), 7.0);
    };
    run({"VELMWALLD", "0,0", "100,0", ""});
    same();
    run({"VELMWALLD", "0,100", "100,100", "Łuk", "Odwróć", "!cancel", "!cancel"});
    same();
    run({"VELMWALLD", "!cancel"});
    same();
    run({"VELMWALLD", "0,300", "100,300", "Łuk", "Odwróć", "100", "50", "0", ""});
    same();
    EXPECT_EQ(Lines().size(), 4u) << transcript();
    EXPECT_EQ(Arcs(), 2);
}

TEST_F(WallsTest, lastpoint_follows_the_vertices_through_undo) {
    run({"VELMWALLD", "0,0", "100,0", "100,100", "Cofnij", ""});
    const ZcGePoint3d last = host::sysVarPoint("LASTPOINT");
    EXPECT_NEAR(last.x, 100, 1e-9);
    EXPECT_NEAR(last.y, 0, 1e-9);
    EXPECT_EQ(Lines().size(), 2u);
}

TEST_F(WallsTest, arcs_turn_as_asked_and_a_null_chord_is_not_taken) {
    run({"VELMWALLD", "0,1000", "400,1000", "Łuk", "0.00000001", "400", "200", "0", ""});
    EXPECT_EQ(Arcs(), 2) << transcript();
    // The chord prompt came again after the null chord.
    std::size_t at = transcript().find("Długość cięciwy:");
    ASSERT_NE(at, std::string::npos);
    EXPECT_NE(transcript().find("Długość cięciwy:", at + 1), std::string::npos);

    // Flipped, a 400 chord with rise 100 bulges to the left of travel (up).
    run({"VELMWALLD", "0,3000", "400,3000", "Łuk", "Odwróć", "400", "100", "0", ""});
    EXPECT_EQ(Arcs(), 4);
    EXPECT_EQ(count("0=ARC 8=VELM2DWALLS$0 -3=VELM5$_$DATITIPOMURO-"), 4);
    // Every stored ARC runs counter-clockwise: its middle shows the side.
    resbuf* filter = zcutBuildList(RTDXF0, "ARC", 0);
    ads_name ss;
    ASSERT_EQ(zcedSSGet("X", nullptr, nullptr, filter, ss), RTNORM);
    zcutRelRb(filter);
    std::int32_t n = 0;
    zcedSSLength(ss, &n);
    int up = 0, down = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        zcedSSName(ss, i, e);
        ArcRecord arc;
        ASSERT_EQ(GetArcData(e, arc), 1);
        const double middle = arc.startAngle + AngleDiffCcw(arc.startAngle, arc.endAngle) / 2;
        (std::sin(middle) > 0 ? up : down) += 1;
        if (arc.centre.y > 2000)
            EXPECT_GT(std::sin(middle), 0) << "the flipped arc";
        else
            EXPECT_LT(std::sin(middle), 0) << "the counter-clockwise arc";
    }
    zcedSSFree(ss);
    EXPECT_EQ(up, 2);
    EXPECT_EQ(down, 2);

    // "Kąt": the centre, then the direction of the end seen from it.
    run({"VELMWALLD", "0,5000", "400,5000", "Łuk", "Kąt", "600,5000", "0", ""});
    EXPECT_EQ(count("0=ARC 8=VELM2DWALLS$0 40=185"), 2) << transcript();
    EXPECT_EQ(count("0=ARC 8=VELM2DWALLS$0 40=215"), 2);
}

TEST_F(WallsTest, a_triangle_places_the_corner_by_length_and_diagonal) {
    run({"VELMWALLD", "0,0", "100,0", "Trójkąt", "100,100", "100,0", "0,0", "0,141.42135623730951", ""});
    EXPECT_NE(transcript().find("Określony punkt jest nieprawidłowy"), std::string::npos);
    const std::vector<FaceLine> lines = Lines();
    ASSERT_EQ(lines.size(), 4u) << transcript();
    EXPECT_TRUE(HasLine(lines, {115, -15}, {115, 100}));
    EXPECT_TRUE(HasLine(lines, {85, 15}, {85, 100}));
}

TEST_F(WallsTest, the_preview_draws_both_faces_and_the_start_cap_in_colour_2) {
    VELM_MUROJ seg;
    seg.seg.startThickness = seg.seg.endThickness = 30;
    seg.seg.startCap = true;
    OffsetLineSegment(seg.seg, {100, 0, 0}, WallAlignment::Centre);
    std::vector<ZcGiPrimitive> drawn = host::recordWorldDraw(&seg, true);
    ASSERT_EQ(drawn.size(), 3u);
    for (const ZcGiPrimitive& p : drawn) {
        EXPECT_EQ(p.kind, ZcGiPrimitive::kPolyline);
        EXPECT_EQ(p.color, 2);
    }
    EXPECT_NEAR(drawn[0].points[0].y, -15, 1e-9);
    EXPECT_NEAR(drawn[1].points[1].y, 15, 1e-9);

    seg.seg.kind = DrawnSegment::kArc;
    seg.seg.startCap = false;
    OffsetArcSegment(seg.seg, {200, 0, 0}, {100, 0, 0}, {300, 0, 0}, WallAlignment::Centre);
    drawn = host::recordWorldDraw(&seg, true);
    ASSERT_EQ(drawn.size(), 2u);
    for (const ZcGiPrimitive& p : drawn) {
        EXPECT_EQ(p.kind, ZcGiPrimitive::kCircularArc);
        EXPECT_EQ(p.color, 2);
        EXPECT_NEAR(p.sweepAngle, std::acos(-1.0), 1e-9);
    }
}
