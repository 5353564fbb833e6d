// The host pickers on walls, arcs, corners and slabs drawn by hand, driven
// by scripted picks: the hosts they keep, the variables they define, their
// messages, their Enter and keyword rules, and relocation on a host.
#include "objects/placement/host_pickers.h"

#include "core/geometry/polygon.h"
#include "store/settings_store.h"
#include "tests/objects/placement/wall_cut_fixture.h"

namespace {

class HostPickerTest : public WallCutTest {
protected:
    void TearDown() override {
        for (auto& c : contexts) FreeObjContext(std::move(c));
        WallCutTest::TearDown();
    }
    ObjContext& Context(int type) {
        contexts.push_back(NewObjContext("T"));
        ObjContext& c = *contexts.back();
        c.insertionType = static_cast<InsertionType>(type);
        SetObjVar(1, kVarFixed, 0, u'R', "", 0.0, "", 0, 0, c.vars);
        return c;
    }
    static double Var(const ObjContext& c, int n) {
        double v = -1e9;
        std::string t;
        GetObjVar(n, v, t, c.vars);
        return v;
    }
    static bool Has(const std::string& text) { return transcript().find(text) != std::string::npos; }
    // A slab as the slab code writes it: kind 1, thickness 20 and one loop
    // of (point, edge flag) pairs.
    static void Slab(const std::vector<Point3>& loop, Point3 at, ads_name out) {
        const ads_point p = {at.x, at.y, at.z};
        resbuf* list = zcutBuildList(RTDXF0, "POINT", 8, "VELMSLAB$0", 10, p, -3, 1001, "VELM5$_$VFALDA-",
                                     1070, 1, 1040, 20.0, 1002, "{", 0);
        resbuf* tail = list;
        while (tail->rbnext) tail = tail->rbnext;
        for (const Point3& v : loop) {
            const ads_point q = {v.x, v.y, v.z};
            tail->rbnext = zcutBuildList(1011, q, 1070, 1, 0);
            while (tail->rbnext) tail = tail->rbnext;
        }
        tail->rbnext = zcutBuildList(1002, "}", 0);
        ASSERT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
        zcdbEntLast(out);
    }
    std::vector<std::unique_ptr<ObjContext>> contexts;
};

}  // namespace

TEST_F(HostPickerTest, a_wall_line_finds_the_other_face_its_thickness_and_the_side_it_faces) {
    ads_name inner, outer;
    Wall({0, 0, 0}, {500, 0, 0}, inner);
    Wall({500, 30, 0}, {0, 30, 0}, outer);
    ObjContext& c = Context(11);
    push("!pick 200,0");
    EXPECT_EQ(PickWallLine(c, 0), 1);
    EXPECT_TRUE(ads_name_equal(c.firstEntity, inner));
    EXPECT_TRUE(ads_name_equal(c.secondEntity, outer));
    EXPECT_NEAR(Var(c, 1), 30.0, 1e-9);
    EXPECT_NEAR(c.rotation, 0.0, 1e-9);
    EXPECT_EQ(Var(c, 16), 0.0);
    EXPECT_EQ(c.alignment, 2);  // parallel faces: no side is asked
    EXPECT_NEAR(c.host.pickPoint.x, 200.0, 1e-9);
    // Both lines run along the object.
    EXPECT_LT(c.host.secondWallLine[0].x, c.host.secondWallLine[1].x);

    ObjContext& d = Context(11);
    push("!pick 300,30");
    EXPECT_EQ(PickWallLine(d, 0), 1);
    EXPECT_NEAR(d.rotation, 3.14159265358979, 1e-9);
    EXPECT_EQ(Var(d, 16), 1.0);
}

TEST_F(HostPickerTest, coincident_faces_and_a_far_side_stop_the_pick) {
    Wall({0, 0, 0}, {500, 0, 0});
    Wall({0, 0, 0}, {500, 0, 0});
    ObjContext& c = Context(11);
    push("!pick 200,0");
    EXPECT_EQ(PickWallLine(c, 0), -1);
    EXPECT_TRUE(Has("Linie pokrywają się, użyj VELAUDIT"));

    Wall({0, 2000, 0}, {500, 2000, 0});
    Wall({0, 3100, 0}, {500, 3100, 0});
    ObjContext& d = Context(11);
    push("!pick 200,2000");
    EXPECT_EQ(PickWallLine(d, 0), -1);
    EXPECT_TRUE(Has("Nie można znaleźć drugiej strony ściany"));
}

TEST_F(HostPickerTest, enter_and_keywords_follow_the_run_mode_and_the_pass) {
    Wall({0, 0, 0}, {500, 0, 0});
    Wall({0, 30, 0}, {500, 30, 0});
    struct Row {
        int runMode, iteration, freeOpening;
        int expected;
    };
    for (const Row& r : std::vector<Row>{{0, 0, 0, -1}, {0, 0, 1, 0}, {1, 0, 0, 0}, {0, 2, 0, -1}}) {
        ObjContext& c = Context(11);
        c.runMode = r.runMode;
        c.freeOpening = static_cast<std::uint8_t>(r.freeOpening);
        push("");
        EXPECT_EQ(PickWallLine(c, r.iteration), r.expected) << r.runMode << r.iteration << r.freeOpening;
    }
    ObjContext& c = Context(11);
    c.skipParamInput = 1;
    int edits = 0;
    push({"Modyfikuj", "Zastąp"});
    EXPECT_EQ(PickWallLine(c, 0, [&](ObjContext&) { ++edits; }), 1000);
    EXPECT_EQ(edits, 1);
    EXPECT_TRUE(Has("[Modyfikuj parametry/Zastąp]"));
}

TEST_F(HostPickerTest, an_arc_wall_gives_its_steps_and_a_span_under_two_steps_is_refused) {
    ads_name inner, outer;
    WallArc({0, 0, 0}, 300, 0.0, kPi, inner);
    WallArc({0, 0, 0}, 330, 0.0, kPi, outer);
    const double step = 2.0 * std::asin(GetScaleFactor(0) / 600.0);
    ASSERT_GT(step, 0.0);

    ObjContext& c = Context(12);
    SetObjVar(8, kVarFixed, 0, u'R', "", 90.0, "", 0, 0, c.vars);
    c.rotation = kPi / 2;
    push("!pick 0,300");
    EXPECT_EQ(PickWallArc(c, 0), 1);
    EXPECT_TRUE(ads_name_equal(c.secondEntity, outer));
    EXPECT_NEAR(Var(c, 1), 30.0, 1e-9);
    EXPECT_NEAR(Var(c, 12), step, 1e-12);
    EXPECT_NEAR(Var(c, 13), 300.0, 1e-9);
    EXPECT_NEAR(c.insertionPoint[0], 0.0, 1e-9);
    // Both ends lie on multiples of the step, around the opening.
    const double from = Var(c, 10) + kPi / 2, to = Var(c, 11) + kPi / 2;
    EXPECT_NEAR(std::remainder(from, step), 0.0, 1e-9);
    EXPECT_NEAR(std::remainder(to, step), 0.0, 1e-9);
    EXPECT_LT(from, kPi / 2);
    EXPECT_GT(to, kPi / 2);

    ObjContext& d = Context(12);
    SetObjVar(8, kVarFixed, 0, u'R', "", 300.0 * step, "", 0, 0, d.vars);  // under two steps of arc
    d.rotation = kPi / 2;
    push("!pick 0,300");
    EXPECT_EQ(PickWallArc(d, 0), 0);
    EXPECT_TRUE(Has("Przybliżenie zakrzywionej ściany jest zbyt duże"));
}

TEST_F(HostPickerTest, a_corner_gives_its_points_thickness_and_the_angles_of_the_four_lines) {
    Wall({0, 0, 0}, {500, 0, 0});
    Wall({30, 30, 0}, {500, 30, 0});
    Wall({0, 500, 0}, {0, 0, 0});
    Wall({30, 500, 0}, {30, 30, 0});
    ObjContext& c = Context(18);
    push("!pick 100,0");
    EXPECT_EQ(PickCornerForObject(c, 0), 1);
    EXPECT_NEAR(c.insertionPoint[0], 0.0, 1e-9);
    EXPECT_NEAR(c.insertionPoint[1], 0.0, 1e-9);
    EXPECT_NEAR(Var(c, 1), std::sqrt(1800.0), 1e-9);
    EXPECT_NEAR(c.rotation, kPi / 4, 1e-9);
    EXPECT_NEAR(c.host.oppositeCornerPoint.x, 30.0, 1e-9);
    EXPECT_EQ(Var(c, 16), 1.0);
    EXPECT_EQ(c.alignment, 2);
    for (int n = 20; n <= 23; ++n) EXPECT_GT(Var(c, n), -1e9) << n;
}

TEST_F(HostPickerTest, a_slab_gives_its_plane_and_vertical_thickness_and_a_vertical_plane_is_refused) {
    zcdbRegApp("VELM5$_$VFALDA-");
    // The slab rises 1 in 2 along x: 50 % slope.
    ads_name slab, wall;
    Slab({{0, 0, 0}, {200, 0, 100}, {200, 200, 100}, {0, 200, 0}}, {100, 100, 50}, slab);
    ads_name plain;
    Wall({0, 500, 0}, {100, 500, 0}, plain);

    ObjContext& c = Context(19);
    push({"!pick 0,500", "!pick 100,100"});
    EXPECT_EQ(PickSlabForObject(c, 0), 1);
    EXPECT_TRUE(Has("Wybrany obiekt nie jest płytą"));
    EXPECT_TRUE(ads_name_equal(c.firstEntity, slab));
    const double n = std::sqrt(Var(c, 20) * Var(c, 20) + Var(c, 22) * Var(c, 22));
    EXPECT_NEAR(std::abs(Var(c, 20) / n), 1.0 / std::sqrt(5.0), 1e-9);
    EXPECT_NEAR(Var(c, 24), 20.0 / std::cos(std::atan(0.5)), 1e-9);

    Slab({{0, 0, 0}, {200, 0, 0}, {200, 0, 100}, {0, 0, 100}}, {100, 0, 50}, wall);
    ObjContext& d = Context(19);
    ads_name_set(wall, d.firstEntity);
    EXPECT_EQ(ReadSlabPlaneVars(d), -1);
}

TEST_F(HostPickerTest, relocation_joins_the_walls_and_keeps_an_object_whose_wall_is_gone) {
    const Point3 gapA[2] = {{100, 0, 0}, {190, 0, 0}}, gapB[2] = {{100, 30, 0}, {190, 30, 0}};
    ads_name a, b, object;
    Wall({0, 0, 0}, {500, 0, 0}, a);
    Wall({0, 30, 0}, {500, 30, 0}, b);
    Opening(11, {145, 0, 0}, gapA, gapB, 30.0, object);
    CutStraightWallAtOpening(object, a, b);
    ASSERT_EQ(Lines().size(), 4u);

    ObjContext& c = Context(11);
    c.elevation = 0.0;
    c.host.pickPoint = {145, 0, 0};
    EXPECT_EQ(RelocateOnHost(c, object), 1);
    EXPECT_FALSE(Exists(object));
    EXPECT_EQ(Lines().size(), 2u);
    EXPECT_NEAR(Var(c, 1), 30.0, 1e-9);

    // The other face is erased: the object stays, cut into what is left.
    ads_name again;
    Opening(11, {145, 0, 0}, gapA, gapB, 30.0, again);
    for (const EntName& e : Names("LINE", 0.0)) {
        Point3 s, t;
        GetLineData(e.name, s, t);
        if (s.y > 1.0) zcdbEntDel(e.name);
    }
    ObjContext& d = Context(11);
    EXPECT_EQ(RelocateOnHost(d, again), 0);
    EXPECT_TRUE(Has("Nie można znaleźć linii ścian"));
    EXPECT_TRUE(Exists(again));
    EXPECT_EQ(Lines().size(), 2u);  // the remaining face cut at the opening again
}

namespace {

// A stair (a POINT at `at`) whose handrail record holds a rising straight
// side, a flat arc side and a handrail corner.
void Stair(const Point3& at) {
    zcdbRegApp("VELM5$_$DATICMANOSCALA-");
    const ads_point p = {at.x, at.y, at.z};
    resbuf* head =
        zcutBuildList(RTDXF0, "POINT", 8, "VELMSCALE$0", 10, p, -3, 1001, "VELM5$_$DATICMANOSCALA-", 0);
    resbuf* tail = head;
    while (tail->rbnext) tail = tail->rbnext;
    auto block = [&](double sign, double arc, double angle, Point3 s, Point3 e, Point3 c) {
        const ads_point P = {1, 2, 3}, S = {s.x, s.y, s.z}, E = {e.x, e.y, e.z}, C = {c.x, c.y, c.z};
        tail->rbnext =
            zcutBuildList(1002, "{", 1040, 100.0, 1040, 28.0, 1040, 17.5, 1040, 3.0, 1040, sign, 1040, arc,
                          1011, P, 1040, angle, 1011, S, 1011, E, 1011, C, 1002, "}", 0);
        while (tail->rbnext) tail = tail->rbnext;
    };
    block(0.0, 0.0, 0.1, {0, 0, 0}, {300, 0, 150}, {0, 100, 0});
    block(100.0, 1.0, 0.2, {600, 0, 0}, {500, 100, 0}, {500, 0, 0});
    block(-1.0, 0.0, 0.3, {0, 0, 0}, {0, 0, 0}, {0, 0, 0});
    ASSERT_EQ(zcdbEntMake(head), RTNORM);
    zcutRelRb(head);
}

}  // namespace

TEST_F(HostPickerTest, a_stair_side_is_found_under_the_pick_on_straight_and_arc_sides) {
    const double r = 100.0 / std::sqrt(2.0);
    Stair({500 + r, r, 0});
    ObjContext& c = Context(20);
    push("!pick " + std::to_string(500 + r) + "," + std::to_string(r));
    EXPECT_EQ(PickStairSideForBalustrade(c, 0), 1);
    ASSERT_EQ(c.handrails.size(), 2u);  // the corner is not a side
    EXPECT_EQ(c.handrails[0].c[1], 100.0);
    EXPECT_NEAR(c.handrails[0].c[0], 0.2, 1e-12);

    // Away from both sides: asked again for a point, then on the rising side.
    Stair({2000, 2000, 0});
    ObjContext& d = Context(20);
    push({"!pick 2000,2000", "150,0"});
    EXPECT_EQ(PickStairSideForBalustrade(d, 0), 1);
    EXPECT_TRUE(Has("Nie można znaleźć boku schodów"));
    EXPECT_EQ(d.handrails[0].c[1], 0.0);
    EXPECT_EQ(d.handrails[0].d[0], 0.0);

    ObjContext& e = Context(27);
    push("!pick 2000,2000");
    EXPECT_EQ(PickStairForHandrailCorner(e, 0), 1);
    ASSERT_EQ(e.handrails.size(), 1u);
    EXPECT_NEAR(e.handrails[0].c[0], 0.3, 1e-12);

    Wall({0, 900, 0}, {100, 900, 0});
    ObjContext& f = Context(27);
    push("!pick 50,900");
    EXPECT_EQ(PickStairForHandrailCorner(f, 0), -1);
    EXPECT_TRUE(Has("Schody nie posiadają wystarczających informacji, aby wstawić poręcz"));
}
