#include "core/hatch_dialogs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/input_range.h"
#include "host/ui/dc.h"
#include "host/ui/driver.h"
#include "host/ui/resources.h"
#include "host/util/findfile.h"
#include "resources/velmresources.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "tests/host/win_testdir.h"
#include "tests/support/velm_test.h"

namespace {

// A 1 x 1 24-bit BMP.
void WriteBitmap(const std::filesystem::path& path) {
    unsigned char bmp[58] = {'B', 'M', 58,   0,    0, 0, 0, 0, 0,  0, 54, 0, 0, 0, 40, 0, 0, 0, 1,    0,
                             0,   0,   1,    0,    0, 0, 1, 0, 24, 0, 0,  0, 0, 0, 4,  0, 0, 0, 0x13, 0x0B,
                             0,   0,   0x13, 0x0B, 0, 0, 0, 0, 0,  0, 0,  0, 0, 0, 0,  0, 0, 0};
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bmp), sizeof bmp);
}

// A drawing with its settings, the module's dialog resources current, and
// a support folder of its own holding the host's pattern file with
// `patterns` names (P01, P02 …) and the pictures of some of them.
class HatchDialogs : public VelmTest {
protected:
    void SetUp() override {
        RegisterStoreClasses();
        VelmTest::SetUp();
        zcui::ResetUi();
        std::string error;
        handle_ = VelmRegisterResources(&error);
        ASSERT_NE(handle_, nullptr) << error;
        previous_ = AfxGetResourceHandle();
        AfxSetResourceHandle(handle_);
        std::string folder = dir_.path();
        host::setSupportPathProvider([folder] { return std::vector<std::string>{folder}; });
        for (const char* picture : {"VUOTO", "NONDISPO", "P01", "_P01", "P43", "_P43", "_P02"})
            WriteBitmap(dir_.path(std::string(picture) + ".BMP"));
    }
    void TearDown() override {
        AfxSetResourceHandle(previous_);
        zcui::ResetUi();
        VelmTest::TearDown();
        UnregisterStoreClasses();
    }
    void Patterns(int n) {
        std::ofstream out(dir_.path("zwcadiso.pat"));
        out << ";; wzory\n";
        for (int i = 1; i <= n; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "P%02d", i);
            out << "*" << name << "  , opis\n0, 0,0, 0,1\n";
        }
    }
    static std::string Picture(zcui::DialogUser& u, int k) {
        auto* s = u.Get<CStatic>(CDlgHatch::kFirstButton + k);
        return s && s->GetBitmap() ? std::filesystem::path(s->GetBitmap()->name).stem().string() : "";
    }
    TestDir dir_;

private:
    HINSTANCE handle_ = nullptr;
    HINSTANCE previous_ = nullptr;
};

}  // namespace

TEST_F(HatchDialogs, with_45_names_the_43rd_opens_page_3_with_its_button_highlighted) {
    Patterns(45);
    CDlgHatch dlg;
    dlg.SetPattern("P43");
    std::vector<std::string> pictures;
    bool next = true, previous = false;
    zcui::InstallDialogDriver(IDD_HATCH_PATTERN, [&](zcui::DialogUser& u) {
        for (int k = 0; k < 20; ++k) pictures.push_back(Picture(u, k));
        next = u.Control(4)->IsWindowEnabled();
        previous = u.Control(3)->IsWindowEnabled();
        u.Ok();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_pageStart, 40);
    EXPECT_EQ(dlg.m_selButton, 2);
    EXPECT_FALSE(next);
    EXPECT_TRUE(previous);
    EXPECT_EQ(pictures[2], "_P43");
    EXPECT_EQ(pictures[0], "NONDISPO");  // P41 has no picture
    for (int k = 5; k < 20; ++k) EXPECT_EQ(pictures[k], "VUOTO") << k;
    std::string chosen;
    dlg.GetPattern(chosen);
    EXPECT_EQ(chosen, "P43");
}

TEST_F(HatchDialogs, an_unknown_name_falls_back_to_the_first_and_an_empty_button_changes_nothing) {
    Patterns(3);
    CDlgHatch dlg;
    dlg.SetPattern("NIEZNANY");
    std::string highlighted;
    zcui::InstallDialogDriver(IDD_HATCH_PATTERN, [&](zcui::DialogUser& u) {
        highlighted = Picture(u, 0);
        u.Click(CDlgHatch::kFirstButton + 10);  // past the last name
        u.Ok();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(highlighted, "_P01");
    EXPECT_EQ(dlg.m_selButton, -1);
    EXPECT_EQ(dlg.m_pattern, "P01");
}

TEST_F(HatchDialogs, a_page_of_exactly_20_has_no_next_page) {
    Patterns(20);
    CDlgHatch dlg;
    bool next = true;
    zcui::InstallDialogDriver(IDD_HATCH_PATTERN, [&](zcui::DialogUser& u) {
        next = u.Control(4)->IsWindowEnabled();
        u.Ok();
    });
    dlg.DoModal();
    EXPECT_FALSE(next);
}

TEST_F(HatchDialogs, choosing_a_name_three_pages_on_moves_the_pages_and_clicking_a_picture_chooses_it) {
    Patterns(75);
    CDlgHatch dlg;
    dlg.SetPattern("P01");
    int pageAfterList = -1;
    zcui::InstallDialogDriver(IDD_HATCH_PATTERN, [&](zcui::DialogUser& u) {
        u.Select(1001, std::string("P65"));
        pageAfterList = dlg.m_pageStart;
        u.Click(3);  // back a page
        u.Click(CDlgHatch::kFirstButton + 1);
        u.Ok();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(pageAfterList, 60);
    EXPECT_EQ(dlg.m_pattern, "P42");
}

TEST_F(HatchDialogs, floor_hatch_settings_show_their_defaults_and_cancel_stores_nothing) {
    Patterns(3);
    CDlgTratt dlg;
    dlg.LoadFloor();
    std::string title, pattern, layer, scale;
    zcui::InstallDialogDriver(IDD_TRATT, [&](zcui::DialogUser& u) {
        title = u.Dialog().GetWindowText();
        pattern = u.Text(102);
        layer = u.Text(107);
        scale = u.Text(1026);
        u.Edit(102, "P02");
        u.Cancel();
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(title, "Kreskowanie podłogi");
    EXPECT_EQ(pattern, "ANGLE");
    EXPECT_EQ(layer, "HATCHFLOOR");
    EXPECT_EQ(std::stod(scale), 4.0);
    std::string stored;
    int slot = SetupVar::CSTILETRATTPAV;
    GetVarString(&slot, stored);
    EXPECT_EQ(stored, "ANGLE");
}

TEST_F(HatchDialogs, the_3d_hatch_settings_take_a_pattern_from_the_picker_and_are_saved_after_ok) {
    Patterns(3);
    CDlgTratt dlg;
    dlg.Load3D();
    std::string previewBefore, previewAfter;
    zcui::InstallDialogDriver(IDD_HATCH_PATTERN, [&](zcui::DialogUser& u) {
        u.Select(1001, std::string("P02"));
        u.Ok();
    });
    zcui::InstallDialogDriver(IDD_TRATT, [&](zcui::DialogUser& u) {
        auto* preview = u.Get<CStatic>(1374);
        previewBefore = preview->GetBitmap() ? preview->GetBitmap()->name : "";
        u.Click(1374);
        previewAfter = preview->GetBitmap() ? preview->GetBitmap()->name : "";
        u.Edit(1026, "2.5");
        u.Ok();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    dlg.Save3D();
    EXPECT_NE(previewBefore.find("NONDISPO"), std::string::npos);  // ANSI31 has no picture here
    EXPECT_EQ(dlg.m_pattern, "P02");
    std::string stored;
    int slot = SetupVar::CSTILETRATT3D;
    GetVarString(&slot, stored);
    EXPECT_EQ(stored, "P02");
    double scale = 0;
    slot = SetupVar::SCALATRATT3D;
    GetVarReal(&slot, &scale);
    EXPECT_EQ(scale, 2.5);
}

TEST_F(HatchDialogs, typing_a_pattern_changes_the_preview_at_once) {
    Patterns(3);
    CDlgTMuro dlg;
    dlg.Load();
    std::string preview;
    zcui::InstallDialogDriver(IDD_TMURO, [&](zcui::DialogUser& u) {
        u.Edit(102, "P01");
        auto* p = u.Get<CStatic>(1374);
        preview = p->GetBitmap() ? std::filesystem::path(p->GetBitmap()->name).stem().string() : "";
        u.Cancel();
    });
    dlg.DoModal();
    EXPECT_EQ(preview, "P01");
}

TEST_F(HatchDialogs, wall_hatch_settings_save_the_variable_height_as_0_or_1) {
    Patterns(3);
    CDlgTMuro dlg;
    dlg.Load();
    EXPECT_EQ(dlg.m_pattern, "VELSTONE");
    EXPECT_EQ(dlg.m_lowerHeight, 80.0);
    EXPECT_EQ(dlg.m_upperHeight, 270.0);
    zcui::InstallDialogDriver(IDD_TMURO, [&](zcui::DialogUser& u) {
        u.Check(1236);
        u.Edit(103, "50");
        u.Ok();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    dlg.Save();
    int flag = -1, slot = SetupVar::TMUROAVAR;
    GetVarInt(&slot, &flag);
    EXPECT_EQ(flag, 1);
    double lower = 0;
    slot = SetupVar::CLINFTMURO;
    GetVarReal(&slot, &lower);
    EXPECT_EQ(lower, 50.0);
}

// The pattern scale is a size: zero or less keeps the dialog open with the
// module's message, and nothing is stored.
TEST_F(HatchDialogs, a_pattern_scale_of_zero_or_less_is_refused) {
    Patterns(3);
    for (const char* typed : {"0", "-30"}) {
        CDlgTratt dlg;
        dlg.Load3D();
        bool stayed = false;
        zcui::InstallDialogDriver(IDD_TRATT, [&](zcui::DialogUser& u) {
            u.Edit(1026, typed);
            u.Ok();
            stayed = !u.Ended();
            u.Cancel();
        });
        EXPECT_NE(dlg.DoModal(), IDOK) << typed;
        EXPECT_TRUE(stayed) << typed;
        ASSERT_FALSE(zcui::MessageBoxes().empty());
        EXPECT_EQ(zcui::MessageBoxes().back().text, OutOfRangeMessage());
    }
}
