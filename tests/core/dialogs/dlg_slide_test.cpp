// The picture window: the picture from the bitmap library, else a file,
// else nothing; the caller's title replaces the template's.
#include "core/dialogs/dlg_slide.h"

#include <filesystem>
#include <string>

#include "host/win/files.h"
#include "tests/objects/dialogs/param_fixture.h"

namespace {

class PictureWindow : public ParamDialogs {
protected:
    void SetUp() override {
        ParamDialogs::SetUp();
        std::string bmp;
        ASSERT_TRUE(host::readWholeFile(std::string(VELM_SOURCE_DIR) + "/resources/bitmaps/138.bmp", bmp));
        std::filesystem::create_directories(dir / "velmObjBmp.dll");
        write("velmObjBmp.dll/IDB_OKNO.bmp", bmp);
        write("DRZWI.BMP", bmp);
    }
    struct Shown {
        bool picture = false;
        std::string caption;
        INT_PTR result = 0;
    };
    Shown show(const std::string& name, const std::string& title, bool viaCloseBox = false) {
        Shown shown;
        CDlgSlide dlg(nullptr);
        dlg.SetImageName(name);
        dlg.m_title = title;
        // The window switches to the module's resources itself.
        zcui::InstallDialogDriver(IDD_SLIDE, [&](zcui::DialogUser& u) {
            CStatic* picture = u.Get<CStatic>(IDC_SLIDE_PICTURE);
            shown.picture = picture && picture->GetBitmap() != nullptr;
            shown.caption = u.Dialog().GetWindowText();
            viaCloseBox ? u.Cancel() : u.Ok();
        });
        shown.result = dlg.DoModal();
        zcui::RemoveDialogDriver(IDD_SLIDE);
        return shown;
    }
};

}  // namespace

TEST_F(PictureWindow, library_picture_then_file_shown_and_template_title_kept) {
    for (const char* name : {"OKNO", "DRZWI"}) {
        Shown shown = show(name, "");
        EXPECT_EQ(shown.result, IDOK);
        EXPECT_TRUE(shown.picture) << name;
        EXPECT_EQ(shown.caption, "Wyświetlanie");
    }
}

TEST_F(PictureWindow, missing_picture_opens_empty_and_caller_title_shown) {
    Shown shown = show("NIE_MA_TAKIEGO", "Pomoc dotycząca tworzenia parametrów schodów", true);
    EXPECT_EQ(shown.result, IDCANCEL);
    EXPECT_FALSE(shown.picture);
    EXPECT_EQ(shown.caption, "Pomoc dotycząca tworzenia parametrów schodów");
    EXPECT_TRUE(zcui::DriverErrors().empty());
}
