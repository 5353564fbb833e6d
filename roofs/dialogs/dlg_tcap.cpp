// The gable roof's options dialog.
#include "roofs/dialogs/dlg_tcap.h"

#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_OVERHANG = 1028;
constexpr int IDC_FRONT_OVERHANG = 109;
constexpr int IDC_FRONT = 1029;
constexpr int IDC_BY_WIDTH = 1030;
constexpr int IDC_FRONT_WIDTH = 110;
constexpr int IDC_FRONT_HEIGHT = 111;
constexpr int IDC_FRONT_SLOPE = 112;

}  // namespace

CDlgTCAP::CDlgTCAP(CWnd* parent) : CRoofOptionsDialog(IDD_TCAP, parent, IDC_OVERHANG) {
    HandleCommand(BN_CLICKED, IDC_FRONT, [this] { EnableFrontControls(); });
    HandleCommand(BN_CLICKED, IDC_BY_WIDTH, [this] { EnableFrontControls(); });
    m_numbers.Add(IDC_FRONT_OVERHANG, m_frontOverhang);
    m_numbers.Add(IDC_FRONT_WIDTH, m_frontWidth);
    m_numbers.Add(IDC_FRONT_HEIGHT, m_frontHeight);
    m_numbers.Add(IDC_FRONT_SLOPE, m_frontSlope, true);
}

void CDlgTCAP::Load() {
    CRoofOptionsDialog::Load();
    m_frontOverhang = SettingReal(SetupVar::CORNIFRONTALI);
    m_front = SettingInt(SetupVar::CAPANSMUSSO);
    m_byWidth = SettingInt(SetupVar::LARGHSMUSSO);
    m_frontWidth = SettingReal(SetupVar::LGRONDASMUSSO);
    m_frontHeight = SettingReal(SetupVar::QGRONDASMUSSO);
    m_frontSlope = ShownSlope(SettingReal(SetupVar::PENDFFRONT));
}

void CDlgTCAP::Store() const {
    CRoofOptionsDialog::Store();
    SetSettingReal(SetupVar::CORNIFRONTALI, m_frontOverhang);
    SetSettingInt(SetupVar::CAPANSMUSSO, m_front);
    SetSettingInt(SetupVar::LARGHSMUSSO, m_byWidth);
    SetSettingReal(SetupVar::LGRONDASMUSSO, m_frontWidth);
    SetSettingReal(SetupVar::QGRONDASMUSSO, m_frontHeight);
    SetSettingReal(SetupVar::PENDFFRONT, SlopePercent(m_frontSlope));
}

void CDlgTCAP::DoDataExchange(CDataExchange* dx) {
    CRoofOptionsDialog::DoDataExchange(dx);
    DDX_Check(dx, IDC_FRONT, m_front);
    DDX_Check(dx, IDC_BY_WIDTH, m_byWidth);
}

BOOL CDlgTCAP::OnInitDialog() {
    CRoofOptionsDialog::OnInitDialog();
    EnableFrontControls();
    return TRUE;
}

void CDlgTCAP::EnableFrontControls() {
    const bool front = IsDlgButtonChecked(IDC_FRONT) != 0;
    const bool byWidth = IsDlgButtonChecked(IDC_BY_WIDTH) != 0;
    auto enable = [this](int id, bool on) {
        if (CWnd* control = GetDlgItem(id)) control->EnableWindow(on ? TRUE : FALSE);
    };
    enable(IDC_BY_WIDTH, front);
    enable(IDC_FRONT_SLOPE, front);
    enable(IDC_FRONT_WIDTH, front && byWidth);
    enable(IDC_FRONT_HEIGHT, front && !byWidth);
}
