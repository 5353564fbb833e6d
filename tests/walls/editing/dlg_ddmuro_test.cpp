// The wall properties palette: what it shows for the walls of the pick-first
// selection, what Apply writes, what it refuses, and its life with the
// selection, the document and the command that opens it. Also the script
// line that makes the pick-first selection.
#include "walls/editing/dlg_ddmuro.h"

#include <string>
#include <vector>

#include "core/entity_data.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/ui/driver.h"
#include "module/reactors.h"
#include "tests/walls/drawing/walls_fixture.h"

namespace {

// The wall line through a point of it (the last one drawn there).
bool LineAt(double x, double y, ads_name out) {
    bool found = false;
    WallsTest::ForEachSelected(zcutBuildList(RTDXF0, "LINE", 0), [&](const ads_name e) {
        Point3 a, b;
        host::ResbufList list(zcdbEntGet(e));
        const resbuf* p10 = FindRbCode(list.get(), 10);
        const resbuf* p11 = FindRbCode(list.get(), 11);
        if (!p10 || !p11) return;
        a = {p10->resval.rpoint[0], p10->resval.rpoint[1], 0};
        b = {p11->resval.rpoint[0], p11->resval.rpoint[1], 0};
        if (IsPointOnSegment({x, y, 0}, a, b)) {
            out[0] = e[0];
            out[1] = e[1];
            found = true;
        }
    });
    return found;
}

// Puts xdata of an application on an entity (after what it has).
void AddXData(const ads_name e, resbuf* xdata) {
    host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
    host::ResbufList list(zcdbEntGetX(e, apps.get()));
    resbuf* last = list.get();
    while (last->rbnext) last = last->rbnext;
    last->rbnext = xdata;
    ASSERT_EQ(zcdbEntMod(list.get()), RTNORM);
}

Wall3DXData Record(double x, double y) {
    ads_name e;
    Wall3DXData data;
    if (LineAt(x, y, e)) ReadWall3DXData(e, data);
    return data;
}

bool HasRecord(double x, double y) {
    ads_name e;
    if (!LineAt(x, y, e)) return false;
    host::ResbufList apps(zcutBuildList(RTSTR, kWall3DApp, 0));
    host::ResbufList list(zcdbEntGetX(e, apps.get()));
    return FindXDataApp(list.get(), kWall3DApp) != nullptr;
}

}  // namespace

class WallPaletteTest : public WallsTest {
protected:
    void SetUp() override {
        WallsTest::SetUp();
        // The palette hears of new pick-first selections through the
        // module's editor reactor, made when a drawing becomes current.
        EnsureEditorReactor();
        WallLine({0, 0}, {200, 0});
        WallLine({0, 100}, {200, 100});
        WallLine({0, 200}, {200, 200});
        RegisterXDataApp(kWall3DApp);
        RegisterXDataApp("ALTRO");
    }
    void TearDown() override {
        CloseWallPalette();
        WallsTest::TearDown();
    }
    static void Height(double y, double h) {
        ads_name e;
        ASSERT_TRUE(LineAt(100, y, e));
        AddXData(e, zcutBuildList(1001, kWall3DApp, 1040, h, 1040, 5.0, 1070, static_cast<short>(2), 1040,
                                  1.0, 1070, static_cast<short>(0), 0));
    }
};

TEST_F(WallPaletteTest, differing_heights_show_as_such_and_apply_keeps_each_while_writing_the_given_values) {
    Height(0, 250.0);
    Height(100, 300.0);
    run({"!select 100,0 100,100", "VELMDDWALL"});
    CDlgDDMuro* palette = WallPalette();
    ASSERT_NE(palette, nullptr) << transcript();
    EXPECT_EQ(palette->m_heightText, kDiffering);
    EXPECT_EQ(palette->m_byFloor, 0);
    EXPECT_EQ(palette->m_edgeVisibility, 2) << "both walls hide the upper edge";
    run({"!dialog 156 radio 1029 click 1230"});
    EXPECT_EQ(Record(100, 0).height, 250.0);
    EXPECT_EQ(Record(100, 100).height, 300.0);
    EXPECT_EQ(Record(100, 0).edgeVisibility, 1);
    EXPECT_EQ(Record(100, 100).edgeVisibility, 1);
    EXPECT_EQ(Record(100, 100).offset, 5.0);

    // A wall without the record counts as height 0, so it differs too.
    run({"!select 100,0 100,200"});
    EXPECT_EQ(WallPalette()->m_heightText, kDiffering) << "the palette follows the pick-first selection";
}

TEST_F(WallPaletteTest, another_applications_reals_are_no_height_and_a_short_record_is_completed) {
    ads_name e;
    ASSERT_TRUE(LineAt(100, 0, e));
    AddXData(e, zcutBuildList(1001, "ALTRO", 1040, 999.0, 0));
    ASSERT_TRUE(LineAt(100, 100, e));
    AddXData(e, zcutBuildList(1001, kWall3DApp, 1040, 320.0, 0));
    run({"!select 100,0", "VELMDDWALL"});
    ASSERT_NE(WallPalette(), nullptr);
    EXPECT_EQ(WallPalette()->m_heightText, "") << "999 belongs to another application";
    EXPECT_EQ(WallPalette()->m_byFloor, 1);

    run({"!select 100,100"});
    run({"!dialog 156 edit 1002 \"7\" click 1230"});
    const Wall3DXData data = Record(100, 100);
    EXPECT_EQ(data.height, 320.0) << "the height shown is written back as it was";
    EXPECT_EQ(data.offset, 7.0);
    EXPECT_EQ(data.edgeVisibility, 0);
}

TEST_F(WallPaletteTest, by_floor_writes_zero_a_typed_zero_is_refused_and_an_empty_selection_writes_nothing) {
    run({"!select 100,0", "VELMDDWALL"});
    ASSERT_NE(WallPalette(), nullptr);
    run({"!dialog 156 edit 1036 \"0\" click 1230"});
    EXPECT_FALSE(HasRecord(100, 0)) << "a height of 0 without by-floor is refused";
    ASSERT_FALSE(zcui::MessageBoxes().empty());
    EXPECT_EQ(zcui::MessageBoxes().back().text, "Nieprawidłowa wartość dla wysokości ściany");

    run({"!dialog 156 check 1228 click 1230"});
    ASSERT_TRUE(HasRecord(100, 0));
    EXPECT_EQ(Record(100, 0).height, 0.0);

    run({"!select", "!dialog 156 edit 1036 \"300\" click 1230"});
    EXPECT_FALSE(HasRecord(100, 100));
    EXPECT_FALSE(HasRecord(100, 200));
    EXPECT_EQ(Record(100, 0).height, 0.0) << "the empty selection wrote nothing";
}

TEST_F(WallPaletteTest, one_palette_at_a_time_closed_by_its_button_and_other_entities_left_out) {
    run({"_LINE", "0,500", "100,500", "", "!select 50,500 100,0", "VELMDDWALL"});
    ASSERT_NE(WallPalette(), nullptr);
    EXPECT_EQ(WallPalette()->m_walls.size(), 1u) << "a line off the wall layers is no wall";
    run({"VELMDDWALL"});
    EXPECT_NE(lastMessage().find("Jest już aktywne okno dialogowe z ustawieniami ściany 3D"),
              std::string::npos);
    run({"!dialog 156 click 1229"});
    EXPECT_EQ(WallPalette(), nullptr);
    run({"VELMDDWALL"});
    EXPECT_NE(WallPalette(), nullptr) << "a closed palette can be opened again";
}

TEST_F(WallPaletteTest, select_line_sets_and_clears_the_pick_first_set_and_erase_takes_it) {
    run({"!select 100,0 100,100"});
    EXPECT_EQ(host::pickFirstSet().size(), 2u);
    run({"!select"});
    EXPECT_TRUE(host::pickFirstSet().empty());
    run({"!select 100,200", "_ERASE"});
    EXPECT_EQ(Lines().size(), 2u) << transcript();
    EXPECT_EQ(transcript().find("Wybierz obiekty:"), std::string::npos);
}

TEST_F(WallPaletteTest, perimeter_makes_the_contours_walls_the_selection_and_refills_from_them) {
    run({"VELMWALLD", "0,500", "600,500", "600,900", "0,900", "Zamknij"});
    ads_name outer;
    ASSERT_TRUE(LineAt(300, 485, outer)) << transcript();
    AddXData(outer, zcutBuildList(1001, kWall3DApp, 1040, 310.0, 0));
    run({"!select 100,0", "VELMDDWALL"});
    ASSERT_NE(WallPalette(), nullptr);
    run({"!dialog 156 click 1231", "!pick 300,485"});
    EXPECT_EQ(host::pickFirstSet().size(), 4u) << transcript();
    EXPECT_EQ(WallPalette()->m_walls.size(), 4u);
    EXPECT_EQ(WallPalette()->m_heightText, kDiffering) << "one of the four has a height of its own";
}
