// The stair record: its settings defaults and the stair xdata written and
// read back, older and damaged records included.
#include "core/entity_data.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/stairs/stair_models.h"
#include "tests/support/velm_test.h"

using namespace stairtest;
using namespace SetupVar;

namespace {

class StairRecord : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }
    static void setReal(int slot, double v) { SetVarReal(&slot, &v); }
    static void setInt(int slot, int v) {
        const short s = static_cast<short>(v);
        SetVarInt(&slot, &s);
    }
    static double real(int slot) {
        double v = 0;
        GetVarReal(&slot, &v);
        return v;
    }
    static int integer(int slot) {
        int v = 0;
        GetVarInt(&slot, &v);
        return v;
    }
};

using RbList = std::unique_ptr<resbuf, int (*)(resbuf*)>;
RbList Owned(resbuf* rb) {
    return RbList(rb, &zcutRelRb);
}

// The n-th node (0 the first value after the stair application's 1001).
resbuf* StairValue(resbuf* list, int n) {
    resbuf* rb = FindXDataApp(list, kStairApp);
    for (int i = 0; rb && i <= n; ++i) rb = rb->rbnext;
    return rb;
}

// Cuts values first..last (1-based) out of the record.
void CutValues(resbuf* list, int first, int last) {
    resbuf* before = StairValue(list, first - 2);
    resbuf* end = StairValue(list, last - 1)->rbnext;
    resbuf* cut = before->rbnext;
    StairValue(list, last - 1)->rbnext = nullptr;
    before->rbnext = end;
    zcutRelRb(cut);
}

void ExpectSameElements(const StairElement* a, const StairElement* b) {
    for (; a && b; a = a->next, b = b->next) {
        EXPECT_EQ(a->kind, b->kind);
        EXPECT_EQ(a->landing, b->landing);
        EXPECT_TRUE(PointsEqual(a->pointA, b->pointA, true));
        EXPECT_NEAR(a->pointB.x, b->pointB.x, 1e-6);
        EXPECT_NEAR(a->pointB.y, b->pointB.y, 1e-6);
        EXPECT_NEAR(a->pointB.z, b->pointB.z, 1e-6);
        EXPECT_TRUE(PointsEqual(a->endA, b->endA, true));
    }
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, nullptr);
}

void MakeCurved(CSCALA& s) {
    ASSERT_EQ(BuildStairModel(s, CurvedFlight(), 0), "");
    s.risers->next->landing = true;
    s.nosingType = 1;
    s.structureType = 2;
    s.belowRepresentation = 2;
    s.floorDistance = 60.0;
    s.endFloorHeight = 60.0;
    s.layer2DAbove = "ABOVE";
    s.cutPlaneAngle = 0.3;
    s.lastStepAtEnd = true;
}

TEST_F(StairRecord, full_record_reads_back_equal) {
    CSCALA s;
    MakeCurved(s);
    RbList x = Owned(s.WriteStairXData({0, 0, 0}));
    ASSERT_EQ(x->restype, -3);
    CSCALA back;
    ASSERT_TRUE(back.LoadStairFromEntity(x.get(), {0, 0, 0}, 0.0, 0));
    EXPECT_EQ(back.nosingType, 1);
    EXPECT_EQ(back.structureType, 2);
    EXPECT_EQ(back.belowRepresentation, 2);
    EXPECT_EQ(back.layer2DAbove, "ABOVE");
    EXPECT_DOUBLE_EQ(back.cutPlaneAngle, 0.3);
    EXPECT_DOUBLE_EQ(back.endFloorHeight, 60.0);
    EXPECT_TRUE(back.lastStepAtEnd);
    ExpectSameElements(back.risers, s.risers);
    ExpectSameElements(back.firstSide, s.firstSide);
    ExpectSameElements(back.secondSide, s.secondSide);
    // Four risers, the last at the end height: three rises of 20.
    EXPECT_EQ(back.riserCount, 3);
    EXPECT_DOUBLE_EQ(back.stepHeight, 20.0);
    EXPECT_EQ(CountNodes(back.steps), 3);
}

TEST_F(StairRecord, older_records_take_the_later_values_from_the_settings) {
    setReal(SETSCA_AINLSEZ, 0.25);
    setReal(SETSCA_SCALEPP2DSIN, 4.0);
    setReal(SETSCA_MENOP, 2.0);
    int slot = SETSCA_LAYER2DCC;
    SetVarString(&slot, "FROMSETTINGS");
    for (int kept : {26, 27, 33}) {
        CSCALA s;
        MakeCurved(s);
        s.balustradeStartLeft = 9.0;
        s.stepThicknessPlan = 7.0;
        RbList x = Owned(s.WriteStairXData({0, 0, 0}));
        CutValues(x.get(), kept + 1, 38);
        CSCALA back;
        ASSERT_TRUE(back.LoadStairFromEntity(x.get(), {0, 0, 0}, 0.0, 0));
        EXPECT_EQ(back.layer2DAbove, kept >= 27 ? "ABOVE" : "FROMSETTINGS") << kept;
        EXPECT_DOUBLE_EQ(back.stepThicknessPlan, kept >= 28 ? 7.0 : 2.0) << kept;
        EXPECT_DOUBLE_EQ(back.balustradeStartLeft, 4.0) << kept;
        EXPECT_DOUBLE_EQ(back.cutPlaneAngle, 0.25) << kept;
        EXPECT_EQ(CountNodes(back.risers), 4) << kept;
        EXPECT_EQ(CountNodes(back.secondSide), 1) << kept;
    }
}

TEST_F(StairRecord, damaged_records_read_safely) {
    setInt(SETSCA_TIPOSPORG, 0);
    setReal(SETSCA_DINTERP, 123.0);
    CSCALA s;
    MakeCurved(s);
    {
        // An unknown nosing type leaves the field as the settings gave it.
        RbList x = Owned(s.WriteStairXData({0, 0, 0}));
        StairValue(x.get(), 4)->resval.rint = 7;
        CSCALA back;
        ASSERT_TRUE(back.LoadStairFromEntity(x.get(), {0, 0, 0}, 0.0, 0));
        EXPECT_EQ(back.nosingType, 0);
        EXPECT_EQ(back.structureType, 2);
    }
    {
        // A wrong code stops the reader: later values and the groups untouched.
        RbList x = Owned(s.WriteStairXData({0, 0, 0}));
        StairValue(x.get(), 3)->restype = 1071;
        CSCALA back;
        ASSERT_TRUE(back.LoadStairFromEntity(x.get(), {0, 0, 0}, 0.0, 0));
        EXPECT_DOUBLE_EQ(back.floorDistance, 123.0);
        EXPECT_EQ(back.risers, nullptr);
        EXPECT_EQ(back.stepHeight, 0.0);
    }
    {
        // Cut inside the third riser: the whole elements are kept.
        RbList x = Owned(s.WriteStairXData({0, 0, 0}));
        resbuf* rb = StairValue(x.get(), 38 + 1 + 4 * 2 + 2);
        zcutRelRb(rb->rbnext);
        rb->rbnext = nullptr;
        CSCALA back;
        ASSERT_TRUE(back.LoadStairFromEntity(x.get(), {0, 0, 0}, 0.0, 0));
        EXPECT_EQ(CountNodes(back.risers), 2);
        EXPECT_EQ(back.firstSide, nullptr);
    }
    {
        RbList other = Owned(zcutBuildList(1001, "ACAD", 1000, "x", 0));
        ASSERT_NE(other, nullptr);
        CSCALA back;
        EXPECT_FALSE(back.LoadStairFromEntity(other.get(), {0, 0, 0}, 0.0, 0));
    }
}

TEST_F(StairRecord, the_record_reader_gives_the_stored_lists_and_the_loader_the_model) {
    CSCALA s;
    MakeCurved(s);
    RbList x = Owned(s.WriteStairXData({0, 0, 0}));
    CSCALA back;
    ASSERT_TRUE(back.ReadStairXData(x.get(), {0, 0, 0}, 0.0));
    EXPECT_EQ(CountNodes(back.risers), CountNodes(s.risers));
    EXPECT_EQ(CountNodes(back.firstSide), CountNodes(s.firstSide));
    EXPECT_EQ(CountNodes(back.secondSide), CountNodes(s.secondSide));
    int arcs = 0;
    for (const StairElement* group : {back.risers, back.firstSide, back.secondSide})
        for (const StairElement* e = group; e; e = e->next)
            if (e->isArc()) {
                ++arcs;
                EXPECT_EQ(e->arcPoints, nullptr);
            }
    EXPECT_GT(arcs, 0);
    EXPECT_EQ(back.steps, nullptr);
    EXPECT_EQ(back.riserCount, 0);

    ASSERT_TRUE(back.LoadStairFromEntity(x.get(), {0, 0, 0}, 0.0, 0));
    for (const StairElement* group : {back.risers, back.firstSide, back.secondSide})
        for (const StairElement* e = group; e; e = e->next) EXPECT_EQ(e->arcPoints != nullptr, e->isArc());
    EXPECT_EQ(CountNodes(back.steps), 3);

    // A list without a stair record leaves the model as it was.
    RbList other = Owned(zcutBuildList(1001, "ACAD", 1000, "x", 0));
    EXPECT_FALSE(back.ReadStairXData(other.get(), {0, 0, 0}, 0.0));
    EXPECT_FALSE(back.LoadStairFromEntity(other.get(), {0, 0, 0}, 0.0, 0));
    EXPECT_EQ(CountNodes(back.risers), 4);
    EXPECT_EQ(CountNodes(back.steps), 3);
}

TEST_F(StairRecord, rotated_insert_turns_elements_about_the_insertion_point) {
    CSCALA s;
    MakeCurved(s);
    RbList x = Owned(s.WriteStairXData({0, 0, 0}));
    CSCALA back;
    const Point3 at{100, 50, 0};
    ASSERT_TRUE(back.LoadStairFromEntity(x.get(), at, Deg(90), 0));
    // The first riser (50,0)-(160,0) lands at (100,100)-(100,210).
    EXPECT_TRUE(PointsEqual(back.risers->pointA, {100, 100, 0}, true));
    EXPECT_TRUE(PointsEqual(back.risers->pointB, {100, 210, 0}, true));
    EXPECT_TRUE(PointsEqual(back.firstSide->pointA, at, true));
    EXPECT_NEAR(back.firstSide->radius(), 50.0, 1e-9);
    EXPECT_NEAR(back.firstSide->startAngle(), Deg(90), 1e-9);
    EXPECT_NEAR(back.firstSide->endAngle(), Deg(180), 1e-9);
    EXPECT_TRUE(PointsEqual(back.firstSide->endA, back.risers->pointA, true));
}

TEST_F(StairRecord, side_drawn_away_from_the_first_riser_reads_in_walking_order) {
    CSCALA s;
    ASSERT_EQ(BuildStairModel(s, StraightFlight(), 0), "");
    std::swap(s.firstSide->pointA, s.firstSide->pointB);
    RbList x = Owned(s.WriteStairXData({0, 0, 0}));
    CSCALA back;
    ASSERT_TRUE(back.LoadStairFromEntity(x.get(), {0, 0, 0}, 0.0, 0));
    EXPECT_TRUE(PointsEqual(back.firstSide->endA, {0, 0, 0}, true));
    EXPECT_TRUE(PointsEqual(back.firstSide->endB, {0, 450, 0}, true));
    EXPECT_EQ(CountNodes(back.steps), 15);
}

TEST_F(StairRecord, step_height_counts_the_last_step_and_never_divides_by_zero) {
    std::vector<StairModelEntity> model = StraightFlight();
    model.erase(model.begin() + 12, model.begin() + 16);  // 12 risers
    CSCALA s;
    ASSERT_EQ(BuildStairModel(s, model, 0), "");
    s.lastStepAtEnd = true;
    s.floorDistance = 330.0;
    RbList x = Owned(s.WriteStairXData({0, 0, 0}));
    CSCALA back;
    ASSERT_TRUE(back.LoadStairFromEntity(x.get(), {0, 0, 0}, 0.0, 0));
    EXPECT_DOUBLE_EQ(back.stepHeight, 30.0);
    CSCALA edit;
    ASSERT_TRUE(edit.LoadStairFromEntity(x.get(), {0, 0, 0}, 0.0, -100));
    EXPECT_EQ(edit.stepHeight, 0.0);

    model.erase(model.begin() + 2, model.begin() + 12);  // 2 risers
    CSCALA two;
    ASSERT_EQ(BuildStairModel(two, model, 0), "");
    two.lastStepAtEnd = true;
    RbList y = Owned(two.WriteStairXData({0, 0, 0}));
    CSCALA back2;
    ASSERT_TRUE(back2.LoadStairFromEntity(y.get(), {0, 0, 0}, 0.0, 1));
    EXPECT_EQ(back2.stepHeight, 0.0);
}

TEST_F(StairRecord, companion_records_carry_the_offset_in_reverse_order) {
    CSCALA s;
    AppendVertex(&s.hatchIsolationPoints, {1, 2, 3}, 0, 0, 0);
    AppendVertex(&s.hatchIsolationPoints, {4, 5, 6}, 0, 0, 0);
    AppendVertex(&s.openingPolygon, {1, 1, 0}, 1, 0, 0);
    AppendVertex(&s.openingPolygon, {2, 1, 0}, 0, 0, 0);
    VertexNode* ring = nullptr;
    for (int i = 0; i < 4; ++i) AppendVertex(&ring, {double(i), 0, 0}, 0, 0, i == 1 ? 1 : 0);
    AppendOutline(&s.outlines3D, ring);
    RbList x = Owned(s.WriteStairXData({10, 20, 5}));
    EXPECT_EQ(FindXDataApp(x.get(), kStairDetailApp), nullptr);

    resbuf* h = FindXDataApp(x.get(), kStairHatchIsolationApp)->rbnext;
    EXPECT_EQ(h->restype, 1011);
    EXPECT_EQ(h->resval.rpoint[0], 14.0);
    EXPECT_EQ(h->resval.rpoint[1], 25.0);
    EXPECT_EQ(h->resval.rpoint[2], 6.0);
    EXPECT_EQ(h->rbnext->resval.rpoint[0], 11.0);

    resbuf* o = FindXDataApp(x.get(), kStairOpeningApp)->rbnext;
    EXPECT_EQ(o->restype, 1070);
    EXPECT_EQ(o->resval.rint, 0);
    EXPECT_EQ(o->rbnext->resval.rpoint[0], 12.0);
    EXPECT_EQ(o->rbnext->rbnext->resval.rint, 1);

    // Ring 0,1,2,3 split after vertex 1: {1,0} and {1,2,3,0}, each reversed.
    std::vector<std::vector<double>> groups;
    for (resbuf* rb = FindXDataApp(x.get(), kStairOutlines3DApp)->rbnext; rb; rb = rb->rbnext) {
        if (rb->restype == 1002 && std::string(rb->resval.rstring) == "{") groups.emplace_back();
        if (rb->restype == 1011) {
            groups.back().push_back(rb->resval.rpoint[0] - 10.0);
            EXPECT_EQ(rb->resval.rpoint[2], 5.0);
        }
    }
    EXPECT_EQ(groups, (std::vector<std::vector<double>>{{1, 0}, {0, 3, 2, 1}}));
}

TEST_F(StairRecord, defaults_are_written_back_only_when_asked) {
    setReal(SETSCA_DIMFREC, 15.0);
    setReal(SETCOM_ZSCALE, 140.0);
    setReal(CSPESS_SOLAIO, 25.0);
    {
        CSCALA s;
        s.nosingLength = 9.0;
        s.useRisers = true;
    }
    EXPECT_NE(real(SETSCA_SPOGRAD), 9.0);
    EXPECT_EQ(integer(SETSCA_SPECALZA), 0);
    {
        CSCALA s;
        s.saveDefaults = true;
        s.nosingLength = 9.0;
        s.useRisers = true;
        s.cutPlaneAngle = 0.5;
        s.arrowSideLength = 99.0;
        s.deductionHeight = 99.0;
        s.slabThickness = 99.0;
        s.startFloorHeight = 99.0;
        s.layer2DBelow = "CHANGED";
    }
    EXPECT_EQ(real(SETSCA_SPOGRAD), 9.0);
    EXPECT_EQ(integer(SETSCA_SPECALZA), 1);
    EXPECT_EQ(real(SETSCA_AINLSEZ), 0.5);
    EXPECT_EQ(real(SETSCA_DIMFREC), 15.0);
    EXPECT_EQ(real(SETCOM_ZSCALE), 140.0);
    EXPECT_EQ(real(CSPESS_SOLAIO), 25.0);
    EXPECT_EQ(real(SQPAV), 0.0);
    std::string layer;
    int slot = SETSCA_LAYER2DSC;
    GetVarString(&slot, layer);
    EXPECT_EQ(layer, "2DSTAIRS");
}

}  // namespace
