// The floor-choice dialog, alone and as the whole-floor move asks through it
// when the drawing's layers name several floors.
#include <gtest/gtest.h>

#include <memory>

#include "host/ads/transcript.h"
#include "host/ed/docman.h"
#include "host/ed/session.h"
#include "host/ui/driver.h"
#include "resources/velmresources.h"
#include "settings/dialogs/dlg_traslap.h"
#include "settings/editor_steps.h"
#include "settings/floor_cmds_run.h"
#include "tests/settings/drawing_fixture.h"
#include "tests/settings/floor_host.h"

namespace {

class FloorChoice : public DrawingSettings {
protected:
    ZcDbDatabase* drawing = nullptr;
    HINSTANCE before = nullptr;

    void SetUp() override {
        DrawingSettings::SetUp();
        drawing = db;
        zcui::ResetUi();
        ASSERT_NE(VelmResourceHandle(), nullptr);
        // The host's own resources stay current: the dialog must make the
        // module's current by itself.
        before = AfxGetResourceHandle();
    }
    void TearDown() override {
        EXPECT_EQ(AfxGetResourceHandle(), before);
        zcui::ResetUi();
        DrawingSettings::TearDown();
    }

    ZcDbObjectId onLayer(const std::string& name, double z) {
        ZcDbLayerTable* t = nullptr;
        EXPECT_EQ(drawing->getLayerTable(t, ZcDb::kForWrite), Zcad::eOk);
        if (!t->has(name)) {
            auto* rec = new ZcDbLayerTableRecord;
            rec->setName(name);
            ZcDbObjectId layerId;
            EXPECT_EQ(t->add(layerId, rec), Zcad::eOk);
            rec->close();
        }
        t->close();
        auto* l = new ZcDbLine({0, 0, z}, {1, 0, z});
        l->setLayer(name);
        ZcDbBlockTableRecord* ms = nullptr;
        EXPECT_EQ(zcdbOpenObject(ms, drawing->modelSpaceId(), ZcDb::kForWrite), Zcad::eOk);
        ZcDbObjectId id;
        EXPECT_EQ(ms->appendZcDbEntity(id, l), Zcad::eOk);
        l->close();
        ms->close();
        return id;
    }
    std::pair<std::string, double> state(ZcDbObjectId id) {
        ZcDbLine* l = nullptr;
        EXPECT_EQ(zcdbOpenObject(l, id, ZcDb::kForRead, true), Zcad::eOk);
        std::pair<std::string, double> s{l->isErased() ? "erased" : l->layer(), l->startPoint().z};
        l->close();
        return s;
    }
    static std::vector<std::string> Rows(CListBox* list) {
        std::vector<std::string> rows;
        for (int i = 0; list && i < list->GetCount(); ++i) {
            std::string s;
            list->GetText(i, s);
            rows.push_back(s);
        }
        return rows;
    }
};

}  // namespace

TEST_F(FloorChoice, dialog_lists_texts_sorted_with_the_first_chosen_and_cancel_gives_none) {
    std::vector<std::string> shown;
    std::string firstChosen;
    zcui::InstallDialogDriver(IDD_TRASLAP1, [&](zcui::DialogUser& u) {
        shown = Rows(u.Get<CListBox>(1078));
        CListBox* list = u.Get<CListBox>(1078);
        if (list && list->GetCurSel() >= 0) list->GetText(list->GetCurSel(), firstChosen);
        u.Ok();
    });
    EXPECT_EQ(ChooseFloorTextDialog({"600", "-300", "0"}), std::optional<std::string>("-300"));
    EXPECT_EQ(shown, (std::vector<std::string>{"-300", "0", "600"}));
    EXPECT_EQ(firstChosen, "-300");

    zcui::InstallDialogDriver(IDD_TRASLAP1, [&](zcui::DialogUser& u) {
        u.Select(1078, std::string("600"));
        u.Cancel();
    });
    EXPECT_EQ(ChooseFloorTextDialog({"600", "0"}), std::nullopt);
    ASSERT_EQ(zcui::DialogsShown().size(), 2u);
    EXPECT_EQ(zcui::DialogsShown()[0].result, IDOK);
    EXPECT_EQ(zcui::DialogsShown()[1].result, IDCANCEL);
    EXPECT_TRUE(zcui::DriverErrors().empty());
}

TEST_F(FloorChoice, whole_floor_move_asks_which_floor_and_moves_only_that_one) {
    const ZcDbObjectId ground = onLayer("VELMA$0", 0);
    const ZcDbObjectId first = onLayer("VELMA$300", 300);
    const ZcDbObjectId second = onLayer("VELMB$600", 600);
    zcui::InstallDialogDriver(IDD_TRASLAP1, [](zcui::DialogUser& u) {
        u.Select(1078, std::string("300"));
        u.Ok();
    });
    curDoc()->inputQueue().pushLine("");  // Enter at the selection: the whole floor
    curDoc()->inputQueue().pushLine("900");
    curDoc()->inputQueue().pushLine("Tak");
    CmdFloorTransfer();
    EXPECT_EQ(state(first), (std::pair<std::string, double>{"VELMA$900", 900}));
    EXPECT_EQ(state(ground), (std::pair<std::string, double>{"VELMA$0", 0}));
    EXPECT_EQ(state(second), (std::pair<std::string, double>{"VELMB$600", 600}));
    EXPECT_EQ(StoredCurrentFloor(), 900.0);
    ASSERT_EQ(zcui::DialogsShown().size(), 1u);
}

TEST_F(FloorChoice, cancelled_choice_ends_the_move_with_the_drawing_untouched) {
    const ZcDbObjectId ground = onLayer("VELMA$0", 0);
    const ZcDbObjectId first = onLayer("VELMA$300", 300);
    zcui::InstallDialogDriver(IDD_TRASLAP1, [](zcui::DialogUser& u) { u.Cancel(); });
    curDoc()->inputQueue().pushLine("");  // Enter at the selection: the whole floor
    CmdFloorTransfer();
    EXPECT_EQ(state(ground), (std::pair<std::string, double>{"VELMA$0", 0}));
    EXPECT_EQ(state(first), (std::pair<std::string, double>{"VELMA$300", 300}));
    EXPECT_EQ(StoredCurrentFloor(), 0.0);
    // The target floor is never asked for.
    EXPECT_EQ(host::transcript().text().find("Określ wysokość podłogi"), std::string::npos);
}
