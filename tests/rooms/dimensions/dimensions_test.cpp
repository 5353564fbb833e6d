// Dimensioning on a room drawn with walls 30 thick on the axis rectangle
// 0..400 x 0..300 and a door 100 wide in its south wall: the option
// dialogs, the chains of host dimensions, the dimension symbols and marks,
// and dimension texts measured again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/entity_data.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/db/dbdatabase.h"
#include "host/db/dxffile.h"
#include "host/ed/grdraw.h"
#include "host/ui/driver.h"
#include "host/util/findfile.h"
#include "resources/velmresources.h"
#include "rooms/dimensions/dim_chains.h"
#include "rooms/dimensions/dim_dialogs.h"
#include "rooms/dimensions/dim_symbols.h"
#include "settings/rescale.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/support/velm_test.h"

namespace {

constexpr const char* kSymbols = "0=INSERT -3=VELM6$_$QUOTEINT-";

class DimensionsTest : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        const std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([root] {
            return std::vector<std::string>{root + "/support", root + "/support/host"};
        });
        loadModule();
    }
    void TearDown() override {
        zcui::RemoveDialogDriver(IDD_QE);
        host::setSupportPathProvider(nullptr);
        VelmTest::TearDown();
    }
    void Room(bool door = true) {
        run({"VELMWALLD", "0,0", "400,0", "400,300", "0,300", "Zamknij"});
        if (door) run({"VELMOBJECT", "P1", "!pick 200,15", "100", ""});
    }
    // The measured lengths of the symbols' records, sorted.
    static std::vector<double> SymbolLengths() {
        std::vector<double> out;
        resbuf* apps = zcutBuildList(RTSTR, kDimensionSymbolApp, 0);
        for (ZcDbObjectId id : modelSpace()) {
            ads_name e;
            if (zcdbGetAdsName(e, id) != Zcad::eOk) continue;
            resbuf* list = zcdbEntGetX(e, apps);
            const resbuf* app = FindXDataApp(list, kDimensionSymbolApp);
            // point, rotation, length
            if (app && app->rbnext && app->rbnext->rbnext && app->rbnext->rbnext->rbnext)
                out.push_back(std::round(app->rbnext->rbnext->rbnext->resval.rreal * 1000.0) / 1000.0);
            zcutRelRb(list);
        }
        zcutRelRb(apps);
        std::sort(out.begin(), out.end());
        return out;
    }
    // The attribute values of the elevation marks, sorted.
    static std::vector<std::string> MarkValues() {
        std::vector<std::string> out;
        for (ZcDbObjectId id : modelSpace()) {
            ads_name e;
            if (zcdbGetAdsName(e, id) != Zcad::eOk) continue;
            resbuf* list = zcdbEntGet(e);
            const resbuf* name = FindRbCode(list, 2);
            const bool mark = name && std::string(name->resval.rstring) == "VELM--AQ";
            zcutRelRb(list);
            ads_name attrib;
            if (!mark || zcdbEntNext(e, attrib) != RTNORM) continue;
            resbuf* a = zcdbEntGet(attrib);
            if (const resbuf* text = FindRbCode(a, 1)) out.push_back(text->resval.rstring);
            zcutRelRb(a);
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    static std::string DimStyle() {
        resbuf rb{};
        zcedGetVar("DIMSTYLE", &rb);
        std::string s = rb.resval.rstring ? rb.resval.rstring : "";
        zcutDelString(rb.resval.rstring);
        return s;
    }
};

// ---- dialogs ----

TEST_F(DimensionsTest, stored_style_missing_from_the_drawing_shows_the_current_one) {
    SetSettingString(SetupVar::SETCURSTILEQE, "GONE");
    std::string shown;
    zcui::InstallDialogDriver(IDD_QE, [&](zcui::DialogUser& user) {
        shown = user.Text(1457);
        user.Click(4);
    });
    CZcModuleResourceOverride use(VelmResourceHandle());
    CDlgQe dialog;
    dialog.LoadSettings();
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(shown, DimStyle());
    EXPECT_EQ(dialog.GetMode(), CDlgQe::kSurfaces);
}

TEST_F(DimensionsTest, both_end_buttons_store_and_cancel_stores_nothing) {
    SetSettingInt(SetupVar::SQEORIENT, 1);
    run({"!dialog 110 radio 1004 click 3"});
    run({"VELMDPLAN", "!cancel"});
    EXPECT_EQ(SettingInt(SetupVar::SQEORIENT), 2);
    run({"!dialog 110 radio 1002 edit 1143 \"X\" click 4", "VELMDPLAN", "!cancel"});
    EXPECT_EQ(SettingInt(SetupVar::SQEORIENT), 0);
    EXPECT_EQ(SettingString(SetupVar::LAYER_2DQUOTE), "X");
    run({"!dialog 110 radio 1003 edit 1143 \"Y\" cancel", "VELMDPLAN"});
    EXPECT_EQ(SettingInt(SetupVar::SQEORIENT), 0);
    EXPECT_EQ(SettingString(SetupVar::LAYER_2DQUOTE), "X");
}

TEST_F(DimensionsTest, picture_click_selects_its_radio_and_leaves_the_dialog_open) {
    int checked = -1;
    bool open = false;
    zcui::InstallDialogDriver(IDD_QE, [&](zcui::DialogUser& user) {
        user.Click(1015);
        open = !user.Ended();
        checked = user.Checked(1004);
        user.Cancel();
    });
    CZcModuleResourceOverride use(VelmResourceHandle());
    CDlgQe dialog;
    dialog.LoadSettings();
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(open);
    EXPECT_EQ(checked, 1);
}

// ---- chains ----

TEST_F(DimensionsTest, plan_crossings_give_one_span_per_wall_and_the_room) {
    Room(false);
    run({"!dialog 110 radio 1002 click 3", "VELMDPLAN", "200,-100", "-50,150", "450,150", "", ""});
    EXPECT_EQ(count("0=DIMENSION"), 3) << transcript();
}

TEST_F(DimensionsTest, plan_crossings_skip_lines_along_the_direction_and_hidden_layers) {
    // A line along the dimension and one across it on a frozen layer.
    run({"_LINE", "-100,150", "500,160", ""});
    run({"_-LAYER", "_M", "HIDDEN", ""});
    run({"_LINE", "100,-200", "100,400", ""});
    run({"_-LAYER", "_S", "0", "_F", "HIDDEN", ""});
    run({"_LINE", "300,-200", "300,400", ""});
    VertexNode* points = nullptr;
    push({"-50,150", "450,150", ""});
    points = SequenceIntersectionPoints(true, 0.0, 0.0);
    ASSERT_NE(points, nullptr) << transcript();
    EXPECT_EQ(CountNodes(points), 1);
    EXPECT_NEAR(points->x, 300.0, 1e-9);
    FreeList(points);
}

TEST_F(DimensionsTest, vertex_chain_of_one_point_draws_nothing_and_clears_its_line) {
    run({"VELMDV", "0", "0,-50", "100,0", ""});
    EXPECT_EQ(count("0=DIMENSION"), 0);
    EXPECT_TRUE(host::temporaryVectors().empty());
    run({"VELMDV", "0", "0,-50", "0,0", "100,0", "", ""});
    EXPECT_EQ(count("0=DIMENSION"), 1) << transcript();
}

TEST_F(DimensionsTest, room_chain_crosses_the_room_with_the_door_jambs) {
    Room();
    // Nearer the south wall, so the walk round the room takes it.
    run({"!dialog 155 radio 1002 radio 1010 ok", "VELMDPROOM", "200,100", ""});
    // 15..115, the door 115..205, 205..385
    EXPECT_EQ(count("0=DIMENSION"), 3) << transcript();
}

TEST_F(DimensionsTest, elevation_walk_ringing_back_to_its_first_face_gives_nothing) {
    Room(false);
    Point3 line[2] = {{-1000, -100, 0}, {1000, -100, 0}};
    double level = 0.0;
    // From the south outer face to the north inner face: the outer faces
    // close a ring that never reaches the inner one.
    push({"!pick 200,-15", "!pick 200,285"});
    EXPECT_EQ(ElevationChainPoints(line, level, 0), nullptr) << transcript();
    // To the north outer face the walk arrives.
    push({"!pick 200,-15", "!pick 200,315"});
    VertexNode* points = ElevationChainPoints(line, level, 0);
    EXPECT_NE(points, nullptr) << transcript();
    FreeList(points);
}

// ---- symbols ----

TEST_F(DimensionsTest, a_door_splits_its_wall_and_a_second_pick_replaces_the_room_symbols) {
    Room();
    // The door, 90 wide, stands 100 from the west end of the south face.
    run({"!dialog 127 ok", "VELMDROOM", "200,150", "", ""});
    EXPECT_EQ(SymbolLengths(), (std::vector<double>{100.0, 180.0, 270.0, 270.0, 370.0})) << transcript();
    run({"!dialog 127 radio 1006 ok", "VELMDROOM", "200,150", "", ""});
    EXPECT_EQ(SymbolLengths(), (std::vector<double>{270.0, 270.0, 370.0, 370.0})) << transcript();
}

// A symbol is drawn from its measure alone: no parameter dialog per
// symbol, and with parameters asked on the command line no prompt eats the
// command's own answers.
TEST_F(DimensionsTest, symbols_ask_for_no_parameters) {
    Room();
    run({"!dialog 127 ok", "VELMDROOM", "200,150", "", ""});
    EXPECT_EQ(SymbolLengths().size(), 5u) << transcript();
    EXPECT_EQ(transcript().find("[okno 150]"), std::string::npos) << transcript();
    RescaleQuoteIntBlocks();
    EXPECT_EQ(transcript().find("[okno 150]"), std::string::npos) << transcript();

    SetSettingInt(SetupVar::DLGOGGETTO, 0);
    run({"!dialog 127 ok", "VELMDROOM", "200,150", "", ""});
    EXPECT_EQ(SymbolLengths(), (std::vector<double>{100.0, 180.0, 270.0, 270.0, 370.0})) << transcript();
    EXPECT_EQ(transcript().find("Nazwa ustawionych parametrów"), std::string::npos) << transcript();
}

// The print-scale update draws each symbol again from its record through
// the hook the rooms module sets: one new symbol per old one, none kept
// twice, and a record naming a definition that is gone keeps its symbol.
TEST_F(DimensionsTest, rescale_makes_each_symbol_again_once) {
    Room();
    run({"!dialog 127 ok", "VELMDROOM", "200,150", "", ""});
    const std::vector<double> before = SymbolLengths();
    ASSERT_EQ(before.size(), 5u) << transcript();
    const std::vector<ZcDbObjectId> old = modelSpace();
    RescaleQuoteIntBlocks();
    EXPECT_EQ(SymbolLengths(), before);
    int made = 0;
    for (ZcDbObjectId id : modelSpace())
        if (std::find(old.begin(), old.end(), id) == old.end()) ++made;
    EXPECT_EQ(made, 5);
    ASSERT_FALSE(CreateDimensionSymbol({0, 0, 0}, 0.0, 10.0, 2, "key_qd_gone", 0.0));
    EXPECT_NE(transcript().find("Błąd generowania obiektu wymiaru: key_qd_gone"), std::string::npos);
}

TEST_F(DimensionsTest, symbols_of_another_floor_in_the_outline_stay) {
    Room(false);
    ASSERT_TRUE(CreateDimensionSymbol({200, 150, 300}, 0.0, 77.0, 2, "key_qd2", 300.0));
    run({"!dialog 127 ok", "VELMDROOM", "200,150", "", ""});
    EXPECT_EQ(SymbolLengths(), (std::vector<double>{77.0, 270.0, 270.0, 370.0, 370.0})) << transcript();
}

TEST_F(DimensionsTest, removal_prompt_erases_only_symbols) {
    Room();
    run({"!dialog 127 ok", "VELMDROOM", "200,150", "_C", "-100,-100", "500,400", "", ""});
    EXPECT_EQ(count(kSymbols), 0);
    EXPECT_GT(count("0=LINE"), 0);
    EXPECT_EQ(count("0=INSERT -3=VELM5$_$PARAMETRI-"), 1);
}

TEST_F(DimensionsTest, broken_segment_pointing_left_is_measured_from_its_second_end) {
    run({"_LINE", "300,0", "100,0", ""});
    run({"VELMDBROKEN", "!pick 250,0", ""});
    ASSERT_EQ(count(kSymbols), 1) << transcript();
    resbuf* apps = zcutBuildList(RTSTR, kDimensionSymbolApp, 0);
    resbuf* list = nullptr;
    for (ZcDbObjectId id : modelSpace()) {
        ads_name e;
        if (zcdbGetAdsName(e, id) != Zcad::eOk) continue;
        zcutRelRb(list);
        list = zcdbEntGetX(e, apps);
        if (FindXDataApp(list, kDimensionSymbolApp)) break;
    }
    const resbuf* app = FindXDataApp(list, kDimensionSymbolApp);
    ASSERT_NE(app, nullptr);
    // base 100,0 moved 30 along the normal of the direction pi (downwards)
    EXPECT_NEAR(app->rbnext->resval.rpoint[0], 100.0, 1e-9);
    EXPECT_NEAR(app->rbnext->resval.rpoint[1], -30.0, 1e-9);
    EXPECT_NEAR(app->rbnext->rbnext->resval.rreal, 0.0, 1e-9);
    EXPECT_NEAR(app->rbnext->rbnext->rbnext->resval.rreal, 200.0, 1e-9);
    zcutRelRb(list);
    zcutRelRb(apps);
}

TEST_F(DimensionsTest, broken_chain_follows_lines_joined_end_to_end_and_skips_arcs) {
    run({"_LINE", "0,0", "200,0", "200,100", ""});
    run({"_ARC", "200,100", "150,150", "100,100"});
    run({"_LINE", "500,500", "600,500", ""});
    run({"VELMDBROKEN", "!pick 50,0", ""});
    EXPECT_EQ(SymbolLengths(), (std::vector<double>{100.0, 200.0})) << transcript();
}

TEST_F(DimensionsTest, missing_symbol_definition_is_reported) {
    SetSettingInt(SetupVar::CQUOTETIPO, 7);
    run({"!dialog 127 ok", "VELMDROOM", "200,150", ""});
    EXPECT_NE(transcript().find("key_qd8: Pliku nie znaleziono"), std::string::npos) << transcript();
}

TEST_F(DimensionsTest, elevation_marks_use_the_stored_reference_on_enter) {
    run({"VELMDELEV", "0,100", "50", "500,300", ""});
    run({"VELMDELEV", "", "500,0", ""});
    EXPECT_EQ(count("0=INSERT 2=VELM--AQ"), 2) << transcript();
    // The drawing's precision with its trailing zeros dropped (DIMZIN 8).
    EXPECT_EQ(MarkValues(), (std::vector<std::string>{"-50", "250"}));
}

// Cancelled at the mark's point, the command leaves the drawing as it was:
// no layer for marks, no reference point or value kept.
TEST_F(DimensionsTest, elevation_marks_cancelled_at_the_point_leave_the_drawing_as_it_was) {
    const double value = SettingReal(SetupVar::QUOTE_VRIFZERO, 0.0);
    run({"VELMDELEV", "0,100", "50", "!cancel"});
    EXPECT_EQ(count("0=INSERT 2=VELM--AQ"), 0);
    EXPECT_EQ(host::writeDxfText(db(), nullptr).find("2DELEV_DIM"), std::string::npos)
        << "a layer for no mark";
    EXPECT_EQ(SettingReal(SetupVar::QUOTE_VRIFZERO, 0.0), value) << "a reference of a command cancelled";
}

// ---- dimension text upkeep ----

TEST_F(DimensionsTest, only_texts_with_a_height_override_are_measured_again) {
    run({"VELMDV", "0", "0,-50", "0,0", "100,0", "", ""});
    ASSERT_EQ(count("0=DIMENSION"), 1) << transcript();
    ads_name dim;
    zcdbEntLast(dim);
    auto textOf = [&] {
        resbuf* l = zcdbEntGet(dim);
        const resbuf* t = FindRbCode(l, 1);
        std::string s = t && t->resval.rstring ? t->resval.rstring : "";
        zcutRelRb(l);
        return s;
    };
    auto setText = [&](const char* text) {
        resbuf* l = zcdbEntGet(dim);
        l = ReplaceRb(l, 1, text);
        zcdbEntMod(l);
        zcutRelRb(l);
    };
    for (const char* kept : {"<>", "75"}) {
        setText(kept);
        UpdateDimensionText(dim);
        EXPECT_EQ(textOf(), kept);
    }
    setText("75\\H1.0;\\S^");
    UpdateDimensionText(dim);
    EXPECT_EQ(textOf().rfind("100\\H", 0), 0u) << textOf();
}

}  // namespace
