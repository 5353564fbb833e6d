// The sloped roof slab's options dialog.
#include "roofs/dialogs/dlg_t3d.h"

#include "core/hatch_dialogs.h"
#include "core/input_range.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_THICKNESS = 103;
constexpr int IDC_SLOPE = 104;
constexpr int IDC_LAYER = 107;
constexpr int IDC_EDGES = 1025;
constexpr int IDC_OSNAP = 1026;
constexpr int IDC_GUTTER = 1027;
constexpr int IDC_DEGREES = 1028;
constexpr int IDC_2D = 1031;

}  // namespace

CDlgT3D::CDlgT3D(CWnd* parent) : CDialog(IDD_T3D, parent) {
    WireSlabHatchGroup(*this, {IDC_SLAB_PATTERN_BUTTON, IDC_SLAB_PATTERN, IDC_SLAB_HATCH_ANGLE});
    HandleCommand(BN_CLICKED, IDC_DEGREES, [this] { OnDegrees(); });
    HandleCommand(BN_CLICKED, IDC_GUTTER, [this] { OnGutter(); });
}

void CDlgT3D::Load() {
    m_thickness = SettingReal(SetupVar::CSPESS_TETTI);
    m_layer = SettingString(SetupVar::CLAYERTET);
    m_edgeOption = SettingInt(SetupVar::S_INVISVERT);
    m_osnap = SettingInt(SetupVar::COSNAP);
    m_gutter = SettingInt(SetupVar::COP_PENDENZA);
    m_degrees = SettingInt(SetupVar::PENDINGRADI);
    const double percent = SettingReal(SetupVar::CPENDENZAF);
    m_slope = m_degrees ? SlopePercentToDegrees(percent) : percent;
    m_hatch = SettingInt(SetupVar::CTRATTEGGIO01);
    m_pattern = SettingString(SetupVar::CSTILETETTI);
    m_angle = SettingReal(SetupVar::CANGCAMPT);
    m_2d = SettingInt(SetupVar::CGENERA2D);
}

double CDlgT3D::SlopePercent() const {
    return m_degrees ? SlopeDegreesToPercent(m_slope) : m_slope;
}

void CDlgT3D::Store() const {
    SetSettingReal(SetupVar::CSPESS_TETTI, m_thickness);
    SetSettingString(SetupVar::CLAYERTET, m_layer);
    SetSettingInt(SetupVar::S_INVISVERT, m_edgeOption);
    SetSettingInt(SetupVar::COSNAP, m_osnap);
    SetSettingInt(SetupVar::COP_PENDENZA, m_gutter);
    SetSettingInt(SetupVar::PENDINGRADI, m_degrees);
    SetSettingReal(SetupVar::CPENDENZAF, SlopePercent());
    SetSettingInt(SetupVar::CTRATTEGGIO01, m_hatch);
    SetSettingString(SetupVar::CSTILETETTI, m_pattern);
    SetSettingReal(SetupVar::CANGCAMPT, m_angle);
    SetSettingInt(SetupVar::CGENERA2D, m_2d);
}

void CDlgT3D::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_THICKNESS, m_editThickness);
    DDX_Control(dx, IDC_SLOPE, m_editSlope);
    DDX_Control(dx, IDC_SLAB_HATCH_ANGLE, m_editAngle);
    DDX_Text(dx, IDC_LAYER, m_layer);
    DDV_SymbolName(dx, m_layer);
    DDX_Check(dx, IDC_EDGES, m_edgeOption);
    DDX_Check(dx, IDC_OSNAP, m_osnap);
    DDX_Check(dx, IDC_GUTTER, m_gutter);
    DDX_Check(dx, IDC_DEGREES, m_degrees);
    DDX_Check(dx, IDC_SLAB_MAKE_HATCH, m_hatch);
    DDX_Text(dx, IDC_SLAB_PATTERN, m_pattern);
    DDX_Check(dx, IDC_2D, m_2d);
}

BOOL CDlgT3D::OnInitDialog() {
    CDialog::OnInitDialog();
    for (CadvNumEdit* edit : {&m_editThickness, &m_editSlope, &m_editAngle}) edit->SetDecimals(10);
    m_editThickness.SetDouble(m_thickness);
    m_editSlope.SetDouble(m_slope);
    m_editAngle.SetDouble(m_angle);
    OnGutter();
    EnableSlabHatchControls(*this, {IDC_SLAB_PATTERN_BUTTON, IDC_SLAB_PATTERN, IDC_SLAB_HATCH_ANGLE});
    ShowPatternPreview(*this, m_pattern);
    return TRUE;
}

void CDlgT3D::OnDegrees() {
    // A text that is no number stays for OK to refuse, not turned into 0.
    const std::optional<double> shown = m_editSlope.Number();
    if (!shown) return;
    const bool degrees = IsDlgButtonChecked(IDC_DEGREES) != 0;
    m_editSlope.SetDouble(degrees ? SlopePercentToDegrees(*shown) : SlopeDegreesToPercent(*shown));
}

void CDlgT3D::OnGutter() {
    m_editSlope.EnableWindow(IsDlgButtonChecked(IDC_GUTTER) ? TRUE : FALSE);
}

void CDlgT3D::OnOK() {
    const std::optional<double> thickness = m_editThickness.Number();
    const std::optional<double> angle = m_editAngle.Number();
    const std::optional<double> slope = m_editSlope.Number();
    if (!NumbersInRange({thickness, angle, slope})) return;
    m_thickness = *thickness;
    m_angle = *angle;
    m_slope = *slope;
    CDialog::OnOK();
}
