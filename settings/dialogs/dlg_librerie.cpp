// The library search path dialog.
#include "settings/dialogs/dlg_librerie.h"

#include "host/ui/msgbox.h"

namespace {
constexpr int IDC_PATH_LIST = 1034;
constexpr int IDC_PATH_ADD = 1035;
constexpr int IDC_PATH_EDIT = 1036;
constexpr UINT IDS_FOLDER_EXISTS = 1048;
}  // namespace

CDlgLibrerie::CDlgLibrerie(CWnd* parent) : CDialog(IDD_LIBRERIE, parent) {
    HandleCommand(BN_CLICKED, IDC_PATH_ADD, [this] { OnAdd(); });
}

void CDlgLibrerie::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PATH_LIST, m_list);
    DDX_Text(dx, IDC_PATH_EDIT, m_newPath);
}

BOOL CDlgLibrerie::OnInitDialog() {
    CDialog::OnInitDialog();
    m_list.ResetContent();
    for (const std::string& path : m_paths) m_list.AddString(path);
    UpdateData(FALSE);
    return TRUE;
}

void CDlgLibrerie::OnAdd() {
    if (!UpdateData(TRUE)) return;
    if (!m_newPath.empty()) {
        if (m_list.FindStringExact(-1, m_newPath) == LB_ERR)
            m_list.AddString(m_newPath);
        else
            AfxMessageBox(IDS_FOLDER_EXISTS, MB_OK, 0);
    }
    UpdateData(FALSE);
}

void CDlgLibrerie::OnOK() {
    m_paths.clear();
    for (int i = 0; i < m_list.GetCount(); ++i) {
        std::string text;
        m_list.GetText(i, text);
        m_paths.push_back(std::move(text));
    }
    EndDialog(IDOK);
}
