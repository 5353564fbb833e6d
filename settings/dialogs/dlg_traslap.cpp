// The floor-choice dialog.
#include "settings/dialogs/dlg_traslap.h"

#include "host/ui/resources.h"
#include "resources/velmresources.h"

namespace {
constexpr int IDC_FLOOR_LIST = 1078;
}  // namespace

std::optional<std::string> ChooseFloorTextDialog(const std::vector<std::string>& texts) {
    CZcModuleResourceOverride use(VelmResourceHandle());
    CDlgTraslap1 dialog;
    dialog.SetItems(texts);
    if (dialog.DoModal() != IDOK || dialog.m_selected.empty()) return std::nullopt;
    return dialog.m_selected;
}

CDlgTraslap1::CDlgTraslap1(CWnd* parent) : CDialog(IDD_TRASLAP1, parent) {}

void CDlgTraslap1::SetItems(const std::vector<std::string>& texts) {
    m_items.insert(m_items.end(), texts.begin(), texts.end());
}

void CDlgTraslap1::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_FLOOR_LIST, m_list);
    DDX_LBString(dx, IDC_FLOOR_LIST, m_selected);
}

BOOL CDlgTraslap1::OnInitDialog() {
    CDialog::OnInitDialog();
    m_list.ResetContent();
    for (const std::string& text : m_items) m_list.AddString(text);
    m_list.SetCurSel(0);
    // An empty selected text matches the first entry as a prefix, so the
    // exchange keeps the first entry chosen.
    UpdateData(FALSE);
    return TRUE;
}
