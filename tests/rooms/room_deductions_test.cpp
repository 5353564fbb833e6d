// Deductions, roof windows and roof pitches read from the drawing.
#include "rooms/room_deductions.h"

#include <memory>

#include "host/ads/adsent.h"
#include "roofs/slab_openings.h"
#include "roofs/slab_record.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/rooms/rooms_fixture.h"

namespace {

class RoomDeductionsTest : public RoomsTest {
protected:
    void SetUp() override {
        RoomsTest::SetUp();
        for (const char* app : {kDeductionApp, kStairFootprintApp, kSlabApp, kOpeningApp, kSpecialParamsApp,
                                "VELM5$_$PILASTROSTR-", "VELM5$_$PARAMETRI-"})
            zcdbRegApp(app);
        room.reset(Rect(0, 0, 10, 10));
    }
    void TearDown() override {
        room.reset();
        RoomsTest::TearDown();
    }
    void Deduction(const std::string& layer, std::initializer_list<Point3> points) {
        ads_name e;
        MakePolyline(layer, points, true, zcutBuildList(1001, kDeductionApp, 1070, static_cast<short>(1), 0),
                     e);
    }
    void Pillar(Point3 at, double half) {
        ads_name e;
        MakeInsert("P$0", at,
                   AppendPoints(zcutBuildList(1001, "VELM5$_$PILASTROSTR-", 0), 1011,
                                {P(at.x - half, at.y - half), P(at.x + half, at.y - half),
                                 P(at.x + half, at.y + half), P(at.x - half, at.y + half)}),
                   e);
    }
    // Appends (point, edge flag) or, flagFirst, (edge flag, point) pairs.
    static resbuf* AppendPairs(resbuf* list, std::initializer_list<Point3> points, bool flagFirst) {
        resbuf* tail = list;
        while (tail->rbnext) tail = tail->rbnext;
        for (const Point3& p : points) {
            const ads_point v{p.x, p.y, p.z};
            tail->rbnext = flagFirst ? zcutBuildList(1070, static_cast<short>(1), 1011, v, 0)
                                     : zcutBuildList(1011, v, 1070, static_cast<short>(1), 0);
            while (tail->rbnext) tail = tail->rbnext;
        }
        return list;
    }
    // A slab record as the slab code writes it: its flag word, then its
    // outline loop between braces.
    void Slab(int flag, std::initializer_list<Point3> outline, ads_name made = nullptr) {
        ads_name e;
        resbuf* x = AppendPairs(
            zcutBuildList(1001, kSlabApp, 1070, static_cast<short>(flag), 1040, 20.0, 1002, "{", 0), outline,
            false);
        resbuf* tail = x;
        while (tail->rbnext) tail = tail->rbnext;
        tail->rbnext = zcutBuildList(1002, "}", 0);
        MakeInsert("R$0", P(0, 0), x, e);
        if (made) ads_name_set(e, made);
    }
    OwnedList<VertexNode> room;
};

TEST_F(RoomDeductionsTest, polygons_pillars_and_stairs_are_deducted_once) {
    Deduction("D$0", {P(1, 1), P(3, 1), P(3, 3), P(1, 3)});    // 4
    Deduction("D$0", {P(8, 8), P(12, 8), P(12, 9), P(8, 9)});  // one vertex outside
    Deduction("D$300", {P(4, 4), P(5, 4), P(5, 5), P(4, 5)});  // another floor
    Deduction("D", {P(8, 1), P(9, 1), P(9, 2), P(8, 2)});      // no floor: everywhere, 1
    Pillar(P(2, 2), 0.25);                                     // inside the first polygon
    Pillar(P(6, 6), 0.5);                                      // 1
    ads_name stair;
    MakeInsert(
        "S$0", P(6, 2),
        AppendPoints(zcutBuildList(1001, kStairFootprintApp, 0), 1011, {P(5, 1), P(7, 1), P(7, 3), P(5, 3)}),
        stair);  // 4
    EXPECT_NEAR(ComputeRoomDeductions(room.get(), 0.0), 4 + 1 + 1 + 4, 1e-9);

    SetSettingInt(SetupVar::SETCOM_DETPILINT, 0);
    SetSettingInt(SetupVar::SETCOM_DETSCAINT, 0);
    EXPECT_NEAR(ComputeRoomDeductions(room.get(), 0.0), 4 + 1, 1e-9);
    EXPECT_NEAR(ComputeRoomDeductions(room.get(), 300.0), 1 + 1, 1e-9);
}

TEST_F(RoomDeductionsTest, roof_windows_inside_the_room_add_their_values) {
    auto window = [](Point3 at, short type, double half = 1.0) {
        resbuf* x = zcutBuildList(1001, "VELM5$_$PARAMETRI-", 1000, "OKNO", 1070, type, 1001, kOpeningApp,
                                  1070, static_cast<short>(1), 0);
        AppendPairs(
            x, {P(at.x - half, at.y - half), P(at.x + half, at.y - half), P(at.x + half, at.y + half)}, true);
        resbuf* tail = x;
        while (tail->rbnext) tail = tail->rbnext;
        tail->rbnext = zcutBuildList(1001, kSpecialParamsApp, 1070, static_cast<short>(11015), 1040, 1.5,
                                     1070, static_cast<short>(11016), 1040, 0.5, 0);
        ads_name e;
        MakeInsert("W$0", at, x, e);
    };
    window(P(3, 3), 48);
    window(P(6, 6), 48);
    window(P(9, 5), 48, 3.0);  // reaches outside
    window(P(5, 2), 11);       // not set into a roof
    double windows = -1, ventilation = -1;
    SumRoofWindowValues(room.get(), 0.0, windows, ventilation);
    EXPECT_NEAR(windows, 3.0, 1e-9);
    EXPECT_NEAR(ventilation, 1.0, 1e-9);
    SumRoofWindowValues(room.get(), 300.0, windows, ventilation);
    EXPECT_EQ(windows, 0.0);
}

TEST_F(RoomDeductionsTest, slab_flag_word_decides_which_slabs_are_pitches) {
    for (int f : {0, 1, 2, 3, 8, 9, 10, 11}) EXPECT_TRUE(IsRoofPitchFlag(f)) << f;
    for (int f : {4, 5, 6, 7, 12, 13, 14, 15, 16, 17, 24}) EXPECT_FALSE(IsRoofPitchFlag(f)) << f;
}

TEST_F(RoomDeductionsTest, the_room_under_a_pitch_of_the_drawing) {
    // z = 2 + 0.2 y over the 4 x 5 room: 2 to 3 along its 5-unit sides.
    ads_name pitch;
    Slab(9, {P(-1, -1, 1.8), P(5, -1, 1.8), P(5, 6, 3.2), P(-1, 6, 3.2)}, pitch);
    Slab(5, {P(-1, -1, 5), P(5, -1, 5), P(5, 6, 6), P(-1, 6, 6)});    // refused by its flag
    Slab(16, {P(-1, -1, 5), P(5, -1, 5), P(5, 6, 6), P(-1, 6, 6)});   // refused by its flag
    Slab(1, {P(0, 0, 0), P(4, 0, 0), P(4, 0, 3), P(0, 0, 3)});        // vertical
    Slab(1, {P(-1, -1, 0), P(5, -1, 0), P(5, 6, -1), P(-1, 6, -1)});  // not above the floor
    std::unique_ptr<RoofPitch> pitches(CollectRoofPitches(0.0));
    ASSERT_NE(pitches, nullptr);
    EXPECT_EQ(pitches->next, nullptr);
    for (const VertexNode* v = pitches->outline; v; v = v->next) EXPECT_EQ(v->z, 0.0);

    UnderRoofJob job;
    job.pitches = pitches.get();
    VertexNode* r = Rect(0, 0, 4, 5);
    const UnderRoofResult result = ComputeUnderRoof(job, r);
    FreeList(r);
    EXPECT_NEAR(result.height, 2.5, 1e-9);
    EXPECT_NEAR(result.wallSurface, 45.0, 1e-9);

    zcdbEntDel(pitch);  // the others are no pitches of this floor
    EXPECT_EQ(CollectRoofPitches(0.0), nullptr);
}

}  // namespace
