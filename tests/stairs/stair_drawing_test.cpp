// End to end on a drawing: model lines drawn and read into stair records,
// the plan symbol of every representation computed, the stair xdata written
// onto an INSERT of the symbol's block, the drawing saved as DXF and opened
// again, and the records read back from the reopened drawing. The saved
// file is left in the build folder for the independent reader
// (check_stair_dxf.py).
#include <filesystem>

#include "core/entity_data.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "stairs/stair_plan.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/stairs/stair_models.h"
#include "tests/support/velm_test.h"

using namespace stairtest;

namespace {

class StairDrawing : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }
};

const std::string& LayerOf(const CSCALA& s, int kind) {
    switch (std::abs(kind) % 10) {
        case 1:
            return s.layer2DBelow;
        case 2:
            return s.layer2DCut;
        case 3:
            return s.layer2DPlan;
        default:
            return s.layer2DAbove;
    }
}

// The plan lists as a named block of LINE, ARC and CIRCLE entities.
bool MakeSymbolBlock(const CSCALA& s, const char* name) {
    ads_point base = {0, 0, 0};
    resbuf* head = zcutBuildList(RTDXF0, "BLOCK", 2, name, 70, 0, 10, base, 0);
    bool ok = zcdbEntMake(head) == RTNORM;
    zcutRelRb(head);
    for (const SegmentRec* list : {s.planBelow, s.planAbove})
        for (const SegmentRec* g = list; g && ok; g = g->next) {
            const char* layer = LayerOf(s, g->kind).c_str();
            ads_point p = {g->geom[0], g->geom[1], 0}, q = {g->geom[3], g->geom[4], 0};
            resbuf* e = nullptr;
            if (g->kind >= 1 && g->kind <= 10)
                e = zcutBuildList(RTDXF0, "LINE", 8, layer, 10, p, 11, q, 0);
            else if (g->kind <= 0)
                e = zcutBuildList(RTDXF0, "ARC", 8, layer, 10, p, 40, g->geom[3], 50, g->geom[4], 51,
                                  g->geom[5], 0);
            else
                e = zcutBuildList(RTDXF0, "CIRCLE", 8, layer, 10, p, 40, g->geom[3], 0);
            ok = zcdbEntMake(e) == RTNORM;
            zcutRelRb(e);
        }
    resbuf* end = zcutBuildList(RTDXF0, "ENDBLK", 0);
    ok = ok && zcdbEntMake(end) == RTNORM;
    zcutRelRb(end);
    return ok;
}

bool InsertWithXData(const CSCALA& s, const char* block) {
    ads_point at = {0, 0, 0};
    resbuf* list = zcutBuildList(RTDXF0, "INSERT", 2, block, 8, "STAIRS", 10, at, 50, 0.0, 0);
    resbuf* tail = list;
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = s.WriteStairXData({0, 0, 0});
    const bool ok = zcdbEntMake(list) == RTNORM;
    zcutRelRb(list);
    return ok;
}

void ExpectSame(const StairElement* a, const StairElement* b) {
    int n = 0;
    for (; a && b; a = a->next, b = b->next, ++n) {
        EXPECT_EQ(a->kind, b->kind) << n;
        EXPECT_EQ(a->landing, b->landing) << n;
        EXPECT_TRUE(PointsEqual(a->pointA, b->pointA, true)) << n;
        EXPECT_TRUE(PointsEqual(a->pointB, b->pointB, true)) << n;
        EXPECT_TRUE(PointsEqual(a->endA, b->endA, true)) << n;
        EXPECT_TRUE(PointsEqual(a->endB, b->endB, true)) << n;
    }
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, nullptr);
}

TEST_F(StairDrawing, model_lines_to_plan_and_xdata_survive_a_saved_drawing) {
    using namespace SetupVar;
    for (auto [slot, value] : {std::pair{int(SETSCA_DINTERP), 300.0}, std::pair{int(SETSCA_QUOSEZ), 140.0}})
        SetVarReal(&slot, &value);

    CSCALA straight, turn;
    CSCALA* records[2] = {&straight, &turn};
    const std::vector<StairModelEntity> models[2] = {StraightFlight(), QuarterTurn()};
    const char* blocks[2] = {"STAIR_STRAIGHT", "STAIR_TURN"};
    for (int i = 0; i < 2; ++i) {
        CSCALA& s = *records[i];
        ads_name set, first;
        DrawModel(models[i], set, first);
        ASSERT_TRUE(ReadStairModelFromLines(s, set, first)) << i;
        zcedSSFree(set);
        s.riserCount = CountNodes(s.risers);
        s.endFloorHeight = s.startFloorHeight + 300.0;
        s.stepHeight = s.floorDistance / s.riserCount;
        s.steps = BuildStairSteps(s, s.risers, 0, 0.0);
        CollectStepOutlines(&s.outlines3D, s.steps, false);
        for (const Point3& p : {Point3{0, 0, 0}, Point3{110, 0, 0}, Point3{110, 200, 0}, Point3{0, 200, 0}}) {
            AppendVertex(&s.hatchIsolationPoints, p, 0, 0, 0);
            AppendVertex(&s.openingPolygon, p, 1, 0, 0);
        }
        s.risers->next->landing = i == 1;

        // Below 0, 1, 2 with above 0 (drawn as 3), 1, 2.
        for (int type = 0; type < 3; ++type) {
            s.belowRepresentation = type;
            s.aboveRepresentation = type;
            s.DrawStairPlanAtCut();
            EXPECT_NE(s.planBelow, nullptr) << i << type;
            EXPECT_NE(s.planAbove, nullptr) << i << type;
            EXPECT_EQ(s.aboveRepresentation, type);
        }
        EXPECT_EQ(StairCutStep(s.riserCount, s.cutHeight, s.floorDistance), i == 0 ? 7 : 5);
        ASSERT_TRUE(MakeSymbolBlock(s, blocks[i])) << i;
        ASSERT_TRUE(InsertWithXData(s, blocks[i])) << i;
    }
    EXPECT_EQ(CountNodes(straight.risers), 16);
    EXPECT_EQ(CountNodes(turn.risers), 11);
    EXPECT_EQ(count("0=INSERT"), 2);

    const std::filesystem::path dir = std::filesystem::path(VELM_BINARY_DIR) / "stairs";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "stairs_e2e.dxf").string();
    std::string error;
    ASSERT_TRUE(host::saveDrawing(curDoc(), path, &error)) << error;
    ASSERT_NE(host::openDrawing(path, &error), nullptr) << error;

    int found = 0;
    resbuf* apps = zcutBuildList(RTSTR, "*", 0);
    ads_name ent, next;
    for (bool more = zcdbEntNext(nullptr, ent) == RTNORM; more;
         more = zcdbEntNext(ent, next) == RTNORM && (ads_name_set(next, ent), true)) {
        resbuf* list = zcdbEntGetX(ent, apps);
        if (list && FindXDataApp(list, kStairApp)) {
            ASSERT_LT(found, 2);
            const CSCALA& original = *records[found];
            const resbuf* at = FindRbCode(list, 10);
            const resbuf* rotation = FindRbCode(list, 50);
            CSCALA back;
            ASSERT_TRUE(back.LoadStairFromEntity(
                list, {at->resval.rpoint[0], at->resval.rpoint[1], at->resval.rpoint[2]},
                rotation ? rotation->resval.rreal : 0.0, 0));
            EXPECT_DOUBLE_EQ(back.floorDistance, 300.0);
            EXPECT_DOUBLE_EQ(back.endFloorHeight, original.endFloorHeight);
            EXPECT_DOUBLE_EQ(back.cutHeight, 140.0);
            EXPECT_EQ(back.belowRepresentation, 2);
            EXPECT_EQ(back.layer2DAbove, original.layer2DAbove);
            EXPECT_EQ(back.riserCount, original.riserCount);
            EXPECT_DOUBLE_EQ(back.stepHeight, original.stepHeight);
            ExpectSame(back.risers, original.risers);
            ExpectSame(back.firstSide, original.firstSide);
            ExpectSame(back.secondSide, original.secondSide);
            EXPECT_EQ(CountNodes(back.steps), CountNodes(original.steps));
            EXPECT_NE(FindXDataApp(list, kStairOutlines3DApp), nullptr);
            ++found;
        }
        zcutRelRb(list);
    }
    zcutRelRb(apps);
    EXPECT_EQ(found, 2);
}

}  // namespace
