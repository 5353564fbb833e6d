// Selection sets: filters with every logical and relational operator,
// windows, polygons and fences on arcs and bulged polylines, the last and
// previous sets, and the set functions.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/db/dbmain.h"
#include "tests/host/ads/ads_ent_fixture.h"

namespace {

class AdsSs : public AdsDrawing {
protected:
    // The members of a selection, freed after.
    static std::vector<ZcDbObjectId> members(int rc, ads_name ss) {
        if (rc != RTNORM) return {};
        std::vector<ZcDbObjectId> ids = host::selectionMembers(ss);
        zcedSSFree(ss);
        return ids;
    }
    static std::vector<ZcDbObjectId> selectX(resbuf* filter) {
        ads_name ss;
        int rc = zcedSSGet("X", nullptr, nullptr, filter, ss);
        zcutRelRb(filter);
        return members(rc, ss);
    }
    static std::vector<ZcDbObjectId> select(const char* mode, ZcGePoint3d a, ZcGePoint3d b) {
        ads_point p1{a.x, a.y, a.z}, p2{b.x, b.y, b.z};
        ads_name ss;
        return members(zcedSSGet(mode, p1, p2, nullptr, ss), ss);
    }
    static std::vector<ZcDbObjectId> selectPoints(const char* mode, std::vector<ZcGePoint3d> pts) {
        resbuf* list = nullptr;
        resbuf** tail = &list;
        for (const ZcGePoint3d& p : pts) {
            *tail = zcutNewRb(RTPOINT);
            (*tail)->resval.rpoint[0] = p.x;
            (*tail)->resval.rpoint[1] = p.y;
            tail = &(*tail)->rbnext;
        }
        ads_name ss;
        int rc = zcedSSGet(mode, list, nullptr, nullptr, ss);
        zcutRelRb(list);
        return members(rc, ss);
    }
};

using Ids = std::vector<ZcDbObjectId>;

// A drawing of known entities; each test states which it expects.
struct Sample {
    ZcDbObjectId wallLine, windowLine, smallCircle, bigCircle, arc, redLine;
};

Sample fill(const std::function<ZcDbObjectId(ZcDbEntity*, const char*)>& add) {
    Sample s;
    s.wallLine = add(new ZcDbLine({0, 0, 0}, {10, 0, 0}), "Mury$0");
    s.windowLine = add(new ZcDbLine({0, 5, 0}, {10, 5, 0}), "Okna");
    s.smallCircle = add(new ZcDbCircle({20, 0, 0}, {0, 0, 1}, 1), "Mury$0");
    s.bigCircle = add(new ZcDbCircle({40, 0, 0}, {0, 0, 1}, 5), "Okna");
    s.arc = add(new ZcDbArc({60, 0, 0}, 3, 0, 3.14159), "Dach");
    auto* red = new ZcDbLine({0, 10, 0}, {5, 12, 3});
    red->setColorIndex(1);
    s.redLine = add(red, "Mury$1");
    return s;
}

}  // namespace

TEST_F(AdsSs, x_filters_by_type_layer_wildcards_and_logic) {
    Sample s = fill([](ZcDbEntity* e, const char* l) { return add(e, l); });
    EXPECT_EQ(selectX(zcutBuildList(RTDXF0, "LINE", 0)), (Ids{s.wallLine, s.windowLine, s.redLine}));
    // Patterns ignore case and take alternatives.
    EXPECT_EQ(selectX(zcutBuildList(8, "mury$*", 0)), (Ids{s.wallLine, s.smallCircle, s.redLine}));
    EXPECT_EQ(selectX(zcutBuildList(8, "okna,dach", 0)), (Ids{s.windowLine, s.bigCircle, s.arc}));
    // Tests in a row must all hold.
    EXPECT_EQ(selectX(zcutBuildList(RTDXF0, "CIRCLE", 8, "Okna", 0)), (Ids{s.bigCircle}));
    EXPECT_EQ(selectX(zcutBuildList(-4, "<OR", RTDXF0, "ARC", 8, "OKNA", -4, "OR>", 0)),
              (Ids{s.windowLine, s.bigCircle, s.arc}));
    EXPECT_EQ(
        selectX(zcutBuildList(-4, "<and", RTDXF0, "LINE", -4, "<not", 8, "Mury*", -4, "not>", -4, "and>", 0)),
        (Ids{s.windowLine}));
    // XOR: lines or Mury layers, not both.
    EXPECT_EQ(selectX(zcutBuildList(-4, "<XOR", RTDXF0, "LINE", 8, "Mury*", -4, "XOR>", 0)),
              (Ids{s.windowLine, s.smallCircle}));
    // Colour by layer is 256 when the list leaves 62 out.
    EXPECT_EQ(selectX(zcutBuildList(62, 1, 0)), (Ids{s.redLine}));
    EXPECT_EQ(selectX(zcutBuildList(RTDXF0, "LINE", 62, 256, 0)), (Ids{s.wallLine, s.windowLine}));
    EXPECT_TRUE(selectX(zcutBuildList(RTDXF0, "SOLID", 0)).empty());
}

TEST_F(AdsSs, relational_operators_compare_numbers_and_points) {
    Sample s = fill([](ZcDbEntity* e, const char* l) { return add(e, l); });
    auto radius = [](const char* op, double r) {
        return selectX(zcutBuildList(RTDXF0, "CIRCLE,ARC", -4, op, 40, r, 0));
    };
    EXPECT_EQ(radius(">", 2.0), (Ids{s.bigCircle, s.arc}));
    EXPECT_EQ(radius(">=", 3.0), (Ids{s.bigCircle, s.arc}));
    EXPECT_EQ(radius("<", 3.0), (Ids{s.smallCircle}));
    EXPECT_EQ(radius("<=", 3.0), (Ids{s.smallCircle, s.arc}));
    EXPECT_EQ(radius("=", 5.0), (Ids{s.bigCircle}));
    for (const char* ne : {"!=", "/=", "<>"}) EXPECT_EQ(radius(ne, 5.0), (Ids{s.smallCircle, s.arc})) << ne;
    EXPECT_EQ(radius("*", 0.0), (Ids{s.smallCircle, s.bigCircle, s.arc}));
    // Per-coordinate operators on points.
    ads_point p{1, 4, 0};
    EXPECT_EQ(selectX(zcutBuildList(RTDXF0, "LINE", -4, "*,>,*", 10, p, 0)), (Ids{s.windowLine, s.redLine}));
    EXPECT_EQ(selectX(zcutBuildList(RTDXF0, "LINE", -4, ">,*,>", 11, p, 0)), (Ids{s.redLine}));
    // Bit tests on a flag group.
    auto* open = new ZcDbPolyline;
    open->addVertexAt(0, {0, 0});
    open->addVertexAt(1, {1, 0});
    auto* closed = new ZcDbPolyline;
    closed->addVertexAt(0, {0, 0});
    closed->addVertexAt(1, {1, 1});
    closed->setClosed(true);
    closed->setPlinegen(true);
    add(open);
    ZcDbObjectId c = add(closed);
    EXPECT_EQ(selectX(zcutBuildList(RTDXF0, "LWPOLYLINE", -4, "&", 70, 1, 0)), (Ids{c}));
    EXPECT_EQ(selectX(zcutBuildList(RTDXF0, "LWPOLYLINE", -4, "&=", 70, 129, 0)), (Ids{c}));
    EXPECT_EQ(selectX(zcutBuildList(RTDXF0, "LWPOLYLINE", -4, "&=", 70, 3, 0)), Ids{});
}

TEST_F(AdsSs, xdata_application_filters_and_malformed_filters) {
    Sample s = fill([](ZcDbEntity* e, const char* l) { return add(e, l); });
    zcdbRegApp("VELM5$_$PARAMETRI-");
    zcdbRegApp("INNA");
    ads_name e;
    zcdbGetAdsName(e, s.bigCircle);
    resbuf* mod = zcutBuildList(-1, e, -3, 1001, "VELM5$_$PARAMETRI-", 1000, "x", 1001, "INNA", 1070, 1, 0);
    ASSERT_EQ(zcdbEntMod(mod), RTNORM);
    zcutRelRb(mod);
    EXPECT_EQ(
        selectX(zcutBuildList(-4, "<and", -3, 1001, "VELM5$_$PARAMETRI-", RTDXF0, "CIRCLE", -4, "and>", 0)),
        (Ids{s.bigCircle}));
    EXPECT_EQ(selectX(zcutBuildList(-3, 1001, "velm5*", 1001, "INNA", 0)), (Ids{s.bigCircle}));
    EXPECT_TRUE(selectX(zcutBuildList(-3, 1001, "BRAK", 0)).empty());

    ads_name ss;
    for (resbuf* bad :
         {zcutBuildList(-4, "<AND", RTDXF0, "LINE", 0), zcutBuildList(-4, "<NOT", -4, "NOT>", 0),
          zcutBuildList(-4, "<XOR", RTDXF0, "LINE", -4, "XOR>", 0), zcutBuildList(-4, "~~", 40, 1.0, 0),
          zcutBuildList(-4, "OR>", 0)}) {
        EXPECT_EQ(zcedSSGet("X", nullptr, nullptr, bad, ss), RTERROR);
        zcutRelRb(bad);
    }
}

TEST_F(AdsSs, windows_use_the_arc_not_its_chord) {
    // A half circle above the x axis from (10,0) to (-10,0), top at (0,10).
    ZcDbObjectId arc = add(new ZcDbArc({0, 0, 0}, 10, 0, 3.14159265358979));
    // Holds both ends and the chord, but not the top of the arc.
    EXPECT_TRUE(select("W", {-11, -1, 0}, {11, 9, 0}).empty());
    EXPECT_EQ(select("C", {-11, -1, 0}, {11, 9, 0}), (Ids{arc}));
    EXPECT_EQ(select("W", {-11, -1, 0}, {11, 11, 0}), (Ids{arc}));
    // A window around the top only: crossing catches it, the centre alone does not.
    EXPECT_EQ(select("C", {-1, 9, 0}, {1, 11, 0}), (Ids{arc}));
    EXPECT_TRUE(select("C", {-1, -1, 0}, {1, 1, 0}).empty());
    EXPECT_TRUE(select("C", {-1, -5, 0}, {1, -1, 0}).empty());  // below: the other half is not drawn
}

TEST_F(AdsSs, bulged_polylines_are_tested_along_their_arcs) {
    // A 10 x 10 square whose top side bulges up into a half circle (top at y 15).
    auto* pl = new ZcDbPolyline;
    pl->addVertexAt(0, {0, 0});
    pl->addVertexAt(1, {10, 0});
    pl->addVertexAt(2, {10, 10}, 1.0);
    pl->addVertexAt(3, {0, 10});
    pl->setClosed(true);
    ZcDbObjectId id = add(pl);
    EXPECT_TRUE(select("W", {-1, -1, 0}, {11, 14, 0}).empty());
    EXPECT_EQ(select("W", {-1, -1, 0}, {11, 16, 0}), (Ids{id}));
    EXPECT_EQ(select("C", {4, 14, 0}, {6, 16, 0}), (Ids{id}));
    EXPECT_TRUE(select("C", {4, 4, 0}, {6, 6, 0}).empty());  // inside, touching nothing
    // Polygons: a triangle around everything, and one that cuts the bulge.
    EXPECT_EQ(selectPoints("WP", {{-20, -1, 0}, {30, -1, 0}, {5, 40, 0}}), (Ids{id}));
    EXPECT_TRUE(selectPoints("WP", {{-20, -1, 0}, {30, -1, 0}, {5, 14, 0}}).empty());
    EXPECT_EQ(selectPoints("CP", {{-20, -1, 0}, {30, -1, 0}, {5, 14, 0}}), (Ids{id}));
    EXPECT_TRUE(selectPoints("CP", {{2, 2, 0}, {8, 2, 0}, {5, 8, 0}}).empty());
    // Fences: through the bulge only, and above it.
    EXPECT_EQ(selectPoints("F", {{5, 20, 0}, {5, 12, 0}}), (Ids{id}));
    EXPECT_TRUE(selectPoints("F", {{0, 16, 0}, {10, 16, 0}}).empty());
}

TEST_F(AdsSs, hidden_layers_are_not_selected_by_windows) {
    ZcDbObjectId shown = add(new ZcDbLine({0, 0, 0}, {1, 0, 0}), "Widoczna");
    add(new ZcDbLine({0, 1, 0}, {1, 1, 0}), "Zamrozona");
    ZcDbLayerTableRecord* layer = nullptr;
    ASSERT_EQ(zcdbOpenObject(layer, db()->recordId(db()->layerTableId(), "Zamrozona"), ZcDb::kForWrite),
              Zcad::eOk);
    layer->setIsFrozen(true);
    layer->close();
    EXPECT_EQ(select("C", {-1, -1, 0}, {2, 2, 0}), (Ids{shown}));
    EXPECT_EQ(selectX(nullptr).size(), 2u);  // "X" sees every entity
}

TEST_F(AdsSs, last_and_previous_sets) {
    Sample s = fill([](ZcDbEntity* e, const char* l) { return add(e, l); });
    ads_name ss;
    ASSERT_EQ(zcedSSGet("_L", nullptr, nullptr, nullptr, ss), RTNORM);
    EXPECT_EQ(members(RTNORM, ss), (Ids{s.redLine}));
    selectX(zcutBuildList(RTDXF0, "CIRCLE", 0));
    ASSERT_EQ(zcedSSGet("P", nullptr, nullptr, nullptr, ss), RTNORM);
    EXPECT_EQ(members(RTNORM, ss), (Ids{s.smallCircle, s.bigCircle}));
    // An empty selection is an error and keeps the previous set.
    EXPECT_EQ(zcedSSGet("W", std::vector<double>{100, 100, 0}.data(), std::vector<double>{101, 101, 0}.data(),
                        nullptr, ss),
              RTERROR);
    resbuf* layer = zcutBuildList(8, "Okna", 0);
    ASSERT_EQ(zcedSSGet("P", nullptr, nullptr, layer, ss), RTNORM);
    EXPECT_EQ(members(RTNORM, ss), (Ids{s.bigCircle}));
    zcutRelRb(layer);
    EXPECT_EQ(zcedSSGet("Q", nullptr, nullptr, nullptr, ss), RTERROR);
}

TEST_F(AdsSs, set_functions_keep_order_and_membership) {
    Sample s = fill([](ZcDbEntity* e, const char* l) { return add(e, l); });
    ads_name a, b, c, ss, got;
    zcdbGetAdsName(a, s.arc);
    zcdbGetAdsName(b, s.wallLine);
    zcdbGetAdsName(c, s.bigCircle);
    ASSERT_EQ(zcedSSAdd(nullptr, nullptr, ss), RTNORM);
    std::int32_t n = -1;
    ASSERT_EQ(zcedSSLength(ss, &n), RTNORM);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(zcedSSAdd(a, ss, ss), RTNORM);
    EXPECT_EQ(zcedSSAdd(b, ss, ss), RTNORM);
    EXPECT_EQ(zcedSSAdd(a, ss, ss), RTNORM);  // once only
    long len = 0;
    zcedSSLength(ss, &len);
    EXPECT_EQ(len, 2);
    ASSERT_EQ(zcedSSName(ss, 1, got), RTNORM);
    EXPECT_TRUE(ads_name_equal(got, b));
    EXPECT_EQ(zcedSSName(ss, 2, got), RTERROR);
    EXPECT_EQ(zcedSSMemb(a, ss), RTNORM);
    EXPECT_EQ(zcedSSMemb(c, ss), RTERROR);
    EXPECT_EQ(zcedSSDel(a, ss), RTNORM);
    EXPECT_EQ(zcedSSDel(a, ss), RTERROR);
    ASSERT_EQ(zcedSSName(ss, 0, got), RTNORM);
    EXPECT_TRUE(ads_name_equal(got, b));
    ads_name single;
    ASSERT_EQ(zcedSSAdd(c, nullptr, single), RTNORM);
    EXPECT_EQ(zcedSSMemb(c, single), RTNORM);
    EXPECT_EQ(zcedSSFree(ss), RTNORM);
    EXPECT_EQ(zcedSSFree(ss), RTERROR);
    EXPECT_EQ(zcedSSLength(ss, &n), RTERROR);
    EXPECT_EQ(zcedSSFree(single), RTNORM);
}

TEST_F(AdsSs, sets_of_a_closed_drawing_read_as_freed) {
    ZcDbDatabase* mine = db();
    ads_name ss, pick;
    {
        auto other = std::make_unique<ZcDbDatabase>();
        zcdbSetCurDwg(other.get());
        add(new ZcDbLine({0, 0, 0}, {1, 0, 0}));
        ASSERT_EQ(zcedSSGet("X", nullptr, nullptr, nullptr, ss), RTNORM);
        ASSERT_EQ(zcedSSGet("X", nullptr, nullptr, nullptr, pick), RTNORM);
        zcedSSSetFirst(pick, nullptr);
        zcdbSetCurDwg(mine);
    }
    std::int32_t n = 0;
    EXPECT_EQ(zcedSSLength(ss, &n), RTERROR);
    ads_name got;
    EXPECT_EQ(zcedSSGet("P", nullptr, nullptr, nullptr, got), RTERROR);
    EXPECT_EQ(zcedSSGet("I", nullptr, nullptr, nullptr, got), RTERROR);
    resbuf* pset = nullptr;
    zcedSSGetFirst(nullptr, &pset);
    EXPECT_EQ(pset, nullptr);
    // "A" takes what is visible in this drawing.
    ZcDbObjectId line = add(new ZcDbLine({0, 0, 0}, {1, 0, 0}));
    ASSERT_EQ(zcedSSGet("_A", nullptr, nullptr, nullptr, got), RTNORM);
    EXPECT_EQ(members(RTNORM, got), (Ids{line}));
}

TEST_F(AdsSs, an_arc_seen_from_below_lies_where_its_normal_puts_it) {
    // Normal -Z mirrors the object coordinates: OCS (x, y) is world (-x, y),
    // so a quarter arc from 0 to 90 degrees runs through the upper left.
    ZcDbObjectId arc = add(new ZcDbArc({0, 0, 0}, {0, 0, -1}, 10, 0, 3.14159265358979 / 2));
    EXPECT_EQ(select("W", {-11, -1, 0}, {1, 11, 0}), (Ids{arc}));
    EXPECT_TRUE(select("C", {1, 1, 0}, {11, 11, 0}).empty());
    EXPECT_EQ(select("C", {-8, 6, 0}, {-6, 8, 0}), (Ids{arc}));  // around world (-7.07, 7.07)
}

// The kind, layer and linetype are compared where the entity keeps them:
// long names with Polish letters, case ignored, the inequality and ordering
// operators, and the linetype's own name.
TEST_F(AdsSs, kind_layer_and_linetype_compare_in_place) {
    const ZcDbObjectId walls = add(new ZcDbLine({0, 0, 0}, {1, 0, 0}), "Ściany nośne zewnętrzne");
    const ZcDbObjectId roof = add(new ZcDbCircle({5, 0, 0}, {0, 0, 1}, 1), "Dach");
    auto* dashed = new ZcDbLine({0, 2, 0}, {1, 2, 0});
    dashed->setLinetype("Kreskowa");
    const ZcDbObjectId edge = add(dashed, "Dach");
    EXPECT_EQ(selectX(zcutBuildList(8, "ŚCIANY NOŚNE*", 0)), (Ids{walls}));
    EXPECT_EQ(selectX(zcutBuildList(8, "ściany nośne zewnętrzne", 0)), (Ids{walls}));
    EXPECT_EQ(selectX(zcutBuildList(-4, "!=", RTDXF0, "line", 0)), (Ids{roof}));
    EXPECT_EQ(selectX(zcutBuildList(-4, "<", 8, "E", 0)), (Ids{roof, edge}));
    EXPECT_EQ(selectX(zcutBuildList(-4, ">=", 8, "E", 0)), (Ids{walls}));
    EXPECT_EQ(selectX(zcutBuildList(6, "kresk*", 0)), (Ids{edge}));
    EXPECT_EQ(selectX(zcutBuildList(6, "BYLAYER", 0)), (Ids{walls, roof}));
}

// A selection by kind alone reads the classes the drawing's list keeps:
// entities added, erased or of a kind the filter names only through a
// wildcard or a NOT must come out as a selection that opens each entity
// would give, in database order, and the set it makes must answer the set
// functions like any other.
TEST_F(AdsSs, selection_by_kind_follows_changes_and_makes_a_full_set) {
    Sample s = fill([](ZcDbEntity* e, const char* l) { return add(e, l); });
    EXPECT_EQ(selectX(zcutBuildList(RTDXF0, "LINE", 0)), (Ids{s.wallLine, s.windowLine, s.redLine}));
    // Added after the first selection: found, and the kinds read before kept.
    const ZcDbObjectId late = add(new ZcDbLine({0, 20, 0}, {1, 20, 0}));
    ZcDbEntity* e = nullptr;
    ASSERT_EQ(zcdbOpenObject(e, s.windowLine, ZcDb::kForWrite), Zcad::eOk);
    EXPECT_EQ(e->erase(), Zcad::eOk);
    e->close();
    EXPECT_EQ(selectX(zcutBuildList(RTDXF0, "line", 0)), (Ids{s.wallLine, s.redLine, late}));
    EXPECT_EQ(selectX(zcutBuildList(RTDXF0, "*C*", 0)), (Ids{s.smallCircle, s.bigCircle, s.arc}));
    EXPECT_EQ(selectX(zcutBuildList(-4, "<NOT", RTDXF0, "LINE,ARC", -4, "NOT>", 0)),
              (Ids{s.smallCircle, s.bigCircle}));
    EXPECT_TRUE(selectX(zcutBuildList(RTDXF0, "TEXT", 0)).empty());

    ads_name ss, a, b;
    resbuf* lines = zcutBuildList(RTDXF0, "LINE", 0);
    const int rc = zcedSSGet("X", nullptr, nullptr, lines, ss);
    zcutRelRb(lines);
    ASSERT_EQ(rc, RTNORM);
    zcdbGetAdsName(a, late);
    zcdbGetAdsName(b, s.arc);
    EXPECT_EQ(zcedSSMemb(a, ss), RTNORM);
    EXPECT_EQ(zcedSSMemb(b, ss), RTERROR);
    EXPECT_EQ(zcedSSAdd(a, ss, ss), RTNORM);  // already in: not twice
    EXPECT_EQ(zcedSSAdd(b, ss, ss), RTNORM);
    EXPECT_EQ(zcedSSDel(a, ss), RTNORM);
    EXPECT_EQ(host::selectionMembers(ss), (Ids{s.wallLine, s.redLine, s.arc}));
    EXPECT_EQ(host::previousSelection(), (Ids{s.wallLine, s.redLine, late}));
    zcedSSFree(ss);
}

// Filters are compiled once per list and kept: a list changed in place, or
// another differing in one value, a string's case or an operator, selects
// by what it says now, as does the same list again after many others.
TEST_F(AdsSs, a_kept_filter_serves_only_the_list_it_was_compiled_from) {
    Sample s = fill([](ZcDbEntity* e, const char* l) { return add(e, l); });
    const host::ResbufList byLayer(zcutBuildList(8, "Okna", 62, 256, 0));
    auto selectKept = [](const resbuf* filter) {
        ads_name ss;
        return members(zcedSSGet("X", nullptr, nullptr, filter, ss), ss);
    };
    EXPECT_EQ(selectKept(byLayer.get()), (Ids{s.windowLine, s.bigCircle}));
    host::rbSetString(byLayer.get(), "Mury$*");
    EXPECT_EQ(selectKept(byLayer.get()), (Ids{s.wallLine, s.smallCircle}));
    byLayer->rbnext->resval.rint = 1;
    EXPECT_EQ(selectKept(byLayer.get()), (Ids{s.redLine}));
    host::rbSetString(byLayer.get(), "Mury$0");
    EXPECT_TRUE(selectKept(byLayer.get()).empty());
    byLayer->rbnext->resval.rint = 256;
    EXPECT_EQ(selectKept(byLayer.get()), (Ids{s.wallLine, s.smallCircle}));
    // Radii past 2, then at most 2: one operator apart.
    const host::ResbufList bigger(zcutBuildList(RTDXF0, "CIRCLE", -4, ">", 40, 2.0, 0));
    EXPECT_EQ(selectKept(bigger.get()), (Ids{s.bigCircle}));
    host::rbSetString(bigger->rbnext, "<=");
    EXPECT_EQ(selectKept(bigger.get()), (Ids{s.smallCircle}));
    bigger->rbnext->rbnext->resval.rreal = 0.5;
    EXPECT_TRUE(selectKept(bigger.get()).empty());
    // Many other lists in between: the first is compiled again if need be.
    for (int i = 0; i < 600; ++i) {
        const host::ResbufList other(zcutBuildList(8, ("Warstwa" + std::to_string(i)).c_str(), 0));
        EXPECT_TRUE(selectKept(other.get()).empty());
    }
    EXPECT_EQ(selectKept(byLayer.get()), (Ids{s.wallLine, s.smallCircle}));
}
