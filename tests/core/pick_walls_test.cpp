#include "core/pick_walls.h"

#include <gtest/gtest.h>

#include <string>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/db/dbhatch.h"
#include "host/db/dbmain.h"
#include "store/settings_store.h"
#include "tests/support/velm_test.h"

namespace {

// A drawing with its settings (the default wall layer "2DWALLS", levels
// on) and entities made through the entity interface.
class PickWalls : public VelmTest {
protected:
    void SetUp() override {
        RegisterStoreClasses();
        VelmTest::SetUp();
    }
    void TearDown() override {
        VelmTest::TearDown();
        UnregisterStoreClasses();
    }
    static void Line(const char* layer, double x1, double y1, double x2, double y2) {
        ads_point a{x1, y1, 0}, b{x2, y2, 0};
        resbuf* list = zcutBuildList(RTDXF0, "LINE", 8, layer, 10, a, 11, b, 0);
        ASSERT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    }
    static void Arc(const char* layer, double cx, double cy, double r) {
        ads_point c{cx, cy, 0};
        resbuf* list = zcutBuildList(RTDXF0, "ARC", 8, layer, 10, c, 40, r, 50, 0.0, 51, 3.0, 0);
        ASSERT_EQ(zcdbEntMake(list), RTNORM);
        zcutRelRb(list);
    }
    int Pick(const std::string& type, std::string& layer, std::string& keywords, ads_point at = nullptr) {
        ads_name e;
        return PickLinesAndArcs(type, "\nWybierz ścianę: ", e, 0.0, layer, keywords, at);
    }
};

}  // namespace

TEST_F(PickWalls, a_pick_on_a_wall_line_finds_it_with_its_layer_and_snapped_point) {
    Line("VELM2DWALLS$0", 0, 0, 10, 0);
    push("!pick 5,0");
    std::string layer, kw;
    ads_point at{-1, -1, -1};
    EXPECT_EQ(Pick("LINE", layer, kw, at), 1);
    EXPECT_EQ(layer, "VELM2DWALLS$0");
    EXPECT_NEAR(at[0], 5.0, 1e-9);
    EXPECT_NEAR(at[1], 0.0, 1e-9);
}

TEST_F(PickWalls, a_pick_in_empty_space_asks_again_without_a_message) {
    Line("VELM2DWALLS$0", 0, 0, 10, 0);
    push({"!pick 500,500", "!pick 5,0"});
    std::string layer, kw;
    EXPECT_EQ(Pick("TUTTO", layer, kw), 1);
    std::size_t first = transcript().find("Wybierz ścianę");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(transcript().find("Wybierz ścianę", first + 1), std::string::npos);
}

TEST_F(PickWalls, a_hatch_lying_over_the_wall_line_is_passed_over_by_the_window_search) {
    Line("VELM2DWALLS$0", 0, 0, 10, 0);
    auto* h = new ZcDbHatch;
    h->setPattern(ZcDbHatch::kPreDefined, "SOLID");
    h->appendLoop(ZcDbHatch::kExternal | ZcDbHatch::kPolyline,
                  std::vector<ZcGePoint2d>{{0, 0}, {10, 0}, {10, 5}, {0, 5}, {0, 0}});
    ZcDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(zcdbOpenObject(ms, db()->modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
    h->setDatabaseDefaults(db());
    h->setLayer("0");
    ASSERT_EQ(ms->appendZcDbEntity(h), Zcad::eOk);
    h->close();
    ms->close();
    push("!pick 5,0.01");
    std::string layer, kw;
    ads_name e;
    EXPECT_EQ(PickLinesAndArcs("LINE", "\nWybierz ścianę: ", e, 0.0, layer, kw, nullptr), 1);
    resbuf* list = zcdbEntGet(e);
    EXPECT_STREQ(list->rbnext->resval.rstring, "LINE");
    zcutRelRb(list);
}

TEST_F(PickWalls, free_lines_and_other_levels_give_nothing) {
    Line("RYSUNEK", 0, 0, 10, 0);
    Line("VELM2DWALLS$300", 0, 20, 10, 20);
    push({"!pick 5,0", "!pick 5,20"});
    std::string layer, kw;
    EXPECT_EQ(Pick("LINE", layer, kw), 0);
    EXPECT_EQ(Pick("LINE", layer, kw), 0);
}

TEST_F(PickWalls, either_type_accepts_a_wall_arc_and_line_type_refuses_it) {
    Arc("VELM2DWALLS$0", 0, 0, 10);
    push({"!pick 10,0", "!pick 10,0"});
    std::string layer, kw;
    EXPECT_EQ(Pick("LINE", layer, kw), 0);
    EXPECT_EQ(Pick("tutto", layer, kw), 1);
}

TEST_F(PickWalls, keywords_and_cancel_end_the_pick) {
    push({"Koniec", "!cancel"});
    std::string layer, kw = "Koniec";
    EXPECT_EQ(Pick("LINE", layer, kw), -2);
    EXPECT_EQ(kw, "Koniec");
    EXPECT_EQ(Pick("LINE", layer, kw), -1);
}
