// The slab editing dialog.
#include "roofs/dialogs/dlg_ecop.h"

#include "roofs/dialogs/slab_dialog_common.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_SLOPE = 1043;
constexpr int IDC_HEIGHT = 1042;
constexpr int IDC_THICKNESS = 1044;
constexpr int IDC_NAME = 107;
constexpr int IDC_HIDE_APPROX = 1046;
constexpr int IDC_LINK = 1027;
constexpr int IDC_2D = 1031;
constexpr int IDC_IGNORE_WALL_HEIGHT = 1203;
constexpr int IDC_CHANGE_SLOPE = 4;
constexpr int IDC_HIDE_SIDES = 3;
// The edge-key radios and their pictures, by key 0..3.
constexpr int kEdgeRadios[4] = {1030, 1029, 1028, 1011};
constexpr int kEdgePictures[4] = {1038, 1039, 1040, 1041};

}  // namespace

CDlgEcop::CDlgEcop(CWnd* parent) : CDialog(IDD_ECOP, parent) {
    HandleCommand(BN_CLICKED, IDC_CHANGE_SLOPE, [this] { CloseWith(kEcopChangeSlope, true); });
    HandleCommand(BN_CLICKED, IDC_HIDE_SIDES, [this] { CloseWith(kEcopHideSides, true); });
    HandleCommand(BN_CLICKED, 5, [this] { CloseWith(kEcopMove2d, false); });
    HandleCommand(BN_CLICKED, 6, [this] { CloseWith(kEcopMove3d, false); });
    HandleCommand(BN_CLICKED, 7, [this] { CloseWith(kEcopDeleteVertex, false); });
    HandleCommand(BN_CLICKED, 8, [this] { CloseWith(kEcopAddVertex, false); });
    HandleCommand(BN_CLICKED, 11, [this] { CloseWith(kEcopDeleteOpening, false); });
    HandleCommand(BN_CLICKED, 12, [this] { CloseWith(kEcopAddOpening, false); });
    for (int key = 0; key < 4; ++key)
        HandleCommand(BN_CLICKED, kEdgePictures[key], [this, key] { ChooseEdgeKey(key); });
}

void CDlgEcop::SetValues(const EcopValues& v) {
    m_degrees = SettingInt(SetupVar::PENDINGRADI) != 0;
    m_name = v.name;
    m_hide = v.hideApproximated ? 1 : 0;
    m_edgeKey = v.edgeKey >= 0 && v.edgeKey < 4 ? v.edgeKey : 0;
    m_slope = m_degrees ? SlopePercentToDegrees(v.slopePercent) : v.slopePercent;
    m_height = v.height;
    m_thickness = v.thickness;
    m_f1 = v.f1 ? 1 : 0;
    m_f2 = v.f2 ? 1 : 0;
    m_f8 = v.f8 ? 1 : 0;
}

EcopValues CDlgEcop::GetValues() const {
    EcopValues v;
    v.name = m_name;
    v.hideApproximated = m_hide > 0;
    v.edgeKey = m_edgeKey;
    v.slopePercent = m_degrees ? SlopeDegreesToPercent(m_slope) : m_slope;
    v.height = m_height;
    v.thickness = m_thickness;
    v.f1 = m_f1 > 0;
    v.f2 = m_f2 > 0;
    v.f8 = m_f8 > 0;
    return v;
}

void CDlgEcop::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SLOPE, m_editSlope);
    DDX_Control(dx, IDC_HEIGHT, m_editHeight);
    DDX_Control(dx, IDC_THICKNESS, m_editThickness);
    DDX_Text(dx, IDC_NAME, m_name);
    DDV_SymbolName(dx, m_name);
    DDX_Check(dx, IDC_HIDE_APPROX, m_hide);
    DDX_Check(dx, IDC_LINK, m_f1);
    DDX_Check(dx, IDC_2D, m_f2);
    DDX_Check(dx, IDC_IGNORE_WALL_HEIGHT, m_f8);
    // The radios are not ids in a row, so each is set and read on its own.
    if (dx->m_bSaveAndValidate) {
        for (int key = 0; key < 4; ++key)
            if (IsDlgButtonChecked(kEdgeRadios[key])) m_edgeKey = key;
    } else {
        for (int key = 0; key < 4; ++key) CheckDlgButton(kEdgeRadios[key], key == m_edgeKey ? 1 : 0);
    }
}

BOOL CDlgEcop::OnInitDialog() {
    CDialog::OnInitDialog();
    for (CadvNumEdit* edit : {&m_editSlope, &m_editHeight, &m_editThickness}) edit->SetDecimals(10);
    m_editSlope.SetDouble(m_slope);
    m_editHeight.SetDouble(m_height);
    m_editThickness.SetDouble(m_thickness);
    const BOOL flat = m_flat ? TRUE : FALSE;
    for (int id : {IDC_HEIGHT, IDC_LINK})
        if (CWnd* control = GetDlgItem(id)) control->EnableWindow(flat);
    for (int id : {IDC_SLOPE, IDC_CHANGE_SLOPE})
        if (CWnd* control = GetDlgItem(id)) control->EnableWindow(!flat);
    return TRUE;
}

bool CDlgEcop::ReadFields() {
    if (!UpdateData(TRUE)) return false;
    m_slope = m_editSlope.GetDouble();
    m_height = m_editHeight.GetDouble();
    m_thickness = m_editThickness.GetDouble();
    return true;
}

void CDlgEcop::CloseWith(int action, bool takeFields) {
    if (takeFields && !ReadFields()) return;
    m_action = action;
    EndDialog(IDOK);
}

void CDlgEcop::OnOK() {
    CloseWith(kEcopAccept, true);
}

void CDlgEcop::ChooseEdgeKey(int key) {
    if (!ReadFields()) return;
    m_edgeKey = key;
    UpdateData(FALSE);
}
