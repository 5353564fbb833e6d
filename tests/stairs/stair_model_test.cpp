// The stair model read from model lines, and the tread areas built from it.
#include <algorithm>
#include <random>

#include "host/ads/transcript.h"
#include "tests/stairs/stair_models.h"
#include "tests/support/velm_test.h"

using namespace stairtest;

namespace {

class StairModel : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }
};

std::vector<double> RiserYs(const CSCALA& s) {
    std::vector<double> ys;
    for (const StairElement* r = s.risers; r; r = r->next) ys.push_back(r->pointA.y);
    return ys;
}

TEST_F(StairModel, refuses_what_is_no_line_or_arc_and_arcs_as_risers) {
    {
        // A circle among the picked entities, read from the drawing.
        std::vector<StairModelEntity> model = StraightFlight();
        ads_name set, first;
        DrawModel(model, set, first);
        ads_point c = {500, 500, 0};
        resbuf* circle = zcutBuildList(RTDXF0, "CIRCLE", 10, c, 40, 5.0, 0);
        ads_name made, result;
        zcdbEntMakeX(circle, made);
        zcutRelRb(circle);
        zcedSSAdd(made, set, result);
        CSCALA s;
        EXPECT_FALSE(ReadStairModelFromLines(s, set, first));
        EXPECT_NE(transcript().find(kStairOnlyLinesAndArcsMessage), std::string::npos);
        zcedSSFree(set);
    }
    {
        std::vector<StairModelEntity> model = CurvedFlight();
        model.push_back(Arc({0, 0, 0}, 100.0, Deg(40), Deg(50)));
        CSCALA s;
        EXPECT_EQ(BuildStairModel(s, model, 0), kStairRisersOnlyLinesMessage);
    }
    {
        std::vector<StairModelEntity> model = StraightFlight();
        model.pop_back();  // one side only
        CSCALA s;
        EXPECT_EQ(BuildStairModel(s, model, 0), kStairTwoSidesMessage);
    }
}

TEST_F(StairModel, risers_picked_in_any_order_come_out_along_the_sides) {
    std::vector<StairModelEntity> model = StraightFlight();
    std::mt19937 random(7);
    std::shuffle(model.begin() + 1, model.end(), random);
    // A line outside the stair crosses no side and is no riser.
    model.push_back(Line({200, 500, 0}, {300, 500, 0}));
    CSCALA s;
    ASSERT_EQ(BuildStairModel(s, model, 0), "");
    std::vector<double> expected;
    for (int i = 0; i < 16; ++i) expected.push_back(30.0 * i);
    EXPECT_EQ(RiserYs(s), expected);
    // The sides end at the last riser.
    EXPECT_NEAR(s.firstSide->endB.y, 450.0, 1e-9);
    EXPECT_NEAR(s.secondSide->endB.y, 450.0, 1e-9);
}

TEST_F(StairModel, first_side_lies_on_the_same_hand_of_the_first_riser) {
    for (bool reversed : {false, true}) {
        std::vector<StairModelEntity> model = StraightFlight();
        if (reversed) std::swap(model[0].a, model[0].b);
        CSCALA s;
        ASSERT_EQ(BuildStairModel(s, model, 0), "");
        EXPECT_NEAR(s.firstSide->endA.x, 0.0, 1e-9) << reversed;
        EXPECT_NEAR(s.secondSide->endA.x, 110.0, 1e-9) << reversed;
        EXPECT_NEAR(s.risers->pointA.x, 0.0, 1e-9) << reversed;
    }
}

TEST_F(StairModel, quarter_turn_reads_winders_and_skips_their_shared_corner_once) {
    CSCALA s;
    ASSERT_EQ(BuildStairModel(s, QuarterTurn(), 0), "");
    ASSERT_EQ(CountNodes(s.risers), 11);
    // The winders start at the inner corner; the right ends run round the outside.
    const StairElement* r = s.risers;
    for (int i = 0; i < 3; ++i) r = r->next;
    for (int i = 0; i < 5; ++i, r = r->next) {
        EXPECT_NEAR(r->pointA.x, 0.0, 1e-6);
        EXPECT_NEAR(r->pointA.y, 90.0, 1e-6);
    }
    s.stepHeight = 20.0;
    OwnedList<StairStep> steps(BuildStairSteps(s, s.risers, 0, 0.0));
    ASSERT_EQ(CountNodes(steps.get()), 10);
    // The first winder tread: its ring passes the corner twice, once skipped.
    const StairStep* winder = steps.get()->next->next->next;
    int atCorner = 0, skipped = 0;
    for (const VertexNode* v = winder->ring; v; v = v->next)
        if (PointsEqual(v->pt(), {0, 90, 80}, true)) {
            ++atCorner;
            skipped += v->data1 == 1;
        }
    EXPECT_EQ(atCorner, 2);
    EXPECT_EQ(skipped, 1);
    // The faces of the treads cover each tread once.
    EXPECT_GT(DrawTreadFaces(steps.get(), "3DSTAIRS_TR"), 10);
}

TEST_F(StairModel, nosing_moves_the_front_edge_toward_the_start) {
    CSCALA s;
    ASSERT_EQ(BuildStairModel(s, StraightFlight(), 0), "");
    s.stepHeight = 18.75;
    s.nosingLength = 3.0;
    OwnedList<StairStep> plain(BuildStairSteps(s, s.risers, 0, 0.0));
    OwnedList<StairStep> nosed(BuildStairSteps(s, s.risers, 1, 0.0));
    ASSERT_EQ(CountNodes(nosed.get()), 15);
    int i = 0;
    for (const StairStep* st = nosed.get(); st; st = st->next, ++i) {
        const VertexNode* front = st->ring;
        EXPECT_EQ(front->edgeFlag, 2);
        EXPECT_NEAR(front->y, 30.0 * i - 3.0, 1e-9);
        EXPECT_NEAR(front->next->y, 30.0 * i - 3.0, 1e-9);
        EXPECT_NEAR(front->z, 18.75 * (i + 1), 1e-9);
    }
    EXPECT_NEAR(plain.get()->ring->y, 0.0, 1e-9);
}

TEST_F(StairModel, curved_flight_keeps_arcs_in_walking_order) {
    CSCALA s;
    ASSERT_EQ(BuildStairModel(s, CurvedFlight(), 0), "");
    ASSERT_TRUE(s.firstSide && s.firstSide->isArc());
    EXPECT_NEAR(s.firstSide->radius(), 50.0, 1e-9);
    EXPECT_NEAR(s.firstSide->endAngle(), Deg(90), 1e-6);  // ended at the last riser
    EXPECT_NEAR(s.secondSide->radius(), 160.0, 1e-9);
    EXPECT_EQ(CountNodes(s.risers), 4);
    // The chords run from the first riser on.
    EXPECT_TRUE(PointsEqual(s.firstSide->arcPoints->start, {50, 0, 0}, false));
}

}  // namespace

namespace {

TEST_F(StairModel, outlines_for_hatching_detail_and_the_slab_opening) {
    CSCALA s;
    s.deductionHeight = 100.0;
    s.floorDistance = 300.0;
    s.slabThickness = 25.0;
    s.lintelHeight = 210.0;
    // One side rising from 0 to 200 along y, the other back at x = 100.
    VertexNode* pts = nullptr;
    for (const Point3& p : {Point3{0, 0, 0}, Point3{0, 100, 80}, Point3{0, 200, 200}, Point3{100, 200, 200},
                            Point3{100, 100, 80}, Point3{100, 0, 0}})
        AppendVertex(&pts, p, 0, 0, 0);
    RingNode nodes[6];
    VertexNode* v = pts;
    for (int i = 0; i < 6; ++i, v = v->next) nodes[i].vertex = v;
    nodes[0].next = &nodes[1], nodes[1].next = &nodes[2];
    nodes[5].next = &nodes[4], nodes[4].next = &nodes[3];  // the second chain, from its start
    BuildStairOutlines(s, &nodes[0], &nodes[5], &nodes[0], &nodes[5]);
    // Hatching: the whole outline; detail: cut where it rises through 100.
    EXPECT_EQ(CountNodes(s.hatchIsolationPoints), 6);
    int cut = 0;
    for (const VertexNode* d = s.detailPoints; d; d = d->next) {
        EXPECT_LE(d->z, 100.0);
        cut += std::fabs(d->z - 100.0) < 1e-9;
    }
    EXPECT_EQ(cut, 2);
    // The opening: the vertices at least 65 up, each with a visible edge.
    EXPECT_EQ(CountNodes(s.openingPolygon), 4);
    for (const VertexNode* o = s.openingPolygon; o; o = o->next) {
        EXPECT_GE(o->z, 65.0);
        EXPECT_EQ(o->edgeFlag, 1);
    }
    FreeList(pts);
}

TEST_F(StairModel, structure_depth_and_element_moves) {
    CSCALA s;
    s.stepHeight = 15.0;
    s.riserThicknessPlan = 0.0;
    s.stepThicknessPlan = 0.0;
    const double slope = std::atan(15.0 / 30.0);
    EXPECT_NEAR(StructureDepthAtRiser(s, 10.0, 30.0), 10.0 / std::cos(slope), 1e-9);

    ASSERT_EQ(BuildStairModel(s, CurvedFlight(), 0), "");
    const Point3 chord = s.firstSide->arcPoints->end;
    TranslateElements(s.firstSide, 10.0, -5.0);
    EXPECT_TRUE(PointsEqual(s.firstSide->pointA, {-10, 5, 0}, true));
    EXPECT_TRUE(PointsEqual(s.firstSide->endA, {40, 5, 0}, true));
    EXPECT_TRUE(PointsEqual(s.firstSide->arcPoints->end, {chord.x - 10, chord.y + 5, 0}, true));
    EXPECT_NEAR(s.firstSide->radius(), 50.0, 1e-12);
}

}  // namespace

namespace {

TEST_F(StairModel, last_riser_drawn_between_the_side_ends_stays_a_riser) {
    std::vector<StairModelEntity> straight = StraightFlight();
    straight[16].b.y = straight[17].b.y = 450.0;
    // Quarter turn: the sides end at the last riser.
    std::vector<StairModelEntity> turn = QuarterTurn();
    turn[12].b.x = turn[14].b.x = -90.0;
    std::rotate(turn.begin() + 10, turn.begin() + 11, turn.end());  // the last riser last
    struct Case {
        const std::vector<StairModelEntity>* model;
        int risers;
        Point3 firstSideEnd;
    };
    for (const Case& c : {Case{&straight, 16, {0, 450, 0}}, Case{&turn, 11, {-90, 90, 0}}}) {
        CSCALA s;
        ASSERT_EQ(BuildStairModel(s, *c.model, 0), "");
        EXPECT_EQ(CountNodes(s.risers), c.risers);
        const StairElement* last = s.firstSide;
        while (last->next) last = last->next;
        EXPECT_TRUE(PointsEqual(last->endB, c.firstSideEnd, true)) << c.risers;
    }
}

}  // namespace
