// The print-scale factors dialog.
#include "settings/dialogs/dlg_fscala.h"

#include <climits>
#include <optional>
#include <string>

#include "core/input_range.h"
#include "host/ui/msgbox.h"
#include "store/settings_store.h"

namespace {
constexpr int IDC_ADD_KEY = 1046;
constexpr int IDC_KEYS = 1047;
constexpr int IDC_ADD = 5;
constexpr int IDC_REMOVE = 1052;
constexpr int IDC_SELECT_ALL = 3;
constexpr int kValueIds[kScaleEntryCount] = {1049, 1050, 108, 109, 103, 104, 105, 106, 107, 110};
constexpr int kCheckIds[CDlgFScala::kChecks] = {1038, 1048, 1051, 1039, 1040, 1041,
                                                1042, 1043, 1044, 1045, 1053};
// "Wybierz wszystko" leaves the walls and objects boxes (1044, 1045).
constexpr bool kSelectAll[CDlgFScala::kChecks] = {true, true, true,  true,  true, true,
                                                  true, true, false, false, true};
constexpr UINT IDS_SCALE_EXISTS = 1026;
constexpr UINT IDS_LAST_SCALE = 1025;
}  // namespace

CDlgFScala::CDlgFScala(CWnd* parent) : CDialog(IDD_FSCALA, parent) {
    HandleCommand(LBN_SELCHANGE, IDC_KEYS, [this] { OnSelChange(); });
    HandleCommand(BN_CLICKED, IDC_ADD, [this] { OnAdd(); });
    HandleCommand(BN_CLICKED, IDC_REMOVE, [this] { OnRemove(); });
    HandleCommand(BN_CLICKED, IDC_SELECT_ALL, [this] { OnSelectAll(); });
}

void CDlgFScala::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_ADD_KEY, m_addEdit);
    DDX_Control(dx, IDC_KEYS, m_list);
    for (int i = 0; i < kScaleEntryCount; ++i) DDX_Control(dx, kValueIds[i], m_values[i]);
    for (int i = 0; i < kChecks; ++i) DDX_Check(dx, kCheckIds[i], m_checks[i]);
}

BOOL CDlgFScala::OnInitDialog() {
    CDialog::OnInitDialog();
    for (int i = 0; i < kScaleEntryCount; ++i) {
        m_values[i].SetDecimals(10);
        // The door and window middle lengths may be zero or negative.
        if (kValueIds[i] != 108 && kValueIds[i] != 109) m_values[i].SetSignMode(0, 1);
    }
    m_addEdit.SetDecimals(0);
    m_addEdit.SetSignMode(0, 1);
    if (ZcDbObjectPointer<VELM_FSCALA> scales(OpenFScalaObject()); scales) {
        m_table = scales->scales;
    }
    m_currentKey = SettingInt(SetupVar::SFATSCALA, 0);
    m_list.ResetContent();
    for (const AA_FSCALA& r : m_table.records) m_list.AddString(std::to_string(r.key));
    SelectKeyLine(m_currentKey);
    ShowValues();
    return TRUE;
}

int CDlgFScala::GetUpdateFlags() const {
    int flags = 0;
    for (int i = 0; i < kChecks; ++i)
        if (m_checks[i]) flags |= 1 << i;
    return flags;
}

void CDlgFScala::SelectKeyLine(int key) {
    const std::string text = std::to_string(key);
    for (int i = 0; i < m_list.GetCount(); ++i) {
        std::string line;
        m_list.GetText(i, line);
        if (line == text) {
            m_list.SetCurSel(i);
            return;
        }
    }
}

void CDlgFScala::ShowValues() {
    const AA_FSCALA* r = m_table.FindByKey(m_currentKey);
    if (!r) return;
    for (int i = 0; i < kScaleEntryCount; ++i) m_exact[i].Show(m_values[i], r->values[i]);
}

bool CDlgFScala::StoreValues() {
    AA_FSCALA r;
    r.key = m_currentKey;
    for (int i = 0; i < kScaleEntryCount; ++i) {
        // A factor no drawing can hold, or a text that is none, is refused
        // where it was typed.
        const std::optional<double> typed = m_exact[i].Read(m_values[i]);
        if (!NumberFieldInRange(typed, NumberRange::Coordinate)) {
            GotoDlgCtrl(&m_values[i]);
            return false;
        }
        r.values[i] = *typed;
    }
    m_table.SetByKey(m_currentKey, r);
    return true;
}

void CDlgFScala::OnSelChange() {
    if (!StoreValues()) {
        SelectKeyLine(m_currentKey);
        return;
    }
    const int sel = m_list.GetCurSel();
    if (sel < 0) return;
    std::string line;
    m_list.GetText(sel, line);
    m_currentKey = std::stoi(line);
    ShowValues();
}

void CDlgFScala::OnAdd() {
    UpdateData(TRUE);
    // The scale is the number typed without its fraction, from 1 up; a text
    // that is no number, or a scale below 1, is said, not passed over.
    const std::optional<double> typed = m_addEdit.Number();
    if (!typed || !(*typed >= 1.0) || *typed > INT_MAX) {
        AfxMessageBox(kInvalidValueMessage, MB_OK, 0);
        GotoDlgCtrl(&m_addEdit);
        return;
    }
    const int key = static_cast<int>(*typed);
    if (m_table.FindByKey(key)) {
        AfxMessageBox(IDS_SCALE_EXISTS, MB_ICONERROR);
        return;
    }
    if (!StoreValues()) return;
    AA_FSCALA copy = *m_table.FindByKey(m_currentKey);
    copy.key = key;
    m_table.records.push_back(copy);
    m_currentKey = key;
    m_list.SetCurSel(m_list.AddString(std::to_string(key)));
}

void CDlgFScala::OnRemove() {
    const int sel = m_list.GetCurSel();
    if (sel < 0) return;
    if (m_table.records.size() < 2) {
        AfxMessageBox(IDS_LAST_SCALE, MB_ICONERROR);
        return;
    }
    m_list.DeleteString(sel);
    auto& records = m_table.records;
    std::size_t index = records.size() - 1;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].key == m_currentKey) {
            index = i;
            break;
        }
    }
    records.erase(records.begin() + static_cast<std::ptrdiff_t>(index));
    if (index >= records.size()) index = records.size() - 1;
    m_currentKey = records[index].key;
    ShowValues();
    SelectKeyLine(m_currentKey);
}

void CDlgFScala::OnSelectAll() {
    UpdateData(TRUE);
    for (int i = 0; i < kChecks; ++i)
        if (kSelectAll[i]) m_checks[i] = 1;
    UpdateData(FALSE);
}

void CDlgFScala::OnOK() {
    if (!UpdateData(TRUE) || !StoreValues()) return;
    // A scale typed to be added that is no number keeps the dialog open, as
    // every refused field does. A number its rules refuse the edit says
    // itself as OK takes the focus from it, keeping the focus; anything
    // else OK says.
    if (m_addEdit.HoldsTypedText() && !m_addEdit.Validate(0)) {
        if (CWnd::GetFocus() != &m_addEdit) AfxMessageBox(kInvalidValueMessage, MB_OK, 0);
        GotoDlgCtrl(&m_addEdit);
        return;
    }
    if (ZcDbObjectPointer<VELM_FSCALA> scales(OpenFScalaObject()); scales) {
        scales->scales = m_table;
    }
    SetSettingInt(SetupVar::SFATSCALA, m_currentKey);
    EndDialog(IDOK);
}
