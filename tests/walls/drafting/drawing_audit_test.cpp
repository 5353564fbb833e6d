// The drawing audit: overlapping lines and arcs merged whole (chains that
// only close through a third record too), touching ones left apart, lines
// and objects lifted to their level, and the report of what was repaired,
// also after a break.
#include "walls/drafting/drawing_audit.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "tests/walls/drawing/walls_fixture.h"

namespace {

constexpr const char* kFloorWalls = "VELM2DWALLS$300";
constexpr const char* kFunction = "VELM2DFUNL$300";

OverlapRecord Line(double x0, double x1, double level = 0.0, double y = 0.0) {
    OverlapRecord r;
    r.start = {x0, y, level};
    r.end = {x1, y, level};
    r.level = level;
    return r;
}

OverlapRecord Arc(double start, double end) {
    OverlapRecord r;
    r.arc.radius = 50.0;
    r.arc.startAngle = start;
    r.arc.endAngle = end;
    return r;
}

int Live(const std::vector<OverlapRecord>& records) {
    return static_cast<int>(
        std::count_if(records.begin(), records.end(), [](const OverlapRecord& r) { return !r.erased; }));
}

void PlainLine(const char* layer, Point3 a, Point3 b) {
    const ads_point p{a.x, a.y, a.z}, q{b.x, b.y, b.z};
    resbuf* list = zcutBuildList(RTDXF0, "LINE", 8, layer, 10, p, 11, q, 0);
    ASSERT_EQ(zcdbEntMake(list), RTNORM);
    zcutRelRb(list);
}

void PlainArc(const char* layer, double start, double end) {
    const ads_point c{0, 0, 300};
    resbuf* list = zcutBuildList(RTDXF0, "ARC", 8, layer, 10, c, 40, 50.0, 50, start, 51, end, 0);
    ASSERT_EQ(zcdbEntMake(list), RTNORM);
    zcutRelRb(list);
}

}  // namespace

TEST(OverlapPass, touching_lines_stay_two_and_overlapping_ones_become_one) {
    std::vector<OverlapRecord> touching{Line(0, 100), Line(100, 200)};
    EXPECT_EQ(RunLineOverlapPass(touching, {}).merged, 0);
    EXPECT_EQ(Live(touching), 2);

    std::vector<OverlapRecord> three{Line(0, 100), Line(50, 150), Line(120, 300)};
    EXPECT_EQ(RunLineOverlapPass(three, {}).merged, 2);
    ASSERT_EQ(Live(three), 1);
    EXPECT_DOUBLE_EQ(std::min(three[0].start.x, three[0].end.x), 0.0);
    EXPECT_DOUBLE_EQ(std::max(three[0].start.x, three[0].end.x), 300.0);

    // A and B meet only through C, which comes after both: A grows by C
    // and is compared with B again.
    std::vector<OverlapRecord> chain{Line(0, 100), Line(150, 250), Line(90, 160)};
    RunLineOverlapPass(chain, {});
    ASSERT_EQ(Live(chain), 1);
    EXPECT_DOUBLE_EQ(std::max(chain[0].start.x, chain[0].end.x), 250.0);
}

TEST(OverlapPass, lines_of_other_levels_or_offsets_are_not_merged) {
    std::vector<OverlapRecord> records{Line(0, 100, 0.0), Line(50, 150, 300.0), Line(50, 150, 0.0, 30.0),
                                       Line(50, 150, 0.0, 0.002)};
    EXPECT_EQ(RunLineOverlapPass(records, {}).merged, 0);
}

TEST(OverlapPass, a_merge_the_caller_refuses_is_not_counted_and_a_break_stops_the_pass) {
    std::vector<OverlapRecord> records{Line(0, 100), Line(50, 150), Line(140, 200)};
    OverlapPassPort refuse;
    refuse.merge = [](const OverlapRecord&, const OverlapRecord&) { return false; };
    EXPECT_EQ(RunLineOverlapPass(records, refuse).merged, 0);
    EXPECT_EQ(Live(records), 3);

    OverlapPassPort broken;
    broken.broken = [] { return true; };
    const OverlapPassResult r = RunLineOverlapPass(records, broken);
    EXPECT_TRUE(r.broken);
    EXPECT_EQ(r.merged, 1);
}

TEST(OverlapPass, arcs_merge_only_where_they_overlap) {
    const double q = std::numbers::pi / 2;
    std::vector<OverlapRecord> touching{Arc(0, q), Arc(q, 2 * q)};
    EXPECT_EQ(RunArcOverlapPass(touching, {}).merged, 0);

    std::vector<OverlapRecord> overlapping{Arc(0, q), Arc(q / 2, 2 * q)};
    EXPECT_EQ(RunArcOverlapPass(overlapping, {}).merged, 1);
    EXPECT_NEAR(overlapping[0].arc.startAngle, 0.0, 1e-12);
    EXPECT_NEAR(overlapping[0].arc.endAngle, 2 * q, 1e-12);

    // An arc inside another leaves the outer one whole.
    std::vector<OverlapRecord> inside{Arc(0, 2 * q), Arc(q / 2, q)};
    EXPECT_EQ(RunArcOverlapPass(inside, {}).merged, 1);
    EXPECT_NEAR(inside[0].arc.startAngle, 0.0, 1e-12);
    EXPECT_NEAR(inside[0].arc.endAngle, 2 * q, 1e-12);
    std::vector<OverlapRecord> around{Arc(q / 2, q), Arc(0, 2 * q)};
    EXPECT_EQ(RunArcOverlapPass(around, {}).merged, 1);
    EXPECT_NEAR(around[0].arc.startAngle, 0.0, 1e-12);
    EXPECT_NEAR(around[0].arc.endAngle, 2 * q, 1e-12);
}

class AuditTest : public WallsTest {};

TEST_F(AuditTest, nothing_ticked_reports_no_errors_and_changes_nothing) {
    PlainLine(kFloorWalls, {0, 0, 300}, {100, 0, 300});
    PlainLine(kFloorWalls, {50, 0, 300}, {150, 0, 300});
    run({"!dialog 213 check 1011 0 check 1012 0 check 1007 0 check 1008 0 check 1009 0 ok", "VELMAUDIT"});
    EXPECT_NE(transcript().find("\nRysunek nie zawiera błędów"), std::string::npos) << transcript();
    EXPECT_EQ(Lines(kFloorWalls).size(), 2u);
}

TEST_F(AuditTest, wall_and_function_lines_are_lifted_and_merged_and_each_count_reported) {
    PlainLine(kFloorWalls, {0, 0, 300}, {100, 0, 300});
    PlainLine(kFloorWalls, {50, 0, 300}, {150, 0, 300});
    PlainLine(kFloorWalls, {0, 100, 305}, {100, 100, 305});
    PlainLine(kFunction, {0, 500, 310}, {100, 500, 300});
    PlainLine(kFunction, {0, 600, 300}, {100, 600, 300});
    PlainLine(kFunction, {100, 600, 300}, {200, 600, 300});
    // A line on a layer without a level is no one's business.
    PlainLine("VELM2DFUNL", {0, 700, 55}, {100, 700, 55});
    run({"VELMAUDIT"});
    const std::vector<FaceLine> walls = Lines(kFloorWalls);
    ASSERT_EQ(walls.size(), 2u);
    EXPECT_TRUE(HasLine(walls, {0, 0, 300}, {150, 0, 300}) || HasLine(walls, {150, 0, 300}, {0, 0, 300}));
    EXPECT_TRUE(HasLine(walls, {0, 100, 300}, {100, 100, 300}));
    EXPECT_EQ(Lines(kFunction).size(), 3u);  // the touching pair stays two
    EXPECT_EQ(Lines("VELM2DFUNL")[0].start.z, 55.0);
    const std::string& t = transcript();
    EXPECT_NE(t.find("\nNaprawiono 1 linie funkcyjne znajdujące się na niewłaściwej wysokości"),
              std::string::npos)
        << t;
    EXPECT_NE(t.find("\nNaprawiono 1 linie/łuki ściany znajdujące sie na niewłaściwej wysokości"),
              std::string::npos);
    EXPECT_NE(t.find("\nNaprawiono 1 nakładające się linie/łuki ściany"), std::string::npos);
    EXPECT_EQ(t.find("nakładające się linie funkcyjne"), std::string::npos);
}

TEST_F(AuditTest, rectangle_lines_are_lifted_but_never_merged_and_arcs_merge) {
    zcdbRegApp("VELM13CAD$_$RECTANGLINE-");
    for (double x : {0.0, 50.0}) {
        const ads_point p{x, 0, 290}, q{x + 100, 0, 290};
        resbuf* list = zcutBuildList(RTDXF0, "LINE", 8, kFloorWalls, 10, p, 11, q, -3, 1001,
                                     "VELM13CAD$_$RECTANGLINE-", 1070, 1, 0);
        ASSERT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    }
    PlainArc(kFloorWalls, 0.0, 1.0);
    PlainArc(kFloorWalls, 0.5, 2.0);
    run({"VELMAUDIT"});
    const std::vector<FaceLine> walls = Lines(kFloorWalls);
    ASSERT_EQ(walls.size(), 2u);
    for (const FaceLine& l : walls) EXPECT_EQ(l.start.z, 300.0);
    EXPECT_EQ(Arcs(kFloorWalls), 1);
}

TEST_F(AuditTest, an_object_off_its_level_is_moved_onto_it) {
    zcdbRegApp("VELM5$_$PARAMETRI-");
    ASSERT_EQ(run({"_-LAYER", "_M", "VELMOBJ$300", "", "_-LAYER", "_S", "0", ""}), RTNORM);
    const ads_point at{10, 10, 250};
    resbuf* block = zcutBuildList(RTDXF0, "BLOCK", 2, "OB", 10, at, 70, 0, 0);
    zcdbEntMake(block);
    zcutRelRb(block);
    resbuf* inner = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, at, 11, at, 0);
    zcdbEntMake(inner);
    zcutRelRb(inner);
    resbuf* end = zcutBuildList(RTDXF0, "ENDBLK", 0);
    zcdbEntMake(end);
    zcutRelRb(end);
    resbuf* insert = zcutBuildList(RTDXF0, "INSERT", 2, "OB", 8, "VELMOBJ$300", 10, at, -3, 1001,
                                   "VELM5$_$PARAMETRI-", 1000, "P1", 0);
    ASSERT_EQ(zcdbEntMake(insert), RTNORM);
    zcutRelRb(insert);
    run({"!dialog 213 check 1011 0 check 1012 0 check 1007 0 check 1008 0 ok", "VELMAUDIT"});
    EXPECT_NE(transcript().find("\nNaprawiono 1 obiekty parametrycznenie"), std::string::npos)
        << transcript();
    ads_name last;
    zcdbEntLast(last);
    resbuf* list = zcdbEntGet(last);
    for (resbuf* rb = list; rb; rb = rb->rbnext) {
        if (rb->restype != 10) continue;
        EXPECT_EQ(rb->resval.rpoint[2], 300.0);
    }
    zcutRelRb(list);
}

TEST_F(AuditTest, a_break_stops_the_checks_and_still_reports_what_was_repaired) {
    PlainLine(kFloorWalls, {0, 100, 305}, {100, 100, 305});
    PlainLine(kFloorWalls, {0, 0, 300}, {100, 0, 300});
    PlainLine(kFloorWalls, {50, 0, 300}, {150, 0, 300});
    // The break comes after the first line is lifted: the merge never runs.
    run({"!dialog 213 check 1011 0 check 1012 0 check 1009 0 ok", "VELMAUDIT", "!break"});
    const std::string& t = transcript();
    EXPECT_NE(t.find("\nNaprawiono 1 linie/łuki ściany"), std::string::npos) << t;
    EXPECT_EQ(t.find("nakładające"), std::string::npos);
    EXPECT_EQ(Lines(kFloorWalls).size(), 3u);
}
