// The option dialogs of the dimensioning commands.
#include "rooms/dimensions/dim_dialogs.h"

#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_LAYER = 1143;
constexpr int IDC_STYLE = 1457;

// Every style of the drawing into the combo; the stored one selected when
// the drawing still has it under exactly that name, else the current one,
// so a style deleted since does not leave the combo blank. Returns the
// style shown in place of the stored one ("" when the stored one shows).
std::string FillStyles(CComboBox& combo, const std::string& stored) {
    combo.ResetContent();
    for (host::ResbufList rec(zcdbTblNext("DIMSTYLE", 1)); rec; rec.reset(zcdbTblNext("DIMSTYLE", 0))) {
        for (const resbuf* r = rec.get(); r; r = r->rbnext) {
            if (r->restype == 2 && r->resval.rstring) {
                combo.AddString(r->resval.rstring);
                break;
            }
        }
    }
    int row = combo.FindStringExact(-1, stored);
    std::string current;
    if (stored.empty() || row < 0) {
        SysVarString("DIMSTYLE", {}, current);
        row = combo.FindStringExact(-1, current);
    }
    combo.SetCurSel(row);
    return current;
}

// The selected style's name. The stored one stays when nothing is selected
// or the selection is still the stand-in shown for it: the commands draw
// with the current style in its place anyway, and an OK without a choice
// changes nothing.
void ReadStyle(const CComboBox& combo, const std::string& standIn, std::string& style) {
    const int row = combo.GetCurSel();
    std::string chosen;
    if (row < 0 || combo.GetLBText(row, chosen) < 0) return;
    if (!standIn.empty() && chosen == standIn) return;
    style = chosen;
}

}  // namespace

// ---- CDlgQe ----

CDlgQe::CDlgQe(CWnd* parent) : CDialog(IDD_QE, parent) {
    HandleCommand(BN_CLICKED, 3, [this] { EndWithMode(kIntersections); });
    HandleCommand(BN_CLICKED, 4, [this] { EndWithMode(kSurfaces); });
    for (int i = 0; i < 3; ++i) {
        HandleCommand(STN_CLICKED, 1013 + i, [this, i] { PickRadio(m_direction, i); });
        HandleCommand(STN_CLICKED, 1016 + i, [this, i] { PickRadio(m_openings, i); });
    }
}

void CDlgQe::LoadSettings() {
    m_direction = SettingInt(SetupVar::SQEORIENT, 1);
    m_openings = SettingInt(SetupVar::SQETIPOQ, 0);
    m_lines = SettingInt(SetupVar::SOPZIONE_PUNTI, 1);
    m_layer = SettingString(SetupVar::LAYER_2DQUOTE, "2DDIM_P");
    m_style = SettingString(SetupVar::SETCURSTILEQE);
}

void CDlgQe::SaveSettings() const {
    SetSettingInt(SetupVar::SQEORIENT, m_direction);
    SetSettingInt(SetupVar::SQETIPOQ, m_openings);
    SetSettingInt(SetupVar::SOPZIONE_PUNTI, m_lines);
    SetSettingString(SetupVar::LAYER_2DQUOTE, m_layer);
    SetSettingString(SetupVar::SETCURSTILEQE, m_style);
}

BOOL CDlgQe::OnInitDialog() {
    CDialog::OnInitDialog();
    m_standIn = FillStyles(m_styles, m_style);
    return TRUE;
}

void CDlgQe::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_STYLE, m_styles);
    DDX_Radio(dx, 1002, m_direction);
    DDX_Radio(dx, 1008, m_openings);
    DDX_Radio(dx, 1011, m_lines);
    DDX_Text(dx, IDC_LAYER, m_layer);
    if (dx->m_bSaveAndValidate) ReadStyle(m_styles, m_standIn, m_style);
}

void CDlgQe::EndWithMode(int mode) {
    if (!UpdateData(TRUE)) return;
    m_mode = mode;
    EndDialog(IDOK);
}

void CDlgQe::PickRadio(int& member, int value) {
    if (!UpdateData(TRUE)) return;
    member = value;
    UpdateData(FALSE);
}

// ---- CDlgQPunto ----

CDlgQPunto::CDlgQPunto(CWnd* parent) : CDialog(IDD_QPUNTO, parent) {
    for (int i = 0; i < 3; ++i) {
        HandleCommand(STN_CLICKED, 1019 + i, [this, i] { PickRadio(m_direction, i); });
        HandleCommand(STN_CLICKED, 1022 + i, [this, i] { PickRadio(m_openings, i); });
    }
}

void CDlgQPunto::LoadSettings() {
    m_direction = SettingInt(SetupVar::SQPORIENT, 1);
    m_openings = SettingInt(SetupVar::SQPTIPOQ, 1);
    m_layer = SettingString(SetupVar::LAYER_2DQUOTEP, "2DDIM_R");
    m_style = SettingString(SetupVar::SETCURSTILEQP);
}

void CDlgQPunto::SaveSettings() const {
    SetSettingInt(SetupVar::SQPORIENT, m_direction);
    SetSettingInt(SetupVar::SQPTIPOQ, m_openings);
    SetSettingString(SetupVar::LAYER_2DQUOTEP, m_layer);
    SetSettingString(SetupVar::SETCURSTILEQP, m_style);
}

BOOL CDlgQPunto::OnInitDialog() {
    CDialog::OnInitDialog();
    m_standIn = FillStyles(m_styles, m_style);
    return TRUE;
}

void CDlgQPunto::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_STYLE, m_styles);
    DDX_Radio(dx, 1002, m_direction);
    DDX_Radio(dx, 1008, m_openings);
    DDX_Text(dx, IDC_LAYER, m_layer);
    if (dx->m_bSaveAndValidate) ReadStyle(m_styles, m_standIn, m_style);
}

void CDlgQPunto::PickRadio(int& member, int value) {
    if (!UpdateData(TRUE)) return;
    member = value;
    UpdateData(FALSE);
}

// ---- CDlgQi ----

CDlgQi::CDlgQi(CWnd* parent) : CDialog(IDD_QI, parent) {
    for (int i = 0; i < 4; ++i) HandleCommand(STN_CLICKED, 1010 + i, [this, i] { PickStyle(i); });
}

void CDlgQi::LoadSettings() {
    m_distance = SettingReal(SetupVar::CDISTQUOTE, 30.0);
    m_decimals = SettingInt(SetupVar::CQUOTEPREC, 2);
    m_wholeWalls = SettingInt(SetupVar::CQUOTESTILE, 0);
    m_style = SettingInt(SetupVar::CQUOTETIPO, 1);
    m_ignoreSeparators = SettingInt(SetupVar::SET_TRASCURALFQI, 0);
}

void CDlgQi::SaveSettings() const {
    SetSettingReal(SetupVar::CDISTQUOTE, m_distance);
    SetSettingInt(SetupVar::CQUOTEPREC, m_decimals);
    SetSettingInt(SetupVar::CQUOTESTILE, m_wholeWalls);
    SetSettingInt(SetupVar::CQUOTETIPO, m_style);
    SetSettingInt(SetupVar::SET_TRASCURALFQI, m_ignoreSeparators);
}

void CDlgQi::DoDataExchange(CDataExchange* dx) {
    DDX_Number(dx, 1003, m_distance);
    DDX_Text(dx, 1004, m_decimals);
    DDX_Radio(dx, 1005, m_wholeWalls);
    // The fourth style's button was added after the other three and sits
    // outside their id run, so the group is read button by button.
    constexpr int kStyleIds[4] = {1007, 1008, 1009, 1014};
    if (dx->m_bSaveAndValidate) {
        for (int i = 0; i < 4; ++i)
            if (IsDlgButtonChecked(kStyleIds[i])) m_style = i;
    } else {
        for (int i = 0; i < 4; ++i) CheckDlgButton(kStyleIds[i], m_style == i ? 1 : 0);
    }
    DDX_Check(dx, 1451, m_ignoreSeparators);
}

void CDlgQi::PickStyle(int value) {
    if (!UpdateData(TRUE)) return;
    m_style = value;
    UpdateData(FALSE);
}

// ---- CDlgQV ----

CDlgQV::CDlgQV(CWnd* parent) : CDialog(IDD_QV, parent) {}

BOOL CDlgQV::OnInitDialog() {
    m_layer = SettingString(SetupVar::LAYER_2DQUOTE, "2DDIM_P");
    m_style = SettingString(SetupVar::SETCURSTILEQE);
    CDialog::OnInitDialog();
    m_standIn = FillStyles(m_styles, m_style);
    return TRUE;
}

void CDlgQV::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_STYLE, m_styles);
    DDX_Text(dx, IDC_LAYER, m_layer);
    if (dx->m_bSaveAndValidate) ReadStyle(m_styles, m_standIn, m_style);
}

void CDlgQV::OnOK() {
    if (!UpdateData(TRUE)) return;
    SetSettingString(SetupVar::LAYER_2DQUOTE, m_layer);
    SetSettingString(SetupVar::SETCURSTILEQE, m_style);
    EndDialog(IDOK);
}
