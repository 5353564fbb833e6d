// Cutting wall faces at openings, corner objects and pilasters and joining
// them again: the oracle is the drawing before the cut.
#include "tests/objects/placement/wall_cut_fixture.h"

namespace {

const Point3 kGapA[2] = {{100, 0, 0}, {190, 0, 0}};
const Point3 kGapB[2] = {{100, 30, 0}, {190, 30, 0}};

class StraightOpening : public WallCutTest {
protected:
    void SetUp() override {
        WallCutTest::SetUp();
        Wall({0, 0, 0}, {500, 0, 0}, faceA);
        Wall({0, 30, 0}, {500, 30, 0}, faceB);
        original = Lines();
        Opening(11, {145, 0, 0}, kGapA, kGapB, 30.0, object);
    }
    void Cut() {
        ads_name sel;
        ASSERT_EQ(SelectOnWallLayers("LINE", sel, 0.0, false), 1);
        const OwnedOutline o{ReadTag3DiStr(object)};
        ASSERT_TRUE(o);
        ads_name a, b;
        FindStraightWallLinesAtGap(*o, sel, a, b);
        zcedSSFree(sel);
        CutStraightWallAtOpening(object, a, b);
    }
    ads_name faceA, faceB, object;
    std::vector<WallPiece> original;
};

}  // namespace

TEST_F(StraightOpening, cut_leaves_the_gap_open_and_rejoin_gives_back_each_face_with_its_records) {
    Cut();
    std::vector<WallPiece> cut = Lines();
    ASSERT_EQ(cut.size(), 4u);
    EXPECT_NEAR(TotalLength(cut), 1000.0 - 2 * 90.0, 1e-9);
    for (const WallPiece& p : cut) EXPECT_EQ(p.xdata, original[0].xdata);
    EXPECT_TRUE(HasLine(cut, {0, 0, 0}, {100, 0, 0}));
    EXPECT_TRUE(HasLine(cut, {190, 30, 0}, {500, 30, 0}));

    // Nothing holds both gap points any more: a second cut changes nothing.
    Cut();
    EXPECT_EQ(Lines().size(), 4u);
    EXPECT_NEAR(TotalLength(Lines()), 820.0, 1e-9);

    ads_name a, b;
    RejoinStraightWallLines(object, a, b);
    EXPECT_FALSE(Exists(object));
    std::vector<WallPiece> back = Lines();
    ASSERT_EQ(back.size(), 2u);
    for (const WallPiece& o : original) {
        bool found = false;
        for (const WallPiece& p : back)
            found |= PointsEqual(p.s, o.s, true) && PointsEqual(p.t, o.t, true) && p.xdata == o.xdata;
        EXPECT_TRUE(found) << o.s.y;
    }
    Point3 s, t;
    ASSERT_TRUE(GetLineData(a, s, t));
    EXPECT_NEAR(s.y, 0.0, 1e-9);
    ASSERT_TRUE(GetLineData(b, s, t));
    EXPECT_NEAR(s.y, 30.0, 1e-9);
}

TEST_F(StraightOpening, rejoin_after_an_edit_uses_the_outline_captured_from_the_erased_object) {
    Cut();
    resbuf* apps = zcutBuildList(RTSTR, kTag3DiStrApp, 0);
    resbuf* list = zcdbEntGetX(object, apps);
    zcutRelRb(apps);
    const resbuf* xdata = FindRbCode(list, -3);
    ASSERT_TRUE(xdata);
    const OwnedOutline o{CreateTag3DiStrNode(xdata->rbnext, {145, 0, 0}, ObjectLayer(0), object)};
    ASSERT_TRUE(o);
    zcutRelRb(list);
    zcdbEntDel(object);
    EXPECT_EQ(o->kind, 11);
    RejoinStraightWallAfterEdit(*o);
    std::vector<WallPiece> back = Lines();
    ASSERT_EQ(back.size(), 2u);
    EXPECT_TRUE(HasLine(back, {0, 0, 0}, {500, 0, 0}));
    EXPECT_TRUE(HasLine(back, {0, 30, 0}, {500, 30, 0}));
}

TEST_F(WallCutTest, an_opening_at_the_end_of_a_line_leaves_only_the_far_piece) {
    ads_name a, b, object;
    Wall({0, 0, 0}, {500, 0, 0}, a);
    Wall({500, 30, 0}, {0, 30, 0}, b);  // drawn the other way round
    const Point3 gapA[2] = {{0, 0, 0}, {90, 0, 0}}, gapB[2] = {{0, 30, 0}, {90, 30, 0}};
    Opening(11, {45, 0, 0}, gapA, gapB, 30.0, object);
    CutStraightWallAtOpening(object, a, b);
    std::vector<WallPiece> cut = Lines();
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_TRUE(HasLine(cut, {90, 0, 0}, {500, 0, 0}));
    EXPECT_TRUE(HasLine(cut, {90, 30, 0}, {500, 30, 0}));
    for (const WallPiece& p : cut) EXPECT_GT(Distance2d(p.s, p.t), 1.0);

    RejoinStraightWallLines(object, a, b);
    std::vector<WallPiece> back = Lines();
    ASSERT_EQ(back.size(), 2u);
    EXPECT_TRUE(HasLine(back, {0, 0, 0}, {500, 0, 0}));
    EXPECT_TRUE(HasLine(back, {0, 30, 0}, {500, 30, 0}));
}

TEST_F(WallCutTest, arc_wall_cut_and_rejoin_keep_the_span_and_the_records) {
    ads_name inner, outer, object;
    WallArc({0, 0, 0}, 300, 0.0, kPi / 2, inner);
    WallArc({0, 0, 0}, 330, 0.0, kPi / 2, outer);
    const std::vector<std::string> records = XdataOf(inner);
    // The jambs listed against the arcs' direction: the cut orders them.
    const double a1 = kPi / 4, a0 = kPi / 6;
    const Point3 gapA[2] = {PolarPoint({}, a1, 300), PolarPoint({}, a0, 300)};
    const Point3 gapB[2] = {PolarPoint({}, a1, 330), PolarPoint({}, a0, 330)};
    Opening(12, {0, 0, 0}, gapA, gapB, 30.0, object);

    ads_name sel, arcA, arcB;
    ASSERT_EQ(SelectOnWallLayers("ARC", sel, 0.0, false), 1);
    const OwnedOutline o{ReadTag3DiStr(object)};
    ASSERT_TRUE(o);
    FindArcWallArcsAtGap(*o, sel, arcA, arcB);
    zcedSSFree(sel);
    EXPECT_TRUE(ads_name_equal(arcA, inner));
    EXPECT_TRUE(ads_name_equal(arcB, outer));
    CutArcWallAtOpening(object, arcA, arcB);

    std::vector<WallArcPiece> cut = Arcs();
    ASSERT_EQ(cut.size(), 4u);
    double span = 0.0;
    for (const WallArcPiece& p : cut) {
        span += AngleDiffCcw(p.start, p.end);
        EXPECT_EQ(p.xdata, records);
    }
    EXPECT_NEAR(span, 2 * (kPi / 2 - (a1 - a0)), 1e-9);

    RejoinArcWallLines(object, arcA, arcB);
    std::vector<WallArcPiece> back = Arcs();
    ASSERT_EQ(back.size(), 2u);
    for (const WallArcPiece& p : back) {
        EXPECT_NEAR(AngleDiffCcw(p.start, p.end), kPi / 2, 1e-9) << p.radius;
        EXPECT_NEAR(p.start, 0.0, 1e-9);
        EXPECT_EQ(p.xdata, records);
    }
    EXPECT_FALSE(ads_name_nil(arcA));
    EXPECT_FALSE(ads_name_nil(arcB));
}

TEST_F(WallCutTest, a_corner_object_stops_four_lines_at_its_jambs_and_the_rejoin_meets_at_the_corner) {
    // An L of walls 30 thick: outer faces on the axes, inner faces at 30.
    Wall({0, 0, 0}, {500, 0, 0});
    Wall({30, 30, 0}, {500, 30, 0});
    Wall({0, 500, 0}, {0, 0, 0});
    Wall({30, 500, 0}, {30, 30, 0});
    // jamb1 across the first wall at x = 100, jamb2 across the second at y = 100.
    const Point3 gapA[2] = {{100, 0, 0}, {0, 100, 0}}, gapB[2] = {{100, 30, 0}, {30, 100, 0}};
    const Point3 corners[2] = {{30, 30, 0}, {0, 0, 0}};  // with the last points, with the first
    ads_name object, lines[4];
    Opening(18, {0, 0, 0}, gapA, gapB, 30.0, object, corners);
    ASSERT_EQ(FindWallLinesAtOpening(object, lines), 1);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(ads_name_nil(lines[i])) << i;
    CutCornerWallAtObject(object, lines);
    std::vector<WallPiece> cut = Lines();
    ASSERT_EQ(cut.size(), 4u);
    EXPECT_TRUE(HasLine(cut, {100, 0, 0}, {500, 0, 0}));
    EXPECT_TRUE(HasLine(cut, {100, 30, 0}, {500, 30, 0}));
    EXPECT_TRUE(HasLine(cut, {0, 100, 0}, {0, 500, 0}));
    EXPECT_TRUE(HasLine(cut, {30, 100, 0}, {30, 500, 0}));

    RejoinCornerWallLines(object, lines);
    EXPECT_FALSE(Exists(object));
    std::vector<WallPiece> back = Lines();
    ASSERT_EQ(back.size(), 4u);
    EXPECT_TRUE(HasLine(back, {0, 0, 0}, {500, 0, 0}));
    EXPECT_TRUE(HasLine(back, {30, 30, 0}, {500, 30, 0}));
    EXPECT_TRUE(HasLine(back, {0, 0, 0}, {0, 500, 0}));
    EXPECT_TRUE(HasLine(back, {30, 30, 0}, {30, 500, 0}));
    for (const WallPiece& p : back) EXPECT_EQ(p.xdata.size(), 5u);
}

TEST_F(WallCutTest, a_pilaster_splits_a_through_line_shortens_a_line_ending_inside_and_erases_one_inside) {
    Wall({0, 0, 0}, {500, 0, 0});        // through the pilaster
    Wall({230, 5, 0}, {230, 100, 0});    // starts inside
    Wall({210, -10, 0}, {250, -10, 0});  // wholly inside
    Wall({0, 200, 0}, {500, 200, 0});    // far away
    ads_name pilaster;
    Pilaster({{200, -20, 0}, {260, -20, 0}, {260, 10, 0}, {200, 10, 0}}, 0.0, pilaster);
    CutWallAtPilaster(pilaster);
    std::vector<WallPiece> cut = Lines();
    ASSERT_EQ(cut.size(), 4u);
    EXPECT_TRUE(HasLine(cut, {0, 0, 0}, {200, 0, 0}));
    EXPECT_TRUE(HasLine(cut, {260, 0, 0}, {500, 0, 0}));
    EXPECT_TRUE(HasLine(cut, {230, 10, 0}, {230, 100, 0}));
    EXPECT_TRUE(HasLine(cut, {0, 200, 0}, {500, 200, 0}));
    for (const WallPiece& p : cut) EXPECT_EQ(p.xdata.size(), 5u);

    RejoinPilasterAtObject(pilaster);
    EXPECT_FALSE(Exists(pilaster));
    std::vector<WallPiece> back = Lines();
    ASSERT_EQ(back.size(), 3u);
    EXPECT_TRUE(HasLine(back, {0, 0, 0}, {500, 0, 0}));
    // The line left at the pilaster runs up to the joined face.
    EXPECT_TRUE(HasLine(back, {230, 0, 0}, {230, 100, 0}));
}

TEST_F(WallCutTest, faces_meeting_at_a_right_angle_at_a_pilaster_are_extended_to_their_corner) {
    Wall({20, 0, 0}, {300, 0, 0});
    Wall({0, 300, 0}, {0, 20, 0});
    const std::vector<Point3> ring = {{-20, -20, 0}, {20, -20, 0}, {20, 20, 0}, {-20, 20, 0}};
    VertexNode* outline = nullptr;
    for (auto it = ring.rbegin(); it != ring.rend(); ++it) {
        VertexNode* v = NewVertex(it->x, it->y, it->z, 0, 0, 0, 0);
        v->next = outline;
        outline = v;
    }
    RejoinPilasterWallLines(outline, 0.0);
    FreeList(outline);
    std::vector<WallPiece> back = Lines();
    ASSERT_EQ(back.size(), 2u);
    EXPECT_TRUE(HasLine(back, {0, 0, 0}, {300, 0, 0}));
    EXPECT_TRUE(HasLine(back, {0, 0, 0}, {0, 300, 0}));
    for (const WallPiece& p : back) EXPECT_EQ(p.xdata.size(), 5u);
}

TEST_F(WallCutTest, wall_break_refuses_other_entities_and_the_whole_floor_skips_other_floors) {
    Wall({0, 0, 0}, {500, 0, 0});
    Wall({0, 30, 0}, {500, 30, 0});
    Wall({0, 0, 300}, {500, 0, 300});
    Wall({0, 30, 300}, {500, 30, 300});
    ads_name here, there;
    Opening(11, {145, 0, 0}, kGapA, kGapB, 30.0, here);
    const Point3 upA[2] = {{100, 0, 300}, {190, 0, 300}}, upB[2] = {{100, 30, 300}, {190, 30, 300}};
    Opening(11, {145, 0, 300}, upA, upB, 30.0, there);
    ads_name plain;
    const ads_point p0 = {0, 900, 0}, p1 = {100, 900, 0};
    resbuf* line = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, p0, 11, p1, 0);
    ASSERT_EQ(zcdbEntMake(line), RTNORM);
    zcutRelRb(line);
    zcdbEntLast(plain);

    EXPECT_EQ(run({"VELMWALLBRK", "!pick 50,900", "!cancel"}), RTCAN);
    EXPECT_NE(transcript().find("Wybrany obiekt nie jest ani otworem, ani pilastrem"), std::string::npos);
    EXPECT_EQ(BreakWallAtObject(plain, 0.0, false), 0);

    run({"VELMWALLBRK", "Całość"});
    EXPECT_EQ(Lines(0.0).size(), 4u);
    EXPECT_EQ(Lines(300.0).size(), 2u);
    // Again: the opening is not cut twice.
    run({"VELMWALLBRK", "Całość"});
    EXPECT_EQ(Lines(0.0).size(), 4u);
    EXPECT_NEAR(TotalLength(Lines(0.0)), 820.0, 1e-9);
}
