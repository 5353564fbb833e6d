// The layer-generation groups dialog.
#include "settings/dialogs/dlg_gengruppi.h"

#include <algorithm>
#include <vector>

#include "settings/store/settings_store.h"

namespace {
constexpr int IDC_GEN_EDIT = 101;
constexpr int IDC_NOGEN_EDIT = 102;
constexpr int IDC_GEN_ADD = 3;
constexpr int IDC_NOGEN_ADD = 5;
constexpr int IDC_GEN_LIST = 1033;
constexpr int IDC_NOGEN_LIST = 1034;
constexpr int IDC_REGENERATE = 1085;

// The rows of a list box in list order, each exact text once.
std::vector<std::string> UniqueRows(const CListBox& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.GetCount(); ++i) {
        std::string text;
        list.GetText(i, text);
        if (std::find(rows.begin(), rows.end(), text) == rows.end()) rows.push_back(std::move(text));
    }
    return rows;
}
}  // namespace

CDlgGenGruppi::CDlgGenGruppi(CWnd* parent) : CDialog(IDD_GENGRUPPI, parent) {
    HandleCommand(BN_CLICKED, IDC_GEN_ADD, [this] {
        if (UpdateData(TRUE)) AddFromEdit(m_text101, m_list1033);
    });
    HandleCommand(BN_CLICKED, IDC_NOGEN_ADD, [this] {
        if (UpdateData(TRUE)) AddFromEdit(m_text102, m_list1034);
    });
    HandleCommand(BN_CLICKED, IDC_REGENERATE, [this] {
        m_regenerate = 1;
        OnOK();
    });
}

void CDlgGenGruppi::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_NOGEN_EDIT, m_edit102);
    DDX_Control(dx, IDC_GEN_EDIT, m_edit101);
    DDX_Control(dx, IDC_NOGEN_LIST, m_list1034);
    DDX_Control(dx, IDC_GEN_LIST, m_list1033);
    DDX_Text(dx, IDC_GEN_EDIT, m_text101);
    DDX_Text(dx, IDC_NOGEN_EDIT, m_text102);
}

BOOL CDlgGenGruppi::OnInitDialog() {
    CDialog::OnInitDialog();
    m_regenerate = 0;
    m_list1033.ResetContent();
    m_list1034.ResetContent();
    if (VELM_GENGRUPPO* groups = OpenGenGruppoObject()) {
        for (const std::string& p : groups->generating) m_list1033.AddString(p);
        for (const std::string& p : groups->nonGenerating) m_list1034.AddString(p);
        groups->close();
    }
    return TRUE;
}

void CDlgGenGruppi::AddFromEdit(const std::string& text, CListBox& list) {
    if (!text.empty()) list.AddString(text);
}

void CDlgGenGruppi::OnOK() {
    // The edits are not read: only what was added to the lists counts.
    if (VELM_GENGRUPPO* groups = OpenGenGruppoObject()) {
        groups->generating = UniqueRows(m_list1033);
        groups->nonGenerating = UniqueRows(m_list1034);
        groups->close();
    }
    EndDialog(IDOK);
}

