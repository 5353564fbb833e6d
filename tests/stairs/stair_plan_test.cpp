// The stair plan symbol: the cut step, the segments of each representation
// type, the 2D balustrades, the walking line with its markers and arrows.
#include "stairs/stair_plan.h"

#include "host/ui/driver.h"
#include "tests/stairs/stair_models.h"
#include "tests/support/velm_test.h"

using namespace stairtest;

namespace {

class StairPlan : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }
    // A straight flight between floors 0 and 300, cut at 140.
    static void Straight(CSCALA& s) {
        ASSERT_EQ(BuildStairModel(s, StraightFlight(), 0), "");
        s.riserCount = 16;
        s.floorDistance = 300.0;
        s.startFloorHeight = 0.0;
        s.endFloorHeight = 300.0;
        s.cutHeight = 140.0;
        s.cutLineDistance = 7.0;
        s.cutPlaneAngle = 0.17;
        s.startMarker = 0;
        s.arrowSideLength = 15.0;
        s.balustradeStartLeft = s.balustradeStartRight = 0.0;
        s.balustradeJoinLeft = s.balustradeJoinRight = 0.0;
    }
};

struct Kinds {
    int k1, k2, k3, k4;
};
Kinds Count(const SegmentRec* l) {
    return {CountKind(l, 1), CountKind(l, 2), CountKind(l, 3), CountKind(l, 4)};
}

TEST(StairCutStep, cut_step_is_never_the_first_riser_nor_past_the_end) {
    EXPECT_EQ(StairCutStep(16, 140.0, 300.0), 7);
    EXPECT_EQ(StairCutStep(16, 400.0, 300.0), 14);
    EXPECT_EQ(StairCutStep(16, 10.0, 300.0), 2);
    EXPECT_EQ(StairCutStep(3, 400.0, 300.0), 2);
    // Floors at one height: as for a cut above the upper floor.
    EXPECT_EQ(StairCutStep(16, 140.0, 0.0), 14);
    EXPECT_EQ(StairCutStep(16, -1e300, 1e-300), 14);
}

TEST_F(StairPlan, segment_kinds_of_each_representation_on_a_straight_flight) {
    struct Case {
        int type;
        Kinds expected;
    };
    // Risers, sides, cut lines and the walking line with its arrows.
    for (const Case& c :
         {Case{0, {6, 3, 4, 4}}, Case{1, {14, 0, 4, 4}}, Case{2, {15, 0, 8, 6}}, Case{3, {9, 3, 4, 4}}}) {
        CSCALA s;
        Straight(s);
        s.belowRepresentation = c.type;
        s.DrawStairPlanAtCut();
        const Kinds k = Count(s.planBelow);
        EXPECT_EQ(k.k1, c.expected.k1) << c.type;
        EXPECT_EQ(k.k2, c.expected.k2) << c.type;
        EXPECT_EQ(k.k3, c.expected.k3) << c.type;
        EXPECT_EQ(k.k4, c.expected.k4) << c.type;
    }
}

TEST_F(StairPlan, above_list_follows_the_floors_and_type_zero_draws_as_three) {
    CSCALA three;
    Straight(three);
    three.aboveRepresentation = 3;
    three.DrawStairPlanAtCut();
    CSCALA zero;
    Straight(zero);
    zero.aboveRepresentation = 0;
    zero.DrawStairPlanAtCut();
    EXPECT_EQ(zero.aboveRepresentation, 0);
    ASSERT_EQ(CountNodes(zero.planAbove), CountNodes(three.planAbove));
    for (const SegmentRec *a = zero.planAbove, *b = three.planAbove; a; a = a->next, b = b->next) {
        EXPECT_EQ(a->kind, b->kind);
        EXPECT_TRUE(PointsEqual(a->first(), b->first(), true));
    }
    CSCALA level;
    Straight(level);
    level.endFloorHeight = level.startFloorHeight;
    level.DrawStairPlanAtCut();
    EXPECT_NE(level.planBelow, nullptr);
    EXPECT_EQ(level.planAbove, nullptr);
}

TEST_F(StairPlan, cut_lines_run_from_side_to_side_through_the_cut_riser) {
    CSCALA s;
    Straight(s);
    s.belowRepresentation = 0;
    s.DrawStairPlanAtCut();
    // The kind-4 line with ends on both sides that is no riser: the cut line.
    int cuts = 0;
    for (const SegmentRec* g = s.planBelow; g; g = g->next) {
        if (g->kind != 4 || std::fabs(g->geom[1] - g->geom[4]) < 1e-9 ||
            std::fabs(g->geom[0] - g->geom[3]) < 1e-9)
            continue;
        ++cuts;
        EXPECT_NEAR(std::min(g->geom[0], g->geom[3]), 0.0, 1e-6);
        EXPECT_NEAR(std::max(g->geom[0], g->geom[3]), 110.0, 1e-6);
        EXPECT_NEAR((g->geom[1] + g->geom[4]) / 2.0, 180.0, 1e-6);  // riser 7
    }
    EXPECT_EQ(cuts, 1);
}

TEST_F(StairPlan, balustrade_lines_only_above_their_threshold) {
    CSCALA none;
    Straight(none);
    none.belowRepresentation = 1;
    none.balustradeStartLeft = 0.5e-3;  // below 1000 x the tolerance
    none.DrawStairPlanAtCut();
    EXPECT_EQ(CountKind(none.planBelow, 4), 4);

    CSCALA some;
    Straight(some);
    some.belowRepresentation = 1;
    some.balustradeStartLeft = 5.0;
    some.balustradeStartRight = 8.0;
    some.DrawStairPlanAtCut();
    EXPECT_EQ(CountKind(some.planBelow, 4), 6);
    // Inner risers are shortened by both thicknesses, balustrades lie inside.
    bool left = false, right = false;
    for (const SegmentRec* g = some.planBelow; g; g = g->next) {
        if (g->kind == 1) {
            EXPECT_NEAR(std::fabs(g->geom[3] - g->geom[0]), 97.0, 1e-9);
        }
        if (g->kind == 4 && std::fabs(g->geom[0] - g->geom[3]) < 1e-9) {
            left |= std::fabs(g->geom[0] - 5.0) < 1e-9;
            right |= std::fabs(g->geom[0] - 102.0) < 1e-9;
        }
    }
    EXPECT_TRUE(left && right);

    // Type 0: the balustrades stop at the cut line.
    CSCALA cut;
    Straight(cut);
    cut.belowRepresentation = 0;
    cut.balustradeStartLeft = 5.0;
    cut.DrawStairPlanAtCut();
    for (const SegmentRec* g = cut.planBelow; g; g = g->next)
        if (g->kind == 4 && std::fabs(g->geom[0] - 5.0) < 1e-9) {
            EXPECT_LT(std::max(g->geom[1], g->geom[4]), 180.0);
        }
}

TEST_F(StairPlan, walking_line_of_a_straight_flight_and_of_a_quarter_turn) {
    CSCALA straight;
    Straight(straight);
    std::vector<WalkElement> w = BuildWalkingLine(straight.risers);
    ASSERT_EQ(w.size(), 1u);
    EXPECT_TRUE(PointsEqual(w[0].start, {55, 0, 0}, false));
    EXPECT_TRUE(PointsEqual(w[0].end, {55, 450, 0}, false));

    CSCALA turn;
    ASSERT_EQ(BuildStairModel(turn, QuarterTurn(), 0), "");
    w = BuildWalkingLine(turn.risers);
    ASSERT_EQ(w.size(), 3u);
    EXPECT_EQ(w[0].kind, 0);
    EXPECT_EQ(w[1].kind, 1);
    EXPECT_EQ(w[2].kind, 0);
    EXPECT_TRUE(PointsEqual(w[1].centre, {0, 90, 0}, false));
    EXPECT_NEAR(w[1].startAngle, 0.0, 1e-9);
    EXPECT_NEAR(w[1].endAngle, Deg(90), 1e-9);
    EXPECT_TRUE(IsElementStartAt(w[1], w[0].end));
    EXPECT_TRUE(IsElementStartAt(w[2], WalkEnd(w[1])));
}

TEST_F(StairPlan, sharp_turn_splits_the_walking_line_into_two_marked_runs) {
    CSCALA s;
    Straight(s);
    // Risers 0..60 going +y, then a landing turn: risers across x = -30 .. -90.
    s.risers = FreeList(s.risers);
    const ads_name none = {0, 0};
    StairElement** tail = &s.risers;
    auto riser = [&](Point3 a, Point3 b) {
        *tail = NewStairElement(s, a, b, a, b, 0, none, false);
        tail = &(*tail)->next;
    };
    for (double y : {0.0, 30.0, 60.0}) riser({0, y, 0}, {110, y, 0});
    for (double x : {-30.0, -60.0, -90.0}) riser({x, 90, 0}, {x, 200, 0});
    s.riserCount = 6;
    s.belowRepresentation = 1;
    s.startMarker = 2;
    s.startMarkerSize = 12.0;
    s.DrawStairPlanAtCut();
    EXPECT_EQ(BuildWalkingLine(s.risers).size(), 2u);
    EXPECT_EQ(CountKind(s.planBelow, 13), 2);
    EXPECT_EQ(CountKind(s.planBelow, 3), 2 + 2 * 3);
    for (const SegmentRec* g = s.planBelow; g; g = g->next)
        if (g->kind == 13) {
            EXPECT_EQ(g->geom[3], 12.0);
        }

    // Line markers: two lines of the marker length at 0.3 of it either side.
    CSCALA lines;
    Straight(lines);
    lines.belowRepresentation = 1;
    lines.startMarker = 1;
    lines.startMarkerSize = 10.0;
    lines.DrawStairPlanAtCut();
    int markers = 0;
    for (const SegmentRec* g = lines.planBelow; g; g = g->next)
        if (g->kind == 3 && std::fabs(g->geom[1]) < 1e-9 && std::fabs(g->geom[4] - 10.0) < 1e-9) {
            ++markers;
            EXPECT_NEAR(std::fabs(g->geom[0] - 55.0), 3.0, 1e-9);
        }
    EXPECT_EQ(markers, 2);
}

TEST_F(StairPlan, arrow_heads_on_lines_and_arcs) {
    CSCALA s;
    s.arrowSideLength = 10.0;
    s.DrawWalkArrow({0, {0, 0, 0}, {100, 0, 0}, {}, 0, 0, 0}, 1);
    ASSERT_EQ(CountKind(s.planBelow, 3), 3);
    // The tip is the line's end; the base 10 back from it.
    EXPECT_TRUE(PointsEqual(s.planBelow->first(), {90, 10, 0}, false));
    EXPECT_TRUE(s.startMarkerPending);

    CSCALA arc;
    arc.arrowSideLength = 10.0;
    arc.DrawWalkArrow({1, {}, {}, {0, 0, 0}, 50.0, 0.0, Deg(90)}, 0);
    EXPECT_EQ(CountKind(arc.planAbove, 3), 3);
    // Too tight for a head of that size: none, and no failure.
    CSCALA tight;
    tight.arrowSideLength = 10.0;
    tight.DrawWalkArrow({2, {}, {}, {0, 0, 0}, 4.0, 0.0, Deg(90)}, 0);
    EXPECT_EQ(tight.planAbove, nullptr);
}

TEST_F(StairPlan, plan_list_keeps_sized_segments_at_its_front) {
    CSCALA s;
    EXPECT_FALSE(s.AppendPlanSegment(1, {0, 0, 5}, {0, 0, 5}, 1));
    EXPECT_TRUE(s.AppendPlanSegment(1, {0, 0, 5}, {10, 0, 7}, 1));
    EXPECT_EQ(s.planBelow->geom[2], 0.0);
    EXPECT_EQ(s.planBelow->geom[5], 0.0);
    EXPECT_FALSE(s.AppendPlanSegment(1, {0, 0, 0}, {5, 1.0, 1.0}, -4));
    EXPECT_TRUE(s.AppendPlanSegment(1, {0, 0, 0}, {5, 1.0, 2.0}, -4));
    EXPECT_EQ(s.planBelow->geom[5], 2.0);
    EXPECT_FALSE(s.AppendPlanSegment(0, {0, 0, 0}, {0, 0, 0}, 13));
    EXPECT_TRUE(s.AppendPlanSegment(0, {0, 0, 0}, {3, 0, 0}, 13));
    EXPECT_EQ(CountNodes(s.planBelow), 2);
    EXPECT_EQ(CountNodes(s.planAbove), 1);
    SegmentRec* second = s.planBelow->next;
    EXPECT_EQ(FindPredecessor(s.planBelow, second), s.planBelow);
    EXPECT_EQ(FindPredecessor(s.planBelow, s.planBelow), nullptr);
    SegmentRec stranger;
    EXPECT_EQ(FindPredecessor(s.planBelow, &stranger), second);
}

TEST_F(StairPlan, cut_missing_the_sides_is_told_and_the_side_skipped) {
    CSCALA s;
    Straight(s);
    s.belowRepresentation = 0;
    const Point3 far1[2] = {{500, 500, 0}, {600, 500, 0}};
    const Point3 far2[2] = {{500, 510, 0}, {600, 510, 0}};
    zcui::QueueMessageBoxAnswer(IDOK);
    zcui::QueueMessageBoxAnswer(IDOK);
    s.DrawStairPlan(7, 0, far1, far2, 1);
    ASSERT_GE(zcui::MessageBoxes().size(), 2u);
    EXPECT_EQ(zcui::MessageBoxes().back().text, kStairCutNotFoundMessage);
    EXPECT_EQ(CountKind(s.planBelow, 2), 1);  // the arrival riser only
}

}  // namespace
