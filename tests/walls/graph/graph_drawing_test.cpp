// The face graph read from a drawing: wall lines and arcs as the wall
// drawing leaves them (one per face, on the floor's wall layer, with the
// wall-type record), objects' outline and pilaster records as the object
// engine writes them. The floor plan survives a DXF save and reload before
// the graph is built, and each room's traced area is checked against the
// area worked out from the drawn geometry.
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/db/dbdatabase.h"
#include "host/ed/docman.h"
#include "host/ed/grdraw.h"
#include "host/ed/hostinit.h"
#include "store/velm_libobjopt.h"
#include "tests/host/win_testdir.h"
#include "tests/walls/graph/graph_fixture.h"
#include "walls/graph/contour_highlight.h"
#include "walls/graph/outline_cache.h"
#include "walls/graph/outline_polygons.h"
#include "walls/graph/outline_record.h"
#include "walls/graph/pair_lines_hook.h"

namespace {

const char* const kWallLayer = "VELM2DWALLS$0";
const char* const kWallTypeApp = "VELM5$_$DATITIPOMURO-";

void Last(ads_name out) {
    zcdbEntLast(out);
}

void WallLine(Point3 a, Point3 b, const char* wallType = "Mur 30") {
    List l;
    l.type("LINE").text(8, kWallLayer).point(10, a).point(11, b);
    l.xdata().text(1001, kWallTypeApp).text(1000, wallType).integer(1070, 0);
    ASSERT_EQ(zcdbEntMake(l.get()), RTNORM);
}

void WallArc(Point3 centre, double radius, double start, double end) {
    List l;
    l.type("ARC").text(8, kWallLayer).point(10, centre).real(40, radius).real(50, start).real(51, end);
    l.xdata().text(1001, kWallTypeApp).text(1000, "Mur 30").integer(1070, 0);
    ASSERT_EQ(zcdbEntMake(l.get()), RTNORM);
}

// A door in a wall along X: jambs across the wall at x = a and x = b, from
// face A (y = inner) to face B (y = outer), as the object engine records it.
void DoorOutline(double a, double b, double inner, double outer) {
    List l;
    l.type("POINT").text(8, "VELM2DDOORS$0").point(10, {(a + b) / 2, (inner + outer) / 2, 0});
    l.xdata().text(1001, kTag3DiStrApp).integer(1070, 11).integer(1070, 0).real(1040, b - a).real(1040, 210);
    l.real(1040, 0).integer(1070, 0).real(1040, std::fabs(inner - outer));
    l.point(1011, {a, inner, 0}).point(1011, {a, inner, 0});
    l.text(1002, "{")
        .point(1011, {a, inner, 0})
        .point(1011, {a, inner, 0})
        .point(1011, {a, outer, 0})
        .text(1002, "}");
    l.text(1002, "{").point(1011, {b, inner, 0}).point(1011, {b, outer, 0}).text(1002, "}");
    l.text(1002, "{").integer(1070, 1).point(1011, {a, inner, 0}).integer(1070, 1).point(1011, {b, inner, 0});
    l.integer(1070, 2)
        .point(1011, {b, inner, 0})
        .integer(1070, 1)
        .point(1011, {b, inner, 210})
        .text(1002, "}");
    for (int i = 0; i < 3; ++i) l.text(1002, "{").text(1002, "}");
    ASSERT_EQ(zcdbEntMake(l.get()), RTNORM);
}

void Pilaster(std::initializer_list<Point3> corners) {
    List l;
    l.type("POINT").text(8, "VELM2DPILASTRI$0").point(10, *corners.begin());
    l.xdata().text(1001, kPilasterApp);
    for (const Point3& p : corners) l.point(1011, {p.x, p.y, 99});
    ASSERT_EQ(zcdbEntMake(l.get()), RTNORM);
}

void RegisterApps() {
    for (const char* app : {kWallTypeApp, kTag3DiStrApp, kPilasterApp, "VELM5$_$DDMURO-",
                            "VELM11CAD$_$ASSOCFALDESUP-", "VELM12CAD$_$TIPOM3DAUTOMATICO-", kRectangleApp})
        zcdbRegApp(app);
}

// Three rooms in a row on wall axes y = 0 and 300, x = 0, 400, 700 and an
// arc wall through (1000, 0) and (1000, 300) about (900, 150); walls 30
// thick, centred on their axes. A door in the first room's bottom wall, a
// free pilaster in the second room, a free-standing wall above the rooms.
struct Plan {
    double innerRadius = 0.0, outerRadius = 0.0;
    double innerX = 0.0, outerX = 0.0;  // where the arc faces meet the straight ones
};

Plan DrawPlan() {
    RegisterApps();
    Plan p;
    const Point3 c{900, 150, 0};
    const double axis = std::hypot(100.0, 150.0);
    p.innerRadius = axis - 15;
    p.outerRadius = axis + 15;
    p.innerX = c.x + std::sqrt(p.innerRadius * p.innerRadius - 135.0 * 135.0);
    p.outerX = c.x + std::sqrt(p.outerRadius * p.outerRadius - 165.0 * 165.0);
    // Outer faces, drawn wall by wall; the door cuts the bottom one.
    WallLine({-15, -15, 0}, {150, -15, 0});
    WallLine({240, -15, 0}, {400, -15, 0});
    WallLine({400, -15, 0}, {700, -15, 0});
    WallLine({700, -15, 0}, {p.outerX, -15, 0});
    WallLine({p.outerX, 315, 0}, {700, 315, 0});
    WallLine({700, 315, 0}, {-15, 315, 0});
    WallLine({-15, 315, 0}, {-15, -15, 0});
    // Inner faces of each room.
    WallLine({15, 15, 0}, {150, 15, 0});
    WallLine({240, 15, 0}, {385, 15, 0});
    WallLine({385, 15, 0}, {385, 285, 0});
    WallLine({385, 285, 0}, {15, 285, 0});
    WallLine({15, 285, 0}, {15, 15, 0});
    WallLine({415, 15, 0}, {685, 15, 0});
    WallLine({685, 15, 0}, {685, 285, 0});
    WallLine({685, 285, 0}, {415, 285, 0});
    WallLine({415, 285, 0}, {415, 15, 0});
    WallLine({715, 15, 0}, {p.innerX, 15, 0});
    WallLine({p.innerX, 285, 0}, {715, 285, 0});
    WallLine({715, 285, 0}, {715, 15, 0});
    const double ai = std::atan2(135.0, p.innerX - c.x), ao = std::atan2(165.0, p.outerX - c.x);
    const double twoPi = 2 * std::acos(-1.0);
    WallArc(c, p.innerRadius, twoPi - ai, ai);
    WallArc(c, p.outerRadius, twoPi - ao, ao);
    // A garden wall standing free above the house.
    WallLine({0, 435, 0}, {300, 435, 0});
    WallLine({300, 465, 0}, {0, 465, 0});
    DoorOutline(150, 240, 15, -15);
    Pilaster({{520, 130, 0}, {560, 130, 0}, {560, 170, 0}, {520, 170, 0}});
    return p;
}

}  // namespace

TEST_F(GraphTest, wall_layer_index_ignores_case_level_and_prefix) {
    VELM_LAYERMURI layers;
    layers.entries = {"2DWALLS", "MuryZewn"};
    EXPECT_EQ(layers.IndexOfLayer("VELM2DWALLS$300"), 0);
    EXPECT_EQ(layers.IndexOfLayer("velmmuryzewn$-12.5"), 1);
    EXPECT_EQ(layers.IndexOfLayer("VELM2DFUNL$0"), -1);
    EXPECT_EQ(layers.IndexOfLayer("2DWALLS"), 0);
}

TEST_F(GraphTest, reading_erases_zero_length_lines_and_carries_the_wall_records_to_the_edges) {
    RegisterApps();
    const std::string longName(80, 'M');
    WallLine({0, 0, 0}, {100, 0, 0}, longName.c_str());
    ads_name line;
    Last(line);
    WallLine({100, 0, 0}, {100, 0, 0});
    ads_name stub;
    Last(stub);
    // A line with every record the graph reads.
    List l;
    l.type("LINE").text(8, kWallLayer).point(10, {0, 30, 0}).point(11, {100, 30, 0});
    l.xdata().text(1001, "VELM5$_$DDMURO-").real(1040, 250).real(1040, 12).integer(1070, 3).real(1040, 7.5);
    l.integer(1070, 1);
    l.text(1001, kWallTypeApp).text(1000, "Mur 30").integer(1070, 2);
    l.text(1001, "VELM11CAD$_$ASSOCFALDESUP-")
        .real(1040, 4.5)
        .integer(1070, 1)
        .text(1000, "1A")
        .text(1000, "2B");
    l.text(1001, "VELM12CAD$_$TIPOM3DAUTOMATICO-").integer(1070, 4);
    l.text(1001, kRectangleApp).real(1040, 7.0);
    ASSERT_EQ(zcdbEntMake(l.get()), RTNORM);
    ads_name full;
    Last(full);

    CFACCIATE g;
    g.level = 0.0;
    g.floorHeight = 300.0;
    g.Build(true, false, nullptr, false);
    EXPECT_EQ(count("0=LINE"), 2);
    EXPECT_EQ(g.FindFaceById(stub), nullptr);
    const WallFace* plain = g.FindFaceById(line);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->edges->wallTypeName, longName);
    EXPECT_EQ(plain->edges->layerIndex, 0);
    EXPECT_EQ(plain->edges->topZ, 300.0);
    EXPECT_FALSE(plain->edges->isRectangleLine());

    const WallFace* rich = g.FindFaceById(full);
    ASSERT_NE(rich, nullptr);
    const FaceEdge* e = rich->edges;
    EXPECT_EQ(e->topZ, 250.0);
    EXPECT_EQ(e->bottomZ, -12.0);
    EXPECT_EQ(e->edgeVisibility, 3);
    EXPECT_EQ(e->extraReal, 7.5);
    EXPECT_EQ(e->externalSide, 2);  // the wall type's flag wins
    EXPECT_EQ(e->wallTypeName, "Mur 30");
    EXPECT_EQ(e->upperRoof.height, 4.5);
    EXPECT_EQ(e->upperRoof.choice, 1);
    EXPECT_EQ(e->upperRoof.names, (std::vector<std::string>{"1A", "2B"}));
    EXPECT_EQ(e->auto3DType, 4);
    EXPECT_EQ(e->rectangleId, 7.0);
    EXPECT_EQ(rich->hasRoofLink, 1);
    EXPECT_EQ(rich->auto3DType, 4);
}

// A 3D record whose height or offset no wall has builds the wall by its
// floor, and names the wall's handle.
TEST_F(GraphTest, a_wall_record_out_of_range_is_named_with_its_handle_and_not_taken) {
    RegisterApps();
    const struct {
        double height, offset;
        const char* said;
    } cases[] = {
        {1e308, 0.0, "wysokość 1e+308"}, {-30.0, 0.0, "wysokość -30"}, {250.0, -1e20, "przesunięcie -1e+20"}};
    for (const auto& c : cases) {
        List l;
        l.type("LINE").text(8, kWallLayer).point(10, {0, 0, 0}).point(11, {100, 0, 0});
        l.xdata().text(1001, "VELM5$_$DDMURO-").real(1040, c.height).real(1040, c.offset);
        ASSERT_EQ(zcdbEntMake(l.get()), RTNORM);
        ads_name wall;
        Last(wall);
        const host::ResbufList read(zcdbEntGet(wall));
        const std::string handle = FindRbCode(read.get(), 5)->resval.rstring;
        const std::size_t before = transcript().size();
        CFACCIATE g;
        g.level = 0.0;
        g.floorHeight = 300.0;
        g.Build(true, false, nullptr, false);
        const WallFace* face = g.FindFaceById(wall);
        ASSERT_NE(face, nullptr);
        EXPECT_LE(face->edges->topZ, 300.0) << c.said;
        EXPECT_GE(face->edges->bottomZ, 0.0) << c.said;
        EXPECT_NE(transcript().find("ściany " + handle + ": " + c.said, before), std::string::npos)
            << transcript().substr(before);
        g.Clear();
        zcdbEntDel(wall);
    }
}

TEST_F(GraphTest, outline_records_are_read_as_the_object_engine_writes_them) {
    RegisterApps();
    DoorOutline(150, 240, 15, -15);
    ads_name door;
    Last(door);
    OutlineNode* o = ReadTag3DiStr(door);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->kind, 11);
    EXPECT_EQ(o->wallThickness, 30.0);
    EXPECT_EQ(o->ventilationArea, o->windowArea);
    // The repeated first point of a jamb is skipped; a repeated flagged
    // point marks the vertex before it.
    EXPECT_EQ(CountNodes(o->jamb1), 2);
    EXPECT_TRUE(Near(o->gapA[0], {150, 15, 0}));
    EXPECT_TRUE(Near(o->gapB[1], {240, -15, 0}));
    ASSERT_EQ(CountNodes(o->cut3DInt1), 3);
    EXPECT_EQ(o->cut3DInt1->next->edgeFlag, 2);
    EXPECT_EQ(o->cut3DExt1, nullptr);
    FreeOutlineList(o);

    Pilaster({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}});
    ads_name pilaster;
    Last(pilaster);
    VertexNode* ring = GetPillarOutline(pilaster);
    ASSERT_EQ(CountNodes(ring), 3);
    // Reverse order, at the layer's level rather than the stored height.
    EXPECT_TRUE(Near(ring->pt(), {10, 10, 0}));
    EXPECT_EQ(ring->z, 0.0);
    FreeList(ring);
    EXPECT_EQ(ReadTag3DiStr(pilaster), nullptr);
}

// A door record with a hole outline on each face: jambs from y = a to
// y = b, the first hole outline written at y = first, the second at the
// other face.
void DoorWithHoles(double a, double b, double first) {
    const double second = first == a ? b : a;
    List l;
    l.type("POINT").text(8, "VELM2DDOORS$0").point(10, {195, 0, 0});
    l.xdata().text(1001, kTag3DiStrApp).integer(1070, 11).integer(1070, 0).real(1040, 90).real(1040, 210);
    l.real(1040, 0).integer(1070, 0).real(1040, 30).point(1011, {0, 0, 0}).point(1011, {0, 0, 0});
    for (double x : {150.0, 240.0})
        l.text(1002, "{").point(1011, {x, a, 0}).point(1011, {x, b, 0}).text(1002, "}");
    for (double y : {first, second}) {
        l.text(1002, "{");
        for (Point3 p : {Point3{240, y, 0}, Point3{150, y, 0}, Point3{150, y, 210}, Point3{240, y, 210}})
            l.integer(1070, 1).point(1011, p);
        l.text(1002, "}");
    }
    ASSERT_EQ(zcdbEntMake(l.get()), RTNORM);
}

TEST_F(GraphTest, each_face_of_a_door_gets_the_hole_outline_standing_on_it_whichever_is_written_first) {
    RegisterApps();
    // The opening definitions in support/ write the outline of the face
    // where the jambs end first; the reader takes the first for the face
    // where they start. Both ways round, each face finds its own.
    for (double first : {-15.0, 15.0}) {
        for (auto [a, b] : {std::pair{15.0, -15.0}, std::pair{-15.0, 15.0}}) {
            DoorWithHoles(a, b, first == 15.0 ? a : b);
            ads_name door;
            Last(door);
            OutlineNode* o = ReadTag3DiStr(door);
            ASSERT_NE(o, nullptr);
            for (double face : {-15.0, 15.0}) {
                const VertexNode* ring = GetOutlineSideRing({-15, face, 0}, {415, face, 0}, o);
                ASSERT_EQ(CountNodes(ring), 4);
                for (const VertexNode* v = ring; v; v = v->next)
                    EXPECT_EQ(v->y, face) << "jambs from y = " << a << ", first outline at y = " << first;
            }
            FreeOutlineList(o);
        }
    }
}

TEST_F(GraphTest, three_rooms_saved_and_reloaded_are_traced_to_their_inner_areas) {
    const Plan plan = DrawPlan();
    TestDir dir;
    const std::string path = dir.path("trzy_pokoje.dxf");
    std::string error;
    ASSERT_TRUE(host::saveDrawing(curDoc(), path, &error)) << error;
    ASSERT_NE(host::openDrawing(path, &error), nullptr) << error;

    CFACCIATE g;
    g.Build(false, false, nullptr, false);
    g.MergePillars();
    g.SplitAtJunctions();
    g.MergeFunLines();
    EXPECT_EQ(CountFaces(g.pillarFaces), 4);
    ASSERT_NE(g.outlines, nullptr);

    // The door's wall: one face each side, across the opening.
    const WallFace* bottom = FaceBetween(g.faces, {15, 15, 0}, {385, 15, 0});
    ASSERT_NE(bottom, nullptr);
    EXPECT_EQ(CountEdges(bottom), 2);
    EXPECT_NE(bottom->outlineLinks, nullptr);
    EXPECT_NE(FaceBetween(g.faces, {-15, -15, 0}, {plan.outerX, -15, 0}), nullptr);

    const Traced a = TraceRoom(g, {200, 100, 0});
    EXPECT_TRUE(a.closed);
    EXPECT_EQ(a.vertices, 4);
    EXPECT_NEAR(a.area, 370.0 * 270.0, 1e-6);

    const Traced b = TraceRoom(g, {550, 100, 0});
    EXPECT_TRUE(b.closed);
    EXPECT_NEAR(b.area, 270.0 * 270.0, 1e-6);

    // The third room: its rectangle up to the chord of the arc face, and
    // the circular segment beyond the chord.
    const double r = plan.innerRadius, dx = plan.innerX - 900.0;
    const double segment = r * r * std::acos(dx / r) - dx * std::sqrt(r * r - dx * dx);
    const double third = (plan.innerX - 715.0) * 270.0 + segment;
    const Traced c = TraceRoom(g, {800, 80, 0});
    EXPECT_TRUE(c.closed);
    EXPECT_GT(c.vertices, 6);
    EXPECT_NEAR(c.area, third, 1e-3);

    const Traced outside = TraceRoom(g, {100, 420, 0});
    EXPECT_FALSE(outside.closed);
    EXPECT_GE(outside.vertices, 2);
}

TEST_F(GraphTest, an_open_contour_is_shown_in_red_with_a_tick_at_each_end_and_a_closed_one_without) {
    host::resetTemporaryGraphics();
    VertexNode* chain = nullptr;
    for (const Point3& p : {Point3{0, 0, 0}, Point3{100, 0, 0}, Point3{100, 50, 0}})
        AppendVertex(&chain, p, 0, 0, 0);
    HighlightContour(chain, 1, true);
    EXPECT_NE(lastMessage().find("Wybrany kontur nie jest zamknięty"), std::string::npos);
    const auto& open = host::temporaryVectors();
    ASSERT_EQ(open.size(), 4u);
    for (const auto& v : open) {
        EXPECT_EQ(v.color, 1);
        EXPECT_TRUE(v.highlighted);
    }
    // The tick at the last vertex runs across the last edge (along X).
    EXPECT_NEAR(std::fabs(open[2].to.x - open[2].from.x), 40.0, 1e-9);
    EXPECT_NEAR(open[2].from.y, 50.0, 1e-9);

    host::resetTemporaryGraphics();
    HighlightContour(chain, -5, false);
    const auto& closed = host::temporaryVectors();
    ASSERT_EQ(closed.size(), 3u);
    EXPECT_EQ(closed[2].color, 5);
    EXPECT_NEAR(closed[2].to.x, 0.0, 1e-9);
    FreeList(chain);
    host::resetTemporaryGraphics();
}

TEST_F(GraphTest, with_a_pairing_set_rectangle_lines_go_to_the_pairing_or_to_faces_of_their_own) {
    RegisterApps();
    for (double x : {0.0, 100.0}) {
        List l;
        l.type("LINE").text(8, kWallLayer).point(10, {x, 0, 0}).point(11, {x + 100, 0, 0});
        l.xdata().text(1001, kRectangleApp).real(1040, 1.0);
        ASSERT_EQ(zcdbEntMake(l.get()), RTNORM);
    }
    WallLine({200, 0, 0}, {300, 0, 0});
    // The pairing belongs to the wall-recognition set: a stand-in that
    // records what it is handed and consumes the first line.
    int handed = 0;
    struct Unset {
        ~Unset() { SetPairWallLinesHook(nullptr); }
    } unset;
    SetPairWallLinesHook([&handed](DEFMURI&, FaceEdge** pending) {
        handed = CountNodes(*pending);
        FaceEdge* first = *pending;
        *pending = first->next;
        delete first;
    });
    int token = 0;
    DEFMURI* set = reinterpret_cast<DEFMURI*>(&token);
    {
        CFACCIATE g;
        g.Build(true, false, set, true);
        EXPECT_EQ(handed, 2);
        // Only the ordinary line makes a face; the rectangle lines left
        // after pairing are freed.
        ASSERT_EQ(CountFaces(g.faces), 1);
        EXPECT_TRUE(Near(g.faces->start, {200, 0, 0}));
        EXPECT_EQ(g.pendingLines, nullptr);
    }
    {
        // Without pairing they form faces of their own, apart from the
        // ordinary line they touch.
        CFACCIATE g;
        g.Build(true, false, set, false);
        ASSERT_EQ(CountFaces(g.faces), 2);
        EXPECT_NE(FaceBetween(g.faces, {0, 0, 0}, {200, 0, 0}), nullptr);
    }
    SetPairWallLinesHook(nullptr);
    {
        // Unset, a pairing asked is a caller's fault: it stops.
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        EXPECT_DEATH(
            {
                CFACCIATE g;
                g.Build(true, false, set, true);
            },
            "VELM_ASSERT\\(Hook\\(\\)\\)");
    }
}

TEST_F(GraphTest, the_face_of_one_wall_line_read_near_it_is_the_face_the_whole_floor_gives) {
    DrawPlan();
    // A slanting wall in two pieces, and a zero-length leftover far away.
    WallLine({0, 600, 0}, {100, 700, 0});
    WallLine({100, 700, 0}, {200, 800, 0});
    // Faces far longer than any one of their lines: read near the line
    // first, the reading must reach their far ends all the same.
    for (int i = 0; i < 40; ++i) {
        WallLine({-3000.0 + 40.0 * i, 2000, 0}, {-2960.0 + 40.0 * i, 2000, 0});
        WallLine({-3000.0 + 30.0 * i, -2000.0 + 40.0 * i, 0}, {-2970.0 + 30.0 * i, -1960.0 + 40.0 * i, 0});
    }
    WallLine({1500, 0, 0}, {1500, 0, 0});
    ads_name leftover;
    Last(leftover);
    resbuf* filter = zcutBuildList(RTDXF0, "LINE", 8, kWallLayer, 0);
    ads_name set;
    ASSERT_EQ(zcedSSGet("X", nullptr, nullptr, filter, set), RTNORM);
    zcutRelRb(filter);
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    ASSERT_GT(n, 100);
    for (std::int32_t i = 0; i < n; ++i) {
        ads_name e;
        ASSERT_EQ(zcedSSName(set, i, e), RTNORM);
        WallFaceSpan near;
        const bool found = ReadWallFaceSpan(e, near);
        // Read near its line or over the whole floor, the line's leftovers
        // go all the same.
        EXPECT_EQ(zcdbEntGet(leftover), nullptr);
        CFACCIATE whole;
        WallFace* face = whole.BuildFromLine(e);
        ASSERT_EQ(found, face != nullptr) << i;
        if (!face) continue;
        EXPECT_EQ(near.isArc, face->isArc()) << i;
        EXPECT_TRUE(near.start.x == face->start.x && near.start.y == face->start.y &&
                    near.end.x == face->end.x && near.end.y == face->end.y)
            << i << ": " << near.start.x << "," << near.start.y << " " << near.end.x << "," << near.end.y
            << " against " << face->start.x << "," << face->start.y << " " << face->end.x << ","
            << face->end.y;
        if (near.start.y == 2000 && near.end.y == 2000) {
            EXPECT_EQ(std::fabs(near.end.x - near.start.x), 1600) << i;
        }
        FreeFaceList(face);
    }
    zcedSSFree(set);
}

// What the graph keeps of an outline record, against the record parsed
// afresh: the same after the record is rewritten, the object moved, erased,
// unerased, and the changes taken back.
TEST_F(GraphTest, kept_outline_records_follow_every_change_of_their_objects) {
    RegisterApps();
    DoorOutline(150, 240, 15, -15);
    ads_name door;
    Last(door);
    auto same = [&](const char* step) {
        OwnedOutline kept{ReadKeptTag3DiStr(door)}, fresh{ReadTag3DiStr(door)};
        ASSERT_EQ(kept == nullptr, fresh == nullptr) << step;
        if (!fresh) return;
        EXPECT_EQ(kept->openingArea, fresh->openingArea) << step;
        EXPECT_EQ(kept->z, fresh->z) << step;
        EXPECT_EQ(kept->base.x, fresh->base.x) << step;
        EXPECT_EQ(kept->gapA[0].x, fresh->gapA[0].x) << step;
        EXPECT_EQ(kept->gapB[1].y, fresh->gapB[1].y) << step;
        EXPECT_EQ(CountNodes(kept->jamb1), CountNodes(fresh->jamb1)) << step;
        EXPECT_NE(kept->jamb1, fresh->jamb1) << step;
    };
    same("made");
    // The face builder may exchange a gap's points: the kept parse is not
    // the one handed out.
    {
        OwnedOutline handed{ReadKeptTag3DiStr(door)};
        std::swap(handed->gapA[0], handed->gapA[1]);
    }
    same("a copy changed");

    zcdbRegApp(kTag3DiStrApp);
    db()->beginUndoGroup();
    resbuf* apps = zcutBuildList(RTSTR, kTag3DiStrApp, 0);
    resbuf* list = zcdbEntGetX(door, apps);
    zcutRelRb(apps);
    for (resbuf* rb = list; rb; rb = rb->rbnext) {
        if (rb->restype == 1040 && rb->resval.rreal == 90.0) rb->resval.rreal = 120.0;
        if (rb->restype == 10) rb->resval.rpoint[0] += 7.0;
        if (rb->restype == 8) host::rbSetString(rb, "VELM2DDOORS$310");
    }
    ASSERT_EQ(zcdbEntMod(list), RTNORM);
    zcutRelRb(list);
    db()->endUndoGroup();
    same("record, place and level rewritten");
    db()->undoGroup();
    same("the rewrite taken back");
    ASSERT_EQ(zcdbEntDel(door), RTNORM);
    same("erased");
    ASSERT_EQ(zcdbEntDel(door), RTNORM);
    same("unerased");
}

// A handle asked for before any object holds it (a file's reference read
// ahead of its object) is kept as having no record; the object that then
// comes with that handle and a record must be read afresh.
TEST_F(GraphTest, an_object_coming_with_a_handle_looked_up_before_has_its_record_read) {
    RegisterApps();
    DoorOutline(150, 240, 15, -15);
    ads_name door;
    Last(door);
    const ZcDbHandle ahead(db()->handseed().value() + 500);
    ZcDbObjectId reserved;
    ASSERT_EQ(db()->getZcDbObjectId(reserved, true, ahead), Zcad::eOk);
    const ads_name later = {door[0], static_cast<std::int64_t>(ahead.value())};
    EXPECT_TRUE(OwnedOutline(ReadKeptTag3DiStr(later)) == nullptr);
    ZcDbObjectId doorId;
    ASSERT_EQ(zcdbGetObjectId(doorId, door), Zcad::eOk);
    ZcDbObject* copy = nullptr;
    {
        ZcDbObject* original = nullptr;
        ASSERT_EQ(zcdbOpenObject(original, doorId, ZcDb::kForRead), Zcad::eOk);
        copy = original->clone();
        original->close();
    }
    ASSERT_NE(copy, nullptr);
    ZcDbObjectId id;
    ASSERT_EQ(db()->addZcDbObjectWithHandle(id, copy, ahead), Zcad::eOk);
    copy->close();
    const OwnedOutline kept{ReadKeptTag3DiStr(later)}, fresh{ReadTag3DiStr(later)};
    ASSERT_TRUE(fresh);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->openingArea, fresh->openingArea);
    EXPECT_EQ(kept->gapA[0].x, fresh->gapA[0].x);
}

// The entities with outline records the graph keeps, against the "X"
// selection it stands in for, and near a box against their gap points:
// through records made, erased, brought back, moved, taken back by undo
// and stripped of their record.
TEST_F(GraphTest, kept_outline_entities_follow_every_change_as_the_selection_does) {
    RegisterApps();
    auto selected = [] {
        std::vector<ZcDbObjectId> ids;
        resbuf* filter = zcutBuildList(-3, 1001, kTag3DiStrApp, 0);
        ads_name set;
        if (zcedSSGet("X", nullptr, nullptr, filter, set) == RTNORM) {
            ids = host::selectionMembers(set);
            zcedSSFree(set);
        }
        zcutRelRb(filter);
        return ids;
    };
    // Doors of the walls along y = 15 and y = 315; the box holds the gap
    // points of the first (and the corner points a door's record leaves at
    // the origin).
    const host::PlanBox box{-1e9, 1, 1e9, 30};
    auto near = [&] {
        std::vector<ZcDbObjectId> ids;
        for (ZcDbObjectId id : selected()) {
            ads_name e;
            zcdbGetAdsName(e, id);
            OwnedOutline o{ReadTag3DiStr(e)};
            if (!o) continue;
            bool in = false;
            for (const Point3* p :
                 {&o->gapA[0], &o->gapA[1], &o->gapB[0], &o->gapB[1], &o->corner[0], &o->corner[1]})
                in = in || (p->y >= box.ymin && p->y <= box.ymax);
            if (in) ids.push_back(id);
        }
        return ids;
    };
    auto check = [&](const char* step) {
        EXPECT_EQ(KeptOutlineEntities(db()), selected()) << step;
        EXPECT_EQ(KeptOutlineEntities(db(), &box), near()) << step;
    };
    DoorOutline(150, 240, 15, -15);
    ads_name first;
    Last(first);
    check("one");
    DoorOutline(450, 540, 315, 285);
    DoorOutline(750, 840, 15, -15);
    ads_name third;
    Last(third);
    check("three");
    ASSERT_EQ(zcdbEntDel(first), RTNORM);
    check("erased");
    ASSERT_EQ(zcdbEntDel(first), RTNORM);
    check("unerased");
    // The third door's record moved to the other wall, then taken back.
    db()->beginUndoGroup();
    resbuf* apps = zcutBuildList(RTSTR, kTag3DiStrApp, 0);
    resbuf* list = zcdbEntGetX(third, apps);
    zcutRelRb(apps);
    for (resbuf* rb = list; rb; rb = rb->rbnext)
        if (rb->restype == 1011) rb->resval.rpoint[1] += 300.0;
    ASSERT_EQ(zcdbEntMod(list), RTNORM);
    zcutRelRb(list);
    db()->endUndoGroup();
    check("moved");
    db()->undoGroup();
    check("move taken back");
    // A record taken off the entity: it is no longer one of them.
    resbuf* bare = zcdbEntGet(first);
    resbuf* strip = bare;
    while (strip->rbnext) strip = strip->rbnext;
    strip->rbnext = zcutBuildList(-3, 1001, kTag3DiStrApp, 0);
    ASSERT_EQ(zcdbEntMod(bare), RTNORM);
    zcutRelRb(bare);
    check("record removed");
}
