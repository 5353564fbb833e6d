// Walls recognised in a drawing end to end: a room of plain wall lines with
// a door, its outer face and then its outer perimeter marked with
// "VELMWALLATT", saved and reloaded; a shipped wall type assigned to its
// lines, the walls paired and cut into build-up layers whose pieces cover
// each wall less its opening.
#include <cmath>

#include "core/base/module_state.h"
#include "core/entity_readers.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ed/docman.h"
#include "host/ed/hostinit.h"
#include "tests/walls/graph/graph_fixture.h"
#include "tests/walls/recognition/recognition_fixture.h"
#include "tests/walls/wall_types_fixture.h"
#include "walls/graph/outline_record.h"
#include "walls/recognition/layer_records.h"
#include "walls/recognition/velm_muroesterno.h"
#include "walls/recognition/wall_att_cmd.h"
#include "walls/types/mxt_file.h"

namespace {

constexpr const char* kBrick = "Ściana z cegły pełnej";

// A door in the bottom wall, jambs at x = a and b from the inner face
// (y = 30) to the outer one (y = 0), as the object engine records it.
void Door(double a, double b) {
    const ads_point base{(a + b) / 2, 15, 0}, a1{a, 30, 0}, a0{a, 0, 0}, b1{b, 30, 0}, b0{b, 0, 0};
    zcdbRegApp(kTag3DiStrApp);
    resbuf* list =
        zcutBuildList(RTDXF0, "POINT", 8, "VELM2DDOORS$0", 10, base, -3, 1001, kTag3DiStrApp, 1070, 11, 1070,
                      0, 1040, b - a, 1040, 210.0, 1040, 0.0, 1070, 0, 1040, 30.0, 1011, a1, 1011, a1, 1002,
                      "{", 1011, a1, 1011, a0, 1002, "}", 1002, "{", 1011, b1, 1011, b0, 1002, "}", 0);
    ASSERT_EQ(zcdbEntMake(list), RTNORM);
    zcutRelRb(list);
}

class RecognisedRoom : public WallTypesTest {
protected:
    void SetUp() override {
        WallTypesTest::SetUp();
        VELM_MUROESTERNO::rxInit();
    }
    void TearDown() override {
        VELM_MUROESTERNO::rxUninit();
        WallTypesTest::TearDown();
    }
    struct Wall {
        Point3 a, b;
        bool outer;
    };
    // The room 0..430, walls 30 thick, a door 150..240 in the bottom wall.
    std::vector<Wall> drawRoom() {
        std::vector<Wall> walls = {
            {{0, 0, 0}, {150, 0, 0}, true},       {{240, 0, 0}, {430, 0, 0}, true},
            {{430, 0, 0}, {430, 430, 0}, true},   {{430, 430, 0}, {0, 430, 0}, true},
            {{0, 430, 0}, {0, 0, 0}, true},       {{30, 30, 0}, {150, 30, 0}, false},
            {{240, 30, 0}, {400, 30, 0}, false},  {{400, 30, 0}, {400, 400, 0}, false},
            {{400, 400, 0}, {30, 400, 0}, false}, {{30, 400, 0}, {30, 30, 0}, false},
        };
        for (const Wall& w : walls) MakeWallLine(w.a, w.b);
        Door(150, 240);
        return walls;
    }
    // The external flag of the wall line from a to b: -1 without record.
    static int flagOf(const Point3& a, const Point3& b) {
        ads_name set;
        resbuf* filter = zcutBuildList(RTDXF0, "LINE", 0);
        zcedSSGet("X", nullptr, nullptr, filter, set);
        zcutRelRb(filter);
        std::int32_t n = 0;
        zcedSSLength(set, &n);
        int flag = -2;
        for (std::int32_t i = 0; i < n; ++i) {
            ads_name e;
            zcedSSName(set, i, e);
            Point3 p, q;
            if (!GetLineData(e, p, q)) continue;
            if (!(Near(p, a) && Near(q, b))) continue;
            std::string record = WallTypeRecord(e);
            flag = record.empty() ? -1 : record.back() - '0';
        }
        zcedSSFree(set);
        return flag;
    }
};

}  // namespace

TEST_F(RecognisedRoom, marked_faces_survive_reload_and_typed_walls_are_cut_into_their_layers) {
    const std::vector<Wall> walls = drawRoom();
    push("!pick 430,200");
    CmdWallAtt();
    for (const Wall& w : walls) EXPECT_EQ(flagOf(w.a, w.b), w.a.x == 430 && w.b.x == 430 ? 1 : -1);
    push({"Obwód", "!pick 100,0"});
    CmdWallAtt();
    EXPECT_EQ(count("0=VELM_MUROESTERNO"), 0);

    copyShipped({"CEGLA.mxt"});
    CListMuri shipped;
    ASSERT_TRUE(LoadWallTypes(shipped));

    TestDir dir;
    const std::string path = dir.path("pokoj.dxf");
    std::string error;
    ASSERT_TRUE(host::saveDrawing(curDoc(), path, &error)) << error;
    ASSERT_NE(host::openDrawing(path, &error), nullptr) << error;
    for (const Wall& w : walls) EXPECT_EQ(flagOf(w.a, w.b), w.outer ? 1 : -1) << w.a.x << "," << w.a.y;

    DEFMURI set;
    set.wallTypes = shipped;
    ASSERT_EQ(set.printScale, 50);
    push({"W", "-10,-10", "440,440", ""});
    ASSERT_TRUE(set.AssignWallTypeToLines(kBrick));
    set.BuildFaceGraph();
    set.SplitAtPilasters();
    set.PairSegments();
    ASSERT_EQ(set.WallPairCount(), 4);
    double total = 0.0;
    for (WallPair* p = set.pairs; p; p = p->next) {
        // The outer face was marked: it is one face of every wall.
        EXPECT_TRUE(p->a->external != p->b->external);
        EXPECT_EQ(p->a->typeName, kBrick);
        VertexNode* quad = nullptr;
        for (Point3 c : {p->a->start, p->a->end, p->b->end, p->b->start}) AppendVertex(&quad, c, 0, 0, 0);
        if (!PointsEqual(p->b->start, p->a->start, false) &&
            ((p->a->end.x - p->a->start.x) * (p->b->end.x - p->b->start.x) +
             (p->a->end.y - p->a->start.y) * (p->b->end.y - p->b->start.y)) < 0) {
            FreeList(quad);
            quad = nullptr;
            for (Point3 c : {p->a->start, p->a->end, p->b->start, p->b->end}) AppendVertex(&quad, c, 0, 0, 0);
        }
        const bool doorWall = std::fabs(p->a->start.y) < 31 && std::fabs(p->a->end.y) < 31;
        const double expected = ShoelaceArea(quad) - (doorWall ? 90.0 * 30.0 : 0.0);
        FreeList(quad);
        LayerRecord* last = set.BuildLayerOutlines(p);
        ASSERT_NE(last, nullptr);
        double pieces = 0.0;
        int layers = 0;
        for (const LayerRecord* r = last; r; r = r->previous, ++layers)
            for (const PieceNode* piece = r->pieces; piece; piece = piece->next)
                pieces += ShoelaceArea(piece->ring);
        EXPECT_EQ(layers, 3);
        EXPECT_NEAR(pieces, expected, 1e-6);
        total += pieces;
        delete last;
    }
    EXPECT_NEAR(total, 430.0 * 430.0 - 370.0 * 370.0 - 90.0 * 30.0, 1e-6);
    set.ClearFaceGraph();
}
