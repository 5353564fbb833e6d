// The room calculation on floors drawn with the wall command: areas with
// openings, deductions and fixed values, polyline rooms, the outline
// polyline and the label variables.
#include "rooms/room_calc.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/level_layers.h"
#include "core/levels.h"
#include "host/ads/adsent.h"
#include "host/ads/ssget.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbpoly.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "rooms/opening_marks.h"
#include "rooms/room_deductions.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/rooms/rooms_fixture.h"
#include "walls/graph/outline_record.h"

namespace {

class RoomCalcTest : public RoomsTest {
protected:
    void SetUp() override {
        RoomsTest::SetUp();
        std::filesystem::copy_file(std::string(VELM_SOURCE_DIR) + "/support/VELMDCONFIG.CFG",
                                   data.path("VELMDCONFIG.CFG"));
        std::filesystem::copy_file(std::string(VELM_SOURCE_DIR) + "/support/LAYERC.DEF",
                                   data.path("LAYERC.DEF"));
        SetSettingReal(SetupVar::CINTOMIN, 1.5);
        SetSettingReal(SetupVar::CNONDETRAI, 0.5);
    }
    // A room 400 x 300 on its wall axes, walls 30 thick: 370 x 270 inside.
    static void Room() { run({"VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij"}); }
    // An opening from the face at y = a (where its jambs start) to y = b,
    // x from x1 to x2: n openings of area `area`, window and ventilation
    // areas, with a mark record on the same entity.
    static void Opening(double x1, double x2, double a, double b, int n, double area, double window,
                        double ventilation) {
        zcdbRegApp(kTag3DiStrApp);
        zcdbRegApp(kAbInfissiObjApp);
        ads_point mid{(x1 + x2) / 2, (a + b) / 2, 0};
        resbuf* list = zcutBuildList(RTDXF0, "POINT", 8, "VELM2DOBJ$0", 10, mid, -3, 0);
        resbuf* tail = list;
        auto add = [&tail](resbuf* rb) {
            while (tail->rbnext) tail = tail->rbnext;
            tail->rbnext = rb;
        };
        auto pt = [&add](double x, double y) {
            ads_point q{x, y, 0};
            add(zcutBuildList(1011, q, 0));
        };
        add(zcutBuildList(1001, kTag3DiStrApp, 1070, 11, 1070, n, 1040, area, 1040, window, 1040, 0.0, 1070,
                          0, 1040, std::fabs(b - a), 1040, ventilation, 0));
        pt(x1, a);
        pt(x1, a);
        for (double x : {x1, x2}) {
            add(zcutBuildList(1002, "{", 0));
            pt(x, a);
            pt(x, b);
            add(zcutBuildList(1002, "}", 0));
        }
        for (int i = 0; i < 4; ++i) add(zcutBuildList(1002, "{", 1002, "}", 0));
        add(zcutBuildList(1001, kAbInfissiObjApp, 1000, "P1", 1000, "PORTE", 1000, "S", 1000, "", 1000, "",
                          1040, 0.0, 1000, "", 1070, 1, 1040, 90.0, 1040, 0.0, 1040, 0.0, 1070, 0, 1040, 0.0,
                          1040, 0.0, 1040, 0.0, 1070, 0, 1000, "", 1070, 0, 1000, "", 1000, "", 1040, 0.0,
                          1070, 1, 1040, 0.0, 0));
        ASSERT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    }
    static void Field(CCALCVANI& c, const char* name, const char* value) {
        CDefEti f;
        f.SetName(name);
        f.value = value;
        c.labelFields.push_back(f);
    }
    static std::string MarkItem(int item) {
        resbuf* filter = zcutBuildList(RTDXF0, "POINT", 0);
        ads_name ss, e;
        std::string out;
        if (zcedSSGet("X", nullptr, nullptr, filter, ss) == RTNORM && zcedSSName(ss, 0, e) == RTNORM) {
            resbuf* app = nullptr;
            resbuf* list = ReadMarkRecord(e, app);
            const resbuf* rb = MarkRecordItem(app, item);
            if (rb && rb->restype == 1000) out = rb->resval.rstring;
            if (rb && rb->restype == 1070) out = std::to_string(rb->resval.rint);
            zcutRelRb(list);
            zcedSSFree(ss);
        }
        zcutRelRb(filter);
        return out;
    }
};

TEST_F(RoomCalcTest, rectangular_room_with_a_door_and_a_window) {
    Room();
    Opening(150, 240, 15, -15, 1, 1.89, 0.0, 0.0);   // door: deducted
    Opening(100, 220, 285, 315, 1, 1.44, 1.2, 0.6);  // window: below the minimum
    CFACCIATE g;
    PrepareRoomGraph(g, 0.0);
    CCALCVANI c;
    Field(c, "$70", "280");
    c.rowNumber = 4;
    c.roomNameForOpenings = "Kuchnia";
    ASSERT_EQ(c.FindRoomOutline(P(200, 150), g), 1) << transcript();
    EXPECT_NEAR(c.livingArea, 370.0 * 270.0, 1e-6);
    EXPECT_EQ(c.nonUsableArea, 0.0);
    EXPECT_NEAR(c.perimeter, 2 * (370.0 + 270.0), 1e-6);
    EXPECT_NEAR(c.wallPerimeter, c.perimeter, 1e-9);
    EXPECT_NEAR(c.openingArea, 1.89 + 1.44, 1e-9);
    EXPECT_NEAR(c.windowArea, 1.2, 1e-9);
    EXPECT_NEAR(c.ventilationArea, 0.6, 1e-9);
    EXPECT_NEAR(c.deductibleOpeningArea, 1.89 - 0.5, 1e-9);
    EXPECT_EQ(c.height, 280.0);
    EXPECT_NEAR(c.surface, c.livingArea + 280.0 * c.perimeter - c.deductibleOpeningArea, 1e-6);
    EXPECT_EQ(MarkItem(16), "4");
    EXPECT_EQ(MarkItem(17), "Kuchnia");
    g.Clear();

    // Both below the minimum now; fixed values win.
    SetSettingReal(SetupVar::CINTOMIN, 2.0);
    CFACCIATE g2;
    PrepareRoomGraph(g2, 0.0);
    CCALCVANI fixed;
    fixed.fixedLivingFlag = fixed.fixedWindowFlag = true;
    fixed.fixedLivingArea = 20.0;
    fixed.fixedWindowArea = 3.0;
    ASSERT_EQ(fixed.FindRoomOutline(P(200, 150), g2), 1);
    EXPECT_EQ(fixed.livingArea, 20.0);
    EXPECT_EQ(fixed.windowArea, 3.0);
    EXPECT_NEAR(fixed.openingArea, 1.89 + 1.44, 1e-9);
    EXPECT_EQ(fixed.deductibleOpeningArea, 0.0);
    // No field 70: the floor's height.
    EXPECT_GT(fixed.height, 0.0);
}

TEST_F(RoomCalcTest, separation_line_bounds_a_room_without_wall) {
    Room();
    std::string layer = "2DFUNL";
    MakeLevelLayerName(layer, 0.0);
    ads_point a{200, 15, 0}, b{200, 285, 0};
    ads_name line;
    MakeEntity(zcutBuildList(RTDXF0, "LINE", 8, layer.c_str(), 10, a, 11, b, 0), nullptr, line);
    // The door lies in the left part's bottom wall only partly: 150 to 240.
    Opening(150, 240, 15, -15, 1, 1.8, 0.0, 0.0);
    CFACCIATE g;
    PrepareRoomGraph(g, 0.0);
    CCALCVANI left, right;
    Field(left, "$70", "250");
    Field(right, "$70", "250");
    ASSERT_EQ(left.FindRoomOutline(P(100, 150), g), 1) << transcript();
    ASSERT_EQ(right.FindRoomOutline(P(300, 150), g), 1);
    EXPECT_NEAR(left.livingArea, 185.0 * 270.0, 1e-6);
    EXPECT_NEAR(left.perimeter, 2 * (185.0 + 270.0), 1e-6);
    EXPECT_NEAR(left.wallPerimeter, left.perimeter - 270.0, 1e-6);
    EXPECT_NEAR(right.wallPerimeter, right.perimeter - 270.0, 1e-6);
    // Each side adds the share of the door it holds.
    EXPECT_NEAR(left.openingArea, 1.8 * 50.0 / 90.0, 1e-9);
    EXPECT_NEAR(right.openingArea, 1.8 * 40.0 / 90.0, 1e-9);
    // Oracle: the two parts make the room.
    EXPECT_NEAR(left.livingArea + right.livingArea, 370.0 * 270.0, 1e-6);
}

TEST_F(RoomCalcTest, deductions_read_once_per_scope_give_the_same_areas) {
    Room();
    zcdbRegApp(kDeductionApp);
    ads_name made;
    MakePolyline("0", {P(50, 50), P(150, 50), P(150, 100), P(50, 100)}, true,
                 zcutBuildList(1001, kDeductionApp, 1070, static_cast<short>(1), 0), made);
    CFACCIATE g;
    PrepareRoomGraph(g, 0.0);
    CCALCVANI plain;
    ASSERT_EQ(plain.FindRoomOutline(P(200, 150), g), 1);
    EXPECT_NEAR(plain.livingArea, 99900.0 - 5000.0, 1e-6);
    RoomRecordScope scope;
    for (int i = 0; i < 2; ++i) {
        CCALCVANI again;
        ASSERT_EQ(again.FindRoomOutline(P(200, 150), g), 1);
        EXPECT_NEAR(again.livingArea, plain.livingArea, 1e-9);
    }
}

// Two rooms of a floor measured with their outline polylines and saved;
// CTest hands the path and has the saved file audited by ezdxf.
TEST_F(RoomCalcTest, floor_saved_with_its_outline_polylines) {
    Room();
    std::string layer = "2DFUNL";
    MakeLevelLayerName(layer, 0.0);
    ads_point a{200, 15, 0}, b{200, 285, 0};
    ads_name line;
    MakeEntity(zcutBuildList(RTDXF0, "LINE", 8, layer.c_str(), 10, a, 11, b, 0), nullptr, line);
    SetSettingInt(SetupVar::GENPOLICONT, 1);
    CFACCIATE g;
    PrepareRoomGraph(g, 0.0);
    double total = 0.0;
    for (Point3 p : {P(100, 150), P(300, 150)}) {
        CCALCVANI room;
        ASSERT_EQ(room.FindRoomOutline(p, g), 1);
        room.WriteRoomOutline(g.contour);
        total += room.livingArea;
    }
    EXPECT_NEAR(total, 99900.0, 1e-6);
    EXPECT_EQ(count("0=LWPOLYLINE"), 2);
    const char* path = std::getenv("VELM_ROOM_OUTLINES_DXF");
    if (path && *path) {
        std::string error;
        ASSERT_TRUE(host::saveDrawing(curDoc(), path, &error)) << error;
    }
}

TEST_F(RoomCalcTest, non_usable_room_and_label_variables) {
    Room();
    CFACCIATE g;
    PrepareRoomGraph(g, 0.0);
    CCALCVANI c;
    c.livingAreaFlag = false;
    Field(c, "$71", "1");
    Field(c, "$70", "250");
    Field(c, "$75", "Garaż");
    Field(c, "$78", "x");
    c.cardName = "KARTA";
    ASSERT_EQ(c.FindRoomOutline(P(200, 150), g), 1);
    EXPECT_EQ(c.livingArea, 0.0);
    EXPECT_NEAR(c.nonUsableArea, 99900.0, 1e-6);
    c.context = NewObjContext("ETI1");
    c.FillLabelParameters();
    const ObjVarList& v = c.context->vars;
    EXPECT_NEAR(FindObjVar(64, v)->value, 99900.0, 1e-6);
    EXPECT_NEAR(FindObjVar(68, v)->value, 99900.0 * 250.0, 1e-3);
    EXPECT_EQ(FindObjVar(75, v)->text, "Garaż");
    EXPECT_EQ(FindObjVar(78, v)->value, 0.0);  // does not read as a number
    EXPECT_EQ(FindObjVar(79, v)->text, "KARTA");
    EXPECT_EQ(FindObjVar(82, v)->text, "");
    // The order of definition.
    std::vector<int> order;
    for (const auto& var : v) order.push_back(var->number);
    const std::vector<int> expected = {55, 56, 40, 19, 45, 46, 47, 48, 49, 50, 70, 71, 72, 73, 74, 75, 76, 77,
                                       78, 79, 80, 81, 82, 83, 84, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69};
    EXPECT_EQ(order, expected);
}

TEST_F(RoomCalcTest, messages_of_missed_rooms_and_polylines) {
    Room();
    CFACCIATE g;
    PrepareRoomGraph(g, 0.0);
    CCALCVANI c;
    EXPECT_EQ(c.FindRoomOutline(P(2000, 2000), g), 0);
    EXPECT_NE(transcript().find("Wybrany punkt nie jest wewnątrz zamkniętego pomieszczenia"),
              std::string::npos);

    run({"_LINE", "1000,0", "1100,0", ""});
    push({"!pick 1050,0"});
    EXPECT_EQ(c.MeasurePolylineRoom(), 0);
    EXPECT_NE(transcript().find("Wybrany obiekt nie jest prawidłową polilinią"), std::string::npos);
    c.outlineHandle = "FFFFF";
    EXPECT_EQ(c.MeasurePolylineRoom(), 0);
    EXPECT_NE(transcript().find("Nie można znaleźć polilinii powiązanej z etykietą pokoju!"),
              std::string::npos);
}

TEST_F(RoomCalcTest, polyline_room_with_a_negative_bulge) {
    // A 100 x 100 square whose top edge bulges inwards by a half circle.
    ads_name made;
    resbuf* list = zcutBuildList(RTDXF0, "LWPOLYLINE", 8, "0", 90, 4, 70, 1, 0);
    resbuf* tail = list;
    const double pts[4][3] = {{0, 0, 0}, {100, 0, 0}, {100, 100, -1.0}, {0, 100, 0}};
    for (const auto& p : pts) {
        while (tail->rbnext) tail = tail->rbnext;
        ads_point v{p[0], p[1], 0};
        tail->rbnext = zcutBuildList(10, v, 42, p[2], 0);
    }
    MakeEntity(list, nullptr, made);
    CCALCVANI c;
    push({"!pick 50,0"});
    ASSERT_EQ(c.MeasurePolylineRoom(), 1);
    EXPECT_NEAR(c.polylinePerimeter, 300.0 + std::acos(-1.0) * 50.0, 1e-6);
    EXPECT_NEAR(c.polylineArea, 10000.0 - std::acos(-1.0) * 2500.0 / 2.0, 1e-6);
    EXPECT_FALSE(c.outlineHandle.empty());
    c.SetPolylineRoomValues();
    EXPECT_EQ(c.livingArea, c.polylineArea);
    EXPECT_EQ(c.openingArea + c.windowArea + c.deductibleOpeningArea + c.wallPerimeter + c.surface, 0.0);
}

TEST_F(RoomCalcTest, outline_polyline_made_rewritten_and_replaced) {
    Room();
    CFACCIATE g;
    PrepareRoomGraph(g, 0.0);
    CCALCVANI c;
    ASSERT_EQ(c.FindRoomOutline(P(200, 150), g), 1);
    c.WriteRoomOutline(g.contour);
    EXPECT_EQ(count("0=LWPOLYLINE"), 1);
    const std::string first = c.outlineHandle;
    c.WriteRoomOutline(g.contour);  // the same polyline rewritten
    EXPECT_EQ(count("0=LWPOLYLINE"), 1);
    EXPECT_EQ(c.outlineHandle, first);
    ads_name e;
    zcdbHandEnt(first.c_str(), e);
    CCALCVANI again;
    again.outlineHandle = first;
    ASSERT_EQ(again.MeasurePolylineRoom(), 1);
    EXPECT_NEAR(again.polylineArea, 99900.0, 1e-6);
    EXPECT_NEAR(again.polylinePerimeter, 1280.0, 1e-6);

    // A handle naming a line: the line goes, a polyline comes.
    run({"_LINE", "1000,0", "1100,0", ""});
    ads_name line;
    zcdbEntLast(line);
    resbuf* l = zcdbEntGet(line);
    for (const resbuf* rb = l; rb; rb = rb->rbnext)
        if (rb->restype == 5) c.outlineHandle = rb->resval.rstring;
    zcutRelRb(l);
    c.WriteRoomOutline(g.contour);
    EXPECT_EQ(count("0=LINE 8=0"), 0);
    EXPECT_EQ(count("0=LWPOLYLINE"), 2);
}

}  // namespace
