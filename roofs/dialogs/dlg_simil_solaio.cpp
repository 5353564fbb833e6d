// The Z-profile's options dialog.
#include "roofs/dialogs/dlg_simil_solaio.h"

#include "core/hatch_dialogs.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_THICKNESS = 103;
constexpr int IDC_BOTTOM = 106;
constexpr int IDC_LAYER = 107;
constexpr int IDC_HIDE_APPROX = 1025;
constexpr int IDC_LINK = 1027;
constexpr int IDC_2D = 1031;
constexpr int IDC_SCALE = 1362;
constexpr int IDC_POINTS = 4;
constexpr int IDC_CONTOUR = 1022;

}  // namespace

CDlgSimilSolaio::CDlgSimilSolaio(CWnd* parent) : CDialog(IDD_SIMIL_SOLAIO, parent) {
    WireSlabHatchGroup(*this, {IDC_SLAB_PATTERN_BUTTON, IDC_SLAB_PATTERN, IDC_SLAB_HATCH_ANGLE, IDC_SCALE});
    HandleCommand(BN_CLICKED, IDC_POINTS, [this] { ChooseMode(0); });
    HandleCommand(BN_CLICKED, IDC_CONTOUR, [this] { ChooseMode(1); });
}

void CDlgSimilSolaio::Load() {
    m_thickness = SettingReal(SetupVar::CSPESS_SIMIL);
    m_bottom = SettingReal(SetupVar::CQUOTAZ_SIMIL);
    m_layer = SettingString(SetupVar::CLAYER_SIMIL);
    m_hideApproximated = SettingInt(SetupVar::CSPIGINV_SIMIL);
    m_hatch = SettingInt(SetupVar::CEXECHATCH_SIMIL);
    m_pattern = SettingString(SetupVar::CNOMEHATCH_SIMIL);
    m_link = SettingInt(SetupVar::CLINKQP_SIMIL);
    m_2d = SettingInt(SetupVar::CRAPP2D_SIMIL);
    m_angle = SettingReal(SetupVar::CANGTOT_SIMIL);
    m_scale = SettingReal(SetupVar::CFATSCALA_SIMIL);
}

void CDlgSimilSolaio::Store() const {
    SetSettingReal(SetupVar::CSPESS_SIMIL, m_thickness);
    SetSettingReal(SetupVar::CQUOTAZ_SIMIL, m_bottom);
    SetSettingString(SetupVar::CLAYER_SIMIL, m_layer);
    SetSettingInt(SetupVar::CSPIGINV_SIMIL, m_hideApproximated);
    SetSettingInt(SetupVar::CEXECHATCH_SIMIL, m_hatch);
    SetSettingString(SetupVar::CNOMEHATCH_SIMIL, m_pattern);
    SetSettingInt(SetupVar::CLINKQP_SIMIL, m_link);
    SetSettingInt(SetupVar::CRAPP2D_SIMIL, m_2d);
    SetSettingReal(SetupVar::CANGTOT_SIMIL, m_angle);
    SetSettingReal(SetupVar::CFATSCALA_SIMIL, m_scale);
}

void CDlgSimilSolaio::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_BOTTOM, m_editBottom);
    DDX_Control(dx, IDC_THICKNESS, m_editThickness);
    DDX_Control(dx, IDC_SLAB_HATCH_ANGLE, m_editAngle);
    DDX_Control(dx, IDC_SCALE, m_editScale);
    DDX_Text(dx, IDC_LAYER, m_layer);
    DDV_SymbolName(dx, m_layer);
    DDX_Check(dx, IDC_HIDE_APPROX, m_hideApproximated);
    DDX_Check(dx, IDC_LINK, m_link);
    DDX_Check(dx, IDC_2D, m_2d);
    DDX_Check(dx, IDC_SLAB_MAKE_HATCH, m_hatch);
    DDX_Text(dx, IDC_SLAB_PATTERN, m_pattern);
}

BOOL CDlgSimilSolaio::OnInitDialog() {
    CDialog::OnInitDialog();
    for (CadvNumEdit* edit : {&m_editBottom, &m_editThickness, &m_editAngle, &m_editScale})
        edit->SetDecimals(10);
    m_editBottom.SetDouble(m_bottom);
    m_editThickness.SetDouble(m_thickness);
    m_editAngle.SetDouble(m_angle);
    m_editScale.SetDouble(m_scale);
    EnableSlabHatchControls(*this,
                            {IDC_SLAB_PATTERN_BUTTON, IDC_SLAB_PATTERN, IDC_SLAB_HATCH_ANGLE, IDC_SCALE});
    ShowPatternPreview(*this, m_pattern);
    return TRUE;
}

void CDlgSimilSolaio::ChooseMode(int mode) {
    m_mode = mode;
    OnOK();
}

void CDlgSimilSolaio::OnOK() {
    m_angle = m_editAngle.GetDouble();
    m_thickness = m_editThickness.GetDouble();
    m_bottom = m_editBottom.GetDouble();
    m_scale = m_editScale.GetDouble();
    CDialog::OnOK();
}
