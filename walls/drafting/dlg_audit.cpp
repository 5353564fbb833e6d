// The audit's dialog (see the header).
#include "walls/drafting/dlg_audit.h"

namespace {

// Control ids in the order of the mask's bits 1, 2, 4, 8, 16.
constexpr int kCheckIds[5] = {1011, 1012, 1007, 1008, 1009};

}  // namespace

CDlgAudit::CDlgAudit(int mask, CWnd* parent) : CDialog(IDD_AUDIT, parent), m_mask(mask) {}

BOOL CDlgAudit::OnInitDialog() {
    for (int i = 0; i < 5; ++i) m_checks[i] = (m_mask >> i) & 1;
    return CDialog::OnInitDialog();
}

void CDlgAudit::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    for (int i = 0; i < 5; ++i) DDX_Check(dx, kCheckIds[i], m_checks[i]);
}

void CDlgAudit::OnOK() {
    if (!UpdateData(TRUE)) return;
    m_mask = 0;
    for (int i = 0; i < 5; ++i)
        if (m_checks[i]) m_mask |= 1 << i;
    EndDialog(IDOK);
}
