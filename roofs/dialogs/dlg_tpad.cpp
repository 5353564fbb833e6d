// The hip roof's options dialog.
#include "roofs/dialogs/dlg_tpad.h"

#include "core/hatch_dialogs.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_THICKNESS = 103;
constexpr int IDC_SLOPE = 104;
constexpr int IDC_OVERHANG = 105;
constexpr int IDC_HEIGHT = 106;
constexpr int IDC_LAYER = 107;
constexpr int IDC_AT_GUTTER = 1026;
constexpr int IDC_OSNAP = 1025;
constexpr int IDC_2D = 1031;
constexpr int IDC_DEGREES = 1033;
constexpr int IDC_POINTS = 4;
constexpr int IDC_WALLS = 3;
constexpr int IDC_CONTOUR = 1022;

}  // namespace

CDlgTPAD::CDlgTPAD(CWnd* parent) : CDialog(IDD_TPAD, parent) {
    WireSlabHatchGroup(*this, {IDC_SLAB_PATTERN_BUTTON, IDC_SLAB_PATTERN, IDC_SLAB_HATCH_ANGLE});
    HandleCommand(BN_CLICKED, IDC_POINTS, [this] { ChooseMode(0); });
    HandleCommand(BN_CLICKED, IDC_WALLS, [this] { ChooseMode(1); });
    HandleCommand(BN_CLICKED, IDC_CONTOUR, [this] { ChooseMode(2); });
    HandleCommand(BN_CLICKED, IDC_DEGREES, [this] { OnDegrees(); });
}

void CDlgTPAD::Load() {
    m_hatch = SettingInt(SetupVar::CTRATTEGGIO01);
    m_osnap = SettingInt(SetupVar::COSNAP);
    m_pattern = SettingString(SetupVar::CSTILETETTI);
    m_layer = SettingString(SetupVar::CLAYERTET);
    m_thickness = SettingReal(SetupVar::CSPESS_TETTI);
    m_angle = SettingReal(SetupVar::CANGCAMPT);
    m_height = SettingReal(SetupVar::CQGRONDA);
    m_overhang = SettingReal(SetupVar::CCORNICIONE);
    m_heightAt = SettingInt(SetupVar::CDOVEQGRO) > 0 ? 1 : 0;
    m_2d = SettingInt(SetupVar::CGENERA2D);
    m_degrees = SettingInt(SetupVar::PENDINGRADI);
    const double percent = SettingReal(SetupVar::CPENDENZAF);
    m_slope = m_degrees ? SlopePercentToDegrees(percent) : percent;
}

double CDlgTPAD::SlopePercent() const {
    return m_degrees ? SlopeDegreesToPercent(m_slope) : m_slope;
}

void CDlgTPAD::Store() const {
    SetSettingInt(SetupVar::CTRATTEGGIO01, m_hatch);
    SetSettingInt(SetupVar::COSNAP, m_osnap);
    SetSettingString(SetupVar::CSTILETETTI, m_pattern);
    SetSettingString(SetupVar::CLAYERTET, m_layer);
    SetSettingReal(SetupVar::CSPESS_TETTI, m_thickness);
    SetSettingReal(SetupVar::CANGCAMPT, m_angle);
    SetSettingReal(SetupVar::CPENDENZAF, SlopePercent());
    SetSettingReal(SetupVar::CQGRONDA, m_height);
    SetSettingReal(SetupVar::CCORNICIONE, m_overhang);
    SetSettingInt(SetupVar::CDOVEQGRO, m_heightAt);
    SetSettingInt(SetupVar::CGENERA2D, m_2d);
    SetSettingInt(SetupVar::PENDINGRADI, m_degrees);
}

void CDlgTPAD::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_HEIGHT, m_editHeight);
    DDX_Control(dx, IDC_SLAB_HATCH_ANGLE, m_editAngle);
    DDX_Control(dx, IDC_THICKNESS, m_editThickness);
    DDX_Control(dx, IDC_SLOPE, m_editSlope);
    DDX_Control(dx, IDC_OVERHANG, m_editOverhang);
    DDX_Text(dx, IDC_LAYER, m_layer);
    DDV_SymbolName(dx, m_layer);
    DDX_Radio(dx, IDC_AT_GUTTER, m_heightAt);
    DDX_Check(dx, IDC_OSNAP, m_osnap);
    DDX_Check(dx, IDC_SLAB_MAKE_HATCH, m_hatch);
    DDX_Text(dx, IDC_SLAB_PATTERN, m_pattern);
    DDX_Check(dx, IDC_2D, m_2d);
    DDX_Check(dx, IDC_DEGREES, m_degrees);
}

BOOL CDlgTPAD::OnInitDialog() {
    CDialog::OnInitDialog();
    for (CadvNumEdit* edit : {&m_editHeight, &m_editAngle, &m_editThickness, &m_editSlope, &m_editOverhang})
        edit->SetDecimals(10);
    m_editHeight.SetDouble(m_height);
    m_editAngle.SetDouble(m_angle);
    m_editThickness.SetDouble(m_thickness);
    m_editSlope.SetDouble(m_slope);
    m_editOverhang.SetDouble(m_overhang);
    EnableSlabHatchControls(*this, {IDC_SLAB_PATTERN_BUTTON, IDC_SLAB_PATTERN, IDC_SLAB_HATCH_ANGLE});
    ShowPatternPreview(*this, m_pattern);
    return TRUE;
}

void CDlgTPAD::OnDegrees() {
    const double shown = m_editSlope.GetDouble();
    const bool degrees = IsDlgButtonChecked(IDC_DEGREES) != 0;
    m_editSlope.SetDouble(degrees ? SlopePercentToDegrees(shown) : SlopeDegreesToPercent(shown));
}

void CDlgTPAD::ChooseMode(int mode) {
    m_mode = mode;
    OnOK();
}

void CDlgTPAD::OnOK() {
    m_height = m_editHeight.GetDouble();
    m_angle = m_editAngle.GetDouble();
    m_thickness = m_editThickness.GetDouble();
    m_slope = m_editSlope.GetDouble();
    m_overhang = m_editOverhang.GetDouble();
    CDialog::OnOK();
}
