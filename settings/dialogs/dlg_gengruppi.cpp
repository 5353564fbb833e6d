// The layer-generation groups dialog.
#include "settings/dialogs/dlg_gengruppi.h"

#include <algorithm>
#include <vector>

#include "store/settings_store.h"

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
        if (UpdateData(TRUE)) AddFromEdit(m_generatingText, m_generatingList);
    });
    HandleCommand(BN_CLICKED, IDC_NOGEN_ADD, [this] {
        if (UpdateData(TRUE)) AddFromEdit(m_nonGeneratingText, m_nonGeneratingList);
    });
    HandleCommand(BN_CLICKED, IDC_REGENERATE, [this] {
        m_regenerate = 1;
        OnOK();
    });
}

void CDlgGenGruppi::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_NOGEN_EDIT, m_nonGeneratingEdit);
    DDX_Control(dx, IDC_GEN_EDIT, m_generatingEdit);
    DDX_Control(dx, IDC_NOGEN_LIST, m_nonGeneratingList);
    DDX_Control(dx, IDC_GEN_LIST, m_generatingList);
    DDX_Text(dx, IDC_GEN_EDIT, m_generatingText);
    DDX_Text(dx, IDC_NOGEN_EDIT, m_nonGeneratingText);
}

BOOL CDlgGenGruppi::OnInitDialog() {
    CDialog::OnInitDialog();
    m_regenerate = 0;
    m_generatingList.ResetContent();
    m_nonGeneratingList.ResetContent();
    if (ZcDbObjectPointer<VELM_GENGRUPPO> groups(OpenGenGruppoObject()); groups) {
        for (const std::string& p : groups->generating) m_generatingList.AddString(p);
        for (const std::string& p : groups->nonGenerating) m_nonGeneratingList.AddString(p);
    }
    return TRUE;
}

void CDlgGenGruppi::AddFromEdit(const std::string& text, CListBox& list) {
    if (!text.empty()) list.AddString(text);
}

void CDlgGenGruppi::OnOK() {
    // The edits are not read: only what was added to the lists counts.
    if (ZcDbObjectPointer<VELM_GENGRUPPO> groups(OpenGenGruppoObject()); groups) {
        groups->generating = UniqueRows(m_generatingList);
        groups->nonGenerating = UniqueRows(m_nonGeneratingList);
    }
    EndDialog(IDOK);
}
