// The parameter-choice dialog.
#include "objects/dialogs/dlg_aproppar.h"

#include <set>
#include <string>

namespace {
constexpr int kList = 1232;
constexpr int kSelectAll = 1233;
constexpr int kClearAll = 1234;
}  // namespace

CDLG_APROPPAR::CDLG_APROPPAR(CWnd* parent) : CDialog(IDD_APROPPAR, parent) {
    HandleCommand(BN_CLICKED, kSelectAll, [this] {
        for (int i = 0; i < m_list.GetCount(); ++i) m_list.SetSel(i, TRUE);
    });
    HandleCommand(BN_CLICKED, kClearAll, [this] {
        for (int i = 0; i < m_list.GetCount(); ++i) m_list.SetSel(i, FALSE);
    });
}

BOOL CDLG_APROPPAR::OnInitDialog() {
    CDialog::OnInitDialog();
    m_list.SubclassDlgItem(kList, this);
    if (m_vars)
        for (const auto& v : *m_vars) m_list.AddString(v->description);
    return TRUE;
}

void CDLG_APROPPAR::OnOK() {
    std::set<std::string> chosen;
    for (int i : m_list.GetSelectedRows()) {
        std::string text;
        m_list.GetText(i, text);
        chosen.insert(text);
    }
    if (m_vars)
        for (auto& v : *m_vars)
            if (chosen.count(v->description)) v->applyMark = 1;
    m_cancelled = 0;
    EndDialog(IDOK);
}

void CDLG_APROPPAR::OnCancel() {
    m_cancelled = 1;
    EndDialog(IDCANCEL);
}
