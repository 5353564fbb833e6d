// The interactive placers on scripted answers: where the object lands for
// each road through the prompts, and what is left alone on cancel.
#include "objects/placement/placers.h"

#include <gtest/gtest.h>

#include <cmath>

#include "host/ads/rbutil.h"
#include "tests/support/velm_test.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class PlacerTest : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }
    void TearDown() override {
        for (auto& c : contexts) FreeObjContext(std::move(c));
        VelmTest::TearDown();
    }
    // An object 90 long on its X axis with fixed points of the given kinds.
    ObjContext& Context(std::initializer_list<std::pair<Point3, int>> fixed) {
        contexts.push_back(NewObjContext("T"));
        ObjContext& c = *contexts.back();
        VertexNode* head = nullptr;
        VertexNode** tail = &head;
        for (const auto& [p, kind] : fixed) {
            *tail = NewVertex(p.x, p.y, p.z, kind, 0, 0, 0);
            tail = &(*tail)->next;
        }
        c.fixedPoints.reset(head);
        c.fixedPointIndex = 1;
        const ads_point a = {0, 0, 0}, b = {90, 0, 0};
        c.dragSegments.reset(zcutBuildList(RT3DPOINT, a, RT3DPOINT, b, 0));
        return c;
    }
    // A straight wall from (0,0) to (500,0), 30 thick, picked at (100,0);
    // its front runs 5 in front of the line.
    static void OnWall(ObjContext& c) {
        c.host.wallLine[0] = {0, 0, 0}, c.host.wallLine[1] = {500, 0, 0};
        c.host.secondWallLine[0] = {500, 30, 0}, c.host.secondWallLine[1] = {0, 30, 0};
        c.host.faceSegment[0] = {-20, -5, 0}, c.host.faceSegment[1] = {520, -5, 0};
        c.host.secondFaceSegment[0] = {520, 35, 0}, c.host.secondFaceSegment[1] = {-20, 35, 0};
        c.host.pickPoint = {100, 0, 0};
    }
    static void ExpectAt(const ObjContext& c, double x, double y) {
        EXPECT_NEAR(c.insertionPoint[0], x, 1e-9);
        EXPECT_NEAR(c.insertionPoint[1], y, 1e-9);
    }
    std::vector<std::unique_ptr<ObjContext>> contexts;
};

}  // namespace

TEST_F(PlacerTest, the_free_placer_puts_the_fixed_point_on_the_point_turned_by_the_angle) {
    struct Row {
        std::vector<std::string> answers;
        double x, y, angle;
    };
    const std::vector<Row> rows = {
        {{"100,100", "90", ""}, 105, 90, kPi / 2},        // Enter keeps the first point
        {{"100,100", ""}, 90, 95, 0.0},                   // Enter at the angle accepts at once
        {{"100,100", "90", "200,50"}, 205, 40, kPi / 2},  // a second point moves without turning
        {{"Zmień", "100,100", ""}, 90, 95, 0.0},          // one fixed point: nothing to change to
    };
    for (const Row& r : rows) {
        ObjContext& c = Context({{{10, 5, 0}, 0}});
        for (const std::string& a : r.answers) push(a);
        EXPECT_EQ(PlaceObjectInteractive(c, 1.0), 1) << r.answers[0];
        ExpectAt(c, r.x, r.y);
        EXPECT_NEAR(c.rotation, r.angle, 1e-9);
    }
    ObjContext& two = Context({{{10, 0, 0}, 0}, {{20, 0, 0}, 1}});
    push({"Zmień", "100,100", ""});
    EXPECT_EQ(PlaceObjectInteractive(two, 1.0), 1);
    ExpectAt(two, 80, 100);
    EXPECT_EQ(two.fixedPointIndex, 2);
}

TEST_F(PlacerTest, the_free_placer_keeps_the_position_on_cancel_and_in_modify_on_enter) {
    ObjContext& c = Context({{{10, 0, 0}, 0}});
    c.insertionPoint[0] = 7, c.insertionPoint[1] = 8;
    c.rotation = 1.0;
    push({"100,100", "!cancel"});
    EXPECT_EQ(PlaceObjectInteractive(c, 1.0), -1);
    ExpectAt(c, 7, 8);
    EXPECT_EQ(c.rotation, 1.0);

    c.runMode = 1;
    push("");
    EXPECT_EQ(PlaceObjectInteractive(c, 1.0), 1);
    ExpectAt(c, 7, 8);
    c.runMode = 0;
    push("");
    EXPECT_EQ(PlaceObjectInteractive(c, 1.0), -1);

    c.skipParamInput = 1;
    push("Zastąp");
    EXPECT_EQ(PlaceObjectInteractive(c, 1.0), 1000);
}

TEST_F(PlacerTest, the_wall_placer_measures_from_the_reference_and_lands_on_the_wall_line) {
    ObjContext& c = Context({{{0, 0, 0}, 0}, {{90, 0, 0}, 1}});
    OnWall(c);
    push("150");
    EXPECT_EQ(PlaceOpeningOnLine(c, 0.0, 1.0), 1);
    ExpectAt(c, 150, 0);
    EXPECT_NEAR(c.host.pickPoint.x, 150, 1e-9);

    // From the front: measured from the front's end, still on the line.
    ObjContext& d = Context({{{0, 0, 0}, 0}, {{90, 0, 0}, 1}});
    OnWall(d);
    push({"Przód", "150"});
    EXPECT_EQ(PlaceOpeningOnLine(d, 0.0, 1.0), 1);
    ExpectAt(d, 130, 0);

    // Picked nearer the far end: the fixed point of kind 1 starts.
    ObjContext& e = Context({{{0, 0, 0}, 0}, {{90, 0, 0}, 1}});
    OnWall(e);
    e.host.pickPoint = {450, 0, 0};
    push("100");
    EXPECT_EQ(PlaceOpeningOnLine(e, 0.0, 1.0), 1);
    EXPECT_EQ(e.fixedPointIndex, 2);
    ExpectAt(e, 310, 0);  // 100 back from the end, less the fixed point

    ObjContext& m = Context({{{0, 0, 0}, 0}});
    OnWall(m);
    m.runMode = 1;
    m.insertionPoint[0] = 33;
    push("");
    EXPECT_EQ(PlaceOpeningOnLine(m, 0.0, 1.0), 1);
    ExpectAt(m, 33, 0);
}

TEST_F(PlacerTest, the_reference_steps_through_the_wall_points_by_the_fixed_point_kinds) {
    // 0 -> 1 -> 3 (a kind-3 point exists, it becomes current) -> 2.
    ObjContext& c = Context({{{0, 0, 0}, 0}, {{90, 0, 0}, 1}, {{45, 30, 0}, 3}});
    OnWall(c);
    push({"Odniesienie", "Odniesienie", "Odniesienie", "0"});
    EXPECT_EQ(PlaceOpeningOnLine(c, 0.0, 1.0), 1);
    EXPECT_EQ(c.fixedPointIndex, 3);
    ExpectAt(c, 455, 0);  // from line point 2 (500,30), less the kind-3 point

    // Without a kind-3 point: 0 -> 1 -> 0.
    ObjContext& d = Context({{{0, 0, 0}, 0}, {{90, 0, 0}, 1}});
    OnWall(d);
    push({"Odniesienie", "Odniesienie", "0"});
    EXPECT_EQ(PlaceOpeningOnLine(d, 0.0, 1.0), 1);
    ExpectAt(d, 0, 0);
}

TEST_F(PlacerTest, the_arc_placer_takes_the_angle_and_the_label_placer_its_point) {
    ObjContext& c = Context({{{0, 0, 0}, 0}});
    push("30");
    EXPECT_EQ(PlaceOpeningOnArc(c, 0.0, 1.0), 1);
    EXPECT_NEAR(c.rotation, kPi / 6, 1e-9);
    c.runMode = 1;
    push("");
    EXPECT_EQ(PlaceOpeningOnArc(c, 0.0, 1.0), 1);
    EXPECT_NEAR(c.rotation, kPi / 6, 1e-9);

    ObjContext& silent = Context({{{0, 0, 0}, 0}});
    EXPECT_EQ(PlaceLabelObject(silent, true), 1);  // no prompt: nothing asked

    ObjContext& label = Context({{{0, 0, 0}, 0}});
    label.replacementLayer = "\nPunkt etykiety:";
    label.host.basePoint = {40, 50, 0};
    label.host.hasBasePoint = true;
    push("");
    EXPECT_EQ(PlaceLabelObject(label, false), 0);
    ExpectAt(label, 40, 50);
    push("70,80");
    EXPECT_EQ(PlaceLabelObject(label, false), 1);
    ExpectAt(label, 70, 80);
    push({"45", "10,20"});
    EXPECT_EQ(PlaceLabelObject(label, true), 1);
    ExpectAt(label, 10, 20);
    EXPECT_NEAR(label.rotation, kPi / 4, 1e-9);
}
