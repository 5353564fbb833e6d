// The gable roof's options dialog.
#include "roofs/dialogs/dlg_tcap.h"

#include "core/hatch_dialogs.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_THICKNESS = 103;
constexpr int IDC_SLOPE = 104;
constexpr int IDC_OVERHANG = 1028;
constexpr int IDC_FRONT_OVERHANG = 109;
constexpr int IDC_LAYER = 107;
constexpr int IDC_HEIGHT = 106;
constexpr int IDC_AT_GUTTER = 1026;
constexpr int IDC_OSNAP = 1025;
constexpr int IDC_FRONT = 1029;
constexpr int IDC_BY_WIDTH = 1030;
constexpr int IDC_FRONT_WIDTH = 110;
constexpr int IDC_FRONT_HEIGHT = 111;
constexpr int IDC_FRONT_SLOPE = 112;
constexpr int IDC_2D = 1031;
constexpr int IDC_DEGREES = 1033;

}  // namespace

CDlgTCAP::CDlgTCAP(CWnd* parent) : CDialog(IDD_TCAP, parent) {
    WireSlabHatchGroup(*this, {IDC_SLAB_PATTERN_BUTTON, IDC_SLAB_PATTERN, IDC_SLAB_HATCH_ANGLE});
    HandleCommand(BN_CLICKED, IDC_FRONT, [this] { EnableFrontControls(); });
    HandleCommand(BN_CLICKED, IDC_BY_WIDTH, [this] { EnableFrontControls(); });
    HandleCommand(BN_CLICKED, IDC_DEGREES, [this] { OnDegrees(); });
}

void CDlgTCAP::Load() {
    m_thickness = SettingReal(SetupVar::CSPESS_TETTI);
    m_overhang = SettingReal(SetupVar::CCORNICIONE);
    m_frontOverhang = SettingReal(SetupVar::CORNIFRONTALI);
    m_layer = SettingString(SetupVar::CLAYERTET);
    m_height = SettingReal(SetupVar::CQGRONDA);
    m_heightAt = SettingInt(SetupVar::CDOVEQGRO) > 0 ? 1 : 0;
    m_osnap = SettingInt(SetupVar::COSNAP);
    m_hatch = SettingInt(SetupVar::CTRATTEGGIO01);
    m_pattern = SettingString(SetupVar::CSTILETETTI);
    m_angle = SettingReal(SetupVar::CANGCAMPT);
    m_front = SettingInt(SetupVar::CAPANSMUSSO);
    m_byWidth = SettingInt(SetupVar::LARGHSMUSSO);
    m_frontWidth = SettingReal(SetupVar::LGRONDASMUSSO);
    m_frontHeight = SettingReal(SetupVar::QGRONDASMUSSO);
    m_2d = SettingInt(SetupVar::CGENERA2D);
    m_degrees = SettingInt(SetupVar::PENDINGRADI);
    const double slope = SettingReal(SetupVar::CPENDENZAF), front = SettingReal(SetupVar::PENDFFRONT);
    m_slope = m_degrees ? SlopePercentToDegrees(slope) : slope;
    m_frontSlope = m_degrees ? SlopePercentToDegrees(front) : front;
}

void CDlgTCAP::Store() const {
    SetSettingReal(SetupVar::CSPESS_TETTI, m_thickness);
    SetSettingReal(SetupVar::CCORNICIONE, m_overhang);
    SetSettingReal(SetupVar::CORNIFRONTALI, m_frontOverhang);
    SetSettingString(SetupVar::CLAYERTET, m_layer);
    SetSettingReal(SetupVar::CQGRONDA, m_height);
    SetSettingInt(SetupVar::CDOVEQGRO, m_heightAt);
    SetSettingInt(SetupVar::COSNAP, m_osnap);
    SetSettingInt(SetupVar::CTRATTEGGIO01, m_hatch);
    SetSettingString(SetupVar::CSTILETETTI, m_pattern);
    SetSettingReal(SetupVar::CANGCAMPT, m_angle);
    SetSettingInt(SetupVar::CAPANSMUSSO, m_front);
    SetSettingInt(SetupVar::LARGHSMUSSO, m_byWidth);
    SetSettingReal(SetupVar::LGRONDASMUSSO, m_frontWidth);
    SetSettingReal(SetupVar::QGRONDASMUSSO, m_frontHeight);
    SetSettingInt(SetupVar::CGENERA2D, m_2d);
    SetSettingInt(SetupVar::PENDINGRADI, m_degrees);
    SetSettingReal(SetupVar::CPENDENZAF, m_degrees ? SlopeDegreesToPercent(m_slope) : m_slope);
    SetSettingReal(SetupVar::PENDFFRONT, m_degrees ? SlopeDegreesToPercent(m_frontSlope) : m_frontSlope);
}

void CDlgTCAP::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_THICKNESS, m_editThickness);
    DDX_Control(dx, IDC_SLOPE, m_editSlope);
    DDX_Control(dx, IDC_OVERHANG, m_editOverhang);
    DDX_Control(dx, IDC_FRONT_OVERHANG, m_editFrontOverhang);
    DDX_Control(dx, IDC_HEIGHT, m_editHeight);
    DDX_Control(dx, IDC_SLAB_HATCH_ANGLE, m_editAngle);
    DDX_Control(dx, IDC_FRONT_WIDTH, m_editFrontWidth);
    DDX_Control(dx, IDC_FRONT_HEIGHT, m_editFrontHeight);
    DDX_Control(dx, IDC_FRONT_SLOPE, m_editFrontSlope);
    DDX_Text(dx, IDC_LAYER, m_layer);
    DDV_SymbolName(dx, m_layer);
    DDX_Radio(dx, IDC_AT_GUTTER, m_heightAt);
    DDX_Check(dx, IDC_OSNAP, m_osnap);
    DDX_Check(dx, IDC_SLAB_MAKE_HATCH, m_hatch);
    DDX_Text(dx, IDC_SLAB_PATTERN, m_pattern);
    DDX_Check(dx, IDC_FRONT, m_front);
    DDX_Check(dx, IDC_BY_WIDTH, m_byWidth);
    DDX_Check(dx, IDC_2D, m_2d);
    DDX_Check(dx, IDC_DEGREES, m_degrees);
}

BOOL CDlgTCAP::OnInitDialog() {
    CDialog::OnInitDialog();
    CadvNumEdit* edits[] = {&m_editThickness,     &m_editSlope,       &m_editOverhang,
                            &m_editFrontOverhang, &m_editHeight,      &m_editAngle,
                            &m_editFrontWidth,    &m_editFrontHeight, &m_editFrontSlope};
    const double values[] = {m_thickness, m_slope,      m_overhang,    m_frontOverhang, m_height,
                             m_angle,     m_frontWidth, m_frontHeight, m_frontSlope};
    for (int i = 0; i < 9; ++i) {
        edits[i]->SetDecimals(10);
        edits[i]->SetDouble(values[i]);
    }
    EnableSlabHatchControls(*this, {IDC_SLAB_PATTERN_BUTTON, IDC_SLAB_PATTERN, IDC_SLAB_HATCH_ANGLE});
    EnableFrontControls();
    ShowPatternPreview(*this, m_pattern);
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

void CDlgTCAP::OnDegrees() {
    const bool degrees = IsDlgButtonChecked(IDC_DEGREES) != 0;
    for (CadvNumEdit* edit : {&m_editSlope, &m_editFrontSlope}) {
        const double shown = edit->GetDouble();
        edit->SetDouble(degrees ? SlopePercentToDegrees(shown) : SlopeDegreesToPercent(shown));
    }
}

void CDlgTCAP::OnOK() {
    m_thickness = m_editThickness.GetDouble();
    m_slope = m_editSlope.GetDouble();
    m_overhang = m_editOverhang.GetDouble();
    m_frontOverhang = m_editFrontOverhang.GetDouble();
    m_height = m_editHeight.GetDouble();
    m_angle = m_editAngle.GetDouble();
    m_frontWidth = m_editFrontWidth.GetDouble();
    m_frontHeight = m_editFrontHeight.GetDouble();
    m_frontSlope = m_editFrontSlope.GetDouble();
    CDialog::OnOK();
}
