// The girders' settings dialog. The values live in the settings: they are
// read when the dialog opens and written on OK, all but the plan switch,
// which lasts for one run.
#include "roofs/dialogs/dlg_travetti.h"

#include "core/input_range.h"
#include "host/ui/msgbox.h"
#include "roofs/dialogs/slab_dialog_common.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr int IDC_START = 1239;
constexpr int IDC_END = 1240;
constexpr int IDC_NUMBER = 1241;
constexpr int IDC_DISTANCE = 1242;
constexpr int IDC_HEIGHT = 1243;
constexpr int IDC_WIDTH = 1244;
constexpr int IDC_ROTATE = 1245;
constexpr int IDC_LAYER = 1247;
constexpr int IDC_PLAN = 1248;
constexpr int IDC_RECESS = 1249;

}  // namespace

CDlgTravetti::CDlgTravetti(bool rebuild, CWnd* parent) : CDialog(IDD_TRAVETTI, parent), m_rebuild(rebuild) {
    m_number = SettingInt(SetupVar::SETTRA_NUMTRAV);
    m_layer = SettingString(SetupVar::SETTRA_LAYEREN);
    m_rotate = SettingInt(SetupVar::SETTRA_RUOTARE) > 0 ? 1 : 0;
}

void CDlgTravetti::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_HEIGHT, m_editHeight);
    DDX_Control(dx, IDC_DISTANCE, m_editDistance);
    DDX_Control(dx, IDC_RECESS, m_editRecess);
    DDX_Control(dx, IDC_START, m_editStart);
    DDX_Control(dx, IDC_END, m_editEnd);
    DDX_Control(dx, IDC_WIDTH, m_editWidth);
    DDX_Text(dx, IDC_NUMBER, m_number);
    DDX_Text(dx, IDC_LAYER, m_layer);
    DDV_SymbolName(dx, m_layer);
    DDX_Check(dx, IDC_ROTATE, m_rotate);
    DDX_Check(dx, IDC_PLAN, m_plan);
}

BOOL CDlgTravetti::OnInitDialog() {
    CDialog::OnInitDialog();
    struct Row {
        CadvNumEdit* edit;
        int slot;
    };
    const Row rows[] = {
        {&m_editHeight, SetupVar::SETTRA_ALTEZZA},    {&m_editDistance, SetupVar::SETTRA_DISTANZ},
        {&m_editRecess, SetupVar::SETTRA_RIENTRANZA}, {&m_editStart, SetupVar::SETTRA_DISTINI},
        {&m_editEnd, SetupVar::SETTRA_DISTFIN},       {&m_editWidth, SetupVar::SETTRA_LARGHEZ}};
    for (const Row& row : rows) {
        row.edit->SetDecimals(10);
        row.edit->SetDouble(SettingReal(row.slot));
    }
    if (m_rebuild) {
        for (int id : {IDC_START, IDC_END, IDC_HEIGHT, IDC_WIDTH, IDC_NUMBER})
            if (CWnd* control = GetDlgItem(id)) control->EnableWindow(FALSE);
    }
    return TRUE;
}

void CDlgTravetti::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (!NumbersInRange({m_editStart.Number(), m_editEnd.Number(), m_editHeight.Number(),
                         m_editDistance.Number(), m_editRecess.Number(), m_editWidth.Number()}))
        return;
    const double start = m_editStart.GetDouble(), end = m_editEnd.GetDouble();
    if (start < 0.0 || end < 0.0) {
        AfxMessageBox("Odległość, na początku i na końcu musi być równa lub większa od zera", MB_ICONERROR);
        return;
    }
    // One girder at least: the spacing divides by the number less one.
    if (m_number < 1) {
        AfxMessageBox("Liczba dźwigarów musi być większa od zera", MB_ICONERROR);
        return;
    }
    SetSettingReal(SetupVar::SETTRA_ALTEZZA, m_editHeight.GetDouble());
    SetSettingReal(SetupVar::SETTRA_DISTANZ, m_editDistance.GetDouble());
    SetSettingReal(SetupVar::SETTRA_RIENTRANZA, m_editRecess.GetDouble());
    SetSettingReal(SetupVar::SETTRA_DISTINI, start);
    SetSettingReal(SetupVar::SETTRA_DISTFIN, end);
    SetSettingReal(SetupVar::SETTRA_LARGHEZ, m_editWidth.GetDouble());
    SetSettingInt(SetupVar::SETTRA_NUMTRAV, m_number);
    SetSettingString(SetupVar::SETTRA_LAYEREN, m_layer);
    SetSettingInt(SetupVar::SETTRA_RUOTARE, m_rotate);
    EndDialog(IDOK);
}
