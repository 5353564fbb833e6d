// The lighting deduction dialog.
#include "rooms/dialogs/dlg_det_luce.h"

#include "core/input_range.h"
#include "host/ui/msgbox.h"
#include "host/util/nocase.h"

namespace {

constexpr int IDC_FROM_TOP = 1025;
constexpr int IDC_FROM_FLOOR = 1026;
constexpr int IDC_OK = 1106;

// The marker in any letter case, or a text that is one number whole.
bool Acceptable(const std::string& text) {
    return zcutEqualsNoCase(text, "*RÓŻNE*") || TypedNumber(text).has_value();
}

// A height deducted is none or more, and within what a building has.
bool InRange(const std::string& text) {
    return zcutEqualsNoCase(text, "*RÓŻNE*") || NumberFromText(text, NumberRange::NotNegative);
}

}  // namespace

CDlgDetLuce::CDlgDetLuce(CWnd* parent) : CDialog(IDD_DET_LUCE, parent) {
    HandleCommand(BN_CLICKED, IDC_OK, [this] { OnOK(); });
}

void CDlgDetLuce::SetValues(const std::string& fromTop, const std::string& fromFloor) {
    m_fromTop = fromTop;
    m_fromFloor = fromFloor;
}

void CDlgDetLuce::GetValues(std::string& fromTop, std::string& fromFloor) const {
    fromTop = m_fromTop;
    fromFloor = m_fromFloor;
}

BOOL CDlgDetLuce::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_FROM_TOP, m_fromTop);
    SetDlgItemText(IDC_FROM_FLOOR, m_fromFloor);
    return TRUE;
}

void CDlgDetLuce::OnOK() {
    std::string top, floor;
    GetDlgItemText(IDC_FROM_TOP, top);
    GetDlgItemText(IDC_FROM_FLOOR, floor);
    if (!Acceptable(top) || !Acceptable(floor)) {
        AfxMessageBox("Można podać tylko wartości liczbowe", MB_ICONERROR);
        return;
    }
    if (!InRange(top) || !InRange(floor)) {
        AfxMessageBox(OutOfRangeMessage(), MB_ICONEXCLAMATION);
        return;
    }
    m_fromTop = top;
    m_fromFloor = floor;
    EndDialog(IDOK);
}
