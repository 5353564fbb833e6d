// The field editor.
#include "rooms/dialogs/dlg_record_eti.h"

namespace {

constexpr int IDC_VARIABLE = 1059;
constexpr int IDC_PROMPT = 1056;
constexpr int IDC_IS_LIST = 1057;
constexpr int IDC_CHOICES = 1001;
constexpr int IDC_NEW_CHOICE = 101;
constexpr int IDC_ADD = 5;

}  // namespace

CDlgRecordEti::CDlgRecordEti(CWnd* parent) : CDialog(IDD_LABEL_FIELD, parent) {
    HandleCommand(BN_CLICKED, IDC_IS_LIST, [this] {
        if (const auto* box = dynamic_cast<CButton*>(GetDlgItem(IDC_IS_LIST))) isList = box->GetCheck();
        EnableChoices();
    });
    HandleCommand(BN_CLICKED, IDC_ADD, [this] { AddChoice(); });
}

void CDlgRecordEti::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_VARIABLE, m_variables);
    DDX_Control(dx, IDC_CHOICES, m_choices);
    DDX_Control(dx, IDC_NEW_CHOICE, m_newChoice);
    DDX_CBStringExact(dx, IDC_VARIABLE, variable);
    DDX_Text(dx, IDC_PROMPT, prompt);
    DDX_Check(dx, IDC_IS_LIST, isList);
    DDX_Text(dx, IDC_NEW_CHOICE, newChoice);
}

BOOL CDlgRecordEti::OnInitDialog() {
    CDialog::OnInitDialog();
    m_variables.ResetContent();
    for (int n = 70; n <= 84; ++n) m_variables.AddString("$" + std::to_string(n));
    m_choices.ResetContent();
    for (const std::string& c : choices) m_choices.AddString(c);
    UpdateData(FALSE);
    EnableChoices();
    return TRUE;
}

void CDlgRecordEti::EnableChoices() {
    for (int id : {IDC_CHOICES, IDC_NEW_CHOICE, IDC_ADD})
        if (CWnd* w = GetDlgItem(id)) w->EnableWindow(isList != 0);
}

void CDlgRecordEti::AddChoice() {
    m_newChoice.GetWindowText(newChoice);
    if (!newChoice.empty()) m_choices.AddString(newChoice);
}

void CDlgRecordEti::OnOK() {
    if (!UpdateData(TRUE)) return;
    choices.clear();
    for (int i = 0; i < m_choices.GetCount(); ++i) {
        std::string text;
        m_choices.GetText(i, text);
        choices.push_back(text);
    }
    CDialog::OnOK();
}
