// The gable roof's geometry on plain points, and the hip and gable roof
// commands driven through their dialogs and prompts.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/base/module_state.h"
#include "core/entity_readers.h"
#include "host/ads/ssget.h"
#include "host/harness/harness.h"
#include "host/ui/wnd.h"
#include "roofs/commands/gable_roof_cmd.h"
#include "roofs/commands/hip_roof_cmd.h"
#include "roofs/commands/roof_write.h"
#include "roofs/gable_roof.h"
#include "store/setup_slots.h"
#include "tests/roofs/slab_fixture.h"

namespace {

using Loops = std::vector<std::vector<Point3>>;

double PlanArea(const std::vector<Point3>& pts) {
    double s = 0.0;
    for (std::size_t i = 0; i < pts.size(); ++i)
        s += pts[i].x * pts[(i + 1) % pts.size()].y - pts[(i + 1) % pts.size()].x * pts[i].y;
    return std::fabs(s / 2.0);
}

bool Has(const std::vector<Point3>& loop, const Point3& p) {
    for (const Point3& q : loop)
        if (std::fabs(q.x - p.x) < 1e-9 && std::fabs(q.y - p.y) < 1e-9 && std::fabs(q.z - p.z) < 1e-9)
            return true;
    return false;
}

GableRoofParams Plain() {
    GableRoofParams p;
    p.slope = 100.0;
    return p;
}

TEST(GableRoofGeometry, two_pitches_meet_at_a_ridge_over_half_the_depth) {
    Loops loops;
    EXPECT_EQ(ComputeGableLoops(Plain(), {0, 0, 0}, {1000, 0, 0}, {0, 600, 0}, loops), kGableValid);
    ASSERT_EQ(loops.size(), 2u);
    for (const auto& loop : loops) EXPECT_NEAR(PlanArea(loop), 1000.0 * 300.0, 1e-6);
    for (const auto& loop : loops) {
        EXPECT_TRUE(Has(loop, {0, 300, 300}));
        EXPECT_TRUE(Has(loop, {1000, 300, 300}));
    }
    // The opposite point on the other side: the gutter points are swapped
    // and the roof is built towards negative y.
    EXPECT_EQ(ComputeGableLoops(Plain(), {0, 0, 0}, {1000, 0, 0}, {0, -600, 0}, loops), kGableValid);
    for (const auto& loop : loops) {
        EXPECT_TRUE(Has(loop, {0, -300, 300}));
        for (const Point3& p : loop) EXPECT_LE(p.y, 1e-9);
    }
}

TEST(GableRoofGeometry, height_at_the_top_of_the_wall_lowers_the_eave_by_the_overhang_rise) {
    GableRoofParams p = Plain();
    p.height = 650.0;
    p.slope = 30.0;
    p.overhang = 20.0;
    p.heightAtWall = true;
    EXPECT_DOUBLE_EQ(GableEaveHeight(p), 644.0);
    Loops loops;
    ComputeGableLoops(p, {0, 0, 0}, {1000, 0, 0}, {0, 600, 0}, loops);
    EXPECT_TRUE(Has(loops[0], {0, -20, 644}));
}

TEST(GableRoofGeometry, front_slabs_are_checked_before_they_are_built) {
    GableRoofParams p = Plain();
    p.front = true;
    p.byWidth = true;
    p.frontSlope = 40.0;
    Loops loops;
    p.frontWidth = 700.0;  // wider than the depth
    EXPECT_EQ(ComputeGableLoops(p, {0, 0, 0}, {1000, 0, 0}, {0, 600, 0}, loops), kFrontTooWide);
    p.frontWidth = 300.0;
    EXPECT_EQ(ComputeGableLoops(p, {0, 0, 0}, {500, 0, 0}, {0, 600, 0}, loops), kGutterTooShort);
    p.frontSlope = 0.0;
    EXPECT_EQ(ComputeGableLoops(p, {0, 0, 0}, {1000, 0, 0}, {0, 600, 0}, loops), kGutterTooShort);
    p.frontSlope = 40.0;
    p.slope = 0.0;
    EXPECT_NE(ComputeGableLoops(p, {0, 0, 0}, {1000, 0, 0}, {0, 600, 0}, loops), kGableValid);
    p.slope = 100.0;
    p.byWidth = false;
    p.frontHeight = -10.0;  // below the eave
    EXPECT_EQ(ComputeGableLoops(p, {0, 0, 0}, {1000, 0, 0}, {0, 600, 0}, loops), kFrontTooLow);
}

TEST(GableRoofGeometry, valid_front_slabs_meet_the_ridge_ends) {
    GableRoofParams p = Plain();
    p.front = true;
    p.frontWidth = 300.0;
    p.frontSlope = 40.0;
    Loops loops;
    ASSERT_EQ(ComputeGableLoops(p, {0, 0, 0}, {1000, 0, 0}, {0, 600, 0}, loops), kGableValid);
    ASSERT_EQ(loops.size(), 4u);
    const Point3 K1{375, 300, 300}, K2{625, 300, 300};
    EXPECT_TRUE(Has(loops[0], K1) && Has(loops[1], K1) && Has(loops[3], K1));
    EXPECT_TRUE(Has(loops[2], K2) && Has(loops[1], K2) && Has(loops[3], K2));
    int low = 0;
    for (const auto& front : {loops[0], loops[2]})
        for (const Point3& q : front) low += std::fabs(q.z - 150.0) < 1e-9 ? 1 : 0;
    EXPECT_EQ(low, 4);
    double area = 0.0;
    for (const auto& loop : loops) area += PlanArea(loop);
    EXPECT_NEAR(area, 1000.0 * 600.0, 1e-6);
}

class RoofCommandsTest : public SlabTest {
protected:
    static void Dialog(const std::string& line) {
        std::string error;
        ASSERT_TRUE(zcui::QueueDialogScript(line, &error)) << error;
    }
    static double LowestZ() {
        resbuf* filter = zcutBuildList(-3, 1001, kSlabApp, 0);
        ads_name set;
        double low = 1e300;
        if (zcedSSGet("X", nullptr, nullptr, filter, set) == RTNORM) {
            std::int32_t n = 0;
            zcedSSLength(set, &n);
            for (std::int32_t i = 0; i < n; ++i) {
                ads_name e;
                zcedSSName(set, i, e);
                CFALDA record;
                double E = 0;
                if (!ReadSlabRecord(e, record, E)) continue;
                for (const VertexNode* v = record.loops->vertices; v; v = v->next) low = std::min(low, v->z);
            }
            zcedSSFree(set);
        }
        zcutRelRb(filter);
        return low;
    }
};

TEST_F(RoofCommandsTest, eave_at_the_top_of_the_wall_for_both_roof_commands) {
    Dialog("109 edit 106 \"650\" radio 1027 edit 104 \"30\" edit 105 \"20\" click 4");
    for (const char* p : {"0,0", "1000,0", "1000,600", "0,600", ""}) push(p);
    CmdHipRoof();
    EXPECT_EQ(count("0=INSERT 8=ROOFSLAB"), 4);
    EXPECT_NEAR(LowestZ(), 644.0, 1e-6);

    Dialog("151 ok");
    for (const char* p : {"0,2000", "1000,2000", "0,2600"}) push(p);
    CmdGableRoof();
    EXPECT_EQ(count("0=INSERT 8=ROOFSLAB"), 6);
    EXPECT_NEAR(LowestZ(), 644.0, 1e-6);
}

TEST_F(RoofCommandsTest, a_break_while_a_pitch_is_written_leaves_no_roof) {
    CFALDA record;
    record.name = "ROOFSLAB";
    record.thickness = 30.0;
    MakeSlabLayerName(record);
    RoofHatch hatch;
    hatch.make = true;
    hatch.pattern = "VELTILE";
    const std::vector<std::vector<Point3>> pitches = {
        {{0, 0, 0}, {100, 0, 0}, {100, 50, 50}, {0, 50, 50}},
        {{100, 100, 0}, {0, 100, 0}, {0, 50, 50}, {100, 50, 50}}};
    push("!break");
    EXPECT_FALSE(WriteRoofPitches(record, pitches, hatch));
    EXPECT_NE(transcript().find("\nGenerowanie dachu zostało anulowane!"), std::string::npos);
    EXPECT_EQ(count("0=INSERT"), 0);
    EXPECT_EQ(count("0=HATCH"), 0);
    // Without a break both pitches are written, each hatched.
    EXPECT_TRUE(WriteRoofPitches(record, pitches, hatch));
    EXPECT_EQ(count("0=INSERT 8=ROOFSLAB"), 2);
    EXPECT_EQ(count("0=HATCH 8=3DROOFSLAB_H"), 2);
}

TEST_F(RoofCommandsTest, hip_roof_refuses_too_few_and_too_many_points) {
    Dialog("109 click 4");
    for (const char* p : {"0,0", "1000,0", "0,0", ""}) push(p);
    CmdHipRoof();
    EXPECT_NE(transcript().find("\nNie ma wystarczająco dużo punktów"), std::string::npos);

    Dialog("109 click 4");
    for (int i = 0; i < 24; ++i)
        push(std::to_string(1000.0 * std::cos(i * std::numbers::pi / 12)) + "," +
             std::to_string(1000.0 * std::sin(i * std::numbers::pi / 12)));
    // The 24th point is refused as it is given: no prompt for a 25th.
    CmdHipRoof();
    EXPECT_NE(transcript().find("\n24:Zbyt duża liczba punktów."), std::string::npos);
    EXPECT_EQ(transcript().find("wierzchołków 25"), std::string::npos);
    EXPECT_EQ(count("0=INSERT"), 0);
}

TEST_F(RoofCommandsTest, hip_roof_dialog_closed_without_an_outline_button_stores_nothing) {
    Dialog("109 edit 103 \"77\" ok");
    CmdHipRoof();
    EXPECT_DOUBLE_EQ(SettingReal(SetupVar::CSPESS_TETTI), 30.0);
    EXPECT_EQ(count("0=INSERT"), 0);
}

TEST_F(RoofCommandsTest, gable_roof_refuses_a_third_point_with_invalid_front_slabs) {
    Dialog("151 edit 104 \"100\" edit 1028 \"0\" edit 109 \"0\" edit 106 \"0\" check 1029 ok");
    // 300 wide front slabs at 40 % need a gutter of 750: the first opposite
    // point is refused for a gutter of 500, then a longer roof is asked.
    for (const char* p : {"0,0", "500,0", "0,600", "!cancel"}) push(p);
    CmdGableRoof();
    EXPECT_NE(transcript().find("\nBok rynny jest zbyt krótki dla przednich płyt"), std::string::npos);
    EXPECT_EQ(count("0=INSERT"), 0);

    Dialog("151 ok");
    for (const char* p : {"0,0", "1000,0", "0,600"}) push(p);
    CmdGableRoof();
    EXPECT_EQ(count("0=INSERT 8=ROOFSLAB"), 4);
}

TEST_F(RoofCommandsTest, gable_dialog_enables_front_controls_and_converts_both_slopes) {
    zcui::InstallDialogDriver(151, [](zcui::DialogUser& user) {
        EXPECT_FALSE(user.Control(110)->IsWindowEnabled());
        user.Check(1029);
        EXPECT_TRUE(user.Control(110)->IsWindowEnabled());  // sized by width by default
        EXPECT_FALSE(user.Control(111)->IsWindowEnabled());
        user.Check(1030, 0);
        EXPECT_FALSE(user.Control(110)->IsWindowEnabled());
        EXPECT_TRUE(user.Control(111)->IsWindowEnabled());
        user.Check(1033);
        EXPECT_NEAR(std::stod(user.Text(112)), std::atan(0.4) * 180.0 / std::numbers::pi, 1e-9);
        user.Check(1033, 0);
        EXPECT_NEAR(std::stod(user.Text(104)), 30.0, 1e-8);
        EXPECT_NEAR(std::stod(user.Text(112)), 40.0, 1e-8);
        user.Cancel();
    });
    CmdGableRoof();
    zcui::RemoveDialogDriver(151);
    EXPECT_EQ(SettingInt(SetupVar::CAPANSMUSSO), 0);
}

// Both roof dialogs keep the shared roof settings; the gable one adds its
// front slabs. Every field is given a value of its own and must land in its
// setting, a slope typed in degrees being stored in percent.
TEST_F(RoofCommandsTest, option_dialogs_store_every_field_in_its_own_setting) {
    using namespace SetupVar;
    SetSettingInt(PENDINGRADI, 0);
    SetSettingInt(COSNAP, 0);
    SetSettingInt(CGENERA2D, 0);
    SetSettingInt(CTRATTEGGIO01, 0);
    Dialog(
        "109 check 1023 check 1025 check 1031 radio 1027 check 1033 edit 103 \"11\" edit 104 \"45\""
        " edit 105 \"22\" edit 106 \"33\" edit 101 \"44\" edit 107 \"HIPX\" edit 102 \"VELTILE\" click 4");
    CmdHipRoof();
    EXPECT_DOUBLE_EQ(SettingReal(CSPESS_TETTI), 11.0);
    EXPECT_NEAR(SettingReal(CPENDENZAF), 100.0, 1e-9);
    EXPECT_DOUBLE_EQ(SettingReal(CCORNICIONE), 22.0);
    EXPECT_DOUBLE_EQ(SettingReal(CQGRONDA), 33.0);
    EXPECT_DOUBLE_EQ(SettingReal(CANGCAMPT), 44.0);
    EXPECT_EQ(SettingString(CLAYERTET), "HIPX");
    EXPECT_EQ(SettingString(CSTILETETTI), "VELTILE");
    EXPECT_EQ(SettingInt(CDOVEQGRO), 1);
    for (int slot : {CTRATTEGGIO01, COSNAP, CGENERA2D, PENDINGRADI}) EXPECT_EQ(SettingInt(slot), 1) << slot;

    // The degrees box is on now: the front slope is typed in degrees too.
    Dialog(
        "151 check 1029 check 1030 edit 110 \"66\" uncheck 1030 edit 111 \"77\""
        " edit 109 \"55\" edit 112 \"45\" edit 1028 \"88\" ok");
    CmdGableRoof();
    EXPECT_DOUBLE_EQ(SettingReal(CORNIFRONTALI), 55.0);
    EXPECT_DOUBLE_EQ(SettingReal(LGRONDASMUSSO), 66.0);
    EXPECT_DOUBLE_EQ(SettingReal(QGRONDASMUSSO), 77.0);
    EXPECT_NEAR(SettingReal(PENDFFRONT), 100.0, 1e-9);
    EXPECT_DOUBLE_EQ(SettingReal(CCORNICIONE), 88.0);
    EXPECT_NEAR(SettingReal(CPENDENZAF), 100.0, 1e-9);
    EXPECT_EQ(SettingInt(CAPANSMUSSO), 1);
    EXPECT_EQ(SettingInt(LARGHSMUSSO), 0);
    EXPECT_EQ(count("0=INSERT"), 0);  // no outline was given
}

}  // namespace
