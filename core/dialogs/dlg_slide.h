// The picture window: one object picture shown large in a plain modal
// window, opened by the dialogs that show a small picture when it is
// clicked. The picture is the bitmap "IDB_" + name of the object bitmap
// library, else the file name + ".BMP" on the support path; when neither
// exists the window opens empty.
#pragma once

#include <string>
#include <string_view>

#include "host/ui/dialog.h"

inline constexpr UINT IDD_SLIDE = 148;
inline constexpr int IDC_SLIDE_PICTURE = 1374;

class CDlgSlide : public CDialog {
public:
    explicit CDlgSlide(CWnd* parent = nullptr);

    void SetImageName(std::string_view name) { m_imageName = name; }
    const std::string& ImageName() const { return m_imageName; }

    // Runs on the module's own resources, whoever the caller is.
    INT_PTR DoModal() override;
    BOOL OnInitDialog() override;

    // The window's title; empty keeps the template's own.
    std::string m_title;

private:
    std::string m_imageName;
};
