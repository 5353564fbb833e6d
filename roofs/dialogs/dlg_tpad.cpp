// The hip roof's options dialog.
#include "roofs/dialogs/dlg_tpad.h"

namespace {

constexpr int IDC_OVERHANG = 105;
constexpr int IDC_POINTS = 4;
constexpr int IDC_WALLS = 3;
constexpr int IDC_CONTOUR = 1022;

}  // namespace

CDlgTPAD::CDlgTPAD(CWnd* parent) : CRoofOptionsDialog(IDD_TPAD, parent, IDC_OVERHANG) {
    HandleCommand(BN_CLICKED, IDC_POINTS, [this] { ChooseMode(0); });
    HandleCommand(BN_CLICKED, IDC_WALLS, [this] { ChooseMode(1); });
    HandleCommand(BN_CLICKED, IDC_CONTOUR, [this] { ChooseMode(2); });
}

void CDlgTPAD::ChooseMode(int mode) {
    m_mode = mode;
    OnOK();
}
