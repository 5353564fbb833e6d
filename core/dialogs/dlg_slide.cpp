// The picture window.
#include "core/dialogs/dlg_slide.h"

#include "core/levels.h"
#include "resources/velmresources.h"

CDlgSlide::CDlgSlide(CWnd* parent) : CDialog(IDD_SLIDE, parent) {}

INT_PTR CDlgSlide::DoModal() {
    CZcModuleResourceOverride use(VelmResourceHandle());
    return CDialog::DoModal();
}

BOOL CDlgSlide::OnInitDialog() {
    CDialog::OnInitDialog();
    if (CStatic* picture = dynamic_cast<CStatic*>(GetDlgItem(IDC_SLIDE_PICTURE))) {
        if (HBITMAP bmp = LoadObjectBitmap("", "IDB_", m_imageName)) picture->SetBitmap(bmp);
    }
    if (!m_title.empty()) SetWindowText(m_title);
    return TRUE;
}
