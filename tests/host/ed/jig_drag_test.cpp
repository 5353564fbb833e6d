// Jigs: one sample per answer, update only on change, the preview recorded
// after each update, keyword and null and cancel statuses, and a custom
// preview entity registered through the class dictionary.
#include <cmath>

#include "host/db/dbents.h"
#include "host/ed/jig.h"
#include "host/ed/prompts.h"
#include "tests/host/ed/cmd_fixture.h"

namespace {

// A preview entity of the module's kind: a square of side `size` centred
// at its point, drawn in colour 1, with a label.
class PreviewSquare : public ZcDbEntity {
public:
    ZCRX_DECLARE_MEMBERS(PreviewSquare);
    ZcGePoint3d center;
    double size = 1;
    bool worldDraw(ZcGiWorldDraw* wd) override {
        double h = size / 2;
        ZcGePoint3d pts[5] = {center + ZcGeVector3d(-h, -h, 0), center + ZcGeVector3d(h, -h, 0),
                              center + ZcGeVector3d(h, h, 0), center + ZcGeVector3d(-h, h, 0),
                              center + ZcGeVector3d(-h, -h, 0)};
        wd->subEntityTraits().setColor(1);
        wd->geometry().polyline(5, pts);
        wd->subEntityTraits().setColor(2);
        wd->geometry().circularArc(center, h, ZcGeVector3d(0, 0, 1), ZcGeVector3d(1, 0, 0), 3.14159265358979);
        wd->geometry().text(center, ZcGeVector3d(0, 0, 1), ZcGeVector3d(1, 0, 0), 2.5, 1, 0, "OKNO");
        return true;
    }
    static ZcRxObject* Create() { return new PreviewSquare; }
};
ZCRX_DEFINE_MEMBERS(PreviewSquare)

class SquareJig : public ZcEdJig {
public:
    SquareJig() { square_ = new PreviewSquare; }
    ~SquareJig() override { delete owned(); }
    DragStatus sampler() override {
        setDispPrompt("\nPodaj środek:");
        setKeywordList("Jeden Dwa Trzy Cztery Pięć Sześć Siedem Osiem Dziewięć Dziesięć Jedenaście");
        setUserInputControls(kNullResponseAccepted);
        ZcGePoint3d p;
        DragStatus st = acquirePoint(p);
        if (st == kNormal && p.isEqualTo(last_)) return kNoChange;
        if (st == kNormal) last_ = p;
        return st;
    }
    bool update() override {
        ++updates;
        square_->center = last_;
        square_->size = 2;
        return true;
    }
    ZcDbEntity* entity() const override { return square_; }
    PreviewSquare* owned() { return appended_ ? nullptr : square_; }
    void handOver() { appended_ = true; }
    int updates = 0;

private:
    PreviewSquare* square_;
    ZcGePoint3d last_{1e9, 1e9, 0};
    bool appended_ = false;
};

class Jig : public CmdSession {
protected:
    void SetUp() override {
        CmdSession::SetUp();
        cls = newZcRxClass("PreviewSquare", "AcDbEntity", 1, 0, 0, &PreviewSquare::Create, "", "VELMTEST");
    }
    void TearDown() override {
        CmdSession::TearDown();
        deleteZcRxClass(cls);
    }
    ZcRxClass* cls = nullptr;
};

TEST_F(Jig, each_answer_is_one_sample_and_a_repeat_is_no_change) {
    SquareJig jig;
    run({});
    for (const char* l : {"10,0", "10,0", "20,5"}) curDoc()->inputQueue().pushLine(l);
    EXPECT_EQ(jig.drag(), ZcEdJig::kNormal);
    EXPECT_EQ(jig.drag(), ZcEdJig::kNoChange);
    EXPECT_EQ(jig.updates, 1);
    EXPECT_EQ(jig.drag(), ZcEdJig::kNormal);
    EXPECT_EQ(jig.updates, 2);
    EXPECT_EQ(jig.previewCount(), 2);
    // What the user saw last: the square around 20,5 in colour 1, the arc
    // and the label in colour 2.
    const auto& prims = jig.lastPreview();
    ASSERT_EQ(prims.size(), 3u);
    EXPECT_EQ(prims[0].kind, ZcGiPrimitive::kPolyline);
    EXPECT_EQ(prims[0].color, 1);
    ASSERT_EQ(prims[0].points.size(), 5u);
    EXPECT_TRUE(prims[0].points[0].isEqualTo(ZcGePoint3d(19, 4, 0)));
    EXPECT_TRUE(prims[0].points[2].isEqualTo(ZcGePoint3d(21, 6, 0)));
    EXPECT_EQ(prims[1].kind, ZcGiPrimitive::kCircularArc);
    EXPECT_EQ(prims[1].color, 2);
    EXPECT_EQ(prims[2].text, "OKNO");
}

TEST_F(Jig, keywords_beyond_ten_enter_and_cancel_have_their_statuses) {
    SquareJig jig;
    for (const char* l : {"Dwa", "jedenaście", "", "nonsens", "!cancel"}) curDoc()->inputQueue().pushLine(l);
    EXPECT_EQ(jig.drag(), ZcEdJig::kKW2);
    EXPECT_EQ(jig.drag(), ZcEdJig::kKW11);
    EXPECT_EQ(jig.drag(), ZcEdJig::kNull);
    EXPECT_EQ(jig.drag(), ZcEdJig::kCancel);  // the bad answer re-prompted first
    EXPECT_NE(transcript().find("Wymagany punkt lub opcja."), std::string::npos);
    EXPECT_EQ(jig.updates, 0);
}

TEST_F(Jig, an_empty_queue_cancels_and_a_kept_preview_can_be_appended) {
    SquareJig jig;
    EXPECT_EQ(jig.drag(), ZcEdJig::kCancel);
    curDoc()->inputQueue().pushLine("5,5");
    ASSERT_EQ(jig.drag(), ZcEdJig::kNormal);
    ZcDbObjectId id = jig.append();
    ASSERT_FALSE(id.isNull());
    jig.handOver();
    with<PreviewSquare>(id, [](PreviewSquare* s) { EXPECT_TRUE(s->center.isEqualTo(ZcGePoint3d(5, 5, 0))); });
}

class DistanceJig : public ZcEdJig {
public:
    DragStatus sampler() override {
        setUserInputControls(
            static_cast<UserInputControls>(kNoZeroResponseAccepted | kNoNegativeResponseAccepted));
        return angle ? acquireAngle(value, ZcGePoint3d(0, 0, 0)) : acquireDist(value, ZcGePoint3d(1, 1, 0));
    }
    bool update() override { return true; }
    ZcDbEntity* entity() const override { return nullptr; }
    double value = 0;
    bool angle = false;
};

TEST_F(Jig, distances_and_angles_come_typed_or_from_a_point) {
    DistanceJig jig;
    for (const char* l : {"4,5", "0", "-2", "2.5"}) curDoc()->inputQueue().pushLine(l);
    EXPECT_EQ(jig.drag(), ZcEdJig::kNormal);
    EXPECT_DOUBLE_EQ(jig.value, 5);
    EXPECT_EQ(jig.drag(), ZcEdJig::kNormal);  // 0 and -2 refused
    EXPECT_DOUBLE_EQ(jig.value, 2.5);
    jig.angle = true;
    for (const char* l : {"0,3", "45"}) curDoc()->inputQueue().pushLine(l);
    EXPECT_EQ(jig.drag(), ZcEdJig::kNormal);
    EXPECT_NEAR(jig.value, 3.14159265358979 / 2, 1e-12);
    EXPECT_EQ(jig.drag(), ZcEdJig::kNormal);
    EXPECT_NEAR(jig.value, 3.14159265358979 / 4, 1e-12);
}

}  // namespace

TEST(WorldGeometry, arc_through_three_points_is_recorded_by_centre_and_sweep) {
    std::vector<ZcGiPrimitive> out;
    ZcGiSubEntityTraits traits;
    ZcGiWorldGeometry geometry(out, traits);
    // A quarter of the unit circle about (5,5), clockwise in plan: its
    // normal turns down so the sweep stays counter-clockwise.
    geometry.circularArc(ZcGePoint3d(5, 6, 0), ZcGePoint3d(5 + std::sqrt(0.5), 5 + std::sqrt(0.5), 0),
                         ZcGePoint3d(6, 5, 0));
    // Three quarters the other way round, through the far side.
    geometry.circularArc(ZcGePoint3d(6, 5, 0), ZcGePoint3d(4, 5, 0), ZcGePoint3d(5, 4, 0));
    // In a line: the straight segment.
    geometry.circularArc(ZcGePoint3d(0, 0, 0), ZcGePoint3d(1, 1, 0), ZcGePoint3d(2, 2, 0));
    ASSERT_EQ(out.size(), 3u);
    const double quarter = 3.14159265358979323846 / 2;
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(out[i].kind, ZcGiPrimitive::kCircularArc);
        EXPECT_TRUE(out[i].center.isEqualTo(ZcGePoint3d(5, 5, 0))) << i;
        EXPECT_NEAR(out[i].radius, 1, 1e-12);
    }
    EXPECT_NEAR(out[0].sweepAngle, quarter, 1e-12);
    EXPECT_NEAR(out[0].normal.z, -1, 1e-12);
    EXPECT_NEAR(out[1].sweepAngle, 3 * quarter, 1e-12);
    EXPECT_NEAR(out[1].normal.z, 1, 1e-12);
    EXPECT_TRUE((ZcGePoint3d(5, 5, 0) + out[1].startVector).isEqualTo(ZcGePoint3d(6, 5, 0)));
    EXPECT_EQ(out[2].kind, ZcGiPrimitive::kPolyline);
    EXPECT_EQ(out[2].points.size(), 2u);
}
