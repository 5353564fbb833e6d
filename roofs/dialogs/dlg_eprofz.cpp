// The Z-profile editing dialog.
#include "roofs/dialogs/dlg_eprofz.h"

#include "roofs/dialogs/slab_dialog_common.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_SLOPE = 1043;
constexpr int IDC_BASE = 1042;
constexpr int IDC_THICKNESS = 1044;
constexpr int IDC_LAYER = 107;
constexpr int IDC_HIDE_APPROX = 1046;
constexpr int IDC_LINK = 1027;
constexpr int IDC_2D = 1031;
constexpr int IDC_CHANGE_SLOPE = 4;

}  // namespace

CDlgEProfz::CDlgEProfz(CWnd* parent) : CDialog(IDD_EPROFZ, parent) {
    HandleCommand(BN_CLICKED, IDC_CHANGE_SLOPE, [this] { CloseWith(kEProfzChangeSlope, true); });
    HandleCommand(BN_CLICKED, 6, [this] { CloseWith(kEProfzTilt, false); });
    HandleCommand(BN_CLICKED, 12, [this] { CloseWith(kEProfzAddOpening, false); });
    HandleCommand(BN_CLICKED, 11, [this] { CloseWith(kEProfzDeleteOpening, false); });
    HandleCommand(BN_CLICKED, 7, [this] { CloseWith(kEProfzDeleteVertex, false); });
}

void CDlgEProfz::SetValues(const EProfzValues& v) {
    m_degrees = SettingInt(SetupVar::PENDINGRADI) != 0;
    m_layer = v.layer;
    m_hide = v.hideApproximated ? 1 : 0;
    m_slope = m_degrees ? SlopePercentToDegrees(v.slopePercent) : v.slopePercent;
    m_baseHeight = v.baseHeight;
    m_thickness = v.thickness;
    m_link = v.link ? 1 : 0;
    m_2d = v.is2d ? 1 : 0;
}

EProfzValues CDlgEProfz::GetValues() const {
    EProfzValues v;
    v.layer = m_layer;
    v.hideApproximated = m_hide > 0;
    v.slopePercent = m_degrees ? SlopeDegreesToPercent(m_slope) : m_slope;
    v.baseHeight = m_baseHeight;
    v.thickness = m_thickness;
    v.link = m_link > 0;
    v.is2d = m_2d > 0;
    return v;
}

void CDlgEProfz::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SLOPE, m_editSlope);
    DDX_Control(dx, IDC_BASE, m_editBase);
    DDX_Control(dx, IDC_THICKNESS, m_editThickness);
    DDX_Text(dx, IDC_LAYER, m_layer);
    DDV_SymbolName(dx, m_layer);
    DDX_Check(dx, IDC_HIDE_APPROX, m_hide);
    DDX_Check(dx, IDC_LINK, m_link);
    DDX_Check(dx, IDC_2D, m_2d);
}

BOOL CDlgEProfz::OnInitDialog() {
    CDialog::OnInitDialog();
    for (CadvNumEdit* edit : {&m_editSlope, &m_editBase, &m_editThickness}) edit->SetDecimals(10);
    m_editSlope.SetDouble(m_slope);
    m_editBase.SetDouble(m_baseHeight);
    m_editThickness.SetDouble(m_thickness);
    const BOOL level = m_zeroSlope ? TRUE : FALSE;
    if (CWnd* control = GetDlgItem(IDC_BASE)) control->EnableWindow(level);
    for (int id : {IDC_SLOPE, IDC_CHANGE_SLOPE})
        if (CWnd* control = GetDlgItem(id)) control->EnableWindow(!level);
    return TRUE;
}

bool CDlgEProfz::ReadFields() {
    if (!UpdateData(TRUE)) return false;
    m_slope = m_editSlope.GetDouble();
    m_baseHeight = m_editBase.GetDouble();
    m_thickness = m_editThickness.GetDouble();
    return true;
}

void CDlgEProfz::CloseWith(int action, bool takeFields) {
    if (takeFields && !ReadFields()) return;
    m_action = action;
    EndDialog(IDOK);
}

void CDlgEProfz::OnOK() {
    CloseWith(kEProfzAccept, true);
}
