// The floor slab's options dialog.
#include "roofs/dialogs/dlg_solaio.h"

#include "core/hatch_dialogs.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_THICKNESS = 103;
constexpr int IDC_OFFSET = 106;
constexpr int IDC_LAYER = 107;
constexpr int IDC_HIDE_APPROX = 1025;
constexpr int IDC_OSNAP = 1026;
constexpr int IDC_LINK = 1027;
constexpr int IDC_2D = 1031;
constexpr int IDC_POINTS = 4;
constexpr int IDC_WALLS = 3;
constexpr int IDC_CONTOUR = 1022;

}  // namespace

CDlgSolaio::CDlgSolaio(CWnd* parent) : CDialog(IDD_SOLAIO, parent) {
    WireSlabHatchGroup(*this, {IDC_SLAB_PATTERN_BUTTON, IDC_SLAB_PATTERN, IDC_SLAB_HATCH_ANGLE});
    HandleCommand(BN_CLICKED, IDC_POINTS, [this] { ChooseMode(0); });
    HandleCommand(BN_CLICKED, IDC_WALLS, [this] { ChooseMode(1); });
    HandleCommand(BN_CLICKED, IDC_CONTOUR, [this] { ChooseMode(2); });
}

void CDlgSolaio::Load() {
    m_thickness = SettingReal(SetupVar::CSPESS_SOLAIO);
    m_offset = SettingReal(SetupVar::CINTRADO);
    m_layer = SettingString(SetupVar::CLAYERSOL);
    m_hideApproximated = SettingInt(SetupVar::S_INVISVERT);
    m_osnap = SettingInt(SetupVar::COSNAP);
    m_hatch = SettingInt(SetupVar::CTRATTEGGIO01);
    m_pattern = SettingString(SetupVar::CSTILESOLAIO);
    m_angle = SettingReal(SetupVar::CANGCAMPS);
    m_link = SettingInt(SetupVar::CLEGAMEQP);
    m_2d = SettingInt(SetupVar::CGENERA2D);
}

void CDlgSolaio::Store() const {
    SetSettingReal(SetupVar::CSPESS_SOLAIO, m_thickness);
    SetSettingReal(SetupVar::CINTRADO, m_offset);
    SetSettingString(SetupVar::CLAYERSOL, m_layer);
    SetSettingInt(SetupVar::S_INVISVERT, m_hideApproximated);
    SetSettingInt(SetupVar::COSNAP, m_osnap);
    SetSettingInt(SetupVar::CTRATTEGGIO01, m_hatch);
    SetSettingString(SetupVar::CSTILESOLAIO, m_pattern);
    SetSettingReal(SetupVar::CANGCAMPS, m_angle);
    SetSettingInt(SetupVar::CLEGAMEQP, m_link);
    SetSettingInt(SetupVar::CGENERA2D, m_2d);
}

void CDlgSolaio::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_THICKNESS, m_editThickness);
    DDX_Control(dx, IDC_OFFSET, m_editOffset);
    DDX_Control(dx, IDC_SLAB_HATCH_ANGLE, m_editAngle);
    DDX_Text(dx, IDC_LAYER, m_layer);
    DDV_SymbolName(dx, m_layer);
    DDX_Check(dx, IDC_SLAB_MAKE_HATCH, m_hatch);
    DDX_Text(dx, IDC_SLAB_PATTERN, m_pattern);
    DDX_Check(dx, IDC_HIDE_APPROX, m_hideApproximated);
    DDX_Check(dx, IDC_OSNAP, m_osnap);
    DDX_Check(dx, IDC_LINK, m_link);
    DDX_Check(dx, IDC_2D, m_2d);
}

BOOL CDlgSolaio::OnInitDialog() {
    CDialog::OnInitDialog();
    for (CadvNumEdit* edit : {&m_editThickness, &m_editOffset, &m_editAngle}) edit->SetDecimals(10);
    m_editThickness.SetDouble(m_thickness);
    m_editOffset.SetDouble(m_offset);
    m_editAngle.SetDouble(m_angle);
    EnableSlabHatchControls(*this, {IDC_SLAB_PATTERN_BUTTON, IDC_SLAB_PATTERN, IDC_SLAB_HATCH_ANGLE});
    ShowPatternPreview(*this, m_pattern);
    return TRUE;
}

void CDlgSolaio::ChooseMode(int mode) {
    m_mode = mode;
    OnOK();
}

void CDlgSolaio::OnOK() {
    m_thickness = m_editThickness.GetDouble();
    m_offset = m_editOffset.GetDouble();
    m_angle = m_editAngle.GetDouble();
    CDialog::OnOK();
}
