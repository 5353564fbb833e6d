// The roof option dialogs' shared fields and settings.
#include "roofs/dialogs/roof_options_dialog.h"

#include "core/hatch_dialogs.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_THICKNESS = 103;
constexpr int IDC_SLOPE = 104;
constexpr int IDC_HEIGHT = 106;
constexpr int IDC_LAYER = 107;
constexpr int IDC_AT_GUTTER = 1026;
constexpr int IDC_OSNAP = 1025;
constexpr int IDC_2D = 1031;
constexpr int IDC_DEGREES = 1033;

}  // namespace

CRoofOptionsDialog::CRoofOptionsDialog(UINT id, CWnd* parent, int overhangId) : CDialog(id, parent) {
    WireSlabHatchGroup(*this, {IDC_SLAB_PATTERN_BUTTON, IDC_SLAB_PATTERN, IDC_SLAB_HATCH_ANGLE});
    HandleCommand(BN_CLICKED, IDC_DEGREES,
                  [this] { m_numbers.ConvertSlopes(IsDlgButtonChecked(IDC_DEGREES) != 0); });
    m_numbers.Add(IDC_THICKNESS, m_thickness);
    m_numbers.Add(IDC_SLOPE, m_slope, true);
    m_numbers.Add(overhangId, m_overhang);
    m_numbers.Add(IDC_HEIGHT, m_height);
    m_numbers.Add(IDC_SLAB_HATCH_ANGLE, m_angle);
}

double CRoofOptionsDialog::ShownSlope(double percent) const {
    return m_degrees ? SlopePercentToDegrees(percent) : percent;
}

double CRoofOptionsDialog::SlopePercent(double shown) const {
    return m_degrees ? SlopeDegreesToPercent(shown) : shown;
}

void CRoofOptionsDialog::Load() {
    m_thickness = SettingReal(SetupVar::CSPESS_TETTI);
    m_overhang = SettingReal(SetupVar::CCORNICIONE);
    m_layer = SettingString(SetupVar::CLAYERTET);
    m_height = SettingReal(SetupVar::CQGRONDA);
    m_heightAt = SettingInt(SetupVar::CDOVEQGRO) > 0 ? 1 : 0;
    m_osnap = SettingInt(SetupVar::COSNAP);
    m_hatch = SettingInt(SetupVar::CTRATTEGGIO01);
    m_pattern = SettingString(SetupVar::CSTILETETTI);
    m_angle = SettingReal(SetupVar::CANGCAMPT);
    m_2d = SettingInt(SetupVar::CGENERA2D);
    m_degrees = SettingInt(SetupVar::PENDINGRADI);
    m_slope = ShownSlope(SettingReal(SetupVar::CPENDENZAF));
}

void CRoofOptionsDialog::Store() const {
    SetSettingReal(SetupVar::CSPESS_TETTI, m_thickness);
    SetSettingReal(SetupVar::CCORNICIONE, m_overhang);
    SetSettingString(SetupVar::CLAYERTET, m_layer);
    SetSettingReal(SetupVar::CQGRONDA, m_height);
    SetSettingInt(SetupVar::CDOVEQGRO, m_heightAt);
    SetSettingInt(SetupVar::COSNAP, m_osnap);
    SetSettingInt(SetupVar::CTRATTEGGIO01, m_hatch);
    SetSettingString(SetupVar::CSTILETETTI, m_pattern);
    SetSettingReal(SetupVar::CANGCAMPT, m_angle);
    SetSettingInt(SetupVar::CGENERA2D, m_2d);
    SetSettingInt(SetupVar::PENDINGRADI, m_degrees);
    SetSettingReal(SetupVar::CPENDENZAF, SlopePercent(m_slope));
}

void CRoofOptionsDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    m_numbers.Exchange(dx);
    DDX_Text(dx, IDC_LAYER, m_layer);
    DDV_SymbolName(dx, m_layer);
    DDX_Radio(dx, IDC_AT_GUTTER, m_heightAt);
    DDX_Check(dx, IDC_OSNAP, m_osnap);
    DDX_Check(dx, IDC_SLAB_MAKE_HATCH, m_hatch);
    DDX_Text(dx, IDC_SLAB_PATTERN, m_pattern);
    DDX_Check(dx, IDC_2D, m_2d);
    DDX_Check(dx, IDC_DEGREES, m_degrees);
}

BOOL CRoofOptionsDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_numbers.Show();
    EnableSlabHatchControls(*this, {IDC_SLAB_PATTERN_BUTTON, IDC_SLAB_PATTERN, IDC_SLAB_HATCH_ANGLE});
    ShowPatternPreview(*this, m_pattern);
    return TRUE;
}

void CRoofOptionsDialog::OnOK() {
    if (!m_numbers.Read(*this)) return;
    CDialog::OnOK();
}
