// The floors page of the preferences sheet on a drawing: the list, the
// shift of the upper floors with their objects, selections of several
// floors, deletion, and the 3D walls redrawn on apply.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/base/module_state.h"
#include "core/host_services.h"
#include "host/db/dbents.h"
#include "host/db/dbmain.h"
#include "host/db/dbsymtb.h"
#include "host/ui/driver.h"
#include "host/util/findfile.h"
#include "settings/floors.h"
#include "settings/preferences/pref_hooks.h"
#include "settings/preferences/pref_sheet.h"
#include "store/settings_store.h"
#include "tests/support/velm_test.h"

namespace {

constexpr UINT kSheet = 1016;
constexpr int kList = 1030;

class FloorPage : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        loadModule();
        std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([root] {
            return std::vector<std::string>{root + "/support", root + "/support/host"};
        });
        SetSharedTolerance(0.001);
    }
    void TearDown() override {
        SetRegen3DWallsOfLevelHook(nullptr);
        zcui::ResetUi();
        VelmTest::TearDown();
    }
    // Floors at these elevations, each of that height; the first current.
    static void Floors(std::vector<double> elevations, double height = 300.0) {
        VELM_PIANI* p = OpenPianiObject(false);
        ASSERT_NE(p, nullptr);
        p->piani.floors.clear();
        for (double z : elevations) {
            AA_PIANO f;
            f.elevation = z;
            f.height = height;
            p->piani.floors.push_back(f);
        }
        p->close();
        const int slot = SetupVar::SQPAV;
        SetVarReal(&slot, &elevations.front());
    }
    static std::vector<AA_PIANO> Stored() {
        VELM_PIANI* p = OpenPianiObject(true);
        std::vector<AA_PIANO> out = p->piani.floors;
        p->close();
        std::sort(out.begin(), out.end(),
                  [](const AA_PIANO& a, const AA_PIANO& b) { return a.elevation < b.elevation; });
        return out;
    }
    static std::vector<double> Elevations() {
        std::vector<double> out;
        for (const AA_PIANO& f : Stored()) out.push_back(f.elevation);
        return out;
    }
    static void Line(double z, const std::string& layer) {
        auto* l = new ZcDbLine(ZcGePoint3d(0, 0, z), ZcGePoint3d(100, 0, z));
        MakeLayer(layer);
        l->setLayer(layer.c_str());
        ZcDbObjectId id;
        ASSERT_EQ(AppendToModelSpace(id, l), Zcad::eOk);
    }
    static void MakeLayer(const std::string& name) {
        ZcDbLayerTable* t = nullptr;
        ASSERT_EQ(db()->getLayerTable(t, ZcDb::kForWrite), Zcad::eOk);
        if (!t->has(name.c_str())) {
            auto* rec = new ZcDbLayerTableRecord;
            rec->setName(name);
            t->add(rec);
            rec->close();
        }
        t->close();
    }
    static std::vector<std::string> Column(zcui::DialogUser& u, int column) {
        auto* list = u.Get<CListCtrl>(kList);
        std::vector<std::string> out;
        for (int i = 0; i < list->GetItemCount(); ++i) out.push_back(list->GetItemText(i, column));
        return out;
    }
    static void Run(zcui::DialogDriver driver) {
        zcui::InstallDialogDriver(kSheet, std::move(driver));
        CmdFloorPreferences();
    }
};

}  // namespace

TEST_F(FloorPage, rows_list_each_floor_once_highest_first_with_the_current_marked) {
    Floors({300.0, 0.0, 600.0, 300.0});
    Run([&](zcui::DialogUser& u) {
        EXPECT_EQ(Column(u, 0), (std::vector<std::string>{"600", "300", "0"}));
        EXPECT_EQ(static_cast<CImageListCtrl*>(u.Get<CListCtrl>(kList))->m_key, "300");
        u.Cancel();
    });
    EXPECT_EQ(Elevations(), (std::vector<double>{0.0, 300.0, 600.0}));
}

TEST_F(FloorPage, a_taller_floor_lifts_the_floors_above_with_their_objects) {
    Floors({0.0, 300.0, 600.0});
    Line(300.0, "VELM2DWALLS$300");
    Line(600.0, "VELM2DWALLS$600");
    zcui::QueueMessageBoxAnswer(IDYES);
    Run([&](zcui::DialogUser& u) {
        u.Select(kList, std::string("0"));
        u.Edit(1001, "320");
        u.Focus(kList);
        EXPECT_EQ(Column(u, 0), (std::vector<std::string>{"620", "320", "0"}));
        u.Ok();
    });
    EXPECT_EQ(Elevations(), (std::vector<double>{0.0, 320.0, 620.0}));
    EXPECT_EQ(Stored()[0].height, 320.0);
    EXPECT_EQ(count("0=LINE 8=VELM2DWALLS$620"), 1);
    EXPECT_EQ(count("0=LINE 8=VELM2DWALLS$320"), 1);
    EXPECT_EQ(count("0=LINE 8=VELM2DWALLS$300"), 0);
}

TEST_F(FloorPage, a_lower_floor_brings_the_floors_down_in_order_and_keeps_links) {
    Floors({0.0, 300.0, 320.0});
    Line(300.0, "VELM2DWALLS$300");
    {
        VELM_PIANI* p = OpenPianiObject(false);
        p->SetFloorLayers(320.0, {"ROOF_NOTES"});
        p->close();
    }
    zcui::QueueMessageBoxAnswer(IDYES);
    Run([&](zcui::DialogUser& u) {
        u.Select(kList, std::string("0"));
        u.Edit(1001, "280");
        u.Focus(kList);
        u.Ok();
    });
    // 300 went to 280 before 320 came down to 300: no two floors merged.
    const std::vector<AA_PIANO> floors = Stored();
    ASSERT_EQ(floors.size(), 3u);
    EXPECT_EQ(floors[1].elevation, 280.0);
    EXPECT_EQ(floors[2].elevation, 300.0);
    EXPECT_EQ(floors[2].layers, (std::vector<std::string>{"ROOF_NOTES"}));
    EXPECT_EQ(count("0=LINE 8=VELM2DWALLS$280"), 1);
}

TEST_F(FloorPage, a_shift_onto_a_floor_that_stays_is_refused_whole) {
    Floors({0.0, 300.0, 600.0});
    zcui::QueueMessageBoxAnswer(IDYES);
    Run([&](zcui::DialogUser& u) {
        u.Select(kList, std::string("0"));
        u.Edit(1001, "0");
        u.Focus(kList);
        u.Cancel();
    });
    EXPECT_EQ(Elevations(), (std::vector<double>{0.0, 300.0, 600.0}));
    ASSERT_EQ(zcui::MessageBoxes().size(), 2u);
    EXPECT_EQ(zcui::MessageBoxes()[1].text, "Ta wysokość podłogi już istnieje!");
}

TEST_F(FloorPage, several_rows_show_what_they_share_and_take_an_edge_mode_together) {
    Floors({0.0, 300.0, 600.0});
    {
        VELM_PIANI* p = OpenPianiObject(false);
        p->FindFloorByElevation(600.0)->height = 250.0;
        p->close();
    }
    Run([&](zcui::DialogUser& u) {
        u.Select(kList, std::vector<zcui::Row>{std::string("600"), std::string("300")});
        EXPECT_EQ(u.Text(1001), "0");
        u.Radio(1382);
        EXPECT_EQ(Column(u, 3), (std::vector<std::string>{"1", "1", "0"}));
        u.Ok();
    });
    const std::vector<AA_PIANO> floors = Stored();
    EXPECT_EQ(floors[0].edgeMode, 0);
    EXPECT_EQ(floors[1].edgeMode, 1);
    EXPECT_EQ(floors[2].edgeMode, 1);
    // Leaving the 0.0 shown untouched changed no height.
    EXPECT_EQ(floors[1].height, 300.0);
    EXPECT_EQ(floors[2].height, 250.0);
}

TEST_F(FloorPage, deleting_every_row_deletes_nothing_and_the_current_floor_stays) {
    Floors({0.0, 300.0, 600.0});
    Run([&](zcui::DialogUser& u) {
        u.Select(kList, std::vector<zcui::Row>{std::string("600"), std::string("300"), std::string("0")});
        u.Click(1041);
        EXPECT_EQ(Column(u, 0).size(), 3u);
        u.Select(kList, std::vector<zcui::Row>{std::string("600"), std::string("0")});
        u.Click(1041);
        EXPECT_EQ(Column(u, 0), (std::vector<std::string>{"300", "0"}));
        u.Ok();
    });
    EXPECT_EQ(Elevations(), (std::vector<double>{0.0, 300.0}));
    ASSERT_EQ(zcui::MessageBoxes().size(), 2u);
    EXPECT_EQ(zcui::MessageBoxes()[0].text, "Bieżącej podłogi nie można usunąć");
}

TEST_F(FloorPage, walls_of_a_level_are_redrawn_only_when_its_height_or_edge_mode_changed) {
    Floors({0.0, 300.0});
    std::vector<double> redrawn;
    SetRegen3DWallsOfLevelHook([&](double z, double, int) { redrawn.push_back(z); });
    Run([&](zcui::DialogUser& u) {
        u.Select(kList, std::string("300"));
        // A floor without layers reads as hidden.
        EXPECT_EQ(Column(u, 2), (std::vector<std::string>{"OFF", "OFF"}));
        u.Check(1000, 1);
        EXPECT_EQ(Column(u, 2), (std::vector<std::string>{"ON", "OFF"}));
        u.Apply();
        EXPECT_TRUE(redrawn.empty());
        u.Radio(1383);
        EXPECT_EQ(Column(u, 3), (std::vector<std::string>{"2", "0"}));
        u.Apply();
        u.Ok();
    });
    EXPECT_EQ(redrawn, (std::vector<double>{300.0}));
    EXPECT_TRUE(Stored()[1].visible);
    EXPECT_EQ(Stored()[1].edgeMode, 2);
}

TEST_F(FloorPage, new_floors_and_the_current_floor_reach_the_drawing) {
    Floors({0.0});
    zcui::QueueDialogScript(R"(132 edit 1003 "300" ok)");
    zcui::QueueDialogScript(R"(132 edit 1003 "300" ok)");
    Run([&](zcui::DialogUser& u) {
        u.Click(1042);
        u.Click(1042);  // the same elevation again: refused
        u.Select(kList, std::string("300"));
        u.Click(1043);
        u.Ok();
    });
    EXPECT_EQ(Elevations(), (std::vector<double>{0.0, 300.0}));
    EXPECT_EQ(Stored()[1].height, 275.0);
    EXPECT_EQ(SettingReal(SetupVar::SQPAV), 300.0);
    ASSERT_EQ(zcui::MessageBoxes().size(), 1u);
    EXPECT_EQ(zcui::MessageBoxes()[0].text, "Ta wysokość podłogi już istnieje!");
}

TEST_F(FloorPage, a_floor_moved_or_copied_takes_its_objects_and_a_merge_keeps_one_record) {
    Floors({0.0, 300.0, 600.0});
    Line(300.0, "VELM2DWALLS$300");
    zcui::QueueDialogScript(R"(132 edit 1003 "400" ok)");
    zcui::QueueDialogScript(R"(132 edit 1003 "700" ok)");
    zcui::QueueDialogScript(R"(132 edit 1003 "600" ok)");
    Run([&](zcui::DialogUser& u) {
        u.Select(kList, std::string("300"));
        u.Click(1045);  // move to 400
        u.Select(kList, std::string("400"));
        u.Click(1044);  // copy to 700
        u.Select(kList, std::string("700"));
        u.Click(1045);  // move onto 600: merged
        EXPECT_EQ(Column(u, 0), (std::vector<std::string>{"600", "400", "0"}));
        u.Ok();
    });
    EXPECT_EQ(Elevations(), (std::vector<double>{0.0, 400.0, 600.0}));
    EXPECT_EQ(count("0=LINE 8=VELM2DWALLS$400"), 1);
    EXPECT_EQ(count("0=LINE 8=VELM2DWALLS$600"), 1);
    EXPECT_EQ(count("0=LINE 8=VELM2DWALLS$300"), 0);
    EXPECT_EQ(count("0=LINE 8=VELM2DWALLS$700"), 0);
}
