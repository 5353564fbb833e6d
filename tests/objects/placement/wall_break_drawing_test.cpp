// A drawing of wall faces with a door, a corner window and a pilaster made
// by the object records writer, saved for the host program's wall-break
// script; and that script's result joined back to the drawing before it.
//
// The CTest run chains them: WallBreakInput.writes_* saves the drawing,
// the script objects_wall_break cuts it and saves it again, and
// WallBreakResult.rejoins_* (with VELM_WALL_BREAK_DXF naming the result)
// joins every cut again; without that variable the rejoin test is skipped.
#include <cstdlib>
#include <filesystem>

#include "host/db/dxffile.h"
#include "host/ed/hostinit.h"
#include "tests/objects/language/obj_records_fixture.h"
#include "tests/objects/placement/wall_cut_fixture.h"
#include "walls/graph/outline_record.h"

namespace {

const std::string kInput = std::string(VELM_BINARY_DIR) + "/objects/wall_break_input.dxf";

Point3 Along(const Point3& from, const Point3& to, double beyond) {
    const double a = AngleTo(from, to);
    return PolarPoint(to, a, beyond);
}

class WallBreakInput : public ObjRecords {
protected:
    void SetUp() override {
        ObjRecords::SetUp();
        for (const auto& e : std::filesystem::directory_iterator(std::string(VELM_SOURCE_DIR) + "/support"))
            if (e.is_regular_file()) std::filesystem::copy_file(e.path(), dir / e.path().filename());
        catalogue.ParseLayerDefLines({"**Wszystkie,"});
        zcdbRegApp("VELM5$_$DATITIPOMURO-");
    }
    static void Wall(Point3 a, Point3 b) {
        const ads_point pa = {a.x, a.y, 0.0}, pb = {b.x, b.y, 0.0};
        resbuf* list = zcutBuildList(RTDXF0, "LINE", 8, "VELM2DWALLS$0", 10, pa, 11, pb, -3, 1001,
                                     "VELM5$_$DATITIPOMURO-", 1000, "Cegła", 0);
        ASSERT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    }
    // A cut polyline written from face A (a) to face B (b): the writer
    // writes the list backwards.
    static OwnedList<VertexNode> Jamb(Point3 a, Point3 b) {
        VertexNode* head = NewVertex(b.x, b.y, b.z, 0, 0, 0, 0);
        head->next = NewVertex(a.x, a.y, a.z, 0, 0, 0, 0);
        return OwnedList<VertexNode>(head);
    }
    // The object's jambs (local points) replace the cut outlines its
    // definition gives, which run along the wall faces instead of across
    // the wall; corners are world points.
    void Place(const char* name, double x, ads_name e, const Point3 jambs[4] = nullptr,
               const Point3* corners = nullptr) {
        ObjContext& c = prepared(name);
        placeAt(c, x, 0.0, 0.0);
        c.insertLayer = "VELM2DOBJ$0";
        if (jambs) {
            c.cut2d[0] = Jamb(jambs[0], jambs[1]);
            c.cut2d[1] = Jamb(jambs[2], jambs[3]);
        }
        for (int i = 0; corners && i < 2; ++i) {
            c.cutPoints[i][0] = corners[i].x;
            c.cutPoints[i][1] = corners[i].y;
            c.cutPoints[i][2] = corners[i].z;
        }
        ASSERT_EQ(AttachParamXdata(c, e), 1) << name;
    }
};

}  // namespace

TEST_F(WallBreakInput, writes_walls_with_a_door_a_corner_window_and_a_pilaster) {
    setUnit(1.0);
    ads_name door, corner, pilaster;
    // A door 90 wide in a wall 30 thick; a corner window of two arms of 90.
    const Point3 doorJambs[4] = {{0, 0, 0}, {0, 30, 0}, {90, 0, 0}, {90, 30, 0}};
    Place("P1", 200.0, door, doorJambs);
    const Point3 cornerJambs[4] = {{90, 0, 0}, {90, 30, 0}, {0, 90, 0}, {30, 90, 0}};
    const Point3 corners[2] = {{1030, 30, 0}, {1000, 0, 0}};
    Place("FANG1", 1000.0, corner, cornerJambs, corners);
    Place("PIL1", 2000.0, pilaster);

    // Each face runs 100 past the door's jambs.
    OutlineNode* o = ReadTag3DiStr(door);
    ASSERT_TRUE(o);
    Wall(Along(o->gapA[1], o->gapA[0], 100), Along(o->gapA[0], o->gapA[1], 100));
    Wall(Along(o->gapB[1], o->gapB[0], 100), Along(o->gapB[0], o->gapB[1], 100));
    FreeOutlineList(o);

    // Four lines from the corners through the jambs and 200 beyond.
    o = ReadTag3DiStr(corner);
    ASSERT_TRUE(o);
    Wall(o->corner[1], Along(o->corner[1], o->gapA[0], 200));
    Wall(o->corner[1], Along(o->corner[1], o->gapA[1], 200));
    Wall(o->corner[0], Along(o->corner[0], o->gapB[0], 200));
    Wall(o->corner[0], Along(o->corner[0], o->gapB[1], 200));
    FreeOutlineList(o);

    // A face through the middle of the pilaster.
    VertexNode* ring = GetPillarOutline(pilaster);
    ASSERT_GE(CountNodes(ring), 3);
    double minX = 1e30, maxX = -1e30, minY = 1e30, maxY = -1e30;
    for (const VertexNode* v = ring; v; v = v->next) {
        minX = std::min(minX, v->x), maxX = std::max(maxX, v->x);
        minY = std::min(minY, v->y), maxY = std::max(maxY, v->y);
    }
    FreeList(ring);
    Wall({minX - 100, (minY + maxY) / 2, 0}, {maxX + 100, (minY + maxY) / 2, 0});

    std::filesystem::create_directories(std::filesystem::path(kInput).parent_path());
    ASSERT_TRUE(host::saveDxf(db(), kInput));
}

namespace {

class WallBreakResult : public WallCutTest {
protected:
    static std::vector<EntName> WithApp(const char* app) {
        std::vector<EntName> out;
        resbuf* filter = zcutBuildList(-3, 1001, app, 0);
        ads_name set;
        if (zcedSSGet("X", nullptr, nullptr, filter, set) == RTNORM) {
            std::int32_t n = 0;
            zcedSSLength(set, &n);
            for (std::int32_t i = 0; i < n; ++i) {
                EntName e;
                zcedSSName(set, i, e.name);
                out.push_back(e);
            }
            zcedSSFree(set);
        }
        zcutRelRb(filter);
        return out;
    }
    static int TypeOf(const EntName& e) { return GetParamObjectType(e.name); }
};

}  // namespace

TEST_F(WallBreakResult, rejoins_the_cut_drawing_to_the_lines_and_records_it_had) {
    const char* saved = std::getenv("VELM_WALL_BREAK_DXF");
    if (!saved || !*saved) GTEST_SKIP() << "VELM_WALL_BREAK_DXF names the script's drawing";
    std::string error;
    ASSERT_NE(host::openDrawing(kInput, &error), nullptr) << error;
    const std::vector<WallPiece> before = Lines();
    ASSERT_EQ(before.size(), 7u);
    ASSERT_NE(host::openDrawing(saved, &error), nullptr) << error;
    ASSERT_EQ(Lines().size(), 10u);

    for (const EntName& e : WithApp(kPilasterApp)) RejoinPilasterAtObject(e.name);
    for (const EntName& e : WithApp(kTag3DiStrApp)) {
        ads_name lines[4];
        if (TypeOf(e) == 11) RejoinStraightWallLines(e.name, lines[0], lines[1]);
        if (TypeOf(e) == 18) RejoinCornerWallLines(e.name, lines);
    }
    const std::vector<WallPiece> after = Lines();
    ASSERT_EQ(after.size(), before.size());
    for (const WallPiece& b : before) {
        bool found = false;
        for (const WallPiece& a : after) found |= HasLine({a}, b.s, b.t) && a.xdata == b.xdata;
        EXPECT_TRUE(found) << b.s.x << "," << b.s.y << " " << b.t.x << "," << b.t.y;
    }
}
