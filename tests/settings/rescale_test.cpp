// The unit change over every stored length, the print-scale dialog, and the
// updates run after it, with recording stand-ins for the rebuilders of the
// higher folders.
#include "settings/rescale.h"

#include <algorithm>
#include <set>
#include <vector>

#include "core/base/module_state.h"
#include "core/hatch.h"
#include "core/host_services.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/db/dxffile.h"
#include "host/ui/driver.h"
#include "resources/velmresources.h"
#include "settings/dialogs/dlg_fscala.h"
#include "settings/floors.h"
#include "tests/settings/drawing_fixture.h"

namespace {

// Written out from the list of length settings, not from the code: a slot
// missing from or added to the code's list fails.
std::set<int> LengthSlots() {
    std::set<int> s = {4,   5,   17,  18,  32,  33,  41,  45,  46,  58,  62,  63,
                       67,  69,  70,  72,  151, 178, 189, 190, 192, 193, 196, 197,
                       208, 211, 212, 219, 220, 223, 224, 251, 293, 298, 299, 307};
    auto range = [&](int a, int b) {
        for (int i = a; i <= b; ++i) s.insert(i);
    };
    range(21, 24);
    range(26, 30);
    range(53, 55);
    range(84, 91);
    range(104, 107);
    range(141, 147);
    range(162, 169);
    range(171, 174);
    range(184, 186);
    range(284, 287);
    return s;
}

class Rescale : public DrawingSettings {
protected:
    void SetUp() override {
        DrawingSettings::SetUp();
        zcui::ResetUi();
        AfxSetResourceHandle(VelmResourceHandle());
        SetSharedTolerance(0.001);
    }
    void TearDown() override {
        SetRegenParamObjectHook(nullptr);
        SetDimensionSymbolHook(nullptr);
        SetRoomRebuildHook(nullptr);
        SetFloorWallLayersHook(nullptr);
        SetSharedTolerance(0.001);
        AfxSetResourceHandle(nullptr);
        zcui::ResetUi();
        DrawingSettings::TearDown();
    }
    // Every real slot a value of its own (slot 5, the unit, 1.0).
    static void FillReals() {
        VELM_SETUP* s = OpenSetupObject(false);
        ASSERT_NE(s, nullptr);
        for (int i = 0; i < kSetupVarCount; ++i) s->setReal(i, 1000.0 + i);
        s->setReal(SetupVar::SFTMTCM, 1.0);
        s->close();
    }
    static VELM_SETUP Store() {
        VELM_SETUP* s = OpenSetupObject(true);
        VELM_SETUP copy(*s);
        s->close();
        return copy;
    }
    static AAR_FSCALA Scales() {
        VELM_FSCALA* f = OpenFScalaObject();
        AAR_FSCALA copy = f->scales;
        f->close();
        return copy;
    }
    // A line carrying a record of the application.
    static void LineWith(const char* app, double x = 0.0) {
        zcdbRegApp(app);
        double a[3] = {x, 0, 0}, b[3] = {x + 10, 0, 0};
        resbuf* e = zcutBuildList(RTDXF0, "LINE", 10, a, 11, b, -3, 1001, app, 1000, "x", 0);
        ASSERT_EQ(zcdbEntMake(e), RTNORM);
        zcutRelRb(e);
    }
};

}  // namespace

TEST_F(Rescale, centimetres_to_metres_scales_exactly_the_length_settings) {
    FillReals();
    {
        VELM_SETUP* s = OpenSetupObject(false);
        s->setInt(16, 2);
        s->close();
    }
    if (VELM_PIANI* p = OpenPianiObject(false)) {
        p->piani.floors = {AA_PIANO{}, AA_PIANO{}};
        p->piani.floors[0].elevation = 300.0;
        p->piani.floors[0].height = 280.0;
        p->piani.floors[1].height = 300.0;
        p->close();
    }
    const VELM_SETUP before = Store();
    const AAR_FSCALA scalesBefore = Scales();

    ApplyDrawingUnitFactor(0.01);

    const VELM_SETUP after = Store();
    const std::set<int> lengths = LengthSlots();
    ASSERT_EQ(lengths.size(), 86u);
    for (int i = 0; i < kSetupVarCount; ++i) {
        double was = 0.0, now = 0.0;
        if (!before.getReal(i, was)) continue;
        ASSERT_TRUE(after.getReal(i, now));
        if (i == SetupVar::SRAPPORTO_UM)
            EXPECT_DOUBLE_EQ(now, 1.0);
        else if (i == 14 || i == 15)
            EXPECT_DOUBLE_EQ(now, was * 0.0001) << "slot " << i;
        else if (lengths.count(i))
            EXPECT_DOUBLE_EQ(now, was * 0.01) << "slot " << i;
        else
            EXPECT_EQ(now, was) << "slot " << i;
    }
    double unit = 0.0;
    ASSERT_TRUE(after.getReal(SetupVar::SFTMTCM, unit));
    EXPECT_DOUBLE_EQ(unit, 0.01);
    for (int slot : {16, 20, 74}) {
        int d = -1;
        ASSERT_TRUE(after.getInt(slot, d));
        EXPECT_EQ(d, 2) << "slot " << slot;
    }
    const AAR_FSCALA scalesAfter = Scales();
    ASSERT_EQ(scalesAfter.records.size(), scalesBefore.records.size());
    for (std::size_t r = 0; r < scalesAfter.records.size(); ++r) {
        for (int e = 0; e < kScaleEntryCount; ++e) {
            const double was = scalesBefore.records[r].values[e];
            const double expected = (e == 1 || e == 4) ? was : was * 0.01;
            EXPECT_DOUBLE_EQ(scalesAfter.records[r].values[e], expected) << "entry " << e;
        }
    }
    VELM_PIANI* p = OpenPianiObject(true);
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->piani.floors.size(), 2u);
    EXPECT_EQ(p->piani.floors[0].elevation, 300.0);
    EXPECT_DOUBLE_EQ(p->piani.floors[0].height, 2.8);
    EXPECT_DOUBLE_EQ(p->piani.floors[1].height, 3.0);
    p->close();
    VELM_SPESSMURI* w = OpenSpessMuriObject();
    EXPECT_DOUBLE_EQ(w->thicknesses[0], 0.3);
    EXPECT_DOUBLE_EQ(w->thicknesses[4], 0.4);
    w->close();
    // Comparisons follow the new unit.
    EXPECT_DOUBLE_EQ(SharedTolerance, 0.00001);
}

TEST_F(Rescale, factor_below_tolerance_changes_nothing_and_decimals_follow_the_factor) {
    FillReals();
    const VELM_SETUP before = Store();
    ApplyDrawingUnitFactor(0.0005);
    ApplyDrawingUnitFactor(-1.0);
    const VELM_SETUP after = Store();
    for (int i = 0; i < kSetupVarCount; ++i) {
        double was = 0.0, now = 0.0;
        if (before.getReal(i, was) && after.getReal(i, now)) {
            EXPECT_EQ(now, was) << "slot " << i;
        }
    }
    EXPECT_EQ(SharedTolerance, 0.001);

    ApplyDrawingUnitFactor(0.001);
    EXPECT_EQ(SettingInt(20, -1), 3);
    EXPECT_EQ(SettingInt(74, -1), 3);
    ApplyDrawingUnitFactor(10.0);
    EXPECT_EQ(SettingInt(16, -1), 0);
    // 1 to 0.001, then 0.001 to 10 (a ratio of 10000): ten times the start.
    EXPECT_DOUBLE_EQ(SettingReal(SetupVar::SFTMTCM), 10.0);
    EXPECT_DOUBLE_EQ(SettingReal(4), 1004.0 * 10.0);
}

TEST_F(Rescale, dialog_adds_a_copy_of_the_shown_scale_and_refuses_repeats_and_nonpositive_keys) {
    SetSettingInt(SetupVar::SFATSCALA, 50);
    CDlgFScala dlg;
    zcui::InstallDialogDriver(IDD_FSCALA, [&](zcui::DialogUser& u) {
        EXPECT_EQ(u.Text(104), "40");
        u.Edit(1046, "0");
        u.Click(5);
        u.Edit(1046, "-3");
        u.Click(5);
        EXPECT_EQ(u.Get<CListBox>(1047)->GetCount(), 2);
        u.Edit(1046, "100");
        u.Click(5);  // exists
        u.Edit(104, "12.5");
        u.Edit(1046, "200.7");
        u.Click(5);
        EXPECT_EQ(u.Get<CListBox>(1047)->GetCount(), 3);
        EXPECT_EQ(u.Text(104), "12.5");
        u.Ok();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    // The edit itself refuses 0 and -3 as they are typed; the dialog
    // refuses the repeated 100.
    ASSERT_FALSE(zcui::MessageBoxes().empty());
    EXPECT_EQ(zcui::MessageBoxes().back().text, "Współczynnik skali już istnieje");
    const AAR_FSCALA s = Scales();
    ASSERT_EQ(s.records.size(), 3u);
    EXPECT_EQ(s.records[2].key, 200);
    EXPECT_EQ(s.records[0].values[5], 12.5);  // stored when the copy was made
    EXPECT_EQ(s.records[2].values, s.records[0].values);
    EXPECT_EQ(SettingInt(SetupVar::SFATSCALA), 200);
}

TEST_F(Rescale, dialog_keeps_unedited_values_exact_and_cancel_writes_nothing) {
    {
        VELM_FSCALA* f = OpenFScalaObject();
        f->scales.records[0].values[0] = 1.0 / 3.0;
        f->close();
    }
    SetSettingInt(SetupVar::SFATSCALA, 50);
    CDlgFScala ok;
    zcui::InstallDialogDriver(IDD_FSCALA, [&](zcui::DialogUser& u) {
        u.Select(1047, std::string("100"));
        u.Select(1047, std::string("50"));
        u.Ok();
    });
    ASSERT_EQ(ok.DoModal(), IDOK);
    EXPECT_EQ(Scales().records[0].values[0], 1.0 / 3.0);

    CDlgFScala cancelled;
    zcui::InstallDialogDriver(IDD_FSCALA, [&](zcui::DialogUser& u) {
        u.Edit(104, "99");
        u.Select(1047, std::string("100"));
        u.Cancel();
    });
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(Scales().records[0].values[5], 40.0);
    EXPECT_EQ(SettingInt(SetupVar::SFATSCALA), 50);
}

TEST_F(Rescale, removing_scales_stops_at_the_last_and_the_next_becomes_current) {
    SetSettingInt(SetupVar::SFATSCALA, 100);
    CDlgFScala dlg;
    zcui::InstallDialogDriver(IDD_FSCALA, [&](zcui::DialogUser& u) {
        u.Click(1052);  // 100, the last: 50 is now last and current
        EXPECT_EQ(u.Get<CListBox>(1047)->GetCurSel(), 0);
        EXPECT_EQ(u.Text(104), "40");
        u.Click(1052);  // the only one left
        u.Check(1044, 1);
        u.Click(3);
        u.Ok();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    ASSERT_EQ(zcui::MessageBoxes().size(), 1u);
    EXPECT_EQ(zcui::MessageBoxes()[0].text, "Nie można usunąć ostatniego współczynnika skali");
    ASSERT_EQ(Scales().records.size(), 1u);
    EXPECT_EQ(SettingInt(SetupVar::SFATSCALA), 50);
    // Everything but objects (512) after "Wybierz wszystko"; walls as checked.
    EXPECT_EQ(dlg.GetUpdateFlags(), 2047 - 512);
}

TEST_F(Rescale, updates_run_in_order_and_objects_replace_the_opening_updates) {
    LineWith("VELM5$_$TAG3DISTR-");
    LineWith("VELM5$_$PARAMETRI-", 50);
    std::vector<std::string> calls;
    SetRegenParamObjectHook([&](const ads_name, const AAR_LAYERC&, const char* kind, const double*) {
        calls.push_back(kind ? kind : "all");
    });
    RunScaleUpdates(kUpdateInnerDims | kUpdateDoors | kUpdateWindows);
    EXPECT_EQ(calls, (std::vector<std::string>{"all", "DOORS", "WINDOWS"}));
    calls.clear();
    RunScaleUpdates(kUpdateInnerDims | kUpdateDoors | kUpdateObjects);
    // Only the objects run: the one parametric line, every kind.
    EXPECT_EQ(calls, (std::vector<std::string>{"all"}));
}

TEST_F(Rescale, large_print_scales_keep_objects_off_their_3d_layers_during_the_run) {
    LineWith("VELM5$_$PARAMETRI-");
    auto has3d = [] {
        VELM_GENGRUPPO* g = OpenGenGruppoObject();
        bool has = std::count(g->nonGenerating.begin(), g->nonGenerating.end(), "3D*") > 0;
        g->close();
        return has;
    };
    std::vector<bool> seen;
    SetRegenParamObjectHook(
        [&](const ads_name, const AAR_LAYERC&, const char*, const double*) { seen.push_back(has3d()); });
    SetSettingInt(SetupVar::SFATSCALA, 199);
    RegenObjectsByApp("VELM5$_$PARAMETRI-", nullptr);
    SetSettingInt(SetupVar::SFATSCALA, 200);
    RegenObjectsByApp("VELM5$_$PARAMETRI-", nullptr);
    EXPECT_EQ(seen, (std::vector<bool>{false, true}));
    EXPECT_FALSE(has3d());
    // A pattern the user had is not taken away.
    {
        VELM_GENGRUPPO* g = OpenGenGruppoObject();
        g->nonGenerating.push_back("3d*");
        g->close();
    }
    RegenObjectsByApp("VELM5$_$PARAMETRI-", nullptr);
    VELM_GENGRUPPO* g = OpenGenGruppoObject();
    EXPECT_EQ(g->nonGenerating.back(), "3d*");
    EXPECT_EQ(std::count(g->nonGenerating.begin(), g->nonGenerating.end(), "3D*"), 0);
    g->close();
}

TEST_F(Rescale, the_drawing_unit_reaches_the_saved_header_for_other_programs) {
    auto var = [](const char* name) {
        const int read = -1;
        return SysVarShort(name, &read);
    };
    auto header = [&] {
        std::string text = host::writeDxfText(db, &curDoc()->sysVars());
        return text.substr(0, text.find("ENDSEC"));
    };
    // A drawing that names no unit takes the module's: centimetres.
    PublishDrawingUnit(true);
    EXPECT_EQ(var("INSUNITS"), 5);
    EXPECT_EQ(var("MEASUREMENT"), 1);
    EXPECT_NE(header().find("$INSUNITS\n 70\n5\n"), std::string::npos);
    // A change of unit follows at once, imperial units with their system.
    ApplyDrawingUnitFactor(0.01);
    EXPECT_EQ(var("INSUNITS"), 6);
    EXPECT_NE(header().find("$INSUNITS\n 70\n6\n"), std::string::npos);
    ApplyDrawingUnitFactor(1 / 2.54);
    EXPECT_EQ(var("INSUNITS"), 1);
    EXPECT_EQ(var("MEASUREMENT"), 0);
    EXPECT_NE(header().find("$MEASUREMENT\n 70\n0\n"), std::string::npos);
    ApplyDrawingUnitFactor(0.37);
    EXPECT_EQ(var("INSUNITS"), 0);
    // A drawing of another program that names its unit keeps it on load.
    const int millimetres = 4;
    SysVarShort("INSUNITS", &millimetres);
    PublishDrawingUnit(true);
    EXPECT_EQ(var("INSUNITS"), 4);
}
