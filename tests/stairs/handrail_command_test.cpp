// "VELMHANDRAIL" through the command processor: the rail over a whole side
// at the stair's level, inside and outside the side line, the settings
// kept or left by the dialog, the dialog's refusals, a pick that is no
// stair, and a stair placed from the object library.
#include <algorithm>
#include <cmath>

#include "core/entity_data.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbsymtb.h"
#include "host/ui/driver.h"
#include "host/util/findfile.h"
#include "stairs/commands/handrail_cmd.h"
#include "stairs/commands/stair_commands.h"
#include "stairs/dialogs/dlg_handrail.h"
#include "stairs/handrail_block.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/stairs/stair_models.h"
#include "tests/support/velm_test.h"

using namespace stairtest;

namespace {

struct Extent {
    double minX = 1e300, maxX = -1e300, minZ = 1e300, maxZ = -1e300;
    int faces = 0;
};

class HandrailCommand : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
    }
    void TearDown() override {
        zcui::RemoveDialogDriver(IDD_HANDRAIL);
        VelmTest::TearDown();
    }
    static void Queue(const std::string& line) {
        std::string error;
        ASSERT_TRUE(zcui::QueueDialogScript(line, &error)) << error;
    }
    // The straight flight (sides x = 0 and x = 110, risers every 30 from
    // y = 0 to 450) on a floor at `floor`.
    static void MakeStair(const std::string& floor = "0") {
        ads_name set, first;
        DrawModel(StraightFlight(), set, first);
        zcedSSFree(set);
        Queue("226 check 1166 0 edit 1179 \"" + floor + "\" edit 1158 \"300\" ok");
        run({"VELMCREATESTAIR", "!pick 50,0", "W", "-20,-20", "200,500", ""});
        ASSERT_EQ(count("0=INSERT 8=STAIRS"), 1);
    }
    // The last entity's data list; the caller frees it.
    static resbuf* Last() {
        ads_name last;
        return zcdbEntLast(last) == RTNORM ? zcdbEntGet(last) : nullptr;
    }
    // Plan X and height range of the faces on `layer` in the last INSERT's
    // block, in the drawing's coordinates.
    static Extent FacesOf(const std::string& layer) {
        Extent e;
        resbuf* insert = Last();
        const resbuf* name = FindRbCode(insert, 2);
        const resbuf* at = FindRbCode(insert, 10);
        const std::string block = name ? name->resval.rstring : "";
        const double dx = at ? at->resval.rpoint[0] : 0.0, dz = at ? at->resval.rpoint[2] : 0.0;
        zcutRelRb(insert);
        ZcDbBlockTable* table = nullptr;
        if (db()->getBlockTable(table, ZcDb::kForRead) != Zcad::eOk) return e;
        ZcDbBlockTableRecord* record = nullptr;
        const bool open = table->getAt(block, record, ZcDb::kForRead) == Zcad::eOk;
        table->close();
        if (!open) return e;
        const std::vector<ZcDbObjectId> ids = record->entityIds();
        record->close();
        for (ZcDbObjectId id : ids) {
            ads_name ename;
            if (zcdbGetAdsName(ename, id) != Zcad::eOk) continue;
            resbuf* list = zcdbEntGet(ename);
            const resbuf* type = FindRbCode(list, 0);
            const resbuf* on = FindRbCode(list, 8);
            if (type && std::string(type->resval.rstring) == "3DFACE" && on && layer == on->resval.rstring) {
                ++e.faces;
                for (const resbuf* rb = list; rb; rb = rb->rbnext)
                    if (rb->restype >= 10 && rb->restype <= 13) {
                        e.minX = std::min(e.minX, rb->resval.rpoint[0] + dx);
                        e.maxX = std::max(e.maxX, rb->resval.rpoint[0] + dx);
                        e.minZ = std::min(e.minZ, rb->resval.rpoint[2] + dz);
                        e.maxZ = std::max(e.maxZ, rb->resval.rpoint[2] + dz);
                    }
            }
            zcutRelRb(list);
        }
        return e;
    }
};

}  // namespace

TEST_F(HandrailCommand, enter_builds_over_the_whole_side_at_the_stairs_level) {
    MakeStair("100");
    Queue("238 radio 1192 ok");
    run({"VELMHANDRAIL", "!pick 110,200", ""});
    EXPECT_EQ(count("0=INSERT 8=VELMSTAIRS$100"), 1);
    resbuf* insert = Last();
    const resbuf* at = FindRbCode(insert, 10);
    ASSERT_NE(at, nullptr);
    EXPECT_NEAR(at->resval.rpoint[2], 100.0, 1e-9);
    EXPECT_EQ(FindXDataApp(insert, kStairApp), nullptr);
    zcutRelRb(insert);
    const Extent rail = FacesOf("3DSTAIRS_HR");
    EXPECT_GT(rail.faces, 0);
    // Outside the stair, touching the side line; from the treads up.
    EXPECT_NEAR(rail.minX, 110.0, 1e-6);
    EXPECT_NEAR(rail.maxX, 116.0, 1e-6);
    EXPECT_GT(rail.minZ, 100.0);
    EXPECT_GT(rail.maxZ, 100.0 + 300.0);
}

TEST_F(HandrailCommand, inside_and_outside_put_the_rail_either_side_of_the_side_line) {
    MakeStair();
    Queue("238 radio 1193 radio 1189 ok");
    run({"VELMHANDRAIL", "!pick 0,200", "0,60", "0,300"});
    const Extent inside = FacesOf("3DSTAIRS_HR");
    ASSERT_GT(inside.faces, 0);
    // Moved in by the shared tolerance times 5000 (5 in centimetres).
    EXPECT_NEAR(inside.minX, 5.0, 1e-6);
    EXPECT_NEAR(inside.maxX, 11.0, 1e-6);
    EXPECT_EQ(SettingInt(SetupVar::SETCOR_POSCOR), 1);
    EXPECT_EQ(SettingInt(SetupVar::SETCOR_TIPOCOR), 1);
    Queue("238 radio 1188 ok");
    run({"VELMHANDRAIL", "!pick 0,200", "0,60", "0,300"});
    const Extent outside = FacesOf("3DSTAIRS_HR");
    EXPECT_NEAR(outside.minX, -6.0, 1e-6);
    EXPECT_NEAR(outside.maxX, 0.0, 1e-6);
    EXPECT_EQ(count("0=INSERT 8=VELMSTAIRS$0"), 2);
}

TEST_F(HandrailCommand, a_balustrade_has_one_element_of_four_faces_per_tread) {
    MakeStair();
    Queue("238 radio 1194 ok");
    // Eight treads, from 30 to 270.
    run({"VELMHANDRAIL", "!pick 110,150", "110,30", "110,270"});
    const Extent posts = FacesOf("3DSTAIRS_RL");
    const Extent rail = FacesOf("3DSTAIRS_HR");
    EXPECT_EQ(posts.faces, 32);
    // Outside: from the inset below the lowest tread up to the rail, whose
    // band starts the rail height less its thickness above that tread.
    const double tread =
        rail.minZ - (SettingReal(SetupVar::SETCOR_ALTE) - SettingReal(SetupVar::SETCOR_SPESS));
    EXPECT_NEAR(posts.minZ, tread - SettingReal(SetupVar::SETCOR_MENOZLAT), 1e-6);
    EXPECT_LE(posts.maxZ, rail.maxZ);
}

TEST_F(HandrailCommand, cancel_keeps_the_settings_and_a_confirmed_dialog_is_remembered) {
    MakeStair();
    Queue("238 edit 1195 \"12\" radio 1194 cancel");
    run({"VELMHANDRAIL"});
    EXPECT_NEAR(SettingReal(SetupVar::SETCOR_LARGH), 6.0, 1e-9);
    EXPECT_EQ(SettingInt(SetupVar::SETCOR_TIPOCOR), 0);
    // Confirmed, then the stair pick cancelled: the values stay.
    Queue("238 edit 1195 \"12\" edit 1031 \"100\" ok");
    run({"VELMHANDRAIL", "!cancel"});
    EXPECT_NEAR(SettingReal(SetupVar::SETCOR_LARGH), 12.0, 1e-9);
    EXPECT_NEAR(SettingReal(SetupVar::SETCOR_ALTE), 100.0, 1e-9);
    EXPECT_EQ(count("0=INSERT 8=VELMSTAIRS$0"), 0);
}

TEST_F(HandrailCommand, the_dialog_refuses_one_side_element_whatever_the_type_and_no_spacing) {
    MakeStair();
    const std::size_t boxes = zcui::MessageBoxes().size();
    Queue(
        "238 radio 1194 edit 1036 \"1\" radio 1192 ok radio 1194 edit 1036 \"4\" edit 1037 \"0\" ok cancel");
    run({"VELMHANDRAIL"});
    ASSERT_EQ(zcui::MessageBoxes().size(), boxes + 2);
    EXPECT_EQ(zcui::MessageBoxes()[boxes].text, kHandrailSideCountMessage);
    EXPECT_EQ(zcui::MessageBoxes()[boxes + 1].text, kHandrailSpacingMessage);
    EXPECT_EQ(SettingInt(SetupVar::SETCOR_NUMLATIR), 4);
}

TEST_F(HandrailCommand, a_pick_that_is_no_stair_asks_again) {
    MakeStair();
    ads_point a{500, 0, 0}, b{600, 0, 0};
    resbuf* line = zcutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, 0);
    zcdbEntMake(line);
    zcutRelRb(line);
    Queue("238 ok");
    run({"VELMHANDRAIL", "!pick 550,0", "!pick 110,200", ""});
    EXPECT_NE(transcript().find(kStairNotAStairMessage), std::string::npos);
    EXPECT_EQ(count("0=INSERT 8=VELMSTAIRS$0"), 1);
}

TEST_F(HandrailCommand, a_library_stair_gets_its_rail_at_its_own_height) {
    const std::string root = VELM_SOURCE_DIR;
    host::setSupportPathProvider([root] {
        return std::vector<std::string>{root + "/support", root + "/support/host"};
    });
    run({"_SETVAR", "ELEVATION", "120", "VELMOBJECT", "SCALA1", "0,0", ""});
    ASSERT_EQ(count("0=INSERT 8=STAIRS"), 1) << transcript();
    Queue("238 radio 1193 ok");
    run({"VELMHANDRAIL", "!pick 100,200", ""});
    resbuf* insert = Last();
    const resbuf* type = FindRbCode(insert, 0);
    const resbuf* at = FindRbCode(insert, 10);
    ASSERT_TRUE(type && at);
    EXPECT_STREQ(type->resval.rstring, "INSERT");
    EXPECT_NEAR(at->resval.rpoint[2], 120.0, 1e-9);
    zcutRelRb(insert);
    EXPECT_EQ(count("0=INSERT 8=VELMSTAIRS$120"), 1);
    // Along the side at x = 100, above its treads.
    const Extent rail = FacesOf("3DSTAIRS_HR");
    EXPECT_NEAR(rail.minX, 100.0, 1e-6);
    EXPECT_GT(rail.minZ, 120.0);
}

TEST_F(HandrailCommand, the_walls_between_edge_polylines_cover_the_band_exactly) {
    // An L in plan, the bottom stepping up at the corner: two vertical
    // patches, 50 long with heights 10..25 and 40 long with 10 throughout.
    const std::vector<Point3> top = {{0, 0, 100}, {50, 0, 120}, {50, 40, 140}};
    const std::vector<Point3> bottom = {{0, 0, 90}, {50, 0, 95}, {50, 0, 110}, {50, 40, 130}};
    bool failed = false;
    const int made = FacesBetweenPolylines(top, bottom, "0", failed);
    EXPECT_FALSE(failed);
    ASSERT_GT(made, 0);
    double area = 0.0;
    double minY = 1e300;
    ads_name e, next;
    for (int ok = zcdbEntNext(nullptr, e); ok == RTNORM; ok = zcdbEntNext(e, next), ads_name_set(next, e)) {
        resbuf* list = zcdbEntGet(e);
        const resbuf* type = FindRbCode(list, 0);
        if (type && std::string(type->resval.rstring) == "3DFACE") {
            Point3 c[4];
            for (int k = 0; k < 4; ++k) {
                const resbuf* rb = FindRbCode(list, 10 + k);
                c[k] = {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]};
                minY = std::min(minY, c[k].y);
            }
            auto half = [](const Point3& o, const Point3& p, const Point3& q) {
                const double ux = p.x - o.x, uy = p.y - o.y, uz = p.z - o.z;
                const double vx = q.x - o.x, vy = q.y - o.y, vz = q.z - o.z;
                return 0.5 * std::sqrt(std::pow(uy * vz - uz * vy, 2) + std::pow(uz * vx - ux * vz, 2) +
                                       std::pow(ux * vy - uy * vx, 2));
            };
            area += half(c[0], c[1], c[2]) + half(c[0], c[2], c[3]);
        }
        zcutRelRb(list);
    }
    EXPECT_NEAR(area, 50.0 * (10.0 + 25.0) / 2.0 + 40.0 * 10.0, 1e-6);
    EXPECT_NEAR(minY, 0.0, 1e-9);
}

// The rail's width and height, and the thickness and radius its type uses,
// are sizes: zero or less is refused with the module's message and the
// dialog stays open; nothing is stored until a sane value is given.
TEST_F(HandrailCommand, the_dialog_refuses_sizes_of_zero_or_less) {
    MakeStair();
    for (const char* answer :
         {"238 edit 1031 \"0\" ok cancel", "238 edit 1195 \"-30\" ok cancel",
          "238 radio 1193 edit 1030 \"0\" ok cancel", "238 radio 1194 edit 1035 \"-30\" ok cancel"}) {
        const std::size_t boxes = zcui::MessageBoxes().size();
        Queue(answer);
        run({"VELMHANDRAIL"});
        ASSERT_EQ(zcui::MessageBoxes().size(), boxes + 1) << answer;
        EXPECT_EQ(zcui::MessageBoxes()[boxes].text, OutOfRangeMessage()) << answer;
    }
    EXPECT_NEAR(SettingReal(SetupVar::SETCOR_ALTE), 90.0, 1e-9);
    EXPECT_NEAR(SettingReal(SetupVar::SETCOR_LARGH), 6.0, 1e-9);
}
