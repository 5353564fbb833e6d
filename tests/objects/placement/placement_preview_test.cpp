// The placement preview: what it draws, the layer it keeps on, and the three
// jigs driven by scripted samples, step by step.
#include "objects/placement/placement_preview.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/levels.h"
#include "host/ads/rbutil.h"
#include "host/db/dbsymtb.h"
#include "host/ed/grdraw.h"
#include "objects/language/obj_context.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/support/velm_test.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class PreviewTest : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }
    // A preview whose outline is the segment (0,0)-(100,0) and (100,0)-(100,50).
    static std::unique_ptr<VELM_PRJ> Preview() {
        auto prj = std::make_unique<VELM_PRJ>();
        prj->outline = {{0, 0, 0}, {100, 0, 0}, {100, 0, 0}, {100, 50, 0}};
        return prj;
    }
    static void ExpectPoint(const ZcGePoint3d& p, double x, double y) {
        EXPECT_NEAR(p.x, x, 1e-9);
        EXPECT_NEAR(p.y, y, 1e-9);
    }
};

}  // namespace

TEST_F(PreviewTest, the_outline_draws_its_pairs_and_the_crosses_in_their_colours) {
    const int slot = SetupVar::SFTMTCM;
    const double unit = 0.5;
    SetVarReal(&slot, &unit);
    auto prj = Preview();
    prj->outline.push_back({7, 7, 0});  // an odd last point is drawn nowhere
    EXPECT_DOUBLE_EQ(prj->crossSize, 10.0);
    std::vector<ZcGiPrimitive> drawn = host::recordWorldDraw(prj.get());
    ASSERT_EQ(drawn.size(), 2u);
    ExpectPoint(drawn[1].points[1], 100, 50);

    prj->outline.clear();
    prj->showBaseCross = true;
    prj->showFixedPointCross = true;
    prj->basePoint = {10, 20, 0};
    prj->fixedPointMarker = {-5, 0, 0};
    drawn = host::recordWorldDraw(prj.get());
    ASSERT_EQ(drawn.size(), 4u);
    EXPECT_EQ(drawn[0].color, 3);
    EXPECT_EQ(drawn[1].color, 3);
    EXPECT_EQ(drawn[2].color, 1);
    ExpectPoint(drawn[0].points[0], 20, 20);
    ExpectPoint(drawn[0].points[1], 0, 20);
    ExpectPoint(drawn[1].points[0], 10, 30);
    ExpectPoint(drawn[3].points[1], -5, -10);
}

TEST_F(PreviewTest, a_current_layer_that_was_off_is_on_while_the_preview_lives_and_off_after) {
    auto layerOff = [] { return IsLayerVisible("0") == 0; };
    SetLayerState("0", false, 0);
    ASSERT_TRUE(layerOff());
    {
        AJIG_PRJ jig;
        auto prj = Preview();
        jig.prj = prj.get();
        EXPECT_FALSE(layerOff());
        jig.step = 2;
        push("!cancel");
        jig.drag();
        EXPECT_EQ(jig.step, 1);
    }
    EXPECT_TRUE(layerOff());
    SetLayerState("0", true, 0);
    { auto prj = Preview(); }
    EXPECT_FALSE(layerOff());
}

TEST_F(PreviewTest, free_jig_steps_follow_the_answers) {
    struct Row {
        int step;
        std::string answer;
        int next;
    };
    const std::vector<Row> rows = {
        {2, "30,40", 2},   {2, "", 9},        {2, "Zmień", 6}, {2, "Odniesienie", 5}, {2, "Modyfikuj", 8},
        {2, "!cancel", 1}, {3, "30,40", 3},   {3, "", 0},      {3, "!cancel", 1},     {4, "30", 4},
        {4, "", 3},        {4, "!cancel", 1}, {7, "30,40", 7}, {7, "!cancel", 1},
    };
    for (const Row& row : rows) {
        AJIG_PRJ jig;
        auto prj = Preview();
        jig.prj = prj.get();
        jig.keywords = "Zmień Odniesienie Modyfikuj";
        jig.firstPoint = {5, 6, 0};
        jig.step = row.step;
        push(row.answer);
        jig.drag();
        EXPECT_EQ(jig.step, row.next) << row.step << " '" << row.answer << "'";
        if (row.step == 3 && row.answer.empty()) {
            ExpectPoint(jig.currentPoint, 5, 6);
        }
        if (row.step == 4 && row.answer.empty()) {
            EXPECT_EQ(jig.rotationInput, 0.0);
        }
    }
}

TEST_F(PreviewTest, free_jig_moves_and_turns_the_outline_and_a_repeated_sample_changes_nothing) {
    AJIG_PRJ jig;
    auto prj = Preview();
    prj->showFixedPointCross = true;
    prj->showBaseCross = true;
    prj->basePoint = {1, 1, 0};
    jig.prj = prj.get();
    jig.step = 2;
    push("10,20");
    EXPECT_EQ(jig.drag(), ZcEdJig::kNormal);
    ExpectPoint(prj->outline[0], 10, 20);
    ExpectPoint(prj->outline[3], 110, 70);
    ExpectPoint(prj->fixedPointMarker, 10, 20);
    ExpectPoint(prj->basePoint, 1, 1);  // the base cross stays
    const int previews = jig.previewCount();

    push("10,20");
    EXPECT_EQ(jig.drag(), ZcEdJig::kNoChange);
    EXPECT_EQ(jig.previewCount(), previews);
    ExpectPoint(prj->outline[0], 10, 20);

    jig.step = 4;
    push("90");
    EXPECT_EQ(jig.drag(), ZcEdJig::kNormal);
    ExpectPoint(prj->outline[1], 10, 120);  // turned about the current point
    push("90");
    EXPECT_EQ(jig.drag(), ZcEdJig::kNoChange);
    ExpectPoint(prj->outline[1], 10, 120);

    // Step 7 with the first point as base: Enter confirms and goes to step 3.
    jig.step = 7;
    jig.useFirstPointAsBase = true;
    push("");
    jig.drag();
    EXPECT_TRUE(jig.confirmed);
    EXPECT_EQ(jig.step, 3);
}

TEST_F(PreviewTest, wall_jig_lays_the_outline_at_the_reference_and_slides_it_along_the_wall) {
    auto context = NewObjContext("T");
    // Drag outline (0,0)-(80,0); fixed point (40,0); turned a quarter.
    const ads_point a = {0, 0, 5}, b = {80, 0, 5};
    context->dragSegments.reset(zcutBuildList(RT3DPOINT, a, RT3DPOINT, b, 0));
    context->rotation = kPi / 2;

    AJIG_PRJ_APP jig;
    auto prj = Preview();
    jig.prj = prj.get();
    jig.linePoints[0] = {100, 0, 0};
    jig.linePoints[1] = {500, 0, 0};
    jig.linePoints[2] = {500, 30, 0};
    jig.linePoints[3] = {100, 30, 0};
    jig.firstDirection = 0.0;
    jig.secondDirection = kPi;
    jig.referenceIndex = 0;
    CalcLineSupportGeometry(jig, *context, 300.0, {40, 0, 0});
    ASSERT_EQ(prj->outline.size(), 2u);
    ExpectPoint(prj->outline[0], 100, -40);
    ExpectPoint(prj->outline[1], 100, 40);
    EXPECT_DOUBLE_EQ(prj->outline[0].z, 300.0);
    ExpectPoint(prj->fixedPointMarker, 100, 0);

    jig.step = 2;
    push("25");
    EXPECT_EQ(jig.drag(), ZcEdJig::kNormal);
    ExpectPoint(prj->outline[0], 125, -40);
    push("25");
    EXPECT_EQ(jig.drag(), ZcEdJig::kNoChange);
    EXPECT_STREQ(jig.keywordList(),
                 "Przód Odniesienie Zmień Modyfikuj Modifikuj _ Przód Odniesienie Zmień Modyfikuj Modyfikuj");

    // From the second reference of the far face the slide runs backwards.
    jig.referenceIndex = 3;
    CalcLineSupportGeometry(jig, *context, 300.0, {40, 0, 0});
    ExpectPoint(prj->outline[0], 100, -10);
    push("10");
    jig.drag();
    ExpectPoint(prj->outline[0], 110, -10);

    struct Row {
        std::string answer;
        int next;
    };
    for (const Row& row : std::vector<Row>{{"Przód", 3},
                                           {"Odniesienie", 4},
                                           {"Zmień", 6},
                                           {"Modyfikuj", 5},
                                           {"Modifikuj", 5},
                                           {"", 7},
                                           {"!cancel", 1}}) {
        jig.step = 2;
        push(row.answer);
        jig.drag();
        EXPECT_EQ(jig.step, row.next) << row.answer;
    }
    jig.measureFromFront = true;
    jig.step = 2;
    push("Linia");
    jig.drag();
    EXPECT_EQ(jig.step, 3);
    FreeObjContext(std::move(context));
}

TEST_F(PreviewTest, arc_jig_turns_the_outline_about_the_opening) {
    AJIG_PRJ_APA jig;
    auto prj = Preview();
    jig.prj = prj.get();
    jig.centre = {100, 0, 0};
    jig.step = 2;
    push("90");
    EXPECT_EQ(jig.drag(), ZcEdJig::kNormal);
    ExpectPoint(prj->outline[0], 100, -100);
    push("90");
    EXPECT_EQ(jig.drag(), ZcEdJig::kNoChange);
    push("Modyfikuj");
    jig.drag();
    EXPECT_EQ(jig.step, 3);
    push("");
    jig.drag();
    EXPECT_EQ(jig.step, 4);
    push("!cancel");
    jig.drag();
    EXPECT_EQ(jig.step, 1);
}
