// The set editor.
#include "rooms/dialogs/dlg_def_etichette.h"

#include "core/host_services.h"
#include "host/ui/msgbox.h"
#include "rooms/dialogs/dlg_etichetta.h"
#include "rooms/dialogs/dlg_record_eti.h"

namespace {

constexpr int IDC_FIELDS = 1001;
constexpr int IDC_CAPTION = 101;
constexpr int IDC_NAME = 102;
constexpr int IDC_ADD = 5;
constexpr int IDC_MODIFY = 1053;
constexpr int IDC_REMOVE = 1052;
constexpr int IDC_PREVIEW = 1054;
constexpr UINT IDS_VARIABLE_USED = 1027;

std::string ModuleText(unsigned id) {
    std::string text;
    LoadModuleString(text, id);
    return text;
}

}  // namespace

CDlgDefEtichette::CDlgDefEtichette(CWnd* parent) : CDialog(IDD_LABEL_SET, parent) {
    HandleCommand(BN_CLICKED, IDC_ADD, [this] { OnAdd(); });
    HandleCommand(BN_CLICKED, IDC_MODIFY, [this] { OnModify(); });
    HandleCommand(BN_CLICKED, IDC_REMOVE, [this] { OnRemove(); });
    HandleCommand(BN_CLICKED, IDC_PREVIEW, [this] { OnPreview(); });
    HandleNotify(NM_DBLCLK, IDC_FIELDS, [this](NMHDR*, LRESULT*) { OnModify(); });
}

void CDlgDefEtichette::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_FIELDS, m_list);
    DDX_Text(dx, IDC_CAPTION, m_caption);
    DDX_Text(dx, IDC_NAME, m_name);
}

BOOL CDlgDefEtichette::OnInitDialog() {
    CDialog::OnInitDialog();
    m_list.InsertColumn(0, ModuleText(1028), LVCFMT_RIGHT, 60);
    m_list.InsertColumn(1, ModuleText(1029), LVCFMT_LEFT, 180);
    m_list.InsertColumn(2, ModuleText(1030), LVCFMT_LEFT, 40);
    for (std::size_t i = 0; i < set.size(); ++i) ShowRow(static_cast<int>(i), set[i], true);
    m_caption = set.title;
    m_name = set.setName;
    UpdateData(FALSE);
    return TRUE;
}

void CDlgDefEtichette::ShowRow(int row, const CDefEti& field, bool insert) {
    if (insert) m_list.InsertItem(row, field.name);
    m_list.SetItemText(row, 0, field.name);
    m_list.SetItemText(row, 1, field.prompt);
    m_list.SetItemText(row, 2, field.kind == 1 ? "Tak" : "Nie");
}

bool CDlgDefEtichette::EditField(CDefEti& field) {
    CDlgRecordEti editor(this);
    editor.variable = field.name;
    editor.prompt = field.prompt;
    editor.isList = field.kind == 1 ? 1 : 0;
    editor.choices = field.values;
    if (editor.DoModal() != IDOK) return false;
    field.SetName(editor.variable);
    field.prompt = editor.prompt;
    field.kind = editor.isList ? 1 : 0;
    if (field.kind == 1) field.values = editor.choices;
    return true;
}

void CDlgDefEtichette::OnAdd() {
    CDefEti field;
    if (!EditField(field)) return;
    if (set.FindField(field.name) >= 0) {
        ModuleMessageBox(ModuleText(IDS_VARIABLE_USED), MB_OK | MB_ICONERROR, 0);
        return;
    }
    set.push_back(field);
    ShowRow(static_cast<int>(set.size()) - 1, field, true);
}

void CDlgDefEtichette::OnModify() {
    const int row = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0 || row >= static_cast<int>(set.size())) return;
    CDefEti field = set[row];
    if (!EditField(field)) return;
    const int used = set.FindField(field.name);
    if (used >= 0 && used != row) {
        ModuleMessageBox(ModuleText(IDS_VARIABLE_USED), MB_OK | MB_ICONERROR, 0);
        return;
    }
    set[row] = field;
    ShowRow(row, field, false);
}

void CDlgDefEtichette::OnRemove() {
    const int row = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0 || row >= static_cast<int>(set.size())) return;
    m_list.DeleteItem(row);
    set.erase(set.begin() + row);
}

void CDlgDefEtichette::OnPreview() {
    UpdateData(TRUE);
    set.title = m_caption;
    CDlgEtichetta preview(this);
    preview.fields = set;
    preview.DoModal();
    set = preview.fields;
}

void CDlgDefEtichette::OnOK() {
    if (!UpdateData(TRUE)) return;
    set.setName = m_name;
    set.title = m_caption;
    CDialog::OnOK();
}
